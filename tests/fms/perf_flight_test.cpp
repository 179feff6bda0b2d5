// The performance pages through one closed-loop flight of the sample route
// KSEA-KPDX (cruise altitude 16000 in its file), with the stand-in's
// aircraft and autopilot: on the ground a cruise altitude, a cruise and a
// descent speed entered on the ECON pages and executed, the pause at the
// top of descent armed; then, the CDU left on ECON CLB, the page follows
// the climb, the cruise and the descent by itself while VNAV hands the
// entered speeds to the autopilot.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "platform/gfx/device_context.h"
#include "src/flightplan/state.h"
#include "src/guidance/engage_buttons.h"
#include "src/guidance/flown_path.h"
#include "src/guidance/route_ahead.h"
#include "src/guidance/state.h"
#include "src/guidance/vertical_plan_internal.h"
#include "src/host/one_time_loads.h"
#include "src/host/state.h"
#include "src/instruments/fms/keypad.h"
#include "src/instruments/fms/kit.h"
#include "src/instruments/fms/state.h"
#include "src/instruments/gnsxls/screen.h"
#include "src/instruments/gnsxls/state.h"
#include "src/model/state.h"
#include "src/navdb/navdb.h"
#include "tests/fms/cdu_support.h"
#include "tests/guidance/closed_loop.h"

namespace ovi::fms::test {
namespace {

constexpr std::uint32_t kPauseEvent = 0x10019;

double Distance(double lat1, double lon1, double lat2, double lon2) {
  double d = 0.0, c = 0.0;
  navdb::ComputeDistanceAndBearing(lat1, lon1, lat2, lon2, d, c);
  return d;
}

// Along the active route, from a point on one of its legs to the last
// waypoint; none when the point lies on no leg.
std::optional<double> RouteDistanceToEnd(double lat, double lon) {
  const flightplan::State& f = flightplan::flightplan_state;
  double after = 0.0;
  for (int i = f.ActiveFlightPlanLastIndex; i >= 1; --i) {
    const model::FlightPlanWaypoint& a = f.ActiveFlightPlan[i - 1];
    const model::FlightPlanWaypoint& b = f.ActiveFlightPlan[i];
    const double leg = Distance(a.latitude, a.longitude, b.latitude, b.longitude);
    const double to_b = Distance(lat, lon, b.latitude, b.longitude);
    if (std::fabs(Distance(a.latitude, a.longitude, lat, lon) + to_b - leg) < 0.05) return after + to_b;
    after += leg;
  }
  return std::nullopt;
}

class PerfFlightTest : public SampleCopyTest {
 protected:
  void SetUp() override {
    SampleCopyTest::SetUp();
    loop.Bind();
    // What the first gauge's pre-initialise loads, with the aircraft file.
    host::RunLoadConfiguration();
    host::AircraftConfigNameRef() = "B737-800";
    host::RunLoadAircraftConfig();
    host::RunScanFlightPlanFolder();
  }
  // Types `text`, presses line key `key` of the page shown and draws the
  // frame that acts on it.
  void Enter(int page, int key, const std::string& text) {
    fms_state.FmsPage = page;
    for (char c : text) TypeCharacter(c);
    PressLineSelect(key);
    DrawFrame();
    EXPECT_EQ(model::model_state.PanelMessage, "") << text;
  }
  int PauseEvents() const {
    int n = 0;
    for (const auto& e : loop.key_events()) n += e.id == kPauseEvent;
    return n;
  }

