// The module configuration file (\ovi\ovi.cfg) and the per-aircraft file
// (\ovi\Aircraft\<name>.cfg): one table of keys drives both readers.
#pragma once

#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <string_view>
#include <variant>

#include "src/model/bad_lines.h"
#include "src/model/state.h"

namespace ovi::model {

// Which file may set a key. Options of the module file may also be given in
// the aircraft file, whose value then overrides the module's.
enum class KeyFile : unsigned char { kModule = 1, kAircraft = 2, kBoth = 3 };

// How a value outside its range is treated.
enum class KeyCheck : unsigned char {
  kNone,
  kClamp,     // brought into [min, max]
  kDefault,   // outside [min, max]: the value is refused, the previous one stays
  kColor,     // colour component: only the low 8 bits are kept
  kMd11Mode,  // outside [min, max]: becomes 1
};

using KeyTarget = std::variant<int State::*, double State::*, std::string State::*>;

struct ConfigKey {
  const char* name;
  KeyFile file;
  KeyTarget target;
  const char* default_text;  // as the sample file and the documentation show it
  KeyCheck check;
  double min;
  double max;
  const char* meaning;  // one line, for the sample file
};

// A configured colour as the displays paint it: opaque ARGB, each component
// through its low 8 bits.
constexpr std::uint32_t ColorFromComponents(int red, int green, int blue) {
  auto low8 = [](int c) { return static_cast<std::uint32_t>(c) & 0xFFu; };
  return 0xFF000000u + (low8(red) << 16) + (low8(green) << 8) + low8(blue);
}

// Longest text value kept (a path fits); longer values are refused.
constexpr std::size_t kMaxTextValue = 259;

// Opens a settings file for reading; null, with "<label> not found,
// <consequence>" or "<label>: <why>, <consequence>" in the status log, when
// it is missing or refused (not a regular file, larger than
// kMaxSettingsFileBytes).
std::FILE* OpenSettingsFile(const std::string& windows_path, const std::string& label, const char* consequence);

std::span<const ConfigKey> ConfigKeys();

// The key of that name (case-insensitive) that the given file may set.
const ConfigKey* FindConfigKey(std::string_view name, KeyFile file);

// Reads SimulatorFolder\ovi\ovi.cfg ("key = value" lines) into the option
// globals; sets ConfigLoaded to 1, also when the file is missing.
void LoadConfiguration();

// Reads SimulatorFolder\ovi\Aircraft\<AircraftConfigName>.cfg ("key value"
// lines, '*' for a blank inside a value), then: the loaded speed schedule,
// MinSpeedTable, the navigation-data cycle texts, and the performance file
// the aircraft file names.
void LoadAircraftConfig();

// Fills NavDataCycleText and NavDataActiveDates from the ";AIRAC" comment
// line of SimulatorFolder\ovi\navdata\navs.txt (both empty when none).
void ReadNavDataCycle();

// Applies one value to a key as the readers do: a value not taken as
// written is a bad line of the file, counted into `bad` with what is wrong
// with it. False when the value was refused.
bool ApplyConfigValue(const ConfigKey& key, std::string_view value, BadLineReport& bad);

}  // namespace ovi::model
