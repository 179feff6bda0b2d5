#include "platform/gfx/graphics.h"

#include <cairo.h>

#include <algorithm>
#include <atomic>
#include <climits>
#include <cmath>
#include <cstring>
#include <limits>
#include <list>
#include <mutex>

#include "platform/gfx/fonts.h"
#include "platform/gfx/glyph_runs.h"

namespace ovi::gfx {

namespace {

using detail::PathData;

// Device coordinates beyond this are brought back onto a box of this size
// before rasterising (straight edges) or refused (curves): the rasteriser
// works in fixed point and would wrap far-away values into the picture.
constexpr double kFar = 131072.0;
// The widest pen, in device pixels, the layer's own stroke converter takes.
constexpr double kThinPenPixels = 32.0;

bool Fin(double v) { return std::isfinite(v); }
bool AllFinite(std::initializer_list<double> vs) {
  for (double v : vs)
    if (!std::isfinite(v)) return false;
  return true;
}

struct Box {
  double x0 = std::numeric_limits<double>::infinity(), y0 = x0;
  double x1 = -std::numeric_limits<double>::infinity(), y1 = x1;
  void Add(double x, double y) {
    x0 = std::min(x0, x), y0 = std::min(y0, y), x1 = std::max(x1, x), y1 = std::max(y1, y);
  }
  bool Empty() const { return !(x0 <= x1 && y0 <= y1); }
  RectF ToRect(double pad) const {
    if (Empty()) return RectF();
    return RectF(static_cast<REAL>(x0 - pad), static_cast<REAL>(y0 - pad), static_cast<REAL>(x1 - x0 + 2 * pad),
                 static_cast<REAL>(y1 - y0 + 2 * pad));
  }
};

RectF Intersect(const RectF& a, const RectF& b) {
  double x0 = std::max(a.X, b.X), y0 = std::max(a.Y, b.Y);
  double x1 = std::min(static_cast<double>(a.X) + a.Width, static_cast<double>(b.X) + b.Width);
  double y1 = std::min(static_cast<double>(a.Y) + a.Height, static_cast<double>(b.Y) + b.Height);
  if (x1 <= x0 || y1 <= y0) return RectF(static_cast<REAL>(x0), static_cast<REAL>(y0), 0, 0);
  return RectF(static_cast<REAL>(x0), static_cast<REAL>(y0), static_cast<REAL>(x1 - x0), static_cast<REAL>(y1 - y0));
}

bool Meets(const RectF& a, const RectF& b) {
  return a.X <= b.X + b.Width && b.X <= a.X + a.Width && a.Y <= b.Y + b.Height && b.Y <= a.Y + a.Height &&
         a.Width >= 0 && b.Width > 0 && b.Height > 0;
}

template <typename P>
bool PointsOk(const P* pts, int count, int min) {
  if (pts == nullptr || count < min || count > kMaxPoints) return false;
  for (int i = 0; i < count; ++i)
    if (!AllFinite({static_cast<double>(pts[i].X), static_cast<double>(pts[i].Y)})) return false;
  return true;
}

// Liang-Barsky: clips the segment to [-kFar, kFar]^2; false when outside.
bool ClipSegment(double& x0, double& y0, double& x1, double& y1) {
  double t0 = 0, t1 = 1, dx = x1 - x0, dy = y1 - y0;
  auto edge = [&](double p, double q) {
    if (p == 0) return q >= 0;
    double r = q / p;
    if (p < 0) {
      if (r > t1) return false;
      t0 = std::max(t0, r);
    } else {
      if (r < t0) return false;
      t1 = std::min(t1, r);
    }
    return true;
  };
  if (!edge(-dx, x0 + kFar) || !edge(dx, kFar - x0) || !edge(-dy, y0 + kFar) || !edge(dy, kFar - y0)) return false;
  double nx0 = x0 + t0 * dx, ny0 = y0 + t0 * dy, nx1 = x0 + t1 * dx, ny1 = y0 + t1 * dy;
  x0 = nx0, y0 = ny0, x1 = nx1, y1 = ny1;
  return true;
}

// Sutherland-Hodgman against the same box; keeps winding numbers inside it.
void ClipPolygon(std::vector<PathData::Pt>& poly) {
  std::vector<PathData::Pt> out;
  for (int side = 0; side < 4; ++side) {
    out.clear();
    auto inside = [&](const PathData::Pt& p) {
      switch (side) {
        case 0: return p.x >= -kFar;
        case 1: return p.x <= kFar;
        case 2: return p.y >= -kFar;
        default: return p.y <= kFar;
      }
    };
    auto cross = [&](const PathData::Pt& a, const PathData::Pt& b) {
      double t;
      if (side < 2) {
        double X = side == 0 ? -kFar : kFar;
        t = (X - a.x) / (b.x - a.x);
        return PathData::Pt{X, a.y + t * (b.y - a.y)};
      }
      double Y = side == 2 ? -kFar : kFar;
      t = (Y - a.y) / (b.y - a.y);
      return PathData::Pt{a.x + t * (b.x - a.x), Y};
    };
    for (std::size_t i = 0; i < poly.size(); ++i) {
      const auto& cur = poly[i];
      const auto& prev = poly[(i + poly.size() - 1) % poly.size()];
      bool ci = inside(cur), pi = inside(prev);
      if (ci) {
        if (!pi) out.push_back(cross(prev, cur));
        out.push_back(cur);
      } else if (pi) {
        out.push_back(cross(prev, cur));
      }
    }
    poly.swap(out);
    if (poly.empty()) return;
  }
}

// Graphics objects drawing unclipped under a clip run, on this thread (at
// most one per device context).
thread_local std::vector<Graphics*> clip_runs;
// One surface-sized buffer kept for the next Graphics on this thread, so that
// a gauge drawing every frame does not fault fresh pages in each time.
thread_local std::unique_ptr<std::uint32_t[]> spare_saved;
thread_local std::size_t spare_saved_size = 0;
// The glyphs of a text handed to Cairo.
thread_local std::vector<cairo_glyph_t> cairo_glyphs;
bool clip_per_op_setting = false;
bool cairo_strokes_setting = false;
bool shape_cache_setting = true;
bool glyph_runs_setting = true;
bool far_run_culling_setting = true;
bool stroke_snap_setting = true;

const double kDash[] = {3, 1};
const double kDot[] = {1, 1};
const double kDashDot[] = {3, 1, 1, 1};
const double kDashDotDot[] = {3, 1, 1, 1, 1, 1};

// Calls fn(first point, end point, smooth, closed) for each figure of a
// path's commands (a move, its lines or curves, perhaps a close; a curve
// takes three points), stopping at the first that returns false.
template <class Fn>
bool ForEachFigure(const std::vector<detail::PathData::Cmd>& cmds, Fn fn) {
  std::size_t k = 0;
  for (std::size_t i = 0; i < cmds.size();) {
    const std::size_t first = k;
    ++i, ++k;
    const bool smooth = i < cmds.size() && cmds[i] == detail::PathData::kCurve;
    while (i < cmds.size() && cmds[i] == detail::PathData::kLine) ++i, ++k;
    while (i < cmds.size() && cmds[i] == detail::PathData::kCurve) ++i, k += 3;
    const bool closed = i < cmds.size() && cmds[i] == detail::PathData::kClose;
    if (closed) ++i;
    if (!fn(first, k, smooth, closed)) return false;
  }
  return true;
}

}  // namespace

// ---------------------------------------------------------------- life

Graphics::Graphics(DeviceContext* dc) : dc_(dc) {
  if (dc == nullptr || dc->Empty() || !dc->Consistent()) {
    last_status_ = InvalidParameter;
    return;
  }
  recorder_ = dc->recorder;
  surface_ = cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(dc->pixels.data()),
                                                 CAIRO_FORMAT_ARGB32, dc->width, dc->height, dc->stride);
  if (cairo_surface_status(surface_) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(surface_);
    surface_ = nullptr;
    last_status_ = OutOfMemory;
    return;
  }
  cr_ = cairo_create(surface_);
  if (cairo_status(cr_) != CAIRO_STATUS_SUCCESS) {
    cairo_destroy(cr_);
    cr_ = nullptr;
    last_status_ = OutOfMemory;
    return;
  }
  cairo_set_miter_limit(cr_, 10.0);
  clip_per_op_ = clip_per_op_setting;
  cairo_strokes_ = cairo_strokes_setting;
  shape_cache_ = shape_cache_setting;
  glyph_runs_ = glyph_runs_setting;
  far_runs_culled_ = far_run_culling_setting;
  stroke_snap_allowed_ = stroke_snap_setting;
}

Graphics::~Graphics() {
  EndRun();
  if (saved_ && saved_size_ > spare_saved_size) {
    spare_saved = std::move(saved_);
    spare_saved_size = saved_size_;
  }
  if (cr_ != nullptr) cairo_destroy(cr_);
  if (surface_ != nullptr) {
    cairo_surface_flush(surface_);
    cairo_surface_destroy(surface_);
  }
}

Status Graphics::GetLastStatus() {
  Status s = last_status_;
  last_status_ = Ok;
  return s;
}

Status Graphics::Fail(Status s) {
  if (s != Ok) last_status_ = s;
  return s;
}

bool Graphics::Usable() const { return cr_ != nullptr && cairo_status(cr_) == CAIRO_STATUS_SUCCESS; }

// ---------------------------------------------------------------- state

Status Graphics::SetSmoothingMode(SmoothingMode mode) {
  int v = static_cast<int>(mode);
  if (v < 0 || v > 5) return Fail(InvalidParameter);
  smoothing_ = mode;
  aa_dirty_ = true;
  return Ok;
}

Status Graphics::SetPixelOffsetMode(PixelOffsetMode mode) {
  int v = static_cast<int>(mode);
  if (v < 0 || v > 4) return Fail(InvalidParameter);
  pixel_offset_ = mode;
  matrix_dirty_ = true;
  return Ok;
}

Status Graphics::SetTextRenderingHint(TextRenderingHint hint) {
  int v = static_cast<int>(hint);
  if (v < 0 || v > 5) return Fail(InvalidParameter);
  text_hint_ = hint;
  return Ok;
}

Status Graphics::ResetTransform() {
  world_.Reset();
  matrix_dirty_ = true;
  return Ok;
}

Status Graphics::MultiplyTransform(const Matrix& m, MatrixOrder order) {
  Matrix next = world_;
  if (next.Multiply(m, order) != Ok || !next.IsInvertible()) return Fail(InvalidParameter);
  world_ = next;
  matrix_dirty_ = true;
  return Ok;
}

Status Graphics::TranslateTransform(REAL dx, REAL dy, MatrixOrder order) {
  Matrix t;
  if (t.Translate(dx, dy) != Ok) return Fail(InvalidParameter);
  return MultiplyTransform(t, order);
}

Status Graphics::ScaleTransform(REAL sx, REAL sy, MatrixOrder order) {
  Matrix t;
  if (t.Scale(sx, sy) != Ok) return Fail(InvalidParameter);
  return MultiplyTransform(t, order);
}

Status Graphics::RotateTransform(REAL degrees, MatrixOrder order) {
  Matrix t;
  if (t.Rotate(degrees) != Ok) return Fail(InvalidParameter);
  return MultiplyTransform(t, order);
}

Status Graphics::SetTransform(const Matrix& m) {
  if (!m.IsInvertible()) return Fail(InvalidParameter);
  world_ = m;
  matrix_dirty_ = true;
  return Ok;
}

Status Graphics::GetTransform(Matrix* m) const {
  if (m == nullptr) return InvalidParameter;
  *m = world_;
  return Ok;
}

void Graphics::SyncMatrix() {
  if (!matrix_dirty_) return;
  double off = (pixel_offset_ == PixelOffsetMode::Half || pixel_offset_ == PixelOffsetMode::HighQuality) ? 0.0 : 0.5;
  cairo_matrix_t m;
  cairo_matrix_init(&m, world_.a, world_.b, world_.c, world_.d, world_.e + off, world_.f + off);
  cairo_set_matrix(cr_, &m);
  matrix_dirty_ = false;
}

void Graphics::SyncAntialias() {
  if (!aa_dirty_) return;
  bool aa = smoothing_ == SmoothingMode::HighQuality || smoothing_ == SmoothingMode::AntiAlias ||
            static_cast<int>(smoothing_) == 5;
  cairo_set_antialias(cr_, aa ? CAIRO_ANTIALIAS_DEFAULT : CAIRO_ANTIALIAS_NONE);
  aa_dirty_ = false;
}

void Graphics::SetSource(ARGB c) {
  cairo_set_source_rgba(cr_, ((c >> 16) & 0xFF) / 255.0, ((c >> 8) & 0xFF) / 255.0, (c & 0xFF) / 255.0,
                        ((c >> 24) & 0xFF) / 255.0);
}

// ---------------------------------------------------------------- paths

namespace {
struct Checked {
  Box box;
  bool far = false;
  bool curves = false;
};
}  // namespace

Status Graphics::CheckPath(const PathData& data, double /*pad*/) {
  Checked c;
  for (auto cmd : data.cmds)
    if (cmd == PathData::kCurve) c.curves = true;
  for (const auto& p : data.pts) {
    double x, y;
    world_.Apply(p.x, p.y, &x, &y);
    if (!Fin(x) || !Fin(y)) return InvalidParameter;
    if (std::fabs(x) > kFar || std::fabs(y) > kFar) c.far = true;
    c.box.Add(x, y);
  }
  if (c.far && c.curves) return ValueOverflow;
  op_box_ = c.box.ToRect(0);
  op_empty_ = c.box.Empty();
  op_far_ = c.far;
  return Ok;
}

