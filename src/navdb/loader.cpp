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
using Ident = model::FixedText<kMaxIdentLength>;

// Two entries of one kind with the same ident closer than this (degrees in
// latitude and longitude) are the same entry.
constexpr double kSamePlaceDegrees = 0.01;

// std::llround for the loaders' coordinates (|v| well below 2^52): halves
// away from zero, without the library call.
std::int64_t RoundToNearest(double v) {
  std::int64_t i = static_cast<std::int64_t>(v);  // toward zero
  const double rest = v - static_cast<double>(i);  // exact
  if (rest >= 0.5) ++i;
  if (rest <= -0.5) --i;
  return i;
}

bool SamePlace(const NavDbRecord& r, double lat, double lon) {
  return std::fabs(r.latitude - lat) < kSamePlaceDegrees && std::fabs(r.longitude - lon) < kSamePlaceDegrees;
}

// One entry's unit vector appended to its table's vectors, as the entry is
// written: a pass over the finished tables would bring every record back
// from memory once more.
void AppendPosition(PositionVectors& v, double lat, double lon) {
  const double la = lat * kDegToRad, lo = lon * kDegToRad;
  const double c = std::cos(la);
  v.x.push_back(static_cast<float>(c * std::cos(lo)));
  v.y.push_back(static_cast<float>(c * std::sin(lo)));
  v.z.push_back(static_cast<float>(std::sin(la)));
}

// Vectors with index 0 unused, like the tables, and room for `n` entries.
void StartPositions(PositionVectors& v, std::size_t n) {
  for (std::vector<float>* c : {&v.x, &v.y, &v.z}) {
    c->assign(1, 0.0f);
    c->reserve(n + 1);
  }
}

void ReservePositions(PositionVectors& v, std::size_t n) {
  for (std::vector<float>* c : {&v.x, &v.y, &v.z}) c->reserve(n + 1);
}

void PostFull(const char* what, int count) {
  model::AddStatusMessage(util::Format("%s '%d' approaching struct_limit", what, count));
}

// Room to reserve in a table for `lines` more lines of a file. The estimate
// from the first reading window can fall a little short, and a table that
// outgrows its room copies itself whole into twice the memory; room never
// used is only address space.
std::int64_t TableRoom(std::int64_t lines) {
  lines = std::max<std::int64_t>(lines, 0);
  return lines + lines / 8 + 16;
}

// Lines parsed ahead of their turn, so that the index slot each will look
// at is already on its way into the cache when its turn comes (the large
// files' look-ups would otherwise wait on memory one after another). Lines
// still take their turns in file order, and nothing of a line counts
// (its bad line neither) before its turn.
template <typename Line>
class ReadAhead {
 public:
  static constexpr int kDepth = 16;

  // Takes the waiting lines in order until `keep` wait; take(line) returns
  // false when its table is full, which stops every later turn. `bad`
  // stands at each line's number during its turn.
  template <typename Take>
  bool TakeUntil(int keep, BadLineReport& bad, Take&& take) {
    while (waiting_ > keep && !stopped_) {
      bad.At(numbers_[first_]);
      stopped_ = !take(lines_[first_]);
      first_ = (first_ + 1) % kDepth;
      --waiting_;
    }
    return !stopped_;
  }
  // The place of the next line, the file's line `number`; room is made
  // with TakeUntil(kDepth - 1).
  Line& Next(std::int64_t number) {
    const int i = (first_ + waiting_++) % kDepth;
    numbers_[i] = number;
    return lines_[i];
  }
  // A file's lines left over when its reading stopped early.
  void Drop() { first_ = waiting_ = 0; }

 private:
  Line lines_[kDepth];
  std::int64_t numbers_[kDepth] = {};
  int first_ = 0, waiting_ = 0;
  bool stopped_ = false;
};

