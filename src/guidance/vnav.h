// VNAV: the vertical half of the per-tick update. It commands the
// autopilot's altitude, vertical speed, airspeed and Mach through key
// events, passes the top of climb and the top of descent, and tells the
// module's own changes of the autopilot settings from the pilot's.
#pragma once

#include <cstdint>

#include "src/guidance/autopilot_commands.h"

namespace ovi::guidance {

// Key events VNAV sends.
constexpr std::uint32_t kEventAltitude = 66124;       // feet
constexpr std::uint32_t kEventVerticalSpeed = 66036;  // ft/min, whole hundreds, negative down
constexpr std::uint32_t kEventAirspeed = 66037;       // knots
constexpr std::uint32_t kEventMach = 66038;           // Mach x 100
constexpr std::uint32_t kEventAirspeedHoldOff = 66094;
constexpr std::uint32_t kEventMachHoldOn = 65915;
constexpr std::uint32_t kEventMachHoldOff = 66110;
constexpr std::uint32_t kEventAirspeedHoldOn = 65891;
constexpr std::uint32_t kEventSpeedOff = 65859;
constexpr std::uint32_t kEventSimRateDown = 65790;
constexpr std::uint32_t kEventPause = 65561;

// The steps of the per-tick update, in their order there:
// deferred commands and the read-backs of the last commands (every pass);
void RunDeferredCommandsAndReadbacks();
// the top-of-descent one-shots (every pass after the top of descent);
void RunTopOfDescentActions();
// the next constraint, when the active waypoint is within its switch
// distance with LNAV engaged (called from the waypoint passage): not again
// while a hold keeps its fix active, and a constraint VNAV flies to is held
// until the aircraft is abeam it;
void SelectNextConstraint();
// VNAV engaged: a constraint LNAV passed while it was off (the next one is
// chosen only as LNAV sequences) is no target, unless held until the
// aircraft is abeam it; the next one ahead is chosen instead.
void DropTargetBehind();
// the top of climb and the top of descent (every pass with a cruise
// altitude), a hold entered or left, a constraint held past its sequencing.
// The vertical profile passes the top of descent by the distance to go as
// well; `tod_passed_by_profile` says it did so since this step last ran,
// and the descent then starts here as if this step had found it.
void RunVerticalTransitions(bool tod_passed_by_profile = false);
// altitude and vertical speed;
void CoupleVnavToAutopilot();
// The climb's command (ft/min) for a path rate before its limits: the one
// last sent while the rate stays within its band, else the rate in whole
// hundreds.
std::int32_t ClimbCommandFor(double rate);
// the restriction checks, then CoupleSpeedToAutopilot;
void RunSpeedRestrictionChecks();
// airspeed and Mach (also at sequencing and at the top of descent);
void CoupleSpeedToAutopilot();
// VNAV turned off as the last waypoint became active: the speed the
// autopilot, alone, descends or flies level on.
void LeaveRestrictionSpeedOnHandOver();
// the autopilot master watch at the very end of a pass.
void WatchAutopilotMaster();

}  // namespace ovi::guidance
