// The B737 EFIS control panel's behaviour: its click handlers and the knob
// pictures it shows for the display family's mode and range.
#pragma once

#include <cstdint>

#include "platform/panel/panel.h"

namespace ovi::nd {

// Knob images: eleven icons chained under the panel's background, element
// 1 to 6 the mode knob at modes 1 to 6, 7 to 11 the range knob at 10, 40,
// 80, 160 and 320 NM.
inline constexpr int kModeKnobImages = 6;
inline constexpr int kRangeKnobImages = 5;
inline constexpr int kKnobImages = kModeKnobImages + kRangeKnobImages;

// Which rule shows the 10 NM range picture: exactly at 10 NM, or at 10 NM
// and every shorter range (the _BR panel).
enum class TenMileKnob { kExactly, kAndBelow };

// Shows the knob images of the current mode and range, hides the others.
void ShowKnobImages(ELEMENT_HEADER* background, TenMileKnob rule);

// The "ON" labels above the navaids, airports and intersections keys: shown
// with the text "ON" while the family's switch is 1, hidden otherwise. Each
// returns the element's value unchanged (truncated to an integer).
double UpdateNavaidsOnLabel(ELEMENT_HEADER* element);
double UpdateAirportsOnLabel(ELEMENT_HEADER* element);
double UpdateIntersectionsOnLabel(ELEMENT_HEADER* element);

// Click handlers (position and flags ignored; each returns 0).
std::int32_t DecrementB737NdModeKey(PIXPOINT* relative, std::uint32_t flags);
std::int32_t IncrementB737NdModeKey(PIXPOINT* relative, std::uint32_t flags);
std::int32_t ToggleNdIntersectionsKey(PIXPOINT* relative, std::uint32_t flags);
std::int32_t ToggleEfisAuxFlagKey(PIXPOINT* relative, std::uint32_t flags);
std::int32_t ToggleNdRangeRings(PIXPOINT* relative, std::uint32_t flags);
// A handler that calls one display command of the host's.
template <void (*Command)()>
std::int32_t CommandKey(PIXPOINT* /*relative*/, std::uint32_t /*flags*/) {
  Command();
  return 0;
}

}  // namespace ovi::nd
