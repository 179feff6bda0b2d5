#include "sim/run.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/os/files.h"
#include "platform/os/os.h"
#include "sim/flight_watch.h"
#include "sim/key_table.h"
#include "sim/keyboard_keys.h"
#include "sim/out_folder.h"
#include "sim/panel_cfg.h"
#include "sim/scenario.h"
#include "sim/simulator.h"
#include "src/util/text.h"

namespace ovi::sim {

namespace {

constexpr double kDefaultSeconds = 10.0;

const char kUsage[] =
    "usage: ovi-sim --list-gauges [--sim-folder DIR] [--module PATH]\n"
    "       ovi-sim --sim-folder DIR --panel FILE [--scenario FILE] [--seconds N] [--out DIR]\n"
    "               [--module PATH] [--trace FILE] [--resources DIR] [--keys FILE] [--timing]\n"
    "       ovi-sim --help\n";

const char kHelp[] =
    "Loads the gauge module into a stand-in for the simulator and flies a panel.\n"
    "  --sim-folder DIR  the simulator folder (default: the current folder): ovi/ with the\n"
    "                    configuration, navigation data and flight plans, and the module\n"
    "                    at GAUGES/ovi1.gau; the module writes its logs and routes there\n"
    "  --list-gauges     print the names of the gauges the module exports\n"
    "  --panel FILE      the panel file: windows and the gauges on them (docs/panel-cfg.md)\n"
    "  --scenario FILE   what happens, in order (docs/scenario.md); without one the panel\n"
    "                    flies --seconds seconds\n"
    "  --seconds N       stop after N simulated seconds (without a scenario: 10)\n"
    "  --out DIR         write snapshots, records and summary.txt into DIR\n"
    "  --module PATH     load this module instead of GAUGES/ovi1.gau\n"
    "  --trace FILE      write a line for every service, click and key event\n"
    "  --resources DIR   the gauge bitmaps (default: resources/ of the source tree)\n"
    "  --keys FILE       the key table for press (default: keys.txt beside the panel file\n"
    "                    or one folder up)\n"
    "  --timing          time each gauge's pre-draw and the frame\n";

struct Options {
  bool help = false;
  bool list = false;
  bool timing = false;
  std::string sim_folder = ".";
  std::string panel, scenario, out, module, trace, resources, keys;
  std::optional<double> seconds;
};

// Paths named on the command line are taken from where ovi-sim was started,
// before it moves into the simulator folder.
std::string Absolute(const std::string& p) {
  if (p.empty()) return p;
  std::error_code ec;
  auto a = std::filesystem::absolute(p, ec);
  return ec ? p : a.lexically_normal().string();
}

bool TooLong(const std::string& p) { return p.size() >= kMaxSimPath; }

std::string Shorten(const std::string& p) { return p.size() > 80 ? p.substr(0, 77) + "..." : p; }

// The repository's resources/ next to the executable's build tree.
std::string DefaultResources() {
  if (const char* env = std::getenv("OVI_RESOURCES"); env != nullptr && *env != '\0' && std::strlen(env) < kMaxSimPath)
    return env;
  std::error_code ec;
  auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) return "";
  auto dir = exe.parent_path();
  for (int up = 0; up < 5 && !dir.empty(); ++up) {
    if (std::filesystem::is_directory(dir / "resources", ec)) return (dir / "resources").string();
    if (dir == dir.parent_path()) break;
    dir = dir.parent_path();
  }
  return "";
}

int ParseArgs(int argc, char** argv, Options& o, std::FILE* err) {
  // An option given twice is refused: the one that would win is not
  // necessarily the one meant, and the other would be dropped unsaid.
  std::set<std::string> given;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (a.size() > 1 && a[0] == '-' && a != "--help" && a != "-h" && !given.insert(a).second) {
      std::fprintf(err, "ovi-sim: %s given twice\n%s", Shorten(a).c_str(), kUsage);
      return 2;
    }
    auto value = [&](std::string& into) {
      if (i + 1 >= argc) {
        std::fprintf(err, "ovi-sim: %s needs a value\n%s", a.c_str(), kUsage);
        return false;
      }
      into = argv[++i];
      // An empty name would be the current folder or no output at all,
      // neither of which anyone named. (An empty number is a bad number.)
      if (into.empty() && a != "--seconds") {
        const bool folder = a == "--out" || a == "--sim-folder" || a == "--resources";
        std::fprintf(err, "ovi-sim: %s is empty; name the %s\n%s", a.c_str(),
                     folder ? "folder ('.' for the current one)" : "file", kUsage);
        return false;
      }
      return true;
    };
    if (a == "--list-gauges") {
      o.list = true;
    } else if (a == "--sim-folder") {
      if (!value(o.sim_folder)) return 2;
    } else if (a == "--panel") {
      if (!value(o.panel)) return 2;
    } else if (a == "--scenario") {
      if (!value(o.scenario)) return 2;
    } else if (a == "--out") {
      if (!value(o.out)) return 2;
    } else if (a == "--module") {
      if (!value(o.module)) return 2;
    } else if (a == "--trace") {
      if (!value(o.trace)) return 2;
    } else if (a == "--resources") {
      if (!value(o.resources)) return 2;
    } else if (a == "--keys") {
      if (!value(o.keys)) return 2;
    } else if (a == "--timing") {
      o.timing = true;
    } else if (a == "--seconds") {
      std::string s;
      double v = 0.0;
      if (!value(s)) return 2;
      if (!util::ParseDouble(s, v) || v < 0.0 || v > kMaxScenarioSeconds) {
        std::fprintf(err, "ovi-sim: --seconds takes a number of seconds from 0 to %.0f\n", kMaxScenarioSeconds);
        return 2;
      }
      o.seconds = v;
    } else if (a == "--help" || a == "-h") {
      o.help = true;
      return 0;
    } else {
      std::fprintf(err, "ovi-sim: unknown option '%s'\n%s", Shorten(a).c_str(), kUsage);
      return 2;
    }
  }
  if (!o.list && o.panel.empty()) {
    std::fprintf(err, "ovi-sim: --panel FILE is needed to fly a panel\n%s", kUsage);
    return 2;
  }
  for (const std::string* p : {&o.sim_folder, &o.panel, &o.scenario, &o.out, &o.module, &o.trace, &o.resources, &o.keys}) {
    if (TooLong(*p)) {
      std::fprintf(err, "ovi-sim: %s: path too long, no such file\n", Shorten(*p).c_str());
      return 1;
    }
  }
  return 0;
}

