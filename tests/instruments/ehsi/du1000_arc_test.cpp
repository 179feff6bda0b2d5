// The arc rose of modes 1 and 3: the scale's window across north, the
// selected heading's marker or readout, the altitude range arc in its clip,
// and mode 1's radio information.
#include <limits>

#include "src/display/state.h"
#include "src/navdb/state.h"
#include "tests/instruments/ehsi/du1000_test_support.h"

namespace ovi::ehsi::test {
namespace {

class ArcTest : public Du1000Test {
 public:
  gfx::PointF A(double x, double y, double turn = 0) const { return At(x, y, kRoseX, kArcY, turn); }
};

// Marks strictly within 55 degrees of the plain difference a - heading, or
// within 55 of +-360; labels every 10 degrees turn with their ticks.
TEST_F(ArcTest, ScaleWindowAcrossNorth) {
  struct Case {
    double heading;
    std::vector<const char*> shown, hidden;
  } cases[] = {{0.0, {"31", "35", "0", "5"}, {"30", "6"}},  // 305 and 55 on the edges
               {350.0, {"30", "0", "4"}, {"29", "5"}},       // 0 is -350 away, 295 -55
               {10.0, {"32", "0", "6"}, {"31", "7"}}};       // 320 is +310 away, 315 +305
  for (const Case& c : cases) {
    G().AircraftHeading = c.heading;
    Draw(1);
    EXPECT_EQ(Ops(OpKind::Line, colour::kWhite).size(), 21u) << c.heading;
    for (const char* s : c.shown) EXPECT_TRUE(Has(s)) << c.heading << " " << s;
    for (const char* s : c.hidden) EXPECT_FALSE(Has(s)) << c.heading << " " << s;
  }
  EXPECT_TRUE(TextAt("0", A(-6, -258, -10)) && TextAt("33", A(-10, -258, -40)));  // heading 10
  // "10", the first label of two digits, straight up at heading 100; "9"
  // the last of one digit, 10 degrees left.
  G().AircraftHeading = 100.0;
  Draw(1);
  EXPECT_TRUE(TextAt("10", A(-10, -258)));
  EXPECT_TRUE(TextAt("9", A(-6, -258, -10)));
}

// The arc's fixed marks about (159, 272): range arcs of 156 and 78 centred
// straight up, long and short ticks, the lubber, the track diamond and the
// aircraft symbol; in mode 1 the course pointer turned to the course and the
// glideslope scale, unturned, right of the aircraft.
TEST_F(ArcTest, MarksPointersAndRangeArcs) {
  G().GroundTrack = 20.0;
  G().SelectedCourse = 30.0;
  Radio(1.0, 0xC0);
  Draw(1);
  const gfx::ARGB white = colour::kWhite, blue = colour::kBlue, tan = colour::kTan;
  struct Line {
    gfx::ARGB c;
    double x0, y0, x1, y1, turn;
  } lines[] = {{white, 0, -234, 0, -242, 10},  {white, 0, -234, 0, -238, 5},    {white, 0, -234, 0, -242, -50},
               {white, 0, -234, 0, -238, -45}, {white, 130, -90, 140, -90, 0},  {tan, 0, 10, 0, 13, 0},
               {tan, -10, 0, 10, 0, 0},        {blue, 0, -200, 0, -235, 30},    {blue, 0, -30, 0, -77, 30},
               {blue, -10, -50, 10, -50, 30},  {blue, 0, -30, 0, 30, 30}};
  for (const Line& l : lines)
    EXPECT_TRUE(HasLine(l.c, A(l.x0, l.y0, l.turn), A(l.x1, l.y1, l.turn), 2.0f))
        << l.x0 << "," << l.y0 << " " << l.x1 << "," << l.y1 << " turned " << l.turn;
  EXPECT_FALSE(HasLine(white, A(0, -234, 5), A(0, -242, 5)));
  EXPECT_TRUE(OutlineAt(tan, 4, 1, A(8, -223)));
  EXPECT_TRUE(OutlineAt(colour::kGreen, 5, 2, A(0, -244, 20)));
  // Deviation dots at x -60, -30, 30, 60 on the course; glideslope dots at
  // x 132 and y -128, -108, -68, -48.
  int dots = 0;
  for (const gfx::RecordedOp* op : Ops(OpKind::Ellipse, white))
    for (gfx::PointF p : {A(-60, 0, 30), A(-30, 0, 30), A(30, 0, 30), A(60, 0, 30), A(132, -128), A(132, -108),
                          A(132, -68), A(132, -48)})
      dots += Near(op->points[0], p) ? 1 : 0;
  EXPECT_EQ(dots, 8);
  // 156 from 220 to 320 degrees, 78 from 215 to 325 (clockwise from east).
  struct Arc {
    double radius, start, sweep;
  } arcs[] = {{156, 220, 100}, {78, 215, 110}};
  const auto drawn = Ops(OpKind::Arc, white);
  ASSERT_EQ(drawn.size(), 2u);
  for (std::size_t i = 0; i < 2; ++i) {
    const Arc& a = arcs[i];
    const double s = a.start * M_PI / 180, e = (a.start + a.sweep) * M_PI / 180;
    EXPECT_TRUE(drawn[i]->start_angle == a.start && drawn[i]->sweep_angle == a.sweep) << a.radius;
    EXPECT_TRUE(Near(drawn[i]->points[0], A(a.radius * std::cos(s), a.radius * std::sin(s)))) << a.radius;
    EXPECT_TRUE(Near(drawn[i]->points[1], A(a.radius * std::cos(e), a.radius * std::sin(e)))) << a.radius;
    EXPECT_TRUE(Near(drawn[i]->points[2], A(0, 0))) << a.radius;
  }
}

// Beyond 41 degrees the shorter way the selected heading is written 40
// degrees to its side (on the right slid across to end at the screen's
// edge, which the turn takes it past); up to 41 the marker line stands at
// it.
TEST_F(ArcTest, SelectedHeadingMarkerOrReadout) {
  struct Case {
    double heading, selected;
    const char* readout;  // null: the marker line
    double turn;
  } cases[] = {{0, 42, "042", 40},    {0, 41, nullptr, 41},  {42, 0, "000", -40},  {350, 20, nullptr, 30},
               {20, 330, "330", -40}, {0, 180, "180", 40},   {180, 0, "000", -40}, {359, 40, nullptr, 41}};
  for (const Case& c : cases) {
    G().AircraftHeading = c.heading;
    G().ApHeadingLockDir = c.selected;
    Draw(3);
    EXPECT_EQ(HasLine(colour::kBlue, A(0, -234, c.turn), A(0, -260, c.turn), 3.0f), c.readout == nullptr)
        << c.heading << " " << c.selected;
    if (c.readout == nullptr) continue;
    const gfx::PointF at = A(-10, -230, c.turn);
    for (const gfx::RecordedOp* op : rec.Find(OpKind::Text)) {
      if (op->text != c.readout) continue;
      EXPECT_NEAR(op->points[0].Y, at.Y, 0.01) << c.heading;
      if (c.turn < 0)
        EXPECT_NEAR(op->points[0].X, at.X, 0.01) << c.heading;
      else
        EXPECT_NEAR(op->bounds.X + op->bounds.Width, 318.0, 0.01) << c.heading;
    }
    EXPECT_TRUE(Has(c.readout)) << c.heading;
  }
}

// Descending to a selected altitude below: the arc of the inner ring's
// size touching the point where it is reached. Each condition fails alone.
TEST_F(ArcTest, AltitudeRangeArcConditions) {
  M().Du1000ShowNavaids = M().Du1000ShowAirports = 0;  // no map layer sets its own scale
  const double nan = std::numeric_limits<double>::quiet_NaN();
  struct Case {
    int mode;
    double master, lock, selected, vs, range;
  } cases[] = {{3, 1, 1, 5000, -2000, 60},  {1, 1, 1, 5000, -2000, 60},  {3, 0, 1, 5000, -2000, 60},
               {3, 1, 0, 5000, -2000, 60},  {3, 1, 1, 9000, -2000, 60},  {3, 1, 1, 5000, -200, 60},
               {3, 1, 1, 5000, -2000, 0},   {3, 1, 1, 5000, -2000, -60}, {3, 1, 1, 5000, -2000, nan}};
  G().AircraftAltitude = 9000.0;
  G().GroundSpeedKnots = 300.0;
  for (const Case& c : cases) {
    G().ApMaster = c.master;
    G().ApAltitudeLock = c.lock;
    G().ApAltitudeLockVar = c.selected;
    G().VerticalSpeedFpm = c.vs;
    M().Du1000EhsiRange = c.range;
    display::display_state.MapPixelsPerNm = 1.5;
    Draw(c.mode);
    const auto arcs = Ops(OpKind::Arc, colour::kGreen);
    const bool armed = &c == &cases[0];
    ASSERT_EQ(arcs.size(), armed ? 1u : 0u) << c.mode << c.master << c.lock << " " << c.selected << c.vs << c.range;
    if (!armed) {
      EXPECT_EQ(display::display_state.MapPixelsPerNm, 1.5);
      continue;
    }
    // 4000 ft at 2000 ft/min: 10 NM at 300 kt; 233 units for 60 NM.
    EXPECT_TRUE(Near(arcs[0]->points[2], A(0, -38 + 78)));
    EXPECT_TRUE(arcs[0]->start_angle == 220.0f && arcs[0]->sweep_angle == 100.0f);
    EXPECT_DOUBLE_EQ(display::display_state.MapPixelsPerNm, 233.0 / 60.0);
    EXPECT_NEAR(navdb::navdb_state.CalcDistance, -10.0 * 233.0 / 60.0, 1e-9);
    ASSERT_EQ(rec.Find(OpKind::Clip).size(), 1u);
    EXPECT_NEAR(rec.Find(OpKind::Clip)[0]->bounds.Width, 468 * sx, 0.5);
    EXPECT_EQ(rec.Count(OpKind::ResetClip), 1);
  }
}

// The source label, the frequency after "ILS" or "LOC", the glideslope
// scale; in mode 3 none of it, nor the course pointer, whose bar in mode 1
// lies 20 units beyond the outer dot at full needle.
TEST_F(ArcTest, RadioInformationInModeOne) {
  struct Case {
    double signal, flags;
    const char* label;
    bool frequency, gs_label, gs_scale;
  } cases[] = {{0.0, 0xC0, "", false, false, false},     {1.0, 0x00, "VOR", false, false, false},
               {1.0, 0x40, "VOR", false, false, true},  // glideslope without localizer: the scale alone
               {1.0, 0x80, "LOC", true, false, false},   {1.0, 0xC0, "ILS", true, true, true}};
  G().Nav1GlideslopeNeedle = 127.0;
  G().Nav1CdiNeedle = 127.0;
  for (const Case& c : cases) {
    Radio(c.signal, c.flags, 0x0990);
    Draw(1);
    for (const char* label : {"VOR", "LOC", "ILS"})
      EXPECT_EQ(TextAt(label, A(-10, -195)), label == std::string(c.label)) << label;
    EXPECT_EQ(TextAt("109.90", A(-20, -180)), c.frequency) << c.flags;
    EXPECT_EQ(TextAt("G/S", A(125, -155)), c.gs_label) << c.flags;
    EXPECT_EQ(OutlineAt(colour::kMagenta, 5, 0, A(132, -50)), c.gs_scale) << c.flags;  // 45 units per 127
    EXPECT_TRUE(HasLine(colour::kBlue, A(80, -30), A(80, 30)));
  }
  Draw(3);
  for (const char* text : {"ILS", "G/S", "109.90"}) EXPECT_FALSE(Has(text)) << text;
  EXPECT_EQ(CountCircles(colour::kWhite, 4), 0);
  Radio(1.0, 0x80, 4294967295.0);  // a word that is not BCD: 7 and seven 15s as decimal digits
  Draw(1);
  EXPECT_TRUE(Has("866766.65"));
}

}  // namespace
}  // namespace ovi::ehsi::test
