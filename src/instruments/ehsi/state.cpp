#include "src/instruments/ehsi/state.h"

namespace ovi::ehsi {

State ehsi_state;

}  // namespace ovi::ehsi
