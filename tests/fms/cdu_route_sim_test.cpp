// The demo's CDU scenarios in ovi-sim with the real module. The route
// scenario: a whole route built on the keys alone and executed equals,
// entry by entry, the same route loaded from its hand-written route file
// and executed in the same run (both written by SAVE FPL); the hold and the
// constraint, which route files do not carry, stand on the RTE HOLD and RTE
// LEGS listings of the route flown. Every page and state the scenarios
// show is legible.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/fms/cdu_legibility.h"
#include "tests/sim/test_support.h"

namespace ovi::fms::test {
namespace {

using sim::test::ReadFile;

// A waypoint line of a route file as its columns.
struct Entry {
  std::string ident, latitude, longitude, type, frequency, via, tag;
  bool operator==(const Entry&) const = default;
};

std::vector<Entry> Waypoints(const std::string& text) {
  std::vector<Entry> out;
  bool in_plan = false;
  for (const std::string& line : sim::test::Lines(text)) {
    if (line.rfind("[FlightPlan]", 0) == 0) {
      in_plan = true;
      continue;
    }
    if (!in_plan || line.empty() || line[0] == ';') continue;
    std::istringstream words(line);
    Entry e;
    words >> e.ident >> e.latitude >> e.longitude >> e.type >> e.frequency >> e.via >> e.tag;
    out.push_back(e);
  }
  return out;
}

bool Shows(const std::string& record, const std::string& text) {
  return record.find("\"" + text + "\"\n") != std::string::npos;
}

class CduRouteScenario : public ::testing::Test {
 protected:
  void SetUp() override {
    namespace fs = std::filesystem;
    fs::copy(std::string(OVI_SOURCE_DIR) + "/data", sim_.path(), fs::copy_options::recursive);
    fs::create_directories(sim_ / "GAUGES");
    fs::copy_file(OVI_MODULE_PATH, sim_ / "GAUGES/ovi1.gau");
    fs::copy_file(sim_ / "scenarios/cdu-route.rte", sim_ / "ovi/flightplans/CDUREF.RTE");
  }
  std::string Record(const std::string& label) const {
    for (const auto& e : std::filesystem::directory_iterator(sim_ / ("out/snapshots/" + label)))
      if (e.path().filename().string().ends_with("_SMITHS_FMS.txt")) return ReadFile(e.path().string());
    ADD_FAILURE() << "no CDU record in " << label;
    return {};
  }

