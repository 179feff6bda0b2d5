// The drawing objects: matrices, pens, brushes, fonts, string formats, paths,
// regions and bitmaps. Each is a small value created and released within a
// drawing call; none of them holds a device context. Objects built from bad
// input (NaN, zero or negative sizes) keep a non-Ok status, and every call
// that uses one is refused with that status.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/gfx/types.h"

typedef struct _cairo_surface cairo_surface_t;

namespace ovi::gfx {

struct DeviceContext;

// Affine transform: x' = m11 x + m21 y + dx, y' = m12 x + m22 y + dy.
class Matrix {
 public:
  Matrix() = default;
  Matrix(REAL m11, REAL m12, REAL m21, REAL m22, REAL dx, REAL dy);

  Status Translate(REAL dx, REAL dy, MatrixOrder order = MatrixOrder::Prepend);
  Status Scale(REAL sx, REAL sy, MatrixOrder order = MatrixOrder::Prepend);
  Status Rotate(REAL degrees, MatrixOrder order = MatrixOrder::Prepend);
  Status Multiply(const Matrix& other, MatrixOrder order = MatrixOrder::Prepend);
  Status Invert();
  void Reset();
  bool IsIdentity() const;
  bool IsInvertible() const;
  void GetElements(REAL out[6]) const;
  Status TransformPoints(PointF* pts, int count) const;

  // Double-precision access for the layer itself.
  double a = 1, b = 0, c = 0, d = 1, e = 0, f = 0;  // m11 m12 m21 m22 dx dy
  void Apply(double x, double y, double* ox, double* oy) const {
    *ox = a * x + c * y + e;
    *oy = b * x + d * y + f;
  }
  // this = first `m` then this (m applied to points before this).
  void PrependRaw(const Matrix& m);
  // this = first this then `m`.
  void AppendRaw(const Matrix& m);
  bool Finite() const;
  double Determinant() const { return a * d - b * c; }
};

// An arrow drawn at the end of a line; width and height are in pen widths.
class AdjustableArrowCap {
 public:
  AdjustableArrowCap(REAL height, REAL width, bool filled = true);
  REAL GetHeight() const { return height_; }
  REAL GetWidth() const { return width_; }
  bool IsFilled() const { return filled_; }
  Status GetLastStatus() const { return status_; }

 private:
  REAL height_, width_;
  bool filled_;
  Status status_ = Ok;
};

class Pen {
 public:
  explicit Pen(const Color& color, REAL width = 1.0f);

  Status SetDashStyle(DashStyle style);
  Status SetLineCap(LineCap start, LineCap end, LineCap dash = LineCap::Flat);
  Status SetStartCap(LineCap cap);
  Status SetEndCap(LineCap cap);
  Status SetLineJoin(LineJoin join);
  Status SetCustomEndCap(const AdjustableArrowCap& cap);
  Status SetCustomStartCap(const AdjustableArrowCap& cap);
  Status SetColor(const Color& color);
  Status SetWidth(REAL width);

  Color GetColor() const { return color_; }
  REAL GetWidth() const { return width_; }
  DashStyle GetDashStyle() const { return dash_; }
  LineCap GetStartCap() const { return start_cap_; }
  LineCap GetEndCap() const { return end_cap_; }
  LineJoin GetLineJoin() const { return join_; }
  Status GetLastStatus() const { return status_; }

  struct Arrow {
    bool on = false;
    REAL height = 0, width = 0;
    bool filled = true;
  };
  const Arrow& StartArrow() const { return start_arrow_; }
  const Arrow& EndArrow() const { return end_arrow_; }

 private:
  Color color_;
  REAL width_;
  DashStyle dash_ = DashStyle::Solid;
  LineCap start_cap_ = LineCap::Flat, end_cap_ = LineCap::Flat;
  LineJoin join_ = LineJoin::Miter;
  Arrow start_arrow_, end_arrow_;
  Status status_ = Ok;
};

class SolidBrush {
 public:
  explicit SolidBrush(const Color& color) : color_(color) {}
  Color GetColor() const { return color_; }
  Status SetColor(const Color& color) {
    color_ = color;
    return Ok;
  }
  Status GetLastStatus() const { return Ok; }

