// The BDRY button: one picture and one rectangle that switches the ATC
// boundary layer of every map display on and off.
#pragma once

#include <cstdint>

#include "platform/panel/panel.h"

namespace ovi::display {

extern GAUGEHDR bdry_gauge;

// Ignores every service: the button shows only its bitmap.
void bdry_callback(GAUGEHDR* gauge, std::int32_t service, std::uint32_t extra);

// The button's click: ToggleBoundaryDisplay, then 0.
std::int32_t BdryClick(PIXPOINT* relative, std::uint32_t flags);

// ShowAtcBoundaries: 1 when it was 0, else 0 (the layer of every map display).
void ToggleBoundaryDisplay();

}  // namespace ovi::display
