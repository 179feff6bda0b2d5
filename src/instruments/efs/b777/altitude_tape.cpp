// The B777 PFD's altitude tape with its readout and marker (fine pass), and
// the vertical speed scale beside it (canvas pass).
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "src/guidance/state.h"
#include "src/instruments/efs/b777/b777_pfd.h"

namespace ovi::efs {

namespace {

using display::FiniteOr;
using gfx::Point;
namespace c = b777_colour;

constexpr double kPerFoot = 0.2455;  // canvas units, higher altitudes upwards

// The last two digits roll in 20-foot steps, 0.6 units a foot: 12 units
// between neighbours on the drum.
constexpr display::DrumColumn kTwentiesDrum{
    .cycle = 5, .value_per_step = 2, .neighbours = 2, .pitch = 12.0, .higher_above = true, .format = "%d0"};

constexpr Point kReadoutBox[] = {{87, 0}, {92, -5}, {92, -15}, {128, -15}, {128, 15}, {92, 15}, {92, 5}, {87, 0}};
// The marker: a box 20 x 10 with a notch toward the tape's marks.
constexpr Point kAltitudeMarker[] = {{82, -5}, {102, -5}, {102, 5}, {82, 5}, {82, 2}, {87, 0}, {82, -2}, {82, -5}};

void ClipToTape(const B777Frame& f) { ClipToB777Rectangle(f, 80, -100, 120, 100); }

void Line(const B777Frame& f, const gfx::Pen& pen, double x1, double y1, double x2, double y2) {
  f.g.DrawLineI(pen, f.grid.X(x1), f.grid.Y(y1), f.grid.X(x2), f.grid.Y(y2));
}

void DrawScale(const B777Frame& f, double altitude) {
  const gfx::Pen white(c::kWhite, f.Size(1));
  const gfx::SolidBrush brush(c::kWhite);
  const gfx::Font font = display::ArialBold(f.Size(9));
  const display::TapeMarks marks = display::MarksWithin(altitude - 500.0, altitude + 500.0, 100);
  for (int k = 0; k < marks.count; ++k) {
    const std::int64_t h = marks.At(k);
    const double y = kPerFoot * (altitude - static_cast<double>(h));
    Line(f, white, 85, y, 92, y);
    if (h % 200 != 0) continue;
    display::DrawScreenTextF(f.g, font, brush, static_cast<float>(f.grid.X(93)), static_cast<float>(f.grid.Y(y - 5)),
                             "%03.0f", static_cast<double>(h));
    if (h == 0) {
      Line(f, white, 85, y - 5, 120, y - 5);
      Line(f, white, 85, y + 5, 120, y + 5);
    }
  }
}

// The first two characters large, the third smaller; the drum as small.
constexpr ReadoutCharacter kFixed[] = {{91, -6, 12}, {99, -6, 12}, {107, -6, 11}};

void DrawReadout(const B777Frame& f, double altitude) {
  const ReadoutText r = B777AltitudeReadout(altitude);
  const std::string_view text(r.text, static_cast<std::size_t>(r.length));
  // Tens and units of feet: the tens taken to the even value at or below
  // them, and the feet (tenths included) above that 20-foot step.
  const int tens = display::DigitAt(text, 3);
  const double above = (tens % 2) * 10 + display::DigitAt(text, 4) + display::DigitAt(text, 6) / 10.0;
  DrawB777Readout(f, {kReadoutBox, kFixed, kTwentiesDrum, 113, 11}, r, -5.0 + 0.6 * above, tens / 2);
}

void DrawMarker(const B777Frame& f, double altitude) {
  ClipToTape(f);
  const int dy = f.grid.Y(-kPerFoot * (FiniteOr(guidance::guidance_state.ApAltitudeLockVar) - altitude));
  Point marker[std::size(kAltitudeMarker)];
  for (std::size_t i = 0; i < std::size(kAltitudeMarker); ++i) {
    marker[i] = Point(f.grid.X(kAltitudeMarker[i].X), f.grid.Y(kAltitudeMarker[i].Y) + dy);
  }
  f.g.DrawLinesI(gfx::Pen(c::kMagenta, f.Size(1)), marker);
  f.g.ResetClip();
}

// The scale's breakpoints: (ft/min, units), the needle straight between
// them; the labelled ones are drawn wider.
struct VerticalSpeedMark {
  int fpm;
  double units;
  float width;
  const char* label;
};
constexpr VerticalSpeedMark kVerticalSpeedMarks[] = {
    {0, 0, 2, nullptr}, {500, 14, 1, nullptr},  {1000, 28, 2, "1"}, {1500, 38, 1, nullptr},
    {2000, 48, 2, "2"}, {4000, 56, 1, nullptr}, {6000, 64, 2, "6"}};
// The needle meets each mark: 0.028 units a foot a minute to 1000, 0.02 to
// 2000, 0.004 to 6000.
constexpr struct { double fpm, units; } kNeedleBreakpoints[] = {{0, 0}, {1000, 28}, {2000, 48}, {6000, 64}};

constexpr Point kVerticalSpeedBackground[] = {{130, 0},  {130, -20}, {125, -25}, {125, -70}, {135, -70}, {145, -40},
                                              {145, 40}, {135, 70},  {125, 70},  {125, 25},  {130, 20},  {130, 0}};

}  // namespace

double B777VerticalSpeedUnits(double fpm) {
  // Whole feet a minute, as the needle has always taken them.
  const double v = std::trunc(std::min(std::fabs(FiniteOr(fpm)), 1e6));
  for (std::size_t i = 1; i < std::size(kNeedleBreakpoints); ++i) {
    const auto& a = kNeedleBreakpoints[i - 1];
    const auto& b = kNeedleBreakpoints[i];
    if (v <= b.fpm) return a.units + (v - a.fpm) * (b.units - a.units) / (b.fpm - a.fpm);
  }
  return kNeedleBreakpoints[std::size(kNeedleBreakpoints) - 1].units;
}

ReadoutText B777AltitudeReadout(double feet) {
  // Seven characters: five digits of feet, a point and the tenth. Beyond
  // 99999.9 ft the readout stays there; a negative altitude takes a minus
  // sign in front of its digits, down to -9999.9 ft.
  feet = std::clamp(FiniteOr(feet), -9999.9, 99999.9);
  char digits[16];
  int n = std::snprintf(digits, sizeof digits, "%.1f", std::fabs(feet));
  n = std::clamp(n, 0, 7);
  ReadoutText r{};
  std::memset(r.text, ' ', 7);
  // Below 10 ft the tens digit still shows, as 0.
  const bool pad = n < 4;
  const int start = 7 - n - (pad ? 1 : 0);
  if (pad) r.text[start] = '0';
  std::memcpy(r.text + start + (pad ? 1 : 0), digits, static_cast<std::size_t>(n));
  if (feet < 0.0 && start > 0) r.text[start - 1] = '-';
  r.text[7] = '\0';
  r.length = 7;
  return r;
}

void DrawB777AltitudeTape(const B777Frame& f) {
  const double altitude = FiniteOr(guidance::guidance_state.AircraftAltitude);
  f.Fine();
  ClipToTape(f);
  // The strip runs from x 85 to the clip's right edge at 120.
  f.g.FillRectangleI(gfx::SolidBrush(f.tape), f.grid.X(85), f.grid.Y(-100), f.grid.X(120) - f.grid.X(85),
                     f.grid.Y(100) - f.grid.Y(-100));
  DrawScale(f, altitude);
  f.g.ResetClip();
  DrawReadout(f, altitude);
  DrawMarker(f, altitude);
}

void DrawB777VerticalSpeed(const B777Frame& f) {
  f.Canvas();
  f.g.FillPolygonI(gfx::SolidBrush(f.tape), kVerticalSpeedBackground);
  const gfx::SolidBrush white(c::kWhite);
  const gfx::Font font = display::ArialBold(9);
  for (const VerticalSpeedMark& m : kVerticalSpeedMarks) {
    const gfx::Pen pen(c::kWhite, m.width);
    for (const double y : {-m.units, m.units}) {
      f.g.DrawLine(pen, 130, static_cast<float>(y), 135, static_cast<float>(y));
      if (m.label != nullptr) display::DrawScreenText(f.g, font, white, 123, static_cast<float>(y - 5), m.label);
    }
  }
  const double fpm = FiniteOr(guidance::guidance_state.VerticalSpeedFpm);
  const double n = B777VerticalSpeedUnits(fpm);
  f.g.DrawLine(gfx::Pen(c::kWhite, 2.0f), 145, 0, 130, static_cast<float>(fpm > 0.0 ? -n : n));
  // Rounded toward zero to hundreds; held where four digits and a sign
  // still read.
  const int hundreds = static_cast<int>(std::trunc(std::clamp(fpm, -99999.0, 99999.0) / 100.0)) * 100;
  // Four characters end at the canvas's right edge; each one more (a sign
  // before four digits) starts 4 units further left, to stay on screen.
  const int extra = static_cast<int>(display::ScreenTextLength("%4d", hundreds)) - 4;
  const float x = 123.0f - 4.0f * static_cast<float>(std::max(0, extra));
  if (fpm > 100.0) display::DrawScreenTextF(f.g, font, white, x, -83, "%4d", hundreds);
  if (fpm < -100.0) display::DrawScreenTextF(f.g, font, white, x, 73, "%4d", hundreds);
}

}  // namespace ovi::efs
