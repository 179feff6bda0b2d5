#include "src/instruments/gnsxls/vnav_layout.h"

#include <algorithm>

namespace ovi::gnsxls {

namespace {

constexpr int kRows = 7;

}  // namespace

int VnavPageCount(bool active, int last_index, int active_index, bool toc_pending, bool tod_pending) {
  if (!active) return 2;
  const int n = last_index - active_index + 1 + (toc_pending ? 1 : 0) + (tod_pending ? 1 : 0);
  const int pages = n > 0 ? (n + kRows - 1) / kRows : 0;
  return 1 + std::max(1, pages);
}

VnavRows LayVnavRows(int sub_page, int last_index, const VnavMarkers& m,
                     const std::function<double(int entry)>& distance_to) {
  VnavRows rows{};
  const int a = sub_page > 2 && last_index > 5 && m.toc_pending ? 2 : 0;
  const int first = kRows * sub_page - 13 - a;
  // Markers not pending count as shown from the start.
  bool toc_shown = !m.toc_pending;
  bool tod_shown = !m.tod_pending;
  for (int e = 1; e < first && e <= last_index && !(toc_shown && tod_shown); ++e) {
    const double d = distance_to(e);
    if (m.to_toc < d) toc_shown = true;
    if (m.tod_reference < d) tod_shown = true;
  }
  int e = std::max(first, 1);
  for (VnavRow& row : rows) {
    if (e > last_index) break;
    const double d = distance_to(e);
    if (!toc_shown && m.to_toc < d) {
      row.kind = VnavRow::kToc;
      toc_shown = true;
    } else if (!tod_shown && m.tod_reference < d) {
      row.kind = VnavRow::kTod;
      tod_shown = true;
    } else {
      row.kind = VnavRow::kWaypoint;
      row.entry = e++;
    }
  }
  return rows;
}

}  // namespace ovi::gnsxls