void Graphics::EmitPathTo(cairo_t* cr, const PathData& data) {
  cairo_new_path(cr);
  if (!op_far_) {
    std::size_t k = 0;
    for (auto cmd : data.cmds) {
      switch (cmd) {
        case PathData::kMove: cairo_move_to(cr, data.pts[k].x, data.pts[k].y), ++k; break;
        case PathData::kLine: cairo_line_to(cr, data.pts[k].x, data.pts[k].y), ++k; break;
        case PathData::kCurve:
          cairo_curve_to(cr, data.pts[k].x, data.pts[k].y, data.pts[k + 1].x, data.pts[k + 1].y, data.pts[k + 2].x,
                         data.pts[k + 2].y);
          k += 3;
          break;
        case PathData::kClose: cairo_close_path(cr); break;
      }
    }
    return;
  }
  // Far-away straight edges: clip in device space, map back to world space.
  Matrix inv = world_;
  inv.Invert();
  auto emit_world = [&](double dx, double dy, bool move) {
    double wx, wy;
    inv.Apply(dx, dy, &wx, &wy);
    if (move)
      cairo_move_to(cr, wx, wy);
    else
      cairo_line_to(cr, wx, wy);
  };
  std::vector<PathData::Pt> fig;
  auto flush = [&](bool closed) {
    if (fig.empty()) return;
    if (fill_pass_) {
      ClipPolygon(fig);
      for (std::size_t i = 0; i < fig.size(); ++i) emit_world(fig[i].x, fig[i].y, i == 0);
      if (!fig.empty()) cairo_close_path(cr);
    } else {
      std::size_t n = fig.size();
      std::size_t segs = closed ? n : n - 1;
      for (std::size_t i = 0; i < segs; ++i) {
        double x0 = fig[i].x, y0 = fig[i].y, x1 = fig[(i + 1) % n].x, y1 = fig[(i + 1) % n].y;
        if (ClipSegment(x0, y0, x1, y1)) {
          emit_world(x0, y0, true);
          emit_world(x1, y1, false);
        }
      }
    }
    fig.clear();
  };
  std::size_t k = 0;
  for (auto cmd : data.cmds) {
    if (cmd == PathData::kMove) {
      flush(false);
    }
    if (cmd == PathData::kMove || cmd == PathData::kLine) {
      double x, y;
      world_.Apply(data.pts[k].x, data.pts[k].y, &x, &y);
      fig.push_back({x, y});
      ++k;
    } else if (cmd == PathData::kClose) {
      flush(true);
    }
  }
  flush(false);
}

// ---------------------------------------------------------------- recording

void Graphics::RecordCommon(RecordedOp& op) const {
  REAL m[6];
  world_.GetElements(m);
  std::copy(m, m + 6, op.matrix);
}

// True when the shape just checked (op_box_, widened by `pad` device pixels
// for the pen) lies wholly outside the surface or the clip's bounds: no
// pixel can change, so the rasteriser is not asked.
bool Graphics::WhollyClipped(double pad) const {
  if (op_empty_) return false;
  const RectF box(op_box_.X - static_cast<REAL>(pad), op_box_.Y - static_cast<REAL>(pad),
                  op_box_.Width + static_cast<REAL>(2 * pad), op_box_.Height + static_cast<REAL>(2 * pad));
  return !VisibleDevice(box);
}

// A dashed straight line is cut to the part that crosses the surface
// (widened by `pad` device pixels), and the dash pattern starts where that
// part starts on the whole line: the same dashes land on the same pixels,
// without the rasteriser dashing the length that lies off the surface.
// False when no part of the line is visible.
bool Graphics::ClipDashedLine(double pad, double& dash_offset) {
  dash_offset = 0.0;
  if (scratch_.cmds.size() != 2 || scratch_.cmds[0] != PathData::kMove || scratch_.cmds[1] != PathData::kLine)
    return true;
  // Cut at the surface, not at the clip: a clipped drawing must put the
  // same dashes on the pixels it lets through as the unclipped one does.
  const RectF area(0, 0, static_cast<REAL>(dc_->width), static_cast<REAL>(dc_->height));
  const double x0 = area.X - pad, y0 = area.Y - pad, x1 = area.X + area.Width + pad, y1 = area.Y + area.Height + pad;
  PathData::Pt& a = scratch_.pts[0];
  PathData::Pt& b = scratch_.pts[1];
  double ax, ay, bx, by;
  world_.Apply(a.x, a.y, &ax, &ay);
  world_.Apply(b.x, b.y, &bx, &by);
  // Liang-Barsky: the interval of t in [0, 1] where a + t (b - a) lies inside.
  double t0 = 0.0, t1 = 1.0;
  const double dx = bx - ax, dy = by - ay;
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {ax - x0, x1 - ax, ay - y0, y1 - ay};
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0.0) {
      if (q[i] < 0.0) return false;
      continue;
    }
    const double t = q[i] / p[i];
    if (p[i] < 0.0)
      t0 = std::max(t0, t);
    else
      t1 = std::min(t1, t);
  }
  if (t0 > t1) return false;
  const double ux = b.x - a.x, uy = b.y - a.y;
  dash_offset = t0 * std::hypot(ux, uy);
  const PathData::Pt from{a.x + t0 * ux, a.y + t0 * uy}, to{a.x + t1 * ux, a.y + t1 * uy};
  a = from;
  b = to;
  return true;
}

bool Graphics::VisibleDevice(const RectF& r) const {
  RectF surf(0, 0, static_cast<REAL>(dc_->width), static_cast<REAL>(dc_->height));
  RectF area = clip_infinite_ ? surf : Intersect(surf, clip_bounds_);
  RectF rr = r;
  // A horizontal or vertical line has an empty box: give it a hair.
  if (rr.Width <= 0) rr.Width = 1e-3f;
  if (rr.Height <= 0) rr.Height = 1e-3f;
  return Meets(rr, area);
}

void Graphics::RecordShape(OpKind kind, bool filled, ARGB color, const Pen* pen, FillMode mode, const REAL* angles,
                           double pad) {
  if (recorder_ == nullptr) return;
  RecordedOp op;
  op.kind = kind;
  op.filled = filled;
  op.color = color;
  op.fill_mode = mode;
  if (pen != nullptr) {
    op.pen_width = pen->GetWidth();
    op.device_pen_width = static_cast<REAL>(pen->GetWidth() * std::sqrt(std::fabs(world_.Determinant())));
    op.dash = pen->GetDashStyle();
  }
  if (angles != nullptr) op.start_angle = angles[0], op.sweep_angle = angles[1];
  op.points.reserve(rec_points_.size());
  for (const auto& p : rec_points_) {
    double x, y;
    world_.Apply(p.X, p.Y, &x, &y);
    op.points.emplace_back(static_cast<REAL>(x), static_cast<REAL>(y));
  }
  op.bounds = op_empty_ ? RectF() : RectF(op_box_.X - static_cast<REAL>(pad), op_box_.Y - static_cast<REAL>(pad),
                                          op_box_.Width + static_cast<REAL>(2 * pad),
                                          op_box_.Height + static_cast<REAL>(2 * pad));
  op.visible = !op_empty_ && VisibleDevice(op.bounds);
  RecordCommon(op);
  recorder_->Add(std::move(op));
}

// ---------------------------------------------------------------- stroke / fill

void Graphics::DrawArrow(const Pen& pen, const Pen::Arrow& arrow, double tipx, double tipy, double fromx,
                         double fromy) {
  double dx = tipx - fromx, dy = tipy - fromy, len = std::hypot(dx, dy);
  if (!(len > 0)) return;
  dx /= len, dy /= len;
  double w = pen.GetWidth(), h = arrow.height * w, half = arrow.width * w / 2;
  double bx = tipx - dx * h, by = tipy - dy * h;
  cairo_new_path(cr_);
  cairo_move_to(cr_, tipx, tipy);
  cairo_line_to(cr_, bx - dy * half, by + dx * half);
  cairo_line_to(cr_, bx + dy * half, by - dx * half);
  cairo_close_path(cr_);
  if (arrow.filled)
    cairo_fill(cr_);
  else
    cairo_stroke(cr_);
}

Status Graphics::StrokeData(const Pen& pen, OpKind kind, const REAL* angles) {
  if (!Usable()) return Fail(InvalidParameter);
  if (pen.GetLastStatus() != Ok) return Fail(pen.GetLastStatus());
  double s = std::sqrt(std::fabs(world_.Determinant()));
  double width = pen.GetWidth();
  // Lines are never thinner than one device pixel.
  if (width * s < 1.0) width = 1.0 / s;
  Status st = CheckPath(scratch_, 0);
  if (st != Ok) return Fail(st);

  // Arrow caps: pull the line back to the arrow's base, draw the arrow after.
  struct ArrowAt {
    const Pen::Arrow* arrow;
    double tx, ty, fx, fy;
  };
  ArrowAt arrows[8];
  int n_arrows = 0;
  if ((pen.EndArrow().on || pen.StartArrow().on) && !op_far_) {
    std::size_t k = 0, fig_first_pt = 0, fig_first_cmd = 0;
    auto finish = [&](std::size_t end_cmd, std::size_t end_pt) {
      // figure = cmds [fig_first_cmd, end_cmd), points [fig_first_pt, end_pt)
      if (end_pt - fig_first_pt < 2 || n_arrows > 6) return;
      auto& P = scratch_.pts;
      if (pen.EndArrow().on) {
        auto& tip = P[end_pt - 1];
        auto& from = P[end_pt - 2];
        double tx = tip.x, ty = tip.y;
        double len = std::hypot(tx - from.x, ty - from.y), h = pen.EndArrow().height * pen.GetWidth();
        if (len > 0) {
          arrows[n_arrows++] = {&pen.EndArrow(), tx, ty, from.x, from.y};
          if (scratch_.cmds[end_cmd - 1] == PathData::kLine && h < len) {
            tip.x -= (tx - from.x) / len * h, tip.y -= (ty - from.y) / len * h;
          }
        }
      }
      if (pen.StartArrow().on) {
        auto& tip = P[fig_first_pt];
        auto& from = P[fig_first_pt + 1];
        double tx = tip.x, ty = tip.y;
        double len = std::hypot(tx - from.x, ty - from.y), h = pen.StartArrow().height * pen.GetWidth();
        if (len > 0) {
          arrows[n_arrows++] = {&pen.StartArrow(), tx, ty, from.x, from.y};
          if (scratch_.cmds[fig_first_cmd + 1] == PathData::kLine && h < len) {
            tip.x -= (tx - from.x) / len * h, tip.y -= (ty - from.y) / len * h;
          }
        }
      }
    };
    bool closed = false;
    for (std::size_t i = 0; i < scratch_.cmds.size(); ++i) {
      auto cmd = scratch_.cmds[i];
      if (cmd == PathData::kMove) {
        if (i > 0 && !closed) finish(i, k);
        fig_first_pt = k, fig_first_cmd = i, closed = false;
        ++k;
      } else if (cmd == PathData::kLine) {
        ++k;
      } else if (cmd == PathData::kCurve) {
        k += 3;
      } else {
        closed = true;
      }
    }
    if (!scratch_.cmds.empty() && !closed) finish(scratch_.cmds.size(), k);
  }

  double pad = std::max(pen.GetWidth() * s, 1.0) / 2;
  for (int i = 0; i < n_arrows; ++i)
    pad = std::max(pad, s * pen.GetWidth() * std::max(arrows[i].arrow->width, arrows[i].arrow->height));
  RecordShape(kind, false, pen.GetColor().argb, &pen, FillMode::Alternate, angles, pad);
  if (WhollyClipped(pad)) return Ok;

  const double* pattern = nullptr;
  int n = 0;
  switch (pen.GetDashStyle()) {
    case DashStyle::Dash: pattern = kDash, n = 2; break;
    case DashStyle::Dot: pattern = kDot, n = 2; break;
    case DashStyle::DashDot: pattern = kDashDot, n = 4; break;
    case DashStyle::DashDotDot: pattern = kDashDotDot, n = 6; break;
    default: break;
  }
  double dash_offset = 0.0;
  if (n > 0 && !op_far_ && !ClipDashedLine(pad, dash_offset)) return Ok;
  double dashes[6];
  for (int i = 0; i < n; ++i) dashes[i] = pattern[i] * width;
  // Miter joins reach out up to half the miter limit (10) in pen widths.
  double reach = pad + 5 * width * s;
  // Coverage is painted only where a clip run lets it through; only what
  // Cairo draws itself needs the pixels outside the clip kept first.
  bool kept_outside = false;
  auto before_cairo = [&] {
    if (kept_outside) return;
    kept_outside = true;
    BeforeDraw(op_box_.X - reach, op_box_.Y - reach, static_cast<double>(op_box_.X) + op_box_.Width + reach,
               static_cast<double>(op_box_.Y) + op_box_.Height + reach);
  };
  if (!run_owned_) ClaimPixels();
  if (stroke_snap_ > 0 && n_arrows == 0) SnapStroke();
  if (n_arrows == 0 && ThinStrokeFits(pen, width, n > 0) &&
      DrawThinStroke(width / 2, n > 0 ? dashes : nullptr, n, dash_offset, pen.GetColor().argb))
    return Ok;

  SyncMatrix();
  SyncAntialias();
  SetSource(pen.GetColor().argb);
  cairo_set_line_width(cr_, width);
  switch (pen.GetEndCap()) {
    case LineCap::Round: cairo_set_line_cap(cr_, CAIRO_LINE_CAP_ROUND); break;
    case LineCap::Square: cairo_set_line_cap(cr_, CAIRO_LINE_CAP_SQUARE); break;
    default: cairo_set_line_cap(cr_, CAIRO_LINE_CAP_BUTT); break;
  }
  switch (pen.GetLineJoin()) {
    case LineJoin::Round: cairo_set_line_join(cr_, CAIRO_LINE_JOIN_ROUND); break;
    case LineJoin::Bevel: cairo_set_line_join(cr_, CAIRO_LINE_JOIN_BEVEL); break;
    default: cairo_set_line_join(cr_, CAIRO_LINE_JOIN_MITER); break;
  }
  if (n > 0) cairo_set_dash(cr_, dashes, n, dash_offset);
  fill_pass_ = false;
  if (!(shape_cache_ && !clip_per_op_ && !op_far_ && KeptCairoStroke(width, dashes, n, dash_offset, pen))) {
    before_cairo();
    EmitPath(scratch_);
    cairo_stroke(cr_);
  }
  if (n > 0) cairo_set_dash(cr_, nullptr, 0, 0);
  if (n_arrows > 0) before_cairo();
  for (int i = 0; i < n_arrows; ++i)
    DrawArrow(pen, *arrows[i].arrow, arrows[i].tx, arrows[i].ty, arrows[i].fx, arrows[i].fy);
  return Ok;
}

