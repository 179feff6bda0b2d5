// The near lists (600 NM around a position, from the tables) and the map
// lists (a smaller radius, from the near lists) that the map layers draw.
#include <algorithm>
#include <cmath>
#include <vector>

#include "src/navdb/internal.h"
#include "src/navdb/navdb.h"

namespace ovi::navdb {

namespace {

using model::NavDbRecord;

struct Candidate {
  int index;
  double distance;
  double course;
};

// Keeps at most `max` candidates, the nearest ones, in their original order.
// (Cutting the list in table order instead would drop close entries in
// dense regions while keeping far ones.)
void KeepNearest(std::vector<Candidate>& c, int max) {
  if (static_cast<int>(c.size()) <= max) return;
  auto nearer = [](const Candidate& a, const Candidate& b) {
    return a.distance < b.distance || (a.distance == b.distance && a.index < b.index);
  };
  std::nth_element(c.begin(), c.begin() + max, c.end(), nearer);
  c.resize(static_cast<std::size_t>(max));
  std::sort(c.begin(), c.end(), [](const Candidate& a, const Candidate& b) { return a.index < b.index; });
}

void WriteList(const std::vector<Candidate>& c, const BoundedTable<NavDbRecord>& source,
               BoundedTable<NavDbRecord>& list, int& count) {
  count = 0;
  for (const Candidate& k : c) {
    NavDbRecord& r = list[++count];
    r = source[k.index];
    r.distance = k.distance;
    r.bearing = k.course;
  }
  list.Truncate(count);
}

void FilterNear(const BoundedTable<NavDbRecord>& table, int table_count, const PositionVectors& v, double lat,
                double lon, BoundedTable<NavDbRecord>& list, int& count, int slot) {
  State& s = navdb_state;
  s.NearListCenters[static_cast<std::size_t>(slot)] = LatLon{lat, lon};
  std::vector<Candidate> c;
  if (!std::isfinite(lat) || !std::isfinite(lon)) {
    count = 0;
    list.Truncate(0);
    return;
  }
  // Reject far entries on the unit vectors first; a margin of a few NM
  // covers the float rounding, the exact test follows.
  const double la = lat * kDegToRad, lo = lon * kDegToRad;
  const float qx = static_cast<float>(std::cos(la) * std::cos(lo));
  const float qy = static_cast<float>(std::cos(la) * std::sin(lo));
  const float qz = static_cast<float>(std::sin(la));
  const float threshold = static_cast<float>(std::cos((kNearListRadius + 5.0) / kEarthRadiusNm));
  const int n = std::min<int>(table_count, static_cast<int>(v.x.size()) - 1);
  const float* xs = v.x.data();
  const float* ys = v.y.data();
  const float* zs = v.z.data();
  std::vector<int> hits;
  hits.reserve(4096);
  for (int i = 1; i <= n; ++i) {
    if (xs[i] * qx + ys[i] * qy + zs[i] * qz >= threshold) hits.push_back(i);
  }
  c.reserve(hits.size());
  for (int i : hits) {
    const NavDbRecord& r = table[i];
    double d, crs;
    GreatCircle(lat, lon, r.latitude, r.longitude, d, crs);
    if (d <= kNearListRadius) c.push_back(Candidate{i, d, crs});
  }
  KeepNearest(c, kMaxNearListEntries);
  WriteList(c, table, list, count);
}

void FilterMap(const BoundedTable<NavDbRecord>& near, int near_count, double lat, double lon, double radius,
               int max, BoundedTable<NavDbRecord>& list, int& count, int slot) {
  State& s = navdb_state;
  s.NearListCenters[static_cast<std::size_t>(slot)] = LatLon{lat, lon};
  std::vector<Candidate> c;
  if (std::isfinite(lat) && std::isfinite(lon)) {
    for (int i = 1; i <= near_count; ++i) {
      const NavDbRecord& r = near[i];
      double d, crs;
      GreatCircle(lat, lon, r.latitude, r.longitude, d, crs);
      if (d <= radius) c.push_back(Candidate{i, d, crs});
    }
  }
  KeepNearest(c, max);
  WriteList(c, near, list, count);
}

bool MovedBeyond(const LatLon& center, double lat, double lon, double limit) {
  if (center.latitude == kNoCenter && center.longitude == kNoCenter) return true;
  double d, crs;
  GreatCircle(lat, lon, center.latitude, center.longitude, d, crs);
  return d > limit;
}

}  // namespace

void FilterNearAirports(double latitude, double longitude) {
  State& s = navdb_state;
  FilterNear(s.AirportTable, s.AirportCount, s.AirportVectors, latitude, longitude, s.NearAirportList,
             s.NearAirportCount, kNearAirportsCenter);
}

void FilterNearNavaids(double latitude, double longitude) {
  State& s = navdb_state;
  FilterNear(s.NavaidTable, s.NavaidCount, s.NavaidVectors, latitude, longitude, s.NearNavaidList,
             s.NearNavaidCount, kNearNavaidsCenter);
}

void FilterNearAirwayPoints(double latitude, double longitude) {
  State& s = navdb_state;
  FilterNear(s.AirwayPointTable, s.AirwayPointCount, s.AirwayPointVectors, latitude, longitude,
             s.NearAirwayPointList, s.NearAirwayPointCount, kNearAirwayPointsCenter);
}

void FilterMapAirports(double latitude, double longitude) {
  State& s = navdb_state;
  FilterMap(s.NearAirportList, s.NearAirportCount, latitude, longitude, kMapAirportRadius, kMaxMapAirports,
            s.MapAirportList, s.MapAirportCount, kMapAirportsCenter);
}

void FilterMapNavaids(double latitude, double longitude) {
  State& s = navdb_state;
  FilterMap(s.NearNavaidList, s.NearNavaidCount, latitude, longitude, kMapNavaidRadius, kMaxMapNavaids,
            s.MapNavaidList, s.MapNavaidCount, kMapNavaidsCenter);
}

void FilterMapAirwayPoints(double latitude, double longitude) {
  State& s = navdb_state;
  FilterMap(s.NearAirwayPointList, s.NearAirwayPointCount, latitude, longitude, kMapAirwayPointRadius,
            kMaxMapAirwayPoints, s.MapAirwayPointList, s.MapAirwayPointCount, kMapAirwayPointsCenter);
}

void KeepNearListsCurrent(NearKind kind, double latitude, double longitude) {
  const State& s = navdb_state;
  int near_slot, map_slot;
  void (*near_filter)(double, double);
  void (*map_filter)(double, double);
  switch (kind) {
    case NearKind::kAirports:
      near_slot = kNearAirportsCenter, map_slot = kMapAirportsCenter;
      near_filter = FilterNearAirports, map_filter = FilterMapAirports;
      break;
    case NearKind::kNavaids:
      near_slot = kNearNavaidsCenter, map_slot = kMapNavaidsCenter;
      near_filter = FilterNearNavaids, map_filter = FilterMapNavaids;
      break;
    default:
      near_slot = kNearAirwayPointsCenter, map_slot = kMapAirwayPointsCenter;
      near_filter = FilterNearAirwayPoints, map_filter = FilterMapAirwayPoints;
      break;
  }
  if (MovedBeyond(s.NearListCenters[static_cast<std::size_t>(near_slot)], latitude, longitude,
                  kNearListRebuildDistance))
    near_filter(latitude, longitude);
  if (MovedBeyond(s.NearListCenters[static_cast<std::size_t>(map_slot)], latitude, longitude,
                  kMapListRebuildDistance))
    map_filter(latitude, longitude);
}

}  // namespace ovi::navdb
