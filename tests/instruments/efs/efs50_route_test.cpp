// The flight plan's map layers (route and hold), the lower box below the
// full rose and the traffic picture of mode 8 and the traffic display.
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
    Entry(0, "PREV", "VOR", -0.1, 0.0);  // 6 NM south of the aircraft at 0 N 0 E
    Entry(1, "ACT", "INT", 0.1, 0.0);    // 6 NM north
    Entry(2, "APTX", "APT", 0.1, 0.1);   // 6 NM east of it
    F().ActiveFlightPlanLastIndex = 2;
    F().ActiveWaypointIndex = 1;
  }
  static void Entry(int i, const char* ident, const char* type, double lat, double lon) {
    model::FlightPlanWaypoint& w = F().ActiveFlightPlan[i];
    w.ident = ident, w.type = type, w.latitude = lat, w.longitude = lon;
  }
  // The route layer alone, as the frame calls it in `mode`.
  void DrawRoute(int mode) {
    M().EFS50HsiMode = mode;
    Surface(280, 262);
    efs_state.Efs50EhsiDisplay.width = 280, efs_state.Efs50EhsiDisplay.height = 262;
    gfx::Graphics g(dc.get());
    DrawEfs50RouteWaypoints(efs_state.Efs50EhsiDisplay, g);
  }
  // The route frame: kx = (w + h) / 266 and ky = (w + h) / 230 units a
  // canvas unit; a position lies at distance x radius / range canvas units
  // from the aircraft at (129, cy), across by kx and down by ky.
  double Kx() const { return (size.x + size.y) / 266.0; }
  double Ky() const { return (size.x + size.y) / 230.0; }
  gfx::Point Fine(double lat, double lon) const {
    double distance = 0, bearing = 0;
    navdb::ComputeDistanceAndBearing(0.0, 0.0, lat, lon, distance, bearing);
    const double length = distance * M().Efs50RoseRadius / M().Efs50EhsiRange, b = bearing * M_PI / 180;
    return gfx::Point(static_cast<int>(length * std::sin(b) * Kx()), static_cast<int>(-length * std::cos(b) * Ky()));
  }
  gfx::PointF Device(double fx, double fy, double cy = kArcY) const {
    const double sum = size.x + size.y;
    return gfx::PointF(static_cast<float>(kCx * sx + fx * size.x / sum),
                       static_cast<float>(cy * sy + fy * size.y / sum));
  }
  gfx::PointF Device(const gfx::Point& p, double cy = kArcY) const { return Device(p.X, p.Y, cy); }
};

// Blue to the active waypoint with its ident 7 frame units off (unscaled),
// white on to the next with its ident 7 canvas units off; the star 6 units
// above its point, the airport 3; cut to the circle on the rose only.
TEST_F(RouteTest, LegsIdentsAndSymbolsByType) {
  M().EFS50NavMode = 2;
  for (auto [mode, cy] : {std::pair{5, kArcY}, {2, kRoseY}}) {
    DrawRoute(mode);
    const gfx::Point q1 = Fine(0.1, 0.0), q2 = Fine(0.1, 0.1);
    EXPECT_EQ(q1.Y, static_cast<int>(-6 * (mode == 5 ? 7.6 : 4.0) * Ky())) << mode;  // north on ky
    EXPECT_TRUE(HasLine(c::kBlue, Device(0, 0, cy), Device(q1, cy), static_cast<float>(2 * Kx()))) << mode;
    EXPECT_TRUE(TextAt("ACT", Device(q1.X + 7, q1.Y - 7, cy), "DA Rered", static_cast<float>(12 * Kx()), c::kBlue));
    EXPECT_TRUE(TextAt("APTX", Device(q2.X + 7 * Kx(), q2.Y - 7 * Ky(), cy), "DA Rered", 0, c::kWhite)) << mode;
    EXPECT_TRUE(HasLine(c::kWhite, Device(q1, cy), Device(q2, cy))) << mode;
    EXPECT_TRUE(StartsAt(OpKind::Lines, c::kBlue, Device(q1.X, std::trunc(q1.Y - 6 * Ky()), cy))) << mode;
    EXPECT_TRUE(StartsAt(OpKind::Lines, c::kWhite, Device(q2.X, std::trunc(q2.Y - 3 * Ky()), cy))) << mode;
    EXPECT_EQ(rec.Count(OpKind::Clip), mode == 2 ? 1 : 0);
    EXPECT_DOUBLE_EQ(M().Efs50RoseRadius, mode == 5 ? 95.0 : 50.0);
  }
  const gfx::RecordedOp* clip = rec.Find(OpKind::Clip)[0];
  EXPECT_NEAR(clip->bounds.X, 29 * sx, 0.5);
  EXPECT_NEAR(clip->bounds.Height, 200 * sy, 1.0);
  EXPECT_TRUE(AllClipped(Colour(OpKind::Text, c::kWhite), true));
}

