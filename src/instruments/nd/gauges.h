// The gauges of the navigation displays and their control panels, with the
// mouse handlers their rectangles name.
#pragma once

#include <cstdint>

#include "platform/panel/panel.h"

namespace ovi::nd {

// --- B737 navigation display ------------------------------------------------
inline constexpr std::uint32_t kB737NdWindow = 4011;
inline constexpr std::uint32_t kB737NdScreenBitmap = 9830;  // 247 x 294
inline constexpr std::uint32_t kB737NdBezelBitmap = 9832;   // 281 x 337
inline constexpr std::uint32_t kB737NdBezelBrBitmap = 9833;

extern GAUGEHDR hw_b737_nd_gauge;
extern GAUGEHDR hw_b737_nd_br_gauge;
extern GAUGEHDR hw_b737_nd_nb_gauge;
void hw_b737_ehsi_callback(GAUGEHDR* gauge, std::int32_t service, std::uint32_t extra);
void hw_b737_ehsi_br_callback(GAUGEHDR* gauge, std::int32_t service, std::uint32_t extra);
void hw_b737_ehsi_nb_callback(GAUGEHDR* gauge, std::int32_t service, std::uint32_t extra);

// Opens or closes the display's pop-up window; the host's result.
std::int32_t ToggleB737NdWindow(PIXPOINT* relative, std::uint32_t flags);

// --- B737 EFIS control panel ------------------------------------------------
inline constexpr std::uint32_t kB737EfisPanelBitmap = 9840;  // 313 x 212
inline constexpr std::uint32_t kB737EfisPanelBrBitmap = 9841;

extern GAUGEHDR hw_b737_efis_cntr_gauge;
extern GAUGEHDR hw_b737_efis_cntr_br_gauge;
void hw_b737_ehsi_cntr_callback(GAUGEHDR* gauge, std::int32_t service, std::uint32_t extra);
void hw_b737_ehsi_cntr_br_callback(GAUGEHDR* gauge, std::int32_t service, std::uint32_t extra);

}  // namespace ovi::nd
