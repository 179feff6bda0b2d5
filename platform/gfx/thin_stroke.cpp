#include "platform/gfx/thin_stroke.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace ovi::gfx::detail {

namespace {

// Cairo's fixed point and sampling grid: 1/256 pixel across, 15 sample rows
// per pixel row, and the miter limit every Graphics sets.
constexpr double kFixedOne = 256.0;
constexpr int kRows = 15;
constexpr double kMiterLimit = 10.0;
// How sharply a smooth figure may bend and still be offset point by point
// (ThinStroke::GentleBends): the tangent of the turn of one flattened piece
// (half a radian), the radius of curvature in pen half widths, and the
// tangent of the turn where a closed figure closes (a fiftieth of a radian).
constexpr double kMaxTurnTan = 0.5463024898437905;
constexpr double kBendRadii = 2.0;
constexpr double kClosingTurnTan = 0.0200026670933;
// Directions between grid points closer than this (1/256 pixel) are too
// coarse.
constexpr double kCoarse = 16.0;

// floor() without the library call; values stay far inside int range
// (the drawing layer keeps device coordinates within +-131072 pixels).
inline int Floor(double v) {
  const int i = static_cast<int>(v);
  return i - (v < i);
}

inline double ToFixed(double v) { return Floor(v * kFixedOne + 0.5); }

// The pixel row of a sample row (which may lie above the origin).
inline int RowOf(int g) { return g >= 0 ? g / kRows : -((-g + kRows - 1) / kRows); }

// A fixed-point y rounded to the nearest sample row, as Cairo's scan
// converter places edge ends.
inline int SampleRow(double y_fixed) { return Floor((y_fixed * kRows + kFixedOne / 2) * (1.0 / kFixedOne)); }

// std::sort as the standard library does it, where that is a plain
// insertion sort (up to 16 elements): stable, so elements that compare
// equal keep their order, as they do there. A row's few crossings are
// sorted without the call.
template <class T, class Less>
void SortFew(std::vector<T>& v, Less less) {
  if (v.size() > 16) {
    std::sort(v.begin(), v.end(), less);
    return;
  }
  for (std::size_t i = 1; i < v.size(); ++i) {
    const T item = v[i];
    std::size_t j = i;
    for (; j > 0 && less(item, v[j - 1]); --j) v[j] = v[j - 1];
    v[j] = item;
  }
}

}  // namespace

bool Rectilinear(const PathData& data, const Affine& m) {
  std::size_t k = 0;
  double fx = 0, fy = 0, px = 0, py = 0;
  auto device = [&](const PathData::Pt& p, double& x, double& y) {
    x = ToFixed(m.a * p.x + m.c * p.y + m.e);
    y = ToFixed(m.b * p.x + m.d * p.y + m.f);
  };
  for (auto cmd : data.cmds) {
    double x, y;
    switch (cmd) {
      case PathData::kMove:
        device(data.pts[k++], x, y);
        fx = px = x, fy = py = y;
        break;
      case PathData::kLine:
        device(data.pts[k++], x, y);
        if (x != px && y != py) return false;
        px = x, py = y;
        break;
      case PathData::kCurve:
        return false;
      case PathData::kClose:
        if (fx != px && fy != py) return false;
        px = fx, py = fy;
        break;
    }
  }
  return true;
}

// p and q in 1/256 pixel, already whole.
inline void ThinStroke::AddEdge(const DevPt& p, const DevPt& q) {
  if (p.y == q.y) return;
  if (p.y < q.y)
    lines_.push_back(Line{p.x, p.y, q.x, q.y, 1, (q.x - p.x) / (q.y - p.y)});
  else
    lines_.push_back(Line{q.x, q.y, p.x, p.y, -1, (q.x - p.x) / (q.y - p.y)});
}

// One piece of a line between `top` and `bottom` (1/256 pixel) as the
// converter steps it: the sample rows it crosses and x at their centres.
inline void ThinStroke::Piece(const Line& l, double top, double bottom) {
  const int g0 = SampleRow(top), g1 = SampleRow(bottom);
  if (g0 == g1) return;
  const double y_at_g0 = (g0 + 0.5) * kFixedOne / kRows;
  edges_.push_back(Edge{g0, g1, l.xa + (y_at_g0 - l.ya) * l.slope, l.slope * (kFixedOne / kRows), l.dir});
}

// A piece left of the box runs down the box's left side: all such pieces
// together only add to the winding number at that side, sample row by
// sample row. A piece right of the box changes no pixel of it.
inline void ThinStroke::Beside(const Line& l, double top, double bottom, bool left) {
  if (!left) return;
  const int g0 = SampleRow(top), g1 = SampleRow(bottom);
  if (g0 == g1) return;
  side_.push_back({g0, l.dir});
  side_.push_back({g1, -l.dir});
}

