// The MCU screen: the repaint rule (whole, the bearing band, or nothing),
// dark displays, the keyboard band, the load's pass-through frames, pages
// without a routine, and the status page's lines.
#include "src/instruments/gnsxls/mcu/kit.h"
#include "src/navdb/state.h"
#include "tests/instruments/gnsxls/mcu_support.h"

namespace ovi::mcu::test {
namespace {

using McuScreenTest = McuTest;

// The filled rectangles as {x, y, w, h} in canvas units.
std::vector<std::vector<int>> Fills(const Frame& f) {
  std::vector<std::vector<int>> out;
  for (const gfx::RecordedOp* op : f.rec.Find(gfx::OpKind::Rectangle)) {
    const gfx::PointF &a = op->points[0], &c = op->points[2];
    if (op->filled)
      out.push_back({static_cast<int>(std::lround(a.X / f.sx)), static_cast<int>(std::lround(a.Y / f.sy)),
                     static_cast<int>(std::lround((c.X - a.X) / f.sx)), static_cast<int>(std::lround((c.Y - a.Y) / f.sy))});
  }
  return out;
}

std::vector<int> Events() {
  return {M().McuUpPressed, M().McuDownPressed, M().McuLineSelectKey, S().McuPageEntered, S().McuRedrawRequest,
          S().McuStatusRedraw};
}

TEST_F(McuScreenTest, DarkDisplaysClearAndKeepEveryEventForTheFirstLitFrame) {
  MakeLibrary(5);
  M().McuPage = kPageFlightPlan;
  M().McuDownPressed = S().McuPageEntered = S().McuRedrawRequest = S().McuStatusRedraw = 1;
  M().McuLineSelectKey = kRockerUp;
  G().DisplayPower = 0;
  Frame dark = DrawFrame();
  ASSERT_EQ(dark.rec.Size(), 1u);
  EXPECT_EQ(dark.rec.Ops()[0].kind, gfx::OpKind::Clear);
  EXPECT_EQ(dark.rec.Ops()[0].color, 0x00000000u);
  EXPECT_EQ(Events(), (std::vector<int>{0, 1, kRockerUp, 1, 1, 1}));
  G().DisplayPower = 1;
  DrawFrame();
  EXPECT_EQ(F().RequestedFlightPlanFile, "P2.RTE");  // DOWN, then ENTER acted
  EXPECT_EQ(Events(), (std::vector<int>{0, 0, 0, 0, 0, 1}));
}

// Whole repaints come from the cycle at 0 or a request, on the status page
// also from a value it shows having changed; the bearing band alone from
// McuStatusRedraw on the status page. Otherwise nothing is drawn: the
// surface keeps its picture.
TEST_F(McuScreenTest, TheRepaintRule) {
  enum Drawn { kNothing, kBand, kWhole };
  const int cases[][6] = {  // page, cycle, request, band, track changed, drawn
      {kPageStatus, 5, 0, 0, 0, kNothing},     {kPageFlightPlan, 5, 0, 0, 0, kNothing},
      {kPageFlightPlan, 0, 0, 0, 0, kWhole},   {kPageAltitude, 91, 1, 0, 0, kWhole},
      {kPageStatus, 5, 0, 1, 0, kBand},        {kPageFlightPlan, 5, 0, 1, 0, kNothing},
      {kPageStatus, 5, 0, 0, 1, kWhole},       {kPageFlightPlan, 5, 0, 0, 1, kNothing},
  };
  for (const auto& c : cases) {
    ResetModuleState();
    MakeLibrary(2);
    M().McuPage = c[0];
    G().DisplayRefreshCounter = c[1];
    S().McuRedrawRequest = c[2];
    S().McuStatusRedraw = c[3];
    G().DesiredTrack = c[4] == 1 ? 181.0 : 0.0;
    Frame f = DrawFrame();
    const char* title = c[0] == kPageStatus ? "ETE:  00:00 (00:00)" : c[0] == kPageAltitude ? "ALT/FL:" : "FPLN:";
    SCOPED_TRACE(::testing::Message() << "page " << c[0] << " case " << (&c - cases));
    const std::vector<std::vector<int>> fills[] = {{}, {{0, 24, 250, 14}}, {{0, 0, 250, 85}}};
    EXPECT_EQ(Fills(f), fills[c[5]]);
    EXPECT_EQ(f.Empty(), c[5] == kNothing);
    EXPECT_EQ(f.Texts() == Strings{"BRG:  000\xC2\xB0       [00:00:00]"}, c[5] == kBand);
    EXPECT_EQ(f.Shows(title), c[5] == kWhole);
    EXPECT_EQ(S().McuStatusRedraw, c[5] == kBand ? 0 : c[3]);
    EXPECT_EQ(S().McuRedrawRequest, 0);
  }
}

TEST_F(McuScreenTest, TheKeyboardBandWhileThePcKeyboardTypes) {
  M().McuPage = kPageDirectTo;
  S().McuKeyboardEntryActive = 1;
  Md().McuEntryText = "SEA";
  Frame f = Repaint();
  const std::vector<const gfx::RecordedOp*> band = f.rec.Find(gfx::OpKind::Polygon);
  ASSERT_EQ(band.size(), 2u);  // filled, then outlined
  EXPECT_TRUE(band[0]->filled && !band[1]->filled);
  for (const gfx::RecordedOp* op : band) {
    EXPECT_EQ(op->color, kKeyboardBand);
    std::vector<int> corners;
    for (const gfx::PointF& p : op->points)
      corners.insert(corners.end(), {static_cast<int>(std::lround(p.X / f.sx)), static_cast<int>(std::lround(p.Y / f.sy))});
    EXPECT_EQ(corners, (std::vector<int>{0, 61, 236, 61, 236, 74, 0, 74}));
  }
  f.Expect("> SEA", 0, 61, kGreen);
  S().McuKeyboardEntryActive = 0;
  EXPECT_TRUE(Repaint().rec.Find(gfx::OpKind::Polygon).empty());
  // A page number without a page: the black alone, its events ended.
  for (std::int32_t page : {0, 3, 4, 8, 18, 20, -1, 999}) {
    M().McuPage = page;
    M().McuUpPressed = S().McuPageEntered = 1;
    M().McuLineSelectKey = kRockerLeft;
    Frame none = Repaint();
    EXPECT_TRUE(none.Texts().empty() && Fills(none).size() == 1) << page;
    EXPECT_EQ(Events(), (std::vector<int>{0, 0, 0, 0, 0, 0})) << page;
  }
}

// A load just served: that frame takes the APT page's ENTER for the
// airport the loader left, drawing nothing (its repaint was decided
// before the load was seen); the next frame repaints the status page.
TEST_F(McuScreenTest, ALoadPassesThroughTheAirportPageToTheStatusPage) {
  flightplan::test::MakeActive({"KSEA", "FOURT", "KPDX"});
  F().ActiveWaypointIndex = 1;
  navdb::navdb_state.AirportCount = 1;
  navdb::navdb_state.AirportTable[1].ident = "KSEA";
  M().McuPage = kPageFlightPlan;
  F().McuFlightPlanLoaded = 1;
  Md().McuEntryText = "KSEA";
  S().McuPageEntered = 1;
  EXPECT_TRUE(DrawFrame().Empty());
  EXPECT_EQ(Md().McuEntryText, "");  // APT's ENTER took it (no file here to read its details)
  EXPECT_EQ((std::vector<int>{M().McuPage, F().McuFlightPlanLoaded, S().McuRedrawRequest, S().McuPageEntered}),
            (std::vector<int>{kPageStatus, 0, 1, 0}));
  DrawFrame().Expect("TO:   FOURT          1/2", 0, 0, kAmber);
  EXPECT_EQ(S().McuRedrawRequest, 0);
  // With the rocker's editor on, the pass-through frame shows its prompt alone.
  M().McuPage = kPageFlightPlan;
  M().McuEntryCursor = 3;
  F().McuFlightPlanLoaded = 1;
  Md().McuEntryText = "KSEA";
  EXPECT_EQ(DrawFrame().Texts(), Strings{"> "});
  for (auto [w, h] : {std::pair{239, 78}, std::pair{840, 318}}) {  // the canvas scales to the element
    S().McuRedrawRequest = 1;
    DrawFrame(w, h).Expect("ETE:  00:00 (00:00)", 0, 36, kGreen);
  }
}

// ---- the status page --------------------------------------------------------

// KSEA FOURT OLM(VOR 113.40) KPDX; KPDX's elevation 31 in the database,
// another airport's details loaded last.
class McuStatusTest : public McuTest {
 protected:
  void SetUp() override {
    McuTest::SetUp();
    flightplan::test::MakeActive({"KSEA", "FOURT", "OLM", "KPDX"});
    F().ActiveFlightPlan[2].type = "VOR";
    F().ActiveFlightPlan[2].frequency_text = "113.40";
    F().ActiveFlightPlan[3].type = "APT";
    navdb::State& nav = navdb::navdb_state;
    nav.AirportCount = 1;
    nav.AirportTable[1].ident = "KPDX";
    nav.AirportTable[1].airport_text = "31";
    nav.AirportDetailRecord.ident = "KBFI";
    nav.AirportDetailsElevationText = "21";
    F().ActiveWaypointIndex = 1;
  }
};

TEST_F(McuStatusTest, TheToLineInItsThreeFormsWithTheFlyoverMark) {
  struct Case {
    int active, flyover;
    const char* to;
    std::vector<float> mark;  // where "(FO)" stands; none when empty
  } cases[] = {
      {1, 0, "TO:   FOURT          1/3", {}},   {1, 1, "TO:   FOURT          1/3", {96, 0}},  // 56 + 8 x 5
      {2, 0, "TO:   OLM    113.40  2/3", {}},   {2, 1, "TO:   OLM    113.40  2/3", {200, 12}},
      {3, 1, "TO:   KPDX  31     3/3", {}},     {999, 0, "TO:                  0/3", {}},
  };
  for (const Case& c : cases) {
    F().ActiveWaypointIndex = c.active;
    for (int i = 0; i <= 3; ++i) F().ActiveFlightPlan[i].flyover = c.flyover;
    Frame f = Repaint();
    f.Expect(c.to, 0, 0, kAmber);
    if (!c.mark.empty()) f.Expect("(FO)", c.mark[0], c.mark[1], kMagenta);
    EXPECT_EQ(f.Shows("(FO)"), !c.mark.empty()) << c.to;
  }
  F().ActiveWaypointIndex = 2;  // a navaid without its frequency takes the general form
  F().ActiveFlightPlan[2].frequency_text.clear();
  Repaint().Expect("TO:   OLM            2/3", 0, 0, kAmber);
  F().ActiveFlightPlanLastIndex = -1;  // an empty route counts its end as 0
  Repaint().Expect("TO:                  0/0", 0, 0, kAmber);
}

TEST_F(McuStatusTest, TheStatusLinesAndWhenEachIsLeftOut) {
  G().ActiveWaypointDistance = 5.04;
  G().BearingToActiveWaypoint = 7.4;
  G().ElapsedFlightSeconds = 3725.9;  // 1 h 02 min 05 s
  G().ActiveWaypointEteHours = 1.0;
  G().EteMinutes = 5.9;
  G().RealEteMinutes = 59.99;
  G().DestinationDistance = 123.4;
  G().DirectDistanceToLastWaypoint = 98.6;
  G().DestinationCourse = 180.0;
  G().DestinationEteHours = 2.0;
  G().TodEteMinutes = 7.5;
  G().RealTodEteHours = 1.0;
  G().RealTodEteMinutes = 0.4;
  Frame f = Repaint();
  f.Expect("DIST: 5.0  NM", 0, 12, kGreen);
  f.Expect("BRG:  007\xC2\xB0       [01:02:05]", 0, 24, kGreen);
  f.Expect("ETE:  01:05 (00:59)", 0, 36, kGreen);
  // Along the route with LNAV on or off, as the time beside it.
  f.Expect("KPDX: 123/180\xC2\xB0 02:07(01:00)", 0, 48, kAmber);
  EXPECT_TRUE(f.TextsAt(62).empty());
  G().LnavEngaged = 1;
  Repaint().Expect("KPDX: 123/180\xC2\xB0 02:07(01:00)", 0, 48, kAmber);
  G().LnavEngaged = 0;
  F().ActiveWaypointIndex = 999;  // no distance, no destination, no elapsed time
  Frame none = Repaint();
  EXPECT_EQ(none.TextsAt(12).size() + none.TextsAt(48).size(), 0u);
  EXPECT_TRUE(none.Shows("BRG:  007\xC2\xB0       [00:00:00]"));
  F().ActiveWaypointIndex = 1;
  G().ElapsedFlightSeconds = -99.0;  // the log not started
  EXPECT_TRUE(Repaint().Shows("BRG:  007\xC2\xB0       [00:00:00]"));
}

// LNAV, VNAV, then HOLD at the first hold's waypoint (not while a change
// waits for EXEC) or, without a hold, the direct-to's forced turn.
TEST_F(McuStatusTest, TheModeLine) {
  struct Case {
    int lnav, vnav, hold_at, route_state, turn;
    double heading, bearing;
    Strings texts;
  } cases[] = {
      {0, 0, 0, 3, 0, 0, 0, {}},
      {1, 1, 0, 3, 0, 0, 0, {"LNAV(FOURT)", "VNAV"}},
      {1, 0, 2, 3, 0, 0, 0, {"LNAV(FOURT)", "HOLD(OLM) "}},
      {1, 0, 2, 4, 1, 10, 350, {"LNAV(FOURT)"}},
      {1, 0, 0, 3, 1, 10, 350, {"LNAV(FOURT)", "DCTTO( 20D)"}},    // left: 10 - 350 + 360
      {1, 0, 0, 3, 2, 200, 170, {"LNAV(FOURT)", "DCTTO( 10D)"}},   // right: 200 + 170 - 360
      {1, 0, 0, 3, 2, 100, 100, {"LNAV(FOURT)", "DCTTO(200D)"}},
      {0, 0, 0, 3, 1, 10, 350, {}},
  };
  for (const Case& c : cases) {
    G().LnavEngaged = c.lnav;
    G().VnavEngaged = c.vnav;
    F().HoldCount = c.hold_at > 0 ? 1 : 0;
    F().HoldTable[1].active_index = c.hold_at;
    F().RouteState = c.route_state;
    G().HoldTurnDirection = c.turn;
    G().AircraftHeading = c.heading;
    G().BearingToActiveWaypoint = c.bearing;
    Frame f = Repaint();
    EXPECT_EQ(f.TextsAt(62), c.texts) << &c - cases;
    if (c.lnav == 1) f.Expect("LNAV(FOURT)", 0, 62, kAmber);
    if (c.vnav == 1) f.Expect("VNAV", 105, 62, kAmber);
    if (c.texts.size() == 2 && c.vnav == 0) f.Expect(c.texts[1], 145, 62, kAmber);
  }
}

}  // namespace
}  // namespace ovi::mcu::test
