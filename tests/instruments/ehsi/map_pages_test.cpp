// The Pro Line 4 flight-plan data window in every row form on both map
// pages, its times across the hour and midnight and the destination fuel;
// the map pages' own pieces; the MD-80 plan and map modes.
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "src/util/text.h"
#include "tests/instruments/ehsi/map_test_support.h"
#include "tests/support/turning_route.h"

namespace ovi::ehsi::test {
namespace {

class MapPagesTest : public EhsiMapTest {
 public:
  // ORIG and PREV passed, ACTV 20.25 NM ahead (its guidance distance),
  // NEXT and DEST 30 NM apart beyond it, all on one meridian; 300 kt (5 NM
  // a minute), UTC 10:45. The quarter keeps the truncated arrival minutes
  // off a whole minute.
  void SetUp() override {
    EhsiMapTest::SetUp();
    Entry(0, "ORIG", North(-30)).time_over_text = "10:00";
    Entry(1, "PREV", North(-10)).time_over_text = "10:40:59";  // cut to its field
    Entry(2, "ACTV", North(20));
    Entry(3, "NEXT", North(50));
    Entry(4, "DEST", North(80));
    Plan().ActiveWaypointIndex = 2;
    G().ActiveWaypointDistance = 20.25;
    G().GroundSpeedKnots = 300;
    G().ZuluHour = 10;
    G().ZuluMinute = 45;
    host.tokens[386] = 1000;  // gallons
    host.tokens[306] = 6.7;   // pounds a gallon
  }
  // The window's texts as "row x font text", rows 1..4 by their y.
  std::vector<std::string> Window(const std::array<float, 4>& rows) {
    Surface(kProline4);
    DrawProline4DataWindow(*g, display::ScaleToSurface(kProline4Canvas, 247, 285), rows);
    std::vector<std::string> out;
    for (const auto& t : rec.Texts()) {
      int row = 0;
      for (int i = 0; i < 4; ++i) row = t.y == rows[i] ? i + 1 : row;
      char line[160];
      std::snprintf(line, sizeof line, "%d %.1f %s %s", row, t.x, t.font_family.c_str(), t.text.c_str());
      out.push_back(line);
    }
    return out;
  }
  static bool Contains(const std::vector<std::string>& texts, const std::string& s) {
    for (const auto& t : texts)
      if (t == s) return true;
    return false;
  }
};

constexpr std::array<float, 4> kMapRows{22, 31, 40, 49};
constexpr std::array<float, 4> kArcRows{20, 30, 40, 50};

// Numbers end with their last character at 73 (distance) or 113 (hours):
// x = edge - (characters - 1) x 6.4.
TEST_F(MapPagesTest, DataWindowRowsOnBothPages) {
  G().PlaneLatitude = North(-0.25);  // 20.25 NM short of ACTV, as its distance says
  for (const auto& rows : {kMapRows, kArcRows}) {
    const auto w = Window(rows);
    for (const char* s : {"1 0.0 Arial PREV  ", "1 66.6 DA Rered 10", "1 80.0 Arial NM", "1 97.0 Courier New   -:--",
                          "1 150.0 Arial 10:40",
                          // 20.25 NM: 4.05 minutes, arrival 10:49
                          "2 0.0 Arial ACTV  ", "2 66.6 DA Rered 20", "2 113.0 DA Rered 0", "2 119.0 Courier New :",
                          "2 127.0 DA Rered 04", "2 150.0 DA Rered 10", "2 171.0 DA Rered 49",
                          // 20.25 + 30 NM: 10.05 minutes, 10:55
                          "3 0.0 Arial NEXT  ", "3 66.6 DA Rered 50", "3 127.0 DA Rered 10", "3 171.0 DA Rered 55",
                          // 20.25 + 30 + 30 NM: 16.05 minutes, 11:01
                          "4 0.0 Arial DEST  ", "4 66.6 DA Rered 80", "4 127.0 DA Rered 16", "4 150.0 DA Rered 11",
                          "4 171.0 DA Rered 01"})
      EXPECT_TRUE(Contains(w, s)) << s;
  }
  // "---LB" ends at the canvas's right edge, not past it.
  Surface(kProline4);
  DrawProline4DataWindow(*g, display::ScaleToSurface(kProline4Canvas, 247, 285), kMapRows);
  gfx::Recorder::TextItem fuel;
  ASSERT_TRUE(rec.FindText("---LB", &fuel));
  EXPECT_LT(fuel.x, 225.0f);
  EXPECT_EQ(fuel.color, colour::kWhite);
}

// The placeholders: no active waypoint (999, or an index past the last
// entry), 30 kt or less, no passage time before the active one (also the
// entry before entry 0), row 3 only two entries before the end.
TEST_F(MapPagesTest, DataWindowPlaceholders) {
  struct Case {
    int active;
    double gs;
    std::vector<std::string> texts;
  } cases[] = {
      {999,
       300,
       {"1 0.0 Courier New -----   ---    -:--", "1 81.0 Arial NM", "2 0.0 Courier New -----   ---    -:-- --:--",
        "3 0.0 Courier New -----   ---    -:-- --:--", "4 0.0 Courier New -----   ---    -:-- --:-- ----",
        "4 225.0 Arial LB"}},
      {5, 300, {"1 0.0 Courier New -----   ---    -:--", "2 0.0 Courier New -----   ---    -:-- --:--"}},
      {2, 30, {"2 97.0 Courier New   -:-- --:--", "3 97.0 Courier New   -:-- --:--",
               "4 97.0 Courier New   -:-- --:-- ----", "4 225.0 Arial LB", "2 66.6 DA Rered 20"}},
      {0, 300, {"1 0.0 Courier New -----", "1 73.0 DA Rered 0", "1 97.0 Courier New   -:--", "2 0.0 Arial ORIG  "}},
      {3, 300, {"1 0.0 Courier New -----", "3 0.0 Courier New -----   ---    -:-- --:--", "4 0.0 Arial DEST  "}},
  };
  Plan().ActiveFlightPlan[2].time_over_text.clear();
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "active " << c.active << " gs " << c.gs);
    Plan().ActiveWaypointIndex = c.active;
    G().GroundSpeedKnots = c.gs;
    const auto w = Window(kMapRows);
    for (const std::string& s : c.texts) EXPECT_TRUE(Contains(w, s)) << s;
  }
}

