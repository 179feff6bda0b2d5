// FMS control display unit: the page machine's state, one set for both CDU
// gauges (a key pressed on either acts on the page drawn next by whichever
// draws first). Flight planning and guidance read or write some of it (the
// current page, the leg marker, the departure and arrival selection states,
// the hold being deleted). The CDU's scratchpad, message line and sub-page
// table are kept with the shared data model (model_state), because the
// navigator and the simulator link write the message line too.
#pragma once

#include <cstdint>
#include <string>

#include "src/display/lifetime.h"

namespace ovi::fms {

// Page numbers (FmsPage). Numbers not listed have no page.
constexpr std::int32_t kPageStoredFlightPlans = 1;
constexpr std::int32_t kPagePerfInit = 3;
constexpr std::int32_t kPageRteLegs = 6;
constexpr std::int32_t kPageSelectWaypoint = 9;
constexpr std::int32_t kPageDepartures = 10;
constexpr std::int32_t kPageArrivals = 11;
constexpr std::int32_t kPageApproachRef = 12;
constexpr std::int32_t kPageRoute = 22;
constexpr std::int32_t kPageInitRefIndex = 23;
constexpr std::int32_t kPageDepArrIndex = 24;
constexpr std::int32_t kPageIdent = 25;
constexpr std::int32_t kPagePosition = 26;
constexpr std::int32_t kPageTakeoffRef = 27;
constexpr std::int32_t kPageRefNavData = 28;
constexpr std::int32_t kPageTempNavSummary = 29;
constexpr std::int32_t kPageNavStatus = 31;
constexpr std::int32_t kPageProgress = 33;
constexpr std::int32_t kPageEconClimb = 34;
constexpr std::int32_t kPageEconCruise = 35;
constexpr std::int32_t kPageEconDescent = 36;
constexpr std::int32_t kPageFixInfo = 37;
constexpr std::int32_t kPageDescentForecasts = 38;
constexpr std::int32_t kPageRteHold = 39;
constexpr std::int32_t kLastPage = 39;

struct State {
  // 0 until the first CDU gauge is installed, which opens IDENT.
  std::int32_t FmsPage = 0;
  // Leg marker of the RTE LEGS page; every scratchpad key clears it.
  std::int32_t FmsLegsMarker = 0;
  // RTE LEGS: the leg chosen for the direct-to / intercept course (a pending
  // plan index, also the row of the last insertion), and 1 while its
  // intercept course may be entered.
  std::int32_t FmsLegsSelectedIndex = 0;
  std::int32_t FmsLegsEntryState = 0;
  // RTE LEGS bottom-area mode: 0 normal, 1 DIRECT TO / INTC, 2 HOLD AT.
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

  // --- Keys recorded between frames ----------------------------------------
  // The page drawn next acts on them; the end of that frame clears them
  // (ClearFmsKeyFlags), so each press acts once. A later press of a kind
  // overwrites an earlier one that no frame has seen.
  std::int32_t FmsLineSelectKey = 0;  // 1-5 L1-L5, 6-10 R1-R5, 11 L6, 12 R6
  std::int32_t FmsPrevPageKey = 0;
  std::int32_t FmsNextPageKey = 0;
  std::int32_t FmsRteKey = 0;
  std::int32_t FmsLegsKey = 0;
  std::int32_t FmsHoldKey = 0;
  // RTE LEGS in DIR INTC selection: the leg picked to fly to, 0 = none.
  std::int32_t FmsDirectLegIndex = 0;

  // --- Hand-over to SELECT WAYPOINT -----------------------------------------
  // The row the chosen candidate goes to (RTE LEGS: a plan row; RTE: a route
  // row; 0 or less: none) and the page to return to.
  std::int32_t FmsSelectInsertRow = 0;
  std::int32_t FmsSelectReturnPage = 0;
  // The list's sub-page shown (1-based; six candidates a sub-page) and the
  // sub-page count, recounted every frame.
  std::int32_t FmsSelectPageIndex = 1;
  std::int32_t FmsSelectPageCount = 1;
  // RTE LEGS in HOLD AT selection: 1 once the typed hold fix resolved to one
  // candidate; the candidate SELECT WAYPOINT passed on when it found several.
  std::int32_t FmsHoldInsertFlag = 0;
  std::int32_t FmsHoldFixCandidate = 0;

  // --- The point REF NAV DATA shows (TakeWaypointCandidate) ------------------
  std::string ResolvedWaypointIdent;
  double RefNavDataLat = 0.0;
  double RefNavDataLon = 0.0;
  std::string SelectedWaypointType;
  std::string SelectedWaypointFreqText;
  std::string SelectedWaypointAptText;
  std::string SelectedWaypointName;

  // --- Page state --------------------------------------------------------------
  // The company-route name last accepted on the RTE page (kept, not drawn).
  std::string RteCoRouteText;
  // STORED FLIGHT PLANS: sub-page shown and sub-page count (six plans a page).
  std::int32_t StoredPlansPageIndex = 1;
  std::int32_t StoredPlansPageCount = 1;
  // The airport name the REF NAV DATA look-up found (TakeWaypointCandidate
  // empties it for an airport).
  std::string SelectedAirportLongName;

  // PERF INIT's own values, read by no other page: the cruise wind (speed 0
  // or less = not set) and the ISA deviation, degrees C (-999 = not set).
  std::int32_t CruiseWindDirection = 0;
  std::int32_t CruiseWindSpeed = 0;
  double IsaDeviation = 30.0;

  // The CDU's drawing size, shared by both gauges.
  display::GaugeDisplay FmsDisplay;
};

extern State fms_state;

}  // namespace ovi::fms
