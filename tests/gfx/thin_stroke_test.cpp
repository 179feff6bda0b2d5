// The layer's own rasteriser for straight-edged strokes against Cairo's:
// every case is drawn both ways and the pictures may differ only by a level
// on smoothed edge pixels.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <limits>
#include <random>
#include <utility>
#include <vector>

#include "platform/gfx/graphics.h"
#include "platform/gfx/thin_stroke.h"
#include "tests/gfx/pixels.h"

namespace ovi::gfx {
namespace {

using testing::Alpha;
using testing::Blue;
using testing::Green;
using testing::Red;

constexpr ARGB kMagenta = 0xFFFF13D5, kWhite = 0xFFDEE6E9, kGreen = 0xFF00FA00, kOlive = 0xFF979700;

struct CairoStrokes {
  explicit CairoStrokes(bool on) { detail::UseCairoForAllStrokes(on); }
  ~CairoStrokes() { detail::UseCairoForAllStrokes(false); }
};

struct Case {
  const char* name;
  std::function<void(Graphics&)> draw;
};

// The map layers' grid: a surface of 247 x 294 scaled by W / (W + H) and
// H / (W + H), so device points fall between pixels in every phase.
void FineGrid(Graphics& g) {
  g.ScaleTransform(247.0f / 541.0f, 294.0f / 541.0f);
  g.TranslateTransform(267.0f, 526.0f);
}

// Stars, hexagons and triangles as the symbol painter draws them.
void Symbols(Graphics& g, float width) {
  FineGrid(g);
  Pen pen(kWhite, width);
  for (int i = 0; i < 12; ++i) {
    const int x = -200 + 37 * i, y = -420 + 29 * i;
    const Point star[] = {{x, y},          {x + 2, y + 11}, {x + 11, y + 13}, {x + 2, y + 15}, {x, y + 24},
                          {x - 2, y + 15}, {x - 11, y + 13}, {x - 2, y + 11}, {x, y}};
    g.DrawLinesI(pen, star, 9);
    const Point hex[] = {{x + 40, y}, {x + 49, y}, {x + 53, y + 9}, {x + 49, y + 18},
                         {x + 40, y + 18}, {x + 36, y + 9}, {x + 40, y}};
    g.DrawLinesI(pen, hex, 7);
    const Point tri[] = {{x - 40, y}, {x - 33, y + 11}, {x - 47, y + 11}, {x - 40, y}};
    g.DrawLinesI(pen, tri, 4);
  }
}

// Legs in every direction from one point, round the compass.
void Legs(Graphics& g, float width, DashStyle dash) {
  Pen pen(kMagenta, width);
  pen.SetDashStyle(dash);
  g.TranslateTransform(60.3f, 70.7f);
  for (int a = 0; a < 360; a += 7) {
    g.RotateTransform(7.0f);
    g.DrawLine(pen, 3.0f, 0.0f, 55.0f + (a % 5), 0.0f);
  }
}

const Case kCases[] = {
    {"symbols, pen of one fine unit", [](Graphics& g) { Symbols(g, 2.19f); }},
    {"symbols, pen of two canvas units", [](Graphics& g) { Symbols(g, 4.4f); }},
    {"legs, hairline (one pixel)", [](Graphics& g) { Legs(g, 0.3f, DashStyle::Solid); }},
    {"legs, 1.8 pixels", [](Graphics& g) { Legs(g, 1.8f, DashStyle::Solid); }},
    {"legs dashed, 1 pixel", [](Graphics& g) { Legs(g, 1.0f, DashStyle::Dash); }},
    {"legs dashed, 2 pixels", [](Graphics& g) { Legs(g, 2.0f, DashStyle::Dash); }},
    {"legs dotted and dash-dotted",
     [](Graphics& g) {
       Legs(g, 1.5f, DashStyle::Dot);
       g.ResetTransform();
       g.TranslateTransform(40, 50);
       Legs(g, 1.2f, DashStyle::DashDotDot);
     }},
    {"dashed polyline turning inside its dashes",
     [](Graphics& g) {
       Pen pen(kWhite, 2.0f);
       pen.SetDashStyle(DashStyle::Dash);
       const PointF zigzag[] = {{5.2f, 5.7f}, {40.9f, 30.1f}, {44.0f, 33.0f}, {20.5f, 70.3f}, {120.0f, 90.0f},
                                {121.5f, 20.2f}};
       g.DrawLines(pen, zigzag, 6);
     }},
    {"sharp turns beyond the miter limit, open and closed",
     [](Graphics& g) {
       Pen pen(kGreen, 3.0f);
       const PointF spike[] = {{10.0f, 100.0f}, {60.0f, 20.3f}, {61.0f, 100.0f}, {100.0f, 99.0f}, {20.0f, 98.0f}};
       g.DrawLines(pen, spike, 5);
       const PointF tri[] = {{70.0f, 10.0f}, {110.0f, 40.4f}, {69.0f, 13.0f}};
       g.DrawPolygon(pen, tri, 3);
     }},
    {"polygon outlines, both turning senses",
     [](Graphics& g) {
       Pen pen(kWhite, 1.4f);
       const PointF cw[] = {{10.5f, 10.2f}, {50.1f, 14.0f}, {45.3f, 50.9f}, {12.0f, 44.0f}};
       const PointF ccw[] = {{60.5f, 10.2f}, {62.0f, 44.0f}, {95.3f, 50.9f}, {100.1f, 14.0f}};
       g.DrawPolygon(pen, cw, 4);
       g.DrawPolygon(pen, ccw, 4);
     }},
    {"translucent pen over a coloured ground",
     [](Graphics& g) {
       g.Clear(Color(0xFF102030));
       Pen pen(0x80FF8000, 2.5f);
       const PointF v[] = {{5.0f, 95.0f}, {60.0f, 5.3f}, {115.0f, 95.0f}};
       g.DrawLines(pen, v, 3);
     }},
    {"lines leaving the surface on every side",
     [](Graphics& g) {
       Pen pen(kOlive, 1.0f);
       g.DrawLine(pen, -30.0f, 20.0f, 150.0f, 35.0f);
       g.DrawLine(pen, 20.0f, -40.0f, 35.5f, 160.0f);
       Pen dashed(kWhite, 2.0f);
       dashed.SetDashStyle(DashStyle::Dash);
       g.DrawLine(dashed, -5000.0f, -4000.0f, 5000.0f, 4100.0f);
     }},
    {"a rectangular clip and an outline clip",
     [](Graphics& g) {
       g.SetClip(RectF(20, 15, 70, 60));
       Legs(g, 1.6f, DashStyle::Solid);
       g.ResetTransform();
       GraphicsPath outline;
       outline.AddArc(-52.0f, 32.0f, 350.0f, 350.0f, 225.0f, 89.0f);
       outline.AddLine(120.0f, 80.0f, 0.0f, 120.0f);
       outline.CloseFigure();
       g.SetClip(outline);
       Symbols(g, 2.19f);
     }},
    {"curves after a dashed line keep their own pen",
     [](Graphics& g) {
       Pen dashed(kMagenta, 2.0f);
       dashed.SetDashStyle(DashStyle::Dash);
       g.DrawLine(dashed, 5.3f, 90.2f, 110.7f, 60.9f);
       Pen solid(kGreen, 1.5f);
       g.DrawEllipse(solid, 20.0f, 10.0f, 50.0f, 50.0f);
       g.DrawArc(solid, 60.0f, 20.0f, 40.0f, 30.0f, 200.0f, 120.0f);
     }},
    {"rings and arcs of every size under the map grid",
     [](Graphics& g) {
       FineGrid(g);
       Pen ring(kWhite, 4.0f), thin(kGreen, 1.0f);
       for (int i = 0; i < 9; ++i) {
         const int x = -230 + 47 * i, y = -470 + 37 * i, d = 6 + 9 * i;
         g.DrawEllipseI(ring, x, y, d, d);
         g.DrawArcI(thin, x + 20, y - 10, d + 30, d + 12, 180.0f + 17 * i, 90.0f + 25 * i);
       }
     }},
    {"circles of a pixel pen, rotated ellipses",
     [](Graphics& g) {
       Pen pen(kMagenta, 1.0f);
       g.DrawEllipse(pen, 8.3f, 8.6f, 33.0f, 33.0f);
       g.DrawEllipse(pen, 50.1f, 10.2f, 4.0f, 4.0f);
       g.TranslateTransform(80.0f, 60.0f);
       g.RotateTransform(33.0f);
       g.DrawEllipse(Pen(kWhite, 2.5f), -30.0f, -12.0f, 60.0f, 24.0f);
       g.DrawArc(Pen(kGreen, 1.5f), -20.0f, -20.0f, 40.0f, 40.0f, 10.0f, 300.0f);
     }},
    {"dashed rings and arcs",
     [](Graphics& g) {
       Pen dashed(kGreen, 1.0f), dotted(kWhite, 2.0f);
       dashed.SetDashStyle(DashStyle::Dash);
       dotted.SetDashStyle(DashStyle::Dot);
       for (int i = 0; i < 4; ++i) {
         const float r = 8.0f + 14.0f * i;
         g.DrawEllipse(dashed, 60.3f - r, 50.7f - r, 2 * r, 2 * r);
       }
       g.DrawArc(dotted, 10.0f, 10.0f, 80.0f, 60.0f, 30.0f, 200.0f);
       FineGrid(g);
       g.DrawEllipseI(dashed, -120, -300, 90, 90);
     }},
    {"a mirroring transform", [](Graphics& g) {
       g.ScaleTransform(-1.0f, 1.0f);
       g.TranslateTransform(-120.0f, 0.0f);
       Legs(g, 1.3f, DashStyle::Dash);
     }},
};

struct Difference {
  int max = 0;         // largest difference of a channel, in levels
  int beyond_one = 0;  // pixels that differ by more than one level
  int inked = 0;       // pixels Cairo's picture changed
};

Difference Compare(const Case& c) {
  auto picture = [&](bool cairo) {
    CairoStrokes mode(cairo);
    DeviceContext dc(120, 100);
    Graphics g(&dc);
    g.SetSmoothingMode(SmoothingMode::HighQuality);
    c.draw(g);
    return dc;
  };
  const DeviceContext ours = picture(false), theirs = picture(true), untouched(120, 100);
  Difference d;
  for (std::size_t i = 0; i < ours.pixels.size(); ++i) {
    const std::uint32_t a = ours.pixels[i], b = theirs.pixels[i];
    d.inked += b != untouched.pixels[i];
    int m = 0;
    for (auto channel : {Alpha, Red, Green, Blue}) m = std::max(m, std::abs(channel(a) - channel(b)));
    d.max = std::max(d.max, m);
    d.beyond_one += m > 1;
  }
  return d;
}

// Cairo samples 15 rows per pixel row and takes some rows whole; where an
// edge's coverage is worked out with other rounding than Cairo's, a pixel
// may get one sample row more or less: 255 / 15 = 17 levels at most, on a
// few edge pixels. Everywhere else the pictures agree within one level.
TEST(ThinStroke, GivesCairosPixelsWithinOneSampleRow) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    const Difference d = Compare(c);
    EXPECT_GT(d.inked, 100);  // the case does draw
    EXPECT_LE(d.max, 17);
    EXPECT_LT(d.beyond_one * 25, d.inked) << d.beyond_one << " of " << d.inked << " pixels differ by more than a level";
  }
}

