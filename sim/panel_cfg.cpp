#include "sim/panel_cfg.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <map>
#include <optional>

#include "sim/text_file.h"
#include "src/util/text.h"

namespace ovi::sim {

namespace {

using util::EqualsIgnoreCase;
using util::Trim;

constexpr std::size_t kMaxParameter = 259;
constexpr std::size_t kMaxName = 64;
constexpr int kMaxCoordinate = 16384;

// "WindowNN" / "gaugeNN" with one to two digits; -1 otherwise.
int NumberedKey(std::string_view key, std::string_view prefix) {
  if (key.size() <= prefix.size() || key.size() > prefix.size() + 2) return -1;
  if (!EqualsIgnoreCase(key.substr(0, prefix.size()), prefix)) return -1;
  int n = 0;
  for (char c : key.substr(prefix.size())) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return -1;
    n = n * 10 + (c - '0');
  }
  return n;
}

// "Window100" / "gauge100": the prefix and three digits or more, a number
// the panel has no place for. Ignored, the window or gauge would be lost
// without a word.
bool IsOverNumbered(std::string_view key, std::string_view prefix) {
  if (key.size() <= prefix.size() + 2 || !EqualsIgnoreCase(key.substr(0, prefix.size()), prefix)) return false;
  for (char c : key.substr(prefix.size()))
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
  return true;
}

// "gauge100: gauge numbers are one or two digits (gauge00..gauge99)".
std::string OverNumbered(std::string_view what, const std::string& prefix, const char* noun) {
  return std::string(what.substr(0, 40)) + ": " + noun + " numbers are one or two digits (" + prefix + "00.." + prefix +
         "99)";
}

bool ParseIntField(std::string_view s, int lo, int hi, int& out) {
  int v = 0;
  if (!util::ParseInt(s, v) || v < lo || v > hi) return false;
  out = v;
  return true;
}

// "A,B" into two integers.
bool ParsePair(std::string_view s, int lo, int hi, int& a, int& b) {
  auto comma = s.find(',');
  if (comma == std::string_view::npos) return false;
  return ParseIntField(s.substr(0, comma), lo, hi, a) && ParseIntField(s.substr(comma + 1), lo, hi, b);
}

bool ParseGaugeLine(std::string_view value, PanelGauge& g, std::string& what) {
  std::vector<std::string_view> fields;
  std::size_t start = 0;
  while (fields.size() < 5) {
    auto comma = value.find(',', start);
    if (comma == std::string_view::npos) break;
    fields.push_back(Trim(value.substr(start, comma - start)));
    start = comma + 1;
  }
  std::string_view rest = Trim(value.substr(std::min(start, value.size())));
  std::string_view parameter;
  if (fields.size() == 5) {
    parameter = rest;  // everything after the fifth comma, commas included
  } else {
    fields.push_back(rest);
  }

  std::string_view ref = fields[0];
  auto bang = ref.find('!');
  if (bang == std::string_view::npos || bang == 0 || bang + 1 == ref.size()) {
    what = "gauge entry must start with MODULE!GAUGE_NAME";
    return false;
  }
  g.module = std::string(Trim(ref.substr(0, bang)));
  g.name = std::string(Trim(ref.substr(bang + 1)));
  auto bad_name = [](const std::string& s) {
    return s.empty() || s.size() > kMaxName ||
           std::any_of(s.begin(), s.end(), [](unsigned char c) { return std::isspace(c) || c < 0x21 || c > 0x7E; });
  };
  if (bad_name(g.module) || bad_name(g.name)) {
    what = "bad module or gauge name in '" + std::string(ref.substr(0, 80)) + "'";
    return false;
  }
  if (fields.size() < 3) {
    what = "gauge entry needs at least a position: MODULE!NAME, x, y";
    return false;
  }
  if (!ParseIntField(fields[1], -kMaxCoordinate, kMaxCoordinate, g.x) ||
      !ParseIntField(fields[2], -kMaxCoordinate, kMaxCoordinate, g.y)) {
    what = "bad gauge position (whole numbers expected)";
    return false;
  }
  for (std::size_t i = 3; i < fields.size() && i < 5; ++i) {
    int& dim = i == 3 ? g.w : g.h;
    if (fields[i].empty()) continue;  // default size
    if (!ParseIntField(fields[i], 1, kMaxCoordinate, dim)) {
      what = std::string("bad gauge ") + (i == 3 ? "width" : "height") + " (whole number 1.." +
             std::to_string(kMaxCoordinate) + " or empty)";
      return false;
    }
  }
  if (parameter.size() > kMaxParameter) {
    what = "gauge parameter longer than " + std::to_string(kMaxParameter) + " characters";
    return false;
  }
  if (parameter.find('\0') != std::string_view::npos) {
    what = "gauge parameter holds a NUL character";
    return false;
  }
  g.parameter = std::string(parameter);
  return true;
}

// "gauge00:gauge01, gauge02:gauge05": the pairs of gauge entries meant to
// overlap.
bool ParseOverlaps(std::string_view value, std::vector<std::pair<int, int>>& pairs) {
  while (true) {
    const std::size_t comma = value.find(',');
    const std::string_view pair = Trim(value.substr(0, comma));
    const std::size_t colon = pair.find(':');
    if (colon == std::string_view::npos) return false;
    const int a = NumberedKey(Trim(pair.substr(0, colon)), "gauge");
    const int b = NumberedKey(Trim(pair.substr(colon + 1)), "gauge");
    if (a < 0 || b < 0 || a == b) return false;
    pairs.emplace_back(a, b);
    if (comma == std::string_view::npos) return true;
    value = value.substr(comma + 1);
  }
}

struct WindowDraft {
  PanelWindow window;
  std::string name;  // as the file writes it: Window1 or Window01
  bool has_size = false;
  bool has_ident = false;
  bool has_visible = false;
  bool has_pos = false;
  int overlaps_line = 0;
};

}  // namespace

