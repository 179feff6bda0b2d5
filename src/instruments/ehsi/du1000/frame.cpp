// The DU-1000 EHSI's frame: power and blanking, background, the rose of the
// mode, the map contents and the data blocks over everything.
#include <optional>

#include "src/display/map_labels.h"
#include "src/flightplan/state.h"
#include "src/guidance/state.h"
#include "src/instruments/ehsi/du1000/du1000.h"
#include "src/model/records.h"
#include "src/model/state.h"

namespace ovi::ehsi {

bool Du1000MapCondition() {
  const model::State& m = model::model_state;
  return flightplan::flightplan_state.ActiveWaypointIndex != model::kNoWaypoint || m.Du1000ShowNavaids == 1 ||
         m.Du1000ShowAux == 1 || m.Du1000ShowAirports == 1 || m.Du1000ShowIntersections == 1 ||
         m.NdShowTraffic == 1 || m.ShowAtcBoundaries == 1;
}

void DrawDu1000Ehsi(display::GaugeDisplay& display, gfx::DeviceContext* dc, const PIXSIZE* size, int variant) {
  if (dc == nullptr) return;
  display.width = size != nullptr ? size->x : dc->width;
  display.height = size != nullptr ? size->y : dc->height;

  gfx::Graphics g(dc);
  g.SetSmoothingMode(gfx::SmoothingMode::HighQuality);
  if (guidance::guidance_state.DisplayPower == 0 || variant == 2) {
    g.Clear(display::colour::kTransparent);
    return;
  }
  const display::CanvasScale scale = display::ScaleToSurface(kDu1000Canvas, display.width, display.height);
  if (!scale.usable) return;
  g.SetTextRenderingHint(gfx::TextRenderingHint::AntiAlias);
  const model::State& m = model::model_state;
  display::FillCanvas(g, scale, kDu1000Canvas,
                      display::BackgroundColour(m.DU1000EHSIBkgrdColorRed, m.DU1000EHSIBkgrdColorGreen,
                                                m.DU1000EHSIBkgrdColorBlue));
  const int mode = m.DU1000EHSIMode;
  // The texts of a map mode are weighed as one picture.
  std::optional<display::MapPicture> picture;
  if (mode == 2 || mode == 3) picture.emplace(g);
  switch (mode) {
    case 0:
      DrawDu1000FullRose(display, g);
      break;
    case 1:
      DrawDu1000ArcRose(display, g);
      break;
    case 2:
      DrawDu1000CentredMapRose(display, g);
      if (Du1000MapCondition()) DrawDu1000MapLayers(display, g, variant);
      break;
    case 3:
      DrawDu1000ArcRose(display, g);
      if (Du1000MapCondition()) DrawDu1000MapLayers(display, g, variant);
      break;
    default:
      break;
  }
  if (mode != 2) DrawDu1000DataBlocks(display, g);
}

}  // namespace ovi::ehsi