 private:
  Color color_;
};

namespace detail {
struct FaceEntry;
}

// A font family by name. A family that is not installed is served by the
// nearest installed sans face; the family keeps the name it was asked for.
class FontFamily {
 public:
  explicit FontFamily(std::string_view name);
  const std::string& GetFamilyName() const { return name_; }
  // The installed family that actually draws this one (e.g. "Liberation Sans" for "Arial").
  std::string GetResolvedName() const;
  // Design metrics in units of the em (GDI+ exposes them in design units over the em height).
  REAL GetEmHeight() const { return 2048.0f; }
  REAL GetCellAscent(int style = FontStyleRegular) const;
  REAL GetCellDescent(int style = FontStyleRegular) const;
  REAL GetLineSpacing(int style = FontStyleRegular) const;
  bool IsAvailable() const { return status_ == Ok; }
  Status GetLastStatus() const { return status_; }

 private:
  std::string name_;
  Status status_ = Ok;
};

class Font {
 public:
  Font(const FontFamily& family, REAL em_size, int style = FontStyleRegular, Unit unit = Unit::Point);
  Font(std::string_view family, REAL em_size, int style = FontStyleRegular, Unit unit = Unit::Point);

  const std::string& GetFamilyName() const { return family_; }
  REAL GetSize() const { return size_; }
  int GetStyle() const { return style_; }
  Unit GetUnit() const { return unit_; }
  // Em size in world units (points are taken at 96 per inch).
  double EmWorld() const { return em_world_; }
  // Line spacing in world units.
  REAL GetHeight() const;
  Status GetLastStatus() const { return status_; }
  const detail::FaceEntry* Face() const { return face_; }

 private:
  void Init(REAL em_size, int style, Unit unit);
  std::string family_;
  REAL size_ = 0;
  int style_ = 0;
  Unit unit_ = Unit::Point;
  double em_world_ = 0;
  const detail::FaceEntry* face_ = nullptr;
  Status status_ = Ok;
};

class StringFormat {
 public:
  explicit StringFormat(int flags = 0) : flags_(flags) {}
  Status SetAlignment(StringAlignment a) {
    align_ = a;
    return Ok;
  }
  Status SetLineAlignment(StringAlignment a) {
    line_align_ = a;
    return Ok;
  }
  Status SetFormatFlags(int flags) {
    flags_ = flags;
    return Ok;
  }
  StringAlignment GetAlignment() const { return align_; }
  StringAlignment GetLineAlignment() const { return line_align_; }
  int GetFormatFlags() const { return flags_; }

 private:
  StringAlignment align_ = StringAlignment::Near;
  StringAlignment line_align_ = StringAlignment::Near;
  int flags_ = 0;
};

namespace detail {
// Figures of move/line/cubic/close commands in double precision.
struct PathData {
  enum Cmd : std::uint8_t { kMove, kLine, kCurve, kClose };
  struct Pt {
    double x, y;
  };
  std::vector<Cmd> cmds;
  std::vector<Pt> pts;  // kMove/kLine: 1 point, kCurve: 3 points, kClose: none
  bool figure_open = false;

  void Clear() {
    cmds.clear();
    pts.clear();
    figure_open = false;
  }
  void MoveTo(double x, double y);
  void LineTo(double x, double y);
  void CurveTo(double x1, double y1, double x2, double y2, double x3, double y3);
  void Close();
  // Continue the current figure at (x, y): a line from its last point, or a
  // new figure when none is open.
  void ConnectTo(double x, double y);
  bool LastPoint(double* x, double* y) const;
  // Arc of the ellipse in the box (x, y, w, h), angles in degrees clockwise
  // from +x, measured as true angles on the ellipse. `connect`: join to the
  // open figure with a line; otherwise start a new figure.
  void Arc(double x, double y, double w, double h, double start, double sweep, bool connect);
  void Ellipse(double x, double y, double w, double h);
  // Cardinal spline through the points (GDI+ tension, 0.5 by default).
  void Curve(const PointF* p, int n, double tension, bool connect);
};
}  // namespace detail

class GraphicsPath {
 public:
  explicit GraphicsPath(FillMode mode = FillMode::Alternate) : fill_mode_(mode) {}

