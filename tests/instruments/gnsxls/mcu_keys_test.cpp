// The MCU keys and gauges: the rectangles and elements, what each key does
// on each page, the keys that act at once (UP and DOWN on the status page,
// HOLD, ALT, APT's request), ENTER's leg choice, and the gauge services
// (first repaint, log line, shared lamps, the virtual-cockpit rule).
#include <cmath>
#include <cstdio>

#include "platform/gfx/device_context.h"
#include "src/flightplan/holds.h"
#include "src/host/state.h"
#include "src/instruments/gnsxls/mcu/gauges.h"
#include "src/instruments/gnsxls/mcu/keys.h"
#include "src/navdb/entry_state.h"
#include "tests/instruments/gnsxls/mcu_support.h"
#include "tests/support/panel_clicks.h"

namespace ovi::mcu::test {
namespace {

class McuKeysTest : public McuTest {
 protected:
  testing::PanelClicks mcu{mcu_gauge, "MCU"};
  void Press(const char* key) { mcu.Press(key); }
};

// The 18 keys where the key table names them, each a parent with one child
// covering it; UP, DOWN and the rocker's up and down repeat while held.
TEST_F(McuKeysTest, RectanglesAndElementsOfBothGauges) {
  struct Rect {
    const char* key;
    int x, y, w, h;
    bool repeats;
  } rects[] = {
      {"SCREEN", 132, 47, 200, 120, false}, {"STATUS", 40, 224, 70, 25, false}, {"FPLN", 127, 224, 70, 25, false},
      {"LNAV", 213, 222, 70, 25, false},    {"DIRTO", 40, 258, 70, 25, false},  {"HOLD", 127, 258, 70, 25, false},
      {"XALT", 213, 258, 70, 25, false},    {"LEGS", 40, 292, 70, 25, false},   {"UP", 127, 292, 70, 25, true},
      {"ALT", 213, 292, 70, 25, false},     {"APT", 40, 324, 70, 25, false},    {"DOWN", 127, 324, 70, 25, true},
      {"KBD", 213, 324, 70, 25, false},     {"ROCKER_UP", 371, 224, 32, 32, true},
      {"ROCKER_LEFT", 338, 256, 32, 32, false}, {"ROCKER_DOWN", 371, 290, 32, 32, true},
      {"ROCKER_RIGHT", 404, 256, 32, 32, false}, {"ENTER", 350, 324, 70, 25, false},
  };
  EXPECT_EQ(mcu_gauge.mouse_rect, mcu_lm_gauge.mouse_rect);
  const MOUSERECT* r = mcu_gauge.mouse_rect;
  for (const Rect& k : rects) {
    SCOPED_TRACE(k.key);
    ASSERT_EQ(r[0].rect_type, MOUSE_RECT_PARENT);
    EXPECT_EQ((std::vector<int>{r[0].position.x, r[0].position.y, r[0].size.x, r[0].size.y}),
              (std::vector<int>{k.x, k.y, k.w, k.h}));
    ASSERT_EQ(r[1].rect_type, MOUSE_RECT_CHILD);
    EXPECT_EQ((std::vector<int>{r[1].position.x, r[1].position.y, r[1].size.x, r[1].size.y}),
              (std::vector<int>{0, 0, k.w, k.h}));
    EXPECT_EQ(r[1].cursor, CURSOR_HAND);
    EXPECT_EQ(r[1].event_flags, k.repeats ? 0x20200000u : 0x20000000u);
    EXPECT_EQ(r[2].rect_type, MOUSE_RECT_END_PARENT);
    EXPECT_EQ(mcu.AreaOf(k.key)->handler, r[1].handler);  // the key table's key reaches it
    r += 3;
  }
  EXPECT_EQ(r->rect_type, MOUSE_RECT_EOL);

  for (GAUGEHDR* gauge : {&mcu_gauge, &mcu_lm_gauge}) {
    SCOPED_TRACE(gauge->gauge_name);
    const ELEMENT_HEADER* bezel = gauge->elements_list[0];
    const ELEMENT_HEADER* screen = bezel->next_element[0];
    const ELEMENT_HEADER* lnav = screen->next_element[0];
    const ELEMENT_HEADER* hold = lnav->next_element[0];
    auto describe = [](const ELEMENT_HEADER* e) {
      return std::vector<long>{e->element_type, e->resource_id, e->position.x, e->position.y,
                               e->image_size.x, e->image_size.y, static_cast<long>(e->image_flags)};
    };
    EXPECT_EQ(describe(bezel), (std::vector<long>{0, 9735, 0, 0, 501, 386, gauge == &mcu_gauge ? 0 : 0x4000}));
    EXPECT_EQ(describe(screen), (std::vector<long>{0, 9745, 40, 32, 420, 159, 0x4024}));
    EXPECT_EQ(describe(lnav), (std::vector<long>{4, 9782, 220, 228, 17, 20, 0x40000007}));
    EXPECT_EQ(describe(hold), (std::vector<long>{4, 9782, 134, 264, 17, 20, 0x40000007}));
    EXPECT_EQ(lnav, mcu_gauge.elements_list[0]->next_element[0]->next_element[0]);  // one lamp for both
    EXPECT_EQ(hold->next_element, nullptr);
  }
}

// Every key pressed on every page, the editor's cursor at 2 and keyboard
// entry off: the page it leaves, the cursor, keyboard entry, a repaint.
TEST_F(McuKeysTest, EachKeyOnEachPage) {
  constexpr int kSame = -1;
  struct Rule {
    const char* key;
    int page;          // kSame: the page pressed on
    int cursor;        // kSame: unchanged
    bool text_pages;   // acts on APT, LEGS and DIRTO only (KBD)
    bool repaint;
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
    for (std::int32_t page : {kPageFlightPlan, kPageAirport, kPageStatus, kPageLegs, kPageDirectTo, kPageAltitude}) {
      SCOPED_TRACE(::testing::Message() << rule.key << " on page " << page);
      ResetModuleState();
      host.Bind();
      M().McuPage = page;
      M().McuEntryCursor = 2;
      G().DisplayRefreshCounter = 5;
      Press(rule.key);
      const bool acts = !rule.text_pages || page == kPageAirport || page == kPageLegs || page == kPageDirectTo;
      EXPECT_EQ(M().McuPage, rule.page == kSame ? page : rule.page);
      int cursor = rule.cursor == kSame || !acts ? 2 : rule.cursor;
      if (std::string(rule.key) == "ENTER" && page == kPageAltitude) cursor = 2;
      EXPECT_EQ(M().McuEntryCursor, cursor);
      EXPECT_EQ(S().McuKeyboardEntryActive, rule.text_pages && acts ? 1 : 0);
      EXPECT_EQ(S().McuRedrawRequest == 1 && G().DisplayRefreshCounter == 999, rule.repaint && acts);
    }
  }
  // The rocker starts the editor at its first character on APT, LEGS and
  // DIRTO, not while the PC keyboard types, and never elsewhere.
  for (std::int32_t page : {kPageFlightPlan, kPageAirport, kPageStatus, kPageLegs, kPageDirectTo, kPageAltitude}) {
    for (int keyboard : {0, 1}) {
      M().McuPage = page;
      M().McuEntryCursor = 0;
      S().McuKeyboardEntryActive = keyboard;
      Press("ROCKER_DOWN");
      const bool text_page = page == kPageAirport || page == kPageLegs || page == kPageDirectTo;
      EXPECT_EQ(M().McuEntryCursor, text_page && keyboard == 0 ? 1 : 0) << page << " " << keyboard;
      EXPECT_EQ(M().McuLineSelectKey, kRockerDown);
    }
  }
  EXPECT_EQ(host.toggles, (std::vector<std::uint32_t>(6, 4001)));  // SCREEN, once on each page
}

// UP and DOWN on the status page: the previous or next waypoint becomes the
// active one, wrapping at the route's ends, and is set up for LNAV.
TEST_F(McuKeysTest, UpAndDownOnTheStatusPage) {
  flightplan::test::MakeActive({"KSEA", "A", "B", "C"});
  M().McuPage = kPageStatus;
  struct Case {
    int active;
    const char* key;
    int after;
  } cases[] = {{1, "UP", 3}, {2, "UP", 1}, {3, "DOWN", 1}, {1, "DOWN", 2}, {999, "UP", 999}, {999, "DOWN", 999}};
  for (const Case& c : cases) {
    F().ActiveWaypointIndex = c.active;
    M().McuUpPressed = M().McuDownPressed = 0;
    Press(c.key);
    EXPECT_EQ(F().ActiveWaypointIndex, c.after) << c.active << " " << c.key;
    EXPECT_EQ(M().McuUpPressed + M().McuDownPressed, 1);  // the event all the same
    if (c.after != 999) {
      EXPECT_EQ(G().ActiveWaypointLat, F().ActiveFlightPlan[c.after].latitude);
      EXPECT_EQ(G().ActiveWaypointLon, F().ActiveFlightPlan[c.after].longitude);
    }
  }
  // Nothing after the origin: the index stays on the route.
  flightplan::test::MakeActive({"KSEA"});
  F().ActiveWaypointIndex = 0;
  G().ActiveLegFromEngagePosition = 1;
  Press("DOWN");
  EXPECT_EQ(F().ActiveWaypointIndex, 0);
  EXPECT_EQ(G().ActiveLegFromEngagePosition, 0);
  Press("UP");
  EXPECT_EQ(F().ActiveWaypointIndex, 0);

  // A leg from the engage position starts at the aircraft, its course
  // magnetic, below 0.5 read upwards of 360.
  flightplan::test::MakeActive({"KSEA", "A", "B"});
  F().ActiveFlightPlan[2].latitude = 0.0;
  F().ActiveFlightPlan[2].longitude = 1.0;  // due east of the aircraft at 0N 0E
  G().PlaneLatitude = G().PlaneLongitude = 0.0;
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

TEST_F(McuKeysTest, UpAndDownKeepTheLegsCursorOnTheRoute) {
  flightplan::test::MakeActive({"KSEA", "A", "B", "C"});
  M().McuPage = kPageLegs;
  struct Case {
    int cursor;
    const char* key;
    int after;
  } cases[] = {{1, "UP", 1}, {2, "UP", 1}, {3, "DOWN", 3}, {2, "DOWN", 3}, {999, "UP", 2}, {999, "DOWN", 3},
               {0, "DOWN", 2}, {-5, "UP", 1}};
  for (const Case& c : cases) {
    S().McuLegsCursor = c.cursor;
    Press(c.key);
    EXPECT_EQ(S().McuLegsCursor, c.after) << c.cursor << " " << c.key;
  }
}

TEST_F(McuKeysTest, HoldFliesAHoldAtTheWaypointFlownTo) {
  flightplan::test::MakeActive({"KSEA", "A", "B", "C"});
  F().ActiveWaypointIndex = 2;
  F().RouteState = 3;
  Press("HOLD");  // LNAV off
  EXPECT_EQ(F().HoldCount, 0);
  EXPECT_EQ(G().ActiveHoldIndex, 0);

  G().LnavEngaged = 1;
  Press("HOLD");
  ASSERT_EQ(F().HoldCount, 1);
  EXPECT_EQ(F().HoldTable[1].name, "B");
  EXPECT_EQ(F().HoldTable[1].active_index, 2);
  EXPECT_EQ(F().ActiveFlightPlan[2].hold_number, 1u);
  EXPECT_EQ(G().ActiveHoldIndex, 1);
  Press("HOLD");  // leave it
  EXPECT_EQ(G().HoldState, 3);
  EXPECT_EQ(G().ActiveHoldIndex, 0);
  Press("HOLD");  // the hold there is flown again, no second one built
  EXPECT_EQ(F().HoldCount, 1);
  EXPECT_EQ(G().ActiveHoldIndex, 1);

  // No active waypoint: no hold, none flown.
  ResetModuleState();
  flightplan::test::MakeActive({"KSEA", "A", "B"});
  F().ActiveWaypointIndex = 999;
  G().LnavEngaged = 1;
  Press("HOLD");
  EXPECT_EQ(F().HoldCount, 0);
  EXPECT_EQ(G().ActiveHoldIndex, 0);

  // A change waiting for EXEC holds another waypoint there: no hold.
  F().ActiveWaypointIndex = 1;
  F().RouteState = 4;
  flightplan::test::MakePending({"KSEA", "X", "B"});
  Press("HOLD");
  EXPECT_EQ(F().HoldCount, 0);
  // The same waypoint there: the hold is built.
  flightplan::test::MakePending({"KSEA", "A", "B"});
  Press("HOLD");
  EXPECT_EQ(F().HoldCount, 1);
}

TEST_F(McuKeysTest, AltStartsAtTheAutopilotsWholeThousands) {
  for (auto [autopilot, start] : {std::pair{12750.0, 12000.0}, std::pair{999.0, 0.0}, std::pair{-500.0, 0.0},
                                  std::pair{150000.0, 99000.0}, std::pair{99999.0, 99000.0},
                                  std::pair{std::nan(""), 0.0}}) {
    G().ApAltitudeLockVar = autopilot;
    Press("ALT");
    EXPECT_EQ(M().McuNewAltitude, start) << autopilot;
  }
}

TEST_F(McuKeysTest, AptCyclesItsSubPagesAndAsksForTheAiRunways) {
  M().McuPage = kPageStatus;
  Md().McuAptPageCount = 2;
  Press("APT");
  EXPECT_EQ(M().McuAptSubPage, 1);
  Press("APT");
  EXPECT_EQ(M().McuAptSubPage, 2);
  Press("APT");
  EXPECT_EQ(M().McuAptSubPage, 1);
  // Asked again with no answer (no FSUIPC here): one sub-page left, and
  // the sub-page the key stepped to is gone.
  Md().McuShowActiveRwys = 1;
  Md().McuAirportIdent = "KSEA";
  Md().AiDepartureRunway1 = "16L\n";
  Press("APT");
  EXPECT_EQ(Md().McuAptPageCount, 1);
  EXPECT_EQ(Md().AiDepartureRunway1, "");
  EXPECT_EQ(M().McuAptSubPage, 1);
}

// ENTER on LEGS without crossing entry makes the leg in the first row the
// active one, set up as UP and DOWN do; not off the route, not without an
// active waypoint.
TEST_F(McuKeysTest, EnterOnLegsChoosesTheLegToFly) {
  flightplan::test::MakeActive({"KSEA", "A", "B", "C"});
  M().McuPage = kPageLegs;
  struct Case {
    int active, cursor, crossing;
    int after;
  } cases[] = {{1, 3, 0, 3}, {1, 4, 0, 1}, {1, 0, 0, 1}, {999, 2, 0, 999}, {1, 2, 1, 1}};
  for (const Case& c : cases) {
    F().ActiveWaypointIndex = c.active;
    S().McuLegsCursor = c.cursor;
    M().McuCrossingEntryActive = c.crossing;
    Press("ENTER");
    EXPECT_EQ(F().ActiveWaypointIndex, c.after) << c.active << " " << c.cursor << " " << c.crossing;
    EXPECT_EQ(S().McuPageEntered, 1);
  }
  EXPECT_EQ(G().ActiveWaypointLat, F().ActiveFlightPlan[3].latitude);
}

TEST_F(McuKeysTest, LegsDirtoCrossingAndEnterResetWhatTheyOwn) {
  flightplan::test::MakeActive({"KSEA", "A", "B", "C"});
  F().ActiveWaypointIndex = 2;
  Md().McuEntryText = "ABC";
  Md().McuKeyboardEntry = "12000";
  M().McuCrossingEntryActive = 1;
  Press("LEGS");
  EXPECT_EQ(S().McuLegsCursor, 2);
  EXPECT_EQ(M().McuCrossingEntryActive, 0);
  EXPECT_EQ(Md().McuEntryText + Md().McuKeyboardEntry, "");
  F().ActiveWaypointIndex = 999;
  S().McuLegsCursor = 3;
  Press("LEGS");
  EXPECT_EQ(S().McuLegsCursor, 3);

  Press("XALT");
  EXPECT_EQ(M().McuCrossingEntryActive, 1);
  EXPECT_EQ(M().McuCrossingAltitude, 0);

  Md().McuEntryText = "SEA";
  M().McuDirectToSearchText = "SEA";
  navdb::entry_state.WaypointCandidateCount = 3;
  S().McuKeyboardEntryActive = 1;
  Press("DIRTO");
  EXPECT_EQ(Md().McuEntryText + M().McuDirectToSearchText, "");
  EXPECT_EQ(navdb::entry_state.WaypointCandidateCount, 0);
  EXPECT_EQ(S().McuKeyboardEntryActive, 1);  // the PC keyboard goes on typing
  Md().McuEntryText = "SEA";
  M().McuDirectToSearchText = "SEA";
  Press("ENTER");  // the typed text is dropped with keyboard entry
  EXPECT_EQ(Md().McuEntryText + M().McuDirectToSearchText, "");
  EXPECT_EQ(S().McuKeyboardEntryActive, 0);
}

// MCU alone asks for the first repaint at pre-initialise; MCU_LM alone
// writes its log line; both light the one pair of lamps.
TEST_F(McuKeysTest, GaugeServicesFirstRepaintLogLineAndSharedLamps) {
  mcu_lm_gauge.gauge_callback(&mcu_lm_gauge, PANEL_SERVICE_PRE_INITIALIZE, 0);
  EXPECT_EQ(S().McuRedrawRequest, 0);
  mcu_gauge.gauge_callback(&mcu_gauge, PANEL_SERVICE_PRE_INITIALIZE, 0);
  EXPECT_EQ(S().McuRedrawRequest, 1);
  EXPECT_EQ(G().FrameCounter, 999);
  EXPECT_EQ(G().DisplayRefreshCounter, 999);

  host::host_state.LogFile = std::tmpfile();
  mcu_gauge.gauge_callback(&mcu_gauge, PANEL_SERVICE_PRE_UPDATE, 0);
  mcu_lm_gauge.gauge_callback(&mcu_lm_gauge, PANEL_SERVICE_PRE_UPDATE, 0);
  std::rewind(host::host_state.LogFile);
  char line[64] = {};
  ASSERT_NE(std::fgets(line, sizeof line, host::host_state.LogFile), nullptr);
  EXPECT_STREQ(line, "mcu_lm_callback \n");
  EXPECT_EQ(std::fgets(line, sizeof line, host::host_state.LogFile), nullptr);

  ELEMENT_HEADER* lnav = mcu_gauge.elements_list[0]->next_element[0]->next_element[0];
  ELEMENT_HEADER* hold = lnav->next_element[0];
  for (auto [lnav_on, hold_on] : {std::pair{1, 0}, std::pair{0, 1}, std::pair{0, 0}, std::pair{1, 1}}) {
    G().LnavEngaged = lnav_on;
    G().ActiveHoldIndex = hold_on;
    mcu_lm_gauge.gauge_callback(&mcu_lm_gauge, PANEL_SERVICE_PRE_UPDATE, 0);
    EXPECT_EQ((lnav->image_flags & IMAGE_HIDDEN) == 0, lnav_on == 1);
    EXPECT_EQ((hold->image_flags & IMAGE_HIDDEN) == 0, hold_on == 1);
  }
}

// A "VC" copy draws nothing while the main panel is shown; any other
// parameter draws.
TEST_F(McuKeysTest, TheVirtualCockpitRule) {
  ELEMENT_HEADER* screen = mcu_gauge.elements_list[0]->next_element[0];
  gfx::DeviceContext dc(420, 159);
  gfx::Recorder rec;
  dc.recorder = &rec;
  screen->image = {{420, 159}, &dc};
  host.tokens[773] = 1.0;  // display power
  struct Case {
    const char* parameter;
    bool main_shown;
    bool drawn;
  } cases[] = {{"VC", true, false}, {"VC", false, true}, {"", true, true}, {"VC2", true, true}, {"WN", true, true}};
  for (const Case& c : cases) {
    rec.Clear();
    host.visible_windows.clear();
    if (c.main_shown) host.visible_windows.insert(0);
    mcu_gauge.parameters = c.parameter;
    S().McuRedrawRequest = 1;
    mcu_gauge.gauge_callback(&mcu_gauge, PANEL_SERVICE_PRE_DRAW, 0);
    EXPECT_EQ(rec.Size() > 0, c.drawn) << c.parameter << " " << c.main_shown;
    EXPECT_EQ(screen->image_flags & IMAGE_ON_SCREEN, 0u);
  }
  mcu_gauge.parameters = "";
  screen->image = {};
}

}  // namespace
}  // namespace ovi::mcu::test
