// NAV STATUS / NAV OPTIONS and REF NAV DATA: the radio line, the closest
// stations nearest first and when they are brought up to date, the entry
// keys of each kind with empty, unknown, wrong-kind, single and duplicated
// idents, the SELECT WAYPOINT detour, and the four views.
#include <memory>
#include <string>
#include <vector>

#include "src/flightplan/nearest_navaids.h"
#include "src/flightplan/state.h"
#include "src/guidance/state.h"
#include "src/instruments/fms/kit.h"
#include "src/instruments/fms/state.h"
#include "src/model/state.h"
#include "src/navdb/navdb.h"
#include "tests/fms/cdu_support.h"
#include "tests/host/fake_panels.h"

namespace ovi::fms::test {
namespace {

flightplan::State& F() { return flightplan::flightplan_state; }
model::FmsSubPageTable& Sub() { return model::model_state.FmsSubPageTable; }

// The sample region, a user intersection of kind "O" (not a waypoint the
// WPT key takes), the aircraft 1 degree (60 NM) south of COUGA.
class NavDataPagesTest : public CduTest {
 protected:
  void SetUp() override {
    CduTest::SetUp();
    folder_ = std::make_unique<navdb::test::ScratchFolder>(navdb::test::ScratchFolder::Navdata::kSampleCopy);
    folder_->Write("ints_user.txt", "OTHER 46.5000 -122.5000 O\n");
    navdb::LoadNavDatabase();
    host_.Bind();
    guidance::State& g = guidance::guidance_state;
    g.PlaneLatitude = 45.1556;
    g.PlaneLongitude = -122.6940;
    g.MagneticVariation = 16.0;
  }
  Frame Enter(int key, const std::string& text) {
    model::model_state.FmsScratchpad = text;
    model::model_state.PanelMessage.clear();
    PressLineKey(key);
    return DrawFrame();
  }
  static std::vector<std::string> ClosestIdents() {
    std::vector<std::string> idents;
    for (int i = 1; i <= flightplan::kClosestNavaidCount; ++i)
      idents.emplace_back(F().ClosestNavaidList[i].ident);
    return idents;
  }
  // The list FindNearestNavaids makes at the aircraft's position.
  static std::vector<std::string> ClosestHere() {
    const guidance::State& g = guidance::guidance_state;
    navdb::FilterNearNavaids(g.PlaneLatitude, g.PlaneLongitude);
    navdb::FilterMapNavaids(g.PlaneLatitude, g.PlaneLongitude);
    flightplan::FindNearestNavaids();
    std::vector<std::string> idents = ClosestIdents();
    Poison();
    return idents;
  }
  static void Poison() {
    for (int i = 1; i <= flightplan::kClosestNavaidCount; ++i) F().ClosestNavaidList[i].ident = "OLD";
  }
  std::string Message() const { return model::model_state.PanelMessage; }
  std::string Scratch() const { return std::string(model::model_state.FmsScratchpad); }
  std::unique_ptr<navdb::test::ScratchFolder> folder_;
  ovi::testing::FakeHost host_;
};

TEST_F(NavDataPagesTest, NavStatusRadiosAndClosestStationsAtTwoSizes) {
  fms_state.FmsPage = kPageNavStatus;
  host_.tokens[24] = 0x1090;  // 110.90
  host_.tokens[27] = 0x1795;  // 117.95
  host_.texts[47] = "SEA";
  host_.texts[56] = "ELNXXXXXX";
  host_.tokens[49] = 1.0;  // a signal on NAV 1 only
  // Farthest first, the empty place leading: places 9 down to 2 are shown.
  auto& list = F().ClosestNavaidList;
  list[1].ident = "";
  list[1].distance = 9999.0;
  const char* idents[] = {"S8", "S7", "S6", "S5", "S4", "S3", "S2", "S1"};
  for (int i = 2; i <= 9; ++i) {
    list[i].ident = idents[i - 2];
    list[i].frequency_text = "116.80";
    list[i].distance = 100.0 - i;
  }
  model::model_state.FmsScratchpad = "TYPED";
  for (auto [w, h] : {std::pair{282, 245}, std::pair{284, 233}}) {
    Frame f = DrawFrame(w, h);
    f.ExpectText("NAV  STATUS", 63, 0);
    f.ExpectText("1 / 2", 220, 5, 12);
    f.ExpectText("V O R - L                       V O R - R", 30, 22, 12);
    float x = 0, y = 0;
    // The second ident has no signal: blank, its frequency still shown.
    ASSERT_TRUE(f.Find("SEA   110.90             117.95", &x, &y));
    EXPECT_FLOAT_EQ(y, 44.0f);
    f.ExpectText("D M E - L                        D M E - R", 30, 66, 12);
    ASSERT_TRUE(f.Find("S1    116.80       S2    116.80", &x, &y));
    EXPECT_FLOAT_EQ(y, 80.0f);
    ASSERT_TRUE(f.Find("S7    116.80       S8    116.80", &x, &y));
    EXPECT_FLOAT_EQ(y, 140.0f);
    f.ExpectText("I R S    ( L )", 160, 175, 12);
    f.ExpectText("POS  SHIFT >", 160, 198);
    f.ExpectText("< INDEX", 0, 198);
    EXPECT_FALSE(f.Find("TYPED"));  // no scratchpad line on this page
    ExpectLegible(f);
  }
  // Three stations: the last lines stay blank, no place past the list read.
  for (int i = 1; i <= 6; ++i) {
    list[i].ident = "";
    list[i].distance = 9999.0;
  }
  Frame f = DrawFrame();
  EXPECT_TRUE(f.Find("S1    116.80       S2    116.80"));
  EXPECT_TRUE(f.FindAt("S3    116.80" + std::string(19, ' '), 0, 100));
  EXPECT_TRUE(f.FindAt(std::string(31, ' '), 0, 120));
  EXPECT_EQ(model::model_state.FmsScratchpad, "TYPED");

  Sub().NavStatusSubPage = 2;
  f = DrawFrame();
  f.ExpectText("NAV  OPTIONS", 63, 0);
  f.ExpectText("D M E    I N H I B I T", 80, 22, 12);
  EXPECT_TRUE(f.FindAt("- - - -", 220, 66));
  EXPECT_TRUE(f.FindAt("<ON/OFF", 0, 133));
  f.ExpectText("< INDEX", 0, 198);
  EXPECT_FALSE(f.Find("POS  SHIFT >"));
  ExpectLegible(f);
}

TEST_F(NavDataPagesTest, ClosestStationsRefreshOnlyWhereSaid) {
  const std::vector<std::string> here = ClosestHere();
  ASSERT_EQ(here.back(), "UBG");  // the nearest VOR, 17 NM
  std::vector<std::string> old(here.size(), "OLD");
  fms_state.FmsPage = kPageNavStatus;
  // NEXT from NAV STATUS, PREV both ways: no refresh.
  Sub().NavStatusSubPage = 1;
  fms_state.FmsNextPageKey = 1;
  DrawFrame();
  EXPECT_EQ(Sub().NavStatusSubPage, 2);
  EXPECT_EQ(ClosestIdents(), old);
  fms_state.FmsPrevPageKey = 1;
  DrawFrame();
  EXPECT_EQ(Sub().NavStatusSubPage, 1);
  fms_state.FmsPrevPageKey = 1;
  DrawFrame();
  EXPECT_EQ(Sub().NavStatusSubPage, 2);
  EXPECT_EQ(ClosestIdents(), old);
  // NEXT wrapping back to NAV STATUS: the list at this position.
  fms_state.FmsNextPageKey = 1;
  Frame f = DrawFrame();
  EXPECT_EQ(Sub().NavStatusSubPage, 1);
  EXPECT_EQ(ClosestIdents(), here);
  EXPECT_TRUE(f.Find("UBG   117.40       BTG   116.60"));  // nearest first

  // PROGRESS's NAV STATUS prompt refreshes too, and opens sub-page 1.
  Poison();
  fms_state.FmsPage = kPageProgress;
  Sub().NavStatusSubPage = 2;
  PressLineKey(kR6);
  DrawFrame();
  EXPECT_EQ(fms_state.FmsPage, kPageNavStatus);
  EXPECT_EQ(Sub().NavStatusSubPage, 1);
  EXPECT_EQ(ClosestIdents(), here);
}

TEST_F(NavDataPagesTest, NavStatusKeys) {
  struct Case {
    int sub_page, key, page, pos_sub_page;
  };
  const Case cases[] = {
      {1, kR6, kPagePosition, 3},
      {1, kL6, kPageInitRefIndex, 1},
      {2, kL6, kPageInitRefIndex, 1},
      {2, kR6, kPageNavStatus, 1},  // NAV OPTIONS' R6 does nothing
      {1, kL1, kPageNavStatus, 1},
  };
  for (const Case& c : cases) {
    fms_state.FmsPage = kPageNavStatus;
    Sub().NavStatusSubPage = c.sub_page;
    Sub().PosSubPage = 1;
    PressLineKey(c.key);
    DrawFrame();
    EXPECT_EQ(fms_state.FmsPage, c.page) << c.sub_page << " " << c.key;
    EXPECT_EQ(Sub().PosSubPage, c.pos_sub_page) << c.sub_page << " " << c.key;
  }
}

TEST_F(NavDataPagesTest, EntryKeysOfEachKind) {
  fms_state.FmsPage = kPageRefNavData;
  struct Case {
    int kind_before;
    int key;
    const char* typed;
    int kind_after;
    const char* ident;     // shown point afterwards
    const char* message;
    const char* scratch;   // afterwards
    int page;
  };
  const Case cases[] = {
      {1, kL1, "COUGA", 2, "COUGA", "", "", kPageRefNavData},
      {1, kL1, "KSEA", 1, "", "NOT IN DATABASE", "KSEA", kPageRefNavData},  // an airport only
      {1, kL1, "OTHER", 1, "", "NOT IN DATABASE", "", kPageRefNavData},     // one of the wrong kind
      {1, kL1, "", 1, "", "", "", kPageRefNavData},
      {1, kR1, "SEA", 3, "SEA", "", "", kPageRefNavData},
      {1, kR1, "NOSUCH", 1, "", "NOT IN DATABASE", "NOSUCH", kPageRefNavData},
      {1, kR1, "ELN", 1, "", "", "", kPageSelectWaypoint},  // NDB and VOR
      {1, kL2, "KPDX", 4, "KPDX", "", "", kPageRefNavData},
      {1, kL2, "COUGA", 1, "", "NOT IN DATABASE", "COUGA", kPageRefNavData},
      {1, kL6, "", 1, "", "", "", kPageInitRefIndex},
      {1, kR6, "", 1, "", "", "", kPageNavStatus},
      {2, kL1, "TOLLE", 2, "TOLLE", "", "", kPageRefNavData},
      {2, kR1, "SEA", 2, "COUGA", "", "SEA", kPageRefNavData},  // only L1 on a waypoint
      {2, kL2, "KPDX", 2, "COUGA", "", "KPDX", kPageRefNavData},
      {2, kL6, "", 1, "COUGA", "", "", kPageStoredFlightPlans},
      {3, kR1, "BTG", 3, "BTG", "", "", kPageRefNavData},
      {3, kL1, "TOLLE", 3, "COUGA", "", "TOLLE", kPageRefNavData},
      {3, kR6, "", 3, "COUGA", "", "", kPageRefNavData},
      {3, kL6, "", 1, "COUGA", "", "", kPageStoredFlightPlans},
      {4, kL2, "KSEA", 4, "KSEA", "", "", kPageRefNavData},
      {4, kR1, "SEA", 4, "COUGA", "", "SEA", kPageRefNavData},
      {4, kL6, "", 1, "COUGA", "", "", kPageStoredFlightPlans},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.kind_before) + " key " + std::to_string(c.key) + " " + c.typed);
    fms_state.FmsPage = kPageRefNavData;
    fms_state.ResolvedWaypointIdent = c.kind_before == 1 ? "" : "COUGA";
    Sub().RefNavDataKind = c.kind_before;
    Sub().NavStatusSubPage = 1;
    Enter(c.key, c.typed);
    EXPECT_EQ(Sub().RefNavDataKind, c.kind_after);
    EXPECT_EQ(fms_state.ResolvedWaypointIdent, c.ident);
    EXPECT_EQ(Message(), c.message);
    EXPECT_EQ(Scratch(), c.scratch);
    EXPECT_EQ(fms_state.FmsPage, c.page);
    if (c.page == kPageNavStatus) {
      EXPECT_EQ(Sub().NavStatusSubPage, 2);
    }
    if (c.page == kPageSelectWaypoint) {
      EXPECT_EQ(fms_state.FmsSelectReturnPage, kPageRefNavData);
    }
  }
}

