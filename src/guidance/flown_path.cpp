#include "src/guidance/flown_path.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <string>

#include "src/flightplan/state.h"
#include "src/guidance/lateral.h"
#include "src/guidance/route_ahead.h"
#include "src/guidance/state.h"
#include "src/model/performance.h"
#include "src/model/state.h"
#include "src/navdb/navdb.h"

namespace ovi::guidance {

namespace {

constexpr double kDegToRad = 3.14159265358979323846 / 180.0;
// Steps of the model: while it turns, once settled, and the least share of
// one a step cut short at an event keeps.
constexpr double kTurningStep = 0.5, kSettledStep = 2.0, kLeastStepShare = 0.05;  // s
// The heading hold the corners are flown with.
constexpr double kMaxBank = 25.0;       // degrees
constexpr double kStandardRate = 3.0;   // degrees a second
constexpr double kRollRate = 6.0;       // degrees a second
constexpr double kHeadingGain = 0.4;    // degrees a second of turn per degree to turn
constexpr double kGravity = 9.80665;    // m/s^2
constexpr double kMetresPerSecondPerKnot = 0.514444;
// Slower than this the aircraft has no track to turn from (it is taken as
// on its leg) and no speed to fly the corners at.
constexpr double kLeastMovingSpeed = 50.0;  // kt
// Corners are flown at no less, and at this without any speed to go by.
constexpr double kLeastSpeed = 100.0, kUnknownSpeed = 200.0;  // kt
// A corner farther than the first is flown at the true airspeed the plan
// has there, one nearer than the second at the ground speed; in between the
// one turns into the other.
constexpr double kPlannedSpeedBeyond = 20.0, kGroundSpeedWithin = 5.0;  // NM
// Back on a leg: nearer it than this and along it within the angle. What
// is left to fly of the intercept then is under a thousandth of a mile.
constexpr double kOnLegOffset = 0.1;  // NM
constexpr double kOnLegAngle = 2.0;   // degrees
constexpr int kMaxSteps = 2000;  // a corner takes about two hundred
constexpr int kCornersFlownAgainAtOnce = 1;
// LNAV's own numbers (lateral.cpp).
constexpr double kNearLookAhead = 3.0, kFarLookAhead = 5.0, kNearOffset = 3.5;  // NM
// NM by which the distances from a point to a leg's two ends may exceed the
// leg for the point to count as on it.
constexpr double kOnLegSlack = 0.05;
constexpr double kStraightAtWaypointOffset = 10.0;                               // NM
constexpr double kAbeamCheckWithin = 10.0;                                       // NM

State& G() { return guidance_state; }
const flightplan::State& Fp() { return flightplan::flightplan_state; }

// Within [-180, 180] for angles a few turns at most from it.
double Wrap180(double a) {
  if (!(std::fabs(a) <= 720.0)) return std::isfinite(a) ? std::remainder(a, 360.0) : 0.0;
  while (a > 180.0) a -= 360.0;
  while (a < -180.0) a += 360.0;
  return a;
}
double Wrap360(double a) {
  a = Wrap180(a);
  return a < 0.0 ? a + 360.0 : a;
}

double Distance(double lat1, double lon1, double lat2, double lon2) {
  double d = 0.0, c = 0.0;
  navdb::ComputeDistanceAndBearing(lat1, lon1, lat2, lon2, d, c);
  return d;
}

using Route = FlownRoute;
using Placed = FlownRoute::Entry;

Route BuildRoute() {
  Route r;
  const flightplan::State& f = Fp();
  r.last_index = std::min(f.ActiveFlightPlanLastIndex, model::kMaxActivePlanWaypoints);
  r.slot.assign(static_cast<std::size_t>(std::max(r.last_index + 1, 0)), -1);
  for (int i = 0; i <= r.last_index; ++i) {
    const model::FlightPlanWaypoint& w = f.ActiveFlightPlan[i];
    if (StandsNowhere(w.ident)) continue;
    // The plan's speed at its altitude (no wind is forecast).
    const double tas = w.speed_constraint > 0.0 && w.altitude_constraint != model::kNoValue
                           ? model::IasToTas(w.speed_constraint, std::max(w.altitude_constraint, 0.0))
                           : NAN;
    Placed p{i, w.latitude, w.longitude, 0.0, 0.0, 0.0, 0.0, std::isfinite(tas) ? tas : NAN};
    if (!r.placed.empty()) {
      const Placed& b = r.placed.back();
      double course = 0.0;
      navdb::ComputeDistanceAndBearing(p.lat, p.lon, b.lat, b.lon, p.leg, course);
      p.route = b.route + p.leg;
      p.course_in = Wrap360(navdb::TrueCourse(p.lat, p.lon, b.lat, b.lon) + 180.0);
    }
    r.slot[static_cast<std::size_t>(i)] = static_cast<int>(r.placed.size());
    r.placed.push_back(p);
  }
  // Passed where LNAV passes it: the turn allowance between the courses it
  // steers by, the leg's from its start and the next leg's.
  const auto n = r.placed.size();
  for (std::size_t k = 0; k < n; ++k) {
    Placed& p = r.placed[k];
    int turn = 0;
    if (k > 0 && k + 1 < n) {
      const Placed &a = r.placed[k - 1], &b = r.placed[k + 1];
      turn = HeadingDifference(navdb::TrueCourse(a.lat, a.lon, p.lat, p.lon),
                               navdb::TrueCourse(p.lat, p.lon, b.lat, b.lon));
    }
    p.switch_distance = SwitchDistanceAt(f.ActiveFlightPlan[p.index], turn);
  }
  return r;
}

// What a route is, to the last bit of each place and planned speed: the
// corners flown on it belong to it alone.
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

// The aircraft of the model: true track, bank (right wing down positive).
struct Flyer {
  double lat, lon, track, bank;
};

struct RunEnd {
  int target = -1;      // position in `placed` of the entry the leg leads to
  double to_go = 0.0;   // along that leg still to fly (more than the leg: behind its start)
  double flown = 0.0;
  bool at_last = false;  // the last entry reached before the aircraft was on its leg
  std::vector<std::pair<int, double>> abeam;  // position in `placed`, flown to the nearest point
};

// Route distances (from, to) each corner of the path spans.
using Corners = std::vector<std::pair<double, double>>;

// LNAV flying the route on from a state, in a frame of the distances and
// courses from the entry it flies to (NM east and north), until the
// aircraft is on a leg again. Steps
// of half a second while it turns, of two once it has settled; a step that
// would carry it past a point where LNAV changes its mind (the look-ahead
// distance, straight at the waypoint, the waypoint passed) ends there, so
// that the path moves with the aircraft's state and not with the steps.
class Model {
 public:
  Model(const Route& r, double speed) : r_(r), speed_(speed) {
    v_ = speed * kMetresPerSecondPerKnot;
    max_bank_ = std::min(kMaxBank, BankFor(kStandardRate));
  }

