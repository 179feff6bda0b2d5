// The LNAV and VNAV engage buttons: two push buttons whose annunciator is
// lit while the mode is engaged, and the two toggles that their clicks, the
// SERVER's custom key events and its command variables all end in.
#pragma once

#include <cstdint>

#include "platform/panel/panel.h"

namespace ovi::guidance {

// Engages LNAV when it is off and a waypoint is active (the first leg then
// starts at the aircraft), disengages it (abandoning a hold) when it is on;
// then publishes LnavEngaged in `ovi_lnav` and asks the MCU and the P1000 to
// repaint.
void ToggleLnav();
// Engages VNAV when it is off and a waypoint is active (every target is
// commanded afresh and speed control is re-armed), disengages it when on;
// then publishes VnavEngaged in `ovi_vnav`.
void ToggleVnav();

extern GAUGEHDR lnav_gauge;
extern GAUGEHDR vnav_gauge;
void lnav_callback(GAUGEHDR* gauge, std::int32_t service, std::uint32_t extra);
void vnav_callback(GAUGEHDR* gauge, std::int32_t service, std::uint32_t extra);
// The buttons' clicks: the toggle, then 0.
std::int32_t LnavButtonClick(PIXPOINT* relative, std::uint32_t flags);
std::int32_t VnavButtonClick(PIXPOINT* relative, std::uint32_t flags);

// Annunciator bitmaps (resources/<id>.png) and the buttons' size.
constexpr std::uint32_t kLnavLitBitmap = 10090;
constexpr std::uint32_t kVnavLitBitmap = 10092;
constexpr PIXSIZE kEngageButtonSize = {64, 48};

}  // namespace ovi::guidance
