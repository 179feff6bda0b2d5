// FMS control display unit: the page machine's state that flight planning
// and guidance read or write (current page, leg marker, the selection
// states of the departure and arrival pages, the hold being deleted). The
// CDU's scratchpad, message line and sub-page table are kept with the
// shared data model (model_state).
#pragma once

#include <cstdint>

namespace ovi::fms {

// Pages flight planning and guidance name.
constexpr std::int32_t kPageRteLegs = 6;
constexpr std::int32_t kPageDepartures = 10;
constexpr std::int32_t kPageArrivals = 11;
constexpr std::int32_t kPageEconClimb = 34;
constexpr std::int32_t kPageEconCruise = 35;
constexpr std::int32_t kPageEconDescent = 36;
constexpr std::int32_t kPageRteHold = 39;

struct State {
  std::int32_t FmsPage = 0;
  // Leg marker of the RTE LEGS page; every scratchpad key clears it.
  std::int32_t FmsLegsMarker = 0;
  std::int32_t FmsLegsSelectedIndex = 0;
  std::int32_t FmsLegsEntryState = 0;
  std::int32_t FmsHoldFixSelect = 0;
  // Plan index of the waypoint whose hold is marked for deletion; EXEC
  // removes it. 0 = none.
  std::int32_t FmsHoldWaypointIndex = 0;
  std::int32_t FmsDepRunwayChosen = 0;
  std::int32_t FmsDepSidState = 0;
  std::int32_t FmsDepTransChosen = 0;
  std::int32_t FmsArrRunwayChosen = 0;
  std::int32_t FmsArrStarState = 0;
  std::int32_t FmsArrApproachState = 0;
  std::int32_t FmsArrTransChosen = 0;
  std::int32_t FmsArrApproachTransChosen = 0;
  std::int32_t FmsSelectedApproachIndex = 0;
  std::int32_t ArrivalNameListSelection = 0;
};

extern State fms_state;

}  // namespace ovi::fms
