// The PC keys scenarios can type or press, with the scan code the keyboard
// device reports them by and the virtual-key code the key-state query and
// the hook see.
#pragma once

#include <cstdint>
#include <string_view>

namespace ovi::sim {

struct KeyboardKey {
  const char* name;  // "A", "7", "ENTER", "LSHIFT", ...
  std::uint8_t scan;
  std::uint8_t virtual_key;
};

// A key by name, without regard to case; null when unknown.
const KeyboardKey* FindKeyboardKey(std::string_view name);
// The key that types a character (letters of either case, digits, blank,
// '.', '-', '/'), pressed without Shift; null for any other character.
const KeyboardKey* KeyForCharacter(char c);
// The modifier keys `keypress` takes by word: shift, ctrl, alt (the left ones).
const KeyboardKey* ModifierKey(std::string_view word);

}  // namespace ovi::sim
