// The CDU frame: one call per pre-draw of either CDU gauge draws the page of
// FmsPage and lets it act on the keys recorded since the last frame.
#pragma once

#include "platform/gfx/device_context.h"
#include "src/display/lifetime.h"

namespace ovi::fms {

// Draws one CDU frame on the device context, whose picture is width x
// height pixels. Without a device context nothing is drawn and the recorded
// keys wait for the next drawn frame. Otherwise the surface is cleared to
// transparent, the PLAN centre is released once no display shows a PLAN
// map, the page of FmsPage draws and acts (a number without a page leaves
// the screen cleared), and ClearFmsKeyFlags ends the frame.
void DrawFmsCdu(display::GaugeDisplay& display, gfx::DeviceContext* dc, int width, int height);

// Drops the keys of the frame: the line-select key when above 0, each of
// PREV, NEXT, LEGS, HOLD and RTE when 1.
void ClearFmsKeyFlags();

}  // namespace ovi::fms
