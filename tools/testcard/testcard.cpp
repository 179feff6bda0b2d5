#include "tools/testcard/testcard.h"

#include <cstdio>
#include <string>

#include "platform/gfx/graphics.h"

namespace ovi::gfx {

namespace {

constexpr ARGB kWhite = 0xFFDEE6E9, kMagenta = 0xFFFF13D5, kCyan = 0xFF00E6E9, kGreen = 0xFF00FA00,
               kYellow = 0xFFFFFF00, kBlue = 0xFF02A7EB, kRed = 0xFFC90101, kGrey = 0xFF606060, kAmber = 0xFFE9B73E;

void Label(Graphics& g, const char* text, REAL x, REAL y) {
  Font f("Arial", 10, FontStyleRegular, Unit::Pixel);
  SolidBrush b(kGrey | 0xFFA0A0A0);
  g.DrawString(text, f, PointF(x, y), b);
}

}  // namespace

void DrawTestCard(DeviceContext& dc) {
  Graphics g(&dc);
  g.Clear(Color(0xFF101018));
  g.SetSmoothingMode(SmoothingMode::HighQuality);
  g.SetTextRenderingHint(TextRenderingHint::AntiAlias);

  // Line widths 1..4, solid and the dash styles, aliased and smoothed.
  Label(g, "widths 1-4, dash styles", 10, 4);
  for (int w = 1; w <= 4; ++w) {
    Pen p(kWhite, static_cast<REAL>(w));
    g.DrawLine(p, 10.0f, 20.0f + w * 10, 150.0f, 20.0f + w * 10);
  }
  const DashStyle styles[] = {DashStyle::Dash, DashStyle::Dot, DashStyle::DashDot, DashStyle::DashDotDot};
  for (int i = 0; i < 4; ++i) {
    Pen p(kMagenta, 2);
    p.SetDashStyle(styles[i]);
    g.DrawLine(p, 10.0f, 70.0f + i * 8, 150.0f, 70.0f + i * 8);
  }
  g.SetSmoothingMode(SmoothingMode::None);
  Pen aliased(kGreen, 1);
  g.DrawLineI(aliased, 10, 108, 150, 118);
  g.SetSmoothingMode(SmoothingMode::HighQuality);

  // Arcs from 0, 90, 180 and 270 degrees, each sweeping 60, on a circle and on an ellipse.
  Label(g, "arcs 0/90/180/270 +60", 170, 4);
  const ARGB arc_colours[] = {kRed, kGreen, kBlue, kYellow};
  Pen thin(kGrey, 1);
  g.DrawEllipse(thin, 175.0f, 20.0f, 90.0f, 90.0f);
  g.DrawEllipse(thin, 275.0f, 35.0f, 110.0f, 60.0f);
  for (int i = 0; i < 4; ++i) {
    Pen p(Color(arc_colours[i]), 3);
    g.DrawArc(p, 175.0f, 20.0f, 90.0f, 90.0f, i * 90.0f, 60.0f);
    g.DrawArc(p, 275.0f, 35.0f, 110.0f, 60.0f, i * 90.0f, 60.0f);
  }
  SolidBrush pie(0x8000E6E9);
  g.FillPie(pie, 400.0f, 20.0f, 90.0f, 90.0f, -90.0f, 135.0f);
  Pen pie_pen(kCyan, 1);
  g.DrawPie(pie_pen, 400.0f, 20.0f, 90.0f, 90.0f, -90.0f, 135.0f);
  g.DrawPie(pie_pen, 505.0f, 20.0f, 120.0f, 90.0f, 200.0f, -100.0f);

  // Rotated text about a centre, transforms in prepend order.
  Label(g, "rotated text (prepend order)", 10, 130);
  {
    Font f("Arial", 12, FontStyleBold, Unit::Pixel);
    SolidBrush b(kWhite);
    Pen tick(kWhite, 2);
    for (int a = 0; a < 360; a += 30) {
      g.ResetTransform();
      g.TranslateTransform(80, 230);
      g.RotateTransform(static_cast<REAL>(a));
      g.DrawLine(tick, 0.0f, -80.0f, 0.0f, -70.0f);
      g.DrawString(std::to_string(a / 10), f, PointF(-7, -66), b);
    }
    g.ResetTransform();
  }

  // Clipping: a circle path clips stripes; a rectangle intersected with it.
  Label(g, "clip by path, then intersect", 180, 130);
  {
    GraphicsPath circle;
    circle.AddEllipse(190, 150, 140, 140);
    g.SetClip(circle);
    g.SetClip(RectF(200, 140, 200, 120), CombineMode::Intersect);
    for (int i = 0; i < 14; ++i) {
      SolidBrush b(Color(i % 2 ? kAmber : kBlue));
      g.FillRectangle(b, 180.0f + i * 12, 140.0f, 12.0f, 170.0f);
    }
    g.ResetClip();
    Pen outline(kGrey, 1);
    g.DrawEllipse(outline, 190.0f, 150.0f, 140.0f, 140.0f);
  }

  // Fill modes: a pentagram filled alternate and winding.
  Label(g, "alternate / winding", 350, 130);
  {
    const PointF star[] = {{50, 0}, {79, 90}, {2, 35}, {98, 35}, {21, 90}};
    for (int m = 0; m < 2; ++m) {
      PointF pts[5];
      for (int i = 0; i < 5; ++i) pts[i] = PointF(star[i].X + 350 + m * 120, star[i].Y + 150);
      SolidBrush b(kGreen);
      g.FillPolygon(b, pts, 5, m == 0 ? FillMode::Alternate : FillMode::Winding);
      Pen p(kWhite, 1);
      g.DrawPolygon(p, pts, 5);
    }
  }

  // Paths: arcs joined by lines (a clip-like outline), a curve, an arrow cap.
  Label(g, "path, curve, arrow cap", 10, 330);
  {
    GraphicsPath path;
    path.AddArc(20.0f, 350.0f, 120.0f, 120.0f, 225.0f, 89.0f);
    path.AddLine(150.0f, 380.0f, 150.0f, 470.0f);
    path.AddLine(150.0f, 470.0f, 20.0f, 470.0f);
    path.CloseFigure();
    SolidBrush fill(0xFF203040);
    g.FillPath(fill, path);
    Pen p(kCyan, 2);
    g.DrawPath(p, path);
    const PointF curve[] = {{170, 460}, {190, 400}, {230, 380}, {270, 400}, {290, 460}};
    Pen cp(kYellow, 2);
    g.DrawCurve(cp, curve, 5);
    Pen arrow(kBlue, 3);
    AdjustableArrowCap cap(3, 3, true);
    arrow.SetCustomEndCap(cap);
    g.DrawLine(arrow, 180.0f, 350.0f, 280.0f, 350.0f);
    Pen rp(kWhite, 1);
    g.DrawRectangle(rp, 300.0f, 350.0f, 40.0f, 30.0f);
    SolidBrush rb(kMagenta);
    g.FillRectangleI(rb, 305, 355, 30, 20);
    g.FillEllipse(rb, 300.0f, 390.0f, 40.0f, 20.0f);
  }

  // The fonts the gauges ask for, each with its box measured.
  Label(g, "fonts", 360, 270);
  {
    const char* families[] = {"Arial", "Courier New", "Tahoma", "DA Rered", "No Such Face"};
    SolidBrush b(kWhite);
    Pen box(kGrey, 1);
    for (int i = 0; i < 5; ++i) {
      Font f(families[i], 15, i % 2 ? FontStyleBold : FontStyleRegular, Unit::Pixel);
      std::string text = std::string(families[i]) + " 0123 HDG\xB0";
      PointF at(360, 290.0f + i * 24);
      RectF r;
      g.MeasureString(text, f, at, nullptr, &r);
      g.DrawRectangle(box, r);
      g.DrawString(text, f, at, b);
    }
    StringFormat centred;
    centred.SetAlignment(StringAlignment::Center);
    centred.SetLineAlignment(StringAlignment::Center);
    Font f("Arial", 12, FontStyleRegular, Unit::Pixel);
    Pen box2(kAmber, 1);
    g.DrawRectangle(box2, 360.0f, 415.0f, 260.0f, 55.0f);
    g.DrawString("centred in a box, wrapped at its width when too long for one line", f,
                 RectF(360, 415, 260, 55), &centred, b);
  }
}

}  // namespace ovi::gfx
