// MCU keyboard entry on a fake of the host's keyboard table, which the test
// executable exports (with a window registry that knows the simulator's
// main window) as the host executable would: set-up and its failures, the
// hook's choice, polls step by step, Enter, a lost device, releases.
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

constexpr std::uintptr_t kMainWindow = 0x4D41, kModule = 0x400000, kInput = 0x100, kDevice = 0x200, kHook = 0x300;

struct FakeKeyboard {
  int fail_at = 0;  // 1 interface, 2 device, 3 data format, 4 cooperation
  std::array<std::uint8_t, 256> keys{};
  std::map<std::int32_t, std::int16_t> key_state;
  int lost_reads = 0, lost_acquires = 0;
  std::string module_path;
  std::vector<std::uintptr_t> set_up;  // version, format, window, level
  int alive = 0;                       // interface + device made and not released
  int acquires = 0, unacquires = 0, releases = 0, reads = 0, hooks = 0, unhooks = 0;
  OviKeyboardHookProc proc = nullptr;
  std::vector<std::vector<std::intptr_t>> passed;  // hook, code, key, data
};
FakeKeyboard* fake = nullptr;

std::int32_t Step(int step) { return fake->fail_at == step ? ipc::kInputFailed : ipc::kInputOk; }
const OviKeyboardTable kTable = {
    ipc::kOviKeyboardVersion,
    [](const char* path) -> std::uintptr_t {
      fake->module_path = path;
      return kModule;
    },
    [](std::uintptr_t, std::uint32_t version, std::uintptr_t* input) {
      fake->set_up = {version};
      *input = Step(1) == ipc::kInputOk ? (++fake->alive, kInput) : 0;
      return Step(1);
    },
    [](std::uintptr_t, std::uintptr_t* device) {
      *device = Step(2) == ipc::kInputOk ? (++fake->alive, kDevice) : 0;
      return Step(2);
    },
    [](std::uintptr_t, std::uint32_t format) {
      fake->set_up.push_back(format);
      return Step(3);
    },
    [](std::uintptr_t, std::uintptr_t window, std::uint32_t level) {
      fake->set_up.insert(fake->set_up.end(), {window, level});
      return Step(4);
    },
    [](std::uintptr_t) { return ++fake->acquires, fake->lost_acquires-- > 0 ? ipc::kInputLost : ipc::kInputOk; },
    [](std::uintptr_t) { return ++fake->unacquires, ipc::kInputOk; },
    [](std::uintptr_t, std::uint32_t size, void* state) {
      ++fake->reads;
      if (fake->lost_reads-- > 0) return ipc::kInputLost;
      std::memcpy(state, fake->keys.data(), size);
      return ipc::kInputOk;
    },
    [](std::uintptr_t) { ++fake->releases, --fake->alive; },
    [](std::int32_t, OviKeyboardHookProc proc, std::uintptr_t, std::uint32_t) -> std::uintptr_t {
      ++fake->hooks;
      fake->proc = proc;
      return kHook;
    },
    [](std::uintptr_t hook) { return ++fake->unhooks, hook == kHook ? 1 : 0; },
    [](std::uintptr_t hook, std::int32_t code, std::uintptr_t key, std::intptr_t data) -> std::intptr_t {
      fake->passed.push_back({static_cast<std::intptr_t>(hook), code, static_cast<std::intptr_t>(key), data});
      return 0x77;
    },
    [](std::int32_t vk) -> std::int16_t { return fake->key_state.count(vk) ? fake->key_state[vk] : 0; },
    []() -> std::uint32_t { return 7; },
};
const OviIpcTable kWindows = {
    ipc::kOviIpcVersion,
    [](const char* name) { return std::strcmp(name, "FS98MAIN") == 0 ? kMainWindow : 0; },
    [](std::uintptr_t, std::uint32_t, std::uintptr_t, std::intptr_t) -> std::intptr_t { return 0; },
};

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

