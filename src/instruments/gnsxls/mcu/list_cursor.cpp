#include "src/instruments/gnsxls/mcu/list_cursor.h"

#include <algorithm>

#include "src/instruments/gnsxls/mcu/state.h"

namespace ovi::mcu {

namespace {

// Every move of the list moves the mark the other way, so that the mark
// stays on its entry whatever the move (the wraps included).
void MoveTop(ListCursor c, std::int32_t top) {
  c.marked += c.top - top;
  c.top = top;
}

// The last row that shows an entry (at least 1).
std::int32_t LastRowWithEntry(ListCursor c, int count) {
  return std::clamp<std::int32_t>(count - c.top + 1, 1, kListRows);
}

}  // namespace

void StepUp(ListCursor c) {
  if (c.row >= 2) {
    --c.row;
  } else if (c.top > 1) {
    MoveTop(c, c.top - 1);
  }
}

void StepDown(ListCursor c, int count) {
  if (c.top - 1 + c.row >= count) return;
  if (c.row < kListRows) {
    ++c.row;
  } else {
    MoveTop(c, c.top + 1);
  }
}

void PageUp(ListCursor c, int count) {
  if (c.top - kListRows >= 1) {
    MoveTop(c, c.top - kListRows);
    return;
  }
  MoveTop(c, std::max(count - (kListRows - 1), 1));
  c.row = std::min(c.row, LastRowWithEntry(c, count));
}

void PageDown(ListCursor c, int count) {
  if (c.top + (kListRows - 1) < count) {
    MoveTop(c, c.top + kListRows);
    if (c.top + c.row - 1 > count) c.row = 1;
    return;
  }
  MoveTop(c, 1);
  c.row = 1;
}

void KeepOnList(ListCursor c, int count) {
  if (c.top < 1) MoveTop(c, 1);
  if (c.row < 1 || c.row > kListRows) c.row = 1;
  if (c.top + c.row - 1 <= count) return;
  if (count < 1) {
    MoveTop(c, 1);
    c.row = 1;
    return;
  }
  if (c.top > count) MoveTop(c, std::max(count - (kListRows - 1), 1));
  c.row = LastRowWithEntry(c, count);
}

}  // namespace ovi::mcu