  guidance::testing::ClosedLoop loop;
};

TEST_F(PerfFlightTest, ThePagesFollowTheFlightAndTheEntriesReachTheAutopilot) {
  sim::AircraftState& a = loop.aircraft();
  // Lined up at Seattle-Tacoma; the route loaded as the MCU's flight-plan
  // page posts it.
  guidance::testing::LineUpAtSeattle(loop);
  flightplan::State& fp = flightplan::flightplan_state;
  const guidance::State& g = guidance::guidance_state;
  const model::State& m = model::model_state;
  fp.RequestedFlightPlanFile = "KSEA-KPDX.rte";
  guidance::guidance_state.FlightPlanLoadRequest = 1;
  loop.Run(2.0);
  ASSERT_EQ(fp.RouteState, 3);
  ASSERT_EQ(m.CruiseAlt, 16000);
  ASSERT_EQ(m.ArmPauseAtTod, 1);
  const double tod_16000 = RouteDistanceToEnd(g.TodLatitude, g.TodLongitude).value_or(-1.0);

  // FL190, 300 kt / Mach .60 in cruise (the tables cruise at M0.62 there:
  // a Mach above it would be held at it), 260 kt in descent: a modification.
  Enter(kPageEconCruise, kL1, "FL190");
  Enter(kPageEconCruise, kL2, "300/.60");
  Enter(kPageEconDescent, kL2, "260");
  EXPECT_EQ(fp.RouteState, 4);
  EXPECT_EQ(RouteDistanceToEnd(g.TodLatitude, g.TodLongitude).value_or(-1.0), tod_16000);  // pending only
  PressExec();
  ASSERT_EQ(fp.RouteState, 3);
  ASSERT_EQ(m.CruiseAlt, 19000);
  // The top of descent moved back along the route: from it the descent at
  // the plan's rate and true airspeed ends at KPDX's elevation (31 ft),
  // along the path the aircraft flies (the legs less the corners it cuts).
  // 3000 ft more at 2200 ft/min take 1.4 min: above 5 NM at any descent
  // speed of the tables.
  const std::optional<double> tod_19000 = RouteDistanceToEnd(g.TodLatitude, g.TodLongitude);
  ASSERT_TRUE(tod_19000.has_value());
  EXPECT_EQ(m.PlanDescentRate, 2200.0);
  const guidance::FlownPath& path = guidance::FlownPath::Current();
  // No steeper than VNAV follows at its share of its greatest rate, at the
  // fastest the descent flies.
  const double per_nm = std::min(2200.0 * 60.0 / m.DescentTas, guidance::kDescentRateShare * m.MaxVnavDescRate *
                                                                   60.0 / guidance::FastestDescentTas(19000.0));
  EXPECT_NEAR(path.Entry(10) - path.CoordinateFromRouteDistance(path.RouteTo(10) - *tod_19000),
              (19000.0 - 31.0) / per_nm, 0.1);
  EXPECT_GT(*tod_19000, tod_16000 + 5.0);
  Enter(kPageEconCruise, kR6, "");
  ASSERT_EQ(m.PauseAtTod, 1);
  PressClimb();

  // Take-off by hand, the autopilot on; then LNAV and VNAV.
  guidance::testing::TakeOffByHand(loop);
  guidance::ToggleLnav();
  guidance::ToggleVnav();
  ASSERT_EQ(g.VnavEngaged, 1);

  // A frame every ten seconds until a minute past the top of descent. The
  // pause there stops the aircraft; the crew resumes after 20 s.
  std::vector<std::string> titles;
  std::optional<Frame> climb, cruise, descent;
  double tod_time = -1.0;
  for (int t = 0; t < 40 * 60 * 18 && (tod_time < 0.0 || loop.time() < tod_time + 60.0); ++t) {
    loop.Tick();
    if (tod_time < 0.0 && g.TodPassed == 1) tod_time = loop.time();
    if (a.paused != 0.0 && loop.time() > tod_time + 20.0) a.paused = 0.0;
    if (t % 180 != 0) continue;
    Frame f = DrawFrame();
    float x = 0.0f;
    for (const char* title : {"ECON  CLB", "ECON  CRZ", "ECON  PATH  DES"}) {
      if (f.Find(title, &x) && (titles.empty() || titles.back() != title)) titles.push_back(title);
    }
    std::optional<Frame>& kept = g.TocPassed == 0 ? climb : g.TodPassed == 0 ? cruise : descent;
    if (!kept) {
      kept = std::move(f);
      if (&kept == &cruise) {
        // The Mach entered since the top of climb, in Mach hold.
        EXPECT_EQ(a.ap_mach_hold, 1.0);
        EXPECT_DOUBLE_EQ(a.ap_mach, 0.60);
      }
    }
  }
  EXPECT_EQ(titles, (std::vector<std::string>{"ECON  CLB", "ECON  CRZ", "ECON  PATH  DES"}));
  ASSERT_TRUE(climb && cruise && descent);
  // Climbing: the top of climb ahead, no constraint on this route.
  EXPECT_TRUE(climb->Find("FL190"));
  EXPECT_TRUE(climb->Find("T O   T / C"));
  EXPECT_TRUE(cruise->Find("300 / 0.60"));
  EXPECT_TRUE(cruise->Find("Pause at TOD (ON) >"));
  // Descending: the destination is the constraint ahead, with the path's
  // deviation and angles.
  EXPECT_TRUE(descent->Find("T O    KPDX"));
  EXPECT_TRUE(descent->rec.FindTextContaining("260 / "));
  int path_values = 0;
  for (const auto& t : descent->rec.Texts())
    path_values += std::fabs(t.x - 130.0f * descent->sx) < 0.01f && std::fabs(t.y - 133.0f * descent->sy) < 0.01f;
  EXPECT_EQ(path_values, 1);
  for (const Frame* f : {&*climb, &*cruise, &*descent}) ExpectLegible(*f);

  // Paused once at the top of descent; the descent speed in airspeed hold.
  EXPECT_EQ(PauseEvents(), 1);
  EXPECT_EQ(m.PauseAtTod, 0);
  EXPECT_EQ(a.paused, 0.0);
  EXPECT_EQ(a.ap_mach_hold, 0.0);
  EXPECT_EQ(a.ap_spd_hold, 1.0);
  EXPECT_EQ(a.ap_speed, 260.0);
}

// In the descent, half a minute after BTG (LAVAA active, the corner after
// BTG still being flown): every figure of the distance to the destination,
// the constraint of the descent, agrees with the route still to fly along
// the path LNAV flies: VNAV's own (within half a mile), ECON PATH DES "TO
// KPDX", PROGRESS's KPDX row and the GNS-XLS PLAN "FPL" (whole miles,
// within one).
TEST_F(PerfFlightTest, EveryPageReadsOneDistanceToGo) {
  guidance::testing::LineUpAtSeattle(loop);
  flightplan::State& fp = flightplan::flightplan_state;
  const guidance::State& g = guidance::guidance_state;
  fp.RequestedFlightPlanFile = "KSEA-KPDX.rte";
  guidance::guidance_state.FlightPlanLoadRequest = 1;
  loop.Run(2.0);
  ASSERT_EQ(fp.ActiveFlightPlan[8].ident, "LAVAA");
  guidance::testing::TakeOffByHand(loop);
  guidance::ToggleLnav();
  guidance::ToggleVnav();
  loop.Run(3600.0, [&] { return fp.ActiveWaypointIndex == 8; });
  loop.Run(30.0);
  ASSERT_EQ(fp.ActiveWaypointIndex, 8);
  ASSERT_EQ(g.TodPassed, 1);
  ASSERT_EQ(g.NextConstraintIndex, 10);
  const double to_go = guidance::RouteAhead().To(10);
  EXPECT_NEAR(g.DestinationDistance, to_go, 1e-9);
  EXPECT_NEAR(g.NextConstraintDistance, to_go, 0.5);
  // The number after "/" on ECON PATH DES's line to the constraint.
  fms_state.FmsPage = kPageEconDescent;
  Frame des = DrawFrame();
  EXPECT_TRUE(des.Find("T O    KPDX"));
  gfx::Recorder::TextItem line;
  ASSERT_TRUE(des.rec.FindTextContaining("Z/", &line));
  EXPECT_NEAR(std::stod(line.text.substr(line.text.find("Z/") + 2)), to_go, 1.0) << line.text;
  // PROGRESS: the last row, right-aligned on x 122.
  fms_state.FmsPage = kPageProgress;
  model::model_state.FmsSubPageTable.ProgressSubPage = 1;
  const std::string shown = ScreenText("%.0f", to_go);
  EXPECT_TRUE(DrawFrame().FindAt(shown, 122.0f - 10.0f * static_cast<float>(shown.size()), 131.0f)) << shown;
  // GNS-XLS PLAN, TRIP PLAN: "FPL".
  gnsxls::State& gs = gnsxls::gnsxls_state;
  gs.GnsXlsPage = gnsxls::kPagePlan;
  gs.GnsPlanSubPage = 2;
  gfx::Recorder rec;
  gfx::DeviceContext dc(480, 400);
  dc.recorder = &rec;
  gnsxls::DrawGnsxlsScreen(gs.GnsXlsDisplay, &dc, 480, 400);
  int fpl = 0;
  for (const auto& t : rec.Texts()) {
    if (t.text.empty() || t.text.back() != '/') continue;
    ++fpl;
    EXPECT_NEAR(std::stod(t.text), to_go, 1.0) << t.text;
  }
  EXPECT_EQ(fpl, 1);
}

}  // namespace
}  // namespace ovi::fms::test
