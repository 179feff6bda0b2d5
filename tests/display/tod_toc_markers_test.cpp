// Top of climb, top of descent and next-constraint markers per display
// kind. The route runs north along 60 degrees west, south of the equator;
// one degree of latitude is 60 NM and the map shows 0.5 pixels per NM.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "src/display/map_overlays.h"
#include "src/display/map_symbols.h"
#include "src/display/state.h"
#include "src/flightplan/state.h"
#include "src/guidance/state.h"
#include "src/host/module_state.h"
#include "src/model/state.h"
#include "tests/display/recording.h"

namespace ovi::display {
namespace {

using gfx::OpKind;

constexpr double kLon = -60.0;
constexpr double kRefLat = -30.5;  // the aircraft
constexpr double kCx = 200, kCy = 200;

// Map point of a latitude on the route: 30 pixels per degree north of the
// aircraft.
double MapY(double lat) { return kCy - (lat - kRefLat) * 30.0; }

class TodTocMarkersTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetModuleState();
    flightplan::State& fp = flightplan::flightplan_state;
    const double lats[] = {-30.0, -29.5, -28.25, -27.0};
    for (int i = 0; i < 4; ++i) {
      fp.ActiveFlightPlan[i].latitude = lats[i];
      fp.ActiveFlightPlan[i].longitude = kLon;
    }
    fp.ActiveFlightPlanLastIndex = 3;
    fp.ActiveWaypointIndex = 1;
    guidance::State& gs = guidance::guidance_state;
    gs.NextConstraintIndex = 3;
    gs.NextConstraintLat = -27.0;
    gs.NextConstraintLon = kLon;
    gs.NextConstraintAltitude = 10000;
    gs.AircraftAltitude = 10000;  // no floating top of descent unless raised
    gs.TocLatitude = -29.0;
    gs.TocLongitude = kLon;
    gs.TodLatitude = -27.5;
    gs.TodLongitude = kLon;
    model::State& ms = model::model_state;
    ms.DescentTas = 300;
    ms.PlanDescentRate = 2000;
    ms.CruiseAlt = 35000;
  }
  void Draw(std::int32_t kind, double sx = 1.0, double sy = 1.0) {
    r.rec.Clear();
    gfx::Graphics g(&r.dc);
    DrawTodTocMarkers(g, 100, 200, kCx, kCy, kind, sx, sy, kRefLat, kLon, 0.0);
  }
  std::vector<std::string> Texts() const {
    std::vector<std::string> out;
    for (const auto& t : r.rec.Texts()) out.push_back(t.text);
    return out;
  }
  // Centres of the circles drawn, north to south in drawing order.
  std::vector<double> CircleYs() const {
    std::vector<double> out;
    for (const auto* e : r.rec.Find(OpKind::Ellipse)) out.push_back(e->points[0].Y);
    return out;
  }

  test::Recording r;
};

TEST_F(TodTocMarkersTest, FloatingTopOfDescentWalkedBackAlongTheRoute) {
  struct Case {
    int constraint, active;
    double above_ft;  // aircraft above the constraint
    double lat;       // where the floating top of descent lies
  };
  // 24000 ft at 300 kt and 2000 ft/min: 60 NM, on the last leg (75 NM).
  // 36000 ft: 90 NM; with the constraint at waypoint 2 only its 75 NM leg
  // is walked, and the rest lies back from the active waypoint along the
  // bearing to it. With the constraint not after the active waypoint the
  // whole distance lies back from the constraint.
  for (const Case& c : std::vector<Case>{{3, 1, 24000, -28.0}, {3, 1, 36000, -28.5},
                                         {2, 1, 36000, -29.75}, {1, 2, 36000, -31.0}}) {
    guidance::guidance_state.NextConstraintIndex = c.constraint;
    flightplan::flightplan_state.ActiveWaypointIndex = c.active;
    guidance::guidance_state.AircraftAltitude = 10000 + c.above_ft;
    // Magnetic bearing 10 to the active waypoint with 10 degrees west
    // variation: true north, so "back" is due south.
    guidance::guidance_state.BearingToActiveWaypoint = 10;
    guidance::guidance_state.MagneticVariation = -10;
    Draw(kDisplayP1000);
    auto texts = r.rec.Texts();
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts[0].text, "[TOD]") << c.constraint;
    auto circles = r.rec.Find(OpKind::Ellipse);
    ASSERT_FALSE(circles.empty());
    EXPECT_NEAR(circles[0]->points[0].X, kCx, 0.5);
    EXPECT_NEAR(circles[0]->points[0].Y, MapY(c.lat), 0.5) << c.constraint << " " << c.above_ft;
    EXPECT_FLOAT_EQ(circles[0]->bounds.Width, 9.0f);  // 8 across, pen 1
    EXPECT_GT(texts[0].x, circles[0]->points[0].X);   // beside it, to the right
  }
  EXPECT_DOUBLE_EQ(display_state.MapPixelsPerNm, 0.5);
}

