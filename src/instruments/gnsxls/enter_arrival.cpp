// ENT on ARRIVAL and APCH and on page 1's lines that open them: as on
// DEPARTURE, each accepted item narrows the lists, fills in an item with
// one possible value and opens the next missing one; the complete choice
// is spliced into the route being edited and recorded in its view's stores.
//
// Each view keeps its own arrival and approach choice. The stored plan's
// names are odd and kept (its STAR lives in GnsSelectedStarTransition, its
// transition in StarTransitionNone; the flown route's approach in
// PlanSelectionText3 and its transition in GnsSelectedApproach), but a
// choice made on the stored plan never lands in the flown route's stores:
// that would replace the destination being flown to.
#include <algorithm>
#include <string>

#include "src/flightplan/plan_ops.h"
#include "src/flightplan/procedure_splice.h"
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
#include "src/navdb/procedures.h"

namespace ovi::gnsxls {

namespace {

State& S() { return gnsxls_state; }
model::State& M() { return model::model_state; }
navdb::ProcedureState& P() { return navdb::procedure_state; }
model::AirportProcedureSet& Destination() { return P().AirportProcedureSets[2]; }
using model::IsNone;
const char* const kNone = model::kNoneText;
using flightplan::ResetGnsSelectionState;

struct ArrivalStores {
  std::string *star, *transition, *runway, *destination;
};
ArrivalStores ArrivalStoresOfView() {
  model::State& m = M();
  if (EditsFlownRoute())
    return {&m.SelectedStar, &m.PendingStarTransition, &m.SelectedArrivalRunway, &m.DestinationAirportIdent};
  return {&m.GnsSelectedStarTransition, &m.StarTransitionNone, &m.PlanSelectionText1, &m.PlanFinalWaypointIdent};
}

struct ApproachStores {
  std::string *approach, *transition, *runway, *destination;
};
ApproachStores ApproachStoresOfView() {
  model::State& m = M();
  if (EditsFlownRoute())
    return {&m.PlanSelectionText3, &m.GnsSelectedApproach, &m.SelectedArrivalRunway, &m.DestinationAirportIdent};
  return {&m.GnsSelectedApproachVia, &m.ApproachNone, &m.PlanSelectionText1, &m.PlanFinalWaypointIdent};
}

// The flown route's active waypoint as the splice left it, within the route
// and with its position.
void KeepActiveWaypointWithin() {
  flightplan::State& fp = flightplan::flightplan_state;
  const int last = flightplan::LastIndex(flightplan::ActivePlan());
  if (last < 1) return;
  fp.ActiveWaypointIndex = std::clamp(fp.ActiveWaypointIndex, 1, last);
  guidance::guidance_state.ActiveWaypointLat = fp.ActiveFlightPlan[fp.ActiveWaypointIndex].latitude;
  guidance::guidance_state.ActiveWaypointLon = fp.ActiveFlightPlan[fp.ActiveWaypointIndex].longitude;
}

// ---- ARRIVAL ----------------------------------------------------------------

void ConfirmArrival() {
  if (RefusedWithoutRoute()) return;
  State& s = S();
  model::State& m = M();
  s.GnsArrivalSelection = 0;
  if (EditsFlownRoute()) {
    BeginFlownRouteEdit();
    flightplan::InsertStarIntoActivePlan();
    EndFlownRouteEdit();
    s.GnsActivePlanPage = 1;
  } else {
    flightplan::InsertStarIntoPendingPlan();
  }
  const ArrivalStores v = ArrivalStoresOfView();
  *v.star = m.GnsArrivalSelectionText;
  *v.transition = m.RouteStarTransition;
  *v.runway = m.SelectedApproachTo;
  *v.destination = m.PendingDestinationIdent;
  BackToFlightPlan();
  guidance::guidance_state.DirectToActive = 0;
  ResetGnsSelectionState();
}

// The runway ends the press once it has opened the next missing list: run
// on, the transition rule would take whatever the entry line then holds
// (the STAR's name) for the transition.
void TakeArrivalRunway(const std::string& entry) {
  model::State& m = M();
  ResetGnsSelectionState();
  m.SelectedApproachTo = entry;
  navdb::ListStars(m.SelectedApproachTo, m.RouteStarTransition);
  if (IsNone(m.RouteStarTransition)) {
    navdb::ListStarTransitions(m.GnsArrivalSelectionText, m.SelectedApproachTo, 0);
    SetLineState(7, 1);
    S().GnsActiveFieldCode = 1;
  } else if (IsNone(m.GnsArrivalSelectionText)) {
    SetLineState(7, 2);
    S().GnsActiveFieldCode = 1;
  }
}

void TakeStarTransition(const std::string& entry) {
  State& s = S();
  model::State& m = M();
  const model::AirportProcedureSet& d = Destination();
  m.RouteStarTransition = entry;
  ResetGnsSelectionState();
  if (IsNone(m.GnsArrivalSelectionText)) {
    navdb::ListStars(m.SelectedApproachTo, m.RouteStarTransition);
    if (d.StarListCount == 1) {
      m.GnsArrivalSelectionText = d.StarNameList[1].name;
      navdb::FindStarIndex(m.GnsArrivalSelectionText);
    }
  }
  if (IsNone(m.GnsArrivalSelectionText)) {
    SetLineState(7, 2);
    if (d.StarListCount > 1) SetLineState(3, 1);
    s.GnsActiveFieldCode = 1;
  } else if (IsNone(m.SelectedApproachTo)) {
    navdb::ListStarRunways(m.GnsArrivalSelectionText);
    SetLineState(6, 2);
    if (d.ArrivalRunwayListCount > 0) SetLineState(3, 1);
    s.GnsActiveFieldCode = 1;
  }
  s.GnsArrivalPage = 1;
}

void TakeStar(const std::string& entry) {
  State& s = S();
  model::State& m = M();
  const model::AirportProcedureSet& d = Destination();
  m.GnsArrivalSelectionText = entry;
  navdb::ListStarTransitions(m.GnsArrivalSelectionText, m.SelectedApproachTo, 0);
  navdb::ListStarRunways(m.GnsArrivalSelectionText);
  ResetGnsSelectionState();
  s.GnsArrivalPage = 1;
  s.GnsActiveFieldCode = 1;
  // A STAR with one leg on a transition names it; with none or several the
  // transition stays as it was.
  navdb::FindStarIndex(m.GnsArrivalSelectionText);
  const int index = P().SelectedStarIndex;
  if (index >= 1 && index <= d.StarCount) {
    const model::ProcedureRecord& star = d.StarTable[index];
    int named = 0;
    std::string name;
    for (int l = 1; l <= star.leg_count && decltype(star.legs)::InRange(l); ++l) {
      if (star.legs[l].transition.empty()) continue;
      ++named;
      name = star.legs[l].transition;
    }
    if (named == 1) m.RouteStarTransition = name;
  }
  if (IsNone(m.RouteStarTransition))
    SetLineState(7, 1);
  else if (IsNone(m.SelectedApproachTo))
    SetLineState(6, 2);
}

// ---- APCH ---------------------------------------------------------------------

void ConfirmApproach() {
  if (RefusedWithoutRoute()) return;
  State& s = S();
  model::State& m = M();
  s.GnsApproachSelection = 0;
  if (EditsFlownRoute()) {
    BeginFlownRouteEdit();
    flightplan::InsertApproachIntoActivePlan();
    EndFlownRouteEdit();
    BackToFlightPlan();
    // The approach goes in behind the waypoint being flown to, which stays
    // the active one: restarting the route at waypoint 1 would turn the
    // aircraft back to the departure.
    KeepActiveWaypointWithin();
    s.GnsActivePlanPage = 1;
    s.GnsLoadedPlanFlagB = 1;
  } else {
    // The stored plan's approach leaves the pilot on APCH.
    flightplan::InsertApproachIntoPendingPlan(0);
  }
  const ApproachStores v = ApproachStoresOfView();
  *v.approach = m.SelectedApproach;
  *v.transition = m.SelectedApproachTransition;
  *v.runway = m.SelectedApproachTo;
  *v.destination = m.PendingDestinationIdent;
  guidance::guidance_state.DirectToActive = 0;
  ResetGnsSelectionState();
}

// The one approach ListApproachIafEntries found, or none. Its table's
// first record is read only when it exists.
bool TakeOnlyApproach() {
  const model::AirportProcedureSet& d = Destination();
  if (d.ApproachTransitionCount != 1) return false;
  M().SelectedApproach = d.ApproachTransitionTable[1].name;
  return true;
}

void OpenApproachRunways() {
  const model::State& m = M();
  navdb::ListApproachIafs(m.SelectedApproach, m.SelectedApproachTransition);
  SetLineState(6, 2);
}

void OpenApproachTransitions() {
  flightplan::BuildTransitionList();
  SetLineState(7, 2);
}

void TakeApproachRunway(const std::string& entry) {
  model::State& m = M();
  m.SelectedApproachTo = entry;
  ResetGnsSelectionState();
  if (!IsNone(m.SelectedApproach) && !IsNone(m.SelectedApproachTransition)) {
    flightplan::SelectApproachTransition();
  } else if (IsNone(m.SelectedApproach)) {
    navdb::ListApproachIafEntries(m.SelectedApproachTo, m.SelectedApproachTransition);
    if (!TakeOnlyApproach())
      SetLineState(7, 1);
    else if (!IsNone(m.SelectedApproachTransition))
      flightplan::SelectApproachTransition();
    else
      OpenApproachTransitions();
  } else {
    OpenApproachTransitions();
  }
}

void TakeApproachType(const std::string& entry) {
  model::State& m = M();
  const model::AirportProcedureSet& d = Destination();
  ResetGnsSelectionState();
  m.SelectedApproach = entry;
  if (!IsNone(m.SelectedApproachTransition) && !IsNone(m.SelectedApproachTo)) {
    flightplan::SelectApproachTransition();
  } else if (IsNone(m.SelectedApproachTransition)) {
    flightplan::BuildTransitionList();
    const bool only = d.ApproachTransitionListCount == 1;
    if (only) m.SelectedApproachTransition = d.ApproachTransitionList[1].name;
    if (IsNone(m.SelectedApproachTo))
      OpenApproachRunways();
    else if (only)
      flightplan::SelectApproachTransition();
    else
      SetLineState(7, 2);  // the runway is known: the transition is what is missing
  } else {
    OpenApproachRunways();
  }
  S().GnsApproachPage = 1;
}

void TakeApproachTransition(const std::string& entry) {
  model::State& m = M();
  ResetGnsSelectionState();
  m.SelectedApproachTransition = entry;
  if (!IsNone(m.SelectedApproachTo) && !IsNone(m.SelectedApproach)) {
    flightplan::SelectApproachTransition();
  } else if (IsNone(m.SelectedApproach)) {
    navdb::ListApproachIafEntries(m.SelectedApproachTo, m.SelectedApproachTransition);
    if (!TakeOnlyApproach())
      SetLineState(7, 1);
    else if (!IsNone(m.SelectedApproachTo))
      flightplan::SelectApproachTransition();
    else
      OpenApproachRunways();
  } else {
    OpenApproachRunways();
  }
}

}  // namespace

// ARRIVAL opens at its first missing list: the line state set is the one
// from which the posted key 7 opens that list on this page (key 7 opens the
// transitions from any state but 1), so a known STAR or transition is
// never cleared on the way.
void OpenArrival() {
  State& s = S();
  model::State& m = M();
  ResetGnsSelectionState();
  s.GnsXlsPage = kPageArrival;
  s.GnsAirportNotFound = 0;
  s.GnsArrivalPage = 1;
  s.GnsArrivalSelection = 0;
  const ArrivalStores v = ArrivalStoresOfView();
  m.SelectedApproachTo = *v.runway;
  m.GnsArrivalSelectionText = *v.star;
  m.RouteStarTransition = *v.transition;
  // The destination of the view's own store: the flown route's is kept by
  // every edit and activation, the stored plan's by its opening and edits.
  m.PendingDestinationIdent = *v.destination;
  LoadProcedureSetFor(m.PendingDestinationIdent, 2);
  s.NavigatorScratchpad = m.PendingDestinationIdent;
  if (IsNone(m.PendingDestinationIdent)) {
    SetLineState(6, 1);
    s.GnsXlsEntryActive = 1;
    s.ScratchpadClearPending = 1;
  } else if (IsNone(m.GnsArrivalSelectionText)) {
    SetLineState(7, 1);
    s.GnsXlsLineSelectKey = 7;
  } else if (IsNone(m.RouteStarTransition)) {
    SetLineState(7, 2);
    s.GnsXlsLineSelectKey = 7;
  } else if (IsNone(m.SelectedApproachTo)) {
    SetLineState(6, 1);
    s.GnsXlsLineSelectKey = 6;
  }
}

void OpenApproach() {
  State& s = S();
  model::State& m = M();
  s.GnsXlsPage = kPageApproach;
  s.GnsApproachPage = 1;
  s.GnsApproachSelection = 0;
  ResetGnsSelectionState();
  const ApproachStores v = ApproachStoresOfView();
  m.SelectedApproach = *v.approach;
  m.SelectedApproachTransition = *v.transition;
  m.SelectedApproachTo = *v.runway;
  m.PendingDestinationIdent = *v.destination;
  s.GnsXlsReturnPage = kPageFlightPlan;
  if (IsNone(m.PendingDestinationIdent)) {
    s.NavigatorScratchpad = m.PendingDestinationIdent;
    SetLineState(6, 1);
    // Typing needs the entry open.
    s.GnsXlsEntryActive = 1;
  } else {
    // The runway list shown is this airport's, for the choice loaded.
    LoadProcedureSetFor(m.PendingDestinationIdent, 2);
    navdb::ListApproachIafs(m.SelectedApproach, m.SelectedApproachTransition);
    SetLineState(6, 2);
  }
}

// The list opened is the STAR list ListStars has just built (line 7 state
// 2 on this page), not the transition list of whatever airport was shown
// before.
void ReturnToArrival() {
  State& s = S();
  model::State& m = M();
  s.GnsXlsPage = kPageArrival;
  ResetGnsSelectionState();
  SetLineState(7, 2);
  SetLineState(3, 1);
  s.GnsActiveFieldCode = 1;
  m.SelectedApproachTo = m.GnsArrivalSelectionText = m.RouteStarTransition = kNone;
  navdb::ListStars(kNone, kNone);
  s.GnsArrivalSelection = 0;
  s.GnsArrivalPage = 1;
}

void ReturnToApproach() {
  State& s = S();
  model::State& m = M();
  s.GnsXlsPage = kPageApproach;
  ResetGnsSelectionState();
  m.SelectedApproachTo = m.SelectedApproach = m.SelectedApproachTransition = kNone;
  // The runway list of the airport just confirmed.
  navdb::ListApproachIafs(kNone, kNone);
  SetLineState(6, 2);
  s.GnsApproachPage = 1;
  s.GnsApproachSelection = 0;
}

void EnterArrival() {
  State& s = S();
  model::State& m = M();
  const std::string entry = EntryText();
  if (LineState(6) == 2) {
    TakeArrivalRunway(entry);
  } else if (s.GnsArrivalSelection == 1 && LineState(5) == 1) {
    return ConfirmArrival();
  } else if (LineState(6) == 1) {
    TakeAirportEntry(kPageArrival);
    return;
  } else if (LineState(7) == 1) {
    TakeStarTransition(entry);
  } else if (LineState(7) == 2) {
    TakeStar(entry);
  }
  if (!IsNone(m.GnsArrivalSelectionText) && !IsNone(m.RouteStarTransition) && !IsNone(m.SelectedApproachTo) &&
      s.GnsArrivalSelection == 0) {
    s.GnsArrivalPage = 1;
    s.GnsArrivalSelection = 1;
    // The preview is of the STAR named, whatever list position was last
    // highlighted.
    navdb::FindStarIndex(m.GnsArrivalSelectionText);
    navdb::SelectStarEntry();
    ResetGnsSelectionState();
    SetLineState(5, 1);
  }
}

void EnterApproach() {
  State& s = S();
  const std::string entry = EntryText();
  // The airport typed ends the press: the choice shown before belongs to
  // another airport and must not be confirmed for this one.
  if (LineState(6) == 1) {
    TakeAirportEntry(kPageApproach);
  } else if (LineState(6) == 2) {
    TakeApproachRunway(entry);
  } else if (LineState(7) == 1) {
    TakeApproachType(entry);
  } else if (LineState(7) == 2) {
    TakeApproachTransition(entry);
  } else if (s.GnsApproachSelection == 1) {
    ConfirmApproach();
  }
}

}  // namespace ovi::gnsxls
