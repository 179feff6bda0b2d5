#include "src/navdb/entry_state.h"

namespace ovi::navdb {

EntryState entry_state;

}  // namespace ovi::navdb
