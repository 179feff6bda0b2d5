#include "src/guidance/state.h"

namespace ovi::guidance {

State guidance_state;

}  // namespace ovi::guidance
