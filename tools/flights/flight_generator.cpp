// The generator: a seed picks an aircraft (a sample file or a variation of
// one), a route (typed on the CDU from the navigation data, or the GPS
// planner's points anywhere on the globe), a cruise level or none, a wind
// that may change in flight, and pilot events at phases of the flight the
// generator estimates from a rough profile of its own. The scenario does
// not depend on the module: the same seed flies the same keys whatever the
// guidance does with them.
#include "tools/flights/flight_generator.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <vector>

#include "tools/flights/flight_record.h"

namespace ovi::flights {

namespace {

// SplitMix64, and uniform numbers made from its bits: the standard
// library's distributions differ between libraries. The seed is mixed
// first: neighbouring seeds would otherwise start one step apart on the
// same sequence and make nearly the same flights.
std::uint64_t Mix(std::uint64_t z) {
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(Mix(seed + 0x2545F4914F6CDD1Dull)) {}
  std::uint64_t Next() { return Mix(state_ += 0x9E3779B97F4A7C15ull); }
  double Uniform(double lo, double hi) { return lo + (hi - lo) * static_cast<double>(Next() >> 11) / 9007199254740992.0; }
  int Int(int lo, int hi) { return lo + static_cast<int>(Next() % static_cast<std::uint64_t>(hi - lo + 1)); }
  bool Chance(double p) { return Uniform(0.0, 1.0) < p; }

 private:
  std::uint64_t state_;
};

template <typename... A>
std::string Format(const char* format, A... args) {
  char text[200];
  std::snprintf(text, sizeof text, format, args...);
  return text;
}

double Wrap360(double d) { return d - 360.0 * std::floor(d / 360.0); }

// Keys for a typed text: one a character, '.' and '/' by their names.
std::string Keys(const std::string& text) {
  std::string keys;
  for (char c : text) keys += std::string(keys.empty() ? "" : " ") + c;
  return keys;
}

// ---- aircraft -------------------------------------------------------------------

struct Aircraft {
  std::string name, text;  // text: a generated variation's file
  int engines = 2;
  double climb_rate = 2200.0;  // ft/min, the generator's estimate
  double cruise_tas = 450.0;   // kt
  double ceiling = 41000.0;
  bool jet_high = false;       // flies FL390-410 well
};

// The sample file's text with `values` put in place of its keys (added
// where it has none), and without the keys of `drop`.
std::string Vary(const std::string& text, const std::map<std::string, std::string>& values,
                 const std::vector<std::string>& drop) {
  std::string out;
  std::map<std::string, bool> done;
  auto lower = [](std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
    return s;
  };
  for (const std::string& line : Lines(text)) {
    const std::string key = lower(line.substr(0, line.find(' ')));
    bool skip = false;
    for (const std::string& d : drop) skip = skip || key == lower(d);
    for (const auto& [k, v] : values) {
      if (key != lower(k)) continue;
      out += k + " " + v + "\n";
      done[k] = skip = true;
    }
    if (!skip) out += line + "\n";
  }
  for (const auto& [k, v] : values)
    if (!done[k]) out += k + " " + v + "\n";
  return out;
}

Aircraft PickAircraft(Random& r, const std::string& source, std::string& kinds) {
  struct Sample {
    const char* name;
    int engines;
    double climb_rate, tas, ceiling;
    bool high;
  };
  static const Sample kSamples[] = {{"B737-800", 2, 2200, 450, 41000, false}, {"B747-400", 4, 1800, 480, 45000, true},
                                    {"BIZJET", 2, 2500, 440, 41000, true},     {"A320", 2, 2200, 450, 39000, false},
                                    {"B777-200", 2, 2000, 480, 43000, true}};
  const Sample& s = kSamples[r.Int(0, 4)];
  Aircraft a{s.name, "", s.engines, s.climb_rate, s.tas, s.ceiling, s.high};
  kinds = s.name;
  if (r.Chance(0.25)) {
    // A variation: other speeds, restrictions, limits; sometimes no
    // performance tables.
    std::map<std::string, std::string> values = {
        {"ClimbIas", Format("%d", r.Int(25, 32) * 10)},     {"CruiseSpeed", Format("%d", r.Int(26, 32) * 10)},
        {"DescentSpeed", Format("%d", r.Int(25, 31) * 10)}, {"ClbSpdRest", Format("%d", r.Int(23, 25) * 10)},
        {"DescSpdRest", Format("%d", r.Int(22, 25) * 10)},  {"DescAltRest", Format("%d", r.Int(8, 12) * 1000)},
        {"ClimbRate", Format("%d", r.Int(15, 30) * 100)},   {"DescentRate", Format("%d", r.Int(15, 30) * 100)}};
    std::vector<std::string> drop;
    if (r.Chance(0.4)) drop.push_back("PerformanceFile");
    a.text = Vary(ReadText(source + "/data/ovi/Aircraft/" + s.name + ".cfg"), values, drop);
    a.name = std::string("GEN-") + s.name;
    kinds = a.name + (drop.empty() ? "" : " without tables");
  }
  return a;
}

// ---- routes ---------------------------------------------------------------------

struct Point {
  std::string ident;
  Position where;
  double elevation = NAN;  // feet, where the route gives it
};

struct Route {
  std::vector<Point> points;
  Position start;                   // where the aircraft waits
  double heading = 0.0;             // true, on the runway
  double magvar = 16.0;
  std::vector<std::string> typing;  // CDU key presses that build it, or none for the GPS planner's
  std::string kind;
};

// Routes typed on the CDU from the sample navigation data: SIDs, airways,
// STARs, approaches, discontinuities deleted. RTE LEGS stays on the
// sub-page last shown; the LEGS key opens it on its first, where the later
// edits count their rows from.
struct Typed {
  const char* kind;
  Position runway;
  double heading;
  std::vector<const char*> keys, idents;
};
const std::vector<Typed>& TypedRoutes() {
  static const std::vector<Typed> routes = {
      {"KSEA-KPDX direct OLM HQM, JAYPE3, ILS 10R",
       {47.46382, -122.30819},
       180.0,
       {"RTE K S E A L1 K P D X R1", "NEXT_PAGE O L M R1", "H Q M R2", "DEP_ARR R2", "L2", "L2", "R1", "R4", "LEGS",
        "DEL L5", "R6", "EXEC"},
       {"KSEA", "OLM", "HQM", "LAVAA", "JAYPE", "BEAVR", "DUCKZ", "KPDX"}},
      {"KSEA-KPDX SUMMA2.YKM V4 HERMI PDT KRATR2 ILS 10R",
       {47.46382, -122.30819},
       180.0,
       {"RTE K S E A L1 K P D X R1", "DEP_ARR L1", "R1", "L1", "L3", "RTE NEXT_PAGE", "V 4 L3", "H E R M I R3",
        "P D T R4", "DEP_ARR R2", "L1", "L2", "R1", "R3", "LEGS NEXT_PAGE NEXT_PAGE", "DEL L4", "R6", "EXEC"},
       {"KSEA", "FOURT", "RAVEN", "SUMMA", "TIETN", "YKM", "GRAPE", "BENTN", "PSC", "UMATL", "HERMI", "PDT", "KRATR",
        "BTG", "LAVAA", "BEAVR", "DUCKZ", "KPDX"}},
      {"KPDX-KSEA LAVAA7.HQM V187 OLM RNAV 34R",
       {45.59242, -122.60851},
       116.0,
       {"RTE K P D X L1 K S E A R1", "DEP_ARR L1", "R3", "L1", "L2", "RTE NEXT_PAGE", "V 1 8 7 L3", "O L M R3",
        "DEP_ARR R2", "R2", "R3", "LEGS", "R6", "EXEC"},
       {"KPDX", "TMBRS", "JAYPE", "LAVAA", "HQM", "ELMAA", "SATSP", "OLM", "NISQU", "PARKK", "FOURT", "KSEA"}},
      {"KBLI-KPDX V23 BTG VOR 21",
       {48.78361, -122.5375},
       0.0,
       {"RTE K B L I L1 K P D X R1", "NEXT_PAGE B L I R1", "V 2 3 L2", "B T G R2", "DEP_ARR R2", "R3", "R2", "LEGS",
        "R6", "EXEC"},
       {"KBLI", "BLI", "SAMMI", "BOWRY", "ARLIN", "PAE", "MALAY", "ALKIA", "SEA", "ALDER", "NISQU", "OLM", "TOLLE",
        "COUGA", "BTG", "VANCO", "KPDX"}},
  };
  return routes;
}

Route TypedRoute(Random& r, const std::string& source) {
  const Typed& t = TypedRoutes()[static_cast<std::size_t>(r.Int(0, static_cast<int>(TypedRoutes().size()) - 1))];
  FlightRecord nav;
  ReadNavigationData(source + "/data/ovi/navdata", nav);
  Route route;
  route.kind = t.kind;
  route.start = t.runway;
  route.heading = t.heading;
  for (const char* k : t.keys) route.typing.push_back(k);
  Position last = t.runway;
  for (const char* ident : t.idents) {
    Point p{ident, last, NAN};
    double best = 1e18;
    const auto [first, end] = nav.nav_where.equal_range(ident);
    for (auto it = first; it != end; ++it)
      if (DistanceNm(last, it->second) < best) best = DistanceNm(last, it->second), p.where = it->second;
    if (const auto e = nav.airport_elevation.find(ident); e != nav.airport_elevation.end()) p.elevation = e->second;
    last = p.where;
    route.points.push_back(p);
  }
  return route;
}

// The GPS planner's points anywhere: west and south of zero, across 180,
// near the poles; short, medium or long; turns up to 170 degrees; the end
// with or without an elevation.
Route GpsRoute(Random& r, bool fast, std::string& kinds) {
  Route route;
  Position origin;
  const double place = r.Uniform(0.0, 1.0);
  if (place < 0.25) {
    origin = {r.Uniform(-60.0, 60.0), r.Chance(0.5) ? r.Uniform(172.0, 179.9) : r.Uniform(-179.9, -172.0)};
    route.kind = "across 180";
  } else if (place < 0.4) {
    origin = {r.Uniform(-60.0, 65.0), r.Uniform(-6.0, 6.0)};
    route.kind = "across 0";
  } else if (place < 0.48) {
    origin = {r.Chance(0.5) ? r.Uniform(74.0, 80.0) : r.Uniform(-80.0, -74.0), r.Uniform(-180.0, 180.0)};
    route.kind = "polar";
  } else {
    origin = {r.Uniform(-65.0, 70.0), r.Uniform(-180.0, 180.0)};
    route.kind = origin.lat < 0.0 ? (origin.lon < 0.0 ? "south-west" : "south-east")
                                  : (origin.lon < 0.0 ? "north-west" : "north-east");
  }
  const double length = r.Uniform(0.0, 1.0);
  double total = 0.0;
  int legs = 0;
  if (length < 0.25 && !fast) {
    total = r.Uniform(40.0, 80.0), legs = r.Int(2, 3), kinds += ", short";
  } else if (length < 0.65) {
    total = r.Uniform(120.0, 320.0), legs = r.Int(3, 6), kinds += ", medium";
  } else {
    total = r.Uniform(450.0, 750.0), legs = r.Int(4, 8), kinds += ", long";
  }
  route.magvar = std::round(r.Uniform(-20.0, 20.0));
  double course = r.Uniform(0.0, 360.0);
  const double origin_elevation = std::round(r.Uniform(0.0, 2500.0));
  route.points.push_back({"ORIG", origin, origin_elevation});
  route.heading = course;
  route.start = Travel(origin, course + 180.0, 1.0);
  Position here = origin;
  double sharpest = 0.0;
  for (int i = 1; i <= legs; ++i) {
    if (i > 1) {
      const double kind = r.Uniform(0.0, 1.0);
      const double turn = kind < (fast ? 0.2 : 0.45) ? r.Uniform(0.0, 30.0)
                          : kind < (fast ? 0.45 : 0.75) ? r.Uniform(30.0, 90.0)
                                                        : r.Uniform(90.0, 170.0);
      sharpest = std::max(sharpest, turn);
      course = Wrap360(course + (r.Chance(0.5) ? turn : -turn));
    }
    const double leg = std::max(12.0, total / legs * r.Uniform(0.6, 1.4));
    const Position next = Travel(here, course, leg);
    // The course on arrival: the next leg turns from it.
    course = Wrap360(CourseDeg(next, here) + 180.0);
    here = next;
    route.points.push_back({i == legs ? "DEST" : Format("WP%02d", i), here, NAN});
  }
  if (r.Chance(0.8)) route.points.back().elevation = std::round(r.Uniform(0.0, 3000.0));
  kinds += Format(", %d legs, turns to %.0f degrees", legs, sharpest);
  if (std::isnan(route.points.back().elevation)) kinds += ", the end with no elevation";
  return route;
}

// ---- the estimated profile ----------------------------------------------------

// Where the aircraft will roughly be: along the route (NM) and how high, a
// sample every 5 s, from the engagement at 90 s on. Enough to place the
// pilot's events in their phase; the rules never read it.
struct Profile {
  std::vector<double> t, along, alt;
  std::vector<double> at;  // NM along the route of each point
  double top = 0.0, toc = 0.0, tod = 0.0, end = 0.0;

