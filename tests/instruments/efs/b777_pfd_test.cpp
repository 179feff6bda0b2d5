// The B777 PFD on a recording surface, at the design size (247 x 294) and
// the canvas size (260 x 260): blanking, ladder and sky under pitch and
// bank, the pitch limit indicator, the flight director and the flight path
// vector; the speed tape's marks, limits, V-speeds and drum; the altitude
// tape's labels near zero and its drum across carries; the vertical speed
// needle; the mode strip in every combination; readouts, deviation scales,
// markers and the heading arc across north.
#include "src/instruments/efs/b777/b777_pfd.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <tuple>

#include "src/instruments/efs/state.h"
#include "tests/instruments/efs/attitude_test_support.h"

namespace ovi::efs::test {
namespace {

constexpr gfx::ARGB kWhite = 0xFFDEE6E9, kGreen = 0xFF00FA00, kAmber = 0xFFE9B73E, kMagenta = 0xFFFF13D5;
constexpr gfx::ARGB kRedPen = 0xFFFF0000, kRedFill = 0xFFFA0000;
constexpr gfx::ARGB kSky = 0xFF2875C5, kGround = 0xFF78661C;  // the default colour settings

class B777Test : public AttitudeTest {
 public:
  void Draw(int w = 247, int h = 294, int variant = 1) {
    sx = static_cast<float>(w) / 260.0f;
    sy = static_cast<float>(h) / 260.0f;
    k = 16.0 * (w + h) / 260.0;
    wx = static_cast<float>(w / (16.0 * (w + h)));
    wy = static_cast<float>(h / (16.0 * (w + h)));
    AttitudeTest::Draw(DrawB777Pfd, efs_state.B777PfdDisplay, w, h, variant);
  }
  // A canvas-pass point about `origin_y` (the attitude centre, or the
  // heading arc's 360), turned `degrees`.
  PointF Canvas(double x, double y, double degrees = 0, double origin_y = 130) const {
    const double r = degrees * M_PI / 180.0;
    return PointF(static_cast<float>((115 + x * std::cos(r) - y * std::sin(r)) * sx),
                  static_cast<float>((origin_y + x * std::sin(r) + y * std::cos(r)) * sy));
  }
  // A fine-pass point: each axis k times, truncated, turned `degrees`.
  PointF Fine(double x, double y, double degrees = 0) const {
    const double r = degrees * M_PI / 180.0, fx = std::trunc(x * k), fy = std::trunc(y * k);
    return PointF(static_cast<float>((115 * k + fx * std::cos(r) - fy * std::sin(r)) * wx),
                  static_cast<float>((130 * k + fx * std::sin(r) + fy * std::cos(r)) * wy));
  }
  bool FineText(const std::string& text, double x, double y, gfx::ARGB c = 0) const {
    return TextAt(text, Fine(x, y), c);
  }
  int CountLines(gfx::ARGB c) const { return static_cast<int>(Ops(OpKind::Line, c).size()); }

