// Building the path flown (FlownPath) and keeping it between ticks: the
// route's geometry, each corner as the model of LNAV's turns flies it
// (lnav_turn_model.*), the map between route distances and coordinates,
// and the aircraft's coordinate, each worked out again only when what it
// depends on changes. Points and distances on the path are found in
// flown_path_points.cpp.
#include "src/guidance/flown_path.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <string>

#include "src/flightplan/state.h"
#include "src/guidance/lateral.h"
#include "src/guidance/lnav_turn_model.h"
#include "src/guidance/route_ahead.h"
#include "src/guidance/speed_mode.h"
#include "src/guidance/state.h"
#include "src/guidance/vertical_plan.h"
#include "src/model/performance.h"
#include "src/model/state.h"
#include "src/navdb/navdb.h"

namespace ovi::guidance {

namespace {

constexpr double kDegToRad = 3.14159265358979323846 / 180.0;
// Slower than this the aircraft has no track to turn from (it is taken as
// on its leg) and no speed to fly the corners at.
constexpr double kLeastMovingSpeed = kLnavLeastMovingSpeed;  // kt
// Corners are flown at no less, and at this without any speed to go by.
constexpr double kLeastSpeed = 100.0, kUnknownSpeed = 200.0;  // kt
// A corner farther than the first is flown at the true airspeed the plan
// has there, one nearer than the second at the aircraft's; in between the
// one turns into the other.
constexpr double kPlannedSpeedBeyond = 20.0, kGroundSpeedWithin = 5.0;  // NM
// A corner ahead is flown again in the air the aircraft's approach gives
// it once its airspeed or the wind has moved by a knot: one corner at a
// time, a second of ticks apart. An aircraft closing on its corners at the
// speed it flies moves their speed by about a knot a second; one moved
// faster (a simulation rate above 1, or the position set anew) is not
// followed faster.
constexpr double kTicksBetweenSpeedFlights = 18.0;
// A new wind, though, flies every corner ahead again at once: one a second,
// a page read between counted a path half in the old air and half in the
// new (PROGRESS 31 NM to go for the 23 flown, a 127-kt wind dropped to 77).
// A wind that drifts by less is followed one corner at a time as above, and
// a gusty one starts no such burst more often than this.
constexpr double kNewWind = 5.0;                      // kt, as a vector
constexpr double kTicksBetweenWindFlights = 180.0;
// The aircraft stays on its intercept as the model flew it this near it
// (the chord of a model's step lies this far inside the arc of a turn at
// 480 kt).
constexpr double kOnInterceptNm = 0.05;
// On its leg: as the model of LNAV's turns takes it (lnav_turn_model.cpp).
constexpr double kOnLegNm = 0.2, kOnLegDegrees = 4.0;
// Tracking farther than this from the intercept's own track, the aircraft
// has left it.
constexpr double kOffInterceptTrack = 10.0;  // degrees

State& G() { return guidance_state; }
const flightplan::State& Fp() { return flightplan::flightplan_state; }

using Route = FlownRoute;
using Placed = FlownRoute::Entry;

// The plan's speed at its altitude as a true airspeed (no wind is
// forecast), no faster than the Mach its phase is flown at there: the
// cruise's 290 kt is 530 kt at FL400, where the aircraft holds M0.79 (453
// kt), and a corner modelled at that speed took miles off the path, which
// came back as the aircraft drew near. NaN where the plan gives none.
double PlannedTas(int index, const model::FlightPlanWaypoint& w) {
  if (!(w.speed_constraint > 0.0) || w.altitude_constraint == model::kNoValue) return NAN;
  const double altitude = std::max(w.altitude_constraint, 0.0);
  const model::State& m = model::model_state;
  const State& g = G();
  using model::PerformanceSegment;
  const std::int32_t level = PlannedCruiseAltitude();
  double limit = HUGE_VAL;
  if (level > 0 && altitude >= level - kTopOfClimbCapture) {
    limit = m.CruiseMach > 0.0 ? m.CruiseMach : MachLimit(PerformanceSegment::kCruise, altitude);
  } else if (g.ClimbEndIndex > 0) {
    limit = MachLimit(index < g.ClimbEndIndex ? PerformanceSegment::kClimb : PerformanceSegment::kDescent, altitude);
  } else {
    limit = std::min(MachLimit(PerformanceSegment::kClimb, altitude),
                     MachLimit(PerformanceSegment::kDescent, altitude));
  }
  const double tas = TasNoFasterThan(w.speed_constraint, altitude, limit);
  return std::isfinite(tas) ? tas : NAN;
}

// The plan's true airspeed at a waypoint in the climb or at the cruise
// level, where the aircraft climbs or speeds up to it; NaN in the descent,
// where it slows to the plan's speeds, and an aircraft slower than the
// plan (on its way down to an approach) flies on slower.
double LeadTas(int index, const model::FlightPlanWaypoint& w) {
  const std::int32_t level = PlannedCruiseAltitude();
  const bool cruise = level > 0 && w.altitude_constraint >= level - kTopOfClimbCapture;
  const bool climb = G().ClimbEndIndex > 0 && index < G().ClimbEndIndex;
  return cruise || climb ? PlannedTas(index, w) : NAN;
}

Route BuildRoute() {
  Route r;
  const flightplan::State& f = Fp();
  r.last_index = std::min(f.ActiveFlightPlanLastIndex, model::kMaxActivePlanWaypoints);
  r.slot.assign(static_cast<std::size_t>(std::max(r.last_index + 1, 0)), -1);
  for (int i = 0; i <= r.last_index; ++i) {
    const model::FlightPlanWaypoint& w = f.ActiveFlightPlan[i];
    if (StandsNowhere(w.ident)) continue;
    const double tas = PlannedTas(i, w);
    Placed p{i,
             w.latitude,
             w.longitude,
             0.0,
             0.0,
             0.0,
             WaypointTurn{},
             std::isfinite(tas) ? tas : NAN,
             std::cos(w.latitude * kDegToRad),
             0.0,
             BeginsDirectTo(w)};
    if (!r.placed.empty()) {
      Placed& b = r.placed.back();
      double course = 0.0;
      navdb::ComputeDistanceAndBearing(p.lat, p.lon, b.lat, b.lon, p.leg, course);
      p.route = b.route + p.leg;
      p.course_in = Wrap360(navdb::TrueCourse(p.lat, p.lon, b.lat, b.lon) + 180.0);
      p.course_out = p.course_in;
      b.course_out = navdb::TrueCourse(b.lat, b.lon, p.lat, p.lon);
    }
    p.lead_speed = LeadTas(i, w);
    r.slot[static_cast<std::size_t>(i)] = static_cast<int>(r.placed.size());
    r.placed.push_back(p);
  }
  // Passed where LNAV passes it: no nearer than the turn allowance between
  // the courses it steers by (the leg's from its start and the next
  // leg's), and no nearer than the turn's lead.
  const auto n = r.placed.size();
  for (std::size_t k = 0; k < n; ++k) {
    Placed& p = r.placed[k];
    const model::FlightPlanWaypoint& w = f.ActiveFlightPlan[p.index];
    // Nothing is turned at either end of the route. A hold's fix is flown
    // over, as a fly-over waypoint is: the turn after it is not cut, and the
    // route ahead is that much longer (66 NM at a 160-degree turn at 500 kt
    // over the ground).
    p.turn = WaypointTurn{0.0, 0.0, FlownOver(w, p.index)};
    // Nor at a direct-to's start: the aircraft was already there; nor into
    // it, a leg never flown (160-180 degrees back where the waypoint
    // skipped lay ahead).
    if (k > 0 && k + 1 < n && !p.begins_direct_to && !r.placed[k + 1].begins_direct_to) {
      const Placed &a = r.placed[k - 1], &b = r.placed[k + 1];
      p.turn.configured =
          SwitchDistanceAt(w, p.index,
                           HeadingDifference(navdb::TrueCourse(a.lat, a.lon, p.lat, p.lon),
                                             navdb::TrueCourse(p.lat, p.lon, b.lat, b.lon)));
      p.turn.turn = RouteTurn(a.lat, a.lon, p.lat, p.lon, b.lat, b.lon);
    }
    p.turn.tan_half = TanHalfTurn(p.turn);
  }
  return r;
}

// The active entries holds are attached to: the turns at them are flown
// over, and a hold taken off (as LNAV is disengaged) does not count as a
// route edit.
std::uint64_t HoldsKey() {
  const flightplan::State& f = Fp();
  std::uint64_t h = 1469598103934665603ull;
  const int count = std::min<int>(f.HoldCount, model::kMaxHolds);
  for (int k = 1; k <= count; ++k) h = (h ^ static_cast<std::uint64_t>(f.HoldTable[k].active_index)) * 1099511628211ull;
  return h;
}

// What a route is, to the last bit of each place and planned speed; worked
// out only to check that the edit count moved with it.
std::uint64_t Signature() {
  const flightplan::State& f = Fp();
  std::uint64_t h = 1469598103934665603ull;
  auto mix = [&h](std::uint64_t v) { h = (h ^ v) * 1099511628211ull; };
  auto bits = [](double v) {
    std::uint64_t u = 0;
    std::memcpy(&u, &v, sizeof u);
    return u;
  };
  const std::hash<std::string> text;
  const int last = std::min(f.ActiveFlightPlanLastIndex, model::kMaxActivePlanWaypoints);
  mix(static_cast<std::uint64_t>(last));
  for (int i = 0; i <= last; ++i) {
    const model::FlightPlanWaypoint& w = f.ActiveFlightPlan[i];
    mix(text(w.ident));
    mix(bits(w.latitude));
    mix(bits(w.longitude));
    mix(static_cast<std::uint64_t>(w.flyover));
    mix(text(w.procedure_tag));
    // The speeds the corners are flown at come from the plan.
    mix(bits(w.speed_constraint));
    mix(bits(w.altitude_constraint));
  }
  return h;
}

// The aircraft's true heading in a wind, where an airspeed along it gives
// the ground speed, else NaN. A ground track worked out from that heading
// (less a cross-wind drift) is not asked: at a low ground speed in a
// strong wind it is ten degrees off (254 where 265 was flown, 93 kt over
// the ground into 127 kt), and taking the airspeed from it made the turns
// re-flown from the aircraft wider and its place slide back. A track not
// worked out from it (the heading not read with it) must agree with it to
// a few degrees.
constexpr double kTrackAgrees = 3.0;  // degrees
double AircraftHeadingInWind() {
  const State& g = G();
  const double heading = Wrap360(g.AircraftHeading + g.MagneticVariation);
  const double tas = AirspeedAlongHeading(g.GroundSpeedKnots, heading, g.WindDirection, g.WindSpeed);
  if (!(tas > 0.0)) return NAN;
  if (std::fabs(Wrap180(g.AircraftHeading - g.DriftAngle - g.GroundTrack)) <= 1e-6) return heading;
  const double to = (g.WindDirection + 180.0) * kDegToRad;
  const double east = tas * std::sin(heading * kDegToRad) + g.WindSpeed * std::sin(to);
  const double north = tas * std::cos(heading * kDegToRad) + g.WindSpeed * std::cos(to);
  const double track = std::atan2(east, north) / kDegToRad;
  return std::fabs(Wrap180(track - g.GroundTrack - g.MagneticVariation)) <= kTrackAgrees ? heading : NAN;
}

// The aircraft's true airspeed and the wind it flies in (no other is
// forecast, and the model flies every corner in it), to the knot. The
// airspeed from the heading where it agrees with the track, else the
// aircraft's way over the ground less the wind's: a crab worked out with
// the ground speed for the airspeed, and no airspeed found along that
// heading, made an aircraft flying 190 kt into 139 kt of wind a 55-kt one,
// which the model could not fly back onto its leg (its place along the path
// ran 240 NM back after a hold).
ModelAir AircraftAir() {
  const State& g = G();
  const double to = (g.WindDirection + 180.0) * kDegToRad;
  const double wind = std::isfinite(g.WindSpeed) && std::isfinite(to) ? g.WindSpeed : 0.0;
  const double heading = wind > 0.0 ? AircraftHeadingInWind() : NAN;
  const double track = (g.GroundTrack + g.MagneticVariation) * kDegToRad;
  const double tas = std::isfinite(heading)
                         ? TrueAirspeedInWind(g.GroundSpeedKnots, heading, g.WindDirection, wind)
                         : std::hypot(g.GroundSpeedKnots * std::sin(track) - wind * std::sin(to),
                                      g.GroundSpeedKnots * std::cos(track) - wind * std::cos(to));
  return {std::round(std::isfinite(tas) ? tas : g.GroundSpeedKnots), std::round(wind * std::sin(to)),
          std::round(wind * std::cos(to))};
}

// The true airspeed an aircraft climbing under VNAV slower than the speed
// it climbs at (the restriction's below its altitude) gains up to, from
// `tas` now; 0 where it gains none. Above the crossover the climb holds the
// Mach of its phase, not the airspeed: counted to the climb's 320 kt while
// it held M0.73 at 280 kt, the model flew a reversal 70 kt too fast, swung
// miles wider than the aircraft did, and PROGRESS read 6 NM long.
double ClimbSpeedGained(double tas) {
  const State& g = G();
  const model::State& m = model::model_state;
  if (g.VnavEngaged != 1 || g.TocPassed != 0 || !(g.VerticalSpeedFpm > 0.0) || !(g.SmoothedAirspeed > 100.0))
    return 0.0;
  double ias = m.ClimbIas;
  if (g.AircraftAltitude < m.ClbAltRest && m.ClbSpdRest > 0.0) ias = std::min(ias, m.ClbSpdRest);
  if (!(ias > g.SmoothedAirspeed + 2.0)) return 0.0;
  double gain = ias / g.SmoothedAirspeed;
  const double mach = MachLimit(model::PerformanceSegment::kClimb, g.AircraftAltitude);
  if (std::isfinite(mach) && g.MachNumber > 0.0) gain = std::min(gain, mach / g.MachNumber);
  const double gained = std::round(tas * gain);
  return std::isfinite(gained) && gained > tas ? gained : 0.0;
}

// The air a corner will be flown in, to the knot (a corner ahead is flown
// again only once it has moved by one): the wind the aircraft flies in,
// and the true airspeed the plan has at the corner's waypoint far from
// it, the aircraft's own near it.
ModelAir CornerAir(const Placed& p, const ModelAir& aircraft) {
  const State& g = G();
  const double planned = p.planned_speed;
  double v = std::isfinite(planned) ? planned : kUnknownSpeed;
  if (g.GroundSpeedKnots < kLeastMovingSpeed) return {std::round(std::max(v, kLeastSpeed)), 0.0, 0.0};
  ModelAir air = aircraft;
  // Near enough for a share, and on every corner ahead on every tick:
  // flat, and no root for a corner beyond the share.
  const double east = Wrap180(p.lon - g.PlaneLongitude) * p.cos_lat, north = p.lat - g.PlaneLatitude;
  const double beyond = kPlannedSpeedBeyond / 60.0;
  if (!(std::isfinite(planned) && east * east + north * north >= beyond * beyond)) {
    const double d = std::hypot(east, north) * 60.0;
    const double share = (kPlannedSpeedBeyond - d) / (kPlannedSpeedBeyond - kGroundSpeedWithin);
    const double w = std::isfinite(planned) ? std::clamp(share, 0.0, 1.0) : 1.0;
    v += w * (air.tas - v);
  }
  air.tas = std::round(std::max(v, kLeastSpeed));
  return air;
}

// The aircraft on a kept intercept: NM flown to the point of it nearest
// the aircraft (the first leg of it extended back, the last on) and NM off
// it there.
struct OnIntercept {
  double flown, off, track;  // the track (degrees) in the frame
};
OnIntercept Nearest(const std::vector<PathPoint>& points, double x, double y) {
  OnIntercept best{0.0, HUGE_VAL, 0.0};
  std::size_t at = 0;
  for (std::size_t i = 0; i + 1 < points.size(); ++i) {
    const PathPoint &a = points[i], &b = points[i + 1];
    const double dx = b.x - a.x, dy = b.y - a.y, len2 = dx * dx + dy * dy;
    double u = len2 > 0.0 ? ((x - a.x) * dx + (y - a.y) * dy) / len2 : 0.0;
    if (i > 0) u = std::max(u, 0.0);
    if (i + 2 < points.size()) u = std::min(u, 1.0);
    const double ex = a.x + u * dx - x, ey = a.y + u * dy - y, off = std::sqrt(ex * ex + ey * ey);
    if (off < best.off) {
      best = {a.flown + u * (b.flown - a.flown), off, 0.0};
      at = i;
    }
  }
  if (points.size() > 1)
    best.track = std::atan2(points[at + 1].x - points[at].x, points[at + 1].y - points[at].y) / kDegToRad;
  return best;
}

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

bool Near(double a, double b) { return std::fabs(a - b) <= 1e-9; }

}  // namespace

class FlownPathBuilder {
 public:
  FlownPathBuilder(const Route& r, FlownPathMemo& memo, int refly, const ModelAir& aircraft)
      : r_(r), memo_(memo), refly_(refly), aircraft_(aircraft) {}

