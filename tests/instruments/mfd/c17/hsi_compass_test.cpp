// The HSI page (0) and the compass pages (3, 4, 5) drawn through the draw
// entry on a surface of twice the canvas: places are canvas units from the
// page origin, rotated ones worked by hand (a turn of +90 takes (0, -r) to
// (r, 0)).
#include <cmath>

#include "src/guidance/state.h"
#include "src/instruments/mfd/c17/nav_pages.h"
#include "src/model/state.h"
#include "tests/instruments/mfd/c17/c17_test_support.h"

namespace ovi::c17::test {
namespace {

constexpr gfx::ARGB kGreen = 0xFF00FA00, kWhite = 0xFFDEE6E9, kMagenta = 0xFFFF13D5, kSkyBlue = 0xFF18C2E7;

guidance::State& G() { return guidance::guidance_state; }

class HsiTest : public C17PageTest {
 public:
  void SetUp() override {
    C17PageTest::SetUp();
    ox = 122, oy = 121;
  }
  void Radio(double signal, int flags) {
    host.tokens[49] = signal;
    host.tokens[46] = flags;
    host.tokens[31] = 12.34;
    host.texts[47] = "OLMXYZ";
  }
  // Filled magenta polygons (the glideslope diamond, the course arrowhead)
  // with a vertex at a place.
  bool FilledAt(gfx::ARGB colour, double x, double y) const {
    for (const gfx::RecordedOp* op : rec_.Find(gfx::OpKind::Polygon))
      for (const gfx::PointF& p : op->points)
        if (op->filled && op->color == colour && Near(p, At(x, y))) return true;
    return false;
  }
  bool PolylineFrom(gfx::ARGB colour, double x, double y) const {
    for (const gfx::RecordedOp* op : rec_.Find(gfx::OpKind::Lines))
      if (op->color == colour && Near(op->points[0], At(x, y))) return true;
    return false;
  }
};

TEST_F(HsiTest, FieldsBySignalAndSource) {
  G().Nav1DmeDistance = 7.26;
  G().AircraftHeading = 359.6;  // prints the nearest whole degree
  G().SelectedCourse = 5;
  G().GroundSpeedKnots = 241;
  struct Case {
    double signal;
    int flags;  // 0x80 localizer, 0x40 glideslope
    const char* source;
    bool vor_pointer;
  } cases[] = {{0, 0, "", false},          {1, 0, "VOR-1", true},         {1, 0x80, "LOC-1", false},
               {1, 0xC0, "ILS-1", false},  {1, 0x40, "ILS-1", true},      {0.001, 0, "VOR-1", true}};
  for (const Case& c : cases) {
    Radio(c.signal, c.flags);
    DrawPage(0);
    const bool on = c.signal > 0;
    EXPECT_EQ(TextAt(-14, -118), "360");
    EXPECT_EQ(TextAt(93, -118), "005");
    EXPECT_EQ(TextAt(90, -106), "CRS");
    EXPECT_EQ(TextAt(-120, 110), "GS 241");
    EXPECT_EQ(TextAt(-120, -118), on ? "7.3" : "") << c.signal;
    EXPECT_EQ(TextAt(-120, -106), on ? "DIST" : "");
    EXPECT_EQ(HasRect(-120, -118, 25, 10, kWhite, false), on);
    EXPECT_EQ(TextAt(80, 80), c.source);
    EXPECT_EQ(TextAt(80, 90), on ? "C 005" : "");
    EXPECT_EQ(TextAt(80, 100), on ? "D 12.3" : "");
    // The ident is cut to its field.
    EXPECT_EQ(TextAt(90, 110), on ? "OLMXY" : "");
    EXPECT_EQ(HasRect(-120, 80, 35, 10, kWhite, false), on);
    EXPECT_EQ(PolylineFrom(kSkyBlue, -2, -30), c.vor_pointer) << c.flags;
    // The glideslope scale follows its flag alone, the signal aside.
    EXPECT_EQ(PolylineFrom(kWhite, 111, 23), (c.flags & 0x40) != 0);
  }
  // A null station ident is empty.
  Radio(1, 0);
  host.texts.erase(47);
  DrawPage(0);
  EXPECT_EQ(TextAt(90, 110), "");
}

// The station's bearing against the course, taken the short way round: a
// station just across north of the course is ahead of it.
TEST_F(HsiTest, ToFromAcrossNorthAndAtNinetyDegrees) {
  Radio(1, 0);
  struct Case {
    double heading, offset, course;
    const char* sense;
  } cases[] = {{0, 355, 5, "TO"},    {350, 20, 350, "TO"},  {0, 90, 45, "TO"},   {0, 90, 0, "FROM"},
               {300, 149.5, 0, "TO"}, {0, 270, 0, "FROM"}, {100, 0, 280, "FROM"}, {10, 179, 0, "FROM"}};
  for (const Case& c : cases) {
    G().AircraftHeading = c.heading;
    G().HeadingOffsetToken550 = c.offset;
    G().SelectedCourse = c.course;
    DrawPage(0);
    EXPECT_EQ(TextAt(-120, 80), c.sense) << c.heading << " " << c.offset << " " << c.course;
  }
}

TEST_F(HsiTest, RoseLabelsUprightWithTheHeadingAt180) {
  G().AircraftHeading = 180;
  DrawPage(0);
  EXPECT_EQ(TextAt(-7, -77), "S");   // at the top, 7 units left of the anchor
  EXPECT_EQ(TextAt(-10, 63), "N");   // at the bottom, 10
  EXPECT_EQ(TextAt(60, -7), "W");    // anchor (70, 0)
  EXPECT_EQ(TextAt(-80, -7), "E");
  // 12 ticks of 10 units and 60 of 5, the eight fixed marks, the circle.
  int long_ticks = 0;
  for (const gfx::RecordedOp* l : rec_.Find(gfx::OpKind::Line))
    if (l->color == kWhite && l->pen_width == 2.0f &&
        std::abs(std::hypot(l->points[1].X - l->points[0].X, l->points[1].Y - l->points[0].Y) - 20.0) < 0.1)
      ++long_ticks;
  EXPECT_EQ(long_ticks, 12 + 8 + 1);  // the fixed marks and the symbol's tail bar are 10 units too
  EXPECT_TRUE(HasLine(0, -92, 0, -102, kWhite, 2.0f));
  EXPECT_TRUE(HasLine(92, 0, 102, 0, kWhite, 2.0f));
}

TEST_F(HsiTest, PointersTurnByTheirBearings) {
  Radio(1, 0);
  host.tokens[58] = 1;
  G().AircraftHeading = 0;
  G().SelectedCourse = 90;
  G().ApHeadingLockDir = 180;
  G().GroundTrack = 270;
  G().AdfSignal = 1;
  G().AdfRelativeBearing = 90;
  G().HeadingOffsetToken550 = 270;
  G().SecondBearingPointer = 180;
  DrawPage(0);
  EXPECT_TRUE(HasLine(30, 0, 90, 0, kMagenta, 2.0f));        // course pointer head
  EXPECT_TRUE(FilledAt(kMagenta, 55, 0));                   // its arrowhead
  EXPECT_TRUE(HasLine(90, 0, 100, 0, kSkyBlue, 2.0f));       // course mark
  EXPECT_TRUE(HasLine(0, 90, 5, 90, kSkyBlue, 2.0f));        // selected heading at 180
  EXPECT_TRUE(HasLine(-90, 0, -94, 4, kGreen, 2.0f));        // track diamond at 270
  EXPECT_TRUE(HasLine(60, 0, 90, 0, kSkyBlue, 2.0f));        // ADF at 90
  EXPECT_TRUE(PolylineFrom(kSkyBlue, -30, 2));               // VOR-1 head at 270: (-2, -30) turned
  EXPECT_TRUE(HasLine(0, 60, 0, 90, kGreen, 1.0f));          // NAV 2 head shaft at 180
  // No ADF at a signal of exactly 0, no NAV 2 without its signal.
  G().AdfSignal = 0;
  host.tokens[58] = 0;
  DrawPage(0);
  EXPECT_FALSE(HasLine(60, 0, 90, 0, kSkyBlue, 2.0f));
  EXPECT_FALSE(HasLine(0, 60, 0, 90, kGreen, 1.0f));
}

TEST_F(HsiTest, DeviationBarUnclampedAndGlideslopeDiamond) {
  Radio(1, 0xC0);
  struct Case {
    double needle;
    int bar;  // trunc(needle x 0.39370078740157477)
    int diamond;  // trunc(needle x 0.31496062992125984 + 29)
  } cases[] = {{127, 49, 69}, {-127, -49, -11}, {63, 24, 48}, {-63, -24, 9}, {0, 0, 29}, {254, 99, 109}};
  for (const Case& c : cases) {
    G().Nav1CdiNeedle = c.needle;
    G().Nav1GlideslopeNeedle = c.needle;
    DrawPage(0);
    EXPECT_TRUE(HasLine(c.bar, -30, c.bar, 30, kMagenta, 2.0f)) << c.needle;
    EXPECT_TRUE(FilledAt(kMagenta, 110, c.diamond)) << c.needle;
  }
}

class CompassPageTest : public C17PageTest {
 public:
  void SetUp() override {
    C17PageTest::SetUp();
    host.tokens[49] = 1;
    host.tokens[46] = 0x40;
    model::model_state.C17MfdMapRange = 80;
  }
  void Draw(std::int32_t page) {
    DrawPage(page);
    ox = 122;
    oy = c17_state.C17MfdOriginY;
  }
  // Marks of the compass: white 2-unit lines ending on the outer radius.
  int Marks(double outer) const {
    int n = 0;
    for (const gfx::RecordedOp* l : rec_.Find(gfx::OpKind::Line)) {
      const double r = std::hypot(l->points[1].X - At(0, 0).X, l->points[1].Y - At(0, 0).Y) / 2.0;
      if (l->color == kWhite && l->pen_width == 2.0f && std::abs(r - outer) < 0.05) ++n;
    }
    return n;
  }
};

TEST_F(CompassPageTest, OneTableForThePagesThreeFourAndFive) {
  struct Case {
    std::int32_t page;
    double heading;
    int marks;
    const char* labels[3];
    gfx::PointF label_at[3];
    bool marker;
  } cases[] = {
      // d exactly -55 (305) and 55 are left out; from 0.5 the 55 mark is in.
      {3, 0, 21, {"20", "40", "60"}, {{-50, 0}, {-92, 0}, {-105, -83}}, true},
      {3, 0.5, 22, {"20", "40", "60"}, {{-50, 0}, {-92, 0}, {-105, -83}}, true},
      {4, 0, 23, {"40", "80", ""}, {{-66, -22}, {-120, -42}, {0, 0}}, true},
      {4, 359.9, 24, {"40", "80", ""}, {{-66, -22}, {-120, -42}, {0, 0}}, true},
      {5, 0, 0, {"20", "40", "60"}, {{-50, -10}, {-92, -10}, {-117, 55}}, false},
  };
  for (const Case& c : cases) {
    G().AircraftHeading = c.heading;
    G().ApHeadingLockDir = c.heading;
    Draw(c.page);
    const CompassPage* p = C17CompassPage(c.page);
    ASSERT_NE(p, nullptr);
    const double outer = c.page == 3 ? 172 : 124;
    EXPECT_EQ(Marks(outer), c.marks) << c.page << " " << c.heading;
    for (int i = 0; i < 3; ++i)
      if (c.labels[i][0] != '\0') {
        EXPECT_EQ(TextAt(c.label_at[i].X, c.label_at[i].Y), c.labels[i]) << c.page;
      }
    // The marker on 3 and 4 only, straight up with the heading selected.
    const int r = c.page == 3 ? 172 : 124;
    EXPECT_EQ(HasRect(-5, -(r + 5), 10, 5, kMagenta, false), c.marker) << c.page;
  }
  EXPECT_EQ(C17CompassPage(6), nullptr);
}

TEST_F(CompassPageTest, LabelsReadoutAndRangeRounding) {
  G().AircraftHeading = 0;
  Draw(3);
  EXPECT_EQ(TextAt(-7, -162), "N");  // upright at radius 162, corner 7 left
  // 30 is 60 degrees off: outside the sector; 03 at 30 degrees is in.
  EXPECT_EQ(TextAt(-7 + 162 * std::sin(M_PI / 6), -162 * std::cos(M_PI / 6)), "03");
  EXPECT_EQ(TextAt(-14, -195), "000");
  EXPECT_EQ(TextAt(15, -192), "M");
  G().AircraftHeading = 359.6;
  model::model_state.C17MfdMapRange = 0.5;
  Draw(5);
  EXPECT_EQ(TextAt(-14, -30), "360");
  EXPECT_EQ(TextAt(-50, -10), "0.12");  // the rings at 0.125 and 0.375 NM
  EXPECT_EQ(TextAt(-117, 55), "0.38");
  // Page 4's readout is drawn once, over the map, on black.
  Draw(4);
  EXPECT_EQ(rec_.CountText("360"), 1);
  EXPECT_TRUE(HasRect(-12, -115, 24, 15, 0xFF000000));
  EXPECT_EQ(TextAt(15, -113), "M");
}

TEST_F(CompassPageTest, DeviationScalesByPageSwitchAndSignal) {
  G().Nav1CdiNeedle = -127;
  G().Nav1GlideslopeNeedle = 127;
  struct Case {
    std::int32_t page;
    int show_deviation;
    double signal;
    bool scale, pointer;
    int bar_y, gs_centre;
  } cases[] = {
      {3, 1, 1, true, true, 29, -45},  {3, 0, 1, false, false, 29, -45}, {3, 1, 0, false, false, 29, -45},
      {4, 0, 1, true, true, 97, 15},   {4, 1, 0, true, false, 97, 15},   {5, 0, 0, true, false, 191, 80},
      {5, 1, 1, true, true, 191, 80},
  };
  for (const Case& c : cases) {
    c17_state.C17ShowCourseDeviation = c.show_deviation;
    host.tokens[49] = c.signal;
    Draw(c.page);
    auto polyline = [&](gfx::ARGB colour, double x, double y) {
      for (const gfx::RecordedOp* op : rec_.Find(gfx::OpKind::Lines))
        if (op->color == colour && Near(op->points[0], At(x, y))) return true;
      return false;
    };
    EXPECT_EQ(polyline(kWhite, -2, c.bar_y), c.scale) << c.page << " " << c.signal;
    // A full needle left: trunc(-49.99...) = -49, the diamond's top there.
    EXPECT_EQ(polyline(kMagenta, -49, c.bar_y - 1), c.pointer) << c.page;
    // The glideslope scale always; its diamond 40 units down at 127.
    EXPECT_TRUE(polyline(kWhite, 111, c.gs_centre - 2)) << c.page;
    EXPECT_TRUE(polyline(kMagenta, 115, c.gs_centre + 40 - 5)) << c.page;
  }
  host.tokens[46] = 0;  // no glideslope: scale without its diamond
  Draw(4);
  EXPECT_EQ(rec_.Count(gfx::OpKind::Lines, kMagenta), 1);  // the lateral diamond alone
}

}  // namespace
}  // namespace ovi::c17::test