// LoadDataFiles with the lines read ahead of their turn. parse(line, ahead)
// fills a Line from its text (setting its `bad` flag for a bad line) and
// prefetches what its turn will look at; take(file, line, bad) is its turn,
// false when the table is full; start_file as for LoadDataFiles.
template <typename Line, std::size_t N, typename Parse, typename Take, typename Start>
void LoadDataFilesAhead(const DataFile (&files)[N], unsigned missing_bit, Parse&& parse, Take&& take,
                        Start&& start_file) {
  ReadAhead<Line> ahead;
  const auto turns = [&](std::size_t f, BadLineReport& bad, int keep) {
    return ahead.TakeUntil(keep, bad, [&](const Line& a) {
      if (!a.bad) return take(f, a, bad);
      bad.Count();
      return true;
    });
  };
  LoadDataFiles(
      files, missing_bit,
      [&](std::size_t f, std::string_view line, std::int64_t, BadLineReport& bad) {
        const std::int64_t number = bad.line();
        if (!turns(f, bad, ReadAhead<Line>::kDepth - 1)) return false;
        parse(line, ahead.Next(number));
        return true;
      },
      [&](std::size_t f, NavTextFile& file) {
        ahead.Drop();
        start_file(f, file);
      },
      [&](std::size_t f, BadLineReport& bad) { return turns(f, bad, 0); });
}

// A navaid, intersection or airport table filled from its user file, then its main
// file: the same entry twice within one file is a bad line; the main file's
// copy of a user entry is left out without a word (the user entry replaces
// it). `vectors`, when given, receive each new entry's position (Add's
// latitude and longitude).
class UserFirstTable {
 public:
  UserFirstTable(BoundedTable<NavDbRecord>& table, int& count, int max, const char* limit_name,
                 PositionVectors* vectors = nullptr)
      : table_(table), count_(count), max_(max), limit_name_(limit_name), vectors_(vectors) {
    if (vectors_ != nullptr) StartPositions(*vectors_, static_cast<std::size_t>(count_));
  }

  // Sizes the table and the index for a file of about `lines` lines, before
  // its lines are read (the index grows only when it fills).
  void StartFile(std::int64_t lines) {
    const std::int64_t entries = count_ + std::max<std::int64_t>(lines, 0);
    const int room = static_cast<int>(std::min<std::int64_t>(count_ + TableRoom(lines), max_));
    table_.Reserve(room);
    if (vectors_ != nullptr) ReservePositions(*vectors_, static_cast<std::size_t>(room));
    by_ident_.Reserve(static_cast<std::size_t>(std::min<std::int64_t>(entries, max_)));
  }

  // The slot of a new entry; nullptr for a repeat, or when the table is
  // full (full is then set and the limit text posted). same(record) tells
  // an earlier entry of this ident that is the same entry.
  template <typename Same>
  NavDbRecord* Add(std::string_view ident, double lat, double lon, bool user_file, BadLineReport& bad, bool& full,
                   Same&& same) {
    return Add(Ident(ident).Hash(), lat, lon, user_file, bad, full, same);
  }
  // The same, with the ident's Hash() worked out (and prefetched) before.
  template <typename Same>
  NavDbRecord* Add(std::uint64_t hash, double lat, double lon, bool user_file, BadLineReport& bad, bool& full,
                   Same&& same) {
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
    if (vectors_ != nullptr) AppendPosition(*vectors_, lat, lon);
    return &table_[count_];
  }
  void Prefetch(std::uint64_t hash) const { by_ident_.Prefetch(hash); }

 private:
  BoundedTable<NavDbRecord>& table_;
  int& count_;
  const int max_;
  const char* limit_name_;
  PositionVectors* vectors_;
  FlatIndex by_ident_;
  int user_last_ = 0;  // entries 1..user_last_ came from the user file
};

// ---- navs ----

void LoadNavaids() {
  State& s = navdb_state;
  UserFirstTable navaids(s.NavaidTable, s.NavaidCount, kMaxNavaids, "Navs", &s.NavaidVectors);
  LoadDataFiles(
      kNavFiles, 1u, [&](std::size_t f, std::string_view line, std::int64_t, BadLineReport& bad) {
    FieldReader fields(line);
    std::string_view ident, kind, frequency;
    double lat, lon;
    int elevation;
    double freq;
    if (!fields.Ident(ident) || !fields.Latitude(lat) || !fields.Longitude(lon) ||
        ((kind = fields.Text()) != "V" && kind != "N") || !fields.Integer(elevation) ||
        !fields.Number(freq, &frequency) || freq <= 0.0 || frequency.size() > kMaxIdentLength) {
      bad.Count();
      return true;
    }
    bool full = false;
    NavDbRecord* r = navaids.Add(ident, lat, lon, kNavFiles[f].user, bad, full, [&](const NavDbRecord& e) {
      return e.ident == ident && e.kind == kind && SamePlace(e, lat, lon);
    });
    if (r == nullptr) return !full;
    r->ident = ident;
    r->latitude = lat;
    r->longitude = lon;
    r->kind = kind;
    r->frequency_text = frequency;
    char name[kMaxNameLength];
    r->name = CleanName(fields.Rest(), name);
    return true;
  },
      [&](std::size_t, NavTextFile& file) { navaids.StartFile(file.EstimateLines()); });
}

