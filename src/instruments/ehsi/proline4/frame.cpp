// The Pro Line 4 MFD's frame: power and blanking, background, and the one
// page of the mode.
#include <iterator>
#include <optional>

#include "src/display/map_labels.h"
#include "src/guidance/state.h"
#include "src/instruments/ehsi/proline4/proline4.h"
#include "src/model/state.h"

namespace ovi::ehsi {

namespace {

using PagePainter = void (*)(const display::GaugeDisplay& display, gfx::Graphics& g, int variant);

void HsiRose(const display::GaugeDisplay& display, gfx::Graphics& g, int /*variant*/) {
  DrawProline4HsiRose(display, g);
}
void HsiArc(const display::GaugeDisplay& display, gfx::Graphics& g, int /*variant*/) {
  DrawProline4HsiArc(display, g);
}

// PROLINE4MFDMode 0..3; only the map pages take the variant.
constexpr PagePainter kPages[] = {HsiRose, HsiArc, DrawProline4MapPage, DrawProline4ArcMapPage};

}  // namespace

void DrawProline4Mfd(display::GaugeDisplay& display, gfx::DeviceContext* dc, const PIXSIZE* size, int variant) {
  if (dc == nullptr) return;
  display.width = size != nullptr ? size->x : dc->width;
  display.height = size != nullptr ? size->y : dc->height;

  gfx::Graphics g(dc);
  g.SetTextRenderingHint(gfx::TextRenderingHint::AntiAlias);
  g.SetSmoothingMode(gfx::SmoothingMode::HighQuality);
  if (guidance::guidance_state.DisplayPower == 0 || variant == 2) {
    g.Clear(display::colour::kTransparent);
    return;
  }
  const display::CanvasScale scale = display::ScaleToSurface(kProline4Canvas, display.width, display.height);
  if (!scale.usable) return;
  model::State& m = model::model_state;
  display::FillCanvas(g, scale, kProline4Canvas,
                      display::BackgroundColour(m.PROLINE4MFDBkgrdColorRed, m.PROLINE4MFDBkgrdColorGreen,
                                                m.PROLINE4MFDBkgrdColorBlue));
  const int mode = m.PROLINE4MFDMode;
  // The mode keys set the radius with the mode; a mode from the aircraft
  // file or a named variable comes without it, so each map page keeps its
  // own.
  if (mode == 2) m.Proline4MapRadius = 70;
  if (mode == 3) m.Proline4MapRadius = 140;
  // The texts of a map page are weighed as one picture.
  std::optional<display::MapPicture> picture;
  if (mode == 2 || mode == 3) picture.emplace(g);
  if (mode >= 0 && mode < static_cast<int>(std::size(kPages))) kPages[mode](display, g, variant);
}

}  // namespace ovi::ehsi
