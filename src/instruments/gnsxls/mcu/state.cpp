#include "src/instruments/gnsxls/mcu/state.h"

namespace ovi::mcu {

State mcu_state;

}  // namespace ovi::mcu
