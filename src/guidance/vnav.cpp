#include "src/guidance/vnav.h"

#include <algorithm>
#include <cmath>

#include "src/flightplan/state.h"
#include "src/guidance/climb_model.h"
#include "src/guidance/flown_path.h"
#include "src/guidance/holding.h"
#include "src/guidance/speed_mode.h"
#include "src/guidance/state.h"
#include "src/guidance/vertical_plan.h"
#include "src/host/panel_services.h"
#include "src/host/sim_vars.h"
#include "src/instruments/fms/state.h"
#include "src/model/state.h"
#include "src/navdb/navdb.h"

namespace ovi::guidance {

namespace {

constexpr int kPageClimb = 34, kPageCruise = 35, kPageDescent = 36;
// Stands in for a path rate with no time to fly (no distance or no ground
// speed): far above any clamp, yet finite, so the rules below still give an
// integer within the clamps.
constexpr double kUnboundedRate = 1e6;
// Knots a second an aircraft loses while it holds its descent rate at idle
// thrust: taken low, so that it is slowed to the descent restriction's speed
// before the restriction's altitude rather than after it.
constexpr double kDescentDeceleration = 1.0;
// A vertical speed command stays while the rate it answers lies within this
// band around it (ft/min): a rate sitting near the middle between two
// hundreds otherwise sent each of them in turn, many times a second.
constexpr double kVerticalSpeedBand = 75.0;
// Ticks a vertical speed command waits after the last change before it
// turns back the other way (18 a second).
constexpr double kTicksBeforeReversal = 5.0 * 18.0;
// Minutes over which the descent brings the aircraft back onto its path.
constexpr double kPathCorrectionMinutes = 1.0;
// The shallowest descent VNAV commands toward a target below (ft/min): an
// aircraft below its path comes back to it as the path comes down, and a
// vertical speed of 0 would level it with its target still below.
constexpr std::int32_t kLeastDescentCommand = 100;
// Feet from the hold's level within which the level counts as reached.
constexpr double kHoldLevelCapture = 20.0;

State& G() { return guidance_state; }
model::State& M() { return model::model_state; }
flightplan::State& Fp() { return flightplan::flightplan_state; }

std::int32_t CurrentTick() {
  double t = G().LastTick;
  return std::isfinite(t) ? static_cast<std::int32_t>(std::fmod(t, 2147483647.0)) : 0;
}

// Truncation of a finite value into 32 bits; anything else is 0.
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

bool Constrained(const model::FlightPlanWaypoint* w) { return w != nullptr && w->constraint_flag == 1; }

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
double DistanceTo(const model::FlightPlanWaypoint* w) {
  double d = 0.0, c = 0.0;
  if (w != nullptr) navdb::ComputeDistanceAndBearing(G().PlaneLatitude, G().PlaneLongitude, w->latitude, w->longitude, d, c);
  return d;
}

// Path rate (ft/min) to climb or descend `feet` over the distance to the
// segment target at `speed` over the ground.
double PathRate(double feet, double speed) {
  const State& g = G();
  double minutes = speed > 0.0 ? g.NextConstraintDistance / (speed / 60.0) : 0.0;
  if (!(minutes > 0.0) || !std::isfinite(minutes)) return feet > 0.0 ? kUnboundedRate : -kUnboundedRate;
  double r = feet / minutes;
  return std::isfinite(r) ? std::clamp(r, -kUnboundedRate, kUnboundedRate) : 0.0;
}

// Whole hundreds of a rate. A rate built from the simulator's vertical speed
// carries the last bit of its unit conversion (1500 reads 1499.9999999), and
// plain truncation would take the hundred below: VNAV's "present rate + 100"
// would never climb past the present rate.
std::int32_t Hundreds(double rate) { return Whole(rate * 0.01 + 1e-6) * 100; }

// Within the descent restriction: below its altitude, or above it by no more
// than the aircraft loses at its present vertical speed while it slows from
// its present airspeed to the restriction's speed. Sent only below the
// altitude, the speed was met about a thousand feet under it. Once its
// speed is in force after the top of climb it holds: the window shrinks as
// the aircraft slows, and a later speed command must not hand the descent
// speed back above the altitude.
bool WithinDescentRestriction() {
  const State& g = G();
  const model::State& m = M();
  if (g.AircraftAltitude < m.DescAltRest) return true;
  if (!(m.DescAltRest > 0.0 && m.DescSpdRest > 0.0)) return false;  // none set
  if (g.TocPassed == 1 && g.DescentRestrictionSpeedSet == 1.0) return true;
  const double descent_rate = std::max(0.0, -g.VerticalSpeedFpm);
  const double excess = std::max(0.0, g.SmoothedAirspeed - m.DescSpdRest);
  const double slowing_height = descent_rate / 60.0 * (excess / kDescentDeceleration);
  return std::isfinite(slowing_height) && g.AircraftAltitude < m.DescAltRest + slowing_height;
}

// The descent's whole hundreds are the nearest ones: cut toward the
// shallower hundred, as the climb's are, the aircraft descended up to 99
// ft/min short of the path all the way down and reached each waypoint high.
std::int32_t NearestHundreds(double rate) { return Whole(std::floor(rate * 0.01 + 0.5)) * 100; }

// A vertical speed command that turns back (up after a change down, or
// down after a change up) within five seconds of the last change keeps the
// last one. The distance a rate is worked out over is measured afresh each
// pass; where it wavers by a tenth of a mile (an aircraft well off its
// leg), a climb near its top turned 100 ft/min up and down every second.
// Ramps go on a step a second; a change between climbing, level and
// descending (a new phase) is never held.
std::int32_t Steady(std::int32_t cmd) {
  State& g = G();
  const std::int32_t last = g.VnavVerticalSpeedCommand;
  if (last == kNoCommand || cmd == last) return cmd;
  if ((cmd > 0) != (last > 0) || (cmd < 0) != (last < 0)) {
    g.VnavVerticalSpeedChangeSign = 0;
    return cmd;
  }
  const std::int32_t sign = cmd > last ? 1 : -1;
  if (sign == -g.VnavVerticalSpeedChangeSign && g.LastTick - g.VnavVerticalSpeedChangeTick < kTicksBeforeReversal)
    return last;
  g.VnavVerticalSpeedChangeSign = sign;
  g.VnavVerticalSpeedChangeTick = g.LastTick;
  return cmd;
}

// The command last sent stays while the rate lies within its band: from
// `below` under it to `above` over it.
bool WithinBand(double rate, std::int32_t last, double below, double above) {
  return last != kNoCommand && rate >= last - below && rate <= last + above;
}

// Whether the aircraft has come abeam route entry i along the path LNAV
// flies (or the path cannot tell).
bool Reached(int i) {
  const FlownPath& path = FlownPath::Current();
  const double at = path.Entry(i), here = path.Aircraft();
  return !(std::isfinite(at) && std::isfinite(here)) || here >= at;
}

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
  if (M().VnavSetAlts == 1) SendAltitudeCommand(g.NextConstraintAltitude);
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
    // Sent on each of the two passes: an autopilot whose Mach hold engages
    // a pass late takes the aircraft's Mach then, over the first.
    ForgetSentMach();
    SendMach(M().CruiseMach);
    --g.PendingMachCommandCount;
  }
  if (g.PendingDescentSpeedCommand == 1) {
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
    if (Fp().ActiveFlightPlan[i].constraint_flag == 1) {
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
    std::int32_t climb_target = ComputeTopOfClimb(at + 1 - active);
    g.NextConstraintAltitude = PlannedCruiseAltitude();
    g.NextConstraintLat = g.TocLatitude;
    g.NextConstraintLon = g.TocLongitude;
    if (g.NextConstraintIndex <= climb_target) TargetEntry(g.NextConstraintIndex);
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

// A constraint held as the target past its sequencing is given up once the
// aircraft is abeam it (the next target is chosen from it), or as soon as
// another target replaced it (EXEC).
void ReleaseHeldConstraint() {
  State& g = G();
  const int held = g.HeldConstraintIndex;
  if (held == 0) return;
  if (held >= Fp().ActiveWaypointIndex || !IsTarget(held)) {
    g.HeldConstraintIndex = 0;
  } else if (Reached(held)) {
    g.HeldConstraintIndex = 0;
    SelectNextConstraintAt(held);
  }
}

// The level of a hold: in the climb the plan's altitude at its fix (or the
// fix's own constraint), no lower than the aircraft; in the descent the
// same, no higher than the aircraft; in cruise the plan's level.
double HoldLevelAtEntry() {
  const State& g = G();
  const model::FlightPlanWaypoint* fix = Entry(Fp().HoldTable[1].active_index);
  const double planned = fix != nullptr ? PlannedAltitude(*fix) : 0.0;
  const double here = std::round(g.AircraftAltitude / 100.0) * 100.0;
  if (g.TocPassed == 1 && g.TodPassed == 0) return PlannedCruiseAltitude();
  if (!(planned > 0.0)) return here;
  if (g.TodPassed == 1) return std::min(planned, here);
  return std::max(std::min(planned, static_cast<double>(PlannedCruiseAltitude())), here);
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
  if (g.TodPassed == 1) {
    const FlownPath& path = FlownPath::Current();
    const int last = std::max(Fp().ActiveFlightPlanLastIndex, 0);
    if (!(path.Aircraft() < path.CoordinateFromPosition(last, g.HoldFixLatitude, g.HoldFixLongitude)) ||
        !StartDescentPathAtAircraft(false)) {
      g.TodLatitude = g.HoldFixLatitude;
      g.TodLongitude = g.HoldFixLongitude;
    }
    g.TodAltitude = g.HoldLevel;
  }
  if (g.TocPassed == 0 || g.TodPassed == 1) g.VnavAltitudeSet = 0;
}

// A hold entered gets its level; a hold left, the path on from it.
void FollowHold() {
  State& g = G();
  const bool flown = HoldBeingFlown();
  if (flown && g.HoldFlownLastPass == 0) {
    g.HoldLevel = HoldLevelAtEntry();
    const model::HoldPoint& fix = Fp().HoldTable[1].corners[0];
    g.HoldFixLatitude = fix.latitude;
    g.HoldFixLongitude = fix.longitude;
    g.VnavAltitudeSet = 0;
  } else if (!flown && g.HoldFlownLastPass == 1) {
    ResumeAfterHold();
  }
  g.HoldFlownLastPass = flown ? 1 : 0;
}

// In a hold VNAV has sent the hold's level as the autopilot's target: the
// climb or the descent goes on toward it as the phase flies it, and once
// there nothing more is sent, so the racetrack is flown level.
bool HoldLevelReached() {
  State& g = G();
  if (std::fabs(g.HoldLevel - g.AircraftAltitude) > kHoldLevelCapture) return false;
  g.VnavRequiredVerticalSpeed = 0.0;
  return true;
}

}  // namespace

void SelectNextConstraint() {
  State& g = G();
  // A hold keeps its fix active and within the switch distance pass after
  // pass: chosen again on every pass, the target was sent to the autopilot
  // on every tick.
  if (HoldBeingFlown()) return;
  const int active = Fp().ActiveWaypointIndex;
  // LNAV passes a waypoint its switch distance before the aircraft is
  // there: a constraint VNAV flies to stays its target until then.
  if (IsTarget(active) && !Reached(active)) {
    g.HeldConstraintIndex = active;
    return;
  }
  SelectNextConstraintAt(active);
}

void RunVerticalTransitions(bool tod_passed_by_profile) {
  State& g = G();
  model::State& m = M();
  FollowHold();
  ReleaseHeldConstraint();
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
        EngageMachHold();
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
}

namespace {

// The descent's rate (ft/min, down positive): the path's own at the
// aircraft, and its deviation taken back over a minute. On a path straight
// to the constraint, taken back over the whole time to go (the rate to the
// constraint), a deviation lasted nearly as far: with the vertical speed's
// band (a rate may sit 75 ft/min off its command) it could grow by 75 ft a
// minute to go, an aircraft left below its path (by a hold, or a pilot's
// altitude) came back to it only at the constraint, and near the constraint
// a few feet asked for any rate. On the level before a top of descent
// still ahead it is level flight; below the path the aircraft waits level
// for it.
double DescentPathRate() {
  const State& g = G();
  const double nm_per_minute = std::max(g.GroundSpeedKnots, 0.0) / 60.0;
  double path_rate = 0.0;
  if (g.DescentPathAltitudeSpan > 0.0 && g.DistanceTodToConstraint > 0.0 && g.DistanceSinceTod > 0.0)
    path_rate = (g.TodAltitude - DescentPathBottom()) / g.DistanceTodToConstraint * nm_per_minute;
  const double r = path_rate + (g.AircraftAltitude - g.VnavPathAltitude) / kPathCorrectionMinutes;
  return std::isfinite(r) ? std::clamp(r, -kUnboundedRate, kUnboundedRate) : 0.0;
}

}  // namespace

void CoupleVnavToAutopilot() {
  State& g = G();
  const model::State& m = M();
  const std::int32_t tick = CurrentTick();
  const bool hold = HoldBeingFlown();
  if (g.VnavEngaged == 1 && g.VnavAltitudeSet == 1) {
    // Nothing read back yet means nothing to compare.
    if (m.VnavOffOnManAltChg == 1 && g.ApAltitudeLockVar == g.PreviousApAltitudeLockVar &&
        g.VnavAltitudeReadbackMarker != tick && g.VnavLastSetAltitude != kNoCommand &&
        g.VnavLastSetAltitude != Whole(g.ApAltitudeLockVar)) {
      g.VnavEngaged = 0;
    }
  } else if (g.VnavEngaged == 1 && g.VnavAltitudeSet == 0) {
    if (g.TodPassed == 1) AddRunwayCrossingHeight();
    const bool cruise = g.TocPassed == 1 && g.TodPassed == 0;
    // A new altitude target is followed by the vertical speed toward it.
    if (m.VnavSetAlts == 1 &&
        SendAltitudeCommand(hold ? g.HoldLevel : cruise ? PlannedCruiseAltitude() : g.NextConstraintAltitude))
      g.VnavLastVerticalSpeedCommand = kNoCommand;
    g.VnavAltitudeSet = 1;
    g.VnavAltitudeReadbackMarker = tick;
  }

  if (hold && (HoldLevelReached() || (g.TocPassed == 1 && g.TodPassed == 0))) return;
  if (g.TocPassed == 0 && g.VnavEngaged == 1) {
    // Over the time the plan's climb takes, at the ground speed it averages
    // from here: at the present one, the rate low down was short of the
    // plan's and high up beyond it (a straight line to a top of climb
    // placed by a climb at the plan's rate), and the aircraft reached each
    // waypoint below the plan.
    // The speed is worked out once a second (frame 0), with the command.
    const double feet = g.NextConstraintAltitude - g.AircraftAltitude;
    if (g.FrameCounter == 0 || !(g.VnavClimbGroundSpeed > 0.0))
      g.VnavClimbGroundSpeed = feet > 0.0 ? PlannedClimbGroundSpeed(g.AircraftAltitude, g.NextConstraintAltitude)
                                          : g.GroundSpeedKnots;
    double r = PathRate(feet, g.VnavClimbGroundSpeed);
    if (r - 200.0 > g.VerticalSpeedFpm) r = g.VerticalSpeedFpm + 100.0;
    bool path = g.VnavBelowMinSpeed == 1 || g.TrendAverage >= 0.005 || g.SmoothedAirspeed >= m.MinVnavClimbIas + 5.0 ||
                g.ApAirspeedHoldVar <= m.MinVnavClimbIas;
    if (!path) r = g.TrendAverage < 0.0 ? g.VerticalSpeedFpm - 100.0 : g.VerticalSpeedFpm;
    g.VnavRequiredVerticalSpeed = r;
    // Worked out on the passes that may send it (frame 0, once a second);
    // between them it stands: a band and a turn back measured against
    // values worked out on every pass and never sent held nothing. The
    // climb's hundreds are cut, and the climb steepens a hundred at a time:
    // the band reaches below the command only. It is around the command
    // last worked out: one sent again after an altitude target is the same.
    const std::int32_t last = g.VnavVerticalSpeedCommand;
    std::int32_t cmd = last;
    if (g.FrameCounter == 0 || last == kNoCommand) {
      cmd = WithinBand(r, last, kVerticalSpeedBand, 99.0) ? last : Hundreds(r);
      if (cmd > m.MaxVnavClimbRate) {
        cmd = Whole(m.MaxVnavClimbRate);
      } else if (cmd < m.MinVnavClimbRate) {
        cmd = Whole(m.MinVnavClimbRate);
      }
      cmd = Steady(cmd);
    }
    if (g.VnavBelowMinSpeed == 1) {
      if (g.SmoothedAirspeed <= m.MinVnavIas + 10.0) {
        cmd = 0;
      } else {
        g.VnavBelowMinSpeed = 0;
      }
    } else if (g.SmoothedAirspeed < m.MinVnavIas) {
      g.VnavBelowMinSpeed = 1;
      cmd = 0;
    }
    g.VnavVerticalSpeedCommand = cmd;
    if (g.FrameCounter == 0) SendVerticalSpeed(cmd);
  } else if (g.TodPassed == 1 && g.NextConstraintAltitude <= g.AircraftAltitude) {
    // Down to a hold's level at least at the least rate: the path goes on
    // only as far as the aircraft goes on along the route.
    const double r = hold ? std::max(DescentPathRate(), m.MinVnavDescRate) : DescentPathRate();
    g.VnavRequiredVerticalSpeed = r;
    if (g.VnavEngaged == 1) {
      // Down the path at its own rate: a least rate above it (the path
      // asks for less against a headwind, or where it was re-planned from
      // below) took the aircraft under its path and levelled it at the
      // constraint's altitude miles early. Below the path the aircraft
      // waits level for it.
      const std::int32_t last = g.VnavVerticalSpeedCommand == kNoCommand ? kNoCommand : -g.VnavVerticalSpeedCommand;
      std::int32_t cmd = WithinBand(r, last, kVerticalSpeedBand, kVerticalSpeedBand) ? last : NearestHundreds(r);
      // Never level toward a target below: at least the shallowest descent.
      cmd = Steady(-std::max(kLeastDescentCommand, std::min(cmd, Whole(m.MaxVnavDescRate))));
      if (g.SmoothedAirspeed < m.MinVnavIas) cmd = 0;
      g.VnavVerticalSpeedCommand = cmd;
      SendVerticalSpeed(cmd);
    }
  }
}

void RunSpeedRestrictionChecks() {
  State& g = G();
  model::State& m = M();
  const bool vnav = g.VnavEngaged == 1, executed = Fp().RouteState >= 3, speed = m.VnavSetSpd == 1;
  if (vnav && g.VerticalProfileValid == 1 && WithinDescentRestriction() && m.DescAltRest > 0.0 &&
      m.DescSpdRest > 0.0 && m.DescSpdRest < g.ApAirspeedHoldVar && executed && g.DescentRestrictionSpeedSet == 0.0 &&
      speed) {
    SendSpeed(m.DescSpdRest);
    g.DescentRestrictionSpeedSet = 1.0;
  }
  if (g.TocPassed == 0 && g.ClimbRestrictionSpeedSet == 1.0 && g.AircraftAltitude > m.ClbAltRest && vnav && executed &&
      speed) {
    // An altitude-only constraint has no speed (-999) to climb on at.
    const model::FlightPlanWaypoint* w = ActiveEntry();
    SendSpeed(Constrained(w) && w->speed_constraint > 0.0 ? w->speed_constraint : m.ClimbIas);
    g.ClimbRestrictionSpeedSet = 0.0;
  }
  if (g.ActiveWaypointDistance < m.VnavSetSpdRestDist && vnav && g.VerticalProfileValid == 1 &&
      g.ConstraintSpeedArmed == 0 && Constrained(ActiveEntry())) {
    g.VnavSpeedSet = 0;
    g.ConstraintSpeedArmed = 1;
  }
  CoupleSpeedToAutopilot();
}

void CoupleSpeedToAutopilot() {
  State& g = G();
  model::State& m = M();
  const std::int32_t tick = CurrentTick();
  if (m.VnavSetSpd == 1 && g.VnavSpeedSet == 1 && m.VnavSetSpdOffOnManSpdChg == 1 &&
      g.ApAirspeedHoldVar == g.PreviousApAirspeedHoldVar && g.VnavSpeedReadbackMarker != tick) {
    bool changed = false;
    if (m.VnavSetMachCruiseSpd == 1) {
      changed = g.VnavLastSetSpeed != kNoCommand && g.VnavLastSetSpeed != Whole(g.ApAirspeedHoldVar);
    } else {
      // Mach against Mach, both in hundredths.
      changed = g.VnavLastSetMach != kNoCommand && g.VnavLastSetMach != MachHundredths(g.ApMachHoldVar);
    }
    if (changed) m.VnavSetSpd = 2;
  }

  // A constraint held as the target past its sequencing keeps its speed
  // too, until the aircraft is there and the next target is chosen.
  if (g.HeldConstraintIndex != 0) return;
  model::FlightPlanWaypoint* active = ActiveEntry();
  if (!(g.ActiveWaypointDistance < m.VnavSetSpdRestDist || g.VnavSpdRestPending == 1) || active == nullptr ||
      g.VnavSpeedSet != 0 || g.VnavEngaged != 1 || Fp().RouteState < 3 || m.VnavSetSpd != 1) {
    return;
  }
  const double alt = g.AircraftAltitude;
  if (active->altitude_constraint != model::kNoValue && active->speed_constraint != model::kNoValue) {
    const double entry_speed = active->speed_constraint;
    if (g.VerticalProfileValid == 1) {
      if (g.ActiveWaypointDistance > 0.0 && Constrained(active)) {
        if (WithinDescentRestriction() && entry_speed > m.DescSpdRest) {
          SendSpeed(m.DescSpdRest);
        } else {
          SendSpeed(entry_speed);
          if (entry_speed < m.DescentSpeed) m.CruiseSpeed = m.DescentSpeed = Whole(entry_speed);
        }
      } else if (WithinDescentRestriction() && m.DescentSpeed > m.DescSpdRest) {
        SendSpeed(m.DescSpdRest);
      } else {
        SendSpeed(m.DescentSpeed);
      }
    } else if (g.TocPassed == 0) {
      double speed = entry_speed;
      if (!Constrained(active) || g.ActiveWaypointDistance < 0.0) {
        // The next constraint's speed is taken once within the distance at
        // which speed restrictions are taken.
        const model::FlightPlanWaypoint* next = Entry(g.NextConstraintIndex);
        const bool near = Constrained(next) && next->speed_constraint > 50.0 && DistanceTo(next) <= m.VnavSetSpdRestDist;
        speed = near ? next->speed_constraint : m.ClimbIas;
      }
      if (alt < m.ClbAltRest && speed > m.ClbSpdRest) {
        SendSpeed(m.ClbSpdRest);
        g.ClimbRestrictionSpeedSet = 1.0;
      } else {
        SendSpeed(speed);
      }
    } else {
      const double d = DistanceTo(Entry(g.NextConstraintIndex));
      if (d >= m.VnavSetSpdRestDist || !Constrained(active)) {
        if (m.VnavSetMachCruiseSpd == 1) {
          SendMach(m.CruiseMach);
        } else {
          SendSpeed(m.CruiseSpeed);
        }
      } else {
        SendSpeed(entry_speed);
      }
    }
  }
  g.VnavSpeedSet = 1;
  g.VnavSpeedReadbackMarker = tick;
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
