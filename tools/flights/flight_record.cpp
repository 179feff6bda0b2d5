#include "tools/flights/flight_record.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace ovi::flights {

namespace fs = std::filesystem;

namespace {

constexpr double kRadiansPerDegree = 0.017453292519943295;

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
  return s;
}

// The speed restrictions the module flies by, from the aircraft file.
void ReadAircraft(const std::string& path, FlightRecord& f) {
  for (const std::string& line : Lines(ReadText(path))) {
    std::istringstream in(line);
    std::string key;
    double value = 0.0;
    if (!(in >> key >> value)) continue;
    key = Lower(key);
    if (key == "clbspdrest") f.climb_limit_speed = value;
    if (key == "clbaltrest") f.climb_limit_altitude = value;
    if (key == "descspdrest") f.descent_limit_speed = value;
    if (key == "descaltrest") f.descent_limit_altitude = value;
  }
}

}  // namespace

// Every point the navigation data places: waypoints, navaids, airports,
// the fixes of procedures and airways.
void ReadNavigationData(const std::string& folder, FlightRecord& f) {
  auto add = [&](const std::string& ident, double lat, double lon) {
    if (std::fabs(lat) <= 90.0 && std::fabs(lon) <= 180.0) f.nav_where.emplace(ident, Position{lat, lon});
  };
  for (const char* name : {"navs.txt", "ints.txt"}) {
    for (const std::string& line : Lines(ReadText(folder + "/" + name))) {
      std::istringstream in(line);
      std::string ident;
      double lat = 0.0, lon = 0.0;
      if (!line.empty() && line[0] != ';' && in >> ident >> lat >> lon) add(ident, lat, lon);
    }
  }
  for (const std::string& line : Lines(ReadText(folder + "/apts.txt"))) {
    std::istringstream in(line);
    std::string kind, ident;
    double elevation = 0.0, lat = 0.0, lon = 0.0;
    if (in >> kind >> ident >> elevation >> lat >> lon && kind == "A") {
      add(ident, lat, lon);
      f.airport_elevation[ident] = elevation;
    }
  }
  for (const char* name : {"sids.txt", "stars.txt", "apps.txt", "sids_user.txt", "stars_user.txt"}) {
    for (const std::string& line : Lines(ReadText(folder + "/" + name))) {
      std::istringstream in(line);
      std::string kind, transition, fix, role, altitude;
      double lat = 0.0, lon = 0.0;
      if (!(in >> kind >> transition >> fix >> role >> altitude >> lat >> lon) || kind != "L") continue;
      add(fix, lat, lon);
      for (std::string flag; in >> flag;)
        if (flag == "FO") f.flyover.insert(fix);
    }
  }
  for (const std::string& line : Lines(ReadText(folder + "/awys.txt"))) {
    std::istringstream in(line);
    std::string airway, ident;
    double lat = 0.0, lon = 0.0;
    if (!line.empty() && line[0] != ';' && in >> airway >> ident >> lat >> lon) add(ident, lat, lon);
  }
}

