// The A320 EADI's moving scales: the speed scale with its limit marks,
// index, bug and V-speeds; the altitude scale with its bug and rolling
// readout; the speed trend arrow; the heading scale with the track diamond
// and the heading bug; the vertical-speed scale.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "src/guidance/state.h"
#include "src/instruments/efs/a320/a320_eadi.h"
#include "src/model/state.h"

namespace ovi::efs {

namespace {

using display::FiniteOr;
using gfx::Point;
namespace c = a320_colour;

const guidance::State& G() { return guidance::guidance_state; }

constexpr double kPerKnot = 2.53;   // canvas units, higher speeds upwards
constexpr double kPerFoot = 0.18;   // canvas units, higher altitudes upwards
constexpr double kPerDegree = 3.6;  // heading scale

// A rectangle of the centre frame as the clip.
void ClipToRectangle(const A320Frame& f, int left, int top, int right, int bottom) {
  gfx::GraphicsPath path;
  const Point corners[] = {{left, top}, {right, top}, {right, bottom}, {left, bottom}};
  path.AddPolygonI(corners, 4);
  f.g.SetClip(path);
}

struct SpeedTape {
  const A320Frame& f;
  double speed;
  double Y(double knots) const { return -kPerKnot * (knots - speed); }
};

void DrawSpeedMarks(const SpeedTape& t) {
  const A320Frame& f = t.f;
  // Below 30 kt the scale stands at 30 kt plus the speed's fraction.
  double whole = std::trunc(t.speed);
  const double fraction = t.speed - whole;
  if (t.speed < 30.0) whole = 30.0;
  const gfx::Pen white = f.FinePen(c::kWhite, 2);
  const gfx::Font font = display::TahomaBold(f.grid.SizeY(12));
  const gfx::SolidBrush brush(c::kWhite);
  // Whole speeds from 50 below to below 50 above; none under 40 kt.
  const display::TapeMarks marks = display::MarksWithin(std::max(40.0, whole - 50.0), whole + 49.0, 10);
  for (int k = 0; k < marks.count; ++k) {
    const std::int64_t s = marks.At(k);
    const double y = (whole - static_cast<double>(s) + fraction) * kPerKnot;
    f.Line(white, -114, y, -119, y);
    if (s % 20 == 0) {
      display::DrawScreenTextF(f.g, font, brush, static_cast<float>(f.grid.X(-149)),
                               static_cast<float>(f.grid.Y(y - 8)), "%03lld", static_cast<long long>(s));
    }
  }
}

void DrawSpeedLimits(const SpeedTape& t) {
  const A320Frame& f = t.f;
  const double over = f.overspeed - t.speed;
  if (std::fabs(over) < 140.0) {
    const double y0 = std::trunc(-kPerKnot * over);
    const int n = std::max(40, static_cast<int>(std::trunc((t.speed + 70.0 - f.overspeed) / 3.0)));
    const gfx::Pen red = f.FinePen(c::kRed, 3);
    for (int k = 0; k < n; ++k) f.Line(red, -108, y0 - 8 * k, -113, y0 - 8 * k);
    f.Line(f.FinePen(c::kRed, 1), -108, y0 + 1, -108, y0 - 8 * n);
  }
  const double low = f.low_speed - t.speed;
  if (std::fabs(low) < 140.0) {
    const double y = -kPerKnot * low;
    const gfx::Pen amber2 = f.FinePen(c::kAmber, 2), amber3 = f.FinePen(c::kAmber, 3);
    f.Line(amber2, -110, y, -110, y - 20);
    f.Line(amber2, -110, y - 19, -113, y - 19);
    for (int k = 0; k < 40; ++k) f.Line(amber3, -108, y + 8 * k, -113, y + 8 * k);
    f.Line(f.FinePen(c::kAmber, 1), -108, std::trunc(y) + 1, -108, y + 320);
  }
}

void DrawSpeedIndexAndBug(const SpeedTape& t) {
  const A320Frame& f = t.f;
  f.Line(f.FinePen(c::kAmber, 2), -114, 0, -149, 0);
  f.Line(f.FinePen(c::kAmber, 4), -144, 0, -149, 0);
  const Point index[] = {f.At(-115, 0), f.At(-107, -4), f.At(-107, 4)};
  f.g.FillPolygonI(gfx::SolidBrush(c::kAmber), index);
  // The bug moves 2.6 units a knot, a little more than the scale's 2.53.
  const double y = std::trunc(-2.6 * (FiniteOr(G().ApAirspeedHoldVar) - t.speed));
  const gfx::Pen white = f.FinePen(c::kWhite, 2);
  f.Line(white, -115, y - 1, -106, y - 7);
  f.Line(white, -106, y - 7, -106, y + 7);
  f.Line(white, -106, y + 7, -115, y + 1);
}

// V1 takes VR's value while it is 0 and VR is set, as the takeoff page then
// shows it.
void DrawTakeoffSpeeds(const SpeedTape& t, double radio_altitude) {
  model::State& m = model::model_state;
  if (m.VR <= 0) return;
  if (m.V1 == 0) m.V1 = m.VR;
  const A320Frame& f = t.f;
  if (radio_altitude < 30.0) {
    f.Text(11, c::kGreen, -113, t.Y(m.V1) - 7, "1");
    const Point corner = f.At(-118, t.Y(m.VR) - 3);
    f.g.DrawEllipseI(f.FinePen(c::kCyan, 2), corner.X, corner.Y, f.grid.X(6), f.grid.Y(6));
  }
  if (radio_altitude < 800.0 && m.V2 > 0) {
    const double y = t.Y(m.V2);
    const gfx::Pen green = f.FinePen(c::kGreen, 2);
    f.Line(green, -123, y - 2, -114, y - 2);
    f.Line(green, -123, y + 2, -114, y + 2);
  }
}

// Beside the tape, over the attitude area: drawn outside the tape's clip,
// which would hide it whole.
void DrawReferenceSpeed(const SpeedTape& t) {
  const A320Frame& f = t.f;
  const double y = t.Y(model::model_state.VREF);
  f.Text(9, c::kGreen, -82, y - 3, "REF");
  f.Line(f.FinePen(c::kGreen, 2), -83, y, -93, y);
}

// The twenty-foot steps of the readout's last two digits: 0, 20, ... 80,
// 12 units apart, the higher ones above.
constexpr display::DrumColumn kTwentiesDrum{
    .cycle = 5, .value_per_step = 2, .neighbours = 2, .pitch = 12.0, .higher_above = true, .format = "%d0"};

constexpr Point kReadoutBox[] = {{108, 0},  {108, -8}, {138, -8}, {138, -13}, {154, -13},
                                 {154, 13}, {138, 13}, {138, 8},  {108, 8},   {108, 0}};

void DrawAltitudeReadout(const A320Frame& f, double altitude) {
  Point box[std::size(kReadoutBox)];
  for (std::size_t i = 0; i < std::size(kReadoutBox); ++i) box[i] = f.At(kReadoutBox[i].X, kReadoutBox[i].Y);
  f.g.FillPolygonI(gfx::SolidBrush(c::kBlack), box);
  gfx::GraphicsPath clip;
  clip.AddPolygonI(box, static_cast<int>(std::size(box)));
  f.g.SetClip(clip);
  const display::AltitudeText r = display::FiveCharacterAltitude(altitude);
  const std::string_view text(r.text);
  for (int i = 0; i < 3; ++i) {
    const char one[] = {text[static_cast<std::size_t>(i)], '\0'};
    f.Text(17, c::kGreen, 105 + 10 * i, -9, one);
  }
  int tens = display::DigitAt(text, 3), units = display::DigitAt(text, 4);
  if (tens % 2 == 1) {
    tens -= 1;
    units += 10;
  }
  const double o = std::trunc(0.6 * units - 6.0);
  display::DrawDrumColumn(f.g, f.grid, display::TahomaBold(f.grid.SizeY(12)), gfx::SolidBrush(c::kGreen), 137, o,
                          kTwentiesDrum, tens / 2);
  f.g.ResetClip();
  f.g.DrawLinesI(f.FinePen(c::kAmber, 2), std::span<const Point>(box + 1, std::size(box) - 2));
}

// The heading a scale position shows, brought into 0..360.
double Wrapped(double heading) {
  heading = std::fmod(heading, 360.0);
  return heading < 0.0 ? heading + 360.0 : heading;
}

}  // namespace

int A320VerticalSpeedOffset(double fpm) {
  const double a = std::fabs(std::trunc(std::clamp(FiniteOr(fpm), -1e6, 1e6)));
  if (a < 1000.0) return static_cast<int>(0.056 * a);
  if (a <= 2000.0) return static_cast<int>(0.016 * (a - 1000.0) + 56.0);
  return 74;
}

void DrawA320SpeedScale(const A320Frame& f) {
  const guidance::State& s = G();
  f.Centre();
  f.g.FillRectangleI(gfx::SolidBrush(f.tape), -149, -105, 35, 210);
  const gfx::Pen white(c::kWhite, 2.0f);
  f.g.DrawLineI(white, -149, -105, -104, -105);
  f.g.DrawLineI(white, -114, -105, -114, 105);
  f.g.DrawLineI(white, -149, 105, -104, 105);
  ClipToRectangle(f, -149, -105, -105, 105);
  const SpeedTape t{f, FiniteOr(s.SmoothedAirspeed)};
  const double radio_altitude = FiniteOr(s.RadioAltitudeFeet);
  f.Fine();
  DrawSpeedMarks(t);
  if (radio_altitude > 200.0) DrawSpeedLimits(t);
  DrawSpeedIndexAndBug(t);
  DrawTakeoffSpeeds(t, radio_altitude);
  f.g.ResetClip();
  if (model::model_state.VREF > 0 && radio_altitude > 400.0) DrawReferenceSpeed(t);
}

void DrawA320AltitudeScale(const A320Frame& f) {
  const double altitude = FiniteOr(G().AircraftAltitude);
  f.Centre();
  ClipToRectangle(f, 95, -105, 153, 105);
  f.Fine();
  f.g.FillRectangleI(gfx::SolidBrush(f.tape), f.grid.X(108), f.grid.Y(-105), f.grid.X(30), f.grid.Y(210));
  const gfx::Pen white = f.FinePen(c::kWhite, 2);
  const gfx::Font font = display::TahomaBold(f.grid.SizeY(12));
  const gfx::SolidBrush brush(c::kWhite);
  const display::TapeMarks marks = display::MarksWithin(altitude - 600.0, std::trunc(altitude + 600.0), 100);
  for (int k = 0; k < marks.count; ++k) {
    const std::int64_t a = marks.At(k);
    const double y = (altitude - static_cast<double>(a)) * kPerFoot;
    f.Line(white, 133, y, 138, y);
    if (a % 500 == 0) {
      display::DrawScreenTextF(f.g, font, brush, static_cast<float>(f.grid.X(108)),
                               static_cast<float>(f.grid.Y(y - 8)), "%03.0f", std::trunc(static_cast<double>(a) / 100));
    }
  }
  // The bug moves 0.1825 units a foot, a little more than the scale's 0.18.
  const int y = gfx::TruncToPixel(-0.1825 * (FiniteOr(G().ApAltitudeLockVar) - altitude));
  const Point bug[] = {f.At(110, y),      f.At(105, y - 5),  f.At(105, y - 16), f.At(120, y - 16),
                       f.At(120, y + 16), f.At(105, y + 16), f.At(105, y + 5),  f.At(110, y)};
  f.g.DrawLinesI(f.FinePen(c::kCyan, 2), bug);
  f.g.ResetClip();
  f.Line(white, 108, -105, 139, -105);
  f.Line(white, 138, -105, 138, 105);
  f.Line(white, 108, 105, 139, 105);
  DrawAltitudeReadout(f, altitude);
}

// Toward the speed the aircraft is heading for: the trend average grows
// while the speed rises, and higher speeds lie upwards.
void DrawA320SpeedTrend(const A320Frame& f) {
  f.Fine();
  const double t = std::clamp(-441.0 * FiniteOr(G().TrendAverage), -102.0, 102.0);
  const gfx::Pen amber = f.FinePen(c::kAmber, 2);
  f.Line(amber, -117, 0, -117, t);
  if (t < -1.0) {
    f.Line(amber, -119, t + 2, -117, t - 1);
    f.Line(amber, -115, t + 2, -117, t - 1);
  } else if (t > 1.0) {
    f.Line(amber, -119, t - 2, -117, t + 1);
    f.Line(amber, -115, t - 2, -117, t + 1);
  }
}

void DrawA320HeadingScale(const A320Frame& f) {
  const guidance::State& s = G();
  const double heading = Wrapped(FiniteOr(s.AircraftHeading));
  f.Centre();
  ClipToRectangle(f, -90, 130, 90, 155);
  f.Fine();
  f.g.FillRectangleI(gfx::SolidBrush(f.tape), f.grid.X(-90), f.grid.Y(130), f.grid.X(180), f.grid.Y(25));
  const gfx::Pen white = f.FinePen(c::kWhite, 2);
  f.g.DrawRectangleI(white, f.grid.X(-90), f.grid.Y(130), f.grid.X(180), f.grid.Y(25));
  const double fraction = heading - std::trunc(heading);
  // Each side truncates its own value: the left labels stand 2 units
  // further left than the right ones, as they always have.
  for (int i = 0; i <= 55; ++i) {
    double l = heading - i, r = heading + i;
    if (l < 0.0) l += 360.0;
    if (r >= 360.0) r -= 360.0;
    const double xl = -kPerDegree * (fraction + i), xr = kPerDegree * (i - fraction);
    const int left = static_cast<int>(l), right = static_cast<int>(r);
    if (left % 10 == 0) {
      const bool big = left % 30 == 0;
      char label[8];
      std::snprintf(label, sizeof label, "%2d", static_cast<int>(l / 10));
      f.Text(big ? 15 : 12, c::kWhite, big ? xl - 10 : xl - 8, big ? 138 : 140, label);
    }
    if (right % 10 == 0 && i > 0) {
      const bool big = right % 30 == 0;
      char label[8];
      std::snprintf(label, sizeof label, "%2d", static_cast<int>(r / 10));
      f.Text(big ? 15 : 12, c::kWhite, xr - 8, big ? 138 : 140, label);
    }
    if (left % 5 == 0) f.Line(white, xl, 130, xl, 135);
    if (right % 5 == 0) f.Line(white, xr, 130, xr, 135);
  }
  const double track = std::trunc(kPerDegree * display::RelativeAngle(s.GroundTrack, heading));
  const Point diamond[] = {f.At(track, 132), f.At(track + 4, 138), f.At(track, 144), f.At(track - 4, 138),
                           f.At(track, 132)};
  f.g.DrawLinesI(f.FinePen(c::kGreen, 2), diamond);
  f.g.ResetClip();
  const double e = display::RelativeAngle(s.ApHeadingLockDir, heading);
  if (e > 25.0 || e < -25.0) {
    char text[16];
    std::snprintf(text, sizeof text, "%03.0f", Wrapped(FiniteOr(s.ApHeadingLockDir)));
    f.Text(12, c::kCyan, e > 25.0 ? 68 : -90, 118, text);
    return;
  }
  const double x = std::trunc(kPerDegree * e);
  const Point bug[] = {f.At(x, 130), f.At(x - 5, 120), f.At(x + 5, 120), f.At(x, 130)};
  f.g.DrawLinesI(f.FinePen(c::kCyan, 2), bug);
}

constexpr gfx::Point kVerticalSpeedBackground[] = {{156, 0}, {156, -90}, {168, -70}, {168, 70}, {156, 90}};

void DrawA320VerticalSpeed(const A320Frame& f) {
  f.Centre();
  f.g.FillPolygonI(gfx::SolidBrush(f.tape), kVerticalSpeedBackground);
  const gfx::Pen white2(c::kWhite, 2.0f), white1(c::kWhite, 1.0f);
  for (const int y : {0, 28, 56, 74, -28, -56, -74}) f.g.DrawLineI(white2, 156, y, 160, y);
  for (const int y : {65, -65}) f.g.DrawLineI(white1, 156, y, 160, y);
  const double fpm = std::clamp(FiniteOr(G().VerticalSpeedFpm), -1e6, 1e6);
  const int p = A320VerticalSpeedOffset(fpm);
  const gfx::Pen green(c::kGreen, 4.0f);
  const gfx::Font font = display::TahomaBold(9);
  const gfx::SolidBrush black(c::kBlack), text(c::kGreen);
  const int hundreds = static_cast<int>(std::trunc(fpm / 100.0));
  if (fpm >= 0.0) {
    f.g.DrawLineI(green, 206, 0, 156, -p);
    if (fpm >= 200.0) {
      f.g.FillRectangleI(black, 156, -10 - p, 15, 10);
      display::DrawScreenTextF(f.g, font, text, 156, static_cast<float>(-10 - p), "%d", hundreds);
    }
  } else {
    f.g.DrawLineI(green, 206, 0, 156, p);
    if (fpm <= -200.0) {
      f.g.FillRectangleI(black, 156, p, 15, 10);
      display::DrawScreenTextF(f.g, font, text, 156, static_cast<float>(p), "%d", -hundreds);
    }
  }
}

}  // namespace ovi::efs
