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

}  // namespace
}  // namespace ovi::efs
