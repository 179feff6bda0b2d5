#include "src/guidance/interim_links.h"

namespace ovi::flightplan {
void LoadRequestedFlightPlan(std::int32_t /*request*/) {}
}  // namespace ovi::flightplan
