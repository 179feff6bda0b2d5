// A map-display-like frame drawn twice: through the drawing layer (objects
// created per call, as the gauges do) and as the same operations in raw
// Cairo calls, the floor any layer over Cairo can reach.
#include <benchmark/benchmark.h>
#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <numbers>
#include <string>
#include <vector>

#include "platform/gfx/fonts.h"
#include "platform/gfx/graphics.h"
#include "platform/gfx/image_io.h"

namespace {

using namespace ovi::gfx;

constexpr int kSize = 512;
constexpr ARGB kPalette[] = {0xFFDEE6E9, 0xFFFF13D5, 0xFF00E6E9, 0xFF00FA00, 0xFFC0C0C0, 0xFFFFFF00, 0xFF02A7EB};

struct Frame {
  struct Line {
    float x1, y1, x2, y2, w;
    ARGB c;
    bool dashed;
  };
  struct Arc {
    float x, y, d, start, sweep, w;
    ARGB c;
    bool circle;
  };
  struct Poly {
    PointF p[4];
    ARGB c;
  };
  struct Text {
    float x, y, size;
    ARGB c;
    std::string s;
  };
  std::vector<Line> lines;
  std::vector<Arc> arcs;
  std::vector<Poly> polys;
  std::vector<Text> texts;
};

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

const Frame& TheFrame() {
  static Frame f = MakeFrame();
  return f;
}

constexpr double kHeading = 37.0;

// parts: 1 lines, 2 arcs and circles, 4 polygons, 8 texts.
void DrawWithLayer(DeviceContext& dc, const Frame& f, int parts = 15) {
  Graphics g(&dc);
  g.SetSmoothingMode(SmoothingMode::HighQuality);
  g.SetTextRenderingHint(TextRenderingHint::AntiAlias);
  g.Clear(Color(0xFF000000));
  g.TranslateTransform(256, 256);
  GraphicsPath clip;
  clip.AddEllipse(-240, -240, 480, 480);
  g.SetClip(clip);
  g.RotateTransform(static_cast<REAL>(-kHeading));
  for (const auto& l : f.lines) {
    if (!(parts & 1)) break;
    Pen p(l.c, l.w);
    if (l.dashed) p.SetDashStyle(DashStyle::Dash);
    g.DrawLine(p, l.x1, l.y1, l.x2, l.y2);
  }
  for (const auto& a : f.arcs) {
    if (!(parts & 2)) break;
    Pen p(a.c, a.w);
    if (a.circle)
      g.DrawEllipse(p, a.x, a.y, a.d, a.d);
    else
      g.DrawArc(p, a.x, a.y, a.d, a.d, a.start, a.sweep);
  }
  for (const auto& q : f.polys) {
    if (!(parts & 4)) break;
    SolidBrush b(q.c);
    g.FillPolygon(b, q.p, 4);
  }
  for (const auto& t : f.texts) {
    if (!(parts & 8)) break;
    Font font("Arial", t.size, FontStyleBold, Unit::Pixel);
    SolidBrush b(t.c);
    g.DrawString(t.s, font, PointF(t.x, t.y), b);
  }
}

// Circular arc as cubic pieces of at most 90 degrees: the same geometry the
// layer hands to Cairo, so that the comparison measures the layer alone
// (cairo_arc subdivides large circles more finely, which costs more).
void ArcPieces(cairo_t* cr, double cx, double cy, double r, double a0, double a1) {
  int n = std::max(1, static_cast<int>(std::ceil(std::fabs(a1 - a0) / (std::numbers::pi / 2) - 1e-9)));
  double step = (a1 - a0) / n, k = 4.0 / 3.0 * std::tan(step / 4);
  cairo_move_to(cr, cx + r * std::cos(a0), cy + r * std::sin(a0));
  for (int i = 0; i < n; ++i) {
    double ta = a0 + i * step, tb = ta + step;
    double ca = std::cos(ta), sa = std::sin(ta), cb = std::cos(tb), sb = std::sin(tb);
    cairo_curve_to(cr, cx + r * (ca - k * sa), cy + r * (sa + k * ca), cx + r * (cb + k * sb), cy + r * (sb - k * cb),
                   cx + r * cb, cy + r * sb);
  }
}

void Source(cairo_t* cr, ARGB c) {
  cairo_set_source_rgba(cr, ((c >> 16) & 0xFF) / 255.0, ((c >> 8) & 0xFF) / 255.0, (c & 0xFF) / 255.0,
                        ((c >> 24) & 0xFF) / 255.0);
}

void DrawWithCairo(DeviceContext& dc, const Frame& f, cairo_font_face_t* face, const cairo_font_options_t* opts,
                   int parts = 15) {
  cairo_surface_t* s = cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(dc.pixels.data()),
                                                           CAIRO_FORMAT_ARGB32, dc.width, dc.height, dc.stride);
  cairo_t* cr = cairo_create(s);
  cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
  cairo_set_source_rgba(cr, 0, 0, 0, 1);
  cairo_paint(cr);
  cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
  cairo_translate(cr, 256.5, 256.5);
  ArcPieces(cr, 0, 0, 240, 0, 2 * std::numbers::pi);
  cairo_close_path(cr);
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
  cairo_clip(cr);
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_DEFAULT);
  cairo_rotate(cr, -kHeading * std::numbers::pi / 180);
  const double dash[2] = {3, 1};
  for (const auto& l : f.lines) {
    if (!(parts & 1)) break;
    Source(cr, l.c);
    cairo_set_line_width(cr, l.w);
    if (l.dashed) {
      double d[2] = {dash[0] * l.w, dash[1] * l.w};
      cairo_set_dash(cr, d, 2, 0);
    }
    cairo_move_to(cr, l.x1, l.y1);
    cairo_line_to(cr, l.x2, l.y2);
    cairo_stroke(cr);
    if (l.dashed) cairo_set_dash(cr, nullptr, 0, 0);
  }
  for (const auto& a : f.arcs) {
    if (!(parts & 2)) break;
    Source(cr, a.c);
    cairo_set_line_width(cr, a.w);
    double r = a.d / 2;
    cairo_new_path(cr);
    if (a.circle) {
      ArcPieces(cr, a.x + r, a.y + r, r, 0, 2 * std::numbers::pi);
      cairo_close_path(cr);
    } else {
      ArcPieces(cr, a.x + r, a.y + r, r, a.start * std::numbers::pi / 180, (a.start + a.sweep) * std::numbers::pi / 180);
    }
    cairo_stroke(cr);
  }
  for (const auto& q : f.polys) {
    if (!(parts & 4)) break;
    Source(cr, q.c);
    cairo_move_to(cr, q.p[0].X, q.p[0].Y);
    for (int i = 1; i < 4; ++i) cairo_line_to(cr, q.p[i].X, q.p[i].Y);
    cairo_close_path(cr);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
    cairo_fill(cr);
  }
  cairo_set_font_face(cr, face);
  cairo_set_font_options(cr, opts);
  for (const auto& t : f.texts) {
    if (!(parts & 8)) break;
    Source(cr, t.c);
    cairo_set_font_size(cr, t.size);
    cairo_move_to(cr, t.x + t.size / 6, t.y + t.size * 0.905);
    cairo_show_text(cr, t.s.c_str());
  }
  cairo_destroy(cr);
  cairo_surface_flush(s);
  cairo_surface_destroy(s);
}

