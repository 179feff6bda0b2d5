// FIX INFO: the fix entry, the row entries of every form, DELETE, the two
// sub-pages, the aircraft's place from the fix and the time and distance to
// each point, on the sample region's database.
#include <cmath>

#include "src/flightplan/state.h"
#include "src/guidance/state.h"
#include "src/instruments/fms/arrival_time.h"
#include "src/instruments/fms/kit.h"
#include "src/instruments/fms/state.h"
#include "src/model/state.h"
#include "tests/fms/cdu_support.h"

namespace ovi::fms::test {
namespace {

constexpr double kSeaLat = 47.4353, kSeaLon = -122.3097;  // SEA VORTAC

class FixInfoPageTest : public navdb::test::SampleRegionTest {
 protected:
  void SetUp() override {
    SampleRegionTest::SetUp();
    fms_state.FmsPage = kPageFixInfo;
    // 10 NM south of SEA, no variation.
    guidance::State& g = guidance::guidance_state;
    g.PlaneLatitude = kSeaLat - 10.0 / 60.0;
    g.PlaneLongitude = kSeaLon;
    g.ZuluHour = 14.0;
    g.ZuluMinute = 5.0;
  }
  // Types `text` into the scratchpad, presses `key` and draws the frame.
  Frame Enter(int key, const std::string& text) {
    model::model_state.FmsScratchpad = text;
    PressLineKey(key);
    return DrawFrame();
  }
  Frame Delete(int key) {
    model::model_state.PanelMessage = kDeleteArmed;
    PressLineKey(key);
    return DrawFrame();
  }
  model::FixInfoRecord& Fix(int n) { return flightplan::flightplan_state.FixInfoTable[n]; }
  std::string Message() const { return model::model_state.PanelMessage; }
  std::string Scratch() const { return std::string(model::model_state.FmsScratchpad); }
};

TEST_F(FixInfoPageTest, TheFixIsTheFirstCandidateWithItsRowsEmptied) {
  Frame f = DrawFrame();
  f.ExpectText("FIX INFO", 63, 0);
  f.ExpectText("1 / 2", 230, 0, 12);
  f.ExpectText("F I X         R A D / D I S   F R", 12, 22, 12);
  f.ExpectText("R A D /    D I S    E T A          D T G     A L T", 5, 55, 12);
  EXPECT_EQ(f.rec.Count(gfx::OpKind::Polygon) + f.rec.Count(gfx::OpKind::Rectangle), 5);

  Fix(1).rows[0] = {90.0, 10.0};
  f = Enter(kL1, "SEA");
  EXPECT_EQ(Fix(1).ident, "SEA");
  EXPECT_EQ(Fix(1).kind, "V");
  EXPECT_DOUBLE_EQ(Fix(1).latitude, kSeaLat);
  EXPECT_EQ(Fix(1).rows[0].radial, 0.0);
  EXPECT_EQ(Scratch(), "");
  // The entry shows in the same frame: from SEA the aircraft is on 180, 10 NM.
  f.ExpectText("SEA", 5, 33);
  f.ExpectText("180/ 10.0", 70, 33);
  f.ExpectText("---", 5, 66);
  EXPECT_EQ(f.rec.Count(gfx::OpKind::Polygon) + f.rec.Count(gfx::OpKind::Rectangle), 0);

  // Two ELN records, the NDB listed first: no list, the NDB is taken.
  Enter(kL1, "ELN");
  EXPECT_EQ(Fix(1).kind, "N");
  EXPECT_NEAR(Fix(1).longitude, -120.4572, 1e-9);

  f = Enter(kL1, "NOSUCH");
  EXPECT_EQ(Message(), "NOT IN DATABASE");
  EXPECT_EQ(Scratch(), "NOSUCH");
  EXPECT_EQ(Fix(1).ident, "ELN");
  f.ExpectText("NOT IN DATABASE", 0, 227);
}

TEST_F(FixInfoPageTest, APlaceBearingDistanceEntryIsThePointOut) {
  Enter(kL1, "SEA090/10");
  EXPECT_EQ(Fix(1).ident, "SEA");
  EXPECT_EQ(Fix(1).kind, "WPT");
  EXPECT_NEAR(Fix(1).latitude, kSeaLat, 0.002);
  EXPECT_NEAR((Fix(1).longitude - kSeaLon) * 60.0 * std::cos(kSeaLat * M_PI / 180.0), 10.0, 0.01);
}

TEST_F(FixInfoPageTest, RowEntriesOfEveryForm) {
  struct Case {
    const char* entry;
    bool accepted;
    double radial, distance;  // the row afterwards, from 045 / 10.0
  };
  const Case cases[] = {
      {"090", true, 90, 10},         {"/25", true, 45, 25},          {"090/25", true, 90, 25},
      {"000", true, 360, 10},        {"360/998.9", true, 360, 998.9}, {"090/25.00000", true, 90, 25},
      {"0", false, 45, 10},          {"90/25", false, 45, 10},       {"0900/25", false, 45, 10},
      {"361", false, 45, 10},        {"090/999", false, 45, 10},     {"090/0", false, 45, 10},
      {"090/", false, 45, 10},       {"/", false, 45, 10},           {"/-5", false, 45, 10},
      {"090/25.000000", false, 45, 10},  // 13 characters
      {"ABC", false, 45, 10},        {"090/25X", false, 45, 10},     {"/2.5.1", false, 45, 10},
  };
  Enter(kL1, "SEA");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.entry);
    model::model_state.PanelMessage.clear();
    Fix(1).rows[1] = {45.0, 10.0};
    Enter(kL3, c.entry);
    EXPECT_DOUBLE_EQ(Fix(1).rows[1].radial, c.radial);
    EXPECT_DOUBLE_EQ(Fix(1).rows[1].distance, c.distance);
    EXPECT_EQ(Message(), c.accepted ? "" : "INVALID ENTRY");
    EXPECT_EQ(Scratch(), c.accepted ? "" : c.entry);
    EXPECT_EQ(Fix(1).rows[0].radial, 0.0);  // other rows untouched
  }
}