// ---- ints ----

struct IntersectionLine {
  bool bad = false;
  Ident ident;
  double lat = 0.0, lon = 0.0;
  char kind = 'I';
  std::uint64_t hash = 0;
};

void LoadIntersections() {
  State& s = navdb_state;
  UserFirstTable intersections(s.IntersectionTable, s.IntersectionCount, kMaxIntersections, "Ints");
  LoadDataFilesAhead<IntersectionLine>(
      kIntFiles, 4u,
      [&](std::string_view line, IntersectionLine& a) {
        FieldReader fields(line);
        std::string_view ident, kind = "I";
        a.bad = !fields.Ident(ident) || !fields.Latitude(a.lat) || !fields.Longitude(a.lon) ||
                (!fields.AtEnd() && (((kind = fields.Text()) != "I" && kind != "O") || !fields.AtEnd()));
        if (a.bad) return;
        a.ident = ident;
        a.kind = kind[0];
        a.hash = a.ident.Hash();
        intersections.Prefetch(a.hash);
      },
      [&](std::size_t f, const IntersectionLine& a, BadLineReport& bad) {
        bool full = false;
        NavDbRecord* r =
            intersections.Add(a.hash, a.lat, a.lon, kIntFiles[f].user, bad, full, [&](const NavDbRecord& e) {
              return e.ident == a.ident && SamePlace(e, a.lat, a.lon);
            });
        if (r == nullptr) return !full;
        r->ident = a.ident;
        r->latitude = a.lat;
        r->longitude = a.lon;
        r->kind = std::string_view(&a.kind, 1);
        return true;
      },
      [&](std::size_t, NavTextFile& file) { intersections.StartFile(file.EstimateLines()); });
}

// ---- awys ----

// An airway point's position to 1e-4 degrees as one number; two points
// are the same when ident and place agree.
std::int64_t PlaceOf(double lat, double lon) {
  return RoundToNearest(lat * 1e4) * 4000000 + RoundToNearest(lon * 1e4);
}

// Airway points by ident and place, in 16-byte slots (four to a cache
// line; the airway file is the largest, and its look-ups wait on memory).
// An ident of up to 8 bytes and a place within the world fit in the slot
// whole, so such a look-up touches one place in memory; any other key
// keeps a hash there and is checked against its table entry.
class AirwayPointIndex {
 public:
  explicit AirwayPointIndex(const BoundedTable<NavDbRecord>& table) : table_(table) {}