// The module from --module, or GAUGES\ovi1.gau of the simulator folder
// (matched case-insensitively, like every path of the simulator).
std::string ModulePath(const Options& o) {
  if (!o.module.empty()) return o.module;
  auto mapped = os::MapPath("GAUGES\\ovi1.gau");
  return mapped ? *mapped : "GAUGES/ovi1.gau";
}

// One line of complaint, whole: a NUL or another control byte in a value
// the user gave shows as \xNN instead of cutting the line short.
void Say(std::FILE* err, const std::string& message) {
  std::string line = "ovi-sim: ";
  for (const char c : message) {
    if (static_cast<unsigned char>(c) < 0x20 && c != '\t') {
      line += util::Format("\\x%02X", static_cast<unsigned char>(c));
    } else {
      line += c;
    }
  }
  line += '\n';
  std::fwrite(line.data(), 1, line.size(), err);
}

// A folder of data without the module is the usual first mistake: say what
// a simulator folder needs.
void ReportModuleError(const Options& o, const std::string& path, const std::string& error, std::FILE* err) {
  Say(err, error);
  std::error_code ec;
  if (o.module.empty() && !std::filesystem::exists(path, ec)) {
    std::fprintf(err,
                 "ovi-sim: %s is not a simulator folder: the module belongs at GAUGES/ovi1.gau in it "
                 "(README.md, \"Run it yourself\")\n",
                 Shorten(o.sim_folder).c_str());
  }
}

class Runner {
 public:
  Runner(Simulator& sim, const Options& o, std::FILE* err) : sim_(sim), o_(o), err_(err) {}

