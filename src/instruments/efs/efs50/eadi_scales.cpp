// The EFS 50 EADI's fixed scales and texts, drawn over the attitude in the
// logical space about the centre, unturned and unclipped.
#include <algorithm>
#include <cmath>

#include "src/guidance/state.h"
#include "src/host/sim_vars.h"
#include "src/instruments/efs/efs50/eadi.h"

namespace ovi::efs {

namespace {

using display::FiniteOr;
using gfx::Point;
namespace c = efs50_colour;

struct Dot {
  int x, y, size;
};
constexpr Dot kGlideslopeDots[] = {{102, -55, 7}, {104, -30, 4}, {102, -5, 7}, {104, 20, 4}, {102, 45, 7}};
constexpr Dot kLocalizerDots[] = {{-70, 75, 7}, {-35, 77, 4}, {35, 77, 4}, {70, 75, 7}};
constexpr Point kLocalizerCentre[] = {{0, 75}, {3, 78}, {0, 81}, {-3, 78}, {0, 75}};
constexpr Point kSpeedDiamonds[2][5] = {{{-107, -39}, {-102, -32}, {-107, -25}, {-112, -32}, {-107, -39}},
                                        {{-107, 21}, {-102, 28}, {-107, 35}, {-112, 28}, {-107, 21}}};

void DrawDots(gfx::Graphics& g, std::span<const Dot> dots) {
  const gfx::Pen white(c::kWhite, 2.0f);
  for (const Dot& d : dots) g.DrawEllipseI(white, d.x, d.y, d.size, d.size);
}

// A needle beyond its full scale stays at the scale's end.
double Needle(double raw) { return std::clamp(FiniteOr(raw), -127.0, 127.0); }

void Text(gfx::Graphics& g, float size, gfx::ARGB colour, float x, float y, const char* text) {
  display::DrawScreenText(g, display::ArialBold(size), gfx::SolidBrush(colour), x, y, text);
}

// A pointer box beside a scale, 10 x 20 from (left, top), with its
// light-green triangle toward the scale and two letters in it.
void DrawPointer(gfx::Graphics& g, int left, int top, int tip, const char* upper, const char* lower) {
  const Point box[] = {{left, top}, {left + 10, top}, {left + 10, top + 20}, {left, top + 20}, {left, top}};
  g.DrawLinesI(gfx::Pen(c::kGreen, 2.0f), box);
  const int base = tip < left ? left : left + 10;
  const Point triangle[] = {{base, top + 5}, {tip, top + 10}, {base, top + 15}, {base, top + 5}};
  g.FillPolygonI(gfx::SolidBrush(c::kLightGreen), triangle);
  Text(g, 8, c::kWhite, static_cast<float>(left + 1), static_cast<float>(top), upper);
  Text(g, 8, c::kWhite, static_cast<float>(left + 1), static_cast<float>(top + 10), lower);
}

void DrawGlideslope(gfx::Graphics& g) {
  if (host::IsNav1GlideslopeAvailable() == 0) return;
  DrawDots(g, kGlideslopeDots);
  const int top = gfx::TruncToPixel(0.5 * Needle(guidance::guidance_state.Nav1GlideslopeNeedle) - 11.0);
  DrawPointer(g, 110, top, 100, "G", "S");
}

void DrawLocalizer(gfx::Graphics& g) {
  if (host::TestToken46Bit8() != 0) return;
  DrawDots(g, kLocalizerDots);
  g.DrawLinesI(gfx::Pen(c::kWhite, 2.0f), kLocalizerCentre);
  const int x = gfx::TruncToPixel(Needle(guidance::guidance_state.Nav1CdiNeedle) * 50.0 / 77.0);
  g.DrawLineI(gfx::Pen(c::kAmber, 3.0f), x, 73, x, 87);
}

// The autopilot's values count as on only when exactly 1.
bool On(double v) { return v == 1.0; }
const guidance::State& G() { return guidance::guidance_state; }

constexpr display::Annunciation kModes[] = {
    {0, [] { return true; }, "AP", -119, -114, 11, c::kLightGreen},
    {1, [] { return G().ApHeadingLock == 1; }, "HDG", -54, -114, 11, c::kLightGreen},
    {1, [] { return On(G().ApNav1Lock); }, "NAV", -54, -114, 11, c::kLightGreen},
    {2, [] { return On(G().ApApproachHold); }, "APR", -54, -104, 11, c::kLightGreen},
    {2, [] { return G().LnavEngaged == 1; }, "LNAV", -54, -104, 11, c::kLightGreen},
    {3, [] { return On(G().ApYawDamper); }, "YD", -119, -94, 11, c::kLightGreen},
    {4, [] { return On(G().ApAltitudeLock) && G().VnavEngaged == 1; }, "VNAV", 21, -114, 11, c::kWhite},
    {5, [] { return On(G().ApAltitudeLock); }, "ALT", 28, -104, 11, c::kWhite},
};

void DrawRadioAltitudeAndMinimums(gfx::Graphics& g) {
  const double ra = FiniteOr(G().RadioAltitudeFeet);
  if (ra >= -20.0 && ra <= 2500.0) {
    display::DrawScreenTextF(g, display::ArialBold(15), gfx::SolidBrush(c::kWhite), 81, -114, "%5.0f", ra);
    Text(g, 11, c::kWhite, 101, -99, "RA");
  }
  Text(g, 11, c::kWhite, 81, 89, "DH");
  display::DrawScreenTextF(g, display::ArialBold(13), gfx::SolidBrush(c::kWhite), 71, 99, "%3.0f",
                           FiniteOr(host::GetDecisionHeightFeet()));
  if (host::IsNav1Localizer() != 0) Text(g, 11, c::kWhite, 71, 61, "LOC");
}

// Target less speed, 3 units a knot up to 13 knots: a slow aircraft puts the
// pointer down toward "S".
void DrawSpeedDeviation(gfx::Graphics& g) {
  const double d = std::trunc(FiniteOr(G().ApAirspeedHoldVar) - FiniteOr(G().SmoothedAirspeed));
  if (!(std::fabs(d) <= 50.0)) return;
  Text(g, 11, c::kWhite, -113, -54, "F");
  Text(g, 11, c::kWhite, -113, 41, "S");
  const gfx::Pen white(c::kWhite, 2.0f);
  for (const auto& diamond : kSpeedDiamonds) g.DrawLinesI(white, diamond);
  g.DrawEllipseI(white, -111, -4, 4, 4);
  const int top = 3 * static_cast<int>(std::clamp(d, -13.0, 13.0)) - 11;
  DrawPointer(g, -125, top, -105, "A", "S");
}

struct Marker {
  int value;
  int dy;  // below the outer marker's shape
  gfx::ARGB pen;
  const char* text;
  float font;
  float text_x, text_y;
};
constexpr Marker kMarkers[] = {{1, 0, c::kAmber, "OM", 10, -121, 47},
                               {2, 15, c::kBlue, "MM", 10, -121, 62},
                               {3, 30, c::kWhite, "IM", 11, -119, 76}};
constexpr Point kMarkerShape[] = {{-119, 46}, {-104, 46}, {-100, 53}, {-104, 59}, {-119, 59}, {-123, 53}, {-119, 46}};

void DrawMarkerBeacon(gfx::Graphics& g) {
  const int received = display::MarkerBeaconNow();
  for (const Marker& m : kMarkers) {
    if (m.value != received) continue;
    display::DrawPolylineAt(g, gfx::Pen(m.pen, 1.0f), kMarkerShape, 0, m.dy);
    Text(g, m.font, c::kWhite, m.text_x, m.text_y, m.text);
  }
}

}  // namespace

std::span<const display::Annunciation> Efs50EadiModes() { return kModes; }

void DrawEfs50Scales(const display::GaugeDisplay& display, gfx::Graphics& g) {
  const display::CanvasScale scale = Efs50Scale(display);
  if (!scale.usable) return;
  display::UseOrigin(g, scale, kEfs50CentreX, kEfs50CentreY);
  DrawGlideslope(g);
  DrawLocalizer(g);
  if (On(G().ApMaster)) display::DrawAnnunciations(g, kModes, display::ArialBold);
  DrawRadioAltitudeAndMinimums(g);
  DrawSpeedDeviation(g);
  DrawMarkerBeacon(g);
}

}  // namespace ovi::efs