// The layer's own rasteriser takes smoothed strokes of straight segments
// and of curves, solid or dashed, with flat caps and miter joins,
// unclipped or under a clip of whole pixels it applies itself. Paths whose
// segments all run along the pixel axes stay with Cairo, which strokes
// them as exact boxes.
bool Graphics::ThinStrokeFits(const Pen& pen, double width, bool dashed) const {
  if (cairo_strokes_ || clip_per_op_ || op_far_) return false;
  // Only pens that are thin on the device: the outline then stays within a
  // few hundred pixels of points that lie within kFar, which keeps every
  // sum of the converter inside its integers. A wide pen, or a transform
  // that stretches the round pen into a long ellipse, stays with Cairo.
  const double a = world_.a, b = world_.b, c = world_.c, d = world_.d;
  const double sq = a * a + b * b + c * c + d * d, det = a * d - b * c;
  const double stretch = std::sqrt((sq + std::sqrt(std::max(0.0, sq * sq - 4 * det * det))) / 2);
  if (!(width * stretch <= kThinPenPixels)) return false;
  // Nor a pen squashed much flatter than the map's grid squashes it: its
  // joins would differ from Cairo's.
  if (!(stretch * stretch <= 2 * std::fabs(det))) return false;
  if (smoothing_ != SmoothingMode::HighQuality && smoothing_ != SmoothingMode::AntiAlias &&
      static_cast<int>(smoothing_) != 5)
    return false;
  if (pen.GetEndCap() != LineCap::Flat && pen.GetEndCap() != LineCap::Triangle) return false;
  if (pen.GetLineJoin() != LineJoin::Miter && pen.GetLineJoin() != LineJoin::MiterClipped) return false;
  // Figures are straight, or smooth: curves only after their start. A
  // closed straight figure is dashed round its corner by Cairo's own rules,
  // and Cairo's dashes along a curve fall where its own measure of the
  // curve puts them; those stay with it.
  bool curves = false;
  std::size_t i = 0;
  const auto& cmds = scratch_.cmds;
  while (i < cmds.size()) {
    ++i;  // the move
    const bool smooth = i < cmds.size() && cmds[i] == PathData::kCurve;
    if (smooth && dashed) return false;
    while (i < cmds.size() && (cmds[i] == (smooth ? PathData::kCurve : PathData::kLine))) ++i;
    if (i < cmds.size() && cmds[i] == PathData::kClose) {
      if (dashed && !smooth) return false;
      ++i;
    }
    if (i < cmds.size() && cmds[i] != PathData::kMove) return false;  // lines and curves mixed
    curves |= smooth;
  }
  return curves || !detail::Rectilinear(scratch_, DeviceAffine());
}

Status Graphics::SetStrokeSnap(int per_pixel) {
  if (per_pixel < 0 || per_pixel > 256 || (per_pixel & (per_pixel - 1)) != 0) return Fail(InvalidParameter);
  stroke_snap_ = stroke_snap_allowed_ ? per_pixel : 0;
  return Ok;
}

// The whole figure moves by the same world offset, so its shape on the
// device, and with it the key of its kept coverage, is that of every other
// place with the same snapped phase. A power of two divides the 256 steps
// of the device's fixed-point grid, so the snapped first point lies on
// that grid exactly.
void Graphics::SnapStroke() {
  auto& pts = scratch_.pts;
  if (pts.empty()) return;
  const detail::Affine m = DeviceAffine();
  const double det = m.a * m.d - m.b * m.c;
  if (!(std::fabs(det) > 0.0)) return;
  const double x = m.a * pts[0].x + m.c * pts[0].y + m.e, y = m.b * pts[0].x + m.d * pts[0].y + m.f;
  const double q = stroke_snap_;
  const double dx = std::nearbyint(x * q) / q - x, dy = std::nearbyint(y * q) / q - y;
  const double wx = (m.d * dx - m.c * dy) / det, wy = (m.a * dy - m.b * dx) / det;
  for (auto& p : pts) p.x += wx, p.y += wy;
}

detail::Affine Graphics::DeviceAffine() const {
  const double off =
      (pixel_offset_ == PixelOffsetMode::Half || pixel_offset_ == PixelOffsetMode::HighQuality) ? 0.0 : 0.5;
  return detail::Affine{world_.a, world_.b, world_.c, world_.d, world_.e + off, world_.f + off};
}

bool Graphics::DrawThinStroke(double half_width, const double* dashes, int dash_count, double dash_offset,
                              ARGB colour) {
  const detail::Affine m = DeviceAffine();
  const auto& cmds = scratch_.cmds;
  const auto& pts = scratch_.pts;
  if (pts.empty()) return true;
  // The points on the device's fixed-point grid, counted from the first
  // one's pixel: the converter's sums and the kept coverage then do not
  // depend on where on the surface the figure lies.
  fixed_.resize(pts.size());
  for (std::size_t i = 0; i < pts.size(); ++i) fixed_[i] = detail::ThinStroke::ToDevice(m, pts[i]);
  const std::int64_t ox = fixed_[0].x >> 8, oy = fixed_[0].y >> 8;
  for (auto& p : fixed_) p.x -= ox * 256, p.y -= oy * 256;
  // Cairo's clip of whole pixels, when it has one; a clip run draws
  // unclipped and settles later.
  int x0 = 0, y0 = 0, x1 = dc_->width, y1 = dc_->height;
  if (!clip_infinite_ && !run_wanted_) {
    x0 = std::max(x0, clip_box_.X), y0 = std::max(y0, clip_box_.Y);
    x1 = std::min(x1, clip_box_.X + clip_box_.Width), y1 = std::min(y1, clip_box_.Y + clip_box_.Height);
  }
  const int dx = static_cast<int>(ox), dy = static_cast<int>(oy);
  // The box is filled only as far as the outline may reach: a side farther
  // off neither cuts the outline nor meets the converter's steps, so the
  // coverage is the one the whole box gives, and a small figure cut by the
  // surface's edge at one place shares it with the same cut elsewhere.
  std::int64_t fx0 = fixed_[0].x, fy0 = fixed_[0].y, fx1 = fx0, fy1 = fy0;
  for (const auto& p : fixed_) {
    fx0 = std::min(fx0, p.x), fx1 = std::max(fx1, p.x);
    fy0 = std::min(fy0, p.y), fy1 = std::max(fy1, p.y);
  }
  const double sq = m.a * m.a + m.b * m.b + m.c * m.c + m.d * m.d, det = m.a * m.d - m.b * m.c;
  const double stretch = std::sqrt((sq + std::sqrt(std::max(0.0, sq * sq - 4 * det * det))) / 2);
  // How far the outline reaches from its points: the pen, as far as a
  // miter join may take it where straight pieces meet (smooth curves have
  // no corners and lie within their control points), and a pixel more for
  // the converter's steps.
  bool corners = false;
  ForEachFigure(cmds, [&](std::size_t first, std::size_t k, bool smooth, bool closed) {
    corners = corners || (!smooth && (k - first > 2 || closed));
    return !corners;
  });
  const double joins = corners ? 10.0 : 1.0;
  const std::int64_t margin = static_cast<std::int64_t>(std::ceil(half_width * stretch * joins + 2.0));
  const auto clamp_box = [](std::int64_t v) {
    return static_cast<int>(std::clamp<std::int64_t>(v, INT_MIN / 2, INT_MAX / 2));
  };
  const int ex0 = clamp_box((fx0 >> 8) - margin), ey0 = clamp_box((fy0 >> 8) - margin);
  const int ex1 = clamp_box((fx1 >> 8) + margin + 1), ey1 = clamp_box((fy1 >> 8) + margin + 1);
  const int whole_x0 = x0 - dx, whole_y0 = y0 - dy, whole_x1 = x1 - dx, whole_y1 = y1 - dy;
  const int bx0 = std::max(whole_x0, ex0), by0 = std::max(whole_y0, ey0);
  const int bx1 = std::max(bx0, std::min(whole_x1, ex1)), by1 = std::max(by0, std::min(whole_y1, ey1));
  // Cairo draws on the image surface's pixels at once and keeps no copy of
  // them, so pixels written here need no flush or notice.
  std::uint32_t* const pixels = dc_->pixels.data();
  if (shape_cache_) {
    key_.Clear();
    key_.Add(std::uint32_t{1});  // a stroke of the layer's converter
    key_.Add(half_width);
    key_.Add(m.a), key_.Add(m.b), key_.Add(m.c), key_.Add(m.d);
    key_.Add(static_cast<std::uint32_t>(dashes != nullptr ? dash_count : 0));
    if (dashes != nullptr) {
      for (int i = 0; i < dash_count; ++i) key_.Add(dashes[i]);
      key_.Add(dash_offset);
    }
    ForEachFigure(cmds, [&](std::size_t first, std::size_t k, bool smooth, bool closed) {
      key_.Add(static_cast<std::uint32_t>((k - first) << 2 | (smooth ? 2 : 0) | (closed ? 1 : 0)));
      for (std::size_t p = first; p < k; ++p) {
        key_.Add(static_cast<std::uint32_t>(fixed_[p].x));
        key_.Add(static_cast<std::uint32_t>(fixed_[p].y));
      }
      return true;
    });
    key_.Seal();
    if (detail::Shapes().Paint(key_, bx0, by0, bx1, by1, pixels, dc_->width, dx, dy, colour, PaintClip()))
      return true;
  }
  const auto fill = [&](int fill_x0, int fill_y0, int fill_x1, int fill_y1) {
    if (far_runs_culled_)
      thin_.SetBox(fill_x0, fill_y0, fill_x1, fill_y1);
    else
      thin_.NoBox();
    const bool added = ForEachFigure(cmds, [&](std::size_t first, std::size_t k, bool smooth, bool closed) {
      if (smooth) return thin_.AddCurves(&fixed_[first], k - first, closed, m, half_width);
      thin_.AddFigure(&fixed_[first], k - first, closed, m, half_width, dashes, dash_count, dash_offset);
      return true;
    });
    if (!added) {
      thin_.Clear();
      return false;
    }
    thin_.Fill(fill_x0, fill_y0, fill_x1, fill_y1, &coverage_);
    return true;
  };
  if (!fill(bx0, by0, bx1, by1)) return false;
  // Should the steps have reached a side the fitted box drew in, the whole
  // box decides after all (then kept for it alone).
  const bool fitted = bx0 == whole_x0 && by0 == whole_y0 && bx1 == whole_x1 && by1 == whole_y1;
  if (!fitted && !coverage_.inside &&
      ((bx0 != whole_x0 && coverage_.x0 < std::int64_t{bx0} * 256) ||
       (bx1 != whole_x1 && coverage_.x1 >= std::int64_t{bx1} * 256) ||
       (by0 != whole_y0 && coverage_.y0 < std::int64_t{by0} * 256) ||
       (by1 != whole_y1 && coverage_.y1 > std::int64_t{by1} * 256))) {
    if (!fill(whole_x0, whole_y0, whole_x1, whole_y1)) return false;
  }
  if (shape_cache_) detail::Shapes().Keep(key_, coverage_);
  coverage_.Paint(pixels, dc_->width, dx, dy, colour, PaintClip());
  return true;
}

namespace {

// Narrows the box to the pixels a stroke of the path can touch: its points'
// device box (a curve stays within its control points) grown by the
// farthest the pen reaches past a point (a miter, a square cap) and the
// pixels of antialiasing. Left as it is when a point is not finite.
void NarrowToStrokeReach(cairo_t* cr, const cairo_matrix_t& ctm, const PathData& path, int& x0, int& y0, int& x1,
                         int& y1) {
  if (path.pts.empty()) return;
  double lx = HUGE_VAL, ly = HUGE_VAL, hx = -HUGE_VAL, hy = -HUGE_VAL;
  for (const PathData::Pt& p : path.pts) {
    const double x = ctm.xx * p.x + ctm.xy * p.y + ctm.x0, y = ctm.yx * p.x + ctm.yy * p.y + ctm.y0;
    lx = std::min(lx, x), hx = std::max(hx, x), ly = std::min(ly, y), hy = std::max(hy, y);
  }
  const double sq = ctm.xx * ctm.xx + ctm.yx * ctm.yx + ctm.xy * ctm.xy + ctm.yy * ctm.yy;
  const double det = ctm.xx * ctm.yy - ctm.xy * ctm.yx;
  const double stretch = std::sqrt((sq + std::sqrt(std::max(0.0, sq * sq - 4 * det * det))) / 2);
  const double reach = cairo_get_line_width(cr) / 2 * stretch * std::max(cairo_get_miter_limit(cr), 2.0) + 2.0;
  if (!std::isfinite(lx + hx + ly + hy + reach)) return;
  x0 = static_cast<int>(std::max<double>(x0, std::floor(lx - reach)));
  y0 = static_cast<int>(std::max<double>(y0, std::floor(ly - reach)));
  x1 = static_cast<int>(std::min<double>(x1, std::ceil(hx + reach)));
  y1 = static_cast<int>(std::min<double>(y1, std::ceil(hy + reach)));
}

}  // namespace

