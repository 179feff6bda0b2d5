// Near and map lists around positions of the sample region.
#include <cmath>

#include <gtest/gtest.h>

#include "src/host/module_state.h"
#include "src/navdb/navdb.h"
#include "tests/support/navdata_fixture.h"

namespace ovi::navdb {
namespace {

class NearListTest : public test::SampleRegionTest {
 protected:
  State& s = navdb_state;
};

bool Contains(const BoundedTable<model::NavDbRecord>& list, int count, const std::string& ident) {
  for (int i = 1; i <= count; ++i)
    if (list[i].ident == ident) return true;
  return false;
}

TEST_F(NearListTest, CentresStartUnset) {
  ResetModuleState();
  for (const LatLon& c : navdb_state.NearListCenters) {
    EXPECT_EQ(c.latitude, -999.0);
    EXPECT_EQ(c.longitude, -999.0);
  }
}

TEST_F(NearListTest, AroundSeattleEverythingIsNearAndOnlyCloseAirportsAreOnTheMap) {
  FilterNearAirports(47.45, -122.31);
  EXPECT_EQ(s.NearAirportCount, 16) << "the whole region lies within 600 NM";
  for (int i = 1; i <= s.NearAirportCount; ++i) EXPECT_EQ(s.NearAirportList[i].ident, s.AirportTable[i].ident);
  EXPECT_EQ(s.NearListCenters[kNearAirportsCenter].latitude, 47.45);
  EXPECT_EQ(s.NearListCenters[kNearAirportsCenter].longitude, -122.31);

  FilterMapAirports(47.45, -122.31);
  EXPECT_TRUE(Contains(s.MapAirportList, s.MapAirportCount, "KSEA"));
  EXPECT_TRUE(Contains(s.MapAirportList, s.MapAirportCount, "KPDX"));  // about 112 NM
  EXPECT_TRUE(Contains(s.MapAirportList, s.MapAirportCount, "KYKM"));
  EXPECT_FALSE(Contains(s.MapAirportList, s.MapAirportCount, "KGEG"));  // about 195 NM
  EXPECT_FALSE(Contains(s.MapAirportList, s.MapAirportCount, "KALW"));  // about 184 NM
  for (int i = 1; i <= s.MapAirportCount; ++i) {
    double d, c;
    ComputeDistanceAndBearing(47.45, -122.31, s.MapAirportList[i].latitude, s.MapAirportList[i].longitude, d, c);
    EXPECT_LE(d, 180.0);
    EXPECT_NEAR(s.MapAirportList[i].distance, d, 1e-9);
    EXPECT_NEAR(s.MapAirportList[i].bearing, c, 1e-9);
  }
  EXPECT_EQ(s.NearListCenters[kMapAirportsCenter].latitude, 47.45);

  FilterNearNavaids(47.45, -122.31);
  FilterMapNavaids(47.45, -122.31);
  EXPECT_EQ(s.NearNavaidCount, 23);
  EXPECT_TRUE(Contains(s.MapNavaidList, s.MapNavaidCount, "GEG"));  // 320 NM reach
  FilterNearAirwayPoints(47.45, -122.31);
  FilterMapAirwayPoints(47.45, -122.31);
  EXPECT_EQ(s.NearAirwayPointCount, s.AirwayPointCount);
  EXPECT_TRUE(Contains(s.MapAirwayPointList, s.MapAirwayPointCount, "ALKIA"));
  EXPECT_TRUE(Contains(s.MapAirwayPointList, s.MapAirwayPointCount, "PDT"));   // about 174 NM
  FilterMapAirwayPoints(47.62, -117.53);  // Spokane, from the same near list
  EXPECT_TRUE(Contains(s.MapAirwayPointList, s.MapAirwayPointCount, "MEDLK"));
  EXPECT_FALSE(Contains(s.MapAirwayPointList, s.MapAirwayPointCount, "HQM"));  // about 280 NM
}

TEST_F(NearListTest, FarAwayTheListsAreEmpty) {
  FilterNearAirports(40.64, -73.78);  // New York, about 2100 NM away
  FilterMapAirports(40.64, -73.78);
  FilterNearNavaids(40.64, -73.78);
  EXPECT_EQ(s.NearAirportCount, 0);
  EXPECT_EQ(s.MapAirportCount, 0);
  EXPECT_EQ(s.NearNavaidCount, 0);
  // Spokane: Seattle is just beyond the map radius, Felts Field close by.
  FilterNearAirports(47.62, -117.53);
  FilterMapAirports(47.62, -117.53);
  EXPECT_TRUE(Contains(s.MapAirportList, s.MapAirportCount, "KSFF"));
  EXPECT_FALSE(Contains(s.MapAirportList, s.MapAirportCount, "KSEA"));
  for (int i = 2; i <= s.MapAirportCount; ++i) {
    EXPECT_LT(FindAirport(s.MapAirportList[i - 1].ident), FindAirport(s.MapAirportList[i].ident))
        << "table order is kept";
  }
}

TEST_F(NearListTest, MapLayersRebuildOnlyAfterMovingFarEnough) {
  KeepNearListsCurrent(NearKind::kNavaids, 47.45, -122.31);
  EXPECT_EQ(s.NearListCenters[kNearNavaidsCenter].latitude, 47.45);
  EXPECT_EQ(s.NearListCenters[kMapNavaidsCenter].latitude, 47.45);
  // 40 NM north: nothing is rebuilt.
  KeepNearListsCurrent(NearKind::kNavaids, 48.1166, -122.31);
  EXPECT_EQ(s.NearListCenters[kMapNavaidsCenter].latitude, 47.45);
  // 60 NM: the map list follows, the near list stays.
  KeepNearListsCurrent(NearKind::kNavaids, 48.45, -122.31);
  EXPECT_EQ(s.NearListCenters[kNearNavaidsCenter].latitude, 47.45);
  EXPECT_EQ(s.NearListCenters[kMapNavaidsCenter].latitude, 48.45);
  // 210 NM from the first centre: both.
  KeepNearListsCurrent(NearKind::kNavaids, 50.95, -122.31);
  EXPECT_EQ(s.NearListCenters[kNearNavaidsCenter].latitude, 50.95);
  EXPECT_EQ(s.NearListCenters[kMapNavaidsCenter].latitude, 50.95);
  // Other kinds untouched.
  EXPECT_EQ(s.NearListCenters[kNearAirportsCenter].latitude, kNoCenter);
  KeepNearListsCurrent(NearKind::kAirwayPoints, 47.0, -121.0);
  EXPECT_EQ(s.NearListCenters[kNearAirwayPointsCenter].latitude, 47.0);
  EXPECT_EQ(s.NearListCenters[kMapAirwayPointsCenter].latitude, 47.0);
  KeepNearListsCurrent(NearKind::kAirports, 47.0, -121.0);
  EXPECT_EQ(s.NearListCenters[kMapAirportsCenter].latitude, 47.0);
}

TEST_F(NearListTest, APositionThatIsNoNumberLeavesTheListsToBeBuiltAtTheNextGoodOne) {
  const double nan = std::nan("");
  FilterNearNavaids(nan, -122.31);
  FilterMapNavaids(47.45, nan);
  EXPECT_EQ(s.NearNavaidCount, 0);
  EXPECT_EQ(s.MapNavaidCount, 0);
  EXPECT_EQ(s.NearListCenters[kNearNavaidsCenter].latitude, kNoCenter);
  EXPECT_EQ(s.NearListCenters[kMapNavaidsCenter].longitude, kNoCenter);
  KeepNearListsCurrent(NearKind::kNavaids, nan, nan);  // nothing to build around
  EXPECT_EQ(s.NearNavaidCount, 0);
  KeepNearListsCurrent(NearKind::kNavaids, 47.45, -122.31);
  EXPECT_EQ(s.NearNavaidCount, 23);
  EXPECT_GT(s.MapNavaidCount, 0);
  EXPECT_EQ(s.NearListCenters[kNearNavaidsCenter].latitude, 47.45);
}

}  // namespace
}  // namespace ovi::navdb

