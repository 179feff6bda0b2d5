// The box below the full rose: a lateral deviation scale with its own bar,
// from the radio or the flight plan.
#include <cmath>

#include "src/guidance/state.h"
#include "src/host/sim_vars.h"
#include "src/instruments/efs/efs50/ehsi.h"
#include "src/model/state.h"

namespace ovi::efs {

namespace {

using gfx::Point;
namespace c = efs50_colour;

struct Dot {
  int x, y, diameter;
};
constexpr ehsi::Segment kFrame[] = {{{-55, 70}, {-55, 80}}, {{-55, 70}, {55, 70}}, {{55, 70}, {55, 80}}};
constexpr Dot kLeftDots[] = {{-52, 73, 7}, {-28, 74, 5}};
constexpr Point kDiamond[] = {{0, 73}, {3, 77}, {0, 81}, {-3, 77}, {0, 73}};
constexpr Dot kRightDots[] = {{44, 73, 7}, {20, 74, 5}};
// 100/239 units a needle unit (about 53 at full deflection, not limited);
// 1000/113 units a NM of cross-track, limited to the box.
constexpr double kUnitsPerNeedle = 0.41841004184100417;
constexpr double kUnitsPerNm = 8.849557522123893;
constexpr int kFlightPlanLimit = 50;

void DrawDots(gfx::Graphics& g, const gfx::Pen& pen, std::span<const Dot> dots) {
  for (const Dot& d : dots) g.DrawEllipseI(pen, d.x, d.y, d.diameter, d.diameter);
}

}  // namespace

void DrawEfs50RoseLowerBox(const display::GaugeDisplay& display, gfx::Graphics& g) {
  const display::CanvasScale scale = Efs50Scale(display);
  if (!scale.usable) return;
  const guidance::State& s = guidance::guidance_state;
  display::UseOrigin(g, scale, kEfs50CentreX, kEfs50CentreY);
  g.FillRectangleI(gfx::SolidBrush(Efs50EhsiBackground()), -56, 69, 112, 45);
  const gfx::Pen white(c::kWhite, 2.0f);
  display::DrawSegments(g, white, kFrame);
  DrawDots(g, white, kLeftDots);
  g.DrawLinesI(white, kDiamond);
  DrawDots(g, white, kRightDots);
  if (model::model_state.EFS50NavMode == 1) {
    if (!(host::GetNav1Signal() > 0.0)) return;
    const int d = gfx::TruncToPixel(display::FiniteOr(s.Nav1CdiNeedle) * kUnitsPerNeedle);
    g.DrawLineI(gfx::Pen(c::kAmber, 3.0f), d, 72, d, 82);
    return;
  }
  const std::optional<double> xtk = Efs50CrossTrack();
  if (!xtk) return;
  int d = gfx::TruncToPixel(*xtk * kUnitsPerNm);
  if (d > kFlightPlanLimit) d = kFlightPlanLimit;
  if (d < -kFlightPlanLimit) d = -kFlightPlanLimit;
  g.DrawLineI(gfx::Pen(c::kBlue, 3.0f), d, 72, d, 82);
  display::UseCanvas(g, scale);
}

}  // namespace ovi::efs
