// Text fields of the navigation records, sized so that a world-sized
// database holds no heap string per record. Both types read like a
// std::string (c_str, data, size, empty, [], comparison with std::string, C
// strings and string views, conversion to std::string_view and to
// std::string) and take std::string, C strings and string views; they do
// not grow in place (no +=, append, substr: convert first).
//
// FixedText<N>: up to N bytes inside the record; a longer text is cut to N.
// InternedText: names of any record share one process-wide store of texts
// (each distinct text kept once, for the life of the process); the record
// holds a 4-byte handle. A text is cut to kMaxInternedText bytes.
#pragma once

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace ovi::model {

template <std::size_t N>
class FixedText {
  static_assert(N > 0 && N < 256, "the length is kept in one byte");

 public:
  static constexpr std::size_t kCapacity = N;

  FixedText() = default;
  FixedText(std::string_view s) { Assign(s); }  // NOLINT: reads like a string
  FixedText(const std::string& s) { Assign(s); }
  FixedText(const char* s) { Assign(s != nullptr ? std::string_view(s) : std::string_view()); }
  FixedText& operator=(std::string_view s) { return Assign(s); }
  FixedText& operator=(const std::string& s) { return Assign(s); }
  FixedText& operator=(const char* s) { return Assign(s != nullptr ? std::string_view(s) : std::string_view()); }

  const char* c_str() const { return text_; }
  const char* data() const { return text_; }
  std::size_t size() const { return size_; }
  std::size_t length() const { return size_; }
  bool empty() const { return size_ == 0; }
  void clear() { Assign({}); }
  // Past the end reads the terminating NUL, as a std::string's would.
  char operator[](std::size_t i) const { return i < N && i < size_ ? text_[i] : '\0'; }
  const char* begin() const { return text_; }
  const char* end() const { return text_ + size_; }
  std::string_view view() const { return std::string_view(text_, size_); }
  operator std::string_view() const { return view(); }  // NOLINT
  operator std::string() const { return std::string(view()); }  // NOLINT

  // The unused tails are zero: the whole storage compares at once.
  friend bool operator==(const FixedText& a, const FixedText& b) {
    return std::memcmp(a.text_, b.text_, N + 1) == 0 && a.size_ == b.size_;
  }
  friend bool operator==(const FixedText& a, std::string_view b) { return a.view() == b; }
  friend bool operator==(const FixedText& a, const std::string& b) { return a.view() == std::string_view(b); }
  friend bool operator==(const FixedText& a, const char* b) {
    return b != nullptr && a.view() == std::string_view(b);
  }
  friend bool operator<(const FixedText& a, const FixedText& b) { return a.view() < b.view(); }

  // A hash of the text for the loaders' indexes: the whole zero-padded
  // storage (length included) read in whole words, the last one a 4-byte
  // word when that is all there is (whole loads, no byte gathering).
  std::uint64_t Hash(std::uint64_t seed = 0) const {
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(this);
    std::uint64_t h = seed ^ 0x9E3779B97F4A7C15ull;
    std::size_t i = 0;
    for (; i + 8 <= sizeof(FixedText); i += 8) {
      std::uint64_t w;
      std::memcpy(&w, bytes + i, 8);
      h = (h ^ w) * 0xBF58476D1CE4E5B9ull;
      h ^= h >> 31;
    }
    for (; i + 4 <= sizeof(FixedText); i += 4) {
      std::uint32_t w;
      std::memcpy(&w, bytes + i, 4);
      h = (h ^ w) * 0xBF58476D1CE4E5B9ull;
      h ^= h >> 31;
    }
    for (; i < sizeof(FixedText); ++i) h = (h ^ bytes[i]) * 0x100000001B3ull;
    h *= 0x94D049BB133111EBull;
    return h ^ (h >> 29);
  }

 private:
  FixedText& Assign(std::string_view s) {
    const std::size_t n = std::min(s.size(), N);
    // The words are laid out as the bytes are on a little-endian machine.
    if constexpr (sizeof(FixedText) <= 16 && std::endian::native == std::endian::little) {
      static_assert(sizeof(FixedText) == N + 2, "text, terminator and size, nothing between");
      // Gathered into two words and stored whole: a text built byte by
      // byte and then read as words (hashing, comparing, copying a record)
      // would wait for its byte stores to settle.
      std::uint64_t w[2];
      LoadWords(s.data(), n, w[0], w[1]);
      constexpr std::size_t kSizeBit = 8 * (N + 1);  // where size_ sits
      w[kSizeBit / 64] |= static_cast<std::uint64_t>(n) << (kSizeBit % 64);
      std::memcpy(static_cast<void*>(this), w, sizeof(FixedText));
    } else {
      // Built aside (the source may be this text) and stored whole: the
      // unused tail stays zero, so records compare and copy as plain bytes.
      char text[N + 1] = {};
      for (std::size_t i = 0; i < n; ++i) text[i] = s[i];
      std::memcpy(text_, text, N + 1);
      size_ = static_cast<std::uint8_t>(n);
    }
    return *this;
  }

  // The n (at most 15) bytes at s as little-endian words, zero past them,
  // read with a few whole loads that stay inside the n bytes. (Given a short
  // literal, GCC warns about the loads of the branches its length rules out.)
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Warray-bounds"
#endif
  static void LoadWords(const char* s, std::size_t n, std::uint64_t& lo, std::uint64_t& hi) {
    hi = 0;
    if (n >= 8) {
      std::memcpy(&lo, s, 8);
      if (n > 8) {
        std::uint64_t last;  // the 8 bytes ending at s[n - 1]
        std::memcpy(&last, s + n - 8, 8);
        hi = last >> (8 * (16 - n));
      }
    } else if (n >= 4) {
      std::uint32_t first, last;  // overlapping when n < 8: the same bytes
      std::memcpy(&first, s, 4);
      std::memcpy(&last, s + n - 4, 4);
      lo = first | static_cast<std::uint64_t>(last) << (8 * (n - 4));
    } else if (n > 0) {
      const auto byte = [&](std::size_t i) { return static_cast<std::uint64_t>(static_cast<unsigned char>(s[i])); };
      lo = byte(0) | byte(n / 2) << (8 * (n / 2)) | byte(n - 1) << (8 * (n - 1));
    } else {
      lo = 0;
    }
  }
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif

  char text_[N + 1] = {};
  std::uint8_t size_ = 0;
};

// Longest text an InternedText keeps.
inline constexpr std::size_t kMaxInternedText = 64;

class InternedText {
 public:
  InternedText() = default;
  InternedText(std::string_view s) : id_(Intern(s)) {}  // NOLINT: reads like a string
  InternedText(const std::string& s) : id_(Intern(s)) {}
  InternedText(const char* s) : id_(Intern(s != nullptr ? std::string_view(s) : std::string_view())) {}
  InternedText& operator=(std::string_view s) { return id_ = Intern(s), *this; }
  InternedText& operator=(const std::string& s) { return id_ = Intern(s), *this; }
  InternedText& operator=(const char* s) {
    return id_ = Intern(s != nullptr ? std::string_view(s) : std::string_view()), *this;
  }

  const char* c_str() const { return Text(id_).data(); }
  const char* data() const { return Text(id_).data(); }
  std::size_t size() const { return Text(id_).size(); }
  std::size_t length() const { return size(); }
  bool empty() const { return id_ == 0; }
  void clear() { id_ = 0; }
  char operator[](std::size_t i) const {
    std::string_view v = Text(id_);
    return i < v.size() ? v[i] : '\0';
  }
  const char* begin() const { return data(); }
  const char* end() const { return data() + size(); }
  std::string_view view() const { return Text(id_); }
  operator std::string_view() const { return Text(id_); }  // NOLINT
  operator std::string() const { return std::string(Text(id_)); }  // NOLINT

  // Equal texts share one handle.
  friend bool operator==(const InternedText& a, const InternedText& b) { return a.id_ == b.id_; }
  friend bool operator==(const InternedText& a, std::string_view b) { return a.view() == b; }
  friend bool operator==(const InternedText& a, const std::string& b) { return a.view() == std::string_view(b); }
  friend bool operator==(const InternedText& a, const char* b) {
    return b != nullptr && a.view() == std::string_view(b);
  }

  // Distinct texts kept so far, and the bytes they take (for the benchmarks).
  static std::size_t StoredTexts();
  static std::size_t StoredBytes();

 private:
  // 0 for the empty text (and when the store is full).
  static std::uint32_t Intern(std::string_view s);
  static std::string_view Text(std::uint32_t id);

  std::uint32_t id_ = 0;
};

}  // namespace ovi::model
