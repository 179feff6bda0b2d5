// The predictions: the altitude and speed the plan gives every waypoint
// without a constraint of its own, along one profile the aircraft can fly
// from the constraints it has. docs/vertical-plan.md gives the rules.
#pragma once

namespace ovi::guidance {

// Writes the predicted altitude and speed into every waypoint of
// ActiveFlightPlan between the first and `last` whose constraint is neither
// the plan's own (flag 1) nor published (the climb at `rate`); sets
// ClimbEndIndex where the climb ends, and moves the TOC onto a constraint
// before the last waypoint that caps the climb.
void PredictAltitudesAndSpeeds(int last, double rate);

// After a hold left in the descent: the altitudes of the waypoints ahead up
// to VNAV's target written again on the path VNAV flies there, straight
// from the level the hold was flown at.
void PredictTheDescentFromTheHold();

// The predictions worked out again as EXEC works them out, for the plan
// as VNAV now flies it: the climb from the aircraft (in the air), the
// descent VNAV flies first on its own path from the top of descent, the
// rest walked from the constraints on the path as it now is. Writes only
// what changed, as the plan's own write.
void PredictThePlanFlown();
// Whether the plan VNAV flies has moved since the predictions were last
// worked out for it (PredictThePlanFlown).
bool PlanMovedSincePredicted();

// At VNAV on in the climb: the altitudes of the climb's waypoints ahead
// written again from where the aircraft is, the descent's and every speed
// left as the plan wrote them.
void PredictTheClimbFromTheAircraft();


}  // namespace ovi::guidance