  void Apply(const Action& a) {
    switch (a.kind) {
      case ActionKind::kAt:
        planned_ = a.seconds;
        RunTo(planned_);
        break;
      case ActionKind::kRun:
        planned_ += a.seconds;
        RunTo(planned_);
        break;
      case ActionKind::kSet:
        SetAircraftField(sim_.aircraft(), a.name, a.text);
        sim_.RefreshTokens();
        break;
      case ActionKind::kToken:
        sim_.tokens().Pin(a.id, a.number);
        break;
      case ActionKind::kText:
        sim_.tokens().PinText(a.id, a.text);
        break;
      case ActionKind::kVar:
        sim_.SetNamedVariable(sim_.RegisterNamedVariable(a.name.c_str()), a.number);
        break;
      case ActionKind::kKey:
        sim_.SendKeyEvent(a.id, a.value, "scenario");
        break;
      case ActionKind::kClick: {
        int g = sim_.FindGauge(a.name, a.occurrence);
        if (g < 0) {
          Say(err_, Where(a) + "gauge " + a.name + " is not on the panel (skipped): click ignored");
          break;
        }
        ++clicks_;
        if (!sim_.Click(g, a.x, a.y, a.flags, a.seconds).hit) ++missed_;
        break;
      }
      case ActionKind::kShow:
      case ActionKind::kHide:
        sim_.SetWindowVisible(a.ident, a.kind == ActionKind::kShow);
        break;
      case ActionKind::kToggle:
        sim_.ToggleWindow(a.ident);
        break;
      case ActionKind::kSnapshot:
        Snapshot(a.text);
        break;
      case ActionKind::kTraffic: {
        traffic_.push_back(TrafficTargetSetting{a.number, a.x, a.y, a.text[0], a.text[1]});
        if (const int left_out = sim_.traffic().SetTargets(traffic_); left_out > 0) {
          std::fprintf(err_,
                       "ovi-sim: %s:%d: traffic: %zu targets, the provider's list holds the %d nearest: %d left out\n",
                       scenario_path_.c_str(), a.line, traffic_.size(), kMaxTrafficTargets, left_out);
        }
        break;
      }
      case ActionKind::kTrafficClear:
        traffic_.clear();
        sim_.traffic().SetTargets(traffic_);
        break;
      case ActionKind::kGpsWpt:
        gps_.push_back(GpsWaypointSetting{a.name, a.x, a.y, a.number});
        sim_.gps().SetRoute(gps_);
        break;
      case ActionKind::kGpsClear:
        gps_.clear();
        sim_.gps().SetRoute(gps_);
        break;
      case ActionKind::kPress:
        Press(a);
        break;
      case ActionKind::kType:
        for (char c : a.text) {
          const KeyboardKey* k = KeyForCharacter(c);
          if (k == nullptr || LimitReached()) break;
          sim_.SetKeyboardKey(*k, true);
          Tick(1);
          sim_.SetKeyboardKey(*k, false);
          Tick(1);
        }
        break;
      case ActionKind::kKeypress: {
        const KeyboardKey* k = FindKeyboardKey(a.name);
        if (k == nullptr) break;
        for (const std::string& m : a.keys) sim_.SetKeyboardKey(*ModifierKey(m), true);
        sim_.SetKeyboardKey(*k, true);
        Tick(a.ticks - 1);
        sim_.SetKeyboardKey(*k, false);
        for (auto m = a.keys.rbegin(); m != a.keys.rend(); ++m) sim_.SetKeyboardKey(*ModifierKey(*m), false);
        Tick(1);
        break;
      }
      case ActionKind::kExpectText:
        ExpectText(a);
        break;
      case ActionKind::kAiRunways: {
        AiRunways r;
        std::uint8_t dep[4], arr[4];
        ParseRunwayList(a.text, dep);
        ParseRunwayList(a.text2, arr);
        std::copy(dep, dep + 4, r.departures.begin());
        std::copy(arr, arr + 4, r.arrivals.begin());
        sim_.fsuipc().SetAiRunways(a.name, r);
        break;
      }
    }
  }

  void RunTo(double seconds) { sim_.RunUntil(o_.seconds ? std::min(seconds, *o_.seconds) : seconds); }

  // Frames a keyboard or key action takes; the scenario's clock moves with them.
  void Tick(int frames) {
    for (int i = 0; i < frames && !LimitReached(); ++i) sim_.RunTicks(1);
    planned_ = std::max(planned_, sim_.time());
  }

  int Gauge(const Action& a, const char* what) {
    int g = sim_.FindGauge(a.name, a.occurrence);
    if (g < 0) {
      Say(err_, Where(a) + "gauge " + a.name + " is not on the panel (skipped): " + what + " ignored");
    }
    return g;
  }

  // Each key is a left click at the middle of its rectangle, then a frame.
  void Press(const Action& a) {
    int g = Gauge(a, "press");
    if (g < 0) return;
    const GaugeInstance& gauge = sim_.gauges()[g];
    for (const std::string& name : a.keys) {
      const NamedKey* k = keys_ != nullptr ? keys_->Find(gauge.name, name) : nullptr;
      if (k == nullptr || LimitReached()) break;
      ++clicks_;
      double x = k->CentreX() * gauge.w / gauge.design_w, y = k->CentreY() * gauge.h / gauge.design_h;
      if (!sim_.Click(g, x, y, MOUSE_LEFTSINGLE, 0.0).hit) ++missed_;
      Tick(1);
    }
  }

