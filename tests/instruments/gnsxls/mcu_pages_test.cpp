// The MCU pages: FPLN's list and load request, the rocker's altitude steps
// (ALT/FL, crossing altitude) and character editor, APT's runways and their
// choice, DIRTO's search and direct route, LEGS and its crossing altitude.
#include <filesystem>
#include <random>

#include "src/flightplan/holds.h"
#include "src/flightplan/route_edit.h"
#include "src/host/state.h"
#include "src/instruments/gnsxls/mcu/entry_editor.h"
#include "src/navdb/entry_state.h"
#include "src/navdb/navdb.h"
#include "src/navdb/state.h"
#include "tests/instruments/gnsxls/mcu_support.h"
#include "tests/sim/test_support.h"
#include "tests/support/navdata_fixture.h"

namespace ovi::mcu::test {
namespace {

using McuPagesTest = McuTest;
using Rows = std::vector<std::vector<int>>;

navdb::State& Nav() { return navdb::navdb_state; }
navdb::EntryState& Entry() { return navdb::entry_state; }
std::vector<int> PlanCursor() { return {M().McuPlanListTop, M().McuPlanCursorRow}; }

// ---- FPLN -----------------------------------------------------------------

TEST_F(McuPagesTest, FplnRowsMarkBoxAndTheLoadRequest) {
  MakeLibrary(7);
  F().FlightPlanLibrary[3].name = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123.RTE";  // 30 characters
  F().FlightPlanLibrary[5].name = std::string(256, 'N') + ".RTE";        // 260: the request holds 259
  M().McuPage = kPageFlightPlan;
  M().McuPlanListTop = M().McuPlanCursorRow = 2;
  M().McuLoadedPlanRow = 3;  // plan 4
  Frame f = Repaint();
  f.Expect("FPLN:", 0, 0, kAmber);
  f.Expect("P2.RTE", 0, 12, kGreen);
  f.Expect("ABCDEFGHIJKLMNOPQRSTUVWXYZ", 0, 24, kGreen);
  f.Expect("P4.RTE", 0, 36, kAmber);
  EXPECT_EQ(f.Boxes(), (Rows{{0, 25, 120, 12}}));
  S().McuPageEntered = 1;
  Repaint().Expect("ABCDEFGHIJKLMNOPQRSTUVWXYZ", 0, 24, kAmber);  // marked in the frame ENTER acts in
  EXPECT_EQ(F().RequestedFlightPlanFile, "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123.RTE");
  EXPECT_EQ(G().FlightPlanLoadRequest, 1);
  EXPECT_EQ(M().McuLoadedPlanRow * 10 + F().SelectedFlightPlanIndex, 22);
  // The same plan again is asked for again, the selection left alone.
  F().SelectedFlightPlanIndex = G().FlightPlanLoadRequest = 0;
  S().McuPageEntered = 1;
  Repaint();
  EXPECT_EQ(G().FlightPlanLoadRequest * 10 + F().SelectedFlightPlanIndex, 10);
  // A name the request cannot hold is not asked for; the mark stays.
  G().FlightPlanLoadRequest = 0;
  M().McuPlanCursorRow = 4;
  S().McuPageEntered = 1;
  Repaint();
  EXPECT_EQ(G().FlightPlanLoadRequest * 10 + M().McuLoadedPlanRow, 2);
  // No plan: the box at row 1, nothing asked.
  MakeLibrary(0);
  M().McuPlanListTop = M().McuPlanCursorRow = 1;
  S().McuPageEntered = 1;
  EXPECT_EQ(Repaint().Boxes(), (Rows{{0, 13, 120, 12}}));
  EXPECT_EQ(G().FlightPlanLoadRequest, 0);
}

// Each event from a set place: UP and DOWN stop at the ends, Page Down
// wraps from the last page to the first and Page Up the other way, the
// cursor always on a plan.
TEST_F(McuPagesTest, FplnCursorAtTheListsEnds) {
  enum { kUp, kDown, kPageUp, kPageDown };
  const int cases[][6] = {  // plans, top, row, event, top after, row after
      {7, 1, 1, kUp, 1, 1},       {7, 2, 1, kUp, 1, 1},       {7, 4, 2, kUp, 4, 1},       {7, 1, 3, kDown, 1, 4},
      {7, 1, 4, kDown, 2, 4},     {7, 4, 4, kDown, 4, 4},     {7, 5, 3, kDown, 5, 3},     {7, 1, 1, kPageDown, 5, 1},
      {7, 1, 3, kPageDown, 5, 3}, {7, 1, 4, kPageDown, 5, 1}, {7, 4, 2, kPageDown, 1, 1}, {7, 5, 2, kPageUp, 1, 2},
      {7, 1, 3, kPageUp, 4, 3},   {7, 4, 4, kPageUp, 4, 4},   {8, 1, 2, kPageUp, 5, 2},   {3, 1, 3, kPageUp, 1, 3},
      {3, 1, 2, kPageDown, 1, 1}, {4, 1, 4, kPageDown, 1, 1}, {4, 1, 4, kPageUp, 1, 4},   {2, 1, 4, kPageUp, 1, 2},
      {0, 1, 1, kPageUp, 1, 1},   {0, 1, 1, kDown, 1, 1},     {0, 1, 1, kPageDown, 1, 1},
  };
  for (const auto& c : cases) {
    ResetModuleState();
    MakeLibrary(c[0]);
    M().McuPage = kPageFlightPlan;
    M().McuPlanListTop = c[1];
    M().McuPlanCursorRow = c[2];
    (c[3] == kUp ? M().McuUpPressed : c[3] == kDown ? M().McuDownPressed : c[3] == kPageUp ? M().McuPageUpPressed
                                                                                             : M().McuPageDownPressed) = 1;
    Repaint();
    EXPECT_EQ(PlanCursor(), (std::vector<int>{c[4], c[5]})) << c[0] << " plans, " << c[1] << "/" << c[2] << " " << c[3];
  }
}

// A seeded walk over the four events: after every step the cursor stands
// on a plan and the amber mark on the plan loaded, wherever the list wrapped.
TEST_F(McuPagesTest, FplnMarkStaysOnTheLoadedPlanThroughEveryMove) {
  std::mt19937 random(34);
  for (int plans : {0, 1, 3, 4, 5, 7, 12}) {
    ResetModuleState();
    MakeLibrary(plans);
    M().McuPage = kPageFlightPlan;
    M().McuLoadedPlanRow = 1;  // plan 1
    for (int step = 0; step < 400; ++step) {
      const unsigned event = random() % 4;
      (event == 0 ? M().McuUpPressed : event == 1 ? M().McuDownPressed : event == 2 ? M().McuPageUpPressed
                                                                                    : M().McuPageDownPressed) = 1;
      Frame f = Repaint();
      const int top = M().McuPlanListTop, row = M().McuPlanCursorRow;
      ASSERT_EQ(top + M().McuLoadedPlanRow - 1, 1) << plans << " plans, step " << step;
      ASSERT_TRUE(top >= 1 && row >= 1 && row <= 4 && (plans == 0 || top + row - 1 <= plans)) << plans << " " << step;
      for (const auto& t : f.rec.Texts()) ASSERT_TRUE(t.color != kAmber || t.text == "FPLN:" || t.text == "P1.RTE");
    }
  }
}

TEST_F(McuPagesTest, FplnRescanBringsTheCursorBackOntoTheList) {
  sim::test::ScratchDir folder("mcu_plans");
  std::filesystem::create_directories(folder / "ovi/flightplans");
  for (int i = 1; i <= 5; ++i)
    sim::test::WriteFile(folder / ("ovi/flightplans/A" + std::to_string(i) + ".RTE"),
                         "[FlightPlan]\nKSEA 47.449 -122.309 APT ---\nKPDX 45.589 -122.598 APT --- DIRECT\n");
  host::host_state.SimulatorFolder = folder.path();
  M().McuPage = kPageFlightPlan;
  M().McuFlightPlanRescan = 1;
  M().McuPlanListTop = 9;
  M().McuPlanCursorRow = 3;
  Frame f = Repaint();
  ASSERT_EQ(F().FlightPlanLibraryCount, 6);  // five plans and "NEW FPL"
  EXPECT_EQ(PlanCursor(), (std::vector<int>{2, 4}));
  EXPECT_EQ(f.TextsAt(48), Strings{"A5.RTE"});
}

// ---- the rocker's editors ---------------------------------------------------

// Left picks the thousands, right the five hundreds; up and down step within
// 0..99000, on ALT/FL and for the crossing altitude alike.
TEST_F(McuPagesTest, RockerAltitudeStepsAtTheirLimits) {
  const int cases[][5] = {  // value, cursor, key, value after, cursor after
      {98000, 1, kRockerUp, 99000, 1},  {98500, 1, kRockerUp, 98500, 1},  {97500, 2, kRockerUp, 98000, 2},
      {98000, 2, kRockerUp, 98000, 2},  {1000, 1, kRockerDown, 0, 1},     {500, 1, kRockerDown, 500, 1},
      {500, 2, kRockerDown, 0, 2},      {0, 2, kRockerDown, 0, 2},        {12000, 2, kRockerLeft, 12000, 1},
      {12000, 1, kRockerRight, 12000, 2},
  };
  for (const auto& c : cases) {
    for (std::int32_t page : {kPageAltitude, kPageLegs}) {
      ResetModuleState();
      M().McuPage = page;
      M().McuCrossingEntryActive = 1;
      M().McuNewAltitude = M().McuCrossingAltitude = c[0];
      M().McuEntryCursor = c[1];
      M().McuLineSelectKey = c[2];
      Repaint();
      EXPECT_EQ(page == kPageAltitude ? M().McuNewAltitude : M().McuCrossingAltitude, c[3]) << page << " " << c[0];
      EXPECT_EQ(M().McuEntryCursor, c[4]);
    }
  }
}

TEST_F(McuPagesTest, AltitudePageLinesUnderlinesAndEnter) {
  M().McuPage = kPageAltitude;
  G().ApAltitudeLockVar = 500.0;
  M().McuNewAltitude = 12000.0;
  M().McuEntryCursor = 1;
  M().McuLineSelectKey = kRockerUp;
  Frame f = Repaint();
  f.Expect("ALT/FL:", 0, 0, kAmber);
  f.Expect("AP ALT:   00500", 70, 20, kGreen);
  f.Expect("NEW ALT:  13000", 70, 40, kAmber);  // the step shows in its own frame
  EXPECT_EQ(f.Underlines(), (Rows{{168, 176, 55}}));
  M().McuEntryCursor = 2;
  EXPECT_EQ(Repaint().Underlines(), (Rows{{177, 185, 55}}));
  S().McuPageEntered = 1;
  Repaint();
  EXPECT_EQ(host.key_events, (std::vector<std::pair<std::uint32_t, std::uint32_t>>{{0x1024C, 13000}}));
  EXPECT_EQ(M().McuPage * 1000 + G().DisplayRefreshCounter, 5999);
}

TEST_F(McuPagesTest, CharacterEditorCycleKeysAndDrawing) {
  std::string up, down;
  for (char c = ' '; up.size() < 38; c = StepCharacterUp(c)) up += c;
  for (char c = ' '; down.size() < 38; c = StepCharacterDown(c)) down += c;
  EXPECT_EQ(up, " 0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ ");
  EXPECT_EQ(down, " ZYXWVUTSRQPONMLKJIHGFEDCBA9876543210 ");
  EXPECT_EQ(std::string() + StepCharacterUp('z') + StepCharacterUp('\xB0') + StepCharacterDown('\t'), "  Z");

  struct Case {
    const char* text;
    int cursor, key;
    const char* text_after;
    int cursor_after;
  } cases[] = {
      {"ABC", 2, kRockerDown, "AAC", 2},       {"ABC", 4, kRockerUp, "ABC0", 4},
      {"A0C", 2, kRockerDown, "A", 2},         {"0BC", 1, kRockerDown, "BC", 1},  // cut / first word
      {"", 1, kRockerDown, "Z", 1},            {"Z", 1, kRockerUp, "", 1},
      {"ABC", 1, kRockerLeft, "ABC", 1},       {"ABC", 4, kRockerRight, "ABC", 4},
      {"ABCDE", 5, kRockerRight, "ABCDE", 6},  {"ABCDEF", 6, kRockerRight, "ABCDEF", 6},
      {"ABCDEFG", 6, kRockerRight, "ABCDEFG", 7}, {"ABCDEFG", 7, kRockerRight, "ABCDEFG", 7},
      {"", 5, kRockerUp, "0", 1},  // a cursor past a shortened text comes back
  };
  M().McuPage = kPageDirectTo;
  for (const Case& c : cases) {
    Md().McuEntryText = c.text;
    M().McuEntryCursor = c.cursor;
    M().McuLineSelectKey = c.key;
    Repaint();
    EXPECT_EQ(Md().McuEntryText + "/" + std::to_string(M().McuEntryCursor),
              c.text_after + std::string("/") + std::to_string(c.cursor_after))
        << c.text << " at " << c.cursor << " key " << c.key;
  }
  Md().McuEntryText = "SEA";
  M().McuEntryCursor = 2;
  Frame f = Repaint();
  EXPECT_EQ(f.TextsAt(61), (Strings{"S", "E", "A", " ", "> "}));
  f.Expect("A", 35, 61, kGreen);
  f.Expect("> ", 0, 61, kGreen);
  EXPECT_EQ(f.Underlines(), (Rows{{28, 37, 75}}));
  M().McuEntryCursor = 0;
  Repaint().Expect("> SEA", 0, 61, kGreen);
}

// ---- APT ------------------------------------------------------------------------

class McuAirportTest : public McuTest {
 protected:
  void SetUp() override {
    McuTest::SetUp();
    navdb::test::UseSampleData();
    navdb::LoadNavDatabase();
    M().McuPage = kPageAirport;
  }
  Frame Enter(const char* text = nullptr) {
    if (text != nullptr) Md().McuEntryText = text;
    S().McuPageEntered = 1;
    return Repaint();
  }
  Frame Step(bool down, int times = 1) {
    for (int i = 1; i < times; ++i) Step(down);
    (down ? M().McuDownPressed : M().McuUpPressed) = 1;
    return Repaint();
  }
  std::vector<int> Choice() { return {S().McuRunwayScroll, Nav().SelectedRunwayBase, Nav().SelectedRunwayOffset}; }
};

TEST_F(McuAirportTest, AnIdentEnteredItsRunwaysAndAnUnknownIdent) {
  S().McuRunwayScroll = Nav().SelectedRunwayBase = 2;
  M().McuRunwayCursorRow = 3;
  Frame f = Enter("KSEA");
  f.Expect("APT: KSEA - Elev:433    1/1", 0, 0, kAmber);
  f.Expect("16L CON 110.30 164  11901", 0, 12, kGreen);
  f.Expect("34C CON 110.95 344   9426", 0, 48, kGreen);
  f.Expect("> ", 0, 61, kGreen);
  EXPECT_EQ(f.Boxes(), (Rows{{0, 13, 28, 12}}));
  EXPECT_EQ(Md().McuAirportIdent + Md().McuAirportElevationText + Md().McuEntryText, "KSEA433");
  EXPECT_EQ(Choice(), (std::vector<int>{-999, -999, 1}));
  EXPECT_EQ(M().McuRunwayCursorRow * 10 + G().RadioTuneRequest, 10);  // the ENTER used up
  Enter();  // row 1 chosen
  Frame unknown = Enter("KXYZ");
  unknown.Expect("> KXYZ", 0, 61, kGreen);
  EXPECT_EQ(Md().McuAirportIdent, "KSEA");
  EXPECT_EQ(Choice(), (std::vector<int>{1, 1, 1}));  // not undone by the same ENTER
  // A runway without an ILS, its approach course from its heading.
  Enter("KPDX");
  EXPECT_TRUE(Step(true, 5).Shows("03  ASP        030   6000"));
  // No runways: the title and the entry line.
  Nav().AirportRunwayCount = 0;
  Md().McuEntryText = "ABC";
  EXPECT_EQ(Repaint().Texts(), (Strings{"APT:", "> ABC"}));
}

// ENTER chooses the runway under the cursor (the radios tune on the next
// tick) or undoes the choice of that row; the amber row follows its runway
// through the scrolling; sub-page 2 shows the AI traffic's runways.
TEST_F(McuAirportTest, RunwayChoiceUndoTheMarkAndTheAiRunways) {
  Enter("KSEA");
  Step(true, 5);
  EXPECT_EQ((std::vector<int>{S().McuRunwayListTop, M().McuRunwayCursorRow}), (std::vector<int>{3, 4}));
  Enter().Expect("34L CON 110.75 344   8500", 0, 48, kAmber);  // runway 3 + 4 - 1
  EXPECT_EQ(Choice(), (std::vector<int>{4, 4, 3}));
  EXPECT_EQ(G().RadioTuneRequest, 1);
  Step(false);
  Enter();
  EXPECT_EQ(Choice(), (std::vector<int>{3, 3, 3}));
  Enter();
  EXPECT_EQ(Choice(), (std::vector<int>{-999, -999, 3}));
  Step(false, 4);
  Enter();  // 16L at the top
  for (const auto& t : Step(true, 4).rec.Texts()) EXPECT_TRUE(t.y == 0 || t.color != kAmber) << t.text;
  Step(false, 4).Expect("16L CON 110.30 164  11901", 0, 12, kAmber);

  M().McuAptSubPage = Md().McuAptPageCount = 2;
  Md().AiDepartureRunway1 = "16L\n";
  Md().AiDepartureRunway2 = "16C\n";
  Md().AiArrivalRunway1 = "34R\n";
  Frame ai = Repaint();
  ai.Expect("APT: KSEA - Elev:433    2/2", 0, 0, kAmber);
  ai.Expect("AI Departure Rwys:", 0, 20, kGreen);
  ai.Expect("16L", 160, 20, kMagenta);
  ai.Expect(",16C", 185, 20, kMagenta);
  ai.Expect("34R", 160, 40, kMagenta);
  EXPECT_EQ(ai.TextsAt(40), (Strings{"AI Arrival Rwys:", "34R"}));
  EXPECT_TRUE(ai.Boxes().empty());
}

// ---- DIRTO ------------------------------------------------------------------------

// The aircraft at 0N 0E, variation 15: "ABC" is a VOR 1 degree east, an
// intersection 1 degree north and an airport 1 degree west, 60 NM each.
class McuDirectToTest : public McuTest {
 protected:
  void SetUp() override {
    McuTest::SetUp();
    auto put = [](auto& table, int& count, const char* ident, const char* kind, double lat, double lon) {
      model::NavDbRecord& r = table[++count];
      r.ident = ident;
      r.kind = kind;
      r.latitude = lat;
      r.longitude = lon;
    };
    put(Nav().NavaidTable, Nav().NavaidCount, "XYZ", "N", 0.5, 0.5);
    put(Nav().NavaidTable, Nav().NavaidCount, "ABC", "V", 0.0, 1.0);
    put(Nav().IntersectionTable, Nav().IntersectionCount, "ABC", "I", 1.0, 0.0);
    put(Nav().AirportTable, Nav().AirportCount, "ABC", "APT", 0.0, -1.0);
    put(Nav().AirportTable, Nav().AirportCount, "KPDX", "APT", 45.6, -122.6);
    Nav().AirportTable[2].airport_text = "31";
    G().MagneticVariation = 15.0;
    M().McuPage = kPageDirectTo;
    Md().McuEntryText = "ABC";
  }
};

TEST_F(McuDirectToTest, SearchOrderRowsMovesKindsAndTheCap) {
  Frame f = Repaint();
  f.Expect("DIRTO:", 0, 0, kAmber);
  f.Expect("ABC   VOR 075\xC2\xB0    60 nm", 0, 12, kAmber);
  f.Expect("ABC   INT 345\xC2\xB0    60 nm", 0, 24, kGreen);
  f.Expect("ABC   APT 255\xC2\xB0    60 nm", 0, 36, kGreen);
  f.Expect("> ABC", 0, 61, kGreen);
  EXPECT_EQ(f.Boxes(), (Rows{{0, 13, 28, 11}}));
  std::vector<int> seen;
  for (bool down : {true, true, true, false, false, false}) {
    (down ? M().McuDownPressed : M().McuUpPressed) = 1;
    G().DisplayRefreshCounter = 5;
    Repaint();
    seen.push_back(M().McuDirectToCandidate * 1000 + G().DisplayRefreshCounter);
  }
  EXPECT_EQ(seen, (std::vector<int>{2999, 3999, 3999, 2999, 1999, 1999}));
  Md().McuEntryText = "XYZ";  // another text: the list anew from its first
  M().McuDirectToCandidate = 3;
  EXPECT_EQ(Repaint().TextsAt(12).at(0).substr(0, 9), "XYZ   NDB");
  EXPECT_EQ(Entry().WaypointCandidateCount * 10 + M().McuDirectToCandidate, 11);

  Md().McuEntryText = "ABC";
  for (auto [kind, shown] : {std::pair{"A", "ABC   APT"}, std::pair{"APT", "ABC   APT"}, std::pair{"O", "ABC     O"}}) {
    Nav().IntersectionTable[1].kind = kind;
    M().McuDirectToSearchText.clear();
    EXPECT_EQ(Repaint().TextsAt(24).at(0).substr(0, 9), shown) << kind;
  }
  Nav().IntersectionTable[1].kind = "I";
  G().MagneticVariation = 89.8;  // 90 - 89.8 = 0.2 reads upwards of 360
  M().McuDirectToSearchText.clear();
  EXPECT_TRUE(Repaint().Shows("ABC   VOR 360\xC2\xB0    60 nm"));
  const model::NavDbRecord abc = Nav().IntersectionTable[1];
  for (int i = 2; i <= 260; ++i) Nav().IntersectionTable[i] = abc;
  Nav().IntersectionCount = 260;
  M().McuDirectToSearchText.clear();
  Repaint();
  EXPECT_EQ(Entry().WaypointCandidateCount, 250);
  EXPECT_EQ(std::string(Entry().WaypointCandidateList[1].kind.c_str()) + Entry().WaypointCandidateList[250].kind.c_str(),
            "VI");
}

TEST_F(McuDirectToTest, EnterFliesDirectKeepingAnAirportDestination) {
  flightplan::test::MakeActive({"KSEA", "A", "B", "KPDX"});
  F().ActiveFlightPlan[3].type = "APT";
  F().ActiveFlightPlan[3].hold_number = 2;
  F().ActiveWaypointIndex = 2;
  Repaint();
  M().McuDownPressed = 1;  // the intersection
  Repaint();
  flightplan::test::KeptPathLength();  // the path of the route before, kept
  S().McuPageEntered = 1;
  EXPECT_EQ(Repaint().Texts(), Strings{"DIRTO:"});  // nothing more drawn that frame
  EXPECT_EQ(flightplan::test::ActiveIdents(), (Strings{"DIRECT", "ABC", "KPDX"}));
  EXPECT_NEAR(flightplan::test::KeptPathLength(), flightplan::test::FlownRouteLength(), 1e-6);
  EXPECT_EQ(F().ActiveFlightPlan[3].ident, "******");
  const model::FlightPlanWaypoint &direct = F().ActiveFlightPlan[0], &to = F().ActiveFlightPlan[1],
                                  &end = F().ActiveFlightPlan[2];
  EXPECT_EQ((std::vector<double>{direct.latitude, direct.longitude, to.latitude, to.longitude}),
            (std::vector<double>{0, 0, 1, 0}));
  EXPECT_EQ(direct.type + to.type + end.type, "WPTIAPT");
  EXPECT_EQ(to.altitude_constraint, -999.0);
  EXPECT_EQ(end.altitude_constraint, 31.0);  // KPDX's own elevation
  EXPECT_EQ(end.hold_number, 0u);
  EXPECT_EQ((std::vector<double>{G().NextConstraintAltitude, G().ActiveWaypointLat, G().ActiveWaypointLon}),
            (std::vector<double>{31, 1, 0}));
  EXPECT_EQ((std::vector<int>{G().NextConstraintIndex, F().ActiveWaypointIndex, G().DirectToActive, M().McuPage,
                              S().McuLegsCursor, Entry().WaypointCandidateCount, G().DisplayRefreshCounter}),
            (std::vector<int>{2, 1, 0, kPageStatus, 1, 0, 999}));
  EXPECT_EQ(Md().McuEntryText, "");

  for (bool empty : {false, true}) {  // no airport at the end, no route
    SetUp();
    if (empty) {
      F().ActiveFlightPlanLastIndex = -1;
    } else {
      flightplan::test::MakeActive({"KSEA", "A", "B"});
    }
    Repaint();
    S().McuPageEntered = 1;
    Repaint();
    EXPECT_EQ(flightplan::test::ActiveIdents(), (Strings{"DIRECT", "ABC"})) << empty;
    EXPECT_EQ(F().ActiveFlightPlan[2].ident + std::to_string(G().DirectToActive), "******1");
  }
  Md().McuEntryText = "NONE";  // no candidate: ENTER does nothing
  M().McuPage = kPageDirectTo;
  Repaint();
  S().McuPageEntered = 1;
  Repaint();
  EXPECT_EQ(M().McuPage, kPageDirectTo);
}

// ---- LEGS -----------------------------------------------------------------------

// KSEA A B C D KPDX on the equator a degree apart (60 NM, course 090).
class McuLegsTest : public McuTest {
 protected:
  void SetUp() override {
    McuTest::SetUp();
    flightplan::test::MakeActive({"KSEA", "A", "B", "C", "D", "KPDX"});
    for (int i = 0; i <= 5; ++i) F().ActiveFlightPlan[i].latitude = 0.0, F().ActiveFlightPlan[i].longitude = i;
    F().ActiveFlightPlan[5].type = "APT";
    F().ActiveWaypointIndex = 2;
    F().RouteState = 3;
    Md().CruiseAlt = 16000;
    M().McuPage = kPageLegs;
  }
  static std::string Row(const std::string& ident, const char* rest) {
    return ident + std::string(11 - ident.size(), ' ') + rest;
  }
};

TEST_F(McuLegsTest, RowsMarksConstraintsAndTheBox) {
  S().McuLegsCursor = 2;
  G().ActiveWaypointDistance = 12.3;
  G().BearingToActiveWaypoint = 45.0;
  F().ActiveFlightPlan[3].flyover = 1;
  G().NextConstraintIndex = 3;
  G().NextConstraintAltitude = 8000.0;
  Frame f = Repaint();
  f.Expect("LEGS:", 0, 0, kAmber);
  f.Expect(Row("B", "12 045"), 0, 12, kGreen);  // the active waypoint's own values
  f.Expect(Row("C", "60 090"), 0, 24, kGreen);
  f.Expect(Row("KPDX", "60 090"), 0, 48, kGreen);
  f.Expect("FO", 50, 24, kMagenta);
  f.Expect(" 8000", 155, 24, kGreen);
  EXPECT_EQ(f.Boxes(), (Rows{{0, 13, 47, 12}}));
  G().NextConstraintIndex = 5;  // at the last waypoint the constraint shown is its own
  F().ActiveFlightPlan[5].altitude_constraint = 1200.0;
  G().MagneticVariation = 90.6;  // 90 - 90.6 reads 359
  Frame last = Repaint();
  last.Expect(" 1200", 155, 48, kGreen);
  last.Expect(Row("C", "60 359"), 0, 24, kGreen);
  S().McuLegsCursor = 999;
  Frame none = Repaint();
  EXPECT_EQ(none.Texts(), (Strings{"LEGS:", "> "}));
  EXPECT_TRUE(none.Boxes().empty());
}

// The rocker steps the altitude on the entry line; ENTER puts it on the
// fix (its flag set, the flags from the active waypoint to it cleared) and
// executes the route; at the destination airport guidance crosses 200 ft
// above what the waypoint keeps.
TEST_F(McuLegsTest, CrossingAltitudeOnTheRockerAndItsEnter) {
  for (int i = 1; i <= 5; ++i) F().ActiveFlightPlan[i].constraint_flag = 1;
  S().McuLegsCursor = 4;
  M().McuCrossingEntryActive = 1;
  Repaint().Expect("> > Cross D At 00000", 0, 61, kGreen);
  M().McuEntryCursor = 1;
  M().McuLineSelectKey = kRockerUp;
  Frame up = Repaint();
  up.Expect("> > Cross D At 01000", 0, 61, kGreen);
  EXPECT_EQ(up.Underlines(), (Rows{{140, 149, 75}}));  // 131 + 9 x 1
  M().McuLineSelectKey = kRockerRight;
  EXPECT_EQ(Repaint().Underlines(), (Rows{{149, 158, 75}}));
  G().TocPassed = G().TodPassed = 1;
  S().McuPageEntered = 1;
  EXPECT_TRUE(Repaint().Shows("LEGS:"));  // still drawn in that frame
  std::vector<unsigned> flags;
  for (int i = 1; i <= 5; ++i) flags.push_back(F().ActiveFlightPlan[i].constraint_flag);
  EXPECT_EQ(flags, (std::vector<unsigned>{1, 0, 0, 1, 1}));
  EXPECT_EQ(F().ActiveFlightPlan[4].altitude_constraint, 1000.0);
  EXPECT_EQ(F().PendingFlightPlan[4].altitude_constraint, 1000.0);
  EXPECT_EQ((std::vector<int>{F().RouteState, G().NextConstraintIndex, G().TodPassed, M().McuPage,
                              M().McuCrossingEntryActive, G().DisplayRefreshCounter}),
            (std::vector<int>{3, 4, 0, kPageStatus, 0, 999}));
  EXPECT_EQ(Md().McuKeyboardEntry, "");

  SetUp();
  G().VnavEngaged = G().TocPassed = 1;
  S().McuLegsCursor = 5;
  M().McuCrossingEntryActive = 1;
  Md().McuKeyboardEntry = "2000";  // typed on the PC keyboard
  S().McuPageEntered = 1;
  Repaint();
  EXPECT_EQ(F().ActiveFlightPlan[5].altitude_constraint, 2000.0);
  EXPECT_EQ(G().NextConstraintAltitude, 2200.0);
}

// Another unit's change waiting for EXEC is given up before the crossing
// altitude executes the route: the hold it added goes, the one it marked
// for deletion stays.
TEST_F(McuLegsTest, EnterGivesUpAnotherUnitsChangeFirst) {
  Md().OriginAirportIdent = "KSEA";  // EXEC of the same flight keeps the holds
  flightplan::test::PutActiveHold(1, 2);
  flightplan::CopyActiveToPendingPlan();
  F().RouteState = 4;
  flightplan::AddHoldAtWaypoint(4, 1);
  flightplan::DeleteHold(2, 2);
  S().McuLegsCursor = 3;
  M().McuCrossingEntryActive = 1;
  Md().McuKeyboardEntry = "5000";
  S().McuPageEntered = 1;
  Repaint();
  EXPECT_EQ(F().ActiveFlightPlan[3].altitude_constraint, 5000.0);
  EXPECT_EQ(flightplan::test::HoldIndices(), (std::vector<std::pair<int, int>>{{2, 0}}));
  EXPECT_EQ(flightplan::test::HoldBreach(), "");
}

TEST_F(McuLegsTest, EnterTakesNothingWithoutAWaypointACursorOrAnAltitude) {
  struct Case {
    int active, cursor;
    const char* typed;
    bool taken;
  } cases[] = {{999, 3, "5000", false}, {2, 6, "5000", false}, {2, 0, "5000", false}, {2, 3, "ABC", false},
               {2, 3, "99001", false},  {2, 3, "012345", false}, {2, 3, "", false},   {2, 3, "99000", true},
               {2, 3, "0", true}};
  for (const Case& c : cases) {
    SetUp();
    F().ActiveWaypointIndex = c.active;
    S().McuLegsCursor = c.cursor;
    M().McuCrossingEntryActive = 1;
    Md().McuKeyboardEntry = c.typed;
    S().McuPageEntered = 1;
    Repaint();
    EXPECT_EQ((std::vector<int>{M().McuCrossingEntryActive, M().McuPage,
                                static_cast<int>(F().ActiveFlightPlan[3].constraint_flag)}),
              (std::vector<int>{c.taken ? 0 : 1, c.taken ? kPageStatus : kPageLegs, c.taken ? 1 : 0}))
        << c.active << " " << c.cursor << " " << c.typed;
  }
}

}  // namespace
}  // namespace ovi::mcu::test
