// The EFS 50 EHSI's frame: the layers of each mode, the conditions of the
// map overlays, the TOD/TOC markers and the bottom-of-descent arc each at
// its boundary, blanking, the texts of each mode on two surfaces and the
// clips with what each covers.
#include <limits>
#include <set>

#include "src/display/state.h"
#include "tests/instruments/efs/efs50_test_support.h"

namespace ovi::efs::test {
namespace {

class FrameTest : public Efs50Test {
 public:
  // The names of the layers whose condition holds in `mode`.
  std::set<std::string> LayersOf(int mode) {
    gfx::DeviceContext small(4, 4);
    gfx::Graphics g(&small);
    const Efs50EhsiFrame f{efs_state.Efs50EhsiDisplay, g, 1, mode, Efs50EhsiModeRow(mode)};
    std::set<std::string> names;
    for (const auto& layer : Efs50EhsiLayers())
      if (layer.condition(f)) names.insert(layer.name);
    return names;
  }
  // Everything the overlays need.
  void OverlaysWanted() {
    F().ActiveWaypointIndex = 1;
    F().ActiveFlightPlanLastIndex = 2;
    F().HoldCount = 1;
    F().HoldTable[1].active_index = 2;
    G().DestinationDistance = 8.01;
    M().DrawBodArcOnEFS50EHSI = 1;
    G().ApMaster = 1.0;
    G().ApAltitudeLock = 1.0;
    G().ApAltitudeLockVar = 5000.0;
    G().AircraftAltitude = 7000.0;
    G().VerticalSpeedFpm = -200.1;
  }
};

TEST_F(FrameTest, LayersOfEachModeAndNavigationSource) {
  OverlaysWanted();
  const std::set<std::string> overlays = {"route", "hold", "TOD/TOC markers", "bottom-of-descent arc"};
  auto with = [](std::set<std::string> a, const std::set<std::string>& b) {
    a.insert(b.begin(), b.end());
    return a;
  };
  const std::set<std::string> rose = {"full rose", "data fields", "clip off", "lower box"};
  const std::set<std::string> arc = {"arc rose", "data fields", "clip off"};
  struct Case {
    int mode, nav_mode;
    std::set<std::string> layers;
  } cases[] = {
      {1, 2, rose},          {2, 1, rose},          {2, 2, with(rose, overlays)}, {3, 2, with(rose, overlays)},
      {4, 2, arc},           {5, 1, arc},           {5, 2, with(arc, overlays)},  {6, 2, with(arc, overlays)},
      {7, 2, arc},           {8, 2, {"clip off", "traffic"}},
      {0, 2, {"data fields", "clip off"}},          {-4, 2, {"data fields", "clip off"}},
      {9, 2, {"clip off"}},
  };
  for (const Case& c : cases) {
    M().EFS50NavMode = c.nav_mode;
    EXPECT_EQ(LayersOf(c.mode), c.layers) << c.mode << " " << c.nav_mode;
  }
}

// Each condition fails alone at its boundary; no active waypoint takes the
// route away but leaves the hold.
TEST_F(FrameTest, OverlayConditionsAtTheirBoundaries) {
  M().EFS50NavMode = 2;
  struct Case {
    const char* what;
    std::function<void()> change;
    bool route, hold, markers, arc;
  } cases[] = {
      {"all met", [] {}, true, true, true, true},
      {"destination 8.0", [] { G().DestinationDistance = 8.0; }, true, true, false, true},
      {"indicators off", [] { M().ShowTodBodIndicators = 0; }, true, true, false, true},
      {"arc option off", [] { M().DrawBodArcOnEFS50EHSI = 0; }, true, true, true, false},
      {"autopilot 0.999", [] { G().ApMaster = 0.999; }, true, true, true, false},
      {"altitude hold off", [] { G().ApAltitudeLock = 0.0; }, true, true, true, false},
      {"selected altitude level", [] { G().ApAltitudeLockVar = 7000.0; }, true, true, true, false},
      {"vertical speed -200", [] { G().VerticalSpeedFpm = -200.0; }, true, true, true, false},
      {"no active waypoint", [] { F().ActiveWaypointIndex = 999; }, false, true, true, true},
      {"hold deleted", [] { F().HoldCount = 0; }, true, false, true, true},
      {"hold on no waypoint", [] { F().HoldTable[1].active_index = 0; }, true, false, true, true},
  };
  for (const Case& c : cases) {
    OverlaysWanted();
    M().ShowTodBodIndicators = 1;
    c.change();
    const std::set<std::string> layers = LayersOf(5);
    EXPECT_EQ(layers.count("route") == 1, c.route) << c.what;
    EXPECT_EQ(layers.count("hold") == 1, c.hold) << c.what;
    EXPECT_EQ(layers.count("TOD/TOC markers") == 1, c.markers) << c.what;
    EXPECT_EQ(layers.count("bottom-of-descent arc") == 1, c.arc) << c.what;
  }
}

// 95 / 12.5 = 7.6 units a NM on the arc: 2000 ft to lose at -1000 ft/min
// and 240 kt is 8 NM, 60.8 units ahead, drawn at 60; on the rose 50 / 12.5
// = 4 units a NM puts it 32 ahead, under the rose's cut that the TOD/TOC
// markers left.
TEST_F(FrameTest, BottomOfDescentArcAheadOfTheAircraft) {
  M().EFS50NavMode = 2;
  OverlaysWanted();
  G().VerticalSpeedFpm = -1000.0;
  G().GroundSpeedKnots = 240.0;
  for (auto [mode, top, cy, ppn] : {std::tuple{5, -60, kArcY, 7.6}, {2, -32, kRoseY, 4.0}}) {
    Draw(mode);
    const auto arcs = Ops(OpKind::Arc, c::kGreen);
    ASSERT_EQ(arcs.size(), 1u) << mode;
    EXPECT_TRUE(Near(arcs[0]->points[2], At(0, top + 45, kCx, cy))) << mode;
    EXPECT_EQ(arcs[0]->start_angle, 220.0f);
    EXPECT_EQ(arcs[0]->sweep_angle, 100.0f);
    EXPECT_NEAR(display::display_state.MapPixelsPerNm, ppn, 1e-12);
    EXPECT_TRUE(AllClipped(Colour(OpKind::Arc, c::kGreen), mode == 2)) << mode;
  }
  // A range that gives no scale draws no arc.
  M().Efs50EhsiRange = 0.0;
  Draw(5);
  EXPECT_TRUE(Ops(OpKind::Arc, c::kGreen).empty());
}

TEST_F(FrameTest, PowerOffVariantTwoAndNoSurface) {
  for (auto [power, variant] : {std::pair{0, 1}, {1, 2}}) {
    G().DisplayPower = power;
    Draw(1, variant, 300, 200);
    ASSERT_EQ(rec.Size(), 1u);
    EXPECT_EQ(rec.Ops()[0].kind, OpKind::Clear);
    EXPECT_EQ(rec.Ops()[0].color, 0x00000000u);
    EXPECT_EQ(efs_state.Efs50EhsiDisplay.width, 300);  // the size is copied first
  }
  G().DisplayPower = 1;
  DrawEfs50Ehsi(efs_state.Efs50EhsiDisplay, nullptr, &size, 1);  // nothing to draw on
}

// Each mode's own texts, with font and colour, on the screen's size and on
// a wider one; an unknown mode above 8 draws the background alone.
TEST_F(FrameTest, TextsOfEachModeOnTwoSurfaces) {
  struct Text {
    const char* text;
    double x, y;  // canvas
    const char* family;
    float size;
    gfx::ARGB colour;
  };
  struct Case {
    int mode;
    std::vector<Text> texts;
    std::vector<const char*> absent;
  } cases[] = {
      {1, {{"N", 121, 34, "DA Rered", 13, c::kWhite}, {"000", 114, 0, "Arial", 15, c::kGreen},
           {"CRS 000", 0, 0, "Arial", 14, c::kGreen}},
       {"12.5"}},
      {2, {{"N", 121, 24, "DA Rered", 13, c::kWhite}, {"WX OFF", 0, 185, "Arial", 14, c::kWhite}}, {}},
      {3, {{"N", 121, 24, "DA Rered", 13, c::kWhite}, {"12.5", 179, 110, "Arial", 10, c::kBlue}}, {"WX OFF"}},
      {4, {{"N", 120, 20, "Arial", 12, c::kWhite}, {"000", 113, -1, "Arial", 15, c::kGreen}}, {"12.5"}},
      {5, {{"12.5", 204, 155, "Arial", 10, c::kBlue}, {"V", 0, 90, "Arial", 14, c::kGreen}}, {"WX OFF"}},
      {6, {{"12.5", 204, 155, "Arial", 10, c::kBlue}, {"WX OFF", 0, 185, "Arial", 14, c::kWhite}}, {}},
      {7, {{"N", 120, 20, "Arial", 12, c::kWhite}, {"WX OFF", 0, 185, "Arial", 14, c::kWhite}}, {"12.5"}},
      {8, {{" 5", 209, 208, "Arial", 15, c::kWhite}}, {"CRS 000", "N"}},
      {0, {{"CRS 000", 0, 0, "Arial", 14, c::kGreen}}, {"N", "000"}},
  };
  for (auto [w, h] : {std::pair{280, 262}, {400, 300}}) {
    for (const Case& k : cases) {
      Draw(k.mode, 1, w, h);
      for (const Text& t : k.texts)
        EXPECT_TRUE(TextAt(t.text, At(t.x, t.y), t.family, t.size, t.colour)) << k.mode << " " << t.text << " " << w;
      for (const char* t : k.absent) EXPECT_FALSE(Has(t)) << k.mode << " " << t;
    }
    Draw(9, 1, w, h);
    EXPECT_EQ(rec.Texts().size(), 0u);
    EXPECT_EQ(rec.Count(OpKind::Rectangle), 1);  // the background
    EXPECT_EQ(rec.Count(OpKind::Clip), 0);
  }
}

// What each clip covers: the rose's circle the map overlays and the tuned
// station (not the card or the pointer box); on the arc the range ring's
// wedge the dashed ring, the arc's outline the bearing pointers and the
// radio course line, never the heading marker, the deviation scale or the
// aircraft.
TEST_F(FrameTest, ClipsAndWhatEachCovers) {
  Radio(1.0);
  G().Nav1DmeDistance = 20.0;
  M().Efs50BearingPointer1Source = 2;
  F().ActiveWaypointIndex = 1;
  F().ActiveFlightPlanLastIndex = 1;
  Draw(2);
  std::vector<gfx::RectF> clips;
  for (const gfx::RecordedOp* op : rec.Find(OpKind::Clip)) clips.push_back(op->bounds);
  ASSERT_EQ(clips.size(), 2u);  // the overlays', the station's
  for (const gfx::RectF& b : clips) {
    EXPECT_NEAR(b.X, 29 * sx, 0.5);
    EXPECT_NEAR(b.Width, 200 * sx, 1.0);
  }
  auto white_width = [](float width) {
    return [width](const gfx::RecordedOp& op) {
      return op.kind == OpKind::Line && op.color == c::kWhite && op.pen_width == width;
    };
  };
  EXPECT_TRUE(AllClipped(white_width(1.0f), true));                // the radial ahead of the station
  EXPECT_TRUE(AllClipped(Colour(OpKind::Line, c::kGreen), true));  // and behind it
  EXPECT_TRUE(AllClipped(white_width(2.0f), false));               // the card
  EXPECT_TRUE(AllClipped(Colour(OpKind::Polygon, c::kAmber), false));        // the heading bug
  EXPECT_TRUE(AllClipped(Colour(OpKind::Lines, c::kAmber), false));          // the aircraft

  G().AircraftHeading = 0.0;
  Draw(5);
  ASSERT_EQ(rec.Count(OpKind::Clip), 3);  // the wedge, the outline, the outline again after the digits
  EXPECT_TRUE(AllClipped(
      [](const gfx::RecordedOp& op) { return op.kind == OpKind::Ellipse && op.dash != gfx::DashStyle::Solid; }, true));
  EXPECT_TRUE(AllClipped(
      [](const gfx::RecordedOp& op) {
        return op.kind == OpKind::Polygon && op.color == c::kBlue && op.points.size() == 11;
      },
      true));  // bearing pointer 1's tail
  EXPECT_TRUE(AllClipped(Colour(OpKind::Polygon, c::kGreen), true));   // the radio course line
  EXPECT_TRUE(AllClipped(Colour(OpKind::Lines, c::kGreen), false));    // the deviation bar
  EXPECT_TRUE(AllClipped(Colour(OpKind::Polygon, c::kAmber), false));  // the heading bug
  EXPECT_TRUE(AllClipped(Colour(OpKind::Lines, c::kAmber), false));    // the aircraft
  EXPECT_TRUE(AllClipped(Colour(OpKind::Text, c::kBlue), false));      // the range, the pointer block
}

}  // namespace
}  // namespace ovi::efs::test
