// Finding points and distances on the path flown (FlownPath): the
// coordinates of the entries and the aircraft, the map between coordinates
// and route distances, and positions from either. The path itself is built
// and kept in flown_path.cpp.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <vector>

#include "src/flightplan/state.h"
#include "src/guidance/flown_path.h"
#include "src/guidance/lateral.h"
#include "src/guidance/lnav_turn_model.h"
#include "src/guidance/state.h"
#include "src/navdb/navdb.h"

namespace ovi::guidance {

namespace {

constexpr double kDegToRad = 3.14159265358979323846 / 180.0;
// A point of the route lies on a leg this close to its great circle (the
// plan places its marks on them); one off every leg takes the nearest
// line within the second.
constexpr double kOnLegNm = 0.01, kNearLegNm = kJoiningOffLegNm;

const State& G() { return guidance_state; }
const flightplan::State& Fp() { return flightplan::flightplan_state; }

double Distance(double lat1, double lon1, double lat2, double lon2) {
  double d = 0.0, c = 0.0;
  navdb::ComputeDistanceAndBearing(lat1, lon1, lat2, lon2, d, c);
  return d;
}

}  // namespace

void FlownPath::LegStart(std::size_t k, double& lat, double& lon) const {
  const model::FlightPlanWaypoint& a = Fp().ActiveFlightPlan[placed_[k - 1]];
  const model::FlightPlanWaypoint& b = Fp().ActiveFlightPlan[placed_[k]];
  lat = a.latitude;
  lon = a.longitude;
  // The leg into a direct-to's start was never flown (it runs back over the
  // waypoints skipped, which lie ahead): the aircraft came along the
  // direct-to's leg, and a point behind it (a top of descent passed) lies
  // behind the aircraft, not ahead on its way.
  if (!BeginsDirectTo(b) || k + 1 >= placed_.size()) return;
  const model::FlightPlanWaypoint& c = Fp().ActiveFlightPlan[placed_[k + 1]];
  const double back = navdb::TrueCourse(b.latitude, b.longitude, c.latitude, c.longitude) + 180.0;
  const double leg = route_[static_cast<std::size_t>(placed_[k])] - route_[static_cast<std::size_t>(placed_[k - 1])];
  navdb::ProjectPosition(b.latitude, b.longitude, back, leg, lat, lon);
}

double FlownPath::Entry(int index) const {
  if (index < 0 || static_cast<std::size_t>(index) >= entry_.size()) return NAN;
  return entry_[static_cast<std::size_t>(index)];
}

double FlownPath::Passed(int index) const {
  if (index < 0 || static_cast<std::size_t>(index) >= passed_.size()) return NAN;
  return passed_[static_cast<std::size_t>(index)];
}

double FlownPath::Sequenced(int index) const {
  const double own = Passed(index);
  if (std::isfinite(own) || index < 0 || static_cast<std::size_t>(index) >= sequenced_.size()) return own;
  return sequenced_[static_cast<std::size_t>(index)];
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

double FlownPath::Nearest(int index) const {
  if (index >= active_ && std::isfinite(aircraft_))
    for (const auto& [entry, at] : own_way_nearest_)
      if (entry == index) return at;
  return Ahead(index);
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

double FlownPath::CoordinateFromRouteDistance(double route) const { return Interpolate(map_route_, map_flown_, route); }

double FlownPath::RouteDistanceFromCoordinate(double flown) const { return Interpolate(map_flown_, map_route_, flown); }

bool FlownPath::CornerWay(double flown, double& east, double& north) const {
  if (corner_turns_.empty() || !(flown > corner_turns_.front().from)) return false;
  auto turn = std::upper_bound(corner_turns_.begin(), corner_turns_.end(), flown,
                               [](double at, const CornerTurn& c) { return at < c.from; });
  --turn;
  if (!(flown < turn->to)) return false;
  const std::vector<TrackFlown>& steps = *turn->steps;
  const double in = flown - turn->from;
  auto step = std::lower_bound(steps.begin(), steps.end(), in, [](const TrackFlown& t, double at) { return t.flown < at; });
  if (step == steps.end()) return false;
  east = step->east;
  north = step->north;
  return true;
}

double FlownPath::CornerTrack(double flown) const {
  double east = 0.0, north = 0.0;
  return CornerWay(flown, east, north) ? Wrap360(std::atan2(east, north) / kDegToRad) : NAN;
}

double FlownPath::RouteTo(int index) const {
  if (index < 0 || static_cast<std::size_t>(index) >= route_.size()) return NAN;
  return route_[static_cast<std::size_t>(index)];
}

bool FlownPath::PositionFromRouteDistance(double route, double& lat, double& lon, int& leg_start) const {
  if (placed_.size() < 2 || !std::isfinite(route)) return false;
  std::size_t k = 1;
  while (k + 1 < placed_.size() && route_[static_cast<std::size_t>(placed_[k])] < route) ++k;
  double a_lat = 0.0, a_lon = 0.0;
  LegStart(k, a_lat, a_lon);
  const model::FlightPlanWaypoint& b = Fp().ActiveFlightPlan[placed_[k]];
  navdb::ProjectPosition(b.latitude, b.longitude, navdb::TrueCourse(b.latitude, b.longitude, a_lat, a_lon),
                         route_[static_cast<std::size_t>(placed_[k])] - route, lat, lon);
  leg_start = placed_[k - 1];
  return true;
}

namespace {

// A point against the great circle from a to b: NM off it (either side)
// and along it from a (negative before a).
LegOffset Against(double a_lat, double a_lon, double b_lat, double b_lon, double lat, double lon) {
  LegOffset at = OffsetFromLeg(a_lat, a_lon, b_lat, b_lon, lat, lon);
  at.off = std::fabs(at.off);
  return at;
}

}  // namespace

bool FlownPath::Joining(Way& w) const {
  const double to = Entry(active_);
  if (!std::isfinite(aircraft_) || !std::isfinite(to) || !(to > aircraft_) || active_ < 1) return false;
  // Asked several times a pass, for the same aircraft.
  const State& g = G();
  const std::array<double, 5> key{aircraft_, g.PlaneLatitude, g.PlaneLongitude, static_cast<double>(active_), joined_};
  if (joining_known_ && std::memcmp(key.data(), joining_key_.data(), sizeof key) == 0) {
    w = joining_way_;
    return joining_;
  }
  joining_known_ = true;
  joining_key_ = key;
  joining_ = false;
  const model::FlightPlanWaypoint& a = Fp().ActiveFlightPlan[active_];
  w = Way{a.latitude, a.longitude, a.latitude, a.longitude, to, 0.0, to - aircraft_, 0.0, 0.0};
  w.straight = Distance(w.wp_lat, w.wp_lon, g.PlaneLatitude, g.PlaneLongitude);
  joining_way_ = w;
  if (!(w.straight > 0.0)) return false;
  // Off its leg: the leg from the placed entry before the active one.
  int from = active_ - 1;
  while (from > 0 && !std::isfinite(Entry(from))) --from;
  const model::FlightPlanWaypoint& f = Fp().ActiveFlightPlan[from];
  const LegOffset at = Against(f.latitude, f.longitude, w.wp_lat, w.wp_lon, g.PlaneLatitude, g.PlaneLongitude);
  joining_ = at.off > kJoiningOffLegNm || at.along < -kJoiningOffLegNm;
  // The turn and the intercept come first: all the miles they add lie
  // before the point the way meets the leg (the leg LNAV steers onto, from
  // where a direct-to began too). Spread over the whole way to the
  // waypoint instead, a top of climb placed 74 NM ahead right after a
  // direct-to that turned the aircraft round stood 4 NM farther on once
  // it was on its leg, and VNAV eased its climb to it.
  double start_lat = 0.0, start_lon = 0.0;
  if (joining_ && joined_ > aircraft_ && joined_ < to && ActiveLegStart(start_lat, start_lon)) {
    const double tail = RouteTo(active_) - RouteDistanceFromCoordinate(joined_);
    double leg = 0.0, course = 0.0;
    navdb::ComputeDistanceAndBearing(w.wp_lat, w.wp_lon, start_lat, start_lon, leg, course);
    if (tail > 0.0 && tail < leg) {
      w.tail = tail;
      w.course = course;
      navdb::ProjectPosition(w.wp_lat, w.wp_lon, w.course, tail, w.meet_lat, w.meet_lon);
      w.meet_at = joined_;
      w.flown = joined_ - aircraft_;
      w.straight = Distance(w.meet_lat, w.meet_lon, g.PlaneLatitude, g.PlaneLongitude);
    }
  }
  joining_ = joining_ && w.straight > 0.0 && w.flown > 0.0;
  joining_way_ = w;
  return joining_;
}

bool FlownPath::PositionFromCoordinate(double flown, double& lat, double& lon, int& leg_start) const {
  Way w{};
  if (flown >= aircraft_ && flown < Entry(active_) && Joining(w)) {
    const State& g = G();
    if (flown >= w.meet_at) {
      navdb::ProjectPosition(w.wp_lat, w.wp_lon, w.course,
                             std::max(0.0, RouteTo(active_) - RouteDistanceFromCoordinate(flown)), lat, lon);
    } else {
      navdb::ProjectPosition(w.meet_lat, w.meet_lon,
                             navdb::TrueCourse(w.meet_lat, w.meet_lon, g.PlaneLatitude, g.PlaneLongitude),
                             (w.meet_at - flown) * w.straight / w.flown, lat, lon);
    }
    leg_start = active_ - 1;
    while (leg_start > 0 && !std::isfinite(Entry(leg_start))) --leg_start;
    return true;
  }
  return PositionFromRouteDistance(RouteDistanceFromCoordinate(flown), lat, lon, leg_start);
}

double FlownPath::CoordinateFromPosition(int from, double lat, double lon) const {
  if (placed_.empty()) return NAN;
  // The leg the point lies on (a point the plan placed lies on its great
  // circle), walking back from `from`, else the aircraft's way to the
  // active waypoint while it joins its leg (PositionFromCoordinate);
  // failing both, the line nearest it within kNearLegNm. A far end within the leg's length
  // of the point is only the last resort: a route that turns back runs
  // close to its first legs again, and that rule found a top of climb on
  // the first leg on the last one (the distance to it read 340 NM where 77
  // were flown).
  double best = HUGE_VAL, best_at = NAN;
  bool behind = false;
  Way w{};
  if (from >= active_ && Joining(w)) {
    const State& g = G();
    const LegOffset at = Against(w.meet_lat, w.meet_lon, g.PlaneLatitude, g.PlaneLongitude, lat, lon);
    // Behind the aircraft too: a TOD it has passed on its way still times
    // the descent from there. Only the way ahead is stretched to the path
    // (the turn still to fly, the corner's cut): a point behind lies back
    // by the miles straight to it. Stretched with the rest, a TOD passed
    // 16 NM back crept 2.2 NM on as the way's ratio fell toward the
    // corner, and VNAV's path rose to 550 ft above an aircraft that had
    // kept to it, which eased off toward it.
    // The way's line runs on behind the aircraft without end, though, and
    // on a route that turns back it crosses the legs still ahead: a point
    // the plan placed on one of them (a point on a leg lies on its great
    // circle) is on that leg, not passed. Once a pass, the aircraft's way
    // to WP04 lined up with a TOD on the last leg, which read 127 NM behind
    // it where it lay 216 NM ahead, and the descent began there.
    if (at.along >= -kOnLegNm) {
      best = at.off;
      behind = at.along > w.straight;
      best_at = !behind ? w.meet_at - at.along * w.flown / w.straight
                        : aircraft_ - Distance(g.PlaneLatitude, g.PlaneLongitude, lat, lon);
    }
    // Along the leg from where the way meets it.
    if (w.tail > 0.0 && best > kOnLegNm) {
      const LegOffset on = Against(w.wp_lat, w.wp_lon, w.meet_lat, w.meet_lon, lat, lon);
      if (on.along >= -kOnLegNm && on.along <= w.tail + kOnLegNm && on.off < best) {
        best = on.off;
        best_at = CoordinateFromRouteDistance(RouteTo(active_) - on.along);
      }
    }
  }
  // On the aircraft's way ahead of it: no leg is walked.
  if (best <= kOnLegNm && !behind) return best_at;
  // The walk along the legs does not depend on the aircraft, only on the
  // path and the point: kept until the path is built again, and the way
  // the aircraft joins its leg on weighed against it on every look.
  const LegsFound* legs = nullptr;
  for (std::size_t i = 0; i < found_count_ && legs == nullptr; ++i) {
    const FoundPoint& f = found_[i];
    if (f.from == from && f.lat == lat && f.lon == lon) legs = &f.legs;
  }
  if (legs == nullptr) {
    found_[found_next_] = FoundPoint{from, lat, lon, WalkTheLegs(from, lat, lon)};
    legs = &found_[found_next_].legs;
    found_next_ = (found_next_ + 1) % found_.size();
    found_count_ = std::min(found_count_ + 1, found_.size());
  }
  if (legs->best < best || (behind && legs->best <= kOnLegNm)) {
    best = legs->best;
    best_at = legs->best_at;
  }
  if (best <= kNearLegNm) return best_at;
  return std::isnan(legs->near) ? 0.0 : legs->near;
}

FlownPath::LegsFound FlownPath::WalkTheLegs(int from, double lat, double lon) const {
  LegsFound found{HUGE_VAL, NAN, NAN};
  std::size_t k = placed_.size();
  while (k > 0 && placed_[k - 1] > from) --k;
  for (; k > 1 && found.best > kOnLegNm; --k) {
    double a_lat = 0.0, a_lon = 0.0;
    LegStart(k - 1, a_lat, a_lon);
    const model::FlightPlanWaypoint& b = Fp().ActiveFlightPlan[placed_[k - 1]];
    const double here = route_[static_cast<std::size_t>(placed_[k - 1])];
    const double leg = here - route_[static_cast<std::size_t>(placed_[k - 2])];
    const double to = Distance(b.latitude, b.longitude, lat, lon);
    if (to > leg + kNearLegNm) continue;
    if (std::isnan(found.near) && to <= leg) found.near = CoordinateFromRouteDistance(here - to);
    const LegOffset at = Against(a_lat, a_lon, b.latitude, b.longitude, lat, lon);
    if (at.off < found.best && at.along >= -kOnLegNm && at.along <= leg + kOnLegNm) {
      found.best = at.off;
      found.best_at = CoordinateFromRouteDistance(here - leg + std::clamp(at.along, 0.0, leg));
    }
  }
  return found;
}

}  // namespace ovi::guidance