  // From `a` on the leg from (from_lat, from_lon) to placed entry
  // `target`, the entries `passed` behind; `on_leg` takes the aircraft as
  // on that leg already, as far along it as it is. Back on a leg within one
  // of the `corners` the run goes on along the leg to the corner's end: only
  // there do the two paths meet again.
  RunEnd Run(const Flyer& a, int target, double from_lat, double from_lon, bool tracking,
             const std::vector<int>& passed, bool on_leg = false, const Corners* corners = nullptr) {
    RunEnd end;
    track_ = a.track;
    bank_ = a.bank;
    rate_ = RateOf(bank_);
    x_ = y_ = 0.0;
    w_ = target;
    Aim(target, from_lat, from_lon, tracking, a.lat, a.lon);
    for (int p : passed) Track(end, p, 0.0);
    const int last = static_cast<int>(r_.placed.size()) - 1;
    bool pass_now = false;
    double last_along = 0.0, last_step = 0.0;
    for (int step = 0; step <= kMaxSteps; ++step) {
      const double d = std::sqrt(x_ * x_ + y_ * y_);
      const double along = x_ * ux_ + y_ * uy_;  // below 0 before the entry
      const double offset = std::fabs(x_ * uy_ - y_ * ux_);
      const Placed& w = r_.placed[static_cast<std::size_t>(w_)];
      if (w_ != last && !on_leg && (pass_now || Passes(d))) {
        pass_now = false;
        last_along = 0.0;
        Track(end, w_, end.flown);
        double lat = 0.0, lon = 0.0;
        Position(lat, lon);
        Aim(w_ + 1, w.lat, w.lon, true, lat, lon);
        continue;
      }
      if (w_ == last && along >= 0.0) {
        // Abeam the last entry within the step just flown, in proportion.
        if (last_along < 0.0 && along > last_along) end.flown -= last_step * along / (along - last_along);
        end.at_last = true;
        Track(end, w_, end.flown);
        end.to_go = 0.0;
        break;
      }
      last_along = along;
      const bool back_on_leg = offset <= kOnLegOffset && std::fabs(Wrap180(track_ - course_in_)) <= kOnLegAngle;
      if (back_on_leg && !on_leg && corners != nullptr && step < kMaxSteps) {
        const double here = w.route + along;
        const double corner_end = EndOfCornerAt(*corners, here);
        const double passing = w_ == last ? w.route : w.route - w.switch_distance;
        if (corner_end > here) {
          // Straight along the leg, where nothing changes, to the corner's
          // end or to where the next waypoint is passed.
          const double next = std::min(corner_end, passing);
          end.flown += std::max(next - here, 0.0);
          if (corner_end <= passing) {
            end.to_go = w.route - corner_end;
            break;
          }
          x_ = (next - w.route) * ux_;
          y_ = (next - w.route) * uy_;
          track_ = course_in_;
          bank_ = rate_ = 0.0;
          pass_now = true;
          last_along = 0.0;
          continue;
        }
      }
      if (on_leg || back_on_leg || step == kMaxSteps) {
        end.to_go = -along;
        break;
      }
      if (offset >= kStraightAtWaypointOffset) tracking_ = false;
      double desired = 0.0;
      if (tracking_) {
        // LNAV's look-ahead point: the leg's length less the distance to
        // the entry, and the look-ahead, from the leg's start.
        const double ahead = offset > 0.0 && offset <= kNearOffset ? kNearLookAhead : kFarLookAhead;
        desired = std::atan2((ahead - d) * ux_ - x_, (ahead - d) * uy_ - y_) / kDegToRad;
      } else {
        desired = std::atan2(-x_, -y_) / kDegToRad;
      }
      const double err = Wrap180(desired - track_);
      const double sin_track = std::sin(track_ * kDegToRad), cos_track = std::cos(track_ * kDegToRad);
      const double dt = StepTo(d, offset, sin_track, cos_track,
                               std::fabs(bank_) > 0.5 || std::fabs(err) > 1.0 ? kTurningStep : kSettledStep);
      // Along the track held over the step, then the turn.
      const double s = speed_ * dt / 3600.0;
      x_ += s * sin_track;
      y_ += s * cos_track;
      Turn(err, dt);
      end.flown += s;
      last_step = s;
      for (Tracked& t : tracked_) {
        const double n = std::sqrt((x_ - t.x) * (x_ - t.x) + (y_ - t.y) * (y_ - t.y));
        if (n < t.nearest) {
          t.nearest = n;
          Record(end, t.entry, end.flown);
        }
      }
    }
    end.target = w_;
    // On a leg behind its start: the start itself is passed ahead, on the leg.
    if (!end.at_last && w_ > 0) {
      const double leg = r_.placed[static_cast<std::size_t>(w_)].leg;
      if (end.to_go > leg) Record(end, w_ - 1, end.flown + end.to_go - leg);
    }
    return end;
  }

