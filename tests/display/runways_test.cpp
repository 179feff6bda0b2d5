// The runways overlay: lines and designators with one runway selected and
// with none, the far-end rewrite of the table, and the parking arrow. The
// airport lies south and west of zero.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "src/display/map_overlays.h"
#include "src/guidance/state.h"
#include "src/host/module_state.h"
#include "src/navdb/state.h"
#include "tests/display/recording.h"

namespace ovi::display {
namespace {

using gfx::OpKind;

constexpr gfx::ARGB kYellow = 0xFFFFFF00, kRed = 0xFFC90101, kAmber = 0xFFE9B73E;
constexpr double kLat = -12.5, kLon = -77.1;
// Radius 100 at range 0.5: 200 pixels per NM. One degree of latitude is
// 60 NM.
constexpr int kCx = 150, kCy = 150;

class RunwaysTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetModuleState();
    guidance::guidance_state.PlaneLatitude = kLat;
    guidance::guidance_state.PlaneLongitude = kLon;
  }
  static void Add(const char* number, double lat, double lon, double heading, int length) {
    navdb::State& n = navdb::navdb_state;
    model::RunwayRecord& r = n.AirportRunwayTable[++n.AirportRunwayCount];
    r.number_text = number;
    r.latitude = lat;
    r.longitude = lon;
    r.heading = heading;
    r.approach_course = heading;
    r.length = length;
  }
  static void Select(int index) {
    navdb::navdb_state.SelectedRunwayBase = 1;
    navdb::navdb_state.SelectedRunwayOffset = index;
  }
  // 09L at the aircraft, 1 NM long (6076 ft); 27R with a threshold still
  // unknown; 18 0.3 NM north, 0.5 NM long; 36 unknown; 04C 0.6 NM south,
  // 0.25 NM long.
  static void AddAirport() {
    Add("09L", kLat, kLon, 90, 6076);
    Add("27R", 0, 0, 270, 6076);
    Add("18", kLat + 0.005, kLon, 180, 3038);
    Add("36", 0, 0, 0, 3038);
    Add("04C", kLat - 0.01, kLon, 40, 1519);
  }
  void Draw(double range = 0.5) {
    r.rec.Clear();
    gfx::Graphics g(&r.dc);
    DrawAirportRunways(g, 100, kCx, kCy, range);
  }
  struct Label {
    std::string text;
    gfx::ARGB colour;
    double x, y;
  };
  void ExpectLabels(const std::vector<Label>& want) const {
    auto texts = r.rec.Texts();
    ASSERT_EQ(texts.size(), want.size());
    for (std::size_t i = 0; i < want.size(); ++i) {
      EXPECT_EQ(texts[i].text, want[i].text) << i;
      EXPECT_EQ(texts[i].color, want[i].colour) << want[i].text;
      EXPECT_NEAR(texts[i].x, want[i].x, 1.0) << want[i].text;
      EXPECT_NEAR(texts[i].y, want[i].y, 1.0) << want[i].text;
      EXPECT_EQ(texts[i].font_family, "Arial");
      EXPECT_FLOAT_EQ(texts[i].font_size, 10);
    }
  }

  test::Recording r;
};

TEST_F(RunwaysTest, SecondOfAPairSelected) {
  AddAirport();
  Select(2);
  Draw();
  auto lines = r.rec.Find(OpKind::Line);
  ASSERT_EQ(lines.size(), 3u);  // 27R and 36 are not drawn again
  EXPECT_EQ(lines[0]->color, kYellow);
  EXPECT_FLOAT_EQ(lines[0]->pen_width, 2.0f);
  EXPECT_NEAR(lines[0]->points[1].X, 350, 1.0);  // 6076 ft = 1.0 NM
  EXPECT_NEAR(lines[0]->points[1].Y, 150, 1.0);
  EXPECT_EQ(lines[1]->color, kRed);
  EXPECT_EQ(lines[2]->color, kRed);
  const double s40 = 0.6427876, c40 = 0.7660444;
  ExpectLabels({{"09L", kRed, 150, 150},
                {"27R", kYellow, 350, 150},
                {"18", kRed, 150, 90},
                {"36", kRed, 150, 190},
                {"04C", kRed, 150, 270},
                {"22C", kRed, 150 + 50 * s40, 270 - 50 * c40}});

  // The partners' thresholds are now the far ends: 1 NM east of 09L's
  // (1 / (60 cos 12.5) degrees of longitude), 0.5 NM south of 18's.
  const navdb::State& n = navdb::navdb_state;
  EXPECT_NEAR(n.AirportRunwayTable[2].latitude, kLat, 1e-5);
  EXPECT_NEAR(n.AirportRunwayTable[2].longitude, kLon + 0.0170714, 1e-6);
  EXPECT_NEAR(n.AirportRunwayTable[4].latitude, kLat + 0.005 - 0.5 / 60, 1e-7);
  EXPECT_NEAR(n.AirportRunwayTable[4].longitude, kLon, 1e-7);
}

