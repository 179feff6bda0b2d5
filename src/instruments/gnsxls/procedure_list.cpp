#include "src/instruments/gnsxls/procedure_list.h"

#include <algorithm>

#include "src/instruments/gnsxls/state.h"

namespace ovi::gnsxls {

int ProcedureFirstEntry(std::int32_t page, int per_page) { return per_page * (page - 1) + 1; }

std::int32_t ProcedurePageCount(int count, int per_page) {
  return std::max(1, (count + per_page - 1) / per_page);
}

namespace {

std::string Padded(const std::string& text, int width) {
  std::string out = text;
  if (static_cast<int>(out.size()) < width) out.append(static_cast<std::size_t>(width) - out.size(), ' ');
  return out;
}

}  // namespace

int DrawProcedureList(GnsPage& page, const ListOnShow& list, std::int32_t page_number, int per_page,
                      std::int32_t field_code, int* highlighted) {
  *highlighted = 0;
  const ListLayout& l = *list.layout;
  const int first = ProcedureFirstEntry(page_number, per_page);
  // A page number the list no longer reaches draws nothing rather than
  // reading past the count.
  if (first < 1) return 0;
  const int chosen = field_code > 0 ? first + field_code - 1 : 0;
  int rows = 0;
  for (int i = first; i < first + per_page && i <= list.count; ++i, ++rows) {
    const bool left = rows < l.rows_per_column;
    const float x = left ? l.left_x : l.right_x;
    const float y = l.first_y + l.pitch * static_cast<float>(left ? rows : rows - l.rows_per_column);
    const std::string stored = list.text(i);
    if (i == chosen) {
      page.OnBlock(x, y, std::string(l.prefix) + Padded(stored, l.highlight_width) + "?");
      *highlighted = i;
    } else {
      page.Text(x, y, kGreen, std::string(l.prefix) + Padded(stored, l.width));
    }
  }
  return rows;
}

void ClearLines(unsigned lines) {
  for (int line = 1; line <= 10; ++line)
    if ((lines & (1u << line)) != 0) SetLineState(line, 0);
}

void PressListKey(const ListKey& k, bool confirms) {
  State& s = gnsxls_state;
  switch (LineState(k.key)) {
    case 0:
      SetLineState(k.key, 1);
      s.GnsActiveFieldCode = k.upper;
      break;
    case 1:
      if (confirms) {
        SetLineState(k.key, 0);
      } else {
        SetLineState(k.key, 2);
        s.GnsActiveFieldCode = k.lower;
      }
      break;
    default:
      SetLineState(k.key, 0);
      s.GnsActiveFieldCode = 0;
      break;
  }
  ClearLines(k.clears);
}

void ListKeyMarkers(GnsPage& page, int rows, std::string_view left, std::string_view right) {
  constexpr int kKeys[] = {3, 4, 5, 8, 9, 10};
  for (int n = 0; n < 6; ++n)
    if (rows >= 2 * n + 1) page.Marker(kKeys[n], kKeys[n] <= 5 ? left : right);
}

}  // namespace ovi::gnsxls
