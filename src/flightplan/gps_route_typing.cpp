#include "src/flightplan/gps_route_typing.h"

#include <algorithm>
#include <string>

#include "src/flightplan/plan_ops.h"
#include "src/flightplan/state.h"
#include "src/navdb/navdb.h"

namespace ovi::flightplan {

namespace {

// A database entry stands for a GPS point when it is this close.
constexpr double kMatchRadiusNm = 5.0;
// Idents this long or shorter are navaids; longer ones intersections.
constexpr std::size_t kMaxNavaidIdent = 5;

bool Near(const model::FlightPlanWaypoint& w, const model::NavDbRecord& r) {
  double distance = 0.0, course = 0.0;
  navdb::ComputeDistanceAndBearing(w.latitude, w.longitude, r.latitude, r.longitude, distance, course);
  return distance < kMatchRadiusNm;
}

void Type(model::FlightPlanWaypoint& w, const char* type, const model::NavDbRecord* navaid) {
  w.type = type;
  w.frequency_text = navaid != nullptr ? std::string(navaid->frequency_text) : std::string();
}

void ResolveIntermediate(model::FlightPlanWaypoint& w) {
  const navdb::State& db = navdb::navdb_state;
  if (w.ident.size() <= kMaxNavaidIdent) {
    const int count = std::min(db.NavaidCount, navdb::kMaxNavaids);
    for (int n = 1; n <= count; ++n) {
      const model::NavDbRecord& navaid = db.NavaidTable[n];
      if (navaid.ident != w.ident || !Near(w, navaid)) continue;
      if (navaid.kind == "V") return Type(w, "VOR", &navaid);
      // A station listed as an NDB and then a VOR is tuned as the VOR.
      if (n + 1 <= count) {
        const model::NavDbRecord& next = db.NavaidTable[n + 1];
        if (next.ident == w.ident && next.kind == "V" && Near(w, next)) return Type(w, "VOR", &next);
      }
      return Type(w, "NDB", &navaid);
    }
  } else {
    const int count = std::min(db.IntersectionCount, navdb::kMaxIntersections);
    for (int n = 1; n <= count; ++n) {
      const model::NavDbRecord& fix = db.IntersectionTable[n];
      if (fix.ident == w.ident && Near(w, fix)) return Type(w, "INT", nullptr);
    }
  }
  Type(w, "WPT", nullptr);
}

}  // namespace

void ResolveGpsRouteWaypoints() {
  State& s = flightplan_state;
  const int last = LastIndex(PendingPlan());
  if (last < 0) return;
  // The ends are airports by ident alone; their positions play no part.
  for (int end : {0, last}) {
    model::FlightPlanWaypoint& w = s.PendingFlightPlan[end];
    if (navdb::FindAirport(w.ident) > 0) w.type = "APT";
  }
  if (last < 2) return;
  for (int i = 1; i <= last - 1; ++i) ResolveIntermediate(s.PendingFlightPlan[i]);
}

}  // namespace ovi::flightplan
