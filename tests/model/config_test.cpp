#include "src/model/config.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "src/host/module_state.h"
#include "src/model/performance.h"
#include "src/util/text.h"
#include "tests/model/sim_folder.h"

namespace ovi::model {
namespace {

class ConfigTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetModuleState(); }
  State& s = model_state;
};

// The defaults written in the key table (and so in the sample file and the
// documentation) are the values the state starts with.
TEST_F(ConfigTest, KeyTableDefaultsAreTheInitialValues) {
  for (const ConfigKey& k : ConfigKeys()) {
    SCOPED_TRACE(k.name);
    if (auto* text = std::get_if<std::string State::*>(&k.target)) {
      EXPECT_EQ(s.*(*text), k.default_text);
    } else if (auto* i = std::get_if<int State::*>(&k.target)) {
      int v = 0;
      ASSERT_TRUE(util::ParseInt(k.default_text, v));
      EXPECT_EQ(s.*(*i), v);
    } else {
      double v = 0;
      ASSERT_TRUE(util::ParseDouble(k.default_text, v));
      EXPECT_EQ(s.*std::get<double State::*>(k.target), v);
    }
  }
}

TEST_F(ConfigTest, SampleModuleFileListsEveryModuleKeyWithItsDefault) {
  std::ifstream in(OVI_SOURCE_DIR "/data/ovi/ovi.cfg");
  ASSERT_TRUE(in.good());
  std::map<std::string, std::string> seen;
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == ';') continue;
    auto eq = line.find('=');
    ASSERT_NE(eq, std::string::npos) << line;
    seen[std::string(util::Trim(std::string_view(line).substr(0, eq)))] =
        std::string(util::Trim(std::string_view(line).substr(eq + 1)));
  }
  int module_keys = 0;
  for (const ConfigKey& k : ConfigKeys()) {
    if (k.file == KeyFile::kAircraft) continue;
    ++module_keys;
    ASSERT_TRUE(seen.count(k.name)) << k.name;
    EXPECT_EQ(seen[k.name], k.default_text) << k.name;
  }
  EXPECT_EQ(static_cast<int>(seen.size()), module_keys);

  testing::UseSampleFolder();
  LoadConfiguration();
  EXPECT_EQ(s.ConfigLoaded, 1);
  EXPECT_EQ(s.StatusMessageCount, 0) << s.StatusMessageLog[1];
}

TEST_F(ConfigTest, MissingModuleFileKeepsDefaultsAndStillCountsAsLoaded) {
  testing::SimFolder sim;
  LoadConfiguration();
  EXPECT_EQ(s.ConfigLoaded, 1);
  EXPECT_EQ(s.WptChgDist, 3.0);
  EXPECT_EQ(s.WeightUnit, "LBS");
  EXPECT_EQ(CountStatusMessages("ovi.cfg not found"), 1);
}

TEST_F(ConfigTest, ModuleFileLinesAndTheirProblems) {
  testing::SimFolder sim;
  sim.Write("ovi/ovi.cfg",
            "; comment\r\n"
            "\r\n"
            "WptChgDist = 4.5\r\n"
            "wptprocchgdist=2\r\n"              // any case, no blanks
            "TcasVertRange = 99\n"
            "TcasVertRange = 120\n"             // last one wins
            "FlightPlansFolder = C:\\My Plans\n"  // text keeps its blanks
            "SomeFutureKey = 7\n"                // ignored, no status
            "V1 = 140\n"                         // aircraft key: not from ovi.cfg
            "FlyoverWptChgDist = far\n"          // not a number
            "WptChgSecs = -5\n"                  // out of range
            "DispFPV\n"                          // no '='
            "VnavSetSpdRestDist =\n"             // missing value
            "ShowTodBodIndicators = 0\n");
  LoadConfiguration();
  EXPECT_EQ(s.ConfigLoaded, 1);
  EXPECT_EQ(s.WptChgDist, 4.5);
  EXPECT_EQ(s.WptProcChgDist, 2.0);
  EXPECT_EQ(s.TcasVertRange, 120);
  EXPECT_EQ(s.FlightPlansFolder, "C:\\My Plans");
  EXPECT_EQ(s.V1, 0);
  EXPECT_EQ(s.FlyoverWptChgDist, 1.5);
  EXPECT_EQ(s.WptChgSecs, 0.0);
  EXPECT_EQ(s.VnavSetSpdRestDist, 25.0);
  EXPECT_EQ(s.ShowTodBodIndicators, 0);
  // One status for the file: the first bad line, what is wrong with it,
  // and how many more there are.
  ASSERT_EQ(s.StatusMessageCount, 1);
  EXPECT_EQ(s.StatusMessageLog[1],
            "ovi.cfg: bad line 10 ('FlyoverWptChgDist' value is not a number, not taken) and 3 more");
}

