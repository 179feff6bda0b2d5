// FLIGHT PLAN (page 1) in its three views: the active route ("ACTIVE FPL"),
// the stored flight plan list ("FLIGHT PLAN LIST") and a stored plan opened
// from it ("FLIGHT PLAN n"). The line keys choose rows and legends by the
// line-key table below; ENT (enter_key.cpp) commits most choices, this
// routine itself opens a plan of the list and activates the plan opened.
#include <algorithm>
#include <cmath>
#include <optional>
#include <string>

#include "src/flightplan/entry_line.h"
#include "src/flightplan/plan_ops.h"
#include "src/flightplan/procedure_splice.h"
#include "src/flightplan/state.h"
#include "src/guidance/route_ahead.h"
#include "src/guidance/state.h"
#include "src/instruments/fms/arrival_time.h"
#include "src/instruments/gnsxls/flight_plan_page.h"
#include "src/instruments/gnsxls/kit.h"
#include "src/instruments/gnsxls/navigator.h"
#include "src/instruments/gnsxls/pages.h"
#include "src/instruments/gnsxls/state.h"
#include "src/model/state.h"
#include "src/navdb/entry_state.h"
#include "src/navdb/navdb.h"

namespace ovi::gnsxls {

namespace {

State& S() { return gnsxls_state; }
flightplan::State& Fp() { return flightplan::flightplan_state; }

// ---- places ---------------------------------------------------------------------

constexpr int kRowsPerPage = 6;
constexpr float kRowPitch = 40.0f;  // waypoint rows at y 40, 80, .. 240
constexpr float kMarkX = 30.0f;     // "TO", "FR", an approach leg's role
constexpr float kIdentX = 96.0f;
constexpr float kProcedureIdentX = 116.0f;
constexpr float kDeleteX = 230.0f;
constexpr float kDashX = 240.0f;    // "-" between origin and destination; the flyover "F"
constexpr float kDestinationX = 280.0f;
constexpr float kDataX = 300.0f;
constexpr int kEntryCells = 6;

constexpr int kListRows = 8;
constexpr int kFirstListLine = 7;  // lines 7..10 choose the list's rows
constexpr float kListFirstY = 80.0f;
constexpr float kListOriginX = 30.0f;
constexpr float kListDestinationX = 220.0f;
constexpr float kListIndexX = 395.0f;
constexpr float kListBlockX = 400.0f;

constexpr float kDepartY = 280.0f;
constexpr float kArriveY = 320.0f;
constexpr float kApproachY = 360.0f;
constexpr float kLegendX = 32.0f;

constexpr const char* kEndMarker = "******";

// ---- the line-key table ----------------------------------------------------------

// What a press does to the entry line: keep it, open it (typing replaces
// the text shown), close it, or close it and forget that nothing was typed.
enum class Entry { kKeep, kOpen, kClose, kCloseTyped };
// The rows whose result depends on the view.
enum class Twist {
  kNone,
  kShortViewSkipsRow,  // line 4: a view without a sixth row goes straight to DEPART?
  kActiveViewConfirms, // line 9: SAVE FPL? at the first press in the active view
  kColumnChoice,       // line 10: the active view starts the choice from the column shown
};

struct LineRule {
  std::int32_t line;
  std::int32_t state;  // the line's state when its key is pressed
  bool reset;          // ResetGnsSelectionState first: one line chosen at a time
  std::int32_t next;
  Entry entry;
  Twist twist;
};

constexpr LineRule kLineRules[] = {
    {1, 0, true, 1, Entry::kOpen, Twist::kNone},
    {1, 1, true, 0, Entry::kClose, Twist::kNone},
    {2, 0, true, 1, Entry::kOpen, Twist::kNone},
    {2, 1, true, 2, Entry::kOpen, Twist::kNone},
    {2, 2, true, 0, Entry::kClose, Twist::kNone},
    {3, 0, true, 1, Entry::kOpen, Twist::kNone},
    {3, 1, true, 2, Entry::kOpen, Twist::kNone},
    {3, 2, true, 0, Entry::kClose, Twist::kNone},
    {4, 0, true, 1, Entry::kOpen, Twist::kShortViewSkipsRow},
    {4, 1, true, 2, Entry::kCloseTyped, Twist::kNone},
    {4, 2, true, 0, Entry::kClose, Twist::kNone},
    {5, 0, true, 1, Entry::kKeep, Twist::kNone},
    {5, 1, true, 2, Entry::kKeep, Twist::kNone},
    {5, 2, true, 0, Entry::kClose, Twist::kNone},
    {6, 0, false, 1, Entry::kKeep, Twist::kNone},
    {6, 1, false, 2, Entry::kKeep, Twist::kNone},
    {6, 2, true, 0, Entry::kKeep, Twist::kNone},
    {7, 0, false, 1, Entry::kKeep, Twist::kNone},
    {7, 1, false, 2, Entry::kKeep, Twist::kNone},
    {7, 2, false, 0, Entry::kKeep, Twist::kNone},
    {8, 0, false, 1, Entry::kKeep, Twist::kNone},
    {8, 1, false, 2, Entry::kKeep, Twist::kNone},
    {8, 2, false, 0, Entry::kKeep, Twist::kNone},
    {9, 0, true, 1, Entry::kKeep, Twist::kActiveViewConfirms},
    {9, 1, true, 2, Entry::kKeep, Twist::kNone},
    {9, 2, true, 0, Entry::kKeep, Twist::kNone},
    {10, 0, true, 1, Entry::kClose, Twist::kColumnChoice},
    {10, 1, true, 2, Entry::kClose, Twist::kColumnChoice},
    {10, 2, true, 0, Entry::kClose, Twist::kNone},
};

// ---- the plan shown ------------------------------------------------------------------

// The rows of a waypoint view: entries first..end of the plan on this page
// (end < first: none), the plan's last index, and its table.
struct Rows {
  flightplan::PlanRef plan;
  int last = -1;
  int first = 0;
  int end = -1;
};

// The highest entry a view may show: the end marker's row, when the table
// has a slot for it.
int LastRowEntry(int last) { return std::min(last + 1, flightplan::kMaxPlanLastIndex); }

int PageCount(int rows) { return std::max(1, (rows + kRowsPerPage - 1) / kRowsPerPage); }

bool HasActiveWaypoint() { return Fp().ActiveWaypointIndex != model::kNoWaypoint; }

// Active view: from the waypoint before the active one to the end marker.
int ActiveRowCount(int last) {
  if (!HasActiveWaypoint() || last == 0) return 1;
  return last - Fp().ActiveWaypointIndex + 3;
}

Rows ActiveRows() {
  State& s = S();
  Rows r{flightplan::ActivePlan()};
  r.last = flightplan::LastIndex(r.plan);
  const int count = ActiveRowCount(r.last);
  s.GnsActivePlanPageCount = r.last == 0 ? 1 : PageCount(count);
  s.GnsActivePlanPage = std::clamp(s.GnsActivePlanPage, 1, s.GnsActivePlanPageCount);
  if (!HasActiveWaypoint()) return r;
  const int view_first = std::max(0, Fp().ActiveWaypointIndex - 1);
  r.first = std::max(0, (s.GnsActivePlanPage - 1) * kRowsPerPage + Fp().ActiveWaypointIndex - 1);
  r.end = std::min({r.first + kRowsPerPage - 1, view_first + count - 1, LastRowEntry(r.last)});
  return r;
}

// Stored plan view: every entry and the end marker's row (a plan of one
// waypoint shows that one row).
Rows StoredRows() {
  State& s = S();
  Rows r{flightplan::PendingPlan()};
  r.last = flightplan::LastIndex(r.plan);
  const int count = r.last == 0 ? 1 : r.last + 2;
  s.GnsStoredPlanPageCount = PageCount(count);
  s.GnsStoredPlanPage = std::clamp(s.GnsStoredPlanPage, 1, s.GnsStoredPlanPageCount);
  r.first = (s.GnsStoredPlanPage - 1) * kRowsPerPage;
  r.end = std::min({r.first + kRowsPerPage - 1, count - 1, LastRowEntry(r.last)});
  return r;
}

// The slot after the last waypoint always shows the end marker, so a
// waypoint just appended has a new one after it.
void KeepEndMarker(const Rows& r) {
  const int marker = r.last + 1;
  if (marker <= flightplan::kMaxPlanLastIndex && r.plan.plan[marker].ident != kEndMarker)
    r.plan.plan[marker].ident = kEndMarker;
}

// The row 1..6 the line states pick, with the line key beside it; 0 none.
struct Selection {
  int row = 0;
  int line = 0;
};
// Rows 1..6 and the line key and state that choose each.
struct RowLine {
  int row, line;
  std::int32_t state;
};
constexpr RowLine kRowLines[] = {{1, 1, 1}, {2, 2, 1}, {3, 2, 2}, {4, 3, 1}, {5, 3, 2}, {6, 4, 1}};

Selection SelectedRow() {
  for (const RowLine& r : kRowLines)
    if (LineState(r.line) == r.state) return {r.row, r.line};
  return {};
}

bool IsProcedureTag(const std::string& tag) {
  return tag == "SID" || tag == "SIDSTAR" || tag == "STAR" || tag == "APPR";
}

// ---- line keys -----------------------------------------------------------------------

bool ShortView() {
  if (ShowsActiveView()) return ActiveRowCount(flightplan::LastIndex(flightplan::ActivePlan())) < 5;
  if (navdb::entry_state.PendingPlanOpen != 1) return false;
  const int last = flightplan::LastIndex(flightplan::PendingPlan());
  return (S().GnsStoredPlanPage - 1) * kRowsPerPage + 5 > last + 1;
}

void ApplyLineRule(const LineRule& rule) {
  State& s = S();
  if (rule.reset) flightplan::ResetGnsSelectionState();
  std::int32_t next = rule.next;
  Entry entry = rule.entry;
  switch (rule.twist) {
    case Twist::kShortViewSkipsRow:
      if (ShortView()) {
        next = 2;
        entry = Entry::kCloseTyped;
      }
      break;
    case Twist::kActiveViewConfirms:
      if (ShowsActiveView()) next = 2;
      break;
    case Twist::kColumnChoice:
      if (ShowsActiveView()) s.GnsFplDataColumnChoice = s.GnsFplDataColumn;
      break;
    case Twist::kNone:
      break;
  }
  SetLineState(rule.line, next);
  switch (entry) {
    case Entry::kOpen:
      s.GnsXlsEntryActive = 1;
      s.ScratchpadClearPending = 1;
      break;
    case Entry::kClose:
      s.GnsXlsEntryActive = 0;
      break;
    case Entry::kCloseTyped:
      s.GnsXlsEntryActive = 0;
      s.ScratchpadClearPending = 0;
      break;
    case Entry::kKeep:
      break;
  }
}

// The plan list labels its rows' lines alone: the others do nothing there.
// Run by the table, LSK5 armed ARRIVE? (LSK4 twice DEPART?) over no plan,
// and the ENTs that followed spliced the procedure into the flown route's
// copy, which no view shows and the next edit copied over.
void RunLineKey(int key) {
  if (ShowsStoredView() && navdb::entry_state.PendingPlanOpen != 1 && key < kFirstListLine) return;
  for (const LineRule& rule : kLineRules) {
    if (rule.line == key && rule.state == LineState(key)) {
      ApplyLineRule(rule);
      return;
    }
  }
}

// ---- the active view's data column -----------------------------------------------------

constexpr const char* kColumnNames[] = {"", "ETE", "ETA", "DIS", "ALT"};

const char* ColumnName(std::int32_t column) {
  return column >= kColumnEte && column <= kColumnAlt ? kColumnNames[column] : "";
}

double DistanceFrom(double lat, double lon, const model::FlightPlanWaypoint& to) {
  double distance = 0.0, course = 0.0;
  navdb::ComputeDistanceAndBearing(lat, lon, to.latitude, to.longitude, distance, course);
  return distance;
}

// Minutes to entry `i` along the route at the ground speed, as every other
// page times a waypoint; false on the ground (50 kt or less) and for an
// entry not ahead (passed, or a marker). Straight from the aircraft at the
// true airspeed, a waypoint beyond a turn read sooner than the one before
// it, and the times disagreed with the other pages' in any wind.
bool MinutesToGo(const guidance::RouteAhead& ahead, int i, double& distance, double& speed) {
  const guidance::State& g = guidance::guidance_state;
  if (!(g.GroundSpeedKnots > 50.0)) return false;
  distance = ahead.To(i);
  speed = g.GroundSpeedKnots;
  return std::isfinite(distance) && std::isfinite(speed);
}

std::string DataColumnText(const Rows& r, const guidance::RouteAhead& ahead, int i) {
  const model::FlightPlanWaypoint& wp = r.plan.plan[i];
  const guidance::State& g = guidance::guidance_state;
  double distance = 0.0, speed = 0.0;
  switch (S().GnsFplDataColumnChoice) {
    case kColumnEte: {
      if (!MinutesToGo(ahead, i, distance, speed)) return "------";
      // To the nearest minute before the split: rounding the remainder alone
      // would read 59.6 minutes as "00:60".
      const double minutes = std::floor(std::min(distance / speed * 60.0, 1e7) + 0.5);
      return ScreenText("%02.0f:%02.0f", std::floor(minutes / 60.0), std::fmod(minutes, 60.0));
    }
    case kColumnEta: {
      fms::ArrivalTime at;
      if (!MinutesToGo(ahead, i, distance, speed) ||
          !fms::ArrivalTimeAhead(distance, speed, model::model_state.DispETALocalTime == 1, at, true))
        return "------";
      return ScreenText("%02d:%02d", at.hour, at.minute);
    }
    case kColumnDis:
      // A marker has no leg; the leg after it runs from the waypoint before it.
      distance = i == Fp().ActiveWaypointIndex ? DistanceFrom(g.PlaneLatitude, g.PlaneLongitude, wp)
                                               : guidance::RouteAhead::LegInto(i);
      if (!std::isfinite(distance)) return "----";
      return ScreenText("%4.0f", std::min(distance, 99999.0));
    case kColumnAlt:
      if (wp.altitude_constraint == model::kNoValue || !std::isfinite(wp.altitude_constraint)) return "-----";
      return ScreenText("%5.0f", wp.altitude_constraint);
    default:
      return "";
  }
}

// ---- drawing the waypoint views ---------------------------------------------------------

// The smaller angle between two courses, 0..180.
double AngleBetween(double a, double b) {
  const double d = std::fmod(std::fabs(a - b), 360.0);
  return d > 180.0 ? 360.0 - d : d;
}

// "FR" stands on the row before the active waypoint unless the aircraft is
// within the leg and more than 10 degrees off its track: then it is no
// longer flying from that waypoint.
bool ShowsFrom() {
  const guidance::State& g = guidance::guidance_state;
  if (g.ActiveWaypointDistance > g.ActiveLegLength) return true;
  return !(AngleBetween(g.BearingToActiveWaypoint, g.DesiredTrack) > 10.0);
}

struct RowStyle {
  bool active_view;
  bool header;  // origin - destination on the first row
};

void DrawWaypointRows(GnsPage& page, const Rows& r, const RowStyle& style) {
  State& s = S();
  const Selection sel = SelectedRow();
  const int selected = sel.row > 0 ? r.first + sel.row - 1 : -1;
  const bool key_on_row = s.GnsXlsLineSelectKey >= 1 && s.GnsXlsLineSelectKey <= 4;
  const std::int32_t awi = Fp().ActiveWaypointIndex;
  const bool lnav = guidance::guidance_state.LnavEngaged == 1;
  // A key that picks a row the page lacks leaves no waypoint chosen: HOLD
  // would otherwise build at the one chosen before.
  if (key_on_row && style.active_view) s.GnsSelectedWaypointIndex = -1;
  std::optional<guidance::RouteAhead> ahead;
  if (style.active_view) ahead.emplace();
  for (int i = r.first; i <= r.end; ++i) {
    const model::FlightPlanWaypoint& wp = r.plan.plan[i];
    const float y = kRowPitch * static_cast<float>(i - r.first + 1);
    const float x = IsProcedureTag(wp.procedure_tag) ? kProcedureIdentX : kIdentX;
    if (i == 0 && style.header) {
      page.Text(kDashX, kRowPitch, kGreen, "-");
      page.Text(kDestinationX, kRowPitch, kGreen, r.plan.plan[r.last].ident);
    }
    bool mark = false;
    if (style.active_view && lnav && i == awi) {
      page.Text(kMarkX, y, kMagenta, "TO ");
      mark = true;
    } else if (style.active_view && lnav && i == awi - 1 && ShowsFrom()) {
      page.Text(kMarkX, y, kYellow, "FR");
      mark = true;
    }
    if (!mark && wp.procedure_tag == "APPR") page.Text(kMarkX, y, kWhite, wp.text2);
    if (style.active_view && i >= 1 && wp.flyover == 1) page.Text(kDashX, y, kMagenta, "F");
    if (style.active_view && i <= r.last) {
      // Row 0's place is the destination's while the header shows.
      if (i >= 1) {
        page.Text(kDataX, y, kBlue, DataColumnText(r, *ahead, i));
      } else if (!style.header) {
        page.Text(kDataX, y, kBlue, "---");
      }
    }
    if (i == selected) {
      if (key_on_row) {
        s.NavigatorScratchpad = wp.ident;
        flightplan::ScratchpadKeyInput("", 1);
        Fp().EditWaypointIndex = i;
        if (style.active_view) s.GnsSelectedWaypointIndex = i;
      } else if (!style.active_view) {
        Fp().EditWaypointIndex = i;
      }
      page.Marker(sel.line, "<");
    }
    if (i == selected && s.GnsXlsEntryActive == 1) {
      page.OnBlock(x, y, s.NavigatorScratchpad, kEntryCells);
      if (s.GnsDeleteRequested == 1) page.Text(kDeleteX, y, kGreen, "DELETE?");
    } else {
      page.Text(x, y, kGreen, wp.ident);
    }
  }
}

void DrawProcedureLegends(GnsPage& page) {
  page.Legend(kLegendX, kDepartY, "DEPART", LineState(4) == 2, LineState(4) == 2);
  page.Legend(kLegendX, kArriveY, "ARRIVE", LineState(5) == 1, LineState(5) == 1);
  page.Legend(kLegendX, kApproachY, "APPROACH", LineState(5) == 2, LineState(5) == 2);
}

void DrawActiveView(GnsPage& page) {
  State& s = S();
  navdb::entry_state.PendingPlanOpen = 0;
  const Rows r = ActiveRows();
  KeepEndMarker(r);
  page.Text(90, kTitleY, kWhite, ScreenText("ACTIVE FPL   %d/%d", s.GnsActivePlanPage, s.GnsActivePlanPageCount));
  const model::FlightPlanTable& plan = r.plan.plan;
  const bool header = r.last >= 1 && plan[0].ident != "---" && s.GnsLoadedPlanFlagA == 0 && s.GnsLoadedPlanFlagB == 0;
  if (HasActiveWaypoint()) DrawWaypointRows(page, r, {true, header});
  DrawProcedureLegends(page);
  const bool save = LineState(9) == 2 && r.last > 1 && plan[0].type == "APT" && plan[r.last].type == "APT";
  page.Legend(280, kDepartY, "SAVE FPL", save, save);
  page.Legend(380, kArriveY, ColumnName(s.GnsFplDataColumnChoice), s.GnsFplDataColumnChoice != s.GnsFplDataColumn,
              LineState(10) == 1);
  page.Legend(200, kApproachY, "LOAD ATC RTE", LineState(10) == 2, LineState(10) == 2);
}

void DrawStoredPlanView(GnsPage& page) {
  State& s = S();
  const Rows r = StoredRows();
  KeepEndMarker(r);
  page.Text(30, kTitleY, kWhite,
            ScreenText("FLIGHT PLAN %d  %d/%d", s.GnsStoredPlanIndex, s.GnsStoredPlanPage, s.GnsStoredPlanPageCount));
  DrawWaypointRows(page, r, {false, r.last >= 1});
  DrawProcedureLegends(page);
  page.Legend(320, kArriveY, "SELECT", LineState(10) == 1, LineState(10) == 1);
  page.Text(340, kApproachY, kWhite, "ERASE");
  if (s.GnsXlsEnterPressed == 1 && LineState(10) == 1) ActivateStoredPlan();
}

// ---- the list view -----------------------------------------------------------------------

int LibraryCount() {
  return std::clamp(Fp().FlightPlanLibraryCount, 0, model::kFlightPlanLibrarySlots - 1);
}

// Line 7..10 serve rows k and k + 1 (k = 0, 2, 4, 6): state 1 the upper,
// state 2 the lower.
int ListLineOfRow(int k) { return kFirstListLine + k / 2; }
std::int32_t ListStateOfRow(int k) { return k % 2 + 1; }

void DrawListView(GnsPage& page) {
  State& s = S();
  flightplan::State& fp = Fp();
  const std::int32_t pages = std::max(1, fp.GnsFplListPageCount);
  s.GnsPlanListPage = std::clamp(s.GnsPlanListPage, 1, pages);
  fp.SelectedFlightPlanIndex = 8 * s.GnsPlanListPage - 7;
  const int first = fp.SelectedFlightPlanIndex;
  const int count = LibraryCount();
  page.Text(45, kTitleY, kWhite, ScreenText("FLIGHT PLAN LIST %d/%d", s.GnsPlanListPage, fp.GnsFplListPageCount));
  // A second press of a line whose lower row is past the library's end
  // leaves nothing chosen.
  if (s.GnsXlsLineSelectKey != 0) {
    for (int line = kFirstListLine; line <= 10; ++line) {
      const int lower = 2 * (line - kFirstListLine) + 1;
      if (LineState(line) == 2 && count - first < lower) SetLineState(line, 0);
    }
  }
  int chosen = 0;
  for (int k = 0; k < kListRows; ++k) {
    const int entry = first + k;
    if (entry < 1 || entry > count) continue;
    const model::FlightPlanLibraryEntry& e = fp.FlightPlanLibrary[entry];
    const bool selected = LineState(ListLineOfRow(k)) == ListStateOfRow(k);
    const bool closing = e.origin_ident == "NEXT FPL" && e.destination_ident.empty();
    if (closing && !selected) continue;
    const float y = kListFirstY + 40.0f * static_cast<float>(k);
    page.Text(kListOriginX, y, kGreen, e.origin_ident);
    page.Text(kListDestinationX, y, kGreen, e.destination_ident);
    const std::string index = ScreenText("%d", entry);
    if (selected) {
      DrawGnsxlsCursorBlock(static_cast<int>(kListBlockX), static_cast<int>(y), page.graphics(),
                            static_cast<int>(index.size()));
      page.Text(kListIndexX, y, kBlack, index);
      page.Marker(ListLineOfRow(k), ">");
      if (chosen == 0) chosen = entry;
    } else {
      page.Text(kListIndexX, y, kGreen, index);
    }
  }
  if (s.GnsXlsEnterPressed == 1 && chosen != 0) OpenLibraryPlan(chosen);
}

// The first entry of the waypoint view's rows (page 1 of the view), -1
// without a waypoint view.
int ViewStart() {
  if (S().GnsXlsFplView == kViewActive) return HasActiveWaypoint() ? std::max(0, Fp().ActiveWaypointIndex - 1) : -1;
  return navdb::entry_state.PendingPlanOpen == 1 ? 0 : -1;
}

}  // namespace

int EntryOfSelectedRow() {
  const Selection sel = SelectedRow();
  if (sel.row == 0 || ViewStart() < 0) return -1;
  const Rows r = S().GnsXlsFplView == kViewActive ? ActiveRows() : StoredRows();
  const int i = r.first + sel.row - 1;
  return i <= r.end ? i : -1;
}

void SelectRowOfEntry(int entry) {
  const int start = ViewStart();
  if (start < 0 || entry < start) return;
  const int offset = entry - start;
  State& s = S();
  (s.GnsXlsFplView == kViewActive ? s.GnsActivePlanPage : s.GnsStoredPlanPage) = offset / kRowsPerPage + 1;
  for (const RowLine& r : kRowLines) SetLineState(r.line, 0);
  const RowLine& r = kRowLines[offset % kRowsPerPage];
  SetLineState(r.line, r.state);
}

void DrawGnsxlsFlightPlanPages(display::GaugeDisplay& display, gfx::Graphics& g) {
  State& s = S();
  GnsPage page(display, g);
  if (s.GnsXlsLineSelectKey != 0) s.GnsDeleteRequested = 0;
  RunLineKey(s.GnsXlsLineSelectKey);
  if (ShowsActiveView()) {
    DrawActiveView(page);
  } else if (navdb::entry_state.PendingPlanOpen == 1) {
    DrawStoredPlanView(page);
  } else {
    DrawListView(page);
  }
  page.DrawMarkers();
}

}  // namespace ovi::gnsxls
