// The data fields and soft-key legends around the map, on full and partial
// frames.
#include "tests/instruments/mfd/p1000/p1000_test_support.h"

namespace ovi::p1000::test {
namespace {

using gfx::OpKind;
namespace colour = display::colour;

using DataFieldsTest = P1000Test;

TEST_F(DataFieldsTest, WindFromOneKnotWithItsArrowBlowingRelativeToTheHeading) {
  guidance().WindSpeed = 0.5;
  Draw();
  EXPECT_TRUE(Texts(colour::kLightGreen).empty());
  // From 270 with the heading 0 it blows toward 090: the head's tip (0, -6)
  // turned right about (15, 18).
  guidance().WindSpeed = 1.0;
  guidance().WindDirectionMagnetic = 270.0;
  Draw();
  ExpectNear(Text("   1").x, Text("   1").y, 20, 10);
  const auto heads = Ops(OpKind::Polygon, colour::kWhite, 1);
  ASSERT_FALSE(heads.empty());
  ExpectNear(heads[0]->points[0].X, heads[0]->points[0].Y, 21, 18, 0.01);
}

TEST_F(DataFieldsTest, SelectedHeadingAltitudeAndSpeeds) {
  struct Bug {
    double degrees;
    const char* text;
  };
  for (const Bug& b : {Bug{0.4, "360"}, {0.0, "360"}, {359.9, "359"}, {45.7, "045"}}) {
    guidance().ApHeadingLockDir = b.degrees;
    Draw();
    EXPECT_EQ(Texts(colour::kBlue).front(), b.text) << b.degrees;
  }
  guidance().ApAltitudeLockVar = 900.0;
  Draw();
  EXPECT_TRUE(rec.FindText("009"));
  // No speeds on a full frame: amber dashes, large.
  EXPECT_EQ(rec.CountText("---"), 3);  // the layer key's legend too
  EXPECT_EQ(Texts(colour::kAmber).size(), 2u);
  // A changed ground speed of 3 kt on a partial frame leaves the old one.
  guidance().DisplayRefreshCounter = 10;
  guidance().PrevGroundSpeed = 250.0;
  guidance().GroundSpeedKnots = 3.0;
  Draw();
  EXPECT_TRUE(Texts(colour::kMagenta).empty());
  guidance().GroundSpeedKnots = 251.0;
  guidance().TrueAirspeedEstimate = guidance().PreviousTrueAirspeedEstimate = 260.0;
  Draw();
  EXPECT_EQ(Texts(colour::kMagenta), std::vector<std::string>{"251"});
  EXPECT_TRUE(Texts(colour::kLightGreen).empty());  // the airspeed did not change
}

TEST_F(DataFieldsTest, LegendsOfEachMenuState) {
  struct Case {
    std::int32_t open, page;
    std::vector<std::string> legends;  // white texts below y 272 (ALT last)
  };
  State& p = p1000_state;
  p.P1000VnavDistance = 12.0;
  p.P1000VnavDistanceSelect = 2;
  p.P1000VnavVerticalSpeed = -1250.0;
  model().FPA = 3.0;
  for (const Case& c : {Case{0, 2, {"APT", "NAV", "---", "TCAS", "ATC", "BDRY", "ALT"}},
                        {1, 1, {"VNAV", "T/O", "SPEEDS", "LNDG", "SPEEDS", "ALT"}},
                        {1, 2, {"SET", "RTN", "FM", "[12]", "ST EL", "---", "VANG", "3.0", "VS", "-1250", "ALT"}},
                        {1, 3, {"ALT"}}}) {
    SCOPED_TRACE(c.page);
    model().P1000MenuOpen = c.open;
    p.P1000MenuPage = c.page;
    Draw();
    std::vector<std::string> legends;
    for (const gfx::Recorder::TextItem& t : rec.Texts())
      if (t.color == colour::kWhite && t.y >= 272) legends.push_back(t.text);
    EXPECT_EQ(legends, c.legends);
  }
  // ST EL and the distance both set: the angle gives way; VANG selected
  // shows its brackets.
  p.P1000MenuPage = kVnavPage;
  p.P1000VnavTargetAltitude = 5000.0;
  p.P1000VnavAngleSelect = 1;
  Draw();
  EXPECT_TRUE(rec.FindText("[---]") && rec.FindText("5000"));
  p.P1000VnavDistance = 0.0;
  p.P1000VnavDistanceSelect = 1;
  Draw();
  EXPECT_TRUE(rec.FindText("TO") && rec.FindText("[---]") && rec.FindText("[3.0]"));
}

}  // namespace
}  // namespace ovi::p1000::test
