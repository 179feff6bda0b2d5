// Every road by which the module, the stand-in and the tools read or write
// a user's file: a full disk never costs the file that was there, and a
// named pipe or a device never stops a reader.
#include "platform/os/files.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <random>
#include <sstream>
#include <string>

#include "platform/gfx/image_io.h"
#include "sim/key_table.h"
#include "sim/panel_cfg.h"
#include "sim/scenario.h"
#include "src/flightplan/load.h"
#include "src/flightplan/pln_convert.h"
#include "src/flightplan/route_file.h"
#include "src/flightplan/state.h"
#include "src/guidance/flight_log.h"
#include "src/guidance/state.h"
#include "src/host/module_state.h"
#include "src/host/state.h"
#include "src/instruments/fms/airport_names.h"
#include "src/model/config.h"
#include "src/model/performance.h"
#include "src/model/state.h"
#include "src/navdb/navdb.h"
#include "src/navdb/procedures.h"
#include "tools/navgen/navgen.h"

namespace ovi {
namespace {

namespace fs = std::filesystem;

std::string Bytes(const fs::path& p) {
  std::ifstream f(p, std::ios::binary);
  std::ostringstream s;
  s << f.rdbuf();
  return s.str();
}

void Put(const fs::path& p, const std::string& bytes) {
  fs::create_directories(p.parent_path());
  std::ofstream(p, std::ios::binary) << bytes;
}

// Names and contents of every file under the folder.
std::map<std::string, std::string> Contents(const fs::path& folder) {
  std::map<std::string, std::string> out;
  for (const auto& e : fs::recursive_directory_iterator(folder))
    if (e.is_regular_file()) out[fs::relative(e.path(), folder).string()] = Bytes(e.path());
  return out;
}

// What changed between two Contents, one file a line; empty when nothing.
std::string Changes(const std::map<std::string, std::string>& before, const std::map<std::string, std::string>& now) {
  std::string out;
  for (const auto& [name, bytes] : before) {
    const auto it = now.find(name);
    if (it == now.end())
      out += name + ": gone\n";
    else if (it->second != bytes)
      out += name + ": " + std::to_string(bytes.size()) + " bytes, now " + std::to_string(it->second.size()) + "\n";
  }
  for (const auto& [name, bytes] : now)
    if (!before.contains(name)) out += name + ": new, " + std::to_string(bytes.size()) + " bytes\n";
  return out;
}

std::string StatusLog() {
  std::string out;
  for (int i = 1; i <= model::model_state.StatusMessageCount; ++i) out += model::model_state.StatusMessageLog[i] + "\n";
  return out;
}

// A copy of the sample simulator folder (data/), made the module's.
class SampleCopy : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetModuleState();
    std::random_device rd;
    root_ = fs::temp_directory_path() / ("ovi_files_" + std::to_string(rd()) + std::to_string(rd()));
    fs::copy(fs::path(OVI_SOURCE_DIR) / "data", root_, fs::copy_options::recursive);
    host::host_state.SimulatorFolder = root_.string();
    model::model_state.AircraftConfigName = "B737-800";
    model::model_state.OriginAirportIdent = "KSEA";
    model::model_state.DestinationAirportIdent = "KPDX";
    flightplan::State& fp = flightplan::flightplan_state;
    for (int i = 0; i <= 150; ++i) {
      fp.ActiveFlightPlan[i].ident = "WPT" + std::to_string(i);
      fp.ActiveFlightPlan[i].latitude = 47.0 - i * 0.01;
      fp.ActiveFlightPlan[i].longitude = -122.0 - i * 0.01;
    }
    fp.ActiveFlightPlanLastIndex = 150;
  }
  void TearDown() override {
    os::LimitDiskSpaceForTesting(-1);
    os::JudgeAsDeviceForTesting("");
    ::alarm(0);
    ResetModuleState();
    std::error_code ec;
    fs::remove_all(root_, ec);
  }
  fs::path root_;
};

navgen::WorldSize SmallWorld() {
  navgen::WorldSize w;
  w.navaids = 50;
  w.airports = 50;
  w.intersections = 200;
  w.airway_lines = 200;
  w.boundaries = 2;
  w.boundary_points = 10;
  return w;
}

