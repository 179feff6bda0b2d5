// Small hand-made routes for the route-editing tests: every waypoint gets a
// distinct position (south and west of the first, so that tests also run
// west of Greenwich and, where they choose, south of the equator).
#pragma once

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "src/flightplan/state.h"
#include "src/guidance/state.h"
#include "src/host/module_state.h"
#include "src/model/records.h"

namespace ovi::flightplan::test {

using Strings = std::vector<std::string>;

inline State& F() { return flightplan_state; }
inline guidance::State& G() { return guidance::guidance_state; }

// Fills entries 0.. with the idents (latitude base - 0.1 i, longitude
// base_lon - 0.2 i) and returns the last index; the slot after holds the
// end marker.
int MakePlan(model::FlightPlanTable& plan, const Strings& idents, double base_lat = 47.0,
             double base_lon = -122.0);
void MakePending(const Strings& idents);
void MakeActive(const Strings& idents);

Strings Idents(const model::FlightPlanTable& plan, int last);
Strings PendingIdents();
Strings ActiveIdents();

// The route distance guidance's path (FlownPath, kept between ticks) gives
// the last entry of the flown route, against the legs of the route as it is
// now: equal unless a writer of the route left the path behind.
double KeptPathLength();
double FlownRouteLength();

// A route of `last` + 1 entries: KSEA, W1 .., KPDX.
Strings LongRoute(int last);

// Hold k straight into the table, as a loaded route would carry it; the
// count grows to k when it is smaller.
void PutHold(int k, int active, int pending);

// Hold k on pending entry `index` (both plan indices), or on active entry
// `index` of an executed route (pending index 0); the entry shows k.
void PutPendingHold(int k, int index);
void PutActiveHold(int k, int index);

// The hold table as (active index, pending index) pairs, entries 1..count.
std::vector<std::pair<int, int>> HoldIndices();
// Hold numbers of entries 0..last.
std::vector<unsigned> HoldNumbers(const model::FlightPlanTable& plan, int last);

// Empty when the hold table and the hold numbers of both routes agree, else
// what disagrees: every hold stands on one pending waypoint that shows its
// number (a not yet tracked hold on its active index; a detached one, whose
// waypoint a modification removed, on none), a hold of the executed route on
// the active waypoint at its active index, no waypoint of either route shows
// a number no hold stands behind, and the table is in route order. With no
// modification open (RouteState 3) every hold is one of the executed route
// and stands on the same index in both.
std::string HoldBreach();

// Resets the whole module before each test.
class RouteTest : public ::testing::Test {
 protected:
  void SetUp() override;
};

}  // namespace ovi::flightplan::test