// The turning route at 300 kt from 10:45 UTC, 1500 lb/h on 6700 lb: 31 NM
// to ACTV, EQTR and DEST along the path LNAV flies round the right angles
// (`Along`), timed at the ground speed, the fuel burnt over the whole way.
// 4 NM to EAST: the discontinuity next shows the dashed row.
TEST_F(MapPagesTest, DataWindowAlongATurningRoute) {
  G().TocPassed = 1;
  host.tokens[421] = 1500;
  // A distance's figures as the window draws them (x by its length).
  auto figures = [](double d) {
    const Proline4WindowTimes t = Proline4TimesOver(d, 300);
    const std::string nm = util::Format("%.0f", d);
    return std::vector<std::string>{util::Format("%.1f DA Rered ", 73.0 - 6.4 * (nm.size() - 1.0)) + nm,
                                    util::Format("127.0 DA Rered %02.0f", t.ete_minutes),
                                    util::Format("171.0 DA Rered %02d", t.eta_minutes)};
  };
  for (int active : {2, 4}) {
    ovi::test::FlyTurningRoute(active == 2 ? 31 : 4, 300, active);
    const double dest = ovi::test::Along(7);
    std::vector<std::string> texts = {
        active == 2 ? "3 0.0 Arial EQTR  " : "3 0.0 Courier New -----   ---    -:-- --:--",
        util::Format("%.0fLB", Proline4DestinationFuel(dest, 300, 1500, 6700, M().DescentSpeed))};
    if (active == 2)
      for (const std::string& t : figures(ovi::test::Along(3))) texts.push_back("3 " + t);
    for (const std::string& t : figures(dest)) texts.push_back("4 " + t);
    const auto w = Window(kMapRows);
    for (const std::string& t : texts) {
      bool found = Contains(w, t);
      for (const std::string& shown : w) found = found || (shown.rfind("4 ", 0) == 0 && shown.ends_with(" " + t));
      EXPECT_TRUE(found) << active << ": " << t;
    }
  }
}

