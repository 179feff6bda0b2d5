#include "tools/flights/rule_kit.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <sstream>

namespace ovi::flights {

const std::vector<std::string>& RuleNames() {
  static const std::vector<std::string> names = {"path", "hold",   "flicker", "repeat", "vs0",      "speed",
                                                 "limit", "level", "resume",  "floor",  "pages",    "agree",
                                                 "crossing", "leg", "turn",   "direct", "end"};
  return names;
}

Problems CheckFlight(const FlightRecord& flight, const Margins& margins) {
  Problems problems;
  RuleKit k(flight, margins, problems);
  CheckVertical(k);
  CheckCommands(k);
  CheckSpeeds(k);
  CheckPages(k);
  CheckLateral(k);
  return problems;
}

const Text* FindText(const std::vector<Text>& texts, const std::string& s) {
  for (const Text& t : texts)
    if (t.s == s) return &t;
  return nullptr;
}

double NumberAt(const std::vector<Text>& texts, double x, double y) {
  for (const Text& t : texts) {
    if (std::fabs(t.y - y) > 0.5 || t.x < x) continue;
    const std::size_t slash = t.s.rfind('/');
    const char* from = t.s.c_str() + (slash == std::string::npos ? 0 : slash + 1);
    char* end = nullptr;
    const double v = std::strtod(from, &end);
    return end == from ? NAN : v;
  }
  return NAN;
}

double AltitudeText(const std::string& text) {
  std::istringstream in(text);
  std::string s;
  in >> s;
  const bool level = s.rfind("FL", 0) == 0;
  const char* digits = s.c_str() + (level ? 2 : 0);
  if (!std::isdigit(static_cast<unsigned char>(digits[*digits == '-' ? 1 : 0]))) return NAN;
  return std::atof(digits) * (level ? 100.0 : 1.0);
}

bool LegsRow(const std::string& row, double& speed, double& altitude, bool& constraint) {
  const std::size_t slash = row.find('/');
  if (slash == std::string::npos) return false;
  std::istringstream left(row.substr(0, slash)), right(row.substr(slash + 1));
  std::string text;
  right >> text;
  altitude = AltitudeText(text);
  if (std::isnan(altitude)) return false;
  constraint = text.back() == 'A';
  if (!(left >> speed)) speed = NAN;
  return true;
}

std::vector<Shown> CruiseLevels(const Reading& r) {
  std::vector<Shown> shown;
  auto below = [&](const std::vector<Text>& texts, const Text& label, double y) {
    for (const Text& t : texts) {
      const double feet = AltitudeText(t.s);
      if (std::fabs(t.y - y) < 0.5 && t.x < label.x + 40.0 && !std::isnan(feet)) return feet;
    }
    return static_cast<double>(NAN);
  };
  for (const auto& [title, label] : {std::pair{"ECON  CLB", "C R Z    A L T"},
                                     std::pair{"ECON  CRZ", "C R Z    A L T    O P T / M A X"}}) {
    const Text* l = FindText(r.cdu, label);
    if (FindText(r.cdu, title) == nullptr || l == nullptr) continue;
    if (const double feet = below(r.cdu, *l, l->y + 11.0); !std::isnan(feet)) shown.push_back({title, feet});
  }
  if (const Text* l = FindText(r.gns, "CRUISE ALT")) {
    for (const Text& t : r.gns) {
      const double feet = AltitudeText(t.s);
      if (std::fabs(t.y - l->y) < 0.5 && t.x > l->x && !std::isnan(feet)) shown.push_back({"GNS-XLS CRUISE ALT", feet});
    }
  }
  return shown;
}

std::vector<LegsLine> LegsLines(const Reading& r) {
  std::vector<LegsLine> lines;
  if (FindText(r.cdu, "RTE    LEGS") == nullptr) return lines;
  // The ident at the left edge, its "spd / alt" on the same line from x 120.
  for (const Text& ident : r.cdu) {
    if (ident.x > 5.0 || ident.s.empty() || !std::isalnum(static_cast<unsigned char>(ident.s[0]))) continue;
    for (const Text& row : r.cdu) {
      LegsLine line;
      if (std::fabs(row.y - ident.y) > 0.5 || row.x < 120.0 || row.x > 160.0 ||
          !LegsRow(row.s, line.speed, line.altitude, line.constraint))
        continue;
      line.ident = ident.s.substr(0, ident.s.find_last_not_of(' ') + 1);
      lines.push_back(line);
    }
  }
  return lines;
}

const Sample& RuleKit::At(double t) const {
  const auto& track = f_.track;
  const auto it = std::lower_bound(track.begin(), track.end(), t, [](const Sample& s, double v) { return s.t < v; });
  return it == track.end() ? track.back() : *it;
}

double RuleKit::EventTime(const std::string& what) const {
  for (const std::string& e : f_.events)
    if (e.find(" " + what + " at ") != std::string::npos) return std::atof(e.c_str());
  return NAN;
}

bool RuleKit::VnavOn(double t, bool or_last) const {
  bool on = false;
  double off = NAN;
  for (const std::string& e : f_.events) {
    if (std::atof(e.c_str()) > t) break;
    if (e.find(" VNAV on ") != std::string::npos) on = true;
    if (e.find(" VNAV off ") != std::string::npos) on = false, off = std::atof(e.c_str());
  }
  const std::vector<std::string>& route = Route();
  return on || (or_last && !route.empty() && off == EventTime("LNAV off, active " + route.back()));
}

bool RuleKit::LnavOn(double t) const {
  bool on = false;
  for (const std::string& e : f_.events) {
    if (std::atof(e.c_str()) > t) break;
    if (e.find(" LNAV on ") != std::string::npos) on = true;
    if (e.find(" LNAV off") != std::string::npos) on = false;
  }
  return on;
}

const std::vector<std::string>& RuleKit::Route() const {
  return f_.routes.empty() ? no_route_ : f_.routes.back().idents;
}

bool RuleKit::Where(const std::string& ident, Position& p, const Position* near) const {
  if (const auto g = f_.gps_where.find(ident); g != f_.gps_where.end()) {
    p = g->second;
    return true;
  }
  double best = 1e18;
  const auto [first, last] = f_.nav_where.equal_range(ident);
  for (auto it = first; it != last; ++it) {
    const double d = near != nullptr ? DistanceNm(*near, it->second) : 0.0;
    if (d < best) best = d, p = it->second;
  }
  return best < 1e18;
}

const Sample* RuleKit::Abeam(const std::string& ident, double from) const {
  const Position here{At(from).lat, At(from).lon};
  Position w;
  if (!Where(ident, w, &here)) return nullptr;
  // The racetrack at a later fix can swing back nearer a waypoint passed
  // before it: JAYPE3's hold at DUCKZ came within 1.4 NM of BEAVR at the
  // hold's 2,000 ft, where the aircraft had passed 2.5 NM off it at 4,016.
  double hold_from = NAN, hold_to = NAN;
  if (ident != f_.hold_fix) HoldWindow(hold_from, hold_to);
  const Sample* best = nullptr;
  double nearest = 1e9;
  for (const Sample& s : f_.track) {
    if (s.t < from || s.on_ground || (s.t > hold_from && s.t < hold_to)) continue;
    const double d = DistanceNm({s.lat, s.lon}, w);
    if (d < nearest) nearest = d, best = &s;
    if (d > nearest + 5.0) break;
  }
  return nearest < 5.0 ? best : nullptr;
}

double RuleKit::NextCrossingFrom(const std::string& ident, double t) const {
  // Looked for from the fix's first pass, the waypoint after the hold was
  // lost in the racetrack (which took the aircraft 5 NM past its nearest,
  // ending the search with nothing found), and every waypoint after it was
  // then looked for from there too: a hairpin's waypoint was read on the
  // leg into the turn, 1,859 ft above where the aircraft crossed it after
  // the turn.
  double from = 0.0, left = 0.0;
  if (ident == f_.hold_fix && HoldFlown(from, left) && t < left) return left;
  return t;
}

double RuleKit::CrossInOrder(const std::string& ident, double from, const Sample*& nearest) const {
  nearest = Abeam(ident, from);
  if (nearest != nullptr) return NextCrossingFrom(ident, nearest->t);
  const std::string passed = " passed " + ident + " at ";
  for (const std::string& e : f_.events)
    if (std::atof(e.c_str()) >= from && e.find(passed) != std::string::npos) return std::atof(e.c_str());
  return from;
}

const Sample* RuleKit::PassedEarlyWithoutLnav(const std::string& ident, const Sample& nearest, double& short_of) const {
  if (LnavOn(nearest.t)) return nullptr;
  double off = NAN;
  for (const std::string& e : f_.events)
    if (std::atof(e.c_str()) <= nearest.t && e.find(" LNAV off") != std::string::npos) off = std::atof(e.c_str());
  if (std::isnan(off)) return nullptr;
  const Sample& passed = At(off);
  const Position here{passed.lat, passed.lon};
  Position w;
  if (!Where(ident, w, &here)) return nullptr;
  short_of = DistanceNm(here, w);
  return short_of > 2.0 ? &passed : nullptr;
}

double RuleKit::Planned(const std::string& ident, double t, bool& constraint, double* speed, double since) const {
  double planned = NAN;
  for (const Reading& r : f_.readings) {
    if (r.t > t) break;
    if (r.t < since) continue;
    for (const LegsLine& line : LegsLines(r)) {
      if (line.ident != ident) continue;
      planned = line.altitude;
      constraint = line.constraint;
      if (speed != nullptr) *speed = line.constraint ? line.speed : NAN;
    }
  }
  return planned;
}

double RuleKit::DescentStart(double t, bool level_at_t) const {
  // The highest level flown from `t` on (half a minute level): the
  // descent starts where the aircraft last leaves it. A lower cruise
  // level entered, or a constraint on the way, is a step on the way there.
  // The level a page is read at counts though the aircraft leaves it
  // within the half minute: looked for only ahead, a step down to a
  // constraint 12 s on was passed over and the descent from the constraint
  // taken for the one the page counted to.
  double level = NAN;
  for (const Sample& s : f_.track)
    if (s.t >= t && std::fabs(s.vs) < 100.0 &&
        (std::fabs(At(s.t + 30.0).alt - s.alt) < 50.0 ||
         (level_at_t && s.t < t + 30.0 && std::fabs(At(s.t - 30.0).alt - s.alt) < 50.0)) &&
        !s.on_ground && !(s.alt <= level))
      level = s.alt;
  double from = t;
  if (!std::isnan(level))
    for (const Sample& s : f_.track)
      if (s.t >= t && s.alt >= level - 50.0) from = s.t;
  for (const Sample& s : f_.track)
    if (s.t >= from && s.vs < -300.0) return s.t;
  return NAN;
}

double RuleKit::ClimbEnd(double t, double level) const {
  // The top it reaches before it levels for half a minute or turns down;
  // a level on the way up (a constraint) is no top where the aircraft
  // climbs on from it before starting down.
  double top = -1e9, down = NAN;
  for (const Sample& s : f_.track) {
    if (s.t <= t) continue;
    if (s.vs < -300.0) {
      down = s.t;
      break;
    }
    top = std::max(top, s.alt);
  }
  double reached = NAN;
  for (const Sample& s : f_.track)
    if (s.t > t && s.alt >= top - 150.0) {
      reached = s.t;
      break;
    }
  if (!(down - reached < 30.0)) return reached;
  // A climb cut by the descent turns down with no level flown: it ends
  // where the autopilot is sent down (the aircraft takes a few seconds and
  // up to 150 ft more to turn), or where it comes within 150 ft of the
  // level the page shows, whichever is first. Counted to 150 ft below its
  // own top, the climb turned down at the level less 150 ft (the pages' top
  // of climb, where the climb met the descent) ended 10 s before it did,
  // and the T/C read 1.1 NM short of it.
  for (const Sample& s : f_.track)
    if (s.t > t && (s.ap_vs < 0.0 || s.alt >= level - 150.0)) return std::min(s.t, down);
  return reached;
}

double RuleKit::LastChangeBy(double t) const {
  double last = -HUGE_VAL;
  for (const auto* times : {&f_.replanned, &f_.directs, &f_.wind_changes})
    for (double c : *times)
      if (c <= t) last = std::max(last, c);
  return last;
}

bool RuleKit::ChangedBetween(double from, double to) const {
  for (const auto* times : {&f_.replanned, &f_.directs, &f_.wind_changes})
    for (double t : *times)
      if (t > from && t <= to) return true;
  return false;
}

bool RuleKit::OnTheWayToLevel(const Sample& s, double level) const {
  double change = NAN;
  for (const auto* times : {&f_.replanned, &f_.directs})
    for (double t : *times)
      if (t <= s.t && !(t <= change)) change = t;
  if (std::isnan(change)) return false;
  const double start = At(change).alt;
  if ((level - start) * (s.alt - start) <= 0.0) return false;
  const double minutes = (s.t - change - 20.0) / 60.0;
  if (minutes > 0.0 && std::fabs(s.alt - start) / minutes < 1000.0) return false;
  for (const Sample& x : f_.track)
    if (x.t >= change && x.t <= s.t && std::fabs(x.alt - level) <= 300.0) return false;
  for (const Sample& x : f_.track)
    if (x.t > s.t && std::fabs(x.alt - level) <= 150.0 && std::fabs(x.vs) < 100.0) return true;
  return false;
}

bool RuleKit::HoldFlown(double& from, double& to, bool as_steered) const {
  if (f_.hold_fix.empty()) return false;
  to = EventTime("passed " + f_.hold_fix);
  // The first pass over the fix: searched from where the aircraft first
  // comes within 5 NM of it, since one drawing nearer the fix and then away
  // on an earlier leg ends the search there, and the hold went unseen.
  Position fix;
  double near = 0.0;
  if (Where(f_.hold_fix, fix, nullptr))
    for (const Sample& s : f_.track)
      if (!s.on_ground && DistanceNm({s.lat, s.lon}, fix) < 5.0) {
        near = s.t;
        break;
      }
  const Sample* first = Abeam(f_.hold_fix, near);
  if (first == nullptr) return false;
  // Its entry steers the aircraft from within the configured distance of
  // the fix however short the hold, and a direct-to leaves it without the
  // fix passed.
  if (as_steered)
    for (double d : f_.directs)
      if (d > first->t && !(d >= to)) to = d;
  if (std::isnan(to) || to - first->t < (as_steered ? 0.0 : 60.0) || to <= first->t) return false;
  from = first->t;
  return true;
}

void RuleKit::HoldWindow(double& from, double& to) const {
  if (!hold_window_known_ && !HoldFlown(hold_from_, hold_to_)) hold_from_ = hold_to_ = NAN;
  hold_window_known_ = true;
  from = hold_from_;
  to = hold_to_;
}

double RuleKit::FirstVnav() const { return EventTime("VNAV on"); }

bool CappedByCruiseLevel(const RuleKit& k, double feet, double t) {
  double last = NAN;
  for (const Reading& r : k.f_.readings) {
    if (r.t > t) break;
    double lowest = NAN;
    for (const Shown& shown : CruiseLevels(r))
      if (!(shown.feet >= lowest)) lowest = shown.feet;
    if (!std::isnan(lowest)) last = lowest;
  }
  return last < feet - 300.0;
}

}  // namespace ovi::flights