// A line of the flight log while it runs (a sequenced waypoint always
// writes one).
bool LogLine(std::int32_t phase) {
  guidance::State& g = guidance::guidance_state;
  g.FlightPhase = phase;
  g.ElapsedFlightSeconds = 60.0;
  const int before = model::model_state.StatusMessageCount;
  guidance::UpdateFlightLog(phase == guidance::kFlightLogRestart ? guidance::kLogTick
                                                                 : guidance::kLogWaypointSequenced);
  return model::CountStatusMessages("not written") == 0 && model::model_state.StatusMessageCount > before;
}

// Each writer over a user's file, on a disk that fills at the first byte, in
// the middle and at the last byte of what it writes: it says it failed, the
// old file is there byte for byte, and nothing else is (no part of the new
// file, no temporary).
TEST_F(SampleCopy, AFullDiskKeepsTheFileAWriterWouldReplace) {
  struct Road {
    const char* name;
    const char* file;             // the user's file, under the simulator folder
    std::function<bool()> write;  // true when the road reports the file written
    const char* why;              // in the status log after a failure; null: the road has none
  };
  const Road roads[] = {
      {"route save (SAVE FPL, SAVE ACTIVE FPL)", "ovi/flightplans/KSEA-KPDX.rte",
       [] { return flightplan::SaveFlightPlanFile("KSEA-KPDX.rte") == 1; }, "KSEA-KPDX.rte: not saved (No space"},
      {".PLN load (temp.rte)", "ovi/flightplans/temp.rte",
       [] { return flightplan::ConvertPlnToRte("KYKM-KSEA.PLN") == 0; }, "temp.rte cannot be written (No space"},
      {"a new flight log (fpl.log)", "ovi/FlightLog/fpl.log", [] { return LogLine(guidance::kFlightLogRestart); },
       "fpl.log: line not written (No space"},
      {"a line of the flight log (fpl.log)", "ovi/FlightLog/fpl.log", [] { return LogLine(4); },
       "fpl.log: line not written (No space"},
      {"the flight's record (Flight.log)", "ovi/FlightLog/Flight.log",
       [] {
         guidance::WriteFlightSummary();
         return model::CountStatusMessages("Flight.log") == 0;
       },
       "Flight.log: record not written (No space"},
      {"a picture (ovi-sim's snapshots, the tools' cards)", "out/window01.png",
       [this] { return gfx::WritePng(gfx::DeviceContext(64, 64), (root_ / "out/window01.png").string()); }, nullptr},
      {"a picture written fast", "out/window01.png",
       [this] {
         return gfx::WritePng(gfx::DeviceContext(64, 64), (root_ / "out/window01.png").string(), gfx::PngSpeed::kFast);
       },
       nullptr},
      {"ovi-navgen's data set", "ovi/navdata/navs.txt",
       [this] { return navgen::WriteSyntheticWorld(root_.string(), SmallWorld(), 3, nullptr); }, nullptr},
      // A writer that writes on past a failed write (as the run's records
      // do), the disk freed again before it closes: its last flush does
      // well, the write before it did not.
      {"a writer going on past a failed write", "out/record.txt",
       [this] {
         os::FileReplacement out((root_ / "out/record.txt").string(), os::FileReplacement::Sync::kToSystem);
         out.Write(std::string(256 << 10, 'r'));
         const std::int64_t left = os::LimitDiskSpaceForTesting(-1);
         out.Write("the end\n");
         const bool ok = out.Commit();
         os::LimitDiskSpaceForTesting(left);
         return ok;
       },
       nullptr},
  };
  const std::string old_text = [] {
    std::string t = "[FlightPlan]\n";
    for (int i = 0; i < 300; ++i) t += "OLD" + std::to_string(i) + " 47.0 -122.0 WPT\n";
    return t;
  }();
  for (const Road& road : roads) {
    SCOPED_TRACE(road.name);
    const fs::path file = root_ / road.file;
    const fs::path folder = file.parent_path();
    Put(file, old_text);
    const std::map<std::string, std::string> before = Contents(folder);
    const auto reset = [&] {
      fs::remove_all(folder);
      for (const auto& [name, bytes] : before) Put(folder / name, bytes);
      guidance::guidance_state.FlightLogWriteFailureReported = 0;
      model::model_state.StatusMessageCount = 0;
    };
    // With room, the road writes through the limited disk: what it wrote
    // is measured. The file written over keeps who may read it.
    reset();
    constexpr auto kMode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    fs::permissions(file, kMode);
    constexpr std::int64_t kRoom = std::int64_t{1} << 40;
    os::LimitDiskSpaceForTesting(kRoom);
    ASSERT_TRUE(road.write()) << StatusLog();
    const std::int64_t written = kRoom - os::LimitDiskSpaceForTesting(-1);
    ASSERT_GT(written, 0);
    EXPECT_NE(Bytes(file), old_text);
    EXPECT_EQ(fs::status(file).permissions(), kMode);
    for (const std::int64_t space : {std::int64_t{0}, written / 2, written - 1}) {
      SCOPED_TRACE(space);
      reset();
      os::LimitDiskSpaceForTesting(space);
      EXPECT_FALSE(road.write());
      os::LimitDiskSpaceForTesting(-1);
      EXPECT_EQ(Changes(before, Contents(folder)),
                "");  // the old file byte for byte, nothing beside it
      if (road.why != nullptr) {
        EXPECT_EQ(model::CountStatusMessages(road.why), 1) << StatusLog();
      }
    }
  }
}

