#include "tools/bench/busy_frame.h"

#include <cstdint>

namespace ovi::gfx::bench {

namespace {

constexpr ARGB kPalette[] = {0xFFDEE6E9, 0xFFFF13D5, 0xFF00E6E9, 0xFF00FA00, 0xFFC0C0C0, 0xFFFFFF00, 0xFF02A7EB};

Frame MakeFrame() {
  Frame f;
  std::uint32_t seed = 12345;
  auto rnd = [&](float lo, float hi) {
    seed = seed * 1664525u + 1013904223u;
    return lo + (hi - lo) * static_cast<float>(seed >> 8) / static_cast<float>(1u << 24);
  };
  auto colour = [&] { return kPalette[static_cast<int>(rnd(0, 6.99f))]; };
  for (int i = 0; i < 300; ++i) {
    float x = rnd(-240, 240), y = rnd(-240, 240);
    f.lines.push_back({x, y, x + rnd(-60, 60), y + rnd(-60, 60), rnd(0, 1) < 0.5f ? 1.0f : 2.0f, colour(), i % 10 == 0});
  }
  for (int i = 0; i < 60; ++i) {
    f.arcs.push_back({rnd(-220, 200), rnd(-220, 200), rnd(8, 120), rnd(0, 360), rnd(30, 180), 2.0f, colour(), i % 2 == 0});
  }
  for (int i = 0; i < 100; ++i) {
    float x = rnd(-230, 230), y = rnd(-230, 230);
    f.polys.push_back({{PointF(x, y), PointF(x + 4, y + 4), PointF(x, y + 8), PointF(x - 4, y + 4)}, colour()});
  }
  const char* words[] = {"KSEA", "SEA", "BTG", "ELN", "HQM", "10", "20", "40", "PAE", "OLM"};
  for (int i = 0; i < 150; ++i) {
    f.texts.push_back({rnd(-230, 200), rnd(-230, 220), i % 3 == 0 ? 13.0f : 10.0f, colour(), words[i % 10]});
  }
  return f;
}

}  // namespace

const Frame& BusyFrame() {
  static const Frame f = MakeFrame();
  return f;
}

void DrawBusyFrame(DeviceContext& dc, const Frame& f, int parts, bool clipped) {
  Graphics g(&dc);
  g.SetSmoothingMode(SmoothingMode::HighQuality);
  g.SetTextRenderingHint(TextRenderingHint::AntiAlias);
  g.Clear(Color(0xFF000000));
  g.TranslateTransform(kFrameSize / 2.0f, kFrameSize / 2.0f);
  if (clipped) {
    GraphicsPath clip;
    clip.AddEllipse(-kClipRadius, -kClipRadius, 2 * kClipRadius, 2 * kClipRadius);
    g.SetClip(clip);
  }
  g.RotateTransform(static_cast<REAL>(-kFrameHeading));
  if (parts & 1) {
    for (const auto& l : f.lines) {
      Pen p(l.c, l.w);
      if (l.dashed) p.SetDashStyle(DashStyle::Dash);
      g.DrawLine(p, l.x1, l.y1, l.x2, l.y2);
    }
  }
  if (parts & 2) {
    for (const auto& a : f.arcs) {
      Pen p(a.c, a.w);
      if (a.circle)
        g.DrawEllipse(p, a.x, a.y, a.d, a.d);
      else
        g.DrawArc(p, a.x, a.y, a.d, a.d, a.start, a.sweep);
    }
  }
  if (parts & 4) {
    for (const auto& q : f.polys) {
      SolidBrush b(q.c);
      g.FillPolygon(b, q.p, 4);
    }
  }
  if (parts & 8) {
    for (const auto& t : f.texts) {
      Font font("Arial", t.size, FontStyleBold, Unit::Pixel);
      SolidBrush b(t.c);
      g.DrawString(t.s, font, PointF(t.x, t.y), b);
    }
  }
}

}  // namespace ovi::gfx::bench