// A stroke Cairo rasterises, kept like the converter's: Cairo strokes it
// once onto a clear alpha surface covering the part of the box it draws in
// that the stroke can reach (so that it limits the outline to the same
// box), in opaque white, and what that covers is painted in the pen's
// colour as Cairo composites it. Kept for that box, the transform and the
// pen exactly as they are.
bool Graphics::KeptCairoStroke(double width, const double* dashes, int dash_count, double dash_offset,
                               const Pen& pen) {
  int x0 = 0, y0 = 0, x1 = dc_->width, y1 = dc_->height;
  if (!clip_infinite_ && !run_wanted_) {
    x0 = std::max(x0, clip_box_.X), y0 = std::max(y0, clip_box_.Y);
    x1 = std::min(x1, clip_box_.X + clip_box_.Width), y1 = std::min(y1, clip_box_.Y + clip_box_.Height);
  }
  if (x0 >= x1 || y0 >= y1) return true;
  cairo_matrix_t ctm;
  cairo_get_matrix(cr_, &ctm);
  const cairo_antialias_t antialias = cairo_get_antialias(cr_);
  key_.Clear();
  key_.Add(std::uint32_t{2});  // a stroke Cairo rasterises
  for (double v : {ctm.xx, ctm.yx, ctm.xy, ctm.yy, ctm.x0, ctm.y0, width, dash_offset}) key_.Add(v);
  key_.Add(static_cast<std::uint32_t>(antialias));
  key_.Add(static_cast<std::uint32_t>(pen.GetEndCap()));
  key_.Add(static_cast<std::uint32_t>(pen.GetLineJoin()));
  key_.Add(static_cast<std::uint32_t>(dash_count));
  for (int i = 0; i < dash_count; ++i) key_.Add(dashes[i]);
  for (int v : {x0, y0, x1, y1}) key_.Add(static_cast<std::uint32_t>(v));
  for (PathData::Cmd c : scratch_.cmds) key_.Add(static_cast<std::uint32_t>(c));
  for (const PathData::Pt& p : scratch_.pts) key_.Add(p.x), key_.Add(p.y);
  key_.Seal();
  std::uint32_t* const pixels = dc_->pixels.data();
  const ARGB colour = pen.GetColor().argb;
  if (detail::Shapes().Paint(key_, x0, y0, x1, y1, pixels, dc_->width, 0, 0, colour, PaintClip())) return true;
  // The mask need only hold what the stroke can cover: a short line on a
  // large surface would otherwise cost a surface-sized mask to clear and
  // scan. Outside that box the coverage is nothing either way.
  int mx0 = x0, my0 = y0, mx1 = x1, my1 = y1;
  NarrowToStrokeReach(cr_, ctm, scratch_, mx0, my0, mx1, my1);
  const int w = std::max(0, mx1 - mx0), h = std::max(0, my1 - my0);
  cairo_surface_t* mask = cairo_image_surface_create(CAIRO_FORMAT_A8, w, h);
  cairo_surface_set_device_offset(mask, -mx0, -my0);
  cairo_t* mc = cairo_create(mask);
  cairo_set_matrix(mc, &ctm);
  cairo_set_antialias(mc, antialias);
  cairo_set_line_width(mc, cairo_get_line_width(cr_));
  cairo_set_line_cap(mc, cairo_get_line_cap(cr_));
  cairo_set_line_join(mc, cairo_get_line_join(cr_));
  cairo_set_miter_limit(mc, cairo_get_miter_limit(cr_));
  if (dash_count > 0) cairo_set_dash(mc, dashes, dash_count, dash_offset);
  cairo_set_source_rgba(mc, 1.0, 1.0, 1.0, 1.0);
  EmitPathTo(mc, scratch_);
  cairo_stroke(mc);
  const bool ok = cairo_status(mc) == CAIRO_STATUS_SUCCESS;
  cairo_destroy(mc);
  cairo_surface_flush(mask);
  if (!ok || cairo_surface_status(mask) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(mask);
    return false;
  }
  const unsigned char* data = cairo_image_surface_get_data(mask);
  const int stride = cairo_image_surface_get_stride(mask);
  coverage_.Clear();
  for (int y = 0; y < h; ++y) {
    const unsigned char* row = data + static_cast<std::ptrdiff_t>(y) * stride;
    for (int x = 0; x < w;) {
      if (row[x] == 0) {
        // Most of the mask is clear: eight pixels at a time.
        std::uint64_t eight = 0;
        while (x + 8 <= w && (std::memcpy(&eight, row + x, 8), eight == 0)) x += 8;
        if (x < w && row[x] == 0) ++x;
        continue;
      }
      const int start = x;
      while (x < w && row[x] != 0) ++x;
      coverage_.spans.push_back(detail::Coverage::Span{my0 + y, mx0 + start, x - start,
                                                       static_cast<std::uint32_t>(coverage_.alpha.size())});
      coverage_.alpha.insert(coverage_.alpha.end(), row + start, row + x);
    }
  }
  cairo_surface_destroy(mask);
  coverage_.box_x0 = x0, coverage_.box_y0 = y0, coverage_.box_x1 = x1, coverage_.box_y1 = y1;
  coverage_.inside = false;
  coverage_.cairo_spans = true;
  detail::Shapes().Keep(key_, coverage_);
  coverage_.Paint(pixels, dc_->width, 0, 0, colour, PaintClip());
  return true;
}

Status Graphics::FillData(const SolidBrush& brush, FillMode mode, OpKind kind, const REAL* angles) {
  if (!Usable()) return Fail(InvalidParameter);
  if (mode != FillMode::Alternate && mode != FillMode::Winding) return Fail(InvalidParameter);
  Status st = CheckPath(scratch_, 0);
  if (st != Ok) return Fail(st);
  RecordShape(kind, true, brush.GetColor().argb, nullptr, mode, angles, 0);
  if (WhollyClipped(1.0)) return Ok;
  SyncMatrix();
  SyncAntialias();
  SetSource(brush.GetColor().argb);
  cairo_set_fill_rule(cr_, mode == FillMode::Winding ? CAIRO_FILL_RULE_WINDING : CAIRO_FILL_RULE_EVEN_ODD);
  BeforeDraw(op_box_.X, op_box_.Y, static_cast<double>(op_box_.X) + op_box_.Width,
             static_cast<double>(op_box_.Y) + op_box_.Height);
  fill_pass_ = true;
  EmitPath(scratch_);
  cairo_fill(cr_);
  return Ok;
}

// ---------------------------------------------------------------- clipping

RectF Graphics::GetClipDeviceBounds() const {
  RectF surf(0, 0, dc_ != nullptr ? static_cast<REAL>(dc_->width) : 0, dc_ != nullptr ? static_cast<REAL>(dc_->height) : 0);
  return clip_infinite_ ? surf : Intersect(surf, clip_bounds_);
}

Status Graphics::ApplyClipData(const PathData& data, FillMode fill, CombineMode mode) {
  Status st = CheckPath(data, 0);
  if (st != Ok) return Fail(st);
  RectF surf(0, 0, static_cast<REAL>(dc_->width), static_cast<REAL>(dc_->height));
  bool had_clip = !clip_infinite_;
  if (mode == CombineMode::Replace) {
    if (clip_per_op_) cairo_reset_clip(cr_);
    clip_bounds_ = Intersect(surf, op_box_);
  } else if (mode == CombineMode::Exclude) {
    clip_bounds_ = clip_infinite_ ? surf : clip_bounds_;
  } else {
    clip_bounds_ = Intersect(clip_infinite_ ? surf : clip_bounds_, op_box_);
  }
  clip_infinite_ = false;
  clip_record_.reset();
  if (clip_per_op_) NoteClipPart(data, fill, had_clip ? mode : (mode == CombineMode::Exclude ? mode : CombineMode::Replace));
  if (recorder_ != nullptr) {
    RecordedOp op;
    op.kind = OpKind::Clip;
    op.combine = mode;
    op.fill_mode = fill;
    std::size_t k = 0;
    for (auto cmd : data.cmds) {
      if (cmd == PathData::kClose) continue;
      std::size_t last = k + (cmd == PathData::kCurve ? 2 : 0);
      double x, y;
      world_.Apply(data.pts[last].x, data.pts[last].y, &x, &y);
      op.points.emplace_back(static_cast<REAL>(x), static_cast<REAL>(y));
      k += cmd == PathData::kCurve ? 3 : 1;
    }
    op.bounds = op_box_;
    op.visible = true;
    RecordCommon(op);
    recorder_->Add(std::move(op));
  }
  if (!clip_per_op_) {
    EndRun();
    if (!ClipMaskOf(data, fill, had_clip || mode == CombineMode::Exclude ? mode : CombineMode::Replace))
      return Fail(OutOfMemory);
    SetDeviceClip();
    return Ok;
  }
  SyncMatrix();
  // Clip edges are whole pixels, whatever the smoothing mode.
  cairo_set_antialias(cr_, CAIRO_ANTIALIAS_NONE);
  aa_dirty_ = true;
  cairo_set_fill_rule(cr_, fill == FillMode::Winding ? CAIRO_FILL_RULE_WINDING : CAIRO_FILL_RULE_EVEN_ODD);
  fill_pass_ = true;
  if (mode == CombineMode::Exclude) ExcludeFromCairoClip(cr_, data, fill, dc_->width, dc_->height, &matrix_dirty_);
  else EmitPath(data);
  cairo_clip(cr_);
  return Ok;
}

// The former per-operation clip less a shape: the shape's pixels, filled
// by its own rule, taken out of the surface with the even-odd rule.
void Graphics::ExcludeFromCairoClip(cairo_t* cr, const detail::PathData& data, FillMode fill, int width, int height,
                                    bool* matrix_dirty) {
  // The shape alone, as pixels of an A8 mask over the surface, then the
  // clip through the mask's holes: cairo clips by paths only, so the shape
  // is filled by its rule first and its outline traced from the pixels.
  cairo_surface_t* hole = cairo_image_surface_create(CAIRO_FORMAT_A8, width, height);
  cairo_t* hc = cairo_create(hole);
  cairo_matrix_t m;
  cairo_get_matrix(cr, &m);
  cairo_set_matrix(hc, &m);
  cairo_set_antialias(hc, CAIRO_ANTIALIAS_NONE);
  cairo_set_fill_rule(hc, fill == FillMode::Winding ? CAIRO_FILL_RULE_WINDING : CAIRO_FILL_RULE_EVEN_ODD);
  EmitPathTo(hc, data);
  cairo_fill(hc);
  cairo_destroy(hc);
  cairo_surface_flush(hole);
  const unsigned char* px = cairo_image_surface_get_data(hole);
  const int stride = cairo_image_surface_get_stride(hole);
  cairo_identity_matrix(cr);
  *matrix_dirty = true;
  cairo_new_path(cr);
  cairo_rectangle(cr, 0, 0, width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width;) {
      if (px[static_cast<std::size_t>(y) * stride + x] == 0) {
        ++x;
        continue;
      }
      int a = x;
      while (x < width && px[static_cast<std::size_t>(y) * stride + x] != 0) ++x;
      cairo_rectangle(cr, a, y, x - a, 1);
    }
  cairo_surface_destroy(hole);
  cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
}

// With the former per-operation clip, the parts that make the clip, in
// device units, so that a ClipState can put it back.
void Graphics::NoteClipPart(const detail::PathData& data, FillMode fill, CombineMode mode) {
  auto parts = std::make_shared<std::vector<detail::ClipPart>>();
  if (mode != CombineMode::Replace && clip_parts_ != nullptr) *parts = *clip_parts_;
  detail::ClipPart part{data, fill, mode};
  // Where the clip's edge falls, as SyncMatrix places it.
  const double off =
      (pixel_offset_ == PixelOffsetMode::Half || pixel_offset_ == PixelOffsetMode::HighQuality) ? 0.0 : 0.5;
  for (PathData::Pt& p : part.data.pts) {
    world_.Apply(p.x, p.y, &p.x, &p.y);
    p.x += off, p.y += off;
  }
  parts->push_back(std::move(part));
  clip_parts_ = std::move(parts);
}

// Clips replaced by the same outline under the same transform on a surface
// of the same size give the same pixels: a map frame sets its outline clip
// every frame. A few are kept for the process (never per device context).
class KeptClips {
 public:
  static constexpr std::size_t kMax = 32;
  static constexpr std::size_t kMaxBytes = std::size_t{1} << 20;
  std::shared_ptr<const detail::ClipPixels> Find(const detail::ShapeKey& key) {
    std::lock_guard<std::mutex> lock(mu_);
    for (auto it = kept_.begin(); it != kept_.end(); ++it) {
      if (it->first.hash != key.hash || it->first.words != key.words) continue;
      kept_.splice(kept_.begin(), kept_, it);
      return kept_.front().second;
    }
    return nullptr;
  }
  void Keep(const detail::ShapeKey& key, std::shared_ptr<const detail::ClipPixels> clip) {
    if (clip->mask.size() > kMaxBytes) return;
    std::lock_guard<std::mutex> lock(mu_);
    kept_.emplace_front(key, std::move(clip));
    if (kept_.size() > kMax) kept_.pop_back();
  }

 private:
  std::mutex mu_;
  std::list<std::pair<detail::ShapeKey, std::shared_ptr<const detail::ClipPixels>>> kept_;
};

KeptClips& Clips() {
  static auto* clips = new KeptClips;
  return *clips;
}

// A box wholly inside the clip: rows of one inside run each, grown from the
// widest row up and down while the box keeps growing.
Rect InnerBox(detail::ClipPixels& c, int surface_width) {
  const int h = static_cast<int>(c.outside_row.size()) - 1;
  if (h <= 0) return Rect(0, 0, 0, 0);
  // The inside run of row r, or an empty one when the row has none or more.
  auto inside = [&](int r, int& a, int& b) {
    const int first = c.outside_row[r], last = c.outside_row[r + 1];
    a = 0, b = surface_width;
    for (int i = first; i < last; ++i) {
      if (c.outside[i].x0 <= a) {
        a = std::max(a, c.outside[i].x1);
      } else if (c.outside[i].x1 >= b) {
        b = std::min(b, c.outside[i].x0);
      } else {
        a = b = 0;  // an outside run in the middle: more than one inside run
        return;
      }
    }
    if (a > b) a = b = 0;
  };
  int widest = 0, best = -1;
  c.inside.resize(static_cast<std::size_t>(h));
  for (int r = 0; r < h; ++r) {
    int a, b;
    inside(r, a, b);
    c.inside[static_cast<std::size_t>(r)] = {a, b};
    if (b - a > best) best = b - a, widest = r;
  }
  int a, b;
  inside(widest, a, b);
  int r0 = widest, r1 = widest + 1;
  for (bool grew = true; grew;) {
    grew = false;
    for (int r : {r0 - 1, r1}) {
      if (r < 0 || r >= h) continue;
      int ra, rb;
      inside(r, ra, rb);
      const int na = std::max(a, ra), nb = std::min(b, rb);
      if (nb <= na || static_cast<long>(nb - na) * (r1 - r0 + 1) <= static_cast<long>(b - a) * (r1 - r0)) continue;
      a = na, b = nb;
      (r < r0 ? r0 : r1) = r < r0 ? r : r + 1;
      grew = true;
    }
  }
  if (b <= a) return Rect(0, 0, 0, 0);
  return Rect(a, c.y0 + r0, b - a, r1 - r0);
}