  double TimeAt(double nm) const {
    for (std::size_t i = 0; i < along.size(); ++i)
      if (along[i] >= nm) return t[i];
    return end;
  }
  double AlongAt(double time) const {
    for (std::size_t i = 0; i < t.size(); ++i)
      if (t[i] >= time) return along[i];
    return along.empty() ? 0.0 : along.back();
  }
  double AltAt(double nm) const {
    for (std::size_t i = 0; i < along.size(); ++i)
      if (along[i] >= nm) return alt[i];
    return alt.empty() ? 0.0 : alt.back();
  }
  // The first point more than `nm` ahead of where the aircraft is at `time`.
  std::size_t ActiveAt(double time) const {
    const double d = AlongAt(time) + 3.0;
    for (std::size_t i = 1; i < at.size(); ++i)
      if (at[i] > d) return i;
    return at.size() - 1;
  }
};

// `slow`: the descent below 10,000 ft flown at the approach's 170 kt, the
// ground speed with no floor but 20 kt; only for how long the flight may
// take, since the events' times must not move with it.
Profile Estimate(const Route& route, const Aircraft& a, double cruise, double wind_dir, double wind_speed,
                 bool slow = false) {
  Profile p;
  p.at.push_back(0.0);
  for (std::size_t i = 1; i < route.points.size(); ++i)
    p.at.push_back(p.at.back() + DistanceNm(route.points[i - 1].where, route.points[i].where));
  const double total = p.at.back();
  const double origin = std::isnan(route.points.front().elevation) ? 0.0 : route.points.front().elevation;
  const double dest = std::isnan(route.points.back().elevation) ? 0.0 : route.points.back().elevation;
  auto tas = [&](double alt) { return std::min(a.cruise_tas, 250.0 + alt * (alt < 10000.0 ? 0.005 : 0.008)); };
  auto wind = [&](double along) {
    std::size_t leg = 1;
    while (leg + 1 < p.at.size() && p.at[leg] < along) ++leg;
    const double course = CourseDeg(route.points[leg - 1].where, route.points[leg].where);
    return -wind_speed * std::cos((wind_dir - course) * 0.017453292519943295);
  };
  // The top: the cruise level, or lower where climb and descent meet.
  double top = cruise;
  for (; top > origin + 3000.0; top -= 500.0) {
    const double climb = (top - origin) / a.climb_rate / 60.0 * tas(top / 2.0);
    const double descent = (top - dest) / 1000.0 * 3.2;
    if (climb + descent < total * 0.9) break;
  }
  p.top = top;
  const double tod_at = total - (top - dest) / 1000.0 * 3.2;
  double t = 90.0, d = 3.0, alt = origin + 1000.0;
  p.toc = p.tod = NAN;
  while (d < total && t < 80000.0) {
    double vs = 0.0;
    if (d >= tod_at) {
      vs = -std::min(3000.0, tas(alt) * 101.3 * 0.056);
      if (std::isnan(p.tod)) p.tod = t;
    } else if (alt < top) {
      vs = a.climb_rate;
    } else if (std::isnan(p.toc)) {
      p.toc = t;
    }
    alt = std::clamp(alt + vs * 5.0 / 60.0, dest, top);
    if (slow && d >= tod_at && alt < 10000.0)
      d += std::max(20.0, std::min(tas(alt), 170.0) + wind(d)) * 5.0 / 3600.0;
    else
      d += std::max(60.0, tas(alt) + wind(d)) * 5.0 / 3600.0;
    t += 5.0;
    p.t.push_back(t);
    p.along.push_back(d);
    p.alt.push_back(alt);
  }
  if (std::isnan(p.toc)) p.toc = std::isnan(p.tod) ? t : p.tod;
  if (std::isnan(p.tod)) p.tod = t;
  p.end = t;
  return p;
}

// ---- the scenario -----------------------------------------------------------------

// The scenario's lines, and its clock as ovi-sim will count it (a key a
// frame, `run` its seconds), never behind: an `at` goes out only later than
// everything before it.
class Writer {
 public:
  void Line(const std::string& s) { text_ += s + "\n"; }
  void At(double t) {
    if (t <= now_ + 0.05) return;
    Line(Format("at %.1f", t));
    now_ = t;
  }
  void Run(double seconds) {
    Line(Format("run %.1f", seconds));
    now_ += seconds;
  }
  void Keys(const char* gauge, const std::string& keys, double run = 0.2) {
    Line(std::string("press ") + gauge + " " + keys);
    now_ += (1.0 + static_cast<double>(std::count(keys.begin(), keys.end(), ' '))) / 18.0;
    Run(run);
  }
  // The pages read (docs/flight-rules.md gives what each marker reads).
  void Legs() {
    Line(";@ legs");
    now_ += 2.0;
  }
  void Pages() {
    Line(";@ pages");
    now_ += 1.0;
  }
  // The pilot changed the plan: the pages are read again.
  void Replanned() {
    Line(";@ replanned");
    Legs();
    Pages();
  }
  const std::string& text() const { return text_; }
  double now() const { return now_; }

