// Both roses: card, index marks and bug across north, the arc's window at
// its edges, heading digits, bearing pointers per source at their
// thresholds, course and deviation by radio and flight plan, TO/FROM across
// north, the vertical scale, the range ring and the tuned station.
#include <climits>

#include "src/display/state.h"
#include "tests/instruments/efs/efs50_test_support.h"

namespace ovi::efs::test {
namespace {

using RoseTest = Efs50Test;

TEST_F(RoseTest, CardsIndexMarksAndBugAcrossNorth) {
  G().AircraftHeading = 350.0;
  G().ApHeadingLockDir = 20.0;
  for (auto [mode, major, minor, label_y] : {std::tuple{1, 85, 90, -80}, {2, 90, 95, -90}}) {
    Draw(mode);
    EXPECT_TRUE(HasLine(c::kWhite, Rose(0, -100, 10), Rose(0, -major, 10), 2)) << mode;  // 0
    EXPECT_TRUE(HasLine(c::kWhite, Rose(0, -100, 15), Rose(0, -minor, 15), 2)) << mode;  // 5
    EXPECT_TRUE(TextAt("W", Rose(-7, label_y, -80), "DA Rered", 13, c::kWhite) && TextAt("33", Rose(-8, label_y, -20)));
    for (int a = 45; a < 360; a += 45) EXPECT_TRUE(HasLine(c::kWhite, Rose(0, -102, a), Rose(0, -111, a), 2)) << a;
    EXPECT_TRUE(StartsAt(OpKind::Polygon, c::kAmber, Rose(0, -102, 30), 1)) << mode;  // the bug 30 right
  }
  // The arc: ticks strictly within 55 degrees of the heading, long every 10.
  for (auto [heading, drawn, left_out] : {std::tuple{0.0, -50.0, -55.0}, {3.0, -53.0, -58.0}, {357.0, 53.0, 58.0}}) {
    G().AircraftHeading = heading;
    Draw(4);
    EXPECT_TRUE(HasLine(c::kWhite, Arc(0, -180, drawn), Arc(0, -170, drawn), 2)) << heading;
    EXPECT_FALSE(HasLine(c::kWhite, Arc(0, -180, left_out), Arc(0, -175, left_out))) << heading;
  }
  EXPECT_TRUE(TextAt("N", Arc(-9, -170, 3), "Arial", 12, c::kWhite) && TextAt("33", Arc(-9, -170, -27)));
  EXPECT_FALSE(Has("30") || Has("6"));
  G().AircraftHeading = 270.0;
  Draw(4);
  EXPECT_TRUE(TextAt("W", Arc(-7, -170)));
}

// A triangle alone for 0; otherwise the box or frame, with the heading's
// digits on the rose always, on the arc only for 1.
TEST_F(RoseTest, HeadingDigitsByStaticPointerSetting) {
  G().AircraftHeading = 359.6;
  const std::tuple<int, int, bool, double, double> cases[] = {
      {1, 0, false, 0, -103}, {1, 1, true, -6, -99}, {1, 2, true, -6, -99},
      {4, 0, false, 0, -180}, {4, 1, true, -5, -175}, {4, 2, false, -5, -175}};
  for (auto [mode, setting, digits, x, y] : cases) {
    M().EhsiStaticHdgPointer = setting;
    Draw(mode);
    EXPECT_EQ(Has("360"), digits) << mode << " " << setting;
    EXPECT_TRUE(StartsAt(OpKind::Polygon, c::kWhite, mode == 1 ? Rose(x, y) : Arc(x, y), 1)) << mode << setting;
  }
}

// Heading 30: NAV1's station at 345 relative lies at 15 (across north),
// NAV2's at 340 at 10, the active waypoint at 100, the ADF at 200
// relative. Each pointer's head by its tip; the data fields' block symbol
// besides while its source is on.
TEST_F(RoseTest, BearingPointersPerSourceAtTheirThresholds) {
  G().AircraftHeading = 30.0;
  G().HeadingOffsetToken550 = 345.0;
  G().SecondBearingPointer = 340.0;
  G().BearingToActiveWaypoint = 100.0;
  G().AdfRelativeBearing = 200.0;
  struct Case {
    int pointer, source;
    std::function<void()> set;
    double turn;  // INT_MIN: not drawn
  } cases[] = {
      {1, 1, [this] { host.tokens[49] = 0.0; }, INT_MIN}, {1, 1, [this] { host.tokens[49] = 0.5; }, -15},
      {2, 1, [this] { host.tokens[58] = 0.0; }, INT_MIN}, {2, 1, [this] { host.tokens[58] = 0.5; }, -20},
      {1, 2, [] { F().ActiveWaypointIndex = 999; }, INT_MIN}, {2, 2, [] { F().ActiveWaypointIndex = 3; }, 70},
      {1, 3, [] { G().AdfSignal = 1.0; }, INT_MIN}, {2, 3, [] { G().AdfSignal = 1.01; }, 200},
      {1, 0, [] {}, INT_MIN},
  };
  for (int mode : {1, 4}) {
    for (const Case& k : cases) {
      k.set();
      M().Efs50BearingPointer1Source = k.pointer == 1 ? k.source : 0;
      M().Efs50BearingPointer2Source = k.pointer == 2 ? k.source : 0;
      Draw(mode);
      const gfx::ARGB colour = k.pointer == 1 ? c::kBlue : c::kMagenta;
      const bool drawn = k.turn != INT_MIN;
      const std::size_t block = k.source > 0 ? 1 : 0, pointer = k.pointer == 1 ? 2 : 1;  // head (and tail)
      EXPECT_EQ(Ops(OpKind::Polygon, colour, 1).size(), block + (drawn ? pointer : 0)) << mode << k.pointer;
      const double tip = mode == 1 ? (k.pointer == 1 ? -95 : -90) : (k.pointer == 1 ? -180 : -175);
      const gfx::PointF head = mode == 1 ? Rose(0, tip, k.turn) : Arc(0, tip, k.turn);
      EXPECT_TRUE(!drawn || StartsAt(OpKind::Polygon, colour, head, 1)) << mode << " " << k.pointer << " " << k.source;
    }
  }
}

// Mode 1's course pointer: green on the radio, its bar at 50/127 a needle
// unit while NAV1 receives; blue on the flight plan at 10 a NM, 5 NM at
// most. The arc's deviation bar: 100/259 a needle unit, 500/51 a NM,
// unturned on the map modes, where the radio course line stands 100/114 a
// needle unit off. No active waypoint: nothing of the flight plan's.
TEST_F(RoseTest, CourseAndDeviationByRadioAndFlightPlan) {
  G().SelectedCourse = 20.0;
  struct Case {
    int mode, nav_mode;
    double signal, needle, east;  // east: NM right of the leg (0: no route)
    double turn;
    int bar;  // INT_MIN: no bar
  } cases[] = {{1, 1, 1, 127, 0, 20, 50},  {1, 1, 1, -63, 0, 20, -24}, {1, 1, 0, 127, 0, 20, INT_MIN},
               {1, 2, 0, 0, 2, 0, -20},    {1, 2, 0, 0, 7, 0, -50},    {1, 2, 0, 0, -7, 0, 50},
               {4, 1, 0, 127, 0, 20, 49},  {5, 1, 1, 127, 0, 0, 49},   {4, 2, 0, 0, 7, 0, -49},
               {6, 2, 0, 0, -7, 0, 49}};
  for (const Case& k : cases) {
    Radio(k.signal);
    G().Nav1CdiNeedle = k.needle;
    M().EFS50NavMode = k.nav_mode;
    F().ActiveWaypointIndex = 999;
    if (k.east != 0) NorthLeg(k.east);
    Draw(k.mode);
    const gfx::ARGB colour = k.nav_mode == 1 ? c::kGreen : c::kBlue;
    auto at = [&](double x, double y) { return k.mode == 1 ? Rose(x, y, k.turn) : Arc(x, y, k.turn); };
    const bool bar = k.bar != INT_MIN;
    EXPECT_EQ(StartsAt(OpKind::Lines, colour, at(bar ? k.bar : 0, k.mode == 1 ? -20 : -30)), bar) << k.mode << k.east;
    EXPECT_TRUE(k.mode != 1 || StartsAt(OpKind::Lines, colour, at(0, -85))) << k.east;  // the head
    EXPECT_TRUE(k.mode != 5 || StartsAt(OpKind::Polygon, c::kGreen, Arc(111, -170, 20), 1));
  }
  M().EFS50NavMode = 2;
  F().ActiveWaypointIndex = 999;
  for (int mode : {1, 4}) {
    Draw(mode);
    EXPECT_TRUE(Ops(OpKind::Lines, c::kBlue).empty()) << mode;
  }
}

// The angle the short way round: a station just across north of the
// course is TO, 90 degrees off FROM; the desired track against the heading.
TEST_F(RoseTest, ToFromAcrossNorth) {
  const std::tuple<int, double, double, double, double, bool> cases[] = {
      {1, 0, 350, 10, 0, true},  {1, 0, 10, 350, 0, true},   {1, 300, 70, 10, 0, true},
      {1, 0, 190, 10, 0, false}, {1, 0, 100, 10, 0, false}, {1, 0, 99, 10, 0, true},
      {2, 350, 0, 0, 10, true},  {2, 10, 0, 0, 100, false}, {2, 10, 0, 0, 280.5, true}};
  Radio(1.0);
  F().ActiveWaypointIndex = F().ActiveFlightPlanLastIndex = 1;
  for (int mode : {1, 4}) {
    for (auto [nav_mode, heading, offset, course, track, to] : cases) {
      M().EFS50NavMode = nav_mode;
      G().AircraftHeading = heading;
      G().HeadingOffsetToken550 = offset;
      G().SelectedCourse = course;
      G().DesiredTrack = track;
      Draw(mode);
      const double turn = (nav_mode == 1 ? course : track) - heading;
      const gfx::PointF at_to = mode == 1 ? Rose(0, -25, turn) : Arc(0, -25, turn);
      const gfx::PointF at_from = mode == 1 ? Rose(0, 39, turn) : Arc(0, 35, turn);
      EXPECT_EQ(StartsAt(OpKind::Polygon, c::kWhite, at_to, 1), to) << mode << " " << offset << " " << track;
      EXPECT_EQ(StartsAt(OpKind::Polygon, c::kWhite, at_from, 1), !to) << mode << " " << offset << " " << track;
    }
  }
}

// Glideslope on the radio while token 852 is above 0, the VNAV path on the
// flight plan past the top of descent; never both: an ILS keeps the VNAV
// scale away even where its own is not shown.
TEST_F(RoseTest, GlideslopeOrVnavScale) {
  M().EFS50EHSIBkgrdColorRed = 0x30;
  struct Case {
    int flags, token852, nav_mode, tod;
    double destination, value;  // value: needle, or feet above the path
    bool active;
    const char* letters;  // "" none
    int y;
  } cases[] = {
      {0x40, 1, 1, 0, 0, 127, false, "GS", 47},   {0x40, 1, 1, 0, 0, -127, false, "GS", -67},
      {0x40, 0, 1, 0, 0, 127, false, "", 0},      {0x40, 1, 2, 1, 10, 0, true, "", 0},
      {0x00, 0, 2, 1, 4.01, 1500, true, "VN", 47}, {0x00, 0, 2, 1, 4.01, -300, true, "VN", -27},
      {0x00, 0, 2, 1, 4.0, 0, true, "", 0},       {0x00, 0, 2, 0, 10, 0, true, "", 0},
      {0x00, 0, 2, 1, 10, 0, false, "", 0},       {0x00, 0, 1, 1, 10, 0, true, "", 0},
  };
  for (const Case& k : cases) {
    Radio(1.0, k.flags);
    host.tokens[852] = k.token852;
    M().EFS50NavMode = k.nav_mode;
    G().DestinationDistance = k.destination;
    G().TodPassed = k.tod;
    F().ActiveWaypointIndex = k.active ? 1 : 999;
    G().Nav1GlideslopeNeedle = k.value;
    G().AircraftAltitude = 5000.0 + k.value;
    G().VnavPathAltitude = 5000.0;
    Draw(2);
    const std::string letters = k.letters;
    const bool shown = !letters.empty();
    EXPECT_EQ(StartsAt(OpKind::Lines, c::kGreen, Rose(105, k.y)), shown) << k.flags << " " << k.value;
    EXPECT_EQ(HasLine(c::kWhite, Rose(90, -60), Rose(90, 60), 2), shown) << k.flags << " " << k.destination;
    if (!shown) continue;
    EXPECT_TRUE(TextAt(letters.substr(0, 1), Rose(106, k.y), "Arial", 8, c::kGreen) &&
                TextAt(letters.substr(1, 1), Rose(106, k.y + 10), "Arial", 8, c::kGreen)) << letters;
    EXPECT_TRUE(StartsAt(OpKind::Rectangle, letters == "GS" ? 0xFF300000 : c::kBlack, Rose(89, -61), 1));
  }
}

// Modes 2 and 3: the ring and range, the sector in mode 3; NAV1's VOR 40
// units a range out (20 NM at 12.5: 64 units) with its radial, not a
// localizer; the map scale left at 50 a range for the layers after, mode 1
// leaving it alone.
TEST_F(RoseTest, RangeRingSectorAndTunedStation) {
  G().Nav1DmeDistance = 20.0;
  G().HeadingOffsetToken550 = 90.0;
  for (auto [mode, flags, station] : {std::tuple{2, 0, true}, {3, 0, true}, {3, 0x80, false}}) {
    Radio(1.0, flags);
    Draw(mode);
    EXPECT_TRUE(TextAt("12.5", Rose(50, -4), "Arial", 10, c::kBlue)) << mode;
    for (double side : {60.0, -60.0}) EXPECT_EQ(HasLine(c::kBlue, Rose(0, 0, side), Rose(0, -95, side), 2), mode == 3);
    EXPECT_EQ(HasLine(c::kWhite, Rose(64, 0), Rose(64, -100), 1), station) << mode << " " << flags;
    EXPECT_EQ(HasLine(c::kGreen, Rose(64, 0), Rose(64, 100), 1), station) << mode << " " << flags;
    EXPECT_DOUBLE_EQ(display::display_state.MapPixelsPerNm, 4.0);
  }
  const std::tuple<double, double, double, int, int> cases[] = {
      {0, 90, -10, 63, -11},   // magnetic 90 is true 80
      {10, 270, 0, -63, -11},  // above 180 counts left: -80 + 10 + 360 = 280
      {350, 30, 0, 21, -60}};  // 380 less 360: 20
  Radio(1.0);
  for (auto [heading, offset, variation, x, y] : cases) {
    G().AircraftHeading = G().SelectedCourse = heading;
    G().HeadingOffsetToken550 = offset;
    G().MagneticVariation = variation;
    Draw(2);
    EXPECT_TRUE(HasLine(c::kWhite, Rose(x, y), Rose(x, y - 100), 1)) << offset;
  }
  display::display_state.MapPixelsPerNm = 99.0;
  Draw(1);
  EXPECT_DOUBLE_EQ(display::display_state.MapPixelsPerNm, 99.0);
}

}  // namespace
}  // namespace ovi::efs::test
