#include "src/instruments/gnsxls/closest_airports.h"

#include <algorithm>
#include <utility>

#include "src/guidance/state.h"
#include "src/instruments/gnsxls/kit.h"
#include "src/instruments/gnsxls/state.h"
#include "src/navdb/navdb.h"
#include "src/navdb/state.h"

namespace ovi::gnsxls {

namespace {

constexpr double kEmptyPlace = 9999.0;
constexpr double kNearListRebuild = 200.0;
constexpr double kClosestRebuild = 50.0;

// NM from the aircraft to a list centre; never built counts as far.
double FromAircraft(double latitude, double longitude) {
  if (latitude == navdb::kNoCenter && longitude == navdb::kNoCenter) return 1e9;
  const guidance::State& g = guidance::guidance_state;
  double distance = 0.0, course = 0.0;
  navdb::ComputeDistanceAndBearing(g.PlaneLatitude, g.PlaneLongitude, latitude, longitude, distance, course);
  return distance;
}

// Entry 1..9 with the greatest distance, the first of equals.
int Farthest() {
  const State& s = gnsxls_state;
  int farthest = 1;
  for (int i = 2; i <= kClosestAirportCount; ++i)
    if (s.ClosestAirportList[i].distance > s.ClosestAirportList[farthest].distance) farthest = i;
  return farthest;
}

}  // namespace

void FillClosestAirports() {
  State& s = gnsxls_state;
  const navdb::State& db = navdb::navdb_state;
  const guidance::State& g = guidance::guidance_state;
  for (int i = 1; i <= kClosestAirportCount; ++i) {
    model::NavDbRecord& e = s.ClosestAirportList[i];
    e = model::NavDbRecord{};
    e.distance = kEmptyPlace;
    e.bearing = kEmptyPlace;
  }
  int slot = 1;
  const int count = std::min(db.MapAirportCount, navdb::kMaxMapAirports);
  for (int a = 1; a <= count; ++a) {
    const model::NavDbRecord& airport = db.MapAirportList[a];
    double distance = 0.0, course = 0.0;
    navdb::ComputeDistanceAndBearing(g.PlaneLatitude, g.PlaneLongitude, airport.latitude, airport.longitude, distance,
                                     course);
    model::NavDbRecord& e = s.ClosestAirportList[slot];
    if (!(distance < e.distance)) continue;
    e = airport;
    e.distance = distance;
    e.bearing = GnsMagneticBearing(course);
    slot = Farthest();
  }
}

void SortClosestAirports() {
  State& s = gnsxls_state;
  for (int k = 1; k < kClosestAirportCount;) {
    model::NavDbRecord& a = s.ClosestAirportList[k];
    model::NavDbRecord& b = s.ClosestAirportList[k + 1];
    if (b.distance > a.distance) {
      std::swap(a, b);
      k = 1;
    } else {
      ++k;
    }
  }
}

void RebuildClosestAirports() {
  State& s = gnsxls_state;
  const guidance::State& g = guidance::guidance_state;
  navdb::FilterMapAirports(g.PlaneLatitude, g.PlaneLongitude);
  FillClosestAirports();
  SortClosestAirports();
  s.ClosestListLatitude = g.PlaneLatitude;
  s.ClosestListLongitude = g.PlaneLongitude;
}

void KeepClosestAirports(bool force) {
  const State& s = gnsxls_state;
  const navdb::LatLon near = navdb::navdb_state.NearListCenters[navdb::kNearAirportsCenter];
  const guidance::State& g = guidance::guidance_state;
  if (FromAircraft(near.latitude, near.longitude) > kNearListRebuild)
    navdb::FilterNearAirports(g.PlaneLatitude, g.PlaneLongitude);
  if (force || FromAircraft(s.ClosestListLatitude, s.ClosestListLongitude) > kClosestRebuild)
    RebuildClosestAirports();
}

}  // namespace ovi::gnsxls
