// Kept great-circle places against places worked out afresh: the same bits
// across the antimeridian, near the poles, west and south of zero, and
// after every step of a seeded random walk that moves the aircraft by one
// unit of the data (a millionth of a degree), turns the map and edits the
// fixed points.
#include <gtest/gtest.h>

#include <cstddef>
#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "src/display/map_projection.h"

namespace ovi::display {
namespace {

constexpr double kUnit = 1e-6;  // degrees: the finest step of the data files

struct Geo {
  double lat, lon;
};

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// The place of `to` seen from `from` on a map whose top is `up`, compared
// with what the module's own sums give from scratch.
void ExpectFresh(const GeoMemo::Place& kept, Geo from, Geo to, double up, const char* where) {
  double distance = 0.0, course = 0.0;
  navdb::ComputeDistanceAndBearing(from.lat, from.lon, to.lat, to.lon, distance, course);
  EXPECT_TRUE(SameBits(kept.distance, distance)) << where << ": " << kept.distance << " vs " << distance;
  EXPECT_TRUE(SameBits(kept.course, course)) << where << ": " << kept.course << " vs " << course;
  // Two pixel scales: the smallest and the largest range.
  for (double length : {distance * 240.0, distance * 0.4}) {
    double x = 0.0, y = 0.0, kx = 0.0, ky = 0.0;
    navdb::BearingOffsetToScreen(up, course, 122.5, 249.5, length, x, y);
    GeoMemo::Offset(kept, 122.5, 249.5, length, kx, ky);
    EXPECT_TRUE(SameBits(kx, x) && SameBits(ky, y)) << where << ": (" << kx << ", " << ky << ") vs (" << x << ", "
                                                    << y << ")";
    int ix = 0, iy = 0, kix = 0, kiy = 0;
    navdb::BearingOffsetToScreenInt(up, course, 122, 249, length, ix, iy);
    GeoMemo::OffsetInt(kept, 122, 249, length, kix, kiy);
    EXPECT_EQ(kix, ix) << where;
    EXPECT_EQ(kiy, iy) << where;
  }
}

struct Case {
  const char* name;
  Geo from, to;
  double up;
};

const Case kCases[] = {
    {"east across 180", {-16.5, 179.8}, {-17.2, -179.6}, 95.0},
    {"west across 180", {51.0, -179.95}, {52.3, 179.7}, 271.0},
    {"on 180 itself", {0.0, 180.0}, {0.5, -180.0}, 0.0},
    {"near the north pole", {89.9, 10.0}, {89.7, -170.0}, 350.0},
    {"near the south pole", {-89.95, -45.0}, {-89.5, 135.0}, 180.0},
    {"west and south of zero", {-0.2, -0.3}, {0.4, 0.1}, 359.5},
    {"the same point", {47.4, -122.3}, {47.4, -122.3}, 170.0},
    {"due north, up 360", {-10.0, -20.0}, {-9.0, -20.0}, 360.0},
};

TEST(GeoMemo, KeptPlacesAreTheFreshOnes) {
  for (const Case& c : kCases) {
    GeoMemo memo;
    memo.Begin(c.from.lat, c.from.lon, c.up);
    ExpectFresh(memo.At(3, c.to.lat, c.to.lon), c.from, c.to, c.up, c.name);
    // The next picture from the same place: the kept one.
    memo.Begin(c.from.lat, c.from.lon, c.up);
    ExpectFresh(memo.At(3, c.to.lat, c.to.lon), c.from, c.to, c.up, c.name);
    EXPECT_EQ(memo.Slots(), 4u);
    // One data unit further on (east, across 180 where it lies on it): a
    // new place, not the one kept.
    const Geo moved{c.from.lat, c.from.lon + kUnit};
    memo.Begin(moved.lat, moved.lon, c.up);
    ExpectFresh(memo.At(3, c.to.lat, c.to.lon), moved, c.to, c.up, c.name);
  }
}

// The distance and course alone (a caller deciding whether to place a
// point) are the fresh ones, and the screen angle asked for afterwards, in
// a map turned since, is the fresh one too.
TEST(GeoMemo, CourseAloneThenTheScreenAngle) {
  for (const Case& c : kCases) {
    GeoMemo memo;
    memo.Begin(c.from.lat, c.from.lon, c.up);
    double distance = 0.0, course = 0.0;
    navdb::ComputeDistanceAndBearing(c.from.lat, c.from.lon, c.to.lat, c.to.lon, distance, course);
    const GeoMemo::Place& alone = memo.Course(5, c.to.lat, c.to.lon);
    EXPECT_TRUE(SameBits(alone.distance, distance) && SameBits(alone.course, course)) << c.name;
    ExpectFresh(memo.At(5, c.to.lat, c.to.lon), c.from, c.to, c.up, c.name);
    const double turned = std::fmod(c.up + 181.5, 360.0);
    memo.Begin(c.from.lat, c.from.lon, turned);
    memo.Course(5, c.to.lat, c.to.lon);
    ExpectFresh(memo.At(5, c.to.lat, c.to.lon), c.from, c.to, turned, c.name);
  }
}

TEST(GeoMemo, OneDataUnitMovesThePlace) {
  // The move is one the sums see: a memo that held its places over it
  // would be caught by the comparison above.
  double d0 = 0.0, d1 = 0.0, course = 0.0;
  navdb::ComputeDistanceAndBearing(-16.5, 179.8, -17.2, -179.6, d0, course);
  navdb::ComputeDistanceAndBearing(-16.5, 179.8 + kUnit, -17.2, -179.6, d1, course);
  EXPECT_FALSE(SameBits(d0, d1));
}

TEST(GeoMemo, SeededWalkKeepsEverySlotFresh) {
  std::mt19937 rng(44);
  auto real = [&](double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); };
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  // Points about the antimeridian in the far south, where both the
  // longitudes' wrap and the meridians' crowding show.
  constexpr std::size_t kSpread = 1023;
  std::vector<Geo> points(40);
  for (Geo& p : points) p = {real(-80.0, -60.0), real(-180.0, 180.0)};
  Geo from{-70.0, 179.9999985};
  double up = 0.0;
  GeoMemo memo;
  for (int step = 0; step < 400; ++step) {
    switch (pick(0, 5)) {
      case 0: break;  // standing still
      case 1: from.lon += kUnit * pick(-2, 2); break;
      case 2: from.lat += kUnit * pick(-1, 1); break;
      case 3: up = pick(0, 3) == 0 ? up : real(0.0, 360.0); break;
      case 4: points[static_cast<std::size_t>(pick(0, 39))].lon += kUnit; break;
      default: points.resize(static_cast<std::size_t>(pick(30, 40)), Geo{-65.0, -179.0}); break;  // list rebuilt
    }
    if (from.lon > 180.0) from.lon -= 360.0;
    memo.Begin(from.lat, from.lon, up);
    // Slots spread out as a table's are (gaps never used, neighbours on
    // both sides of the storage's block edges).
    for (std::size_t i = 0; i < points.size(); ++i) {
      const GeoMemo::Place& kept = memo.At(i * kSpread, points[i].lat, points[i].lon);
      ExpectFresh(kept, from, points[i], up, "walk");
      if (::testing::Test::HasFailure()) FAIL() << "step " << step << ", slot " << i;
    }
  }
  EXPECT_EQ(memo.Slots(), 39 * kSpread + 1);
}

// With the map's scale, places kept from a reference a little way back lie
// within GeoMemo::kKeptPixels of the fresh ones: a flight's steps (a frame
// at 300 kt, now and then a jump) at the largest and the smallest range,
// over mid-latitudes, across 180 and near the pole, the places up to 3000 NM
// away (beyond what a map draws).
TEST(GeoMemo, KeptWhileTheMoveStaysUnderTheTolerance) {
  struct Flight {
    const char* name;
    Geo start;
    double course;          // degrees true
    double pixels_per_nm;   // 230 pixels of radius over the range
  };
  const Flight flights[] = {
      {"south-east at 160 NM", {49.5, 8.0}, 170.0, 230.0 / 160.0},
      {"east across 180 at 160 NM", {-41.0, 179.995}, 90.0, 230.0 / 160.0},
      {"north-west at 0.5 NM", {-33.9, -70.6}, 315.0, 230.0 / 0.5},
      {"about the pole at 40 NM", {89.93, -120.0}, 80.0, 230.0 / 40.0},
  };
  for (const Flight& f : flights) {
    std::mt19937 rng(4404);
    auto real = [&](double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); };
    std::vector<Geo> points(30);
    for (Geo& p : points) {
      double lat = 0.0, lon = 0.0;
      navdb::ProjectPosition(f.start.lat, f.start.lon, real(0.0, 360.0), real(0.1, 3000.0), lat, lon);
      p = {lat, lon};
    }
    GeoMemo memo;
    Geo at = f.start;
    int kept_steps = 0;
    for (int step = 0; step < 300; ++step) {
      const double nm = step % 50 == 49 ? 0.2 : 300.0 / 3600.0 / 60.0;  // a frame at 60 a second, or a jump
      navdb::ProjectPosition(at.lat, at.lon, f.course, nm, at.lat, at.lon);
      memo.Begin(at.lat, at.lon, 20.0, f.pixels_per_nm);
      bool kept = false;
      for (std::size_t i = 0; i < points.size(); ++i) {
        const GeoMemo::Place& place = memo.At(i, points[i].lat, points[i].lon);
        double distance = 0.0, course = 0.0;
        navdb::ComputeDistanceAndBearing(at.lat, at.lon, points[i].lat, points[i].lon, distance, course);
        kept = kept || !SameBits(place.distance, distance);
        double x = 0.0, y = 0.0, kx = 0.0, ky = 0.0;
        navdb::BearingOffsetToScreen(20.0, course, 0.0, 0.0, distance * f.pixels_per_nm, x, y);
        GeoMemo::Offset(place, 0.0, 0.0, place.distance * f.pixels_per_nm, kx, ky);
        ASSERT_LE(std::hypot(kx - x, ky - y), GeoMemo::kKeptPixels * 1.01)
            << f.name << ", step " << step << ", point " << i << " at " << distance << " NM";
      }
      kept_steps += kept;
    }
    // Steps that kept their places: the flight at 160 NM keeps most; each
    // jump, and at short range or about the pole most steps, work afresh.
    if (f.pixels_per_nm < 2.0) {
      EXPECT_GT(kept_steps, 200) << f.name;
    }
  }
}

