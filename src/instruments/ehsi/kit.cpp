#include "src/instruments/ehsi/kit.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "src/display/labels.h"
#include "src/flightplan/state.h"
#include "src/host/sim_vars.h"

namespace ovi::ehsi {

using display::colour::kMagenta;
using display::colour::kWhite;

void RoseFrame::At(double rotation) const { display::UseOrigin(g, scale, cx, cy, rotation); }

namespace {

constexpr std::size_t kMaxShapePoints = 16;

// At most kMaxShapePoints of `points`, moved by (dx, dy), into `moved`.
std::span<const gfx::Point> Moved(std::span<const gfx::Point> points, int dx, int dy,
                                  gfx::Point (&moved)[kMaxShapePoints]) {
  const std::size_t n = points.size() < kMaxShapePoints ? points.size() : kMaxShapePoints;
  for (std::size_t i = 0; i < n; ++i) moved[i] = gfx::Point(points[i].X + dx, points[i].Y + dy);
  return {moved, n};
}

}  // namespace

void DrawShape(gfx::Graphics& g, const Shape& shape, int dx, int dy) {
  gfx::Point moved[kMaxShapePoints];
  if (!shape.fill.empty()) g.FillPolygonI(gfx::SolidBrush(shape.colour), Moved(shape.fill, dx, dy, moved));
  if (shape.lines.empty() && shape.outline.empty()) return;
  gfx::Pen pen(shape.colour, shape.width);
  if (shape.dashed) pen.SetDashStyle(gfx::DashStyle::Dash);
  display::DrawSegments(g, pen, shape.lines, dx, dy);
  if (!shape.outline.empty()) g.DrawLinesI(pen, Moved(shape.outline, dx, dy, moved));
}

void DrawAircraftShape(gfx::Graphics& g, const Shape& shape) {
  DrawShape(g, shape);
  int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  auto take = [&](const gfx::Point& p) {
    x0 = std::min(x0, p.X), y0 = std::min(y0, p.Y), x1 = std::max(x1, p.X), y1 = std::max(y1, p.Y);
  };
  for (const Segment& s : shape.lines) take(s[0]), take(s[1]);
  for (const gfx::Point& p : shape.outline) take(p);
  for (const gfx::Point& p : shape.fill) take(p);
  const float pad = shape.width;
  display::ClaimMapBox(g, display::MapRank::kMark,
                       gfx::RectF(static_cast<float>(x0) - pad, static_cast<float>(y0) - pad,
                                  static_cast<float>(x1 - x0) + 2.0f * pad, static_cast<float>(y1 - y0) + 2.0f * pad));
}

void DrawShapeToward(const RoseFrame& f, double bearing, const Shape& shape) {
  f.Toward(bearing);
  DrawShape(f.g, shape);
}

bool InCompassWindow(double a, double heading, double window) {
  if (window <= 0.0) return true;
  const double rel = a - heading;
  return (rel > -window && rel < window) || (rel > 360.0 - window && rel < 360.0) ||
         (rel > -360.0 && rel < window - 360.0);
}

namespace {

// A tick from its inner to its outer end.
void DrawTick(gfx::Graphics& g, const gfx::Pen& pen, int r1, int r2) {
  g.DrawLineI(pen, 0, -std::min(r1, r2), 0, -std::max(r1, r2));
}

const CompassLabel* LabelOf(const CompassScale& s, int a) {
  for (const CompassLabel& l : s.labels)
    if (l.angle == a) return &l;
  return nullptr;
}

}  // namespace

void DrawCompassScale(const RoseFrame& f, const CompassScale& s) {
  if (s.step <= 0 || s.major_every <= 0 || s.label_every <= 0) return;
  const gfx::Pen pen(kWhite, s.tick_width);
  const gfx::SolidBrush brush(kWhite);
  const gfx::Font font = s.font(s.font_size);
  const gfx::Font major_font = s.font(s.major_font_size > 0.0f ? s.major_font_size : s.font_size);
  for (int a = 0; a < 360; a += s.step) {
    if (!InCompassWindow(a, f.heading, s.window)) continue;
    const double rel = a - f.heading;
    f.At(rel);
    const bool major = a % s.major_every == 0;
    if (!major || s.long_over_short) DrawTick(f.g, pen, s.tick_radius, s.minor_outer);
    if (major) DrawTick(f.g, pen, s.major_inner > 0 ? s.major_inner : s.tick_radius, s.major_outer);
    if (a % s.label_every != 0) continue;
    const CompassLabel* own = LabelOf(s, a);
    if (!s.labels.empty() && own == nullptr) continue;
    if (s.upright_radius > 0.0f) {
      f.g.TranslateTransform(0.0f, -s.upright_radius);
      f.g.RotateTransform(static_cast<float>(std::fmod(-rel, 360.0)));
    }
    if (own != nullptr) {
      display::DrawScreenText(f.g, major ? major_font : font, brush, own->x, s.label_y, own->text);
      continue;
    }
    const int label = a / 10;
    display::DrawScreenTextF(f.g, major ? major_font : font, brush,
                             label < 10 ? s.label_x_one_digit : s.label_x_two_digits, s.label_y, "%d", label);
  }
}

namespace {

void DrawDotsAndArrow(const RoseFrame& f, const CoursePointer& p, double course) {
  f.Toward(course);
  display::DrawCircles(f.g, gfx::Pen(kWhite, p.dot_width), p.dots, p.dot_diameter);
  DrawShape(f.g, p.arrow);
  DrawShape(f.g, p.tail);
}

}  // namespace

void DrawCoursePointerAt(const RoseFrame& f, const CoursePointer& p, double course, int x, ToFrom sense) {
  DrawDotsAndArrow(f, p, course);
  const gfx::Pen pen(p.arrow.colour, p.arrow.width);
  if (p.bar.empty())
    f.g.DrawLineI(pen, x, p.bar_top, x, p.bar_bottom);
  else
    display::DrawPolylineAt(f.g, pen, p.bar, x, 0);
  const int dx = p.heads_follow_bar ? x : 0;
  if (sense == ToFrom::kTo) DrawShape(f.g, p.to_head, dx, 0);
  if (sense == ToFrom::kFrom) DrawShape(f.g, p.from_head, dx, 0);
}

void DrawCoursePointer(const RoseFrame& f, const CoursePointer& p, double course, std::optional<double> needle,
                       ToFrom sense) {
  if (!needle.has_value()) {
    DrawDotsAndArrow(f, p, course);
    return;
  }
  DrawCoursePointerAt(f, p, course, gfx::TruncToPixel(display::FiniteOr(*needle) * p.bar_per_needle), sense);
}

int GlideslopePointerY(const GlideslopeScale& s, double needle) {
  const double deflection = display::FiniteOr(needle) * s.per_needle;
  return s.offset_after_trunc ? gfx::TruncToPixel(deflection) + static_cast<int>(s.offset)
                              : gfx::TruncToPixel(deflection + s.offset);
}

void DrawGlideslopeScale(const RoseFrame& f, const GlideslopeScale& s, double needle, bool with_pointer) {
  f.At();
  const gfx::Pen white(kWhite, s.line_width);
  display::DrawSegments(f.g, white, s.frame);
  display::DrawCircles(f.g, white, s.dots, s.dot_diameter);
  display::DrawCircles(f.g, white, s.small_dots, s.small_dot_diameter);
  if (s.centre_outline.empty())
    display::DrawSegments(f.g, white, std::span<const Segment>(&s.centre, 1));
  else
    f.g.DrawLinesI(white, s.centre_outline);
  if (!with_pointer) return;
  const int y = GlideslopePointerY(s, needle);
  if (s.pointer_shape.colour != 0) {
    DrawShape(f.g, s.pointer_shape, 0, y);
    return;
  }
  if (!s.pointer_filled) {
    display::DrawPolylineAt(f.g, gfx::Pen(kMagenta, 2.0f), s.pointer, 0, y);
    return;
  }
  constexpr std::size_t kMaxPoints = 16;
  gfx::Point moved[kMaxPoints];
  const std::size_t n = s.pointer.size() < kMaxPoints ? s.pointer.size() : kMaxPoints;
  for (std::size_t i = 0; i < n; ++i) moved[i] = gfx::Point(s.pointer[i].X, s.pointer[i].Y + y);
  f.g.FillPolygonI(gfx::SolidBrush(kMagenta), std::span<const gfx::Point>(moved, n));
}

double ShorterTurn(double h, double s) {
  if (h > s) {
    const double left = h - s;
    return left > 180.0 ? 360.0 - h + s : -left;
  }
  const double right = s - h;
  return right > 180.0 ? -(360.0 - s + h) : right;
}

namespace {

// Moves g's transform across the screen so that `text` at `at` stands
// within the canvas's width: a readout turned toward the screen's side ran
// off its edge ("000" at +40 degrees on the DU-1000's arc lost 6.6 of its
// 36.6 pixels).
void SlideOnScreen(const RoseFrame& f, const gfx::Font& font, gfx::PointF at, const char* text, float width) {
  gfx::RectF box;
  f.g.MeasureString(text, font, at, nullptr, &box);
  gfx::Matrix m;
  f.g.GetTransform(&m);
  double left = INFINITY, right = -INFINITY;
  for (const double x : {static_cast<double>(box.X), static_cast<double>(box.X) + box.Width})
    for (const double y : {static_cast<double>(box.Y), static_cast<double>(box.Y) + box.Height}) {
      double dx, dy;
      m.Apply(x, y, &dx, &dy);
      left = std::fmin(left, dx), right = std::fmax(right, dx);
    }
  const double edge = static_cast<double>(width) * f.scale.sx;
  const double slide = right > edge ? edge - right : left < 0.0 ? -left : 0.0;
  if (slide != 0.0 && std::isfinite(slide))
    f.g.TranslateTransform(static_cast<gfx::REAL>(slide), 0.0f, gfx::MatrixOrder::Append);
}

}  // namespace

void DrawSelectedHeading(const RoseFrame& f, const HeadingMarker& m, double selected) {
  selected = display::FiniteOr(selected);
  const double turn = ShorterTurn(f.heading, selected);
  if (m.readout_beyond > 0.0 && std::fabs(turn) > m.readout_beyond) {
    f.At(turn < 0.0 ? -m.readout_turn : m.readout_turn);
    char text[16];
    std::snprintf(text, sizeof text, "%03.0f", selected);
    const gfx::Font font = m.font(m.font_size);
    gfx::Matrix turned;
    f.g.GetTransform(&turned);
    if (m.screen_width > 0.0f) SlideOnScreen(f, font, m.readout_at, text, m.screen_width);
    display::DrawScreenText(f.g, font, gfx::SolidBrush(m.line.colour), m.readout_at.X, m.readout_at.Y, text);
    f.g.SetTransform(turned);
    return;
  }
  DrawShapeToward(f, selected, m.line);
}

Nav1Source ReadNav1Source() {
  if (!(host::GetNav1Signal() > 0.0)) return Nav1Source::kNone;
  if (host::IsNav1Localizer() == 0) return Nav1Source::kVor;
  return host::IsNav1GlideslopeAvailable() != 0 ? Nav1Source::kIls : Nav1Source::kLoc;
}

const char* Nav1SourceLabel(Nav1Source source) {
  switch (source) {
    case Nav1Source::kVor:
      return "VOR";
    case Nav1Source::kIls:
      return "ILS";
    case Nav1Source::kLoc:
      return "LOC";
    case Nav1Source::kNone:
      break;
  }
  return "";
}

std::string ActiveWaypointIdent(int field) {
  const flightplan::State& f = flightplan::flightplan_state;
  const int index = f.ActiveWaypointIndex;
  if (index < 0 || index > f.ActiveFlightPlanLastIndex) return {};
  const model::FlightPlanWaypoint* wpt = f.ActiveFlightPlan.At(index);
  return wpt != nullptr ? display::FitLabel(wpt->ident, field) : std::string();
}

}  // namespace ovi::ehsi
