// A gauge's mouse-rectangle list as the host reads it: parents open boxes
// that the entries after them are placed in, so each rectangle ends up at an
// absolute place in the gauge's design pixels. The list is read once, when
// the gauge is installed; clicks and cursors then use the places read.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/panel/panel.h"

namespace ovi::sim {

// Entries read at most (EOL included), and parents open at once.
constexpr int kMaxMouseRects = 1024;
constexpr int kMaxMouseDepth = 16;

struct MouseArea {
  int entry = 0;     // index in the module's list
  bool parent = false;
  int x = 0, y = 0;  // top-left, design pixels from the gauge's top-left
  int w = 0, h = 0;  // 0 x 0: the whole gauge
  std::int32_t cursor = CURSOR_NONE;
  std::uint32_t flags = 0;
  MouseHandler handler = nullptr;

  bool Contains(double px, double py) const;
};

// Reads `list` (null: no rectangles) into areas in list order. The reading
// stops at the EOL entry, or with a message in `problem` at the first entry
// it cannot place: no EOL within kMaxMouseRects entries, parents nested
// deeper than kMaxMouseDepth, an end of parent with no parent open, an
// unknown entry type. Areas read before the problem are kept.
std::vector<MouseArea> ReadMouseList(const MOUSERECT* list, std::string& problem);

// The area a click at (x, y) design pixels with these mouse flags reaches:
// the first in list order that has a handler, contains the point and takes
// one of the flags' buttons (the repeat bit aside); null when none does.
const MouseArea* FindClickArea(const std::vector<MouseArea>& areas, double x, double y, std::uint32_t flags);

// The cursor shown at (x, y): that of the first area in list order that
// contains the point and names a cursor; CURSOR_NONE when none does.
std::int32_t FindCursor(const std::vector<MouseArea>& areas, double x, double y);

}  // namespace ovi::sim
