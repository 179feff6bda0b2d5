// Reading of the navigation text files: bounded lines, blank-separated
// tokens, strict numeric fields, and the once-per-file bad-line report.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/os/files.h"
#include "src/model/bad_lines.h"

namespace ovi::navdb {

// No line of any navigation file is longer; a longer one is a bad line and
// is skipped without being stored.
constexpr std::size_t kMaxLineLength = 2048;
constexpr std::size_t kMaxIdentLength = 10;
constexpr std::size_t kMaxNameLength = 64;

// Buffered line reader over an os::RegularFile of at most
// model::kMaxNavDataFileBytes.
class NavTextFile {
 public:
  // path: a Windows-style path under the simulator folder.
  explicit NavTextFile(const std::string& path);
  ~NavTextFile();
  NavTextFile(const NavTextFile&) = delete;
  NavTextFile& operator=(const NavTextFile&) = delete;

  bool IsOpen() const { return file_.IsOpen(); }
  // Why the file is not open.
  const os::FileProblem& problem() const { return problem_; }
  // Size of the file in bytes when opened (0 when not open).
  std::int64_t Size() const { return size_; }
  // The number of lines in the file, an upper bound of its entries, for a
  // loader that sizes its tables before reading; reading then starts over
  // at the first line. 0 when not open.
  std::int64_t CountLines();
  // The number of lines for sizing tables without a pass of its own: exact
  // when the file fits in the reading window, else the first window's lines
  // scaled to the file's size. With `first`, only the lines that begin with
  // that byte. Call before reading; the first line is still the next. 0
  // when not open.
  std::int64_t EstimateLines(char first = '\0');

  // Next line without its end-of-line bytes. offset = where the line starts
  // in the file; too_long = the line exceeded kMaxLineLength (line is then
  // empty). false at end of file.
  bool Next(std::string_view& line, std::int64_t& offset, bool& too_long);

  // The number (from 1) of the line Next returned last; 0 before the first.
  std::int64_t line() const { return line_; }

  // Continues reading at a byte offset returned by Next; `line` is the
  // number of the line that starts there.
  bool Seek(std::int64_t offset, std::int64_t line = 1);

 private:
  bool Fill();
  // Hands out the line of len bytes at begin_ and moves past consumed bytes.
  void TakeLine(std::size_t len, std::size_t consumed, std::string_view& line, std::int64_t& offset,
                bool& too_long);

  os::RegularFile file_;
  os::FileProblem problem_;
  std::unique_ptr<char[]> buf_;
  std::size_t begin_ = 0;  // first unread byte in buf_
  std::size_t end_ = 0;    // one past the last valid byte
  std::int64_t buf_offset_ = 0;  // file offset of buf_[0]
  bool eof_ = false;
  std::int64_t size_ = 0;
  std::int64_t line_ = 0;
};

// Splits a line on blanks and tabs into at most max tokens; returns the
// number of tokens found (which may be less than all of them when max is
// reached).
int Tokenize(std::string_view line, std::string_view* tokens, int max);

// The text of the line from the start of `from` to its end, trimmed.
std::string_view RestOfLine(std::string_view line, std::string_view from);

// True for a blank line or one whose first non-blank byte is ';'.
bool IsCommentOrBlank(std::string_view line);

bool ParseLatitude(std::string_view s, double& out);   // finite, -90..90
bool ParseLongitude(std::string_view s, double& out);  // finite, -180..180
bool ParseNumber(std::string_view s, double& out);     // finite number, whole field
bool ParseInteger(std::string_view s, int& out);       // whole field

// 1..kMaxIdentLength printable non-blank ASCII bytes.
bool IsValidIdent(std::string_view s);
// At most kMaxNameLength bytes, control bytes replaced by '?'.
std::string CleanName(std::string_view s);
// The same without a heap string: s itself when it needs no change, else
// the cleaned copy in `buffer`.
std::string_view CleanName(std::string_view s, char (&buffer)[kMaxNameLength]);

// One line's fields read left to right, each converted while it is passed
// over, so that a loader walks a line's bytes once instead of splitting
// them first. The fields are Tokenize's, and each reading accepts exactly
// what its function above accepts. A reading takes the next field and is
// false when there is none or it does not fit; after a false one the line
// is bad and the reader's place is of no further use.
class FieldReader {
 public:
  explicit FieldReader(std::string_view line) : p_(line.data()), end_(line.data() + line.size()) {}

