// Splicing the chosen SID, STAR and approach into a route. Each has an
// active-plan and a pending-plan entry point over one algorithm; the leg
// rows come from the selection routines of the navigation database
// (SelectSidEntry, SelectStarEntry) and SelectApproachTransition.
#pragma once

namespace ovi::flightplan {

// The SID legs (SidList) directly behind the origin, tagged "SID",
// replacing an earlier departure.
void InsertSidIntoActivePlan();
void InsertSidIntoPendingPlan();

// The STAR legs (StarList) behind the last en-route waypoint, tagged
// "STAR", before an approach that follows the en-route part directly or
// else rebuilding the arrival; the destination airport ends the plan.
void InsertStarIntoActivePlan();
void InsertStarIntoPendingPlan();

// The approach legs (ApproachList, up to the missed-approach point), tagged
// "APPR", then the destination airport, replacing the end of the plan.
// with_discontinuity 1 lets the pending variant put a "DISCO" between the
// route and the approach.
void InsertApproachIntoActivePlan();
void InsertApproachIntoPendingPlan(int with_discontinuity);

// ApproachList: the legs of SelectedApproach towards SelectedApproachTo on
// SelectedApproachTransition (and the common part).
void SelectApproachTransition();
// ApproachTransitionList: the entry fixes ("IAF", "IAF*") the chosen
// approach offers.
void BuildTransitionList();
// The ten GNS-XLS line states and the active field code back to 0.
void ResetGnsSelectionState();

}  // namespace ovi::flightplan
