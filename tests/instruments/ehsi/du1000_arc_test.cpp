// The arc rose of modes 1 and 3: the scale's window across north, the
// selected heading's marker or readout, the altitude range arc under its
// clip, and the radio information of mode 1.
#include <limits>
#include <vector>

#include "src/display/kit.h"
#include "src/display/state.h"
#include "src/navdb/state.h"
#include "tests/instruments/ehsi/du1000_test_support.h"

namespace ovi::ehsi::test {
namespace {

using gfx::OpKind;
namespace colour = display::colour;

class ArcTest : public Du1000Test {
 public:
  gfx::PointF A(double x, double y, double turn = 0) const { return At(x, y, kRoseX, kArcY, turn); }
  int CountScaleTicks() const {
    int n = 0;
    for (const gfx::RecordedOp* op : Ops(OpKind::Line, colour::kWhite)) {
      const double a = std::hypot(op->points[0].X / sx - kRoseX, op->points[0].Y / sy - kArcY);
      n += std::fabs(a - 234) < 0.01 ? 1 : 0;
    }
    return n;
  }
  // The green arc of the altitude range, or null.
  const gfx::RecordedOp* AltitudeArc() const {
    const auto arcs = Ops(OpKind::Arc, colour::kGreen);
    return arcs.empty() ? nullptr : arcs[0];
  }
};

// Marks within 55 degrees of the heading on the plain difference; labels
// every 10 degrees turn with their ticks.
TEST_F(ArcTest, ScaleWindowAcrossNorth) {
  struct Case {
    double heading;
    std::vector<const char*> shown, hidden;
  } cases[] = {
      {0.0, {"31", "35", "0", "5"}, {"30", "6"}},    // 305 and 55 lie on the window's edges
      {350.0, {"30", "0", "4"}, {"29", "5"}},         // 0 is -350 away, 295 -55
      {10.0, {"32", "0", "6"}, {"31", "7"}},          // 320 is +310 away, 315 +305
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.heading);
    guidance().AircraftHeading = c.heading;
    Draw(1);
    EXPECT_EQ(CountScaleTicks(), 21);
    for (const char* s : c.shown) EXPECT_TRUE(Has(s)) << s;
    for (const char* s : c.hidden) EXPECT_FALSE(Has(s)) << s;
  }
  guidance().AircraftHeading = 0.0;
  Draw(1);
  ExpectAt(Text("0"), A(-6, -258));
  ExpectAt(Text("1"), A(-6, -258, 10));
  ExpectAt(Text("35"), A(-10, -258, -10));
  EXPECT_EQ(Text("35").font_family, "DA Rered");
}

// Beyond 41 degrees the shorter way the selected heading is written 40
// degrees to its side; up to 41 the marker line stands at it.
TEST_F(ArcTest, SelectedHeadingMarkerOrReadout) {
  struct Case {
    double heading, selected;
    const char* readout;  // null: the marker line
    double turn;
  } cases[] = {
      {0, 42, "042", 40},   {0, 41, nullptr, 41},   {42, 0, "000", -40},  {350, 20, nullptr, 30},
      {20, 330, "330", -40}, {0, 180, "180", 40},   {180, 0, "000", -40}, {359, 40, nullptr, 41},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.heading << " " << c.selected);
    guidance().AircraftHeading = c.heading;
    guidance().ApHeadingLockDir = c.selected;
    Draw(3);
    EXPECT_EQ(HasLine(colour::kBlue, A(0, -234, c.turn), A(0, -260, c.turn), 3.0f), c.readout == nullptr);
    if (c.readout != nullptr) ExpectAt(Text(c.readout), A(-10, -230, c.turn));
  }
}

