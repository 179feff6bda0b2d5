#include "src/instruments/efs/state.h"

namespace ovi::efs {

State efs_state;

}  // namespace ovi::efs
