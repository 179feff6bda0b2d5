// Data blocks: each field's presence by mode and condition, texts, places,
// fonts and colours; the ETA carries; the vertical deviation scale.
#include <cmath>

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
 protected:
  void ExpectField(const Field& f) {
    SCOPED_TRACE(f.text);
    const auto t = Text(f.text);
    EXPECT_NEAR(t.x, f.x, 0.01);
    EXPECT_NEAR(t.y, f.y, 0.01);
    EXPECT_EQ(t.color, f.colour);
    EXPECT_EQ(t.font_size, f.size);
    EXPECT_EQ(t.font_family, "Arial");
    EXPECT_EQ(t.font_style, gfx::FontStyleBold);
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
  }
};

TEST_F(DataBlocksTest, FieldsShownByMode) {
  Flying();
  host.tokens[kTokenNav1Signal] = 1.0;
  struct Case {
    int mode;
    std::vector<const char*> shown, hidden;
  } cases[] = {
      {1, {"123.5", "NM", "TAS", "250", "NAV", "0942.4", "Z", "GS", "HDG"}, {"DME", "VOR 1", "TCAS", "N"}},
      {2, {"DME", "VOR 1", "0942.4", "GS", "HDG"}, {"123.5", "TAS", "NAV", "TCAS"}},
      {3, {"123.5", "TAS", "NAV", "TCAS", "OFF"}, {"DME", "VOR 1", "N"}},
      {4, {"DME", "VOR 1", "TCAS"}, {"TAS", "NAV"}},
      {5, {"123.5", "TAS", "TCAS", "300\xC2\xB0/23"}, {"NAV", "VOR 1", "DME", "N"}},
      {6, {"123.5", "TAS", "TCAS"}, {"NAV", "N"}},
      {7, {"123.5", "TAS", "N", "0942.4"}, {"TCAS", "NAV", "300\xC2\xB0/23"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "mode " << c.mode);
    model().HWB737NDMode = c.mode;
    Draw();
    for (const char* s : c.shown) EXPECT_TRUE(Has(s)) << s;
    for (const char* s : c.hidden) EXPECT_FALSE(Has(s)) << s;
  }
  // Without an active waypoint neither its distance nor the ETA.
  plan().ActiveWaypointIndex = model::kNoWaypoint;
  model().HWB737NDMode = 5;
  Draw();
  EXPECT_FALSE(Has("123.5"));
  EXPECT_FALSE(Has("NM"));
  EXPECT_FALSE(Has("0942.4"));
  EXPECT_FALSE(Has("Z"));
}

TEST_F(DataBlocksTest, PlacesColoursAndFonts) {
  Flying();
  model().HWB737NDMode = 5;
  Draw();
  const float nm_x = 10 + 6.5f * 5;  // after the five characters of "123.5"
  for (const Field& f : std::vector<Field>{
           {"123.5", 10, 8, colour::kWhite, 12},
           {"NM", nm_x, 10, colour::kWhite, 9},
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
  host.tokens[kTokenNav1Signal] = 1.0;
  host.tokens[kTokenNav1Frequency] = 0x1130;
  guidance().Nav1DmeDistance = 12.34;
  guidance().AdfSignal = 2.0;
  host.tokens[kTokenAdfFrequency] = 0x350;
  Draw();
  for (const Field& f : std::vector<Field>{
           {"DME", 5, 10, colour::kWhite, 9},
           {"12.3", 30, 8, colour::kWhite, 12},
           {"HDG", 83, 30 + kHeadingLabelsDy, colour::kGreen, 9},
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
  EXPECT_FALSE(Has("OFF"));
  model().HWB737NDMode = 7;
  Draw();
  ExpectField({"N", 100, 50, colour::kGreen, 12});
}

TEST_F(DataBlocksTest, RadioFieldsFollowSignalAndReceiverFlags) {
  model().HWB737NDMode = 4;
  guidance().Nav1DmeDistance = 8.0;
  struct Case {
    double signal, flags, adf;
    const char *source, *frequency, *dme;
    bool adf_shown;
  } cases[] = {
      {1.0, kLocalizer + kGlideslope, 1.5, "ILS 1", "109.50", "8.0", true},
      {1.0, kLocalizer, 1.0, "VOR 1", "109.50", "8.0", false},  // a localizer without glideslope
      {1.0, kGlideslope, 0.0, "VOR 1", "109.50", "8.0", false},
      {0.0, kLocalizer + kGlideslope, 0.0, "ILS 1", "------", "- - -", false},
  };
  host.tokens[kTokenNav1Frequency] = 0x0950;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.source);
    host.tokens[kTokenNav1Signal] = c.signal;
    host.tokens[kTokenNav1Flags] = c.flags;
    guidance().AdfSignal = c.adf;
    Draw();
    EXPECT_TRUE(Has(c.source));
    EXPECT_TRUE(Has(c.frequency));
    EXPECT_TRUE(Has(c.dme));
    EXPECT_EQ(Has("ADF 1"), c.adf_shown);
  }
  guidance().Nav1DmeDistance = 0.0;
  host.tokens[kTokenNav1Signal] = 1.0;
  Draw();
  EXPECT_TRUE(Has("- - -"));
}

TEST_F(DataBlocksTest, HeadingTasAndWindReadouts) {
  model().HWB737NDMode = 5;
  struct Case {
    double heading;
    const char* shown;
  } headings[] = {{0.4, "360"}, {359.9, "359"}, {0.0, "360"}, {9.99, "009"}, {360.0, "360"}};
  for (const Case& c : headings) {
    guidance().AircraftHeading = c.heading;
    Draw();
    EXPECT_EQ(Text(c.shown).font_size, 15.0f) << c.heading;
  }
  guidance().TrueAirspeedEstimate = 100.0;  // "exceeds 100"
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
  auto arrows = Ops(OpKind::Polygon, colour::kWhite, 1);
  ASSERT_EQ(arrows.size(), 1u);
  const gfx::PointF tip = Rotated(0, -8, 120, 15, 247);
  EXPECT_NEAR(arrows[0]->points[0].X, tip.X, 0.01);
  EXPECT_NEAR(arrows[0]->points[0].Y, tip.Y, 0.01);
}

TEST_F(DataBlocksTest, EtaCarriesMinutesAndHours) {
  struct Case {
    double ete_hours, ete_minutes, tenths, zulu_hour, zulu_minute;
    const char* text;
  } cases[] = {
      {0, 5.0, 0, 23, 58, "0003.0"},   // 23:58 plus five minutes
      {1, 45.7, 7, 22, 30, "0015.7"},  // 75 minutes carry, 24 hours wrap
      {0, 59.99, 9, 23, 59, "0058.9"},  // the minute is whole: never "60"
      {0, 0.0, 0, 0, 0, "0000.0"},
      {30, 0.0, 0, 10, 0, "1600.0"},  // a day and more en route
      {0, 12.4, 4, 9, 30, "0942.4"},
      {NAN, INFINITY, -3, 9, 30, "0930.0"},
  };
  for (const Case& c : cases) {
    const EtaText eta = FormatEta(c.ete_hours, c.ete_minutes, c.tenths, c.zulu_hour, c.zulu_minute);
    EXPECT_STREQ(eta.text, c.text);
    EXPECT_EQ(eta.length, 6u);
  }
}

TEST_F(DataBlocksTest, SelectedHeadingMarkerTurnsWithTheBug) {
  guidance().AircraftHeading = 100.0;
  guidance().ApHeadingLockDir = 130.0;
  struct Case {
    int mode;
    float cx, cy, outer;
    bool dashed;
  } cases[] = {{1, 122, 151, -87, true}, {6, 122, 171, -107, true}, {5, 122, 249, -218, true},
               {7, 122, 249, -218, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    model().HWB737NDMode = c.mode;
    Draw();
    int dashed = 0;
    for (const gfx::RecordedOp* op : Ops(OpKind::Line, colour::kMagenta)) {
      if (op->dash != gfx::DashStyle::Dash) continue;
      ++dashed;
      const gfx::PointF end = Rotated(0, c.outer, 30, c.cx, c.cy);
      EXPECT_NEAR(op->points[1].X, end.X, 0.01);
      EXPECT_NEAR(op->points[1].Y, end.Y, 0.01);
    }
    EXPECT_EQ(dashed, c.dashed ? 1 : 0);
  }
}

TEST_F(DataBlocksTest, VerticalDeviationPointer) {
  struct Case {
    double path, altitude, since_tod, to_constraint;
    int y, number, number_y;
  } cases[] = {
      {10000, 10300, 5, 20, 248, -1, 0},     // 300 ft above: 226 + 22.5, truncated
      {10000, 10500, 5, 20, 258, 500, 265},  // pegged, the number below
      {10000, 10399, 5, 20, 255, -1, 0},
      {10000, 10400, 5, 20, 258, 400, 265},  // exactly 400 ft
      {10000, 9700, 5, 20, 204, -1, 0},      // below the path
      {10000, 9500, 5, 20, 194, 500, 185},
      {10000, 30000, 5, 20, 258, 9999, 265},  // limited to four digits
      {30000, 10000, 5, 20, 194, 9999, 185},
      {10000, 10000, 5, 20, 226, -1, 0},      // on the path
      {10000, 10500, 20, 20, 226, -1, 0},     // past the constraint's distance
      {NAN, 10500, 5, 20, 258, 9999, 265},    // no path: taken as 0 ft
  };
  for (const Case& c : cases) {
    int number = 0, number_y = 0;
    const int y = VerticalDeviationPointerY(c.path, c.altitude, c.since_tod, c.to_constraint, &number, &number_y);
    EXPECT_EQ(y, c.y) << c.path << " " << c.altitude;
    EXPECT_EQ(number, c.number) << c.path << " " << c.altitude;
    if (c.number >= 0) {
      EXPECT_EQ(number_y, c.number_y);
    }
  }
}

TEST_F(DataBlocksTest, VerticalDeviationScaleByModeProfileAndWaypoint) {
  Flying();
  guidance().VerticalProfileValid = 1;
  guidance().VnavPathAltitude = 11000.0;
  guidance().AircraftAltitude = 11500.0;  // 500 ft above: pegged, number under the scale
  guidance().DistanceSinceTod = 3.0;
  guidance().DistanceTodToConstraint = 30.0;
  auto pointer_top = [this]() {
    for (const gfx::RecordedOp* op : rec.Find(OpKind::Lines))
      if (op->color == colour::kWhite && op->points.size() == 6 && op->points[0].X == 218.0f) return op->points[0].Y;
    return -1.0f;
  };
  for (int mode = 1; mode <= 7; ++mode) {
    SCOPED_TRACE(mode);
    model().HWB737NDMode = mode;
    Draw();
    const bool shown = mode == 1 || mode == 3 || mode == 5 || mode == 6;
    EXPECT_EQ(Has(" 500"), shown);
    EXPECT_EQ(pointer_top(), shown ? 258.0f : -1.0f);
  }
  model().HWB737NDMode = 5;
  Draw();
  ExpectField({" 500", 220, 265, colour::kWhite, 9});
  EXPECT_EQ(Ops(OpKind::Rectangle, colour::kBlack, 1).back()->points[0].X, 218.0f);  // the mask box

  guidance().VerticalProfileValid = 0;
  Draw();
  EXPECT_EQ(pointer_top(), -1.0f);
  guidance().VerticalProfileValid = 1;
  plan().ActiveWaypointIndex = model::kNoWaypoint;
  Draw();
  EXPECT_EQ(pointer_top(), -1.0f);
}

}  // namespace
}  // namespace ovi::nd::test