// Input at the edges of what a stroke can be: the converter must stay
// inside the surface and its own tables whatever it is given, refuse what
// Cairo's path refuses, and otherwise give Cairo's picture. Each case is
// drawn on surfaces of one pixel, of odd sizes and of a map's size.
struct Drawn {
  std::vector<Status> statuses;
  DeviceContext dc;
};

Drawn DrawOn(int w, int h, bool cairo, const std::function<void(Graphics&, std::vector<Status>&)>& draw) {
  CairoStrokes mode(cairo);
  Drawn d{{}, DeviceContext(w, h)};
  Graphics g(&d.dc);
  g.SetSmoothingMode(SmoothingMode::AntiAlias);
  draw(g, d.statuses);
  return d;
}

int LargestDifference(const DeviceContext& a, const DeviceContext& b) {
  int max = 0;
  for (std::size_t i = 0; i < a.pixels.size(); ++i)
    for (auto channel : {Alpha, Red, Green, Blue}) max = std::max(max, std::abs(channel(a.pixels[i]) - channel(b.pixels[i])));
  return max;
}

struct EdgeCase {
  const char* name;
  std::function<void(Graphics&, std::vector<Status>&)> draw;
};

Pen Dashed(ARGB c, float w, DashStyle style = DashStyle::Dash) {
  Pen p(c, w);
  p.SetDashStyle(style);
  return p;
}

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr float kHuge = std::numeric_limits<float>::max();

