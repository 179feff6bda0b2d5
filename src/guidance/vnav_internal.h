// VNAV's own helpers, shared by its files: vnav.cpp (the targets and the
// transitions between climb, cruise, descent and holds), vnav_rates.cpp
// (the vertical speed toward the target) and vnav_speed.cpp (airspeed and
// Mach).
#pragma once

#include <cstdint>

#include "src/flightplan/state.h"
#include "src/guidance/state.h"
#include "src/model/records.h"
#include "src/model/state.h"

namespace ovi::guidance::vnav_internal {

inline State& G() { return guidance_state; }
inline model::State& M() { return model::model_state; }
inline flightplan::State& Fp() { return flightplan::flightplan_state; }

std::int32_t CurrentTick();
// Truncation of a finite value into 32 bits; anything else is 0.
std::int32_t Whole(double v);
void Send(std::uint32_t event, std::int32_t value);
// The speed the speed logic asks for, within the restrictions in force.
void SendSpeed(double knots);
void SendMach(double mach);

// The active entry of the active route, entry i, or null.
model::FlightPlanWaypoint* ActiveEntry();
model::FlightPlanWaypoint* Entry(int i);
// A constraint VNAV flies to (model::IsConstraint).
bool Constrained(const model::FlightPlanWaypoint* w);
// Entry `index` made VNAV's target.
void TargetEntry(int index);
// The destination runway's crossing height added to the target at the end.
void AddRunwayCrossingHeight();
// Whether the aircraft has come abeam route entry i along the path LNAV
// flies (or the path cannot tell).
bool Reached(int i);
// Great-circle distance from the aircraft to a route entry; 0 without one.
double DistanceTo(const model::FlightPlanWaypoint* w);

// Within the descent restriction's speed (vnav_speed.cpp).
bool WithinDescentRestriction();
// The steepest descent (ft/min) that reaches the restriction's altitude no
// sooner than the aircraft slows to its speed; HUGE_VAL where nothing is
// to slow for (vnav_speed.cpp).
double RestrictionSlowingRate();
// In a hold, its level reached: nothing more is sent (vnav.cpp).
bool HoldLevelReached();
// In the climb, the altitude shown at a hold's fix ahead, which VNAV climbs
// no higher than before the hold; HUGE_VAL where there is none (vnav.cpp).
double ClimbLevelBeforeHold();
// In the descent, the altitude shown at a hold's fix ahead, which VNAV
// descends no lower than before the hold; -HUGE_VAL where there is none
// (vnav.cpp).
double DescentLevelBeforeHold();

}  // namespace ovi::guidance::vnav_internal
