// GNS-XLS navigator and MCU: the page machine's state, one set for both
// GNS-XLS gauges (a key pressed on either acts on the page drawn next by
// whichever draws first), and the MCU's repaint requests and airport page.
// Flight planning and guidance read or write some of it (the entry line and
// its field, the line and selection states). `PendingPlanOpen` is kept with
// the waypoint-entry state of the navigation database (navdb::entry_state),
// whose airway routines choose their route by it; the MCU's entry and
// airport texts are kept with the shared data model (model_state).
// docs/gnsxls.md describes the navigator.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "src/display/lifetime.h"
#include "src/model/fixed_table.h"
#include "src/model/records.h"

namespace ovi::gnsxls {

constexpr std::int32_t kGnsLineCount = 10;

// Page numbers (GnsXlsPage). A number without a page draws a blank screen;
// 17 is such a number, which the VNAV key sets while an entry is open on
// the active flight plan.
constexpr std::int32_t kPageFlightPlan = 1;
constexpr std::int32_t kPageDirect = 7;
constexpr std::int32_t kPageDatabaseWaypoint = 8;
constexpr std::int32_t kPageNavigation = 9;
constexpr std::int32_t kPageDeparture = 10;
constexpr std::int32_t kPageArrival = 11;
constexpr std::int32_t kPageApproach = 12;
constexpr std::int32_t kPageAirway = 13;
constexpr std::int32_t kPageSaveFlightPlan = 14;
constexpr std::int32_t kPageVnav = 15;
constexpr std::int32_t kPageVnavData = 16;
constexpr std::int32_t kPageVnavBlank = 17;
constexpr std::int32_t kPageHolding = 18;
constexpr std::int32_t kPagePlan = 19;
constexpr std::int32_t kPagePilotWaypoint = 20;
constexpr std::int32_t kPageOffsetWaypoint = 21;
constexpr std::int32_t kLastPage = 21;

// Views of the flight plan page (GnsXlsFplView).
constexpr std::int32_t kViewActive = 1;
constexpr std::int32_t kViewStored = 2;  // the list, or the plan opened from it

// The nearest airports of the DIRECT page: entries 1..9, and a tenth that
// the sort swaps through.
constexpr int kClosestAirportCount = 9;
constexpr int kClosestAirportSlots = kClosestAirportCount + 2;

// SAVE ACTIVE FPL: the name field's width, and why a save was not made.
constexpr std::size_t kSaveNameWidth = 10;
constexpr std::int32_t kSaveRefusedName = 1;   // not a plain file name
constexpr std::int32_t kSaveRefusedWrite = 2;  // the file could not be written

// Data columns of the active view (GnsFplDataColumn and its choice).
constexpr std::int32_t kColumnEte = 1;
constexpr std::int32_t kColumnEta = 2;
constexpr std::int32_t kColumnDis = 3;
constexpr std::int32_t kColumnAlt = 4;

struct State {
  // --- GNS-XLS: pages and views -------------------------------------------
  // The first pre-install shows the stored flight plan list, page 1.
  std::int32_t GnsXlsPage = kPageFlightPlan;
  std::int32_t GnsXlsFplView = kViewStored;
  std::int32_t GnsActivePlanPage = 1;
  std::int32_t GnsActivePlanPageCount = 1;
  // List pages of eight plans; the count is flightplan_state.GnsFplListPageCount.
  std::int32_t GnsPlanListPage = 1;
  std::int32_t GnsStoredPlanPage = 1;
  std::int32_t GnsStoredPlanPageCount = 1;
  // Library index of the plan opened from the list (its title).
  std::int32_t GnsStoredPlanIndex = 0;
  std::int32_t GnsDirectPage = 1;
  std::int32_t GnsDirectPageCount = 1;
  // 1 = a route sub-page of DIRECT is shown, else the closest airports.
  std::int32_t GnsDirectPageMode = 1;
  std::int32_t SelectedCandidateIndex = 1;
  std::int32_t GnsDatabaseWaypointPage = 1;
  std::int32_t GnsNavSubPage = 1;
  std::int32_t GnsDeparturePage = 1;
  std::int32_t GnsDeparturePageCount = 1;
  std::int32_t GnsArrivalPage = 1;
  std::int32_t GnsArrivalPageCount = 1;
  std::int32_t GnsApproachPage = 1;
  std::int32_t GnsApproachPageCount = 1;
  std::int32_t GnsVnavSubPage = 1;
  std::int32_t GnsVnavPageCount = 1;
  std::int32_t GnsPlanSubPage = 1;
  std::int32_t GnsOffsetCandidateIndex = 1;
  std::string GnsOffsetCandidateIdent;
  // The page a sub-dialog (AIRWAY, APCH, DATABASE WPT) returns to.
  std::int32_t GnsXlsReturnPage = kPageFlightPlan;