const EdgeCase kEdgeCases[] = {
    {"not-a-number and infinite points are refused",
     [](Graphics& g, std::vector<Status>& st) {
       const Pen pen(kWhite, 1.5f);
       st.push_back(g.DrawLine(pen, kNaN, 1.0f, 3.0f, 4.0f));
       st.push_back(g.DrawLine(pen, 1.0f, 1.0f, kInf, 4.0f));
       st.push_back(g.DrawLine(Dashed(kWhite, 1.0f), -kInf, 0.5f, 2.0f, 2.0f));
       const PointF pts[] = {{0.5f, 0.5f}, {kNaN, kNaN}, {3.0f, 1.0f}};
       st.push_back(g.DrawLines(pen, pts, 3));
       st.push_back(g.DrawPolygon(pen, pts, 3));
       st.push_back(g.DrawEllipse(pen, 0.0f, 0.0f, kInf, 3.0f));
       st.push_back(g.DrawArc(pen, 0.0f, 0.0f, 3.0f, 3.0f, kNaN, 90.0f));
     }},
    {"points far off and huge, solid and dashed",
     [](Graphics& g, std::vector<Status>& st) {
       const Pen pen(kGreen, 1.0f);
       st.push_back(g.DrawLine(pen, -1e7f, -3e6f, 1e7f, 3.1e6f));
       st.push_back(g.DrawLine(Dashed(kWhite, 2.0f), -kHuge, -kHuge, kHuge, kHuge));
       st.push_back(g.DrawLine(pen, -131000.0f, 0.7f, 131000.0f, 0.3f));  // just inside the converter's range
       st.push_back(g.DrawLine(Dashed(kMagenta, 1.0f), 0.3f, -131071.0f, 0.9f, 131071.0f));
       const PointF pts[] = {{-130000.0f, 1.5f}, {1.2f, 2.2f}, {130000.0f, -129000.0f}, {0.2f, 130000.0f}};
       st.push_back(g.DrawPolygon(pen, pts, 4));
       st.push_back(g.DrawEllipse(pen, -130000.0f, -130000.0f, 260001.0f, 260003.0f));
       st.push_back(g.DrawEllipse(Dashed(kWhite, 1.0f), -1e7f, -1e7f, 2e7f, 2e7f));
     }},
    {"zero-length segments and repeated points",
     [](Graphics& g, std::vector<Status>& st) {
       const Pen pen(kWhite, 2.0f);
       st.push_back(g.DrawLine(pen, 1.5f, 1.5f, 1.5f, 1.5f));
       st.push_back(g.DrawLine(Dashed(kWhite, 2.0f), 0.3f, 0.3f, 0.3f, 0.3f));
       const PointF same[] = {{2.2f, 0.7f}, {2.2f, 0.7f}, {2.2f, 0.7f}};
       st.push_back(g.DrawLines(pen, same, 3));
       st.push_back(g.DrawPolygon(pen, same, 3));
       const PointF back[] = {{0.2f, 0.3f}, {0.2f, 0.3f}, {4.7f, 3.9f}, {4.7f, 3.9f}, {0.2f, 0.3f}};
       st.push_back(g.DrawLines(pen, back, 5));  // out and straight back
       st.push_back(g.DrawLines(Dashed(kGreen, 1.0f), back, 5));
       st.push_back(g.DrawEllipse(pen, 1.0f, 1.0f, 1e-4f, 1e-4f));
       st.push_back(g.DrawArc(pen, 0.0f, 0.0f, 4.0f, 4.0f, 30.0f, 0.0f));
       st.push_back(g.DrawArc(Dashed(kWhite, 1.0f), 0.0f, 0.0f, 4.0f, 4.0f, 30.0f, 1e-5f));
     }},
    {"dashes shorter than a pixel, longer than the line, ending on a corner",
     [](Graphics& g, std::vector<Status>& st) {
       st.push_back(g.DrawLine(Dashed(kWhite, 1e-3f, DashStyle::Dot), 0.1f, 0.2f, 6.9f, 4.8f));
       st.push_back(g.DrawLine(Dashed(kWhite, 50.0f), 0.5f, 2.5f, 4.5f, 2.0f));
       const PointF corner[] = {{0.0f, 0.5f}, {3.0f, 0.5f}, {3.0f, 6.5f}, {9.0f, 2.0f}};  // dash of 3 ends at the turn
       st.push_back(g.DrawLines(Dashed(kMagenta, 1.0f), corner, 4));
       st.push_back(g.DrawLines(Dashed(kGreen, 0.5f, DashStyle::DashDotDot), corner, 4));
       st.push_back(g.DrawEllipse(Dashed(kWhite, 0.2f, DashStyle::DashDot), 0.5f, 0.5f, 5.0f, 3.0f));
     }},
    {"pens from a hair to wider than the surface",
     [](Graphics& g, std::vector<Status>& st) {
       for (float w : {1e-30f, 0.01f, 1.0f, 7.5f, 300.0f, 1e6f, kHuge}) {
         const Pen pen(Color(0x80FFFFFF), w);
         st.push_back(g.DrawLine(pen, 0.3f, 0.6f, 2.7f, 3.1f));
         st.push_back(g.DrawLine(Dashed(0x80FF00FF, w), 0.7f, 2.6f, 3.7f, 0.1f));
         const PointF v[] = {{0.1f, 0.1f}, {2.9f, 1.3f}, {0.6f, 2.8f}};
         st.push_back(g.DrawLines(pen, v, 3));
         st.push_back(g.DrawEllipse(pen, 0.2f, 0.4f, 2.5f, 1.5f));
       }
     }},
    {"transforms that stretch one way and squash the other",
     [](Graphics& g, std::vector<Status>& st) {
       const Pen pen(kWhite, 1.0f);
       g.ScaleTransform(1e4f, 1e-4f);
       st.push_back(g.DrawLine(pen, 1e-4f, 1e4f, 4e-4f, 2e4f));
       st.push_back(g.DrawLine(pen, 1e-4f, 1e4f, 4e-4f, 1e4f));
       st.push_back(g.DrawEllipse(Dashed(kGreen, 1.0f), 0.0f, 0.0f, 4e-4f, 4e4f));
       g.ResetTransform();
       g.ScaleTransform(1e-6f, 1e-6f);
       st.push_back(g.DrawLine(Dashed(kWhite, 1.0f), 1e5f, 2e5f, 5e6f, 3e6f));
       g.ResetTransform();
       g.RotateTransform(30.0f);
       g.ScaleTransform(3e5f, 0.5f);
       st.push_back(g.DrawLine(pen, 0.0f, 1.0f, 1e-5f, 6.0f));
       const PointF v[] = {{0.0f, 0.0f}, {1e-5f, 4.0f}, {-1e-5f, 8.0f}};
       st.push_back(g.DrawLines(Dashed(kMagenta, 1.0f), v, 3));
     }},
    {"curves closed by a short line, and a ring closed on itself",
     [](Graphics& g, std::vector<Status>& st) {
       const Pen pen(kWhite, 2.0f);
       GraphicsPath nearly_full, half;
       nearly_full.AddArc(2.3f, 1.7f, 24.0f, 13.0f, 10.0f, 357.0f);
       nearly_full.CloseFigure();
       half.AddArc(-3.6f, -2.1f, 14.0f, 11.0f, 200.0f, 180.0f);
       half.CloseFigure();
       st.push_back(g.DrawPath(pen, nearly_full));
       st.push_back(g.DrawPath(pen, half));
       st.push_back(g.DrawEllipse(pen, 3.5f, 0.5f, 20.0f, 9.0f));
     }},
    {"clips along the surface's edges, outside it, and of an odd shape",
     [](Graphics& g, std::vector<Status>& st) {
       const Pen pen(kOlive, 1.7f), dashed = Dashed(kWhite, 1.0f);
       const int w = g.GetDeviceContext()->width, h = g.GetDeviceContext()->height;
       auto lines = [&] {
         st.push_back(g.DrawLine(pen, -3.0f, -2.5f, w + 3.3f, h + 2.1f));
         st.push_back(g.DrawLine(dashed, w + 0.5f, -1.0f, -0.5f, h + 1.0f));
         st.push_back(g.DrawEllipse(pen, -0.5f, -0.5f, w + 1.0f, h + 1.0f));
       };
       for (const Rect& r : {Rect(0, 0, 1, 1), Rect(w - 1, 0, 1, h), Rect(0, h - 1, w, 1), Rect(w, h, 4, 4),
                             Rect(-5, -5, 3, 3), Rect(-2, -2, w + 4, h + 4)}) {
         g.SetClip(r);
         lines();
       }
       GraphicsPath diamond;
       const PointF d[] = {{w / 2.0f, -1.0f}, {w + 1.0f, h / 2.0f}, {w / 2.0f, h + 1.0f}, {-1.0f, h / 2.0f}};
       diamond.AddPolygon(d, 4);
       g.SetClip(diamond);
       lines();
       g.ResetClip();
     }},
};

