#include "src/instruments/fms/state.h"

namespace ovi::fms {

State fms_state;

}  // namespace ovi::fms