  void ExpectText(const Action& a) {
    ++checks_;
    int g = Gauge(a, "expect_text");
    if (g < 0) return;
    std::vector<TextEntry> texts = sim_.Texts(g);
    for (const TextEntry& t : texts)
      if (TextMatches(t.text, a.text)) return;
    ++failed_checks_;
    ok_ = false;
    std::string shown;
    for (const TextEntry& t : texts) {
      if (shown.size() > 300) {
        shown += " ...";
        break;
      }
      shown += (shown.empty() ? "" : ", ") + ("\"" + t.text + "\"");
    }
    Say(err_, Where(a) + a.name + " does not show \"" + a.text + "\"" + util::Format(" at %.1f s", sim_.time()) +
                  " (it shows: " + (shown.empty() ? "no text" : shown) + ")");
  }

  std::string Where(const Action& a) const { return scenario_path_ + ":" + std::to_string(a.line) + ": "; }

  bool LimitReached() const { return o_.seconds && sim_.time() + 1e-9 >= *o_.seconds; }

  void Snapshot(std::string label) {
    ++snapshots_;
    if (o_.out.empty()) return;
    if (label.empty()) label = util::Format("t%06.1f", sim_.time());
    std::string unique = label;
    for (int n = 2; used_.count(unique) != 0; ++n) unique = label + "_" + std::to_string(n);
    used_.insert(unique);
    std::string error;
    const std::string folder = o_.out + "/snapshots";
    out_folder_->Note(folder, true);
    out_folder_->Note(folder + "/" + unique, true);
    auto note = [this](const std::string& path) { out_folder_->Note(path); };
    if (sim_.Snapshot(folder, unique, files_, error, note)) {
      ++snapshots_written_;
    } else {
      std::fprintf(err_, "ovi-sim: snapshot %s: %s\n", unique.c_str(), error.c_str());
      snapshots_failed_.push_back("snapshot " + unique);
      ok_ = false;
    }
  }

  std::string scenario_path_;
  const KeyTable* keys_ = nullptr;
  OutFolder* out_folder_ = nullptr;  // set with --out
  int clicks_ = 0, missed_ = 0, snapshots_ = 0, checks_ = 0, failed_checks_ = 0;
  int snapshots_written_ = 0;
  std::vector<std::string> snapshots_failed_;
  std::vector<std::string> files_;
  bool ok_ = true;

 private:
  Simulator& sim_;
  const Options& o_;
  std::FILE* err_;
  double planned_ = 0.0;
  std::set<std::string> used_;
  std::vector<TrafficTargetSetting> traffic_;
  std::vector<GpsWaypointSetting> gps_;
};

// Scenario references the panel and the key table must satisfy before
// anything runs: windows by ident, gauges the panel lists, keys by name.
bool CheckScenario(const Scenario& sc, const Simulator& sim, const KeyTable* keys, std::string& error) {
  for (const Action& a : sc.actions) {
    std::string where = sc.path + ":" + std::to_string(a.line) + ": ";
    if ((a.kind == ActionKind::kShow || a.kind == ActionKind::kHide || a.kind == ActionKind::kToggle) &&
        !sim.HasWindow(a.ident)) {
      error = where + "no window with ident " + std::to_string(a.ident) + " on the panel";
      return false;
    }
    bool names_gauge = a.kind == ActionKind::kClick || a.kind == ActionKind::kPress || a.kind == ActionKind::kExpectText;
    if (names_gauge && !sim.PanelLists(a.name, a.occurrence)) {
      error = where + "the panel lists no gauge " + a.name + (a.occurrence > 1 ? "#" + std::to_string(a.occurrence) : "");
      return false;
    }
    if (a.kind != ActionKind::kPress) continue;
    if (keys == nullptr) {
      error = where + "press needs a key table (--keys FILE, or keys.txt beside the panel file or one folder up)";
      return false;
    }
    for (const std::string& k : a.keys) {
      if (keys->Find(a.name, k) == nullptr) {
        error = where + keys->path + " has no key " + k + " for gauge " + a.name;
        return false;
      }
    }
  }
  return true;
}

// The key table named on the command line, else keys.txt beside the panel
// file, else one folder up (data/panels/keys.txt serves every sample panel).
std::string KeyTablePath(const Options& o) {
  if (!o.keys.empty()) return o.keys;
  std::error_code ec;
  std::filesystem::path dir = std::filesystem::path(o.panel).parent_path();
  for (int up = 0; up < 2 && !dir.empty(); ++up, dir = dir.parent_path()) {
    if (std::filesystem::is_regular_file(dir / "keys.txt", ec)) return (dir / "keys.txt").string();
  }
  return "";
}