void BM_MapFrameLayer(benchmark::State& state) {
  DeviceContext dc(kSize, kSize);
  const Frame& f = TheFrame();
  for (auto _ : state) {
    DrawWithLayer(dc, f, static_cast<int>(state.range(0)));
    benchmark::DoNotOptimize(dc.pixels.data());
  }
}
// Arg: which parts (15 the whole frame, 1 lines, 2 arcs, 4 polygons, 8 texts).
BENCHMARK(BM_MapFrameLayer)->Arg(15)->Arg(1)->Arg(2)->Arg(4)->Arg(8)->Unit(benchmark::kMicrosecond);

void BM_MapFrameRawCairo(benchmark::State& state) {
  DeviceContext dc(kSize, kSize);
  const Frame& f = TheFrame();
  // The raw program picks its face once, outside the frame.
  cairo_font_face_t* face = detail::LookupFace("Arial", FontStyleBold)->face;
  const cairo_font_options_t* opts = detail::FontOptionsFor(static_cast<int>(TextRenderingHint::AntiAlias));
  for (auto _ : state) {
    DrawWithCairo(dc, f, face, opts, static_cast<int>(state.range(0)));
    benchmark::DoNotOptimize(dc.pixels.data());
  }
}
BENCHMARK(BM_MapFrameRawCairo)->Arg(15)->Arg(1)->Arg(2)->Arg(4)->Arg(8)->Unit(benchmark::kMicrosecond);

}  // namespace

// --frames-to DIR writes both frames as PNG files (to compare them by eye).
int main(int argc, char** argv) {
  for (int i = 1; i + 1 < argc; ++i) {
    if (std::string(argv[i]) != "--frames-to") continue;
    DeviceContext a(kSize, kSize), b(kSize, kSize);
    DrawWithLayer(a, TheFrame());
    DrawWithCairo(b, TheFrame(), detail::LookupFace("Arial", FontStyleBold)->face,
                  detail::FontOptionsFor(static_cast<int>(TextRenderingHint::AntiAlias)));
    std::string dir = argv[i + 1];
    bool ok = WritePng(a, dir + "/frame-layer.png") && WritePng(b, dir + "/frame-cairo.png");
    std::printf("%s\n", ok ? "frames written" : "cannot write frames");
    return ok ? 0 : 1;
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