 private:
  std::string text_;
  double now_ = 0.0;
};

struct Event {
  double t = 0.0;
  int kind = 0;
};

enum Kind { kDirectCdu, kDirectNavigator, kLevelCdu, kLevelNavigator, kRestriction, kVnavOffOn, kSpeedEntry, kWind };

}  // namespace

GeneratedFlight GenerateFlight(std::uint32_t seed, const std::string& source) {
  Random r(seed);
  GeneratedFlight g;
  g.seed = seed;
  std::string kinds;
  // A fast flight: a jet high with a strong wind behind it and sharp turns.
  const bool typed = r.Chance(0.3);
  const bool fast = !typed && r.Chance(0.2);
  Aircraft aircraft = PickAircraft(r, source, kinds);
  if (fast && !aircraft.jet_high) {
    aircraft = {"BIZJET", "", 2, 2500, 440, 41000, true};
    kinds = "BIZJET";
  }
  g.aircraft = aircraft.name;
  g.aircraft_text = aircraft.text;
  Route route = typed ? TypedRoute(r, source) : GpsRoute(r, fast, kinds);
  kinds = route.kind + ", " + kinds;

  // The cruise level: the plan's own, or one the pilot enters at the gate.
  const double total = [&] {
    double d = 0.0;
    for (std::size_t i = 1; i < route.points.size(); ++i) d += DistanceNm(route.points[i - 1].where, route.points[i].where);
    return d;
  }();
  double cruise = 0.0;
  if (fast) {
    cruise = r.Int(390, 410) * 100.0;
  } else if (r.Chance(0.75)) {
    const double high = std::min(aircraft.ceiling - 2000.0, total < 100.0 ? 20000.0 : total < 350.0 ? 35000.0 : 41000.0);
    cruise = r.Int(static_cast<int>(total < 100.0 ? 80 : 180), static_cast<int>(high / 100.0)) * 100.0;
  }
  kinds += cruise > 0.0 ? Format(", %.0f ft", cruise) : ", the plan's level";

  // The wind: calm to 150 kt, behind, across or anywhere; set strong once
  // airborne, and changed later on some flights.
  const double main_course = CourseDeg(route.points.front().where, route.points.back().where);
  double wind_speed = 0.0, wind_dir = r.Uniform(0.0, 360.0);
  const double w = r.Uniform(0.0, 1.0);
  if (fast) {
    wind_speed = r.Uniform(80.0, 150.0), wind_dir = Wrap360(main_course + 180.0 + r.Uniform(-20.0, 20.0));
    kinds += Format(", %.0f kt behind", wind_speed);
  } else if (w < 0.25) {
    wind_speed = r.Uniform(0.0, 10.0), kinds += ", calm";
  } else if (w < 0.6) {
    wind_speed = r.Uniform(10.0, 60.0), kinds += Format(", %.0f kt", wind_speed);
  } else {
    wind_speed = r.Uniform(60.0, 150.0);
    if (r.Chance(0.5)) {
      wind_dir = Wrap360(main_course + (r.Chance(0.5) ? 90.0 : -90.0) + r.Uniform(-15.0, 15.0));
      kinds += Format(", %.0f kt across", wind_speed);
    } else {
      kinds += Format(", %.0f kt", wind_speed);
    }
  }
  const double planned_level = cruise > 0.0 ? cruise : std::min(aircraft.ceiling, 37000.0);
  const Profile p = Estimate(route, aircraft, planned_level, wind_dir, wind_speed);
  // The longest the flight may take in any wind the scenario sets: 150 kt
  // against the approach's 170 kt leaves 20-30 kt over the ground, where
  // the allowance from `p` ended the flight before its last waypoint.
  double slowest = Estimate(route, aircraft, planned_level, wind_dir, wind_speed, true).end;
  auto wind_set = [&] {
    slowest = std::max(slowest, Estimate(route, aircraft, planned_level, wind_dir, wind_speed, true).end);
  };

  Writer out;
  const Point& origin = route.points.front();
  const Point& dest = route.points.back();
  const double origin_elevation = std::isnan(origin.elevation) ? 0.0 : origin.elevation;
  out.Line(Format("; Seed %u: generated by ovi-flights (docs/flight-rules.md).", seed));
  out.Line(";@ aircraft " + aircraft.name);
  out.Line("set date 2024-06-01");
  out.Line("set zulu 09:30:00");
  out.Line(Format("set lat %.5f", route.start.lat));
  out.Line(Format("set lon %.5f", route.start.lon));
  out.Line(Format("set heading %.0f", Wrap360(route.heading)));
  out.Line(Format("set magvar %.0f", route.magvar));
  out.Line(Format("set altitude %.0f", origin_elevation));
  out.Line(Format("set ground_elevation %.0f", origin_elevation));
  out.Line(Format("set engines %d", aircraft.engines));
  out.Line("set n1 22\nset n2 60\nset egt 420");
  out.Line(Format("set wind_dir %.0f", wind_dir));
  out.Line(Format("set wind_speed %.0f", std::min(wind_speed, 15.0)));
  if (route.typing.empty()) {
    for (const Point& pt : route.points) {
      out.Line(Format("gps_wpt %s %.5f %.5f", pt.ident.c_str(), pt.where.lat, pt.where.lon) +
               (std::isnan(pt.elevation) ? "" : Format(" %.0f", pt.elevation)));
    }
    out.Run(1.0);
    out.Line("var ovi_gps_rte_clicked 1");
    out.Run(2.0);
  } else {
    out.At(1.0);
    out.Line("show 4012");
    for (const std::string& k : route.typing) out.Keys("SMITHS_FMS_BR", k, 0.1);
    out.Line("hide 4012");
    out.Run(1.0);
  }
  // At the gate: the cruise level, a hold, a restriction.
  out.Line("show 4012");
  if (cruise > 0.0) out.Keys("SMITHS_FMS_BR", "CRZ " + Keys(Format("%.0f", cruise)) + " L1 EXEC");
  const std::size_t last = route.points.size() - 1;
  std::string hold_fix;
  std::size_t hold_at = 0;  // the hold fix's place in the route
  double hold_exit = 0.0, hold_time = 0.0;
  // A hold no nearer than the third waypoint: one passed before LNAV
  // engages is gone when its exit comes, and HOLD then offers a hold where
  // the aircraft is.
  if (last >= 4 && r.Chance(0.25)) {
    const std::size_t j = static_cast<std::size_t>(r.Int(3, static_cast<int>(last) - 1));
    const std::size_t page = (j - 1) / 5;
    // HOLD opens RTE LEGS on the sub-page it was left on, at the next
    // frame; LEGS first puts it on its first.
    out.Keys("SMITHS_FMS_BR", "LEGS");
    out.Keys("SMITHS_FMS_BR", "HOLD");
    for (std::size_t i = 0; i < page; ++i) out.Keys("SMITHS_FMS_BR", "NEXT_PAGE");
    out.Keys("SMITHS_FMS_BR", Format("L%zu", (j - 1) % 5 + 1));
    out.Keys("SMITHS_FMS_BR", "L6");
    out.Keys("SMITHS_FMS_BR", "EXEC");
    hold_fix = route.points[j].ident;
    hold_at = j;
    hold_time = r.Uniform(300.0, 600.0);
    hold_exit = p.TimeAt(p.at[j]) + hold_time;
    const double phase_alt = p.AltAt(p.at[j]);
    kinds += ", hold at " + hold_fix + (phase_alt >= p.top - 100.0 ? " (cruise)" : p.TimeAt(p.at[j]) < p.toc ? " (climb)" : " (descent)");
  }
  if (last >= 3 && r.Chance(0.3)) {
    const std::size_t j = static_cast<std::size_t>(r.Int(1, static_cast<int>(last) - 1));
    const double planned = p.AltAt(p.at[j]);
    const bool climbing = p.TimeAt(p.at[j]) < p.toc;
    const double dest_elevation = std::isnan(dest.elevation) ? 0.0 : dest.elevation;
    double altitude = 0.0;
    char kind = ' ';
    if (climbing) {
      kind = r.Chance(0.7) ? 'B' : ' ';
      altitude = std::round(std::max(origin_elevation + 3000.0, planned * r.Uniform(0.4, 0.9)) / 100.0) * 100.0;
    } else {
      kind = r.Chance(0.5) ? 'A' : 'B';
      const double to_go = p.at.back() - p.at[j];
      altitude = kind == 'A' ? std::min({planned + r.Uniform(500.0, 3000.0), p.top - 500.0,
                                         dest_elevation + to_go / 3.5 * 1000.0})
                             : std::max(planned - r.Uniform(500.0, 4000.0), dest_elevation + 2000.0);
      altitude = std::round(altitude / 100.0) * 100.0;
    }
    const double speed = r.Chance(0.5) ? r.Int(20, 28) * 10.0 : 0.0;
    if (altitude > 1000.0) {
      const std::string text =
          (speed > 0.0 ? Format("%.0f", speed) : "") + "/" + Format("%.0f", altitude) + (kind == ' ' ? "" : std::string(1, kind));
      // LEGS opens RTE LEGS on its first sub-page; a hold's "HOLD AT" line
      // follows its fix.
      const std::size_t row = j - 1 + (hold_at != 0 && hold_at < j ? 1 : 0);
      std::string keys = "LEGS";
      for (std::size_t i = 0; i < row / 5; ++i) keys += " NEXT_PAGE";
      out.Keys("SMITHS_FMS_BR", keys + " " + Keys(text) + Format(" R%zu", row % 5 + 1));
      out.Keys("SMITHS_FMS_BR", "EXEC");
      out.Line(";@ constraint " + text);
      kinds += ", " + text + " at " + route.points[j].ident;
    }
  }
  out.Line("hide 4012");
  out.Legs();
  if (!hold_fix.empty()) out.Line(Format(";@ hold %s %.0f if-flown", hold_fix.c_str(), hold_exit));

  // The take-off by hand, then the autopilot, LNAV and VNAV at about
  // 1,000 ft above the ground.
  out.Line("set n1 92\nset n2 96\nset egt 780\nset ap_spd_hold 1\nset ap_speed 160");
  out.At(60.0);
  out.Line("set vs 350\nset pitch 5");
  out.At(70.0);
  out.Line("set vs 2000\nset pitch 10");
  out.At(90.0);
  // The ground comes down to the destination's once airborne; one higher
  // than the origin's comes up only at the top of the climb, far below the
  // aircraft: the stand-in puts an aircraft below its ground on it, and a
  // destination 2,000 ft above the origin lifted the aircraft 2,000 ft in a
  // second as VNAV engaged, above every altitude the plan had for the climb.
  const double dest_ground = std::isnan(dest.elevation) ? 0.0 : dest.elevation;
  out.Line(Format("set ground_elevation %.0f", std::min(origin_elevation, dest_ground)));
  out.Line("set ap_master 1\nset ap_hdg_lock 1");
  const double first_course = CourseDeg(route.points[0].where, route.points[1].where);
  out.Line(Format("set ap_heading %.0f", Wrap360(std::round(first_course - route.magvar))));
  out.Line(Format("set ap_alt_lock 1\nset ap_altitude %.0f\nset ap_vs 2000", origin_elevation + 3000.0));
  out.Line("click LNAV 32 24\nclick VNAV 32 24");
  out.At(95.0);
  out.Legs();
  out.Pages();

  // The pilot's events, each in a phase of the estimated profile, and the
  // pages read on the way.
  std::vector<Event> events;
  const int count = r.Int(0, 3);
  for (int i = 0; i < count; ++i) {
    const int kind = r.Int(0, 7);
    const int phase = r.Int(0, 2);  // climb, cruise, descent
    double from = 0.0, to = 0.0;
    if (phase == 0) from = 130.0, to = p.toc - 30.0;
    if (phase == 1) from = p.toc + 60.0, to = p.tod - 120.0;
    if (phase == 2) from = p.tod + 60.0, to = p.end - 240.0;
    if (to - from < 30.0) continue;
    events.push_back({r.Uniform(from, to), kind});
  }
  if (wind_speed > 15.0) events.push_back({r.Uniform(100.0, 200.0), -1});  // the wind aloft
  for (double t : {p.toc / 2.0 + 45.0, p.toc + 120.0, (p.toc + p.tod) / 2.0, p.tod - 200.0, p.tod + 240.0})
    if (t > 130.0 && t < p.end) events.push_back({t, -2});
  if (!hold_fix.empty()) events.push_back({hold_exit, -3});
  // Not before the slowest climb is 3,000 ft up (VNAV climbs at 1,000 ft/min
  // at least from 725 ft at 90 s), whatever the rough profile says.
  if (dest_ground > origin_elevation) events.push_back({std::max(p.toc, 300.0), -4});
  std::sort(events.begin(), events.end(), [](const Event& a, const Event& b) { return a.t < b.t; });

  // The route as the generator expects it after the pilot's edits, for the
  // navigator's list and the CDU's rows.
  std::vector<std::string> idents;
  for (const Point& pt : route.points) idents.push_back(pt.ident);
  std::vector<std::string> told;
  bool direct_done = false;
  // A direct-to past the hold's fix drops the hold: its exit would make a
  // new one where the aircraft is.
  bool hold_pending = !hold_fix.empty();
  auto bypassed = [&](std::size_t target) {
    for (std::size_t i = 0; i < target && i < idents.size(); ++i)
      if (idents[i] == hold_fix) hold_pending = false;
  };
  for (const Event& e : events) {
    out.At(e.t);
    const char* phase = e.t < p.toc ? "climb" : e.t < p.tod ? "cruise" : "descent";
    if (e.kind == -1) {
      // The pages are read again in the new wind, as after the pilot's own
      // changes: the plan is worked out again in it.
      out.Line(Format("set wind_dir %.0f\nset wind_speed %.0f", wind_dir, wind_speed));
      wind_set();
      out.Line(";@ replanned");
      out.Run(1.0);
      out.Legs();
      out.Pages();
      continue;
    }
    if (e.kind == -2) {
      out.Pages();
      continue;
    }
    if (e.kind == -4) {
      out.Line(Format("set ground_elevation %.0f", dest_ground));
      continue;
    }
    if (e.kind == -3) {
      if (!hold_pending) continue;
      out.Line("show 4012");
      out.Keys("SMITHS_FMS_BR", "HOLD");
      out.Keys("SMITHS_FMS_BR", "R6");
      out.Keys("SMITHS_FMS_BR", "EXEC");
      out.Line("hide 4012");
      out.Replanned();
      hold_pending = false;
      continue;
    }
    // The waypoint flown to, and one ahead of it for a direct-to: never the
    // first after the active one's estimate (the estimate may be late).
    std::size_t active = p.ActiveAt(e.t);
    if (direct_done) active = std::min(active + 1, idents.size() - 1);
    const std::size_t target = active + 2 <= idents.size() - 1
                                   ? static_cast<std::size_t>(r.Int(static_cast<int>(active) + 1,
                                                                    static_cast<int>(idents.size()) - 1))
                                   : 0;
    switch (e.kind) {
      case kDirectCdu:
        if (target == 0 || direct_done || idents[target] == "DIRECT") break;
        out.Line("show 4012");
        // DIR INTC, not LEGS: a waypoint typed on RTE LEGS' first row
        // otherwise cuts the route to it, flown as its leg from the waypoint
        // before, not as a line from where the aircraft is.
        out.Keys("SMITHS_FMS_BR", "DIR_INTC " + Keys(idents[target]) + " L1");
        out.Keys("SMITHS_FMS_BR", "EXEC");
        out.Line("hide 4012");
        out.Line(";@ direct");
        out.Replanned();
        told.push_back(std::string("direct-to ") + idents[target] + " on the CDU (" + phase + ")");
        bypassed(target);
        idents.erase(idents.begin() + static_cast<long>(active), idents.begin() + static_cast<long>(target));
        direct_done = true;
        break;
      case kDirectNavigator: {
        // The DIRECT list: the route from its second entry, two columns of
        // nine, a key for one entry or (pressed twice) the one below.
        if (target == 0 || direct_done || target > 18) break;
        const int offset = static_cast<int>(target) - 1;
        int key = 1, presses = 1;
        if (offset >= 1 && offset <= 8) key = 2 + (offset - 1) / 2, presses = 1 + (offset - 1) % 2;
        if (offset == 9) key = 6;
        if (offset >= 10) key = 7 + (offset - 10) / 2, presses = 1 + (offset - 10) % 2;
        std::string keys = "DIRECT";
        out.Line("show 4004");
        out.Keys("GNSXLS_LM", keys);
        keys = Format("LSK%d", key);
        if (presses == 2) keys += Format(" LSK%d", key);
        out.Keys("GNSXLS_LM", keys);
        out.Keys("GNSXLS_LM", "ENT");
        out.Line("hide 4004");
        out.Line(";@ direct");
        out.Replanned();
        told.push_back(std::string("direct-to ") + idents[target] + " on the navigator (" + phase + ")");
        bypassed(target);
        idents.insert(idents.begin() + static_cast<long>(target), "DIRECT");
        direct_done = true;
        break;
      }
      case kLevelCdu:
      case kLevelNavigator: {
        if (e.t > p.tod) break;
        const double base = cruise > 0.0 ? cruise : p.top;
        double level = base + (r.Chance(0.5) ? 1.0 : -1.0) * r.Int(2, 8) * 1000.0;
        level = std::clamp(level, 10000.0, aircraft.ceiling - 1000.0);
        if (std::fabs(level - base) < 1000.0) break;
        if (e.kind == kLevelCdu) {
          out.Line("show 4012");
          out.Keys("SMITHS_FMS_BR", "CRZ " + Keys(Format("%.0f", level)) + " L1");
          out.Keys("SMITHS_FMS_BR", "EXEC");
          out.Line("hide 4012");
        } else {
          out.Line("show 4004");
          out.Keys("GNSXLS_LM", "NAV");
          out.Keys("GNSXLS_LM", "VNAV");
          out.Keys("GNSXLS_LM", "LSK5");
          out.Keys("GNSXLS_LM", "ENT");
          out.Keys("GNSXLS_LM", "LSK7");
          out.Keys("GNSXLS_LM", Keys(Format("%.0f", level)));
          out.Keys("GNSXLS_LM", "ENT");
          out.Keys("GNSXLS_LM", "NAV");
          out.Line("hide 4004");
        }
        out.Replanned();
        told.push_back(Format("cruise level %.0f on the ", level) + (e.kind == kLevelCdu ? "CDU (" : "navigator (") +
                       phase + ")");
        cruise = level;
        break;
      }
      case kRestriction: {
        // The constraint typed on the target's line of RTE LEGS and
        // executed, the plan then read again.
        auto type_on_legs = [&](const std::string& text, const char* phase_typed) {
          // Below the hold's fix its "HOLD AT" line: typed there, the
          // constraint went to the fix, not to the waypoint after it.
          const auto fix = std::find(idents.begin() + static_cast<long>(active),
                                     idents.begin() + static_cast<long>(target), hold_fix);
          const bool below_hold = hold_pending && fix != idents.begin() + static_cast<long>(target);
          const std::size_t row = target - active + (below_hold ? 1 : 0);
          std::string keys = "LEGS";
          for (std::size_t i = 0; i < row / 5; ++i) keys += " NEXT_PAGE";
          out.Line("show 4012");
          out.Keys("SMITHS_FMS_BR", keys + " " + Keys(text) + Format(" R%zu", row % 5 + 1));
          out.Keys("SMITHS_FMS_BR", "EXEC");
          out.Line("hide 4012");
          out.Line(";@ constraint " + text);
          out.Replanned();
          told.push_back("restriction " + text + " typed in the " + phase_typed);
        };
        if (target == 0 || idents[target] == "DIRECT" || target == idents.size() - 1) break;
        const double planned = p.AltAt(p.at[std::min(target, p.at.size() - 1)]);
        const bool descending = e.t > p.tod - 300.0;
        if (!descending && e.t < p.toc) {
          // In the climb: a crossing altitude under the level at a waypoint
          // ahead, below where the climb would cross it or at the level's
          // side of the top of climb, as a pilot may be given one. Drawn on a
          // stream of its own: the seed's other events stay as they were.
          Random own(Mix(seed * 0x100000001B3ull + static_cast<std::uint64_t>(e.t * 1000.0)));
          const double top = std::min(planned, p.top);
          const double under = own.Uniform(1000.0, 0.6 * (top - origin_elevation));
          const double altitude = std::round(std::max(origin_elevation + 3000.0, top - under) / 100.0) * 100.0;
          if (!(altitude < p.top - 500.0)) break;
          const char* kind = own.Chance(0.4) ? "A" : own.Chance(0.5) ? "B" : "";
          const std::string text = (own.Chance(0.5) ? Format("%d", own.Int(22, 28) * 10) : std::string()) + "/" +
                                   Format("%.0f", altitude) + kind;
          type_on_legs(text, "climb");
          break;
        }
        if (!descending) break;  // in the cruise the gate's restrictions serve
        const double altitude = std::round(std::max(planned + r.Uniform(-2000.0, 1000.0), 3000.0) / 100.0) * 100.0;
        const std::string text = Format("%.0f/%.0fA", r.Int(20, 25) * 10.0, altitude);
        type_on_legs(text, "descent");
        break;
      }
      case kVnavOffOn: {
        out.Line("click VNAV 32 24");
        out.At(e.t + r.Uniform(30.0, 120.0));
        out.Line("click VNAV 32 24");
        out.Run(2.0);
        out.Replanned();
        told.push_back(std::string("VNAV off and on (") + phase + ")");
        break;
      }
      case kSpeedEntry: {
        const char* page = e.t < p.toc ? "CLB" : e.t < p.tod - 60.0 ? "CRZ" : "DES";
        // An airspeed, a Mach (".76"), or both.
        const int form = r.Int(0, 2);
        const std::string knots = Format("%d", r.Int(26, 32) * 10), mach = Format(".%d", r.Int(70, 82));
        const std::string text = form == 0 ? knots : form == 1 ? "/" + mach : knots + "/" + mach;
        out.Line("show 4012");
        out.Keys("SMITHS_FMS_BR", std::string(page) + " " + Keys(text) + " L2");
        out.Keys("SMITHS_FMS_BR", "EXEC");
        out.Line("hide 4012");
        out.Replanned();
        told.push_back(std::string(page) + " speed " + text + " (" + phase + ")");
        break;
      }
      case kWind: {
        wind_dir = Wrap360(wind_dir + r.Uniform(-60.0, 60.0));
        wind_speed = std::clamp(wind_speed * r.Uniform(0.5, 1.5) + r.Uniform(-10.0, 10.0), 0.0, 150.0);
        out.Line(Format("set wind_dir %.0f\nset wind_speed %.0f", wind_dir, wind_speed));
        wind_set();
        out.Line(";@ replanned");
        out.Run(1.0);
        out.Legs();
        out.Pages();
        told.push_back(Format("wind to %.0f kt (%s)", wind_speed, phase));
        break;
      }
      default:
        break;
    }
  }
  // The end: the last waypoint made active, the hold and the pilot's
  // pauses allowed for.
  const double allowance = 600.0 + hold_time + 120.0 * count;
  out.At(std::max({p.end * 1.2 + allowance, slowest + allowance, out.now() + 60.0}));
  for (const std::string& t : told) kinds += ", " + t;
  g.kinds = kinds;
  g.scenario = out.text();
  return g;
}

}  // namespace ovi::flights
