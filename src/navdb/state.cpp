#include "src/navdb/state.h"

namespace ovi::navdb {

State navdb_state;

}  // namespace ovi::navdb
