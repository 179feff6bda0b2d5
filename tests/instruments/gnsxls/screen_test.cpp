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

TEST_F(ScreenTest, TheCanvasScalesToTheElement) {
  MakeLibrary(1);
  Frame f = DrawFrame(990, 200);
  f.Expect("FLIGHT PLAN LIST 1/1", 45, 0, kWhite);
  gfx::Recorder::TextItem t;
  ASSERT_TRUE(f.rec.FindText("O1", &t));
  EXPECT_FLOAT_EQ(t.x, 60.0f);  // 30 x 2
  EXPECT_FLOAT_EQ(t.y, 40.0f);  // 80 x 0.5
  EXPECT_EQ(S().GnsXlsDisplay.width, 990);
  EXPECT_EQ(S().GnsXlsDisplay.height, 200);
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

TEST_F(ScreenTest, TheGaugesDifferInTheirBezelAndWindowRectangle) {
  auto count = [](const GAUGEHDR& g) {
    int n = 0;
    for (const MOUSERECT* m = g.mouse_rect; m->rect_type != MOUSE_RECT_EOL; ++m) n += m->rect_type == MOUSE_RECT_CHILD;
    return n;
  };
  EXPECT_EQ(count(gnsxls_gauge), 59);
  EXPECT_EQ(count(gnsxls_lm_gauge), 58);
  EXPECT_EQ(gnsxls_gauge.elements_list[0]->image_flags, 0u);
  EXPECT_EQ(gnsxls_lm_gauge.elements_list[0]->image_flags, IMAGE_LUMINOUS);
  for (const GAUGEHDR* g : {&gnsxls_gauge, &gnsxls_lm_gauge}) {
    const ELEMENT_HEADER* screen = g->elements_list[0]->next_element[0];
    EXPECT_EQ(screen->resource_id, kScreenBitmap);
    EXPECT_EQ(screen->position.x, 90);
    EXPECT_EQ(screen->position.y, 57);
    EXPECT_EQ(screen->image_flags, 0x24u);
  }
}

}  // namespace
}  // namespace ovi::gnsxls::test