// The files a run writes into --out, which the trace must not stand for.
constexpr const char* kOutFolderOutputs[] = {kOutputManifest, "services.txt", "key_events.txt", "variables.txt",
                                             "flight.txt",    "track.txt",    "summary.txt",    "timing.txt"};

bool SameFile(const struct stat& a, const std::string& path) {
  struct stat b {};
  return !path.empty() && ::stat(path.c_str(), &b) == 0 && a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// `path` (its links followed) lies in `folder`.
bool LiesIn(const std::filesystem::path& path, const std::string& folder) {
  std::error_code ec;
  const auto dir = std::filesystem::weakly_canonical(folder, ec);
  if (ec || dir.empty()) return false;
  const auto rel = path.lexically_relative(dir);
  return !rel.empty() && *rel.begin() != ".." && rel != ".";
}

// The trace follows the rules every output follows: it is never one of the
// files the run reads (the panel and what it names, the scenario, the key
// table, the module, the module's folders ovi/ and GAUGES/, the bitmaps)
// nor one of the run's other outputs, and never a named pipe or a device
// (refused by the writer itself, without waiting on it). Truncating it
// first cost users their scenario or module. Runs in the simulator folder;
// empty when the trace may be written.
std::string TraceRefusal(const Options& o, const PanelConfig& panel) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::path trace = fs::weakly_canonical(o.trace, ec);
  if (ec) return "";  // the writer says why it cannot write there
  struct stat st {};
  if (::stat(o.trace.c_str(), &st) == 0) {
    std::vector<std::pair<std::string, std::string>> inputs = {
        {"the panel file", o.panel}, {"the scenario", o.scenario}, {"the key table", KeyTablePath(o)},
        {"the module", ModulePath(o)}};
    for (const PanelWindow& w : panel.windows)
      if (!w.background.empty()) inputs.emplace_back("a window's background", BackgroundPath(panel, w));
    for (const auto& [what, path] : inputs)
      if (SameFile(st, path)) return "--trace names " + what + ", which the run reads; give the trace a file of its own";
  }
  // The module's folders, matched as the module matches them (any case).
  for (const auto& e : fs::directory_iterator(".", ec)) {
    const std::string name = e.path().filename().string();
    if (!util::EqualsIgnoreCase(name, "ovi") && !util::EqualsIgnoreCase(name, "GAUGES")) continue;
    if (LiesIn(trace, e.path().string()))
      return "--trace names a file in the simulator folder's " + name +
             "/, which the module reads and writes; give the trace a file of its own";
  }
  const std::string resources = o.resources.empty() ? DefaultResources() : o.resources;
  if (!resources.empty() && LiesIn(trace, resources))
    return "--trace names a file among the gauge bitmaps (" + Shorten(resources) + "); give the trace a file of its own";
  if (!o.out.empty() && LiesIn(trace, o.out)) {
    const fs::path rel = trace.lexically_relative(fs::weakly_canonical(o.out, ec));
    for (const char* output : kOutFolderOutputs)
      if (rel == output) return std::string("--trace names the run's ") + output + "; give the trace a file of its own";
    if (*rel.begin() == "snapshots")
      return "--trace names a file in the run's snapshots/; give the trace a file of its own";
  }
  return "";
}

std::string Duration(double s) {
  return s < 1e-3 ? util::Format("%.1f us", s * 1e6) : util::Format("%.3f ms", s * 1e3);
}

// Per gauge its pre-draw, then the whole frame and the module's share of it.
std::string TimingReport(const Simulator& sim) {
  std::string r = "; wall-clock costs: typical (median) and worst; then the same in processor time\n";
  auto processor = [](const DurationStats& d) {
    return util::Format("; processor time: typical %s, worst %s", Duration(d.Typical()).c_str(),
                        Duration(d.worst()).c_str());
  };
  for (const GaugeInstance& g : sim.gauges()) {
    if (g.pre_draw.count() == 0) continue;
    r += util::Format("pre-draw window%02d gauge%02d %s: typical %s, worst %s over %llu frames%s\n",
                      sim.windows()[g.window].config.number, g.number, g.name.c_str(),
                      Duration(g.pre_draw.Typical()).c_str(), Duration(g.pre_draw.worst()).c_str(),
                      static_cast<unsigned long long>(g.pre_draw.count()), processor(g.pre_draw_cpu).c_str());
  }
  const RunTiming& t = sim.timing();
  double total = t.frame.total();
  r += util::Format("frame: typical %s, worst %s over %llu frames%s\n", Duration(t.frame.Typical()).c_str(),
                    Duration(t.frame.worst()).c_str(), static_cast<unsigned long long>(t.frame.count()),
                    processor(t.frame_cpu).c_str());
  r += util::Format("module callbacks: %.3f s of %.3f s of frames (%.0f %%); the host's own work: %.3f s\n",
                    t.frame_module_seconds, total, total > 0.0 ? 100.0 * t.frame_module_seconds / total : 0.0,
                    std::max(0.0, total - t.frame_module_seconds));
  r += util::Format("module callbacks outside frames (install, clicks, keys): %.3f s\n",
                    std::max(0.0, t.module_seconds - t.frame_module_seconds));
  return r;
}