// The pixels the clip path covers, filled the way a hard-edged clip mask is
// (aliased), over the path's device box; an intersection keeps only the
// pixels the previous mask also held. Lists, for each row of the mask, the
// runs of the surface's row outside the clip, and finds whether the clip is
// a plain box (clip_box_).
bool Graphics::ClipMaskOf(const PathData& data, FillMode fill, CombineMode mode) {
  double off = (pixel_offset_ == PixelOffsetMode::Half || pixel_offset_ == PixelOffsetMode::HighQuality) ? 0.0 : 0.5;
  const detail::ClipPixels* prev = mode != CombineMode::Replace ? clip_.get() : nullptr;
  // A clip combined with one the process keeps is kept too, keyed on it:
  // a map frame cuts the same boxes out of the same outline every frame.
  const bool keepable = shape_cache_ && (mode == CombineMode::Replace || prev == nullptr || prev->serial != 0);
  if (keepable) {
    key_.Clear();
    key_.Add(std::uint32_t{3});  // a clip
    key_.Add(static_cast<std::uint32_t>(mode));
    const std::uint64_t on = prev != nullptr ? prev->serial : 0;
    key_.Add(static_cast<std::uint32_t>(on)), key_.Add(static_cast<std::uint32_t>(on >> 32));
    for (double v : {world_.a, world_.b, world_.c, world_.d, world_.e + off, world_.f + off}) key_.Add(v);
    key_.Add(static_cast<std::uint32_t>(fill));
    key_.Add(static_cast<std::uint32_t>(dc_->width)), key_.Add(static_cast<std::uint32_t>(dc_->height));
    for (PathData::Cmd c : data.cmds) key_.Add(static_cast<std::uint32_t>(c));
    for (const PathData::Pt& p : data.pts) key_.Add(p.x), key_.Add(p.y);
    key_.Seal();
    if (auto kept = Clips().Find(key_)) {
      clip_ = std::move(kept);
      clip_box_ = clip_->box;
      return true;
    }
  }
  const bool exclude = mode == CombineMode::Exclude;
  int x0 = 0, y0 = 0, x1 = 0, y1 = 0;  // the path's box, a pixel wider each side, on the surface
  if (exclude) {
    x1 = dc_->width, y1 = dc_->height;  // what is left of the clip, or of the surface
  } else if (!op_empty_) {
    auto lo = [](double v, int hi) { return static_cast<int>(std::clamp(std::floor(v) - 1, 0.0, static_cast<double>(hi))); };
    auto up = [](double v, int hi) { return static_cast<int>(std::clamp(std::ceil(v) + 1, 0.0, static_cast<double>(hi))); };
    x0 = lo(op_box_.X + off, dc_->width), x1 = up(static_cast<double>(op_box_.X) + op_box_.Width + off, dc_->width);
    y0 = lo(op_box_.Y + off, dc_->height), y1 = up(static_cast<double>(op_box_.Y) + op_box_.Height + off, dc_->height);
  }
  if (prev != nullptr) {
    x0 = std::max(x0, prev->x0), y0 = std::max(y0, prev->y0);
    x1 = std::min(x1, prev->x0 + prev->w), y1 = std::min(y1, prev->y0 + prev->h);
  }
  auto next = std::make_shared<detail::ClipPixels>();
  detail::ClipPixels& c = *next;
  int w = std::max(0, x1 - x0), h = std::max(0, y1 - y0);
  if (w == 0 || h == 0) w = h = 0;
  int stride = cairo_format_stride_for_width(CAIRO_FORMAT_A8, std::max(w, 1));
  c.mask.assign(static_cast<std::size_t>(stride) * h, 0);
  if (h > 0) {
    cairo_surface_t* ms = cairo_image_surface_create_for_data(c.mask.data(), CAIRO_FORMAT_A8, w, h, stride);
    cairo_surface_set_device_offset(ms, -x0, -y0);
    cairo_t* mc = cairo_create(ms);
    if (cairo_status(mc) != CAIRO_STATUS_SUCCESS) {
      cairo_destroy(mc);
      cairo_surface_destroy(ms);
      return false;
    }
    cairo_matrix_t m;
    cairo_matrix_init(&m, world_.a, world_.b, world_.c, world_.d, world_.e + off, world_.f + off);
    cairo_set_matrix(mc, &m);
    cairo_set_antialias(mc, CAIRO_ANTIALIAS_NONE);
    cairo_set_fill_rule(mc, fill == FillMode::Winding ? CAIRO_FILL_RULE_WINDING : CAIRO_FILL_RULE_EVEN_ODD);
    fill_pass_ = true;
    EmitPathTo(mc, data);
    cairo_fill(mc);
    cairo_destroy(mc);
    cairo_surface_flush(ms);
    cairo_surface_destroy(ms);
    // Excluded, the shape's pixels are the holes in what was there.
    for (int y = 0; y < h; ++y) {
      const std::uint8_t* before =
          prev != nullptr ? &prev->mask[static_cast<std::size_t>(y + y0 - prev->y0) * prev->stride + (x0 - prev->x0)]
                          : nullptr;
      std::uint8_t* row = &c.mask[static_cast<std::size_t>(y) * stride];
      if (exclude) {
        for (int x = 0; x < w; ++x) row[x] = static_cast<std::uint8_t>(~row[x] & (before != nullptr ? before[x] : 0xFF));
      } else if (before != nullptr) {
        for (int x = 0; x < w; ++x) row[x] &= before[x];
      }
    }
  }
  c.x0 = x0, c.y0 = y0, c.w = w, c.h = h, c.stride = stride;

  // An aliased fill covers a pixel fully or not at all: whole words of 0 or
  // 0xFF let the scan skip eight pixels at a time.
  auto word = [](const std::uint8_t* p) {
    std::uint64_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
  };
  int tx0 = w, tx1 = -1, ty0 = h, ty1 = -1;  // tight box of the covered pixels
  bool box = true;
  for (int y = 0; y < h; ++y) {
    const std::uint8_t* row = &c.mask[static_cast<std::size_t>(y) * stride];
    c.outside_row.push_back(static_cast<int>(c.outside.size()));
    int from = 0, x = 0, runs = 0;  // from: start of the current outside run (surface x)
    while (x < w) {
      while (x + 8 <= w && word(row + x) == 0) x += 8;
      while (x < w && row[x] == 0) ++x;
      if (x == w) break;
      int a = x;
      while (x + 8 <= w && word(row + x) == ~std::uint64_t{0}) x += 8;
      while (x < w && row[x] != 0) ++x;
      if (x0 + a > from) c.outside.push_back({from, x0 + a});
      from = x0 + x;
      if (runs++ == 0 && ty1 >= 0 && (a != tx0 || x - 1 != tx1)) box = false;
      tx0 = std::min(tx0, a), tx1 = std::max(tx1, x - 1);
      if (ty1 >= 0 && ty1 != y - 1) box = false;  // a row without pixels in between
      ty0 = std::min(ty0, y), ty1 = y;
    }
    if (runs > 1) box = false;
    if (from < dc_->width) c.outside.push_back({from, dc_->width});
  }
  c.outside_row.push_back(static_cast<int>(c.outside.size()));
  if (ty1 < 0) {
    c.box = Rect(0, 0, 0, 0);
  } else {
    c.box = Rect(x0 + tx0, y0 + ty0, tx1 - tx0 + 1, ty1 - ty0 + 1);
  }
  if (box) c.outside_row.clear();
  c.inner = InnerBox(c, dc_->width);
  clip_box_ = c.box;
  if (keepable) {
    static std::atomic<std::uint64_t> serials{0};
    c.serial = ++serials;
  }
  clip_ = next;
  if (keepable) Clips().Keep(key_, std::move(next));
  return true;
}

// A clip that is a plain box is cairo's (a region, free per operation). Any
// other runs without a cairo clip at all: a clip box would change how cairo
// splits the shapes that cross it, and so their smoothed pixels.
void Graphics::SetDeviceClip() {
  cairo_reset_clip(cr_);
  run_wanted_ = !clip_->outside_row.empty();
  if (run_wanted_) return;
  cairo_identity_matrix(cr_);
  matrix_dirty_ = true;
  cairo_new_path(cr_);
  cairo_rectangle(cr_, clip_box_.X, clip_box_.Y, clip_box_.Width, clip_box_.Height);
  cairo_clip(cr_);
}

void Graphics::ClaimPixels() {
  for (Graphics* other : clip_runs) {
    if (other->dc_ == dc_) {
      other->SuspendRun();
      break;
    }
  }
  if (!run_wanted_) return;
  if (!saved_) {
    std::size_t need = static_cast<std::size_t>(dc_->width) * dc_->height;
    if (spare_saved_size >= need) {
      saved_ = std::move(spare_saved);
      saved_size_ = spare_saved_size;
      spare_saved_size = 0;
    } else {
      // Left uninitialised: only the rows a run draws on are ever touched.
      saved_.reset(new std::uint32_t[need]);
      saved_size_ = need;
    }
    saved_cols_.assign(static_cast<std::size_t>(dc_->height), Span{0, 0});
  }
  saved_y0_ = dc_->height, saved_y1_ = 0;
  cairo_surface_flush(surface_);
  clip_runs.push_back(this);
  run_owned_ = true;
}

// Keeps the pixels of the box as they are before the run draws on them; a
// row's saved columns only grow, so each pixel is saved once per run.
void Graphics::SaveOutside(double bx0, double by0, double bx1, double by1) {
  auto at = [](double v, int hi) {
    return static_cast<int>(std::clamp(v, 0.0, static_cast<double>(hi)));  // NaN gives 0
  };
  int x0 = at(std::floor(bx0) - 2, dc_->width), x1 = at(std::ceil(bx1) + 2, dc_->width);
  int y0 = at(std::floor(by0) - 2, dc_->height), y1 = at(std::ceil(by1) + 2, dc_->height);
  if (!(bx0 <= bx1 && by0 <= by1)) x0 = 0, x1 = dc_->width, y0 = 0, y1 = dc_->height;
  if (x0 >= x1 || y0 >= y1) return;
  // Wholly inside the clip: nothing of it is ever put back.
  const Rect& in = clip_->inner;
  if (x0 >= in.X && x1 <= in.X + in.Width && y0 >= in.Y && y1 <= in.Y + in.Height) return;
  const detail::ClipPixels& clip = *clip_;
  for (int y = y0; y < y1; ++y) {
    // A row of the box inside the clip's run needs nothing kept.
    const int r = y - clip.y0;
    if (r >= 0 && r < static_cast<int>(clip.inside.size()) && x0 >= clip.inside[static_cast<std::size_t>(r)].x0 &&
        x1 <= clip.inside[static_cast<std::size_t>(r)].x1)
      continue;
    Span& c = saved_cols_[static_cast<std::size_t>(y)];
    std::size_t row = static_cast<std::size_t>(y) * dc_->width;
    if (c.x0 >= c.x1) {
      SaveOutsideClip(row, y, x0, x1);
      c = {x0, x1};
      continue;
    }
    if (x0 < c.x0) SaveOutsideClip(row, y, x0, c.x0), c.x0 = x0;
    if (x1 > c.x1) SaveOutsideClip(row, y, c.x1, x1), c.x1 = x1;
  }
  saved_y0_ = std::min(saved_y0_, y0), saved_y1_ = std::max(saved_y1_, y1);
}

// Keeps the pixels of [x0, x1) in row y that lie outside the clip: only
// those are ever put back.
void Graphics::SaveOutsideClip(std::size_t row, int y, int x0, int x1) {
  const std::uint32_t* px = dc_->pixels.data();
  std::uint32_t* keep = saved_.get();
  auto save = [&](int a, int b) {
    if (a < b) std::memcpy(keep + row + a, px + row + a, static_cast<std::size_t>(b - a) * sizeof(std::uint32_t));
  };
  const detail::ClipPixels& c = *clip_;
  const int r = y - c.y0;
  if (r < 0 || r >= c.h) {
    save(x0, x1);
    return;
  }
  for (int i = c.outside_row[r]; i < c.outside_row[r + 1]; ++i)
    save(std::max(x0, c.outside[i].x0), std::min(x1, c.outside[i].x1));
}

// Puts the saved pixels outside the clip back; the run resumes at the next
// drawing call.
void Graphics::SuspendRun() {
  if (!run_owned_) return;
  cairo_surface_flush(surface_);
  std::uint32_t* px = dc_->pixels.data();
  const std::uint32_t* keep = saved_.get();
  auto restore = [&](std::size_t row, int a, int b) {
    if (a < b) std::memcpy(px + row + a, keep + row + a, static_cast<std::size_t>(b - a) * sizeof(std::uint32_t));
  };
  for (int y = saved_y0_; y < saved_y1_; ++y) {
    Span& c = saved_cols_[static_cast<std::size_t>(y)];
    if (c.x0 >= c.x1) continue;
    std::size_t row = static_cast<std::size_t>(y) * dc_->width;
    const detail::ClipPixels& clip = *clip_;
    int r = y - clip.y0;
    if (r < 0 || r >= clip.h) {
      restore(row, c.x0, c.x1);
    } else {
      for (int i = clip.outside_row[r]; i < clip.outside_row[r + 1]; ++i)
        restore(row, std::max(c.x0, clip.outside[i].x0), std::min(c.x1, clip.outside[i].x1));
    }
    c = {0, 0};
  }
  cairo_surface_mark_dirty(surface_);
  clip_runs.erase(std::find(clip_runs.begin(), clip_runs.end(), this));
  run_owned_ = false;
}

void Graphics::EndRun() {
  SuspendRun();
  run_wanted_ = false;
}

namespace detail {

void SettleClippedDrawing(const DeviceContext& dc) {
  for (Graphics* g : clip_runs) {
    if (g->dc_ == &dc) {
      g->SuspendRun();
      return;
    }
  }
}

void UseClipPerOperation(bool on) { clip_per_op_setting = on; }

void UseCairoForAllStrokes(bool on) { cairo_strokes_setting = on; }

void UseShapeCache(bool on) { shape_cache_setting = on; }

void UseGlyphRuns(bool on) { glyph_runs_setting = on; }

void UseFarRunCulling(bool on) { far_run_culling_setting = on; }

void UseStrokeSnap(bool on) { stroke_snap_setting = on; }

}  // namespace detail