// Cairo limits the outline to the box it draws in before converting it:
// what lies left or right of the box runs down the box's side instead, and
// nothing starts above it or ends below it.
void ThinStroke::ClipToBox(const Line& l, double bx0, double by0, double bx1, double by1) {
  const double top = std::max(l.ya, by0), bottom = std::min(l.yb, by1);
  if (!(top < bottom)) return;
  if (std::min(l.xa, l.xb) >= bx0 && std::max(l.xa, l.xb) <= bx1) {
    Piece(l, top, bottom);
    return;
  }
  if (l.xa == l.xb) {
    Beside(l, top, bottom, l.xa < bx0);
    return;
  }
  const double slope = l.slope;
  auto y_at = [&](double x) { return static_cast<double>(Floor(l.ya + (x - l.xa) / slope + 0.5)); };
  const double xt = l.xa + (top - l.ya) * slope, xb = l.xa + (bottom - l.ya) * slope;
  // The y where the line crosses each side, within [top, bottom].
  double ys[4];
  int n = 0;
  ys[n++] = top;
  for (double side : {bx0, bx1}) {
    if ((xt < side) != (xb < side)) ys[n++] = std::clamp(y_at(side), top, bottom);
  }
  if (n == 3 && ys[1] > ys[2]) std::swap(ys[1], ys[2]);
  ys[n++] = bottom;
  for (int i = 0; i + 1 < n; ++i) {
    const double a = ys[i], b = ys[i + 1];
    if (!(a < b)) continue;
    const double xm = l.xa + ((a + b) / 2 - l.ya) * slope;
    if (xm < bx0 || xm > bx1)
      Beside(l, a, b, xm < bx0);
    else
      Piece(l, a, b);
  }
}

// A closed outline of device points, put on Cairo's fixed-point grid.
void ThinStroke::Contour(std::vector<DevPt>& pts) {
  if (pts.empty()) return;
  for (DevPt& p : pts) p = DevPt{ToFixed(p.x), ToFixed(p.y)};
  for (std::size_t i = 1; i < pts.size(); ++i) AddEdge(pts[i - 1], pts[i]);
  AddEdge(pts.back(), pts.front());
}

// The outline of a run of segments through device points `dev` (directions
// `dir` in user space, unit length), as Cairo's stroker draws it: each side
// offset by the pen, outer turns mitred (bevelled past the limit), inner
// turns through the turning point so that the non-zero fill keeps the union.
void ThinStroke::Solid(const std::vector<DevPt>& dev, const std::vector<DevPt>& dir, bool closed, const Affine& m,
                       double hw) {
  const std::size_t n = dev.size(), segs = closed ? n : n - 1;
  // Each segment's pen offset to its left, in device space.
  normal_.clear();
  for (std::size_t i = 0; i < segs; ++i) {
    const double nx = -dir[i].y * hw, ny = dir[i].x * hw;
    normal_.push_back(DevPt{m.a * nx + m.c * ny, m.b * nx + m.d * ny});
  }
  left_.clear();
  right_.clear();
  auto join = [&](std::size_t v, std::size_t a, std::size_t b) {
    const DevPt& p = dev[v];
    const DevPt& na = normal_[a];
    const DevPt& nb = normal_[b];
    const double cross = dir[a].x * dir[b].y - dir[a].y * dir[b].x;
    const double dot = dir[a].x * dir[b].x + dir[a].y * dir[b].y;
    if (cross == 0.0 && dot > 0.0) {
      left_.push_back(DevPt{p.x + na.x, p.y + na.y});
      right_.push_back(DevPt{p.x - na.x, p.y - na.y});
      return;
    }
    const bool miter = kMiterLimit * kMiterLimit * (1.0 + dot) >= 2.0;
    const double k = miter ? 1.0 / (1.0 + dot) : 0.0;
    // The outer side is the left one when the path turns right (cross < 0).
    for (int side = 0; side < 2; ++side) {
      const double sgn = side == 0 ? 1.0 : -1.0;
      std::vector<DevPt>& out = side == 0 ? left_ : right_;
      out.push_back(DevPt{p.x + sgn * na.x, p.y + sgn * na.y});
      const bool outer = side == 0 ? cross < 0.0 : cross > 0.0;
      if (!outer)
        out.push_back(p);
      else if (miter)
        out.push_back(DevPt{p.x + sgn * (na.x + nb.x) * k, p.y + sgn * (na.y + nb.y) * k});
      out.push_back(DevPt{p.x + sgn * nb.x, p.y + sgn * nb.y});
    }
  };
  if (closed) {
    join(0, n - 1, 0);
    for (std::size_t v = 1; v < n; ++v) join(v, v - 1, v);
  } else {
    left_.push_back(DevPt{dev[0].x + normal_[0].x, dev[0].y + normal_[0].y});
    right_.push_back(DevPt{dev[0].x - normal_[0].x, dev[0].y - normal_[0].y});
    for (std::size_t v = 1; v + 1 < n; ++v) join(v, v - 1, v);
    left_.push_back(DevPt{dev[n - 1].x + normal_[n - 2].x, dev[n - 1].y + normal_[n - 2].y});
    right_.push_back(DevPt{dev[n - 1].x - normal_[n - 2].x, dev[n - 1].y - normal_[n - 2].y});
  }
  std::reverse(right_.begin(), right_.end());
  if (closed) {
    Contour(left_);
    Contour(right_);
  } else {
    left_.insert(left_.end(), right_.begin(), right_.end());
    Contour(left_);
  }
}

