// The demo's scenario in ovi-sim: a plan of the list opened and activated
// on the named keys becomes the route the SERVER gauge exports; both
// navigators show it; every snapshot is written.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "src/flightplan/route_file.h"
#include "src/host/module_state.h"
#include "tests/flightplan/route_support.h"
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

// The editing scenario on the named keys, a frame between presses: the
// route saved after the edits, read back by the route-file reader, is the
// route worked by hand from the sample plan Seattle-Tacoma to Portland:
// NISQU before OLM, MYWPT (N 47 08.00 W 122 30.00) before it, TOLLE deleted
// and put back as the V23 leg from OLM (COUGA, already next, takes the
// airway), OLM* on 180 magnetic (196 true with 16 E) 10 NM from OLM. The
// forced right turn from heading 164 magnetic goes to 324.
TEST(GnsScenario, RouteEditsOnTheKeysSavedAndFlownDirect) {
  sim::test::ScratchDir sim("gnsxls-edit");
  fs::copy(std::string(OVI_SOURCE_DIR) + "/data", sim.path(), fs::copy_options::recursive);
  fs::create_directories(sim / "GAUGES");
  fs::copy_file(OVI_MODULE_PATH, sim / "GAUGES/ovi1.gau");
  sim::test::RunResult r = sim::test::RunSim({"--sim-folder", sim.path(), "--panel", sim / "panels/sample/panel.cfg",
                                              "--scenario", sim / "scenarios/gnsxls-edit.txt", "--out", sim / "out"});
  ASSERT_EQ(r.exit_code, 0) << r.err << r.out;  // every expect_text held

  ResetModuleState();
  model::FlightPlanTable table;
  int last = -1;
  std::FILE* f = std::fopen((sim / "ovi/flightplans/EDIT01.RTE").c_str(), "r");
  ASSERT_NE(f, nullptr);
  flightplan::RouteReadRequest read;
  read.target = {&table, &last};
  flightplan::ReadRouteFile(f, read);
  std::fclose(f);
  ASSERT_EQ(last, 13);
  EXPECT_EQ(flightplan::test::Idents(table, last),
            (flightplan::test::Strings{"KSEA", "FOURT", "PARKK", "CHINS", "MYWPT", "NISQU", "OLM", "OLM*", "TOLLE",
                                       "COUGA", "BTG", "LAVAA", "JAYPE", "KPDX"}));
  EXPECT_NEAR(table[4].latitude, 47.0 + 8.0 / 60, 1e-5);
  EXPECT_NEAR(table[4].longitude, -122.5, 1e-5);
  EXPECT_NEAR(table[7].latitude, 46.81109, 2e-4);
  EXPECT_NEAR(table[7].longitude, -122.96943, 2e-4);
  EXPECT_EQ(table[8].via + table[9].via, "V23V23");
  EXPECT_EQ(table[14].ident, "");  // nothing after the destination

  EXPECT_TRUE(Has(sim::test::ReadFile(sim / "out/key_events.txt"), "module 0x101FA 324")) << "forced turn";
  EXPECT_TRUE(Has(sim::test::ReadFile(sim / "out/variables.txt"), "registered ovi_act_wpt_id 0x4 = \"KBFI\"\n"));
  fms::test::ExpectLegibleCduSnapshots(sim / "out");
  for (const char* snap : {"gns-dbwpt", "gns-dbwpt-apt", "gns-dbwpt-direct", "gns-pilot", "gns-offset", "gns-airway-1",
                           "gns-airway-2", "gns-save", "gns-save-open", "gns-direct-1", "gns-direct-closest",
                           "gns-after-direct"})
    EXPECT_TRUE(fs::exists(sim / (std::string("out/snapshots/") + snap + "/window00_gauge08_GNSXLS.png"))) << snap;
}

// PLAN in kilograms and VNAV DATA on the named keys, a frame between
// presses: a reserve of 1500 kg typed reads back 1500 and is kept in pounds;
// proposed again and taken unchanged it stays; the cruise altitude,
// transition level and angle typed read back (the run's text checks).
TEST(GnsScenario, ReserveInKilogramsAndVnavDataReadBack) {
  sim::test::ScratchDir sim("gnsxls-kg");
  fs::copy(std::string(OVI_SOURCE_DIR) + "/data", sim.path(), fs::copy_options::recursive);
  fs::create_directories(sim / "GAUGES");
  fs::copy_file(OVI_MODULE_PATH, sim / "GAUGES/ovi1.gau");
  for (const char* file : {"ovi/ovi.cfg", "ovi/Aircraft/B737-800.cfg"}) {
    std::string text = sim::test::ReadFile(sim / file);
    for (const char* lbs : {"WeightUnit = LBS", "WeightUnit LBS"})
      if (const std::size_t at = text.find(lbs); at != std::string::npos) text.replace(at + std::strlen(lbs) - 3, 3, "KGS");
    std::FILE* out = std::fopen((sim / file).c_str(), "w");
    ASSERT_NE(out, nullptr) << file;
    std::fputs(text.c_str(), out);
    std::fclose(out);
  }
  sim::test::RunResult r = sim::test::RunSim({"--sim-folder", sim.path(), "--panel", sim / "panels/sample/panel.cfg",
                                              "--scenario", sim / "scenarios/gnsxls-data-kg.txt", "--out", sim / "out"});
  ASSERT_EQ(r.exit_code, 0) << r.err << r.out;  // every expect_text held
  EXPECT_TRUE(Has(sim::test::ReadFile(sim / "out/snapshots/plan-1-kg/window00_gauge08_GNSXLS.txt"), "\"  1500\""));
}

}  // namespace
}  // namespace ovi::gnsxls::test
