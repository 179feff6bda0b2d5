// What the files of the vertical plan share (vertical_plan.cpp and the climb
// model, the predictions and the cruise level it is built from).
#pragma once

#include "src/guidance/flown_path.h"

namespace ovi::guidance {

// a / b, 0 where the quotient is no finite number (b of 0 included): rates,
// airspeeds and distances from configuration files may be 0.
double Ratio(double a, double b);

// What the aircraft flies from entry i-1 to entry i (abeam each, the corners
// cut); a marker stands where the entry before it does.
double FlownLeg(const FlownPath& path, int i);

// Feet a NM the plan's descent falls when flown at `rate` (ft/min) at the
// descent's mean true airspeed, but no steeper than VNAV follows at
// kDescentRateShare of its greatest rate at `fastest_tas` over the ground;
// 0 where the rate or the airspeed gives none (the
// descent then takes no room).
double DescentFeetPerNm(double rate, double fastest_tas);

// The share of VNAV's greatest descent rate a planned path asks for at its
// fastest: the rest is room to build the rate up at the top and to follow
// the path through turns and gusts.
constexpr double kDescentRateShare = 0.85;

// The fastest true airspeed of a descent from `top`: the faster of the
// cruise's speed there and the descent's from there down, each no faster
// than the Mach its phase holds.
double FastestDescentTas(double top);

// Lays the descent from `top`: its fastest airspeed, with the wind of the
// moment as if from behind, is kept, so that a
// descent re-planned from a constraint, and the predictions walked back
// for it, fall at the same feet a NM as the one the TOD was placed for
// (the speeds a constraint writes into the plan, 250 kt under a 290-kt
// cruise, steepened the re-planned path, and the aircraft crossed the next
// waypoint 600 ft above the altitude shown).
void PlanDescentSlope(double top);

// Feet a NM of the descent as laid (at `rate`), or, before one is, as it
// would be laid from the plan's level now.
double DescentSlope(double rate);
// The knots over the ground that slope is laid for: the fastest airspeed
// with the wind as if from behind.
double DescentFastestSpeed();

// The index of the constraint VNAV flies to, within the route.
int ClampedConstraintIndex(int last);

// The coordinate on the path of the top of descent VNAV has placed (route
// entries up to `last`); NaN where none is placed. VNAV's climb ends there
// (ComputeTopOfClimb), and the predictions take a constraint beyond it for
// the descent's.
double PlacedTopOfDescent(const FlownPath& path, int last);

// The point `flown` NM along the path into (lat, lon), and the entry its leg
// starts from; false when the route has no leg.
bool PlaceOnRoute(double flown, double& lat, double& lon, int& leg_start);

}  // namespace ovi::guidance