// A thousand bad lines give one status on every road that reads lines, and
// a log that fills all the same says how many texts it had no room for.
TEST_F(ConfigTest, BadLinesAreReportedOnceAFileAndAFullLogCountsWhatItDrops) {
  const struct Road {
    const char* file;
    const char* first;
    const char* bad;
    void (*load)();
    const char* said;
  } roads[] = {
      {"ovi/ovi.cfg", "WptChgDist = 4.5\n", "WptChgSecs = -5\n", LoadConfiguration,
       "ovi.cfg: bad line 2 ('WptChgSecs' value out of range (0 to 3600), not taken) and 999 more"},
      {"ovi/Aircraft/Flood.cfg", "ModelId X\n", "VR\n", [] { LoadAircraftConfig(); },
       "Aircraft\\Flood.cfg: bad line 2 ('VR' has no value, not taken) and 999 more"},
      {"ovi/Aircraft/flood.perf", "CLIMB\n", "0 4000 3000 100000 9000\n", [] { LoadPerformanceData("flood.perf"); },
       "Aircraft\\flood.perf: bad line 2 (not a CLIMB row) and 999 more skipped"},
  };
  for (const Road& road : roads) {
    ResetModuleState();
    testing::SimFolder sim;
    std::string text = road.first;
    for (int i = 0; i < 1000; ++i) text += road.bad;
    sim.Write(road.file, text);
    s.AircraftConfigName = "Flood";
    road.load();
    EXPECT_EQ(CountStatusMessages(road.said), 1) << road.file;
    EXPECT_EQ(CountStatusMessages("bad line"), 1) << road.file;
  }

  ResetModuleState();
  for (int i = 1; i <= 1000; ++i) AddStatusMessage("text " + std::to_string(i));
  ASSERT_EQ(s.StatusMessageCount, kMaxStatusMessages);
  EXPECT_EQ(s.StatusMessageLog[kMaxStatusMessages - 1], "text 399");
  EXPECT_EQ(s.StatusMessageLog[kMaxStatusMessages], "status log full, 601 texts dropped");
  s.StatusMessageCount = 2;  // as a plan load leaves it
  for (int i = 1; i <= 397; ++i) AddStatusMessage("again");
  EXPECT_EQ(s.StatusMessageLog[kMaxStatusMessages - 1], "again");
  AddStatusMessage("one more");
  EXPECT_EQ(s.StatusMessageLog[kMaxStatusMessages], "status log full, 1 text dropped");
}

TEST_F(ConfigTest, SampleTwinJetOverridesModuleOptionsAndFillsDerivedValues) {
  testing::UseSampleFolder();
  LoadConfiguration();
  s.AircraftConfigName = "B737-800";
  LoadAircraftConfig();
  EXPECT_EQ(s.StatusMessageCount, 1) << s.StatusMessageLog[1];  // the performance summary only
  EXPECT_EQ(s.ModelId, "737-800");
  EXPECT_EQ(s.EngThrust, 26);
  EXPECT_EQ(s.ParkingFile, "parking.txt");
  EXPECT_EQ(s.HWB737NDMode, 5);
  EXPECT_EQ(s.VREFMIN, 152);
  EXPECT_EQ(s.TOFLAPSRANGE, ",1,5,10,15,25,");
  EXPECT_EQ(s.MaxCruise, 41000);
  EXPECT_EQ(s.CostIndex, 35);
  // Aircraft values win over the module file's.
  EXPECT_EQ(s.MinMapRange, 2.5);
  EXPECT_EQ(s.DispPrevWpt, 1);
  // Schedule {descent, climb, cruise} and the Mach limits at 15000 ft.
  EXPECT_EQ(s.LoadedSpeedSchedule, (std::array<int, 3>{280, 280, 290}));
  const double ias[6] = {210, 340, 220, 340, 220, 340};
  for (int i = 0; i < 6; ++i) EXPECT_DOUBLE_EQ(s.MinSpeedTable[i], IasToMach(ias[i], 15000.0)) << i;
  EXPECT_GT(s.ClimbPerformanceCount, 30);
  EXPECT_GT(s.CruisePerformanceCount, 20);
  EXPECT_EQ(s.DescentPerformanceCount, 9);
}

