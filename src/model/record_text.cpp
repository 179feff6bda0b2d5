#include "src/model/record_text.h"

#include <array>
#include <atomic>
#include <cstring>
#include <memory>
#include <mutex>
#include <vector>

namespace ovi::model {

namespace {

// The store of interned texts: each distinct text once, NUL-terminated, in
// chunks that never move; handles index blocks of entries that never move
// either, so reading a text takes no lock. Adding one takes the lock.
class TextStore {
 public:
  std::uint32_t Intern(std::string_view s) {
    if (s.size() > kMaxInternedText) s = s.substr(0, kMaxInternedText);
    if (s.empty()) return 0;
    const std::uint32_t tag = Tag(s);
    std::lock_guard<std::mutex> lock(mutex_);
    if ((count_ + 1) * 2 > index_.size()) Grow();
    const std::size_t mask = index_.size() - 1;
    for (std::size_t i = tag & mask;; i = (i + 1) & mask) {
      const Slot slot = index_[i];
      if (slot.id == 0) {
        const std::uint32_t added = Add(s);
        if (added != 0) index_[i] = Slot{added, tag};
        return added;
      }
      // The tag spares looking at the texts of other names.
      if (slot.tag == tag && Get(slot.id) == s) return slot.id;
    }
  }

  std::string_view Get(std::uint32_t id) const {
    const Entry* block = blocks_[(id >> kBlockBits) & (kMaxBlocks - 1)].load(std::memory_order_acquire);
    if (block == nullptr) return std::string_view("", 0);
    const Entry& e = block[id & (kBlockSize - 1)];
    return std::string_view(e.text, e.size);
  }

  std::size_t Texts() {
    std::lock_guard<std::mutex> lock(mutex_);
    return count_;
  }
  std::size_t Bytes() {
    std::lock_guard<std::mutex> lock(mutex_);
    return bytes_;
  }

 private:
  struct Entry {
    const char* text = "";
    std::uint32_t size = 0;
  };
  static constexpr std::uint32_t kBlockBits = 12;
  static constexpr std::uint32_t kBlockSize = 1u << kBlockBits;
  static constexpr std::uint32_t kMaxBlocks = 4096;  // 16.7 million texts
  static constexpr std::size_t kChunkSize = 1 << 16;

  // 32 bits of hash that both place a text's slot and tell texts apart, so
  // growing the index never reads the texts again. The text is read in
  // whole words (the last one overlapping the one before), and every byte
  // reaches the low bits that place the slot: names differ in their last
  // bytes only ("... 123", "... 124").
  static std::uint32_t Tag(std::string_view s) {
    const char* p = s.data();
    const std::size_t n = s.size();
    std::uint64_t h = 0x9E3779B97F4A7C15ull ^ n;
    const auto mix = [&h](std::uint64_t w) {
      h = (h ^ w) * 0xBF58476D1CE4E5B9ull;
      h ^= h >> 31;
    };
    if (n >= 8) {
      std::size_t i = 0;
      for (; i + 8 <= n; i += 8) mix(Load64(p + i));
      if (i < n) mix(Load64(p + n - 8));
    } else if (n >= 4) {
      mix(Load32(p) | static_cast<std::uint64_t>(Load32(p + n - 4)) << 32);
    } else {
      const auto byte = [&](std::size_t i) { return static_cast<std::uint64_t>(static_cast<unsigned char>(p[i])); };
      mix(byte(0) | byte(n / 2) << 8 | byte(n - 1) << 16);
    }
    h *= 0x94D049BB133111EBull;
    return static_cast<std::uint32_t>((h ^ (h >> 29)) >> 32);
  }
  static std::uint64_t Load64(const char* p) {
    std::uint64_t w;
    std::memcpy(&w, p, 8);
    return w;
  }
  static std::uint32_t Load32(const char* p) {
    std::uint32_t w;
    std::memcpy(&w, p, 4);
    return w;
  }

  // The new text's handle; 0 when the store is full.
  std::uint32_t Add(std::string_view s) {
    const std::uint32_t id = static_cast<std::uint32_t>(count_ + 1);
    const std::uint32_t b = id >> kBlockBits;
    if (b >= kMaxBlocks) return 0;
    if (owned_blocks_.size() <= b) {
      owned_blocks_.push_back(std::make_unique<Entry[]>(kBlockSize));
      blocks_[b].store(owned_blocks_.back().get(), std::memory_order_release);
    }
    if (chunks_.empty() || chunk_used_ + s.size() + 1 > kChunkSize) {
      chunks_.push_back(std::make_unique<char[]>(kChunkSize));
      chunk_used_ = 0;
    }
    char* text = chunks_.back().get() + chunk_used_;
    std::memcpy(text, s.data(), s.size());
    text[s.size()] = '\0';
    chunk_used_ += s.size() + 1;
    bytes_ += s.size() + 1;
    Entry& e = owned_blocks_[b][id & (kBlockSize - 1)];
    e.text = text;
    e.size = static_cast<std::uint32_t>(s.size());
    ++count_;
    return id;
  }

  void Grow() {
    std::vector<Slot> next(index_.empty() ? 1024 : index_.size() * 2);
    const std::size_t mask = next.size() - 1;
    for (const Slot& slot : index_) {
      if (slot.id == 0) continue;
      std::size_t i = slot.tag & mask;
      while (next[i].id != 0) i = (i + 1) & mask;
      next[i] = slot;
    }
    index_.swap(next);
  }

  std::mutex mutex_;
  std::array<std::atomic<const Entry*>, kMaxBlocks> blocks_{};
  std::vector<std::unique_ptr<Entry[]>> owned_blocks_;
  std::vector<std::unique_ptr<char[]>> chunks_;
  std::size_t chunk_used_ = 0;
  struct Slot {
    std::uint32_t id = 0;  // 0 = free
    std::uint32_t tag = 0;  // Tag() of the text
  };
  std::vector<Slot> index_;  // handles by hash, open addressing
  std::size_t count_ = 0;
  std::size_t bytes_ = 0;
};

TextStore& Store() {
  static TextStore store;
  return store;
}

}  // namespace

std::uint32_t InternedText::Intern(std::string_view s) { return s.empty() ? 0 : Store().Intern(s); }

std::string_view InternedText::Text(std::uint32_t id) {
  if (id == 0) return std::string_view("", 0);
  return Store().Get(id);
}

std::size_t InternedText::StoredTexts() { return Store().Texts(); }
std::size_t InternedText::StoredBytes() { return Store().Bytes(); }

}  // namespace ovi::model
