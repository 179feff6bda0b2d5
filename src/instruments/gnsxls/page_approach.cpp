// APCH (page 12): the destination's runway, approach type and approach
// transition in three rows, pick lists of each, and the approach's legs
// once it is resolved. ENT commits the picks (enter_arrival.cpp).
//
// Unlike DEPARTURE and ARRIVAL the page is not stepped by the previous and
// next keys (only its first page is ever shown), its key 6 sets no
// clear-pending, key 7 asks for the flown route's destination rather than
// the one on show, and the transition markers point the other way.
#include <string>

#include "src/flightplan/procedure_splice.h"
#include "src/instruments/gnsxls/kit.h"
#include "src/instruments/gnsxls/pages.h"
#include "src/instruments/gnsxls/procedure_list.h"
#include "src/instruments/gnsxls/state.h"
#include "src/model/state.h"
#include "src/navdb/procedures.h"

namespace ovi::gnsxls {

namespace {

model::State& M() { return model::model_state; }
using model::IsNone;

void DestinationAndRunwayKey() {
  State& s = gnsxls_state;
  model::State& m = M();
  SetLineState(7, 0);
  if (LineState(6) == 1) {
    // The typed ident is not looked at: ENT does that.
    SetLineState(6, 2);
    m.SelectedApproachTo = model::kNoneText;
    s.GnsApproachSelection = 0;
    s.GnsActiveFieldCode = 0;
    s.GnsXlsEntryActive = 0;
  } else {
    flightplan::ResetGnsSelectionState();
    s.NavigatorScratchpad = m.PendingDestinationIdent;
    SetLineState(6, 1);
    s.GnsXlsEntryActive = 1;
    s.GnsAirportNotFound = 0;
    navdb::ListApproachIafs(m.SelectedApproach, m.SelectedApproachTransition);
  }
  ClearLines(Lines({3, 4, 5}));
}

void TypeAndTransitionKey() {
  State& s = gnsxls_state;
  model::State& m = M();
  s.GnsAirportNotFound = 0;
  if (IsNone(m.DestinationAirportIdent)) return;
  const bool types_open = LineState(7) == 1;
  flightplan::ResetGnsSelectionState();
  if (types_open) {
    SetLineState(7, 2);
    m.SelectedApproachTransition = model::kNoneText;
    s.GnsApproachSelection = 0;
    flightplan::BuildTransitionList();
  } else {
    SetLineState(7, 1);
    m.SelectedApproach = model::kNoneText;
    s.GnsApproachSelection = 0;
    navdb::ListApproachIafEntries(m.SelectedApproachTo, m.SelectedApproachTransition);
  }
  s.GnsApproachPage = 1;
  s.GnsXlsEntryActive = 0;
}


enum class Shown { kNothing, kPreview, kRunways, kTypes, kTransitions };

// The page count's precedence: the lists before the preview.
Shown WhatIsShown() {
  if (LineState(6) == 2) return Shown::kRunways;
  if (LineState(7) == 1) return Shown::kTypes;
  if (LineState(7) == 2) return Shown::kTransitions;
  if (gnsxls_state.GnsApproachSelection == 1) return Shown::kPreview;
  return Shown::kNothing;
}

ListOnShow ListOf(Shown shown) {
  model::AirportProcedureSet& d = DestinationProcedures();
  const navdb::ProcedureState& p = navdb::procedure_state;
  switch (shown) {
    case Shown::kPreview:
      return {&kPreviewLayout, p.ApproachLegCount, [&p](int i) { return p.ApproachList[i].fix_ident; },
              [&p](int i) { return p.ApproachList[i].role; }};
    case Shown::kRunways:
      return {&kRunwayListLayout, d.ArrivalRunwayListCount, [&d](int i) { return d.ArrivalRunwayNameList[i].name; }};
    case Shown::kTypes:
      return {&kArrivalNameListLayout, d.ApproachTransitionCount, [&d](int i) { return d.ApproachTransitionTable[i].type; }};
    case Shown::kTransitions:
      return {&kArrivalTransitionListLayout, d.ApproachTransitionListCount,
              [&d](int i) { return d.ApproachTransitionList[i].name; }};
    case Shown::kNothing:
      break;
  }
  return {&kArrivalNameListLayout, 0, [](int) { return std::string(); }};
}

// The runway list's pages are counted over every runway of the airport,
// the others over their lists.
int PageCountBase(Shown shown, const ListOnShow& list) {
  return shown == Shown::kRunways ? DestinationProcedures().RunwayCount : list.count;
}

}  // namespace

void DrawGnsxlsApproachPage(display::GaugeDisplay& display, gfx::Graphics& g) {
  State& s = gnsxls_state;
  const model::State& m = M();
  GnsPage page(display, g);
  PressProcedureLineKey(s.GnsXlsLineSelectKey, DestinationAndRunwayKey, TypeAndTransitionKey, kKeysClosingListLines,
                        s.GnsApproachSelection == 1);

  const Shown shown = WhatIsShown();
  const bool preview = shown == Shown::kPreview;
  const ListOnShow list = ListOf(shown);
  // In any other state the count keeps its last value.
  if (shown != Shown::kNothing) {
    s.GnsApproachPageCount = ProcedurePageCount(PageCountBase(shown, list), ProcedureRowsPerPage(preview));
  }

  const bool has_destination = !IsNone(m.PendingDestinationIdent);
  DrawProcedureFrame(page, {"APCH",
                            m.PendingDestinationIdent,
                            kMagenta,
                            s.GnsApproachPage,
                            s.GnsApproachPageCount,
                            {{"RUNWAY", RunwayChoiceText(m.SelectedApproachTo), LineState(6) == 2},
                             {"TYPE", m.SelectedApproach, LineState(7) == 1},
                             {"TRANSITION", m.SelectedApproachTransition, LineState(7) == 2}},
                            preview ? "WPTS OF APPROACH:" : nullptr});
  int highlighted = 0;
  const int rows = DrawListOnShow(page, list, shown != Shown::kNothing, preview, s.GnsApproachPage, &highlighted);

  if (has_destination) {
    page.Marker(6, ">");
    page.Marker(7, ">");
  }
  if (shown == Shown::kTransitions) ListKeyMarkers(page, rows, "<", ">");
  page.DrawMarkers();
}

}  // namespace ovi::gnsxls
