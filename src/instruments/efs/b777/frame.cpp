// The B777 PFD's draw entry, its painter with the layer table, and the
// attitude layers: sky and ground, pitch ladder, pitch limit indicator,
// aircraft symbol, flight director, radio altitude, flight path vector and
// the bank scale.
#include <algorithm>
#include <cmath>

#include "src/display/state.h"
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
const model::State& M() { return model::model_state; }

constexpr double kPerDegree = 3.0;  // canvas units a degree of pitch

void DrawSkyAndGround(const B777Frame& f) {
  ClipToB777Window(f);
  f.Fine(FiniteOr(G().BankAttitude));
  const int left = f.grid.X(-375), width = f.grid.X(145) - left;
  const int horizon = f.grid.Y(-kPerDegree * FiniteOr(G().PitchAttitude));
  const int top = f.grid.Y(-390), bottom = f.grid.Y(130);
  // Far beyond the window the horizon leaves one of the two rectangles
  // without height: it is then not drawn.
  if (bottom > horizon) f.g.FillRectangleI(gfx::SolidBrush(f.ground), left, horizon, width, bottom - horizon);
  if (horizon > top) f.g.FillRectangleI(gfx::SolidBrush(f.sky), left, top, width, horizon - top);
  f.g.ResetClip();
}

void DrawPitchLadder(const B777Frame& f) {
  ClipToB777Ladder(f);
  f.Fine(FiniteOr(G().BankAttitude));
  const gfx::Pen pen(c::kWhite, f.Size(1));
  const gfx::SolidBrush white(c::kWhite);
  const gfx::Font font = display::ArialBold(f.Size(9));
  const double horizon = -kPerDegree * FiniteOr(G().PitchAttitude);
  auto line = [&](double half, double y) {
    f.g.DrawLineI(pen, f.grid.X(-half), f.grid.Y(y), f.grid.X(half), f.grid.Y(y));
  };
  line(130, horizon);
  for (int i = 5; i <= 90; i += 5) {
    for (const int side : {-1, 1}) {
      const double y = horizon + side * kPerDegree * i;
      if (i % 10 == 0) {
        line(32, y);
        for (const double x : {32.0, -45.0}) {
          display::DrawScreenTextF(f.g, font, white, static_cast<float>(f.grid.X(x)),
                                   static_cast<float>(f.grid.Y(y - 5)), "%d", i);
        }
      } else {
        line(16, y);
      }
      line(8, y - side * 8);  // toward the horizon
    }
  }
  f.g.ResetClip();
}

bool PitchLimitShown(const B777Frame&) { return host::GetSimToken907() > 0.0; }

void DrawPitchLimit(const B777Frame& f) {
  ClipToB777Ladder(f);
  f.Fine(FiniteOr(G().BankAttitude));
  const double reference = FiniteOr(host::GetSimToken349());
  const double y = reference >= 25000.0 ? -40.0 : 37.0 - 0.0032 * reference;
  const gfx::Pen amber(c::kAmber, f.Size(2));
  for (const int side : {-1, 1}) {
    auto stroke = [&](double x1, double y1, double x2, double y2) {
      f.g.DrawLineI(amber, f.grid.X(side * x1), f.grid.Y(y1), f.grid.X(side * x2), f.grid.Y(y2));
    };
    stroke(30, y, 30, y - 6);
    stroke(30, y - 5, 42, y - 5);
    for (const double x : {33.0, 36.0, 39.0}) stroke(x, y - 5, x + 3, y - 12);
  }
  f.g.ResetClip();
}

constexpr Point kChevron[] = {{0, 0}, {40, 15}, {20, 15}, {0, 0}, {-20, 15}, {-40, 15}, {0, 0}};
constexpr Point kLeftWing[] = {{-26, 0}, {-26, -2}, {-60, -2}, {-60, 2}, {-30, 2}, {-30, 10}, {-26, 10}, {-26, 0}};
constexpr Point kRightWing[] = {{26, 0}, {26, -2}, {60, -2}, {60, 2}, {30, 2}, {30, 10}, {26, 10}, {26, 0}};
constexpr Point kCentreSquare[] = {{-2, -2}, {2, -2}, {2, 2}, {-2, 2}, {-2, -2}};

