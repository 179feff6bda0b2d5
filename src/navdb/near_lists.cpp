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
  if (!std::isfinite(lat) || !std::isfinite(lon)) {
    // No position to build around: an empty list that counts as never
    // built, so the next good position rebuilds it.
    s.NearListCenters[static_cast<std::size_t>(slot)] = LatLon{};
    count = 0;
    list.Truncate(0);
    return;
  }
  s.NearListCenters[static_cast<std::size_t>(slot)] = LatLon{lat, lon};
  // The dot product of unit vectors orders points by distance. In float it
  // is good to far better than a NM at this radius: points clearly inside
  // or outside are decided by it alone, the few near the edge by the exact
  // great circle.
  const double la = lat * kDegToRad, lo = lon * kDegToRad;
  const float qx = static_cast<float>(std::cos(la) * std::cos(lo));
  const float qy = static_cast<float>(std::cos(la) * std::sin(lo));
  const float qz = static_cast<float>(std::sin(la));
  constexpr double kMargin = 5.0;  // NM
  const float outer = static_cast<float>(std::cos((kNearListRadius + kMargin) / kEarthRadiusNm));
  const float inner = static_cast<float>(std::cos((kNearListRadius - kMargin) / kEarthRadiusNm));
  const int n = std::min<int>(table_count, static_cast<int>(v.x.size()) - 1);
  const float* xs = v.x.data();
  const float* ys = v.y.data();
  const float* zs = v.z.data();
  struct Hit {
    int index;
    float dot;
  };
  std::vector<Hit> hits;
  hits.reserve(8192);
  constexpr int kChunk = 512;
  float dots[kChunk];
  for (int base = 1; base <= n; base += kChunk) {
    const int m = std::min(kChunk, n - base + 1);
    for (int j = 0; j < m; ++j) dots[j] = xs[base + j] * qx + ys[base + j] * qy + zs[base + j] * qz;
    for (int j = 0; j < m; ++j) {
      const float dot = dots[j];
      if (dot < outer) continue;
      const int i = base + j;
      if (dot < inner) {
        const NavDbRecord& r = table[i];
        double d, crs;
        GreatCircle(lat, lon, r.latitude, r.longitude, d, crs);
        if (d > kNearListRadius) continue;
      }
      hits.push_back(Hit{i, dot});
    }
  }
  // More than the list holds: the nearest, in table order.
  if (static_cast<int>(hits.size()) > kMaxNearListEntries) {
    auto nearer = [](const Hit& a, const Hit& b) { return a.dot > b.dot || (a.dot == b.dot && a.index < b.index); };
    std::nth_element(hits.begin(), hits.begin() + kMaxNearListEntries, hits.end(), nearer);
    hits.resize(static_cast<std::size_t>(kMaxNearListEntries));
    std::sort(hits.begin(), hits.end(), [](const Hit& a, const Hit& b) { return a.index < b.index; });
  }
  count = 0;
  for (const Hit& h : hits) {
    const NavDbRecord& src = table[h.index];
    NavDbRecord& r = list[++count];
    r = src;
    GreatCircle(lat, lon, src.latitude, src.longitude, r.distance, r.bearing);
  }
  list.Truncate(count);
}

void FilterMap(const BoundedTable<NavDbRecord>& near, int near_count, double lat, double lon, double radius,
               int max, BoundedTable<NavDbRecord>& list, int& count, int slot) {
  State& s = navdb_state;
  const bool position = std::isfinite(lat) && std::isfinite(lon);
  s.NearListCenters[static_cast<std::size_t>(slot)] = position ? LatLon{lat, lon} : LatLon{};
  std::vector<Candidate> c;
  if (position) {
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
  if (!std::isfinite(center.latitude) || !std::isfinite(center.longitude)) return true;
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
