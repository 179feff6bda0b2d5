// DIRECT (page 7) and the direct-to of ENT: sub-pages of the working copy,
// the line-key cycles, the closest airports (fill, sort, upkeep), the
// route rebuilt around the DIRECT waypoint, the forced turn and the direct
// to a nearest airport.
#include "platform/gfx/device_context.h"
#include "src/flightplan/holds.h"
#include "src/flightplan/library.h"
#include "src/flightplan/load.h"
#include "src/flightplan/route_edit.h"
#include "src/flightplan/state.h"
#include "src/guidance/state.h"
#include "src/instruments/fms/cdu.h"
#include "src/instruments/fms/keypad.h"
#include "src/instruments/fms/state.h"
#include "src/instruments/fms/perf_entries.h"
#include "src/instruments/gnsxls/closest_airports.h"
#include "src/instruments/gnsxls/flight_plan_page.h"
#include "src/instruments/gnsxls/keypad.h"
#include "src/instruments/gnsxls/kit.h"
#include "src/instruments/gnsxls/route_edits.h"
#include "src/model/state.h"
#include "src/navdb/entry_state.h"
#include "src/navdb/navdb.h"
#include "src/navdb/state.h"
#include "tests/host/fake_panels.h"
#include "tests/instruments/gnsxls/gnsxls_support.h"

