// LoadNavDatabase and LoadAtcBoundaries: the navigation text files into the
// tables. Layouts: docs/navigation-data.md.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_set>

#include "src/host/state.h"
#include "src/model/state.h"
#include "src/navdb/airport_file.h"
#include "src/navdb/data_files.h"
#include "src/navdb/flat_index.h"
#include "src/navdb/internal.h"
#include "src/navdb/navdb.h"
#include "src/navdb/text_file.h"
#include "src/util/text.h"

namespace ovi::navdb {

namespace {

using model::NavDbRecord;

// Two entries of one kind with the same ident closer than this (degrees in
// latitude and longitude) are the same entry.
constexpr double kSamePlaceDegrees = 0.01;

bool SamePlace(const NavDbRecord& r, double lat, double lon) {
  return std::fabs(r.latitude - lat) < kSamePlaceDegrees && std::fabs(r.longitude - lon) < kSamePlaceDegrees;
}

void PostFull(const char* what, int count) {
  model::AddStatusMessage(util::Format("%s '%d' approaching struct_limit", what, count));
}

// Reserves table storage for what the files of one kind will probably
// hold (bytes per entry at least min_line), so the tables grow once.
template <typename T>
void ReserveFor(BoundedTable<T>& table, const DataFile (&files)[2], int min_line) {
  std::int64_t bytes = 0;
  for (const DataFile& f : files) bytes += FileSize(host::DataPath(f.path));
  const std::int64_t n = bytes / min_line;
  table.Reserve(static_cast<int>(std::min<std::int64_t>(n, table.MaxIndex())));
}

// A navaid, intersection or airport table filled from its user file, then its main
// file: the same entry twice within one file is a bad line; the main file's
// copy of a user entry is left out without a word (the user entry replaces
// it).
class UserFirstTable {
 public:
  UserFirstTable(BoundedTable<NavDbRecord>& table, int& count, int max, const char* limit_name, std::size_t expected)
      : table_(table), count_(count), max_(max), limit_name_(limit_name), by_ident_(expected) {}

  // The slot of a new entry; nullptr for a repeat, or when the table is
  // full (full is then set and the limit text posted). same(record) tells
  // an earlier entry of this ident that is the same entry.
  template <typename Same>
  NavDbRecord* Add(std::string_view ident, bool user_file, BadLineReport& bad, bool& full, Same&& same) {
    const std::uint64_t hash = HashBytes(ident);
    const int dup = by_ident_.Find(hash, [&](int i) { return same(table_[i]); });
    if (dup != 0) {
      if (!(dup <= user_last_ && !user_file)) bad.Count();
      return nullptr;
    }
    if (count_ >= max_) {
      PostFull(limit_name_, count_);
      full = true;
      return nullptr;
    }
    by_ident_.Insert(hash, ++count_);
    if (user_file) user_last_ = count_;
    return &table_[count_];
  }

