// The performance pages on the recording surface: PERF INIT and LIMITS,
// TAKEOFF REF, APPROACH REF, ECON CLB / CRZ / PATH DES and DES FORECASTS.
// Their entries at and around every limit, the entry copies EXEC and ERASE
// act on, and the blocks each flight phase shows.
#include <array>
#include <cstdlib>
#include <span>
#include <string>

#include "platform/gfx/device_context.h"
#include "platform/gfx/image_io.h"
#include "src/flightplan/execute.h"
#include "src/flightplan/state.h"
#include "src/guidance/route_ahead.h"
#include "src/guidance/state.h"
#include "src/guidance/vertical_plan.h"
#include "src/instruments/fms/cdu.h"
#include "src/instruments/fms/kit.h"
#include "src/instruments/fms/perf_entries.h"
#include "src/instruments/fms/state.h"
#include "src/model/state.h"
#include "tests/fms/cdu_support.h"
#include "tests/flightplan/route_support.h"
#include "tests/host/fake_panels.h"

namespace ovi::fms::test {
namespace {

flightplan::State& F() { return flightplan::flightplan_state; }
model::State& M() { return model::model_state; }
guidance::State& G() { return guidance::guidance_state; }

// A field's entry: what is typed, what the page shows after it (null:
// refused, the text kept), checked on the frame that acted.
struct EntryCase {
  int key;
  const char* typed;
  const char* shown;
};

class PerfPageTest : public CduTest {
 protected:
  void SetUp() override {
    CduTest::SetUp();
    host.Bind();
    host.tokens[386] = 1000;  // gallons on board
    host.tokens[306] = 6.7;   // pounds a gallon: 6700 lb
  }
  // Types `typed`, presses `key` and draws the frame that acts on it.
  Frame Press(int key, const std::string& typed = "", int w = 282, int h = 245) {
    M().FmsScratchpad = typed;
    M().PanelMessage.clear();
    PressLineKey(key);
    return DrawFrame(w, h);
  }
  void ExpectEntries(int page, std::span<const EntryCase> cases) {
    for (const EntryCase& c : cases) {
      SCOPED_TRACE(std::string(c.typed) + " on key " + std::to_string(c.key));
      fms_state.FmsPage = page;
      const Frame f = Press(c.key, c.typed);
      if (c.shown != nullptr) {
        EXPECT_EQ(M().PanelMessage, "");
        EXPECT_EQ(M().FmsScratchpad.str(), "");
        EXPECT_TRUE(f.rec.FindTextContaining(c.shown)) << c.shown;
      } else {
        EXPECT_EQ(M().PanelMessage, "INVALID ENTRY");
      }
    }
  }
  ovi::testing::FakeHost host;
};

// An executed route (RouteState 3) flying to its first waypoint.
void ExecutedRoute() {
  const flightplan::test::Strings idents{"KSEA", "SEA", "OLM", "BTG", "KPDX"};
  flightplan::test::MakeActive(idents);
  flightplan::test::MakePending(idents);
  F().ActiveWaypointIndex = 1;
  F().RouteState = 3;
  M().OriginAirportIdent = "KSEA";  // EXEC keeps the speeds of the same origin
}

// ---- PERF INIT ----------------------------------------------------------------

TEST_F(PerfPageTest, PerfInitNotSetThenFilledAtTwoSizes) {
  fms_state.FmsPage = kPagePerfInit;
  host.tokens[386] = 0;
  for (auto [w, h] : {std::pair{282, 245}, std::pair{284, 233}}) {
    SCOPED_TRACE(w);
    Frame f = DrawFrame(w, h);
    f.ExpectText("PERF  INIT", 63, 0);
    f.ExpectText(" 1 /  2", 220, 0, 12);
    f.ExpectText("C R Z   A L T", 272 - 5.5f * 13, 22, 12);
    f.ExpectText("- - - \xC2\xB0 / - - -", 190, 66);
    f.ExpectText("TAKEOFF >", 175, 198);
    f.ExpectText("< INDEX", 0, 198);
    // CRZ ALT 5, FUEL 3, ZFW 4, RESERVES 3, COST INDEX 3, TRANS ALT set.
    EXPECT_EQ(f.rec.Find(gfx::OpKind::Rectangle).size(), 18u);
    EXPECT_FALSE(f.Find("I S A    D E V"));  // no cruise altitude yet
  }
  host.tokens[386] = 1000;
  M().CruiseAlt = 35000;
  M().CostIndex = 80;
  M().ReserveFuel = 4000;
  fms_state.CruiseWindDirection = 90;
  fms_state.CruiseWindSpeed = 5;
  G().GrossWeight = 120500;
  Frame f = DrawFrame();
  f.ExpectText("127.2", 0, 33);  // 120500 + 6700 lb
  f.ExpectText("FL350", 222, 33);
  f.ExpectText("6.7", 0, 66);
  f.ExpectText("090\xC2\xB0/  5", 200, 66);
  f.ExpectText("120.5", 0, 99);
  f.ExpectText("4.0", 0, 133);
  f.ExpectText(" 80", 0, 165);
  f.ExpectText("18000", 210, 165);
  f.ExpectText("54 \xC2\xB0" "F / 30 \xC2\xB0" "C", 170, 103);   // ISA +30: 54 F warmer
  f.ExpectText("-22\xC2\xB0" "F / -30\xC2\xB0" "C", 170, 130);  // T/C OAT -30 C
  EXPECT_TRUE(f.rec.Find(gfx::OpKind::Rectangle).empty());
  // In kilograms: 127200 lb x 0.45359237 = 57.7 t.
  M().WeightUnit = "KGS";
  EXPECT_TRUE(DrawFrame().Find("57.7"));
}

TEST_F(PerfPageTest, CruiseAltitudeAgainstTheTransitionAltitude) {
  fms_state.FmsPage = kPagePerfInit;
  for (auto [alt, shown] : {std::pair{18000, "18000"}, std::pair{18500, "FL185"}, std::pair{18099, "FL180"}}) {
    M().CruiseAlt = alt;
    EXPECT_TRUE(DrawFrame().Find(shown)) << alt;
  }
  // At a transition altitude of its own, away from the one TRANS ALT shows:
  // the altitude itself is still feet, one flight level above a level.
  M().TransAlt = 5000;
  EXPECT_EQ(AltitudeText(5000), " 5000");
  EXPECT_EQ(AltitudeText(5001), "FL050");
  EXPECT_EQ(AltitudeText(5100), "FL051");
}

TEST_F(PerfPageTest, PerfInitEntries) {
  M().CruiseAlt = 35000;
  const EntryCase cases[] = {
      {kL3, "120.5", "120.5"}, {kL3, "0", nullptr},      {kL3, "1000", nullptr}, {kL3, "", nullptr},
      {kL4, "3.5", "3.5"},     {kL4, "0", nullptr},      {kL4, "2001", nullptr}, {kL4, "99999", nullptr},
      {kL5, "200", "200"},     {kL5, "201", nullptr},    {kL5, "-2", nullptr},   {kL5, "00", nullptr},
      {kL5, "0", "  0"},       {kR1, "FL350", "FL350"},  {kR1, "350", "FL350"},  {kR1, "99999", nullptr},
      {kR1, "FL", nullptr},    {kR2, "270/45", "270\xC2\xB0/ 45"}, {kR2, "27/45", nullptr},
      {kR2, "270/", nullptr},  {kR2, "270/99999", nullptr}, {kR5, "18500", "18500"},
      {kR5, "0", nullptr},     {kR5, "100000", nullptr},
  };
  ExpectEntries(kPagePerfInit, cases);
  // A refused CRZ ALT keeps the scratchpad without its "FL".
  Press(kR1, "FLX");
  EXPECT_EQ(M().FmsScratchpad.str(), "X");
  // What would be stored as 0 ("not set", the boxes) is refused, the
  // altitudes kept.
  M().TransAlt = 18000;
  for (auto [key, typed] : {std::pair{kR1, "0.5"}, std::pair{kR1, ".7"}, std::pair{kR1, "FL.9"},
                            std::pair{kR5, ".5"}, std::pair{kR5, "0.99"}}) {
    Press(key, typed);
    EXPECT_EQ(M().PanelMessage, "INVALID ENTRY") << typed;
    M().PanelMessage.clear();
    M().FmsScratchpad.clear();
  }
  EXPECT_EQ(M().CruiseAlt, 35000);
  EXPECT_EQ(M().TransAlt, 18000);
  // One foot is the least of either: a flight level of 1 is 100 ft.
  Press(kR1, "1.9");
  EXPECT_EQ(M().CruiseAlt, 100);
}

TEST_F(PerfPageTest, IsaDeviationAndTopOfClimbTemperatureBothWays) {
  fms_state.FmsPage = kPagePerfInit;
  M().CruiseAlt = 35000;
  Press(kR3, "10");
  EXPECT_NEAR(M().TopOfClimbOat, 10 + 15 - 35 * 1.98, 1e-9);  // -44.3
  Press(kR4, "-50");
  EXPECT_NEAR(fms_state.IsaDeviation, -50 - (15 - 69.3), 1e-9);  // 4.3
  // An empty R3 or R4 does nothing; "00" is refused, "0" taken.
  Press(kR3, "");
  EXPECT_EQ(M().PanelMessage, "");
  Press(kR3, "00");
  EXPECT_EQ(M().PanelMessage, "INVALID ENTRY");
  Press(kR3, "0");
  EXPECT_NEAR(M().TopOfClimbOat, 15 - 69.3, 1e-9);
}

TEST_F(PerfPageTest, ReserveAboveTheFuelShowsTheFuelAndTwoGaugesClampOnce) {
  fms_state.FmsPage = kPagePerfInit;
  Press(kL4, "10");  // 10000 lb, 6700 on board
  EXPECT_EQ(M().ReserveFuel, 6700);
  EXPECT_TRUE(DrawFrame().FindAt("6.7", 0, 133));
  DrawFrame();  // the second gauge of the frame
  EXPECT_EQ(M().ReserveFuel, 6700);
  host.tokens[386] = 0;
  // The boxes of CRZ ALT 5, FUEL 3, ZFW 4, COST INDEX 3, and RESERVES 3.
  EXPECT_EQ(DrawFrame().rec.Find(gfx::OpKind::Rectangle).size(), 18u);
}

TEST_F(PerfPageTest, KilogramWeights) {
  M().WeightUnit = "KGS";
  const EntryCase cases[] = {{kL3, "950", nullptr}, {kL3, "100", "100.0"}};
  ExpectEntries(kPagePerfInit, cases);
  EXPECT_NEAR(G().GrossWeight, 220462.262, 1e-6);
}

TEST_F(PerfPageTest, NextWinsOverPrevAndBothWrap) {
  fms_state.FmsPage = kPagePerfInit;
  fms_state.FmsNextPageKey = 1;
  fms_state.FmsPrevPageKey = 1;
  EXPECT_TRUE(DrawFrame().Find("PERF  LIMITS"));
  fms_state.FmsNextPageKey = 1;
  DrawFrame();
  EXPECT_EQ(M().FmsSubPageTable.PerfInitSubPage, 1);
  fms_state.FmsPrevPageKey = 1;
  DrawFrame();
  EXPECT_EQ(M().FmsSubPageTable.PerfInitSubPage, 2);
}

// Cost index, cruise altitude and the ECON speeds are edits EXEC acts on.
TEST_F(PerfPageTest, EntryCopiesEraseToThePreEditValueAndExecClearsThem) {
  ExecutedRoute();
  fms_state.FmsPage = kPagePerfInit;
  ASSERT_EQ(F().RouteState, 3);
  M().CruiseAlt = 0;  // never set
  M().CostIndex = -1;
  Press(kR1, "FL310");
  EXPECT_EQ(F().RouteState, 4);
  Frame f = Press(kL5, "50");
  ExpectModBox(f);
  EXPECT_TRUE(f.Find("< ERASE"));
  Press(kR1, "FL330");  // a second edit: ERASE still goes back before the first
  Press(kL6);
  EXPECT_EQ(F().RouteState, 3);
  EXPECT_EQ(M().CruiseAlt, 0);
  EXPECT_EQ(M().CostIndex, -1);
  EXPECT_TRUE(DrawFrame().Find("ACT"));

  fms_state.FmsPage = kPageEconCruise;
  // SEA passed since the pending route was copied: the modification starts
  // from the route as flown, and EXEC keeps its time.
  F().ActiveFlightPlan[1].time_over_text = "12:34";
  Press(kL2, "280/.80");
  EXPECT_EQ(F().RouteState, 4);
  flightplan::ExecutePendingRoute();
  EXPECT_EQ(F().RouteState, 3);
  EXPECT_EQ(F().ActiveFlightPlan[1].time_over_text, "12:34");
  EXPECT_FALSE(M().CruiseIasSaved || M().CruiseMachSaved);
  Press(kL2, "300");
  Press(kL6);
  EXPECT_EQ(M().CruiseSpeed, 280);  // the executed value
  EXPECT_EQ(M().CruiseMach, 0.80);
}

// A Mach entered alone on ECON CRZ is the pilot's: the plan's Mach at the
// level does not replace it at EXEC nor at a re-plan. ERASE of the first
// entry gives the plan's back, ERASE of a second the executed entry; a
// Mach of 0 hands the choice back to the plan, and a new origin brings
// back the aircraft's speeds.
TEST_F(PerfPageTest, AMachEnteredAloneStandsUntilThePilotTakesItBack) {
  ExecutedRoute();
  M().LoadedSpeedSchedule = {240, 250, 280};
  M().CruiseSpeed = 280;
  M().CruiseAlt = 30000;
  fms_state.FmsPage = kPageEconCruise;
  flightplan::RebuildVerticalPlan();
  const double planned = M().CruiseMach;
  ASSERT_GT(planned, 0.0);
  ASSERT_NE(planned, 0.70);
  const auto replanned = [] {
    flightplan::RebuildVerticalPlan();
    return M().CruiseMach;
  };
  Press(kL2, "/.70");
  Press(kL6);
  EXPECT_EQ(M().CruiseMach, planned);
  EXPECT_EQ(replanned(), planned);
  Press(kL2, "/.70");
  flightplan::ExecutePendingRoute();
  EXPECT_EQ(M().CruiseMach, 0.70);
  EXPECT_EQ(replanned(), 0.70);
  Press(kL2, "/.72");
  Press(kL2, "/.74");
  Press(kL6);
  EXPECT_EQ(M().CruiseMach, 0.70);
  EXPECT_EQ(replanned(), 0.70);
  Press(kL2, "290");  // a speed alone keeps the Mach entered
  flightplan::ExecutePendingRoute();
  M().CruiseSpeed = 280;
  EXPECT_EQ(replanned(), 0.70);
  Press(kL2, "/0");
  flightplan::ExecutePendingRoute();
  EXPECT_EQ(replanned(), planned);
  Press(kL2, "/.70");
  flightplan::ExecutePendingRoute();
  M().OriginAirportIdent = "KBFI";  // a new origin: the aircraft's speeds
  F().RouteState = 4;
  flightplan::ExecutePendingRoute();
  EXPECT_EQ(M().CruiseSpeed, 280);
  EXPECT_EQ(replanned(), planned);
}

// A cruise altitude the route (KSEA to KPDX, 130 NM) has no room for is
// planned lower; PERF INIT keeps the entry, and ERASE goes back to it.
TEST_F(PerfPageTest, TheEnteredCruiseAltitudeStaysWhenThePlanFliesLower) {
  ExecutedRoute();
  G().PlaneLatitude = F().ActiveFlightPlan[0].latitude;
  G().PlaneLongitude = F().ActiveFlightPlan[0].longitude;
  fms_state.FmsPage = kPagePerfInit;
  Press(kR1, "FL350");
  flightplan::ExecutePendingRoute();
  // The page shows the one level in force, the one the plan flies and the
  // other pages show; the entry stays as entered.
  const std::int32_t level = guidance::PlannedCruiseAltitude();
  ASSERT_LT(level, 30000);
  EXPECT_EQ(M().CruiseAlt, 35000);
  const std::string shown = AltitudeText(level);
  EXPECT_TRUE(DrawFrame().Find(shown));
  EXPECT_FALSE(DrawFrame().Find("FL350"));
  Press(kR1, "FL250");
  Press(kL6);
  EXPECT_EQ(M().CruiseAlt, 35000);
  EXPECT_TRUE(DrawFrame().Find(shown));
}

// ---- PERF LIMITS --------------------------------------------------------------

TEST_F(PerfPageTest, LimitEntriesPadTheMachAndKeepThePaddedText) {
  M().FmsSubPageTable.PerfInitSubPage = 2;
  const EntryCase cases[] = {
      {kR2, "250/.78", "250 / .780"},   {kL3, "240/.7", "240 /.700"},     {kR4, "300/.820", "300 / .820"},
      {kL2, "25/.78", nullptr},        {kL2, "250.780", nullptr},        {kL2, "000/.780", nullptr},
      {kL4, "250/.000", nullptr},      {kL2, "", nullptr},               {kL2, "250/.7800", nullptr},
  };
  ExpectEntries(kPagePerfInit, cases);
  EXPECT_EQ(M().CruiseIasMin, 240);
  EXPECT_DOUBLE_EQ(M().MinSpeedTable[1], 0.78);
  Press(kL2, "25/.78");
  EXPECT_EQ(M().FmsScratchpad.str(), "25/.7800");
  // The climb minimum keeps a decimal speed.
  Press(kL2, "2.5/.78");
  EXPECT_EQ(M().ClimbIasMin, 2.5);
  // L1 with text does nothing; R6 opens RTA PROGRESS.
  Press(kL1, "250/.78");
  EXPECT_EQ(M().PanelMessage, "");
  Press(kR6);
  EXPECT_EQ(fms_state.FmsPage, kPageProgress);
  EXPECT_EQ(M().FmsSubPageTable.ProgressSubPage, 2);
}

// A speed no aircraft flies is refused and changes nothing: a sign typed
// with the +/- key before either part, a minimum above its row's maximum
// or a maximum below its minimum, in the IAS or in the Mach. The pair may
// meet: a minimum equal to the maximum is taken.
TEST_F(PerfPageTest, LimitEntriesRefuseNegativeSpeedsAndCrossedRows) {
  // CLB 210/.500 - 340/.780, CRZ 230/.600 - 320/.820, DES 200/.550 - 330/.800.
  const double ias[6] = {210, 340, 230, 320, 200, 330};
  const std::array<double, 6> mach = {0.5, 0.78, 0.6, 0.82, 0.55, 0.8};
  auto limits = [] {
    const model::State& m = M();
    return std::array<double, 12>{m.ClimbIasMin,    m.ClimbIasMax,    m.CruiseIasMin,     m.CruiseIasMax,
                                  m.DescentIasMin,  m.DescentIasMax,  m.MinSpeedTable[0], m.MinSpeedTable[1],
                                  m.MinSpeedTable[2], m.MinSpeedTable[3], m.MinSpeedTable[4], m.MinSpeedTable[5]};
  };
  struct Case {
    int key;
    const char* typed;
    const char* shown;  // null: refused
  } cases[] = {
      {kL2, "-50/.5", nullptr},     // climb minimum, read with its decimals
      {kR3, "-50/.5", nullptr},     // cruise maximum, read as a whole number
      {kL4, "-25/.5", nullptr},     {kL3, "250/.-50", nullptr},  // a negative Mach
      {kL2, "250/.-5", nullptr},    {kR4, "300/.-7", nullptr},
      {kL2, "400/.5", nullptr},     // CLB min 400 against a max of 340
      {kL2, "341/.5", nullptr},     {kR2, "209/.78", nullptr},   {kL3, "321/.6", nullptr},
      {kR3, "229/.82", nullptr},    {kL4, "331/.55", nullptr},   {kR4, "199/.8", nullptr},
      {kL4, "250/.801", nullptr},   {kR2, "300/.499", nullptr},  {kL3, "250/.821", nullptr},
      {kR4, "300/.549", nullptr},
      {kL2, "340/.78", "340 /.780"}, {kR2, "210/.5", "210 / .500"}, {kL3, "320/.82", "320 /.820"},
      {kR3, "230/.6", "230 / .600"}, {kL4, "330/.8", "330 /.800"},  {kR4, "200/.55", "200 / .550"},
      {kL2, "001/.001", "  1 /.  1"}, {kR3, "999/.999", "999 / .999"},
  };
  auto set_limits = [&] {
    model::State& m = M();
    m.ClimbIasMin = ias[0], m.ClimbIasMax = ias[1], m.CruiseIasMin = ias[2];
    m.CruiseIasMax = ias[3], m.DescentIasMin = ias[4], m.DescentIasMax = ias[5];
    m.MinSpeedTable = mach;
  };
  M().FmsSubPageTable.PerfInitSubPage = 2;
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.typed) + " on key " + std::to_string(c.key));
    set_limits();
    const auto before = limits();
    const EntryCase entry[] = {{c.key, c.typed, c.shown}};
    ExpectEntries(kPagePerfInit, entry);
    if (c.shown == nullptr) {
      EXPECT_EQ(limits(), before);
      EXPECT_NE(M().FmsScratchpad.str(), "");  // the text stays to be mended
    }
  }
  // Without an aircraft file the Machs are 0: no Mach limit stands in the way.
  set_limits();
  M().MinSpeedTable = {};
  ExpectEntries(kPagePerfInit, std::array<EntryCase, 2>{{{kL2, "250/.9", "250 /.900"}, {kL2, "350/.9", nullptr}}});
  // Raising a row above its maximum goes maximum first.
  set_limits();
  ExpectEntries(kPagePerfInit, std::array<EntryCase, 3>{
                                   {{kL3, "400/.85", nullptr}, {kR3, "450/.9", "450 / .900"}, {kL3, "400/.85", "400 /.850"}}});
}

