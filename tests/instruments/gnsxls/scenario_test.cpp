// The demo's scenario in ovi-sim: a plan of the list opened and activated
// on the named keys becomes the route the SERVER gauge exports; both
// navigators show it; every snapshot is written.
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "tests/fms/cdu_legibility.h"
#include "tests/sim/test_support.h"

namespace ovi::gnsxls::test {
namespace {

namespace fs = std::filesystem;

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(GnsScenario, AStoredPlanActivatedOnTheKeysBecomesTheActiveRoute) {
  sim::test::ScratchDir sim("gnsxls");
  fs::copy(std::string(OVI_SOURCE_DIR) + "/data", sim.path(), fs::copy_options::recursive);
  fs::create_directories(sim / "GAUGES");
  fs::copy_file(OVI_MODULE_PATH, sim / "GAUGES/ovi1.gau");
  sim::test::RunResult r = sim::test::RunSim({"--sim-folder", sim.path(), "--panel", sim / "panels/sample/panel.cfg",
                                              "--scenario", sim / "scenarios/gnsxls.txt", "--out", sim / "out"});
  ASSERT_EQ(r.exit_code, 0) << r.err << r.out;  // every expect_text held
  const std::string vars = sim::test::ReadFile(sim / "out/variables.txt");
  EXPECT_TRUE(Has(vars, "registered ovi_fpln_wpt_cnt 0x1 = 10\n")) << vars;
  EXPECT_TRUE(Has(vars, "registered ovi_act_wpt_id 0x4 = \"FOURT\"\n")) << vars;
  const std::string last = sim::test::ReadFile(sim / "out/snapshots/final/window00_gauge08_GNSXLS.txt");
  for (const char* text : {"\"ACTIVE FPL   1/2\"", "\"KSEA\"", "\"KPDX\"", "\"FOURT\"", "\"TOLLE\"", "\"ALT\""})
    EXPECT_TRUE(Has(last, text)) << text << last;
  for (const char* snap : {"gns-list", "gns-list-row", "gns-stored", "gns-select", "gns-active-ete", "gns-active-eta",
                           "gns-active-dis", "gns-active-alt", "gns-save-prompt", "gns-power-off", "gns-popup"})
    EXPECT_TRUE(fs::exists(sim / (std::string("out/snapshots/") + snap + "/window00_gauge08_GNSXLS.png"))) << snap;
  EXPECT_TRUE(Has(sim::test::ReadFile(sim / "out/snapshots/gns-popup/window05_gauge00_GNSXLS_LM.txt"), "\"FOURT\""));
  EXPECT_FALSE(Has(sim::test::ReadFile(sim / "out/snapshots/gns-power-off/window00_gauge08_GNSXLS.txt"), "\"ACTIVE"));
  fms::test::ExpectLegibleCduSnapshots(sim / "out");
}

}  // namespace
}  // namespace ovi::gnsxls::test
