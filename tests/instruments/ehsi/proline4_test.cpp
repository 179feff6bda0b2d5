// The Pro Line 4 MFD's frame and its two HSI pages: blanking and the mode
// table, the header line and the source block (FMS, NAV1, neither) with the
// time to go, the scales at their window's ends and across north, range
// labels at the ladder's ends, both bearing pointers from every source, the
// course bar from LNAV and from the needle, TO/FROM, and the heading bug.
#include <cstdio>
#include <limits>
#include <string>
#include <tuple>

#include "src/instruments/ehsi/proline4/proline4.h"
#include "tests/instruments/ehsi/du1000_test_support.h"

namespace ovi::ehsi::test {
namespace {

class Proline4Test : public Du1000Test {
 public:
  void Pl4(int mode, int variant = 1, int width = 247, int height = 285) {
    M().PROLINE4MFDMode = mode;
    dc = std::make_unique<gfx::DeviceContext>(width, height);
    rec.Clear();
    dc->recorder = &rec;
    sx = width / 247.0;
    sy = height / 285.0;
    const PIXSIZE size{width, height};
    DrawProline4Mfd(ehsi_state.Proline4Display, dc.get(), &size, variant);
  }
  // Device points of the canvas, the rose's centre and the arc's centre.
  gfx::PointF C(double x, double y) const { return At(x, y); }
  gfx::PointF P(int mode, double x, double y, double turn = 0) const {
    return At(x, y, 123, mode == 0 ? 170 : 200, turn);
  }
  void Route(int active) {
    flightplan::State& fp = flightplan::flightplan_state;
    fp.ActiveFlightPlan[0].ident = "WEST";
    fp.ActiveFlightPlan[0].longitude = -0.5;
    fp.ActiveFlightPlan[1].ident = "EAST";
    fp.ActiveFlightPlan[1].longitude = 0.5;
    fp.ActiveFlightPlanLastIndex = 1;
    fp.ActiveWaypointIndex = active;
  }
};

// Blank while off or in variant 2; a mode outside 0..3 leaves the
// background, its components cut to 8 bits.
TEST_F(Proline4Test, FrameBlanksAndUnknownMode) {
  for (auto [power, variant] : {std::pair{0, 1}, {1, 2}}) {
    G().DisplayPower = power;
    Pl4(0, variant);
    ASSERT_EQ(rec.Size(), 1u);
    EXPECT_TRUE(rec.Ops()[0].kind == OpKind::Clear && rec.Ops()[0].color == 0u);
  }
  G().DisplayPower = 1;
  M().PROLINE4MFDBkgrdColorRed = 300;
  M().PROLINE4MFDBkgrdColorBlue = 511;
  Pl4(4);
  ASSERT_EQ(rec.Size(), 1u);
  EXPECT_TRUE(rec.Ops()[0].kind == OpKind::Rectangle && rec.Ops()[0].color == 0xFF2C00FFu);
  Pl4(-1);
  EXPECT_EQ(rec.Size(), 1u);
  DrawProline4Mfd(ehsi_state.Proline4Display, nullptr, nullptr, 1);  // no surface: nothing
}

// The header line on both pages and three surface sizes; the total air
// temperature from SAT and TAS (-30 + 300 x 300 / 7592 + 0.97 = -17.2).
TEST_F(Proline4Test, HeaderLineOnBothPagesAndSizes) {
  G().ZuluHour = 9;
  G().ZuluMinute = 5;
  G().TrueAirspeedEstimate = 300;
  G().GroundSpeedKnots = 281;
  G().StaticAirTemp = -30;
  for (auto [width, height] : {std::pair{247, 285}, {494, 570}, {247, 570}}) {
    for (int mode : {0, 1}) {
      const char* family = mode == 0 ? "Arial" : "DA Rered";
      Pl4(mode, 1, width, height);
      struct Row {
        const char* text;
        double x, y;
        float size;
        gfx::ARGB c;
      } rows[] = {{"WX", 0, 0, 12, colour::kBlue},       {"UTC", 0, 10, 9, colour::kBlue},
                  {" 9:05", 22, 10, 9, colour::kWhite},  {"TAS", 55, 10, 9, colour::kGreen},
                  {"300", 82, 10, 9, colour::kWhite},    {"GS", 120, 10, 9, colour::kGreen},
                  {"281", 139, 10, 9, colour::kWhite},   {"SAT", 165, 10, 9, colour::kGreen},
                  {"-30", 186, 10, 9, colour::kWhite},   {"TAT", 205, 10, 9, colour::kGreen},
                  {"-17", 226, 10, 9, colour::kWhite}};
      for (const Row& r : rows)
        EXPECT_TRUE(StyledAt(r.text, C(r.x, r.y), family, r.size, r.c)) << mode << " " << r.text << " " << height;
    }
  }
  G().TrueAirspeedEstimate = 0;  // no estimate: TAT is SAT
  Pl4(0);
  EXPECT_EQ(rec.CountText("-30"), 2);
}

// Which block: FMS while LNAV flies an active waypoint, else NAV1 while
// it receives, else none. Idents are cut to their five-character field,
// a null one is empty, an index past the route has none.
TEST_F(Proline4Test, SourceBlocks) {
  Route(1);
  G().DesiredTrack = 204.4;
  G().ActiveWaypointDistance = 27.4;
  G().GroundSpeedKnots = 281;  // 5.85 minutes
  G().SelectedCourse = 10;
  G().Nav1DmeDistance = 90;
  host.texts[47] = "SEATTLE";
  // "%-5s", ten blanks (FMS) or nine (NAV1), "%3.0fNM".
  const std::string fms = std::string(10, ' ') + " 27NM", nav1 = std::string(9, ' ') + " 90NM";
  struct Case {
    int lnav, active;
    double signal;
    const char* row1;
    std::string row2;
    const char* ttg;
  } cases[] = {
      {1, 1, 1, "FMS       CRS 204", "EAST " + fms, "TTG 00:06"},
      {1, 5, 0, "FMS       CRS 204", "     " + fms, "TTG 00:06"},
      {0, 1, 1, "NAV1       CRS 010", "SEATT" + nav1, "TTG 00:19"},
      {1, 999, 1, "NAV1       CRS 010", "SEATT" + nav1, "TTG 00:19"},
      {0, 1, 0, nullptr, "", nullptr},
  };
  for (const Case& c : cases) {
    G().LnavEngaged = c.lnav;
    flightplan::flightplan_state.ActiveWaypointIndex = c.active;
    Radio(c.signal);
    for (int mode : {0, 1}) {
      Pl4(mode);
      if (c.row1 == nullptr) {
        EXPECT_FALSE(rec.FindTextContaining("CRS") || rec.FindTextContaining("TTG"));
        continue;
      }
      const char* family = mode == 0 ? "Arial" : "DA Rered";
      EXPECT_TRUE(StyledAt(c.row1, C(0, 20), family, 12, colour::kWhite)) << c.row1 << mode;
      EXPECT_TRUE(StyledAt(c.row2, C(0, 30), family, 12, colour::kWhite)) << c.row2 << mode;
      EXPECT_TRUE(StyledAt(c.ttg, C(0, 40), family, 12, colour::kWhite)) << c.ttg << mode;
    }
  }
  G().LnavEngaged = 0;
  G().Nav1DmeDistance = 0;  // no DME: dashes, the dashed time to go
  host.texts[47] = nullptr;
  Radio(1);
  for (int mode : {0, 1}) {
    Pl4(mode);
    EXPECT_TRUE(TextAt(std::string(5 + 9, ' ') + "---", C(0, 30)));
    EXPECT_TRUE(StyledAt("TTG", C(0, 40), mode == 0 ? "Arial" : "Courier New", 12, colour::kWhite));
    EXPECT_TRUE(StyledAt("--:--", C(30, 40), "Courier New", 12, colour::kWhite));
  }
}

// Above 30 kt only; the minutes rounded before the hours are split off.
TEST_F(Proline4Test, TimeToGoAcrossTheHour) {
  struct Case {
    double distance, speed;
    bool known;
    double hours, minutes;
  } cases[] = {{90, 30, false, 0, 0},  {90, 30.01, true, 3, 0},  {90, 60, true, 1, 30},
               {30, 60, true, 0, 30},   {119.6, 60, true, 2, 0}, {59.6, 60, true, 1, 0},
               {59.4, 60, true, 0, 59}, {-5, 60, true, 0, 0},    {std::numeric_limits<double>::quiet_NaN(), 60, true, 0, 0}};
  for (const Case& c : cases) {
    const TimeToGo t = Proline4TimeToGo(c.distance, c.speed);
    EXPECT_EQ(t.known, c.known) << c.distance;
    if (!c.known) continue;
    EXPECT_EQ(t.hours, c.hours) << c.distance;
    EXPECT_EQ(t.minutes, c.minutes) << c.distance;
  }
}

// Rose: 1-unit ticks every 5 degrees with a long one over every 10th,
// labels turning with the card; arc: 2-unit ticks within 60 degrees, the
// ends left out, across north.
TEST_F(Proline4Test, ScalesAndTheirWindows) {
  Pl4(0);
  EXPECT_TRUE(StyledAt("0", P(0, -5, -86), "DA Rered", 14, colour::kWhite));
  EXPECT_TRUE(TextAt("9", P(0, -5, -86, 90)) && TextAt("12", P(0, -8, -86, 120)));
  int thin = 0;
  for (const gfx::RecordedOp* op : Ops(OpKind::Line, colour::kWhite)) thin += op->pen_width == 1.0f;
  EXPECT_EQ(thin, 72 + 36);
  EXPECT_TRUE(HasLine(colour::kWhite, P(0, 0, -92, 5), P(0, 0, -98, 5), 1.0f));
  EXPECT_TRUE(HasLine(colour::kWhite, P(0, 0, -88, 10), P(0, 0, -98, 10), 1.0f));
  EXPECT_EQ(rec.Count(OpKind::Polygon, colour::kWhite, 1), 4);  // index triangles
  EXPECT_TRUE(HasLine(colour::kWhite, P(0, 0, -102, 90), P(0, 0, -114, 90), 2.0f));
  G().AircraftHeading = 90;
  Pl4(0);
  EXPECT_TRUE(TextAt("0", P(0, -5, -86, -90)));

  G().AircraftHeading = 357;
  Pl4(1);
  EXPECT_TRUE(StyledAt("0", P(1, -5, -160, 3), "DA Rered", 12, colour::kWhite));
  EXPECT_TRUE(TextAt("30", P(1, -8, -160, -57)) && TextAt("3", P(1, -5, -160, 33)));
  EXPECT_FALSE(rec.FindText("6") || rec.FindText("27"));
  EXPECT_TRUE(HasLine(colour::kWhite, P(1, 0, -140, 58), P(1, 0, -144, 58)));    // 055
  EXPECT_FALSE(HasLine(colour::kWhite, P(1, 0, -140, 63), P(1, 0, -148, 63)));   // 060
  EXPECT_TRUE(HasLine(colour::kWhite, P(1, 0, -140, -57), P(1, 0, -148, -57)));  // 300
  G().AircraftHeading = 0;
  Pl4(1);
  EXPECT_TRUE(rec.FindText("3") && !rec.FindText("6") && !rec.FindText("30") && rec.FindText("33"));
}

TEST_F(Proline4Test, RangeLabelsAtTheLadderEnds) {
  for (auto [range, full, half] : {std::tuple{5.0, "5.0", "2.5"}, {320.0, "320.0", "160"}, {40.0, "40.0", " 20"}}) {
    M().Proline4MapRange = range;
    Pl4(1);
    EXPECT_TRUE(StyledAt(full, P(1, -125, -65), "DA Rered", 12, colour::kWhite)) << range;
    EXPECT_TRUE(StyledAt(half, P(1, -85, -25), "DA Rered", 12, colour::kWhite)) << range;
  }
}

// Each pointer and source: the legend whenever the pointer is on, the
// needle only while its source is received, turned to its bearing
// (heading 30: NAV1 45 right, NAV2 at 340 + 30 - 360 = 10, the ADF at
// 200, the active waypoint at 300).
TEST_F(Proline4Test, BearingPointersFromEverySource) {
  G().AircraftHeading = 30;
  G().HeadingOffsetToken550 = 45;
  G().SecondBearingPointer = 340;
  G().AdfRelativeBearing = 200;
  G().BearingToActiveWaypoint = 300;
  Route(1);
  struct Case {
    int pointer, source;
    const char* legend;
    double turn;
  } cases[] = {{1, 1, "VOR1", 45}, {1, 2, "ADF", 200}, {1, 3, "FMS", 270}, {1, 5, "FMS", 0},
               {2, 1, "VOR2", -20}, {2, 2, "ADF", 200}, {2, 3, "FMS", 270}, {2, -1, "FMS", 0}};
  for (const Case& c : cases) {
    for (bool received : {false, true}) {
      host.tokens[49] = received && c.pointer == 1 ? 1 : 0;
      host.tokens[58] = received && c.pointer == 2 ? 1 : 0;
      G().AdfSignal = received ? 1.01 : 1.0;
      flightplan::flightplan_state.ActiveWaypointIndex = received ? 1 : 999;
      M().Proline4BearingPointer1Source = c.pointer == 1 ? c.source : 0;
      M().Proline4BearingPointer2Source = c.pointer == 2 ? c.source : 0;
      for (int mode : {0, 1}) {
        Pl4(mode);
        const gfx::ARGB col = c.pointer == 1 ? colour::kMagenta : colour::kBlue;
        const double legend_y = (c.pointer == 1 ? 80 : 95) - (mode == 0 ? 0 : 30);
        EXPECT_TRUE(StyledAt(c.legend, P(mode, -123, legend_y), mode == 0 ? "Arial" : "DA Rered", 13, col))
            << c.pointer << c.source << mode;
        const bool needle = received && c.source >= 1 && c.source <= 3;
        const double y0 = c.pointer == 1 ? (mode == 0 ? -40 : -60) : (mode == 0 ? -70 : -110);
        const double y1 = mode == 0 ? -90 : -139;
        EXPECT_EQ(HasLine(col, P(mode, 0, y0, c.turn), P(mode, 0, y1, c.turn), 2.0f), needle)
            << c.pointer << c.source << mode << received;
      }
    }
  }
  M().Proline4BearingPointer1Source = M().Proline4BearingPointer2Source = 0;
  Pl4(0);
  EXPECT_TRUE(Ops(OpKind::Line, colour::kBlue).empty() && !rec.FindText("FMS"));
}

// The bar: LNAV's cross-track distance on the desired track (10 units a
// NM, 5 NM at most; the leg runs east across 0 E on the equator, flown
// north and south of it, with 15 degrees of westerly variation), else the
// needle on the selected course while NAV1 receives.
TEST_F(Proline4Test, DeviationBarFromLnavAndFromTheNeedle) {
  Route(1);
  G().LnavEngaged = 1;
  G().MagneticVariation = -15;
  G().DesiredTrack = G().AircraftHeading = 105;
  G().ActiveLegLength = 60;
  G().ActiveWaypointDistance = 30;
  G().PlaneLongitude = 0;
  Radio(1);
  G().Nav1CdiNeedle = 127;  // not used while LNAV is engaged
  for (auto [north_nm, bar] : {std::pair{7.0, 50}, {-7.0, -50}, {2.05, 20}, {-2.05, -20}}) {
    G().PlaneLatitude = north_nm / 60.0;
    for (int mode : {0, 1}) {
      Pl4(mode);
      const double end = mode == 0 ? 40 : 60;
      EXPECT_TRUE(HasLine(colour::kWhite, P(mode, bar, end), P(mode, bar, -end), 2.0f)) << north_nm << mode;
    }
  }
  flightplan::flightplan_state.ActiveWaypointIndex = 999;  // rests on the desired track
  Pl4(0);
  EXPECT_TRUE(HasLine(colour::kWhite, P(0, 0, 40), P(0, 0, -40), 2.0f));

  G().LnavEngaged = 0;
  G().SelectedCourse = 135;
  struct Case {
    double signal, needle;
    int rose, arc;
  } cases[] = {{1, 127, 60, 50}, {1, -127, -60, -50}, {1, -64, -30, -25},
               {0, 127, 0, 0},   {1, std::numeric_limits<double>::quiet_NaN(), 0, 0}};
  for (const Case& c : cases) {
    Radio(c.signal);
    G().Nav1CdiNeedle = c.needle;
    Pl4(0);
    EXPECT_TRUE(HasLine(colour::kWhite, P(0, c.rose, 40, 30), P(0, c.rose, -40, 30), 2.0f)) << c.needle;
    const auto dots = Ops(OpKind::Ellipse, colour::kWhite);  // 1-unit circles 60 and 30 units either side
    ASSERT_EQ(dots.size(), 4u);
    EXPECT_TRUE(Near(dots[0]->points[0], P(0, -60, 0, 30)) && Near(dots[3]->points[0], P(0, 60, 0, 30)));
    EXPECT_EQ(dots[1]->pen_width, 1.0f);
    Pl4(1);
    EXPECT_TRUE(HasLine(colour::kWhite, P(1, c.arc, 60, 30), P(1, c.arc, -60, 30), 2.0f)) << c.needle;
  }
}

// TO/FROM on the course line while NAV1 receives and LNAV is off: the
// station's side taken the short way round, so a station at 350 with a
// course of 10 reads TO (the unfolded difference, 340, read FROM).
TEST_F(Proline4Test, ToFromAcrossNorth) {
  struct Case {
    double bearing, course;
    int lnav;
    double signal;
    int sense;  // 1 TO, -1 FROM, 0 none
  } cases[] = {{350, 10, 0, 1, 1},   {10, 60, 0, 1, 1},  {200, 10, 0, 1, -1}, {100, 10, 0, 1, -1},
               {99.5, 10, 0, 1, 1},   {350, 10, 1, 1, 0}, {350, 10, 0, 0, 0}};
  for (const Case& c : cases) {
    G().HeadingOffsetToken550 = c.bearing;  // heading 0
    G().SelectedCourse = c.course;
    G().LnavEngaged = c.lnav;
    Radio(c.signal);
    for (int mode : {0, 1}) {
      Pl4(mode);
      const double tip = mode == 0 ? 48 : 58;
      const double turn = c.lnav == 1 ? 0 : c.course;
      EXPECT_EQ(OutlineAt(colour::kWhite, 4, 0, P(mode, 0, -tip, turn)), c.sense == 1) << c.bearing << mode;
      EXPECT_EQ(OutlineAt(colour::kWhite, 4, 0, P(mode, 0, tip, turn)), c.sense == -1) << c.bearing << mode;
    }
  }
}

// The bug always, on its full circle (90 degrees right lies beyond the
// arc page's edge); while it has just moved its readout and dashed line.
TEST_F(Proline4Test, HeadingBugAndReadout) {
  for (auto [ticks, selected] : {std::pair{0, 45.0}, {10, 45.0}, {10, 90.0}}) {
    G().HeadingBugDisplayTicks = ticks;
    G().ApHeadingLockDir = selected;
    for (int mode : {0, 1}) {
      Pl4(mode);
      const double r = mode == 0 ? 100 : 140;
      EXPECT_TRUE(OutlineAt(colour::kMagenta, 9, 2, P(mode, 10, -r - 5, selected))) << mode << selected;
      char readout[16];
      std::snprintf(readout, sizeof readout, "HDG %03.0f", selected);
      EXPECT_EQ(StyledAt(readout, mode == 0 ? C(50, 50) : C(0, 52), mode == 0 ? "Arial" : "DA Rered", 9,
                         colour::kMagenta),
                ticks > 0);
      const auto dashed = Ops(OpKind::Line, colour::kMagenta);
      EXPECT_EQ(dashed.size(), ticks > 0 ? 1u : 0u);
      if (!dashed.empty()) {
        EXPECT_EQ(dashed[0]->dash, gfx::DashStyle::Dash);
        EXPECT_TRUE(Near(dashed[0]->points[1], P(mode, 0, -r, selected)));
      }
    }
  }
  EXPECT_GT(P(1, 10, -145, 90).X, 247.0f);
  G().GroundTrack = 20;
  Pl4(0);
  EXPECT_TRUE(Near(Ops(OpKind::Ellipse, colour::kGreen)[0]->points[0], P(0, 0, -95, 20)));
}

}  // namespace
}  // namespace ovi::ehsi::test
