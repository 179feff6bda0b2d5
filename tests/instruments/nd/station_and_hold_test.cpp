// The tuned-station course line and the holding racetrack of both
// displays. B737 mode 5 at 40 NM: 5.375 units per NM about (122, 249). On
// the fine grid gx = 546 / 244 and gy = 546 / 302; a grid unit is 244 / 546
// device pixels across and 302 / 546 down.
#include "src/instruments/nd/md11_nd.h"
#include "tests/instruments/nd/map_layer_test_support.h"

namespace ovi::nd::test {
namespace {

using gfx::OpKind;

constexpr double kGx = 546.0 / 244.0, kGy = 546.0 / 302.0;
constexpr double kWx = 244.0 / 546.0, kWy = 302.0 / 546.0;

class TunedStationTest : public MapLayerTest {
 public:
  void Receive(double dme, double flags = 0.0) {
    host.tokens[kTokenNav1Signal] = 1.0;
    host.tokens[kTokenNav1Flags] = flags;
    guidance().Nav1DmeDistance = dme;
  }
  void Steer(double heading, double course) {
    guidance().MapHeading = guidance().AircraftHeading = heading;
    guidance().SelectedCourse = course;
  }
};

TEST_F(TunedStationTest, StationAtItsDmeDistanceTowardsTheStation) {
  Receive(10.0);
  Draw();
  auto vors = Symbols(19, colour::kGreen);
  ASSERT_EQ(vors.size(), 1u);
  EXPECT_AT(vors[0], 122, 249 - 53.75);
  // To the right of the nose.
  guidance().HeadingOffsetToken550 = 90.0;
  Draw();
  vors = Symbols(19, colour::kGreen);
  ASSERT_EQ(vors.size(), 1u);
  EXPECT_AT(vors[0], 122 + 53.75, 249);
}

TEST_F(TunedStationTest, CourseLineAndLabelsTurnWithTheCourse) {
  // Station 10 NM ahead at (122, 195.25); every case turns the frame by
  // -90 or +90, so the line runs up and down the screen.
  struct Case {
    double heading, course;
    const char *course_text, *reciprocal_text;
    double course_x, course_y, reciprocal_x, reciprocal_y;
  };
  const double lift = 10 * kGy * kWx;  // the second branch's 10 units below the line
  for (const Case& c : {
           // Course equal to the heading: second branch, turned by -90.
           Case{0, 0, "000", "180", 122 + lift, 195.25 - 25, 122 + lift, 195.25 + 50},
           // Course 180 to the left of heading 200: first branch, by -90.
           Case{200, 20, "020", "200", 122, 195.25 + 50, 122, 195.25 - 25},
           // Course 200 right of heading 20: second branch, by +90.
           Case{20, 200, "200", "020", 122 - lift, 195.25 + 25, 122 - lift, 195.25 - 50},
       }) {
    SCOPED_TRACE(::testing::Message() << c.heading << " / " << c.course);
    Receive(10.0);
    Steer(c.heading, c.course);
    Draw();
    const auto course = Text(c.course_text);
    EXPECT_EQ(course.color, colour::kGreen);
    EXPECT_EQ(course.font_family, "Arial");
    EXPECT_AT(course, c.course_x, c.course_y);
    EXPECT_AT(Text(c.reciprocal_text, colour::kGreen), c.reciprocal_x, c.reciprocal_y);
    // The line from -300 gx to 300 gy: 371 below the station, 300 above
    // (or the other way round), dashed light green, 1 wide.
    const auto lines = Lines(colour::kLightGreen);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0]->dash, gfx::DashStyle::Dash);
    EXPECT_NEAR(lines[0]->device_pen_width, 1.0, 0.01);
    const double below = 300 * kGx * kWy, above = 300.0;
    const bool turned_left = c.heading == 20;
    EXPECT_NE(LineBetween(colour::kLightGreen, 122, 195.25 + (turned_left ? -below : below), 122,
                          195.25 + (turned_left ? above : -above), 1.0),
              nullptr);
  }
}

