// The A300 sample panel in ovi-sim: the DU-1000's window key clicked inside
// and outside its area (a child within a parent far from the gauge's
// corner), and the demo's EHSI scenario with what each snapshot shows.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/sim/test_support.h"

namespace ovi::ehsi::test {
namespace {

int Count(const std::string& text, const std::string& part) {
  int n = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

class EhsiPanelTest : public ::testing::Test {
 public:
  void SetUp() override { sim::test::CopySampleSimulator(sim_); }
  sim::test::RunResult Run(const std::string& scenario) {
    return sim::test::RunSim({"--sim-folder", sim_.path(), "--panel", sim_ / "panels/a300/panel.cfg", "--scenario",
                              scenario, "--out", sim_ / "out", "--trace", sim_ / "trace.txt"});
  }
  // Texts of a gauge's record in a snapshot that are exactly `text` (all
  // texts for "").
  int Texts(const std::string& snapshot, const std::string& gauge, const std::string& text = "") {
    const std::string record = sim::test::ReadFile(sim_ / ("out/snapshots/" + snapshot + "/" + gauge + ".txt"));
    int n = 0;
    for (const std::string& line : sim::test::Lines(record))
      n += !line.empty() && line[0] != ';' && (text.empty() || Count(line, "\"" + text + "\"") > 0);
    return n;
  }

  sim::test::ScratchDir sim_{"ehsi_panel"};
};

// The area spans (130, 130) to (229, 229) of the gauge, right and bottom
// edges outside; the pop-up's copy is drawn 1.5 times the design size.
TEST_F(EhsiPanelTest, WindowKeyInsideAndOutsideItsArea) {
  sim::test::WriteFile(sim_ / "keys.txt", R"(run 1
click DU_1000_EHSI 50 50
click DU_1000_EHSI 129 180
click DU_1000_EHSI 180 230
click DU_1000_EHSI 130 229
run 1
expect_text DU_1000_EHSI_NB#2 GS
click DU_1000_EHSI_NB#2 194 194
click DU_1000_EHSI_NB#2 196 196
run 1
click DU_1000_EHSI_NB 229 130
run 1
)");
  sim::test::RunResult r = Run(sim_ / "keys.txt");
  ASSERT_EQ(r.exit_code, 0) << r.err << r.out;
  EXPECT_NE(r.out.find("7 clicks (4 on no rectangle)"), std::string::npos) << r.out;
  const std::string trace = sim::test::ReadFile(sim_ / "trace.txt");
  EXPECT_EQ(Count(trace, "window 4017 shown"), 2);
  EXPECT_EQ(Count(trace, "window 4017 hidden"), 1);
}

TEST_F(EhsiPanelTest, DemoScenarioWritesEverySnapshot) {
  sim::test::RunResult r = Run(sim_ / "scenarios/ehsi.txt");
  ASSERT_EQ(r.exit_code, 0) << r.err << r.out;
  const std::string main = "window00_gauge01_DU_1000_EHSI", copy = "window00_gauge06_DU_1000_EHSI_NB";
  struct Snapshot {
    const char* label;
    std::vector<const char*> shown, hidden;
  } snapshots[] = {{"du1000-rose-vor", {"VOR", "CRS", "33", "255/25 "}, {"ILS"}},
                   {"du1000-rose-ils", {"ILS", "G/S", "109.90"}, {"VOR"}},
                   {"du1000-arc-ils", {"ILS", "G/S", "109.90", " 40", " 20"}, {"N"}},
                   {"du1000-north-up", {"N", "E", "W", "S"}, {"GS", "CRS"}},
                   {"du1000-arc-descent", {"OLM", " 40", "GS"}, {"CRS", "ILS"}}};
  for (const Snapshot& s : snapshots) {
    for (const char* text : s.shown) EXPECT_GE(Texts(s.label, main, text), 1) << s.label << " " << text;
    for (const char* text : s.hidden) EXPECT_EQ(Texts(s.label, main, text), 0) << s.label << " " << text;
    EXPECT_TRUE(std::filesystem::exists(sim_ / ("out/snapshots/" + std::string(s.label) + "/window00.png")));
  }
  // The pop-up open: the main display blank, the pop-up's and the "VC2"
  // copies drawing; then the displays switched off.
  EXPECT_EQ(Texts("du1000-popup", main), 0);
  EXPECT_GT(Texts("du1000-popup", "window01_gauge00_DU_1000_EHSI_NB"), 10);
  EXPECT_GT(Texts("du1000-popup", copy), 10);
  EXPECT_EQ(Texts("du1000-off", main) + Texts("du1000-off", copy), 0);
}

}  // namespace
}  // namespace ovi::ehsi::test
