#include "src/model/config.h"

#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <iterator>
#include <memory>
#include <variant>
#include <vector>

#include "platform/os/os.h"
#include "src/host/state.h"
#include "src/model/bad_lines.h"
#include "src/model/performance.h"
#include "src/util/text.h"

namespace ovi::model {
namespace {

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// Keys and values from a file can be of any length; status texts show a
// bounded part of them.
std::string Shown(std::string_view s) {
  constexpr std::size_t kShown = 40;
  std::string out(s.substr(0, kShown));
  for (char& c : out) {
    if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x7F) c = '?';
  }
  if (s.size() > kShown) out += "...";
  return out;
}

void Report(std::string_view file, std::string_view key, const char* problem) {
  AddStatusMessage(util::Format("%s: '%s' %s", Shown(file).c_str(), Shown(key).c_str(), problem));
}

// A line's fault, counted into the file's one report of its bad lines.
void Report(BadLineReport& bad, std::string_view key, const char* problem) {
  bad.Count(util::Format("'%s' %s", Shown(key).c_str(), problem));
}

bool IsComment(std::string_view line) {
  line = util::Trim(line);
  return line.empty() || line.front() == ';';
}

// Accepts any finite number inside the 32-bit range, truncated toward zero.
bool ParseInt32(std::string_view s, int& out) {
  double v = 0;
  if (!util::ParseDouble(s, v)) return false;
  if (v < static_cast<double>(INT_MIN) || v > static_cast<double>(INT_MAX)) return false;
  out = static_cast<int>(std::trunc(v));
  return true;
}

// A file name taken from a panel parameter or an aircraft file must stay
// inside its folder.
bool IsPlainFileName(std::string_view name) {
  if (name.empty() || name.find("..") != std::string_view::npos) return false;
  for (char c : name) {
    if (c == '\\' || c == '/' || c == ':' || c == '\0') return false;
  }
  return true;
}

// A file an editor saved as UTF-16, or one that is no text, is refused
// whole with one status text; its lines would each be garbled.
bool IsPlainText(std::FILE* f, std::string_view label, const char* consequence) {
  const std::string_view why = util::NotPlainTextFile(f);
  if (why.empty()) return true;
  AddStatusMessage(
      util::Format("%s: not plain text (%s), %s", Shown(label).c_str(), std::string(why).c_str(), consequence));
  return false;
}

// The aircraft limits that come as a pair. A minimum above its maximum is
// no aircraft's; the two may meet.
struct LimitPair {
  double State::*low;
  double State::*high;
  const char* names[2];  // low, high: the keys' names
};
constexpr LimitPair kLimitPairs[] = {
    {&State::ClimbIasMin, &State::ClimbIasMax, {"ClimbIasMin", "ClimbIasMax"}},
    {&State::CruiseIasMin, &State::CruiseIasMax, {"CruiseIasMin", "CruiseIasMax"}},
    {&State::DescentIasMin, &State::DescentIasMax, {"DescentIasMin", "DescentIasMax"}},
    {&State::MinVnavClimbRate, &State::MaxVnavClimbRate, {"MinVnavClimbRate", "MaxVnavClimbRate"}},
    {&State::MinVnavDescRate, &State::MaxVnavDescRate, {"MinVnavDescRate", "MaxVnavDescRate"}},
};

// Where the aircraft file set the paired limits, so that a pair it
// crossed is mended as an out-of-range value is: the line that crossed it
// is not taken and the value from before it stays.
class LimitPairCheck {
 public:
  // `key` was taken on line `line`; `before` is the value it replaced,
  // `told` whether the line was already counted bad.
  void Taken(const ConfigKey& key, double before, std::int64_t line, bool told) {
    const auto* member = std::get_if<double State::*>(&key.target);
    if (member == nullptr) return;
    for (std::size_t i = 0; i < std::size(kLimitPairs); ++i) {
      for (int side = 0; side < 2; ++side) {
        if (*member != (side == 0 ? kLimitPairs[i].low : kLimitPairs[i].high)) continue;
        settings_[i][side].push_back({line, before, told});
      }
    }
  }

  // Each crossed pair loses the value the file gave on the last of its
  // lines; while still crossed, the one before (a key given twice goes
  // back to its earlier value first). At worst the pair stands as it did
  // before the file.
  void Mend(BadLineReport& bad) {
    State& s = model_state;
    for (std::size_t i = 0; i < std::size(kLimitPairs); ++i) {
      const LimitPair& pair = kLimitPairs[i];
      std::vector<Setting>* sides = settings_[i];
      while (s.*pair.low > s.*pair.high) {
        auto last_line = [&](int side) { return sides[side].empty() ? 0 : sides[side].back().line; };
        const int side = last_line(0) > last_line(1) ? 0 : 1;
        if (sides[side].empty()) break;  // neither was the file's
        const Setting set = sides[side].back();
        sides[side].pop_back();
        (side == 0 ? s.*pair.low : s.*pair.high) = set.before;
        if (!set.told) {
          bad.At(set.line);
          bad.Count(util::Format("'%s' value %s %s (%.10g), not taken", pair.names[side],
                                 side == 0 ? "above" : "below", pair.names[1 - side],
                                 side == 0 ? s.*pair.high : s.*pair.low));
        }
      }
    }
  }