  // The next field; empty when none is left.
  std::string_view Text() {
    SkipBlanks();
    const char* b = p_;
    p_ = FieldEnd(p_);
    return std::string_view(b, static_cast<std::size_t>(p_ - b));
  }
  // IsValidIdent.
  bool Ident(std::string_view& out) {
    SkipBlanks();
    const char* b = p_;
    const char* p = b;
    while (p != end_ && static_cast<unsigned char>(*p) - 0x21u < 0x5Eu) ++p;  // '!' .. '~'
    // A byte no ident holds, other than a blank, goes on with the field.
    const bool whole = p == end_ || IsBlank(*p);
    out = std::string_view(b, static_cast<std::size_t>(p - b));
    p_ = whole ? p : FieldEnd(p);
    return whole && p != b && out.size() <= kMaxIdentLength && *b != ';';
  }
  // ParseNumber, ParseLatitude, ParseLongitude; `text` receives the field.
  bool Number(double& out, std::string_view* text = nullptr);
  bool Latitude(double& out) {
    double v;
    if (!Number(v) || v < -90.0 || v > 90.0) return false;
    out = v;
    return true;
  }
  bool Longitude(double& out) {
    double v;
    if (!Number(v) || v < -180.0 || v > 180.0) return false;
    out = v;
    return true;
  }
  // ParseInteger.
  bool Integer(int& out, std::string_view* text = nullptr);
  // True when no field is left.
  bool AtEnd() {
    SkipBlanks();
    return p_ == end_;
  }
  // The line from the next field on, trimmed as RestOfLine trims; empty
  // when no field is left.
  std::string_view Rest();

 private:
  static bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }
  void SkipBlanks() {
    while (p_ != end_ && IsBlank(*p_)) ++p_;
  }
  const char* FieldEnd(const char* p) const {
    while (p != end_ && !IsBlank(*p)) ++p;
    return p;
  }
  // The field at p_ handed to a parser of whole fields, p_ moved past it.
  std::string_view TakeField(const char* start);

  const char* p_;
  const char* end_;
};

using model::BadLineReport;

// For a file that did not open: posts "<name> not found" the first time a
// main file is missing (one bit of `reported` for each file; a missing user
// file is normal), and "<name>: <why>, not read" the first time a file is
// refused (not a regular file, too large; a user file's refusal counts
// under bit << 8).
void ReportUnreadOnce(const NavTextFile& file, const char* name, bool user_file, unsigned bit, unsigned& reported);

// Posts "<name> holds no data line" the first time a main file opens but
// gives nothing (no line, or comments only): its table stays empty without
// a word otherwise. An empty user file is normal.
void ReportEmptyOnce(const char* name, bool user_file, unsigned bit, unsigned& reported);

// Hands every line of the file that is neither blank nor a comment to
// on_line(line, offset), counting an over-long line as bad; `bad` stands at
// each line's number while it is handled. on_line returns
// false to stop reading; then so does this.
template <typename OnLine>
bool ForEachDataLine(NavTextFile& file, BadLineReport& bad, OnLine&& on_line) {
  std::string_view line;
  std::int64_t offset;
  bool too_long;
  while (file.Next(line, offset, too_long)) {
    bad.At(file.line());
    if (too_long) {
      bad.Count();
      continue;
    }
    if (IsCommentOrBlank(line)) continue;
    if (!on_line(line, offset)) return false;
  }
  return true;
}

}  // namespace ovi::navdb
