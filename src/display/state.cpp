#include "src/display/state.h"

namespace ovi::display {

State display_state;

}  // namespace ovi::display
