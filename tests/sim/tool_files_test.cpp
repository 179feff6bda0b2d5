// The tools keep ovi-sim's rules for files: nothing a tool did not write is
// removed or written over, no tool writes over its own inputs, and what one
// refuses it names, with a failing exit.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/sim/test_support.h"
#include "tools/flights/flight_setup.h"

namespace ovi::sim {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::RunProgram;
using test::RunResult;
using test::Snapshot;
using test::WriteFile;

// The names of the files under `dir`, sorted.
std::vector<std::string> Names(const std::string& dir) {
  std::vector<std::string> names;
  for (const auto& [name, bytes] : Snapshot(dir)) names.push_back(name);
  return names;
}

// A flight too short to need the rules: prepared, flown, prepared again.
const char kShortFlight[] = ";@ aircraft B737-800\nrun 1\n";

TEST(ToolFiles, FlightsKeepWhatTheyDidNotWrite) {
  test::ScratchDir dir("flights_files");
  // A simulator folder of a user's own, with a plan of theirs.
  WriteFile(dir / "sim/GAUGES/ovi1.gau", "the module");
  WriteFile(dir / "sim/ovi/FlightPlans/mine.rte", "a plan");
  WriteFile(dir / "own/row.txt", kShortFlight);
  WriteFile(dir / "row.txt", kShortFlight);
  WriteFile(dir / "keep/1/notes.txt", "mine");
  fs::create_directories(dir / "plain");
  WriteFile(dir / "plain/ovi-sim.log", "mine");
  WriteFile(dir / "plain/ovi-flights-outputs.txt", "; a manifest of no one's flight\n");
  const std::string flights = OVI_FLIGHTS_PATH;
  struct Case {
    std::vector<std::string> args;
    std::string message;
  } refused[] = {
      {{"generate", "3", dir / "sim"}, dir / "sim: holds "},
      {{"prepare", dir / "own/row.txt", dir / "own"}, dir / "own/row.txt: lies in " + dir / "own" + ", which prepare writes"},
      {{"prepare", dir / "row.txt", dir / "own"},
       dir / "own: holds row.txt, which ovi-flights did not write; DIR takes a new or empty folder, or one "
             "ovi-flights wrote (left as it is)"},
      {{"check", dir / "missing"}, dir / "missing: no such folder"},
      {{"check", dir / "own"}, dir / "own: holds no ovi-flights-outputs.txt"},
      {{"check", dir / "plain"}, dir / "plain: holds ovi-sim.log, which ovi-flights did not write"},
      {{"--keep", dir / "keep", "campaign", "1"}, "seed 1: " + dir / "keep/1: holds notes.txt, which ovi-flights did not write"},
  };
  const auto before = Snapshot(dir.path());
  for (const Case& c : refused) {
    const RunResult r = RunProgram(flights, c.args);
    EXPECT_EQ(r.exit_code, 1) << c.message << "\n" << r.err;
    EXPECT_NE((r.err + r.out).find(c.message), std::string::npos) << r.err << r.out;
    EXPECT_EQ(r.err.find("sh: "), std::string::npos) << r.err;
    EXPECT_EQ(Snapshot(dir.path()), before) << c.message;
  }

  // A folder of its own: flown, then prepared again, it holds what a fresh
  // one holds: the flight's outputs (out/, the log, the module's flight
  // log) went with it, and a user's file in it stops the next one.
  RunResult r = RunProgram(flights, {"prepare", dir / "row.txt", dir / "flight"});
  ASSERT_EQ(r.exit_code, 0) << r.err;
  const std::vector<std::string> fresh = Names(dir / "flight");
  r = RunProgram(flights, {"check", dir / "flight"});
  EXPECT_TRUE(fs::exists(dir / "flight/out/summary.txt")) << r.err;
  EXPECT_TRUE(fs::exists(dir / "flight/ovi-sim.log")) << r.err;
  r = RunProgram(flights, {"prepare", dir / "row.txt", dir / "flight/"});
  ASSERT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(Names(dir / "flight"), fresh);
  EXPECT_FALSE(fs::exists(dir / "flight/out"));
  WriteFile(dir / "flight/sim/ovi/FlightPlans/mine.rte", "a plan");
  const auto flown = Snapshot(dir / "flight");
  r = RunProgram(flights, {"generate", "3", dir / "flight"});
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_NE(r.err.find(dir / "flight: holds sim/ovi/FlightPlans/mine.rte, which ovi-flights did not write"),
            std::string::npos)
      << r.err;
  EXPECT_EQ(Snapshot(dir / "flight"), flown);
}

// A flight is never prepared inside the sample data it copies.
TEST(ToolFiles, AFlightIsNotPreparedInTheDataItCopies) {
  test::ScratchDir dir("flights_source");
  WriteFile(dir / "data/panels/keys.txt", "[SMITHS_FMS_BR]\n");
  WriteFile(dir / "data/ovi/Aircraft/B737-800.cfg", "; an aircraft\n");
  const flights::Paths paths{dir.path(), OVI_MODULE_PATH, OVI_SIM_PATH};
  const auto before = Snapshot(dir.path());
  std::string error;
  EXPECT_FALSE(flights::PrepareFlight(paths, dir / "data/panels/flight", "B737-800", "", "run 1\n", error));
  EXPECT_EQ(error, dir / "data/panels/flight: lies in the sample data the flight copies (" + dir / "data" +
                       "); give a folder outside it");
  EXPECT_EQ(Snapshot(dir.path()), before);
}

}  // namespace
}  // namespace ovi::sim
