#include "src/instruments/mfd/p1000/state.h"

namespace ovi::p1000 {

State p1000_state;

}  // namespace ovi::p1000
