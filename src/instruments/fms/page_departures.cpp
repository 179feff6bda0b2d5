// DEPARTURES (page 10): the origin's SIDs, then the chosen SID with its
// transitions, and the runways, five rows a sub-page; each choice is
// spliced into the pending route at once.
#include <algorithm>
#include <string>

#include "src/instruments/fms/kit.h"
#include "src/instruments/fms/pages.h"
#include "src/instruments/fms/procedure_pages.h"
#include "src/instruments/fms/state.h"
#include "src/model/state.h"
#include "src/navdb/procedure_state.h"

namespace ovi::fms {

namespace {

const model::AirportProcedureSet& Origin() { return navdb::procedure_state.AirportProcedureSets[1]; }
std::int32_t& SubPage() { return model::model_state.FmsSubPageTable.DeparturesSubPage; }
bool SidChosen() { return fms_state.FmsDepSidState == 1; }

std::int32_t SubPageCount() {
  const model::AirportProcedureSet& o = Origin();
  const int left = SidChosen() ? o.SidTransitionListCount + 1 : o.SidNameListCount;
  return ProcedureSubPageCount(std::max(left, o.DepartureRunwayListCount));
}

ProcedureColumn LeftColumn(int sub_page) {
  const model::AirportProcedureSet& o = Origin();
  const model::State& m = model::model_state;
  if (!SidChosen()) {
    return ListColumn(o.SidNameList, o.SidNameListCount, m.RouteSid, false, sub_page, ProcedureItem::kProcedure,
                      "%-6s", 0, 93);
  }
  return TransitionColumn(ScreenText("%-6s", m.RouteSid.c_str()), o.SidTransitionList, o.SidTransitionListCount,
                          m.SelectedSidTransition, fms_state.FmsDepTransChosen == 1, 0, sub_page, kLeftTransitions);
}

// One index per row for keys and drawing alike, so a runway key takes the
// runway its row shows on every sub-page.
ProcedureColumn RunwayColumn(int sub_page) {
  const model::AirportProcedureSet& o = Origin();
  return ListColumn(o.DepartureRunwayNameList, o.DepartureRunwayListCount, model::model_state.RouteDepartureRunway,
                    fms_state.FmsDepRunwayChosen == 1, sub_page, ProcedureItem::kRunway, "%-3s", 240, 153);
}

void ActOnKey(int sub_page) {
  const int key = LineSelectKey();
  if (key == kL6 || key == kR6) return ActOnProcedureBottom(key);
  const int k = RowOfKey(key);
  if (k == 0) return;
  State& s = fms_state;
  if (IsRightKey(key)) {
    const ProcedureRow row = RunwayColumn(sub_page)[static_cast<std::size_t>(k - 1)];
    if (row.item == ProcedureItem::kRunway) SelectDepartureItem(row.index);
    return;
  }
  const ProcedureRow row = LeftColumn(sub_page)[static_cast<std::size_t>(k - 1)];
  if (row.item == ProcedureItem::kProcedure) {
    ApplyDepartureSelection(row.index, 0);
    s.FmsDepSidState = 1;
  } else if (row.item == ProcedureItem::kTransition) {
    const model::AirportProcedureSet& o = Origin();
    const model::NameIndexEntry* t = Listed(o.SidTransitionList, o.SidTransitionListCount, row.index);
    if (t == nullptr) return;
    model::model_state.SelectedSidTransition = t->name;
    ApplyDepartureSelection(navdb::procedure_state.SelectedSidIndex, 1);
    s.FmsDepTransChosen = 1;
  } else {
    return;
  }
  SubPage() = 1;
}

void DrawLabels(CduPage& page, int sub_page) {
  const model::AirportProcedureSet& o = Origin();
  if (!SidChosen() || sub_page == 1) page.Small(10, 19, "S I D S");
  if (!SidChosen() && o.SidNameListCount < 1 && sub_page == 1) page.Large(0, 33, "- N O N E -");
  if (SidChosen()) {
    if (o.SidTransitionListCount >= FirstTransitionIndex(sub_page)) {
      page.Small(10, sub_page == 1 ? 53 : 19, "T R A N S");
    } else if (o.SidTransitionListCount < 1 && sub_page == 1) {
      page.Large(0, 66, "- N O N E -");
    }
  }
  page.Small(190, 19, "R U N W A Y S");
}

}  // namespace

void FmsPageDepartures(display::GaugeDisplay& display, gfx::Graphics& g) {
  model::FmsSubPageTable& sub = model::model_state.FmsSubPageTable;
  CduPage page(display, g);
  const int shown = RunProcedureSubPages(sub.DeparturesSubPage, sub.DeparturesSubPageCount, SubPageCount, ActOnKey);

  page.Large(25, kTitleY, ScreenText("%s DEPARTURES", model::model_state.OriginAirportIdent.c_str()));
  page.Small(230, kTitleY, ScreenText("%2d / %2d", shown, sub.DeparturesSubPageCount));
  DrawLabels(page, shown);
  DrawProcedureColumn(page, LeftColumn(shown));
  DrawProcedureColumn(page, RunwayColumn(shown));
  DrawProcedureBottom(page);
}

}  // namespace ovi::fms