// After the top of climb the fuel at the destination: 6700 lb on board and
// no flow leave 6700 LB, or 6700 x 0.45359237 = 3039 KG; with the
// destination active its distance is the one flown over.
TEST_F(MapPagesTest, DestinationFuelInBothUnits) {
  G().TocPassed = 1;
  auto fuel_text = [&]() {
    for (const auto& t : Window(kArcRows))
      if (t.rfind("4 ", 0) == 0 && (t.find("LB") != std::string::npos || t.find("KG") != std::string::npos))
        return t.substr(t.rfind(' ') + 1);
    return std::string();
  };
  EXPECT_EQ(fuel_text(), "6700LB");
  M().WeightUnit = "KGS";
  EXPECT_EQ(fuel_text(), "3039KG");
  G().TocPassed = 0;
  EXPECT_EQ(fuel_text(), "---KG");

  // 1500 lb/h at 300 kt burns 5 lb a NM over the whole distance to go: D4
  // (80.25 NM) while ACTV is active, 60 NM once DEST is.
  M().WeightUnit = "LBS";
  G().TocPassed = 1;
  host.tokens[421] = 1500;
  G().PlaneLatitude = North(-0.25);
  EXPECT_EQ(fuel_text(), "6299LB");
  Plan().ActiveWaypointIndex = 4;
  G().PlaneLatitude = North(20);
  G().ActiveWaypointDistance = 60;
  EXPECT_EQ(fuel_text(), "6400LB");

  // Hand-worked: 50 NM at 400 kt burning 2400 lb/h from 10000: 300 lb. 300
  // NM with the last 100 at 85 % of 250 kt: mean (21250 + 80000) / 300 =
  // 337.5 kt, burn 2400 x 300 / 337.5 x 337.5 / 400 = 1800. At 100 kt the
  // mean 137.5 stays: 2400 x 300 / 137.5 = 5236.4.
  EXPECT_NEAR(Proline4DestinationFuel(50, 400, 2400, 10000, 250), 9700, 1e-9);
  EXPECT_NEAR(Proline4DestinationFuel(300, 400, 2400, 10000, 250), 8200, 1e-9);
  EXPECT_NEAR(Proline4DestinationFuel(300, 100, 2400, 10000, 250), 10000 - 2400 * 300 / 137.5, 1e-9);
  EXPECT_NEAR(Proline4DestinationFuel(0, 400, 2400, 10000, 250), 10000, 1e-9);
}

// Time en route and arrival across the hour and midnight; the MD-80's
// arrival clock likewise.
TEST_F(MapPagesTest, TimesAcrossTheHourAndMidnight) {
  struct Case {
    double nm, gs, hour, minute;
    double ete_h, ete_m, eta_h;
    int eta_m;
  } cases[] = {
      {62, 31, 23, 50, 2, 0, 1, 50},     // 120 minutes exactly
      {100, 300, 10, 45, 0, 20, 11, 5},  // minutes carried into the hour
      {298, 300, 10, 0, 1, 0, 10, 59},   // 59.6 minutes: 1:00 en route, 10:59 arrival
      {1, 60, 23, 59, 0, 1, 0, 0},       // midnight
      {30000, 500, 10, 0, 60, 0, 22, 0}, // sixty hours ahead
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.nm << " NM at " << c.gs);
    G().ZuluHour = c.hour;
    G().ZuluMinute = c.minute;
    const Proline4WindowTimes t = Proline4TimesOver(c.nm, c.gs);
    EXPECT_DOUBLE_EQ(t.ete_hours, c.ete_h);
    EXPECT_DOUBLE_EQ(t.ete_minutes, c.ete_m);
    EXPECT_DOUBLE_EQ(t.eta_hours, c.eta_h);
    EXPECT_EQ(t.eta_minutes, c.eta_m);
  }
  struct Clock {
    double nm, gs, hour, minute;
    int h, m;
  } clocks[] = {{250, 450, 23, 50, 0, 23}, {62, 31, 23, 50, 1, 50}, {298, 300, 10, 0, 11, 0}, {1, 60, 23, 59, 0, 0}};
  for (const Clock& c : clocks) {
    G().ZuluHour = c.hour;
    G().ZuluMinute = c.minute;
    const Md80Clock eta = Md80ArrivalOver(c.nm, c.gs);
    EXPECT_EQ(eta.hours, c.h) << c.nm;
    EXPECT_EQ(eta.minutes, c.m) << c.nm;
  }
}