TEST(ThinStroke, EdgeInputStaysInsideAndMatchesCairo) {
  for (const EdgeCase& c : kEdgeCases) {
    for (auto [w, h] : {std::pair{1, 1}, std::pair{2, 3}, std::pair{7, 5}, std::pair{33, 17}}) {
      SCOPED_TRACE(::testing::Message() << c.name << ", " << w << " x " << h);
      const Drawn ours = DrawOn(w, h, false, c.draw), theirs = DrawOn(w, h, true, c.draw);
      EXPECT_EQ(ours.statuses, theirs.statuses);
      EXPECT_LE(LargestDifference(ours.dc, theirs.dc), 17);
    }
  }
}


// Strokes of every kind the layer takes, placed at random (a fixed seed):
// lines, polylines with repeated points, polygons, ellipses, arcs and
// curves, solid and in every dash style, under rotations, scales and
// clips, on surfaces from one pixel up. Sharp bends, dashed curves and
// wide pens must reach Cairo; the rest may differ by a sample row.
// Painting a run four pixels at a time, its last one to three pixels
// included, gives each pixel what painting it alone gives: seeded random
// coverage (nothing, whole and between) over premultiplied pixels, every
// run length up to 13, opaque and translucent colours, both roundings.
TEST(ThinStroke, PainterRunsPaintAsEachPixelAlone) {
  std::mt19937 rng(5203);
  auto coverage = [&]() -> std::uint8_t {
    const int kind = static_cast<int>(rng() % 4);
    return kind == 0 ? 0 : kind == 1 ? 255 : static_cast<std::uint8_t>(rng());
  };
  for (ARGB colour : {0xFFDEE6E9u, 0xFF00FA00u, 0x80FFFFFFu, 0x4013D5FFu, 0xFF000000u}) {
    for (bool spans : {false, true}) {
      const detail::OverPainter painter(colour, spans);
      for (int n = 1; n <= 13; ++n) {
        for (int round = 0; round < 60; ++round) {
          std::vector<std::uint8_t> cov(static_cast<std::size_t>(n));
          for (auto& c : cov) c = coverage();
          std::vector<std::uint32_t> pixels(static_cast<std::size_t>(n) + 2), alone;
          for (auto& px : pixels) {
            const std::uint32_t a = rng() % 3 == 0 ? 255 : rng() % 256;
            px = a << 24 | (rng() % (a + 1)) << 16 | (rng() % (a + 1)) << 8 | rng() % (a + 1);
          }
          alone = pixels;
          painter.Run(pixels.data() + 1, cov.data(), n);
          for (int i = 0; i < n; ++i) painter.Put(alone[static_cast<std::size_t>(i) + 1], cov[static_cast<std::size_t>(i)]);
          ASSERT_EQ(pixels, alone) << std::hex << colour << std::dec << " spans " << spans << " n " << n;
        }
      }
    }
  }
}

