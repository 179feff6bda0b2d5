// The data fields and soft-key legends around the map, on full and partial
// frames.
#include <algorithm>

#include "tests/instruments/mfd/p1000/p1000_test_support.h"

namespace ovi::p1000::test {
namespace {

using DataFieldsTest = P1000Test;

TEST_F(DataFieldsTest, WindHeadingAltitudeAndSpeeds) {
  guidance().WindSpeed = 0.5;
  Draw();
  EXPECT_TRUE(Texts(colour::kLightGreen).empty());
  // From 270 with the heading 0 it blows toward 090: the head's tip (0, -6)
  // turned right about (15, 18).
  guidance().WindSpeed = 1.0;
  guidance().WindDirectionMagnetic = 270.0;
  for (const auto& [bug, text] : {std::pair{0.4, "360"}, {0.0, "360"}, {359.9, "359"}, {45.7, "045"}}) {
    guidance().ApHeadingLockDir = bug;
    Draw();
    EXPECT_EQ(Texts(colour::kBlue).front(), text) << bug;
  }
  ExpectText("   1", 20, 10);
  ExpectNear(Ops(OpKind::Polygon, colour::kWhite, 1).at(0)->points[0], 21, 18, 0.01);
  guidance().ApAltitudeLockVar = 900.0;
  Draw();
  EXPECT_TRUE(rec.FindText("009"));
  EXPECT_EQ(Texts(colour::kAmber), (std::vector<std::string>{"---", "---"}));  // no speeds on a full frame
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
  EXPECT_EQ(Texts(colour::kLightGreen).size(), 1u);  // the wind; the unchanged airspeed is left
}

TEST_F(DataFieldsTest, LegendsOfEachMenuState) {
  State& p = p1000_state;
  p.P1000VnavDistance = 12.0;
  p.P1000VnavDistanceSelect = 2;
  p.P1000VnavVerticalSpeed = -1250.0;
  model().FPA = 3.0;
  auto legends = [&] {  // white texts below the map, "ALT" last
    std::vector<std::string> out;
    for (const gfx::Recorder::TextItem& t : rec.Texts())
      if (t.color == colour::kWhite && t.y >= 272) out.push_back(t.text);
    return out;
  };
  for (const auto& [open, page, expected] : {
           std::tuple{0, 2, std::vector<std::string>{"APT", "NAV", "---", "TCAS", "ATC", "BDRY", "ALT"}},
           {1, 1, {"VNAV", "T/O", "SPEEDS", "LNDG", "SPEEDS", "ALT"}},
           {1, 2, {"SET", "RTN", "FM", "[12]", "ST EL", "---", "VANG", "3.0", "VS", "-1250", "ALT"}},
           {1, 3, {"ALT"}}}) {
    model().P1000MenuOpen = open;
    p.P1000MenuPage = page;
    Draw();
    EXPECT_EQ(legends(), expected) << page;
  }
  // ST EL and the distance both set: the angle gives way; selected fields
  // show their brackets.
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

// The vertical speed in four places, right-aligned in its column; 0 is not set.
TEST_F(DataFieldsTest, VnavVerticalSpeedInFourPlaces) {
  model().P1000MenuOpen = 1;
  p1000_state.P1000MenuPage = kVnavPage;
  for (const auto& [vs, shown] : {std::pair{0.0, "---"}, {-300.0, "-300"}, {-1250.0, "-1250"}, {-50.0, " -50"}}) {
    p1000_state.P1000VnavVerticalSpeed = vs;
    Draw();
    EXPECT_TRUE(std::ranges::any_of(rec.Texts(), [&](const auto& t) { return t.text == shown && t.x == 190; })) << vs;
  }
}

}  // namespace
}  // namespace ovi::p1000::test