 private:
  BoundedTable<NavDbRecord>& table_;
  int& count_;
  const int max_;
  const char* limit_name_;
  FlatIndex by_ident_;
  int user_last_ = 0;  // entries 1..user_last_ came from the user file
};

// ---- navs ----

void LoadNavaids() {
  State& s = navdb_state;
  ReserveFor(s.NavaidTable, kNavFiles, 24);
  UserFirstTable navaids(s.NavaidTable, s.NavaidCount, kMaxNavaids, "Navs", 16384);
  std::string_view t[8];
  LoadDataFiles(kNavFiles, 1u, [&](std::size_t f, std::string_view line, std::int64_t, BadLineReport& bad) {
    const int n = Tokenize(line, t, 7);
    double lat, lon;
    int elevation;
    double freq;
    if (n < 6 || !IsValidIdent(t[0]) || !ParseLatitude(t[1], lat) || !ParseLongitude(t[2], lon) ||
        (t[3] != "V" && t[3] != "N") || !ParseInteger(t[4], elevation) || !ParseNumber(t[5], freq) ||
        freq <= 0.0 || t[5].size() > kMaxIdentLength) {
      bad.Count();
      return true;
    }
    bool full = false;
    NavDbRecord* r = navaids.Add(t[0], kNavFiles[f].user, bad, full, [&](const NavDbRecord& e) {
      return e.ident == t[0] && e.kind == t[3] && SamePlace(e, lat, lon);
    });
    if (r == nullptr) return !full;
    r->ident = std::string(t[0]);
    r->latitude = lat;
    r->longitude = lon;
    r->kind = std::string(t[3]);
    r->frequency_text = std::string(t[5]);
    r->name = n >= 7 ? CleanName(RestOfLine(line, t[6])) : std::string();
    return true;
  });
}

// ---- ints ----

void LoadIntersections() {
  State& s = navdb_state;
  ReserveFor(s.IntersectionTable, kIntFiles, 16);
  UserFirstTable intersections(s.IntersectionTable, s.IntersectionCount, kMaxIntersections, "Ints", 300000);
  std::string_view t[5];
  LoadDataFiles(kIntFiles, 4u, [&](std::size_t f, std::string_view line, std::int64_t, BadLineReport& bad) {
    const int n = Tokenize(line, t, 5);
    double lat, lon;
    if (n < 3 || n > 4 || !IsValidIdent(t[0]) || !ParseLatitude(t[1], lat) || !ParseLongitude(t[2], lon) ||
        (n == 4 && t[3] != "I" && t[3] != "O")) {
      bad.Count();
      return true;
    }
    bool full = false;
    NavDbRecord* r = intersections.Add(t[0], kIntFiles[f].user, bad, full, [&](const NavDbRecord& e) {
      return e.ident == t[0] && SamePlace(e, lat, lon);
    });
    if (r == nullptr) return !full;
    r->ident = std::string(t[0]);
    r->latitude = lat;
    r->longitude = lon;
    r->kind = std::string(n == 4 ? t[3] : std::string_view("I"));
    return true;
  });
}

// ---- awys ----

// Airway points by ident and position, the whole key inside the slot so a
// look-up touches one place in memory (the airway file is the largest).
class AirwayPointIndex {
 public:
  explicit AirwayPointIndex(std::size_t expected) {
    std::size_t cap = 1024;
    while (cap < expected * 2) cap <<= 1;
    slots_.assign(cap, Slot{});
  }
  // The point's index, or 0 after making room for it (then call Set).
  int FindOrReserve(std::string_view ident, std::int64_t place, std::size_t& where) {
    if ((used_ + 1) * 2 > slots_.size()) Grow();
    Slot key = MakeKey(ident, place);
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = Hash(key) & mask;; i = (i + 1) & mask) {
      const Slot& slot = slots_[i];
      if (slot.index == 0) {
        where = i;
        pending_ = key;
        return 0;
      }
      if (slot.place == key.place && slot.len == key.len && std::memcmp(slot.ident, key.ident, key.len) == 0)
        return slot.index;
    }
  }
  void Set(std::size_t where, int index) {
    pending_.index = index;
    slots_[where] = pending_;
    ++used_;
  }

