// The frame: power and variants, full and partial repaint on one surface,
// the clip outlines, the 65-degree edge of the rose and the off-scale
// arrow, and the layer table at and beside its boundaries.
#include <functional>

#include "tests/instruments/mfd/p1000/p1000_test_support.h"

namespace ovi::p1000::test {
namespace {

using FrameTest = P1000Test;

TEST_F(FrameTest, PowerOffAndVariantTwoOnlyClearToTransparent) {
  for (const auto& [power, variant] : {std::pair{0, 1}, {1, 2}}) {
    guidance().DisplayPower = power;
    ASSERT_EQ(Draw(variant).Size(), 1u);
    EXPECT_EQ(rec.Ops()[0].kind, OpKind::Clear);
    EXPECT_EQ(rec.Ops()[0].color, colour::kTransparent);
  }
}

TEST_F(FrameTest, PartialFramesEraseTheMapAndKeepTheRest) {
  model().P1000MFDBkgrdColorBlue = 0x180;  // low 8 bits
  auto canvas_fills = [&] {
    std::size_t n = 0;
    for (const gfx::RecordedOp* op : Ops(OpKind::Rectangle, 0xFF000080, 1)) n += op->bounds.Width >= 272;
    return n;
  };
  const auto pixel = [&] { return dc->pixels[225 * 272 + 20]; };  // the line under the heading
  Draw();
  EXPECT_EQ(canvas_fills(), 1u);
  EXPECT_EQ(Ops(OpKind::Polygon, colour::kBlack, 1).size(), 2u);  // the map black on full frames too
  EXPECT_TRUE(rec.FindText("HDG") && rec.FindText("GSPD") && rec.FindText("APT"));
  const std::uint32_t line = pixel();
  guidance().DisplayRefreshCounter = 2;
  Draw();
  EXPECT_EQ(canvas_fills(), 0u);
  EXPECT_EQ(rec.Ops()[0].kind, OpKind::Polygon);
  EXPECT_FALSE(rec.FindText("HDG"));
  EXPECT_TRUE(rec.FindText("000"));  // the selected altitude, every frame
  EXPECT_EQ(pixel(), line);
  // A surface cleared meanwhile (its pop-up was open) gets a whole picture.
  Draw(2);
  Draw();
  EXPECT_EQ(canvas_fills(), 1u);
}

TEST_F(FrameTest, ClipOutlinesByFormatAndTrafficWindow) {
  struct Case {
    std::int32_t format, traffic;
    std::vector<float> bottoms;  // rose area (arc format), then the map
  };
  // The window takes the canvas below 171 (the arc map keeps its sides).
  for (const Case& c : {Case{0, 0, {215, 271}}, {0, 1, {172, 185}}, {1, 0, {185}}, {1, 1, {171}}}) {
    model().P1000MapFormat = c.format;
    model().NdShowTraffic = c.traffic;
    Draw();
    std::vector<float> bottoms;
    for (const gfx::RecordedOp* op : rec.Find(OpKind::Clip)) bottoms.push_back(op->bounds.Y + op->bounds.Height);
    bottoms.resize(bottoms.size() - 2 * c.traffic);  // the window's own two
    ASSERT_EQ(bottoms.size(), c.bottoms.size());
    for (std::size_t i = 0; i < bottoms.size(); ++i) EXPECT_NEAR(bottoms[i], c.bottoms[i], 1.5) << c.format;
  }
  // The centred geometry, MapHeading left alone.
  guidance().MapHeading = 30.0;
  Draw();
  EXPECT_EQ(model().P1000MapGeometry.centre_y, 116);
  EXPECT_EQ(model().P1000MapGeometry.radius, 75);
  EXPECT_EQ(guidance().MapHeading, 30.0);
}

TEST_F(FrameTest, TicksAndTheOffScaleArrowStopAtSixtyFiveDegrees) {
  for (const auto& [tick, heading, shown] :
       {std::tuple{65, 0.0, false}, {60, 0.0, true}, {295, 0.0, false}, {300, 0.0, true}, {0, 65.0, false},
        {0, 64.9, true}, {355, 10.0, true}, {10, 355.0, true}, {5, 300.0, false}, {5, 300.1, true}})
    EXPECT_EQ(P1000TickShown(tick, heading), shown) << tick << " at " << heading;
  // +1 right, -1 left, 0 none.
  for (const auto& [bug, heading, side] : {std::tuple{65.0, 0.0, 0}, {65.1, 0.0, 1}, {0.0, 65.1, -1}, {0.0, 295.0, 0},
                                           {200.0, 10.0, -1}, {10.0, 200.0, 1}, {-70.0, 0.0, -1}})
    EXPECT_EQ(P1000OffScaleArrow(bug, heading), side) << bug << " from " << heading;
  // Drawn: heading 0 the ticks -60..60, 2.5 the ticks -60..65.
  for (const auto& [heading, ticks] : {std::pair{0.0, 25}, {2.5, 26}}) {
    guidance().AircraftHeading = heading;
    Draw();
    int n = 0;
    for (const gfx::RecordedOp* op : Ops(OpKind::Line, colour::kWhite)) n += op->pen_width == 2.5f;
    EXPECT_EQ(n, ticks) << heading;
  }
  // With the menu open the dashed select line gives way to the arrow (from
  // (230, 60) for a bug 70 degrees right).
  guidance().ApHeadingLockDir = 72.5;
  for (const auto& [menu, dash, x] : {std::tuple{1, gfx::DashStyle::Solid, 230.0}, {0, gfx::DashStyle::Dash, 134.0}}) {
    model().P1000MenuOpen = menu;
    Draw();
    const auto blue = Ops(OpKind::Line, colour::kBlue);
    ASSERT_EQ(blue.size(), 1u);
    EXPECT_EQ(blue[0]->dash, dash);
    EXPECT_NEAR(blue[0]->points[menu == 1 ? 0 : 1].X, x, 0.6);  // the arrow's start, the line's aircraft end
  }
}

// The compass labels at the ends of the arc stand whole in the rose's
// outline: every corner of a label's box (measured as drawn, through its
// turned frame) lies inside the clip in force. "30" and "33" at heading 0,
// "12" at 60, and the widest labels 64.9 degrees either side; a side
// straight from (26, 85) to (65, 109) showed "30" as "0".
TEST_F(FrameTest, CompassLabelsAtTheEndsOfTheArcAreWhole) {
  gfx::DeviceContext scratch(4, 4);
  gfx::Graphics measure(&scratch);
  const gfx::Font font = display::DaReredBold(17.0f);
  auto inside = [](const std::vector<gfx::PointF>& outline, double x, double y) {
    bool in = false;  // even-odd, as the clip fills
    for (std::size_t i = 0, j = outline.size() - 1; i < outline.size(); j = i++) {
      const gfx::PointF a = outline[i], b = outline[j];
      if ((a.Y > y) != (b.Y > y) && x < a.X + (y - a.Y) * (b.X - a.X) / (b.Y - a.Y)) in = !in;
    }
    return in;
  };
  for (double heading : {0.0, 60.0, 4.9, 55.1, 274.9, 265.1}) {
    guidance().AircraftHeading = heading;
    Draw();
    const gfx::RecordedOp* clip = nullptr;
    int labels = 0;
    for (const gfx::RecordedOp& op : rec.Ops()) {
      if (op.kind == OpKind::Clip) clip = &op;
      if (op.kind == OpKind::ResetClip) clip = nullptr;
      // The labels: DA Rered 17 turned about the rose's centre (134, 148.5).
      if (op.kind != OpKind::Text || op.font_family != "DA Rered" || op.font_size != 17.0f ||
          std::abs(op.matrix[4] - 134.0f) > 0.01f || std::abs(op.matrix[5] - 148.5f) > 0.01f)
        continue;
      ++labels;
      ASSERT_NE(clip, nullptr);
      const std::string ink = op.text.substr(0, op.text.find_last_not_of(' ') + 1);
      gfx::RectF box;
      measure.MeasureString(ink, font, gfx::PointF(0, 0), nullptr, &box);
      for (const auto& [u, v] : {std::pair{0.0f, 0.0f}, {box.Width, 0.0f}, {0.0f, box.Height}, {box.Width, box.Height}}) {
        const double x = op.points[0].X + u * op.matrix[0] + v * op.matrix[2];
        const double y = op.points[0].Y + u * op.matrix[1] + v * op.matrix[3];
        EXPECT_TRUE(inside(clip->points, x, y)) << "\"" << op.text << "\" at heading " << heading;
      }
    }
    EXPECT_GE(labels, 4) << heading;
  }
}

TEST_F(FrameTest, LayerTableAtAndBesideEveryBoundary) {
  gfx::DeviceContext small(4, 4);
  gfx::Graphics g(&small);
  struct Case {
    const char* layer;
    std::function<void()> set;
    bool shown;
    double range = 12.5;
    int variant = 1;
    std::int32_t format = kArcFormat;
  };
  auto descent = [](std::function<void()> change) {
    return [change] {
      model().DrawBodArcOnP1000MFD = 1;
      guidance().ApMaster = guidance().ApAltitudeLock = 1.0;
      guidance().ApAltitudeLockVar = 10000.0;
      guidance().AircraftAltitude = 14000.0;
      guidance().VerticalSpeedFpm = -201.0;
      change();
    };
  };
  auto airports = [] { model().P1000ShowAirports = 1; };
  auto runways = [] { navdb::navdb_state.AirportRunwayCount = 1; };
  auto boundaries = [] { model().ShowAtcBoundaries = 1; };
  auto markers = [](double nm) { return [nm] { guidance().DestinationDistance = nm, plan().ActiveWaypointIndex = 0; }; };
  const Case cases[] = {
      {"airports", airports, true, 80.0},
      {"airports", airports, false, 160.0},
      {"runways", runways, true, 2.5},
      {"runways", runways, false, 5.0},
      {"atc boundaries", boundaries, true},
      {"atc boundaries", boundaries, false, 12.5, 3},
      {"atc boundaries", [&] { boundaries(), model().P1000MenuOpen = 1; }, false},
      {"approach pattern", [] { navdb::navdb_state.SelectedRunwayBase = 1, model().P1000MenuOpen = 1; }, false},
      {"top of climb and descent", markers(8.0), false},
      {"top of climb and descent", markers(8.01), true},
      {"traffic on the map", [] { model().NdShowTraffic = 1, model().DrawTcasWindowOnP1000MFD = 0; }, true},
      {"traffic on the map", [] { model().NdShowTraffic = 1; }, false},
      {"bod arc", descent([] {}), true},
      {"bod arc", descent([] {}), false, 12.5, 1, kCentredFormat},
      {"bod arc", descent([] { model().DrawBodArcOnP1000MFD = 0; }), false},
      {"bod arc", descent([] { guidance().ApMaster = 0.99; }), false},
      {"bod arc", descent([] { guidance().ApAltitudeLock = 0.0; }), false},
      {"bod arc", descent([] { guidance().ApAltitudeLockVar = 14000.0; }), false},
      {"bod arc", descent([] { guidance().VerticalSpeedFpm = -200.0; }), false},
  };
  for (const Case& c : cases) {
    ResetModuleState();
    c.set();
    const P1000Frame f{.display = efs::efs_state.P1000MfdDisplay, .g = g, .variant = c.variant, .scale = {},
                       .format = c.format, .range = c.range, .reference = {}};
    int shown = -1;
    for (const display::Layer<P1000Frame>& l : P1000MapLayers())
      if (std::string(l.name) == c.layer) shown = l.condition(f);
    EXPECT_EQ(shown, c.shown) << c.layer << " (case " << &c - cases << ")";
  }
}

}  // namespace
}  // namespace ovi::p1000::test
