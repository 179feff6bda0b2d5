// INIT/REF INDEX (page 23): the menu of the initialisation and reference
// pages, the simulator planner's route and saving the active route.
#include <algorithm>
#include <string>

#include "src/flightplan/route_file.h"
#include "src/flightplan/state.h"
#include "src/host/gps_route.h"
#include "src/instruments/fms/kit.h"
#include "src/instruments/fms/pages.h"
#include "src/instruments/fms/save_name.h"
#include "src/instruments/fms/state.h"
#include "src/model/state.h"

namespace ovi::fms {

namespace {

void SaveActiveRoute() {
  const flightplan::State& fp = flightplan::flightplan_state;
  model::State& m = model::model_state;
  if (fp.RouteState < 3 || fp.ActiveFlightPlanLastIndex < 1) {
    m.PanelMessage = "NO ACTIVE FLIGHT PLAN";
    return;
  }
  std::string name = m.FmsScratchpad.str();
  if (name.empty()) {
    name = fp.ActiveFlightPlan[0].ident + fp.ActiveFlightPlan[fp.ActiveFlightPlanLastIndex].ident;
    name.resize(std::min(name.size(), model::kScratchpadCapacity));
  }
  if (name.find('.') == std::string::npos) name += ".RTE";
  // A name the folder cannot take (a device name, the scratch file TEMP, a
  // path) is a refused entry, as on every page: the scratchpad keeps it to
  // be mended. "Unable to Save" is left for a write that failed.
  if (!IsPlainFileName(name)) {
    RefuseEntry(kInvalidEntry);
    return;
  }
  const bool saved = flightplan::SaveFlightPlanFile(name) == 1;
  m.PanelMessage = name + (saved ? " Saved" : " Unable to Save");
  m.FmsScratchpad.clear();
}

constexpr MenuPrompt kPrompts[] = {
    {0, 33, "<IDENT", {kL1, [] { OpenPage(kPageIdent); }}},
    {175, 33, "NAV DATA>", {kR1, [] { OpenPage(kPageRefNavData); }}},
    {0, 66, "<POS",
     {kL2,
      [] {
        model::model_state.FmsSubPageTable.PosSubPage = 1;
        OpenPage(kPagePosition);
      }}},
    {137, 66, "FLIGHT PLANS>", {kR2, [] { OpenPage(kPageStoredFlightPlans); }}},
    {0, 99, "<PERF",
     {kL3,
      [] {
        model::model_state.FmsSubPageTable.PerfInitSubPage = 1;
        OpenPage(kPagePerfInit);
      }}},
    {137, 99, "LOAD ATC RTE>", {kR3, [] { host::LoadFlightPlannerRoute(0); }}},
    {0, 132, "<TAKEOFF", {kL4, [] { OpenPage(kPageTakeoffRef); }}},
    {0, 165, "<APPROACH", {kL5, [] { OpenPage(kPageApproachRef); }}},
    {180, kPromptY, "SAVE FPL>", {kR6, SaveActiveRoute}},
};

}  // namespace

void FmsPageInitRefIndex(display::GaugeDisplay& display, gfx::Graphics& g) {
  CduPage page(display, g);
  page.Large(63, kTitleY, "INIT/REF   INDEX");
  page.Prompts(kPrompts);
  RunMenuKey(kPrompts);
  page.ScratchpadLine();
}

}  // namespace ovi::fms
