// RTE HOLD on the recording surface: the three entries, the hold each
// sub-page shows (never one past the table's holds), NEXT HOLD, EXIT HOLD
// and ERASE with their limits, the fix ETA and the best speed.
#include <string>

#include "src/flightplan/state.h"
#include "src/guidance/state.h"
#include "src/instruments/fms/kit.h"
#include "src/instruments/fms/state.h"
#include "src/model/state.h"
#include "tests/fms/cdu_support.h"
#include "tests/flightplan/route_support.h"

namespace ovi::fms::test {
namespace {

constexpr const char* kNoEta = ". . / . . .";

flightplan::State& F() { return flightplan::flightplan_state; }
model::State& M() { return model::model_state; }
guidance::State& G() { return guidance::guidance_state; }

class HoldPageTest : public CduTest {
 protected:
  void SetUp() override {
    CduTest::SetUp();
    fms_state.FmsPage = kPageRteHold;
    F().RouteState = 1;
    flightplan::test::MakePending({"KSEA", "SEA", "OLM", "BTG", "KPDX"});
    Hold(1, 2, "OLM");
    Hold(2, 3, "BTG");
    M().FmsSubPageTable.RteHoldSubPageCount = 2;
  }
  static void Hold(int k, int index, const char* name) {
    flightplan::test::PutPendingHold(k, index);
    F().HoldTable[k].name = name;
  }
  Frame Press(int key, const std::string& typed) {
    M().FmsScratchpad = typed;
    PressLineKey(key);
    return DrawFrame();
  }
};

TEST_F(HoldPageTest, TheEntries) {
  struct Case {
    int key;
    const char* typed;
    const char* shown;  // nullptr: refused
  };
  const Case cases[] = {
      {kL3, "270/L", "270 /  L  T U R N"},
      {kL3, "0/L", "360 /  L  T U R N"},      // north reads 360
      {kL3, "360.9/R", "001 /  R  T U R N"},
      {kL3, "270L", nullptr},
      {kL3, "361/R", nullptr},
      {kL3, "ABC/L", nullptr},
      {kL3, "270/X", nullptr},
      {kL4, "1.5", "1.5   M I N"},
      {kL4, "0", nullptr},
      {kL5, "12.0", "12.0 - N M"},
      {kL5, "ABC", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    M().PanelMessage.clear();
    const Frame f = Press(c.key, c.typed);
    if (c.shown != nullptr) {
      EXPECT_TRUE(f.Find(c.shown));
      EXPECT_TRUE(M().FmsScratchpad.empty());
      EXPECT_EQ(M().PanelMessage, "");
    } else {
      EXPECT_EQ(M().PanelMessage, "INVALID ENTRY");
      EXPECT_EQ(M().FmsScratchpad.str(), c.typed);
    }
  }
  // The last of time and distance entered says how the hold is flown.
  const model::HoldingPattern& h = F().HoldTable[1];
  EXPECT_EQ(h.time_based, 2);
  EXPECT_EQ(h.leg_length, 12.0);
  EXPECT_EQ(h.leg_time, 1.5);
  EXPECT_EQ(h.turn_side, 1);  // "360.9/R", the last course taken
  DrawFrame().ExpectText("-.-   M I N", 0, 133);
  Press(kL4, "1.5").ExpectText("--.-  - N M", 0, 166);
}

TEST_F(HoldPageTest, EachSubPageItsHoldNeverOnePastTheTable) {
  Frame f = DrawFrame();
  f.ExpectText("RTE        HOLD", 63, 0);
  f.ExpectText("1 / 2", 220, 5, 12);
  f.ExpectText("OLM", 0, 33);
  M().FmsSubPageTable.RteHoldSubPage = 5;  // left past the holds
  f = Press(kL4, "2");
  f.ExpectText("2 / 2", 220, 5, 12);
  f.ExpectText("BTG", 0, 33);
  EXPECT_EQ(F().HoldTable[2].leg_time, 2.0);
  EXPECT_EQ(F().HoldTable[5].leg_time, 1.0);
  fms_state.FmsNextPageKey = 1;
  DrawFrame().ExpectText("OLM", 0, 33);
  fms_state.FmsPrevPageKey = 1;
  DrawFrame().ExpectText("BTG", 0, 33);

  // No hold: placeholders; the entries go to the default hold 1.
  F().HoldCount = 0;
  M().FmsSubPageTable.RteHoldSubPageCount = 0;
  f = Press(kL4, "3");
  f.ExpectText("- - -", 0, 33);
  EXPECT_EQ(F().HoldTable[1].leg_time, 3.0);
  EXPECT_EQ(F().HoldCount, 0);
}

TEST_F(HoldPageTest, PromptsAndTheirLimits) {
  Frame f = DrawFrame();
  f.ExpectText("< NEXT HOLD", 0, 198);
  f.ExpectText("EXIT HOLD >", 150, 198);
  f.ExpectText("210", 190, 166);
  f.ExpectText("K T", 230, 166);
  f.ExpectText("- - - - - - - - - - - - - - - - - - - - - - - -", 0, 178);
  ExpectLegible(f);
  // EXIT HOLD marks the hold shown for EXEC by its flown waypoint.
  F().HoldTable[1].active_index = 7;
  Press(kR6, "");
  EXPECT_EQ(fms_state.FmsHoldWaypointIndex, 7);
  EXPECT_EQ(F().PendingFlightPlan[2].hold_number, 0u);
  EXPECT_EQ(fms_state.FmsPage, kPageRteLegs);
  EXPECT_EQ(fms_state.FmsHoldFixSelect, 0);
  fms_state.FmsPage = kPageRteHold;
  Press(kL6, "");
  EXPECT_EQ(fms_state.FmsPage, kPageRteLegs);
  EXPECT_EQ(fms_state.FmsHoldFixSelect, 2);

  // Five holds: neither is offered.
  fms_state.FmsPage = kPageRteHold;
  fms_state.FmsHoldFixSelect = 0;
  fms_state.FmsHoldWaypointIndex = 0;
  for (int k = 3; k <= 5; ++k) Hold(k, 1, "SEA");
  f = Press(kL6, "");
  EXPECT_FALSE(f.Find("< NEXT HOLD"));
  Press(kR6, "");
  EXPECT_EQ(fms_state.FmsPage, kPageRteHold);
  EXPECT_EQ(fms_state.FmsHoldFixSelect, 0);
  EXPECT_EQ(fms_state.FmsHoldWaypointIndex, 0);

  // A change waiting for EXEC: ERASE, and the title says so.
  F().RouteState = 4;
  f = DrawFrame();
  f.ExpectText("< ERASE", 0, 198);
  EXPECT_FALSE(f.Find("EXIT HOLD >"));
  EXPECT_TRUE(f.Find("MOD"));
  ExpectModBox(f);
  ExpectLegible(f);
  Press(kL6, "");
  EXPECT_EQ(F().RouteState, 3);
  fms_state.FmsPage = kPageRteHold;
  DrawFrame().ExpectText("ACT", 8, 0);
}

TEST_F(HoldPageTest, TheFixEta) {
  struct Case {
    double plane_lat, plane_lon, fix_lat, fix_lon, ground_speed;
    double hour, minute, second;
    int local;
    const char* eta;
  };
  // 1.01 degrees of a great circle, 60.6 NM, at 120 kt: 30.3 minutes.
  const Case cases[] = {
      {1.01, 0.0, 0.0, 0.0, 120, 10, 15, 0.0, 0, "1045.0Z"},
      {-10.0, -60.0, -11.01, -60.0, 120, 10, 30, 59.9, 0, "1100.9Z"},  // the minute carries
      {0.0, 179.495, 0.0, -179.495, 120, 23, 45, 54.0, 0, "0015.9Z"},  // past midnight, across 180
      {1.01, 0.0, 0.0, 0.0, 120, 5, 15, 53.9, 1, "0545.8L"},
      {1.01, 0.0, 0.0, 0.0, 60, 10, 15, 0.0, 0, nullptr},  // 60 kt or less: none
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.hour);
    G().PlaneLatitude = c.plane_lat;
    G().PlaneLongitude = c.plane_lon;
    F().HoldTable[1].corners[0] = {c.fix_lat, c.fix_lon, "OLM"};
    G().GroundSpeedKnots = c.ground_speed;
    G().ZuluHour = G().LocalClockHour = c.hour;
    G().ZuluMinute = G().ClockMinute = c.minute;
    G().ClockSecond = c.second;
    M().DispETALocalTime = c.local;
    F().ActiveWaypointIndex = 1;
    const Frame f = DrawFrame();
    if (c.eta != nullptr) {
      f.ExpectText(c.eta, 180, 66);
    } else {
      EXPECT_EQ(f.rec.CountText(kNoEta), 2);  // the quadrant's placeholder and the ETA's
    }
  }
  // No active waypoint, or a sub-page past the holds: none either.
  F().ActiveWaypointIndex = model::kNoWaypoint;
  G().GroundSpeedKnots = 120;
  EXPECT_EQ(DrawFrame().rec.CountText(kNoEta), 2);
  F().ActiveWaypointIndex = 1;
  F().HoldCount = 0;
  EXPECT_EQ(DrawFrame().rec.CountText(kNoEta), 2);
}

}  // namespace
}  // namespace ovi::fms::test