TEST_F(ConfigTest, SampleQuadJetUsesBlanksFromStarsAndKeysOfAnyCase) {
  testing::UseSampleFolder();
  s.AircraftConfigName = "B747-400";
  LoadAircraftConfig();
  EXPECT_EQ(s.ModelId, "747-400 PW4056");
  EXPECT_EQ(s.PerformanceFile, "B747-400 perf.txt");
  EXPECT_EQ(s.EngThrust, 56);
  EXPECT_EQ(s.WeightUnit, "KGS");
  EXPECT_EQ(s.HWMD11NDBkgrdColorBlue, 16);
  EXPECT_EQ(s.B777PFDSkyColorRed, 30);
  EXPECT_EQ(s.B777PFDGrndColorRed, 120);  // not in the file: default
  EXPECT_EQ(s.LoadedSpeedSchedule, (std::array<int, 3>{290, 320, 300}));
  ASSERT_EQ(s.ClimbPerformanceCount, 36);
  // The file gives kilograms: the tables hold pounds.
  EXPECT_NEAR(s.ClimbPerformanceTable[1].weight, 249476 * 2.20462262, 1.0);
}

TEST_F(ConfigTest, AircraftClampsColoursAndModes) {
  testing::SimFolder sim;
  sim.Write("ovi/Aircraft/Test.cfg",
            "HWB737NDMode 0\n"
            "HWMD11NDMode 6\n"
            "DU1000EHSIMode 5\n"           // stated range 0..3: refused
            "MD80EHSIMode 2\n"
            "HWB737NDBkgrdColorRed 256\n"  // low 8 bits
            "HWB737NDBkgrdColorGreen -1\n"
            "HWB737NDBkgrdColorBlue 300\n"
            "FlightPlansFolder D:\\Plans*Heavy\n"
            "ClimbRate 0\n"                // would divide by zero later: refused
            "v1 140\n"
            "V1 141 knots\n"               // extra text: value still taken
            "VR\n"                         // no value
            "TransAlt 6000.7\n"            // integers are truncated
            "CostIndex abc\n"
            "UnknownKey 5\n");
  s.AircraftConfigName = "Test";
  LoadAircraftConfig();
  EXPECT_EQ(s.HWB737NDMode, 1);
  EXPECT_EQ(s.HWMD11NDMode, 1);
  EXPECT_EQ(s.DU1000EHSIMode, 3);
  EXPECT_EQ(s.MD80EHSIMode, 2);
  EXPECT_EQ(s.HWB737NDBkgrdColorRed, 0);
  EXPECT_EQ(s.HWB737NDBkgrdColorGreen, 255);
  EXPECT_EQ(s.HWB737NDBkgrdColorBlue, 44);
  EXPECT_EQ(ColorFromComponents(s.HWB737NDBkgrdColorRed, s.HWB737NDBkgrdColorGreen,
                                s.HWB737NDBkgrdColorBlue),
            0xFF00FF2Cu);
  // The displays take the low 8 bits whatever a command may have stored.
  EXPECT_EQ(ColorFromComponents(0x1FF, -1, 0x102), 0xFFFFFF02u);
  EXPECT_EQ(s.AircraftFlightPlansFolder, "D:\\Plans Heavy");
  EXPECT_EQ(s.FlightPlansFolder, "");
  EXPECT_EQ(s.ClimbRate, 2000);
  EXPECT_EQ(s.V1, 141);
  EXPECT_EQ(s.VR, 0);
  EXPECT_EQ(s.TransAlt, 6000);
  EXPECT_EQ(s.CostIndex, -1);
  ASSERT_EQ(s.StatusMessageCount, 1);
  EXPECT_EQ(s.StatusMessageLog[1],
            "Aircraft\\Test.cfg: bad line 1 ('HWB737NDMode' value out of range (1 to 7), brought into range) and 9 more");

  // Mode values inside their ranges stay as given.
  ResetModuleState();
  sim.Activate();
  sim.Write("ovi/Aircraft/Test.cfg", "HWB737NDMode 9\nHWMD11NDMode 4\nDU1000EHSIMode 0\n");
  s.AircraftConfigName = "Test";
  LoadAircraftConfig();
  EXPECT_EQ(s.HWB737NDMode, 7);
  EXPECT_EQ(s.HWMD11NDMode, 4);
  EXPECT_EQ(s.DU1000EHSIMode, 0);
}

