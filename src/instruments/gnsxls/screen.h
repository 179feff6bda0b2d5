// The GNS-XLS screen: one frame of the page machine.
#pragma once

#include "platform/gfx/device_context.h"
#include "src/display/lifetime.h"

namespace ovi::gnsxls {

// Draws one frame on a width x height surface: the size goes into the
// display object, the surface is cleared to transparent (the black screen
// bitmap shows through) and, while the displays have power, the routine of
// GnsXlsPage draws and acts on the recorded keys; then the one-frame flags
// end and the key a page posted becomes the recorded key. Without power the
// keys wait for the first frame with it. Nothing at all without a device
// context.
void DrawGnsxlsScreen(display::GaugeDisplay& display, gfx::DeviceContext* dc, int width, int height);

}  // namespace ovi::gnsxls
