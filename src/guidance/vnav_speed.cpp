// Airspeed and Mach: the restrictions' speeds and the constraints' as
// VNAV comes to them, and the pilot's own change of the speed taken over.
#include "src/guidance/vnav.h"

#include <algorithm>
#include <cmath>

#include "src/flightplan/state.h"
#include "src/guidance/autopilot_commands.h"
#include "src/guidance/speed_mode.h"
#include "src/guidance/vertical_plan.h"
#include "src/guidance/vnav_internal.h"
#include "src/host/sim_vars.h"
#include "src/model/performance.h"

namespace ovi::guidance {

using namespace vnav_internal;

namespace {

// Knots a second an aircraft loses while it holds its descent rate at idle
// thrust: taken low, so that it is slowed to the descent restriction's speed
// before the restriction's altitude rather than after it.
constexpr double kDescentDeceleration = 1.0;
// Feet below the aircraft an altitude target lies when it is descended to.
constexpr double kLevelBand = 100.0;

// The speed the climb is flown at: a constraint's speed is met at its
// waypoint, so it is taken within the distance speed restrictions are taken
// at, and the climb speed before that. Taken as soon as the constraint was
// ahead, an arrival fix's 170 kt was flown from 10,000 ft up to FL250,
// 70 NM before a fix beyond the top of descent.
double ClimbSpeedAhead() {
  const State& g = G();
  const model::State& m = M();
  const model::FlightPlanWaypoint* active = ActiveEntry();
  const bool at_active = Constrained(active) && g.ActiveWaypointDistance >= 0.0;
  const model::FlightPlanWaypoint* c = at_active ? active : Entry(g.NextConstraintIndex);
  const double d = at_active ? g.ActiveWaypointDistance : DistanceTo(c);
  return Constrained(c) && c->speed_constraint > 50.0 && d < m.VnavSetSpdRestDist ? c->speed_constraint : m.ClimbIas;
}

// Seconds the aircraft takes to slow to the descent restriction's speed.
double SecondsToSlowForTheRestriction() {
  return std::max(0.0, G().SmoothedAirspeed - M().DescSpdRest) / kDescentDeceleration;
}

}  // namespace

// What VNAV leaves the autopilot as it hands over: its altitude target below
// a restriction's altitude, no faster than the restriction's airspeed there.
// Left the descent's 280 kt or the cruise Mach, the aircraft flew the rest
// of the way down below 10,000 ft well above 250 kt, with no one to slow it.
void LeaveRestrictionSpeedOnHandOver() {
  State& g = G();
  if (M().VnavSetSpd != 1 || Fp().RouteState < 3) return;
  double target = host::GetAutopilotAltitudeLockVar();
  if (g.SentAltitude != kNoCommand) target = std::min(target, static_cast<double>(g.SentAltitude));
  if (!std::isfinite(target)) return;
  // Descending to it, the descent's restriction; level there, the one a
  // cruise at that level keeps.
  const bool descending = target < g.AircraftAltitude - kLevelBand;
  const model::PerformanceSegment phase =
      descending ? model::PerformanceSegment::kDescent : model::PerformanceSegment::kCruise;
  const double limit = RestrictionSpeedLimit(phase, std::min(target, g.AircraftAltitude));
  if (!std::isfinite(limit)) return;
  // A Mach held all the way down asks for ever more airspeed.
  const bool sent_faster = g.SentAirspeed != kNoCommand && g.SentAirspeed > limit;
  if (g.ApMachHold > 0.0) {
    EngageAirspeedHold();
    // Engaging, the autopilot takes the aircraft's airspeed: the limit goes
    // out even where it was the airspeed last sent. Left unsent, 277 kt
    // were held through the rest of the descent against the 300 sent.
    g.SentAirspeed = kNoCommand;
  } else if (host::GetAutopilotAirspeedHoldVar() <= limit && !sent_faster) {
    return;  // already no faster
  }
  // The autopilot may hold what it took as the hold engaged, not what was
  // sent last.
  ForgetSentSpeedsNotHeld();
  SendAirspeedCommand(limit);
}

namespace vnav_internal {

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
  // The rate the autopilot is descending toward an altitude below, too:
  // VNAV steepening from 100 to 3,000 ft/min 550 ft above the restriction
  // was measured at the rate the aircraft still had, and the slowing from
  // 280 kt began 11 s before the altitude instead of 40.
  double descent_rate = std::max(0.0, -g.VerticalSpeedFpm);
  if (g.ApAltitudeLockVar < g.AircraftAltitude - 100.0 && std::isfinite(g.ApVerticalSpeedVar))
    descent_rate = std::max(descent_rate, -g.ApVerticalSpeedVar);
  const double slowing_height = descent_rate / 60.0 * SecondsToSlowForTheRestriction();
  return std::isfinite(slowing_height) && g.AircraftAltitude < m.DescAltRest + slowing_height;
}

double RestrictionSlowingRate() {
  const State& g = G();
  const model::State& m = M();
  const double above = g.AircraftAltitude - m.DescAltRest;
  if (!(m.DescAltRest > 0.0 && m.DescSpdRest > 0.0) || !(above > 0.0) || !(g.SmoothedAirspeed > m.DescSpdRest + 5.0))
    return HUGE_VAL;
  return above / SecondsToSlowForTheRestriction() * 60.0;
}

}  // namespace vnav_internal

