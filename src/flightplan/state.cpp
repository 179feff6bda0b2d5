#include "src/flightplan/state.h"

#include "src/flightplan/plan_ops.h"
#include "src/navdb/airways.h"

namespace ovi::flightplan {

State flightplan_state;

namespace {

// The airway edits of the navigation database move route entries; the holds
// and the tracked waypoint indices follow them like every other edit's. The
// active waypoint the airway edit moves itself.
void TrackAirwayMove(bool pending_plan, int new_index, int old_index) {
  EntryMoved(pending_plan ? PendingPlan() : ActivePlan(), new_index, old_index);
}

// Installed as soon as the route tables exist: nothing can edit a route
// earlier.
[[maybe_unused]] const bool kAirwayMovesTracked = (navdb::SetRouteEntryMovedHook(&TrackAirwayMove), true);

}  // namespace

}  // namespace ovi::flightplan