// Back along the path LNAV flies: with the last leg turned east at W2, the
// corner flown there at 450 kt is shorter than the two legs, and the
// floating top of descent 90 NM back stands farther south than the legs put
// it (15 NM before W2, lat -28.5).
TEST_F(TodTocMarkersTest, FloatingTopOfDescentBackAlongThePathFlown) {
  flightplan::State& fp = flightplan::flightplan_state;
  fp.ActiveFlightPlan[3].latitude = -28.25;
  fp.ActiveFlightPlan[3].longitude = kLon + 75.0 / (60.0 * std::cos(28.25 * M_PI / 180.0));
  guidance::State& gs = guidance::guidance_state;
  gs.PlaneLatitude = kRefLat;
  gs.PlaneLongitude = kLon;
  gs.GroundTrack = 0.0;
  gs.GroundSpeedKnots = 450.0;
  gs.AircraftAltitude = 10000 + 36000;
  Draw(kDisplayP1000);
  auto circles = r.rec.Find(OpKind::Ellipse);
  ASSERT_FALSE(circles.empty());
  EXPECT_NEAR(circles[0]->points[0].X, kCx, 0.5);
  EXPECT_GT(circles[0]->points[0].Y, MapY(-28.5) + 0.5);  // more than a mile
  EXPECT_LT(circles[0]->points[0].Y, MapY(-28.5) + 3.0);
}

TEST_F(TodTocMarkersTest, FloatingTopOfDescentOnlyWellAboveTheConstraint) {
  for (auto [altitude, drawn] : {std::pair{10400.0, false}, {10500.0, false}, {10501.0, true}, {9000.0, false}}) {
    guidance::guidance_state.AircraftAltitude = altitude;
    Draw(kDisplayEfs50);
    EXPECT_EQ(r.rec.CountText("[TOD]"), drawn ? 1 : 0) << altitude;
  }
  // No usable descent rate: no floating point.
  guidance::guidance_state.AircraftAltitude = 40000;
  model::model_state.PlanDescentRate = 0;
  Draw(kDisplayEfs50);
  EXPECT_EQ(r.rec.CountText("[TOD]"), 0);
  EXPECT_EQ(r.rec.CountText("[10000]"), 1);
}

