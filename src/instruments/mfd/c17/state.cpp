#include "src/instruments/mfd/c17/state.h"

namespace ovi::c17 {

State c17_state;

}  // namespace ovi::c17