// From 5 NM with the option on: the waypoint before the active one, or
// "DCT" at the engage position with a star, yellow, dashed to the active.
TEST_F(RouteTest, PreviousWaypointOrDirect) {
  G().LegOriginLatitude = -0.05;
  const std::tuple<int, int, double, int, const char*> cases[] = {
      {1, 1, 5.0, 0, "PREV"}, {1, 1, 2.5, 0, ""}, {0, 1, 5.0, 0, ""}, {1, 0, 5.0, 0, ""}, {1, 1, 5.0, 1, "DCT"}};
  for (auto [option, active, range, engaged, text] : cases) {
    M().DispPrevWpt = option;
    F().ActiveWaypointIndex = active;
    M().Efs50EhsiRange = range;
    G().ActiveLegFromEngagePosition = engaged;
    DrawRoute(5);
    const std::string label = text;
    const auto dashed = Ops(OpKind::Line, c::kYellow);
    EXPECT_EQ(dashed.size(), label.empty() ? 0u : 1u) << option << " " << range << " " << active;
    if (label.empty()) continue;
    const gfx::Point p = label == "DCT" ? Fine(-0.05, 0) : Fine(-0.1, 0);
    EXPECT_TRUE(dashed[0]->dash != gfx::DashStyle::Solid && HasLine(c::kYellow, Device(p), Device(Fine(0.1, 0))));
    EXPECT_TRUE(TextAt(label, Device(p.X + 7 * Kx(), p.Y - 7 * Ky()), nullptr, 0, c::kYellow)) << label;
    EXPECT_EQ(StartsAt(OpKind::Lines, c::kYellow, Device(p.X, std::trunc(p.Y - 6 * Ky()))), label == "DCT");
  }
}

// An active index past the route's end reads nothing beyond it; a marker
// breaks the line.
TEST_F(RouteTest, IndexPastTheEndAndMarkers) {
  M().DispPrevWpt = 1;
  F().ActiveWaypointIndex = 4;
  DrawRoute(5);
  EXPECT_TRUE(rec.Texts().empty() && Ops(OpKind::Line, c::kYellow).empty());
  Entry(2, "DISCO", "", 0.0, 0.0);
  Entry(3, "LAST", "WPT", 0.1, -0.1);
  F().ActiveFlightPlanLastIndex = 3;
  F().ActiveWaypointIndex = 1;
  DrawRoute(5);
  EXPECT_TRUE(!Has("DISCO") && Has("LAST") && Ops(OpKind::Line, c::kWhite).empty());
}

