// The GNS-XLS frame: power, when keys are consumed, the carried key, pages
// without a routine, the canvas scale, and the gauges' install services.
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
