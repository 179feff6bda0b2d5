// ARRIVAL (page 11): the destination airport, its runway, STAR transition
// and STAR in three rows, pick lists of each, and once all three are
// chosen the legs of the arrival with "SELECT" and "ERASE". ENT commits the
// picks (enter_arrival.cpp). Built as DEPARTURE is, with its own key 6 and
// 7: key 7 opens the transitions first, and key 6 keeps the page number.
#include <string>

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
  switch (LineState(6)) {
    case 0:
      s.NavigatorScratchpad = m.PendingDestinationIdent;
      SetLineState(6, 1);
      s.GnsXlsEntryActive = 1;
      s.ScratchpadClearPending = 1;
      break;
    case 1:
      if (IsNone(m.PendingDestinationIdent)) {
        SetLineState(6, 0);
        s.GnsXlsEntryActive = 0;
      } else {
        // Unlike DEPARTURE the page number stays: the runway list opens on
        // the page of the list shown before.
        SetLineState(6, 2);
        m.SelectedApproachTo = model::kNoneText;
        s.GnsArrivalSelection = 0;
        navdb::ListStarRunways(m.GnsArrivalSelectionText);
      }
      break;
    default:
      SetLineState(6, IsNone(m.PendingDestinationIdent) ? 0 : 1);
      s.GnsXlsEntryActive = 0;
      if (!IsNone(m.PendingDestinationIdent)) s.NavigatorScratchpad = m.PendingDestinationIdent;
      break;
  }
  ClearLines(Lines({3, 4, 5, 7, 8, 9, 10}));
}

// Without a destination key 7 leaves everything, the page number too.
void TransitionAndStarKey() {
  State& s = gnsxls_state;
  model::State& m = M();
  if (IsNone(m.PendingDestinationIdent)) return;
  if (LineState(7) == 1) {
    SetLineState(7, 2);
    m.GnsArrivalSelectionText = model::kNoneText;
    navdb::ListStars(m.SelectedApproachTo, m.RouteStarTransition);
  } else {
    SetLineState(7, 1);
    s.GnsActiveFieldCode = 1;
    m.RouteStarTransition = model::kNoneText;
    navdb::ListStarTransitions(m.GnsArrivalSelectionText, m.SelectedApproachTo, 0);
  }
  s.GnsArrivalSelection = 0;
  s.GnsArrivalPage = 1;
  ClearLines(Lines({3, 4, 5, 6, 8, 9, 10}));
}


enum class Shown { kNothing, kPreview, kRunways, kStars, kTransitions };

// One list at a time, by the page count's precedence.
Shown WhatIsShown() {
  if (gnsxls_state.GnsArrivalSelection == 1) return Shown::kPreview;
  if (LineState(6) == 2) return Shown::kRunways;
  if (LineState(7) == 2) return Shown::kStars;
  if (LineState(7) == 1) return Shown::kTransitions;
  return Shown::kNothing;
}

ListOnShow ListOf(Shown shown) {
  model::AirportProcedureSet& d = DestinationProcedures();
  switch (shown) {
    case Shown::kPreview: {
      const navdb::ProcedureState& p = navdb::procedure_state;
      return {&kPreviewLayout, p.StarLegCount, [&p](int i) { return p.StarList[i].fix_ident; }};
    }
    case Shown::kRunways:
      return {&kRunwayListLayout, d.ArrivalRunwayListCount, [&d](int i) { return d.ArrivalRunwayNameList[i].name; }};
    case Shown::kStars:
      return {&kArrivalNameListLayout, d.StarListCount, [&d](int i) { return d.StarNameList[i].name; }};
    case Shown::kTransitions:
      return {&kArrivalTransitionListLayout, d.StarTransitionListCount, [&d](int i) { return d.StarTransitionList[i].name; }};
    case Shown::kNothing:
      break;
  }
  return {&kArrivalNameListLayout, 0, [](int) { return std::string(); }};
}

}  // namespace

void DrawGnsxlsArrivalPage(display::GaugeDisplay& display, gfx::Graphics& g) {
  State& s = gnsxls_state;
  const model::State& m = M();
  GnsPage page(display, g);
  PressProcedureLineKey(s.GnsXlsLineSelectKey, DestinationAndRunwayKey, TransitionAndStarKey, kKeysClosingListLines,
                        s.GnsArrivalSelection == 1);

  // The preview pages by eight legs, as it draws them (and as DEPARTURE
  // does): twelve would leave legs 9 to 12 on no page.
  const Shown shown = WhatIsShown();
  const bool preview = shown == Shown::kPreview;
  const ListOnShow list = ListOf(shown);
  if (LineState(6) == 1) s.GnsArrivalPageCount = 1;
  // In any other state the count keeps its last value.
  if (shown != Shown::kNothing) s.GnsArrivalPageCount = ProcedurePageCount(list.count, ProcedureRowsPerPage(preview));

  const bool has_destination = !IsNone(m.PendingDestinationIdent);
  DrawProcedureFrame(page, {"ARRIVAL",
                            m.PendingDestinationIdent,
                            kMagenta,
                            s.GnsArrivalPage,
                            s.GnsArrivalPageCount,
                            {{"RUNWAY", RunwayChoiceText(m.SelectedApproachTo), LineState(6) == 2 && has_destination},
                             {"TRANSITION", m.RouteStarTransition, LineState(7) == 1},
                             {"STAR", m.GnsArrivalSelectionText, LineState(7) == 2}},
                            preview ? "WAYPOINTS OF STAR:" : nullptr});
  int highlighted = 0;
  const int rows = DrawListOnShow(page, list, shown != Shown::kNothing, preview, s.GnsArrivalPage, &highlighted);
  if (highlighted > 0 && shown == Shown::kStars) navdb::procedure_state.SelectedStarIndex = highlighted;

  page.Marker(6, "<");
  if (has_destination) page.Marker(7, "<");
  if (shown == Shown::kRunways || shown == Shown::kStars || shown == Shown::kTransitions)
    ListKeyMarkers(page, rows, ">", "<");
  page.DrawMarkers();
}

}  // namespace ovi::gnsxls
