#include "tests/waypoints/support.h"

#include "src/navdb/airways.h"
#include "src/navdb/navdb.h"
#include "src/navdb/state.h"

namespace ovi::navdb::test {

namespace {

const model::NavDbRecord* FindRecord(const std::string& ident) {
  const State& s = navdb_state;
  for (int i = 1; i <= s.NavaidCount; ++i) {
    if (s.NavaidTable[i].ident == ident) return &s.NavaidTable[i];
  }
  for (int i = 1; i <= s.IntersectionCount; ++i) {
    if (s.IntersectionTable[i].ident == ident) return &s.IntersectionTable[i];
  }
  for (int i = 1; i <= s.AirportCount; ++i) {
    if (s.AirportTable[i].ident == ident) return &s.AirportTable[i];
  }
  return nullptr;
}

}  // namespace

model::FlightPlanWaypoint Waypoint(const std::string& ident) {
  model::FlightPlanWaypoint w;
  w.ident = ident;
  if (const model::NavDbRecord* r = FindRecord(ident)) {
    w.latitude = r->latitude;
    w.longitude = r->longitude;
    w.type = r->kind;
  }
  return w;
}

int BuildPlan(model::FlightPlanTable& plan, const std::vector<std::string>& idents) {
  plan.Clear();
  int i = 0;
  for (const std::string& ident : idents) plan[i++] = Waypoint(ident);
  plan[i].ident = kRouteEndMarker;
  return i - 1;
}

std::vector<std::string> Idents(const model::FlightPlanTable& plan, int last) {
  std::vector<std::string> out;
  for (int i = 0; i <= last; ++i) out.push_back(plan[i].ident);
  return out;
}

}  // namespace ovi::navdb::test
