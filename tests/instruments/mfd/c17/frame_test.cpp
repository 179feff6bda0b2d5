// The C-17 draw entry on a recording surface of twice the canvas (492 x
// 482, so a canvas unit is two device pixels): slots and working copy,
// numbers 0 and 5 to 9, power off, background, geometry and scale, the
// clip outlines, the aircraft symbol and page 4's arcs.
#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "src/display/state.h"
#include "src/guidance/state.h"
#include "src/instruments/mfd/c17/c17_mfd.h"
#include "tests/instruments/mfd/c17/c17_test_support.h"

namespace ovi::c17::test {
namespace {

class FrameTest : public C17Test {
 public:
  const gfx::Recorder& Draw(int number, int width = 492, int height = 482) {
    dc_ = std::make_unique<gfx::DeviceContext>(width, height);
    rec_.Clear();
    dc_->recorder = &rec_;
    const PIXSIZE size{width, height};
    DrawC17Mfd(c17_state.C17MfdDisplay, dc_.get(), &size, number);
    return rec_;
  }
  // Device point of a canvas point relative to the page origin.
  static gfx::PointF Device(double x, double y) {
    return {static_cast<float>(2 * (c17_state.C17MfdOriginX + x)), static_cast<float>(2 * (c17_state.C17MfdOriginY + y))};
  }
  bool OnlyClear() const { return rec_.Size() == 1 && rec_.Ops()[0].kind == gfx::OpKind::Clear && rec_.Ops()[0].color == 0; }

