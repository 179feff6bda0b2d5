// The vertical plan of the active route: the cruise altitude, the top of
// climb and the top of descent, the predicted altitude and speed at every
// unconstrained waypoint, and the profile distances and path altitude the
// VNAV coupling, pages and maps read. The cruise level in force is chosen
// in cruise_level.cpp (ComputeCruiseAltitude, PlannedCruiseAltitude); the
// TOC, the TOD and the profile distances are worked out in
// vertical_plan.cpp, with the climb model (climb_model.h) and the
// predictions (profile_predictions.h). docs/vertical-plan.md gives the
// rules.
#pragma once

#include <cstdint>

#include "src/guidance/flown_path.h"
#include "src/model/records.h"

namespace ovi::guidance {

// Feet above the destination airport VNAV crosses its runway at.
constexpr double kRunwayCrossingHeight = 200.0;

// Chooses the cruise altitude (the requested one when not 0, else the
// performance ceiling, else a climb of half the route levelled to the
// direction of flight), lowered to the highest level the route ahead has
// room for from the aircraft's altitude (CruiseAltitudeLimit), places the
// TOC and the TOD and fills CruiseAlt when it is 0; an entered CruiseAlt
// stays as it is. In cruise a level above the aircraft starts a new climb
// (a step climb: TocPassed 0, the TOC ahead of the aircraft). Mode 1 also
// writes the predicted altitude and speed into every waypoint of
// ActiveFlightPlan whose constraint flag is not 1 (and gives an airport at
// either end of the route without an altitude its elevation, and a last
// waypoint without one the lowest altitude the route knows); any other
// mode starts a new plan (TocPassed, TodPassed 0, the profile valid).
void ComputeCruiseAltitude(std::int32_t requested_altitude, std::int32_t mode);

// Moves the TOC onto the first constrained waypoint ahead (from the active
// waypoint + offset) below the cruise altitude, or re-projects it from the
// aircraft. Result: that waypoint's index, the index of the waypoint after
// the projected TOC, or 0. Nothing without an active waypoint.
std::int32_t ComputeTopOfClimb(std::int32_t offset);

// In the climb, places the TOC VNAV climbs to again from the aircraft
// where the wind the aircraft meets is no longer the one it was placed in
// (or it was placed without the climb model since), and after a re-plan
// of the route in flight while the aircraft turns onto its way to the
// active waypoint, with performance tables (the climb without them is
// worked out in still air).
void KeepTopOfClimbInTheWind();

// As LNAV sequences route entry `constraint`, a constraint of the climb
// below the level that VNAV still flies to, places the TOC beyond it again
// from the aircraft: the climb from the gate to it and on was worked out
// far from where it is flown. Nothing where the TOC is not beyond it (on
// its own waypoint, or beyond a later constraint of the climb).
void KeepTopOfClimbBeyond(int constraint);

// Re-places the TOD for the current plan (mode 0) or re-plans the descent
// from the altitude of route entry `from` (the active waypoint when -1; a
// constraint passed but not yet reached otherwise), no higher than the
// plan's level (mode 1, which also turns the CDU's climb page, and its
// descent page while the profile is not valid, to the cruise page).
// Nothing without an active waypoint. Mode 0 lays the descent's slope
// (PlanDescentSlope); mode 1 keeps the slope laid.
void ComputeTopOfDescent(std::int32_t mode, std::int32_t from = -1);

// Before the descent, places the TOD again (ComputeTopOfDescent mode 0)
// where the path's corners, flown again in other air, have moved the way
// from it to the bottom of its descent by more than 5 NM.
void KeepTopOfDescentOnThePath();

// The profile distances, TodPassed and VnavPathAltitude from the aircraft's
// position along the active route.
void UpdateVerticalProfile();

// Whether the active route has been edited since an executed route's plan
// was last worked out (a direct-to, an
// edit that goes around EXEC): its TOC, TOD and predictions stand on a route that is
// gone.
bool RouteMovedSincePlan();

// Where the descent's path ends: the plan's altitude at the next
// constraint. At the destination airport that is its elevation, which the
// plan descends to and the TOD is placed by; VNAV's target there is 200 ft
// above it (the runway's crossing height), where the autopilot levels off.
double DescentPathBottom();
// Feet a NM the descent path falls at the aircraft: from the TOD straight
// to the constraint, or to the planned altitude of a hold's fix ahead that
// the straight path would pass above, reached HoldLevelOffMiles short of
// the fix and level from there; 0 without a path.
double DescentPathGradient();
// The descent path's altitude at the aircraft, on the same path.
double DescentPathAltitude();

// NM short of a hold's fix at which the descent path reaches the hold's
// level: an autopilot captures a level easing its rate over the last
// feet, and followed down a path that reached the level at the fix, the
// aircraft crossed the fix the capture's lag above it (TOLLE at 20,728 ft,
// shown and held at 20,400, VNAV at its greatest 3,000 ft/min with 144 kt
// behind). Counted as the climb counts its level-off (the seconds the
// capture adds over the rate held on), to within 100 ft, at VNAV's
// greatest rate (the most a capture eases) and at the speed over the
// ground the descent's slope is laid for.
double HoldLevelOffMiles();

// The altitude of the descent path VNAV flies, from the top of descent at
// `top` straight down to route entry `target` at its planned altitude,
// `at` NM along `path` (a hold's fix on the way at its planned altitude
// where the straight path would pass above it); NaN where the top of
// descent does not lie before the entry. The path is asked for once, before
// the route is written: asked for again, it would be built from a route
// half written.
double DescentPathAltitudeAt(const FlownPath& path, int target, double top, double at);

// The descent's path starts where the aircraft is on the route (the TOD
// moves there), at its altitude when `at_aircraft_altitude`; false when the
// route gives the aircraft no place.
bool StartDescentPathAtAircraft(bool at_aircraft_altitude);

// The altitude VNAV climbs to at the TOC: the plan's level, or lower where
// the TOC was placed where the climb meets the descent path.
double ClimbTopAltitude();

// The rate (ft/min) VNAV steps down at: the plan's, within its greatest.
double StepRate();

// Seconds a step down of `feet` in the cruise takes, at the rate VNAV steps
// at, to come within kTopOfClimbCapture of its bottom: the rate built up
// from level flight, and the autopilot's capture easing the last of it.
double StepDownSeconds(double feet);

// The top of climb is passed this close below the plan's level; a level
// this far or farther above the aircraft in cruise is a step climb.
constexpr double kTopOfClimbCapture = 150.0;

// The level the plan climbs to, cruises at and descends from: CruiseAlt,
// but no higher than CruiseAltitudeLimit when that is set.
std::int32_t PlannedCruiseAltitude();

// The altitude the plan works with at a waypoint: its altitude field, or 0
// where that holds the "no value" mark.
double PlannedAltitude(const model::FlightPlanWaypoint& wp);

// VNAV's next target: the entry's place and planned altitude (never the
// -999 of an entry without one; the autopilot was once sent that).
void TargetEntry(const model::FlightPlanWaypoint& w);

}  // namespace ovi::guidance
