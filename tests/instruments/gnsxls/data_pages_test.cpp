// The data pages VNAV, VNAV DATA and PLAN, and the one clock rule their
// times follow: each placeholder at and beside its limit, the route list's
// markers, the reserve entry in either unit.
#include <cmath>
#include <functional>

#include "src/guidance/state.h"
#include "src/guidance/vertical_plan.h"
#include "src/instruments/gnsxls/clock_text.h"
#include "src/instruments/gnsxls/kit.h"
#include "src/instruments/gnsxls/vnav_layout.h"
#include "src/model/state.h"
#include "src/navdb/navdb.h"
#include "tests/host/fake_panels.h"
#include "tests/instruments/gnsxls/gnsxls_support.h"

namespace ovi::gnsxls::test {
namespace {

using flightplan::test::F;
using flightplan::test::G;
using flightplan::test::MakeActive;

model::State& M() { return model::model_state; }

class DataPagesTest : public GnsTest {
 protected:
  void SetUp() override {
    GnsTest::SetUp();
    host.Bind();
    G().DisplayPower = 1;
  }
  Frame Show(std::int32_t page) {
    S().GnsXlsPage = page;
    return DrawFrame();
  }
  testing::FakeHost host;
};

// Minutes carry at 60, also where they would round up to it; hours wrap at 24.
TEST(GnsClock, CarriesAndWraps) {
  struct Case {
    double hours, minutes;
    const char* clock;
  } clocks[] = {
      {23, 50 + 20, "00:10"},      // 23:50 and 20 minutes to go
      {23 + 2, 55 + 10, "02:05"},  // 23:55 and 2 h 10 min: 65 minutes, 26 hours
      {10, 59.6, "11:00"},         // never 10:60
      {0, 20 - (23 * 60 + 50), "00:30"},  // since 23:50, now 00:20
      {47, 0, "23:00"},
  };
  for (const Case& c : clocks) EXPECT_EQ(GnsClockText(c.hours, c.minutes), c.clock) << c.hours << " " << c.minutes;
  EXPECT_EQ(GnsClockText(NAN, 0), "");

  struct Span {
    double minutes;
    const char* text;
  } spans[] = {{150, "02:30"}, {59.6, "01:00"}, {0, "00:00"}, {1e9, "99:59"}, {-1, ""}, {INFINITY, ""}};
  for (const Span& s : spans) EXPECT_EQ(GnsDurationText(s.minutes), s.text) << s.minutes;

  EXPECT_EQ(GnsDurationTenthsText(1, 5.34), "01:05.3");
  EXPECT_EQ(GnsDurationTenthsText(0, 9.94), "00:09.9");
  EXPECT_EQ(GnsDurationTenthsText(0, 59.96), "01:00.0");
  EXPECT_EQ(GnsDurationTenthsText(0, 12), "00:12.0");

  double minutes = -1;
  EXPECT_FALSE(GnsMinutesToGo(10, 0, minutes));
  EXPECT_FALSE(GnsMinutesToGo(10, -5, minutes));
  EXPECT_TRUE(GnsMinutesToGo(30, 120, minutes));
  EXPECT_DOUBLE_EQ(minutes, 15.0);
}

// ---- VNAV ------------------------------------------------------------------------

TEST(GnsVnavLayout, PageCount) {
  EXPECT_EQ(VnavPageCount(true, 13, 10, true, true), 2);    // n = 6
  EXPECT_EQ(VnavPageCount(true, 13, 13, false, false), 2);  // n = 1
  EXPECT_EQ(VnavPageCount(true, 15, 1, true, true), 4);     // n = 17
  EXPECT_EQ(VnavPageCount(true, 12, 1, true, true), 3);     // n = 14: exactly two sub-pages of rows
  EXPECT_EQ(VnavPageCount(false, 15, 999, true, true), 2);
}

// The route from the active waypoint, entry 4 + k lying 10 (k + 1) NM
// ahead: each marker before the first entry farther along, or after the
// last; the rows as many as the pages count, seven a sub-page.
TEST(GnsVnavLayout, MarkersAmongTheEntries) {
  const std::vector<double> ahead{10, 20, 30, 40, 50, 60, 70};  // entries 4..10
  auto kinds = [&](int sub_page, const VnavMarkers& m) {
    std::vector<int> out;
    for (const VnavRow& r : LayVnavRows(sub_page, 4, ahead, m))
      out.push_back(r.kind == VnavRow::kWaypoint ? r.entry : -r.kind);
    return out;
  };
  ASSERT_EQ(VnavPageCount(true, 10, 4, true, true), 3);  // 9 rows
  EXPECT_EQ(kinds(2, {true, true, 25, 55}), (std::vector<int>{4, 5, -VnavRow::kToc, 6, 7, 8, -VnavRow::kTod}));
  EXPECT_EQ(kinds(3, {true, true, 25, 55}), (std::vector<int>{9, 10, 0, 0, 0, 0, 0}));
  EXPECT_EQ(kinds(3, {true, true, 6, 80}), (std::vector<int>{10, -VnavRow::kTod, 0, 0, 0, 0, 0}));
  EXPECT_EQ(kinds(2, {true, true, 6, 3})[0], -VnavRow::kTod);  // the nearer first
  // Exactly at an entry: after it, as it is not farther along.
  EXPECT_EQ(kinds(2, {true, true, 20, 70}), (std::vector<int>{4, 5, -VnavRow::kToc, 6, 7, 8, 9}));
  EXPECT_EQ(kinds(3, {true, true, 20, 70}), (std::vector<int>{10, -VnavRow::kTod, 0, 0, 0, 0, 0}));
}

// Down a meridian, an entry every 6 NM, with the profile's own distances:
// the TOC 3 NM past W2, the TOD 3 NM past W6. Climbing, in cruise and
// descending the list is the route ahead, the markers still to come where
// the plan puts them (once "#TOD" first in the climb, and the list from W1).
TEST_F(DataPagesTest, VnavRouteListInEveryPhase) {
  MakeActive({"KSEA", "W1", "W2", "W3", "W4", "W5", "W6", "W7", "W8", "KPDX"});
  for (int i = 0; i <= 9; ++i) F().ActiveFlightPlan[i].longitude = -122.0;
  for (int i = 0; i <= 9; ++i) F().ActiveFlightPlan[i].latitude = 47.0 - 0.1 * i;
  M().CruiseAlt = 14000;
  G().TocLatitude = 46.75;
  G().TodLatitude = 46.35;
  G().TocLongitude = G().TodLongitude = G().PlaneLongitude = -122.0;
  G().NextConstraintIndex = 9;
  auto list = [&](int active, double nm_before, int sub_page) {
    F().ActiveWaypointIndex = active;
    G().PlaneLatitude = 47.0 - 0.1 * active + nm_before / 60.0;
    guidance::UpdateVerticalProfile();
    S().GnsVnavSubPage = sub_page;
    const Frame f = Show(kPageVnav);
    std::vector<std::string> rows = f.TextsAt(30);  // the phase, the rows, DATA
    rows.front() = f.Texts().front();                // the title for the phase
    rows.pop_back();
    return rows;
  };
  EXPECT_EQ(list(2, 2, 2), (Strings{"VNAV   2/3", "W2", "#TOC", "W3", "W4", "W5", "W6", "#TOD"}));
  EXPECT_EQ(list(2, 2, 3), (Strings{"VNAV   3/3", "W7", "W8", "KPDX"}));
  G().TocPassed = 1;
  EXPECT_EQ(list(6, 1, 2), (Strings{"VNAV   2/2", "W6", "#TOD", "W7", "W8", "KPDX"}));
  G().TodPassed = 1;
  EXPECT_EQ(list(8, 1, 2), (Strings{"VNAV   2/2", "W8", "KPDX"}));
}

TEST_F(DataPagesTest, VnavSummaryByPhase) {
  // Without an active waypoint.
  Frame f = Show(kPageVnav);
  f.Expect("VNAV   1/2", 90, 0, kWhite);
  f.Expect("INVALID", 30, 40, kYellow);
  f.Expect("TO ------", 30, 80, kMagenta);
  f.Expect("-----", 380, 80, kBlue);
  f.Expect("ACTUAL   FPM ", 30, 240, kGreen);
  f.Expect("   0", 400, 240, kGreen);
  f.Expect("DATA", 30, 360, kWhite);
  f.Expect("<", 0, 330, kWhite);

  // Climbing, the top of climb 30 NM ahead along the route, the constraint
  // (entry 3, 20 NM to W1 and two legs of 10.2 NM) farther: at 360 kt over
  // the ground, 5 minutes.
  MakeActive({"KSEA", "W1", "W2", "W3", "KPDX"});
  F().ActiveWaypointIndex = 1;
  G().ActiveWaypointDistance = 20;
  {
    // On the leg into W1 and flying it: the route ahead is the straight line.
    const model::FlightPlanWaypoint &from = F().ActiveFlightPlan[0], &to = F().ActiveFlightPlan[1];
    const double course = navdb::TrueCourse(from.latitude, from.longitude, to.latitude, to.longitude);
    navdb::ProjectPosition(to.latitude, to.longitude, course + 180.0, 20.0, G().PlaneLatitude, G().PlaneLongitude);
    G().MagneticVariation = 0.0;
    G().AircraftHeading = G().GroundTrack = course;
  }
  G().ClimbSideDistance = 30;
  G().NextConstraintIndex = 3;
  G().GroundSpeedKnots = 360;
  G().TrueAirspeedEstimate = 250;
  G().VerticalSpeedFpm = 1500;
  G().AircraftAltitude = 12000;
  M().CruiseAlt = 35000;
  F().ActiveFlightPlan[3].altitude_constraint = 9000;
  G().NextConstraintAltitude = 9000;
  f = Show(kPageVnav);
  f.Expect("VNAV   1/2", 90, 0, kWhite);  // 4 entries and both markers: 6 rows
  f.Expect("CLIMB", 30, 40, kGreen);
  f.Expect("12000", 380, 40, kBlue);
  f.Expect("TO #TOC", 30, 80, kMagenta);
  f.Expect("35000", 380, 80, kBlue);
  f.Expect(" 30.0", 370, 120, kGreen);
  f.Expect("00:05", 380, 160, kBlue);
  f.Expect("ACTUAL   FPM UP", 30, 240, kGreen);
  // At 50 kt the time is not worked out.
  G().GroundSpeedKnots = 50;
  Show(kPageVnav).Expect("-----", 380, 160, kBlue);

  // The constraint nearer than the top of climb: EST CROSSING at 120 kt,
  // 10 NM at 1500 ft/min: 12000 + 1500 x 5.
  G().ClimbSideDistance = 100;
  G().GroundSpeedKnots = 120;
  G().NextConstraintDistance = 10;
  f = Show(kPageVnav);
  f.Expect("TO W3", 30, 80, kMagenta);
  f.Expect(" 9000", 380, 80, kBlue);
  f.Expect("EST CROSSING", 30, 120, kBlue);
  f.Expect("19500", 380, 120, kBlue);
  // Descending at 3000 ft/min, five minutes out: the descent levels at the
  // constraint's 9000 ft, here above the aircraft's 8000 (no lower than
  // that), not 7000 ft below sea level; nor at a constraint below it.
  G().VerticalSpeedFpm = -3000;
  G().AircraftAltitude = 8000;
  // The column at x 380, top down: the phase's line, the constraint, the
  // crossing.
  EXPECT_EQ(Show(kPageVnav).TextsAt(380).at(2), " 8000");
  G().NextConstraintAltitude = -999;
  Show(kPageVnav).Expect("    0", 380, 120, kBlue);
  G().NextConstraintAltitude = 9000;
  G().AircraftAltitude = 12000;
  G().VerticalSpeedFpm = 1500;
  // Standing still nothing crosses anywhere.
  G().GroundSpeedKnots = 0;
  Show(kPageVnav).Expect("-----", 380, 120, kBlue);

  // Cruise: to the top of descent; descending with the vertical speed down.
  G().TocPassed = 1;
  G().CruiseSideDistance = 42;
  G().VerticalSpeedFpm = -800;
  f = Show(kPageVnav);
  f.Expect("CRUISE", 30, 40, kGreen);
  f.Expect("TO #TOD", 30, 80, kMagenta);
  f.Expect(" 42.0", 370, 120, kGreen);
  f.Expect("ACTUAL   FPM DN", 30, 240, kGreen);
  f.Expect(" 800", 400, 240, kGreen);
  G().TodPassed = 1;
  Show(kPageVnav).Expect("DESCENT", 30, 40, kGreen);
}

// A route that doubles back, south of the equator and across 180 degrees:
// from 10 NM short of W1, the top of climb 20 NM past W2 is 90 NM along the
// route (61 straight) and comes before W4's constraint, 190 NM along (50
// straight); the top of descent halfway to W3 100 (63 straight). Both
// pages read the profile's distances, by which the list places the
// markers (less any corner the path cuts), and time them at 380 kt over
// the ground (460 true).
TEST_F(DataPagesTest, VnavRangesAlongTheRouteAtTheGroundSpeed) {
  MakeActive({"ORIG", "W1", "W2", "W3", "W4", "DEST"});
  const double lat[] = {-0.5, 0, 0, -1, -1, -1.5}, lon[] = {179.5, 179.5, -179.5, -179.5, 179.5, 179.5};
  for (int i = 0; i <= 5; ++i) {
    F().ActiveFlightPlan[i].latitude = lat[i];
    F().ActiveFlightPlan[i].longitude = lon[i];
  }
  F().ActiveWaypointIndex = 1;
  G().ActiveWaypointDistance = 10;
  G().PlaneLatitude = -10.0 / 60.0;
  G().PlaneLongitude = 179.5;
  F().ActiveFlightPlan[4].constraint_flag = 1;
  F().ActiveFlightPlan[4].altitude_constraint = 9000;
  G().NextConstraintIndex = 4;
  G().TocLatitude = -20.0 / 60.0;
  G().TodLatitude = -0.5;
  G().TocLongitude = G().TodLongitude = -179.5;
  G().GroundSpeedKnots = 380;
  G().TrueAirspeedEstimate = 460;
  M().CruiseAlt = 30000;
  auto expect = [&](const char* label, const double& along, float range_y, float ete_y, std::int32_t page) {
    const Frame f = Show(page);
    if (label != nullptr) f.Expect(label, 30, 80, kMagenta);
    f.Expect(ScreenText(page == kPageVnav ? "%5.1f" : "%4.1f", along), page == kPageVnav ? 370 : 360, range_y, kGreen);
    f.Expect(GnsDurationText(along / 380.0 * 60.0), page == kPageVnav ? 380 : 360, ete_y, kBlue);
  };
  guidance::UpdateVerticalProfile();
  expect("TO #TOC", G().ClimbSideDistance, 120, 160, kPageVnav);
  EXPECT_GT(G().ClimbSideDistance, 80.0);  // 90 less any corner the path cuts, not 61
  expect(nullptr, G().ClimbSideDistance, 280, 320, kPageVnavData);
  G().TocPassed = 1;
  guidance::UpdateVerticalProfile();
  expect("TO #TOD", G().CruiseSideDistance, 120, 160, kPageVnav);
  EXPECT_GT(G().CruiseSideDistance, 90.0);
}

TEST_F(DataPagesTest, VnavDataFieldsAndKeys) {
  M().CruiseAlt = 0;
  M().TransAlt = 18000;
  M().FPA = 3.0;
  G().PreselectAltitude = 31000;
  Frame f = Show(kPageVnavData);
  f.Expect("VNAV  DATA 1/1", 90, 0, kWhite);
  f.Expect("------", 340, 80, kBlue);
  f.Expect(" 18000", 340, 120, kBlue);
  f.Expect("3.0", 400, 160, kGreen);
  f.Expect("31000", 360, 240, kBlue);
  EXPECT_EQ(f.TextsAt(360), std::vector<std::string>({"31000", "-----", "------"}));
  M().FPA = 0;
  Show(kPageVnavData).Expect("---", 400, 160, kGreen);

  // Line 7 walks CRUISE ALT, TRANS LEVEL and back; each proposes its value.
  M().CruiseAlt = 35000;
  f = Key(7);
  EXPECT_EQ(LineStates()[6], 1);
  EXPECT_EQ(S().NavigatorScratchpad, " 35000");
  EXPECT_EQ(f.Blocks(), std::vector<Frame::Block>({{340, 80, 6}}));
  f = Key(7);
  EXPECT_EQ(LineStates()[6], 2);
  EXPECT_EQ(S().NavigatorScratchpad, " 18000");
  EXPECT_EQ(f.Blocks(), std::vector<Frame::Block>({{340, 120, 6}}));
  Key(7);
  EXPECT_EQ(LineStates()[6], 0);

  // The angle is proposed without its point and cut to two digits.
  M().FPA = 2.5;
  Key(8);
  EXPECT_EQ(S().NavigatorScratchpad, "25");
  S().NavigatorScratchpad = "352";
  f = DrawFrame();
  EXPECT_EQ(S().NavigatorScratchpad, "35");
  f.Expect("3.5", 400, 160, kBlack);
  S().NavigatorScratchpad = "4     ";
  DrawFrame().Expect("4. ", 400, 160, kBlack);
  S().NavigatorScratchpad = "";
  DrawFrame().Expect(" . ", 400, 160, kBlack);
}

// ENT stores what was typed and the page reads it back.
TEST_F(DataPagesTest, VnavDataEntriesReadBack) {
  M().CruiseAlt = 20000;
  Show(kPageVnavData);
  Key(7);
  Type("35000");
  Ent();
  EXPECT_EQ(M().CruiseAlt, 35000);
  Key(7);
  Key(7);
  Type("8000");
  Ent();
  EXPECT_EQ(M().TransAlt, 8000);
  Key(8);
  Type("35");
  Ent();
  EXPECT_DOUBLE_EQ(M().FPA, 3.5);
  const Frame f = DrawFrame();
  f.Expect(" 35000", 340, 80, kBlue);
  f.Expect("  8000", 340, 120, kBlue);
  f.Expect("3.5", 400, 160, kGreen);
}

// ---- PLAN ----------------------------------------------------------------------------

class PlanPageTest : public DataPagesTest {
 protected:
  void SetUp() override {
    DataPagesTest::SetUp();
    host.tokens[386] = 1000;  // 1000 lb of fuel on board
    host.tokens[306] = 1;
    host.tokens[421] = 300;   // engine 1 and 3 burn 300 and 200 lb/h
    host.tokens[499] = 200;
    MakeActive({"KSEA", "W1", "KPDX"});
    F().ActiveWaypointIndex = 1;
  }
  Frame Plan(int sub_page) {
    S().GnsPlanSubPage = sub_page;
    return Show(kPagePlan);
  }
};

// Endurance 1000 / 500 = 2 h; at 51 kt 102 NM; 51 / 500 = 0.102 NM a pound.
TEST_F(PlanPageTest, FuelStatusLimitsAndUnits) {
  G().GroundSpeedKnots = 50;
  Frame f = Plan(1);
  f.Expect("PLAN 1/6", 150, 0, kWhite);
  f.Expect("LB", 380, 40, kGreen);
  f.Expect("  1000", 340, 80, kGreen);
  f.Expect("   500", 340, 160, kGreen);
  EXPECT_EQ(f.TextsAt(360), std::vector<std::string>({"-----", "-----", "-----"}));
  G().GroundSpeedKnots = 51;
  f = Plan(1);
  f.Expect("02:00", 360, 280, kBlue);
  f.Expect("  102", 360, 320, kGreen);
  f.Expect("NM/LB", 90, 360, kGreen);
  f.Expect("0.102", 360, 360, kGreen);
  // No flow: no endurance, and no number that is not one.
  host.tokens[421] = 0;
  host.tokens[499] = 0;
  f = Plan(1);
  EXPECT_EQ(f.TextsAt(360), std::vector<std::string>({"-----", "-----", "-----"}));
  // A light aircraft's figure keeps its three figures: 4 lb/h at 51 kt.
  host.tokens[421] = 4;
  Plan(1).Expect("12.75", 360, 360, kGreen);
  // Kilograms on FUEL STATUS: 300 lb/h is 136.08 kg/h, 51 kt 0.375 NM a
  // kilogram.
  host.tokens[421] = 300;
  M().WeightUnit = "KGS";
  f = Plan(1);
  f.Expect("KG", 380, 40, kGreen);
  f.Expect("   454", 340, 80, kGreen);
  f.Expect("NM/KG", 90, 360, kGreen);
  f.Expect("0.375", 360, 360, kGreen);
  Plan(3).Expect(" 300", 380, 200, kGreen);
  Plan(6).Expect("  1000", 340, 240, kGreen);
}

TEST_F(PlanPageTest, TripAndFuelPlanLimits) {
  G().GroundSpeedKnots = 20;
  G().ActiveWaypointDistance = 0;
  Frame f = Plan(2);
  f.Expect("---", 400, 160, kGreen);
  f.Expect("------/---", 280, 200, kGreen);
  f.Expect("DIRECT", 30, 80, kYellow);
  f.Expect("  KSEA", 340, 80, kGreen);
  f.Expect("TO     W1", 30, 120, kMagenta);
  f.Expect("ETA @ KPDX", 30, 320, kBlue);
  Plan(3).Expect(" 20", 400, 160, kGreen);
  G().GroundSpeedKnots = 0;
  Plan(3).Expect("---", 400, 160, kGreen);

  // 2 h 10 min to the destination at 23:55 local: 02:05.
  G().GroundSpeedKnots = 100;
  G().DestinationDistance = 217;
  G().DestinationEteHours = 2;
  G().TodEteMinutes = 10;
  G().LocalClockHour = 23;
  G().ClockMinute = 55;
  G().ActiveWaypointDistance = 50;
  f = Plan(2);
  f.Expect("  217/", 240, 280, kGreen);
  f.Expect("02:10", 360, 280, kBlue);
  f.Expect("02:05", 360, 340, kBlue);
  // Leg fuel 500 lb/h x 50 NM / 100 kt; plan fuel over 217 NM.
  f = Plan(3);
  f.Expect("  250", 360, 240, kGreen);
  f.Expect(" 1085", 360, 280, kGreen);

  F().ActiveWaypointIndex = model::kNoWaypoint;
  f = Plan(2);
  f.Expect("------", 340, 80, kGreen);
  f.Expect("TO ------", 30, 120, kMagenta);
  f.Expect("ETA @ ----", 30, 320, kBlue);
}

// Engine 2 reports nothing: no row, and TOTAL the sum of the others.
TEST_F(PlanPageTest, EngineRowsAndTimesAcrossMidnight) {
  host.tokens[657] = 0;
  host.tokens[695] = 150;  // engine 4 only by its second variable
  Frame f = Plan(4);
  EXPECT_EQ(f.TextsAt(30), std::vector<std::string>({"FUEL FLOW", "ENGINE   1", "ENGINE   3", "ENGINE   4", "TOTAL"}));
  f.Expect(" 150", 380, 280, kGreen);
  f.Expect(" 650", 380, 360, kGreen);  // the sum of the rows

  G().TakeoffTimeText.clear();
  G().LandingTimeText.clear();
  f = Plan(5);
  EXPECT_EQ(G().TakeoffTimeText, "-----");
  EXPECT_EQ(G().LandingTimeText, "-----");
  EXPECT_EQ(f.TextsAt(380), std::vector<std::string>({"-----", "-----", "-----"}));
  G().TakeoffTimeText = "23:50";
  G().TakeoffZuluHour = 23;
  G().TakeoffZuluMinute = 50;
  G().ZuluHour = 0;
  G().ZuluMinute = 20;
  Plan(5).Expect("00:30", 380, 320, kBlue);
}

// The reserve is proposed in the unit shown; unchanged it stays as it was.
TEST_F(PlanPageTest, ReserveEntryInKilograms) {
  M().WeightUnit = "KGS";
  M().ReserveFuel = 800;
  Plan(1);
  Frame f = Key(7);
  EXPECT_EQ(S().NavigatorScratchpad, "   363");
  EXPECT_EQ(f.Blocks(), std::vector<Frame::Block>({{340, 120, 6}}));
  Ent();
  EXPECT_DOUBLE_EQ(M().ReserveFuel, 800);
  Key(7);
  Type("200");
  Ent();
  EXPECT_NEAR(M().ReserveFuel, 200 * 2.20462262, 1e-9);
  Plan(1).Expect("   200", 340, 120, kGreen);
  // Reading the fuel on board keeps the reserve at or below it.
  M().ReserveFuel = 5000;
  Plan(2);
  EXPECT_DOUBLE_EQ(M().ReserveFuel, 1000);
}

}  // namespace
}  // namespace ovi::gnsxls::test
