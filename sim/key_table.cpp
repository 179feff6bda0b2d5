#include "sim/key_table.h"

#include <cctype>
#include <set>

#include "sim/text_file.h"
#include "src/util/text.h"

namespace ovi::sim {

namespace {

constexpr int kMaxCoordinate = 16384;
constexpr std::size_t kMaxName = 32;
constexpr std::size_t kMaxLabel = 32;

bool ValidName(const std::string& s) {
  if (s.empty() || s.size() > kMaxName) return false;
  for (unsigned char c : s)
    if (!std::isgraph(c) || c == '[' || c == ']' || c == '"' || c == ';') return false;
  return true;
}

}  // namespace

bool SplitQuotedFields(const std::string& line, std::vector<std::string>& fields) {
  fields.clear();
  std::size_t i = 0, n = line.size();
  while (i < n) {
    unsigned char c = static_cast<unsigned char>(line[i]);
    if (std::isspace(c)) {
      ++i;
      continue;
    }
    if (c == ';') break;
    std::string f;
    if (c == '"') {
      ++i;
      bool closed = false;
      while (i < n) {
        char d = line[i++];
        if (d == '"') {
          closed = true;
          break;
        }
        if (d == '\\' && i < n && (line[i] == '"' || line[i] == '\\')) d = line[i++];
        f += d;
      }
      if (!closed) return false;
    } else {
      while (i < n && !std::isspace(static_cast<unsigned char>(line[i])) && line[i] != ';') f += line[i++];
    }
    fields.push_back(std::move(f));
  }
  return true;
}

const std::vector<NamedKey>* KeyTable::KeysOf(const std::string& gauge) const {
  for (const KeySection& s : sections)
    for (const std::string& g : s.gauges)
      if (util::EqualsIgnoreCase(g, gauge)) return &s.keys;
  return nullptr;
}

const NamedKey* KeyTable::Find(const std::string& gauge, const std::string& key) const {
  const std::vector<NamedKey>* keys = KeysOf(gauge);
  if (keys == nullptr) return nullptr;
  for (const NamedKey& k : *keys)
    if (util::EqualsIgnoreCase(k.name, key)) return &k;
  return nullptr;
}

bool ParseKeyTable(const std::string& text, const std::string& path, KeyTable& out, std::string& error) {
  out = KeyTable{};
  out.path = path;
  bool ok = true;
  std::set<std::string> gauges_seen;
  auto fail = [&](int line, const std::string& what) {
    error = path + ":" + std::to_string(line) + ": " + what;
    ok = false;
    return false;
  };
  ForEachLine(text, [&](int number, const std::string& raw) {
    std::string_view trimmed = util::Trim(raw);
    if (trimmed.empty() || trimmed[0] == ';') return true;
    if (trimmed[0] == '[') {
      if (trimmed.back() != ']') return fail(number, "a section header ends with ']'");
      KeySection s;
      s.line = number;
      for (std::string_view g : util::SplitBlanks(trimmed.substr(1, trimmed.size() - 2))) {
        std::string name(g);
        if (!ValidName(name)) return fail(number, "bad gauge name '" + name.substr(0, 40) + "'");
        if (!gauges_seen.insert(util::ToUpper(name)).second)
          return fail(number, "gauge " + name + " has keys in an earlier section");
        s.gauges.push_back(name);
      }
      if (s.gauges.empty()) return fail(number, "a section names at least one gauge");
      out.sections.push_back(std::move(s));
      return true;
    }
    if (out.sections.empty()) return fail(number, "a key before the first [GAUGE] section");
    std::vector<std::string> f;
    if (!SplitQuotedFields(raw, f)) return fail(number, "a quote is not closed");
    if (f.empty()) return true;
    if (f.size() < 5 || f.size() > 7) return fail(number, "usage: NAME X Y W H [key|area] [\"LABEL\"]");
    NamedKey k;
    k.name = f[0];
    k.line = number;
    if (!ValidName(k.name)) return fail(number, "bad key name '" + k.name.substr(0, 40) + "'");
    int* v[] = {&k.x, &k.y, &k.w, &k.h};
    for (int i = 0; i < 4; ++i) {
      if (!util::ParseInt(f[1 + i], *v[i]) || *v[i] < -kMaxCoordinate || *v[i] > kMaxCoordinate)
        return fail(number, "bad number '" + f[1 + i].substr(0, 20) + "' (a whole number from -16384 to 16384)");
    }
    if (k.w <= 0 || k.h <= 0) return fail(number, "a key is at least 1 x 1");
    std::size_t next = 5;
    if (next < f.size() && (f[next] == "key" || f[next] == "area")) k.drawn = f[next++] == "key";
    bool labelled = next < f.size();
    if (labelled) k.label = f[next++];
    if (next < f.size()) return fail(number, "unexpected '" + f[next].substr(0, 20) + "'");
    if (!labelled) {
      k.label = k.name;
      for (char& c : k.label)
        if (c == '_') c = ' ';
    }
    if (k.label.size() > kMaxLabel) return fail(number, "label longer than 32 characters");
    KeySection& s = out.sections.back();
    for (const NamedKey& other : s.keys)
      if (util::EqualsIgnoreCase(other.name, k.name)) return fail(number, "key " + k.name + " is named twice");
    s.keys.push_back(std::move(k));
    return true;
  });
  return ok;
}

bool LoadKeyTable(const std::string& path, KeyTable& out, std::string& error) {
  std::string text;
  if (!ReadTextFile(path, text, error)) return false;
  return ParseKeyTable(text, path, out, error);
}

}  // namespace ovi::sim