namespace {

// The simulator's frames a second: a key pressed takes one.
constexpr double kSimTicksPerSecond = 18.0;

// The scenario's markers and the world it sets, on the simulator's clock:
// `at` and `run` say where it is to be, and every key pressed takes a frame
// of its own (ovi-sim), so the clock runs that much later than planned. On
// the planned clock alone, a marker after a page read and a cruise level
// typed came a second or two before the readings taken ahead of it. The
// simulator runs whole frames, `at` and `run` to the frame nearest the time
// asked for: counted to the time itself, the clock fell a quarter of a
// second behind over a few pages read, and a new wind set after a T/C read
// was taken for one set before it.
void ReadScenario(const std::string& path, FlightRecord& f) {
  auto frame = [](double t) { return std::round(t * kSimTicksPerSecond) / kSimTicksPerSecond; };
  double now = 0.0, planned = 0.0;
  for (const std::string& line : Lines(ReadText(path))) {
    std::istringstream in(line);
    std::string word;
    in >> word;
    double seconds = 0.0;
    if (word == "at" && in >> seconds) planned = seconds, now = std::max(now, frame(planned));
    if (word == "run" && in >> seconds) planned += seconds, now = std::max(now, frame(planned));
    if (word == "press") {
      std::string gauge;
      in >> gauge;
      for (std::string key; in >> key;) now += 1.0 / kSimTicksPerSecond;
      planned = std::max(planned, now);
    }
    if (word == "gps_wpt") {
      std::string ident;
      double lat = 0.0, lon = 0.0;
      if (in >> ident >> lat >> lon) {
        f.gps_where[ident] = {lat, lon};
        double altitude = NAN;
        f.gps_end_elevation = in >> altitude ? altitude : NAN;
        f.gps_end = ident;
      }
    }
    if (word == "set") {
      std::string field;
      in >> field;
      if ((field == "wind_dir" || field == "wind_speed") && now > 0.0) f.wind_changes.push_back(now);
    }
    if (word != ";@") continue;
    std::string what;
    in >> what;
    if (what == "aircraft") in >> f.aircraft;
    if (what == "hold") {
      in >> f.hold_fix;
      if (!(in >> f.hold_until)) f.hold_until = 1e9;
      std::string flown;
      f.hold_required = !(in >> flown && flown == "if-flown");
    }
    if (what == "lands") f.lands = true;
    if (what == "replanned") f.replanned.push_back(now);
    if (what == "direct") f.directs.push_back(now);
    if (what == "constraint") {
      // "250/13000A", "/FL200B", "210/"
      std::string text;
      in >> text;
      TypedConstraint c;
      c.t = now;
      const std::size_t slash = text.find('/');
      c.speed = std::atof(text.substr(0, slash).c_str());
      std::string altitude = slash == std::string::npos ? "" : text.substr(slash + 1);
      if (!altitude.empty() && (altitude.back() == 'A' || altitude.back() == 'B')) {
        c.kind = altitude.back();
        altitude.pop_back();
      }
      const bool level = altitude.rfind("FL", 0) == 0;
      c.altitude = std::atof(altitude.c_str() + (level ? 2 : 0)) * (level ? 100.0 : 1.0);
      f.typed.push_back(c);
    }
    if (what == "bound") {
      // ";@ bound pages GNS-XLS TO #TOD 2.5": the reading's name may hold blanks.
      Bound b;
      in >> b.check;
      std::vector<std::string> words;
      for (std::string w; in >> w;) words.push_back(w);
      if (words.size() >= 2) {
        b.nm = std::atof(words.back().c_str());
        words.pop_back();
        for (const std::string& w : words) b.what += (b.what.empty() ? "" : " ") + w;
        f.bounds.push_back(b);
      }
    }
  }
}

}  // namespace

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::stringstream s(text);
  for (std::string l; std::getline(s, l);) {
    if (!l.empty() && l.back() == '\r') l.pop_back();
    lines.push_back(l);
  }
  return lines;
}

std::string ReadText(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::stringstream s;
  s << f.rdbuf();
  return s.str();
}

std::vector<Text> ReadTextRecord(const std::string& path) {
  std::vector<Text> texts;
  for (const std::string& line : Lines(ReadText(path))) {
    if (line.empty() || line[0] == ';') continue;
    std::istringstream in(line);
    double skip = 0.0;
    Text t{};
    in >> skip >> skip >> skip >> skip >> skip >> t.x >> t.y;
    // The font's quoted name, then the text's, each with \" and \\ inside.
    std::size_t at = line.find('"');
    for (int field = 0; field < 2 && at != std::string::npos; ++field) {
      t.s.clear();
      for (++at; at < line.size() && line[at] != '"'; ++at) t.s += line[at] == '\\' ? line[++at] : line[at];
      at = line.find('"', at + 1);
    }
    texts.push_back(t);
  }
  return texts;
}

double DistanceNm(const Position& a, const Position& b) {
  const double p1 = a.lat * kRadiansPerDegree, p2 = b.lat * kRadiansPerDegree;
  const double dl = (b.lon - a.lon) * kRadiansPerDegree;
  const double h = std::pow(std::sin((p2 - p1) / 2.0), 2) + std::cos(p1) * std::cos(p2) * std::pow(std::sin(dl / 2.0), 2);
  return 2.0 * std::asin(std::min(1.0, std::sqrt(h))) / kRadiansPerDegree * 60.0;
}

double CourseDeg(const Position& a, const Position& b) {
  const double p1 = a.lat * kRadiansPerDegree, p2 = b.lat * kRadiansPerDegree;
  const double dl = (b.lon - a.lon) * kRadiansPerDegree;
  const double y = std::sin(dl) * std::cos(p2);
  const double x = std::cos(p1) * std::sin(p2) - std::sin(p1) * std::cos(p2) * std::cos(dl);
  const double c = std::atan2(y, x) / kRadiansPerDegree;
  return c < 0.0 ? c + 360.0 : c;
}