// What went into --out, for the summary's closing lines: they name only
// what was written.
struct Outputs {
  std::vector<std::string> written, failed;

  void Add(const std::string& name, bool ok) { (ok ? written : failed).push_back(name); }

  std::string Closing(const std::string& dir) const {
    auto join = [](const std::vector<std::string>& names) {
      std::string t;
      for (const std::string& n : names) t += (t.empty() ? "" : ", ") + n;
      return t;
    };
    if (failed.empty()) return "ovi-sim: outputs in " + dir + "\n";
    return "ovi-sim: written in " + dir + ": " + (written.empty() ? "nothing" : join(written)) +
           "\novi-sim: not written: " + join(failed) + "\n";
  }
};

bool WriteWholeFile(const std::string& path, const std::string& text) {
  os::FileReplacement out(path, os::FileReplacement::Sync::kToSystem);
  return out.Write(text) && out.Commit();
}

std::string Position(const AircraftState& a) {
  return util::Format("%c%07.4f %c%08.4f, heading %03.0f, altitude %.0f ft, ground speed %.0f kt",
                      a.latitude < 0 ? 'S' : 'N', std::fabs(a.latitude), a.longitude < 0 ? 'W' : 'E',
                      std::fabs(a.longitude), a.heading, a.altitude, GroundSpeedOf(a));
}

// The status texts the module adds during a run, collected as they come: a
// load may lower the count again, and texts then written over are new ones.
// A full log counts what it drops in its last text, which changes in place.
// The flight log's lines ("HH:MM:SS segment ..."), which the module writes
// there as well as to fpl.log, are left out: hundreds in a flight, they
// would hide the few that say why something was not taken.
class StatusWatch {
 public:
  explicit StatusWatch(const LoadedModule& m) : module_(m) {}
  void Observe() {
    if (module_.status_count == nullptr || module_.status_text == nullptr) return;
    const int count = module_.status_count();
    if (count < seen_) {
      seen_ = count;
      last_kept_ = false;
    }
    if (count > 0 && count == seen_ && last_kept_) {
      const char* text = module_.status_text(count);
      if (text != nullptr && lines_.back() != text) lines_.back() = text;
    }
    for (; seen_ < count; ++seen_) {
      const char* text = module_.status_text(seen_ + 1);
      last_kept_ = text != nullptr && !IsFlightLogLine(text);
      if (last_kept_) lines_.emplace_back(text);
    }
  }
  const std::vector<std::string>& lines() const { return lines_; }

 private:
  static bool IsFlightLogLine(std::string_view text) {
    static constexpr std::string_view kClock = "00:00:00 ";
    if (text.size() < kClock.size()) return false;
    for (std::size_t i = 0; i < kClock.size(); ++i) {
      const bool digit = text[i] >= '0' && text[i] <= '9';
      if (kClock[i] == '0' ? !digit : text[i] != kClock[i]) return false;
    }
    return true;
  }

  const LoadedModule& module_;
  int seen_ = 0;
  bool last_kept_ = false;  // the text at seen_ is lines_.back()
  std::vector<std::string> lines_;
};

