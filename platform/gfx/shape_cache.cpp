#include "platform/gfx/shape_cache.h"

#include <cstring>
#include <iterator>
#include <list>
#include <mutex>
#include <unordered_map>

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

struct ShapeCache::State {
  struct Entry {
    std::vector<std::uint32_t> key;
    std::uint64_t hash;
    Coverage coverage;
    std::size_t bytes;
  };
  mutable std::mutex mu;
  std::list<Entry> lru;  // most recently used first
  std::unordered_map<std::uint64_t, std::list<Entry>::iterator> index;
  std::size_t bytes = 0;

  void Erase(std::list<Entry>::iterator it) {
    bytes -= it->bytes;
    index.erase(it->hash);
    lru.erase(it);
  }
};

ShapeCache::ShapeCache() : state_(new State) {}
ShapeCache::~ShapeCache() { delete state_; }

bool ShapeCache::Paint(const ShapeKey& key, int bx0, int by0, int bx1, int by1, std::uint32_t* pixels, int stride,
                       int ox, int oy, std::uint32_t argb, const ClipPixels* clip) {
  State& s = *state_;
  std::lock_guard<std::mutex> lock(s.mu);
  const auto found = s.index.find(key.hash);
  if (found == s.index.end()) return false;
  const auto it = found->second;
  if (it->key != key.words || !it->coverage.ValidIn(bx0, by0, bx1, by1)) return false;
  s.lru.splice(s.lru.begin(), s.lru, it);
  it->coverage.Paint(pixels, stride, ox, oy, argb, clip);
  return true;
}

void ShapeCache::Keep(const ShapeKey& key, const Coverage& coverage) {
  // The entry's own bookkeeping (list and table nodes) counted roughly.
  const std::size_t bytes = key.words.size() * sizeof(std::uint32_t) + coverage.Bytes() + sizeof(State::Entry) + 64;
  if (bytes > kMaxEntryBytes) return;
  State& s = *state_;
  std::lock_guard<std::mutex> lock(s.mu);
  if (const auto found = s.index.find(key.hash); found != s.index.end()) s.Erase(found->second);
  s.lru.push_front(State::Entry{key.words, key.hash, coverage, bytes});
  s.index.emplace(key.hash, s.lru.begin());
  s.bytes += bytes;
  while (s.lru.size() > kMaxEntries || s.bytes > kMaxBytes) s.Erase(std::prev(s.lru.end()));
}

ShapeCache::Size ShapeCache::Used() const {
  const State& s = *state_;
  std::lock_guard<std::mutex> lock(s.mu);
  return Size{s.lru.size(), s.bytes};
}

void ShapeCache::Clear() {
  State& s = *state_;
  std::lock_guard<std::mutex> lock(s.mu);
  s.lru.clear();
  s.index.clear();
  s.bytes = 0;
}

ShapeCache& Shapes() {
  // Never destroyed: gauges may still draw while the process exits.
  static ShapeCache* cache = new ShapeCache;
  return *cache;
}

}  // namespace ovi::gfx::detail
