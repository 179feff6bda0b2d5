// The map test card: every map symbol by code, style and trend, and each
// shared overlay on a map of its own, for eyes.
#pragma once

#include "platform/gfx/device_context.h"

namespace ovi::mapcard {

inline constexpr int kMapCardWidth = 1600;
inline constexpr int kMapCardHeight = 1120;

// Draws the card (best at kMapCardWidth x kMapCardHeight). Uses and then
// resets the module state.
void DrawMapCard(gfx::DeviceContext& dc);

}  // namespace ovi::mapcard
