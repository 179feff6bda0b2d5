// The CDU gauges: SMITHS_FMS (grey keypad) and SMITHS_FMS_BR (tan keypad).
// They differ only in their name and keypad picture; one keypad, one screen
// state and one callback routine serve both.
#pragma once

#include "platform/panel/panel.h"

namespace ovi::fms {

extern GAUGEHDR smiths_fms_gauge;
extern GAUGEHDR smiths_fms_br_gauge;

// Element numbers along the gauge's chain (0 = the keypad picture).
constexpr int kScreenElement = 1;
constexpr int kExecLampElement = 2;
constexpr int kMessageLampElement = 3;

}  // namespace ovi::fms
