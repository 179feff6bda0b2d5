#include "sim/keyboard_keys.h"

#include "src/util/text.h"

namespace ovi::sim {

namespace {

constexpr KeyboardKey kKeys[] = {
    {"A", 0x1E, 'A'}, {"B", 0x30, 'B'}, {"C", 0x2E, 'C'}, {"D", 0x20, 'D'}, {"E", 0x12, 'E'}, {"F", 0x21, 'F'},
    {"G", 0x22, 'G'}, {"H", 0x23, 'H'}, {"I", 0x17, 'I'}, {"J", 0x24, 'J'}, {"K", 0x25, 'K'}, {"L", 0x26, 'L'},
    {"M", 0x32, 'M'}, {"N", 0x31, 'N'}, {"O", 0x18, 'O'}, {"P", 0x19, 'P'}, {"Q", 0x10, 'Q'}, {"R", 0x13, 'R'},
    {"S", 0x1F, 'S'}, {"T", 0x14, 'T'}, {"U", 0x16, 'U'}, {"V", 0x2F, 'V'}, {"W", 0x11, 'W'}, {"X", 0x2D, 'X'},
    {"Y", 0x15, 'Y'}, {"Z", 0x2C, 'Z'},
    {"1", 0x02, '1'}, {"2", 0x03, '2'}, {"3", 0x04, '3'}, {"4", 0x05, '4'}, {"5", 0x06, '5'},
    {"6", 0x07, '6'}, {"7", 0x08, '7'}, {"8", 0x09, '8'}, {"9", 0x0A, '9'}, {"0", 0x0B, '0'},
    {"SPACE", 0x39, 0x20}, {"MINUS", 0x0C, 0xBD}, {"PERIOD", 0x34, 0xBE}, {"SLASH", 0x35, 0xBF},
    {"ENTER", 0x1C, 0x0D}, {"NUMPADENTER", 0x9C, 0x0D}, {"BACKSPACE", 0x0E, 0x08}, {"TAB", 0x0F, 0x09},
    {"ESCAPE", 0x01, 0x1B}, {"UP", 0xC8, 0x26}, {"DOWN", 0xD0, 0x28}, {"LEFT", 0xCB, 0x25}, {"RIGHT", 0xCD, 0x27},
    {"PAGEUP", 0xC9, 0x21}, {"PAGEDOWN", 0xD1, 0x22}, {"HOME", 0xC7, 0x24}, {"END", 0xCF, 0x23},
    {"DELETE", 0xD3, 0x2E}, {"INSERT", 0xD2, 0x2D},
    {"LSHIFT", 0x2A, 0x10}, {"RSHIFT", 0x36, 0x10}, {"LCTRL", 0x1D, 0x11}, {"RCTRL", 0x9D, 0x11},
    {"LALT", 0x38, 0x12}, {"RALT", 0xB8, 0x12},
};

}  // namespace

const KeyboardKey* FindKeyboardKey(std::string_view name) {
  for (const KeyboardKey& k : kKeys)
    if (util::EqualsIgnoreCase(k.name, name)) return &k;
  return nullptr;
}

const KeyboardKey* KeyForCharacter(char c) {
  switch (c) {
    case ' ': return FindKeyboardKey("SPACE");
    case '.': return FindKeyboardKey("PERIOD");
    case '-': return FindKeyboardKey("MINUS");
    case '/': return FindKeyboardKey("SLASH");
    default: break;
  }
  bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
  bool digit = c >= '0' && c <= '9';
  return letter || digit ? FindKeyboardKey(std::string_view(&c, 1)) : nullptr;
}

const KeyboardKey* ModifierKey(std::string_view word) {
  if (util::EqualsIgnoreCase(word, "shift")) return FindKeyboardKey("LSHIFT");
  if (util::EqualsIgnoreCase(word, "ctrl")) return FindKeyboardKey("LCTRL");
  if (util::EqualsIgnoreCase(word, "alt")) return FindKeyboardKey("LALT");
  return nullptr;
}

}  // namespace ovi::sim
