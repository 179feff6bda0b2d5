// Straight-edged strokes rasterised without Cairo, the way Cairo's default
// anti-aliasing rasterises them: the outline Cairo's stroker builds (butt
// caps, miter joins up to the miter limit, else bevels, the turning point on
// the inner side), filled non-zero with 15 sample rows per pixel row and
// each sample row covering from where the edge crosses it, exact to 1/256
// of a pixel (an edge that runs across several pixels within the row
// spreads its step over them), composited OVER with the coverage as mask.
// Cairo's scan converter spends most of a busy map frame on small symbols
// and short legs; this one does the same sums with a fraction of the
// bookkeeping. Pixels agree with Cairo's to within one level on smoothed
// edges (docs/drawing.md).
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "platform/gfx/objects.h"

namespace ovi::gfx::detail {

// A clip as pixels: the mask of an aliased fill of its outline over the
// outline's device box, for each row of the box the runs of the surface's
// row outside the clip (outside_row[r] .. [r + 1]; none at all when the
// clip is a plain box), and the tight box of what it covers.
struct ClipPixels {
  struct Run {
    int x0, x1;
  };
  int x0 = 0, y0 = 0, w = 0, h = 0, stride = 0;
  // Not 0 once the clip is kept for the process: a clip combined with it
  // is then keyed on it.
  std::uint64_t serial = 0;
  std::vector<std::uint8_t> mask;
  std::vector<Run> outside;
  std::vector<int> outside_row;
  Rect box;
  // A box of pixels all inside the clip (empty when none was found): what
  // is drawn within it never needs putting back; the same for each row of
  // the mask (an empty run where the row has no single inside run).
  Rect inner;
  std::vector<Run> inside;

