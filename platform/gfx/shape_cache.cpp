#include "platform/gfx/shape_cache.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <list>
#include <mutex>
#include <vector>

#include "platform/gfx/hash_index.h"

namespace ovi::gfx::detail {

void ShapeKey::Add(double v) {
  std::uint64_t bits;
  std::memcpy(&bits, &v, sizeof bits);
  words.push_back(static_cast<std::uint32_t>(bits));
  words.push_back(static_cast<std::uint32_t>(bits >> 32));
}

void ShapeKey::Seal() {
  // FNV-1a over the words, then a final mix so that keys differing only in
  // their last words still spread over the table.
  std::uint64_t h = 0xCBF29CE484222325ull;
  for (std::uint32_t w : words) h = (h ^ w) * 0x100000001B3ull;
  h ^= h >> 33;
  h *= 0xFF51AFD7ED558CCDull;
  h ^= h >> 33;
  hash = h;
}

// Two segments, least recently used last in each: a coverage kept goes on
// probation and is guarded once it is painted. A shape drawn once and never
// again (a boundary outline while the map turns: every frame a new one)
// then only pushes out other such shapes, not the rings and symbols painted
// frame after frame; the guarded segment holds at most kGuardedShare of the
// cache and passes its oldest back to probation.
struct ShapeCache::State {
  struct Entry {
    std::vector<std::uint32_t> key;
    std::uint64_t hash;
    Coverage coverage;
    std::size_t bytes;
    bool guarded = false;
    std::list<Entry>::iterator self{};  // its own place in its segment's list
  };
  struct Segment {
    std::list<Entry> lru;  // most recently used first
    std::size_t bytes = 0;
  };
  mutable std::mutex mu;
  Segment probation, guarded;
  HashIndex<Entry> index{kMaxEntries};

  std::size_t Entries() const { return probation.lru.size() + guarded.lru.size(); }
  std::size_t Bytes() const { return probation.bytes + guarded.bytes; }
  Segment& Of(const Entry& e) { return e.guarded ? guarded : probation; }
  void Erase(std::list<Entry>::iterator it) {
    Segment& seg = Of(*it);
    seg.bytes -= it->bytes;
    index.Erase(it->hash);
    seg.lru.erase(it);
  }
  // Moves an entry to the front of a segment (list nodes, and with them
  // the index's iterators, stay where they are).
  void MoveToFront(std::list<Entry>::iterator it, bool to_guarded) {
    Segment& from = Of(*it);
    Segment& to = to_guarded ? guarded : probation;
    from.bytes -= it->bytes;
    to.bytes += it->bytes;
    it->guarded = to_guarded;
    to.lru.splice(to.lru.begin(), from.lru, it);
  }
  void Used(std::list<Entry>::iterator it) {
    MoveToFront(it, true);
    while (guarded.lru.size() > kGuardedEntries || guarded.bytes > kGuardedBytes)
      MoveToFront(std::prev(guarded.lru.end()), false);
  }
  void Bound() {
    while (Entries() > kMaxEntries || Bytes() > kMaxBytes)
      Erase(std::prev((probation.lru.empty() ? guarded : probation).lru.end()));
  }
  static constexpr std::size_t kGuardedEntries = kMaxEntries / 4 * 3;
  static constexpr std::size_t kGuardedBytes = kMaxBytes / 4 * 3;
};

namespace {

// Where a coverage cut by its box is kept: beside the coverage of the same
// key that holds for any box, so that a shape drawn whole in one place and
// cut at the surface's edge in another keeps both instead of each pushing
// the other out.
std::uint64_t BoxHash(std::uint64_t hash, int bx0, int by0, int bx1, int by1) {
  for (int v : {bx0, by0, bx1, by1}) hash = (hash ^ static_cast<std::uint32_t>(v)) * 0x100000001B3ull;
  hash ^= hash >> 29;
  return hash * 0xBF58476D1CE4E5B9ull;
}

}  // namespace

ShapeCache::ShapeCache() : state_(new State) {}
ShapeCache::~ShapeCache() { delete state_; }

bool ShapeCache::Paint(const ShapeKey& key, int bx0, int by0, int bx1, int by1, std::uint32_t* pixels, int stride,
                       int ox, int oy, std::uint32_t argb, const ClipPixels* clip) {
  State& s = *state_;
  std::lock_guard<std::mutex> lock(s.mu);
  const State::Entry* entry = nullptr;
  for (std::uint64_t hash : {key.hash, BoxHash(key.hash, bx0, by0, bx1, by1)}) {
    State::Entry* found = s.index.Find(hash);
    if (found == nullptr || found->key != key.words || !found->coverage.ValidIn(bx0, by0, bx1, by1)) continue;
    s.Used(found->self);
    entry = found;
    break;
  }
  if (entry == nullptr) return false;
  entry->coverage.Paint(pixels, stride, ox, oy, argb, clip);
  return true;
}

void ShapeCache::Keep(const ShapeKey& key, const Coverage& coverage) {
  // The entry's own bookkeeping (list and table nodes) counted roughly.
  const std::size_t bytes = key.words.size() * sizeof(std::uint32_t) + coverage.Bytes() + sizeof(State::Entry) + 64;
  if (bytes > kMaxEntryBytes) return;
  const std::uint64_t hash =
      coverage.inside ? key.hash
                      : BoxHash(key.hash, coverage.box_x0, coverage.box_y0, coverage.box_x1, coverage.box_y1);
  State& s = *state_;
  std::lock_guard<std::mutex> lock(s.mu);
  if (State::Entry* found = s.index.Find(hash)) s.Erase(found->self);
  s.probation.lru.push_front(State::Entry{key.words, hash, coverage, bytes});
  State::Entry& entry = s.probation.lru.front();
  entry.self = s.probation.lru.begin();
  s.probation.bytes += bytes;
  s.index.Insert(hash, &entry);
  s.Bound();
}

ShapeCache::Size ShapeCache::Used() const {
  const State& s = *state_;
  std::lock_guard<std::mutex> lock(s.mu);
  return Size{s.Entries(), s.Bytes()};
}

void ShapeCache::Clear() {
  State& s = *state_;
  std::lock_guard<std::mutex> lock(s.mu);
  s.probation = {};
  s.guarded = {};
  s.index.Clear();
}

ShapeCache& Shapes() {
  // Never destroyed: gauges may still draw while the process exits.
  static ShapeCache* cache = new ShapeCache;
  return *cache;
}

}  // namespace ovi::gfx::detail