  // Where the aircraft is on the path: the model flies LNAV on from the
  // aircraft's state until it is on a leg again, past any corner the path
  // cuts there (at once when it is on its leg), and takes the coordinate
  // there less what it flew; `nearest` the entries that way passes
  // (FlownPath::Nearest), `joined` the coordinate where it is on a leg
  // again (NaN on its leg now).
  double AircraftCoordinate(const FlownPath& path, std::vector<std::pair<int, double>>& nearest, double& joined,
                            TracksFlown& way, double& way_from) const {
    nearest.clear();
    joined = NAN;
    way.reset();
    way_from = NAN;
    const Route& r = r_;
    const State& g = G();
    const int active = Fp().ActiveWaypointIndex;
    if (active < 0 || active > r.last_index) return NAN;
    int target = -1;
    for (int i = active; i <= r.last_index && target < 0; ++i) target = r.slot[static_cast<std::size_t>(i)];
    if (target < 0) {
      // Only markers ahead: at the last entry placed.
      return r.placed.empty() ? NAN : path.Entry(r.placed.back().index);
    }
    double from_lat = 0.0, from_lon = 0.0;
    if (!ActiveLegStart(from_lat, from_lon) || target != r.slot[static_cast<std::size_t>(active)]) {
      const Placed& t = r.placed[static_cast<std::size_t>(target > 0 ? target - 1 : target)];
      from_lat = t.lat;
      from_lon = t.lon;
    }
    Flyer a{g.PlaneLatitude, g.PlaneLongitude, Wrap360(g.GroundTrack + g.MagneticVariation), -g.BankAttitude};
    a.direct_to = FlyingDirectTo();
    if (target > 0) a.passed_at = PassedAt(Fp().ActiveFlightPlan[r.placed[static_cast<std::size_t>(target - 1)].index]);
    if (!std::isfinite(a.track) || !std::isfinite(a.bank)) a.track = a.bank = 0.0;
    // In a wind the heading flown is known, where the track is worked out
    // only to the degree.
    if (g.WindSpeed > 0.0) a.heading = AircraftHeadingInWind();
    // Without a track to turn from the aircraft is taken as on its leg.
    const bool moving = g.GroundSpeedKnots >= kLeastMovingSpeed;
    // A leg from where LNAV was engaged or a direct-to begun is flown along.
    const bool tracking = g.LnavLegTracking == 1 || g.ActiveLegFromEngagePosition == 1;
    ModelAir air = moving ? aircraft_ : ModelAir{kLeastSpeed};
    if (moving) air.gains_to = ClimbSpeedGained(air.tas);
    // The intercept flown last, while the aircraft stays on it; flown again
    // once it departs, at most once a second.
    KeptIntercept& kept = memo_.kept;
    const std::array<double, 7> mode{static_cast<double>(active), static_cast<double>(target), tracking ? 1.0 : 0.0,
                                     from_lat, from_lon, air.east, air.north};
    const double tick = g.LastTick;
    if (std::isfinite(kept.leg_course) && kept.mode == mode) {
      // Still on its leg as it was: the point abeam the aircraft, unless it
      // has come where the waypoint is passed or a corner of the path is.
      const Placed& w = r.placed[static_cast<std::size_t>(target)];
      double x = 0.0, y = 0.0;
      PlaceInFrame(r, target, a.lat, a.lon, x, y);
      const double ux = std::sin(kept.leg_course * kDegToRad), uy = std::cos(kept.leg_course * kDegToRad);
      const double along = x * ux + y * uy, here = w.route + along;
      bool in_corner = false;
      for (const CornerSpan& c : memo_.cuts) in_corner = in_corner || (here > c.from && (c.placed == target || here < c.to));
      if (std::fabs(x * uy - y * ux) <= kOnLegNm && along < 0.0 && x * x + y * y >= kept.switch_distance * kept.switch_distance &&
          !in_corner && std::fabs(Wrap180(a.track + kept.turned - kept.leg_course)) <= kOnLegDegrees)
        return path.CoordinateFromRouteDistance(here);
    }
    if (!kept.points.empty() && kept.mode == mode) {
      double x = 0.0, y = 0.0;
      PlaceInFrame(r, kept.frame, a.lat, a.lon, x, y);
      const OnIntercept on = Nearest(kept.points, x, y);
      const bool due = !(tick - kept.tick < kTicksBetweenSpeedFlights && tick >= kept.tick);
      // On it with a track it does not have there is a departure at once
      // (a heading set anew, a new route from where the aircraft is).
      const bool within = on.flown <= kept.points.back().flown;
      const bool turned_away = within && std::fabs(Wrap180(a.track + kept.turned - on.track)) > kOffInterceptTrack;
      if (!turned_away && !due) {
        for (const auto& [entry, at] : kept.abeam) nearest.emplace_back(entry, std::max(0.0, at - on.flown));
        joined = kept.end;
        way = kept.tracks;
        way_from = kept.end - kept.total;
        return kept.end - (kept.total - on.flown);
      }
    }
    RunEnd e = RunLnavTurnModel(r, air, a, target, from_lat, from_lon, tracking, {}, !moving, &memo_.cuts, moving);
    const Placed& end = r.placed[static_cast<std::size_t>(e.target)];
    const double at_end = e.at_last ? path.Entry(end.index) : path.CoordinateFromRouteDistance(end.route - e.to_go);
    kept.points.clear();
    kept.leg_course = NAN;
    kept.abeam.clear();
    TracksFlown steps = e.tracks.empty() ? nullptr : std::make_shared<const std::vector<TrackFlown>>(std::move(e.tracks));
    if (e.start.size() > 1) kept = {std::move(e.start), target, e.turned, at_end, e.flown, tick, mode, NAN, 0.0, {}, nullptr};
    kept.tracks = kept.points.empty() ? nullptr : steps;
    for (const auto& [pos, at] : e.abeam) nearest.emplace_back(r.placed[static_cast<std::size_t>(pos)].index, at);
    if (!kept.points.empty()) kept.abeam = nearest;
    if (std::isfinite(e.on_leg.course)) {
      kept.frame = target;
      kept.turned = e.turned;
      kept.mode = mode;
      kept.leg_course = e.on_leg.course;
      kept.switch_distance = e.on_leg.switch_distance;
    }
    if (e.target == target && e.flown > 0.0) joined = at_end;
    if (e.flown > 0.0) {
      way = std::move(steps);
      way_from = at_end - e.flown;
    }
    return at_end - e.flown;
  }

