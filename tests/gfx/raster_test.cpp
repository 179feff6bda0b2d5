// Geometry of the raster backend: what lands on which pixel.
#include <gtest/gtest.h>

#include <cmath>

#include "platform/gfx/graphics.h"
#include "tests/gfx/pixels.h"

namespace ovi::gfx {
namespace {

using testing::Alpha;
using testing::Ink;
using testing::InkBox;
using testing::InkCount;
using testing::MakeTransparent;
using testing::Px;

constexpr ARGB kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kWhite = 0xFFFFFFFF;

DeviceContext Blank(int w = 100, int h = 100) {
  DeviceContext dc(w, h);
  MakeTransparent(dc);
  return dc;
}

TEST(RasterFill, RectangleCoversExactlyItsPixelsInEveryOffsetMode) {
  // Aliased with the default offset, smoothed with the half offset: both give
  // the rectangle's own pixels and nothing else.
  for (int mode = 0; mode < 2; ++mode) {
    DeviceContext dc = Blank(20, 20);
    {
      Graphics g(&dc);
      if (mode == 1) {
        g.SetSmoothingMode(SmoothingMode::HighQuality);
        g.SetPixelOffsetMode(PixelOffsetMode::Half);
      }
      SolidBrush b(kRed);
      ASSERT_EQ(g.FillRectangleI(b, 2, 3, 5, 4), Ok);
    }
    for (int y = 0; y < 20; ++y)
      for (int x = 0; x < 20; ++x) {
        bool inside = x >= 2 && x < 7 && y >= 3 && y < 7;
        EXPECT_EQ(Px(dc, x, y), inside ? kRed : 0u) << "mode " << mode << " at " << x << "," << y;
      }
  }
}

TEST(RasterFill, SmoothedRectangleWithoutOffsetStraddlesPixelCentres) {
  // Without the half-pixel offset, integer coordinates are pixel centres:
  // the edges of a smoothed rectangle cover half of their pixels.
  DeviceContext dc = Blank(20, 20);
  {
    Graphics g(&dc);
    g.SetSmoothingMode(SmoothingMode::AntiAlias);
    SolidBrush b(kRed);
    g.FillRectangleI(b, 5, 5, 6, 6);
  }
  EXPECT_EQ(Alpha(Px(dc, 7, 7)), 255);
  EXPECT_NEAR(Alpha(Px(dc, 5, 8)), 128, 2);   // left edge column
  EXPECT_NEAR(Alpha(Px(dc, 11, 8)), 128, 2);  // right edge column
  EXPECT_EQ(Alpha(Px(dc, 4, 8)), 0);
  EXPECT_EQ(Alpha(Px(dc, 12, 8)), 0);
}

TEST(RasterFill, AlternateAndWindingDifferInsideAPentagram) {
  const PointF star[] = {{50, 0}, {79, 90}, {2, 35}, {98, 35}, {21, 90}};
  DeviceContext alt = Blank(), wind = Blank();
  {
    Graphics g(&alt);
    SolidBrush b(kGreen);
    ASSERT_EQ(g.FillPolygon(b, star, 5), Ok);
  }
  {
    Graphics g(&wind);
    SolidBrush b(kGreen);
    ASSERT_EQ(g.FillPolygon(b, star, 5, FillMode::Winding), Ok);
  }
  EXPECT_EQ(Px(alt, 50, 50), 0u);        // centre: crossed twice
  EXPECT_EQ(Px(wind, 50, 50), kGreen);
  EXPECT_EQ(Px(alt, 50, 12), kGreen);    // a point of the star: both
  EXPECT_EQ(Px(wind, 50, 12), kGreen);
  // A path carries its own fill mode.
  DeviceContext p = Blank();
  {
    Graphics g(&p);
    GraphicsPath path(FillMode::Winding);
    path.AddPolygon(star, 5);
    SolidBrush b(kGreen);
    g.FillPath(b, path);
  }
  EXPECT_EQ(Px(p, 50, 50), kGreen);
}

TEST(RasterStroke, PenWidthCoversWholeRows) {
  DeviceContext dc = Blank(40, 40);
  {
    Graphics g(&dc);
    g.SetPixelOffsetMode(PixelOffsetMode::Half);
    Pen p(kWhite, 4);
    g.DrawLine(p, 5.0f, 20.0f, 35.0f, 20.0f);
  }
  for (int y = 15; y < 25; ++y) EXPECT_EQ(Alpha(Px(dc, 20, y)), (y >= 18 && y < 22) ? 255 : 0) << y;
}

TEST(RasterStroke, AliasedOnePixelLineLiesOnItsRow) {
  DeviceContext dc = Blank(40, 40);
  {
    Graphics g(&dc);
    Pen p(kWhite, 1);
    g.DrawLineI(p, 5, 10, 30, 10);
  }
  InkBox b;
  ASSERT_TRUE(Ink(dc, &b));
  EXPECT_EQ(b.y0, 10);
  EXPECT_EQ(b.y1, 10);
  EXPECT_EQ(b.x0, 5);
  EXPECT_NEAR(b.x1, 30, 1);
  for (auto px : dc.pixels) EXPECT_TRUE(Alpha(px) == 0 || Alpha(px) == 255);  // no smoothing
}

// A dashed line that runs far off the surface (here under a clip, turned
// and smoothed) puts its dashes on the same pixels as the same line drawn
// as a polyline of two pieces, which is dashed whole.
TEST(RasterStroke, DashesOfALineFarOffTheSurfaceKeepTheirPlaces) {
  for (const bool clip : {false, true}) {
    SCOPED_TRACE(clip);
    DeviceContext line = Blank(), polyline = Blank();
    for (DeviceContext* dc : {&line, &polyline}) {
      Graphics g(dc);
      g.SetSmoothingMode(SmoothingMode::HighQuality);
      if (clip) g.SetClip(RectF(20, 10, 50, 60));
      g.TranslateTransform(50, 50);
      g.RotateTransform(25);
      g.ScaleTransform(0.5f, 0.5f);
      Pen p(kWhite, 3);
      p.SetDashStyle(DashStyle::Dash);
      if (dc == &line) {
        g.DrawLine(p, -5003.0f, 7.0f, 40.0f, 7.0f);
      } else {
        const PointF pts[] = {{-5003.0f, 7.0f}, {-2000.0f, 7.0f}, {40.0f, 7.0f}};
        g.DrawLines(p, pts, 3);
      }
    }
    ASSERT_GT(InkCount(line, 1), 0);
    int differ = 0;
    for (std::size_t i = 0; i < line.pixels.size(); ++i)
      differ += std::abs(Alpha(line.pixels[i]) - Alpha(polyline.pixels[i])) > 8 ? 1 : 0;
    EXPECT_EQ(differ, 0);
  }
  // Wholly off the surface: nothing, and no failure.
  DeviceContext dc = Blank();
  Graphics g(&dc);
  Pen p(kWhite, 1);
  p.SetDashStyle(DashStyle::Dash);
  EXPECT_EQ(g.DrawLine(p, -500.0f, -10.0f, 500.0f, -400.0f), Ok);
  EXPECT_EQ(InkCount(dc, 1), 0);
}

TEST(RasterStroke, DashesLeaveGapsOfThePenWidth) {
  DeviceContext dc = Blank(100, 10);
  {
    Graphics g(&dc);
    g.SetPixelOffsetMode(PixelOffsetMode::Half);
    Pen p(kWhite, 2);
    p.SetDashStyle(DashStyle::Dash);  // 3 on, 1 off, in pen widths
    g.DrawLine(p, 0.0f, 5.0f, 96.0f, 5.0f);
  }
  int on = 0, runs = 0;
  bool prev = false;
  for (int x = 0; x < 96; ++x) {
    bool lit = Alpha(Px(dc, x, 5)) > 128;
    on += lit;
    if (lit && !prev) ++runs;
    prev = lit;
  }
  EXPECT_EQ(runs, 12);  // 96 / (4 * 2)
  EXPECT_EQ(on, 72);
  // Dotted (dash style 2): one pen width on, one off.
  DeviceContext dots = Blank(100, 10);
  {
    Graphics g(&dots);
    g.SetPixelOffsetMode(PixelOffsetMode::Half);
    Pen p(kWhite, 2);
    p.SetDashStyle(DashStyle::Dot);
    g.DrawLine(p, 0.0f, 5.0f, 40.0f, 5.0f);
  }
  for (int x = 0; x < 40; ++x) EXPECT_EQ(Alpha(Px(dots, x, 5)) > 128, x % 4 < 2) << x;
}

TEST(RasterWorldUnits, PenWidthsAndFontSizesScaleWithTheWorld) {
  // A half-pixel frame (scale 0.5): a pen 4 wide is 2 device pixels.
  DeviceContext half = Blank(40, 40);
  {
    Graphics g(&half);
    g.ScaleTransform(0.5f, 0.5f);
    Pen p(kWhite, 4);
    g.DrawLineI(p, 0, 40, 80, 40);  // device row 20, rows 19 and 20 lit
  }
  for (int y = 15; y < 25; ++y) EXPECT_EQ(Alpha(Px(half, 10, y)), (y == 19 || y == 20) ? 255 : 0) << y;

  // A fine frame: world scale w / (16 (w + h)), k = 16 (w + h) / 260 fine
  // units per canvas unit; pens and fonts made k times larger come out at
  // their canvas size, coordinates truncated to whole fine units.
  DeviceContext fine = Blank(260, 260);
  Recorder rec;
  fine.recorder = &rec;
  {
    Graphics g(&fine);
    g.SetPixelOffsetMode(PixelOffsetMode::Half);
    const int w = 260, h = 260;
    const float k = 16.0f * (w + h) / 260;
    g.ScaleTransform(w / (16.0f * (w + h)), h / (16.0f * (w + h)));
    g.TranslateTransform(115 * k, 130 * k);
    Pen p(kWhite, 2 * k);
    g.DrawLineI(p, TruncToPixel(-32 * k), TruncToPixel(10 * k), TruncToPixel(32 * k), TruncToPixel(10 * k));
    Font f("Arial", 9 * k, FontStyleBold, Unit::Pixel);
    g.DrawString("10", f, PointF(static_cast<REAL>(TruncToPixel(32 * k)), static_cast<REAL>(TruncToPixel(-5 * k))),
                 SolidBrush(kWhite));
  }
  ASSERT_EQ(rec.Size(), 2u);
  EXPECT_FLOAT_EQ(rec.Ops()[0].points[0].X, 83);
  EXPECT_FLOAT_EQ(rec.Ops()[0].points[0].Y, 140);
  EXPECT_NEAR(rec.Ops()[0].device_pen_width, 2, 1e-4);
  EXPECT_NEAR(rec.Ops()[1].font_device_size, 9, 1e-4);
  Recorder::TextItem t;
  ASSERT_TRUE(rec.FindText("10", &t));
  EXPECT_NEAR(t.x, 147, 1e-3);
  EXPECT_NEAR(t.y, 125, 1e-3);
  for (int y = 136; y < 144; ++y) EXPECT_EQ(Alpha(Px(fine, 115, y)), (y == 139 || y == 140) ? 255 : 0) << y;
}

TEST(RasterWorldUnits, TruncationToPixelsIsTowardZeroAndAlwaysDefined) {
  EXPECT_EQ(TruncToPixel(2.9), 2);
  EXPECT_EQ(TruncToPixel(-2.9), -2);
  EXPECT_EQ(TruncToPixel(-0.5), 0);
  EXPECT_EQ(TruncToPixel(std::nan("")), 0);
  EXPECT_EQ(TruncToPixel(1e300), 1000000000);
  EXPECT_EQ(TruncToPixel(-HUGE_VAL), -1000000000);
  // Such a far point still draws the visible part of a line toward it.
  DeviceContext dc = Blank(20, 20);
  {
    Graphics g(&dc);
    Pen p(kWhite, 1);
    EXPECT_EQ(g.DrawLineI(p, 5, 10, TruncToPixel(1e300), 10), Ok);
  }
  EXPECT_EQ(Alpha(Px(dc, 19, 10)), 255);
  EXPECT_EQ(Alpha(Px(dc, 4, 10)), 0);
}

TEST(RasterArc, AnglesAreDegreesClockwiseFromPlusX) {
  // A quarter arc from 0 sweeping 90 on the circle about (50, 50), radius 40:
  // from the right-most point down to the bottom-most point.
  DeviceContext dc = Blank();
  Recorder rec;
  dc.recorder = &rec;
  {
    Graphics g(&dc);
    g.SetPixelOffsetMode(PixelOffsetMode::Half);
    Pen p(kWhite, 2);
    ASSERT_EQ(g.DrawArc(p, 10.0f, 10.0f, 80.0f, 80.0f, 0.0f, 90.0f), Ok);
  }
  EXPECT_GT(Alpha(Px(dc, 89, 50)), 100);  // start, right
  EXPECT_GT(Alpha(Px(dc, 50, 89)), 100);  // end, bottom
  EXPECT_GT(Alpha(Px(dc, 78, 78)), 100);  // 45 degrees between them
  EXPECT_EQ(Alpha(Px(dc, 10, 50)), 0);    // left untouched
  EXPECT_EQ(Alpha(Px(dc, 50, 10)), 0);    // top untouched
  ASSERT_EQ(rec.Count(OpKind::Arc), 1);
  const RecordedOp& op = *rec.Find(OpKind::Arc)[0];
  EXPECT_FLOAT_EQ(op.points[0].X, 90);
  EXPECT_FLOAT_EQ(op.points[0].Y, 50);
  EXPECT_FLOAT_EQ(op.points[1].X, 50);
  EXPECT_FLOAT_EQ(op.points[1].Y, 90);
}

TEST(RasterArc, AnglesOnAnEllipseAreTrueAngles) {
  // The ray at 45 degrees from the centre of a 200 x 100 ellipse meets it at
  // x = y = 1 / sqrt(1/100^2 + 1/50^2) from the centre.
  DeviceContext dc = Blank(220, 120);
  Recorder rec;
  dc.recorder = &rec;
  {
    Graphics g(&dc);
    Pen p(kWhite, 1);
    ASSERT_EQ(g.DrawArc(p, 0.0f, 0.0f, 200.0f, 100.0f, 45.0f, 90.0f), Ok);
  }
  double r = 1.0 / std::sqrt(1.0 / 10000 + 1.0 / 2500);
  const RecordedOp& op = *rec.Find(OpKind::Arc)[0];
  EXPECT_NEAR(op.points[0].X, 100 + r, 1e-3);
  EXPECT_NEAR(op.points[0].Y, 50 + r, 1e-3);
  EXPECT_NEAR(op.points[1].X, 100 - r, 1e-3);  // 135 degrees
  EXPECT_NEAR(op.points[1].Y, 50 + r, 1e-3);
  // A negative sweep runs counter-clockwise: from 0 to -90 passes the top-right.
  DeviceContext dc2 = Blank();
  {
    Graphics g(&dc2);
    g.SetPixelOffsetMode(PixelOffsetMode::Half);
    Pen p(kWhite, 2);
    g.DrawArc(p, 10.0f, 10.0f, 80.0f, 80.0f, 0.0f, -90.0f);
  }
  EXPECT_GT(Alpha(Px(dc2, 78, 21)), 100);
  EXPECT_EQ(Alpha(Px(dc2, 78, 78)), 0);
}

TEST(RasterArc, PieFillsItsSectorOnly) {
  DeviceContext dc = Blank();
  {
    Graphics g(&dc);
    SolidBrush b(kRed);
    ASSERT_EQ(g.FillPie(b, 10.0f, 10.0f, 80.0f, 80.0f, 270.0f, 90.0f), Ok);  // top-right quarter
  }
  EXPECT_EQ(Px(dc, 65, 35), kRed);
  EXPECT_EQ(Px(dc, 35, 35), 0u);
  EXPECT_EQ(Px(dc, 65, 65), 0u);
  EXPECT_EQ(Px(dc, 35, 65), 0u);
}

TEST(RasterTransform, RotationTurnsClockwiseOnScreen) {
  DeviceContext dc = Blank();
  {
    Graphics g(&dc);
    g.TranslateTransform(50, 50);
    g.RotateTransform(90);
    Pen p(kWhite, 1);
    g.DrawLineI(p, 0, 0, 30, 0);  // +x turned by 90: straight down
  }
  InkBox b;
  ASSERT_TRUE(Ink(dc, &b));
  EXPECT_EQ(b.x0, 50);
  EXPECT_EQ(b.x1, 50);
  EXPECT_EQ(b.y0, 50);
  EXPECT_NEAR(b.y1, 80, 1);
}

TEST(RasterTransform, PrependOrderAppliesTheLatestCallFirst) {
  // Translate then scale (prepend): points are scaled, then translated.
  DeviceContext a = Blank(200, 20), b = Blank(200, 20);
  {
    Graphics g(&a);
    g.SetPixelOffsetMode(PixelOffsetMode::Half);
    g.TranslateTransform(50, 0);
    g.ScaleTransform(2, 1);
    SolidBrush br(kRed);
    g.FillRectangleI(br, 10, 5, 5, 5);  // device x 70..80
  }
  {
    Graphics g(&b);
    g.SetPixelOffsetMode(PixelOffsetMode::Half);
    g.TranslateTransform(50, 0);
    g.ScaleTransform(2, 1, MatrixOrder::Append);
    SolidBrush br(kRed);
    g.FillRectangleI(br, 10, 5, 5, 5);  // device x 120..130
  }
  InkBox ba, bb;
  ASSERT_TRUE(Ink(a, &ba));
  ASSERT_TRUE(Ink(b, &bb));
  EXPECT_EQ(ba.x0, 70);
  EXPECT_EQ(ba.x1, 79);
  EXPECT_EQ(bb.x0, 120);
  EXPECT_EQ(bb.x1, 129);
}

TEST(RasterClip, RectangleClipCutsAFill) {
  DeviceContext dc = Blank(50, 50);
  {
    Graphics g(&dc);
    ASSERT_EQ(g.SetClip(RectF(10, 10, 20, 20)), Ok);
    SolidBrush b(kRed);
    g.FillRectangleI(b, 0, 0, 50, 50);
    g.ResetClip();
    SolidBrush b2(kGreen);
    g.FillRectangleI(b2, 45, 45, 5, 5);  // after reset: anywhere
  }
  EXPECT_EQ(Px(dc, 15, 15), kRed);
  EXPECT_EQ(Px(dc, 29, 29), kRed);
  EXPECT_EQ(Px(dc, 30, 30), 0u);
  EXPECT_EQ(Px(dc, 9, 15), 0u);
  EXPECT_EQ(Px(dc, 47, 47), kGreen);
}

TEST(RasterClip, PathClipIntersectAndReplace) {
  DeviceContext dc = Blank();
  {
    Graphics g(&dc);
    GraphicsPath circle;
    circle.AddEllipse(0, 0, 100, 100);
    ASSERT_EQ(g.SetClip(circle), Ok);
    ASSERT_EQ(g.SetClip(RectF(0, 0, 100, 50), CombineMode::Intersect), Ok);  // upper half of the disc
    SolidBrush b(kRed);
    g.FillRectangleI(b, 0, 0, 100, 100);
  }
  EXPECT_EQ(Px(dc, 50, 20), kRed);
  EXPECT_EQ(Px(dc, 50, 70), 0u);  // cut by the intersected rectangle
  EXPECT_EQ(Px(dc, 3, 3), 0u);    // outside the disc
  // Replace forgets the earlier clip.
  DeviceContext dc2 = Blank();
  {
    Graphics g(&dc2);
    g.SetClip(RectF(0, 0, 10, 10));
    g.SetClip(RectF(50, 50, 10, 10), CombineMode::Replace);
    SolidBrush b(kRed);
    g.FillRectangleI(b, 0, 0, 100, 100);
  }
  EXPECT_EQ(Px(dc2, 5, 5), 0u);
  EXPECT_EQ(Px(dc2, 55, 55), kRed);
}

TEST(RasterClip, ClipStaysInDeviceSpaceWhenTheTransformChanges) {
  DeviceContext dc = Blank();
  {
    Graphics g(&dc);
    g.TranslateTransform(50, 0);
    g.SetClip(RectF(0, 0, 10, 100));  // device x 50..60
    g.ResetTransform();
    SolidBrush b(kRed);
    g.FillRectangleI(b, 0, 0, 100, 100);
    // Clearing honours the clip too.
    g.Clear(Color(kGreen));
  }
  EXPECT_EQ(Px(dc, 55, 50), kGreen);
  EXPECT_EQ(Px(dc, 45, 50), 0u);
  EXPECT_EQ(Px(dc, 65, 50), 0u);
}

TEST(RasterClip, EmptyOutlineShowsNothingUntilTheClipIsReset) {
  // A page whose clip outline is an empty path: the layers drawn inside it
  // leave the picture as it was.
  DeviceContext dc = Blank(40, 40);
  Recorder rec;
  dc.recorder = &rec;
  {
    Graphics g(&dc);
    g.TranslateTransform(20, 20);
    GraphicsPath empty;
    ASSERT_EQ(g.SetClip(empty, CombineMode::Replace), Ok);
    SolidBrush b(kRed);
    Pen p(kWhite, 2);
    g.FillRectangleI(b, -20, -20, 40, 40);
    g.DrawLineI(p, -20, 0, 20, 0);
    g.DrawString("X", Font("Arial", 12, FontStyleBold, Unit::Pixel), PointF(0, 0), b);
    EXPECT_EQ(InkCount(dc, 1), 0);
    for (const auto& op : rec.Ops()) {
      if (op.kind != OpKind::Clip) {
        EXPECT_FALSE(op.visible) << OpKindName(op.kind);
      }
    }
    g.ResetClip();
    g.FillRectangleI(b, -20, -20, 40, 40);
  }
  EXPECT_EQ(Px(dc, 20, 20), kRed);
}

TEST(RasterClear, ClearsToTransparentAndIgnoresTheTransform) {
  DeviceContext dc(10, 10);  // opaque black
  {
    Graphics g(&dc);
    g.ScaleTransform(0.5f, 0.5f);
    ASSERT_EQ(g.Clear(Color(0x00000000)), Ok);
  }
  for (auto p : dc.pixels) EXPECT_EQ(p, 0u);
}

TEST(RasterPath, ArcsJoinedByLinesMakeOneOutline) {
  // The outline of a rounded window: quarter arcs joined by straight edges.
  DeviceContext dc = Blank();
  {
    Graphics g(&dc);
    GraphicsPath p;
    p.AddArc(10.0f, 10.0f, 30.0f, 30.0f, 180.0f, 90.0f);
    p.AddArc(60.0f, 10.0f, 30.0f, 30.0f, 270.0f, 90.0f);
    p.AddArc(60.0f, 60.0f, 30.0f, 30.0f, 0.0f, 90.0f);
    p.AddArc(10.0f, 60.0f, 30.0f, 30.0f, 90.0f, 90.0f);
    p.CloseFigure();
    SolidBrush b(kRed);
    ASSERT_EQ(g.FillPath(b, p), Ok);
  }
  EXPECT_EQ(Px(dc, 50, 50), kRed);
  EXPECT_EQ(Px(dc, 50, 11), kRed);  // straight top edge
  EXPECT_EQ(Px(dc, 11, 11), 0u);    // rounded corner
  EXPECT_EQ(Px(dc, 88, 88), 0u);
}

TEST(RasterImage, DrawImageCopiesPixelsAtWholePixels) {
  DeviceContext src(4, 3);
  for (auto& p : src.pixels) p = kRed;
  Bitmap bmp(src);
  ASSERT_EQ(bmp.GetLastStatus(), Ok);
  DeviceContext dc = Blank(20, 20);
  {
    Graphics g(&dc);
    ASSERT_EQ(g.DrawImage(bmp, 5, 6), Ok);
  }
  InkBox b;
  ASSERT_TRUE(Ink(dc, &b, 1));
  EXPECT_EQ(b.x0, 5);
  EXPECT_EQ(b.y0, 6);
  EXPECT_EQ(b.x1, 8);
  EXPECT_EQ(b.y1, 8);
  EXPECT_EQ(Px(dc, 5, 6), kRed);
}

TEST(RasterStroke, ArrowCapPointsAlongTheLine) {
  DeviceContext dc = Blank();
  {
    Graphics g(&dc);
    g.SetSmoothingMode(SmoothingMode::AntiAlias);
    Pen p(kWhite, 3);
    AdjustableArrowCap cap(3, 3, true);
    ASSERT_EQ(p.SetCustomEndCap(cap), Ok);
    g.DrawLine(p, 10.0f, 50.0f, 80.0f, 50.0f);
  }
  // The head is 9 wide at its base, 9 behind the tip.
  EXPECT_GT(Alpha(Px(dc, 72, 47)), 200);
  EXPECT_GT(Alpha(Px(dc, 72, 53)), 200);
  EXPECT_EQ(Alpha(Px(dc, 60, 47)), 0);  // the shaft is only 3 wide
  EXPECT_EQ(Alpha(Px(dc, 83, 50)), 0);  // nothing beyond the tip
}

}  // namespace
}  // namespace ovi::gfx
