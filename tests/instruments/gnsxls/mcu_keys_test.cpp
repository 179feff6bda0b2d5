// The MCU keys and gauges: rectangles and elements, each key on each page,
// the keys that act at once (UP and DOWN on the status page, HOLD, ALT,
// APT's request), ENTER's leg choice, and the gauge services.
#include <cmath>
#include <cstdio>
#include <set>

#include "platform/gfx/device_context.h"
#include "src/host/state.h"
#include "src/instruments/gnsxls/mcu/gauges.h"
#include "src/instruments/gnsxls/mcu/keys.h"
#include "src/navdb/entry_state.h"
#include "tests/instruments/gnsxls/mcu_support.h"
#include "tests/support/panel_clicks.h"

namespace ovi::mcu::test {
namespace {

constexpr std::int32_t kPages[] = {kPageFlightPlan, kPageAirport, kPageStatus, kPageLegs, kPageDirectTo, kPageAltitude};

class McuKeysTest : public McuTest {
 protected:
  void Press(const char* key) { mcu.Press(key); }
  testing::PanelClicks mcu{mcu_gauge, "MCU"};
};

// The 18 keys where the key table places them, each a parent with one
// hand-cursor child of its size; UP, DOWN and the rocker's up and down
// repeat while held. Both gauges share the list; MCU_LM's screen leads to
// MCU's lamps.
TEST_F(McuKeysTest, RectanglesAndElementsOfBothGauges) {
  const std::set<std::string> repeating = {"UP", "DOWN", "ROCKER_UP", "ROCKER_DOWN"};
  ASSERT_EQ(mcu.Keys().size(), 18u);
  const MOUSERECT* r = mcu_gauge.mouse_rect;
  for (const sim::NamedKey& k : mcu.Keys()) {
    EXPECT_EQ((std::vector<int>{r[0].rect_type, r[0].position.x, r[0].position.y, r[0].size.x, r[0].size.y,
                                r[1].rect_type, r[1].position.x + r[1].position.y, r[1].size.x, r[1].size.y,
                                r[1].cursor, r[2].rect_type}),
              (std::vector<int>{MOUSE_RECT_PARENT, k.x, k.y, k.w, k.h, MOUSE_RECT_CHILD, 0, k.w, k.h, CURSOR_HAND,
                                MOUSE_RECT_END_PARENT}))
        << k.name;
    EXPECT_EQ(r[1].event_flags, repeating.count(k.name) ? 0x20200000u : 0x20000000u) << k.name;
    r += 3;
  }
  EXPECT_EQ(r->rect_type, MOUSE_RECT_EOL);
  EXPECT_EQ(mcu_gauge.mouse_rect, mcu_lm_gauge.mouse_rect);
  for (GAUGEHDR* gauge : {&mcu_gauge, &mcu_lm_gauge}) {
    std::vector<std::vector<long>> chain;
    for (const ELEMENT_HEADER* e = gauge->elements_list[0]; e != nullptr;
         e = e->next_element != nullptr ? e->next_element[0] : nullptr)
      chain.push_back({e->element_type, e->resource_id, e->position.x, e->position.y, e->image_size.x,
                       e->image_size.y, static_cast<long>(e->image_flags)});
    EXPECT_EQ(chain, (std::vector<std::vector<long>>{{0, 9735, 0, 0, 501, 386, gauge == &mcu_gauge ? 0 : 0x4000},
                                                      {0, 9745, 40, 32, 420, 159, 0x4024},
                                                      {4, 9782, 220, 228, 17, 20, 0x40000007},
                                                      {4, 9782, 134, 264, 17, 20, 0x40000007}}));
  }
  EXPECT_EQ(mcu_lm_gauge.elements_list[0]->next_element[0]->next_element,
            mcu_gauge.elements_list[0]->next_element[0]->next_element);
}

// Every key on every page, the editor's cursor at 2, keyboard entry off:
// the page it leaves, the cursor, keyboard entry, a repaint asked for.
TEST_F(McuKeysTest, EachKeyOnEachPage) {
  constexpr int kSame = -1;
  struct Rule {
    const char* key;
    int page, cursor;
    bool text_pages_only, repaint;
  } rules[] = {
      {"STATUS", kPageStatus, 0, false, true},  {"FPLN", kPageFlightPlan, 0, false, true},
      {"LNAV", kSame, kSame, false, true},      {"DIRTO", kPageDirectTo, 0, false, true},
      {"HOLD", kSame, 0, false, false},         {"XALT", kPageLegs, 0, false, true},
      {"LEGS", kPageLegs, 0, false, true},      {"UP", kSame, 0, false, true},
      {"ALT", kPageAltitude, 1, false, true},   {"APT", kPageAirport, 0, false, true},
      {"DOWN", kSame, 0, false, true},          {"KBD", kSame, 0, true, true},
      {"ROCKER_UP", kSame, kSame, false, true}, {"ROCKER_LEFT", kSame, kSame, false, true},
      {"ENTER", kSame, 0, false, true},         {"SCREEN", kSame, kSame, false, true},
  };
  for (const Rule& rule : rules) {
    for (std::int32_t page : kPages) {
      ResetModuleState();
      host.Bind();
      M().McuPage = page;
      M().McuEntryCursor = 2;
      G().DisplayRefreshCounter = 5;
      Press(rule.key);
      const bool acts = !rule.text_pages_only || TakesText(page);
      const bool keeps_cursor = rule.cursor == kSame || !acts || (std::string(rule.key) == "ENTER" && page == 19);
      EXPECT_EQ((std::vector<int>{M().McuPage, M().McuEntryCursor, S().McuKeyboardEntryActive,
                                  S().McuRedrawRequest == 1 && G().DisplayRefreshCounter == 999}),
                (std::vector<int>{rule.page == kSame ? page : rule.page, keeps_cursor ? 2 : rule.cursor,
                                  rule.text_pages_only && acts, rule.repaint && acts}))
          << rule.key << " on page " << page;
    }
  }
  EXPECT_EQ(host.toggles, (std::vector<std::uint32_t>(6, 4001)));  // SCREEN on each page
  // The rocker starts the editor on APT, LEGS and DIRTO, not while the PC
  // keyboard types.
  for (std::int32_t page : kPages) {
    for (int keyboard : {0, 1}) {
      M().McuPage = page;
      M().McuEntryCursor = 0;
      S().McuKeyboardEntryActive = keyboard;
      Press("ROCKER_DOWN");
      EXPECT_EQ(M().McuEntryCursor * 10 + M().McuLineSelectKey, (TakesText(page) && keyboard == 0 ? 10 : 0) + 2)
          << page << " " << keyboard;
    }
  }
}

// UP and DOWN on the status page step the active waypoint, wrapping, and
// set it up (on LEGS the cursor stays on the route); never off the route.
TEST_F(McuKeysTest, UpAndDownOnTheStatusAndLegsPages) {
  flightplan::test::MakeActive({"KSEA", "A", "B", "C"});
  M().McuPage = kPageStatus;
  const int status[][3] = {{1, 'U', 3}, {2, 'U', 1}, {3, 'D', 1}, {1, 'D', 2}, {999, 'U', 999}, {999, 'D', 999}};
  for (const auto& c : status) {
    F().ActiveWaypointIndex = c[0];
    M().McuUpPressed = M().McuDownPressed = 0;
    Press(c[1] == 'U' ? "UP" : "DOWN");
    EXPECT_EQ(F().ActiveWaypointIndex, c[2]) << c[0] << " " << static_cast<char>(c[1]);
    EXPECT_EQ(M().McuUpPressed + M().McuDownPressed, 1);  // the event all the same
    EXPECT_EQ(G().ActiveWaypointLat, c[2] != 999 ? F().ActiveFlightPlan[c[2]].latitude : G().ActiveWaypointLat);
  }
  M().McuPage = kPageLegs;
  const int legs[][3] = {{1, 'U', 1}, {2, 'U', 1}, {3, 'D', 3}, {2, 'D', 3}, {999, 'U', 2}, {999, 'D', 3},
                         {0, 'D', 2}, {-5, 'U', 1}};
  for (const auto& c : legs) {
    S().McuLegsCursor = c[0];
    Press(c[1] == 'U' ? "UP" : "DOWN");
    EXPECT_EQ(S().McuLegsCursor, c[2]) << c[0] << " " << static_cast<char>(c[1]);
  }
  // Nothing after the origin: the index stays.
  M().McuPage = kPageStatus;
  flightplan::test::MakeActive({"KSEA"});
  F().ActiveWaypointIndex = 0;
  G().ActiveLegFromEngagePosition = 1;
  Press("DOWN");
  Press("UP");
  EXPECT_EQ(F().ActiveWaypointIndex * 10 + G().ActiveLegFromEngagePosition, 0);
  // A leg from the engage position starts at the aircraft (0N 0E), its
  // course to the waypoint 1 degree east magnetic, below 0.5 upwards of 360.
  flightplan::test::MakeActive({"KSEA", "A", "B"});
  F().ActiveFlightPlan[2].latitude = 0.0;
  F().ActiveFlightPlan[2].longitude = 1.0;
  for (auto [variation, course] : {std::pair{100.0, 350.0}, std::pair{89.6, 360.4}, std::pair{-10.0, 100.0}}) {
    F().ActiveWaypointIndex = 1;
    G().ActiveLegFromEngagePosition = 1;
    G().LegOriginLatitude = G().LegOriginLongitude = 5.0;
    G().MagneticVariation = variation;
    Press("DOWN");
    EXPECT_NEAR(G().LnavInitialCourse, course, 1e-6) << variation;
    EXPECT_EQ(G().LegOriginLatitude + G().LegOriginLongitude, 0.0);
  }
}

TEST_F(McuKeysTest, HoldFliesAHoldAtTheWaypointFlownTo) {
  flightplan::test::MakeActive({"KSEA", "A", "B", "C"});
  F().ActiveWaypointIndex = 2;
  F().RouteState = 3;
  auto seen = [] { return std::vector<int>{F().HoldCount, G().ActiveHoldIndex, G().HoldState}; };
  Press("HOLD");  // LNAV off
  EXPECT_EQ(seen(), (std::vector<int>{0, 0, 0}));
  G().LnavEngaged = 1;
  Press("HOLD");
  EXPECT_EQ(seen(), (std::vector<int>{1, 1, 0}));
  EXPECT_EQ(F().HoldTable[1].name + std::to_string(F().HoldTable[1].active_index), "B2");
  EXPECT_EQ(F().ActiveFlightPlan[2].hold_number, 1u);
  Press("HOLD");  // left
  EXPECT_EQ(seen(), (std::vector<int>{1, 0, 3}));
  Press("HOLD");  // flown again, none built
  EXPECT_EQ(seen(), (std::vector<int>{1, 1, 3}));
  // No active waypoint; a change waiting for EXEC with another waypoint
  // there; the same waypoint there.
  ResetModuleState();
  flightplan::test::MakeActive({"KSEA", "A", "B"});
  G().LnavEngaged = 1;
  Press("HOLD");
  EXPECT_EQ(F().HoldCount + G().ActiveHoldIndex, 0);
  F().ActiveWaypointIndex = 1;
  F().RouteState = 4;
  flightplan::test::MakePending({"KSEA", "X", "B"});
  Press("HOLD");
  EXPECT_EQ(F().HoldCount, 0);
  flightplan::test::MakePending({"KSEA", "A", "B"});
  Press("HOLD");
  EXPECT_EQ(F().HoldCount, 1);
}

// ALT starts at the autopilot's whole thousands within 0..99000; APT steps
// its sub-pages and asks for the AI runways, keeping the sub-page within
// what the answer leaves.
TEST_F(McuKeysTest, AltAndAptAtOnce) {
  for (auto [autopilot, start] : {std::pair{12750.0, 12000.0}, std::pair{999.0, 0.0}, std::pair{-500.0, 0.0},
                                  std::pair{150000.0, 99000.0}, std::pair{std::nan(""), 0.0}}) {
    G().ApAltitudeLockVar = autopilot;
    Press("ALT");
    EXPECT_EQ(M().McuNewAltitude, start) << autopilot;
  }
  Md().McuAptPageCount = 2;
  std::vector<int> sub_pages;
  for (int i = 0; i < 3; ++i, Press("APT")) sub_pages.push_back(M().McuAptSubPage);
  EXPECT_EQ(sub_pages, (std::vector<int>{1, 1, 2}));  // from ALT/FL to 1, then 2, then back to 1
  EXPECT_EQ(M().McuAptSubPage, 1);
  Md().McuShowActiveRwys = 1;  // no answer here (no FSUIPC): one sub-page left
  Md().McuAirportIdent = "KSEA";
  Md().AiDepartureRunway1 = "16L\n";
  Press("APT");
  EXPECT_EQ(M().McuAptSubPage * 10 + Md().McuAptPageCount, 11);
  EXPECT_EQ(Md().AiDepartureRunway1, "");
}

// ENTER on LEGS without crossing entry makes the first row's leg the active
// one (set up as UP and DOWN do), not off the route nor without an active
// waypoint; LEGS, the crossing key, DIRTO and ENTER reset what they own.
TEST_F(McuKeysTest, EnterOnLegsAndWhatThePageKeysReset) {
  flightplan::test::MakeActive({"KSEA", "A", "B", "C"});
  M().McuPage = kPageLegs;
  const int cases[][4] = {{1, 3, 0, 3}, {1, 4, 0, 1}, {1, 0, 0, 1}, {999, 2, 0, 999}, {1, 2, 1, 1}};
  for (const auto& c : cases) {
    F().ActiveWaypointIndex = c[0];
    S().McuLegsCursor = c[1];
    M().McuCrossingEntryActive = c[2];
    Press("ENTER");
    EXPECT_EQ(F().ActiveWaypointIndex, c[3]) << c[0] << " " << c[1] << " " << c[2];
  }
  EXPECT_EQ(G().ActiveWaypointLat, F().ActiveFlightPlan[3].latitude);

  F().ActiveWaypointIndex = 2;
  Md().McuEntryText = "ABC";
  Md().McuKeyboardEntry = "12000";
  M().McuCrossingEntryActive = 1;
  Press("LEGS");
  EXPECT_EQ(S().McuLegsCursor * 10 + M().McuCrossingEntryActive, 20);
  EXPECT_EQ(Md().McuEntryText + Md().McuKeyboardEntry, "");
  F().ActiveWaypointIndex = 999;
  Press("LEGS");
  EXPECT_EQ(S().McuLegsCursor, 2);
  Md().McuKeyboardEntry = "00500";
  Press("XALT");
  EXPECT_EQ(Md().McuKeyboardEntry + std::to_string(M().McuCrossingEntryActive * 10 + M().McuCrossingAltitude), "10");
  Md().McuEntryText = M().McuDirectToSearchText = "SEA";
  navdb::entry_state.WaypointCandidateCount = 3;
  S().McuKeyboardEntryActive = 1;
  Press("DIRTO");
  EXPECT_EQ(Md().McuEntryText + M().McuDirectToSearchText, "");
  EXPECT_EQ(navdb::entry_state.WaypointCandidateCount * 10 + S().McuKeyboardEntryActive, 1);  // typing goes on
  Md().McuEntryText = M().McuDirectToSearchText = "SEA";
  Press("ENTER");  // the typed text dropped with keyboard entry
  EXPECT_EQ(Md().McuEntryText + M().McuDirectToSearchText + std::to_string(S().McuKeyboardEntryActive), "0");
}

// MCU alone asks for the first repaint at pre-initialise and MCU_LM alone
// writes its log line; either lights the one pair of lamps; a "VC" copy
// draws nothing while the main panel is shown; a gauge back on screen
// repaints whole.
TEST_F(McuKeysTest, GaugeServices) {
  mcu_lm_gauge.gauge_callback(&mcu_lm_gauge, PANEL_SERVICE_PRE_INITIALIZE, 0);
  EXPECT_EQ(S().McuRedrawRequest, 0);
  mcu_gauge.gauge_callback(&mcu_gauge, PANEL_SERVICE_PRE_INITIALIZE, 0);
  EXPECT_EQ((std::vector<int>{S().McuRedrawRequest, G().FrameCounter, G().DisplayRefreshCounter}),
            (std::vector<int>{1, 999, 999}));
  host::host_state.LogFile = std::tmpfile();
  mcu_gauge.gauge_callback(&mcu_gauge, PANEL_SERVICE_PRE_UPDATE, 0);
  mcu_lm_gauge.gauge_callback(&mcu_lm_gauge, PANEL_SERVICE_PRE_UPDATE, 0);
  std::rewind(host::host_state.LogFile);
  char log[64] = {};
  EXPECT_EQ(std::fread(log, 1, sizeof log - 1, host::host_state.LogFile), 17u);
  EXPECT_STREQ(log, "mcu_lm_callback \n");

  ELEMENT_HEADER* lnav = mcu_gauge.elements_list[0]->next_element[0]->next_element[0];
  for (auto [lnav_on, hold_on] : {std::pair{1, 0}, std::pair{0, 1}, std::pair{0, 0}, std::pair{1, 1}}) {
    G().LnavEngaged = lnav_on;
    G().ActiveHoldIndex = hold_on;
    mcu_lm_gauge.gauge_callback(&mcu_lm_gauge, PANEL_SERVICE_PRE_UPDATE, 0);
    EXPECT_EQ((lnav->image_flags & IMAGE_HIDDEN) == 0, lnav_on == 1);
    EXPECT_EQ((lnav->next_element[0]->image_flags & IMAGE_HIDDEN) == 0, hold_on == 1);
  }

  ELEMENT_HEADER* screen = mcu_gauge.elements_list[0]->next_element[0];
  gfx::DeviceContext dc(420, 159);
  gfx::Recorder rec;
  dc.recorder = &rec;
  screen->image = {{420, 159}, &dc};
  host.tokens[773] = 1.0;  // the displays' power, read by the per-tick update
  for (auto [parameter, main_shown, drawn] : {std::tuple{"VC", true, false}, std::tuple{"VC", false, true},
                                              std::tuple{"", true, true}, std::tuple{"VC2", true, true}}) {
    rec.Clear();
    host.visible_windows.clear();
    if (main_shown) host.visible_windows.insert(0);
    mcu_gauge.parameters = parameter;
    S().McuRedrawRequest = 1;
    mcu_gauge.gauge_callback(&mcu_gauge, PANEL_SERVICE_PRE_DRAW, 0);
    EXPECT_EQ(rec.FindText("ETE:  00:00 (00:00)"), drawn) << parameter << " " << main_shown;
    EXPECT_EQ(screen->image_flags & IMAGE_ON_SCREEN, 0u);
  }
  // Back on screen after ticks without a frame of its own: a whole repaint.
  mcu_gauge.parameters = "";
  G().StartupTickCount = 10;
  G().DisplayRefreshCounter = 5;
  for (auto [tick, whole] : {std::pair{10.0, true}, std::pair{11.0, false}, std::pair{12.0, false},
                             std::pair{20.0, true}}) {
    rec.Clear();
    host.tokens[1] = tick;
    mcu_gauge.gauge_callback(&mcu_gauge, PANEL_SERVICE_PRE_DRAW, 0);
    EXPECT_EQ(rec.FindText("ETE:  00:00 (00:00)"), whole) << tick;
  }
  screen->image = {};
}

}  // namespace
}  // namespace ovi::mcu::test
