// The module's own calls (FSUIPC client, traffic provider link, GPS route
// reading) against ovi-sim's stand-ins, in one process; the keyboard hook
// chain the stand-in offers.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "platform/ipc/fsuipc_protocol.h"
#include "platform/ipc/ipc.h"
#include "platform/ipc/keyboard.h"
#include "sim/simulator.h"
#include "src/host/fsuipc.h"
#include "src/host/gps_route.h"
#include "src/host/module_state.h"
#include "src/host/state.h"
#include "src/host/traffic_link.h"
#include "src/model/state.h"
#include "src/util/text.h"
#include "tests/support/navdata_fixture.h"

namespace ovi {
namespace {

using namespace host;

class IpcTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetModuleState();
    host_state.Panels = sim.panels();
  }
  void TearDown() override {
    FsuipcClose();
    ResetModuleState();
  }
  sim::Simulator sim;
  std::uint8_t area[kFsuipcCallerArea] = {};
  std::uint32_t code = 99;
};

TEST(WindowRegistry, FindsSendsAndForgets) {
  auto proc = [](void* user, std::uint32_t message, std::uintptr_t wparam, std::intptr_t) -> std::intptr_t {
    return static_cast<std::intptr_t>(message + wparam + *static_cast<int*>(user));
  };
  int extra = 5;
  std::uintptr_t w = ipc::RegisterWindow("TESTWND", proc, &extra);
  ASSERT_NE(w, 0u);
  EXPECT_EQ(ipc::RegisterWindow("TESTWND", proc, &extra), 0u);  // one window a class
  EXPECT_EQ(ipc::RegisterWindow("", proc, nullptr), 0u);
  EXPECT_EQ(ipc::RegisterWindow(std::string(64, 'x').c_str(), proc, nullptr), 0u);
  EXPECT_EQ(ipc::RegisterWindow("NOPROC", nullptr, nullptr), 0u);
  EXPECT_EQ(ipc::FindWindowByClass("TESTWND"), w);
  EXPECT_EQ(ipc::FindWindowByClass("testwnd"), 0u);
  EXPECT_EQ(ipc::FindWindowByClass(nullptr), 0u);
  EXPECT_EQ(ipc::SendWindowMessage(w, 10, 20, 0), 35);
  ipc::UnregisterWindow(w);
  EXPECT_EQ(ipc::FindWindowByClass("TESTWND"), 0u);
  EXPECT_EQ(ipc::SendWindowMessage(w, 10, 20, 0), 0);  // a stale handle reaches nothing
  std::uintptr_t again = ipc::RegisterWindow("TESTWND", proc, &extra);
  EXPECT_NE(again, w);  // handles are not reused
  ipc::UnregisterWindow(again);
}

TEST_F(IpcTest, FuelLevelsAndWeightsThroughOneBatch) {
  sim.aircraft().zero_fuel_weight = 100000.0;
  sim.aircraft().payload = 12345.5;
  ASSERT_EQ(FsuipcOpen(0, &code, area, sizeof area), 1);
  EXPECT_EQ(code, kFsuipcOk);
  std::uint32_t full = 8388608, half = 4194304, zfw = 0, stations = 0;
  double payload = 0.0;
  EXPECT_EQ(FsuipcWrite(0x0B7C, 4, &full, &code), 1);
  EXPECT_EQ(FsuipcWrite(0x0B94, 4, &full, &code), 1);
  EXPECT_EQ(FsuipcWrite(0x0B74, 4, &half, &code), 1);
  EXPECT_EQ(FsuipcRead(0x3BFC, 4, &zfw, &code), 1);
  EXPECT_EQ(FsuipcRead(0x13FC, 4, &stations, &code), 1);
  EXPECT_EQ(FsuipcRead(0x1400, 8, &payload, &code), 1);
  EXPECT_EQ(sim.aircraft().fuel_left, 1500.0);  // nothing reaches the server before processing
  ASSERT_EQ(FsuipcProcess(&code), 1);
  EXPECT_EQ(code, kFsuipcOk);
  EXPECT_EQ(sim.aircraft().fuel_left, 2000.0);
  EXPECT_EQ(sim.aircraft().fuel_right, 2000.0);
  EXPECT_EQ(sim.aircraft().fuel_centre, 2000.0);
  EXPECT_EQ(zfw, 100000u * 256u);
  EXPECT_EQ(stations, 1u);
  EXPECT_EQ(payload, 12345.5);
  EXPECT_EQ(FsuipcProcess(&code), 0);  // the queue is empty afterwards
  EXPECT_EQ(code, kFsuipcNothingQueued);
  FsuipcClose();
  EXPECT_EQ(sim.fsuipc().batches(), 1);
}

