// Data blocks: each field's presence by mode and condition, places, fonts
// and colours, the ETA carries, the readouts' edges and the vertical
// deviation scale.
#include "src/instruments/nd/b737_data_blocks.h"
#include "tests/instruments/nd/nd_test_support.h"

namespace ovi::nd::test {
namespace {

using gfx::OpKind;

struct Field {
  const char* text;
  float x, y;
  gfx::ARGB colour;
  float size;
};

class DataBlocksTest : public NdTest {
 public:
  void ExpectField(const Field& f) {
    const auto t = Text(f.text);
    ExpectAt(t, gfx::PointF(f.x, f.y));
    EXPECT_EQ(t.color, f.colour) << f.text;
    EXPECT_EQ(t.font_size, f.size) << f.text;
    EXPECT_EQ(t.font_style, gfx::FontStyleBold) << f.text;
  }
  void Flying() {
    ActiveRoute(51.47, -0.45, 50.9, -1.4);
    guidance().ActiveWaypointDistance = 123.46;
    guidance().TrueAirspeedEstimate = 250.0;
    guidance().GroundSpeedKnots = 312.4;
    guidance().AircraftHeading = 47.3;
    guidance().ZuluHour = 9;
    guidance().ZuluMinute = 30;
    guidance().EteMinutes = 12.4;
    guidance().EteMinuteTenths = 4;
    guidance().WindSpeed = 23.0;
    guidance().WindDirectionMagnetic = 300.0;
    Radio(1.0);
  }
};

TEST_F(DataBlocksTest, FieldsShownByMode) {
  Flying();
  struct Case {
    int mode;
    std::vector<const char*> shown, hidden;
  } cases[] = {
      {1, {"123.5", "NM", "TAS", "250", "NAV", "0942.4", "Z", "GS", "HDG"}, {"DME", "VOR 1", "TCAS", "N"}},
      {2, {"DME", "VOR 1", "0942.4", "GS", "HDG"}, {"123.5", "TAS", "NAV", "TCAS"}},
      {3, {"123.5", "TAS", "NAV", "TCAS", "OFF"}, {"DME", "VOR 1", "N"}},
      {4, {"DME", "VOR 1", "TCAS"}, {"TAS", "NAV"}},
      {5, {"123.5", "TAS", "TCAS", "300\xC2\xB0/23"}, {"NAV", "DME", "N"}},
      {6, {"123.5", "TAS", "TCAS"}, {"NAV", "N"}},
      {7, {"123.5", "TAS", "N", "0942.4"}, {"TCAS", "NAV", "300\xC2\xB0/23"}},
  };
  for (const Case& c : cases) {
    model().HWB737NDMode = c.mode;
    Draw();
    for (const char* s : c.shown) EXPECT_TRUE(Has(s)) << c.mode << " " << s;
    for (const char* s : c.hidden) EXPECT_FALSE(Has(s)) << c.mode << " " << s;
  }
  plan().ActiveWaypointIndex = model::kNoWaypoint;  // no distance, no ETA
  model().HWB737NDMode = 5;
  Draw();
  for (const char* s : {"123.5", "NM", "0942.4", "Z"}) EXPECT_FALSE(Has(s)) << s;
}

TEST_F(DataBlocksTest, PlacesColoursAndFonts) {
  Flying();
  model().HWB737NDMode = 5;
  Draw();
  for (const Field& f : std::vector<Field>{
           {"123.5", 10, 8, colour::kWhite, 12},
           {"NM", 10 + 6.5f * 5, 10, colour::kWhite, 9},  // after the five characters of "123.5"
           {"TAS", 10, 23, colour::kWhite, 9},
           {"250", kTasValueX, 20, colour::kWhite, 12},
           {"TCAS", 10, 95, colour::kWhite, 9},
           {"OFF", 10, 95 + kOffRowStep, colour::kWhite, 9},
           {"HDG", 83, 5 + kHeadingLabelsDy, colour::kGreen, 9},
           {"047", 107, 5 + kHeadingDigitsDy, colour::kWhite, 15},
           {"M", 140, 5 + kHeadingLabelsDy, colour::kGreen, 9},
           {"0942.4", 190, 8, colour::kWhite, 12},
           {"Z", 190 + 6.5f * 6, 10, colour::kWhite, 9},
           {"GS", 190, 20, colour::kWhite, 9},
           {"312", kGsValueX, 18, colour::kWhite, 12},
           {"300\xC2\xB0/23", 10, 255, colour::kWhite, 12},
       })
    ExpectField(f);

  model().HWB737NDMode = 2;  // the heading row moves down with the rose's box
  host.tokens[24] = 0x1130;  // NAV1 111.30
  host.tokens[16] = 0x350;   // ADF 350
  guidance().Nav1DmeDistance = 12.34;
  guidance().AdfSignal = 2.0;
  Draw();
  for (const Field& f : std::vector<Field>{
           {"DME", 5, 10, colour::kWhite, 9},
           {"12.3", 30, 8, colour::kWhite, 12},
           {"047", 107, 30 + kHeadingDigitsDy, colour::kWhite, 15},
           {"VOR 1", 10, 285, colour::kGreen, 12},
           {"111.30", 190, 285, colour::kGreen, 12},
           {"ADF 1", 10, 270, colour::kBlue, 12},
           {"350.0", 190, 270, colour::kBlue, 12},
       })
    ExpectField(f);
  model().HWB737NDMode = 6;
  model().NdShowTraffic = 1;
  Draw();
  ExpectField({"TFC", 10, 33, colour::kGreen, 9});
  model().HWB737NDMode = 7;
  Draw();
  ExpectField({"N", 100, 50, colour::kGreen, 12});
}

TEST_F(DataBlocksTest, RadioFieldsFollowSignalAndReceiverFlags) {
  model().HWB737NDMode = 4;
  guidance().Nav1DmeDistance = 8.0;
  host.tokens[24] = 0x0950;
  struct Case {
    double signal, flags, adf;
    const char *source, *frequency, *dme;
  } cases[] = {
      {1.0, 0xC0, 1.5, "ILS 1", "109.50", "8.0"},
      {1.0, 0x80, 1.0, "VOR 1", "109.50", "8.0"},  // a localizer without glideslope
      {0.0, 0xC0, 0.0, "ILS 1", "------", "- - -"},
  };
  for (const Case& c : cases) {
    Radio(c.signal, c.flags);
    guidance().AdfSignal = c.adf;
    Draw();
    for (const char* s : {c.source, c.frequency, c.dme}) EXPECT_TRUE(Has(s)) << c.source << " " << s;
    EXPECT_EQ(Has("ADF 1"), c.adf > 1.0);
  }
}

TEST_F(DataBlocksTest, HeadingTasAndWindAtTheirEdges) {
  model().HWB737NDMode = 5;
  for (auto [heading, shown] : {std::pair{0.4, "360"}, {359.9, "359"}, {9.99, "009"}, {360.0, "360"}}) {
    guidance().AircraftHeading = heading;
    Draw();
    EXPECT_EQ(Text(shown).font_size, 15.0f) << heading;
  }
  guidance().TrueAirspeedEstimate = 100.0;  // TAS must exceed 100
  guidance().WindSpeed = 0.5;
  Draw();
  EXPECT_EQ(Text("- - -").x, kTasValueX);
  EXPECT_TRUE(Has("---\xC2\xB0/---"));
  EXPECT_TRUE(Ops(OpKind::Polygon, colour::kWhite, 1).empty());  // no wind arrow
  // Wind from 300 with heading 0 blows towards 120: the arrow points there.
  guidance().AircraftHeading = 0.0;
  guidance().WindSpeed = 1.0;
  guidance().WindDirectionMagnetic = 300.0;
  Draw();
  EXPECT_TRUE(Has("300\xC2\xB0/ 1"));
  ExpectAt(Ops(OpKind::Polygon, colour::kWhite, 1).at(0)->points[0], Rotated(0, -8, 120, 15, 247));
}

TEST_F(DataBlocksTest, EtaCarriesMinutesAndHours) {
  struct Case {
    double ete_hours, ete_minutes, tenths, zulu_hour, zulu_minute;
    const char* text;
  } cases[] = {
      {0, 5.0, 0, 23, 58, "0003.0"},    // 23:58 plus five minutes
      {1, 45.7, 7, 22, 30, "0015.7"},   // 75 minutes carry, 24 hours wrap
      {0, 59.99, 9, 23, 59, "0058.9"},  // the minute is whole: never "60"
      {30, 0.0, 0, 10, 0, "1600.0"},    // more than a day en route
      {0, 30.0, 0, 10, 30, "1100.0"},   // minutes adding up to exactly 60 carry
      {NAN, INFINITY, -3, 9, 30, "0930.0"},
  };
  for (const Case& c : cases)
    EXPECT_STREQ(FormatEta(c.ete_hours, c.ete_minutes, c.tenths, c.zulu_hour, c.zulu_minute).text, c.text);
}

TEST_F(DataBlocksTest, SelectedHeadingMarkerTurnsWithTheBug) {
  guidance().AircraftHeading = 100.0;
  guidance().ApHeadingLockDir = 130.0;
  struct Case {
    int mode;
    float cy, outer;
    int dashed;
  } cases[] = {{1, 151, -87, 1}, {6, 171, -107, 1}, {5, 249, -218, 1}, {7, 249, -218, 0}};
  for (const Case& c : cases) {
    model().HWB737NDMode = c.mode;
    Draw();
    int dashed = 0;
    for (const gfx::RecordedOp* op : Ops(OpKind::Line, colour::kMagenta)) {
      if (op->dash != gfx::DashStyle::Dash) continue;
      ++dashed;
      ExpectAt(op->points[1], Rotated(0, c.outer, 30, 122, c.cy));
    }
    EXPECT_EQ(dashed, c.dashed) << c.mode;
  }
}

TEST_F(DataBlocksTest, VerticalDeviationScale) {
  struct Case {
    double path, altitude, since_tod;
    int y, number, number_y;
  } cases[] = {
      {10000, 10300, 5, 248, -1, 0},     // 300 ft above: 226 + 22.5, truncated
      {10000, 10500, 5, 258, 500, 265},  // pegged, the number under the scale
      {10000, 10400, 5, 258, 400, 265},  // exactly 400 ft
      {10000, 9700, 5, 203, -1, 0},      // 300 ft below: 226 - 22.5 = 203.5, truncated
      {10000, 9990, 5, 225, -1, 0},      // 10 ft below: 225.25
      {10000, 10010, 5, 226, -1, 0},     // 10 ft above: 226.75
      {10000, 9601, 5, 196, -1, 0},      // 399 ft below: 196.075, not yet pegged
      {10000, 9500, 5, 194, 500, 185},
      {10000, 30000, 5, 258, 9999, 265},  // four digits at most
      {10000, 10000, 5, 226, -1, 0},      // on the path
      {10000, 10500, 20, 226, -1, 0},     // past the constraint's distance
  };
  for (const Case& c : cases) {
    int number = 0, number_y = 0;
    EXPECT_EQ(VerticalDeviationPointerY(c.path, c.altitude, c.since_tod, 20, &number, &number_y), c.y) << c.altitude;
    EXPECT_EQ(number, c.number) << c.altitude;
    if (c.number >= 0) {
      EXPECT_EQ(number_y, c.number_y);
    }
  }
  // Drawn in modes 1, 3, 5 and 6 with a valid profile and an active waypoint.
  Flying();
  guidance().VerticalProfileValid = 1;
  guidance().VnavPathAltitude = 11000.0;
  guidance().AircraftAltitude = 11500.0;
  guidance().DistanceSinceTod = 3.0;
  guidance().DistanceTodToConstraint = 30.0;
  for (int mode = 1; mode <= 7; ++mode) {
    model().HWB737NDMode = mode;
    Draw();
    EXPECT_EQ(Has(" 500"), mode == 1 || mode == 3 || mode == 5 || mode == 6) << mode;
  }
  model().HWB737NDMode = 5;
  Draw();
  ExpectField({" 500", 220, 265, colour::kWhite, 9});
  guidance().VerticalProfileValid = 0;
  Draw();
  EXPECT_FALSE(Has(" 500"));
}


// The heading box (width 1) closes at the top only over the rose; its
// pointer tip stands 26 units below the box's top. The selected-heading
// marker keeps its shape as it turns with the bug; the rose has its fixed
// triangle at the top.
TEST_F(DataBlocksTest, HeadingBoxBugAndTopTriangleShapes) {
  guidance().AircraftHeading = 100.0;
  guidance().ApHeadingLockDir = 70.0;  // 30 degrees left
  for (auto [mode, y0] : {std::pair{1, 30}, {2, 30}, {3, 5}, {6, 5}, {7, 5}}) {
    SCOPED_TRACE(::testing::Message() << "mode " << mode);
    model().HWB737NDMode = mode;
    Draw();
    const gfx::RecordedOp* box = nullptr;
    for (const gfx::RecordedOp* op : Ops(OpKind::Lines, colour::kWhite))
      if (op->points.size() == 7 && op->pen_width == 1.0f) box = op;
    ASSERT_NE(box, nullptr);
    const float y = static_cast<float>(y0);
    const gfx::PointF corners[] = {{107, y},      {107, y + 15}, {115, y + 15}, {122, y + 26},
                                   {129, y + 15}, {137, y + 15}, {137, y}};
    for (int i = 0; i < 7; ++i) ExpectAt(box->points[i], corners[i]);
    int top_lines = 0;
    for (const gfx::RecordedOp* op : Ops(OpKind::Line, colour::kWhite))
      top_lines += op->pen_width == 1.0f && op->points[0].Y == y && op->points[1].Y == y ? 1 : 0;
    EXPECT_EQ(top_lines, mode <= 2 ? 1 : 0);
  }

  model().HWB737NDMode = 1;
  Draw();
  const gfx::RecordedOp* triangle = Outline(colour::kWhite, 4);
  ASSERT_NE(triangle, nullptr);
  ExpectAt(triangle->points[0], gfx::PointF(122, 71));
  ExpectAt(triangle->points[1], gfx::PointF(129, 81));
  ExpectAt(triangle->points[2], gfx::PointF(115, 81));
  // The bug's outer bar at 87 units, turned 30 degrees left about the rose.
  bool outer_bar = false;
  for (const gfx::RecordedOp* op : Ops(OpKind::Line, colour::kMagenta)) {
    const gfx::PointF a = Rotated(-10, -87, -30, 122, 151), b = Rotated(10, -87, -30, 122, 151);
    outer_bar |= std::fabs(op->points[0].X - a.X) < 0.01 && std::fabs(op->points[0].Y - a.Y) < 0.01 &&
                 std::fabs(op->points[1].X - b.X) < 0.01 && std::fabs(op->points[1].Y - b.Y) < 0.01;
  }
  EXPECT_TRUE(outer_bar);

  model().HWB737NDMode = 5;
  Draw();
  const gfx::RecordedOp* marker = Outline(colour::kMagenta, 8);
  ASSERT_NE(marker, nullptr);
  EXPECT_EQ(marker->pen_width, 2.0f);
  const double corners[][2] = {{0, -218}, {-7, -226}, {-10, -226}, {-10, -218},
                               {10, -218}, {10, -226}, {6, -226},  {0, -218}};
  for (int i = 0; i < 8; ++i) ExpectAt(marker->points[i], Rotated(corners[i][0], corners[i][1], -30, 122, 249));
}

}  // namespace
}  // namespace ovi::nd::test
