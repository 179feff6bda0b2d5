// The recording backend: device coordinates after the world transform, and
// the helpers instrument tests use.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "platform/gfx/graphics.h"

namespace ovi::gfx {
namespace {

constexpr ARGB kWhite = 0xFFDEE6E9, kMagenta = 0xFFFF13D5, kGreen = 0xFF00FA00;

struct Recording {
  DeviceContext dc{200, 200};
  Recorder rec;
  Recording() { dc.recorder = &rec; }
};

TEST(Recorder, PrependedTransformsCompose) {
  Recording r;
  {
    Graphics g(&r.dc);
    g.ScaleTransform(2, 3);
    g.TranslateTransform(10, 20);  // applied to points before the scale
    Pen p(kWhite, 1.5f);
    g.DrawLine(p, 1.0f, 1.0f, 2.0f, 2.0f);
  }
  ASSERT_EQ(r.rec.Size(), 1u);
  const RecordedOp& op = r.rec.Ops()[0];
  EXPECT_EQ(op.kind, OpKind::Line);
  EXPECT_FLOAT_EQ(op.points[0].X, 22);
  EXPECT_FLOAT_EQ(op.points[0].Y, 63);
  EXPECT_FLOAT_EQ(op.points[1].X, 24);
  EXPECT_FLOAT_EQ(op.points[1].Y, 66);
  EXPECT_FLOAT_EQ(op.pen_width, 1.5f);
  EXPECT_NEAR(op.device_pen_width, 1.5 * std::sqrt(6.0), 1e-5);
  EXPECT_EQ(op.color, kWhite);
  EXPECT_FALSE(op.filled);
}

TEST(Recorder, RotationAboutACentreAndAppendOrder) {
  Recording r;
  {
    Graphics g(&r.dc);
    g.TranslateTransform(100, 100);
    g.RotateTransform(30);
    Pen p(kMagenta, 2);
    p.SetDashStyle(DashStyle::Dash);
    g.DrawLine(p, 0.0f, -80.0f, 0.0f, -60.0f);  // a tick at 30 degrees right of up
    g.ResetTransform();
    g.RotateTransform(90);
    g.TranslateTransform(100, 0, MatrixOrder::Append);  // rotate first, then move
    g.DrawLine(p, 10.0f, 0.0f, 20.0f, 0.0f);
  }
  auto lines = r.rec.Find(OpKind::Line);
  ASSERT_EQ(lines.size(), 2u);
  double s = std::sin(30 * M_PI / 180), c = std::cos(30 * M_PI / 180);
  EXPECT_NEAR(lines[0]->points[0].X, 100 + 80 * s, 1e-4);
  EXPECT_NEAR(lines[0]->points[0].Y, 100 - 80 * c, 1e-4);
  EXPECT_EQ(lines[0]->dash, DashStyle::Dash);
  EXPECT_NEAR(lines[1]->points[0].X, 100, 1e-4);
  EXPECT_NEAR(lines[1]->points[0].Y, 10, 1e-4);
  EXPECT_NEAR(lines[1]->points[1].Y, 20, 1e-4);
}

TEST(Recorder, GetAndSetTransformRoundTrip) {
  Recording r;
  Graphics g(&r.dc);
  g.TranslateTransform(5, 6);
  g.RotateTransform(45);
  Matrix m;
  ASSERT_EQ(g.GetTransform(&m), Ok);
  g.ResetTransform();
  ASSERT_EQ(g.SetTransform(m), Ok);
  Pen p(kWhite, 1);
  g.DrawLine(p, 10.0f, 0.0f, 10.0f, 0.0f);
  const RecordedOp& op = r.rec.Ops().back();
  EXPECT_NEAR(op.points[0].X, 5 + 10 / std::sqrt(2.0), 1e-4);
  EXPECT_NEAR(op.points[0].Y, 6 + 10 / std::sqrt(2.0), 1e-4);
  REAL e[6];
  m.GetElements(e);
  for (int i = 0; i < 6; ++i) EXPECT_FLOAT_EQ(op.matrix[i], e[i]);
  // Invert undoes it.
  Matrix inv = m;
  ASSERT_EQ(inv.Invert(), Ok);
  PointF pt(op.points[0].X, op.points[0].Y);
  inv.TransformPoints(&pt, 1);
  EXPECT_NEAR(pt.X, 10, 1e-4);
  EXPECT_NEAR(pt.Y, 0, 1e-4);
}

TEST(Recorder, TextIsFoundWithPlaceColourAndFont) {
  Recording r;
  {
    Graphics g(&r.dc);
    g.ScaleTransform(2, 2);
    Font f("Arial", 12, FontStyleBold, Unit::Pixel);
    SolidBrush green(kGreen), white(kWhite);
    g.DrawString("LNAV", f, PointF(10, 20), green);
    g.TranslateTransform(50, 50);
    g.RotateTransform(90);
    g.DrawString("HDG\xB0", f, PointF(10, 0), white);  // degree sign from the 8-bit code page
    g.DrawString("LNAV", f, PointF(0, 0), white);
  }
  Recorder::TextItem t;
  ASSERT_TRUE(r.rec.FindText("LNAV", &t));
  EXPECT_FLOAT_EQ(t.x, 20);
  EXPECT_FLOAT_EQ(t.y, 40);
  EXPECT_EQ(t.color, kGreen);
  EXPECT_EQ(t.font_family, "Arial");
  EXPECT_FLOAT_EQ(t.font_size, 12);
  EXPECT_EQ(t.font_style, FontStyleBold);
  ASSERT_TRUE(r.rec.FindText("HDG\u00B0", &t));
  EXPECT_NEAR(t.x, 100, 1e-4);  // (50 + 0) * 2
  EXPECT_NEAR(t.y, 120, 1e-4);  // (50 + 10) * 2
  EXPECT_EQ(r.rec.CountText("LNAV"), 2);
  EXPECT_TRUE(r.rec.FindTextContaining("HDG"));
  EXPECT_FALSE(r.rec.FindText("VNAV"));
  auto texts = r.rec.Find(OpKind::Text);
  EXPECT_NEAR(texts[0]->font_device_size, 24, 1e-4);
}

TEST(Recorder, CountsShapesByKindColourAndFill) {
  Recording r;
  {
    Graphics g(&r.dc);
    Pen white(kWhite, 1), magenta(kMagenta, 2);
    SolidBrush green(kGreen);
    const PointF tri[] = {{0, 0}, {10, 0}, {5, 8}};
    g.DrawPolygon(white, tri, 3);
    g.DrawPolygon(magenta, tri, 3);
    g.FillPolygon(green, tri, 3);
    g.DrawEllipseI(white, 10, 10, 5, 5);
    g.FillRectangleI(green, 0, 0, 4, 4);
    g.DrawPie(white, 0.0f, 0.0f, 20.0f, 20.0f, 0.0f, 45.0f);
  }
  EXPECT_EQ(r.rec.Count(OpKind::Polygon), 3);
  EXPECT_EQ(r.rec.Count(OpKind::Polygon, kWhite), 1);
  EXPECT_EQ(r.rec.Count(OpKind::Polygon, kGreen, 1), 1);
  EXPECT_EQ(r.rec.Count(OpKind::Polygon, kGreen, 0), 0);
  EXPECT_EQ(r.rec.Count(OpKind::Ellipse, kWhite), 1);
  EXPECT_EQ(r.rec.Count(OpKind::Rectangle, kGreen, 1), 1);
  auto pies = r.rec.Find(OpKind::Pie);
  ASSERT_EQ(pies.size(), 1u);
  EXPECT_FLOAT_EQ(pies[0]->start_angle, 0);
  EXPECT_FLOAT_EQ(pies[0]->sweep_angle, 45);
  EXPECT_FLOAT_EQ(pies[0]->points[2].X, 10);  // centre
  auto ell = r.rec.Find(OpKind::Ellipse);
  EXPECT_FLOAT_EQ(ell[0]->points[0].X, 12.5f);
  // Pen width is part of the bounds.
  EXPECT_FLOAT_EQ(ell[0]->bounds.X, 9.5f);
  EXPECT_FLOAT_EQ(ell[0]->bounds.Width, 6.0f);
}

TEST(Recorder, VisibilityFollowsTheSurfaceAndTheClip) {
  Recording r;
  {
    Graphics g(&r.dc);
    Pen p(kWhite, 1);
    g.SetClip(RectF(0, 0, 50, 50));
    g.DrawLineI(p, 10, 10, 20, 20);    // inside
    g.DrawLineI(p, 80, 80, 90, 90);    // outside the clip
    g.ResetClip();
    g.DrawLineI(p, 80, 80, 90, 90);    // inside once the clip is gone
    g.DrawLineI(p, 300, 10, 400, 10);  // off the surface
    Font f("Arial", 10, FontStyleRegular, Unit::Pixel);
    SolidBrush b(kWhite);
    g.DrawString("OFF", f, PointF(-100, -100), b);
  }
  auto lines = r.rec.Find(OpKind::Line);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_TRUE(lines[0]->visible);
  EXPECT_FALSE(lines[1]->visible);
  EXPECT_TRUE(lines[2]->visible);
  EXPECT_FALSE(lines[3]->visible);
  Recorder::TextItem t;
  ASSERT_TRUE(r.rec.FindText("OFF", &t));
  EXPECT_FALSE(t.visible);
  auto clips = r.rec.Find(OpKind::Clip);
  ASSERT_EQ(clips.size(), 1u);
  EXPECT_FLOAT_EQ(clips[0]->bounds.Width, 50);
  EXPECT_EQ(r.rec.Count(OpKind::ResetClip), 1);
}

// Each text's ink, and how much of it its clip lets show: the clip's own
// pixels (a disc's edge, a box cut out of it), the surface's edge, the
// text's clipping layout box; a watcher is told of the texts that show.
TEST(Recorder, ATextsInkAndHowMuchOfItShows) {
  struct Watcher final : TextWatcher {
    std::vector<RectF> told;
    void TextDrawn(const Graphics&, const RectF& ink) override { told.push_back(ink); }
  } watcher;
  Recording r;
  RectF layout, ink;
  {
    Graphics g(&r.dc);
    g.SetTextWatcher(&watcher);
    const Font f("Arial", 20, FontStyleBold, Unit::Pixel);
    const SolidBrush b(kWhite);
    ASSERT_EQ(g.MeasureStringInk("OLM", f, PointF(10, 10), nullptr, &layout, &ink), Ok);
    GraphicsPath disc;
    disc.AddEllipse(0, 0, 150, 150);
    g.SetClip(disc);
    g.SetClip(RectF(60, 60, 50, 40), CombineMode::Exclude);
    g.DrawString("OLM", f, PointF(60, 30), b);   // within the disc
    g.DrawString("SEA", f, PointF(120, 60), b);  // across its edge
    g.DrawString("KEY", f, PointF(62, 62), b);   // in the box cut out
    g.DrawString("ELN", f, PointF(40, 70), b);   // half in the box
    g.DrawString("FAR", f, PointF(160, 160), b);  // beyond the disc's bounds
    g.ResetClip();
    g.DrawString("EDGE", f, PointF(180, 10), b);  // across the surface's edge
    StringFormat keep;
    g.DrawString("LONGER", f, RectF(10, 150, 30, 30), &keep, b);  // cut by its own box
  }
  // The ink lies inside the layout box, a cap's height above the baseline.
  EXPECT_GT(ink.X, layout.X);
  EXPECT_LT(ink.X + ink.Width, layout.X + layout.Width);
  EXPECT_NEAR(ink.Y + ink.Height, 10 + 20 * 0.905, 0.6);
  EXPECT_NEAR(ink.Height, 20 * 0.716, 0.8);
  const struct {
    const char* text;
    Shown shown;
  } cases[] = {{"OLM", Shown::kWhole}, {"SEA", Shown::kPart},  {"KEY", Shown::kHidden},
               {"ELN", Shown::kPart},  {"EDGE", Shown::kPart}, {"LONGER", Shown::kPart},
               {"FAR", Shown::kHidden}};
  for (const auto& c : cases) {
    Recorder::TextItem t;
    ASSERT_TRUE(r.rec.FindText(c.text, &t)) << c.text;
    EXPECT_EQ(t.shown, c.shown) << c.text;
    EXPECT_EQ(t.visible, c.shown != Shown::kHidden) << c.text;
  }
  Recorder::TextItem olm;
  r.rec.FindText("OLM", &olm);
  EXPECT_NEAR(olm.ink.X, ink.X + 50, 1e-3);
  // All but the one beyond the clip's bounds: the watcher is not told
  // where the clip's pixels hide a text within them ("KEY").
  EXPECT_EQ(watcher.told.size(), 6u);
}

TEST(Recorder, RecordsAndStillRasterises) {
  Recording r;
  {
    Graphics g(&r.dc);
    SolidBrush b(kGreen);
    g.FillRectangleI(b, 0, 0, 10, 10);
  }
  EXPECT_EQ(r.dc.pixels[5 * 200 + 5], kGreen);
  EXPECT_EQ(r.rec.Count(OpKind::Rectangle, kGreen, 1), 1);
  r.rec.Clear();
  EXPECT_EQ(r.rec.Size(), 0u);
}

}  // namespace
}  // namespace ovi::gfx
