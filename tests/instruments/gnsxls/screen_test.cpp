// The GNS-XLS frame: power, when keys are consumed, the carried key, pages
// without a routine, the canvas scale, and the gauges' install services.
#include <tuple>

#include "src/flightplan/state.h"
#include "src/guidance/state.h"
#include "src/host/gauge_skeleton.h"
#include "src/instruments/gnsxls/gauges.h"
#include "src/instruments/gnsxls/keypad.h"
#include "src/instruments/gnsxls/kit.h"
#include "src/navdb/entry_state.h"
#include "tests/instruments/gnsxls/gnsxls_support.h"

namespace ovi::gnsxls::test {
namespace {

using ScreenTest = GnsTest;

TEST_F(ScreenTest, PowerOffClearsAndKeepsEveryKeyForTheFirstFrameWithPower) {
  MakeLibrary(3);
  guidance::guidance_state.DisplayPower = 0;
  PressLineKey(7);
  S().GnsXlsDirectPressed = 1;
  S().GnsXlsClearPressed = 1;
  Frame dark = DrawFrame();
  EXPECT_TRUE(dark.Texts().empty());
  EXPECT_EQ(dark.rec.Count(gfx::OpKind::Clear), 1);
  EXPECT_EQ(S().GnsXlsLineSelectKey, 7);
  EXPECT_EQ(S().GnsXlsDirectPressed, 1);
  EXPECT_EQ(S().GnsXlsClearPressed, 1);

  guidance::guidance_state.DisplayPower = 1;
  Frame lit = DrawFrame();
  EXPECT_TRUE(lit.Shows("FLIGHT PLAN LIST 1/1"));
  EXPECT_EQ(LineStates(), (std::vector<int>{0, 0, 0, 0, 0, 0, 1, 0, 0, 0}));
  EXPECT_EQ(S().GnsXlsLineSelectKey, 0);
  EXPECT_EQ(S().GnsXlsDirectPressed, 0);
  EXPECT_EQ(S().GnsXlsClearPressed, 0);
}

// ENT on a list row whose file is gone: the list stays, nothing opened.
TEST_F(ScreenTest, AListRowThatCannotBeReadOpensNothing) {
  MakeLibrary(3);  // no files behind them
  flightplan::flightplan_state.PendingFlightPlanLastIndex = 4;
  PressLineKey(7);
  DrawFrame();
  S().GnsXlsEnterPressed = 1;
  Frame f = DrawFrame();
  EXPECT_EQ(navdb::entry_state.PendingPlanOpen, 0);
  EXPECT_EQ(flightplan::flightplan_state.PendingFlightPlanLastIndex, 4);
  EXPECT_TRUE(DrawFrame().Shows("FLIGHT PLAN LIST 1/1"));
  EXPECT_EQ(LineStates()[6], 1);
}

TEST_F(ScreenTest, APageWithoutRoutineIsBlankAndDropsItsKeysAtTheFrameEnd) {
  for (std::int32_t page : {kPageVnavBlank, 2, 6, 0, -1, 22, 999}) {
    S().GnsXlsPage = page;
    PressLineKey(3);
    S().GnsXlsDirectPressed = 1;
    Frame f = DrawFrame();
    EXPECT_TRUE(f.Texts().empty()) << page;
    EXPECT_EQ(S().GnsXlsLineSelectKey, 0) << page;
    EXPECT_EQ(S().GnsXlsDirectPressed, 0) << page;
    EXPECT_EQ(LineStates(), std::vector<int>(10, 0)) << page;
  }
}

// The list's closing entry loads the empty plan; the frame after acts as if
// line key 1 were pressed: the entry opens on the first row.
TEST_F(ScreenTest, APostedLineKeyActsInTheNextFrame) {
  MakeLibrary(0);
  PressLineKey(7);
  DrawFrame();
  S().GnsXlsEnterPressed = 1;
  DrawFrame();
  EXPECT_EQ(navdb::entry_state.PendingPlanOpen, 1);
  EXPECT_EQ(flightplan::flightplan_state.PendingFlightPlanLastIndex, -1);
  EXPECT_EQ(S().GnsXlsLineSelectKey, 1);
  EXPECT_EQ(S().GnsXlsEntryActive, 0);
  Frame f = DrawFrame();
  EXPECT_EQ(LineStates()[0], 1);
  EXPECT_EQ(S().GnsXlsEntryActive, 1);
  EXPECT_EQ(f.Blocks(), (std::vector<Frame::Block>{{96, 40, 6}}));
  EXPECT_EQ(S().GnsXlsLineSelectKey, 0);
  DrawFrame();
  EXPECT_EQ(LineStates()[0], 1);  // acted once
}

// Each install shows the list, page 1; only GNSXLS closes a plan opened on it.
TEST_F(ScreenTest, PreInstallResetsThePageMachine) {
  for (GAUGEHDR* gauge : {&gnsxls_gauge, &gnsxls_lm_gauge}) {
    S().GnsXlsPage = kPageHolding;
    S().GnsXlsFplView = kViewActive;
    S().GnsActivePlanPage = 3;
    S().GnsPlanListPage = 2;
    navdb::entry_state.PendingPlanOpen = 1;
    gauge->gauge_callback(gauge, PANEL_SERVICE_PRE_INSTALL, 0);
    EXPECT_EQ(S().GnsXlsPage, kPageFlightPlan);
    EXPECT_EQ(S().GnsXlsFplView, kViewStored);
    EXPECT_EQ(S().GnsActivePlanPage, 1);
    EXPECT_EQ(S().GnsPlanListPage, 1);
    EXPECT_EQ(navdb::entry_state.PendingPlanOpen, gauge == &gnsxls_gauge ? 0 : 1) << gauge->gauge_name;
  }
}

// The bezel's keys where the key table puts them, each doing its key's
// work; GNSXLS alone has the rectangle over its screen (window 4004). The
// bezel 9752 (550 x 433, lit on GNSXLS_LM) carries the screen 9751 (292 x
// 217 at 90, 57, flags 0x24) that fails blank with the displays.
TEST_F(ScreenTest, TheBezelsKeysAndPictures) {
  struct Key {
    int x, y, w, h;
    char typed;             // a character key: what it types
    std::int32_t line = 0;  // a line key: its number
    std::int32_t page = 0;  // otherwise: the page it leaves shown (from page 9)
  } keys[] = {
      {55, 11, 36, 28, 0, 0, kPageNavigation},  {99, 11, 36, 28, 0, 0, kPageVnav},
      {188, 11, 36, 28, 0, 0, kPageFlightPlan}, {363, 11, 36, 28, 0, 0, kPagePlan},
      {428, 48, 36, 28, 0, 0, kPageHolding},    {18, 228, 30, 38, 0, 0, kPageDirect},
      {60, 70, 24, 17, 0, 1},   {60, 204, 24, 17, 0, 4},  {57, 247, 24, 17, 0, 5},
      {390, 70, 24, 17, 0, 6},  {390, 247, 24, 17, 0, 10},
      {48, 310, 36, 30, 'A'},   {184, 310, 36, 30, 'D'},  {322, 310, 36, 30, 'E'},
      {460, 310, 36, 30, 'H'},  {48, 350, 36, 30, 'I'},   {460, 350, 36, 30, 'R'},
      {48, 392, 36, 30, 'S'},   {368, 392, 36, 30, 'Z'},  {414, 392, 36, 30, '*'},
      {428, 84, 30, 36, '1'},   {498, 84, 30, 36, '3'},   {462, 130, 30, 36, '5'},
      {428, 174, 30, 36, '7'},  {498, 174, 30, 36, '9'},  {428, 218, 30, 36, '#'},
      {462, 218, 30, 36, '0'},
  };
  for (GAUGEHDR* gauge : {&gnsxls_gauge, &gnsxls_lm_gauge}) {
    const bool main = gauge == &gnsxls_gauge;
    std::vector<const MOUSERECT*> children;
    for (const MOUSERECT* r = gauge->mouse_rect; r->rect_type != MOUSE_RECT_EOL; ++r)
      if (r->rect_type == MOUSE_RECT_CHILD) children.push_back(r);
    ASSERT_EQ(children.size(), main ? 59u : 58u);
    auto at = [&](int x, int y) -> const MOUSERECT* {
      for (const MOUSERECT* r : children)
        if (r->position.x == x && r->position.y == y) return r;
      return nullptr;
    };
    EXPECT_EQ(at(190, 101) != nullptr, main);
    for (const Key& k : keys) {
      const MOUSERECT* r = at(k.x, k.y);
      ASSERT_NE(r, nullptr) << k.x << "," << k.y;
      EXPECT_EQ(r->size.x * 1000 + r->size.y, k.w * 1000 + k.h) << k.x << "," << k.y;
      EXPECT_EQ(r->cursor, CURSOR_HAND);
      ResetModuleState();
      flightplan::test::MakeActive({"KSEA", "SEA"});  // a waypoint to go direct to
      flightplan::flightplan_state.ActiveWaypointIndex = 1;
      S().GnsXlsPage = kPageNavigation;
      S().GnsXlsEntryActive = 1;
      r->handler(nullptr, 0);
      if (k.typed != 0) {
        EXPECT_EQ(S().NavigatorScratchpad, std::string(1, k.typed) + "     ");
      } else if (k.line != 0) {
        EXPECT_EQ(S().GnsXlsLineSelectKey, k.line);
      } else {
        EXPECT_EQ(S().GnsXlsPage, k.page) << k.x << "," << k.y;
      }
    }
    const ELEMENT_HEADER* bezel = gauge->elements_list[0];
    const ELEMENT_HEADER* screen = bezel->next_element[0];
    EXPECT_EQ(bezel->resource_id, 9752u);
    EXPECT_EQ(bezel->image_size.x * 1000 + bezel->image_size.y, 550433);
    EXPECT_EQ(bezel->image_flags, main ? 0u : 0x4000u);
    EXPECT_EQ(screen->resource_id, 9751u);
    EXPECT_EQ(screen->image_size.x * 1000 + screen->image_size.y, 292217);
    EXPECT_EQ(screen->position.x * 1000 + screen->position.y, 90057);
    EXPECT_EQ(screen->image_flags, 0x24u);
    EXPECT_EQ(screen->failures[0].key * 10 + screen->failures[0].action, 212);
  }
  // Previous and next step the NAVIGATION sub-page 1 to 4 and to 2.
  for (const auto& [x, y, sub] : {std::tuple{18, 140, 4}, std::tuple{18, 185, 2}}) {
    ResetModuleState();
    S().GnsXlsPage = kPageNavigation;
    for (const MOUSERECT* r = gnsxls_gauge.mouse_rect; r->rect_type != MOUSE_RECT_EOL; ++r)
      if (r->position.x == x && r->position.y == y) r->handler(nullptr, 0);
    EXPECT_EQ(S().GnsNavSubPage, sub) << y;
  }
}

// Two navigators on a panel draw in turn: the first to draw consumes the
// key, the second draws the page it left, at its own size.
TEST_F(ScreenTest, TwoNavigatorsConsumeAKeyOnce) {
  MakeLibrary(3);
  PressLineKey(7);
  Frame first = DrawFrame();
  Frame second = DrawFrame(584, 434);
  first.Expect(">", 460, 98, kWhite);
  second.Expect(">", 460, 98, kWhite);
  EXPECT_EQ(LineStates()[6], 1);
  EXPECT_EQ(S().GnsXlsDisplay.width * 1000 + S().GnsXlsDisplay.height, 584434);
}

}  // namespace
}  // namespace ovi::gnsxls::test
