// The EFS 50 EHSI's frame and the traffic display's: the layers of each
// mode, the overlay conditions each at its boundary, the bottom-of-descent
// arc, blanking, each mode's texts on two surfaces, the clips and what each
// covers.
#include <set>

#include "src/display/state.h"
#include "tests/instruments/efs/efs50_test_support.h"

namespace ovi::efs::test {
namespace {

class FrameTest : public Efs50Test {
 public:
  std::set<std::string> LayersOf(int mode) {
    gfx::DeviceContext small(4, 4);
    gfx::Graphics g(&small);
    const Efs50EhsiFrame f{efs_state.Efs50EhsiDisplay, g, 1, mode, Efs50EhsiModeRow(mode)};
    std::set<std::string> names;
    for (const auto& layer : Efs50EhsiLayers())
      if (layer.condition(f)) names.insert(layer.name);
    return names;
  }
  // Everything the overlays need, each just past its boundary.
  void OverlaysWanted() {
    M().EFS50NavMode = 2;
    F().ActiveWaypointIndex = 1;
    F().HoldCount = 1;
    F().HoldTable[1].active_index = 2;
    G().DestinationDistance = 8.01;
    M().DrawBodArcOnEFS50EHSI = 1;
    G().ApMaster = G().ApAltitudeLock = 1.0;
    G().ApAltitudeLockVar = 5000.0;
    G().AircraftAltitude = 7000.0;
    G().VerticalSpeedFpm = -200.1;
  }
};

TEST_F(FrameTest, LayersOfEachMode) {
  OverlaysWanted();
  const std::set<std::string> rose = {"full rose", "data fields", "clip off", "lower box"},
                              arc = {"arc rose", "data fields", "clip off"},
                              maps = {"route", "hold", "TOD/TOC markers", "bottom-of-descent arc"};
  auto with = [&](std::set<std::string> a) { return a.insert(maps.begin(), maps.end()), a; };
  const std::pair<int, std::set<std::string>> cases[] = {
      {1, rose}, {2, with(rose)}, {3, with(rose)}, {4, arc}, {5, with(arc)}, {6, with(arc)}, {7, arc},
      {8, {"clip off", "traffic"}}, {0, {"data fields", "clip off"}}, {-4, {"data fields", "clip off"}},
      {9, {"clip off"}}};
  for (const auto& [mode, layers] : cases) EXPECT_EQ(LayersOf(mode), layers) << mode;
  M().EFS50NavMode = 1;  // the radio has no map overlays
  EXPECT_EQ(LayersOf(2), rose);
}

TEST_F(FrameTest, OverlayConditionsEachAtItsBoundary) {
  struct Case {
    const char* what;
    std::function<void()> change;
    const char* gone;  // the layer that goes; "" none
  } cases[] = {
      {"all met", [] {}, ""},
      {"destination 8.0", [] { G().DestinationDistance = 8.0; }, "TOD/TOC markers"},
      {"indicators off", [] { M().ShowTodBodIndicators = 0; }, "TOD/TOC markers"},
      {"arc option off", [] { M().DrawBodArcOnEFS50EHSI = 0; }, "bottom-of-descent arc"},
      {"autopilot 0.999", [] { G().ApMaster = 0.999; }, "bottom-of-descent arc"},
      {"altitude hold off", [] { G().ApAltitudeLock = 0.0; }, "bottom-of-descent arc"},
      {"selected altitude level", [] { G().ApAltitudeLockVar = 7000.0; }, "bottom-of-descent arc"},
      {"vertical speed -200", [] { G().VerticalSpeedFpm = -200.0; }, "bottom-of-descent arc"},
      {"no active waypoint", [] { F().ActiveWaypointIndex = 999; }, "route"},
      {"hold deleted", [] { F().HoldCount = 0; }, "hold"},
      {"hold on no waypoint", [] { F().HoldTable[1].active_index = 0; }, "hold"},
  };
  for (const Case& k : cases) {
    OverlaysWanted();
    M().ShowTodBodIndicators = 1;
    k.change();
    const std::set<std::string> layers = LayersOf(5);
    for (const char* layer : {"route", "hold", "TOD/TOC markers", "bottom-of-descent arc"})
      EXPECT_EQ(layers.count(layer), std::string(layer) == k.gone ? 0u : 1u) << k.what << ": " << layer;
  }
}

// 95 / 12.5 = 7.6 units a NM on the arc: 2000 ft to lose at -1000 ft/min
// and 240 kt is 8 NM, 60.8 units ahead, drawn at 60; on the rose 4 units a
// NM put it 32 ahead, under the cut the TOD/TOC markers left.
TEST_F(FrameTest, BottomOfDescentArc) {
  OverlaysWanted();
  G().VerticalSpeedFpm = -1000.0;
  G().GroundSpeedKnots = 240.0;
  for (auto [mode, top, cy, ppn] : {std::tuple{5, -60, kArcY, 7.6}, {2, -32, kRoseY, 4.0}}) {
    Draw(mode);
    const auto arcs = Ops(OpKind::Arc, c::kGreen);
    ASSERT_EQ(arcs.size(), 1u) << mode;
    EXPECT_TRUE(Near(arcs[0]->points[2], At(0, top + 45, kCx, cy)) && arcs[0]->start_angle == 220.0f &&
                arcs[0]->sweep_angle == 100.0f) << mode;
    EXPECT_NEAR(display::display_state.MapPixelsPerNm, ppn, 1e-12);
    EXPECT_TRUE(AllClipped(Colour(OpKind::Arc, c::kGreen), mode == 2)) << mode;
  }
  M().Efs50EhsiRange = 0.0;  // no scale, no arc
  Draw(5);
  EXPECT_TRUE(Ops(OpKind::Arc, c::kGreen).empty());
}

// Without power, and in variant 2, both displays show a cleared surface
// only, the size copied first; without a device context nothing happens.
TEST_F(FrameTest, BlankWithoutPowerAndInVariantTwo) {
  for (auto [power, variant] : {std::pair{0, 1}, {1, 2}}) {
    G().DisplayPower = power;
    Draw(1, variant, 300, 200);
    DrawTcas(variant, 320, 300);
    for (const gfx::RecordedOp& op : rec.Ops()) EXPECT_TRUE(op.kind == OpKind::Clear && op.color == 0u);
    EXPECT_TRUE(efs_state.Efs50EhsiDisplay.width == 300 && efs_state.Efs50TcasDisplay.width == 320);
  }
  DrawEfs50Ehsi(efs_state.Efs50EhsiDisplay, nullptr, &size, 1);
  DrawEfs50TcasScreen(efs_state.Efs50TcasDisplay, nullptr, &size, 1);
}

// Each mode's own texts with font and colour, on the screen's size and a
// wider one; a mode above 8 draws the background alone.
TEST_F(FrameTest, TextsOfEachModeOnTwoSurfaces) {
  struct Text {
    const char* text;
    double x, y;  // canvas
    const char* family;
    float size;
    gfx::ARGB colour;
  };
  const Text card_hsi{"N", 121, 34, "DA Rered", 13, c::kWhite}, card_map{"N", 121, 24, "DA Rered", 13, c::kWhite},
      arc{"N", 120, 20, "Arial", 12, c::kWhite}, course{"CRS 000", 0, 0, "Arial", 14, c::kGreen},
      weather{"WX OFF", 0, 185, "Arial", 14, c::kWhite}, rose_range{"12.5", 179, 110, "Arial", 10, c::kBlue},
      arc_range{"12.5", 204, 155, "Arial", 10, c::kBlue};
  const std::pair<int, std::vector<Text>> cases[] = {
      {1, {card_hsi, course, {"000", 114, 0, "Arial", 15, c::kGreen}}},
      {2, {card_map, weather, rose_range}}, {3, {card_map, rose_range}},
      {4, {arc, {"000", 113, -1, "Arial", 15, c::kGreen}}}, {5, {arc_range, {"V", 0, 90, "Arial", 14, c::kGreen}}},
      {6, {arc_range, weather}}, {7, {arc, weather}}, {8, {{" 5", 209, 208, "Arial", 15, c::kWhite}}}, {0, {course}}};
  for (auto [w, h] : {std::pair{280, 262}, {400, 300}}) {
    for (const auto& [mode, texts] : cases) {
      Draw(mode, 1, w, h);
      for (const Text& t : texts)
        EXPECT_TRUE(TextAt(t.text, At(t.x, t.y), t.family, t.size, t.colour)) << mode << " " << t.text << " " << w;
      EXPECT_EQ(Has("WX OFF"), mode == 2 || mode == 6 || mode == 7) << mode;
      EXPECT_EQ(Has("12.5"), mode == 2 || mode == 3 || mode == 5 || mode == 6) << mode;
      EXPECT_EQ(Has("CRS 000"), mode < 8) << mode;
    }
    Draw(9, 1, w, h);
    EXPECT_TRUE(rec.Texts().empty() && rec.Count(OpKind::Rectangle) == 1 && rec.Count(OpKind::Clip) == 0);
  }
}

// The rose's circle cuts the map overlays and the tuned station's radial,
// not the card; on the arc the wedge cuts the range ring and the outline
// the bearing pointers and the radio course line, never the heading bug,
// the deviation bar, the aircraft or the texts.
TEST_F(FrameTest, ClipsAndWhatEachCovers) {
  Radio(1.0);
  G().Nav1DmeDistance = 20.0;
  M().Efs50BearingPointer1Source = 2;
  F().ActiveWaypointIndex = 1;
  Draw(2);
  ASSERT_EQ(rec.Count(OpKind::Clip), 2);  // the overlays', the station's
  for (const gfx::RecordedOp* op : rec.Find(OpKind::Clip))
    EXPECT_TRUE(std::fabs(op->bounds.X - 29 * sx) < 0.5 && std::fabs(op->bounds.Width - 200 * sx) < 1.0);
  auto white = [](float width) {
    return [=](const gfx::RecordedOp& op) {
      return op.kind == OpKind::Line && op.color == c::kWhite && op.pen_width == width;
    };
  };
  EXPECT_TRUE(AllClipped(white(1.0f), true) && AllClipped(Colour(OpKind::Line, c::kGreen), true));
  EXPECT_TRUE(AllClipped(white(2.0f), false) && AllClipped(Colour(OpKind::Polygon, c::kAmber), false));

  Draw(5);
  ASSERT_EQ(rec.Count(OpKind::Clip), 3);  // the wedge, the outline, the outline again after the digits
  const Pick dashed = [](const gfx::RecordedOp& op) {
    return op.kind == OpKind::Ellipse && op.dash != gfx::DashStyle::Solid;
  };
  EXPECT_TRUE(AllClipped(dashed, true));
  EXPECT_TRUE(AllClipped(Colour(OpKind::Polygon, c::kBlue, 11), true));  // bearing pointer 1's tail
  EXPECT_TRUE(AllClipped(Colour(OpKind::Polygon, c::kGreen), true));     // the radio course line
  for (const Pick& p : {Colour(OpKind::Lines, c::kGreen), Colour(OpKind::Polygon, c::kAmber),
                        Colour(OpKind::Lines, c::kAmber), Colour(OpKind::Text, c::kBlue)})
    EXPECT_TRUE(AllClipped(p, false));
}

}  // namespace
}  // namespace ovi::efs::test
