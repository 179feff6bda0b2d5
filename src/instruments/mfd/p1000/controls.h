// The P1000 MFD's keys: the bezel (and key strip) soft keys, SET knob and
// range knob, the controller's MAP/PLAN, TCAS, RNG rocker, APT and VOR, and
// the soft-key menu's heartbeat. Keys only change state; the display shows
// the change at its next frame, most of them on a full repaint.
#pragma once

#include <cstdint>

#include "platform/panel/panel.h"

namespace ovi::p1000 {

// Soft keys 1 to 5 of the bezel; the key strip's third key toggles the
// intersections of every display family.
std::int32_t P1000SoftKey1(PIXPOINT* relative, std::uint32_t flags);
std::int32_t P1000SoftKey2(PIXPOINT* relative, std::uint32_t flags);
std::int32_t P1000SoftKey3(PIXPOINT* relative, std::uint32_t flags);
std::int32_t P1000NbSoftKey3(PIXPOINT* relative, std::uint32_t flags);
std::int32_t P1000SoftKey4(PIXPOINT* relative, std::uint32_t flags);
std::int32_t P1000SoftKey5(PIXPOINT* relative, std::uint32_t flags);

// The SET knob steps the VNAV page's selected field while the menu's page
// is the VNAV page, whether the menu is open or not.
std::int32_t P1000SetKnobIncKey(PIXPOINT* relative, std::uint32_t flags);
std::int32_t P1000SetKnobDecKey(PIXPOINT* relative, std::uint32_t flags);
// The range knob's right half: every family's range up (the P1000's only
// while the menu is closed). Its left half is DecrementNdRange.
std::int32_t P1000RangeUpKnobKey(PIXPOINT* relative, std::uint32_t flags);

// The controller's keys; they act whether the menu is open or not.
std::int32_t P1000MapPlanKey(PIXPOINT* relative, std::uint32_t flags);
std::int32_t P1000TcasKey(PIXPOINT* relative, std::uint32_t flags);
std::int32_t P1000RangeIncKey(PIXPOINT* relative, std::uint32_t flags);
std::int32_t P1000RangeDecKey(PIXPOINT* relative, std::uint32_t flags);
std::int32_t P1000AptKey(PIXPOINT* relative, std::uint32_t flags);
std::int32_t P1000VorKey(PIXPOINT* relative, std::uint32_t flags);

// The VNAV page's vertical speed: from the target altitude over the
// distance when both are set, else from the path angle FPA, at the true
// airspeed of DescentSpeed at 15000 ft.
void ComputeP1000VnavVerticalSpeed();

// One frame of the controller: opens the menu (forcing a full repaint) or
// keeps it open by counting its heartbeat.
void P1000MenuHeartbeat();

}  // namespace ovi::p1000