TEST_F(FixInfoPageTest, DeleteEmptiesTheFixOrARow) {
  Enter(kL1, "SEA");
  Enter(kL2, "090/25");
  Enter(kL4, "180/5");
  Delete(kL2);
  EXPECT_EQ(Fix(1).rows[0].radial, 0.0);
  EXPECT_EQ(Fix(1).rows[0].distance, 0.0);
  EXPECT_EQ(Fix(1).rows[2].radial, 180.0);
  EXPECT_EQ(Message(), "");
  Frame f = Delete(kL1);
  EXPECT_EQ(Fix(1).ident, "");
  EXPECT_EQ(Fix(1).rows[2].radial, 0.0);
  EXPECT_EQ(Fix(1).kind, "V");  // the kind text stays
  EXPECT_EQ(Message(), "");
  EXPECT_EQ(f.rec.Count(gfx::OpKind::Polygon) + f.rec.Count(gfx::OpKind::Rectangle), 5);
  // Without a fix a row key does nothing, DELETE armed or not ...
  Delete(kL2);
  EXPECT_EQ(Message(), "DELETE");
  model::model_state.PanelMessage.clear();
  Enter(kL2, "090");
  EXPECT_EQ(Scratch(), "090");
  // ... while L1 still takes the DELETE message away.
  Delete(kL1);
  EXPECT_EQ(Message(), "");
}

TEST_F(FixInfoPageTest, PrevAndNextBothToggleTheTwoFixes) {
  Enter(kL1, "SEA");
  fms_state.FmsPrevPageKey = 1;
  Frame f = DrawFrame();
  f.ExpectText("2 / 2", 230, 0, 12);
  Enter(kL1, "OLM");
  EXPECT_EQ(Fix(2).ident, "OLM");
  EXPECT_EQ(Fix(1).ident, "SEA");
  fms_state.FmsPrevPageKey = 1;
  f = DrawFrame();
  f.ExpectText("1 / 2", 230, 0, 12);
  for (const char* shown : {"2 / 2", "1 / 2"}) {
    fms_state.FmsNextPageKey = 1;
    f = DrawFrame();
    f.ExpectText(shown, 230, 0, 12);
  }
  f.ExpectText("SEA", 5, 33);
}

TEST_F(FixInfoPageTest, FromRadialTurnsMagnetic) {
  guidance::guidance_state.MagneticVariation = 16.0;
  Frame f = Enter(kL1, "SEA");
  // True course 360 to the fix, 344 magnetic; from the fix 164.
  f.ExpectText("164/ 10.0", 70, 33);
}

TEST_F(FixInfoPageTest, TimeAndDistanceToGoAboveSeventyFiveKnots) {
  guidance::State& g = guidance::guidance_state;
  Enter(kL1, "SEA");
  Enter(kL2, "090/10");  // 10 NM east of SEA: about 14.1 NM from the aircraft
  Enter(kL3, "180/41");  // 31 NM straight ahead
  Enter(kL4, "090");     // no distance: no time
  g.GroundSpeedKnots = 75.0;
  Frame f = DrawFrame();
  EXPECT_FALSE(f.Find("31.0"));
  g.GroundSpeedKnots = 120.0;  // 7.1 and 15.5 minutes
  f = DrawFrame();
  f.ExpectText("1412Z", 145, 66);
  f.ExpectText("14.1", 230, 66);
  f.ExpectText("1420Z", 145, 99);
  f.ExpectText("31.0", 230, 99);
  EXPECT_EQ(f.rec.CountText("090"), 2);  // rows 1 and 3; row 3 has no distance ...
  EXPECT_EQ(f.rec.CountText("---"), 1);
  EXPECT_EQ(f.rec.Texts().size(), 16u);  // ... and no time or distance to go
  // Minutes carry into the hour, hours past midnight wrap.
  g.ZuluMinute = 55.0;
  f = DrawFrame();
  EXPECT_TRUE(f.Find("1502Z"));
  g.ZuluHour = 23.0;
  g.ZuluMinute = 50.0;
  f = DrawFrame();
  EXPECT_TRUE(f.Find("0005Z"));
}

TEST_F(FixInfoPageTest, AnArrivalDaysAheadStillShowsAnHourOfTheDay) {
  guidance::State& g = guidance::guidance_state;
  g.PlaneLatitude = kSeaLat - 60.0;  // 3600 NM south of SEA
  Enter(kL1, "SEA");
  Enter(kL2, "360/998");  // 4598 NM to go at 76 kt: 60 h 30 min
  g.GroundSpeedKnots = 76.0;
  Frame f = DrawFrame();
  EXPECT_TRUE(f.Find("0235Z"));
  EXPECT_TRUE(f.Find("4598.0"));
}

TEST(ArrivalTimeTest, OnlyWithAGroundSpeed) {
  ArrivalTime t;
  for (double gs : {0.0, -10.0, double{NAN}, double{INFINITY}}) EXPECT_FALSE(ArrivalTimeAhead(10.0, gs, false, t)) << gs;
  EXPECT_FALSE(ArrivalTimeAhead(NAN, 100.0, false, t));
}

}  // namespace
}  // namespace ovi::fms::test
