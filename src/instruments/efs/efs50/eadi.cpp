// The EFS 50 EADI's draw entry and the attitude half of its picture.
#include "src/instruments/efs/efs50/eadi.h"

#include <cmath>

#include "src/display/state.h"
#include "src/guidance/state.h"
#include "src/host/sim_vars.h"
#include "src/model/state.h"

namespace ovi::efs {

namespace {

using display::FineGrid;
using display::FiniteOr;
using gfx::Point;
namespace c = efs50_colour;

constexpr gfx::ARGB kSky = 0xFF0060C4;
constexpr gfx::ARGB kGround = 0xFF946239;

// The sphere moves 3.8 logical units a degree of pitch, its pitch scale 3:
// the scale's marks do not stay on the horizon's degrees, as the display
// has always drawn them.
constexpr double kSpherePerDegree = 3.8;
constexpr int kScalePerDegree = 3;

// Roll scale: short marks within 20 degrees, long ones at 30 and 60,
// outlined triangles at 45.
constexpr int kRollAngles[] = {-60, -45, -30, -20, -10, 0, 10, 20, 30, 45, 60};
constexpr Point kRoll45Mark[] = {{0, -86}, {4, -94}, {-4, -94}, {0, -86}};
constexpr Point kRollIndex[] = {{0, -83}, {5, -94}, {-5, -94}, {0, -83}};
constexpr Point kRollPointer[] = {{0, -84}, {5, -73}, {-5, -73}, {0, -84}};

// Aircraft symbols (filled amber, outlined white).
constexpr Point kDelta[] = {{0, 0}, {60, 20}, {30, 20}, {30, 15}, {-30, 15}, {-30, 20}, {-60, 20}, {0, 0}};
constexpr Point kLeftBar[] = {{-110, 2}, {-110, -8}, {-80, -8}, {-80, 2}, {-110, 2}};
constexpr Point kRightBar[] = {{110, 2}, {110, -8}, {80, -8}, {80, 2}, {110, 2}};
constexpr Point kLeftWing[] = {{-15, 0}, {-15, -4}, {-60, -4}, {-60, 4}, {-22, 4}, {-22, 14}, {-15, 14}, {-15, 0}};
constexpr Point kCentreSquare[] = {{-2, -2}, {-2, 2}, {2, 2}, {2, -2}, {-2, -2}};
constexpr Point kRightWing[] = {{15, 0}, {15, -4}, {60, -4}, {60, 4}, {22, 4}, {22, 14}, {15, 14}, {15, 0}};

// Heading-scale labels every 30 degrees; the one-character ones of the
// first quarter stand 5 units left of their tick, the others 7.
constexpr const char* kHeadingLabels[] = {"N", "3", "6", "E", "12", "15", "S", "21", "24", "W", "30", "33"};
constexpr int kNoBug = -999;

struct Frame {
  gfx::Graphics& g;
  display::CanvasScale scale;
  FineGrid grid;
  double bank;
  double pitch;

