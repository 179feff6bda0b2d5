#include "src/navdb/procedure_state.h"

namespace ovi::navdb {

ProcedureState procedure_state;

std::array<model::AirportProcedureSet, 3>& AirportProcedureSetTable::Sets() const {
  // Built in place on the heap: a set never passes through the stack.
  if (!sets_) sets_ = std::make_unique<std::array<model::AirportProcedureSet, 3>>();
  return *sets_;
}

model::AirportProcedureSet& AirportProcedureSetTable::operator[](int which) {
  auto& sets = Sets();
  if (which == 1 || which == 2) return sets[static_cast<std::size_t>(which)];
  ++refused_;
  model::Recreate(sets[0]);
  return sets[0];
}

const model::AirportProcedureSet& AirportProcedureSetTable::operator[](int which) const {
  return const_cast<AirportProcedureSetTable&>(*this)[which];
}

}  // namespace ovi::navdb
