#include "src/navdb/procedure_state.h"

#include <memory>

namespace ovi::navdb {

namespace {
// Built in place on the heap: a set never passes through the stack.
std::unique_ptr<std::array<model::AirportProcedureSet, 3>> set_storage;
}  // namespace

ProcedureState procedure_state;

std::array<model::AirportProcedureSet, 3>& AirportProcedureSetTable::Sets() const {
  if (!set_storage) {
    set_storage = std::make_unique<std::array<model::AirportProcedureSet, 3>>();
  } else if (!fresh_) {
    for (model::AirportProcedureSet& set : *set_storage) model::Recreate(set);
  }
  fresh_ = true;
  return *set_storage;
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