TEST_F(IpcTest, RunwayExchangeAnswersTheAirportAsked) {
  sim::AiRunways lszh;
  lszh.departures = {28, 0, 16, 0};
  lszh.arrivals = {14, 0, 0, 0};
  sim.fsuipc().SetAiRunways("LSZH", lszh);
  ASSERT_EQ(FsuipcOpen(0, &code, area, sizeof area), 1);
  char ident[4] = {'L', 'S', 'Z', 'H'};
  std::uint32_t request = 0x4BD9;
  std::uint8_t dep[4] = {}, arr[4] = {};
  FsuipcWrite(0xD004, 4, ident, &code);
  FsuipcWrite(0xD000, 4, &request, &code);
  FsuipcRead(0xD00C, 4, dep, &code);
  FsuipcRead(0xD010, 4, arr, &code);
  ASSERT_EQ(FsuipcProcess(&code), 1);
  EXPECT_EQ(std::vector<int>(dep, dep + 4), (std::vector<int>{28, 0, 16, 0}));
  EXPECT_EQ(std::vector<int>(arr, arr + 4), (std::vector<int>{14, 0, 0, 0}));
  std::memcpy(ident, "EGLL", 4);  // an airport the provider does not know
  FsuipcWrite(0xD004, 4, ident, &code);
  FsuipcWrite(0xD000, 4, &request, &code);
  FsuipcRead(0xD00C, 4, dep, &code);
  ASSERT_EQ(FsuipcProcess(&code), 1);
  EXPECT_EQ(dep[0], 0);
}

TEST_F(IpcTest, EveryFailureCode) {
  std::uint32_t v = 1;
  // Not open.
  EXPECT_EQ(FsuipcWrite(0x0B74, 4, &v, &code), 0);
  EXPECT_EQ(code, kFsuipcNotOpen);
  EXPECT_EQ(FsuipcRead(0x0B74, 4, &v, &code), 0);
  EXPECT_EQ(code, kFsuipcNotOpen);
  EXPECT_EQ(FsuipcProcess(&code), 0);
  EXPECT_EQ(code, kFsuipcNotOpen);
  // Area too small, or none.
  EXPECT_EQ(FsuipcOpen(0, &code, area, kFsuipcMinArea - 1), 0);
  EXPECT_EQ(code, kFsuipcAreaSize);
  EXPECT_EQ(FsuipcOpen(0, &code, nullptr, 1024), 0);
  EXPECT_EQ(code, kFsuipcAreaSize);
  // Another simulator than asked for.
  EXPECT_EQ(FsuipcOpen(ipc::kFsuipcSimFsx, &code, area, sizeof area), 0);
  EXPECT_EQ(code, kFsuipcWrongSimulator);
  EXPECT_EQ(FsuipcOpen(ipc::kFsuipcSimFs2004, &code, area, sizeof area), 1);
  // Already open.
  EXPECT_EQ(FsuipcOpen(0, &code, area, sizeof area), 0);
  EXPECT_EQ(code, kFsuipcAlreadyOpen);
  // Nothing queued.
  EXPECT_EQ(FsuipcProcess(&code), 0);
  EXPECT_EQ(code, kFsuipcNothingQueued);
  // Refused by the server (an offset past its memory): nothing applied.
  double before = sim.aircraft().fuel_centre;
  std::uint32_t full = 8388608;
  FsuipcWrite(0x0B74, 4, &full, &code);
  FsuipcWrite(0xFFFE, 4, &v, &code);
  EXPECT_EQ(FsuipcProcess(&code), 0);
  EXPECT_EQ(code, kFsuipcNotAccepted);
  EXPECT_EQ(sim.aircraft().fuel_centre, before);
  EXPECT_EQ(sim.fsuipc().refused(), 1);
  // Null buffers are refused, not queued.
  EXPECT_EQ(FsuipcWrite(0x0B74, 4, nullptr, &code), 0);
  EXPECT_EQ(code, kFsuipcAreaSize);
  EXPECT_EQ(FsuipcRead(0x0B74, 4, nullptr, &code), 0);
  EXPECT_EQ(code, kFsuipcAreaSize);
  FsuipcClose();
  // No server.
  sim.fsuipc().Stop();
  EXPECT_EQ(FsuipcOpen(0, &code, area, sizeof area), 0);
  EXPECT_EQ(code, kFsuipcNoServer);
  // A server that does not say which simulator it serves.
  std::uintptr_t mute = ipc::RegisterWindow(
      "UIPCMAIN", [](void*, std::uint32_t, std::uintptr_t, std::intptr_t) -> std::intptr_t { return 0; }, nullptr);
  ASSERT_NE(mute, 0u);
  EXPECT_EQ(FsuipcOpen(0, &code, area, sizeof area), 0);
  EXPECT_EQ(code, kFsuipcVersion);
  ipc::UnregisterWindow(mute);
  EXPECT_EQ(FsuipcOpen(0, nullptr, area, sizeof area), 0);  // no result slot: still refused, no crash
}

