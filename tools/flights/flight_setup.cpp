#include "tools/flights/flight_setup.h"

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <vector>

#include "sim/out_folder.h"
#include "tools/flights/flight_record.h"

namespace ovi::flights {

namespace fs = std::filesystem;

namespace {

// A flight's folder keeps ovi-sim's rules for --out: what ovi-flights wrote
// is listed, a later flight into the folder removes only that, and a folder
// holding anything else is refused. ovi-sim's own outputs in out/ are
// listed in its manifest there.
constexpr sim::OutputWriter kFlightOutputs{
    "ovi-flights", "ovi-flights-outputs.txt", "DIR names the folder the flight goes into",
    "DIR takes a new or empty folder, or one ovi-flights wrote (left as it is)", "out/"};

// Opens the CDU, presses each key and snapshots the page it shows.
std::string ReadCdu(const std::vector<std::string>& keys) {
  std::string s = "show 4012\n";
  for (const auto& k : keys) s += "press SMITHS_FMS_BR " + k + "\nrun 0.1\nsnapshot\n";
  return s + "hide 4012\n";
}

std::string Quote(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

// A folder's name without "." or ".." parts or a closing '/', so that the
// paths under it compare as written.
std::string Normal(const std::string& dir) {
  std::string n = fs::path(dir).lexically_normal().string();
  while (n.size() > 1 && n.back() == '/') n.pop_back();
  return n;
}

bool Write(const std::string& path, const std::string& text, std::string& error) {
  std::ofstream f(path, std::ios::binary | std::ios::trunc);
  f << text;
  f.close();
  if (!f) error = path + ": cannot be written";
  return static_cast<bool>(f);
}

}  // namespace

std::string LightPanel(const std::string& aircraft) {
  return "[Window Titles]\nWindow00=Main\nWindow01=CDU\nWindow02=GNS\n\n[Window00]\nident=MAIN_PANEL\n"
         "size_mm=140,120\nvisible=1\ngauge00=ovi1!SERVER, 0, 0, 8, 8\ngauge01=ovi1!LNAV, 0, 10, 64, 48, " +
         aircraft + "\ngauge02=ovi1!VNAV, 70, 10, 64, 48\n\n[Window01]\nident=4012\nsize_mm=415,640\nvisible=0\n"
         "gauge00=ovi1!SMITHS_FMS_BR, 0, 0, 415, 640, " +
         aircraft + "\n\n[Window02]\nident=4004\nsize_mm=550,433\nvisible=0\ngauge00=ovi1!GNSXLS_LM, 0, 0, 550, 433\n";
}

std::string ExpandMarkers(const std::string& scenario) {
  std::string out;
  for (const std::string& line : Lines(scenario)) {
    out += line + "\n";
    // RTE LEGS, every sub-page (left on its first, where a row's own keys
    // expect it), then the navigator's VNAV list, back on its summary.
    if (line == ";@ legs") {
      out += ReadCdu({"LEGS", "NEXT_PAGE", "NEXT_PAGE", "NEXT_PAGE"}) +
             "show 4012\npress SMITHS_FMS_BR PREV_PAGE PREV_PAGE PREV_PAGE\nhide 4012\n"
             "show 4004\npress GNSXLS_LM NAV\npress GNSXLS_LM VNAV\n";
      for (int i = 0; i < 4; ++i) out += "press GNSXLS_LM NEXT\nrun 0.1\nsnapshot\n";
      out += "press GNSXLS_LM PREV PREV PREV PREV\nhide 4004\n";
    }
    if (line == ";@ pages") {
      out += ReadCdu({"CLB", "CRZ", "DES", "PROG"}) +
             "show 4004\npress GNSXLS_LM NAV\npress GNSXLS_LM VNAV\nrun 0.1\nsnapshot\nhide 4004\n";
    }
  }
  return out;
}

bool PrepareFlight(const Paths& paths, const std::string& flight_dir, const std::string& aircraft,
                   const std::string& aircraft_text, const std::string& scenario, std::string& error) {
  const std::string dir = Normal(flight_dir);
  const std::string data = paths.source + "/data";
  if (sim::LiesIn(dir, data)) {
    error = dir + ": lies in the sample data the flight copies (" + data + "); give a folder outside it";
    return false;
  }
  sim::OutFolder folder(kFlightOutputs);
  if (!folder.Prepare(dir, error)) return false;
  // The sample simulator folder, each file and folder listed before it is
  // made, then the module.
  std::error_code ec;
  const std::string sim = dir + "/sim";
  auto make_folder = [&](const std::string& path) {
    folder.Note(path, true);
    fs::create_directories(path, ec);
  };
  auto copy = [&](const std::string& from, const std::string& to) {
    folder.Note(to);
    fs::copy_file(from, to, fs::copy_options::overwrite_existing, ec);
  };
  make_folder(sim);
  for (fs::recursive_directory_iterator it(data, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string to = sim + "/" + it->path().lexically_relative(data).generic_string();
    if (it->is_directory(ec)) make_folder(to);
    else if (!ec) copy(it->path().string(), to);
  }
  if (!ec) make_folder(sim + "/GAUGES");
  if (!ec) copy(paths.module, sim + "/GAUGES/ovi1.gau");
  if (!ec) copy(data + "/panels/keys.txt", dir + "/keys.txt");
  if (ec) {
    error = dir + ": " + ec.message();
    return false;
  }
  const std::string aircraft_file = sim + "/ovi/Aircraft/" + aircraft + ".cfg";
  if (!aircraft_text.empty()) {
    folder.Note(aircraft_file);
    if (!Write(aircraft_file, aircraft_text, error)) return false;
  }
  // Flown without its file, the module falls back on another aircraft and
  // the flight looks sound while it is not the one asked for.
  if (!fs::is_regular_file(aircraft_file, ec)) {
    error = "aircraft " + aircraft + ": the sample data has no ovi/Aircraft/" + aircraft +
            ".cfg (a generated aircraft is written by `generate SEED DIR`)";
    return false;
  }
  folder.Note(dir + "/panel.cfg");
  folder.Note(dir + "/scenario.txt");
  return Write(dir + "/panel.cfg", LightPanel(aircraft), error) &&
         Write(dir + "/scenario.txt", ExpandMarkers(scenario), error);
}

bool RemoveFlight(const std::string& dir, std::string& error) {
  return sim::OutFolder(kFlightOutputs).Remove(Normal(dir), error);
}

std::string ReplayCommand(const Paths& paths, const std::string& dir) {
  return Quote(paths.sim) + " --sim-folder " + Quote(dir + "/sim") + " --panel " + Quote(dir + "/panel.cfg") +
         " --keys " + Quote(dir + "/keys.txt") + " --scenario " + Quote(dir + "/scenario.txt") + " --out " +
         Quote(dir + "/out");
}

int FlyFlight(const Paths& paths, const std::string& flight_dir, std::string* error) {
  const std::string dir = Normal(flight_dir);
  std::string why;
  auto refuse = [&](const std::string& text) {
    if (error != nullptr) *error = text + " (a flight is flown in a folder generate or prepare wrote)";
    return -1;
  };
  sim::OutFolder folder(kFlightOutputs);
  if (!folder.Resume(dir, why)) return refuse(why);
  const std::string log = dir + "/ovi-sim.log";
  std::error_code ec;
  if (fs::exists(fs::symlink_status(log, ec)) && !folder.Lists(log))
    return refuse(dir + ": holds ovi-sim.log, which ovi-flights did not write");
  // What the flight writes besides ovi-sim's outputs (the module's flight
  // log in sim/) is what is there after it that was not before; out/ is
  // ovi-sim's, its files listed in its own manifest.
  auto walk = [&](auto&& visit) {
    for (fs::recursive_directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
      if (it->path() == dir + "/out") it.disable_recursion_pending();
      std::error_code kind;
      visit(it->path().string(), it->is_directory(kind) && !it->is_symlink(kind));
    }
  };
  std::set<std::string> before;
  walk([&](const std::string& path, bool) { before.insert(path); });
  folder.Note(log);
  folder.Note(dir + "/out", true);
  // The module's flight logs are listed before it writes them, so that a
  // flight stopped midway leaves them listed too.
  for (const char* name : {"fpl.log", "Flight.log"}) {
    const std::string path = dir + "/sim/ovi/FlightLog/" + name;
    if (!fs::exists(fs::symlink_status(path, ec))) folder.Note(path);
  }
  const std::string command = ReplayCommand(paths, dir) + " >" + Quote(log) + " 2>&1 </dev/null";
  const int status = std::system(command.c_str());
  walk([&](const std::string& path, bool is_folder) {
    if (before.count(path) == 0) folder.Note(path, is_folder);
  });
  return status != -1 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace ovi::flights
