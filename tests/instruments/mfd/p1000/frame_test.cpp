// The P1000 frame: power and variants, full and partial repaint on one
// surface, the clip outlines, the rose's ticks and the off-scale arrow at
// their 65-degree edge, and the layer table at and beside its boundaries.
#include <functional>

#include "tests/instruments/mfd/p1000/p1000_test_support.h"

namespace ovi::p1000::test {
namespace {

using gfx::OpKind;
namespace colour = display::colour;

using FrameTest = P1000Test;

TEST_F(FrameTest, PowerOffAndVariantTwoOnlyClearToTransparent) {
  for (const auto& [power, variant] : {std::pair{0, 1}, {1, 2}}) {
    guidance().DisplayPower = power;
    Draw(variant);
    ASSERT_EQ(rec.Size(), 1u);
    EXPECT_EQ(rec.Ops()[0].kind, OpKind::Clear);
    EXPECT_EQ(rec.Ops()[0].color, colour::kTransparent);
  }
}

TEST_F(FrameTest, PartialFramesEraseOnlyTheMapAndKeepTheRestOfTheSurface) {
  model().P1000MFDBkgrdColorBlue = 0x180;  // low 8 bits: 0x80
  const gfx::ARGB background = 0xFF000080;
  auto canvas_fills = [&] {
    std::size_t n = 0;
    for (const gfx::RecordedOp* op : Ops(OpKind::Rectangle, background, 1)) n += op->bounds.Width >= 272;
    return n;
  };
  Draw();
  ASSERT_EQ(canvas_fills(), 1u);
  EXPECT_EQ(Ops(OpKind::Polygon, colour::kBlack, 1).size(), 2u);  // the map stays black on full frames too
  EXPECT_TRUE(rec.FindText("HDG") && rec.FindText("TAS") && rec.FindText("GSPD") && rec.FindText("APT"));
  const auto pixel = [&](int x, int y) { return dc->pixels[static_cast<std::size_t>(y * dc->width + x)]; };
  const std::uint32_t line = pixel(20, 225);  // the frame line under the heading

  guidance().DisplayRefreshCounter = 2;
  Draw();
  EXPECT_EQ(canvas_fills(), 0u);
  ASSERT_GE(rec.Size(), 2u);
  EXPECT_EQ(rec.Ops()[0].kind, OpKind::Polygon);
  EXPECT_EQ(rec.Ops()[1].kind, OpKind::Polygon);
  EXPECT_FALSE(rec.FindText("HDG"));
  EXPECT_TRUE(rec.FindText("000"));  // the selected altitude, every frame
  EXPECT_EQ(pixel(20, 225), line);
  EXPECT_NE(line, 0xFF000080u);
  // A surface cleared meanwhile (its pop-up was open) gets a whole picture.
  Draw(2);
  Draw();
  EXPECT_EQ(canvas_fills(), 1u);
  EXPECT_TRUE(rec.FindText("HDG"));
}

// Device bounds of the clips set, in order (the canvas is the surface).
std::vector<float> ClipBottoms(const gfx::Recorder& rec) {
  std::vector<float> out;
  for (const gfx::RecordedOp* op : rec.Find(OpKind::Clip)) out.push_back(op->bounds.Y + op->bounds.Height);
  return out;
}

TEST_F(FrameTest, ClipOutlinesByFormatAndTrafficWindow) {
  struct Case {
    std::int32_t format, traffic;
    std::vector<float> bottoms;  // rose area (arc format), then the map
  };
  // The TCAS window takes the canvas below y 171 (the arc format's map keeps
  // its sides down to 185).
  for (const Case& c : {Case{0, 0, {215, 271}}, Case{0, 1, {172, 185}}, Case{1, 0, {185}}, Case{1, 1, {171}}}) {
    SCOPED_TRACE(c.format * 10 + c.traffic);
    model().P1000MapFormat = c.format;
    model().NdShowTraffic = c.traffic;
    Draw();
    std::vector<float> bottoms = ClipBottoms(rec);
    if (c.traffic == 1) {  // the window's own two clips: its rings' diamond, its frame
      ASSERT_GE(bottoms.size(), 2u);
      EXPECT_NEAR(bottoms.back(), 272, 1.5);
      bottoms.resize(bottoms.size() - 2);
    }
    ASSERT_EQ(bottoms.size(), c.bottoms.size());
    for (std::size_t i = 0; i < bottoms.size(); ++i) EXPECT_NEAR(bottoms[i], c.bottoms[i], 1.5) << i;
  }
  // The centred format moves the map about (134, 116) with radius 75 and
  // leaves MapHeading alone.
  EXPECT_EQ(model().P1000MapGeometry.centre_y, 116);
  EXPECT_EQ(model().P1000MapGeometry.radius, 75);
  EXPECT_EQ(guidance().MapHeading, 0.0);
  guidance().MapHeading = 30.0;
  Draw();
  EXPECT_EQ(guidance().MapHeading, 30.0);
}

TEST_F(FrameTest, TicksAndTheOffScaleArrowStopAtSixtyFiveDegrees) {
  struct Tick {
    int tick;
    double heading;
    bool shown;
  };
  for (const Tick& t : {Tick{65, 0, false}, {60, 0, true}, {295, 0, false}, {300, 0, true}, {0, 64.9, true},
                        {0, 65, false}, {355, 10, true}, {10, 355, true}, {5, 300, false}, {5, 300.1, true}})
    EXPECT_EQ(P1000TickShown(t.tick, t.heading), t.shown) << t.tick << " at " << t.heading;
  struct Arrow {
    double bug, heading;
    int side;  // +1 right, -1 left, 0 none
  };
  for (const Arrow& a : {Arrow{65, 0, 0}, {65.1, 0, 1}, {0, 65.1, -1}, {0, 295, 0}, {200, 10, -1}, {10, 200, 1},
                         {359.5, 0.5, 0}, {-70, 0, -1}})
    EXPECT_EQ(P1000OffScaleArrow(a.bug, a.heading), a.side) << a.bug << " from " << a.heading;

  // Heading 0 draws the ticks -60 .. 60, heading 2.5 the ticks -60 .. 65.
  for (const auto& [heading, ticks] : {std::pair{0.0, 25u}, {2.5, 26u}}) {
    Aircraft(-10.0, -20.0, heading);
    Draw();
    std::size_t n = 0;
    for (const gfx::RecordedOp* op : Ops(OpKind::Line, colour::kWhite))
      n += op->pen_width == 2.5f;
    EXPECT_EQ(n, ticks) << heading;
  }
  // With the menu open the dashed select line gives way to the arrow, drawn
  // from (230, 60) for a bug 70 degrees right.
  guidance().ApHeadingLockDir = 72.5;
  model().P1000MenuOpen = 1;
  Draw();
  const auto blue = Ops(OpKind::Line, colour::kBlue);
  ASSERT_EQ(blue.size(), 1u);
  ExpectNear(blue[0]->points[0].X, blue[0]->points[0].Y, 230, 60);
  EXPECT_EQ(blue[0]->pen_width, 3.0f);
  model().P1000MenuOpen = 0;
  Draw();
  ASSERT_EQ(Ops(OpKind::Line, colour::kBlue).size(), 1u);
  EXPECT_EQ(Ops(OpKind::Line, colour::kBlue)[0]->dash, gfx::DashStyle::Dash);
}

// Which layers of the table hold for the current state.
std::vector<std::string> LayersOn(const P1000Frame& f) {
  std::vector<std::string> on;
  for (const display::Layer<P1000Frame>& l : P1000MapLayers())
    if (l.condition(f)) on.emplace_back(l.name);
  return on;
}

bool Has(const std::vector<std::string>& names, const std::string& name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

TEST_F(FrameTest, LayerTableAtAndBesideEveryBoundary) {
  gfx::DeviceContext small(4, 4);
  gfx::Graphics g(&small);
  auto frame = [&g] {
    return P1000Frame{.display = efs::efs_state.P1000MfdDisplay, .g = g, .scale = {}, .reference = {}};
  };
  struct Case {
    const char* layer;
    std::function<void(P1000Frame&)> set;
    bool on;
  };
  auto range = [](double r) { return [r](P1000Frame& fr) { fr.range = r; }; };
  auto descent = [](std::function<void()> change) {
    return [change](P1000Frame&) {
      model().DrawBodArcOnP1000MFD = 1;
      guidance().ApMaster = guidance().ApAltitudeLock = 1.0;
      guidance().ApAltitudeLockVar = 10000.0;
      guidance().AircraftAltitude = 14000.0;
      guidance().VerticalSpeedFpm = -201.0;
      change();
    };
  };
  const std::vector<Case> cases = {
      {"airports", [&](P1000Frame& fr) { model().P1000ShowAirports = 1, range(80.0)(fr); }, true},
      {"airports", [&](P1000Frame& fr) { model().P1000ShowAirports = 1, range(160.0)(fr); }, false},
      {"navaids", [](P1000Frame&) { model().P1000ShowNavaids = 1; }, true},
      {"runways", [&](P1000Frame& fr) { navdb::navdb_state.AirportRunwayCount = 1, range(2.5)(fr); }, true},
      {"runways", [&](P1000Frame& fr) { navdb::navdb_state.AirportRunwayCount = 1, range(5.0)(fr); }, false},
      {"runways",
       [&](P1000Frame& fr) {
         navdb::navdb_state.AirportRunwayCount = 1, model().P1000MenuOpen = 1, range(2.5)(fr);
       },
       false},
      {"atc boundaries", [](P1000Frame&) { model().ShowAtcBoundaries = 1; }, true},
      {"atc boundaries", [](P1000Frame& fr) { model().ShowAtcBoundaries = 1, fr.variant = 3; }, false},
      {"atc boundaries", [](P1000Frame&) { model().ShowAtcBoundaries = 1, model().P1000MenuOpen = 1; }, false},
      {"approach pattern", [](P1000Frame&) { navdb::navdb_state.SelectedRunwayBase = 1; }, true},
      {"approach pattern", [](P1000Frame&) { navdb::navdb_state.SelectedRunwayBase = 1, model().P1000MenuOpen = 1; },
       false},
      {"top of climb and descent",
       [](P1000Frame&) { guidance().DestinationDistance = 8.0, plan().ActiveWaypointIndex = 0; }, false},
      {"top of climb and descent",
       [](P1000Frame&) { guidance().DestinationDistance = 8.01, plan().ActiveWaypointIndex = 0; }, true},
      {"route", [](P1000Frame&) { plan().ActiveWaypointIndex = 0; }, true},
      {"traffic on the map", [](P1000Frame&) { model().NdShowTraffic = 1, model().DrawTcasWindowOnP1000MFD = 0; },
       true},
      {"traffic on the map", [](P1000Frame&) { model().NdShowTraffic = 1; }, false},
      {"bod arc", descent([] {}), true},
      {"bod arc", descent([] { model().DrawBodArcOnP1000MFD = 0; }), false},
      {"bod arc", descent([] { guidance().ApMaster = 0.99; }), false},
      {"bod arc", descent([] { guidance().ApAltitudeLock = 0.0; }), false},
      {"bod arc", descent([] { guidance().ApAltitudeLockVar = 14000.0; }), false},
      {"bod arc", descent([] { guidance().VerticalSpeedFpm = -200.0; }), false},
      {"bod arc", [&](P1000Frame& fr) { descent([] {})(fr), fr.format = kCentredFormat; }, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.layer) + (c.on ? " on" : " off"));
    ResetModuleState();
    P1000Frame f = frame();
    c.set(f);
    EXPECT_EQ(Has(LayersOn(f), c.layer), c.on);
  }
  // A clean module starts with every layer off.
  ResetModuleState();
  EXPECT_TRUE(LayersOn(frame()).empty());
}

}  // namespace
}  // namespace ovi::p1000::test
