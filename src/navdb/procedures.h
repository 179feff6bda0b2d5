// Terminal procedures: loading an airport's SIDs, STARs and approaches into
// a procedure set, and the selection lists the departure, arrival and
// approach pages show. Everything works on procedure_state (and reads the
// route selection texts of model_state); nothing throws.
//
// Filters are texts; "------" means "any". Runway fields of SIDs and STARs
// are comma-separated runway numbers, an empty field allowing every runway.
// Every list is 1-based, reset before it is rebuilt and never filled past
// its capacity.
#pragma once

#include <string>

#include "src/navdb/procedure_state.h"

namespace ovi::navdb {

// ---- loading ----

// Fills AirportProcedureSets[which] (1 origin, 2 destination) with the
// airport's ident, position, runways, SIDs (sids_user.txt, then sids.txt),
// STARs (stars_user.txt, then stars.txt) and approaches (apps.txt), builds
// its ArrivalNameList, and sets AirportElevationText. Returns 1 when the
// airport is in the airport files, 0 otherwise; then nothing changes.
// Bad lines of the airport's blocks are skipped or corrected and reported
// with one status text per file.
int LoadAirportProcedures(std::string ident, int which);

// ---- departures (origin set) ----

// DepartureRunwayNameList: the origin's runways, in runway-table order, that
// the SID of this name allows (all when there is no such SID or one of that
// name names no runway).
void ListSidRunways(std::string sid_name);
// SidNameList: the names of the origin's SIDs, in table order and each name
// once, that fit the runway and have a leg on the transition.
void ListSids(std::string runway, std::string transition);
// SidTransitionList: the distinct non-empty transition names of the legs of
// the SIDs of that name fitting the runway, sorted ascending. Mode 1 leaves
// out legs marked "*", mode 0 keeps them.
void ListSidTransitions(std::string sid_name, std::string runway, int mode);
// SelectedSidIndex = index of the first SID of that name, 0 when none.
void FindSidIndex(std::string sid_name);
// SidList / SidLegCount: the legs of the chosen SID for the chosen runway
// and transition, in leg order.
void SelectSidEntry();

// ---- arrivals (destination set) ----

void ListStarRunways(std::string star_name);
void ListStars(std::string runway, std::string transition);
void ListStarTransitions(std::string star_name, std::string runway, int mode);
void FindStarIndex(std::string star_name);
void SelectStarEntry();

// ---- approaches (destination set) ----

// ArrivalRunwayNameList: the destination's runways, in runway-table order,
// that an approach of this name ("------" any) enters from the transition
// ("------" any).
void ListApproachIafs(std::string approach, std::string transition);
// ApproachTransitionTable: one record per approach name whose entry fixes
// fit the runway (or fix) and the transition; the record's type is the
// approach name the approach page offers.
void ListApproachIafEntries(std::string runway, std::string transition);
// ArrivalNameList: every approach of the destination as via = its name,
// to = its runway (LoadAirportProcedures builds it).
void BuildArrivalNameList();

}  // namespace ovi::navdb
