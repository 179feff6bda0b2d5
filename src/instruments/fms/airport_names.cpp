#include "src/instruments/fms/airport_names.h"

#include <cstdio>
#include <string_view>
#include <vector>

#include "platform/os/os.h"
#include "src/host/state.h"
#include "src/instruments/fms/state.h"
#include "src/model/state.h"
#include "src/util/text.h"

namespace ovi::fms {

namespace {

constexpr std::size_t kLineLimit = 1699;
constexpr std::size_t kWordsRead = 25;
constexpr std::size_t kFirstTagWord = 5;  // 0-based: words 6 to 25

// The next line, cut to kLineLimit characters (the rest of a longer line
// is skipped, never read as a line of its own); false at the end of the file.
bool ReadLimitedLine(std::FILE* f, std::string& line) {
  line.clear();
  int c = std::getc(f);
  if (c == EOF) return false;
  for (; c != EOF && c != '\n'; c = std::getc(f)) {
    if (line.size() < kLineLimit) line.push_back(static_cast<char>(c));
  }
  return true;
}

// The value of a TAG_VALUE word when its tag is `tag`. The first two
// underscores after the word's first character separate tag, value and
// the rest.
bool TaggedValue(std::string_view word, const std::string& tag, std::string& value) {
  std::string copy(word);
  int replaced = 0;
  for (std::size_t i = 1; i < copy.size() && replaced < 2; ++i) {
    if (copy[i] == '_') {
      copy[i] = ' ';
      ++replaced;
    }
  }
  std::vector<std::string_view> parts = util::SplitBlanks(copy);
  if (parts.empty() || parts[0] != tag) return false;
  value.assign(parts.size() > 1 ? parts[1] : std::string_view());
  return true;
}

}  // namespace

void LookupAirportName(const std::string& ident, const std::string& tag) {
  os::FileProblem problem;
  std::FILE* f =
      os::OpenFileForReading(host::DataPath("\\ovi\\navdata\\ovi_apts.txt"), model::kMaxNavDataFileBytes, &problem);
  if (f == nullptr) {
    if (!problem.missing()) model::AddStatusMessage("ovi_apts.txt: " + problem.text + ", not read");
    return;
  }
  bool found = false;
  std::string line;
  std::string value;
  while (ReadLimitedLine(f, line)) {
    std::vector<std::string_view> words = util::SplitBlanks(line);
    if (words.empty() || words[0] != ident) continue;
    if (words.size() > kWordsRead) words.resize(kWordsRead);
    for (std::size_t i = kFirstTagWord; i < words.size(); ++i) {
      if (TaggedValue(words[i], tag, value)) {
        fms_state.SelectedAirportLongName = value;
        found = true;
        break;
      }
    }
  }
  std::fclose(f);
  if (found) {
    model::model_state.FmsScratchpad.clear();
  } else {
    model::model_state.PanelMessage = "NOT FOUND IN DATABASE";
  }
}

}  // namespace ovi::fms
