// The ENT key: the one GNS-XLS key that commits at once. It reads the entry
// line with the line states of the page shown, writes the result into the
// routes, the selections or the settings, and chooses the page the next
// frame draws. One table of rows (page, condition, action, ending) does the
// dispatch; docs/gnsxls.md lists the rows and what each entry accepts.
#pragma once

#include <cstdint>
#include <span>

#include "platform/panel/panel.h"

namespace ovi::gnsxls {

// The mouse handler of ENT; the point and flags are not used; returns 0.
std::int32_t GnsXlsEnterKey(PIXPOINT* relative, std::uint32_t flags);

// How a row ends: reset the line states (ResetGnsSelectionState) or not.
enum class EnterEnding { kReset, kEnd };

// One row: on `page`, the first row whose condition holds (null: always)
// runs its action (null: nothing) and ends as it says.
struct EnterRow {
  std::int32_t page;
  bool (*when)();
  void (*act)();
  EnterEnding ending;
};

// The rows in the order they are tested.
std::span<const EnterRow> EnterRows();

// Back on page 1 from a page ENT leaves: a data column chosen there but not
// committed is dropped.
void BackToFlightPlan();

}  // namespace ovi::gnsxls