 private:
  struct Setting {
    std::int64_t line = 0;
    double before = 0.0;
    bool told = false;
  };
  // Per pair, low and high: the lines that set them, in the file's order.
  std::vector<Setting> settings_[std::size(kLimitPairs)][2];
};

std::string AircraftFileLabel() {
  return "Aircraft\\" + model_state.AircraftConfigName + ".cfg";
}

}  // namespace

bool ApplyConfigValue(const ConfigKey& key, std::string_view value, BadLineReport& bad) {
  State& s = model_state;
  if (auto* text = std::get_if<std::string State::*>(&key.target)) {
    if (value.size() > kMaxTextValue) {
      Report(bad, key.name, "value too long, not taken");
      return false;
    }
    s.*(*text) = std::string(value);
    return true;
  }

  double v = 0;
  bool is_int = std::holds_alternative<int State::*>(key.target);
  if (is_int) {
    int iv = 0;
    if (!ParseInt32(value, iv)) {
      Report(bad, key.name, "value is not a number, not taken");
      return false;
    }
    v = iv;
  } else if (!util::ParseDouble(value, v)) {
    Report(bad, key.name, "value is not a number, not taken");
    return false;
  }

  // The range a value broke, for its message.
  const std::string range = util::Format("(%.10g to %.10g)", key.min, key.max);
  switch (key.check) {
    case KeyCheck::kNone:
      break;
    case KeyCheck::kClamp:
      if (v < key.min || v > key.max) {
        Report(bad, key.name, ("value out of range " + range + ", brought into range").c_str());
        v = v < key.min ? key.min : key.max;
      }
      break;
    case KeyCheck::kDefault:
      if (v < key.min || v > key.max) {
        Report(bad, key.name, ("value out of range " + range + ", not taken").c_str());
        return false;
      }
      break;
    case KeyCheck::kColor:
      if (v < 0 || v > 255) Report(bad, key.name, "colour out of 0..255, low 8 bits used");
      v = static_cast<int>(v) & 0xFF;
      break;
    case KeyCheck::kMd11Mode:
      if (v < key.min || v > key.max) {
        Report(bad, key.name, ("mode out of range " + range + ", set to 1").c_str());
        v = 1;
      }
      break;
  }

  if (is_int) {
    s.*std::get<int State::*>(key.target) = static_cast<int>(v);
  } else {
    s.*std::get<double State::*>(key.target) = v;
  }
  return true;
}

std::FILE* OpenSettingsFile(const std::string& windows_path, const std::string& label, const char* consequence) {
  os::FileProblem problem;
  std::FILE* f = os::OpenFileForReading(windows_path, kMaxSettingsFileBytes, &problem);
  if (f != nullptr) return f;
  if (problem.missing()) AddStatusMessage(util::Format("%s not found, %s", label.c_str(), consequence));
  else AddStatusMessage(util::Format("%s: %s, %s", label.c_str(), problem.text.c_str(), consequence));
  return nullptr;
}

void LoadConfiguration() {
  State& s = model_state;
  const char* label = "ovi.cfg";
  File f(OpenSettingsFile(host::DataPath("\\ovi\\ovi.cfg"), label, "defaults kept"));
  if (f && IsPlainText(f.get(), label, "defaults kept")) {
    BadLineReport bad(label);
    std::string line;
    for (int number = 1; util::ReadLine(f.get(), line); ++number) {
      bad.At(number);
      if (IsComment(line)) continue;
      std::size_t eq = line.find('=');
      std::string_view view(line);
      if (eq == std::string::npos) {
        Report(bad, util::Trim(view), "has no '=', line ignored");
        continue;
      }
      std::string_view key = util::Trim(view.substr(0, eq));
      std::string_view value = util::Trim(view.substr(eq + 1));
      const ConfigKey* k = FindConfigKey(key, KeyFile::kModule);
      if (k == nullptr) continue;  // keys of other versions and aircraft keys
      ApplyConfigValue(*k, value, bad);
    }
    bad.Post("");
  }
  s.ConfigLoaded = 1;
}

