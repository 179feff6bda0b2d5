// ENT on the procedure pages and on page 1's lines that open them: each
// accepted item narrows the lists, fills in an item that has only one
// possible value and moves the page to the next missing item; with all of
// them known the page asks to confirm, and the last ENT splices the
// procedure into the route being edited and records the choice.
//
// Every typed text is taken trimmed (EntryText): the entry line is padded
// to its field and would never match a list entry otherwise.
#include <string>

#include "src/flightplan/procedure_splice.h"
#include "src/flightplan/plan_ops.h"
#include "src/flightplan/state.h"
#include "src/guidance/state.h"
#include "src/instruments/gnsxls/enter_key.h"
#include "src/instruments/gnsxls/enter_shares.h"
#include "src/instruments/gnsxls/kit.h"
#include "src/instruments/gnsxls/navigator.h"
#include "src/instruments/gnsxls/procedure_entry.h"
#include "src/instruments/gnsxls/route_edits.h"
#include "src/instruments/gnsxls/state.h"
#include "src/model/state.h"
#include "src/navdb/entry_state.h"
#include "src/navdb/procedures.h"
#include "src/navdb/waypoint_entry.h"

namespace ovi::gnsxls {

namespace {

State& S() { return gnsxls_state; }
model::State& M() { return model::model_state; }
navdb::ProcedureState& P() { return navdb::procedure_state; }
model::AirportProcedureSet& Origin() { return P().AirportProcedureSets[1]; }
using model::IsNone;
const char* const kNone = model::kNoneText;

// Where each view keeps a departure choice.
struct DepartureStores {
  std::string *sid, *transition, *runway, *origin;
};
DepartureStores DepartureStoresOfView() {
  model::State& m = M();
  if (EditsFlownRoute())
    return {&m.RouteSid, &m.SelectedSidTransition, &m.RouteDepartureRunway, &m.OriginAirportIdent};
  return {&m.PlanSelectionText2, &m.GnsSelectedSidTransition, &m.PendingDepartureRunway, &m.PendingOriginIdent};
}

// Line 4 state 2: DEPARTURE at its first missing item. The SID and
// transition openings set the line to the state before the one wanted and
// post key 7, whose own handling on the page opens the list.
void OpenDeparture() {
  State& s = S();
  model::State& m = M();
  s.GnsXlsPage = kPageDeparture;
  s.GnsAirportNotFound = 0;
  flightplan::ResetGnsSelectionState();
  const DepartureStores v = DepartureStoresOfView();
  m.GnsDepartureSelectionText = *v.sid;
  m.RouteSidTransition = *v.transition;
  m.SelectedDepartureRunway = *v.runway;
  // The origin comes from the view's own store, as the other items do: an
  // activation sets PendingOriginIdent to none, and the flown route's
  // departure would then ask for an airport the route already has.
  m.RteOriginIdent = *v.origin;
  LoadProcedureSetFor(m.RteOriginIdent, 1);
  s.NavigatorScratchpad = m.RteOriginIdent;
  if (IsNone(m.RteOriginIdent)) {
    SetLineState(6, 1);
    s.GnsDepartureSelection = 0;
    s.GnsXlsEntryActive = 1;
    s.ScratchpadClearPending = 1;
  } else if (IsNone(m.GnsDepartureSelectionText)) {
    SetLineState(7, 2);
    s.GnsXlsLineSelectKey = 7;
  } else if (IsNone(m.RouteSidTransition)) {
    SetLineState(7, 1);
    s.GnsXlsLineSelectKey = 7;
  } else if (IsNone(m.SelectedDepartureRunway)) {
    SetLineState(6, 1);
    s.GnsXlsLineSelectKey = 6;
  } else {
    // The preview shows the legs of this choice, not of the last one built.
    navdb::SelectSidEntry();
    s.GnsDepartureSelection = 1;
  }
  s.GnsDeparturePage = 1;
}

// The index of the origin's SID of that name, 0 when none.
int SidIndexByName(const std::string& name) {
  navdb::FindSidIndex(name);
  return P().SelectedSidIndex;
}

void ConfirmDeparture() {
  if (RefusedWithoutRoute()) return;
  State& s = S();
  model::State& m = M();
  const bool flown = EditsFlownRoute();
  if (flown) {
    flightplan::State& fp = flightplan::flightplan_state;
    BeginFlownRouteEdit();
    flightplan::InsertSidIntoActivePlan();
    EndFlownRouteEdit();
    // The route restarts at waypoint 1, whose position exists only when the
    // route has one.
    if (flightplan::LastIndex(flightplan::ActivePlan()) >= 1) {
      fp.ActiveWaypointIndex = 1;
      guidance::guidance_state.ActiveWaypointLat = fp.ActiveFlightPlan[1].latitude;
      guidance::guidance_state.ActiveWaypointLon = fp.ActiveFlightPlan[1].longitude;
    }
    s.GnsLoadedPlanFlagB = 1;
    s.GnsActivePlanPage = 1;
    guidance::guidance_state.DirectToActive = 0;
    m.RouteSid = m.GnsDepartureSelectionText;
    m.SelectedSidTransition = m.RouteSidTransition;
    m.RouteDepartureRunway = m.SelectedDepartureRunway;
    m.OriginAirportIdent = m.RteOriginIdent;
  } else {
    flightplan::InsertSidIntoPendingPlan();
    m.PlanSelectionText2 = m.GnsDepartureSelectionText;
    m.GnsSelectedSidTransition = m.RouteSidTransition;
    m.PendingDepartureRunway = m.SelectedDepartureRunway;
    m.PendingOriginIdent = m.RteOriginIdent;
  }
  BackToFlightPlan();
  s.GnsXlsEntryActive = 0;
  s.GnsDeparturePage = 0;
  flightplan::ResetGnsSelectionState();
}

void TakeDepartureRunway(const std::string& entry) {
  model::State& m = M();
  m.SelectedDepartureRunway = entry;
  flightplan::ResetGnsSelectionState();
  navdb::ListSids(m.SelectedDepartureRunway, m.RouteSidTransition);
  if (IsNone(m.GnsDepartureSelectionText))
    SetLineState(7, 1);
  else if (IsNone(m.RouteSidTransition))
    SetLineState(7, 2);
  S().GnsDeparturePage = 1;
}

void TakeSid(const std::string& entry) {
  State& s = S();
  model::State& m = M();
  m.GnsDepartureSelectionText = entry;
  flightplan::ResetGnsSelectionState();
  s.GnsDeparturePage = 1;
  s.GnsActiveFieldCode = 1;
  if (IsNone(m.SelectedDepartureRunway)) {
    navdb::ListSidRunways(m.GnsDepartureSelectionText);
    SetLineState(6, 2);
  }
  if (IsNone(m.RouteSidTransition)) {
    navdb::ListSidTransitions(m.GnsDepartureSelectionText, m.SelectedDepartureRunway, 0);
    // A SID of one leg on a transition names its transition; a second such
    // leg leaves the choice to the pilot.
    const int index = SidIndexByName(m.GnsDepartureSelectionText);
    const model::AirportProcedureSet& o = Origin();
    if (index >= 1 && index <= o.SidCount) {
      const model::ProcedureRecord& sid = o.SidTable[index];
      int named = 0;
      for (int l = 1; l <= sid.leg_count && decltype(sid.legs)::InRange(l); ++l) {
        if (sid.legs[l].transition.empty()) continue;
        if (++named == 1) {
          m.RouteSidTransition = sid.legs[l].transition;
        } else {
          m.RouteSidTransition = kNone;
          SetLineState(6, 0);
          SetLineState(7, 2);
          break;
        }
      }
    }
    P().SelectedSidIndex = index;
  } else {
    P().SelectedSidIndex = SidIndexByName(m.GnsDepartureSelectionText);
  }
  if (IsNone(m.RouteSidTransition))
    SetLineState(7, 2);
  else if (IsNone(m.SelectedDepartureRunway))
    SetLineState(6, 2);
}

void TakeSidTransition(const std::string& entry) {
  model::State& m = M();
  m.RouteSidTransition = entry;
  flightplan::ResetGnsSelectionState();
  if (IsNone(m.GnsDepartureSelectionText)) {
    navdb::ListSids(m.SelectedDepartureRunway, m.RouteSidTransition);
    const model::AirportProcedureSet& o = Origin();
    if (o.SidNameListCount == 1) {
      m.GnsDepartureSelectionText = o.SidNameList[1].name;
      P().SelectedSidIndex = SidIndexByName(m.GnsDepartureSelectionText);
    } else if (o.SidNameListCount > 1) {
      SetLineState(3, 1);
    }
  }
  if (IsNone(m.GnsDepartureSelectionText)) {
    SetLineState(7, 1);
  } else if (IsNone(m.SelectedDepartureRunway)) {
    navdb::ListSidRunways(m.GnsDepartureSelectionText);
    SetLineState(6, 2);
  }
  S().GnsDeparturePage = 1;
}

}  // namespace

void LoadProcedureSetFor(const std::string& airport, int which) {
  if (!IsNone(airport) && P().AirportProcedureSets[which].AirportIdent != airport)
    navdb::LoadAirportProcedures(airport, which);
}

bool TakeAirportEntry(std::int32_t page) {
  State& s = S();
  model::State& m = M();
  const std::string ident = EntryText();
  // APCH keeps the typed ident as its destination before the look-up, and
  // gives it up again when the look-up fails.
  if (page == kPageApproach) m.PendingDestinationIdent = ident;
  if (navdb::LoadAirportProcedures(ident, page == kPageDeparture ? 1 : 2) != 1) {
    s.GnsAirportNotFound = 1;
    if (page == kPageApproach) {
      m.PendingDestinationIdent = kNone;
      s.GnsXlsEntryActive = 0;
      SetLineState(6, 0);
    }
    return false;
  }
  (page == kPageDeparture ? m.RteOriginIdent : m.PendingDestinationIdent) = ident;
  navdb::entry_state.WaypointEntryText = ident;
  navdb::ResolveWaypointEntry(navdb::kAirportsOnly);
  s.GnsDatabaseWaypointPage = 1;
  s.SelectedCandidateIndex = 1;
  s.GnsXlsReturnPage = page;
  s.GnsXlsPage = kPageDatabaseWaypoint;
  s.GnsAirportNotFound = 0;
  return true;
}

bool RefusedWithoutRoute() {
  if (EditedRouteOpen()) return false;
  State& s = S();
  s.GnsDepartureSelection = s.GnsArrivalSelection = s.GnsApproachSelection = 0;
  s.GnsXlsEntryActive = 0;
  BackToFlightPlan();
  flightplan::ResetGnsSelectionState();
  return true;
}

void EnterOpenProcedurePage() {
  if (LineState(4) == 2) return OpenDeparture();
  if (LineState(5) == 1) return OpenArrival();
  if (LineState(5) == 2) return OpenApproach();
}

void EnterProcedureAirport() {
  State& s = S();
  model::State& m = M();
  if (s.GnsXlsReturnPage == kPageDeparture) {
    s.GnsXlsPage = kPageDeparture;
    s.GnsDeparturePage = 1;
    flightplan::ResetGnsSelectionState();
    SetLineState(7, 1);
    SetLineState(3, 1);
    s.GnsActiveFieldCode = 1;
    m.GnsDepartureSelectionText = m.RouteSidTransition = m.SelectedDepartureRunway = kNone;
    navdb::ListSids(kNone, kNone);
    s.GnsDepartureSelection = 0;
  } else if (s.GnsXlsReturnPage == kPageArrival) {
    ReturnToArrival();
  } else if (s.GnsXlsReturnPage == kPageApproach) {
    ReturnToApproach();
  }
}

void EnterDeparture() {
  State& s = S();
  model::State& m = M();
  if (s.GnsDepartureSelection == 1 && LineState(5) == 1) return ConfirmDeparture();
  const std::string entry = EntryText();
  if (LineState(6) == 2) {
    TakeDepartureRunway(entry);
  } else if (LineState(6) == 1) {
    TakeAirportEntry(kPageDeparture);
    return;
  } else if (LineState(7) == 1) {
    TakeSid(entry);
  } else if (LineState(7) == 2) {
    TakeSidTransition(entry);
  }
  if (!IsNone(m.GnsDepartureSelectionText) && !IsNone(m.RouteSidTransition) && !IsNone(m.SelectedDepartureRunway) &&
      s.GnsDepartureSelection == 0) {
    navdb::SelectSidEntry();
    s.GnsDeparturePage = 1;
    s.GnsDepartureSelection = 1;
    SetLineState(5, 1);
  }
}

}  // namespace ovi::gnsxls