Position Travel(const Position& from, double course, double nm) {
  const double d = nm / 60.0 * kRadiansPerDegree, c = course * kRadiansPerDegree;
  const double p1 = from.lat * kRadiansPerDegree, l1 = from.lon * kRadiansPerDegree;
  const double p2 = std::asin(std::sin(p1) * std::cos(d) + std::cos(p1) * std::sin(d) * std::cos(c));
  const double l2 = l1 + std::atan2(std::sin(c) * std::sin(d) * std::cos(p1), std::cos(d) - std::sin(p1) * std::sin(p2));
  return {p2 / kRadiansPerDegree, std::remainder(l2 / kRadiansPerDegree, 360.0)};
}

bool ReadFlight(const std::string& sim, const std::string& scenario, const std::string& out, FlightRecord& f,
                std::string& error) {
  for (const char* name : {"track.txt", "key_events.txt", "flight.txt"}) {
    if (!fs::is_regular_file(out + "/" + name)) {
      error = out + "/" + name + ": not written";
      return false;
    }
  }
  ReadScenario(scenario, f);
  ReadAircraft(sim + "/ovi/Aircraft/" + f.aircraft + ".cfg", f);
  ReadNavigationData(sim + "/ovi/navdata", f);
  for (const auto& [ident, where] : f.gps_where) f.flyover.erase(ident);

  double flown = 0.0;
  for (const std::string& line : Lines(ReadText(out + "/track.txt"))) {
    if (line.empty() || line[0] == ';') continue;
    std::istringstream in(line);
    Sample s{};
    std::string holds;
    int on_ground = 0;
    in >> s.t >> s.lat >> s.lon >> s.alt >> s.ias >> s.mach >> s.gs >> s.vs >> s.track >> s.ap_alt >> s.ap_vs >>
        s.ap_speed >> s.ap_mach >> holds >> on_ground;
    s.on_ground = on_ground != 0;
    s.alt_lock = holds.size() == 4 && holds[0] == '1';
    s.mach_hold = holds.size() == 4 && holds[2] == '1';
    s.approach = holds.size() == 4 && holds[3] == '1';
    if (!f.track.empty()) flown += DistanceNm({f.track.back().lat, f.track.back().lon}, {s.lat, s.lon});
    s.flown = flown;
    f.track.push_back(s);
  }
  if (f.track.empty()) {
    error = out + "/track.txt: no samples";
    return false;
  }
  for (const std::string& line : Lines(ReadText(out + "/key_events.txt"))) {
    std::istringstream in(line);
    Command c{};
    std::string tick, source;
    unsigned long long value = 0;
    if (in >> c.t >> tick >> source >> c.id >> value && source == "module") {
      c.value = static_cast<long long>(static_cast<std::int32_t>(value));
      f.commands.push_back(c);
    }
  }
  for (const std::string& line : Lines(ReadText(out + "/flight.txt"))) {
    f.events.push_back(line);
    const double t = std::atof(line.c_str());
    const std::size_t end = line.find(" at ");
    const std::size_t route = line.find(" route ");
    if (route != std::string::npos && route < end) {
      RouteRecord r;
      r.t = t;
      std::istringstream in(line.substr(route + 7, end - route - 7));
      for (std::string w; in >> w;) r.idents.push_back(w);
      f.routes.push_back(r);
    }
    const std::size_t active = line.find(" active ");
    if (active != std::string::npos && active < end && line.find("LNAV off") == std::string::npos &&
        !f.routes.empty())
      f.routes.back().active = line.substr(active + 8, end - active - 8);
  }
  const std::string snapshots = out + "/snapshots";
  if (fs::is_directory(snapshots)) {
    for (const auto& dir : fs::directory_iterator(snapshots)) {
      const std::string name = dir.path().filename().string();
      if (name.size() < 2 || name[0] != 't' || !std::isdigit(static_cast<unsigned char>(name[1]))) continue;
      Reading r{std::atof(name.c_str() + 1), {}, {}};
      for (const auto& file : fs::directory_iterator(dir.path())) {
        const std::string n = file.path().filename().string();
        if (n.find("_SMITHS_FMS_BR.txt") != std::string::npos) r.cdu = ReadTextRecord(file.path().string());
        if (n.find("_GNSXLS_LM.txt") != std::string::npos) r.gns = ReadTextRecord(file.path().string());
      }
      f.readings.push_back(r);
    }
  }
  std::sort(f.readings.begin(), f.readings.end(), [](const Reading& a, const Reading& b) { return a.t < b.t; });
  return true;
}

}  // namespace ovi::flights
