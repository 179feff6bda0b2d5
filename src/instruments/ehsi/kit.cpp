#include "src/instruments/ehsi/kit.h"

#include <cmath>

#include "src/host/sim_vars.h"

namespace ovi::ehsi {

using display::colour::kMagenta;
using display::colour::kWhite;

void RoseFrame::At(double rotation) const { display::UseOrigin(g, scale, cx, cy, rotation); }

void DrawShape(gfx::Graphics& g, const Shape& shape) {
  const gfx::Pen pen(shape.colour, shape.width);
  display::DrawSegments(g, pen, shape.lines);
  if (!shape.outline.empty()) g.DrawLinesI(pen, shape.outline);
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
    f.g.DrawLineI(pen, 0, -s.tick_radius, 0, major ? -s.major_outer : -s.minor_outer);
    if (a % s.label_every != 0) continue;
    const int label = a / 10;
    if (s.upright_radius > 0.0f) {
      f.g.TranslateTransform(0.0f, -s.upright_radius);
      f.g.RotateTransform(static_cast<float>(std::fmod(-rel, 360.0)));
    }
    const bool one_digit = label < 10 && !(s.padded_labels && label > 0);
    const float shift = major ? s.major_label_shift : 0.0f;
    display::DrawScreenTextF(f.g, major ? major_font : font, brush,
                             (one_digit ? s.label_x_one_digit : s.label_x_two_digits) + shift, s.label_y,
                             one_digit ? "%d" : "%02d", label);
  }
}

void DrawCoursePointer(const RoseFrame& f, const CoursePointer& p, double course, double needle, ToFrom sense) {
  f.Toward(course);
  display::DrawCircles(f.g, gfx::Pen(kWhite, 2.0f), p.dots, p.dot_diameter);
  DrawShape(f.g, p.arrow);
  const gfx::Pen pen(p.arrow.colour, p.arrow.width);
  const int x = gfx::TruncToPixel(display::FiniteOr(needle) * p.bar_per_needle);
  f.g.DrawLineI(pen, x, p.bar_top, x, p.bar_bottom);
  if (sense == ToFrom::kTo) display::DrawSegments(f.g, pen, p.to_head, x, 0);
  if (sense == ToFrom::kFrom) display::DrawSegments(f.g, pen, p.from_head, x, 0);
}

void DrawGlideslopeScale(const RoseFrame& f, const GlideslopeScale& s, double needle) {
  f.At();
  const gfx::Pen white(kWhite, 2.0f);
  display::DrawCircles(f.g, white, s.dots, s.dot_diameter);
  display::DrawSegments(f.g, white, std::span<const Segment>(&s.centre, 1));
  const int y = gfx::TruncToPixel(display::FiniteOr(needle) * s.per_needle + s.offset);
  display::DrawPolylineAt(f.g, gfx::Pen(kMagenta, 2.0f), s.pointer, 0, y);
}

double ShorterTurn(double h, double s) {
  if (h > s) {
    const double left = h - s;
    return left > 180.0 ? 360.0 - h + s : -left;
  }
  const double right = s - h;
  return right > 180.0 ? -(360.0 - s + h) : right;
}

void DrawSelectedHeading(const RoseFrame& f, const HeadingMarker& m, double selected) {
  selected = display::FiniteOr(selected);
  const double turn = ShorterTurn(f.heading, selected);
  if (m.readout_beyond > 0.0 && std::fabs(turn) > m.readout_beyond) {
    f.At(turn < 0.0 ? -m.readout_turn : m.readout_turn);
    display::DrawScreenTextF(f.g, m.font(m.font_size), gfx::SolidBrush(m.line.colour), m.readout_at.X,
                             m.readout_at.Y, "%03.0f", selected);
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

}  // namespace ovi::ehsi