constexpr std::uint8_t kA = 0x1E, kB = 0x30, kZ = 0x2C, kS = 0x1F, kOne = 0x02, kTwo = 0x03, kZero = 0x0B;
constexpr std::uint8_t kBackspace = 0x0E, kEnter = 0x1C;

class McuKeyboardTest : public McuTest {
 protected:
  void SetUp() override {
    McuTest::SetUp();
    kb = FakeKeyboard{};
    fake = &kb;
    host::host_state.SimulatorFolder = "C:\\FS9";
  }
  void TearDown() override { fake = nullptr; }
  void On(std::int32_t page = kPageDirectTo) {
    M().McuPage = page;
    ToggleKeyboardEntry();
  }
  // One poll with these keys down and every other up.
  void Poll(std::initializer_list<std::uint8_t> down = {}) {
    kb.keys.fill(0);
    for (std::uint8_t s : down) kb.keys[s] = 0x80;
    PollKeyboard();
  }
  std::vector<int> Releases() const { return {kb.unhooks, kb.unacquires, kb.releases}; }
  FakeKeyboard kb;
};

TEST_F(McuKeyboardTest, SetUpAndEachOfItsFailures) {
  const char* texts[] = {"", "DirectInput failed", "CreateDevice failed", "SetDataFormat failed",
                         "SetCooperativeLevel failed"};
  for (int step = 4; step >= 0; --step) {
    SCOPED_TRACE(step);
    kb = FakeKeyboard{};
    kb.fail_at = step;
    S().KeyboardInputStatus.clear();
    InitKeyboardInput();
    EXPECT_EQ(S().KeyboardInputStatus, texts[step]);
    EXPECT_EQ(kb.alive, step == 0 ? 2 : 0);  // what was made is released
    EXPECT_EQ(kb.acquires, step == 0 ? 1 : 0);
    PollKeyboard();
    EXPECT_EQ(kb.reads, step == 0 ? 1 : 0);
  }
  EXPECT_EQ(kb.module_path, "C:\\FS9\\GAUGES\\ovi1.gau");
  EXPECT_EQ(kb.set_up, (std::vector<std::uintptr_t>{0x0800, ipc::kKeyboardDataFormat, kMainWindow, 6}));
  InitKeyboardInput();  // a second set-up releases the first
  EXPECT_EQ(kb.alive, 2);
  fake = nullptr;  // no host table: the first step fails
  McuLeaveKeyboardEntry();
  InitKeyboardInput();
  EXPECT_EQ(S().KeyboardInputStatus, "DirectInput failed");
}

// A key-down of S, G or Z with no modifier down is kept from the simulator;
// every other message goes down the chain, its key cut to 16 bits.
TEST_F(McuKeyboardTest, HookInstalledOnceAndWhatItDiscards) {
  EXPECT_EQ(InstallKeyboardHook(1), 1);
  EXPECT_EQ(InstallKeyboardHook(1), 0);
  EXPECT_EQ(kb.hooks, 1);
  constexpr std::int16_t kDown = static_cast<std::int16_t>(0x8000), kToggled = 1;
  struct Case {
    std::int32_t code;
    std::uintptr_t key;
    std::map<std::int32_t, std::int16_t> state;
    bool discarded;
  } cases[] = {
      {0, 'S', {{'S', kDown | kToggled}}, true},          {0, 'G', {{'G', kDown}}, true},
      {0, 'Z', {{'Z', kDown}}, true},                     {0, 0x10000 | 'S', {{'S', kDown}}, true},
      {0, 'S', {{'S', kDown}, {0x10, kDown}}, false},     {0, 'S', {{'S', kDown}, {0x11, kDown}}, false},
      {0, 'S', {{'S', kDown}, {0x12, kDown}}, false},     {0, 'S', {{'S', kToggled}}, false},  // released
      {0, 'A', {{'A', kDown}, {'S', kToggled}}, false},   {0, 'A', {{'A', kDown}, {'S', kDown}}, false},
      {-1, 'S', {{'S', kDown}}, false},
  };
  for (const Case& c : cases) {
    kb.key_state = c.state;
    kb.passed.clear();
    const std::intptr_t result = kb.proc(c.code, c.key, 0x001F0001);
    EXPECT_EQ(result, c.discarded ? 1 : 0x77) << c.key << " " << c.code;
    const std::vector<std::vector<std::intptr_t>> passed = {
        {kHook, c.code, static_cast<std::intptr_t>(c.key & 0xFFFF), 0x001F0001}};
    EXPECT_EQ(kb.passed, c.discarded ? std::vector<std::vector<std::intptr_t>>{} : passed);
  }
  EXPECT_EQ(InstallKeyboardHook(0), 1);
  EXPECT_EQ(InstallKeyboardHook(0), 0);
  EXPECT_EQ(kb.unhooks, 1);
}

