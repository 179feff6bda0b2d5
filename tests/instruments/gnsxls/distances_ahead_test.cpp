// Distances and times to the waypoints ahead on the navigator's pages and
// the MCU, over the turning route (tests/support/turning_route.h): after a
// direct-to, a hold and a discontinuity ahead, every figure measured along
// the route at the ground speed, growing down every list.
#include <string>
#include <vector>

#include "src/guidance/state.h"
#include "src/guidance/vertical_plan.h"
#include "src/instruments/gnsxls/kit.h"
#include "src/model/state.h"
#include "tests/host/fake_panels.h"
#include "tests/instruments/gnsxls/gnsxls_support.h"
#include "tests/instruments/gnsxls/mcu_support.h"
#include "tests/support/turning_route.h"

namespace ovi::gnsxls::test {
namespace {

using flightplan::test::F;
using flightplan::test::G;
using ovi::test::TurningRoute;

class DistancesAheadTest : public GnsTest {
 protected:
  void SetUp() override {
    GnsTest::SetUp();
    host.Bind();
    G().DisplayPower = 1;
  }
  testing::FakeHost host;
};

// 31 NM from ACTV at 300 kt (250 true): 6.2, 18.2, 30.2, 42.2 and 54.2
// minutes, from 23:43 UTC. Page 1 lists DIRECT to SOUTH, page 2 DEST.
TEST_F(DistancesAheadTest, FlightPlanColumns) {
  struct Case {
    std::int32_t column;
    int page;
    Strings shown;
  } cases[] = {
      {kColumnEte, 1, {"------", "00:06", "00:18", "00:30", "------", "00:42"}},
      {kColumnEte, 2, {"00:54"}},
      {kColumnEta, 1, {"------", "23:49", "00:01", "00:13", "------", "00:25"}},
      {kColumnEta, 2, {"00:37"}},
      // Legs: into DIRECT from ORIG, ACTV from the aircraft, none into the
      // discontinuity, SOUTH from EAST before it.
      {kColumnDis, 1, {"  60", "  31", "  60", "  60", "----", "  60"}},
      {kColumnDis, 2, {"  60"}},
  };
  for (const Case& c : cases) {
    TurningRoute::Fly(31, 300);
    G().TrueAirspeedEstimate = 250;
    G().ZuluHour = 23;
    G().ZuluMinute = 43;
    S().GnsXlsPage = kPageFlightPlan;
    S().GnsXlsFplView = kViewActive;
    S().GnsActivePlanPage = c.page;
    S().GnsFplDataColumn = S().GnsFplDataColumnChoice = c.column;
    const Frame f = DrawFrame();
    EXPECT_EQ(f.TextsAt(300), c.shown) << c.column << " page " << c.page;
  }
}

// 4 NM before EQTR at 300 kt (250 true) from 23:50 local: the next waypoint
// EAST 64 NM along the route (60 straight), 12.8 minutes; DEST 184 NM, 36.8
// minutes, burning 368 of 5000 lb at 600 lb/h. With EAST flown to, the
// discontinuity next has no time, distance or course; DEST 124 NM.
TEST_F(DistancesAheadTest, NavigationNextAndDestination) {
  struct Case {
    int active;
    const char* next;
    const char* next_time;
    const char* next_distance;  // "" none
    const char* eta;
    const char* fuel;
  } cases[] = {
      {3, "EAST", "00:03", "(64)", "00:27", " 4632"},
      {4, "DISCO", "-----", "", "00:15", " 4752"},
  };
  host.tokens[386] = 5000;
  host.tokens[306] = 1;
  host.tokens[421] = 600;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.next);
    TurningRoute::Fly(4, 300, c.active);
    F().ActiveFlightPlan[c.active - 1].time_over_text = "23:40";
    G().TrueAirspeedEstimate = 250;
    G().EteMinutes = 0.8;
    G().LocalClockHour = 23;
    G().ClockMinute = 50;
    S().GnsXlsPage = kPageNavigation;
    S().GnsNavSubPage = 1;
    Frame f = DrawFrame();
    f.Expect("NX", 30, 120, kYellow);
    f.Expect(c.next, 90, 120, kYellow);
    f.Expect(c.next_time, 360, 120, kBlue);
    if (*c.next_distance != '\0') {
      f.Expect(c.next_distance, 160, 160, kGreen);
      f.Expect("(74)", 160, 240, kGreen);  // 090 true with 16 east
    } else {
      for (const std::string& t : f.Texts()) EXPECT_NE(t.front(), '(') << t;
    }
    S().GnsNavSubPage = 2;
    f = DrawFrame();
    f.Expect("ETA-DEST", 30, 200, kBlue);
    f.Expect(c.eta, 360, 200, kBlue);
    f.Expect(c.fuel, 360, 240, kGreen);
  }
}

}  // namespace
}  // namespace ovi::gnsxls::test

namespace ovi::mcu::test {
namespace {

using ovi::test::TurningRoute;

// The destination line reads the route's distance (271 NM, as the vertical
// profile measures it), with LNAV off as on: not DEST's 67 NM straight.
TEST_F(McuTest, StatusDestinationAlongTheRoute) {
  TurningRoute::Fly(31, 300);
  guidance::UpdateVerticalProfile();
  for (int lnav : {0, 1}) {
    G().LnavEngaged = lnav;
    const std::vector<std::string> line = Repaint().TextsAt(48);
    ASSERT_EQ(line.size(), 1u) << lnav;
    EXPECT_EQ(line[0].rfind("DEST: 271/", 0), 0u) << line[0];
  }
}

}  // namespace
}  // namespace ovi::mcu::test
