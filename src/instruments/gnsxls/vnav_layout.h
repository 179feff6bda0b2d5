// Where the VNAV page's route list puts the route's entries and the top of
// climb and descent markers: worked out from the live distances each frame.
#pragma once

#include <array>
#include <functional>

namespace ovi::gnsxls {

// Sub-pages of VNAV: the summary and enough route sub-pages for the
// entries from the active one to the last and the markers still ahead
// (two without an active waypoint).
int VnavPageCount(bool active, int last_index, int active_index, bool toc_pending, bool tod_pending);

struct VnavMarkers {
  bool toc_pending = false;  // the top of climb is still ahead
  bool tod_pending = false;
  double to_toc = 0.0;         // NM from the aircraft to the top of climb
  double tod_reference = 0.0;  // NM a waypoint must lie beyond for the top of descent to come first
};

struct VnavRow {
  enum Kind { kEmpty, kToc, kTod, kWaypoint } kind = kEmpty;
  int entry = 0;  // the route entry of a kWaypoint row
};
using VnavRows = std::array<VnavRow, 7>;

// The seven rows of route sub-page `sub_page` (2 or more). The list starts
// from absolute entry 1 whatever the active waypoint, sub-page 3 at entry 6
// (8 while climbing on a route of more than 5 entries) and each later one 7
// entries on; a marker comes before the first entry farther from the
// aircraft than it. Markers placed on earlier sub-pages are not placed
// again. Only entries 1..last_index are measured (`distance_to`): rows past
// the last entry stay empty, pending markers included.
VnavRows LayVnavRows(int sub_page, int last_index, const VnavMarkers& markers,
                     const std::function<double(int entry)>& distance_to);

}  // namespace ovi::gnsxls
