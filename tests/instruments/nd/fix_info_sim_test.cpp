// FIX INFO through ovi-sim on the sample panel, by the CDU's named keys:
// every entry form accepted and refused, DELETE, both sub-pages, the fix on
// the B737 display from the next frame, and the demo's layer scenario with
// the fixes gone after the new route's EXEC.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "tests/fms/cdu_legibility.h"
#include "tests/sim/test_support.h"

namespace ovi::nd::test {
namespace {

using sim::test::ReadFile;
using sim::test::RunResult;

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// The quoted texts of a text record.
bool Shows(const std::string& record, const std::string& text) { return Has(record, "\"" + text + "\"\n"); }

class FixInfoSimTest : public ::testing::Test {
 public:
  void SetUp() override {
    std::filesystem::copy(std::string(OVI_SOURCE_DIR) + "/data", sim_.path(),
                          std::filesystem::copy_options::recursive);
    std::filesystem::create_directories(sim_ / "GAUGES");
    std::filesystem::copy_file(OVI_MODULE_PATH, sim_ / "GAUGES/ovi1.gau");
  }
  RunResult Run(const std::string& scenario_path) {
    return sim::test::RunSim({"--sim-folder", sim_.path(), "--panel", sim_ / "panels/sample/panel.cfg",
                              "--scenario", scenario_path, "--out", sim_ / "out"});
  }
  std::string Record(const std::string& label, const std::string& gauge) const {
    for (const auto& e : std::filesystem::directory_iterator(sim_ / ("out/snapshots/" + label)))
      if (e.path().filename().string().ends_with("_" + gauge + ".txt")) return ReadFile(e.path().string());
    ADD_FAILURE() << "no record of " << gauge << " in " << label;
    return {};
  }

