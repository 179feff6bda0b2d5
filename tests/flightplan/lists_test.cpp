// The small list routines: approach legs and transitions, the navigator's
// entry line, the nearest VORs and the typing of a GPS planner's route.
#include <cmath>

#include <gtest/gtest.h>

#include "src/flightplan/entry_line.h"
#include "src/flightplan/gps_route_typing.h"
#include "src/flightplan/nearest_navaids.h"
#include "src/flightplan/procedure_splice.h"
#include "src/instruments/fms/state.h"
#include "src/instruments/gnsxls/state.h"
#include "src/model/state.h"
#include "src/navdb/navdb.h"
#include "src/navdb/procedure_state.h"
#include "tests/flightplan/route_support.h"
#include "tests/support/navdata_fixture.h"

namespace ovi::flightplan::test {
namespace {

model::State& M() { return model::model_state; }
gnsxls::State& Gns() { return gnsxls::gnsxls_state; }

// ---- approach legs and transitions --------------------------------------------

model::ProcedureLeg Leg(const std::string& approach, const std::string& transition, const std::string& fix,
                        const std::string& role, const std::string& filter, const std::string& altitude = "-") {
  model::ProcedureLeg l;
  l.approach_name = approach;
  l.transition = transition;
  l.fix_ident = fix;
  l.role = role;
  l.filter_text = filter;
  l.altitude_text = altitude;
  l.latitude = -33.9;
  l.longitude = 151.2;
  return l;
}

class ApproachListTest : public RouteTest {
 protected:
  void SetUp() override {
    RouteTest::SetUp();
    model::AirportProcedureSet& set = navdb::procedure_state.AirportProcedureSets[2];
    const std::vector<model::ProcedureLeg> ils = {
        Leg("ILS16R", "ABC", "ABC", "IAF", "16R", "5000"),  Leg("ILS16R", "---", "ABC", "IAF", "16R"),
        Leg("ILS16R", "---", "FAFX", "FAF", "16R", "2000"), Leg("ILS16R", "", "MAPX", "MAP", ""),
        Leg("ILS16R", "XYZ", "XYZ", "IAF*", ""),            Leg("ILS16R", "MAP", "MISS", "HP", "16L,16R"),
        Leg("ILS16R", "---", "LEFT", "", "16L"),            Leg("ILS16R", "IAF*", "ENTRY", "ARC", ""),
    };
    const std::vector<model::ProcedureLeg> vor = {
        Leg("VOR34", "---", "ABC", "IAF", "34"), Leg("VOR34", "DEF", "DEF", "IAF", "34"),
        Leg("VOR34", "---", "GHI", "IAF", "34"), Leg("VOR34", "---", "FAFX", "FAF", "34"),
    };
    set.ApproachCount = 2;
    Fill(set.ApproachTable[1], ils);
    Fill(set.ApproachTable[2], vor);
  }
  static void Fill(model::ProcedureRecord& r, const std::vector<model::ProcedureLeg>& legs) {
    r.leg_count = static_cast<int>(legs.size());
    for (int l = 1; l <= r.leg_count; ++l) r.legs[l] = legs[static_cast<std::size_t>(l - 1)];
  }
  static Strings Rows() {
    Strings out;
    const navdb::ProcedureState& ps = navdb::procedure_state;
    for (int r = 1; r <= ps.ApproachLegCount; ++r) out.push_back(ps.ApproachList[r].fix_ident + "/" + ps.ApproachList[r].role);
    return out;
  }
  static Strings Transitions() {
    Strings out;
    const model::AirportProcedureSet& set = navdb::procedure_state.AirportProcedureSets[2];
    for (int e = 1; e <= set.ApproachTransitionListCount; ++e) out.push_back(set.ApproachTransitionList[e].name);
    return out;
  }
};

TEST_F(ApproachListTest, LegRowsTakeTheCommonPartAndTheChosenTransition) {
  struct Case {
    const char* transition;
    const char* to;
    Strings rows;
  };
  const Case cases[] = {
      // An unknown transition still gets the common legs and the "IAF*",
      // "MAP" and "FAF" transitions; the 16L-only leg is filtered out.
      {"NOPE", "16R", {"ABC/IAF", "FAFX/FAF", "MAPX/MAP", "MISS/HP", "ENTRY/ARC"}},
      {"ABC", "16R", {"ABC/IAF", "ABC/IAF", "FAFX/FAF", "MAPX/MAP", "MISS/HP", "ENTRY/ARC"}},
      // The role "IAF*" is listed as none.
      {"XYZ", "16R", {"ABC/IAF", "FAFX/FAF", "MAPX/MAP", "XYZ/", "MISS/HP", "ENTRY/ARC"}},
      // Only legs whose filter is empty serve a runway no filter names.
      {"NOPE", "09", {"MAPX/MAP", "ENTRY/ARC"}},
  };
  for (const Case& c : cases) {
    ResetModuleState();
    SetUp();
    M().SelectedApproach = "ILS16R";
    M().SelectedApproachTransition = c.transition;
    M().SelectedApproachTo = c.to;
    SelectApproachTransition();
    EXPECT_EQ(Rows(), c.rows) << c.transition << " " << c.to;
    EXPECT_EQ(Gns().GnsApproachSelection, 1);
    EXPECT_EQ(Gns().GnsActiveFieldCode, 1);
  }
  EXPECT_EQ(navdb::procedure_state.ApproachList[1].altitude_text, "-");
}

TEST_F(ApproachListTest, TransitionsListEachEntryFixOnce) {
  // Every approach: a common-part entry fix already listed joins that
  // transition; one not listed stands for the approach without one.
  BuildTransitionList();
  EXPECT_EQ(Transitions(), (Strings{"ABC", "XYZ", "DEF", "---"}));
  const model::AirportProcedureSet& set = navdb::procedure_state.AirportProcedureSets[2];
  EXPECT_EQ(set.ApproachTable[1].legs[2].transition, "ABC");
  EXPECT_EQ(set.ApproachTable[2].legs[1].transition, "ABC");
  EXPECT_EQ(set.ApproachTable[2].legs[3].transition, "---");
  BuildTransitionList();
  EXPECT_EQ(Transitions(), (Strings{"ABC", "XYZ", "DEF", "---"}));

  M().SelectedApproach = "ILS16R";
  M().SelectedApproachTo = "16L";
  BuildTransitionList();
  EXPECT_EQ(Transitions(), (Strings{"XYZ"}));  // the empty filter serves 16L too
}

// An approach of 300 legs fills the 80 leg rows and stops; 150 entry fixes
// of distinct transitions fill the 140 list entries and stop.
TEST_F(ApproachListTest, FullListsStopAtTheirLastRow) {
  model::AirportProcedureSet& set = navdb::procedure_state.AirportProcedureSets[2];
  model::ProcedureRecord& big = set.ApproachTable[2];
  big.leg_count = model::kMaxProcedureLegs;
  for (int l = 1; l <= big.leg_count; ++l) {
    big.legs[l] = Leg("BIG", "T" + std::to_string(l), "F" + std::to_string(l), l <= 150 ? "IAF" : "", "");
    if (l > 150) big.legs[l].transition = "---";
  }
  M().SelectedApproach = "BIG";
  M().SelectedApproachTransition = "NONE";
  SelectApproachTransition();
  ASSERT_EQ(navdb::procedure_state.ApproachLegCount, 80);
  EXPECT_EQ(navdb::procedure_state.ApproachList[80].fix_ident, "F230");  // legs 151.. are the common part
  BuildTransitionList();
  ASSERT_EQ(set.ApproachTransitionListCount, 140);
  EXPECT_EQ(set.ApproachTransitionList[140].name, "T140");
  EXPECT_EQ(navdb::procedure_state.ApproachList.refused(), 0);
  EXPECT_EQ(set.ApproachTransitionList.refused(), 0);
}

// ---- entry line -------------------------------------------------------------

TEST(EntryLineTest, KeysFillAFixedWidthField) {
  struct Case {
    const char* before;
    int page;
    int clear_pending;
    std::vector<std::string> keys;  // "" with pad 1 for the blank-fill mode
    int pad_only;
    const char* after;
  };
  const Case cases[] = {
      {"******", 1, 0, {"K"}, 0, "K     "},
      {"------", 1, 0, {"*1"}, 0, "      "},
      {"", 1, 0, {"A", "B", "C", "D", "E", "F", "G"}, 0, "ABCDEF"},
      {"", 14, 0, {"A", "B", "C", "D", "E", "F", "G", "H", "I", "J", "K"}, 0, "ABCDEFGHIJ"},
      {"AB    ", 1, 0, {"*1"}, 0, "A     "},
      {"", 1, 0, {"*1"}, 0, "      "},
      {"", 1, 0, {"*", "1"}, 0, "*1    "},  // two keys, not the delete code
      {"AB", 1, 0, {""}, 0, "AB    "},
      {"ABCDEFGH", 1, 1, {""}, 1, "ABCDEFGH"},  // a long field value stays whole
      {"ABCDEFGH", 1, 1, {"Z"}, 0, "Z     "},   // until the first key replaces it
      {"SEA", 14, 1, {""}, 1, "SEA       "},
      // Only trailing blanks go before a key, and a full field ignores keys
      // until one is deleted.
      {"******", 14, 0, {"K"}, 0, "K         "},
      {"------", 14, 0, {"1"}, 0, "1         "},
      {"ABCDEF", 1, 0, {"G"}, 0, "ABCDEF"},
      {"ABCDE ", 1, 0, {"F"}, 0, "ABCDEF"},
      {"ABCDEF", 1, 0, {"*1", "G"}, 0, "ABCDEG"},
      {"A B", 1, 0, {"C"}, 0, "A BC  "},
      {"ABC   ", 14, 0, {"D"}, 0, "ABCD      "},
      {"      ", 1, 0, {"*1"}, 0, "      "},
      {"AB    ", 1, 0, {"*1", "*1", "*1"}, 0, "      "},
  };
  for (const Case& c : cases) {
    ResetModuleState();
    gnsxls::State& g = gnsxls::gnsxls_state;
    g.NavigatorScratchpad = c.before;
    g.GnsXlsPage = c.page;
    g.GnsXlsEntryActive = 1;
    g.ScratchpadClearPending = c.clear_pending;
    for (const std::string& key : c.keys) ScratchpadKeyInput(key, c.pad_only);
    EXPECT_EQ(g.NavigatorScratchpad, c.after) << c.before;
    EXPECT_EQ(g.GnsXlsEntryActive, 1);
    if (c.pad_only == 0) {
      EXPECT_EQ(g.ScratchpadClearPending, 0) << c.before;
    }
  }
}

// Filling only: a placeholder is a value like any other, and the next key
// still finds the line to be cleared.
TEST(EntryLineTest, FillingLeavesAPlaceholderForTheNextKey) {
  ResetModuleState();
  gnsxls::State& g = gnsxls::gnsxls_state;
  g.NavigatorScratchpad = "------";
  g.GnsXlsPage = 14;
  g.GnsXlsEntryActive = 1;
  g.ScratchpadClearPending = 1;
  ScratchpadKeyInput("", 1);
  EXPECT_EQ(g.NavigatorScratchpad, "------    ");
  EXPECT_EQ(g.ScratchpadClearPending, 1);
  ScratchpadKeyInput("Q", 0);
  EXPECT_EQ(g.NavigatorScratchpad, "Q         ");
  EXPECT_EQ(g.ScratchpadClearPending, 0);
}

TEST(EntryLineTest, NothingChangesWithoutAnOpenEntry) {
  ResetModuleState();
  gnsxls::State& g = gnsxls::gnsxls_state;
  g.NavigatorScratchpad = "AB";
  g.ScratchpadClearPending = 1;
  fms::fms_state.FmsLegsMarker = 3;
  ScratchpadKeyInput("K", 0);
  ScratchpadKeyInput("", 1);
  EXPECT_EQ(g.NavigatorScratchpad, "AB");
  EXPECT_EQ(g.ScratchpadClearPending, 1);
  EXPECT_EQ(fms::fms_state.FmsLegsMarker, 0);
}

// ---- nearest VORs -------------------------------------------------------------

// The aircraft south of the equator by the date line; stations due north of
// it, each 0.1 degree (6 NM) of latitude a step, others off the meridian.
class NearestTest : public RouteTest {
 protected:
  void Load(const std::string& navs) {
    folder_ = std::make_unique<navdb::test::ScratchFolder>();
    folder_->Write("navs.txt", navs);
    navdb::LoadNavDatabase();
    G().PlaneLatitude = -10.0;
    G().PlaneLongitude = 179.95;
    navdb::FilterNearNavaids(G().PlaneLatitude, G().PlaneLongitude);
    navdb::FilterMapNavaids(G().PlaneLatitude, G().PlaneLongitude);
  }
  static std::string Station(const std::string& ident, double north_nm, const char* kind = "V") {
    return ident + " " + std::to_string(-10.0 + north_nm / 60.0) + " 179.95 " + kind + " 0 11" +
           std::to_string(static_cast<int>(north_nm)) + ".00\n";
  }
  static Strings List() {
    Strings out;
    for (int i = 1; i <= 9; ++i) out.push_back(F().ClosestNavaidList[i].ident);
    return out;
  }
  std::unique_ptr<navdb::test::ScratchFolder> folder_;
};

TEST_F(NearestTest, ThreeStationsFillTheLastPlacesFarthestFirst) {
  // An NDB nearer than every VOR never enters.
  Load(Station("V12", 12) + Station("V30", 30) + Station("NDB", 1, "N") + Station("V05", 5) +
       "VEA -10.0000 -179.9500 V 0 117.00 ACROSS THE DATE LINE\n");
  G().MagneticVariation = 359.7;  // due north (360) less this is 0.3: kept as 360.3
  FindNearestNavaids();
  EXPECT_EQ(List(), (Strings{"", "", "", "", "", "V30", "V12", "VEA", "V05"}));
  const model::NavDbRecord& empty = F().ClosestNavaidList[1];
  EXPECT_EQ(empty.distance, 9999.0);
  EXPECT_EQ(empty.bearing, 9999.0);
  EXPECT_EQ(empty.frequency_text, "");
  const model::NavDbRecord& v12 = F().ClosestNavaidList[7];
  EXPECT_NEAR(v12.distance, 12.0, 1e-3);
  EXPECT_NEAR(v12.bearing, 360.3, 1e-9);
  EXPECT_EQ(v12.frequency_text, "1112.00");
  // 0.1 degree of longitude east across 180 at 10 degrees south: about 5.9 NM.
  EXPECT_NEAR(F().ClosestNavaidList[8].distance, 6.0 * std::cos(10.0 * 3.14159265358979 / 180.0), 0.01);
  EXPECT_EQ(F().ClosestNavaidList[8].frequency_text, "117.00");
}

TEST_F(NearestTest, TwelveStationsKeepTheNineNearest) {
  std::string navs;
  const int order[] = {7, 12, 1, 9, 3, 11, 5, 2, 10, 4, 8, 6};  // not listed by distance
  for (int n : order) navs += Station("V" + std::to_string(n), 6.0 * n);
  Load(navs);
  FindNearestNavaids();
  EXPECT_EQ(List(), (Strings{"V9", "V8", "V7", "V6", "V5", "V4", "V3", "V2", "V1"}));
  for (int i = 1; i <= 9; ++i) {
    const model::NavDbRecord& r = F().ClosestNavaidList[i];
    EXPECT_EQ(r.frequency_text, "11" + std::to_string(6 * (10 - i)) + ".00") << i;  // beside its own station
  }
  // A rebuild starts from nothing.
  navdb::navdb_state.MapNavaidCount = 0;
  FindNearestNavaids();
  EXPECT_EQ(List(), Strings(9, ""));
}

// Stations written straight into the map near list, in its order; the
// aircraft south and west of zero.
class NearestOrderTest : public RouteTest {
 protected:
  void SetUp() override {
    RouteTest::SetUp();
    G().PlaneLatitude = -33.0;
    G().PlaneLongitude = -70.0;
  }
  static void Add(const std::string& ident, double lat, double lon, const char* kind = "V") {
    navdb::State& db = navdb::navdb_state;
    model::NavDbRecord& r = db.MapNavaidList[++db.MapNavaidCount];
    r.ident = ident;
    r.latitude = lat;
    r.longitude = lon;
    r.kind = kind;
    r.frequency_text = "f" + ident;
  }
  static Strings List() {
    Strings out;
    for (int i = 1; i <= 9; ++i) out.push_back(F().ClosestNavaidList[i].ident);
    return out;
  }
};

// FA and FB lie 0.6 degree east and west of the aircraft, equally far and
// farther than N1..N7 (3 to 21 NM north). The tenth station, 1 NM south,
// replaces the first of the two farthest places (FA's); equal distances
// keep their order in the sort.
TEST_F(NearestOrderTest, ANearerStationTakesTheFirstOfTheFarthestPlaces) {
  Add("FA", -33.0, -69.4);
  Add("FB", -33.0, -70.6);
  for (int n = 1; n <= 7; ++n) Add("N" + std::to_string(n), -33.0 + 3.0 * n / 60.0, -70.0);
  Add("NEW", -33.0 - 1.0 / 60.0, -70.0);
  FindNearestNavaids();
  EXPECT_EQ(List(), (Strings{"FB", "N7", "N6", "N5", "N4", "N3", "N2", "N1", "NEW"}));
  EXPECT_EQ(F().ClosestNavaidList[1].frequency_text, "fFB");
  EXPECT_NEAR(F().ClosestNavaidList[2].distance, 21.0, 1e-6);
  EXPECT_NEAR(F().ClosestNavaidList[9].distance, 1.0, 1e-6);

  // Two stations at one distance, an NDB between them.
  navdb::navdb_state.MapNavaidCount = 0;
  Add("FA", -33.0, -69.4);
  Add("NB", -33.0, -70.1, "N");
  Add("FB", -33.0, -70.6);
  FindNearestNavaids();
  EXPECT_EQ(List(), (Strings{"", "", "", "", "", "", "", "FA", "FB"}));
  EXPECT_EQ(F().ClosestNavaidList[8].distance, F().ClosestNavaidList[9].distance);
}

// ---- GPS route typing ----------------------------------------------------------

class GpsTypingTest : public RouteTest {
 protected:
  void SetUp() override {
    RouteTest::SetUp();
    folder_ = std::make_unique<navdb::test::ScratchFolder>();
    folder_->Write("navs.txt",
                   "ELN   47.0242 -120.4572 N 1770 362 ELLENSBURG NDB\n"
                   "ELN   47.0245 -120.4535 V 1760 117.90 ELLENSBURG VORTAC\n"
                   "BF    47.5300 -122.3000 N 10 338 BOEING NDB\n"
                   "DUP   -1.0000 -0.1000 V 0 112.10 FIRST\n"
                   "DUP   -1.0100 -0.1000 V 0 113.20 SECOND\n"
                   "FAR   47.0000 -122.0000 V 0 114.30 FAR AWAY\n"
                   "DATE  -16.0000 179.9900 V 0 113.70 DATE LINE\n"
                   "FIVEN  10.0000  10.0000 V 0 115.00 FIVE LETTERS\n"
                   "TWIN  -20.0000 -40.0000 N 0 250 TWIN NDB\n"
                   "TWIN  -20.1000 -40.0000 V 0 116.00 TWIN VOR 6 NM SOUTH\n"
                   "SIXLTR -30.0000 -50.0000 V 0 117.00 SIX LETTERS\n");
    folder_->Write("apts.txt", "A KSEA 433 47.4490 -122.3093 SEATTLE\nA KPDX 31 45.5887 -122.5975 PORTLAND\n");
    folder_->Write("ints.txt", "CHINOOK 47.1600 -122.3050\nFIVEE 47.2000 -122.3000\n");
    navdb::LoadNavDatabase();
  }
  // A GPS point: ident and position only, the rest as the takeover left it.
  void Point(int i, const std::string& ident, double lat, double lon) {
    model::FlightPlanWaypoint& w = F().PendingFlightPlan[i];
    model::Recreate(w);
    w.ident = ident;
    w.latitude = lat;
    w.longitude = lon;
    w.frequency_text = "stale";
  }
  std::unique_ptr<navdb::test::ScratchFolder> folder_;
};

TEST_F(GpsTypingTest, EveryPointIsTypedByANearbyDatabaseEntry) {
  struct Case {
    const char* ident;
    double lat, lon;
    const char* type;
    const char* frequency;
  };
  const Case cases[] = {
      {"ELN", 47.03, -120.45, "VOR", "117.90"},    // NDB followed by its VOR
      {"BF", 47.50, -122.29, "NDB", "338"},
      {"DUP", -1.005, -0.1, "VOR", "112.10"},      // two within reach: the first
      {"FAR", 47.0, -122.1235, "WPT", ""},         // 5.05 NM west: too far
      {"CHINOOK", 47.16, -122.31, "INT", ""},
      {"FIVEE", 47.20, -122.30, "WPT", ""},        // five letters: navaids only
      {"NOWHERE", 10.0, 10.0, "WPT", ""},
      {"DATE", -16.0, -179.99, "VOR", "113.70"},  // 1.2 NM east, across the date line
      {"FIVEN", 10.0, 10.01, "VOR", "115.00"},    // five letters and a navaid
      {"TWIN", -20.0, -40.01, "NDB", "250"},      // the VOR after it is 6 NM away
      {"SIXLTR", -30.0, -50.0, "WPT", ""},        // six letters: intersections only
  };
  const int last = static_cast<int>(std::size(cases)) + 1;
  Point(0, "KSEA", 0.0, 0.0);  // the ends go by ident alone
  for (int i = 1; i < last; ++i) Point(i, cases[i - 1].ident, cases[i - 1].lat, cases[i - 1].lon);
  Point(last, "KPDX", 10.0, 10.0);
  F().PendingFlightPlanLastIndex = last;
  ResolveGpsRouteWaypoints();
  EXPECT_EQ(F().PendingFlightPlan[0].type, "APT");
  EXPECT_EQ(F().PendingFlightPlan[last].type, "APT");
  for (int i = 1; i < last; ++i) {
    EXPECT_EQ(F().PendingFlightPlan[i].type, cases[i - 1].type) << cases[i - 1].ident;
    EXPECT_EQ(F().PendingFlightPlan[i].frequency_text, cases[i - 1].frequency) << cases[i - 1].ident;
  }
}

TEST_F(GpsTypingTest, ShortRoutesTypeOnlyTheirEnds) {
  Point(0, "KSEA", 0.0, 0.0);
  Point(1, "ELN", 47.03, -120.45);  // the last point, not an airport
  F().PendingFlightPlanLastIndex = 1;
  ResolveGpsRouteWaypoints();
  EXPECT_EQ(F().PendingFlightPlan[0].type, "APT");
  EXPECT_EQ(F().PendingFlightPlan[1].type, "");
  EXPECT_EQ(F().PendingFlightPlan[1].frequency_text, "stale");
  F().PendingFlightPlanLastIndex = -1;
  F().PendingFlightPlan[0].type = "";
  ResolveGpsRouteWaypoints();
  EXPECT_EQ(F().PendingFlightPlan[0].type, "");
}

}  // namespace
}  // namespace ovi::flightplan::test