 private:
  struct Slot {
    std::int64_t place = 0;
    std::int32_t index = 0;  // 0 = empty
    std::uint8_t len = 0;
    char ident[11] = {};
  };
  static Slot MakeKey(std::string_view ident, std::int64_t place) {
    Slot k;
    k.place = place;
    k.len = static_cast<std::uint8_t>(std::min<std::size_t>(ident.size(), sizeof k.ident));
    std::memcpy(k.ident, ident.data(), k.len);
    return k;
  }
  static std::size_t Hash(const Slot& k) {
    return static_cast<std::size_t>(HashBytes(std::string_view(k.ident, k.len), static_cast<std::uint64_t>(k.place)));
  }
  void Grow() {
    std::vector<Slot> old;
    old.swap(slots_);
    slots_.assign(old.size() * 2, Slot{});
    const std::size_t mask = slots_.size() - 1;
    for (const Slot& k : old) {
      if (k.index == 0) continue;
      std::size_t i = Hash(k) & mask;
      while (slots_[i].index != 0) i = (i + 1) & mask;
      slots_[i] = k;
    }
  }
  std::vector<Slot> slots_;
  std::size_t used_ = 0;
  Slot pending_;
};

void LoadAirways() {
  State& s = navdb_state;
  // Points are the same when ident and position to 1e-4 degrees agree.
  AirwayPointIndex points(262144);
  ReserveFor(s.AirwayFixTable, kAwyFiles, 18);
  ReserveFor(s.AirwayPointTable, kAwyFiles, 36);
  std::unordered_set<std::string> user_airways;
  std::string_view t[5];
  std::string last_airway;  // user-set look-ups once per run of lines
  bool last_overridden = false;
  const auto start_file = [&](std::size_t) {
    last_airway.clear();
    last_overridden = false;
  };
  LoadDataFiles(
      kAwyFiles, 8u,
      [&](std::size_t f, std::string_view line, std::int64_t, BadLineReport& bad) {
        const int n = Tokenize(line, t, 5);
        double lat, lon;
        if (n != 4 || !IsValidIdent(t[0]) || !IsValidIdent(t[1]) || !ParseLatitude(t[2], lat) ||
            !ParseLongitude(t[3], lon)) {
          bad.Count();
          return true;
        }
        if (t[0] != last_airway) {
          last_airway.assign(t[0]);
          if (kAwyFiles[f].user) {
            user_airways.insert(last_airway);
            last_overridden = false;
          } else {
            last_overridden = user_airways.count(last_airway) != 0;
          }
        }
        if (last_overridden) return true;  // the user file redefines this airway
        if (s.AirwayFixCount >= kMaxAirwayFixes) {
          PostFull("Awys", s.AirwayFixCount);
          return false;
        }
        const std::int64_t place = std::llround(lat * 1e4) * 4000000 + std::llround(lon * 1e4);
        std::size_t where = 0;
        int point = points.FindOrReserve(t[1], place, where);
        if (point == 0) {
          if (s.AirwayPointCount >= kMaxAirwayPoints) {
            PostFull("Awys", s.AirwayFixCount);
            return false;
          }
          point = ++s.AirwayPointCount;
          NavDbRecord& r = s.AirwayPointTable[point];
          r.ident = std::string(t[1]);
          r.latitude = lat;
          r.longitude = lon;
          r.kind = "I";
          points.Set(where, point);
        }
        AirwayFix& fix = s.AirwayFixTable[++s.AirwayFixCount];
        fix.airway = std::string(t[0]);
        fix.point = point;
        return true;
      },
      start_file);
}

// ---- apts ----

void LoadAirports() {
  State& s = navdb_state;
  ReserveFor(s.AirportTable, kAptFiles, 60);
  UserFirstTable airports(s.AirportTable, s.AirportCount, kMaxAirports, "Apts", 65536);
  s.AirportFileRefs.assign(1, AirportFileRef{});
  std::string_view t[1];
  NavDbRecord airport;
  // Runway lines are read by LoadAirportDetails; here they only have to
  // follow an airport line (taken or not).
  bool after_airport_line = false;
  const auto start_file = [&](std::size_t) { after_airport_line = false; };
  LoadDataFiles(
      kAptFiles, 2u,
      [&](std::size_t f, std::string_view line, std::int64_t offset, BadLineReport& bad) {
        if (Tokenize(line, t, 1) == 1 && t[0] == "R") {
          if (!after_airport_line) bad.Count();
          return true;
        }
        after_airport_line = true;
        if (!ParseAirportLine(line, airport)) {
          bad.Count();
          return true;
        }
        bool full = false;
        NavDbRecord* r = airports.Add(airport.ident, kAptFiles[f].user, bad, full,
                                      [&](const NavDbRecord& e) { return e.ident == airport.ident; });
        if (r == nullptr) return !full;
        *r = std::move(airport);
        s.AirportFileRefs.push_back(AirportFileRef{static_cast<std::int8_t>(f), offset});
        return true;
      },
      start_file);
}

}  // namespace