TEST_F(TodTocMarkersTest, NextConstraintLabels) {
  struct Case {
    double altitude;
    int toc_passed, tod_passed, vnav;
    const char* label;  // "" = circle without a label
  };
  for (const Case& c : std::vector<Case>{{12000, 0, 0, 0, "[12000]"},
                                         {35000, 0, 0, 0, "[TOC]"},
                                         {35000, 1, 0, 0, "[TOD]"},
                                         {35000, 1, 1, 0, "[35000]"},
                                         {12000, 1, 0, 0, "[12000]"},
                                         {12000, 0, 0, 1, "[12000]"},
                                         {35000, 0, 0, 1, ""},
                                         {35000, 1, 1, 1, "[35000]"}}) {
    guidance::State& gs = guidance::guidance_state;
    gs.NextConstraintAltitude = c.altitude;
    gs.AircraftAltitude = c.altitude;
    gs.TocPassed = c.toc_passed;
    gs.TodPassed = c.tod_passed;
    gs.VnavEngaged = c.vnav;
    Draw(kDisplayP1000);
    // With VNAV the plan's markers follow: the top of climb until passed,
    // the top of descent.
    const std::size_t plan = c.vnav == 0 ? 0 : c.toc_passed == 0 ? 2 : 1;
    ASSERT_EQ(CircleYs().size(), 1 + plan) << c.label;
    EXPECT_NEAR(CircleYs()[0], MapY(-27.0), 0.5);
    std::vector<std::string> want;
    if (*c.label != '\0') want.push_back(c.label);
    if (plan == 2) want.push_back("[TOC]");
    if (plan >= 1) want.push_back("[TOD]");
    ASSERT_EQ(Texts(), want) << c.altitude << " toc " << c.toc_passed << " tod " << c.tod_passed;
    if (*c.label == '\0') continue;
    const gfx::Recorder::TextItem t = r.rec.Texts()[0];
    if (c.vnav == 0) {
      EXPECT_LT(t.x, kCx - 4);  // left of the circle
    } else {
      EXPECT_NEAR(t.y, MapY(-27.0) + 4, 0.5);  // below it
    }
  }
}

TEST_F(TodTocMarkersTest, WithVnavTheConstraintAtTheTopOfClimbIsNotRepeated) {
  guidance::State& gs = guidance::guidance_state;
  gs.VnavEngaged = 1;
  model::model_state.CruiseAlt = 0;
  // On the route's meridian the constraint shares the top of climb's
  // longitude; it is still a point of its own.
  ASSERT_EQ(gs.NextConstraintLon, gs.TocLongitude);
  Draw(kDisplayP1000);
  EXPECT_EQ(CircleYs().size(), 1u);
  gs.NextConstraintLat = gs.TocLatitude;
  gs.NextConstraintLon = kLon + 0.1;
  Draw(kDisplayP1000);
  EXPECT_EQ(CircleYs().size(), 1u);
  gs.NextConstraintLon = gs.TocLongitude;  // the top of climb itself
  Draw(kDisplayP1000);
  EXPECT_EQ(CircleYs().size(), 0u);
  gs.VnavEngaged = 0;
  gs.NextConstraintLat = gs.TocLatitude;
  gs.NextConstraintLon = gs.TocLongitude;
  Draw(kDisplayP1000);
  EXPECT_EQ(CircleYs().size(), 1u);
}

TEST_F(TodTocMarkersTest, B737WritesTheRoutesPointsAndNeedsTheOptionForTheRest) {
  guidance::guidance_state.AircraftAltitude = 34000;
  Draw(kDisplayB737);
  EXPECT_EQ(Texts(), (std::vector<std::string>{"T/C", "T/D"}));
  gfx::Recorder::TextItem t;
  ASSERT_TRUE(r.rec.FindText("T/C", &t));
  EXPECT_FLOAT_EQ(t.x, kCx + 8);
  EXPECT_FLOAT_EQ(t.y, MapY(-29.0) - 7);
  EXPECT_FLOAT_EQ(t.font_size, 10);
  // Grid factors: map points scaled and truncated, offsets and font too.
  Draw(kDisplayB737, 2.0, 1.5);
  ASSERT_TRUE(r.rec.FindText("T/D", &t));
  EXPECT_FLOAT_EQ(t.x, kCx * 2 + 16);
  EXPECT_FLOAT_EQ(t.y, 154);  // 110 x 1.5 = 165, then 7 x 1.5 = 10.5 higher: 154.5, truncated
  EXPECT_FLOAT_EQ(t.font_size, 15);

  guidance::guidance_state.TocPassed = 1;
  Draw(kDisplayB737);
  EXPECT_EQ(Texts(), (std::vector<std::string>{"T/D"}));

  model::model_state.ShowFloatingTodBodIndicators = 1;
  Draw(kDisplayB737);
  EXPECT_EQ(Texts(), (std::vector<std::string>{"[TOD]", "[10000]", "T/D"}));
}

