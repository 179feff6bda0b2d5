// The PC keyboard as the simulator's process offers it to a gauge module:
//  - a keyboard input device, created through an input interface, read once
//    a frame as 256 key bytes indexed by scan code (a key is down while bit
//    0x80 of its byte is set);
//  - a keyboard hook on the simulator's thread: every key message goes first
//    through the hooks installed (newest first); a hook passes it on with the
//    next-hook call or discards it by returning non-zero;
//  - the key-state query by virtual-key code (bit 15: down; bit 0: toggled,
//    flipped at each press);
//  - the module handle of a loaded module, found by the path of its file.
// The host executable owns all of it and exports it as one C table,
// `ovi_keyboard_table`, which the module finds at run time like the window
// registry (ipc.h). Without a host that exports it every call fails.
#pragma once

#include <cstdint>
#include <string>

extern "C" {

typedef std::intptr_t (*OviKeyboardHookProc)(std::int32_t code, std::uintptr_t key, std::intptr_t key_data);

struct OviKeyboardTable {
  std::uint32_t version;  // kOviKeyboardVersion
  // The handle of the loaded module whose file the Windows-style path names
  // (matched as the host's file system maps it); 0 when none.
  std::uintptr_t (*module_handle)(const char* path);
  // The input interface for that module (kInputVersion) and its keyboard
  // device. Results are kInputOk or an error code below.
  std::int32_t (*create_input)(std::uintptr_t module, std::uint32_t version, std::uintptr_t* input);
  std::int32_t (*create_keyboard)(std::uintptr_t input, std::uintptr_t* device);
  std::int32_t (*set_data_format)(std::uintptr_t device, std::uint32_t format);
  std::int32_t (*set_cooperative_level)(std::uintptr_t device, std::uintptr_t window, std::uint32_t level);
  std::int32_t (*acquire)(std::uintptr_t device);
  std::int32_t (*unacquire)(std::uintptr_t device);
  // Copies the 256 key bytes; kInputLost while the device is not acquired.
  std::int32_t (*get_state)(std::uintptr_t device, std::uint32_t size, void* state);
  // Releases a device or an interface (an interface's devices with it).
  void (*release)(std::uintptr_t object);
  // A hook of kind kKeyboardHook for the given thread; 0 on failure.
  std::uintptr_t (*set_hook)(std::int32_t kind, OviKeyboardHookProc proc, std::uintptr_t module, std::uint32_t thread);
  std::int32_t (*unhook)(std::uintptr_t hook);  // 1 done, 0 no such hook
  std::intptr_t (*call_next_hook)(std::uintptr_t hook, std::int32_t code, std::uintptr_t key, std::intptr_t key_data);
  std::int16_t (*key_state)(std::int32_t virtual_key);
  std::uint32_t (*current_thread)(void);
};

// Exported by the host executable (platform/ipc/keyboard_host.cpp).
const OviKeyboardTable* ovi_keyboard_table(void);

}  // extern "C"

namespace ovi::ipc {

constexpr std::uint32_t kOviKeyboardVersion = 1;
constexpr const char* kOviKeyboardTableSymbol = "ovi_keyboard_table";

constexpr std::uint32_t kKeyboardStateSize = 256;
constexpr std::uint32_t kInputVersion = 0x0800;
constexpr std::uint32_t kKeyboardDataFormat = 1;           // 256 key bytes by scan code
constexpr std::uint32_t kCooperativeNonExclusiveForeground = 6;
constexpr std::int32_t kKeyboardHook = 2;
constexpr const char* kSimulatorWindowClass = "FS98MAIN";

constexpr std::int32_t kInputOk = 0;
constexpr std::int32_t kInputLost = static_cast<std::int32_t>(0x8007001Eu);
constexpr std::int32_t kInputInvalid = static_cast<std::int32_t>(0x80070057u);
constexpr std::int32_t kInputFailed = static_cast<std::int32_t>(0x80004005u);

// --- Module side (ovi_ipc_client) -------------------------------------------
// The host's table, or a table whose every call fails when no host exports
// one. Never null.
const OviKeyboardTable& Keyboard();

// --- Host side (ovi_ipc_registry) --------------------------------------------
// The file of the module the host loaded (empty: none); module_handle
// answers for paths that name it.
void SetKeyboardModuleFile(const std::string& path);
// A key goes down or up: the device's byte for `scan` and the key state of
// `virtual_key` follow (a press flips the toggle bit).
void SetKeyboardKey(std::uint8_t scan, std::uint8_t virtual_key, bool down);
// Delivers one key message through the installed hooks (newest first); true
// when a hook discarded it. Without hooks nothing is discarded.
bool SendKeyboardMessage(std::uint8_t scan, std::uint8_t virtual_key, bool down);
// Every device loses its acquisition (the window lost the focus).
void LoseKeyboardDevices();
// Releases everything and lets every key up: the state of a fresh process.
void ResetKeyboard();
// Hooks and devices currently in place.
int KeyboardHookCount();
int KeyboardDeviceCount();

}  // namespace ovi::ipc
