// The altitude range arc and the trend vector of the map modes.
#include <cmath>

#include "src/instruments/nd/b737_trend_vector.h"
#include "tests/instruments/nd/nd_test_support.h"

namespace ovi::nd::test {
namespace {

using gfx::OpKind;

class SmallLayersTest : public NdTest {
 protected:
  void DescendTowardsSelectedAltitude(double above, double vs, double gs) {
    guidance().ApMaster = guidance().ApAltitudeLock = 1.0;
    guidance().ApAltitudeLockVar = 10000.0;
    guidance().AircraftAltitude = 10000.0 + above;
    guidance().VerticalSpeedFpm = vs;
    guidance().GroundSpeedKnots = gs;
  }
};

TEST_F(SmallLayersTest, AltitudeArcLiesWhereTheSelectedAltitudeIsReached) {
  // 3000 ft at 1000 ft/min is 3 minutes, 15 NM at 300 kt; at 10 NM in mode 5
  // (21.5 units per NM) the arc's top is 322 units ahead, beyond the clip.
  model().HWB737NDMode = 5;
  model().NdRange = 10.0;
  DescendTowardsSelectedAltitude(3000.0, -1000.0, 300.0);
  Draw();
  auto arcs = Ops(OpKind::Arc, colour::kGreen);
  ASSERT_EQ(arcs.size(), 1u);
  EXPECT_NEAR(arcs[0]->points[2].X, 122 - 108 + 108.5, 0.01);
  EXPECT_NEAR(arcs[0]->points[2].Y, 249 - 322 + 108.5, 0.01);
  EXPECT_FLOAT_EQ(arcs[0]->start_angle, 240.0f);
  EXPECT_FLOAT_EQ(arcs[0]->sweep_angle, 60.0f);
  EXPECT_FLOAT_EQ(arcs[0]->pen_width, 2.0f);
  EXPECT_FALSE(arcs[0]->visible);

  // 500 ft at 2000 ft/min, 240 kt: 1 NM, in mode 6 at 10 NM 11 units.
  model().HWB737NDMode = 6;
  DescendTowardsSelectedAltitude(500.0, -2000.0, 240.0);
  Draw();
  arcs = Ops(OpKind::Arc, colour::kGreen);
  ASSERT_EQ(arcs.size(), 1u);
  EXPECT_NEAR(arcs[0]->points[2].Y, 171 - 11 + 108.5, 0.01);
  EXPECT_TRUE(arcs[0]->visible);
}

TEST_F(SmallLayersTest, AltitudeArcNeedsADescent) {
  // Drawn on its own (as a later caller might), a level or climbing
  // aircraft divides by nothing and draws nothing.
  gfx::DeviceContext surface(244, 302);
  surface.recorder = &rec;
  gfx::Graphics g(&surface);
  model().HWB737NDMode = 5;
  for (double vs : {0.0, 500.0, double{NAN}}) {
    guidance().VerticalSpeedFpm = vs;
    rec.Clear();
    DrawAltitudeRangeArc(MakeB737NdFrame(g, nd_state.B737NdDisplay, 1));
    EXPECT_EQ(rec.Count(OpKind::Arc), 0) << vs;
  }
}

TEST_F(SmallLayersTest, TrendVectorTurnCircle) {
  // 300 kt at 25 degrees of right bank, 40 NM in mode 5 (5.375 units/NM):
  // R = 300^2 / (11.23 tan 0.43625) = 17190 ft, 1.6876 deg/s, D = 30.
  TrendVector t = ComputeTrendVector(-25.4, 300.0, 40.0, 215.0 / 40.0);
  EXPECT_EQ(t.segments, 3);
  EXPECT_TRUE(t.right);
  EXPECT_FALSE(t.straight);
  EXPECT_EQ(t.diameter, 30);
  EXPECT_NEAR(t.turn_rate, 1.68758, 1e-4);
  EXPECT_NEAR(t.start[0], 180.0, 1e-4);
  EXPECT_NEAR(t.sweep[0], 50.6274, 1e-3);
  EXPECT_NEAR(t.start[1], 235.6901, 1e-3);
  EXPECT_NEAR(t.sweep[1], 45.5646, 1e-3);
  EXPECT_NEAR(t.start[2], 286.3175, 1e-3);

  // 250 kt at 30 degrees of left bank, 10 NM centred (11 units/NM): mirrored.
  t = ComputeTrendVector(30.0, 250.0, 10.0, 11.0);
  EXPECT_EQ(t.segments, 1);
  EXPECT_FALSE(t.right);
  EXPECT_EQ(t.diameter, 34);
  EXPECT_NEAR(t.start[0], 0.0, 1e-4);
  EXPECT_NEAR(t.sweep[0], -75.2190, 1e-3);
  EXPECT_NEAR(t.start[1], -82.7409, 1e-3);
  EXPECT_NEAR(t.start[2], -157.9600, 1e-3);
}

TEST_F(SmallLayersTest, TrendVectorStepsByRangeAndItsDegenerateCases) {
  struct Case {
    double bank, gs, range;
    int segments;
    bool straight;
  } cases[] = {
      {-20, 250, 10, 1, false}, {-20, 250, 19.9, 1, false}, {-20, 250, 20, 2, false}, {-20, 250, 40, 3, false},
      {0.9, 250, 40, 3, true},    // truncates to 0: straight ahead
      {-0.5, 250, 20, 2, true},
      {25, 0, 40, 0, false},      // standing still
      {25, -10, 40, 0, false},
      {NAN, 250, 40, 3, true},
      {25, NAN, 40, 0, false},
      {179, 250, 0.5, 1, false},  // beyond 89 degrees: taken as 89
      {89.5, 250, 40, 0, false},  // a circle smaller than a canvas unit
      {1, 900, 0.5, 1, true},     // a circle too large to draw
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.bank << " " << c.gs << " " << c.range);
    const TrendVector t = ComputeTrendVector(c.bank, c.gs, c.range, 215.0 / (c.range > 0 ? c.range : 1));
    EXPECT_EQ(t.segments, c.segments);
    if (c.segments > 0) {
      EXPECT_EQ(t.straight, c.straight);
    }
  }
  // Straight ahead at 300 kt, 5.375 units/NM: 30 s is 13.4 units, then the
  // gaps of 3 seconds.
  const TrendVector t = ComputeTrendVector(0.0, 300.0, 40.0, 5.375);
  EXPECT_EQ(t.line_from[0], 0);
  EXPECT_EQ(t.line_to[0], -13);
  EXPECT_EQ(t.line_from[1], -14);
  EXPECT_EQ(t.line_to[1], -26);
  EXPECT_EQ(t.line_from[2], -28);
  EXPECT_EQ(t.line_to[2], -40);
}

TEST_F(SmallLayersTest, TrendVectorDrawnAboutTheAircraftPoint) {
  model().HWB737NDMode = 5;
  guidance().GroundSpeedKnots = 300.0;
  guidance().BankAttitude = -25.0;
  for (double range : {10.0, 20.0, 40.0}) {
    model().NdRange = range;
    Draw();
    auto arcs = Ops(OpKind::Arc, colour::kWhite);
    EXPECT_EQ(arcs.size(), range < 20 ? 1u : range == 20 ? 2u : 3u) << range;
    // A right turn: the aircraft on the circle's leftmost point.
    ASSERT_FALSE(arcs.empty());
    EXPECT_NEAR(arcs[0]->points[0].X, 122.0, 0.01);
    EXPECT_NEAR(arcs[0]->points[0].Y, 249.0, 0.5);  // -D/2 of an odd D is whole
  }
  guidance().BankAttitude = 0.0;
  model().HWB737NDMode = 6;
  Draw();
  EXPECT_TRUE(Ops(OpKind::Arc, colour::kWhite).empty());
  int ahead = 0;
  for (const gfx::RecordedOp* op : Ops(OpKind::Line, colour::kWhite))
    if (op->points[0].X == 122.0f && op->points[1].X == 122.0f && op->points[0].Y <= 171.0f &&
        op->points[0].Y >= 171.0f - 50 && op->pen_width == 2.0f && op->points[1].Y < op->points[0].Y)
      ++ahead;
  EXPECT_GE(ahead, 3);  // the three straight steps (the centre line may add one)
}

TEST_F(NdTest, NothingThatIsNotANumberReachesTheSurface) {
  double* values[] = {&guidance().AircraftHeading, &guidance().MapHeading, &guidance().BankAttitude,
                      &guidance().GroundSpeedKnots, &guidance().WindSpeed, &guidance().WindDirectionMagnetic,
                      &guidance().ApHeadingLockDir, &guidance().SelectedCourse, &guidance().DesiredTrack,
                      &guidance().Nav1CdiNeedle, &guidance().Nav1GlideslopeNeedle, &guidance().TrueAirspeedEstimate,
                      &guidance().ActiveWaypointDistance, &guidance().HeadingOffsetToken550,
                      &guidance().AdfRelativeBearing, &guidance().EteMinutes, &guidance().VerticalSpeedFpm};
  ActiveRoute(10, 10, 11, 11);
  guidance().ApMaster = guidance().ApAltitudeLock = 1.0;
  guidance().AdfSignal = 5.0;
  model().EfisAuxFlag = 1;
  host.tokens[kTokenNav1Signal] = 1.0;
  host.tokens[kTokenGlideslopeShown] = 1.0;
  host.tokens[kTokenNav1Flags] = kGlideslope;
  for (double bad : {NAN, INFINITY, -INFINITY}) {
    for (double* v : values) *v = bad;
    for (int mode = 1; mode <= 7; ++mode) {
      SCOPED_TRACE(::testing::Message() << "mode " << mode << " value " << bad);
      model().HWB737NDMode = mode;
      model().NdRange = mode == 5 ? INFINITY : 40.0;
      Draw();
      EXPECT_GT(rec.Size(), 10u);
      for (const gfx::RecordedOp& op : rec.Ops()) {
        for (const gfx::PointF& p : op.points) ASSERT_TRUE(std::isfinite(p.X) && std::isfinite(p.Y));
        EXPECT_EQ(op.text.find("nan"), std::string::npos) << op.text;
        EXPECT_EQ(op.text.find("inf"), std::string::npos) << op.text;
      }
    }
  }
}

}  // namespace
}  // namespace ovi::nd::test