namespace {

// The autopilot holds a speed faster than `knots`: in Mach hold the Mach's
// airspeed at the aircraft's altitude. The airspeed dial is left where it
// was as the Mach hold engages: read alone, a dial at 250 kt passed a
// descent at Mach .78 (300 kt and more) through the restriction's window
// unslowed, down to 50 ft above its altitude.
bool HeldFasterThan(double knots) {
  const State& g = G();
  if (g.ApMachHold > 0.0) return g.ApMachHoldVar > model::IasToMach(knots, g.AircraftAltitude);
  return g.ApAirspeedHoldVar > knots;
}

}  // namespace

void RunSpeedRestrictionChecks() {
  State& g = G();
  model::State& m = M();
  const bool vnav = g.VnavEngaged == 1, executed = Fp().RouteState >= 3, speed = m.VnavSetSpd == 1;
  if (vnav && g.VerticalProfileValid == 1 && WithinDescentRestriction() && m.DescAltRest > 0.0 &&
      m.DescSpdRest > 0.0 && HeldFasterThan(m.DescSpdRest) && executed && g.DescentRestrictionSpeedSet == 0.0 &&
      speed) {
    SendSpeed(m.DescSpdRest);
    g.DescentRestrictionSpeedSet = 1.0;
  }
  if (g.TocPassed == 0 && g.ClimbRestrictionSpeedSet == 1.0 && g.AircraftAltitude > m.ClbAltRest && vnav && executed &&
      speed) {
    SendSpeed(ClimbSpeedAhead());
    g.ClimbRestrictionSpeedSet = 0.0;
  }
  // In every phase, the climb and a cruise with no descent planned yet
  // too: a constraint's speed waits for this distance there (met 6 NM
  // before its waypoint at 377 kt over the ground, 32 kt fast), and the
  // climb has set its own speed farther out (a cruise that took the
  // constraint's speed from that set, none to take, crossed a 250-kt fix
  // at 285 kt and descended from it in Mach hold).
  if (g.ActiveWaypointDistance < m.VnavSetSpdRestDist && vnav && g.ConstraintSpeedArmed == 0 &&
      Constrained(ActiveEntry())) {
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
  // The climb takes its speed at every waypoint: the climb speed again
  // after a constraint's waypoint is passed, or none ahead. Left to the
  // next constraint, a passed waypoint's 200 kt was flown to the top.
  const bool climb = g.VerticalProfileValid != 1 && g.TocPassed == 0;
  if (!(g.ActiveWaypointDistance < m.VnavSetSpdRestDist || g.VnavSpdRestPending == 1 || climb) || active == nullptr ||
      g.VnavSpeedSet != 0 || g.VnavEngaged != 1 || Fp().RouteState < 3 || m.VnavSetSpd != 1) {
    return;
  }
  const double alt = g.AircraftAltitude;
  const bool valued = active->altitude_constraint != model::kNoValue && active->speed_constraint != model::kNoValue;
  const double entry_speed = active->speed_constraint;
  // In the climb a waypoint without a speed (a direct-to's destination)
  // still has the climb's where VNAV asked for a speed before: left unsent,
  // the speed of a constraint the direct-to took off was held to the top.
  if (valued || (climb && g.VnavWantedSpeed > 0.0)) {
    if (g.VerticalProfileValid == 1) {
      // A constraint's speed within the distance speed restrictions are
      // taken at, as armed; an EXEC farther out keeps the descent's. Taken
      // at once, an arrival's 190 kt went out 138 NM before its fix and
      // the descent speed stayed there, into 127 kt of wind.
      if (g.ActiveWaypointDistance > 0.0 && g.ActiveWaypointDistance < m.VnavSetSpdRestDist && Constrained(active)) {
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
      const double speed = ClimbSpeedAhead();
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

}  // namespace ovi::guidance
