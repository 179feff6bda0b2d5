// Compass rose (modes 1, 2) and expanded arc (modes 3 to 7): labels and
// their window, pointer rotations, the deviation bar and its clamp,
// TO/FROM, glideslope and the bearing pointers.
#include <cmath>

#include "tests/instruments/nd/nd_test_support.h"

namespace ovi::nd::test {
namespace {

using gfx::OpKind;

constexpr double kRoseX = 122, kRoseY = 151, kArcX = 122, kArcY = 249;

class CompassTest : public NdTest {
 public:
  // White segments whose ends lie at the two radii from a centre.
  int CountTicks(double cx, double cy, double r1, double r2) const {
    int n = 0;
    for (const gfx::RecordedOp* op : Ops(OpKind::Line, colour::kWhite)) {
      const double a = std::hypot(op->points[0].X - cx, op->points[0].Y - cy);
      const double b = std::hypot(op->points[1].X - cx, op->points[1].Y - cy);
      n += std::fabs(a - r1) < 0.01 && std::fabs(b - r2) < 0.01 ? 1 : 0;
    }
    return n;
  }
  gfx::PointF BarCorner() const {  // the magenta bar's first corner
    const auto bars = Ops(OpKind::Polygon, colour::kMagenta, 0);
    if (!bars.empty()) return bars[0]->points[0];
    const gfx::RecordedOp* arc_bar = Outline(colour::kMagenta, 5);
    return arc_bar != nullptr ? arc_bar->points[1] : gfx::PointF(-1, -1);
  }
};

TEST_F(CompassTest, RoseCardTurnsWithTheHeading) {
  model().HWB737NDMode = 1;
  Draw();
  EXPECT_EQ(CountTicks(kRoseX, kRoseY, 80, 65), 36);
  EXPECT_EQ(CountTicks(kRoseX, kRoseY, 80, 70), 36);
  EXPECT_EQ(CountTicks(kRoseX, kRoseY, 80, 95), 8);  // screen-fixed marks
  ExpectAt(Text("0"), gfx::PointF(114, 91));
  ExpectAt(Text("27"), Rotated(-7, -60, 270, kRoseX, kRoseY));
  EXPECT_EQ(Text("9").font_size, 12.0f);
  guidance().AircraftHeading = 100.0;
  Draw();
  ExpectAt(Text("0"), Rotated(-8, -60, -100, kRoseX, kRoseY));
  ExpectAt(Text("12"), Rotated(-8, -60, 20, kRoseX, kRoseY));
}

TEST_F(CompassTest, RouteDeviationIsClampedAndSignedByTheSideOfTheLeg) {
  model().HWB737NDMode = 1;
  guidance().AircraftHeading = 30.0;
  Draw();  // no active waypoint: the pointer straight up, the bar centred
  ExpectAt(Outline(colour::kWhite, 14)->points[6], gfx::PointF(122, 81));
  ExpectAt(BarCorner(), gfx::PointF(119, 124));

  struct Case {
    double lat0, lon0, lat1, lon1, plane_lat, plane_lon, track, leg, to_go;
    int offset;
  } cases[] = {
      // Seven NM north of an eastbound leg on the equator: limited to 5 NM,
      // 37 units, to the right (the aircraft left of its course).
      {0, 0, 0, 1, 7.0 / 60, 0.5, 90, 60, 30, 37},
      // 2.5 NM north of a westbound leg at 10 S, 1 W: 18 units to the left.
      {-10, -1, -10, -2, -10 + 2.5 / 60, -1.5, 270.087, 59.09, 29.545, -18},
  };
  for (const Case& c : cases) {
    ActiveRoute(c.lat0, c.lon0, c.lat1, c.lon1);
    guidance().PlaneLatitude = c.plane_lat;
    guidance().PlaneLongitude = c.plane_lon;
    guidance().DesiredTrack = guidance().AircraftHeading = c.track;
    guidance().ActiveLegLength = c.leg;
    guidance().ActiveWaypointDistance = c.to_go;
    for (int mode : {1, 3}) {
      SCOPED_TRACE(::testing::Message() << "mode " << mode << " offset " << c.offset);
      model().HWB737NDMode = mode;
      Draw();
      ExpectAt(BarCorner(), gfx::PointF(122 + c.offset - 3, mode == 1 ? 124 : 231));
    }
  }
  guidance().AircraftHeading = 30.0;  // the pointer on the track, 60 degrees right
  model().HWB737NDMode = 1;
  Draw();
  ExpectAt(Outline(colour::kWhite, 14)->points[6], Rotated(0, -70, 240.087, kRoseX, kRoseY));
}

TEST_F(CompassTest, RadioDeviationOnlyWithASignal) {
  model().HWB737NDMode = 2;
  Radio(1.0);
  for (auto [needle, offset] : {std::pair{127.0, 37}, {-64.0, -18}, {300.0, 37}, {3.0, 0}}) {
    guidance().Nav1CdiNeedle = needle;
    Draw();
    EXPECT_FLOAT_EQ(BarCorner().X, static_cast<float>(122 + offset - 3)) << needle;
  }
  Radio(0.0);
  Draw();
  EXPECT_TRUE(Ops(OpKind::Polygon, colour::kMagenta, 0).empty());
}

TEST_F(CompassTest, ToFromTakesTheAngleTheShortWayRound) {
  struct Case {
    double heading, station_offset, course;
    bool to;
  } cases[] = {
      {0, 355, 5, true},     // across north: 10 degrees apart
      {350, 10, 355, true},  // the station bearing wraps to 0
      {0, 185, 5, false},
      {0, 95, 5, false},     // exactly 90
      {0, 94, 5, true},
  };
  model().HWB737NDMode = 2;
  Radio(1.0);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.station_offset);
    guidance().AircraftHeading = c.heading;
    guidance().HeadingOffsetToken550 = c.station_offset;
    guidance().SelectedCourse = c.course;
    Draw();
    ExpectAt(Outline(colour::kWhite, 4)->points[0], Rotated(0, c.to ? -18 : 18, c.course - c.heading, kRoseX, kRoseY));
  }
  model().HWB737NDMode = 4;
  Draw();  // the last case: TO, beside the arc
  ExpectAt(Text("TO"), gfx::PointF(192, 254));
  Radio(0.0);
  Draw();
  EXPECT_FALSE(Has("TO"));
}