 private:
  struct Tracked {
    int entry;
    double x, y, nearest;
  };

  // The end of the corner a route distance lies within, else the distance itself.
  static double EndOfCornerAt(const Corners& corners, double route) {
    for (const auto& [from, to] : corners)
      if (route > from && route < to - 1e-9) return to;
    return route;
  }

  static void Record(RunEnd& end, int p, double flown) {
    for (auto& [entry, at] : end.abeam)
      if (entry == p) at = flown;
  }

  // An entry passed, whose nearest point is looked for from here on.
  void Track(RunEnd& end, int p, double flown) {
    end.abeam.emplace_back(p, flown);
    double x = 0.0, y = 0.0;
    Local(r_.placed[static_cast<std::size_t>(p)].lat, r_.placed[static_cast<std::size_t>(p)].lon, x, y);
    tracked_.push_back({p, x, y, std::hypot(x_ - x, y_ - y)});
  }

  // The step, shortened to end where the look-ahead distance changes, LNAV
  // turns straight at the waypoint, or the waypoint is passed.
  double StepTo(double d, double offset, double sin_track, double cos_track, double dt) const {
    const double s = speed_ * dt / 3600.0;
    const double nx = x_ + s * sin_track, ny = y_ + s * cos_track;
    const double next_offset = std::fabs(nx * uy_ - ny * ux_);
    double share = 1.0;
    auto cut = [&share](double before, double after, double at) {
      if ((before - at) * (after - at) < 0.0) share = std::min(share, (before - at) / (before - after));
    };
    if (tracking_) {
      cut(offset, next_offset, kNearOffset);
      cut(offset, next_offset, kStraightAtWaypointOffset);
    }
    if (w_ + 1 < static_cast<int>(r_.placed.size()))
      cut(d, std::sqrt(nx * nx + ny * ny), r_.placed[static_cast<std::size_t>(w_)].switch_distance);
    return dt * std::max(share, kLeastStepShare);
  }

