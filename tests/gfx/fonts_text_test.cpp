// Fonts, text placement and measurement, start-up tokens.
#include <gtest/gtest.h>

#include <vector>

#include "platform/gfx/fonts.h"
#include "platform/gfx/graphics.h"
#include "platform/gfx/startup.h"
#include "tests/gfx/pixels.h"

namespace ovi::gfx {
namespace {

using testing::Ink;
using testing::InkBox;
using testing::MakeTransparent;

TEST(Fonts, ProjectConfigurationMapsTheGaugeFamilies) {
  EXPECT_TRUE(detail::EnsureFontConfig()) << detail::FontConfigPath();
  EXPECT_EQ(FontFamily("Arial").GetResolvedName(), "Liberation Sans");
  EXPECT_EQ(FontFamily("arial").GetResolvedName(), "Liberation Sans");
  EXPECT_EQ(FontFamily("Courier New").GetResolvedName(), "Liberation Mono");
  EXPECT_EQ(FontFamily("Tahoma").GetResolvedName(), "DejaVu Sans");  // its condensed face
  EXPECT_NE(detail::LookupFace("Tahoma", 0)->file.find("Condensed"), std::string::npos);
  EXPECT_NE(detail::LookupFace("DA Rered", FontStyleBold)->file.find("Condensed-Bold"), std::string::npos);
  EXPECT_NE(detail::LookupFace("Arial", FontStyleBold)->file.find("Bold"), std::string::npos);
}

TEST(Fonts, MissingFamilyFallsBackToASansFace) {
  FontFamily fam("No Such Face At All");
  EXPECT_EQ(fam.GetLastStatus(), Ok);
  EXPECT_FALSE(fam.GetResolvedName().empty());
  Font f(fam, 14, FontStyleRegular, Unit::Pixel);
  ASSERT_EQ(f.GetLastStatus(), Ok);
  DeviceContext dc(80, 30);
  MakeTransparent(dc);
  {
    Graphics g(&dc);
    SolidBrush b(0xFFFFFFFF);
    EXPECT_EQ(g.DrawString("Abc", f, PointF(0, 0), b), Ok);
  }
  InkBox box;
  EXPECT_TRUE(Ink(dc, &box));
}

TEST(Fonts, CellMetricsFollowTheMetricCompatibleFaces) {
  FontFamily arial("Arial");
  EXPECT_NEAR(arial.GetCellAscent(), 1854, 2);
  EXPECT_NEAR(arial.GetCellDescent(), 434, 2);
  EXPECT_NEAR(arial.GetLineSpacing(), 2355, 2);
  Font f(arial, 12, FontStyleRegular, Unit::Point);  // 12 pt = 16 px at 96 per inch
  EXPECT_NEAR(f.EmWorld(), 16, 1e-9);
  EXPECT_NEAR(f.GetHeight(), 16 * 2355.0 / 2048, 0.01);
}

TEST(Text, PointIsTheTopLeftOfTheLayoutBox) {
  // "H" in Arial 20 px at (10, 10): the box starts at 10; the glyph starts a
  // sixth of an em later plus its side bearing, its top sits a cap height
  // above the baseline, which is one cell ascent below the point.
  DeviceContext dc(60, 50);
  MakeTransparent(dc);
  {
    Graphics g(&dc);
    g.SetTextRenderingHint(TextRenderingHint::AntiAlias);
    Font f("Arial", 20, FontStyleRegular, Unit::Pixel);
    SolidBrush b(0xFFFFFFFF);
    ASSERT_EQ(g.DrawString("H", f, PointF(10, 10), b), Ok);
  }
  InkBox box;
  ASSERT_TRUE(Ink(dc, &box));
  double left = 10 + 20.0 / 6 + 20 * 158.0 / 2048;      // 14.9
  double baseline = 10 + 20 * 1854.0 / 2048;              // 28.1
  double top = baseline - 20 * 1466.0 / 2048;             // 13.8
  EXPECT_NEAR(box.x0, left, 1.5);
  EXPECT_NEAR(box.y0, top, 1.5);
  EXPECT_NEAR(box.y1, baseline, 1.5);
}

TEST(Text, RotatedTextTurnsWithTheWorld) {
  DeviceContext dc(100, 100);
  MakeTransparent(dc);
  {
    Graphics g(&dc);
    g.TranslateTransform(50, 50);
    g.RotateTransform(90);
    Font f("Arial", 16, FontStyleBold, Unit::Pixel);
    SolidBrush b(0xFFFFFFFF);
    g.DrawString("WWWW", f, PointF(0, 0), b);
  }
  InkBox box;
  ASSERT_TRUE(Ink(dc, &box));
  // Turned clockwise: the text runs down from the centre, its top to the right.
  EXPECT_GT(box.y1 - box.y0, box.x1 - box.x0);
  EXPECT_GE(box.y0, 50);
  EXPECT_LE(box.x1, 51);
}

// Shapes and texts that lie wholly off the surface or its clip are not
// rasterised; those that reach into it by a pixel still draw there, turned
// or not, and neither kind reports a failure.
TEST(Text, OnlyWhatReachesTheVisibleAreaIsDrawn) {
  struct Case {
    float x, y, turn;
    bool clip;
    bool ink;
  };
  for (const Case& c : {Case{-20, 40, 0, false, true}, Case{99, 40, 0, false, true}, Case{-90, 40, 0, false, false},
                        Case{40, -40, 0, false, false}, Case{40, 140, 0, false, false},
                        // Turned a half round, text at x 110 runs back left onto the surface.
                        Case{110, 60, 180, false, true}, Case{40, 40, 0, true, false}}) {
    SCOPED_TRACE(::testing::Message() << c.x << " " << c.y << " " << c.turn << (c.clip ? " clip" : ""));
    DeviceContext dc(100, 100);
    MakeTransparent(dc);
    Graphics g(&dc);
    if (c.clip) g.SetClip(RectF(0, 0, 20, 20));
    g.TranslateTransform(c.x, c.y);
    g.RotateTransform(c.turn);
    EXPECT_EQ(g.DrawString("WWWW", Font("Arial", 16, FontStyleBold, Unit::Pixel), PointF(0, 0),
                           SolidBrush(0xFFFFFFFF)),
              Ok);
    EXPECT_EQ(g.DrawEllipse(Pen(0xFFFFFFFF, 2), 0, 0, 30, 10), Ok);
    InkBox box;
    EXPECT_EQ(Ink(dc, &box, 1), c.ink);
  }
}

TEST(Text, MeasureAddsASixthOfAnEmEachSide) {
  DeviceContext dc(200, 50);
  Graphics g(&dc);
  Font mono("Courier New", 20, FontStyleRegular, Unit::Pixel);
  RectF r;
  ASSERT_EQ(g.MeasureString("ABCDE", mono, PointF(3, 4), nullptr, &r), Ok);
  EXPECT_FLOAT_EQ(r.X, 3);
  EXPECT_FLOAT_EQ(r.Y, 4);
  EXPECT_NEAR(r.Width, 5 * 20 * 1229.0 / 2048 + 20.0 / 3, 0.05);
  EXPECT_NEAR(r.Height, 20 * 2320.0 / 2048, 0.05);
  RectF trailing;
  g.MeasureString("ABCDE   ", mono, PointF(3, 4), nullptr, &trailing);
  EXPECT_FLOAT_EQ(trailing.Width, r.Width);  // trailing blanks do not count
  RectF two;
  g.MeasureString("AB\nCDEFG", mono, PointF(0, 0), nullptr, &two);
  EXPECT_NEAR(two.Height, 2 * r.Height, 0.05);
}

TEST(Text, AlignmentAndWrappingInALayoutRectangle) {
  DeviceContext dc(300, 200);
  Recorder rec;
  dc.recorder = &rec;
  Graphics g(&dc);
  Font f("Courier New", 10, FontStyleRegular, Unit::Pixel);
  double adv = 10 * 1229.0 / 2048;
  StringFormat centre;
  centre.SetAlignment(StringAlignment::Center);
  centre.SetLineAlignment(StringAlignment::Center);
  RectF r;
  g.MeasureString("ABCD", f, RectF(0, 0, 100, 40), &centre, &r);
  EXPECT_NEAR(r.X + r.Width / 2, 50, 0.05);
  EXPECT_NEAR(r.Y + r.Height / 2, 20, 0.05);
  // A zero-size rectangle centres on its point.
  g.MeasureString("ABCD", f, RectF(50, 50, 0, 0), &centre, &r);
  EXPECT_NEAR(r.X + r.Width / 2, 50, 0.05);
  StringFormat far;
  far.SetAlignment(StringAlignment::Far);
  g.MeasureString("ABCD", f, RectF(0, 0, 100, 40), &far, &r);
  EXPECT_NEAR(r.X + r.Width, 100, 0.05);
  // Wrapping at blanks when the width is too small, none with NoWrap.
  g.MeasureString("AAAA BBBB CCCC", f, RectF(0, 0, 6 * adv + 10.0 / 3, 0), nullptr, &r);
  EXPECT_NEAR(r.Height, 3 * 10 * 2320.0 / 2048, 0.05);
  StringFormat nowrap(StringFormatFlagsNoWrap);
  g.MeasureString("AAAA BBBB CCCC", f, RectF(0, 0, 6 * adv + 10.0 / 3, 0), &nowrap, &r);
  EXPECT_NEAR(r.Height, 10 * 2320.0 / 2048, 0.05);
  // Wrapped lines are drawn too, each from the left padding.
  ASSERT_EQ(g.DrawString("AAAA BBBB", f, RectF(0, 0, 6 * adv + 10.0 / 3, 100), nullptr, SolidBrush(0xFFFFFFFF)), Ok);
  ASSERT_EQ(rec.Count(OpKind::Text), 1);
}

TEST(Text, FaceCacheSurvivesSurfacesComingAndGoing) {
  // Draw, destroy the surface, create another (possibly at the same address)
  // and draw again: same pixels.
  std::vector<std::uint32_t> first;
  for (int round = 0; round < 3; ++round) {
    auto dc = std::make_unique<DeviceContext>(80, 30);
    {
      Graphics g(dc.get());
      g.SetTextRenderingHint(TextRenderingHint::AntiAlias);
      Font f("DA Rered", 13, FontStyleBold, Unit::Pixel);
      SolidBrush b(0xFFDEE6E9);
      g.DrawString("12.5", f, PointF(2, 2), b);
    }
    if (round == 0)
      first = dc->pixels;
    else
      EXPECT_EQ(dc->pixels, first);
  }
}

TEST(Startup, TokensAreNonZeroAndTakenBackOnce) {
  std::uintptr_t a = 0, b = 0;
  EXPECT_EQ(GdiplusStartup(nullptr), InvalidParameter);
  ASSERT_EQ(GdiplusStartup(&a), Ok);
  ASSERT_EQ(GdiplusStartup(&b), Ok);
  EXPECT_NE(a, 0u);
  EXPECT_NE(b, 0u);
  EXPECT_NE(a, b);
  int live = GdiplusInstances();
  EXPECT_EQ(GdiplusShutdown(a), Ok);
  EXPECT_EQ(GdiplusShutdown(a), InvalidParameter);
  EXPECT_EQ(GdiplusShutdown(0), InvalidParameter);
  EXPECT_EQ(GdiplusInstances(), live - 1);
  // Drawing does not depend on a running instance.
  EXPECT_EQ(GdiplusShutdown(b), Ok);
  DeviceContext dc(10, 10);
  Graphics g(&dc);
  EXPECT_EQ(g.FillRectangleI(SolidBrush(0xFFFFFFFF), 0, 0, 5, 5), Ok);
}

TEST(Startup, StartupInputOfVersionOneWithoutOutput) {
  // The module's start-up: version 1, no callback, background thread and
  // codecs not suppressed, no output structure.
  GdiplusStartupInput input;
  std::uintptr_t token = 0;
  ASSERT_EQ(GdiplusStartup(&token, &input, nullptr), Ok);
  EXPECT_NE(token, 0u);
  EXPECT_EQ(GdiplusShutdown(token), Ok);
  // Refusals leave the token as it was.
  std::uintptr_t kept = 77;
  GdiplusStartupInput v2;
  v2.GdiplusVersion = 2;
  EXPECT_EQ(GdiplusStartup(&kept, &v2, nullptr), UnsupportedGdiplusVersion);
  EXPECT_EQ(GdiplusStartup(&kept, nullptr, nullptr), InvalidParameter);
  GdiplusStartupInput no_thread;
  no_thread.SuppressBackgroundThread = true;
  EXPECT_EQ(GdiplusStartup(&kept, &no_thread, nullptr), InvalidParameter);
  EXPECT_EQ(kept, 77u);
  GdiplusStartupOutput out;
  ASSERT_EQ(GdiplusStartup(&kept, &no_thread, &out), Ok);
  EXPECT_NE(out.NotificationHook, nullptr);
  EXPECT_NE(out.NotificationUnhook, nullptr);
  EXPECT_EQ(GdiplusShutdown(kept), Ok);
}

}  // namespace
}  // namespace ovi::gfx