  // Room for `expected` points without growing. The slots are filled to
  // three quarters at most (linear probing keeps a look-up within a cache
  // line or two at that load).
  void Reserve(std::size_t expected) {
    std::size_t cap = 1024;
    while (cap * 3 < expected * 4) cap <<= 1;
    if (cap > slots_.size()) Rehash(cap);
  }
  static std::uint64_t Hash(const Ident& ident, std::int64_t place) {
    return ident.Hash(static_cast<std::uint64_t>(place));
  }
  void Prefetch(std::uint64_t hash) const { __builtin_prefetch(&slots_[hash & (slots_.size() - 1)]); }
  // The point's index, or 0 after making room for it (then write its
  // table entry and call Set).
  int FindOrReserve(const Ident& ident, std::int64_t place, std::uint64_t hash, std::size_t& where) {
    if ((used_ + 1) * 4 > slots_.size() * 3) Rehash(slots_.size() * 2);
    const Slot key = KeyOf(ident, place, hash);
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
      const Slot& slot = slots_[i];
      if (slot.rest == 0) {
        where = i;
        pending_ = key;
        return 0;
      }
      if (slot.word == key.word && (slot.rest & ~kIndexMask) == key.rest) {
        const int index = static_cast<int>(slot.rest & kIndexMask);
        if ((slot.rest & kChecked) == 0) return index;
        const NavDbRecord& r = table_[index];
        if (r.ident == ident && PlaceOf(r.latitude, r.longitude) == place) return index;
      }
    }
  }
  void Set(std::size_t where, int index) {
    pending_.rest |= static_cast<std::uint64_t>(index);
    slots_[where] = pending_;
    ++used_;
  }

 private:
  // word: the ident's bytes, zero-padded (idents hold no zero byte), or the
  // hash; rest: the place (biased to stay positive) or hash bits, above the
  // table index (0 = empty slot), and kChecked on a hashed key.
  struct Slot {
    std::uint64_t word = 0;
    std::uint64_t rest = 0;
  };
  static constexpr int kIndexBits = 19;
  static_assert(kMaxAirwayPoints < (1 << kIndexBits));
  static constexpr std::uint64_t kIndexMask = (std::uint64_t{1} << kIndexBits) - 1;
  static constexpr int kPlaceBits = 43;  // |place| stays below 2^42 inside -90..90, -180..180
  static constexpr std::uint64_t kPlaceBias = std::uint64_t{1} << (kPlaceBits - 1);
  static constexpr std::uint64_t kChecked = std::uint64_t{1} << 63;
  static_assert(kIndexBits + kPlaceBits < 63 && Ident::kCapacity + 1 >= 8);

  static Slot KeyOf(const Ident& ident, std::int64_t place, std::uint64_t hash) {
    const std::uint64_t biased = static_cast<std::uint64_t>(place) + kPlaceBias;
    Slot key;
    if (ident.size() <= 8 && biased < (std::uint64_t{1} << kPlaceBits)) {
      std::memcpy(&key.word, ident.data(), 8);  // the storage is longer
      key.rest = biased << kIndexBits;
    } else {
      key.word = hash;
      key.rest = kChecked | ((hash >> kIndexBits) & ~kIndexMask & ~kChecked);
    }
    return key;
  }

  // Slots are placed again by their table entries' keys.
  void Rehash(std::size_t cap) {
    std::vector<Slot> old;
    old.swap(slots_);
    slots_.assign(cap, Slot{});
    const std::size_t mask = slots_.size() - 1;
    for (const Slot& k : old) {
      if (k.rest == 0) continue;
      const NavDbRecord& r = table_[static_cast<int>(k.rest & kIndexMask)];
      std::size_t i = Hash(r.ident, PlaceOf(r.latitude, r.longitude)) & mask;
      while (slots_[i].rest != 0) i = (i + 1) & mask;
      slots_[i] = k;
    }
  }

  const BoundedTable<NavDbRecord>& table_;
  std::vector<Slot> slots_;
  std::size_t used_ = 0;
  Slot pending_;
};

struct AirwayLine {
  bool bad = false;
  Ident airway, ident;
  double lat = 0.0, lon = 0.0;
  std::int64_t place = 0;
  std::uint64_t hash = 0;
};

