// Bad input: refused with a status, nothing drawn, nothing outside the surface.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "platform/gfx/graphics.h"
#include "platform/gfx/image_io.h"
#include "tests/gfx/pixels.h"

namespace ovi::gfx {
namespace {

using testing::Px;

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr ARGB kWhite = 0xFFFFFFFF;

class BadInput : public ::testing::Test {
 protected:
  DeviceContext dc{64, 64};
  std::vector<std::uint32_t> before = dc.pixels;
  bool Untouched() const { return dc.pixels == before; }
};

TEST_F(BadInput, NonFiniteCoordinatesAndSizesAreRefused) {
  Graphics g(&dc);
  Pen p(kWhite, 1);
  SolidBrush b(kWhite);
  EXPECT_EQ(g.DrawLine(p, kNaN, 0.0f, 10.0f, 10.0f), InvalidParameter);
  EXPECT_EQ(g.DrawLine(p, 0.0f, 0.0f, kInf, 10.0f), InvalidParameter);
  EXPECT_EQ(g.FillRectangle(b, 0.0f, 0.0f, kNaN, 10.0f), InvalidParameter);
  EXPECT_EQ(g.DrawEllipse(p, 0.0f, 0.0f, 10.0f, kInf), InvalidParameter);
  EXPECT_EQ(g.DrawArc(p, 0.0f, 0.0f, 10.0f, 10.0f, kNaN, 90.0f), InvalidParameter);
  EXPECT_EQ(g.FillPie(b, 0.0f, 0.0f, 10.0f, 10.0f, 0.0f, kInf), InvalidParameter);
  const PointF bad[] = {{0, 0}, {kNaN, 5}, {10, 10}};
  EXPECT_EQ(g.FillPolygon(b, bad, 3), InvalidParameter);
  EXPECT_EQ(g.DrawLines(p, bad, 3), InvalidParameter);
  EXPECT_EQ(g.SetClip(RectF(0, 0, kNaN, 4)), InvalidParameter);
  Font f("Arial", 10, FontStyleRegular, Unit::Pixel);
  EXPECT_EQ(g.DrawString("X", f, PointF(kNaN, 0), b), InvalidParameter);
  EXPECT_EQ(g.GetLastStatus(), InvalidParameter);
  EXPECT_EQ(g.GetLastStatus(), Ok);  // reading resets it
  EXPECT_TRUE(Untouched());
}

TEST_F(BadInput, ZeroAndNegativeSizesAndWidthsAreRefused) {
  Graphics g(&dc);
  SolidBrush b(kWhite);
  for (float w : {0.0f, -1.0f, kNaN}) {
    Pen p(kWhite, w);
    EXPECT_EQ(p.GetLastStatus(), InvalidParameter);
    EXPECT_EQ(g.DrawLine(p, 0.0f, 0.0f, 10.0f, 10.0f), InvalidParameter);
  }
  Pen p(kWhite, 1);
  EXPECT_EQ(g.DrawRectangleI(p, 5, 5, 0, 10), InvalidParameter);
  EXPECT_EQ(g.FillRectangleI(b, 5, 5, -3, 10), InvalidParameter);
  EXPECT_EQ(g.DrawEllipseI(p, 5, 5, 10, 0), InvalidParameter);
  EXPECT_EQ(g.DrawArcI(p, 5, 5, -10, 10, 0, 90), InvalidParameter);
  EXPECT_EQ(g.FillPieI(b, 5, 5, 0, 0, 0, 90), InvalidParameter);
  GraphicsPath path;
  EXPECT_EQ(path.AddEllipse(0, 0, 0, 5), InvalidParameter);
  EXPECT_EQ(g.FillPath(b, path), InvalidParameter);  // the path remembers the failure
  EXPECT_EQ(p.SetWidth(0), InvalidParameter);
  AdjustableArrowCap cap(-1, 3);
  EXPECT_EQ(p.SetCustomEndCap(cap), InvalidParameter);
  EXPECT_TRUE(Untouched());
}

TEST_F(BadInput, EmptyPolygonsAndBadPointArraysAreRefused) {
  Graphics g(&dc);
  Pen p(kWhite, 1);
  SolidBrush b(kWhite);
  const PointF two[] = {{0, 0}, {10, 10}};
  const Point twoi[] = {{0, 0}, {10, 10}};
  EXPECT_EQ(g.FillPolygon(b, two, 2), InvalidParameter);
  EXPECT_EQ(g.FillPolygonI(b, twoi, 2), InvalidParameter);
  EXPECT_EQ(g.FillPolygon(b, nullptr, 3), InvalidParameter);
  EXPECT_EQ(g.DrawPolygon(p, two, 0), InvalidParameter);
  EXPECT_EQ(g.DrawLines(p, two, 1), InvalidParameter);
  EXPECT_EQ(g.DrawLinesI(p, twoi, -5), InvalidParameter);
  EXPECT_EQ(g.DrawLines(p, std::span<const PointF>()), InvalidParameter);
  EXPECT_EQ(g.DrawCurve(p, two, 1), InvalidParameter);
  GraphicsPath empty;
  EXPECT_EQ(g.DrawPath(p, empty), InvalidParameter);
  EXPECT_EQ(g.FillPath(b, empty), InvalidParameter);
  EXPECT_EQ(empty.AddPolygon(two, 2), InvalidParameter);
  EXPECT_TRUE(Untouched());
}

TEST_F(BadInput, NullOverLongAndOddStrings) {
  Graphics g(&dc);
  SolidBrush b(kWhite);
  Font f("Arial", 10, FontStyleRegular, Unit::Pixel);
  EXPECT_EQ(g.DrawString(static_cast<const char*>(nullptr), f, PointF(0, 0), b), InvalidParameter);
  std::string huge(kMaxStringLength + 1, 'A');
  EXPECT_EQ(g.DrawString(huge, f, PointF(0, 0), b), InvalidParameter);
  EXPECT_EQ(g.DrawString(huge.c_str(), f, PointF(0, 0), b), InvalidParameter);
  RectF r;
  EXPECT_EQ(g.MeasureString(huge, f, PointF(0, 0), nullptr, &r), InvalidParameter);
  EXPECT_EQ(g.MeasureString("A", f, PointF(0, 0), nullptr, nullptr), InvalidParameter);
  EXPECT_EQ(g.DrawString("", f, PointF(0, 0), b), Ok);  // empty: nothing to draw
  EXPECT_TRUE(Untouched());
  // Control bytes, every high byte and unpaired surrogates draw without harm.
  std::string all;
  for (int c = 1; c < 256; ++c) all.push_back(static_cast<char>(c));
  EXPECT_EQ(g.DrawString(all, f, PointF(0, 0), b), Ok);
  const char16_t wide[] = {u'A', 0xD800, u'B', 0xDC00, 0};
  EXPECT_EQ(g.DrawString(std::u16string_view(wide, 4), f, RectF(0, 20, 0, 0), nullptr, b), Ok);
  // A NUL ends the text, as for a C string.
  EXPECT_EQ(AnsiToUtf8(std::string_view("AB\0CD", 5)), "AB");
}

TEST_F(BadInput, BadFontsAreRefusedButNeverNull) {
  Graphics g(&dc);
  SolidBrush b(kWhite);
  for (float size : {0.0f, -4.0f, kNaN, kInf, 1e9f}) {
    Font f("Arial", size, FontStyleRegular, Unit::Pixel);
    EXPECT_EQ(f.GetLastStatus(), InvalidParameter);
    EXPECT_NE(f.Face(), nullptr);
    EXPECT_EQ(g.DrawString("X", f, PointF(5, 5), b), InvalidParameter);
  }
  FontFamily none("");
  EXPECT_EQ(none.GetLastStatus(), InvalidParameter);
  Font f(none, 10, FontStyleRegular, Unit::Pixel);
  EXPECT_NE(f.GetLastStatus(), Ok);
  EXPECT_NE(f.Face(), nullptr);
  EXPECT_TRUE(Untouched());
}

TEST_F(BadInput, SingularOrNonFiniteTransformsAreRefusedAndKeepTheOldOne) {
  Recorder rec;
  dc.recorder = &rec;
  Graphics g(&dc);
  g.TranslateTransform(10, 10);
  EXPECT_EQ(g.ScaleTransform(0, 1), InvalidParameter);
  EXPECT_EQ(g.ScaleTransform(kNaN, 1), InvalidParameter);
  EXPECT_EQ(g.RotateTransform(kInf), InvalidParameter);
  EXPECT_EQ(g.TranslateTransform(kNaN, 0), InvalidParameter);
  EXPECT_EQ(g.SetTransform(Matrix(1, 2, 2, 4, 0, 0)), InvalidParameter);  // determinant 0
  EXPECT_EQ(g.MultiplyTransform(Matrix(1, 0, 0, 1, 0, 0), static_cast<MatrixOrder>(7)), InvalidParameter);
  EXPECT_EQ(g.SetSmoothingMode(static_cast<SmoothingMode>(42)), InvalidParameter);
  EXPECT_EQ(g.SetClip(RectF(0, 0, 5, 5), CombineMode::Xor), NotImplemented);
  Pen p(kWhite, 1);
  g.DrawLineI(p, 0, 0, 1, 0);
  EXPECT_FLOAT_EQ(rec.Ops().back().points[0].X, 10);
  EXPECT_FLOAT_EQ(rec.Ops().back().points[0].Y, 10);
}

TEST_F(BadInput, FarAwayCoordinates) {
  {
    Graphics g(&dc);
    g.SetPixelOffsetMode(PixelOffsetMode::Half);
    Pen p(kWhite, 2);
    // A straight line far beyond the surface still draws its visible part.
    EXPECT_EQ(g.DrawLine(p, -1e12f, 10.0f, 1e12f, 10.0f), Ok);
    SolidBrush b(kWhite);
    const PointF big[] = {{-1e9f, 40}, {1e9f, 40}, {0, 1e9f}};
    EXPECT_EQ(g.FillPolygon(b, big, 3), Ok);
    // Curves that far cannot be brought back exactly: refused.
    EXPECT_EQ(g.DrawEllipse(p, -1e9f, -1e9f, 2e9f, 2e9f), ValueOverflow);
    EXPECT_EQ(g.DrawString("X", Font("Arial", 10, 0, Unit::Pixel), PointF(1e9f, 0), b), ValueOverflow);
  }
  for (int x = 0; x < 64; ++x) {
    EXPECT_EQ(Px(dc, x, 9), kWhite) << x;
    EXPECT_EQ(Px(dc, x, 10), kWhite) << x;
    EXPECT_EQ(Px(dc, x, 8), 0xFF000000u) << x;
    EXPECT_EQ(Px(dc, x, 45), kWhite) << x;
    EXPECT_EQ(Px(dc, x, 30), 0xFF000000u) << x;
  }
}

TEST(BadSurface, ZeroSizeNullAndInconsistentSurfacesRefuseEverything) {
  DeviceContext zero(0, 0), negative(-5, 10), giant(kMaxSurfaceSide + 1, 10);
  EXPECT_TRUE(zero.Empty());
  EXPECT_TRUE(negative.Empty());
  EXPECT_TRUE(giant.Empty());
  EXPECT_TRUE(giant.pixels.empty());
  DeviceContext broken(10, 10);
  broken.width = 200;  // the buffer no longer matches
  for (DeviceContext* dc : {&zero, &negative, &giant, &broken, static_cast<DeviceContext*>(nullptr)}) {
    Graphics g(dc);
    EXPECT_EQ(g.GetLastStatus(), InvalidParameter);
    Pen p(kWhite, 1);
    SolidBrush b(kWhite);
    EXPECT_EQ(g.DrawLineI(p, 0, 0, 5, 5), InvalidParameter);
    EXPECT_EQ(g.Clear(Color(kWhite)), InvalidParameter);
    EXPECT_EQ(g.FillRectangleI(b, 0, 0, 5, 5), InvalidParameter);
    EXPECT_EQ(g.DrawString("A", Font("Arial", 10), PointF(0, 0), b), InvalidParameter);
    EXPECT_EQ(g.SetClip(RectF(0, 0, 1, 1)), InvalidParameter);
    if (dc != nullptr) {
      EXPECT_FALSE(WritePng(*dc, ::testing::TempDir() + "/never.png"));
    }
  }
  DeviceContext ok(4, 4);
  Blit(broken, ok, 0, 0);  // ignored
  Blit(ok, broken, 0, 0);
  EXPECT_EQ(ok.pixels[0], 0xFF000000u);
}

}  // namespace
}  // namespace ovi::gfx
