#include "src/instruments/fms/keypad.h"

#include <string>

#include "src/flightplan/entry_line.h"
#include "src/flightplan/execute.h"
#include "src/flightplan/state.h"
#include "src/instruments/fms/kit.h"
#include "src/instruments/fms/state.h"
#include "src/model/state.h"

namespace ovi::fms {

namespace {

model::FmsSubPageTable& SubPages() { return model::model_state.FmsSubPageTable; }

}  // namespace

void PressLineSelect(std::int32_t key) { fms_state.FmsLineSelectKey = key; }
void PressPrevPage() { fms_state.FmsPrevPageKey = 1; }
void PressNextPage() { fms_state.FmsNextPageKey = 1; }

void PressInitRef() {
  SubPages().PerfInitSubPage = 1;
  OpenPage(flightplan::flightplan_state.ActiveWaypointIndex != model::kNoWaypoint ? kPagePerfInit
                                                                                   : kPagePosition);
}

void PressRte() {
  OpenPage(kPageRoute);
  SubPages().RteSubPage = 1;
  fms_state.FmsRteKey = 1;
}

void PressClimb() { OpenPage(kPageEconClimb); }
void PressCruise() { OpenPage(kPageEconCruise); }
void PressDescent() { OpenPage(kPageEconDescent); }

void PressDirIntc() {
  if (flightplan::flightplan_state.RouteState >= 2) {
    fms_state.FmsHoldFixSelect = 1;
    OpenPage(kPageRteLegs);
  } else {
    model::model_state.PanelMessage = "NO ACTIVE ROUTE";
  }
}

void PressLegs() {
  State& s = fms_state;
  OpenPage(kPageRteLegs);
  SubPages().LegsSubPage = 1;
  s.FmsLegsKey = 1;
  s.FmsHoldFixSelect = 0;
  s.FmsDirectLegIndex = 0;
  s.FmsLegsMarker = 0;
}

void PressDepArr() { OpenPage(kPageDepArrIndex); }

void PressHold() {
  State& s = fms_state;
  s.FmsHoldKey = 1;
  SubPages().RteHoldSubPage = 1;
  if (flightplan::flightplan_state.HoldCount != 0) {
    OpenPage(kPageRteHold);
  } else {
    OpenPage(kPageRteLegs);
    flightplan::flightplan_state.PlanStepIndex = 0;
    s.FmsHoldFixSelect = 2;
  }
}

void PressProgress() {
  OpenPage(kPageProgress);
  SubPages().ProgressSubPage = 1;
}

void PressFix() {
  OpenPage(kPageFixInfo);
  SubPages().FixInfoSubPage = 1;
}

void PressExec() {
  const std::int32_t state = flightplan::flightplan_state.RouteState;
  if (state == 2 || state == 4) flightplan::ExecutePendingRoute();
}

void TypeCharacter(char c) {
  model::model_state.FmsScratchpad.push_back(c);
  if (c >= 'G' && c <= 'Z') flightplan::ScratchpadKeyInput(std::string(1, c), 0);
}

void PressSign() {
  util::CappedText<model::kScratchpadCapacity>& pad = model::model_state.FmsScratchpad;
  if (pad.full()) return;
  std::string text = pad.str();
  if (text.empty()) {
    text = "-";
  } else if (text.back() == '-') {
    text.back() = '+';
  } else if (text.back() == '+') {
    text.back() = '-';
  } else {
    text.push_back('-');
  }
  pad = text;
}

void PressSpace() {
  model::State& m = model::model_state;
  if (m.PanelMessage == kDeleteArmed) {
    m.FmsScratchpad.clear();
    m.PanelMessage.clear();
  } else {
    m.FmsScratchpad.push_back(' ');
  }
}

void PressClear() {
  model::State& m = model::model_state;
  if (!m.PanelMessage.empty()) {
    m.PanelMessage.clear();
  } else {
    m.FmsScratchpad.pop_back();
  }
}

void PressDelete() { model::model_state.PanelMessage = kDeleteArmed; }

}  // namespace ovi::fms
