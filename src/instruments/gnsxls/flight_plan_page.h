// Page 1's two actions that the page routine itself performs on ENT:
// opening a plan of the list, and activating the plan opened.
#pragma once

namespace ovi::gnsxls {

// Loads library entry `entry` (its file, or the empty placeholder plan for
// the list's closing "NEXT FPL" entry) into PendingFlightPlan and shows it
// in the stored plan view, page 1. An empty plan posts line key 1 for the
// next frame, which opens the entry on its first row. A plan that cannot be
// read changes nothing here (the list stays).
void OpenLibraryPlan(int entry);

// Makes the open stored plan the active route: copied without altitude
// constraints and passage times, flown from waypoint 1, with the route's
// selections cleared and its end airports loaded. An empty plan changes
// nothing but the line states; a plan of one waypoint has no leg to fly and
// leaves no active waypoint (ActiveWaypointIndex 999).
void ActivateStoredPlan();

// The plan index of the row the line states choose on the waypoint view of
// page 1 (the active route, or the stored plan opened), -1 when no row is
// chosen or the chosen row is empty: an edit acts only on a row shown.
int EntryOfSelectedRow();

// Chooses the row that shows plan entry `entry` on the waypoint view, on
// whichever page of the view holds it (the entry cursor after an
// insertion). Nothing for an entry the view does not show.
void SelectRowOfEntry(int entry);

}  // namespace ovi::gnsxls