TEST_F(TunedStationTest, ThreeDigitCoursesAndReciprocals) {
  for (const auto& [course, text, reciprocal] :
       {std::tuple{180.0, "180", "000"}, {179.6, "180", "360"}, {0.4, "000", "180"}}) {
    Receive(10.0);
    Steer(0.0, course);
    Draw();
    EXPECT_TRUE(Has(text)) << course;
    EXPECT_TRUE(Has(reciprocal)) << course;
  }
}

TEST_F(TunedStationTest, OnlyAReceivedVorWithDmeInMapModes) {
  struct Case {
    double signal, dme, flags;
    int mode;
    bool drawn;
  };
  for (const Case c : {Case{1, 10, 0, 5, true}, Case{1, 10, 0, 6, true}, Case{0, 10, 0, 5, false},
                       Case{1, 0, 0, 5, false}, Case{1, 10, kLocalizer, 5, false}, Case{1, 10, 0, 7, false}}) {
    host.tokens[kTokenNav1Signal] = c.signal;
    host.tokens[kTokenNav1Flags] = c.flags;
    guidance().Nav1DmeDistance = c.dme;
    model().HWB737NDMode = c.mode;
    Draw();
    EXPECT_EQ(Lines(colour::kLightGreen).size(), c.drawn ? 1u : 0u)
        << c.signal << " " << c.dme << " " << c.flags << " mode " << c.mode;
  }
}

// --- Holds ----------------------------------------------------------------

class HoldTest : public MapLayerTest {
 public:
  // A hold of `leg` NM at a fix 10 NM north of the aircraft, on waypoint 1.
  model::HoldingPattern& Hold(double inbound, int turn_side, double leg = 4.0) {
    model::HoldingPattern& h = plan().HoldTable[1];
    h.active_index = 1;
    h.inbound_course = inbound;
    h.turn_side = turn_side;
    h.leg_length = leg;
    h.corners[0].latitude = North(10);
    h.corners[0].longitude = aircraft_lon;
    plan().HoldCount = 1;
    return h;
  }
  std::vector<const gfx::RecordedOp*> Arcs() const { return GridOps(OpKind::Arc, colour::kMagenta); }
};

TEST_F(HoldTest, RightHandRacetrackAlongTheInboundCourse) {
  // L = 4 NM = 21.5 units; along x it is taken with gy as well, so one unit
  // of L is gy x wx = 302 / 244 device pixels across.
  Hold(0.0, 1);
  Draw();
  const double l = 21.5, across = l * kGy * kWx;
  const auto lines = GridLines(colour::kMagenta);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_NEAR(lines[0]->device_pen_width, 2.0, 0.01);
  EXPECT_NE(LineBetween(colour::kMagenta, 122, 195.25, 122, 195.25 - 0.2 * l), nullptr);
  EXPECT_NE(LineBetween(colour::kMagenta, 122 + 0.5 * across, 195.25 - 0.2 * l, 122 + 0.5 * across, 195.25 + 0.8 * l),
            nullptr);
  EXPECT_NE(LineBetween(colour::kMagenta, 122, 195.25 + 0.8 * l, 122, 195.25), nullptr);
  const auto arcs = Arcs();
  ASSERT_EQ(arcs.size(), 2u);
  // Fix-end turn: upper half of the box from -0.3 L, 0.25 L high.
  EXPECT_AT(arcs[0]->points[2], 122 + 0.25 * across, 195.25 - 0.3 * l + 0.125 * l);
  EXPECT_FLOAT_EQ(arcs[0]->start_angle, 180.0f);
  EXPECT_FLOAT_EQ(arcs[0]->sweep_angle, 180.0f);
  // Far turn: lower half of the box from 0.66 L.
  EXPECT_AT(arcs[1]->points[2], 122 + 0.25 * across, 195.25 + 0.66 * l + 0.125 * l);
  EXPECT_FLOAT_EQ(arcs[1]->start_angle, 0.0f);
}

