#include "src/instruments/gnsxls/mcu/keyboard.h"

#include <array>
#include <string>

#include "platform/ipc/ipc.h"
#include "platform/ipc/keyboard.h"
#include "src/host/state.h"
#include "src/instruments/gnsxls/mcu/state.h"
#include "src/instruments/gnsxls/state.h"
#include "src/model/state.h"

namespace ovi::mcu {

namespace {

// Scan codes of the keyboard device's key bytes.
constexpr std::uint8_t kLetterScan[26] = {0x1E, 0x30, 0x2E, 0x20, 0x12, 0x21, 0x22, 0x23, 0x17,
                                          0x24, 0x25, 0x26, 0x32, 0x31, 0x18, 0x19, 0x10, 0x13,
                                          0x1F, 0x14, 0x16, 0x2F, 0x11, 0x2D, 0x15, 0x2C};
constexpr std::uint8_t kDigitScan[10] = {0x0B, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A};
constexpr std::uint8_t kModifierScan[] = {0x2A, 0x36, 0x1D, 0x9D, 0x38};  // shifts, ctrls, left alt
constexpr std::uint8_t kBackspace = 0x0E;
constexpr std::uint8_t kEnter = 0x1C;
constexpr std::uint8_t kNumpadEnter = 0x9C;
constexpr std::uint8_t kCursorUp = 0xC8;
constexpr std::uint8_t kCursorDown = 0xD0;
constexpr std::uint8_t kPageUp = 0xC9;
constexpr std::uint8_t kPageDown = 0xD1;
constexpr std::uint8_t kKeyDown = 0x80;

// Virtual-key codes the hook asks about.
constexpr std::int32_t kVkShift = 0x10;
constexpr std::int32_t kVkControl = 0x11;
constexpr std::int32_t kVkAlt = 0x12;
constexpr std::uint16_t kKeyStateDown = 0x8000;

constexpr const char* kModuleFile = "\\GAUGES\\ovi1.gau";

State& M() { return mcu_state; }
const OviKeyboardTable& Kb() { return ipc::Keyboard(); }

// The simulator's main window and this module's handle, which the device's
// cooperation and the hook are set up with.
void FindHandles() {
  State& m = M();
  m.SimulatorMainWindow = ipc::FindWindowByClass(ipc::kSimulatorWindowClass);
  const std::string module = host::DataPath(kModuleFile);
  m.ModuleInstance = Kb().module_handle(module.c_str());
}

void Fail(const char* text) { gnsxls::gnsxls_state.KeyboardInputStatus = text; }

bool KeyStateDown(std::int32_t virtual_key) {
  return (static_cast<std::uint16_t>(Kb().key_state(virtual_key)) & kKeyStateDown) != 0;
}

std::intptr_t HookEntry(std::int32_t code, std::uintptr_t key, std::intptr_t key_data) {
  return KeyboardHookProc(code, key, key_data);
}

// Where the typed text belongs: the crossing altitude on LEGS in crossing
// entry, else the entry text.
std::string& TypedText() {
  model::State& md = model::model_state;
  return M().McuCrossingEntryActive == 1 && M().McuPage == kPageLegs ? md.McuKeyboardEntry : md.McuEntryText;
}

}  // namespace

void InitKeyboardInput() {
  State& m = M();
  const OviKeyboardTable& kb = Kb();
  // A set-up already made is not left behind.
  ReleaseKeyboardInput();
  FindHandles();
  m.PrevKeyboardState.fill(0);
  std::uintptr_t input = 0;
  if (kb.create_input(m.ModuleInstance, ipc::kInputVersion, &input) != ipc::kInputOk || input == 0) {
    Fail("DirectInput failed");
    return;
  }
  m.DirectInputInterface = input;
  std::uintptr_t device = 0;
  if (kb.create_keyboard(input, &device) != ipc::kInputOk || device == 0) {
    Fail("CreateDevice failed");
    ReleaseKeyboardInput();
    return;
  }
  m.KeyboardDevice = device;
  if (kb.set_data_format(device, ipc::kKeyboardDataFormat) != ipc::kInputOk) {
    Fail("SetDataFormat failed");
    ReleaseKeyboardInput();
    return;
  }
  if (kb.set_cooperative_level(device, m.SimulatorMainWindow, ipc::kCooperativeNonExclusiveForeground) !=
      ipc::kInputOk) {
    Fail("SetCooperativeLevel failed");
    ReleaseKeyboardInput();
    return;
  }
  kb.acquire(device);
}

void ReleaseKeyboardInput() {
  State& m = M();
  if (m.DirectInputInterface == 0) return;
  const OviKeyboardTable& kb = Kb();
  if (m.KeyboardDevice != 0) {
    kb.unacquire(m.KeyboardDevice);
    kb.release(m.KeyboardDevice);
    m.KeyboardDevice = 0;
  }
  kb.release(m.DirectInputInterface);
  m.DirectInputInterface = 0;
}

std::int32_t InstallKeyboardHook(std::int32_t on) {
  State& m = M();
  const std::int32_t want = on != 0 ? 1 : 0;
  if (want == m.KeyboardHookInstalled) return 0;
  const OviKeyboardTable& kb = Kb();
  FindHandles();
  if (want == 0) {
    const std::int32_t result = kb.unhook(m.KeyboardHookHandle);
    m.KeyboardHookInstalled = 0;
    m.KeyboardHookHandle = 0;
    return result;
  }
  const std::uintptr_t hook = kb.set_hook(ipc::kKeyboardHook, HookEntry, m.ModuleInstance, kb.current_thread());
  if (hook == 0) return 0;
  m.KeyboardHookHandle = hook;
  m.KeyboardHookInstalled = 1;
  return 1;
}

std::intptr_t KeyboardHookProc(std::int32_t code, std::uintptr_t key, std::intptr_t key_data) {
  const std::int32_t virtual_key = static_cast<std::int32_t>(key & 0xFFFF);
  // The message's own key decides, by its down bit: a toggle bit left set
  // by an odd number of presses must not swallow every later key.
  const bool letter = virtual_key == 'S' || virtual_key == 'G' || virtual_key == 'Z';
  if (code >= 0 && letter && KeyStateDown(virtual_key) && !KeyStateDown(kVkShift) && !KeyStateDown(kVkControl) &&
      !KeyStateDown(kVkAlt))
    return 1;
  return Kb().call_next_hook(M().KeyboardHookHandle, code, key & 0xFFFF, key_data);
}

void PollKeyboard() {
  State& m = M();
  gnsxls::State& s = gnsxls::gnsxls_state;
  if (m.KeyboardDevice == 0) return;
  const OviKeyboardTable& kb = Kb();
  std::array<std::uint8_t, kKeyStateSize> now{};
  if (kb.get_state(m.KeyboardDevice, static_cast<std::uint32_t>(now.size()), now.data()) != ipc::kInputOk) {
    for (int tries = 0; tries < kMaxReacquire && kb.acquire(m.KeyboardDevice) == ipc::kInputLost; ++tries) {
    }
    return;
  }
  auto down = [&](std::uint8_t scan) { return (now[scan] & kKeyDown) != 0; };
  auto pressed = [&](std::uint8_t scan) { return down(scan) && (m.PrevKeyboardState[scan] & kKeyDown) == 0; };

  bool modifier = false;
  for (std::uint8_t scan : kModifierScan) modifier = modifier || down(scan);
  if (!modifier) {
    std::string text = TypedText();
    for (int i = 0; i < 26; ++i)
      if (pressed(kLetterScan[i]) && text.size() < kMaxTypedCharacters) text += static_cast<char>('A' + i);
    for (int d = 0; d < 10; ++d)
      if (pressed(kDigitScan[d]) && text.size() < kMaxTypedCharacters) text += static_cast<char>('0' + d);
    if (down(kBackspace)) {
      if (!text.empty()) text.pop_back();
      s.McuRedrawRequest = 1;
    }
    if (s.McuKeyboardEntryActive == 1) {
      if (TakesText(M().McuPage)) TypedText() = text;
      if (pressed(kCursorUp)) m.McuUpPressed = 1;
      if (pressed(kCursorDown)) m.McuDownPressed = 1;
      if (pressed(kPageUp)) m.McuPageUpPressed = 1;
      if (pressed(kPageDown)) m.McuPageDownPressed = 1;
      s.McuRedrawRequest = 1;
    }
    if (down(kEnter) || down(kNumpadEnter)) {
      if (s.McuKeyboardEntryActive == 1) {
        s.McuPageEntered = 1;
        s.McuKeyboardEntryActive = 0;
      }
      InstallKeyboardHook(0);
      ReleaseKeyboardInput();
    }
  }
  m.PrevKeyboardState = now;
}

void McuLeaveKeyboardEntry() {
  gnsxls::gnsxls_state.McuKeyboardEntryActive = 0;
  InstallKeyboardHook(0);
  ReleaseKeyboardInput();
}

}  // namespace ovi::mcu
