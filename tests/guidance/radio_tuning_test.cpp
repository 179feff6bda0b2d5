// Radio tuning against ovi-sim's key-event log, in one process.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "sim/simulator.h"
#include "src/flightplan/state.h"
#include "src/guidance/radio_tuning.h"
#include "src/guidance/state.h"
#include "src/host/module_state.h"
#include "src/host/state.h"
#include "src/navdb/state.h"

namespace ovi::guidance {
namespace {

using Events = std::vector<std::pair<std::uint32_t, std::uint32_t>>;

class RadioTuningTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetModuleState();
    host::host_state.Panels = sim.panels();
  }
  void TearDown() override { ResetModuleState(); }

  struct Point {
    double lat, lon;
    const char* type;
    const char* frequency;
  };
  static void Route(const std::vector<Point>& points, int active) {
    flightplan::State& fp = flightplan::flightplan_state;
    int i = 0;
    for (const Point& p : points) {
      model::FlightPlanWaypoint& w = fp.ActiveFlightPlan[i++];
      w.ident = "P" + std::to_string(i);
      w.latitude = p.lat;
      w.longitude = p.lon;
      w.type = p.type;
      w.frequency_text = p.frequency;
    }
    fp.ActiveFlightPlanLastIndex = i - 1;
    fp.ActiveWaypointIndex = active;
  }
  // The key events the module sent since the last call.
  Events Sent() {
    Events out;
    const auto& all = sim.key_events();
    for (std::size_t i = seen_; i < all.size(); ++i) {
      if (all[i].source == "module") out.emplace_back(all[i].id, all[i].value);
    }
    seen_ = all.size();
    return out;
  }
  sim::Simulator sim;
  std::size_t seen_ = 0;
};

TEST_F(RadioTuningTest, FrequencyTextsToDigits) {
  EXPECT_EQ(NavFrequencyDigits("113.70"), 11370);
  EXPECT_EQ(NavFrequencyDigits("108.5"), 1085);
  EXPECT_EQ(NavFrequencyDigits("113"), 113);  // shorter than the decimal point's place
  EXPECT_EQ(NavFrequencyDigits("1"), 1);
  EXPECT_EQ(NavFrequencyDigits(""), 0);
  EXPECT_EQ(NavFrequencyDigits("ABC.DE"), 0);
  EXPECT_EQ(NavFrequencyDigits("123.456789012"), 0);  // no radio has that many digits
}

TEST_F(RadioTuningTest, NextVorOrNdbAheadWithTheCourseToIt) {
  guidance_state.MagneticVariation = 10.0;
  // Due east to a VOR: course 90 - 10 = 80, 113.70 as one BCD digit each.
  Route({{0, 0, "APT", ""}, {0, 0.5, "INT", ""}, {0, 1, "VOR", "113.70"}, {0, 2, "APT", ""}}, 1);
  TuneEnRouteNavaids(kTuneRoute);
  EXPECT_EQ(Sent(), (Events{{kEventVorCourse, 80}, {kEventNavFrequency, 0x11370}}));

  // An NDB goes to the ADF, 350 kHz as 0x350; south-west of zero.
  guidance_state.MagneticVariation = 0.0;
  guidance_state.PlaneLatitude = -10.0;
  guidance_state.PlaneLongitude = -20.0;
  Route({{-10, -20, "APT", ""}, {-11, -20, "NDB", "350"}, {-12, -20, "APT", ""}}, 1);
  TuneEnRouteNavaids(kTuneRoute);
  EXPECT_EQ(Sent(), (Events{{kEventVorCourse, 180}, {kEventAdfFrequency, 0x350}}));
}

TEST_F(RadioTuningTest, RangeOfTheFirstNavaidAhead) {
  // The first navaid ahead 231 NM away is not tuned, though a nearer one
  // follows it; only the active leg's course is set, from the navaid behind.
  Route({{0, 0, "VOR", "116.00"},
         {0, 1, "INT", ""},
         {0, 231.0 / 60.0, "VOR", "113.70"},
         {0, 1.5, "VOR", "112.10"},
         {0, 5, "APT", ""}},
        1);
  TuneEnRouteNavaids(kTuneRoute);
  EXPECT_EQ(Sent(), (Events{{kEventVorCourse, 90}}));

  // 229.9 NM: tuned; the course is that of the leg ending there (due east).
  flightplan::flightplan_state.ActiveFlightPlan[2].longitude = 229.9 / 60.0;
  TuneEnRouteNavaids(kTuneRoute);
  EXPECT_EQ(Sent(), (Events{{kEventVorCourse, 90}, {kEventNavFrequency, 0x11370}}));
}

