#include "sim/text_file.h"

#include <sys/stat.h>

#include <cstdio>

#include "sim/panel_cfg.h"
#include "src/util/text.h"

namespace ovi::sim {

bool ReadTextFile(const std::string& path, std::string& text, std::string& error) {
  constexpr long kMaxFile = 64L * 1024 * 1024;
  text.clear();
  if (path.empty() || path.size() >= kMaxSimPath || path.find('\0') != std::string::npos) {
    error = (path.size() >= kMaxSimPath ? path.substr(0, 64) + "...: path too long, no such file"
                                        : path + ": no such file");
    return false;
  }
  struct stat st{};
  if (::stat(path.c_str(), &st) != 0) {
    error = path + ": no such file";
    return false;
  }
  // Say what stands there: "no such file" for a folder sends the user
  // looking for a file that is not missing.
  if (!S_ISREG(st.st_mode)) {
    error = path + (S_ISDIR(st.st_mode)    ? ": a folder, not a file"
                    : S_ISFIFO(st.st_mode) ? ": a named pipe (FIFO), not a file"
                                           : ": not a regular file");
    return false;
  }
  if (st.st_size > kMaxFile) {
    error = path + ": file too large";
    return false;
  }
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (f == nullptr) {
    error = path + ": cannot open file";
    return false;
  }
  char buf[65536];
  std::size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) {
    text.append(buf, n);
    if (static_cast<long>(text.size()) > kMaxFile) break;
  }
  bool failed = std::ferror(f) != 0;
  std::fclose(f);
  if (failed) {
    error = path + ": read error";
    return false;
  }
  if (const std::string_view why = util::NotPlainText(text); !why.empty()) {
    error = path + ": not plain text (" + std::string(why) + "); save it as plain text (ASCII or UTF-8)";
    return false;
  }
  text.erase(0, util::Utf8MarkLength(text));
  return true;
}

}  // namespace ovi::sim