  bool PlanSpeedMoved() const { return plan_speed_moved_; }

  void Build(FlownPath& path) {
    memo_.kept.points.clear();
    memo_.kept.leg_course = NAN;
    // Refilled from its first slot, the one a look scans first: else a
    // point's walk along the path before was found there, a TOD read where
    // it lay before a corner was flown at another speed.
    path.found_count_ = path.found_next_ = 0;
    path.joining_known_ = false;
    const std::size_t n = r_.placed.size();
    const auto size = static_cast<std::size_t>(std::max(r_.last_index + 1, 0));
    path.entry_.assign(size, NAN);
    path.passed_.assign(size, NAN);
    path.sequenced_.assign(size, NAN);
    path.route_.assign(size, NAN);
    path.placed_.clear();
    path.map_route_.clear();
    path.map_flown_.clear();
    path.corner_turns_.clear();
    memo_.cuts.clear();
    memo_.built_from.clear();
    for (const Placed& p : r_.placed) {
      path.route_[static_cast<std::size_t>(p.index)] = p.route;
      path.placed_.push_back(p.index);
    }
    if (n == 0) return;
    double route = 0.0, flown = 0.0;
    Corner(path, route, flown);
    path.entry_[static_cast<std::size_t>(r_.placed[0].index)] = 0.0;
    std::size_t k = 1;
    // The corner flown before and where its waypoint was passed (NM from it).
    int before_k = -1;
    double before_passed_at = NAN;
    while (k < n) {
      const Placed& p = r_.placed[k];
      if (k + 1 == n) {
        flown += p.route - route;
        route = p.route;
        path.entry_[static_cast<std::size_t>(p.index)] = flown;
        Corner(path, route, flown);
        break;
      }
      if (r_.placed[k + 1].begins_direct_to) {
        // The aircraft came to a direct-to's start its own way: the leg
        // into it is measured, not flown (the model turning back onto it
        // flew 700 NM, and the rest of the path lay behind its end).
        flown += p.route - route;
        route = p.route;
        path.entry_[static_cast<std::size_t>(p.index)] = flown;
        Corner(path, route, flown);
        before_k = -1;
        ++k;
        continue;
      }
      const FlownCorner& c =
          Piece(static_cast<int>(k), route, before_k == static_cast<int>(k) - 1 ? before_passed_at : NAN);
      before_k = static_cast<int>(k);
      before_passed_at = p.route - c.start;
      flown += c.start - route;
      route = c.start;
      path.passed_[static_cast<std::size_t>(p.index)] = flown;
      Corner(path, route, flown);
      memo_.built_from.push_back(static_cast<int>(k));
      for (const auto& [entry, at] : c.abeam) path.entry_[static_cast<std::size_t>(entry)] = flown + at;
      for (const auto& [entry, at] : c.passed) path.sequenced_[static_cast<std::size_t>(entry)] = flown + at;
      if (c.end > route) memo_.cuts.push_back({static_cast<int>(k), route, c.end});
      if (c.tracks != nullptr && !c.tracks->empty()) path.corner_turns_.push_back({flown, flown + c.flown, c.tracks});
      route = std::max(c.end, route);
      flown += c.flown;
      Corner(path, route, flown);
      if (c.end_leg < 0 || static_cast<std::size_t>(c.end_leg) >= n) break;
      if (c.end_leg == r_.placed.back().index && c.end == r_.placed.back().route) break;  // reached
      k = static_cast<std::size_t>(r_.slot[static_cast<std::size_t>(c.end_leg)]);
    }
    // Each entry no nearer than the one before it.
    double before = 0.0;
    for (int index : path.placed_) {
      double& e = path.entry_[static_cast<std::size_t>(index)];
      if (!std::isfinite(e)) e = path.CoordinateFromRouteDistance(path.route_[static_cast<std::size_t>(index)]);
      e = std::max(e, before);
      before = e;
    }
  }

