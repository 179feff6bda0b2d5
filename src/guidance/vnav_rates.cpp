// The vertical speed VNAV sends toward its target: the climb's at the
// rate the plan's climb flies from the aircraft, the descent's down its
// path, each held steady within a band and against quick reversals.
#include "src/guidance/vnav.h"

#include <algorithm>
#include <cmath>

#include "src/guidance/climb_model.h"
#include "src/guidance/holding.h"
#include "src/guidance/vertical_plan.h"
#include "src/guidance/vnav_internal.h"
#include "src/host/sim_vars.h"

namespace ovi::guidance {

using namespace vnav_internal;

namespace {

// Stands in for a path rate with no time to fly (no distance or no ground
// speed): far above any clamp, yet finite, so the rules below still give an
// integer within the clamps.
constexpr double kUnboundedRate = 1e6;
// A vertical speed command stays while the rate it answers lies within this
// band around it (ft/min): a rate sitting near the middle between two
// hundreds otherwise sent each of them in turn, many times a second.
constexpr double kVerticalSpeedBand = 75.0;
// Ticks a vertical speed command waits after the last change before it
// turns back the other way (18 a second).
constexpr double kTicksBeforeReversal = 5.0 * 18.0;
// Ticks within which a command going back to the one before the last
// (sent within as many ticks) may do so once.
constexpr double kTicksBetweenReturns = 10.0 * 18.0;
// Minutes over which the descent brings the aircraft back onto its path.
constexpr double kPathCorrectionMinutes = 1.0;
// The shallowest descent VNAV commands toward a target below (ft/min): an
// aircraft below its path comes back to it as the path comes down, and a
// vertical speed of 0 would level it with its target still below.
constexpr std::int32_t kLeastDescentCommand = 100;
// Above a lower level in the cruise by more than this (ft), VNAV steps the
// aircraft down to it; nearer, the autopilot's capture has it.
constexpr double kStepDownBand = 150.0;
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
// descending (a new phase) is never held. Nor does a command go back to
// the one before the last (within ten seconds of that one) a second time
// within ten seconds: by way of a ramp on between, a path in a turn near
// its level-off was sent -600, -500, -600, -700, -600 ft/min in 16 s, the
// autopilot's target swinging to and fro.
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
  if (cmd == g.VnavVerticalSpeedBeforeLast && g.LastTick - g.VnavVerticalSpeedBeforeLastTick < kTicksBetweenReturns) {
    if (g.LastTick - g.VnavVerticalSpeedReturnTick < kTicksBetweenReturns) return last;
    g.VnavVerticalSpeedReturnTick = g.LastTick;
  }
  g.VnavVerticalSpeedBeforeLast = last;
  g.VnavVerticalSpeedBeforeLastTick = g.VnavVerticalSpeedChangeTick;
  g.VnavVerticalSpeedChangeSign = sign;
  g.VnavVerticalSpeedChangeTick = g.LastTick;
  return cmd;
}

// The command last sent stays while the rate lies within its band: from
// `below` under it to `above` over it.
bool WithinBand(double rate, std::int32_t last, double below, double above) {
  return last != kNoCommand && rate >= last - below && rate <= last + above;
}


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
    path_rate = DescentPathGradient() * nm_per_minute;
  const double r = path_rate + (g.AircraftAltitude - g.VnavPathAltitude) / kPathCorrectionMinutes;
  return std::isfinite(r) ? std::clamp(r, -kUnboundedRate, kUnboundedRate) : 0.0;
}

// Whether the TOC stands on a constraint's own waypoint, where the climb
// ends at the constraint's altitude below the level.
bool TocOnAConstraint() {
  const State& g = G();
  const model::FlightPlanWaypoint* w = Entry(g.TocWaypointIndex);
  return g.TocWaypointIndex >= 1 && g.TocWaypointIndex < Fp().ActiveFlightPlanLastIndex && Constrained(w) &&
         w->latitude == g.TocLatitude && w->longitude == g.TocLongitude;
}

}  // namespace

std::int32_t ClimbCommandFor(double rate) {
  const std::int32_t last = G().VnavVerticalSpeedCommand;
  return WithinBand(rate, last, kVerticalSpeedBand, 99.0) ? last : Hundreds(rate);
}