  sim::test::ScratchDir sim_{"cdu_route_sim"};
};

TEST_F(CduRouteScenario, TheRouteKeyedInIsTheRouteOfItsFile) {
  const sim::test::RunResult r =
      sim::test::RunSim({"--sim-folder", sim_.path(), "--panel", sim_ / "panels/sample/panel.cfg", "--scenario",
                         sim_ / "scenarios/cdu-route.txt", "--out", sim_ / "out"});
  // Every expect_text of the scenario held.
  ASSERT_EQ(r.exit_code, 0) << r.out << r.err;

  const std::vector<Entry> keyed = Waypoints(ReadFile(sim_ / "ovi/flightplans/KEYED.RTE"));
  const std::vector<Entry> file = Waypoints(ReadFile(sim_ / "ovi/flightplans/REFSAVED.RTE"));
  ASSERT_EQ(keyed.size(), 18u);
  ASSERT_EQ(file.size(), keyed.size());
  for (std::size_t i = 0; i < keyed.size(); ++i) EXPECT_EQ(keyed[i], file[i]) << "entry " << i << " " << keyed[i].ident;

  // The route of the keys, from the sample navigation data: SUMMA2 from
  // 16L by YKM, V4 to HERMI, direct PDT (where KRATR2 starts), the ILS 10R
  // from LAVAA with the discontinuity before it deleted.
  std::vector<std::string> idents;
  for (const Entry& e : keyed) idents.push_back(e.ident);
  EXPECT_EQ(idents, (std::vector<std::string>{"KSEA", "FOURT", "RAVEN", "SUMMA", "TIETN", "YKM", "GRAPE", "BENTN",
                                              "PSC", "UMATL", "HERMI", "PDT", "KRATR", "BTG", "LAVAA", "BEAVR",
                                              "DUCKZ", "KPDX"}));
  EXPECT_EQ(keyed[5], (Entry{"YKM", "46.57040", "-120.44480", "VOR", "116.00", "SUMMA2", "SID"}));

  // The route flown carries the constraint and the hold.
  const std::string legs = Record("29-legs-executed-page-3");
  EXPECT_TRUE(Shows(legs, "ACT"));
  EXPECT_TRUE(Shows(legs, "  250 / 11000A"));
  EXPECT_TRUE(Shows(legs, "H O L D   A T"));
  const std::string hold = Record("30-rte-hold-executed");
  EXPECT_TRUE(Shows(hold, "BTG"));
  EXPECT_TRUE(Shows(hold, "270 /  L  T U R N"));
  EXPECT_TRUE(Shows(hold, "1.5   M I N"));
  // The deleted discontinuity is gone.
  EXPECT_FALSE(Shows(Record("20-legs-discontinuity-deleted"), "T H E N"));
  ExpectLegibleCduSnapshots(sim_ / "out");
}

// The page tour: IDENT, the index pages, SAVE FPL, POS, the stored plans, a
// route through every route state with its messages.
TEST_F(CduRouteScenario, EveryPageOfTheCduTourIsLegible) {
  const sim::test::RunResult r =
      sim::test::RunSim({"--sim-folder", sim_.path(), "--panel", sim_ / "panels/sample/panel.cfg", "--scenario",
                         sim_ / "scenarios/cdu.txt", "--out", sim_ / "out"});
  ASSERT_EQ(r.exit_code, 0) << r.out << r.err;
  // The planner's route message, three characters past the scratchpad's 24,
  // is whole, in the small font.
  EXPECT_TRUE(Shows(Record("04-atc-route-loaded"), "ACTIVE FSPLANNER RTE LOADED"));
  ExpectLegibleCduSnapshots(sim_ / "out");
}

// PROGRESS through the start of the closed-loop flight: the rows follow the
// sequencing the SERVER's navigation exports record (flight.txt), the
// distance to the active waypoint falls; NAV STATUS, NAV OPTIONS and every
// REF NAV DATA view of the take-off roll are legible.
TEST_F(CduRouteScenario, ProgressFollowsTheSequencing) {
  const sim::test::RunResult r =
      sim::test::RunSim({"--sim-folder", sim_.path(), "--panel", sim_ / "panels/sample/panel.cfg", "--scenario",
                         sim_ / "scenarios/cdu-progress.txt", "--out", sim_ / "out", "--seconds", "165"});
  ASSERT_EQ(r.exit_code, 0) << r.out << r.err;
  // The exports: FOURT passed before the first PROGRESS picture after the
  // take-off, PARKK not yet.
  std::vector<std::string> passed;
  for (const std::string& line : sim::test::Lines(ReadFile(sim_ / "out/flight.txt"))) {
    const std::size_t at = line.find(" passed ");
    if (at != std::string::npos && std::stod(line.substr(0, at)) < 130.0)
      passed.push_back(line.substr(at + 8, line.find(" at ") - at - 8));
  }
  ASSERT_EQ(passed, std::vector<std::string>{"FOURT"});

  // The texts of a CDU record on one row (the layout point's y).
  auto row = [](const std::string& rec, const std::string& y) {
    std::vector<std::string> texts;
    for (const std::string& line : sim::test::Lines(rec)) {
      std::istringstream words(line);
      std::string element, x, yy, w, h, cx, cy;
      words >> element >> x >> yy >> w >> h >> cx >> cy;
      const std::size_t close = line.rfind('"');
      const std::size_t open = close == std::string::npos ? close : line.rfind('"', close - 1);
      if (cy == y && open != std::string::npos) texts.push_back(line.substr(open + 1, close - open - 1));
    }
    return texts;
  };
  using Texts = std::vector<std::string>;
  // At the gate no waypoint is passed: no FROM row; FOURT is active.
  const std::string gate = Record("01-progress-gate");
  EXPECT_EQ(row(gate, "33.0"), Texts{});
  ASSERT_FALSE(row(gate, "66.0").empty());
  EXPECT_EQ(row(gate, "66.0")[0], "FOURT");
  // FOURT passed: the FROM row with its altitude, time and fuel; PARKK
  // active, CHINS next, KPDX last, and the distance to PARKK falling.
  const std::string first = Record("14-progress-first-sequencing");
  const std::string later = Record("15-progress-climb");
  for (const std::string* rec : {&first, &later}) {
    const Texts from = row(*rec, "33.0");
    ASSERT_EQ(from.size(), 4u);
    EXPECT_EQ(from[0], "FOURT");
    EXPECT_EQ(from[2].back(), 'Z');
    ASSERT_GE(row(*rec, "66.0").size(), 2u);
    EXPECT_EQ(row(*rec, "66.0")[0], "PARKK");
    EXPECT_EQ(row(*rec, "99.0").at(0), "CHINS");
    EXPECT_EQ(row(*rec, "131.0").at(0), "KPDX ");
  }
  EXPECT_GT(std::stoi(row(first, "66.0")[1]), std::stoi(row(later, "66.0")[1]));

  EXPECT_TRUE(Shows(Record("04-nav-status-again"), "BTG   116.60             117.40"));
  EXPECT_TRUE(Shows(Record("09-ref-nav-data-airport-name"), "31FT 9    M"));
  EXPECT_TRUE(Shows(Record("11-ref-nav-data-navaid-chosen"), "117.90"));
  EXPECT_TRUE(Shows(Record("12-ref-nav-data-unknown"), "NOT IN DATABASE"));
  ExpectLegibleCduSnapshots(sim_ / "out");
}

// The performance pages on the ground, every field filled and refused, the
// prompts followed, a modification erased and one executed: every page and
// state is legible. The flight that follows is left out (its pages are
// checked in the closed-loop flight of perf_flight_test.cpp).
// On a panel of the gauges the scenario uses alone: a fifth of the sample
// panel's time.
TEST_F(CduRouteScenario, EveryPerformancePageOnTheGroundIsLegible) {
  std::filesystem::create_directories(sim_ / "panels/perf");
  std::ofstream(sim_ / "panels/perf/panel.cfg") << R"([Window00]
ident=MAIN_PANEL
size_mm=1024,768
gauge00=ovi1!SERVER, 0, 0, 8, 8
gauge01=ovi1!SMITHS_FMS, 524, 20, 480, , B737-800
gauge02=ovi1!LNAV, 350, 516, 64, 48
gauge03=ovi1!VNAV, 350, 574, 64, 48
)";
  const sim::test::RunResult r =
      sim::test::RunSim({"--sim-folder", sim_.path(), "--panel", sim_ / "panels/perf/panel.cfg", "--scenario",
                         sim_ / "scenarios/cdu-perf.txt", "--out", sim_ / "out", "--seconds", "59"});
  ASSERT_EQ(r.exit_code, 0) << r.out << r.err;
  ASSERT_TRUE(std::filesystem::exists(sim_ / "out/snapshots/21-takeoff-ref-complete"));
  ExpectLegibleCduSnapshots(sim_ / "out");
}

}  // namespace
}  // namespace ovi::fms::test