  // --- Keys recorded between frames ---------------------------------------
  // 0 none, 1..5 the left line keys top down, 6..10 the right ones. The
  // frame that draws next consumes it (or a key a page posts for the frame
  // after, GnsXlsCarriedLineKey).
  std::int32_t GnsXlsLineSelectKey = 0;
  std::int32_t GnsXlsCarriedLineKey = 0;
  // One-frame flags: 1 from the press to the end of the next drawn frame.
  std::int32_t GnsXlsEnterPressed = 0;
  std::int32_t GnsXlsClearPressed = 0;
  std::int32_t GnsXlsDirectPressed = 0;

  // --- Lines and the entry line -----------------------------------------------
  // States of display lines 1..10 (0 nothing chosen, 1 first press, 2
  // second press); slot 0 unused.
  model::FixedTable<std::int32_t, kGnsLineCount + 1> GnsXlsLineState;
  std::int32_t GnsActiveFieldCode = 0;
  // The entry line; "******" and "------" stand in it for an empty field.
  std::string NavigatorScratchpad;
  std::int32_t GnsXlsEntryActive = 0;  // 1 while an entry is open
  std::int32_t ScratchpadClearPending = 0;  // 1 = the next key empties the line first

  // --- Flight plan page ---------------------------------------------------------
  // The data column shown and committed (1 ETE, 2 ETA, 3 DIS, 4 ALT) and the
  // one being chosen.
  std::int32_t GnsFplDataColumn = kColumnEte;
  std::int32_t GnsFplDataColumnChoice = kColumnEte;
  std::int32_t GnsDeleteRequested = 0;  // CLR asked to delete the selected waypoint
  // ActiveFlightPlan index of the row selected on the active view; -1 when
  // the last row key picked a row the page does not show.
  std::int32_t GnsSelectedWaypointIndex = 0;
  // 1 = the route's origin-destination header is not shown (a plan loaded
  // by another route computer, a procedure or a direct-to).
  std::int32_t GnsLoadedPlanFlagA = 0;
  std::int32_t GnsLoadedPlanFlagB = 0;
  std::string GnsSaveFileName;
  // SAVE ACTIVE FPL: why the last ENT did not save (0 it did, or none was
  // asked; kSaveRefusedName, kSaveRefusedWrite).
  std::int32_t GnsSaveRefused = 0;

  // --- PILOT ENTERED WPT ----------------------------------------------------------
  // The fields are ten characters, "----------" while empty. Step: 0 none,
  // 1 the latitude being typed, 2 the longitude. A converted value counts
  // as entered by its flag, never by being 0.0: the equator and the zero
  // meridian are places like any other.
  std::string GnsPilotWaypointName;
  std::string GnsPilotWaypointText2 = "----------";  // latitude
  std::string GnsPilotWaypointText = "----------";   // longitude
  std::int32_t GnsPilotWaypointStep = 0;
  double GnsPilotLatitude = 0.0;
  double GnsPilotLongitude = 0.0;
  bool GnsPilotLatitudeEntered = false;
  bool GnsPilotLongitudeEntered = false;
  // The last digit or ENT met no position (a field past 90 or 180 degrees,
  // past 59 minutes or seconds, or ENT on one not complete): the page says
  // so until the next key that acts on the fields.
  bool GnsPilotPositionRefused = false;

  // --- OFFSET WPT ---------------------------------------------------------------------
  // The edit copies' names are crossed: the bearing is typed into
  // GnsOffsetBearingEdit and shown from GnsOffsetBearingText, the distance
  // typed into GnsOffsetDistanceText and shown from GnsOffsetDistanceEdit.
  // "-----" / "------" while not entered.
  std::string GnsOffsetBearingText = "-----";
  std::string GnsOffsetBearingEdit = "-----";
  std::string GnsOffsetDistanceText = "------";
  std::string GnsOffsetDistanceEdit = "------";
  std::int32_t GnsOffsetFirstDigit = 0;  // 1 = the field was just opened
  double GnsOffsetBearing = -1.0;        // degrees magnetic; -1 not entered
  double GnsOffsetDistance = -1.0;       // NM; -1 not entered
  double GnsOffsetLatitude = 0.0;
  double GnsOffsetLongitude = 0.0;
  std::string GnsOffsetWaypointText = "----------";   // latitude of the result
  std::string GnsOffsetWaypointText2 = "----------";  // longitude of the result

