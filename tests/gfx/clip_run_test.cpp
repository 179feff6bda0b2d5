// Clips whose edge is not a plain rectangle: the drawing under them is paid
// for once, and must give the pixels the clip selects from the unclipped
// drawing, with the same edge as the former per-operation clip mask.
#include <gtest/gtest.h>

#include <cstdint>

#include "platform/gfx/graphics.h"
#include "platform/gfx/image_io.h"
#include "tests/gfx/pixels.h"
#include "tools/bench/busy_frame.h"

namespace ovi::gfx {
namespace {

using testing::Px;

constexpr ARGB kBlack = 0xFF000000, kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kWhite = 0xFFFFFFFF;

// Restores the default way of clipping even when a test fails half-way.
struct FormerClip {
  explicit FormerClip(bool on) { detail::UseClipPerOperation(on); }
  ~FormerClip() { detail::UseClipPerOperation(false); }
};

struct ClipCase {
  const char* name;
  PixelOffsetMode offset;
  void (*set)(Graphics&);
};

void Ellipse(Graphics& g) {
  GraphicsPath p;
  p.AddEllipse(-40.3f, -30.7f, 80.6f, 61.4f);
  g.SetClip(p);
}
void RotatedSquareCutByARectangle(Graphics& g) {
  g.RotateTransform(30);
  g.SetClip(RectF(-35, -35, 70, 70));
  g.ResetTransform();
  g.TranslateTransform(50, 50);
  g.SetClip(RectF(-50, -20, 100, 45), CombineMode::Intersect);
}
void StarWinding(Graphics& g) {
  // A five-point star drawn in one stroke: its centre is covered twice, so
  // winding keeps it and alternate leaves a hole.
  const PointF star[] = {PointF(0, -45), PointF(26, 36), PointF(-42, -14), PointF(42, -14), PointF(-26, 36)};
  GraphicsPath p(FillMode::Winding);
  p.AddPolygon(star, 5);
  g.SetClip(p);
}
void StarAlternate(Graphics& g) {
  const PointF star[] = {PointF(0, -45), PointF(26, 36), PointF(-42, -14), PointF(42, -14), PointF(-26, 36)};
  GraphicsPath p;
  p.AddPolygon(star, 5);
  g.SetClip(p);
}
void DiscsAsARegion(Graphics& g) {
  GraphicsPath a, b;
  a.AddEllipse(-45, -30, 60, 60);
  b.AddEllipse(-15, -30, 60, 60);
  Region r(a);
  r.Intersect(b);
  g.SetClip(r);
}

void EllipseLessBoxes(Graphics& g) {
  Ellipse(g);
  g.SetClip(RectF(-10, -50, 20, 30), CombineMode::Exclude);  // across the top edge
  g.RotateTransform(20);
  g.SetClip(RectF(5, 5, 15, 10), CombineMode::Exclude);
}
// A clip put back as it stood, after another replaced it.
void EllipsePutBack(Graphics& g) {
  EllipseLessBoxes(g);
  const ClipState kept = g.GetClipState();
  g.ResetTransform();
  g.SetClip(RectF(0, 0, 10, 10));
  g.SetClipState(kept);
}
void BoxesOutOfNoClip(Graphics& g) { g.SetClip(RectF(-20, -20, 40, 25), CombineMode::Exclude); }

const ClipCase kClips[] = {
    {"ellipse less two boxes", PixelOffsetMode::Default, EllipseLessBoxes},
    {"put back", PixelOffsetMode::Default, EllipsePutBack},
    {"boxes out of no clip", PixelOffsetMode::Half, BoxesOutOfNoClip},
    {"ellipse", PixelOffsetMode::Default, Ellipse},
    {"ellipse, half-pixel offset", PixelOffsetMode::Half, Ellipse},
    {"rotated square cut by a rectangle", PixelOffsetMode::Default, RotatedSquareCutByARectangle},
    {"star, winding", PixelOffsetMode::HighQuality, StarWinding},
    {"star, alternate", PixelOffsetMode::Default, StarAlternate},
    {"two discs as a region", PixelOffsetMode::Default, DiscsAsARegion},
};

// White cleared through the clip onto black: the pixels the clip lets through.
DeviceContext ClipPixels(const ClipCase& c, bool former) {
  FormerClip mode(former);
  DeviceContext dc(100, 100);
  Graphics g(&dc);
  g.SetPixelOffsetMode(c.offset);
  g.TranslateTransform(50, 50);
  c.set(g);
  g.Clear(Color(kWhite));
  return dc;
}

TEST(ClipRun, LetsThroughTheSamePixelsAsTheFormerMask) {
  for (const ClipCase& c : kClips) {
    SCOPED_TRACE(c.name);
    DeviceContext now = ClipPixels(c, false), before = ClipPixels(c, true);
    int inside = 0;
    for (std::size_t i = 0; i < now.pixels.size(); ++i) inside += now.pixels[i] == kWhite;
    EXPECT_GT(inside, 500);    // the shape is really there ...
    EXPECT_LT(inside, 10000);  // ... and does not cover the surface
    EXPECT_TRUE(now.pixels == before.pixels);
  }
  // The boxes cut out of the ellipse, put back as they stood.
  const DeviceContext cut = ClipPixels(kClips[0], false), back = ClipPixels(kClips[1], false);
  EXPECT_EQ(Px(cut, 50, 20), kBlack);
  EXPECT_EQ(Px(cut, 50, 40), kWhite);
  EXPECT_TRUE(cut.pixels == back.pixels);
}

TEST(ClipRun, WindingAndAlternateDifferOnlyInTheStarsCentre) {
  DeviceContext winding = ClipPixels(kClips[6], false), alternate = ClipPixels(kClips[7], false);
  EXPECT_EQ(Px(winding, 50, 52), kWhite);
  EXPECT_EQ(Px(alternate, 50, 52), kBlack);
  EXPECT_EQ(Px(winding, 50, 12), kWhite);  // a tip is covered once: in both
  EXPECT_EQ(Px(alternate, 50, 12), kWhite);
}

// The busy map frame under its clip circle is, pixel for pixel, the frame
// drawn without a clip where the clip lets through, and the cleared
// background elsewhere. The clip's pixels come from the former way of
// clipping, so the edge is the one the gauges had.
TEST(ClipRun, BusyFrameIsTheUnclippedFrameCutAtTheFormerEdge) {
  using bench::kFrameSize;
  DeviceContext edge(kFrameSize, kFrameSize);
  {
    FormerClip mode(true);
    Graphics g(&edge);
    g.TranslateTransform(kFrameSize / 2.0f, kFrameSize / 2.0f);
    GraphicsPath clip;
    clip.AddEllipse(-bench::kClipRadius, -bench::kClipRadius, 2 * bench::kClipRadius, 2 * bench::kClipRadius);
    g.SetClip(clip);
    g.Clear(Color(kWhite));
  }
  DeviceContext clipped(kFrameSize, kFrameSize), open(kFrameSize, kFrameSize);
  bench::DrawBusyFrame(clipped, bench::BusyFrame());
  bench::DrawBusyFrame(open, bench::BusyFrame(), bench::kAllParts, /*clipped=*/false);
  int wrong = 0, inside = 0, inked_outside_edge = 0;
  for (std::size_t i = 0; i < clipped.pixels.size(); ++i) {
    bool in = edge.pixels[i] == kWhite;
    inside += in;
    inked_outside_edge += !in && open.pixels[i] != kBlack;
    wrong += clipped.pixels[i] != (in ? open.pixels[i] : kBlack);
  }
  EXPECT_EQ(wrong, 0);
  EXPECT_GT(inked_outside_edge, 1000);  // the frame does reach past the circle
  // pi * 240^2 pixels, give or take the rim.
  EXPECT_NEAR(inside, 180956, 1000);
}

// A seeded scene of what the layer paints from kept coverage and glyph
// images (rings, legs, dashes, labels) mixed with what Cairo draws (fills,
// arrowed legs), crossing the clip's edge everywhere.
void DrawSeededScene(Graphics& g, std::uint32_t seed) {
  auto rnd = [&](float lo, float hi) {
    seed = seed * 1664525u + 1013904223u;
    return lo + (hi - lo) * static_cast<float>(seed >> 8) / static_cast<float>(1u << 24);
  };
  const ARGB colours[] = {kRed, kGreen, kWhite, 0x80FFFF00, 0xFF02A7EB};
  auto colour = [&] { return colours[static_cast<int>(rnd(0, 4.99f))]; };
  g.SetSmoothingMode(SmoothingMode::HighQuality);
  g.SetTextRenderingHint(TextRenderingHint::AntiAlias);
  for (int i = 0; i < 120; ++i) {
    Pen pen(colour(), rnd(0, 1) < 0.5f ? 1.0f : 2.0f);
    const float x = rnd(-5, 105), y = rnd(-5, 105);
    switch (i % 6) {
      case 0: g.DrawEllipse(pen, x, y, rnd(3, 30), rnd(3, 30)); break;
      case 1: g.DrawLine(pen, x, y, x + rnd(-40, 40), y + rnd(-40, 40)); break;
      case 2:
        pen.SetDashStyle(DashStyle::Dash);
        g.DrawLine(pen, x, y, x + rnd(-60, 60), y + rnd(-60, 60));
        break;
      case 3: {
        SolidBrush b(colour());
        g.DrawString(i % 4 == 3 ? "KSEA" : "10", Font("Arial", rnd(8, 16), FontStyleBold, Unit::Pixel),
                     PointF(x - 10, y - 6), b);
        break;
      }
      case 4: {
        SolidBrush b(colour());
        g.FillPolygon(b, std::span<const PointF>({PointF(x, y), PointF(x + 9, y + 4), PointF(x + 2, y + 11)}));
        break;
      }
      default: {
        const PointF pts[] = {PointF(x, y), PointF(x + 6, y - 8), PointF(x + 14, y - 3), PointF(x + 9, y + 7)};
        g.DrawPolygon(pen, pts, 4);
        if (i % 12 == 5) {
          Pen arrowed(colour(), 2);
          arrowed.SetCustomEndCap(AdjustableArrowCap(4, 4));
          g.DrawLine(arrowed, x, y, x - 20, y + 15);
        }
      }
    }
  }
}

TEST(ClipRun, KeptShapesAndLabelsArePaintedOnlyWhereTheClipLetsThrough) {
  // Clips with rows of one inside run and rows of several; each scene drawn
  // twice, so that it is rasterised and kept first, then painted from the
  // stores. Every time: the unclipped scene where the clip lets through and
  // the background elsewhere.
  for (const ClipCase& c : kClips) {
    SCOPED_TRACE(c.name);
    const DeviceContext edge = ClipPixels(c, false);
    for (std::uint32_t seed : {7u, 2024u}) {
      for (int pass = 0; pass < 2; ++pass) {
        SCOPED_TRACE(::testing::Message() << "seed " << seed << " pass " << pass);
        DeviceContext clipped(100, 100), open(100, 100);
        {
          Graphics g(&clipped);
          g.SetPixelOffsetMode(c.offset);
          g.TranslateTransform(50, 50);
          c.set(g);
          g.ResetTransform();
          DrawSeededScene(g, seed);
        }
        {
          Graphics g(&open);
          g.SetPixelOffsetMode(c.offset);
          DrawSeededScene(g, seed);
        }
        int wrong = 0, differs_outside = 0;
        for (std::size_t i = 0; i < clipped.pixels.size(); ++i) {
          const bool in = edge.pixels[i] == kWhite;
          wrong += clipped.pixels[i] != (in ? open.pixels[i] : kBlack);
          differs_outside += !in && open.pixels[i] != kBlack;
        }
        EXPECT_EQ(wrong, 0);
        EXPECT_GT(differs_outside, 300);  // the scene does cross the edge
      }
    }
  }
}

// Three shapes across the whole surface under an elliptic clip.
void DrawAcross(Graphics& g) {
  Pen pen(kRed, 3);
  g.DrawLine(pen, 0, 0, 100, 100);
  SolidBrush green(kGreen);
  g.FillPolygon(green, std::span<const PointF>({PointF(0, 100), PointF(100, 90), PointF(100, 100)}));
  g.DrawString("MMMMMMMMMM", Font("Arial", 20, FontStyleBold, Unit::Pixel), PointF(-5, 62), green);
}

TEST(ClipRun, ChangingOrEndingTheClipKeepsWhatWasDrawnOutsideBefore) {
  // A corner drawn before the clip, a clip, drawing across; then in turn a
  // reset, a replacing clip and the end of the Graphics: the corner stays.
  for (int how = 0; how < 3; ++how) {
    SCOPED_TRACE(how);
    DeviceContext dc(100, 100);
    {
      Graphics g(&dc);
      SolidBrush white(kWhite);
      g.FillRectangleI(white, 0, 0, 10, 10);
      g.TranslateTransform(50, 50);
      Ellipse(g);
      g.ResetTransform();
      DrawAcross(g);
      SolidBrush red(kRed);
      if (how == 0) {
        g.ResetClip();
        g.FillRectangleI(red, 95, 0, 5, 5);  // unclipped again
      } else if (how == 1) {
        g.SetClip(RectF(90, 0, 10, 10));
        g.FillRectangleI(red, 0, 0, 100, 100);
      }
    }
    EXPECT_EQ(Px(dc, 2, 2), kWhite);
    EXPECT_EQ(Px(dc, 5, 5), kWhite);      // under the line, outside the clip
    EXPECT_EQ(Px(dc, 95, 95), kBlack);    // line and polygon corner, outside
    EXPECT_EQ(Px(dc, 50, 50), kRed);      // the line's middle, inside
    EXPECT_EQ(Px(dc, 97, 2), how < 2 ? kRed : kBlack);
  }
}

TEST(ClipRun, AnotherGraphicsOnTheSamePixelsKeepsItsDrawing) {
  // A layer drawn by a Graphics of its own while the page's Graphics holds a
  // clip: the layer's pixels outside the page's clip survive the page.
  DeviceContext dc(100, 100);
  {
    Graphics page(&dc);
    page.TranslateTransform(50, 50);
    Ellipse(page);
    page.ResetTransform();
    DrawAcross(page);
    {
      Graphics layer(&dc);
      SolidBrush white(kWhite);
      layer.FillRectangleI(white, 0, 0, 10, 10);
    }
    Pen pen(kRed, 3);
    page.DrawLine(pen, 100, 0, 0, 100);  // the page draws again, still clipped
    {
      Graphics late(&dc);  // and another starts while the page's run is on
      SolidBrush white(kWhite);
      late.FillRectangleI(white, 90, 0, 10, 10);
    }
  }
  EXPECT_EQ(Px(dc, 2, 2), kWhite);
  EXPECT_EQ(Px(dc, 5, 5), kWhite);
  EXPECT_EQ(Px(dc, 95, 5), kWhite);
  EXPECT_EQ(Px(dc, 5, 95), kBlack);  // the page's second line, outside its clip
  EXPECT_EQ(Px(dc, 50, 50), kRed);
}

TEST(ClipRun, ReadersOfThePixelsSeeTheClippedPicture) {
  // Copies taken while the clipped Graphics is still open.
  DeviceContext dc(100, 100), target(100, 100);
  Graphics g(&dc);
  g.TranslateTransform(50, 50);
  Ellipse(g);
  g.ResetTransform();
  DrawAcross(g);
  Blit(dc, target, 0, 0);
  EXPECT_EQ(Px(target, 5, 5), kBlack);
  EXPECT_EQ(Px(target, 50, 50), kRed);
  Bitmap copy(dc);
  DeviceContext drawn(100, 100);
  {
    Graphics g2(&drawn);
    g2.DrawImage(copy, 0, 0);
  }
  EXPECT_EQ(Px(drawn, 5, 5), kBlack);
  EXPECT_EQ(Px(drawn, 50, 50), kRed);
  // The open Graphics goes on drawing under its clip.
  Pen pen(kWhite, 3);
  g.DrawLine(pen, 0, 100, 100, 0);
  Blit(dc, target, 0, 0);
  EXPECT_EQ(Px(target, 50, 50), kWhite);
  EXPECT_EQ(Px(target, 95, 5), kBlack);
}

}  // namespace
}  // namespace ovi::gfx