// Where a reader was stuck on a file, the timer ends the test with its name.
const char* g_reading = "";
void Stuck(int) {
  const char text[] = "\nstill reading after 20 s: ";
  [[maybe_unused]] ssize_t n = ::write(2, text, sizeof text - 1);
  n = ::write(2, g_reading, std::strlen(g_reading));
  ::_exit(1);
}

// Every reader (and writer) of a file a user names or places, given a named
// pipe, a link to a device, or a file just over the size of its kind:
// refused at once, with the file's name and why, never waited on. The
// device is a file of the test's own that the file layer judges one: a
// writer that followed the link would replace that file, never a device
// of the machine's.
TEST_F(SampleCopy, NoFileIsWaitedOnOrReadPastItsSize) {
  struct Road {
    const char* file;                   // under the simulator folder
    std::int64_t limit;                 // the largest file of its kind
    std::function<std::string()> read;  // what the road said
    const char* says;                   // the file's name as it says it
  };
  const fs::path root = root_;
  const auto status = [](const std::function<void()>& f) {
    f();
    return StatusLog();
  };
  const auto sim_error = [root](auto load, const char* file) {
    return [root, load, file] {
      std::string error;
      load((root / file).string(), error);
      return error;
    };
  };
  constexpr std::int64_t kNav = model::kMaxNavDataFileBytes, kSettings = model::kMaxSettingsFileBytes,
                         kPlan = model::kMaxPlanFileBytes, kLog = model::kMaxFlightLogBytes, kSim = 64 << 20;
  const Road roads[] = {
      {"ovi/ovi.cfg", kSettings, [&] { return status(model::LoadConfiguration); }, "ovi.cfg: "},
      {"ovi/Aircraft/B737-800.cfg", kSettings, [&] { return status(model::LoadAircraftConfig); },
       "Aircraft\\B737-800.cfg: "},
      {"ovi/Aircraft/B737-800.perf", kSettings,
       [&] { return status([] { model::LoadPerformanceData("B737-800.perf"); }); }, "Aircraft\\B737-800.perf: "},
      {"ovi/navdata/navs.txt", kNav,
       [&] {
         return status([] {
           model::ReadNavDataCycle();
           navdb::LoadNavDatabase();
         });
       },
       "navs.txt: "},
      {"ovi/navdata/ints_user.txt", kNav, [&] { return status(navdb::LoadNavDatabase); }, "ints_user.txt: "},
      {"ovi/navdata/sids.txt", kNav,
       [&] {
         return status([] {
           navdb::LoadNavDatabase();
           navdb::LoadAirportProcedures("KSEA", 1);
         });
       },
       "sids.txt: "},
      {"ovi/navdata/ovi_apts.txt", kNav, [&] { return status([] { fms::LookupAirportName("KSEA", "NAME"); }); },
       "ovi_apts.txt: "},
      {"ovi/flightplans/KSEA-KPDX.rte", kPlan,
       [&] { return status([] { flightplan::ReadFlightPlanFile("KSEA-KPDX.rte", 0); }); }, "KSEA-KPDX.rte: "},
      {"ovi/flightplans/KBFI-KGEG.RTE", kPlan,
       [&] { return status([] { flightplan::LoadSelectedFlightPlan("KBFI-KGEG.RTE", 0); }); }, "KBFI-KGEG.RTE: "},
      {"ovi/flightplans/KYKM-KSEA.PLN", kPlan,
       [&] { return status([] { flightplan::ConvertPlnToRte("KYKM-KSEA.PLN"); }); }, "KYKM-KSEA.PLN: "},
      {"ovi/FlightLog/fpl.log", kLog, [&] { return status(guidance::WriteFlightSummary); }, "fpl.log: "},
      {"ovi/FlightLog/Flight.log", kLog, [&] { return status(guidance::WriteFlightSummary); }, "Flight.log: "},
      {"panels/keys.txt", kSim,
       sim_error(
           [](const std::string& p, std::string& e) {
             sim::KeyTable t;
             return sim::LoadKeyTable(p, t, e);
           },
           "panels/keys.txt"),
       "keys.txt: "},
      {"panels/sample/panel.cfg", kSim,
       sim_error(
           [](const std::string& p, std::string& e) {
             sim::PanelConfig c;
             return sim::LoadPanelConfig(p, c, e);
           },
           "panels/sample/panel.cfg"),
       "panel.cfg: "},
      {"scenarios/cdu.txt", kSim,
       sim_error(
           [](const std::string& p, std::string& e) {
             sim::Scenario s;
             return sim::LoadScenario(p, s, e);
           },
           "scenarios/cdu.txt"),
       "cdu.txt: "},
      {"panels/sample/panel.png", gfx::kMaxPictureFileBytes,
       [root] {
         gfx::DeviceContext dc(8, 8);
         std::string why;
         gfx::PaintPictureFile(dc, (root / "panels/sample/panel.png").string(), &why);
         return "panel.png: " + why;
       },
       "panel.png: "},
      // Writers given such a file: none opens it to write.
      {"ovi/flightplans/SAVED.RTE", 0, [&] { return status([] { flightplan::SaveFlightPlanFile("SAVED.RTE"); }); },
       "SAVED.RTE: not saved ("},
      {"ovi/flightplans/temp.rte", 0, [&] { return status([] { flightplan::ConvertPlnToRte("KYKM-KSEA.PLN"); }); },
       "temp.rte cannot be written ("},
      {"ovi/FlightLog/fpl.log", 0, [&] { return status([] { LogLine(4); }); }, "fpl.log: line not written ("},
  };
  ::signal(SIGALRM, Stuck);
  const fs::path device = root_ / "device";
  for (const Road& road : roads) {
    const fs::path file = root_ / road.file;
    const std::string kept = fs::exists(file) ? Bytes(file) : std::string();
    struct Kind {
      const char* name;
      std::function<void()> make;
      std::string says;
    };
    const Kind kinds[] = {
        {"a named pipe", [&] { ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0); }, "not a regular file (a named pipe)"},
        {"a link to a device",
         [&] {
           Put(device, "a device");
           fs::create_symlink(device, file);
           os::JudgeAsDeviceForTesting(device.string());
         },
         "not a regular file (a device)"},
        {"a file too large",
         [&] {
           Put(file, "");
           fs::resize_file(file, static_cast<std::uintmax_t>(road.limit) + 1);
         },
         "larger than " + os::SizeText(road.limit)},
    };
    for (const Kind& kind : kinds) {
      if (road.limit == 0 && kind.says.starts_with("larger")) continue;  // a writer reads nothing
      const std::string trace = std::string(road.file) + " as " + kind.name;
      SCOPED_TRACE(trace);
      g_reading = trace.c_str();
      ResetModuleState();
      host::host_state.SimulatorFolder = root_.string();
      model::model_state.AircraftConfigName = "B737-800";
      flightplan::flightplan_state.ActiveFlightPlanLastIndex = 1;
      fs::remove(file);
      kind.make();
      ::alarm(20);
      const std::string said = road.read();
      ::alarm(0);
      os::JudgeAsDeviceForTesting("");
      EXPECT_NE(said.find(road.says + kind.says), std::string::npos) << said;
      EXPECT_TRUE(fs::exists(fs::symlink_status(file)));  // left as it was, never replaced
      if (fs::exists(device)) {
        EXPECT_EQ(Bytes(device), "a device");
        fs::remove(device);
      }
    }
    // A file of exactly its kind's size (sparse: nothing is read) is one
    // of that kind, not one too large.
    if (road.limit > 0) {
      fs::remove(file);
      Put(file, "");
      fs::resize_file(file, static_cast<std::uintmax_t>(road.limit));
      os::RegularFile at_limit;
      os::FileProblem problem;
      EXPECT_TRUE(at_limit.Open(file.string(), road.limit, &problem)) << road.file << ": " << problem.text;
      EXPECT_EQ(at_limit.size(), road.limit);
    }
    fs::remove(file);
    if (!kept.empty()) Put(file, kept);
  }
}

}  // namespace
}  // namespace ovi