// The pages drawn on the screen element's design size, 284 x 233: each
// text where its page puts it on the logical 282 x 245 screen. No route:
// ROUTE> offered, the landing pair and the waypoint field dashed.
TEST_F(PerfPageTest, EveryPageAtTheDesignSize) {
  struct Placed {
    int page;
    int sub;
    const char* text;
    float x, y, px;
  };
  const Placed cases[] = {
      {kPagePerfInit, 2, "PERF  LIMITS", 63, 0, 18},
      {kPagePerfInit, 2, "  T I M E    E R R O R    T O L E R A N C E", 0, 22, 12},
      {kPagePerfInit, 2, "RTA >", 205, 198, 18},
      {kPageTakeoffRef, 1, "TAKEOFF  REF", 63, 0, 18},
      {kPageTakeoffRef, 1, "1 / 1", 220, 3, 12},
      {kPageTakeoffRef, 1, "ROUTE>", 200, 133, 18},
      {kPageApproachRef, 1, "APPROACH REF", 63, 0, 18},
      {kPageApproachRef, 1, "V R E F", 230, 22, 12},
      {kPageApproachRef, 1, "150 K T", 223, 38, 12},
      {kPageApproachRef, 1, "/", 235, 138, 12},
      {kPageEconClimb, 1, "ECON  CLB", 63, 0, 18},
      {kPageEconClimb, 1, "1 / 1", 220, 5, 12},
      {kPageEconClimb, 1, "< ERASE", 0, 198, 18},
      {kPageEconCruise, 1, "ECON  CRZ", 63, 0, 18},
      {kPageEconCruise, 1, "1 / 1", 230, 0, 12},
      {kPageEconCruise, 1, "045\xC2\xB0 /   7", 180, 99, 18},
      {kPageEconDescent, 1, "ECON  PATH  DES", 63, 0, 18},
      {kPageEconDescent, 1, "SPEED >", 190, 165, 18},
      {kPageEconDescent, 1, "- - - - - - / - - - - - -", 160, 99, 12},
      {kPageDescentForecasts, 1, "DES  FORECASTS", 63, 0, 18},
      {kPageDescentForecasts, 1, "1 / 1", 230, 0, 12},
  };
  G().WindSpeed = 7;
  G().WindDirectionMagnetic = 45;
  for (const Placed& c : cases) {
    SCOPED_TRACE(std::to_string(c.page) + " " + c.text);
    F().RouteState = c.page == kPageTakeoffRef ? 0 : 4;
    fms_state.FmsPage = c.page;
    M().FmsSubPageTable.PerfInitSubPage = c.sub;
    DrawFrame(284, 233).ExpectText(c.text, c.x, c.y, c.px);
  }
}