// A minimum the aircraft file puts above its maximum is a bad line of the
// file: the value the later of the two lines gave is not taken (as a value
// out of its range), and the earlier one too when the pair is still
// crossed. The pair may meet, and a pair crossed only until the file's
// next line is not.
TEST_F(ConfigTest, AircraftMinimumAboveItsMaximumIsABadLine) {
  using Limit = double State::*;
  const Limit limits[] = {&State::ClimbIasMin,      &State::ClimbIasMax,      &State::CruiseIasMin,
                          &State::CruiseIasMax,     &State::DescentIasMin,    &State::DescentIasMax,
                          &State::MinVnavClimbRate, &State::MaxVnavClimbRate, &State::MinVnavDescRate,
                          &State::MaxVnavDescRate};
  struct Case {
    const char* file;
    std::vector<std::pair<Limit, double>> values;  // the others keep their defaults
    const char* report;                            // "": none
  } cases[] = {
      {"ClimbIasMin 400\n", {}, "bad line 1 ('ClimbIasMin' value above ClimbIasMax (340), not taken)"},
      {"ClimbIasMax 200\n", {}, "bad line 1 ('ClimbIasMax' value below ClimbIasMin (210), not taken)"},
      {"ClimbIasMin 400\nClimbIasMax 450\n", {{&State::ClimbIasMin, 400}, {&State::ClimbIasMax, 450}}, ""},
      {"ClimbIasMax 300\nClimbIasMin 320\n", {{&State::ClimbIasMax, 300}},
       "bad line 2 ('ClimbIasMin' value above ClimbIasMax (300), not taken)"},
      {"; cruise\nCruiseIasMin 400\nCruiseIasMax 300\n", {},
       "bad line 2 ('CruiseIasMin' value above CruiseIasMax (340), not taken) and 1 more"},
      {"DescentIasMin 250\nDescentIasMax 250\n", {{&State::DescentIasMin, 250}, {&State::DescentIasMax, 250}}, ""},
      {"DescentIasMax 210\n", {{&State::DescentIasMax, 210}}, ""},
      {"DescentIasMax 209.5\n", {}, "bad line 1 ('DescentIasMax' value below DescentIasMin (210), not taken)"},
      {"MinVnavClimbRate 3000\n", {},
       "bad line 1 ('MinVnavClimbRate' value above MaxVnavClimbRate (2500), not taken)"},
      {"MaxVnavDescRate 1000\n", {}, "bad line 1 ('MaxVnavDescRate' value below MinVnavDescRate (1500), not taken)"},
      {"MinVnavDescRate 1000\nMaxVnavDescRate 1200\n",
       {{&State::MinVnavDescRate, 1000}, {&State::MaxVnavDescRate, 1200}}, ""},
      // A key given twice: its earlier value stays.
      {"ClimbIasMin 250\nClimbIasMax 300\nClimbIasMin 320\n",
       {{&State::ClimbIasMin, 250}, {&State::ClimbIasMax, 300}},
       "bad line 3 ('ClimbIasMin' value above ClimbIasMax (300), not taken)"},
      // Back through every line the file gave the pair, latest first.
      {"ClimbIasMin 400\nClimbIasMax 300\nClimbIasMin 380\n", {},
       "bad line 1 ('ClimbIasMin' value above ClimbIasMax (340), not taken) and 2 more"},
      {"ClimbIasMin 300\nClimbIasMax 320\nClimbIasMax 250\n",
       {{&State::ClimbIasMin, 300}, {&State::ClimbIasMax, 320}},
       "bad line 3 ('ClimbIasMax' value below ClimbIasMin (300), not taken)"},
      // A line with two faults counts once, by its first.
      {"ClimbIasMin 400 knots\n", {}, "bad line 1 ('ClimbIasMin' has text after its value, ignored)"},
      // Lines told in the order of the file, whichever was found first.
      {"MaxVnavClimbRate 1200\nV1 999\n", {},
       "bad line 1 ('MaxVnavClimbRate' value below MinVnavClimbRate (1500), not taken) and 1 more"},
      {"V1 999\nMinVnavClimbRate 2600\nMaxVnavClimbRate 2400\n", {},
       "bad line 1 ('V1' value out of range (0 to 400), not taken) and 2 more"},
  };
  testing::SimFolder sim;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    ResetModuleState();
    sim.Activate();
    sim.Write("ovi/Aircraft/Test.cfg", c.file);
    std::vector<double> expected;
    for (Limit l : limits) expected.push_back(s.*l);
    for (const auto& [limit, value] : c.values) {
      for (std::size_t i = 0; i < std::size(limits); ++i)
        if (limits[i] == limit) expected[i] = value;
    }
    s.AircraftConfigName = "Test";
    LoadAircraftConfig();
    std::vector<double> got;
    for (Limit l : limits) got.push_back(s.*l);
    EXPECT_EQ(got, expected);
    if (*c.report == '\0') {
      EXPECT_EQ(s.StatusMessageCount, 0) << s.StatusMessageLog[1];
    } else {
      ASSERT_EQ(s.StatusMessageCount, 1);
      EXPECT_EQ(s.StatusMessageLog[1], std::string("Aircraft\\Test.cfg: ") + c.report);
    }
    // The Mach limits follow the speeds kept.
    EXPECT_DOUBLE_EQ(s.MinSpeedTable[0], IasToMach(s.ClimbIasMin, 15000.0));
    EXPECT_DOUBLE_EQ(s.MinSpeedTable[3], IasToMach(s.CruiseIasMax, 15000.0));
  }
}

