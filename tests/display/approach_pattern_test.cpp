// The approach pattern: the lines of the centreline, intercepts and traffic
// pattern, their altitude labels, and no pattern without a selected runway.
// The airport lies south of the equator just west of 180 degrees east, so
// the centreline crosses the date line.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "src/display/map_overlays.h"
#include "src/display/state.h"
#include "src/guidance/state.h"
#include "src/host/module_state.h"
#include "src/model/state.h"
#include "src/navdb/state.h"
#include "tests/display/recording.h"

namespace ovi::display {
namespace {

using gfx::OpKind;

constexpr gfx::ARGB kPattern = 0xFF5BE5A7;
constexpr double kLat = -33.95, kLon = 179.95;
// Radius 101 at range 40: 2.525 pixels per NM (no pixel boundary falls on a
// whole number of NM).
constexpr int kRadius = 101;
constexpr double kPpn = 101.0 / 40.0;
constexpr int kCx = 150, kCy = 150;

struct XY {
  double x, y;
};

class ApproachPatternTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetModuleState();
    guidance::guidance_state.PlaneLatitude = kLat;  // the aircraft stands on the threshold
    guidance::guidance_state.PlaneLongitude = kLon;
    SetRunway(270, 270, 0);
  }
  static void SetRunway(double heading, double approach_course, int right) {
    navdb::State& n = navdb::navdb_state;
    model::RunwayRecord& r = n.AirportRunwayTable[1];
    r.number_text = "27";
    r.latitude = kLat;
    r.longitude = kLon;
    r.heading = heading;
    r.approach_course = approach_course;
    r.right_pattern = right;
    n.AirportRunwayCount = 1;
    n.SelectedRunwayBase = 1;
    n.SelectedRunwayOffset = 1;
  }
  void Draw(double range = 40.0, double sx = 1.0, double sy = 1.0) {
    r.rec.Clear();
    gfx::Graphics g(&r.dc);
    DrawApproachPattern(g, kRadius, kCx, kCy, range, sx, sy);
  }
  // The six lines in drawing order: T-C, B-D, B-E, F-G, G-H, H-I.
  std::vector<const gfx::RecordedOp*> Lines() const { return r.rec.Find(OpKind::Line); }
  // A point `east` and `north` NM from the threshold, in map pixels.
  static XY At(double east, double north) { return {kCx + east * kPpn, kCy - north * kPpn}; }
  static void ExpectAt(const gfx::PointF& p, XY want, const char* what) {
    EXPECT_NEAR(p.X, want.x, 1.0) << what;
    EXPECT_NEAR(p.Y, want.y, 1.0) << what;
  }

  test::Recording r;
};

TEST_F(ApproachPatternTest, CentrelineInterceptsAndLeftTrafficPattern) {
  Draw();
  auto lines = Lines();
  ASSERT_EQ(lines.size(), 6u);
  for (const auto* l : lines) {
    EXPECT_EQ(l->color, kPattern);
    EXPECT_FLOAT_EQ(l->pen_width, 2.0f);
  }
  // Approach course 270: the centreline runs east, 60 NM; the intercept
  // legs leave 14 NM out on 060 and 120 for 15 NM.
  EXPECT_FLOAT_EQ(lines[0]->points[0].X, kCx);
  EXPECT_FLOAT_EQ(lines[0]->points[0].Y, kCy);
  ExpectAt(lines[0]->points[1], At(60, 0), "C");
  ExpectAt(lines[1]->points[0], At(14, 0), "B");
  ExpectAt(lines[1]->points[1], At(14 + 12.990, 7.5), "D");
  ExpectAt(lines[2]->points[1], At(14 + 12.990, -7.5), "E");
  // Left pattern on heading 270: crosswind 3 NM out turning south, downwind
  // east for 8 NM, base north for 5 NM.
  ExpectAt(lines[3]->points[0], At(-3, 0), "F");
  ExpectAt(lines[3]->points[1], At(-3, -5), "G");
  ExpectAt(lines[4]->points[1], At(5, -5), "H");
  ExpectAt(lines[5]->points[1], At(5, 0), "I");
  EXPECT_TRUE(r.rec.Texts().empty());  // DispAppPtrnAlts is 0
  EXPECT_DOUBLE_EQ(display_state.MapPixelsPerNm, kPpn);
}

