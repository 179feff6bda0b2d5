// What ENT's departure share (enter_procedures.cpp) and its arrival and
// approach share (enter_arrival.cpp) hand each other: the openings from
// page 1, the returns from DATABASE WPT, and the airport typed on a
// procedure page.
#pragma once

#include <cstdint>
#include <string>

namespace ovi::gnsxls {

// The airport typed on page 10, 11 or 12 (line 6 state 1): found, it is
// shown on DATABASE WPT for confirmation; not found, the page says so. True
// when it was found.
bool TakeAirportEntry(std::int32_t page);

// Page 1's ARRIVE? and APPROACH?: the page opened at its first missing item.
void OpenArrival();
void OpenApproach();
// DATABASE WPT confirmed the airport typed on ARRIVAL or APCH.
void ReturnToArrival();
void ReturnToApproach();

// A choice confirmed for a route the view does not have (EditedRouteOpen:
// the plan list, or a plan another unit's EXEC or ERASE closed) is refused:
// nothing is spliced or recorded, the choice goes, and page 1 shows what
// there is (the plan list). True when refused.
bool RefusedWithoutRoute();

// Procedure set `which` (1 origin, 2 destination) loaded for `airport`
// unless it holds that airport already; nothing for none.
void LoadProcedureSetFor(const std::string& airport, int which);

}  // namespace ovi::gnsxls
