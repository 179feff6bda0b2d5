// The MCU pages: FPLN's list and load request, ALT/FL and the crossing
// altitude's rocker steps, the character editor, APT's runways and their
// choice, DIRTO's search and direct route, and LEGS with its crossing
// altitude.
#include <filesystem>
#include <random>

#include "src/flightplan/execute.h"
#include "src/host/state.h"
#include "src/instruments/gnsxls/mcu/entry_editor.h"
#include "src/instruments/gnsxls/mcu/kit.h"
#include "src/navdb/entry_state.h"
#include "src/navdb/navdb.h"
#include "src/navdb/state.h"
#include "tests/instruments/gnsxls/mcu_support.h"
#include "tests/sim/test_support.h"
#include "tests/support/navdata_fixture.h"

namespace ovi::mcu::test {
namespace {

using McuPagesTest = McuTest;

navdb::State& Nav() { return navdb::navdb_state; }
navdb::EntryState& Entry() { return navdb::entry_state; }

// ---- FPLN ----------------------------------------------------------------

std::vector<int> PlanCursor() { return {M().McuPlanListTop, M().McuPlanCursorRow}; }

TEST_F(McuPagesTest, FplnRowsTheLoadedMarkTheBoxAndEnter) {
  MakeLibrary(7);
  M().McuPage = kPageFlightPlan;
  M().McuPlanListTop = 2;
  M().McuPlanCursorRow = 2;
  M().McuLoadedPlanRow = 3;  // plan 4
  Frame f = Repaint();
  f.Expect("FPLN:", 0, 0, kAmber);
  f.Expect("P2.RTE", 0, 12, kGreen);
  f.Expect("P3.RTE", 0, 24, kGreen);
  f.Expect("P4.RTE", 0, 36, kAmber);
  f.Expect("P5.RTE", 0, 48, kGreen);
  EXPECT_EQ(f.Boxes(), (std::vector<std::vector<int>>{{0, 25, 120, 12}}));
  EXPECT_EQ(M().McuPlanCursorY, 25);

  S().McuPageEntered = 1;
  Repaint().Expect("P3.RTE", 0, 24, kAmber);  // marked in the frame ENTER acts in
  EXPECT_EQ(F().RequestedFlightPlanFile, "P3.RTE");
  EXPECT_EQ(G().FlightPlanLoadRequest, 1);
  EXPECT_EQ(M().McuLoadedPlanRow, 2);
  EXPECT_EQ(F().SelectedFlightPlanIndex, 2);
  // The same plan again: asked for again, the selection left as it is.
  F().SelectedFlightPlanIndex = 0;
  G().FlightPlanLoadRequest = 0;
  S().McuPageEntered = 1;
  Repaint();
  EXPECT_EQ(G().FlightPlanLoadRequest, 1);
  EXPECT_EQ(F().SelectedFlightPlanIndex, 0);
}

// Every event from a set place: UP and DOWN stop at the list's ends, Page
// Down wraps from the last page to the first and Page Up the other way,
// the cursor always on a plan.
TEST_F(McuPagesTest, FplnCursorAtTheListsEnds) {
  enum Event { kUp, kDown, kPageUp, kPageDown };
  struct Case {
    int plans, top, row;
    Event event;
    int top_after, row_after;
  } cases[] = {
      {7, 1, 1, kUp, 1, 1},       {7, 2, 1, kUp, 1, 1},       {7, 4, 2, kUp, 4, 1},
      {7, 1, 3, kDown, 1, 4},     {7, 1, 4, kDown, 2, 4},     {7, 4, 4, kDown, 4, 4},
      {7, 4, 3, kDown, 4, 4},     {7, 5, 3, kDown, 5, 3},     {7, 1, 1, kPageDown, 5, 1},
      {7, 1, 3, kPageDown, 5, 3}, {7, 1, 4, kPageDown, 5, 1}, {7, 4, 2, kPageDown, 1, 1},
      {7, 5, 1, kPageDown, 1, 1}, {7, 5, 2, kPageUp, 1, 2},   {7, 1, 3, kPageUp, 4, 3},
      {7, 4, 4, kPageUp, 4, 4},   {8, 1, 2, kPageUp, 5, 2},   {3, 1, 3, kPageUp, 1, 3},
      {3, 1, 2, kPageDown, 1, 1}, {3, 1, 3, kDown, 1, 3},     {4, 1, 4, kPageDown, 1, 1},
      {4, 1, 4, kPageUp, 1, 4},   {2, 1, 4, kPageUp, 1, 2},   {0, 1, 1, kPageUp, 1, 1},
      {0, 1, 1, kDown, 1, 1},     {0, 1, 1, kPageDown, 1, 1},
  };
  for (const Case& c : cases) {
    ResetModuleState();
    MakeLibrary(c.plans);
    M().McuPage = kPageFlightPlan;
    M().McuPlanListTop = c.top;
    M().McuPlanCursorRow = c.row;
    M().McuUpPressed = c.event == kUp;
    M().McuDownPressed = c.event == kDown;
    M().McuPageUpPressed = c.event == kPageUp;
    M().McuPageDownPressed = c.event == kPageDown;
    Repaint();
    EXPECT_EQ(PlanCursor(), (std::vector<int>{c.top_after, c.row_after}))
        << c.plans << " plans, from " << c.top << "/" << c.row << ", event " << c.event;
  }
}

// A seeded walk over the four events: after every step the cursor stands
// on a plan and the amber mark on the plan loaded first, wherever the list
// wrapped.
TEST_F(McuPagesTest, FplnMarkStaysOnTheLoadedPlanThroughEveryMove) {
  std::mt19937 random(34);
  for (int plans : {0, 1, 3, 4, 5, 7, 12}) {
    ResetModuleState();
    MakeLibrary(plans);
    M().McuPage = kPageFlightPlan;
    M().McuPlanListTop = 1;
    M().McuPlanCursorRow = 1;
    M().McuLoadedPlanRow = 1;  // plan 1
    for (int step = 0; step < 400; ++step) {
      const int event = static_cast<int>(random() % 4);
      M().McuUpPressed = event == 0;
      M().McuDownPressed = event == 1;
      M().McuPageUpPressed = event == 2;
      M().McuPageDownPressed = event == 3;
      Frame f = Repaint();
      const int top = M().McuPlanListTop, row = M().McuPlanCursorRow, mark = M().McuLoadedPlanRow;
      SCOPED_TRACE(::testing::Message() << plans << " plans, step " << step << ", event " << event);
      ASSERT_EQ(top + mark - 1, 1);
      ASSERT_GE(row, 1);
      ASSERT_LE(row, 4);
      ASSERT_GE(top, 1);
      if (plans > 0) {
        ASSERT_LE(top + row - 1, plans);
      }
      // Plan 1 is amber when it shows, and no other plan is.
      for (const auto& t : f.rec.Texts()) {
        if (t.color == kAmber && t.text != "FPLN:") {
          ASSERT_EQ(t.text, "P1.RTE");
        }
      }
    }
  }
}

TEST_F(McuPagesTest, FplnNamesLongerThanARowAndNamesTheRequestCannotHold) {
  MakeLibrary(2);
  M().McuPage = kPageFlightPlan;
  F().FlightPlanLibrary[1].name = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123.RTE";
  F().FlightPlanLibrary[2].name = std::string(256, 'N') + ".RTE";  // 260 characters
  Frame f = Repaint();
  EXPECT_TRUE(f.Shows("ABCDEFGHIJKLMNOPQRSTUVWXYZ"));  // 26
  S().McuPageEntered = 1;
  Repaint();
  EXPECT_EQ(F().RequestedFlightPlanFile, "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123.RTE");
  F().RequestedFlightPlanFile.clear();
  G().FlightPlanLoadRequest = 0;
  M().McuPlanCursorRow = 2;
  S().McuPageEntered = 1;
  Repaint();
  EXPECT_EQ(G().FlightPlanLoadRequest, 0);
  EXPECT_EQ(F().RequestedFlightPlanFile, "");
  EXPECT_EQ(M().McuLoadedPlanRow, 1);  // the mark stays where it was
  // No plan at all: the box at row 1, ENTER asks for nothing.
  MakeLibrary(0);
  M().McuPlanCursorRow = 1;
  S().McuPageEntered = 1;
  Frame empty = Repaint();
  EXPECT_EQ(empty.Boxes(), (std::vector<std::vector<int>>{{0, 13, 120, 12}}));
  EXPECT_EQ(G().FlightPlanLoadRequest, 0);
}

// FPLN rebuilds the list from the folder; a cursor past the new end comes
// back onto the last plan.
TEST_F(McuPagesTest, FplnRescanKeepsTheCursorOnTheList) {
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

// ---- ALT/FL and the crossing altitude --------------------------------------

// Left picks the thousands, right the five hundreds; up and down step
// within 0..99000 (thousands up from 98000 at most, five hundreds from
// 97500).
TEST_F(McuPagesTest, RockerAltitudeStepsAtTheirLimits) {
  struct Case {
    int value, cursor, key;
    int value_after, cursor_after;
  } cases[] = {
      {98000, 1, kRockerUp, 99000, 1},   {98500, 1, kRockerUp, 98500, 1}, {99000, 1, kRockerUp, 99000, 1},
      {97500, 2, kRockerUp, 98000, 2},   {98000, 2, kRockerUp, 98000, 2}, {1000, 1, kRockerDown, 0, 1},
      {500, 1, kRockerDown, 500, 1},     {500, 2, kRockerDown, 0, 2},     {0, 2, kRockerDown, 0, 2},
      {12000, 2, kRockerLeft, 12000, 1}, {12000, 1, kRockerRight, 12000, 2},
  };
  for (const Case& c : cases) {
    for (std::int32_t page : {kPageAltitude, kPageLegs}) {
      ResetModuleState();
      flightplan::test::MakeActive({"KSEA", "A", "B"});
      F().ActiveWaypointIndex = 1;
      M().McuPage = page;
      M().McuCrossingEntryActive = 1;
      M().McuNewAltitude = c.value;
      M().McuCrossingAltitude = c.value;
      M().McuEntryCursor = c.cursor;
      M().McuLineSelectKey = c.key;
      Repaint();
      const double after = page == kPageAltitude ? M().McuNewAltitude : M().McuCrossingAltitude;
      EXPECT_EQ(after, c.value_after) << page << ": " << c.value << " key " << c.key;
      EXPECT_EQ(M().McuEntryCursor, c.cursor_after) << page;
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
  EXPECT_EQ(f.Underlines(), (std::vector<std::vector<int>>{{168, 176, 55}}));
  M().McuEntryCursor = 2;
  EXPECT_EQ(Repaint().Underlines(), (std::vector<std::vector<int>>{{177, 185, 55}}));
  M().McuEntryCursor = 0;
  EXPECT_TRUE(Repaint().Underlines().empty());

  S().McuPageEntered = 1;
  G().DisplayRefreshCounter = 5;
  Repaint();
  EXPECT_EQ(host.key_events, (std::vector<std::pair<std::uint32_t, std::uint32_t>>{{0x1024C, 13000}}));
  EXPECT_EQ(M().McuPage, kPageStatus);
  EXPECT_EQ(G().DisplayRefreshCounter, 999);
}

// ---- the character editor ------------------------------------------------

TEST_F(McuPagesTest, EditorCharacterCycleBothWays) {
  const std::string cycle = " 0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
  std::string up, down;
  char c = ' ';
  for (std::size_t i = 0; i < cycle.size(); ++i, c = StepCharacterUp(c)) up += c;
  EXPECT_EQ(up, cycle);
  EXPECT_EQ(c, ' ');
  for (std::size_t i = 0; i < cycle.size(); ++i, c = StepCharacterDown(c)) down += c;
  EXPECT_EQ(down, " ZYXWVUTSRQPONMLKJIHGFEDCBA9876543210");
  EXPECT_EQ(c, ' ');
  // Characters outside the cycle: anything from 'Z' up becomes a blank
  // going up, anything from the blank down becomes 'Z' going down.
  EXPECT_EQ(StepCharacterUp('z'), ' ');
  EXPECT_EQ(StepCharacterUp('\xB0'), ' ');
  EXPECT_EQ(StepCharacterDown('\t'), 'Z');
  EXPECT_EQ(StepCharacterUp('-'), '.');
}

// Each rocker key on the entry text from a set cursor: the text after it,
// the cursor after it.
TEST_F(McuPagesTest, EditorKeysOnTheEntryText) {
  struct Case {
    const char* text;
    int cursor, key;
    const char* text_after;
    int cursor_after;
  } cases[] = {
      {"ABC", 2, kRockerDown, "AAC", 2},     {"ABC", 4, kRockerUp, "ABC0", 4},
      {"A0C", 2, kRockerDown, "A", 2},       // a blank in the middle cuts the text
      {"0BC", 1, kRockerDown, "BC", 1},      // the first word after a leading blank
      {"", 1, kRockerDown, "Z", 1},          {"Z", 1, kRockerUp, "", 1},
      {"ABC", 1, kRockerLeft, "ABC", 1},     {"ABC", 3, kRockerRight, "ABC", 4},
      {"ABC", 4, kRockerRight, "ABC", 4},    // the end of the working text
      {"ABCDE", 5, kRockerRight, "ABCDE", 6},
      {"ABCDEF", 6, kRockerRight, "ABCDEF", 6},   // six characters: no blank after
      {"ABCDEFG", 6, kRockerRight, "ABCDEFG", 7}, {"ABCDEFG", 7, kRockerRight, "ABCDEFG", 7},
      {"", 5, kRockerUp, "0", 1},            // a cursor past a shortened text comes back
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.text << " at " << c.cursor << " key " << c.key);
    M().McuPage = kPageDirectTo;
    Md().McuEntryText = c.text;
    M().McuDirectToSearchText = c.text;
    M().McuEntryCursor = c.cursor;
    M().McuLineSelectKey = c.key;
    Repaint();
    EXPECT_EQ(Md().McuEntryText, c.text_after);
    EXPECT_EQ(M().McuEntryCursor, c.cursor_after);
  }
}

TEST_F(McuPagesTest, EditorDrawsEachCharacterTheUnderlineAndThePrompt) {
  M().McuPage = kPageDirectTo;
  Md().McuEntryText = "SEA";
  M().McuEntryCursor = 2;
  Frame f = Repaint();
  f.Expect("S", 17, 61, kGreen);
  f.Expect("E", 26, 61, kGreen);
  f.Expect("A", 35, 61, kGreen);
  f.Expect(" ", 44, 61, kGreen);
  f.Expect("> ", 0, 61, kGreen);
  EXPECT_EQ(f.Underlines(), (std::vector<std::vector<int>>{{28, 37, 75}}));
  // Off, the entry line is the prompt and the text.
  M().McuEntryCursor = 0;
  Repaint().Expect("> SEA", 0, 61, kGreen);
}

// ---- APT ---------------------------------------------------------------------

class McuAirportTest : public McuTest {
 protected:
  void SetUp() override {
    McuTest::SetUp();
    navdb::test::UseSampleData();
    navdb::LoadNavDatabase();
    M().McuPage = kPageAirport;
  }
  void Enter(const char* text) {
    Md().McuEntryText = text;
    S().McuPageEntered = 1;
  }
  std::vector<int> Choice() {
    return {S().McuRunwayScroll, Nav().SelectedRunwayBase, Nav().SelectedRunwayOffset};
  }
};

TEST_F(McuAirportTest, AnIdentEnteredLoadsItsRunways) {
  Enter("KSEA");
  S().McuRunwayScroll = 2;
  Nav().SelectedRunwayBase = 2;
  M().McuRunwayCursorRow = 3;
  Frame f = Repaint();
  f.Expect("APT: KSEA - Elev:433    1/1", 0, 0, kAmber);
  f.Expect("16L CON 110.30 164  11901", 0, 12, kGreen);
  f.Expect("34R CON 111.70 344  11901", 0, 24, kGreen);
  f.Expect("16C CON 111.50 164   9426", 0, 36, kGreen);
  f.Expect("34C CON 110.95 344   9426", 0, 48, kGreen);
  f.Expect("> ", 0, 61, kGreen);
  EXPECT_EQ(f.Boxes(), (std::vector<std::vector<int>>{{0, 13, 28, 12}}));
  EXPECT_EQ(Md().McuAirportIdent, "KSEA");
  EXPECT_EQ(Md().McuAirportElevationText, "433");
  EXPECT_EQ(Md().McuEntryText, "");
  EXPECT_EQ(M().McuRunwayCursorRow, 1);
  EXPECT_EQ(S().McuRunwayScroll, -999);
  EXPECT_EQ(Nav().SelectedRunwayBase, -999);
  EXPECT_EQ(G().RadioTuneRequest, 0);  // the ENTER was used up

  // A runway without an ILS and with its approach course taken from the heading.
  Enter("KPDX");
  Repaint();
  for (int i = 0; i < 5; ++i) {
    M().McuDownPressed = 1;
    Repaint();
  }
  EXPECT_TRUE(Repaint().Shows("03  ASP        030   6000"));
}

TEST_F(McuAirportTest, AnIdentTheDatabaseDoesNotKnowChangesNothing) {
  Enter("KSEA");
  Repaint();
  S().McuPageEntered = 1;  // row 1 chosen
  Repaint();
  Enter("KXYZ");
  Frame f = Repaint();
  EXPECT_EQ(Md().McuAirportIdent, "KSEA");
  EXPECT_EQ(Md().McuEntryText, "KXYZ");
  EXPECT_EQ(Choice(), (std::vector<int>{1, 1, 1}));  // not undone by the same ENTER
  f.Expect("> KXYZ", 0, 61, kGreen);
}

// UP and DOWN move the cursor as on FPLN; ENTER chooses the runway under
// it (the radios tune on the next tick) or undoes the choice of that row;
// the amber row follows its runway through the scrolling.
TEST_F(McuAirportTest, RunwayChoiceUndoAndTheMarkThroughScrolling) {
  Enter("KSEA");
  Repaint();
  for (int i = 0; i < 5; ++i) {
    M().McuDownPressed = 1;
    Repaint();
  }
  EXPECT_EQ((std::vector<int>{S().McuRunwayListTop, M().McuRunwayCursorRow}), (std::vector<int>{3, 4}));
  S().McuPageEntered = 1;
  Frame chosen = Repaint();
  EXPECT_EQ(Choice(), (std::vector<int>{4, 4, 3}));  // runway 3 + 4 - 1 = 6, 34L
  EXPECT_EQ(G().RadioTuneRequest, 1);
  chosen.Expect("34L CON 110.75 344   8500", 0, 48, kAmber);
  M().McuUpPressed = 1;
  Repaint();
  S().McuPageEntered = 1;
  Repaint();
  EXPECT_EQ(Choice(), (std::vector<int>{3, 3, 3}));  // 16R
  S().McuPageEntered = 1;
  Repaint();
  EXPECT_EQ(Choice(), (std::vector<int>{-999, -999, 3}));

  // Chosen at the top, scrolled away and back.
  for (int i = 0; i < 4; ++i) {
    M().McuUpPressed = 1;
    Repaint();
  }
  EXPECT_EQ((std::vector<int>{S().McuRunwayListTop, M().McuRunwayCursorRow}), (std::vector<int>{1, 1}));
  S().McuPageEntered = 1;
  Repaint();
  for (int i = 0; i < 4; ++i) {
    M().McuDownPressed = 1;
    Repaint();
  }
  EXPECT_EQ(S().McuRunwayScroll, 0);
  for (const auto& t : Repaint().rec.Texts()) {
    if (t.y > 0) {
      EXPECT_NE(t.color, kAmber) << t.text;  // the header alone is amber
    }
  }
  for (int i = 0; i < 4; ++i) {
    M().McuUpPressed = 1;
    Repaint();
  }
  Repaint().Expect("16L CON 110.30 164  11901", 0, 12, kAmber);
}

TEST_F(McuAirportTest, NoRunwaysAndTheAiRunwaysSubPage) {
  Nav().AirportRunwayCount = 0;
  Md().McuEntryText = "ABC";
  Frame none = Repaint();
  EXPECT_EQ(none.Texts(), (Strings{"APT:", "> ABC"}));
  none.Expect("APT:", 0, 0, kAmber);

  Enter("KSEA");
  Repaint();
  M().McuAptSubPage = 2;
  Md().McuAptPageCount = 2;
  Md().AiDepartureRunway1 = "16L\n";
  Md().AiDepartureRunway2 = "16C\n";
  Md().AiArrivalRunway1 = "34R\n";
  Frame ai = Repaint();
  ai.Expect("APT: KSEA - Elev:433    2/2", 0, 0, kAmber);
  ai.Expect("AI Departure Rwys:", 0, 20, kGreen);
  ai.Expect("16L", 160, 20, kMagenta);
  ai.Expect(",16C", 185, 20, kMagenta);
  ai.Expect("AI Arrival Rwys:", 0, 40, kGreen);
  ai.Expect("34R", 160, 40, kMagenta);
  EXPECT_EQ(ai.TextsAt(40).size(), 2u);
  EXPECT_TRUE(ai.Boxes().empty());
}

// ---- DIRTO --------------------------------------------------------------------

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
  }
};

TEST_F(McuDirectToTest, SearchOrderRowsAndTheHighlightedCandidate) {
  Md().McuEntryText = "ABC";
  Frame f = Repaint();
  f.Expect("DIRTO:", 0, 0, kAmber);
  f.Expect("ABC   VOR 075\xC2\xB0    60 nm", 0, 12, kAmber);
  f.Expect("ABC   INT 345\xC2\xB0    60 nm", 0, 24, kGreen);
  f.Expect("ABC   APT 255\xC2\xB0    60 nm", 0, 36, kGreen);
  f.Expect("> ABC", 0, 61, kGreen);
  EXPECT_EQ(f.Boxes(), (std::vector<std::vector<int>>{{0, 13, 28, 11}}));
  EXPECT_EQ(Entry().WaypointCandidateCount, 3);
  EXPECT_EQ(M().McuDirectToSearchText, "ABC");

  // DOWN and UP move the first row by one within the list, asking for a repaint.
  std::vector<int> seen;
  for (bool down : {true, true, true, false, false, false}) {
    (down ? M().McuDownPressed : M().McuUpPressed) = 1;
    G().DisplayRefreshCounter = 5;
    Repaint();
    EXPECT_EQ(G().DisplayRefreshCounter, 999);
    seen.push_back(M().McuDirectToCandidate);
  }
  EXPECT_EQ(seen, (std::vector<int>{2, 3, 3, 2, 1, 1}));

  // Another text: the list anew from its first candidate.
  M().McuDirectToCandidate = 3;
  Md().McuEntryText = "XYZ";
  Frame ndb = Repaint();
  EXPECT_EQ(Entry().WaypointCandidateCount, 1);
  EXPECT_EQ(M().McuDirectToCandidate, 1);
  EXPECT_TRUE(ndb.rec.FindTextContaining("XYZ   NDB "));
  Md().McuEntryText = "NONE";
  EXPECT_EQ(Repaint().TextsAt(12).size(), 0u);
  EXPECT_EQ(Entry().WaypointCandidateCount, 0);
}

TEST_F(McuDirectToTest, KindTextsBearingsNearNorthAndTheCapOf250) {
  struct Case {
    const char* kind;
    const char* row;
  } kinds[] = {{"N", "ABC   NDB"}, {"V", "ABC   VOR"}, {"I", "ABC   INT"},
               {"A", "ABC   APT"}, {"APT", "ABC   APT"}, {"O", "ABC     O"}};
  Md().McuEntryText = "ABC";
  for (const Case& k : kinds) {
    Nav().IntersectionTable[1].kind = k.kind;
    M().McuDirectToSearchText.clear();
    const Strings row2 = Repaint().TextsAt(24);  // the intersection
    ASSERT_EQ(row2.size(), 1u);
    EXPECT_EQ(row2[0].substr(0, 9), k.row) << k.kind;
  }
  Nav().IntersectionTable[1].kind = "I";
  // A magnetic course below 0.5 reads 360 and upwards.
  G().MagneticVariation = 89.8;  // 90 - 89.8 = 0.2
  M().McuDirectToSearchText.clear();
  M().McuDirectToCandidate = 1;
  EXPECT_TRUE(Repaint().Shows("ABC   VOR 360\xC2\xB0    60 nm"));

  for (int i = 2; i <= 260; ++i) {
    Nav().IntersectionTable[i] = Nav().IntersectionTable[1];
    Nav().IntersectionCount = i;
  }
  M().McuDirectToSearchText.clear();
  Repaint();
  EXPECT_EQ(Entry().WaypointCandidateCount, 250);
  EXPECT_EQ(std::string(Entry().WaypointCandidateList[1].kind.view()), "V");
  EXPECT_EQ(std::string(Entry().WaypointCandidateList[250].kind.view()), "I");
}

TEST_F(McuDirectToTest, EnterFliesDirectKeepingAnAirportDestination) {
  G().PlaneLatitude = 0.0;
  G().PlaneLongitude = 0.0;
  flightplan::test::MakeActive({"KSEA", "A", "B", "KPDX"});
  F().ActiveFlightPlan[3].type = "APT";
  F().ActiveFlightPlan[3].hold_number = 2;
  F().ActiveFlightPlan[1].flyover = 1;
  F().ActiveFlightPlan[1].altitude_constraint = 9000;
  F().ActiveWaypointIndex = 2;
  Md().McuEntryText = "ABC";
  Repaint();
  M().McuDownPressed = 1;  // the intersection
  Repaint();
  S().McuPageEntered = 1;
  Frame f = Repaint();
  EXPECT_EQ(f.Texts(), Strings{"DIRTO:"});  // nothing more drawn that frame
  EXPECT_EQ(flightplan::test::ActiveIdents(), (Strings{"DIRECT", "ABC", "KPDX"}));
  EXPECT_EQ(F().ActiveFlightPlan[3].ident, "******");
  const model::FlightPlanWaypoint& direct = F().ActiveFlightPlan[0];
  EXPECT_EQ((std::vector<double>{direct.latitude, direct.longitude}), (std::vector<double>{0.0, 0.0}));
  EXPECT_EQ(direct.type, "WPT");
  const model::FlightPlanWaypoint& to = F().ActiveFlightPlan[1];
  EXPECT_EQ((std::vector<double>{to.latitude, to.longitude}), (std::vector<double>{1.0, 0.0}));
  EXPECT_EQ(to.type, "I");
  EXPECT_EQ(to.flyover, 0);
  EXPECT_EQ(to.altitude_constraint, -999.0);
  const model::FlightPlanWaypoint& end = F().ActiveFlightPlan[2];
  EXPECT_EQ(end.type, "APT");
  EXPECT_EQ(end.altitude_constraint, 31.0);  // KPDX's own elevation
  EXPECT_EQ(end.hold_number, 0u);
  EXPECT_EQ(G().NextConstraintAltitude, 31.0);
  EXPECT_EQ(G().NextConstraintIndex, 2);
  EXPECT_EQ(F().ActiveWaypointIndex, 1);
  EXPECT_EQ((std::vector<double>{G().ActiveWaypointLat, G().ActiveWaypointLon}), (std::vector<double>{1.0, 0.0}));
  EXPECT_EQ(G().DirectToActive, 0);
  EXPECT_EQ(M().McuPage, kPageStatus);
  EXPECT_EQ(S().McuLegsCursor, 1);
  EXPECT_EQ(Entry().WaypointCandidateCount, 0);
  EXPECT_EQ(Md().McuEntryText, "");
  EXPECT_EQ(G().DisplayRefreshCounter, 999);
}

TEST_F(McuDirectToTest, EnterWithoutAnAirportAtTheEndOrWithoutARoute) {
  for (bool empty : {false, true}) {
    ResetModuleState();
    host.Bind();
    SetUp();
    if (empty) {
      F().ActiveFlightPlanLastIndex = -1;
    } else {
      flightplan::test::MakeActive({"KSEA", "A", "B"});
    }
    Md().McuEntryText = "ABC";
    Repaint();
    S().McuPageEntered = 1;
    Repaint();
    EXPECT_EQ(flightplan::test::ActiveIdents(), (Strings{"DIRECT", "ABC"})) << empty;
    EXPECT_EQ(F().ActiveFlightPlan[2].ident, "******");
    EXPECT_EQ(G().DirectToActive, 1);
    EXPECT_EQ(F().ActiveWaypointIndex, 1);
  }
  // No candidate: ENTER does nothing.
  Md().McuEntryText = "NONE";
  M().McuPage = kPageDirectTo;
  Repaint();
  S().McuPageEntered = 1;
  Repaint();
  EXPECT_EQ(M().McuPage, kPageDirectTo);
  EXPECT_EQ(flightplan::test::ActiveIdents(), (Strings{"DIRECT", "ABC"}));
}

// ---- LEGS ---------------------------------------------------------------------

// KSEA A B C D KPDX on the equator, a degree of longitude apart (60 NM,
// course 090 with no variation).
class McuLegsTest : public McuTest {
 protected:
  void SetUp() override {
    McuTest::SetUp();
    flightplan::test::MakeActive({"KSEA", "A", "B", "C", "D", "KPDX"});
    for (int i = 0; i <= 5; ++i) {
      F().ActiveFlightPlan[i].latitude = 0.0;
      F().ActiveFlightPlan[i].longitude = i;
    }
    F().ActiveFlightPlan[5].type = "APT";
    F().ActiveWaypointIndex = 2;
    F().RouteState = 3;
    Md().CruiseAlt = 16000;
    M().McuPage = kPageLegs;
  }
  static std::string Row(const std::string& ident, const char* rest) {
    return ident + std::string(10 - ident.size() + 1, ' ') + rest;
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
  f.Expect(Row("D", "60 090"), 0, 36, kGreen);
  f.Expect(Row("KPDX", "60 090"), 0, 48, kGreen);
  f.Expect("FO", 50, 24, kMagenta);
  f.Expect(" 8000", 155, 24, kGreen);
  f.Expect("> ", 0, 61, kGreen);
  EXPECT_EQ(f.Boxes(), (std::vector<std::vector<int>>{{0, 13, 47, 12}}));

  // At the last waypoint the constraint shown is its own.
  G().NextConstraintIndex = 5;
  F().ActiveFlightPlan[5].altitude_constraint = 1200.0;
  G().MagneticVariation = 90.6;  // 90 - 90.6 reads 359
  Frame last = Repaint();
  last.Expect(" 1200", 155, 48, kGreen);
  last.Expect(Row("C", "60 359"), 0, 24, kGreen);

  // A cursor past the route shows no row and no box.
  S().McuLegsCursor = 999;
  Frame none = Repaint();
  EXPECT_EQ(none.Texts(), (Strings{"LEGS:", "> "}));
  EXPECT_TRUE(none.Boxes().empty());
}

TEST_F(McuLegsTest, CrossingEntryOnTheRocker) {
  S().McuLegsCursor = 3;
  M().McuCrossingEntryActive = 1;
  Frame f = Repaint();
  EXPECT_EQ(Md().McuKeyboardEntry, "00000");
  f.Expect("> > Cross C At 00000", 0, 61, kGreen);
  EXPECT_TRUE(f.Underlines().empty());
  M().McuEntryCursor = 1;
  M().McuLineSelectKey = kRockerUp;
  Frame up = Repaint();
  up.Expect("> > Cross C At 01000", 0, 61, kGreen);
  EXPECT_EQ(up.Underlines(), (std::vector<std::vector<int>>{{140, 149, 75}}));  // 131 + 9 x 1
  M().McuLineSelectKey = kRockerRight;
  EXPECT_EQ(Repaint().Underlines(), (std::vector<std::vector<int>>{{149, 158, 75}}));
}

TEST_F(McuLegsTest, EnterPutsTheConstraintOnTheFixAndExecutes) {
  for (int i = 1; i <= 5; ++i) F().ActiveFlightPlan[i].constraint_flag = 1;
  S().McuLegsCursor = 4;
  M().McuCrossingEntryActive = 1;
  M().McuCrossingAltitude = 1500;
  Repaint();
  G().TocPassed = 1;
  G().TodPassed = 1;
  S().McuPageEntered = 1;
  Frame f = Repaint();
  const model::FlightPlanWaypoint& fix = F().ActiveFlightPlan[4];
  EXPECT_EQ(fix.altitude_constraint, 1500.0);
  EXPECT_EQ(fix.constraint_flag, 1u);
  EXPECT_EQ(F().ActiveFlightPlan[2].constraint_flag, 0u);
  EXPECT_EQ(F().ActiveFlightPlan[3].constraint_flag, 0u);
  EXPECT_EQ(F().ActiveFlightPlan[1].constraint_flag, 1u);  // behind the active waypoint
  EXPECT_EQ(F().ActiveFlightPlan[5].constraint_flag, 1u);  // beyond the fix
  EXPECT_EQ(F().PendingFlightPlan[4].altitude_constraint, 1500.0);
  EXPECT_EQ(F().RouteState, 3);  // executed
  EXPECT_EQ(G().NextConstraintIndex, 4);
  EXPECT_EQ(G().TodPassed, 0);
  EXPECT_EQ(M().McuPage, kPageStatus);
  EXPECT_EQ(M().McuCrossingEntryActive, 0);
  EXPECT_EQ(Md().McuKeyboardEntry, "");
  EXPECT_TRUE(f.Shows("LEGS:"));  // the page still drawn in that frame
  EXPECT_EQ(G().DisplayRefreshCounter, 999);
}

// At the destination airport the entered altitude stays on the waypoint;
// guidance crosses it 200 ft higher.
TEST_F(McuLegsTest, ACrossingAltitudeAtTheDestinationAirport) {
  G().VnavEngaged = 1;
  G().TocPassed = 1;
  S().McuLegsCursor = 5;
  M().McuCrossingEntryActive = 1;
  Md().McuKeyboardEntry = "2000";  // typed on the PC keyboard
  S().McuPageEntered = 1;
  Repaint();
  EXPECT_EQ(F().ActiveFlightPlan[5].altitude_constraint, 2000.0);
  EXPECT_EQ(G().NextConstraintIndex, 5);
  EXPECT_EQ(G().NextConstraintAltitude, 2200.0);
}

TEST_F(McuLegsTest, EnterDoesNothingWithoutAWaypointACursorOrAnAltitude) {
  struct Case {
    const char* what;
    int active, cursor;
    const char* typed;
    bool taken;
  } cases[] = {
      {"no active waypoint", 999, 3, "5000", false}, {"cursor past the end", 2, 6, "5000", false},
      {"cursor 0", 2, 0, "5000", false},             {"letters", 2, 3, "ABC", false},
      {"above 99000", 2, 3, "99001", false},         {"six digits", 2, 3, "012345", false},
      {"empty", 2, 3, "", false},                    {"99000", 2, 3, "99000", true},
      {"0", 2, 3, "0", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SetUp();
    F().ActiveWaypointIndex = c.active;
    S().McuLegsCursor = c.cursor;
    M().McuCrossingEntryActive = 1;
    Md().McuKeyboardEntry = c.typed;
    S().McuPageEntered = 1;
    Repaint();
    EXPECT_EQ(M().McuCrossingEntryActive, c.taken ? 0 : 1);
    EXPECT_EQ(M().McuPage, c.taken ? kPageStatus : kPageLegs);
    EXPECT_EQ(F().RouteState, 3);
    EXPECT_EQ(F().ActiveFlightPlan[3].constraint_flag, c.taken ? 1u : 0u);
  }
}

}  // namespace
}  // namespace ovi::mcu::test
