// LoadNavDatabase and LoadAtcBoundaries: the navigation text files into the
// tables. Layouts: docs/navigation-data.md.
#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "src/host/state.h"
#include "src/model/state.h"
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

// Entries of a table chained by ident, to find duplicates while loading.
class IdentChains {
 public:
  explicit IdentChains(std::size_t expected) { heads_.reserve(expected); next_.reserve(expected + 1); }
  // Index of the first entry with this ident (then Next()), 0 when none.
  int First(std::string_view ident) const {
    auto it = heads_.find(ident);
    return it == heads_.end() ? 0 : it->second;
  }
  int Next(int index) const { return next_[static_cast<std::size_t>(index)]; }
  // Adds entry `index` (indices arrive in increasing order) with its ident,
  // whose storage must outlive the chains.
  void Add(int index, std::string_view ident) {
    if (next_.size() <= static_cast<std::size_t>(index)) next_.resize(static_cast<std::size_t>(index) + 1, 0);
    auto [it, inserted] = heads_.try_emplace(ident, index);
    if (!inserted) {
      next_[static_cast<std::size_t>(index)] = it->second;
      it->second = index;
    }
  }

 private:
  std::unordered_map<std::string_view, int> heads_;
  std::vector<int> next_;
};

// Ident storage that does not move while the tables grow (a short string
// inside a record moves with the record when the vector reallocates).
class IdentArena {
 public:
  std::string_view Keep(std::string_view s) {
    if (blocks_.empty() || used_ + s.size() > kBlock) {
      blocks_.emplace_back(new char[kBlock]);
      used_ = 0;
    }
    char* p = blocks_.back().get() + used_;
    std::memcpy(p, s.data(), s.size());
    used_ += s.size();
    return std::string_view(p, s.size());
  }

 private:
  static constexpr std::size_t kBlock = 1 << 16;
  std::vector<std::unique_ptr<char[]>> blocks_;
  std::size_t used_ = 0;
};

struct FileSpec {
  const char* path;  // under the simulator folder
  const char* name;  // for messages
  bool user;
};

constexpr FileSpec kNavFiles[] = {{"\\ovi\\navdata\\navs_user.txt", "navs_user.txt", true},
                                  {"\\ovi\\navdata\\navs.txt", "navs.txt", false}};
constexpr FileSpec kAptFiles[] = {{"\\ovi\\navdata\\apts_user.txt", "apts_user.txt", true},
                                  {"\\ovi\\navdata\\apts.txt", "apts.txt", false}};
constexpr FileSpec kIntFiles[] = {{"\\ovi\\navdata\\ints_user.txt", "ints_user.txt", true},
                                  {"\\ovi\\navdata\\ints.txt", "ints.txt", false}};
constexpr FileSpec kAwyFiles[] = {{"\\ovi\\navdata\\awys_user.txt", "awys_user.txt", true},
                                  {"\\ovi\\navdata\\awys.txt", "awys.txt", false}};

void ReportMissing(const FileSpec& spec, unsigned bit) {
  State& s = navdb_state;
  if (spec.user || (s.ReportedMissingFiles & bit) != 0) return;
  s.ReportedMissingFiles |= bit;
  model::AddStatusMessage(util::Format("%s not found", spec.name));
}

void PostFull(const char* what, int count) {
  model::AddStatusMessage(util::Format("%s '%d' approaching struct_limit", what, count));
}

// ---- navs ----

void LoadNavaids() {
  State& s = navdb_state;
  IdentChains chains(16384);
  IdentArena arena;
  int user_last = 0;  // entries 1..user_last came from the user file
  bool full = false;
  for (const FileSpec& spec : kNavFiles) {
    if (full) break;
    NavTextFile file(host::DataPath(spec.path));
    if (!file.IsOpen()) {
      ReportMissing(spec, 1u);
      continue;
    }
    BadLineReport bad(spec.name);
    std::string_view line;
    std::int64_t offset;
    bool too_long;
    std::string_view t[8];
    while (file.Next(line, offset, too_long)) {
      if (too_long) {
        bad.Count();
        continue;
      }
      if (IsCommentOrBlank(line)) continue;
      int n = Tokenize(line, t, 7);
      double lat, lon;
      int elevation;
      double freq;
      if (n < 6 || !IsValidIdent(t[0]) || !ParseLatitude(t[1], lat) || !ParseLongitude(t[2], lon) ||
          (t[3] != "V" && t[3] != "N") || !ParseInteger(t[4], elevation) || !ParseNumber(t[5], freq) ||
          freq <= 0.0 || t[5].size() > kMaxIdentLength) {
        bad.Count();
        continue;
      }
      // The same navaid twice: a user entry replaces the main file's; within
      // one file the second is a bad line.
      int dup = 0;
      for (int i = chains.First(t[0]); i != 0; i = chains.Next(i)) {
        const NavDbRecord& r = s.NavaidTable[i];
        if (r.kind == t[3] && SamePlace(r, lat, lon)) {
          dup = i;
          break;
        }
      }
      if (dup != 0) {
        if (!(dup <= user_last && !spec.user)) bad.Count();
        continue;
      }
      if (s.NavaidCount >= kMaxNavaids) {
        PostFull("Navs", s.NavaidCount);
        full = true;
        break;
      }
      NavDbRecord& r = s.NavaidTable[++s.NavaidCount];
      r.ident = std::string(t[0]);
      r.latitude = lat;
      r.longitude = lon;
      r.kind = std::string(t[3]);
      r.frequency_text = std::string(t[5]);
      r.name = n >= 7 ? CleanName(RestOfLine(line, t[6])) : std::string();
      chains.Add(s.NavaidCount, arena.Keep(t[0]));
    }
    if (spec.user) user_last = s.NavaidCount;
    bad.Post();
  }
}

