// DeleteRouteLegEntry: which rows become a discontinuity, which are taken
// out, what happens to holds and the pending active waypoint, the route
// state and the message line; rows outside the plan.
#include "src/flightplan/holds.h"
#include "src/instruments/fms/route_legs_edit.h"
#include "src/model/state.h"
#include "tests/flightplan/route_support.h"

namespace ovi::fms::test {
namespace {

using flightplan::test::MakePending;
using flightplan::test::PendingIdents;
using flightplan::test::Strings;

class DeleteLegTest : public flightplan::test::RouteTest {
 protected:
  void SetUp() override {
    RouteTest::SetUp();
    MakePending({"KSEA", "SEA", "OLM", "BTG", "UBG", "KPDX"});  // last index 5
  }
};

TEST_F(DeleteLegTest, MiddleLegsBecomeDiscontinuitiesEndsAreRemoved) {
  struct Case {
    int row, outright;
    Strings after;
  };
  const Case cases[] = {
      {1, 0, {"KSEA", "OLM", "BTG", "UBG", "KPDX"}},
      {2, 0, {"KSEA", "SEA", "DISCO", "BTG", "UBG", "KPDX"}},
      {3, 0, {"KSEA", "SEA", "OLM", "DISCO", "UBG", "KPDX"}},
      {4, 0, {"KSEA", "SEA", "OLM", "BTG", "KPDX"}},
      {5, 0, {"KSEA", "SEA", "OLM", "BTG", "UBG"}},
      {2, 1, {"KSEA", "SEA", "BTG", "UBG", "KPDX"}},
      {3, 1, {"KSEA", "SEA", "OLM", "UBG", "KPDX"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "row " << c.row << " outright " << c.outright);
    MakePending({"KSEA", "SEA", "OLM", "BTG", "UBG", "KPDX"});
    DeleteRouteLegEntry(c.row, c.outright);
    EXPECT_EQ(PendingIdents(), c.after);
    const flightplan::State& fp = flightplan::flightplan_state;
    EXPECT_EQ(fp.PendingFlightPlan[fp.PendingFlightPlanLastIndex + 1].ident, "******");
  }
}

TEST_F(DeleteLegTest, ADiscontinuityCarriesNothingOfTheLeg) {
  flightplan::State& fp = flightplan::flightplan_state;
  model::FlightPlanWaypoint& leg = fp.PendingFlightPlan[2];
  leg.via = "V23";
  leg.altitude_constraint = 12000;
  leg.constraint_flag = 1;
  leg.frequency_text = "113.40";
  DeleteRouteLegEntry(2, 0);
  const model::FlightPlanWaypoint& d = fp.PendingFlightPlan[2];
  EXPECT_EQ(d.ident, "DISCO");
  EXPECT_EQ(d.via, "");
  EXPECT_EQ(d.type, "");
  EXPECT_EQ(d.frequency_text, "");
  EXPECT_EQ(d.latitude, 0.0);
  EXPECT_EQ(d.longitude, 0.0);
  EXPECT_EQ(d.altitude_constraint, -999.0);
  EXPECT_EQ(d.speed_constraint, -999.0);
  EXPECT_EQ(d.value3, -1.0);
  EXPECT_EQ(d.constraint_flag, 0u);
  EXPECT_EQ(d.hold_number, 0u);
}

TEST_F(DeleteLegTest, ThePendingActiveWaypointStaysOnItsWaypoint) {
  flightplan::State& fp = flightplan::flightplan_state;
  struct Case {
    int row, outright, before, after;
    const char* ident;  // the waypoint it stands on afterwards
  };
  const Case cases[] = {
      {2, 1, 4, 3, "UBG"},  // an entry before it goes: it moves down with UBG
      {2, 0, 4, 4, "UBG"},  // a discontinuity moves nothing
      {4, 0, 3, 3, "BTG"},  // an entry after it goes
      {1, 0, 1, 1, "OLM"},  // its own entry goes: the next takes its place
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.row);
    MakePending({"KSEA", "SEA", "OLM", "BTG", "UBG", "KPDX"});
    fp.PendingActiveWaypointIndex = c.before;
    DeleteRouteLegEntry(c.row, c.outright);
    EXPECT_EQ(fp.PendingActiveWaypointIndex, c.after);
    EXPECT_EQ(fp.PendingFlightPlan[c.after].ident, c.ident);
  }
}

TEST_F(DeleteLegTest, TheLegsHoldGoesLaterHoldsFollowTheirWaypoints) {
  flightplan::State& fp = flightplan::flightplan_state;
  ASSERT_TRUE(flightplan::AddHoldAtWaypoint(3, 0));
  ASSERT_TRUE(flightplan::AddHoldAtWaypoint(4, 0));
  DeleteRouteLegEntry(3, 1);  // BTG and its hold go; UBG's hold moves to row 3
  EXPECT_EQ(PendingIdents(), (Strings{"KSEA", "SEA", "OLM", "UBG", "KPDX"}));
  int holds_on_ubg = 0;
  for (int i = 1; i <= fp.HoldCount; ++i) {
    if (fp.HoldTable[i].pending_index == 3) ++holds_on_ubg;
    EXPECT_NE(fp.HoldTable[i].name, "BTG") << "hold " << i;
  }
  EXPECT_EQ(holds_on_ubg, 1);
  EXPECT_NE(fp.PendingFlightPlan[3].hold_number, 0u);

  MakePending({"KSEA", "SEA", "OLM", "BTG", "UBG", "KPDX"});
  fp.HoldCount = 0;
  ASSERT_TRUE(flightplan::AddHoldAtWaypoint(2, 0));
  DeleteRouteLegEntry(2, 0);  // OLM becomes a DISCO: no hold stays on it
  EXPECT_EQ(fp.PendingFlightPlan[2].hold_number, 0u);
  for (int i = 1; i <= fp.HoldCount; ++i) EXPECT_NE(fp.HoldTable[i].pending_index, 2);
}

TEST_F(DeleteLegTest, RouteStateMessageAndRefusedRows) {
  flightplan::State& fp = flightplan::flightplan_state;
  model::State& m = model::model_state;
  for (auto [state, after] : {std::pair{3, 4}, std::pair{0, 0}, std::pair{1, 1}, std::pair{2, 2}, std::pair{4, 4}}) {
    MakePending({"KSEA", "SEA", "OLM", "BTG", "UBG", "KPDX"});
    fp.RouteState = state;
    m.PanelMessage = "DELETE";
    DeleteRouteLegEntry(2, 0);
    EXPECT_EQ(fp.RouteState, after) << state;
    EXPECT_EQ(m.PanelMessage, "");
  }
  // A plan of origin and destination only loses nothing; the state still steps.
  MakePending({"KSEA", "KPDX"});
  fp.RouteState = 3;
  m.PanelMessage = "DELETE";
  DeleteRouteLegEntry(1, 1);
  EXPECT_EQ(PendingIdents(), (Strings{"KSEA", "KPDX"}));
  EXPECT_EQ(m.PanelMessage, "");
  EXPECT_EQ(fp.RouteState, 4);
  // Rows outside the plan delete nothing and change no state.
  for (int row : {0, -1, 6, 200, 5000}) {
    SCOPED_TRACE(row);
    MakePending({"KSEA", "SEA", "OLM", "BTG", "UBG", "KPDX"});
    fp.RouteState = 3;
    DeleteRouteLegEntry(row, 1);
    EXPECT_EQ(PendingIdents(), (Strings{"KSEA", "SEA", "OLM", "BTG", "UBG", "KPDX"}));
    EXPECT_EQ(fp.RouteState, 3);
  }
}

}  // namespace
}  // namespace ovi::fms::test
