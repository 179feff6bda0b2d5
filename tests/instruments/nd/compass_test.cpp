// Compass rose (modes 1, 2) and expanded arc (modes 3 to 7): card and arc
// labels, pointer rotations, the deviation bar and its clamp, TO/FROM,
// glideslope and the bearing pointers.
#include <cmath>

#include "tests/instruments/nd/nd_test_support.h"

namespace ovi::nd::test {
namespace {

using gfx::OpKind;

constexpr double kRoseX = 122, kRoseY = 151;
constexpr double kArcX = 122, kArcY = 249;

void ExpectAt(const gfx::Recorder::TextItem& t, gfx::PointF p) {
  EXPECT_NEAR(t.x, p.X, 0.01) << t.text;
  EXPECT_NEAR(t.y, p.Y, 0.01) << t.text;
}

void ExpectPoint(gfx::PointF actual, gfx::PointF expected) {
  EXPECT_NEAR(actual.X, expected.X, 0.01);
  EXPECT_NEAR(actual.Y, expected.Y, 0.01);
}

class CompassTest : public NdTest {
 protected:
  // Segments whose ends lie at the two radii from a centre (in any order).
  int CountTicks(double cx, double cy, double r1, double r2) const {
    int n = 0;
    for (const gfx::RecordedOp* op : rec.Find(OpKind::Line)) {
      if (op->color != colour::kWhite) continue;
      const double a = std::hypot(op->points[0].X - cx, op->points[0].Y - cy);
      const double b = std::hypot(op->points[1].X - cx, op->points[1].Y - cy);
      if ((std::fabs(a - r1) < 0.01 && std::fabs(b - r2) < 0.01) ||
          (std::fabs(a - r2) < 0.01 && std::fabs(b - r1) < 0.01))
        ++n;
    }
    return n;
  }
  // The white outline with `count` points (the pointer heads and arrows).
  const gfx::RecordedOp* Outline(gfx::ARGB colour, std::size_t count) const {
    for (const gfx::RecordedOp* op : rec.Find(OpKind::Lines))
      if (op->color == colour && op->points.size() == count) return op;
    return nullptr;
  }
  void Radio(double signal, double flags = 0) {
    host.tokens[kTokenNav1Signal] = signal;
    host.tokens[kTokenNav1Flags] = flags;
  }
};

TEST_F(CompassTest, RoseCardTurnsWithTheHeading) {
  model().HWB737NDMode = 1;
  guidance().AircraftHeading = 0.0;
  Draw();
  EXPECT_EQ(CountTicks(kRoseX, kRoseY, 80, 65), 36);
  EXPECT_EQ(CountTicks(kRoseX, kRoseY, 80, 70), 36);
  EXPECT_EQ(CountTicks(kRoseX, kRoseY, 80, 95), 8);  // fixed marks every 45 degrees
  ExpectAt(Text("0"), gfx::PointF(114, 91));
  ExpectAt(Text("27"), Rotated(-7, -60, 270, kRoseX, kRoseY));
  ExpectAt(Text("33"), Rotated(-8, -60, 330, kRoseX, kRoseY));
  EXPECT_EQ(Text("9").font_size, 12.0f);
  EXPECT_EQ(Text("9").color, colour::kWhite);

  guidance().AircraftHeading = 100.0;  // 0 now lies 100 degrees to the left
  Draw();
  ExpectAt(Text("0"), Rotated(-8, -60, -100, kRoseX, kRoseY));
  ExpectAt(Text("12"), Rotated(-8, -60, 20, kRoseX, kRoseY));
}

TEST_F(CompassTest, RouteCoursePointerAndDeviationBar) {
  model().HWB737NDMode = 1;
  guidance().AircraftHeading = 30.0;
  Draw();  // no active waypoint: pointer straight up, bar centred
  const gfx::RecordedOp* head = Outline(colour::kWhite, 14);
  ASSERT_NE(head, nullptr);
  ExpectPoint(head->points[6], gfx::PointF(122, 81));
  auto bars = Ops(OpKind::Polygon, colour::kMagenta, 0);
  ASSERT_EQ(bars.size(), 1u);
  ExpectPoint(bars[0]->points[0], gfx::PointF(119, 124));

  // Seven NM north of an eastbound leg on the equator: the deviation is
  // limited to 5 NM, full scale 37 units, to the right (the aircraft is
  // left of the course).
  ActiveRoute(0.0, 0.0, 0.0, 1.0);
  guidance().PlaneLatitude = 7.0 / 60.0;
  guidance().PlaneLongitude = 0.5;
  guidance().DesiredTrack = 90.0;
  guidance().ActiveLegLength = 60.0;
  guidance().ActiveWaypointDistance = 30.0;
  Draw();
  head = Outline(colour::kWhite, 14);
  ASSERT_NE(head, nullptr);
  ExpectPoint(head->points[6], Rotated(0, -70, 60, kRoseX, kRoseY));
  bars = Ops(OpKind::Polygon, colour::kMagenta, 0);
  ASSERT_EQ(bars.size(), 1u);
  ExpectPoint(bars[0]->points[0], Rotated(34, -27, 60, kRoseX, kRoseY));
  ExpectPoint(bars[0]->points[1], Rotated(40, -27, 60, kRoseX, kRoseY));
}

TEST_F(CompassTest, RouteDeviationSouthAndWestOfZero) {
  // A westbound leg at 10 S between 1 W and 2 W, the aircraft 2.5 NM north
  // of it (right of the course): bar 2.5 x 250/33 = 18 units to the left.
  ActiveRoute(-10.0, -1.0, -10.0, -2.0);
  guidance().PlaneLatitude = -10.0 + 2.5 / 60.0;
  guidance().PlaneLongitude = -1.5;
  guidance().DesiredTrack = 270.087;
  guidance().AircraftHeading = 270.087;
  guidance().ActiveLegLength = 59.09;
  guidance().ActiveWaypointDistance = 29.545;
  for (int mode : {1, 3}) {
    model().HWB737NDMode = mode;
    Draw();
    const double cy = mode == 1 ? kRoseY : kArcY;
    const double top = mode == 1 ? -27 : -18;
    const gfx::RecordedOp* bar =
        mode == 1 ? Ops(OpKind::Polygon, colour::kMagenta, 0).at(0) : Outline(colour::kMagenta, 5);
    ASSERT_NE(bar, nullptr);
    const int corner = mode == 1 ? 0 : 1;
    ExpectPoint(bar->points[corner], gfx::PointF(122 - 18 - 3, static_cast<float>(cy + top)));
  }
}

TEST_F(CompassTest, RadioDeviationFromTheNeedleAndOnlyWithASignal) {
  model().HWB737NDMode = 2;
  guidance().AircraftHeading = 0.0;
  guidance().SelectedCourse = 0.0;
  struct Case {
    double needle;
    int offset;
  } cases[] = {{127, 37}, {-64, -18}, {300, 37}, {-127, -37}, {3, 0}};
  Radio(1.0);
  for (const Case& c : cases) {
    guidance().Nav1CdiNeedle = c.needle;
    Draw();
    auto bars = Ops(OpKind::Polygon, colour::kMagenta, 0);
    ASSERT_EQ(bars.size(), 1u);
    EXPECT_FLOAT_EQ(bars[0]->points[0].X, static_cast<float>(122 + c.offset - 3)) << c.needle;
  }
  Radio(0.0);
  Draw();
  EXPECT_TRUE(Ops(OpKind::Polygon, colour::kMagenta, 0).empty());
}

TEST_F(CompassTest, ToFromUsesTheAngleTakenTheShortWayRound) {
  struct Case {
    double heading, station_offset, course;
    bool to;
  } cases[] = {
      {0, 355, 5, true},     // across north: 10 degrees apart
      {350, 10, 355, true},  // station bearing 0 against 355
      {0, 185, 5, false},
      {0, 95, 5, false},     // exactly 90: FROM
      {0, 94, 5, true},
      {200, 300, 40, false},  // station 300 + 200 - 360 = 140: 100 degrees off
  };
  model().HWB737NDMode = 2;
  Radio(1.0);
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "station offset " << c.station_offset << " course " << c.course);
    guidance().AircraftHeading = c.heading;
    guidance().HeadingOffsetToken550 = c.station_offset;
    guidance().SelectedCourse = c.course;
    Draw();
    const gfx::RecordedOp* arrow = Outline(colour::kWhite, 4);
    ASSERT_NE(arrow, nullptr);
    ExpectPoint(arrow->points[0], Rotated(0, c.to ? -18 : 18, c.course - c.heading, kRoseX, kRoseY));
  }
  model().HWB737NDMode = 4;
  guidance().AircraftHeading = 0;
  guidance().HeadingOffsetToken550 = 355;
  guidance().SelectedCourse = 5;
  Draw();
  ExpectAt(Text("TO"), gfx::PointF(192, 254));
  EXPECT_FALSE(Has("FROM"));
  Radio(0.0);
  Draw();
  EXPECT_FALSE(Has("TO"));
  model().HWB737NDMode = 2;
  Draw();
  int outlines = 0;  // only the rose's top triangle is left
  for (const gfx::RecordedOp* op : rec.Find(OpKind::Lines))
    if (op->color == colour::kWhite && op->points.size() == 4) ++outlines;
  EXPECT_EQ(outlines, 1);
}