void DrawAircraftSymbol(const B777Frame& f) {
  f.Canvas();
  const gfx::SolidBrush black(c::kBlack);
  if (M().EadiDualCue == 0) {
    f.g.FillPolygonI(black, kChevron);
    f.g.DrawLinesI(gfx::Pen(c::kWhite, 2.0f), kChevron);
    return;
  }
  const gfx::Pen white(c::kWhite, 1.0f);
  for (std::span<const Point> shape :
       {std::span<const Point>(kLeftWing), std::span<const Point>(kRightWing), std::span<const Point>(kCentreSquare)}) {
    f.g.FillPolygonI(black, shape);
    f.g.DrawLinesI(white, shape);
  }
}

bool FlightDirectorOn(const B777Frame&) { return host::GetSimToken792Int() != 0; }

void DrawFlightDirector(const B777Frame& f) {
  display::MoveFlightDirectorBars({.roll = 0.33, .pitch = 0.11});
  const display::State& d = display::display_state;
  const int p = gfx::TruncToPixel(3.0 * d.FdPitchBarShown);
  ClipToB777Window(f);
  if (M().EadiDualCue == 0) {
    f.Canvas(d.FdRollBarShown);
    const Point bars[] = {{0, p},        {50, p + 10},  {45, p + 15},  {50, p + 15},  {50, p + 10},
                          {45, p + 15},  {0, p},        {-45, p + 15}, {-50, p + 10}, {-50, p + 15},
                          {-45, p + 15}, {-50, p + 10}, {0, p}};
    f.g.DrawLinesI(gfx::Pen(c::kMagenta, 1.0f), bars);
  } else {
    f.Canvas();
    const gfx::Pen magenta(c::kMagenta, 2.0f);
    const int x = gfx::TruncToPixel(2.4 * d.FdRollBarShown);
    f.g.DrawLineI(magenta, x, -45, x, 45);
    f.g.DrawLineI(magenta, -45, p, 45, p);
  }
  f.g.ResetClip();
}

bool RadioAltitudeShown(const B777Frame&) { return FiniteOr(G().RadioAltitudeFeet) < 2500.0; }

void DrawRadioAltitude(const B777Frame& f) {
  f.Canvas();
  f.g.FillRectangleI(gfx::SolidBrush(f.background), -20, 53, 40, 15);
  display::DrawScreenTextF(f.g, display::ArialBold(15), gfx::SolidBrush(c::kWhite), -20, 53, "%4.0f",
                           FiniteOr(G().RadioAltitudeFeet));
}

// 3 units a degree of a flight path angle taken as 0.6 x V/S / GS; pinned
// to the window's edge, where it flashes.
constexpr display::FlightPathVectorScale kFpv{
    .per_gradient = 1.8, .per_drift = 3.0, .y_limit = 70, .x_limit = 65, .pin = true};

bool FlightPathVectorOn(const B777Frame&) { return M().DispFPV == 1 && FiniteOr(G().GroundSpeedKnots) > 60.0; }

void DrawFlightPathVector(const B777Frame& f) {
  const display::FlightPathVectorPlace p = display::PlaceFlightPathVector(kFpv, host::GetVerticalSpeedFpm());
  if (!p.shown) return;
  ClipToB777Window(f);
  f.Canvas();
  display::DrawFlightPathVector(f.g, gfx::Pen(c::kWhite, 1.0f), p.x, p.y);
  f.g.ResetClip();
}

constexpr Point kBankPointer[] = {{0, -70}, {4, -62}, {-4, -62}, {0, -70}};
constexpr Point kBankIndex[] = {{0, -70}, {3, -75}, {-3, -75}};
constexpr int kBankAngles[] = {-60, -45, -30, -20, -10, 0, 10, 20, 30, 45, 60};

