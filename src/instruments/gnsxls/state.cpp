#include "src/instruments/gnsxls/state.h"

namespace ovi::gnsxls {

State gnsxls_state;

}  // namespace ovi::gnsxls
