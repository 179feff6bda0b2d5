// The table of flights: every scenario under tests/data/flights is a row,
// flown by ovi-sim with the real module on a light panel (the SERVER and
// the engage buttons in view; the CDU and the GNS-XLS in closed windows,
// opened only to be read) and held to the table of a pilot's rules
// (tools/flights, docs/flight-rules.md) from what ovi-sim writes: the
// aircraft's track, the key events, the flight record and the pages read
// on the way. docs/scenario.md ("The table of flights") gives the lines a
// row adds to an ordinary scenario.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "tests/sim/test_support.h"
#include "tools/flights/flight_rules.h"
#include "tools/flights/flight_setup.h"

namespace ovi::sim {
namespace {

namespace fs = std::filesystem;
using test::Lines;
using test::ReadFile;

// Rules known to fail, by row, each with the fault it shows: reported, not
// failing the row; a rule listed here that holds fails the row, so the
// list only shrinks as the faults are mended.
const std::map<std::pair<std::string, std::string>, std::string> kExpectedFailures = {
};

std::vector<std::string> Rows() {
  std::vector<std::string> rows;
  for (const auto& f : fs::directory_iterator(std::string(OVI_TEST_DATA) + "/flights"))
    if (f.path().extension() == ".txt") rows.push_back(f.path().stem().string());
  std::sort(rows.begin(), rows.end());
  return rows;
}

class FlightTable : public ::testing::TestWithParam<std::string> {};

TEST_P(FlightTable, FlownAsAPilotFliesIt) {
  const std::string row = GetParam();
  test::ScratchDir sim("table_" + row);
  test::CopySampleSimulator(sim);
  const std::string text = ReadFile(std::string(OVI_TEST_DATA) + "/flights/" + row + ".txt");
  std::string aircraft = "B737-800";
  for (const std::string& line : Lines(text))
    if (line.rfind(";@ aircraft ", 0) == 0) aircraft = line.substr(12);
  test::WriteFile(sim / "panel.cfg", flights::LightPanel(aircraft));
  test::WriteFile(sim / "row.txt", flights::ExpandMarkers(text));
  const test::RunResult r = test::RunSim({"--sim-folder", sim.path(), "--panel", sim / "panel.cfg", "--keys",
                                          std::string(OVI_SOURCE_DIR) + "/data/panels/keys.txt", "--scenario",
                                          sim / "row.txt", "--out", sim / "out"});
  ASSERT_EQ(r.exit_code, 0) << r.err << r.out;
  flights::FlightRecord flight;
  std::string error;
  ASSERT_TRUE(flights::ReadFlight(sim.path(), sim / "row.txt", sim / "out", flight, error)) << error;
  const flights::Problems problems = flights::CheckFlight(flight, flights::Margins{});
  for (const std::string& rule : flights::RuleNames()) {
    const auto it = problems.find(rule);
    const auto expected = kExpectedFailures.find({row, rule});
    if (it == problems.end()) {
      if (expected != kExpectedFailures.end())
        ADD_FAILURE() << row << " " << rule << " holds, listed as failing (" << expected->second
                      << "): take it off kExpectedFailures";
      continue;
    }
    std::string all;
    for (const std::string& p : it->second) all += "\n  " + p;
    if (expected != kExpectedFailures.end()) {
      std::printf("[ expected ] %s %s (%s):%s\n", row.c_str(), rule.c_str(), expected->second.c_str(), all.c_str());
    } else {
      ADD_FAILURE() << row << " " << rule << ":" << all;
    }
  }
}

// The markers stand on the simulator's clock: every key pressed takes a
// frame (1/18 s) after `at` and `run`, which end on the frame nearest the
// time asked for, and an `at` already passed leaves the clock where the
// keys took it. On the planned clock alone the level typed after a page
// read was marked before the reading, which was then held to the level
// typed after it; counted to the time `run` asked for, a wind set after a
// T/C read was marked a quarter of a second before it.
TEST(FlightRecordClock, MarkersFollowTheKeysPressed) {
  test::ScratchDir dir("flight_clock");
  fs::create_directories(dir / "out");
  test::WriteFile(dir / "out/track.txt", "0.1 47 -122 433 0 0 0 0 0 0 0 0 0.00 0000 1\n");
  test::WriteFile(dir / "out/key_events.txt", "");
  test::WriteFile(dir / "out/flight.txt", "");
  test::WriteFile(dir / "scenario.txt",
                  "at 10.0\n;@ replanned\npress SMITHS_FMS_BR C R Z 2 7 2 0 0 L1\nrun 0.2\npress SMITHS_FMS_BR EXEC\n"
                  ";@ replanned\nat 10.5\n;@ direct\nat 20.0\n;@ replanned\npress SMITHS_FMS_BR A\nrun 0.1\n"
                  "set wind_speed 50\n");
  flights::FlightRecord record;
  std::string error;
  ASSERT_TRUE(flights::ReadFlight(dir / "sim", dir / "scenario.txt", dir / "out", record, error)) << error;
  ASSERT_EQ(record.replanned.size(), 3u);
  EXPECT_DOUBLE_EQ(record.replanned[0], 10.0);
  // Nine keys to frame 189, 0.2 s to frame 193 (192.6), one key.
  EXPECT_NEAR(record.replanned[1], 194.0 / 18.0, 1e-9);
  ASSERT_EQ(record.directs.size(), 1u);
  EXPECT_NEAR(record.directs[0], 194.0 / 18.0, 1e-9);  // 10.5 already passed
  EXPECT_DOUBLE_EQ(record.replanned[2], 20.0);
  // One key to frame 361, 0.1 s to frame 363 (362.8).
  ASSERT_EQ(record.wind_changes.size(), 1u);
  EXPECT_NEAR(record.wind_changes[0], 363.0 / 18.0, 1e-9);
}

// A T/C read while LNAV flies the route is held to the top the aircraft
// then reaches, unless LNAV went off before it (the last waypoint made
// active): from there the aircraft flies straight on, no route the pages
// counted. A climb at 2,000 ft/min from 10,000 ft at 6 NM a minute reaches
// 19,850 ft (150 ft under its top) at 295.5 s, the first sample at 296 s;
// the T/C read at 100 s is 5.4 NM off.
TEST(PageRules, ATopReachedAfterLnavWentOffIsNotHeldToTheReading) {
  for (const auto& [off, held] : {std::pair{200.0, false}, {296.0, false}, {297.0, true}, {-1.0, true}}) {
    SCOPED_TRACE(off);
    test::ScratchDir dir("page_rules_lnav_off");
    fs::create_directories(dir / "out/snapshots/t0100.0");
    std::string track;
    for (int t = 0; t <= 400; ++t) {
      const double alt = std::min(10000.0 + 2000.0 * t / 60.0, 20000.0);
      char line[200];
      std::snprintf(line, sizeof line, "%d.0 0.0 %.6f %.1f 250 0.5 360 %d 90 20000 2000 250 0.00 1100 0\n", t,
                    -0.5 + t * 0.1 / 60.0, alt, alt < 20000.0 ? 2000 : 0);
      track += line;
    }
    test::WriteFile(dir / "out/track.txt", track);
    test::WriteFile(dir / "out/key_events.txt", "");
    std::string flight = "0.5 LNAV on at N0.0000 W0.5000 10008 ft\n0.5 VNAV on at N0.0000 W0.5000 10008 ft\n";
    if (off > 0.0) flight += std::to_string(off) + " LNAV off, active DEST at N0.0000 E0.0000 19000 ft\n";
    test::WriteFile(dir / "out/flight.txt", flight);
    test::WriteFile(dir / "out/snapshots/t0100.0/window02_gauge00_GNSXLS_LM.txt",
                    "1 0 0 0 0 30.0 80.0 0xFFFF13D5 33.0 1 whole \"Courier New\" \"TO #TOC\"\n"
                    "1 0 0 0 0 370.0 120.0 0xFF00FA00 33.0 1 whole \"Courier New\" \" 25.0\"\n");
    test::WriteFile(dir / "scenario.txt", "run 400\n");
    flights::FlightRecord record;
    std::string error;
    ASSERT_TRUE(flights::ReadFlight(dir / "sim", dir / "scenario.txt", dir / "out", record, error)) << error;
    const flights::Problems problems = flights::CheckFlight(record, flights::Margins{});
    const auto pages = problems.find("pages");
    EXPECT_EQ(pages != problems.end(), held);
    if (held && pages != problems.end()) {
      ASSERT_EQ(pages->second.size(), 1u);
      EXPECT_NE(pages->second[0].find("25.0 NM shown, 19.6 flown"), std::string::npos) << pages->second[0];
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Rows, FlightTable, ::testing::ValuesIn(Rows()), [](const auto& p) {
  std::string name = p.param;
  std::replace(name.begin(), name.end(), '-', '_');
  return name;
});

}  // namespace
}  // namespace ovi::sim
