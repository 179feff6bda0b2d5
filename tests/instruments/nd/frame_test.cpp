// The B737 ND frame: power and blank, background, outline clip, scaling to
// other surfaces, the PLAN reference and the layer table.
#include <algorithm>
#include <set>

#include "src/navdb/state.h"
#include "tests/instruments/nd/nd_test_support.h"

namespace ovi::nd::test {
namespace {

using gfx::OpKind;

TEST_F(NdTest, PowerOffAndBlankClearToTransparentAndDrawNothingElse) {
  model().HWB737NDMode = 5;
  for (auto [power, variant] : {std::pair{0, 1}, {0, 3}, {1, 2}}) {
    guidance().DisplayPower = 1;
    Draw();  // a full picture first: none of it may stay
    guidance().DisplayPower = power;
    Draw(variant);
    ASSERT_EQ(rec.Size(), 1u) << power << " " << variant;
    EXPECT_EQ(rec.Ops()[0].kind, OpKind::Clear);
    EXPECT_EQ(rec.Ops()[0].color, 0x00000000u);
    EXPECT_EQ(dc->pixels[0], 0u);
  }
}

TEST_F(NdTest, BackgroundFromTheLowBitsOfItsKeysCoversEveryPixel) {
  model().HWB737NDBkgrdColorRed = 0x1AB;
  model().HWB737NDBkgrdColorGreen = 0x12;
  model().HWB737NDBkgrdColorBlue = -1;
  for (auto [w, h] : {std::pair{244, 302}, {316, 377}, {101, 97}}) {
    model().HWB737NDMode = 5;  // the compass arc runs off the left edge
    Draw(1, w, h);
    EXPECT_EQ(rec.Find(OpKind::Rectangle)[0]->color, 0xFFAB12FFu);
    gfx::DeviceContext& surface = *dc;
    const PIXSIZE size{w, h};
    model().HWB737NDMode = 1;  // no arc: the edges show the background again
    DrawB737NavigationDisplay(nd_state.B737NdDisplay, &surface, &size, 1);
    for (int y : {0, h / 3, h - 1})
      for (int x : {0, w - 1}) EXPECT_EQ(surface.pixels[y * w + x], 0xFFAB12FFu) << w << ": " << x << "," << y;
  }
}

TEST_F(NdTest, OutlineClipHoldsTheMapAndGoesBeforeTheArcAndTheDataBlocks) {
  model().HWB737NDMode = 5;
  Draw();
  const auto& ops = rec.Ops();
  auto first = [&](OpKind kind, auto from) {
    return std::find_if(from, ops.end(), [kind](const gfx::RecordedOp& op) { return op.kind == kind; });
  };
  auto clip = first(OpKind::Clip, ops.begin());
  ASSERT_NE(clip, ops.end());
  // The arc of radius 175 about (123, 207) from 225 degrees, then the edges.
  ExpectAt(clip->points.front(), gfx::PointF(-0.7425f, 83.2575f));
  for (gfx::PointF c : {gfx::PointF(244, 79), gfx::PointF(244, 302), gfx::PointF(0, 302), gfx::PointF(0, 81)})
    EXPECT_TRUE(std::any_of(clip->points.begin(), clip->points.end(),
                            [c](gfx::PointF q) { return q.X == c.X && q.Y == c.Y; }));
  EXPECT_LT(first(OpKind::ResetClip, clip), first(OpKind::Text, ops.begin()));
}

TEST_F(NdTest, AnotherSurfaceSizeScalesThePicture) {
  model().HWB737NDMode = 2;
  Draw(1, 494, 588);
  EXPECT_EQ(nd_state.B737NdDisplay.width, 494);
  EXPECT_EQ(nd_state.B737NdDisplay.height, 588);
  const float sx = 494.0f / 244.0f, sy = 588.0f / 302.0f;
  ExpectAt(Text("GS"), gfx::PointF(190 * sx, 20 * sy));
  ExpectAt(Text("0"), gfx::PointF(114 * sx, 91 * sy));  // the card's north label
}

class NdFrameTest : public NdTest {
 public:
  B737NdFrame Frame(int variant = 1) { return MakeB737NdFrame(g, nd_state.B737NdDisplay, variant); }
  std::set<std::string> ActiveLayers(int variant = 1) {
    const B737NdFrame f = Frame(variant);
    std::set<std::string> names;
    for (const B737NdLayer& layer : B737NdMapLayers())
      if (layer.condition(f)) names.insert(layer.name);
    return names;
  }
  // Every condition of the table true at the loosest mode and range.
  void EverythingOn() {
    model().ShowAtcBoundaries = 1;
    navdb::navdb_state.AirportRunwayCount = 3;
    plan().FixInfoTable[1].ident = "SEA";
    Radio(1.0);
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

TEST_F(NdFrameTest, GeometryAndReferenceByMode) {
  guidance().PlaneLatitude = -33.9;
  guidance().PlaneLongitude = 151.2;
  guidance().MapHeading = 213.0;
  ActiveRoute(-33.9, 151.2, -37.7, 144.8);
  plan().ActiveFlightPlan[2].latitude = -41.3;
  plan().ActiveFlightPlan[2].longitude = 174.8;
  plan().ActiveFlightPlanLastIndex = 2;
  struct Case {
    int mode, active, step, center_y, radius;
    double lat, lon, heading;
  } cases[] = {
      {7, 1, 0, 171, 110, -37.7, 144.8, 0},   {7, 1, 2, 171, 110, -41.3, 174.8, 0},
      {7, 999, 2, 171, 110, -33.9, 151.2, 0}, {7, 1, 3, 171, 110, -33.9, 151.2, 0},  // step beyond the plan
      {6, 1, 2, 171, 110, -33.9, 151.2, 213}, {5, 1, 0, 249, 215, -33.9, 151.2, 213},
      {3, 1, 0, 249, 215, -33.9, 151.2, 213}, {1, 1, 0, 249, 215, -33.9, 151.2, 213},  // kept from the last
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "mode " << c.mode << " active " << c.active << " step " << c.step);
    model().HWB737NDMode = c.mode;
    plan().ActiveWaypointIndex = c.active;
    plan().PlanStepIndex = c.step;
    const B737NdFrame f = Frame();
    EXPECT_EQ(nd_state.NdCenterY, c.center_y);
    EXPECT_EQ(nd_state.NdArcRadius, c.radius);
    EXPECT_DOUBLE_EQ(f.ref_latitude, c.lat);
    EXPECT_DOUBLE_EQ(f.ref_longitude, c.lon);
    EXPECT_DOUBLE_EQ(f.map_heading, c.heading);
  }
}

TEST_F(NdFrameTest, LayerTableByModeVariantAndRangeBoundary) {
  EverythingOn();
  const std::set<std::string> all = {"atc boundaries", "runways",  "route",         "fix info",
                                     "tuned station",  "navaids",  "airports",      "intersections",
                                     "holding pattern", "pending route", "trend vector", "altitude arc"};
  auto without = [&](std::initializer_list<const char*> gone) {
    std::set<std::string> s = all;
    for (const char* n : gone) s.erase(n);
    return s;
  };
  const std::set<std::string> plan_layers = {"route", "fix info", "navaids", "airports", "intersections",
                                             "pending route"};
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
      {7, 1, 2.5, plan_layers},
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
  model().HWB737NDMode = 5;
  model().NdRange = 2.5;
  struct Case {
    const char* layer;
    void (*change)(NdFrameTest&);
    bool shown;
  } cases[] = {
      {"pending route", [](NdFrameTest& t) { t.plan().RouteState = 3; }, false},
      {"pending route", [](NdFrameTest& t) { t.plan().RouteState = 4; }, true},
      {"pending route", [](NdFrameTest& t) { t.plan().RouteState = 1; }, true},
      {"tuned station", [](NdFrameTest& t) { t.Radio(1.0, 0x80); }, false},  // a localizer
      {"tuned station", [](NdFrameTest& t) { t.guidance().Nav1DmeDistance = 0.0; }, false},
      {"altitude arc", [](NdFrameTest& t) { t.guidance().VerticalSpeedFpm = -200.0; }, false},
      {"altitude arc", [](NdFrameTest& t) { t.guidance().ApAltitudeLockVar = 9000.0; }, false},
      {"fix info",
       [](NdFrameTest& t) {
         t.plan().FixInfoTable[1].ident.clear();
         t.plan().FixInfoTable[2].ident = "OLM";
       },
       true},
      {"holding pattern", [](NdFrameTest& t) { t.plan().HoldTable[1].active_index = 0; }, false},
      {"atc boundaries", [](NdFrameTest& t) { t.model().ShowAtcBoundaries = 2; }, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.layer);
    EverythingOn();
    c.change(*this);
    EXPECT_EQ(ActiveLayers().count(c.layer), c.shown ? 1u : 0u);
  }
}

TEST_F(NdTest, MapLayersDrawOnlyInTheMapModes) {
  // The altitude arc and the trend vector are armed; only modes 5 and 6 may
  // call them.
  guidance().ApMaster = guidance().ApAltitudeLock = 1.0;
  guidance().ApAltitudeLockVar = 5000.0;
  guidance().AircraftAltitude = 5500.0;
  guidance().VerticalSpeedFpm = -1500.0;
  guidance().GroundSpeedKnots = 250.0;
  guidance().BankAttitude = -20.0;
  for (int mode = 1; mode <= 7; ++mode) {
    model().HWB737NDMode = mode;
    Draw();
    const bool map = mode == 5 || mode == 6;
    EXPECT_EQ(Ops(OpKind::Arc, colour::kGreen).size(), map ? 1u : 0u) << mode;
    EXPECT_EQ(Ops(OpKind::Arc, colour::kWhite).empty(), !map) << mode;
  }
}

}  // namespace
}  // namespace ovi::nd::test