// ---- ints ----

void LoadIntersections() {
  State& s = navdb_state;
  IdentChains chains(300000);
  IdentArena arena;
  int user_last = 0;
  bool full = false;
  for (const FileSpec& spec : kIntFiles) {
    if (full) break;
    NavTextFile file(host::DataPath(spec.path));
    if (!file.IsOpen()) {
      ReportMissing(spec, 4u);
      continue;
    }
    BadLineReport bad(spec.name);
    std::string_view line;
    std::int64_t offset;
    bool too_long;
    std::string_view t[5];
    while (file.Next(line, offset, too_long)) {
      if (too_long) {
        bad.Count();
        continue;
      }
      if (IsCommentOrBlank(line)) continue;
      int n = Tokenize(line, t, 5);
      double lat, lon;
      if (n < 3 || n > 4 || !IsValidIdent(t[0]) || !ParseLatitude(t[1], lat) || !ParseLongitude(t[2], lon) ||
          (n == 4 && t[3] != "I" && t[3] != "O")) {
        bad.Count();
        continue;
      }
      std::string_view kind = n == 4 ? t[3] : std::string_view("I");
      int dup = 0;
      for (int i = chains.First(t[0]); i != 0; i = chains.Next(i)) {
        const NavDbRecord& r = s.IntersectionTable[i];
        if (SamePlace(r, lat, lon)) {
          dup = i;
          break;
        }
      }
      if (dup != 0) {
        if (!(dup <= user_last && !spec.user)) bad.Count();
        continue;
      }
      if (s.IntersectionCount >= kMaxIntersections) {
        PostFull("Ints", s.IntersectionCount);
        full = true;
        break;
      }
      NavDbRecord& r = s.IntersectionTable[++s.IntersectionCount];
      r.ident = std::string(t[0]);
      r.latitude = lat;
      r.longitude = lon;
      r.kind = std::string(kind);
      chains.Add(s.IntersectionCount, arena.Keep(t[0]));
    }
    if (spec.user) user_last = s.IntersectionCount;
    bad.Post();
  }
}

// ---- awys ----

struct PointKey {
  std::string_view ident;
  std::int32_t lat;  // 1e-4 degrees
  std::int32_t lon;
  bool operator==(const PointKey& o) const { return lat == o.lat && lon == o.lon && ident == o.ident; }
};
struct PointKeyHash {
  std::size_t operator()(const PointKey& k) const {
    std::size_t h = std::hash<std::string_view>()(k.ident);
    h ^= static_cast<std::size_t>(static_cast<std::uint32_t>(k.lat)) * 0x9E3779B97F4A7C15ull;
    h ^= static_cast<std::size_t>(static_cast<std::uint32_t>(k.lon)) * 0xC2B2AE3D27D4EB4Full + (h << 6);
    return h;
  }
};