// ---- TAKEOFF REF --------------------------------------------------------------

TEST_F(PerfPageTest, TakeoffEntries) {
  const EntryCase cases[] = {
      {kL1, "5", "5\xC2\xB0"},   {kL1, "10", "10\xC2\xB0"}, {kL1, "2", nullptr},   {kL1, "05", nullptr},
      {kL1, "60", nullptr},  {kR1, "249", "249"},   {kR1, "250", nullptr}, {kR2, "0", nullptr},
      {kR2, "-5", nullptr},  {kR3, "269", "269"},   {kR3, "270", nullptr},
  };
  ExpectEntries(kPageTakeoffRef, cases);
  M().TOFLAPSRANGE = ",1,5,";
  Press(kL1, "10");
  EXPECT_EQ(M().PanelMessage, "INVALID ENTRY");
  Press(kL1, "1");
  EXPECT_EQ(M().TOFLAPS, 1);
}

TEST_F(PerfPageTest, TakeoffStatusAndPrompts) {
  fms_state.FmsPage = kPageTakeoffRef;
  Frame f = DrawFrame();
  EXPECT_TRUE(f.Find("P R E     F L T   S T A T U S"));
  f.ExpectText("ROUTE>", 200, 133);
  f.ExpectText("<PERF  INIT", 0, 167);
  f.ExpectText("DEPARTURE>", 157, 167);
  f.ExpectText("- - K   N 1", 12, 55, 12);
  // An empty press on a field does nothing; R5 without an origin neither.
  Press(kL1);
  Press(kR5);
  EXPECT_EQ(fms_state.FmsPage, kPageTakeoffRef);
  Press(kR4);
  EXPECT_EQ(fms_state.FmsPage, kPageRoute);
  EXPECT_EQ(M().FmsSubPageTable.RteSubPage, 1);

  F().RouteState = 3;
  M().ReserveFuel = 3000;
  M().CruiseAlt = 31000;
  M().RouteDepartureRunway = "16L";
  fms_state.FmsPage = kPageTakeoffRef;
  f = DrawFrame();
  EXPECT_TRUE(f.Find("P R E     F L T   C O M P L E T E"));
  EXPECT_FALSE(f.Find("<PERF  INIT") || f.Find("DEPARTURE>") || f.Find("ROUTE>"));
  // Hidden prompts keep their conditions: no route is missing, so R4 stays.
  Press(kR4);
  Press(kL5);
  EXPECT_EQ(fms_state.FmsPage, kPageTakeoffRef);
  M().CruiseAlt = 0;
  Press(kL5);
  EXPECT_EQ(fms_state.FmsPage, kPagePerfInit);
}

