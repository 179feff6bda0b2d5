// The EFS 50 EADI on a recording surface, at the design size (280 x 262) and
// the canvas size (266 x 230): blanking, the sphere and pitch scale under
// pitch and bank, the expand rules, the heading scale across north, the cue
// styles and the bars' smoothing, the annunciations' precedence and the
// limits of every scale.
#include "src/instruments/efs/efs50/eadi.h"

#include <algorithm>
#include <cmath>

#include "src/display/attitude_kit.h"
#include "src/host/sim_vars.h"
#include "src/instruments/efs/b777/b777_pfd.h"
#include "src/instruments/efs/state.h"
#include "tests/instruments/efs/attitude_test_support.h"

namespace ovi::efs::test {
namespace {

constexpr gfx::ARGB kWhite = 0xFFDEE6E9, kAmber = 0xFFE9B73E, kGreen = 0xFF25C817, kMagenta = 0xFFFF13D5;
constexpr gfx::ARGB kSky = 0xFF0060C4, kGround = 0xFF946239, kLightGreen = 0xFF50D175;

struct Size {
  int w, h;
};
constexpr Size kSizes[] = {{280, 262}, {266, 230}};

class EadiTest : public AttitudeTest {
 public:
  void Draw(int w = 280, int h = 262, int variant = 1) {
    sx = static_cast<float>(w) / 266.0f;
    sy = static_cast<float>(h) / 230.0f;
    AttitudeTest::Draw(DrawEfs50Eadi, efs_state.Efs50EadiDisplay, w, h, variant);
  }
  // A logical point about the centre, turned `degrees`.
  PointF Logical(double x, double y, double degrees = 0) const {
    const double r = degrees * M_PI / 180.0;
    return PointF(static_cast<float>((129 + x * std::cos(r) - y * std::sin(r)) * sx),
                  static_cast<float>((114 + x * std::sin(r) + y * std::cos(r)) * sy));
  }
  // A fine-space point (each axis truncated to sixteenths of a pixel),
  // turned `degrees` in device pixels.
  PointF Fine(double x, double y, double degrees = 0) const {
    const double gx = 16.0 * sx, gy = 16.0 * sy, r = degrees * M_PI / 180.0;
    const double fx = std::trunc(x * gx), fy = std::trunc(y * gy);
    return PointF(static_cast<float>((129 * gx + fx * std::cos(r) - fy * std::sin(r)) / 16),
                  static_cast<float>((114 * gy + fx * std::sin(r) + fy * std::cos(r)) / 16));
  }
  void FlightDirector(bool on) { host.tokens[792] = on ? 1 : 0; }

