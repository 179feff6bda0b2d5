// AIRWAY (page 13) and SAVE ACTIVE FPL (page 14): the fixes in pages of
// 16 with the segment either way, the line-key cycles and rows without a
// fix, ENT splicing or staying; the save page closed, open and refused.
#include <filesystem>

#include <unistd.h>

#include "src/flightplan/route_edit.h"
#include "src/flightplan/state.h"
#include "src/host/state.h"
#include "src/instruments/gnsxls/keypad.h"
#include "src/instruments/gnsxls/kit.h"
#include "src/navdb/entry_state.h"
#include "tests/instruments/gnsxls/gnsxls_support.h"

namespace ovi::gnsxls::test {
namespace {

using flightplan::test::ActiveIdents;
using flightplan::test::F;
using flightplan::test::MakeActive;
using AirwayPageTest = GnsTest;
using SavePageTest = GnsTest;

navdb::EntryState& E() { return navdb::entry_state; }

// Fixes F1..Fn of airway "V9", the route waypoint at fix `start`.
void ListFixes(int n, int start) {
  for (int i = 1; i <= n; ++i) PutCandidate(i, "F" + std::to_string(i), "I", 0.1 * i, 0.0);
  E().ListedAirwayName = "V9";
  E().AirwayTitleText = "V9";
  E().AirwayStartIndex = E().SelectedAirwayIndex = E().AirwayPageState = start;
  E().AirwayListPage = (start - 1) / 16 + 1;
  S().GnsXlsPage = kPageAirway;
  S().GnsXlsReturnPage = kPageFlightPlan;
}

TEST_F(AirwayPageTest, FirstAndLaterPagesEitherWay) {
  ListFixes(20, 4);
  Frame f = DrawFrame();
  f.Expect("AIRWAY", 32, 0, kWhite);
  f.Expect("V9", 200, 0, kGreen);
  f.Expect("1/2", 340, 0, kWhite);
  f.Expect("TO", 20, 160, kYellow);  // the start, with the cursor
  f.Expect("F4?", 75, 160, kBlack);
  f.Expect("F1", 75, 40, kGreen);
  f.Expect("F16", 300, 320, kGreen);
  f.Expect("SELECT ENDING WPT", 40, 360, kWhite);
  EXPECT_EQ(f.TextsAt(0).size() + f.TextsAt(460).size(), 10u);
  // On along the airway: key 7's upper row is fix 10.
  f = Key(7);
  f.Expect("FR", 20, 160, kYellow);
  f.Expect("F4", 75, 160, kYellow);
  f.Expect("TO", 240, 80, kYellow);
  f.Expect("F10?", 300, 80, kBlack);
  f.Expect("F9", 300, 40, kYellow);  // between
  f.Expect("F11", 300, 120, kGreen);
  // Back against it: fix 1, the fixes between highlighted all the same.
  f = Key(1);
  f.Expect("F1?", 75, 40, kBlack);
  f.Expect("F2", 75, 80, kYellow);
  f.Expect("F5", 75, 200, kGreen);
  // Page 2: fixes 17-20 in the left rows 1-4, pointers for keys 1-3 only.
  PressNextPage();
  f = DrawFrame();
  f.Expect("2/2", 340, 0, kWhite);
  f.Expect("F17", 75, 40, kGreen);
  f.Expect("F20", 75, 160, kGreen);
  EXPECT_EQ(f.TextsAt(0), (Strings{">", ">", ">"}));
  EXPECT_TRUE(f.TextsAt(460).empty());
  // The cursor follows the row chosen on this page; a row without a fix
  // chooses nothing and the end stays.
  f = Key(3);
  f.Expect("F20?", 75, 160, kBlack);
  f = Key(3);
  EXPECT_EQ(LineStates()[2], 0);
  EXPECT_EQ(E().SelectedAirwayIndex, 20);
  f.Expect("TO", 20, 160, kYellow);
  f.Expect("F20", 75, 160, kYellow);
}

// Key 3 three times: fix 4, fix 5, none; the end chosen last stays.
TEST_F(AirwayPageTest, KeyCyclesAndAnEmptyList) {
  ListFixes(10, 1);
  std::vector<int> codes, ends;
  for (int press = 0; press < 3; ++press) {
    Key(3);
    codes.push_back(E().AirwayPageState);
    ends.push_back(E().SelectedAirwayIndex);
  }
  EXPECT_EQ(codes, (std::vector<int>{4, 5, 0}));
  EXPECT_EQ(ends, (std::vector<int>{4, 5, 5}));
  EXPECT_EQ(S().GnsXlsEntryActive, 0);
  E().WaypointCandidateCount = 0;
  E().AirwayTitleText = "V9 (N/A)";
  const Frame f = DrawFrame();
  f.Expect("1/1", 340, 0, kWhite);
  EXPECT_EQ(f.Texts(), (Strings{"AIRWAY", "V9 (N/A)", "1/1", "SELECT ENDING WPT"}));
}

// ENT splices the segment and returns to page 1; with no end chosen, an
// end past the list or no room, the page stays.
TEST_F(AirwayPageTest, EnterSplicesOrStays) {
  struct Case {
    int end;
    std::int32_t page;
    Strings idents;
  } cases[] = {
      {2, kPageFlightPlan, {"A", "F4", "F3", "F2", "B"}},
      {4, kPageAirway, {"A", "F4", "B"}},
      {21, kPageAirway, {"A", "F4", "B"}},
  };
  for (const Case& c : cases) {
    ResetModuleState();
    MakeActive({"A", "F4", "B"});
    F().ActiveFlightPlan[1].latitude = 0.4;
    F().ActiveFlightPlan[1].longitude = 0.0;
    F().EditWaypointIndex = 1;
    S().GnsXlsFplView = kViewActive;
    ListFixes(20, 4);
    E().SelectedAirwayIndex = c.end;
    Ent();
    EXPECT_EQ(S().GnsXlsPage, c.page) << c.end;
    EXPECT_EQ(ActiveIdents(), c.idents) << c.end;
    if (c.page == kPageFlightPlan) {
      EXPECT_EQ(F().ActiveFlightPlan[3].via, "V9");
      EXPECT_EQ(E().AirwayStartIndex + E().SelectedAirwayIndex, 0);
    }
  }
}

// Closed, the extension follows the name (20 units a character); open, it
// stands at 230.
TEST_F(SavePageTest, ClosedOpenAndBack) {
  MakeActive({"KSEA", "A", "KPDX"});
  S().GnsXlsPage = kPageSaveFlightPlan;
  S().GnsSaveFileName = S().NavigatorScratchpad = "KSEAKPDX";
  Frame f = DrawFrame();
  f.Expect("SAVE ACTIVE FPL ", 90, 0, kWhite);
  f.Expect("KSEA", 96, 40, kGreen);
  f.Expect("KPDX", 280, 40, kGreen);
  f.Expect("KSEAKPDX", 30, 120, kGreen);
  f.Expect(".RTE", 30 + 20 * 8, 120, kGreen);
  f.Expect(">", 0, 98, kWhite);
  f = Key(2);
  EXPECT_EQ(f.Blocks(), (std::vector<Frame::Block>{{30, 120, 10}}));
  f.Expect("KSEAKPDX  ", 30, 120, kBlack);
  f.Expect(".RTE", 230, 120, kGreen);
  Type("MY");
  Key(2);  // closed again: the name and the entry line as they were
  EXPECT_EQ(S().GnsSaveFileName, "KSEAKPDX");
  EXPECT_EQ(S().NavigatorScratchpad, "KSEAKPDX");
  // A proposal of two long idents is cut to the field.
  MakeActive({"ABCDEFG", "A", "HIJKLMN"});
  F().ActiveFlightPlan[2].type = "APT";
  S().GnsXlsPage = kPageFlightPlan;
  S().GnsXlsFplView = kViewActive;
  S().GnsXlsLineState[9] = 2;
  Ent();
  EXPECT_EQ(S().GnsSaveFileName, "ABCDEFGHIJ");
}

// A name that is no file name, or a write that fails, is said on the page,
// which stays; a good save leaves it.
TEST_F(SavePageTest, RefusedAndFailedSaves) {
  namespace fs = std::filesystem;
  const fs::path root = fs::temp_directory_path() / ("ovi_gns_save_" + std::to_string(::getpid()));
  fs::create_directories(root / "ovi" / "flightplans");
  host::host_state.SimulatorFolder = root.string();
  MakeActive({"KSEA", "A", "KPDX"});
  struct Case {
    const char* name;
    const char* folder;
    const char* shown;
  } cases[] = {{"A/B", "ovi", "INVALID NAME"}, {"temp", ".", "INVALID NAME"}, {"GOOD", "missing", "SAVE FAILED"},
               {"GOOD", ".", ""}};
  for (const Case& c : cases) {
    host::host_state.SimulatorFolder = (root / c.folder).string();
    S().GnsXlsPage = kPageSaveFlightPlan;
    S().GnsXlsEntryActive = 0;
    S().NavigatorScratchpad = c.name;
    Ent();
    const Frame f = DrawFrame();
    if (*c.shown != '\0') {
      f.Expect(c.shown, 30, 200, kYellow);
      EXPECT_EQ(S().GnsXlsPage, kPageSaveFlightPlan);
    } else {
      EXPECT_EQ(S().GnsXlsPage, kPageFlightPlan);
      EXPECT_TRUE(fs::exists(root / "ovi" / "flightplans" / "GOOD.RTE"));
    }
  }
  fs::remove_all(root);
}

}  // namespace
}  // namespace ovi::gnsxls::test
