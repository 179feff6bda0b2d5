#include "src/instruments/gnsxls/route_edits.h"

#include <algorithm>

#include "src/flightplan/route_edit.h"
#include "src/flightplan/state.h"
#include "src/guidance/state.h"
#include "src/instruments/gnsxls/navigator.h"
#include "src/instruments/gnsxls/state.h"
#include "src/model/state.h"
#include "src/navdb/entry_state.h"
#include "src/navdb/navdb.h"
#include "src/navdb/procedures.h"
#include "src/navdb/state.h"

namespace ovi::gnsxls {

namespace {

flightplan::State& Fp() { return flightplan::flightplan_state; }
model::State& M() { return model::model_state; }

void SetNone(std::initializer_list<std::string*> texts) {
  for (std::string* t : texts) *t = model::kNoneText;
}

// One pass of the release: when the tag at k is one of `at`, every tag
// `from` of entries 1..last becomes `to`.
struct ReleasePass {
  const char* at[2];
  const char* from[2];
  const char* to[2];
};

// SID first, then STAR, then the approach; a "SIDSTAR" waypoint thus lets
// go of both its departure and its arrival.
constexpr ReleasePass kReleasePasses[] = {
    {{"SID", "SIDSTAR"}, {"SID", "SIDSTAR"}, {"", "STAR"}},
    {{"STAR", "SIDSTAR"}, {"STAR", "SIDSTAR"}, {"", "SID"}},
    {{"APPR", nullptr}, {"APPR", nullptr}, {"", nullptr}},
};

bool OneOf(const std::string& tag, const char* const (&set)[2]) {
  for (const char* s : set)
    if (s != nullptr && tag == s) return true;
  return false;
}

}  // namespace

bool EditsFlownRoute() { return gnsxls_state.GnsXlsFplView == kViewActive; }

bool EditedRouteOpen() { return EditsFlownRoute() || navdb::entry_state.PendingPlanOpen == 1; }

flightplan::PlanRef EditedRoute(InsertFrom from) {
  if (!EditsFlownRoute()) return flightplan::PendingPlan();
  const bool keeps_first = from == InsertFrom::kDatabase && Fp().ActiveWaypointIndex <= 1;
  return flightplan::ActivePlan(!keeps_first);
}

model::FlightPlanWaypoint NewRouteEntry(const std::string& ident, double latitude, double longitude,
                                        const std::string& type, const std::string& frequency_text) {
  State& s = gnsxls_state;
  model::FlightPlanWaypoint w;
  // A created name never outgrows an ident of the navigation records.
  w.ident = ident.substr(0, model::kRecordIdentLength);
  w.latitude = latitude;
  w.longitude = longitude;
  w.type = type;
  w.frequency_text = frequency_text;
  w.flyover = s.GnsWaypointEntryText == "YES" ? 1 : 0;
  s.GnsWaypointEntryText = "NO";
  return w;
}

void TakeFlyoverChoiceFromEntry() { gnsxls_state.GnsWaypointEntryText = EntryText() == "YES" ? "YES" : "NO"; }

void ReleaseProcedureTags(const flightplan::PlanRef& plan, int k) {
  const int last = flightplan::LastIndex(plan);
  if (k < 1 || k > last) return;
  for (const ReleasePass& pass : kReleasePasses) {
    if (!OneOf(plan.plan[k].procedure_tag, pass.at)) continue;
    for (int i = 1; i <= last; ++i) {
      std::string& tag = plan.plan[i].procedure_tag;
      for (int f = 0; f < 2; ++f) {
        if (pass.from[f] != nullptr && tag == pass.from[f]) {
          tag = pass.to[f];
          break;
        }
      }
    }
  }
}

bool InsertIntoEditedRoute(int k, const model::FlightPlanWaypoint& entry, InsertFrom from) {
  const flightplan::PlanRef plan = EditedRoute(from);
  const int last = flightplan::LastIndex(plan);
  if (k < 0 || k > last + 1 || last + 1 > kMaxEditLastIndex) return false;
  flightplan::OpenSlots(plan, k, 1);
  plan.plan[k] = entry;
  flightplan::WriteEndMarker(plan);
  return true;
}

bool DeleteFromEditedRoute(int k) {
  const flightplan::PlanRef plan = EditedRoute();
  if (k < 1 || k > flightplan::LastIndex(plan)) return false;
  ReleaseProcedureTags(plan, k);
  flightplan::RemoveEntries(plan, k, k + 1);
  flightplan::WriteEndMarker(plan);
  // A route of its origin alone has no leg to fly.
  if (!plan.pending && flightplan::LastIndex(plan) < 1) Fp().ActiveWaypointIndex = model::kNoWaypoint;
  return true;
}

namespace {

// FNV-1a over the bytes of what a route holds where it matters to a copy.
class Stamp {
 public:
  template <typename T>
  void Add(const T& value) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(&value);
    for (std::size_t i = 0; i < sizeof value; ++i) Byte(bytes[i]);
  }
  void Add(const std::string& text) {
    for (const char c : text) Byte(static_cast<unsigned char>(c));
    Byte(0);
  }
  void Add(const flightplan::PlanRef& plan) {
    const int last = flightplan::LastIndex(plan);
    Add(last);
    for (int i = 0; i <= last; ++i) {
      const model::FlightPlanWaypoint& w = plan.plan[i];
      Add(w.ident);
      Add(w.latitude);
      Add(w.longitude);
      Add(w.hold_number);
    }
  }
  std::uint64_t value() const { return hash_; }

