// What each MCU key does. A key sets the MCU's globals (page, events,
// cursors, texts) and asks for a repaint; the page routine that the next
// frame calls does the rest. KBD, APT's runway-data request and UP/DOWN on
// the status page act at once.
#pragma once

#include <cstdint>

namespace ovi::mcu {

void McuStatusKey();
void McuFplnKey();
void McuDirectToKey();
void McuHoldKey();
void McuCrossingKey();
void McuLegsKey();
void McuUpKey();
void McuDownKey();
void McuAltitudeKey();
void McuAirportKey();
void McuKeyboardKey();
// One of the rocker's four keys (1 up, 2 down, 3 left, 4 right).
void McuLineSelect(std::int32_t key);
void McuEnterKey();

// The screen area: opens or closes the MCU's pop-up window (4001) and asks
// for a repaint, so the window opened shows the page at once; the host's
// answer.
std::int32_t McuScreenArea();

// The acts of their own behind the keys above, each one routine.
// UP / DOWN on the status page: the previous or next waypoint becomes the
// active one, wrapping at the ends of the route.
void StepActiveWaypoint(int delta);
// The active waypoint's position and, for a leg from the engage position,
// that leg's start and course, after its index changed.
void SetUpActiveWaypoint();
// KBD: keyboard entry on, or off with the typed text dropped.
void ToggleKeyboardEntry();
// APT: the AI traffic's runways at the airport shown, when the
// configuration asks for them.
void RequestAirportRunways();

}  // namespace ovi::mcu
