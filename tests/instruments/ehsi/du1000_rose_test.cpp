// The full rose (mode 0) and the north-up centred map rose (mode 2): card,
// bearing pointers at their thresholds, deviation bar, TO/FROM across
// north, selected heading, lubber and track.
#include <climits>
#include <limits>

#include "tests/instruments/ehsi/du1000_test_support.h"

namespace ovi::ehsi::test {
namespace {

class RoseTest : public Du1000Test {
 public:
  gfx::PointF R(double x, double y, double turn = 0) const { return At(x, y, kRoseX, kRoseY, turn); }
};

// Labels every 30 degrees stand upright 123 units out; the marks turn with
// the heading, the lubber and aircraft symbol stay.
TEST_F(RoseTest, CardAndMarksAcrossNorth) {
  Draw(0);
  EXPECT_TRUE(TextAt("0", R(-6, -131)) && TextAt("27", R(-132, -8)));
  EXPECT_EQ(Ops(OpKind::Line, colour::kWhite).size(), 36u);
  EXPECT_TRUE(HasLine(colour::kWhite, R(0, -100, 30), R(0, -110, 30)));
  EXPECT_TRUE(HasLine(colour::kWhite, R(0, -100, 10), R(0, -105, 10)));
  G().AircraftHeading = 350.0;
  G().ApHeadingLockDir = 20.0;
  G().GroundTrack = 345.0;
  Draw(0);
  EXPECT_TRUE(TextAt("0", At(-6, -8, kRoseX + 123 * std::sin(M_PI / 18), kRoseY - 123 * std::cos(M_PI / 18))));
  EXPECT_TRUE(HasLine(colour::kBlue, R(0, -100, 30), R(0, -126, 30), 3.0f));
  EXPECT_TRUE(OutlineAt(colour::kGreen, 5, 2, R(0, -110, -5)));
  EXPECT_TRUE(OutlineAt(colour::kTan, 4, 1, R(6, -92)));
  EXPECT_TRUE(HasLine(colour::kTan, R(0, 10), R(0, 13)));
}

// Each pointer whole, turned by its relative bearing: NAV1 45 right, the
// ADF 200 (with 360 added), the course arrow 30 left of the heading.
TEST_F(RoseTest, BearingPointersNeedTheirSignals) {
  G().AircraftHeading = 30.0;
  G().HeadingOffsetToken550 = 45.0;
  G().AdfRelativeBearing = 200.0;
  struct Line {
    double x0, y0, x1, y1;
  };
  const Line nav1_lines[] = {{0, -100, 0, -68}, {0, -78, -9, -68}, {0, -78, 9, -68}, {0, 60, 0, 100}};
  const Line adf_lines[] = {{0, -100, 0, -80}, {0, -80, -10, -70}, {-10, -70, -10, -60},
                            {0, -80, 10, -70},  {10, -70, 10, -60},  {0, 60, 0, 100}};
  const Line course_lines[] = {{0, -30, 0, -100}, {-10, -80, 10, -80}, {0, 30, 0, 100}};
  for (auto [nav1, adf] : {std::pair{0.0, 1.0}, {0.5, 1.0}, {0.0, 1.01}}) {
    Radio(nav1);
    G().AdfSignal = adf;
    Draw(0);
    for (const Line& l : nav1_lines)
      EXPECT_EQ(HasLine(colour::kMagenta, R(l.x0, l.y0, 45), R(l.x1, l.y1, 45), 2.0f), nav1 > 0) << nav1 << l.y0;
    for (const Line& l : adf_lines)
      EXPECT_EQ(HasLine(colour::kGreen, R(l.x0, l.y0, 200), R(l.x1, l.y1, 200), 2.0f), adf > 1) << adf << l.y0;
    for (const Line& l : course_lines)  // the course arrow always
      EXPECT_TRUE(HasLine(colour::kBlue, R(l.x0, l.y0, -30), R(l.x1, l.y1, -30), 2.0f)) << l.y0;
  }
}

// 80 units per 127 needle units, the outer dots at +-80; a needle that is
// not a number sits centred, one of any size converts.
TEST_F(RoseTest, DeviationBarAndDots) {
  G().SelectedCourse = 90.0;
  for (auto [needle, x] : {std::pair{-127.0, -80}, {127.0, 80}, {63.5, 40}, {-1.0, 0},
                          {std::numeric_limits<double>::quiet_NaN(), 0}}) {
    G().Nav1CdiNeedle = needle;
    Draw(0);
    EXPECT_TRUE(HasLine(colour::kBlue, R(x, -30, 90), R(x, 30, 90))) << needle;
  }
  ASSERT_EQ(Ops(OpKind::Ellipse, colour::kWhite).size(), 5u);  // the rose, then the dots
  EXPECT_TRUE(Near(Ops(OpKind::Ellipse, colour::kWhite)[2]->points[0], R(-80, 0, 90)));
  G().Nav1CdiNeedle = 1e300;
  Draw(0);
  EXPECT_TRUE(Has("GS"));  // the frame completes
}

// The station's side of the course is taken the short way round: one just
// across north of the course is ahead.
TEST_F(RoseTest, ToFromAcrossNorth) {
  struct Case {
    double heading, offset, course;
    bool to;
  } cases[] = {{0, 350, 10, true},  {0, 10, 350, true},  {300, 70, 10, true},  // 370 wraps to 10
               {0, 190, 10, false}, {0, 100, 10, false}, {0, 99, 10, true}};   // 90 exactly is FROM
  Radio(1.0);
  G().Nav1CdiNeedle = 127.0;  // the head rides on the bar at 80
  for (const Case& c : cases) {
    G().AircraftHeading = c.heading;
    G().HeadingOffsetToken550 = c.offset;
    G().SelectedCourse = c.course;
    Draw(0);
    const double t = c.course - c.heading;
    EXPECT_EQ(HasLine(colour::kBlue, R(75, -25, t), R(80, -30, t)), c.to) << c.offset;
    EXPECT_EQ(HasLine(colour::kBlue, R(85, 25, t), R(80, 30, t)), !c.to) << c.offset;
  }
}

// The glideslope scale follows the glideslope flag alone, signal or none;
// its diamond moves 80 units per 127 of needle, truncated toward zero.
TEST_F(RoseTest, GlideslopeScaleOnItsFlag) {
  struct Case {
    double signal, flags, needle;
    int y;  // of the diamond's right point; INT_MIN: no scale
  } cases[] = {{0.0, 0x40, 127.0, 80},  {1.0, 0xC0, -63.5, -40}, {1.0, 0xC0, 50.0, 31},
               {1.0, 0xC0, -50.0, -31}, {1.0, 0x80, 127.0, INT_MIN}};
  for (const Case& c : cases) {
    Radio(c.signal, c.flags);
    G().Nav1GlideslopeNeedle = c.needle;
    Draw(0);
    const bool shown = c.y != INT_MIN;
    EXPECT_EQ(OutlineAt(colour::kMagenta, 5, 1, R(150, c.y)), shown) << c.needle;
    EXPECT_EQ(HasLine(colour::kWhite, R(140, 0), R(150, 0)), shown) << c.flags;
    EXPECT_EQ(CountCircles(colour::kWhite, 4), shown ? 8 : 4) << c.flags;  // with the deviation dots
  }
  // Dots with their boxes at x 143 and y -80, -40, 40, 80.
  Radio(0.0, 0x40);
  Draw(0);
  int found = 0;
  for (const gfx::RecordedOp* op : Ops(OpKind::Ellipse, colour::kWhite))
    for (double y : {-78, -38, 42, 82}) found += Near(op->points[0], R(145, y)) ? 1 : 0;
  EXPECT_EQ(found, 4);
}

TEST_F(RoseTest, CentredMapRoseStaysNorthUp) {
  G().AircraftHeading = 123.0;
  Draw(2);
  EXPECT_EQ(CountCircles(colour::kWhite, 280) + CountCircles(colour::kWhite, 140), 2);
  for (auto [text, x, y] : {std::tuple{"N", 5, -135}, {"E", 123, -20}, {"W", -137, -20}, {"S", 5, 122}})
    EXPECT_TRUE(TextAt(text, R(x, y))) << text;
  EXPECT_TRUE(HasLine(colour::kGreen, R(-5, -132, 90), R(0, -137, 90)));  // east's arrowhead
}

}  // namespace
}  // namespace ovi::ehsi::test
