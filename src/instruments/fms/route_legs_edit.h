// Edits of PendingFlightPlan on behalf of the CDU pages, on the route
// editing helpers of flight planning (entries move with their holds and
// tracked indices). A row is an index into PendingFlightPlan.
#pragma once

namespace ovi::fms {

// Takes the leg at `row` out of the pending plan. The hold attached there
// goes first. With remove_outright 0 a middle leg (row 2 up to last - 2)
// becomes a "DISCO" in place; the first two and last two rows, and any row
// with remove_outright 1, are removed. A plan of two entries or fewer loses
// nothing, and neither does a row outside 1..last (the origin, row 0, is
// never deleted). The message line is cleared; an executed route (state 3)
// becomes a modification (4), except when the row was outside the plan.
void DeleteRouteLegEntry(int row, int remove_outright);

}  // namespace ovi::fms
