// Distances and times to the waypoints ahead on the navigator's pages and
// the MCU over the turning route (tests/support/turning_route.h): along the
// route at the ground speed (300 kt, 250 true), growing down every list.
#include <string>
#include <vector>

#include "src/guidance/vertical_plan.h"
#include "src/instruments/gnsxls/kit.h"
#include "tests/host/fake_panels.h"
#include "tests/instruments/gnsxls/gnsxls_support.h"
#include "tests/instruments/gnsxls/mcu_support.h"
#include "tests/support/turning_route.h"

namespace ovi::gnsxls::test {
namespace {

using flightplan::test::G;

// 31 NM to ACTV: 6.2, 18.2, 30.2, 42.2 and 54.2 minutes; page 1 lists
// DIRECT to SOUTH, page 2 DEST. DIS: no leg into the discontinuity, the leg
// after it from EAST.
TEST_F(GnsTest, FlightPlanColumnsAlongATurningRoute) {
  const std::pair<std::int32_t, Strings> cases[] = {
      {kColumnEte, {"------", "00:06", "00:18", "00:30", "------", "00:42", "00:54"}},
      {kColumnDis, {"  60", "  31", "  60", "  60", "----", "  60", "  60"}}};
  for (const auto& [column, shown] : cases) {
    ovi::test::FlyTurningRoute(31, 300);
    G().TrueAirspeedEstimate = 250;
    G().DisplayPower = 1;
    S().GnsXlsPage = kPageFlightPlan;
    S().GnsXlsFplView = kViewActive;
    S().GnsActivePlanPage = 1;
    S().GnsFplDataColumn = S().GnsFplDataColumnChoice = column;
    Strings texts = DrawFrame().TextsAt(300);
    S().GnsActivePlanPage = 2;
    texts.push_back(DrawFrame().TextsAt(300).at(0));
    EXPECT_EQ(texts, shown);
  }
}

// 4 NM before EQTR from 23:50: NX EAST 64 NM along the route (60 straight),
// 12.8 min; DEST 184 NM, 36.8 min, 368 of 5000 lb burned. With EAST flown
// to, the discontinuity next has neither time nor distance.
TEST_F(GnsTest, NavigationNextAndDestinationAlongATurningRoute) {
  testing::FakeHost host;
  host.Bind();
  host.tokens[386] = 5000;
  host.tokens[306] = 1;
  host.tokens[421] = 600;
  ovi::test::FlyTurningRoute(4, 300, 3);
  G().TrueAirspeedEstimate = 250;
  G().DisplayPower = 1;
  G().EteMinutes = 0.8;
  G().LocalClockHour = 23;
  G().ClockMinute = 50;
  S().GnsXlsPage = kPageNavigation;
  S().GnsNavSubPage = 1;
  const Frame next = DrawFrame();
  next.Expect("00:03", 360, 120, kBlue);
  next.Expect("(64)", 160, 160, kGreen);
  S().GnsNavSubPage = 2;
  EXPECT_EQ(DrawFrame().TextsAt(360), Strings({"-----", "23:51", "00:03", "00:27", " 4632"}));
  ovi::test::FlyTurningRoute(4, 300, 4);
  G().EteMinutes = 0.8;
  S().GnsNavSubPage = 1;
  const Frame disco = DrawFrame();
  disco.Expect("DISCO", 90, 120, kYellow);
  EXPECT_EQ(disco.TextsAt(160), Strings({"-MAN-"}));
}

}  // namespace
}  // namespace ovi::gnsxls::test

namespace ovi::mcu::test {
namespace {

// The destination line reads the route's 271 NM (as the vertical profile
// measures them) with LNAV off as on, not DEST's 67 NM straight.
TEST_F(McuTest, StatusDestinationAlongATurningRoute) {
  ovi::test::FlyTurningRoute(31, 300);
  guidance::UpdateVerticalProfile();
  for (int lnav : {0, 1}) {
    G().LnavEngaged = lnav;
    EXPECT_EQ(Repaint().TextsAt(48).at(0).substr(0, 10), "DEST: 271/") << lnav;
  }
}

}  // namespace
}  // namespace ovi::mcu::test