void ReadNavDataCycle() {
  State& s = model_state;
  s.NavDataCycleText.clear();
  s.NavDataActiveDates.clear();
  // The navigation loader says why a navs.txt it cannot read is not read.
  File f(os::OpenFileForReading(host::DataPath("\\ovi\\navdata\\navs.txt"), kMaxNavDataFileBytes));
  if (!f) return;
  std::string line;
  while (util::ReadLine(f.get(), line)) {
    std::string_view t = util::Trim(line);
    if (t.size() < 6 || !util::EqualsIgnoreCase(t.substr(0, 6), ";AIRAC")) continue;
    auto tokens = util::SplitBlanks(t);
    std::string text = "AIRAC";
    for (std::size_t i = 1; i < tokens.size() && text.size() < kMaxTextValue; ++i) {
      text += ' ';
      text += tokens[i];
    }
    if (text.size() > kMaxTextValue) text.resize(kMaxTextValue);
    s.NavDataCycleText = text;
    if (tokens.size() < 3) {
      AddStatusMessage("navs.txt: ';AIRAC' line lacks its two dates");
      return;
    }
    // 1-based inclusive character ranges; a short token gives what it has.
    auto part = [](std::string_view tok, std::size_t from, std::size_t to) {
      if (tok.size() < from) return std::string_view{};
      return tok.substr(from - 1, to - from + 1);
    };
    std::string_view first = tokens[1], second = tokens[2];
    std::string dates;
    dates += part(second, 5, 7);
    dates += part(second, 2, 3);
    dates += part(first, 4, 6);
    dates += part(first, 1, 2);
    dates += '/';
    dates += part(first, 10, 11);
    s.NavDataActiveDates = dates;
    return;
  }
}

void LoadAircraftConfig() {
  State& s = model_state;
  if (s.AircraftConfigName.empty()) return;
  const std::string label = AircraftFileLabel();
  File f;
  if (!IsPlainFileName(s.AircraftConfigName)) {
    Report(label, s.AircraftConfigName, "is not a plain file name, not read");
  } else {
    f.reset(OpenSettingsFile(host::DataPath("\\ovi\\Aircraft\\") + s.AircraftConfigName + ".cfg", Shown(label),
                             "defaults kept"));
  }
  if (f && IsPlainText(f.get(), label, "defaults kept")) {
    int keys = 0;
    BadLineReport bad(Shown(label));
    LimitPairCheck pairs;
    std::string line;
    for (int number = 1; util::ReadLine(f.get(), line); ++number) {
      bad.At(number);
      const int bad_before = bad.count();
      if (IsComment(line)) continue;
      auto tokens = util::SplitBlanks(line);
      if (tokens.empty()) continue;
      const ConfigKey* k = FindConfigKey(tokens[0], KeyFile::kAircraft);
      if (k == nullptr) continue;
      ++keys;
      if (tokens.size() < 2) {
        Report(bad, tokens[0], "has no value, not taken");
        continue;
      }
      if (tokens.size() > 2) Report(bad, tokens[0], "has text after its value, ignored");
      std::string value(tokens[1]);
      for (char& c : value) {
        if (c == '*') c = ' ';
      }
      const auto* member = std::get_if<double State::*>(&k->target);
      const double before = member != nullptr ? s.*(*member) : 0.0;
      if (ApplyConfigValue(*k, value, bad)) pairs.Taken(*k, before, number, bad.count() != bad_before);
    }
    pairs.Mend(bad);
    bad.Post("");
    // A file of another kind put in by mistake would otherwise leave every
    // default without a word.
    if (keys == 0) AddStatusMessage(util::Format("%s: no known key, defaults kept", Shown(label).c_str()));
  }
  f.reset();

  s.LoadedSpeedSchedule = {s.DescentSpeed, s.ClimbIas, s.CruiseSpeed};
  const double limits[6] = {s.ClimbIasMin,  s.ClimbIasMax,   s.CruiseIasMin,
                            s.CruiseIasMax, s.DescentIasMin, s.DescentIasMax};
  for (int i = 0; i < 6; ++i) s.MinSpeedTable[static_cast<std::size_t>(i)] = IasToMach(limits[i], 15000.0);

  ReadNavDataCycle();

  // The parking file is read when a route's destination is loaded; one
  // that names another folder is never read, which is said now, as for the
  // performance file.
  if (!s.ParkingFile.empty() && !IsPlainFileName(s.ParkingFile))
    Report(label, "ParkingFile", "is not a plain file name, not read");

  ClearPerformanceData();
  if (!s.PerformanceFile.empty()) {
    if (!IsPlainFileName(s.PerformanceFile)) {
      Report(label, "PerformanceFile", "is not a plain file name, not read");
    } else {
      LoadPerformanceData(s.PerformanceFile);
    }
  }
}

}  // namespace ovi::model
