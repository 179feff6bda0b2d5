#include "src/flightplan/route_edit.h"

#include <algorithm>
#include <vector>

#include "src/flightplan/execution_hooks.h"
#include "src/flightplan/holds.h"
#include "src/flightplan/holds_internal.h"
#include "src/flightplan/plan_ops.h"
#include "src/flightplan/state.h"
#include "src/guidance/state.h"
#include "src/model/state.h"
#include "src/navdb/airways.h"
#include "src/navdb/entry_state.h"

namespace ovi::flightplan {

namespace {

constexpr double kNewFlightGroundSpeed = 5.0;  // kt: below it a new route starts a new flight
constexpr double kLeastPlannedFuel = 5.0;

void StepIfUnchanged() {
  const int state = flightplan_state.RouteState;
  if (state == 0 || state == 3) StepRouteState();
}

// Every field blank except the first free text, which belongs to others;
// constraints and value 3 -999.
void ClearRouteEntry(model::FlightPlanWaypoint& w) {
  std::string text1 = std::move(w.text1);
  model::Recreate(w);
  w.text1 = std::move(text1);
  w.value3 = model::kNoValue;
}

void ClearPlanAndRows(model::FlightPlanTable& plan, int last) {
  State& s = flightplan_state;
  for (int i = 0; i <= std::min(last, kMaxPlanLastIndex); ++i) ClearRouteEntry(plan[i]);
  const int rows = std::min(s.RouteViaToCount, model::kFlightPlanSlots - 1);
  for (int r = 0; r <= rows; ++r) {
    s.RouteViaToList[r].to.clear();
    s.RouteViaToList[r].via.clear();
  }
}

// Room for `need` new entries at position `position` of the pending plan.
bool PendingHasRoom(int position, int need) {
  const int last = flightplan_state.PendingFlightPlanLastIndex;
  return last >= 0 && last <= kMaxPlanLastIndex && position >= 1 && position <= last + 1 &&
         last + need <= kMaxPlanLastIndex;
}

}  // namespace

// Navaids get the types the route files, the splices and radio tuning use.
std::string RouteTypeOfKind(std::string_view kind) {
  if (kind == "V") return "VOR";
  if (kind == "N") return "NDB";
  return std::string(kind);
}

void StepRouteState() {
  State& s = flightplan_state;
  const int from = s.RouteState;
  if (from >= 0 && from <= 3) {
    s.RouteState = from + 1;
  } else if (from == 4) {
    s.RouteState = 3;
  }
  if (from != 0) return;
  guidance::State& g = guidance::guidance_state;
  if (!(g.GroundSpeedKnots < kNewFlightGroundSpeed)) return;
  model::State& m = model::model_state;
  g.FlightPhase = -1;
  if (m.LoadFuelonFlightPlanLoad == 1 && m.PlannedFuel > kLeastPlannedFuel) LoadPlannedFuelHook(m.PlannedFuel);
  m.ReserveFuel = m.ResvFuel;
  g.LastClockSecond = -99.0;
  g.ElapsedFlightSeconds = 0.0;
  RestartFlightLogHook();
}

void BuildRouteViaToList() {
  State& s = flightplan_state;
  const int old_count = std::clamp(s.RouteViaToCount, 0, model::kFlightPlanSlots - 1);
  const std::vector<navdb::RouteRow> rows = navdb::PendingRouteRows();
  int count = 0;
  for (const navdb::RouteRow& row : rows) {
    if (count + 1 >= model::kFlightPlanSlots) break;
    const model::FlightPlanWaypoint& to = s.PendingFlightPlan[row.to];
    model::RouteViaToEntry& entry = s.RouteViaToList[++count];
    entry.to = to.ident;
    entry.via = to.via.empty() ? "DIRECT" : to.via;
  }
  s.RouteViaToCount = count;
  for (int r = count + 1; r <= old_count; ++r) {
    s.RouteViaToList[r].to.clear();
    s.RouteViaToList[r].via.clear();
  }
}

int FindNextViaToWaypoint(int row) {
  const State& s = flightplan_state;
  const int last = std::min(s.PendingFlightPlanLastIndex, kMaxPlanLastIndex);
  if (row < 1 || row >= last) return last;
  const std::string& to = s.RouteViaToList[row].to;
  // While the rows still describe the plan, the row's own TO entry: an
  // earlier row may end at the same ident (a second "DISCO", a fix flown
  // twice) at or after index `row`, and an edit there lands in that row.
  const std::vector<navdb::RouteRow> rows = navdb::PendingRouteRows();
  if (row <= static_cast<int>(rows.size())) {
    const int end = rows[static_cast<std::size_t>(row - 1)].to;
    if (end >= row && end <= last - 1 && s.PendingFlightPlan[end].ident == to) return end;
  }
  for (int i = row; i <= last - 1; ++i) {
    if (s.PendingFlightPlan[i].ident == to) return i;
  }
  return last;
}

bool InsertCandidateIntoPending(int position) {
  State& s = flightplan_state;
  if (position == 0) position = 1;
  const int last = s.PendingFlightPlanLastIndex;
  // A waypoint that does not end the route gets a discontinuity after it.
  const bool disco = position < last;
  if (!PendingHasRoom(position, disco ? 2 : 1)) return false;
  const PlanRef p = PendingPlan();
  OpenSlots(p, position, 1);
  const model::NavDbRecord& candidate = navdb::entry_state.WaypointCandidateList[1];
  model::FlightPlanWaypoint& w = p.plan[position];
  BlankEntry(w);
  w.ident = std::string(candidate.ident);
  w.latitude = candidate.latitude;
  w.longitude = candidate.longitude;
  w.type = RouteTypeOfKind(std::string_view(candidate.kind));
  w.frequency_text = std::string(candidate.frequency_text);
  if (disco) {
    OpenSlots(p, position + 1, 1);
    p.plan[position + 1].ident = "DISCO";
  }
  WriteEndMarker(p);
  StepIfUnchanged();
  return true;
}

bool InsertAirwayViaPending(int position) {
  if (!PendingHasRoom(position, 1)) return false;
  const PlanRef p = PendingPlan();
  OpenSlots(p, position, 1);
  model::FlightPlanWaypoint& w = p.plan[position];
  BlankEntry(w);
  w.ident = "THEN";
  w.type = "OAWY";
  w.via = model::model_state.FmsScratchpad.str();
  model::model_state.FmsScratchpad.clear();
  WriteEndMarker(p);
  return true;
}

void CompactPendingPlan() {
  const PlanRef p = PendingPlan();
  for (int i = LastIndex(p); i >= 0; --i) {
    if (p.plan[i].ident == "THEN") RemoveEntries(p, i, i + 1);
  }
  WriteEndMarker(p);
}

bool RemovePendingWaypoints(int first, int next) {
  const PlanRef p = PendingPlan();
  const int last = LastIndex(p);
  if (first < 1 || next < first || first > last || next > last + 1) return false;
  RemoveEntries(p, first, next);
  WriteEndMarker(p);
  StepIfUnchanged();
  model::model_state.FmsScratchpad.clear();
  BuildRouteViaToList();
  return true;
}

void ClearPendingPlanFields() {
  State& s = flightplan_state;
  ClearPlanAndRows(s.PendingFlightPlan, s.PendingFlightPlanLastIndex);
}

void ClearActivePlanFields() {
  State& s = flightplan_state;
  ClearPlanAndRows(s.ActiveFlightPlan, s.ActiveFlightPlanLastIndex);
  ActiveRouteChanged();
  ClearHolds();
  guidance::guidance_state.VerticalProfileValid = 0;
}

void CopyActiveToPendingPlan() {
  State& s = flightplan_state;
  const int last = std::min(s.ActiveFlightPlanLastIndex, kMaxPlanLastIndex);
  for (int i = 0; i <= last; ++i) s.PendingFlightPlan[i] = s.ActiveFlightPlan[i];
  s.PendingFlightPlanLastIndex = last < 0 ? -1 : last;
  WriteEndMarker(PendingPlan());
  s.EditWaypointIndex = s.ActiveWaypointIndex;
  // An index past the route (one left from a longer route) would be
  // carried back at EXEC and name no waypoint.
  s.PendingActiveWaypointIndex = std::clamp(guidance::guidance_state.NextConstraintIndex, 0, std::max(last, 0));
  SaveHoldIndices();
}

void BeginRouteModification() {
  if (flightplan_state.RouteState == 3) CopyActiveToPendingPlan();
}

void ClearFixInfoEntries(int entry) {
  State& s = flightplan_state;
  for (int e = 1; e <= 2; ++e) {
    if (entry > 0 && e != entry) continue;
    model::FixInfoRecord& r = s.FixInfoTable[e];
    r.ident.clear();
    r.latitude = 0.0;
    r.longitude = 0.0;
    for (model::FixInfoRecord::RadialDistance& row : r.rows) row = {};
  }
}

}  // namespace ovi::flightplan
