// The shared map overlays on a busy 512 x 512 map (every symbol code, 200
// navaids, 60 boundary outlines, 20 traffic targets, the runways of a large
// airport, the approach pattern, the vertical-path markers), drawn through
// the overlay routines, as the same frame's drawing operations replayed
// directly on Cairo (the floor: everything under the map's clip drawn into
// one group that is clipped once), and as those operations through the
// drawing layer's own calls. The first against the third is what the
// routines cost on top of their drawing calls; the third against the second
// is what the drawing layer adds to Cairo.
#include <benchmark/benchmark.h>
#include <cairo.h>

#include <cmath>
#include <cstdio>
#include <numbers>
#include <string>
#include <vector>

#include "platform/gfx/fonts.h"
#include "platform/gfx/graphics.h"
#include "platform/gfx/image_io.h"
#include "tools/mapcard/scene.h"
#include "tools/usage.h"

namespace {

using namespace ovi;
using gfx::OpKind;
using gfx::RecordedOp;

constexpr int kSize = 512;
constexpr double kRange = 40.0;
constexpr int kBoundaries = 60, kBoundaryPoints = 40, kNavaids = 200;

void Source(cairo_t* cr, gfx::ARGB c) {
  cairo_set_source_rgba(cr, ((c >> 16) & 0xFF) / 255.0, ((c >> 8) & 0xFF) / 255.0, (c & 0xFF) / 255.0,
                        ((c >> 24) & 0xFF) / 255.0);
}

// Device points are pixel centres at whole numbers.
void Path(cairo_t* cr, const RecordedOp& op, bool close) {
  cairo_new_path(cr);
  for (std::size_t i = 0; i < op.points.size(); ++i) {
    const double x = op.points[i].X + 0.5, y = op.points[i].Y + 0.5;
    if (i == 0)
      cairo_move_to(cr, x, y);
    else
      cairo_line_to(cr, x, y);
  }
  if (close) cairo_close_path(cr);
}

void Finish(cairo_t* cr, const RecordedOp& op) {
  Source(cr, op.color);
  if (op.filled) {
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
    cairo_fill(cr);
  } else {
    cairo_set_line_width(cr, op.device_pen_width);
    cairo_stroke(cr);
  }
}

// The recorded frame as plain Cairo calls: the floor the overlays draw on.
// Faces are looked up once, outside the frame, as a raw program would.
struct Replay {
  std::vector<RecordedOp> ops;
  std::vector<cairo_font_face_t*> faces;  // per text op, else null
  const cairo_font_options_t* options = gfx::detail::FontOptionsFor(static_cast<int>(gfx::TextRenderingHint::AntiAlias));

  explicit Replay(std::vector<RecordedOp> recorded) : ops(std::move(recorded)) {
    for (const RecordedOp& op : ops)
      faces.push_back(op.kind == OpKind::Text ? gfx::detail::LookupFace(op.font_family, op.font_style)->face
                                              : nullptr);
  }

