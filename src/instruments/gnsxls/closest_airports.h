// The nine airports nearest the aircraft that DIRECT's last sub-page lists
// (ClosestAirportList): kept while that sub-page is shown, built from the
// map airport list of the navigation database.
#pragma once

namespace ovi::gnsxls {

// Rebuilds the near-airport list once the aircraft is more than 200 NM
// from its centre, then the closest list when `force` (the direct-to key's
// frame), when it was never built or when the aircraft is more than 50 NM
// from where it was built. That place is the list's own: a map display
// that rebuilds the map airport list on its own account does not keep
// this list from following the aircraft.
void KeepClosestAirports(bool force);

// The map airport list about the aircraft, then the nine nearest of it
// (FillClosestAirports) in order (SortClosestAirports).
void RebuildClosestAirports();

// Entries 1..9 emptied (ident "", distance and bearing 9999), then each map
// airport in list order that is strictly nearer than the entry being
// replaced takes its place; the next entry replaced is the farthest of the
// nine, the first of equals.
void FillClosestAirports();

// Farthest first: the pairs are walked from the top and a walk starts
// again after every swap of a nearer entry above a farther one, until a
// walk swaps none; equal distances keep their order.
void SortClosestAirports();

}  // namespace ovi::gnsxls