  std::unique_ptr<gfx::DeviceContext> dc_;
  gfx::Recorder rec_;
};

TEST_F(FrameTest, SlotsAndTheWorkingCopy) {
  Slot(3) = {9, 6, 11};
  Draw(3);
  EXPECT_EQ(Working(), 9);
  EXPECT_EQ(c17_state.PageState.C17NavPageMemory, 6);
  EXPECT_EQ(c17_state.PageState.C17EnginePageMemory, 11);
  EXPECT_EQ(c17_state.C17MfdMapRadius, 100);  // the engine page's geometry
  // Numbers 5 to 9 draw what the working copy holds and keep no slot.
  for (int number : {5, 7, 9}) {
    Working() = 4;
    Draw(number);
    EXPECT_EQ(c17_state.C17MfdOriginY, 132) << number;
    EXPECT_EQ(Working(), 4);
  }
  // Display 3's frame was saved into its own slot and no other.
  const std::int32_t pages[] = {1, 3, 9, 10};
  for (int n = 1; n <= 4; ++n) {
    EXPECT_EQ(Slot(n).page, pages[n - 1]) << n;
    EXPECT_EQ(Slot(n).nav_page_memory, n == 3 ? 6 : 0) << n;
    EXPECT_EQ(Slot(n).engine_page_memory, n == 3 ? 11 : 9) << n;
  }
  // Without a surface the slot is still loaded; nothing is drawn.
  const std::size_t drawn = rec_.Size();
  DrawC17Mfd(c17_state.C17MfdDisplay, nullptr, nullptr, 4);
  EXPECT_EQ(Working(), 10);
  EXPECT_EQ(rec_.Size(), drawn);
}

TEST_F(FrameTest, BlankForNumberZeroAndWithThePowerOff) {
  Slot(1).page = 6;
  Draw(0);
  EXPECT_TRUE(OnlyClear());
  guidance::guidance_state.DisplayPower = 0;
  Draw(1);
  EXPECT_TRUE(OnlyClear());
  EXPECT_EQ(Working(), 6);
  // A mailbox's change while the power is off shows when it returns.
  Slot(1).page = 9;
  guidance::guidance_state.DisplayPower = 1;
  Draw(1);
  EXPECT_FALSE(OnlyClear());
  EXPECT_EQ(Working(), 9);
}

TEST_F(FrameTest, BackgroundFromTheLowBitsOfTheColourKeys) {
  model::model_state.C17MfdBkgrdColorRed = 0x1FF;
  model::model_state.C17MfdBkgrdColorGreen = 0x180;
  model::model_state.C17MfdBkgrdColorBlue = 0x7F;
  for (std::int32_t page : {8, 2, 13, -1}) {
    Working() = page;
    Draw(7);
    // Nothing but the background on a page without a routine.
    ASSERT_EQ(rec_.Size(), 1u) << page;
    const gfx::RecordedOp& fill = rec_.Ops()[0];
    EXPECT_TRUE(fill.filled);
    EXPECT_EQ(fill.color, 0xFFFF807Fu);
    EXPECT_LE(fill.bounds.X, 0);
    EXPECT_GE(fill.bounds.X + fill.bounds.Width, 492);
    EXPECT_GE(fill.bounds.Y + fill.bounds.Height, 482);
  }
}

TEST_F(FrameTest, GeometryAndScaleOfEachPage) {
  struct Case {
    std::int32_t page;
    std::int32_t origin_y, radius;
    double range, pixels_per_nm;
  } cases[] = {
      // Page 4's map layers span the range over its 124-unit compass arc and
      // leave their scale behind them.
      {0, 121, 124, 80, 1.55},  {1, 110, 100, 80, 1.25}, {3, 200, 172, 80, 2.15}, {4, 132, 172, 80, 1.55},
      {5, 35, 172, 0.5, 344},   {6, 120, 100, 320, 0.3125}, {9, 121, 100, 80, 1.25}, {12, 121, 100, 10, 10},
      {7, 121, 100, 80, 1.25},  // background only: the geometry stays, the scale follows the range
  };
  for (const Case& c : cases) {
    Working() = c.page;
    model::model_state.C17MfdMapRange = c.range;
    Draw(8);
    EXPECT_EQ(c17_state.C17MfdOriginX, 122);
    EXPECT_EQ(c17_state.C17MfdOriginY, c.origin_y) << c.page;
    EXPECT_EQ(c17_state.C17MfdMapRadius, c.radius) << c.page;
    EXPECT_DOUBLE_EQ(display::display_state.MapPixelsPerNm, c.pixels_per_nm) << c.page;
    EXPECT_FLOAT_EQ(rec_.Ops()[0].matrix[0], 2.0f);  // the canvas scale
  }
  model::model_state.C17MfdMapRange = 80;  // what the draw entry sets for page 4 itself
  SetC17PageGeometry(4);
  EXPECT_DOUBLE_EQ(display::display_state.MapPixelsPerNm, 2.15);
  model::model_state.C17MfdMapRange = 0;  // no map scale from a range of nothing
  Draw(8);
  EXPECT_EQ(display::display_state.MapPixelsPerNm, 0.0);
  // Width and height scale apart: 246 x 482 is 1 across and 2 down.
  Draw(8, 246, 482);
  EXPECT_EQ(c17_state.C17MfdDisplay.width, 246);
  EXPECT_EQ(c17_state.C17MfdDisplay.height, 482);
  EXPECT_FLOAT_EQ(rec_.Ops()[0].matrix[0], 1.0f);
  EXPECT_FLOAT_EQ(rec_.Ops()[0].matrix[3], 2.0f);
}

bool HasPoint(const gfx::RecordedOp& op, gfx::PointF p) {
  return std::any_of(op.points.begin(), op.points.end(), [&](const gfx::PointF& q) {
    return std::abs(q.X - p.X) < 0.01 && std::abs(q.Y - p.Y) < 0.01;
  });
}

TEST_F(FrameTest, MapLayersOfTheCompassPagesAreClippedToTheirOutline) {
  struct Case {
    std::int32_t page;
    std::vector<std::pair<int, int>> corners;
    // Where the arc starts and ends: r cos a, r sin a at the start angle
    // and at start + sweep (page 3: 172 at 225 and 316 degrees; page 4: 124
    // at 190 and 331), none for the pages without an arc.
    std::vector<std::pair<double, double>> arc_ends;
  } cases[] = {
      {3,
       {{122, -122}, {122, -90}, {108, -90}, {108, 5}, {-122, 5}, {-122, -122}},
       {{-121.622, -121.622}, {123.727, -119.481}}},
      {4,
       {{108, -60}, {108, 60}, {60, 60}, {60, 95}, {-80, 95}, {-80, 60}, {-122, 60}, {-122, -22}},
       {{-122.116, -21.532}, {108.453, -60.116}}},
      {5, {{-122, -3}, {107, -3}, {107, 175}, {-122, 175}, {-122, -5}}, {}},
      {6, {}, {}},
  };
  for (const Case& c : cases) {
    Working() = c.page;
    Draw(5);
    // The outline (less the readouts' boxes kept clear of the map).
    std::vector<const gfx::RecordedOp*> clips;
    for (const gfx::RecordedOp* op : rec_.Find(gfx::OpKind::Clip))
      if (op->combine != gfx::CombineMode::Exclude) clips.push_back(op);
    // Page 6 clips to its own map area first.
    ASSERT_EQ(clips.size(), c.page == 6 ? 2u : 1u) << c.page;
    if (c.page == 6) clips.erase(clips.begin());
    EXPECT_EQ(rec_.Count(gfx::OpKind::ResetClip), 1);
    for (auto [x, y] : c.corners) EXPECT_TRUE(HasPoint(*clips[0], Device(x, y))) << c.page << ": " << x << "," << y;
    for (auto [x, y] : c.arc_ends) {
      const gfx::PointF want = Device(x, y);
      EXPECT_TRUE(std::any_of(clips[0]->points.begin(), clips[0]->points.end(), [&](const gfx::PointF& q) {
        return std::abs(q.X - want.X) < 0.05 && std::abs(q.Y - want.Y) < 0.05;
      })) << c.page << ": arc end " << x << "," << y;
    }
    EXPECT_EQ(clips[0]->points.empty(), c.page == 6);
  }
  // No map-layer clip on the other pages (page 1 lays its own clips, each
  // reset before the next).
  for (std::int32_t page : {0, 9, 12}) {
    Working() = page;
    Draw(5);
    EXPECT_EQ(rec_.Count(gfx::OpKind::Clip), 0) << page;
  }
}

TEST_F(FrameTest, AircraftSymbolOnTheCompassPagesAndPageFourArcs) {
  for (std::int32_t page : {3, 4, 5, 6, 0}) {
    Working() = page;
    Draw(6);
    // The draw entry's own drawing follows the layers' clip, reset.
    std::vector<const gfx::RecordedOp*> lines, arcs;
    bool after_layers = false;
    for (const gfx::RecordedOp& op : rec_.Ops()) {
      after_layers = after_layers || op.kind == gfx::OpKind::ResetClip;
      if (after_layers && op.kind == gfx::OpKind::Line) lines.push_back(&op);
      if (after_layers && op.kind == gfx::OpKind::Arc) arcs.push_back(&op);
    }
    if (page == 6 || page == 0) {
      EXPECT_TRUE(lines.empty()) << page;
      continue;
    }
    ASSERT_EQ(lines.size(), page == 4 ? 7u : 3u) << page;  // page 4: its heading box after
    const std::pair<gfx::PointF, gfx::PointF> symbol[] = {
        {Device(0, -5), Device(0, 15)}, {Device(-7, 0), Device(7, 0)}, {Device(-4, 10), Device(4, 10)}};
    for (int i = 0; i < 3; ++i) {
      EXPECT_TRUE(HasPoint(*lines[i], symbol[i].first) && HasPoint(*lines[i], symbol[i].second)) << page << " " << i;
      EXPECT_EQ(lines[i]->color, 0xFFDEE6E9u);
      EXPECT_EQ(lines[i]->pen_width, 2.0f);
    }
    if (page != 4) {
      EXPECT_TRUE(arcs.empty());
      continue;
    }
    ASSERT_EQ(arcs.size(), 3u);
    const double expected[3][3] = {{211, 120, 124}, {200, 11, 124}, {202, 350, 62}};
    for (int i = 0; i < 3; ++i) {
      const double start = expected[i][0], radius = expected[i][2];
      EXPECT_EQ(arcs[i]->start_angle, start);
      EXPECT_EQ(arcs[i]->sweep_angle, expected[i][1]);
      ASSERT_EQ(arcs[i]->points.size(), 3u);  // start, end, centre
      const gfx::PointF from = Device(radius * std::cos(start * M_PI / 180), radius * std::sin(start * M_PI / 180));
      EXPECT_NEAR(arcs[i]->points[0].X, from.X, 0.05);
      EXPECT_NEAR(arcs[i]->points[0].Y, from.Y, 0.05);
      EXPECT_TRUE(HasPoint(*arcs[i], Device(0, 0)));  // about the page origin
      EXPECT_EQ(arcs[i]->color, 0xFFDEE6E9u);
    }
  }
}

}  // namespace
}  // namespace ovi::c17::test
