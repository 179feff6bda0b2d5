// Both EFIS control panels of the sample panel clicked through ovi-sim's
// mouse routing by named keys: every area, mode and range at their ends,
// the layer keys with their named variables and "ON" labels, and the
// display's window key; what the displays then show, from their text
// records.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/sim/test_support.h"

namespace ovi::nd::test {
namespace {

using sim::test::ReadFile;
using sim::test::RunResult;
using sim::test::RunSim;

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// Texts of a text record: its lines that are not comments.
int CountTexts(const std::string& record) {
  int n = 0;
  for (const std::string& line : sim::test::Lines(record)) n += !line.empty() && line[0] != ';' ? 1 : 0;
  return n;
}

int CountLines(const std::string& text, const std::string& part) {
  int n = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
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
  RunResult Run(const std::string& scenario) {
    sim::test::WriteFile(sim_ / "scenario.txt", scenario);
    return RunSim({"--sim-folder", sim_.path(), "--panel", sim_ / "panels/sample/panel.cfg", "--scenario",
                   sim_ / "scenario.txt", "--out", sim_ / "out", "--trace", sim_ / "trace.txt"});
  }
  std::string Out(const std::string& file) const { return ReadFile(sim_ / ("out/" + file)); }

  sim::test::ScratchDir sim_{"nd737_panel"};
};

// Every key of the main panel's control panel; each expect_text that fails
// makes the run end with exit code 1.
TEST_F(PanelScenarioTest, MainControlPanelDrivesTheDisplay) {
  RunResult r = Run(R"(set display_power 1
set heading 90
run 1
; mode: down to its lower end (5 -> 1, and once more), up to its upper end
press HW_B737_EFIS_CNTR MODE_DOWN MODE_DOWN MODE_DOWN MODE_DOWN MODE_DOWN
expect_text HW_B737_ND NAV
expect_text HW_B737_ND 33
press HW_B737_EFIS_CNTR MODE_UP
expect_text HW_B737_ND "VOR 1"
expect_text HW_B737_ND DME
press HW_B737_EFIS_CNTR MODE_UP MODE_UP MODE_UP MODE_UP MODE_UP MODE_UP
expect_text HW_B737_ND N
snapshot plan
press HW_B737_EFIS_CNTR MODE_DOWN MODE_DOWN
expect_text HW_B737_ND TCAS
; range: down to the aircraft's MinMapRange (2.5), then up to the ladder's top
press HW_B737_EFIS_CNTR RANGE_DOWN RANGE_DOWN RANGE_DOWN RANGE_DOWN RANGE_DOWN
expect_text HW_B737_ND 1
snapshot range-2.5
press HW_B737_EFIS_CNTR RANGE_UP RANGE_UP RANGE_UP RANGE_UP RANGE_UP RANGE_UP RANGE_UP RANGE_UP
expect_text HW_B737_ND 160
snapshot range-320
; layer keys, each twice over
press HW_B737_EFIS_CNTR TFC
expect_text HW_B737_ND TFC
press HW_B737_EFIS_CNTR NAV ARPT INT AUX BDRY RINGS
snapshot layers
press HW_B737_EFIS_CNTR NAV ARPT
snapshot layers-back
; the display's own area opens its pop-up
press HW_B737_ND SCREEN
expect_text HW_B737_ND_NB HDG
)");
  ASSERT_EQ(r.exit_code, 0) << r.err << r.out;
  EXPECT_TRUE(Has(r.out, "text checks, 0 failed")) << r.out;

  const std::string trace = ReadFile(sim_ / "trace.txt");
  EXPECT_TRUE(Has(trace, "window 4011 shown")) << trace;

  const std::string vars = Out("variables.txt");
  EXPECT_TRUE(Has(vars, " ovi_nd_tcas = 1\n")) << vars;
  EXPECT_TRUE(Has(vars, " ovi_nd_nav = 1\n")) << vars;  // off, then on again
  EXPECT_TRUE(Has(vars, " ovi_nd_apt = 1\n")) << vars;
  EXPECT_TRUE(Has(vars, " ovi_nd_int = 1\n")) << vars;

  // The "ON" labels: navaids and airports at start; after the layer keys
  // only intersections; then all three.
  const std::string panel = "window00_gauge06_HW_B737_EFIS_CNTR.txt";
  EXPECT_EQ(CountLines(Out("snapshots/plan/" + panel), "\"ON\""), 2);
  EXPECT_EQ(CountLines(Out("snapshots/layers/" + panel), "\"ON\""), 1);
  EXPECT_EQ(CountLines(Out("snapshots/layers-back/" + panel), "\"ON\""), 3);
  // PLAN has its north mark; the range ladder's ends show their half ranges.
  EXPECT_TRUE(Has(Out("snapshots/plan/window00_gauge01_HW_B737_ND.txt"), "\"N\"\n"));
  EXPECT_TRUE(Has(Out("snapshots/range-2.5/window00_gauge01_HW_B737_ND.txt"), "\"  1\"\n"));
  EXPECT_TRUE(Has(Out("snapshots/range-320/window00_gauge01_HW_B737_ND.txt"), "\"160\"\n"));
}

// The second display and its control panel in window 4031: the same keys
// reach the same shared state, and the "VC2" display turns to its reduced
// picture only while the pop-up is open.
TEST_F(PanelScenarioTest, SecondControlPanelInItsOwnWindow) {
  RunResult r = Run(R"(set display_power 1
show 4031
run 1
press HW_B737_EFIS_CNTR_BR MODE_DOWN
expect_text HW_B737_ND_BR "VOR 1"
expect_text HW_B737_ND "VOR 1"
press HW_B737_EFIS_CNTR_BR RANGE_DOWN RANGE_DOWN RANGE_DOWN TFC
expect_text HW_B737_ND_BR TFC
expect_text HW_B737_ND TFC
press HW_B737_EFIS_CNTR_BR RANGE_UP INT
snapshot second
press HW_B737_ND_BR SCREEN
expect_text HW_B737_ND_BR HDG
expect_text HW_B737_ND_NB HDG
snapshot popup
)");
  ASSERT_EQ(r.exit_code, 0) << r.err << r.out;
  const std::string vars = Out("variables.txt");
  EXPECT_TRUE(Has(vars, " ovi_nd_int = 1\n")) << vars;
  EXPECT_TRUE(Has(vars, " ovi_nd_tcas = 1\n")) << vars;
  EXPECT_EQ(CountLines(Out("snapshots/second/window04_gauge01_HW_B737_EFIS_CNTR_BR.txt"), "\"ON\""), 3);
  // With the pop-up open the main panel's display is blank: no texts.
  EXPECT_EQ(CountTexts(Out("snapshots/popup/window00_gauge01_HW_B737_ND.txt")), 0);
  EXPECT_GT(CountTexts(Out("snapshots/second/window00_gauge01_HW_B737_ND.txt")), 10);
}

}  // namespace
}  // namespace ovi::nd::test
