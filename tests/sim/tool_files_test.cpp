// The tools keep ovi-sim's rules for files: nothing a tool did not write is
// removed or written over, no tool writes over its own inputs, and what one
// refuses it names, with a failing exit.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/gfx/image_io.h"
#include "sim/out_folder.h"
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

const char kPanelHead[] = "[Window00]\nsize_mm=40,30\nvisible=1\n";

TEST(ToolFiles, BitmapsWritePicturesOnlyOfTheirOwn) {
  test::ScratchDir dir("bitmaps_panel");
  const std::string bitmaps = OVI_BITMAPS_PATH;
  test::WriteSolidBitmap(dir / "p/mine.png", 4, 4, 0xFF102030u);
  test::WriteSolidBitmap(dir / "outside.png", 4, 4, 0xFF102030u);
  fs::create_directories(dir / "p/folder.png");
  struct Case {
    std::string file, message;
  } refused[] = {
      {"self.cfg", dir / "p/self.cfg: is a panel file ovi-bitmaps reads; left as it is (file= at " + dir / "p/self.cfg:4)"},
      {"other.cfg", dir / "p/other.cfg: is a panel file ovi-bitmaps reads"},
      {"mine.png", dir / "p/mine.png: not a picture ovi-bitmaps made; left as it is"},
      {"folder.png", dir / "p/folder.png: not a regular file (a folder); left as it is"},
      {"../outside.png", dir / "p/../outside.png: lies outside the panel's folder"},
      {"..\\outside.png", dir / "p/../outside.png: lies outside the panel's folder"},
      {dir / "outside.png", dir / "outside.png: lies outside the panel's folder"},
      {"../p2/new.png", dir / "p/../p2/new.png: lies outside the panel's folder"},
      {".", dir / "p/.: not a regular file (a folder); left as it is"},
  };
  WriteFile(dir / "p/other.cfg", std::string(kPanelHead) + "file=fine.png\n");
  for (const Case& c : refused) {
    SCOPED_TRACE(c.file);
    WriteFile(dir / "p/self.cfg", std::string(kPanelHead) + "file=" + c.file + "\n");
    const auto before = Snapshot(dir.path());
    const RunResult r = RunProgram(bitmaps, {"--panel", dir / "p/self.cfg", dir / "p/other.cfg"});
    EXPECT_EQ(r.exit_code, 1);
    EXPECT_NE(r.err.find("ovi-bitmaps: " + c.message), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("ovi-bitmaps: nothing written\n"), std::string::npos) << r.err;
    EXPECT_EQ(Snapshot(dir.path()), before);  // fine.png not written either
  }
  // Its own pictures it writes, and again over them.
  WriteFile(dir / "p/self.cfg", std::string(kPanelHead) + "file=sub\\new.png\n");
  fs::create_directories(dir / "p/sub");
  for (int run = 0; run < 2; ++run) {
    const RunResult r = RunProgram(bitmaps, {"--panel", dir / "p/self.cfg", dir / "p/other.cfg"});
    EXPECT_EQ(r.exit_code, 0) << r.err;
    EXPECT_EQ(gfx::PngSoftware(dir / "p/sub/new.png"), "ovi-bitmaps");
    EXPECT_EQ(gfx::PngSoftware(dir / "p/fine.png"), "ovi-bitmaps");
  }
}

