// The SERVER gauge of the real module inside ovi-sim: a scenario clicks a
// layer key and asks for a range step, sends two custom key events, and the
// named variables other gauge modules would read show the result.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "sim/scenario.h"
#include "src/util/text.h"
#include "tests/sim/test_support.h"

namespace ovi::sim {
namespace {

using test::ReadFile;
using test::RunResult;
using test::RunSim;

bool Has(const std::string& text, const std::string& line) { return text.find(line) != std::string::npos; }

TEST(ServerScenario, CommandsReachTheDisplaysAndTheNamedVariables) {
  test::ScratchDir sim("server");
  std::filesystem::copy(std::string(OVI_SOURCE_DIR) + "/data", sim.path(), std::filesystem::copy_options::recursive);
  std::filesystem::create_directories(sim / "GAUGES");
  std::filesystem::copy_file(OVI_MODULE_PATH, sim / "GAUGES/ovi1.gau");
  RunResult r = RunSim({"--sim-folder", sim.path(), "--panel", sim / "panels/sample/panel.cfg", "--scenario",
                        sim / "scenarios/panel-commands.txt", "--out", sim / "out", "--trace", sim / "trace.txt"});
  ASSERT_EQ(r.exit_code, 0) << r.err;

  std::string vars = ReadFile(sim / "out/variables.txt");
  EXPECT_TRUE(Has(vars, " ovi_server_active = 1\n")) << vars;
  EXPECT_TRUE(Has(vars, " ovi_nd_range = 160\n")) << vars;  // 40 -> 80 (variable) -> 160 (key event)
  EXPECT_TRUE(Has(vars, " ovi_nd_apt = 0\n")) << vars;      // key event 0x11003
  EXPECT_TRUE(Has(vars, " ovi_nd_nav = 1\n")) << vars;
  EXPECT_TRUE(Has(vars, " ovi_nd_mode = 5\n")) << vars;
  EXPECT_TRUE(Has(vars, " ovi_nd_range_clicked = 0\n")) << vars;  // taken and cleared
  EXPECT_TRUE(Has(vars, " ovi_gps_rte_clicked = 0\n")) << vars;
  // The memory-backed exports, as a second module reads them: the GPS
  // planner's route LSZH ZUE LFSB was taken over and executed, ZUE active.
  EXPECT_TRUE(Has(vars, "registered ovi_act_wpt_pos 0x1 = 1\n")) << vars;
  EXPECT_TRUE(Has(vars, "registered ovi_act_wpt_id 0x4 = \"ZUE\"\n")) << vars;
  EXPECT_TRUE(Has(vars, "registered ovi_fpln_wpt_cnt 0x1 = 2\n")) << vars;
  EXPECT_TRUE(Has(vars, "registered ovi_active 0x1 = 1\n")) << vars;
  EXPECT_TRUE(Has(vars, "registered Ovi_FlightPlan 0x4 = \"LSZH ZUE LFSB\"\n")) << vars;
  EXPECT_TRUE(Has(vars, "registered ovi_traffic_provider 0x26 = (entry point or block)\n")) << vars;

  std::string keys = ReadFile(sim / "out/key_events.txt");
  EXPECT_TRUE(Has(keys, " scenario 0x11003 0 1\n")) << keys;  // routed to the SERVER's handler
  EXPECT_TRUE(Has(keys, " scenario 0x11007 0 1\n")) << keys;

  std::string trace = ReadFile(sim / "trace.txt");
  EXPECT_TRUE(Has(trace, "rectangle 1 of BDRY handled it")) << trace;
  EXPECT_TRUE(Has(trace, "window 4010 shown")) << trace;
  EXPECT_TRUE(Has(r.out, "2 clicks (0 on no rectangle)")) << r.out;
  EXPECT_FALSE(Has(r.out, "unknown calculator expression")) << r.out;  // the title is answered
}

// What a user gives the module that does not fit is refused or cut with a
// word in the status log, which the run prints: a GPS planner's route of
// 300 points, a route file of 300 waypoints, a plan with a 5,000-character
// ident, bad lines in a route file and in the navigation data, a flight-plan
// folder that does not exist; and the CDU will not save over temp.rte.
TEST(ServerScenario, WhatDoesNotFitIsSaidNotDropped) {
  test::ScratchDir sim("left_out");
  std::filesystem::copy(std::string(OVI_SOURCE_DIR) + "/data", sim.path(), std::filesystem::copy_options::recursive);
  std::filesystem::create_directories(sim / "GAUGES");
  std::filesystem::copy_file(OVI_MODULE_PATH, sim / "GAUGES/ovi1.gau");
  std::string route = "[FlightPlan]\n", gps;
  for (int i = 0; i < 300; ++i) {
    route += util::Format("W%03d 47.%03d -122.0 WPT\n", i, i);
    gps += util::Format("gps_wpt G%03d 47.%03d -121.0\n", i, i);
  }
  test::WriteFile(sim / "ovi/flightplans/LONG.rte", route);
  test::WriteFile(sim / "ovi/flightplans/A_BAD.rte",
                  "[FlightPlan]\nKSEA 47.449 -122.309 APT\nSTRAY\nKPDX 45.589 -122.598 APT\nX north west\n");
  const std::string plan = ReadFile(sim / "ovi/flightplans/KYKM-KSEA.PLN");
  std::string long_ident = plan;
  const std::size_t id = long_ident.find("id=\"", long_ident.find("<ATCWaypoint id=\"", long_ident.find("<ATCWaypoint id=\"") + 1));
  long_ident.replace(id + 4, long_ident.find('"', id + 4) - id - 4, std::string(5000, 'Q'));
  test::WriteFile(sim / "ovi/flightplans/IDENT.PLN", long_ident);
  std::string navs = ReadFile(sim / "ovi/navdata/navs.txt");
  const long navs_lines = static_cast<long>(std::count(navs.begin(), navs.end(), '\n'));
  test::WriteFile(sim / "ovi/navdata/navs.txt", navs + "BAD LINE\n");
  test::WriteFile(sim / "panel.cfg", "[Window00]\nsize_mm=500,600\ngauge00=ovi1!SERVER, 490, 0, 8, 8\n"
                                     "gauge01=ovi1!SMITHS_FMS, 0, 0, 480, , B737-800\n");
  test::WriteFile(sim / "s.txt", gps + "run 1\nvar ovi_gps_rte_clicked 1\nrun 1\npress SMITHS_FMS INIT_REF L6 T E M P R6\n"
                                       "expect_text SMITHS_FMS \"TEMP.RTE Unable to Save\"\n");
  const std::vector<std::string> run = {"--sim-folder", sim.path(), "--panel", sim / "panel.cfg", "--scenario",
                                        sim / "s.txt", "--keys", sim / "panels/keys.txt"};
  RunResult r = RunSim(run);
  ASSERT_EQ(r.exit_code, 0) << r.err << r.out;
  for (const std::string& said :
       {std::string("GPS route: 300 points, the last 99 left out (a route holds 201)"),
        std::string("LONG.rte: 300 waypoints, more than a route holds (201)"),
        std::string("IDENT.PLN: waypoint 2 has an ident of 5000 characters, longer than 16"),
        std::string("A_BAD.rte: bad line 3 and 1 more skipped"),
        util::Format("navs.txt: bad line %ld skipped", navs_lines + 1)}) {
    EXPECT_TRUE(Has(r.out, "ovi-sim: status: " + said + "\n")) << said << "\n" << r.out;
  }
  EXPECT_FALSE(std::filesystem::exists(sim / "ovi/flightplans/TEMP.RTE"));

  // ovi.cfg's own example of a folder, which does not exist here.
  std::string cfg = ReadFile(sim / "ovi/ovi.cfg");
  cfg.replace(cfg.find("FlightPlansFolder = \n"), 21, "FlightPlansFolder = C:\\My Plans\n");
  test::WriteFile(sim / "ovi/ovi.cfg", cfg);
  r = RunSim({"--sim-folder", sim.path(), "--panel", sim / "panel.cfg", "--seconds", "1"});
  ASSERT_EQ(r.exit_code, 0) << r.err;
  EXPECT_TRUE(Has(r.out, "ovi-sim: status: ovi.cfg: FlightPlansFolder 'C:\\My Plans': no such folder, no plan listed\n"))
      << r.out;
}

TEST(ServerScenario, AddOnCommandsParseAndRefuseBadValues) {
  Scenario sc;
  std::string error;
  ASSERT_TRUE(ParseScenario("traffic 1200 8 30 ^ T\ntraffic -500 4 300\ntraffic_clear\ngps_wpt ZUE 47.59 8.81\n"
                            "gps_wpt LSZH 47.46 8.54 1416\ngps_clear\nai_runways LSZH 28,16L 14\nai_runways EGLL - -\n",
                            "s.txt", sc, error))
      << error;
  ASSERT_EQ(sc.actions.size(), 8u);
  EXPECT_EQ(sc.actions[0].kind, ActionKind::kTraffic);
  EXPECT_EQ(sc.actions[0].text, "^T");
  EXPECT_EQ(sc.actions[1].text, "-O");
  EXPECT_EQ(sc.actions[4].number, 1416);
  EXPECT_TRUE(DescribesWorld(sc.actions[6].kind));
  std::uint8_t bytes[4];
  ASSERT_TRUE(ParseRunwayList("09L,27R", bytes));
  EXPECT_EQ(bytes[0], 9);
  EXPECT_EQ(bytes[1], 1);
  EXPECT_EQ(bytes[2], 27);
  EXPECT_EQ(bytes[3], 2);

  for (const char* bad : {"traffic 1 2", "traffic 1 -2 3", "traffic 1 2 400", "traffic 1 2 3 x", "traffic 1 2 3 ^ Q",
                          "traffic nan 2 3", "gps_wpt ABC 91 8", "gps_wpt ABC 45 181",
                          "gps_wpt ABCDEFGHIJKLMNOPQ 45 8", "gps_clear now", "ai_runways LSZH 28", "ai_runways LSZH 37 14",
                          "ai_runways LSZH 28X 14", "ai_runways LSZH 28,16,10 14", "ai_runways LONGER 28 14",
                          "set title", "set title " }) {
    EXPECT_FALSE(ParseScenario(std::string(bad) + "\n", "s.txt", sc, error)) << bad;
    EXPECT_EQ(error.rfind("s.txt:1: ", 0), 0u) << error;
  }
  // The planner holds 1000 points; the 1001st is refused, never dropped.
  std::string points;
  for (int i = 0; i < 1000; ++i) points += "gps_wpt P" + std::to_string(i) + " 47 8\n";
  EXPECT_TRUE(ParseScenario(points + "gps_clear\n" + points, "s.txt", sc, error)) << error;
  EXPECT_FALSE(ParseScenario(points + "gps_wpt LAST 47 8\n", "s.txt", sc, error));
  EXPECT_EQ(error, "s.txt:1001: the GPS planner holds 1000 points; gps_clear starts a new route");
}

}  // namespace
}  // namespace ovi::sim
