// SELECT WAYPOINT (page 9): the candidates of an ident that resolved to
// several database entries, six a sub-page; a line key takes one for the
// page that asked (REF NAV DATA, RTE or RTE LEGS) and returns there.
#include <algorithm>
#include <string>
#include <string_view>

#include "src/flightplan/route_edit.h"
#include "src/instruments/fms/kit.h"
#include "src/instruments/fms/pages.h"
#include "src/instruments/fms/route_legs_edit.h"
#include "src/instruments/fms/select_waypoint.h"
#include "src/instruments/fms/state.h"
#include "src/model/state.h"
#include "src/navdb/entry_state.h"
#include "src/navdb/navdb.h"
#include "src/navdb/waypoint_entry.h"

namespace ovi::fms {

namespace {

constexpr int kRowsPerSubPage = 6;
constexpr float kRowPitch = 33.0f;
constexpr float kPositionLineDrop = 15.0f;
constexpr std::string_view kHoldAtPrefix = "HOLD AT ";

int CandidateCount() { return std::clamp(navdb::entry_state.WaypointCandidateCount, 0, navdb::kMaxEntryCandidates); }

// Every sub-page lists the next six: sub-page p starts at candidate
// 6 (p - 1) + 1, up to the list's last.
int FirstCandidateOf(int sub_page) { return kRowsPerSubPage * (sub_page - 1) + 1; }

const char* TypeText(std::string_view kind) {
  if (kind == "V") return "VOR";
  if (kind == "N") return "NDB";
  return "INT";
}

// A hold fix needs no row: the page hands the shown sub-page's first
// candidate back at once (RTE LEGS places the fix where the pilot puts it).
bool PassHoldFixThrough() {
  State& s = fms_state;
  if (s.FmsSelectReturnPage == kPageRoute || s.FmsSelectReturnPage == kPageRefNavData || s.FmsSelectInsertRow > 0) {
    return false;
  }
  util::CappedText<model::kScratchpadCapacity>& pad = model::model_state.FmsScratchpad;
  if (s.FmsHoldFixSelect == 0 && !pad.str().starts_with(kHoldAtPrefix)) pad = std::string(kHoldAtPrefix) + pad.str();
  s.FmsHoldFixCandidate = std::min(FirstCandidateOf(s.FmsSelectPageIndex), std::max(CandidateCount(), 1));
  OpenPage(s.FmsSelectReturnPage);
  return true;
}

void Choose(int c) {
  State& s = fms_state;
  switch (s.FmsSelectReturnPage) {
    case kPageRefNavData:
      TakeWaypointCandidate(c);
      break;
    case kPageRoute:
      navdb::PromoteWaypointCandidate(c);
      // The flown route may have moved on since the TO was typed.
      BeginRouteRowEdit();
      if (flightplan::InsertCandidateIntoPending(RouteRowInsertIndex(s.FmsSelectInsertRow))) {
        flightplan::BuildRouteViaToList();
        AcceptEntry();
      } else {
        RefuseEntry(kInvalidEntry);
      }
      break;
    default:
      // A refused insertion leaves its message for the page returned to.
      InsertRouteLegEntry(s.FmsSelectInsertRow, c);
      break;
  }
  OpenPage(s.FmsSelectReturnPage);
}

void ActOnKey(int sub_page) {
  const int key = LineSelectKey();
  const int row = key == kL6 || key == kR6 ? kRowsPerSubPage : RowOfKey(key);
  if (row == 0) return;
  const State& s = fms_state;
  const int c = FirstCandidateOf(sub_page) + row - 1;
  if (c <= CandidateCount()) Choose(c);
  if (s.FmsSelectReturnPage != kPageRoute && s.FmsSelectReturnPage != kPageRefNavData && key != kR6) {
    flightplan::BuildRouteViaToList();
  }
}

void DrawCandidates(CduPage& page, int sub_page) {
  const navdb::EntryState& e = navdb::entry_state;
  const int first = FirstCandidateOf(sub_page);
  for (int row = 1; row <= kRowsPerSubPage && first + row - 1 <= CandidateCount(); ++row) {
    const model::NavDbRecord& c = e.WaypointCandidateList[first + row - 1];
    const float y = kRowPitch * static_cast<float>(row);
    page.Large(40, y,
               ScreenText("%-6s  %3s  %6s", c.ident.c_str(), TypeText(std::string_view(c.kind)),
                          c.frequency_text.c_str()));
    std::string lat, lon;
    navdb::FormatLatLonDms(c.latitude, -c.longitude, 1, lat, lon);
    page.Large(55, y + kPositionLineDrop, ScreenText("%-12s %-12s", lat.c_str(), lon.c_str()));
  }
}

}  // namespace

void OpenSelectWaypoint(std::int32_t row, std::int32_t return_page) {
  State& s = fms_state;
  s.FmsSelectInsertRow = row;
  s.FmsSelectReturnPage = return_page;
  s.FmsSelectPageIndex = 1;
  OpenPage(kPageSelectWaypoint);
}

void TakeWaypointCandidate(int n) {
  const navdb::EntryState& e = navdb::entry_state;
  if (n < 1 || n > CandidateCount()) return;
  const model::NavDbRecord& c = e.WaypointCandidateList[n];
  State& s = fms_state;
  s.ResolvedWaypointIdent = std::string(c.ident);
  s.RefNavDataLat = c.latitude;
  s.RefNavDataLon = c.longitude;
  s.SelectedWaypointType = std::string(c.kind);
  s.SelectedWaypointFreqText = std::string(c.frequency_text);
  s.SelectedWaypointAptText = std::string(c.airport_text);
  std::int32_t& kind = model::model_state.FmsSubPageTable.RefNavDataKind;
  const std::string_view k(c.kind);
  if (k == "I") {
    kind = 2;
  } else if (k == "N" || k == "V") {
    kind = 3;
  } else if (k == "APT") {
    s.SelectedWaypointName.clear();
    s.SelectedAirportLongName.clear();
    kind = 4;
  }
}

void FmsPageSelectWaypoint(display::GaugeDisplay& display, gfx::Graphics& g) {
  State& s = fms_state;
  CduPage page(display, g);
  s.FmsSelectPageCount = std::max(1, (CandidateCount() + kRowsPerSubPage - 1) / kRowsPerSubPage);
  s.FmsSelectPageIndex = std::clamp(s.FmsSelectPageIndex, 1, s.FmsSelectPageCount);
  const bool passed_through = PassHoldFixThrough();
  // This list's PREV PAGE steps forward and NEXT PAGE back.
  StepSubPage(s.FmsSelectPageIndex, s.FmsSelectPageCount, PrevPageStep::kForward);
  const int shown = s.FmsSelectPageIndex;
  if (!passed_through) ActOnKey(shown);

  page.Large(40, kTitleY, "SELECT WAYPOINT");
  page.Large(220, kTitleY, ScreenText("%2d/%2d", shown, s.FmsSelectPageCount));
  DrawCandidates(page, shown);
}

}  // namespace ovi::fms
