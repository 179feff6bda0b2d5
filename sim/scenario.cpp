#include "sim/scenario.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>

#include "platform/panel/panel.h"
#include "sim/aircraft.h"
#include "sim/fsuipc_server.h"
#include "sim/key_table.h"
#include "sim/keyboard_keys.h"
#include "sim/simulator.h"
#include "sim/traffic_provider.h"
#include "sim/text_file.h"
#include "src/util/text.h"

namespace ovi::sim {

namespace {

using util::EqualsIgnoreCase;

// Decimal or 0x-hexadecimal, 0..0xFFFFFFFF.
bool ParseU32(std::string_view s, std::uint32_t& out) {
  unsigned long long v = 0;
  int base = 10;
  if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
    s.remove_prefix(2);
    base = 16;
  }
  if (s.empty()) return false;
  auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v, base);
  if (ec != std::errc() || p != s.data() + s.size() || v > 0xFFFFFFFFull) return false;
  out = static_cast<std::uint32_t>(v);
  return true;
}

// A key-event value: an unsigned word or a negative whole number (sent in
// two's complement, as descent rates are).
bool ParseEventValue(std::string_view s, std::uint32_t& out) {
  if (!s.empty() && s[0] == '-') {
    long long v = 0;
    auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || p != s.data() + s.size() || v < -2147483648LL) return false;
    out = static_cast<std::uint32_t>(static_cast<std::int32_t>(v));
    return true;
  }
  return ParseU32(s, out);
}

constexpr const char* kSecondsRule = " (seconds from 0 to 86400)";

bool ParseSeconds(std::string_view s, double& out) {
  double v = 0.0;
  if (!util::ParseDouble(s, v) || v < 0.0 || v > kMaxScenarioSeconds) return false;
  out = v;
  return true;
}

bool ParseIdent(std::string_view s, std::uint32_t& out) {
  if (EqualsIgnoreCase(s, "MAIN_PANEL")) {
    out = 0;
    return true;
  }
  return ParseU32(s, out);
}

bool ValidLabel(std::string_view s) {
  if (s.empty() || s.size() > 64 || s[0] == '.') return false;
  for (unsigned char c : s)
    if (!std::isalnum(c) && c != '_' && c != '-' && c != '.') return false;
  return true;
}

// GAUGE or GAUGE#N (its N-th entry on the panel).
bool ParseGaugeRef(std::string_view ref, Action& a, std::string& what) {
  if (auto hash = ref.find('#'); hash != std::string_view::npos) {
    if (!util::ParseInt(ref.substr(hash + 1), a.occurrence) || a.occurrence < 1 || a.occurrence > 999) {
      what = "bad gauge occurrence in '" + std::string(ref.substr(0, 80)) + "'";
      return false;
    }
    ref = ref.substr(0, hash);
  }
  if (ref.empty() || ref.size() > 64) {
    what = "bad gauge name";
    return false;
  }
  a.name = std::string(ref);
  return true;
}

// The text of `type` and `expect_text`: one quoted field, or the words left
// joined by single blanks.
bool TextArgument(const std::string& raw, std::size_t skip, std::string& text, std::string& what) {
  std::vector<std::string> q;
  if (!SplitQuotedFields(raw, q)) {
    what = "a quote is not closed";
    return false;
  }
  text.clear();
  for (std::size_t i = skip; i < q.size(); ++i) text += (i > skip ? " " : "") + q[i];
  if (text.empty()) {
    what = "no text given";
    return false;
  }
  return true;
}

// A value the user gave, quoted for a message: at most 40 characters of it,
// so that a 60 MB word does not come back whole on standard error.
std::string Quoted(std::string_view value) {
  constexpr std::size_t kShown = 40;
  return "'" + std::string(value.substr(0, kShown)) + (value.size() > kShown ? "...'" : "'");
}

std::string Join(const std::vector<std::string_view>& f, std::size_t from, std::size_t to) {
  std::string s;
  for (std::size_t i = from; i < to; ++i) {
    if (!s.empty()) s += ' ';
    s += f[i];
  }
  return s;
}

}  // namespace

