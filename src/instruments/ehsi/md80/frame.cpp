// The MD-80 EHSI's frame: power and blanking, background, the centre of the
// mode and its routine.
#include <optional>

#include "src/display/map_labels.h"
#include "src/guidance/state.h"
#include "src/instruments/ehsi/md80/md80.h"
#include "src/instruments/ehsi/state.h"
#include "src/model/state.h"

namespace ovi::ehsi {

RoseFrame Md80Frame(const display::GaugeDisplay& display, gfx::Graphics& g, int x, int y) {
  return RoseFrame{g, display::ScaleToSurface(kMd80Canvas, display.width, display.height), static_cast<float>(x),
                   static_cast<float>(y), display::FiniteOr(guidance::guidance_state.AircraftHeading)};
}

RoseFrame Md80CentredFrame(const display::GaugeDisplay& display, gfx::Graphics& g) {
  return Md80Frame(display, g, ehsi_state.Md80EhsiCentreX, ehsi_state.Md80EhsiCentreY);
}

void DrawMd80Ehsi(display::GaugeDisplay& display, gfx::DeviceContext* dc, const PIXSIZE* size, int variant) {
  if (dc == nullptr) return;
  display.width = size != nullptr ? size->x : dc->width;
  display.height = size != nullptr ? size->y : dc->height;

  gfx::Graphics g(dc);
  g.SetSmoothingMode(gfx::SmoothingMode::HighQuality);
  g.Clear(display::colour::kTransparent);
  if (guidance::guidance_state.DisplayPower == 0 || variant == 2) {
    g.Clear(display::colour::kTransparent);
    return;
  }
  const display::CanvasScale scale = display::ScaleToSurface(kMd80Canvas, display.width, display.height);
  if (!scale.usable) return;
  g.SetTextRenderingHint(gfx::TextRenderingHint::AntiAlias);
  const model::State& m = model::model_state;
  display::FillCanvas(
      g, scale, kMd80Canvas,
      display::BackgroundColour(m.MD80EHSIBkgrdColorRed, m.MD80EHSIBkgrdColorGreen, m.MD80EHSIBkgrdColorBlue));
  State& s = ehsi_state;
  // The texts of a map mode are weighed as one picture.
  std::optional<display::MapPicture> picture;
  if (m.MD80EHSIMode == 2 || m.MD80EHSIMode == 3) picture.emplace(g);
  switch (m.MD80EHSIMode) {
    case 0:
      s.Md80EhsiCentreX = kMd80CentreX;
      s.Md80EhsiCentreY = kMd80RoseCentreY;
      DrawMd80EhsiFullRose(display, g);
      break;
    case 1:
      s.Md80EhsiCentreX = kMd80CentreX;
      s.Md80EhsiCentreY = kMd80ArcCentreY;
      DrawMd80EhsiArc(display, g);
      break;
    case 2:
    case 3:
      s.Md80EhsiCentreX = kMd80CentreX;
      s.Md80EhsiCentreY = kMd80ArcCentreY;
      DrawMd80EhsiMap(display, g, variant);
      break;
    default:
      break;
  }
}

}  // namespace ovi::ehsi
