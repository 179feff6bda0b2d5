// The P1000's traffic window below the map: two range rings inside a
// diamond, the frame, the range label, the own aircraft and the provider's
// traffic at the window's own range. Drawn last in the frame; it leaves
// the window's clip set.
#include "src/display/map_overlays.h"
#include "src/display/map_symbols.h"
#include "src/instruments/mfd/p1000/p1000_mfd.h"
#include "src/model/state.h"

namespace ovi::p1000 {

namespace {

constexpr gfx::Point kRingDiamond[] = {{40, 191}, {131, 258}, {225, 191}, {131, 171}};
constexpr gfx::Point kWindow[] = {{39, 169}, {39, 272}, {224, 272}, {224, 170}};
constexpr display::Segment kFrame[] = {
    {{40, 171}, {40, 272}}, {{40, 272}, {222, 272}}, {{222, 272}, {222, 171}}, {{222, 171}, {40, 171}}};
constexpr int kOwnX = 131, kOwnY = 238;
constexpr int kTrafficRadius = 61;

template <std::size_t N>
void Clip(gfx::Graphics& g, const gfx::Point (&outline)[N]) {
  gfx::GraphicsPath path;
  path.AddLinesI(outline, static_cast<int>(N));
  path.CloseFigure();
  g.SetClip(path, gfx::CombineMode::Replace);
}

}  // namespace

void DrawP1000TcasWindow(const P1000Frame& f) {
  gfx::Graphics& g = f.g;
  const model::State& m = model::model_state;
  f.UseCanvas();
  g.ResetClip();
  const gfx::SolidBrush background(f.background);
  g.FillRectangleI(background, 39, 171, 2, 101);
  g.FillRectangleI(background, 221, 171, 2, 101);

  const gfx::Pen pen(display::colour::kWhite, 2.0f);
  Clip(g, kRingDiamond);
  g.DrawEllipseI(pen, 67, 177, 130, 130);
  g.DrawEllipseI(pen, 102, 212, 60, 60);
  g.ResetClip();
  Clip(g, kWindow);

  display::DrawSegments(g, pen, kFrame);
  display::DrawMapSymbol(g, 185.0, 215.0, display::kSymbolTcasRangeLabel, -99, 1.0, 1.0, display::kStyleDefault,
                         m.P1000MapRange);
  display::DrawMapSymbol(g, kOwnX, kOwnY, display::kSymbolOwnAircraftSwept, -99, 1.0, 1.0, display::kStyleDefault,
                         m.P1000MapRange);
  display::DrawScreenText(g, display::ArialBold(12.0f), gfx::SolidBrush(display::colour::kWhite), 41.0f, 175.0f,
                          "TCAS");
  display::DrawProviderTraffic(g, kTrafficRadius, m.P1000TcasRange, kOwnX, kOwnY, display::kDisplayP1000);
}

}  // namespace ovi::p1000