// ---- APPROACH REF -------------------------------------------------------------

TEST_F(PerfPageTest, ApproachSpeedsAndTheLandingPair) {
  fms_state.FmsPage = kPageApproachRef;
  Press(kR1);
  EXPECT_EQ(M().FmsScratchpad.str(), "150");
  PressLineKey(kR4);
  DrawFrame();
  EXPECT_EQ(M().PanelMessage, "");  // "150" has no "/"
  const EntryCase cases[] = {
      {kR4, "15/150", "15\xC2\xB0/150"}, {kR4, "40/135", "40\xC2\xB0/135"}, {kR4, "15/145", nullptr},
      {kR4, "20/150", nullptr},      {kR2, "0", "  0 K T"},          {kR2, "00", nullptr},
      {kR2, "ABC", nullptr},         {kR2, "1000", nullptr},          {kR1, "155", "155 K T"},
      {kR4, "15/150", nullptr},      {kR4, "15/155", "15\xC2\xB0/155"},
  };
  ExpectEntries(kPageApproachRef, cases);
  Press(kR3, "-5");  // ignored, no message
  EXPECT_EQ(M().PanelMessage, "");
  EXPECT_EQ(M().FmsScratchpad.str(), "-5");
  Press(kR4, "5/130");  // slash at index 1: ignored
  EXPECT_EQ(M().PanelMessage, "");
}

