// The P1000 map's frame: the arc compass rose with its range ring, labels
// and own aircraft (arc format), the range ring and north pointer (centred
// format), and the heading bug with its select line or, while the menu is
// open, the arrow that points the way round to a bug off the scale.
#include <cmath>

#include "src/display/map_symbols.h"
#include "src/guidance/state.h"
#include "src/instruments/mfd/p1000/p1000_mfd.h"
#include "src/model/state.h"

namespace ovi::p1000 {

namespace {

using display::FiniteOr;
using display::colour::kBlue;
using display::colour::kWhite;

const guidance::State& G() { return guidance::guidance_state; }

constexpr float kRosePen = 2.5f;
constexpr double kRoseX = 134.0, kRoseY = 148.5;  // the rose's centre
constexpr double kScaleHalfWidth = 65.0;          // degrees either side of the lubber line

// A heading in [0, 360).
double Wrapped(double heading) {
  double h = std::fmod(FiniteOr(heading), 360.0);
  if (h < 0.0) h += 360.0;
  return h;
}

void RangeLabel(const P1000Frame& f, double x, double y) {
  display::DrawMapSymbol(f.g, x, y, display::kSymbolRangeLabel, -99, 1.0, 1.0, display::kStyleDefault, f.range);
}

void DrawArcRose(const P1000Frame& f) {
  const gfx::Pen pen(kWhite, kRosePen);
  f.g.DrawEllipseI(pen, 82, 95, 105, 107);  // the ring at the map radius
  f.g.DrawEllipseI(pen, 12, 27, 244, 243);  // the compass arc
  display::DrawMapSymbol(f.g, 134.0, 137.5, display::kSymbolOwnAircraftLarge, -99, 1.0, 1.0, display::kStyleDefault,
                         f.range);
  RangeLabel(f, 71.0, 141.0);
  RangeLabel(f, 176.0, 141.0);
  display::DrawMapSymbol(f.g, 119.0, 0.0, display::kSymbolHeadingBox, -99, 1.0, 1.0, display::kStyleDefault, f.range);

  const double heading = Wrapped(G().AircraftHeading);
  for (int h = 0; h < 360; h += 5) {
    if (!P1000TickShown(h, heading)) continue;
    f.UseOrigin(kRoseX, kRoseY, h - heading);
    if (h % 30 == 0) DrawCenteredLabel(f.g, h);
    f.g.DrawLine(pen, 0.0f, h % 10 == 0 ? -106.0f : -113.0f, 0.0f, -121.5f);
  }
  f.UseCanvas();
}

// North up: the ring at the map radius, its range labels and the north
// pointer at the top left.
void DrawCentredRing(const P1000Frame& f) {
  const gfx::Pen pen(kWhite, kRosePen);
  const gfx::SolidBrush white(kWhite);
  f.g.DrawEllipseI(pen, 59, 39, 150, 150);
  RangeLabel(f, 45.0, 110.0);
  RangeLabel(f, 195.0, 110.0);
  const gfx::Point arrow[] = {{10, 30}, {15, 35}, {5, 35}};
  f.g.FillPolygonI(white, arrow, 3);
  f.g.DrawLineI(pen, 10, 35, 10, 40);
  f.g.DrawString("N", display::ArialBold(10.0f), gfx::PointF(5.0f, 40.0f), white);
  f.g.DrawLineI(pen, 10, 53, 10, 58);
}

// A bar just outside the compass arc, notched at its centre.
constexpr gfx::Point kHeadingBug[] = {{-12, -133}, {-7, -133}, {0, -128},   {7, -133},
                                      {12, -133},  {12, -122}, {-12, -122}, {-12, -133}};

}  // namespace

bool P1000TickShown(int tick, double heading) {
  const double r = tick - heading;
  return (r > -kScaleHalfWidth && r < kScaleHalfWidth) || (r > 360.0 - kScaleHalfWidth && r < 360.0) ||
         (r > -360.0 && r < kScaleHalfWidth - 360.0);
}

int P1000OffScaleArrow(double bug, double heading) {
  bug = Wrapped(bug);
  heading = Wrapped(heading);
  double d;
  int side;
  if (heading > bug) {
    d = heading - bug;
    side = -1;
    if (d > 180.0) {
      d = 360.0 - heading + bug;
      side = 1;
    }
  } else {
    d = bug - heading;
    side = 1;
    if (d > 180.0) {
      d = 360.0 - bug + heading;
      side = -1;
    }
  }
  return d > kScaleHalfWidth ? side : 0;
}

// The label of a heading that is a multiple of 30, centred on its radial by
// its measured width; single letters and digits are drawn with a blank
// after them, measured without it.
void DrawCenteredLabel(gfx::Graphics& g, int heading) {
  static constexpr const char* kLabels[] = {"N ", "3 ", "6 ", "E ", "12", "15", "S ", "21", "24", "W ", "30", "33"};
  const int index = heading / 30;
  if (heading % 30 != 0 || index < 0 || index >= 12) return;
  const std::string_view text = kLabels[index];
  const std::string_view measured = text[1] == ' ' ? text.substr(0, 1) : text;
  const gfx::Font font = display::DaReredBold(17.0f);
  gfx::RectF bounds;
  g.MeasureString(measured, font, gfx::RectF(-10.0f, -10.0f, 100.0f, 50.0f), nullptr, &bounds);
  g.DrawString(text, font, gfx::PointF(0.5f - bounds.Width / 2.0f, -108.0f), gfx::SolidBrush(kWhite));
}

void DrawP1000CompassRose(const P1000Frame& f) {
  if (f.format == kArcFormat)
    DrawArcRose(f);
  else if (f.format == kCentredFormat)
    DrawCentredRing(f);
}

void DrawP1000HeadingSelectLine(const P1000Frame& f) {
  const double heading = Wrapped(G().AircraftHeading), bug = Wrapped(G().ApHeadingLockDir);
  f.UseOrigin(kRoseX, kRoseY, bug - heading);
  f.g.FillPolygonI(gfx::SolidBrush(kBlue), kHeadingBug, static_cast<int>(std::size(kHeadingBug)));
  if (model::model_state.P1000MenuOpen == 0) {
    gfx::Pen dashed(kBlue, 2.0f);
    dashed.SetDashStyle(gfx::DashStyle::Dash);
    f.g.DrawLineI(dashed, 0, -100, 0, 0);
  } else if (const int side = P1000OffScaleArrow(bug, heading); side != 0) {
    f.UseOrigin(side < 0 ? 40.0 : 230.0, 60.0, side < 0 ? -135.0 : 135.0);
    gfx::Pen arrow(kBlue, 3.0f);
    arrow.SetCustomEndCap(gfx::AdjustableArrowCap(3.0f, 3.0f, true));
    f.g.DrawLineI(arrow, 0, 0, 0, -25);
  }
  f.UseCanvas();
}

}  // namespace ovi::p1000
