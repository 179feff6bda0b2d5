// A text that never holds more than N characters, whoever writes it: every
// assignment is cut at N and an append to a full text is refused. Reads like
// a std::string for the few operations its users need.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace ovi::util {

template <std::size_t N>
class CappedText {
 public:
  static constexpr std::size_t kCapacity = N;

  CappedText() = default;
  CappedText(std::string_view s) { assign(s); }  // NOLINT: reads like a string
  CappedText(const char* s) { assign(s); }       // NOLINT

  CappedText& operator=(std::string_view s) {
    assign(s);
    return *this;
  }
  CappedText& operator=(const char* s) {
    assign(s);
    return *this;
  }

  void assign(std::string_view s) { text_.assign(s.substr(0, N)); }
  // A null text is empty.
  void assign(const char* s) { assign(s != nullptr ? std::string_view(s) : std::string_view()); }

  // Appends one character; false (nothing changed) when the text is full.
  bool push_back(char c) {
    if (full()) return false;
    text_.push_back(c);
    return true;
  }
  // Removes the last character; nothing when empty.
  void pop_back() {
    if (!text_.empty()) text_.pop_back();
  }
  void clear() { text_.clear(); }

  bool empty() const { return text_.empty(); }
  bool full() const { return text_.size() >= N; }
  std::size_t size() const { return text_.size(); }
  // The last character, '\0' when empty.
  char back() const { return text_.empty() ? '\0' : text_.back(); }
  const char* c_str() const { return text_.c_str(); }
  const std::string& str() const { return text_; }
  operator std::string_view() const { return text_; }  // NOLINT

  friend bool operator==(const CappedText& a, std::string_view b) { return a.text_ == b; }

 private:
  std::string text_;
};

}  // namespace ovi::util
