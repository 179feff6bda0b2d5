// AIRWAY (page 13): the fixes of the airway typed on page 1 ("#V23"), 16 a
// page in two columns, the route waypoint being edited marked as the start
// ("FR") and the chosen end ("TO"), the fixes between them highlighted in
// either direction. The line keys choose the end; ENT splices the segment
// (enter_route.cpp), CLR goes back without it.
#include <algorithm>
#include <string>

#include "src/instruments/gnsxls/kit.h"
#include "src/instruments/gnsxls/pages.h"
#include "src/instruments/gnsxls/state.h"
#include "src/navdb/entry_state.h"

namespace ovi::gnsxls {

namespace {

navdb::EntryState& E() { return navdb::entry_state; }

constexpr int kRowsPerPage = navdb::kAirwayListPageSize;
constexpr int kRowsPerColumn = 8;
constexpr float kRowPitch = 40.0f;
constexpr float kLeftLabelX = 20.0f;
constexpr float kLeftIdentX = 75.0f;
constexpr float kRightLabelX = 240.0f;
constexpr float kRightIdentX = 300.0f;
constexpr int kCursorCells = 7;
constexpr float kTitleLabelX = 32.0f;
constexpr float kTitleNameX = 200.0f;
constexpr float kPageNumberX = 340.0f;
// The airway's name ends before the page number: a long one (" (N/A)"
// appended) moves left, but not over "AIRWAY".
constexpr float kTitleNameMinX = 156.0f;
constexpr float kCharWidth = 19.8f;

// Row codes of each key: state 1 and state 2 (0: the key has one row).
struct AirwayKey {
  int upper, lower;
};
constexpr AirwayKey kAirwayKeys[] = {{0, 0}, {1, 0},  {2, 3},   {4, 5},   {6, 7},  {8, 0},
                                     {9, 0}, {10, 11}, {12, 13}, {14, 15}, {16, 0}};

// The first entry of the page shown.
int FirstEntry() { return kRowsPerPage * (E().AirwayListPage - 1) + 1; }

// A key steps its line through its rows and back to none; a row that holds
// no entry on this page is no choice, so the key then chooses nothing.
void LineKey(int key) {
  navdb::EntryState& e = E();
  const AirwayKey& k = kAirwayKeys[key];
  const std::int32_t state = LineState(key);
  std::int32_t next = state == 0 ? 1 : (state == 1 && k.lower != 0 ? 2 : 0);
  const int code = next == 1 ? k.upper : next == 2 ? k.lower : 0;
  if (code != 0 && FirstEntry() + code - 1 > e.WaypointCandidateCount) next = 0;
  SetLineState(key, next);
  if (next == 0) {
    e.AirwayPageState = 0;
    gnsxls_state.GnsXlsEntryActive = 0;
    return;
  }
  e.AirwayPageState = code;
  e.SelectedAirwayIndex = FirstEntry() + code - 1;
}

// The entry the cursor stands on: the chosen end, on whichever page it is,
// while a choice stands (the start, as the list opened, or a row code).
bool IsCursorEntry(int i) { return E().AirwayPageState != 0 && i == E().SelectedAirwayIndex; }

void DrawRow(GnsPage& page, int row, int i) {
  const navdb::EntryState& e = E();
  const bool left = row <= kRowsPerColumn;
  const float y = kRowPitch * static_cast<float>(left ? row : row - kRowsPerColumn);
  const float label_x = left ? kLeftLabelX : kRightLabelX;
  const float ident_x = left ? kLeftIdentX : kRightIdentX;
  const std::string ident(e.WaypointCandidateList[i].ident.view());
  const int s = e.AirwayStartIndex, end = e.SelectedAirwayIndex;
  if (i == s || i == end) {
    const bool cursor = IsCursorEntry(i);
    page.Text(label_x, y, kYellow, i == s && !cursor ? "FR" : "TO");
    if (cursor) {
      page.OnBlock(ident_x, y, ident + "?", kCursorCells);
    } else {
      page.Text(ident_x, y, kYellow, ident);
    }
    return;
  }
  const bool between = (i > std::min(s, end) && i < std::max(s, end));
  page.Text(ident_x, y, between ? kYellow : kGreen, ident);
}

}  // namespace

void DrawGnsxlsAirwayPage(display::GaugeDisplay& display, gfx::Graphics& g) {
  navdb::EntryState& e = E();
  const State& s = gnsxls_state;
  GnsPage page(display, g);
  e.AirwayListPageCount = std::max(1, (e.WaypointCandidateCount + kRowsPerPage - 1) / kRowsPerPage);
  e.AirwayListPage = std::clamp(e.AirwayListPage, 1, e.AirwayListPageCount);
  if (s.GnsXlsLineSelectKey >= 1 && s.GnsXlsLineSelectKey <= 10) LineKey(s.GnsXlsLineSelectKey);

  const int first = FirstEntry();
  const int shown = std::clamp(e.WaypointCandidateCount - first + 1, 0, kRowsPerPage);
  page.Text(kTitleLabelX, kTitleY, kWhite, "AIRWAY");
  const float name_width = kCharWidth * static_cast<float>(e.AirwayTitleText.size());
  page.Text(std::max(kTitleNameMinX, std::min(kTitleNameX, kPageNumberX - name_width)), kTitleY, kGreen,
            e.AirwayTitleText);
  page.Text(kPageNumberX, kTitleY, kWhite, ScreenText("%d/%d", e.AirwayListPage, e.AirwayListPageCount));
  for (int row = 1; row <= shown; ++row) DrawRow(page, row, first + row - 1);
  for (int key = 1; key <= 10; ++key)
    if (kAirwayKeys[key].upper <= shown) page.Marker(key, key <= 5 ? ">" : "<");
  page.Text(40, 360, kWhite, "SELECT ENDING WPT");
  page.DrawMarkers();
}

}  // namespace ovi::gnsxls
