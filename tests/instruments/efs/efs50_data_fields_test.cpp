// The data fields: each text rule, table A at every length (and beyond),
// time to go with its carry, the bearing-pointer blocks, the flags, the
// selected heading's side and tilt and the wind threshold.
#include "tests/instruments/efs/efs50_test_support.h"

namespace ovi::efs::test {
namespace {

class DataFieldsTest : public Efs50Test {
 public:
  // Where `text` stands on the canvas, or (-1, -1).
  gfx::PointF CanvasPlace(const std::string& text) const {
    gfx::Recorder::TextItem t;
    if (!rec.FindText(text, &t)) return gfx::PointF(-1, -1);
    return gfx::PointF(static_cast<float>(std::round(t.x / sx * 100) / 100),
                       static_cast<float>(std::round(t.y / sy * 100) / 100));
  }
  bool At(const std::string& text, double x, double y, gfx::ARGB colour = 0, float size_units = 14) const {
    return TextAt(text, Efs50Test::At(x, y), "Arial", size_units, colour);
  }
};

TEST_F(DataFieldsTest, CourseDistanceAndSourceByNavigation) {
  G().SelectedCourse = 10.0;
  G().DesiredTrack = 95.0;
  G().ActiveWaypointDistance = 5.0;
  struct Case {
    int nav_mode, flags;
    double dme;
    bool active;
    const char *course, *distance, *source;
    double distance_x;
    gfx::ARGB colour;
  } cases[] = {
      {1, 0x80, 12.5, true, "CRS 010", "12.5", "LOC", 210, c::kGreen},
      {1, 0x00, 0.0, true, "CRS 010", "---", "VOR", 218, c::kGreen},
      {2, 0x00, 12.5, true, "DTK 095", "5.0", "FMS", 218, c::kBlue},
      {2, 0x00, 12.5, false, "DTK ---", "---", "FMS", 218, c::kBlue},
  };
  for (const Case& k : cases) {
    M().EFS50NavMode = k.nav_mode;
    Radio(1.0, k.flags);
    G().Nav1DmeDistance = k.dme;
    F().ActiveWaypointIndex = k.active ? 1 : 999;
    Draw(1);
    EXPECT_TRUE(At(k.course, 0, 0, k.nav_mode == 1 ? c::kGreen : c::kBlue)) << k.course;
    EXPECT_TRUE(At(k.distance, k.distance_x, 0, k.colour)) << k.distance;
    EXPECT_TRUE(At("NM", 240, 0, k.colour) && At("KT", 240, 15, k.colour));
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(At(std::string(1, k.source[i]), 0, 90 + 15 * i, k.colour)) << k.source;
  }
}

// Table A: x by the trimmed text's length; lengths beyond a column's last
// take its nearest; the pointer blocks' "NM" by the length as printed.
TEST_F(DataFieldsTest, TableAAtEveryLength) {
  struct Distance {
    double nm;
    const char* text;
    double x;
  } distances[] = {{0.5, "0.5", 218},        {12.5, "12.5", 210},        {123.4, "123.4", 202},
                   {1234.5, "1234.5", 194},  {12345.6, "12345.6", 187},  {123456.7, "123456.7", 187}};
  struct Speed {
    double kt;
    const char* text;
    double x;
  } speeds[] = {{5, "5", 230}, {50, "50", 223}, {250, "250", 214}, {1000, "1000", 207}, {12345, "12345", 207}};
  Radio(1.0);
  G().Nav1HasDme = 0.0;
  for (const Distance& d : distances) {
    G().Nav1DmeDistance = d.nm;
    M().Efs50BearingPointer1Source = 1;
    Draw(4);
    EXPECT_TRUE(At(d.text, d.x, 0)) << d.text;
  }
  for (const Speed& s : speeds) {
    G().GroundSpeedKnots = s.kt;
    Draw(4);
    EXPECT_TRUE(At(s.text, s.x, 15)) << s.text;
  }
  struct Nm {
    int pointer, source;
    double nm;
    const char* text;
    double nm_x;
  } nms[] = {{1, 1, 5.0, "5.0", 50},        {1, 1, 18.4, "18.4", 59},        {1, 1, 123.4, "123.4", 66},
             {1, 1, 1234.5, "1234.5", 74},  {1, 1, 12345.6, "12345.6", 82},  {1, 1, 123456.7, "123456.7", 82},
             {1, 3, 0, "---", 50},          {2, 2, 5.0, " 5.0", 239},        {2, 2, 12345.6, "12345.6", 263},
             {2, 3, 0, "---", 231}};
  F().ActiveWaypointIndex = 1;
  G().AdfSignal = 2.0;
  for (const Nm& n : nms) {
    G().Nav1DmeDistance = G().ActiveWaypointDistance = n.nm;
    M().Efs50BearingPointer1Source = n.pointer == 1 ? n.source : 0;
    M().Efs50BearingPointer2Source = n.pointer == 2 ? n.source : 0;
    Draw(4);
    const double x = n.pointer == 1 ? 30 : 210;
    EXPECT_TRUE(At(n.text, x, 210)) << n.text;
    EXPECT_TRUE(At("NM", n.nm_x, 210)) << n.text;
  }
}

// Above 50 kt only; the radio's time by the DME's own speed, the flight
// plan's by the ground speed; minutes printed rounded, a rounded 60 carried.
TEST_F(DataFieldsTest, TimeToGo) {
  struct Case {
    int nav_mode;
    double gs, distance, dme_speed;
    const char* text;  // "" none
    double x;
  } cases[] = {
      {1, 50, 20, 240, "", 0},           {1, 51, 20, 240, "0:05", 230},     {1, 200, 20, 0, "", 0},
      {2, 120, 84.8, 0, "0:42", 230},    {2, 120, 180, 0, "1:30", 230},     {2, 60, 59.6, 0, "1:00", 230},
      {2, 60, 119.5, 0, "2:00", 230},    {2, 60, 630, 0, "10:30", 222},     {2, 60, 6000, 0, "100:00", 223},
      {2, 120, 0, 0, "", 0},             {2, 60, 0.2, 0, "0:00", 230},
  };
  F().ActiveWaypointIndex = 1;
  Radio(1.0);
  for (const Case& k : cases) {
    M().EFS50NavMode = k.nav_mode;
    G().GroundSpeedKnots = k.gs;
    G().Nav1DmeDistance = G().ActiveWaypointDistance = k.distance;
    G().Nav1HasDme = k.dme_speed;
    Draw(1);
    const std::string text = k.text;
    int times = 0;
    for (const auto& t : rec.Texts()) times += t.text.find(':') != std::string::npos;
    EXPECT_EQ(times, text.empty() ? 0 : 1) << k.gs << " " << k.distance;
    EXPECT_TRUE(text.empty() || At(text, k.x, 30)) << text << " at " << CanvasPlace(text).X;
  }
}

// Source, distance, "NM" and a red cross while the source gives nothing.
TEST_F(DataFieldsTest, BearingPointerBlocks) {
  struct Case {
    int pointer, source;
    double signal;
    bool active;
    double adf;
    const char *label, *distance;
    bool cross;
  } cases[] = {
      {1, 1, 1.0, false, 0, "VOR 1", "7.5", false}, {1, 1, 0.0, false, 0, "VOR 1", "---", true},
      {2, 1, 1.0, false, 0, "VOR 2", "9.0", false}, {2, 1, 0.0, false, 0, "VOR 2", "---", true},
      {1, 2, 0.0, true, 0, "FMS", " 3.2", false},    {2, 2, 0.0, false, 0, "FMS", "---", true},
      {2, 3, 0.0, false, 0.5, "ADF", "---", true},   {1, 3, 0.0, false, 1.0, "ADF", "---", false},
  };
  G().Nav1DmeDistance = 7.5;
  G().Nav2DmeDistance = 9.0;
  G().ActiveWaypointDistance = 3.2;
  for (const Case& k : cases) {
    host.tokens[49] = host.tokens[58] = k.signal;
    F().ActiveWaypointIndex = k.active ? 1 : 999;
    G().AdfSignal = k.adf;
    M().Efs50BearingPointer1Source = k.pointer == 1 ? k.source : 0;
    M().Efs50BearingPointer2Source = k.pointer == 2 ? k.source : 0;
    Draw(5);
    const double x = k.pointer == 1 ? 30 : 210;
    const gfx::ARGB colour = k.pointer == 1 ? c::kBlue : c::kMagenta;
    EXPECT_TRUE(At(k.label, x, 200, colour) && At(k.distance, x, 210, colour)) << k.label << " " << k.signal;
    EXPECT_EQ(HasLine(c::kRed, Efs50Test::At(x, 202), Efs50Test::At(x + 30, 208), 1), k.cross) << k.label;
    EXPECT_EQ(HasLine(c::kRed, Efs50Test::At(x, 208), Efs50Test::At(x + 30, 202), 1), k.cross) << k.label;
    const double tip = k.pointer == 1 ? 20 : 200;
    EXPECT_TRUE(StartsAt(OpKind::Polygon, colour, Efs50Test::At(tip, 205), 1)) << k.label;
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
    EXPECT_TRUE(At("NM", 59, 210, c::kBlue)) << mode;
    int box = -1, unit = -1, units = 0, i = 0;
    for (const gfx::RecordedOp& op : rec.Ops()) {
      if (op.kind == OpKind::Rectangle && op.filled && Near(op.points[0], Rose(-56, 69))) box = i;
      if (op.kind == OpKind::Text && op.text == "NM" && op.color == c::kBlue) unit = i, ++units;
      ++i;
    }
    EXPECT_EQ(units, 1) << mode;
    EXPECT_EQ(box >= 0, mode != 4);
    EXPECT_GT(unit, box) << mode;
  }
}

// TO/FR in the map modes only, from the desired track when NAV1 gives
// nothing; "WX OFF" in modes 2, 6 and 7 (5 units above its place, clear
// of pointer 1's block); "NO MAP" without the map's source.
TEST_F(DataFieldsTest, FlagsAndAnnunciations) {
  G().DesiredTrack = 100.0;
  G().AircraftHeading = 0.0;
  struct Case {
    int mode, nav_mode;
    double signal;
    bool active;
    const char* flag;  // "" none
    bool weather;
    double no_map_y;  // 0 none
  } cases[] = {
      {1, 1, 0, true, "", false, 0},    {2, 1, 0, true, "FR", true, 155}, {3, 1, 1, false, "TO", false, 0},
      {4, 2, 0, true, "", false, 0},    {5, 2, 0, false, "", false, 45},  {6, 2, 0, true, "FR", true, 0},
      {7, 1, 0, false, "", true, 0},    {3, 2, 0, false, "", false, 155},
  };
  for (const Case& k : cases) {
    M().EFS50NavMode = k.nav_mode;
    Radio(k.signal);
    F().ActiveWaypointIndex = k.active ? 1 : 999;
    Draw(k.mode);
    const std::string flag = k.flag;
    EXPECT_EQ(Has("TO") || Has("FR"), !flag.empty()) << k.mode;
    EXPECT_TRUE(flag.empty() || At(flag, 60, 3, c::kWhite, 10)) << k.mode;
    EXPECT_EQ(At("WX OFF", 0, 185, c::kWhite), k.weather) << k.mode;
    EXPECT_EQ(Has("NO MAP"), k.no_map_y != 0) << k.mode;
    EXPECT_TRUE(k.no_map_y == 0 || At("NO MAP", 110, k.no_map_y, c::kWhite, 10)) << k.mode;
  }
  // The station's side of the course the short way round: a station at 350
  // with a course of 10 is ahead, the reciprocal course behind.
  M().EFS50NavMode = 1;
  Radio(1.0);
  G().HeadingOffsetToken550 = 350.0;
  for (auto [course, flag] : {std::pair{10.0, "TO"}, {170.0, "FR"}, {260.0, "FR"}, {260.5, "TO"}}) {
    G().SelectedCourse = course;
    Draw(2);
    EXPECT_TRUE(At(flag, 60, 3, c::kWhite, 10)) << course;
  }
}

// Under the rose always; on the arc only more than 45 degrees off the
// heading, the shorter way, tilted 40 degrees on its side.
TEST_F(DataFieldsTest, SelectedHeadingSideAndTilt) {
  struct Case {
    int mode;
    double heading, selected;
    const char* text;
    int side;  // 0 none (on the arc), 1 right, -1 left, 2 under the rose
  } cases[] = {
      {1, 100, 0, "360\xC2\xB0", 2},  {2, 0, 359.7, "360\xC2\xB0", 2}, {4, 100, 146, "146\xC2\xB0", 1},
      {4, 100, 145, "", 0},       {5, 100, 54, "054\xC2\xB0", -1}, {6, 350, 10, "", 0},
      {7, 200, 0, "360\xC2\xB0", 1},  {4, 10, 300, "300\xC2\xB0", -1}, {4, 0, 180, "180\xC2\xB0", 1},
      {4, 270, 90, "090\xC2\xB0", -1},
  };
  for (const Case& k : cases) {
    G().AircraftHeading = k.heading;
    G().ApHeadingLockDir = k.selected;
    Draw(k.mode);
    const std::vector<const gfx::RecordedOp*> amber = Ops(OpKind::Text, c::kAmber);
    ASSERT_EQ(amber.size(), k.side == 0 ? 0u : 1u) << k.mode << " " << k.selected;
    if (k.side == 0) continue;
    const gfx::RecordedOp& t = *amber[0];
    EXPECT_EQ(t.text, std::string(k.text)) << k.selected;
    const double x = k.side == 2 ? 208 : k.side == 1 ? 220 : 15, y = k.side == 2 ? 180 : k.side == 1 ? 85 : 105;
    EXPECT_TRUE(Near(t.points[0], Efs50Test::At(x, y))) << k.selected;
    const double tilt = std::atan2(t.matrix[1] / sy, t.matrix[0] / sx) * 180 / M_PI;
    EXPECT_NEAR(tilt, k.side == 2 ? 0 : 40 * k.side, 1e-3) << k.selected;
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
    // Course, the three source letters, distance, "NM", ground speed, "KT",
    // the heading's digits, and the wind speed.
    EXPECT_EQ(Ops(OpKind::Text, c::kGreen).size(), shown ? 10u : 9u) << speed;
    EXPECT_EQ(StartsAt(OpKind::Polygon, c::kWhite, Efs50Test::At(16, 22), 1), shown) << speed;
    EXPECT_EQ(HasLine(c::kWhite, Efs50Test::At(11, 22), Efs50Test::At(4, 22), 2), shown) << speed;
  }
  EXPECT_TRUE(At("  25", 15, 15, c::kGreen));
}

}  // namespace
}  // namespace ovi::efs::test
