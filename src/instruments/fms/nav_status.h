// The closest stations NAV STATUS lists.
#pragma once

namespace ovi::fms {

// Filters the near and map navaid lists at the aircraft's position and
// rebuilds ClosestNavaidList from them: what PROGRESS's NAV STATUS prompt
// and NAV STATUS's NEXT PAGE back to its first sub-page do.
void RefreshClosestStations();

}  // namespace ovi::fms
