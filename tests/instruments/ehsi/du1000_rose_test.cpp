// The full rose (mode 0) and the north-up centred map rose (mode 2): the
// card, the bearing pointers and their thresholds, the course pointer with
// its deviation bar and TO/FROM head, the glideslope, the selected heading.
#include <limits>

#include "src/display/kit.h"
#include "tests/instruments/ehsi/du1000_test_support.h"

namespace ovi::ehsi::test {
namespace {

using gfx::OpKind;
namespace colour = display::colour;

class RoseTest : public Du1000Test {
 public:
  gfx::PointF R(double x, double y, double turn = 0) const { return At(x, y, kRoseX, kRoseY, turn); }
  // White ticks from radius 100 out to `outer`.
  int CountTicks(double outer) const {
    int n = 0;
    for (const gfx::RecordedOp* op : Ops(OpKind::Line, colour::kWhite)) {
      const double a = std::hypot(op->points[0].X / sx - kRoseX, op->points[0].Y / sy - kRoseY);
      const double b = std::hypot(op->points[1].X / sx - kRoseX, op->points[1].Y / sy - kRoseY);
      n += std::fabs(a - 100) < 0.01 && std::fabs(b - outer) < 0.01 ? 1 : 0;
    }
    return n;
  }
};

// Labels every 30 degrees stand upright 123 units out; long ticks under
// them, short ones every 10 degrees between.
TEST_F(RoseTest, CardLabelsStandUprightAndTurnWithTheHeading) {
  Draw(0);
  EXPECT_EQ(CountTicks(110), 12);
  EXPECT_EQ(CountTicks(105), 24);
  ExpectAt(Text("0"), R(-6, -131));
  ExpectAt(Text("9"), R(123 - 6, -8));
  ExpectAt(Text("27"), R(-123 - 9, -8));
  EXPECT_EQ(Text("33").font_family, "Arial");
  guidance().AircraftHeading = 90.0;
  Draw(0);
  ExpectAt(Text("0"), R(-123 - 6, -8));
  ExpectAt(Text("9"), R(-6, -131));
  ExpectAt(Text("18"), R(123 - 9, -8));
}

TEST_F(RoseTest, BearingPointersNeedTheirSignals) {
  guidance().AircraftHeading = 30.0;
  guidance().HeadingOffsetToken550 = 45.0;  // the station at 075
  guidance().AdfRelativeBearing = 200.0;
  struct Case {
    double nav1, adf;
    bool nav1_pointer, adf_pointer;
  } cases[] = {{0.0, 1.0, false, false}, {0.5, 1.0, true, false}, {0.0, 1.01, false, true}};
  for (const Case& c : cases) {
    Radio(c.nav1);
    guidance().AdfSignal = c.adf;
    Draw(0);
    EXPECT_EQ(HasLine(colour::kMagenta, R(0, -100, 45), R(0, -68, 45)), c.nav1_pointer) << c.nav1;
    EXPECT_EQ(HasLine(colour::kGreen, R(0, -100, 200), R(0, -80, 200)), c.adf_pointer) << c.adf;
    EXPECT_TRUE(HasLine(colour::kBlue, R(0, -30, -30), R(0, -100, -30)));  // the course arrow always
  }
}

// The bar: 80 units per 127 needle units, the outer dots at +-80; a needle
// that is not a number sits centred, one of any size converts.
TEST_F(RoseTest, DeviationBarAndTheDots) {
  guidance().SelectedCourse = 90.0;
  for (auto [needle, x] : {std::pair{-127.0, -80}, {127.0, 80}, {63.5, 40}, {-1.0, 0},
                          {std::numeric_limits<double>::quiet_NaN(), 0}}) {
    guidance().Nav1CdiNeedle = needle;
    Draw(0);
    EXPECT_TRUE(HasLine(colour::kBlue, R(x, -30, 90), R(x, 30, 90))) << needle;
  }
  EXPECT_EQ(CountCircles(colour::kWhite, 4), 4);
  const auto dots = Ops(OpKind::Ellipse, colour::kWhite);
  ExpectAt(dots[1]->points[0], R(-40, 0, 90));
  ExpectAt(dots[4]->points[0], R(80, 0, 90));
  guidance().Nav1CdiNeedle = 1e300;
  Draw(0);
  EXPECT_TRUE(Has("GS"));  // the frame completes
}

// The station's side of the course, taken the short way round: a station
// just across north of the course is ahead (TO).
TEST_F(RoseTest, ToFromAcrossNorth) {
  struct Case {
    double heading, station_offset, course;
    bool to;
  } cases[] = {
      {0, 350, 10, true},    // 20 degrees across north
      {0, 10, 350, true},
      {300, 70, 10, true},   // the bearing 370 wraps to 10
      {0, 190, 10, false},
      {0, 100, 10, false},   // exactly 90
      {0, 99, 10, true},
  };
  Radio(1.0);
  guidance().Nav1CdiNeedle = 127.0;  // the head moves with the bar
  for (const Case& c : cases) {
    SCOPED_TRACE(c.station_offset);
    guidance().AircraftHeading = c.heading;
    guidance().HeadingOffsetToken550 = c.station_offset;
    guidance().SelectedCourse = c.course;
    Draw(0);
    const double turn = c.course - c.heading;
    EXPECT_EQ(HasLine(colour::kBlue, R(75, -25, turn), R(80, -30, turn)), c.to);
    EXPECT_EQ(HasLine(colour::kBlue, R(85, 25, turn), R(80, 30, turn)), !c.to);
  }
}

TEST_F(RoseTest, GlideslopeWithItsFlag) {
  guidance().Nav1GlideslopeNeedle = -63.5;  // 40 up
  Radio(0.0, 0x40);
  Draw(0);
  ASSERT_NE(Outline(colour::kMagenta, 5), nullptr);
  ExpectAt(Outline(colour::kMagenta, 5)->points[0], R(145, -48));
  EXPECT_EQ(CountCircles(colour::kWhite, 4), 8);
  EXPECT_TRUE(HasLine(colour::kWhite, R(140, 0), R(150, 0)));
  Radio(1.0, 0x80);  // a localizer without glideslope
  Draw(0);
  EXPECT_EQ(Outline(colour::kMagenta, 5), nullptr);
  EXPECT_EQ(CountCircles(colour::kWhite, 4), 4);
}

// Marker, lubber, aircraft and track across north.
TEST_F(RoseTest, SelectedHeadingAndTrackTurnFromTheHeading) {
  guidance().AircraftHeading = 350.0;
  guidance().ApHeadingLockDir = 20.0;
  guidance().GroundTrack = 345.0;
  Draw(0);
  EXPECT_TRUE(HasLine(colour::kBlue, R(0, -100, 30), R(0, -126, 30), 3.0f));
  ExpectAt(Outline(colour::kGreen, 5)->points[2], R(0, -110, -5));
  ExpectAt(Outline(colour::kTan, 4)->points[1], R(6, -92));
  EXPECT_TRUE(HasLine(colour::kTan, R(0, 10), R(0, 13)));
}

TEST_F(RoseTest, CentredMapRoseIsNorthUp) {
  guidance().AircraftHeading = 123.0;
  Draw(2);
  EXPECT_EQ(CountCircles(colour::kWhite, 280), 1);
  EXPECT_EQ(CountCircles(colour::kWhite, 140), 1);
  struct Letter {
    const char* text;
    double x, y;
  } letters[] = {{"N", 5, -135}, {"E", 123, -20}, {"W", -137, -20}, {"S", 5, 122}};
  for (const Letter& l : letters) {
    ExpectAt(Text(l.text), R(l.x, l.y));
    EXPECT_EQ(Text(l.text).color, colour::kGreen);
  }
  EXPECT_TRUE(HasLine(colour::kGreen, R(0, -120), R(0, -137)));
  EXPECT_TRUE(HasLine(colour::kGreen, R(-5, -132, 90), R(0, -137, 90)));  // east
  EXPECT_EQ(static_cast<int>(Ops(OpKind::Line, colour::kGreen).size()), 12);
  EXPECT_FALSE(Has("0"));  // no card
}

}  // namespace
}  // namespace ovi::ehsi::test
