// The flight-plan library: which files it lists, in which order, what each
// entry holds, and its limits.
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "platform/os/files.h"
#include "src/flightplan/library.h"
#include "src/flightplan/load.h"
#include "src/flightplan/route_file.h"
#include "src/flightplan/state.h"
#include "src/host/one_time_loads.h"
#include "src/model/config.h"
#include "src/model/state.h"
#include "src/navdb/navdb.h"
#include "src/navdb/state.h"
#include "src/util/text.h"
#include "tests/flightplan/test_support.h"

namespace ovi::flightplan {
namespace {

namespace fs = std::filesystem;
using test::FlightPlanTest;

State& fpl() { return flightplan_state; }

std::string TwoPoints(const char* from, const char* to) {
  return util::Format("[FlightPlan]\n%-16s 47.00000  -122.00000  APT ---\n%-16s 46.00000  -121.00000  APT ---\n",
                      from, to);
}

TEST_F(FlightPlanTest, SampleFolderIsListedInFolderOrderWithTheClosingEntry) {
  sim->CopySamplePlans();
  ScanFlightPlanFolder();
  struct Expect {
    const char* name;
    const char* origin;
    const char* destination;
    int last;
  };
  const Expect expected[] = {
      {"KBFI-KGEG.RTE", "KBFI", "KGEG", 10},      {"KEAT-KGEG.pln", "KEAT", "KGEG", 8},
      {"KOLM-KPDX.PLN", "KOLM", "KPDX", 6},       {"KPAE-KBLI.PLN", "KPAE", "KBLI", 7},
      {"KSEA-KPDX.rte", "KSEA", "KPDX", 10},      {"KSEA-KSEA-LONG.rte", "KSEA", "KSEA", 199},
      {"KYKM-KSEA.PLN", "KYKM", "KSEA", 7},
  };
  constexpr int n = static_cast<int>(std::size(expected));
  ASSERT_EQ(fpl().FlightPlanLibraryCount, n + 1);
  for (int i = 0; i < n; ++i) {
    SCOPED_TRACE(expected[i].name);
    const model::FlightPlanLibraryEntry& e = fpl().FlightPlanLibrary[i + 1];
    EXPECT_EQ(e.name, expected[i].name);
    EXPECT_EQ(e.origin_ident, expected[i].origin);
    EXPECT_EQ(e.destination_ident, expected[i].destination);
    EXPECT_EQ(e.last_index, expected[i].last);
    EXPECT_EQ(e.waypoints[e.last_index].ident, expected[i].destination);
  }
  const model::FlightPlanLibraryEntry& closing = fpl().FlightPlanLibrary[n + 1];
  EXPECT_EQ(closing.name, "NEW FPL");
  EXPECT_EQ(closing.origin_ident, "NEXT FPL");
  EXPECT_EQ(closing.destination_ident, "");
  EXPECT_EQ(fpl().GnsFplListPageCount, 1);
  EXPECT_EQ(fpl().SelectedFlightPlanIndex, 1);
  // The SID and STAR legs and the completed navaids came along.
  const auto& sea_pdx = fpl().FlightPlanLibrary[5].waypoints;
  EXPECT_EQ(sea_pdx[1].procedure_tag, "SID");
  EXPECT_EQ(sea_pdx[1].via, "SEA4");
  EXPECT_EQ(sea_pdx[8].procedure_tag, "STAR");
  EXPECT_EQ(sea_pdx[4].frequency_text, "113.40");
  EXPECT_FALSE(fs::exists(fs::path(OVI_SOURCE_DIR) / "data" / "ovi" / "flightplans" / "temp.rte"));
  // The four .PLN plans were read as converted, in memory: listing writes
  // no temp.rte (it once wrote it four times, each synced to the disk).
  EXPECT_FALSE(fs::exists(sim->plans() / "temp.rte"));
}

TEST_F(FlightPlanTest, LibraryKeepsPlansOfTwoWaypointsSkipsOtherFilesAndKeepsTheCursor) {
  sim->WritePlan("a.PLN",
                 "waypoint.0=KSEA, A, N47* 26.94', W122* 18.56', +0,\nwaypoint.1=KPDX, A, N45* 35.32', W122* 35.85', +0,\n");
  sim->WritePlan("b.rte", TwoPoints("KSEA", "KBFI"));
  sim->WritePlan("c.RTE", "[FlightPlan]\nKSEA 47.0 -122.0 APT\n");  // one waypoint
  sim->WritePlan("d.rte", TwoPoints("KOLM", "KPDX"));
  sim->WritePlan("r.PLN", "waypoint.0=KSEA, A, N47* 26.94', W122* 18.56', +0,\n");  // refused
  sim->WritePlan("temp.rte", TwoPoints("XXXX", "YYYY"));
  sim->WritePlan("notes.txt", TwoPoints("XXXX", "YYYY"));
  sim->WritePlan("x.pln", "waypoint.0=KBLI, A, N48* 47.57', W122* 32.25', +0,\nwaypoint.1=BLI, V, N48* 56.72', W122* 34.85', +0,\n");
  fs::create_directory(sim->plans() / "folder.rte");
  fpl().SelectedFlightPlanIndex = 5;
  fpl().FlightPlanLibrary[3].waypoints[0].text1 = "kept";
  fpl().FlightPlanLibrary[3].waypoints[0].hold_number = 4;

  ScanFlightPlanFolder();
  ASSERT_EQ(fpl().FlightPlanLibraryCount, 5);
  EXPECT_EQ(fpl().FlightPlanLibrary[1].name, "a.PLN");
  EXPECT_EQ(fpl().FlightPlanLibrary[1].destination_ident, "KPDX");
  EXPECT_EQ(fpl().FlightPlanLibrary[2].name, "b.rte");
  EXPECT_EQ(fpl().FlightPlanLibrary[3].name, "d.rte");  // c.RTE left its slot to d.rte
  EXPECT_EQ(fpl().FlightPlanLibrary[3].origin_ident, "KOLM");
  EXPECT_EQ(fpl().FlightPlanLibrary[4].name, "x.pln");
  EXPECT_EQ(fpl().FlightPlanLibrary[4].waypoints[1].frequency_text, "113.00");
  EXPECT_EQ(fpl().FlightPlanLibrary[5].name, "NEW FPL");
  EXPECT_EQ(fpl().SelectedFlightPlanIndex, 5);
  // The copy leaves the first free text and the hold number of the slot.
  EXPECT_EQ(fpl().FlightPlanLibrary[3].waypoints[0].text1, "kept");
  EXPECT_EQ(fpl().FlightPlanLibrary[3].waypoints[0].hold_number, 4u);
  // The list says in one text which plans it left out and why, the route
  // file as the refused .PLN plan, and the folder named as a plan; the
  // folder as a path of this system, not the module's "\ovi\flightplans"
  // after the simulator folder.
  EXPECT_EQ(test::StatusLog(), sim->plans().string() +
                                   ": 3 plan files left out: folder.rte (not a regular file (a "
                                   "folder)), c.RTE (fewer than two waypoints), r.PLN (fewer than two waypoints)\n");
}

// The plans beyond the 300th are not listed, and the status log says how
// many were left out: none goes without a word.
TEST_F(FlightPlanTest, LibraryStopsAtThreeHundredPlansAndSaysHowManyItLeftOut) {
  const std::string folder = sim->plans().string();
  struct Case {
    int files;
    const char* log;
  };
  for (const Case c : {Case{300, ""}, Case{301, ": 1 plan file left out, the list holds 300\n"},
                       Case{407, ": 107 plan files left out, the list holds 300\n"}}) {
    SCOPED_TRACE(c.files);
    for (int i = 0; i < c.files; ++i) sim->WritePlan(util::Format("P%03d.RTE", i), TwoPoints("KSEA", "KPDX"));
    model::model_state.StatusMessageCount = 0;
    ScanFlightPlanFolder();
    EXPECT_EQ(fpl().FlightPlanLibraryCount, 301);
    EXPECT_EQ(fpl().FlightPlanLibrary[300].name, "P299.RTE");
    EXPECT_EQ(fpl().FlightPlanLibrary[301].name, "NEW FPL");
    EXPECT_EQ(fpl().GnsFplListPageCount, 38);
    EXPECT_EQ(fpl().FlightPlanLibrary.refused(), 0);
    EXPECT_EQ(test::StatusLog(), *c.log == '\0' ? "" : folder + c.log);
  }
}

// Every refusal of a user's file is said, and said once: a bad input of
// each kind, and the status log it leaves (all of it).
TEST_F(FlightPlanTest, EveryRefusalIsSaidOnceWithItsReason) {
  const std::string folder = sim->plans().string() + ": ";
  const fs::path device = sim->root() / "device";
  const std::string route = TwoPoints("KSEA", "KPDX");
  auto selected_load = [] { LoadSelectedFlightPlan("K.RTE", 0); };
  auto aircraft = [this](const std::string& lines) {
    fs::create_directories(sim->root() / "ovi" / "Aircraft");
    std::ofstream(sim->root() / "ovi" / "Aircraft" / "T.cfg") << "V1 140\n" << lines;
    model::model_state.AircraftConfigName = "T";
    model::LoadAircraftConfig();
    navdb::LoadAirportDetails("KPDX", 2);
  };
  const struct Case {
    const char* input;
    std::function<void()> make;
    std::function<void()> act;
    std::string log;  // the whole status log after it
  } cases[] = {
      {"450 damaged plans",
       [&] {
         for (int i = 0; i < 450; ++i) sim->WritePlan(util::Format("D%03d.RTE", i), "KSEA 47 -122 APT\n");
       },
       ScanFlightPlanFolder,
       folder + "450 plan files left out: D000.RTE (the [FlightPlan] header is missing), D001.RTE (the "
                "[FlightPlan] header is missing), D002.RTE (the [FlightPlan] header is missing) and 447 more\n"},
      {"a named pipe among the plans", [&] { ASSERT_EQ(::mkfifo((sim->plans() / "P.RTE").c_str(), 0600), 0); },
       ScanFlightPlanFolder, folder + "1 plan file left out: P.RTE (not a regular file (a named pipe))\n"},
      // Named as no plan, neither is a plan left out.
      {"a sub-folder and a named pipe of other names",
       [&] {
         fs::create_directory(sim->plans() / "archive");
         ASSERT_EQ(::mkfifo((sim->plans() / "notes.rte.txt").c_str(), 0600), 0);
       },
       ScanFlightPlanFolder, ""},
      {"a link to a device among the plans",
       [&] {
         std::ofstream(device) << "a device";
         fs::create_symlink(device, sim->plans() / "Z.pln");
         os::JudgeAsDeviceForTesting(device.string());
       },
       ScanFlightPlanFolder, folder + "1 plan file left out: Z.pln (not a regular file (a device))\n"},
      {"a plan listed with a bad line, one left out",
       [&] {
         sim->WritePlan("B.RTE", route + "KBFI 47.5 north APT\n");
         sim->WritePlan("E.RTE", "");
       },
       ScanFlightPlanFolder,
       folder + "1 plan file left out: E.RTE (empty); 1 listed with lines skipped: B.RTE (bad line 4 skipped)\n"},
      {"CruiseAlt=1e300", [&] { sim->WritePlan("K.RTE", "CruiseAlt=1e300\n" + route); }, selected_load,
       "K.RTE: bad line 1 ('CruiseAlt' value out of range (0 to 99999 ft), not taken) skipped\n"},
      {"CruiseAlt=1000000000000", [&] { sim->WritePlan("K.RTE", route + "CruiseAlt=1000000000000\n"); },
       selected_load, "K.RTE: bad line 4 ('CruiseAlt' value out of range (0 to 99999 ft), not taken) skipped\n"},
      {"CruiseAlt=-5000 and TripFuel=lots",
       [&] { sim->WritePlan("K.RTE", "TripFuel=lots\nCruiseAlt=-5000\n" + route); }, selected_load,
       "K.RTE: bad line 1 ('TripFuel' value is not a number, not taken) and 1 more skipped\n"},
      {"ParkingFile outside its folder", [&] {}, [&] { aircraft("ParkingFile ../../../etc/passwd\n"); },
       "Aircraft\\T.cfg: 'ParkingFile' is not a plain file name, not read\nAPT 'KPDX' Set\n"},
      {"a missing ParkingFile", [&] {}, [&] { aircraft("ParkingFile gone.txt\n"); },
       "gone.txt not found\nAPT 'KPDX' Set\n"},
      {"a line with two faults", [&] {}, [&] { aircraft("V1 fast 140\n"); },
       "Aircraft\\T.cfg: bad line 2 ('V1' has text after its value, ignored)\nAPT 'KPDX' Set\n"},
      {"an aircraft value out of range, a hex float",
       [&] {}, [&] { aircraft("HWB737NDMode 12\nV2 0x1p3\n"); },
       "Aircraft\\T.cfg: bad line 2 ('HWB737NDMode' value out of range (1 to 7), brought into range) and 1 more\n"
       "APT 'KPDX' Set\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.input);
    for (const auto& e : fs::directory_iterator(sim->plans())) fs::remove(e.path());
    fs::remove(device);
    c.make();
    model::model_state.StatusMessageCount = 0;
    model::model_state.FileCruiseAlt = 0;
    navdb::navdb_state.ReportedMissingFiles = 0;
    model::model_state.ParkingFile.clear();
    c.act();
    os::JudgeAsDeviceForTesting("");
    EXPECT_EQ(test::StatusLog(), c.log);
    EXPECT_EQ(model::model_state.FileCruiseAlt, 0);  // no value out of range taken
  }
  EXPECT_EQ(model::model_state.V2, 0);  // 0x1p3 was not taken as 8
}

TEST_F(FlightPlanTest, MissingFolderGivesOnlyTheClosingEntryAndTheGaugesScanOnce) {
  ScanFlightPlanFolder();  // an empty folder is no fault
  EXPECT_EQ(test::StatusLog(), "");
  // The default folder is named as the user finds it: missing, and spelled
  // in another case.
  fs::remove_all(sim->plans());
  ScanFlightPlanFolder();
  EXPECT_EQ(test::StatusLog(), "'" + sim->plans().string() + "': no such folder, no plan listed\n");
  fs::create_directories(sim->root() / "ovi" / "FlightPlans");
  std::ofstream(sim->root() / "ovi" / "FlightPlans" / "E.RTE") << "";
  model::model_state.StatusMessageCount = 0;
  ScanFlightPlanFolder();
  EXPECT_EQ(test::StatusLog(), (sim->root() / "ovi" / "FlightPlans").string() + ": 1 plan file left out: E.RTE (empty)\n");
  fs::remove_all(sim->root() / "ovi" / "FlightPlans");
  fs::create_directories(sim->plans());
  model::model_state.StatusMessageCount = 0;
  // ovi.cfg's own example, a folder that is not there: said with the setting
  // that named it, never an empty list without a word.
  std::ofstream(sim->root() / "ovi" / "ovi.cfg") << "FlightPlansFolder = C:\\My Plans\n";
  model::LoadConfiguration();
  host::RunScanFlightPlanFolder();
  EXPECT_EQ(host::FlightPlanLibraryCountValue(), 1);
  EXPECT_EQ(fpl().FlightPlanLibrary[1].name, "NEW FPL");
  EXPECT_EQ(fpl().GnsFplListPageCount, 1);
  model::model_state.AircraftConfigName = "B737";
  model::model_state.AircraftFlightPlansFolder = (sim->plans() / "KSEA-KPDX.rte").string();  // a file
  sim->WritePlan("KSEA-KPDX.rte", TwoPoints("KSEA", "KPDX"));
  ScanFlightPlanFolder();
  EXPECT_EQ(test::StatusLog(), "ovi.cfg: FlightPlansFolder 'C:\\My Plans': no such folder, no plan listed\n"
                               "Aircraft\\B737.cfg: FlightPlansFolder '" + model::model_state.AircraftFlightPlansFolder +
                                   "': no such folder, no plan listed\n");

  // The aircraft's folder comes first.
  const fs::path aircraft = sim->root() / "aircraft";
  fs::create_directories(aircraft);
  std::ofstream(aircraft / "own.rte") << TwoPoints("KPAE", "KBLI");
  model::model_state.AircraftFlightPlansFolder = aircraft.string();
  ScanFlightPlanFolder();
  ASSERT_EQ(fpl().FlightPlanLibraryCount, 2);
  EXPECT_EQ(fpl().FlightPlanLibrary[1].name, "own.rte");
}

// A panel whose SERVER gauge comes first lists the plans before any aircraft
// is named: the plans are then read from the folder they were listed in, and
// the aircraft's own folder is said to go unused (a missing one:
// EndToEnd.APlanPickedLoadsFromTheFolderItWasListedIn).
TEST_F(FlightPlanTest, PlansAreReadFromTheFolderTheyWereListedIn) {
  sim->WritePlan("KSEA-KPDX.rte", TwoPoints("KSEA", "KPDX"));
  host::RunScanFlightPlanFolder();
  const fs::path aircraft = sim->root() / "aircraft";
  fs::create_directories(aircraft);
  fs::create_directories(sim->root() / "ovi" / "Aircraft");
  std::ofstream(sim->root() / "ovi" / "Aircraft" / "B737.cfg") << "FlightPlansFolder " << aircraft.string() << "\n";
  model::model_state.AircraftConfigName = "B737";
  host::RunLoadAircraftConfig();
  fpl().ScratchFlightPlanLastIndex = -1;
  ReadFlightPlanFile("KSEA-KPDX.rte", 1);
  EXPECT_EQ(fpl().ScratchFlightPlanLastIndex, 1);
  EXPECT_EQ(test::StatusLog(), "Aircraft\\B737.cfg: FlightPlansFolder '" + aircraft.string() +
                                   "': not used, plans are read from '" + sim->plans().string() +
                                   "', listed before the aircraft was named\n");
}

}  // namespace
}  // namespace ovi::flightplan