Status Graphics::SetClip(const RectF& r, CombineMode mode) {
  if (!Usable()) return Fail(InvalidParameter);
  if (mode != CombineMode::Replace && mode != CombineMode::Intersect && mode != CombineMode::Exclude)
    return Fail(NotImplemented);
  if (!AllFinite({r.X, r.Y, r.Width, r.Height}) || r.Width < 0 || r.Height < 0) return Fail(InvalidParameter);
  scratch_.Clear();
  scratch_.MoveTo(r.X, r.Y);
  scratch_.LineTo(static_cast<double>(r.X) + r.Width, r.Y);
  scratch_.LineTo(static_cast<double>(r.X) + r.Width, static_cast<double>(r.Y) + r.Height);
  scratch_.LineTo(r.X, static_cast<double>(r.Y) + r.Height);
  scratch_.Close();
  return ApplyClipData(scratch_, FillMode::Alternate, mode);
}

Status Graphics::SetClip(const Rect& r, CombineMode mode) {
  return SetClip(RectF(static_cast<REAL>(r.X), static_cast<REAL>(r.Y), static_cast<REAL>(r.Width),
                       static_cast<REAL>(r.Height)),
                 mode);
}

Status Graphics::SetClip(const GraphicsPath& path, CombineMode mode) {
  if (!Usable()) return Fail(InvalidParameter);
  if (mode != CombineMode::Replace && mode != CombineMode::Intersect && mode != CombineMode::Exclude)
    return Fail(NotImplemented);
  if (path.GetLastStatus() != Ok) return Fail(path.GetLastStatus());
  return ApplyClipData(path.Data(), path.GetFillMode(), mode);
}

Status Graphics::SetClip(const Region& region, CombineMode mode) {
  if (!Usable()) return Fail(InvalidParameter);
  if (mode != CombineMode::Replace && mode != CombineMode::Intersect) return Fail(NotImplemented);
  if (region.GetLastStatus() != Ok) return Fail(region.GetLastStatus());
  if (region.IsInfinite()) return mode == CombineMode::Replace ? ResetClip() : Ok;
  for (std::size_t i = 0; i < region.Parts().size(); ++i) {
    const auto& part = region.Parts()[i];
    Status st = ApplyClipData(part.data, part.mode, i == 0 ? mode : CombineMode::Intersect);
    if (st != Ok) return st;
  }
  return Ok;
}

void Graphics::DropClip(OpKind recorded_as) {
  EndRun();
  cairo_reset_clip(cr_);
  clip_infinite_ = true;
  clip_.reset();
  clip_record_.reset();
  clip_parts_.reset();
  if (recorder_ != nullptr) {
    RecordedOp op;
    op.kind = recorded_as;
    RecordCommon(op);
    recorder_->Add(std::move(op));
  }
}

Status Graphics::ResetClip() {
  if (!Usable()) return Fail(InvalidParameter);
  DropClip(OpKind::ResetClip);
  return Ok;
}

ClipState Graphics::GetClipState() const {
  ClipState state;
  if (clip_infinite_ || !Usable()) return state;
  if (clip_record_ == nullptr) {
    auto record = std::make_shared<detail::ClipRecord>();
    record->bounds = clip_bounds_;
    record->pixels = clip_;
    record->parts = clip_parts_;
    clip_record_ = std::move(record);
  }
  state.record_ = clip_record_;
  return state;
}

Status Graphics::SetClipState(const ClipState& state) {
  if (!Usable()) return Fail(InvalidParameter);
  if (state.record_ == nullptr) {
    if (!clip_infinite_) DropClip(OpKind::ClipState);
    return Ok;
  }
  if (state.record_ == clip_record_ && !clip_infinite_) return Ok;
  const detail::ClipRecord& r = *state.record_;
  if (clip_per_op_ ? r.parts == nullptr : r.pixels == nullptr) return Fail(InvalidParameter);
  EndRun();
  clip_infinite_ = false;
  clip_bounds_ = r.bounds;
  clip_record_ = state.record_;
  if (recorder_ != nullptr) {
    RecordedOp op;
    op.kind = OpKind::ClipState;
    op.bounds = r.bounds;
    RecordCommon(op);
    recorder_->Add(std::move(op));
  }
  if (!clip_per_op_) {
    clip_ = r.pixels;
    clip_box_ = clip_->box;
    SetDeviceClip();
    return Ok;
  }
  clip_parts_ = r.parts;
  cairo_reset_clip(cr_);
  cairo_identity_matrix(cr_);
  cairo_set_antialias(cr_, CAIRO_ANTIALIAS_NONE);
  for (const detail::ClipPart& part : *r.parts) {
    cairo_set_fill_rule(cr_, part.fill == FillMode::Winding ? CAIRO_FILL_RULE_WINDING : CAIRO_FILL_RULE_EVEN_ODD);
    fill_pass_ = true;
    if (part.mode == CombineMode::Exclude)
      ExcludeFromCairoClip(cr_, part.data, part.fill, dc_->width, dc_->height, &matrix_dirty_);
    else
      EmitPath(part.data);
    cairo_clip(cr_);
  }
  matrix_dirty_ = aa_dirty_ = true;
  return Ok;
}

// ---------------------------------------------------------------- drawing

Status Graphics::Clear(const Color& color) {
  if (!Usable()) return Fail(InvalidParameter);
  if (recorder_ != nullptr) {
    RecordedOp op;
    op.kind = OpKind::Clear;
    op.filled = true;
    op.color = color.argb;
    op.bounds = GetClipDeviceBounds();
    RecordCommon(op);
    recorder_->Add(std::move(op));
  }
  BeforeDraw(0, 0, dc_->width, dc_->height);
  cairo_identity_matrix(cr_);
  matrix_dirty_ = true;
  cairo_set_operator(cr_, CAIRO_OPERATOR_SOURCE);
  SetSource(color.argb);
  cairo_paint(cr_);
  cairo_set_operator(cr_, CAIRO_OPERATOR_OVER);
  return Ok;
}

Status Graphics::DrawLine(const Pen& pen, REAL x1, REAL y1, REAL x2, REAL y2) {
  if (!AllFinite({x1, y1, x2, y2})) return Fail(InvalidParameter);
  scratch_.Clear();
  scratch_.MoveTo(x1, y1);
  scratch_.LineTo(x2, y2);
  rec_points_.assign({PointF(x1, y1), PointF(x2, y2)});
  return StrokeData(pen, OpKind::Line, nullptr);
}

Status Graphics::DrawLineI(const Pen& pen, int x1, int y1, int x2, int y2) {
  return DrawLine(pen, static_cast<REAL>(x1), static_cast<REAL>(y1), static_cast<REAL>(x2), static_cast<REAL>(y2));
}

namespace {
// The recorded points only when something records them.
template <typename P>
void PolyTo(PathData& d, std::vector<PointF>* rec, const P* pts, int count, bool close) {
  d.Clear();
  if (rec != nullptr) rec->clear();
  for (int i = 0; i < count; ++i) {
    double x = pts[i].X, y = pts[i].Y;
    if (i == 0)
      d.MoveTo(x, y);
    else
      d.LineTo(x, y);
    if (rec != nullptr) rec->emplace_back(static_cast<REAL>(x), static_cast<REAL>(y));
  }
  if (close) d.Close();
}
}  // namespace

Status Graphics::DrawLines(const Pen& pen, const PointF* pts, int count) {
  if (!PointsOk(pts, count, 2)) return Fail(InvalidParameter);
  PolyTo(scratch_, recorder_ != nullptr ? &rec_points_ : nullptr, pts, count, false);
  return StrokeData(pen, OpKind::Lines, nullptr);
}

Status Graphics::DrawLinesI(const Pen& pen, const Point* pts, int count) {
  if (!PointsOk(pts, count, 2)) return Fail(InvalidParameter);
  PolyTo(scratch_, recorder_ != nullptr ? &rec_points_ : nullptr, pts, count, false);
  return StrokeData(pen, OpKind::Lines, nullptr);
}

Status Graphics::DrawPolygon(const Pen& pen, const PointF* pts, int count) {
  if (!PointsOk(pts, count, 2)) return Fail(InvalidParameter);
  PolyTo(scratch_, recorder_ != nullptr ? &rec_points_ : nullptr, pts, count, true);
  return StrokeData(pen, OpKind::Polygon, nullptr);
}

Status Graphics::DrawPolygonI(const Pen& pen, const Point* pts, int count) {
  if (!PointsOk(pts, count, 2)) return Fail(InvalidParameter);
  PolyTo(scratch_, recorder_ != nullptr ? &rec_points_ : nullptr, pts, count, true);
  return StrokeData(pen, OpKind::Polygon, nullptr);
}

Status Graphics::FillPolygon(const SolidBrush& brush, const PointF* pts, int count, FillMode mode) {
  if (!PointsOk(pts, count, 3)) return Fail(InvalidParameter);
  PolyTo(scratch_, recorder_ != nullptr ? &rec_points_ : nullptr, pts, count, true);
  return FillData(brush, mode, OpKind::Polygon, nullptr);
}

Status Graphics::FillPolygonI(const SolidBrush& brush, const Point* pts, int count, FillMode mode) {
  if (!PointsOk(pts, count, 3)) return Fail(InvalidParameter);
  PolyTo(scratch_, recorder_ != nullptr ? &rec_points_ : nullptr, pts, count, true);
  return FillData(brush, mode, OpKind::Polygon, nullptr);
}

namespace {
bool BoxOk(double x, double y, double w, double h) { return AllFinite({x, y, w, h}) && w > 0 && h > 0; }
void RectPath(PathData& d, std::vector<PointF>& rec, double x, double y, double w, double h) {
  d.Clear();
  d.MoveTo(x, y);
  d.LineTo(x + w, y);
  d.LineTo(x + w, y + h);
  d.LineTo(x, y + h);
  d.Close();
  rec.assign({PointF(static_cast<REAL>(x), static_cast<REAL>(y)), PointF(static_cast<REAL>(x + w), static_cast<REAL>(y)),
              PointF(static_cast<REAL>(x + w), static_cast<REAL>(y + h)),
              PointF(static_cast<REAL>(x), static_cast<REAL>(y + h))});
}
}  // namespace

Status Graphics::DrawRectangle(const Pen& pen, REAL x, REAL y, REAL w, REAL h) {
  if (!BoxOk(x, y, w, h)) return Fail(InvalidParameter);
  RectPath(scratch_, rec_points_, x, y, w, h);
  return StrokeData(pen, OpKind::Rectangle, nullptr);
}

Status Graphics::DrawRectangleI(const Pen& pen, int x, int y, int w, int h) {
  return DrawRectangle(pen, static_cast<REAL>(x), static_cast<REAL>(y), static_cast<REAL>(w), static_cast<REAL>(h));
}

Status Graphics::FillRectangle(const SolidBrush& brush, REAL x, REAL y, REAL w, REAL h) {
  if (!BoxOk(x, y, w, h)) return Fail(InvalidParameter);
  RectPath(scratch_, rec_points_, x, y, w, h);
  return FillData(brush, FillMode::Alternate, OpKind::Rectangle, nullptr);
}

Status Graphics::FillRectangleI(const SolidBrush& brush, int x, int y, int w, int h) {
  return FillRectangle(brush, static_cast<REAL>(x), static_cast<REAL>(y), static_cast<REAL>(w), static_cast<REAL>(h));
}

Status Graphics::DrawEllipse(const Pen& pen, REAL x, REAL y, REAL w, REAL h) {
  if (!BoxOk(x, y, w, h)) return Fail(InvalidParameter);
  scratch_.Clear();
  scratch_.Ellipse(x, y, w, h);
  rec_points_.assign({PointF(x + w / 2, y + h / 2)});
  return StrokeData(pen, OpKind::Ellipse, nullptr);
}

Status Graphics::DrawEllipseI(const Pen& pen, int x, int y, int w, int h) {
  return DrawEllipse(pen, static_cast<REAL>(x), static_cast<REAL>(y), static_cast<REAL>(w), static_cast<REAL>(h));
}

Status Graphics::FillEllipse(const SolidBrush& brush, REAL x, REAL y, REAL w, REAL h) {
  if (!BoxOk(x, y, w, h)) return Fail(InvalidParameter);
  scratch_.Clear();
  scratch_.Ellipse(x, y, w, h);
  rec_points_.assign({PointF(x + w / 2, y + h / 2)});
  return FillData(brush, FillMode::Alternate, OpKind::Ellipse, nullptr);
}

Status Graphics::FillEllipseI(const SolidBrush& brush, int x, int y, int w, int h) {
  return FillEllipse(brush, static_cast<REAL>(x), static_cast<REAL>(y), static_cast<REAL>(w), static_cast<REAL>(h));
}

namespace {
// Arc path plus the recorded start, end and centre.
void ArcPath(PathData& d, std::vector<PointF>& rec, double x, double y, double w, double h, double start, double sweep,
             bool pie) {
  d.Clear();
  double cx = x + w / 2, cy = y + h / 2;
  if (pie) d.MoveTo(cx, cy);
  d.Arc(x, y, w, h, start, sweep, pie);
  // The arc's first point is the one after the centre for pies.
  std::size_t first = pie ? 1 : 0;
  auto s = d.pts[first];
  auto e = d.pts.back();
  if (pie) d.Close();
  rec.assign({PointF(static_cast<REAL>(s.x), static_cast<REAL>(s.y)), PointF(static_cast<REAL>(e.x), static_cast<REAL>(e.y)),
              PointF(static_cast<REAL>(cx), static_cast<REAL>(cy))});
}
}  // namespace

Status Graphics::DrawArc(const Pen& pen, REAL x, REAL y, REAL w, REAL h, REAL start, REAL sweep) {
  if (!BoxOk(x, y, w, h) || !AllFinite({start, sweep})) return Fail(InvalidParameter);
  ArcPath(scratch_, rec_points_, x, y, w, h, start, sweep, false);
  REAL angles[2] = {start, sweep};
  return StrokeData(pen, OpKind::Arc, angles);
}

Status Graphics::DrawArcI(const Pen& pen, int x, int y, int w, int h, REAL start, REAL sweep) {
  return DrawArc(pen, static_cast<REAL>(x), static_cast<REAL>(y), static_cast<REAL>(w), static_cast<REAL>(h), start,
                 sweep);
}

Status Graphics::DrawPie(const Pen& pen, REAL x, REAL y, REAL w, REAL h, REAL start, REAL sweep) {
  if (!BoxOk(x, y, w, h) || !AllFinite({start, sweep})) return Fail(InvalidParameter);
  ArcPath(scratch_, rec_points_, x, y, w, h, start, sweep, true);
  REAL angles[2] = {start, sweep};
  return StrokeData(pen, OpKind::Pie, angles);
}

