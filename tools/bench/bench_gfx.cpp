// The busy map frame drawn through the drawing layer and as the same
// operations in raw Cairo calls (the floor any layer over Cairo can reach),
// each without a clip, under the hard-edged clip the layer uses and, for raw
// Cairo, under an anti-aliased clip, so that the price of the clip shows in
// one run. The ratios are printed after the table.
#include <benchmark/benchmark.h>
#include <cairo.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <map>
#include <numbers>
#include <string>
#include <vector>

#include "platform/gfx/fonts.h"
#include "platform/gfx/graphics.h"
#include "platform/gfx/image_io.h"
#include "sim/out_folder.h"
#include "tools/bench/busy_frame.h"
#include "tools/usage.h"

namespace {

using namespace ovi::gfx;
using bench::BusyFrame;
using bench::DrawBusyFrame;
using bench::Frame;
using bench::kFrameHeading;
using bench::kFrameSize;

// kFormerHardClip: the layer's former clip, a mask applied to every operation.
enum ClipKind { kNoClip = 0, kHardClip = 1, kSmoothClip = 2, kFormerHardClip = 3 };

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
                   int parts = bench::kAllParts, ClipKind clip = kHardClip) {
  cairo_surface_t* s = cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(dc.pixels.data()),
                                                           CAIRO_FORMAT_ARGB32, dc.width, dc.height, dc.stride);
  cairo_t* cr = cairo_create(s);
  cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
  cairo_set_source_rgba(cr, 0, 0, 0, 1);
  cairo_paint(cr);
  cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
  cairo_translate(cr, kFrameSize / 2 + 0.5, kFrameSize / 2 + 0.5);
  if (clip != kNoClip) {
    ArcPieces(cr, 0, 0, bench::kClipRadius, 0, 2 * std::numbers::pi);
    cairo_close_path(cr);
    if (clip == kHardClip) cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
    cairo_clip(cr);
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_DEFAULT);
  }
  cairo_rotate(cr, -kFrameHeading * std::numbers::pi / 180);
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

cairo_font_face_t* ArialBold() { return detail::LookupFace("Arial", FontStyleBold)->face; }
const cairo_font_options_t* SmoothText() {
  return detail::FontOptionsFor(static_cast<int>(TextRenderingHint::AntiAlias));
}

// Args: parts (15 the whole frame, 1 lines, 2 arcs, 4 polygons, 8 texts),
// clip, and 1 to draw without what the layer keeps between frames (kept
// stroke coverage and glyph runs, leaving out far-off runs).
void SetKeeping(bool on) {
  detail::UseShapeCache(on);
  detail::UseGlyphRuns(on);
  detail::UseFarRunCulling(on);
}
void BM_MapFrameLayer(benchmark::State& state) {
  DeviceContext dc(kFrameSize, kFrameSize);
  const Frame& f = BusyFrame();
  detail::UseClipPerOperation(state.range(1) == kFormerHardClip);
  SetKeeping(state.range(2) == 0);
  for (auto _ : state) {
    DrawBusyFrame(dc, f, static_cast<int>(state.range(0)), state.range(1) != kNoClip);
    benchmark::DoNotOptimize(dc.pixels.data());
  }
  detail::UseClipPerOperation(false);
  SetKeeping(true);
}
BENCHMARK(BM_MapFrameLayer)
    ->ArgNames({"parts", "clip", "off"})
    ->Args({15, kNoClip, 0})
    ->Args({15, kHardClip, 0})
    ->Args({15, kNoClip, 1})
    ->Args({15, kHardClip, 1})
    ->Args({15, kFormerHardClip, 0})
    ->Args({1, kHardClip, 0})
    ->Args({2, kHardClip, 0})
    ->Args({4, kHardClip, 0})
    ->Args({8, kHardClip, 0})
    ->Unit(benchmark::kMicrosecond);

void BM_MapFrameRawCairo(benchmark::State& state) {
  DeviceContext dc(kFrameSize, kFrameSize);
  const Frame& f = BusyFrame();
  // The raw program picks its face once, outside the frame.
  cairo_font_face_t* face = ArialBold();
  const cairo_font_options_t* opts = SmoothText();
  for (auto _ : state) {
    DrawWithCairo(dc, f, face, opts, static_cast<int>(state.range(0)), static_cast<ClipKind>(state.range(1)));
    benchmark::DoNotOptimize(dc.pixels.data());
  }
}
BENCHMARK(BM_MapFrameRawCairo)
    ->ArgNames({"parts", "clip"})
    ->Args({15, kNoClip})
    ->Args({15, kHardClip})
    ->Args({15, kSmoothClip})
    ->Args({1, kHardClip})
    ->Args({2, kHardClip})
    ->Args({4, kHardClip})
    ->Args({8, kHardClip})
    ->Unit(benchmark::kMicrosecond);

