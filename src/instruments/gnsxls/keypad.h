// What each GNS-XLS key does. Most keys only record (a page number, a
// sub-page, a line key, a one-frame flag, the entry line) for the page drawn
// next; the direct-to key also makes the route's working copy, the HOLD key
// builds the hold at the selected waypoint at once, and ENT (enter_key.h)
// commits at once.
#pragma once

#include <cstdint>

namespace ovi::gnsxls {

void PressNav();
void PressVnav();
void PressFpl();
void PressPlan();
void PressHold();
// Line key 1..10 (1..5 left, 6..10 right, top down).
void PressLineKey(std::int32_t key);
void PressPrevPage();
void PressNextPage();
void PressDirect();
void PressClear();
// A..Z, '*', 0..9 and '#': one character into the entry line while it is
// open.
void TypeCharacter(char c);

}  // namespace ovi::gnsxls
