#include <array>
#include <cstring>
#include <filesystem>
#include <string>

#include "platform/ipc/ipc.h"
#include "platform/ipc/keyboard.h"
#include "platform/os/os.h"

namespace ovi::ipc {

namespace {

constexpr std::uintptr_t kModuleHandle = 0x00400000;
constexpr std::uint32_t kThread = 1;
constexpr int kMaxInputs = 8;
constexpr int kMaxDevices = 8;
constexpr int kMaxHooks = 16;
constexpr std::uintptr_t kInputBase = 0x1000, kDeviceBase = 0x2000, kHookBase = 0x3000;

struct Input {
  bool used = false;
};
struct Device {
  bool used = false;
  int input = -1;
  bool format_set = false;
  bool acquired = false;
};
struct Hook {
  std::uintptr_t handle = 0;
  OviKeyboardHookProc proc = nullptr;
};

// One key message on its way down the chain: the hooks installed when it
// was sent, newest first, and the one running now. The chain is walked by
// position, not by the handle a hook passes on, so a hook that unhooks
// itself (or another) during its call leaves the rest of the chain intact.
struct Delivery {
  std::uintptr_t chain[kMaxHooks] = {};
  int count = 0;
  int at = -1;
};
constexpr int kMaxDeliveries = 8;  // messages sent from inside a hook

struct State {
  std::string module_file;
  std::array<std::uint8_t, kKeyboardStateSize> keys{};       // by scan code
  std::array<std::uint8_t, kKeyboardStateSize> vk_of_scan{};  // while down
  std::array<bool, kKeyboardStateSize> toggled{};             // by virtual key
  Input inputs[kMaxInputs];
  Device devices[kMaxDevices];
  Hook hooks[kMaxHooks];  // newest first
  int hook_count = 0;
  std::uintptr_t next_hook = kHookBase;
  Delivery deliveries[kMaxDeliveries];
  int delivery_depth = 0;
};

State& S() {
  static State s;
  return s;
}

int InputIndex(std::uintptr_t h) {
  if (h < kInputBase || h >= kInputBase + kMaxInputs) return -1;
  int i = static_cast<int>(h - kInputBase);
  return S().inputs[i].used ? i : -1;
}

Device* FindDevice(std::uintptr_t h) {
  if (h < kDeviceBase || h >= kDeviceBase + kMaxDevices) return nullptr;
  Device& d = S().devices[h - kDeviceBase];
  return d.used ? &d : nullptr;
}

int HookIndex(std::uintptr_t h) {
  for (int i = 0; i < S().hook_count; ++i)
    if (S().hooks[i].handle == h) return i;
  return -1;
}

std::uintptr_t ModuleHandle(const char* path) {
  const std::string& file = S().module_file;
  if (path == nullptr || file.empty()) return 0;
  auto mapped = os::MapPath(std::string_view(path, strnlen(path, os::kMaxPath)));
  if (!mapped) return 0;
  std::error_code ec;
  return std::filesystem::equivalent(*mapped, file, ec) && !ec ? kModuleHandle : 0;
}

std::int32_t CreateInput(std::uintptr_t module, std::uint32_t version, std::uintptr_t* input) {
  if (input == nullptr) return kInputInvalid;
  *input = 0;
  if (module != kModuleHandle || S().module_file.empty() || version != kInputVersion) return kInputInvalid;
  for (int i = 0; i < kMaxInputs; ++i) {
    if (S().inputs[i].used) continue;
    S().inputs[i].used = true;
    *input = kInputBase + i;
    return kInputOk;
  }
  return kInputFailed;
}

std::int32_t CreateKeyboard(std::uintptr_t input, std::uintptr_t* device) {
  if (device == nullptr) return kInputInvalid;
  *device = 0;
  int owner = InputIndex(input);
  if (owner < 0) return kInputInvalid;
  for (int i = 0; i < kMaxDevices; ++i) {
    if (S().devices[i].used) continue;
    S().devices[i] = Device{true, owner, false, false};
    *device = kDeviceBase + i;
    return kInputOk;
  }
  return kInputFailed;
}

std::int32_t SetDataFormat(std::uintptr_t device, std::uint32_t format) {
  Device* d = FindDevice(device);
  if (d == nullptr || format != kKeyboardDataFormat) return kInputInvalid;
  d->format_set = true;
  return kInputOk;
}

std::int32_t SetCooperativeLevel(std::uintptr_t device, std::uintptr_t window, std::uint32_t level) {
  Device* d = FindDevice(device);
  if (d == nullptr || window == 0 || window != ovi_ipc_table()->find_window(kSimulatorWindowClass) ||
      level != kCooperativeNonExclusiveForeground)
    return kInputInvalid;
  return kInputOk;
}

std::int32_t Acquire(std::uintptr_t device) {
  Device* d = FindDevice(device);
  if (d == nullptr || !d->format_set) return kInputInvalid;
  d->acquired = true;
  return kInputOk;
}

std::int32_t Unacquire(std::uintptr_t device) {
  Device* d = FindDevice(device);
  if (d == nullptr) return kInputInvalid;
  d->acquired = false;
  return kInputOk;
}

std::int32_t GetState(std::uintptr_t device, std::uint32_t size, void* state) {
  Device* d = FindDevice(device);
  if (d == nullptr || state == nullptr || size != kKeyboardStateSize) return kInputInvalid;
  if (!d->acquired) return kInputLost;
  std::memcpy(state, S().keys.data(), kKeyboardStateSize);
  return kInputOk;
}

void Release(std::uintptr_t object) {
  if (Device* d = FindDevice(object)) {
    *d = Device{};
    return;
  }
  int i = InputIndex(object);
  if (i < 0) return;
  S().inputs[i] = Input{};
  for (Device& d : S().devices)
    if (d.used && d.input == i) d = Device{};
}

std::uintptr_t SetHook(std::int32_t kind, OviKeyboardHookProc proc, std::uintptr_t /*module*/, std::uint32_t thread) {
  State& s = S();
  if (kind != kKeyboardHook || proc == nullptr || thread != kThread || s.hook_count >= kMaxHooks) return 0;
  for (int i = s.hook_count; i > 0; --i) s.hooks[i] = s.hooks[i - 1];
  s.hooks[0] = Hook{s.next_hook++, proc};
  ++s.hook_count;
  return s.hooks[0].handle;
}

std::int32_t Unhook(std::uintptr_t hook) {
  State& s = S();
  int i = HookIndex(hook);
  if (i < 0) return 0;
  for (; i + 1 < s.hook_count; ++i) s.hooks[i] = s.hooks[i + 1];
  s.hooks[--s.hook_count] = Hook{};
  return 1;
}

// Runs the hooks of the message being delivered from position `from` on:
// the first that is still installed gets it. A hook removed meanwhile is
// passed over; one added meanwhile waits for the next message. Past the
// last hook the simulator takes the message (0).
std::intptr_t DeliverFrom(Delivery& d, int from, std::int32_t code, std::uintptr_t key, std::intptr_t key_data) {
  for (int i = from; i < d.count; ++i) {
    const int installed = HookIndex(d.chain[i]);
    if (installed < 0) continue;
    const int before = d.at;
    d.at = i;
    const std::intptr_t result = S().hooks[installed].proc(code, key, key_data);
    d.at = before;
    return result;
  }
  return 0;
}

// Hooks run newest first; the last one's next is the simulator itself, which
// takes every message (0). During a message the chain goes on after the hook
// now running, whatever handle it passes; outside one, after the handle's.
std::intptr_t CallNextHook(std::uintptr_t hook, std::int32_t code, std::uintptr_t key, std::intptr_t key_data) {
  State& s = S();
  if (s.delivery_depth > 0) {
    Delivery& d = s.deliveries[s.delivery_depth - 1];
    return DeliverFrom(d, d.at + 1, code, key, key_data);
  }
  int i = HookIndex(hook);
  if (i < 0 || i + 1 >= s.hook_count) return 0;
  return s.hooks[i + 1].proc(code, key, key_data);
}

std::int16_t KeyState(std::int32_t virtual_key) {
  if (virtual_key < 0 || virtual_key >= static_cast<std::int32_t>(kKeyboardStateSize)) return 0;
  const State& s = S();
  bool down = false;
  for (std::uint32_t scan = 0; scan < kKeyboardStateSize && !down; ++scan)
    down = (s.keys[scan] & 0x80) != 0 && s.vk_of_scan[scan] == virtual_key;
  return static_cast<std::int16_t>((down ? 0x8000 : 0) | (s.toggled[virtual_key] ? 1 : 0));
}

std::uint32_t CurrentThread() { return kThread; }

const OviKeyboardTable g_table = {
    kOviKeyboardVersion, ModuleHandle, CreateInput, CreateKeyboard, SetDataFormat, SetCooperativeLevel, Acquire,
    Unacquire,           GetState,     Release,     SetHook,        Unhook,        CallNextHook,        KeyState,
    CurrentThread,
};

}  // namespace

void SetKeyboardModuleFile(const std::string& path) { S().module_file = path; }

void SetKeyboardKey(std::uint8_t scan, std::uint8_t virtual_key, bool down) {
  State& s = S();
  bool was_down = (s.keys[scan] & 0x80) != 0;
  s.keys[scan] = down ? 0x80 : 0x00;
  if (down) {
    s.vk_of_scan[scan] = virtual_key;
    if (!was_down) s.toggled[virtual_key] = !s.toggled[virtual_key];
  }
}

bool SendKeyboardMessage(std::uint8_t scan, std::uint8_t virtual_key, bool down) {
  State& s = S();
  if (s.hook_count == 0 || s.delivery_depth >= kMaxDeliveries) return false;
  // Repeat count 1, the scan code, and for a release the previous-state and
  // transition bits, as a key message carries them.
  std::intptr_t data = 1 | (static_cast<std::intptr_t>(scan) << 16);
  if (!down) data |= static_cast<std::intptr_t>(0xC0000000u);
  Delivery& d = s.deliveries[s.delivery_depth++];
  d = Delivery{};
  for (int i = 0; i < s.hook_count; ++i) d.chain[d.count++] = s.hooks[i].handle;
  const bool discarded = DeliverFrom(d, 0, 0, virtual_key, data) != 0;
  --s.delivery_depth;
  return discarded;
}

void LoseKeyboardDevices() {
  for (Device& d : S().devices) d.acquired = false;
}

void ResetKeyboard() {
  std::string file = S().module_file;
  S() = State{};
  S().module_file = file;
}

int KeyboardHookCount() { return S().hook_count; }

int KeyboardDeviceCount() {
  int n = 0;
  for (const Device& d : S().devices) n += d.used;
  return n;
}

}  // namespace ovi::ipc

extern "C" __attribute__((visibility("default"))) const OviKeyboardTable* ovi_keyboard_table(void) {
  return &ovi::ipc::g_table;
}
