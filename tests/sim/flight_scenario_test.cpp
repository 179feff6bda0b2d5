// The demo's sample flight in ovi-sim with the real module: the GPS
// planner's route taken over, LNAV and VNAV engaged with their buttons, the
// route flown closed-loop by the stand-in's autopilot, whose approach hold
// then lands the aircraft at Portland, taxis it off and stops it: the
// flight log holds every phase and the flight's record.
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
// module flies on its default rates and speeds, slower: that flight is
// followed to its last waypoint only, without the approach (the record of a
// flight needs an aircraft name).
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
    std::string flight = ReadFile(sim / "scenarios/flight.txt");
    const std::string approach = "set ap_approach 1\nset ap_speed 150\n";
    ASSERT_NE(flight.find(approach), std::string::npos);
    flight.erase(flight.find(approach), approach.size());
    std::ofstream(sim / "scenarios/flight.txt", std::ios::trunc) << flight;
  }
  std::vector<std::string> args = {"--sim-folder", sim.path(), "--panel", sim / "panels/sample/panel.cfg",
                                   "--scenario", sim / "scenarios/flight.txt", "--out", sim / "out"};
  if (!aircraft_named) args.insert(args.end(), {"--seconds", "1900"});
  RunResult r = RunSim(args);
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
      "route KSEA FOURT PARKK CHINS OLM TOLLE COUGA BTG LAVAA JAYPE KPDX", "active FOURT",
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
    // Landed, off the runway to the right of 10R (heading 115 + 90), at rest
    // on Portland's 31 ft.
    EXPECT_NE(r.out.find(", heading 205, altitude 31 ft, ground speed 0 kt\n"), std::string::npos) << r.out;
  }

  // The module drove the autopilot: heading targets, altitude targets up to
  // the cruise altitude and down again, vertical speeds.
  std::string keys = ReadFile(sim / "out/key_events.txt");
  EXPECT_NE(keys.find(" module 0x101FA "), std::string::npos);
  EXPECT_NE(keys.find(" module 0x1024C "), std::string::npos);
  EXPECT_NE(keys.find(" module 0x101F4 "), std::string::npos);
  // And the flight log followed the route, and the flight to its end: every
  // phase in its order, then the flight's record in Flight.log.
  std::string log = ReadFile(sim / "ovi/FlightLog/fpl.log");
  EXPECT_EQ(log.rfind("FlightPlan=KSEA-KPDX\n", 0), 0u) << log;
  EXPECT_NE(log.find(" JAYPE "), std::string::npos) << log;
  if (aircraft_named) {
    std::vector<std::string> phases;
    for (const std::string& line : test::Lines(log)) {
      if (line.size() < 10 || line[0] == ';' || line[2] != ':') continue;
      const std::string phase = line.substr(9, line.find(' ', 9) - 9);
      if (phases.empty() || phases.back() != phase) phases.push_back(phase);
    }
    EXPECT_EQ(phases, (std::vector<std::string>{"InitLoad", "PushBack", "Taxi", "Takeoff", "Climb", "Cruise", "Descent",
                                                "Approach", "Landing", "Arr_Taxi", "End_Flight"}))
        << log;
    // The flight's figures: its time, the fuel it burnt, a band or more of
    // its climb, cruise and descent.
    const std::vector<std::string> record = test::Lines(ReadFile(sim / "ovi/FlightLog/Flight.log"));
    ASSERT_GE(record.size(), 8u);
    EXPECT_EQ(record[0], "[KSEA-KPDX]");
    EXPECT_EQ(record[2].rfind("FlightTime=00:3", 0), 0u) << record[2];
    EXPECT_EQ(record[3], "Aircraft=B737-800");
    ASSERT_EQ(record[4].rfind("FuelUsed=", 0), 0u);
    const int fuel = std::stoi(record[4].substr(9));
    EXPECT_GT(fuel, 2000);
    EXPECT_LT(fuel, 2500);
    EXPECT_EQ(record[5].rfind("Climb=5000_", 0), 0u) << record[5];
    EXPECT_EQ(record[6].rfind("Cruise=30000_", 0), 0u) << record[6];
    EXPECT_EQ(record[7].rfind("Descent=", 0), 0u) << record[7];
    EXPECT_GT(record[7].size(), std::string("Descent=").size());
  }
  fms::test::ExpectLegibleCduSnapshots(sim / "out");
}

INSTANTIATE_TEST_SUITE_P(Aircraft, FlightScenario, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& p) {
                           return std::string(p.param ? "B737_800" : "NoneNamed");
                         });

}  // namespace
}  // namespace ovi::sim
