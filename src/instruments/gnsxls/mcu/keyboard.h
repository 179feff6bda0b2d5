// Keyboard entry for the MCU: while it is on, the pilot types idents and
// numbers on the PC keyboard. A keyboard device is read once a frame and
// each new key press becomes a character of the entry text; a keyboard hook
// on the simulator's thread keeps S, G and Z typed without Shift, Ctrl or
// Alt from reaching the simulator as its own commands. Everything goes
// through the host's keyboard table (platform/ipc/keyboard.h); a host
// without one makes every set-up step fail, and keyboard entry then types
// nothing. docs/mcu.md describes the rules.
#pragma once

#include <cstddef>
#include <cstdint>

namespace ovi::mcu {

// The most characters the PC keyboard types into an entry text.
constexpr std::size_t kMaxTypedCharacters = 7;
// The most re-acquisitions one poll tries after a lost device.
constexpr int kMaxReacquire = 8;

// Creates the input interface and the keyboard device and acquires it. A
// failed step leaves its text in KeyboardInputStatus ("DirectInput failed",
// "CreateDevice failed", "SetDataFormat failed", "SetCooperativeLevel
// failed") and releases what was made.
void InitKeyboardInput();
// Unacquires and releases the device, then the interface; nothing without
// an interface.
void ReleaseKeyboardInput();
// Installs (1) or removes (0) the keyboard hook: 0 when it already is so,
// else the platform's answer (a refused hook leaves the state as it was).
std::int32_t InstallKeyboardHook(std::int32_t on);
// The hook: discards a key-down message of S, G or Z typed without Shift,
// Ctrl or Alt down; every other message goes on down the chain.
std::intptr_t KeyboardHookProc(std::int32_t code, std::uintptr_t key, std::intptr_t key_data);
// One poll of the device (called at pre-draw while keyboard entry is on).
void PollKeyboard();
// Keyboard entry off: the flag, the hook, the device and the interface.
void McuLeaveKeyboardEntry();

}  // namespace ovi::mcu