// 95 units for 12.5 NM about (129, 190): the first turn at A (right) or B
// (left), the second at D or C, half a leg wide (r = 4 x 0.5 x 7.6 = 15.2),
// turned by the inbound course against the heading; the hold point green,
// amber while the hold is flown.
TEST_F(RouteTest, HoldOnBothSidesAndItsPoint) {
  M().EFS50NavMode = 2;
  F().HoldCount = 1;
  model::HoldingPattern& h = F().HoldTable[1];
  h.active_index = 2;
  h.leg_length = 4.0;
  h.corners[0].latitude = 0.1;
  h.inbound_course = 100.0;
  G().AircraftHeading = 10.0;
  G().HoldScratchPointLat = G().HoldAbeamPointLat = 0.12;
  G().HoldAbeamPointLon = G().HoldProjectedLongitude = 0.05;
  G().HoldProjectedLatitude = G().HoldFinalLat = 0.05;
  G().HoldPointBearing = 90.0;
  G().HoldPointDistance = 5.0;  // 38 units right
  const int f_y = -45, a_y = -54, c_y = -22, side = 22;  // 6, 7.2, 3 NM up, 3 NM right
  for (int turn_side : {1, 2}) {
    h.turn_side = turn_side;
    for (auto [lnav, holding, dot] : {std::tuple{0, 1, 0u}, {1, 0, c::kGreen}, {1, 1, c::kAmber}}) {
      G().LnavEngaged = lnav;
      G().ActiveHoldIndex = holding;
      Draw(5);
      EXPECT_TRUE(HasLine(c::kGreen, Arc(0, f_y), Arc(0, a_y), 2) && HasLine(c::kGreen, Arc(0, c_y), Arc(0, f_y), 2));
      EXPECT_TRUE(HasLine(c::kGreen, Arc(side, a_y), Arc(side, c_y), 2));
      const auto arcs = Ops(OpKind::Arc, c::kGreen);
      ASSERT_EQ(arcs.size(), 2u);
      const double x = turn_side == 1 ? 0 : side;
      EXPECT_TRUE(Near(arcs[0]->points[2], At(7.5, 0.5, kCx + x, kArcY + a_y, 90)) && arcs[0]->start_angle == 180.0f);
      EXPECT_TRUE(Near(arcs[1]->points[2], At(7.5, -1.5, kCx + x, kArcY + c_y, 90)) && arcs[1]->start_angle == 0.0f);
      EXPECT_EQ(StartsAt(OpKind::Ellipse, dot != 0u ? dot : c::kGreen, Arc(38, -1), 1), dot != 0u) << lnav << holding;
    }
  }
}

// The route, the hold and the markers lie on one map: a hold's fix stands
// on its waypoint, north-east of the aircraft, at any window size and on
// both roses (a route one scale for both axes stood 230/266 as far up the
// screen, its waypoint over a NM from the fix).
TEST_F(RouteTest, HoldFixOnItsWaypointAtEverySize) {
  M().EFS50NavMode = 2;
  F().HoldCount = 1;
  model::HoldingPattern& h = F().HoldTable[1];
  h.active_index = 2;
  h.leg_length = 4.0;
  h.corners[0].latitude = h.corners[0].longitude = 0.1;  // APTX
  G().HoldScratchPointLat = 0.12;
  G().HoldScratchPointLon = 0.1;
  for (auto [width, height] : {std::pair{280, 262}, {560, 393}}) {
    for (int mode : {5, 2}) {
      Draw(mode, 1, width, height);
      std::vector<const gfx::RecordedOp*> legs;  // ACT to APTX, the route's pen (not the card's ticks)
      for (const gfx::RecordedOp* op : Ops(OpKind::Line, c::kWhite))
        if (op->pen_width == static_cast<float>(2 * Kx())) legs.push_back(op);
      const auto hold = Ops(OpKind::Line, c::kGreen);
      ASSERT_EQ(legs.size(), 1u);
      ASSERT_FALSE(hold.empty());  // the fix to the point beyond it first
      const gfx::PointF waypoint = legs[0]->points[1], fix = hold[0]->points[0];
      // Within the canvas unit the hold truncates its places to.
      EXPECT_NEAR(fix.X, waypoint.X, sx) << width << " mode " << mode;
      EXPECT_NEAR(fix.Y, waypoint.Y, sy) << width << " mode " << mode;
    }
  }
}