TEST_F(IpcTest, TheAreaNeverOverflows) {
  // A 64-byte area holds one 24-byte header with up to 36 bytes of data and
  // the 4-byte end mark.
  std::uint8_t small[64 + 16];
  std::memset(small, 0xAB, sizeof small);
  ASSERT_EQ(FsuipcOpen(0, &code, small, 64), 1);
  std::uint8_t data[64] = {};
  EXPECT_EQ(FsuipcWrite(0x1000, 37, data, &code), 0);
  EXPECT_EQ(code, kFsuipcAreaSize);
  EXPECT_EQ(FsuipcWrite(0x1000, 0xFFFFFFFFu, data, &code), 0);  // a size that wraps when padded
  EXPECT_EQ(code, kFsuipcAreaSize);
  EXPECT_EQ(FsuipcWrite(0x1000, 36, data, &code), 1);
  EXPECT_EQ(FsuipcRead(0x1000, 1, data, &code), 0);
  EXPECT_EQ(code, kFsuipcAreaSize);
  ASSERT_EQ(FsuipcProcess(&code), 1);
  for (std::size_t i = 64; i < sizeof small; ++i) EXPECT_EQ(small[i], 0xAB) << i;  // nothing past the area
  FsuipcClose();

  // A large area is used up to 32512 bytes only.
  std::vector<std::uint8_t> big(40000, 0xCD);
  ASSERT_EQ(FsuipcOpen(0, &code, big.data(), 40000), 1);
  std::vector<std::uint8_t> block(32512);
  EXPECT_EQ(FsuipcRead(0, 32512 - 28 + 1, block.data(), &code), 0);
  EXPECT_EQ(FsuipcRead(0, 32512 - 28, block.data(), &code), 1);
  ASSERT_EQ(FsuipcProcess(&code), 1);
  for (std::size_t i = 32512; i < big.size(); ++i) ASSERT_EQ(big[i], 0xCD) << i;
}

TEST_F(IpcTest, TrafficProviderThroughTheModulesQuery) {
  sim.traffic().SetTargets({{1200, 8, 30, '^', 'T'}, {-500, 4, 300, '-', 'O'}, {14100, 12, 90, 'v', 'R'}});
  void* block = QueryTrafficProvider(kTrafficProviderToken);
  ASSERT_EQ(block, sim.traffic().block());
  EXPECT_EQ(host_state.TrafficProviderResult, 0u);
  EXPECT_EQ(TrafficListSequence(block), sim.traffic().sequence());
  TrafficTarget t[5];
  ASSERT_EQ(TakeTrafficList(block, t, 5), 3);
  // From the last entry backwards.
  EXPECT_EQ(t[0].relative_altitude_ft, 14100);
  EXPECT_EQ(t[0].trend, 0);
  EXPECT_EQ(t[0].threat, 3);
  EXPECT_EQ(t[2].relative_altitude_ft, 1200);
  EXPECT_EQ(t[2].trend, 2);
  EXPECT_EQ(t[2].threat, 2);
  EXPECT_FLOAT_EQ(static_cast<float>(t[2].bearing_rad), static_cast<float>(30 * M_PI / 180));
  EXPECT_FLOAT_EQ(static_cast<float>(t[2].range_nm), 8.0f);
  std::uint32_t first = 1;
  std::memcpy(&first, block, 4);
  EXPECT_EQ(first, 0u);  // taken in

  // A display gauge's post-install keeps the block as the handle.
  HookTrafficProvider(nullptr);
  EXPECT_EQ(host_state.TrafficProviderHandle, sim.traffic().block());

  // A wrong token is refused by the provider; a missing provider gives 1.
  EXPECT_EQ(QueryTrafficProvider("not the token"), nullptr);
  EXPECT_NE(host_state.TrafficProviderResult, 0u);
  sim.UnregisterVarByName("ovi_traffic_provider");
  EXPECT_EQ(QueryTrafficProvider(kTrafficProviderToken), nullptr);
  EXPECT_EQ(host_state.TrafficProviderResult, kTrafficProviderAbsent);
  HookTrafficProvider(nullptr);
  EXPECT_EQ(host_state.TrafficProviderHandle, nullptr);
  host_state.Panels = nullptr;
  EXPECT_EQ(QueryTrafficProvider(kTrafficProviderToken), nullptr);
}