bool ParseScenario(const std::string& text, const std::string& path, Scenario& out, std::string& error) {
  out = Scenario{};
  out.path = path;
  double now = 0.0;
  int gps_points = 0;  // in the GPS planner's route so far
  bool ok = true;
  auto fail = [&](int line, const std::string& what) {
    error = path + ":" + std::to_string(line) + ": " + what;
    ok = false;
    return false;
  };

  ForEachLine(text, [&](int number, const std::string& raw) {
    std::string_view line = raw;
    if (auto semi = line.find(';'); semi != std::string_view::npos) line = line.substr(0, semi);
    auto f = util::SplitBlanks(line);
    if (f.empty()) return true;
    Action a;
    a.line = number;
    std::string_view cmd = f[0];
    std::string what;
    auto want = [&](std::size_t lo, std::size_t hi, const char* usage) {
      if (f.size() < lo || f.size() > hi)
        return fail(number, std::string(f.size() < lo ? "too few" : "too many") + " words (usage: " + usage + ")");
      return true;
    };

    if (cmd == "at") {
      if (!want(2, 2, "at SECONDS")) return false;
      if (!ParseSeconds(f[1], a.seconds)) return fail(number, "bad time " + Quoted(f[1]) + kSecondsRule);
      if (a.seconds < now) return fail(number, "time " + std::string(f[1]) + " is before the current time");
      a.kind = ActionKind::kAt;
      now = a.seconds;
    } else if (cmd == "run") {
      if (!want(2, 2, "run SECONDS")) return false;
      if (!ParseSeconds(f[1], a.seconds)) return fail(number, "bad duration " + Quoted(f[1]) + kSecondsRule);
      a.kind = ActionKind::kRun;
      now += a.seconds;
    } else if (cmd == "set") {
      if (!want(3, 3, "set FIELD VALUE")) return false;
      a.kind = ActionKind::kSet;
      a.name = std::string(f[1]);
      a.text = std::string(f[2]);
      if (!IsAircraftField(a.name)) return fail(number, "unknown aircraft field " + Quoted(a.name));
      AircraftState probe;
      if (!SetAircraftField(probe, a.name, a.text))
        return fail(number, "bad value " + Quoted(a.text) + " for " + a.name + " (" + AircraftFieldRule(a.name) + ")");
    } else if (cmd == "token") {
      if (!want(3, 3, "token ID VALUE")) return false;
      a.kind = ActionKind::kToken;
      if (!ParseU32(f[1], a.id)) return fail(number, "bad token id " + Quoted(f[1]));
      // A raw value: a decimal number, or a whole one in hex (bit masks).
      std::uint32_t word = 0;
      if (ParseU32(f[2], word)) a.number = word;
      else if (!util::ParseDouble(f[2], a.number)) return fail(number, "bad token value " + Quoted(f[2]));
    } else if (cmd == "text") {
      if (!want(2, 64, "text ID [TEXT]")) return false;
      a.kind = ActionKind::kText;
      if (!ParseU32(f[1], a.id)) return fail(number, "bad token id " + Quoted(f[1]));
      a.text = Join(f, 2, f.size());
      if (a.text.size() > 255) return fail(number, "text longer than 255 characters");
    } else if (cmd == "var") {
      if (f.size() > 16)
        return fail(number, util::Format("a variable name of %zu words; at most 14 (var NAME VALUE)", f.size() - 2));
      if (!want(3, 16, "var NAME VALUE")) return false;
      a.kind = ActionKind::kVar;
      a.name = Join(f, 1, f.size() - 1);  // names may hold blanks ("MFDX1 mode")
      if (a.name.size() > 128) return fail(number, "variable name longer than 128 characters");
      if (!util::ParseDouble(f.back(), a.number)) return fail(number, "bad value " + Quoted(f.back()));
    } else if (cmd == "key") {
      if (!want(2, 3, "key ID [VALUE]")) return false;
      a.kind = ActionKind::kKey;
      if (!ParseU32(f[1], a.id)) return fail(number, "bad key event id " + Quoted(f[1]));
      if (f.size() == 3 && !ParseEventValue(f[2], a.value))
        return fail(number, "bad key event value " + Quoted(f[2]));
    } else if (cmd == "click") {
      if (!want(4, 8, "click GAUGE[#N] X Y [hold SECONDS] [flags N]")) return false;
      a.kind = ActionKind::kClick;
      if (!ParseGaugeRef(f[1], a, what)) return fail(number, what);
      if (!util::ParseDouble(f[2], a.x) || !util::ParseDouble(f[3], a.y) || std::fabs(a.x) > 16384 ||
          std::fabs(a.y) > 16384)
        return fail(number, "bad click position (numbers from -16384 to 16384)");
      a.flags = MOUSE_LEFTSINGLE;
      for (std::size_t i = 4; i < f.size(); i += 2) {
        if (i + 1 >= f.size()) return fail(number, Quoted(f[i]) + " needs a value");
        if (f[i] == "hold") {
          if (!ParseSeconds(f[i + 1], a.seconds) || a.seconds > 3600.0)
            return fail(number, "bad hold time (seconds from 0 to 3600)");
        } else if (f[i] == "flags") {
          if (!ParseU32(f[i + 1], a.flags) || a.flags == 0) return fail(number, "bad mouse flags (a number other than 0)");
        } else {
          return fail(number, "unknown click option " + Quoted(f[i]));
        }
      }
    } else if (cmd == "show" || cmd == "hide" || cmd == "toggle") {
      if (!want(2, 2, "show|hide|toggle IDENT")) return false;
      a.kind = cmd == "show" ? ActionKind::kShow : cmd == "hide" ? ActionKind::kHide : ActionKind::kToggle;
      if (!ParseIdent(f[1], a.ident)) return fail(number, "bad window ident " + Quoted(f[1]));
    } else if (cmd == "snapshot") {
      constexpr const char* kLabelRule = "letters, digits, '_', '-', '.'; at most 64";
      if (f.size() > 2) return fail(number, std::string("a snapshot label is one word, without blanks (") + kLabelRule + ")");
      a.kind = ActionKind::kSnapshot;
      if (f.size() == 2) {
        if (!ValidLabel(f[1])) return fail(number, std::string("bad snapshot label (") + kLabelRule + ")");
        a.text = std::string(f[1]);
      }
    } else if (cmd == "traffic") {
      if (!want(4, 6, "traffic RELATIVE_ALTITUDE_FT RANGE_NM BEARING_DEG [v|-|^ [O|P|T|R]]")) return false;
      a.kind = ActionKind::kTraffic;
      if (!util::ParseDouble(f[1], a.number) || std::fabs(a.number) > 100000.0)
        return fail(number, "bad relative altitude " + Quoted(f[1]) + " (feet from -100000 to 100000)");
      if (!util::ParseDouble(f[2], a.x) || a.x < 0.0 || a.x > 1000.0)
        return fail(number, "bad range " + Quoted(f[2]) + " (NM from 0 to 1000)");
      if (!util::ParseDouble(f[3], a.y) || a.y < 0.0 || a.y > 360.0)
        return fail(number, "bad bearing " + Quoted(f[3]) + " (degrees from 0 to 360)");
      a.text = "-O";
      if (f.size() > 4) {
        if (f[4] != "v" && f[4] != "-" && f[4] != "^") return fail(number, "trend is one of v, -, ^");
        a.text[0] = f[4][0];
      }
      if (f.size() > 5) {
        if (f[5].size() != 1 || std::string_view("OPTR").find(f[5][0]) == std::string_view::npos)
          return fail(number, "threat is one of O, P, T, R");
        a.text[1] = f[5][0];
      }
    } else if (cmd == "traffic_clear" || cmd == "gps_clear") {
      if (!want(1, 1, cmd == "gps_clear" ? "gps_clear" : "traffic_clear")) return false;
      a.kind = cmd == "gps_clear" ? ActionKind::kGpsClear : ActionKind::kTrafficClear;
      if (a.kind == ActionKind::kGpsClear) gps_points = 0;
    } else if (cmd == "gps_wpt") {
      if (!want(4, 5, "gps_wpt IDENT LAT LON [ALTITUDE_FT]")) return false;
      // The planner never drops a point without a word.
      if (++gps_points > kMaxGpsWaypoints)
        return fail(number, util::Format("the GPS planner holds %d points; gps_clear starts a new route", kMaxGpsWaypoints));
      a.kind = ActionKind::kGpsWpt;
      a.name = std::string(f[1]);
      if (a.name.size() > 15) return fail(number, "GPS ident longer than 15 characters");
      if (!util::ParseDouble(f[2], a.x) || std::fabs(a.x) > 90.0)
        return fail(number, "bad latitude " + Quoted(f[2]) + " (degrees from -90 to 90)");
      if (!util::ParseDouble(f[3], a.y) || std::fabs(a.y) > 180.0)
        return fail(number, "bad longitude " + Quoted(f[3]) + " (degrees from -180 to 180)");
      // A point given no altitude carries none: 0 ft would be a field at sea level.
      a.number = NAN;
      if (f.size() == 5 && (!util::ParseDouble(f[4], a.number) || std::fabs(a.number) > 100000.0))
        return fail(number, "bad altitude " + Quoted(f[4]) + " (feet from -100000 to 100000)");
    } else if (cmd == "ai_runways") {
      if (!want(4, 4, "ai_runways AIRPORT DEPARTURES ARRIVALS  (e.g. LSZH 28,16 14; - for none)")) return false;
      a.kind = ActionKind::kAiRunways;
      a.name = std::string(f[1]);
      a.text = std::string(f[2]);
      a.text2 = std::string(f[3]);
      std::uint8_t bytes[4];
      if (a.name.size() > 4) return fail(number, "airport ident longer than 4 characters");
      if (!ParseRunwayList(a.text, bytes) || !ParseRunwayList(a.text2, bytes))
        return fail(number, "runways are up to two of 01..36 with L, R, C or W, comma-separated, or -");
    } else if (cmd == "press") {
      if (f.size() > 2 + kMaxPressedKeys)
        return fail(number, util::Format("%zu keys to press; at most %d a line (press GAUGE[#N] KEY [KEY...])",
                                         f.size() - 2, kMaxPressedKeys));
      if (!want(3, 2 + kMaxPressedKeys, "press GAUGE[#N] KEY [KEY...]")) return false;
      a.kind = ActionKind::kPress;
      if (!ParseGaugeRef(f[1], a, what)) return fail(number, what);
      for (std::size_t i = 2; i < f.size(); ++i) a.keys.emplace_back(f[i]);
      a.ticks = static_cast<int>(a.keys.size());
    } else if (cmd == "type") {
      a.kind = ActionKind::kType;
      if (!TextArgument(raw, 1, a.text, what)) return fail(number, what + " (usage: type TEXT)");
      if (a.text.size() > kMaxTypedCharacters) return fail(number, "more than 64 characters to type");
      for (char c : a.text)
        if (KeyForCharacter(c) == nullptr)
          return fail(number, std::string("no key types '") + c + "' (letters, digits, blank, '.', '-', '/')");
      a.ticks = static_cast<int>(a.text.size()) * kTicksPerTypedCharacter;
    } else if (cmd == "keypress") {
      if (!want(2, 7, "keypress KEY [shift] [ctrl] [alt] [hold SECONDS]")) return false;
      a.kind = ActionKind::kKeypress;
      a.name = std::string(f[1]);
      if (FindKeyboardKey(a.name) == nullptr) return fail(number, "unknown key '" + a.name.substr(0, 32) + "'");
      for (std::size_t i = 2; i < f.size(); ++i) {
        if (f[i] == "hold") {
          if (i + 1 >= f.size() || !ParseSeconds(f[i + 1], a.seconds) || a.seconds > 60.0)
            return fail(number, "bad hold time (seconds from 0 to 60)");
          ++i;
        } else if (ModifierKey(f[i]) != nullptr) {
          a.keys.emplace_back(f[i]);
        } else {
          return fail(number, "unknown keypress option '" + std::string(f[i].substr(0, 32)) + "'");
        }
      }
      a.ticks = std::max(1, static_cast<int>(std::lround(a.seconds * kTicksPerSecond))) + 1;
    } else if (cmd == "expect_text") {
      if (!want(3, 64, "expect_text GAUGE[#N] TEXT")) return false;
      a.kind = ActionKind::kExpectText;
      if (!ParseGaugeRef(f[1], a, what)) return fail(number, what);
      if (!TextArgument(raw, 2, a.text, what)) return fail(number, what);
      if (a.text.size() > 255) return fail(number, "text longer than 255 characters");
    } else {
      return fail(number, "unknown command '" + std::string(cmd.substr(0, 32)) + "'");
    }
    now += static_cast<double>(a.ticks) / kTicksPerSecond;
    if (now > kMaxScenarioSeconds) return fail(number, "scenario runs past 86400 simulated seconds");
    out.actions.push_back(std::move(a));
    return true;
  });
  out.duration = now;
  return ok;
}

bool DescribesWorld(ActionKind k) {
  return k == ActionKind::kSet || k == ActionKind::kToken || k == ActionKind::kText || k == ActionKind::kVar ||
         k == ActionKind::kTraffic || k == ActionKind::kTrafficClear || k == ActionKind::kGpsWpt ||
         k == ActionKind::kGpsClear || k == ActionKind::kAiRunways;
}

bool ParseRunwayList(const std::string& text, std::uint8_t (&bytes)[4]) {
  bytes[0] = bytes[1] = bytes[2] = bytes[3] = 0;
  if (text == "-") return true;
  std::size_t comma = text.find(',');
  std::string first = text.substr(0, comma);
  if (!ParseRunway(first, bytes[0], bytes[1])) return false;
  if (comma == std::string::npos) return true;
  return ParseRunway(text.substr(comma + 1), bytes[2], bytes[3]);
}

bool LoadScenario(const std::string& path, Scenario& out, std::string& error) {
  std::string text;
  if (!ReadTextFile(path, text, error)) return false;
  return ParseScenario(text, path, out, error);
}

}  // namespace ovi::sim
