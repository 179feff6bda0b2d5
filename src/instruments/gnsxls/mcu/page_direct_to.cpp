// DIRTO (page 7): the navaids, intersections and airports whose ident is
// the entry text, and ENTER flying direct to the one in the first row.
#include <string>

#include "src/flightplan/execute.h"
#include "src/flightplan/plan_ops.h"
#include "src/flightplan/route_edit.h"
#include "src/flightplan/state.h"
#include "src/guidance/state.h"
#include "src/instruments/gnsxls/kit.h"
#include "src/instruments/gnsxls/mcu/entry_editor.h"
#include "src/instruments/gnsxls/mcu/pages.h"
#include "src/instruments/gnsxls/mcu/state.h"
#include "src/instruments/gnsxls/state.h"
#include "src/model/state.h"
#include "src/navdb/entry_state.h"
#include "src/navdb/navdb.h"
#include "src/navdb/state.h"
#include "src/util/text.h"

namespace ovi::mcu {

namespace {

constexpr int kBoxWidth = 28;
constexpr int kBoxTop = 13;
constexpr int kBoxBottom = 24;

navdb::EntryState& Entry() { return navdb::entry_state; }

// Kind letters of the database as the rows show them.
std::string KindText(const std::string& kind) {
  if (kind == "N") return "NDB";
  if (kind == "V") return "VOR";
  if (kind == "I") return "INT";
  if (kind == "A") return "APT";
  return kind;
}

// A fresh route entry: nothing of the entry it replaces stays.
model::FlightPlanWaypoint Waypoint(const std::string& ident, double latitude, double longitude,
                                   const std::string& type) {
  model::FlightPlanWaypoint w;
  w.ident = ident;
  w.latitude = latitude;
  w.longitude = longitude;
  w.type = type;
  return w;
}

double Number(const std::string& text) {
  double value = 0.0;
  return util::ParseDouble(util::Trim(text), value) ? value : 0.0;
}

// The direct-to route: "DIRECT" at the aircraft, the candidate, and the
// route's destination when it ends at an airport (its elevation then the
// constraint there). The flown route is replaced as any edit of it: a
// change waiting for EXEC is given up first (as ERASE does), the holds of
// the waypoints it loses go, and the pending route becomes its copy.
void FlyDirect() {
  flightplan::State& fp = flightplan::flightplan_state;
  guidance::State& g = guidance::guidance_state;
  const model::NavDbRecord& c = Entry().WaypointCandidateList[mcu_state.McuDirectToCandidate];
  if (fp.RouteState == 4) flightplan::ResetRouteData();
  flightplan::BeginRouteModification();
  const int last = fp.ActiveFlightPlanLastIndex;
  flightplan::DropHoldsOn(flightplan::ActivePlan(), 1, last);
  // An empty route has no destination to keep.
  if (last >= 0 && fp.ActiveFlightPlan[last].type == "APT") {
    const model::FlightPlanWaypoint& end = fp.ActiveFlightPlan[last];
    model::FlightPlanWaypoint destination = Waypoint(end.ident, end.latitude, end.longitude, end.type);
    destination.time_over_text = end.time_over_text;
    g.NextConstraintAltitude = Number(AirportElevationText(end.ident));
    destination.altitude_constraint = g.NextConstraintAltitude;
    g.NextConstraintLat = destination.latitude;
    g.NextConstraintLon = destination.longitude;
    fp.ActiveFlightPlan[2] = destination;
    fp.ActiveFlightPlanLastIndex = 2;
    g.NextConstraintIndex = 2;
    fp.ActiveWaypointIndex = 1;
  } else {
    fp.ActiveFlightPlanLastIndex = 1;
    fp.ActiveWaypointIndex = 1;
    g.DirectToActive = 1;
    // The route's end: an index left from the route before names no entry.
    g.NextConstraintIndex = 1;
    g.NextConstraintLat = c.latitude;
    g.NextConstraintLon = c.longitude;
  }
  fp.ActiveFlightPlan[1] = Waypoint(c.ident.c_str(), c.latitude, c.longitude, c.kind.c_str());
  g.ActiveWaypointLat = c.latitude;
  g.ActiveWaypointLon = c.longitude;
  fp.ActiveFlightPlan[0] = Waypoint("DIRECT", g.PlaneLatitude, g.PlaneLongitude, "WPT");
  // The line from where the direct-to was begun is the leg flown.
  g.LnavLegTracking = 1;
  fp.ActiveFlightPlan[fp.ActiveFlightPlanLastIndex + 1] = Waypoint("******", 0.0, 0.0, "");
  flightplan::ActiveRouteChanged();
  if (fp.RouteState == 3) flightplan::CopyActiveToPendingPlan();

  gnsxls::gnsxls_state.McuLegsCursor = 1;
  mcu_state.McuDirectToSearchText.clear();
  model::model_state.McuEntryText.clear();
  Entry().WaypointCandidateCount = 0;
  mcu_state.McuPage = kPageStatus;
  g.DisplayRefreshCounter = 999;
  gnsxls::gnsxls_state.McuRedrawRequest = 1;
}

template <typename Table>
void AppendMatches(const Table& table, int count, const std::string& ident) {
  navdb::EntryState& e = Entry();
  for (int i = 1; i <= count && e.WaypointCandidateCount < navdb::kMaxEntryCandidates; ++i) {
    const model::NavDbRecord& r = table[i];
    if (r.ident != ident) continue;
    model::NavDbRecord& c = e.WaypointCandidateList[++e.WaypointCandidateCount];
    c = model::NavDbRecord{};
    c.ident = r.ident;
    c.latitude = r.latitude;
    c.longitude = r.longitude;
    c.kind = r.kind;
  }
}

// The candidates of a changed entry text: navaids, then intersections, then
// airports, in table order, at most 250.
void Search() {
  State& m = mcu_state;
  const std::string& text = model::model_state.McuEntryText;
  if (text == m.McuDirectToSearchText) return;
  Entry().WaypointCandidateCount = 0;
  m.McuDirectToCandidate = 1;
  const navdb::State& nav = navdb::navdb_state;
  if (!text.empty()) {
    AppendMatches(nav.NavaidTable, nav.NavaidCount, text);
    AppendMatches(nav.IntersectionTable, nav.IntersectionCount, text);
    AppendMatches(nav.AirportTable, nav.AirportCount, text);
  }
  m.McuDirectToSearchText = text;
}

void DrawCandidates(McuPage& page) {
  const guidance::State& g = guidance::guidance_state;
  const navdb::EntryState& e = Entry();
  const int first = mcu_state.McuDirectToCandidate;
  for (int row = 1; row <= kListRows; ++row) {
    const int i = first + row - 1;
    if (i < 1 || i > e.WaypointCandidateCount) continue;
    const model::NavDbRecord& c = e.WaypointCandidateList[i];
    double distance = 0.0, course = 0.0;
    navdb::ComputeDistanceAndBearing(g.PlaneLatitude, g.PlaneLongitude, c.latitude, c.longitude, distance, course);
    double bearing = course - g.MagneticVariation;
    if (bearing < 0.5) bearing += 360.0;
    page.Text(0, kRowY[row], row == 1 ? kAmber : kGreen,
              gnsxls::ScreenText("%-5s %3s %03.0f%s %5.0f nm", c.ident.c_str(), KindText(c.kind.c_str()).c_str(),
                                 bearing, kDegree, distance));
    if (row == 1) page.CursorBox(0, kBoxTop, kBoxWidth, kBoxBottom - kBoxTop);
  }
}

}  // namespace

void DrawMcuDirectToPage(McuFrame& frame) {
  McuPage page(frame.g);
  State& m = mcu_state;
  navdb::EntryState& e = Entry();
  page.Text(0, kRowY[0], kAmber, "DIRTO:");
  if (gnsxls::gnsxls_state.McuPageEntered == 1 && e.WaypointCandidateCount > 0 && m.McuDirectToCandidate >= 1 &&
      m.McuDirectToCandidate <= e.WaypointCandidateCount) {
    FlyDirect();
    return;
  }
  if (m.McuUpPressed == 1 && m.McuDirectToCandidate > 1) --m.McuDirectToCandidate;
  if (m.McuDownPressed == 1 && m.McuDirectToCandidate < e.WaypointCandidateCount) ++m.McuDirectToCandidate;
  if (m.McuUpPressed == 1 || m.McuDownPressed == 1) {
    guidance::guidance_state.DisplayRefreshCounter = 999;
    gnsxls::gnsxls_state.McuRedrawRequest = 1;
  }
  if (m.McuEntryCursor != 0) {
    // The editor draws the entry line; the search below takes its text.
    RunCharacterEditor(page);
  }
  Search();
  DrawCandidates(page);
  if (m.McuEntryCursor == 0) page.EntryLine(model::model_state.McuEntryText);
}

}  // namespace ovi::mcu
