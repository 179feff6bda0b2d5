// Distances and times to the waypoints ahead on the navigator's pages and
// the MCU over the turning route (tests/support/turning_route.h): along the
// route at the ground speed (300 kt, 250 true), growing down every list.
#include <cmath>
#include <string>
#include <vector>

#include "src/guidance/vertical_plan.h"
#include "src/instruments/gnsxls/clock_text.h"
#include "src/instruments/gnsxls/kit.h"
#include "src/util/text.h"
#include "tests/host/fake_panels.h"
#include "tests/instruments/gnsxls/gnsxls_support.h"
#include "tests/instruments/gnsxls/mcu_support.h"
#include "tests/support/turning_route.h"

namespace ovi::gnsxls::test {
namespace {

using flightplan::test::G;

// 31 NM to ACTV (6.2 minutes), then along the path LNAV flies round the
// right angles at EQTR and EAST (`Along`); page 1 lists DIRECT to SOUTH,
// page 2 DEST. DIS: no leg into the discontinuity, the leg after it from
// EAST.
TEST_F(GnsTest, FlightPlanColumnsAlongATurningRoute) {
  ovi::test::FlyTurningRoute(31, 300);
  auto ete = [](double nm) {
    const double minutes = std::floor(nm / 300.0 * 60.0 + 0.5);
    return ScreenText("%02.0f:%02.0f", std::floor(minutes / 60.0), std::fmod(minutes, 60.0));
  };
  using ovi::test::Along;
  const std::pair<std::int32_t, Strings> cases[] = {
      {kColumnEte, {"------", ete(Along(2)), ete(Along(3)), ete(Along(4)), "------", ete(Along(6)), ete(Along(7))}},
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

// 4 NM before EQTR from 23:50, 600 lb/h on 5000: NX EAST and DEST along
// the path LNAV flies (EAST 60 NM on in a straight line), timed at 300 kt.
// With EAST flown to, the discontinuity next has neither time nor distance.
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
  const double east = ovi::test::Along(4), dest = ovi::test::Along(7);
  EXPECT_GT(east, 4.0 + 60.0 - 5.52);  // a corner cuts less than its switch distance
  EXPECT_LT(east, 64.0);
  S().GnsXlsPage = kPageNavigation;
  S().GnsNavSubPage = 1;
  const Frame next = DrawFrame();
  next.Expect(GnsArrivalText(east / 5.0), 360, 120, kBlue);
  next.Expect(ScreenText("(%.0f)", east), 160, 160, kGreen);
  S().GnsNavSubPage = 2;
  EXPECT_EQ(DrawFrame().TextsAt(360),
            Strings({"-----", "23:51", GnsArrivalText(east / 5.0), GnsArrivalText(dest / 5.0),
                     ScreenText("%5.0f", 5000.0 - dest / 300.0 * 600.0)}));
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

// The destination line reads the path LNAV flies to DEST (as the vertical
// profile measures it: the 271 NM of legs less the two right angles cut)
// with LNAV off as on, not DEST's 67 NM straight.
TEST_F(McuTest, StatusDestinationAlongATurningRoute) {
  ovi::test::FlyTurningRoute(31, 300);
  guidance::UpdateVerticalProfile();
  const double dest = ovi::test::Along(7);
  EXPECT_LT(dest, 271.0);
  EXPECT_GT(dest, 271.0 - 2 * 5.52);
  for (int lnav : {0, 1}) {
    G().LnavEngaged = lnav;
    EXPECT_EQ(Repaint().TextsAt(48).at(0).substr(0, 10), util::Format("DEST: %.0f/", dest)) << lnav;
  }
}

}  // namespace
}  // namespace ovi::mcu::test
