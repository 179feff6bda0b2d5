// The flight log end to end: the real module in ovi-sim, a route taken over
// from the GPS planner at the gate, and a scenario that takes the aircraft
// through every phase by its values; fpl.log and Flight.log as written.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "src/util/text.h"
#include "tests/sim/test_support.h"

namespace ovi::sim {
namespace {

TEST(FlightLogScenario, EveryPhaseLoggedAndTheFlightRecorded) {
  test::ScratchDir sim("flightlog");
  std::filesystem::copy(std::string(OVI_SOURCE_DIR) + "/data", sim.path(), std::filesystem::copy_options::recursive);
  std::filesystem::create_directories(sim / "GAUGES");
  std::filesystem::copy_file(OVI_MODULE_PATH, sim / "GAUGES/ovi1.gau");
  test::WriteFile(sim / "panel.cfg",
                  "[Window Titles]\nWindow00=Main panel\n\n[Window00]\nident=MAIN_PANEL\nsize_mm=200,100\n"
                  "visible=1\ngauge00=ovi1!SERVER, 0, 0, 8, 8, B737-800\n");
  test::RunResult r = test::RunSim({"--sim-folder", sim.path(), "--panel", sim / "panel.cfg", "--scenario",
                                    std::string(OVI_TEST_DATA) + "/scenarios/flight-log.txt", "--out", sim / "out"});
  ASSERT_EQ(r.exit_code, 0) << r.err;

  const std::vector<std::string> log = test::Lines(test::ReadFile(sim / "ovi/FlightLog/fpl.log"));
  ASSERT_GE(log.size(), 7u);
  EXPECT_EQ(log[0], "FlightPlan=KSEA-KPDX");
  EXPECT_EQ(log[1], "Aircraft=B737-800");
  std::vector<std::string> segments;
  for (std::size_t i = 6; i < log.size(); ++i) {
    const auto f = util::SplitBlanks(log[i]);
    ASSERT_GE(f.size(), 12u) << log[i];
    if (segments.empty() || segments.back() != f[1]) segments.emplace_back(f[1]);
  }
  EXPECT_EQ(segments, (std::vector<std::string>{"InitLoad", "PushBack", "Taxi", "Takeoff", "Climb", "Cruise",
                                                "Descent", "Approach", "Landing", "Arr_Taxi", "End_Flight"}));
  // The first line: at the gate, at KSEA's 433 ft, the weights the scenario
  // gives (91300 lb without fuel, 12000 lb of payload).
  const auto first = util::SplitBlanks(log[6]);
  EXPECT_EQ(first[0], "00:00:00");
  EXPECT_EQ(first[6], "433");
  EXPECT_EQ(first[9], "91300");
  EXPECT_EQ(first[10], "12000");

  const std::vector<std::string> record = test::Lines(test::ReadFile(sim / "ovi/FlightLog/Flight.log"));
  ASSERT_EQ(record.size(), 9u);
  EXPECT_EQ(record[0], "[KSEA-KPDX]");
  EXPECT_EQ(record[1].rfind("Date=", 0), 0u);
  EXPECT_EQ(record[2], "FlightTime=00:05");  // 3 min 14 s to rest, then 121 s
  EXPECT_EQ(record[3], "Aircraft=B737-800");
  // Climbing at 150 kt and 2500 ft/min through the 5000-ft band.
  EXPECT_EQ(record[5].rfind("Climb=5000_150_2500_", 0), 0u) << record[5];
  EXPECT_EQ(record[6].rfind("Cruise=10000_150_", 0), 0u) << record[6];
  EXPECT_EQ(record[7].rfind("Descent=10000_150_1500_", 0), 0u) << record[7];
  EXPECT_EQ(record[8], "");
}

}  // namespace
}  // namespace ovi::sim
