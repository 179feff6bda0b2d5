// Where the VNAV page's route list puts the route's entries and the top of
// climb and descent markers: worked out from the live distances each frame.
#pragma once

#include <array>
#include <span>

namespace ovi::gnsxls {

// Sub-pages of VNAV: the summary and enough route sub-pages for the
// entries from the active one to the last and the markers still ahead
// (two without an active waypoint).
int VnavPageCount(bool active, int last_index, int active_index, bool toc_pending, bool tod_pending);

struct VnavMarkers {
  bool toc_pending = false;  // the top of climb is still ahead
  bool tod_pending = false;
  double to_toc = 0.0;  // NM along the route from the aircraft to the top of climb
  double to_tod = 0.0;  // and to the top of descent
};

struct VnavRow {
  enum Kind { kEmpty, kToc, kTod, kWaypoint } kind = kEmpty;
  int entry = 0;  // the route entry of a kWaypoint row
};
using VnavRows = std::array<VnavRow, 7>;

// The seven rows of route sub-page `sub_page` (2 or more). The list is the
// route from the active waypoint to the last (`ahead[k]`: NM along the
// route from the aircraft to entry active_index + k), each pending marker
// before the first entry farther along than it (after the last when none
// is), so it holds as many rows as VnavPageCount counts; sub-page 2 shows
// its first seven, each later one the next seven.
VnavRows LayVnavRows(int sub_page, int active_index, std::span<const double> ahead, const VnavMarkers& markers);

}  // namespace ovi::gnsxls
