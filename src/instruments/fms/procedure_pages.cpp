#include "src/instruments/fms/procedure_pages.h"

#include <algorithm>

#include "src/flightplan/execute.h"
#include "src/flightplan/procedure_splice.h"
#include "src/flightplan/route_edit.h"
#include "src/flightplan/state.h"
#include "src/instruments/fms/kit.h"
#include "src/instruments/fms/state.h"
#include "src/model/records.h"
#include "src/model/state.h"
#include "src/navdb/procedures.h"

namespace ovi::fms {

namespace {

model::AirportProcedureSet& Origin() { return navdb::procedure_state.AirportProcedureSets[1]; }
model::AirportProcedureSet& Destination() { return navdb::procedure_state.AirportProcedureSets[2]; }

void StepFromExecuted() {
  if (flightplan::flightplan_state.RouteState == 3) flightplan::StepRouteState();
}

}  // namespace

void OpenDeparturesPage() {
  State& s = fms_state;
  s.FmsPage = kPageDepartures;
  model::model_state.FmsSubPageTable.DeparturesSubPage = 1;
  if (s.FmsDepSidState == 1) s.FmsDepSidState = 2;
  s.FmsDepTransChosen = 0;
  s.FmsDepRunwayChosen = 0;
  navdb::ListSids(model::kNoneText, model::kNoneText);
  navdb::ListSidRunways(model::kNoneText);
}

void OpenArrivalsPage() {
  State& s = fms_state;
  s.FmsPage = kPageArrivals;
  model::model_state.FmsSubPageTable.ArrivalsSubPage = 1;
  if (s.FmsArrStarState == 1) s.FmsArrStarState = 2;
  s.FmsArrApproachState = 0;
  navdb::ListStars(model::kNoneText, model::kNoneText);
  navdb::ListStarRunways(model::kNoneText);
  s.FmsArrRunwayChosen = 0;
  s.FmsArrTransChosen = 0;
  s.FmsArrApproachTransChosen = 0;
}

void ApplyDepartureSelection(int index, int keep) {
  model::State& m = model::model_state;
  const model::AirportProcedureSet& origin = Origin();
  if (keep == 0) {
    const model::NameIndexEntry* sid = Listed(origin.SidNameList, origin.SidNameListCount, index);
    if (sid == nullptr) return;
    m.RouteSid = sid->name;
  }
  flightplan::BeginRouteModification();
  navdb::ListSidTransitions(m.RouteSid, m.RouteDepartureRunway, 1);
  navdb::FindSidIndex(m.RouteSid);
  navdb::ListSidRunways(m.RouteSid);
  m.SelectedDepartureRunway = m.RouteDepartureRunway;
  m.RouteSidTransition = m.SelectedSidTransition;
  navdb::SelectSidEntry();
  flightplan::InsertSidIntoPendingPlan();
  flightplan::BuildRouteViaToList();
  StepFromUnchanged();
}

void ApplyArrivalSelection(int index, int keep) {
  model::State& m = model::model_state;
  const model::AirportProcedureSet& destination = Destination();
  if (keep == 0) {
    const model::NameIndexEntry* star = Listed(destination.StarNameList, destination.StarListCount, index);
    if (star == nullptr) return;
    m.SelectedStar = star->name;
  }
  flightplan::BeginRouteModification();
  navdb::ListStarTransitions(m.SelectedStar, m.SelectedArrivalRunway, 1);
  navdb::FindStarIndex(m.SelectedStar);
  navdb::ListStarRunways(m.SelectedStar);
  m.SelectedApproachTo = m.SelectedArrivalRunway;
  m.RouteStarTransition = m.PendingStarTransition;
  navdb::SelectStarEntry();
  flightplan::InsertStarIntoPendingPlan();
  flightplan::BuildRouteViaToList();
  StepFromUnchanged();
}

// The runway indices kept are those of the airport's runway table (the
// entry's number), which the route layers read the runway's data by.
void SelectDepartureItem(int index) {
  model::State& m = model::model_state;
  model::AirportProcedureSet& origin = Origin();
  const model::NameIndexEntry* runway = Listed(origin.DepartureRunwayNameList, origin.DepartureRunwayListCount, index);
  if (runway == nullptr) return;
  flightplan::BeginRouteModification();
  m.RouteDepartureRunway = runway->name;
  origin.SelectedRunwayIndex = runway->number;
  fms_state.FmsDepRunwayChosen = 1;
  m.SelectedDepartureRunway = m.RouteDepartureRunway;
  m.FmsSubPageTable.DeparturesSubPage = 1;
  if (m.RouteSid != model::kNoneText) ApplyDepartureSelection(navdb::procedure_state.SelectedSidIndex, 1);
  navdb::ListSids(m.RouteDepartureRunway, model::kNoneText);
  StepFromExecuted();
}

void SelectArrivalItem(int index) {
  model::State& m = model::model_state;
  model::AirportProcedureSet& destination = Destination();
  const model::NameIndexEntry* runway =
      Listed(destination.ArrivalRunwayNameList, destination.ArrivalRunwayListCount, index);
  if (runway == nullptr) return;
  flightplan::BeginRouteModification();
  m.SelectedArrivalRunway = runway->name;
  destination.SelectedRunwayIndex = runway->number;
  m.SelectedApproachTo = m.SelectedArrivalRunway;
  fms_state.FmsArrRunwayChosen = 1;
  m.FmsSubPageTable.ArrivalsSubPage = 1;
  if (m.SelectedStar != model::kNoneText) ApplyArrivalSelection(navdb::procedure_state.SelectedStarIndex, 1);
  navdb::ListStars(m.SelectedArrivalRunway, model::kNoneText);
  StepFromExecuted();
}

int RunProcedureSubPages(std::int32_t& sub_page, std::int32_t& count, std::int32_t (*recount)(), void (*act)(int)) {
  count = recount();
  sub_page = std::clamp(sub_page, 1, count);
  StepSubPage(sub_page, count);
  act(sub_page);
  count = recount();
  sub_page = std::clamp(sub_page, 1, count);
  return sub_page;
}

std::int32_t ProcedureSubPageCount(int rows) {
  return std::max(1, (std::max(rows, 0) + kProcedureRows - 1) / kProcedureRows);
}

void DrawProcedureColumn(CduPage& page, const ProcedureColumn& column) {
  const char* marker = flightplan::flightplan_state.RouteState == 3 ? "<ACT>" : "<SEL>";
  for (int r = 0; r < kProcedureRows; ++r) {
    const ProcedureRow& row = column[static_cast<std::size_t>(r)];
    const float y = 33.0f * static_cast<float>(r + 1);
    page.Large(row.x, y, row.text);
    // Small: in the large font a STAR's marker at 93 runs into the chosen
    // approach's at 135 on the same row.
    if (row.marked) page.Small(row.marker_x, y, marker);
  }
}

void DrawProcedureBottom(CduPage& page) {
  // Both pages draw ARRIVALS' "ROUTE>" place and DEPARTURES' 24 dashes: at
  // 210 the ">" of DEPARTURES' prompt, and ARRIVALS' 26th dash, stood past
  // the screen's right edge.
  page.Large(2, 184, "- - - - - - - - - - - - - - - - - - - - - - - -");
  page.Large(0, kPromptY, flightplan::flightplan_state.RouteState == 4 ? "<ERASE" : "<INDEX");
  page.Large(200, kPromptY, "ROUTE>");
  page.ScratchpadLine();
}

void ActOnProcedureBottom(int key) {
  if (key == kL6) {
    if (flightplan::flightplan_state.RouteState == 4) {
      flightplan::ResetRouteData();
    } else {
      OpenPage(kPageDepArrIndex);
    }
  } else if (key == kR6) {
    OpenPage(kPageRoute);
  }
}

}  // namespace ovi::fms
