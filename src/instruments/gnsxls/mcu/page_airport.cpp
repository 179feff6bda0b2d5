// APT (page 2): an airport's details loaded by ident, its runways with one
// chosen for the radios (sub-page 1), and the runways the AI traffic uses
// (sub-page 2). While a flight-plan load passes through, the page takes the
// loader's airport and draws nothing but the editor's prompt.
#include <string>

#include "src/flightplan/runway_data.h"
#include "src/flightplan/state.h"
#include "src/guidance/state.h"
#include "src/host/sim_vars.h"
#include "src/instruments/gnsxls/kit.h"
#include "src/instruments/gnsxls/mcu/entry_editor.h"
#include "src/instruments/gnsxls/mcu/list_cursor.h"
#include "src/instruments/gnsxls/mcu/pages.h"
#include "src/instruments/gnsxls/mcu/state.h"
#include "src/instruments/gnsxls/state.h"
#include "src/model/state.h"
#include "src/navdb/navdb.h"
#include "src/navdb/state.h"

namespace ovi::mcu {

namespace {

using gnsxls::ScreenText;

constexpr std::int32_t kNoRunway = -999;
constexpr std::int32_t kTuneSelectedRunway = 1;
constexpr int kLoadDetailsDestination = 1;
constexpr int kLoadDetailsOrigin = 0;
constexpr int kBoxWidth = 28;
constexpr int kBoxHeight = 12;
constexpr float kAiRunwayX = 160.0f;
constexpr float kAiSecondRunwayX = 185.0f;
constexpr float kAiDepartureY = 20.0f;
constexpr float kAiArrivalY = 40.0f;

bool Loading() { return flightplan::flightplan_state.McuFlightPlanLoaded != 0; }

std::string Cut(const std::string& text, std::size_t n) { return text.substr(0, n); }

// The runway texts of the runway-data exchange end in a line feed; the
// screen shows the runway alone.
std::string RunwayOnly(const std::string& text) { return text.substr(0, text.find('\n')); }

ListCursor RunwayCursor() {
  gnsxls::State& s = gnsxls::gnsxls_state;
  return {s.McuRunwayListTop, mcu_state.McuRunwayCursorRow, s.McuRunwayScroll};
}

// ENTER with an ident: that airport's details. An ident the database does
// not hold as an airport uses the ENTER up and changes nothing else: it
// stays on the entry line to be corrected, the airport shown and the runway
// chosen stay. The ident a load left there is taken away all the same.
void LoadTypedAirport() {
  model::State& md = model::model_state;
  gnsxls::State& s = gnsxls::gnsxls_state;
  const bool loading = Loading();
  if (navdb::FindAirport(md.McuEntryText) == 0) {
    s.McuPageEntered = 0;
    if (loading) md.McuEntryText.clear();
    return;
  }
  navdb::State& nav = navdb::navdb_state;
  navdb::LoadAirportDetails(md.McuEntryText, loading ? kLoadDetailsOrigin : kLoadDetailsDestination);
  md.McuAirportElevationText = nav.AirportElevationText;
  md.McuAirportIdent = nav.AirportDetailText;
  if (md.McuShowActiveRwys == 1) flightplan::RequestRunwayData(md.McuAirportIdent);
  mcu_state.McuRunwayCursorRow = 1;
  s.McuPageEntered = 0;
  md.McuEntryText.clear();
  s.McuRunwayScroll = kNoRunway;
  nav.SelectedRunwayBase = kNoRunway;
}

void DrawEntryLine(McuPage& page) {
  if (mcu_state.McuEntryCursor != 0) {
    RunCharacterEditor(page, !Loading());
  } else if (!Loading()) {
    page.EntryLine(model::model_state.McuEntryText);
  }
}

void DrawAiRunways(McuPage& page) {
  const model::State& md = model::model_state;
  struct Line {
    float y;
    const char* label;
    const std::string& first;
    const std::string& second;
  } lines[] = {{kAiDepartureY, "AI Departure Rwys:", md.AiDepartureRunway1, md.AiDepartureRunway2},
               {kAiArrivalY, "AI Arrival Rwys:", md.AiArrivalRunway1, md.AiArrivalRunway2}};
  for (const Line& l : lines) {
    page.Text(0, l.y, kGreen, l.label);
    if (!l.first.empty()) page.Text(kAiRunwayX, l.y, kMagenta, RunwayOnly(l.first));
    if (!l.second.empty()) page.Text(kAiSecondRunwayX, l.y, kMagenta, "," + RunwayOnly(l.second));
  }
}

// ENTER on the runway list: the runway under the cursor is chosen (the
// radios tune for it on the next tick), or the choice undone when it is
// the chosen one.
void ChooseRunway() {
  gnsxls::State& s = gnsxls::gnsxls_state;
  navdb::State& nav = navdb::navdb_state;
  State& m = mcu_state;
  if (s.McuRunwayListTop + m.McuRunwayCursorRow - 1 > nav.AirportRunwayCount) return;
  if (s.McuRunwayScroll == m.McuRunwayCursorRow) {
    s.McuRunwayScroll = kNoRunway;
    nav.SelectedRunwayBase = kNoRunway;
    return;
  }
  guidance::guidance_state.RadioTuneRequest = kTuneSelectedRunway;
  nav.SelectedRunwayBase = m.McuRunwayCursorRow;
  nav.SelectedRunwayOffset = s.McuRunwayListTop;
  s.McuRunwayScroll = m.McuRunwayCursorRow;
}

void DrawRunwayList(McuPage& page) {
  State& m = mcu_state;
  gnsxls::State& s = gnsxls::gnsxls_state;
  const navdb::State& nav = navdb::navdb_state;
  const int count = nav.AirportRunwayCount;
  ListCursor cursor = RunwayCursor();
  if (m.McuUpPressed == 1) StepUp(cursor);
  if (m.McuDownPressed == 1) StepDown(cursor, count);
  if (m.McuRunwayCursorRow >= 1 && m.McuRunwayCursorRow <= kListRows)
    m.McuRunwayCursorY = kCursorBoxY[static_cast<std::size_t>(m.McuRunwayCursorRow)];
  const bool loading = Loading();
  const bool boxed = m.McuRunwayCursorY >= 1 && !loading;
  // The choice is made before the rows are drawn, so that this frame shows it.
  if (boxed && s.McuPageEntered == 1) ChooseRunway();

  for (int row = 1; row <= kListRows && !loading; ++row) {
    const int index = s.McuRunwayListTop + row - 1;
    if (index < 1 || index > count) continue;
    const model::RunwayRecord& r = nav.AirportRunwayTable[index];
    page.Text(0, kRowY[row], row == s.McuRunwayScroll ? kAmber : kGreen,
              ScreenText("%-3s %3s %-6s %03d %6d", Cut(r.number_text, 3).c_str(), Cut(r.extra_text1, 3).c_str(),
                         Cut(r.extra_text2, 6).c_str(), host::TruncateToInt32(r.approach_course), r.length));
  }
  if (boxed) page.CursorBox(0, m.McuRunwayCursorY, kBoxWidth, kBoxHeight);
}

}  // namespace

void DrawMcuAirportPage(McuFrame& frame) {
  McuPage page(frame.g);
  State& m = mcu_state;
  const model::State& md = model::model_state;
  if (gnsxls::gnsxls_state.McuPageEntered == 1 && !md.McuEntryText.empty()) LoadTypedAirport();

  const bool loading = Loading();
  if (navdb::navdb_state.AirportRunwayCount == 0) {
    if (!loading) page.Text(0, kRowY[0], kAmber, "APT:");
    DrawEntryLine(page);
    return;
  }
  if (!loading)
    page.Text(0, kRowY[0], kAmber,
              ScreenText("APT: %-4s - Elev:%-5s  %d/%d", Cut(md.McuAirportIdent, 6).c_str(),
                         Cut(md.McuAirportElevationText, 6).c_str(), m.McuAptSubPage, md.McuAptPageCount));
  if (m.McuAptSubPage == 2) {
    if (!loading) DrawAiRunways(page);
  } else {
    DrawRunwayList(page);
  }
  DrawEntryLine(page);
}

}  // namespace ovi::mcu