// The map page's range label (left of the ring's top by the range's size)
// and north mark; the arc map page's range figures and the short radial
// marks at 20 NM and less; the wind arrow from 1 kt.
TEST_F(MapPagesTest, MapPagePieces) {
  auto page = [&](int mode, double range, double wind) {
    M().PROLINE4MFDMode = mode;
    M().Proline4MapRange = range;
    G().WindSpeed = wind;
    dc = std::make_unique<gfx::DeviceContext>(247, 285);
    rec.Clear();
    dc->recorder = &rec;
    sx = sy = 1.0;
    const PIXSIZE size{247, 285};
    DrawProline4Mfd(ehsi_state.Proline4Display, dc.get(), &size, 1);
  };
  page(2, 160, 0.9);
  EXPECT_TRUE(TextAt("160", At(113, 85)));
  EXPECT_TRUE(TextAt("N", At(118, 70)));
  EXPECT_EQ(M().Proline4MapRadius, 70);
  EXPECT_FALSE(HasLine(colour::kWhite, At(20, 90), At(20, 80)));  // no arrow below 1 kt
  G().WindDirectionMagnetic = 180;
  page(2, 80, 1.0);
  EXPECT_TRUE(TextAt("80 ", At(116, 85)));
  EXPECT_TRUE(HasLine(colour::kWhite, At(20, 90), At(20, 80)));  // wind from 180: blowing north

  page(3, 5, 0);
  EXPECT_EQ(M().Proline4MapRadius, 140);
  EXPECT_TRUE(TextAt("5  ", At(123 - 125, 220 - 65)));
  EXPECT_TRUE(TextAt("2.5", At(123 - 85, 220 - 25)));
  // 28 units a NM: the marks run from 42 to 56 units out, at all twelve places.
  int marks = 0;
  for (const auto* op : Ops(OpKind::Line, colour::kWhite))
    marks += std::fabs(std::hypot(op->points[0].X - 123, op->points[0].Y - 220) - 42) < 0.5 ? 1 : 0;
  EXPECT_EQ(marks, 12);
  page(3, 40, 0);
  marks = 0;
  for (const auto* op : Ops(OpKind::Line, colour::kWhite))
    marks += std::fabs(std::hypot(op->points[0].X - 123, op->points[0].Y - 220) - 5.25) < 0.5 ? 1 : 0;
  EXPECT_EQ(marks, 0);
}

// The MD-80's map modes: distance and arrival to the active waypoint (the
// arrival only above 30 kt), the plan's ring 70 units higher with its north
// arrow, the map's aircraft and wind.
TEST_F(MapPagesTest, Md80PlanAndMapModes) {
  auto draw = [&](int mode) {
    M().MD80EHSIMode = mode;
    dc = std::make_unique<gfx::DeviceContext>(266, 232);
    rec.Clear();
    dc->recorder = &rec;
    sx = sy = 1.0;
    const PIXSIZE size{266, 232};
    DrawMd80Ehsi(ehsi_state.Md80Display, dc.get(), &size, 1);
  };
  G().ActiveWaypointDistance = 250;
  G().GroundSpeedKnots = 450;
  G().ZuluHour = 23;
  G().ZuluMinute = 50;
  G().WindSpeed = 12;
  draw(3);
  EXPECT_TRUE(TextAt("250NM", At(0, 4)));
  EXPECT_TRUE(TextAt("0023Z", At(218, 4)));
  EXPECT_TRUE(TextAt("12", At(5, 170)));
  EXPECT_TRUE(HasLine(colour::kWhite, At(133, 204), At(143, 224)));  // the triangle's apex on the centre
  EXPECT_FALSE(Has("N"));

  G().ActiveWaypointDistance = 62.44;
  G().GroundSpeedKnots = 30;
  draw(2);
  EXPECT_EQ(ehsi_state.Md80EhsiCentreY, 134);
  EXPECT_TRUE(TextAt("62.4NM", At(0, 4)));
  EXPECT_FALSE(Has("ETA"));
  EXPECT_TRUE(TextAt("N", At(246, 129)));
  EXPECT_TRUE(TextAt(" 10", At(133 - 85, 129)));  // half the range at both sides of the ring
  EXPECT_TRUE(TextAt(" 10", At(133 + 55, 129)));
  EXPECT_FALSE(Has("12"));  // no wind north up

  Plan().ActiveWaypointIndex = 999;
  draw(3);
  EXPECT_FALSE(Has("DTW"));
}

}  // namespace
}  // namespace ovi::ehsi::test