TEST_F(CompassTest, GlideslopeOnTheRoseAndBesideTheArc) {
  const float sx = 244.0f / 266.0f, sy = 302.0f / 230.0f;  // the rose's scale has a grid of its own
  struct Case {
    int mode;
    double flags, shown, needle;
    int circles;
    bool diamond;
    gfx::PointF at;
  } cases[] = {
      {2, 0, 1, 50, 4, false, {}},           // no glideslope: the deviation dots only
      {2, 0x40, 0, 50, 8, false, {}},        // token 852 at 0: no diamond
      {2, 0x40, 1, 171, 8, true, {(129 + 117) * sx, (114 + 37) * sy}},  // beyond full scale
      {2, 0x40, 1, -85.5, 8, true, {(129 + 117) * sx, (114 - 25) * sy}},
      {4, 0x40, 1, 47, 9, true, {222, 219}},  // needle x 10/47 - 40; the range circle too
      {4, 0, 1, 47, 5, false, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "mode " << c.mode << " needle " << c.needle);
    model().HWB737NDMode = c.mode;
    Radio(1.0, c.flags);
    host.tokens[kTokenGlideslopeShown] = c.shown;
    guidance().Nav1GlideslopeNeedle = c.needle;
    Draw();
    EXPECT_EQ(rec.Count(OpKind::Ellipse, colour::kWhite), c.circles);
    const auto diamonds = Ops(OpKind::Polygon, colour::kMagenta, 1);
    ASSERT_EQ(diamonds.size(), c.diamond ? 1u : 0u);
    if (c.diamond) ExpectAt(diamonds[0]->points[0], c.at);
  }
}

