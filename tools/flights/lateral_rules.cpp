// The lateral rules: each leg flown within 1.0 NM from a minute after the
// roll-out to the next turn (0.3 NM in a steady wind once captured), no
// turn past its new course by more than 10 degrees, a direct-to on its
// line from where it was begun.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

#include "tools/flights/rule_kit.h"

namespace ovi::flights {

namespace {

constexpr double kDeg = 0.017453292519943295;
using Vec = std::array<double, 3>;

Vec ToVec(const Position& p) {
  return {std::cos(p.lat * kDeg) * std::cos(p.lon * kDeg), std::cos(p.lat * kDeg) * std::sin(p.lon * kDeg),
          std::sin(p.lat * kDeg)};
}
Position ToPosition(const Vec& v) {
  return {std::atan2(v[2], std::hypot(v[0], v[1])) / kDeg, std::atan2(v[1], v[0]) / kDeg};
}
Vec Cross(const Vec& a, const Vec& b) {
  return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
double Dot(const Vec& a, const Vec& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
Vec Unit(const Vec& a) {
  const double n = std::sqrt(Dot(a, a));
  return n > 0.0 ? Vec{a[0] / n, a[1] / n, a[2] / n} : a;
}
double Wrap180(double d) { return std::remainder(d, 360.0); }

std::string Format(const char* format, double value) {
  char text[64];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

// A leg's great circle from `from` to `to`.
struct Leg {
  std::string from_id, to_id;
  Position from, to;
  bool known = false, direct = false, after_turn = false;
  double start = 0.0, end = 0.0;  // active from, to
};

// NM from the leg (the nearer end where the point is off either end), and
// the leg's course (degrees true) at the point abeam.
double OffLeg(const Leg& leg, const Position& p, double* course = nullptr) {
  const Vec a = ToVec(leg.from), b = ToVec(leg.to), v = ToVec(p);
  const Vec n = Unit(Cross(a, b));
  const double side = Dot(v, n);
  Vec q = Unit({v[0] - side * n[0], v[1] - side * n[1], v[2] - side * n[2]});
  const double length = std::acos(std::clamp(Dot(a, b), -1.0, 1.0));
  const double along = std::atan2(Dot(Cross(a, q), n), Dot(a, q));
  double off = std::fabs(std::asin(std::clamp(side, -1.0, 1.0))) / kDeg * 60.0;
  if (along < 0.0 || along > length) {
    off = std::min(DistanceNm(p, leg.from), DistanceNm(p, leg.to));
    q = along < 0.0 ? a : b;
  }
  if (course != nullptr) {
    const Position at = ToPosition(q);
    *course = DistanceNm(at, leg.to) > 0.05 ? CourseDeg(at, leg.to) : CourseDeg(leg.from, leg.to);
  }
  return off;
}

bool IsMarker(const std::string& ident) {
  for (const char* m : {"DISCO", "THEN", "------", "---", "******"})
    if (ident == m) return true;
  return false;
}

// The legs flown, from the flight record: a route taken (its active
// waypoint), each waypoint passed, the direct-tos of the scenario.
std::vector<Leg> Legs(const RuleKit& k) {
  const FlightRecord& f = k.f_;
  std::vector<Leg> legs;
  std::vector<std::string> route;
  std::size_t active = 0;
  auto open = [&](double t, bool direct, bool after_turn) {
    if (!legs.empty() && legs.back().end < 0.0) legs.back().end = t;
    if (active == 0 || active >= route.size()) return;
    Leg leg;
    leg.from_id = route[active - 1];
    leg.to_id = route[active];
    leg.start = t;
    leg.end = -1.0;
    leg.direct = direct || leg.from_id == "DIRECT";
    leg.after_turn = after_turn;
    Position to;
    leg.known = !IsMarker(leg.to_id) && k.Where(leg.to_id, to);
    leg.to = to;
    if (leg.direct) {
      leg.from = {k.At(t).lat, k.At(t).lon};
    } else {
      leg.known = leg.known && !IsMarker(leg.from_id) && k.Where(leg.from_id, leg.from, &to);
    }
    legs.push_back(leg);
  };
  std::size_t next_route = 0;
  for (const std::string& e : f.events) {
    const double t = std::atof(e.c_str());
    if (next_route < f.routes.size() && std::fabs(f.routes[next_route].t - t) < 1e-6 &&
        e.find(" route ") != std::string::npos) {
      const RouteRecord& r = f.routes[next_route++];
      route = r.idents;
      active = 0;
      for (std::size_t i = 1; i < route.size() && active == 0; ++i)
        if (route[i] == r.active && route[i - 1] == "DIRECT") active = i;
      for (std::size_t i = 1; i < route.size() && active == 0; ++i)
        if (route[i] == r.active) active = i;
      bool direct = false;
      for (double d : f.directs) direct = direct || std::fabs(d - t) < 10.0;
      // The same leg on: an edit elsewhere on the route.
      if (!legs.empty() && legs.back().end < 0.0 && active > 0 && legs.back().to_id == route[active] &&
          legs.back().from_id == route[active - 1] && !direct)
        continue;
      open(t, direct, false);
    } else if (const std::size_t at = e.find(" passed "); at != std::string::npos && !route.empty()) {
      const std::string ident = e.substr(at + 8, e.find(" at ", at) - at - 8);
      if (active < route.size() && route[active] == ident) {
        ++active;
        open(t, false, true);
      }
    }
  }
  if (!legs.empty() && legs.back().end < 0.0) legs.back().end = f.track.back().t;
  return legs;
}

// The first time from `t` on when the track holds within half a degree a
// second for ten seconds: the aircraft has rolled out.
double RollOut(const RuleKit& k, double t, double until) {
  const auto& track = k.f_.track;
  for (std::size_t i = 0; i < track.size(); ++i) {
    if (track[i].t < t) continue;
    if (track[i].t > until) break;
    bool steady = true;
    for (std::size_t j = i + 1; j < track.size() && j <= i + 10 && steady; ++j)
      steady = std::fabs(Wrap180(track[j].track - track[j - 1].track)) <= 0.5 * (track[j].t - track[j - 1].t) + 1e-9;
    if (steady) return track[i].t;
  }
  return NAN;
}

// The time the aircraft has flown `nm` over the ground from `t` (past the
// end of the track: never).
double FlownBy(const RuleKit& k, double t, double nm) {
  const double from = k.At(t).flown;
  for (const Sample& s : k.f_.track)
    if (s.t >= t && s.flown - from >= nm) return s.t;
  return HUGE_VAL;
}

// A capture takes LNAV the same distance along its leg at any speed: it
// closes on a look-ahead point miles ahead. At 50 kt over the ground (into
// 100-150 kt of wind) the minute after the roll-out is under a mile, and
// the aircraft is still closing, 0.3-0.6 NM off, as the rule's windows in
// seconds end. So each window lasts at least as far as a minute at 300 kt
// carries the aircraft.
constexpr double kMinuteFlownNm = 5.0;

bool Flown(const RuleKit& k, const Sample& s) { return !s.on_ground && !s.approach && k.LnavOn(s.t); }

void CheckLegs(RuleKit& k, const std::vector<Leg>& legs) {
  double hold_from = 0.0, hold_left = -1.0;
  if (!k.HoldFlown(hold_from, hold_left, true)) hold_left = -1.0;
  for (const Leg& leg : legs) {
    if (!leg.known || DistanceNm(leg.from, leg.to) < 0.5) continue;
    // From LNAV's engagement on this leg, the turn onto it and a minute
    // after; and the time to close the distance the turn left at 30 degrees
    // (each no shorter than the distance flown at 300 kt).
    double base = leg.start;
    for (const Sample& s : k.f_.track) {
      if (s.t < leg.start) continue;
      if (s.t > leg.end) break;
      if (Flown(k, s)) {
        base = s.t;
        break;
      }
    }
    double end = leg.end;
    for (const Sample& s : k.f_.track) {
      if (s.t < base) continue;
      if (s.t > end) break;
      if (!Flown(k, s) || DistanceNm({s.lat, s.lon}, leg.to) < 3.0) {
        end = s.t;
        break;
      }
    }
    const double rolled = RollOut(k, base, end);
    if (std::isnan(rolled)) continue;
    const Sample& r = k.At(rolled);
    const double left = OffLeg(leg, {r.lat, r.lon});
    const double start = std::max(rolled + 60.0 + 7200.0 * left / std::max(r.gs, 100.0),
                                  FlownBy(k, rolled, kMinuteFlownNm + 2.0 * left));
    const double settled = std::max(start + 60.0, FlownBy(k, start, kMinuteFlownNm));
    bool steady = true;
    for (double w : k.f_.wind_changes) steady = steady && !(w > rolled - 60.0 && w < end);
    const Sample* worst = nullptr;
    double worst_off = 0.0, worst_bound = 0.0;
    for (const Sample& s : k.f_.track) {
      if (s.t < start) continue;
      if (s.t >= end) break;
      if (hold_left > 0.0 && s.t > hold_from - 120.0 && s.t < hold_left) continue;
      const double off = OffLeg(leg, {s.lat, s.lon});
      const double bound = leg.direct || !steady || s.t < settled ? 1.0 : 0.3;
      if (off - bound > worst_off - worst_bound) worst = &s, worst_off = off, worst_bound = bound;
    }
    if (worst == nullptr || worst_off <= worst_bound) continue;
    const std::string name = leg.direct ? "direct-to " + leg.to_id + Format(" at %.0f s", leg.start)
                                        : leg.from_id + "-" + leg.to_id;
    k.Object(leg.direct ? "direct" : "leg", "%s: %.2f NM off at %.0f s (bound %.1f NM%s), %.0f kt over the ground",
             name.c_str(), worst_off, worst->t, worst_bound, worst_bound < 1.0 ? " in a steady wind" : "", worst->gs);
  }
}

// No turn at a waypoint takes the track more than 10 degrees past the new
// course: the turn from the track flown as the waypoint is passed (not the
// leg before, which a waypoint sequenced early was never flown along) to
// the new leg's course there (fly-over fixes turn after the fix and join
// from beyond it).
void CheckTurns(RuleKit& k, const std::vector<Leg>& legs) {
  double hold_from = 0.0, hold_left = -1.0;
  if (!k.HoldFlown(hold_from, hold_left, true)) hold_left = -1.0;
  for (const Leg& out : legs) {
    if (!out.after_turn || !out.known || out.direct) continue;
    if (out.from_id == k.f_.hold_fix || k.f_.flyover.count(out.from_id) != 0) continue;
    // A turn LNAV flies: engaged as the waypoint is passed, in the air.
    const Sample& at = k.At(out.start);
    if (!Flown(k, at)) continue;
    // From a steady track: a waypoint passed in a turn (out of a hold, or
    // one sequenced early) gives no course to turn from.
    if (std::fabs(Wrap180(at.track - k.At(out.start - 20.0).track)) > 5.0) continue;
    double new_course = 0.0;
    OffLeg(out, {at.lat, at.lon}, &new_course);
    const double turn = Wrap180(new_course - at.track);
    if (std::fabs(turn) < 5.0) continue;
    const double side = turn > 0.0 ? 1.0 : -1.0;
    const Sample* worst = nullptr;
    double past = 0.0;
    // The turn and its roll-out, to the next turn or a hold at the leg's end.
    for (const Sample& s : k.f_.track) {
      if (s.t < out.start) continue;
      if (s.t > std::min(out.end, out.start + 300.0) || DistanceNm({s.lat, s.lon}, out.to) < 3.0 ||
          (hold_left > 0.0 && s.t > hold_from - 60.0 && s.t < hold_left))
        break;
      if (!Flown(k, s) || s.gs < 50.0) continue;
      double course = 0.0;
      OffLeg(out, {s.lat, s.lon}, &course);
      const double beyond = side * Wrap180(s.track - course);
      if (beyond > past) past = beyond, worst = &s;
    }
    if (worst == nullptr || past <= 10.0) continue;
    k.Object("turn", "%s (%.0f degrees %s) at %.0f s: the track %.0f degrees past the new course at %.0f s, %.0f kt",
             out.from_id.c_str(), std::fabs(turn), side > 0 ? "right" : "left", out.start, past, worst->t, worst->gs);
  }
}

}  // namespace

void CheckLateral(RuleKit& k) {
  const std::vector<Leg> legs = Legs(k);
  CheckLegs(k, legs);
  CheckTurns(k, legs);
}

}  // namespace ovi::flights