TEST_F(HoldTest, AnyOtherTurnSideIsLeftHandWithItsFarTurnAt061) {
  for (int side : {0, 2}) {
    Hold(0.0, side);
    Draw();
    const double l = 21.5, across = l * kGy * kWx;
    EXPECT_NE(LineBetween(colour::kMagenta, 122 - 0.5 * across, 195.25 - 0.2 * l, 122 - 0.5 * across,
                          195.25 + 0.8 * l),
              nullptr)
        << side;
    const auto arcs = Arcs();
    ASSERT_EQ(arcs.size(), 2u);
    EXPECT_AT(arcs[1]->points[2], 122 - 0.25 * across, 195.25 + 0.61 * l + 0.125 * l);
  }
}

TEST_F(HoldTest, TurnedByInboundCourseLessHeadingAndScaledByRange) {
  // Inbound 090, heading 0: the inbound leg comes in from the west.
  Hold(90.0, 1);
  Draw();
  const double l = 21.5;
  EXPECT_NE(LineBetween(colour::kMagenta, 122 - 0.8 * l * kGy * kWx, 195.25, 122, 195.25), nullptr);
  // Inbound equal to the heading after a turn: straight up the screen again.
  Hold(270.0, 1);
  Aircraft(-10.0, -20.0, 270.0);
  Draw();
  // The fix is now 10 NM to the right of the nose.
  EXPECT_NE(LineBetween(colour::kMagenta, 122 + 53.75, 249 + 0.8 * l, 122 + 53.75, 249), nullptr);
  // Half the range, twice the racetrack.
  model().NdRange = 20.0;
  Aircraft(-10.0, -20.0, 0.0);
  Hold(0.0, 1);
  Draw();
  EXPECT_NE(LineBetween(colour::kMagenta, 122, 249 - 107.5 + 1.6 * l, 122, 249 - 107.5), nullptr);
}

TEST_F(HoldTest, NothingWithoutAHoldOrInPlan) {
  Hold(0.0, 1);
  plan().HoldCount = 0;  // deleted: its entry stays behind
  Draw();
  EXPECT_EQ(GridLines(colour::kMagenta).size(), 0u);
  plan().HoldCount = 1;
  plan().HoldTable[1].active_index = 0;
  Draw();
  EXPECT_EQ(GridLines(colour::kMagenta).size(), 0u);
  plan().HoldTable[1].active_index = 1;
  model().HWB737NDMode = 7;
  Draw();
  EXPECT_EQ(Arcs().size(), 0u);
}

TEST_F(HoldTest, Md11OnItsCallersGridNorthUpInPlan) {
  // MD-11 MAP at 80 NM: 1.875 units per NM about (120, 178) of 240 x 258;
  // its route layer sets the fine grid at the aircraft point.
  const double gx = 498.0 / 240.0, gy = 498.0 / 258.0;
  auto draw = [&](int mode) {
    model().HWMD11NDMode = mode;
    dc = std::make_unique<gfx::DeviceContext>(240, 258);
    rec.Clear();
    dc->recorder = &rec;
    gfx::Graphics g(dc.get());
    display::GaugeDisplay display{.width = 240, .height = 258};
    g.ScaleTransform(static_cast<float>(240.0 / 498.0), static_cast<float>(258.0 / 498.0));
    g.TranslateTransform(static_cast<float>(120 * gx), static_cast<float>(178 * gy));
    DrawMd11NdHoldingPattern(display, g, 150, 0, 0, 80.0, gx, gy);
  };
  const double l = 4 * 1.875;
  Hold(0.0, 1);
  Aircraft(-10.0, -20.0, 90.0);
  draw(3);  // MAP, heading 090: the fix to the left, the inbound leg from the right
  EXPECT_NE(LineBetween(colour::kMagenta, 120 - 18.75 + 0.8 * l * gy * 240 / 498, 178, 120 - 18.75, 178), nullptr);
  // PLAN without an active waypoint: about the aircraft, north up.
  draw(kMd11NdModePlan);
  EXPECT_NE(LineBetween(colour::kMagenta, 120, 178 - 18.75 + 0.8 * l, 120, 178 - 18.75), nullptr);
  plan().HoldCount = 0;
  draw(3);
  EXPECT_EQ(rec.Size(), 0u);
}

}  // namespace
}  // namespace ovi::nd::test
