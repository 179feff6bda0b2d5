// The B737 ND frame: power and blank, background, outline clip, scaling to
// other surfaces, map geometry, the PLAN reference and the layer table.
#include <algorithm>
#include <cmath>
#include <set>

#include "src/navdb/state.h"
#include "tests/instruments/nd/nd_test_support.h"

namespace ovi::nd::test {
namespace {

using gfx::OpKind;

TEST_F(NdTest, PowerOffAndBlankClearToTransparentAndDrawNothingElse) {
  struct Case {
    std::int32_t power;
    int variant;
  } cases[] = {{0, 1}, {0, 3}, {1, 2}};
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "power " << c.power << " variant " << c.variant);
    model().HWB737NDMode = 5;
    guidance().DisplayPower = 1;
    Draw();  // a full picture first: blanking must not leave any of it
    ASSERT_GT(rec.Texts().size(), 5u);
    guidance().DisplayPower = c.power;
    Draw(c.variant);
    ASSERT_EQ(rec.Size(), 1u);
    EXPECT_EQ(rec.Ops()[0].kind, OpKind::Clear);
    EXPECT_EQ(rec.Ops()[0].color, 0x00000000u);
    EXPECT_EQ(dc->pixels[0], 0u);  // transparent, not the background colour
  }
}

TEST_F(NdTest, BackgroundFromTheLowEightBitsOfEachColourKey) {
  model().HWB737NDBkgrdColorRed = 0x1AB;
  model().HWB737NDBkgrdColorGreen = 0x12;
  model().HWB737NDBkgrdColorBlue = -1;
  model().HWB737NDMode = 5;
  Draw();
  const auto fills = rec.Find(OpKind::Rectangle);
  ASSERT_FALSE(fills.empty());
  EXPECT_EQ(fills[0]->color, 0xFFAB12FFu);
  EXPECT_EQ(fills[0]->points[0].X, 0.0f);
  EXPECT_EQ(fills[0]->points[2].X, 244.0f);
  EXPECT_EQ(fills[0]->points[2].Y, 302.0f);
  // The traffic status box masks the map with the same colour.
  EXPECT_EQ(Ops(OpKind::Rectangle, 0xFFAB12FFu, 1).size(), 2u);
}

TEST_F(NdTest, BackgroundCoversEveryPixelOfTheLastPicture) {
  for (auto [w, h] : {std::pair{244, 302}, std::pair{316, 377}, std::pair{101, 97}}) {
    gfx::DeviceContext surface(w, h);
    const PIXSIZE size{w, h};
    model().HWB737NDMode = 5;  // the arc runs off the left edge
    DrawB737NavigationDisplay(nd_state.B737NdDisplay, &surface, &size, 1);
    model().HWB737NDMode = 1;
    model().HWB737NDBkgrdColorBlue = 0x40;
    DrawB737NavigationDisplay(nd_state.B737NdDisplay, &surface, &size, 1);
    for (int y : {0, h / 3, h - 1})
      for (int x : {0, w - 1}) EXPECT_EQ(surface.pixels[y * w + x], 0xFF000040u) << w << " " << x << "," << y;
    model().HWB737NDBkgrdColorBlue = 0;
  }
}

TEST_F(NdTest, OutlineClipCoversTheMapAndIsRemovedBeforeCompassArcAndDataBlocks) {
  model().HWB737NDMode = 5;
  Draw();
  const auto& ops = rec.Ops();
  auto clip = std::find_if(ops.begin(), ops.end(), [](const gfx::RecordedOp& op) { return op.kind == OpKind::Clip; });
  ASSERT_NE(clip, ops.end());
  // The top edge is the arc about (123, 207) of radius 175 from (-0.7, 83.3)
  // to (244.6, 81.1); then the straight edges.
  const std::vector<gfx::PointF>& p = clip->points;
  ASSERT_GE(p.size(), 6u);
  EXPECT_NEAR(p.front().X, -0.74, 0.02);
  EXPECT_NEAR(p.front().Y, 83.26, 0.02);
  for (const gfx::PointF& q : p) {
    EXPECT_GE(q.Y, 31.99f);
    EXPECT_TRUE(std::hypot(q.X - 123.0, q.Y - 207.0) <= 175.01 || q.Y >= 79.0f);
  }
  const gfx::PointF corners[] = {{244, 79}, {244, 302}, {0, 302}, {0, 81}};
  for (const gfx::PointF& c : corners)
    EXPECT_TRUE(std::any_of(p.begin(), p.end(), [&](gfx::PointF q) { return q.X == c.X && q.Y == c.Y; }))
        << c.X << "," << c.Y;
  auto reset = std::find_if(clip, ops.end(), [](const gfx::RecordedOp& op) { return op.kind == OpKind::ResetClip; });
  ASSERT_NE(reset, ops.end());
  // Heading labels of the arc and every data block come after the reset.
  auto first_text = std::find_if(ops.begin(), ops.end(), [](const gfx::RecordedOp& op) { return op.kind == OpKind::Text; });
  EXPECT_GT(first_text - ops.begin(), reset - ops.begin());
}