void DrawBankScale(const B777Frame& f) {
  const gfx::Pen white(c::kWhite, 1.0f);
  f.Canvas(FiniteOr(G().BankAttitude));
  f.g.DrawLinesI(white, kBankPointer);
  // 8 units for 127 of the simulator's slip value, turning with the pointer.
  const int s = gfx::TruncToPixel(0.063 * FiniteOr(host::GetSimToken69()));
  f.g.DrawRectangleI(white, s - 5, -62, 10, 3);
  for (const int a : kBankAngles) {
    f.Canvas(a);
    if (a == 0) {
      f.g.FillPolygonI(gfx::SolidBrush(c::kWhite), kBankIndex);
    } else {
      const int end = a == 30 || a == -30 ? -80 : a == 60 || a == -60 ? -77 : -75;
      f.g.DrawLineI(white, 0, -70, 0, end);
    }
  }
}

bool Always(const B777Frame&) { return true; }
bool MarkerFlashes(const B777Frame&) { return G().FrameCounter < 8 && display::MarkerBeaconNow() != 0; }

constexpr display::Layer<B777Frame> kLayers[] = {
    {"sky and ground", Always, DrawSkyAndGround},
    {"pitch ladder", Always, DrawPitchLadder},
    {"pitch limit indicator", PitchLimitShown, DrawPitchLimit},
    {"aircraft symbol", Always, DrawAircraftSymbol},
    {"flight director", FlightDirectorOn, DrawFlightDirector},
    {"radio altitude", RadioAltitudeShown, DrawRadioAltitude},
    {"flight path vector", FlightPathVectorOn, DrawFlightPathVector},
    {"speed tape", Always, DrawB777SpeedTape},
    {"altitude tape", Always, DrawB777AltitudeTape},
    {"vertical speed", Always, DrawB777VerticalSpeed},
    {"bank scale", Always, DrawBankScale},
    {"mode strip", Always, DrawB777ModeStrip},
    {"readouts", Always, DrawB777Readouts},
    {"deviation scales", Always, DrawB777DeviationScales},
    {"marker beacon", MarkerFlashes, DrawB777MarkerBeacon},
    {"heading arc", Always, DrawB777HeadingArc},
};

gfx::ARGB Colour(int red, int green, int blue) { return display::BackgroundColour(red, green, blue); }

}  // namespace

void B777Frame::Canvas(double rotation) const { display::UseOrigin(g, scale, kB777CentreX, kB777CentreY, rotation); }

void B777Frame::Fine(double rotation) const { display::UseFineGrid(g, grid, kB777CentreX, kB777CentreY, rotation); }

void ClipToB777Window(const B777Frame& f) {
  f.Canvas();
  gfx::GraphicsPath path;
  path.AddArcI(-70, -75, 30, 30, 180, 90);
  path.AddArcI(40, -75, 30, 30, 270, 90);
  path.AddArcI(40, 45, 30, 30, 0, 90);
  path.AddArcI(-70, 45, 30, 30, 90, 90);
  path.CloseFigure();
  f.g.SetClip(path);
}

void ClipToB777Ladder(const B777Frame& f) {
  f.Canvas();
  gfx::GraphicsPath path;
  path.AddArcI(-85, -65, 170, 141, 210, 120);
  path.AddLineI(70, -35, 70, 75);
  path.AddLineI(70, 75, -70, 75);
  path.AddLineI(-70, 75, -70, -35);
  path.CloseFigure();
  f.g.SetClip(path);
}

void ClipToB777Rectangle(const B777Frame& f, double left, double top, double right, double bottom) {
  gfx::GraphicsPath path;
  const Point corners[] = {f.At(left, top), f.At(right, top), f.At(right, bottom), f.At(left, bottom)};
  path.AddPolygonI(corners, 4);
  f.g.SetClip(path);
}

