#include "src/instruments/nd/state.h"

namespace ovi::nd {

State nd_state;

}  // namespace ovi::nd