namespace {

// Cairo keeps path points in 24.8 fixed point and halves Bezier curves on
// that grid until each piece lies within its tolerance of the chord.
using FixPt = ThinStroke::FixPt;
using Knots = ThinStroke::Knots;
constexpr double kTolerance = 0.1;  // device pixels, Cairo's default

bool Same(const FixPt& a, const FixPt& b) { return a.x == b.x && a.y == b.y; }

FixPt Half(const FixPt& a, const FixPt& b) { return FixPt{a.x + ((b.x - a.x) >> 1), a.y + ((b.y - a.y) >> 1)}; }

// The larger squared distance of the two control points from the chord.
double ErrorSquared(const Knots& k) {
  double bdx = (k.b.x - k.a.x) / kFixedOne, bdy = (k.b.y - k.a.y) / kFixedOne;
  double cdx = (k.c.x - k.a.x) / kFixedOne, cdy = (k.c.y - k.a.y) / kFixedOne;
  if (!Same(k.a, k.d)) {
    const double dx = (k.d.x - k.a.x) / kFixedOne, dy = (k.d.y - k.a.y) / kFixedOne;
    const double v = dx * dx + dy * dy;
    auto off_chord = [&](double& ex, double& ey) {
      const double u = ex * dx + ey * dy;
      if (u <= 0) return;
      if (u >= v) {
        ex -= dx, ey -= dy;
      } else {
        ex -= u / v * dx, ey -= u / v * dy;
      }
    };
    off_chord(bdx, bdy);
    off_chord(cdx, cdy);
  }
  return std::max(bdx * bdx + bdy * bdy, cdx * cdx + cdy * cdy);
}

}  // namespace

// Points along a smooth figure with the direction the stroke runs there,
// as Cairo's stroker visits them: the start with the first curve's initial
// direction, each point where the halving stops with the direction towards
// that piece's first control point, each curve's end with its final one.
void ThinStroke::Flatten(const FixPt* pts, std::size_t n) {
  faces_.clear();
  auto face = [&](const FixPt& at, const FixPt& from, const FixPt& to) {
    faces_.push_back(Face{at.x / kFixedOne, at.y / kFixedOne, static_cast<double>(to.x - from.x),
                          static_cast<double>(to.y - from.y)});
  };
  FixPt current = pts[0];
  FixPt last = current;
  const double tolerance_squared = kTolerance * kTolerance;
  // Recursion depth is bounded: each halving shrinks the knots' spread,
  // and on the fixed grid a piece of one unit has no error left.
  std::vector<Knots>& stack = knots_;
  for (std::size_t i = 1; i + 2 < n; i += 3) {
    Knots k{current, pts[i], pts[i + 1], pts[i + 2]};
    // A curve whose points all coincide is no curve (Cairo draws a line).
    if (Same(k.a, k.b) && Same(k.a, k.c) && Same(k.a, k.d)) {
      current = k.d;
      continue;
    }
    const FixPt& i0 = !Same(k.b, k.a) ? k.b : !Same(k.c, k.a) ? k.c : k.d;
    const FixPt& f0 = !Same(k.c, k.d) ? k.c : !Same(k.b, k.d) ? k.b : k.a;
    if (faces_.empty()) face(k.a, k.a, i0);
    stack.clear();
    stack.push_back(k);
    while (!stack.empty()) {
      Knots s1 = stack.back();
      stack.pop_back();
      if (ErrorSquared(s1) < tolerance_squared || stack.size() > 64) {
        if (!Same(s1.a, last)) {
          face(s1.a, s1.a, s1.b);
          last = s1.a;
        }
        continue;
      }
      const FixPt ab = Half(s1.a, s1.b), bc = Half(s1.b, s1.c), cd = Half(s1.c, s1.d);
      const FixPt abbc = Half(ab, bc), bccd = Half(bc, cd), mid = Half(abbc, bccd);
      stack.push_back(Knots{mid, bccd, cd, s1.d});  // second half, after the first
      stack.push_back(Knots{s1.a, ab, abbc, mid});
    }
    face(k.d, f0, k.d);
    last = k.d;
    current = k.d;
  }
}

// The outline of a smooth figure: each side runs through the points offset
// by the pen across their direction, as Cairo strokes curves.
bool ThinStroke::Smooth(bool closed, const Affine& m, double hw) {
  const double det = m.a * m.d - m.b * m.c;
  if (faces_.size() < 2 || det == 0.0) return true;
  if (!GentleBends(closed, m, hw)) return false;
  left_.clear();
  right_.clear();
  for (const Face& f : faces_) {
    // Direction in user space, where the pen is round, turned a quarter
    // and scaled by the pen, back to device space; Cairo rounds the offset
    // to its grid before adding it.
    double sx = f.dx, sy = f.dy;
    const double dl = std::sqrt(sx * sx + sy * sy);
    if (!(dl > 0.0)) continue;
    sx /= dl, sy /= dl;
    double ux = (m.d * sx - m.c * sy) / det, uy = (m.a * sy - m.b * sx) / det;
    const double ul = std::sqrt(ux * ux + uy * uy);
    ux /= ul, uy /= ul;
    const double nx = (det > 0 ? -uy : uy) * hw, ny = (det > 0 ? ux : -ux) * hw;
    const double ox = Floor((m.a * nx + m.c * ny) * kFixedOne + 0.5) / kFixedOne;
    const double oy = Floor((m.b * nx + m.d * ny) * kFixedOne + 0.5) / kFixedOne;
    left_.push_back(DevPt{f.x + ox, f.y + oy});
    right_.push_back(DevPt{f.x - ox, f.y - oy});
  }
  std::reverse(right_.begin(), right_.end());
  if (closed) {
    Contour(left_);
    Contour(right_);
  } else {
    left_.insert(left_.end(), right_.begin(), right_.end());
    Contour(left_);
  }
  return true;
}