 private:
  static void Corner(FlownPath& path, double route, double flown) {
    if (!path.map_route_.empty() && route <= path.map_route_.back()) {
      path.map_flown_.back() = std::max(path.map_flown_.back(), flown);
      return;
    }
    path.map_route_.push_back(route);
    path.map_flown_.push_back(flown);
  }

  // The corner at placed entry k, from where its waypoint is passed (no
  // nearer than route distance `from`; the entry before passed at
  // `before_passed_at` NM from it where the path flew that corner, and
  // where LNAV passed it if that was the waypoint it passed last): as
  // flown before when that still holds (a corner passed keeps the air it
  // was flown in), else flown now. A new speed in the plan is flown at
  // once; air the aircraft's approach moves waits its turn.
  const FlownCorner& Piece(int k, double from, double before_passed_at) {
    const Placed& p = r_.placed[static_cast<std::size_t>(k)];
    FlownCorner& c = memo_.corners[static_cast<std::size_t>(p.index)];
    const bool passed = p.index < Fp().ActiveWaypointIndex;
    const bool known = c.start >= 0.0, same_plan = SameBits(c.planned, p.planned_speed);
    ModelAir air = known && passed ? c.air : CornerAir(p, aircraft_);
    const bool moved = known && same_plan && !passed && !(air == c.air);
    if (moved && refly_ <= 0) air = c.air;
    const double lnav_passed_at = PassedAt(Fp().ActiveFlightPlan[r_.placed[static_cast<std::size_t>(k - 1)].index]);
    if (std::isfinite(lnav_passed_at)) before_passed_at = lnav_passed_at;
    const double start = std::max(p.route - ModelSwitchDistance(r_, k, air, before_passed_at), from);
    if (known && Near(c.start, start) && air == c.air && (same_plan || passed)) return c;
    if (known && !same_plan && !passed) plan_speed_moved_ = true;
    if (moved && refly_ > 0) {
      --refly_;
      memo_.speed_flown_at = G().LastTick;
    }
    const Placed& before = r_.placed[static_cast<std::size_t>(k - 1)];
    Flyer a{};
    a.passed_at = p.route - start;
    navdb::ProjectPosition(p.lat, p.lon, navdb::TrueCourse(p.lat, p.lon, before.lat, before.lon), p.route - start,
                           a.lat, a.lon);
    // From a direct-to's start along its leg: the leg in is none.
    a.track = p.begins_direct_to ? p.course_out
              : p.route - start > 0.0 ? navdb::TrueCourse(a.lat, a.lon, p.lat, p.lon)
                                      : p.course_in;
    RunEnd e = RunLnavTurnModel(r_, air, a, k + 1, p.lat, p.lon, true, {k}, false, nullptr, true);
    c.start = start;
    c.air = air;
    c.planned = p.planned_speed;
    const Placed& t = r_.placed[static_cast<std::size_t>(e.target)];
    c.end_leg = t.index;
    c.end = e.at_last ? t.route : t.route - e.to_go;
    c.flown = e.flown;
    c.tracks = std::make_shared<const std::vector<TrackFlown>>(std::move(e.tracks));
    c.abeam.clear();
    for (const auto& [pos, at] : e.abeam) c.abeam.emplace_back(r_.placed[static_cast<std::size_t>(pos)].index, at);
    c.passed.clear();
    for (const auto& [pos, at] : e.passed) c.passed.emplace_back(r_.placed[static_cast<std::size_t>(pos)].index, at);
    return c;
  }

