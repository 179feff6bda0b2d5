// The B777 PFD's texts around the attitude (canvas pass): the mode strip,
// the selected speed and altitude, Mach, the altimeter setting, the first
// radio's station, the minimums, the deviation scales and the flashing
// marker beacon.
#include <algorithm>
#include <cmath>
#include <string>

#include "src/guidance/state.h"
#include "src/host/sim_vars.h"
#include "src/instruments/efs/b777/b777_pfd.h"
#include "src/model/state.h"

namespace ovi::efs {

namespace {

using display::FiniteOr;
using gfx::Point;
namespace c = b777_colour;

const guidance::State& G() { return guidance::guidance_state; }
bool On(double v) { return v == 1.0; }

// Engaged modes in green, armed ones in white; one text a field, the
// first row of the field that holds. Mach hold wins the speed field: its
// text was always drawn over "SPD", and the selected speed shows Mach then.
constexpr display::Annunciation kModeStrip[] = {
    {0, [] { return On(G().ApMachHold); }, "MACH", -70, -130, 13, c::kGreen},
    {0, [] { return On(G().ApAirspeedHold); }, "SPD", -70, -130, 13, c::kGreen},
    {1, [] { return G().ApMaster != 0.0; }, "A/P", -14, -90, 13, c::kGreen},
    {1, [] { return host::GetSimToken792Int() != 0; }, "FLT DIR", -29, -90, 13, c::kGreen},
    {2, [] { return G().ApHeadingLock == 1 && G().LnavEngaged == 1; }, "LNAV", -18, -130, 12, c::kGreen},
    {2, [] { return G().ApHeadingLock == 1; }, "HDG SEL", -23, -130, 10, c::kGreen},
    {2, [] { return G().LnavEngaged == 1; }, "LNAV", -15, -118, 9, c::kWhite},
    {3,
     [] {
       return On(G().ApAltitudeLock) && G().VnavEngaged == 1 && On(G().ApAirspeedHold) &&
              model::model_state.VnavSetSpd == 1;
     },
     "VNAV SPD", 27, -130, 9, c::kGreen},
    {3, [] { return On(G().ApAltitudeLock) && G().VnavEngaged == 1; }, "VNAV PTH", 27, -130, 9, c::kGreen},
    {3, [] { return On(G().ApAltitudeLock); }, "ALT", 30, -130, 12, c::kGreen},
    {3, [] { return On(G().ApApproachHold); }, "APP", 30, -130, 12, c::kGreen},
    {3, [] { return G().VnavEngaged == 1; }, "VNAV", 30, -118, 9, c::kWhite},
};

void Text(gfx::Graphics& g, float size, gfx::ARGB colour, float x, float y, const char* text) {
  display::DrawScreenText(g, display::ArialBold(size), gfx::SolidBrush(colour), x, y, text);
}

void DrawMach(gfx::Graphics& g) {
  const double mach = FiniteOr(G().MachNumber);
  if (!(mach >= 0.4)) return;
  const gfx::Font font = display::ArialBold(15);
  const gfx::SolidBrush white(c::kWhite);
  // Thousandths that round up to a whole Mach read as "1.000", not ".1000".
  if (mach * 1000.0 < 999.5) {
    display::DrawScreenTextF(g, font, white, -110, 100, ".%3.0f", mach * 1000.0);
  } else {
    display::DrawScreenTextF(g, font, white, -110, 100, "%.3f", std::min(mach, 99.0));
  }
}

void DrawAltimeter(gfx::Graphics& g) {
  const double millibars = FiniteOr(G().BaroPressureMillibars);
  if (millibars >= 1013.0 && millibars < 1013.4) {
    Text(g, 11, c::kGreen, 85, 105, "STD");
    return;
  }
  const gfx::Font font = display::ArialBold(9);
  display::DrawScreenTextF(g, font, gfx::SolidBrush(c::kGreen), 85, 100, "%2.2f IN",
                           FiniteOr(G().BarometricPressureInHg));
  display::DrawScreenTextF(g, font, gfx::SolidBrush(c::kWhite), 85, 115, "%4.0f HPA", millibars);
}

void DrawStation(gfx::Graphics& g) {
  if (!(host::GetNav1Signal() > 0.0)) return;
  const gfx::Font font = display::ArialBold(9);
  const gfx::SolidBrush white(c::kWhite);
  const std::string ident = host::ReadNav1StationIdent();
  display::DrawScreenTextF(g, font, white, -70, -100, "%s/%3.0f\xB0", ident.c_str(), FiniteOr(G().SelectedCourse));
  display::DrawScreenTextF(g, font, white, -70, -90, "DME %3.1f", FiniteOr(G().Nav1DmeDistance));
}

// A needle beyond its full scale stays at the scale's end: 34 units for 127.
int DeviationUnits(double needle) { return gfx::TruncToPixel(std::clamp(FiniteOr(needle), -127.0, 127.0) * 0.2677); }

constexpr Point kGlideslopeDots[] = {{72, -36}, {72, -19}, {72, 19}, {72, 36}};
constexpr Point kLocalizerDots[] = {{-32, 83}, {-17, 83}, {15, 83}, {32, 83}};

// A filled diamond about (x, y), `across` units to each side and `along`
// up and down.
void DrawDiamond(gfx::Graphics& g, int x, int y, int across, int along) {
  const Point diamond[] = {{x - across, y}, {x, y - along}, {x + across, y}, {x, y + along}, {x - across, y}};
  g.FillPolygonI(gfx::SolidBrush(c::kMagenta), diamond);
}

struct Marker {
  int value;
  const char* text;
  gfx::ARGB colour;
  float font;
  int ring_y, ring_size;
};
constexpr Marker kMarkers[] = {
    {1, "OM", c::kRedFill, 9, -73, 18}, {2, "MM", c::kAmber, 9, -73, 18}, {3, "IM", c::kWhite, 12, -72, 17}};

}  // namespace

std::span<const display::Annunciation> B777ModeStrip() { return kModeStrip; }

void DrawB777ModeStrip(const B777Frame& f) {
  f.Canvas();
  f.g.FillRectangleI(gfx::SolidBrush(f.tape), -73, -130, 150, 20);
  const gfx::Pen white(c::kWhite, 2.0f);
  f.g.DrawLineI(white, -23, -130, -23, -110);
  f.g.DrawLineI(white, 25, -130, 25, -110);
  display::DrawAnnunciations(f.g, kModeStrip, display::ArialBold);
}

void DrawB777Readouts(const B777Frame& f) {
  f.Canvas();
  const guidance::State& s = G();
  const gfx::Font large = display::ArialBold(13);
  const gfx::SolidBrush magenta(c::kMagenta);
  if (On(s.ApMachHold)) {
    display::DrawScreenTextF(f.g, large, magenta, -110, -118, "%.2f", FiniteOr(host::GetAutopilotMachHoldVar()));
  } else {
    display::DrawScreenTextF(f.g, large, magenta, -110, -118, "%3.0f", FiniteOr(s.ApAirspeedHoldVar));
  }
  display::DrawScreenTextF(f.g, large, magenta, 80, -118, "%5.0f", FiniteOr(s.ApAltitudeLockVar));
  DrawMach(f.g);
  DrawAltimeter(f.g);
  DrawStation(f.g);
  const gfx::SolidBrush green(c::kGreen);
  Text(f.g, 9, c::kGreen, 45, 80, "BARO");
  display::DrawScreenTextF(f.g, display::ArialBold(9), green, 50, 90, "%3.0f", FiniteOr(host::GetDecisionHeightFeet()));
}

void DrawB777DeviationScales(const B777Frame& f) {
  f.Canvas();
  const gfx::Pen white(c::kWhite, 2.0f);
  if (host::IsNav1GlideslopeAvailable() != 0) {
    display::DrawCircles(f.g, white, kGlideslopeDots, 5);
    f.g.DrawLineI(white, 70, 0, 82, 0);
    DrawDiamond(f.g, 75, DeviationUnits(G().Nav1GlideslopeNeedle), 4, 5);
  }
  if (host::GetNav1Signal() > 0.0 && host::IsNav1Localizer() != 0) {
    display::DrawCircles(f.g, white, kLocalizerDots, 5);
    f.g.DrawLineI(white, 0, 79, 0, 91);
    DrawDiamond(f.g, DeviationUnits(G().Nav1CdiNeedle), 85, 5, 4);
  }
}

void DrawB777MarkerBeacon(const B777Frame& f) {
  f.Canvas();
  const int received = display::MarkerBeaconNow();
  for (const Marker& m : kMarkers) {
    if (m.value != received) continue;
    f.g.DrawEllipseI(gfx::Pen(m.colour == c::kRedFill ? c::kRedPen : m.colour, 2.0f), 50, m.ring_y, m.ring_size,
                     m.ring_size);
    Text(f.g, m.font, m.colour, 50, -70, m.text);
  }
}

}  // namespace ovi::efs
