// The data fields: each text rule, table A at every length and beyond,
// time to go with its carry, the bearing-pointer blocks, the flags, the
// selected heading's side and tilt and the wind threshold.
#include "tests/instruments/efs/efs50_test_support.h"

namespace ovi::efs::test {
namespace {

class DataFieldsTest : public Efs50Test {
 public:
  bool Field(const std::string& text, double x, double y, gfx::ARGB colour = 0, float size_units = 14) const {
    return TextAt(text, At(x, y), "Arial", size_units, colour);
  }
};

TEST_F(DataFieldsTest, CourseDistanceAndSourceByNavigation) {
  G().SelectedCourse = 10.0;
  G().DesiredTrack = 95.0;
  G().ActiveWaypointDistance = 5.0;
  const std::tuple<int, int, double, bool, const char*, const char*, const char*, double> cases[] = {
      {1, 0x80, 12.5, true, "CRS 010", "12.5", "LOC", 210}, {1, 0x00, 0.0, true, "CRS 010", "---", "VOR", 218},
      {2, 0x00, 12.5, true, "DTK 095", "5.0", "FMS", 218},  {2, 0x00, 12.5, false, "DTK ---", "---", "FMS", 218}};
  for (auto [nav_mode, flags, dme, active, course, distance, source, x] : cases) {
    M().EFS50NavMode = nav_mode;
    Radio(1.0, flags);
    G().Nav1DmeDistance = dme;
    F().ActiveWaypointIndex = active ? 1 : 999;
    Draw(1);
    const gfx::ARGB colour = nav_mode == 1 ? c::kGreen : c::kBlue;
    EXPECT_TRUE(Field(course, 0, 0, colour) && Field(distance, x, 0, colour)) << course << " " << distance;
    EXPECT_TRUE(Field("NM", 240, 0, colour) && Field("KT", 240, 15, colour));
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(Field(std::string(1, source[i]), 0, 90 + 15 * i, colour)) << source;
  }
}

// x by the trimmed text's length, the nearest column beyond the table; the
// pointer blocks' "NM" by the length as printed.
TEST_F(DataFieldsTest, TableAAtEveryLength) {
  Radio(1.0);
  for (auto [nm, text, x] : {std::tuple{0.5, "0.5", 218}, {12.5, "12.5", 210}, {123.4, "123.4", 202},
                             {1234.5, "1234.5", 194}, {12345.6, "12345.6", 187}, {123456.7, "123456.7", 187}}) {
    G().Nav1DmeDistance = nm;
    Draw(4);
    EXPECT_TRUE(Field(text, x, 0)) << text;
  }
  for (auto [kt, text, x] : {std::tuple{5, "5", 230}, {50, "50", 223}, {250, "250", 214}, {1000, "1000", 207},
                             {12345, "12345", 207}}) {
    G().GroundSpeedKnots = kt;
    Draw(4);
    EXPECT_TRUE(Field(text, x, 15)) << text;
  }
  F().ActiveWaypointIndex = 1;
  G().AdfSignal = 2.0;
  const std::tuple<int, int, double, const char*, double> units[] = {
      {1, 1, 5.0, "5.0", 50},        {1, 1, 18.4, "18.4", 59},       {1, 1, 123.4, "123.4", 66},
      {1, 1, 1234.5, "1234.5", 74},  {1, 1, 12345.6, "12345.6", 82}, {1, 1, 123456.7, "123456.7", 82},
      {1, 3, 0, "---", 50},          {2, 2, 5.0, " 5.0", 239},       {2, 2, 12345.6, "12345.6", 263},
      {2, 3, 0, "---", 231}};
  for (auto [pointer, source, nm, text, x] : units) {
    G().Nav1DmeDistance = G().ActiveWaypointDistance = nm;
    M().Efs50BearingPointer1Source = pointer == 1 ? source : 0;
    M().Efs50BearingPointer2Source = pointer == 2 ? source : 0;
    Draw(4);
    EXPECT_TRUE(Field(text, pointer == 1 ? 30 : 210, 210) && Field("NM", x, 210)) << text;
  }
}

// Above 50 kt only; the radio's time by the DME's own speed, the flight
// plan's by the ground speed; minutes printed rounded, a rounded 60
// carried; 100 hours or more at the ground speed's x (60 kt: 223).
TEST_F(DataFieldsTest, TimeToGo) {
  const std::tuple<int, double, double, double, const char*, double> cases[] = {
      {1, 50, 20, 240, "", 0},        {1, 51, 20, 240, "0:05", 230},  {1, 200, 20, 0, "", 0},
      {2, 120, 84.8, 0, "0:42", 230}, {2, 120, 180, 0, "1:30", 230},  {2, 60, 59.6, 0, "1:00", 230},
      {2, 60, 119.5, 0, "2:00", 230}, {2, 60, 630, 0, "10:30", 222},  {2, 60, 6000, 0, "100:00", 223},
      {2, 120, 0, 0, "", 0},          {2, 60, 0.2, 0, "0:00", 230}};
  F().ActiveWaypointIndex = 1;
  Radio(1.0);
  for (auto [nav_mode, gs, distance, dme_speed, text, x] : cases) {
    M().EFS50NavMode = nav_mode;
    G().GroundSpeedKnots = gs;
    G().Nav1DmeDistance = G().ActiveWaypointDistance = distance;
    G().Nav1HasDme = dme_speed;
    Draw(1);
    int times = 0;
    for (const auto& t : rec.Texts()) times += t.text.find(':') != std::string::npos;
    EXPECT_EQ(times, *text == '\0' ? 0 : 1) << gs << " " << distance;
    EXPECT_TRUE(*text == '\0' || Field(text, x, 30)) << text;
  }
}

// Source, distance, "NM" and a red cross while the source gives nothing.
TEST_F(DataFieldsTest, BearingPointerBlocks) {
  G().Nav1DmeDistance = 7.5;
  G().Nav2DmeDistance = 9.0;
  G().ActiveWaypointDistance = 3.2;
  const std::tuple<int, int, double, bool, double, const char*, const char*, bool> cases[] = {
      {1, 1, 1.0, false, 0, "VOR 1", "7.5", false}, {1, 1, 0.0, false, 0, "VOR 1", "---", true},
      {2, 1, 1.0, false, 0, "VOR 2", "9.0", false}, {2, 1, 0.0, false, 0, "VOR 2", "---", true},
      {1, 2, 0.0, true, 0, "FMS", " 3.2", false},   {2, 2, 0.0, false, 0, "FMS", "---", true},
      {2, 3, 0.0, false, 0.5, "ADF", "---", true},  {1, 3, 0.0, false, 1.0, "ADF", "---", false}};
  for (auto [pointer, source, signal, active, adf, label, distance, cross] : cases) {
    host.tokens[49] = host.tokens[58] = signal;
    F().ActiveWaypointIndex = active ? 1 : 999;
    G().AdfSignal = adf;
    M().Efs50BearingPointer1Source = pointer == 1 ? source : 0;
    M().Efs50BearingPointer2Source = pointer == 2 ? source : 0;
    Draw(5);
    const double x = pointer == 1 ? 30 : 210;
    const gfx::ARGB colour = pointer == 1 ? c::kBlue : c::kMagenta;
    EXPECT_TRUE(Field(label, x, 200, colour) && Field(distance, x, 210, colour)) << label << " " << signal;
    EXPECT_EQ(HasLine(c::kRed, At(x, 202), At(x + 30, 208), 1) && HasLine(c::kRed, At(x, 208), At(x + 30, 202), 1),
              cross) << label;
    EXPECT_TRUE(StartsAt(OpKind::Polygon, colour, At(pointer == 1 ? 20 : 200, 205), 1)) << label;
  }
}

// Under the full rose pointer 1's "NM" (x 59 for "18.4") would lie under
// the lower box (from x 73): it is drawn after the box, once.
TEST_F(DataFieldsTest, PointerOneUnitOverTheLowerBox) {
  Radio(1.0);
  G().Nav1DmeDistance = 18.4;
  M().Efs50BearingPointer1Source = 1;
  for (int mode : {1, 3, 4}) {
    Draw(mode);
    EXPECT_TRUE(Field("NM", 59, 210, c::kBlue)) << mode;
    int box = -1, unit = -1, units = 0, i = 0;
    for (const gfx::RecordedOp& op : rec.Ops()) {
      if (op.kind == OpKind::Rectangle && op.filled && Near(op.points[0], Rose(-56, 69))) box = i;
      if (op.kind == OpKind::Text && op.text == "NM" && op.color == c::kBlue) unit = i, ++units;
      ++i;
    }
    EXPECT_TRUE(units == 1 && (box >= 0) == (mode != 4) && unit > box) << mode;
  }
}

// TO/FR in the map modes only, from the desired track when NAV1 gives
// nothing, the short way round; "WX OFF" in modes 2, 6 and 7 (5 units
// above its place, clear of pointer 1's block); "NO MAP" without the map's
// source.
TEST_F(DataFieldsTest, FlagsAndAnnunciations) {
  G().DesiredTrack = 100.0;
  const std::tuple<int, int, double, bool, const char*, double> cases[] = {
      {1, 1, 0, true, "", 0},     {2, 1, 0, true, "FR", 155}, {3, 1, 1, false, "TO", 0}, {4, 2, 0, true, "", 0},
      {5, 2, 0, false, "", 45},   {6, 2, 0, true, "FR", 0},   {7, 1, 0, false, "", 0},   {3, 2, 0, false, "", 155}};
  for (auto [mode, nav_mode, signal, active, flag, no_map_y] : cases) {
    M().EFS50NavMode = nav_mode;
    Radio(signal);
    F().ActiveWaypointIndex = active ? 1 : 999;
    Draw(mode);
    EXPECT_EQ(Has("TO") || Has("FR"), *flag != '\0') << mode;
    EXPECT_TRUE(*flag == '\0' || Field(flag, 60, 3, c::kWhite, 10)) << mode;
    EXPECT_EQ(Field("WX OFF", 0, 185, c::kWhite), mode == 2 || mode == 6 || mode == 7) << mode;
    EXPECT_EQ(Has("NO MAP"), no_map_y != 0) << mode;
    EXPECT_TRUE(no_map_y == 0 || Field("NO MAP", 110, no_map_y, c::kWhite, 10)) << mode;
  }
  M().EFS50NavMode = 1;
  Radio(1.0);
  G().HeadingOffsetToken550 = 350.0;  // heading 0
  for (auto [course, flag] : {std::pair{10.0, "TO"}, {170.0, "FR"}, {260.0, "FR"}, {260.5, "TO"}}) {
    G().SelectedCourse = course;
    Draw(2);
    EXPECT_TRUE(Field(flag, 60, 3, c::kWhite, 10)) << course;
  }
}

// Under the rose always; on the arc only while the plain difference of the
// values as read exceeds 45 degrees (across north too: heading 350 with 10
// selected shows), tilted 40 degrees on the shorter way's side; 0 reads 360.
TEST_F(DataFieldsTest, SelectedHeadingSideAndTilt) {
  const std::tuple<int, double, double, const char*, int> cases[] = {  // side: 0 none, 1 right, -1 left, 2 rose
      {1, 100, 0, "360\xC2\xB0", 2},   {2, 0, 359.7, "360\xC2\xB0", 2}, {4, 100, 146, "146\xC2\xB0", 1},
      {4, 100, 145, "", 0},            {5, 100, 54, "054\xC2\xB0", -1}, {6, 350, 10, "010\xC2\xB0", 1},
      {5, 10, 350, "350\xC2\xB0", -1}, {7, 200, 0, "360\xC2\xB0", 1},   {4, 30, 0, "", 0},
      {4, 330, 0, "360\xC2\xB0", 1},   {4, 0.5, 46.4, "", 0},           {4, 10, 300, "300\xC2\xB0", -1},
      {4, 0, 180, "180\xC2\xB0", 1},   {4, 270, 90, "090\xC2\xB0", -1}};
  for (auto [mode, heading, selected, text, side] : cases) {
    G().AircraftHeading = heading;
    G().ApHeadingLockDir = selected;
    Draw(mode);
    const auto amber = Ops(OpKind::Text, c::kAmber);
    ASSERT_EQ(amber.size(), side == 0 ? 0u : 1u) << mode << " " << selected;
    if (side == 0) continue;
    const double x = side == 2 ? 208 : side == 1 ? 220 : 15, y = side == 2 ? 180 : side == 1 ? 85 : 105;
    EXPECT_TRUE(amber[0]->text == text && Near(amber[0]->points[0], At(x, y))) << selected;
    const double tilt = std::atan2(amber[0]->matrix[1] / sy, amber[0]->matrix[0] / sx) * 180 / M_PI;
    EXPECT_NEAR(tilt, side == 2 ? 0 : 40 * side, 1e-3) << selected;
  }
}

// From 1 kt: the speed and the arrow toward where the wind blows, turned
// against the heading.
TEST_F(DataFieldsTest, WindThresholdAndArrow) {
  G().AircraftHeading = 30.0;
  G().WindDirectionMagnetic = 300.0;  // blowing to 120: 90 right of the nose
  for (auto [speed, shown] : {std::pair{0.9, false}, {1.0, true}, {25.0, true}}) {
    G().WindSpeed = speed;
    Draw(1);
    EXPECT_EQ(Ops(OpKind::Text, c::kGreen).size(), shown ? 10u : 9u) << speed;  // 9 fields of the radio, and it
    EXPECT_EQ(StartsAt(OpKind::Polygon, c::kWhite, At(16, 22), 1), shown) << speed;
    EXPECT_EQ(HasLine(c::kWhite, At(11, 22), At(4, 22), 2), shown) << speed;
  }
  EXPECT_TRUE(Field("  25", 15, 15, c::kGreen));
}

}  // namespace
}  // namespace ovi::efs::test