// ---- ECON pages -------------------------------------------------------------------

TEST_F(PerfPageTest, EconEntriesAtTheirLimits) {
  const EntryCase cases[] = {
      {kL1, "FL", nullptr},          {kL1, "0", nullptr},           {kL1, "-5", nullptr},
      {kL1, "99999", nullptr},       {kL1, "FL350", "FL350"},       {kL1, "99998", "FL999"},
      {kL2, "40", nullptr},          {kL2, "501", nullptr},         {kL2, "50", " 50 / 0.00"},
      {kL2, "500/4", "500 / 4.00"},  {kL2, "/4.1", nullptr},        {kL2, "250/", "250 / 0.00"},
      {kL3, "25/10000", nullptr},    {kL3, "250/999", nullptr},     {kL3, "250/10000", "250 / 10000"},
      {kL3, "250/1E99", nullptr},
  };
  ExpectEntries(kPageEconClimb, cases);
  EXPECT_EQ(M().CruiseAlt, 99998);
  // An empty scratchpad does nothing on every entry.
  Press(kL1);
  EXPECT_EQ(M().PanelMessage, "");
  const EntryCase cruise[] = {{kL2, "49", nullptr}, {kL2, "/4.01", nullptr}, {kL2, "50/4", " 50 / 4.00"}};
  ExpectEntries(kPageEconCruise, cruise);
  const EntryCase descent[] = {{kL1, "FL200", nullptr}, {kL2, "280/.78", "280 / 0.78"},
                               {kL3, "240/10000", "240 / 10000"}};
  M().PanelMessage.clear();
  fms_state.FmsPage = kPageEconDescent;
  Press(kL1, "FL200");
  EXPECT_EQ(M().PanelMessage, "");  // L1 takes no entry
  ExpectEntries(kPageEconDescent, std::span(descent).subspan(1));
}