  // Aims at placed entry `target` on the leg from (from_lat, from_lon), the
  // aircraft at (lat, lon).
  void Aim(int target, double from_lat, double from_lon, bool tracking, double lat, double lon) {
    w_ = target;
    const Placed& w = r_.placed[static_cast<std::size_t>(w_)];
    // The leg's course where it arrives; from its start when that is not
    // the entry before (LNAV engaged off the route).
    course_in_ = w.course_in;
    if (w_ == 0 || from_lat != r_.placed[static_cast<std::size_t>(w_ - 1)].lat ||
        from_lon != r_.placed[static_cast<std::size_t>(w_ - 1)].lon) {
      if (Distance(from_lat, from_lon, w.lat, w.lon) > 0.0)
        course_in_ = Wrap360(navdb::TrueCourse(w.lat, w.lon, from_lat, from_lon) + 180.0);
    }
    ux_ = std::sin(course_in_ * kDegToRad);
    uy_ = std::cos(course_in_ * kDegToRad);
    leg_course_ = w_ > 0 ? navdb::TrueCourse(from_lat, from_lon, w.lat, w.lon) : course_in_;
    tracking_ = tracking;
    Local(lat, lon, x_, y_);
    for (Tracked& t : tracked_) {
      const Placed& p = r_.placed[static_cast<std::size_t>(t.entry)];
      Local(p.lat, p.lon, t.x, t.y);
    }
  }

  // A place in the frame about the entry aimed at: its distance and course
  // from the entry, so that every great circle through the entry, its legs
  // among them, is a straight line.
  void Local(double lat, double lon, double& x, double& y) const {
    const Placed& w = r_.placed[static_cast<std::size_t>(w_)];
    double d = 0.0, c = 0.0;
    navdb::ComputeDistanceAndBearing(w.lat, w.lon, lat, lon, d, c);
    x = d * std::sin(c * kDegToRad);
    y = d * std::cos(c * kDegToRad);
  }

  void Position(double& lat, double& lon) const {
    const Placed& w = r_.placed[static_cast<std::size_t>(w_)];
    navdb::ProjectPosition(w.lat, w.lon, std::atan2(x_, y_) / kDegToRad, std::sqrt(x_ * x_ + y_ * y_), lat, lon);
  }

  // LNAV passes the entry within its switch distance, or abeam it (behind,
  // within 10 NM) while it is not one of the last two.
  bool Passes(double d) const {
    const Placed& w = r_.placed[static_cast<std::size_t>(w_)];
    if (d < w.switch_distance) return true;
    return d < kAbeamCheckWithin && w.index < r_.last_index - 1 &&
           HeadingDifference(std::atan2(-x_, -y_) / kDegToRad, leg_course_) > 90;
  }

  double RateOf(double bank) const { return std::tan(bank * kDegToRad) * kGravity / v_ / kDegToRad; }
  double BankFor(double rate) const { return std::atan(rate * kDegToRad * v_ / kGravity) / kDegToRad; }

  // The heading hold: toward the heading wanted (`err` degrees off), the
  // short way, leading the roll-out by the heading still turned while the
  // bank comes off.
  void Turn(double err, double dt) {
    const double roll_out = rate_ * (std::fabs(bank_) / kRollRate) / 2.0;
    const double rate = std::clamp((err - roll_out) * kHeadingGain, -kStandardRate, kStandardRate);
    const double bank = std::clamp(BankFor(rate), -max_bank_, max_bank_);
    const double roll = kRollRate * dt;
    bank_ = std::clamp(bank, bank_ - roll, bank_ + roll);
    rate_ = RateOf(bank_);
    track_ = Wrap360(track_ + rate_ * dt);
  }

