// Page 12, the configuration: a plan view of the aircraft with the three
// trims on their scales, elevator, aileron and rudder deflections,
// spoilers, flaps and slats as bars, the gear lights and four text lines.
// Every value is read at the moment of drawing; coordinates are canvas
// units from the page origin.
#include <algorithm>
#include <cmath>
#include <iterator>
#include <span>

#include "src/display/kit.h"
#include "src/host/sim_vars.h"
#include "src/instruments/mfd/c17/c17_mfd.h"
#include "src/instruments/mfd/c17/engine_kit.h"
#include "src/instruments/mfd/c17/engine_pages.h"
#include "src/instruments/mfd/c17/state.h"

namespace ovi::c17 {

namespace {

using display::DrawScreenText;
using display::DrawScreenTextF;
using display::Segment;
using gfx::TruncToPixel;

// The drawing objects of one page: the 9-unit font and the pens.
struct ConfigTools {
  explicit ConfigTools(const EnginePageCanvas& canvas) : c(canvas) {}
  const EnginePageCanvas& c;
  gfx::Font font = display::ArialBold(9.0f);
  gfx::Pen thin_white{display::colour::kWhite, 1.0f};
  gfx::Pen thick_white{display::colour::kWhite, 2.0f};
  gfx::Pen thin_green{display::colour::kGreen, 1.0f};
  gfx::Pen thick_green{display::colour::kGreen, 2.0f};

