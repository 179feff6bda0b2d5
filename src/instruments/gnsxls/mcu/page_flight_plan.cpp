// FPLN (page 1): the stored flight plans four rows at a time, a cursor row,
// the plan last loaded in amber, and ENTER asking the per-tick update to
// load the plan under the cursor.
#include <algorithm>
#include <string>

#include "src/flightplan/library.h"
#include "src/flightplan/state.h"
#include "src/guidance/state.h"
#include "src/instruments/gnsxls/mcu/list_cursor.h"
#include "src/instruments/gnsxls/mcu/pages.h"
#include "src/instruments/gnsxls/mcu/state.h"
#include "src/instruments/gnsxls/state.h"

namespace ovi::mcu {

namespace {

constexpr int kBoxWidth = 120;
constexpr int kBoxHeight = 12;
// A row converts at most 27 wide characters, its terminator included.
constexpr std::size_t kRowNameLength = 26;
// RequestedFlightPlanFile holds 260 bytes with its terminator.
constexpr std::size_t kMaxRequestedName = 259;

flightplan::State& Fp() { return flightplan::flightplan_state; }

// The stored plans: the library without its closing "NEW FPL" entry.
int PlanCount() { return std::max(Fp().FlightPlanLibraryCount - 1, 0); }

ListCursor PlanCursor() {
  State& m = mcu_state;
  return {m.McuPlanListTop, m.McuPlanCursorRow, m.McuLoadedPlanRow};
}

void LoadPlanUnderCursor(int index) {
  State& m = mcu_state;
  const std::string& name = Fp().FlightPlanLibrary[index].name;
  // A name the request cannot hold whole would load another file.
  if (name.empty() || name.size() > kMaxRequestedName) return;
  if (m.McuLoadedPlanRow != m.McuPlanCursorRow) {
    m.McuLoadedPlanRow = m.McuPlanCursorRow;
    Fp().SelectedFlightPlanIndex = m.McuPlanCursorRow;
  }
  Fp().RequestedFlightPlanFile = name;
  guidance::guidance_state.FlightPlanLoadRequest = 1;
}

}  // namespace

void DrawMcuFlightPlanPage(McuFrame& frame) {
  McuPage page(frame.g);
  State& m = mcu_state;
  page.Text(0, kRowY[0], kAmber, "FPLN:");
  if (m.McuFlightPlanRescan == 1) {
    flightplan::ScanFlightPlanFolder();
    KeepOnList(PlanCursor(), PlanCount());
  }

  const int count = PlanCount();
  ListCursor cursor = PlanCursor();
  if (m.McuUpPressed == 1) StepUp(cursor);
  if (m.McuDownPressed == 1) StepDown(cursor, count);
  if (m.McuPageUpPressed == 1) PageUp(cursor, count);
  if (m.McuPageDownPressed == 1) PageDown(cursor, count);

  if (m.McuPlanCursorRow >= 1 && m.McuPlanCursorRow <= kListRows)
    m.McuPlanCursorY = kCursorBoxY[static_cast<std::size_t>(m.McuPlanCursorRow)];
  const bool boxed = m.McuPlanCursorY >= 1;
  // The request is made before the rows are drawn, so that this frame
  // shows the plan marked.
  if (boxed && gnsxls::gnsxls_state.McuPageEntered == 1) {
    const int index = m.McuPlanListTop + m.McuPlanCursorRow - 1;
    if (index >= 1 && index <= count) LoadPlanUnderCursor(index);
  }

  for (int row = 1; row <= kListRows; ++row) {
    const int index = m.McuPlanListTop + row - 1;
    if (index < 1 || index > count) continue;
    const std::string& name = Fp().FlightPlanLibrary[index].name;
    page.Text(0, kRowY[row], row == m.McuLoadedPlanRow ? kAmber : kGreen, name.substr(0, kRowNameLength));
  }
  if (boxed) page.CursorBox(0, m.McuPlanCursorY, kBoxWidth, kBoxHeight);
}

}  // namespace ovi::mcu
