// The altitude range arc and the trend vector of the map modes, and what
// happens to the whole picture when the simulator hands back no numbers.
#include <cmath>

#include "src/instruments/nd/b737_trend_vector.h"
#include "tests/instruments/nd/nd_test_support.h"

namespace ovi::nd::test {
namespace {

using gfx::OpKind;

TEST_F(NdTest, AltitudeArcLiesWhereTheSelectedAltitudeIsReached) {
  guidance().ApMaster = guidance().ApAltitudeLock = 1.0;
  guidance().ApAltitudeLockVar = 10000.0;
  struct Case {
    int mode;
    double above, vs, gs;
    float top;
    bool visible;
  } cases[] = {
      // 3000 ft at 1000 ft/min: 3 minutes, 15 NM at 300 kt; at 10 NM in mode 5
      // (21.5 units per NM) 322 units ahead, beyond the clip.
      {5, 3000, -1000, 300, 249 - 322, false},
      // 500 ft at 2000 ft/min, 240 kt: 1 NM, 11 units in mode 6.
      {6, 500, -2000, 240, 171 - 11, true},
  };
  model().NdRange = 10.0;
  for (const Case& c : cases) {
    model().HWB737NDMode = c.mode;
    guidance().AircraftAltitude = 10000.0 + c.above;
    guidance().VerticalSpeedFpm = c.vs;
    guidance().GroundSpeedKnots = c.gs;
    Draw();
    const auto arcs = Ops(OpKind::Arc, colour::kGreen);
    ASSERT_EQ(arcs.size(), 1u);
    ExpectAt(arcs[0]->points[2], gfx::PointF(122.5f, c.top + 108.5f));  // the circle's centre
    EXPECT_FLOAT_EQ(arcs[0]->start_angle, 240.0f);
    EXPECT_FLOAT_EQ(arcs[0]->sweep_angle, 60.0f);
    EXPECT_EQ(arcs[0]->visible, c.visible);
  }
  // Called on its own for a level aircraft it divides by nothing.
  gfx::Graphics g(dc.get());
  guidance().VerticalSpeedFpm = 0.0;
  rec.Clear();
  DrawAltitudeRangeArc(MakeB737NdFrame(g, nd_state.B737NdDisplay, 1));
  EXPECT_EQ(rec.Count(OpKind::Arc), 0);
}

TEST(TrendVector, TurnCircleAndItsStepsByRange) {
  // 300 kt at 25 degrees of right bank, 40 NM in mode 5 (5.375 units/NM):
  // R = 300^2 / (11.23 tan 0.43625) = 17190 ft, 1.6876 deg/s, D = 30.
  TrendVector t = ComputeTrendVector(-25.4, 300.0, 40.0, 215.0 / 40.0);
  EXPECT_EQ(t.segments, 3);
  EXPECT_TRUE(t.right);
  EXPECT_EQ(t.diameter, 30);
  EXPECT_NEAR(t.turn_rate, 1.68758, 1e-4);
  EXPECT_NEAR(t.start[0], 180.0, 1e-4);
  EXPECT_NEAR(t.sweep[0], 50.6274, 1e-3);
  EXPECT_NEAR(t.start[1], 235.6901, 1e-3);
  EXPECT_NEAR(t.start[2], 286.3175, 1e-3);
  // 250 kt at 30 degrees of left bank, 10 NM centred (11 units/NM): mirrored.
  t = ComputeTrendVector(30.0, 250.0, 10.0, 11.0);
  EXPECT_EQ(t.segments, 1);
  EXPECT_EQ(t.diameter, 34);
  EXPECT_NEAR(t.sweep[0], -75.2190, 1e-3);
  EXPECT_NEAR(t.start[1], -82.7409, 1e-3);

  struct Case {
    double bank, gs, range;
    int segments;
    bool straight;
  } cases[] = {
      {-20, 250, 19.9, 1, false}, {-20, 250, 20, 2, false}, {-20, 250, 40, 3, false},
      {0.9, 250, 40, 3, true},   // truncates to 0: straight ahead
      {25, 0, 40, 0, false},     // standing still
      {NAN, 250, 40, 3, true},   {25, NAN, 40, 0, false},
      {179, 250, 0.5, 1, false},  // taken as 89 degrees
      {89.5, 250, 40, 0, false},  // a circle under one unit
      {1, 900, 0.5, 1, true},     // a circle too large to draw
  };
  for (const Case& c : cases) {
    t = ComputeTrendVector(c.bank, c.gs, c.range, 215.0 / c.range);
    EXPECT_EQ(t.segments, c.segments) << c.bank << " " << c.gs << " " << c.range;
    if (c.segments > 0) {
      EXPECT_EQ(t.straight, c.straight) << c.bank << " " << c.gs << " " << c.range;
    }
  }
  // Straight ahead at 300 kt and 5.375 units/NM: 30 s is 13.4 units, then
  // the 3-second gaps.
  t = ComputeTrendVector(0.0, 300.0, 40.0, 5.375);
  EXPECT_EQ(std::vector<int>(t.line_from, t.line_from + 3), (std::vector<int>{0, -14, -28}));
  EXPECT_EQ(std::vector<int>(t.line_to, t.line_to + 3), (std::vector<int>{-13, -26, -40}));
}

TEST_F(NdTest, TrendVectorStartsAtTheAircraft) {
  model().HWB737NDMode = 5;
  guidance().GroundSpeedKnots = 300.0;
  guidance().BankAttitude = -25.0;
  for (double range : {10.0, 20.0, 40.0}) {
    model().NdRange = range;
    Draw();
    const auto arcs = Ops(OpKind::Arc, colour::kWhite);
    ASSERT_EQ(arcs.size(), range < 20 ? 1u : range == 20 ? 2u : 3u) << range;
    EXPECT_NEAR(arcs[0]->points[0].X, 122.0, 0.01);
    EXPECT_NEAR(arcs[0]->points[0].Y, 249.0, 0.5);  // -D/2 of an odd D is whole
  }
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
  Radio(1.0, 0x40);
  host.tokens[kTokenGlideslopeShown] = 1.0;
  for (double bad : {NAN, INFINITY, -INFINITY}) {
    for (double* v : values) *v = bad;
    for (int mode = 1; mode <= 7; ++mode) {
      model().HWB737NDMode = mode;
      model().NdRange = mode == 5 ? INFINITY : 40.0;
      Draw();
      EXPECT_GT(rec.Size(), 10u);
      for (const gfx::RecordedOp& op : rec.Ops()) {
        for (const gfx::PointF& p : op.points) ASSERT_TRUE(std::isfinite(p.X) && std::isfinite(p.Y)) << mode;
        EXPECT_EQ(op.text.find("nan"), std::string::npos) << op.text;
        EXPECT_EQ(op.text.find("inf"), std::string::npos) << op.text;
      }
    }
  }
}


// A left turn on the centred map: 250 kt at 30 degrees of bank, 10 NM in
// mode 6 (11 units per NM). R = 250^2 / (11.23 tan 0.5235) = 9642 ft,
// D = 2 R x 0.000164579 x 11 = 34.9, truncated to 34; the circle lies left
// of the aircraft (box -34, -17) with its centre 17 units left of
// (122, 171); 2.507 degrees a second, so the one arc sweeps -75.2 degrees
// from the aircraft's point, up the left side.
TEST_F(NdTest, TrendVectorOfALeftTurnOnTheCentredMap) {
  model().HWB737NDMode = 6;
  model().NdRange = 10.0;
  guidance().GroundSpeedKnots = 250.0;
  guidance().BankAttitude = 30.4;
  Draw();
  const auto arcs = Ops(OpKind::Arc, colour::kWhite);
  ASSERT_EQ(arcs.size(), 1u);
  EXPECT_EQ(arcs[0]->pen_width, 2.0f);
  ExpectAt(arcs[0]->points[0], gfx::PointF(122, 171));
  ExpectAt(arcs[0]->points[2], gfx::PointF(105, 171));
  EXPECT_FLOAT_EQ(arcs[0]->start_angle, 0.0f);
  EXPECT_NEAR(arcs[0]->sweep_angle, -75.22, 0.01);
  EXPECT_NEAR(arcs[0]->points[1].X, 109.34, 0.05);
  EXPECT_NEAR(arcs[0]->points[1].Y, 154.56, 0.05);
}

}  // namespace
}  // namespace ovi::nd::test
