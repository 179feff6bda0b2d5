#include "src/instruments/gnsxls/field_typing.h"

#include "src/instruments/gnsxls/state.h"

namespace ovi::gnsxls {

namespace {

bool Fits(const std::string& field, std::span<const int> places) {
  return !places.empty() && places.back() < static_cast<int>(field.size());
}

}  // namespace

bool NextTypedCharacter(char& c) {
  State& s = gnsxls_state;
  if (s.ScratchpadClearPending == 1) return false;
  std::string word;
  for (char ch : s.NavigatorScratchpad)
    if (ch != ' ') word += ch;
  s.NavigatorScratchpad = word;
  if (word.empty()) return false;
  c = word[0];
  s.NavigatorScratchpad.erase(0, 1);
  return true;
}

void ShiftDigitIn(std::string& field, std::span<const int> places, char digit) {
  if (!Fits(field, places)) return;
  for (std::size_t i = 0; i + 1 < places.size(); ++i)
    field[static_cast<std::size_t>(places[i])] = field[static_cast<std::size_t>(places[i + 1])];
  field[static_cast<std::size_t>(places.back())] = digit;
}

void ShiftDigitOut(std::string& field, std::span<const int> places) {
  if (!Fits(field, places)) return;
  for (std::size_t i = places.size() - 1; i > 0; --i)
    field[static_cast<std::size_t>(places[i])] = field[static_cast<std::size_t>(places[i - 1])];
  field[static_cast<std::size_t>(places.front())] = ' ';
}

bool PositionFieldComplete(const std::string& field, const PositionField& kind) {
  const auto first = static_cast<std::size_t>(4 - kind.degree_digits);
  return field.size() == 10 && field[first] >= '0' && field[first] <= '9';
}

bool PositionFieldDegrees(const std::string& field, const PositionField& kind, double& value) {
  if (!PositionFieldComplete(field, kind)) return false;
  auto number = [&](int from, int to, int& out) {
    out = 0;
    for (int i = from; i <= to; ++i) {
      const char c = field[static_cast<std::size_t>(i)];
      if (c < '0' || c > '9') return false;
      out = out * 10 + (c - '0');
    }
    return true;
  };
  int degrees = 0, minutes = 0, seconds = 0;
  if (!number(4 - kind.degree_digits, 3, degrees) || !number(5, 6, minutes) || !number(8, 9, seconds)) return false;
  if (minutes > 59 || seconds > 59) return false;
  const double v = degrees + minutes / 60.0 + seconds / 3600.0;
  if (v > kind.limit) return false;
  value = field[0] == kind.negative ? -v : v;
  return true;
}

bool FieldValue(const std::string& field, std::span<const int> places, int point, double& value) {
  if (!Fits(field, places) || point < 0 || point >= static_cast<int>(field.size())) return false;
  double whole = 0.0, tenths = 0.0, scale = 0.1;
  bool any = false;
  for (int p : places) {
    const char ch = field[static_cast<std::size_t>(p)];
    if (ch == ' ') continue;
    if (ch < '0' || ch > '9') return false;
    any = true;
    if (p < point) {
      whole = whole * 10.0 + (ch - '0');
    } else {
      tenths += (ch - '0') * scale;
      scale /= 10.0;
    }
  }
  if (!any) return false;
  value = whole + tenths;
  return true;
}

}  // namespace ovi::gnsxls
