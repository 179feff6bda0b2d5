// The simulator's UTC date as the FMS position page and the GNS-XLS fuel
// pages show it.
#pragma once

#include <cstdint>

namespace ovi::guidance {

// Day of the year (1 = 1 January) to SimulatorMonthName ("JAN".."DEC"),
// SimulatorMonth (1..12) and SimulatorDayOfMonth, in the simulator's UTC
// year (Gregorian leap years). A day outside that year changes nothing.
void FormatSimulatorDate(std::int32_t day_of_year);

// Gregorian rule: every fourth year, but not centuries unless divisible by 400.
bool IsLeapYear(int year);

}  // namespace ovi::guidance