TEST_F(CompassTest, RoseGlideslopeScaleOnItsOwnGrid) {
  model().HWB737NDMode = 2;
  const float sx = 244.0f / 266.0f, sy = 302.0f / 230.0f;
  Radio(1.0, 0);
  Draw();
  EXPECT_EQ(rec.Count(OpKind::Ellipse, colour::kWhite), 4);  // the deviation dots only

  Radio(1.0, kGlideslope);
  guidance().Nav1GlideslopeNeedle = 171.0;  // beyond full scale: limited to 127
  Draw();
  EXPECT_EQ(rec.Count(OpKind::Ellipse, colour::kWhite), 8);
  EXPECT_TRUE(Ops(OpKind::Polygon, colour::kMagenta, 1).empty());  // token 852 is 0

  host.tokens[kTokenGlideslopeShown] = 1.0;
  Draw();
  auto diamonds = Ops(OpKind::Polygon, colour::kMagenta, 1);
  ASSERT_EQ(diamonds.size(), 1u);
  ExpectPoint(diamonds[0]->points[0], gfx::PointF((129 + 117) * sx, (114 + 37) * sy));
  guidance().Nav1GlideslopeNeedle = -85.5;  // -25
  Draw();
  diamonds = Ops(OpKind::Polygon, colour::kMagenta, 1);
  ASSERT_EQ(diamonds.size(), 1u);
  ExpectPoint(diamonds[0]->points[1], gfx::PointF((129 + 122) * sx, (114 - 25 - 5) * sy));
}

