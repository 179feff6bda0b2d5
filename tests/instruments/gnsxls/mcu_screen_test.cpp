// The MCU screen: the repaint rule (whole, the bearing band, or nothing),
// dark displays, the keyboard band, the load's pass-through frames, pages
// without a routine, and the status page's lines.
#include "src/instruments/gnsxls/mcu/kit.h"
#include "src/navdb/state.h"
#include "tests/instruments/gnsxls/mcu_support.h"

namespace ovi::mcu::test {
namespace {

using McuScreenTest = McuTest;

const gfx::RecordedOp* FilledRectangle(const Frame& f) {
  for (const gfx::RecordedOp* op : f.rec.Find(gfx::OpKind::Rectangle))
    if (op->filled) return op;
  return nullptr;
}

TEST_F(McuScreenTest, DarkDisplaysClearTheSurfaceAndKeepEveryEventForTheFirstLitFrame) {
  MakeLibrary(5);
  M().McuPage = kPageFlightPlan;
  M().McuDownPressed = 1;
  M().McuLineSelectKey = kRockerUp;
  S().McuPageEntered = 1;
  S().McuRedrawRequest = 1;
  S().McuStatusRedraw = 1;
  G().DisplayPower = 0;
  Frame dark = DrawFrame();
  ASSERT_EQ(dark.rec.Size(), 1u);
  EXPECT_EQ(dark.rec.Ops()[0].kind, gfx::OpKind::Clear);
  EXPECT_EQ(dark.rec.Ops()[0].color, 0x00000000u);
  EXPECT_EQ(M().McuDownPressed, 1);
  EXPECT_EQ(M().McuLineSelectKey, kRockerUp);
  EXPECT_EQ(S().McuPageEntered, 1);
  EXPECT_EQ(S().McuRedrawRequest, 1);
  EXPECT_EQ(S().McuStatusRedraw, 1);

  G().DisplayPower = 1;
  Frame lit = DrawFrame();
  EXPECT_EQ(M().McuPlanCursorRow, 2);  // DOWN acted
  EXPECT_EQ(F().RequestedFlightPlanFile, "P2.RTE");  // then ENTER
  EXPECT_EQ(M().McuDownPressed, 0);
  EXPECT_EQ(M().McuLineSelectKey, 0);
  EXPECT_EQ(S().McuPageEntered, 0);
  EXPECT_EQ(S().McuRedrawRequest, 0);
}

// Whole repaints come from the cycle at 0 or a request; the status page
// also from a value it shows having changed; the bearing band alone from
// McuStatusRedraw on the status page. Otherwise nothing is drawn: the
// surface keeps its picture.
TEST_F(McuScreenTest, TheRepaintRule) {
  enum Drawn { kNothing, kBand, kWhole };
  struct Case {
    const char* what;
    std::int32_t page;
    std::int32_t counter, request, band;
    bool track_changed;
    Drawn drawn;
  } cases[] = {
      {"status, nothing asked", kPageStatus, 5, 0, 0, false, kNothing},
      {"FPLN, nothing asked", kPageFlightPlan, 5, 0, 0, false, kNothing},
      {"cycle at 0", kPageFlightPlan, 0, 0, 0, false, kWhole},
      {"a request", kPageAltitude, 91, 1, 0, false, kWhole},
      {"status, its band", kPageStatus, 5, 0, 1, false, kBand},
      {"FPLN ignores the band", kPageFlightPlan, 5, 0, 1, false, kNothing},
      {"status, a track changed", kPageStatus, 5, 0, 0, true, kWhole},
      {"FPLN ignores the track", kPageFlightPlan, 5, 0, 0, true, kNothing},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ResetModuleState();
    host.Bind();
    MakeLibrary(2);
    M().McuPage = c.page;
    G().DisplayRefreshCounter = c.counter;
    S().McuRedrawRequest = c.request;
    S().McuStatusRedraw = c.band;
    G().DesiredTrack = c.track_changed ? 181.0 : 0.0;
    Frame f = DrawFrame();
    const gfx::RecordedOp* fill = FilledRectangle(f);
    switch (c.drawn) {
      case kNothing:
        EXPECT_TRUE(f.Empty());
        break;
      case kBand:
        ASSERT_NE(fill, nullptr);
        EXPECT_NEAR(fill->points[0].Y / f.sy, 24.0, 0.01);
        EXPECT_NEAR((fill->points[2].Y - fill->points[0].Y) / f.sy, 14.0, 0.01);
        EXPECT_EQ(f.Texts(), Strings{"BRG:  000\xC2\xB0       [00:00:00]"});
        EXPECT_EQ(S().McuStatusRedraw, 0);
        break;
      case kWhole:
        ASSERT_NE(fill, nullptr);
        EXPECT_EQ(fill->color, kBlack);
        EXPECT_NEAR(fill->points[0].X / f.sx, 0.0, 0.01);
        EXPECT_NEAR((fill->points[2].X - fill->points[0].X) / f.sx, 250.0, 0.01);
        EXPECT_NEAR((fill->points[2].Y - fill->points[0].Y) / f.sy, 85.0, 0.01);
        EXPECT_TRUE(f.Shows(c.page == kPageStatus ? "ETE:  00:00 (00:00)" : c.page == kPageAltitude ? "ALT/FL:"
                                                                                                      : "FPLN:"));
        break;
    }
    EXPECT_EQ(S().McuRedrawRequest, 0);
  }
}

TEST_F(McuScreenTest, TheKeyboardBandOnWholeRepaintsWhileThePcKeyboardTypes) {
  M().McuPage = kPageDirectTo;
  S().McuKeyboardEntryActive = 1;
  Md().McuEntryText = "SEA";
  Frame f = Repaint();
  const std::vector<const gfx::RecordedOp*> band = f.rec.Find(gfx::OpKind::Polygon);
  ASSERT_EQ(band.size(), 2u);  // filled, then outlined
  EXPECT_TRUE(band[0]->filled);
  EXPECT_FALSE(band[1]->filled);
  for (const gfx::RecordedOp* op : band) {
    EXPECT_EQ(op->color, kKeyboardBand);
    std::vector<std::vector<int>> corners;
    for (const gfx::PointF& p : op->points)
      corners.push_back({static_cast<int>(std::lround(p.X / f.sx)), static_cast<int>(std::lround(p.Y / f.sy))});
    EXPECT_EQ(corners, (std::vector<std::vector<int>>{{0, 61}, {236, 61}, {236, 74}, {0, 74}}));
  }
  f.Expect("> SEA", 0, 61, kGreen);
  S().McuKeyboardEntryActive = 0;
  EXPECT_TRUE(Repaint().rec.Find(gfx::OpKind::Polygon).empty());
}

TEST_F(McuScreenTest, PagesWithoutARoutineDrawOnlyTheBlackAndEndTheirEvents) {
  for (std::int32_t page : {0, 3, 4, 8, 18, 20, -1, 999}) {
    M().McuPage = page;
    M().McuUpPressed = 1;
    M().McuLineSelectKey = kRockerLeft;
    S().McuPageEntered = 1;
    Frame f = Repaint();
    EXPECT_TRUE(f.Texts().empty()) << page;
    EXPECT_NE(FilledRectangle(f), nullptr) << page;
    EXPECT_EQ(M().McuUpPressed + M().McuLineSelectKey + S().McuPageEntered, 0) << page;
  }
}

// A load just served: that frame takes the APT page's ENTER for the
// airport the loader left (nothing drawn, the repaint of the frame having
// been decided before), and the next frame repaints the status page.
TEST_F(McuScreenTest, ALoadPassesThroughTheAirportPageToTheStatusPage) {
  flightplan::test::MakeActive({"KSEA", "FOURT", "KPDX"});
  F().ActiveWaypointIndex = 1;
  navdb::navdb_state.AirportCount = 1;
  navdb::navdb_state.AirportTable[1].ident = "KSEA";
  M().McuPage = kPageFlightPlan;
  F().McuFlightPlanLoaded = 1;
  Md().McuEntryText = "KSEA";
  S().McuPageEntered = 1;
  Frame through = DrawFrame();
  EXPECT_TRUE(through.Empty());
  EXPECT_EQ(Md().McuEntryText, "");  // APT's ENTER took it (the file is not there to read)
  EXPECT_EQ(M().McuPage, kPageStatus);
  EXPECT_EQ(F().McuFlightPlanLoaded, 0);
  EXPECT_EQ(S().McuRedrawRequest, 1);
  EXPECT_EQ(S().McuPageEntered, 0);

  Frame status = DrawFrame();
  status.Expect("TO:   FOURT          1/2", 0, 0, kAmber);
  EXPECT_EQ(S().McuRedrawRequest, 0);

  // With the rocker's editor on, the pass-through frame shows its prompt alone.
  M().McuPage = kPageFlightPlan;
  M().McuEntryCursor = 3;
  F().McuFlightPlanLoaded = 1;
  Md().McuEntryText = "KSEA";
  EXPECT_EQ(DrawFrame().Texts(), Strings{"> "});
}

TEST_F(McuScreenTest, TheCanvasScalesToTheElement) {
  for (auto [w, h] : {std::pair{420, 159}, std::pair{239, 78}, std::pair{840, 318}}) {
    S().McuRedrawRequest = 1;
    Frame f = DrawFrame(w, h);
    f.Expect("ETE:  00:00 (00:00)", 0, 36, kGreen);
    EXPECT_EQ(M().McuDisplay.width * 1000 + M().McuDisplay.height, w * 1000 + h);
  }
}

// ---- the status page ---------------------------------------------------

// KSEA FOURT OLM(VOR 113.40) KPDX; KPDX's elevation 31 in the database,
// another airport's details loaded last.
void StatusRoute() {
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
}

TEST_F(McuScreenTest, TheToLineInItsThreeFormsWithTheFlyoverMark) {
  StatusRoute();
  struct Case {
    int active;
    int flyover;
    const char* to;
    std::vector<float> mark;  // x, y of "(FO)"; empty: none
  } cases[] = {
      {1, 0, "TO:   FOURT          1/3", {}},
      {1, 1, "TO:   FOURT          1/3", {96, 0}},       // 56 + 8 x 5
      {2, 0, "TO:   OLM    113.40  2/3", {}},
      {2, 1, "TO:   OLM    113.40  2/3", {200, 12}},     // beside the distance
      {3, 0, "TO:   KPDX  31     3/3", {}},
      {3, 1, "TO:   KPDX  31     3/3", {}},              // the last waypoint's form has none
      {999, 0, "TO:                  0/3", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.to);
    F().ActiveWaypointIndex = c.active;
    for (int i = 0; i <= 3; ++i) F().ActiveFlightPlan[i].flyover = c.flyover;
    Frame f = Repaint();
    f.Expect(c.to, 0, 0, kAmber);
    if (c.mark.empty()) {
      EXPECT_FALSE(f.Shows("(FO)"));
    } else {
      f.Expect("(FO)", c.mark[0], c.mark[1], kMagenta);
    }
  }
  // A navaid without its frequency takes the general form.
  F().ActiveWaypointIndex = 2;
  F().ActiveFlightPlan[2].frequency_text.clear();
  Repaint().Expect("TO:   OLM            2/3", 0, 0, kAmber);
  // An empty route counts its end as 0.
  F().ActiveFlightPlanLastIndex = -1;
  Repaint().Expect("TO:                  0/0", 0, 0, kAmber);
}

TEST_F(McuScreenTest, TheStatusLinesAndWhenEachIsLeftOut) {
  StatusRoute();
  F().ActiveWaypointIndex = 1;
  G().ActiveWaypointDistance = 5.04;
  G().BearingToActiveWaypoint = 7.4;
  G().ElapsedFlightSeconds = 3725.9;  // 1 h 02 min 05 s
  G().ActiveWaypointEteHours = 1.0;
  G().EteMinutes = 5.9;
  G().RealEteHours = 0.0;
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
  f.Expect("KPDX:  99/180\xC2\xB0 02:07(01:00)", 0, 48, kAmber);  // direct distance without LNAV
  EXPECT_TRUE(f.TextsAt(62).empty());

  G().LnavEngaged = 1;
  Repaint().Expect("KPDX: 123/180\xC2\xB0 02:07(01:00)", 0, 48, kAmber);

  // Without an active waypoint: no distance, no destination, no elapsed time.
  F().ActiveWaypointIndex = 999;
  G().LnavEngaged = 0;
  Frame none = Repaint();
  EXPECT_FALSE(none.Shows("DIST: 5.0  NM"));
  EXPECT_TRUE(none.TextsAt(48).empty());
  EXPECT_TRUE(none.Shows("BRG:  007\xC2\xB0       [00:00:00]"));
  // The log not started.
  F().ActiveWaypointIndex = 1;
  G().ElapsedFlightSeconds = -99.0;
  EXPECT_TRUE(Repaint().Shows("BRG:  007\xC2\xB0       [00:00:00]"));
}

// LNAV, VNAV, then HOLD at the first hold's waypoint (not while a change
// waits for EXEC), or without a hold the direct-to's forced turn.
TEST_F(McuScreenTest, TheModeLine) {
  StatusRoute();
  F().ActiveWaypointIndex = 1;
  struct Case {
    const char* what;
    int lnav, vnav, hold_at, route_state, turn;
    double heading, bearing;
    Strings texts;
  } cases[] = {
      {"nothing", 0, 0, 0, 3, 0, 0, 0, {}},
      {"LNAV and VNAV", 1, 1, 0, 3, 0, 0, 0, {"LNAV(FOURT)", "VNAV"}},
      {"a hold at OLM", 1, 0, 2, 3, 0, 0, 0, {"LNAV(FOURT)", "HOLD(OLM) "}},
      {"a hold, EXEC waiting", 1, 0, 2, 4, 1, 10, 350, {"LNAV(FOURT)"}},
      {"left turn", 1, 0, 0, 3, 1, 10, 350, {"LNAV(FOURT)", "DCTTO( 20D)"}},
      {"right turn past 360", 1, 0, 0, 3, 2, 200, 170, {"LNAV(FOURT)", "DCTTO( 10D)"}},
      {"right turn", 1, 0, 0, 3, 2, 100, 100, {"LNAV(FOURT)", "DCTTO(200D)"}},
      {"a turn without LNAV", 0, 0, 0, 3, 1, 10, 350, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    G().LnavEngaged = c.lnav;
    G().VnavEngaged = c.vnav;
    F().HoldCount = c.hold_at > 0 ? 1 : 0;
    F().HoldTable[1].active_index = c.hold_at;
    F().RouteState = c.route_state;
    G().HoldTurnDirection = c.turn;
    G().AircraftHeading = c.heading;
    G().BearingToActiveWaypoint = c.bearing;
    Frame f = Repaint();
    EXPECT_EQ(f.TextsAt(62), c.texts);
    if (c.lnav == 1) f.Expect("LNAV(FOURT)", 0, 62, kAmber);
    if (c.vnav == 1) f.Expect("VNAV", 105, 62, kAmber);
    if (c.texts.size() == 2 && c.vnav == 0) f.Expect(c.texts[1], 145, 62, kAmber);
  }
}

}  // namespace
}  // namespace ovi::mcu::test