  // Calls f(a, b) for each run [a, b) of [x0, x1) in row y of a surface
  // `width` pixels wide that the clip lets through (clip not a plain box).
  template <class F>
  void ForEachInside(int width, int y, int x0, int x1, F&& f) const {
    const int r = y - y0;
    if (r < 0 || r >= h || x0 >= x1) return;
    const Run& one = inside[static_cast<std::size_t>(r)];
    if (one.x0 < one.x1) {
      if (std::max(x0, one.x0) < std::min(x1, one.x1)) f(std::max(x0, one.x0), std::min(x1, one.x1));
      return;
    }
    int from = 0;
    for (int i = outside_row[static_cast<std::size_t>(r)]; i <= outside_row[static_cast<std::size_t>(r) + 1]; ++i) {
      const int to = i < outside_row[static_cast<std::size_t>(r) + 1] ? outside[static_cast<std::size_t>(i)].x0 : width;
      if (std::max(x0, from) < std::min(x1, to)) f(std::max(x0, from), std::min(x1, to));
      if (i < outside_row[static_cast<std::size_t>(r) + 1]) from = outside[static_cast<std::size_t>(i)].x1;
    }
  }
};

// An affine map, user space to device space (x' = a x + c y + e).
struct Affine {
  double a = 1, b = 0, c = 0, d = 1, e = 0, f = 0;
};

// A solid colour composited OVER pixels through a coverage value, with the
// rounding pixman uses for a solid source and an alpha mask (the colour as
// Cairo hands it to pixman, IN the coverage, OVER the pixel, channels added
// with saturation); four pixels at a time where the processor allows.
class OverPainter {
 public:
  // `spans`: as Cairo's own span filler paints an opaque colour (a linear
  // blend of colour and pixel, each product rounded from 127/255 up), the
  // way Cairo composites the strokes and fills it rasterises itself.
  explicit OverPainter(std::uint32_t argb, bool spans = false)
      : alpha_(argb >> 24), lerp_(spans && (argb >> 24) == 255), round_(lerp_ ? 0x7F : 0x80) {
    auto pre = [&](std::uint32_t c) {
      return static_cast<std::uint32_t>(static_cast<int>(c / 255.0 * alpha_ / 255.0 * 65535.0 + 0.5) >> 8);
    };
    solid_ = (alpha_ << 24) | (pre((argb >> 16) & 0xFF) << 16) | (pre((argb >> 8) & 0xFF) << 8) | pre(argb & 0xFF);
  }
  void Put(std::uint32_t& px, std::uint32_t coverage) const {
    if (coverage == 0) return;
    if (coverage == 255 && alpha_ == 255) {
      px = solid_;
      return;
    }
    const std::uint32_t in = Mul4(solid_, coverage, round_);
    px = Add4(in, Mul4(px, 255 - (in >> 24), round_));
  }
  // `n` pixels from `dst`, through the coverage values from `cov`.
  void Run(std::uint32_t* dst, const std::uint8_t* cov, int n) const {
    int k = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128(), k80 = _mm_set1_epi16(static_cast<short>(round_)),
                  k255 = _mm_set1_epi16(255);
    const __m128i src = _mm_unpacklo_epi8(_mm_set1_epi32(static_cast<int>(solid_)), zero);
    const __m128i solid4 = _mm_set1_epi32(static_cast<int>(solid_));
    // x * a / 255 in each 16-bit lane, rounded as pixman rounds.
    auto mul = [&](__m128i x, __m128i a) {
      const __m128i t = _mm_add_epi16(_mm_mullo_epi16(x, a), k80);
      return _mm_srli_epi16(_mm_add_epi16(t, _mm_srli_epi16(t, 8)), 8);
    };
    auto inverse_alpha = [&](__m128i v) {
      return _mm_sub_epi16(k255, _mm_shufflehi_epi16(_mm_shufflelo_epi16(v, 0xFF), 0xFF));
    };
    // Four pixels through the four coverage values in m4 (not all 0 or
    // all 255).
    auto four = [&](__m128i p, std::uint32_t m4) {
      __m128i m = _mm_cvtsi32_si128(static_cast<int>(m4));
      m = _mm_unpacklo_epi8(m, m);
      m = _mm_unpacklo_epi16(m, m);  // each coverage in the four bytes of its pixel
      const __m128i in_lo = mul(src, _mm_unpacklo_epi8(m, zero)), in_hi = mul(src, _mm_unpackhi_epi8(m, zero));
      const __m128i lo = _mm_add_epi16(in_lo, mul(_mm_unpacklo_epi8(p, zero), inverse_alpha(in_lo)));
      const __m128i hi = _mm_add_epi16(in_hi, mul(_mm_unpackhi_epi8(p, zero), inverse_alpha(in_hi)));
      return _mm_packus_epi16(lo, hi);
    };
    for (; k + 4 <= n; k += 4) {
      std::uint32_t m4;
      std::memcpy(&m4, cov + k, sizeof m4);
      if (m4 == 0) continue;
      if (m4 == 0xFFFFFFFFu && alpha_ == 255) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + k), solid4);
        continue;
      }
      _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + k),
                       four(_mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + k)), m4));
    }
    // The last two or three pixels the same way, lane by lane (a coverage
    // of 0 leaves a pixel as it is).
    if (n - k >= 2) {
      const bool three = n - k == 3;
      const std::uint32_t m4 = cov[k] | std::uint32_t{cov[k + 1]} << 8 | (three ? std::uint32_t{cov[k + 2]} << 16 : 0u);
      const __m128i p = _mm_set_epi32(0, three ? static_cast<int>(dst[k + 2]) : 0, static_cast<int>(dst[k + 1]),
                                      static_cast<int>(dst[k]));
      const __m128i r = four(p, m4);
      dst[k] = static_cast<std::uint32_t>(_mm_cvtsi128_si32(r));
      dst[k + 1] = static_cast<std::uint32_t>(_mm_cvtsi128_si32(_mm_srli_si128(r, 4)));
      if (three) dst[k + 2] = static_cast<std::uint32_t>(_mm_cvtsi128_si32(_mm_srli_si128(r, 8)));
      k = n;
    }
