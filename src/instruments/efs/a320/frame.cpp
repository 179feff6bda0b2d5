// The A320 EADI's draw entry, its painter, and the attitude group: the
// attitude clip, sky and ground, pitch ladder, limit bands, radio altitude,
// bank pointer and slip index, aircraft symbol, flight director and flight
// path vector; then, unclipped, the roll scale and the deviation scales.
#include <algorithm>
#include <cmath>

#include "src/display/state.h"
#include "src/guidance/state.h"
#include "src/host/sim_vars.h"
#include "src/instruments/efs/a320/a320_eadi.h"
#include "src/model/state.h"

namespace ovi::efs {

namespace {

using display::FiniteOr;
using gfx::Point;
namespace c = a320_colour;

const guidance::State& G() { return guidance::guidance_state; }
const model::State& M() { return model::model_state; }

constexpr double kPerDegree = 4.1;  // canvas units a degree of pitch

double Horizon() { return -kPerDegree * FiniteOr(G().PitchAttitude); }

// A disc of radius about 104 with its sides cut straight at x = +-90.
void ClipToAttitude(const A320Frame& f) {
  f.Centre();
  display::ClipToCutDisc(f.g, 104, 103, 90, 52);
}

void DrawSkyAndGround(const A320Frame& f) {
  f.Fine(FiniteOr(G().BankAttitude));
  const int h = f.grid.Y(Horizon());
  const Point sky[] = {f.At(-549, -555), f.At(251, -555), Point(f.grid.X(251), h), Point(f.grid.X(-549), h)};
  const Point ground[] = {Point(f.grid.X(-549), h), Point(f.grid.X(251), h), f.At(251, 245), f.At(-549, 245)};
  f.g.FillPolygonI(gfx::SolidBrush(f.sky), sky);
  f.g.FillPolygonI(gfx::SolidBrush(f.ground), ground);
}

void DrawLadder(const A320Frame& f) {
  const gfx::Pen white = f.FinePen(c::kWhite, 2);
  const double horizon = Horizon();
  // On the ground (token 60) only the horizon and the rungs above it.
  const bool upper_only = host::GetSimToken60Int() != 0;
  auto rung = [&](double half, double y) { f.Line(white, -half, y, half, y); };
  auto labels = [&](int d, double y) {
    const gfx::Font font = display::TahomaBold(f.grid.SizeY(15));
    const gfx::SolidBrush brush(c::kWhite);
    for (const double x : {30.0, -50.0}) {
      display::DrawScreenTextF(f.g, font, brush, static_cast<float>(f.grid.X(x)),
                               static_cast<float>(f.grid.Y(y - 8)), "%d", d);
    }
  };
  rung(149, horizon);
  for (int d = 5; d <= 90; d += 5) {
    const double up = horizon - kPerDegree * d, down = horizon + kPerDegree * d;
    const bool ten = d % 10 == 0;
    rung(ten ? 25 : 15, up);
    if (ten) labels(d, up);
    if (upper_only) continue;
    rung(10, up + 8);
    rung(ten ? 25 : 10, down);
    if (ten) labels(d, down);
    rung(5, down - 8);
  }
}

// Rungs farther than 80 units from the centre are covered by bands of sky
// and ground inside the clip.
void DrawLimitBands(const A320Frame& f) {
  const gfx::Pen white = f.FinePen(c::kWhite, 2);
  f.Line(white, -80, -80, 80, -80);
  f.Line(white, -80, 80, 80, 80);
  f.g.FillRectangleI(gfx::SolidBrush(f.sky), f.grid.X(-80), f.grid.Y(-120), f.grid.X(160), f.grid.Y(40));
  f.g.FillRectangleI(gfx::SolidBrush(f.ground), f.grid.X(-80), f.grid.Y(80), f.grid.X(160), f.grid.Y(40));
}

void DrawRadioAltitude(const A320Frame& f) {
  const double feet = FiniteOr(G().RadioAltitudeFeet);
  if (!(feet > 0.0 && feet <= 2500.0)) return;
  const auto n = static_cast<double>(display::ScreenTextLength("%3.0f", feet));
  display::DrawScreenTextF(f.g, display::TahomaBold(f.grid.SizeY(15)), gfx::SolidBrush(c::kAmber),
                           static_cast<float>(f.grid.X(-5 * n)), static_cast<float>(f.grid.Y(80)), "%3.0f", feet);
}

constexpr Point kBankPointer[] = {{0, -104}, {4, -97}, {-4, -97}, {0, -104}};

void DrawBankPointer(const A320Frame& f) {
  f.Centre(FiniteOr(G().BankAttitude));
  f.g.DrawLinesI(gfx::Pen(c::kWhite, 2.0f), kBankPointer);
  // 8 units for 127 of the simulator's slip value.
  const int s = gfx::TruncToPixel(FiniteOr(host::GetSimToken69()) * 8.0 / 127.0);
  f.g.FillRectangleI(gfx::SolidBrush(c::kWhite), s - 6, -96, 10, 3);
}

constexpr Point kChevron[] = {{0, 0}, {40, 15}, {30, 15}, {0, 5}, {-30, 15}, {-40, 15}, {0, 0}};
// The right wing is 2 units longer and its step 1 unit farther out than the
// left, as the symbol has always been drawn.
constexpr Point kLeftWing[] = {{-47, 0}, {-47, -3}, {-85, -3}, {-85, 3}, {-53, 3}, {-53, 12}, {-47, 12}, {-47, 0}};
constexpr Point kCentreSquare[] = {{-3, -3}, {-3, 3}, {3, 3}, {3, -3}, {-3, -3}};
constexpr Point kRightWing[] = {{47, 0}, {47, -3}, {87, -3}, {87, 3}, {54, 3}, {54, 12}, {47, 12}, {47, 0}};

void DrawAircraftSymbol(const A320Frame& f) {
  f.Centre();
  const gfx::SolidBrush black(c::kBlack);
  if (M().EadiDualCue == 99) {
    f.g.FillPolygonI(black, kChevron);
    f.g.DrawLinesI(gfx::Pen(c::kWhite, 1.0f), kChevron);
    return;
  }
  const gfx::Pen amber(c::kAmber, 1.0f);
  for (std::span<const Point> shape :
       {std::span<const Point>(kLeftWing), std::span<const Point>(kCentreSquare), std::span<const Point>(kRightWing)}) {
    f.g.FillPolygonI(black, shape);
    f.g.DrawLinesI(amber, shape);
  }
}

void DrawFlightDirector(const A320Frame& f) {
  if (host::GetSimToken792Int() == 0) return;
  display::MoveFlightDirectorBars({.roll = 0.33, .pitch = 0.11});
  const display::State& d = display::display_state;
  f.Centre();
  const gfx::Pen green(c::kGreen, 2.0f);
  const int x = gfx::TruncToPixel(1.8 * d.FdRollBarShown);
  const int y = gfx::TruncToPixel(1.8 * d.FdPitchBarShown);
  f.g.DrawLineI(green, x, -33, x, 33);
  f.g.DrawLineI(green, -33, y, 33, y);
}

// 4 units a degree of drift; 2.4 units per foot a minute over a knot,
// pinned at the window's edges, where it flashes.
constexpr display::FlightPathVectorScale kFpv{
    .per_gradient = 2.4, .per_drift = 4.0, .y_limit = 60, .x_limit = 83, .pin = true};

void DrawFlightPathVector(const A320Frame& f) {
  const display::FlightPathVectorPlace p = display::PlaceFlightPathVector(kFpv, host::GetVerticalSpeedFpm());
  if (!p.shown) return;
  f.Centre();
  display::DrawFlightPathVector(f.g, gfx::Pen(c::kWhite, 2.0f), p.x, p.y);
}

constexpr Point kRollIndex[] = {{0, -104}, {4, -111}, {-4, -111}, {0, -104}};
constexpr int kRollMarks[] = {-45, -30, -20, -10, 0, 10, 20, 30, 45};

void DrawRollScale(const A320Frame& f) {
  f.Centre();
  const gfx::Pen white(c::kWhite, 2.0f);
  f.g.DrawArcI(white, -104, -104, 208, 208, 240, 60);
  for (const int a : kRollMarks) {
    f.Centre(a);
    if (a == 0) {
      f.g.DrawLinesI(gfx::Pen(c::kAmber, 2.0f), kRollIndex);
    } else {
      f.g.DrawLineI(white, 0, -104, 0, a == 30 || a == -30 ? -114 : -109);
    }
  }
}

constexpr Point kGlideslopeDots[] = {{95, -73}, {95, -38}, {95, 38}, {95, 73}};
constexpr Point kLocalizerDots[] = {{-37, 108}, {-72, 108}, {33, 108}, {68, 108}};

// Needles are held within full scale (+-127) before they are scaled.
double Needle(double value) { return std::clamp(FiniteOr(value), -127.0, 127.0); }

void DrawDeviationScales(const A320Frame& f) {
  f.Centre();
  const gfx::Pen amber(c::kAmber, 3.0f), white(c::kWhite, 2.0f), magenta(c::kMagenta, 2.0f);
  f.g.DrawLineI(amber, 92, 0, 107, 0);
  if (host::IsNav1GlideslopeAvailable()) {
    display::DrawCircles(f.g, white, kGlideslopeDots, 6);
    const int g = gfx::TruncToPixel(Needle(G().Nav1GlideslopeNeedle) * 70.0 / 127.0 + 6.0);
    const Point diamond[] = {{91, g}, {98, g - 7}, {105, g}, {98, g + 7}, {91, g}};
    f.g.DrawLinesI(magenta, diamond);
  }
  if (host::GetNav1Signal() > 0.0 && host::IsNav1Localizer()) {
    display::DrawCircles(f.g, white, kLocalizerDots, 6);
    f.g.DrawLineI(amber, 0, 105, 0, 115);
    const int x = gfx::TruncToPixel(Needle(G().Nav1CdiNeedle) * 70.0 / 127.0 - 6.0);
    const Point diamond[] = {{x, 111}, {x + 7, 104}, {x + 14, 111}, {x + 7, 118}, {x, 111}};
    f.g.DrawLinesI(magenta, diamond);
  }
  f.g.DrawLineI(amber, 0, 117, 0, 130);
}

gfx::ARGB Colour(int red, int green, int blue) { return display::BackgroundColour(red, green, blue); }

}  // namespace

void A320Frame::Centre(double rotation) const {
  display::UseOrigin(g, scale, kA320CentreX, kA320CentreY, rotation);
}

void A320Frame::Fine(double rotation) const { display::UseFineGrid(g, grid, kA320CentreX, kA320CentreY, rotation); }

void A320Frame::Line(const gfx::Pen& pen, double x1, double y1, double x2, double y2) const {
  g.DrawLineI(pen, grid.X(x1), grid.Y(y1), grid.X(x2), grid.Y(y2));
}

void A320Frame::Text(float size, gfx::ARGB colour, double x, double y, const char* text) const {
  display::DrawScreenText(g, display::TahomaBold(grid.SizeY(size)), gfx::SolidBrush(colour),
                          static_cast<float>(grid.X(x)), static_cast<float>(grid.Y(y)), text);
}

void DrawA320Attitude(const A320Frame& f) {
  ClipToAttitude(f);
  DrawSkyAndGround(f);
  DrawLadder(f);
  DrawLimitBands(f);
  DrawRadioAltitude(f);
  DrawBankPointer(f);
  DrawAircraftSymbol(f);
  DrawFlightDirector(f);
  DrawFlightPathVector(f);
  f.g.ResetClip();
}

void DrawA320RollAndDeviation(const A320Frame& f) {
  DrawRollScale(f);
  DrawDeviationScales(f);
}

void DrawA320Eadi(display::GaugeDisplay& display, gfx::DeviceContext* dc, const PIXSIZE* size, int /*variant*/,
                  int /*model*/) {
  // The variant is not read: this display draws whenever its gauge calls
  // it, also as the copy a pop-up window hides.
  if (dc == nullptr) return;
  display.width = size != nullptr ? size->x : dc->width;
  display.height = size != nullptr ? size->y : dc->height;
  gfx::Graphics g(dc);
  if (G().DisplayPower == 0) {
    g.Clear(display::colour::kTransparent);
    return;
  }
  const display::CanvasScale scale = display::ScaleToSurface(kA320Canvas, display.width, display.height);
  if (!scale.usable) return;
  g.SetSmoothingMode(gfx::SmoothingMode::HighQuality);
  g.SetTextRenderingHint(gfx::TextRenderingHint::AntiAlias);
  const model::State& m = M();
  display::FillCanvas(g, scale, kA320Canvas,
                      Colour(m.A320EADIBkgrdColorRed, m.A320EADIBkgrdColorGreen, m.A320EADIBkgrdColorBlue));
  DrawA320EadiInstruments(display, g);
}

void DrawA320EadiInstruments(const display::GaugeDisplay& display, gfx::Graphics& g) {
  const display::CanvasScale scale = display::ScaleToSurface(kA320Canvas, display.width, display.height);
  if (!scale.usable) return;
  const model::State& m = M();
  const double speed = FiniteOr(G().SmoothedAirspeed);
  const A320Frame f{g,
                    scale,
                    display::FineGridFor(kA320Canvas, display.width, display.height, 16),
                    Colour(m.A320EADISkyColorRed, m.A320EADISkyColorGreen, m.A320EADISkyColorBlue),
                    Colour(m.A320EADIGrndColorRed, m.A320EADIGrndColorGreen, m.A320EADIGrndColorBlue),
                    Colour(m.A320EADITapeColorRed, m.A320EADITapeColorGreen, m.A320EADITapeColorBlue),
                    display::OverspeedReference(speed),
                    5.0 + display::StallReference()};
  DrawA320Attitude(f);
  DrawA320RollAndDeviation(f);
  DrawA320SpeedScale(f);
  DrawA320AltitudeScale(f);
  DrawA320SpeedTrend(f);
  DrawA320HeadingScale(f);
  DrawA320VerticalSpeed(f);
  DrawA320DataFields(f);
  g.ResetClip();
}

}  // namespace ovi::efs