bool ParsePanelConfig(const std::string& text, const std::string& path, PanelConfig& out, std::string& error) {
  out = PanelConfig{};
  out.path = path;
  std::map<int, WindowDraft> windows;
  std::map<int, std::string> titles;
  enum class Section { kNone, kTitles, kWindow, kOther } section = Section::kNone;
  WindowDraft* current = nullptr;
  bool ok = true;

  auto fail = [&](int line, const std::string& what) {
    error = path + ":" + std::to_string(line) + ": " + what;
    ok = false;
    return false;
  };

  ForEachLine(text, [&](int number, const std::string& raw) {
    std::string_view line = Trim(raw);
    if (line.empty() || line[0] == ';' || line.substr(0, 2) == "//") return true;
    if (line[0] == '[') {
      if (line.back() != ']') return fail(number, "section header without ']'");
      std::string_view name = Trim(line.substr(1, line.size() - 2));
      int n = NumberedKey(name, "Window");
      if (EqualsIgnoreCase(name, "Window Titles")) {
        section = Section::kTitles;
      } else if (n >= 0) {
        if (windows.count(n) != 0) return fail(number, "section [" + std::string(name) + "] appears twice");
        section = Section::kWindow;
        current = &windows[n];
        current->window.number = n;
        current->window.line = number;
        current->name = std::string(name.substr(0, kMaxName));
      } else if (IsOverNumbered(name, "Window")) {
        return fail(number, OverNumbered("[" + std::string(name.substr(0, 40)) + "]", "Window", "window"));
      } else {
        section = Section::kOther;  // views, virtual cockpits, colours: not ours
      }
      return true;
    }
    auto eq = line.find('=');
    if (section == Section::kOther) return true;
    if (section == Section::kNone) return fail(number, "line outside any section");
    if (eq == std::string_view::npos) return fail(number, "expected KEY=VALUE");
    std::string_view key = Trim(line.substr(0, eq));
    std::string_view value = Trim(line.substr(eq + 1));

    if (section == Section::kTitles) {
      int n = NumberedKey(key, "Window");
      if (IsOverNumbered(key, "Window")) return fail(number, OverNumbered(key, "Window", "window"));
      if (n < 0) return true;
      if (titles.count(n) != 0) return fail(number, "title of " + std::string(key) + " given twice");
      titles[n] = std::string(value.substr(0, 128));
      return true;
    }

    PanelWindow& w = current->window;
    int gauge_number = NumberedKey(key, "gauge");
    if (IsOverNumbered(key, "gauge")) return fail(number, OverNumbered(key, "gauge", "gauge"));
    if (gauge_number >= 0) {
      for (const auto& g : w.gauges)
        if (g.number == gauge_number) return fail(number, std::string(key) + " appears twice in this window");
      PanelGauge g;
      g.number = gauge_number;
      g.line = number;
      std::string what;
      if (!ParseGaugeLine(value, g, what)) return fail(number, what);
      w.gauges.push_back(std::move(g));
    } else if (EqualsIgnoreCase(key, "ident")) {
      if (current->has_ident) return fail(number, "ident given twice");
      current->has_ident = true;
      int id = 0;
      if (EqualsIgnoreCase(value, "MAIN_PANEL")) {
        w.ident = 0;
      } else if (ParseIntField(value, 0, 99999999, id)) {
        w.ident = id;
      } else {
        return fail(number, "bad ident (a whole number or MAIN_PANEL)");
      }
    } else if (EqualsIgnoreCase(key, "size_mm")) {
      if (current->has_size) return fail(number, "size_mm given twice");
      current->has_size = true;
      if (!ParsePair(value, 1, kMaxCoordinate, w.w, w.h))
        return fail(number, "bad size_mm (WIDTH,HEIGHT in whole pixels, 1.." + std::to_string(kMaxCoordinate) + ")");
    } else if (EqualsIgnoreCase(key, "window_pos")) {
      if (current->has_pos) return fail(number, "window_pos given twice");
      current->has_pos = true;
      if (!ParsePair(value, -kMaxCoordinate, kMaxCoordinate, w.x, w.y))
        return fail(number, "bad window_pos (X,Y in whole pixels)");
    } else if (EqualsIgnoreCase(key, "overlaps")) {
      if (current->overlaps_line != 0) return fail(number, "overlaps given twice");
      current->overlaps_line = number;
      if (!ParseOverlaps(value, w.overlaps))
        return fail(number, "bad overlaps (pairs of this window's gauge keys: gauge00:gauge01, ...)");
    } else if (EqualsIgnoreCase(key, "file")) {
      if (w.background_line != 0) return fail(number, "file given twice");
      w.background_line = number;
      if (value.empty() || value.size() >= kMaxSimPath)
        return fail(number, "bad file (the window's background picture, named from the panel file's folder)");
      w.background = std::string(value);
    } else if (EqualsIgnoreCase(key, "visible")) {
      if (current->has_visible) return fail(number, "visible given twice");
      current->has_visible = true;
      if (value == "0") {
        w.visible = false;
      } else if (value == "1") {
        w.visible = true;
      } else {
        return fail(number, "bad visible (0 or 1)");
      }
    }
    // Other keys (zoom, colours) mean nothing here.
    return true;
  });
  if (!ok) return false;

  std::map<std::int64_t, int> idents;
  for (auto& [n, draft] : windows) {
    PanelWindow& w = draft.window;
    if (!draft.has_size) {
      error = path + ":" + std::to_string(w.line) + ": [" + draft.name + "] has no size_mm";
      return false;
    }
    if (!draft.has_ident && n == 0) w.ident = 0;
    if (w.ident != kNoIdent) {
      if (idents.count(w.ident) != 0) {
        error = path + ":" + std::to_string(w.line) + ": ident " + std::to_string(w.ident) + " already used by [" +
                windows[idents[w.ident]].name + "]";
        return false;
      }
      idents[w.ident] = n;
    }
    for (const auto& [a, b] : w.overlaps) {
      for (int g : {a, b}) {
        if (std::none_of(w.gauges.begin(), w.gauges.end(), [g](const PanelGauge& pg) { return pg.number == g; })) {
          error = path + ":" + std::to_string(draft.overlaps_line) + ": overlaps names gauge" +
                  util::Format("%02d", g) + ", which this window does not have";
          return false;
        }
      }
    }
    auto t = titles.find(n);
    w.title = t != titles.end() ? t->second : util::Format("Window%02d", n);
    std::sort(w.gauges.begin(), w.gauges.end(),
              [](const PanelGauge& a, const PanelGauge& b) { return a.number < b.number; });
    out.windows.push_back(std::move(w));
  }
  if (out.windows.empty()) {
    error = path + ": no [WindowNN] section";
    return false;
  }
  return true;
}

std::string BackgroundPath(const PanelConfig& panel, const PanelWindow& window) {
  if (window.background.empty()) return {};
  std::string name = window.background;
  std::replace(name.begin(), name.end(), '\\', '/');
  return (std::filesystem::path(panel.path).parent_path() / name).string();
}

bool LoadPanelConfig(const std::string& path, PanelConfig& out, std::string& error) {
  std::string text;
  if (!ReadTextFile(path, text, error)) return false;
  return ParsePanelConfig(text, path, out, error);
}

}  // namespace ovi::sim