// Offsetting each flattened point across its direction matches Cairo's
// stroke only while the curve bends gently for the pen: where a piece turns
// by more than a small angle, or its radius of curvature comes near the
// pen's half width, Cairo joins the pieces and the inner side folds.
bool ThinStroke::GentleBends(bool closed, const Affine& m, double hw) const {
  const double sq = m.a * m.a + m.b * m.b + m.c * m.c + m.d * m.d, det = m.a * m.d - m.b * m.c;
  const double reach = hw * std::sqrt((sq + std::sqrt(std::max(0.0, sq * sq - 4 * det * det))) / 2);
  // The tangent of the turn from p's direction to q's; infinite past a
  // right angle. It is never less than the turn itself, so the radius test
  // errs towards Cairo.
  auto tan_turn = [](const Face& p, const Face& q) {
    const double dot = p.dx * q.dx + p.dy * q.dy, cross = std::fabs(p.dx * q.dy - p.dy * q.dx);
    return dot > 0.0 ? cross / dot : HUGE_VAL;
  };
  const std::size_t n = faces_.size();
  for (std::size_t i = 0; i < n; ++i) {
    // Directions between points a few grid steps apart are too coarse to
    // place a flat end or an offset as Cairo does.
    if (faces_[i].dx * faces_[i].dx + faces_[i].dy * faces_[i].dy < kCoarse * kCoarse) return false;
    if (i == 0) continue;
    const Face& p = faces_[i - 1];
    const Face& q = faces_[i];
    const double t = tan_turn(p, q);
    if (!(t <= kMaxTurnTan)) return false;
    const double dx = q.x - p.x, dy = q.y - p.y, r = kBendRadii * reach * t;
    if (dx * dx + dy * dy < r * r) return false;
  }
  // A closed figure must end where it starts, without a corner there:
  // Cairo joins a closing line or a corner.
  if (!closed) return true;
  const Face& end = faces_[n - 1];
  return end.x == faces_[0].x && end.y == faces_[0].y && tan_turn(end, faces_[0]) <= kClosingTurnTan;
}

ThinStroke::FixPt ThinStroke::ToDevice(const Affine& m, const PathData::Pt& p) {
  return FixPt{static_cast<std::int64_t>(ToFixed(m.a * p.x + m.c * p.y + m.e)),
               static_cast<std::int64_t>(ToFixed(m.b * p.x + m.d * p.y + m.f))};
}

bool ThinStroke::AddCurves(const FixPt* pts, std::size_t n, bool closed, const Affine& m, double hw) {
  Flatten(pts, n);
  return Smooth(closed, m, hw);
}

void ThinStroke::AddFigure(const FixPt* pts, std::size_t n, bool closed, const Affine& m, double hw,
                           const double* dashes, int dash_count, double dash_offset) {
  // Repeated points dropped.
  dev_.clear();
  for (std::size_t i = 0; i < n; ++i) {
    const DevPt p{static_cast<double>(pts[i].x) / kFixedOne, static_cast<double>(pts[i].y) / kFixedOne};
    if (dev_.empty() || p.x != dev_.back().x || p.y != dev_.back().y) dev_.push_back(p);
  }
  StrokeDevicePoints(closed, m, hw, dashes, dash_count, dash_offset);
}