  float sx = 1, sy = 1;
};

TEST_F(EadiTest, DisplayPowerOffAndVariantTwoOnlyClear) {
  host.tokens[792] = 1;
  G().FlightDirectorBank = -20;
  for (auto [power, variant] : {std::pair{0, 1}, std::pair{1, 2}}) {
    G().DisplayPower = power;
    Draw(280, 262, variant);
    ASSERT_EQ(rec.Size(), 1u) << power << " " << variant;
    EXPECT_EQ(rec.Ops()[0].kind, OpKind::Clear);
    EXPECT_EQ(rec.Ops()[0].color, 0u);
    EXPECT_EQ(efs_state.Efs50EadiDisplay.width, 280);
  }
  EXPECT_EQ(D().FdRollBarShown, 0.0);  // blank frames leave the bars
  DrawEfs50Eadi(efs_state.Efs50EadiDisplay, nullptr, nullptr, 1);
}

// The horizon moves 3.8 units a degree, the pitch scale 3: at -10 (nose up
// 10) the horizon lies 38 below the centre and the scale's zero mark 30.
TEST_F(EadiTest, HorizonAndPitchScaleUnderPitch) {
  for (const Size s : kSizes) {
    for (const double pitch : {0.0, -10.0}) {
      G().PitchAttitude = pitch;
      Draw(s.w, s.h);
      EXPECT_TRUE(HasLine(kWhite, Fine(-99.5, -3.8 * pitch), Fine(99.5, -3.8 * pitch))) << s.w << " " << pitch;
      EXPECT_TRUE(HasLine(kWhite, Fine(-30, -3 * pitch), Fine(30, -3 * pitch))) << s.w << " " << pitch;
      // The ground's top edge is the horizon; the 10-degree marks carry
      // their numbers on both sides, none at 0.
      EXPECT_TRUE(ShapeStartsAt(OpKind::Polygon, kGround, Fine(-529, -3.8 * pitch)));
      EXPECT_TRUE(TextAt("10", Fine(30, -3 * pitch - 30 - 8)) && TextAt("10", Fine(-55, -3 * pitch + 30 - 8)));
      EXPECT_FALSE(Has("0"));
    }
  }
}

// The sphere turns in device pixels: on a surface stretched 2:1 a bank of
// 30 degrees draws the horizon at 30 degrees, while the roll pointer turns
// in the logical space.
TEST_F(EadiTest, BankIsTrueOnAStretchedSurface) {
  G().BankAttitude = 30;
  Draw(532, 230);
  const auto lines = Ops(OpKind::Line, kWhite);
  const gfx::RecordedOp* horizon = nullptr;
  for (const gfx::RecordedOp* op : lines)
    if (Near(op->points[0], Fine(-99.5, 0, 30))) horizon = op;
  ASSERT_NE(horizon, nullptr);
  const double angle =
      std::atan2(horizon->points[1].Y - horizon->points[0].Y, horizon->points[1].X - horizon->points[0].X);
  EXPECT_NEAR(angle * 180.0 / M_PI, 30.0, 0.05);
  EXPECT_TRUE(ShapeStartsAt(OpKind::Polygon, kWhite, Logical(0, -84, 30)));  // roll pointer
  EXPECT_TRUE(ShapeStartsAt(OpKind::Polygon, kAmber, Logical(0, -83)));      // roll index
}

// Sky and ground expand with ExpandEADI, or with ExpandEADILnav while LNAV
// is engaged; the horizon's window only with LNAV, to a shorter top.
TEST_F(EadiTest, ExpandRulesOfBothWindows) {
  struct Case {
    int expand, expand_lnav, lnav;
    bool sky_expanded;
    int horizon_top;  // 0: normal
  } cases[] = {{0, 0, 0, false, 0},   {1, 0, 0, true, 0},     {0, 1, 0, false, 0},
               {0, 1, 1, true, -104}, {0, 0, 1, false, -104}, {1, 1, 1, true, -104}};
  for (const Case& c : cases) {
    M().ExpandEADI = c.expand;
    M().ExpandEADILnav = c.expand_lnav;
    G().LnavEngaged = c.lnav;
    Draw();
    const auto clips = rec.Find(OpKind::Clip);
    ASSERT_EQ(clips.size(), 3u);  // sky and ground, pitch scale, horizon
    auto expect_box = [&](const gfx::RecordedOp* clip, int l, int t, int r, int b) {
      EXPECT_TRUE(Near({clip->bounds.X, clip->bounds.Y}, Logical(l, t)) &&
                  Near({clip->bounds.X + clip->bounds.Width, clip->bounds.Y + clip->bounds.Height}, Logical(r, b)))
          << c.expand << c.expand_lnav << c.lnav << " at " << clip->bounds.X << ", " << clip->bounds.Y;
    };
    if (c.sky_expanded) {
      expect_box(clips[0], -124, -114, 124, 113);
    } else {
      expect_box(clips[0], -99, -94, 99, 88);
    }
    if (c.horizon_top != 0) {
      expect_box(clips[2], -124, -104, 124, 113);
    } else {
      expect_box(clips[2], -99, -94, 99, 88);
    }
  }
}

// 1.8 units a degree, every quarter degree; a heading truncates toward
// zero, so "N" stands for every quarter within a degree either side of
// north; the bug stands a degree left of the last quarter that matches,
// and a bug set to 360 is found at 0.
TEST_F(EadiTest, HeadingScaleAcrossNorthAndTheBugAt360) {
  M().EADIHdgTape = 1;
  struct Case {
    double heading, bug;
    int north_labels;
    double bug_x;  // degrees
  } cases[] = {{350, 360, 4, 9}, {350, 0, 4, 9}, {0.3, 360, 8, 0}, {10, 355, 7, -16}};
  for (const Case& c : cases) {
    G().AircraftHeading = c.heading;
    G().ApHeadingLockDir = c.bug;
    Draw();
    EXPECT_EQ(static_cast<int>(TextsEqual("N").size()), c.north_labels) << c.heading;
    // The bug's first point: (m - 5, 0) on the horizon.
    EXPECT_TRUE(ShapeStartsAt(OpKind::Lines, kAmber, Fine(1.8 * c.bug_x - 9, 0))) << c.heading << " " << c.bug;
  }
  // Heading 350: "33" (330) a degree-and-quarter block 20 degrees left,
  // "3" (30) 40 right, 7 and 5 units left of their ticks; "E" is beyond.
  G().AircraftHeading = 350;
  Draw();
  EXPECT_TRUE(TextAt("33", Fine(1.8 * -20 - 7, -20)));
  EXPECT_TRUE(TextAt("3", Fine(1.8 * 40 - 5, -20)));
  EXPECT_FALSE(Has("E"));
  M().EADIHdgTape = 0;
  Draw();
  EXPECT_FALSE(Has("N"));
}

// Single cue: the amber delta and side bars, the green command bars turned
// by the roll bar; dual cue: the wings and square, magenta bars at 3 units
// a degree.
TEST_F(EadiTest, CueStyles) {
  FlightDirector(true);
  G().BankAttitude = -10;  // right wing down 10
  G().FlightDirectorBank = -20;
  G().PitchAttitude = -2;
  G().SimToken793Value = -4;  // 2 up
  D().FdRollBarShown = 10;
  D().FdPitchBarShown = -2;
  Draw();
  EXPECT_TRUE(ShapeStartsAt(OpKind::Polygon, kAmber, Logical(0, 0)));
  EXPECT_TRUE(ShapeStartsAt(OpKind::Polygon, kAmber, Logical(-110, 2)));
  EXPECT_TRUE(ShapeStartsAt(OpKind::Polygon, kGreen, Logical(0, -6, 10)));
  EXPECT_TRUE(Ops(OpKind::Line, kMagenta).empty());
  M().EadiDualCue = 1;
  Draw();
  EXPECT_TRUE(ShapeStartsAt(OpKind::Polygon, kAmber, Logical(-15, 0)));
  EXPECT_TRUE(ShapeStartsAt(OpKind::Polygon, kAmber, Logical(-2, -2)));
  EXPECT_TRUE(HasLine(kMagenta, Logical(30, -50), Logical(30, 50)));
  EXPECT_TRUE(HasLine(kMagenta, Logical(-50, -6), Logical(50, -6)));
  EXPECT_TRUE(Ops(OpKind::Polygon, kGreen).empty());
}

// The bars move only on frames that draw them, and every attitude display
// drawn in a frame moves them once more.
TEST_F(EadiTest, BarsFreezeWhileTheFlightDirectorIsOffAndMoveOncePerDisplay) {
  G().FlightDirectorBank = -40;  // 40 right of level wings: target 25
  FlightDirector(true);
  for (int i = 0; i < 3; ++i) Draw();
  EXPECT_NEAR(D().FdRollBarShown, 0.99, 1e-9);
  FlightDirector(false);
  for (int i = 0; i < 5; ++i) Draw();
  EXPECT_NEAR(D().FdRollBarShown, 0.99, 1e-9);
  EXPECT_TRUE(Ops(OpKind::Polygon, kGreen).empty());
  FlightDirector(true);
  Draw();
  AttitudeTest::Draw(DrawB777Pfd, efs_state.B777PfdDisplay, 247, 294);
  EXPECT_NEAR(D().FdRollBarShown, 1.65, 1e-9);
  for (int i = 0; i < 80; ++i) Draw();
  EXPECT_DOUBLE_EQ(D().FdRollBarShown, 25.0);
}

// With the autopilot off nothing; each row's field shows its first text.
TEST_F(EadiTest, AnnunciationPrecedence) {
  struct Case {
    double master;
    int heading;
    double nav, approach;
    int lnav, vnav;
    double altitude, yaw;
    std::vector<std::string> shown;
  } cases[] = {
      {0, 1, 1, 1, 1, 1, 1, 1, {}},
      {1, 0, 0, 0, 0, 0, 0, 0, {"AP"}},
      {1, 1, 1, 0, 0, 0, 0, 0, {"AP", "HDG"}},
      {1, 0, 1, 1, 1, 0, 0, 0, {"AP", "NAV", "APR"}},
      {1, 0, 0, 0, 1, 0, 0, 1, {"AP", "LNAV", "YD"}},
      {1, 0, 0, 0, 0, 1, 0, 0, {"AP"}},  // VNAV needs altitude hold
      {1, 0, 0, 0, 0, 0, 1, 0, {"AP", "ALT"}},
      {1, 0, 0, 0, 0, 1, 1, 0, {"AP", "VNAV", "ALT"}},
      {0.5, 1, 0, 0, 0, 0, 0, 0, {}},  // only exactly 1 is on
  };
  const char* every[] = {"AP", "HDG", "NAV", "APR", "LNAV", "YD", "VNAV", "ALT"};
  for (const Case& c : cases) {
    G().ApMaster = c.master;
    G().ApHeadingLock = c.heading;
    G().ApNav1Lock = c.nav;
    G().ApApproachHold = c.approach;
    G().LnavEngaged = c.lnav;
    G().VnavEngaged = c.vnav;
    G().ApAltitudeLock = c.altitude;
    G().ApYawDamper = c.yaw;
    Draw();
    for (const char* text : every) {
      const bool expected = std::find(c.shown.begin(), c.shown.end(), text) != c.shown.end();
      EXPECT_EQ(Has(text), expected) << text << " with master " << c.master;
    }
  }
  G().ApMaster = 1;
  G().ApAltitudeLock = 1;
  G().VnavEngaged = 1;
  Draw();
  EXPECT_TRUE(TextAt("AP", Logical(-119, -114), kLightGreen, 11));
  EXPECT_TRUE(TextAt("VNAV", Logical(21, -114), kWhite, 11) && TextAt("ALT", Logical(28, -104), kWhite, 11));
}

// Radio altitude from -20 to 2500 ft inclusive; the speed scale within 50
// knots, its pointer held at 13; the localizer bar 50/77 units a needle
// unit; the markers by value.
TEST_F(EadiTest, ScaleLimits) {
  for (auto [ra, shown] : {std::pair{2500.0, true}, {2501.0, false}, {-20.0, true}, {-21.0, false}}) {
    G().RadioAltitudeFeet = ra;
    Draw();
    EXPECT_EQ(Has("RA"), shown) << ra;
  }
  G().RadioAltitudeFeet = 2500;
  Draw(266, 230);
  EXPECT_TRUE(TextAt(" 2500", Logical(81, -114), kWhite, 15));
  struct Speed {
    double target, speed;
    bool shown;
    int top;
  } speeds[] = {{250, 190, false, 0},  {250, 200, true, 28},  {250, 230, true, 28},  {200, 220, true, -50},
                {200, 200, true, -11}, {205, 200.5, true, 1}, {150, 200, true, -50}, {149, 200, false, 0}};
  for (const Speed& s : speeds) {
    G().ApAirspeedHoldVar = s.target;
    G().SmoothedAirspeed = s.speed;
    Draw();
    EXPECT_EQ(Has("F"), s.shown) << s.target << " " << s.speed;
    if (s.shown) {
      EXPECT_TRUE(ShapeStartsAt(OpKind::Lines, kGreen, Logical(-125, s.top))) << s.target << " " << s.speed;
    }
  }
  for (auto [needle, x] : {std::pair{127.0, 82}, {-127.0, -82}, {300.0, 82}, {0.0, 0}}) {
    G().Nav1CdiNeedle = needle;
    Draw();
    EXPECT_TRUE(HasLine(kAmber, Logical(x, 73), Logical(x, 87))) << needle;
  }
  Radio(0, 0x08);
  Draw();
  EXPECT_TRUE(Ops(OpKind::Line, kAmber).empty());
  Radio(1, 0xC0);
  G().Nav1GlideslopeNeedle = 64;
  Draw();
  EXPECT_TRUE(Has("LOC") && TextAt("G", Logical(111, 21)) && TextAt("S", Logical(111, 31)));
  struct Marker {
    double value;
    const char* text;
    gfx::ARGB outline;
  } markers[] = {{1, "OM", kAmber}, {2, "MM", 0xFF02A7EB}, {3, "IM", kWhite}};
  for (const Marker& m : markers) {
    host.tokens[354] = m.value;
    Draw();
    EXPECT_TRUE(TextAt(m.text, Logical(m.value == 3 ? -119 : -121, 47 + 15 * (m.value - 1) - (m.value == 3))));
    EXPECT_TRUE(ShapeStartsAt(OpKind::Lines, m.outline, Logical(-119, 46 + 15 * (m.value - 1))));
  }
  host.tokens[354] = 4;
  Draw();
  EXPECT_FALSE(Has("OM") || Has("MM") || Has("IM"));
}

}  // namespace
}  // namespace ovi::efs::test