TEST_F(NavDataPagesTest, TheDetourBringsTheChoiceBack) {
  fms_state.FmsPage = kPageRefNavData;
  Enter(kR1, "ELN");
  ASSERT_EQ(fms_state.FmsPage, kPageSelectWaypoint);
  PressLineKey(kL2);  // the second candidate: the VORTAC
  DrawFrame();
  EXPECT_EQ(fms_state.FmsPage, kPageRefNavData);
  Frame f = DrawFrame();
  EXPECT_EQ(Sub().RefNavDataKind, 3);
  f.ExpectText("ELN", 220, 33);
  f.ExpectText("117.90", 0, 133);
  ExpectLegible(f);
}

TEST_F(NavDataPagesTest, TheFourViews) {
  fms_state.FmsPage = kPageRefNavData;
  Frame f = DrawFrame();
  f.ExpectText("REF  NAV  DATA", 63, 0);
  f.ExpectText("W P T    I D E N T        N A V A I D    I D E N T", 12, 22, 12);
  f.ExpectText("- - - - -", 0, 33);
  f.ExpectText("A I R P O R T    I D E N T", 12, 60, 12);
  EXPECT_TRUE(f.FindAt("- - - - -", 12, 71));
  f.ExpectText("NAV    OPTIONS>", 120, 198);
  f.ExpectText("- - - - - - - - - - - - -", 0, 184);
  f.ExpectText("< INDEX", 0, 198);
  EXPECT_FALSE(f.Find("L A T I T U D E"));
  ExpectLegible(f);

  // COUGA 60 NM due north: 360 true, 344 magnetic with 16 E; with 5 W the
  // course 365 is shown as 005.
  f = Enter(kL1, "COUGA");
  f.ExpectText("W P T    I D E N T", 12, 22, 12);
  f.ExpectText("COUGA", 0, 33);
  f.ExpectText("M A G    V A R", 12, 122, 12);
  f.ExpectText("- - -", 0, 133);
  f.ExpectText("R A D I A L / D I S T", 140, 155, 12);
  f.ExpectText("344\xC2\xB0/ 60", 165, 166);
  f.ExpectText("L A T I T U D E", 12, 88, 12);
  f.ExpectText("L O N G I T U D E", 150, 88, 12);
  // The point's own position (46.1556 N 122.6940 W: 46 09' 20", 122 41'
  // 38"), not the aircraft's a degree south of it.
  f.ExpectText("N46\xC2\xB0" "09.2", 0, 99);
  f.ExpectText("W122\xC2\xB0" "41.3", 145, 99);
  ExpectLegible(f);
  guidance::guidance_state.MagneticVariation = -5.0;
  f = DrawFrame();
  f.ExpectText("005\xC2\xB0/ 60", 165, 166);

  // The common rows of a navaid: SEA's position (47.4353 N 122.3097 W: 47
  // 26' 07", 122 18' 35"), the aircraft far from it, south and east.
  guidance::guidance_state.PlaneLatitude = -33.9461;
  guidance::guidance_state.PlaneLongitude = 151.1772;
  Sub().RefNavDataKind = 1;
  f = Enter(kR1, "SEA");
  f.ExpectText("N A V A I D    I D E N T", 150, 22, 12);
  f.ExpectText("SEA", 220, 33);
  f.ExpectText("F R E Q", 12, 122, 12);
  f.ExpectText("116.80", 0, 133);
  f.ExpectText("- - -", 0, 166);
  f.ExpectText("N47\xC2\xB0" "26.0", 0, 99);
  f.ExpectText("W122\xC2\xB0" "18.3", 145, 99);
  ExpectLegible(f);

  // The airport: the runway on its own row, the elevation text (433 ft) on
  // both elevation lines, the second once the name is found (433 x 0.3048
  // = 131.98 m).
  Sub().RefNavDataKind = 1;
  f = Enter(kL2, "KSEA");
  f.ExpectText("R U N W A Y", 12, 22, 12);
  f.ExpectText("- - - ", 0, 33);
  f.ExpectText("A I R P O R T    I D E N T", 12, 60, 12);
  f.ExpectText("KSEA", 0, 71);
  f.ExpectText("E L E V A T I O N", 150, 133, 12);
  f.ExpectText("433 FT", 150, 144);
  f.ExpectText("- - -", 0, 166);
  // KSEA at 47.4490 N 122.3093 W: 47 26' 56", 122 18' 33".
  f.ExpectText("N47\xC2\xB0" "26.5", 0, 99);
  f.ExpectText("W122\xC2\xB0" "18.3", 145, 99);
  EXPECT_FALSE(f.Find("433FT 131  M"));
  f = Enter(kL1, "NOPE");
  EXPECT_EQ(Message(), "NOT FOUND IN DATABASE");
  f = Enter(kL1, "NAME");
  EXPECT_EQ(fms_state.SelectedAirportLongName, "SEATTLE-TACOMA-INTL");
  f.ExpectText("433FT 131  M", 150, 166);
  ExpectLegible(f);
  fms_state.SelectedWaypointName = "16L";
  f = DrawFrame();
  f.ExpectText("16L", 0, 33);
  // An empty scratchpad looks nothing up.
  fms_state.SelectedAirportLongName.clear();
  Enter(kL1, "");
  EXPECT_EQ(Message(), "");
  EXPECT_EQ(fms_state.SelectedAirportLongName, "");
}

}  // namespace
}  // namespace ovi::fms::test