TEST_F(NdTest, AnotherSurfaceSizeScalesThePicture) {
  model().HWB737NDMode = 2;
  Draw(1, 494, 588);
  EXPECT_EQ(nd_state.B737NdDisplay.width, 494);
  EXPECT_EQ(nd_state.B737NdDisplay.height, 588);
  const float sx = 494.0f / 244.0f, sy = 588.0f / 302.0f;
  const auto gs = Text("GS");
  EXPECT_NEAR(gs.x, 190 * sx, 0.01);
  EXPECT_NEAR(gs.y, 20 * sy, 0.01);
  const auto dme = Text("DME");
  EXPECT_NEAR(dme.x, 5 * sx, 0.01);
  EXPECT_NEAR(dme.y, 10 * sy, 0.01);
  // The card label "0" at heading 0 sits at (-8, -60) about (122, 151).
  const auto north = Text("0");
  EXPECT_NEAR(north.x, 114 * sx, 0.01);
  EXPECT_NEAR(north.y, 91 * sy, 0.01);
}

TEST_F(NdTest, WithoutDeviceContextNothingHappensAndWithoutSizeTheContextsOwnCounts) {
  nd_state.B737NdDisplay.width = 7;
  DrawB737NavigationDisplay(nd_state.B737NdDisplay, nullptr, nullptr, 1);
  EXPECT_EQ(nd_state.B737NdDisplay.width, 7);
  gfx::DeviceContext small(122, 151);
  small.recorder = &rec;
  DrawB737NavigationDisplay(nd_state.B737NdDisplay, &small, nullptr, 1);
  EXPECT_EQ(nd_state.B737NdDisplay.width, 122);
  EXPECT_EQ(nd_state.B737NdDisplay.height, 151);
  const auto gs = Text("GS");
  EXPECT_NEAR(gs.x, 95.0, 0.01);
}

TEST_F(NdTest, MapGeometryFollowsTheModeAndPersistsThroughTheRoseModes) {
  struct Case {
    int mode, center_y, radius;
  } cases[] = {{3, 249, 215}, {6, 171, 110}, {1, 171, 110}, {4, 249, 215}, {2, 249, 215},
               {5, 249, 215}, {7, 171, 110}};
  for (const Case& c : cases) {
    model().HWB737NDMode = c.mode;
    Draw();
    EXPECT_EQ(nd_state.NdCenterY, c.center_y) << "mode " << c.mode;
    EXPECT_EQ(nd_state.NdArcRadius, c.radius) << "mode " << c.mode;
  }
}

class NdFrameTest : public NdTest {
 public:
  B737NdFrame Frame(int variant = 1) { return MakeB737NdFrame(g, nd_state.B737NdDisplay, variant); }
  std::set<std::string> ActiveLayers(int variant = 1) {
    const B737NdFrame f = Frame(variant);
    std::set<std::string> names;
    for (const B737NdLayer& layer : B737NdMapLayers()) {
      if (layer.condition(f)) names.insert(layer.name);
    }
    return names;
  }
  // Every condition of the table true at the loosest mode and range.
  void EverythingOn() {
    model().ShowAtcBoundaries = 1;
    navdb::navdb_state.AirportRunwayCount = 3;
    plan().FixInfoTable[1].ident = "SEA";
    host.tokens[kTokenNav1Signal] = 1.0;
    guidance().Nav1DmeDistance = 12.0;
    model().NdShowNavaids = model().NdShowAirports = model().NdShowIntersections = 1;
    plan().HoldTable[1].active_index = 2;
    plan().RouteState = 2;
    guidance().ApMaster = guidance().ApAltitudeLock = 1.0;
    guidance().ApAltitudeLockVar = 5000.0;
    guidance().AircraftAltitude = 9000.0;
    guidance().VerticalSpeedFpm = -1500.0;
  }
  gfx::DeviceContext surface{244, 302};
  gfx::Graphics g{&surface};
};

