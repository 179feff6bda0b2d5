// The key table: the named keys of the gauges, each with the rectangle the
// gauge's mouse list gives it, in the gauge's design pixels. Scenarios press
// keys by name (`press`), and ovi-bitmaps draws and labels the keys of each
// bezel at these rectangles. Format: docs/scenario.md.
#pragma once

#include <string>
#include <vector>

namespace ovi::sim {

struct NamedKey {
  std::string name;
  int line = 0;
  int x = 0, y = 0, w = 0, h = 0;  // design pixels
  bool drawn = true;               // style "key" (drawn on the bezel) or "area" (not drawn)
  std::string label;               // as drawn; '|' breaks the line; empty: a blank key
  double CentreX() const { return x + w / 2.0; }
  double CentreY() const { return y + h / 2.0; }
};

struct KeySection {
  int line = 0;
  std::vector<std::string> gauges;  // the gauges that share these keys
  std::vector<NamedKey> keys;       // in file order
};

struct KeyTable {
  std::string path;
  std::vector<KeySection> sections;

  // Keys of a gauge (name compared without regard to case), null when the
  // table has none for it.
  const std::vector<NamedKey>* KeysOf(const std::string& gauge) const;
  // A key of a gauge by name (without regard to case), or null.
  const NamedKey* Find(const std::string& gauge, const std::string& key) const;
};

// Reads a key table; false with "FILE:LINE: what" at the first bad line.
bool ParseKeyTable(const std::string& text, const std::string& path, KeyTable& out, std::string& error);
bool LoadKeyTable(const std::string& path, KeyTable& out, std::string& error);

// Splits a line into fields at blanks; a field in double quotes may hold
// blanks (\" and \\ inside stand for " and \). ';' outside quotes starts a
// comment. False when a quote is not closed.
bool SplitQuotedFields(const std::string& line, std::vector<std::string>& fields);

}  // namespace ovi::sim