// The stroke through dev_ (device points on the fixed-point grid, none
// repeated), solid or dashed.
void ThinStroke::StrokeDevicePoints(bool closed, const Affine& m, double hw, const double* dashes, int dash_count,
                                    double dash_offset) {
  if (closed && dev_.size() > 1 && dev_.front().x == dev_.back().x && dev_.front().y == dev_.back().y)
    dev_.pop_back();
  if (dev_.size() < 2) return;
  const double det = m.a * m.d - m.b * m.c;
  if (det == 0.0 || !(hw > 0.0)) return;
  // Segment directions and lengths in user space, where the pen is round.
  const std::size_t segs = closed ? dev_.size() : dev_.size() - 1;
  dir_.clear();
  std::vector<double>& length = lengths_;
  length.clear();
  for (std::size_t i = 0; i < segs; ++i) {
    const DevPt& p = dev_[i];
    const DevPt& q = dev_[i + 1 < dev_.size() ? i + 1 : 0];
    const double dx = q.x - p.x, dy = q.y - p.y;
    const double ux = (m.d * dx - m.c * dy) / det, uy = (m.a * dy - m.b * dx) / det;
    const double len = std::sqrt(ux * ux + uy * uy);
    dir_.push_back(DevPt{ux / len, uy / len});
    length.push_back(len);
  }
  // How far the outline reaches from its points (device pixels): the pen,
  // miters up to the limit, a pixel more for the fixed-point grid.
  const double sq = m.a * m.a + m.b * m.b + m.c * m.c + m.d * m.d;
  const double stretch = std::sqrt((sq + std::sqrt(std::max(0.0, sq * sq - 4 * det * det))) / 2);
  const double reach = hw * stretch * kMiterLimit + 1.0;
  std::vector<DevPt>& run = piece_dev_;
  std::vector<DevPt>& run_dir = piece_dir_;
  run.clear();
  run_dir.clear();
  if (dashes == nullptr || dash_count <= 0 || closed) {
    if (closed || !has_box_) {
      Solid(dev_, dir_, closed, m, hw);
      return;
    }
    // An open figure in runs of the segments near the box. A run left out
    // is a closed outline of its own outside the box (it winds nowhere
    // inside it), and where it joined the rest lies outside too.
    for (std::size_t seg = 0; seg < segs; ++seg) {
      if (FarOutside(&dev_[seg], 2, reach)) {
        if (run.size() >= 2) Solid(run, run_dir, false, m, hw);
        run.clear();
        run_dir.clear();
        continue;
      }
      if (run.empty()) run.push_back(dev_[seg]);
      run.push_back(dev_[seg + 1]);
      run_dir.push_back(dir_[seg]);
    }
    if (run.size() >= 2) Solid(run, run_dir, false, m, hw);
    return;
  }
  // Dashes: each "on" stretch is an open run of its own, turning where the
  // figure turns.
  double period = 0.0;
  for (int i = 0; i < dash_count; ++i) period += dashes[i];
  if (!(period > 0.0)) return;
  int index = 0;
  double left_in_dash = dashes[0];
  double skip = std::fmod(std::max(dash_offset, 0.0), period);
  while (skip > 0.0) {
    if (skip < left_in_dash) {
      left_in_dash -= skip;
      break;
    }
    skip -= left_in_dash;
    index = (index + 1) % dash_count;
    left_in_dash = dashes[index];
  }
  auto at = [&](std::size_t seg, double t) {
    const DevPt& p = dev_[seg];
    const DevPt& q = dev_[seg + 1];
    const double k = t / length[seg];
    return DevPt{ToFixed(p.x + (q.x - p.x) * k) / kFixedOne, ToFixed(p.y + (q.y - p.y) * k) / kFixedOne};
  };
  // A dash ending where a segment ends starts the next segment there too.
  auto extend = [&](const DevPt& p, const DevPt& d) {
    if (!run.empty() && run.back().x == p.x && run.back().y == p.y) return;
    run.push_back(p);
    if (run.size() > 1) run_dir.push_back(d);
  };
  auto flush = [&]() {
    if (run.size() >= 2 && !(has_box_ && FarOutside(run.data(), run.size(), reach))) Solid(run, run_dir, false, m, hw);
    run.clear();
    run_dir.clear();
  };
  for (std::size_t seg = 0; seg < segs; ++seg) {
    double t = 0.0;
    const double len = length[seg];
    if (index % 2 == 0 && run.empty()) extend(dev_[seg], dir_[seg]);
    while (len - t > left_in_dash) {
      t += left_in_dash;
      extend(at(seg, t), dir_[seg]);
      if (index % 2 == 0) flush();
      index = (index + 1) % dash_count;
      left_in_dash = dashes[index];
    }
    left_in_dash -= len - t;
    if (index % 2 == 0) extend(dev_[seg + 1], dir_[seg]);
  }
  flush();
}

bool ThinStroke::FarOutside(const DevPt* pts, std::size_t n, double reach) const {
  double x0 = pts[0].x, y0 = pts[0].y, x1 = x0, y1 = y0;
  for (std::size_t i = 1; i < n; ++i) {
    x0 = std::min(x0, pts[i].x), x1 = std::max(x1, pts[i].x);
    y0 = std::min(y0, pts[i].y), y1 = std::max(y1, pts[i].y);
  }
  return x1 + reach < box_.x0 || x0 - reach > box_.x1 || y1 + reach < box_.y0 || y0 - reach > box_.y1;
}

// The cells of one pixel row, as Cairo's converter keeps them: `height`,
// the sample rows from whose crossing the coverage runs on to the right,
// and `area`, what the crossing leaves uncovered in its own cell (in 1/256
// pixel x sample row, doubled). Crossings lie within the box, so a cell
// at its right side changes no pixel. Cells count from the box's left side.
inline void ThinStroke::Cell(int ix, int height, int area) {
  height_[ix] += height;
  area_[ix] += area;
  touched_[static_cast<std::size_t>(ix) >> 6] |= std::uint64_t{1} << (ix & 63);
}