void CoupleVnavToAutopilot() {
  State& g = G();
  const model::State& m = M();
  const std::int32_t tick = CurrentTick();
  const bool hold = HoldBeingFlown();
  // A level before a hold ahead that comes or goes (the aircraft climbing
  // through it before it applied, the hold taken out) is sent as it does.
  const double before_hold = ClimbLevelBeforeHold(), above_hold = DescentLevelBeforeHold();
  const bool levelled = std::isfinite(before_hold) || std::isfinite(above_hold);
  const double for_hold = std::isfinite(before_hold) ? before_hold : above_hold;
  if (g.VnavEngaged == 1 && g.VnavAltitudeSet == 1 && m.VnavSetAlts == 1 && !hold &&
      (levelled != (g.ClimbLevelledForHold == 1) || (levelled && Whole(for_hold) != g.SentAltitude)))
    g.VnavAltitudeSet = 0;
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
    // A new altitude target is followed by the vertical speed toward it,
    // where the autopilot no longer holds the one sent (one that zeroes
    // its vertical speed as it captures an altitude); sent again over the
    // same value, it went out twice in a second at every constraint.
    const double target = std::max(std::min(g.NextConstraintAltitude, before_hold), above_hold);
    if (m.VnavSetAlts == 1 && SendAltitudeCommand(hold ? g.HoldLevel : cruise ? PlannedCruiseAltitude() : target) &&
        Whole(host::GetAutopilotVerticalHoldVar()) != g.VnavLastVerticalSpeedCommand)
      g.VnavLastVerticalSpeedCommand = kNoCommand;
    if (m.VnavSetAlts == 1) g.ClimbLevelledForHold = levelled ? 1 : 0;
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
    // To the TOC, up to where the climb meets the descent path where it
    // does so short of the level.
    const bool to_toc = g.NextConstraintLat == g.TocLatitude && g.NextConstraintLon == g.TocLongitude;
    const double top = to_toc ? std::min(g.NextConstraintAltitude, ClimbTopAltitude()) : g.NextConstraintAltitude;
    const double feet = top - g.AircraftAltitude;
    if (g.FrameCounter == 0 || !(g.VnavClimbGroundSpeed > 0.0))
      g.VnavClimbGroundSpeed = feet > 0.0 ? PlannedClimbGroundSpeed(g.AircraftAltitude, top) : g.GroundSpeedKnots;
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
      cmd = ClimbCommandFor(r);
      // To a constraint of the climb at the plan's rate at least, levelling
      // at its altitude if it comes early, as the predictions plan it: the
      // path rate to a constraint far ahead (its least, 1,500 ft/min)
      // crossed the waypoints before it up to 1,400 ft below the altitudes
      // RTE LEGS showed, climbing at 1,600 and more.
      // So too where the TOC stands on the constraint's own waypoint (no
      // room for the climb beyond it before the last leg): paced to meet
      // its 23,700B there, VNAV climbed at 1,500 ft/min where the pages
      // levelled at it before the waypoint before, crossed 2,847 ft under
      // the altitude shown.
      const double least =
          to_toc && !TocOnAConstraint() ? m.MinVnavClimbRate : std::max(m.MinVnavClimbRate, ClimbRateFlown());
      if (cmd > m.MaxVnavClimbRate) {
        cmd = Whole(m.MaxVnavClimbRate);
      } else if (cmd < least) {
        cmd = Whole(least);
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
  } else if (g.TocPassed == 1 && g.TodPassed == 0 && g.VnavEngaged == 1 &&
             g.AircraftAltitude > PlannedCruiseAltitude() + kStepDownBand) {
    // Down to a lower level entered in the cruise at the plan's descent
    // rate. Left to the autopilot, the step went at whatever vertical speed
    // the climb had sent last (1,000 ft/min: 8,000 ft in 8 minutes and 45
    // NM, RTE LEGS showing the waypoints on the way at the new level), or
    // not at all where the autopilot zeroes it as it captures an altitude.
    // The rate the pages' step down is worked out at (StepRate).
    const std::int32_t cmd = Steady(-NearestHundreds(StepRate()));
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
      // No steeper than slows the aircraft to the restriction's speed by its
      // altitude: steepened from 100 to 3,000 ft/min 550 ft above it at
      // 280 kt, the aircraft crossed 10,000 ft at 258 kt.
      const double slowing = RestrictionSlowingRate();
      if (std::isfinite(slowing)) cmd = std::min(cmd, Whole(std::ceil(slowing / 100.0) * 100.0));
      cmd = Steady(-std::max(kLeastDescentCommand, std::min(cmd, Whole(m.MaxVnavDescRate))));
      if (g.SmoothedAirspeed < m.MinVnavIas) cmd = 0;
      g.VnavVerticalSpeedCommand = cmd;
      SendVerticalSpeed(cmd);
    }
  }
}

}  // namespace ovi::guidance