void LoadAirways() {
  State& s = navdb_state;
  std::unordered_map<PointKey, int, PointKeyHash> points;
  points.reserve(300000);
  IdentArena arena;
  std::unordered_set<std::string> user_airways;
  bool full = false;
  for (const FileSpec& spec : kAwyFiles) {
    if (full) break;
    NavTextFile file(host::DataPath(spec.path));
    if (!file.IsOpen()) {
      ReportMissing(spec, 8u);
      continue;
    }
    BadLineReport bad(spec.name);
    std::string_view line;
    std::int64_t offset;
    bool too_long;
    std::string_view t[5];
    std::string last_airway;  // user-set look-ups once per run of lines
    bool last_overridden = false;
    while (file.Next(line, offset, too_long)) {
      if (too_long) {
        bad.Count();
        continue;
      }
      if (IsCommentOrBlank(line)) continue;
      int n = Tokenize(line, t, 5);
      double lat, lon;
      if (n != 4 || !IsValidIdent(t[0]) || !IsValidIdent(t[1]) || !ParseLatitude(t[2], lat) ||
          !ParseLongitude(t[3], lon)) {
        bad.Count();
        continue;
      }
      if (t[0] != last_airway) {
        last_airway.assign(t[0]);
        if (spec.user) {
          user_airways.insert(last_airway);
          last_overridden = false;
        } else {
          last_overridden = user_airways.count(last_airway) != 0;
        }
      }
      if (last_overridden) continue;  // the user file redefines this airway
      if (s.AirwayFixCount >= kMaxAirwayFixes) {
        PostFull("Awys", s.AirwayFixCount);
        full = true;
        break;
      }
      PointKey key{t[1], static_cast<std::int32_t>(std::lround(lat * 1e4)),
                   static_cast<std::int32_t>(std::lround(lon * 1e4))};
      int point;
      auto it = points.find(key);
      if (it != points.end()) {
        point = it->second;
      } else {
        if (s.AirwayPointCount >= kMaxAirwayPoints) {
          PostFull("Awys", s.AirwayFixCount);
          full = true;
          break;
        }
        point = ++s.AirwayPointCount;
        NavDbRecord& r = s.AirwayPointTable[point];
        r.ident = std::string(t[1]);
        r.latitude = lat;
        r.longitude = lon;
        r.kind = "I";
        key.ident = arena.Keep(t[1]);
        points.emplace(key, point);
      }
      AirwayFix& f = s.AirwayFixTable[++s.AirwayFixCount];
      f.airway = std::string(t[0]);
      f.point = point;
    }
    bad.Post();
  }
}

// ---- apts ----

void LoadAirports() {
  State& s = navdb_state;
  std::unordered_map<std::string_view, int> by_ident;
  by_ident.reserve(65536);
  IdentArena arena;
  bool full = false;
  s.AirportFileRefs.assign(1, AirportFileRef{});
  for (int f = 0; f < 2 && !full; ++f) {
    const FileSpec& spec = kAptFiles[f];
    NavTextFile file(host::DataPath(spec.path));
    if (!file.IsOpen()) {
      ReportMissing(spec, 2u);
      continue;
    }
    BadLineReport bad(spec.name);
    std::string_view line;
    std::int64_t offset;
    bool too_long;
    std::string_view t[7];
    bool skipping_runways = false;  // runway lines of an airport not taken
    bool have_airport = false;
    while (file.Next(line, offset, too_long)) {
      if (too_long) {
        bad.Count();
        continue;
      }
      if (IsCommentOrBlank(line)) continue;
      int n = Tokenize(line, t, 6);
      if (n >= 1 && t[0] == "R") {
        // Runways are read by LoadAirportDetails; here they only have to
        // follow an airport line.
        if (!have_airport && !skipping_runways) bad.Count();
        continue;
      }
      double lat, lon;
      int elevation;
      if (n < 5 || t[0] != "A" || !IsValidIdent(t[1]) || !ParseInteger(t[2], elevation) ||
          t[2].size() > kMaxIdentLength || !ParseLatitude(t[3], lat) || !ParseLongitude(t[4], lon)) {
        bad.Count();
        have_airport = false;
        skipping_runways = true;
        continue;
      }
      auto it = by_ident.find(t[1]);
      if (it != by_ident.end()) {
        // A user airport replaces the main file's; a repeat within one file
        // is a bad line.
        if (!(f == 1 && s.AirportFileRefs[static_cast<std::size_t>(it->second)].file == 0)) bad.Count();
        have_airport = false;
        skipping_runways = true;
        continue;
      }
      if (s.AirportCount >= kMaxAirports) {
        PostFull("Apts", s.AirportCount);
        full = true;
        break;
      }
      NavDbRecord& r = s.AirportTable[++s.AirportCount];
      r.ident = std::string(t[1]);
      r.latitude = lat;
      r.longitude = lon;
      r.kind = "APT";
      r.airport_text = std::string(t[2]);
      r.name = n >= 6 ? CleanName(RestOfLine(line, t[5])) : std::string();
      s.AirportFileRefs.push_back(AirportFileRef{static_cast<std::int8_t>(f), offset});
      by_ident.emplace(arena.Keep(t[1]), s.AirportCount);
      have_airport = true;
      skipping_runways = false;
    }
    bad.Post();
  }
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
