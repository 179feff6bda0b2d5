// The active and pending route layers of the B737 display on hand-built
// routes. Mode 5 at 40 NM: 215 / 40 = 5.375 canvas units per NM about
// (122, 249); mode 7 at 40 NM: 2.75 per NM about (122, 171).
#include "src/display/state.h"
#include "src/navdb/procedure_state.h"
#include "tests/instruments/nd/map_layer_test_support.h"

namespace ovi::nd::test {
namespace {

using gfx::OpKind;

constexpr int kStar = 9;  // points of the waypoint star's outline

class RouteLayerTest : public MapLayerTest {
 public:
  // ORIG 30 NM south, ALFA, BRAVO and CHRLY 10, 20 and 30 NM north; ALFA active.
  void FourWaypoints() {
    Active(0, "ORIG", North(-30), aircraft_lon);
    Active(1, "ALFA", North(10), aircraft_lon);
    Active(2, "BRAVO", North(20), aircraft_lon);
    Active(3, "CHRLY", North(30), aircraft_lon);
    plan().ActiveWaypointIndex = 1;
  }
  // One runway 2 NM long (10560 ft) heading 360, threshold 10 NM north,
  // chosen in procedure set `set` and listed in AirportRunwayTable.
  void Runway(int set, double threshold_nm = 10.0, int index = 1) {
    model::AirportProcedureSet& ps = navdb::procedure_state.AirportProcedureSets[set];
    ps.RunwayCount = 1;
    model::RunwayRecord& r = ps.Runways[1];
    r.number_text = "36";
    r.latitude = North(threshold_nm);
    r.longitude = aircraft_lon;
    r.length = 10560;
    r.heading = r.approach_course = 0.0;
    ps.SelectedRunwayIndex = index;
    navdb::navdb_state.AirportRunwayTable[1] = ps.Runways[1];
    navdb::navdb_state.AirportRunwayCount = 1;
  }
  std::vector<const gfx::RecordedOp*> Dashed(gfx::ARGB colour) const {
    std::vector<const gfx::RecordedOp*> out;
    for (const gfx::RecordedOp* op : Lines(colour))
      if (op->dash == gfx::DashStyle::Dash) out.push_back(op);
    return out;
  }
};

TEST_F(RouteLayerTest, LegsIdentsAndStarsFromTheActiveWaypoint) {
  FourWaypoints();
  Draw();
  // The first leg from the aircraft point, then waypoint to waypoint.
  const auto legs = GridLines(colour::kMagenta);
  ASSERT_EQ(legs.size(), 3u);
  EXPECT_NE(LineBetween(colour::kMagenta, 122, 249, 122, 195.25), nullptr);
  EXPECT_NE(LineBetween(colour::kMagenta, 122, 195.25, 122, 141.5), nullptr);
  EXPECT_NE(LineBetween(colour::kMagenta, 122, 141.5, 122, 87.75), nullptr);
  for (const gfx::RecordedOp* leg : legs) {
    EXPECT_NEAR(leg->device_pen_width, 2.0, 0.01);
    EXPECT_EQ(leg->dash, gfx::DashStyle::Solid);
  }
  // The active ident and star magenta, the others white; nothing behind.
  const auto alfa = Text("ALFA");
  EXPECT_EQ(alfa.color, colour::kMagenta);
  EXPECT_AT(alfa, 129, 188.25);
  EXPECT_EQ(alfa.font_family, "DA Rered");
  EXPECT_NEAR(alfa.font_size * 302.0 / 546.0, 12.0, 0.05);
  EXPECT_EQ(Text("BRAVO").color, colour::kWhite);
  EXPECT_AT(Text("CHRLY"), 129, 80.75);
  EXPECT_FALSE(Has("ORIG"));
  const auto magenta_stars = Symbols(kStar, colour::kMagenta);
  ASSERT_EQ(magenta_stars.size(), 1u);
  EXPECT_AT(magenta_stars[0], 122, 189.25);
  EXPECT_EQ(Symbols(kStar, colour::kWhite).size(), 2u);
}

TEST_F(RouteLayerTest, MarkersBreakTheLineInsteadOfRunningToTheirStoredPlace) {
  for (const char* marker : {"DISCO", "THEN"}) {
    SCOPED_TRACE(marker);
    plan().ActiveFlightPlanLastIndex = -1;
    Active(0, "ORIG", North(-30), aircraft_lon);
    Active(1, "ALFA", North(10), aircraft_lon);
    Active(2, marker, 0.0, 0.0);
    Active(3, "CHRLY", North(30), aircraft_lon);
    plan().ActiveWaypointIndex = 1;
    Draw();
    EXPECT_EQ(GridLines(colour::kMagenta).size(), 1u);  // only the active leg
    EXPECT_FALSE(Has(marker));
    EXPECT_TRUE(Has("CHRLY"));
    EXPECT_EQ(Symbols(kStar, colour::kWhite).size(), 1u);
  }
}

TEST_F(RouteLayerTest, PlanCentresNorthUpOnTheSteppedOrActiveWaypoint) {
  FourWaypoints();
  model().HWB737NDMode = 7;
  model().DispPrevWpt = 1;
  guidance().MapHeading = 90.0;
  Draw();
  // From waypoint 0, no leg into it; ALFA at the centre.
  EXPECT_AT(Text("ORIG"), 129, 274);
  EXPECT_AT(Text("ALFA"), 129, 164);
  EXPECT_EQ(GridLines(colour::kMagenta).size(), 3u);
  EXPECT_NE(LineBetween(colour::kMagenta, 122, 281, 122, 171), nullptr);
  EXPECT_EQ(Lines(colour::kYellow).size(), 0u);  // no previous-waypoint line in PLAN
  plan().PlanStepIndex = 3;
  Draw();
  EXPECT_AT(Text("ALFA"), 129, 226 - 7);
  EXPECT_AT(Text("CHRLY"), 129, 164);
  // Without an active waypoint PLAN has no route centre and the layer draws
  // no route.
  plan().ActiveWaypointIndex = model::kNoWaypoint;
  Draw();
  EXPECT_EQ(GridLines(colour::kMagenta).size(), 0u);
  EXPECT_FALSE(Has("ALFA"));
}

TEST_F(RouteLayerTest, PreviousWaypointFromFiveNmInMapModes) {
  Active(0, "PREV", North(-2), aircraft_lon);
  Active(1, "NEXT", North(2), aircraft_lon);
  plan().ActiveWaypointIndex = 1;
  model().DispPrevWpt = 1;
  model().NdRange = 5.0;  // 43 per NM
  Draw();
  const auto prev = Text("PREV");
  EXPECT_EQ(prev.color, colour::kYellow);
  EXPECT_AT(prev, 129, 249 + 86 - 7);
  ASSERT_EQ(Dashed(colour::kYellow).size(), 1u);
  EXPECT_NE(LineBetween(colour::kYellow, 122, 335, 122, 163), nullptr);
  EXPECT_EQ(Symbols(kStar, colour::kWhite).size(), 1u);
  // The active leg still starts at the aircraft.
  EXPECT_NE(LineBetween(colour::kMagenta, 122, 249, 122, 163), nullptr);

  // Engaged off the route: the leg origin, labelled DCT.
  guidance().ActiveLegFromEngagePosition = 1;
  guidance().LegOriginLatitude = North(-1);
  guidance().LegOriginLongitude = aircraft_lon;
  Draw();
  EXPECT_AT(Text("DCT"), 129, 249 + 43 - 7);
  EXPECT_FALSE(Has("PREV"));

  for (double range : {2.5}) {
    model().NdRange = range;
    Draw();
    EXPECT_FALSE(Has("DCT"));
    EXPECT_EQ(Lines(colour::kYellow).size(), 0u);
  }
  model().NdRange = 5.0;
  model().DispPrevWpt = 0;
  Draw();
  EXPECT_FALSE(Has("DCT"));
  // Active waypoint 0: no previous waypoint, the leg from the aircraft.
  model().DispPrevWpt = 1;
  plan().ActiveWaypointIndex = 0;
  Draw();
  EXPECT_FALSE(Has("DCT"));
  EXPECT_NE(LineBetween(colour::kMagenta, 122, 249, 122, 335), nullptr);
}

TEST_F(RouteLayerTest, InboundCourseLineReplacesTheActiveLeg) {
  Active(0, "ORIG", North(-2), aircraft_lon);
  model::FlightPlanWaypoint& next = Active(1, "NEXT", North(2), aircraft_lon);
  plan().ActiveWaypointIndex = 1;
  model().NdRange = 5.0;
  // -1.0 is no course: the leg from the aircraft.
  next.value3 = -1.0;
  Draw();
  EXPECT_NE(LineBetween(colour::kMagenta, 122, 249, 122, 163), nullptr);
  // 000 magnetic with no variation: north from NEXT, 200 NM = 8600 units.
  next.value3 = 0.0;
  Draw();
  ASSERT_EQ(GridLines(colour::kMagenta).size(), 1u);
  EXPECT_NE(LineBetween(colour::kMagenta, 122, 163, 122, 163 - 8600, 2.0), nullptr);
  // 080 with 10 degrees of variation is 090 true: due east of NEXT.
  next.value3 = 80.0;
  guidance().MagneticVariation = 10.0;
  Draw();
  EXPECT_NE(LineBetween(colour::kMagenta, 122, 163, 122 + 8600, 163, 2.0), nullptr);
}

TEST_F(RouteLayerTest, PointsAcross180Degrees) {
  for (double from : {179.95, -179.95}) {
    SCOPED_TRACE(from);
    Aircraft(0.0, from, 0.0);
    Active(0, "NEXT", 0.0, -from);  // 6 NM east or west
    plan().ActiveWaypointIndex = 0;
    model().NdRange = 20.0;  // 10.75 per NM
    Draw();
    const double x = from > 0 ? 122 + 64.5 : 122 - 64.5;
    EXPECT_AT(Text("NEXT"), x + 7, 242);
    EXPECT_NE(LineBetween(colour::kMagenta, 122, 249, x, 249), nullptr);
  }
}

TEST_F(RouteLayerTest, OriginMarkFrom80NmRunwayLinesBelow) {
  Active(0, "ORIG", North(20), aircraft_lon);
  Active(1, "ALFA", North(40), aircraft_lon);
  plan().ActiveWaypointIndex = 1;
  Runway(1);
  model().NdRange = 80.0;  // 2.6875 per NM: ORIG at y 195.25
  Draw();
  EXPECT_AT(Text("ORIG"), 129, 188.25);
  const auto marks = GridOps(OpKind::Ellipse, colour::kWhite);
  ASSERT_EQ(marks.size(), 1u);
  // 10 wide and, with gx on both sides, 10 x 302 / 244 high.
  EXPECT_AT(marks[0]->points[0], 122, 190.25 + 6.19);
  EXPECT_NEAR(marks[0]->bounds.Height - marks[0]->bounds.Width, 12.38 - 10.0, 0.8);
  EXPECT_EQ(Dashed(colour::kWhite).size(), 0u);

  model().NdRange = 40.0;
  Draw();
  EXPECT_FALSE(Has("ORIG"));
  EXPECT_EQ(GridOps(OpKind::Ellipse, colour::kWhite).size(), 0u);
  EXPECT_EQ(Dashed(colour::kWhite).size(), 3u);
}

TEST_F(RouteLayerTest, RunwayCentreLinesOfTheChosenRunways) {
  Active(0, "ORIG", North(-30), aircraft_lon);
  Active(1, "ALFA", North(40), aircraft_lon);
  plan().ActiveWaypointIndex = 1;
  Runway(1);
  Draw();
  // Departure: 1.4 NM past the threshold for 18 NM ahead, white; 0.4 NM
  // behind it for 18 NM back, yellow; the two side lines 0.5 NM either side.
  EXPECT_NE(LineBetween(colour::kWhite, 122, 249 - 11.4 * 5.375, 122, 249 - 29.4 * 5.375), nullptr);
  ASSERT_EQ(Dashed(colour::kYellow).size(), 1u);
  EXPECT_NE(LineBetween(colour::kYellow, 122, 249 - 9.6 * 5.375, 122, 249 + 8.4 * 5.375), nullptr);
  EXPECT_NE(LineBetween(colour::kWhite, 122 - 2.6875, 195.25, 122 - 2.6875, 184.5), nullptr);
  EXPECT_NE(LineBetween(colour::kWhite, 122 + 2.6875, 195.25, 122 + 2.6875, 184.5), nullptr);
  EXPECT_EQ(Dashed(colour::kWhite).size(), 3u);

  // Arrival: the runway itself and all four lines white.
  navdb::procedure_state.AirportProcedureSets[1].SelectedRunwayIndex = 0;
  Runway(2);
  Draw();
  EXPECT_EQ(Dashed(colour::kYellow).size(), 0u);
  EXPECT_EQ(Dashed(colour::kWhite).size(), 5u);
  EXPECT_NE(LineBetween(colour::kWhite, 122, 195.25, 122, 184.5), nullptr);

  // PLAN turns them north up with the rest of the map, about the centre.
  model().HWB737NDMode = 7;
  guidance().MapHeading = 90.0;
  Draw();
  EXPECT_NE(LineBetween(colour::kWhite, 122, 171 + 30 * 2.75, 122, 171 + 28 * 2.75), nullptr);
}

// The runway's heading is magnetic: runway 35 with a variation of 10 east
// lies along 360 true, straight up the map like runway 36 without one.
TEST_F(RouteLayerTest, RunwayLinesLieAlongTheMagneticHeadingPlusTheVariation) {
  Active(0, "ORIG", North(-30), aircraft_lon);
  Active(1, "ALFA", North(40), aircraft_lon);
  plan().ActiveWaypointIndex = 1;
  Runway(1);
  model::AirportProcedureSet& ps = navdb::procedure_state.AirportProcedureSets[1];
  ps.Runways[1].heading = 350.0;
  navdb::navdb_state.AirportRunwayTable[1] = ps.Runways[1];
  guidance().MagneticVariation = 10.0;
  Draw();
  EXPECT_NE(LineBetween(colour::kWhite, 122, 249 - 11.4 * 5.375, 122, 249 - 29.4 * 5.375), nullptr);
  EXPECT_NE(LineBetween(colour::kWhite, 122 - 2.6875, 195.25, 122 - 2.6875, 184.5), nullptr);
}

TEST_F(RouteLayerTest, RunwayLinesOnlyForAnIndexOfBothTablesWithinReach) {
  Active(0, "ORIG", North(-30), aircraft_lon);
  Active(1, "ALFA", North(40), aircraft_lon);
  plan().ActiveWaypointIndex = 1;
  struct Case {
    double threshold_nm;
    int index;
    int runway_table_count;
    int lines;
  };
  for (const Case c : {Case{99.95, 1, 1, 4}, Case{100.05, 1, 1, 0}, Case{10, 0, 1, 0}, Case{10, 1, 0, 0},
                       Case{10, 2, 1, 0}}) {
    SCOPED_TRACE(::testing::Message() << c.threshold_nm << " NM, index " << c.index);
    Runway(1, c.threshold_nm, c.index);
    navdb::navdb_state.AirportRunwayCount = c.runway_table_count;
    if (c.index == 2) navdb::procedure_state.AirportProcedureSets[1].RunwayCount = 2;
    Draw();
    EXPECT_EQ(static_cast<int>(Dashed(colour::kWhite).size() + Dashed(colour::kYellow).size()), c.lines);
  }
}

TEST_F(RouteLayerTest, MarkersAboveEightNmToGoAndThePatternOutsidePlan) {
  FourWaypoints();
  model().CruiseAlt = 30000;
  guidance().TocLatitude = guidance().TodLatitude = North(20);
  guidance().TocLongitude = guidance().TodLongitude = aircraft_lon;
  guidance().DestinationDistance = 8.0;
  Draw();
  EXPECT_FALSE(Has("T/D"));
  guidance().DestinationDistance = 8.01;
  Draw();
  EXPECT_TRUE(Has("T/D"));
  model().HWB737NDMode = 7;
  Draw();
  EXPECT_FALSE(Has("T/D"));

  // The approach pattern of the selected runway, with or without a route.
  const gfx::ARGB pattern = colour::kLightGreen;
  model().HWB737NDMode = 5;
  Runway(2);
  navdb::navdb_state.SelectedRunwayBase = 1;
  Draw();
  EXPECT_EQ(Lines(pattern).size(), 6u);
  plan().ActiveWaypointIndex = model::kNoWaypoint;
  Draw();
  EXPECT_EQ(Lines(pattern).size(), 6u);
  EXPECT_FALSE(Has("ALFA"));
  model().HWB737NDMode = 7;
  Draw();
  EXPECT_EQ(Lines(pattern).size(), 0u);
  model().HWB737NDMode = 5;
  navdb::navdb_state.SelectedRunwayBase = -999;
  Draw();
  EXPECT_EQ(Lines(pattern).size(), 0u);
}

TEST_F(RouteLayerTest, HalfRangeRingsInMode5) {
  model().NdRangeRingsShown = 1;
  Draw();
  auto arcs = Ops(OpKind::Arc, colour::kWhite);
  ASSERT_EQ(arcs.size(), 3u);
  EXPECT_AT(arcs[0]->points[2], 122, 249);
  EXPECT_AT(arcs[2]->points[2], 122.5, 249.5);
  EXPECT_FLOAT_EQ(arcs[1]->start_angle, 180.0f);
  EXPECT_FLOAT_EQ(arcs[1]->sweep_angle, 180.0f);
  EXPECT_NEAR(arcs[0]->device_pen_width, 2.0, 0.01);
  model().HWB737NDMode = 6;
  Draw();
  EXPECT_EQ(Ops(OpKind::Arc, colour::kWhite).size(), 0u);
  model().HWB737NDMode = 5;
  model().NdRangeRingsShown = 0;
  Draw();
  EXPECT_EQ(Ops(OpKind::Arc, colour::kWhite).size(), 0u);
}

TEST_F(RouteLayerTest, ALargerSurfaceShowsTheSamePictureScaled) {
  FourWaypoints();
  Draw(1, 494, 588);
  const auto stars = Symbols(kStar, colour::kMagenta);
  ASSERT_EQ(stars.size(), 1u);
  EXPECT_AT(stars[0], 122 * 494.0 / 244, 189.25 * 588.0 / 302);
  EXPECT_NEAR(Text("ALFA").x, 129 * 494.0 / 244, kGridTolerance);
  EXPECT_NEAR(GridLines(colour::kMagenta)[0]->device_pen_width, 2.0 * std::sqrt(494.0 / 244 * 588.0 / 302), 0.02);
}

// --- The pending route: on the route's fine grid, with its marks ----------

class PendingRouteTest : public MapLayerTest {
 public:
  void SetUp() override {
    MapLayerTest::SetUp();
    Active(0, "ORIG", North(-30), aircraft_lon);
    Active(1, "ALFA", North(10), aircraft_lon);
    Active(2, "BRAVO", North(20), aircraft_lon);
    plan().ActiveWaypointIndex = 1;
    Pending(0, "ORIG", North(-30), aircraft_lon);
    Pending(1, "ALFA", North(10), aircraft_lon);
    Pending(2, "NEWPT", North(15), aircraft_lon);
    Pending(3, "BRAVO", North(20), aircraft_lon);
    plan().EditWaypointIndex = 2;
    plan().RouteState = 4;
  }
  std::vector<const gfx::RecordedOp*> PendingLegs(gfx::ARGB colour) const {
    std::vector<const gfx::RecordedOp*> out;
    for (const gfx::RecordedOp* op : Lines(colour))
      if (op->dash == gfx::DashStyle::Dash) out.push_back(op);
    return out;
  }
  // The waypoint stars of a colour, whole.
  std::vector<const gfx::RecordedOp*> Stars(gfx::ARGB colour) const {
    std::vector<const gfx::RecordedOp*> out;
    for (const gfx::RecordedOp* op : Ops(OpKind::Lines, colour))
      if (op->points.size() == kStar) out.push_back(op);
    return out;
  }
};

TEST_F(PendingRouteTest, DashedFromTheAircraftToTheEditedEntryOnward) {
  Draw();
  // 15 NM = 80.625 units, 20 NM = 107.5 above the aircraft point.
  ASSERT_EQ(PendingLegs(colour::kWhite).size(), 2u);
  EXPECT_NE(LineBetween(colour::kWhite, 122, 249, 122, 168.375), nullptr);
  EXPECT_NE(LineBetween(colour::kWhite, 122, 168.375, 122, 141.5), nullptr);
  EXPECT_NEAR(PendingLegs(colour::kWhite)[0]->device_pen_width, 2.0, 0.01);
  EXPECT_AT(Text("NEWPT"), 129, 161.375);
  EXPECT_EQ(Text("NEWPT").color, colour::kWhite);
  // Stars 6 above their points, as the route's.
  const auto stars = Symbols(kStar, colour::kWhite);
  const auto at = [&](double y) {
    return std::find_if(stars.begin(), stars.end(), [y](auto p) {
             return std::abs(p.X - 122) <= kGridTolerance && std::abs(p.Y - y) <= kGridTolerance;
           }) != stars.end();
  };
  EXPECT_TRUE(at(162.375));
  EXPECT_TRUE(at(135.5));

  // A route not yet executed is blue.
  for (int state : {1, 2}) {
    plan().RouteState = state;
    Draw();
    EXPECT_EQ(PendingLegs(colour::kBlue).size(), 2u) << state;
    EXPECT_EQ(PendingLegs(colour::kWhite).size(), 0u) << state;
  }
  // Nothing without an edited entry.
  plan().EditWaypointIndex = model::kNoWaypoint;
  Draw();
  EXPECT_EQ(PendingLegs(colour::kBlue).size(), 0u);
  EXPECT_FALSE(Has("NEWPT"));
}

// Where the modification runs on the active route, both layers mark the
// same waypoint: its star from either lands on the same device points, at
// the display's size and at a larger one, and its ident is written once,
// by the route.
TEST_F(PendingRouteTest, AWaypointBothRoutesShareIsMarkedOnce) {
  for (auto [w, h] : {std::pair{244, 302}, std::pair{494, 588}}) {
    SCOPED_TRACE(w);
    Draw(1, w, h);
    EXPECT_EQ(rec.CountText("BRAVO"), 1);
    // White stars: BRAVO's on the route, then the pending route's NEWPT and
    // BRAVO, the last on the very points of the first.
    const auto white = Stars(colour::kWhite);
    ASSERT_EQ(white.size(), 3u);
    ASSERT_EQ(white[0]->points.size(), white[2]->points.size());
    for (std::size_t i = 0; i < white[0]->points.size(); ++i) {
      EXPECT_EQ(white[0]->points[i].X, white[2]->points[i].X);
      EXPECT_EQ(white[0]->points[i].Y, white[2]->points[i].Y);
    }
  }
}

TEST_F(PendingRouteTest, TheActiveEntryKeepsItsMagentaIdent) {
  plan().EditWaypointIndex = 1;
  Draw();
  EXPECT_EQ(Text("ALFA").color, colour::kMagenta);
  EXPECT_EQ(rec.CountText("ALFA"), 1);
  // ... but gets its dashed leg and star.
  EXPECT_NE(LineBetween(colour::kWhite, 122, 249, 122, 195.25), nullptr);
}

// Route editing leaves its markers at 0 N 0 E: the pending line breaks at
// them, as the route's does, instead of running off to the Gulf of Guinea
// and back; nor does a marker get a star or an ident.
TEST_F(PendingRouteTest, AMarkerBreaksTheLine) {
  for (const char* marker : {"DISCO", "THEN"}) {
    for (bool course_at_edit : {false, true}) {
      SCOPED_TRACE(::testing::Message() << marker << (course_at_edit ? " with an inbound course" : ""));
      plan().PendingFlightPlanLastIndex = -1;
      Pending(0, "ORIG", North(-30), aircraft_lon);
      Pending(1, "ALFA", North(10), aircraft_lon);
      Pending(2, "NEWPT", North(15), aircraft_lon);
      Pending(3, marker, 0.0, 0.0).value3 = course_at_edit ? 10.0 : -1.0;
      Pending(4, "BRAVO", North(20), aircraft_lon);
      plan().EditWaypointIndex = course_at_edit ? 3 : 2;
      Draw();
      EXPECT_FALSE(Has(marker));
      if (course_at_edit) {
        // The first leg drawn is none: the line starts again at BRAVO.
        EXPECT_EQ(PendingLegs(colour::kWhite).size(), 0u);
      } else {
        ASSERT_EQ(PendingLegs(colour::kWhite).size(), 1u);  // to NEWPT only
        EXPECT_NE(LineBetween(colour::kWhite, 122, 249, 122, 168.375), nullptr);
      }
      EXPECT_EQ(rec.CountText("BRAVO"), 1);  // the route's and the pending route's place
      // Stars: ALFA magenta; BRAVO on the route; NEWPT (not past the
      // edited entry) and BRAVO again on the pending route.
      EXPECT_EQ(Stars(colour::kWhite).size(), course_at_edit ? 2u : 3u);
    }
  }
  // In PLAN, from entry 0: ORIG to ALFA to NEWPT, then the break.
  model().HWB737NDMode = 7;
  plan().EditWaypointIndex = 2;
  plan().PendingFlightPlan[3].ident = "DISCO";
  Draw();
  EXPECT_EQ(PendingLegs(colour::kWhite).size(), 3u);  // the centre to ORIG, ORIG-ALFA, ALFA-NEWPT
}

TEST_F(PendingRouteTest, PlanDrawsFromEntryZeroAboutTheMapsOwnCentre) {
  model().HWB737NDMode = 7;
  Draw();
  // The centre is the active route's ALFA, as for every other layer: the
  // pending ALFA lies on it, ORIG 40 NM south, BRAVO 10 NM north.
  EXPECT_NE(LineBetween(colour::kWhite, 122, 171, 122, 281), nullptr);
  EXPECT_AT(Text("BRAVO"), 129, 171 - 27.5 - 7);
  // Stepped to index 2, the centre is the active plan's entry 2 (BRAVO),
  // not the pending plan's NEWPT.
  plan().PlanStepIndex = 2;
  Draw();
  // BRAVO's star, 6 above the centre.
  const auto stars = Symbols(kStar, colour::kWhite);
  EXPECT_NE(std::find_if(stars.begin(), stars.end(),
                         [](auto p) {
                           return std::abs(p.X - 122) <= kGridTolerance && std::abs(p.Y - 165) <= kGridTolerance;
                         }),
            stars.end());
}

}  // namespace
}  // namespace ovi::nd::test
