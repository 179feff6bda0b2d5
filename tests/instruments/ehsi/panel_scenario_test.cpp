// The A300 sample panel in ovi-sim: the DU-1000's window key clicked
// inside and outside its area (a child placed within a parent far from the
// gauge's corner), and the demo's EHSI scenario with what each snapshot
// shows.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/sim/test_support.h"

namespace ovi::ehsi::test {
namespace {

using sim::test::RunResult;

int Count(const std::string& text, const std::string& part) {
  int n = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

// Texts of a text record (lines that are not comments).
int CountTexts(const std::string& record, const std::string& text = "") {
  int n = 0;
  for (const std::string& line : sim::test::Lines(record))
    if (!line.empty() && line[0] != ';') n += text.empty() || Count(line, "\"" + text + "\"") > 0 ? 1 : 0;
  return n;
}

class EhsiPanelTest : public ::testing::Test {
 public:
  void SetUp() override { sim::test::CopySampleSimulator(sim_); }
  RunResult Run(const std::string& scenario_file) {
    return sim::test::RunSim({"--sim-folder", sim_.path(), "--panel", sim_ / "panels/a300/panel.cfg", "--scenario",
                              scenario_file, "--out", sim_ / "out", "--trace", sim_ / "trace.txt"});
  }
  std::string Out(const std::string& file) const { return sim::test::ReadFile(sim_ / ("out/" + file)); }

  sim::test::ScratchDir sim_{"ehsi_panel"};
};

// The area is (130, 130) to (229, 229) on the gauge: its left and top edges
// inside, right and bottom outside; the pop-up copy is drawn 1.5 times the
// design size.
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
  RunResult r = Run(sim_ / "keys.txt");
  ASSERT_EQ(r.exit_code, 0) << r.err << r.out;
  EXPECT_NE(r.out.find("7 clicks (4 on no rectangle)"), std::string::npos) << r.out;
  const std::string trace = sim::test::ReadFile(sim_ / "trace.txt");
  EXPECT_EQ(Count(trace, "window 4017 shown"), 2);
  EXPECT_EQ(Count(trace, "window 4017 hidden"), 1);
}

TEST_F(EhsiPanelTest, DemoScenarioWritesEverySnapshot) {
  RunResult r = Run(sim_ / "scenarios/ehsi.txt");
  ASSERT_EQ(r.exit_code, 0) << r.err << r.out;
  const std::string main = "window00_gauge01_DU_1000_EHSI.txt";
  const std::string copy = "window00_gauge06_DU_1000_EHSI_NB.txt";
  struct Snapshot {
    const char* label;
    std::vector<const char*> shown, hidden;
  } snapshots[] = {
      {"du1000-rose-vor", {"VOR", "CRS", "33", "255/25 "}, {"ILS"}},
      {"du1000-rose-ils", {"ILS", "G/S", "109.90"}, {"VOR"}},
      {"du1000-arc-ils", {"ILS", "G/S", "109.90", "CRS", " 40", " 20"}, {"N"}},
      {"du1000-north-up", {"N", "E", "W", "S"}, {"GS", "CRS"}},
      {"du1000-arc-descent", {"OLM", " 40", "GS"}, {"CRS", "ILS"}},
  };
  for (const Snapshot& s : snapshots) {
    SCOPED_TRACE(s.label);
    const std::string record = Out(std::string("snapshots/") + s.label + "/" + main);
    for (const char* text : s.shown) EXPECT_GE(CountTexts(record, text), 1) << text;
    for (const char* text : s.hidden) EXPECT_EQ(CountTexts(record, text), 0) << text;
    EXPECT_TRUE(std::filesystem::exists(sim_ / (std::string("out/snapshots/") + s.label + "/window00.png")));
  }
  // The pop-up open: the main display blank, the pop-up's copy and the
  // "VC2" copy drawing.
  EXPECT_EQ(CountTexts(Out("snapshots/du1000-popup/" + main)), 0);
  EXPECT_GT(CountTexts(Out("snapshots/du1000-popup/window01_gauge00_DU_1000_EHSI_NB.txt")), 10);
  EXPECT_GT(CountTexts(Out("snapshots/du1000-popup/" + copy)), 10);
  EXPECT_EQ(CountTexts(Out("snapshots/du1000-off/" + main)), 0);
  EXPECT_EQ(CountTexts(Out("snapshots/du1000-off/" + copy)), 0);
}

}  // namespace
}  // namespace ovi::ehsi::test