  void Draw(gfx::DeviceContext& dc) const {
    cairo_surface_t* s = cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(dc.pixels.data()),
                                                             CAIRO_FORMAT_ARGB32, dc.width, dc.height, dc.stride);
    cairo_t* cr = cairo_create(s);
    cairo_set_font_options(cr, options);
    const RecordedOp* clip = nullptr;
    for (std::size_t i = 0; i < ops.size(); ++i) {
      const RecordedOp& op = ops[i];
      switch (op.kind) {
        case OpKind::Clear:
          cairo_save(cr);
          cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
          Source(cr, op.color);
          cairo_paint(cr);
          cairo_restore(cr);
          break;
        case OpKind::Clip:
          // Everything under the clip is drawn unclipped into a group that
          // is clipped once as it is painted: the cheapest way Cairo has.
          EndGroup(cr, clip);
          clip = &op;
          cairo_push_group(cr);
          break;
        case OpKind::ResetClip:
          EndGroup(cr, clip);
          break;
        case OpKind::Line:
        case OpKind::Lines:
          Path(cr, op, false);
          Finish(cr, op);
          break;
        case OpKind::Polygon:
        case OpKind::Rectangle:
          Path(cr, op, true);
          Finish(cr, op);
          break;
        case OpKind::Ellipse: {
          const double inset = op.filled ? 0.0 : op.device_pen_width;
          const double rx = (op.bounds.Width - inset) / 2, ry = (op.bounds.Height - inset) / 2;
          if (rx <= 0 || ry <= 0) break;
          cairo_new_path(cr);
          cairo_save(cr);
          cairo_translate(cr, op.points[0].X + 0.5, op.points[0].Y + 0.5);
          cairo_scale(cr, rx, ry);
          cairo_arc(cr, 0, 0, 1, 0, 2 * std::numbers::pi);
          cairo_restore(cr);
          Finish(cr, op);
          break;
        }
        case OpKind::Text:
          Source(cr, op.color);
          cairo_set_font_face(cr, faces[i]);
          cairo_set_font_size(cr, op.font_device_size);
          cairo_move_to(cr, op.points[1].X, op.points[1].Y);
          cairo_show_text(cr, op.text.c_str());
          break;
        default:
          break;
      }
    }
    EndGroup(cr, clip);
    cairo_destroy(cr);
    cairo_surface_flush(s);
    cairo_surface_destroy(s);
  }

  // Paints the group drawn under a circular clip through that clip, whole
  // pixels only as the layer's clips are.
  static void EndGroup(cairo_t* cr, const RecordedOp*& clip) {
    if (clip == nullptr) return;
    cairo_pop_group_to_source(cr);
    cairo_new_path(cr);
    cairo_arc(cr, clip->bounds.X + clip->bounds.Width / 2, clip->bounds.Y + clip->bounds.Height / 2,
              clip->bounds.Width / 2, 0, 2 * std::numbers::pi);
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
    cairo_clip(cr);
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_DEFAULT);
    cairo_paint(cr);
    cairo_reset_clip(cr);
    clip = nullptr;
  }
};

// The same operations through the drawing layer's own calls: what the layer
// adds to Cairo, apart from the overlay routines.
void ReplayThroughLayer(gfx::DeviceContext& dc, const std::vector<RecordedOp>& ops) {
  gfx::Graphics g(&dc);
  g.SetSmoothingMode(gfx::SmoothingMode::HighQuality);
  g.SetTextRenderingHint(gfx::TextRenderingHint::AntiAlias);
  for (const RecordedOp& op : ops) {
    const int n = static_cast<int>(op.points.size());
    switch (op.kind) {
      case OpKind::Clear:
        g.Clear(gfx::Color(op.color));
        break;
      case OpKind::Clip: {
        gfx::GraphicsPath circle;
        circle.AddEllipse(op.bounds.X, op.bounds.Y, op.bounds.Width, op.bounds.Height);
        g.SetClip(circle);
        break;
      }
      case OpKind::ResetClip:
        g.ResetClip();
        break;
      case OpKind::Line:
      case OpKind::Lines:
      case OpKind::Polygon:
      case OpKind::Rectangle: {
        if (op.filled) {
          g.FillPolygon(gfx::SolidBrush(op.color), op.points.data(), n);
        } else {
          gfx::Pen pen(op.color, op.device_pen_width);
          if (op.kind == OpKind::Line || op.kind == OpKind::Lines)
            g.DrawLines(pen, op.points.data(), n);
          else
            g.DrawPolygon(pen, op.points.data(), n);
        }
        break;
      }
      case OpKind::Ellipse: {
        const float inset = op.filled ? 0.0f : op.device_pen_width;
        const float w = op.bounds.Width - inset, h = op.bounds.Height - inset;
        const float x = op.points[0].X - w / 2, y = op.points[0].Y - h / 2;
        if (op.filled)
          g.FillEllipse(gfx::SolidBrush(op.color), x, y, w, h);
        else
          g.DrawEllipse(gfx::Pen(op.color, op.device_pen_width), x, y, w, h);
        break;
      }
      case OpKind::Text: {
        gfx::Font font(op.font_family, op.font_device_size, op.font_style, gfx::Unit::Pixel);
        g.DrawString(op.text, font, op.points[0], gfx::SolidBrush(op.color));
        break;
      }
      default:
        break;
    }
  }
}