TEST_F(ApproachPatternTest, RightPatternAndReciprocalsThatWrap) {
  // Heading 090, right pattern: crosswind toward 180, downwind 270, base
  // toward 360.
  SetRunway(90, 90, 1);
  Draw();
  auto lines = Lines();
  ASSERT_EQ(lines.size(), 6u);
  ExpectAt(lines[0]->points[1], At(-60, 0), "C on 270");
  ExpectAt(lines[3]->points[0], At(3, 0), "F");
  ExpectAt(lines[3]->points[1], At(3, -5), "G");
  ExpectAt(lines[4]->points[1], At(-5, -5), "H");
  ExpectAt(lines[5]->points[1], At(-5, 0), "I");

  // Approach course 180: the reciprocal 360 reads 0, the centreline runs
  // north and its intercept legs leave on 330 and 030.
  SetRunway(180, 180, 0);
  Draw();
  lines = Lines();
  ASSERT_EQ(lines.size(), 6u);
  ExpectAt(lines[0]->points[1], At(0, 60), "C on 360");
  ExpectAt(lines[1]->points[1], At(-7.5, 14 + 12.990), "D on 330");
  ExpectAt(lines[2]->points[1], At(7.5, 14 + 12.990), "E on 030");
}

TEST_F(ApproachPatternTest, VariationTurnsCoursesTrueAndTheMapTurnsByItsHeading) {
  // Magnetic 270 with 10 degrees east variation is true 280; a map with
  // heading 100 up shows the centreline straight up and the crosswind
  // turn point straight down.
  guidance::guidance_state.MagneticVariation = 10;
  guidance::guidance_state.MapHeading = 100;
  Draw();
  auto lines = Lines();
  ASSERT_EQ(lines.size(), 6u);
  ExpectAt(lines[0]->points[1], At(0, 60), "C");
  ExpectAt(lines[3]->points[0], At(0, -3), "F");
}

TEST_F(ApproachPatternTest, GridFactorsScalePointsPensAndLabels) {
  model::model_state.DispAppPtrnAlts = 1;
  navdb::navdb_state.AirportDetailsElevationText = "645";
  Draw(20, 2.0, 1.5);
  auto lines = Lines();
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_FLOAT_EQ(lines[0]->pen_width, 4.0f);
  EXPECT_FLOAT_EQ(lines[0]->points[0].X, 300);
  EXPECT_FLOAT_EQ(lines[0]->points[0].Y, 225);
  // At range 20 the scale doubles: B lies 14 NM x 5.05 east of the centre.
  const double b_x = (kCx + 14 * 5.05) * 2.0;
  ExpectAt(lines[1]->points[0], {b_x, 225}, "B");
  gfx::Recorder::TextItem t;
  ASSERT_TRUE(r.rec.FindText("3600", &t));  // (645 + 3000) / 100 = 36
  EXPECT_NEAR(t.x, lines[1]->points[0].X, 0.01);
  EXPECT_NEAR(t.y, lines[1]->points[0].Y + 10.5, 1.0);  // 7 x sy below B
  EXPECT_EQ(t.color, kPattern);
  EXPECT_EQ(t.font_family, "Arial");
  EXPECT_FLOAT_EQ(t.font_size, 18);
  ASSERT_TRUE(r.rec.FindText("2100", &t));  // (645 + 1500) / 100 = 21
  EXPECT_NEAR(t.x, lines[3]->points[1].X, 0.01);
}

TEST_F(ApproachPatternTest, AltitudeLabelsByElevationAndRange) {
  model::model_state.DispAppPtrnAlts = 1;
  struct Case {
    const char* elevation;
    double range;
    std::vector<std::string> texts;
  };
  for (const Case& c : std::vector<Case>{{"", 20, {"3000", "1500"}},
                                         {"645", 20, {"3600", "2100"}},
                                         {"5355", 10, {"8300", "6800"}},
                                         {"-50", 5, {"2900", "1400"}},
                                         {"645", 20.001, {}},
                                         {"645", 25, {}}}) {
    navdb::navdb_state.AirportDetailsElevationText = c.elevation;
    Draw(c.range);
    std::vector<std::string> texts;
    for (const auto& t : r.rec.Texts()) texts.push_back(t.text);
    EXPECT_EQ(texts, c.texts) << "elevation '" << c.elevation << "' range " << c.range;
    EXPECT_EQ(Lines().size(), 6u);
  }
}

TEST_F(ApproachPatternTest, NoSelectedRunwayNoPattern) {
  navdb::State& n = navdb::navdb_state;
  struct Case {
    int base, offset, count;
  };
  for (const Case& c : std::vector<Case>{{-999, 1, 1}, {1, 2, 1}, {0, 1, 1}, {1, 1, 0}, {2147483647, 2, 1}}) {
    n.SelectedRunwayBase = c.base;
    n.SelectedRunwayOffset = c.offset;
    n.AirportRunwayCount = c.count;
    Draw();
    EXPECT_EQ(r.rec.Size(), 0u) << c.base << " + " << c.offset;
  }
  // A range that gives no scale draws nothing either.
  SetRunway(270, 270, 0);
  for (double range : {0.0, -5.0, std::nan("")}) {
    Draw(range);
    EXPECT_EQ(r.rec.Size(), 0u) << range;
  }
}

}  // namespace
}  // namespace ovi::display