void DrawB777Readout(const B777Frame& f, const ReadoutLayout& layout, const ReadoutText& text, double drum_y,
                     int drum_position) {
  constexpr std::size_t kMostPoints = 8;
  Point box[kMostPoints];
  const std::size_t n = std::min(layout.box.size(), kMostPoints);
  for (std::size_t i = 0; i < n; ++i) box[i] = f.At(layout.box[i].X, layout.box[i].Y);
  const std::span<const Point> outline(box, n);
  f.g.FillPolygonI(gfx::SolidBrush(f.background), outline);
  gfx::GraphicsPath clip;
  clip.AddPolygonI(box, static_cast<int>(n));
  f.g.SetClip(clip);
  const gfx::SolidBrush white(c::kWhite);
  for (std::size_t i = 0; i < layout.fixed.size(); ++i) {
    const ReadoutCharacter& place = layout.fixed[i];
    const char one[] = {static_cast<int>(i) < text.length ? text.text[i] : ' ', '\0'};
    display::DrawScreenText(f.g, display::ArialBold(f.Size(place.size)), white, static_cast<float>(f.grid.X(place.x)),
                            static_cast<float>(f.grid.Y(place.y)), one);
  }
  display::DrawDrumColumn(f.g, f.grid, display::ArialBold(f.Size(layout.drum_size)), white, layout.drum_x, drum_y,
                          layout.drum, drum_position);
  f.g.ResetClip();
  f.g.DrawLinesI(gfx::Pen(c::kWhite, f.Size(1)), outline);
}

std::span<const display::Layer<B777Frame>> B777PfdLayers() { return kLayers; }

void DrawB777Pfd(display::GaugeDisplay& display, gfx::DeviceContext* dc, const PIXSIZE* size, int variant) {
  if (dc == nullptr) return;
  display.width = size != nullptr ? size->x : dc->width;
  display.height = size != nullptr ? size->y : dc->height;
  gfx::Graphics g(dc);
  g.SetSmoothingMode(gfx::SmoothingMode::HighQuality);
  if (G().DisplayPower == 0 || variant == 2) {
    g.Clear(kB777Blank);
    return;
  }
  const display::CanvasScale scale = display::ScaleToSurface(kB777Canvas, display.width, display.height);
  if (!scale.usable) return;
  g.SetTextRenderingHint(gfx::TextRenderingHint::AntiAlias);
  const model::State& m = M();
  display::FillCanvas(g, scale, kB777Canvas,
                      Colour(m.B777PFDBkgrdColorRed, m.B777PFDBkgrdColorGreen, m.B777PFDBkgrdColorBlue));
  DrawB777PfdInstruments(display, g);
}

void DrawB777PfdInstruments(const display::GaugeDisplay& display, gfx::Graphics& g) {
  const display::CanvasScale scale = display::ScaleToSurface(kB777Canvas, display.width, display.height);
  if (!scale.usable) return;
  const model::State& m = M();
  const double speed = FiniteOr(G().SmoothedAirspeed);
  const B777Frame f{g,
                    scale,
                    display::FineGridFor(kB777Canvas, display.width, display.height, 16),
                    Colour(m.B777PFDSkyColorRed, m.B777PFDSkyColorGreen, m.B777PFDSkyColorBlue),
                    Colour(m.B777PFDGrndColorRed, m.B777PFDGrndColorGreen, m.B777PFDGrndColorBlue),
                    Colour(m.B777PFDTapeColorRed, m.B777PFDTapeColorGreen, m.B777PFDTapeColorBlue),
                    Colour(m.B777PFDBkgrdColorRed, m.B777PFDBkgrdColorGreen, m.B777PFDBkgrdColorBlue),
                    display::OverspeedReference(speed),
                    display::StallReference()};
  display::DrawLayers(B777PfdLayers(), f);
  g.ResetClip();
}

}  // namespace ovi::efs
