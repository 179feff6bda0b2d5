// Tuning the simulator's radios from the route (the next VOR or NDB ahead
// and the course of the leg to it) or to the ILS of the runway selected on
// the MCU airport page.
#pragma once

#include <cstdint>
#include <string_view>

namespace ovi::guidance {

constexpr std::uint32_t kEventNavFrequency = 0x100AC;  // BCD of the frequency digits
constexpr std::uint32_t kEventAdfFrequency = 0x100B2;  // BCD of the kilohertz
constexpr std::uint32_t kEventVorCourse = 0x100B4;     // whole degrees

// A navaid is tuned only within this distance of the aircraft, inclusive.
constexpr double kTuningRange = 230.0;

constexpr std::int32_t kTuneRunwayIls = 1;
constexpr std::int32_t kTuneRoute = 2;

// Mode 1: the selected runway's ILS frequency and heading. Mode 2: the first
// waypoint with a frequency from the active one on, within 230 NM, and the
// course of the leg that ends there; beyond it, only the course of the
// active leg when it starts at a navaid. Other modes do nothing.
void TuneEnRouteNavaids(std::int32_t mode);

// The digits of a navigation frequency text ("113.70" -> 11370): the
// fourth character is taken for the decimal point. 0 when the text gives
// no number.
std::int32_t NavFrequencyDigits(std::string_view text);

}  // namespace ovi::guidance
