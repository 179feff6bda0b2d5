// Airway fix lists and airway segments spliced into the routes.
#include "src/navdb/airways.h"

#include <algorithm>
#include <cmath>
#include <string_view>
#include <vector>

#include "src/flightplan/state.h"
#include "src/navdb/internal.h"
#include "src/util/text.h"

namespace ovi::navdb {

namespace {

// A route waypoint and an airway fix of the same ident are the same point
// when this close: route files and airway files round positions
// differently, and idents repeat around the world.
constexpr double kSameFixNm = 5.0;
// A navaid on an airway is recognised by its ident and this closeness.
constexpr double kSameNavaidDegrees = 0.01;
// No airway name is longer; a longer text names none.
constexpr std::size_t kMaxAirwayNameLength = 32;

RouteEntryMoved route_entry_moved = nullptr;

struct Route {
  model::FlightPlanTable& plan;
  int& last;
  bool pending;
};

Route PendingRoute() {
  flightplan::State& f = flightplan::flightplan_state;
  return {f.PendingFlightPlan, f.PendingFlightPlanLastIndex, true};
}

Route ActiveRoute() {
  flightplan::State& f = flightplan::flightplan_state;
  return {f.ActiveFlightPlan, f.ActiveFlightPlanLastIndex, false};
}

// The navigator edits the stored plan it opened, else the active route.
Route NavigatorRoute() { return entry_state.PendingPlanOpen == 1 ? PendingRoute() : ActiveRoute(); }

bool IsMarker(const std::string& ident) {
  return ident.empty() || ident == "THEN" || ident == "DISCO" || ident == kRouteEndMarker;
}

int ListedCount() { return std::clamp(entry_state.WaypointCandidateCount, 0, kMaxEntryCandidates); }

bool SameFix(const model::FlightPlanWaypoint& w, const model::NavDbRecord& fix, double& distance) {
  if (w.ident != fix.ident) return false;
  double course = 0.0;
  GreatCircle(w.latitude, w.longitude, fix.latitude, fix.longitude, distance, course);
  return std::isfinite(distance) && distance < kSameFixNm;
}

// Index of the route waypoint among the listed fixes (the nearest of equal
// ident), 0 when it is not on the airway.
int FindOnList(const model::FlightPlanWaypoint& w) {
  if (IsMarker(w.ident)) return 0;
  const EntryState& e = entry_state;
  int best = 0;
  double best_distance = kSameFixNm;
  for (int i = 1; i <= ListedCount(); ++i) {
    double d = 0.0;
    if (SameFix(w, e.WaypointCandidateList[i], d) && (best == 0 || d < best_distance)) {
      best = i;
      best_distance = d;
    }
  }
  return best;
}

// The fix as the airway lists it: a navaid on the airway keeps its kind and
// frequency so the route can tune it; any other fix is an intersection.
model::NavDbRecord AirwayFixRecord(const model::NavDbRecord& point) {
  model::NavDbRecord r = point;
  r.kind = "I";
  const State& s = navdb_state;
  const NavaidFirstCharIndex& idx = s.NavaidIndex;
  if (point.ident.empty() || idx.order.empty()) return r;
  const std::size_t c = static_cast<unsigned char>(point.ident[0]);
  for (std::int32_t k = idx.start[c]; k < idx.start[c + 1]; ++k) {
    if (k < 0 || static_cast<std::size_t>(k) >= idx.order.size()) break;
    const model::NavDbRecord& n = s.NavaidTable[idx.order[static_cast<std::size_t>(k)]];
    if (n.ident == point.ident && std::fabs(n.latitude - point.latitude) < kSameNavaidDegrees &&
        std::fabs(n.longitude - point.longitude) < kSameNavaidDegrees) {
      r = n;
      r.latitude = point.latitude;
      r.longitude = point.longitude;
      if (n.kind == "V") break;  // a VOR beats an NDB of the same ident
    }
  }
  return r;
}

std::string AirwayName(const std::string& text) {
  std::string_view name = util::Trim(text);
  if (!name.empty() && name.front() == '#') name = util::Trim(name.substr(1));
  return std::string(name);
}

// Fills the list with the airway's fixes and finds the route waypoint at
// EditWaypointIndex of `route` among them.
void ListFixes(const std::string& text, const Route& route) {
  EntryState& e = entry_state;
  for (int i = 1; i <= ListedCount(); ++i) model::Recreate(e.WaypointCandidateList[i]);
  e.WaypointCandidateCount = 0;
  e.PlaceBearingEntry = {-1.0, -1.0};
  e.WaypointEntryExtra = 0;

  std::string name = AirwayName(text);
  bool known = !name.empty() && name.size() <= kMaxAirwayNameLength;
  if (name.size() > kMaxAirwayNameLength) name.resize(kMaxAirwayNameLength);
  e.ListedAirwayName = known ? name : std::string();

  const State& s = navdb_state;
  for (int i = 1; known && i <= s.AirwayFixCount && e.WaypointCandidateCount < kMaxEntryCandidates; ++i) {
    const AirwayFix& line = s.AirwayFixTable[i];
    if (line.airway != name) continue;
    if (line.point < 1 || line.point > s.AirwayPointCount) continue;
    ++e.WaypointCandidateCount;
    e.WaypointCandidateList[e.WaypointCandidateCount] = AirwayFixRecord(s.AirwayPointTable[line.point]);
  }

  int start = 0;
  const int k = flightplan::flightplan_state.EditWaypointIndex;
  if (k >= 0 && k <= route.last && k < model::kFlightPlanSlots) start = FindOnList(route.plan[k]);
  e.AirwayStartIndex = start;
  e.SelectedAirwayIndex = start;
  e.AirwayPageState = start;
  e.AirwayListPage = start > 0 ? (start - 1) / kAirwayListPageSize + 1 : 1;
  e.AirwayListPageCount = std::max(1, (e.WaypointCandidateCount + kAirwayListPageSize - 1) / kAirwayListPageSize);
  e.AirwayTitleText = start > 0 ? name : name + " (N/A)";
}

model::FlightPlanWaypoint Leg(const model::NavDbRecord& fix, const std::string& airway) {
  model::FlightPlanWaypoint w;
  w.ident = fix.ident;
  w.latitude = fix.latitude;
  w.longitude = fix.longitude;
  w.type = fix.kind;
  w.via = airway;
  w.frequency_text = fix.frequency_text;
  return w;
}

void WriteEndMarker(const Route& route) {
  const int slot = route.last + 1;
  if (slot < 0 || slot >= model::kFlightPlanSlots) return;
  model::Recreate(route.plan[slot]);
  route.plan[slot].ident = kRouteEndMarker;
}

// Moves entries at..last up by n (from the top down). The caller has made
// sure last + n stays within the route.
void OpenSlots(const Route& route, int at, int n) {
  if (n <= 0) return;
  for (int i = route.last; i >= at; --i) {
    route.plan[i + n] = std::move(route.plan[i]);
    model::Recreate(route.plan[i]);
    if (route_entry_moved != nullptr) route_entry_moved(route.pending, i + n, i);
  }
  if (!route.pending) {
    int& active = flightplan::flightplan_state.ActiveWaypointIndex;
    if (active != model::kNoWaypoint && active >= at && active <= route.last) active += n;
  }
}

// Takes entry `at` out, closing the gap.
void CloseSlot(const Route& route, int at) {
  if (route_entry_moved != nullptr) route_entry_moved(route.pending, -1, at);
  for (int i = at + 1; i <= route.last; ++i) {
    route.plan[i - 1] = std::move(route.plan[i]);
    if (route_entry_moved != nullptr) route_entry_moved(route.pending, i - 1, i);
  }
  --route.last;
  WriteEndMarker(route);
}

// Inserts the listed fixes from start (exclusive) to end (inclusive) after
// route entry k. Returns the number of legs inserted.
int Splice(const Route& route, int k, int start, int end) {
  const EntryState& e = entry_state;
  const int count = ListedCount();
  if (k < 0 || k > route.last || route.last >= model::kFlightPlanSlots) return 0;
  if (start < 1 || start > count || end < 1 || end > count || start == end) return 0;
  const int step = end > start ? 1 : -1;
  std::vector<int> segment;
  for (int i = start + step;; i += step) {
    segment.push_back(i);
    if (i == end) break;
  }
  // The exit may already be the next waypoint (an airway marker between
  // does not count): it then takes the airway instead of being repeated.
  int next = k + 1;
  while (next <= route.last && route.plan[next].ident == "THEN") ++next;
  double d = 0.0;
  const bool exit_is_next = next <= route.last && SameFix(route.plan[next], e.WaypointCandidateList[end], d);
  const int wanted = static_cast<int>(segment.size()) - (exit_is_next ? 1 : 0);
  const int room = std::max(0, kMaxRouteLastIndex - route.last);
  const int n = std::min(wanted, room);

  OpenSlots(route, k + 1, n);
  for (int j = 0; j < n; ++j) {
    route.plan[k + 1 + j] = Leg(e.WaypointCandidateList[segment[static_cast<std::size_t>(j)]], e.ListedAirwayName);
  }
  route.last += n;
  if (exit_is_next && n == wanted) route.plan[next + n].via = e.ListedAirwayName;
  WriteEndMarker(route);
  return n;
}

}  // namespace

std::vector<RouteRow> PendingRouteRows() {
  const Route route = PendingRoute();
  std::vector<RouteRow> rows;
  std::string previous_via;
  const int end = std::min(route.last - 1, model::kFlightPlanSlots - 1);
  for (int i = 1; i <= end; ++i) {
    const model::FlightPlanWaypoint& w = route.plan[i];
    const int from = rows.empty() ? 0 : rows.back().to;
    // Route files write "DIRECT" for a direct leg: it ends a row of its own
    // like an empty via, or loaded direct legs would hide in one row.
    if (w.via.empty() || w.via == "DIRECT") {
      rows.push_back({from, i});
      previous_via = "DIRECT";
    } else if (w.via != previous_via || w.ident == "THEN" || rows.empty()) {
      rows.push_back({from, i});
      previous_via = w.via;
    } else {
      rows.back().to = i;
    }
  }
  return rows;
}

void SetRouteEntryMovedHook(RouteEntryMoved hook) { route_entry_moved = hook; }

void ListAirwayFixes(const std::string& airway) { ListFixes(airway, NavigatorRoute()); }

void ListAirwaysThroughWaypoint(const std::string& text) {
  ListFixes(text, PendingRoute());
  entry_state.AirwayListCount = entry_state.AirwayStartIndex;
}

int SelectAirwayCandidate(int row) {
  EntryState& e = entry_state;
  e.AirwayInsertPending = 1;
  const std::vector<RouteRow> rows = PendingRouteRows();
  if (row < 1 || row > static_cast<int>(rows.size())) return 0;
  const RouteRow r = rows[static_cast<std::size_t>(row - 1)];
  // Only a direct leg is turned into the airway: the fixes of an airway row
  // stay until the pilot deletes them.
  if (r.to != r.from + 1 || flightplan::flightplan_state.EditWaypointIndex != r.from) return 0;
  const Route route = PendingRoute();
  if (!route.plan[r.to].via.empty() && route.plan[r.to].via != "DIRECT") return 0;
  const int start = FindOnList(route.plan[r.from]);
  const int end = FindOnList(route.plan[r.to]);
  if (start == 0 || end == 0 || start == end) return 0;
  e.SelectedAirwayIndex = end;
  Splice(route, r.from, start, end);
  e.AirwayInsertPending = 0;
  return 1;
}

int UpdatePendingViaFields(int row) {
  const std::vector<RouteRow> rows = PendingRouteRows();
  if (row < 1 || row > static_cast<int>(rows.size())) return 0;
  const RouteRow r = rows[static_cast<std::size_t>(row - 1)];
  const Route route = PendingRoute();
  const std::string& to = route.plan[r.to].ident;
  if (to == "THEN") {
    CloseSlot(route, r.to);
    return 1;
  }
  if (to == "DISCO") return 0;
  bool airway = false;
  for (int i = r.from + 1; i <= r.to; ++i) {
    const std::string& via = route.plan[i].via;
    if (!via.empty() && via != "DIRECT") airway = true;
  }
  if (!airway) return 0;
  for (int i = r.from + 1; i <= r.to; ++i) route.plan[i].via.clear();
  return 1;
}

int InsertAirwayLegs() {
  const EntryState& e = entry_state;
  const int k = flightplan::flightplan_state.EditWaypointIndex;
  if (e.AirwayInsertPending == 1) {
    const Route route = PendingRoute();
    if (k < 0 || k > route.last || k >= model::kFlightPlanSlots) return 0;
    return Splice(route, k, FindOnList(route.plan[k]), e.SelectedAirwayIndex);
  }
  const Route route = NavigatorRoute();
  if (k < 0 || k > route.last || k >= model::kFlightPlanSlots) return 0;
  const int start = e.AirwayStartIndex;
  if (start < 1 || start > ListedCount() || FindOnList(route.plan[k]) == 0 ||
      route.plan[k].ident != e.WaypointCandidateList[start].ident) {
    return 0;
  }
  return Splice(route, k, start, e.SelectedAirwayIndex);
}

}  // namespace ovi::navdb
