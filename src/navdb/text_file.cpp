#include "src/navdb/text_file.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <type_traits>

#include "platform/os/os.h"
#include "src/model/state.h"
#include "src/util/text.h"

namespace ovi::navdb {

namespace {
constexpr std::size_t kBufferSize = 1 << 18;
}

NavTextFile::NavTextFile(const std::string& path) {
  const auto mapped = os::MapPath(path);
  if (!mapped) {
    problem_ = {os::FileProblem::Kind::kMissing, "no such file"};
    return;
  }
  if (!file_.Open(*mapped, model::kMaxNavDataFileBytes, &problem_)) return;
  size_ = file_.size();
  buf_.reset(new char[kBufferSize]);
}

// Counting through the reading window costs a second pass over the bytes,
// but no memory beyond the window (a whole-file buffer would be fresh pages
// to fault in on every load).
std::int64_t NavTextFile::CountLines() {
  if (!IsOpen() || !Seek(0)) return 0;
  std::int64_t lines = 0;
  char last = '\n';
  std::int64_t n;
  for (std::int64_t at = 0; (n = file_.ReadAt(at, buf_.get(), kBufferSize)) > 0; at += n) {
    const char* p = buf_.get();
    const char* e = p + n;
    while (const void* nl = std::memchr(p, '\n', static_cast<std::size_t>(e - p))) {
      ++lines;
      p = static_cast<const char*>(nl) + 1;
    }
    last = e[-1];
  }
  if (last != '\n') ++lines;  // the last line, without a newline
  Seek(0);
  return lines;
}

std::int64_t NavTextFile::EstimateLines(char first) {
  if (!IsOpen() || buf_offset_ != 0 || begin_ != 0) return 0;
  if (end_ == 0) Fill();
  const auto window = static_cast<std::int64_t>(end_);
  if (window == 0) return 0;  // nothing could be read: nothing to scale
  const bool whole_file = window >= size_;
  std::int64_t lines = 0;
  const char* p = buf_.get();
  const char* e = p + end_;
  while (p < e) {
    const void* nl = std::memchr(p, '\n', static_cast<std::size_t>(e - p));
    if (nl == nullptr && !whole_file) break;  // cut by the window's end
    if (first == '\0' || *p == first) ++lines;
    if (nl == nullptr) break;
    p = static_cast<const char*>(nl) + 1;
  }
  return whole_file ? lines : lines * size_ / window + 1;
}

NavTextFile::~NavTextFile() = default;

bool NavTextFile::Fill() {
  if (eof_ || !IsOpen()) return false;
  if (begin_ > 0) {
    std::memmove(buf_.get(), buf_.get() + begin_, end_ - begin_);
    buf_offset_ += static_cast<std::int64_t>(begin_);
    end_ -= begin_;
    begin_ = 0;
  }
  if (end_ == kBufferSize) return false;
  const std::int64_t n =
      file_.ReadAt(buf_offset_ + static_cast<std::int64_t>(end_), buf_.get() + end_, kBufferSize - end_);
  if (n <= 0) {
    eof_ = true;
    return false;
  }
  end_ += static_cast<std::size_t>(n);
  return true;
}

void NavTextFile::TakeLine(std::size_t len, std::size_t consumed, std::string_view& line, std::int64_t& offset,
                           bool& too_long) {
  const char* start = buf_.get() + begin_;
  offset = buf_offset_ + static_cast<std::int64_t>(begin_);
  begin_ += consumed;
  ++line_;
  if (len > 0 && start[len - 1] == '\r') --len;
  if (len > kMaxLineLength) {
    too_long = true;
  } else {
    line = std::string_view(start, len);
  }
}

bool NavTextFile::Next(std::string_view& line, std::int64_t& offset, bool& too_long) {
  too_long = false;
  line = {};
  if (!IsOpen()) return false;
  for (;;) {
    const char* start = buf_.get() + begin_;
    std::size_t avail = end_ - begin_;
    const void* nl = avail > 0 ? std::memchr(start, '\n', avail) : nullptr;
    if (nl != nullptr) {
      const std::size_t len = static_cast<std::size_t>(static_cast<const char*>(nl) - start);
      TakeLine(len, len + 1, line, offset, too_long);
      return true;
    }
    if (avail > kMaxLineLength + 1) {
      // An over-long line: skip to its end without keeping it.
      offset = buf_offset_ + static_cast<std::int64_t>(begin_);
      ++line_;
      for (;;) {
        begin_ = end_;
        if (!Fill()) {
          too_long = true;
          return true;
        }
        const void* p = std::memchr(buf_.get() + begin_, '\n', end_ - begin_);
        if (p != nullptr) {
          begin_ = static_cast<std::size_t>(static_cast<const char*>(p) - buf_.get()) + 1;
          too_long = true;
          return true;
        }
      }
    }
    if (!Fill()) {
      if (end_ == begin_) return false;
      TakeLine(end_ - begin_, end_ - begin_, line, offset, too_long);  // the last line, without a newline
      return true;
    }
  }
}

bool NavTextFile::Seek(std::int64_t offset, std::int64_t line) {
  if (!IsOpen() || offset < 0) return false;
  begin_ = end_ = 0;
  buf_offset_ = offset;
  eof_ = false;
  line_ = line - 1;
  return true;
}

int Tokenize(std::string_view line, std::string_view* tokens, int max) {
  int n = 0;
  std::size_t i = 0;
  const std::size_t size = line.size();
  while (i < size && n < max) {
    while (i < size && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) ++i;
    if (i >= size) break;
    std::size_t j = i;
    while (j < size && line[j] != ' ' && line[j] != '\t' && line[j] != '\r') ++j;
    tokens[n++] = line.substr(i, j - i);
    i = j;
  }
  return n;
}

std::string_view RestOfLine(std::string_view line, std::string_view from) {
  if (from.data() < line.data() || from.data() > line.data() + line.size()) return {};
  std::size_t pos = static_cast<std::size_t>(from.data() - line.data());
  return util::Trim(line.substr(pos));
}

bool IsCommentOrBlank(std::string_view line) {
  for (char c : line) {
    if (c == ' ' || c == '\t' || c == '\r') continue;
    return c == ';';
  }
  return true;
}

namespace {

bool IsControlByte(char c) {
  const auto u = static_cast<unsigned char>(c);
  return u < 0x20 || u == 0x7F;
}

constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                   1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// Reads the digits at b (up to e) into `digits`, four at a time while four
// are there; returns where the digits end.
const char* ReadDigits(const char* b, const char* e, std::uint64_t& digits) {
  while (e - b >= 4) {
    const auto byte = [&](int i) { return static_cast<std::uint32_t>(static_cast<unsigned char>(b[i])); };
    std::uint32_t v = byte(0) | byte(1) << 8 | byte(2) << 16 | byte(3) << 24;
    v ^= 0x30303030u;  // '0'..'9' become 0..9, every other byte has a bit above them
    if ((v & 0xF0F0F0F0u) != 0 || ((v + 0x06060606u) & 0xF0F0F0F0u) != 0) break;
    // Bytes in memory order d0 d1 d2 d3: pair them, then join the pairs.
    const std::uint32_t pairs = v * 10 + (v >> 8);  // byte 0: d0 d1, byte 2: d2 d3
    digits = digits * 10000 + (pairs & 0xFF) * 100 + ((pairs >> 16) & 0xFF);
    b += 4;
  }
  while (b < e && static_cast<unsigned>(*b - '0') < 10u) digits = digits * 10 + static_cast<std::uint64_t>(*b++ - '0');
  return b;
}

// The plain decimals the files are made of ("-122.30819"), without the
// general conversion: the digits as an integer over a power of ten. Both are
// exact doubles when the digits stay within 2^53 and the power within 10^22,
// so the one division rounds exactly as the full conversion does. Reads up
// to the first byte that cannot go on with the number and returns its
// place; nullptr when what was read is no such decimal (which then takes
// the full conversion).
const char* ReadPlainDecimal(const char* b, const char* e, double& out) {
  const bool negative = b < e && *b == '-';
  if (negative) ++b;
  // Past 19 digits the integer wraps; such a field is refused below anyway.
  std::uint64_t digits = 0;
  const char* start = b;
  b = ReadDigits(b, e, digits);
  std::ptrdiff_t count = b - start, decimals = 0;
  if (b < e && *b == '.') {
    const char* fraction = ++b;
    b = ReadDigits(b, e, digits);
    decimals = b - fraction;
    count += decimals;
  }
  if (count == 0 || count > 19 || digits > (std::uint64_t{1} << 53) || decimals > 22) return nullptr;
  const double v = static_cast<double>(digits) / kPowersOfTen[decimals];
  out = negative ? -v : v;
  return b;
}

bool ParsePlainDecimal(const char* b, const char* e, double& out) {
  double v;
  if (ReadPlainDecimal(b, e, v) != e) return false;
  out = v;
  return true;
}

// The whole field as one number, a leading '+' allowed.
template <typename T>
bool ParseWholeField(std::string_view s, T& out) {
  if (s.empty()) return false;
  const char* b = s.data();
  const char* e = b + s.size();
  if (*b == '+') ++b;
  if constexpr (std::is_same_v<T, double>) {
    if (ParsePlainDecimal(b, e, out)) return true;
  }
  T v{};
  auto [p, ec] = std::from_chars(b, e, v);
  if (ec != std::errc() || p != e) return false;
  out = v;
  return true;
}

}  // namespace

bool ParseNumber(std::string_view s, double& out) {
  double v;
  if (!ParseWholeField(s, v) || !std::isfinite(v)) return false;
  out = v;
  return true;
}

bool ParseLatitude(std::string_view s, double& out) {
  double v;
  if (!ParseNumber(s, v) || v < -90.0 || v > 90.0) return false;
  out = v;
  return true;
}

bool ParseLongitude(std::string_view s, double& out) {
  double v;
  if (!ParseNumber(s, v) || v < -180.0 || v > 180.0) return false;
  out = v;
  return true;
}

bool ParseInteger(std::string_view s, int& out) { return ParseWholeField(s, out); }

bool IsValidIdent(std::string_view s) {
  if (s.empty() || s.size() > kMaxIdentLength || s[0] == ';') return false;
  for (unsigned char c : s) {
    if (c <= 0x20 || c >= 0x7F) return false;
  }
  return true;
}

std::string CleanName(std::string_view s) {
  char buffer[kMaxNameLength];
  return std::string(CleanName(s, buffer));
}

std::string_view CleanName(std::string_view s, char (&buffer)[kMaxNameLength]) {
  if (s.size() > kMaxNameLength) s = s.substr(0, kMaxNameLength);
  std::size_t i = 0;
  while (i < s.size() && !IsControlByte(s[i])) ++i;
  if (i == s.size()) return s;
  std::memcpy(buffer, s.data(), s.size());
  for (; i < s.size(); ++i)
    if (IsControlByte(buffer[i])) buffer[i] = '?';
  return std::string_view(buffer, s.size());
}

std::string_view FieldReader::TakeField(const char* start) {
  p_ = FieldEnd(start);
  return std::string_view(start, static_cast<std::size_t>(p_ - start));
}

bool FieldReader::Number(double& out, std::string_view* text) {
  SkipBlanks();
  const char* const start = p_;
  const char* b = p_;
  if (b != end_ && *b == '+') ++b;
  double v;
  const char* stop = ReadPlainDecimal(b, end_, v);
  if (stop != nullptr && (stop == end_ || IsBlank(*stop))) {
    p_ = stop;
    if (text != nullptr) *text = std::string_view(start, static_cast<std::size_t>(stop - start));
    out = v;
    return true;
  }
  const std::string_view field = TakeField(start);
  if (text != nullptr) *text = field;
  return ParseNumber(field, out);
}

bool FieldReader::Integer(int& out, std::string_view* text) {
  SkipBlanks();
  const char* const start = p_;
  const char* b = p_;
  if (b != end_ && *b == '+') ++b;
  const bool negative = b != end_ && *b == '-';
  if (negative) ++b;
  // Nine digits cannot overflow; longer numbers take the full conversion.
  const char* digits = b;
  int v = 0;
  while (b != end_ && static_cast<unsigned>(*b - '0') < 10u && b - digits < 9) v = v * 10 + (*b++ - '0');
  if (b != digits && (b == end_ || IsBlank(*b))) {
    p_ = b;
    if (text != nullptr) *text = std::string_view(start, static_cast<std::size_t>(b - start));
    out = negative ? -v : v;
    return true;
  }
  const std::string_view field = TakeField(start);
  if (text != nullptr) *text = field;
  return ParseInteger(field, out);
}

std::string_view FieldReader::Rest() {
  SkipBlanks();
  return util::Trim(std::string_view(p_, static_cast<std::size_t>(end_ - p_)));
}

void ReportUnreadOnce(const NavTextFile& file, const char* name, bool user_file, unsigned bit, unsigned& reported) {
  const bool missing = file.problem().missing();
  if (missing && user_file) return;
  if (!missing && user_file) bit <<= 8;
  if ((reported & bit) != 0) return;
  reported |= bit;
  if (missing) model::AddStatusMessage(util::Format("%s not found", name));
  else model::AddStatusMessage(util::Format("%s: %s, not read", name, file.problem().text.c_str()));
}

void ReportEmptyOnce(const char* name, bool user_file, unsigned bit, unsigned& reported) {
  if (user_file || (reported & bit) != 0) return;
  reported |= bit;
  model::AddStatusMessage(util::Format("%s holds no data line", name));
}

}  // namespace ovi::navdb
