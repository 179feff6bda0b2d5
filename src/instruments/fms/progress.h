// The figures PROGRESS works out from the route, the fuel and the air data.
#pragma once

namespace ovi::fms {

// The mean speed to the last waypoint: the ground speed, except that the
// last 100 NM of a longer distance are flown at 80 % of the descent speed.
double BlendedArrivalSpeed(double distance, double ground_speed, double descent_speed);

// Fuel left `distance` NM ahead at `speed` knots, in thousands of the shown
// weight unit: the fuel on board (pounds) less `fuel_flow` (pounds an hour)
// for the time to go, that burn scaled by `burn_share`. Without a speed
// nothing is burned.
double PredictedFuel(double distance, double speed, double burn_share, double fuel_flow, double fuel_on_board,
                     bool kilograms);

// Sub-page 3's wind components: whole knots without their sign, and the side
// the crosswind comes from ("L" above 0, "R" below, nothing at 0); values
// that are not finite count as 0.
struct WindComponents {
  int along = 0;
  int across = 0;
  const char* side = "";
};
WindComponents WindComponentsShown(double headwind, double crosswind);

// The static air temperature less the standard one at `altitude` feet
// (15 degrees C less 1.98 a thousand feet), truncated; 0 when not finite.
int IsaDeviation(double static_air_temp, double altitude);

// Feet above the descent path (below it when negative) as every page and
// the ND show it: the aircraft's altitude against VnavPathAltitude, while it
// is short of the constraint the path leads to; NaN otherwise.
double DeviationFromPath();

}  // namespace ovi::fms
