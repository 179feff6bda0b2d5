// The start of a navigation display's picture, which the B737 and the MD-11
// share: the surface's size, a graphics on it, the dark display, the frame
// of the state and the canvas's background.
#pragma once

#include "platform/gfx/graphics.h"
#include "platform/panel/panel.h"
#include "src/display/kit.h"
#include "src/display/lifetime.h"
#include "src/guidance/state.h"

namespace ovi::nd {

// Sets the surface's pixel size into `display` (the device context's own
// when `size` is null) and draws on a graphics of `dc`, smoothed: while the
// displays are switched off (DisplayPower 0) or for variant 2 the surface
// is cleared to transparent and nothing more is drawn; else texts are
// anti-aliased, the frame is made (`make(g, display, variant)`), and where
// its scale is usable the canvas is filled with the frame's background and
// `draw(frame)` draws the rest. `clear_always`: the surface is cleared on
// every picture, not only on a dark one. Nothing happens without a device
// context.
template <class Make, class Draw>
void DrawNdPicture(display::GaugeDisplay& display, gfx::DeviceContext* dc, const PIXSIZE* size, int variant,
                   const display::Canvas& canvas, bool clear_always, Make&& make, Draw&& draw) {
  if (dc == nullptr) return;
  display.width = size != nullptr ? size->x : dc->width;
  display.height = size != nullptr ? size->y : dc->height;

  gfx::Graphics g(dc);
  g.SetSmoothingMode(gfx::SmoothingMode::HighQuality);
  const bool dark = guidance::guidance_state.DisplayPower == 0 || variant == 2;
  if (dark || clear_always) g.Clear(display::colour::kTransparent);
  if (dark) return;
  g.SetTextRenderingHint(gfx::TextRenderingHint::AntiAlias);
  const auto frame = make(g, display, variant);
  if (!frame.scale.usable) return;
  display::FillCanvas(g, frame.scale, canvas, frame.background);
  draw(frame);
}

}  // namespace ovi::nd
