// The MCU screen: one frame of its page machine.
#pragma once

#include "platform/gfx/device_context.h"
#include "src/display/lifetime.h"

namespace ovi::mcu {

// Draws one frame on a width x height surface. Nothing at all without a
// device context. With the displays dark the surface is cleared to
// transparent and every event waits for the first frame with power.
// Otherwise the frame repaints the whole screen when the repaint cycle is
// at 0 or a repaint was asked for (McuRedrawRequest), only the status
// page's bearing band when McuStatusRedraw asks for it, or nothing: the
// surface keeps its picture. A flight plan just loaded takes the screen
// through the APT page (its ENTER action, nothing drawn) to the status
// page. The one-frame events end with the frame.
void DrawMcuScreen(display::GaugeDisplay& display, gfx::DeviceContext* dc, int width, int height);

// Whether the values the status page shows changed since the per-tick
// update last kept them (the status page then repaints whole).
bool StatusValuesChanged();

}  // namespace ovi::mcu