// An edge across a whole pixel row from x at the row's top to x at its
// bottom: the trapezoid it bounds within its cell, or, when it runs through
// several cells, the sample rows it spends in each (whole rows: Cairo
// counts them in its grid) with half of each cell it crosses covered.
void ThinStroke::RowEdge(double top, double bottom, int sign) {
  const double left = cell_base_ * kFixedOne, right = (cell_base_ + width_) * kFixedOne;
  top = std::clamp(top, left, right), bottom = std::clamp(bottom, left, right);
  int x1 = Floor(top), x2 = Floor(bottom);
  if (x1 > x2) std::swap(x1, x2);
  const int ix1 = (x1 >> 8) - cell_base_, fx1 = x1 & 255, ix2 = (x2 >> 8) - cell_base_, fx2 = x2 & 255;
  if (ix1 == ix2) {
    Cell(ix1, sign * kRows, sign * (fx1 + fx2) * kRows);
    return;
  }
  // Sample rows per 1/256 pixel across.
  const double rows_per_x = kRows / std::fabs(bottom - top);
  int y = std::min(kRows, static_cast<int>((256 - fx1) * rows_per_x));
  Cell(ix1, sign * y, sign * y * (256 + fx1));
  for (int ix = ix1 + 1, k = 1; ix < ix2; ++ix, ++k) {
    const int next = std::min(kRows, static_cast<int>((256 - fx1 + 256.0 * k) * rows_per_x));
    Cell(ix, sign * (next - y), sign * (next - y) * 256);
    y = next;
  }
  Cell(ix2, sign * (kRows - y), sign * (kRows - y) * fx2);
}

void ThinStroke::SortActive() {
  // Nearly in order from the sample row before: insertion sort.
  for (std::size_t i = 1; i < active_.size(); ++i) {
    Edge* e = active_[i];
    std::size_t j = i;
    // Edges leaving one point go in the order they part in.
    while (j > 0 && (active_[j - 1]->x > e->x || (active_[j - 1]->x == e->x && active_[j - 1]->step > e->step))) {
      active_[j] = active_[j - 1];
      --j;
    }
    active_[j] = e;
  }
}