int Fly(const Options& o, std::FILE* out, std::FILE* err) {
  PanelConfig panel;
  std::string error;
  if (!LoadPanelConfig(o.panel, panel, error)) {
    Say(err, error);
    return 1;
  }
  Scenario scenario;
  if (!o.scenario.empty() && !LoadScenario(o.scenario, scenario, error)) {
    Say(err, error);
    return 1;
  }
  if (::chdir(o.sim_folder.c_str()) != 0) {
    std::fprintf(err, "ovi-sim: %s: no such simulator folder\n", Shorten(o.sim_folder).c_str());
    return 1;
  }
  // Before --out is made ready, which removes an earlier run's outputs.
  if (!o.trace.empty()) {
    os::FileProblem problem;
    std::string refusal = TraceRefusal(o, panel);
    if (refusal.empty() && !os::IsRegularFile(o.trace, &problem) && !problem.missing())
      refusal = "cannot write the trace: " + problem.text;
    if (!refusal.empty()) {
      Say(err, Shorten(o.trace) + ": " + refusal);
      return 1;
    }
  }
  // Before the trace, which may go into it.
  OutFolder out_folder;
  if (!o.out.empty() && !out_folder.Prepare(o.out, error)) {
    Say(err, error);
    return 1;
  }
  // Written beside the file it replaces and put in its place at the end:
  // a run that fails leaves an earlier trace as it was.
  std::unique_ptr<os::FileReplacement> trace;
  if (!o.trace.empty()) {
    out_folder.Note(o.trace);
    trace = std::make_unique<os::FileReplacement>(o.trace, os::FileReplacement::Sync::kToSystem);
    if (trace->file() == nullptr) {
      Say(err, Shorten(o.trace) + ": cannot write the trace: " + trace->problem().text);
      return 1;
    }
  }

  Simulator sim;
  sim.SetTrace(trace ? trace->file() : nullptr);
  sim.SetResources(o.resources.empty() ? DefaultResources() : o.resources);
  const std::string module_path = ModulePath(o);
  if (!sim.Load(module_path, error)) {
    ReportModuleError(o, module_path, error, err);
    return 1;
  }

  KeyTable keys;
  const std::string keys_path = KeyTablePath(o);
  if (!keys_path.empty() && !LoadKeyTable(keys_path, keys, error)) {
    Say(err, error);
    return 1;
  }
  sim.SetTiming(o.timing);

  Runner runner(sim, o, err);
  runner.out_folder_ = &out_folder;
  runner.scenario_path_ = scenario.path;
  runner.keys_ = keys_path.empty() ? nullptr : &keys;
  // The scenario's opening settings describe the world the panel loads into.
  std::size_t next = 0;
  while (next < scenario.actions.size() && DescribesWorld(scenario.actions[next].kind)) runner.Apply(scenario.actions[next++]);

  std::vector<std::string> warnings;
  sim.Install(panel, warnings);
  for (const auto& w : warnings) Say(err, w);
  if (!CheckScenario(scenario, sim, runner.keys_, error)) {
    Say(err, error);
    return 1;
  }
  StatusWatch status(sim.module());
  status.Observe();
  sim.Connect();
  FlightWatch flight(sim);
  sim.SetTickObserver([&flight, &status] {
    flight.Observe();
    status.Observe();
  });

  if (o.scenario.empty()) {
    sim.RunUntil(o.seconds.value_or(kDefaultSeconds));
  } else {
    for (; next < scenario.actions.size() && !runner.LimitReached(); ++next) runner.Apply(scenario.actions[next]);
  }
  runner.Snapshot("final");
  status.Observe();
  Outputs outputs;
  // Each output's path, listed as this run's before it is written.
  auto output = [&](const char* name) {
    const std::string path = o.out + "/" + name;
    out_folder.Note(path);
    return path;
  };
  auto record = [&](const char* name, bool ok) {
    if (!ok) std::fprintf(err, "ovi-sim: %s/%s: cannot write\n", o.out.c_str(), name);
    outputs.Add(name, ok);
  };
  // Variables are written while the gauges still have theirs registered.
  if (!o.out.empty()) record("variables.txt", sim.WriteVariables(output("variables.txt")));
  sim.Disconnect();
  sim.SetTickObserver(nullptr);
  if (!o.out.empty()) {
    if (runner.snapshots_written_ > 0)
      outputs.written.insert(outputs.written.begin(), util::Format("%d snapshots", runner.snapshots_written_));
    outputs.failed.insert(outputs.failed.begin(), runner.snapshots_failed_.begin(), runner.snapshots_failed_.end());
    record("services.txt", sim.WriteServices(output("services.txt")));
    record("key_events.txt", sim.WriteKeyEvents(output("key_events.txt")));
    record("flight.txt", flight.WriteRecord(output("flight.txt")));
    record("track.txt", flight.WriteTrack(output("track.txt")));
  }
  if (trace) {
    sim.SetTrace(nullptr);
    const bool traced = trace->Commit();
    if (!traced) Say(err, Shorten(o.trace) + ": cannot write the trace: " + trace->problem().text);
    runner.ok_ = runner.ok_ && traced;
  }

  // Summary.
  std::string summary;
  auto line = [&](const std::string& s) { summary += "ovi-sim: " + s + "\n"; };
  std::size_t exported = GaugeNames(sim.module()).size();
  std::size_t listed = 0;
  for (const auto& w : panel.windows) listed += w.gauges.size();
  line(util::Format("module %s: %zu gauges exported", module_path.c_str(), exported));
  line(util::Format("panel %s: %zu windows, %zu gauge entries, %zu installed, %zu skipped", panel.path.c_str(),
                    panel.windows.size(), listed, sim.gauges().size(), listed - sim.gauges().size()));
  line(util::Format("flew %.1f simulated seconds (%llu ticks): %s", sim.time(),
                    static_cast<unsigned long long>(sim.tick()), Position(sim.aircraft()).c_str()));
  std::size_t from_module = 0;
  for (const auto& k : sim.key_events()) from_module += k.source == "module";
  line(util::Format("%zu key events (%zu from the module), %d clicks (%d on no rectangle), %d mouse handler calls",
                    sim.key_events().size(), from_module, runner.clicks_, runner.missed_, sim.mouse_calls()));
  line(util::Format("%d snapshots, %zu PNG files", runner.snapshots_, runner.files_.size()));
  if (sim.keyboard_messages() > 0)
    line(util::Format("%d keyboard messages, %d discarded by the module's keyboard hook", sim.keyboard_messages(),
                      sim.keyboard_discarded()));
  if (runner.checks_ > 0) line(util::Format("%d text checks, %d failed", runner.checks_, runner.failed_checks_));
  if (!sim.missing_bitmaps().empty()) {
    std::string ids;
    for (auto id : sim.missing_bitmaps()) ids += " " + std::to_string(id);
    line("bitmaps missing from the resources (placeholders painted):" + ids);
  }
  if (o.timing) {
    std::string report = TimingReport(sim);
    for (std::size_t at = 0; at < report.size();) {
      std::size_t end = report.find('\n', at);
      if (report[at] != ';') line(report.substr(at, end - at));
      at = end + 1;
    }
    if (!o.out.empty()) record("timing.txt", WriteWholeFile(output("timing.txt"), report));
  }
  for (const auto& l : flight.Summary()) line(l);
  // Why a plan, a file or a setting was not taken.
  for (const auto& l : status.lines()) line("status: " + l);
  if (!sim.unknown_tokens_read().empty()) {
    std::string t;
    for (auto id : sim.unknown_tokens_read()) t += " " + std::to_string(id);
    line("tokens read that the stand-in does not keep (read as 0):" + t);
  }
  for (const auto& e : sim.unknown_expressions()) line("unknown calculator expression (0): " + e);
  if (!o.out.empty()) {
    // summary.txt says what it says only if it is there to say it.
    Outputs with_summary = outputs;
    with_summary.Add("summary.txt", true);
    record("summary.txt", WriteWholeFile(output("summary.txt"), summary + with_summary.Closing(o.out)));
    summary += outputs.Closing(o.out);
  }
  std::fputs(summary.c_str(), out);
  return runner.ok_ && outputs.failed.empty() ? 0 : 1;
}

}  // namespace

int RunCommandLine(int argc, char** argv, std::FILE* out, std::FILE* err) {
  Options o;
  if (int rc = ParseArgs(argc, argv, o, err); rc != 0) return rc;
  if (o.help) {
    std::fprintf(out, "%s%s", kUsage, kHelp);
    return 0;
  }
  o.panel = Absolute(o.panel);
  o.scenario = Absolute(o.scenario);
  o.out = Absolute(o.out);
  o.trace = Absolute(o.trace);
  o.module = Absolute(o.module);
  o.resources = Absolute(o.resources);
  o.keys = Absolute(o.keys);
  if (o.list) {
    if (::chdir(o.sim_folder.c_str()) != 0) {
      std::fprintf(err, "ovi-sim: %s: no such simulator folder\n", Shorten(o.sim_folder).c_str());
      return 1;
    }
    LoadedModule m;
    std::string error;
    std::string path = ModulePath(o);
    if (!LoadModule(path, m, error)) {
      ReportModuleError(o, path, error, err);
      return 1;
    }
    for (const auto& n : GaugeNames(m)) std::fprintf(out, "%s\n", n.c_str());
    UnloadModule(m);
    return 0;
  }
  return Fly(o, out, err);
}

}  // namespace ovi::sim
