// Waypoint entry: idents and the place/bearing forms.
#include "src/navdb/waypoint_entry.h"

#include <array>
#include <cmath>
#include <limits>
#include <string_view>
#include <vector>

#include "src/host/sim_vars.h"
#include "src/navdb/internal.h"
#include "src/navdb/navdb.h"
#include "src/util/text.h"

namespace ovi::navdb {

namespace {

// Longer than any entry the forms allow; anything longer is not looked at.
constexpr std::size_t kMaxEntryLength = 64;
// A created point lies at most this far from its place.
constexpr double kMaxPlaceDistanceNm = 999.0;

void AddCandidate(const model::NavDbRecord& r) {
  EntryState& e = entry_state;
  if (e.WaypointCandidateCount >= kMaxEntryCandidates) return;
  ++e.WaypointCandidateCount;
  e.WaypointCandidateList[e.WaypointCandidateCount] = r;
}

bool Full() { return entry_state.WaypointCandidateCount >= kMaxEntryCandidates; }

// Every record with this ident from the tables the filter names, in the
// order navaids, intersections, airports, each in table order.
void AddIdentMatches(const std::string& ident, int filter) {
  const State& s = navdb_state;
  if (ident.empty()) return;
  if (filter == kAllTables || filter == kNavaidsOnly) {
    const NavaidFirstCharIndex& idx = s.NavaidIndex;
    const std::size_t c = static_cast<unsigned char>(ident[0]);
    if (!idx.order.empty()) {
      for (std::int32_t k = idx.start[c]; k < idx.start[c + 1] && !Full(); ++k) {
        if (k < 0 || static_cast<std::size_t>(k) >= idx.order.size()) break;
        const model::NavDbRecord& r = s.NavaidTable[idx.order[static_cast<std::size_t>(k)]];
        if (r.ident == ident) AddCandidate(r);
      }
    }
  }
  if (filter == kAllTables || filter == kIntersectionsOnly) {
    for (int i = 1; i <= s.IntersectionCount && !Full(); ++i) {
      const model::NavDbRecord& r = s.IntersectionTable[i];
      if (r.ident == ident) AddCandidate(r);
    }
  }
  if (filter == kAllTables || filter == kAirportsOnly) {
    for (int i = 1; i <= s.AirportCount && !Full(); ++i) {
      const model::NavDbRecord& r = s.AirportTable[i];
      if (r.ident == ident) AddCandidate(r);
    }
  }
}

// The records a place ident names (filter 0 order), kept apart from the
// candidate list.
std::vector<model::NavDbRecord> PlaceRecords(const std::string& ident) {
  EntryState& e = entry_state;
  const int saved = e.WaypointCandidateCount;
  e.WaypointCandidateCount = 0;
  AddIdentMatches(ident, kAllTables);
  std::vector<model::NavDbRecord> out;
  out.reserve(static_cast<std::size_t>(e.WaypointCandidateCount));
  for (int i = 1; i <= e.WaypointCandidateCount; ++i) out.push_back(e.WaypointCandidateList[i]);
  e.WaypointCandidateCount = saved;
  return out;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// "PLACEbbb": a place of at least one character followed by a three-digit
// bearing 000..360. The place may itself end in digits (ABC01330).
bool SplitPlaceBearing(std::string_view text, std::string& place, double& bearing) {
  if (text.size() < 4) return false;
  const std::string_view digits = text.substr(text.size() - 3);
  for (char c : digits) {
    if (!IsDigit(c)) return false;
  }
  const int value = (digits[0] - '0') * 100 + (digits[1] - '0') * 10 + (digits[2] - '0');
  if (value > 360) return false;
  place.assign(text.substr(0, text.size() - 3));
  bearing = value;
  return true;
}

// A distance: digits with at most one decimal point, rounded to whole NM,
// 1..999.
bool ParseDistance(std::string_view text, int& whole_nm) {
  if (text.empty() || text.size() > 8) return false;
  int points = 0;
  for (char c : text) {
    if (c == '.') {
      ++points;
    } else if (!IsDigit(c)) {
      return false;
    }
  }
  if (points > 1) return false;
  double d = 0.0;
  if (!util::ParseDouble(text, d)) return false;
  const double rounded = std::floor(d + 0.5);
  if (rounded < 1.0 || rounded > kMaxPlaceDistanceNm) return false;
  whole_nm = static_cast<int>(rounded);
  return true;
}

bool LooksLikeDistance(std::string_view text) {
  for (char c : text) {
    if (!IsDigit(c) && c != '.') return false;
  }
  return !text.empty();
}

// The host's magnetic variation: magnetic = true - variation.
double TrueFromMagnetic(double magnetic) {
  const double variation = host::GetMagneticVariation();
  double t = magnetic + (std::isfinite(variation) ? variation : 0.0);
  t = std::fmod(t, 360.0);
  if (t < 0.0) t += 360.0;
  return t;
}

using Vec = std::array<double, 3>;

Vec Cross(const Vec& a, const Vec& b) {
  return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
double Dot(const Vec& a, const Vec& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

// Unit position vector and the unit direction of travel on the course there.
void PointAndDirection(double lat, double lon, double course, Vec& p, Vec& d) {
  const double f = lat * kDegToRad, l = lon * kDegToRad, c = course * kDegToRad;
  p = {std::cos(f) * std::cos(l), std::cos(f) * std::sin(l), std::sin(f)};
  const Vec east{-std::sin(l), std::cos(l), 0.0};
  const Vec north{-std::sin(f) * std::cos(l), -std::sin(f) * std::sin(l), std::cos(f)};
  const double cc = std::cos(c), sc = std::sin(c);
  d = {north[0] * cc + east[0] * sc, north[1] * cc + east[1] * sc, north[2] * cc + east[2] * sc};
}

void ResolvePlaceDistance(const std::string& place, double bearing, int distance) {
  EntryState& e = entry_state;
  AddIdentMatches(place, kAllTables);
  if (e.WaypointCandidateCount == 0) return;
  e.PlaceBearingEntry[0] = bearing;
  e.WaypointEntryExtra = distance;
}

void ResolveCrossing(const std::string& text, const std::string& place1, double bearing1,
                     const std::string& place2, double bearing2) {
  const std::vector<model::NavDbRecord> first = PlaceRecords(place1);
  const std::vector<model::NavDbRecord> second = PlaceRecords(place2);
  const double course1 = TrueFromMagnetic(bearing1);
  const double course2 = TrueFromMagnetic(bearing2);
  // Where an ident names several places, the two nearest each other are
  // the ones meant.
  double best_apart = std::numeric_limits<double>::infinity();
  const model::NavDbRecord* best_place = nullptr;
  double best_lat = 0.0, best_lon = 0.0;
  for (const model::NavDbRecord& a : first) {
    for (const model::NavDbRecord& b : second) {
      double apart = 0.0, course = 0.0;
      GreatCircle(a.latitude, a.longitude, b.latitude, b.longitude, apart, course);
      if (!(apart < best_apart)) continue;
      double lat = 0.0, lon = 0.0;
      if (!CrossTrueBearings(a.latitude, a.longitude, course1, b.latitude, b.longitude, course2, lat, lon)) {
        continue;
      }
      double d1 = 0.0, d2 = 0.0;
      GreatCircle(a.latitude, a.longitude, lat, lon, d1, course);
      GreatCircle(b.latitude, b.longitude, lat, lon, d2, course);
      if (d1 > kMaxPlaceDistanceNm || d2 > kMaxPlaceDistanceNm) continue;
      best_apart = apart;
      best_place = &a;
      best_lat = lat;
      best_lon = lon;
    }
  }
  if (best_place == nullptr) return;
  model::NavDbRecord point;
  point.ident = best_place->ident;
  point.name = text;
  point.latitude = best_lat;
  point.longitude = best_lon;
  point.kind = "WPT";
  AddCandidate(point);
  EntryState& e = entry_state;
  e.PlaceBearingEntry[0] = bearing1;
  e.PlaceBearingEntry[1] = bearing2;
}

void ResetResults() {
  EntryState& e = entry_state;
  for (int i = 1; i <= e.WaypointCandidateCount && i <= kMaxEntryCandidates; ++i) {
    model::Recreate(e.WaypointCandidateList[i]);
  }
  e.WaypointCandidateCount = 0;
  e.PlaceBearingEntry = {-1.0, -1.0};
  e.WaypointEntryExtra = 0;
}

}  // namespace

bool CrossTrueBearings(double lat1, double lon1, double course1, double lat2, double lon2, double course2,
                       double& out_lat, double& out_lon) {
  for (double v : {lat1, lon1, course1, lat2, lon2, course2}) {
    if (!std::isfinite(v)) return false;
  }
  Vec p1, d1, p2, d2;
  PointAndDirection(lat1, lon1, course1, p1, d1);
  PointAndDirection(lat2, lon2, course2, p2, d2);
  const Vec n1 = Cross(p1, d1), n2 = Cross(p2, d2);
  Vec x = Cross(n1, n2);
  const double len = std::sqrt(Dot(x, x));
  if (!(len > 1e-12)) return false;  // the same or parallel circles
  for (double& c : x) c /= len;
  // The circles meet twice, at opposite points: take the one ahead of both
  // places and within a quarter circle of each, if either is.
  constexpr double kAhead = 1e-9;
  for (double sign : {1.0, -1.0}) {
    const Vec c{x[0] * sign, x[1] * sign, x[2] * sign};
    if (Dot(c, d1) > kAhead && Dot(c, d2) > kAhead && Dot(c, p1) > 0.0 && Dot(c, p2) > 0.0) {
      out_lat = std::atan2(c[2], std::hypot(c[0], c[1])) * kRadToDeg;
      out_lon = std::atan2(c[1], c[0]) * kRadToDeg;
      return true;
    }
  }
  return false;
}

void ResolveWaypointEntry(int filter) {
  ResetResults();
  EntryState& e = entry_state;
  if (filter < kAllTables || filter > kAirportsOnly) return;
  if (e.WaypointEntryText.size() > kMaxEntryLength) return;
  const std::string text(util::Trim(e.WaypointEntryText));
  if (text.empty()) return;

  const std::size_t slash = text.find('/');
  if (slash == std::string::npos) {
    AddIdentMatches(text, filter);
    return;
  }
  if (filter != kAllTables) return;
  if (text.find('/', slash + 1) != std::string::npos) return;
  const std::string_view left = std::string_view(text).substr(0, slash);
  const std::string_view right = std::string_view(text).substr(slash + 1);
  std::string place1;
  double bearing1 = 0.0;
  if (!SplitPlaceBearing(left, place1, bearing1)) return;
  if (LooksLikeDistance(right)) {
    int distance = 0;
    if (ParseDistance(right, distance)) ResolvePlaceDistance(place1, bearing1, distance);
    return;
  }
  std::string place2;
  double bearing2 = 0.0;
  if (!SplitPlaceBearing(right, place2, bearing2)) return;
  ResolveCrossing(text, place1, bearing1, place2, bearing2);
}

void PromoteWaypointCandidate(int n) {
  EntryState& e = entry_state;
  if (n <= 1 || n > e.WaypointCandidateCount || n > kMaxEntryCandidates) return;
  e.WaypointCandidateList[1] = e.WaypointCandidateList[n];
}

int FindWaypointCandidate(const std::string& name) {
  const EntryState& e = entry_state;
  if (name.empty()) return 0;
  for (int i = 1; i <= e.WaypointCandidateCount && i <= kMaxEntryCandidates; ++i) {
    if (e.WaypointCandidateList[i].ident == name) return i;
  }
  return 0;
}

}  // namespace ovi::navdb