namespace ovi::navdb {
namespace {

using CrowdedListTest = test::ModuleTest;

TEST_F(CrowdedListTest, KeepsTheNearestInTableOrder) {
  test::ScratchFolder dir;
  // 3600 airports on rings around (45, 10): ring k (k = 0..59) at k * 5 NM,
  // listed from the outermost ring inwards.
  std::string apts;
  int n = 0;
  for (int k = 59; k >= 0; --k) {
    for (int j = 0; j < 60; ++j) {
      double lat, lon;
      ProjectPosition(45.0, 10.0, j * 6.0, k * 5.0 + 0.5, lat, lon);
      apts += "A X" + std::to_string(n++) + " 0 " + std::to_string(lat) + " " + std::to_string(lon) + "\n";
    }
  }
  dir.Write("apts.txt", apts);
  LoadNavDatabase();
  const State& s = navdb_state;
  ASSERT_EQ(s.AirportCount, 3600);
  FilterNearAirports(45.0, 10.0);
  ASSERT_EQ(s.NearAirportCount, 3000);
  // The 600 left out are the outermost ten rings, the first 600 of the file.
  EXPECT_EQ(s.NearAirportList[1].ident, "X600");
  EXPECT_EQ(s.NearAirportList[3000].ident, "X3599");
  for (int i = 2; i <= s.NearAirportCount; ++i)
    ASSERT_GT(s.NearAirportList[i].distance, 0.0);
  FilterMapAirports(45.0, 10.0);
  ASSERT_EQ(s.MapAirportCount, 1000);
  // Rings 0..15 (960 airports, the last of the file) and 40 of ring 16.
  EXPECT_EQ(s.MapAirportList[41].ident, "X2640");
  EXPECT_EQ(s.MapAirportList[1000].ident, "X3599");
  for (int i = 1; i <= 40; ++i) EXPECT_NEAR(s.MapAirportList[i].distance, 80.5, 0.01);
}

}  // namespace
}  // namespace ovi::navdb
