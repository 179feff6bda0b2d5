// The map layers of the flight plan (route and hold), the lower box below
// the full rose and the traffic picture of mode 8 and the traffic display.
#include <climits>

#include "src/display/map_overlays.h"
#include "src/display/state.h"
#include "tests/instruments/efs/efs50_test_support.h"

namespace ovi::efs::test {
namespace {

class RouteTest : public Efs50Test {
 public:
  void SetUp() override {
    Efs50Test::SetUp();
    M().EFS50NavMode = 2;
    Entry(0, "PREV", "VOR", -0.1, 0.0);  // 6 NM south of the aircraft at 0 N 0 E
    Entry(1, "ACT", "INT", 0.1, 0.0);    // 6 NM north
    Entry(2, "APTX", "APT", 0.1, 0.1);   // 6 NM east of it
    F().ActiveFlightPlanLastIndex = 2;
    F().ActiveWaypointIndex = 1;
  }
  static void Entry(int i, const char* ident, const char* type, double lat, double lon) {
    F().ActiveFlightPlan[i].ident = ident;
    F().ActiveFlightPlan[i].type = type;
    F().ActiveFlightPlan[i].latitude = lat;
    F().ActiveFlightPlan[i].longitude = lon;
  }
  // The route frame's point of a position: one length, kx units a canvas
  // unit, for both axes, about the aircraft at (129, cy).
  gfx::Point Fine(double lat, double lon) const {
    double distance = 0, bearing = 0;
    navdb::ComputeDistanceAndBearing(0.0, 0.0, lat, lon, distance, bearing);
    const double length = distance * M().Efs50RoseRadius / M().Efs50EhsiRange * Kx();
    return gfx::Point(static_cast<int>(std::trunc(length * std::sin(bearing * M_PI / 180))),
                      static_cast<int>(std::trunc(-length * std::cos(bearing * M_PI / 180))));
  }
  // The route layer alone, as the frame calls it in `mode`.
  void DrawRoute(int mode) {
    M().EFS50HsiMode = mode;
    Surface(280, 262);
    efs_state.Efs50EhsiDisplay.width = 280;
    efs_state.Efs50EhsiDisplay.height = 262;
    gfx::Graphics g(dc.get());
    DrawEfs50RouteWaypoints(efs_state.Efs50EhsiDisplay, g);
  }
  double Kx() const { return (size.x + size.y) / 266.0; }
  double Ky() const { return (size.x + size.y) / 230.0; }
  gfx::PointF Device(double fx, double fy, double cy) const {
    const double sum = size.x + size.y;
    return gfx::PointF(static_cast<float>(kCx * sx + fx * size.x / sum),
                       static_cast<float>(cy * sy + fy * size.y / sum));
  }
};

TEST_F(RouteTest, LegsIdentsAndSymbolsByType) {
  for (auto [mode, cy] : {std::pair{5, kArcY}, {2, kRoseY}}) {
    DrawRoute(mode);
    const gfx::Point q1 = Fine(0.1, 0.0), q2 = Fine(0.1, 0.1);
    // North is drawn at 230/266 of the scale across: one length for both axes.
    EXPECT_EQ(q1.Y, static_cast<int>(std::trunc(-6 * (mode == 5 ? 7.6 : 4.0) * Kx()))) << mode;
    EXPECT_TRUE(HasLine(c::kBlue, Device(0, 0, cy), Device(q1.X, q1.Y, cy), static_cast<float>(2 * Kx()))) << mode;
    // The active waypoint's ident 7 frame units off, unscaled; the others 7 canvas units.
    EXPECT_TRUE(TextAt("ACT", Device(q1.X + 7, q1.Y - 7, cy), "DA Rered", static_cast<float>(12 * Kx()), c::kBlue));
    EXPECT_TRUE(TextAt("APTX", Device(q2.X + 7 * Kx(), q2.Y - 7 * Ky(), cy), "DA Rered", 0, c::kWhite));
    EXPECT_TRUE(HasLine(c::kWhite, Device(q1.X, q1.Y, cy), Device(q2.X, q2.Y, cy))) << mode;
    // The star 6 canvas units above its point, the airport 3.
    EXPECT_TRUE(StartsAt(OpKind::Lines, c::kBlue, Device(q1.X, std::trunc(q1.Y - 6 * Ky()), cy))) << mode;
    EXPECT_TRUE(StartsAt(OpKind::Lines, c::kWhite, Device(q2.X, std::trunc(q2.Y - 3 * Ky()), cy))) << mode;
    EXPECT_EQ(rec.Count(OpKind::Clip) > 0, mode == 2);
    EXPECT_TRUE(AllClipped(Colour(OpKind::Text, c::kWhite), mode == 2)) << mode;
    EXPECT_DOUBLE_EQ(M().Efs50RoseRadius, mode == 5 ? 95.0 : 50.0);
  }
  // A clip of 100 canvas units about the aircraft on the rose.
  const gfx::RecordedOp* clip = rec.Find(OpKind::Clip).back();
  EXPECT_NEAR(clip->bounds.X, 29 * sx, 0.5);
  EXPECT_NEAR(clip->bounds.Height, 200 * sy, 1.0);
}

// From 5 NM with the option on: the waypoint before the active one, or
// "DCT" where LNAV was engaged, yellow, with a dashed line to the active
// waypoint.
TEST_F(RouteTest, PreviousWaypointOrDirect) {
  struct Case {
    int option, active;
    double range;
    int engaged;
    const char* label;  // "" none
  } cases[] = {{1, 1, 5.0, 0, "PREV"}, {1, 1, 2.5, 0, ""}, {0, 1, 5.0, 0, ""},
               {1, 0, 5.0, 0, ""},     {1, 1, 5.0, 1, "DCT"}};
  G().LegOriginLatitude = -0.05;
  for (const Case& k : cases) {
    M().DispPrevWpt = k.option;
    F().ActiveWaypointIndex = k.active;
    M().Efs50EhsiRange = k.range;
    G().ActiveLegFromEngagePosition = k.engaged;
    DrawRoute(5);
    const std::string label = k.label;
    const auto dashed = [](const gfx::RecordedOp& op) {
      return op.kind == OpKind::Line && op.color == c::kYellow && op.dash != gfx::DashStyle::Solid;
    };
    int lines = 0;
    for (const gfx::RecordedOp& op : rec.Ops()) lines += dashed(op);
    EXPECT_EQ(lines, label.empty() ? 0 : 1) << k.option << " " << k.range << " " << k.active;
    if (label.empty()) continue;
    const gfx::Point p = label == "DCT" ? Fine(-0.05, 0) : Fine(-0.1, 0);
    const gfx::Point t = Fine(0.1, 0);
    EXPECT_TRUE(TextAt(label, Device(p.X + 7 * Kx(), p.Y - 7 * Ky(), kArcY), nullptr, 0, c::kYellow)) << label;
    EXPECT_TRUE(HasLine(c::kYellow, Device(p.X, p.Y, kArcY), Device(t.X, t.Y, kArcY)));
    const std::size_t star_points = 9;
    bool star = false;
    for (const gfx::RecordedOp* op : Ops(OpKind::Lines, c::kYellow)) star |= op->points.size() == star_points;
    EXPECT_EQ(star, label == "DCT") << label;  // the VOR before is no star
  }
}

// An active index past the route's end reads nothing beyond it; a marker
// breaks the line.
TEST_F(RouteTest, IndexPastTheEndAndMarkers) {
  M().DispPrevWpt = 1;
  F().ActiveWaypointIndex = 4;
  DrawRoute(5);
  EXPECT_TRUE(Ops(OpKind::Line, c::kBlue).empty() && Ops(OpKind::Line, c::kYellow).empty());
  Entry(2, "DISCO", "", 0.0, 0.0);
  Entry(3, "LAST", "WPT", 0.1, -0.1);
  F().ActiveFlightPlanLastIndex = 3;
  F().ActiveWaypointIndex = 1;
  DrawRoute(5);
  EXPECT_FALSE(Has("DISCO"));
  EXPECT_TRUE(Has("LAST"));
  EXPECT_TRUE(Ops(OpKind::Line, c::kWhite).empty());  // no leg into or out of the marker
}

// The racetrack about the aircraft at (129, 190), 95 units for 12.5 NM: the
// first turn at A (right) or B (left), the second at D or C, half a leg
// wide, turned by the inbound course against the heading; the hold point
// amber while the hold is flown.
TEST_F(RouteTest, HoldOnBothSidesAndItsPoint) {
  F().HoldCount = 1;
  model::HoldingPattern& h = F().HoldTable[1];
  h.active_index = 2;
  h.leg_length = 4.0;  // r = 4 x 0.5 x 7.6 = 15.2
  h.corners[0].latitude = 0.1;
  G().HoldScratchPointLat = 0.12;
  G().HoldAbeamPointLat = 0.12, G().HoldAbeamPointLon = 0.05;
  G().HoldProjectedLatitude = 0.05, G().HoldProjectedLongitude = 0.05;
  G().HoldFinalLat = 0.05;
  G().HoldPointBearing = 90.0;
  G().HoldPointDistance = 5.0;  // 38 units right
  G().AircraftHeading = 10.0;
  h.inbound_course = 100.0;  // turned 90
  // Corners whole units off the aircraft: 6, 7.2 and 3 NM at 7.6 units.
  const int f_y = -45, a_y = -54, c_y = -22, side = 22;  // 3 NM east: 22.8
  for (int turn_side : {1, 2}) {
    h.turn_side = turn_side;
    for (auto [lnav, holding, dot] : {std::tuple{0, 1, 0u}, {1, 0, c::kGreen}, {1, 1, c::kAmber}}) {
      G().LnavEngaged = lnav;
      G().ActiveHoldIndex = holding;
      Draw(5);
      EXPECT_TRUE(HasLine(c::kGreen, Arc(0, f_y), Arc(0, a_y), 2));
      EXPECT_TRUE(HasLine(c::kGreen, Arc(side, a_y), Arc(side, c_y), 2));
      EXPECT_TRUE(HasLine(c::kGreen, Arc(0, c_y), Arc(0, f_y), 2));
      const auto arcs = Ops(OpKind::Arc, c::kGreen);
      ASSERT_EQ(arcs.size(), 2u);
      // Right: A then D, on the fix's side; left: B then C, abeam.
      const double x = turn_side == 1 ? 0 : side;
      EXPECT_TRUE(Near(arcs[0]->points[2], At(7.5, 0.5, kCx + x, kArcY + a_y, 90))) << turn_side;
      EXPECT_TRUE(Near(arcs[1]->points[2], At(7.5, -1.5, kCx + x, kArcY + c_y, 90))) << turn_side;
      EXPECT_EQ(arcs[0]->start_angle, 180.0f);
      EXPECT_EQ(arcs[1]->start_angle, 0.0f);
      const bool has_dot = dot != 0u;
      EXPECT_EQ(EllipseAt(has_dot ? dot : c::kGreen, Arc(38, -1), 1), has_dot) << lnav << holding;
    }
  }
}

// The box below the rose: the radio's bar amber at 100/239 a needle unit,
// unlimited; the flight plan's blue at 1000/113 a NM, within 50.
TEST_F(RouteTest, LowerBoxBySource) {
  M().EFS50EHSIBkgrdColorRed = 300;  // only the low 8 bits: 44
  struct Case {
    int nav_mode;
    double signal, needle, east;  // east: NM right of the leg; 0 no route
    gfx::ARGB colour;
    int x;  // INT_MIN: no bar
  } cases[] = {{1, 1, 127, 0, c::kAmber, 53},   {1, 1, -127, 0, c::kAmber, -53}, {1, 0, 127, 0, c::kAmber, INT_MIN},
               {2, 0, 0, 6, c::kBlue, -50},     {2, 0, 0, -6, c::kBlue, 50},     {2, 0, 0, 2, c::kBlue, -17},
               {2, 0, 0, 0, c::kBlue, INT_MIN}};
  for (const Case& k : cases) {
    M().EFS50NavMode = k.nav_mode;
    Radio(k.signal);
    G().Nav1CdiNeedle = k.needle;
    F().ActiveWaypointIndex = 999;
    if (k.east != 0) NorthLeg(k.east);
    Draw(1);
    EXPECT_TRUE(StartsAt(OpKind::Rectangle, 0xFF2C0000, Rose(-56, 69), 1));
    EXPECT_TRUE(HasLine(c::kWhite, Rose(-55, 70), Rose(55, 70), 2) && StartsAt(OpKind::Lines, c::kWhite, Rose(0, 73)));
    int bars = 0;
    for (const gfx::RecordedOp* op : Ops(OpKind::Line, k.colour)) bars += op->pen_width == 3.0f;
    EXPECT_EQ(bars, k.x == INT_MIN ? 0 : 1) << k.nav_mode << " " << k.east;
    EXPECT_TRUE(k.x == INT_MIN || HasLine(k.colour, Rose(k.x, 72), Rose(k.x, 82), 3)) << k.east << " " << k.needle;
  }
}

// Marks at 90 to 100 about the centre, the inner ring of dots by the range,
// the range in two characters, the targets cut to the marks' circle.
TEST_F(RouteTest, TrafficPictureByRange) {
  struct Case {
    double range;
    const char* text;
    int y, diameter;  // the inner dots' box; 0 none
  } cases[] = {{2, " 2", 0, 0}, {5, " 5", -40, 5}, {10, "10", -20, 4}, {20, "20", -10, 3}, {40, "40", 0, 0}};
  for (const Case& k : cases) {
    M().Efs50TcasRange = k.range;
    DrawTcas();
    EXPECT_EQ(Ops(OpKind::Ellipse, c::kBlue, 1).size(), k.diameter != 0 ? 36u : 24u) << k.range;
    EXPECT_EQ(Ops(OpKind::Line, c::kBlue).size(), 12u);
    EXPECT_TRUE(TextAt(k.text, Rose(40, 94), "Arial", 15, c::kWhite)) << k.range;
    EXPECT_TRUE(k.diameter == 0 || EllipseAt(c::kBlue, Rose(k.diameter / 2.0, k.y + k.diameter / 2.0, 30), 1))
        << k.range;
    EXPECT_TRUE(EllipseAt(c::kBlue, Rose(2.5, -97.5, 10), 1));
    EXPECT_TRUE(HasLine(c::kBlue, Rose(0, -90, 60), Rose(0, -100, 60), 2));
    EXPECT_TRUE(StartsAt(OpKind::Lines, c::kWhite, Rose(0, -12)));  // the aircraft
  }
  // Mode 8 of the EHSI: the same picture, the range further right.
  M().Efs50TcasRange = 5.0;
  Draw(8);
  EXPECT_TRUE(TextAt(" 5", Rose(80, 94)));
  // A target 94.5 units out (5.25 NM at 5) is drawn inside the circle's cut.
  display::display_state.TrafficProviderAttempts = display::kTrafficProviderMaxAttempts;
  display::display_state.TrafficPlotTable[1] = {90.0, 5.25, 0.0, '-', 'O'};
  display::display_state.TrafficPlotCount = 1;
  DrawTcas(1, 300, 200);
  ASSERT_EQ(rec.Count(OpKind::Clip), 1);
  const gfx::RecordedOp* clip = rec.Find(OpKind::Clip)[0];
  EXPECT_NEAR(clip->bounds.X, 29 * sx, 0.5);
  EXPECT_NEAR(clip->bounds.Width, 200 * sx, 1.0);
  EXPECT_TRUE(AllClipped([](const gfx::RecordedOp& op) { return op.kind == OpKind::Text && op.text == "+0"; }, true));
}

TEST_F(RouteTest, TrafficDisplayBlanksWithoutPowerAndInVariantTwo) {
  for (auto [power, variant] : {std::pair{0, 1}, {1, 2}}) {
    G().DisplayPower = power;
    DrawTcas(variant, 320, 300);
    for (const gfx::RecordedOp& op : rec.Ops()) EXPECT_EQ(op.kind, OpKind::Clear);
    EXPECT_EQ(rec.Ops().back().color, 0x00000000u);
    EXPECT_EQ(efs_state.Efs50TcasDisplay.width, 320);
  }
  DrawEfs50TcasScreen(efs_state.Efs50TcasDisplay, nullptr, &size, 1);
}

}  // namespace
}  // namespace ovi::efs::test
