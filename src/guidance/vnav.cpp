#include "src/guidance/vnav.h"

#include <algorithm>
#include <cmath>

#include "src/flightplan/state.h"
#include "src/guidance/flown_path.h"
#include "src/guidance/speed_mode.h"
#include "src/guidance/state.h"
#include "src/guidance/vertical_plan.h"
#include "src/host/panel_services.h"
#include "src/host/sim_vars.h"
#include "src/instruments/fms/state.h"
#include "src/model/state.h"
#include "src/navdb/navdb.h"

namespace ovi::guidance {

std::int32_t MachHundredths(double mach) {
  double v = mach * 100.0 + 1e-6;
  return std::isfinite(v) ? static_cast<std::int32_t>(std::clamp(v, -2147483648.0, 2147483647.0)) : 0;
}

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

}  // namespace

// A target that is no number, or no speed at all, is never sent. Every
// speed command is read back on the next pass, wherever it was sent from:
// without that, the manual-change check that follows a restriction speed
// or the top-of-climb speed in the same pass takes VNAV's own new value for
// the pilot's and switches speed control off.
void SendAirspeedCommand(double knots) {
  if (!(knots > 0.0) || !std::isfinite(knots)) return;
  const std::int32_t v = Whole(knots);
  Send(kEventAirspeed, v);
  G().VnavLastSetSpeed = v;
  G().VnavSpeedReadbackMarker = CurrentTick();
}

void SendMachCommand(double mach) {
  if (!(mach > 0.0) || !std::isfinite(mach)) return;
  const std::int32_t v = MachHundredths(mach);  // 0.57 is 57, not 56.99999
  Send(kEventMach, v);
  G().VnavLastSetMach = v;
  G().VnavSpeedReadbackMarker = CurrentTick();
}