mapcard::Scene& TheScene() {
  static mapcard::Scene scene(kBoundaries, kBoundaryPoints, kNavaids);
  return scene;
}

void DrawFrame(gfx::DeviceContext& dc) {
  gfx::Graphics g(&dc);
  mapcard::DrawBusyMap(g, TheScene(), kRange);
}

const Replay& TheReplay() {
  static Replay replay = [] {
    gfx::DeviceContext dc(kSize, kSize);
    gfx::Recorder rec;
    dc.recorder = &rec;
    DrawFrame(dc);
    return Replay(rec.Ops());
  }();
  return replay;
}

void BM_MapOverlays(benchmark::State& state) {
  gfx::DeviceContext dc(kSize, kSize);
  for (auto _ : state) {
    DrawFrame(dc);
    benchmark::DoNotOptimize(dc.pixels.data());
  }
  state.counters["ops"] = static_cast<double>(TheReplay().ops.size());
}
BENCHMARK(BM_MapOverlays)->Unit(benchmark::kMicrosecond);

void BM_MapOverlaysReplayedOnCairo(benchmark::State& state) {
  gfx::DeviceContext dc(kSize, kSize);
  const Replay& replay = TheReplay();
  for (auto _ : state) {
    replay.Draw(dc);
    benchmark::DoNotOptimize(dc.pixels.data());
  }
  state.counters["ops"] = static_cast<double>(replay.ops.size());
}
BENCHMARK(BM_MapOverlaysReplayedOnCairo)->Unit(benchmark::kMicrosecond);

void BM_MapOverlaysReplayedThroughLayer(benchmark::State& state) {
  gfx::DeviceContext dc(kSize, kSize);
  const Replay& replay = TheReplay();
  for (auto _ : state) {
    ReplayThroughLayer(dc, replay.ops);
    benchmark::DoNotOptimize(dc.pixels.data());
  }
}
BENCHMARK(BM_MapOverlaysReplayedThroughLayer)->Unit(benchmark::kMicrosecond);

}  // namespace

// --frames-to DIR writes both frames as PNG files (to compare them by eye).
int main(int argc, char** argv) {
  const char usage[] =
      "usage: ovi-bench-map [--frames-to DIR | benchmark options]\n"
      "  --frames-to DIR  writes the frames compared, map-overlays.png and map-overlays-cairo.png, into DIR\n";
  // The benchmark library prints its options after these, and ends the run.
  if (ovi::tools::PrintUsageBeforeLibraryHelp(argc, argv, usage)) benchmark::Initialize(&argc, argv);
  if (int rc = ovi::tools::RefuseRepeatedOptions(argc, argv, ovi::tools::ProgramName(argv[0]), usage); rc >= 0) return rc;
  for (int i = 1; i + 1 < argc; ++i) {
    if (std::string(argv[i]) != "--frames-to") continue;
    gfx::DeviceContext a(kSize, kSize), b(kSize, kSize);
    DrawFrame(a);
    TheReplay().Draw(b);
    const std::string dir = argv[i + 1];
    const bool ok = gfx::WritePng(a, dir + "/map-overlays.png") && gfx::WritePng(b, dir + "/map-overlays-cairo.png");
    std::fprintf(ok ? stdout : stderr, "%s\n", ok ? "frames written" : "cannot write frames");
    return ok ? 0 : 1;
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