Status Graphics::DrawPieI(const Pen& pen, int x, int y, int w, int h, REAL start, REAL sweep) {
  return DrawPie(pen, static_cast<REAL>(x), static_cast<REAL>(y), static_cast<REAL>(w), static_cast<REAL>(h), start,
                 sweep);
}

Status Graphics::FillPie(const SolidBrush& brush, REAL x, REAL y, REAL w, REAL h, REAL start, REAL sweep) {
  if (!BoxOk(x, y, w, h) || !AllFinite({start, sweep})) return Fail(InvalidParameter);
  ArcPath(scratch_, rec_points_, x, y, w, h, start, sweep, true);
  REAL angles[2] = {start, sweep};
  return FillData(brush, FillMode::Alternate, OpKind::Pie, angles);
}

Status Graphics::FillPieI(const SolidBrush& brush, int x, int y, int w, int h, REAL start, REAL sweep) {
  return FillPie(brush, static_cast<REAL>(x), static_cast<REAL>(y), static_cast<REAL>(w), static_cast<REAL>(h), start,
                 sweep);
}

Status Graphics::DrawCurve(const Pen& pen, const PointF* pts, int count, REAL tension) {
  if (!PointsOk(pts, count, 2) || !Fin(tension) || tension < 0) return Fail(InvalidParameter);
  scratch_.Clear();
  scratch_.Curve(pts, count, tension, false);
  rec_points_.assign(pts, pts + count);
  return StrokeData(pen, OpKind::Curve, nullptr);
}

namespace {
void PathEnds(const PathData& d, std::vector<PointF>& rec) {
  rec.clear();
  std::size_t k = 0;
  for (auto cmd : d.cmds) {
    if (cmd == PathData::kClose) continue;
    std::size_t last = k + (cmd == PathData::kCurve ? 2 : 0);
    rec.emplace_back(static_cast<REAL>(d.pts[last].x), static_cast<REAL>(d.pts[last].y));
    k += cmd == PathData::kCurve ? 3 : 1;
  }
}
}  // namespace

Status Graphics::DrawPath(const Pen& pen, const GraphicsPath& path) {
  if (path.GetLastStatus() != Ok) return Fail(path.GetLastStatus());
  if (path.Data().cmds.empty()) return Fail(InvalidParameter);
  scratch_ = path.Data();
  PathEnds(scratch_, rec_points_);
  return StrokeData(pen, OpKind::Path, nullptr);
}

Status Graphics::FillPath(const SolidBrush& brush, const GraphicsPath& path) {
  if (path.GetLastStatus() != Ok) return Fail(path.GetLastStatus());
  if (path.Data().cmds.empty()) return Fail(InvalidParameter);
  scratch_ = path.Data();
  PathEnds(scratch_, rec_points_);
  return FillData(brush, path.GetFillMode(), OpKind::Path, nullptr);
}

// ---------------------------------------------------------------- text

Status Graphics::DrawString(const char* ansi, const Font& font, const PointF& origin, const SolidBrush& brush) {
  if (ansi == nullptr) return Fail(InvalidParameter);
  return DrawString(std::string_view(ansi, strnlen(ansi, kMaxStringLength + 1)), font, origin, brush);
}

Status Graphics::DrawString(std::string_view ansi, const Font& font, const PointF& origin, const SolidBrush& brush) {
  return DrawString(ansi, font, RectF(origin.X, origin.Y, 0, 0), nullptr, brush);
}

Status Graphics::DrawString(std::string_view ansi, const Font& font, const PointF& origin, const StringFormat* format,
                            const SolidBrush& brush) {
  return DrawString(ansi, font, RectF(origin.X, origin.Y, 0, 0), format, brush);
}

Status Graphics::DrawString(std::string_view ansi, const Font& font, const RectF& layout, const StringFormat* format,
                            const SolidBrush& brush) {
  if (ansi.size() > kMaxStringLength || (ansi.data() == nullptr && !ansi.empty())) return Fail(InvalidParameter);
  return TextOp(AnsiToUtf8(ansi), font, layout, format, &brush, nullptr);
}

Status Graphics::DrawString(std::u16string_view wide, const Font& font, const RectF& layout, const StringFormat* format,
                            const SolidBrush& brush) {
  if (wide.size() > kMaxStringLength || (wide.data() == nullptr && !wide.empty())) return Fail(InvalidParameter);
  return TextOp(Utf16ToUtf8(wide), font, layout, format, &brush, nullptr);
}

Status Graphics::MeasureString(std::string_view ansi, const Font& font, const RectF& layout, const StringFormat* format,
                               RectF* bounds) {
  if (bounds == nullptr || ansi.size() > kMaxStringLength || (ansi.data() == nullptr && !ansi.empty()))
    return Fail(InvalidParameter);
  return TextOp(AnsiToUtf8(ansi), font, layout, format, nullptr, bounds);
}

Status Graphics::MeasureString(std::string_view ansi, const Font& font, const PointF& origin, const StringFormat* format,
                               RectF* bounds) {
  return MeasureString(ansi, font, RectF(origin.X, origin.Y, 0, 0), format, bounds);
}

Status Graphics::MeasureStringInk(std::string_view ansi, const Font& font, const PointF& origin,
                                  const StringFormat* format, RectF* layout, RectF* ink) {
  if (layout == nullptr || ink == nullptr || ansi.size() > kMaxStringLength || (ansi.data() == nullptr && !ansi.empty()))
    return Fail(InvalidParameter);
  return TextOp(AnsiToUtf8(ansi), font, RectF(origin.X, origin.Y, 0, 0), format, nullptr, layout, ink);
}

Shown Graphics::ShownThrough(const RectF& r, bool infinite, const RectF& bounds,
                             const detail::ClipPixels* pixels) const {
  if (dc_ == nullptr || !AllFinite({r.X, r.Y, r.Width, r.Height}) || r.Width < 0 || r.Height < 0)
    return Shown::kHidden;
  // An ink box reaches a little past the pixels its glyphs paint: a quarter
  // pixel in from each side counts.
  double x0 = r.X + 0.25, x1 = static_cast<double>(r.X) + r.Width - 0.25;
  double y0 = r.Y + 0.25, y1 = static_cast<double>(r.Y) + r.Height - 0.25;
  if (x1 < x0) x0 = x1 = r.X + r.Width / 2.0;
  if (y1 < y0) y0 = y1 = r.Y + r.Height / 2.0;
  double ax0 = 0.0, ay0 = 0.0, ax1 = dc_->width, ay1 = dc_->height;
  if (!infinite) {
    ax0 = std::max(ax0, static_cast<double>(bounds.X)), ay0 = std::max(ay0, static_cast<double>(bounds.Y));
    ax1 = std::min(ax1, static_cast<double>(bounds.X) + bounds.Width);
    ay1 = std::min(ay1, static_cast<double>(bounds.Y) + bounds.Height);
  }
  if (x1 < ax0 || x0 > ax1 || y1 < ay0 || y0 > ay1 || ax1 <= ax0 || ay1 <= ay0) return Shown::kHidden;
  const bool within = x0 >= ax0 && x1 <= ax1 && y0 >= ay0 && y1 <= ay1;
  if (infinite || pixels == nullptr || pixels->outside_row.empty()) return within ? Shown::kWhole : Shown::kPart;
  const int px0 = static_cast<int>(std::floor(x0)), py0 = static_cast<int>(std::floor(y0));
  const int px1 = std::max(px0 + 1, static_cast<int>(std::ceil(x1))), py1 = std::max(py0 + 1, static_cast<int>(std::ceil(y1)));
  long total = 0, in = 0;
  for (int y = py0; y < py1; ++y) {
    total += px1 - px0;
    if (y < 0 || y >= dc_->height) continue;
    pixels->ForEachInside(dc_->width, y, std::max(px0, 0), std::min(px1, dc_->width), [&](int a, int b) { in += b - a; });
  }
  if (in == 0) return Shown::kHidden;
  return in == total ? Shown::kWhole : Shown::kPart;
}

Shown Graphics::ClipShows(const RectF& box) const {
  return ShownThrough(box, clip_infinite_, clip_bounds_, clip_per_op_ ? nullptr : clip_.get());
}

Shown Graphics::ClipShows(const RectF& box, const ClipState& state) const {
  if (state.record_ == nullptr) return ShownThrough(box, true, RectF(), nullptr);
  return ShownThrough(box, false, state.record_->bounds, clip_per_op_ ? nullptr : state.record_->pixels.get());
}

Status Graphics::MeasureString(std::u16string_view wide, const Font& font, const RectF& layout,
                               const StringFormat* format, RectF* bounds) {
  if (bounds == nullptr || wide.size() > kMaxStringLength || (wide.data() == nullptr && !wide.empty()))
    return Fail(InvalidParameter);
  return TextOp(Utf16ToUtf8(wide), font, layout, format, nullptr, bounds);
}

namespace {
double Advance(cairo_scaled_font_t* sf, const std::string& s, std::size_t from, std::size_t len) {
  // Trailing blanks do not count, as in the original layout.
  while (len > 0 && s[from + len - 1] == ' ') --len;
  if (len == 0) return 0;
  std::string part = s.substr(from, len);
  cairo_text_extents_t ext;
  cairo_scaled_font_text_extents(sf, part.c_str(), &ext);
  return ext.x_advance;
}
}  // namespace