namespace ovi::gnsxls::test {
namespace {

using flightplan::test::ActiveIdents;
using flightplan::test::F;
using flightplan::test::FlownRouteLength;
using flightplan::test::G;
using flightplan::test::HoldBreach;
using flightplan::test::HoldIndices;
using flightplan::test::KeptPathLength;
using flightplan::test::LongRoute;
using flightplan::test::MakeActive;
using flightplan::test::PendingIdents;
using flightplan::test::PutActiveHold;
using Pairs = std::vector<std::pair<int, int>>;
using DirectTest = GnsTest;

// An executed route flown to `active`, then the direct-to key from page 1.
void DirectFrom(const Strings& idents, int active) {
  S().GnsXlsPage = kPageFlightPlan;
  MakeActive(idents);
  F().ActiveWaypointIndex = active;
  F().RouteState = 3;
  PressDirect();
}

TEST_F(DirectTest, SubPagesOfTheWorkingCopy) {
  struct Case {
    int last;
    std::int32_t count;
  } cases[] = {{-1, 1}, {0, 2}, {18, 2}, {19, 3}};
  for (const Case& c : cases) {
    S().GnsXlsPage = kPageDirect;
    F().PendingFlightPlanLastIndex = c.last;
    S().GnsDirectPage = 1;
    DrawFrame();
    EXPECT_EQ(S().GnsDirectPageCount, c.count) << c.last;
    EXPECT_EQ(S().GnsDirectPageMode, c.count == 1 ? 2 : 1) << c.last;
  }
  // A short route: the copy lists to its end marker; the target on its
  // block. Its row (4) is key 3's first: the key's frame chooses it.
  DirectFrom({"KSEA", "A", "B", "C", "D"}, 4);
  Frame f = DrawFrame();
  f.Expect("DIRECT 1/2", 90, 0, kWhite);
  EXPECT_EQ(f.TextsAt(90), (Strings{"DIRECT 1/2", "A", "B", "C", "D     ", "******"}));
  f.Expect("TO ", 30, 160, kMagenta);
  EXPECT_EQ(f.Blocks(), (std::vector<Frame::Block>{{90, 160, 6}}));
  EXPECT_EQ(LineStates()[2], 1);
  EXPECT_EQ(f.TextsAt(0), (Strings{"<", "<", "<"}));
  Key(3);  // on to the row below
  EXPECT_EQ(F().EditWaypointIndex, 5);
  // Sub-page 2 of a long route starts at index 19, the right column at 28.
  DirectFrom(LongRoute(30), 1);
  PressNextPage();
  f = DrawFrame();
  f.Expect("DIRECT 2/3", 90, 0, kWhite);
  f.Expect("W19", 90, 40, kGreen);
  f.Expect("W28", 310, 40, kGreen);
  f.Expect("******", 310, 160, kGreen);
  EXPECT_EQ(f.TextsAt(460), (Strings{">", ">", ">"}));  // keys 6, 7, 8: indices 28, 29, 31
}

// Each key's cycle and the waypoint it takes; a key past the route does
// nothing.
TEST_F(DirectTest, RouteKeyCycles) {
  struct Case {
    int key, last;
    std::vector<int> states, targets;  // after each press
  } cases[] = {
      {2, 20, {1, 2, 0}, {2, 3, 3}},
      {1, 20, {1, 0}, {1, 1}},
      {6, 20, {1, 0}, {10, 10}},
      {10, 20, {1, 2, 0}, {17, 18, 18}},
      {7, 3, {0}, {1}},
  };
  for (const Case& c : cases) {
    ResetModuleState();
    DirectFrom(LongRoute(c.last), 1);
    DrawFrame();
    for (std::size_t i = 0; i < c.states.size(); ++i) {
      Key(c.key);
      EXPECT_EQ(LineStates()[static_cast<std::size_t>(c.key - 1)], c.states[i]) << c.key << " press " << i;
      EXPECT_EQ(F().EditWaypointIndex, c.targets[i]) << c.key << " press " << i;
      EXPECT_EQ(S().GnsXlsEntryActive, c.states[i] != 0 || c.key == 7 ? 1 : 0) << c.key;
    }
  }
}

// Eleven airports about (0, 0), distances worked on a sphere of 60 NM a
// degree: the nine nearest, ties in list order, the nearest shown first.
TEST_F(DirectTest, ClosestAirportsFillAndSort) {
  struct Airport {
    const char* ident;
    double lat, lon;
  };
  const std::vector<Airport> eleven = {{"A", 0.1, 0}, {"B", -0.1, 0}, {"C", 0, 0.2}, {"D", 0.3, 0},
                                        {"E", 0.4, 0}, {"F", 0.5, 0},  {"G", 0.6, 0}, {"H", 0.7, 0},
                                        {"I", 0.8, 0}, {"J", 0.05, 0}, {"K", 0.9, 0}};
  auto fill = [](const std::vector<Airport>& list) {
    navdb::State& db = navdb::navdb_state;
    db.MapAirportCount = static_cast<int>(list.size());
    for (std::size_t i = 0; i < list.size(); ++i) {
      model::NavDbRecord& r = db.MapAirportList[static_cast<int>(i) + 1];
      r.ident = list[i].ident;
      r.latitude = list[i].lat;
      r.longitude = list[i].lon;
    }
    FillClosestAirports();
    SortClosestAirports();
    Strings idents;
    for (int i = 1; i <= kClosestAirportCount; ++i) idents.push_back(S().ClosestAirportList[i].ident.c_str());
    return idents;
  };
  // I (48 NM) is replaced by J (3 NM); K (54) is farther than all kept.
  EXPECT_EQ(fill(eleven), (Strings{"H", "G", "F", "E", "D", "C", "A", "B", "J"}));
  EXPECT_DOUBLE_EQ(S().ClosestAirportList[7].bearing, 360.0);  // north reads 360
  EXPECT_NEAR(S().ClosestAirportList[6].distance, 12.0, 1e-9);
  // Three airports: the empty places sort first, shown last.
  EXPECT_EQ(fill({{"A", 0.1, 0}, {"B", -0.1, 0}, {"C", 0, 0.2}}), (Strings{"", "", "", "", "", "", "C", "A", "B"}));
  S().GnsXlsPage = kPageDirect;
  S().GnsDirectPage = 1;
  F().PendingFlightPlanLastIndex = -1;  // the closest sub-page alone
  S().ClosestListLatitude = S().ClosestListLongitude = 0.0;
  Key(1);  // the nearest
  const Frame f = DrawFrame();
  f.Expect("DIR CLOSEST ARP 1/1", 70, 0, kWhite);
  f.Expect("B", 120, 40, kBlack);
  f.Expect("180/   6", 304, 40, kGreen);
  f.Expect("A        360/   6", 120, 80, kGreen);
  f.Expect("         9999/9999", 120, 160, kGreen);
  EXPECT_EQ(S().NavigatorScratchpad, "B");
  Key(2);  // row 3 ...
  Key(2);  // ... row 4: an empty place, nothing chosen
  EXPECT_EQ(LineStates()[1], 0);
  EXPECT_EQ(S().NavigatorScratchpad, "C");
}

// The list follows the aircraft: rebuilt past 50 NM from where it was built
// (whatever another display did to the map list) or in the direct-to key's
// frame; the near list past 200 NM from its centre.
TEST_F(DirectTest, ClosestListRebuildTriggers) {
  struct Case {
    double moved;  // NM north of where the list was built
    bool pressed;
    bool rebuilt;
  } cases[] = {{40, false, false}, {60, false, true}, {40, true, true}, {199, false, true}};
  for (const Case& c : cases) {
    ResetModuleState();
    S().ClosestListLatitude = S().ClosestListLongitude = 0.0;
    navdb::navdb_state.NearListCenters[navdb::kNearAirportsCenter] = {0.0, 0.0};
    G().PlaneLatitude = c.moved / 60.0;
    navdb::navdb_state.NearListCenters[navdb::kMapAirportsCenter] = {G().PlaneLatitude, 0.0};
    KeepClosestAirports(c.pressed);
    EXPECT_EQ(S().ClosestListLatitude == G().PlaneLatitude, c.rebuilt) << c.moved;
    EXPECT_EQ(navdb::navdb_state.NearListCenters[navdb::kNearAirportsCenter].latitude, 0.0) << c.moved;
  }
  G().PlaneLatitude = 201.0 / 60.0;
  KeepClosestAirports(false);
  EXPECT_EQ(navdb::navdb_state.NearListCenters[navdb::kNearAirportsCenter].latitude, G().PlaneLatitude);
}

// The long way round when the pilot chose the side the short turn does not
// take; the bearing keeps north as 360 for the decision.
TEST_F(DirectTest, ForcedTurnEachSideAndNone) {
  struct Case {
    double heading, course, variation;
    const char* choice;
    std::int32_t hold_turn;
    int event;  // -1: none sent
  } cases[] = {
      {250, 100, 0, "RIGHT", 2, 50},   {100, 250, 0, "LEFT", 1, 300}, {100, 250, 0, "RIGHT", 0, -1},
      {250, 100, 0, "DEFAULT", 0, -1}, {0.1, 15.3, 15, "RIGHT", 2, 160},  // 0.3 taken as 360.3: "left"
  };
  for (const Case& c : cases) {
    ResetModuleState();
    testing::FakeHost host;
    host.Bind();
    G().AircraftHeading = c.heading;
    G().MagneticVariation = c.variation;
    MakeActive({"KSEA", "T"});
    navdb::ProjectPosition(0, 0, c.course, 60, F().ActiveFlightPlan[1].latitude, F().ActiveFlightPlan[1].longitude);
    F().ActiveWaypointIndex = 1;
    PressDirect();
    DrawFrame();
    S().TurnDirectionText = c.choice;
    Ent();
    EXPECT_EQ(G().HoldTurnDirection, c.hold_turn) << c.heading << " " << c.choice;
    if (c.event < 0) {
      EXPECT_TRUE(host.key_events.empty()) << c.heading;
    } else {
      EXPECT_EQ(host.key_events, (std::vector<std::pair<std::uint32_t, std::uint32_t>>{
                                     {0x101FA, static_cast<std::uint32_t>(c.event)}}))
          << c.heading;
    }
  }
}

// The flown route rebuilt from the copy, worked by hand: A B C D flown to
// C (index 2) becomes A B DIRECT C D, flown to 3, its holds on the same
// waypoints.
TEST_F(DirectTest, TheRouteFlownAroundTheDirectWaypoint) {
  struct Case {
    const char* what;
    Strings route;
    int active;
    const char* typed;  // a target typed and confirmed on DATABASE WPT
    Pairs holds_on;     // (hold, waypoint)
    Strings idents;
    int active_after;
    Pairs holds;
    int key_after = 0;  // a row chosen after the target (key 3: the list's index 4)
    const char* typed_again = "";  // a second target, the cursor still on the first
  } cases[] = {
      {"a waypoint of the route", {"A", "B", "C", "D"}, 2, "", {{1, 1}, {2, 2}}, {"A", "B", "DIRECT", "C", "D"}, 3,
       {{1, 0}, {3, 0}}},
      {"a placeholder origin dropped", {"---", "KSEA", "B", "C"}, 3, "", {{1, 2}, {2, 3}},
       {"KSEA", "B", "DIRECT", "C"}, 3, {{1, 0}, {3, 0}}},
      {"a typed target", {"A", "B", "C", "D"}, 2, "X", {{1, 1}, {2, 2}}, {"A", "B", "DIRECT", "X", "C", "D"}, 3,
       {{1, 0}, {4, 0}}},
      {"a typed target, then D chosen", {"A", "B", "C", "D"}, 2, "X", {{1, 1}, {2, 2}},
       {"A", "B", "X", "C", "DIRECT", "D"}, 5, {{1, 0}, {3, 0}}, 3},
      {"a typed target replaced", {"A", "B", "C", "D"}, 2, "X", {{1, 1}, {2, 2}},
       {"A", "B", "DIRECT", "Y", "C", "D"}, 3, {{1, 0}, {4, 0}}, 0, "Y"},
  };
  for (const Case& c : cases) {
    ResetModuleState();
    MakeActive(c.route);
    F().ActiveFlightPlan[1].type = "APT";
    F().RouteState = 3;
    for (const auto& [hold, index] : c.holds_on) PutActiveHold(hold, index);
    flightplan::CopyActiveToPendingPlan();
    F().ActiveWaypointIndex = c.active;
    G().PlaneLatitude = 10.0;
    G().ActiveWaypointDistance = 0.4;
    PressDirect();
    DrawFrame();
    if (*c.typed != '\0') {
      PutCandidate(1, c.typed, "I", 1.0, 1.0);
      S().GnsXlsPage = kPageDatabaseWaypoint;
      S().GnsXlsReturnPage = kPageDirect;
      Ent();  // listed in its place, back on DIRECT
      EXPECT_EQ(S().GnsXlsPage, kPageDirect) << c.what;
      EXPECT_EQ(S().GnsDirectEntryStep, 1);
      EXPECT_EQ(DrawFrame().TextsAt(90), (Strings{"DIRECT 1/2", "B", "X     ", "C", "D", "******"}));
      // The pending route stays the flown one's copy until ENT flies it.
      EXPECT_EQ(flightplan::test::PendingIdents(), (Strings{"A", "B", "C", "D", "******"}));
      EXPECT_EQ(HoldBreach(), "");
    }
    if (*c.typed_again != '\0') {
      PutCandidate(1, c.typed_again, "I", 2.0, 2.0);
      S().GnsXlsPage = kPageDatabaseWaypoint;
      Ent();  // in the first one's place
      EXPECT_EQ(DrawFrame().TextsAt(90), (Strings{"DIRECT 1/2", "B", "Y     ", "C", "D", "******"}));
    }
    if (c.key_after != 0) Key(c.key_after);
    KeptPathLength();  // the path of the route before, kept
    Ent();
    EXPECT_EQ(ActiveIdents(), c.idents) << c.what;
    EXPECT_NEAR(KeptPathLength(), FlownRouteLength(), 1e-6) << c.what;
    EXPECT_EQ(F().ActiveFlightPlan[F().ActiveFlightPlanLastIndex + 1].ident, "******");
    EXPECT_EQ(F().ActiveWaypointIndex, c.active_after) << c.what;
    const model::FlightPlanWaypoint& d = F().ActiveFlightPlan[c.active_after - 1];
    EXPECT_EQ(d.latitude, 10.0);
    EXPECT_EQ(d.type + d.procedure_tag, "WPTDCT");
    EXPECT_EQ(G().ActiveWaypointDistance, 999.0);  // measured afresh
    EXPECT_EQ(G().NextConstraintIndex, 0);
    EXPECT_EQ(S().GnsXlsPage, kPageFlightPlan);
    EXPECT_EQ(S().GnsLoadedPlanFlagB, 1);
    EXPECT_EQ(HoldBreach(), "") << c.what;
    Pairs holds = HoldIndices();
    for (auto& h : holds) h.second = 0;
    EXPECT_EQ(holds, c.holds) << c.what;
  }
}

// Refused, nothing changed: the end marker as target, a route too long for
// the DIRECT waypoint, a typed target into a full copy.
TEST_F(DirectTest, DirectToRefused) {
  DirectFrom({"A", "B", "C"}, 1);
  DrawFrame();
  Key(3);  // its first row, index 4, is past the copy: nothing
  EXPECT_EQ(LineStates()[2], 0);
  Key(2);
  Key(2);  // index 3: the end marker
  ASSERT_EQ(F().EditWaypointIndex, 3);
  Ent();
  EXPECT_EQ(S().GnsXlsPage, kPageDirect);
  EXPECT_EQ(ActiveIdents(), (Strings{"A", "B", "C"}));

  DirectFrom(LongRoute(kMaxEditLastIndex), 1);
  DrawFrame();
  Ent();
  EXPECT_EQ(F().ActiveFlightPlanLastIndex, kMaxEditLastIndex);
  DirectFrom(LongRoute(kMaxEditLastIndex - 1), 1);
  S().GnsXlsPage = kPageDatabaseWaypoint;
  S().GnsXlsReturnPage = kPageDirect;
  PutCandidate(1, "X", "I", 1.0, 1.0);
  Ent();
  EXPECT_EQ(S().GnsXlsPage, kPageDatabaseWaypoint);
  EXPECT_EQ(F().PendingFlightPlanLastIndex, kMaxEditLastIndex);
}

// From power-up a stored plan opened on page 1 names waypoint 1 before any
// route is active: the direct-to key has nothing to go direct from and
// leaves the plan, its route state and the page alone.
TEST_F(DirectTest, NothingWithoutAnActiveRoute) {
  SampleDataCopy data;
  navdb::LoadNavDatabase();
  flightplan::ScanFlightPlanFolder();
  S().GnsXlsPage = kPageFlightPlan;
  S().GnsXlsFplView = kViewStored;
  DrawFrame();
  Key(7);
  Ent();
  DrawFrame();
  ASSERT_EQ(navdb::entry_state.PendingPlanOpen, 1);
  ASSERT_EQ(F().RouteState, 1);
  const Strings opened = PendingIdents();
  ASSERT_GE(opened.size(), 2u);
  PressDirect();
  DrawFrame();
  EXPECT_EQ(PendingIdents(), opened);
  EXPECT_EQ(F().RouteState, 1);
  EXPECT_EQ(navdb::entry_state.PendingPlanOpen, 1);
  EXPECT_EQ(S().GnsXlsPage, kPageFlightPlan);
  // Once activated, the same key opens the direct-to.
  ActivateStoredPlan();
  PressDirect();
  EXPECT_EQ(S().GnsXlsPage, kPageDirect);
}

// Another unit at work while a direct-to is being set up: the CDU edits
// and executes, or a cruise altitude makes a modification of the route the
// copy was taken from. The copy is not committed over the executed route
// (its hold stays where the CDU put it, no DIRECT goes in), and EXEC never
// flies the copy's end marker.
TEST_F(DirectTest, AnotherUnitsExecDuringTheDirectTo) {
  for (const bool typed : {false, true}) {
    SCOPED_TRACE(typed);
    ResetModuleState();
    model::model_state.OriginAirportIdent = "KSEA";  // EXEC of the same flight keeps the holds
    DirectFrom({"KSEA", "A", "B", "C", "D", "KPDX"}, 2);
    DrawFrame();
    if (typed) {  // a target put into the copy first
      S().GnsXlsPage = kPageDatabaseWaypoint;
      S().GnsXlsReturnPage = kPageDirect;
      PutCandidate(1, "X", "I", 46.0, -121.0);
      S().SelectedCandidateIndex = 1;
      Ent();
      ASSERT_EQ(S().GnsXlsPage, kPageDirect);
    }
    flightplan::BeginRouteModification();
    flightplan::RemovePendingWaypoints(1, 2);  // A
    flightplan::AddHoldAtWaypoint(3, 1);       // on D
    fms::PressExec();
    const Strings executed{"KSEA", "B", "C", "D", "KPDX"};
    ASSERT_EQ(ActiveIdents(), executed);
    Ent();
    EXPECT_EQ(ActiveIdents(), executed);
    EXPECT_EQ(F().ActiveFlightPlan[3].hold_number, 1u);
    EXPECT_EQ(HoldBreach(), "");
    EXPECT_EQ(S().GnsXlsPage, kPageFlightPlan);
  }
  // A cruise altitude typed on the CDU over the working copy, then EXEC.
  DirectFrom({"KSEA", "A", "B"}, 1);
  model::model_state.FmsScratchpad = "FL350";
  fms::EnterCruiseAltitude(false);
  ASSERT_EQ(F().RouteState, 4);
  fms::PressExec();
  EXPECT_EQ(ActiveIdents(), (Strings{"KSEA", "A", "B"}));
  Ent();
  EXPECT_EQ(ActiveIdents(), (Strings{"KSEA", "A", "B"}));
}

// The order of keys on two units that once left the pending route another
// one than the flown route's copy while route state 3 said it was: the
// navigator's typed target put into it moved the holds' pending indices off
// the flown ones. The CDU's change is given up, its EXEC finds nothing to
// execute, and the target waits beside the copy until ENT flies it.
TEST_F(DirectTest, ATypedTargetBetweenTheCdusKeys) {
  SampleDataCopy data;
  navdb::LoadNavDatabase();
  flightplan::ScanFlightPlanFolder();
  testing::FakeHost host;
  host.Bind();
  G().GroundSpeedKnots = 250.0;
  F().RequestedFlightPlanFile = "KSEA-KPDX.rte";
  flightplan::LoadRequestedFlightPlan(1);
  const Strings flown{"KSEA", "FOURT", "PARKK", "CHINS", "OLM", "TOLLE", "COUGA", "BTG", "LAVAA", "JAYPE", "KPDX"};
  ASSERT_EQ(ActiveIdents(), flown);
  // A CDU key, then its frame (the page acts on the key).
  auto cdu = [](auto key) {
    key();
    gfx::DeviceContext dc(282, 245);
    fms::DrawFmsCdu(fms::fms_state.FmsDisplay, &dc, 282, 245);
    EXPECT_EQ(HoldBreach(), "");
  };
  // RTE LEGS: HOLD, L2 (PARKK), L6, EXEC.
  cdu(fms::PressLegs);
  cdu(fms::PressHold);
  cdu([] { fms::PressLineSelect(2); });
  cdu([] { fms::PressLineSelect(11); });
  cdu(fms::PressExec);
  ASSERT_EQ(F().ActiveFlightPlan[2].hold_number, 1u);
  // OLM typed on L1: a direct-to, MOD.
  cdu(fms::PressLegs);
  for (char c : std::string("OLM")) fms::TypeCharacter(c);
  cdu([] { fms::PressLineSelect(1); });
  ASSERT_EQ(F().RouteState, 4);
  S().GnsXlsPage = kPageFlightPlan;
  PressDirect();
  DrawFrame();
  EXPECT_EQ(F().RouteState, 3);
  Type("PAE");
  cdu(fms::PressExec);
  for (int ent = 0; ent < 2; ++ent) {
    Ent();
    DrawFrame();
  }
  EXPECT_EQ(HoldBreach(), "");
  Strings copy = flown;
  copy.push_back("******");
  EXPECT_EQ(PendingIdents(), copy);
  Ent();
  EXPECT_EQ(ActiveIdents(), (Strings{"KSEA", "DIRECT", "PAE", "FOURT", "PARKK", "CHINS", "OLM", "TOLLE", "COUGA",
                                     "BTG", "LAVAA", "JAYPE", "KPDX"}));
  EXPECT_EQ(F().ActiveWaypointIndex, 2);
  EXPECT_EQ(HoldIndices(), (Pairs{{4, 4}}));
  EXPECT_EQ(HoldBreach(), "");
}

// To the nearest airport typed (its padding dropped): the route becomes its
// origin and the airport; holds of the waypoints dropped go.
TEST_F(DirectTest, DirectToAClosestAirport) {
  S().GnsXlsPage = kPageFlightPlan;
  MakeActive({"KSEA", "A", "B", "C"});
  F().ActiveWaypointIndex = 2;
  F().RouteState = 3;
  PutActiveHold(1, 1);
  PutActiveHold(2, 3);
  PressDirect();
  DrawFrame();
  G().NextConstraintAltitude = 520.0;
  model::NavDbRecord& kbfi = S().ClosestAirportList[9];
  kbfi.ident = "KBFI";
  kbfi.latitude = 47.53;
  kbfi.longitude = -122.302;
  S().ClosestListLatitude = S().ClosestListLongitude = 0.0;
  S().GnsXlsPage = kPageDirect;
  PressPrevPage();
  DrawFrame();
  ASSERT_EQ(S().GnsDirectPageMode, 2);
  for (const char* typed : {"", "KXXX"}) {
    S().NavigatorScratchpad = typed;
    Ent();
    EXPECT_EQ(ActiveIdents(), (Strings{"KSEA", "A", "B", "C"})) << typed;
  }
  S().NavigatorScratchpad = "KBFI  ";
  KeptPathLength();
  Ent();
  EXPECT_EQ(ActiveIdents(), (Strings{"KSEA", "KBFI"}));
  EXPECT_NEAR(KeptPathLength(), FlownRouteLength(), 1e-6);
  EXPECT_EQ(F().ActiveFlightPlan[2].ident, "******");
  EXPECT_EQ(F().ActiveWaypointIndex, 1);
  EXPECT_EQ(F().HoldCount, 0);
  EXPECT_EQ(HoldBreach(), "");
  EXPECT_EQ(model::model_state.DestinationAirportIdent, "KBFI");
  EXPECT_EQ(G().NextConstraintIndex, 1);
  EXPECT_EQ(F().ActiveFlightPlan[1].altitude_constraint, 520.0);
  EXPECT_EQ(S().GnsXlsPage, kPageFlightPlan);
  EXPECT_EQ(LineStates(), std::vector<int>(10, 0));
}

}  // namespace
}  // namespace ovi::gnsxls::test