TEST_F(RadioTuningTest, CourseEdgesAndNothingToTune) {
  Route({{0, 0, "APT", ""}, {0, 1, "VOR", "ABC"}, {0, 2, "APT", ""}}, 1);
  struct Case {
    double variation;
    std::uint32_t course;
  };
  // Due east less the variation: -0.3 -> 359.7 -> 359; 0.3 -> 360.3 -> 360.
  for (const Case& c : {Case{90.3, 359}, Case{89.7, 360}}) {
    guidance_state.MagneticVariation = c.variation;
    TuneEnRouteNavaids(kTuneRoute);
    // A frequency text without digits tunes nothing.
    EXPECT_EQ(Sent(), (Events{{kEventVorCourse, c.course}})) << c.variation;
  }

  // Due north reads 360 true; 5 degrees west variation gives 5, not 365.
  Route({{0, 0, "APT", ""}, {1, 0, "VOR", "113.70"}, {2, 0, "APT", ""}}, 1);
  guidance_state.MagneticVariation = -5.0;
  TuneEnRouteNavaids(kTuneRoute);
  EXPECT_EQ(Sent(), (Events{{kEventVorCourse, 5}, {kEventNavFrequency, 0x11370}}));

  // Nothing: the navaid is the active waypoint 0, no active waypoint, an
  // unknown mode.
  Route({{0, 0, "VOR", "113.70"}, {0, 1, "APT", ""}}, 0);
  TuneEnRouteNavaids(kTuneRoute);
  flightplan::flightplan_state.ActiveWaypointIndex = model::kNoWaypoint;
  TuneEnRouteNavaids(kTuneRoute);
  flightplan::flightplan_state.ActiveWaypointIndex = 1;
  TuneEnRouteNavaids(3);
  EXPECT_EQ(Sent(), Events{});
}

// The route's last waypoint is never tuned, even when it is the navaid
// being flown to; the course of the leg from a navaid behind still is.
TEST_F(RadioTuningTest, TheLastWaypointIsNotTuned) {
  guidance_state.MagneticVariation = -20.0;
  // Due south, 180 + 20 = 200.
  Route({{10, 30, "VOR", "117.90"}, {9, 30, "NDB", "420"}}, 1);
  TuneEnRouteNavaids(kTuneRoute);
  EXPECT_EQ(Sent(), (Events{{kEventVorCourse, 200}}));
  // Without a navaid behind: nothing at all.
  flightplan::flightplan_state.ActiveFlightPlan[0].frequency_text.clear();
  TuneEnRouteNavaids(kTuneRoute);
  EXPECT_EQ(Sent(), Events{});
}

TEST_F(RadioTuningTest, RunwayIlsOfTheSelectedRunway) {
  navdb::State& nav = navdb::navdb_state;
  nav.AirportRunwayCount = 2;
  nav.AirportRunwayTable[1].frequency_text = "";
  nav.AirportRunwayTable[1].heading = 343.0;
  nav.AirportRunwayTable[2].frequency_text = "110 30";
  nav.AirportRunwayTable[2].heading = 163.4;
  nav.SelectedRunwayBase = 1;
  nav.SelectedRunwayOffset = 2;
  TuneEnRouteNavaids(kTuneRunwayIls);
  EXPECT_EQ(Sent(), (Events{{kEventVorCourse, 163}, {kEventNavFrequency, 0x11030}}));

  // A frequency text with its decimal point gives the digits before it.
  nav.AirportRunwayTable[2].frequency_text = "109.50";
  TuneEnRouteNavaids(kTuneRunwayIls);
  EXPECT_EQ(Sent(), (Events{{kEventVorCourse, 163}, {kEventNavFrequency, 0x109}}));

  // No ILS: the course alone.
  nav.SelectedRunwayOffset = 1;
  TuneEnRouteNavaids(kTuneRunwayIls);
  EXPECT_EQ(Sent(), (Events{{kEventVorCourse, 343}}));

  // Before a runway is chosen (base -999) and past the last runway: nothing.
  nav.SelectedRunwayBase = -999;
  TuneEnRouteNavaids(kTuneRunwayIls);
  nav.SelectedRunwayBase = 2;
  nav.SelectedRunwayOffset = 2;
  TuneEnRouteNavaids(kTuneRunwayIls);
  EXPECT_EQ(Sent(), Events{});
}

}  // namespace
}  // namespace ovi::guidance
