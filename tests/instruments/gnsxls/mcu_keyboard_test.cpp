// MCU keyboard entry on a fake of the host's keyboard table: set-up and its
// failures, the hook's choice, the polls (edges, order, Backspace,
// modifiers, the cursor keys, Enter, a lost device) and what is released.
// The test executable exports the fake table (and a window registry that
// knows the simulator's main window) as the host executable would.
#include <array>
#include <cstring>
#include <map>
#include <string>

#include "platform/gfx/device_context.h"
#include "platform/ipc/ipc.h"
#include "platform/ipc/keyboard.h"
#include "src/host/state.h"
#include "src/instruments/gnsxls/mcu/gauges.h"
#include "src/instruments/gnsxls/mcu/keyboard.h"
#include "src/instruments/gnsxls/mcu/keys.h"
#include "tests/instruments/gnsxls/mcu_support.h"

namespace ovi::mcu::test {
namespace {

constexpr std::uintptr_t kMainWindow = 0x4D41;
constexpr std::uintptr_t kModule = 0x400000;
constexpr std::uintptr_t kInput = 0x100, kDevice = 0x200, kHook = 0x300;

enum Step { kNoFailure, kFailInput, kFailDevice, kFailFormat, kFailLevel };

struct FakeKeyboard {
  Step fail = kNoFailure;
  std::array<std::uint8_t, 256> keys{};
  std::map<std::int32_t, std::int16_t> key_state;  // by virtual key
  int lost_reads = 0;     // reads still to answer "lost"
  int lost_acquires = 0;  // acquisitions still to answer "lost"
  bool refuse_hook = false;
  std::intptr_t next_result = 0x77;

  std::string module_path;
  std::uintptr_t window = 0;
  std::uint32_t version = 0, format = 0, level = 0;
  bool input_alive = false, device_alive = false;
  int acquires = 0, unacquires = 0, releases = 0, reads = 0, hooks = 0, unhooks = 0;
  OviKeyboardHookProc proc = nullptr;
  struct Next {
    std::uintptr_t hook;
    std::int32_t code;
    std::uintptr_t key;
    std::intptr_t data;
  };
  std::vector<Next> passed;
};

FakeKeyboard* fake = nullptr;

std::uintptr_t ModuleHandle(const char* path) {
  fake->module_path = path;
  const std::string p = path;
  const std::string tail = "\\GAUGES\\ovi1.gau";
  return p.size() >= tail.size() && p.compare(p.size() - tail.size(), tail.size(), tail) == 0 ? kModule : 0;
}
std::int32_t CreateInput(std::uintptr_t module, std::uint32_t version, std::uintptr_t* input) {
  fake->version = version;
  *input = 0;
  if (fake->fail == kFailInput || module != kModule) return ipc::kInputFailed;
  fake->input_alive = true;
  *input = kInput;
  return ipc::kInputOk;
}
std::int32_t CreateKeyboard(std::uintptr_t input, std::uintptr_t* device) {
  *device = 0;
  if (fake->fail == kFailDevice || input != kInput) return ipc::kInputFailed;
  fake->device_alive = true;
  *device = kDevice;
  return ipc::kInputOk;
}
std::int32_t SetDataFormat(std::uintptr_t, std::uint32_t format) {
  fake->format = format;
  return fake->fail == kFailFormat ? ipc::kInputInvalid : ipc::kInputOk;
}
std::int32_t SetCooperativeLevel(std::uintptr_t, std::uintptr_t window, std::uint32_t level) {
  fake->window = window;
  fake->level = level;
  return fake->fail == kFailLevel ? ipc::kInputInvalid : ipc::kInputOk;
}
std::int32_t Acquire(std::uintptr_t) {
  ++fake->acquires;
  if (fake->lost_acquires > 0) {
    --fake->lost_acquires;
    return ipc::kInputLost;
  }
  return ipc::kInputOk;
}
std::int32_t Unacquire(std::uintptr_t) {
  ++fake->unacquires;
  return ipc::kInputOk;
}
std::int32_t GetState(std::uintptr_t, std::uint32_t size, void* state) {
  ++fake->reads;
  if (fake->lost_reads > 0) {
    --fake->lost_reads;
    return ipc::kInputLost;
  }
  std::memcpy(state, fake->keys.data(), size);
  return ipc::kInputOk;
}
void Release(std::uintptr_t object) {
  ++fake->releases;
  if (object == kDevice) fake->device_alive = false;
  if (object == kInput) fake->input_alive = fake->device_alive = false;
}
std::uintptr_t SetHook(std::int32_t kind, OviKeyboardHookProc proc, std::uintptr_t, std::uint32_t thread) {
  if (fake->refuse_hook || kind != ipc::kKeyboardHook || thread != 7) return 0;
  ++fake->hooks;
  fake->proc = proc;
  return kHook;
}
std::int32_t Unhook(std::uintptr_t hook) {
  ++fake->unhooks;
  return hook == kHook ? 1 : 0;
}
std::intptr_t CallNextHook(std::uintptr_t hook, std::int32_t code, std::uintptr_t key, std::intptr_t data) {
  fake->passed.push_back({hook, code, key, data});
  return fake->next_result;
}
std::int16_t KeyState(std::int32_t vk) {
  auto it = fake->key_state.find(vk);
  return it != fake->key_state.end() ? it->second : 0;
}
std::uint32_t Thread() { return 7; }

const OviKeyboardTable kTable = {ipc::kOviKeyboardVersion, ModuleHandle, CreateInput, CreateKeyboard, SetDataFormat,
                                 SetCooperativeLevel, Acquire, Unacquire, GetState, Release, SetHook, Unhook,
                                 CallNextHook, KeyState, Thread};

std::uintptr_t FindWindow(const char* name) {
  return std::strcmp(name, ipc::kSimulatorWindowClass) == 0 ? kMainWindow : 0;
}
std::intptr_t SendMessage(std::uintptr_t, std::uint32_t, std::uintptr_t, std::intptr_t) { return 0; }
const OviIpcTable kWindows = {ipc::kOviIpcVersion, FindWindow, SendMessage};

}  // namespace
}  // namespace ovi::mcu::test

