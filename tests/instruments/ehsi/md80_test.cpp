// The MD-80 EHSI's frame, full rose and arc: blanking, the centre of each
// mode, the DME fields, the ADF switch, the glideslope, the wind
// threshold, the heading rounding, the card and the arc's window across
// north, the course bar with TO/FROM and the range figure; values of any
// size on both the MD-80's and the Pro Line 4's pages.
#include <limits>
#include <tuple>

#include "src/instruments/ehsi/md80/md80.h"
#include "src/instruments/ehsi/proline4/proline4.h"
#include "tests/instruments/ehsi/du1000_test_support.h"

namespace ovi::ehsi::test {
namespace {

class Md80Test : public Du1000Test {
 public:
  void Md80(int mode, int variant = 1, int width = 266, int height = 232) {
    M().MD80EHSIMode = mode;
    dc = std::make_unique<gfx::DeviceContext>(width, height);
    rec.Clear();
    dc->recorder = &rec;
    sx = width / 266.0;
    sy = height / 232.0;
    const PIXSIZE size{width, height};
    DrawMd80Ehsi(ehsi_state.Md80Display, dc.get(), &size, variant);
  }
  gfx::PointF C(double x, double y) const { return At(x, y); }
  // The full rose's card turns about (133, 114); the arc about (133, 204).
  gfx::PointF Card(double x, double y, double turn = 0) const { return At(x, y, 133, 114, turn); }
  gfx::PointF Arc(double x, double y, double turn = 0) const { return At(x, y, 133, 204, turn); }
  static const char* Family(int mode) { return mode == 0 ? "Arial" : "DA Rered"; }
};

TEST_F(Md80Test, FrameBlanksAndSetsTheCentreOfEachMode) {
  for (auto [power, variant] : {std::pair{0, 1}, {1, 2}}) {
    G().DisplayPower = power;
    Md80(0, variant);
    EXPECT_EQ(rec.Count(OpKind::Clear, 0u), static_cast<int>(rec.Size()));
  }
  G().DisplayPower = 1;
  // The plan mode lowers the arc's centre by 70 for the rest of its frame.
  for (auto [mode, y] : {std::pair{0, 116}, {1, 204}, {2, 134}, {3, 204}}) {
    ehsi_state.Md80EhsiCentreX = ehsi_state.Md80EhsiCentreY = -1;
    Md80(mode);
    EXPECT_TRUE(ehsi_state.Md80EhsiCentreX == 133 && ehsi_state.Md80EhsiCentreY == y) << mode;
  }
  M().MD80EHSIBkgrdColorGreen = 300;
  Md80(4);  // the background alone; the centre stays
  ASSERT_EQ(rec.Size(), 2u);
  EXPECT_TRUE(rec.Ops()[1].kind == OpKind::Rectangle && rec.Ops()[1].color == 0xFF002C00u);
  EXPECT_EQ(ehsi_state.Md80EhsiCentreY, 204);
}

// A distance above 0 with its label under it, in each mode's places, on
// the canvas's size and on the screen's (318 x 311, not to scale).
TEST_F(Md80Test, DmeFields) {
  for (auto [dme1, dme2] : {std::pair{0.0, 0.0}, {24.6, 0.0}, {0.0, 4.2}}) {
    G().Nav1DmeDistance = dme1;
    G().Nav2DmeDistance = dme2;
    for (int mode : {0, 1}) {
      for (auto [width, height] : {std::pair{266, 232}, {318, 311}}) {
        Md80(mode, 1, width, height);
        const double top = mode == 0 ? 0 : 4, below = mode == 0 ? 15 : 13, right = mode == 0 ? 225 : 223;
        EXPECT_EQ(StyledAt("24.6", C(0, top), Family(mode), 13, colour::kWhite), dme1 > 0) << mode;
        EXPECT_EQ(TextAt("DME1", C(0, top + below)), dme1 > 0) << mode;
        EXPECT_EQ(TextAt("4.2", C(right, top)), dme2 > 0) << mode;
        EXPECT_EQ(TextAt("DME2", C(right, top + below)), dme2 > 0) << mode;
      }
    }
  }
}

// Label, symbol and pointer only with the ADF key on and a signal above 0
// (heading 30, the station 250 relative).
TEST_F(Md80Test, AdfNeedsItsKeyAndASignal) {
  G().AircraftHeading = 30;
  G().AdfRelativeBearing = 250;
  for (auto [shown, signal] : {std::pair{0, 5.0}, {1, 0.0}, {1, 0.01}}) {
    M().Md80EhsiShowAdf = shown;
    G().AdfSignal = signal;
    const bool on = shown == 1 && signal > 0;
    for (int mode : {0, 1}) {
      Md80(mode);
      EXPECT_EQ(StyledAt("ADF1", C(5, 180), Family(mode), 13, colour::kWhite), on) << mode << signal;
      EXPECT_EQ(HasLine(colour::kBlue, C(55, 185), C(55, 195), 2.0f), on);
      EXPECT_EQ(mode == 0 ? HasLine(colour::kBlue, Card(0, -70, 250), Card(0, -50, 250))
                          : HasLine(colour::kBlue, Arc(0, -90, 250), Arc(0, -120, 250)),
                on);
    }
  }
}

// 34 units either side of the centre line for a full needle (114 on the
// rose, 120 on the arc); only with the glideslope flag. The source label
// needs a signal: "ILS" for a localizer, else "VOR".
TEST_F(Md80Test, GlideslopeAndSourceLabel) {
  for (auto [flags, needle, y] : {std::tuple{0xC0, 127.0, 34}, {0xC0, -127.0, -34}, {0xC0, 40.0, 10}, {0x80, 0.0, 0}}) {
    Radio(1, flags);
    G().Nav1GlideslopeNeedle = needle;
    for (int mode : {0, 1}) {
      Md80(mode);
      const double centre = mode == 0 ? 114 : 120;
      EXPECT_EQ(OutlineAt(colour::kMagenta, 5, 0, C(250, centre + y - 2)), flags == 0xC0) << needle << mode;
      EXPECT_EQ(HasLine(colour::kWhite, C(248, centre), C(260, centre)), flags == 0xC0);
      EXPECT_TRUE(StyledAt("ILS", C(220, 185), Family(mode), 13, colour::kWhite));
    }
  }
  Radio(1, 0);
  Md80(0);
  EXPECT_TRUE(TextAt("VOR", C(220, 185)));
  Radio(0, 0x80);
  Md80(0);
  EXPECT_FALSE(rec.FindText("ILS") || rec.FindText("VOR"));
}

// From 1 kt; the arrow points downwind, the direction plus 180 taken off
// 360 only above it (heading 30).
TEST_F(Md80Test, WindThresholdAndArrow) {
  G().AircraftHeading = 30;
  for (auto [speed, direction, turn] : {std::tuple{0.9, 200.0, 0.0}, {1.0, 200.0, -10.0}, {12.0, 180.0, 330.0}}) {
    G().WindSpeed = speed;
    G().WindDirectionMagnetic = direction;
    for (int mode : {0, 1}) {
      Md80(mode);
      const bool shown = speed >= 1.0;
      EXPECT_EQ(rec.FindText(speed < 10 ? " 1" : "12"), shown);
      if (shown) {
        EXPECT_TRUE(StyledAt(speed < 10 ? " 1" : "12", C(10, 150), Family(mode), 10, colour::kWhite));
      }
      EXPECT_EQ(HasLine(colour::kWhite, At(0, 0, 10, 140, turn), At(0, -10, 10, 140, turn), 1.0f), shown) << speed;
    }
  }
}

// The card turns about a point 2 units above the aircraft symbol: N, E,
// S, W and the numbers every 30 degrees, the bug, the fixed index, the
// fixed 45-degree marks; the heading rounds to "360".
TEST_F(Md80Test, FullRoseCardAndReadout) {
  G().AircraftHeading = 359.6;
  G().ApHeadingLockDir = 20;
  Md80(0);
  EXPECT_TRUE(StyledAt("360", C(118, 5), "Arial", 15, colour::kWhite));
  const double h = 359.6;
  for (auto [text, a, x] : {std::tuple{"N", 0, -8}, {"E", 90, -8}, {"S", 180, -8}, {"W", 270, -7}, {"12", 120, -8}})
    EXPECT_TRUE(StyledAt(text, Card(x, -65, a - h), "Arial", 12, colour::kWhite)) << text;
  EXPECT_FALSE(rec.FindText("0") || rec.FindText("9"));
  EXPECT_TRUE(HasLine(colour::kWhite, Card(0, -70, 10 - h), Card(0, -80, 10 - h), 2.0f));
  EXPECT_TRUE(HasLine(colour::kWhite, Card(0, -75, 15 - h), Card(0, -80, 15 - h), 2.0f));
  EXPECT_TRUE(HasLine(colour::kWhite, Card(0, -82, 135), Card(0, -91, 135), 2.0f));
  EXPECT_TRUE(OutlineAt(colour::kMagenta, 5, 2, Card(0, -76)));
  const auto bug = Ops(OpKind::Polygon, colour::kGreen, 1);
  ASSERT_EQ(bug.size(), 1u);
  EXPECT_TRUE(Near(bug[0]->points[0], Card(0, -84, 20 - h)));
  EXPECT_TRUE(HasLine(colour::kWhite, At(0, -10, 133, 116), At(0, 10, 133, 116), 2.0f));
}

// The bar and TO/FROM only while NAV1 receives: on the rose a filled head
// moved with the bar, on the arc the words; the station's side taken the
// short way round (a station at 350 with a course of 10 is ahead).
TEST_F(Md80Test, CourseBarAndToFrom) {
  struct Case {
    double signal, bearing, course, needle;
    int bar, sense;  // 1 TO, -1 FROM, 0 none
  } cases[] = {{0, 45, 0, 127, 0, 0},  {1, 45, 0, 127, 40, 1},  {1, 270, 0, -127, -40, -1},
               {1, 350, 10, 63.6, 20, 1}, {1, 200, 10, std::numeric_limits<double>::quiet_NaN(), 0, -1}};
  for (const Case& c : cases) {
    Radio(c.signal);
    G().HeadingOffsetToken550 = c.bearing;  // heading 0
    G().SelectedCourse = c.course;
    G().Nav1CdiNeedle = c.needle;
    Md80(0);
    EXPECT_EQ(HasLine(colour::kMagenta, Card(c.bar, -20, c.course), Card(c.bar, 20, c.course), 2.0f), c.signal > 0);
    const auto heads = Ops(OpKind::Polygon, colour::kWhite, 1);
    EXPECT_EQ(heads.size(), c.sense != 0 ? 1u : 0u);
    if (!heads.empty()) {
      EXPECT_TRUE(Near(heads[0]->points[0], Card(c.bar, c.sense * -32, c.course))) << c.bearing;
    }
    EXPECT_EQ(rec.Count(OpKind::Ellipse, colour::kWhite), 4);
    EXPECT_TRUE(HasLine(colour::kMagenta, Card(0, -20, c.course), Card(0, -70, c.course)));
    Md80(1);
    EXPECT_EQ(HasLine(colour::kMagenta, Arc(c.bar, -70, c.course), Arc(c.bar, 70, c.course), 2.0f), c.signal > 0);
    EXPECT_TRUE(HasLine(colour::kMagenta, Arc(0, -70, c.course), Arc(0, -110, c.course)));
    EXPECT_EQ(StyledAt("TO", Arc(80, -120), "DA Rered", 13, colour::kWhite), c.sense == 1);
    EXPECT_EQ(TextAt("FROM", Arc(80, -120)) && TextAt("VOR", Arc(90, -106)), c.sense == -1);
  }
}

// Marks within 65 degrees of the heading, the ends left out, across north;
// labels "%02d" placed by the label table.
TEST_F(Md80Test, ArcScaleWindowAndLabels) {
  Md80(1);
  EXPECT_TRUE(StyledAt("00", Arc(-13, -198), "DA Rered", 18, colour::kWhite));
  EXPECT_TRUE(TextAt("06", Arc(-13, -198, 60)) && TextAt("30", Arc(-13, -198, 300)));
  EXPECT_FALSE(HasLine(colour::kWhite, Arc(0, -180, 65), Arc(0, -188, 65)));
  EXPECT_FALSE(HasLine(colour::kWhite, Arc(0, -180, 295), Arc(0, -188, 295)));
  G().AircraftHeading = 350;
  Md80(1);
  EXPECT_TRUE(TextAt("00", Arc(-13, -198, 10)));
  EXPECT_TRUE(HasLine(colour::kWhite, Arc(0, -180, -60), Arc(0, -196, -60), 2.0f));  // 290
  EXPECT_FALSE(HasLine(colour::kWhite, Arc(0, -180, -65), Arc(0, -188, -65)));      // 285
  G().AircraftHeading = 195;
  Md80(1);
  EXPECT_TRUE(TextAt("18", Arc(-12, -198, -15)) && TextAt("21", Arc(-14, -198, 15)));
}

TEST_F(Md80Test, HalfRangeFigure) {
  for (auto [range, text] : {std::pair{5.0, "2.5"}, {10.0, "  5"}, {0.5, "0.25"}, {2.5, "1.2"}, {320.0, "160"}}) {
    M().Md80EhsiMapRange = range;
    Md80(1);
    EXPECT_TRUE(StyledAt(text, Arc(-85, -54), "DA Rered", 13, colour::kWhite)) << range;
  }
}

// Values of any size reach no integer conversion unbounded and no text
// past its buffer, on both displays' pages: the frames complete.
TEST_F(Md80Test, ValuesOfAnySizeOnBothDisplays) {
  flightplan::flightplan_state.ActiveWaypointIndex = 0;
  flightplan::flightplan_state.ActiveFlightPlanLastIndex = 0;
  G().AdfSignal = 2;
  G().GroundSpeedKnots = 31;
  G().HeadingBugDisplayTicks = 5;
  M().Md80EhsiShowAdf = 1;
  M().Proline4BearingPointer1Source = 3;
  M().Proline4BearingPointer2Source = 2;
  Radio(1, 0xC0);
  gfx::DeviceContext surface(247, 285);
  surface.recorder = &rec;
  const PIXSIZE size{247, 285};
  for (double v : {1e300, -1e300, std::numeric_limits<double>::quiet_NaN()}) {
    for (double* field :
         {&G().AircraftHeading, &G().SelectedCourse, &G().DesiredTrack, &G().ApHeadingLockDir, &G().GroundTrack,
          &G().HeadingOffsetToken550, &G().SecondBearingPointer, &G().AdfRelativeBearing, &G().BearingToActiveWaypoint,
          &G().Nav1CdiNeedle, &G().Nav1GlideslopeNeedle, &G().Nav1DmeDistance, &G().Nav2DmeDistance,
          &G().ActiveWaypointDistance, &G().TrueAirspeedEstimate, &G().StaticAirTemp, &G().ZuluHour, &G().WindSpeed,
          &G().WindDirectionMagnetic, &G().PlaneLatitude, &M().Md80EhsiMapRange, &M().Proline4MapRange})
      *field = v;
    for (int mode : {0, 1}) {
      Md80(mode);
      EXPECT_TRUE(rec.FindText("ADF1") && rec.FindText("ILS")) << v << mode;
      for (int lnav : {0, 1}) {
        G().LnavEngaged = lnav;
        M().PROLINE4MFDMode = mode;
        rec.Clear();
        DrawProline4Mfd(ehsi_state.Proline4Display, &surface, &size, 1);
        EXPECT_TRUE(rec.FindText("WX") && rec.FindText("ADF")) << v << mode;
      }
    }
  }
}

}  // namespace
}  // namespace ovi::ehsi::test