TEST_F(CompassTest, BearingPointersOnlyWithTheAuxSwitch) {
  model().HWB737NDMode = 2;
  guidance().AircraftHeading = 20.0;
  guidance().AdfSignal = 2.0;
  guidance().AdfRelativeBearing = 45.0;
  guidance().HeadingOffsetToken550 = 350.0;  // station bearing 10
  Radio(1.0);
  Draw();
  EXPECT_TRUE(Ops(OpKind::Polygon, colour::kBlue, 1).empty());
  EXPECT_EQ(Outline(colour::kLightGreen, 11), nullptr);

  model().EfisAuxFlag = 1;
  Draw();
  auto adf = Ops(OpKind::Polygon, colour::kBlue, 1);
  ASSERT_EQ(adf.size(), 1u);
  ExpectPoint(adf[0]->points[0], Rotated(0, -90, 45, kRoseX, kRoseY));
  const gfx::RecordedOp* vor = Outline(colour::kLightGreen, 11);
  ASSERT_NE(vor, nullptr);
  ExpectPoint(vor->points[5], Rotated(0, -90, -10, kRoseX, kRoseY));

  guidance().AdfSignal = 1.0;
  Radio(0.0);
  Draw();
  EXPECT_TRUE(Ops(OpKind::Polygon, colour::kBlue, 1).empty());
  EXPECT_EQ(Outline(colour::kLightGreen, 11), nullptr);

  model().HWB737NDMode = 1;  // the route rose has no bearing pointers
  guidance().AdfSignal = 2.0;
  Draw();
  EXPECT_TRUE(Ops(OpKind::Polygon, colour::kBlue, 1).empty());
}

