// POS INIT, POS REF and POS SHIFT: position texts either side of 0 and
// 180 degrees, the time line, ground speed alignment, the radio line and
// the sub-page cycle.
#include "src/flightplan/state.h"
#include "src/guidance/state.h"
#include "src/instruments/fms/kit.h"
#include "src/instruments/fms/state.h"
#include "src/model/state.h"
#include "tests/fms/cdu_support.h"
#include "tests/host/fake_panels.h"

namespace ovi::fms::test {
namespace {

TEST(PositionTextTest, HemispheresDegreesAndTheFirstSecondsDigit) {
  struct Case {
    double value;
    bool latitude;
    const char* text;
  };
  const Case cases[] = {
      {47.0 + 27.0 / 60 + 35.0 / 3600, true, "N47\xB0" "27.3"},
      {-(33.0 + 52.0 / 60 + 7.0 / 3600), true, "S33\xB0" "52.0"},
      {0.0, true, "N00\xB0" "00.0"},
      {-(93.0 + 27.0 / 60), false, "W093\xB0" "27.0"},
      {151.0 + 12.0 / 60 + 33.0 / 3600, false, "E151\xB0" "12.3"},
      {5.5, false, "E005\xB0" "30.0"},
      {179.0 + 59.0 / 60 + 59.0 / 3600, false, "E179\xB0" "59.5"},
      {-180.0, false, "W180\xB0" "00.0"},
      {-(122.0 + 18.0 / 60 + 33.0 / 3600), false, "W122\xB0" "18.3"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.latitude ? LatitudeScreenText(c.value) : LongitudeScreenText(c.value), c.text) << c.value;
  }
}

class PositionPageTest : public CduTest {
 protected:
  void SetUp() override {
    CduTest::SetUp();
    host_.Bind();
    fms_state.FmsPage = kPagePosition;
    guidance::State& g = guidance::guidance_state;
    g.PlaneLatitude = 47.0 + 27.0 / 60 + 35.0 / 3600;
    g.PlaneLongitude = -(122.0 + 18.0 / 60 + 33.0 / 3600);
    g.GroundSpeedKnots = 450.0;
    g.LocalClockSecond = 42.0;
    host_.tokens[6] = 14.0;     // UTC hour
    host_.tokens[7] = 5.0;      // UTC minute
    host_.tokens[8] = 66.0;     // day of the year: 7 March
    host_.tokens[9] = 2023.0;   // not a leap year
  }
  void ShowSubPage(int n) { model::model_state.FmsSubPageTable.PosSubPage = n; }
  ovi::testing::FakeHost host_;
};

TEST_F(PositionPageTest, PosInitAtTwoSizes) {
  for (auto [w, h] : {std::pair{282, 245}, std::pair{284, 233}}) {
    Frame f = DrawFrame(w, h);
    f.ExpectText("POS   INIT", 63, 0);
    f.ExpectText("1 / 3", 220, 5, 12);
    f.ExpectText("L A S T   P O S", 170, 22, 12);
    f.ExpectText("N47\xC2\xB0" "27.3", 70, 33);
    f.ExpectText("W122\xC2\xB0" "18.3", 160, 33);
    f.ExpectText("R E F    A I R P O R T", 12, 55, 12);
    f.ExpectText("- - - -", 0, 66);
    f.ExpectText("G A T E", 12, 88, 12);
    f.ExpectText("S E T   I R S    P O S", 140, 121, 12);
    f.ExpectText("G M T  -  M O N / D V", 12, 151, 12);
    f.ExpectText("1405.7 z  03/07", 0, 166);
    f.ExpectText("- - - - - - - - - - - - - - - - - - - - - - - -", 2, 184);
    f.ExpectText("< INDEX", 0, 198);
    f.ExpectText("ROUTE >", 180, 198);
  }
}

TEST_F(PositionPageTest, ReferenceAirportOnceAWaypointIsActive) {
  flightplan::State& fp = flightplan::flightplan_state;
  fp.ActiveFlightPlan[0].ident = "EGL";
  fp.ActiveWaypointIndex = 1;
  DrawFrame().ExpectText(" EGL", 0, 66);
  fp.ActiveFlightPlan[0].ident = "KSEA";
  DrawFrame().ExpectText("KSEA", 0, 66);
}

TEST_F(PositionPageTest, TimeLineTenthsAndLeapYears) {
  struct Case {
    double second, day, year;
    const char* line;
  };
  const Case cases[] = {
      {59.9, 66, 2023, "1405.9 z  03/07"},
      {0.0, 66, 2024, "1405.0 z  03/06"},  // 29 February comes first
      {5.9, 60, 2000, "1405.0 z  02/29"},
      {6.0, 1, 2023, "1405.1 z  01/01"},
      {30.0, 365, 2023, "1405.5 z  12/31"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    guidance::guidance_state.LocalClockSecond = c.second;
    host_.tokens[8] = c.day;
    host_.tokens[9] = c.year;
    EXPECT_TRUE(DrawFrame().Find(c.line));
  }
}

TEST_F(PositionPageTest, PosRefGroundSpeedIsRightAlignedByItsDigits) {
  ShowSubPage(2);
  struct Case {
    double speed;
    const char* text;
    float x;
  };
  for (Case c : {Case{5.0, "5", 230}, Case{450.0, "450", 214}, Case{0.4, "0", 230}, Case{99.6, "100", 214}}) {
    guidance::guidance_state.GroundSpeedKnots = c.speed;
    Frame f = DrawFrame(564, 490);
    f.ExpectText(c.text, c.x, 33);
  }
  Frame f = DrawFrame();
  f.ExpectText("POS  REF", 63, 0);
  f.ExpectText("2 / 3", 220, 5, 12);
  f.ExpectText("F M C    P O S", 12, 22, 12);
  f.ExpectText("N47\xC2\xB0" "27.3", 0, 33);
  f.ExpectText("W122\xC2\xB0" "18.3", 85, 33);
  f.ExpectText("G S", 245, 22, 12);
  f.ExpectText("K T", 245, 38, 12);
  f.ExpectText("I R S   L", 12, 55, 12);
  f.ExpectText("I R S   R", 12, 99, 12);
  f.ExpectText("R A D I O", 12, 151, 12);
}

TEST_F(PositionPageTest, RadioLinesShowTheStationOnlyWhileReceived) {
  host_.texts[47] = "SEA";
  for (double signal : {0.0, -1.0, 1.0}) {
    SCOPED_TRACE(signal);
    host_.tokens[49] = signal;
    ShowSubPage(2);
    Frame ref = DrawFrame();
    ShowSubPage(3);
    Frame shift = DrawFrame();
    if (signal > 0) {
      ref.ExpectText("SEA", 12, 167);
      shift.ExpectText("SEA", 200, 133);
    } else {
      EXPECT_FALSE(ref.Find("SEA"));
      EXPECT_FALSE(shift.Find("SEA"));
    }
  }
  host_.texts[47] = nullptr;  // the host gave no text
  ShowSubPage(2);
  EXPECT_EQ(DrawFrame().rec.CountText(""), 0);
}

TEST_F(PositionPageTest, PosShiftLayout) {
  ShowSubPage(3);
  Frame f = DrawFrame(284, 233);
  f.ExpectText("POS  SHIFT", 63, 0);
  f.ExpectText("3 / 3", 220, 5, 12);
  f.ExpectText("I R S - L", 12, 88, 12);
  f.ExpectText("I R S - R", 200, 88, 12);
  f.ExpectText("R N P / A C T U A L", 10, 121, 12);
  f.ExpectText("R A D I O", 200, 121, 12);
  f.ExpectText("1 . 0 0 / 0 . 0 0 N M", 0, 135);
  f.ExpectText(". . . . . . . . . . . . . . . . . . . . . . . .", 0, 141);
  f.ExpectText("<INDEX", 0, 198);
  EXPECT_FALSE(f.Find("ROUTE >"));
}

TEST_F(PositionPageTest, SubPagesCycleAndBothLinksWorkOnEach) {
  fms_state.FmsPrevPageKey = 1;
  EXPECT_TRUE(DrawFrame().Find("POS  SHIFT"));
  fms_state.FmsNextPageKey = 1;
  EXPECT_TRUE(DrawFrame().Find("POS   INIT"));
  fms_state.FmsNextPageKey = 1;
  EXPECT_TRUE(DrawFrame().Find("POS  REF"));
  for (int sub = 1; sub <= 3; ++sub) {
    for (auto [key, page] : {std::pair{kL6, kPageInitRefIndex}, std::pair{kR6, kPageRoute}}) {
      fms_state.FmsPage = kPagePosition;
      ShowSubPage(sub);
      PressLineKey(key);
      DrawFrame();
      EXPECT_EQ(fms_state.FmsPage, page) << sub;
    }
  }
  for (int key : {kL1, kR1, kL5, kR5}) {
    fms_state.FmsPage = kPagePosition;
    PressLineKey(key);
    DrawFrame();
    EXPECT_EQ(fms_state.FmsPage, kPagePosition);
  }
}

}  // namespace
}  // namespace ovi::fms::test