  void Text(float x, float y, const char* text) const { DrawScreenText(c.g, font, c.white, x, y, text); }
};

// A value's magnitude in canvas units: trunc(v x factor + 0.4), the 0.4
// taken away from the zero side, as the bars have always rounded.
int BarLength(double value, double factor) {
  const double offset = value > 0.0 ? 0.4 : -0.4;
  const int h = TruncToPixel(value * factor + offset);
  return h < 0 ? -h : h;
}

bool InDeadBand(double value, double band) { return value >= -band && value <= band; }

// Lines as a table gives them, then mirrored in x.
void DrawMirrored(gfx::Graphics& g, const gfx::Pen& pen, std::span<const Segment> lines) {
  display::DrawSegments(g, pen, lines);
  for (const Segment& s : lines) g.DrawLineI(pen, -s[0].X, s[0].Y, -s[1].X, s[1].Y);
}

// Lines with x multiplied by sx and y by sy (each 1 or -1).
void DrawFlipped(gfx::Graphics& g, const gfx::Pen& pen, std::span<const Segment> lines, int sx, int sy) {
  for (const Segment& s : lines) g.DrawLineI(pen, sx * s[0].X, sy * s[0].Y, sx * s[1].X, sy * s[1].Y);
}

// --- The plan view and the trims ------------------------------------------------

void DrawPlanView(const ConfigTools& t) {
  static constexpr Segment kOutline[] = {
      {{4, -75}, {35, -75}},   {{35, -75}, {35, -80}},  {{35, -80}, {-35, -80}}, {{-35, -80}, {-35, -75}},
      {{-35, -75}, {-4, -75}}, {{4, -3}, {4, -75}},     {{-4, -3}, {-4, -75}},   {{-4, -3}, {-90, -3}},
      {{4, -3}, {90, -3}},     {{-17, 3}, {-90, 3}},    {{17, 3}, {90, 3}},      {{90, -3}, {93, -8}},
      {{93, -8}, {96, -8}},    {{96, -8}, {90, 3}},     {{-90, -3}, {-93, -8}},  {{-93, -8}, {-96, -8}},
      {{-96, -8}, {-90, 3}},
  };
  gfx::Graphics& g = t.c.g;
  display::DrawSegments(g, t.thin_white, kOutline);
  g.DrawArcI(t.thin_white, -20, 2, 12, 24, 100.0f, 160.0f);
  g.DrawArcI(t.thin_white, 8, 2, 12, 24, 280.0f, 160.0f);
  g.DrawArcI(t.thin_white, -16, 21, 32, 8, 0.0f, 180.0f);
}

// Trims are read in radians; the scales show degrees.
constexpr double kTrimUnitsPerRadian = 114.61318051575931;

void DrawRudderTrim(const ConfigTools& t) {
  gfx::Graphics& g = t.c.g;
  t.Text(-25, -121, "RUD TRIM");
  t.Text(-40, -111, "NL");
  t.Text(25, -111, "NR");
  g.DrawLineI(t.thin_white, -20, -106, 20, -106);
  g.DrawLineI(t.thin_white, 0, -111, 0, -96);
  for (int x : {-10, -20, 10, 20}) g.DrawLineI(t.thin_white, x, -106, x, -101);
  const int x = TruncToPixel(host::GetSimToken787() * kTrimUnitsPerRadian);
  g.DrawLineI(t.thick_green, x, -106, x - 4, -111);
  g.DrawLineI(t.thick_green, x, -106, x + 4, -111);
  t.Text(-27, -101, "10     0     10");
}

void DrawStabiliserTrim(const ConfigTools& t) {
  gfx::Graphics& g = t.c.g;
  g.DrawLineI(t.thin_white, 55, -95, 55, -55);
  for (int y : {-95, -85, -75, -55}) g.DrawLineI(t.thin_white, 50, y, 55, y);
  g.DrawLineI(t.thin_white, 50, -65, 60, -65);
  // Nose up spreads over 15 units of scale, nose down over 5 at a third of
  // the rate: two factors.
  const double v = host::GetSimToken783();
  const double k = v >= 0.0 ? 114.59129106187932 : 38.19709702062644;
  const int y = TruncToPixel(-65.0 - v * k);
  g.DrawLineI(t.thick_green, 55, y, 60, y - 4);
  g.DrawLineI(t.thick_green, 55, y, 60, y + 4);
  t.Text(60, -100, "NU");
  t.Text(37, -100, "15");
  t.Text(68, -85, "STAB");
  t.Text(68, -75, "TRIM");
  t.Text(42, -70, "0");
  t.Text(42, -60, "5");
  t.Text(60, -60, "ND");
}

void DrawAileronTrim(const ConfigTools& t) {
  gfx::Graphics& g = t.c.g;
  t.Text(102, -60, "AIL");
  t.Text(99, -50, "TRIM");
  t.Text(99, -35, "RWD");
  g.DrawLineI(t.thin_white, 112, -20, 112, 20);
  for (int y : {-20, -10, 10, 20}) g.DrawLineI(t.thin_white, 112, y, 107, y);
  g.DrawLineI(t.thin_white, 117, 0, 107, 0);
  const int y = TruncToPixel(-(host::GetSimToken785() * kTrimUnitsPerRadian));
  g.DrawLineI(t.thick_green, 112, y, 117, y - 4);
  g.DrawLineI(t.thick_green, 112, y, 117, y + 4);
  t.Text(95, -25, "10");
  t.Text(99, -5, "0");
  t.Text(95, 15, "10");
  t.Text(99, 27, "LWD");
}

// --- Surfaces -------------------------------------------------------------------

void DrawElevators(const ConfigTools& t) {
  const double v = host::GetSimToken782();
  if (InDeadBand(v, 0.005)) return;
  const int h = BarLength(v, 28.011204481792713);
  const bool up = v > 0.0;
  for (int x : {-32, -20, 10, 22}) {
    DrawBar(t.c, t.c.green, up ? Growth::kUp : Growth::kDown, up ? -79 : -78, x, 9, h);
  }
  // The hinge marks stand above the tail for one sense, below it for the
  // other.
  const int far = up ? -90 : -66, mid = up ? -84 : -72;
  const Segment lines[] = {
      {{-10, -78}, {-10, far}}, {{-8, mid}, {-10, mid}},  {{-9, far}, {-14, far}},
      {{-32, -78}, {-32, far}}, {{-32, mid}, {-34, mid}}, {{-28, far}, {-33, far}},
  };
  DrawMirrored(t.c.g, t.thick_white, lines);
}

// Spoiler texts: on the ground, as speed brakes with the flaps up to 1/2,
// else as direct lift control.
const char* SpoilerText(double flaps_handle) {
  if (host::GetSimToken60Int() != 0) return "GND";
  return flaps_handle < 9362.0 ? "SPD BR" : "DLC";
}

// The left spoilers show above 800 and the right ones above 0, and each
// side's text needs the left side above 800: thresholds the display has
// always had, kept.
void DrawSpoilers(const ConfigTools& t, double flaps_handle) {
  const double left = host::GetSimToken326(), right = host::GetSimToken327();
  constexpr double kPerUnit = 0.0005493499359091741;
  if (left > 800.0) {
    const int h = BarLength(left, kPerUnit);
    for (int x : {-54, -44, -34, -24}) DrawBar(t.c, t.c.green, Growth::kUp, -3, x, 9, h);
    static constexpr Segment kLines[] = {
        {{-15, -3}, {-15, -14}}, {{-14, -14}, {-19, -14}}, {{-54, -3}, {-54, -14}}, {{-55, -14}, {-50, -14}}};
    display::DrawSegments(t.c.g, t.thick_white, kLines);
    if (right > 800.0) t.Text(-45, -35, SpoilerText(flaps_handle));
  }
  if (right > 0.0) {
    const int h = BarLength(right, kPerUnit);
    for (int x : {15, 25, 35, 45}) DrawBar(t.c, t.c.green, Growth::kUp, -3, x, 9, h);
    static constexpr Segment kLines[] = {
        {{15, -3}, {15, -14}}, {{14, -14}, {19, -14}}, {{54, -3}, {54, -14}}, {{55, -14}, {50, -14}}};
    display::DrawSegments(t.c.g, t.thick_white, kLines);
    if (left > 800.0) t.Text(20, -35, SpoilerText(flaps_handle));
  }
}

void DrawAilerons(const ConfigTools& t) {
  const double v = host::GetSimToken784();
  if (InDeadBand(v, 0.1)) return;
  const int h = BarLength(v, 35.65062388591801);
  // The left aileron's hinge marks with its trailing edge down; the other
  // sense has them above the wing (y negated), the right aileron mirrors
  // the left in x, and the two always move in opposite senses.
  static constexpr Segment kLeftDown[] = {
      {{-60, 0}, {-60, 14}},   {{-60, 7}, {-57, 7}},   {{-59, 14}, {-63, 14}},
      {{-85, 0}, {-85, 14}},   {{-88, 7}, {-84, 7}},   {{-86, 14}, {-81, 14}},
  };
  const bool left_down = v >= 0.0;
  DrawBar(t.c, t.c.green, left_down ? Growth::kDown : Growth::kUp, 0, -85, 25, h);
  DrawFlipped(t.c.g, t.thick_white, kLeftDown, 1, left_down ? 1 : -1);
  DrawBar(t.c, t.c.green, left_down ? Growth::kUp : Growth::kDown, 0, 60, 25, h);
  DrawFlipped(t.c.g, t.thick_white, kLeftDown, -1, left_down ? -1 : 1);
}

void DrawFlaps(const ConfigTools& t) {
  struct Side {
    double value;
    int bars[2];
    Segment lines[4];
  };
  const Side sides[] = {
      {host::GetSimToken907(),
       {-52, -37},
       {{{-24, 0}, {-24, 14}}, {{-23, 14}, {-27, 14}}, {{-52, 0}, {-52, 14}}, {{-53, 14}, {-49, 14}}}},
      {host::GetSimToken908(),
       {24, 39},
       {{{24, 0}, {24, 14}}, {{23, 14}, {27, 14}}, {{52, 0}, {52, 14}}, {{53, 14}, {49, 14}}}},
  };
  for (const Side& side : sides) {
    if (!(side.value > 0.0)) continue;
    // Bars from 10 % on; the marks as soon as the flap leaves its stop.
    if (side.value > 10.0) {
      const int h = TruncToPixel(side.value * 0.16);
      for (int x : side.bars) DrawBar(t.c, t.c.green, Growth::kDown, 0, x, 13, h);
    }
    display::DrawSegments(t.c.g, t.thick_white, side.lines);
  }
}

void DrawRudder(const ConfigTools& t) {
  const double v = host::GetSimToken786();
  if (InDeadBand(v, 0.03)) return;
  const int w = TruncToPixel(v * 10.479214478082723);
  const bool right = v > 0.0;
  const int length = w < 0 ? -w : w;
  for (int y : {-60, -39}) DrawBar(t.c, t.c.green, right ? Growth::kRight : Growth::kLeft, 0, y, 18, length);
  const int end = right ? 10 : -10;
  const Segment lines[] = {
      {{0, -20}, {end, -20}}, {{end, -19}, {end, -23}}, {{0, -60}, {end, -60}}, {{end, -62}, {end, -58}}};
  display::DrawSegments(t.c.g, t.thick_white, lines);
}

void DrawSlats(const ConfigTools& t) {
  struct Side {
    double value;
    int x[4];
  };
  const Side sides[] = {
      {host::GetAircraftVar98Percent(), {-28, -41, -54, -67}},
      {host::GetAircraftVar99Percent(), {21, 34, 47, 60}},
  };
  for (const Side& side : sides) {
    if (!(side.value > 0.0)) continue;
    const int h = TruncToPixel(side.value * 0.06);
    for (int x : side.x) {
      t.c.g.DrawRectangleI(t.thin_green, x, 54, 9, 6);
      DrawBar(t.c, t.c.green, Growth::kDown, 54, x, 9, h);
    }
  }
}

// Down and locked above 16300, in transit above 0.
bool GearLocked(double position) { return position > 16300.0; }
bool GearStowed(double position) { return !(position > 0.0); }

void DrawGearLight(const ConfigTools& t, double position, int x, int y, int w, int h) {
  if (GearStowed(position)) return;
  t.c.g.FillRectangleI(GearLocked(position) ? t.c.green : t.c.red, x, y, w, h);
}

struct GearLegs {
  double nose, left, right;
};

void DrawGear(const ConfigTools& t, const GearLegs& gear) {
  DrawGearLight(t, gear.nose, -4, 72, 8, 10);
  for (int y : {88, 106}) {
    DrawGearLight(t, gear.left, -12, y, 8, 12);
    DrawGearLight(t, gear.right, 4, y, 8, 12);
  }
}

// The gear line says what the lights say: DOWN with every light green, UP
// with none lit, TRANSIT for anything between.
const char* GearText(const GearLegs& gear) {
  const double legs[] = {gear.nose, gear.left, gear.right};
  if (std::all_of(std::begin(legs), std::end(legs), GearLocked)) return "DOWN";
  if (std::all_of(std::begin(legs), std::end(legs), GearStowed)) return "UP";
  return "TRANSIT";
}

}  // namespace

const char* FlapsSettingText(double handle) {
  if (handle < 4681.0) return "UP";
  if (handle < 9362.0) return "1/2";
  if (handle < 14043.0) return "3/4";
  return "FULL";
}

void DrawC17ConfigPage(display::GaugeDisplay& display, gfx::Graphics& g) {
  const EnginePageCanvas c(display, g);
  const State& s = c17_state;
  c.UseOrigin(static_cast<float>(s.C17MfdOriginX), static_cast<float>(s.C17MfdOriginY));
  const ConfigTools t(c);
  const double flaps_handle = host::GetSimToken328();
  const char* flaps = FlapsSettingText(flaps_handle);

  DrawPlanView(t);
  DrawRudderTrim(t);
  DrawStabiliserTrim(t);
  DrawAileronTrim(t);
  DrawElevators(t);
  DrawSpoilers(t, flaps_handle);
  DrawAilerons(t);
  DrawFlaps(t);
  DrawRudder(t);
  DrawSlats(t);
  const GearLegs gear{host::GetSimToken332(), host::GetSimToken333(), host::GetSimToken334()};
  DrawGear(t, gear);
  DrawScreenTextF(g, t.font, c.white, -30.0f, 32.0f, "FLAPS %s", flaps);
  t.Text(-20, 42, "INDEX 100");
  t.Text(-16, 52, "SLATS");
  DrawScreenTextF(g, t.font, c.white, -26.0f, 62.0f, "GEAR %s", GearText(gear));
}

}  // namespace ovi::c17
