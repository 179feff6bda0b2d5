// The C-17 primary flight page's tapes: the speed tape (higher speeds
// below the pointer) with its trend caret and rolling readout, the altitude
// tape with its rolling readout, and the double-chevron bugs of the
// selected speed and altitude.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "src/guidance/state.h"
#include "src/instruments/mfd/c17/pfd_page.h"
#include "src/model/state.h"

namespace ovi::c17 {

namespace {

using display::FiniteOr;
using gfx::Point;
namespace c = pfd_colour;

const guidance::State& G() { return guidance::guidance_state; }
bool On(double v) { return v == 1.0; }

constexpr double kPerKnot = 1.75;  // canvas units, higher speeds downwards
constexpr double kPerFoot = 0.065;

// The units digit: 0 to 9, 10 units apart, the next higher below.
constexpr display::DrumColumn kUnitsDrum{
    .cycle = 10, .value_per_step = 1, .neighbours = 2, .pitch = 10.0, .higher_above = false, .format = "%d"};
// The tens of feet: 00 to 90, 12 units apart, the next higher above.
constexpr display::DrumColumn kTensDrum{
    .cycle = 10, .value_per_step = 1, .neighbours = 2, .pitch = 12.0, .higher_above = true, .format = "%d0"};

constexpr Point kSpeedWindow[] = {{-135, -7}, {-100, -7}, {-100, -12}, {-90, -12}, {-90, -7}, {-85, 0},
                                  {-90, 7},   {-90, 12},  {-100, 12},  {-100, 7},  {-135, 7}};
constexpr Point kAltitudeWindow[] = {{124, -12}, {109, -12}, {109, -7}, {89, -7}, {84, 0},
                                     {89, 7},    {109, 7},   {109, 12}, {124, 12}};

void ClipToRectangle(const PfdFrame& f, int left, int top, int right, int bottom) {
  f.Origin();
  gfx::GraphicsPath path;
  const Point corners[] = {{left, top}, {right, top}, {right, bottom}, {left, bottom}};
  path.AddPolygonI(corners, 4);
  f.g.SetClip(path);
}

// A readout window of the fine frame: filled black and made the clip; the
// caller draws inside, then `Close` outlines it as an open line.
template <std::size_t N>
struct Window {
  const PfdFrame& f;
  Point points[N];
  Window(const PfdFrame& frame, const Point (&shape)[N]) : f(frame) {
    for (std::size_t i = 0; i < N; ++i) points[i] = f.At(shape[i].X, shape[i].Y);
    f.g.FillPolygonI(gfx::SolidBrush(c::kBlack), points);
    gfx::GraphicsPath clip;
    clip.AddPolygonI(points, static_cast<int>(N));
    f.g.SetClip(clip);
  }
  void Close() const {
    f.g.ResetClip();
    f.g.DrawLinesI(f.FinePen(c::kWhite, 1.5), points);
  }
};

void DrawSpeedTape(const PfdFrame& f, double speed) {
  const double s = std::trunc(speed);
  ClipToRectangle(f, -122, -75, -84, 75);
  f.Fine();
  const gfx::Pen ladder = f.FinePen(c::kWhite, 1.5);
  const gfx::Font font = display::ArialBold(f.grid.SizeY(9));
  const gfx::SolidBrush white(c::kWhite);
  const display::TapeMarks marks = display::MarksWithin(s - 50.0, s + 50.0, 10);
  for (int k = 0; k < marks.count; ++k) {
    const std::int64_t v = marks.At(k);
    const double y = kPerKnot * (static_cast<double>(v) - s);
    if (v % 20 != 0) {
      f.Line(ladder, -85, y, -90, y);
      continue;
    }
    f.Line(ladder, -85, y, -95, y);
    if (v >= 0 || static_cast<double>(v) >= s) {
      display::DrawScreenTextF(f.g, font, white, static_cast<float>(f.grid.X(-115)),
                               static_cast<float>(f.grid.Y(y - 5)), "%3lld", static_cast<long long>(v));
    }
  }
  f.g.ResetClip();
}

// Toward the speed the aircraft is heading for: the trend average grows
// while the speed rises, and higher speeds lie below the pointer on this
// tape, so a rising speed puts the caret below it.
void DrawSpeedTrend(const PfdFrame& f) {
  if (model::model_state.DispC17SpdTrend != 1) return;
  f.Fine();
  const double t = std::clamp(std::trunc(1.7 * 180.0 * FiniteOr(G().TrendAverage)), -17.0, 17.0);
  const Point caret[] = {f.At(-25, t - 3), f.At(-19, t), f.At(-25, t + 3)};
  f.g.FillPolygonI(gfx::SolidBrush(c::kWhite), caret);
}

void DrawSpeedReadout(const PfdFrame& f, double speed) {
  f.Fine();
  const Window<std::size(kSpeedWindow)> window(f, kSpeedWindow);
  const display::AltitudeText r = C17SpeedReadout(speed);
  const std::string_view text(r.text);
  const char first[] = {text[0], '\0'}, second[] = {text[1], '\0'};
  f.Text(12, c::kGreen, -118, -6, first);
  f.Text(12, c::kGreen, -109, -6, second);
  const int tenths = speed < 1.0 ? 0 : display::DigitAt(text, 4);
  display::DrawDrumColumn(f.g, f.grid, display::ArialBold(f.grid.SizeY(12)), gfx::SolidBrush(c::kGreen), -100,
                          -6 - tenths, kUnitsDrum, display::DigitAt(text, 2));
  window.Close();
}

void DrawAltitudeTape(const PfdFrame& f, double altitude) {
  ClipToRectangle(f, 82, -70, 122, 70);
  f.Fine();
  const gfx::Pen ladder = f.FinePen(c::kWhite, 1.5);
  const gfx::Font font = display::ArialBold(f.grid.SizeY(9));
  const gfx::SolidBrush white(c::kWhite);
  const display::TapeMarks marks = display::MarksWithin(altitude - 1199.0, std::trunc(altitude + 1199.0), 100);
  for (int k = 0; k < marks.count; ++k) {
    const std::int64_t v = marks.At(k);
    const double y = (altitude - static_cast<double>(v)) * kPerFoot;
    if (v % 500 != 0) {
      f.Line(ladder, 84, y, 89, y);
      continue;
    }
    f.Line(ladder, 84, y, 94, y);
    display::DrawScreenTextF(f.g, font, white, static_cast<float>(f.grid.X(95)), static_cast<float>(f.grid.Y(y - 5)),
                             "%5lld", static_cast<long long>(v));
  }
  f.g.ResetClip();
}

void DrawAltitudeReadout(const PfdFrame& f, double altitude) {
  f.Fine();
  const Window<std::size(kAltitudeWindow)> window(f, kAltitudeWindow);
  const display::AltitudeText r = display::FiveCharacterAltitude(altitude);
  const std::string_view text(r.text);
  for (int i = 0; i < 3; ++i) {
    const char one[] = {text[static_cast<std::size_t>(i)], '\0'};
    f.Text(12, c::kGreen, 86 + 7 * i, -6, one);
  }
  display::DrawDrumColumn(f.g, f.grid, display::ArialBold(f.grid.SizeY(12)), gfx::SolidBrush(c::kGreen), 108,
                          display::DigitAt(text, 4) - 6, kTensDrum, display::DigitAt(text, 3));
  window.Close();
}

// A chevron with its tip at (x, y), its arms 5 units back toward `back`.
void Chevron(const PfdFrame& f, const gfx::Pen& pen, int x, int y, int back) {
  const Point arms[] = {{x + back, y - 5}, {x, y}, {x + back, y + 5}};
  f.g.DrawLinesI(pen, arms);
}

// One chevron while the bug lies on the tape; held at the tape's end, a
// second one beside it says the selected value lies beyond.
void DrawBug(const PfdFrame& f, const gfx::Pen& pen, double offset, int limit, int tip, int outer_tip, int back) {
  const int y = gfx::TruncToPixel(offset);
  if (y >= -limit && y <= limit) {
    Chevron(f, pen, tip, y, back);
    return;
  }
  const int held = std::clamp(y, -limit, limit);
  Chevron(f, pen, outer_tip, held, back);
  Chevron(f, pen, tip, held, back);
}

}  // namespace

display::AltitudeText C17SpeedReadout(double knots) {
  display::AltitudeText r{};
  const double held = std::clamp(FiniteOr(knots), 0.0, 999.9);
  char digits[16];
  const int n = std::clamp(std::snprintf(digits, sizeof digits, "%.1f", held), 0, 5);
  std::memset(r.text, ' ', 5);
  std::memcpy(r.text + 5 - n, digits, static_cast<std::size_t>(n));
  r.text[5] = '\0';
  return r;
}

void DrawC17PfdTapes(const PfdFrame& f) {
  const guidance::State& s = G();
  const double speed = FiniteOr(s.SmoothedAirspeed), altitude = FiniteOr(s.AircraftAltitude);
  DrawSpeedTape(f, speed);
  DrawSpeedTrend(f);
  DrawSpeedReadout(f, speed);
  DrawAltitudeTape(f, altitude);
  DrawAltitudeReadout(f, altitude);
  f.Origin();
  if (On(s.ApAirspeedHold)) {
    DrawBug(f, gfx::Pen(c::kCyan, 2.0f), (FiniteOr(s.ApAirspeedHoldVar) - speed) * 1.68, 67, -85, -82, 5);
  }
  if (On(s.ApMaster)) {
    const gfx::Pen pen(On(s.ApAltitudeLock) ? c::kPenGreen : c::kCyan, 2.0f);
    DrawBug(f, pen, (altitude - FiniteOr(s.ApAltitudeLockVar)) * kPerFoot, 65, 83, 80, -5);
  }
}

}  // namespace ovi::c17
