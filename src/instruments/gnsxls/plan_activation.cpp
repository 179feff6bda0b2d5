#include <algorithm>
#include <string>

#include "src/flightplan/fuel.h"
#include "src/flightplan/holds.h"
#include "src/flightplan/load.h"
#include "src/flightplan/plan_ops.h"
#include "src/flightplan/procedure_splice.h"
#include "src/flightplan/route_edit.h"
#include "src/flightplan/state.h"
#include "src/guidance/flight_log.h"
#include "src/guidance/radio_tuning.h"
#include "src/guidance/state.h"
#include "src/guidance/vertical_plan.h"
#include "src/instruments/gnsxls/flight_plan_page.h"
#include "src/instruments/gnsxls/kit.h"
#include "src/instruments/gnsxls/state.h"
#include "src/model/state.h"
#include "src/navdb/entry_state.h"
#include "src/navdb/navdb.h"
#include "src/navdb/procedures.h"
#include "src/navdb/state.h"

namespace ovi::gnsxls {

namespace {

constexpr int kRowsPerPage = 6;
constexpr double kNewFlightGroundSpeed = 5.0;

bool IsClosingEntry(const model::FlightPlanLibraryEntry& e) {
  return e.origin_ident == "NEXT FPL" && e.destination_ident.empty();
}

// The selections of the route before: none of them belongs to the new one.
void ClearRouteSelections() {
  model::State& m = model::model_state;
  for (std::string* text :
       {&m.RouteSid, &m.SelectedSidTransition, &m.SelectedStar, &m.PendingStarTransition, &m.GnsSelectedApproach,
        &m.SelectedArrivalRunway, &m.RouteDepartureRunway, &m.DestinationAirportIdent, &m.OriginAirportIdent,
        &m.PlanSelectionText3, &m.PlanSelectionText2, &m.GnsSelectedSidTransition, &m.GnsSelectedStarTransition,
        &m.StarTransitionNone, &m.ApproachNone, &m.PlanSelectionText1, &m.PendingDepartureRunway,
        &m.PlanFinalWaypointIdent, &m.PendingOriginIdent, &m.GnsSelectedApproachVia})
    *text = model::kNoneText;
}

void TakeDestination(int last) {
  model::State& m = model::model_state;
  guidance::State& g = guidance::guidance_state;
  model::FlightPlanWaypoint& end = flightplan::flightplan_state.ActiveFlightPlan[last];
  m.DestinationAirportIdent = end.ident;
  navdb::LoadAirportProcedures(end.ident, 2);
  navdb::LoadAirportDetails(end.ident, 2);
  navdb::ListStars(model::kNoneText, model::kNoneText);
  g.NextConstraintIndex = last;
  g.NextConstraintLat = end.latitude;
  g.NextConstraintLon = end.longitude;
  end.altitude_constraint = g.NextConstraintAltitude;
  flightplan::ActiveRouteChanged();
  m.CruiseAlt = m.FileCruiseAlt;
  guidance::ComputeCruiseAltitude(m.FileCruiseAlt > 0 ? m.FileCruiseAlt : 0, 0);
  if (m.LoadFuelonFlightPlanLoad == 1 && m.PlannedFuel > 0.0) flightplan::LoadFuelIntoTanks(m.PlannedFuel);
  gnsxls_state.McuLegsCursor = 1;
  g.ArrivalActionsDone = 0;
  if (g.GroundSpeedKnots < kNewFlightGroundSpeed) {
    g.FlightPhase = guidance::kFlightLogRestart;
    guidance::UpdateFlightLog(guidance::kLogTick);
    g.LastClockSecond = -99.0;
    g.ElapsedFlightSeconds = 0.0;
  }
}

// The origin's details are loaded as an origin's (mode 0): the destination
// stays the tower view's airport.
void TakeOrigin() {
  model::State& m = model::model_state;
  const std::string ident = flightplan::flightplan_state.ActiveFlightPlan[0].ident;
  m.OriginAirportIdent = ident;
  navdb::LoadAirportProcedures(ident, 1);
  navdb::ListSids(model::kNoneText, model::kNoneText);
  navdb::LoadAirportDetails(ident, 0);
  m.McuAirportElevationText = navdb::navdb_state.AirportElevationText;
  m.McuAirportIdent = navdb::navdb_state.AirportDetailText;
}

}  // namespace

void OpenLibraryPlan(int entry) {
  flightplan::State& fp = flightplan::flightplan_state;
  State& s = gnsxls_state;
  const model::FlightPlanLibraryEntry& e = fp.FlightPlanLibrary[entry];
  // A plan that cannot be read leaves the list shown: the plan opened
  // before must not stand under this plan's number.
  if (!flightplan::LoadSelectedFlightPlan(IsClosingEntry(e) ? std::string("NEXT FPL") : e.name, 0)) return;
  // A plan opened over the executed route is a change of it waiting to be
  // activated, as one loaded on the CDU is: the route state says so.
  if (fp.RouteState == 3) flightplan::StepRouteState();
  s.GnsStoredPlanIndex = entry;
  navdb::entry_state.PendingPlanOpen = 1;
  s.GnsStoredPlanPage = 1;
  flightplan::ResetGnsSelectionState();
  if (fp.PendingFlightPlanLastIndex == -1) {
    SetLineState(1, 0);
    s.GnsXlsCarriedLineKey = 1;
  }
}

void ActivateStoredPlan() {
  flightplan::State& fp = flightplan::flightplan_state;
  model::State& m = model::model_state;
  guidance::State& g = guidance::guidance_state;
  State& s = gnsxls_state;
  const int last = flightplan::LastIndex(flightplan::PendingPlan());
  if (last < 0) {
    flightplan::ResetGnsSelectionState();
    return;
  }
  for (int i = 0; i <= last; ++i) {
    model::FlightPlanWaypoint& w = fp.ActiveFlightPlan[i];
    w = fp.PendingFlightPlan[i];
    w.time_over_text.clear();
    w.altitude_constraint = model::kNoValue;
    w.constraint_flag = 0;
  }
  fp.ActiveFlightPlanLastIndex = last;
  flightplan::ActiveRouteChanged();
  flightplan::WriteEndMarker(flightplan::ActivePlan());
  fp.ActiveWaypointIndex = last >= 1 ? 1 : model::kNoWaypoint;
  if (last >= 1) {
    g.ActiveWaypointLat = fp.ActiveFlightPlan[1].latitude;
    g.ActiveWaypointLon = fp.ActiveFlightPlan[1].longitude;
    // Not measured yet: the next pass decides on waypoint passage before it
    // measures, and a distance left from the route before would pass
    // waypoint 1 at once.
    g.ActiveWaypointDistance = 999.0;
  }
  fp.RouteState = 3;
  m.DescentSpeed = m.LoadedSpeedSchedule[0];
  m.CruiseSpeed = m.LoadedSpeedSchedule[2];
  m.CruiseMachEntered = false;
  navdb::navdb_state.SelectedRunwayBase = -999;
  g.LnavLegTracking = 0;
  // The holds of the route flown before stand on none of the new
  // waypoints: they leave the table, and only holds the opened plan
  // carries come along.
  flightplan::CarryPendingHolds();
  g.ActiveHoldIndex = 0;
  g.ActiveLegFromEngagePosition = 0;
  g.TakeoffTimeText = "-----";
  g.FlightLogState = 0;
  m.ReserveFuel = 0.0;
  // Tuned once the route to tune along is in place.
  if (m.LnavSetEnRouteFreqs == 1) guidance::TuneEnRouteNavaids(guidance::kTuneRoute);
  if (last <= 0) {
    flightplan::ResetGnsSelectionState();
    return;
  }

  m.McuEntryText.clear();
  g.DirectToActive = 0;
  g.DestinationDetailsState = 1;
  SetLineState(10, 0);
  s.GnsXlsFplView = kViewActive;
  s.GnsActivePlanPageCount = (last + kRowsPerPage - 1) / kRowsPerPage;
  s.GnsActivePlanPage = 1;
  ClearRouteSelections();
  if (fp.ActiveFlightPlan[last].type == "APT") TakeDestination(last);
  if (fp.ActiveFlightPlan[0].type == "APT") TakeOrigin();
  flightplan::ResetGnsSelectionState();
}

}  // namespace ovi::gnsxls
