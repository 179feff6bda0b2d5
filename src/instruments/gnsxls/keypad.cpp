#include "src/instruments/gnsxls/keypad.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "src/flightplan/entry_line.h"
#include "src/flightplan/execute.h"
#include "src/flightplan/holds.h"
#include "src/flightplan/plan_ops.h"
#include "src/flightplan/procedure_splice.h"
#include "src/flightplan/route_edit.h"
#include "src/flightplan/state.h"
#include "src/guidance/state.h"
#include "src/instruments/gnsxls/kit.h"
#include "src/instruments/gnsxls/navigator.h"
#include "src/instruments/gnsxls/route_edits.h"
#include "src/instruments/gnsxls/state.h"
#include "src/model/state.h"
#include "src/navdb/entry_state.h"
#include "src/navdb/navdb.h"

namespace ovi::gnsxls {

namespace {

State& S() { return gnsxls_state; }
flightplan::State& Fp() { return flightplan::flightplan_state; }

constexpr int kNavSubPages = 4;
constexpr int kPlanSubPages = 6;
constexpr double kHoldNotMeasured = 99999.0;

// ---- page keys --------------------------------------------------------------

// A page key pressed on its own page steps its sub-page; elsewhere it opens
// the page at sub-page 1.
void PageKey(std::int32_t page, std::int32_t& sub_page, std::int32_t count) {
  State& s = S();
  if (s.GnsXlsPage == page) {
    StepWithin(sub_page, count, +1);
  } else {
    s.GnsXlsPage = page;
    sub_page = 1;
  }
}

// ---- previous / next ---------------------------------------------------------

void StepPages(int delta) {
  State& s = S();
  const navdb::EntryState& e = navdb::entry_state;
  if (s.GnsXlsPage == kPageOffsetWaypoint) {
    StepWithin(s.GnsOffsetCandidateIndex, e.WaypointCandidateCount, delta);
    if (e.WaypointCandidateCount >= 1)
      s.GnsOffsetCandidateIdent = std::string(e.WaypointCandidateList[s.GnsOffsetCandidateIndex].ident.c_str());
  }
  if (ShowsActiveView()) {
    flightplan::ResetGnsSelectionState();
    s.GnsXlsEntryActive = 0;
    StepWithin(s.GnsActivePlanPage, s.GnsActivePlanPageCount, delta);
  } else if (ShowsStoredView()) {
    const bool next = delta > 0;
    if (next) flightplan::ResetGnsSelectionState();
    if (navdb::entry_state.PendingPlanOpen == 1) {
      StepWithin(s.GnsStoredPlanPage, s.GnsStoredPlanPageCount, delta);
    } else if (StepWithin(s.GnsPlanListPage, Fp().GnsFplListPageCount, delta) && next) {
      Fp().SelectedFlightPlanIndex = 1;
    }
  }
  switch (s.GnsXlsPage) {
    case kPageDatabaseWaypoint:
      if (StepWithin(s.SelectedCandidateIndex, e.WaypointCandidateCount, delta)) {
        s.GnsDatabaseWaypointPage = s.SelectedCandidateIndex;
      } else {
        s.GnsDatabaseWaypointPage += delta;
      }
      break;
    case kPageDirect:
      StepWithin(s.GnsDirectPage, s.GnsDirectPageCount, delta);
      break;
    case kPageDeparture:
      StepWithin(s.GnsDeparturePage, s.GnsDeparturePageCount, delta);
      break;
    case kPageArrival:
      StepWithin(s.GnsArrivalPage, s.GnsArrivalPageCount, delta);
      break;
    case kPageAirway:
      flightplan::ResetGnsSelectionState();
      StepWithin(navdb::entry_state.AirwayListPage, navdb::entry_state.AirwayListPageCount, delta);
      break;
    case kPageNavigation:
      StepWithin(s.GnsNavSubPage, kNavSubPages, delta);
      break;
    case kPageVnav:
      StepWithin(s.GnsVnavSubPage, s.GnsVnavPageCount, delta);
      break;
    case kPagePlan:
      StepWithin(s.GnsPlanSubPage, kPlanSubPages, delta);
      break;
    default:
      break;
  }
}

// ---- HOLD ------------------------------------------------------------------------

// Lines 2 and 3 in either state and line 4 in state 1 pick the second to
// sixth rows of the active view; the first row builds no hold.
bool HoldRowSelected() {
  const std::int32_t l2 = LineState(2), l3 = LineState(3);
  return l2 == 1 || l2 == 2 || l3 == 1 || l3 == 2 || LineState(4) == 1;
}

double CourseIn360(double course) {
  if (!std::isfinite(course)) return 0.0;
  course = std::fmod(course, 360.0);
  return course < 0.0 ? course + 360.0 : course;
}

// Hold 1 at active entry i, which must be a waypoint of the plan after its
// origin: never the origin, the row of the end marker or an index the plan
// no longer has.
void BuildHoldAt(int i) {
  flightplan::State& fp = Fp();
  const int last = flightplan::LastIndex(flightplan::ActivePlan());
  if (i < 1 || i > last) return;
  model::FlightPlanWaypoint& wp = fp.ActiveFlightPlan[i];
  const model::FlightPlanWaypoint& prev = fp.ActiveFlightPlan[i - 1];
  double distance = 0.0, course = 0.0;
  navdb::ComputeDistanceAndBearing(prev.latitude, prev.longitude, wp.latitude, wp.longitude, distance, course);
  guidance::State& g = guidance::guidance_state;

  // An edit of the flown route like any other (route_edits.h). The holds
  // this one replaces leave their waypoints in both routes; the pending
  // route shows the new one only while it is the flown route's copy (route
  // state 3), else the hold stands on none of its waypoints.
  BeginFlownRouteEdit();
  for (int k = 0; k <= last; ++k) fp.ActiveFlightPlan[k].hold_number = 0;
  const int pending_last = flightplan::LastIndex(flightplan::PendingPlan());
  for (int k = 0; k <= pending_last; ++k) fp.PendingFlightPlan[k].hold_number = 0;
  model::HoldingPattern& hold = fp.HoldTable[1];
  hold.name = wp.ident;
  hold.active_index = i;
  hold.pending_index = fp.RouteState == 3 ? 0 : flightplan::kDetachedHold;
  hold.inbound_course = CourseIn360(course - g.MagneticVariation);
  hold.corners[0] = {wp.latitude, wp.longitude, "Fix"};
  hold.leg_time = model::model_state.HoldLegMins;
  hold.time_based = 1;
  hold.turn_side = 1;
  wp.hold_number = 1;
  fp.HoldCount = 1;
  g.HoldSegmentCounter = 0;
  g.ActiveHoldIndex = 0;
  g.HoldState = 1;
  g.HoldPointDistance = kHoldNotMeasured;
  EndFlownRouteEdit();
}

// ---- CLR ----------------------------------------------------------------------------

void DeleteLastCharacter() { flightplan::ScratchpadKeyInput("*1", 0); }

// The entry line becomes the next of a cycle of choices (the first one for
// any other text).
void CycleEntry(std::initializer_list<const char*> cycle) {
  const std::string now = EntryText();
  const char* const* choices = cycle.begin();
  const std::size_t n = cycle.size();
  for (std::size_t i = 0; i < n; ++i) {
    if (now == choices[i]) {
      S().NavigatorScratchpad = choices[(i + 1) % n];
      return;
    }
  }
  S().NavigatorScratchpad = choices[0];
}

// The waypoint at EditWaypointIndex in a plan is one CLR may ask to delete:
// a row of the plan, not its end marker.
bool DeletableRow(const flightplan::PlanRef& plan) {
  const int i = Fp().EditWaypointIndex;
  if (i < 0 || i > flightplan::LastIndex(plan)) return false;
  return plan.plan[i].ident != "******" && S().ScratchpadClearPending == 1;
}

void ToggleNavMode() {
  std::int32_t& c = S().GnsNavModeChoice;
  if (c == 0) {
    c = guidance::guidance_state.LnavEngaged == 1 ? 2 : 1;
  } else {
    c = c == 1 ? 2 : 1;
  }
}

// The CLR rules; true when one applied (the last character is then kept).
bool ClearByPage() {
  State& s = S();
  const bool line10_first = LineState(10) == 1;
  switch (s.GnsXlsPage) {
    case kPageDatabaseWaypoint:
      if (LineState(10) == 2) {
        if (s.GnsXlsReturnPage == kPageDirect) CycleEntry({"DEFAULT", "LEFT", "RIGHT"});
        return true;
      }
      [[fallthrough]];
    case kPagePilotWaypoint:
    case kPageOffsetWaypoint:
      if (line10_first) CycleEntry({"NO", "YES"});
      return true;
    case kPageHolding:
      if (LineState(8) == 1) s.GnsHoldTurnChoice = s.GnsHoldTurnChoice == 1 ? 2 : 1;
      if (line10_first) s.GnsHoldExitModeChoice = s.GnsHoldExitModeChoice == 1 ? 2 : 1;
      return true;
    case kPageApproach:
      if (s.GnsXlsReturnPage != kPageFlightPlan) return false;
      if (s.GnsXlsEntryActive == 1) {
        DeleteLastCharacter();
      } else {
        s.GnsXlsPage = kPageFlightPlan;
      }
      return true;
    case kPageAirway:
      s.GnsXlsPage = s.GnsXlsReturnPage;
      s.GnsXlsEntryActive = 0;
      s.NavigatorScratchpad.clear();
      return true;
    case kPageFlightPlan:
      if (ShowsActiveView()) {
        if (s.GnsXlsEntryActive == 0 && line10_first) {
          StepWithin(s.GnsFplDataColumnChoice, kColumnAlt, +1);
          return true;
        }
        if (!DeletableRow(flightplan::ActivePlan())) return false;
      } else if (navdb::entry_state.PendingPlanOpen != 1 || !DeletableRow(flightplan::PendingPlan())) {
        return false;
      }
      s.GnsDeleteRequested = 1;
      return true;
    case kPageNavigation:
      if (LineState(7) == 1) {
        CycleEntry({"ALT?", "ETA?"});
        if (line10_first) ToggleNavMode();
        return true;
      }
      if (line10_first) {
        ToggleNavMode();
        return true;
      }
      return false;
    default:
      return false;
  }
}

// ---- direct-to ---------------------------------------------------------------------

// The route's working copy for a direct-to: the flown route, copied as
// every modification starts (holds and the tracked waypoint follow their
// entries), with its end marker counted as its last entry. A full route (no
// slot after its last waypoint) is copied whole without one. The copy takes
// the place of whatever the pending route held: a change of another route
// computer waiting for EXEC is given up (route state 3; a modification of
// the flown route as ERASE gives it up, its holds with it), so that EXEC
// never takes the copy with its marker for a waypoint, and no page edits it
// as a stored plan. The routes are stamped: the direct-to commits only
// while they are as it left them.
void MakeDirectWorkingCopy() {
  State& s = S();
  flightplan::State& fp = Fp();
  const int last = flightplan::LastIndex(flightplan::ActivePlan());
  flightplan::GiveUpPendingChange();
  // A stored plan opened on page 1 is gone with it.
  navdb::entry_state.PendingPlanOpen = 0;
  // As BeginRouteModification copies in route state 3; a route flown
  // without one (state 0) is copied all the same.
  flightplan::CopyActiveToPendingPlan();
  fp.PendingFlightPlanLastIndex = std::min(last + 1, flightplan::kMaxPlanLastIndex);
  const model::FlightPlanWaypoint* target = fp.PendingFlightPlan.At(fp.EditWaypointIndex);
  s.NavigatorScratchpad = target != nullptr ? target->ident : std::string();
  s.GnsXlsEntryActive = 1;
  s.ScratchpadClearPending = 1;
  flightplan::ScratchpadKeyInput("", 1);
  s.GnsDirectCopyStamp = RoutesStamp();
}

// A waypoint of an active route is flown to: not the index a stored plan
// opened before any route was active names (the CDU's DIR INTC says "NO
// ACTIVE ROUTE" then), which has nothing to go direct from.
bool HasActiveWaypoint() {
  const flightplan::State& fp = Fp();
  const int act = fp.ActiveWaypointIndex;
  return act >= 1 && act <= flightplan::LastIndex(flightplan::ActivePlan());
}

}  // namespace

void PressNav() { PageKey(kPageNavigation, S().GnsNavSubPage, kNavSubPages); }

void PressVnav() {
  State& s = S();
  if (s.GnsXlsPage != kPageVnav && ShowsActiveView() && s.GnsXlsEntryActive == 1) {
    s.GnsXlsPage = kPageVnavBlank;
    return;
  }
  PageKey(kPageVnav, s.GnsVnavSubPage, s.GnsVnavPageCount);
}

void PressPlan() { PageKey(kPagePlan, S().GnsPlanSubPage, kPlanSubPages); }

void PressFpl() {
  State& s = S();
  flightplan::ResetGnsSelectionState();
  if (ShowsActiveView()) {
    ++s.GnsActivePlanPage;
    if (s.GnsActivePlanPage >= 2 && s.GnsActivePlanPage > s.GnsActivePlanPageCount) {
      s.GnsXlsFplView = kViewStored;
      s.GnsActivePlanPage = 1;
      s.GnsPlanListPage = 1;
    }
  } else if (ShowsStoredView()) {
    std::int32_t& open = navdb::entry_state.PendingPlanOpen;
    if (open == 1) {
      open = 0;
      s.GnsPlanListPage = 1;
    } else {
      ++s.GnsPlanListPage;
    }
    if (s.GnsPlanListPage > 1 && s.GnsPlanListPage > Fp().GnsFplListPageCount) {
      s.GnsXlsFplView = kViewActive;
      s.GnsPlanListPage = 0;
      s.GnsActivePlanPage = 1;
    }
  } else {
    s.GnsXlsFplView = kViewActive;
    s.GnsActivePlanPage = 1;
    s.GnsPlanListPage = 1;
  }
  s.GnsFplDataColumnChoice = s.GnsFplDataColumn;
  s.GnsXlsPage = kPageFlightPlan;
}

void PressHold() {
  State& s = S();
  if (ShowsActiveView() && HoldRowSelected()) BuildHoldAt(s.GnsSelectedWaypointIndex);
  s.GnsXlsPage = kPageHolding;
  s.NavigatorScratchpad.clear();
}

void PressLineKey(std::int32_t key) { S().GnsXlsLineSelectKey = key; }

void PressPrevPage() { StepPages(-1); }
void PressNextPage() { StepPages(+1); }

void PressDirect() {
  State& s = S();
  if (!HasActiveWaypoint()) return;
  if (s.GnsXlsPage == kPageDirect) {
    StepWithin(s.GnsDirectPage, s.GnsDirectPageCount, +1);
  } else {
    s.GnsDirectPage = 1;
    s.GnsDirectEntryStep = 0;
    s.GnsDirectTargetIndex = -1;
    // A turn side chosen for an earlier direct-to would force this one's turn.
    s.TurnDirectionText = "DEFAULT";
    flightplan::ResetGnsSelectionState();
    MakeDirectWorkingCopy();
  }
  s.GnsXlsPage = kPageDirect;
  s.GnsWaypointEntryText = "NO";
  flightplan::ResetGnsSelectionState();
  s.GnsXlsDirectPressed = 1;
}

void PressClear() {
  S().GnsXlsClearPressed = 1;
  if (!ClearByPage()) DeleteLastCharacter();
}

void TypeCharacter(char c) { flightplan::ScratchpadKeyInput(std::string(1, c), 0); }

}  // namespace ovi::gnsxls
