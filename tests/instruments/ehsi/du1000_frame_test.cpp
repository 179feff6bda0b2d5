// The DU-1000 frame: blanking, the background, the pieces of each mode, and
// the canvas on a surface of any shape.
#include "tests/instruments/ehsi/du1000_test_support.h"

namespace ovi::ehsi::test {
namespace {

TEST_F(Du1000Test, PowerOffAndVariantTwoOnlyClearTheSurface) {
  for (auto [power, variant] : {std::pair{0, 1}, {0, 3}, {1, 2}}) {
    G().DisplayPower = power;
    Draw(0, variant);
    ASSERT_EQ(rec.Size(), 1u) << power << " " << variant;
    EXPECT_TRUE(rec.Ops()[0].kind == OpKind::Clear && rec.Ops()[0].color == 0x00000000u);
  }
}

// Circles of the full rose (200), the arc (468) and the centred rose (280);
// a mode outside 0..3 draws the background and the data blocks alone.
TEST_F(Du1000Test, ModeTable) {
  M().DU1000EHSIBkgrdColorRed = 0x112;  // the low 8 bits of each key
  M().DU1000EHSIBkgrdColorBlue = -1;
  struct Case {
    int mode, rose, arc, centred;
    bool blocks;
  } cases[] = {{0, 1, 0, 0, true}, {1, 0, 1, 0, true}, {2, 0, 0, 1, false},
               {3, 0, 1, 0, true}, {4, 0, 0, 0, true}, {-1, 0, 0, 0, true}};
  for (const Case& c : cases) {
    Draw(c.mode);
    EXPECT_TRUE(rec.Ops()[0].filled && rec.Ops()[0].color == 0xFF1200FFu);
    EXPECT_TRUE(Near(rec.Ops()[0].points[2], At(318, 310)));
    EXPECT_EQ(CountCircles(colour::kWhite, 200), c.rose) << c.mode;
    EXPECT_EQ(CountCircles(colour::kWhite, 468), c.arc) << c.mode;
    EXPECT_EQ(CountCircles(colour::kWhite, 280), c.centred) << c.mode;
    EXPECT_EQ(Has("GS") && Has("---/---"), c.blocks) << c.mode;
  }
}

// Twice as wide and half as high as the canvas: places, fonts and pens
// follow both scales.
TEST_F(Du1000Test, CanvasScalesToANonSquareSurface) {
  G().GroundSpeedKnots = 250.0;
  Draw(0, 1, 636, 155);
  gfx::Recorder::TextItem gs;
  ASSERT_TRUE(rec.FindText("250", &gs));
  EXPECT_TRUE(Near({gs.x, gs.y}, At(40, 0)) && gs.font_family == "Arial" && gs.font_size == 15.0f);
  EXPECT_EQ(gs.color, colour::kGreen);
  EXPECT_TRUE(TextAt("0", At(-6, -131, kRoseX, kRoseY)));
  const gfx::RecordedOp* rose = Ops(OpKind::Ellipse, colour::kWhite)[0];
  EXPECT_TRUE(Near(rose->points[0], At(kRoseX, kRoseY)));
  EXPECT_NEAR(rose->bounds.Width - rose->device_pen_width, 400, 0.01);
  EXPECT_NEAR(rose->bounds.Height - rose->device_pen_width, 100, 0.01);
  EXPECT_NEAR(rose->device_pen_width, 2.0, 0.01);  // 2 units x sqrt(2 x 0.5)
}

}  // namespace
}  // namespace ovi::ehsi::test
