#include "platform/gfx/objects.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

#include "platform/gfx/device_context.h"
#include "platform/gfx/fonts.h"
#include "platform/gfx/graphics.h"
#include "platform/gfx/image_io.h"
#include "platform/os/files.h"

namespace ovi::gfx {

namespace {

constexpr double kPi = std::numbers::pi;

bool Fin(double v) { return std::isfinite(v); }
bool AllFinite(std::initializer_list<double> vs) {
  for (double v : vs)
    if (!std::isfinite(v)) return false;
  return true;
}

// sin and cos of an angle in degrees, exact at multiples of 90.
void SinCosDeg(double deg, double* s, double* c) {
  double r = std::fmod(deg, 360.0);
  if (r < 0) r += 360.0;
  if (r == 0.0) {
    *s = 0, *c = 1;
  } else if (r == 90.0) {
    *s = 1, *c = 0;
  } else if (r == 180.0) {
    *s = 0, *c = -1;
  } else if (r == 270.0) {
    *s = -1, *c = 0;
  } else {
    *s = std::sin(deg * kPi / 180.0);
    *c = std::cos(deg * kPi / 180.0);
  }
}

Matrix Compose(const Matrix& outer, const Matrix& inner) {
  Matrix r;
  r.a = outer.a * inner.a + outer.c * inner.b;
  r.b = outer.b * inner.a + outer.d * inner.b;
  r.c = outer.a * inner.c + outer.c * inner.d;
  r.d = outer.b * inner.c + outer.d * inner.d;
  r.e = outer.a * inner.e + outer.c * inner.f + outer.e;
  r.f = outer.b * inner.e + outer.d * inner.f + outer.f;
  return r;
}

}  // namespace

const char* StatusName(Status s) {
  static const char* const names[] = {"Ok",
                                      "GenericError",
                                      "InvalidParameter",
                                      "OutOfMemory",
                                      "ObjectBusy",
                                      "InsufficientBuffer",
                                      "NotImplemented",
                                      "Win32Error",
                                      "WrongState",
                                      "Aborted",
                                      "FileNotFound",
                                      "ValueOverflow",
                                      "AccessDenied",
                                      "UnknownImageFormat",
                                      "FontFamilyNotFound",
                                      "FontStyleNotFound",
                                      "NotTrueTypeFont",
                                      "UnsupportedGdiplusVersion",
                                      "GdiplusNotInitialized"};
  int i = static_cast<int>(s);
  return (i >= 0 && i < static_cast<int>(std::size(names))) ? names[i] : "Unknown";
}

// ---------------------------------------------------------------- Matrix

Matrix::Matrix(REAL m11, REAL m12, REAL m21, REAL m22, REAL dx, REAL dy)
    : a(m11), b(m12), c(m21), d(m22), e(dx), f(dy) {}

void Matrix::PrependRaw(const Matrix& m) { *this = Compose(*this, m); }
void Matrix::AppendRaw(const Matrix& m) { *this = Compose(m, *this); }
bool Matrix::Finite() const { return AllFinite({a, b, c, d, e, f}); }

Status Matrix::Translate(REAL dx, REAL dy, MatrixOrder order) {
  if (!AllFinite({dx, dy})) return InvalidParameter;
  Matrix t;
  t.e = dx, t.f = dy;
  return Multiply(t, order);
}

Status Matrix::Scale(REAL sx, REAL sy, MatrixOrder order) {
  if (!AllFinite({sx, sy})) return InvalidParameter;
  Matrix t;
  t.a = sx, t.d = sy;
  return Multiply(t, order);
}

Status Matrix::Rotate(REAL degrees, MatrixOrder order) {
  if (!Fin(degrees)) return InvalidParameter;
  Matrix t;
  double s, co;
  SinCosDeg(degrees, &s, &co);
  t.a = co, t.b = s, t.c = -s, t.d = co;
  return Multiply(t, order);
}

Status Matrix::Multiply(const Matrix& other, MatrixOrder order) {
  if (!other.Finite()) return InvalidParameter;
  if (order == MatrixOrder::Prepend)
    PrependRaw(other);
  else if (order == MatrixOrder::Append)
    AppendRaw(other);
  else
    return InvalidParameter;
  return Ok;
}

Status Matrix::Invert() {
  double det = Determinant();
  if (!IsInvertible()) return InvalidParameter;
  Matrix r;
  r.a = d / det, r.b = -b / det, r.c = -c / det, r.d = a / det;
  r.e = -(r.a * e + r.c * f);
  r.f = -(r.b * e + r.d * f);
  *this = r;
  return Ok;
}

void Matrix::Reset() { *this = Matrix(); }
bool Matrix::IsIdentity() const { return a == 1 && b == 0 && c == 0 && d == 1 && e == 0 && f == 0; }
bool Matrix::IsInvertible() const {
  double det = Determinant();
  return Finite() && std::isfinite(det) && std::fabs(det) > 1e-12;
}
void Matrix::GetElements(REAL out[6]) const {
  out[0] = static_cast<REAL>(a), out[1] = static_cast<REAL>(b), out[2] = static_cast<REAL>(c);
  out[3] = static_cast<REAL>(d), out[4] = static_cast<REAL>(e), out[5] = static_cast<REAL>(f);
}
Status Matrix::TransformPoints(PointF* pts, int count) const {
  if (pts == nullptr || count <= 0) return InvalidParameter;
  for (int i = 0; i < count; ++i) {
    double x, y;
    Apply(pts[i].X, pts[i].Y, &x, &y);
    pts[i] = PointF(static_cast<REAL>(x), static_cast<REAL>(y));
  }
  return Ok;
}

// ---------------------------------------------------------------- Pens

AdjustableArrowCap::AdjustableArrowCap(REAL height, REAL width, bool filled)
    : height_(height), width_(width), filled_(filled) {
  if (!AllFinite({height, width}) || height < 0 || width < 0) status_ = InvalidParameter;
}

Pen::Pen(const Color& color, REAL width) : color_(color), width_(width) {
  if (!Fin(width) || width <= 0) status_ = InvalidParameter;
}

Status Pen::SetDashStyle(DashStyle style) {
  int v = static_cast<int>(style);
  if (v < 0 || v > 4) return InvalidParameter;
  dash_ = style;
  return Ok;
}
Status Pen::SetStartCap(LineCap cap) {
  int v = static_cast<int>(cap);
  if (v < 0 || v > 3) return InvalidParameter;
  start_cap_ = cap;
  start_arrow_.on = false;
  return Ok;
}
Status Pen::SetEndCap(LineCap cap) {
  int v = static_cast<int>(cap);
  if (v < 0 || v > 3) return InvalidParameter;
  end_cap_ = cap;
  end_arrow_.on = false;
  return Ok;
}
Status Pen::SetLineCap(LineCap start, LineCap end, LineCap /*dash*/) {
  Status s = SetStartCap(start);
  if (s != Ok) return s;
  return SetEndCap(end);
}
Status Pen::SetLineJoin(LineJoin join) {
  int v = static_cast<int>(join);
  if (v < 0 || v > 3) return InvalidParameter;
  join_ = join;
  return Ok;
}
Status Pen::SetCustomEndCap(const AdjustableArrowCap& cap) {
  if (cap.GetLastStatus() != Ok) return cap.GetLastStatus();
  end_arrow_ = Arrow{true, cap.GetHeight(), cap.GetWidth(), cap.IsFilled()};
  return Ok;
}
Status Pen::SetCustomStartCap(const AdjustableArrowCap& cap) {
  if (cap.GetLastStatus() != Ok) return cap.GetLastStatus();
  start_arrow_ = Arrow{true, cap.GetHeight(), cap.GetWidth(), cap.IsFilled()};
  return Ok;
}
Status Pen::SetColor(const Color& color) {
  color_ = color;
  return Ok;
}
Status Pen::SetWidth(REAL width) {
  if (!Fin(width) || width <= 0) return InvalidParameter;
  width_ = width;
  if (status_ == InvalidParameter) status_ = Ok;
  return Ok;
}

// ---------------------------------------------------------------- Fonts

FontFamily::FontFamily(std::string_view name) : name_(name.substr(0, std::min(name.find('\0'), name.size()))) {
  if (name_.empty() || name_.size() > 256) status_ = InvalidParameter;
}

std::string FontFamily::GetResolvedName() const { return detail::LookupFace(name_, 0)->resolved_family; }
REAL FontFamily::GetCellAscent(int style) const {
  return static_cast<REAL>(std::lround(detail::LookupFace(name_, style)->ascent * 2048.0));
}
REAL FontFamily::GetCellDescent(int style) const {
  return static_cast<REAL>(std::lround(detail::LookupFace(name_, style)->descent * 2048.0));
}
REAL FontFamily::GetLineSpacing(int style) const {
  return static_cast<REAL>(std::lround(detail::LookupFace(name_, style)->line_spacing * 2048.0));
}

Font::Font(const FontFamily& family, REAL em_size, int style, Unit unit) : family_(family.GetFamilyName()) {
  if (family.GetLastStatus() != Ok) {
    status_ = family.GetLastStatus();
    family_ = "sans-serif";
  }
  Init(em_size, style, unit);
}

Font::Font(std::string_view family, REAL em_size, int style, Unit unit)
    : family_(family.substr(0, std::min(family.find('\0'), family.size()))) {
  if (family_.empty() || family_.size() > 256) {
    status_ = InvalidParameter;
    family_ = "sans-serif";
  }
  Init(em_size, style, unit);
}

void Font::Init(REAL em_size, int style, Unit unit) {
  size_ = em_size;
  style_ = style & 0xF;
  unit_ = unit;
  double scale = 1.0;
  switch (unit) {
    case Unit::World:
    case Unit::Pixel:
    case Unit::Display: scale = 1.0; break;
    case Unit::Point: scale = 96.0 / 72.0; break;
    case Unit::Inch: scale = 96.0; break;
    case Unit::Document: scale = 96.0 / 300.0; break;
    case Unit::Millimeter: scale = 96.0 / 25.4; break;
    default:
      if (status_ == Ok) status_ = InvalidParameter;
  }
  em_world_ = static_cast<double>(em_size) * scale;
  if (!Fin(em_size) || em_size <= 0 || !Fin(em_world_) || em_world_ > 1e5) {
    if (status_ == Ok) status_ = InvalidParameter;
    em_world_ = 0;
  }
  // Never a null face, even for a refused font (it is simply never drawn).
  face_ = detail::LookupFace(family_, style_);
}

REAL Font::GetHeight() const { return static_cast<REAL>(em_world_ * face_->line_spacing); }

// ---------------------------------------------------------------- Paths

namespace detail {

void PathData::MoveTo(double x, double y) {
  cmds.push_back(kMove);
  pts.push_back({x, y});
  figure_open = true;
}
void PathData::LineTo(double x, double y) {
  if (!figure_open) return MoveTo(x, y);
  cmds.push_back(kLine);
  pts.push_back({x, y});
}
void PathData::CurveTo(double x1, double y1, double x2, double y2, double x3, double y3) {
  if (!figure_open) MoveTo(x1, y1);
  cmds.push_back(kCurve);
  pts.push_back({x1, y1});
  pts.push_back({x2, y2});
  pts.push_back({x3, y3});
}
void PathData::Close() {
  if (figure_open) cmds.push_back(kClose);
  figure_open = false;
}
bool PathData::LastPoint(double* x, double* y) const {
  if (!figure_open || pts.empty()) return false;
  *x = pts.back().x, *y = pts.back().y;
  return true;
}
void PathData::ConnectTo(double x, double y) {
  double lx, ly;
  if (LastPoint(&lx, &ly)) {
    if (lx != x || ly != y) LineTo(x, y);
  } else {
    MoveTo(x, y);
  }
}

namespace {

// A whole turn from 0 degrees is four quarters whose angles, and so their
// sines and cosines and the control points' factor, do not depend on the
// ellipse (the first angle is atan2(0, ry) = 0 for any ry > 0): worked out
// once by the same sums Arc does, a map of rings draws each from them.
struct WholeTurn {
  double c0, s0, k;
  double ca[4], sa[4], cb[4], sb[4];
  WholeTurn() {
    const double t0 = 0.0, t1 = t0 + 2 * kPi;
    c0 = std::cos(t0), s0 = std::sin(t0);
    const double step = (t1 - t0) / 4;
    k = 4.0 / 3.0 * std::tan(step / 4);
    double t = t0;
    for (int i = 0; i < 4; ++i) {
      const double ta = t, tb = t + step;
      ca[i] = std::cos(ta), sa[i] = std::sin(ta), cb[i] = std::cos(tb), sb[i] = std::sin(tb);
      t = tb;
    }
  }
};

}  // namespace

void PathData::Arc(double x, double y, double w, double h, double start, double sweep, bool connect) {
  double rx = w / 2, ry = h / 2, cx = x + rx, cy = y + ry;
  if (start == 0.0 && sweep == 360.0 && rx > 0.0 && ry > 0.0 && std::isfinite(rx) && std::isfinite(ry)) {
    static const WholeTurn turn;
    const double sx = cx + rx * turn.c0, sy = cy + ry * turn.s0;
    if (connect)
      ConnectTo(sx, sy);
    else
      MoveTo(sx, sy);
    for (int i = 0; i < 4; ++i) {
      const double ca = turn.ca[i], sa = turn.sa[i], cb = turn.cb[i], sb = turn.sb[i], k = turn.k;
      CurveTo(cx + rx * (ca - k * sa), cy + ry * (sa + k * ca), cx + rx * (cb + k * sb), cy + ry * (sb - k * cb),
              cx + rx * cb, cy + ry * sb);
    }
    return;
  }
  sweep = std::clamp(sweep, -360.0, 360.0);
  auto param = [&](double deg) {
    double s, c;
    SinCosDeg(deg, &s, &c);
    double th = deg * kPi / 180.0;
    double t = std::atan2(rx * s, ry * c);
    return th + std::remainder(t - th, 2 * kPi);
  };
  double t0 = param(start);
  double t1 = std::fabs(sweep) >= 360.0 ? t0 + (sweep > 0 ? 2 * kPi : -2 * kPi) : param(start + sweep);
  double sx = cx + rx * std::cos(t0), sy = cy + ry * std::sin(t0);
  if (std::fabs(sweep) < 360.0) {
    double s0, c0;
    SinCosDeg(start, &s0, &c0);
    // Exact end points where the angle is a multiple of 90 degrees.
    if (s0 == 0 || c0 == 0) sx = cx + rx * c0, sy = cy + ry * s0;
  }
  if (connect)
    ConnectTo(sx, sy);
  else
    MoveTo(sx, sy);
  double dt = t1 - t0;
  int n = std::max(1, static_cast<int>(std::ceil(std::fabs(dt) / (kPi / 2) - 1e-9)));
  double step = dt / n;
  double k = 4.0 / 3.0 * std::tan(step / 4);
  double t = t0;
  for (int i = 0; i < n; ++i) {
    double ta = t, tb = t + step;
    double ca = std::cos(ta), sa = std::sin(ta), cb = std::cos(tb), sb = std::sin(tb);
    double ex = cx + rx * cb, ey = cy + ry * sb;
    if (i == n - 1 && std::fabs(sweep) < 360.0) {
      double se, ce;
      SinCosDeg(start + sweep, &se, &ce);
      if (se == 0 || ce == 0) ex = cx + rx * ce, ey = cy + ry * se;
    }
    CurveTo(cx + rx * (ca - k * sa), cy + ry * (sa + k * ca), cx + rx * (cb + k * sb), cy + ry * (sb - k * cb), ex,
            ey);
    t = tb;
  }
}

void PathData::Ellipse(double x, double y, double w, double h) {
  Arc(x, y, w, h, 0, 360, false);
  Close();
}

void PathData::Curve(const PointF* p, int n, double tension, bool connect) {
  if (connect)
    ConnectTo(p[0].X, p[0].Y);
  else
    MoveTo(p[0].X, p[0].Y);
  double f = tension / 3.0;
  for (int i = 0; i + 1 < n; ++i) {
    const PointF& a = p[i > 0 ? i - 1 : 0];
    const PointF& b = p[i];
    const PointF& c = p[i + 1];
    const PointF& d = p[i + 2 < n ? i + 2 : n - 1];
    CurveTo(b.X + f * (c.X - a.X), b.Y + f * (c.Y - a.Y), c.X - f * (d.X - b.X), c.Y - f * (d.Y - b.Y), c.X, c.Y);
  }
}

}  // namespace detail

namespace {
template <typename P>
bool PointsOk(const P* pts, int count, int min) {
  if (pts == nullptr || count < min || count > (1 << 20)) return false;
  for (int i = 0; i < count; ++i)
    if (!AllFinite({static_cast<double>(pts[i].X), static_cast<double>(pts[i].Y)})) return false;
  return true;
}
std::vector<PointF> ToF(const Point* pts, int count) {
  std::vector<PointF> v(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) v[i] = PointF(static_cast<REAL>(pts[i].X), static_cast<REAL>(pts[i].Y));
  return v;
}
}  // namespace

Status GraphicsPath::AddLine(REAL x1, REAL y1, REAL x2, REAL y2) {
  if (!AllFinite({x1, y1, x2, y2})) return Fail(InvalidParameter);
  data_.ConnectTo(x1, y1);
  data_.LineTo(x2, y2);
  return Ok;
}
Status GraphicsPath::AddLineI(int x1, int y1, int x2, int y2) {
  return AddLine(static_cast<REAL>(x1), static_cast<REAL>(y1), static_cast<REAL>(x2), static_cast<REAL>(y2));
}
Status GraphicsPath::AddLines(const PointF* pts, int count) {
  if (!PointsOk(pts, count, 1)) return Fail(InvalidParameter);
  data_.ConnectTo(pts[0].X, pts[0].Y);
  for (int i = 1; i < count; ++i) data_.LineTo(pts[i].X, pts[i].Y);
  return Ok;
}
Status GraphicsPath::AddLinesI(const Point* pts, int count) {
  if (!PointsOk(pts, count, 1)) return Fail(InvalidParameter);
  auto v = ToF(pts, count);
  return AddLines(v.data(), count);
}
Status GraphicsPath::AddArc(REAL x, REAL y, REAL w, REAL h, REAL start, REAL sweep) {
  if (!AllFinite({x, y, w, h, start, sweep}) || w <= 0 || h <= 0) return Fail(InvalidParameter);
  data_.Arc(x, y, w, h, start, sweep, true);
  return Ok;
}
Status GraphicsPath::AddArcI(int x, int y, int w, int h, REAL start, REAL sweep) {
  return AddArc(static_cast<REAL>(x), static_cast<REAL>(y), static_cast<REAL>(w), static_cast<REAL>(h), start, sweep);
}
Status GraphicsPath::AddEllipse(REAL x, REAL y, REAL w, REAL h) {
  if (!AllFinite({x, y, w, h}) || w <= 0 || h <= 0) return Fail(InvalidParameter);
  data_.Ellipse(x, y, w, h);
  return Ok;
}
Status GraphicsPath::AddEllipseI(int x, int y, int w, int h) {
  return AddEllipse(static_cast<REAL>(x), static_cast<REAL>(y), static_cast<REAL>(w), static_cast<REAL>(h));
}
Status GraphicsPath::AddRectangle(const RectF& r) {
  if (!AllFinite({r.X, r.Y, r.Width, r.Height}) || r.Width <= 0 || r.Height <= 0) return Fail(InvalidParameter);
  data_.MoveTo(r.X, r.Y);
  data_.LineTo(static_cast<double>(r.X) + r.Width, r.Y);
  data_.LineTo(static_cast<double>(r.X) + r.Width, static_cast<double>(r.Y) + r.Height);
  data_.LineTo(r.X, static_cast<double>(r.Y) + r.Height);
  data_.Close();
  return Ok;
}
Status GraphicsPath::AddRectangleI(const Rect& r) {
  return AddRectangle(RectF(static_cast<REAL>(r.X), static_cast<REAL>(r.Y), static_cast<REAL>(r.Width),
                            static_cast<REAL>(r.Height)));
}
Status GraphicsPath::AddPolygon(const PointF* pts, int count) {
  if (!PointsOk(pts, count, 3)) return Fail(InvalidParameter);
  data_.MoveTo(pts[0].X, pts[0].Y);
  for (int i = 1; i < count; ++i) data_.LineTo(pts[i].X, pts[i].Y);
  data_.Close();
  return Ok;
}
Status GraphicsPath::AddPolygonI(const Point* pts, int count) {
  if (!PointsOk(pts, count, 3)) return Fail(InvalidParameter);
  auto v = ToF(pts, count);
  return AddPolygon(v.data(), count);
}
Status GraphicsPath::AddCurve(const PointF* pts, int count, REAL tension) {
  if (!PointsOk(pts, count, 2) || !Fin(tension) || tension < 0) return Fail(InvalidParameter);
  data_.Curve(pts, count, tension, true);
  return Ok;
}
Status GraphicsPath::AddCurveI(const Point* pts, int count, REAL tension) {
  if (!PointsOk(pts, count, 2)) return Fail(InvalidParameter);
  auto v = ToF(pts, count);
  return AddCurve(v.data(), count, tension);
}
Status GraphicsPath::AddPie(REAL x, REAL y, REAL w, REAL h, REAL start, REAL sweep) {
  if (!AllFinite({x, y, w, h, start, sweep}) || w <= 0 || h <= 0) return Fail(InvalidParameter);
  data_.MoveTo(static_cast<double>(x) + w / 2.0, static_cast<double>(y) + h / 2.0);
  data_.Arc(x, y, w, h, start, sweep, true);
  data_.Close();
  return Ok;
}
Status GraphicsPath::CloseFigure() {
  data_.Close();
  return Ok;
}
Status GraphicsPath::StartFigure() {
  data_.figure_open = false;
  return Ok;
}
Status GraphicsPath::SetFillMode(FillMode mode) {
  if (mode != FillMode::Alternate && mode != FillMode::Winding) return Fail(InvalidParameter);
  fill_mode_ = mode;
  return Ok;
}
Status GraphicsPath::Reset() {
  data_.Clear();
  fill_mode_ = FillMode::Alternate;
  status_ = Ok;
  return Ok;
}

// ---------------------------------------------------------------- Regions

Region::Region(const RectF& r) { Intersect(r); }
Region::Region(const Rect& r)
    : Region(RectF(static_cast<REAL>(r.X), static_cast<REAL>(r.Y), static_cast<REAL>(r.Width),
                   static_cast<REAL>(r.Height))) {}
Region::Region(const GraphicsPath& path) { Intersect(path); }

Status Region::Intersect(const RectF& r) {
  if (!AllFinite({r.X, r.Y, r.Width, r.Height}) || r.Width < 0 || r.Height < 0) {
    status_ = InvalidParameter;
    return status_;
  }
  Part p;
  p.mode = FillMode::Alternate;
  p.data.MoveTo(r.X, r.Y);
  p.data.LineTo(static_cast<double>(r.X) + r.Width, r.Y);
  p.data.LineTo(static_cast<double>(r.X) + r.Width, static_cast<double>(r.Y) + r.Height);
  p.data.LineTo(r.X, static_cast<double>(r.Y) + r.Height);
  p.data.Close();
  parts_.push_back(std::move(p));
  return Ok;
}
Status Region::Intersect(const GraphicsPath& path) {
  if (path.GetLastStatus() != Ok) {
    status_ = path.GetLastStatus();
    return status_;
  }
  parts_.push_back(Part{path.Data(), path.GetFillMode()});
  return Ok;
}
Status Region::MakeInfinite() {
  parts_.clear();
  status_ = Ok;
  return Ok;
}

// ---------------------------------------------------------------- Bitmaps

Bitmap::Bitmap(int width, int height) {
  if (width <= 0 || height <= 0 || width > 16384 || height > 16384) {
    status_ = InvalidParameter;
    return;
  }
  surface_ = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
  if (cairo_surface_status(surface_) != CAIRO_STATUS_SUCCESS) status_ = OutOfMemory;
}

namespace {

cairo_status_t ReadFromFile(void* closure, unsigned char* data, unsigned int length) {
  return std::fread(data, 1, length, static_cast<std::FILE*>(closure)) == length ? CAIRO_STATUS_SUCCESS
                                                                                  : CAIRO_STATUS_READ_ERROR;
}

}  // namespace

// Read through the one reader of files that never waits on one.
Bitmap::Bitmap(const std::string& png_path) {
  std::FILE* f = os::OpenRegularFile(png_path, kMaxPictureFileBytes);
  if (f == nullptr) {
    status_ = FileNotFound;
    return;
  }
  surface_ = cairo_image_surface_create_from_png_stream(ReadFromFile, f);
  std::fclose(f);
  if (cairo_surface_status(surface_) != CAIRO_STATUS_SUCCESS) status_ = FileNotFound;
}

Bitmap::Bitmap(const DeviceContext& dc) {
  if (!dc.Consistent() || dc.width <= 0 || dc.height <= 0) {
    status_ = InvalidParameter;
    return;
  }
  detail::SettleClippedDrawing(dc);
  surface_ = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, dc.width, dc.height);
  if (cairo_surface_status(surface_) != CAIRO_STATUS_SUCCESS) {
    status_ = OutOfMemory;
    return;
  }
  cairo_surface_flush(surface_);
  unsigned char* dst = cairo_image_surface_get_data(surface_);
  int dstride = cairo_image_surface_get_stride(surface_);
  const unsigned char* src = reinterpret_cast<const unsigned char*>(dc.pixels.data());
  for (int row = 0; row < dc.height; ++row) {
    std::memcpy(dst + static_cast<std::size_t>(row) * dstride, src + static_cast<std::size_t>(row) * dc.stride,
                static_cast<std::size_t>(dc.width) * 4);
  }
  cairo_surface_mark_dirty(surface_);
}

