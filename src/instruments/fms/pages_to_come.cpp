// Pages whose routines are still to be written: each shows a cleared screen
// and lets the frame drop its keys. A page moves into a file of its own when
// it is built.
#include "src/instruments/fms/pages.h"

namespace ovi::fms {


}  // namespace ovi::fms
