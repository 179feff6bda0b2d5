#include "src/instruments/efs/efs50/kit.h"

#include "src/display/map_labels.h"
#include "src/guidance/state.h"

namespace ovi::efs {

display::CanvasScale Efs50Scale(const display::GaugeDisplay& display) {
  return display::ScaleToSurface(kEfs50Canvas, display.width, display.height);
}

bool OpenEfs50Picture(gfx::Graphics& g, display::GaugeDisplay& display, const gfx::DeviceContext& dc,
                      const PIXSIZE* size, int variant) {
  display.width = size != nullptr ? size->x : dc.width;
  display.height = size != nullptr ? size->y : dc.height;
  if (guidance::guidance_state.DisplayPower == 0 || variant == 2) {
    g.Clear(display::colour::kTransparent);
    return false;
  }
  g.SetTextRenderingHint(gfx::TextRenderingHint::AntiAlias);
  return true;
}

void DrawEfs50Aircraft(gfx::Graphics& g, gfx::ARGB colour) {
  g.DrawLinesI(gfx::Pen(colour, 1.0f), kEfs50AircraftOutline);
  display::ClaimMapBox(g, display::MapRank::kMark, gfx::RectF(-13.0f, -13.0f, 26.0f, 32.0f));
}

}  // namespace ovi::efs
