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

// --- B737 EFIS control panel ------------------------------------------------
inline constexpr std::uint32_t kB737EfisPanelBitmap = 9840;  // 313 x 212
inline constexpr std::uint32_t kB737EfisPanelBrBitmap = 9841;

extern GAUGEHDR hw_b737_efis_cntr_gauge;
extern GAUGEHDR hw_b737_efis_cntr_br_gauge;
void hw_b737_ehsi_cntr_callback(GAUGEHDR* gauge, std::int32_t service, std::uint32_t extra);
void hw_b737_ehsi_cntr_br_callback(GAUGEHDR* gauge, std::int32_t service, std::uint32_t extra);

// --- MD-11 navigation display ------------------------------------------------
inline constexpr std::uint32_t kMd11NdWindow = 4014;
inline constexpr std::uint32_t kMd11NdScreenBitmap = 9986;  // 246 x 241
inline constexpr std::uint32_t kMd11NdBezelBitmap = 9988;   // 291 x 319

extern GAUGEHDR hw_md11_nd_gauge;
extern GAUGEHDR hw_md11_nd_nb_gauge;
void hw_md11_nd_callback(GAUGEHDR* gauge, std::int32_t service, std::uint32_t extra);
void hw_md11_nd_nb_callback(GAUGEHDR* gauge, std::int32_t service, std::uint32_t extra);

// --- MD-11 and A300 EFIS control panels ---------------------------------------
inline constexpr std::uint32_t kMd11EfisPanelBitmap = 10006;  // 311 x 182
inline constexpr std::uint32_t kA300EfisPanelBitmap = 10016;  // 373 x 312
// The A300 panel's pictures chained under its background: 1-4 the range
// knob (15 and below, 30, 120, 240), 5-7 the mode knob (0, 1, 2), 8-11 the
// lit WPT, VOR.D, NDB and ARPT keys, 12 the lit TCAS key.
inline constexpr int kA300Pictures = 12;

extern GAUGEHDR md11_efis_ctrl_gauge;
extern GAUGEHDR a300_efis_ctrl_gauge;
void md11_efis_cntr_callback(GAUGEHDR* gauge, std::int32_t service, std::uint32_t extra);
void a300_ehsi_ctrl_callback(GAUGEHDR* gauge, std::int32_t service, std::uint32_t extra);

// Click handlers (position and flags ignored; each returns 0). The mode keys
// set the map radius with the mode (MAP 150, PLAN 94; VOR and APPR keep
// it); the first two pointer keys never leave both left pointers on.
std::int32_t Md11SpareKey(PIXPOINT* relative, std::uint32_t flags);
std::int32_t SelectMd11NdMapMode(PIXPOINT* relative, std::uint32_t flags);
std::int32_t SelectMd11NdPlanMode(PIXPOINT* relative, std::uint32_t flags);
std::int32_t SelectMd11NdVorMode(PIXPOINT* relative, std::uint32_t flags);
std::int32_t SelectMd11NdApprMode(PIXPOINT* relative, std::uint32_t flags);
std::int32_t ToggleMd11NdVor1Pointer(PIXPOINT* relative, std::uint32_t flags);
std::int32_t ToggleMd11NdAdf1Pointer(PIXPOINT* relative, std::uint32_t flags);
std::int32_t ToggleMd11NdVor2Pointer(PIXPOINT* relative, std::uint32_t flags);
std::int32_t ToggleDu1000ShowAux(PIXPOINT* relative, std::uint32_t flags);

// Whether A300 picture n (1..12) shows for the current state; and all
// twelve shown or hidden under the panel's background.
bool A300PictureShown(int picture);
void ShowA300Pictures(ELEMENT_HEADER* background);

}  // namespace ovi::nd