// Ranges, layer switches and bearing-pointer sources belong to the range
// commands and the control panels: neither file sets them.
TEST_F(ConfigTest, DisplayStateIsNotConfigurable) {
  testing::SimFolder sim;
  sim.Write("ovi/ovi.cfg", "NdRange = 10\nNdShowTraffic = 1\n");
  sim.Write("ovi/Aircraft/Test.cfg",
            "NdRange 10\nMd11NdRange 40\nDu1000EhsiRange 0.125\nProline4MapRange 80\n"
            "Efs50EhsiRange 25\nEfs50TcasRange 10\nP1000MapRange 25\nC17MfdMapRange 40\n"
            "NdShowTraffic 1\nShowAtcBoundaries 1\nProline4ShowNdbs 1\nMd80EhsiShowAdf 1\n"
            "Efs50BearingPointer1Source 2\nProline4BearingPointer2Source 3\n"
            "EFS50HsiMode 4\nPROLINE4MFDMode 2\n");
  LoadConfiguration();
  s.AircraftConfigName = "Test";
  LoadAircraftConfig();
  EXPECT_EQ(s.NdRange, 40.0);
  EXPECT_EQ(s.Md11NdRange, 80.0);
  EXPECT_EQ(s.Du1000EhsiRange, 60.0);
  EXPECT_EQ(s.Proline4MapRange, 40.0);
  EXPECT_EQ(s.Efs50EhsiRange, 12.5);
  EXPECT_EQ(s.Efs50TcasRange, 5.0);
  EXPECT_EQ(s.P1000MapRange, 12.5);
  EXPECT_EQ(s.C17MfdMapRange, 80.0);
  EXPECT_EQ(s.NdShowTraffic, 0);
  EXPECT_EQ(s.ShowAtcBoundaries, 0);
  EXPECT_EQ(s.Proline4ShowNdbs, 0);
  EXPECT_EQ(s.Md80EhsiShowAdf, 0);
  EXPECT_EQ(s.Efs50BearingPointer1Source, 0);
  EXPECT_EQ(s.Proline4BearingPointer2Source, 0);
  // The modes are aircraft keys.
  EXPECT_EQ(s.EFS50HsiMode, 4);
  EXPECT_EQ(s.PROLINE4MFDMode, 2);
  for (const char* name : {"NdRange", "Efs50EhsiRange", "NdShowTraffic", "Proline4BearingPointer1Source"}) {
    EXPECT_EQ(FindConfigKey(name, KeyFile::kBoth), nullptr) << name;
  }
}

