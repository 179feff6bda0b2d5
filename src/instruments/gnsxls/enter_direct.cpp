// ENT's direct-to share. The direct-to key has copied the flown route into
// PendingFlightPlan as a working copy whose last index counts its end
// marker (keypad.cpp); DIRECT (page 7) picks or types the target, DATABASE
// WPT opened from it confirms a typed target, which waits beside the copy
// in its place, and ENT flies it: the flown route is rebuilt from the copy
// with the target and a "DIRECT" waypoint at the aircraft in front of the
// waypoint flown to. On the closest-airport sub-page ENT flies to one of
// the nearest airports.
#include <string>

#include "src/flightplan/entry_line.h"
#include "src/flightplan/procedure_splice.h"
#include "src/flightplan/holds.h"
#include "src/flightplan/route_edit.h"
#include "src/flightplan/state.h"
#include "src/guidance/lateral.h"
#include "src/guidance/state.h"
#include "src/host/panel_services.h"
#include "src/instruments/gnsxls/enter_key.h"
#include "src/instruments/gnsxls/enter_shares.h"
#include "src/instruments/gnsxls/kit.h"
#include "src/instruments/gnsxls/navigator.h"
#include "src/instruments/gnsxls/route_edits.h"
#include "src/instruments/gnsxls/state.h"
#include "src/model/state.h"
#include "src/navdb/entry_state.h"
#include "src/navdb/navdb.h"
#include "src/navdb/procedures.h"
#include "src/navdb/state.h"
#include "src/navdb/waypoint_entry.h"