  const Route& r_;
  FlownPathMemo& memo_;
  // Corners ahead flown again at a new speed on this call, at most: a
  // corner whose speed has moved further waits.
  int refly_;
  ModelAir aircraft_;  // the aircraft's own air
  // A corner ahead flown again on this call at a new speed of the plan.
  bool plan_speed_moved_ = false;
};

namespace {

FlownPathKey KeyNow() {
  const State& g = G();
  return {g.PlaneLatitude,
          g.PlaneLongitude,
          g.GroundTrack,
          g.MagneticVariation,
          g.BankAttitude,
          g.GroundSpeedKnots,
          static_cast<double>(g.ActiveLegFromEngagePosition),
          g.LegOriginLatitude,
          g.LegOriginLongitude,
          static_cast<double>(g.LnavLegTracking),
          g.AircraftHeading,
          g.WindDirection,
          g.WindSpeed};
}

// Whether a corner ahead the path was built from is now to be flown in
// other air (one behind keeps its own).
bool CornerAirMoved(const FlownPathMemo& memo, const ModelAir& aircraft) {
  const int active = Fp().ActiveWaypointIndex;
  for (int k : memo.built_from) {
    const Placed& p = memo.geometry.placed[static_cast<std::size_t>(k)];
    if (p.index >= active && !(CornerAir(p, aircraft) == memo.corners[static_cast<std::size_t>(p.index)].air))
      return true;
  }
  return false;
}

// The geometry of the route as it is now. The corners stay with it while
// every entry stands where it stood (a corner whose planned speed or switch
// distance moved is flown again when the path is built).
bool TakeGeometry(FlownPathMemo& memo, const std::array<double, 3>& switching) {
  const flightplan::State& f = Fp();
  FlownRoute r = BuildRoute();
  const FlownRoute& old = memo.geometry;
  bool same = memo.corners.size() == model::kMaxActivePlanWaypoints + 1 && r.last_index == old.last_index &&
              r.placed.size() == old.placed.size();
  for (std::size_t k = 0; same && k < r.placed.size(); ++k) {
    same = r.placed[k].index == old.placed[k].index && SameBits(r.placed[k].lat, old.placed[k].lat) &&
           SameBits(r.placed[k].lon, old.placed[k].lon);
  }
  if (!same) memo.corners.assign(model::kMaxActivePlanWaypoints + 1, FlownCorner{});
  memo.geometry = std::move(r);
  memo.route_edits = f.ActiveRouteEdits;
  memo.holds = HoldsKey();
  memo.switching = switching;
  return !same;
}

UncountedRouteEditHook uncounted_route_edit = nullptr;

}  // namespace

void SetUncountedRouteEditHook(UncountedRouteEditHook hook) { uncounted_route_edit = hook; }

double PlannedTrueAirspeed(int index) {
  if (index < 0 || index > std::min(Fp().ActiveFlightPlanLastIndex, model::kMaxActivePlanWaypoints)) return NAN;
  return LeadTas(index, Fp().ActiveFlightPlan[index]);
}

const FlownPath& FlownPath::Current() {
  FlownPathMemo& memo = G().FlownPathCache;
  const flightplan::State& f = Fp();
  const model::State& m = model::model_state;
  const std::array<double, 3> switching{m.WptChgDist, m.WptProcChgDist, m.FlyoverWptChgDist};
  const bool counted = memo.route_edits != f.ActiveRouteEdits;
  bool build = !memo.worked_out || counted || memo.switching != switching || memo.holds != HoldsKey() ||
               memo.geometry.last_index != std::min(f.ActiveFlightPlanLastIndex, model::kMaxActivePlanWaypoints);
  if (uncounted_route_edit != nullptr) {
    const std::uint64_t signature = Signature();
    if (memo.worked_out && !counted && memo.signed_route && signature != memo.signature) {
      uncounted_route_edit();
      build = true;
    }
    memo.signature = signature;
  }
  memo.signed_route = uncounted_route_edit != nullptr;
  // Every corner flown anew (a new route) is flown in the wind of now.
  const bool afresh = build && TakeGeometry(memo, switching);
  build = build || memo.path.active_ != f.ActiveWaypointIndex;
  // Equal bits, not equal numbers: NaN never compares equal.
  const FlownPathKey key = KeyNow();
  const bool moved = !memo.worked_out || std::memcmp(key.data(), memo.key.data(), sizeof key) != 0;
  const double tick = G().LastTick;
  const bool speed_due = !(tick - memo.speed_flown_at < kTicksBetweenSpeedFlights && tick >= memo.speed_flown_at);
  const ModelAir aircraft = AircraftAir();
  // The wind every corner ahead is flown in (none below the least moving
  // speed, as CornerAir has it).
  const bool still = !(G().GroundSpeedKnots >= kLeastMovingSpeed);
  const double wind_east = still ? 0.0 : aircraft.east, wind_north = still ? 0.0 : aircraft.north;
  const bool wind_due = !(tick - memo.wind_flown_at < kTicksBetweenWindFlights && tick >= memo.wind_flown_at);
  const bool new_wind = memo.worked_out && moved && wind_due &&
                        std::hypot(wind_east - memo.wind_east, wind_north - memo.wind_north) >= kNewWind;
  const bool reflown = !build && moved && (new_wind || (speed_due && CornerAirMoved(memo, aircraft)));
  build = build || reflown;
  FlownPathBuilder builder(memo.geometry, memo, new_wind ? std::numeric_limits<int>::max() : (speed_due ? 1 : 0),
                           aircraft);
  if (build) {
    builder.Build(memo.path);
    if (new_wind || afresh) {
      memo.wind_east = wind_east;
      memo.wind_north = wind_north;
      if (new_wind) memo.wind_flown_at = tick;
    }
    memo.path.active_ = f.ActiveWaypointIndex;
    if (new_wind) memo.plan_rounds = 0;
    const bool plan_round = !afresh && builder.PlanSpeedMoved() && memo.plan_rounds < kPlanRoundsAfterWind;
    if (plan_round) ++memo.plan_rounds;
    if (reflown || plan_round) ++memo.path.reflown_;
  }
  if (build || moved)
    memo.path.aircraft_ = builder.AircraftCoordinate(memo.path, memo.path.own_way_nearest_, memo.path.joined_,
                                                     memo.path.own_way_, memo.path.own_way_from_);
  memo.key = key;
  memo.worked_out = true;
  return memo.path;
}

}  // namespace ovi::guidance