TEST(TrafficList, BadEntriesAreSkippedAndTheNearestFiveTaken) {
  struct Entry {
    float alt;
    std::uint32_t codes;
    std::uint8_t active, pad[3];
    float range, bearing;
  };
  static_assert(sizeof(Entry) == 20);
  Entry entries[9] = {
      {100, 0x00010000, 1, {}, 5, 0.1f},                 // 0: good
      {200, 0x00010000, 1, {}, 5, 0.1f},                 // 1: good
      {300, 0x00010000, 1, {}, 5, 0.1f},                 // 2: good
      {400, 0x00030000, 1, {}, 5, 0.1f},                 // 3: trend 3 out of range
      {500, 0x00F10000, 1, {}, 5, 0.1f},                 // 4: threat -1 out of range
      {600, 0x00010000, 0, {}, 5, 0.1f},                 // 5: inactive
      {std::nanf(""), 0x00010000, 1, {}, 5, 0.1f},       // 6: not a number
      {800, 0x00310000, 1, {}, -2, 0.1f},                // 7: negative range
      {900, 0x00320000, 1, {}, 3, 0.2f},                 // 8: good: trend ^, threat R
  };
  alignas(8) std::uint8_t block[48 + 10 * 8] = {};
  block[44] = 10;
  for (int i = 0; i < 9; ++i) {
    const void* p = &entries[i];
    std::memcpy(block + 48 + i * 8, &p, 8);
  }
  // Entry 9 is a null pointer.
  TrafficTarget t[5];
  int left_out = -1;
  ASSERT_EQ(TakeTrafficList(block, t, 5, &left_out), 4);  // 8, 2, 1, 0 are sound
  EXPECT_EQ(left_out, 0);
  EXPECT_EQ(t[0].relative_altitude_ft, 900);
  EXPECT_EQ(t[0].trend, 2);
  EXPECT_EQ(t[0].threat, 3);
  EXPECT_EQ(t[3].relative_altitude_ft, 100);
  ASSERT_EQ(TakeTrafficList(block, t, 2, &left_out), 2);  // 8 is the nearest, then the later of the equals
  EXPECT_EQ(left_out, 2);
  EXPECT_EQ(t[0].relative_altitude_ft, 900);
  EXPECT_EQ(t[1].relative_altitude_ft, 300);
  block[44] = 3;
  EXPECT_EQ(TakeTrafficList(block, t, 5), 3);  // 2, 1, 0 are all sound
  EXPECT_EQ(TakeTrafficList(block, t, 1), 1);  // no more than the room given
  block[44] = 0;
  EXPECT_EQ(TakeTrafficList(block, t, 5), 0);
  EXPECT_EQ(TakeTrafficList(nullptr, t, 5), 0);
}

// 64 far targets and a near one, wherever it is listed: the stand-in's list
// and the module's link both keep it, and say how many they left out.
TEST_F(IpcTest, AFullTrafficListKeepsTheNearest) {
  for (std::size_t at : {std::size_t{0}, std::size_t{30}, std::size_t{64}}) {
    std::vector<sim::TrafficTargetSetting> targets(64, {3000, 40, 90, '-', 'O'});
    targets.insert(targets.begin() + static_cast<std::ptrdiff_t>(at), {-700, 2, 10, '-', 'T'});
    EXPECT_EQ(sim.traffic().SetTargets(targets), 1) << at;
    ASSERT_EQ(sim.traffic().targets().size(), 64u);
    EXPECT_EQ(sim.traffic().targets()[std::min<std::size_t>(at, 63)].range_nm, 2) << at;  // in its place
    TrafficTarget t[5];
    int left_out = 0;
    ASSERT_EQ(TakeTrafficList(QueryTrafficProvider(kTrafficProviderToken), t, 5, &left_out), 5);
    EXPECT_EQ(left_out, 59);
    int near = 0;
    for (const TrafficTarget& e : t) near += e.relative_altitude_ft == -700;
    EXPECT_EQ(near, 1) << at;
  }
}

