// The MCU gauges: MCU and MCU_LM (lit bezel). Both show the one MCU: one
// page state, one display object, one set of keys. MCU_LM has its own bezel
// and screen and shows MCU's two annunciators (its screen links to MCU's
// annunciator elements), so one lamp's flag lights it in both.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/panel/panel.h"

namespace ovi::mcu {

extern GAUGEHDR mcu_gauge;
extern GAUGEHDR mcu_lm_gauge;

// Element numbers along the gauge's chain (0 = the bezel).
constexpr int kScreenElement = 1;
constexpr int kLnavLampElement = 2;
constexpr int kHoldLampElement = 3;
constexpr std::uint32_t kBezelBitmap = 9735;
constexpr std::uint32_t kScreenBitmap = 9745;
constexpr std::uint32_t kLampBitmap = 9782;
// The panel window the screen area opens and closes.
constexpr std::uint32_t kMcuWindow = 4001;

constexpr std::size_t kKeyRectangles = 18;

}  // namespace ovi::mcu
