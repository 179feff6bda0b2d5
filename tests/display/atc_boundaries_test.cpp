// ATC boundaries: points kept and boundaries skipped by the distance of
// their first point, open outlines, labels cut to three characters, the
// map's rotation, and the load on first use. The aircraft is south of the
// equator near 170 degrees west; along a meridian one degree is 60 NM.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "src/display/map_overlays.h"
#include "src/guidance/state.h"
#include "src/host/module_state.h"
#include "src/navdb/navdb.h"
#include "src/navdb/state.h"
#include "tests/display/recording.h"
#include "tests/support/navdata_fixture.h"

namespace ovi::display {
namespace {

using gfx::OpKind;

constexpr gfx::ARGB kBoundary = 0xFF979700;
constexpr double kLat = -10.0, kLon = -170.0;
// Radius 100 at range 50: 2 pixels per NM.
constexpr int kCx = 150, kCy = 150;

struct Pt {
  double lat, lon;
};

class AtcBoundariesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetModuleState();
    guidance::guidance_state.PlaneLatitude = kLat;
    guidance::guidance_state.PlaneLongitude = kLon;
  }
  static void Add(const char* name, const char* label, std::vector<Pt> points, Pt label_at = {kLat, kLon}) {
    navdb::State& n = navdb::navdb_state;
    model::AtcBoundary& b = n.AtcBoundaryTable[++n.AtcBoundaryCount];
    b.name = name;
    b.label = label;
    b.label_latitude = label_at.lat;
    b.label_longitude = label_at.lon;
    for (const Pt& p : points) {
      b.points[++b.point_count] = {p.lat, p.lon};
      ++n.AtcBoundaryPointCount;
    }
  }
  // A point `nm` north (negative: south) of the aircraft.
  static Pt North(double nm) { return {kLat + nm / 60.0, kLon}; }
  void Draw(double rotation = 0.0) {
    r.rec.Clear();
    gfx::Graphics g(&r.dc);
    DrawAtcBoundaries(g, 100, kCx, kCy, 50.0, rotation);
  }
  std::vector<std::string> Labels() const {
    std::vector<std::string> out;
    for (const auto& t : r.rec.Texts()) out.push_back(t.text);
    return out;
  }

  test::Recording r;
};

TEST_F(AtcBoundariesTest, NearOutlineIsDrawnOpenWithItsLabelCut) {
  const double east10 = 10.0 / (60.0 * 0.98480775);  // 10 NM east at 10 degrees south
  Add("NEAR", "ABCD", {North(10), {kLat, kLon + east10}, North(-10)});
  Draw();
  auto outlines = r.rec.Find(OpKind::Lines);
  ASSERT_EQ(outlines.size(), 1u);
  EXPECT_EQ(outlines[0]->color, kBoundary);
  EXPECT_FLOAT_EQ(outlines[0]->pen_width, 1.0f);
  ASSERT_EQ(outlines[0]->points.size(), 3u);  // not closed back to point 1
  const std::vector<std::pair<double, double>> want = {{150, 130}, {170, 150}, {150, 170}};
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_NEAR(outlines[0]->points[i].X, want[i].first, 1.0) << i;
    EXPECT_NEAR(outlines[0]->points[i].Y, want[i].second, 1.0) << i;
  }
  gfx::Recorder::TextItem t;
  ASSERT_TRUE(r.rec.FindText("ABC", &t));
  EXPECT_FLOAT_EQ(t.x, 135);  // 15 left of the label point
  EXPECT_FLOAT_EQ(t.y, 150);
  EXPECT_EQ(t.color, kBoundary);
  EXPECT_EQ(t.font_family, "DA Rered");
  EXPECT_FLOAT_EQ(t.font_size, 14);
  EXPECT_EQ(t.font_style, gfx::FontStyleBold);

  // The map turned 90 degrees: east is up.
  Draw(90);
  outlines = r.rec.Find(OpKind::Lines);
  ASSERT_EQ(outlines.size(), 1u);
  EXPECT_NEAR(outlines[0]->points[1].X, 150, 1.0);
  EXPECT_NEAR(outlines[0]->points[1].Y, 130, 1.0);
  EXPECT_NEAR(outlines[0]->points[0].X, 130, 1.0);
}

TEST_F(AtcBoundariesTest, TheFirstPointDecidesWhetherABoundaryIsDrawn) {
  // Each boundary's first point lies north across the equator at the given
  // distance; its other point is close by.
  struct Case {
    const char* name;
    double first_nm;
    bool drawn;
  };
  const std::vector<Case> cases = {
      {"FAR", 1200, false},     {"NZ00084", 1200, true}, {"EDGE", 999.999, true},  {"OVER", 1000.001, false},
      {"YB00001", 4999.99, true}, {"YB00001", 5000.01, false}, {"YM00142", 3000, true}, {"ZZ00142", 3000, false},
  };
  for (const Case& c : cases) {
    ResetModuleState();
    guidance::guidance_state.PlaneLatitude = kLat;
    guidance::guidance_state.PlaneLongitude = kLon;
    Add(c.name, "L", {North(c.first_nm), North(5)});
    Draw();
    EXPECT_EQ(r.rec.Count(OpKind::Lines), c.drawn ? 1 : 0) << c.name << " " << c.first_nm;
    EXPECT_EQ(r.rec.CountText("L"), c.drawn ? 1 : 0) << c.name << " " << c.first_nm;
  }
}