TEST_F(IpcTest, GpsRouteIsReadIntoAPlainList) {
  EXPECT_EQ(LoadFlightPlannerRoute(0), 0);
  EXPECT_EQ(model::model_state.PanelMessage, "NO ACTIVE GPS RTE");

  sim.gps().SetRoute({{"LSZH", 47.4647, 8.5492, 1416},
                      {"ZUE", 47.5922, 8.8175, 0},
                      {"BAD", 95.0, 8.0, 0},  // off the globe: skipped
                      {"", 47.0, 8.0, 0},     // no ident: skipped
                      {"LFSB", 47.59, 7.529, 885}});
  sim.RegisterVarByName(sim.gps().block(), sim::kVarTypeBlock, sim::kGpsDataName);
  model::model_state.PanelMessage.clear();
  EXPECT_EQ(LoadFlightPlannerRoute(7), 3);  // the navigator's ENT key: no message
  EXPECT_EQ(model::model_state.PanelMessage, "");
  model::model_state.StatusMessageCount = 0;
  EXPECT_EQ(LoadFlightPlannerRoute(0), 3);
  EXPECT_EQ(model::model_state.PanelMessage, "ACTIVE FSPLANNER RTE LOADED");
  EXPECT_EQ(navdb::test::StatusLog(), "GPS route: point 3 and 1 more have no ident or position, left out\n");
  ASSERT_EQ(host_state.GpsRoute.size(), 3u);
  EXPECT_EQ(host_state.GpsRoute[1].ident, "ZUE");
  EXPECT_DOUBLE_EQ(host_state.GpsRoute[2].longitude, 7.529);

  sim.gps().SetRoute({{"LSZH", 47.4647, 8.5492, 1416}});  // one point is no route
  EXPECT_EQ(LoadFlightPlannerRoute(0), 0);
  EXPECT_EQ(model::model_state.PanelMessage, "NO ACTIVE GPS RTE");
  EXPECT_TRUE(host_state.GpsRoute.empty());

  // A route takes 201 points; the planner's others are said, not dropped
  // without a word. The last point kept is the last one that fits.
  for (int points : {201, 202, 1000}) {
    SCOPED_TRACE(points);
    std::vector<sim::GpsWaypointSetting> route;
    for (int i = 0; i < points; ++i) route.push_back({"P" + std::to_string(i), 47.0 + i * 0.001, 8.0, 0});
    sim.gps().SetRoute(route);
    model::model_state.StatusMessageCount = 0;
    EXPECT_EQ(LoadFlightPlannerRoute(0), 201);
    EXPECT_EQ(host_state.GpsRoute.back().ident, "P200");
    EXPECT_EQ(navdb::test::StatusLog(),
              points == 201 ? "" : util::Format("GPS route: %d points, the last %d left out (a route holds 201)\n", points, points - 201));
  }
}

TEST_F(IpcTest, GpsBlockThatLiesAboutItsCountIsBounded) {
  alignas(8) std::uint8_t block[16 + 2 * 40] = {};
  std::uint32_t bytes = sizeof block, count = 1000000;
  std::memcpy(block, &bytes, 4);
  std::memcpy(block + 4, &count, 4);
  for (int i = 0; i < 2; ++i) {
    std::memset(block + 16 + i * 40, 'X', 16);  // an ident with no terminator: 16 characters
    double lat = 10.0 + i, lon = 20.0;
    std::memcpy(block + 16 + i * 40 + 16, &lat, 8);
    std::memcpy(block + 16 + i * 40 + 24, &lon, 8);
  }
  sim.RegisterVarByName(block, sim::kVarTypeBlock, sim::kGpsDataName);
  model::model_state.StatusMessageCount = 0;
  EXPECT_EQ(LoadFlightPlannerRoute(0), 2);
  EXPECT_EQ(host_state.GpsRoute[0].ident, std::string(16, 'X'));
  EXPECT_EQ(navdb::test::StatusLog(), "GPS route: 1000000 points announced, the block holds 2\n");
  bytes = 3;  // smaller than its own header
  std::memcpy(block, &bytes, 4);
  EXPECT_EQ(LoadFlightPlannerRoute(0), 0);
  sim.UnregisterVarByName(sim::kGpsDataName);
}

