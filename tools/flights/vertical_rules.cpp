// The vertical rules: the path the pages promised, holds level, the cruise
// level and the pilot's constraints kept, the descent resumed, nothing
// below the last altitude known, and the flight's end.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <set>
#include <string>

#include "tools/flights/rule_kit.h"

namespace ovi::flights {

namespace {

// A route taken or cut after `from` and by `to` that makes a waypoint after
// `ident` active before `ident` is passed, or leaves `ident` out of the
// route it was in: a direct-to left it behind, and a constraint there with
// it (the aircraft may still fly near it). The CDU's direct-to takes the
// waypoints it skips out of the route: BOWRY's 12,800 was read where the
// aircraft, on its way to NISQU, flew past it at 15,228 ft.
bool SkippedBetween(const RuleKit& k, const std::string& ident, double from, double to) {
  const double passed = k.EventTime("passed " + ident);
  bool was_in = false;
  for (const RouteRecord& r : k.f_.routes) {
    const auto at = std::find(r.idents.begin(), r.idents.end(), ident);
    const bool in = at != r.idents.end(), dropped = was_in && !in;
    was_in = in;
    if (r.t <= from || r.t > to || r.active.empty() || passed <= r.t) continue;
    if (dropped || (in && std::find(at + 1, r.idents.end(), r.active) != r.idents.end())) return true;
  }
  return false;
}

// Within 300 ft of the plan at every waypoint of the descent (after the
// aircraft's own top of descent, planned below its highest level) and at
// every constraint the aircraft meets, where it passes nearest while VNAV
// flies; no faster than a constraint's speed + 5 kt.
void CheckPath(RuleKit& k) {
  double peak_t = 0.0, peak = -1e9;
  for (const Sample& s : k.f_.track)
    if (s.alt > peak + 1.0) peak = s.alt, peak_t = s.t;
  const double tod = k.DescentStart(peak_t);
  const std::vector<std::string>& route = k.Route();
  double from = 0.0;
  double hold_from = 0.0, hold_left = -1.0;
  if (!k.HoldFlown(hold_from, hold_left)) hold_left = -1.0;
  for (std::size_t i = 1; i + 1 < route.size(); ++i) {
    const Sample* s = nullptr;
    from = k.CrossInOrder(route[i], from, s);
    if (s == nullptr) continue;
    if (!k.VnavOn(s->t, true) || s->approach || SkippedBetween(k, route[i], 0.0, s->t)) continue;
    bool constraint = false;
    double speed = NAN;
    // Past a hold, what the pages showed once it was left: read in the
    // racetrack, they do not count the hold. A prediction read before the
    // plan last changed (the pilot's edit, a direct-to, a new wind) is not
    // the plan flown after it: the predictions are worked out again for the
    // plan VNAV flies. A constraint stands as the pilot entered it.
    const double since = hold_left > 0.0 && s->t > hold_left ? hold_left : -HUGE_VAL;
    double planned = k.Planned(route[i], s->t, constraint, &speed, std::max(since, k.LastChangeBy(s->t)));
    if (std::isnan(planned)) {
      planned = k.Planned(route[i], s->t, constraint, &speed, since);
      if (!constraint) continue;
    }
    if (std::isnan(planned) || !(constraint || (s->t > tod && planned < peak - 150.0))) continue;
    double short_of = 0.0;
    const Sample* passed = constraint ? nullptr : k.PassedEarlyWithoutLnav(route[i], *s, short_of);
    if (passed != nullptr) {
      // Short of the waypoint the path lies above its altitude: below it
      // there already, the aircraft is below the path.
      if (passed->alt < planned - 300.0)
        k.Object("path", "%s passed at %.0f s, %.1f NM short of it: %.0f ft, the plan %.0f", route[i].c_str(),
                 passed->t, short_of, passed->alt, planned);
      continue;
    }
    if (!constraint && k.OnTheWayToLevel(*s, planned)) continue;
    if (std::fabs(s->alt - planned) > 300.0 && !(constraint && s->alt < planned && CappedByCruiseLevel(k, planned, s->t)))
      k.Object("path", "%s at %.0f s: %.0f ft, the plan %.0f", route[i].c_str(), s->t, s->alt, planned);
    if (s->ias > speed + 5.0)
      k.Object("path", "%s at %.0f s: %.0f kt, the constraint %.0f", route[i].c_str(), s->t, s->ias, speed);
  }
}

// Round the racetrack at one level (within 50 ft from a minute after the
// fix, or from when the aircraft levels there where it reached the fix
// climbing or descending to the hold's level), the plan's at its fix
// (within 300 ft).
void CheckHold(RuleKit& k) {
  const std::string& fix = k.f_.hold_fix;
  if (fix.empty()) return;
  double first = 0.0, left = 0.0;
  if (!k.HoldFlown(first, left)) {
    if (k.f_.hold_required) k.Object("hold", "no hold at %s", fix.c_str());
    return;
  }
  // The plan at the fix as the pages last showed it before the hold, since
  // the plan last changed: a new wind has the predictions worked out again.
  bool unused = false;
  const double planned = k.Planned(fix, first, unused, nullptr, k.LastChangeBy(first));
  const double until = std::min(left, k.f_.hold_until);
  double level = first + 60.0;
  for (const Sample& s : k.f_.track) {
    if (s.t < first || s.t > until) continue;
    if (std::fabs(s.vs) < 100.0 && std::fabs(k.At(s.t + 30.0).alt - s.alt) < 50.0) {
      level = std::max(level, s.t);
      break;
    }
  }
  double low = 1e9, high = -1e9;
  for (const Sample& s : k.f_.track) {
    if (s.t < level || s.t > until) continue;
    low = std::min(low, s.alt);
    high = std::max(high, s.alt);
  }
  if (high < low) return k.Object("hold", "%s left within a minute of the fix", fix.c_str());
  if (high - low > 50.0) k.Object("hold", "%s flown from %.0f to %.0f ft", fix.c_str(), low, high);
  if (!std::isnan(planned) && !(std::fabs(high - planned) <= 300.0))
    k.Object("hold", "%s flown at %.0f ft, the plan %.0f", fix.c_str(), high, planned);
}

// The waypoint whose RTE LEGS row, in the first listing read after the
// pilot typed a constraint, shows its figures as a constraint.
std::string ConstraintWaypoint(const RuleKit& k, const TypedConstraint& c) {
  double listing = NAN;
  for (const Reading& r : k.f_.readings) {
    if (r.t < c.t || FindText(r.cdu, "RTE    LEGS") == nullptr) continue;
    if (std::isnan(listing)) listing = r.t;
    if (r.t > listing + 3.0) break;
    for (const LegsLine& line : LegsLines(r)) {
      if (!line.constraint || std::fabs(line.altitude - std::floor(c.altitude / 100.0) * 100.0) > 1.0) continue;
      if (c.speed > 0.0 && !(std::fabs(line.speed - c.speed) < 0.5)) continue;
      return line.ident;
    }
  }
  return "";
}

// A cruise level the pages show after `from` and by `to` below `feet`: the
// pilot's own level, entered after a constraint above it, caps the climb
// there (10,000 ft entered in the climb under 14000A at the next waypoint).
bool LevelBelowAfter(const RuleKit& k, double feet, double from, double to) {
  for (const Reading& r : k.f_.readings) {
    if (r.t <= from || r.t > to) continue;
    for (const Shown& shown : CruiseLevels(r))
      if (shown.feet < feet) return true;
  }
  return false;
}

// Seconds level at the top after which a descent to a constraint is the
// descent's, not a climb turned back down.
constexpr double kCruiseBeforeDescentSeconds = 180.0;
// Feet a minute a climb back to the top, and the descent from it, take:
// the room the route had after the waypoint to climb on.
constexpr double kRoomRate = 2000.0;

// A crossing altitude typed in flight above the aircraft as it climbs, at
// a waypoint with room after it to climb on, is the climb's: the aircraft
// levels at it before the waypoint and climbs on after it. Climbed through
// by more than 300 ft and turned down to it without a cruise between (3
// minutes level), then flown on at it (VNAV holding it long enough to have
// climbed back to that top and come down again at 2,000 ft/min), it was
// flown as a step down: 27,200 ft typed under 30,000, up to 29,800, down
// 2,600 ft to it, the level never flown again. A waypoint beyond a climb
// that meets the descent, the descent going on from it, is the descent's.
void CheckClimbedThrough(RuleKit& k, const TypedConstraint& c, const std::string& ident, const Sample& crossed) {
  const double engaged = k.FirstVnav();
  if (std::isnan(engaged) || c.t < engaged) return;
  const Sample& typed = k.At(c.t);
  if (!(typed.alt < c.altitude - 300.0) || !(typed.vs > 0.0)) return;
  const Sample* peak = nullptr;
  for (const Sample& s : k.f_.track) {
    if (s.t < c.t || s.t > crossed.t || !k.VnavOn(s.t)) continue;
    if (peak == nullptr || s.alt > peak->alt) peak = &s;
  }
  if (peak == nullptr || !(peak->alt > c.altitude + 300.0)) return;
  // The top reached (within 150 ft of the peak), and the turn down after it.
  double top = peak->t;
  for (const Sample& s : k.f_.track)
    if (s.t >= c.t && s.t <= peak->t && s.alt >= peak->alt - 150.0) {
      top = s.t;
      break;
    }
  double down = NAN;
  for (const Sample& s : k.f_.track)
    if (s.t > peak->t && s.t <= crossed.t && s.vs <= -500.0) {
      down = s.t;
      break;
    }
  if (std::isnan(down) || down - top >= kCruiseBeforeDescentSeconds) return;
  // A cruise anywhere between climbing through it and the turn down: the
  // climb through ended there, and a climb on from above the constraint
  // (a higher level entered later) climbed through nothing. 22,800 ft typed
  // at a waypoint 180 NM on under 27,100: level there 17 minutes, then up
  // toward a level of 35,100 entered, and down to the constraint on time.
  double level_from = NAN, level_at = NAN;  // NaN until above it
  for (const Sample& s : k.f_.track) {
    if (s.t < c.t || s.t > down) continue;
    if (std::isnan(level_from)) {
      if (s.alt > c.altitude + 300.0) level_from = s.t, level_at = s.alt;
      continue;
    }
    if (std::fabs(s.alt - level_at) > 150.0) level_from = s.t, level_at = s.alt;
    if (s.t - level_from >= kCruiseBeforeDescentSeconds) return;
  }
  // Held at it after the waypoint as long as the climb back would take.
  const double room = 2.0 * (peak->alt - c.altitude) / kRoomRate * 60.0;
  double held_until = crossed.t;
  for (const Sample& s : k.f_.track) {
    if (s.t <= crossed.t) continue;
    if (!k.VnavOn(s.t) || std::fabs(s.alt - c.altitude) > 300.0) break;
    held_until = s.t;
  }
  if (held_until - crossed.t < room) return;
  k.Object("level", "%s: climbed through its %.0f typed at %.0f s up to %.0f ft at %.0f s, down at %.0f s",
           ident.c_str(), c.altitude, c.t, peak->alt, top, down);
}

// Never above the cruise level in force (any page's, from when the aircraft
// is at or below it) nor an at or at-or-below constraint, never below an
// at or at-or-above one, by more than 300 ft.
void CheckLevels(RuleKit& k) {
  std::set<std::pair<std::string, long>> told;
  for (const Reading& r : k.f_.readings) {
    for (const Shown& shown : CruiseLevels(r)) {
      if (told.count({shown.page, std::lround(shown.feet)}) != 0) continue;
      double end = 1e18;
      for (const auto* times : {&k.f_.replanned, &k.f_.directs})
        for (double t : *times)
          if (t > r.t) end = std::min(end, t);
      bool reached = false;
      const Sample* worst = nullptr;
      for (const Sample& s : k.f_.track) {
        if (s.t < r.t || s.t >= end || !k.VnavOn(s.t) || s.approach) continue;
        if (s.alt <= shown.feet + 300.0) reached = true;
        else if (reached && (worst == nullptr || s.alt > worst->alt)) worst = &s;
      }
      if (worst == nullptr) continue;
      told.insert({shown.page, std::lround(shown.feet)});
      k.Object("level", "%.0f ft at %.0f s, above the cruise level %.0f %s showed at %.1f s", worst->alt, worst->t,
               shown.feet, shown.page.c_str(), r.t);
    }
  }
  std::vector<std::string> idents;
  for (const TypedConstraint& c : k.f_.typed) idents.push_back(c.altitude > 0.0 ? ConstraintWaypoint(k, c) : "");
  for (std::size_t i = 0; i < k.f_.typed.size(); ++i) {
    const TypedConstraint& c = k.f_.typed[i];
    const std::string& ident = idents[i];
    // A later entry on the same waypoint takes its place (a 14000A typed
    // over with 10600A in the climb).
    const auto later = idents.begin() + static_cast<std::ptrdiff_t>(i) + 1;
    if (ident.empty() || std::find(later, idents.end(), ident) != idents.end()) continue;
    const Sample* s = k.Abeam(ident, c.t);
    if (s == nullptr || !k.VnavOn(s->t) || s->approach || SkippedBetween(k, ident, c.t, s->t)) continue;
    const char* kind = c.kind == 'A' ? "at or above" : c.kind == 'B' ? "at or below" : "at";
    if (c.kind != 'A' && s->alt > c.altitude + 300.0)
      k.Object("level", "%s crossed at %.0f ft at %.0f s, %s %.0f", ident.c_str(), s->alt, s->t, kind, c.altitude);
    if (c.kind != 'B' && s->alt < c.altitude - 300.0 && !LevelBelowAfter(k, c.altitude - 300.0, c.t, s->t))
      k.Object("level", "%s crossed at %.0f ft at %.0f s, %s %.0f", ident.c_str(), s->alt, s->t, kind, c.altitude);
    CheckClimbedThrough(k, c, ident, *s);
  }
}

// After a hold left in the descent, or a direct-to in it, the descent goes
// on at once: where the plan shows no top of descent ahead and the aircraft
// no lower than its path, the next waypoint planned more than 300 ft below
// it, the aircraft starts down (100 ft/min or more) within 90 s (the pages
// are read meanwhile).
void CheckResume(RuleKit& k) {
  std::vector<std::pair<double, std::string>> events;
  double hold_from = 0.0, hold_left = 0.0;
  if (k.HoldFlown(hold_from, hold_left)) events.push_back({hold_left, "the hold at " + k.f_.hold_fix + " left"});
  for (double t : k.f_.directs) events.push_back({t, "the direct-to"});
  for (const auto& [t, what] : events) {
    const Sample& at = k.At(t);
    double top = -1e9;
    for (const Sample& s : k.f_.track)
      if (s.t <= t) top = std::max(top, s.alt);
    if (!k.VnavOn(t) || at.approach || top - at.alt < 1000.0) continue;
    // The first pages read after it: a top of descent still ahead, or the
    // aircraft below the path, leave the aircraft level for now.
    bool wait = false;
    double next = NAN;
    for (const Reading& r : k.f_.readings) {
      if (r.t < t - 60.0 || r.t > t + 120.0) continue;
      if (FindText(r.gns, "TO #TOD") != nullptr) wait = true;
      if (const Text* l = FindText(r.cdu, "V E R T  D E V")) {
        for (const Text& v : r.cdu)
          if (std::fabs(v.y - (l->y + 11.0)) < 0.5 && v.s.find("LO") != std::string::npos) wait = true;
      }
      const std::vector<LegsLine> legs = LegsLines(r);
      if (!legs.empty() && std::isnan(next) && r.t >= t - 5.0) next = legs.front().altitude;
    }
    if (wait || std::isnan(next) || at.alt - next <= 300.0) continue;
    double level_until = t;
    for (const Sample& s : k.f_.track) {
      if (s.t < t) continue;
      // A shallow path is flown down at a few hundred feet a minute (into
      // 130 kt of wind, 300): descending, not level.
      if (s.vs <= -100.0 || !k.VnavOn(s.t)) break;
      level_until = s.t;
    }
    if (level_until - t > 90.0)
      k.Object("resume", "%s at %.0f s: level at %.0f ft for %.0f s, the next waypoint planned at %.0f", what.c_str(), t,
               at.alt, level_until - t, next);
  }
}

// No altitude below the lowest one the route knows for its end: the end's
// elevation where the navigation data knows the end as an airport (VNAV
// aims at 200 ft above it: never asks for less than 150 ft above), else
// the lowest altitude the plan knows (the origin's ground, an airport on
// the route, an at or at-or-above constraint; never asked for less, with
// 100 ft allowed). The aircraft is not below it by more than 300 ft more
// than 5 NM out. The GPS planner's altitudes are not elevations (en route
// it gives the cruise level), but that of its last point, where the data
// knows no airport there, is the field's (from -1500 to 15000 ft) and the
// module ends the descent 200 ft above it, as above a known airport.
void CheckFloor(RuleKit& k) {
  const std::vector<std::string>& route = k.Route();
  if (route.size() < 2) return;
  double known = NAN, asked = NAN;
  std::string where;
  const double planner = k.f_.gps_end_elevation;
  if (const auto a = k.f_.airport_elevation.find(route.back()); a != k.f_.airport_elevation.end()) {
    known = a->second, asked = known + 150.0, where = route.back();
  } else if (route.back() == k.f_.gps_end && planner >= -1500.0 && planner <= 15000.0 && planner != -999.0) {
    known = planner, asked = known + 150.0, where = route.back();
  } else {
    auto lower = [&](double value, const std::string& ident) {
      if (std::isnan(known) || value < known) known = value, where = ident;
    };
    if (k.f_.track.front().on_ground) lower(k.f_.track.front().alt, route.front());
    for (const std::string& ident : route)
      if (const auto e = k.f_.airport_elevation.find(ident); e != k.f_.airport_elevation.end()) lower(e->second, ident);
    for (const TypedConstraint& c : k.f_.typed)
      if (c.altitude > 0.0 && c.kind != 'B') lower(c.altitude, ConstraintWaypoint(k, c));
    asked = known - 100.0;
  }
  Position end;
  if (std::isnan(known) || !k.Where(route.back(), end)) return;
  // From the top of the flight: the climb out of a lower origin is no arrival.
  double top_t = 0.0, top = -1e9;
  for (const Sample& s : k.f_.track)
    if (s.alt > top + 1.0) top = s.alt, top_t = s.t;
  for (const Command& c : k.f_.commands) {
    if (c.t < top_t || c.id != "0x1024C" || static_cast<double>(c.value) >= asked || !k.VnavOn(c.t)) continue;
    k.Object("floor", "altitude %lld asked at %.1f s, below %.0f ft known at %s", c.value, c.t, known, where.c_str());
    break;
  }
  for (const Sample& s : k.f_.track) {
    if (s.t < top_t || s.on_ground || s.approach || s.alt >= known - 300.0 || DistanceNm({s.lat, s.lon}, end) <= 5.0)
      continue;
    k.Object("floor", "%.0f ft at %.0f s, %.1f NM from %s, below %.0f ft known at %s", s.alt, s.t,
             DistanceNm({s.lat, s.lon}, end), route.back().c_str(), known, where.c_str());
    break;
  }
}

// Landed and at rest, or the last waypoint made active.
void CheckEnd(RuleKit& k) {
  const std::vector<std::string>& route = k.Route();
  if (route.empty()) return k.Object("end", "no route");
  if (k.f_.lands) {
    if (!k.f_.track.back().on_ground || k.f_.track.back().gs > 1.0) k.Object("end", "not at rest on the ground");
  } else if (std::isnan(k.EventTime("LNAV off, active " + route.back()))) {
    k.Object("end", "%s never made active", route.back().c_str());
  }
}

}  // namespace

void CheckVertical(RuleKit& k) {
  CheckPath(k);
  CheckHold(k);
  CheckLevels(k);
  CheckResume(k);
  CheckFloor(k);
  CheckEnd(k);
}

}  // namespace ovi::flights
