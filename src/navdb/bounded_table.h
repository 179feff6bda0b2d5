// The navigation tables' growing table (its home is the model).
#pragma once

#include "src/model/bounded_table.h"

namespace ovi::navdb {

using model::BoundedTable;

}  // namespace ovi::navdb
