#include "tools/flights/flight_setup.h"

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

#include "tools/flights/flight_record.h"

namespace ovi::flights {

namespace fs = std::filesystem;

namespace {

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

bool PrepareFlight(const Paths& paths, const std::string& dir, const std::string& aircraft,
                   const std::string& aircraft_text, const std::string& scenario, std::string& error) {
  std::error_code ec;
  fs::remove_all(dir, ec);
  fs::create_directories(dir + "/sim/GAUGES", ec);
  fs::copy(paths.source + "/data", dir + "/sim", fs::copy_options::recursive | fs::copy_options::overwrite_existing,
           ec);
  if (!ec) fs::copy_file(paths.module, dir + "/sim/GAUGES/ovi1.gau", fs::copy_options::overwrite_existing, ec);
  if (!ec) fs::copy_file(paths.source + "/data/panels/keys.txt", dir + "/keys.txt", fs::copy_options::overwrite_existing, ec);
  if (ec) {
    error = dir + ": " + ec.message();
    return false;
  }
  const std::string aircraft_file = dir + "/sim/ovi/Aircraft/" + aircraft + ".cfg";
  if (!aircraft_text.empty() && !Write(aircraft_file, aircraft_text, error)) return false;
  // Flown without its file, the module falls back on another aircraft and
  // the flight looks sound while it is not the one asked for.
  if (!fs::is_regular_file(aircraft_file, ec)) {
    error = "aircraft " + aircraft + ": the sample data has no ovi/Aircraft/" + aircraft +
            ".cfg (a generated aircraft is written by `generate SEED DIR`)";
    return false;
  }
  return Write(dir + "/panel.cfg", LightPanel(aircraft), error) &&
         Write(dir + "/scenario.txt", ExpandMarkers(scenario), error);
}

std::string ReplayCommand(const Paths& paths, const std::string& dir) {
  return Quote(paths.sim) + " --sim-folder " + Quote(dir + "/sim") + " --panel " + Quote(dir + "/panel.cfg") +
         " --keys " + Quote(dir + "/keys.txt") + " --scenario " + Quote(dir + "/scenario.txt") + " --out " +
         Quote(dir + "/out");
}

int FlyFlight(const Paths& paths, const std::string& dir) {
  const std::string command =
      ReplayCommand(paths, dir) + " >" + Quote(dir + "/ovi-sim.log") + " 2>&1 </dev/null";
  const int status = std::system(command.c_str());
  return status != -1 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace ovi::flights
