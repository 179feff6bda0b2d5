// Straight-edged strokes rasterised without Cairo, the way Cairo's default
// anti-aliasing rasterises them: the outline Cairo's stroker builds (butt
// caps, miter joins up to the miter limit, else bevels, the turning point on
// the inner side), filled non-zero with 15 sample rows per pixel row and
// each sample row covering from where the edge crosses it, exact to 1/256
// of a pixel (an edge that runs across several pixels within the row
// spreads its step over them), composited OVER with the coverage as mask. Cairo's scan converter spends
// most of a busy map frame on small symbols and short legs; this one does
// the same sums with a fraction of the bookkeeping. Pixels agree with
// Cairo's to within one level on smoothed edges (docs/drawing.md).
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "platform/gfx/objects.h"

namespace ovi::gfx::detail {

// An affine map, user space to device space (x' = a x + c y + e).
struct Affine {
  double a = 1, b = 0, c = 0, d = 1, e = 0, f = 0;
};

class ThinStroke {
 public:
  struct FixPt {
    std::int64_t x, y;  // 1/256 pixel
  };
  struct Knots {
    FixPt a, b, c, d;
  };
  // The stroke of one figure of straight segments, `half_width` in user
  // units. `dashes` (in user units, on first; null for a solid line) start
  // `dash_offset` into the pattern; callers dash open figures only.
  void AddFigure(const PathData::Pt* pts, std::size_t n, bool closed, const Affine& m, double half_width,
                 const double* dashes, int dash_count, double dash_offset);
  // The stroke of one figure of Bezier curves (a start point, then three
  // points a curve), solid. False, with nothing added, when the figure
  // bends too sharply for the pen to be drawn as Cairo draws it.
  bool AddCurves(const PathData::Pt* pts, std::size_t n, bool closed, const Affine& m, double half_width);
  // Fills what was added over the pixels of the box [x0, x1) x [y0, y1)
  // (already cut to the surface) and forgets it.
  void Composite(std::uint32_t* pixels, int stride, int x0, int y0, int x1, int y1, std::uint32_t argb);
  void Clear() { lines_.clear(); }
  bool Empty() const { return lines_.empty(); }

 private:
  struct Edge {
    int g0, g1;      // sample rows [g0, g1) it crosses
    double x0;       // x at sample row g0, 1/256 pixel
    double step;     // x per sample row
    int dir;         // +1 downwards, -1 upwards
    double x = 0.0;  // x at the sample row being filled
  };
  struct Line {
    double xa, ya, xb, yb;  // 1/256 pixel, ya < yb
    int dir;
    double slope;  // x per y
  };
  struct Crossing {
    double top, bottom;  // x where it enters and leaves the row, 1/256 pixel
    int dir;
  };
  struct DevPt {
    double x, y;
  };
  void Solid(const std::vector<DevPt>& dev, const std::vector<DevPt>& user_dir, bool closed, const Affine& m,
             double hw);
  void Contour(std::vector<DevPt>& pts);
  struct Face {
    double x, y;    // device pixels, on the fixed-point grid
    double dx, dy;  // direction the stroke runs, device space
  };
  void Flatten(const PathData::Pt* pts, std::size_t n, const Affine& m);
  void StrokeDevicePoints(bool closed, const Affine& m, double hw, const double* dashes, int dash_count,
                          double dash_offset);
  bool Smooth(bool closed, const Affine& m, double hw);
  bool GentleBends(bool closed, const Affine& m, double hw) const;
  std::vector<Face> faces_;
  std::vector<Knots> knots_;
  void AddEdge(const DevPt& p, const DevPt& q);
  void ClipToBox(const Line& l, double bx0, double by0, double bx1, double by1);
  void Piece(const Line& l, double top, double bottom, bool vertical_at, double x);

  std::vector<Line> lines_;
  std::vector<Edge> edges_;
  std::vector<Edge*> active_;
  std::vector<Crossing> crossings_;
  std::vector<std::pair<double, double>> order_;
  // The cells of the pixel row being filled (see Cell()).
  std::vector<int> height_, area_;
  int width_ = 0;
  std::vector<std::uint64_t> touched_;  // a bit per cell in use
  void Cell(int ix, int height, int area);
  void RowEdge(double top, double bottom, int sign);
  void SortActive();
  // Scratch of one figure.
  std::vector<DevPt> dev_, dir_, normal_, left_, right_, piece_dev_, piece_dir_;
  std::vector<double> lengths_;
};

// True when every segment of the figures runs along a pixel axis in device
// space: Cairo strokes such paths as boxes, not as a polygon.
bool Rectilinear(const PathData& data, const Affine& m);

}  // namespace ovi::gfx::detail