  const Route& r_;
  double speed_ = 0.0, v_ = 0.0, max_bank_ = 0.0;
  int w_ = 0;
  double ux_ = 0.0, uy_ = 1.0, course_in_ = 0.0, leg_course_ = 0.0;
  bool tracking_ = true;
  double x_ = 0.0, y_ = 0.0, track_ = 0.0, bank_ = 0.0, rate_ = 0.0;  // rate_: of the bank, degrees a second
  std::vector<Tracked> tracked_;
};

// The speed a corner will be flown at, to the knot (a corner ahead is flown
// again only once it has moved by one).
double CornerSpeed(const Placed& p) {
  const State& g = G();
  const double planned = p.planned_speed;
  double v = std::isfinite(planned) ? planned : kUnknownSpeed;
  if (g.GroundSpeedKnots >= kLeastMovingSpeed) {
    // Near enough for a share, and on every corner of every call: flat.
    const double d =
        std::hypot(Wrap180(p.lon - g.PlaneLongitude) * std::cos(p.lat * kDegToRad), p.lat - g.PlaneLatitude) * 60.0;
    const double share = (kPlannedSpeedBeyond - d) / (kPlannedSpeedBeyond - kGroundSpeedWithin);
    const double w = std::isfinite(planned) ? std::clamp(share, 0.0, 1.0) : 1.0;
    v += w * (g.GroundSpeedKnots - v);
  }
  return std::round(std::max(v, kLeastSpeed));
}

bool Near(double a, double b) { return std::fabs(a - b) <= 1e-9; }

}  // namespace

class FlownPathBuilder {
 public:
  FlownPathBuilder(const Route& r, FlownPathMemo& memo) : r_(r), memo_(memo) {}

  // Where the aircraft is on the path: the model flies LNAV on from the
  // aircraft's state until it is on a leg again, past any corner the path
  // cuts there (at once when it is on its leg), and takes the coordinate
  // there less what it flew.
  double AircraftCoordinate(const FlownPath& path) const {
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
    if (!std::isfinite(a.track) || !std::isfinite(a.bank)) a.track = a.bank = 0.0;
    Model model(r, std::max(g.GroundSpeedKnots, kLeastSpeed));
    // Without a track to turn from the aircraft is taken as on its leg.
    const bool moving = g.GroundSpeedKnots >= kLeastMovingSpeed;
    const RunEnd e = model.Run(a, target, from_lat, from_lon, g.LnavLegTracking == 1, {}, !moving, &corners_);
    const Placed& end = r.placed[static_cast<std::size_t>(e.target)];
    if (e.at_last) return path.Entry(end.index) - e.flown;
    return path.AtRoute(end.route - e.to_go) - e.flown;
  }

