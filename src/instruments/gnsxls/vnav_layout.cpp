#include "src/instruments/gnsxls/vnav_layout.h"

#include <algorithm>
#include <vector>

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

VnavRows LayVnavRows(int sub_page, int active_index, std::span<const double> ahead, const VnavMarkers& m) {
  struct Marker {
    VnavRow::Kind kind;
    double at;
    bool pending;
  };
  // Nearer first; the top of climb first where they meet.
  std::array<Marker, 2> markers{Marker{VnavRow::kToc, m.to_toc, m.toc_pending},
                                Marker{VnavRow::kTod, m.to_tod, m.tod_pending}};
  if (markers[1].at < markers[0].at) std::swap(markers[0], markers[1]);
  std::vector<VnavRow> list;
  // A marker beyond every entry (or at no number) comes after the last.
  auto markers_before = [&](double distance, bool all) {
    for (Marker& marker : markers) {
      if (marker.pending && (all || marker.at < distance)) {
        list.push_back({marker.kind, 0});
        marker.pending = false;
      }
    }
  };
  for (std::size_t k = 0; k < ahead.size(); ++k) {
    markers_before(ahead[k], false);
    list.push_back({VnavRow::kWaypoint, active_index + static_cast<int>(k)});
  }
  markers_before(0.0, true);

  VnavRows rows{};
  const std::size_t first = static_cast<std::size_t>(kRows) * static_cast<std::size_t>(std::max(sub_page - 2, 0));
  for (std::size_t r = 0; r < rows.size() && first + r < list.size(); ++r) rows[r] = list[first + r];
  return rows;
}

}  // namespace ovi::gnsxls
