// The B777 PFD's speed tape (fine pass): scale, limits, the autopilot
// speed marker, takeoff and landing speeds, trend, and the boxed readout
// with its rolling units digit.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "src/guidance/state.h"
#include "src/instruments/efs/b777/b777_pfd.h"
#include "src/model/state.h"

namespace ovi::efs {

namespace {

using display::FiniteOr;
using gfx::Point;
namespace c = b777_colour;

constexpr double kPerKnot = 1.5;  // canvas units, higher speeds upwards

// The units digit rolls on a drum whose neighbours stand 15 units apart:
// the 0.15 units the digit moves per hundredth of a knot make 15 a knot,
// so the next digit arrives where the last one stood.
constexpr display::DrumColumn kUnitsDrum{
    .cycle = 10, .value_per_step = 1, .neighbours = 2, .pitch = 15.0, .higher_above = true, .format = "%d"};

constexpr Point kReadoutBox[] = {{-85, 0},   {-90, -5}, {-90, -15}, {-115, -15},
                                 {-115, 15}, {-90, 15}, {-90, 5},   {-85, 0}};

struct Tape {
  const B777Frame& f;
  double speed;
  double Y(double knots) const { return -kPerKnot * (knots - speed); }
  void Line(const gfx::Pen& pen, double x1, double y1, double x2, double y2) const {
    f.g.DrawLineI(pen, f.grid.X(x1), f.grid.Y(y1), f.grid.X(x2), f.grid.Y(y2));
  }
  void Text(float size, gfx::ARGB colour, double x, double y, const char* text) const {
    display::DrawScreenText(f.g, display::ArialBold(f.Size(size)), gfx::SolidBrush(colour),
                            static_cast<float>(f.grid.X(x)), static_cast<float>(f.grid.Y(y)), text);
  }
};

void DrawScale(const Tape& t) {
  const B777Frame& f = t.f;
  const gfx::Pen white(c::kWhite, f.Size(1));
  const gfx::SolidBrush brush(c::kWhite);
  const gfx::Font font = display::ArialBold(f.Size(9));
  const double s0 = std::trunc(t.speed);
  // Multiples of 10 from S0 - 70 up to, not including, S0 + 70; none below 0.
  const display::TapeMarks marks = display::MarksWithin(std::max(0.0, s0 - 70.0), s0 + 69.0, 10);
  for (int k = 0; k < marks.count; ++k) {
    const std::int64_t i = marks.At(k);
    const double y = t.Y(static_cast<double>(i));
    t.Line(white, -86, y, -80, y);
    if (i % 20 == 0) {
      display::DrawScreenTextF(f.g, font, brush, static_cast<float>(f.grid.X(-110)),
                               static_cast<float>(f.grid.Y(y - 5)), "%3lld", static_cast<long long>(i));
    }
  }
}

void DrawLimits(const Tape& t) {
  const B777Frame& f = t.f;
  const gfx::Pen red(c::kRedPen, f.Size(3));
  if (std::fabs(f.overspeed - t.speed) < 140.0) {
    const double y0 = t.Y(f.overspeed);
    const int n = std::max(40, static_cast<int>(std::trunc((t.speed + 70.0 - f.overspeed) * 0.2222)));
    for (int k = 0; k < n; ++k) t.Line(red, -80, y0 - 8 * k, -75, y0 - 8 * k);
  }
  const double low = f.stall_reference + 5.0;
  if (std::fabs(low - t.speed) < 140.0) {
    const double y1 = t.Y(low);
    const gfx::Pen amber(c::kAmber, f.Size(2));
    t.Line(amber, -77, y1 - 20, -77, y1);
    t.Line(amber, -77, y1 - 19, -80, y1 - 19);
    for (int k = 0; k < 40; ++k) t.Line(red, -80, y1 + 8 * k, -75, y1 + 8 * k);
  }
}

void DrawSpeedMarker(const Tape& t) {
  const double y = t.Y(FiniteOr(guidance::guidance_state.ApAirspeedHoldVar));
  const B777Frame& f = t.f;
  const Point marker[] = {f.At(-86, y),     f.At(-81, y - 5), f.At(-71, y - 5),
                          f.At(-71, y + 5), f.At(-81, y + 5), f.At(-86, y)};
  f.g.DrawLinesI(gfx::Pen(c::kMagenta, f.Size(1)), marker);
}

// V1 takes VR's value while it is 0 and VR is set, as the takeoff page then
// shows it.
void DrawTakeoffSpeeds(const Tape& t, double radio_altitude) {
  model::State& m = model::model_state;
  if (m.VR <= 0) {
    if (radio_altitude < 30.0) {
      t.Text(6.5f, c::kAmber, -81, -57, "NO");
      constexpr struct {
        double y;
        const char* letter;
      } kVspd[] = {{-47, "V"}, {-37, "S"}, {-30, "P"}, {-23, "D"}};
      for (const auto& l : kVspd) t.Text(6.5f, c::kAmber, -78, l.y, l.letter);
    }
    return;
  }
  if (m.V1 == 0) m.V1 = m.VR;
  // Labels stand with their top-left 7 units above their speed.
  auto label = [&](double x, int knots, const char* text) { t.Text(6.5f, c::kAmber, x, t.Y(knots) - 7, text); };
  if (std::abs(m.VR - m.V1) >= 4 && std::abs(m.VR - m.V2) >= 4) {
    if (radio_altitude < 30.0) {
      label(-81, m.V1, "V1");
      label(-81, m.VR, "VR");
    }
    if (radio_altitude < 800.0 && m.V2 > 0) label(-81, m.V2, "V2");
  } else if (radio_altitude < 30.0) {
    label(-78, m.VR, "R");
  }
}

void DrawReference(const Tape& t) {
  const double y = t.Y(model::model_state.VREF);
  t.Line(gfx::Pen(c::kGreen, t.f.Size(2)), -93, y, -83, y);
  t.Text(5, c::kGreen, -82, y - 3, "REF");
}

// Toward the speed the aircraft is heading for: the trend average grows
// while the speed rises, and higher speeds lie upwards.
void DrawTrend(const Tape& t) {
  const double trend = std::clamp(-FiniteOr(guidance::guidance_state.TrendAverage) * 180.0 * 1.4, -92.0, 92.0);
  const gfx::Pen green(c::kGreen, t.f.Size(2));
  t.Line(green, -83, 0, -83, trend);
  if (trend < -1.0) {
    t.Line(green, -85, trend + 2, -83, trend - 1);
    t.Line(green, -81, trend + 2, -83, trend - 1);
  } else if (trend > 1.0) {
    t.Line(green, -85, trend - 2, -83, trend + 1);
    t.Line(green, -81, trend - 2, -83, trend + 1);
  }
}

constexpr ReadoutCharacter kFixed[] = {{-117, -7, 12}, {-109, -7, 12}};  // hundreds, tens

void DrawReadout(const Tape& t) {
  const ReadoutText r = B777SpeedReadout(t.speed);
  const std::string_view text(r.text, static_cast<std::size_t>(r.length));
  // Hundredths of the knot from the two decimals (none below 1 knot).
  const int h = !(t.speed >= 1.0) ? 0 : 10 * display::DigitAt(text, 4) + display::DigitAt(text, 5);
  DrawB777Readout(t.f, {kReadoutBox, kFixed, kUnitsDrum, -101, 12}, r, 0.15 * h - 7.0, display::DigitAt(text, 2));
}

}  // namespace

ReadoutText B777SpeedReadout(double knots) {
  // Held within what three digits show: a speed below 0 reads 0, one of
  // 1000 kt or more 999.99999.
  knots = std::clamp(FiniteOr(knots), 0.0, 999.99999);
  // Printed, then right-aligned in nine places: the three formats' texts,
  // also where the rounding of the fifth decimal carries into a new digit.
  char digits[16];
  const int n = std::clamp(std::snprintf(digits, sizeof digits, "%.5f", knots), 0, 9);
  ReadoutText r{};
  std::memset(r.text, ' ', 9);
  std::memcpy(r.text + 9 - n, digits, static_cast<std::size_t>(n));
  r.text[9] = '\0';
  r.length = 9;
  return r;
}

void DrawB777SpeedTape(const B777Frame& f) {
  const guidance::State& s = guidance::guidance_state;
  const Tape t{f, FiniteOr(s.SmoothedAirspeed)};
  const double radio_altitude = FiniteOr(s.RadioAltitudeFeet);
  f.Fine();
  ClipToB777Rectangle(f, -115, -100, -70, 100);
  f.g.FillRectangleI(gfx::SolidBrush(f.tape), f.grid.X(-115), f.grid.Y(-100), f.grid.X(-80) - f.grid.X(-115),
                     f.grid.Y(100) - f.grid.Y(-100));
  DrawScale(t);
  if (radio_altitude > 200.0) DrawLimits(t);
  DrawSpeedMarker(t);
  DrawTakeoffSpeeds(t, radio_altitude);
  if (model::model_state.VREF > 0 && radio_altitude > 300.0) DrawReference(t);
  DrawTrend(t);
  f.g.ResetClip();
  DrawReadout(t);
}

}  // namespace ovi::efs