void BuildPositionVectors(const BoundedTable<NavDbRecord>& table, int count, PositionVectors& v) {
  constexpr double kRad = 3.14159265358979323846 / 180.0;
  v.x.assign(static_cast<std::size_t>(count) + 1, 0.0f);
  v.y.assign(static_cast<std::size_t>(count) + 1, 0.0f);
  v.z.assign(static_cast<std::size_t>(count) + 1, 0.0f);
  for (int i = 1; i <= count; ++i) {
    const NavDbRecord& r = table[i];
    double la = r.latitude * kRad, lo = r.longitude * kRad;
    double c = std::cos(la);
    v.x[static_cast<std::size_t>(i)] = static_cast<float>(c * std::cos(lo));
    v.y[static_cast<std::size_t>(i)] = static_cast<float>(c * std::sin(lo));
    v.z[static_cast<std::size_t>(i)] = static_cast<float>(std::sin(la));
  }
}

void BuildNavaidIndex() {
  State& s = navdb_state;
  NavaidFirstCharIndex& idx = s.NavaidIndex;
  idx.start.fill(0);
  idx.order.assign(static_cast<std::size_t>(s.NavaidCount), 0);
  // Counting sort by first byte keeps table order within each byte.
  std::array<std::int32_t, 257> count{};
  for (int i = 1; i <= s.NavaidCount; ++i) {
    const std::string& id = s.NavaidTable[i].ident;
    ++count[static_cast<unsigned char>(id.empty() ? 0 : id[0])];
  }
  std::int32_t sum = 0;
  for (int c = 0; c < 256; ++c) {
    idx.start[static_cast<std::size_t>(c)] = sum;
    sum += count[static_cast<std::size_t>(c)];
  }
  idx.start[256] = sum;
  std::array<std::int32_t, 257> fill = idx.start;
  for (int i = 1; i <= s.NavaidCount; ++i) {
    const std::string& id = s.NavaidTable[i].ident;
    unsigned char c = static_cast<unsigned char>(id.empty() ? 0 : id[0]);
    idx.order[static_cast<std::size_t>(fill[c]++)] = i;
  }
}

void ClearNearLists() {
  State& s = navdb_state;
  s.NearAirportCount = s.NearNavaidCount = s.NearAirwayPointCount = 0;
  s.MapAirportCount = s.MapNavaidCount = s.MapAirwayPointCount = 0;
  for (LatLon& c : s.NearListCenters) c = LatLon{};
}

void LoadNavDatabase() {
  State& s = navdb_state;
  s.AirportTable.Clear();
  s.AirportCount = 0;
  s.NavaidTable.Clear();
  s.NavaidCount = 0;
  s.IntersectionTable.Clear();
  s.IntersectionCount = 0;
  s.AirwayPointTable.Clear();
  s.AirwayPointCount = 0;
  s.AirwayFixTable.Clear();
  s.AirwayFixCount = 0;
  ClearNearLists();

  LoadNavaids();
  LoadAirports();
  LoadIntersections();
  LoadAirways();

  BuildNavaidIndex();
  BuildPositionVectors(s.AirportTable, s.AirportCount, s.AirportVectors);
  BuildPositionVectors(s.NavaidTable, s.NavaidCount, s.NavaidVectors);
  BuildPositionVectors(s.AirwayPointTable, s.AirwayPointCount, s.AirwayPointVectors);
}

}  // namespace ovi::navdb
