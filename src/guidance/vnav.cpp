#include "src/guidance/vnav.h"

#include <algorithm>
#include <cmath>

#include "src/flightplan/state.h"
#include "src/guidance/climb_model.h"
#include "src/guidance/flown_path.h"
#include "src/guidance/holding.h"
#include "src/guidance/profile_predictions.h"
#include "src/guidance/speed_mode.h"
#include "src/guidance/state.h"
#include "src/guidance/vnav_internal.h"
#include "src/guidance/vertical_plan.h"
#include "src/host/panel_services.h"
#include "src/host/sim_vars.h"
#include "src/instruments/fms/state.h"
#include "src/model/state.h"
#include "src/navdb/navdb.h"

namespace ovi::guidance {

using namespace vnav_internal;

namespace vnav_internal {

std::int32_t CurrentTick() {
  double t = G().LastTick;
  return std::isfinite(t) ? static_cast<std::int32_t>(std::fmod(t, 2147483647.0)) : 0;
}

std::int32_t Whole(double v) {
  if (!std::isfinite(v)) return 0;
  return static_cast<std::int32_t>(std::clamp(v, -2147483648.0, 2147483647.0));
}

void Send(std::uint32_t event, std::int32_t value) { host::SendKeyEvent(event, static_cast<std::uint32_t>(value)); }

// The speed the speed logic asks for: held in the mode the phase calls for
// at the altitude (KeepSpeedModeForPhase), never faster than a speed
// restriction in force there. A Mach that would be is left to the speed
// mode, which holds the restriction's airspeed instead.
void SendSpeed(double knots) {
  if (!(knots > 0.0) || !std::isfinite(knots)) return;
  G().VnavWantedSpeed = knots;
  G().VnavWantedMach = 0.0;
  SendAirspeedCommand(std::min(knots, RestrictionSpeedLimit(SpeedPhase(), G().AircraftAltitude)));
}

void SendMach(double mach) {
  if (!(mach > 0.0) || !std::isfinite(mach)) return;
  G().VnavWantedMach = mach;
  G().VnavWantedSpeed = 0.0;
  if (!MachBeyondRestriction(SpeedPhase(), mach, G().AircraftAltitude)) SendMachCommand(mach);
}

// The active entry of the active route, or null.
model::FlightPlanWaypoint* ActiveEntry() {
  int i = Fp().ActiveWaypointIndex;
  if (i == model::kNoWaypoint || i < 0 || i > Fp().ActiveFlightPlanLastIndex) return nullptr;
  return Fp().ActiveFlightPlan.At(i);
}

model::FlightPlanWaypoint* Entry(int i) {
  if (i < 0 || i > Fp().ActiveFlightPlanLastIndex) return nullptr;
  return Fp().ActiveFlightPlan.At(i);
}

bool Constrained(const model::FlightPlanWaypoint* w) { return w != nullptr && model::IsConstraint(*w); }

void TargetEntry(int index) {
  if (const model::FlightPlanWaypoint* w = Entry(index)) guidance::TargetEntry(*w);
}

// The destination runway is crossed 200 ft above the airport: the target
// of a descent to the airport at the end of the route, while VNAV flies it.
// Once: VNAV engaged again in the descent (after a pilot's altitude in a
// hold) adds it too, and the airport's own altitude alone went out first.
void AddRunwayCrossingHeight() {
  State& g = G();
  const int last = Fp().ActiveFlightPlanLastIndex;
  const model::FlightPlanWaypoint* last_entry = Entry(last);
  if (g.NextConstraintIndex == last && last_entry != nullptr && last_entry->type == "APT" &&
      g.NextConstraintAltitude != PlannedCruiseAltitude() && g.VnavEngaged == 1 &&
      g.NextConstraintAltitude == PlannedAltitude(*last_entry)) {
    g.NextConstraintAltitude += kRunwayCrossingHeight;
  }
}

// Great-circle distance from the aircraft to a route entry; 0 without one.
bool Reached(int i) {
  const FlownPath& path = FlownPath::Current();
  const double at = path.Entry(i), here = path.Aircraft();
  return !(std::isfinite(at) && std::isfinite(here)) || here >= at;
}

double DistanceTo(const model::FlightPlanWaypoint* w) {
  double d = 0.0, c = 0.0;
  if (w != nullptr) navdb::ComputeDistanceAndBearing(G().PlaneLatitude, G().PlaneLongitude, w->latitude, w->longitude, d, c);
  return d;
}

}  // namespace vnav_internal

namespace {

constexpr int kPageClimb = 34, kPageCruise = 35, kPageDescent = 36;
// Feet from the hold's level within which the level counts as reached.
constexpr double kHoldLevelCapture = 20.0;
// Feet an altitude lies below another before a hold takes it for lower (the
// plan's altitudes are whole hundreds).
constexpr double kHoldBelowMargin = 100.0;

// Entry i is the constraint VNAV flies to.
bool IsTarget(int i) {
  const State& g = G();
  const model::FlightPlanWaypoint* w = Entry(i);
  return Constrained(w) && g.NextConstraintIndex == i && g.NextConstraintLat == w->latitude &&
         g.NextConstraintLon == w->longitude;
}

// Leaves Mach hold for airspeed hold; the descent speed follows on the next
// pass. Above the descent's crossover Mach hold stays, at the Mach the
// descent holds there, until the airspeed takes over
// (KeepSpeedModeForPhase): leaving it at once put an aircraft descending
// from FL410 at 280 kt, M0.88.
void MachToAirspeedHold() {
  State& g = G();
  if (MachInsteadOf(model::PerformanceSegment::kDescent, M().DescentSpeed, g.AircraftAltitude) > 0.0) {
    g.VnavWantedSpeed = M().DescentSpeed;
    g.VnavWantedMach = 0.0;
    return;
  }
  EngageAirspeedHold();
  g.PendingDescentSpeedCommand = 1;
}

void ReachTopOfDescent() {
  State& g = G();
  if (g.VerticalProfileValid == 0) g.VerticalProfileValid = 1;
  g.TodPassed = 1;
  g.TodAltitude = PlannedCruiseAltitude();
  if (g.TocPassed == 0) {
    g.TocPassed = 1;
    g.Lnav1xAtTodDone = 0;
  }
  std::int32_t& page = fms::fms_state.FmsPage;
  if (page == kPageClimb || page == kPageCruise) page = kPageDescent;
  TargetEntry(g.NextConstraintIndex);
  // From the top of descent on, as at every waypoint after it: the path the
  // deviation is measured from ends where VNAV aims, and does not move by
  // the crossing height at the first waypoint sequenced.
  AddRunwayCrossingHeight();
  const int active = Fp().ActiveWaypointIndex;
  g.TodReferenceIndex = active;
  // Reached before its point (within 1.5 NM of it), the descent starts
  // where the aircraft is: so does the path, which otherwise would hold the
  // cruise altitude over the distance left to the point while the aircraft
  // descends below it.
  const FlownPath& path = FlownPath::Current();
  const int last = std::max(Fp().ActiveFlightPlanLastIndex, 0);
  if (path.Aircraft() < path.CoordinateFromPosition(last, g.TodLatitude, g.TodLongitude))
    StartDescentPathAtAircraft(false);
  // Along the path the aircraft flies, from the top of descent to the
  // constraint, as the profile measures it.
  const int constraint = std::clamp(g.NextConstraintIndex, 0, last);
  g.DistanceTodToConstraint = std::max(
      0.0, path.EntryOrBefore(constraint) - path.CoordinateFromPosition(constraint, g.TodLatitude, g.TodLongitude));

  if (g.VnavEngaged != 1) return;
  // In a hold the hold's level goes out instead.
  if (M().VnavSetAlts == 1 && !HoldBeingFlown()) SendAltitudeCommand(g.NextConstraintAltitude);
  g.VnavAltitudeSet = 1;
  g.VnavAltitudeReadbackMarker = CurrentTick();
  if (M().VnavSetSpd == 1) {
    if (g.ActiveWaypointDistance >= M().VnavSetSpdRestDist) {
      if (g.ApMachHold <= 0.0) {
        SendSpeed(M().DescentSpeed);
      } else {
        MachToAirspeedHold();
      }
    } else {
      g.VnavSpeedSet = 0;
      if (g.ApMachHold > 0.0) MachToAirspeedHold();
    }
  }
}

}  // namespace


void RunDeferredCommandsAndReadbacks() {
  State& g = G();
  // One Mach command a pass: the autopilot takes it once Mach hold is on.
  if (g.PendingMachCommandCount > 0) {
    // Looked at on each of the two passes: an autopilot whose Mach hold
    // engages a pass late takes the aircraft's Mach then, over the first,
    // and is sent it again; one that holds it already is not.
    ForgetSentSpeedsNotHeld();
    SendMach(M().CruiseMach);
    --g.PendingMachCommandCount;
  }
  if (g.PendingDescentSpeedCommand == 1) {
    // Airspeed hold engaged on the last pass may hold the aircraft's speed.
    ForgetSentSpeedsNotHeld();
    SendSpeed(M().DescentSpeed);
    g.PendingDescentSpeedCommand = 0;
  }
  // The read-backs ask the autopilot itself and bring the snapshot of its
  // settings up to date with the answer: the snapshot is refreshed only on
  // some passes, and a stale value on either side would be taken for the
  // pilot's own change at the next check. A command sent just above is
  // read back on the next pass, once the simulator has taken it.
  const std::int32_t tick = CurrentTick();
  if (g.VnavAltitudeReadbackMarker != kNoCommand && g.VnavAltitudeReadbackMarker != tick) {
    g.PreviousApAltitudeLockVar = g.ApAltitudeLockVar;
    g.ApAltitudeLockVar = host::GetAutopilotAltitudeLockVar();
    g.VnavLastSetAltitude = Whole(g.ApAltitudeLockVar);
    g.VnavAltitudeReadbackMarker = kNoCommand;
  }
  if (g.VnavSpeedReadbackMarker != kNoCommand && g.VnavSpeedReadbackMarker != tick) {
    g.PreviousApAirspeedHoldVar = g.ApAirspeedHoldVar;
    g.ApAirspeedHoldVar = host::GetAutopilotAirspeedHoldVar();
    g.ApMachHoldVar = host::GetAutopilotMachHoldVar();
    g.VnavLastSetMach = MachHundredths(g.ApMachHoldVar);
    g.VnavLastSetSpeed = Whole(g.ApAirspeedHoldVar);
    g.VnavSpeedReadbackMarker = kNoCommand;
  }
}

void RunTopOfDescentActions() {
  State& g = G();
  if (g.TodPassed != 1) return;
  if (M().Lnav1xAtTod == 1 && g.Lnav1xAtTodDone == 0) {
    if (g.SimulationRate > 1.0) {
      Send(kEventSimRateDown, 0);
    } else {
      g.Lnav1xAtTodDone = 1;
    }
  }
  if (M().PauseAtTod == 1 && g.PauseAtTodDone == 0) {
    Send(kEventPause, 0);
    M().PauseAtTod = 0;
    g.PauseAtTodDone = 1;
  }
}

namespace {

// The target after route entry `at`, as the waypoint is passed: the next
// constraint, the TOC or the TOD, and the descent re-planned from a
// constrained waypoint. The latches are cleared to command it.
void SelectNextConstraintAt(int at) {
  State& g = G();
  const int active = Fp().ActiveWaypointIndex, last = Fp().ActiveFlightPlanLastIndex;
  g.NextConstraintIndex = last;
  for (int i = at + 1; i <= last; ++i) {
    if (model::IsConstraint(Fp().ActiveFlightPlan[i])) {
      g.NextConstraintIndex = i;
      break;
    }
  }
  g.NextConstraintAltitude = PlannedCruiseAltitude();
  g.NextConstraintLat = g.TocLatitude;
  g.NextConstraintLon = g.TocLongitude;
  const bool at_constrained = Constrained(Entry(at));
  // The phase as it stood: re-planning the descent clears TodPassed.
  const bool climbing = g.TocPassed == 0, descending = g.TodPassed == 1;
  if (climbing) {
    // The climb's target as EXEC sets it: the walk's constraints, else one
    // before the TOC's leg. A constraint at that leg's end lies beyond the
    // TOC, where the plan reaches the level first and descends to it; flown
    // to from the waypoint before, the aircraft levelled there for the rest
    // of the leg, 100 NM and more short of the TOC shown since EXEC.
    if (g.NextConstraintIndex < ComputeTopOfClimb(at + 1 - active)) TargetEntry(g.NextConstraintIndex);
  } else {
    if (at_constrained) ComputeTopOfDescent(1, at);
    if (descending) {
      TargetEntry(g.NextConstraintIndex);
    } else {
      g.NextConstraintLat = g.TodLatitude;
      g.NextConstraintLon = g.TodLongitude;
    }
    AddRunwayCrossingHeight();
  }
  if (climbing || descending) {
    g.VnavAltitudeSet = 0;
    g.VnavSpeedSet = 0;
  } else {
    g.VnavAltitudeSet = 1;
  }
}

// Cruising, entry i is the constraint below the level that the top of
// descent shown leads down to: the descent to it starts there.
bool DescentToItNotBegun(int i) {
  const State& g = G();
  const model::FlightPlanWaypoint* w = Entry(i);
  return g.TocPassed == 1 && g.TodPassed == 0 && g.NextConstraintIndex == i && Constrained(w) &&
         PlannedAltitude(*w) < PlannedCruiseAltitude();
}

// The same, with that top of descent still ahead of the aircraft and short
// of the point abeam the waypoint. A wide turn's anticipation sequences the
// waypoint first (a 148-degree turn at 310 kt, 10 NM before it): re-planned
// from it then, the aircraft stepped down to the constraint at once, 1-3 NM
// before the T/D every page showed.
bool TopOfDescentBeforeIt(int i) {
  if (!DescentToItNotBegun(i)) return false;
  const State& g = G();
  const FlownPath& path = FlownPath::Current();
  const double at = path.Entry(i), here = path.Aircraft();
  const double tod = path.CoordinateFromPosition(std::max(Fp().ActiveFlightPlanLastIndex, 0), g.TodLatitude,
                                                 g.TodLongitude);
  return std::isfinite(at) && std::isfinite(here) && here < tod && tod <= at;
}

// A cruise's constraint sequenced before its top of descent: the step
// down to it, at the rate VNAV steps at from the aircraft's altitude, with
// the rate's build-up and the autopilot's capture, needs all the way left
// to the point abeam it. A top inside the constraint's corner is placed for
// such a step (ComputeTopOfDescent), at the fastest speed the descent is
// laid for; an aircraft faster over the ground, or a top the slope placed
// short of a corner LNAV began sooner, would come to it late: stepped down
// from the slope's top, a 1,800-ft step at 2,300 ft/min and 482 kt (the
// slope asking 2,600 there) passed the point abeam its waypoint 345 ft high.
// `by`: the coordinate of the path the step is to be done by.
bool StepDownDue(int i, double by) {
  const State& g = G();
  const double to_go = by - FlownPath::Current().Aircraft();
  const double nm = StepDownSeconds(g.AircraftAltitude - PlannedAltitude(*Entry(i))) *
                    std::max(g.GroundSpeedKnots, 0.0) / 3600.0;
  return std::isfinite(to_go) && to_go <= nm;
}

// A constraint held as the target past its sequencing is given up once the
// aircraft is abeam it (the next target is chosen from it), or as soon as
// another target replaced it (EXEC). A cruise's constraint is given up
// where the top of descent shown leads down to it, as the profile measures
// it, or sooner where the step down to it is due: from there the aircraft
// steps down to it.
void ReleaseHeldConstraint() {
  State& g = G();
  const int held = g.HeldConstraintIndex;
  if (held == 0) return;
  const bool cruising = !IsTarget(held) && DescentToItNotBegun(held);
  if (held >= Fp().ActiveWaypointIndex || !(IsTarget(held) || cruising)) {
    g.HeldConstraintIndex = 0;
  } else if (Reached(held) ||
             (cruising && (g.DestinationDistance <= g.DistanceTodToLastWaypoint ||
                           StepDownDue(held, FlownPath::Current().Entry(held))))) {
    g.HeldConstraintIndex = 0;
    SelectNextConstraintAt(held);
  }
}

// A constraint at the last waypoint but one whose top the plan placed for
// a step done by the point where LNAV passes it (ComputeTopOfDescent): VNAV
// goes off there, as the destination is made active. At that top, or
// sooner where the step is due by then at the ground speed flown, the
// descent is re-planned from the constraint, and VNAV steps down to its
// altitude as to a lower level, at the rate the top was placed for. The
// step is VNAV's own to the end: the autopilot is left level at the
// constraint, not part way down a path.
void StepDownBeforeHandOver() {
  State& g = G();
  const int i = g.StepBeforeHandOverIndex, active = Fp().ActiveWaypointIndex;
  if (i == 0 || i > active || g.HeldConstraintIndex != 0 || g.TocPassed != 1) return;
  if (i < active || !DescentToItNotBegun(i)) {
    g.StepBeforeHandOverIndex = 0;
    return;
  }
  if (g.DestinationDistance <= g.DistanceTodToLastWaypoint || StepDownDue(i, FlownPath::Current().Sequenced(i)))
    SelectNextConstraintAt(i);
}

// The level of a hold: in the climb the plan's altitude at its fix (or the
// fix's own constraint), no lower than the aircraft unless VNAV already
// descends to a constraint below it; in the descent the
// same, no higher than the aircraft; in cruise the plan's level.
double HoldLevelAtEntry() {
  const State& g = G();
  const model::FlightPlanWaypoint* fix = Entry(Fp().HoldTable[1].active_index);
  const double planned = fix != nullptr ? PlannedAltitude(*fix) : 0.0;
  const double here = std::round(g.AircraftAltitude / 100.0) * 100.0;
  if (g.TocPassed == 1 && g.TodPassed == 0) return PlannedCruiseAltitude();
  if (!(planned > 0.0)) return here;
  if (g.TodPassed == 1) return std::min(planned, here);
  // Still climbing, VNAV may already be on its way down to a constraint the
  // pilot put below the aircraft: held where the aircraft entered it, the
  // hold stopped that descent thousands of feet above the fix's altitude.
  if (planned < here && g.NextConstraintAltitude < g.AircraftAltitude - kHoldBelowMargin) return planned;
  return std::max(std::min(planned, static_cast<double>(PlannedCruiseAltitude())), here);
}

// The top of descent lies short of hold 1's fix along the path: the hold is
// entered a few miles before its fix, and may begin before the descent.
bool TopOfDescentBeforeHoldFix() {
  const State& g = G();
  const FlownPath& path = FlownPath::Current();
  const int last = std::max(Fp().ActiveFlightPlanLastIndex, 0);
  return path.CoordinateFromPosition(last, g.TodLatitude, g.TodLongitude) < path.Entry(Fp().HoldTable[1].active_index);
}

// A climb that never reaches its level (a short route, a constraint below
// the level) leaves the top of descent behind it. Past that point the
// climb ends where it meets the descent path, or where VNAV would turn
// down to a target below the aircraft: flown on in the climb, the descent
// came at the climb's least rate and speed, with no top of descent and no
// slowing for the descent restriction.
bool ClimbMeetsDescentPath() {
  const State& g = G();
  if (g.TocPassed != 0 || g.TodPassed != 0) return false;
  const FlownPath& path = FlownPath::Current();
  const int last = std::max(Fp().ActiveFlightPlanLastIndex, 0);
  const double here = path.Aircraft();
  const double tod_at = path.CoordinateFromPosition(last, g.TodLatitude, g.TodLongitude);
  const int target = std::clamp(g.NextConstraintIndex, 0, last);
  const double target_at = path.EntryOrBefore(target);
  if (!(here >= tod_at) || !(target_at > tod_at)) return false;
  if (g.NextConstraintAltitude < g.AircraftAltitude - kHoldBelowMargin) return true;
  const double top = PlannedCruiseAltitude(), bottom = DescentPathBottom();
  return g.AircraftAltitude >= top - (top - bottom) * std::min(1.0, (here - tod_at) / (target_at - tod_at));
}

// Route entry i is the fix of the hold last flown.
bool AtHoldFix(int i) {
  const model::FlightPlanWaypoint* w = Entry(i);
  return w != nullptr && w->latitude == G().HoldFixLatitude && w->longitude == G().HoldFixLongitude;
}

// After a hold in the descent the path starts again at the level the hold
// was flown (the plan's altitude at its fix): at the fix, or where the
// aircraft leaves the racetrack short of it. The path the hold interrupted
// went on descending while the aircraft flew round, and one started where
// the aircraft leaves the racetrack past the fix would run that much above
// the plan; one started at the fix behind an aircraft still short of it
// held the hold's level, VNAV sending a vertical speed of 0, until the
// aircraft came as near the constraint as the fix is.
void ResumeAfterHold() {
  State& g = G();
  // The racetrack was flown at the fix's altitude: a constraint there is
  // met. Held as the target once LNAV had sequenced the fix (the
  // navigator's exit at the fix), or until the aircraft came abeam it (the
  // path cannot tell that of an aircraft leaving the racetrack), it kept
  // the aircraft level at the hold's altitude to the next waypoint.
  const int target = g.NextConstraintIndex;
  const bool at_fix = IsTarget(target) && AtHoldFix(target);
  g.HoldFixMet = 0;
  if (at_fix && target < Fp().ActiveWaypointIndex) {
    g.HeldConstraintIndex = 0;
    SelectNextConstraintAt(target);
  } else if (at_fix) {
    g.HoldFixMet = 1;
  }
  if (g.TodPassed == 1) {
    const FlownPath& path = FlownPath::Current();
    const int last = std::max(Fp().ActiveFlightPlanLastIndex, 0);
    if (!(path.Aircraft() < path.CoordinateFromPosition(last, g.HoldFixLatitude, g.HoldFixLongitude)) ||
        !StartDescentPathAtAircraft(false)) {
      g.TodLatitude = g.HoldFixLatitude;
      g.TodLongitude = g.HoldFixLongitude;
    }
    g.TodAltitude = g.HoldLevel;
    // The pages walk the plan's descent back from the target, which may
    // pass the fix below the level the hold was flown at.
    PredictTheDescentFromTheHold();
  }
  if (g.TocPassed == 0 || g.TodPassed == 1) g.VnavAltitudeSet = 0;
  // A climb goes on from wherever the racetrack left the aircraft: its TOC
  // is placed again from there, as after VNAV engaged again. Left where it
  // was placed before the hold, the T/C read 9.7 NM with the level reached
  // 7.9 NM on.
  if (g.TocPassed == 0) g.TocWindKnown = 0;
}

// A hold entered gets its level; a hold left, the path on from it.
void FollowHold() {
  State& g = G();
  const bool flown = HoldBeingFlown();
  if (flown && g.HoldFlownLastPass == 0) {
    // Entered in cruise short of a top of descent that lies before the fix,
    // the descent starts here, and the racetrack is flown at the plan's
    // altitude at the fix, as the pages show it, not at the level.
    if (g.TocPassed == 1 && g.TodPassed == 0 && TopOfDescentBeforeHoldFix()) ReachTopOfDescent();
    g.HoldLevel = HoldLevelAtEntry();
    const model::HoldPoint& fix = Fp().HoldTable[1].corners[0];
    g.HoldFixLatitude = fix.latitude;
    g.HoldFixLongitude = fix.longitude;
    g.HoldFixMet = 0;
    g.VnavAltitudeSet = 0;
  } else if (!flown && g.HoldFlownLastPass == 1) {
    ResumeAfterHold();
  }
  g.HoldFlownLastPass = flown ? 1 : 0;
}

}  // namespace

namespace vnav_internal {

// In a hold VNAV has sent the hold's level as the autopilot's target: the
// climb or the descent goes on toward it as the phase flies it, and once
// there nothing more is sent, so the racetrack is flown level.
bool HoldLevelReached() {
  State& g = G();
  if (std::fabs(g.HoldLevel - g.AircraftAltitude) > kHoldLevelCapture) return false;
  g.VnavRequiredVerticalSpeed = 0.0;
  return true;
}

// Hold 1's fix where the aircraft comes to it before any other constraint,
// short of the last entry, the hold not yet flown; 0 where not.
static int HoldFixBeforeAnyConstraint() {
  const flightplan::State& fp = Fp();
  if (fp.HoldCount < 1 || HoldBeingFlown()) return 0;
  const int fix = fp.HoldTable[1].active_index, active = std::max(fp.ActiveWaypointIndex, 1);
  if (fix < active || fix >= fp.ActiveFlightPlanLastIndex) return 0;
  for (int k = active; k < fix; ++k)
    if (Constrained(Entry(k))) return 0;
  return fix;
}

// The pages keep the altitude of a hold's fix ahead as they showed it (the
// hold's level), while the climb before it is walked again as the wind
// changes. Climbing on to wherever the aircraft met the fix, it entered the
// hold above that figure and flew it there: after 141 kt came across,
// ARLIN was shown at 17,200 ft and crossed and held at 17,800. So the
// climb levels at the fix's figure, as at a constraint of the climb, and
// the hold is flown there. Only a fix the climb reaches before any
// constraint and before the top of descent, with its figure under the
// target; never one the aircraft is already above (it does not descend in
// the climb to a figure it climbed through).
double ClimbLevelBeforeHold() {
  const State& g = G();
  if (g.TocPassed != 0 || g.TodPassed != 0) return HUGE_VAL;
  const int fix = HoldFixBeforeAnyConstraint(), last = Fp().ActiveFlightPlanLastIndex;
  if (fix == 0) return HUGE_VAL;
  const double shown = PlannedAltitude(*Entry(fix));
  if (!(shown > 0.0) || !(shown < g.NextConstraintAltitude) || !(shown < PlannedCruiseAltitude()) ||
      shown < g.AircraftAltitude - kHoldBelowMargin)
    return HUGE_VAL;
  const FlownPath& path = FlownPath::Current();
  if (!(path.Entry(fix) < path.CoordinateFromPosition(last, g.TodLatitude, g.TodLongitude))) return HUGE_VAL;
  return shown;
}

// So too in the descent: the straight path to the constraint beyond a
// hold's fix may pass the fix below the figure the pages show there, and
// the aircraft, let down that path, entered the racetrack under it and
// flew the hold there (WP04 shown at 13,500 ft, held at 10,800). So the
// descent levels at the fix's figure before the hold. Only a fix short of
// any constraint, its figure above VNAV's target; never one the aircraft
// is already more than a margin under (it does not climb in the descent).
double DescentLevelBeforeHold() {
  const State& g = G();
  const int fix = g.TodPassed == 1 ? HoldFixBeforeAnyConstraint() : 0;
  if (fix == 0) return -HUGE_VAL;
  const double shown = PlannedAltitude(*Entry(fix));
  if (!(shown > g.NextConstraintAltitude) || shown > g.AircraftAltitude + kHoldBelowMargin) return -HUGE_VAL;
  return shown;
}

}  // namespace vnav_internal

void SelectNextConstraint() {
  State& g = G();
  // A hold keeps its fix active and within the switch distance pass after
  // pass: chosen again on every pass, the target was sent to the autopilot
  // on every tick.
  if (HoldBeingFlown()) return;
  const int active = Fp().ActiveWaypointIndex;
  // LNAV passes a waypoint its switch distance before the aircraft is
  // there: a constraint VNAV flies to stays its target until then.
  if ((IsTarget(active) || TopOfDescentBeforeIt(active)) && !Reached(active) &&
      !(g.HoldFixMet == 1 && AtHoldFix(active))) {
    // From here the pages count to the TOC beyond the constraint. Left
    // where the gate placed it, by the climb worked out from the ground,
    // a T/C beyond a /17,600B under an 18,000-ft level read 10.5 NM to a
    // top reached 2.3 NM on, and one beyond a 34,400B 35.1 NM to 27.1.
    if (g.HeldConstraintIndex != active && IsTarget(active)) KeepTopOfClimbBeyond(active);
    g.HeldConstraintIndex = active;
    return;
  }
  g.HoldFixMet = 0;
  SelectNextConstraintAt(active);
}

void DropTargetBehind() {
  State& g = G();
  const int active = Fp().ActiveWaypointIndex;
  // BLI, on the runway at KBLI, is passed on the take-off roll: with its
  // /3200 still the target, the aircraft levelled at 3,200 ft until SAMMI
  // was sequenced, 4,000 ft under the climb every page showed there.
  if (active <= 0 || active > Fp().ActiveFlightPlanLastIndex || g.NextConstraintIndex >= active ||
      g.NextConstraintIndex == g.HeldConstraintIndex)
    return;
  SelectNextConstraintAt(active - 1);
}

void RunVerticalTransitions(bool tod_passed_by_profile) {
  State& g = G();
  model::State& m = M();
  FollowHold();
  ReleaseHeldConstraint();
  StepDownBeforeHandOver();
  const std::int32_t level = PlannedCruiseAltitude();
  // One level in force: a plan that lowers or raises it (a direct-to that
  // shortens the route, a level entered) sends the autopilot the new one
  // before the descent, where the level no longer moves.
  if (level != g.LevelInForce) {
    if (g.TocPassed == 0 && g.NextConstraintAltitude == g.LevelInForce) g.NextConstraintAltitude = level;
    if (g.TodPassed == 0 && g.LevelInForce != 0) g.VnavAltitudeSet = 0;
    g.LevelInForce = level;
  }
  if (level > 0 && g.TocPassed == 0 && level - g.AircraftAltitude < kTopOfClimbCapture) {
    g.TodAltitude = level;
    g.TocPassed = 1;
    g.Lnav1xAtTodDone = 0;
    g.PauseAtTodDone = 0;
    if (fms::fms_state.FmsPage == kPageClimb) fms::fms_state.FmsPage = kPageCruise;
    if (g.VnavEngaged == 1 && Fp().RouteState >= 3 && m.VnavSetSpd == 1) {
      // Below a speed restriction's altitude its airspeed, not the Mach.
      if (m.VnavSetMachCruiseSpd == 1 &&
          !MachBeyondRestriction(model::PerformanceSegment::kCruise, m.CruiseMach, g.AircraftAltitude)) {
        // Climbing in Mach hold, it stays engaged.
        if (g.ApMachHold <= 0.0) EngageMachHold();
        g.VnavWantedMach = m.CruiseMach;
        g.VnavWantedSpeed = 0.0;
        g.PendingMachCommandCount = 2;
      } else {
        SendSpeed(m.CruiseSpeed);
      }
      g.ClimbRestrictionSpeedSet = 0.0;
    }
    g.DescentRestrictionSpeedSet = 0.0;
    TargetEntry(g.NextConstraintIndex);
  }

  // The profile may have passed the top of descent already (by the distance
  // to go, since the transitions last ran); without the actions below the
  // autopilot would keep the cruise altitude and VNAV would not descend. A
  // hold near the top of descent is flown round before the descent starts:
  // its circuits pass the point without going on along the route.
  if (level > 0 && (g.TodPassed == 0 || tod_passed_by_profile) && !HoldBeingFlown()) {
    double d = 0.0, c = 0.0;
    navdb::ComputeDistanceAndBearing(g.PlaneLatitude, g.PlaneLongitude, g.TodLatitude, g.TodLongitude, d, c);
    if (g.TodRecheckAfterSkip == 1) {
      if (d < 10.0) d = -1.0;
      g.TodRecheckAfterSkip = 0;
    }
    // Reached where the aircraft comes to it along the path it flies,
    // which the TOD and every distance to it are measured along. Taken as
    // reached within 1.5 NM of it, the descent began 1.5 NM early: every
    // page had read the distance to it 1.5 NM long, and the aircraft
    // descended below the plan's path (480 ft at 320 ft a mile). After a
    // waypoint passed abeam, a TOD within 10 NM counts as passed. The
    // course this test once compared the destination course with exists
    // nowhere.
    bool reached = d < 0.0;
    if (!reached && (tod_passed_by_profile || g.DestinationDistance < g.DistanceTodToLastWaypoint)) {
      reached = true;
      g.VnavSpeedSet = 0;
      CoupleSpeedToAutopilot();
    }
    if (reached) ReachTopOfDescent();
  }
  if (level > 0 && !HoldBeingFlown() && ClimbMeetsDescentPath()) {
    // The path starts where the climb ends, at the aircraft's altitude.
    StartDescentPathAtAircraft(false);
    ReachTopOfDescent();
    g.TodAltitude = std::trunc(g.AircraftAltitude);
  }
}

void WatchAutopilotMaster() {
  State& g = G();
  double master = host::GetAutopilotMaster();
  if (M().SetSpdOffwhenAPMasterSetOff == 1 && g.ApMaster == 1.0 && master == 0.0 && g.ApAirspeedHold == 1.0) {
    Send(kEventSpeedOff, 0);
  }
  g.ApMaster = master;
}

}  // namespace ovi::guidance