// The aircraft on the meridian 122 W: 0.5 degree north is 30 NM.
class EconClimbTest : public PerfPageTest {
 protected:
  void SetUp() override {
    PerfPageTest::SetUp();
    ExecutedRoute();
    fms_state.FmsPage = kPageEconClimb;
    G().PlaneLatitude = 47.0;
    G().PlaneLongitude = -122.0;
    G().GroundSpeedKnots = 300;
    G().ZuluHour = 14;
    G().ZuluMinute = 57;
    G().ClockSecond = 30;
    G().TocPassed = 0;
    F().ActiveWaypointIndex = 1;
    Constraint(1, 47.5, 12000);
    G().TocLatitude = 48.01;
    G().TocLongitude = -122.0;
    G().ClimbSideDistance = 60.6;  // along the path, as the profile measures it
  }
  // The route on north past the constraint: no corner at it, whose cut
  // the path flown has (docs/guidance.md) and the page only shows.
  void Constraint(int index, double lat, double alt) {
    model::FlightPlanWaypoint& w = F().ActiveFlightPlan[index];
    w.ident = "CSTR";
    w.latitude = lat;
    w.longitude = -122.0;
    w.altitude_constraint = alt;
    model::FlightPlanWaypoint& on = F().ActiveFlightPlan[index + 1];
    on.latitude = lat + 1.0;
    on.longitude = -122.0;
    G().NextConstraintIndex = index;
    flightplan::ActiveRouteChanged();
  }
};

TEST_F(EconClimbTest, ConstraintBeforeTheTopOfClimbThenTheTopOfClimb) {
  Frame f = DrawFrame();
  f.ExpectText("A T    CSTR", 200, 22, 12);
  f.ExpectText("12000.00", 200, 33);
  // Along the path LNAV flies, 30 NM: 6 minutes carry into 15h.
  f.ExpectText("1503.5Z/30 NM", 272 - 9 * 13, 66);
  // Beyond the top of climb: the top of climb's lines.
  Constraint(1, 48.1, 12000);
  f = DrawFrame();
  f.ExpectText("T O   T / C", 200, 55, 12);
  // 14:57:30 and 12.12 minutes: 15:09.62.
  f.ExpectText("1509.6Z / 60.6", 272 - 9 * 14, 66);
  M().DispETALocalTime = 1;
  G().LocalClockHour = 6;
  G().ClockMinute = 57;
  EXPECT_TRUE(DrawFrame().Find("0709.6L / 60.6"));
  // A stale constraint index, a slow aircraft, the climb done: no block.
  for (auto spoil : {+[] { G().NextConstraintIndex = 150; }, +[] { G().GroundSpeedKnots = 60; },
                     +[] { G().TocPassed = 1; }}) {
    SetUp();
    spoil();
    f = DrawFrame();
    EXPECT_FALSE(f.Find("T O   T / C") || f.Find("A T    CSTR"));
  }
}