// The radio's bar amber at 100/239 a needle unit, unlimited; the flight
// plan's blue at 1000/113 a NM, within 50; the box in the background
// colour's low 8 bits.
TEST_F(RouteTest, LowerBoxBySource) {
  M().EFS50EHSIBkgrdColorRed = 300;
  const std::tuple<int, double, double, double, int> cases[] = {
      {1, 1, 127, 0, 53}, {1, 1, -127, 0, -53}, {1, 0, 127, 0, INT_MIN},
      {2, 0, 0, 6, -50},  {2, 0, 0, -6, 50},    {2, 0, 0, 2, -17}, {2, 0, 0, 0, INT_MIN}};
  for (auto [nav_mode, signal, needle, east, x] : cases) {
    M().EFS50NavMode = nav_mode;
    Radio(signal);
    G().Nav1CdiNeedle = needle;
    F().ActiveWaypointIndex = 999;
    if (east != 0) NorthLeg(east);
    Draw(1);
    const gfx::ARGB colour = nav_mode == 1 ? c::kAmber : c::kBlue;
    EXPECT_TRUE(StartsAt(OpKind::Rectangle, 0xFF2C0000, Rose(-56, 69), 1));
    EXPECT_TRUE(HasLine(c::kWhite, Rose(-55, 70), Rose(55, 70), 2) && StartsAt(OpKind::Lines, c::kWhite, Rose(0, 73)));
    int bars = 0;
    for (const gfx::RecordedOp* op : Ops(OpKind::Line, colour)) bars += op->pen_width == 3.0f;
    EXPECT_EQ(bars, x == INT_MIN ? 0 : 1) << nav_mode << " " << east;
    EXPECT_TRUE(x == INT_MIN || HasLine(colour, Rose(x, 72), Rose(x, 82), 3)) << east << " " << needle;
  }
}

// Marks at 90 to 100, the inner ring of dots by the range, the range in
// two characters (right of the centre by 40 on the display, 80 in mode 8),
// the targets cut to the marks' circle.
TEST_F(RouteTest, TrafficPictureByRange) {
  const std::tuple<double, const char*, int, int> cases[] = {
      {2, " 2", 0, 0}, {5, " 5", -40, 5}, {10, "10", -20, 4}, {20, "20", -10, 3}, {40, "40", 0, 0}};
  for (auto [range, text, y, diameter] : cases) {
    M().Efs50TcasRange = range;
    DrawTcas();
    EXPECT_EQ(Ops(OpKind::Ellipse, c::kBlue, 1).size(), diameter != 0 ? 36u : 24u) << range;
    EXPECT_EQ(Ops(OpKind::Line, c::kBlue).size(), 12u);
    EXPECT_TRUE(TextAt(text, Rose(40, 94), "Arial", 15, c::kWhite)) << range;
    EXPECT_TRUE(diameter == 0 || StartsAt(OpKind::Ellipse, c::kBlue, Rose(diameter / 2.0, y + diameter / 2.0, 30), 1));
    EXPECT_TRUE(StartsAt(OpKind::Ellipse, c::kBlue, Rose(2.5, -97.5, 10), 1) &&
                HasLine(c::kBlue, Rose(0, -90, 60), Rose(0, -100, 60), 2));
    EXPECT_TRUE(StartsAt(OpKind::Lines, c::kWhite, Rose(0, -12)));  // the aircraft
  }
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
  EXPECT_TRUE(std::fabs(clip->bounds.X - 29 * sx) < 0.5 && std::fabs(clip->bounds.Width - 200 * sx) < 1.0);
  EXPECT_TRUE(AllClipped([](const gfx::RecordedOp& op) { return op.kind == OpKind::Text && op.text == "+0"; }, true));
}

}  // namespace
}  // namespace ovi::efs::test