Bitmap::~Bitmap() {
  if (surface_ != nullptr) cairo_surface_destroy(surface_);
}

int Bitmap::GetWidth() const { return status_ == Ok ? cairo_image_surface_get_width(surface_) : 0; }
int Bitmap::GetHeight() const { return status_ == Ok ? cairo_image_surface_get_height(surface_) : 0; }

// ---------------------------------------------------------------- Text encodings

namespace {
void PutUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}
// Windows-1252 bytes 0x80..0x9F; undefined ones map to the C1 control of the same value.
constexpr char16_t kCp1252High[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                      0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                      0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
}  // namespace

std::string AnsiToUtf8(std::string_view ansi) {
  std::string out;
  out.reserve(ansi.size());
  for (char ch : ansi) {
    unsigned char c = static_cast<unsigned char>(ch);
    if (c == 0) break;
    if (c < 0x80)
      out.push_back(static_cast<char>(c));
    else if (c < 0xA0)
      PutUtf8(out, kCp1252High[c - 0x80]);
    else
      PutUtf8(out, c);
  }
  return out;
}

std::string Utf16ToUtf8(std::u16string_view wide) {
  std::string out;
  out.reserve(wide.size());
  for (std::size_t i = 0; i < wide.size(); ++i) {
    char32_t u = wide[i];
    if (u == 0) break;
    if (u >= 0xD800 && u <= 0xDBFF && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 && wide[i + 1] <= 0xDFFF) {
      u = 0x10000 + ((u - 0xD800) << 10) + (wide[i + 1] - 0xDC00);
      ++i;
    } else if (u >= 0xD800 && u <= 0xDFFF) {
      u = 0xFFFD;
    }
    PutUtf8(out, u);
  }
  return out;
}

}  // namespace ovi::gfx
