// The demo's P1000 scenario in ovi-sim: its text checks (static texts
// after the keys that force a full repaint, the menu with the controller's
// window and after its time-out, the key strip alone) and its snapshots.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/sim/test_support.h"

namespace ovi::p1000::test {
namespace {

TEST(P1000Scenario, RunsToItsSnapshotsWithEveryTextShown) {
  sim::test::ScratchDir sim("p1000_scenario");
  sim::test::CopySampleSimulator(sim);
  sim::test::RunResult r = sim::test::RunSim({"--sim-folder", sim.path(), "--panel", sim / "panels/p1000/panel.cfg",
                                              "--scenario", sim / "scenarios/p1000.txt", "--out", sim / "out"});
  ASSERT_EQ(r.exit_code, 0) << r.err << r.out;
  EXPECT_NE(r.out.find(" text checks, 0 failed"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("(0 on no rectangle)"), std::string::npos) << r.out;
  for (const char* snapshot : {"p1000-arc", "p1000-arc-160", "p1000-centred", "p1000-menu", "p1000-vnav",
                               "p1000-tcas", "p1000-hold-bod", "p1000-fixinfo", "p1000-popup", "p1000-off"})
    EXPECT_TRUE(std::filesystem::exists(sim / ("out/snapshots/" + std::string(snapshot) + "/window00.png")))
        << snapshot;
}

}  // namespace
}  // namespace ovi::p1000::test