// Half a minute on at 300 kt, 2.5 NM nearer: the same arrival (15:09.62),
// whichever second the clock shows; the tenth once followed the clock.
TEST_F(EconClimbTest, AnArrivalTimeHoldsStillAsTheClockRuns) {
  Constraint(1, 48.1, 12000);
  EXPECT_TRUE(DrawFrame().Find("1509.6Z / 60.6"));
  G().ZuluMinute = 58;
  G().ClockSecond = 0;
  G().ClimbSideDistance = 58.1;
  EXPECT_TRUE(DrawFrame().Find("1509.6Z / 58.1"));
}

// A top of climb left on the constraint's own waypoint, at the very
// distance the route gives it: the aircraft levels at the constraint there,
// and the page shows the constraint, as the navigator does, whichever of
// the two equal distances comes out a hair shorter; a top of climb a
// tenth of a mile short of it is still the top of climb.
TEST_F(EconClimbTest, TopOfClimbOnTheConstraintsWaypointIsTheConstraint) {
  Constraint(1, 48.01, 12000);
  const double to_constraint = guidance::RouteAhead().To(1);
  ASSERT_NEAR(to_constraint, 60.6, 0.1);
  struct Case {
    double to_toc;
    bool constraint;
  } cases[] = {{to_constraint, true}, {to_constraint + 0.1, true}, {to_constraint - 0.1, false}};
  for (const Case& c : cases) {
    G().ClimbSideDistance = c.to_toc;
    Frame f = DrawFrame();
    EXPECT_EQ(f.Find("A T    CSTR"), c.constraint) << c.to_toc;
    EXPECT_EQ(f.Find("T O   T / C"), !c.constraint) << c.to_toc;
  }
}

TEST_F(PerfPageTest, CruisePageWindAndPauseAtTod) {
  fms_state.FmsPage = kPageEconCruise;
  G().WindSpeed = 7;
  G().WindDirectionMagnetic = 45;
  Frame f = DrawFrame();
  f.ExpectText("045\xC2\xB0 /   7", 180, 99);
  // Its ">" ends where the ON prompt's does, on the screen.
  float x = 0.0f, y = 0.0f;
  ASSERT_TRUE(f.Find("Pause at TOD (OFF)  >", &x, &y));
  EXPECT_LT(x, 95.0f);
  EXPECT_EQ(y, 198.0f);
  ExpectLegible(f);
  f.ExpectText("< LRC", 0, 198);
  G().PauseAtTodDone = 1;
  Press(kR6);
  EXPECT_EQ(M().PauseAtTod, 1);
  EXPECT_EQ(G().PauseAtTodDone, 0);
  EXPECT_TRUE(DrawFrame().Find("Pause at TOD (ON) >"));
  Press(kR6);
  EXPECT_EQ(M().PauseAtTod, 0);
  M().ArmPauseAtTod = 0;
  G().WindSpeed = 0;
  f = Press(kR6);
  EXPECT_EQ(M().PauseAtTod, 0);
  EXPECT_FALSE(f.Find("Pause at TOD (OFF)  >"));
  EXPECT_TRUE(f.Find("---\xC2\xB0 / ---"));
}

class PathDescentTest : public EconClimbTest {
 protected:
  void SetUp() override {
    EconClimbTest::SetUp();
    fms_state.FmsPage = kPageEconDescent;
    G().TocPassed = 1;
    G().TodPassed = 1;
    G().DistanceSinceTod = 30;
    G().DistanceTodToConstraint = 50;
    G().VnavPathAltitude = 10000;
    G().VerticalSpeedFpm = -1500;
    G().VnavRequiredVerticalSpeed = -1800;
  }
};

TEST_F(PathDescentTest, DeviationIsSteppedInDescentOnly) {
  struct Case {
    double above;  // feet above the path
    int tod_passed;
    const char* shown;
  };
  for (Case c : {Case{1049, 1, " 1000 HI"}, Case{1000, 1, " 1000 HI"}, Case{199, 1, "  195 HI"},
                 Case{-207, 1, "  200 LO"}, Case{0, 1, "----  --"},
                 // Before the top of descent there is no path: once "1049 HI".
                 Case{1049, 0, "----  --"}, Case{-207, 0, "----  --"}}) {
    SCOPED_TRACE(c.shown);
    G().AircraftAltitude = 10000 + c.above;
    G().TodPassed = c.tod_passed;
    Frame f = DrawFrame();
    f.ExpectText(c.shown, 5, 133);
    int at_deviation = 0;
    for (const auto& t : f.rec.Texts()) at_deviation += t.y == 133 && t.x == 5;
    EXPECT_EQ(at_deviation, 1);
  }
}

// The descent is flown at the descent speed: no Mach unless one is entered.
TEST_F(PathDescentTest, TargetMachOnlyAsEntered) {
  M().DescentSpeed = 280;
  DrawFrame().ExpectText("280 / -.--", 5, 66);
  Press(kL2, "/.74").ExpectText("280 / 0.74", 5, 66);
}

