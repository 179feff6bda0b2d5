// DIRECT (page 7): the target of a direct-to. Route sub-pages ("DIRECT")
// list the working copy of the route (keypad.cpp) with a typed target
// waiting in its place (route_edits.h) 18 to a sub-page, and a
// line key copies the waypoint picked into the entry line; the last
// sub-page ("DIR CLOSEST ARP") lists the nine nearest airports. ENT flies
// to what the entry line names (enter_direct.cpp), knowing by
// GnsDirectPageMode which kind of sub-page was shown.
#include <algorithm>
#include <string>

#include "src/flightplan/entry_line.h"
#include "src/flightplan/procedure_splice.h"
#include "src/flightplan/plan_ops.h"
#include "src/flightplan/state.h"
#include "src/instruments/gnsxls/closest_airports.h"
#include "src/instruments/gnsxls/kit.h"
#include "src/instruments/gnsxls/pages.h"
#include "src/instruments/gnsxls/route_edits.h"
#include "src/instruments/gnsxls/state.h"

namespace ovi::gnsxls {

namespace {

State& S() { return gnsxls_state; }
flightplan::State& Fp() { return flightplan::flightplan_state; }

constexpr int kEntriesPerSubPage = 18;
constexpr int kRowsPerColumn = 9;
constexpr float kRowPitch = 40.0f;
constexpr float kLeftIdentX = 90.0f;
constexpr float kRightIdentX = 310.0f;
constexpr float kLeftToX = 30.0f;
constexpr float kRightToX = 240.0f;
constexpr float kClosestX = 120.0f;
constexpr float kClosestDataX = 304.0f;
constexpr int kClosestBlockCells = 6;

// ---- route sub-pages ----------------------------------------------------------------

// The direct-to list's last index, which counts its end marker.
int CopyLast() { return DirectListLast(); }

// The route indices each key serves, as offsets from the sub-page's first
// index: the upper row at state 1, the lower one (-1: none) at state 2.
struct RouteKey {
  int upper, lower;
};
constexpr RouteKey kRouteKeys[] = {{0, -1}, {0, -1},  {1, 2},   {3, 4},   {5, 6},  {7, 8},
                                   {9, -1}, {10, 11}, {12, 13}, {14, 15}, {16, 17}};

int ColumnFirstKey(int key) { return key <= 5 ? 1 : 6; }

bool WithinCopy(int index) { return index >= 0 && index <= std::min(CopyLast(), flightplan::kMaxPlanLastIndex); }

// The waypoint at `index` becomes the target: its ident in the entry line.
void TakeRouteEntry(int index) {
  State& s = S();
  if (!WithinCopy(index)) return;
  Fp().EditWaypointIndex = index;
  s.NavigatorScratchpad = DirectListEntry(index).ident;
  flightplan::ScratchpadKeyInput("", 1);
}

void OpenEntry() {
  S().GnsXlsEntryActive = 1;
  S().ScratchpadClearPending = 1;
}

void ClearOtherKeys(int first, int last, int key) {
  for (int k = first; k <= last; ++k)
    if (k != key) SetLineState(k, 0);
}

void RouteLineKey(int key, int first_index) {
  State& s = S();
  const RouteKey& r = kRouteKeys[key];
  const int upper = first_index + r.upper;
  const std::int32_t state = LineState(key);
  if (r.lower < 0 && key == 1) {
    if (state != 0) {
      SetLineState(1, 0);
      s.GnsXlsEntryActive = 0;
      return;
    }
    SetLineState(1, 1);
    OpenEntry();
    ClearOtherKeys(1, 5, 1);
    TakeRouteEntry(upper);
    return;
  }
  if (r.lower < 0) {  // key 6, the right column's first row
    if (upper <= CopyLast()) {
      if (state != 0) {
        SetLineState(key, 0);
        s.GnsXlsEntryActive = 0;
        return;
      }
      SetLineState(key, 1);
      OpenEntry();
    } else if (state != 1) {
      return;
    }
    ClearOtherKeys(1, 10, key);
    TakeRouteEntry(upper);
    return;
  }
  if (upper <= CopyLast()) {
    if (state == 2) {
      SetLineState(key, 0);
      s.GnsXlsEntryActive = 0;
      return;
    }
    SetLineState(key, state + 1);
    OpenEntry();
  } else if (state != 1 && state != 2) {
    return;
  }
  ClearOtherKeys(ColumnFirstKey(key), ColumnFirstKey(key) + 4, key);
  if (s.GnsXlsEntryActive == 1) TakeRouteEntry(LineState(key) == 2 ? first_index + r.lower : upper);
}

// The key whose first row stands at listing row `row` (1..18); 0 for a
// second row or row 1 of a column.
int KeyOfFirstRow(int row) {
  const int in_column = (row - 1) % kRowsPerColumn + 1;
  if (in_column < 2 || in_column % 2 != 0) return 0;
  return (row > kRowsPerColumn ? 6 : 1) + in_column / 2;
}

void DrawRouteSubPage(GnsPage& page, int first_index) {
  State& s = S();
  const flightplan::State& fp = Fp();
  page.Text(90, kTitleY, kWhite, ScreenText("DIRECT %d/%d", s.GnsDirectPage, s.GnsDirectPageCount));
  const int end = std::min({CopyLast() + 1, first_index + kEntriesPerSubPage - 1, flightplan::kMaxPlanLastIndex});
  int row = 0;
  for (int i = first_index; i <= end; ++i) {
    const std::string& ident = DirectListEntry(i).ident;
    // A placeholder origin takes no row.
    if (ident == "---") continue;
    ++row;
    const bool left = row <= kRowsPerColumn;
    const float y = kRowPitch * static_cast<float>(left ? row : row - kRowsPerColumn);
    const float x = left ? kLeftIdentX : kRightIdentX;
    if (i == fp.EditWaypointIndex && s.GnsXlsEntryActive == 1) {
      page.OnBlock(x, y, s.NavigatorScratchpad);
      page.Text(left ? kLeftToX : kRightToX, y, kMagenta, "TO ");
      // In the direct-to key's frame the target's row is chosen, so that
      // its key moves on to the row below.
      if (s.GnsXlsDirectPressed == 1) {
        if (const int key = KeyOfFirstRow(row)) SetLineState(key, 1);
      }
    } else {
      page.Text(x, y, kGreen, ident);
    }
    if (ident == "******") break;
  }
  // A marker beside each key whose first row holds an entry.
  static constexpr int kFirstRowOffset[] = {0, 0, 1, 3, 5, 7, 9, 10, 12, 14, 16};
  for (int key = 1; key <= 10; ++key)
    if (first_index + kFirstRowOffset[key] <= CopyLast()) page.Marker(key, key <= 5 ? "<" : ">");
}

// ---- the closest airports -------------------------------------------------------------

// Rows 1..9 show entries 9..1: the nearest first. Key k (1..5) serves rows
// 2k - 1 (state 1) and 2k (state 2); key 5 only row 9.
int EntryOfRow(int row) { return kClosestAirportCount + 1 - row; }

void ClosestLineKey(int key) {
  State& s = S();
  if (key < 1 || key > 5) return;
  const std::int32_t state = LineState(key);
  const bool has_lower = key < 5;
  if (state == 2 || (state == 1 && !has_lower)) {
    SetLineState(key, 0);
    return;
  }
  const int row = state == 0 ? 2 * key - 1 : 2 * key;
  const model::NavDbRecord& airport = s.ClosestAirportList[EntryOfRow(row)];
  flightplan::ResetGnsSelectionState();
  // An empty place of the list is no airport to fly to.
  if (airport.ident.empty()) return;
  SetLineState(key, state + 1);
  s.NavigatorScratchpad = std::string(airport.ident.view());
}

bool RowChosen(int row) {
  const int key = (row + 1) / 2;
  return LineState(key) == (row % 2 == 1 ? 1 : 2);
}

void DrawClosestSubPage(GnsPage& page) {
  State& s = S();
  page.Text(70, kTitleY, kWhite, ScreenText("DIR CLOSEST ARP %d/%d", s.GnsDirectPage, s.GnsDirectPageCount));
  for (int row = 1; row <= kClosestAirportCount; ++row) {
    const model::NavDbRecord& a = s.ClosestAirportList[EntryOfRow(row)];
    const float y = kRowPitch * static_cast<float>(row);
    if (RowChosen(row)) {
      page.OnBlock(kClosestX, y, s.NavigatorScratchpad, kClosestBlockCells);
      page.Text(kClosestDataX, y, kGreen, ScreenText("%03.0f/%4.0f", a.bearing, a.distance));
    } else {
      page.Text(kClosestX, y, kGreen, ScreenText("%-8s %03.0f/%4.0f", a.ident.c_str(), a.bearing, a.distance));
    }
  }
  for (int key = 1; key <= 5; ++key) page.Marker(key, "<");
}

// Route sub-pages by 18, the working copy's last index counting its end
// marker; one more for the closest airports.
std::int32_t SubPageCount(int last) {
  int n = last / kEntriesPerSubPage;
  if (n < static_cast<double>(last) / kEntriesPerSubPage) ++n;
  if (last == 0) n = 1;
  return std::max(n, 0) + 1;
}

}  // namespace

void DrawGnsxlsDirectPage(display::GaugeDisplay& display, gfx::Graphics& g) {
  State& s = S();
  GnsPage page(display, g);
  DropStaleDirectTarget();
  s.GnsDirectPageCount = SubPageCount(CopyLast());
  s.GnsDirectPage = std::clamp(s.GnsDirectPage, 1, s.GnsDirectPageCount);
  s.GnsDirectPageMode = s.GnsDirectPage == s.GnsDirectPageCount ? 2 : 1;
  if (s.GnsDirectPageMode == 2) {
    KeepClosestAirports(s.GnsXlsDirectPressed == 1);
    ClosestLineKey(s.GnsXlsLineSelectKey);
    DrawClosestSubPage(page);
  } else {
    const int first_index = s.GnsDirectPage == 1 ? 1 : kEntriesPerSubPage * s.GnsDirectPage - 17;
    if (s.GnsXlsLineSelectKey >= 1 && s.GnsXlsLineSelectKey <= 10) RouteLineKey(s.GnsXlsLineSelectKey, first_index);
    DrawRouteSubPage(page, first_index);
  }
  page.DrawMarkers();
}

}  // namespace ovi::gnsxls
