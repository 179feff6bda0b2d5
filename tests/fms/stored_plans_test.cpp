// STORED FLIGHT PLANS: six plans a sub-page, paging at both ends, an empty
// library, loading from a row and what the route state becomes.
#include <fstream>
#include <string>

#include "src/flightplan/library.h"
#include "src/flightplan/state.h"
#include "src/guidance/state.h"
#include "src/instruments/fms/kit.h"
#include "src/instruments/fms/state.h"
#include "src/model/state.h"
#include "tests/fms/cdu_support.h"
#include "tests/flightplan/route_support.h"

namespace ovi::fms::test {
namespace {

flightplan::State& F() { return flightplan::flightplan_state; }
using flightplan::test::Strings;

class StoredPlansTest : public SampleCopyTest {
 protected:
  void SetUp() override {
    SampleCopyTest::SetUp();
    fms_state.FmsPage = kPageStoredFlightPlans;
  }
  // A library of `count` plans named P1, P2, ...
  void NamedLibrary(int count) {
    for (int i = 1; i <= count; ++i) F().FlightPlanLibrary[i].name = "P" + std::to_string(i);
    F().FlightPlanLibraryCount = count;
  }
  // The sample library, shown on the sub-page of `name`; its row.
  int ShowPlan(const std::string& name) {
    flightplan::ScanFlightPlanFolder();
    for (int i = 1; i <= F().FlightPlanLibraryCount; ++i) {
      if (F().FlightPlanLibrary[i].name == name) {
        fms_state.StoredPlansPageIndex = (i - 1) / 6 + 1;
        return (i - 1) % 6 + 1;
      }
    }
    ADD_FAILURE() << name << " is not in the library";
    return 1;
  }
};

TEST_F(StoredPlansTest, SixPlansASubPageAndWrappingPages) {
  NamedLibrary(13);
  Frame first = DrawFrame(564, 490);
  first.ExpectText("STORED FLIGHT PLANS", 10, 0);
  first.ExpectText(" 1 /  3", 225, 0, 12);
  for (int r = 1; r <= 6; ++r) first.ExpectText("P" + std::to_string(r), 0, 33.0f * r);
  EXPECT_FALSE(first.Find("P7"));

  fms_state.FmsPrevPageKey = 1;
  Frame last = DrawFrame();
  last.ExpectText(" 3 /  3", 225, 0, 12);
  last.ExpectText("P13", 0, 33);
  EXPECT_EQ(last.rec.Texts().size(), 3u);  // title, counter, one plan; no scratchpad text
  fms_state.FmsNextPageKey = 1;
  DrawFrame().ExpectText(" 1 /  3", 225, 0, 12);

  // Rows past the library do nothing.
  fms_state.StoredPlansPageIndex = 3;
  for (int key : {kL2, kL5, kL6}) {
    PressLineKey(key);
    DrawFrame();
    EXPECT_EQ(fms_state.FmsPage, kPageStoredFlightPlans) << key;
  }
}

TEST_F(StoredPlansTest, AnEmptyOrShrunkLibrary) {
  fms_state.StoredPlansPageIndex = 3;
  Frame f = DrawFrame();
  f.ExpectText(" 1 /  1", 225, 0, 12);
  EXPECT_EQ(fms_state.StoredPlansPageIndex, 1);
  PressLineKey(kL1);
  DrawFrame();
  EXPECT_EQ(fms_state.FmsPage, kPageStoredFlightPlans);
  F().FlightPlanLibrary[1].name = "LEFT OVER";  // a slot past the count is never read
  EXPECT_FALSE(DrawFrame().Find("LEFT OVER"));
}

TEST_F(StoredPlansTest, ALeftKeyLoadsThePlanAndShowsTheRoute) {
  struct Case {
    int state_before, state_after;
  };
  // The load itself makes a new route of state 0 an entered one (1); the
  // row's step then activates it, EXEC pending (2). A route already
  // activated or modified keeps its state: a step would claim an
  // execution that never happened.
  for (Case c : {Case{0, 2}, Case{1, 2}, Case{2, 2}, Case{3, 4}, Case{4, 4}}) {
    SCOPED_TRACE(c.state_before);
    fms_state.FmsPage = kPageStoredFlightPlans;
    F().PendingFlightPlanLastIndex = -1;
    F().RouteViaToCount = 1;
    F().RouteViaToList[1] = {"STALE", "DIRECT"};
    F().RouteState = c.state_before;
    model::model_state.FmsSubPageTable.RteSubPage = 2;
    const int row = ShowPlan("KSEA-KPDX.rte");
    if (row == 6) GTEST_SKIP() << "the plan is on the sixth row";
    PressLineKey(row);
    DrawFrame();
    EXPECT_EQ(fms_state.FmsPage, kPageRoute);
    EXPECT_EQ(model::model_state.FmsSubPageTable.RteSubPage, 1);
    EXPECT_EQ(F().PendingFlightPlan[0].ident, "KSEA");
    EXPECT_EQ(F().PendingFlightPlan[F().PendingFlightPlanLastIndex].ident, "KPDX");
    EXPECT_EQ(F().RouteState, c.state_after);
    // Its rows, not those of an earlier route.
    ASSERT_EQ(F().RouteViaToCount, 4);
    EXPECT_EQ(F().RouteViaToList[2].to, "OLM");
    EXPECT_EQ(F().RouteViaToList[4].via, "LAVAA2");
  }
}

// A plan of its two ends alone has no rows: none of an earlier route stay,
// from whichever row it is loaded.
TEST_F(StoredPlansTest, APlanOfItsEndsAloneLeavesNoEarlierRows) {
  std::ofstream(root_ / "ovi" / "flightplans" / "KSEA-KBFI.rte")
      << "[FlightPlan]\n"
         "KSEA             47.44900  -122.30930  APT ---            \n"
         "KBFI             47.53000  -122.30200  APT ---    DIRECT  \n";
  const int row = ShowPlan("KSEA-KBFI.rte");
  for (int key : {row == 6 ? static_cast<int>(kL6) : row, static_cast<int>(kL6)}) {
    SCOPED_TRACE(key);
    fms_state.FmsPage = kPageStoredFlightPlans;
    F().RouteViaToCount = 1;
    F().RouteViaToList[1] = {"STALE", "DIRECT"};
    // The plan on the pressed row: L6 reads the sixth entry of the sub-page.
    F().FlightPlanLibrary[6 * (fms_state.StoredPlansPageIndex - 1) + (key == kL6 ? 6 : key)].name = "KSEA-KBFI.rte";
    PressLineKey(key);
    DrawFrame();
    ASSERT_EQ(fms_state.FmsPage, kPageRoute);
    ASSERT_EQ(F().PendingFlightPlanLastIndex, 1);
    EXPECT_EQ(F().RouteViaToCount, 0);
    EXPECT_EQ(F().RouteViaToList[1].to, "");
  }
}

TEST_F(StoredPlansTest, TheSixthRowMakesANewRouteAndItsRows) {
  flightplan::ScanFlightPlanFolder();
  ASSERT_GE(F().FlightPlanLibraryCount, 6);
  const std::string name = F().FlightPlanLibrary[6].name;
  F().RouteState = 3;
  PressLineKey(kL6);
  DrawFrame();
  EXPECT_EQ(fms_state.FmsPage, kPageRoute);
  EXPECT_EQ(F().RouteState, 1);
  EXPECT_EQ(F().PendingFlightPlan[0].ident, F().FlightPlanLibrary[6].origin_ident) << name;
  EXPECT_GT(F().RouteViaToCount, 0) << name;
}

// A plan that cannot be loaded (missing, without a waypoint, a damaged
// .PLN) changes nothing: not the route state (a step from 0 would start a
// new flight, loading fuel and restarting the log), neither route, nor the
// fuel; the scratchpad says so and the page stays. The RTE page's company
// route alike.
TEST_F(StoredPlansTest, APlanThatCannotBeLoadedChangesNothing) {
  std::ofstream(root_ / "ovi" / "flightplans" / "EMPTY.RTE") << "CruiseAlt=35000\nTripFuel=9000\n[FlightPlan]\n";
  std::ifstream sample(root_ / "ovi" / "flightplans" / "KYKM-KSEA.PLN", std::ios::binary);
  const std::string pln((std::istreambuf_iterator<char>(sample)), std::istreambuf_iterator<char>());
  std::ofstream(root_ / "ovi" / "flightplans" / "CUT.PLN", std::ios::binary) << pln.substr(0, pln.size() / 2);
  const char* plans[] = {"MISSING.RTE", "EMPTY.RTE", "CUT.PLN"};
  for (int state : {0, 3}) {
    for (int row = 1; row <= 3; ++row) {
      SCOPED_TRACE(std::string(plans[row - 1]) + " in state " + std::to_string(state));
      NamedLibrary(3);
      for (int i = 1; i <= 3; ++i) F().FlightPlanLibrary[i].name = plans[i - 1];
      fms_state.FmsPage = kPageStoredFlightPlans;
      fms_state.StoredPlansPageIndex = 1;
      flightplan::test::MakeActive({"KSEA", "OLM", "KPDX"});
      flightplan::test::MakePending({"KSEA", "OLM", "BTG", "KPDX"});
      F().RouteState = state;
      model::State& m = model::model_state;
      m.PlannedFuel = 1234.0;
      m.ResvFuel = 500.0;
      m.FileCruiseAlt = 16000;
      m.LoadFuelonFlightPlanLoad = 1;
      guidance::guidance_state.FlightPhase = 3;
      PressLineKey(row);
      DrawFrame();
      EXPECT_EQ(m.PanelMessage, "Unable to load FP");
      EXPECT_EQ(fms_state.FmsPage, kPageStoredFlightPlans);
      EXPECT_EQ(F().RouteState, state);
      EXPECT_EQ(flightplan::test::PendingIdents(), (Strings{"KSEA", "OLM", "BTG", "KPDX"}));
      EXPECT_EQ(flightplan::test::ActiveIdents(), (Strings{"KSEA", "OLM", "KPDX"}));
      EXPECT_EQ(m.PlannedFuel, 1234.0);
      EXPECT_EQ(m.ResvFuel, 500.0);
      EXPECT_EQ(m.FileCruiseAlt, 16000);
      EXPECT_EQ(guidance::guidance_state.FlightPhase, 3);
      m.PanelMessage.clear();
    }
  }
  // The company route CUT on RTE: refused, the name stays to be corrected.
  fms_state.FmsPage = kPageRoute;
  model::model_state.FmsSubPageTable.RteSubPage = 1;
  model::model_state.FmsScratchpad = "CUT";
  PressLineKey(kL2);
  DrawFrame();
  EXPECT_EQ(model::model_state.PanelMessage, "Unable to load FP");
  EXPECT_EQ(model::model_state.FmsScratchpad.str(), "CUT");
  EXPECT_EQ(F().RouteState, 3);
  EXPECT_EQ(flightplan::test::PendingIdents(), (Strings{"KSEA", "OLM", "BTG", "KPDX"}));
}

}  // namespace
}  // namespace ovi::fms::test