// Poll after poll: letters then digits on a new press, a held key once, at
// most seven characters, Backspace at every poll while held, nothing at
// all while a modifier is down (not even once it is up), the right Alt no
// modifier, the cursor and page keys on a press.
TEST_F(McuKeyboardTest, PollsStepByStep) {
  On();
  struct Step {
    std::vector<std::uint8_t> down;
    const char* text;
    int events;  // up + down + page up + page down raised
  } steps[] = {
      {{kZ, kOne, kA}, "AZ1", 0}, {{kZ, kOne, kA}, "AZ1", 0},  {{kZ, kB, kZero}, "AZ1B0", 0},
      {{kS}, "AZ1B0S", 0},        {{}, "AZ1B0S", 0},           {{kA, kB}, "AZ1B0SA", 0},
      {{kZ}, "AZ1B0SA", 0},       {{kBackspace}, "AZ1B0S", 0}, {{kBackspace}, "AZ1B0", 0},
      {{0x2A, kA}, "AZ1B0", 0},   {{0x36, kBackspace}, "AZ1B0", 0}, {{0x1D, kEnter}, "AZ1B0", 0},
      {{0x9D, kA}, "AZ1B0", 0},   {{0x38, kA}, "AZ1B0", 0},    {{kA}, "AZ1B0", 0},  // pressed under Alt
      {{0xB8, kB}, "AZ1B0B", 0},  {{0xC8, 0xD0}, "AZ1B0B", 2}, {{0xC8, 0xD0, 0xC9, 0xD1}, "AZ1B0B", 2},
  };
  for (std::size_t i = 0; i < std::size(steps); ++i) {
    M().McuUpPressed = M().McuDownPressed = M().McuPageUpPressed = M().McuPageDownPressed = 0;
    kb.keys.fill(0);
    for (std::uint8_t s : steps[i].down) kb.keys[s] = 0x80;
    PollKeyboard();
    EXPECT_EQ(Md().McuEntryText, steps[i].text) << "step " << i;
    EXPECT_EQ(M().McuUpPressed + M().McuDownPressed + M().McuPageUpPressed + M().McuPageDownPressed,
              steps[i].events) << "step " << i;
    EXPECT_EQ(S().McuKeyboardEntryActive, 1) << "step " << i;
  }
}

// The typed text goes where the page takes it: the crossing altitude on
// LEGS in crossing entry, the entry text on APT, DIRTO and LEGS, nowhere
// else.
TEST_F(McuKeyboardTest, TheTypedTextGoesWhereThePageTakesIt) {
  struct Case {
    std::int32_t page;
    int crossing;
    const char* entry_text;
    const char* crossing_text;
  } cases[] = {{kPageAirport, 0, "A", ""}, {kPageDirectTo, 0, "A", ""}, {kPageLegs, 0, "A", ""},
               {kPageLegs, 1, "", "1"},    {kPageAltitude, 0, "", ""},  {kPageStatus, 0, "", ""}};
  for (const Case& c : cases) {
    SetUp();
    On();
    M().McuPage = c.page;
    M().McuCrossingEntryActive = c.crossing;
    Poll({c.crossing == 1 ? kOne : kA});
    EXPECT_EQ(Md().McuEntryText + "|" + Md().McuKeyboardEntry, std::string(c.entry_text) + "|" + c.crossing_text)
        << c.page << " " << c.crossing;
  }
}

