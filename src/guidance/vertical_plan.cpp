#include "src/guidance/vertical_plan.h"

#include <algorithm>
#include <cmath>

#include "src/flightplan/state.h"
#include "src/guidance/climb_model.h"
#include "src/guidance/flown_path.h"
#include "src/guidance/holding.h"
#include "src/guidance/state.h"
#include "src/guidance/vertical_plan_internal.h"
#include "src/host/sim_vars.h"
#include "src/instruments/fms/state.h"
#include "src/model/state.h"
#include "src/navdb/navdb.h"

namespace ovi::guidance {

double Ratio(double a, double b) {
  if (b == 0.0) return 0.0;
  const double q = a / b;
  return std::isfinite(q) ? q : 0.0;
}

double FlownLeg(const FlownPath& path, int i) { return path.EntryOrBefore(i) - path.EntryOrBefore(i - 1); }

namespace {

using model::FlightPlanWaypoint;

model::State& M() { return model::model_state; }
State& G() { return guidance_state; }
flightplan::State& Fp() { return flightplan::flightplan_state; }

int LastIndex() { return std::min(Fp().ActiveFlightPlanLastIndex, model::kMaxActivePlanWaypoints); }

// The entry of ActiveFlightPlan at i; entries outside 0..last are not part
// of the route, so callers must have checked i.
FlightPlanWaypoint& E(int i) { return Fp().ActiveFlightPlan[i]; }

void Measure(double lat1, double lon1, double lat2, double lon2, double& distance, double& course) {
  navdb::ComputeDistanceAndBearing(lat1, lon1, lat2, lon2, distance, course);
}

double Distance(double lat1, double lon1, double lat2, double lon2) {
  double d = 0.0, c = 0.0;
  Measure(lat1, lon1, lat2, lon2, d, c);
  return d;
}

// Flown from the TOD to entry `from`, the TOD found walking back from it.
double WalkBackToTod(int from) {
  const FlownPath& path = FlownPath::Current();
  return std::max(0.0, path.EntryOrBefore(from) - path.CoordinateFromPosition(from, G().TodLatitude, G().TodLongitude));
}

// NM from the TOD to where the path down to a hold's level ends, for a
// fix `fix_span` NM beyond the TOD: HoldLevelOffMiles short of it, where
// there is room for that.
double HoldLevelSpan(double fix_span) {
  const double level = fix_span - HoldLevelOffMiles();
  return level > 0.0 ? level : fix_span;
}

// A hold ahead in the descent, short of the constraint, is flown at its
// fix's planned altitude: the path reaches that altitude at the fix, as
// the pages show it, where the straight path to the constraint (falling
// `straight` feet a NM) would pass the fix above it. The corner after the
// fix is worked out again as the aircraft flies (in the wind it meets, at
// its own speed near it), and the path after the fix grew by 2 to 4.5 NM
// after the plan: the straight path then passed the fix 450-900 ft above
// the altitude the hold is flown at and RTE LEGS showed. Where that path
// passes below it (the path after the fix grew shorter) it stays: the
// aircraft is at the hold's level early, and the racetrack is not entered
// above it. The path levels at the fix's altitude HoldLevelOffMiles short
// of the fix, where the straight one is measured too. The NM from the TOD
// to the fix and to where the path levels, and the fix's altitude; false
// where no such hold lies ahead of the aircraft.
bool HoldFixOnThePath(double straight, double& fix_span, double& level_span, double& fix_altitude) {
  const State& g = G();
  const flightplan::State& fp = Fp();
  const int last = LastIndex(), fix = fp.HoldCount > 0 ? fp.HoldTable[1].active_index : 0;
  const int constraint = ClampedConstraintIndex(last);
  if (g.TodPassed != 1 || fix <= 0 || fix < fp.ActiveWaypointIndex || fix >= constraint) return false;
  const FlownPath& path = FlownPath::Current();
  fix_altitude = PlannedAltitude(E(fix));
  fix_span = g.DistanceTodToConstraint - (path.EntryOrBefore(constraint) - path.Entry(fix));
  level_span = HoldLevelSpan(fix_span);
  return fix_altitude > DescentPathBottom() && fix_altitude < g.TodAltitude - straight * level_span &&
         fix_span > 0.0 && g.DescentPathAltitudeSpan <= fix_span;
}

// Ft/min a second an autopilot builds a new vertical speed up at, from
// level flight.
constexpr double kStepBuildUp = 400.0;

// Feet from a hold's level the descent's level-off before its fix is
// counted to: counted to the climb's 150 ft, the aircraft, a few seconds
// behind its path from the top, still crossed the fix 170-200 ft high.
constexpr double kHoldLevelOffWithin = 100.0;

// Feet to go where the autopilot's capture begins easing a step at `rate`.
double StepCaptureFeet(double rate) { return rate / 60.0 * ClimbModel::kCaptureSeconds; }

// Minutes a step down of `feet` takes to come within the capture's 150 ft
// of its bottom where the whole step lies inside the autopilot's capture
// (the rate eased from the step's start, never reaching the plan's); 0
// for a longer step, which the plan's rate times. Placed as if the whole
// step went at that rate, a 500-ft step's top came 13 s before its
// constraint at 2,200 ft/min, and the aircraft crossed it 310 ft high.
double ShortStepMinutes(double feet) {
  return feet > StepCaptureFeet(StepRate()) ? 0.0 : StepDownSeconds(feet) / 60.0;
}

// Whether the path from `from` to `to` lies within one turn of the route
// that begins after `after` (the waypoint before): the turn LNAV begins as
// it sequences the waypoint at `to`. One run on from the waypoint before,
// no leg between (the turn there flown straight into the next), says
// nothing of where the next is sequenced: a top in it stood before that.
bool InItsOwnCorner(const FlownPath& path, double after, double from, double to) {
  constexpr double kStep = 0.1;  // NM; a leg between two corners is longer
  double east = 0.0, north = 0.0;
  bool leg = false;
  for (double at = after; at < from && !leg; at += kStep) leg = !path.CornerWay(at, east, north);
  for (double at = from; leg && at < to; at += kStep)
    if (!path.CornerWay(at, east, north)) return false;
  return leg && path.CornerWay(to, east, north);
}

}  // namespace

double StepRate() {
  const model::State& m = M();
  return std::min(std::max(m.PlanDescentRate, 100.0), std::max(m.MaxVnavDescRate, 100.0));
}

double StepDownSeconds(double feet) {
  const double rate = StepRate(), eased = StepCaptureFeet(rate);
  if (!(feet > kTopOfClimbCapture)) return 0.0;
  if (feet <= eased) return ClimbModel::kCaptureSeconds * std::log(feet / kTopOfClimbCapture);
  // Built up from level at kStepBuildUp, the rate is reached half its
  // build-up's time late; eased from `eased` feet to go, the capture takes
  // kCaptureSeconds times the logarithm of that over the 150 ft, where the
  // rate would have taken kCaptureSeconds.
  return feet / rate * 60.0 + rate / kStepBuildUp / 2.0 +
         ClimbModel::kCaptureSeconds * (std::log(eased / kTopOfClimbCapture) - 1.0);
}

double HoldLevelOffMiles() {
  const double rate = std::max(M().MaxVnavDescRate, 100.0), eased = StepCaptureFeet(rate);
  if (!(eased > kHoldLevelOffWithin)) return 0.0;
  const double seconds = ClimbModel::kCaptureSeconds * (std::log(eased / kHoldLevelOffWithin) - 1.0);
  return std::max(0.0, seconds * DescentFastestSpeed() / 3600.0);
}

double DescentPathGradient() {
  const State& g = G();
  if (!(g.DistanceTodToConstraint > 0.0)) return 0.0;
  const double straight = (g.TodAltitude - DescentPathBottom()) / g.DistanceTodToConstraint;
  double fix_span = 0.0, level_span = 0.0, fix_altitude = 0.0;
  if (!HoldFixOnThePath(straight, fix_span, level_span, fix_altitude)) return straight;
  // Level from where the path reaches the hold's altitude to the fix.
  return g.DescentPathAltitudeSpan < level_span ? (g.TodAltitude - fix_altitude) / level_span : 0.0;
}

double DescentPathAltitude() {
  const State& g = G();
  if (!(g.DistanceTodToConstraint > 0.0)) return DescentPathBottom();
  const double straight = (g.TodAltitude - DescentPathBottom()) / g.DistanceTodToConstraint;
  double fix_span = 0.0, level_span = 0.0, fix_altitude = 0.0;
  if (!HoldFixOnThePath(straight, fix_span, level_span, fix_altitude))
    return g.TodAltitude - straight * g.DescentPathAltitudeSpan;
  return g.TodAltitude - (g.TodAltitude - fix_altitude) * std::min(g.DescentPathAltitudeSpan, level_span) / level_span;
}

double DescentPathAltitudeAt(const FlownPath& path, int target, double top, double at) {
  const State& g = G();
  const int last = LastIndex();
  if (target < 0 || target > last || !std::isfinite(at)) return NAN;
  const double bottom = PlannedAltitude(E(target));
  const double tod_at = path.CoordinateFromPosition(target, g.TodLatitude, g.TodLongitude);
  const double span = path.EntryOrBefore(target) - tod_at;
  if (!(span > 0.0) || !(top > bottom)) return NAN;
  const double straight = (top - bottom) / span;
  const double flown = std::clamp(at - tod_at, 0.0, span);
  // A hold's fix on the way, planned below the straight path, is reached at
  // its planned altitude, as VNAV flies it once the descent has begun
  // (HoldFixOnThePath): the racetrack is flown at that level.
  const flightplan::State& fp = Fp();
  const int fix = fp.HoldCount > 0 ? fp.HoldTable[1].active_index : 0;
  if (fix > 0 && fix >= fp.ActiveWaypointIndex && fix < target) {
    const double fix_span = path.Entry(fix) - tod_at, fix_altitude = PlannedAltitude(E(fix));
    const double level_span = HoldLevelSpan(fix_span);
    if (fix_span > 0.0 && fix_span < span && fix_altitude > bottom && fix_altitude < top - straight * level_span) {
      if (flown <= level_span) return top - (top - fix_altitude) * flown / level_span;
      if (flown <= fix_span) return fix_altitude;
      return fix_altitude - (fix_altitude - bottom) * (flown - fix_span) / (span - fix_span);
    }
  }
  return top - straight * flown;
}

int ClampedConstraintIndex(int last) { return std::clamp(G().NextConstraintIndex, 0, std::max(last, 0)); }

bool PlaceOnRoute(double flown, double& lat, double& lon, int& leg_start) {
  return FlownPath::Current().PositionFromCoordinate(flown, lat, lon, leg_start);
}

bool RouteMovedSincePlan() {
  const std::uint64_t planned = G().PlannedRouteEdits;
  return Fp().RouteState >= 3 && planned != 0 && Fp().ActiveRouteEdits != planned;
}

void TargetEntry(const model::FlightPlanWaypoint& w) {
  State& g = G();
  g.NextConstraintAltitude = PlannedAltitude(w);
  // Climbing, a constraint above the plan's level is met at the level: the
  // pages cap it there, and VNAV, flying to a pilot's 29,700A over a route
  // too short for more than 28,000 ft, climbed past that level to 29,120.
  if (const std::int32_t level = PlannedCruiseAltitude(); g.TocPassed == 0 && level > 1000)
    g.NextConstraintAltitude = std::min(g.NextConstraintAltitude, static_cast<double>(level));
  g.NextConstraintLat = w.latitude;
  g.NextConstraintLon = w.longitude;
}

double PlannedAltitude(const model::FlightPlanWaypoint& wp) {
  return wp.altitude_constraint == model::kNoValue ? 0.0 : wp.altitude_constraint;
}

namespace {

// A change of the wind (knots, as a vector) that places the TOC again: the
// climb is worked out in the wind the aircraft meets, and a TOC placed on
// the ground in the surface wind stood until the first waypoint, up to
// 20 NM from where the aircraft climbing into 100 kt of wind levelled off,
// VNAV's rate at its limit all the way.
constexpr double kTocWindChange = 5.0;
// NM the path's corners, flown again, may move the TOC before it is
// placed again.
constexpr double kTocMovedByCorners = 1.0;
// NM they may move the way from the TOD to its end before the TOD is placed
// again. Every move of a mile or more placed it again as the corners
// followed the speeds of each new plan, and the predictions and corner
// speeds moved with it: of 270 flights never broken, 3 broke (a PROGRESS
// distance 6 % short, a hold's racetrack and a climb waypoint 1,400 ft
// off), and none at 5 NM, while a corner reversed in a new wind moves it
// by tens of miles.
constexpr double kTodMovedByCorners = 5.0;

// Where a climb from the aircraft, begun `late` NM on, that ends `toc` NM
// along the path meets the descent path first (the TOD placed before it):
// NM along the path, and the altitude there; NAN where it does not. The
// descent path is the one VNAV turns down at (ClimbMeetsDescentPath):
// straight from the TOD at the level to the constraint ahead. A climb held
// level at the altitude of `held`, a constraint of the climb (0: none),
// until its waypoint goes on above it from there, no sooner; the descent
// then runs to the first constraint after it, the one VNAV flies to once
// it is passed (VNAV's target until then is the held one, behind the TOD).
double ClimbMeetsDescentAt(const ClimbModel& climb, double level, double toc, double late, double& altitude,
                           int held = 0) {
  const State& g = G();
  const int last = LastIndex();
  const FlownPath& path = FlownPath::Current();
  const double here = path.Aircraft();
  if (g.TodPassed != 0 || !(g.TodAltitude > 0.0) || last < 1 || !std::isfinite(here)) return NAN;
  const double tod_at = path.CoordinateFromPosition(last, g.TodLatitude, g.TodLongitude);
  int end = ClampedConstraintIndex(last);
  if (held > 0) {
    end = held + 1;
    while (end < last && !model::IsConstraint(E(end))) ++end;
  }
  const double cap = held > 0 ? PlannedAltitude(E(held)) : NAN, cap_at = held > 0 ? path.EntryOrBefore(held) : NAN;
  const double bottom_at = path.EntryOrBefore(end), bottom = PlannedAltitude(E(end));
  if (!(tod_at < toc) || !(bottom_at > tod_at) || !(bottom < level)) return NAN;
  auto descent = [&](double at) {
    return level - (level - bottom) * std::clamp((at - tod_at) / (bottom_at - tod_at), 0.0, 1.0);
  };
  // Where the climb passes an altitude, along the legs it flies, each in
  // its own wind, as the TOC at the level is placed: worked out on the
  // aircraft's track alone, a climb with 120 kt behind that turned 92
  // degrees before the descent met it 9 NM beyond where the legs put it,
  // and VNAV, pacing its climb to that point, climbed at 1,800 ft/min
  // where the pages showed the waypoints at its 2,000.
  auto reached = [&](double a) {
    const double straight = here + late + climb.Distance(g.AircraftAltitude, a, late, false);
    if (!(a > cap) || !(cap_at > here)) return straight;
    return std::max(straight, cap_at + climb.Distance(cap, a, cap_at - here, false));
  };
  double lo = g.AircraftAltitude, hi = level;
  // Level before the TOD, or past the path already: VNAV's own turn down.
  if (!(lo < hi) || !(reached(hi) > tod_at) || !(descent(reached(lo)) > lo)) return NAN;
  for (int i = 0; i < 24 && hi - lo > 1.0; ++i) {
    const double mid = 0.5 * (lo + hi);
    (descent(reached(mid)) > mid ? lo : hi) = mid;
  }
  const double at = std::min(reached(hi), toc);
  altitude = descent(at);
  return at;
}

}  // namespace

double ClimbTopAltitude() {
  const State& g = G();
  const double level = PlannedCruiseAltitude();
  return g.TocMeetingAltitude > 0.0 && g.TocMeetingAltitude < level && g.TocMeetingLatitude == g.TocLatitude &&
                 g.TocMeetingLongitude == g.TocLongitude
             ? g.TocMeetingAltitude
             : level;
}

namespace {

// Degrees between the aircraft's track and its way to the active waypoint
// beyond which it is taken to be turning onto that way.
constexpr double kTurningOntoItsWay = 5.0;

// Whether the aircraft, in the air, is still turning onto its way to the
// active waypoint (after a direct-to, or through a corner of the route).
bool TurningOntoItsWay() {
  const State& g = G();
  if (!(g.GroundSpeedKnots > 100.0) || !std::isfinite(g.GroundTrack) || !std::isfinite(g.BearingToActiveWaypoint))
    return false;
  const double off = std::fabs(std::remainder(g.GroundTrack - g.BearingToActiveWaypoint, 360.0));
  return off > kTurningOntoItsWay;
}

// A constraint at or above the level short of the top of climb `toc` (the
// first constraint ahead, none under the level before it: that one the
// climb levels at first) is VNAV's target, met at the level (TargetEntry),
// and VNAV climbs faster than the plan's rate to be there at the level:
// the top then lies at its waypoint, or where VNAV's greatest rate reaches
// the level, beyond it, and `toc` is moved back to it. The constraint's
// index, or 0 where none holds the climb. Counted at the plan's rate, a
// T/C beyond a pilot's 29,700A over a route with room for 28,000 ft read
// 13.0 NM where the aircraft reached the level at the waypoint 9.6 on.
int LevelMetAtConstraint(double late, double level, double& toc) {
  const State& g = G();
  const FlownPath& path = FlownPath::Current();
  const double here = path.Aircraft();
  const int last = LastIndex();
  for (int i = std::max(Fp().ActiveWaypointIndex, 1); i <= last - 1; ++i) {
    const double at = path.Entry(i);
    if (!std::isfinite(at) || !(at > here)) continue;
    if (!(at < toc)) return 0;
    const FlightPlanWaypoint& w = E(i);
    if (!model::IsConstraint(w)) continue;
    if (PlannedAltitude(w) < level) return 0;
    const ClimbModel fastest(ClimbRateFlown(M().MaxVnavClimbRate));
    toc = std::min(toc, std::max(at, here + late + fastest.Distance(g.AircraftAltitude, level, late)));
    return i;
  }
  return 0;
}

// The TOC `level` is reached at, ahead of the aircraft along the path by
// the climb VNAV flies, no farther than the entry before the last: the
// index of the waypoint after it (its leg's end), or 0 where none fits.
// A climb that reaches the level only past the TOD (a short route, the
// climb placed again from the aircraft) ends where it meets the descent
// path: placed at the level, the T/C counted down to a point the aircraft
// never reached, and VNAV eased toward it and was turned down short of it.
int PlaceTopOfClimbAhead(double level, bool set_index) {
  State& g = G();
  const int last = LastIndex();
  const int active = Fp().ActiveWaypointIndex;
  const ClimbModel climb(ClimbRateFlown());
  // VNAV engaged low and slow holds the aircraft level until it is fast
  // enough, and builds its rate up a second at a time: the climb starts
  // that much later. Without it the T/C read at VNAV on stood 1-2 NM short,
  // once the speed the aircraft gains as it climbs was counted.
  const double late = g.VnavEngaged == 1 && g.SmoothedAirspeed > 100.0 ? MilesLostAtVnavOn(ClimbRateFlown()) : 0.0;
  const double needed = late + climb.Distance(g.AircraftAltitude, level, late);
  const FlownPath& path = FlownPath::Current();
  double toc = path.Aircraft() + needed, meeting = 0.0;
  double met = ClimbMeetsDescentAt(climb, level, toc, late, meeting);
  if (std::isfinite(met)) toc = met;
  // At the level there, short of where the plan's climb met the descent.
  const int capped = LevelMetAtConstraint(late, level, toc);
  if (capped != 0 && toc < met) met = NAN;
  int leg_start = 0;
  double lat = 0.0, lon = 0.0;
  if (!(toc <= path.EntryOrBefore(std::max(active, last - 1))) || !PlaceOnRoute(toc, lat, lon, leg_start)) return 0;
  int end = leg_start + 1;
  while (end < last && !std::isfinite(path.Entry(end))) ++end;
  end = std::max({end, active, capped + 1});
  g.TocLatitude = g.NextConstraintLat = lat;
  g.TocLongitude = g.NextConstraintLon = lon;
  g.TocMeetingAltitude = std::isfinite(met) ? meeting : 0.0;
  g.TocMeetingLatitude = lat;
  g.TocMeetingLongitude = lon;
  if (set_index) g.TocWaypointIndex = end - 1;
  g.TocWindKnown = climb.Sliced() ? 1 : 0;
  g.TocCornersReflown = path.CornersReflown();
  g.TocPlacedAt = toc;
  ClimbWind(g.TocWindNorth, g.TocWindEast);
  return end;
}

// A constraint below the level that the climb flies to holds the aircraft
// level at its altitude until its waypoint, and the climb to the level goes
// on from there: the TOC lies the climb from that altitude beyond the
// waypoint, or the climb from the aircraft ahead where it cannot reach the
// constraint's altitude before. Placed on the constraint's waypoint, or
// where a climb without it ended, the TOC stood up to 60 NM short of where
// the aircraft reached the level. A short route's climb beyond it ends
// where it meets the descent path, as one from the aircraft does
// (PlaceTopOfClimbAhead).
void PlaceTopOfClimbBeyond(int constraint, double level) {
  State& g = G();
  const double cap = PlannedAltitude(E(constraint));
  const FlownPath& path = FlownPath::Current();
  const double at = path.EntryOrBefore(constraint), here = path.Aircraft();
  if (!(cap < level) || !std::isfinite(at) || !std::isfinite(here) || !(at > here)) return;
  // An aircraft above the constraint (typed below it in the climb) is
  // taken down to it and climbs on from its altitude: from its own, the
  // TOC stood 3-7 NM short of where it reached the level.
  const ClimbModel climb(ClimbRateFlown());
  double toc = std::max(here + climb.Distance(g.AircraftAltitude, level),
                        at + climb.Distance(cap, level, at - here));
  double meeting = 0.0;
  const double met = ClimbMeetsDescentAt(climb, level, toc, 0.0, meeting, constraint);
  if (std::isfinite(met)) toc = met;
  const int last = LastIndex();
  int leg_start = 0;
  double lat = 0.0, lon = 0.0;
  if (!(toc <= path.EntryOrBefore(last - 1)) || !PlaceOnRoute(toc, lat, lon, leg_start)) return;
  g.TocLatitude = lat;
  g.TocLongitude = lon;
  g.TocMeetingAltitude = std::isfinite(met) ? meeting : 0.0;
  g.TocMeetingLatitude = lat;
  g.TocMeetingLongitude = lon;
  ClimbWind(g.TocWindNorth, g.TocWindEast);
}

// A TOC placed beyond the constraint VNAV climbs to first (VNAV's target),
// for a new wind, from that constraint as before: left where it was placed
// in the near-calm air at the gate, it stood 2.8 NM beyond the top flown
// into 112 kt until the constraint's waypoint was passed, four minutes on.
void KeepTopOfClimbBeyondInTheWind(double level) {
  const State& g = G();
  const int target = g.NextConstraintIndex;
  if (target < Fp().ActiveWaypointIndex - 1 || target > LastIndex() - 1 || !model::IsConstraint(E(target))) return;
  const FlightPlanWaypoint& w = E(target);
  if (g.NextConstraintLat != w.latitude || g.NextConstraintLon != w.longitude || !(g.NextConstraintAltitude < level) ||
      (g.TocLatitude == w.latitude && g.TocLongitude == w.longitude))
    return;
  double north = 0.0, east = 0.0;
  ClimbWind(north, east);
  if (std::hypot(north - g.TocWindNorth, east - g.TocWindEast) >= kTocWindChange) PlaceTopOfClimbBeyond(target, level);
}

}  // namespace

std::int32_t ComputeTopOfClimb(std::int32_t offset) {
  State& g = G();
  const int last = LastIndex();
  const int active = Fp().ActiveWaypointIndex;
  if (active < 0 || active > last) return 0;

  const double level = PlannedCruiseAltitude();
  const int start = active + offset;
  double walked = 0.0;  // whole NM
  const FlownPath& flown = FlownPath::Current();
  for (int i = 1; i <= std::min(start - 1, last); ++i) walked = std::trunc(walked + FlownLeg(flown, i));
  int found = 0;
  // The walk stops at the top of descent too, whatever the predictions say:
  // until they are worked out again after a level entered in the climb they
  // know no end of the climb, and the walk ran on into the approach's
  // constraints, one of which became the climb's target (a descent to
  // 5,000 ft from FL220).
  const double tod = level > 0.0 ? PlacedTopOfDescent(flown, last) : NAN;
  for (int i = std::max(start, 1); i <= last - 1; ++i) {
    walked = std::trunc(walked + FlownLeg(flown, i));
    const FlightPlanWaypoint& w = E(i);
    // The climb's constraints end where the predictions reach the level,
    // which may lie between two waypoints.
    if (PlannedAltitude(w) >= level || (g.ClimbEndIndex > 0 && i >= g.ClimbEndIndex)) break;
    if (std::isfinite(tod) && flown.EntryOrBefore(i) >= tod) break;
    if (!model::IsConstraint(w)) continue;
    if (walked < g.ClimbDistance) {
      g.TocLatitude = w.latitude;
      g.TocLongitude = w.longitude;
    }
    g.NextConstraintLat = w.latitude;
    g.NextConstraintLon = w.longitude;
    g.NextConstraintAltitude = PlannedAltitude(w);
    g.TocWaypointIndex = i;
    found = i;
  }
  if (found != 0) {
    PlaceTopOfClimbBeyond(found, level);
    return found;
  }
  return PlaceTopOfClimbAhead(level, offset == 0);
}

double PlacedTopOfDescent(const FlownPath& path, int last) {
  const State& g = G();
  return g.TodAltitude > 0.0 ? path.CoordinateFromPosition(last, g.TodLatitude, g.TodLongitude) : NAN;
}

void KeepTopOfClimbBeyond(int constraint) {
  const State& g = G();
  const int last = LastIndex();
  if (g.TocPassed != 0 || constraint < 1 || constraint > last - 1 || !model::IsConstraint(E(constraint))) return;
  const FlightPlanWaypoint& w = E(constraint);
  const double level = PlannedCruiseAltitude();
  if (!(PlannedAltitude(w) < level) || (g.TocLatitude == w.latitude && g.TocLongitude == w.longitude)) return;
  // Only the TOC beyond this constraint: one beyond a later constraint of
  // the climb is that constraint's.
  const FlownPath& path = FlownPath::Current();
  const double toc_at = path.CoordinateFromPosition(last, g.TocLatitude, g.TocLongitude);
  if (!(toc_at > path.EntryOrBefore(constraint))) return;
  for (int i = constraint + 1; i <= last - 1 && path.EntryOrBefore(i) < toc_at; ++i)
    if (model::IsConstraint(E(i)) && PlannedAltitude(E(i)) < level) return;
  PlaceTopOfClimbBeyond(constraint, level);
}

void KeepTopOfClimbInTheWind() {
  State& g = G();
  const bool joining = g.TocJoining == 1;
  if (joining && !TurningOntoItsWay()) g.TocJoining = 0;
  const int active = Fp().ActiveWaypointIndex;
  // Only a TOC the climb flies to: one on a constraint, or beyond one still
  // ahead, is placed again as the waypoints are passed (one beyond it from
  // that constraint for a new wind). A TOC left on the constraint's own
  // waypoint (no room for the climb beyond it before the last leg) is where
  // VNAV flies too, but to the constraint's altitude: placed again, it took
  // the constraint's target with it, and the aircraft climbed through the
  // constraint to the level.
  const double level = PlannedCruiseAltitude();
  if (g.TocPassed != 0 || active < 0 || active > LastIndex() || !ClimbModel::SlicedAt(ClimbRateFlown())) return;
  if (g.NextConstraintLat != g.TocLatitude || g.NextConstraintLon != g.TocLongitude ||
      g.NextConstraintAltitude < level) {
    KeepTopOfClimbBeyondInTheWind(level);
    return;
  }
  double north = 0.0, east = 0.0;
  ClimbWind(north, east);
  // Nor after a re-plan of the route in flight, while the aircraft turns
  // onto its way to the active waypoint, and once more as it is on it: the
  // TOC placed as a direct-to in the climb began (150 degrees to turn, at
  // 360 kt) stood where the aircraft would have been had it flown straight
  // at the waypoint, and the pages counted 12.4 NM to a top 8.6 NM on, the
  // turn and the rejoining of the course flown meanwhile. Through the
  // route's own corners the path's model of the turn counts the turn.
  // And when the corners ahead, flown again in other air, have moved the
  // path under the TOC by more than a mile: the TOC is kept as a point.
  // Placed past a 166-degree turn that the path then cut shorter, the point
  // read 17.8 NM beyond where the climb ended, on the leg back alongside
  // the first, and VNAV eased to its least rate. Placed again at every
  // such corner, though, the TOC moved by tenths of a mile each time and
  // VNAV aimed anew, so the top flown strayed from what the pages had read.
  const FlownPath& path = FlownPath::Current();
  if (g.TocCornersReflown != path.CornersReflown() &&
      std::fabs(path.CoordinateFromPosition(LastIndex(), g.TocLatitude, g.TocLongitude) - g.TocPlacedAt) <=
          kTocMovedByCorners)
    g.TocCornersReflown = path.CornersReflown();
  if (!joining && g.TocWindKnown == 1 && g.TocCornersReflown == path.CornersReflown() &&
      std::hypot(north - g.TocWindNorth, east - g.TocWindEast) < kTocWindChange)
    return;
  if (level > g.AircraftAltitude) PlaceTopOfClimbAhead(level, true);
}

void ComputeTopOfDescent(std::int32_t mode, std::int32_t from) {
  model::State& m = M();
  State& g = G();
  const int last = LastIndex();
  const int active = Fp().ActiveWaypointIndex;
  if (active < 0 || active > last) return;
  const int reference = from >= 0 && from <= active ? from : active;

  double top = 0.0;
  int search_from = active;
  if (mode == 1) {
    g.TodReferenceIndex = reference;
    top = std::trunc(PlannedAltitude(E(reference)));
    // A constraint at or above the plan's level leaves the level, and the
    // pilot's entry, as they are: written into CruiseAlt above a limit, the
    // descent would start from an altitude the plan never flies.
    const std::int32_t level = PlannedCruiseAltitude();
    if (level > 0 && top >= level) {
      top = level;
    } else {
      m.CruiseAlt = host::TruncateToInt32(top);
      // The level the aircraft now cruises at, where a higher one entered
      // later is a step climb from: left at the climb's, an aircraft that
      // had stepped down 500 ft to a /25300A cruised at no level, and FL278
      // entered there started no climb, the autopilot creeping up to it at
      // the 100 ft/min it last held while every page showed FL278 ahead.
      g.PreselectAltitude = top;
    }
    search_from = reference + 1;
    // Whether the descent has begun is the new top of descent's to say, once
    // it is placed below. The profile worked out here from the old one,
    // behind the aircraft, took it for passed: VNAV aimed at the next
    // constraint from the level it should have held to a top still ahead, and
    // crept down at its least rate below every altitude the pages showed.
    // A next constraint above this one is flown to as the phase stood
    // (every constraint is a crossing altitude, as the pages show it).
    int next = search_from;
    while (next < last && !model::IsConstraint(E(next))) ++next;
    if (!(next <= last && PlannedAltitude(E(next)) > top)) g.TodPassed = 0;
    std::int32_t& page = fms::fms_state.FmsPage;
    if (page == fms::kPageEconClimb || (g.VerticalProfileValid == 0 && page == fms::kPageEconDescent))
      page = fms::kPageEconCruise;
  } else if (g.TodPassed == 1 && StartDescentPathAtAircraft(true)) {
    // A descent re-planned (EXEC) goes on from where the aircraft is, at its
    // altitude. Walked back from the constraint at the plan's rate instead,
    // the top moved ahead of an aircraft a little below that line (the path
    // ran level and VNAV levelled off) or behind one above it.
    UpdateVerticalProfile();
    return;
  } else {
    // Cruising, the descent starts from the aircraft's level, or from a
    // lower level just entered that it is on its way down to: from the
    // level it left, the top of descent stood 20 NM early and VNAV took the
    // aircraft down below every altitude the pages showed.
    const double level = PlannedCruiseAltitude();
    top = g.TocPassed == 0 ? level : std::trunc(g.AircraftAltitude);
    if (g.TocPassed == 1 && level > 0.0 && level < top) top = level;
    PlanDescentSlope(level);
  }

  int bottom_index = last;
  double bottom = std::trunc(PlannedAltitude(E(last)));
  for (int i = last - 1; i >= search_from; --i) {
    if (PlannedAltitude(E(i)) >= top || i <= g.TocWaypointIndex) break;
    if (model::IsConstraint(E(i))) {
      bottom_index = i;
      bottom = std::trunc(PlannedAltitude(E(i)));
    }
  }
  double descent = std::max(Ratio(top - bottom, DescentSlope(m.PlanDescentRate)),
                            m.DescentTas / 60.0 * ShortStepMinutes(top - bottom));

  // Back along the path from the bottom, no farther than the start of the
  // active leg (of the leg into the reference waypoint, when the descent
  // is re-planned from one the aircraft has only now reached).
  const FlownPath& path = FlownPath::Current();
  const double bottom_at = path.EntryOrBefore(bottom_index);
  // A top inside the constraint's own corner, after the point where LNAV
  // sequences it, is a step down flown at the rate VNAV steps at (vnav.cpp),
  // from level flight and eased in by the autopilot's capture: it stands
  // where such a step, at the speed the slope is laid for, comes within
  // 150 ft of the constraint by it, no farther back than the leg into it.
  // Laid by the slope alone, 1,800 ft at 482 kt asked for 2,600 ft/min, the
  // step went at 2,300 and passed the constraint 345 ft high.
  const double leg_from = path.EntryOrBefore(bottom_index - 1);
  // The miles of a step VNAV flies down to the constraint.
  const auto step = [&] { return StepDownSeconds(top - bottom) * DescentFastestSpeed() / 3600.0; };
  if (descent < bottom_at - leg_from && InItsOwnCorner(path, leg_from, bottom_at - descent, bottom_at))
    descent = std::max(descent, std::min(bottom_at - leg_from, step()));
  // A constraint at the last waypoint but one hands VNAV off as LNAV passes
  // it, its switch distance (3 NM and more) before the aircraft is there:
  // the destination is made active, and VNAV goes off with LNAV. A top
  // past that point is never flown to: the aircraft crossed the waypoint at
  // the level, 500-700 ft above the constraint every page showed. The top
  // stands instead where the step VNAV flies (as inside the corner) comes
  // within 150 ft of the constraint by that point, the autopilot's capture
  // taking it the rest of the way; no farther back than the leg into it.
  g.StepBeforeHandOverIndex = 0;
  const double handed_over_at = path.Sequenced(bottom_index);
  if (bottom_index + 1 == last && bottom < top && m.VnavOffAtLastWpt == 1 && std::isfinite(handed_over_at) &&
      bottom_at - descent > handed_over_at) {
    descent = std::min(bottom_at - leg_from, bottom_at - handed_over_at + step());
    g.StepBeforeHandOverIndex = bottom_index;
  }
  // Re-planned from a constraint with the next constraint the very next
  // waypoint, the descent starts no earlier than the first, which the
  // aircraft is held to until abeam it: with the next one nearer than the
  // plan's rate reaches (KRATR2's BEAVR, 1,000 ft below LAVAA 1.5 NM round
  // a 170-degree turn), the top stood 1.2 NM before LAVAA, and the
  // aircraft, at LAVAA's altitude there, was 600 ft above its path at once
  // and crossed BEAVR 500-800 ft high. The path is the steeper one the
  // pages show, from the one to the other. With waypoints between, the
  // pages show them on the plan's rate back from the next constraint, and
  // the path keeps to that: straight from the first constraint instead, it
  // crossed SATSP 2,000 ft above the altitude shown after ELMAA's 22,500.
  const double reference_at = path.EntryOrBefore(reference);
  bool next_to_it = mode == 1 && std::isfinite(reference_at) && bottom_at > reference_at;
  for (int i = reference + 1; next_to_it && i < bottom_index; ++i) next_to_it = !std::isfinite(path.Entry(i));
  if (next_to_it) descent = std::min(descent, bottom_at - reference_at);
  // A hold's fix on the way down is reached level, HoldLevelOffMiles short
  // of it (DescentPathGradient): the top stands as much further back, and
  // by the miles the rate takes to build up from level at the top, so the
  // path down to there keeps the plan's slope. Left where it was, the path
  // ran steeper to the fix, and with a stronger wind behind than the slope
  // was laid for VNAV met it at its greatest rate from the top on, never
  // made good the build-up's 190 ft, and crossed TOLLE 330 ft high.
  const int fix = Fp().HoldCount > 0 ? Fp().HoldTable[1].active_index : 0;
  if (fix > 0 && fix >= active && fix < bottom_index && path.Entry(fix) > bottom_at - descent &&
      PlannedAltitude(E(fix)) > bottom && PlannedAltitude(E(fix)) < top) {
    const double built_up = std::max(m.MaxVnavDescRate, 100.0) / kStepBuildUp / 2.0;  // seconds
    descent += HoldLevelOffMiles() + built_up * DescentFastestSpeed() / 3600.0;
  }
  // After a direct-to in the cruise or the descent the aircraft flies
  // straight at the active waypoint from well before the start of its leg:
  // the descent may start anywhere on that way. Limited to the leg, a long
  // descent went back along the course off the path, and the TOD was
  // measured back onto it a hundred NM late. Still climbing, the aircraft
  // may yet turn onto that way, and a TOD placed on it now would stand off
  // the one it flies.
  double start = path.EntryOrBefore(std::max(reference, 1) - 1);
  const double here = path.Aircraft();
  if (reference == active && g.TocPassed == 1 && std::isfinite(here)) start = std::min(start, here);
  const double sum = bottom_at - start;
  int unused = 0;
  const bool on_path = descent <= sum && PlaceOnRoute(bottom_at - descent, g.TodLatitude, g.TodLongitude, unused);
  g.TodPlacedBottom = mode == 0 && on_path ? bottom_index : -1;
  g.TodPlacedSpan = descent;
  g.TodCornersReflown = path.CornersReflown();
  if (!on_path) {
    // Behind the active waypoint, back along the course the aircraft flies
    // to it, by what the descent needs more than the path from there (back
    // by what it needs more than the leg, the TOD stood a leg's length late).
    double back = g.BearingToActiveWaypoint + 180.0;
    if (back >= 360.0) back -= 360.0;
    navdb::ProjectPosition(E(active).latitude, E(active).longitude, back + g.MagneticVariation,
                           descent - (bottom_at - path.EntryOrBefore(active)), g.TodLatitude, g.TodLongitude);
  }
  g.TodAltitude = top;
  UpdateVerticalProfile();
}

void KeepTopOfDescentOnThePath() {
  State& g = G();
  const int bottom = g.TodPlacedBottom, last = LastIndex();
  if (bottom < 0 || bottom > last || g.TodPassed != 0 || HoldBeingFlown()) return;
  const FlownPath& path = FlownPath::Current();
  if (g.TodCornersReflown == path.CornersReflown()) return;
  // The TOD is kept as a point, and the descent from it runs straight to
  // its bottom along the path. Where a new wind flew the corners on the way
  // again the path under it moved: after 84 kt came from behind, the
  // 168-degree corner before the end cut 26 NM off the way from a TOD
  // placed before it came, the descent from it asked for 490 ft a mile where
  // the plan's slope gave 190, every page showed it, and VNAV, its rate at
  // its greatest, crossed the waypoint 2,000 ft above it. Placed again, it
  // stands the descent's own way back from its bottom; a smaller move
  // leaves it where it was, measured from where it was placed.
  const double span = path.EntryOrBefore(bottom) - path.CoordinateFromPosition(bottom, g.TodLatitude, g.TodLongitude);
  if (std::isfinite(span) && std::fabs(span - g.TodPlacedSpan) <= kTodMovedByCorners) {
    g.TodCornersReflown = path.CornersReflown();
    return;
  }
  ComputeTopOfDescent(0);
  // A climb that meets the descent path short of the level ends where it
  // meets the new one: the climb model places the TOC again.
  if (g.TocPassed == 0) g.TocWindKnown = 0;
}

double DescentPathBottom() {
  const State& g = G();
  const int last = LastIndex();
  return last >= 0 ? PlannedAltitude(E(ClampedConstraintIndex(last))) : g.NextConstraintAltitude;
}

bool StartDescentPathAtAircraft(bool at_aircraft_altitude) {
  State& g = G();
  const FlownPath& path = FlownPath::Current();
  const double here = path.Aircraft();
  int unused = 0;
  if (!std::isfinite(here) || !path.PositionFromCoordinate(here, g.TodLatitude, g.TodLongitude, unused)) return false;
  if (at_aircraft_altitude) g.TodAltitude = g.AircraftAltitude;
  return true;
}

void UpdateVerticalProfile() {
  State& g = G();
  const int last = LastIndex();
  const int active = Fp().ActiveWaypointIndex;
  const int constraint = ClampedConstraintIndex(last);

  if (last >= 0) {
    Measure(g.PlaneLatitude, g.PlaneLongitude, E(last).latitude, E(last).longitude, g.DestinationDistance,
            g.DestinationCourse);
    // Kept current whatever the phase: the arrival actions compare it with
    // 25 NM, and a value left from an earlier route would set them off.
    g.DirectDistanceToLastWaypoint = g.DestinationDistance;
  }
  g.DistanceTodToLastWaypoint = 0.0;
  g.DistanceTodToConstraint = 0.0;
  g.DistanceSinceTod = 0.0;
  g.DescentPathAltitudeSpan = 0.0;
  g.NextConstraintDistance = 0.0;
  g.ClimbSideDistance = 0.0;
  g.CruiseSideDistance = 0.0;

  // Along the path the aircraft flies, from where it is.
  const FlownPath& path = FlownPath::Current();
  const bool has_active = active >= 0 && active <= last;
  const double here = has_active ? path.Aircraft() : NAN;
  // The constraint VNAV flies to: ahead of the active waypoint, or one LNAV
  // has sequenced and the aircraft has not yet reached.
  const int target = g.HeldConstraintIndex == constraint && constraint > 0 ? constraint : std::max(constraint, active);
  double to_go = 0.0;
  if (has_active && std::isfinite(here)) {
    to_go = std::max(0.0, path.EntryOrBefore(last) - here);
    // A TOC or TOD behind the aircraft still to be reached counts straight
    // back to it, or back along the path where that is shorter: a point the
    // plan placed inside a corner lies on the legs, off the path by the
    // corner's cut, and a T/C passed a fraction of a second before the top
    // read the cut (1.7 NM) where it had read 0 the pass before.
    auto to = [&](double lat, double lon) {
      const double at = path.CoordinateFromPosition(last, lat, lon);
      if (at >= here) return at - here;
      const double straight = Distance(g.PlaneLatitude, g.PlaneLongitude, lat, lon);
      return std::isfinite(at) ? std::min(here - at, straight) : straight;
    };
    if (g.TocPassed == 0) {
      g.ClimbSideDistance = to(g.TocLatitude, g.TocLongitude);
      const double to_constraint =
          target == constraint ? std::max(0.0, path.EntryOrBefore(target) - here) : path.Ahead(constraint);
      if (to_constraint <= g.ClimbSideDistance) g.NextConstraintDistance = to_constraint;
    }
    // Also while climbing: the pages place the TOD by it.
    if (g.TodPassed == 0) g.CruiseSideDistance = to(g.TodLatitude, g.TodLongitude);
  }

  if (g.TocPassed == 1 && last >= 0) {
    g.DistanceTodToLastWaypoint = WalkBackToTod(last);
    g.DistanceTodToConstraint = WalkBackToTod(constraint);
  }
  // Still to fly to the constraint, before the descent too: there it is
  // more than the TOD's distance to the constraint, so no display takes
  // the aircraft for below the TOD (at 0, the ND read a deviation of 9999
  // ft from a path not yet worked out, all through the cruise).
  if (has_active && std::isfinite(here)) g.DistanceSinceTod = std::max(0.0, path.EntryOrBefore(target) - here);
  if (g.TodPassed == 1 && has_active) {
    g.DistanceTodToConstraint = WalkBackToTod(constraint);
    // Flown since the TOD: what lies between it and the constraint less
    // what is still to fly to the constraint. Walked back from the aircraft
    // instead, the span went through the waypoint sequenced early, still
    // ahead, and jumped at each sequencing; and before the TOD it is 0.
    g.DescentPathAltitudeSpan = std::max(0.0, g.DistanceTodToConstraint - g.DistanceSinceTod);
  }
  g.DestinationDistance = to_go;

  if (PlannedCruiseAltitude() <= 1000) return;
  if (g.TocPassed == 0) {
    if (g.NextConstraintDistance == 0.0) g.NextConstraintDistance = g.ClimbSideDistance;
  } else if (g.TodPassed == 0) {
    g.NextConstraintDistance = g.CruiseSideDistance;
    // Not while a hold is flown round: its circuits pass the TOD's point
    // without going on along the route.
    // Nor while a constraint sequenced short of it waits for it, or one
    // that hands VNAV off as it is sequenced: VNAV steps down to that
    // constraint from there (vnav.cpp).
    const bool step = g.HeldConstraintIndex != 0 || (g.StepBeforeHandOverIndex == active && constraint == active);
    if (to_go <= g.DistanceTodToLastWaypoint && last >= 0 && !HoldBeingFlown() && !step) {
      g.TodPassed = 1;
      g.NextConstraintAltitude = PlannedAltitude(E(constraint));
    }
  } else {
    g.NextConstraintDistance = g.DistanceSinceTod;
    // A TOD on the constraint itself leaves no path to slope: the constraint
    // altitude is the path.
    const double bottom = DescentPathBottom();
    g.VnavPathAltitude = g.DistanceTodToConstraint > 0.0 ? DescentPathAltitude() : bottom;
  }
}

}  // namespace ovi::guidance