TEST_F(NdFrameTest, PlanCentresOnTheSteppedOrActiveWaypointWhileOneIsActive) {
  guidance().PlaneLatitude = -33.9;
  guidance().PlaneLongitude = 151.2;
  guidance().MapHeading = 213.0;
  ActiveRoute(-33.9, 151.2, -37.7, 144.8);
  plan().ActiveFlightPlan[2].latitude = -41.3;
  plan().ActiveFlightPlan[2].longitude = 174.8;
  plan().ActiveFlightPlanLastIndex = 2;
  struct Case {
    int mode, active, step;
    double lat, lon, heading;
  } cases[] = {
      {7, 1, 0, -37.7, 144.8, 0.0},  {7, 1, 2, -41.3, 174.8, 0.0},   {7, 999, 2, -33.9, 151.2, 0.0},
      {7, 1, 3, -33.9, 151.2, 0.0},  {6, 1, 2, -33.9, 151.2, 213.0}, {5, 2, 0, -33.9, 151.2, 213.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "mode " << c.mode << " active " << c.active << " step " << c.step);
    model().HWB737NDMode = c.mode;
    plan().ActiveWaypointIndex = c.active;
    plan().PlanStepIndex = c.step;
    const B737NdFrame f = Frame();
    EXPECT_DOUBLE_EQ(f.ref_latitude, c.lat);
    EXPECT_DOUBLE_EQ(f.ref_longitude, c.lon);
    EXPECT_DOUBLE_EQ(f.map_heading, c.heading);
  }
}

TEST_F(NdFrameTest, PixelsPerNmIsRadiusOverRangeAndZeroForNoRange) {
  model().HWB737NDMode = 5;
  model().NdRange = 10.0;
  EXPECT_DOUBLE_EQ(Frame().pixels_per_nm, 21.5);
  model().HWB737NDMode = 6;
  model().NdRange = 0.5;
  EXPECT_DOUBLE_EQ(Frame().pixels_per_nm, 220.0);
  model().NdRange = 0.0;
  EXPECT_DOUBLE_EQ(Frame().pixels_per_nm, 0.0);
}

