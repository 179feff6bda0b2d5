// The A300 sample panel in ovi-sim: the DU-1000's window key clicked inside
// and outside its area (a child within a parent far from the gauge's
// corner), and the demo's EHSI scenarios (DU-1000, Pro Line 4, MD-80) with
// what each snapshot shows.
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
  sim::test::RunResult Run(const std::string& scenario, const std::string& panel = "a300") {
    return sim::test::RunSim({"--sim-folder", sim_.path(), "--panel", sim_ / ("panels/" + panel + "/panel.cfg"),
                              "--scenario", scenario, "--out", sim_ / "out", "--trace", sim_ / "trace.txt"});
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

// The A300 control panel's scenario: each range picture is named for the
// range the DU-1000 then shows. Its outer range label stands at (12, 162)
// and reads two thirds of the range (5 NM gives "3.3").
TEST_F(EhsiPanelTest, A300ScenarioShowsTheRangeEachPictureIsNamedFor) {
  sim::test::RunResult r = Run(sim_ / "scenarios/a300.txt");
  ASSERT_EQ(r.exit_code, 0) << r.err << r.out;
  const std::string main = "window00_gauge01_DU_1000_EHSI";
  for (auto [label, outer] : {std::pair{"range-low", "3.3"}, std::pair{"range-30", " 20"},
                              std::pair{"range-60", " 40"}, std::pair{"range-120", " 80"},
                              std::pair{"range-240", "160"}}) {
    const std::string record = sim::test::ReadFile(sim_ / ("out/snapshots/" + std::string(label) + "/" + main + ".txt"));
    EXPECT_EQ(Count(record, " 12.0 162.0 0xFF02A7EB 15.0 1 whole \"Arial\" \"" + std::string(outer) + "\"\n"), 1) << label;
  }
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

// The Pro Line 4 and MD-80 panels driven by their named keys: every
// snapshot written, its texts checked by the scenario itself (a failed
// check fails the run); the pop-up blanks the main display, and switched
// off both show nothing.
TEST_F(EhsiPanelTest, Proline4AndMd80ScenariosWriteTheirSnapshots) {
  struct Family {
    const char* panel;
    const char* main;
    const char* popup;  // the pop-up's copy, or null
    std::vector<const char*> labels;
  } families[] = {{"proline4", "window00_gauge01_PROLINE4_MFD", "window01_gauge00_PROLINE4_MFD_NB",
                   {"pl4-rose-fms", "pl4-rose-nav", "pl4-rose-pointers", "pl4-arc-min", "pl4-arc-max",
                    "pl4-arc-bug", "pl4-panels", "pl4-popup", "pl4-off"}},
                  {"md80", "window00_gauge01_MD80_EHSI_NB", nullptr,
                   {"md80-rose", "md80-rose-adf", "md80-arc-ils", "md80-panel", "md80-off"}}};
  for (const Family& f : families) {
    std::filesystem::remove_all(sim_ / "out");
    sim::test::RunResult r = Run(sim_ / ("scenarios/" + std::string(f.panel) + ".txt"), f.panel);
    ASSERT_EQ(r.exit_code, 0) << r.err << r.out;
    for (const char* label : f.labels) {
      EXPECT_TRUE(std::filesystem::exists(sim_ / ("out/snapshots/" + std::string(label) + "/window00.png"))) << label;
      const std::string l = label;
      if (l.find("-off") == std::string::npos && l != "pl4-popup") {
        EXPECT_GT(Texts(label, f.main), 10) << label;
      }
    }
    EXPECT_EQ(Texts(f.labels.back(), f.main), 0);
    if (f.popup != nullptr) {
      EXPECT_EQ(Texts("pl4-popup", f.main), 0);
      EXPECT_GT(Texts("pl4-popup", f.popup), 10);
    }
  }
}

// The three maps of the ehsi-maps panel: the route, its hold and the FIX
// INFO fixes given by the CDU's keys (the scenario checks their texts
// itself), every snapshot written; the "VC2" copies leave the boundaries'
// labels out while the pop-ups are open.
TEST_F(EhsiPanelTest, MapsScenarioWritesItsSnapshots) {
  sim::test::RunResult r = Run(sim_ / "scenarios/ehsi-maps.txt", "ehsi-maps");
  ASSERT_EQ(r.exit_code, 0) << r.err << r.out;
  EXPECT_NE(r.out.find("2 waypoints passed: TCM OLM"), std::string::npos) << r.out;
  for (const char* label : {"du1000-arcmap", "du1000-plan", "du1000-runways", "pl4-map", "pl4-map-step", "pl4-arcmap",
                            "pl4-arcmap-descent", "md80-map", "md80-plan", "md80-runways", "vc2-no-bdry",
                            "lists-moved"})
    EXPECT_TRUE(std::filesystem::exists(sim_ / ("out/snapshots/" + std::string(label) + "/window00.png"))) << label;
  const std::string du = "window00_gauge01_DU_1000_EHSI_NB", pl4 = "window00_gauge02_PROLINE4_MFD_NB",
                    md80 = "window00_gauge03_MD80_EHSI_NB";
  // Centred on Newberg; on the Pro Line 4's small map its name stands
  // under BTG's with no clear gap and gives way to it, on the DU-1000's it
  // would stand on the next waypoint's symbol (Portland's) and gives way to
  // that.
  EXPECT_GE(Texts("pl4-map-step", md80, "UBG"), 1);
  EXPECT_EQ(Texts("pl4-map-step", du, "UBG"), 0);
  EXPECT_GE(Texts("pl4-map-step", pl4, "BTG"), 1);
  // The boundaries' labels on the full windows' maps (the Pro Line 4's
  // gives way to EAT's name there), none on the VC2 copies.
  EXPECT_GE(Texts("vc2-no-bdry", "window01_gauge00_DU_1000_EHSI_NB", "ZSE"), 1);
  for (const char* copy : {"window00_gauge10_DU_1000_EHSI_NB", "window00_gauge11_PROLINE4_MFD_NB",
                           "window00_gauge12_MD80_EHSI_NB"}) {
    EXPECT_GT(Texts("vc2-no-bdry", copy), 10) << copy;
    EXPECT_EQ(Texts("vc2-no-bdry", copy, "ZSE"), 0) << copy;
  }
}

}  // namespace
}  // namespace ovi::ehsi::test
