#include "src/navdb/procedure_state.h"

namespace ovi::navdb {

ProcedureState procedure_state;

model::AirportProcedureSet& AirportProcedureSetTable::operator[](int which) {
  if (which == 1 || which == 2) return sets_[static_cast<std::size_t>(which)];
  ++refused_;
  model::Recreate(sets_[0]);
  return sets_[0];
}

const model::AirportProcedureSet& AirportProcedureSetTable::operator[](int which) const {
  return const_cast<AirportProcedureSetTable&>(*this)[which];
}

}  // namespace ovi::navdb
