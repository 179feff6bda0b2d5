// The EHSI control panels: PROLINE4_MFD_CTRL (the Pro Line 4's concentric
// mode and range knobs, traffic key and bearing-pointer source keys),
// PROLINE4_AUX_CTRL (its six map-layer keys with a lamp above each) and
// MD80_EHSI_CTRL (the MD-80's mode and range knobs, ADF key and five layer
// keys with lamps). A key only changes shared state, mostly through the
// display commands every family shares; the displays show it at their next
// frame, the lamps at the panel's next pre-update.
#pragma once

#include <cstdint>

#include "platform/panel/panel.h"

namespace ovi::ehsi {

inline constexpr std::uint32_t kProline4CtrlBitmap = 10068;  // 311 x 97
inline constexpr std::uint32_t kProline4AuxBitmap = 10066;   // 313 x 93
inline constexpr std::uint32_t kMd80CtrlBitmap = 10080;      // 392 x 214
inline constexpr std::uint32_t kLampBitmap = 10082;          // 25 x 10
inline constexpr std::uint32_t kKnobCapBitmap = 10088;       // 36 x 36

extern GAUGEHDR proline4_mfd_ctrl_gauge;
extern GAUGEHDR proline4_aux_ctrl_gauge;
extern GAUGEHDR md80_ehsi_ctrl_gauge;

void proline4_mfd_cntr_callback(GAUGEHDR* gauge, std::int32_t service, std::uint32_t extra);
void proline4_mfd_displ_callback(GAUGEHDR* gauge, std::int32_t service, std::uint32_t extra);
void md80_ehsi_ctrl_callback(GAUGEHDR* gauge, std::int32_t service, std::uint32_t extra);

// One step of a bearing-pointer source: 0 off -> 1 VOR -> 2 ADF -> 3 FMS ->
// 0; a value outside 0..3 stays.
void StepBearingPointerSource(std::int32_t& source);

}  // namespace ovi::ehsi