#endif
    for (; k < n; ++k) Put(dst[k], cov[k]);
  }

 private:
  // Each 8-bit channel of `x` times a / 255, rounded, two channels to a
  // 32-bit lane.
  static std::uint32_t Mul4(std::uint32_t x, std::uint32_t a, std::uint32_t round) {
    const std::uint32_t half = round * 0x00010001u;
    std::uint32_t rb = (x & 0x00FF00FFu) * a + half;
    rb = ((rb + ((rb >> 8) & 0x00FF00FFu)) >> 8) & 0x00FF00FFu;
    std::uint32_t ag = ((x >> 8) & 0x00FF00FFu) * a + half;
    ag = (ag + ((ag >> 8) & 0x00FF00FFu)) & 0xFF00FF00u;
    return rb | ag;
  }
  // Each 8-bit channel of x + y, at most 255.
  static std::uint32_t Add4(std::uint32_t x, std::uint32_t y) {
    std::uint32_t rb = (x & 0x00FF00FFu) + (y & 0x00FF00FFu);
    rb = (rb | (0x01000100u - ((rb >> 8) & 0x00010001u))) & 0x00FF00FFu;
    std::uint32_t ag = ((x >> 8) & 0x00FF00FFu) + ((y >> 8) & 0x00FF00FFu);
    ag = (ag | (0x01000100u - ((ag >> 8) & 0x00010001u))) & 0x00FF00FFu;
    return rb | (ag << 8);
  }
  std::uint32_t alpha_;
  bool lerp_;
  std::uint32_t round_;
  std::uint32_t solid_ = 0;
};

// What a stroke covers, pixel by pixel: runs of coverage (0..255) along
// rows, in pixels from the figure's origin (see ThinStroke). Painting it
// gives the pixels the stroke gives; the same figure at another origin
// covers the same runs moved by whole pixels.
struct Coverage {
  struct Span {
    int y, x, len;    // row, first column, pixels
    std::uint32_t at;  // index of its first coverage value in `alpha`
  };
  std::vector<Span> spans;
  std::vector<std::uint8_t> alpha;
  // The box it was filled over (pixels from the origin), how far the
  // outline and the converter's steps along it reach (1/256 pixel), and
  // whether that lay inside the box: then the coverage does not depend on
  // the box, else it holds for that box only.
  int box_x0 = 0, box_y0 = 0, box_x1 = 0, box_y1 = 0;
  std::int64_t x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  bool inside = false;

  void Clear() {
    spans.clear();
    alpha.clear();
    inside = false;
    cairo_spans = false;
  }
  std::size_t Bytes() const { return spans.size() * sizeof(Span) + alpha.size(); }
  // True when filling over the box [bx0, bx1) x [by0, by1) (pixels from the
  // origin) gives this same coverage.
  bool ValidIn(int bx0, int by0, int bx1, int by1) const {
    return inside ? Within(bx0, by0, bx1, by1) : bx0 == box_x0 && by0 == box_y0 && bx1 == box_x1 && by1 == box_y1;
  }
  bool Within(int bx0, int by0, int bx1, int by1) const;
  // Composites the coverage OVER the pixels with the figure's origin at
  // (ox, oy), in `argb` (pixman's rounding); with a `clip`, only the
  // pixels it lets through (the surface `stride` pixels wide).
  void Paint(std::uint32_t* pixels, int stride, int ox, int oy, std::uint32_t argb,
             const ClipPixels* clip = nullptr) const;
  // Painted as Cairo paints what it rasterises itself (OverPainter).
  bool cairo_spans = false;
};