TEST(ToolFiles, BitmapsFolderIsOneOfTheirOwn) {
  test::ScratchDir dir("bitmaps_keys");
  const std::string bitmaps = OVI_BITMAPS_PATH;
  const std::string keys = std::string(OVI_SOURCE_DIR) + "/data/panels/keys.txt";
  // A folder that is not there is made, with the folders above it.
  RunResult r = RunProgram(bitmaps, {"--keys", keys, dir / "new/bitmaps"});
  ASSERT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(r.err.find("ovi-bitmaps:"), std::string::npos) << r.err;
  // resources/ is such a folder: the same pictures, and the list of them.
  const std::vector<std::string> made = Names(dir / "new/bitmaps");
  EXPECT_EQ(made, Names(std::string(OVI_SOURCE_DIR) + "/resources"));
  EXPECT_EQ(ReadFile(dir / "new/bitmaps/ovi-bitmaps-outputs.txt"),
            ReadFile(std::string(OVI_SOURCE_DIR) + "/resources/ovi-bitmaps-outputs.txt"));
  r = RunProgram(bitmaps, {"--keys", keys, dir / "new/bitmaps"});
  EXPECT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(Names(dir / "new/bitmaps"), made);

  WriteFile(dir / "new/bitmaps/9728.txt", "mine");
  WriteFile(dir / "mine/keys.txt", ReadFile(keys));
  WriteFile(dir / "plain", "mine");
  struct Case {
    std::vector<std::string> args;
    int exit_code;
    std::string message;
  } refused[] = {
      {{"--keys", keys, dir / "new/bitmaps"}, 1,
       dir / "new/bitmaps: holds 9728.txt, which ovi-bitmaps did not write; OUTDIR takes a new or empty folder, or "
             "one ovi-bitmaps wrote (left as it is)\n"},
      {{"--keys", dir / "mine/keys.txt", dir / "mine"}, 1,
       dir / "mine/keys.txt: lies in " + dir / "mine" + ", which --keys writes"},
      {{"--keys", keys, dir / "plain"}, 1, dir / "plain: not a folder (OUTDIR names the folder the bitmaps go into)\n"},
      {{"--keys", keys, dir / "plain/bitmaps"}, 1, dir / "plain/bitmaps: cannot create the output folder: "},
      {{"--keys", keys, ""}, 2, "ovi-bitmaps: OUTDIR is empty"},
  };
  const auto before = Snapshot(dir.path());
  for (const Case& c : refused) {
    r = RunProgram(bitmaps, c.args, dir.path());
    EXPECT_EQ(r.exit_code, c.exit_code) << c.message;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    EXPECT_LT(std::count(r.err.begin(), r.err.end(), '\n'), 8) << r.err;  // one message, and the usage
    EXPECT_EQ(Snapshot(dir.path()), before) << c.message;
  }
}

// A folder a tool wrote is removed as far as its manifest goes: a file of
// someone else's in it leaves it all as it is, a folder without the tool's
// manifest is not touched, and a scratch folder keeps what the tool did not
// note in it.
TEST(ToolFiles, AFolderIsRemovedOnlyAsFarAsItsManifestGoes) {
  test::ScratchDir dir("out_folder_remove");
  constexpr OutputWriter kWriter{"the tool", "tool-outputs.txt", "the folder", "a folder the tool wrote"};
  const std::string out = dir / "out";
  {
    OutFolder folder(kWriter);
    std::string error;
    ASSERT_TRUE(folder.Prepare(out, error)) << error;
    folder.Note(out + "/a.txt");
    folder.Note(out + "/deep", true);
    folder.Note(out + "/deep/b.txt");
  }
  WriteFile(out + "/a.txt", "written");
  WriteFile(out + "/deep/b.txt", "written");
  WriteFile(out + "/deep/mine.txt", "mine");
  WriteFile(dir / "plain/c.txt", "mine");
  const auto before = Snapshot(dir.path());
  std::string error;
  EXPECT_FALSE(OutFolder(kWriter).Remove(out, error));
  EXPECT_NE(error.find("holds deep/mine.txt, which the tool did not write"), std::string::npos) << error;
  EXPECT_FALSE(OutFolder(kWriter).Remove(dir / "plain", error));
  EXPECT_NE(error.find("holds no tool-outputs.txt"), std::string::npos) << error;
  EXPECT_EQ(Snapshot(dir.path()), before);
  fs::remove(out + "/deep/mine.txt");
  EXPECT_TRUE(OutFolder(kWriter).Remove(out, error)) << error;
  EXPECT_FALSE(fs::exists(out));

  std::string scratch;
  {
    TemporaryOutputs temporary(kWriter, "ovi_test_scratch_");
    scratch = temporary.Folder();
    ASSERT_FALSE(scratch.empty()) << temporary.Error();
    temporary.Note(scratch + "/noted.txt");
    WriteFile(scratch + "/noted.txt", "written");
  }
  EXPECT_FALSE(fs::exists(scratch));
  {
    TemporaryOutputs temporary(kWriter, "ovi_test_scratch_");
    scratch = temporary.Folder();
    temporary.Note(scratch + "/noted.txt");
    WriteFile(scratch + "/noted.txt", "written");
    WriteFile(scratch + "/other.txt", "someone else's");
  }
  EXPECT_EQ(ReadFile(scratch + "/other.txt"), "someone else's");
  EXPECT_TRUE(fs::exists(scratch + "/noted.txt"));
  fs::remove_all(scratch);  // the test's own
}

}  // namespace
}  // namespace ovi::sim