// One unit of the data at the smallest range is kept (0.028 pixels), ten of
// them are not; a move across 180 counts the short way round; near the pole
// the turn of north decides.
TEST(GeoMemo, DataUnitsAtTheSmallestRange) {
  constexpr double kPixelsPerNm = 230.0 / 0.5;
  struct Move {
    const char* name;
    Geo from, to;
    bool kept;
  };
  const Move moves[] = {
      {"one unit north", {-10.0, -20.0}, {-10.0 + kUnit, -20.0}, true},
      {"ten units north", {-10.0, -20.0}, {-10.0 + 10 * kUnit, -20.0}, false},
      {"one unit east over 180", {0.0, 180.0 - kUnit / 2}, {0.0, -180.0 + kUnit / 2}, true},
      // North turns by a unit times sin 89.99: 0.043 pixels 5400 NM away.
      {"near the pole, one unit east", {89.99, 10.0}, {89.99, 10.0 + kUnit}, true},
      {"near the pole, two units east", {89.99, 10.0}, {89.99, 10.0 + 2 * kUnit}, false},
  };
  for (const Move& m : moves) {
    GeoMemo memo;
    // 90 NM away: far enough for the sums to see a unit's move.
    const Geo point{m.from.lat - 1.5, m.from.lon + 0.003};
    memo.Begin(m.from.lat, m.from.lon, 0.0, kPixelsPerNm);
    const GeoMemo::Place before = memo.At(0, point.lat, point.lon);
    memo.Begin(m.to.lat, m.to.lon, 0.0, kPixelsPerNm);
    const GeoMemo::Place& place = memo.At(0, point.lat, point.lon);
    EXPECT_EQ(SameBits(place.distance, before.distance) && SameBits(place.course, before.course), m.kept) << m.name;
    if (!m.kept) ExpectFresh(place, m.to, point, 0.0, m.name);
  }
}

TEST(GeoMemo, SwitchedOffEveryPlaceIsWorkedAfresh) {
  detail::UseGeoMemo(false);
  GeoMemo memo;
  memo.Begin(10.0, 20.0, 45.0);
  ExpectFresh(memo.At(0, 11.0, 21.0), {10.0, 20.0}, {11.0, 21.0}, 45.0, "off");
  memo.Begin(10.0, 20.0, 45.0);
  ExpectFresh(memo.At(0, 11.0, 21.0), {10.0, 20.0}, {11.0, 21.0}, 45.0, "off, again");
  detail::UseGeoMemo(true);
}

}  // namespace
}  // namespace ovi::display
