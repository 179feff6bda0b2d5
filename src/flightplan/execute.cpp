#include "src/flightplan/execute.h"

#include <algorithm>
#include <cmath>

#include "src/flightplan/holds.h"
#include "src/flightplan/plan_ops.h"
#include "src/flightplan/route_edit.h"
#include "src/flightplan/runway_data.h"
#include "src/flightplan/state.h"
#include "src/guidance/flight_log.h"
#include "src/guidance/profile_predictions.h"
#include "src/guidance/radio_tuning.h"
#include "src/guidance/state.h"
#include "src/guidance/vertical_plan.h"
#include "src/host/panel_services.h"
#include "src/instruments/fms/state.h"
#include "src/instruments/gnsxls/state.h"
#include "src/model/state.h"
#include "src/navdb/entry_state.h"
#include "src/navdb/navdb.h"
#include "src/navdb/procedures.h"

namespace ovi::flightplan {

namespace {

constexpr double kNewFlightGroundSpeed = 5.0;

model::State& M() { return model::model_state; }
State& Fp() { return flightplan_state; }
guidance::State& G() { return guidance::guidance_state; }
fms::State& Fms() { return fms::fms_state; }

void SaveSelections() {
  const model::State& m = M();
  State& s = Fp();
  s.SavedRouteSid = m.RouteSid;
  s.SavedSidTransition = m.SelectedSidTransition;
  s.SavedRouteDepartureRunway = m.RouteDepartureRunway;
  s.SavedSelectedStar = m.SelectedStar;
  s.SavedPendingStarTransition = m.PendingStarTransition;
  s.SavedSelectedArrivalRunway = m.SelectedArrivalRunway;
  s.SavedArrivalNameListSelection = Fms().ArrivalNameListSelection;
  s.SavedFmsSelectedApproachIndex = Fms().FmsSelectedApproachIndex;
}

void CommitDestination(int entry_state, const model::FlightPlanWaypoint& last) {
  model::State& m = M();
  if (entry_state < 3) {
    navdb::LoadAirportDetails(last.ident, 1);
    ClearFixInfoEntries(0);
  }
  const bool pending_destination = entry_state == 4 && !IsNoSelection(m.PendingDestinationIdent);
  if (last.ident == m.DestinationAirportIdent) {
    // A pending destination that already is the destination is no new one
    // (the request load leaves it so); reloading would throw the arrival
    // selections of the modification away.
    if (!pending_destination || m.PendingDestinationIdent == m.DestinationAirportIdent) return;
  }
  if (pending_destination) {
    m.DestinationAirportIdent = m.PendingDestinationIdent;
    m.PendingDestinationIdent.clear();
    navdb::LoadAirportDetails(last.ident, 1);
  }
  m.DestinationAirportIdent = last.ident;
  navdb::LoadAirportProcedures(m.DestinationAirportIdent, 2);
  m.SelectedStar = model::kNoneText;
  m.PendingStarTransition = model::kNoneText;
  m.SelectedArrivalRunway = model::kNoneText;
  m.PlanFinalWaypointIdent = model::kNoneText;
  m.GnsSelectedStarTransition = model::kNoneText;
  m.StarTransitionNone = model::kNoneText;
  m.PlanSelectionText1 = model::kNoneText;
}

void CommitOrigin(int entry_state, const model::FlightPlanWaypoint& first) {
  model::State& m = M();
  guidance::State& g = G();
  gnsxls::State& mcu = gnsxls::gnsxls_state;
  navdb::State& nav = navdb::navdb_state;
  if (entry_state < 3) {
    navdb::LoadAirportDetails(first.ident, 0);
    g.DestinationDetailsState = 1;
    m.McuAirportElevationText = nav.AirportElevationText;
    m.McuAirportIdent = nav.AirportDetailText;
    if (m.McuShowActiveRwys == 1) RequestRunwayData(m.McuAirportIdent);
    nav.SelectedRunwayOffset = 1;
    mcu.McuRunwayListTop = 1;
    mcu.McuPageEntered = 0;
    m.McuEntryText.clear();
    if (g.GroundSpeedKnots < kNewFlightGroundSpeed) {
      g.FlightPhase = guidance::kFlightLogRestart;
      g.LastClockSecond = -99.0;
      g.ElapsedFlightSeconds = 0.0;
      guidance::UpdateFlightLog(guidance::kLogTick);
    }
  }
  if (!IsNoSelection(m.RteOriginIdent)) {
    m.OriginAirportIdent = m.RteOriginIdent;
    m.RteOriginIdent.clear();
    if (entry_state == 3) navdb::LoadAirportDetails(first.ident, 0);
  }
  if (first.ident != m.OriginAirportIdent) {
    m.OriginAirportIdent = first.ident;
    navdb::LoadAirportProcedures(m.OriginAirportIdent, 1);
    m.RouteSid = model::kNoneText;
    m.SelectedSidTransition = model::kNoneText;
    m.RouteDepartureRunway = model::kNoneText;
    m.PendingOriginIdent = model::kNoneText;
    m.PlanSelectionText2 = model::kNoneText;
    m.GnsSelectedSidTransition = model::kNoneText;
    m.PendingDepartureRunway = model::kNoneText;
    m.DescentSpeed = m.LoadedSpeedSchedule[0];
    m.ClimbIas = m.LoadedSpeedSchedule[1];
    m.CruiseSpeed = m.LoadedSpeedSchedule[2];
    m.CruiseMachEntered = false;
    DeleteEveryHold();
  }
}

}  // namespace

void RebuildVerticalPlan(bool keep_held_constraint) {
  model::State& m = M();
  guidance::State& g = G();
  State& s = Fp();
  // A constraint LNAV sequenced before the aircraft got there stays VNAV's
  // target through a new plan that keeps it where it was, and the TOC
  // beyond it: a level entered just after WP01 was passed at 13,233 ft let
  // the climb go on, and /13400 at WP01 was crossed at 14,818 ft.
  const int held = g.HeldConstraintIndex;
  const bool keep_held = keep_held_constraint && held > 0 && held < s.ActiveWaypointIndex &&
                         held <= s.ActiveFlightPlanLastIndex &&
                         g.NextConstraintIndex == held && model::IsConstraint(s.ActiveFlightPlan[held]) &&
                         s.ActiveFlightPlan[held].latitude == g.NextConstraintLat &&
                         s.ActiveFlightPlan[held].longitude == g.NextConstraintLon;
  guidance::ComputeCruiseAltitude(m.CruiseAlt, 1);
  if (g.TocPassed == 0) guidance::ComputeTopOfClimb(0);
  guidance::ComputeTopOfDescent(0);
  guidance::UpdateVerticalProfile();

  g.NextConstraintLat = g.TocLatitude;
  g.NextConstraintLon = g.TocLongitude;
  g.NextConstraintAltitude = guidance::PlannedCruiseAltitude();
  const int last = s.ActiveFlightPlanLastIndex;
  if (s.ActiveWaypointIndex <= last) {
    g.NextConstraintIndex = last;
    for (int i = keep_held ? held : std::max(s.ActiveWaypointIndex, 0); i <= last; ++i) {
      if (model::IsConstraint(s.ActiveFlightPlan[i])) {
        g.NextConstraintIndex = i;
        break;
      }
    }
  }
  const int constraint = std::clamp(g.NextConstraintIndex, 0, last);
  if (g.TocPassed == 0) {
    const int toc = guidance::ComputeTopOfClimb(keep_held ? held - s.ActiveWaypointIndex : 0);
    if (g.NextConstraintIndex < toc) guidance::TargetEntry(s.ActiveFlightPlan[constraint]);
  } else {
    guidance::ComputeTopOfDescent(0);
    const model::FlightPlanWaypoint& w = s.ActiveFlightPlan[constraint];
    guidance::TargetEntry(w);
    // The destination runway is crossed 200 ft above the airport.
    if (constraint == last && w.type == "APT" && g.VnavEngaged == 1) g.NextConstraintAltitude += guidance::kRunwayCrossingHeight;
    // The new target goes out (only a changed one is sent): a direct-to past
    // the constraint flown to kept its altitude on the autopilot, and the
    // aircraft levelled there for the rest of the flight.
    g.VnavAltitudeSet = 0;
  }
  // The pages show the plan as VNAV flies it from here (in the descent, on
  // the path from the aircraft), from the first frame after EXEC on.
  guidance::PredictThePlanFlown();
}

bool IsNoSelection(std::string_view text) { return text.empty() || text == model::kNoneText; }

void DeleteEveryHold() {
  State& s = Fp();
  // DeleteHold removes one hold a call; a hold it cannot find would loop.
  for (int guard = s.HoldCount; s.HoldCount > 0 && guard > 0; --guard) {
    const int before = s.HoldCount;
    DeleteHold(s.HoldTable[1].active_index, 0);
    if (s.HoldCount == before) break;
  }
}

void ExecutePendingRoute() {
  model::State& m = M();
  State& s = Fp();
  guidance::State& g = G();
  fms::State& fms = Fms();
  const int entry_state = s.RouteState;

  // A route of fewer than two entries is not executed (below): the flown
  // route's index stays (an empty plan would make it -1).
  if (s.PendingFlightPlanLastIndex >= 1) {
    g.NextConstraintIndex = g.NextConstraintIndex == 0 ? s.PendingFlightPlanLastIndex : s.PendingActiveWaypointIndex;
  }
  // A hold marked for deletion is detached from the pending route and
  // leaves the table with RestoreHoldIndices below. Looked up here by its
  // flown index, it could be another hold: one added in the modification
  // may share that index, and it sorts first.
  fms.FmsHoldWaypointIndex = 0;
  if (m.ClimbIasEntry > 0.0 || m.ClimbMachEntry > 0.0) m.ClimbIasEntry = m.ClimbMachEntry = 0.0;
  if (m.CruiseIasEntry > 0.0 || m.CruiseMachEntry > 0.0) m.CruiseIasEntry = m.CruiseMachEntry = 0.0;
  if (m.DescentIasEntry > 0.0 || m.DescentMachEntry > 0.0) m.DescentIasEntry = m.DescentMachEntry = 0.0;
  if (fms.FmsLegsSelectedIndex > 0) fms.FmsLegsSelectedIndex = 0;
  if (m.SavedCostIndex > -1) m.SavedCostIndex = -1;
  m.ClimbIasSaved = m.ClimbMachSaved = m.CruiseIasSaved = m.CruiseMachSaved = false;
  m.DescentIasSaved = m.DescentMachSaved = m.CostIndexSaved = false;

  // The direct-to's course is taken once the waypoint it goes to is the
  // active one (below): taken before, it was the course to the waypoint
  // that had been active, and a direct-to one further on flew that line.
  const bool direct_to = fms.FmsHoldFixSelect != 0;
  auto direct_to_course = [&] {
    g.LegOriginLatitude = g.PlaneLatitude;
    g.LegOriginLongitude = g.PlaneLongitude;
    g.ActiveLegFromEngagePosition = 1;
    // Straight at the waypoint: the line from here is flown to it, not the
    // leg of the route.
    g.LnavLegTracking = 0;
    double d = 0.0, c = 0.0;
    navdb::ComputeDistanceAndBearing(g.PlaneLatitude, g.PlaneLongitude, g.ActiveWaypointLat, g.ActiveWaypointLon, d, c);
    // The leg from the engage position is flown as a magnetic course, as
    // the LNAV engage stores it.
    c -= g.MagneticVariation;
    if (c < 0.5) c += 360.0;
    g.LnavInitialCourse = c;
  };
  if (direct_to) fms.FmsHoldFixSelect = 0;
  if (s.ActiveWaypointIndex != model::kNoWaypoint) s.PlanStepIndex = s.ActiveWaypointIndex;
  fms.FmsLegsEntryState = 0;

  if (m.PendingDepartureRunway != model::kNoneText) {
    m.RouteDepartureRunway = m.PendingDepartureRunway;
    fms.FmsDepRunwayChosen = 1;
    m.PendingDepartureRunway = model::kNoneText;
    m.SelectedDepartureRunway = model::kNoneText;
  }
  SaveSelections();
  if (entry_state < 3) {
    navdb::navdb_state.SelectedRunwayBase = -999;
    gnsxls::gnsxls_state.McuRunwayScroll = -999;
  }

  int last = std::min(s.PendingFlightPlanLastIndex, model::kMaxActivePlanWaypoints);
  // An end marker counted as the last entry (the navigator's direct-to
  // copy, edited by another road) is no waypoint to fly to.
  if (last >= 1 && s.PendingFlightPlan[last].ident == "******") s.PendingFlightPlanLastIndex = --last;
  if (last >= 1) {
    for (int i = 0; i <= last; ++i) s.ActiveFlightPlan[i] = s.PendingFlightPlan[i];
    // A plan the navigator had opened is now the flown route, no stored
    // plan: its stored view would go on editing the flown route's copy
    // while nothing waits for EXEC.
    navdb::entry_state.PendingPlanOpen = 0;
    // The new end first: the holds dropped below renumber the waypoints
    // that show the holds after them, wherever the new route puts them.
    s.ActiveFlightPlanLastIndex = last;
    ActiveRouteChanged();
    WriteEndMarker(ActivePlan());
    RestoreHoldIndices();
    if (s.ActiveWaypointIndex == model::kNoWaypoint) s.ActiveWaypointIndex = 1;
    // A modification that removed the waypoint being flown to leaves the
    // route's last one active rather than an entry past its end.
    if (s.ActiveWaypointIndex > last) s.ActiveWaypointIndex = last;
    g.DirectToActive = 0;
    g.ActiveWaypointLat = s.ActiveFlightPlan[s.ActiveWaypointIndex].latitude;
    g.ActiveWaypointLon = s.ActiveFlightPlan[s.ActiveWaypointIndex].longitude;
    if (direct_to) direct_to_course();

    if (m.LnavSetEnRouteFreqs == 1 && g.LnavEngaged == 1) guidance::TuneEnRouteNavaids(guidance::kTuneRoute);
    if (m.SetWptBaro == 1) host::SendKeyEvent(kEventBarometricSetting, 0);
    if (s.ActiveFlightPlan[last].type == "APT") CommitDestination(entry_state, s.ActiveFlightPlan[last]);
    if (s.ActiveFlightPlan[0].type == "APT") CommitOrigin(entry_state, s.ActiveFlightPlan[0]);
    if (m.FileCruiseAlt > 0) m.CruiseAlt = m.FileCruiseAlt;
    s.RouteState = 3;
    // A new route is a new flight: the climb and descent of the last route
    // are not this one's.
    if (entry_state < 3) g.TocPassed = g.TodPassed = 0;
    RebuildVerticalPlan(!direct_to);

    if (g.VnavEngaged == 1 && entry_state == 4) {
      g.VnavSpdRestPending = 1;
      g.VnavSpeedSet = 0;
      g.VnavAltitudeSet = 0;
      g.VnavLastSetAltitude = -999;
      g.VnavLastSetSpeed = -999;
      if (m.VnavSetSpd == 2) m.VnavSetSpd = 1;
    }
    m.FileCruiseAlt = 0;
    g.ActiveWaypointDistance = 999.0;
  }
  if (m.CruiseAltEntry > 0) m.CruiseAltEntry = 0;
  m.CruiseAltSaved = false;
}

void ResetRouteData() {
  model::State& m = M();
  State& s = Fp();
  fms::State& fms = Fms();
  m.RteOriginIdent.clear();
  m.PendingDestinationIdent.clear();
  m.RouteSid = s.SavedRouteSid;
  m.SelectedSidTransition = s.SavedSidTransition;
  m.RouteDepartureRunway = s.SavedRouteDepartureRunway;
  m.SelectedStar = s.SavedSelectedStar;
  m.PendingStarTransition = s.SavedPendingStarTransition;
  m.SelectedArrivalRunway = s.SavedSelectedArrivalRunway;

  if (fms.FmsPage == fms::kPageDepartures) {
    m.FmsSubPageTable.DeparturesSubPage = 1;
    navdb::ListSids(model::kNoneText, model::kNoneText);
    navdb::ListSidRunways(model::kNoneText);
  }
  fms.FmsDepSidState = 0;
  fms.FmsDepTransChosen = 0;
  fms.FmsDepRunwayChosen = 0;
  if (fms.FmsPage == fms::kPageArrivals) {
    m.FmsSubPageTable.ArrivalsSubPage = 1;
    navdb::ListStars(model::kNoneText, model::kNoneText);
    navdb::ListStarRunways(model::kNoneText);
  }
  fms.FmsArrStarState = 0;
  fms.FmsArrApproachState = 0;
  fms.FmsArrRunwayChosen = 0;
  fms.FmsArrTransChosen = 0;
  fms.FmsArrApproachTransChosen = 0;
  fms.ArrivalNameListSelection = s.SavedArrivalNameListSelection;
  fms.FmsSelectedApproachIndex = s.SavedFmsSelectedApproachIndex;
  fms.FmsHoldFixSelect = 0;
  fms.FmsHoldWaypointIndex = 0;

  // A copy goes back when it is marked as saved (whatever the value was
  // before the edit, 0 or -1 included) or, as copies written without a mark
  // always did, when it holds a value.
  auto restore_speed = [](double& entry, bool& saved, std::int32_t& target) {
    if (saved || entry > 0.0) {
      target = std::isfinite(entry) ? static_cast<std::int32_t>(std::clamp(entry, 0.0, 100000.0)) : 0;
      entry = 0.0;
    }
    saved = false;
  };
  auto restore_mach = [](double& entry, bool& saved, double& target) {
    if (saved || entry > 0.0) {
      target = entry;
      entry = 0.0;
    }
    saved = false;
  };
  restore_speed(m.ClimbIasEntry, m.ClimbIasSaved, m.ClimbIas);
  restore_mach(m.ClimbMachEntry, m.ClimbMachSaved, m.ClimbMach);
  restore_speed(m.DescentIasEntry, m.DescentIasSaved, m.DescentSpeed);
  restore_mach(m.DescentMachEntry, m.DescentMachSaved, m.DescentMach);
  restore_speed(m.CruiseIasEntry, m.CruiseIasSaved, m.CruiseSpeed);
  if (m.CruiseMachSaved || m.CruiseMachEntry > 0.0) m.CruiseMachEntered = m.CruiseMachEnteredEntry;
  restore_mach(m.CruiseMachEntry, m.CruiseMachSaved, m.CruiseMach);
  if (m.CruiseAltSaved || m.CruiseAltEntry > 0) {
    m.CruiseAlt = m.CruiseAltEntry;
    m.CruiseAltEntry = 0;
  }
  m.CruiseAltSaved = false;
  if (m.CostIndexSaved || m.SavedCostIndex > -1) m.CostIndex = m.SavedCostIndex;
  m.SavedCostIndex = -1;
  m.CostIndexSaved = false;

  fms.FmsLegsSelectedIndex = 0;
  if (s.RouteState == 4) s.RouteState = 3;
  fms.FmsLegsEntryState = 0;

  // The holds the modification added are those no active waypoint refers
  // to (the last one, the destination, takes holds as well). DeleteHold
  // finds a hold by its waypoint, so the one to drop is first given an index
  // no other hold has.
  constexpr int kDroppedHold = -12345;
  const int last = std::min(s.ActiveFlightPlanLastIndex, model::kMaxActivePlanWaypoints);
  for (int j = s.HoldCount; j >= 1; --j) {
    bool referenced = false;
    for (int i = 1; i <= last && !referenced; ++i) referenced = s.ActiveFlightPlan[i].hold_number == static_cast<std::uint32_t>(j);
    if (referenced) continue;
    s.HoldTable[j].active_index = kDroppedHold;
    DeleteHold(kDroppedHold, 0);
  }

  // The pending route is the flown one's copy again: a plan the navigator
  // had opened is gone with the modification.
  navdb::entry_state.PendingPlanOpen = 0;
  CopyActiveToPendingPlan();
  BuildRouteViaToList();
}

void GiveUpPendingChange() {
  State& s = Fp();
  const int state = s.RouteState;
  if (state != 1 && state != 2 && state != 4) return;
  ResetRouteData();
  s.RouteState = 3;
}

}  // namespace ovi::flightplan
