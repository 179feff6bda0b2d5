#include "src/guidance/speed_mode.h"

#include <algorithm>
#include <cmath>

#include "src/flightplan/state.h"
#include "src/guidance/autopilot_commands.h"
#include "src/guidance/holding.h"
#include "src/guidance/state.h"
#include "src/guidance/vertical_plan.h"
#include "src/guidance/vnav.h"
#include "src/guidance/vnav_internal.h"
#include "src/host/panel_services.h"
#include "src/model/state.h"

namespace ovi::guidance {

namespace {

using model::PerformanceSegment;

// Mach by which an airspeed must ask for more than the limit before the
// limit is held instead; once held, the airspeed comes back only below the
// limit itself, so that the mode does not change to and fro at the crossover.
constexpr double kCrossoverMargin = 0.005;

void Send(std::uint32_t event) { host::SendKeyEvent(event, 0); }

// The pilot's Mach for the phase where one is entered, as entered (held
// at the tables', it was overridden without a word), else the tables'.
double ExactMachLimit(PerformanceSegment phase, double altitude) {
  const model::State& m = model::model_state;
  const double entered = phase == PerformanceSegment::kClimb     ? m.ClimbMach
                         : phase == PerformanceSegment::kDescent ? m.DescentMach
                                                                 : 0.0;
  if (entered > 0.0 && std::isfinite(entered)) return entered;
  const double data = model::PerformanceMachAt(phase, altitude);
  return data > 0.0 && std::isfinite(data) ? data : HUGE_VAL;
}

}  // namespace

void EngageMachHold() {
  State& g = guidance_state;
  if (g.ApAirspeedHold > 0.0) Send(kEventAirspeedHoldOff);
  Send(kEventMachHoldOn);
  g.ApAirspeedHold = 0.0;
  g.ApMachHold = 1.0;
}

void EngageAirspeedHold() {
  State& g = guidance_state;
  Send(kEventMachHoldOff);
  Send(kEventAirspeedHoldOn);
  g.ApMachHold = 0.0;
  g.ApAirspeedHold = 1.0;
}

PerformanceSegment SpeedPhase() {
  const State& g = guidance_state;
  if (g.TocPassed == 0) return PerformanceSegment::kClimb;
  return g.TodPassed == 1 ? PerformanceSegment::kDescent : PerformanceSegment::kCruise;
}

double MachLimit(PerformanceSegment phase, double altitude) {
  const double limit = ExactMachLimit(phase, altitude);
  // In the hundredths the autopilot takes and the pages show: no more.
  return std::isfinite(limit) ? MachHundredths(limit) / 100.0 : limit;
}

namespace {

// Feet below the aircraft a target lies when VNAV flies down to it.
constexpr double kDescendingBelow = 100.0;
// Feet above a restriction's altitude a level is still taken as at it.
constexpr double kLevelAtAltitude = 50.0;
// Feet above the descent restriction's altitude within which an aircraft
// about to descend keeps the restriction's speed: the autopilot slows some
// 1.5 kt a second while VNAV descends at 2,000 ft/min, so that 60 kt take
// 1,300 ft. A short flight's climb accelerated to 300 kt and turned down
// 941 ft above the altitude, and went below it at 253 kt against 240.
constexpr double kSlowingBand = 1500.0;
// NM before the top of descent from which it counts as near, and farther
// than which it is no longer near once it was: a top of descent placed
// again on every pass as a short flight climbs hovered about 10 NM ahead,
// and the speed went 240, 250, 240 kt on the passes either side of it.
constexpr double kNearTopOfDescent = 10.0;
constexpr double kNoLongerNear = 15.0;

// A climb that turns into the descent below the descent restriction's
// altitude: one to a level no higher than that altitude (a short flight's
// TOD may come before its TOC), or one VNAV already flies down to a target
// below the aircraft (a constraint or the end below it, the level never
// reached). At the climb's restriction speed the descent from it began at
// 250 kt and went on down at it with 240/10000 on the DES page.
bool ClimbTurnsIntoTheDescent() {
  const State& g = guidance_state;
  const model::State& m = model::model_state;
  return PlannedCruiseAltitude() <= m.DescAltRest ||
         (g.VnavEngaged == 1 && g.NextConstraintAltitude < g.AircraftAltitude - kDescendingBelow);
}

// The top of descent lies ahead within kNearTopOfDescent along the path
// (within kNoLongerNear once it did).
bool TopOfDescentNear() {
  State& g = guidance_state;
  const double ahead = g.CruiseSideDistance;
  if (g.TodPassed != 0 || !(ahead > 0.0) || ahead >= kNoLongerNear) {
    g.TopOfDescentNear = 0;
  } else if (ahead < kNearTopOfDescent) {
    g.TopOfDescentNear = 1;
  }
  return g.TopOfDescentNear == 1;
}

// The speed of the waypoint LNAV passed last, until the aircraft is abeam
// it. LNAV passes a waypoint its switch distance before it, 3-4 NM at
// 400 kt, and the speed sent then (a top of descent just after it) crossed
// a 230-kt fix at 278 kt.
double SpeedUntilAbeamOfThePassedWaypoint() {
  State& g = guidance_state;
  const int passed = flightplan::flightplan_state.ActiveWaypointIndex - 1;
  const model::FlightPlanWaypoint* w = vnav_internal::Entry(passed);
  if (w == nullptr || !model::IsConstraint(*w) || !(w->speed_constraint > 0.0)) return HUGE_VAL;
  if (w->latitude == g.SpeedLetGoLatitude && w->longitude == g.SpeedLetGoLongitude) return HUGE_VAL;
  if (!vnav_internal::Reached(passed)) return w->speed_constraint;
  g.SpeedLetGoLatitude = w->latitude;
  g.SpeedLetGoLongitude = w->longitude;
  return HUGE_VAL;
}

double AltitudeRestrictionSpeedLimit(PerformanceSegment phase, double altitude) {
  const model::State& m = model::model_state;
  const bool climb = m.ClbSpdRest > 0.0 && altitude < m.ClbAltRest;
  // Level at the descent restriction's altitude itself counts as below it:
  // the descent from there goes below it at once (cruised at 300 kt at
  // 10,000 ft, it went down through it at 299 kt; its TOD asked for 280).
  const bool descent = m.DescSpdRest > 0.0 && altitude < m.DescAltRest;
  const bool at_descent = m.DescSpdRest > 0.0 && altitude < m.DescAltRest + kLevelAtAltitude;
  // Just above the descent's altitude, on a route with a level, where the
  // descent is about to begin: climbing, to a level there too or with VNAV
  // flying down already (a climb to a higher level goes on up past a top
  // of descent the plan placed short of its top of climb, and descends only
  // where it meets the path).
  const double band_top = m.DescAltRest + kSlowingBand;
  const std::int32_t level = PlannedCruiseAltitude();
  const bool slowing = m.DescSpdRest > 0.0 && altitude < band_top && level > 0;
  if (phase == PerformanceSegment::kClimb) {
    const double own = climb ? m.ClbSpdRest : HUGE_VAL;
    const bool turns_down = ClimbTurnsIntoTheDescent();
    const bool turns = (descent && turns_down) || (slowing && (level < band_top || turns_down) && TopOfDescentNear());
    return turns ? std::min(own, m.DescSpdRest) : own;
  }
  if (phase == PerformanceSegment::kDescent) return at_descent ? m.DescSpdRest : HUGE_VAL;
  // Level below both, the slower: the descent from there begins at its own
  // restriction's speed. At the faster, a short flight levelled at 9,000 ft
  // went down at 250 kt with 240/10000 on the DES page while it slowed.
  const bool descent_speed = at_descent || (slowing && TopOfDescentNear());
  if (climb && descent_speed) return std::min(m.ClbSpdRest, m.DescSpdRest);
  return climb ? m.ClbSpdRest : descent_speed ? m.DescSpdRest : HUGE_VAL;
}

}  // namespace

double RestrictionSpeedLimit(PerformanceSegment phase, double altitude) {
  return std::min(AltitudeRestrictionSpeedLimit(phase, altitude), SpeedUntilAbeamOfThePassedWaypoint());
}

bool MachBeyondRestriction(PerformanceSegment phase, double mach, double altitude) {
  const double limit = RestrictionSpeedLimit(phase, altitude);
  return std::isfinite(limit) && mach > model::IasToMach(limit, altitude);
}

double TasNoFasterThan(double ias, double altitude, double limit) {
  const double tas = model::IasToTas(ias, altitude), mach = model::IasToMach(ias, altitude);
  return std::isfinite(limit) && limit > 0.0 && mach > limit ? tas * limit / mach : tas;
}

double PhaseMachAt(PerformanceSegment phase, double ias, double mach, double level) {
  return mach > 0.0 ? mach : MachInsteadOf(phase, ias, level);
}

double MachInsteadOf(PerformanceSegment phase, double ias, double altitude) {
  const double limit = ExactMachLimit(phase, altitude);
  if (!std::isfinite(limit)) return 0.0;
  // By more than a rounding: a table written at the airspeed (the
  // B737-800's climb is 280 kt up to 30000 ft, within half a knot, linear
  // between its rows) is not left for a fraction of a knot.
  return model::IasToMach(ias, altitude) > limit + kCrossoverMargin ? MachLimit(phase, altitude) : 0.0;
}

namespace {

// Degrees between the heading asked of the autopilot and the aircraft's
// beyond which a turn is being flown, and within which it has ended:
// LNAV's steering along a leg moves the heading by a few degrees, and a
// turn ended at the larger figure would begin again at the next touch.
constexpr double kTurnBegins = 10.0;
constexpr double kTurnEnded = 3.0;
// Ticks (18 a second) before a waypoint's turn within which a faster
// speed sent is held at the turn's: the acceleration has barely begun, and
// the lead was worked out at the speed before it. One sent earlier is
// flown on, and so is one before a turn no waypoint led (LNAV engaged
// after take-off): held, the acceleration after take-off stopped at 160 or
// 200 kt in a departure's first turn and the climb crossed its waypoints
// 500 ft above the plan.
constexpr double kSentJustBefore = 10.0 * 18.0;

}  // namespace

void FollowTurnsForSpeed() {
  State& g = guidance_state;
  const bool steered = g.LnavEngaged == 1 && g.ApHeadingLock == 1 && !HoldBeingFlown() && g.VnavEngaged == 1 &&
                       model::model_state.VnavSetSpd == 1 && flightplan::flightplan_state.RouteState >= 3;
  const double gap = std::fabs(std::remainder(g.ApHeadingLockDir - g.AircraftHeading, 360.0));
  if (!steered || !std::isfinite(gap) || (g.TurnLedAirspeed > 0.0 && gap <= kTurnEnded)) {
    g.TurnLedAirspeed = g.TurnLedMach = g.TurnLedAltitude = 0.0;
    return;
  }
  if (g.TurnLedAirspeed > 0.0 || !(gap > kTurnBegins) || !(g.SmoothedAirspeed > 0.0)) return;
  g.TurnLedAirspeed = g.SmoothedAirspeed;
  g.TurnLedAltitude = g.AircraftAltitude;
  // The aircraft's own: the module's Mach of its airspeed is not the one
  // every aircraft flies (some 0.03 under the stand-in's near FL310).
  g.TurnLedMach = g.MachNumber > 0.0 ? g.MachNumber : model::IasToMach(g.SmoothedAirspeed, g.AircraftAltitude);
  // A faster speed sent just before the turn (the cruise Mach at the top
  // of climb, three seconds before the waypoint) is sent again, and so
  // held at the turn's. Only LNAV passing a waypoint leads a turn: one
  // after an EXEC that made another waypoint active (the route's first, or
  // the last where the waypoint flown to was removed) is one no waypoint
  // led, and the plan's speed sent with the EXEC is flown on. Taken for a
  // waypoint's, it was forgotten, and the autopilot was sent the aircraft's
  // own airspeed as the aircraft turned to join the route.
  auto just_before = [&](double tick) { return g.LastTick - tick < kSentJustBefore && g.LastTick >= tick; };
  if (!just_before(g.SpeedSentTick) || !just_before(g.WaypointPassedTick)) return;
  if (g.SentAirspeed != kNoCommand && g.SentAirspeed > TurnSpeedLimit()) g.SentAirspeed = kNoCommand;
  if (g.SentMach != kNoCommand && g.SentMach > MachHundredths(TurnMachLimit())) g.SentMach = kNoCommand;
}

double TurnSpeedLimit() {
  const State& g = guidance_state;
  return g.TurnLedAirspeed > 0.0 && g.VnavEngaged == 1 ? std::round(g.TurnLedAirspeed) : HUGE_VAL;
}

double TurnMachLimit() {
  const State& g = guidance_state;
  if (!(g.TurnLedMach > 0.0) || g.VnavEngaged != 1) return HUGE_VAL;
  // Climbing, the Mach of the turn's airspeed grows with the altitude, as
  // it does in airspeed hold: the Mach climb goes on with it, no faster
  // than the turn began. Held at the turn's first Mach, a B747-400's climb
  // lost 16 kt of airspeed through a turn of 100 s, while the pages count
  // the climb at the tables' Mach there, and levelled off short of their
  // top of climb.
  double grown = 1.0;
  if (g.AircraftAltitude > g.TurnLedAltitude) {
    const double led = model::IasToMach(g.TurnLedAirspeed, g.TurnLedAltitude);
    const double now = model::IasToMach(g.TurnLedAirspeed, g.AircraftAltitude);
    if (led > 0.0 && now > led && std::isfinite(now)) grown = now / led;
  }
  return std::round(g.TurnLedMach * grown * 100.0) / 100.0;
}

void KeepSpeedModeForPhase() {
  State& g = guidance_state;
  if (g.VnavEngaged != 1 || model::model_state.VnavSetSpd != 1 || flightplan::flightplan_state.RouteState < 3) return;
  // The top of climb's and the top of descent's own commands go first.
  if (g.PendingMachCommandCount > 0 || g.PendingDescentSpeedCommand == 1) return;
  const PerformanceSegment phase = SpeedPhase();
  const double altitude = g.AircraftAltitude;
  const int crossed = static_cast<int>(phase) + 1;
  // Below a restriction's altitude its speed, as an airspeed, is the most
  // any phase flies.
  const double limit = RestrictionSpeedLimit(phase, altitude);
  double mach = 0.0;  // the Mach to hold; 0: the airspeed
  double knots = std::min(g.VnavWantedSpeed, limit);
  if (g.VnavWantedMach > 0.0) {
    mach = g.VnavWantedMach;
    if (MachBeyondRestriction(phase, mach, altitude)) mach = 0.0, knots = limit;
  } else if (g.VnavWantedSpeed > 0.0) {
    mach = MachInsteadOf(phase, knots, altitude);
    if (mach == 0.0 && g.SpeedModeCrossed == crossed &&
        model::IasToMach(knots, altitude) > ExactMachLimit(phase, altitude))
      mach = MachLimit(phase, altitude);
  } else {
    return;
  }
  g.SpeedModeCrossed = mach > 0.0 && g.VnavWantedMach == 0.0 ? crossed : 0;
  if ((mach > 0.0) != (g.ApMachHold > 0.0)) {
    if (mach > 0.0) {
      EngageMachHold();
    } else {
      EngageAirspeedHold();
    }
    // An autopilot takes the hold's value from the aircraft as it engages.
    g.SpeedModeValueOwed = 1;
    return;
  }
  // The senders send only a change: the Mach held as it moves to another
  // hundredth, the airspeed as a restriction caps it or lets it go; and the
  // value again after a hold engaged where the autopilot took another.
  if (g.SpeedModeValueOwed == 1) ForgetSentSpeedsNotHeld();
  if (mach > 0.0) {
    SendMachCommand(mach);
  } else {
    SendAirspeedCommand(knots);
  }
  g.SpeedModeValueOwed = 0;
}

}  // namespace ovi::guidance