Status Graphics::TextOp(std::string utf8, const Font& font, const RectF& layout, const StringFormat* format,
                        const SolidBrush* brush, RectF* measured, RectF* ink) {
  if (!Usable()) return Fail(InvalidParameter);
  if (font.GetLastStatus() != Ok) return Fail(font.GetLastStatus());
  if (!AllFinite({layout.X, layout.Y, layout.Width, layout.Height}) || layout.Width < 0 || layout.Height < 0)
    return Fail(InvalidParameter);
  double ox, oy;
  world_.Apply(layout.X, layout.Y, &ox, &oy);
  if (std::fabs(ox) > kFar || std::fabs(oy) > kFar) return Fail(ValueOverflow);

  const detail::FaceEntry* face = font.Face();
  double em = font.EmWorld();
  double pad = em / 6.0, line_h = em * face->line_spacing, ascent = em * face->ascent;
  StringAlignment align = format != nullptr ? format->GetAlignment() : StringAlignment::Near;
  StringAlignment valign = format != nullptr ? format->GetLineAlignment() : StringAlignment::Near;
  int flags = format != nullptr ? format->GetFormatFlags() : 0;
  bool wrap = layout.Width > 0 && !(flags & StringFormatFlagsNoWrap);
  bool clip = layout.Width > 0 && layout.Height > 0 && !(flags & StringFormatFlagsNoClip);

  // Text placed wholly off the visible area is not shaped at all (unless it
  // is measured or recorded): no glyph of this font is wider than 2 em, nor
  // does a line reach more than 2 em above its layout top.
  if (measured == nullptr && recorder_ == nullptr && !utf8.empty()) {
    std::size_t lines_up_to = 1;
    for (char c : utf8) lines_up_to += c == '\n' ? 1 : 0;
    const double w = layout.Width > 0 ? layout.Width + 4 * em : 2 * em * (static_cast<double>(utf8.size()) + 2);
    const double h = layout.Height > 0 ? layout.Height + 4 * em : 2 * em * (static_cast<double>(lines_up_to) + 2);
    Box b;
    const double cx[2] = {layout.X - 2 * em, layout.X - 2 * em + w};
    const double cy[2] = {layout.Y - 2 * em, layout.Y - 2 * em + h};
    for (double x : cx)
      for (double y : cy) {
        double dx, dy;
        world_.Apply(x, y, &dx, &dy);
        b.Add(dx, dy);
      }
    if (!VisibleDevice(b.ToRect(0))) return Ok;
  }

  SyncMatrix();
  // Cairo's scaled font is only needed for what is not kept yet (kept runs
  // and glyphs: glyph_runs.h).
  const detail::TextFont text_font{face->face, em, world_.a, world_.b, world_.c, world_.d, static_cast<int>(text_hint_)};
  cairo_scaled_font_t* sf = nullptr;
  bool font_failed = false;
  const detail::ScaledFontSource scaled = [&]() -> cairo_scaled_font_t* {
    if (sf == nullptr && !font_failed) {
      cairo_set_font_face(cr_, face->face);
      cairo_set_font_size(cr_, em);
      cairo_set_font_options(cr_, detail::FontOptionsFor(static_cast<int>(text_hint_)));
      sf = cairo_get_scaled_font(cr_);
      font_failed = cairo_scaled_font_status(sf) != CAIRO_STATUS_SUCCESS;
    }
    return font_failed ? nullptr : sf;
  };
  if (!glyph_runs_ && scaled() == nullptr) return Fail(GenericError);
  // The advance of a piece of the text; trailing blanks do not count, as
  // in the original layout.
  // The run last fetched, for the drawing of a line just measured.
  std::string_view run_of;
  auto kept_run = [&](std::string_view part) {
    if (run_of.data() == part.data() && run_of.size() == part.size()) return true;
    run_of = {};
    if (!detail::KeptRun(text_font, part, scaled, run_)) return false;
    run_of = part;
    return true;
  };
  auto advance = [&](std::size_t from, std::size_t len) -> double {
    while (len > 0 && utf8[from + len - 1] == ' ') --len;
    if (len == 0) return 0.0;
    const std::string_view part = std::string_view(utf8).substr(from, len);
    if (glyph_runs_ && kept_run(part)) return detail::RunAdvance(run_);
    if (scaled() == nullptr) return 0.0;
    return Advance(sf, utf8, from, len);
  };

  // Lines: explicit breaks, then greedy wrapping at blanks.
  struct Line {
    std::size_t from, len;
    double adv;
  };
  Line lines_small[8];
  std::vector<Line> lines_big;
  int n_lines = 0;
  // Kept runs give advances for nothing more than the glyphs, which the
  // drawing needs anyway.
  bool need_adv =
      glyph_runs_ || align != StringAlignment::Near || wrap || measured != nullptr || recorder_ != nullptr;
  auto push = [&](std::size_t from, std::size_t len, double adv) {
    if (n_lines < 8)
      lines_small[n_lines] = {from, len, adv};
    else {
      if (n_lines == 8) lines_big.assign(lines_small, lines_small + 8);
      lines_big.push_back({from, len, adv});
    }
    ++n_lines;
  };
  double avail = layout.Width - 2 * pad;
  std::size_t pos = 0;
  while (pos <= utf8.size()) {
    std::size_t nl = utf8.find('\n', pos);
    std::size_t end = nl == std::string::npos ? utf8.size() : nl;
    std::size_t len = end - pos;
    if (len > 0 && utf8[pos + len - 1] == '\r') --len;
    if (!wrap) {
      push(pos, len, need_adv ? advance(pos, len) : 0);
    } else {
      std::size_t start = pos, stop = pos + len;
      while (true) {
        double adv = advance(start, stop - start);
        if (adv <= avail || stop == start) {
          push(start, stop - start, adv);
          break;
        }
        // Longest prefix ending at a blank that fits; at least one word.
        std::size_t best = std::string::npos;
        for (std::size_t i = start + 1; i < stop; ++i) {
          if (utf8[i] != ' ') continue;
          if (advance(start, i - start) <= avail)
            best = i;
          else
            break;
        }
        if (best == std::string::npos) {
          std::size_t sp = utf8.find(' ', start + 1);
          best = (sp == std::string::npos || sp >= stop) ? stop : sp;
        }
        push(start, best - start, advance(start, best - start));
        start = best;
        while (start < stop && utf8[start] == ' ') ++start;
        if (start >= stop) break;
      }
    }
    if (nl == std::string::npos) break;
    pos = nl + 1;
  }
  const Line* lines = n_lines <= 8 ? lines_small : lines_big.data();
  if (font_failed) return Fail(GenericError);

  double total_h = n_lines * line_h;
  double top = layout.Y;
  if (valign == StringAlignment::Center)
    top = layout.Y + (layout.Height - total_h) / 2;
  else if (valign == StringAlignment::Far)
    top = layout.Y + layout.Height - total_h;
  auto line_x = [&](const Line& l) {
    switch (align) {
      case StringAlignment::Center: return layout.X + (layout.Width - l.adv) / 2;
      case StringAlignment::Far: return layout.X + layout.Width - pad - l.adv;
      default: return static_cast<double>(layout.X) + pad;
    }
  };
  double max_adv = 0, min_x = std::numeric_limits<double>::infinity();
  for (int i = 0; i < n_lines; ++i) {
    max_adv = std::max(max_adv, lines[i].adv);
    min_x = std::min(min_x, line_x(lines[i]) - pad);
  }
  RectF box(static_cast<REAL>(min_x), static_cast<REAL>(top), static_cast<REAL>(max_adv + 2 * pad),
            static_cast<REAL>(total_h));
  if (utf8.empty()) box = RectF(layout.X, layout.Y, 0, 0);
  // The glyphs' ink in world units, for the caller that asks, the record
  // and the watcher: the bounds of each line's glyphs as Cairo places them.
  const bool drawing = measured == nullptr;
  RectF ink_world;
  bool inked = false;
  if (ink != nullptr || (drawing && (recorder_ != nullptr || watcher_ != nullptr))) {
    // For the watcher alone, a kept run's ink is the box kept with it.
    const bool watched_only = ink == nullptr && recorder_ == nullptr;
    Box b;
    std::string piece_of;
    for (int i = 0; i < n_lines && !font_failed; ++i) {
      const Line& l = lines[i];
      if (l.len == 0) continue;
      const double lx = line_x(l), ly = top + i * line_h + ascent;
      cairo_text_extents_t ext{};
      const std::string_view part = std::string_view(utf8).substr(l.from, l.len);
      detail::RunInk run_ink;
      if (watched_only && glyph_runs_) {
        if (!detail::KeptRunInk(text_font, part, scaled, run_ink)) continue;
        ext.x_bearing = run_ink.x_bearing + lx, ext.y_bearing = run_ink.y_bearing + ly;
        ext.width = run_ink.width, ext.height = run_ink.height;
      } else if (glyph_runs_ && kept_run(part)) {
        if (scaled() == nullptr) break;
        std::vector<cairo_glyph_t>& glyphs = cairo_glyphs;
        glyphs.clear();
        double gx = lx, gy = ly;
        for (const detail::RunGlyph& g : run_) {
          glyphs.push_back(cairo_glyph_t{g.index, gx, gy});
          gx += g.x_advance;
          gy += g.y_advance;
        }
        // Bearings come about the first glyph's place, as for a text.
        cairo_scaled_font_glyph_extents(sf, glyphs.data(), static_cast<int>(glyphs.size()), &ext);
        ext.x_bearing += lx, ext.y_bearing += ly;
      } else {
        if (scaled() == nullptr) break;
        piece_of.assign(part);
        cairo_scaled_font_text_extents(sf, piece_of.c_str(), &ext);
        ext.x_bearing += lx, ext.y_bearing += ly;
      }
      if (!(ext.width > 0.0) || !(ext.height > 0.0)) continue;
      b.Add(ext.x_bearing, ext.y_bearing);
      b.Add(ext.x_bearing + ext.width, ext.y_bearing + ext.height);
    }
    inked = !b.Empty();
    if (inked) ink_world = b.ToRect(0);
  }
  if (measured != nullptr) {
    *measured = box;
    if (ink != nullptr) *ink = inked ? ink_world : RectF(layout.X, layout.Y, 0, 0);
    return Ok;
  }

  auto device_box = [&](const RectF& r) {
    Box b;
    double cx[4] = {r.X, r.X + r.Width, r.X + r.Width, r.X};
    double cy[4] = {r.Y, r.Y, r.Y + r.Height, r.Y + r.Height};
    for (int i = 0; i < 4; ++i) {
      double x, y;
      world_.Apply(cx[i], cy[i], &x, &y);
      b.Add(x, y);
    }
    return b;
  };
  // How much of the ink the clip, the surface and a clipping layout box let
  // show (a text without ink: whether its box meets what shows).
  Shown shown_as = Shown::kWhole;
  bool shown_known = false;
  auto shown = [&] {
    if (shown_known) return shown_as;
    shown_known = true;
    if (!inked) return shown_as = VisibleDevice(device_box(box).ToRect(0)) ? Shown::kWhole : Shown::kHidden;
    const RectF dev = device_box(ink_world).ToRect(0);
    shown_as = ClipShows(dev);
    if (clip) {
      const RectF in = device_box(layout).ToRect(0);
      const RectF cut = Intersect(dev, in);
      const Shown by_box = !(cut.Width > 0 && cut.Height > 0)   ? Shown::kHidden
                           : cut.Width < dev.Width || cut.Height < dev.Height ? Shown::kPart
                                                                              : Shown::kWhole;
      shown_as = std::max(shown_as, by_box);
    }
    return shown_as;
  };
  if (recorder_ != nullptr) {
    RecordedOp op;
    op.kind = OpKind::Text;
    op.filled = true;
    op.color = brush->GetColor().argb;
    op.text = utf8;
    op.font_family = font.GetFamilyName();
    op.font_size = font.GetSize();
    op.font_device_size = static_cast<REAL>(em * std::sqrt(std::fabs(world_.Determinant())));
    op.font_style = font.GetStyle();
    double bx, by;
    world_.Apply(n_lines > 0 ? line_x(lines[0]) : layout.X + pad, top + ascent, &bx, &by);
    op.points = {PointF(static_cast<REAL>(ox), static_cast<REAL>(oy)), PointF(static_cast<REAL>(bx), static_cast<REAL>(by))};
    op.bounds = device_box(box).ToRect(0);
    op.ink = inked ? device_box(ink_world).ToRect(0) : RectF();
    op.shown = shown();
    op.visible = !utf8.empty() && op.shown != Shown::kHidden;
    RecordCommon(op);
    recorder_->Add(std::move(op));
  }
  if (utf8.empty()) return Ok;
  if (watcher_ != nullptr && inked) {
    const RectF dev = device_box(ink_world).ToRect(0);
    if (VisibleDevice(dev)) watcher_->TextDrawn(*this, dev);
  }

  // The box the glyphs may touch: without measured advances, no glyph is
  // wider than the face's widest; glyphs may reach past their layout box
  // (overhangs, accents): an em more all round.
  RectF reach_box = box;
  if (!need_adv) {
    cairo_font_extents_t fe;
    cairo_scaled_font_extents(scaled(), &fe);
    std::size_t longest = 0;
    for (int i = 0; i < n_lines; ++i) longest = std::max(longest, lines[i].len);
    reach_box.Width = static_cast<REAL>(static_cast<double>(longest) * fe.max_x_advance + 2 * pad);
  }
  Box dev = device_box(reach_box);
  double em_device = em * std::sqrt(std::fabs(world_.Determinant()));
  // Recorded text wholly off the visible area changes no pixel either.
  {
    Box reach;
    reach.Add(dev.x0 - em_device, dev.y0 - em_device);
    reach.Add(dev.x1 + em_device, dev.y1 + em_device);
    if (!VisibleDevice(reach.ToRect(0))) return Ok;
  }
  // Kept glyphs are painted only where a clip run lets them through; only
  // what Cairo draws itself needs the pixels outside the clip kept first.
  bool kept_outside = false;
  auto before_cairo = [&] {
    if (kept_outside) return;
    kept_outside = true;
    BeforeDraw(dev.x0 - em_device, dev.y0 - em_device, dev.x1 + em_device, dev.y1 + em_device);
  };
  if (!run_owned_) ClaimPixels();
  if (clip) {
    cairo_save(cr_);
    cairo_new_path(cr_);
    cairo_rectangle(cr_, layout.X, layout.Y, layout.Width, layout.Height);
    cairo_clip(cr_);
  }
  SetSource(brush->GetColor().argb);
  // The layer paints kept glyphs itself where Cairo would composite them
  // plainly: no clip of the layout box, no clip mask per operation.
  const bool paint_kept = glyph_runs_ && !clip && !clip_per_op_;
  if (!paint_kept) before_cairo();
  int x0 = 0, y0 = 0, x1 = dc_->width, y1 = dc_->height;
  if (!clip_infinite_ && !run_wanted_) {
    x0 = std::max(x0, clip_box_.X), y0 = std::max(y0, clip_box_.Y);
    x1 = std::min(x1, clip_box_.X + clip_box_.Width), y1 = std::min(y1, clip_box_.Y + clip_box_.Height);
  }
  std::string piece;
  for (int i = 0; i < n_lines; ++i) {
    const Line& l = lines[i];
    if (l.len == 0) continue;
    cairo_move_to(cr_, line_x(l), top + i * line_h + ascent);
    if (glyph_runs_ && kept_run(std::string_view(utf8).substr(l.from, l.len))) {
      // The glyphs from the current point as Cairo reads it back, each
      // advance added to the last position, then to the device as Cairo
      // transforms them.
      double x, y;
      cairo_get_current_point(cr_, &x, &y);
      if (paint_kept) {
        cairo_matrix_t ctm;
        cairo_get_matrix(cr_, &ctm);
        placed_.clear();
        for (const detail::RunGlyph& g : run_) {
          double dx = ctm.xx * x + ctm.xy * y, dy = ctm.yx * x + ctm.yy * y;
          dx += ctm.x0, dy += ctm.y0;
          placed_.push_back(detail::PlacedGlyph{g.index, dx, dy});
          x += g.x_advance;
          y += g.y_advance;
        }
        if (detail::PaintKeptGlyphs(text_font, placed_, scaled, dc_->pixels.data(), dc_->width, x0, y0, x1, y1,
                                    brush->GetColor().argb, PaintClip()))
          continue;
        cairo_get_current_point(cr_, &x, &y);
      }
      if (scaled() == nullptr) return Fail(GenericError);
      before_cairo();
      std::vector<cairo_glyph_t>& glyphs = cairo_glyphs;
      glyphs.clear();
      for (const detail::RunGlyph& g : run_) {
        glyphs.push_back(cairo_glyph_t{g.index, x, y});
        x += g.x_advance;
        y += g.y_advance;
      }
      cairo_show_glyphs(cr_, glyphs.data(), static_cast<int>(glyphs.size()));
      continue;
    }
    if (scaled() == nullptr) return Fail(GenericError);
    before_cairo();
    if (l.from == 0 && l.len == utf8.size()) {
      cairo_show_text(cr_, utf8.c_str());
    } else {
      piece.assign(utf8, l.from, l.len);
      cairo_show_text(cr_, piece.c_str());
    }
  }
  cairo_new_path(cr_);
  if (clip) cairo_restore(cr_);
  return Ok;
}

// ---------------------------------------------------------------- images

Status Graphics::DrawImage(const Bitmap& image, REAL x, REAL y) {
  return DrawImage(image, x, y, static_cast<REAL>(image.GetWidth()), static_cast<REAL>(image.GetHeight()));
}

Status Graphics::DrawImage(const Bitmap& image, REAL x, REAL y, REAL w, REAL h) {
  if (!Usable()) return Fail(InvalidParameter);
  if (image.GetLastStatus() != Ok) return Fail(image.GetLastStatus());
  if (!BoxOk(x, y, w, h)) return Fail(InvalidParameter);
  RectPath(scratch_, rec_points_, x, y, w, h);
  Status st = CheckPath(scratch_, 0);
  if (st != Ok) return Fail(st);
  if (op_far_) return Fail(ValueOverflow);
  RecordShape(OpKind::Image, true, 0, nullptr, FillMode::Alternate, nullptr, 0);
  // Images sit on whole pixels: no half-pixel offset.
  cairo_matrix_t m;
  cairo_matrix_init(&m, world_.a, world_.b, world_.c, world_.d, world_.e, world_.f);
  cairo_set_matrix(cr_, &m);
  matrix_dirty_ = true;
  cairo_translate(cr_, x, y);
  cairo_scale(cr_, w / image.GetWidth(), h / image.GetHeight());
  cairo_set_source_surface(cr_, image.Surface(), 0, 0);
  // Scaled images keep solid edges instead of fading into nothing.
  cairo_pattern_set_extend(cairo_get_source(cr_), CAIRO_EXTEND_PAD);
  BeforeDraw(op_box_.X, op_box_.Y, static_cast<double>(op_box_.X) + op_box_.Width,
             static_cast<double>(op_box_.Y) + op_box_.Height);
  cairo_new_path(cr_);
  cairo_rectangle(cr_, 0, 0, image.GetWidth(), image.GetHeight());
  cairo_fill(cr_);
  return Ok;
}

}  // namespace ovi::gfx
