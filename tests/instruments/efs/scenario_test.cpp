// The demo's EFS 50 scenario in ovi-sim: every key of both control panels
// and a held course knob, seen in the key events the module sent.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/sim/test_support.h"

namespace ovi::efs {
namespace {

TEST(Efs50Scenario, EveryKeyAndAHeldKnob) {
  sim::test::ScratchDir sim("efs50_scenario");
  sim::test::CopySampleSimulator(sim);
  sim::test::RunResult r = sim::test::RunSim({"--sim-folder", sim.path(), "--panel", sim / "panels/efs50/panel.cfg",
                                              "--scenario", sim / "scenarios/efs50.txt", "--out", sim / "out"});
  ASSERT_EQ(r.exit_code, 0) << r.err << r.out;
  EXPECT_TRUE(std::filesystem::exists(sim / "out/snapshots/efs50-panel/window00.png"));
  std::vector<std::string> ids;
  for (const std::string& line : sim::test::Lines(sim::test::ReadFile(sim / "out/key_events.txt"))) {
    if (line.empty() || line[0] == ';') continue;
    std::size_t at = line.find("module 0x");
    if (at != std::string::npos) ids.push_back(line.substr(at + 7, 7));
  }
  // CRS down and up, DH up and down (200 ft lies within the limits), HDG
  // down and up, then the held course knob: its first call and three
  // repeats in the second it is held.
  EXPECT_EQ(ids, (std::vector<std::string>{"0x1007E", "0x1007F", "0x10311", "0x10312", "0x10158", "0x10157",
                                           "0x1007F", "0x1007F", "0x1007F", "0x1007F"}));
  // Both panels pressed TCAS once: the traffic layer is off again.
  EXPECT_NE(sim::test::ReadFile(sim / "out/variables.txt").find(" ovi_nd_tcas = 0\n"), std::string::npos);
}

// The demo's attitude-display flights: each runs to its snapshots with its
// text checks (a check that fails ends the run with exit code 1), and the
// options' flights on their own panels. The A320 and C-17 flights check the
// LNAV button on both displays the next frame, the A320's window key (its
// copies draw whatever the window) and the C-17 flight key.
TEST(AttitudeScenarios, EveryFlightRunsToItsSnapshots) {
  sim::test::ScratchDir sim("attitude_scenarios");
  sim::test::CopySampleSimulator(sim);
  struct Run {
    const char* panel;
    const char* scenario;
    std::vector<std::string> snapshots;
  } runs[] = {
      {"panels/efs50/panel.cfg", "scenarios/efs50-eadi.txt",
       {"eadi-ground", "eadi-level", "eadi-bank", "eadi-steps", "eadi-approach", "eadi-popup", "eadi-off"}},
      {"panels/efs50/eadi-options.cfg", "scenarios/efs50-eadi-options.txt",
       {"eadi-dual", "eadi-tape", "eadi-expanded"}},
      {"panels/b777/panel.cfg", "scenarios/b777.txt",
       {"b777-ground", "b777-takeoff", "b777-climb", "b777-approach", "b777-popup", "b777-off"}},
      {"panels/b777/options.cfg", "scenarios/b777-options.txt", {"b777-novspd", "b777-fpv", "b777-fpv-pinned"}},
      {"panels/a320/panel.cfg", "scenarios/pfd.txt",
       {"a320-takeoff", "a320-climb", "a320-turn", "a320-cruise", "a320-ils", "a320-popup", "a320-off"}},
      {"panels/c17/panel.cfg", "scenarios/pfd-c17.txt",
       {"c17-pfd-takeoff", "c17-pfd-climb", "c17-pfd-ils", "c17-pfd-warning", "c17-pfd-ap-off"}},
  };
  for (const Run& run : runs) {
    const std::string out = sim / (std::string("out-") + std::filesystem::path(run.scenario).stem().string());
    sim::test::RunResult r = sim::test::RunSim(
        {"--sim-folder", sim.path(), "--panel", sim / run.panel, "--scenario", sim / run.scenario, "--out", out});
    EXPECT_EQ(r.exit_code, 0) << run.scenario << "\n" << r.err << r.out;
    for (const std::string& label : run.snapshots) {
      EXPECT_TRUE(std::filesystem::exists(out + "/snapshots/" + label + "/window00.png")) << label;
    }
  }
}

}  // namespace
}  // namespace ovi::efs
