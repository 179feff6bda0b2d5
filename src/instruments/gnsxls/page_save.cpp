// SAVE ACTIVE FPL (page 14): the active route stored as a route file under
// a name proposed from its end airports. Line key 2 opens the name for
// editing and, pressed again, closes it with the name it had; ENT accepts
// the name, and with the field closed writes the file (enter_key.cpp). A
// save ENT refused or that failed is said on the page, which stays.
#include <string>

#include "src/flightplan/entry_line.h"
#include "src/flightplan/procedure_splice.h"
#include "src/flightplan/plan_ops.h"
#include "src/flightplan/state.h"
#include "src/instruments/gnsxls/kit.h"
#include "src/instruments/gnsxls/pages.h"
#include "src/instruments/gnsxls/state.h"

namespace ovi::gnsxls {

namespace {

State& S() { return gnsxls_state; }

constexpr float kNameX = 30.0f;
constexpr float kNameY = 120.0f;
constexpr float kOpenExtensionX = 230.0f;
constexpr float kCharWidth = 20.0f;
constexpr float kRefusedY = 200.0f;
constexpr int kNameCells = static_cast<int>(kSaveNameWidth);

// Closing the field puts the name shown back into the entry line, from
// which ENT writes the file: what is saved is what the page shows.
void LineKey2() {
  State& s = S();
  const bool open = LineState(2) == 0;
  flightplan::ResetGnsSelectionState();
  s.GnsSaveRefused = 0;
  s.NavigatorScratchpad = s.GnsSaveFileName;
  if (open) {
    SetLineState(2, 2);
    s.ScratchpadClearPending = 1;
    s.GnsXlsEntryActive = 1;
    flightplan::ScratchpadKeyInput("", 1);
  } else {
    SetLineState(2, 0);
    s.GnsXlsEntryActive = 0;
  }
}

const char* RefusedText(std::int32_t why) {
  switch (why) {
    case kSaveRefusedName:
      return "INVALID NAME";
    case kSaveRefusedWrite:
      return "SAVE FAILED";
    default:
      return "";
  }
}

}  // namespace

void DrawGnsxlsSaveFlightPlanPage(display::GaugeDisplay& display, gfx::Graphics& g) {
  State& s = S();
  GnsPage page(display, g);
  if (s.GnsXlsLineSelectKey == 2) LineKey2();

  const flightplan::State& fp = flightplan::flightplan_state;
  const int last = flightplan::LastIndex(flightplan::ActivePlan());
  page.Text(90, kTitleY, kWhite, "SAVE ACTIVE FPL ");
  if (last >= 0) {
    page.Text(96, 40, kGreen, fp.ActiveFlightPlan[0].ident);
    page.Text(240, 40, kGreen, "-");
    page.Text(280, 40, kGreen, fp.ActiveFlightPlan[last].ident);
  }
  page.Text(30, 80, kGreen, "Filename:");
  if (LineState(2) == 2 && s.GnsXlsEntryActive == 1) {
    page.OnBlock(kNameX, kNameY, s.NavigatorScratchpad, kNameCells);
    page.Text(kOpenExtensionX, kNameY, kGreen, ".RTE");
  } else {
    page.Text(kNameX, kNameY, kGreen, s.GnsSaveFileName);
    page.Text(kNameX + kCharWidth * static_cast<float>(s.GnsSaveFileName.size()), kNameY, kGreen, ".RTE");
  }
  page.Text(kNameX, kRefusedY, kYellow, RefusedText(s.GnsSaveRefused));
  page.Marker(2, ">");
  page.DrawMarkers();
}

}  // namespace ovi::gnsxls
