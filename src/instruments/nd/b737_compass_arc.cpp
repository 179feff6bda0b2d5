// The expanded compass of modes 3 to 7: heading arc or all-round scale,
// range marks, and in modes 3 and 4 the course line and deviation.
#include <algorithm>
#include <cmath>
#include <span>

#include "src/guidance/state.h"
#include "src/host/sim_vars.h"
#include "src/instruments/nd/b737_compass.h"
#include "src/instruments/nd/b737_nd.h"
#include "src/model/state.h"

namespace ovi::nd {

namespace {

using gfx::Point;

const guidance::State& G() { return guidance::guidance_state; }

constexpr float kLowX = kB737NdCenterX, kLowY = kArcCenterY;               // modes 3, 4, 5 and the arc of 7
constexpr float kCentredX = kB737NdCenterX, kCentredY = kCentredCenterY;  // mode 6

constexpr Point kAircraftTriangle[] = {{0, 0}, {-7, 18}, {7, 18}, {0, 0}};
constexpr Point kDeviationDots[] = {{-25, -3}, {-40, -3}, {20, -3}, {35, -3}};
constexpr Point kPointerHead[] = {{-3, -20}, {-3, -40}, {0, -45}, {3, -40}, {3, -20}, {-3, -20}};
constexpr Point kPointerTail[] = {{-3, 25}, {-3, 45}, {3, 45}, {3, 25}, {-3, 25}};
// Mode 4 glideslope, beside the dots as on the full rose: the dots' centre
// lies at y -40, the mark and the diamond 3 units left of the dots' column.
constexpr Point kGlideslopeDots[] = {{103, -55}, {103, -70}, {103, -30}, {103, -15}};
constexpr Point kGlideslopeCentre[] = {{100, -42}, {110, -42}, {110, -36}, {100, -36}, {100, -42}};

// The aircraft's own triangle, about the origin: a mark no text covers.
void ClaimAircraft(const B737NdFrame& f) {
  display::ClaimMapBox(f.g, display::MapRank::kMark, gfx::RectF(-8.0f, -1.0f, 16.0f, 20.0f));
}

void DrawHalfRangeMark(const B737NdFrame& f, const gfx::Pen& white2, float text_y, int tick_y) {
  DrawMapTextF(f.g, display::MapRank::kRangeFigure, ArialBold(10.0f), gfx::SolidBrush(colour::kWhite), -20.0f, text_y,
               "%s", display::RingFigure(f.range * 0.5, 3).c_str());
  f.g.DrawLineI(white2, -3, tick_y, 3, tick_y);
}

// Ticks every 5 degrees within 55 degrees of the heading, labels every 30.
void DrawHeadingArc(const B737NdFrame& f, const gfx::Pen& white2, double heading) {
  const gfx::Font label_font = ArialBold(12.0f);
  const gfx::SolidBrush white(colour::kWhite);
  f.UseOrigin(kLowX, kLowY);
  f.g.DrawEllipseI(white2, -217, -217, 434, 434);
  for (int a = 0; a < 360; a += 5) {
    const double relative = RelativeAngle(a, heading);
    if (!(relative > -55.0 && relative < 55.0)) continue;
    f.UseOrigin(kLowX, kLowY, a - heading);
    f.g.DrawLineI(white2, 0, -217, 0, a % 10 == 0 ? -207 : -212);
    if (a % 30 == 0) {
      const int label = a / 10;
      DrawScreenTextF(f.g, label_font, white, label < 10 ? -7.0f : -9.0f, -207.0f, "%d", label);
    }
  }
}

// Mode 6: a tick every 10 degrees all round, a label instead of the tick
// every 30.
void DrawHeadingCircle(const B737NdFrame& f, const gfx::Pen& white2, double heading) {
  const gfx::Font label_font = ArialBold(12.0f);
  const gfx::SolidBrush white(colour::kWhite);
  for (int a = 0; a < 360; a += 10) {
    f.UseOrigin(kCentredX, kCentredY, a - heading);
    if (a % 30 == 0) {
      const int label = a / 10;
      DrawScreenTextF(f.g, label_font, white, label < 10 ? -9.0f : -8.0f, -100.0f, "%d", label);
    } else {
      f.g.DrawLineI(white2, 0, -90, 0, -100);
    }
  }
}

void DrawGlideslope(const B737NdFrame& f, const gfx::Pen& white2) {
  f.UseOrigin(kLowX, kLowY);
  for (const Point& p : kGlideslopeDots) f.g.DrawEllipseI(white2, p.X, p.Y, 5, 5);
  f.g.DrawLinesI(white2, kGlideslopeCentre);
  if (host::GetSimToken852() == 0.0) return;
  const double needle = std::clamp(FiniteOr(G().Nav1GlideslopeNeedle), -127.0, 127.0);
  const int y = gfx::TruncToPixel(needle * 10.0 / 47.0) - 40;
  const Point diamond[] = {{100, y}, {105, y - 5}, {110, y}, {105, y + 5}};
  f.g.FillPolygonI(gfx::SolidBrush(colour::kMagenta), diamond);
}

void DrawCourseDeviation(const B737NdFrame& f, const CourseSource& source, const gfx::Pen& white2) {
  const gfx::Pen magenta2(colour::kMagenta, 2.0f);
  gfx::Pen magenta2_dashed(colour::kMagenta, 2.0f);
  magenta2_dashed.SetDashStyle(gfx::DashStyle::Dash);
  f.UseOrigin(kLowX, kLowY, source.rotation);
  f.g.DrawLineI(magenta2, 0, -45, 0, -190);
  for (const Point& p : kDeviationDots) f.g.DrawEllipseI(white2, p.X, p.Y, 5, 5);
  f.g.DrawLinesI(white2, kPointerHead);
  const int o = source.offset;
  const Point bar[] = {{o - 3, 23}, {o - 3, -18}, {o + 3, -18}, {o + 3, 23}, {o - 3, 23}};
  f.g.DrawLinesI(magenta2, bar);
  f.g.DrawLinesI(white2, kPointerTail);
  f.g.DrawLineI(magenta2_dashed, 0, 45, 0, 190);
}

}  // namespace

void DrawExpandedCompassArc(const B737NdFrame& f) {
  const gfx::Pen white2(colour::kWhite, 2.0f);
  const double heading = FiniteOr(G().AircraftHeading);
  const int mode = f.mode;

  if (mode >= 3 && mode <= 5) {
    f.UseOrigin(kLowX, kLowY);
    f.g.DrawLinesI(white2, kAircraftTriangle);
    ClaimAircraft(f);
    DrawHalfRangeMark(f, white2, -120.0f, -108);
    f.g.DrawLineI(white2, 0, 0, 0, -217);
  }
  if ((mode >= 3 && mode <= 5) || mode == kB737NdModePlan) DrawHeadingArc(f, white2, heading);
  if (mode == 6) {
    f.UseOrigin(kCentredX, kCentredY);
    f.g.DrawLineI(white2, 0, 0, 0, -130);
    DrawHalfRangeMark(f, white2, -60.0f, -55);
    f.g.DrawLinesI(white2, kAircraftTriangle);
    ClaimAircraft(f);
    DrawHeadingCircle(f, white2, heading);
  }
  if (mode == 4 && host::IsNav1GlideslopeAvailable() != 0) DrawGlideslope(f, white2);
  if (mode == 3 || mode == 4) {
    DrawCourseDeviation(f, mode == 3 ? RouteCourseSource() : RadioCourseSource(), white2);
    if (mode == 4 && host::GetNav1Signal() > 0.0) {
      f.UseOrigin(kLowX, kLowY);
      DrawScreenText(f.g, ArialBold(12.0f), gfx::SolidBrush(colour::kWhite), 70.0f, 5.0f,
                     Nav1ToStation() ? "TO" : "FROM");
    }
  }
}

}  // namespace ovi::nd
