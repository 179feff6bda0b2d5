// The EFIS control panels of the sample panel clicked through ovi-sim's
// mouse routing by named keys, and the demo's scenario; what the displays
// then show, from their text records.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/fms/cdu_legibility.h"
#include "tests/sim/test_support.h"

namespace ovi::nd::test {
namespace {

using sim::test::RunResult;

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// Lines of a text record that hold `text` as a quoted text ("" = any).
int CountTexts(const std::string& record, const std::string& text = "") {
  int n = 0;
  for (const std::string& line : sim::test::Lines(record))
    if (!line.empty() && line[0] != ';') n += text.empty() || Has(line, "\"" + text + "\"") ? 1 : 0;
  return n;
}

class PanelScenarioTest : public ::testing::Test {
 public:
  void SetUp() override {
    std::filesystem::copy(std::string(OVI_SOURCE_DIR) + "/data", sim_.path(),
                          std::filesystem::copy_options::recursive);
    std::filesystem::create_directories(sim_ / "GAUGES");
    std::filesystem::copy_file(OVI_MODULE_PATH, sim_ / "GAUGES/ovi1.gau");
  }
  RunResult Run(const std::string& scenario_file) {
    return sim::test::RunSim({"--sim-folder", sim_.path(), "--panel", sim_ / "panels/sample/panel.cfg",
                              "--scenario", scenario_file, "--out", sim_ / "out", "--trace", sim_ / "trace.txt"});
  }
  std::string Out(const std::string& file) const { return sim::test::ReadFile(sim_ / ("out/" + file)); }

  sim::test::ScratchDir sim_{"nd737_panel"};
};

// Every key of both control panels; each expect_text that fails makes the
// run end with exit code 1.
TEST_F(PanelScenarioTest, BothControlPanelsDriveTheDisplays) {
  sim::test::WriteFile(sim_ / "keys.txt", R"(set display_power 1
run 1
; mode down past its lower end (from 5), up past its upper end
press HW_B737_EFIS_CNTR MODE_DOWN MODE_DOWN MODE_DOWN MODE_DOWN MODE_DOWN
expect_text HW_B737_ND NAV
press HW_B737_EFIS_CNTR MODE_UP
expect_text HW_B737_ND "VOR 1"
press HW_B737_EFIS_CNTR MODE_UP MODE_UP MODE_UP MODE_UP MODE_UP MODE_UP
expect_text HW_B737_ND N
press HW_B737_EFIS_CNTR MODE_DOWN MODE_DOWN
; range down to the aircraft's MinMapRange (2.5), then past the ladder's top
press HW_B737_EFIS_CNTR RANGE_DOWN RANGE_DOWN RANGE_DOWN RANGE_DOWN RANGE_DOWN
snapshot range-2.5
press HW_B737_EFIS_CNTR RANGE_UP RANGE_UP RANGE_UP RANGE_UP RANGE_UP RANGE_UP RANGE_UP RANGE_UP
snapshot range-320
press HW_B737_EFIS_CNTR TFC
expect_text HW_B737_ND TFC
press HW_B737_EFIS_CNTR NAV ARPT INT AUX BDRY RINGS
snapshot layers
; the second panel in its own window reaches the same shared state
show 4031
run 1
press HW_B737_EFIS_CNTR_BR NAV ARPT MODE_DOWN
expect_text HW_B737_ND "VOR 1"
snapshot second
press HW_B737_ND SCREEN
expect_text HW_B737_ND_NB HDG
expect_text HW_B737_ND_BR HDG
snapshot popup
)");
  RunResult r = Run(sim_ / "keys.txt");
  ASSERT_EQ(r.exit_code, 0) << r.err << r.out;
  EXPECT_TRUE(Has(sim::test::ReadFile(sim_ / "trace.txt"), "window 4011 shown"));
  const std::string vars = Out("variables.txt");
  for (const char* v : {" ovi_nd_tcas = 1\n", " ovi_nd_nav = 1\n", " ovi_nd_apt = 1\n", " ovi_nd_int = 1\n"})
    EXPECT_TRUE(Has(vars, v)) << v << vars;
  const std::string nd = "window00_gauge01_HW_B737_ND.txt";
  EXPECT_EQ(CountTexts(Out("snapshots/range-2.5/" + nd), "1.2"), 1);  // half of 2.5
  EXPECT_EQ(CountTexts(Out("snapshots/range-320/" + nd), "160"), 1);
  // "ON" over navaids and airports at start, intersections only after the
  // layer keys, all three once the second panel turned the first two back.
  EXPECT_EQ(CountTexts(Out("snapshots/range-2.5/window00_gauge06_HW_B737_EFIS_CNTR.txt"), "ON"), 2);
  EXPECT_EQ(CountTexts(Out("snapshots/layers/window00_gauge06_HW_B737_EFIS_CNTR.txt"), "ON"), 1);
  EXPECT_EQ(CountTexts(Out("snapshots/second/window04_gauge01_HW_B737_EFIS_CNTR_BR.txt"), "ON"), 3);
  EXPECT_EQ(CountTexts(Out("snapshots/popup/" + nd)), 0);  // blank while the pop-up is open
}

// The demo's scenario writes every snapshot it names, with what a pilot
// reads on the main display in each.
TEST_F(PanelScenarioTest, DemoScenarioWritesEveryDisplaySnapshot) {
  RunResult r = Run(sim_ / "scenarios/nd737.txt");
  ASSERT_EQ(r.exit_code, 0) << r.err << r.out;
  struct Snapshot {
    const char* label;
    std::vector<const char*> shown;
  } snapshots[] = {
      {"nd-mode1", {"NAV", "33"}},     {"nd-mode2", {"VOR 1", "113.40", "ADF 1"}}, {"nd-mode3", {"NAV", "NM"}},
      {"nd-mode4", {"ILS 1", "TO"}},   {"nd-mode5", {"TFC", " 20"}},               {"nd-mode6", {" 20"}},
      {"nd-mode7", {"N"}},             {"nd-range-2.5", {"1.2"}},                  {"nd-range-40", {" 20"}},
      {"nd-range-320", {"160"}},       {"nd-layers-off", {"TCAS", "OFF"}},         {"nd-aux", {"VOR 1"}},
      {"nd-descent", {"TFC"}},         {"nd-popup", {}},                           {"nd-power-off", {}},
  };
  for (const Snapshot& snap : snapshots) {
    const std::string record = Out(std::string("snapshots/") + snap.label + "/window00_gauge01_HW_B737_ND.txt");
    EXPECT_TRUE(std::filesystem::exists(sim_ / (std::string("out/snapshots/") + snap.label + "/window00.png")));
    for (const char* text : snap.shown) EXPECT_EQ(CountTexts(record, text), 1) << snap.label << " " << text;
  }
  EXPECT_EQ(CountTexts(Out("snapshots/nd-popup/window00_gauge01_HW_B737_ND.txt")), 0);
  EXPECT_GT(CountTexts(Out("snapshots/nd-popup/window01_gauge00_HW_B737_ND_NB.txt")), 10);
  EXPECT_GT(CountTexts(Out("snapshots/nd-popup/window04_gauge00_HW_B737_ND_BR.txt")), 10);
  EXPECT_EQ(CountTexts(Out("snapshots/nd-power-off/window00_gauge01_HW_B737_ND.txt")), 0);
  fms::test::ExpectLegibleCduSnapshots(sim_ / "out");
}

}  // namespace
}  // namespace ovi::nd::test
