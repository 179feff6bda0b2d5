// The demo's sample flight in ovi-sim with the real module: the GPS
// planner's route taken over, LNAV and VNAV engaged with their buttons, the
// route flown closed-loop by the stand-in's autopilot.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/fms/cdu_legibility.h"
#include "tests/sim/test_support.h"

namespace ovi::sim {
namespace {

using test::ReadFile;
using test::RunResult;
using test::RunSim;

// The CDU names the aircraft ("B737-800"): its file and performance tables
// are loaded and the cruise altitude comes from them. Without any name the
// module flies on its default rates and speeds.
class FlightScenario : public ::testing::TestWithParam<bool> {};

TEST_P(FlightScenario, TheSampleFlightIsFlownToItsLastWaypoint) {
  const bool aircraft_named = GetParam();
  test::ScratchDir sim(aircraft_named ? "flight" : "flight_unnamed");
  std::filesystem::copy(std::string(OVI_SOURCE_DIR) + "/data", sim.path(), std::filesystem::copy_options::recursive);
  std::filesystem::create_directories(sim / "GAUGES");
  std::filesystem::copy_file(OVI_MODULE_PATH, sim / "GAUGES/ovi1.gau");
  if (!aircraft_named) {
    std::string panel = ReadFile(sim / "panels/sample/panel.cfg");
    for (std::size_t at = panel.find(", B737-800"); at != std::string::npos; at = panel.find(", B737-800"))
      panel.erase(at, std::string(", B737-800").size());
    std::ofstream(sim / "panels/sample/panel.cfg", std::ios::trunc) << panel;
  }
  RunResult r = RunSim({"--sim-folder", sim.path(), "--panel", sim / "panels/sample/panel.cfg", "--scenario",
                        sim / "scenarios/flight.txt", "--out", sim / "out"});
  ASSERT_EQ(r.exit_code, 0) << r.err;

  // The record: the route, every waypoint passed in order, then LNAV and
  // VNAV off with the destination active.
  std::vector<std::string> events;
  for (const std::string& line : test::Lines(ReadFile(sim / "out/flight.txt"))) {
    std::size_t at = line.find(' ');
    std::size_t where = line.find(" at ");
    if (at != std::string::npos && where != std::string::npos) events.push_back(line.substr(at + 1, where - at - 1));
  }
  const std::vector<std::string> expected = {
      "route KSEA FOURT PARKK CHINS OLM TOLLE COUGA BTG LAVAA JAYPE KPDX",
      "LNAV on", "VNAV on",
      "passed FOURT", "passed PARKK", "passed CHINS", "passed OLM", "passed TOLLE", "passed COUGA", "passed BTG",
      "passed LAVAA", "passed JAYPE", "LNAV off, active KPDX", "VNAV off"};
  EXPECT_EQ(events, expected);
  EXPECT_NE(r.out.find("ovi-sim: flight: route KSEA FOURT PARKK CHINS OLM TOLLE COUGA BTG LAVAA JAYPE KPDX; 9 waypoints "
                       "passed: FOURT PARKK CHINS OLM TOLLE COUGA BTG LAVAA JAYPE\n"),
            std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find("LNAV disengaged at "), std::string::npos) << r.out;
  if (aircraft_named) {
    // VNAV's last target is the runway 200 ft above Portland's 31 ft; the
    // autopilot goes on down to it after VNAV is off, and the aircraft ends
    // there in the air, above the ground.
    EXPECT_NE(r.out.find(" altitude 231 ft, "), std::string::npos) << r.out;
  }

  // The module drove the autopilot: heading targets, altitude targets up to
  // the cruise altitude and down again, vertical speeds.
  std::string keys = ReadFile(sim / "out/key_events.txt");
  EXPECT_NE(keys.find(" module 0x101FA "), std::string::npos);
  EXPECT_NE(keys.find(" module 0x1024C "), std::string::npos);
  EXPECT_NE(keys.find(" module 0x101F4 "), std::string::npos);
  // And the flight log followed the route.
  std::string log = ReadFile(sim / "ovi/FlightLog/fpl.log");
  EXPECT_EQ(log.rfind("FlightPlan=KSEA-KPDX\n", 0), 0u) << log;
  EXPECT_NE(log.find(" JAYPE "), std::string::npos) << log;
  fms::test::ExpectLegibleCduSnapshots(sim / "out");
}

INSTANTIATE_TEST_SUITE_P(Aircraft, FlightScenario, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& p) {
                           return std::string(p.param ? "B737_800" : "NoneNamed");
                         });

}  // namespace
}  // namespace ovi::sim