TEST_F(CompassTest, BearingPointersOnTheVorRoseWithTheAuxSwitch) {
  guidance().AircraftHeading = 20.0;
  guidance().AdfSignal = 2.0;
  guidance().AdfRelativeBearing = 45.0;
  guidance().HeadingOffsetToken550 = 350.0;  // station bearing 10
  Radio(1.0);
  struct Case {
    int mode, aux;
    bool shown;
  } cases[] = {{2, 0, false}, {2, 1, true}, {1, 1, false}};
  for (const Case& c : cases) {
    model().HWB737NDMode = c.mode;
    model().EfisAuxFlag = c.aux;
    Draw();
    const auto adf = Ops(OpKind::Polygon, colour::kBlue, 1);
    const gfx::RecordedOp* vor = Outline(colour::kLightGreen, 11);
    ASSERT_EQ(adf.size(), c.shown ? 1u : 0u) << c.mode << " " << c.aux;
    ASSERT_EQ(vor != nullptr, c.shown);
    if (!c.shown) continue;
    ExpectAt(adf[0]->points[0], Rotated(0, -90, 45, kRoseX, kRoseY));
    ExpectAt(vor->points[5], Rotated(0, -90, -10, kRoseX, kRoseY));
  }
}

TEST_F(CompassTest, ArcShowsOnlyMarksWithin55DegreesOfTheHeading) {
  model().HWB737NDMode = 5;
  struct Case {
    double heading;
    std::vector<const char*> shown, hidden;
  } cases[] = {
      {10.0, {"33", "0", "3", "6"}, {"30", "9"}},  // 350 at -20 in; 65 at +55 out
      {355.0, {"33", "0", "3"}, {"30", "6"}},       // 300 at -55 out
      {180.0, {"15", "18", "21"}, {"12", "24"}},
  };
  for (const Case& c : cases) {
    guidance().AircraftHeading = c.heading;
    Draw();
    for (const char* s : c.shown) EXPECT_TRUE(Has(s)) << c.heading << " " << s;
    for (const char* s : c.hidden) EXPECT_FALSE(Has(s)) << c.heading << " " << s;
    EXPECT_EQ(CountTicks(kArcX, kArcY, 217, 207) + CountTicks(kArcX, kArcY, 217, 212), 21) << c.heading;
  }
  guidance().AircraftHeading = 0.0;
  Draw();
  ExpectAt(Text("3"), Rotated(-7, -207, 30, kArcX, kArcY));
  ExpectAt(Text("33"), Rotated(-9, -207, -30, kArcX, kArcY));
  ExpectAt(Text(" 20"), gfx::PointF(102, 129));
  model().HWB737NDMode = 6;
  model().NdRange = 320.0;
  Draw();
  EXPECT_EQ(CountTicks(122, 171, 90, 100), 24);
  ExpectAt(Text("0"), gfx::PointF(113, 71));
  ExpectAt(Text("12"), Rotated(-8, -100, 120, 122, 171));
  ExpectAt(Text("160"), gfx::PointF(102, 111));
}

TEST_F(CompassTest, ArcCourseLineInModes3And4) {
  model().HWB737NDMode = 3;
  guidance().AircraftHeading = 10.0;
  Draw();  // no active waypoint: the course straight up
  auto lines = Ops(OpKind::Line, colour::kMagenta);
  ExpectAt(lines[0]->points[1], gfx::PointF(122, 59));
  EXPECT_EQ(lines[1]->dash, gfx::DashStyle::Dash);
  ExpectAt(lines[1]->points[1], gfx::PointF(122, 439));
  model().HWB737NDMode = 4;
  guidance().SelectedCourse = 100.0;
  guidance().Nav1CdiNeedle = -127.0;
  Radio(1.0);
  Draw();
  ExpectAt(Ops(OpKind::Line, colour::kMagenta)[0]->points[1], Rotated(0, -190, 90, kArcX, kArcY));
  ExpectAt(BarCorner(), Rotated(-40, -18, 90, kArcX, kArcY));
}

}  // namespace
}  // namespace ovi::nd::test
