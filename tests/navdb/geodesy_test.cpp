// Great-circle geodesy, the map-screen offsets and the position texts.
#include <cmath>

#include <gtest/gtest.h>

#include "src/navdb/navdb.h"
#include "tests/support/navdata_fixture.h"

namespace ovi::navdb {
namespace {

using NavdbTest = test::ModuleTest;

constexpr double kLaxLat = 33.9425, kLaxLon = -118.4081;
constexpr double kJfkLat = 40.6398, kJfkLon = -73.7789;

TEST_F(NavdbTest, KnownGreatCircles) {
  double d, c;
  ComputeDistanceAndBearing(kLaxLat, kLaxLon, kJfkLat, kJfkLon, d, c);
  EXPECT_NEAR(d, 2144.0, 2.0);
  EXPECT_NEAR(c, 65.9, 0.5);
  EXPECT_EQ(navdb_state.CalcDistance, d);
  EXPECT_EQ(navdb_state.CalcBearing, c);
  EXPECT_EQ(navdb_state.ScratchDistance, d);

  ComputeDistanceAndBearing(kJfkLat, kJfkLon, kLaxLat, kLaxLon, d, c);
  EXPECT_NEAR(d, 2144.0, 2.0);
  EXPECT_NEAR(c, 273.7, 0.5);

  // One degree of latitude is 60 NM on this earth radius.
  ComputeDistanceAndBearing(10.0, 20.0, 11.0, 20.0, d, c);
  EXPECT_NEAR(d, 60.0, 0.01);
  ComputeDistanceAndBearing(0.0, 0.0, 0.0, 1.0, d, c);
  EXPECT_NEAR(d, 60.0, 0.01);
  EXPECT_NEAR(c, 90.0, 1e-9);
  ComputeDistanceAndBearing(0.0, 0.0, -1.0, 0.0, d, c);
  EXPECT_NEAR(c, 180.0, 1e-9);
  ComputeDistanceAndBearing(0.0, 1.0, 0.0, 0.0, d, c);
  EXPECT_NEAR(c, 270.0, 1e-9);
  // Across the date line.
  ComputeDistanceAndBearing(0.0, 179.5, 0.0, -179.5, d, c);
  EXPECT_NEAR(d, 60.0, 0.01);
  EXPECT_NEAR(c, 90.0, 1e-6);
}

TEST_F(NavdbTest, CoursesWithIntegerPartZeroReadAs360) {
  double d, c;
  ComputeDistanceAndBearing(10.0, 20.0, 11.0, 20.0, d, c);  // due north
  EXPECT_EQ(c, 360.0);
  ComputeDistanceAndBearing(10.0, 20.0, 11.0, 20.01, d, c);  // about 0.6 degrees
  EXPECT_EQ(c, 360.0);
  ComputeDistanceAndBearing(10.0, 20.0, 11.0, 20.02, d, c);  // about 1.1 degrees
  EXPECT_GT(c, 1.0);
  EXPECT_LT(c, 1.2);
  ComputeDistanceAndBearing(10.0, 20.0, 11.0, 19.99, d, c);  // just west of north
  EXPECT_GT(c, 359.0);
  EXPECT_LT(c, 360.0);
}

TEST_F(NavdbTest, DegenerateGreatCirclesGiveNumbers) {
  double d, c;
  ComputeDistanceAndBearing(47.4353, -122.3097, 47.4353, -122.3097, d, c);
  EXPECT_EQ(d, 0.0);
  EXPECT_EQ(c, 360.0);
  ComputeDistanceAndBearing(45.0, 10.0, -45.0, -170.0, d, c);  // antipodes
  EXPECT_FALSE(std::isnan(d));
  EXPECT_NEAR(d, kEarthRadiusNm * 3.14159265358979, 1e-3);
  EXPECT_FALSE(std::isnan(c));
  ComputeDistanceAndBearing(90.0, 0.0, -90.0, 0.0, d, c);
  EXPECT_NEAR(d, kEarthRadiusNm * 3.14159265358979, 1e-3);
}

TEST_F(NavdbTest, ProjectPositionInvertsTheGreatCircle) {
  const double courses[] = {0.0, 45.0, 90.0, 135.0, 200.0, 271.0, 359.0};
  for (double crs : courses) {
    double lat, lon, d, c;
    ProjectPosition(kLaxLat, kLaxLon, crs, 250.0, lat, lon);
    ComputeDistanceAndBearing(kLaxLat, kLaxLon, lat, lon, d, c);
    EXPECT_NEAR(d, 250.0, 1e-6) << crs;
    EXPECT_NEAR(std::fmod(c, 360.0), crs, 1e-6) << crs;
  }
  double lat, lon, d, c;
  ComputeDistanceAndBearing(kLaxLat, kLaxLon, kJfkLat, kJfkLon, d, c);
  ProjectPosition(kLaxLat, kLaxLon, c, d, lat, lon);
  EXPECT_NEAR(lat, kJfkLat, 1e-6);
  EXPECT_NEAR(lon, kJfkLon, 1e-6);
  // Longitudes wrap into -180..180; a zero distance stays put.
  ProjectPosition(0.0, 179.9, 90.0, 60.0, lat, lon);
  EXPECT_NEAR(lon, -179.1, 1e-6);
  ProjectPosition(12.5, -33.0, 123.0, 0.0, lat, lon);
  EXPECT_NEAR(lat, 12.5, 1e-12);
  EXPECT_NEAR(lon, -33.0, 1e-12);
  ProjectPosition(std::nan(""), 0.0, 0.0, 10.0, lat, lon);  // garbage in, no crash
}

TEST_F(NavdbTest, BearingOffsetToScreenTurnsClockwiseFromUp) {
  double x, y;
  BearingOffsetToScreen(0.0, 90.0, 100.0, 100.0, 50.0, x, y);
  EXPECT_NEAR(x, 150.0, 1e-9);
  EXPECT_NEAR(y, 100.0, 1e-9);
  BearingOffsetToScreen(90.0, 90.0, 0.0, 0.0, 10.0, x, y);  // straight ahead is up
  EXPECT_NEAR(x, 0.0, 1e-9);
  EXPECT_NEAR(y, -10.0, 1e-9);
  BearingOffsetToScreen(350.0, 10.0, 0.0, 0.0, 10.0, x, y);  // 20 degrees right, across north
  EXPECT_NEAR(x, 10.0 * std::sin(20.0 * 3.14159265358979 / 180.0), 1e-9);
  BearingOffsetToScreen(10.0, 350.0, 0.0, 0.0, 10.0, x, y);  // 20 degrees left
  EXPECT_NEAR(x, -10.0 * std::sin(20.0 * 3.14159265358979 / 180.0), 1e-9);
  BearingOffsetToScreen(0.0, 180.0, 0.0, 0.0, 10.0, x, y);
  EXPECT_NEAR(y, 10.0, 1e-9);
}

TEST_F(NavdbTest, BearingOffsetToScreenIntTruncatesTowardZero) {
  int x, y;
  // sin 30 = 0.5: 9.9 * 0.5 = 4.95 -> 4; cos 30 * 9.9 = 8.57 -> 8.
  BearingOffsetToScreenInt(0.0, 30.0, 100, 100, 9.9, x, y);
  EXPECT_EQ(x, 104);
  EXPECT_EQ(y, 92);
  BearingOffsetToScreenInt(0.0, 210.0, 100, 100, 9.9, x, y);  // both offsets negative
  EXPECT_EQ(x, 96);
  EXPECT_EQ(y, 108);
  BearingOffsetToScreenInt(0.0, 45.0, 0, 0, std::nan(""), x, y);
  EXPECT_EQ(x, 0);
  EXPECT_EQ(y, 0);
  BearingOffsetToScreenInt(0.0, 90.0, 0, 0, 1e300, x, y);  // bounded, no overflow
  EXPECT_GT(x, 0);
}

TEST_F(NavdbTest, FormatLatLonDmsPadsEveryFieldBelowTen) {
  std::string lat, lon;
  FormatLatLonDms(33.6228, 111.9103, 1, lat, lon);  // west positive
  EXPECT_EQ(lat, "N33:37:22");
  EXPECT_EQ(lon, "W111:54:37");
  FormatLatLonDms(-5.0175, -8.5, 1, lat, lon);
  EXPECT_EQ(lat, "S05:01:03");
  EXPECT_EQ(lon, "E08:30:00");
  FormatLatLonDms(0.0, 0.0, 1, lat, lon);
  EXPECT_EQ(lat, "N00:00:00");
  EXPECT_EQ(lon, "W00:00:00");
  FormatLatLonDms(47.5, 122.25, 1, lat, lon);
  EXPECT_EQ(lat, "N47:30:00");
  EXPECT_EQ(lon, "W122:15:00");
  FormatLatLonDms(std::nan(""), 1e300, 1, lat, lon);  // bounded texts
  EXPECT_LE(lat.size(), 12u);
  EXPECT_LE(lon.size(), 12u);
}

}  // namespace
}  // namespace ovi::navdb