  Status AddLine(REAL x1, REAL y1, REAL x2, REAL y2);
  Status AddLine(const PointF& a, const PointF& b) { return AddLine(a.X, a.Y, b.X, b.Y); }
  Status AddLineI(int x1, int y1, int x2, int y2);
  Status AddLines(const PointF* pts, int count);
  Status AddLinesI(const Point* pts, int count);
  Status AddArc(REAL x, REAL y, REAL w, REAL h, REAL start, REAL sweep);
  Status AddArc(const RectF& r, REAL start, REAL sweep) { return AddArc(r.X, r.Y, r.Width, r.Height, start, sweep); }
  Status AddArcI(int x, int y, int w, int h, REAL start, REAL sweep);
  Status AddEllipse(REAL x, REAL y, REAL w, REAL h);
  Status AddEllipseI(int x, int y, int w, int h);
  Status AddRectangle(const RectF& r);
  Status AddRectangleI(const Rect& r);
  Status AddPolygon(const PointF* pts, int count);
  Status AddPolygonI(const Point* pts, int count);
  Status AddCurve(const PointF* pts, int count, REAL tension = 0.5f);
  Status AddCurveI(const Point* pts, int count, REAL tension = 0.5f);
  Status AddPie(REAL x, REAL y, REAL w, REAL h, REAL start, REAL sweep);
  Status CloseFigure();
  Status StartFigure();
  Status SetFillMode(FillMode mode);
  FillMode GetFillMode() const { return fill_mode_; }
  Status Reset();
  int GetPointCount() const { return static_cast<int>(data_.pts.size()); }
  Status GetLastStatus() const { return status_; }

  const detail::PathData& Data() const { return data_; }

 private:
  Status Fail(Status s) {
    status_ = s;
    return s;
  }
  detail::PathData data_;
  FillMode fill_mode_;
  Status status_ = Ok;
};

// A clip region: everything, a rectangle, a path, or the intersection of several.
class Region {
 public:
  Region() = default;  // infinite
  explicit Region(const RectF& r);
  explicit Region(const Rect& r);
  explicit Region(const GraphicsPath& path);
  Status Intersect(const RectF& r);
  Status Intersect(const GraphicsPath& path);
  Status MakeInfinite();
  bool IsInfinite() const { return parts_.empty(); }
  Status GetLastStatus() const { return status_; }

  struct Part {
    detail::PathData data;
    FillMode mode;
  };
  const std::vector<Part>& Parts() const { return parts_; }

 private:
  std::vector<Part> parts_;
  Status status_ = Ok;
};

// An image that can be drawn with Graphics::DrawImage.
class Bitmap {
 public:
  Bitmap(int width, int height);
  explicit Bitmap(const std::string& png_path);  // status FileNotFound when unreadable
  explicit Bitmap(const DeviceContext& dc);      // a copy of its pixels
  ~Bitmap();
  Bitmap(const Bitmap&) = delete;
  Bitmap& operator=(const Bitmap&) = delete;

  int GetWidth() const;
  int GetHeight() const;
  Status GetLastStatus() const { return status_; }
  cairo_surface_t* Surface() const { return surface_; }

 private:
  cairo_surface_t* surface_ = nullptr;
  Status status_ = Ok;
};

// Converts 8-bit text in the Windows-1252 code page to UTF-8 (the stand-in of
// the ANSI-to-wide conversion the gauges do before drawing). Stops at a NUL.
std::string AnsiToUtf8(std::string_view ansi);
// UTF-16 to UTF-8; unpaired surrogates become U+FFFD. Stops at a NUL.
std::string Utf16ToUtf8(std::u16string_view wide);

}  // namespace ovi::gfx