  sim::test::ScratchDir sim_{"fix_info_sim"};
};

// The route ident (DA Rered) of a display's text record drawn nearest the
// map's origin among those above it: the origin's own waypoint's ident
// stands 7 right of and 7 above it.
std::string NearestRouteIdent(const std::string& record) {
  std::string nearest;
  double best = 1e9;
  std::istringstream lines(record);
  for (std::string line; std::getline(lines, line);) {
    if (line.find("\"DA Rered\"") == std::string::npos) continue;
    std::istringstream f(line);
    double element, x, y, w, h, cx, cy;
    f >> element >> x >> y >> w >> h >> cx >> cy;
    const std::size_t open = line.rfind('"', line.size() - 2);
    if (!f || open == std::string::npos || cy >= 0.0) continue;
    if (std::abs(cx) + std::abs(cy) < best) {
      best = std::abs(cx) + std::abs(cy);
      nearest = line.substr(open + 1, line.size() - open - 2);
    }
  }
  return nearest;
}

// "press SMITHS_FMS 0 9 0 / 2 5 L2": each character by its key, then the
// line key.
std::string Typed(const std::string& text, const std::string& line_key) {
  std::string keys = "press SMITHS_FMS";
  for (char c : text) keys += std::string(" ") + c;
  return keys + " " + line_key + "\nrun 0.2\n";
}

TEST_F(FixInfoSimTest, EntryFormsByNamedKeys) {
  struct Case {
    const char* typed;
    const char* key;
    std::vector<const char*> shown;  // on the CDU afterwards
    bool refused;
  };
  const std::vector<Case> cases = {
      {"XYZZY", "L1", {"NOT IN DATABASE"}, true},
      {"SEA", "L1", {"SEA", "180/ 10.0"}, false},
      {"090", "L2", {"090"}, false},
      {"/25", "L2", {"25.0"}, false},
      {"180/5", "L3", {"180", "5.0"}, false},
      {"000", "L4", {"360"}, false},
      {"360/998.9", "L4", {"998.9"}, false},
      {"0", "L3", {"INVALID ENTRY"}, true},
      {"90/25", "L3", {"INVALID ENTRY"}, true},
      {"0900/25", "L3", {"INVALID ENTRY"}, true},
      {"090/999", "L3", {"INVALID ENTRY"}, true},
      {"090/0", "L3", {"INVALID ENTRY"}, true},
      {"090/", "L3", {"INVALID ENTRY"}, true},
      {"090/25.000000", "L3", {"INVALID ENTRY"}, true},
  };
  // 10 NM south of SEA (47.4353 N), heading north, no variation, frozen.
  std::string s =
      "set lat 47.268633\nset lon -122.3097\nset heading 0\nset magvar 0\nset gs 300\nset altitude 10000\n"
      "set zulu 14:05:00\nset display_power 1\nset paused 1\nrun 1\npress SMITHS_FMS FIX\nrun 0.2\n"
      "snapshot empty\n";
  for (const Case& c : cases) {
    s += Typed(c.typed, c.key);
    for (const char* text : c.shown) s += std::string("expect_text SMITHS_FMS \"") + text + "\"\n";
    // The refused text stays: the message, then each character, cleared.
    if (c.refused) {
      s += "press SMITHS_FMS";
      for (std::size_t i = 0; i <= std::string(c.typed).size(); ++i) s += " CLR";
      s += "\n";
    }
  }
  // The radial's label on the display, from the next frame.
  s += "run 0.2\nexpect_text HW_B737_ND \"090\"\nsnapshot rows\n";
  // DELETE on a row, then on the fix; PREV and NEXT toggle the sub-pages.
  s += "press SMITHS_FMS DEL L2\nrun 0.2\nsnapshot row-deleted\n";
  s += "press SMITHS_FMS DEL L1\nrun 0.2\nsnapshot fix-deleted\n";
  s += "press SMITHS_FMS PREV_PAGE\nrun 0.2\nexpect_text SMITHS_FMS \"2 / 2\"\n";
  s += "press SMITHS_FMS NEXT_PAGE\nrun 0.2\nexpect_text SMITHS_FMS \"1 / 2\"\n";
  sim::test::WriteFile(sim_ / "entries.txt", s);
  const RunResult r = Run(sim_ / "entries.txt");
  EXPECT_EQ(r.exit_code, 0) << r.out << r.err;
  EXPECT_TRUE(Has(r.out, " text checks, 0 failed")) << r.out;

  EXPECT_TRUE(Shows(Record("empty", "SMITHS_FMS"), "FIX INFO"));
  EXPECT_FALSE(Shows(Record("empty", "HW_B737_ND"), "090"));
  const std::string rows = Record("rows", "SMITHS_FMS");
  // Row 1: 090 / 25.0, about 26.9 NM to go: 5.4 minutes at 300 kt.
  EXPECT_TRUE(Shows(rows, "25.0"));
  EXPECT_TRUE(Shows(rows, "1410Z")) << rows;
  // Row 3 took 000 as 360, then 360/998.9.
  EXPECT_TRUE(Shows(rows, "998.9"));
  const std::string deleted = Record("row-deleted", "SMITHS_FMS");
  EXPECT_FALSE(Shows(deleted, "25.0"));
  EXPECT_TRUE(Shows(deleted, "180"));
  EXPECT_FALSE(Shows(Record("fix-deleted", "SMITHS_FMS"), "SEA"));
  EXPECT_FALSE(Shows(Record("fix-deleted", "HW_B737_ND"), "180"));
}

TEST_F(FixInfoSimTest, TheDemoScenarioWritesItsSnapshotsAndExecTakesTheFixesAway) {
  const RunResult r = Run(sim_ / "scenarios/nd737-layers.txt");
  EXPECT_EQ(r.exit_code, 0) << r.out << r.err;
  for (const char* label : {"map-2.5", "map-10", "map-40", "map-160", "map-320", "map-centred", "plan-OLM",
                            "plan-BTG", "plan-OLM-again", "hold", "pending-new", "pending-mod", "fixinfo-nd",
                            "fixinfo-page-1", "fixinfo-page-2", "fixinfo-invalid", "after-exec"})
    EXPECT_TRUE(std::filesystem::exists(sim_ / ("out/snapshots/" + std::string(label)))) << label;
  // Each picture shows what its name says. The ranges: the arc's mark at
  // half the range (1.25 reads "1.2").
  for (auto [label, mark] : {std::pair{"map-2.5", "1.2"}, std::pair{"map-10", "  5"}, std::pair{"map-40", " 20"},
                             std::pair{"map-160", " 80"}, std::pair{"map-320", "160"}})
    EXPECT_TRUE(Has(Record(label, "HW_B737_ND"), " -20.0 -120.0 0xFFDEE6E9 10.0 1 whole \"Arial\" \"" + std::string(mark) + "\"\n"))
        << label;
  // PLAN: the waypoint at the centre.
  for (auto [label, centre] : {std::pair{"plan-OLM", "OLM"}, std::pair{"plan-BTG", "BTG"},
                               std::pair{"plan-OLM-again", "OLM"}})
    EXPECT_EQ(NearestRouteIdent(Record(label, "HW_B737_ND")), centre) << label;
  // Olympia's ring and radial on the display before EXEC, gone after it.
  EXPECT_TRUE(Shows(Record("fixinfo-nd", "HW_B737_ND"), "15.0"));
  EXPECT_TRUE(Shows(Record("fixinfo-nd", "HW_B737_ND"), "270"));
  EXPECT_FALSE(Shows(Record("after-exec", "HW_B737_ND"), "15.0"));
  EXPECT_FALSE(Shows(Record("after-exec", "HW_B737_ND"), "270"));
  EXPECT_FALSE(Shows(Record("after-exec", "SMITHS_FMS"), "SEA"));
  fms::test::ExpectLegibleCduSnapshots(sim_ / "out");
}

}  // namespace
}  // namespace ovi::nd::test
