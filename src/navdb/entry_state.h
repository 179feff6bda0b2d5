// Waypoint entry and airway selection: the text a page hands over for
// resolution, the candidates found for it, the place/bearing values of a
// created point, and the state of an airway being chosen for the route.
#pragma once

#include <array>
#include <string>

#include "src/model/fixed_table.h"
#include "src/model/records.h"

namespace ovi::navdb {

constexpr int kMaxEntryCandidates = 250;
constexpr int kAirwayListPageSize = 16;  // fixes a page of the airway list shows

struct EntryState {
  // ---- waypoint resolution ----
  std::string WaypointEntryText;
  // Entries 1..WaypointCandidateCount; entry 1 is the candidate the pilot
  // chose (PromoteWaypointCandidate). 0 = nothing found.
  model::FixedTable<model::NavDbRecord, kMaxEntryCandidates + 1> WaypointCandidateList;
  int WaypointCandidateCount = 0;
  // First and second bearing of the last place/bearing entry, degrees
  // magnetic as typed; -1.0 = not given.
  std::array<double, 2> PlaceBearingEntry{-1.0, -1.0};
  // Distance of the last place/bearing/distance entry, whole NM; 0 = none.
  int WaypointEntryExtra = 0;

  // ---- airway selection ----
  // The airway whose fixes the candidate list holds (name without "#").
  std::string ListedAirwayName;
  // CDU route page: index of the route waypoint (the entry of the airway)
  // among the listed fixes, 0 when the airway does not pass through it.
  int AirwayListCount = 0;
  int SelectedAirwayIndex = 0;  // end of the segment
  int AirwayStartIndex = 0;     // start of the segment (the route waypoint)
  // 1 while InsertAirwayLegs serves the CDU route page (exit fix typed on a
  // "THEN" row): the legs go into PendingFlightPlan after EditWaypointIndex.
  int AirwayInsertPending = 0;
  int AirwayPageState = 0;
  int AirwayListPage = 1;
  int AirwayListPageCount = 1;
  std::string AirwayTitleText;

  // The navigator's: 1 while it edits PendingFlightPlan (a stored plan
  // opened), 0 while it edits ActiveFlightPlan directly. Kept here because
  // it chooses the route of ListAirwayFixes and of the navigator's
  // InsertAirwayLegs, which cannot depend on an instrument.
  int PendingPlanOpen = 0;
};

extern EntryState entry_state;

}  // namespace ovi::navdb