  // --- Direct-to ------------------------------------------------------------------
  std::int32_t GnsDirectEntryStep = 0;  // 0 first stage, 1 a typed target was confirmed
  std::uint64_t GnsDirectCopyStamp = 0;  // RoutesStamp() when the working copy was made
  // The typed target confirmed, waiting at its index of the working copy
  // (-1: none) until ENT flies it (route_edits.h, DirectListEntry).
  model::FlightPlanWaypoint GnsDirectTarget;
  std::int32_t GnsDirectTargetIndex = -1;
  // The direction choice of DATABASE WPT: "DEFAULT", "LEFT" or "RIGHT".
  std::string TurnDirectionText = "DEFAULT";
  // The flyover choice of DATABASE WPT, PILOT and OFFSET WPT: "YES" or "NO".
  std::string GnsWaypointEntryText = "NO";
  // The nine airports nearest the aircraft (ident, distance NM, magnetic
  // bearing), entry 1 the farthest, entry 9 the nearest; an empty entry has
  // an empty ident and 9999. Where the list was last built (-999: never).
  model::FixedTable<model::NavDbRecord, kClosestAirportSlots> ClosestAirportList;
  double ClosestListLatitude = -999.0;
  double ClosestListLongitude = -999.0;

  // --- Procedure pages --------------------------------------------------------------
  // Selection states of the DEPARTURE, ARRIVAL and APCH pages (1 = complete).
  std::int32_t GnsDepartureSelection = 0;
  std::int32_t GnsArrivalSelection = 0;
  std::int32_t GnsApproachSelection = 0;
  // 1 after ENT found no airport of the typed ident.
  std::int32_t GnsAirportNotFound = 0;

  // --- Holding pattern page -----------------------------------------------------------
  // The fields being typed: course "090", leg time "1.5", leg distance "12.5".
  std::string GnsHoldCourseEntry = "   ";
  std::string GnsHoldLegTimeEntry = " . ";
  std::string GnsHoldLegDistanceEntry = "  . ";
  std::int32_t GnsHoldTurnChoice = 1;      // 1 "RIGHT", 2 "LEFT"
  std::int32_t GnsHoldExitModeChoice = 1;  // 1 "MANUAL", 2 "AUTO"
  std::int32_t GnsHoldLegMode = 1;         // the leg last given as 1 a time, 2 a distance
  std::int32_t GnsNavModeChoice = 0;       // 0 none, 1 "AUTO?", 2 "MAN?"
  // 1 = the field being typed still shows the old value: the first digit
  // or CLR starts it from its blank template.
  std::int32_t GnsHoldEntryFresh = 0;

  // --- Data pages -------------------------------------------------------------------
  // NAVIGATION: the TO line's time field, 1 the arrival time, 2 the next
  // altitude constraint (nothing changes it: the line 7 choice is shown only).
  std::int32_t GnsNavTimeFieldMode = 1;
  double GnsFuelAtDestination = 9999.0;  // last prediction, -1 when short
  // PLAN: the reserve figure line key 7 proposed, in the unit shown; ENT on
  // it unchanged keeps the reserve as it was.
  std::string GnsReserveProposal;

  // The navigator's drawing size, shared by both gauges.
  display::GaugeDisplay GnsXlsDisplay;

  // --- MCU -------------------------------------------------------------------
  std::int32_t McuRedrawRequest = 0;
  std::int32_t McuStatusRedraw = 0;
  std::int32_t McuKeyboardEntryActive = 0;
  std::int32_t McuPageEntered = 0;
  std::int32_t McuRunwayListTop = 1;
  std::int32_t McuRunwayScroll = 0;
  // Route index in the first row of the MCU legs page; a route load puts it
  // on waypoint 1.
  std::int32_t McuLegsCursor = 2;
  std::string KeyboardInputStatus;
  std::int32_t KeyboardEntryLoadFlag = 0;
};

extern State gnsxls_state;

}  // namespace ovi::gnsxls
