// DEPARTURE (page 10): the origin airport, its runway, SID and transition
// in three rows, pick lists of each, and once all three are chosen the
// legs of the departure with "SELECT" and "ERASE". ENT commits the picks
// (enter_procedures.cpp); this page only moves the line states, the field
// code and the entry line.
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
model::AirportProcedureSet& Origin() { return navdb::procedure_state.AirportProcedureSets[1]; }
using model::IsNone;

constexpr const ListLayout& kRunways = kRunwayListLayout;
constexpr ListLayout kSids{40.0f, 292.0f, 160.0f, 40.0f, 6, "", 0, 6};
constexpr ListLayout kTransitions{40.0f, 292.0f, 160.0f, 40.0f, 6, "", 5, 5};
constexpr const ListLayout& kPreview = kPreviewLayout;

// Keys 5 and 10 confirm while the preview is shown.
constexpr ListKey kListKeys[] = {
    {3, 1, 2, Lines({1, 2, 4, 5})},  {4, 3, 4, Lines({1, 2, 3, 5})},  {5, 5, 6, Lines({1, 2, 3, 4})},
    {8, 7, 8, Lines({1, 2, 3, 4, 5})}, {9, 9, 10, Lines({1, 2, 3, 4, 5})}, {10, 11, 12, Lines({1, 2, 3, 4, 5})},
};

void AirportAndRunwayKey() {
  State& s = gnsxls_state;
  model::State& m = M();
  switch (LineState(6)) {
    case 0:
      s.NavigatorScratchpad = m.RteOriginIdent;
      SetLineState(6, 1);
      s.GnsXlsEntryActive = 1;
      s.ScratchpadClearPending = 1;
      break;
    case 1:
      if (IsNone(m.RteOriginIdent)) {
        SetLineState(6, 0);
        s.GnsXlsEntryActive = 0;
      } else {
        SetLineState(6, 2);
        m.SelectedDepartureRunway = model::kNoneText;
        s.GnsDepartureSelection = 0;
        navdb::ListSidRunways(m.GnsDepartureSelectionText);
        s.GnsDeparturePage = 1;
      }
      break;
    default:
      if (IsNone(m.RteOriginIdent)) {
        SetLineState(6, 0);
        s.GnsXlsEntryActive = 0;
      } else {
        SetLineState(6, 1);
        s.GnsXlsEntryActive = 0;
        s.NavigatorScratchpad = m.RteOriginIdent;
      }
      break;
  }
  ClearLines(Lines({1, 2, 3, 4, 5, 7}));
}

void SidAndTransitionKey() {
  State& s = gnsxls_state;
  model::State& m = M();
  if (!IsNone(m.RteOriginIdent)) {
    if (LineState(7) == 1) {
      SetLineState(7, 2);
      navdb::ListSidTransitions(m.GnsDepartureSelectionText, m.SelectedDepartureRunway, 0);
      m.RouteSidTransition = model::kNoneText;
      s.GnsDepartureSelection = 0;
    } else {
      SetLineState(7, 1);
      s.GnsActiveFieldCode = 1;
      m.GnsDepartureSelectionText = model::kNoneText;
      s.GnsDepartureSelection = 0;
      navdb::ListSids(m.SelectedDepartureRunway, m.RouteSidTransition);
    }
  }
  ClearLines(Lines({1, 2, 3, 4, 5, 6}));
  s.GnsDeparturePage = 1;
}


// What the page shows below its three rows, by the page count's precedence:
// one list at a time.
enum class Shown { kNothing, kPreview, kRunways, kSids, kTransitions };

Shown WhatIsShown() {
  if (gnsxls_state.GnsDepartureSelection == 1) return Shown::kPreview;
  if (LineState(6) == 2) return Shown::kRunways;
  if (LineState(7) == 1) return Shown::kSids;
  if (LineState(7) == 2) return Shown::kTransitions;
  return Shown::kNothing;
}

ListOnShow ListOf(Shown shown) {
  model::AirportProcedureSet& o = Origin();
  switch (shown) {
    case Shown::kPreview: {
      const navdb::ProcedureState& p = navdb::procedure_state;
      return {&kPreview, p.SidLegCount, [&p](int i) { return p.SidList[i].fix_ident; }};
    }
    case Shown::kRunways:
      return {&kRunways, o.DepartureRunwayListCount, [&o](int i) { return o.DepartureRunwayNameList[i].name; }};
    case Shown::kSids:
      return {&kSids, o.SidNameListCount, [&o](int i) { return o.SidNameList[i].name; }};
    case Shown::kTransitions:
      return {&kTransitions, o.SidTransitionListCount, [&o](int i) { return o.SidTransitionList[i].name; }};
    case Shown::kNothing:
      break;
  }
  return {&kSids, 0, [](int) { return std::string(); }};
}

}  // namespace

void DrawGnsxlsDeparturePage(display::GaugeDisplay& display, gfx::Graphics& g) {
  State& s = gnsxls_state;
  const model::State& m = M();
  GnsPage page(display, g);
  PressProcedureLineKey(s.GnsXlsLineSelectKey, AirportAndRunwayKey, SidAndTransitionKey, kListKeys,
                        s.GnsDepartureSelection == 1);

  const Shown shown = WhatIsShown();
  const bool preview = shown == Shown::kPreview;
  const ListOnShow list = ListOf(shown);
  if (shown == Shown::kNothing) {
    s.GnsDeparturePage = 1;
    s.GnsDeparturePageCount = 1;
  } else {
    s.GnsDeparturePageCount = ProcedurePageCount(list.count, ProcedureRowsPerPage(preview));
  }

  DrawProcedureFrame(page, {"DEPARTURE",
                            m.RteOriginIdent,
                            kYellow,
                            s.GnsDeparturePage,
                            s.GnsDeparturePageCount,
                            {{"RUNWAY", RunwayChoiceText(m.SelectedDepartureRunway), LineState(6) == 2},
                             {"SID", m.GnsDepartureSelectionText, LineState(7) == 1},
                             {"TRANSITION", m.RouteSidTransition, LineState(7) == 2}},
                            preview ? "WAYPOINTS OF SID:" : nullptr});
  int highlighted = 0;
  const int rows = DrawListOnShow(page, list, shown != Shown::kNothing, preview, s.GnsDeparturePage, &highlighted);
  if (highlighted > 0 && shown == Shown::kSids) navdb::procedure_state.SelectedSidIndex = highlighted;

  page.Marker(6, ">");
  if (!IsNone(m.RteOriginIdent)) page.Marker(7, ">");
  if (shown == Shown::kTransitions) ListKeyMarkers(page, rows, ">", "<");
  page.DrawMarkers();
}

}  // namespace ovi::gnsxls