  void Build(FlownPath& path) {
    const std::size_t n = r_.placed.size();
    const auto size = static_cast<std::size_t>(std::max(r_.last_index + 1, 0));
    path.entry_.assign(size, NAN);
    path.route_.assign(size, NAN);
    path.placed_.clear();
    path.map_route_.clear();
    path.map_flown_.clear();
    corners_.clear();
    for (const Placed& p : r_.placed) {
      path.route_[static_cast<std::size_t>(p.index)] = p.route;
      path.placed_.push_back(p.index);
    }
    if (n == 0) return;
    double route = 0.0, flown = 0.0;
    Corner(path, route, flown);
    path.entry_[static_cast<std::size_t>(r_.placed[0].index)] = 0.0;
    std::size_t k = 1;
    while (k < n) {
      const Placed& p = r_.placed[k];
      if (k + 1 == n) {
        flown += p.route - route;
        route = p.route;
        path.entry_[static_cast<std::size_t>(p.index)] = flown;
        Corner(path, route, flown);
        break;
      }
      const double start = std::max(p.route - p.switch_distance, route);
      flown += start - route;
      route = start;
      Corner(path, route, flown);
      const FlownCorner& c = Piece(static_cast<int>(k), start);
      for (const auto& [entry, at] : c.abeam) path.entry_[static_cast<std::size_t>(entry)] = flown + at;
      if (c.end > route) corners_.emplace_back(route, c.end);
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
      if (!std::isfinite(e)) e = path.AtRoute(path.route_[static_cast<std::size_t>(index)]);
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

  // The corner at placed entry k from route distance `start`: as flown
  // before when that still holds (a corner passed keeps its speed), else
  // flown now.
  const FlownCorner& Piece(int k, double start) {
    const Placed& p = r_.placed[static_cast<std::size_t>(k)];
    FlownCorner& c = memo_.corners[static_cast<std::size_t>(p.index)];
    const bool passed = p.index < Fp().ActiveWaypointIndex;
    const double speed = CornerSpeed(p);
    if (c.start >= 0.0 && Near(c.start, start) && std::fabs(c.switch_distance - p.switch_distance) <= 1e-6 &&
        (passed || c.speed == speed || refly_ <= 0)) {
      return c;
    }
    if (c.start >= 0.0) --refly_;
    const Placed& before = r_.placed[static_cast<std::size_t>(k - 1)];
    Flyer a{};
    navdb::ProjectPosition(p.lat, p.lon, navdb::TrueCourse(p.lat, p.lon, before.lat, before.lon), p.route - start,
                           a.lat, a.lon);
    a.track = p.route - start > 0.0 ? navdb::TrueCourse(a.lat, a.lon, p.lat, p.lon) : p.course_in;
    Model model(r_, speed);
    const RunEnd e = model.Run(a, k + 1, p.lat, p.lon, true, {k});
    c.start = start;
    c.speed = speed;
    c.switch_distance = p.switch_distance;
    const Placed& t = r_.placed[static_cast<std::size_t>(e.target)];
    c.end_leg = t.index;
    c.end = e.at_last ? t.route : t.route - e.to_go;
    c.flown = e.flown;
    c.abeam.clear();
    for (const auto& [pos, at] : e.abeam) c.abeam.emplace_back(r_.placed[static_cast<std::size_t>(pos)].index, at);
    return c;
  }

  const Route& r_;
  FlownPathMemo& memo_;
  Corners corners_;  // route distances each corner cut spans
  // Corners ahead flown again at a new speed on one call, at most: a
  // corner whose speed has moved further waits for a later call.
  int refly_ = kCornersFlownAgainAtOnce;
};

namespace {

FlownPathKey KeyNow(std::uint64_t route) {
  const State& g = G();
  const model::State& m = model::model_state;
  double bits = 0.0;
  static_assert(sizeof bits == sizeof route);
  std::memcpy(&bits, &route, sizeof bits);
  return {bits,
          static_cast<double>(Fp().ActiveWaypointIndex),
          g.PlaneLatitude,
          g.PlaneLongitude,
          g.GroundTrack,
          g.MagneticVariation,
          g.BankAttitude,
          g.GroundSpeedKnots,
          static_cast<double>(g.ActiveLegFromEngagePosition),
          g.LegOriginLatitude,
          g.LegOriginLongitude,
          static_cast<double>(g.LnavLegTracking),
          m.WptChgDist,
          m.WptProcChgDist,
          m.FlyoverWptChgDist};
}

}  // namespace

const FlownPath& FlownPath::Current() {
  FlownPathMemo& memo = G().FlownPathCache;
  const std::uint64_t route = Signature();
  const FlownPathKey key = KeyNow(route);
  // Equal bits, not equal numbers: NaN never compares equal.
  if (memo.worked_out && std::memcmp(key.data(), memo.key.data(), sizeof key) == 0) return memo.path;
  const model::State& m = model::model_state;
  const std::array<double, 3> switching{m.WptChgDist, m.WptProcChgDist, m.FlyoverWptChgDist};
  if (memo.route != route || memo.corners.size() != model::kMaxActivePlanWaypoints + 1) {
    memo.route = route;
    memo.corners.assign(model::kMaxActivePlanWaypoints + 1, FlownCorner{});
    memo.geometry = BuildRoute();
    memo.switching = switching;
  } else if (memo.switching != switching) {
    memo.geometry = BuildRoute();
    memo.switching = switching;
  }
  const Route& r = memo.geometry;
  FlownPathBuilder builder(r, memo);
  builder.Build(memo.path);
  memo.path.active_ = Fp().ActiveWaypointIndex;
  memo.path.aircraft_ = builder.AircraftCoordinate(memo.path);
  memo.key = key;
  memo.worked_out = true;
  return memo.path;
}

double FlownPath::Entry(int index) const {
  if (index < 0 || static_cast<std::size_t>(index) >= entry_.size()) return NAN;
  return entry_[static_cast<std::size_t>(index)];
}

double FlownPath::EntryOrBefore(int index) const {
  for (int i = std::min(index, static_cast<int>(entry_.size()) - 1); i >= 0; --i) {
    const double e = entry_[static_cast<std::size_t>(i)];
    if (std::isfinite(e)) return e;
  }
  return 0.0;
}

double FlownPath::Aircraft() const { return aircraft_; }

double FlownPath::Ahead(int index) const {
  if (index < active_ || !std::isfinite(aircraft_)) return NAN;
  const double e = Entry(index);
  return std::isfinite(e) ? std::max(0.0, e - aircraft_) : NAN;
}

namespace {

// Piecewise-linear through the corners (xs ascending), slope 1 beyond them.
double Interpolate(const std::vector<double>& xs, const std::vector<double>& ys, double x) {
  if (xs.empty() || !std::isfinite(x)) return x;
  if (x <= xs.front()) return ys.front() + (x - xs.front());
  if (x >= xs.back()) return ys.back() + (x - xs.back());
  const auto hi = static_cast<std::size_t>(std::upper_bound(xs.begin(), xs.end(), x) - xs.begin());
  const std::size_t lo = hi - 1;
  const double span = xs[hi] - xs[lo];
  return span > 0.0 ? ys[lo] + (ys[hi] - ys[lo]) * (x - xs[lo]) / span : ys[hi];
}

}  // namespace

double FlownPath::AtRoute(double route) const { return Interpolate(map_route_, map_flown_, route); }

double FlownPath::RouteAt(double flown) const { return Interpolate(map_flown_, map_route_, flown); }

double FlownPath::RouteTo(int index) const {
  if (index < 0 || static_cast<std::size_t>(index) >= route_.size()) return NAN;
  return route_[static_cast<std::size_t>(index)];
}

bool FlownPath::PositionAt(double route, double& lat, double& lon, int& leg_start) const {
  if (placed_.size() < 2 || !std::isfinite(route)) return false;
  std::size_t k = 1;
  while (k + 1 < placed_.size() && route_[static_cast<std::size_t>(placed_[k])] < route) ++k;
  const model::FlightPlanWaypoint& a = Fp().ActiveFlightPlan[placed_[k - 1]];
  const model::FlightPlanWaypoint& b = Fp().ActiveFlightPlan[placed_[k]];
  navdb::ProjectPosition(b.latitude, b.longitude, navdb::TrueCourse(b.latitude, b.longitude, a.latitude, a.longitude),
                         route_[static_cast<std::size_t>(placed_[k])] - route, lat, lon);
  leg_start = placed_[k - 1];
  return true;
}

double FlownPath::AtPoint(int from, double lat, double lon) const {
  if (placed_.empty()) return NAN;
  // The walk starts at `from`, or the entry placed before a marker there.
  std::size_t first = placed_.size();
  while (first > 0 && placed_[first - 1] > from) --first;
  // A point on a leg (every TOC and TOD placed on the route is) lies on the
  // leg the two distances to its ends add up to: the first leg merely
  // within reach of it took a top of descent near BTG for one on the
  // approach into KPDX, 10 NM from it, and the path's span shrank to
  // nothing. Off every leg, the first leg within reach.
  for (const bool on_leg : {true, false}) {
    for (std::size_t k = first; k > 1; --k) {
      const model::FlightPlanWaypoint& w = Fp().ActiveFlightPlan[placed_[k - 1]];
      const model::FlightPlanWaypoint& v = Fp().ActiveFlightPlan[placed_[k - 2]];
      const double here = route_[static_cast<std::size_t>(placed_[k - 1])];
      const double leg = here - route_[static_cast<std::size_t>(placed_[k - 2])];
      const double to = Distance(w.latitude, w.longitude, lat, lon);
      if (to > leg) continue;
      if (!on_leg || Distance(v.latitude, v.longitude, lat, lon) + to <= leg + kOnLegSlack) return AtRoute(here - to);
    }
  }
  return 0.0;
}

}  // namespace ovi::guidance
