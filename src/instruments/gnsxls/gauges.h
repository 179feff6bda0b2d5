// The GNS-XLS gauges: GNSXLS and GNSXLS_LM (lit bezel). Both show the one
// navigator: one page state, one display object, one keypad; GNSXLS has one
// rectangle more, over its screen, that opens and closes panel window 4004.
#pragma once

#include <cstddef>

#include "platform/panel/panel.h"

namespace ovi::gnsxls {

extern GAUGEHDR gnsxls_gauge;
extern GAUGEHDR gnsxls_lm_gauge;

// Element numbers along the gauge's chain (0 = the bezel picture).
constexpr int kScreenElement = 1;
constexpr std::uint32_t kBezelBitmap = 9752;
constexpr std::uint32_t kScreenBitmap = 9751;
constexpr std::uint32_t kGnsxlsWindow = 4004;

// Key rectangles of GNSXLS_LM, and of GNSXLS without its window rectangle.
constexpr std::size_t kKeyRectangles = 58;

}  // namespace ovi::gnsxls
