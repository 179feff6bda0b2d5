// The cursor of the MCU's four-row lists (FPLN's stored plans, APT's
// runways): the entry in row 1, the cursor row, and the row that marks the
// chosen entry (the plan loaded, the runway chosen). The mark moves with the
// list so that it keeps marking the same entry, also out of the four rows.
#pragma once

#include <cstdint>

namespace ovi::mcu {

struct ListCursor {
  std::int32_t& top;     // 1-based entry shown in row 1
  std::int32_t& row;     // 1..4
  std::int32_t& marked;  // row of the chosen entry, relative to `top`
};

// UP: the row above, or at row 1 the list one entry back.
void StepUp(ListCursor c);
// DOWN, while an entry follows the cursor's: the row below, or at row 4
// the list one entry on.
void StepDown(ListCursor c, int count);
// Page Up: four entries back; from the first page to the last (the list's
// last four entries), the cursor kept on an entry.
void PageUp(ListCursor c, int count);
// Page Down: four entries on while entries follow the four shown, the
// cursor back to row 1 when its row would stand past the end; from the
// last page to the first, cursor on row 1.
void PageDown(ListCursor c, int count);
// After the list changed under the cursor: back onto an entry (the last)
// when the cursor stands past the end.
void KeepOnList(ListCursor c, int count);

}  // namespace ovi::mcu