namespace ovi::gnsxls {

namespace {

State& S() { return gnsxls_state; }
flightplan::State& Fp() { return flightplan::flightplan_state; }
guidance::State& G() { return guidance::guidance_state; }

constexpr std::uint32_t kEventHeadingBug = 0x101FA;  // autopilot heading target, whole degrees
constexpr double kForcedTurn = 160.0;
constexpr double kNotMeasured = 999.0;

bool IsRouteMarker(const std::string& ident) {
  for (const char* m : {"******", "------", "---", "DISCO", "THEN"})
    if (ident == m) return true;
  return false;
}

bool TargetWaits() {
  const int t = S().GnsDirectTargetIndex;
  return t >= 0 && t <= flightplan::LastIndex(flightplan::PendingPlan());
}

// Entries 0..n - 1 of the direct-to's list (or, without the waiting
// target, of the copy) are waypoints; its end marker (when it has one) is
// entry n. Read no further than its last index.
int ListWaypoints(bool with_target) {
  const int last = with_target ? DirectListLast() : flightplan::LastIndex(flightplan::PendingPlan());
  for (int i = 0; i <= last; ++i)
    if ((with_target ? DirectListEntry(i) : Fp().PendingFlightPlan[i]).ident == "******") return i;
  return last + 1;
}

model::FlightPlanWaypoint DirectWaypoint() {
  model::FlightPlanWaypoint w;
  w.ident = "DIRECT";
  w.latitude = G().PlaneLatitude;
  w.longitude = G().PlaneLongitude;
  w.type = "WPT";
  w.procedure_tag = "DCT";
  return w;
}

// The autopilot is turned the long way round when the pilot chose the side
// the short turn does not take. The bearing keeps north as 360 (0.3 is
// 360.3) for the decision, as the pages show it.
void ForceTurn(const model::FlightPlanWaypoint& target) {
  guidance::State& g = G();
  double distance = 0.0, course = 0.0;
  navdb::ComputeDistanceAndBearing(g.PlaneLatitude, g.PlaneLongitude, target.latitude, target.longitude, distance,
                                   course);
  const double bearing = GnsMagneticBearing(course);
  const std::int32_t shorter = guidance::TurnDirection(bearing, g.AircraftHeading);
  const std::string& choice = S().TurnDirectionText;
  int heading = 0;
  if (choice == "RIGHT" && shorter == 1) {
    g.HoldTurnDirection = 2;
    heading = static_cast<int>(g.AircraftHeading + kForcedTurn);
    if (heading > 360) heading -= 360;
  } else if (choice == "LEFT" && shorter == 2) {
    g.HoldTurnDirection = 1;
    heading = static_cast<int>(g.AircraftHeading - kForcedTurn);
    if (heading < 0) heading += 360;
  } else {
    g.HoldTurnDirection = 0;
    return;
  }
  host::SendKeyEvent(kEventHeadingBug, static_cast<std::uint32_t>(heading));
}

// The working copy is still the one the direct-to key made. After an EXEC,
// an ERASE or an edit of another unit it is not: committed, it would undo
// that unit's route or fly a change nobody executed. The direct-to then
// ends with nothing changed (a waiting target goes with the copy), back on
// page 1, to be started again on the route as it now is.
bool WorkingCopyCurrent() {
  if (S().GnsDirectCopyStamp == RoutesStamp()) return true;
  S().GnsDirectTargetIndex = -1;
  BackToFlightPlan();
  flightplan::ResetGnsSelectionState();
  return false;
}

// The waiting target goes into the copy in its place as the direct-to is
// flown (later entries move up with their holds); it waits no more.
void PutTargetIntoCopy() {
  State& s = S();
  if (!TargetWaits()) return;
  const int t = s.GnsDirectTargetIndex;
  s.GnsDirectTargetIndex = -1;
  const flightplan::PlanRef copy = flightplan::PendingPlan();
  const int last = flightplan::LastIndex(copy);
  flightplan::OpenSlots(copy, t, 1);
  if (flightplan::LastIndex(copy) == last + 1) copy.plan[t] = s.GnsDirectTarget;
}

// The working copy is done with: the pending route is the flown one again.
void PendingBecomesFlownRoute() {
  const int cursor = Fp().EditWaypointIndex;
  flightplan::CopyActiveToPendingPlan();
  Fp().EditWaypointIndex = cursor;
}

// Flies the direct-to to working entry EditWaypointIndex. Refused (nothing
// changes) for a target that is not a waypoint of the copy, or when the
// rebuilt route would not keep a slot for its end marker.
void FlyDirect() {
  flightplan::State& fp = Fp();
  guidance::State& g = G();
  const int k = fp.EditWaypointIndex;
  const int count = ListWaypoints(true);
  if (k < 0 || k >= count || IsRouteMarker(DirectListEntry(k).ident)) return;
  // A placeholder origin ahead of an airport is dropped from the flown route.
  const int drop = count >= 2 && DirectListEntry(0).ident == "---" && DirectListEntry(1).type == "APT" ? 1 : 0;
  const int new_last = count - drop;  // the waypoints written, DIRECT included, less one
  if (new_last > kMaxEditLastIndex) return;
  PutTargetIntoCopy();
  const model::FlightPlanTable& copy = fp.PendingFlightPlan;

  // Holds move with their waypoints: those from the target on by the DIRECT
  // in front of them, all by a dropped placeholder. Renumbered in an order
  // in which no index is taken twice.
  if (drop == 0) {
    for (int i = count - 1; i >= k; --i) flightplan::RenumberHoldPendingIndex(i + 1, i);
  } else {
    // The airport becomes the origin, where no hold stands.
    if (k > 1) flightplan::DropHoldsOn(flightplan::PendingPlan(), 1, 1);
    for (int i = 2; i < k; ++i) flightplan::RenumberHoldPendingIndex(i - 1, i);
  }
  int j = 0, target = 0;
  for (int i = drop; i < count; ++i) {
    if (i == k) {
      fp.ActiveFlightPlan[j++] = DirectWaypoint();
      target = j;
    }
    fp.ActiveFlightPlan[j++] = copy[i];
  }
  fp.ActiveFlightPlan[0].hold_number = 0;
  fp.ActiveFlightPlanLastIndex = j - 1;
  flightplan::ActiveRouteChanged();
  flightplan::WriteEndMarker(flightplan::ActivePlan());
  g.NextConstraintIndex = 0;
  flightplan::RestoreHoldIndices();
  fp.ActiveWaypointIndex = target;
  fp.EditWaypointIndex = target;
  ForceTurn(fp.ActiveFlightPlan[target]);

  State& s = S();
  s.GnsLoadedPlanFlagB = 1;
  s.GnsXlsFplView = kViewActive;
  s.GnsActivePlanPage = 1;
  g.DirectToActive = 0;
  // The line from where the direct-to was begun is the leg flown.
  g.LnavLegTracking = 1;
  g.ActiveWaypointLat = fp.ActiveFlightPlan[target].latitude;
  g.ActiveWaypointLon = fp.ActiveFlightPlan[target].longitude;
  // Measured afresh: a distance left from the waypoint flown to before
  // would pass the target at once.
  g.ActiveWaypointDistance = kNotMeasured;
  PendingBecomesFlownRoute();
  BackToFlightPlan();
  flightplan::ResetGnsSelectionState();
}

// The route becomes its origin and the airport: entry 1, the last, the
// waypoint flown to and the destination.
void FlyToClosestAirport(const model::NavDbRecord& airport) {
  flightplan::State& fp = Fp();
  guidance::State& g = G();
  model::State& m = model::model_state;
  const flightplan::PlanRef route = flightplan::ActivePlan();
  const int last = flightplan::LastIndex(route);
  // Holds of the waypoints the route loses go with them.
  flightplan::DropHoldsOn(route, 1, last);
  // A route without an origin starts where the aircraft is.
  if (last < 0) route.plan[0] = DirectWaypoint();
  model::FlightPlanWaypoint& end = route.plan[1];
  flightplan::BlankEntry(end);
  end.ident = std::string(airport.ident.view());
  end.latitude = airport.latitude;
  end.longitude = airport.longitude;
  end.type = "APT";
  g.ActiveWaypointLat = end.latitude;
  g.ActiveWaypointLon = end.longitude;
  g.ActiveWaypointDistance = kNotMeasured;
  fp.ActiveFlightPlanLastIndex = 1;
  flightplan::WriteEndMarker(route);
  fp.ActiveWaypointIndex = 1;
  S().McuLegsCursor = 1;
  m.DestinationAirportIdent = end.ident;
  navdb::LoadAirportProcedures(end.ident, 2);
  navdb::LoadAirportDetails(end.ident, 1);
  g.NextConstraintLat = end.latitude;
  g.NextConstraintLon = end.longitude;
  end.altitude_constraint = g.NextConstraintAltitude;
  flightplan::ActiveRouteChanged();
  g.NextConstraintIndex = 1;
  PendingBecomesFlownRoute();
  BackToFlightPlan();
  S().GnsXlsFplView = kViewActive;
  // The line chosen on the closest airports would stand for a row of the
  // flight plan page, with the airport's ident over it.
  flightplan::ResetGnsSelectionState();
  S().GnsXlsEntryActive = 0;
}

}  // namespace

void EnterDirect() {
  State& s = S();
  if (!WorkingCopyCurrent()) return;
  if (s.GnsDirectPageMode != 1) {
    // A typed ident, compared without the blanks that pad the entry line;
    // empty places of the list are no airport.
    const std::string typed = EntryText();
    if (typed.empty()) return;
    for (int i = 1; i <= kClosestAirportCount; ++i) {
      const model::NavDbRecord& a = s.ClosestAirportList[i];
      if (a.ident.view() == typed) return FlyToClosestAirport(a);
    }
    return;
  }
  if (s.GnsDirectEntryStep == 0 && s.ScratchpadClearPending == 0) {
    navdb::EntryState& e = navdb::entry_state;
    s.SelectedCandidateIndex = 0;
    e.WaypointEntryText = EntryText();
    navdb::ResolveWaypointEntry(0);
    if (e.WaypointCandidateCount >= 1) {
      s.GnsXlsReturnPage = kPageDirect;
      s.GnsXlsPage = kPageDatabaseWaypoint;
      s.GnsDatabaseWaypointPage = 1;
      s.SelectedCandidateIndex = 1;
      // A row chosen on DIRECT would stand on DATABASE WPT as its line 10
      // (key 10 chosen in the direct-to key's frame): ENT there would take
      // the flyover choice instead of the target.
      flightplan::ResetGnsSelectionState();
    }
    return;
  }
  if (s.GnsDirectEntryStep == 0 || s.GnsDirectEntryStep == 1) FlyDirect();
}

void EnterDirectTarget() {
  State& s = S();
  const navdb::EntryState& e = navdb::entry_state;
  const int n = s.SelectedCandidateIndex;
  if (n < 1 || n > e.WaypointCandidateCount) return;
  if (!WorkingCopyCurrent()) return;
  // The target waits in front of the list's entry k, any entry up to the
  // end marker. One target waits: a second one takes the first one's place
  // (the list's entries behind it are the copy's one lower). The route
  // flown from the copy must keep a slot for its own marker with the
  // target and the DIRECT waypoint added.
  int k = Fp().EditWaypointIndex;
  if (TargetWaits() && k > s.GnsDirectTargetIndex) --k;
  const int last = flightplan::LastIndex(flightplan::PendingPlan());
  if (k < 0 || k > last || ListWaypoints(false) + 1 > kMaxEditLastIndex) return;
  const model::NavDbRecord& c = e.WaypointCandidateList[n];
  model::FlightPlanWaypoint& target = s.GnsDirectTarget;
  flightplan::BlankEntry(target);
  target.ident = std::string(c.ident.view());
  target.latitude = c.latitude;
  target.longitude = c.longitude;
  target.type = flightplan::RouteTypeOfKind(c.kind.view());
  target.frequency_text = std::string(c.frequency_text.view());
  s.GnsDirectTargetIndex = k;
  Fp().EditWaypointIndex = k;

  s.GnsXlsPage = kPageDirect;
  s.NavigatorScratchpad = target.ident;
  s.GnsXlsEntryActive = 1;
  s.ScratchpadClearPending = 1;
  s.GnsDirectEntryStep = 1;
  flightplan::ResetGnsSelectionState();
  flightplan::ScratchpadKeyInput("", 1);
}

int DirectListLast() {
  const int last = flightplan::LastIndex(flightplan::PendingPlan());
  return TargetWaits() ? last + 1 : last;
}

const model::FlightPlanWaypoint& DirectListEntry(int i) {
  const model::FlightPlanTable& copy = Fp().PendingFlightPlan;
  const int t = S().GnsDirectTargetIndex;
  if (!TargetWaits() || i < t) return copy[i];
  if (i == t) return S().GnsDirectTarget;
  return copy[i - 1];
}

void DropStaleDirectTarget() {
  if (S().GnsDirectTargetIndex >= 0 && S().GnsDirectCopyStamp != RoutesStamp()) S().GnsDirectTargetIndex = -1;
}

}  // namespace ovi::gnsxls