extern "C" __attribute__((visibility("default"))) const OviKeyboardTable* ovi_keyboard_table(void) {
  return ovi::mcu::test::fake != nullptr ? &ovi::mcu::test::kTable : nullptr;
}
extern "C" __attribute__((visibility("default"))) const OviIpcTable* ovi_ipc_table(void) {
  return &ovi::mcu::test::kWindows;
}

namespace ovi::mcu::test {
namespace {

constexpr std::uint8_t kA = 0x1E, kB = 0x30, kZ = 0x2C, kS = 0x1F, kOne = 0x02, kZero = 0x0B, kBackspace = 0x0E;

class McuKeyboardTest : public McuTest {
 protected:
  void SetUp() override {
    McuTest::SetUp();
    kb = FakeKeyboard{};
    fake = &kb;
    host::host_state.SimulatorFolder = "C:\\FS9";
  }
  void TearDown() override { fake = nullptr; }
  // Keyboard entry on as the KBD key puts it on, on `page`.
  void On(std::int32_t page = kPageDirectTo) {
    M().McuPage = page;
    ToggleKeyboardEntry();
  }
  void Down(std::uint8_t scan) { kb.keys[scan] = 0x80; }
  void Up(std::uint8_t scan) { kb.keys[scan] = 0x00; }
  // One poll with these keys down (and every other up).
  void Poll(std::initializer_list<std::uint8_t> down = {}) {
    kb.keys.fill(0);
    for (std::uint8_t s : down) Down(s);
    PollKeyboard();
  }
  FakeKeyboard kb;
};

TEST_F(McuKeyboardTest, SetUpAndEachOfItsFailures) {
  struct Case {
    Step fail;
    const char* status;
    int releases;
  } cases[] = {{kFailInput, "DirectInput failed", 0},
               {kFailDevice, "CreateDevice failed", 1},   // the interface
               {kFailFormat, "SetDataFormat failed", 2},  // device and interface
               {kFailLevel, "SetCooperativeLevel failed", 2}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.status);
    kb = FakeKeyboard{};
    kb.fail = c.fail;
    S().KeyboardInputStatus.clear();
    InitKeyboardInput();
    EXPECT_EQ(S().KeyboardInputStatus, c.status);
    EXPECT_EQ(kb.releases, c.releases);
    EXPECT_FALSE(kb.input_alive || kb.device_alive);
    EXPECT_EQ(M().KeyboardDevice + M().DirectInputInterface, 0u);
    EXPECT_EQ(kb.acquires, 0);
    // Polls without a device read nothing.
    PollKeyboard();
    EXPECT_EQ(kb.reads, 0);
  }
  kb = FakeKeyboard{};
  S().KeyboardInputStatus.clear();
  InitKeyboardInput();
  EXPECT_EQ(S().KeyboardInputStatus, "");
  EXPECT_EQ(kb.module_path, "C:\\FS9\\GAUGES\\ovi1.gau");
  EXPECT_EQ(kb.version, 0x0800u);
  EXPECT_EQ(kb.format, ipc::kKeyboardDataFormat);
  EXPECT_EQ(kb.window, kMainWindow);
  EXPECT_EQ(kb.level, 6u);
  EXPECT_EQ(kb.acquires, 1);
  EXPECT_TRUE(kb.device_alive);
  // A second set-up does not leave the first behind.
  InitKeyboardInput();
  EXPECT_EQ(kb.releases, 2);
  EXPECT_TRUE(kb.device_alive);
  // No host table: the first step fails.
  fake = nullptr;
  McuLeaveKeyboardEntry();
  InitKeyboardInput();
  EXPECT_EQ(S().KeyboardInputStatus, "DirectInput failed");
}

TEST_F(McuKeyboardTest, HookInstallAndRemove) {
  EXPECT_EQ(InstallKeyboardHook(1), 1);
  EXPECT_EQ(InstallKeyboardHook(1), 0);  // already so
  EXPECT_EQ(kb.hooks, 1);
  EXPECT_EQ(InstallKeyboardHook(0), 1);
  EXPECT_EQ(InstallKeyboardHook(0), 0);
  EXPECT_EQ(kb.unhooks, 1);
  kb.refuse_hook = true;
  EXPECT_EQ(InstallKeyboardHook(1), 0);
  EXPECT_EQ(M().KeyboardHookInstalled, 0);
  EXPECT_EQ(InstallKeyboardHook(0), 0);  // nothing to remove
  EXPECT_EQ(kb.unhooks, 1);
}

// A key-down of S, G or Z typed with no modifier down is kept from the
// simulator; everything else goes down the chain, its key cut to 16 bits.
TEST_F(McuKeyboardTest, TheHookDecidesOnTheMessagesOwnKey) {
  InstallKeyboardHook(1);
  constexpr std::int16_t kDown = static_cast<std::int16_t>(0x8000);
  constexpr std::int16_t kToggled = 1;
  struct Case {
    const char* what;
    std::int32_t code;
    std::uintptr_t key;
    std::map<std::int32_t, std::int16_t> state;
    bool discarded;
  } cases[] = {
      {"S down", 0, 'S', {{'S', kDown | kToggled}}, true},
      {"G down", 0, 'G', {{'G', kDown}}, true},
      {"Z down", 0, 'Z', {{'Z', kDown}}, true},
      {"S with high key bits", 0, 0x10000 | 'S', {{'S', kDown}}, true},
      {"S with Shift", 0, 'S', {{'S', kDown}, {0x10, kDown}}, false},
      {"S with Ctrl", 0, 'S', {{'S', kDown}, {0x11, kDown}}, false},
      {"S with Alt", 0, 'S', {{'S', kDown}, {0x12, kDown}}, false},
      {"S released", 0, 'S', {{'S', kToggled}}, false},
      {"A after an odd number of S", 0, 'A', {{'A', kDown}, {'S', kToggled}}, false},
      {"A while S is held", 0, 'A', {{'A', kDown}, {'S', kDown}}, false},
      {"a negative code", -1, 'S', {{'S', kDown}}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    kb.key_state = c.state;
    kb.passed.clear();
    const std::intptr_t data = 0x001F0001;
    const std::intptr_t result = kb.proc(c.code, c.key, data);
    if (c.discarded) {
      EXPECT_EQ(result, 1);
      EXPECT_TRUE(kb.passed.empty());
    } else {
      EXPECT_EQ(result, kb.next_result);
      ASSERT_EQ(kb.passed.size(), 1u);
      EXPECT_EQ(kb.passed[0].hook, kHook);
      EXPECT_EQ(kb.passed[0].code, c.code);
      EXPECT_EQ(kb.passed[0].key, c.key & 0xFFFF);
      EXPECT_EQ(kb.passed[0].data, data);
    }
  }
}

// New presses type: letters in alphabet order, then digits; a held key
// types once; at most seven characters.
TEST_F(McuKeyboardTest, NewPressesTypeInOrderOnceAndAtMostSeven) {
  On();
  Poll({kZ, kOne, kA});
  EXPECT_EQ(Md().McuEntryText, "AZ1");
  Poll({kZ, kOne, kA});  // held
  EXPECT_EQ(Md().McuEntryText, "AZ1");
  Poll({kZ, kB, kZero});  // B and 0 new, Z held
  EXPECT_EQ(Md().McuEntryText, "AZ1B0");
  for (std::uint8_t k : {kA, kS, kA, kS}) {
    Poll();
    Poll({k});
  }
  EXPECT_EQ(Md().McuEntryText, "AZ1B0AS");
  EXPECT_EQ(S().McuRedrawRequest, 1);
}

TEST_F(McuKeyboardTest, BackspaceErasesAtEveryPollWhileHeld) {
  On();
  Md().McuEntryText = "ABCD";
  Poll({kBackspace});
  Poll({kBackspace});
  Poll({kBackspace});
  EXPECT_EQ(Md().McuEntryText, "A");
  Poll({kBackspace});
  Poll({kBackspace});
  EXPECT_EQ(Md().McuEntryText, "");
}

// With either Shift, either Ctrl or the left Alt down nothing is typed,
// erased or entered; a letter pressed meanwhile does not type when the
// modifier goes up. The right Alt is no such modifier.
TEST_F(McuKeyboardTest, ModifiersHoldTheWholePoll) {
  for (std::uint8_t modifier : {0x2A, 0x36, 0x1D, 0x9D, 0x38}) {
    SCOPED_TRACE(static_cast<int>(modifier));
    SetUp();
    On();
    Md().McuEntryText = "XY";
    Poll({modifier, kA, kBackspace, 0x1C});
    EXPECT_EQ(Md().McuEntryText, "XY");
    EXPECT_EQ(S().McuKeyboardEntryActive, 1);
    Poll({kA});
    EXPECT_EQ(Md().McuEntryText, "XY");
  }
  Poll({0xB8, kB});
  EXPECT_EQ(Md().McuEntryText, "XYB");
}

TEST_F(McuKeyboardTest, CursorAndPageKeysRaiseTheirEventsOnAPress) {
  On(kPageFlightPlan);
  Poll({0xC8, 0xC9});
  EXPECT_EQ(M().McuUpPressed + M().McuPageUpPressed, 2);
  M().McuUpPressed = M().McuPageUpPressed = 0;
  Poll({0xC8, 0xC9, 0xD0, 0xD1});  // up keys held
  EXPECT_EQ(M().McuUpPressed + M().McuPageUpPressed, 0);
  EXPECT_EQ(M().McuDownPressed + M().McuPageDownPressed, 2);
  EXPECT_EQ(Md().McuEntryText, "");  // FPLN takes no text
}

// Each page's text: the entry text on APT, DIRTO and LEGS, the crossing
// altitude on LEGS in crossing entry, none elsewhere.
TEST_F(McuKeyboardTest, TheTypedTextGoesWhereThePageTakesIt) {
  struct Case {
    std::int32_t page;
    int crossing;
    const char* entry_text;
    const char* crossing_text;
  } cases[] = {
      {kPageAirport, 0, "A", ""}, {kPageDirectTo, 0, "A", ""}, {kPageLegs, 0, "A", ""},
      {kPageLegs, 1, "", "1"},    {kPageAltitude, 0, "", ""},  {kPageStatus, 0, "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.page * 10 + c.crossing);
    SetUp();
    On(kPageDirectTo);
    M().McuPage = c.page;
    M().McuCrossingEntryActive = c.crossing;
    Poll({c.crossing == 1 ? kOne : kA});
    EXPECT_EQ(Md().McuEntryText, c.entry_text);
    EXPECT_EQ(Md().McuKeyboardEntry, c.crossing_text);
  }
}

TEST_F(McuKeyboardTest, EnterEndsKeyboardEntryAndReleasesEverything) {
  for (std::uint8_t enter : {0x1C, 0x9C}) {
    SCOPED_TRACE(static_cast<int>(enter));
    SetUp();
    On();
    ASSERT_EQ(kb.hooks, 1);
    Poll({kA, enter});
    EXPECT_EQ(Md().McuEntryText, "A");  // typed first
    EXPECT_EQ(S().McuPageEntered, 1);
    EXPECT_EQ(S().McuKeyboardEntryActive, 0);
    EXPECT_EQ(kb.unhooks, 1);
    EXPECT_EQ(kb.unacquires, 1);
    EXPECT_EQ(kb.releases, 2);
    EXPECT_FALSE(kb.input_alive || kb.device_alive);
    EXPECT_EQ(M().KeyboardHookInstalled, 0);
  }
}

TEST_F(McuKeyboardTest, ALostDeviceIsReacquiredWithinABoundAndTypesNothing) {
  On();
  kb.lost_reads = 1;
  kb.lost_acquires = 3;
  const int acquired = kb.acquires;
  Poll({kA});
  EXPECT_EQ(kb.acquires - acquired, 4);  // three lost, then acquired
  EXPECT_EQ(Md().McuEntryText, "");
  Poll({kA});  // the press is still new
  EXPECT_EQ(Md().McuEntryText, "A");
  kb.lost_reads = 1;
  kb.lost_acquires = 1000;
  const int before = kb.acquires;
  Poll();
  EXPECT_EQ(kb.acquires - before, kMaxReacquire);
}

// The KBD key twice, and keyboard entry left by a page key and at
// disconnect: each release once, and nothing after.
TEST_F(McuKeyboardTest, ReleasedOnceWhicheverWayKeyboardEntryEnds) {
  On();
  Md().McuEntryText = "ABC";
  ToggleKeyboardEntry();
  EXPECT_EQ(Md().McuEntryText, "");
  EXPECT_EQ((std::vector<int>{kb.unhooks, kb.unacquires, kb.releases}), (std::vector<int>{1, 1, 2}));
  On();
  McuStatusKey();
  EXPECT_EQ((std::vector<int>{kb.unhooks, kb.unacquires, kb.releases}), (std::vector<int>{2, 2, 4}));
  McuStatusKey();
  EXPECT_EQ((std::vector<int>{kb.unhooks, kb.unacquires, kb.releases}), (std::vector<int>{2, 2, 4}));
  On();
  mcu_gauge.gauge_callback(&mcu_gauge, PANEL_SERVICE_DISCONNECT, 0);
  EXPECT_EQ((std::vector<int>{kb.unhooks, kb.unacquires, kb.releases}), (std::vector<int>{3, 3, 6}));
  EXPECT_EQ(S().McuKeyboardEntryActive, 0);
  mcu_lm_gauge.gauge_callback(&mcu_lm_gauge, PANEL_SERVICE_DISCONNECT, 0);
  EXPECT_EQ(kb.releases, 6);
}

// Through the gauge: the poll comes before the frame, so a crossing
// altitude typed with Enter in one poll is taken by that frame.
TEST_F(McuKeyboardTest, EnterActsInTheSameFrame) {
  flightplan::test::MakeActive({"KSEA", "A", "B"});
  F().ActiveWaypointIndex = 1;
  F().RouteState = 3;
  Md().CruiseAlt = 16000;
  S().McuLegsCursor = 2;
  McuCrossingKey();
  ToggleKeyboardEntry();
  gfx::DeviceContext dc(420, 159);
  ELEMENT_HEADER* screen = mcu_gauge.elements_list[0]->next_element[0];
  screen->image = {{420, 159}, &dc};
  Down(0x03);  // 2
  mcu_gauge.gauge_callback(&mcu_gauge, PANEL_SERVICE_PRE_DRAW, 0);
  EXPECT_EQ(Md().McuKeyboardEntry, "2");
  EXPECT_EQ(Md().McuEntryText, "> Cross B At 2");  // the typed text stands
  Down(kZero);
  Down(0x1C);
  mcu_gauge.gauge_callback(&mcu_gauge, PANEL_SERVICE_PRE_DRAW, 0);
  screen->image = {};
  EXPECT_EQ(F().ActiveFlightPlan[2].altitude_constraint, 20.0);
  EXPECT_EQ(F().ActiveFlightPlan[2].constraint_flag, 1u);
  EXPECT_EQ(M().McuPage, kPageStatus);
  EXPECT_EQ(S().McuKeyboardEntryActive, 0);
}

}  // namespace
}  // namespace ovi::mcu::test