TEST_F(CompassTest, ArcShowsOnlyMarksWithin55DegreesOfTheHeading) {
  model().HWB737NDMode = 5;
  struct Case {
    double heading;
    std::vector<const char*> shown, hidden;
    int ticks;
  } cases[] = {
      {10.0, {"33", "0", "3", "6"}, {"30", "9"}, 21},     // 350 is at -20; 65 at +55 is out
      {355.0, {"33", "0", "3"}, {"30", "6"}, 21},          // 300 at -55 is out
      {180.0, {"15", "18", "21"}, {"12", "24"}, 21},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.heading);
    guidance().AircraftHeading = c.heading;
    Draw();
    for (const char* s : c.shown) EXPECT_TRUE(Has(s)) << s;
    for (const char* s : c.hidden) EXPECT_FALSE(Has(s)) << s;
    EXPECT_EQ(CountTicks(kArcX, kArcY, 217, 207) + CountTicks(kArcX, kArcY, 217, 212), c.ticks);
  }
  guidance().AircraftHeading = 0.0;
  Draw();
  ExpectAt(Text("3"), Rotated(-7, -207, 30, kArcX, kArcY));
  ExpectAt(Text("33"), Rotated(-9, -207, -30, kArcX, kArcY));
  ExpectAt(Text(" 20"), gfx::PointF(102, 129));
  EXPECT_EQ(Text(" 20").font_size, 10.0f);
}

TEST_F(CompassTest, CentredMapHasAScaleAllRound) {
  model().HWB737NDMode = 6;
  model().NdRange = 320.0;
  guidance().AircraftHeading = 0.0;
  Draw();
  EXPECT_EQ(CountTicks(122, 171, 90, 100), 24);
  for (const char* s : {"0", "3", "6", "9", "12", "15", "18", "21", "24", "27", "30", "33"}) EXPECT_TRUE(Has(s)) << s;
  ExpectAt(Text("0"), gfx::PointF(122 - 9, 171 - 100));
  ExpectAt(Text("12"), Rotated(-8, -100, 120, 122, 171));
  ExpectAt(Text("160"), gfx::PointF(102, 111));
  EXPECT_EQ(rec.Count(OpKind::Ellipse, colour::kWhite), 0);  // no range circle in mode 6
}

TEST_F(CompassTest, ArcCourseLineDeviationAndGlideslopeOfModes3And4) {
  model().HWB737NDMode = 3;
  guidance().AircraftHeading = 10.0;
  Draw();  // no active waypoint: course line straight up
  auto lines = Ops(OpKind::Line, colour::kMagenta);
  ASSERT_GE(lines.size(), 2u);
  ExpectPoint(lines[0]->points[0], gfx::PointF(122, 204));
  ExpectPoint(lines[0]->points[1], gfx::PointF(122, 59));
  EXPECT_EQ(lines[1]->dash, gfx::DashStyle::Dash);
  ExpectPoint(lines[1]->points[1], gfx::PointF(122, 439));

  model().HWB737NDMode = 4;
  guidance().SelectedCourse = 100.0;
  guidance().Nav1CdiNeedle = -127.0;
  guidance().Nav1GlideslopeNeedle = 47.0;
  host.tokens[kTokenGlideslopeShown] = 1.0;
  Radio(1.0, kGlideslope);
  Draw();
  lines = Ops(OpKind::Line, colour::kMagenta);
  ASSERT_GE(lines.size(), 1u);
  ExpectPoint(lines[0]->points[1], Rotated(0, -190, 90, kArcX, kArcY));
  const gfx::RecordedOp* bar = Outline(colour::kMagenta, 5);
  ASSERT_NE(bar, nullptr);
  ExpectPoint(bar->points[1], Rotated(-40, -18, 90, kArcX, kArcY));
  // Glideslope: dots at x 103, the diamond at needle x 10/47 - 40 = -30.
  EXPECT_EQ(rec.Count(OpKind::Ellipse, colour::kWhite), 9);  // with the range circle
  auto diamonds = Ops(OpKind::Polygon, colour::kMagenta, 1);
  ASSERT_EQ(diamonds.size(), 1u);
  ExpectPoint(diamonds[0]->points[0], gfx::PointF(222, 219));

  Radio(1.0, 0);  // no glideslope: no dots beside the arc
  Draw();
  EXPECT_EQ(rec.Count(OpKind::Ellipse, colour::kWhite), 5);
}

TEST_F(CompassTest, PlanKeepsTheArcAboutTheLowPointWithoutAircraftSymbol) {
  model().HWB737NDMode = 7;
  Draw();
  auto circles = Ops(OpKind::Ellipse, colour::kWhite, 0);
  ASSERT_EQ(circles.size(), 1u);
  ExpectPoint(circles[0]->points[0], gfx::PointF(122, 249));
  EXPECT_EQ(Outline(colour::kWhite, 4), nullptr);  // no aircraft triangle
  EXPECT_FALSE(Has(" 20"));
}

}  // namespace
}  // namespace ovi::nd::test
