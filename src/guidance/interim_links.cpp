#include "src/guidance/interim_links.h"

namespace ovi::guidance {

void UpdateVerticalProfile() {}
std::int32_t ComputeTopOfClimb(std::int32_t /*offset*/) { return 0; }
void ComputeTopOfDescent(std::int32_t /*mode*/) {}
void UpdateFlightLog(std::int32_t /*mode*/) {}
double GetFuelFlowWeight() { return 0.0; }
void TuneEnRouteNavaids(std::int32_t /*mode*/) {}

}  // namespace ovi::guidance

namespace ovi::flightplan {
void LoadRequestedFlightPlan(std::int32_t /*request*/) {}
void RequestRunwayData(std::string /*ident*/) {}
}  // namespace ovi::flightplan