  void Logical(double rotation = 0.0) const { display::UseOrigin(g, scale, kEfs50CentreX, kEfs50CentreY, rotation); }
  void Fine(double rotation = 0.0) const { display::UseFineGrid(g, grid, kEfs50CentreX, kEfs50CentreY, rotation); }
  Point At(double x, double y) const { return Point(grid.X(x), grid.Y(y)); }
};

void ClipToWindow(const Frame& f, const Efs50AttitudeWindow& w) {
  f.Logical();
  const Point corners[] = {{w.left, w.top}, {w.right, w.top}, {w.right, w.bottom}, {w.left, w.bottom}};
  gfx::GraphicsPath path;
  path.AddPolygonI(corners, 4);
  f.g.SetClip(path);
}

void FillOutlined(gfx::Graphics& g, std::span<const Point> shape, gfx::ARGB fill, const gfx::Pen& outline) {
  g.FillPolygonI(gfx::SolidBrush(fill), shape);
  g.DrawLinesI(outline, shape);
}

void DrawSkyAndGround(const Frame& f) {
  ClipToWindow(f, Efs50SkyWindow());
  f.Fine(f.bank);
  const double h = -kSpherePerDegree * f.pitch;
  const Point sky[] = {f.At(-529, -514), f.At(271, -114), f.At(271, h), f.At(-529, h), f.At(-529, -514)};
  const Point ground[] = {f.At(-529, h), f.At(271, h), f.At(271, 286), f.At(-529, 286), f.At(-529, h)};
  f.g.FillPolygonI(gfx::SolidBrush(kSky), sky);
  f.g.FillPolygonI(gfx::SolidBrush(kGround), ground);
  f.g.ResetClip();
}

void DrawPitchScale(const Frame& f) {
  f.Fine();
  gfx::GraphicsPath circle;
  circle.AddEllipseI(f.grid.X(-76), f.grid.Y(-73), f.grid.X(150), f.grid.Y(150));
  f.g.SetClip(circle);
  f.Fine(f.bank);
  // A width-1 pen in the fine space is thinner than a pixel: a hairline.
  const gfx::Pen hairline(c::kWhite, 1.0f);
  const gfx::SolidBrush white(c::kWhite);
  const gfx::Font font = display::ArialBold(f.grid.SizeX(17));
  const int b = gfx::TruncToPixel(-kScalePerDegree * f.pitch);
  for (int i = 0; i <= 90; i += 5) {
    for (const int y : {b - kScalePerDegree * i, b + kScalePerDegree * i}) {
      const int half = i % 10 == 0 ? 30 : 10;
      f.g.DrawLineI(hairline, f.grid.X(-half), f.grid.Y(y), f.grid.X(half), f.grid.Y(y));
      if (i % 10 != 0 || i == 0) continue;
      for (const int x : {30, -55}) {
        display::DrawScreenTextF(f.g, font, white, static_cast<float>(f.grid.X(x)), static_cast<float>(f.grid.Y(y - 8)),
                                 "%d", i);
      }
    }
  }
  f.g.ResetClip();
}

void DrawRollScale(const Frame& f) {
  const gfx::Pen white(c::kWhite, 2.0f);
  for (const int a : kRollAngles) {
    f.Logical(a);
    if (a == 45 || a == -45) {
      f.g.DrawLinesI(white, kRoll45Mark);
    } else {
      f.g.DrawLineI(white, 0, a >= -20 && a <= 20 ? -85 : -75, 0, -94);
    }
  }
  f.Logical();
  f.g.FillPolygonI(gfx::SolidBrush(c::kAmber), kRollIndex);
  f.Logical(f.bank);
  f.g.FillPolygonI(gfx::SolidBrush(c::kWhite), kRollPointer);
}

// The scale along the horizon, 1.8 logical units a degree, every quarter
// degree from 45 left to 45 right. Each quarter whose heading truncates to
// a mark draws it again (up to four times, 0.45 units apart), and the bug
// stands one degree left of the last quarter that matches the selected
// heading: the scale has always been drawn this way.
void DrawHeadingScale(const Frame& f, double horizon) {
  const guidance::State& s = guidance::guidance_state;
  // Headings come as 0 up to 360; anything else is brought round first so
  // that every mark finds its label.
  double heading = std::fmod(FiniteOr(s.AircraftHeading), 360.0);
  if (heading < 0.0) heading += 360.0;
  const int bug = gfx::TruncToPixel(FiniteOr(s.ApHeadingLockDir));
  const gfx::Pen tick(c::kWhite, f.grid.SizeY(2));
  const gfx::SolidBrush white(c::kWhite);
  const gfx::Font font = display::ArialBold(f.grid.SizeX(10));
  int m = kNoBug;
  for (int quarter = -180; quarter <= 180; ++quarter) {
    const double k = quarter * 0.25;
    int h = gfx::TruncToPixel(k + heading);
    if (h < 0) h += 360;
    if (h >= 360) h -= 360;
    const double x = 1.8 * k;
    if (h % 10 == 0) {
      if (h % 30 == 0) {
        const int label = h / 30;
        display::DrawScreenText(f.g, font, white, static_cast<float>(f.grid.X(x - (label <= 3 ? 5 : 7))),
                                static_cast<float>(f.grid.Y(horizon - 20)), kHeadingLabels[label % 12]);
      }
      f.g.DrawLineI(tick, f.grid.X(x), f.grid.Y(horizon), f.grid.X(x), f.grid.Y(horizon - 7));
    } else if (h % 5 == 0) {
      f.g.DrawLineI(tick, f.grid.X(x), f.grid.Y(horizon), f.grid.X(x), f.grid.Y(horizon - 4.5));
    }
    if (h == bug || (h == 0 && bug == 360)) m = static_cast<int>(std::trunc(k - 1.0));
  }
  if (m == kNoBug) return;
  const double x = 1.8 * m, w = 1.8 * 5, notch = 1.8 * 1.5;
  const Point outline[] = {f.At(x - w, horizon), f.At(x - w, horizon - 12),     f.At(x - notch, horizon - 12),
                           f.At(x, horizon - 6), f.At(x + notch, horizon - 12), f.At(x + w, horizon - 12),
                           f.At(x + w, horizon), f.At(x - w, horizon)};
  f.g.DrawLinesI(gfx::Pen(c::kAmber, f.grid.SizeX(2)), outline);
}

void DrawHorizon(const Frame& f) {
  ClipToWindow(f, Efs50HorizonWindow());
  f.Fine(f.bank);
  const double horizon = -kSpherePerDegree * f.pitch;
  f.g.DrawLineI(gfx::Pen(c::kWhite, f.grid.SizeY(2)), f.grid.X(-99.5), f.grid.Y(horizon), f.grid.X(99.5),
                f.grid.Y(horizon));
  if (model::model_state.EADIHdgTape == 1) DrawHeadingScale(f, horizon);
}

// Drawn under the horizon's clip, which the flight director leaves.
void DrawAircraftSymbol(const Frame& f) {
  f.Logical();
  const gfx::Pen outline(c::kWhite, 1.0f);
  if (model::model_state.EadiDualCue == 0) {
    for (std::span<const Point> shape :
         {std::span<const Point>(kDelta), std::span<const Point>(kLeftBar), std::span<const Point>(kRightBar)}) {
      FillOutlined(f.g, shape, c::kAmber, outline);
    }
  } else {
    for (std::span<const Point> shape : {std::span<const Point>(kLeftWing), std::span<const Point>(kCentreSquare),
                                         std::span<const Point>(kRightWing)}) {
      FillOutlined(f.g, shape, c::kAmber, outline);
    }
  }
  f.g.ResetClip();
}

void DrawFlightDirector(const Frame& f) {
  if (host::GetSimToken792Int() == 0) return;
  display::MoveFlightDirectorBars({.roll = 0.33, .pitch = 0.11});
  const display::State& d = display::display_state;
  const int s = gfx::TruncToPixel(3.0 * d.FdPitchBarShown);
  if (model::model_state.EadiDualCue == 0) {
    f.Logical(d.FdRollBarShown);
    const Point bars[] = {{0, s},        {60, s + 20},  {70, s + 10},  {70, s + 20},  {60, s + 20},
                          {70, s + 10},  {0, s},        {-60, s + 20}, {-70, s + 10}, {-70, s + 20},
                          {-60, s + 20}, {-70, s + 10}, {0, s}};
    FillOutlined(f.g, bars, c::kGreen, gfx::Pen(c::kWhite, 1.0f));
    return;
  }
  f.Logical();
  const gfx::Pen magenta(c::kMagenta, 3.0f);
  const int x = gfx::TruncToPixel(3.0 * d.FdRollBarShown);
  f.g.DrawLineI(magenta, x, -50, x, 50);
  f.g.DrawLineI(magenta, -50, s, 50, s);
}

}  // namespace

Efs50AttitudeWindow Efs50SkyWindow() {
  const model::State& m = model::model_state;
  const bool expanded = (guidance::guidance_state.LnavEngaged == 1 && m.ExpandEADILnav == 1) || m.ExpandEADI == 1;
  return expanded ? Efs50AttitudeWindow{-124, -114, 124, 113} : Efs50AttitudeWindow{-99, -94, 99, 88};
}

Efs50AttitudeWindow Efs50HorizonWindow() {
  return guidance::guidance_state.LnavEngaged != 0 ? Efs50AttitudeWindow{-124, -104, 124, 113}
                                                   : Efs50AttitudeWindow{-99, -94, 99, 88};
}

void DrawEfs50Eadi(display::GaugeDisplay& display, gfx::DeviceContext* dc, const PIXSIZE* size, int variant) {
  if (dc == nullptr) return;
  gfx::Graphics g(dc);
  if (!OpenEfs50Picture(g, display, *dc, size, variant)) return;
  const display::CanvasScale scale = Efs50Scale(display);
  if (!scale.usable) return;
  g.SetSmoothingMode(gfx::SmoothingMode::AntiAlias);
  display::FillCanvas(g, scale, kEfs50Canvas, c::kBlack);
  DrawEfs50Attitude(display, g);
}

void DrawEfs50Attitude(const display::GaugeDisplay& display, gfx::Graphics& g) {
  const display::CanvasScale scale = Efs50Scale(display);
  if (!scale.usable) return;
  const guidance::State& s = guidance::guidance_state;
  const Frame f{g, scale, display::DeviceFractionsFor(scale, 16), FiniteOr(s.BankAttitude), FiniteOr(s.PitchAttitude)};
  DrawSkyAndGround(f);
  DrawPitchScale(f);
  DrawRollScale(f);
  DrawHorizon(f);
  DrawAircraftSymbol(f);
  DrawFlightDirector(f);
  DrawEfs50Scales(display, g);
}

}  // namespace ovi::efs
