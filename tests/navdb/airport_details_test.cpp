// Airport details: runways, texts, pattern sides, parking, tower view, and
// the ATC boundaries.
#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "src/host/module_state.h"
#include "src/host/one_time_loads.h"
#include "src/model/state.h"
#include "src/navdb/navdb.h"
#include "tests/support/navdata_fixture.h"

namespace ovi::navdb {
namespace {

using NavdbTest = test::ModuleTest;
using test::ScratchFolder;
using test::StatusLog;

class AirportDetailsTest : public test::SampleRegionTest {
 protected:
  State& s = navdb_state;
};

TEST_F(AirportDetailsTest, LoadsRunwaysTextsAndPatternSides) {
  LoadAirportDetails("KBFI", 0);
  EXPECT_EQ(s.AirportDetailText, "KBFI");
  EXPECT_EQ(s.AirportElevationText, "21");
  EXPECT_EQ(s.AirportDetailsElevationText, "21");
  EXPECT_NEAR(s.AirportDetailRecord.latitude, 47.53, 1e-9);
  ASSERT_EQ(s.AirportRunwayCount, 4);
  const model::RunwayRecord& r14l = s.AirportRunwayTable[1];
  EXPECT_EQ(r14l.number_text, "14L");
  EXPECT_NEAR(r14l.latitude, 47.53734, 1e-9);
  EXPECT_NEAR(r14l.longitude, -122.30294, 1e-9);
  EXPECT_EQ(r14l.length, 3709);
  EXPECT_NEAR(r14l.heading, 133.2, 1e-9);
  EXPECT_NEAR(r14l.approach_course, 133.2, 1e-9) << "no course given: the heading";
  EXPECT_EQ(r14l.right_pattern, 1);
  EXPECT_EQ(r14l.frequency_text, "");
  EXPECT_EQ(r14l.extra_text1, "ASP");
  const model::RunwayRecord& r14r = s.AirportRunwayTable[3];
  EXPECT_EQ(r14r.number_text, "14R");
  EXPECT_EQ(r14r.frequency_text, "110 90");
  EXPECT_EQ(r14r.extra_text2, "110.90");
  EXPECT_EQ(r14r.approach_course, 133.0);
  EXPECT_EQ(r14r.right_pattern, 0);
  EXPECT_EQ(s.AirportRunwayTable[4].right_pattern, 1);  // 32L
  EXPECT_EQ(model::model_state.StatusMessageLog[model::model_state.StatusMessageCount], "APT 'KBFI' Set");
  EXPECT_EQ(s.ParkingLatitude, 0.0) << "mode 0 is the origin: no parking";

  // A smaller airport replaces the table entirely.
  LoadAirportDetails("KEAT", 3);
  ASSERT_EQ(s.AirportRunwayCount, 2);
  EXPECT_EQ(s.AirportRunwayTable[2].number_text, "30");
  EXPECT_EQ(s.AirportRunwayTable[3].number_text, "") << "old runways cleared";
  EXPECT_EQ(s.AirportElevationText, "1249");
}

TEST_F(AirportDetailsTest, AnUnknownAirportChangesNothing) {
  LoadAirportDetails("KSEA", 1);
  const int messages = model::model_state.StatusMessageCount;
  LoadAirportDetails("KXYZ", 1);
  LoadAirportDetails("", 1);
  LoadAirportDetails(std::string(5000, 'K'), 1);
  EXPECT_EQ(s.AirportDetailText, "KSEA");
  EXPECT_EQ(s.AirportRunwayCount, 6);
  EXPECT_EQ(model::model_state.StatusMessageCount, messages);
}

TEST_F(AirportDetailsTest, WorksBeforeTheDatabaseIsLoadedByScanningTheFiles) {
  ResetModuleState();
  test::UseSampleData();
  LoadAirportDetails("CYVR", 0);
  EXPECT_EQ(s.AirportDetailText, "CYVR");
  EXPECT_EQ(s.AirportRunwayCount, 6);
}

TEST_F(AirportDetailsTest, DestinationModesLoadParkingAndFeedTheTowerView) {
  model::model_state.ParkingFile = "parking.txt";
  SetTowerViewPosition();  // no destination yet
  EXPECT_EQ(s.LastTowerViewRequest.writes, 0);
  EXPECT_EQ(model::model_state.StatusMessageCount, 0);

  LoadAirportDetails("KSEA", 2);
  EXPECT_NEAR(s.ParkingLatitude, 47.4445, 1e-9);
  EXPECT_NEAR(s.ParkingLongitude, -122.3010, 1e-9);
  EXPECT_NEAR(s.ParkingHeading, 270.0, 1e-9);
  LoadAirportDetails("KOLM", 0);  // the origin leaves the destination alone
  EXPECT_NEAR(s.ParkingLatitude, 47.4445, 1e-9);

  SetTowerViewPosition();  // no FSUIPC server: not set, and not said to be
  EXPECT_EQ(s.LastTowerViewRequest.writes, 0);
  EXPECT_EQ(StatusLog().find("TWR Pos"), std::string::npos);

  LoadAirportDetails("KYKM", 1);  // no parking listed: none
  EXPECT_EQ(s.ParkingLatitude, 0.0);
  model::model_state.ParkingFile = "missing.txt";
  LoadAirportDetails("KSEA", 1);
  EXPECT_EQ(s.ParkingLatitude, 0.0);
  // The option names a file of the navdata folder, nothing outside it.
  for (const char* outside : {"..\\navdata\\parking.txt", "sub/parking.txt", "C:parking.txt"}) {
    model::model_state.ParkingFile = outside;
    LoadAirportDetails("KSEA", 1);
    EXPECT_EQ(s.ParkingLatitude, 0.0) << outside;
  }
}

TEST_F(NavdbTest, BadRunwayLinesAreSkippedAndCounted) {
  ScratchFolder dir;
  std::string apts = "A XTST 100 10.0 20.0 TEST\n";
  apts += "R 09 10.0 20.0 5000 90 - 110.3 ASP\n";
  apts += "R 37 10.0 20.0 5000 90\n";          // no such runway number
  apts += "R 27 10.0 200.0 5000 270\n";        // longitude out of range
  apts += "R 27 10.0 20.1 0 270\n";            // no length
  apts += "R 27 10.0 20.1 5000 nan\n";         // heading not a number
  apts += "R 27 10.0 20.1 5000 270 - 1e9\n";   // no ILS frequency
  apts += "R 27 10.0 20.1 5000 270 265 - TURF\n";  // surface too long
  apts += "R 27 10.0 20.1 5000 270 265\n";
  for (int i = 0; i < 25; ++i) apts += "R 18 10.0 20.0 4000 180\n";  // 20 fit
  apts += "A XOTH 5 1.0 1.0\n";
  dir.Write("apts.txt", apts);
  LoadNavDatabase();
  LoadAirportDetails("XTST", 0);
  const State& s = navdb_state;
  ASSERT_EQ(s.AirportRunwayCount, 22);
  EXPECT_EQ(s.AirportRunwayTable[1].frequency_text, "110 30");
  EXPECT_EQ(s.AirportRunwayTable[2].number_text, "27");
  EXPECT_EQ(s.AirportRunwayTable[2].approach_course, 265.0);
  EXPECT_NE(StatusLog().find("apts.txt: bad line 3 and 10 more skipped"), std::string::npos) << StatusLog();
}

// ---- ATC boundaries ----

TEST_F(NavdbTest, SampleBoundariesLoadWithTheirPoints) {
  test::UseSampleData();
  LoadAtcBoundaries();
  const State& s = navdb_state;
  ASSERT_EQ(s.AtcBoundaryCount, 4);
  const model::AtcBoundary& zse = s.AtcBoundaryTable[1];
  EXPECT_EQ(zse.name, "KZSE");
  EXPECT_EQ(zse.label, "ZSE");
  EXPECT_EQ(zse.point_count, 8);
  EXPECT_NEAR(zse.label_latitude, 47.2, 1e-9);
  EXPECT_NEAR(zse.label_longitude, -121.0, 1e-9);
  EXPECT_NEAR(zse.points[1].latitude, 49.0, 1e-9);
  EXPECT_NEAR(zse.points[1].longitude, -126.0, 1e-9);
  EXPECT_EQ(zse.points[8].latitude, zse.points[1].latitude);
  EXPECT_EQ(s.AtcBoundaryPointCount, 8 + 6 + 8 + 6);
  EXPECT_EQ(model::model_state.StatusMessageCount, 0) << StatusLog();
}

TEST_F(NavdbTest, BoundaryFileFaults) {
  ScratchFolder dir;
  std::string b;
  b += "1.0 2.0\n";                 // point before any header
  b += "AAA A1 2 1.0 2.0\n";
  b += "1.0 2.0\n3.0 4.0\n5.0 6.0\n";  // one point too many
  b += "BBB B1 801 1.0 2.0\n";        // too many announced: rejected with its points
  b += "1.0 2.0\n";
  b += "CCC C1 3 1.0 2.0\n";
  b += "1.0 2.0\n";                   // file ends early: keeps one point
  dir.Write("atc_bdry.txt", b);
  LoadAtcBoundaries();
  const State& s = navdb_state;
  ASSERT_EQ(s.AtcBoundaryCount, 2);
  EXPECT_EQ(s.AtcBoundaryTable[1].point_count, 2);
  EXPECT_EQ(s.AtcBoundaryTable[2].name, "CCC");
  EXPECT_EQ(s.AtcBoundaryTable[2].point_count, 1);
  EXPECT_EQ(s.AtcBoundaryPointCount, 3);
  EXPECT_NE(StatusLog().find("atc_bdry.txt: bad line 1 and 3 more skipped"), std::string::npos) << StatusLog();
}

// Point lines are read field by field: every form the field parsers take
// is a point, every other two-field line is a bad line that also ends its
// outline, as it always did.
TEST_F(NavdbTest, BoundaryPointLineForms) {
  ScratchFolder dir;
  struct Good {
    const char* line;
    double lat, lon;
  };
  const Good good[] = {
      {"\t-33.5\t+151.25 \t", -33.5, 151.25},  // tabs, a plus sign, trailing blanks
      {"4.5e1 -1.8E2", 45.0, -180.0},             // exponents
      {"90 -180", 90.0, -180.0},                  // the exact limits
      {"-90.0 180.0", -90.0, 180.0},
      {"00000000000000000000045.25 -0.000000000000000000000001", 45.25, -1e-24},  // beyond 19 digits
      {"-0.5 .25", -0.5, 0.25},
  };
  const char* bad[] = {"90.0001 0", "0 -180.5", "nan 1", "1 inf", "1 2 3", "1.5x 2", "1e999 2", "-- 1"};
  std::string b = "GOOD G " + std::to_string(std::size(good)) + " 0 0\n";
  for (const Good& g : good) b += std::string(g.line) + "\n";
  for (const char* line : bad) b += std::string("BAD B 2 0 0\n") + line + "\n1 1\n";
  dir.Write("atc_bdry.txt", b);
  LoadAtcBoundaries();
  const State& s = navdb_state;
  ASSERT_EQ(s.AtcBoundaryCount, 1 + static_cast<int>(std::size(bad)));
  const model::AtcBoundary& g = s.AtcBoundaryTable[1];
  ASSERT_EQ(g.point_count, static_cast<int>(std::size(good)));
  for (std::size_t i = 0; i < std::size(good); ++i) {
    EXPECT_EQ(g.points[static_cast<int>(i) + 1].latitude, good[i].lat) << good[i].line;
    EXPECT_EQ(g.points[static_cast<int>(i) + 1].longitude, good[i].lon) << good[i].line;
  }
  for (int k = 2; k <= s.AtcBoundaryCount; ++k) EXPECT_EQ(s.AtcBoundaryTable[k].point_count, 0) << bad[k - 2];
  EXPECT_EQ(s.AtcBoundaryPointCount, static_cast<int>(std::size(good)));
  // Each bad line, and the point after it that no outline takes; the first
  // follows the good outline's header and points, and the next header.
  const std::string report = "atc_bdry.txt: bad line " + std::to_string(std::size(good) + 3) + " and " +
                             std::to_string(2 * std::size(bad) - 1) + " more skipped";
  EXPECT_NE(StatusLog().find(report), std::string::npos) << StatusLog();
}

TEST_F(NavdbTest, BoundaryTableStopsAtFourHundred) {
  ScratchFolder dir;
  std::string b;
  for (int i = 0; i < 405; ++i) b += "B" + std::to_string(i) + " L 1 1.0 2.0\n1.0 2.0\n";
  dir.Write("atc_bdry.txt", b);
  LoadAtcBoundaries();
  EXPECT_EQ(navdb_state.AtcBoundaryCount, 400);
  EXPECT_EQ(navdb_state.AtcBoundaryPointCount, 400);
  EXPECT_NE(StatusLog().find("Bdry '400' approaching struct_limit"), std::string::npos);
}

// The file read aside when the database loads is what the first use would
// read: the same outlines and the same messages, posted only then.
TEST_F(NavdbTest, BoundariesReadAsideAreTakenAsTheFirstUseWouldReadThem) {
  std::string full;
  for (int i = 0; i < 401; ++i) full += "B" + std::to_string(i) + " L 1 1.0 2.0\n1.0 2.0\n";
  const std::string faults =
      "1.0 2.0\n"                 // no header yet
      "AAA A1 2 -33.5 151.25\n-1.5 -179.5\n1.0 2.0\n3.0 4.0\n"  // one point too many
      "BBB B1 801 1 2\n1 2\n";    // too many announced, its point rejected with it
  struct Case {
    const char* what;
    const std::string& bytes;
    int count, points;
  };
  const Case cases[] = {{"faults", faults, 1, 2}, {"full table", full, 400, 400}};
  using Outline = std::pair<std::string, std::vector<double>>;
  auto outlines = [] {
    std::vector<Outline> out;
    const State& s = navdb_state;
    for (int b = 1; b <= s.AtcBoundaryCount; ++b) {
      const model::AtcBoundary& a = s.AtcBoundaryTable[b];
      Outline o{a.name + " " + a.label, {a.label_latitude, a.label_longitude}};
      for (int p = 1; p <= a.point_count; ++p) o.second.insert(o.second.end(), {a.points[p].latitude, a.points[p].longitude});
      out.push_back(o);
    }
    return out;
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ResetModuleState();
    ScratchFolder dir;
    dir.Write("atc_bdry.txt", c.bytes);
    PrepareAtcBoundaries();
    EXPECT_EQ(navdb_state.AtcBoundaryCount, 0);
    EXPECT_EQ(navdb_state.AtcBoundaryPointCount, 0);
    EXPECT_EQ(model::model_state.StatusMessageCount, 0);
    LoadAtcBoundaries();
    EXPECT_EQ(navdb_state.AtcBoundaryCount, c.count);
    EXPECT_EQ(navdb_state.AtcBoundaryPointCount, c.points);
    const std::vector<Outline> aside = outlines();
    const std::string aside_log = StatusLog();
    model::model_state.StatusMessageCount = 0;
    LoadAtcBoundaries();  // nothing read aside now: the file itself
    EXPECT_EQ(outlines(), aside);
    EXPECT_EQ(StatusLog(), aside_log);
  }
  ASSERT_EQ(navdb_state.AtcBoundaryCount, 400);
  // The last case's messages, the faults' worked out by hand.
  EXPECT_NE(StatusLog().find("Bdry '400' approaching struct_limit"), std::string::npos) << StatusLog();
  ScratchFolder dir;
  dir.Write("atc_bdry.txt", faults);
  model::model_state.StatusMessageCount = 0;
  PrepareAtcBoundaries();
  LoadAtcBoundaries();
  const std::vector<Outline> want = {{"AAA A1", {-33.5, 151.25, -1.5, -179.5, 1.0, 2.0}}};
  EXPECT_EQ(outlines(), want);
  EXPECT_EQ(StatusLog(), "atc_bdry.txt: bad line 1 and 3 more skipped\n");
}

// A file changed since it was read aside, or missing then, is read at first
// use; the database's one-time load is what reads it aside.
TEST_F(NavdbTest, BoundariesChangedOrMissingSinceTheDatabaseLoadedAreReadAtFirstUse) {
  ScratchFolder dir(ScratchFolder::Navdata::kSampleCopy);
  host::RunLoadNavDatabase();
  EXPECT_EQ(navdb_state.AtcBoundaryPointCount, 0);
  dir.Write("atc_bdry.txt", "BBBB B 2 1 2\n1 2\n3 4\n");
  LoadAtcBoundaries();
  ASSERT_EQ(navdb_state.AtcBoundaryCount, 1);
  EXPECT_EQ(navdb_state.AtcBoundaryTable[1].name, "BBBB");
  EXPECT_EQ(navdb_state.AtcBoundaryPointCount, 2);

  ScratchFolder empty;
  model::model_state.StatusMessageCount = 0;
  PrepareAtcBoundaries();
  EXPECT_EQ(model::model_state.StatusMessageCount, 0);
  LoadAtcBoundaries();
  EXPECT_EQ(navdb_state.AtcBoundaryCount, 0);
  EXPECT_EQ(StatusLog(), "atc_bdry.txt not found\n");
}

TEST_F(NavdbTest, EmptyOrMissingBoundaryFileLeavesNothingLoaded) {
  ScratchFolder dir;
  LoadAtcBoundaries();
  LoadAtcBoundaries();
  EXPECT_EQ(navdb_state.AtcBoundaryPointCount, 0);
  EXPECT_EQ(model::model_state.StatusMessageCount, 1);
  dir.Write("atc_bdry.txt", "; only a comment\n");
  LoadAtcBoundaries();
  EXPECT_EQ(navdb_state.AtcBoundaryCount, 0);
  EXPECT_EQ(navdb_state.AtcBoundaryPointCount, 0);
}

}  // namespace
}  // namespace ovi::navdb
