// ENT's route-editing share: on page 1 a typed entry (an airway, an offset,
// a database place or a new pilot waypoint) or the delete CLR asked for;
// the insertion commits of DATABASE WPT, PILOT ENTERED WPT and OFFSET WPT;
// the airway segment of AIRWAY. Each edit of the flown route starts and
// ends as route_edits.h says.
#include <string>

#include "src/flightplan/entry_line.h"
#include "src/flightplan/procedure_splice.h"
#include "src/flightplan/route_edit.h"
#include "src/flightplan/state.h"
#include "src/guidance/state.h"
#include "src/instruments/gnsxls/enter_key.h"
#include "src/instruments/gnsxls/enter_shares.h"
#include "src/instruments/gnsxls/field_typing.h"
#include "src/instruments/gnsxls/flight_plan_page.h"
#include "src/instruments/gnsxls/kit.h"
#include "src/instruments/gnsxls/navigator.h"
#include "src/instruments/gnsxls/offset_position.h"
#include "src/instruments/gnsxls/route_edits.h"
#include "src/instruments/gnsxls/state.h"
#include "src/navdb/airways.h"
#include "src/navdb/entry_state.h"
#include "src/navdb/waypoint_entry.h"

namespace ovi::gnsxls {

namespace {

State& S() { return gnsxls_state; }
flightplan::State& Fp() { return flightplan::flightplan_state; }
navdb::EntryState& E() { return navdb::entry_state; }

constexpr const char* kEmptyField = "----------";

// Texts that stand in a route for something else than a waypoint: no
// entry may create a waypoint of that name.
bool IsRouteMarker(const std::string& ident) {
  for (const char* m : {"******", "------", "---", "DISCO", "THEN", "DIRECT"})
    if (ident == m) return true;
  return false;
}

void ShowEntryAt(const flightplan::PlanRef& plan, int k) {
  State& s = S();
  const model::FlightPlanWaypoint* w = plan.plan.At(k);
  s.NavigatorScratchpad = w != nullptr ? w->ident : std::string();
  flightplan::ScratchpadKeyInput("", 1);
}

// ---- page 1 ----------------------------------------------------------------------

void DeleteSelected(int k) {
  State& s = S();
  const bool flown = EditsFlownRoute();
  if (flown) BeginFlownRouteEdit();
  if (DeleteFromEditedRoute(k)) {
    ShowEntryAt(EditedRoute(), k);
    s.GnsDeleteRequested = 0;
    if (flown) {
      FollowFlownDestination(false);
    } else {
      FollowStoredDestination();
    }
  }
  if (flown) EndFlownRouteEdit();
}

void OpenAirwayPage(const std::string& entry) {
  navdb::ListAirwayFixes(entry);
  S().GnsXlsPage = kPageAirway;
  S().GnsXlsReturnPage = kPageFlightPlan;
}

// "OLM*": OFFSET WPT about the place named; "*" alone names "TMPXX".
void OpenOffsetPage(std::string reference) {
  State& s = S();
  reference.pop_back();
  if (reference.empty()) reference = "TMPXX";
  E().WaypointEntryText = reference;
  navdb::ResolveWaypointEntry(0);
  if (E().WaypointCandidateCount < 1) return;
  s.GnsXlsReturnPage = kPageFlightPlan;
  s.GnsXlsPage = kPageOffsetWaypoint;
  s.GnsOffsetCandidateIdent = reference;
  s.GnsOffsetCandidateIndex = 1;
  // In either view: a position from an earlier offset entry never stands
  // for this one.
  ClearOffsetFields();
}

void OpenPilotPage(const std::string& name) {
  State& s = S();
  s.GnsPilotWaypointName = name.empty() ? "TMP00" : name;
  s.GnsXlsReturnPage = kPageFlightPlan;
  s.GnsXlsPage = kPagePilotWaypoint;
  s.GnsXlsEntryActive = 1;
  s.ScratchpadClearPending = 1;
  s.GnsPilotWaypointText2 = kEmptyField;
  s.GnsPilotWaypointText = kEmptyField;
  s.GnsPilotWaypointStep = 0;
  SetLineState(8, 1);
  s.GnsPilotLatitude = s.GnsPilotLongitude = 0.0;
  s.GnsPilotLatitudeEntered = s.GnsPilotLongitudeEntered = false;
  s.GnsPilotPositionRefused = false;
}

// The entry is read in this order: an airway ("#V23"), an offset ("OLM*"),
// a database place, else the name of a new pilot waypoint.
void TakeTypedEntry() {
  State& s = S();
  const std::string entry = EntryText();
  if (IsRouteMarker(entry)) return;
  if (!entry.empty() && entry.front() == '#') return OpenAirwayPage(entry);
  if (!entry.empty() && entry.back() == '*') return OpenOffsetPage(entry);
  E().WaypointEntryText = entry;
  navdb::ResolveWaypointEntry(0);
  if (E().WaypointCandidateCount >= 1) {
    s.GnsXlsReturnPage = kPageFlightPlan;
    s.GnsXlsPage = kPageDatabaseWaypoint;
    s.GnsDatabaseWaypointPage = 1;
    s.SelectedCandidateIndex = 1;
    return;
  }
  OpenPilotPage(entry);
}

// Inserts at EditWaypointIndex of the edited route, the flown one started
// and ended as every such edit. False when refused: the route and the page
// stay as they were.
bool InsertAtCursor(const model::FlightPlanWaypoint& entry, InsertFrom from, bool release_tags) {
  if (!EditedRouteOpen()) return false;
  const int k = Fp().EditWaypointIndex;
  const flightplan::PlanRef plan = EditedRoute(from);
  const int last = flightplan::LastIndex(plan);
  if (k < 0 || k > last + 1 || last + 1 > kMaxEditLastIndex) return false;
  const bool flown = EditsFlownRoute();
  if (flown) BeginFlownRouteEdit();
  if (release_tags) ReleaseProcedureTags(plan, k);
  const bool done = InsertIntoEditedRoute(k, entry, from);
  if (flown) EndFlownRouteEdit();
  return done;
}

// PILOT and OFFSET: the cursor moves past the new waypoint unless it was
// appended.
void StepCursorPastInsertion() {
  if (Fp().EditWaypointIndex < flightplan::LastIndex(EditedRoute())) ++Fp().EditWaypointIndex;
}

}  // namespace

void EnterFlightPlanEntry() {
  const int k = Fp().EditWaypointIndex;
  // Only at a row the page shows: a line key on an empty row leaves the
  // cursor of an earlier choice behind.
  if (k != EntryOfSelectedRow()) return;
  if (S().GnsDeleteRequested == 1) return DeleteSelected(k);
  TakeTypedEntry();
}

void EnterDatabaseWaypoint() {
  State& s = S();
  const navdb::EntryState& e = E();
  const int n = s.SelectedCandidateIndex;
  if (n < 1 || n > e.WaypointCandidateCount) return;
  const model::NavDbRecord& c = e.WaypointCandidateList[n];
  const model::FlightPlanWaypoint entry = NewRouteEntry(
      std::string(c.ident.view()), c.latitude, c.longitude, flightplan::RouteTypeOfKind(c.kind.view()),
      std::string(c.frequency_text.view()));
  if (!InsertAtCursor(entry, InsertFrom::kDatabase, true)) return;
  const bool flown = EditsFlownRoute();
  flightplan::State& fp = Fp();
  ++fp.EditWaypointIndex;
  BackToFlightPlan();
  if (flown && fp.ActiveWaypointIndex <= 1 && fp.ActiveWaypointIndex >= 0) {
    const model::FlightPlanWaypoint& active = fp.ActiveFlightPlan[fp.ActiveWaypointIndex];
    guidance::guidance_state.ActiveWaypointLat = active.latitude;
    guidance::guidance_state.ActiveWaypointLon = active.longitude;
  }
  // The next identifier typed goes in after the new waypoint.
  SelectRowOfEntry(fp.EditWaypointIndex);
  s.GnsXlsEntryActive = 1;
  s.ScratchpadClearPending = 1;
  ShowEntryAt(EditedRoute(), fp.EditWaypointIndex);
  if (flown) {
    FollowFlownOrigin();
    FollowFlownDestination(true);
  } else {
    if (fp.EditWaypointIndex == 1) FollowStoredOrigin();
    FollowStoredDestination();
  }
}

void EnterPilotWaypoint() {
  State& s = S();
  if (LineState(10) == 1) {
    TakeFlyoverChoiceFromEntry();
    flightplan::ResetGnsSelectionState();
    return;
  }
  const bool latitude = s.GnsPilotWaypointStep == 1;
  if (latitude || s.GnsPilotWaypointStep == 2) {
    const std::string& field = latitude ? s.GnsPilotWaypointText2 : s.GnsPilotWaypointText;
    double value = 0.0;
    if (PositionFieldDegrees(field, latitude ? kLatitudeField : kLongitudeField, value)) {
      s.GnsPilotPositionRefused = false;
      if (latitude) {
        s.GnsPilotLatitude = value;
        s.GnsPilotLatitudeEntered = true;
        if (!s.GnsPilotLongitudeEntered) s.GnsPilotWaypointStep = 2;
      } else {
        s.GnsPilotLongitude = value;
        s.GnsPilotLongitudeEntered = true;
        if (!s.GnsPilotLatitudeEntered) s.GnsPilotWaypointStep = 1;
      }
    } else if (field != kEmptyField) {
      // Typed but no position (not complete, or past 59 minutes or
      // seconds): said, where ENT would otherwise do nothing at all.
      s.GnsPilotPositionRefused = true;
      return;
    }
  }
  if (!s.GnsPilotLatitudeEntered || !s.GnsPilotLongitudeEntered) return;
  const model::FlightPlanWaypoint entry =
      NewRouteEntry(s.GnsPilotWaypointName, s.GnsPilotLatitude, s.GnsPilotLongitude, "WPT", "");
  if (!InsertAtCursor(entry, InsertFrom::kCreated, false)) return;
  StepCursorPastInsertion();
  if (s.GnsXlsReturnPage == kPageFlightPlan) {
    BackToFlightPlan();
  } else {
    s.GnsXlsPage = s.GnsXlsReturnPage;
  }
  s.NavigatorScratchpad = s.GnsPilotWaypointName;
  flightplan::ResetGnsSelectionState();
}

void EnterOffsetWaypoint() {
  State& s = S();
  if (LineState(8) == 1) {
    // A bearing beyond a full circle is not taken: the field stays open.
    double bearing = 0.0;
    if (s.GnsOffsetBearingEdit != kNoBearing &&
        !(FieldValue(s.GnsOffsetBearingEdit, kBearingDigits, 3, bearing) && bearing <= 360.0))
      return;
    s.GnsOffsetBearingText = s.GnsOffsetBearingEdit;
    s.GnsOffsetDistanceText = s.GnsOffsetDistanceEdit;
    SetLineState(8, 2);
    s.GnsOffsetFirstDigit = 1;
    return;
  }
  if (LineState(8) == 2) {
    s.GnsOffsetDistanceEdit = s.GnsOffsetDistanceText;
    SetLineState(8, 0);
    return;
  }
  if (LineState(10) == 1) {
    TakeFlyoverChoiceFromEntry();
    flightplan::ResetGnsSelectionState();
    return;
  }
  if (s.GnsOffsetBearingText == kNoBearing || s.GnsOffsetDistanceText == kNoDistance) return;
  // Worked out again from the fields as they are now.
  if (!ComputeOffsetPosition()) return;
  const model::FlightPlanWaypoint entry =
      NewRouteEntry(s.GnsOffsetCandidateIdent + "*", s.GnsOffsetLatitude, s.GnsOffsetLongitude, "INT", "");
  if (!InsertAtCursor(entry, InsertFrom::kCreated, false)) return;
  if (s.GnsXlsReturnPage == kPageFlightPlan) {
    BackToFlightPlan();
  } else {
    s.GnsXlsPage = s.GnsXlsReturnPage;
  }
  StepCursorPastInsertion();
}

void EnterAirway() {
  const navdb::EntryState& e = E();
  const int count = e.WaypointCandidateCount;
  const int start = e.AirwayStartIndex, end = e.SelectedAirwayIndex;
  const flightplan::PlanRef plan = e.PendingPlanOpen == 1 ? flightplan::PendingPlan() : flightplan::ActivePlan();
  const int k = Fp().EditWaypointIndex;
  const int last = flightplan::LastIndex(plan);
  // Nothing to splice (no segment chosen, an end past the list, a start the
  // route no longer has, no room): the page stays for another choice or CLR.
  if (start < 1 || start > count || end < 1 || end > count || start == end || k < 0 || k > last ||
      last >= kMaxEditLastIndex || plan.plan[k].ident != std::string(e.WaypointCandidateList[start].ident.view()))
    return;
  const bool flown = e.PendingPlanOpen != 1;
  if (flown) BeginFlownRouteEdit();
  navdb::InsertAirwayLegs();
  if (flown) EndFlownRouteEdit();
  BackToFlightPlan();
  flightplan::ResetGnsSelectionState();
  navdb::entry_state.AirwayStartIndex = 0;
  navdb::entry_state.SelectedAirwayIndex = 0;
}

}  // namespace ovi::gnsxls