// Descending to a selected altitude below: the arc of the inner ring's size
// touching the point where it is reached. Each condition fails alone.
TEST_F(ArcTest, AltitudeRangeArcConditions) {
  // No map layer runs, so the map's own scale does not mix in.
  model().Du1000ShowNavaids = model().Du1000ShowAirports = 0;
  auto arm = [this] {
    model().Du1000EhsiRange = 60.0;
    guidance().ApMaster = 1.0;
    guidance().ApAltitudeLock = 1.0;
    guidance().ApAltitudeLockVar = 5000.0;
    guidance().AircraftAltitude = 9000.0;
    guidance().VerticalSpeedFpm = -2000.0;
    guidance().GroundSpeedKnots = 300.0;
  };
  arm();
  Draw(3);
  // 4000 ft at 2000 ft/min: 2 minutes, 10 NM at 300 kt, 233 units for 60 NM.
  ASSERT_NE(AltitudeArc(), nullptr);
  ExpectAt(AltitudeArc()->points[2], A(0, -38 + 78));
  EXPECT_EQ(AltitudeArc()->start_angle, 220.0f);
  EXPECT_EQ(AltitudeArc()->sweep_angle, 100.0f);
  EXPECT_DOUBLE_EQ(display::display_state.MapPixelsPerNm, 233.0 / 60.0);
  EXPECT_NEAR(navdb::navdb_state.CalcDistance, -10.0 * 233.0 / 60.0, 1e-9);
  const auto clips = rec.Find(OpKind::Clip);
  ASSERT_EQ(clips.size(), 1u);
  EXPECT_NEAR(clips[0]->bounds.X, (kRoseX - 234) * sx, 0.5);
  EXPECT_NEAR(clips[0]->bounds.Width, 468 * sx, 0.5);
  EXPECT_EQ(rec.Count(OpKind::ResetClip), 1);

  struct Case {
    const char* what;
    void (*fail)(model::State&, guidance::State&);
    int mode;
  } cases[] = {
      {"mode 1", [](model::State&, guidance::State&) {}, 1},
      {"autopilot off", [](model::State&, guidance::State& g) { g.ApMaster = 0.0; }, 3},
      {"altitude not held", [](model::State&, guidance::State& g) { g.ApAltitudeLock = 0.0; }, 3},
      {"selected altitude reached", [](model::State&, guidance::State& g) { g.ApAltitudeLockVar = 9000.0; }, 3},
      {"not descending fast enough", [](model::State&, guidance::State& g) { g.VerticalSpeedFpm = -200.0; }, 3},
      {"range 0", [](model::State& m, guidance::State&) { m.Du1000EhsiRange = 0.0; }, 3},
      {"range negative", [](model::State& m, guidance::State&) { m.Du1000EhsiRange = -60.0; }, 3},
      {"range not a number",
       [](model::State& m, guidance::State&) { m.Du1000EhsiRange = std::numeric_limits<double>::quiet_NaN(); }, 3},
  };
  for (const Case& c : cases) {
    arm();
    c.fail(model(), guidance());
    display::display_state.MapPixelsPerNm = 1.5;
    Draw(c.mode);
    EXPECT_EQ(AltitudeArc(), nullptr) << c.what;
    EXPECT_EQ(display::display_state.MapPixelsPerNm, 1.5) << c.what;
  }
}

TEST_F(ArcTest, RadioInformationInModeOne) {
  struct Case {
    double signal, flags;
    const char* label;
    bool frequency, glideslope_label, glideslope;
  } cases[] = {
      {0.0, 0xC0, nullptr, false, false, false},
      {1.0, 0x00, "VOR", false, false, false},
      {1.0, 0x40, "VOR", false, false, true},  // a glideslope without the localizer flag: its scale
      {1.0, 0x80, "LOC", true, false, false},
      {1.0, 0xC0, "ILS", true, true, true},
  };
  guidance().Nav1GlideslopeNeedle = 127.0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.flags);
    Radio(c.signal, c.flags, 0x0990);
    Draw(1);
    for (const char* label : {"VOR", "LOC", "ILS"}) EXPECT_EQ(Has(label), c.label != nullptr && label == std::string(c.label));
    if (c.label != nullptr) ExpectAt(Text(c.label), A(-10, -195));
    EXPECT_EQ(Has("109.90"), c.frequency);
    if (c.frequency) ExpectAt(Text("109.90"), A(-20, -180));
    EXPECT_EQ(Has("G/S"), c.glideslope_label);
    if (c.glideslope_label) {
      EXPECT_EQ(Text("G/S").color, colour::kWhite);
    }
    const gfx::RecordedOp* diamond = Outline(colour::kMagenta, 5);
    ASSERT_EQ(diamond != nullptr, c.glideslope);
    if (c.glideslope) ExpectAt(diamond->points[0], A(132, -45 - 5));  // 45 units per 127 about y -90
  }
  Radio(1.0, 0xC0, 0x0990);
  Draw(3);  // the arc map carries no radio information
  for (const char* text : {"ILS", "G/S", "109.90"}) EXPECT_FALSE(Has(text)) << text;
  EXPECT_EQ(CountCircles(colour::kWhite, 4), 0);
}

// The bar keeps the full rose's factor: a full needle lies 20 units beyond
// the outer dot at 60.
TEST_F(ArcTest, CoursePointerInModeOne) {
  guidance().AircraftHeading = 350.0;
  guidance().SelectedCourse = 10.0;
  guidance().Nav1CdiNeedle = 127.0;
  Draw(1);
  EXPECT_TRUE(HasLine(colour::kBlue, A(80, -30, 20), A(80, 30, 20)));
  EXPECT_TRUE(HasLine(colour::kBlue, A(0, -200, 20), A(0, -235, 20)));
  const auto dots = Ops(OpKind::Ellipse, colour::kWhite);
  ASSERT_EQ(dots.size(), 5u);  // the compass circle, then the dots
  ExpectAt(dots[4]->points[0], A(60, 0, 20));
}

// A frequency word whose digits are not decimal still makes a bounded text.
TEST_F(ArcTest, FrequencyOfAWordThatIsNotBcd) {
  Radio(1.0, 0x80, 4294967295.0);
  Draw(1);
  EXPECT_TRUE(Has("866766.65"));  // 7FFFFFFF: 7 and seven 15s as decimal digits
}

}  // namespace
}  // namespace ovi::ehsi::test
