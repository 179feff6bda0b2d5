// Loading the navigation text files: the sample region, the _user files,
// capacities and the look-ups that serve route matching.
#include <cmath>
#include <cstdio>
#include <iterator>
#include <string>

#include <gtest/gtest.h>

#include "src/model/state.h"
#include "src/navdb/navdb.h"
#include "tests/support/navdata_fixture.h"

namespace ovi::navdb {
namespace {

using NavdbTest = test::ModuleTest;
using test::ScratchFolder;
using test::StatusLog;

class SampleLoadTest : public test::SampleRegionTest {
 protected:
  const State& s = navdb_state;
};

TEST_F(SampleLoadTest, LoadsEveryTableOfTheRegion) {
  EXPECT_EQ(s.AirportCount, 16);
  EXPECT_EQ(s.NavaidCount, 23);
  EXPECT_EQ(s.IntersectionCount, 70);
  EXPECT_EQ(s.AirwayFixCount, 67);
  // 43 airway fixes plus the 14 VORs the airways join, each once.
  EXPECT_EQ(s.AirwayPointCount, 57);
  EXPECT_EQ(model::model_state.StatusMessageCount, 0) << StatusLog();
}

TEST_F(SampleLoadTest, AirportRecordsCarryIdentPositionAndElevationToken) {
  int i = FindAirport("KSEA");
  ASSERT_GT(i, 0);
  const model::NavDbRecord& r = s.AirportTable[i];
  EXPECT_EQ(r.kind, "APT");
  EXPECT_EQ(r.airport_text, "433");
  EXPECT_EQ(r.name, "SEATTLE-TACOMA INTL");
  EXPECT_NEAR(r.latitude, 47.4490, 1e-9);
  EXPECT_NEAR(r.longitude, -122.3093, 1e-9);
  EXPECT_EQ(s.AirportTable[1].ident, "KSEA");  // file order
  EXPECT_EQ(FindAirport("KGEG") > 0, true);
  EXPECT_EQ(FindAirport("KXXX"), 0);
  EXPECT_EQ(FindAirport(""), 0);
}

TEST_F(SampleLoadTest, NavaidRecordsKeepKindAndFrequencyToken) {
  int sea = FindNavaid("SEA", "VOR", 47.9, -122.0);
  ASSERT_GT(sea, 0);
  EXPECT_EQ(s.NavaidTable[sea].kind, "V");
  EXPECT_EQ(s.NavaidTable[sea].frequency_text, "116.80");
  EXPECT_EQ(s.NavaidTable[sea].name, "SEATTLE VORTAC");
  EXPECT_NEAR(s.NavaidTable[sea].latitude, 47.4353, 1e-9);
  int pwt = FindNavaid("PWT", "NDB", 47.2, -122.7);
  ASSERT_GT(pwt, 0);
  EXPECT_EQ(s.NavaidTable[pwt].kind, "N");
  EXPECT_EQ(s.NavaidTable[pwt].frequency_text, "378");
}

TEST_F(SampleLoadTest, FindNavaidMatchesIdentKindAndWholeDegreesOfLatitude) {
  // ELN: an NDB listed just before the VOR of the same ident.
  int ndb = FindNavaid("ELN", "NDB", 47.0, -120.0);
  int vor = FindNavaid("ELN", "VOR", 47.0, -120.0);
  ASSERT_GT(ndb, 0);
  EXPECT_EQ(vor, ndb + 1);
  EXPECT_EQ(FindNavaid("ELN", "", 47.9, 0.0), vor) << "an empty type finds the VOR only";
  EXPECT_EQ(FindNavaid("PWT", "", 47.5, 0.0), 0) << "an empty type does not find an NDB";
  EXPECT_EQ(FindNavaid("ELN", "INT", 47.5, 0.0), ndb) << "other types take the first of either kind";
  EXPECT_EQ(FindNavaid("ELN", "V", 47.1, 0.0), vor);
  EXPECT_EQ(FindNavaid("ELN", "N", 47.1, 0.0), ndb);
  EXPECT_EQ(FindNavaid("SEA", "VOR", 46.99, 0.0), 0) << "whole degrees differ";
  EXPECT_EQ(FindNavaid("SEA", "VOR", 48.0, 0.0), 0);
  EXPECT_EQ(FindNavaid("sea", "VOR", 47.4, 0.0), 0) << "idents compare exactly";
  EXPECT_EQ(FindNavaid("SEAX", "VOR", 47.4, 0.0), 0);
  EXPECT_EQ(FindNavaid("", "", 47.4, 0.0), 0);
  EXPECT_EQ(FindNavaid("SEA", "VOR", std::nan(""), 0.0), 0);
}

TEST_F(SampleLoadTest, AirwaysKeepFileOrderAndShareTheirPoints) {
  // V23 runs BTG .. BLI; its first line names BTG.
  const AirwayFix& first = s.AirwayFixTable[1];
  EXPECT_EQ(first.airway, "V23");
  EXPECT_EQ(s.AirwayPointTable[first.point].ident, "BTG");
  EXPECT_EQ(s.AirwayPointTable[first.point].kind, "I");
  // SEA lies on several airways but is one airway point.
  int sea_points = 0, sea_lines = 0;
  for (int i = 1; i <= s.AirwayPointCount; ++i) sea_points += s.AirwayPointTable[i].ident == "SEA";
  for (int i = 1; i <= s.AirwayFixCount; ++i)
    sea_lines += s.AirwayPointTable[s.AirwayFixTable[i].point].ident == "SEA";
  EXPECT_EQ(sea_points, 1);
  EXPECT_EQ(sea_lines, 5);
}

TEST_F(SampleLoadTest, IntersectionsHaveKindI) {
  ASSERT_GT(s.IntersectionCount, 50);
  bool found = false;
  for (int i = 1; i <= s.IntersectionCount; ++i) {
    const model::NavDbRecord& r = s.IntersectionTable[i];
    EXPECT_EQ(r.kind, "I");
    if (r.ident == "CHINS") {
      found = true;
      EXPECT_NEAR(r.latitude, 47.16, 1e-9);
      EXPECT_NEAR(r.longitude, -122.305, 1e-9);
    }
  }
  EXPECT_TRUE(found);
}

TEST_F(SampleLoadTest, ReloadReplacesTheTablesAndClearsTheLists) {
  FilterNearAirports(47.45, -122.3);
  ASSERT_GT(s.NearAirportCount, 0);
  LoadNavDatabase();
  EXPECT_EQ(s.AirportCount, 16);
  EXPECT_EQ(s.NavaidCount, 23);
  EXPECT_EQ(s.NearAirportCount, 0);
  EXPECT_EQ(s.NearListCenters[kNearAirportsCenter].latitude, kNoCenter);
}

// ---- user files and duplicates ----

TEST_F(NavdbTest, UserFilesComeFirstAndReplaceTheirMainEntries) {
  ScratchFolder dir;
  dir.Write("navs.txt",
            "AAA 10.0 20.0 V 0 110.00 MAIN A\n"
            "BBB 11.0 21.0 N 0 300 MAIN B\n");
  dir.Write("navs_user.txt", "AAA 10.001 20.001 V 0 111.00 USER A\n");
  dir.Write("apts.txt",
            "A XAAA 100 10.0 20.0 MAIN\nR 09 10.0 20.0 5000 90 - - ASP\n"
            "A XBBB 200 11.0 21.0 MAIN B\n");
  dir.Write("apts_user.txt", "A XAAA 150 10.5 20.5 USER\n");
  dir.Write("ints.txt", "FIXAA 1.0 2.0\nFIXBB 3.0 4.0 O\n");
  dir.Write("ints_user.txt", "FIXAA 1.0 2.0\n");
  dir.Write("awys.txt",
            "J1 FIXAA 1.0 2.0\nJ1 FIXBB 3.0 4.0\n"
            "J2 FIXBB 3.0 4.0\nJ2 FIXCC 5.0 6.0\n");
  dir.Write("awys_user.txt", "J1 FIXCC 5.0 6.0\nJ1 FIXAA 1.0 2.0\n");
  LoadNavDatabase();
  const State& s = navdb_state;
  ASSERT_EQ(s.NavaidCount, 2);
  EXPECT_EQ(s.NavaidTable[1].frequency_text, "111.00");
  EXPECT_EQ(s.NavaidTable[2].ident, "BBB");
  ASSERT_EQ(s.AirportCount, 2);
  EXPECT_EQ(s.AirportTable[1].airport_text, "150");
  EXPECT_EQ(s.AirportTable[2].ident, "XBBB");
  ASSERT_EQ(s.IntersectionCount, 2);
  EXPECT_EQ(s.IntersectionTable[2].kind, "O");
  // J1 comes from the user file only; J2 from the main file.
  ASSERT_EQ(s.AirwayFixCount, 4);
  EXPECT_EQ(s.AirwayFixTable[1].airway, "J1");
  EXPECT_EQ(s.AirwayPointTable[s.AirwayFixTable[1].point].ident, "FIXCC");
  EXPECT_EQ(s.AirwayPointTable[s.AirwayFixTable[2].point].ident, "FIXAA");
  EXPECT_EQ(s.AirwayFixTable[3].airway, "J2");
  EXPECT_EQ(s.AirwayFixTable[4].point, s.AirwayFixTable[1].point) << "FIXCC is one point";
  EXPECT_EQ(s.AirwayPointCount, 3);
  EXPECT_EQ(model::model_state.StatusMessageCount, 0) << StatusLog();
}

TEST_F(NavdbTest, DuplicatesWithinOneFileAreBadLines) {
  ScratchFolder dir;
  dir.Write("navs.txt",
            "AAA 10.0 20.0 V 0 110.00 FIRST\n"
            "AAA 10.0 20.0 V 0 110.00 AGAIN\n"
            "AAA 10.0 20.0 N 0 300 NDB SAME PLACE\n"
            "AAA 40.0 20.0 V 0 112.00 ELSEWHERE\n");
  dir.Write("apts.txt", "A XAAA 100 10.0 20.0\nA XAAA 100 10.0 20.0\n");
  LoadNavDatabase();
  EXPECT_EQ(navdb_state.NavaidCount, 3);
  EXPECT_EQ(navdb_state.AirportCount, 1);
  std::string log = StatusLog();
  EXPECT_NE(log.find("navs.txt: bad line 2 skipped"), std::string::npos) << log;
  EXPECT_NE(log.find("apts.txt: bad line 2 skipped"), std::string::npos) << log;
}

TEST_F(NavdbTest, MissingMainFilesAreReportedOnceAndLeaveTheDatabaseUnloaded) {
  ScratchFolder dir;
  LoadNavDatabase();
  LoadNavDatabase();
  EXPECT_EQ(navdb_state.AirportCount, 0);
  std::string log = StatusLog();
  EXPECT_EQ(model::model_state.StatusMessageCount, 4) << log;
  EXPECT_NE(log.find("navs.txt not found"), std::string::npos);
  EXPECT_NE(log.find("apts.txt not found"), std::string::npos);
  EXPECT_NE(log.find("ints.txt not found"), std::string::npos);
  EXPECT_NE(log.find("awys.txt not found"), std::string::npos);
}

// A main file that holds nothing but comments or blank lines is said once,
// as a missing one is; an empty user file is normal.
TEST_F(NavdbTest, EmptyMainFilesAreReportedOnce) {
  ScratchFolder dir;
  dir.Write("navs.txt", ";AIRAC 2401 25JAN21FEB/24\n\n");
  dir.Write("navs_user.txt", "");
  dir.Write("apts.txt", "A XAAA 100 10.0 20.0\n");
  dir.Write("ints.txt", "");
  dir.Write("awys.txt", "TOOLONGIDENTX A 1 2\n");  // a bad line is no empty file
  dir.Write("atc_bdry.txt", "; none\n");
  for (int i = 0; i < 2; ++i) {
    LoadNavDatabase();
    PrepareAtcBoundaries();
    LoadAtcBoundaries();  // the prepared reading
    LoadAtcBoundaries();  // a reading of its own
  }
  const std::string log = StatusLog();
  EXPECT_EQ(log, "navs.txt holds no data line\nints.txt holds no data line\nawys.txt: bad line 1 skipped\n"
                 "atc_bdry.txt holds no data line\nawys.txt: bad line 1 skipped\n");
}

TEST_F(NavdbTest, AFullTableStopsItsLoaderWithTheLimitText) {
  ScratchFolder dir;
  std::string navs;
  for (int i = 0; i < kMaxNavaids + 5; ++i) {
    navs += "N" + std::to_string(i) + " " + std::to_string(-80.0 + (i % 1600) * 0.1) + " " +
            std::to_string(-170.0 + (i / 1600) * 0.5) + " V 0 110.00\n";
  }
  dir.Write("navs.txt", navs);
  LoadNavDatabase();
  EXPECT_EQ(navdb_state.NavaidCount, kMaxNavaids);
  EXPECT_EQ(navdb_state.NavaidTable[kMaxNavaids + 1].ident, "") << "nothing beyond the capacity";
  EXPECT_NE(StatusLog().find("Navs '25000' approaching struct_limit"), std::string::npos) << StatusLog();
}

// ---- airway points ----

// Writes the files an airway load needs besides `airways`.
void WriteAirwayWorld(ScratchFolder& dir, const std::string& airways) {
  dir.Write("navs.txt", "AAA 10.0 20.0 V 0 110.00 A\n");
  dir.Write("apts.txt", "A XAAA 100 10.0 20.0 A\n");
  dir.Write("ints.txt", "FIXAA 1.0 2.0\n");
  dir.Write("awys.txt", airways);
}

// One point per ident and position to 1e-4 degrees, for idents of every
// length (a 9-byte ident shares its first 8 bytes with an 8-byte one) and
// at the corners of the world.
TEST_F(NavdbTest, AirwayPointsAreOnePerIdentAndPlaceAtEveryIdentLength) {
  struct Case {
    const char* line;
    int point;
  };
  const Case cases[] = {
      {"ABCDEFGH -90.0 -180.0", 1},
      {"ABCDEFGHI -90.0 -180.0", 2},
      {"ABCDEFGHIJ 90.0 180.0", 3},
      {"ABCDEFGHIJ 90.0 179.9999", 4},
      {"ABCDEFGHIJ 89.9999 180.0", 5},
      {"ABCDEFGHI -90.0 -180.0", 2},
      {"ABCDEFGHIJ 89.99996 180.0", 3},           // rounds to 90.0000
      {"ABCDEFGH -89.99996 -179.99996", 1},       // rounds to the corner
      {"ABCDEFGH 0.00004 -0.00004", 6},           // rounds to 0, 0
      {"ABCDEFGH 0.0 0.0", 6},
      {"ABCDEFGH 0.0001 0.0", 7},
      {"ABCDEFGHIK 90.0 180.0", 8},               // one byte from point 3
      {"ABCDEFGH -90.0 180.0", 9},                // across 180 from point 1
      {"A -90.0 -180.0", 10},
      {"ABCDEFGHIK 90.0 180.0", 8},
  };
  ScratchFolder dir;
  std::string airways;
  for (const Case& c : cases) airways += std::string("J1 ") + c.line + "\n";
  WriteAirwayWorld(dir, airways);
  LoadNavDatabase();
  const State& s = navdb_state;
  ASSERT_EQ(s.AirwayFixCount, static_cast<int>(std::size(cases)));
  EXPECT_EQ(s.AirwayPointCount, 10);
  for (int i = 1; i <= s.AirwayFixCount; ++i) {
    const Case& c = cases[i - 1];
    SCOPED_TRACE(c.line);
    EXPECT_EQ(s.AirwayFixTable[i].point, c.point);
    const std::string line = c.line;
    EXPECT_EQ(s.AirwayPointTable[s.AirwayFixTable[i].point].ident, line.substr(0, line.find(' ')));
  }
  EXPECT_EQ(model::model_state.StatusMessageCount, 0) << StatusLog();
}

// A file whose first reading window is all comments sizes the point index
// far too small: it grows while short and long idents are in it, and still
// finds every point again.
TEST_F(NavdbTest, AirwayPointsAreFoundAgainAfterTheIndexGrows) {
  constexpr int kPoints = 3000;
  std::string airways;
  while (airways.size() < 300 * 1024) airways += ";" + std::string(2000, 'c') + "\n";
  const auto point_line = [](const char* airway, int k) {
    char line[64];
    // Even k: a 10-byte ident, odd k: a 5-byte one; west and south of zero.
    std::snprintf(line, sizeof line, k % 2 == 0 ? "%s LONG%06d %.4f %.4f\n" : "%s S%04d %.4f %.4f\n", airway, k,
                  -45.0 + k * 0.01, -170.0 + k * 0.1);
    return std::string(line);
  };
  for (const char* airway : {"J2", "J3"})
    for (int k = 0; k < kPoints; ++k) airways += point_line(airway, k);
  ScratchFolder dir;
  WriteAirwayWorld(dir, airways);
  LoadNavDatabase();
  const State& s = navdb_state;
  ASSERT_EQ(s.AirwayFixCount, 2 * kPoints);
  ASSERT_EQ(s.AirwayPointCount, kPoints);
  for (int k = 0; k < kPoints; ++k) {
    ASSERT_EQ(s.AirwayFixTable[k + 1].point, k + 1) << k;
    ASSERT_EQ(s.AirwayFixTable[kPoints + k + 1].point, k + 1) << k;
  }
  EXPECT_EQ(s.AirwayPointTable[kPoints].ident, "S2999");
  EXPECT_EQ(s.AirwayPointTable[kPoints - 1].ident, "LONG002998");
}

}  // namespace
}  // namespace ovi::navdb
