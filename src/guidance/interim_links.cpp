#include "src/guidance/interim_links.h"

namespace ovi::guidance {

void UpdateFlightLog(std::int32_t /*mode*/) {}
double GetFuelFlowWeight() { return 0.0; }

}  // namespace ovi::guidance

namespace ovi::flightplan {
void LoadRequestedFlightPlan(std::int32_t /*request*/) {}
void RequestRunwayData(std::string /*ident*/) {}
}  // namespace ovi::flightplan