TEST_F(NdFrameTest, LayerTableByModeVariantAndRangeBoundary) {
  EverythingOn();
  const std::set<std::string> all = {"atc boundaries", "runways",      "route",           "fix info",
                                     "tuned station",  "navaids",      "airports",        "intersections",
                                     "holding pattern", "pending route", "trend vector", "altitude arc"};
  auto without = [&](std::initializer_list<const char*> gone) {
    std::set<std::string> s = all;
    for (const char* n : gone) s.erase(n);
    return s;
  };
  struct Case {
    int mode, variant;
    double range;
    std::set<std::string> expected;
  } cases[] = {
      {5, 1, 2.5, all},
      {6, 1, 2.5, all},
      {5, 1, 5.0, without({"runways"})},
      {5, 3, 2.5, without({"atc boundaries", "intersections"})},
      {6, 1, 40.0, without({"runways"})},
      {6, 1, 80.0, without({"runways", "intersections"})},
      {5, 1, 160.0, without({"runways", "intersections"})},
      {5, 1, 320.0, without({"runways", "intersections", "navaids", "airports"})},
      {7, 1, 2.5, {"route", "fix info", "navaids", "airports", "intersections", "pending route"}},
      {7, 3, 40.0, {"route", "fix info", "navaids", "airports", "pending route"}},
      {7, 1, 320.0, {"route", "fix info", "pending route"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "mode " << c.mode << " variant " << c.variant << " range " << c.range);
    model().HWB737NDMode = c.mode;
    model().NdRange = c.range;
    EXPECT_EQ(ActiveLayers(c.variant), c.expected);
  }
}

TEST_F(NdFrameTest, EachLayerConditionAtItsEdge) {
  EverythingOn();
  model().HWB737NDMode = 5;
  model().NdRange = 2.5;
  struct Case {
    const char* layer;
    void (*change)(NdFrameTest&);
    bool shown;
  } cases[] = {
      {"pending route", [](NdFrameTest& t) { t.plan().RouteState = 3; }, false},
      {"pending route", [](NdFrameTest& t) { t.plan().RouteState = 1; }, true},
      {"pending route", [](NdFrameTest& t) { t.plan().RouteState = 4; }, true},
      {"pending route", [](NdFrameTest& t) { t.plan().RouteState = 0; }, false},
      {"tuned station", [](NdFrameTest& t) { t.host.tokens[kTokenNav1Flags] = kLocalizer; }, false},
      {"tuned station", [](NdFrameTest& t) { t.guidance().Nav1DmeDistance = 0.0; }, false},
      {"tuned station", [](NdFrameTest& t) { t.host.tokens[kTokenNav1Signal] = 0.0; }, false},
      {"altitude arc", [](NdFrameTest& t) { t.guidance().VerticalSpeedFpm = -200.0; }, false},
      {"altitude arc", [](NdFrameTest& t) { t.guidance().VerticalSpeedFpm = -200.5; }, true},
      {"altitude arc", [](NdFrameTest& t) { t.guidance().ApAltitudeLockVar = 9000.0; }, false},
      {"altitude arc", [](NdFrameTest& t) { t.guidance().ApMaster = 0.0; }, false},
      {"altitude arc", [](NdFrameTest& t) { t.guidance().ApAltitudeLock = 0.0; }, false},
      {"fix info", [](NdFrameTest& t) { t.plan().FixInfoTable[1].ident.clear(); }, false},
      {"fix info",
       [](NdFrameTest& t) {
         t.plan().FixInfoTable[1].ident.clear();
         t.plan().FixInfoTable[2].ident = "OLM";
       },
       true},
      {"holding pattern", [](NdFrameTest& t) { t.plan().HoldTable[1].active_index = 0; }, false},
      {"runways", [](NdFrameTest&) { navdb::navdb_state.AirportRunwayCount = 0; }, false},
      {"atc boundaries", [](NdFrameTest& t) { t.model().ShowAtcBoundaries = 2; }, false},
      {"navaids", [](NdFrameTest& t) { t.model().NdShowNavaids = 0; }, false},
      {"airports", [](NdFrameTest& t) { t.model().NdShowAirports = 0; }, false},
      {"intersections", [](NdFrameTest& t) { t.model().NdShowIntersections = 0; }, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.layer);
    EverythingOn();
    c.change(*this);
    EXPECT_EQ(ActiveLayers().count(c.layer), c.shown ? 1u : 0u);
  }
}

TEST_F(NdTest, RoseAndArcModesCallNoMapLayer) {
  // Every map layer armed; the altitude arc and the trend vector are the
  // ones that draw today, and neither may appear outside modes 5 and 6.
  guidance().ApMaster = guidance().ApAltitudeLock = 1.0;
  guidance().ApAltitudeLockVar = 5000.0;
  guidance().AircraftAltitude = 5500.0;
  guidance().VerticalSpeedFpm = -1500.0;
  guidance().GroundSpeedKnots = 250.0;
  guidance().BankAttitude = -20.0;
  for (int mode : {1, 2, 3, 4, 7}) {
    model().HWB737NDMode = mode;
    Draw();
    EXPECT_TRUE(Ops(OpKind::Arc, colour::kGreen).empty()) << "mode " << mode;
    EXPECT_TRUE(Ops(OpKind::Arc, colour::kWhite).empty()) << "mode " << mode;
  }
  model().HWB737NDMode = 5;
  Draw();
  EXPECT_EQ(Ops(OpKind::Arc, colour::kGreen).size(), 1u);
  EXPECT_FALSE(Ops(OpKind::Arc, colour::kWhite).empty());
}

TEST_F(NdTest, ModeOutsideItsRangeDrawsOnlyTheDataBlocks) {
  for (int mode : {0, 8, -3}) {
    model().HWB737NDMode = mode;
    Draw();
    EXPECT_TRUE(Has("HDG")) << mode;
    EXPECT_FALSE(Has("33")) << mode;  // no compass card
  }
}

}  // namespace
}  // namespace ovi::nd::test
