// RTE (page 22): the route ends on sub-page 1 (origin, destination, company
// route, departure runway), the route as VIA/TO rows on sub-pages 2 and on
// (five rows a sub-page, then a row for the next entry), and the route
// state's ACTIVATE and ERASE. Every edit goes to PendingFlightPlan but the
// origin, which starts a new route in the active plan.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "src/flightplan/execute.h"
#include "src/flightplan/plan_ops.h"
#include "src/flightplan/route_edit.h"
#include "src/flightplan/load.h"
#include "src/flightplan/state.h"
#include "src/guidance/state.h"
#include "src/instruments/fms/kit.h"
#include "src/instruments/fms/pages.h"
#include "src/instruments/fms/route_legs_edit.h"
#include "src/instruments/fms/select_waypoint.h"
#include "src/instruments/fms/state.h"
#include "src/model/state.h"
#include "src/navdb/airways.h"
#include "src/navdb/entry_state.h"
#include "src/navdb/navdb.h"
#include "src/navdb/procedure_state.h"
#include "src/navdb/procedures.h"
#include "src/navdb/waypoint_entry.h"

namespace ovi::fms {

namespace {

constexpr int kRowsPerSubPage = 5;
constexpr ActModForm kActMod = {8, 8, 10, 3, false};
constexpr float kFirstRowY = 36.0f;
constexpr float kRowPitch = 33.0f;

flightplan::State& Route() { return flightplan::flightplan_state; }
model::State& Model() { return model::model_state; }
std::int32_t RouteStateNow() { return flightplan::flightplan_state.RouteState; }

using model::IsNone;

// The airport elevation the procedure loader left, as the number it starts
// with (0 when it holds none).
double LoadedElevationFeet() {
  const std::string& text = navdb::navdb_state.AirportElevationText;
  char* end = nullptr;
  double feet = std::strtod(text.c_str(), &end);
  return end != text.c_str() && std::isfinite(feet) ? feet : 0.0;
}

// An airport as a route entry; the entry keeps what the page does not name
// (its hold, its via).
void WriteAirport(model::FlightPlanWaypoint& w, const model::AirportProcedureSet& airport) {
  w.ident = airport.AirportIdent;
  w.latitude = airport.AirportLatitude;
  w.longitude = airport.AirportLongitude;
  w.type = "APT";
  w.frequency_text.clear();
  w.altitude_constraint = LoadedElevationFeet();
}

void WriteDestination(model::FlightPlanWaypoint& w) {
  WriteAirport(w, navdb::procedure_state.AirportProcedureSets[2]);
  w.speed_constraint = model::kNoValue;
  w.value3 = model::kNoValue;
}

// The last index a destination is written at: never the origin's slot.
int DestinationIndex(int& last) {
  last = std::clamp(last, 1, flightplan::kMaxPlanLastIndex);
  return last;
}

void ForgetArrivalChoices() {
  State& s = fms_state;
  s.FmsArrRunwayChosen = s.FmsArrTransChosen = s.FmsArrApproachTransChosen = 0;
  s.ArrivalNameListSelection = s.FmsSelectedApproachIndex = s.FmsArrApproachState = 0;
}

// ---- sub-page 1: the route ends ---------------------------------------------

void EnterOrigin(const std::string& t) {
  if (navdb::LoadAirportProcedures(t, 1) != 1) return RefuseEntry(kNotInDatabase);
  flightplan::State& fp = Route();
  model::State& m = Model();
  flightplan::ClearActivePlanFields();
  flightplan::ClearPendingPlanFields();
  const model::AirportProcedureSet& origin = navdb::procedure_state.AirportProcedureSets[1];
  WriteAirport(fp.ActiveFlightPlan[0], origin);
  // The destination's slot: blank at the origin, so that nothing of an
  // earlier route shows or is drawn before the destination is entered.
  model::FlightPlanWaypoint& next = fp.ActiveFlightPlan[1];
  flightplan::BlankEntry(next);
  next.latitude = origin.AirportLatitude;
  next.longitude = origin.AirportLongitude;
  fp.ActiveFlightPlanLastIndex = 1;
  flightplan::ActiveRouteChanged();
  flightplan::WriteEndMarker(flightplan::ActivePlan());
  fp.ActiveWaypointIndex = model::kNoWaypoint;
  // As a destination entry sets it: the route's last entry, where the old
  // route's index would name no waypoint of the new one.
  guidance::guidance_state.NextConstraintIndex = fp.ActiveFlightPlanLastIndex;
  m.CruiseAlt = 0;
  flightplan::CopyActiveToPendingPlan();
  flightplan::BuildRouteViaToList();
  m.OriginAirportIdent = t;
  m.RteOriginIdent = m.OriginAirportIdent;
  guidance::guidance_state.TocPassed = guidance::guidance_state.TodPassed = 0;
  AcceptEntry();
  m.SelectedDepartureRunway = m.RouteDepartureRunway = m.DestinationAirportIdent = model::kNoneText;
  m.SelectedArrivalRunway = m.SelectedStar = model::kNoneText;
  fp.RouteState = 0;
  State& s = fms_state;
  s.FmsDepSidState = s.FmsDepTransChosen = s.FmsDepRunwayChosen = 0;
  s.FmsArrStarState = s.FmsArrApproachState = s.FmsArrRunwayChosen = 0;
  s.FmsArrTransChosen = s.FmsArrApproachTransChosen = 0;
}

void WritePendingDestination() {
  flightplan::State& fp = Route();
  WriteDestination(fp.PendingFlightPlan[DestinationIndex(fp.PendingFlightPlanLastIndex)]);
  flightplan::WriteEndMarker(flightplan::PendingPlan());
}

void EnterDestinationOfNewRoute(const std::string& t) {
  flightplan::State& fp = Route();
  guidance::State& g = guidance::guidance_state;
  if (fp.ActiveFlightPlan[0].ident.empty()) fp.ActiveFlightPlanLastIndex = 1;
  if (fp.ActiveWaypointIndex == model::kNoWaypoint) fp.ActiveWaypointIndex = 1;
  g.NextConstraintIndex = DestinationIndex(fp.ActiveFlightPlanLastIndex);
  WriteDestination(fp.ActiveFlightPlan[fp.ActiveFlightPlanLastIndex]);
  flightplan::ActiveRouteChanged();
  flightplan::WriteEndMarker(flightplan::ActivePlan());
  const model::FlightPlanWaypoint& active = fp.ActiveFlightPlan[fp.ActiveWaypointIndex];
  g.ActiveWaypointLat = active.latitude;
  g.ActiveWaypointLon = active.longitude;
  navdb::ComputeDistanceAndBearing(g.PlaneLatitude, g.PlaneLongitude, active.latitude, active.longitude,
                                   g.ActiveWaypointDistance, g.BearingToActiveWaypoint);
  // A route being entered or activated (its rows, a company route) lives in
  // the pending plan only: copying the bare active plan over it would lose
  // it. Its destination changes in place.
  if ((RouteStateNow() == 1 || RouteStateNow() == 2) && fp.PendingFlightPlanLastIndex >= 1) {
    WritePendingDestination();
  } else {
    flightplan::CopyActiveToPendingPlan();
  }
  Model().DestinationAirportIdent = t;
  Model().SelectedArrivalRunway = Model().SelectedStar = model::kNoneText;
}

void EnterDestination(const std::string& t) {
  if (navdb::LoadAirportProcedures(t, 2) != 1) return RefuseEntry(kNotInDatabase);
  flightplan::State& fp = Route();
  const std::int32_t state = RouteStateNow();
  if (state < 3) {
    EnterDestinationOfNewRoute(t);
  } else if (state == 3) {
    flightplan::CopyActiveToPendingPlan();
    // The old arrival goes: its STAR legs in front of the destination.
    for (int i = fp.PendingFlightPlanLastIndex - 1; i > 1 && fp.PendingFlightPlan[i].procedure_tag == "STAR"; --i) {
      DeleteRouteLegEntry(i, 1);
    }
    Model().PendingDestinationIdent = t;
    WritePendingDestination();
    // A STAR leg taken out has already made the change pending.
    if (RouteStateNow() == 3) flightplan::StepRouteState();
  } else {
    WritePendingDestination();
    Model().PendingDestinationIdent = t;
  }
  AcceptEntry();
  ForgetArrivalChoices();
}

// The stored plan a company-route name stands for: the first whose file
// name begins with it, else the first from its first four characters to
// its next four (KSEAKPDX); else a plan file the list left out (damaged,
// or a pipe or folder by that name) whose name begins with it. Empty: none.
std::string FindCompanyRoute(const std::string& t) {
  const flightplan::State& fp = Route();
  const int count = std::clamp(fp.FlightPlanLibraryCount, 0, model::kFlightPlanLibrarySlots - 1);
  for (int i = 1; i <= count; ++i) {
    if (fp.FlightPlanLibrary[i].name.compare(0, t.size(), t) == 0) return fp.FlightPlanLibrary[i].name;
  }
  if (t.size() > 4) {
    const std::string origin = t.substr(0, 4);
    const std::string destination = t.substr(4, 4);
    for (int i = 1; i <= count; ++i) {
      const model::FlightPlanLibraryEntry& e = fp.FlightPlanLibrary[i];
      if (e.origin_ident == origin && e.destination_ident == destination) return e.name;
    }
  }
  for (const std::string& name : fp.UnlistedPlanNames)
    if (name.compare(0, t.size(), t) == 0) return name;
  return "";
}

void EnterCompanyRoute(const std::string& t) {
  const std::string name = FindCompanyRoute(t);
  if (name.empty()) return RefuseEntry(kNotInDatabase);
  flightplan::State& fp = Route();
  // A plan that cannot be loaded leaves the route and its state; the
  // scratchpad keeps the name. A plan the list left out is tried all the
  // same: the status log says again why it cannot be loaded, and a plan
  // mended since loads.
  if (!flightplan::LoadSelectedFlightPlan(name, 0)) return RefuseEntry(flightplan::kUnableToLoadText);
  fms_state.RteCoRouteText = t;
  // Always: a plan of its two ends alone has no rows, and those of the
  // route shown before must go.
  flightplan::BuildRouteViaToList();
  fp.RouteState = fp.RouteState < 3 ? 1 : 4;
  AcceptEntry();
}

void EnterRunway(const std::string& t) {
  model::State& m = Model();
  if (IsNone(m.OriginAirportIdent)) return;
  model::AirportProcedureSet& origin = navdb::procedure_state.AirportProcedureSets[1];
  const int count = std::clamp(origin.RunwayCount, 0, model::kMaxRunways);
  int found = 0;
  for (int i = 1; i <= count && found == 0; ++i) {
    if (origin.Runways[i].number_text == t) found = i;
  }
  if (found == 0) return RefuseEntry(kNotInDatabase);
  if (IsNone(m.RouteDepartureRunway)) {
    m.RouteDepartureRunway = origin.Runways[found].number_text;
    fms_state.FmsDepRunwayChosen = 1;
    origin.SelectedRunwayIndex = found;
    m.SelectedDepartureRunway = m.RouteDepartureRunway;
    m.PendingDepartureRunway = model::kNoneText;
  } else if (RouteStateNow() == 3) {
    m.PendingDepartureRunway = t;
    // EXEC takes the pending route with the runway: the flown route as it
    // now is, not the copy the page took when it opened.
    flightplan::BeginRouteModification();
    flightplan::StepRouteState();
  } else {
    m.RouteDepartureRunway = t;
  }
  AcceptEntry();
}

void ActOnRouteEnds(int key) {
  using Entry = void (*)(const std::string&);
  Entry entry = nullptr;
  switch (key) {
    case kL1: entry = EnterOrigin; break;
    case kR1: entry = EnterDestination; break;
    case kL2: entry = EnterCompanyRoute; break;
    case kL3: entry = EnterRunway; break;
    default: return;
  }
  // None of these fields can be deleted.
  if (DeleteArmed()) return RefuseEntry(kInvalidDelete);
  const std::string t = Scratchpad();
  if (!t.empty()) entry(t);
}

void DrawRouteEnds(CduPage& page) {
  const model::State& m = Model();
  const std::int32_t state = RouteStateNow();
  page.Small(12, 22, "O R I G I N");
  if (state == 4 && !m.RteOriginIdent.empty()) {
    page.HighlightedText(0, 33, m.RteOriginIdent, 3, 33, static_cast<int>(m.RteOriginIdent.size()));
  } else if (IsNone(m.OriginAirportIdent)) {
    page.Large(0, 33, "- - - - -");
  } else {
    page.Large(0, 33, ScreenText("%5s", m.OriginAirportIdent.c_str()));
  }

  page.Small(220, 22, "D E S T");
  if (!m.DestinationAirportIdent.empty() && !IsNone(m.DestinationAirportIdent)) {
    // A modification shows the destination it changes to; one that kept
    // the destination shows the destination.
    if (state == 4 && !m.PendingDestinationIdent.empty() && !IsNone(m.PendingDestinationIdent)) {
      page.HighlightedText(210, 33, m.PendingDestinationIdent, 213, 33,
                           static_cast<int>(m.PendingDestinationIdent.size()));
    } else {
      page.Large(210, 33, ScreenText("%5s", m.DestinationAirportIdent.c_str()));
    }
  } else {
    page.EntryBoxes(220, 38, 5);
  }

  page.Small(12, 55, "C O   R O U T E");
  page.Large(0, 66, "- - - - - -");

  if (!IsNone(m.OriginAirportIdent)) {
    page.Small(12, 88, "R U N W A Y");
    if (IsNone(m.RouteDepartureRunway)) {
      page.Large(0, 104, "- - - - -");
    } else if (state == 4 && !IsNone(m.PendingDepartureRunway)) {
      page.HighlightedText(0, 104, m.PendingDepartureRunway, 0, 104,
                           static_cast<int>(m.PendingDepartureRunway.size()));
    } else {
      page.Large(0, 104, m.RouteDepartureRunway);
    }
  }
  page.Large(2, 132, "- - - - - - - - - - - - - - - - - - - - - - - -");
}

// ---- sub-pages 2 and on: the VIA/TO rows ------------------------------------

int RowCount() { return std::clamp(Route().RouteViaToCount, 0, model::kFlightPlanSlots - 1); }

// The first route row of a sub-page (sub-page 2 shows rows 1 to 5).
int FirstRowOf(int sub_page) { return kRowsPerSubPage * (sub_page - 2) + 1; }

// The first pending-plan entry of row r (1..count) or of the entry row
// (count + 1): a row's legs start after the previous row's TO.
int FirstLegOfRow(int r) {
  const std::vector<navdb::RouteRow> rows = navdb::PendingRouteRows();
  if (r >= 1 && r <= static_cast<int>(rows.size())) return rows[static_cast<std::size_t>(r - 1)].from + 1;
  return rows.empty() ? 1 : rows.back().to + 1;
}

const model::RouteViaToEntry& RowAt(int r) { return Route().RouteViaToList[r]; }

void DeleteAirway(int r) {
  if (r > RowCount() || navdb::UpdatePendingViaFields(r) == 0) return RefuseEntry(kInvalidDelete);
  Model().PanelMessage.clear();
  flightplan::BuildRouteViaToList();
  StepFromUnchanged();
}

void EnterAirway(int k, int r, const std::string& t) {
  navdb::EntryState& e = navdb::entry_state;
  if (r == 1) return RefuseEntry(kInvalidEntry);
  const int entry_fix = flightplan::FindNextViaToWaypoint(r - 1);
  Route().EditWaypointIndex = entry_fix;
  if (entry_fix == 0) return RefuseEntry(kInvalidEntry);
  navdb::ListAirwaysThroughWaypoint("#" + t);
  if (e.WaypointCandidateCount <= 0 || e.AirwayListCount <= 0) return RefuseEntry(kInvalidEntry);
  if (navdb::SelectAirwayCandidate(r) == 0) {
    if (!flightplan::InsertAirwayViaPending(RouteRowInsertIndex(r))) return RefuseEntry(kInvalidEntry);
  }
  flightplan::BuildRouteViaToList();
  StepFromUnchanged();
  AcceptEntry();
  if (k >= 3) e.AirwayInsertPending = 0;
}

// The exit fix typed on a "THEN" row ends the airway the row waits on.
void EnterAirwayExit(int r, const std::string& t) {
  navdb::EntryState& e = navdb::entry_state;
  const int entry_fix = flightplan::FindNextViaToWaypoint(r - 1);
  Route().EditWaypointIndex = entry_fix;
  // The candidates are the airway's fixes again, whatever was looked up
  // since the airway was typed.
  navdb::ListAirwaysThroughWaypoint("#" + RowAt(r).via);
  e.SelectedAirwayIndex = navdb::FindWaypointCandidate(t);
  if (e.AirwayListCount <= 0 || e.SelectedAirwayIndex == 0 || e.SelectedAirwayIndex == e.AirwayListCount) {
    RefuseEntry(kInvalidEntry);
    AcceptEntry();
    return;
  }
  e.AirwayInsertPending = 1;
  navdb::InsertAirwayLegs();
  e.AirwayInsertPending = 0;
  flightplan::CompactPendingPlan();
  flightplan::BuildRouteViaToList();
  StepFromUnchanged();
  AcceptEntry();
}

void EnterTo(int r, const std::string& t) {
  const flightplan::State& fp = Route();
  const bool listed = r <= RowCount();
  if (listed && t == RowAt(r).to) return RefuseEntry(kInvalidEntry);
  // A waypoint further down the route: the legs up to it go.
  const int first = std::max(FirstLegOfRow(r), 1);
  for (int j = first; j <= fp.PendingFlightPlanLastIndex; ++j) {
    if (fp.PendingFlightPlan[j].ident == t) {
      flightplan::RemovePendingWaypoints(first, j);
      return;
    }
  }
  if (listed && RowAt(r).to == "THEN") return EnterAirwayExit(r, t);

  navdb::entry_state.WaypointEntryText = t;
  navdb::ResolveWaypointEntry(navdb::kAllTables);
  const int candidates = navdb::entry_state.WaypointCandidateCount;
  if (candidates == 0) return RefuseEntry(kNotInDatabase);
  if (candidates == 1) {
    if (!flightplan::InsertCandidateIntoPending(RouteRowInsertIndex(r))) return RefuseEntry(kInvalidEntry);
    flightplan::BuildRouteViaToList();
    StepFromUnchanged();
  } else {
    OpenSelectWaypoint(r, kPageRoute);
  }
  AcceptEntry();
}

void ActOnRows(int key, int sub_page) {
  const int k = RowOfKey(key);
  if (k == 0) return;
  const std::string t = Scratchpad();
  if (DeleteArmed() || !t.empty()) BeginRouteRowEdit();
  const int r = FirstRowOf(sub_page) + k - 1;
  // Rows below the entry row show nothing and take nothing.
  if (r > RowCount() + 1) return;
  if (IsLeftKey(key)) {
    if (DeleteArmed()) return DeleteAirway(r);
    if (!t.empty()) EnterAirway(k, r, t);
    return;
  }
  if (DeleteArmed()) return RefuseEntry(kInvalidDelete);
  if (!t.empty()) return EnterTo(r, t);
  if (r <= RowCount()) {
    const std::string& to = RowAt(r).to;
    if (to != "THEN" && to != "DISCO") Model().FmsScratchpad = to;
  }
}

void DrawRows(CduPage& page, int sub_page) {
  page.Small(12, 22, "V I A");
  page.Small(220, 22, "T O");
  float y = kFirstRowY;
  int drawn = 0;
  for (int r = FirstRowOf(sub_page); drawn < kRowsPerSubPage && r <= RowCount(); ++r, ++drawn, y += kRowPitch) {
    const model::RouteViaToEntry& row = RowAt(r);
    if (row.to == "THEN" || row.to == "DISCO") {
      page.Large(0, y, row.to == "DISCO" ? std::string("- - - - - -") : row.via);
      page.Small(100, y - 11, "THEN");
      page.EntryBoxes(220, y, 5);
      continue;
    }
    const std::string& before = RowAt(r - 1).to;
    if (before == "DISCO" || before == "THEN") {
      page.Small(0, y - 11, "- -   R O U T E    D I S C O N T I N U I T Y  -");
      page.Large(0, y, "- - - - - -");
    } else {
      page.Large(0, y, row.via);
    }
    page.Large(190, y, row.to);
  }
  if (drawn < kRowsPerSubPage) {
    page.Large(0, y, "- - - - - -");
    page.Large(210, y, "- - - - -");
  }
  page.Large(0, 187, "- - - - - - - - - - - - - - - - - - - - - - - - -");
}

// ---- every sub-page ---------------------------------------------------------

void ActOnBottom(int key) {
  if (key == kL6) {
    if (RouteStateNow() == 4) flightplan::ResetRouteData();
  } else if (key == kR6) {
    if (DeleteArmed()) return RefuseEntry(kInvalidDelete);
    if (RouteStateNow() == 1) {
      flightplan::StepRouteState();
    } else {
      OpenPage(kPagePerfInit);
    }
  }
}

void DrawBottom(CduPage& page) {
  const std::int32_t state = RouteStateNow();
  if (state == 4) page.Large(0, kPromptY, "< ERASE");
  if (state == 1) {
    page.Large(160, 202, "ACTIVATE >");
  } else if (state >= 2 && state <= 4) {
    page.Large(160, 202, "PERF INIT >");
  }
}

}  // namespace

void FmsPageRoute(display::GaugeDisplay& display, gfx::Graphics& g) {
  model::FmsSubPageTable& sub = Model().FmsSubPageTable;
  CduPage page(display, g);
  // The rows and one entry row, five a sub-page, after the route ends.
  sub.RteSubPageCount = std::max(2, 1 + (RowCount() + 1 + kRowsPerSubPage - 1) / kRowsPerSubPage);
  sub.RteSubPage = std::clamp(sub.RteSubPage, 1, sub.RteSubPageCount);
  if (fms_state.FmsRteKey == 1) {
    if (RouteStateNow() == 3) flightplan::CopyActiveToPendingPlan();
    flightplan::BuildRouteViaToList();
  }
  StepSubPage(sub.RteSubPage, sub.RteSubPageCount);

  page.ActModTitle(kActMod);
  page.Large(63, kTitleY, "RTE");
  page.Small(220, 0, ScreenText("%2d/%2d", sub.RteSubPage, sub.RteSubPageCount));

  const int key = LineSelectKey();
  const int shown = sub.RteSubPage;
  if (key == kL6 || key == kR6) {
    ActOnBottom(key);
  } else if (shown == 1) {
    ActOnRouteEnds(key);
  } else {
    ActOnRows(key, shown);
  }
  if (shown == 1) {
    DrawRouteEnds(page);
  } else {
    DrawRows(page, shown);
  }
  DrawBottom(page);
  page.ScratchpadLine();
}

}  // namespace ovi::fms
