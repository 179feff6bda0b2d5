// The EFS 50 control panel: EFS50_EHSI_CNTR and EFS50_EHSI_CNTR_LM (the
// same panel with the host's luminous flag). Its keys set the EFS 50 EHSI's
// and TCAS display's modes, ranges and bearing-pointer sources at once, and
// send the course, decision-height and heading knobs' key events.
#pragma once

#include <cstdint>

#include "platform/panel/panel.h"

namespace ovi::efs {

inline constexpr std::uint32_t kEfs50PanelBitmap = 9778;  // 500 x 169
inline constexpr std::uint32_t kEventHeadingSelectUp = 0x10157;
inline constexpr std::uint32_t kEventHeadingSelectDown = 0x10158;

extern GAUGEHDR efs50_ehsi_cntr_gauge;
extern GAUGEHDR efs50_ehsi_cntr_lm_gauge;
void efs50_ehsi_cntr_callback(GAUGEHDR* gauge, std::int32_t service, std::uint32_t extra);
void efs50_ehsi_cntr_lm_callback(GAUGEHDR* gauge, std::int32_t service, std::uint32_t extra);

// The keys (host mouse handlers; each returns 0).
std::int32_t Efs50CourseDecKey(PIXPOINT* relative, std::uint32_t flags);
std::int32_t Efs50CourseIncKey(PIXPOINT* relative, std::uint32_t flags);
std::int32_t Efs50DhIncKey(PIXPOINT* relative, std::uint32_t flags);
std::int32_t Efs50DhDecKey(PIXPOINT* relative, std::uint32_t flags);
// 1 -> 2 -> 3 -> 1; any other mode gives 1.
std::int32_t Efs50HsiKey(PIXPOINT* relative, std::uint32_t flags);
// 4 -> 5 -> 6 -> 7 -> 4; any other mode gives 4.
std::int32_t Efs50ArcKey(PIXPOINT* relative, std::uint32_t flags);
// Navigation source 1 <-> 2 (anything but 1 gives 1).
std::int32_t Efs50NavKey(PIXPOINT* relative, std::uint32_t flags);
// One rung of the TCAS range in mode 8, else of the EHSI range; exact
// comparison, the far end of the ladder past either end and off it.
std::int32_t Efs50RangeUpKey(PIXPOINT* relative, std::uint32_t flags);
std::int32_t Efs50RangeDownKey(PIXPOINT* relative, std::uint32_t flags);
// Source 0 (off) -> 1 -> 2 -> 3 -> 0: below 3 one up, anything else off.
std::int32_t Efs50Pointer1Key(PIXPOINT* relative, std::uint32_t flags);
std::int32_t Efs50Pointer2Key(PIXPOINT* relative, std::uint32_t flags);
std::int32_t Efs50TcasKey(PIXPOINT* relative, std::uint32_t flags);
// The LNAV toggle the SERVER's key event uses; the MCU's LNAV key too.
std::int32_t Efs50LnavKey(PIXPOINT* relative, std::uint32_t flags);
std::int32_t Efs50BdryKey(PIXPOINT* relative, std::uint32_t flags);
std::int32_t Efs50HeadingDecKey(PIXPOINT* relative, std::uint32_t flags);
std::int32_t Efs50HeadingIncKey(PIXPOINT* relative, std::uint32_t flags);

}  // namespace ovi::efs
