// The DU-1000 frame: blanking, the background from the aircraft's colour
// keys, which pieces each mode draws, and the canvas scaled to a surface of
// any shape.
#include "src/display/kit.h"
#include "tests/instruments/ehsi/du1000_test_support.h"

namespace ovi::ehsi::test {
namespace {

using gfx::OpKind;
namespace colour = display::colour;

TEST_F(Du1000Test, PowerOffAndVariantTwoOnlyClearTheSurface) {
  for (auto [power, variant] : {std::pair{0, 1}, {0, 3}, {1, 2}}) {
    guidance().DisplayPower = power;
    Draw(0, variant);
    ASSERT_EQ(rec.Size(), 1u) << power << " " << variant;
    EXPECT_EQ(rec.Ops()[0].kind, OpKind::Clear);
    EXPECT_EQ(rec.Ops()[0].color, 0x00000000u);
  }
  Draw(0, 1, 318, 311);
  ASSERT_NE(rec.Size(), 1u);  // unchanged state draws again in full once powered
}

TEST_F(Du1000Test, BackgroundTakesTheLowEightBitsOfEachKey) {
  model().DU1000EHSIBkgrdColorRed = 0x112;
  model().DU1000EHSIBkgrdColorGreen = 0x34;
  model().DU1000EHSIBkgrdColorBlue = -1;
  Draw(0);
  const gfx::RecordedOp& fill = rec.Ops()[0];
  EXPECT_EQ(fill.kind, OpKind::Rectangle);
  EXPECT_TRUE(fill.filled);
  EXPECT_EQ(fill.color, 0xFF1234FFu);
  ExpectAt(fill.points[2], At(318, 310));  // the whole surface
}

// Each mode's rose and whether the data blocks follow; a mode outside 0..3
// draws the background and the data blocks alone.
TEST_F(Du1000Test, ModeTable) {
  struct Case {
    int mode;
    int rose_circles, arc_circles, map_circles;
    bool data_blocks;
  } cases[] = {
      {0, 1, 0, 0, true}, {1, 0, 1, 0, true}, {2, 0, 0, 1, false},
      {3, 0, 1, 0, true}, {4, 0, 0, 0, true}, {-1, 0, 0, 0, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    Draw(c.mode);
    EXPECT_EQ(CountCircles(colour::kWhite, 200), c.rose_circles);
    EXPECT_EQ(CountCircles(colour::kWhite, 468), c.arc_circles);
    EXPECT_EQ(CountCircles(colour::kWhite, 280), c.map_circles);
    EXPECT_EQ(Has("GS"), c.data_blocks);
    EXPECT_EQ(Has("---/---"), c.data_blocks);
  }
}

// A surface twice as wide and half as high as the canvas: every place,
// font and pen follows the two scales.
TEST_F(Du1000Test, CanvasScalesToANonSquareSurface) {
  guidance().GroundSpeedKnots = 250.0;
  Draw(0, 1, 636, 155);
  const gfx::Recorder::TextItem gs = Text("250");
  ExpectAt(gs, At(40, 0));
  EXPECT_EQ(gs.font_family, "Arial");
  EXPECT_EQ(gs.font_size, 15.0f);
  EXPECT_EQ(gs.color, colour::kGreen);
  ExpectAt(Text("0"), At(-6, -8, kRoseX, kRoseY - 123));  // upright above the rose
  const auto rose = Ops(OpKind::Ellipse, colour::kWhite);
  ASSERT_FALSE(rose.empty());
  ExpectAt(rose[0]->points[0], At(kRoseX, kRoseY));
  EXPECT_NEAR(rose[0]->bounds.Width - rose[0]->device_pen_width, 200 * 2, 0.01);
  EXPECT_NEAR(rose[0]->bounds.Height - rose[0]->device_pen_width, 200 * 0.5, 0.01);
  EXPECT_NEAR(rose[0]->device_pen_width, 2.0, 0.01);  // 2 units: sqrt(2 x 0.5) x 2
}

}  // namespace
}  // namespace ovi::ehsi::test
