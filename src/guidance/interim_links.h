// Route execution's routines the per-tick update calls (vertical plan,
// flight log, radio tuning, flight-plan loading). Interim declarations until
// that work is merged; see interim_links.cpp.
#pragma once

#include <cstdint>
#include <string>

namespace ovi::guidance {

void UpdateVerticalProfile();
std::int32_t ComputeTopOfClimb(std::int32_t offset);
void ComputeTopOfDescent(std::int32_t mode);
void UpdateFlightLog(std::int32_t mode);
double GetFuelFlowWeight();
void TuneEnRouteNavaids(std::int32_t mode);

}  // namespace ovi::guidance

namespace ovi::flightplan {
void LoadRequestedFlightPlan(std::int32_t request);
void RequestRunwayData(std::string ident);
}  // namespace ovi::flightplan