// The converter works in 1/256 pixel from an origin of whole pixels that the
// caller picks for each operation (its first point's pixel): every sum then
// depends on where the figure lies within its pixels, not on where it lies
// on the surface, so a figure moved by whole pixels gives the same coverage.
class ThinStroke {
 public:
  struct FixPt {
    std::int64_t x, y;  // 1/256 pixel
  };
  struct Knots {
    FixPt a, b, c, d;
  };
  // A user-space point put on the device's fixed-point grid as Cairo does.
  static FixPt ToDevice(const Affine& m, const PathData::Pt& p);
  // The stroke of one figure of straight segments through fixed device
  // points, `half_width` in user units (the linear part of `m` maps user to
  // device space). `dashes` (in user units, on first; null for a solid
  // line) start `dash_offset` into the pattern; callers dash open figures
  // only.
  void AddFigure(const FixPt* pts, std::size_t n, bool closed, const Affine& m, double half_width,
                 const double* dashes, int dash_count, double dash_offset);
  // The stroke of one figure of Bezier curves (a start point, then three
  // points a curve), solid. False, with nothing added, when the figure
  // bends too sharply for the pen to be drawn as Cairo draws it.
  bool AddCurves(const FixPt* pts, std::size_t n, bool closed, const Affine& m, double half_width);
  // The box the next figures will be filled over (pixels from the origin):
  // runs of an open figure (and dashes) that lie farther outside it than
  // the pen and its joins reach are left out, which changes no pixel of it.
  void SetBox(int x0, int y0, int x1, int y1) { box_ = {x0, y0, x1, y1}, has_box_ = true; }
  void NoBox() { has_box_ = false; }
  // Fills what was added over the pixels of the box [x0, x1) x [y0, y1)
  // (already cut to the surface, in pixels from the origin) into `out`,
  // and forgets it.
  void Fill(int x0, int y0, int x1, int y1, Coverage* out);
  void Clear() { lines_.clear(); }
  bool Empty() const { return lines_.empty(); }

 private:
  struct Edge {
    int g0, g1;      // sample rows [g0, g1) it crosses
    double x0;       // x at sample row g0, 1/256 pixel
    double step;     // x per sample row
    int dir;         // +1 downwards, -1 upwards
    double x = 0.0;  // x at the sample row being filled
    // x at sample row g, worked out from the start (never summed step by
    // step, so that it does not depend on the rows filled before).
    double At(int g) const { return x0 + (g - g0) * step; }
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
  void Flatten(const FixPt* pts, std::size_t n);
  void StrokeDevicePoints(bool closed, const Affine& m, double hw, const double* dashes, int dash_count,
                          double dash_offset);
  bool Smooth(bool closed, const Affine& m, double hw);
  bool GentleBends(bool closed, const Affine& m, double hw) const;
  std::vector<Face> faces_;
  std::vector<Knots> knots_;
  void AddEdge(const DevPt& p, const DevPt& q);
  void ClipToBox(const Line& l, double bx0, double by0, double bx1, double by1);
  void Piece(const Line& l, double top, double bottom);
  void Beside(const Line& l, double top, double bottom, bool left);

  std::vector<Line> lines_;
  std::vector<Edge> edges_;
  // Where the winding number at the box's left side changes: (sample row,
  // change), from the pieces left of the box.
  std::vector<std::pair<int, int>> side_;
  std::vector<Edge*> active_;
  std::vector<Crossing> crossings_;
  std::vector<std::pair<double, double>> order_;
  // The cells of the pixel row being filled (see Cell()), the first one at
  // the box's left side (cell_base_ pixels from the origin).
  std::vector<int> height_, area_;
  int width_ = 0;
  int cell_base_ = 0;
  std::vector<std::uint64_t> touched_;  // a bit per cell in use
  void Cell(int ix, int height, int area);
  void RowEdge(double top, double bottom, int sign);
  void SortActive();
  struct Box {
    int x0, y0, x1, y1;
  };
  Box box_{0, 0, 0, 0};
  bool has_box_ = false;
  bool FarOutside(const DevPt* pts, std::size_t n, double reach) const;
  // Scratch of one figure.
  std::vector<DevPt> dev_, dir_, normal_, left_, right_, piece_dev_, piece_dir_;
  std::vector<double> lengths_;
};

// True when every segment of the figures runs along a pixel axis in device
// space: Cairo strokes such paths as boxes, not as a polygon.
bool Rectilinear(const PathData& data, const Affine& m);

}  // namespace ovi::gfx::detail
