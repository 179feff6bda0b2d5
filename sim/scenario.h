// Scenario files: a reproducible flight as a list of timed actions (see
// docs/scenario.md).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ovi::sim {

constexpr double kMaxScenarioSeconds = 86400.0;

enum class ActionKind {
  kAt,        // run until `seconds`
  kRun,       // run for `seconds`
  kSet,       // aircraft field `name` = `text`
  kToken,     // pin token `id` to `number`
  kText,      // pin text token `id` to `text`
  kVar,       // named variable `name` = `number`
  kKey,       // key event `id` with `value`
  kClick,     // click gauge `name` (occurrence `occurrence`) at x, y
  kShow,      // window `ident`
  kHide,
  kToggle,
  kSnapshot,  // label in `text` (may be empty)
  kTraffic,       // traffic target: `number` relative altitude, `x` range, `y` bearing, `text` trend + threat
  kTrafficClear,  // no traffic
  kGpsWpt,        // GPS route point `name` at `x`, `y`, altitude `number`
  kGpsClear,      // no GPS route
  kAiRunways,     // runways in use at airport `name`: departures `text`, arrivals `text2`
  kPress,         // press the named `keys` of gauge `name` (occurrence `occurrence`), a frame after each
  kType,          // type `text` on the PC keyboard, each character down for a frame and up for a frame
  kKeypress,      // PC key `name` with the modifiers in `keys`, held `seconds` (at least a frame)
  kExpectText,    // gauge `name` (occurrence `occurrence`) shows `text` in its last frame
};

// Frames each keyboard or key action takes (18 a simulated second).
constexpr int kTicksPerTypedCharacter = 2;
constexpr int kMaxTypedCharacters = 64;
constexpr int kMaxPressedKeys = 64;

struct Action {
  ActionKind kind = ActionKind::kRun;
  int line = 0;
  double seconds = 0.0;  // at, run; click hold time
  std::string name;      // field, variable or gauge name
  std::string text;      // field value, text token, snapshot label
  std::string text2;
  std::uint32_t id = 0;  // token, key event
  std::uint32_t value = 0;
  double number = 0.0;
  int occurrence = 1;  // NAME#N
  double x = 0.0, y = 0.0;
  std::uint32_t flags = 0;
  std::uint32_t ident = 0;
  std::vector<std::string> keys;  // press: key names; keypress: modifiers
  int ticks = 0;                  // frames a press, type or keypress takes
};

struct Scenario {
  std::string path;
  std::vector<Action> actions;
  double duration = 0.0;  // simulated seconds the scenario covers
};

// Parses a scenario; false with "FILE:LINE: what" at the first bad line.
bool ParseScenario(const std::string& text, const std::string& path, Scenario& out, std::string& error);
bool LoadScenario(const std::string& path, Scenario& out, std::string& error);

// Commands that describe the world rather than act in it: those at the head
// of a scenario take effect before the panel is installed.
bool DescribesWorld(ActionKind kind);

// "09L,27R" or "-" (none): up to two runways as number and designator-code
// bytes; false for anything else.
bool ParseRunwayList(const std::string& text, std::uint8_t (&bytes)[4]);

}  // namespace ovi::sim
