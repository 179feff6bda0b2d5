// Leg edits of the CDU pages. DeleteRouteLegEntry: which rows become a
// discontinuity, which are taken out, what happens to holds and the pending
// active waypoint, the route state and the message line; rows outside the
// plan. InsertRouteLegEntry: the discontinuity rule, created points and
// their names, the route limit. EnterLegConstraint: the entry forms.
#include "src/flightplan/holds.h"
#include "src/instruments/fms/route_legs_edit.h"
#include "src/instruments/fms/state.h"
#include "src/model/state.h"
#include "src/navdb/entry_state.h"
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

TEST_F(DeleteLegTest, ADeletedDiscontinuityClosesTheGap) {
  MakePending({"KSEA", "SEA", "DISCO", "BTG", "UBG", "KPDX"});
  DeleteRouteLegEntry(2, 0);
  EXPECT_EQ(PendingIdents(), (Strings{"KSEA", "SEA", "BTG", "UBG", "KPDX"}));
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
  using flightplan::test::HoldIndices;
  flightplan::State& fp = flightplan::flightplan_state;
  flightplan::test::PutPendingHold(1, 3);  // BTG
  flightplan::test::PutPendingHold(2, 4);  // UBG
  DeleteRouteLegEntry(3, 1);  // BTG goes: its hold leaves the route, UBG's moves to row 3
  EXPECT_EQ(PendingIdents(), (Strings{"KSEA", "SEA", "OLM", "UBG", "KPDX"}));
  EXPECT_EQ(HoldIndices(), (std::vector<std::pair<int, int>>{{3, -1}, {4, 3}}));
  EXPECT_EQ(fp.PendingFlightPlan[3].hold_number, 2u);

  // A hold of the flown route whose waypoint has moved in the route being
  // edited: deleting the entry now at the hold's old index leaves it alone.
  MakePending({"KSEA", "SEA", "OLM", "BTG", "UBG", "KPDX"});
  fp.HoldCount = 0;
  flightplan::test::PutHold(1, 2, 3);  // flown at 2, now BTG at 3
  fp.PendingFlightPlan[3].hold_number = 1;
  DeleteRouteLegEntry(2, 0);  // OLM becomes a DISCO
  EXPECT_EQ(HoldIndices(), (std::vector<std::pair<int, int>>{{2, 3}}));
  EXPECT_EQ(fp.PendingFlightPlan[2].hold_number, 0u);
  EXPECT_EQ(fp.PendingFlightPlan[3].hold_number, 1u);
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


// ---- InsertRouteLegEntry ------------------------------------------------------

class InsertLegTest : public flightplan::test::RouteTest {
 protected:
  void SetUp() override {
    RouteTest::SetUp();
    MakePending({"KSEA", "SEA", "OLM", "BTG", "UBG", "KPDX"});  // last index 5
    Candidate("X", 45.0, -121.0, "I");
  }
  // Candidate 1 of the list: an ordinary waypoint unless the place/bearing
  // values say otherwise.
  static void Candidate(const char* ident, double lat, double lon, const char* kind, const char* freq = "") {
    navdb::EntryState& e = navdb::entry_state;
    model::NavDbRecord& c = e.WaypointCandidateList[1];
    c = model::NavDbRecord{};
    c.ident = ident;
    c.latitude = lat;
    c.longitude = lon;
    c.kind = kind;
    c.frequency_text = freq;
    e.WaypointCandidateCount = 1;
    e.PlaceBearingEntry = {-1.0, -1.0};
    e.WaypointEntryExtra = 0;
  }
  static void PlaceBearing(double bearing, int distance) {
    navdb::entry_state.PlaceBearingEntry[0] = bearing;
    navdb::entry_state.WaypointEntryExtra = distance;
  }
};

TEST_F(InsertLegTest, ADiscontinuityFollowsWhenTheRouteNoLongerJoins) {
  struct Case {
    Strings before;
    int row;
    Strings after;
  };
  const Strings route = {"KSEA", "SEA", "OLM", "BTG", "UBG", "KPDX"};
  const Case cases[] = {
      {route, 1, {"KSEA", "X", "DISCO", "SEA", "OLM", "BTG", "UBG", "KPDX"}},
      {route, 4, {"KSEA", "SEA", "OLM", "BTG", "X", "DISCO", "UBG", "KPDX"}},
      // In front of the last entry, and after it: no discontinuity.
      {route, 5, {"KSEA", "SEA", "OLM", "BTG", "UBG", "X", "KPDX"}},
      {route, 6, {"KSEA", "SEA", "OLM", "BTG", "UBG", "KPDX", "X"}},
      // In front of a discontinuity: none more.
      {{"KSEA", "SEA", "DISCO", "BTG", "KPDX"}, 2, {"KSEA", "SEA", "X", "DISCO", "BTG", "KPDX"}},
      // The origin alone: the first leg.
      {{"KSEA"}, 1, {"KSEA", "X"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "row " << c.row << " of " << c.before.size() - 1);
    MakePending(c.before);
    EXPECT_TRUE(InsertRouteLegEntry(c.row, 1));
    EXPECT_EQ(PendingIdents(), c.after);
    const flightplan::State& fp = flightplan::flightplan_state;
    EXPECT_EQ(fp.PendingFlightPlan[fp.PendingFlightPlanLastIndex + 1].ident, "******");
    EXPECT_EQ(fms_state.FmsLegsSelectedIndex, c.row);
  }
}

// The chosen candidate, not the first; a navaid takes its route type.
TEST_F(InsertLegTest, TheNewLegIsTheChosenCandidate) {
  Candidate("BTG", 45.7476, -122.5922, "V", "116.60");
  navdb::entry_state.WaypointCandidateList[2] = navdb::entry_state.WaypointCandidateList[1];
  navdb::entry_state.WaypointCandidateList[2].ident = "UBG";
  navdb::entry_state.WaypointCandidateCount = 2;
  ASSERT_TRUE(InsertRouteLegEntry(2, 2));
  const model::FlightPlanWaypoint& w = flightplan::flightplan_state.PendingFlightPlan[2];
  EXPECT_EQ(w.ident, "UBG");
  EXPECT_EQ(w.type, "VOR");
  EXPECT_EQ(w.frequency_text, "116.60");
  EXPECT_EQ(w.altitude_constraint, -999.0);
}

TEST_F(InsertLegTest, TheActiveWaypointAndHoldsStayOnTheirWaypoints) {
  flightplan::State& fp = flightplan::flightplan_state;
  fp.PendingActiveWaypointIndex = 4;  // UBG
  flightplan::test::PutPendingHold(1, 3);  // BTG
  ASSERT_TRUE(InsertRouteLegEntry(2, 1));  // X and a discontinuity in front of both
  EXPECT_EQ(PendingIdents(), (Strings{"KSEA", "SEA", "X", "DISCO", "OLM", "BTG", "UBG", "KPDX"}));
  EXPECT_EQ(fp.PendingActiveWaypointIndex, 6);
  EXPECT_EQ(fp.HoldTable[1].pending_index, 5);
  EXPECT_EQ(fp.PendingFlightPlan[5].hold_number, 1u);
  // Taken out again: both come back down with their waypoints.
  DeleteRouteLegEntry(3, 1);
  DeleteRouteLegEntry(2, 1);
  EXPECT_EQ(PendingIdents(), (Strings{"KSEA", "SEA", "OLM", "BTG", "UBG", "KPDX"}));
  EXPECT_EQ(fp.PendingActiveWaypointIndex, 4);
  EXPECT_EQ(fp.HoldTable[1].pending_index, 3);
  EXPECT_EQ(fp.PendingFlightPlan[3].hold_number, 1u);
}

TEST_F(InsertLegTest, RowsOutsideThePlanAndAFullPlanAreRefused) {
  model::State& m = model::model_state;
  for (int row : {0, -1, 7, 999}) {
    SCOPED_TRACE(row);
    m.PanelMessage.clear();
    EXPECT_FALSE(InsertRouteLegEntry(row, 1));
    EXPECT_EQ(m.PanelMessage, "INVALID ENTRY");
    EXPECT_EQ(PendingIdents(), (Strings{"KSEA", "SEA", "OLM", "BTG", "UBG", "KPDX"}));
  }
  EXPECT_FALSE(InsertRouteLegEntry(1, 2));  // no second candidate
  EXPECT_FALSE(InsertRouteLegEntry(1, 0));
  // 199 entries after the origin: a leg and its discontinuity need two
  // more slots than the 200 a route has; in front of the last, one does.
  MakePending(flightplan::test::LongRoute(199));
  EXPECT_FALSE(InsertRouteLegEntry(5, 1));
  EXPECT_EQ(flightplan::flightplan_state.PendingFlightPlanLastIndex, 199);
  EXPECT_TRUE(InsertRouteLegEntry(199, 1));
  EXPECT_EQ(flightplan::flightplan_state.PendingFlightPlanLastIndex, 200);
  EXPECT_FALSE(InsertRouteLegEntry(201, 1));
  EXPECT_EQ(flightplan::flightplan_state.PendingFlightPlanLastIndex, 200);
}

TEST_F(InsertLegTest, CreatedPointsAreNamedAfterTheirPlace) {
  struct Case {
    Strings legs;  // between KSEA and KPDX
    const char* place;
    const char* name;
  };
  const Case cases[] = {
      {{"ABC01", "ABC02"}, "ABC", "ABC03"},
      {{"ABC01", "ABC02", "ABC"}, "ABC", "ABC01"},  // the place itself starts again at 1
      {{"SEA", "AB"}, "AB", "AB01"},
      {{"SEA"}, "AB", " AB01"},
      {{" AB01"}, "AB", " AB02"},
      {{"AB05", "OLM"}, "ABX", "AB06"},  // four characters: named by two letters
      {{"ABC1X"}, "ABC", "ABC02"},       // digits as far as they go
      {{}, "SEATTLE", "SEA01"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Strings route{"ABC07"};  // the origin and the last entry are no legs
    route.insert(route.end(), c.legs.begin(), c.legs.end());
    route.push_back("ABC08");
    MakePending(route);
    Candidate(c.place, 47.0, -122.0, "V", "116.80");
    navdb::entry_state.PlaceBearingEntry = {90.0, 270.0};  // a crossing: position kept
    ASSERT_TRUE(InsertRouteLegEntry(1, 1));
    const model::FlightPlanWaypoint& w = flightplan::flightplan_state.PendingFlightPlan[1];
    EXPECT_EQ(w.ident, c.name);
    EXPECT_EQ(w.type, "WPT");
    EXPECT_EQ(w.latitude, 47.0);
    EXPECT_EQ(std::string(navdb::entry_state.WaypointCandidateList[1].ident), c.name);
    EXPECT_EQ(navdb::entry_state.PlaceBearingEntry[1], -1.0);
  }
  // No number left: refused, nothing changed.
  MakePending({"KSEA", "ABC99", "KPDX"});
  Candidate("ABC", 47.0, -122.0, "V");
  PlaceBearing(90.0, 10);
  EXPECT_FALSE(InsertRouteLegEntry(1, 1));
  EXPECT_EQ(PendingIdents(), (Strings{"KSEA", "ABC99", "KPDX"}));
}

TEST_F(InsertLegTest, APlaceBearingDistancePointLiesOnTheTrueBearing) {
  struct Case {
    double lat, lon, bearing, variation;
    int distance;
    double want_lat, want_lon;
  };
  const Case cases[] = {
      {0.0, 179.5, 90.0, 0.0, 60, 0.0, -179.5},      // east across 180 degrees
      {-33.0, 151.0, 10.0, -10.0, 60, -32.0, 151.0},  // magnetic 010 is true north here
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.lat << " " << c.lon);
    MakePending({"KSEA", "KPDX"});
    guidance::guidance_state.MagneticVariation = c.variation;
    Candidate("PLC", c.lat, c.lon, "V");
    PlaceBearing(c.bearing, c.distance);
    ASSERT_TRUE(InsertRouteLegEntry(1, 1));
    const model::FlightPlanWaypoint& w = flightplan::flightplan_state.PendingFlightPlan[1];
    EXPECT_EQ(w.ident, "PLC01");
    EXPECT_NEAR(w.latitude, c.want_lat, 0.01);
    EXPECT_NEAR(w.longitude, c.want_lon, 0.01);
    EXPECT_EQ(navdb::entry_state.WaypointEntryExtra, 0);
  }
}

TEST_F(InsertLegTest, AHoldAtThePresentPositionIsAWptPointWithoutDiscontinuity) {
  struct Case {
    Strings route;
    const char* name;
  };
  for (const Case& c : {Case{{"KSEA", "SEA", "OLM", "KPDX"}, "WPT01"},
                        Case{{"KSEA", "WPT01", "SEA", "WPT07", "OLM", "KPDX"}, "WPT08"}}) {
    MakePending(c.route);
    Candidate("HOLD PPOS", 47.2, -122.4, "I");
    ASSERT_TRUE(InsertRouteLegEntry(1, 1));
    const flightplan::State& fp = flightplan::flightplan_state;
    EXPECT_EQ(fp.PendingFlightPlan[1].ident, c.name);
    EXPECT_EQ(fp.PendingFlightPlan[1].type, "I");
    EXPECT_EQ(fp.PendingFlightPlan[2].ident, c.route[1]);
    EXPECT_EQ(fp.PendingFlightPlanLastIndex, static_cast<int>(c.route.size()));
  }
}

TEST_F(InsertLegTest, TheRouteStateAndTheDirectToEntry) {
  flightplan::State& fp = flightplan::flightplan_state;
  for (auto [state, after] : {std::pair{0, 1}, std::pair{2, 2}, std::pair{3, 4}}) {
    fp.RouteState = state;
    ASSERT_TRUE(InsertRouteLegEntry(1, 1));
    EXPECT_EQ(fp.RouteState, after) << state;
  }
  fp.EditWaypointIndex = model::kNoWaypoint;
  fms_state.FmsHoldFixSelect = 1;
  ASSERT_TRUE(InsertRouteLegEntry(1, 1));
  EXPECT_EQ(fp.EditWaypointIndex, 1);
  EXPECT_EQ(fms_state.FmsLegsEntryState, 1);
}

// ---- EnterLegConstraint ---------------------------------------------------------

TEST_F(InsertLegTest, ConstraintEntries) {
  struct Case {
    const char* typed;
    double speed, altitude;  // stored afterwards (-999 none)
    const char* message;
    bool cleared;            // the scratchpad
  };
  const Case cases[] = {
      {"FL350", -999, 35000, "", true},
      {"250/", -999, 25000, "", true},
      {"250/10000", 250, 10000, "", true},
      {"250/FL100", 250, 10000, "", true},
      {"/12000", -999, 12000, "", true},
      {"99000", -999, 99000, "", true},
      {"100/5000", 100, 5000, "", true},
      {"400/5000", 400, 5000, "", true},
      // A speed out of range: the altitude is kept.
      {"500/12000", -999, 12000, "INVALID ENTRY", true},
      {"99/5000", -999, 5000, "INVALID ENTRY", true},
      {"401/5000", -999, 5000, "INVALID ENTRY", true},
      // No altitude to keep.
      {"0/0", -999, -999, "INVALID ENTRY", false},
      {"99001", -999, -999, "INVALID ENTRY", false},
      {"ABC", -999, -999, "INVALID ENTRY", false},
      {"NAN", -999, -999, "INVALID ENTRY", false},
  };
  model::State& m = model::model_state;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    MakePending({"KSEA", "SEA", "OLM", "KPDX"});
    m.PanelMessage.clear();
    m.FmsScratchpad = c.typed;
    EnterLegConstraint(2);
    const model::FlightPlanWaypoint& w = flightplan::flightplan_state.PendingFlightPlan[2];
    EXPECT_EQ(w.speed_constraint, c.speed);
    EXPECT_EQ(w.altitude_constraint, c.altitude);
    EXPECT_EQ(w.constraint_flag, c.altitude > 0 ? 1u : 0u);
    EXPECT_EQ(m.PanelMessage, c.message);
    EXPECT_EQ(m.FmsScratchpad.empty(), c.cleared);
  }
}

TEST_F(InsertLegTest, AConstraintOnTheFlownRouteStartsAModification) {
  flightplan::State& fp = flightplan::flightplan_state;
  flightplan::test::MakeActive({"KSEA", "SEA", "OLM", "KPDX"});
  MakePending({"KSEA", "STALE", "KPDX"});
  fp.RouteState = 3;
  model::model_state.FmsScratchpad = "240/9000";
  EnterLegConstraint(2);
  EXPECT_EQ(PendingIdents(), (Strings{"KSEA", "SEA", "OLM", "KPDX"}));
  EXPECT_EQ(fp.PendingFlightPlan[2].altitude_constraint, 9000.0);
  EXPECT_EQ(fp.RouteState, 4);
  // Rows outside the plan store nothing.
  for (int row : {0, 4, 200, -3}) {
    model::model_state.FmsScratchpad = "9000";
    EnterLegConstraint(row);
    EXPECT_EQ(model::model_state.PanelMessage, "INVALID ENTRY") << row;
  }
}

}  // namespace
}  // namespace ovi::fms::test