namespace {

void SendAltitude(double feet) {
  if (std::isfinite(feet)) Send(kEventAltitude, Whole(feet));
}

// The speed the speed logic asks for: held in the mode the phase calls for
// at the altitude (KeepSpeedModeForPhase), a Mach never above what the
// phase may hold there.
void SendSpeed(double knots) {
  if (!(knots > 0.0) || !std::isfinite(knots)) return;
  G().VnavWantedSpeed = knots;
  G().VnavWantedMach = 0.0;
  SendAirspeedCommand(knots);
}

void SendMach(double mach) {
  if (!(mach > 0.0) || !std::isfinite(mach)) return;
  G().VnavWantedMach = mach;
  G().VnavWantedSpeed = 0.0;
  SendMachCommand(std::min(mach, MachLimit(SpeedPhase(), G().AircraftAltitude)));
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
  if (const model::FlightPlanWaypoint* w = Entry(index)) {
    G().NextConstraintAltitude = w->altitude_constraint;
    G().NextConstraintLat = w->latitude;
    G().NextConstraintLon = w->longitude;
  }
}

// The destination runway is crossed 200 ft above the airport: the target
// of a descent to the airport at the end of the route, while VNAV flies it.
void AddRunwayCrossingHeight() {
  State& g = G();
  const int last = Fp().ActiveFlightPlanLastIndex;
  const model::FlightPlanWaypoint* last_entry = Entry(last);
  if (g.NextConstraintIndex == last && last_entry != nullptr && last_entry->type == "APT" &&
      g.NextConstraintAltitude != PlannedCruiseAltitude() && g.VnavEngaged == 1) {
    g.NextConstraintAltitude += 200.0;
  }
}

// Great-circle distance from the aircraft to a route entry; 0 without one.
double DistanceTo(const model::FlightPlanWaypoint* w) {
  double d = 0.0, c = 0.0;
  if (w != nullptr) navdb::ComputeDistanceAndBearing(G().PlaneLatitude, G().PlaneLongitude, w->latitude, w->longitude, d, c);
  return d;
}

// Path rate (ft/min) to climb or descend `feet` over the distance to the
// segment target at the present ground speed.
double PathRate(double feet) {
  const State& g = G();
  double minutes = g.GroundSpeedKnots > 0.0 ? g.NextConstraintDistance / (g.GroundSpeedKnots / 60.0) : 0.0;
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
  if (const double here = path.Aircraft(); here < path.AtPoint(last, g.TodLatitude, g.TodLongitude)) {
    int unused = 0;
    path.PointAt(here, g.TodLatitude, g.TodLongitude, unused);
  }
  // Along the path the aircraft flies, from the top of descent to the
  // constraint, as the profile measures it.
  const int constraint = std::clamp(g.NextConstraintIndex, 0, last);
  g.DistanceTodToConstraint =
      std::max(0.0, path.EntryOrBefore(constraint) - path.AtPoint(constraint, g.TodLatitude, g.TodLongitude));

  if (g.VnavEngaged != 1) return;
  if (M().VnavSetAlts == 1) SendAltitude(g.NextConstraintAltitude);
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

void SelectNextConstraint() {
  State& g = G();
  const int active = Fp().ActiveWaypointIndex, last = Fp().ActiveFlightPlanLastIndex;
  g.NextConstraintIndex = last;
  for (int i = active + 1; i <= last; ++i) {
    if (Fp().ActiveFlightPlan[i].constraint_flag == 1) {
      g.NextConstraintIndex = i;
      break;
    }
  }
  g.NextConstraintAltitude = PlannedCruiseAltitude();
  g.NextConstraintLat = g.TocLatitude;
  g.NextConstraintLon = g.TocLongitude;
  const bool active_constrained = Constrained(ActiveEntry());
  // The phase as it stood: re-planning the descent clears TodPassed.
  const bool climbing = g.TocPassed == 0, descending = g.TodPassed == 1;
  if (climbing) {
    std::int32_t climb_target = ComputeTopOfClimb(1);
    g.NextConstraintAltitude = PlannedCruiseAltitude();
    g.NextConstraintLat = g.TocLatitude;
    g.NextConstraintLon = g.TocLongitude;
    if (g.NextConstraintIndex <= climb_target) TargetEntry(g.NextConstraintIndex);
  } else {
    if (active_constrained) ComputeTopOfDescent(1);
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

void RunVerticalTransitions(bool tod_passed_by_profile) {
  State& g = G();
  model::State& m = M();
  const std::int32_t level = PlannedCruiseAltitude();
  if (level > 0 && g.TocPassed == 0 && level - g.AircraftAltitude < kTopOfClimbCapture) {
    g.TodAltitude = level;
    g.TocPassed = 1;
    g.Lnav1xAtTodDone = 0;
    g.PauseAtTodDone = 0;
    if (fms::fms_state.FmsPage == kPageClimb) fms::fms_state.FmsPage = kPageCruise;
    if (g.VnavEngaged == 1 && Fp().RouteState >= 3 && m.VnavSetSpd == 1) {
      if (m.VnavSetMachCruiseSpd == 1) {
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

  // The profile may have passed the top of descent already on this pass (by
  // the distance to go, before the 1.5 NM below could, as when the aircraft
  // is off the route there); without the actions below the autopilot would
  // keep the cruise altitude and VNAV would not descend.
  if (level > 0 && (g.TodPassed == 0 || tod_passed_by_profile)) {
    double d = 0.0, c = 0.0;
    navdb::ComputeDistanceAndBearing(g.PlaneLatitude, g.PlaneLongitude, g.TodLatitude, g.TodLongitude, d, c);
    if (g.TodRecheckAfterSkip == 1) {
      if (d < 10.0) d = -1.0;
      g.TodRecheckAfterSkip = 0;
    }
    bool reached = d <= 1.5;
    // The along-route distance alone decides: the course this test once
    // compared the destination course with exists nowhere.
    if (!reached && (tod_passed_by_profile || g.DestinationDistance < g.DistanceTodToLastWaypoint)) {
      reached = true;
      g.VnavSpeedSet = 0;
      CoupleSpeedToAutopilot();
    }
    if (reached) ReachTopOfDescent();
  }
}

void CoupleVnavToAutopilot() {
  State& g = G();
  const model::State& m = M();
  const std::int32_t tick = CurrentTick();
  if (g.VnavEngaged == 1 && g.VnavAltitudeSet == 1) {
    // Nothing read back yet means nothing to compare.
    if (m.VnavOffOnManAltChg == 1 && g.ApAltitudeLockVar == g.PreviousApAltitudeLockVar &&
        g.VnavAltitudeReadbackMarker != tick && g.VnavLastSetAltitude != kNoCommand &&
        g.VnavLastSetAltitude != Whole(g.ApAltitudeLockVar)) {
      g.VnavEngaged = 0;
    }
  } else if (g.VnavEngaged == 1 && g.VnavAltitudeSet == 0) {
    if (m.VnavSetAlts == 1) {
      bool cruise = g.TocPassed == 1 && g.TodPassed == 0;
      SendAltitude(cruise ? PlannedCruiseAltitude() : g.NextConstraintAltitude);
    }
    g.VnavAltitudeSet = 1;
    g.VnavAltitudeReadbackMarker = tick;
    g.VnavLastVerticalSpeedCommand = kNoCommand;
  }

  if (g.TocPassed == 0 && g.VnavEngaged == 1) {
    double r = PathRate(g.NextConstraintAltitude - g.AircraftAltitude);
    if (r - 200.0 > g.VerticalSpeedFpm) r = g.VerticalSpeedFpm + 100.0;
    bool path = g.VnavBelowMinSpeed == 1 || g.TrendAverage >= 0.005 || g.SmoothedAirspeed >= m.MinVnavClimbIas + 5.0 ||
                g.ApAirspeedHoldVar <= m.MinVnavClimbIas;
    if (!path) r = g.TrendAverage < 0.0 ? g.VerticalSpeedFpm - 100.0 : g.VerticalSpeedFpm;
    g.VnavRequiredVerticalSpeed = r;
    std::int32_t cmd = Hundreds(r);
    if (cmd > m.MaxVnavClimbRate) {
      cmd = Whole(m.MaxVnavClimbRate);
    } else if (cmd < m.MinVnavClimbRate) {
      cmd = Whole(m.MinVnavClimbRate);
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
    if (cmd != g.VnavLastVerticalSpeedCommand && g.FrameCounter == 0) {
      Send(kEventVerticalSpeed, cmd);
      g.VnavLastVerticalSpeedCommand = cmd;
    }
  } else if (g.TodPassed == 1 && g.NextConstraintAltitude <= g.AircraftAltitude) {
    double r = PathRate(g.AircraftAltitude - g.NextConstraintAltitude);
    g.VnavRequiredVerticalSpeed = r;
    if (g.VnavEngaged == 1) {
      std::int32_t cmd = NearestHundreds(r);
      if (cmd > m.MaxVnavDescRate) {
        cmd = Whole(m.MaxVnavDescRate);
      } else if (cmd < m.MinVnavDescRate) {
        cmd = Whole(m.MinVnavDescRate);
      }
      if (g.SmoothedAirspeed < m.MinVnavIas) cmd = 0;
      cmd = -cmd;
      g.VnavVerticalSpeedCommand = cmd;
      if (cmd != g.VnavLastVerticalSpeedCommand) {
        Send(kEventVerticalSpeed, cmd);
        g.VnavLastVerticalSpeedCommand = cmd;
      }
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