TEST_F(AtcBoundariesTest, OnlyTheFirstPointIsTested) {
  // A near first point keeps a far second one; a one-point boundary shows
  // its label alone; the boundaries after a skipped one are still drawn.
  Add("A", "A", {North(5), North(2000)});
  Add("B", "B", {North(1500), North(5)});
  Add("C", "C", {North(3)});
  Add("D", "D", {North(1), North(2), North(4)});
  Draw();
  EXPECT_EQ(Labels(), (std::vector<std::string>{"A", "C", "D"}));
  auto outlines = r.rec.Find(OpKind::Lines);
  ASSERT_EQ(outlines.size(), 2u);
  EXPECT_NEAR(outlines[0]->points[1].Y, 150 - 4000, 1.0);
  EXPECT_EQ(outlines[1]->points.size(), 3u);
}

TEST_F(AtcBoundariesTest, LoadsOnFirstUseAndAgainWhileNothingLoaded) {
  navdb::test::ScratchFolder folder;
  Draw();  // no file yet
  EXPECT_EQ(r.rec.Size(), 0u);
  EXPECT_EQ(navdb::navdb_state.AtcBoundaryPointCount, 0);
  folder.Write("atc_bdry.txt", "KZSE SEA 2 -10.0 -170.0\n-9.9 -170.0\n-10.1 -170.0\n");
  Draw();
  EXPECT_EQ(navdb::navdb_state.AtcBoundaryCount, 1);
  EXPECT_EQ(r.rec.Count(OpKind::Lines), 1);
  EXPECT_TRUE(r.rec.FindText("SEA"));
  // Loaded once: a changed file is not read again.
  folder.Write("atc_bdry.txt", "");
  Draw();
  EXPECT_EQ(r.rec.Count(OpKind::Lines), 1);
}

// An outline no piece of which can reach the drawn area is left out, and
// the pixels are those of every outline drawn: seeded random outlines
// about the aircraft (south of the equator, by the antimeridian), small
// and far, large and round it, some with pieces across the view though
// every point lies out of it, the map turned every way, each drawn alone
// against the same outline drawn by hand. Both kinds occur.
TEST_F(AtcBoundariesTest, OutlinesOutOfSightAreLeftOutWithoutChangingAPixel) {
  std::mt19937 rng(52);
  auto real = [&](double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); };
  int left_out = 0, drawn = 0;
  for (int i = 0; i < 200; ++i) {
    ResetModuleState();
    guidance::guidance_state.PlaneLatitude = kLat;
    guidance::guidance_state.PlaneLongitude = kLon;
    const double centre_nm = real(100.0, 600.0), spread = real(5.0, i % 3 == 0 ? 900.0 : 200.0);
    double clat = 0.0, clon = 0.0;
    navdb::ProjectPosition(kLat, kLon, real(0.0, 360.0), centre_nm, clat, clon);
    std::vector<Pt> points;
    for (int n = std::uniform_int_distribution<int>(2, 12)(rng); n > 0; --n) {
      double lat = 0.0, lon = 0.0;
      navdb::ProjectPosition(clat, clon, real(0.0, 360.0), real(0.0, spread), lat, lon);
      points.push_back({lat, lon});
    }
    Add("OUT", "", points);
    const double rotation = real(0.0, 360.0);
    // Smoothed as the maps draw, and aliased.
    const gfx::SmoothingMode smoothing = i % 2 == 0 ? gfx::SmoothingMode::HighQuality : gfx::SmoothingMode::None;
    std::fill(r.dc.pixels.begin(), r.dc.pixels.end(), 0xFF000000u);
    r.rec.Clear();
    {
      gfx::Graphics g(&r.dc);
      g.SetSmoothingMode(smoothing);
      DrawAtcBoundaries(g, 100, kCx, kCy, 50.0, rotation);
    }
    const int ops = r.rec.Count(OpKind::Lines);
    left_out += ops == 0;
    drawn += ops == 1;
    gfx::DeviceContext whole(400, 400);
    {
      gfx::Graphics g(&whole);
      g.SetSmoothingMode(smoothing);
      std::vector<gfx::Point> outline;
      for (const Pt& p : points) {
        double distance = 0.0, course = 0.0;
        int x = 0, y = 0;
        navdb::ComputeDistanceAndBearing(kLat, kLon, p.lat, p.lon, distance, course);
        navdb::BearingOffsetToScreenInt(rotation, course, kCx, kCy, distance * 2.0, x, y);
        outline.push_back({x, y});
      }
      g.DrawLinesI(gfx::Pen(kBoundary, 1.0f), outline);
    }
    ASSERT_EQ(r.dc.pixels, whole.pixels) << "outline " << i << (ops == 0 ? " left out" : " drawn");
  }
  EXPECT_GT(left_out, 40);
  EXPECT_GT(drawn, 40);
}

TEST_F(AtcBoundariesTest, ARangeWithoutScaleDrawsNothing) {
  Add("NEAR", "N", {North(1), North(2)});
  for (double range : {0.0, -1.0, std::nan("")}) {
    r.rec.Clear();
    gfx::Graphics g(&r.dc);
    DrawAtcBoundaries(g, 100, kCx, kCy, range, 0);
    EXPECT_EQ(r.rec.Size(), 0u) << range;
  }
}

}  // namespace
}  // namespace ovi::display
