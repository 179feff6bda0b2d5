#include "src/util/text.h"

#include <cctype>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdarg>
#include <cstdlib>

namespace ovi::util {

std::string Format(const char* fmt, ...) {
  char small[256];
  va_list ap;
  va_start(ap, fmt);
  va_list ap2;
  va_copy(ap2, ap);
  int n = std::vsnprintf(small, sizeof small, fmt, ap);
  va_end(ap);
  std::string out;
  if (n < 0) {
    va_end(ap2);
    return out;
  }
  if (static_cast<std::size_t>(n) < sizeof small) {
    out.assign(small, static_cast<std::size_t>(n));
  } else {
    out.resize(static_cast<std::size_t>(n) + 1);
    std::vsnprintf(out.data(), out.size(), fmt, ap2);
    out.resize(static_cast<std::size_t>(n));
  }
  va_end(ap2);
  return out;
}

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i])))
      return false;
  }
  return true;
}

std::string ToUpper(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

std::string_view Trim(std::string_view s) {
  std::size_t b = 0, e = s.size();
  while (b < e && std::isspace(static_cast<unsigned char>(s[b]))) ++b;
  while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1]))) --e;
  return s.substr(b, e - b);
}

std::vector<std::string_view> SplitBlanks(std::string_view line) {
  std::vector<std::string_view> out;
  std::size_t i = 0;
  auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (i < line.size()) {
    while (i < line.size() && blank(line[i])) ++i;
    std::size_t j = i;
    while (j < line.size() && !blank(line[j])) ++j;
    if (j > i) out.push_back(line.substr(i, j - i));
    i = j;
  }
  return out;
}

bool ReadLine(std::FILE* f, std::string& line) {
  line.clear();
  if (f == nullptr) return false;
  int c;
  bool any = false;
  while ((c = std::fgetc(f)) != EOF) {
    any = true;
    if (c == '\n') break;
    line.push_back(static_cast<char>(c));
  }
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return any;
}

bool ParseDouble(std::string_view s, double& out) {
  s = Trim(s);
  if (s.empty() || s.find_first_not_of("+-0123456789.eE") != std::string_view::npos) return false;
  std::string tmp(s);  // strtod needs a terminator
  char* end = nullptr;
  errno = 0;
  double v = std::strtod(tmp.c_str(), &end);
  if (end != tmp.c_str() + tmp.size() || !std::isfinite(v)) return false;
  out = v;
  return true;
}

bool ParseInt(std::string_view s, int& out) {
  s = Trim(s);
  if (!s.empty() && s.front() == '+') s.remove_prefix(1);
  if (s.empty()) return false;
  int v = 0;
  auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (ec != std::errc() || p != s.data() + s.size()) return false;
  out = v;
  return true;
}

std::string_view NotPlainText(std::string_view head) {
  head = head.substr(0, kPlainTextProbe);
  if (head.size() >= 2 && ((head[0] == '\xFF' && head[1] == '\xFE') || (head[0] == '\xFE' && head[1] == '\xFF')))
    return "UTF-16";
  // Without its mark, UTF-16 shows as NUL bytes all on one side of each
  // pair (the high bytes of Latin letters); any other NUL is no text.
  std::size_t nul[2] = {0, 0}, control = 0;
  for (std::size_t i = 0; i < head.size(); ++i) {
    const auto c = static_cast<unsigned char>(head[i]);
    if (c == 0) ++nul[i % 2];
    else if (c < 0x20 && c != '\t' && c != '\n' && c != '\r' && c != '\f') ++control;
  }
  if (nul[0] + nul[1] > 0) {
    const bool one_side = nul[0] == 0 || nul[1] == 0;
    return one_side && 4 * (nul[0] + nul[1]) >= head.size() ? "UTF-16" : "binary data";
  }
  // A stray control byte in a text file is the line's problem; many of them
  // are a file that is no text.
  return 32 * control > head.size() ? "binary data" : "";
}

std::size_t Utf8MarkLength(std::string_view text) { return text.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0; }

std::string_view NotPlainTextFile(std::FILE* f) {
  char head[kPlainTextProbe];
  if (f == nullptr || std::fseek(f, 0, SEEK_SET) != 0) return {};
  const std::size_t n = std::fread(head, 1, sizeof head, f);
  const std::string_view view(head, n);
  const std::string_view why = NotPlainText(view);
  std::fseek(f, static_cast<long>(why.empty() ? Utf8MarkLength(view) : 0), SEEK_SET);
  return why;
}

}  // namespace ovi::util