void ThinStroke::Fill(int x0, int y0, int x1, int y1, Coverage* out) {
  out->Clear();
  out->box_x0 = x0, out->box_y0 = y0, out->box_x1 = x1, out->box_y1 = y1;
  edges_.clear();
  side_.clear();
  bool clipped = false;
  double ry0 = HUGE_VAL, ry1 = -HUGE_VAL;
  if (x0 < x1 && y0 < y1) {
    const double bx0 = x0 * kFixedOne, by0 = y0 * kFixedOne, bx1 = x1 * kFixedOne, by1 = y1 * kFixedOne;
    for (const Line& l : lines_) {
      ry0 = std::min(ry0, l.ya), ry1 = std::max(ry1, l.yb);
      if (l.ya >= by0 && l.yb <= by1 && l.xa >= bx0 && l.xa <= bx1 && l.xb >= bx0 && l.xb <= bx1) {
        Piece(l, l.ya, l.yb);
      } else {
        clipped = true;
        ClipToBox(l, bx0, by0, bx1, by1);
      }
    }
  }
  lines_.clear();
  // The left side's winding changes in order, those at one sample row
  // summed, none that sums to nothing: only the winding number itself
  // decides how a row is filled.
  std::sort(side_.begin(), side_.end());
  std::size_t kept = 0;
  for (std::size_t i = 0; i < side_.size();) {
    const int g = side_[i].first;
    int sum = 0;
    for (; i < side_.size() && side_[i].first == g; ++i) sum += side_[i].second;
    if (sum != 0) side_[kept++] = {g, sum};
  }
  side_.resize(kept);
  if (edges_.empty() && side_.empty()) return;
  std::sort(edges_.begin(), edges_.end(), [](const Edge& a, const Edge& b) { return a.g0 < b.g0; });
  // How far x may go while the edges are stepped (a row's top and bottom
  // lie up to a sample row beyond the rows an edge is sampled at): while
  // that stays inside the box, the box changes nothing.
  double rx0 = HUGE_VAL, rx1 = -HUGE_VAL;
  int g_first = INT_MAX, g_end = INT_MIN;
  for (const Edge& e : edges_) {
    g_first = std::min(g_first, e.g0), g_end = std::max(g_end, e.g1);
    const double last = e.At(e.g1), reach = std::fabs(e.step) + 1.0;
    rx0 = std::min(rx0, std::min(e.x0, last) - reach), rx1 = std::max(rx1, std::max(e.x0, last) + reach);
  }
  if (!side_.empty()) g_first = std::min(g_first, side_.front().first), g_end = std::max(g_end, side_.back().first);
  out->x0 = static_cast<std::int64_t>(std::floor(rx0)), out->x1 = static_cast<std::int64_t>(std::ceil(rx1));
  out->y0 = static_cast<std::int64_t>(ry0), out->y1 = static_cast<std::int64_t>(ry1);
  const int row_first = std::max(y0, RowOf(g_first));
  const int row_last = std::min(y1 - 1, RowOf(g_end - 1));

  width_ = x1 - x0;
  cell_base_ = x0;
  // Cells are left zero after every row; one past the right side takes
  // crossings on the box's right edge.
  if (height_.size() < static_cast<std::size_t>(width_) + 1) {
    height_.assign(static_cast<std::size_t>(width_) + 1, 0);
    area_.assign(static_cast<std::size_t>(width_) + 1, 0);
  }
  const std::size_t words = (static_cast<std::size_t>(width_) + 64) / 64;
  if (touched_.size() < words) touched_.assign(words, 0);
  active_.clear();
  std::size_t next = 0;
  int first_end = INT_MAX;  // the first sample row at which an active edge ends
  // Edges joining at sample row g.
  auto activate = [&](int g) {
    if (next == edges_.size() || edges_[next].g0 > g) return false;
    if (active_.empty()) first_end = edges_[next].g1;
    while (next < edges_.size() && edges_[next].g0 <= g) {
      Edge& e = edges_[next++];
      active_.push_back(&e);
      first_end = std::min(first_end, e.g1);
    }
    return true;
  };
  auto drop_ended = [&](int g) {
    if (g < first_end) return;
    std::size_t keep = 0;
    first_end = INT_MAX;
    for (Edge* e : active_) {
      if (e->g1 > g) {
        active_[keep++] = e;
        first_end = std::min(first_end, e->g1);
      }
    }
    active_.resize(keep);
  };
  // The winding number at the box's left side at sample row g.
  std::size_t side_next = 0;
  int side_winding = 0;
  auto side_at = [&](int g) {
    while (side_next < side_.size() && side_[side_next].first <= g) side_winding += side_[side_next++].second;
    return side_winding;
  };
  auto place = [&](int g) {
    for (Edge* e : active_) e->x = e->At(g);
  };
  const int left = x0 * 256, right = x1 * 256;
  bool unsorted = false;  // edges may have crossed since the last sort
  for (int row = row_first; row <= row_last; ++row) {
    const int g_row = row * kRows;
    // Nothing under way and the next change further down: skip to its row.
    if (active_.empty() && side_at(g_row) == 0) {
      int g = INT_MAX;
      if (next < edges_.size()) g = edges_[next].g0;
      if (side_next < side_.size()) g = std::min(g, side_[side_next].first);
      if (g == INT_MAX) break;
      if (g >= g_row + kRows) {
        row = RowOf(g) - 1;
        continue;
      }
    }
    drop_ended(g_row);
    activate(g_row);
    const int side_row = side_at(g_row);
    place(g_row);
    SortActive();
    unsorted = false;
    const int side_change = side_next < side_.size() ? side_[side_next].first : INT_MAX;
    // Cairo's converter takes a row whole when no edge starts below its
    // top or ends above its bottom and none crosses another; other rows it
    // samples.
    bool whole = (next == edges_.size() || edges_[next].g0 >= g_row + kRows) && side_change >= g_row + kRows;
    if (whole) {
      // Taken whole when no edge ends within the row and, ordered by where
      // they cross its top (ties by where they cross its bottom), the edges
      // cross its bottom in the same order: with the edges in order of
      // their tops (SortActive), each must cross the bottom no further
      // left than every edge of a smaller top.
      double left_bottom = -HUGE_VAL, group_bottom = -HUGE_VAL, group_top = -HUGE_VAL;
      for (const Edge* e : active_) {
        if (e->g1 < g_row + kRows) {
          whole = false;
          break;
        }
        const double bottom = e->At(g_row + kRows);
        if (e->x != group_top) {
          left_bottom = std::max(left_bottom, group_bottom);
          group_top = e->x, group_bottom = bottom;
        }
        group_bottom = std::max(group_bottom, bottom);
        if (bottom < left_bottom) {
          whole = false;
          break;
        }
      }
    }
    if (whole) {
      // Edges that meet at the row's top or bottom are ordered by where
      // they run within the row.
      crossings_.clear();
      if (side_row != 0) crossings_.push_back(Crossing{static_cast<double>(left), static_cast<double>(left), side_row});
      for (const Edge* e : active_) {
        const double top = e->x - e->step / 2;  // from the first sample row's centre back to the row's top
        crossings_.push_back(Crossing{top, top + kRows * e->step, e->dir});
      }
      SortFew(crossings_, [](const Crossing& a, const Crossing& b) { return a.top + a.bottom < b.top + b.bottom; });
      int winding = 0;
      for (const Crossing& c : crossings_) {
        const int before = winding;
        winding += c.dir;
        if (before == 0 && winding != 0)
          RowEdge(c.top, c.bottom, 1);
        else if (before != 0 && winding == 0)
          RowEdge(c.top, c.bottom, -1);
      }
    } else {
      // Sampled: between the sample rows where edges join or leave, the
      // edges keep their order (unless they cross), so each keeps its part
      // (where a span starts, where it ends, or inside one) and adds its
      // crossings of those rows on its own.
      for (int g = g_row; g < g_row + kRows;) {
        if (g > g_row) {
          drop_ended(g);
          // The order holds until edges join or cross.
          if (activate(g) || unsorted) {
            place(g);
            SortActive();
          }
          unsorted = false;
        }
        const int side = side_at(g);
        int stop = std::min(g_row + kRows, first_end);
        if (next < edges_.size()) stop = std::min(stop, edges_[next].g0);
        if (side_next < side_.size()) stop = std::min(stop, side_[side_next].first);
        Edge* const* const act = active_.data();
        const std::size_t n_act = active_.size();
        if (n_act > 1) {
          double before_x = act[0]->At(stop - 1);
          for (std::size_t i = 1; i < n_act; ++i) {
            const double at = act[i]->At(stop - 1);
            if (at < before_x) {
              unsorted = true;
              stop = g + 1;  // crossing edges: one sample row at a time
              break;
            }
            before_x = at;
          }
        }
        // The box's left side starts a span where pieces beside it wind.
        int winding = side;
        if (side != 0) Cell(0, stop - g, 0);
        for (std::size_t i = 0; i < n_act; ++i) {
          const Edge* e = act[i];
          const int before = winding;
          winding += e->dir;
          const int part = before == 0 ? 1 : winding == 0 ? -1 : 0;
          if (part == 0) continue;
          // Rows that fall in one cell are summed before they are kept.
          int cell = INT_MIN, height = 0, area = 0;
          for (int k = g; k < stop; ++k) {
            const int x = std::clamp(Floor(e->At(k)), left, right);
            const int ix = (x >> 8) - cell_base_;
            if (ix != cell) {
              if (height != 0) Cell(cell, height, area);
              cell = ix, height = 0, area = 0;
            }
            height += part;
            area += part * 2 * (x & 255);
          }
          if (height != 0) Cell(cell, height, area);
        }
        g = stop;
      }
    }
    // The row's cells in order; between two of them the coverage stays
    // what the cells to the left left it. Each row's covered pixels go
    // out as runs.
    // A short gap within a row is kept as uncovered pixels of one run: runs
    // are painted four pixels at a time.
    constexpr int kJoinGap = 8;
    int open_end = -1;  // the cell after the last one put, while its run is open
    std::vector<Coverage::Span>& spans = out->spans;
    std::vector<std::uint8_t>& alpha = out->alpha;
    // `n` cells from cell i, each of coverage `mask`: a run is opened at a
    // cell that covers something, joined to the one before across a short
    // gap, and holds on through cells that cover nothing while it is open.
    auto put = [&](int i, int n, std::uint32_t mask) {
      if (i != open_end) {
        if (mask == 0) return;
        if (open_end >= 0 && i > open_end && i - open_end <= kJoinGap) {
          alpha.insert(alpha.end(), static_cast<std::size_t>(i - open_end), std::uint8_t{0});
          spans.back().len += i - open_end;
        } else {
          spans.push_back(Coverage::Span{row, cell_base_ + i, 0, static_cast<std::uint32_t>(alpha.size())});
        }
      }
      if (n == 1)
        alpha.push_back(static_cast<std::uint8_t>(mask));
      else
        alpha.insert(alpha.end(), static_cast<std::size_t>(n), static_cast<std::uint8_t>(mask));
      spans.back().len += n;
      open_end = i + n;
    };
    auto mask_of = [](int area) {
      return area <= 0 ? 0u : static_cast<std::uint32_t>(std::min((area * 255 + 3840) / 7680, 255));
    };
    int cover = 0, done = 0;
    for (std::size_t w = 0; w < words; ++w) {
      while (touched_[w] != 0) {
        const int i = static_cast<int>(w * 64) + __builtin_ctzll(touched_[w]);
        touched_[w] &= touched_[w] - 1;
        if (cover != 0 && done < std::min(i, width_)) put(done, std::min(i, width_) - done, mask_of(512 * cover));
        if (i < width_) put(i, 1, mask_of(512 * (cover + height_[i]) - area_[i]));
        cover += height_[i];
        height_[i] = area_[i] = 0;
        done = i + 1;
      }
    }
    // A span still open runs on to the box's right side (where the pieces
    // right of the box would have closed it).
    if (cover != 0 && done < width_) put(done, width_ - done, mask_of(512 * cover));
  }
  edges_.clear();
  out->inside = !clipped && out->Within(x0, y0, x1, y1);
}

bool Coverage::Within(int bx0, int by0, int bx1, int by1) const {
  return x0 >= std::int64_t{bx0} * 256 && x1 < std::int64_t{bx1} * 256 && y0 >= std::int64_t{by0} * 256 &&
         y1 <= std::int64_t{by1} * 256;
}

void Coverage::Paint(std::uint32_t* pixels, int stride, int ox, int oy, std::uint32_t argb,
                     const ClipPixels* clip) const {
  const OverPainter painter(argb, cairo_spans);
  if (clip != nullptr) {
    for (const Span& s : spans) {
      const int y = oy + s.y, x = ox + s.x;
      std::uint32_t* line = pixels + static_cast<std::ptrdiff_t>(y) * stride;
      clip->ForEachInside(stride, y, x, x + s.len,
                          [&](int a, int b) { painter.Run(line + a, alpha.data() + s.at + (a - x), b - a); });
    }
    return;
  }
  for (const Span& s : spans) {
    std::uint32_t* line = pixels + static_cast<std::ptrdiff_t>(oy + s.y) * stride + ox + s.x;
    painter.Run(line, alpha.data() + s.at, s.len);
  }
}

}  // namespace ovi::gfx::detail
