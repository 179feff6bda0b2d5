// The SERVER gauge of the real module inside ovi-sim: a scenario clicks a
// layer key and asks for a range step, sends two custom key events, and the
// named variables other gauge modules would read show the result.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>

#include "sim/scenario.h"
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
  EXPECT_TRUE(std::isnan(sc.actions[3].number));  // no altitude given: none, not 0 ft
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
