#include "src/flightplan/nearest_navaids.h"

#include <algorithm>
#include <utility>

#include "src/flightplan/state.h"
#include "src/guidance/state.h"
#include "src/navdb/navdb.h"

namespace ovi::flightplan {

namespace {

constexpr double kEmptyPlace = 9999.0;

void MakeEmpty(model::NavDbRecord& r) {
  r.ident = "";
  r.frequency_text = "";
  r.distance = kEmptyPlace;
  r.bearing = kEmptyPlace;
}

// The place the next nearer station replaces: the farthest, the first of
// equal ones.
int FarthestPlace(const model::FixedTable<model::NavDbRecord, kClosestNavaidSlots>& list) {
  int w = 1;
  for (int i = 2; i <= kClosestNavaidCount; ++i) {
    if (list[i].distance > list[w].distance) w = i;
  }
  return w;
}

}  // namespace

void FindNearestNavaids() {
  auto& list = flightplan_state.ClosestNavaidList;
  for (int i = 1; i <= kClosestNavaidCount; ++i) MakeEmpty(list[i]);
  const navdb::State& db = navdb::navdb_state;
  const guidance::State& g = guidance::guidance_state;
  const int count = std::clamp(db.MapNavaidCount, 0, navdb::kMaxMapNavaids);
  int w = 1;
  for (int n = 1; n <= count; ++n) {
    const model::NavDbRecord& navaid = db.MapNavaidList[n];
    double distance = 0.0, course = 0.0;
    navdb::ComputeDistanceAndBearing(g.PlaneLatitude, g.PlaneLongitude, navaid.latitude, navaid.longitude, distance,
                                     course);
    double bearing = course - g.MagneticVariation;
    if (bearing < 0.5) bearing += 360.0;
    if (!(distance < list[w].distance) || navaid.kind != "V") continue;
    model::NavDbRecord& place = list[w];
    place.ident = navaid.ident;
    place.frequency_text = navaid.frequency_text;
    place.distance = distance;
    place.bearing = bearing;
    w = FarthestPlace(list);
  }
  // Farthest first: empty places lead, equal distances keep their order.
  for (int i = 1; i < kClosestNavaidCount;) {
    if (list[i + 1].distance > list[i].distance) {
      std::swap(list[i], list[i + 1]);
      i = 1;
    } else {
      ++i;
    }
  }
}

}  // namespace ovi::flightplan