TEST_F(RunwaysTest, FirstOfAPairSelectedOrThePartnerOrNone) {
  AddAirport();
  Select(1);
  Draw();
  auto texts = r.rec.Texts();
  ASSERT_EQ(texts.size(), 6u);
  EXPECT_EQ(texts[0].color, kYellow);  // 09L
  EXPECT_EQ(texts[1].color, kRed);     // 27R at the far end
  EXPECT_EQ(r.rec.Count(OpKind::Line, kYellow), 1);

  // 36 is the partner of 18: the 18 line turns yellow, 36 yellow, 18 red.
  Select(4);
  Draw();
  auto lines = r.rec.Find(OpKind::Line);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0]->color, kRed);
  EXPECT_EQ(lines[1]->color, kYellow);
  texts = r.rec.Texts();
  EXPECT_EQ(texts[2].text, "18");
  EXPECT_EQ(texts[2].color, kRed);
  EXPECT_EQ(texts[3].text, "36");
  EXPECT_EQ(texts[3].color, kYellow);

  // No runway selected, or an index outside the table: everything red.
  for (auto [base, offset] : {std::pair{-999, 1}, {1, 6}, {0, 1}, {-3, 4}}) {
    navdb::navdb_state.SelectedRunwayBase = base;
    navdb::navdb_state.SelectedRunwayOffset = offset;
    Draw();
    EXPECT_EQ(r.rec.Count(OpKind::Line, kRed), 3) << base << " + " << offset;
    EXPECT_EQ(r.rec.CountText("09L"), 1);
    for (const auto& t : r.rec.Texts()) EXPECT_EQ(t.color, kRed) << t.text;
  }
}

TEST_F(RunwaysTest, HighEndListedFirstKeepsItsThreshold) {
  // 27R first: drawn from its own threshold with its own label only; 09L
  // then shows 27R at its far end, and the search looks only at later
  // entries, so 27R's threshold stays.
  Add("27R", kLat - 0.002, kLon, 270, 6076);
  Add("09L", kLat, kLon, 90, 6076);
  Select(1);
  Draw();
  auto lines = r.rec.Find(OpKind::Line);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0]->color, kYellow);
  EXPECT_EQ(lines[1]->color, kRed);
  EXPECT_NEAR(lines[0]->points[0].Y, 150 + 0.12 * 200, 1.0);
  EXPECT_NEAR(lines[0]->points[1].X, 150 - 200, 1.0);
  EXPECT_EQ(r.rec.CountText("27R"), 2);
  EXPECT_DOUBLE_EQ(navdb::navdb_state.AirportRunwayTable[1].latitude, kLat - 0.002);
  EXPECT_DOUBLE_EQ(navdb::navdb_state.AirportRunwayTable[1].longitude, kLon);

  // 18 with a later 36: the suffix is empty and 18 + 18 = 36.
  ResetModuleState();
  guidance::guidance_state.PlaneLatitude = kLat;
  guidance::guidance_state.PlaneLongitude = kLon;
  Add("18", kLat, kLon, 180, 6076);
  Add("36", 5, 5, 360, 6076);
  Draw();
  EXPECT_EQ(r.rec.Count(OpKind::Line), 1);
  EXPECT_EQ(r.rec.CountText("36"), 1);
  EXPECT_NEAR(navdb::navdb_state.AirportRunwayTable[2].latitude, kLat - 1.0 / 60, 1e-7);
}

TEST_F(RunwaysTest, ParkingArrowOnlyAtTheSmallestRanges) {
  Add("09L", kLat, kLon, 90, 6076);
  navdb::navdb_state.ParkingLatitude = kLat + 0.1 / 60;  // 0.1 NM north
  navdb::navdb_state.ParkingLongitude = kLon;
  navdb::navdb_state.ParkingHeading = 90;
  guidance::guidance_state.AircraftHeading = 45;
  {
    r.rec.Clear();
    gfx::Graphics g(&r.dc);
    DrawAirportRunways(g, 100, kCx, kCy, 0.5);
    gfx::Matrix after;
    g.GetTransform(&after);
    EXPECT_TRUE(after.IsIdentity());  // the caller's transform is back
  }
  gfx::Recorder::TextItem p;
  ASSERT_TRUE(r.rec.FindText("P", &p));
  EXPECT_EQ(p.color, kAmber);
  EXPECT_FLOAT_EQ(p.font_size, 14);
  EXPECT_EQ(p.font_style, gfx::FontStyleBold);
  auto arrow = r.rec.Find(OpKind::Line);
  ASSERT_EQ(arrow.size(), 4u);  // the runway, then three amber lines
  for (int i = 1; i <= 3; ++i) {
    EXPECT_EQ(arrow[i]->color, kAmber);
    EXPECT_NEAR(arrow[i]->points[0].X, 150, 1.0);  // tip at the parking point
    EXPECT_NEAR(arrow[i]->points[0].Y, 130, 1.0);
  }
  // The stem (0, 12) turned 45 degrees clockwise.
  EXPECT_NEAR(arrow[3]->points[1].X, 150 - 8.485, 1.0);
  EXPECT_NEAR(arrow[3]->points[1].Y, 130 + 8.485, 1.0);

  Draw(1.0);
  EXPECT_FALSE(r.rec.FindText("P"));
  EXPECT_EQ(r.rec.Count(OpKind::Line, kAmber), 0);
  navdb::navdb_state.ParkingLatitude = 0;
  Draw(0.25);
  EXPECT_FALSE(r.rec.FindText("P"));
}

}  // namespace
}  // namespace ovi::display