 private:
  void Byte(unsigned char b) { hash_ = (hash_ ^ b) * 1099511628211ull; }
  std::uint64_t hash_ = 14695981039346656037ull;
};

}  // namespace

std::uint64_t RoutesStamp() {
  const flightplan::State& fp = Fp();
  Stamp stamp;
  stamp.Add(fp.RouteState);
  stamp.Add(flightplan::ActivePlan());
  stamp.Add(flightplan::PendingPlan());
  const int holds = std::clamp(fp.HoldCount, 0, model::kMaxHolds);
  stamp.Add(holds);
  for (int k = 1; k <= holds; ++k) {
    stamp.Add(fp.HoldTable[k].active_index);
    stamp.Add(fp.HoldTable[k].pending_index);
  }
  return stamp.value();
}

void BeginFlownRouteEdit() {
  const int cursor = Fp().EditWaypointIndex;
  flightplan::BeginRouteModification();
  Fp().EditWaypointIndex = cursor;
}

void EndFlownRouteEdit() {
  flightplan::ActiveRouteChanged();
  if (Fp().RouteState != 3) return;
  const int cursor = Fp().EditWaypointIndex;
  flightplan::CopyActiveToPendingPlan();
  Fp().EditWaypointIndex = cursor;
}

void FollowFlownOrigin() {
  const model::FlightPlanWaypoint& origin = Fp().ActiveFlightPlan[0];
  model::State& m = M();
  if (flightplan::LastIndex(flightplan::ActivePlan()) < 0 || origin.type != "APT" ||
      origin.ident == m.OriginAirportIdent)
    return;
  m.OriginAirportIdent = origin.ident;
  navdb::LoadAirportProcedures(origin.ident, 1);
  SetNone({&m.RouteSid, &m.SelectedSidTransition, &m.RouteDepartureRunway});
}

void FollowFlownDestination(bool with_details) {
  const int last = flightplan::LastIndex(flightplan::ActivePlan());
  if (last < 1) return;
  const model::FlightPlanWaypoint& end = Fp().ActiveFlightPlan[last];
  model::State& m = M();
  if (end.type != "APT" || end.ident == m.DestinationAirportIdent) return;
  m.DestinationAirportIdent = end.ident;
  navdb::LoadAirportProcedures(end.ident, 2);
  SetNone({&m.SelectedStar, &m.PendingStarTransition, &m.GnsSelectedApproach, &m.SelectedArrivalRunway,
           &m.PlanSelectionText3});
  if (!with_details) return;
  navdb::LoadAirportDetails(end.ident, 1);
  guidance::guidance_state.DestinationDetailsState = 2;
  m.McuAirportElevationText = navdb::navdb_state.AirportElevationText;
  m.McuAirportIdent = navdb::navdb_state.AirportDetailText;
}

void FollowStoredOrigin() {
  const model::FlightPlanWaypoint& origin = Fp().PendingFlightPlan[0];
  model::State& m = M();
  if (flightplan::LastIndex(flightplan::PendingPlan()) < 0 || origin.type != "APT") return;
  m.PendingOriginIdent = origin.ident;
  navdb::LoadAirportProcedures(origin.ident, 1);
  SetNone({&m.PlanSelectionText2, &m.GnsSelectedSidTransition, &m.PendingDepartureRunway});
  gnsxls_state.GnsDepartureSelection = 0;
}

void FollowStoredDestination() {
  const int last = flightplan::LastIndex(flightplan::PendingPlan());
  if (last < 1) return;
  const model::FlightPlanWaypoint& end = Fp().PendingFlightPlan[last];
  model::State& m = M();
  if (end.type != "APT" || end.ident == m.PlanFinalWaypointIdent) return;
  m.PlanFinalWaypointIdent = end.ident;
  navdb::LoadAirportProcedures(end.ident, 2);
  SetNone({&m.GnsSelectedStarTransition, &m.StarTransitionNone, &m.ApproachNone, &m.PlanSelectionText1,
           &m.GnsSelectedApproachVia});
}

}  // namespace ovi::gnsxls
