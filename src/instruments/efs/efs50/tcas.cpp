// Traffic in two places with one picture: the EHSI's mode 8 and the EFS 50
// traffic display (EFS50_TCAS). Marks about the aircraft at the canvas
// centre, the TCAS range, and the traffic provider's targets at 90 units a
// range, cut to the marks' circle. Neither turns: the targets come turned
// by the map heading.
#include <cmath>

#include "src/display/kit.h"
#include "src/display/map_overlays.h"
#include "src/instruments/efs/efs50/ehsi.h"
#include "src/model/state.h"

namespace ovi::efs {

namespace {

namespace c = efs50_colour;

constexpr int kTrafficRadius = 90;
// The inner ring of dots, about 2 NM out, by the range; none at 2 and 40.
struct InnerDot {
  double range;
  int y, diameter;
};
constexpr InnerDot kInnerDots[] = {{5.0, -40, 5}, {10.0, -20, 4}, {20.0, -10, 3}};

}  // namespace

void DrawEfs50TrafficPicture(const display::GaugeDisplay& display, gfx::Graphics& g, float range_x) {
  const display::CanvasScale scale = Efs50Scale(display);
  if (!scale.usable) return;
  const double range = model::model_state.Efs50TcasRange;
  const gfx::SolidBrush blue(c::kBlue);
  const gfx::Pen blue_pen(c::kBlue, 2.0f);
  const InnerDot* inner = nullptr;
  for (const InnerDot& dot : kInnerDots)
    if (range == dot.range) inner = &dot;
  for (int a = 0; a < 360; a += 10) {
    display::UseOrigin(g, scale, kEfs50CentreX, kEfs50CentreY, a);
    if (a % 30 != 0) {
      g.FillEllipseI(blue, 0, -100, 5, 5);
      continue;
    }
    g.DrawLineI(blue_pen, 0, -kTrafficRadius, 0, -100);
    if (inner != nullptr) g.FillEllipseI(blue, 0, inner->y, inner->diameter, inner->diameter);
  }
  display::UseOrigin(g, scale, kEfs50CentreX, kEfs50CentreY);
  DrawEfs50Aircraft(g, c::kWhite);
  display::DrawMapTextF(g, display::MapRank::kRangeFigure, display::ArialBold(15.0f), gfx::SolidBrush(c::kWhite),
                        range_x, 94.0f, "%2.0f", display::FiniteOr(range));
  gfx::GraphicsPath circle;
  circle.AddArc(-100.0f, -100.0f, 200.0f, 200.0f, 0.0f, 360.0f);
  circle.CloseFigure();
  g.SetClip(circle);
  display::DrawProviderTraffic(g, kTrafficRadius, range, 0, 0, display::kDisplayEfs50);
  g.ResetClip();
}

void DrawEfs50TcasMode(const display::GaugeDisplay& display, gfx::Graphics& g) {
  DrawEfs50TrafficPicture(display, g, 80.0f);
}

void DrawEfs50TcasTraffic(const display::GaugeDisplay& display, gfx::Graphics& g) {
  DrawEfs50TrafficPicture(display, g, 40.0f);
}

void DrawEfs50TcasScreen(display::GaugeDisplay& display, gfx::DeviceContext* dc, const PIXSIZE* size, int variant) {
  if (dc == nullptr) return;
  gfx::Graphics g(dc);
  g.SetSmoothingMode(gfx::SmoothingMode::HighQuality);
  g.Clear(display::colour::kTransparent);
  if (!OpenEfs50Picture(g, display, *dc, size, variant)) return;
  const display::MapPicture picture(g);
  DrawEfs50TcasTraffic(display, g);
}

}  // namespace ovi::efs