// Writing the busy frame as a PNG file, with the usual and the fast
// compression (Arg 0 / 1).
void BM_WritePng(benchmark::State& state) {
  DeviceContext dc(kFrameSize, kFrameSize);
  DrawBusyFrame(dc, BusyFrame());
  static constexpr ovi::sim::OutputWriter kFrameOutputs{"ovi-bench-gfx", "ovi-bench-outputs.txt",
                                                        "the frame's folder", "a folder it made"};
  ovi::sim::TemporaryOutputs out(kFrameOutputs, "ovi_bench_gfx_");
  if (out.Folder().empty()) return state.SkipWithError(out.Error().c_str());
  const std::string path = out.Folder() + "/frame.png";
  out.Note(path);
  const PngSpeed speed = state.range(0) == 1 ? PngSpeed::kFast : PngSpeed::kSmall;
  for (auto _ : state) {
    if (!WritePng(dc, path, speed)) state.SkipWithError("cannot write the frame");
  }
  std::error_code ec;
  state.counters["KB"] = static_cast<double>(std::filesystem::file_size(path, ec)) / 1024.0;
}
BENCHMARK(BM_WritePng)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The console table, then the whole frame's clip costs as ratios to the
// same frame without a clip.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  using ConsoleReporter::ConsoleReporter;
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    // With repetitions, the median stands for the benchmark.
    for (const Run& r : runs) {
      const bool median = r.run_type == Run::RT_Aggregate && r.aggregate_name == "median";
      if ((r.run_type == Run::RT_Iteration && r.iterations > 0) || median)
        times_[r.run_name.str()] = r.GetAdjustedRealTime();
    }
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    const struct {
      const char* label;
      const char* name;
      const char* base;
    } rows[] = {
        {"layer, hard clip", "BM_MapFrameLayer/parts:15/clip:1/off:0", "BM_MapFrameLayer/parts:15/clip:0/off:0"},
        {"layer, nothing kept, hard clip", "BM_MapFrameLayer/parts:15/clip:1/off:1",
         "BM_MapFrameLayer/parts:15/clip:0/off:1"},
        {"layer, former hard clip", "BM_MapFrameLayer/parts:15/clip:3/off:0", "BM_MapFrameLayer/parts:15/clip:0/off:0"},
        {"raw Cairo, hard clip", "BM_MapFrameRawCairo/parts:15/clip:1", "BM_MapFrameRawCairo/parts:15/clip:0"},
        {"raw Cairo, smooth clip", "BM_MapFrameRawCairo/parts:15/clip:2", "BM_MapFrameRawCairo/parts:15/clip:0"},
        {"layer / raw Cairo, hard clip", "BM_MapFrameLayer/parts:15/clip:1/off:0",
         "BM_MapFrameRawCairo/parts:15/clip:1"},
    };
    std::printf("\nwhole frame, time relative to the frame without a clip:\n");
    for (const auto& row : rows) {
      auto a = times_.find(row.name), b = times_.find(row.base);
      if (a == times_.end() || b == times_.end() || !(b->second > 0)) continue;
      std::printf("  %-30s %5.2f\n", row.label, a->second / b->second);
    }
  }

 private:
  std::map<std::string, double> times_;
};

}  // namespace

// --frames-to DIR writes the layer's and raw Cairo's frames as PNG files (to
// compare them by eye).
int main(int argc, char** argv) {
  const char usage[] =
      "usage: ovi-bench-gfx [--frames-to DIR | benchmark options]\n"
      "  --frames-to DIR  writes the frames compared, frame-layer.png and frame-cairo.png, into DIR\n";
  // The benchmark library prints its options after these, and ends the run.
  if (ovi::tools::PrintUsageBeforeLibraryHelp(argc, argv, usage)) benchmark::Initialize(&argc, argv);
  if (int rc = ovi::tools::RefuseRepeatedOptions(argc, argv, ovi::tools::ProgramName(argv[0]), usage); rc >= 0) return rc;
  for (int i = 1; i + 1 < argc; ++i) {
    if (std::string(argv[i]) != "--frames-to") continue;
    DeviceContext a(kFrameSize, kFrameSize), b(kFrameSize, kFrameSize);
    DrawBusyFrame(a, BusyFrame());
    DrawWithCairo(b, BusyFrame(), ArialBold(), SmoothText());
    std::string dir = argv[i + 1];
    bool ok = WritePng(a, dir + "/frame-layer.png") && WritePng(b, dir + "/frame-cairo.png");
    std::fprintf(ok ? stdout : stderr, "%s\n", ok ? "frames written" : "cannot write frames");
    return ok ? 0 : 1;
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioReporter reporter(isatty(fileno(stdout)) ? benchmark::ConsoleReporter::OO_Defaults : benchmark::ConsoleReporter::OO_Tabular);
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
