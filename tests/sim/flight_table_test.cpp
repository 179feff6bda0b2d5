// The table of flights: every scenario under tests/data/flights is a row,
// flown by ovi-sim with the real module on a light panel (the SERVER and
// the engage buttons in view; the CDU and the GNS-XLS in closed windows,
// opened only to be read) and checked as a pilot checks a flight, from what
// ovi-sim writes: the aircraft's track, the key events, the flight record
// and the pages read on the way. docs/scenario.md ("The table of flights")
// gives the lines a row adds to an ordinary scenario.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "tests/sim/test_support.h"

namespace ovi::sim {
namespace {

namespace fs = std::filesystem;
using test::Lines;
using test::ReadFile;

// Checks known to fail, by row: reported, not failing the row. A turn is
// anticipated from its radius, which goes with the square of the speed:
// the step climb's turn of 129 degrees at GEG (490 kt over the ground) is
// planned at the true airspeed of M0.74 at the T/C OAT the module takes
// (-30 C), 2 % faster than the stand-in flies it at its standard -48 C, and
// read before the turn the destination is about a mile short
// (docs/guidance.md).
const std::set<std::pair<std::string, std::string>> kExpectedFailures = {
    {"step-climb", "pages"},
};

const char* const kCheckNames[] = {"path", "hold", "flicker", "repeat", "speed", "limit", "pages", "end"};

constexpr double kRadiansPerDegree = 0.017453292519943295;

double Nm(double lat1, double lon1, double lat2, double lon2) {
  const double p1 = lat1 * kRadiansPerDegree, p2 = lat2 * kRadiansPerDegree;
  const double dl = (lon2 - lon1) * kRadiansPerDegree;
  const double c = std::sin(p1) * std::sin(p2) + std::cos(p1) * std::cos(p2) * std::cos(dl);
  return std::acos(std::clamp(c, -1.0, 1.0)) / kRadiansPerDegree * 60.0;
}

// One second of the stand-in's track.txt.
struct Sample {
  double t, lat, lon, alt, ias, mach, gs, vs;
  bool mach_hold, approach, on_ground;
  double flown;  // NM over the ground since the start
};

struct Command {
  double t;
  std::string id;
  long long value;
};

struct Text {
  double x, y;
  std::string s;
};
struct Reading {
  double t;
  std::vector<Text> cdu, gns;
};

// The lines a row adds, expanded into scenario commands: the pages are
// read in closed windows opened for the purpose.
std::string Expand(const std::string& line) {
  auto cdu = [](const std::vector<std::string>& keys) {
    std::string s = "show 4012\n";
    for (const auto& k : keys) s += "press SMITHS_FMS_BR " + k + "\nrun 0.1\nsnapshot\n";
    return s + "hide 4012\n";
  };
  // RTE LEGS is left on its first sub-page, where a row's own keys expect it.
  if (line == ";@ legs")
    return cdu({"LEGS", "NEXT_PAGE", "NEXT_PAGE", "NEXT_PAGE"}) +
           "show 4012\npress SMITHS_FMS_BR PREV_PAGE PREV_PAGE PREV_PAGE\nhide 4012\n";
  if (line == ";@ pages") {
    return cdu({"CLB", "DES", "PROG"}) +
           "show 4004\npress GNSXLS_LM NAV\npress GNSXLS_LM VNAV\nrun 0.1\nsnapshot\nhide 4004\n";
  }
  return line + "\n";
}

std::string Panel(const std::string& aircraft) {
  return "[Window Titles]\nWindow00=Main\nWindow01=CDU\nWindow02=GNS\n\n[Window00]\nident=MAIN_PANEL\n"
         "size_mm=140,120\nvisible=1\ngauge00=ovi1!SERVER, 0, 0, 8, 8\ngauge01=ovi1!LNAV, 0, 10, 64, 48, " +
         aircraft + "\ngauge02=ovi1!VNAV, 70, 10, 64, 48\n\n[Window01]\nident=4012\nsize_mm=415,640\nvisible=0\n"
         "gauge00=ovi1!SMITHS_FMS_BR, 0, 0, 415, 640, " +
         aircraft + "\n\n[Window02]\nident=4004\nsize_mm=550,433\nvisible=0\ngauge00=ovi1!GNSXLS_LM, 0, 0, 550, 433\n";
}

// A text record: "element x y w h canvas_x canvas_y colour size style "font" "text"".
std::vector<Text> ReadRecord(const std::string& path) {
  std::vector<Text> texts;
  for (const std::string& line : Lines(ReadFile(path))) {
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

const Text* Find(const std::vector<Text>& texts, const std::string& s) {
  for (const Text& t : texts)
    if (t.s == s) return &t;
  return nullptr;
}

// The number after the last '/' of the text at `y` right of `x` (the CDU's
// "0951.3Z / 12.3", "0951.3Z/25 NM"), or of the whole text.
double NumberAt(const std::vector<Text>& texts, double x, double y) {
  for (const Text& t : texts) {
    if (std::fabs(t.y - y) > 0.5 || t.x < x) continue;
    const std::size_t slash = t.s.rfind('/');
    return std::atof(t.s.c_str() + (slash == std::string::npos ? 0 : slash + 1));
  }
  return NAN;
}

class Flight {
 public:
  // The descent's speed limit below its altitude, from the aircraft's file.
  void ReadAircraft(const std::string& path) {
    for (const std::string& line : Lines(ReadFile(path))) {
      std::istringstream in(line);
      std::string key;
      double value = 0.0;
      if (!(in >> key >> value)) continue;
      std::transform(key.begin(), key.end(), key.begin(), [](unsigned char c) { return std::tolower(c); });
      if (key == "descspdrest") limit_speed_ = value;
      if (key == "descaltrest") limit_altitude_ = value;
    }
  }

  void Read(const std::string& scenario, const std::string& out) {
    for (const std::string& line : Lines(ReadFile(scenario))) {
      std::istringstream in(line);
      std::string word, ident;
      in >> word;
      double lat = 0.0, lon = 0.0;
      if (word == "gps_wpt" && in >> ident >> lat >> lon) where_[ident] = {lat, lon};
      // The scenario's clock, for the markers: `at` sets it, `run` moves it on.
      double seconds = 0.0;
      if (word == "at" && in >> seconds) now_ = seconds;
      if (word == "run" && in >> seconds) now_ += seconds;
      if (word == ";@") {
        std::string what;
        in >> what;
        if (what == "hold") {
          in >> hold_fix_;
          if (!(in >> hold_until_)) hold_until_ = 1e9;
        }
        if (what == "lands") lands_ = true;
        if (what == "replanned") replanned_.push_back(now_);
      }
    }
    double flown = 0.0;
    for (const std::string& line : Lines(ReadFile(out + "/track.txt"))) {
      if (line.empty() || line[0] == ';') continue;
      std::istringstream in(line);
      Sample s{};
      double unused = 0.0;
      std::string holds;
      in >> s.t >> s.lat >> s.lon >> s.alt >> s.ias >> s.mach >> s.gs >> s.vs >> unused >> unused >> unused >>
          unused >> unused >> holds >> s.on_ground;
      s.mach_hold = holds.size() == 4 && holds[2] == '1';
      s.approach = holds.size() == 4 && holds[3] == '1';
      if (!track_.empty()) flown += Nm(track_.back().lat, track_.back().lon, s.lat, s.lon);
      s.flown = flown;
      track_.push_back(s);
    }
    for (const std::string& line : Lines(ReadFile(out + "/key_events.txt"))) {
      std::istringstream in(line);
      Command c{};
      std::string tick, source;
      unsigned long long value = 0;
      if (in >> c.t >> tick >> source >> c.id >> value && source == "module") {
        c.value = static_cast<long long>(static_cast<std::int32_t>(value));
        commands_.push_back(c);
      }
    }
    for (const std::string& line : Lines(ReadFile(out + "/flight.txt"))) events_.push_back(line);
    for (const auto& dir : fs::directory_iterator(out + "/snapshots")) {
      const std::string name = dir.path().filename().string();
      if (name.size() < 2 || name[0] != 't') continue;
      Reading r{std::atof(name.c_str() + 1), {}, {}};
      for (const auto& f : fs::directory_iterator(dir.path())) {
        const std::string file = f.path().filename().string();
        if (file.find("_SMITHS_FMS_BR.txt") != std::string::npos) r.cdu = ReadRecord(f.path().string());
        if (file.find("_GNSXLS_LM.txt") != std::string::npos) r.gns = ReadRecord(f.path().string());
      }
      readings_.push_back(r);
    }
    std::sort(readings_.begin(), readings_.end(), [](const Reading& a, const Reading& b) { return a.t < b.t; });
  }

  // Each check adds what a pilot would object to.
  std::map<std::string, std::vector<std::string>> Check() {
    problems_.clear();
    CheckPath();
    CheckHold();
    CheckCommands();
    CheckSpeeds();
    CheckPages();
    CheckEnd();
    return problems_;
  }

 private:
  template <typename... A>
  void Object(const std::string& check, const char* format, A... args) {
    char text[256];
    std::snprintf(text, sizeof text, format, args...);
    problems_[check].emplace_back(text);
  }

  const Sample& At(double t) const {
    const auto it =
        std::lower_bound(track_.begin(), track_.end(), t, [](const Sample& s, double v) { return s.t < v; });
    return it == track_.end() ? track_.back() : *it;
  }
  // Times from the flight record ("1500.7 passed BTG at ...").
  double EventTime(const std::string& what) const {
    for (const std::string& e : events_)
      if (e.find(" " + what + " at ") != std::string::npos) return std::atof(e.c_str());
    return NAN;
  }
  // VNAV engaged at `t`; with `or_last`, also once it went off as the last
  // waypoint was made active (the autopilot goes on down its last rate).
  bool VnavOn(double t, bool or_last = false) const {
    bool on = false;
    double off = NAN;
    for (const std::string& e : events_) {
      if (std::atof(e.c_str()) > t) break;
      if (e.find(" VNAV on ") != std::string::npos) on = true;
      if (e.find(" VNAV off ") != std::string::npos) on = false, off = std::atof(e.c_str());
    }
    const std::vector<std::string> route = Route();
    return on || (or_last && !route.empty() && off == EventTime("LNAV off, active " + route.back()));
  }
  std::vector<std::string> Route() const {
    std::vector<std::string> idents;
    for (const std::string& e : events_) {
      const std::size_t at = e.find(" route ");
      if (at == std::string::npos) continue;
      std::istringstream in(e.substr(at + 7, e.find(" at ", at) - at - 7));
      idents.clear();
      for (std::string w; in >> w;) idents.push_back(w);
    }
    return idents;
  }
  // The sample nearest a waypoint after `from`, while it draws nearer.
  const Sample* Abeam(const std::string& ident, double from) const {
    const auto w = where_.find(ident);
    if (w == where_.end()) return nullptr;
    const Sample* best = nullptr;
    double nearest = 1e9;
    for (const Sample& s : track_) {
      if (s.t < from || s.on_ground) continue;
      const double d = Nm(s.lat, s.lon, w->second.first, w->second.second);
      if (d < nearest) nearest = d, best = &s;
      if (d > nearest + 5.0) break;
    }
    return nearest < 5.0 ? best : nullptr;
  }
  // The plan's altitude at a waypoint as RTE LEGS last showed it before `t`
  // (a constraint with its speed).
  double Planned(const std::string& ident, double t, bool& constraint, double* speed = nullptr) const {
    double planned = NAN;
    for (const Reading& r : readings_) {
      if (r.t > t || r.cdu.empty() || Find(r.cdu, "RTE    LEGS") == nullptr) continue;
      for (std::size_t i = 0; i + 1 < r.cdu.size(); ++i) {
        // The row's "spd / alt" after its ident: "  250 /  4900", "  290 / FL240",
        // "- - - - / 13000A" (a constraint's "A").
        const std::string& row = r.cdu[i + 1].s;
        const std::size_t slash = row.find('/');
        if (r.cdu[i].s.substr(0, r.cdu[i].s.find_last_not_of(' ') + 1) != ident || slash == std::string::npos) continue;
        std::istringstream left(row.substr(0, slash)), right(row.substr(slash + 1));
        std::string altitude;
        right >> altitude;
        const bool level = altitude.rfind("FL", 0) == 0;
        const char* digits = altitude.c_str() + (level ? 2 : 0);
        if (!std::isdigit(static_cast<unsigned char>(*digits))) continue;
        planned = std::atof(digits) * (level ? 100.0 : 1.0);
        constraint = altitude.back() == 'A';
        double knots = NAN;
        if (speed != nullptr) *speed = constraint && left >> knots ? knots : NAN;
      }
    }
    return planned;
  }
  // The first time from `t` on when the aircraft has started down (the
  // top of descent as flown), NaN when it does not.
  double DescentStart(double t) const {
    for (const Sample& s : track_)
      if (s.t >= t && s.vs < -300.0) return s.t;
    return NAN;
  }

  // Within 300 ft of the plan at every waypoint of the descent and every
  // constraint the aircraft meets.
  void CheckPath() {
    double peak_t = 0.0, peak = -1e9;
    for (const Sample& s : track_)
      if (s.alt > peak + 1.0) peak = s.alt, peak_t = s.t;
    const double tod = DescentStart(peak_t);
    const std::vector<std::string> route = Route();
    double from = 0.0;
    for (std::size_t i = 1; i + 1 < route.size(); ++i) {
      const Sample* s = Abeam(route[i], from);
      if (s == nullptr) continue;
      from = s->t;
      if (!VnavOn(s->t, true) || s->approach) continue;
      bool constraint = false;
      double speed = NAN;
      const double planned = Planned(route[i], s->t, constraint, &speed);
      if (std::isnan(planned) || !(constraint || (s->t > tod && planned < peak - 150.0))) continue;
      if (std::fabs(s->alt - planned) > 300.0)
        Object("path", "%s at %.0f s: %.0f ft, the plan %.0f", route[i].c_str(), s->t, s->alt, planned);
      if (s->ias > speed + 5.0)
        Object("path", "%s at %.0f s: %.0f kt, the constraint %.0f", route[i].c_str(), s->t, s->ias, speed);
    }
  }

  // Round the racetrack at one level, the plan's at its fix.
  void CheckHold() {
    if (hold_fix_.empty()) return;
    const Sample* first = Abeam(hold_fix_, 0.0);
    const double left = EventTime("passed " + hold_fix_);
    if (first == nullptr || std::isnan(left)) return Object("hold", "no hold at %s", hold_fix_.c_str());
    bool unused = false;
    const double planned = Planned(hold_fix_, first->t, unused);
    double low = 1e9, high = -1e9;
    for (const Sample& s : track_) {
      if (s.t < first->t + 60.0 || s.t > std::min(left, hold_until_)) continue;
      low = std::min(low, s.alt);
      high = std::max(high, s.alt);
    }
    if (high < low) return Object("hold", "%s left within a minute of the fix", hold_fix_.c_str());
    if (high - low > 50.0) Object("hold", "%s flown from %.0f to %.0f ft", hold_fix_.c_str(), low, high);
    if (!(std::fabs(high - planned) <= 300.0))
      Object("hold", "%s flown at %.0f ft, the plan %.0f", hold_fix_.c_str(), high, planned);
  }

  // No command sent on every tick, none flickering between two values.
  void CheckCommands() {
    std::map<std::string, std::vector<const Command*>> by_id;
    for (const Command& c : commands_)
      if (c.id != "0x101FA") by_id[c.id].push_back(&c);
    for (const auto& [id, list] : by_id) {
      std::vector<double> returns, repeats;
      for (std::size_t i = 1; i < list.size(); ++i) {
        if (list[i]->value == list[i - 1]->value) repeats.push_back(list[i]->t);
        if (i >= 2 && list[i]->value == list[i - 2]->value && list[i]->value != list[i - 1]->value &&
            list[i]->t - list[i - 2]->t < 10.0)
          returns.push_back(list[i]->t);
      }
      for (const auto& [times, name, most] :
           {std::tuple{&returns, "flicker", 1}, std::tuple{&repeats, "repeat", 3}}) {
        for (std::size_t i = static_cast<std::size_t>(most); i < times->size(); ++i) {
          if ((*times)[i] - (*times)[i - static_cast<std::size_t>(most)] >= 10.0) continue;
          Object(name, "%s: %zu sends at %.1f s", id.c_str(), static_cast<std::size_t>(most) + 1, (*times)[i]);
          break;
        }
      }
    }
  }

  // Climbing and descending under VNAV the speed VNAV last asked for,
  // within 15 kt once the autopilot had time to reach it; never faster than
  // the descent's limit below its altitude.
  void CheckSpeeds() {
    // The last airspeed and Mach asked for, and when the one held is met
    // after either or the mode last changed: the autopilot holds the one
    // its mode holds (above the
    // descent's crossover the descent keeps its Mach while the airspeed it
    // asks for waits below it).
    double knots = NAN, mach = NAN, settled = 0.0, worst = 0.0, worst_t = 0.0, over = 0.0, over_t = 0.0;
    bool mode = false;
    std::size_t next = 0;
    for (const Sample& s : track_) {
      bool changed = s.mach_hold != mode;
      for (; next < commands_.size() && commands_[next].t <= s.t; ++next) {
        const Command& c = commands_[next];
        if (c.id != "0x101F5" && c.id != "0x101F6") continue;
        if (c.id == "0x101F6") mach = c.value / 100.0;
        if (c.id == "0x101F5") knots = static_cast<double>(c.value);
        changed = true;
      }
      mode = s.mach_hold;
      const double target = s.mach_hold ? mach : knots;
      // In knots now.
      const double off = s.mach_hold ? s.ias * (target / std::max(s.mach, 0.01) - 1.0) : target - s.ias;
      // The autopilot's 1.5 kt a second to it.
      if (changed && std::isfinite(off)) settled = s.t + 20.0 + std::fabs(off) / 1.5;
      if (!VnavOn(s.t) || std::fabs(s.vs) < 300.0 || s.on_ground || s.approach) continue;
      if (s.vs < 0.0 && s.alt < limit_altitude_ && s.ias - limit_speed_ > over)
        over = s.ias - limit_speed_, over_t = s.t;
      if (std::isnan(target) || s.t < settled) continue;
      if (std::fabs(off) > std::fabs(worst)) worst = off, worst_t = s.t;
    }
    if (std::fabs(worst) > 15.0) Object("speed", "%.0f kt off the speed asked for at %.0f s", worst, worst_t);
    if (over > 5.0)
      Object("limit", "%.0f kt over %.0f kt below %.0f ft at %.0f s", over, limit_speed_, limit_altitude_, over_t);
  }

  // Every distance to the T/C, the T/D and the destination a page showed,
  // against the distance then flown to it.
  void CheckPages() {
    const double hold_left = hold_fix_.empty() ? 0.0 : EventTime("passed " + hold_fix_);
    std::pair<double, double> last{NAN, NAN};  // the last destination distance read: time, NM
    for (const Reading& r : readings_)
      if (Find(r.cdu, "PROGRESS") != nullptr && !std::isnan(NumberAt(r.cdu, 1.0, 131.0)))
        last = {r.t, NumberAt(r.cdu, 1.0, 131.0)};
    for (const Reading& r : readings_) {
      const Sample& now = At(r.t);
      // `step`: the page's own resolution, which the comparison allows for.
      auto compare = [&](const char* what, double shown, double when, double step = 0.0) {
        // Holds are not counted ahead: a reading before one is not held
        // to the distance flown round it. Nor is a reading before the pilot
        // changes the plan (`;@ replanned`) to the distance flown after.
        if (std::isnan(shown) || std::isnan(when) || (r.t < hold_left && when > hold_left - 60.0)) return;
        for (double change : replanned_)
          if (r.t < change && when > change) return;
        const double flown = At(when).flown - now.flown;
        if (std::fabs(shown - flown) > 1.0 + step)
          Object("pages", "%s at %.1f s: %.1f NM shown, %.1f flown", what, r.t, shown, flown);
      };
      if (const Text* l = Find(r.cdu, "T O   T / C"))
        compare("ECON CLB T/C", NumberAt(r.cdu, l->x, l->y + 11.0), ClimbEnd(r.t));
      if (Find(r.gns, "TO #TOC") != nullptr) compare("GNS-XLS TO #TOC", NumberAt(r.gns, 300.0, 120.0), ClimbEnd(r.t));
      if (const Text* l = Find(r.cdu, "T O   T / D")) compare("ECON DES T/D", NumberAt(r.cdu, 150.0, l->y + 11.0),
                                                            DescentStart(r.t));
      // LNAV goes off as the last waypoint is made active, and the flight
      // ends as the scenario flies it: each reading against the last one,
      // over the route flown between them.
      // PROGRESS shows whole miles: the difference of two readings is up to
      // one more.
      if (Find(r.cdu, "PROGRESS") != nullptr && r.t < last.first)
        compare("PROGRESS destination", NumberAt(r.cdu, 1.0, 131.0) - last.second, last.first, 1.0);
      if (Find(r.gns, "TO #TOD") != nullptr)
        compare("GNS-XLS TO #TOD", NumberAt(r.gns, 300.0, 120.0), DescentStart(r.t));
    }
  }
  // Where the climb from `t` on ends: 150 ft below the top it reaches
  // before it levels for half a minute or turns down (the plan passes its top
  // of climb there).
  double ClimbEnd(double t) const {
    double top = -1e9;
    for (const Sample& s : track_) {
      if (s.t <= t) continue;
      top = std::max(top, s.alt);
      if (s.vs < -300.0 || (std::fabs(s.vs) < 50.0 && std::fabs(At(s.t + 30.0).alt - s.alt) < 50.0)) break;
    }
    for (const Sample& s : track_)
      if (s.t > t && s.alt >= top - 150.0) return s.t;
    return NAN;
  }

  // Landed and at rest, or the last waypoint made active.
  void CheckEnd() {
    const std::vector<std::string> route = Route();
    if (route.empty()) return Object("end", "no route");
    if (lands_) {
      if (!track_.back().on_ground || track_.back().gs > 1.0) Object("end", "not at rest on the ground");
    } else if (std::isnan(EventTime("LNAV off, active " + route.back()))) {
      Object("end", "%s never made active", route.back().c_str());
    }
  }

  std::map<std::string, std::pair<double, double>> where_;
  std::string hold_fix_;
  double hold_until_ = 1e9;
  bool lands_ = false;
  double now_ = 0.0;                // the scenario's clock as it is read
  std::vector<double> replanned_;  // times the pilot changed the plan
  double limit_speed_ = 250.0, limit_altitude_ = 10000.0;
  std::vector<Sample> track_;
  std::vector<Command> commands_;
  std::vector<std::string> events_;
  std::vector<Reading> readings_;
  std::map<std::string, std::vector<std::string>> problems_;
};

std::vector<std::string> Rows() {
  std::vector<std::string> rows;
  for (const auto& f : fs::directory_iterator(std::string(OVI_TEST_DATA) + "/flights"))
    if (f.path().extension() == ".txt") rows.push_back(f.path().stem().string());
  std::sort(rows.begin(), rows.end());
  return rows;
}

class FlightTable : public ::testing::TestWithParam<std::string> {};

TEST_P(FlightTable, FlownAsAPilotFliesIt) {
  const std::string row = GetParam();
  test::ScratchDir sim("table_" + row);
  test::CopySampleSimulator(sim);
  std::string aircraft = "B737-800", scenario;
  for (const std::string& line : Lines(ReadFile(std::string(OVI_TEST_DATA) + "/flights/" + row + ".txt"))) {
    if (line.rfind(";@ aircraft ", 0) == 0) aircraft = line.substr(12);
    scenario += Expand(line);
  }
  test::WriteFile(sim / "panel.cfg", Panel(aircraft));
  test::WriteFile(sim / "row.txt", scenario);
  const test::RunResult r = test::RunSim({"--sim-folder", sim.path(), "--panel", sim / "panel.cfg", "--keys",
                                          std::string(OVI_SOURCE_DIR) + "/data/panels/keys.txt", "--scenario",
                                          sim / "row.txt", "--out", sim / "out"});
  ASSERT_EQ(r.exit_code, 0) << r.err << r.out;
  Flight flight;
  flight.ReadAircraft(sim / ("ovi/Aircraft/" + aircraft + ".cfg"));
  flight.Read(sim / "row.txt", sim / "out");
  const auto problems = flight.Check();
  for (const char* check : kCheckNames) {
    const auto it = problems.find(check);
    if (it == problems.end()) continue;
    std::string all;
    for (const std::string& p : it->second) all += "\n  " + p;
    if (kExpectedFailures.count({row, check}) != 0) {
      std::printf("[ expected ] %s %s:%s\n", row.c_str(), check, all.c_str());
    } else {
      ADD_FAILURE() << row << " " << check << ":" << all;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Rows, FlightTable, ::testing::ValuesIn(Rows()), [](const auto& p) {
  std::string name = p.param;
  std::replace(name.begin(), name.end(), '-', '_');
  return name;
});

}  // namespace
}  // namespace ovi::sim
