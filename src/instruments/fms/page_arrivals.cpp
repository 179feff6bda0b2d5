// ARRIVALS (page 11): the destination's STARs, then the chosen STAR with its
// transitions, on the left; on the right the approaches followed by the
// runways, then the chosen approach with its transitions (or the chosen
// runway alone). Five rows a sub-page; each choice is spliced into the
// pending route at once.
//
// The column states keep the names they were given, which do not say what
// they hold here: FmsArrApproachState is 1 once a STAR transition is chosen,
// FmsArrTransChosen once an approach is.
#include <algorithm>
#include <string>

#include "src/flightplan/procedure_splice.h"
#include "src/flightplan/route_edit.h"
#include "src/instruments/fms/kit.h"
#include "src/instruments/fms/pages.h"
#include "src/instruments/fms/procedure_pages.h"
#include "src/instruments/fms/state.h"
#include "src/model/state.h"
#include "src/navdb/procedure_state.h"

namespace ovi::fms {

namespace {

constexpr float kApproachX = 190.0f;
constexpr float kApproachTransitionX = 210.0f;
constexpr float kRunwayX = 240.0f;
constexpr float kApproachMarkerX = 135.0f;
constexpr float kRunwayMarkerX = 153.0f;

const model::AirportProcedureSet& Destination() { return navdb::procedure_state.AirportProcedureSets[2]; }
std::int32_t& SubPage() { return model::model_state.FmsSubPageTable.ArrivalsSubPage; }
bool StarChosen() { return fms_state.FmsArrStarState == 1; }
bool StarTransitionChosen() { return fms_state.FmsArrApproachState == 1; }
bool ApproachChosen() { return fms_state.FmsArrTransChosen == 1; }
bool ApproachTransitionChosen() { return fms_state.FmsArrApproachTransChosen == 1; }
bool RunwayChosen() { return fms_state.FmsArrRunwayChosen == 1; }

std::int32_t SubPageCount() {
  const model::AirportProcedureSet& d = Destination();
  const int left = StarChosen() ? d.StarTransitionListCount + 1 : d.StarListCount;
  int right = 0;
  if (ApproachChosen()) {
    right = ApproachTransitionChosen() ? 2 : d.ApproachTransitionListCount + 1;
  } else if (RunwayChosen()) {
    right = 1;
  } else {
    right = d.ApproachTransitionListCount + d.ArrivalNameListCount + d.ArrivalRunwayListCount +
            (d.ArrivalNameListCount == 0 ? 1 : 0);
  }
  return ProcedureSubPageCount(std::max(left, right));
}

ProcedureColumn LeftColumn(int sub_page) {
  const model::AirportProcedureSet& d = Destination();
  const model::State& m = model::model_state;
  if (!StarChosen()) {
    return ListColumn(d.StarNameList, d.StarListCount, m.SelectedStar, false, sub_page, ProcedureItem::kProcedure,
                      "%-6s", 0, 93);
  }
  return TransitionColumn(ScreenText("%-6s", m.SelectedStar.c_str()), d.StarTransitionList, d.StarTransitionListCount,
                          m.PendingStarTransition, StarTransitionChosen(), 0, sub_page, kLeftTransitions);
}

std::string ApproachText(int index) {
  const model::AirportProcedureSet& d = Destination();
  if (index < 1 || index > d.ArrivalNameListCount) return {};
  const model::RouteViaToEntry* e = d.ArrivalNameList.At(index);
  return e == nullptr ? std::string() : ScreenText("%4s %3s", e->via.c_str(), e->to.c_str());
}

// The chosen approach with its transitions, marked by FmsSelectedApproachIndex.
ProcedureColumn ApproachColumn(int sub_page) {
  const model::AirportProcedureSet& d = Destination();
  const State& s = fms_state;
  static constexpr TransitionLayout kApproachTransitions = {kApproachX, kApproachTransitionX, kApproachMarkerX, "%5s"};
  const std::string chosen = ApproachTransitionChosen() ? model::model_state.SelectedApproachTransition : std::string();
  return TransitionColumn(ApproachText(s.ArrivalNameListSelection), d.ApproachTransitionList,
                          d.ApproachTransitionListCount, chosen, ApproachTransitionChosen(), s.FmsSelectedApproachIndex,
                          sub_page, kApproachTransitions);
}

// Neither an approach nor a runway chosen: one sequence, list position
// q = 5 (p - 1) + row showing approach q, then the runways after the last
// approach (after a "- N O N E -" row when there is none).
ProcedureColumn ApproachAndRunwayColumn(int sub_page) {
  const model::AirportProcedureSet& d = Destination();
  const State& s = fms_state;
  const std::string& chosen_runway = model::model_state.SelectedArrivalRunway;
  const int approaches = d.ArrivalNameListCount;
  ProcedureColumn column;
  for (int r = 0; r < kProcedureRows; ++r) {
    const int q = FirstProcedureIndex(sub_page) + r;
    ProcedureRow& row = column[static_cast<std::size_t>(r)];
    if (approaches > 0 && q <= approaches) {
      row = {ProcedureItem::kProcedure, q, ApproachText(q), kApproachX, q == s.ArrivalNameListSelection, kApproachMarkerX};
      continue;
    }
    if (approaches == 0 && q == 1) {
      row = {ProcedureItem::kNothing, 0, "- N O N E -", 200.0f, false, 0.0f};
      continue;
    }
    const int runway = approaches > 0 ? q - approaches : q - 1;
    const model::NameIndexEntry* e = Listed(d.ArrivalRunwayNameList, d.ArrivalRunwayListCount, runway);
    if (e == nullptr) break;
    row = {ProcedureItem::kRunway, runway, ScreenText("%-3s", e->name.c_str()), kRunwayX, e->name == chosen_runway,
           kRunwayMarkerX};
  }
  return column;
}

ProcedureColumn RightColumn(int sub_page) {
  const model::AirportProcedureSet& d = Destination();
  if (ApproachChosen()) return ApproachColumn(sub_page);
  if (RunwayChosen()) {
    return ListColumn(d.ArrivalRunwayNameList, d.ArrivalRunwayListCount, model::model_state.SelectedArrivalRunway, true,
                      sub_page, ProcedureItem::kRunway, "%-3s", kRunwayX, kRunwayMarkerX);
  }
  return ApproachAndRunwayColumn(sub_page);
}

void ChooseStarTransition(int index) {
  const model::AirportProcedureSet& d = Destination();
  const model::NameIndexEntry* t = Listed(d.StarTransitionList, d.StarTransitionListCount, index);
  if (t == nullptr) return;
  model::model_state.PendingStarTransition = t->name;
  ApplyArrivalSelection(navdb::procedure_state.SelectedStarIndex, 1);
  fms_state.FmsArrApproachState = 1;
  SubPage() = 1;
}

void ChooseApproach(int index) {
  const model::AirportProcedureSet& d = Destination();
  if (index < 1 || index > d.ArrivalNameListCount || d.ArrivalNameList.At(index) == nullptr) return;
  const model::RouteViaToEntry& e = d.ArrivalNameList[index];
  State& s = fms_state;
  model::State& m = model::model_state;
  s.ArrivalNameListSelection = index;
  s.FmsSelectedApproachIndex = 0;
  m.SelectedApproach = e.via;
  m.SelectedApproachTo = e.to;
  m.SelectedApproachTransition = model::kNoneText;
  flightplan::SelectApproachTransition();
  flightplan::BeginRouteModification();
  flightplan::InsertApproachIntoPendingPlan(1);
  flightplan::BuildTransitionList();
  flightplan::BuildRouteViaToList();
  s.FmsArrTransChosen = 1;
  SubPage() = 1;
}

void ChooseApproachTransition(int index) {
  const model::AirportProcedureSet& d = Destination();
  const model::NameIndexEntry* t = Listed(d.ApproachTransitionList, d.ApproachTransitionListCount, index);
  if (t == nullptr) return;
  fms_state.FmsSelectedApproachIndex = index;
  model::model_state.SelectedApproachTransition = t->name;
  flightplan::SelectApproachTransition();
  flightplan::BeginRouteModification();
  flightplan::InsertApproachIntoPendingPlan(1);
  flightplan::BuildRouteViaToList();
  fms_state.FmsArrApproachTransChosen = 1;
}

void ActOnKey(int sub_page) {
  const int key = LineSelectKey();
  if (key == kL6 || key == kR6) return ActOnProcedureBottom(key);
  const int k = RowOfKey(key);
  if (k == 0) return;
  const std::size_t r = static_cast<std::size_t>(k - 1);
  if (IsLeftKey(key)) {
    const ProcedureRow row = LeftColumn(sub_page)[r];
    if (row.item == ProcedureItem::kProcedure) {
      ApplyArrivalSelection(row.index, 0);
      fms_state.FmsArrStarState = 1;
      SubPage() = 1;
    } else if (row.item == ProcedureItem::kTransition) {
      ChooseStarTransition(row.index);
    }
    return;
  }
  const ProcedureRow row = RightColumn(sub_page)[r];
  switch (row.item) {
    case ProcedureItem::kProcedure: return ChooseApproach(row.index);
    case ProcedureItem::kTransition: return ChooseApproachTransition(row.index);
    case ProcedureItem::kRunway: return SelectArrivalItem(row.index);
    case ProcedureItem::kNothing: return;
  }
}

void DrawLabels(CduPage& page, const ProcedureColumn& right, int sub_page) {
  const model::AirportProcedureSet& d = Destination();
  if (!StarChosen() || sub_page == 1) page.Small(10, 19, "S T A R S");
  if (!StarChosen() && d.StarListCount < 1 && sub_page == 1) page.Large(0, 33, "- N O N E -");
  if (StarChosen()) page.Small(10, sub_page == 1 ? 55 : 19, "T R A N S");

  // Each label heads what its rows show: the approaches' label over a
  // sub-page that begins with a runway would stand on the runways' label.
  if (!RunwayChosen() && right[0].item != ProcedureItem::kRunway) page.Small(160, 19, "A P P R O A C H E S");
  for (int r = 0; r < kProcedureRows; ++r) {
    const ProcedureRow& row = right[static_cast<std::size_t>(r)];
    if (row.item == ProcedureItem::kRunway && (r == 0 || row.index == 1)) {
      page.Small(190, 33.0f * static_cast<float>(r + 1) - 14.0f, "R U N W A Y S");
    }
  }
  if (ApproachChosen() && sub_page == 1) {
    page.Small(220, 52, "T R A N S");
    if (d.ApproachTransitionListCount < 1) page.Large(200, 66, "- N O N E -");
  }
}

}  // namespace

void FmsPageArrivals(display::GaugeDisplay& display, gfx::Graphics& g) {
  model::FmsSubPageTable& sub = model::model_state.FmsSubPageTable;
  CduPage page(display, g);
  const int shown = RunProcedureSubPages(sub.ArrivalsSubPage, sub.ArrivalsSubPageCount, SubPageCount, ActOnKey);

  page.Large(40, kTitleY, ScreenText("%s ARRIVALS", model::model_state.DestinationAirportIdent.c_str()));
  page.Small(220, kTitleY, ScreenText("%2d / %2d", shown, sub.ArrivalsSubPageCount));
  const ProcedureColumn right = RightColumn(shown);
  DrawLabels(page, right, shown);
  DrawProcedureColumn(page, LeftColumn(shown));
  DrawProcedureColumn(page, right);
  DrawProcedureBottom(page);
}

}  // namespace ovi::fms
