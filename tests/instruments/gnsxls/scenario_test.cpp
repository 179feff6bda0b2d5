// The demo's scenario in ovi-sim: a plan of the list opened and activated
// on the named keys becomes the route the SERVER gauge exports; both
// navigators show it; every snapshot is written.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "src/flightplan/procedure_splice.h"
#include "src/flightplan/route_file.h"
#include "src/model/state.h"
#include "src/navdb/navdb.h"
#include "src/navdb/procedures.h"
#include "src/host/module_state.h"
#include "tests/flightplan/route_support.h"
#include "tests/fms/cdu_legibility.h"
#include "tests/instruments/gnsxls/gnsxls_support.h"
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
                           "gns-airway-2", "gns-save", "gns-save-open", "gns-direct-1", "gns-direct-target",
                           "gns-direct-closest", "gns-after-direct"})
    EXPECT_TRUE(fs::exists(sim / (std::string("out/snapshots/") + snap + "/window00_gauge08_GNSXLS.png"))) << snap;
}

// The routes the run flew, one per change, as flight.txt logs them.
std::vector<std::string> RoutesFlown(const std::string& log) {
  std::vector<std::string> routes;
  for (std::size_t at = log.find(" route "); at != std::string::npos; at = log.find(" route ", at + 1))
    routes.push_back(log.substr(at + 7, log.find(" at ", at) - at - 7));
  return routes;
}

std::string Joined(const flightplan::test::Strings& idents) {
  std::string out;
  for (const std::string& i : idents) out += (out.empty() ? "" : " ") + i;
  return out;
}

// A plan of these idents whose last entry is the destination airport.
void Plan(bool active, const flightplan::test::Strings& idents) {
  active ? flightplan::test::MakeActive(idents) : flightplan::test::MakePending(idents);
  const int last = static_cast<int>(idents.size()) - 1;
  (active ? flightplan::flightplan_state.ActiveFlightPlan : flightplan::flightplan_state.PendingFlightPlan)[last]
      .type = "APT";
  flightplan::flightplan_state.ActiveWaypointIndex = 1;
}

void Choose(const char* star, const char* transition, const char* runway) {
  model::State& m = model::model_state;
  m.GnsArrivalSelectionText = star;
  m.RouteStarTransition = transition;
  m.SelectedApproachTo = runway;
  navdb::FindStarIndex(star);
  navdb::SelectStarEntry();
}

void ChooseApproach(const char* approach, const char* transition) {
  model::model_state.SelectedApproach = approach;
  model::model_state.SelectedApproachTransition = transition;
  flightplan::SelectApproachTransition();
}

// The procedures scenario on the named keys, a frame between presses: after
// each choice confirmed the flown route is, entry by entry, the one route
// editing's splices give for the same choice made directly; the pages read
// the choice back from the flown route's stores; the stored plan's arrival
// and approach, chosen on its own view, are flown once it is activated.
TEST(GnsScenario, ProcedureChoicesOnTheKeysAreTheSplicesOfTheSameChoice) {
  sim::test::ScratchDir sim("gnsxls-procedures");
  fs::copy(std::string(OVI_SOURCE_DIR) + "/data", sim.path(), fs::copy_options::recursive);
  fs::create_directories(sim / "GAUGES");
  fs::copy_file(OVI_MODULE_PATH, sim / "GAUGES/ovi1.gau");
  sim::test::RunResult r = sim::test::RunSim({"--sim-folder", sim.path(), "--panel", sim / "panels/sample/panel.cfg",
                                              "--scenario", sim / "scenarios/gnsxls-procedures.txt", "--out",
                                              sim / "out"});
  ASSERT_EQ(r.exit_code, 0) << r.err << r.out;  // every expect_text held
  const std::vector<std::string> flown = RoutesFlown(sim::test::ReadFile(sim / "out/flight.txt"));
  ASSERT_EQ(flown.size(), 5u);

  ResetModuleState();
  const SampleDataCopy data;  // the splices write the flight log
  navdb::LoadNavDatabase();
  model::State& m = model::model_state;
  Plan(true, {"KOLM", "OLM", "CLS", "TOLLE", "COUGA", "BTG", "KPDX"});
  EXPECT_EQ(flown[0], Joined(flightplan::test::ActiveIdents()));
  ASSERT_EQ(navdb::LoadAirportProcedures("KOLM", 1), 1);
  m.RteOriginIdent = "KOLM";
  m.GnsDepartureSelectionText = "CAPTL2";
  m.RouteSidTransition = "BTG";
  m.SelectedDepartureRunway = "17";
  navdb::FindSidIndex("CAPTL2");
  navdb::SelectSidEntry();
  flightplan::InsertSidIntoActivePlan();
  EXPECT_EQ(flown[1], Joined(flightplan::test::ActiveIdents()));
  ASSERT_EQ(navdb::LoadAirportProcedures("KPDX", 2), 1);
  Choose("JAYPE3", "UBG", "10R");
  flightplan::InsertStarIntoActivePlan();
  EXPECT_EQ(flown[2], Joined(flightplan::test::ActiveIdents()));
  ChooseApproach("ILS", "LAVAA");
  flightplan::InsertApproachIntoActivePlan();
  EXPECT_EQ(flown[3], Joined(flightplan::test::ActiveIdents()));

  Plan(false, {"KPAE", "PAE", "ARLIN", "BVS", "BOWRY", "SAMMI", "BLI", "KBLI"});
  ASSERT_EQ(navdb::LoadAirportProcedures("KBLI", 2), 1);
  Choose("SAMMI1", "BVS", "16");
  flightplan::InsertStarIntoPendingPlan();
  ChooseApproach("ILS", "SAMMI");
  flightplan::InsertApproachIntoPendingPlan(0);
  EXPECT_EQ(flown[4], Joined(flightplan::test::PendingIdents()));

  const std::string snaps = sim / "out/snapshots/";
  const std::string dep = sim::test::ReadFile(snaps + "dep-stored/window00_gauge08_GNSXLS.txt");
  const std::string arr = sim::test::ReadFile(snaps + "arr-stored/window00_gauge08_GNSXLS.txt");
  for (const char* text : {"\"RW17\"", "\"CAPTL2\"", "\"BTG\""}) EXPECT_TRUE(Has(dep, text)) << text;
  for (const char* text : {"\"RW10R\"", "\"UBG\"", "\"JAYPE3\""}) EXPECT_TRUE(Has(arr, text)) << text;
  for (const char* snap : {"dep-airport", "dep-not-found", "dep-runways", "dep-sids", "dep-transitions", "dep-preview",
                           "arr-stars", "arr-transitions", "arr-runways", "arr-preview", "apch-runways", "apch-types",
                           "apch-transitions", "apch-preview", "fpl-procedures"})
    EXPECT_TRUE(fs::exists(snaps + snap + "/window00_gauge08_GNSXLS.png")) << snap;
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
