// IDENT, TEMP NAV SUMMARY, INIT/REF INDEX (with SAVE FPL) and DEP / ARR
// INDEX: their texts and places, their keys, and when a key acts.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

#include "platform/gfx/image_io.h"
#include "src/flightplan/state.h"
#include "src/instruments/fms/cdu.h"
#include "src/host/state.h"
#include "src/instruments/fms/kit.h"
#include "src/instruments/fms/save_name.h"
#include "src/instruments/fms/state.h"
#include "src/model/state.h"
#include "src/navdb/procedure_state.h"
#include "src/navdb/procedures.h"
#include "tests/fms/cdu_support.h"

namespace ovi::fms::test {
namespace {

namespace fs = std::filesystem;

class IdentPageTest : public CduTest {
 protected:
  void SetUp() override {
    CduTest::SetUp();
    fms_state.FmsPage = kPageIdent;
    model::State& m = model::model_state;
    m.ModelId = "737-800";
    m.EngThrust = 27;
    m.NavDataCycleText = "AIRAC 12-JUN-2024 (16-MAY-2024) 2405";
    m.NavDataActiveDates = "MAY16JUN12/24";
  }
};

TEST_F(IdentPageTest, LayoutAtTwoSizes) {
  for (auto [w, h] : {std::pair{282, 245}, std::pair{284, 233}}) {
    SCOPED_TRACE(w);
    Frame f = DrawFrame(w, h);
    f.ExpectText("IDENT", 63, 0);
    f.ExpectText("1 / 1", 220, 3, 12);
    f.ExpectText("M O D E L", 12, 22, 12);
    f.ExpectText("737-800", 0, 33);
    f.ExpectText("E N G   R A T I N G", 272 - 5.5f * 19, 22, 12);
    f.ExpectText("27 K", 240, 33);
    f.ExpectText("N A V   D A T A", 12, 55, 12);
    f.ExpectText("AIRAC 2405", 0, 66);
    f.ExpectText("A C T I V E", 272 - 5.5f * 11, 55, 12);
    f.ExpectText("MAY16JUN12/24", 130, 66);
    f.ExpectText("O P   P R O G R A M", 12, 121, 12);
    f.ExpectText("296485 - 07 - 11      (V01.8)", 0, 136);
    f.ExpectText("S U P P  D A T A", 272 - 5.5f * 16, 155, 12);
    f.ExpectText("<INDEX", 0, 198);
    f.ExpectText("POS  INIT>", 182, 198);
    ExpectLegible(f);
  }
}

// NAV DATA names the cycle beside the ACTIVE dates, which show the line's
// dates already; it ends a blank (5) before them, or before the screen's
// edge when there are none. Widths in Arial's thousandths of the em, times
// 18: "AIRAC 2405 R" 6558 (118 units), with the "E" 7225 (130).
TEST_F(IdentPageTest, NavDataShowsTheCycleClearOfTheDates) {
  struct Case {
    const char* line;
    const char* dates;
    const char* shown;
  };
  const Case cases[] = {
      {"AIRAC 12-JUN-2024 (16-MAY-2024) 2405", "MAY16JUN12/24", "AIRAC 2405"},
      {"AIRAC 09-FEB-2006 (12-JAN-2006)", "JAN12FEB09/06", "AIRAC"},
      {"AIRAC 12-JUN-2024", "", "AIRAC 12-JUN-2024"},  // one date: no ACTIVE dates
      {"AIRAC 12-JUN-2024 (16-MAY-2024) 2405 REVISION 2", "MAY16JUN12/24", "AIRAC 2405 R"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    model::model_state.NavDataCycleText = c.line;
    model::model_state.NavDataActiveDates = c.dates;
    Frame f = DrawFrame();
    f.ExpectText(c.shown, 0, 66);
    ExpectLegible(f);
  }
}

TEST_F(IdentPageTest, EngineRatingPadsToTwoDigitsAndHidesWhenUnset) {
  struct Case {
    int thrust;
    const char* shown;  // null: nothing at (240, 33)
  };
  for (Case c : {Case{27, "27 K"}, Case{5, " 5 K"}, Case{1, " 1 K"}, Case{0, nullptr}, Case{-4, nullptr}}) {
    SCOPED_TRACE(c.thrust);
    model::model_state.EngThrust = c.thrust;
    Frame f = DrawFrame();
    if (c.shown != nullptr) {
      f.ExpectText(c.shown, 240, 33);
    } else {
      EXPECT_FALSE(f.rec.FindTextContaining(" K"));
    }
  }
}

TEST_F(IdentPageTest, EmptyTextsLeaveTheirFieldsEmptyAndTheLabelsStay) {
  model::model_state.ModelId.clear();
  model::model_state.NavDataCycleText.clear();
  Frame f = DrawFrame();
  float x = 0, y = 0;
  for (const auto& t : f.rec.Texts()) {
    EXPECT_FALSE(t.x == 0 && (t.y == 33 || t.y == 66)) << t.text;
  }
  EXPECT_TRUE(f.Find("M O D E L", &x, &y));
  EXPECT_TRUE(f.Find("N A V   D A T A"));
}

TEST_F(IdentPageTest, KeysOpenTheIndexAndPosInitOnItsFirstSubPage) {
  PressLineKey(kL6);
  DrawFrame();
  EXPECT_EQ(fms_state.FmsPage, kPageInitRefIndex);

  fms_state.FmsPage = kPageIdent;
  model::model_state.FmsSubPageTable.PosSubPage = 3;
  PressLineKey(kR6);
  DrawFrame();
  EXPECT_EQ(fms_state.FmsPage, kPagePosition);
  EXPECT_EQ(model::model_state.FmsSubPageTable.PosSubPage, 1);

  for (int key : {kL1, kL2, kL3, kL4, kL5, kR1, kR2, kR3, kR4, kR5}) {
    fms_state.FmsPage = kPageIdent;
    PressLineKey(key);
    fms_state.FmsNextPageKey = 1;
    DrawFrame();
    EXPECT_EQ(fms_state.FmsPage, kPageIdent) << key;
  }
}

TEST_F(CduTest, TempNavSummaryShowsNoScratchpadAndLeavesIt) {
  fms_state.FmsPage = kPageTempNavSummary;
  model::model_state.FmsScratchpad = "KSEA";
  model::model_state.PanelMessage = "INVALID ENTRY";
  for (auto [w, h] : {std::pair{282, 245}, std::pair{564, 490}}) {
    Frame f = DrawFrame(w, h);
    f.ExpectText("TEMP  NAV  SUMMARY", 12, 0);
    f.ExpectText("1 / 1", 230, 3, 12);
    f.ExpectText("< INDEX", 0, 198);
    EXPECT_EQ(f.rec.Texts().size(), 3u);
  }
  PressLineKey(kR6);
  DrawFrame();
  EXPECT_EQ(fms_state.FmsPage, kPageTempNavSummary);
  PressLineKey(kL6);
  DrawFrame();
  EXPECT_EQ(fms_state.FmsPage, kPageInitRefIndex);
  EXPECT_EQ(model::model_state.FmsScratchpad, "KSEA");
  EXPECT_EQ(model::model_state.PanelMessage, "INVALID ENTRY");
}

// Nothing opens page 29; this picture is how the demo shows it
// (scripts/demo sets OVI_CDU_PNG_DIR).
TEST_F(CduTest, TempNavSummaryOnTheScreen) {
  fms_state.FmsPage = kPageTempNavSummary;
  gfx::DeviceContext dc(284, 233);
  DrawFmsCdu(fms_state.FmsDisplay, &dc, 284, 233);
  int green = 0;
  for (std::uint32_t& p : dc.pixels) {
    if ((p & 0x0000FF00u) > 0x00008000u) ++green;
    p |= 0xFF000000u;  // over the black screen
  }
  EXPECT_GT(green, 100);
  if (const char* dir = std::getenv("OVI_CDU_PNG_DIR")) {
    EXPECT_TRUE(gfx::WritePng(dc, std::string(dir) + "/29-temp-nav-summary.png"));
  }
}

TEST_F(CduTest, InitRefIndexPromptsAndWhereTheyLead) {
  fms_state.FmsPage = kPageInitRefIndex;
  Frame f = DrawFrame(564, 490);
  f.ExpectText("INIT/REF   INDEX", 63, 0);
  f.ExpectText("<IDENT", 0, 33);
  f.ExpectText("NAV DATA>", 175, 33);
  f.ExpectText("<POS", 0, 66);
  f.ExpectText("FLIGHT PLANS>", 137, 66);
  f.ExpectText("<PERF", 0, 99);
  f.ExpectText("LOAD ATC RTE>", 137, 99);
  f.ExpectText("<TAKEOFF", 0, 132);
  f.ExpectText("<APPROACH", 0, 165);
  f.ExpectText("SAVE FPL>", 180, 198);

  struct Case {
    int key;
    int page;
  };
  const Case cases[] = {{kL1, kPageIdent},     {kR1, kPageRefNavData},        {kL2, kPagePosition},
                        {kR2, kPageStoredFlightPlans}, {kL3, kPagePerfInit}, {kL4, kPageTakeoffRef},
                        {kL5, kPageApproachRef}, {kR4, kPageInitRefIndex},    {kR5, kPageInitRefIndex},
                        {kL6, kPageInitRefIndex}};
  model::FmsSubPageTable& sub = model::model_state.FmsSubPageTable;
  for (Case c : cases) {
    SCOPED_TRACE(c.key);
    fms_state.FmsPage = kPageInitRefIndex;
    sub.PosSubPage = 2;
    sub.PerfInitSubPage = 2;
    PressLineKey(c.key);
    DrawFrame();
    EXPECT_EQ(fms_state.FmsPage, c.page);
    EXPECT_EQ(sub.PosSubPage, c.key == kL2 ? 1 : 2);
    EXPECT_EQ(sub.PerfInitSubPage, c.key == kL3 ? 1 : 2);
  }
}

TEST_F(CduTest, LoadAtcRouteWithoutAPlannerRouteSaysSo) {
  fms_state.FmsPage = kPageInitRefIndex;
  PressLineKey(kR3);
  DrawFrame();
  EXPECT_EQ(model::model_state.PanelMessage, "NO ACTIVE GPS RTE");
  EXPECT_EQ(fms_state.FmsPage, kPageInitRefIndex);
}

class SaveFplTest : public CduTest {
 protected:
  void SetUp() override {
    CduTest::SetUp();
    root_ = fs::temp_directory_path() / ("ovi_fms_save_" + std::to_string(::getpid()));
    fs::remove_all(root_);
    fs::create_directories(Folder());
    host::host_state.SimulatorFolder = root_.string();
    fms_state.FmsPage = kPageInitRefIndex;
    flightplan::State& fp = flightplan::flightplan_state;
    fp.RouteState = 3;
    fp.ActiveFlightPlan[0].ident = "KSEA";
    fp.ActiveFlightPlan[0].type = "APT";
    fp.ActiveFlightPlan[1].ident = "KLAX";
    fp.ActiveFlightPlan[1].type = "APT";
    fp.ActiveFlightPlanLastIndex = 1;
  }
  void TearDown() override { fs::remove_all(root_); }
  fs::path Folder() const { return root_ / "ovi" / "flightplans"; }
  void Save(const char* typed) {
    model::model_state.FmsScratchpad = typed;
    PressLineKey(kR6);
    DrawFrame();
  }
  fs::path root_;
};

TEST_F(SaveFplTest, NamesFromTheRouteOrTheScratchpad) {
  struct Case {
    const char* typed;
    const char* file;
  };
  for (Case c : {Case{"", "KSEAKLAX.RTE"}, Case{"MYPLAN.TXT", "MYPLAN.TXT"}, Case{"MY-PLAN_2", "MY-PLAN_2.RTE"},
                 Case{"COM0", "COM0.RTE"}, Case{"LPT10", "LPT10.RTE"}, Case{"CONX", "CONX.RTE"}, Case{"TEMPO", "TEMPO.RTE"},
                 Case{"ABCDEFGHIJKLMNOPQRSTUVWX", "ABCDEFGHIJKLMNOPQRSTUVWX.RTE"}}) {
    SCOPED_TRACE(c.typed);
    Save(c.typed);
    EXPECT_TRUE(fs::exists(Folder() / c.file));
    EXPECT_EQ(model::model_state.PanelMessage, std::string(c.file) + " Saved");
    EXPECT_TRUE(model::model_state.FmsScratchpad.empty());
  }
}

TEST_F(SaveFplTest, OnlyPlainNamesAreWritten) {
  for (const char* typed : {"A/B", "../KSEA", "A B", "A.B.C", ".", ".RTE", "KSEA+", "C:X", "CON", "NUL.TXT",
                            "COM1", "LPT9.RTE", "AUX", "PRN", "TEMP", "temp.rte", "Temp.Rte",
                            "KSEAKPDX.PLN", "plan.pln"}) {
    SCOPED_TRACE(typed);
    Save(typed);
    std::string name = typed;
    if (name.find('.') == std::string::npos) name += ".RTE";
    EXPECT_EQ(model::model_state.PanelMessage, name + " Unable to Save");
    EXPECT_TRUE(model::model_state.FmsScratchpad.empty());
  }
  EXPECT_TRUE(fs::is_empty(Folder()));
  EXPECT_FALSE(fs::exists(root_ / "ovi" / "KSEA.RTE"));
}

// The name rule as either save page asks it, with or without the
// extension the page appends: the scratch file's name in every form, and
// names that merely begin like it.
TEST(SaveName, TheScratchFileIsNoNameInAnyForm) {
  struct Case {
    const char* name;
    bool plain;
  };
  for (Case c : {Case{"TEMP", false}, Case{"temp", false}, Case{"TEMP.RTE", false}, Case{"Temp.Rte", false},
                 Case{"TEMPO", true}, Case{"TEMP.TXT", true}, Case{"TEMP1.RTE", true}, Case{"ATEMP", true}}) {
    EXPECT_EQ(IsPlainFileName(c.name), c.plain) << c.name;
  }
}

TEST_F(SaveFplTest, LongRouteIdentsAreCutToTheScratchpad) {
  flightplan::State& fp = flightplan::flightplan_state;
  fp.ActiveFlightPlan[0].ident = "ABCDEFGHIJKLMNOP";
  fp.ActiveFlightPlan[1].ident = "QRSTUVWXYZ012345";
  Save("");
  EXPECT_EQ(model::model_state.PanelMessage, "ABCDEFGHIJKLMNOPQRSTUVWX.RTE Saved");
}

TEST_F(SaveFplTest, AFailedWriteIsReported) {
  fs::remove_all(root_ / "ovi");
  Save("PLAN");
  EXPECT_EQ(model::model_state.PanelMessage, "PLAN.RTE Unable to Save");
}

TEST_F(SaveFplTest, WithoutAnExecutedRouteNothingIsSaved) {
  flightplan::State& fp = flightplan::flightplan_state;
  for (auto [state, last] : {std::pair{2, 1}, std::pair{0, 1}, std::pair{3, 0}, std::pair{4, -1}}) {
    SCOPED_TRACE(state);
    fp.RouteState = state;
    fp.ActiveFlightPlanLastIndex = last;
    Save("PLAN");
    EXPECT_EQ(model::model_state.PanelMessage, "NO ACTIVE FLIGHT PLAN");
    EXPECT_EQ(model::model_state.FmsScratchpad, "PLAN");
  }
  EXPECT_TRUE(fs::is_empty(Folder()));
  fp.RouteState = 4;
  fp.ActiveFlightPlanLastIndex = 1;
  Save("PLAN");
  EXPECT_EQ(model::model_state.PanelMessage, "PLAN.RTE Saved");
}

class DepArrIndexTest : public CduTest {
 protected:
  void SetUp() override {
    CduTest::SetUp();
    navdb::test::UseSampleData();
    fms_state.FmsPage = kPageDepArrIndex;
  }
};

TEST_F(DepArrIndexTest, Layout) {
  model::model_state.OriginAirportIdent = "KSEA";
  model::model_state.DestinationAirportIdent = "KPDX";
  Frame f = DrawFrame(284, 233);
  f.ExpectText("DEP / ARR  INDEX", 63, 0);
  f.ExpectText("1 / 1", 230, 5, 12);
  f.ExpectText("< DEP", 0, 33);
  f.ExpectText("KSEA", 90, 33);
  f.ExpectText("KPDX", 90, 66);
  f.ExpectText("ARR >", 220, 66);
  f.ExpectText("DEP", 0, 184, 12);
  f.ExpectText("OTHER", 90, 184, 12);
  f.ExpectText("ARR", 220, 184, 12);
  f.ExpectText("< - - - -", 0, 198);
  f.ExpectText("- - - - >", 220, 198);
  ExpectLegible(f);
}

TEST_F(DepArrIndexTest, KeysWaitForTheirAirport) {
  PressLineKey(kL1);
  DrawFrame();
  PressLineKey(kR2);
  DrawFrame();
  EXPECT_EQ(fms_state.FmsPage, kPageDepArrIndex);
}

TEST_F(DepArrIndexTest, DeparturesOpenFreshWithEverySidListed) {
  ASSERT_EQ(navdb::LoadAirportProcedures("KSEA", 1), 1);
  model::model_state.OriginAirportIdent = "KSEA";
  model::model_state.FmsSubPageTable.DeparturesSubPage = 3;
  struct Case {
    int sid_state, sid_state_after;
  };
  for (Case c : {Case{1, 2}, Case{0, 0}, Case{2, 2}}) {
    fms_state.FmsPage = kPageDepArrIndex;
    fms_state.FmsDepSidState = c.sid_state;
    fms_state.FmsDepTransChosen = fms_state.FmsDepRunwayChosen = 1;
    PressLineKey(kL1);
    DrawFrame();
    EXPECT_EQ(fms_state.FmsPage, kPageDepartures);
    EXPECT_EQ(fms_state.FmsDepSidState, c.sid_state_after);
    EXPECT_EQ(fms_state.FmsDepTransChosen, 0);
    EXPECT_EQ(fms_state.FmsDepRunwayChosen, 0);
    EXPECT_EQ(model::model_state.FmsSubPageTable.DeparturesSubPage, 1);
  }
  const model::AirportProcedureSet& origin = navdb::procedure_state.AirportProcedureSets[1];
  ASSERT_EQ(origin.SidNameListCount, 3);
  EXPECT_EQ(origin.SidNameList[1].name, "SUMMA2");
  EXPECT_EQ(origin.SidNameList[2].name, "HAROB6");
  EXPECT_EQ(origin.SidNameList[3].name, "ELMAA3");
  EXPECT_EQ(origin.DepartureRunwayListCount, 6);
}

TEST_F(DepArrIndexTest, ArrivalsOpenFreshWithEveryStarListed) {
  ASSERT_EQ(navdb::LoadAirportProcedures("KPDX", 2), 1);
  model::model_state.DestinationAirportIdent = "KPDX";
  model::model_state.FmsSubPageTable.ArrivalsSubPage = 2;
  fms_state.FmsArrStarState = 1;
  fms_state.FmsArrApproachState = fms_state.FmsArrRunwayChosen = 1;
  fms_state.FmsArrTransChosen = fms_state.FmsArrApproachTransChosen = 1;
  PressLineKey(kR2);
  DrawFrame();
  EXPECT_EQ(fms_state.FmsPage, kPageArrivals);
  EXPECT_EQ(fms_state.FmsArrStarState, 2);
  EXPECT_EQ(fms_state.FmsArrApproachState, 0);
  EXPECT_EQ(fms_state.FmsArrRunwayChosen, 0);
  EXPECT_EQ(fms_state.FmsArrTransChosen, 0);
  EXPECT_EQ(fms_state.FmsArrApproachTransChosen, 0);
  EXPECT_EQ(model::model_state.FmsSubPageTable.ArrivalsSubPage, 1);
  const model::AirportProcedureSet& dest = navdb::procedure_state.AirportProcedureSets[2];
  ASSERT_EQ(dest.StarListCount, 2);
  EXPECT_EQ(dest.StarNameList[1].name, "KRATR2");
  EXPECT_EQ(dest.StarNameList[2].name, "JAYPE3");
  EXPECT_EQ(dest.ArrivalRunwayListCount, 6);
}

}  // namespace
}  // namespace ovi::fms::test