TEST_F(McuKeyboardTest, EnterEndsEntryInThePollALostDeviceTypesNothing) {
  for (std::uint8_t enter : {0x1C, 0x9C}) {
    SetUp();
    On();
    Poll({kA, enter});
    EXPECT_EQ(Md().McuEntryText, "A");  // typed first
    EXPECT_EQ(S().McuPageEntered, 1);
    EXPECT_EQ(S().McuKeyboardEntryActive + M().KeyboardHookInstalled + kb.alive, 0);
    EXPECT_EQ(Releases(), (std::vector<int>{1, 1, 2}));
  }
  SetUp();
  On();
  kb.lost_reads = 1;
  kb.lost_acquires = 3;
  Poll({kA});
  EXPECT_EQ(kb.acquires, 1 + 4);  // three lost, then acquired
  EXPECT_EQ(Md().McuEntryText, "");
  Poll({kA});  // still a new press
  EXPECT_EQ(Md().McuEntryText, "A");
  kb.lost_reads = 1;
  kb.lost_acquires = 1000;
  Poll();
  EXPECT_EQ(kb.acquires, 5 + kMaxReacquire);
}

// KBD twice, a page key, ENTER, the disconnect: each releases once, and
// nothing is released twice.
TEST_F(McuKeyboardTest, ReleasedOnceWhicheverWayKeyboardEntryEnds) {
  On();
  Md().McuEntryText = "ABC";
  ToggleKeyboardEntry();
  EXPECT_EQ(Md().McuEntryText, "");
  EXPECT_EQ(Releases(), (std::vector<int>{1, 1, 2}));
  On();
  McuStatusKey();
  McuStatusKey();
  EXPECT_EQ(Releases(), (std::vector<int>{2, 2, 4}));
  On();
  McuEnterKey();
  EXPECT_EQ(Releases(), (std::vector<int>{3, 3, 6}));
  On();
  mcu_gauge.gauge_callback(&mcu_gauge, PANEL_SERVICE_DISCONNECT, 0);
  mcu_lm_gauge.gauge_callback(&mcu_lm_gauge, PANEL_SERVICE_DISCONNECT, 0);
  EXPECT_EQ(Releases(), (std::vector<int>{4, 4, 8}));
  EXPECT_EQ(S().McuKeyboardEntryActive + kb.alive, 0);
}

// Through the gauge: the poll comes before the frame, so a crossing
// altitude typed with Enter is taken by that frame; until then the typed
// text stands on the entry line.
TEST_F(McuKeyboardTest, ACrossingAltitudeTypedIsTakenInTheFrameOfItsEnter) {
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
  kb.keys[kTwo] = 0x80;
  mcu_gauge.gauge_callback(&mcu_gauge, PANEL_SERVICE_PRE_DRAW, 0);
  EXPECT_EQ(Md().McuEntryText, "> Cross B At 2");
  kb.keys[kZero] = kb.keys[kEnter] = 0x80;
  mcu_gauge.gauge_callback(&mcu_gauge, PANEL_SERVICE_PRE_DRAW, 0);
  screen->image = {};
  EXPECT_EQ(F().ActiveFlightPlan[2].altitude_constraint, 20.0);
  EXPECT_EQ(F().ActiveFlightPlan[2].constraint_flag, 1u);
  EXPECT_EQ(M().McuPage, kPageStatus);
}

}  // namespace
}  // namespace ovi::mcu::test
