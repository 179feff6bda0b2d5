// NAVIGATION and HOLDING PATTERN: headers of the route and the hold, the
// NEXT line's conditions, each placeholder at its limit, the wind arrows,
// the optional lines of sub-page 4, and the hold page's fields as typed.
#include <cmath>

#include "src/guidance/state.h"
#include "src/navdb/navdb.h"
#include "src/instruments/gnsxls/hold_typing.h"
#include "src/instruments/gnsxls/kit.h"
#include "src/model/state.h"
#include "tests/host/fake_panels.h"
#include "tests/instruments/gnsxls/gnsxls_support.h"

namespace ovi::gnsxls::test {
namespace {

using flightplan::test::F;
using flightplan::test::G;
using flightplan::test::MakeActive;
using Blocks = std::vector<Frame::Block>;

model::State& M() { return model::model_state; }

class NavPagesTest : public GnsTest {
 protected:
  void SetUp() override {
    GnsTest::SetUp();
    host.Bind();
    G().DisplayPower = 1;
    S().GnsXlsPage = kPageNavigation;
  }
  Frame Nav(int sub_page) {
    S().GnsNavSubPage = sub_page;
    return DrawFrame();
  }
  // KSEA, W1, W2, KPDX flying to W1 at 61 kt, 23:50 with 20 minutes to go.
  void Flying() {
    MakeActive({"KSEA", "W1", "W2", "KPDX"});
    F().ActiveWaypointIndex = 1;
    F().ActiveFlightPlan[0].time_over_text = "23:31";
    G().GroundSpeedKnots = 61;
    G().TrueAirspeedEstimate = 120;
    G().LocalClockHour = 23;
    G().ClockMinute = 50;
    G().ActiveWaypointEteHours = 0;
    G().EteMinutes = 20;
    G().ActiveWaypointDistance = 20.3;
    G().DesiredTrack = 212;
    G().PlaneLatitude = 47.0;
    G().PlaneLongitude = -122.0;
  }
  // The aircraft `nm` short of entry `index` on the leg into it, flying it
  // (variation 0): what the distances along the route are measured from.
  static void OnLegTo(int index, double nm) {
    const model::FlightPlanWaypoint &a = F().ActiveFlightPlan[index - 1], &b = F().ActiveFlightPlan[index];
    const double course = navdb::TrueCourse(a.latitude, a.longitude, b.latitude, b.longitude);
    navdb::ProjectPosition(b.latitude, b.longitude, course + 180.0, nm, G().PlaneLatitude, G().PlaneLongitude);
    G().GroundTrack = course;
    G().ActiveWaypointDistance = nm;
  }
  testing::FakeHost host;
};

TEST_F(NavPagesTest, WithoutAnActiveWaypoint) {
  Frame f = Nav(1);
  f.Expect("NAVIGATION   1/4", 90, 0, kWhite);
  f.Expect("FR", 30, 40, kYellow);
  EXPECT_EQ(f.TextsAt(90), std::vector<std::string>({"NAVIGATION   1/4", "------", "------"}));
  EXPECT_EQ(f.TextsAt(360), std::vector<std::string>({"-----", "-----", "---/---"}));
  f.Expect("-------", 320, 160, kGreen);
  f.Expect("---", 400, 240, kGreen);
  f.Expect("---/---", 360, 320, kGreen);
  EXPECT_FALSE(f.Shows("NX"));
  f = Nav(2);
  f.Expect("ETA-", 30, 200, kBlue);
  f.Expect("FUEL-", 30, 240, kGreen);
  f.Expect("-------", 340, 320, kGreen);
  f = Nav(3);
  f.Expect("  ---", 360, 160, kGreen);
  EXPECT_EQ(f.TextsAt(400), std::vector<std::string>({"---", "000", "---", "---"}));
}

TEST_F(NavPagesTest, RouteHeaderLimitsAndNextLine) {
  Flying();
  Frame f = Nav(1);
  f.Expect("KSEA", 90, 40, kYellow);
  f.Expect("23:31", 360, 40, kBlue);
  f.Expect("W1", 90, 80, kMagenta);
  f.Expect("00:10", 360, 80, kBlue);  // 23:50 and 20 minutes
  f.Expect("   20.3", 320, 160, kGreen);
  f.Expect("00:20.0", 320, 200, kBlue);
  f.Expect("212", 400, 240, kGreen);
  f.Expect(" 61", 400, 280, kGreen);
  EXPECT_FALSE(f.Shows("NX"));
  // At exactly 60 kt the times and the speed are placeholders.
  G().GroundSpeedKnots = 60;
  f = Nav(1);
  f.Expect("-----", 360, 80, kBlue);
  f.Expect("-------", 320, 200, kBlue);
  f.Expect("---", 400, 280, kGreen);
  // Under a minute to go the NEXT line: W2 put 12 NM on beyond W1, the
  // aircraft 0.9 NM before W1: 12.9 NM along the route at 61 kt over the
  // ground (not the 120 true), 12.7 minutes after 23:50.
  G().GroundSpeedKnots = 61;
  G().EteMinutes = 0.9;
  model::FlightPlanWaypoint &w1 = F().ActiveFlightPlan[1], &w2 = F().ActiveFlightPlan[2];
  navdb::ProjectPosition(w1.latitude, w1.longitude,
                         navdb::TrueCourse(F().ActiveFlightPlan[0].latitude, F().ActiveFlightPlan[0].longitude,
                                           w1.latitude, w1.longitude),
                         12.0, w2.latitude, w2.longitude);
  OnLegTo(1, 0.9);
  f = Nav(1);
  f.Expect("NX", 30, 120, kYellow);
  f.Expect("W2", 90, 120, kYellow);
  f.Expect("00:03", 360, 120, kBlue);
  f.Expect("(13)", 160, 160, kGreen);
  EXPECT_FALSE(Nav(2).Shows("(13)"));  // distance and course on sub-page 1 only
  for (auto off : {+[] { G().EteMinutes = 1.0; }, +[] { G().DirectToActive = 1; },
                   +[] { F().ActiveWaypointIndex = 3; }, +[] { G().HoldSegmentCounter = 1; }}) {
    Flying();
    G().EteMinutes = 0.9;
    off();
    EXPECT_FALSE(Nav(1).Shows("NX"));
  }
  // Direct-to: no FROM waypoint.
  Flying();
  G().DirectToActive = 1;
  Nav(1).Expect("------", 90, 40, kYellow);
}

TEST_F(NavPagesTest, HoldHeaderAndExit) {
  Flying();
  model::HoldingPattern& h = F().HoldTable[1];
  h.active_index = 2;
  h.turn_side = 2;
  h.inbound_course = 95;
  // A racetrack of corners 6 NM apart on a meridian: the fix, then 4 more.
  for (int k = 0; k < 5; ++k) h.corners[k] = {47.0 - 0.1 * k, -122.0, ""};
  G().ActiveHoldIndex = 1;
  G().HoldSegmentCounter = 3;
  G().HoldState = 1;
  Frame f = Nav(1);
  f.Expect("HOLD LEFT", 30, 40, kYellow);
  f.Expect("AT", 30, 80, kMagenta);
  f.Expect("W2", 90, 80, kMagenta);
  f.Expect("HOLDING", 140, 120, kGreen);
  f.Expect("INBOUND CRS", 30, 240, kGreen);
  f.Expect("095", 400, 240, kGreen);
  // Exit armed: from the aircraft at the fix to corner 3 (18 NM), on to 4
  // (6), back to the fix (24): 48 NM at 61 kt is 47.2 minutes.
  G().HoldState = 2;
  f = Nav(1);
  f.Expect("EXIT HOLD", 30, 120, kBlue);
  f.Expect("00:47", 360, 120, kBlue);
  G().GroundSpeedKnots = 0;
  EXPECT_EQ(Nav(1).TextsAt(360), std::vector<std::string>({"-----", "-----", "---/---"}));
}

// Headwind (positive) points down from (160, 187); tailwind up from
// (160, 163); a crosswind from the left (negative) points right at (390,
// 176), from the right left at (440, 176).
TEST_F(NavPagesTest, WindArrowsForEachSign) {
  struct Case {
    double head, cross;
    std::vector<gfx::PointF> tips;  // head, then shaft end, of each arrow drawn
  } cases[] = {
      {10.4, 0.6, {{160, 187}, {160, 163}}},
      {-10, 0, {{160, 163}, {160, 187}}},
      {0.9, -7, {{390, 176}, {366, 176}}},
      {0, 7.9, {{440, 176}, {464, 176}}},
  };
  for (const Case& c : cases) {
    G().HeadwindComponent = c.head;
    G().CrosswindComponent = c.cross;
    const Frame f = Nav(2);
    std::vector<gfx::PointF> tips;
    for (const gfx::RecordedOp* op : f.rec.Find(gfx::OpKind::Lines)) {
      ASSERT_EQ(op->points.size(), 6u);
      EXPECT_EQ(op->color, kGreen);
      tips.push_back({op->points[0].X / f.sx, op->points[0].Y / f.sy});
      tips.push_back({op->points[5].X / f.sx, op->points[5].Y / f.sy});
    }
    ASSERT_EQ(tips.size(), c.tips.size()) << c.head << " " << c.cross;
    for (std::size_t i = 0; i < tips.size(); ++i) {
      EXPECT_NEAR(tips[i].X, c.tips[i].X, 0.01) << c.head << " " << c.cross;
      EXPECT_NEAR(tips[i].Y, c.tips[i].Y, 0.01) << c.head << " " << c.cross;
    }
  }
}

TEST_F(NavPagesTest, FuelAtDestinationAndLimits) {
  Flying();
  host.tokens[386] = 5000;
  host.tokens[306] = 1;
  host.tokens[421] = 600;
  // KPDX flown to, 30 NM out: half an hour at 60 kt... at 61 kt 29.5
  // minutes: 5000 - 295 lb.
  F().ActiveWaypointIndex = 3;
  // KPDX 40 NM on from W2, the aircraft 30 NM short of it on that leg.
  model::FlightPlanWaypoint &w2 = F().ActiveFlightPlan[2], &kpdx = F().ActiveFlightPlan[3];
  navdb::ProjectPosition(w2.latitude, w2.longitude,
                         navdb::TrueCourse(w2.latitude, w2.longitude, kpdx.latitude, kpdx.longitude), 40.0,
                         kpdx.latitude, kpdx.longitude);
  OnLegTo(3, 30);
  Frame f = Nav(2);
  f.Expect("ETA-KPDX", 30, 200, kBlue);
  f.Expect("00:20", 360, 200, kBlue);  // 29.5 minutes after 23:50
  f.Expect(" 4705", 360, 240, kGreen);
  G().GroundSpeedKnots = 60;
  EXPECT_EQ(Nav(2).TextsAt(360), std::vector<std::string>({"-----", "-----", "-----", "-----"}));
  host.tokens[421] = 600000;
  G().GroundSpeedKnots = 61;
  Nav(2).Expect("   -1", 360, 240, kGreen);
}

TEST_F(NavPagesTest, PositionAndOptionalLines) {
  G().PlaneLatitude = -33.9;
  G().PlaneLongitude = 8.5;
  G().MagneticVariation = -2.4;
  M().ArmPauseAtTod = 0;
  Frame f = Nav(4);
  f.Expect("S 33 54.00", 200, 120, kGreen);
  f.Expect("E 08 30.00", 200, 160, kGreen);
  EXPECT_FALSE(f.Shows("(-33.900000)"));
  EXPECT_FALSE(f.Shows("MV(-2.4)"));
  EXPECT_FALSE(f.Shows("PAUSE AT TOD (OFF)"));
  Key(5);
  EXPECT_EQ(M().PauseAtTod, 0);
  M().DecLatLonDisp = 1;
  M().DisplayMagVarOnGnsxlsNavPage = 1;
  M().ArmPauseAtTod = 1;
  G().PlaneLongitude = -111.91;
  G().PauseAtTodDone = 1;
  f = Key(5);
  f.Expect("W111 54.36", 200, 160, kGreen);
  f.Expect("(-33.900000)", 200, 200, kGreen);
  f.Expect("(-111.910000)", 200, 240, kGreen);
  f.Expect("MV(-2.4)", 240, 320, kYellow);
  f.Expect("PAUSE AT TOD (ON)", 30, 360, kGreen);
  EXPECT_EQ(G().PauseAtTodDone, 0);
  Key(5).Expect("PAUSE AT TOD (OFF)", 30, 360, kGreen);
  // East is positive: 2.4 west reads W, 16 east E (0 as W, unchanged).
  Nav(3).Expect("W   2", 360, 200, kGreen);
  G().MagneticVariation = 16.0;
  Nav(3).Expect("E  16", 360, 200, kGreen);
  G().MagneticVariation = 0.4;
  Nav(3).Expect("W   0", 360, 200, kGreen);
}

// Line 7's block carries the ALT?/ETA? choice CLR puts in the entry line;
// line 10's the mode choice.
TEST_F(NavPagesTest, LineSevenAndTenSelections) {
  Nav(1);
  Frame f = Key(7);
  EXPECT_EQ(f.Blocks(), Blocks({{360, 80, 5}}));
  S().NavigatorScratchpad = "ALT?";
  DrawFrame().Expect("ALT?", 360, 80, kBlack);
  f = Key(10);
  EXPECT_EQ(LineStates()[6], 0);
  EXPECT_EQ(f.Blocks(), Blocks({{160, 360, 5}}));
  S().GnsNavModeChoice = 1;
  DrawFrame().Expect("AUTO?", 160, 360, kBlack);
  Key(10);
  EXPECT_EQ(LineStates()[9], 0);
}

// ---- HOLDING PATTERN --------------------------------------------------------------

TEST(GnsHoldTyping, DigitsAndClearPerField) {
  struct Case {
    HoldField kind;
    const char* start;
    const char* keys;  // '<' is CLR
    const char* result;
  } cases[] = {
      {HoldField::kCourse, "   ", "090", "090"},
      {HoldField::kCourse, "   ", "0901", "090"},  // full: the fourth is ignored
      {HoldField::kCourse, "090", "<<<", "   "},
      {HoldField::kCourse, "   ", "<", "   "},      // empty: nothing to take
      {HoldField::kLegTime, " . ", "15", "1.5"},
      {HoldField::kLegTime, " . ", "152", "1.5"},
      {HoldField::kLegTime, "1.5", "<", " .1"},
      {HoldField::kLegDistance, "  . ", "125", "12.5"},
      {HoldField::kLegDistance, "  . ", "1259", "12.5"},
      {HoldField::kLegDistance, "12.5", "<", " 1.2"},
      {HoldField::kLegDistance, "12.5", "<<<<", "  . "},
  };
  for (const Case& c : cases) {
    std::string field = c.start;
    for (const char* k = c.keys; *k != '\0'; ++k) {
      if (*k == '<') {
        HoldFieldClear(field, c.kind);
      } else {
        HoldFieldDigit(field, c.kind, *k);
      }
    }
    EXPECT_EQ(field, c.result) << c.start << " " << c.keys;
  }
  struct Word {
    const char* line;
    bool digit;
    char value;
  } words[] = {{"5     ", true, '5'}, {"  7 8", true, '7'}, {"A     ", false, 0}, {"12    ", false, 0}, {"", false, 0}};
  for (const Word& w : words) {
    std::string line = w.line;
    char d = 0;
    EXPECT_EQ(TakeTypedDigit(line, d), w.digit) << w.line;
    if (w.digit) {
      EXPECT_EQ(d, w.value) << w.line;
    }
    EXPECT_TRUE(line.empty()) << w.line;
  }
}

class HoldPageTest : public NavPagesTest {
 protected:
  void SetUp() override {
    NavPagesTest::SetUp();
    S().GnsXlsPage = kPageHolding;
  }
};

TEST_F(HoldPageTest, WithAndWithoutAHold) {
  model::HoldingPattern& h = F().HoldTable[1];
  h.inbound_course = 270;
  h.turn_side = 1;
  G().HoldState = 1;
  Frame f = DrawFrame();
  f.Expect("AT ---", 30, 40, kGreen);
  EXPECT_FALSE(f.Shows("DIRECT ENTRY"));
  EXPECT_EQ(f.TextsAt(360), std::vector<std::string>({"270", "RIGHT", "----", "----", "MANUAL"}));

  Flying();
  h.active_index = 2;
  h.leg_time = 1.5;
  h.leg_length = 12.5;
  h.time_based = 1;
  S().GnsHoldLegMode = 1;
  f = DrawFrame();
  f.Expect("AT W2", 30, 40, kGreen);
  f.Expect("DIRECT ENTRY", 150, 80, kGreen);
  f.Expect("1.5", 360, 240, kBlue);
  f.Expect("(12.5)", 340, 280, kGreen);
  h.time_based = 2;
  S().GnsHoldLegMode = 2;
  f = DrawFrame();
  f.Expect("(1.5)", 350, 240, kBlue);
  f.Expect("12.5", 360, 280, kGreen);
  // An index the plan no longer has is no hold.
  h.active_index = 9;
  DrawFrame().Expect("AT ---", 30, 40, kGreen);
}

TEST_F(HoldPageTest, LineKeysAndTyping) {
  Flying();
  model::HoldingPattern& h = F().HoldTable[1];
  h.active_index = 2;
  h.inbound_course = 270;
  h.leg_time = 1.0;
  h.leg_length = 4.0;
  // Line 9: time, distance, nothing.
  EXPECT_EQ(Key(9).Blocks(), Blocks({{360, 240, 3}}));
  EXPECT_EQ(S().GnsHoldLegTimeEntry, "1.0");
  EXPECT_EQ(Key(9).Blocks(), Blocks({{360, 280, 4}}));
  EXPECT_EQ(S().GnsHoldLegDistanceEntry, "4.0");
  Key(9);
  EXPECT_EQ(LineStates()[8], 0);
  // The course: the old value goes at the first digit; a letter is dropped.
  Key(7);
  Type("0");
  EXPECT_EQ(S().GnsHoldCourseEntry, "  0");
  Type("X9");
  EXPECT_EQ(S().GnsHoldCourseEntry, " 09");
  Type("0");
  Ent();
  EXPECT_DOUBLE_EQ(h.inbound_course, 90);
  // Exit mode while flying the hold (state 0): an empty block until CLR.
  G().HoldState = 0;
  Frame f = Key(10);
  EXPECT_EQ(f.Blocks(), Blocks({{360, 320, 6}}));
  EXPECT_FALSE(f.Shows("AUTO"));
}

}  // namespace
}  // namespace ovi::gnsxls::test