  float sx = 1, sy = 1, wx = 1, wy = 1;
  double k = 1;
};

TEST_F(B777Test, DisplayPowerOffAndVariantTwoClearToItsOwnColour) {
  for (auto [power, variant] : {std::pair{0, 1}, std::pair{1, 2}}) {
    G().DisplayPower = power;
    Draw(247, 294, variant);
    ASSERT_EQ(rec.Size(), 1u);
    EXPECT_EQ(rec.Ops()[0].color, 0x0072BD61u);
  }
}

// Level: the horizon through the centre, 5-degree rungs 15 units off from
// -16 to 16, 10-degree rungs 30 off from -32 to 32 with "10" both sides,
// the short marks 8 toward the horizon. A bank of 30 turns them about the
// centre; the symbol stays level.
TEST_F(B777Test, LadderUnderPitchAndBank) {
  for (auto [w, h] : {std::pair{247, 294}, std::pair{260, 260}}) {
    Draw(w, h);
    EXPECT_TRUE(HasLine(kWhite, Fine(-130, 0), Fine(130, 0))) << w;
    for (const int side : {-1, 1}) {
      EXPECT_TRUE(HasLine(kWhite, Fine(-16, 15 * side), Fine(16, 15 * side))) << w;
      EXPECT_TRUE(HasLine(kWhite, Fine(-32, 30 * side), Fine(32, 30 * side))) << w;
      EXPECT_TRUE(HasLine(kWhite, Fine(-8, 7 * side), Fine(8, 7 * side))) << w;
      EXPECT_TRUE(FineText("10", 32, 30 * side - 5) && FineText("10", -45, 30 * side - 5)) << w;
    }
  }
  G().PitchAttitude = -10;  // nose up 10: the horizon 30 below
  G().BankAttitude = 30;
  Draw(260, 260);
  EXPECT_TRUE(HasLine(kWhite, Fine(-130, 30, 30), Fine(130, 30, 30)));
  EXPECT_TRUE(HasLine(kWhite, Fine(-32, 0, 30), Fine(32, 0, 30)));  // the 10 above the horizon
  EXPECT_TRUE(ShapeStartsAt(OpKind::Lines, kWhite, Canvas(0, 0)));  // the chevron's outline, level
  // Beyond 90 degrees the horizon leaves the window to one colour: nose up
  // the ground has no height left, nose down the sky lies all above it.
  for (auto [pitch, sky, ground] : {std::tuple{-100.0, 1, 0}, {100.0, 1, 1}, {0.0, 1, 1}}) {
    G().PitchAttitude = pitch;
    G().BankAttitude = 0;
    Draw();
    EXPECT_EQ(rec.Count(OpKind::Rectangle, kSky, 1), sky) << pitch;
    EXPECT_EQ(rec.Count(OpKind::Rectangle, kGround, 1), ground) << pitch;
  }
}

// Only while token 907 is above 0; at the height token 349 gives, fixed
// from 25000 on.
TEST_F(B777Test, PitchLimitIndicator) {
  Draw();
  EXPECT_EQ(CountLines(kAmber), 0);
  host.tokens[907] = 1;
  for (auto [reference, y] : {std::pair{0.0, 37.0}, {10000.0, 5.0}, {24999.0, -42.9968}, {25000.0, -40.0}}) {
    host.tokens[349] = reference;
    Draw();
    EXPECT_TRUE(HasLine(kAmber, Fine(-30, y), Fine(-30, y - 6))) << reference;
    EXPECT_TRUE(HasLine(kAmber, Fine(39, y - 5), Fine(42, y - 12))) << reference;
    EXPECT_EQ(CountLines(kAmber), 10) << reference;
  }
}

// The bars only while the switch is on, then frozen where they were; the
// flight path vector by DispFPV and ground speed, pinned and flashing.
TEST_F(B777Test, FlightDirectorAndFlightPathVector) {
  D().FdRollBarShown = 5;
  D().FdPitchBarShown = 2;
  G().FlightDirectorBank = -20;
  auto bars = [&] {
    int n = 0;
    for (const gfx::RecordedOp* op : Ops(OpKind::Lines, kMagenta)) n += op->points.size() == 13 ? 1 : 0;
    return n;
  };
  Draw();
  EXPECT_EQ(bars(), 0);
  EXPECT_EQ(D().FdRollBarShown, 5.0);
  host.tokens[792] = 1;  // targets: roll 20, pitch 0
  Draw();
  EXPECT_EQ(bars(), 1);
  EXPECT_TRUE(ShapeStartsAt(OpKind::Lines, kMagenta, Canvas(0, 5, 5.33)));  // p = trunc(3 x 1.89)
  M().EadiDualCue = 1;
  Draw();
  EXPECT_TRUE(HasLine(kMagenta, Canvas(13, -45), Canvas(13, 45)));  // trunc(2.4 x 5.66)
  EXPECT_TRUE(HasLine(kMagenta, Canvas(-45, 5), Canvas(45, 5)));    // trunc(3 x 1.78)
  host.tokens[792] = 0;
  M().DispFPV = 1;
  G().DriftAngle = 4;
  struct Case {
    double gs, token65;
    int frame;
    bool drawn;
    double x, y;
  } cases[] = {
      {300, 0, 0, true, 12, 0},        // level: sideways by 3 x drift
      {60, 0, 0, false, 0, 0},         // 60 kt: none
      {300, -26010, 7, true, 12, 70},  // -20000 ft/min: 120 down, pinned at 70, flashing
      {300, -26010, 8, false, 0, 0},
  };
  for (const Case& c : cases) {
    G().GroundSpeedKnots = c.gs;
    host.tokens[65] = c.token65;
    G().FrameCounter = c.frame;
    Draw();
    const auto circles = Ops(OpKind::Ellipse, kWhite);
    bool found = false;
    for (const gfx::RecordedOp* op : circles) found = found || Near(op->points[0], Canvas(c.x, c.y));
    EXPECT_EQ(found, c.drawn) << c.gs << " " << c.token65 << " " << c.frame;
  }
}

TEST_F(B777Test, RadioAltitudeBelow2500) {
  G().RadioAltitudeFeet = 2499;
  Draw();
  EXPECT_TRUE(TextAt("2499", Canvas(-20, 53), kWhite, 15));
  G().RadioAltitudeFeet = 2500;
  Draw();
  EXPECT_FALSE(Has("2500"));
}

// 1.5 units a knot; multiples of 10 from S0 - 70 up to S0 + 70 (not
// included), none below 0, labels every 20; the readout's hundreds and tens
// fixed and the units on the drum, 15 units a digit.
TEST_F(B777Test, SpeedTapeMarksAndDrum) {
  G().SmoothedAirspeed = 245.5;
  Draw();
  EXPECT_TRUE(HasLine(kWhite, Fine(-86, 98.25), Fine(-80, 98.25)));       // 180
  EXPECT_TRUE(HasLine(kWhite, Fine(-86, -96.75), Fine(-80, -96.75)));     // 310
  EXPECT_FALSE(HasLine(kWhite, Fine(-86, -111.75), Fine(-80, -111.75)));  // 320
  for (int label = 180; label <= 300; label += 20) {
    EXPECT_TRUE(FineText(std::to_string(label), -110, 1.5 * (245.5 - label) - 5)) << label;
  }
  EXPECT_FALSE(Has("160") || Has("320"));
  EXPECT_TRUE(FineText("2", -117, -7) && FineText("4", -109, -7));
  for (auto [digit, y] : {std::pair{"5", 0.5}, {"6", -14.5}, {"7", -29.5}, {"4", 15.5}, {"3", 30.5}}) {
    EXPECT_TRUE(FineText(digit, -101, y)) << digit;
  }
  struct Readout {
    double speed;
    const char *hundreds, *tens, *units;
    double y;
  } readouts[] = {{0, " ", " ", "0", -7},       {0.99, " ", " ", "0", -7}, {9.5, " ", " ", "9", 0.5},
                  {99.99, " ", "9", "9", 7.85}, {-5, " ", " ", "0", -7},   {1500, "9", "9", "9", 7.85},
                  {100, "1", "0", "0", -7}};
  for (const Readout& r : readouts) {
    G().SmoothedAirspeed = r.speed;
    Draw();
    EXPECT_TRUE(FineText(r.hundreds, -117, -7) && FineText(r.tens, -109, -7)) << r.speed;
    EXPECT_TRUE(FineText(r.units, -101, r.y)) << r.speed;
  }
  G().SmoothedAirspeed = 0;
  Draw();
  for (const char* label : {"  0", " 20", " 40", " 60"}) EXPECT_TRUE(Has(label)) << label;
  EXPECT_FALSE(Has(" 80"));
  EXPECT_FALSE(Has("-10") || Has("-20"));
}

// The trend line from the readout's pointer toward the speed to come
// (higher speeds up), 252 units a unit of the trend average, never beyond
// 92 either way; its arrow head only beyond 1.
TEST_F(B777Test, SpeedTrendLineStopsAt92EitherWay) {
  G().SmoothedAirspeed = 250;
  struct Case {
    double trend_average, end;
    bool head;
  } cases[] = {{0.2, -50.4, true}, {-0.2, 50.4, true}, {0.5, -92, true}, {-0.5, 92, true},
               {100.0, -92, true}, {-100.0, 92, true}, {0.003, -0.756, false}};
  for (const Case& c : cases) {
    G().TrendAverage = c.trend_average;
    Draw();
    EXPECT_TRUE(HasLine(kGreen, Fine(-83, 0), Fine(-83, c.end))) << c.trend_average;
    const double tip = c.end < 0 ? c.end - 1 : c.end + 1, base = c.end < 0 ? c.end + 2 : c.end - 2;
    EXPECT_EQ(HasLine(kGreen, Fine(-85, base), Fine(-83, tip)), c.head) << c.trend_average;
  }
}

// Barber poles above 200 ft only; V-speeds by their differences and the
// radio altitude; V1 taken from VR.
TEST_F(B777Test, SpeedLimitsAndVSpeeds) {
  host.tokens[63] = 300 * 128;
  host.calculator["(A:Design Speed VS1, knots)"] = 130;
  G().SmoothedAirspeed = 250;
  for (auto [ra, red] : {std::pair{200.0, 0}, {201.0, 80}}) {
    G().RadioAltitudeFeet = ra;
    Draw();
    EXPECT_EQ(CountLines(kRedPen), red) << ra;
  }
  EXPECT_TRUE(HasLine(kRedPen, Fine(-80, -75), Fine(-75, -75)));          // 300 kt
  EXPECT_TRUE(HasLine(kAmber, Fine(-77, 172.5 - 20), Fine(-77, 172.5)));  // 135 kt
  G().RadioAltitudeFeet = 0;
  Draw();
  EXPECT_TRUE(FineText("NO", -81, -57, kAmber) && FineText("V", -78, -47) && FineText("S", -78, -37) &&
              FineText("P", -78, -30) && FineText("D", -78, -23));
  M().VR = 140;
  M().V2 = 150;
  G().SmoothedAirspeed = 140;
  Draw();
  EXPECT_EQ(M().V1, 140);
  EXPECT_TRUE(FineText("R", -78, -7, kAmber));
  EXPECT_FALSE(Has("V1") || Has("VR") || Has("V2") || Has("NO"));
  M().V1 = 130;
  for (auto [ra, v1, v2] : {std::tuple{10.0, true, true}, {500.0, false, true}, {900.0, false, false}}) {
    G().RadioAltitudeFeet = ra;
    Draw();
    EXPECT_EQ(FineText("V1", -81, 8) && FineText("VR", -81, -7), v1) << ra;
    EXPECT_EQ(FineText("V2", -81, -22), v2) << ra;
  }
  M().VREF = 140;
  for (auto [ra, shown] : {std::pair{300.0, false}, {301.0, true}}) {
    G().RadioAltitudeFeet = ra;
    Draw();
    EXPECT_EQ(FineText("REF", -82, -3, kGreen), shown) << ra;
  }
}

// 0.2455 units a foot; labels every 200 ("%03.0f"), the ground mark at 0;
// the readout's first three digits fixed and the last two on a drum of
// 20-foot steps, 12 units apart, 0.6 units a foot.
TEST_F(B777Test, AltitudeTapeLabelsAndDrum) {
  Draw();
  EXPECT_TRUE(FineText("000", 93, -5) && FineText("200", 93, -0.2455 * 200 - 5) &&
              FineText("-200", 93, 0.2455 * 200 - 5));
  EXPECT_TRUE(HasLine(kWhite, Fine(85, -5), Fine(120, -5)) && HasLine(kWhite, Fine(85, 5), Fine(120, 5)));
  struct Case {
    double altitude;
    const char *first, *second, *third, *drum, *above;
    double y;
  } cases[] = {
      {12345, "1", "2", "3", "40", "60", -2},                                         // tens 4, 5 ft above the step
      {12375, "1", "2", "3", "60", "80", 4},                                          // tens 7 counts as 6, 15 ft above
      {12399.5, "1", "2", "3", "80", "00", 6.7},                                      // 19.5 ft above 80
      {50, " ", " ", " ", "40", "60", 1},        {5, " ", " ", " ", "00", "20", -2},  // below 10 ft the tens show as 0
      {-350, " ", "-", "3", "40", "60", 1},                                           // a minus sign before the digits
      {150000, "9", "9", "9", "80", "00", 6.94},                                      // held at 99999.9
  };
  for (const Case& c : cases) {
    G().AircraftAltitude = c.altitude;
    Draw();
    EXPECT_TRUE(FineText(c.first, 91, -6) && FineText(c.second, 99, -6) && FineText(c.third, 107, -6)) << c.altitude;
    EXPECT_TRUE(FineText(c.drum, 113, c.y) && FineText(c.above, 113, c.y - 12)) << c.altitude;
  }
  G().AircraftAltitude = 12345;
  Draw();
  EXPECT_TRUE(FineText("12400", 93, -0.2455 * 55 - 5));
}

// The needle meets the marks: 1.4 units at 50 ft/min, 38 at 1500, 64 from
// 6000; the readout beyond 100 ft/min either way, toward zero to hundreds,
// a five-character one 4 units further left to end on the canvas.
TEST_F(B777Test, VerticalSpeedNeedleAndReadout) {
  struct Case {
    double fpm, units;
    const char* readout;
    double x, y;
  } cases[] = {{50, -1.4, nullptr, 0, 0},       {100, -2.8, nullptr, 0, 0},    {101, -2.828, " 100", 123, -83},
               {1500, -38, "1500", 123, -83},   {-6000, 64, "-6000", 119, 73}, {-8000, 64, "-8000", 119, 73},
               {-999, 27.972, "-900", 123, 73}, {-1000, 28, "-1000", 119, 73}, {2500, -50, "2500", 123, -83},
               {12000, -64, "12000", 119, -83}};
  for (const Case& c : cases) {
    G().VerticalSpeedFpm = c.fpm;
    Draw();
    EXPECT_TRUE(HasLine(kWhite, Canvas(145, 0), Canvas(130, c.units))) << c.fpm;
    if (c.readout != nullptr) {
      EXPECT_TRUE(TextAt(c.readout, Canvas(c.x, c.y))) << c.fpm;
    } else {
      for (const auto& t : rec.Texts()) {
        EXPECT_FALSE(Near({t.x, t.y}, Canvas(123, -83)) || Near({t.x, t.y}, Canvas(123, 73))) << c.fpm << t.text;
      }
    }
  }
  EXPECT_DOUBLE_EQ(B777VerticalSpeedUnits(999), 999 * 0.028);
  EXPECT_DOUBLE_EQ(B777VerticalSpeedUnits(6001), 64);
  EXPECT_DOUBLE_EQ(B777VerticalSpeedUnits(1e300), 64);
  EXPECT_DOUBLE_EQ(B777VerticalSpeedUnits(-4000), 56);
}

TEST_F(B777Test, ModeStripInEveryCombination) {
  struct Case {
    double master;
    int fd, heading, lnav, vnav;
    double altitude, speed, mach, approach;
    int set_speed;
    std::vector<std::string> shown;
  } cases[] = {
      {0, 1, 0, 1, 1, 0, 0, 0, 0, 1, {"FLT DIR", "LNAV", "VNAV"}},
      {1, 0, 0, 0, 1, 1, 0, 0, 0, 1, {"A/P", "VNAV PTH"}},
      {1, 0, 0, 0, 1, 1, 1, 0, 0, 1, {"A/P", "SPD", "VNAV SPD"}},
      {1, 0, 0, 0, 1, 1, 1, 0, 0, 0, {"A/P", "SPD", "VNAV PTH"}},
      {1, 1, 1, 1, 0, 1, 1, 1, 0, 1, {"A/P", "MACH", "LNAV", "ALT"}},
      {1, 0, 1, 0, 0, 0, 0, 0, 1, 1, {"A/P", "HDG SEL", "APP"}},
      {0, 0, 0, 0, 0, 0, 0, 0, 0, 1, {}},
  };
  const char* every[] = {"SPD",      "MACH",     "A/P", "FLT DIR", "LNAV", "HDG SEL",
                         "VNAV SPD", "VNAV PTH", "ALT", "APP",     "VNAV"};
  for (const Case& c : cases) {
    G().ApMaster = c.master;
    host.tokens[792] = c.fd;
    G().ApHeadingLock = c.heading;
    G().LnavEngaged = c.lnav;
    G().VnavEngaged = c.vnav;
    G().ApAltitudeLock = c.altitude;
    G().ApAirspeedHold = c.speed;
    G().ApMachHold = c.mach;
    G().ApApproachHold = c.approach;
    M().VnavSetSpd = c.set_speed;
    Draw();
    for (const char* text : every) {
      const bool expected = std::find(c.shown.begin(), c.shown.end(), text) != c.shown.end();
      EXPECT_EQ(static_cast<int>(TextsEqual(text).size()), expected ? 1 : 0)
          << text << " in case " << c.master << c.fd << c.heading << c.lnav;
    }
  }
  // Armed modes in white under their fields, engaged ones in green in them.
  G().ApMaster = 0;
  host.tokens[792] = 1;
  G().ApHeadingLock = 0;
  G().LnavEngaged = 1;
  G().VnavEngaged = 1;
  G().ApAltitudeLock = 0;
  G().ApApproachHold = 0;
  Draw();
  EXPECT_TRUE(TextAt("FLT DIR", Canvas(-29, -90), kGreen, 13) && TextAt("LNAV", Canvas(-15, -118), kWhite, 9) &&
              TextAt("VNAV", Canvas(30, -118), kWhite, 9));
  G().ApHeadingLock = 1;
  Draw();
  EXPECT_TRUE(TextAt("LNAV", Canvas(-18, -130), kGreen, 12));
}

// STD from 1013.0 up to 1013.4 hPa; Mach from 0.4 as a point and three
// digits, from 1 with three decimals; the selected speed as Mach while Mach
// hold is on.
TEST_F(B777Test, AltimeterMachAndSelectedValues) {
  for (auto [mb, standard] : {std::pair{1013.0, true}, {1013.2, true}, {1013.4, false}, {1012.99, false}}) {
    G().BaroPressureMillibars = mb;
    G().BarometricPressureInHg = mb * 0.000986923 * 29.92;
    Draw();
    EXPECT_EQ(TextAt("STD", Canvas(85, 105), kGreen, 11), standard) << mb;
    if (mb == 1013.4) {
      EXPECT_TRUE(TextAt("29.92 IN", Canvas(85, 100), kGreen) && TextAt("1013 HPA", Canvas(85, 115), kWhite));
    }
  }
  for (auto [mach, text] : {std::pair{0.39, ""}, {0.4, ".400"}, {0.785, ".785"}, {1.02, "1.020"}, {0.9996, "1.000"}}) {
    G().MachNumber = mach;
    Draw();
    bool any = false;
    for (const auto& t : rec.Texts()) any = any || Near({t.x, t.y}, Canvas(-110, 100));
    EXPECT_EQ(any, *text != '\0') << mach;
    if (*text != '\0') {
      EXPECT_TRUE(TextAt(text, Canvas(-110, 100), kWhite, 15)) << mach;
    }
  }
  G().ApAirspeedHoldVar = 250;
  G().ApAltitudeLockVar = 12000;
  Draw();
  EXPECT_TRUE(TextAt("250", Canvas(-110, -118), kMagenta, 13) && TextAt("12000", Canvas(80, -118), kMagenta, 13));
  G().ApMachHold = 1;
  host.tokens[118] = 0.82;
  Draw();
  EXPECT_TRUE(TextAt("0.82", Canvas(-110, -118), kMagenta, 13));
}

// The station line and the localizer only with a signal; the glideslope by
// its own flag; 34 units for a full-scale needle; the ident bounded.
TEST_F(B777Test, RadioFieldsAndDeviationScales) {
  Radio(0, 0x40);
  G().Nav1GlideslopeNeedle = 127;
  G().Nav1CdiNeedle = -127;
  Draw();
  EXPECT_FALSE(rec.FindTextContaining("DME"));
  // Each diamond from its left corner: (71, g) and (l - 5, 85).
  EXPECT_TRUE(ShapeStartsAt(OpKind::Polygon, kMagenta, Canvas(71, 33)));
  EXPECT_FALSE(ShapeStartsAt(OpKind::Polygon, kMagenta, Canvas(-38, 85)));
  Radio(1, 0x80);
  G().SelectedCourse = 163;
  G().Nav1DmeDistance = 12.34;
  host.texts[47] = "SEA";
  Draw();
  EXPECT_TRUE(TextAt("SEA/163\u00B0", Canvas(-70, -100)) && TextAt("DME 12.3", Canvas(-70, -90)));
  EXPECT_TRUE(ShapeStartsAt(OpKind::Polygon, kMagenta, Canvas(-38, 85)));
  EXPECT_FALSE(ShapeStartsAt(OpKind::Polygon, kMagenta, Canvas(71, 33)));
  const std::string long_ident(200, 'A');
  host.texts[47] = long_ident.c_str();
  Draw();
  EXPECT_TRUE(TextAt(std::string(63, 'A') + "/163\u00B0", Canvas(-70, -100)));
  host.texts[47] = nullptr;
  Draw();
  EXPECT_TRUE(TextAt("/163\u00B0", Canvas(-70, -100)));
}

// Markers flash with the 18-value cycle: drawn for 0 to 7.
TEST_F(B777Test, MarkerBeaconsFlash) {
  struct Case {
    double value;
    int frame;
    const char* text;
    gfx::ARGB colour;
  } cases[] = {{1, 0, "OM", kRedFill}, {1, 7, "OM", kRedFill}, {1, 8, nullptr, 0},
               {2, 3, "MM", kAmber},   {3, 3, "IM", kWhite},   {4, 3, nullptr, 0}};
  for (const Case& c : cases) {
    host.tokens[354] = c.value;
    G().FrameCounter = c.frame;
    Draw();
    if (c.text == nullptr) {
      EXPECT_FALSE(Has("OM") || Has("MM") || Has("IM")) << c.value << " " << c.frame;
      continue;
    }
    EXPECT_TRUE(TextAt(c.text, Canvas(50, -70), c.colour)) << c.value << " " << c.frame;
  }
  host.tokens[354] = 1;
  G().FrameCounter = 0;
  Draw();
  EXPECT_EQ(rec.Count(OpKind::Ellipse, kRedPen, 0), 1);
}

// Marks within 55 degrees of the heading, also across north; labels in
// tens, "0" for north, multiples of 30 larger and 3 units further left.
TEST_F(B777Test, HeadingArcAcrossNorth) {
  G().AircraftHeading = 358;
  Draw();
  struct Label {
    int heading;
    const char* text;
  } shown[] = {{310, "31"}, {320, "32"}, {330, "33"}, {340, "34"}, {350, "35"}, {0, "0"},
               {10, "01"},  {20, "02"},  {30, "03"},  {40, "04"},  {50, "05"}};
  for (const Label& l : shown) {
    const bool major = l.heading % 30 == 0;
    const double x = (l.heading == 0 ? -3 : -6) - (major ? 3 : 0);
    EXPECT_TRUE(TextAt(l.text, Canvas(x, -127, l.heading - 358, 360), kWhite, major ? 10 : 7)) << l.text;
  }
  EXPECT_FALSE(TextAt("30", Canvas(-9, -127, -58, 360)) || TextAt("06", Canvas(-6, -127, 62, 360)));
  // 22 marks: 305 to 355 and 0 to 50.
  int marks = 0;
  for (const gfx::RecordedOp* op : Ops(OpKind::Line, kWhite)) {
    const double length = std::hypot(op->points[1].X - op->points[0].X, op->points[1].Y - op->points[0].Y);
    marks += op->pen_width == 1.0f && length > 3 * sx - 0.01 && length < 3 * sy + 0.01 ? 1 : 0;
  }
  EXPECT_EQ(marks, 22);
  G().ApHeadingLockDir = 5;
  Draw();
  EXPECT_TRUE(ShapeStartsAt(OpKind::Lines, kMagenta, Canvas(0, -130, 7, 360)));
  EXPECT_TRUE(TextAt("005", Canvas(-30, -111, 0, 360), kMagenta, 10));
}

}  // namespace
}  // namespace ovi::efs::test
