// The test card: one picture that uses every operation of the drawing layer.
#pragma once

#include "platform/gfx/device_context.h"

namespace ovi::gfx {

inline constexpr int kTestCardWidth = 640;
inline constexpr int kTestCardHeight = 480;

// Draws the card into `dc` (best at kTestCardWidth x kTestCardHeight).
void DrawTestCard(DeviceContext& dc);

}  // namespace ovi::gfx
