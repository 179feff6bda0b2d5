// The C-17 primary flight page (page 1): the page routine with its frames,
// and the attitude: clip, sky and ground, the ladder with bent and dashed
// rungs, the flight director, the flight path vector, one warning, the
// aircraft symbol, roll pointer and slip bar, and the roll scale.
#include <algorithm>
#include <cmath>

#include "src/display/state.h"
#include "src/guidance/state.h"
#include "src/host/sim_vars.h"
#include "src/instruments/mfd/c17/c17_mfd.h"
#include "src/instruments/mfd/c17/pfd_page.h"
#include "src/instruments/mfd/c17/state.h"
#include "src/model/state.h"

namespace ovi::c17 {

namespace {

using display::FiniteOr;
using gfx::Point;
namespace c = pfd_colour;

const guidance::State& G() { return guidance::guidance_state; }

constexpr double kPerDegree = 4.5;  // canvas units a degree of pitch

// A circle of radius 80 with its sides cut off at x = +-69.
void ClipToSphere(const PfdFrame& f) {
  f.Origin();
  display::ClipToCutDisc(f.g, 80, 80, 69, 40);
}

void DrawSphere(const PfdFrame& f) {
  f.Fine(FiniteOr(G().BankAttitude));
  const double horizon = -kPerDegree * FiniteOr(G().PitchAttitude);
  const int h = f.grid.Y(horizon);
  const Point sky[] = {f.At(-522, -510), f.At(278, -510), Point(f.grid.X(278), h), Point(f.grid.X(-522), h)};
  f.g.FillPolygonI(gfx::SolidBrush(f.sky), sky);
  const Point ground[] = {Point(f.grid.X(-522), h), Point(f.grid.X(278), h), f.At(278, 290), f.At(-522, 290)};
  f.g.FillPolygonI(gfx::SolidBrush(f.ground), ground);

  const gfx::Pen ladder = f.FinePen(c::kWhite, 1.5), thin = f.FinePen(c::kWhite, 1);
  gfx::Pen dashed = f.FinePen(c::kWhite, 1.5);
  dashed.SetDashStyle(gfx::DashStyle::Dash);
  const gfx::Font font = display::ArialBold(f.grid.SizeY(11));
  const gfx::SolidBrush white(c::kWhite);
  f.Line(ladder, -122, horizon, 122, horizon);
  for (int n = 5; n <= 90; n += 5) {
    const bool ten = n % 10 == 0;
    const double end = ten ? 48 : 40;
    // +1 above the horizon (nose up, solid), -1 below it (nose down,
    // dashed); the inner ends and the end ticks point toward the horizon.
    for (const int above : {1, -1}) {
      const double y = horizon - above * kPerDegree * n;
      const double toward = above * 8.0, bend = above * 15.0;
      const gfx::Pen& bar = above == 1 ? ladder : dashed;
      for (const int side : {-1, 1}) {
        const gfx::Pen& tick = above == -1 && ten && side == -1 ? thin : ladder;
        f.Line(tick, side * end, y, side * end, y + toward);
        if (n < 30) {
          f.Line(bar, side * end, y, side * 20, y);
        } else {
          f.Line(bar, side * end, y, side * 30, y);
          f.Line(bar, side * 30, y, side * 20, y + bend);
        }
      }
      if (ten) {
        for (const double x : {50.0, -65.0}) {
          display::DrawScreenTextF(f.g, font, white, static_cast<float>(f.grid.X(x)),
                                   static_cast<float>(f.grid.Y(y - 6)), "%d", n);
        }
      }
    }
  }
}

void DrawFlightDirector(const PfdFrame& f) {
  if (host::GetSimToken792Int() == 0) return;
  display::MoveFlightDirectorBars({.roll = 0.33, .pitch = 0.11});
  const display::State& d = display::display_state;
  f.Origin();
  const gfx::Pen magenta(c::kMagenta, 3.0f);
  // 2.28 units a degree, taken as 228 / 100 so that whole degrees land on
  // whole units (2.28 x 25 in binary falls just short of 57).
  const int x = gfx::TruncToPixel(228.0 * d.FdRollBarShown / 100.0);
  const int y = gfx::TruncToPixel(228.0 * d.FdPitchBarShown / 100.0);
  f.g.DrawLineI(magenta, x, -50, x, 50);
  f.g.DrawLineI(magenta, -50, y, 50, y);
}

// The climb gradient (vertical speed x 60 / ground speed, feet a nautical
// mile) over 100 stands for the flight-path angle on the 4.5-a-degree
// scale; beyond the limits the symbol flashes where it is, unpinned.
constexpr display::FlightPathVectorScale kFpv{
    .per_gradient = 2.7, .per_drift = 4.5, .y_limit = 50, .x_limit = 55, .pin = false};

void DrawFlightPathVector(const PfdFrame& f) {
  const display::FlightPathVectorPlace p = display::PlaceFlightPathVector(kFpv, G().VerticalSpeedFpm);
  if (!p.shown) return;
  f.Origin();
  display::DrawFlightPathVector(f.g, gfx::Pen(c::kWhite, 2.0f), p.x, p.y);
}

double RadioAltitude() { return FiniteOr(G().RadioAltitudeFeet); }
double VerticalSpeed() { return FiniteOr(G().VerticalSpeedFpm); }
bool Terrain(double below_feet, double sink) { return RadioAltitude() < below_feet && VerticalSpeed() < sink; }

constexpr display::Annunciation kWarnings[] = {
    {0, [] { return Terrain(4000, -16000); }, "TERRAIN", -40, -45, 17, c::kRed},
    {0, [] { return Terrain(3000, -8000); }, "TERRAIN", -40, -45, 17, c::kRed},
    {0, [] { return Terrain(2000, -4000); }, "TERRAIN", -40, -45, 17, c::kRed},
    {0, [] { return RadioAltitude() < 500 && (VerticalSpeed() < -1950 || host::GetSimToken332() < 16000); },
     "TERRAIN", -40, -45, 17, c::kRed},
    {0, [] { return host::GetStallWarning() != 0.0; }, "STALL", -30, -45, 17, c::kRed},
    {0, [] { return host::GetOverspeedWarning() != 0; }, "OVERSPEED", -60, -45, 17, c::kRed},
    {0,
     [] {
       const double dh = FiniteOr(host::GetDecisionHeightFeet());
       return dh - 10 <= RadioAltitude() && RadioAltitude() <= dh + 10 && VerticalSpeed() < -100;
     },
     "DH", -20, -45, 17, c::kRed},
};

void DrawWarning(const PfdFrame& f) {
  f.Origin();
  display::DrawAnnunciations(f.g, kWarnings, display::ArialBold);
}

constexpr Point kLeftWing[] = {{0, 1}, {-5, 7}, {-10, 0}, {-15, 0}};
constexpr Point kRightWing[] = {{0, 1}, {5, 7}, {10, 0}, {15, 0}};
constexpr Point kRollPointer[] = {{0, -80}, {4, -72}, {-4, -72}};
constexpr Point kRollIndex[] = {{0, -80}, {4, -88}, {-4, -88}};
constexpr int kRollMarks[] = {-60, -45, -30, -20, -10, 0, 10, 20, 30, 45, 60};

void DrawSymbolAndRoll(const PfdFrame& f) {
  f.Origin();
  const gfx::Pen wide(c::kWhite, 2.0f), white(c::kWhite, 1.0f);
  f.g.DrawLinesI(wide, kLeftWing);
  f.g.DrawLinesI(wide, kRightWing);
  f.g.DrawEllipseI(wide, -2, -2, 4, 4);
  f.Origin(FiniteOr(G().BankAttitude));
  f.g.DrawPolygonI(white, kRollPointer);
  // 8 units for 127 of the simulator's slip value.
  const int s = gfx::TruncToPixel(FiniteOr(host::GetSimToken69()) * 8.0 / 127.0);
  f.g.FillRectangleI(gfx::SolidBrush(c::kWhite), s - 5, -72, 10, 3);
  for (const int a : kRollMarks) {
    f.Origin(a);
    if (a == 0) {
      f.g.DrawPolygonI(white, kRollIndex);
    } else {
      const bool long_mark = a == 30 || a == -30 || a == 60 || a == -60;
      f.g.DrawLineI(wide, 0, -80, 0, long_mark ? -90 : -85);
    }
  }
}

gfx::ARGB Colour(int red, int green, int blue) { return display::BackgroundColour(red, green, blue); }

}  // namespace

void PfdFrame::Origin(double rotation) const { display::UseOrigin(g, scale, origin_x, origin_y, rotation); }

void PfdFrame::Bottom() const { display::UseOrigin(g, scale, origin_x, kPfdBottomY); }

void PfdFrame::Fine(double rotation) const { display::UseFineGrid(g, grid, origin_x, origin_y, rotation); }

void PfdFrame::Line(const gfx::Pen& pen, double x1, double y1, double x2, double y2) const {
  g.DrawLineI(pen, grid.X(x1), grid.Y(y1), grid.X(x2), grid.Y(y2));
}

void PfdFrame::Text(float size, gfx::ARGB colour, double x, double y, const char* text) const {
  display::DrawScreenText(g, display::ArialBold(grid.SizeY(size)), gfx::SolidBrush(colour),
                          static_cast<float>(grid.X(x)), static_cast<float>(grid.Y(y)), text);
}

std::span<const display::Annunciation> C17PfdWarnings() { return kWarnings; }

void DrawC17PfdAttitude(const PfdFrame& f) {
  ClipToSphere(f);
  DrawSphere(f);
  DrawFlightDirector(f);
  DrawFlightPathVector(f);
  DrawWarning(f);
  f.g.ResetClip();
  DrawSymbolAndRoll(f);
}

void DrawC17PrimaryFlightPage(display::GaugeDisplay& display, gfx::Graphics& g) {
  const display::CanvasScale scale = display::ScaleToSurface(kC17Canvas, display.width, display.height);
  if (!scale.usable) return;
  const model::State& m = model::model_state;
  const PfdFrame f{g,
                   scale,
                   display::FineGridFor(kC17Canvas, display.width, display.height, 16),
                   static_cast<float>(c17_state.C17MfdOriginX),
                   static_cast<float>(c17_state.C17MfdOriginY),
                   Colour(m.C17MfdSkyColorRed, m.C17MfdSkyColorGreen, m.C17MfdSkyColorBlue),
                   Colour(m.C17MfdGrndColorRed, m.C17MfdGrndColorGreen, m.C17MfdGrndColorBlue)};
  DrawC17PfdDataFields(f);
  DrawC17PfdAttitude(f);
  DrawC17PfdTapes(f);
  DrawC17PfdDeviationAndHeading(f);
  DrawC17PfdModes(f);
  g.ResetClip();
  f.Canvas();
}

}  // namespace ovi::c17
