// Terminal procedures: the two airport procedure sets (origin and
// destination) and the leg rows the procedure selections produce for the
// route insertions.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "src/model/records.h"

namespace ovi::navdb {

// Leg rows of one selection: never more than the legs of one procedure.
constexpr int kMaxSidLegRows = model::kMaxProcedureLegs;
constexpr int kMaxStarLegRows = model::kMaxProcedureLegs;
constexpr int kMaxApproachLegRows = 80;

// The procedure sets, used 1-based: 1 = origin, 2 = destination. Any other
// index is refused into a spare set that is cleared at each such access, so
// a wrong index never reaches outside the storage.
class AirportProcedureSetTable {
 public:
  model::AirportProcedureSet& operator[](int which);
  const model::AirportProcedureSet& operator[](int which) const;

  int refused() const { return refused_; }

 private:
  std::array<model::AirportProcedureSet, 3> sets_;  // [0] is the spare
  int refused_ = 0;
};

struct ProcedureState {
  AirportProcedureSetTable AirportProcedureSets;

  // Rows of the chosen SID, STAR and approach, 1-based.
  model::FixedTable<model::ProcedureListEntry, kMaxSidLegRows + 1> SidList;
  std::int32_t SidLegCount = 0;
  model::FixedTable<model::ProcedureListEntry, kMaxStarLegRows + 1> StarList;
  std::int32_t StarLegCount = 0;
  model::FixedTable<model::ProcedureListEntry, kMaxApproachLegRows + 1> ApproachList;
  std::int32_t ApproachLegCount = 0;

  // 1-based index into the origin's SidTable / the destination's StarTable;
  // 0 = none.
  std::int32_t SelectedSidIndex = 0;
  std::int32_t SelectedStarIndex = 0;

  // Procedure files already reported missing (bits: sids 1, stars 2,
  // apps 4), so each is reported once; shifted by 8 for the user files
  // refused (ReportUnreadOnce).
  unsigned ReportedMissingFiles = 0;
};

extern ProcedureState procedure_state;

}  // namespace ovi::navdb