TEST_F(ConfigTest, MissingOrUnsafeAircraftFileKeepsDefaultsButStillDerivesValues) {
  testing::SimFolder sim;
  sim.Write("ovi/navdata/navs.txt", ";AIRAC 09-FEB-2006 (12-JAN-2006)\nABC ...\n");
  s.AircraftConfigName = "Nothing";
  LoadAircraftConfig();
  EXPECT_EQ(CountStatusMessages("Aircraft\\Nothing.cfg not found"), 1);
  EXPECT_DOUBLE_EQ(s.MinSpeedTable[0], IasToMach(210.0, 15000.0));
  EXPECT_EQ(s.LoadedSpeedSchedule, (std::array<int, 3>{220, 220, 250}));
  EXPECT_EQ(s.NavDataCycleText, "AIRAC 09-FEB-2006 (12-JAN-2006)");

  ResetModuleState();
  sim.Activate();
  sim.Write("ovi/Secret.cfg", "ModelId leaked\n");
  s.AircraftConfigName = "..\\Secret";
  LoadAircraftConfig();
  EXPECT_EQ(s.ModelId, "");
  EXPECT_EQ(CountStatusMessages("not a plain file name"), 1);

  // A performance file outside the aircraft folder is not read either.
  ResetModuleState();
  sim.Activate();
  sim.Write("ovi/Aircraft/P.cfg", "PerformanceFile ..\\..\\x.perf\n");
  s.AircraftConfigName = "P";
  LoadAircraftConfig();
  EXPECT_EQ(CountStatusMessages("'PerformanceFile' is not a plain file name"), 1);
}

// A file an editor saved as UTF-16, or one that is no text, is refused
// whole with one status naming it; a UTF-8 byte-order mark is plain text;
// an aircraft file without one known key is named too.
TEST_F(ConfigTest, FilesThatAreNotPlainTextOrHoldNoKeyGetOneStatus) {
  auto utf16 = [](std::string_view text, bool big_endian) {  // little-endian with its mark
    std::string out = big_endian ? "" : "\xFF\xFE";
    for (char c : text) out += big_endian ? std::string{'\0', c} : std::string{c, '\0'};
    return out;
  };
  std::mt19937 rng(57);
  std::string random(2000, ' '), bell = "V1 140\n";  // bell: no NUL, but 2 control bytes in 15
  for (char& c : random) c = static_cast<char>(rng());
  for (int i = 0; i < 40; ++i) bell += "\a\aWptChgDist 9\n";
  const std::string module = "WptChgDist = 4.5\n", aircraft = "V1 140\nPerformanceFile T.perf\n";
  auto both = [](const char* why) {
    const std::string text = std::string("not plain text (") + why + "), defaults kept";
    return std::vector<std::string>{"ovi.cfg: " + text, "Aircraft\\T.cfg: " + text};
  };
  const struct {
    std::string module, aircraft, perf;
    double wpt_chg_dist;
    int v1;
    std::vector<std::string> statuses;
  } cases[] = {
      {utf16(module, false), utf16(aircraft, false), "", 3.0, 0, both("UTF-16")},
      {utf16(module, true), utf16(aircraft, true), "", 3.0, 0, both("UTF-16")},
      {random, random.substr(1000), "", 3.0, 0, both("binary data")},
      {bell, bell, "", 3.0, 0, both("binary data")},
      {"\xEF\xBB\xBF" + module, "\xEF\xBB\xBF" + aircraft, utf16("CLIMB\n", false), 4.5, 140,
       {"Aircraft\\T.perf: not plain text (UTF-16), no performance data"}},
      {module, "[Window00]\nsize_mm=640,480\n", "", 4.5, 0, {"Aircraft\\T.cfg: no known key, defaults kept"}},
  };
  for (const auto& c : cases) {
    ResetModuleState();
    testing::SimFolder sim;
    sim.Write("ovi/ovi.cfg", c.module);
    sim.Write("ovi/Aircraft/T.cfg", c.aircraft);
    sim.Write("ovi/Aircraft/T.perf", c.perf);
    LoadConfiguration();
    s.AircraftConfigName = "T";
    LoadAircraftConfig();
    std::vector<std::string> statuses;
    for (int i = 1; i <= s.StatusMessageCount; ++i) statuses.push_back(s.StatusMessageLog[i]);
    EXPECT_EQ(statuses, c.statuses);
    EXPECT_EQ(s.WptChgDist, c.wpt_chg_dist) << c.statuses[0];
    EXPECT_EQ(s.V1, c.v1) << c.statuses[0];
  }
}

