// Hold-table upkeep that the route edits share with the hold operations.
#pragma once

#include "src/flightplan/holds.h"

namespace ovi::flightplan {

// Holds standing on pending entries first..last (a hold not tracked yet
// stands on its active index) lose their waypoint in the pending route:
// detached (pending index kDetachedHold) until EXEC drops them or ERASE
// brings back those of the executed route.
void DetachPendingHolds(int first, int last);

// Holds whose active-plan index lies in first..last leave the table.
void RemoveActiveHolds(int first, int last);

// Every hold leaves the table (a new active route).
void ClearHolds();

}  // namespace ovi::flightplan
