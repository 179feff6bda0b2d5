// The keypad: page keys and what else they set, the scratchpad keys at the
// 24-character limit, the message line, and the letters the navigator's
// entry line also takes.
#include <string>

#include "src/flightplan/state.h"
#include "src/host/module_state.h"
#include "src/instruments/fms/keypad.h"
#include "src/instruments/fms/state.h"
#include "src/instruments/gnsxls/state.h"
#include "src/model/state.h"
#include "src/util/text.h"
#include "tests/fms/cdu_support.h"

namespace ovi::fms::test {
namespace {

model::FmsSubPageTable& SubPages() { return model::model_state.FmsSubPageTable; }

TEST_F(CduTest, PageKeysOpenTheirPagesOnTheirFirstSubPage) {
  struct Case {
    const char* key;
    void (*press)();
    std::int32_t page;
    std::int32_t model::FmsSubPageTable::*sub_page;  // null: none set
  };
  const Case cases[] = {
      {"RTE", PressRte, kPageRoute, &model::FmsSubPageTable::RteSubPage},
      {"CLB", PressClimb, kPageEconClimb, nullptr},
      {"CRZ", PressCruise, kPageEconCruise, nullptr},
      {"DES", PressDescent, kPageEconDescent, nullptr},
      {"DEP ARR", PressDepArr, kPageDepArrIndex, nullptr},
      {"PROG", PressProgress, kPageProgress, &model::FmsSubPageTable::ProgressSubPage},
      {"FIX", PressFix, kPageFixInfo, &model::FmsSubPageTable::FixInfoSubPage},
      {"LEGS", PressLegs, kPageRteLegs, &model::FmsSubPageTable::LegsSubPage},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.key);
    ResetModuleState();
    fms_state.FmsPage = kPageIdent;
    SubPages().RteSubPage = SubPages().ProgressSubPage = SubPages().FixInfoSubPage = SubPages().LegsSubPage = 2;
    c.press();
    EXPECT_EQ(fms_state.FmsPage, c.page);
    if (c.sub_page != nullptr) {
      EXPECT_EQ(SubPages().*c.sub_page, 1);
    }
    EXPECT_EQ(fms_state.FmsRteKey, c.page == kPageRoute ? 1 : 0);
    EXPECT_EQ(fms_state.FmsLegsKey, c.page == kPageRteLegs ? 1 : 0);
  }
}

TEST_F(CduTest, InitRefOpensPerfInitOnlyWithAnActiveWaypoint) {
  for (auto [active, page] : {std::pair{model::kNoWaypoint, kPagePosition}, std::pair{1, kPagePerfInit},
                              std::pair{0, kPagePerfInit}}) {
    flightplan::flightplan_state.ActiveWaypointIndex = active;
    SubPages().PerfInitSubPage = 2;
    PressInitRef();
    EXPECT_EQ(fms_state.FmsPage, page);
    EXPECT_EQ(SubPages().PerfInitSubPage, 1);
  }
}

TEST_F(CduTest, LegsEndsAnySelectionModeAndDirIntcStartsOne) {
  State& s = fms_state;
  s.FmsHoldFixSelect = 2;
  s.FmsDirectLegIndex = 4;
  s.FmsLegsMarker = 5;
  PressLegs();
  EXPECT_EQ(s.FmsHoldFixSelect, 0);
  EXPECT_EQ(s.FmsDirectLegIndex, 0);
  EXPECT_EQ(s.FmsLegsMarker, 0);

  for (int state : {0, 1, 2, 3, 4}) {
    SCOPED_TRACE(state);
    flightplan::flightplan_state.RouteState = state;
    s.FmsPage = kPageIdent;
    s.FmsLegsKey = 0;
    s.FmsHoldFixSelect = 0;
    SubPages().LegsSubPage = 3;
    model::model_state.PanelMessage.clear();
    PressDirIntc();
    const bool active = state >= 2;
    EXPECT_EQ(s.FmsPage, active ? kPageRteLegs : kPageIdent);
    EXPECT_EQ(s.FmsHoldFixSelect, active ? 1 : 0);
    EXPECT_EQ(model::model_state.PanelMessage, active ? "" : "NO ACTIVE ROUTE");
    EXPECT_EQ(SubPages().LegsSubPage, 3);
    EXPECT_EQ(s.FmsLegsKey, 0);
  }
}

TEST_F(CduTest, HoldOpensTheHoldsOrHoldAtSelection) {
  flightplan::State& fp = flightplan::flightplan_state;
  fp.PlanStepIndex = 3;
  SubPages().RteHoldSubPage = 2;
  PressHold();
  EXPECT_EQ(fms_state.FmsPage, kPageRteLegs);
  EXPECT_EQ(fms_state.FmsHoldFixSelect, 2);
  EXPECT_EQ(fp.PlanStepIndex, 0);
  EXPECT_EQ(fms_state.FmsHoldKey, 1);
  EXPECT_EQ(SubPages().RteHoldSubPage, 1);

  fms_state.FmsHoldFixSelect = 0;
  fp.HoldCount = 1;
  fp.PlanStepIndex = 3;
  SubPages().RteHoldSubPage = 2;
  PressHold();
  EXPECT_EQ(fms_state.FmsPage, kPageRteHold);
  EXPECT_EQ(fms_state.FmsHoldFixSelect, 0);
  EXPECT_EQ(fp.PlanStepIndex, 3);
  EXPECT_EQ(SubPages().RteHoldSubPage, 1);
}

TEST_F(CduTest, LineAndPagingKeysOnlyRecord) {
  fms_state.FmsPage = kPageIdent;
  for (int key = 1; key <= 12; ++key) {
    PressLineSelect(key);
    EXPECT_EQ(fms_state.FmsLineSelectKey, key);
  }
  PressPrevPage();
  PressNextPage();
  EXPECT_EQ(fms_state.FmsPrevPageKey, 1);
  EXPECT_EQ(fms_state.FmsNextPageKey, 1);
  EXPECT_EQ(fms_state.FmsPage, kPageIdent);
}

// Types a text key by key.
void Type(const std::string& text) {
  for (char c : text) TypeCharacter(c);
}

TEST_F(CduTest, ScratchpadKeys) {
  model::State& m = model::model_state;
  const std::string full(24, '7');
  struct Case {
    const char* what;
    const char* message;
    std::string pad;
    void (*press)();
    std::string pad_after;
    const char* message_after;
  };
  const Case cases[] = {
      {"sign on empty", "", "", PressSign, "-", ""},
      {"sign after -", "", "12-", PressSign, "12+", ""},
      {"sign after +", "", "12+", PressSign, "12-", ""},
      {"sign after digit", "", "12", PressSign, "12-", ""},
      {"sign when full", "", std::string(23, '7') + "-", PressSign, std::string(23, '7') + "-", ""},
      {"sign at 23", "", std::string(23, '7'), PressSign, std::string(23, '7') + "-", ""},
      {"space", "", "KSEA", PressSpace, "KSEA ", ""},
      {"space when full", "", full, PressSpace, full, ""},
      {"space after DEL", "DELETE", "KSEA", PressSpace, "", ""},
      {"space with another message", "INVALID ENTRY", "KSEA", PressSpace, "KSEA ", "INVALID ENTRY"},
      {"CLR removes the message first", "NO ACTIVE ROUTE", "ABC", PressClear, "ABC", ""},
      {"CLR removes a character", "", "ABC", PressClear, "AB", ""},
      {"CLR on nothing", "", "", PressClear, "", ""},
      {"DEL replaces any message", "INVALID ENTRY", "ABC", PressDelete, "ABC", "DELETE"},
      {"DEL without message", "", "", PressDelete, "", "DELETE"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    m.PanelMessage = c.message;
    m.FmsScratchpad = c.pad;
    c.press();
    EXPECT_EQ(m.FmsScratchpad, c.pad_after);
    EXPECT_EQ(m.PanelMessage, c.message_after);
  }
}

TEST_F(CduTest, CharactersStopAtTwentyFour) {
  model::State& m = model::model_state;
  Type("KSEA/12.5");
  EXPECT_EQ(m.FmsScratchpad, "KSEA/12.5");
  Type(std::string(20, 'A'));
  EXPECT_EQ(m.FmsScratchpad.size(), 24u);
  EXPECT_EQ(m.FmsScratchpad, "KSEA/12.5" + std::string(15, 'A'));
}

TEST_F(CduTest, LettersGToZAlsoReachTheNavigatorEntryLine) {
  gnsxls::State& nav = gnsxls::gnsxls_state;
  nav.GnsXlsEntryActive = 1;
  fms_state.FmsLegsMarker = 4;
  TypeCharacter('A');
  TypeCharacter('F');
  TypeCharacter('5');
  EXPECT_EQ(util::Trim(nav.NavigatorScratchpad), "");
  EXPECT_EQ(fms_state.FmsLegsMarker, 4);
  TypeCharacter('G');
  EXPECT_EQ(util::Trim(nav.NavigatorScratchpad), "G");
  EXPECT_EQ(fms_state.FmsLegsMarker, 0);

  // With the scratchpad full, G to Z still reach the navigator.
  model::model_state.FmsScratchpad = std::string(24, 'B');
  fms_state.FmsLegsMarker = 4;
  TypeCharacter('Z');
  EXPECT_EQ(model::model_state.FmsScratchpad, std::string(24, 'B'));
  EXPECT_EQ(util::Trim(nav.NavigatorScratchpad), "GZ");
  EXPECT_EQ(fms_state.FmsLegsMarker, 0);

  nav.GnsXlsEntryActive = 0;
  TypeCharacter('H');
  EXPECT_EQ(util::Trim(nav.NavigatorScratchpad), "GZ");
}

}  // namespace
}  // namespace ovi::fms::test
