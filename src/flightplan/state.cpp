#include "src/flightplan/state.h"

namespace ovi::flightplan {

State flightplan_state;

}  // namespace ovi::flightplan