void LoadAirways() {
  State& s = navdb_state;
  // Points are the same when ident and position to 1e-4 degrees agree.
  AirwayPointIndex points(s.AirwayPointTable);
  StartPositions(s.AirwayPointVectors, static_cast<std::size_t>(s.AirwayPointCount));
  std::unordered_set<std::string> user_airways;
  Ident last_airway;  // user-set look-ups once per run of lines
  bool last_overridden = false;
  // The line's turn: false when a table is full.
  const auto take = [&](std::size_t f, const AirwayLine& a, BadLineReport&) {
    if (a.airway != last_airway) {
      last_airway = a.airway;
      if (kAwyFiles[f].user) {
        user_airways.emplace(last_airway.view());
        last_overridden = false;
      } else {
        last_overridden = !user_airways.empty() && user_airways.count(std::string(last_airway.view())) != 0;
      }
    }
    if (last_overridden) return true;  // the user file redefines this airway
    if (s.AirwayFixCount >= kMaxAirwayFixes) {
      PostFull("Awys", s.AirwayFixCount);
      return false;
    }
    std::size_t where = 0;
    int point = points.FindOrReserve(a.ident, a.place, a.hash, where);
    if (point == 0) {
      if (s.AirwayPointCount >= kMaxAirwayPoints) {
        PostFull("Awys", s.AirwayFixCount);
        return false;
      }
      point = ++s.AirwayPointCount;
      NavDbRecord& r = s.AirwayPointTable[point];
      r.ident = a.ident;
      r.latitude = a.lat;
      r.longitude = a.lon;
      r.kind = "I";
      AppendPosition(s.AirwayPointVectors, a.lat, a.lon);
      points.Set(where, point);
    }
    AirwayFix& fix = s.AirwayFixTable[++s.AirwayFixCount];
    fix.airway = a.airway;
    fix.point = point;
    return true;
  };
  LoadDataFilesAhead<AirwayLine>(
      kAwyFiles, 8u,
      [&](std::string_view line, AirwayLine& a) {
        FieldReader fields(line);
        std::string_view airway, ident;
        a.bad = !fields.Ident(airway) || !fields.Ident(ident) || !fields.Latitude(a.lat) ||
                !fields.Longitude(a.lon) || !fields.AtEnd();
        if (a.bad) return;
        a.airway = airway;
        a.ident = ident;
        a.place = PlaceOf(a.lat, a.lon);
        a.hash = AirwayPointIndex::Hash(a.ident, a.place);
        points.Prefetch(a.hash);
      },
      take,
      [&](std::size_t, NavTextFile& file) {
        last_airway.clear();
        last_overridden = false;
        // Airways share their fixes: a file names a distinct point every
        // two or three lines (the index grows if it names more).
        const std::int64_t max_lines = std::min<std::int64_t>(file.EstimateLines(), kMaxAirwayFixes);
        s.AirwayFixTable.Reserve(
            static_cast<int>(std::min<std::int64_t>(s.AirwayFixCount + TableRoom(max_lines), kMaxAirwayFixes)));
        const int point_room =
            static_cast<int>(std::min<std::int64_t>(s.AirwayPointCount + max_lines, kMaxAirwayPoints));
        s.AirwayPointTable.Reserve(point_room);
        ReservePositions(s.AirwayPointVectors, static_cast<std::size_t>(point_room));
        points.Reserve(static_cast<std::size_t>(s.AirwayPointCount + max_lines * 3 / 8));
      });
}

// ---- apts ----

void LoadAirports() {
  State& s = navdb_state;
  UserFirstTable airports(s.AirportTable, s.AirportCount, kMaxAirports, "Apts", &s.AirportVectors);
  s.AirportFileRefs.assign(1, AirportFileRef{});
  NavDbRecord airport;
  // Runway lines are read by LoadAirportDetails; here they only have to
  // follow an airport line (taken or not).
  bool after_airport_line = false;
  const auto start_file = [&](std::size_t, NavTextFile& file) {
    after_airport_line = false;
    // Most lines are runway lines: room for the airport lines alone.
    const std::int64_t lines = file.EstimateLines('A');
    airports.StartFile(lines);
    s.AirportFileRefs.reserve(static_cast<std::size_t>(s.AirportCount + TableRoom(lines)) + 1);
  };
  LoadDataFiles(
      kAptFiles, 2u,
      [&](std::size_t f, std::string_view line, std::int64_t offset, BadLineReport& bad) {
        if (FieldReader(line).Text() == "R") {
          if (!after_airport_line) bad.Count();
          return true;
        }
        after_airport_line = true;
        if (!ParseAirportLine(line, airport)) {
          bad.Count();
          return true;
        }
        bool full = false;
        NavDbRecord* r = airports.Add(airport.ident, airport.latitude, airport.longitude, kAptFiles[f].user, bad, full,
                                      [&](const NavDbRecord& e) { return e.ident == airport.ident; });
        if (r == nullptr) return !full;
        *r = std::move(airport);
        s.AirportFileRefs.push_back(AirportFileRef{static_cast<std::int8_t>(f), offset, bad.line()});
        return true;
      },
      start_file);
}

}  // namespace

void BuildPositionVectors(const BoundedTable<NavDbRecord>& table, int count, PositionVectors& v) {
  StartPositions(v, static_cast<std::size_t>(std::max(count, 0)));
  for (int i = 1; i <= count; ++i) AppendPosition(v, table[i].latitude, table[i].longitude);
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
}

}  // namespace ovi::navdb
