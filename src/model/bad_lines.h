// The once-a-file report of a reader's bad lines: a file of a thousand bad
// lines gives one status text, not a thousand, and the status log keeps
// room for what comes after it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

namespace ovi::model {

// Counts the bad lines of one file and reports them once, naming the first
// one by its number so that the user can find it.
class BadLineReport {
 public:
  BadLineReport() = default;  // for a reader whose bad lines are never reported
  explicit BadLineReport(std::string file_name) : file_name_(std::move(file_name)) {}
  // The number (from 1) of the line being read: the one Count() blames.
  void At(std::int64_t line) { line_ = line; }
  std::int64_t line() const { return line_; }
  void Count() {
    if (count_++ == 0 || line_ < first_line_) {
      first_line_ = line_;
      why_.clear();
    }
  }
  // The same, saying what is wrong with the line; the report tells it for
  // the first bad line. A line with two faults counts once, by its first.
  void Count(std::string_view why) {
    if (count_ > 0 && line_ == told_line_) return;
    told_line_ = line_;
    const bool first = count_ == 0 || line_ < first_line_;
    Count();
    if (first) why_ = why;
  }
  // Counts `count` bad lines of which the first is `first_line` (a reading
  // made earlier, reported now).
  void Add(std::int64_t first_line, int count) {
    if (count <= 0) return;
    if (count_ == 0) first_line_ = first_line;
    count_ += count;
  }
  int count() const { return count_; }
  std::int64_t first_line() const { return first_line_; }
  // Posts "<file>: bad line <n> skipped", or "<file>: bad line <n> and <m>
  // more skipped", when any were counted; `ending` stands in place of
  // "skipped" when given (none when empty). What is wrong with the first
  // follows its number in brackets when Count was told.
  void Post(std::string_view ending = "skipped") const;

 private:
  std::string file_name_;
  int count_ = 0;
  std::int64_t line_ = 0;
  std::int64_t first_line_ = 0;
  std::string why_;
  std::int64_t told_line_ = -1;
};

}  // namespace ovi::model