// --- The keyboard hook chain ---------------------------------------------

// Three hooks that note their calls and do what the case says during them.
enum class HookDoes { kPass, kUnhookSelfAndPass, kUnhookNextAndPass, kHookAnotherAndPass, kDiscard };

struct HookChain {
  const OviKeyboardTable* kb = ovi_keyboard_table();
  std::uintptr_t handles[4] = {};  // A, B, C and the one a hook adds
  HookDoes does[4] = {};
  std::string calls;
};
HookChain* chain = nullptr;

std::intptr_t RunHook(int n, std::int32_t code, std::uintptr_t key, std::intptr_t data) {
  HookChain& c = *chain;
  c.calls += static_cast<char>('A' + n);
  const std::uintptr_t self = c.handles[n];
  switch (c.does[n]) {
    case HookDoes::kDiscard: return 1;
    case HookDoes::kUnhookSelfAndPass: c.kb->unhook(self); break;
    case HookDoes::kUnhookNextAndPass: c.kb->unhook(c.handles[n - 1]); break;
    case HookDoes::kHookAnotherAndPass:
      c.handles[3] = c.kb->set_hook(ipc::kKeyboardHook, [](std::int32_t k, std::uintptr_t v, std::intptr_t d) {
        return RunHook(3, k, v, d);
      }, 0, c.kb->current_thread());
      break;
    case HookDoes::kPass: break;
  }
  return c.kb->call_next_hook(self, code, key, data);
}
template <int N>
std::intptr_t Hook(std::int32_t code, std::uintptr_t key, std::intptr_t data) { return RunHook(N, code, key, data); }

// Hooks see a key newest first, C, B, A, whatever one of them does to the
// chain during its call: a hook that unhooks itself, or the next one, and
// then passes the key on does not end the chain; a hook added meanwhile
// waits for the next key.
TEST(KeyboardHooks, TheChainHoldsWhateverAHookDoesDuringItsCall) {
  struct Case {
    const char* what;
    int hook;  // 0 A, 1 B, 2 C
    HookDoes does;
    const char* first;   // calls for the first key
    bool discarded;
    const char* second;  // and for the next, every hook passing
  };
  const Case cases[] = {
      {"all pass", 2, HookDoes::kPass, "CBA", false, "CBA"},
      {"the newest unhooks itself", 2, HookDoes::kUnhookSelfAndPass, "CBA", false, "BA"},
      {"the middle one unhooks itself", 1, HookDoes::kUnhookSelfAndPass, "CBA", false, "CA"},
      {"the oldest unhooks itself", 0, HookDoes::kUnhookSelfAndPass, "CBA", false, "CB"},
      {"the newest unhooks the next", 2, HookDoes::kUnhookNextAndPass, "CA", false, "CA"},
      {"the middle one discards", 1, HookDoes::kDiscard, "CB", true, "CBA"},
      {"a hook is added", 2, HookDoes::kHookAnotherAndPass, "CBA", false, "DCBA"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ipc::ResetKeyboard();
    HookChain hooks;
    chain = &hooks;
    const std::uint32_t thread = hooks.kb->current_thread();
    hooks.handles[0] = hooks.kb->set_hook(ipc::kKeyboardHook, Hook<0>, 0, thread);
    hooks.handles[1] = hooks.kb->set_hook(ipc::kKeyboardHook, Hook<1>, 0, thread);
    hooks.handles[2] = hooks.kb->set_hook(ipc::kKeyboardHook, Hook<2>, 0, thread);
    hooks.does[c.hook] = c.does;
    EXPECT_EQ(ipc::SendKeyboardMessage(0x1E, 'A', true), c.discarded);
    EXPECT_EQ(hooks.calls, c.first);
    hooks.calls.clear();
    for (HookDoes& d : hooks.does) d = HookDoes::kPass;
    EXPECT_FALSE(ipc::SendKeyboardMessage(0x1E, 'A', false));
    EXPECT_EQ(hooks.calls, c.second);
    chain = nullptr;
  }
  ipc::ResetKeyboard();
}

}  // namespace
}  // namespace ovi
