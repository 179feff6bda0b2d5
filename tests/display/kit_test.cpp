// The display instruments' drawing kit: the fine grid of a surface, angles
// folded across north and 180 degrees, texts held to their bound, shapes
// from point tables at their limit, and the first radio's station side.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "src/display/kit.h"
#include "src/guidance/state.h"
#include "src/host/module_state.h"
#include "tests/display/recording.h"

namespace ovi::display {
namespace {

constexpr Canvas kEhsiCanvas{318.0f, 310.0f};

// F (w + h) units of grid across the sum of the element's sides: a canvas
// point lands on the device where the plain canvas scale puts it.
TEST(KitTest, FineGridOfAnElement) {
  struct Case {
    int w, h, factor;
    double gx, gy;
  } cases[] = {{318, 311, 1, 629.0 / 318.0, 629.0 / 310.0},
               {318, 311, 16, 10064.0 / 318.0, 10064.0 / 310.0},
               {636, 155, 16, 12656.0 / 318.0, 12656.0 / 310.0}};
  for (const Case& c : cases) {
    const FineGrid grid = FineGridFor(kEhsiCanvas, c.w, c.h, c.factor);
    EXPECT_DOUBLE_EQ(grid.gx, c.gx) << c.w << "x" << c.h << " F " << c.factor;
    EXPECT_DOUBLE_EQ(grid.gy, c.gy) << c.w << "x" << c.h << " F " << c.factor;
    // The rose centre (159, 155): on the device at (159 w / 318, 155 h / 310).
    EXPECT_NEAR(159.0 * grid.gx * grid.wx, 159.0 * c.w / 318.0, 1e-4);
    EXPECT_NEAR(155.0 * grid.gy * grid.wy, 155.0 * c.h / 310.0, 1e-4);
  }
  for (auto [w, h, factor] : {std::tuple{0, 311, 1}, {318, -1, 1}, {318, 311, 0}}) {
    const FineGrid grid = FineGridFor(kEhsiCanvas, w, h, factor);
    EXPECT_TRUE(grid.gx == 1.0 && grid.gy == 1.0 && grid.wx == 1.0f && grid.wy == 1.0f) << w << "x" << h;
  }
  EXPECT_FALSE(ScaleToSurface(kEhsiCanvas, 0, 311).usable || ScaleToSurface(kEhsiCanvas, 318, -1).usable);
}

// a - b folded into (-180, 180]: west and east of north, across 180, whole
// turns, and a value that is not a number counting as 0.
TEST(KitTest, RelativeAngleFoldsAcrossNorthAnd180) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  struct Case {
    double a, b, expected;
  } cases[] = {{10, 350, 20},    {350, 10, -20},  {180, 0, 180},   {0, 180, 180},  {-90, 90, 180},
               {181, 0, -179},   {540, 0, 180},   {-540, 0, 180},  {725, -5, 10},  {179.5, -0.5, 180},
               {nan, 30, -30},   {30, nan, 30}};
  for (const Case& c : cases) EXPECT_DOUBLE_EQ(RelativeAngle(c.a, c.b), c.expected) << c.a << " - " << c.b;
}

// A station within 90 degrees of the course, the short way round, is ahead:
// the bearing is the heading plus the station's relative bearing.
TEST(KitTest, Nav1StationSideAcrossNorth) {
  ResetModuleState();
  guidance::State& s = guidance::guidance_state;
  struct Case {
    double heading, offset, course;
    bool to;
  } cases[] = {{350, 10, 10, true},  {0, 350, 10, true},   {10, 340, 280, true},  // 350 vs 280: 70
               {10, 0, 281, true},   {10, 359, 279, false},                       // 10 vs 281: 89; 9 vs 279: 90
               {180, 0, 0, false},   {90, 180, 180, false}, {0, 270.5, 0, true}};  // 270.5 vs 0: 89.5
  for (const Case& c : cases) {
    s.AircraftHeading = c.heading;
    s.HeadingOffsetToken550 = c.offset;
    s.SelectedCourse = c.course;
    EXPECT_EQ(Nav1ToStation(), c.to) << c.heading << " + " << c.offset << " vs " << c.course;
  }
}

// Texts are drawn as at most 99 characters however long their value.
TEST(KitTest, ScreenTextsKeepToTheirBound) {
  test::Recording r;
  gfx::Graphics g(&r.dc);
  const gfx::Font font = ArialBold(12.0f);
  const gfx::SolidBrush brush(colour::kGreen);
  for (std::size_t length : {98u, 99u, 100u, 139u, 140u, 300u}) {
    r.rec.Clear();
    const std::string text(length, 'A');
    DrawScreenText(g, font, brush, 1.0f, 2.0f, text.c_str());
    DrawScreenTextF(g, font, brush, 1.0f, 2.0f, "%sNM", text.c_str());
    const std::size_t expected = length < 99 ? length : 99;
    ASSERT_EQ(r.rec.Texts().size(), 2u);
    EXPECT_EQ(r.rec.Texts()[0].text.size(), expected) << length;
    EXPECT_EQ(r.rec.Texts()[1].text.size(), length + 2 < 99 ? length + 2 : 99) << length;
    EXPECT_EQ(ScreenTextLength("%s", text.c_str()), expected) << length;
  }
  // 1e300 has 301 digits.
  EXPECT_EQ(ScreenTextLength("%.0f", 1e300), 99u);
  EXPECT_EQ(ScreenTextLength("%.0fNM", 12.0), 4u);
  DrawScreenText(g, font, brush, 0.0f, 0.0f, nullptr);
  EXPECT_EQ(r.rec.Texts().back().text, "");
}

// A sliding mark takes at most 16 points; segments and circles are moved
// and placed by their tables.
TEST(KitTest, ShapesFromPointTables) {
  test::Recording r;
  gfx::Graphics g(&r.dc);
  const gfx::Pen pen(colour::kMagenta, 1.0f);
  gfx::Point points[17];
  for (int i = 0; i < 17; ++i) points[i] = gfx::Point(i, 2 * i);
  for (std::size_t n : {2u, 16u, 17u}) {
    r.rec.Clear();
    DrawPolylineAt(g, pen, std::span<const gfx::Point>(points, n), 100, -10);
    ASSERT_EQ(r.rec.Size(), 1u);
    const std::vector<test::Px> drawn = test::Points(r.rec.Ops()[0]);
    ASSERT_EQ(drawn.size(), n < 16 ? n : 16u);
    EXPECT_EQ(drawn.back(), (test::Px{100 + int(drawn.size()) - 1, 2 * (int(drawn.size()) - 1) - 10}));
  }
  r.rec.Clear();
  constexpr Segment kHead[] = {{{-5, -25}, {0, -30}}, {{5, -25}, {0, -30}}};
  DrawSegments(g, pen, kHead, 80, 200);
  constexpr gfx::Point kDots[] = {{-42, -2}, {38, -2}};
  DrawCircles(g, pen, kDots, 4);
  ASSERT_EQ(r.rec.Size(), 4u);
  EXPECT_EQ(test::Points(r.rec.Ops()[0]), (std::vector<test::Px>{{75, 175}, {80, 170}}));
  EXPECT_EQ(test::Points(r.rec.Ops()[1]), (std::vector<test::Px>{{85, 175}, {80, 170}}));
  EXPECT_EQ(test::Points(r.rec.Ops()[2])[0], (test::Px{-40, 0}));  // the circle's centre
  EXPECT_EQ(test::Points(r.rec.Ops()[3])[0], (test::Px{40, 0}));
}

}  // namespace
}  // namespace ovi::display
