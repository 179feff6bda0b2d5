// The A320 EADI's texts, drawn last in the centre frame without clip: the
// ILS block or the Mach number in the lower left, the speed and altitude
// targets beyond their tapes, the barometric setting, the marker beacon and
// the flight-mode row along the top.
#include <algorithm>
#include <cmath>
#include <string>

#include "src/guidance/state.h"
#include "src/host/sim_vars.h"
#include "src/instruments/efs/a320/a320_eadi.h"

namespace ovi::efs {

namespace {

using display::FiniteOr;
namespace c = a320_colour;

const guidance::State& G() { return guidance::guidance_state; }
bool On(double v) { return v == 1.0; }

// Mode rows: 1 at the top edge, 2 and 3 below it.
constexpr float kRow1 = -155, kRow2 = -141, kRow3 = -127;

bool AltitudeHold() { return On(G().ApAltitudeLock); }
bool Vnav() { return G().VnavEngaged != 0; }
double SelectedVerticalSpeed() { return FiniteOr(G().ApVerticalSpeedVar); }

// Fields: 0 speed mode, 1 vertical mode (row 1), 2 "ALT" (row 2), 3
// lateral mode, 4 approach, 5 to 7 the right column.
constexpr display::Annunciation kModeRow[] = {
    {0, [] { return On(G().ApAirspeedHold); }, "SPEED", -135, kRow1, 12, c::kCyan},
    {0, [] { return On(G().ApMachHold); }, "MACH", -135, kRow1, 12, c::kCyan},
    {1, [] { return AltitudeHold() && !Vnav() && SelectedVerticalSpeed() >= 200.0; }, "V/S +%4.0f", -80, kRow1, 12,
     c::kCyan, SelectedVerticalSpeed},
    {1, [] { return AltitudeHold() && !Vnav() && SelectedVerticalSpeed() <= -200.0; }, "V/S %4.0f", -80, kRow1, 12,
     c::kCyan, SelectedVerticalSpeed},
    {1, [] { return AltitudeHold() && Vnav() && SelectedVerticalSpeed() > 0.0; }, "CLB", -80, kRow1, 12, c::kCyan},
    {1, [] { return AltitudeHold() && Vnav() && SelectedVerticalSpeed() < 0.0; }, "DES", -80, kRow1, 12, c::kCyan},
    {2, [] { return AltitudeHold() && (!Vnav() || SelectedVerticalSpeed() == 0.0); }, "ALT", -80, kRow2, 12,
     c::kCyan},
    {3, [] { return G().ApHeadingLock == 1 && G().LnavEngaged == 0; }, "HDG", 0, kRow1, 12, c::kCyan},
    {3, [] { return G().ApHeadingLock == 1; }, "NAV", 0, kRow2, 12, c::kCyan},
    {3, [] { return On(G().ApNav1Lock); }, "GPS NAV", -5, kRow2, 12, c::kCyan},
    {4, [] { return On(G().ApApproachHold); }, "APP", 0, kRow3, 12, c::kCyan},
    {5, [] { return On(G().ApMaster); }, "AP1", 125, kRow1, 12, c::kWhite},
    {6, [] { return host::GetSimToken792Int() != 0; }, "1FD", 125, kRow2, 12, c::kWhite},
    {7, [] { return On(G().AutothrottleArm); }, "A/THR", 125, kRow3, 12, c::kWhite},
};

gfx::Font Tahoma(float size) { return display::TahomaBold(size); }

void Text(gfx::Graphics& g, gfx::ARGB colour, float x, float y, const char* text, float size = 12) {
  display::DrawScreenText(g, Tahoma(size), gfx::SolidBrush(colour), x, y, text);
}

void DrawIlsBlock(gfx::Graphics& g) {
  if (!(host::GetNav1Signal() > 0.0)) return;
  const gfx::Font font = Tahoma(12);
  const gfx::SolidBrush magenta(c::kMagenta);
  // At most 63 characters of the host's text; none without one.
  const std::string ident = host::ReadNav1StationIdent();
  display::DrawScreenTextF(g, font, magenta, -150, 118, "%s", ident.c_str());
  display::DrawScreenTextF(g, font, magenta, -150, 130, "%3.2f", display::Nav1FrequencyMhz());
  const double dme = FiniteOr(G().Nav1DmeDistance);
  if (dme > 0.0) display::DrawScreenTextF(g, font, magenta, -150, 142, "%2.1f NM", dme);
}

void DrawMach(gfx::Graphics& g, double mach) {
  const gfx::Font font = Tahoma(13);
  const gfx::SolidBrush green(c::kGreen);
  // Thousandths that round to a whole Mach read as "1.00", not ".1000".
  if (mach * 1000.0 < 999.5) {
    display::DrawScreenTextF(g, font, green, -150, 120, ".%2.0f", 1000.0 * mach);
  } else {
    display::DrawScreenTextF(g, font, green, -150, 120, "%.2f", std::min(mach, 99.0));
  }
}

void DrawTargets(gfx::Graphics& g) {
  const guidance::State& s = G();
  const gfx::Font font = Tahoma(12);
  const gfx::SolidBrush cyan(c::kCyan);
  const double speed = FiniteOr(s.SmoothedAirspeed), speed_target = FiniteOr(s.ApAirspeedHoldVar);
  if (speed_target > 0.0) {
    if (speed + 40.0 < speed_target) {
      display::DrawScreenTextF(g, font, cyan, -150, -119, "%4.0f", speed_target);
    } else if (speed - 40.0 > speed_target) {
      display::DrawScreenTextF(g, font, cyan, -150, 106, "%4.0f", speed_target);
    }
  }
  const double altitude = FiniteOr(s.AircraftAltitude), altitude_target = FiniteOr(s.ApAltitudeLockVar);
  if (altitude_target > 0.0) {
    if (altitude + 500.0 < altitude_target) {
      display::DrawScreenTextF(g, font, cyan, 105, -119, "%4.0f", altitude_target);
    } else if (altitude - 500.0 > altitude_target) {
      display::DrawScreenTextF(g, font, cyan, 105, 106, "%4.0f", altitude_target);
    }
  }
}

void DrawBarometricSetting(gfx::Graphics& g) {
  const guidance::State& s = G();
  const double millibars = FiniteOr(s.BaroPressureMillibars);
  if (millibars >= 1013.0 && millibars < 1013.4) {
    g.DrawRectangleI(gfx::Pen(c::kAmber, 2.0f), 100, 130, 30, 12);
    Text(g, c::kCyan, 100, 130, "STD");
    return;
  }
  const gfx::Font font = Tahoma(12);
  const gfx::SolidBrush cyan(c::kCyan);
  Text(g, c::kWhite, 100, 120, "QNH");
  display::DrawScreenTextF(g, font, cyan, 130, 120, "%4.0f", millibars);
  display::DrawScreenTextF(g, font, cyan, 100, 135, "%2.2f IN", FiniteOr(s.BarometricPressureInHg));
}

// The marker received: letters and colours by its number.
constexpr struct {
  const char* text;
  gfx::ARGB colour;
} kMarkers[] = {{"OM", c::kCyan}, {"MM", c::kAmber}, {"IM", c::kWhite}};

void DrawModeRow(gfx::Graphics& g) {
  const gfx::Pen white(c::kWhite, 2.0f);
  for (const int x : {-85, -5, 65, 120}) g.DrawLineI(white, x, -155, x, -117);
  display::DrawAnnunciations(g, kModeRow, Tahoma);
}

}  // namespace

std::span<const display::Annunciation> A320ModeRow() { return kModeRow; }

void DrawA320DataFields(const A320Frame& f) {
  f.Centre();
  const double mach = FiniteOr(G().MachNumber);
  if (mach < 0.4) {
    DrawIlsBlock(f.g);
  } else {
    DrawMach(f.g, mach);
  }
  DrawTargets(f.g);
  DrawBarometricSetting(f.g);
  if (const int marker = display::MarkerBeaconNow(); marker != 0) {
    Text(f.g, kMarkers[marker - 1].colour, 80, 88, kMarkers[marker - 1].text);
  }
  DrawModeRow(f.g);
}

}  // namespace ovi::efs