TEST_F(ConfigTest, TextValuesAreBounded) {
  testing::SimFolder sim;
  std::string long_value(300, 'x');
  sim.Write("ovi/Aircraft/L.cfg", "ModelId " + long_value + "\nAPPRFLAPSMIN 20\n");
  sim.Write("ovi/ovi.cfg", "FlightPlansFolder = " + long_value + "\n" + long_value + " = 1\n");
  LoadConfiguration();
  s.AircraftConfigName = "L";
  LoadAircraftConfig();
  EXPECT_EQ(s.ModelId, "");
  EXPECT_EQ(s.FlightPlansFolder, "");
  EXPECT_EQ(s.APPRFLAPSMIN, "20");
  EXPECT_EQ(CountStatusMessages("value too long"), 2);
}

TEST_F(ConfigTest, NavDataCycleFromTheAiracLine) {
  testing::SimFolder sim;
  sim.Write("ovi/navdata/navs.txt",
            "; navaids\n"
            ";airac 09-FEB-2006 (12-JAN-2006)   0602\n"
            ";AIRAC 99-XXX-9999 (99-XXX-9999)\n");
  ReadNavDataCycle();
  EXPECT_EQ(s.NavDataCycleText, "AIRAC 09-FEB-2006 (12-JAN-2006) 0602");
  EXPECT_EQ(s.NavDataActiveDates, "JAN12FEB09/06");

  // Short tokens give what they hold, never more.
  sim.Write("ovi/navdata/navs.txt", ";AIRAC 1 2\n");
  ReadNavDataCycle();
  EXPECT_EQ(s.NavDataCycleText, "AIRAC 1 2");
  EXPECT_EQ(s.NavDataActiveDates, "1/");

  sim.Write("ovi/navdata/navs.txt", ";AIRAC\n");
  ReadNavDataCycle();
  EXPECT_EQ(s.NavDataCycleText, "AIRAC");
  EXPECT_EQ(s.NavDataActiveDates, "");
  EXPECT_EQ(CountStatusMessages("lacks its two dates"), 1);

  sim.Write("ovi/navdata/navs.txt", "no cycle line\n");
  ReadNavDataCycle();
  EXPECT_EQ(s.NavDataCycleText, "");
  EXPECT_EQ(s.NavDataActiveDates, "");
}

TEST_F(ConfigTest, SampleNavDataCarriesItsCycle) {
  testing::UseSampleFolder();
  ReadNavDataCycle();
  EXPECT_EQ(s.NavDataCycleText, "AIRAC 12-JUN-2024 (16-MAY-2024) 2405");
  EXPECT_EQ(s.NavDataActiveDates, "MAY16JUN12/24");
}

}  // namespace
}  // namespace ovi::model