TEST(ThinStroke, RandomStrokesMatchCairo) {
  std::mt19937 rng(20261207);
  std::uniform_real_distribution<float> unit(0.0f, 1.0f);
  for (int n = 0; n < 400; ++n) {
    const int w = 1 + static_cast<int>(rng() % 70), h = 1 + static_cast<int>(rng() % 70);
    const int kind = static_cast<int>(rng() % 6);
    const float width = rng() % 3 == 0 ? unit(rng) * 0.8f : unit(rng) * 6.0f;
    const auto dash = static_cast<DashStyle>(rng() % 5);
    const float scale = rng() % 3 == 0 ? 0.3f + unit(rng) * 3.0f : 1.0f, turn = rng() % 2 ? unit(rng) * 360.0f : 0.0f;
    const bool box_clip = rng() % 4 == 0, round_clip = rng() % 6 == 0, repeat = rng() % 4 == 0;
    const Rect box(static_cast<int>(rng() % (w + 2)) - 1, static_cast<int>(rng() % (h + 2)) - 1,
                   static_cast<int>(rng() % (w + 1)), static_cast<int>(rng() % (h + 1)));
    const float reach = rng() % 3 == 0 ? 3.0f * w : static_cast<float>(w);
    float p[12];
    for (float& v : p) v = (unit(rng) * 1.4f - 0.2f) * reach;
    const float start = unit(rng) * 720 - 360, sweep = unit(rng) * 800 - 400;
    const ARGB colour = rng() % 3 ? 0xFFFFFFFF : 0x80FFFFFF;
    auto draw = [&](Graphics& g, std::vector<Status>& st) {
      if (box_clip) g.SetClip(box);
      if (round_clip) {
        GraphicsPath ring;
        ring.AddEllipse(0.3f, 0.2f, w * 0.9f, h * 0.8f);
        g.SetClip(ring);
      }
      g.TranslateTransform(w / 2.0f, h / 2.0f);
      g.RotateTransform(turn);
      g.ScaleTransform(scale, scale);
      g.TranslateTransform(-w / 2.0f, -h / 2.0f);
      Pen pen(colour, width);
      pen.SetDashStyle(dash);
      PointF v[6];
      for (int i = 0; i < 6; ++i) v[i] = {p[2 * i], p[2 * i + 1]};
      if (repeat) v[2] = v[1];
      const float ex = p[0] / 3, ey = p[1] / 3, ew = std::abs(p[2] - p[0]) / 2 + 0.01f,
                  eh = std::abs(p[3] - p[1]) / 2 + 0.01f;
      switch (kind) {
        case 0: st.push_back(g.DrawLine(pen, v[0], v[1])); break;
        case 1: st.push_back(g.DrawLines(pen, v, 2 + n % 5)); break;
        case 2: st.push_back(g.DrawPolygon(pen, v, 3 + n % 3)); break;
        case 3: st.push_back(g.DrawEllipse(pen, ex, ey, ew, eh)); break;
        case 4: st.push_back(g.DrawArc(pen, ex, ey, ew, eh, start, sweep)); break;
        default: st.push_back(g.DrawCurve(pen, v, 4)); break;
      }
    };
    SCOPED_TRACE(::testing::Message() << "case " << n << ", kind " << kind << ", " << w << " x " << h);
    const Drawn ours = DrawOn(w, h, false, draw), theirs = DrawOn(w, h, true, draw);
    EXPECT_EQ(ours.statuses, theirs.statuses);
    EXPECT_LE(LargestDifference(ours.dc, theirs.dc), 17);
  }
}

}  // namespace
}  // namespace ovi::gfx
