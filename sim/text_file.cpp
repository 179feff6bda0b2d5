#include "sim/text_file.h"

#include "platform/os/files.h"
#include "sim/panel_cfg.h"
#include "src/util/text.h"

namespace ovi::sim {

bool ReadTextFile(const std::string& path, std::string& text, std::string& error) {
  constexpr std::int64_t kMaxFile = std::int64_t{64} << 20;
  text.clear();
  if (path.empty() || path.size() >= kMaxSimPath || path.find('\0') != std::string::npos) {
    error = (path.size() >= kMaxSimPath ? path.substr(0, 64) + "...: path too long, no such file"
                                        : path + ": no such file");
    return false;
  }
  os::FileProblem problem;
  if (!os::ReadRegularFile(path, kMaxFile, text, &problem)) {
    error = path + ": " + problem.text;
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