// On a fine grid the points take the grid factors as the route's do (2 and
// 1.5 here), unrounded.
TEST_F(TodTocMarkersTest, LineSymbolsOfTheMd11AndDu1000Maps) {
  Draw(kDisplayMd11, 2, 1.5);
  auto lines = r.rec.Find(OpKind::Line);
  ASSERT_EQ(lines.size(), 4u);  // two at the TOC, two at the TOD
  EXPECT_TRUE(r.rec.Texts().empty());
  EXPECT_NEAR(lines[0]->points[0].X, 2 * kCx - 16, 0.01);
  EXPECT_NEAR(lines[0]->points[1].X, 2 * kCx + 16, 0.01);
  EXPECT_NEAR(lines[0]->points[0].Y, 1.5 * MapY(-29.0), 0.01);
  EXPECT_NEAR(lines[2]->points[0].Y, 1.5 * MapY(-27.5), 0.01);
  Draw(kDisplayDu1000Map, 2, 1.5);
  lines = r.rec.Find(OpKind::Line);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_NEAR(lines[0]->points[1].X - lines[0]->points[0].X, 16, 0.01);  // its own shape
  EXPECT_NEAR(lines[1]->points[1].X, 2 * kCx, 0.01);                      // standing on the point
  EXPECT_NEAR(lines[1]->points[1].Y, 1.5 * MapY(-29.0), 0.01);
  guidance::guidance_state.TocPassed = 1;
  Draw(kDisplayMd11);
  EXPECT_EQ(r.rec.Find(OpKind::Line).size(), 2u);
}

TEST_F(TodTocMarkersTest, OtherDisplaysShowThePlanOnlyWithVnav) {
  Draw(kDisplayEfs50);
  EXPECT_EQ(Texts(), (std::vector<std::string>{"[10000]"}));  // the next constraint; no plan without VNAV
  guidance::guidance_state.VnavEngaged = 1;
  guidance::guidance_state.NextConstraintAltitude = 12000;
  Draw(kDisplayEfs50);
  EXPECT_EQ(Texts(), (std::vector<std::string>{"[12000]", "[TOC]", "[TOD]"}));
  EXPECT_EQ(CircleYs().size(), 3u);
  EXPECT_NEAR(CircleYs()[1], MapY(-29.0), 0.5);
  EXPECT_NEAR(CircleYs()[2], MapY(-27.5), 0.5);
  Draw(kDisplayP1000, 0.5, 2);
  EXPECT_NEAR(CircleYs()[2], 2 * MapY(-27.5), 0.01);
  EXPECT_NEAR(r.rec.Find(OpKind::Ellipse)[2]->points[0].X, 0.5 * kCx, 0.01);
}

TEST_F(TodTocMarkersTest, NoCruiseAltitudeNoPlanMarkersOnAnyDisplay) {
  model::model_state.CruiseAlt = 0;
  guidance::guidance_state.VnavEngaged = 1;
  guidance::guidance_state.NextConstraintAltitude = 12000;
  guidance::guidance_state.AircraftAltitude = 12000;
  for (std::int32_t kind : {kDisplayP1000, kDisplayEfs50, kDisplayB737, kDisplayMd11, kDisplayDu1000Map}) {
    Draw(kind);
    for (const std::string& t : Texts()) {
      EXPECT_NE(t, "T/C");
      EXPECT_NE(t, "T/D");
      EXPECT_NE(t, "[TOC]");
      EXPECT_NE(t, "[TOD]");
    }
    EXPECT_EQ(r.rec.Find(OpKind::Line).size(), 0u) << kind;
  }
}

}  // namespace
}  // namespace ovi::display