// Where the speed of a phase would ask for more Mach at the plan's level
// than the aircraft's tables give, the pages show the Mach the tables give
// (true airspeed from 300 kt at sea level to 450 kt at 40000 ft: M0.74 at
// -30 C); below the crossover the climb's and descent's as before.
TEST_F(PerfPageTest, TheEconPagesShowTheMachTheTablesHold) {
  for (auto* table : {&M().ClimbPerformanceTable, &M().CruisePerformanceTable, &M().DescentPerformanceTable}) {
    (*table)[1].tas = 300.0;
    (*table)[2].altitude = 40000.0;
    (*table)[2].tas = 450.0;
  }
  M().ClimbPerformanceCount = M().CruisePerformanceCount = M().DescentPerformanceCount = 2;
  M().ClimbIas = M().DescentSpeed = 280;
  M().CruiseSpeed = 290;
  struct Case {
    int page;
    std::int32_t level;
    double cruise_mach;
    const char* shown;
  };
  const Case cases[] = {
      // A cruise Mach is shown as it is flown: the plan works its own out
      // no higher than the tables (docs/vertical-plan.md), and the pilot's
      // is the pilot's.
      {kPageEconClimb, 40000, 0.0, "280 / 0.74"},  {kPageEconCruise, 40000, 0.88, "290 / 0.88"},
      {kPageEconDescent, 40000, 0.0, "280 / 0.74"}, {kPageEconClimb, 20000, 0.0, "280 / 0.00"},
      {kPageEconCruise, 20000, 0.60, "290 / 0.60"}, {kPageEconDescent, 20000, 0.0, "280 / -.--"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.shown);
    fms_state.FmsPage = c.page;
    M().CruiseAlt = c.level;
    M().CruiseMach = c.cruise_mach;
    DrawFrame().ExpectText(c.shown, 5, 66);
  }
}

TEST_F(PathDescentTest, DescentAndCruiseLinesAndThePathValues) {
  Frame f = DrawFrame();
  f.ExpectText("T O    CSTR", 190, 55, 12);
  f.ExpectText("1503.5Z/30 NM", 265 - 9 * 13, 66);
  f.ExpectText("3.0   3.6     -1800", 130, 133);  // 5 NM a minute
  f.ExpectText("  CSTR/12000", 265 - 9 * 12, 99);
  // Climbing at 200 ft/min hides the path values.
  G().VerticalSpeedFpm = 200;
  EXPECT_FALSE(DrawFrame().Find("-1800"));
  // In cruise the line counts to the top of descent.
  G().TodPassed = 0;
  G().NextConstraintDistance = 60;
  f = DrawFrame();
  f.ExpectText("T O   T / D", 200, 55, 12);
  f.ExpectText("1509.5Z/60 NM", 265 - 9 * 13, 66);
  // No active waypoint: the dashed field, no E/D altitude.
  F().ActiveWaypointIndex = 999;
  f = DrawFrame();
  f.ExpectText("- - - - - - / - - - - - -", 160, 99, 12);
  EXPECT_FALSE(f.Find("A T    CSTR"));
}

TEST_F(PerfPageTest, DescentForecastsIsAFixedForm) {
  fms_state.FmsPage = kPageDescentForecasts;
  M().FmsScratchpad = "123";
  for (int key : {kL1, kR1, kL6, kR6}) PressLineKey(key), DrawFrame();
  fms_state.FmsNextPageKey = 1;
  Frame f = DrawFrame();
  EXPECT_EQ(fms_state.FmsPage, kPageDescentForecasts);
  f.ExpectText("DES  FORECASTS", 63, 0);
  f.ExpectText("1 / 1", 230, 0, 12);
  EXPECT_FALSE(f.Find("123"));
  EXPECT_EQ(M().FmsScratchpad.str(), "123");
  if (const char* dir = std::getenv("OVI_CDU_PNG_DIR")) {
    gfx::DeviceContext dc(284, 233);
    DrawFmsCdu(fms_state.FmsDisplay, &dc, 284, 233);
    for (std::uint32_t& p : dc.pixels) p |= 0xFF000000u;  // over the black screen
    EXPECT_TRUE(gfx::WritePng(dc, std::string(dir) + "/38-des-forecasts.png"));
  }
}

}  // namespace
}  // namespace ovi::fms::test

namespace ovi::fms::test {
namespace {

// Every page filled as far as it goes, in MOD, with the longest texts.
TEST_F(PathDescentTest, EveryPerformancePageIsLegible) {
  M().CruiseAlt = 35000;
  M().CostIndex = 200;
  M().ReserveFuel = 5000;
  G().GrossWeight = 120500;
  fms_state.CruiseWindDirection = 270;
  fms_state.CruiseWindSpeed = 145;
  M().TOFLAPS = 25;
  M().V1 = M().VR = M().V2 = 249;
  M().EngThrust = 27;
  M().LDGFLAPS = 40;
  M().VREF = 135;
  M().PauseAtTod = 1;
  G().WindSpeed = 100;
  G().AircraftAltitude = 11049;
  F().RouteState = 4;
  for (int page : {kPagePerfInit, kPageTakeoffRef, kPageApproachRef, kPageEconClimb, kPageEconCruise,
                   kPageEconDescent, kPageDescentForecasts}) {
    for (int sub : {1, 2}) {
      SCOPED_TRACE(page * 10 + sub);
      M().FmsSubPageTable.PerfInitSubPage = sub;
      G().TocPassed = page == kPageEconClimb ? 0 : 1;
      fms_state.FmsPage = page;
      M().FmsScratchpad = "INVALID ENTRY";
      ExpectLegible(DrawFrame());
    }
  }
}

}  // namespace
}  // namespace ovi::fms::test
