// The draw entries of the EFS 50's instruments, as the display gauges call
// them (src/instruments/efs/display_gauges.h): the display's record (the
// element's pixel size is copied in), the element's device context, the
// element image's size (null: the device context's own) and the display
// variant (2 clears the surface only). Nothing is drawn without a device
// context.
#pragma once

#include "platform/gfx/device_context.h"
#include "platform/panel/panel.h"
#include "src/display/lifetime.h"

namespace ovi::efs {

// The EHSI in its eight modes (EFS50HsiMode); variant 3 leaves the ATC
// boundaries off its maps.
void DrawEfs50Ehsi(display::GaugeDisplay& display, gfx::DeviceContext* dc, const PIXSIZE* size, int variant);
// The traffic display (EFS50_TCAS).
void DrawEfs50TcasScreen(display::GaugeDisplay& display, gfx::DeviceContext* dc, const PIXSIZE* size, int variant);

}  // namespace ovi::efs
