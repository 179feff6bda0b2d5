// The A320 EADI on a recording surface, at the design size (318 x 311) and
// its pop-up's (477 x 466): power off and the ignored variant, the horizon
// and ladder under pitch and bank, the radio altitude, the aircraft symbol,
// the flight director and the flight path vector; the speed scale with its
// freeze, limits and V-speeds; the altitude readout across carries and at
// its limits; the heading scale across north with its bug; the vertical
// speed; the ILS block, Mach, targets, barometric setting, markers and the
// mode row.
#include "src/instruments/efs/a320/a320_eadi.h"

#include <cmath>
#include <string>
#include <tuple>
#include <vector>

#include "src/instruments/efs/state.h"
#include "tests/instruments/efs/attitude_test_support.h"

namespace ovi::efs::test {
namespace {

constexpr gfx::ARGB kWhite = 0xFFDEE6E9, kGreen = 0xFF00FA00, kAmber = 0xFFE9B73E, kMagenta = 0xFFFF13D5;
constexpr gfx::ARGB kCyan = 0xFF26C2FF, kRed = 0xFFFF0000, kBlack = 0xFF000000;
constexpr gfx::ARGB kSky = 0xFF29A5C9, kGround = 0xFF9B6735;  // the default colour settings

void DrawA320(display::GaugeDisplay& d, gfx::DeviceContext* dc, const PIXSIZE* size, int variant) {
  DrawA320Eadi(d, dc, size, variant, kA320Model);
}

class A320Test : public AttitudeTest {
 public:
  void SetUp() override {
    AttitudeTest::SetUp();
    G().DisplayPower = 1;
  }
  void Draw(int w = 318, int h = 311, int variant = 1) {
    sx = static_cast<float>(w) / 318.0f;
    sy = static_cast<float>(h) / 310.0f;
    gx = 16.0 * (w + h) / 318.0;
    gy = 16.0 * (w + h) / 310.0;
    wx = static_cast<float>(w / (16.0 * (w + h)));
    wy = static_cast<float>(h / (16.0 * (w + h)));
    AttitudeTest::Draw(DrawA320, efs_state.A320EadiDisplay, w, h, variant);
  }
  // A centre-frame point, turned `degrees` about the centre.
  PointF Centre(double x, double y, double degrees = 0) const {
    const double r = degrees * M_PI / 180.0;
    return PointF(static_cast<float>((149 + x * std::cos(r) - y * std::sin(r)) * sx),
                  static_cast<float>((155 + x * std::sin(r) + y * std::cos(r)) * sy));
  }
  // A fine-frame point: each axis scaled and truncated, turned `degrees`.
  PointF Fine(double x, double y, double degrees = 0) const {
    const double r = degrees * M_PI / 180.0, fx = std::trunc(x * gx), fy = std::trunc(y * gy);
    return PointF(static_cast<float>((149 * gx + fx * std::cos(r) - fy * std::sin(r)) * wx),
                  static_cast<float>((155 * gy + fx * std::sin(r) + fy * std::cos(r)) * wy));
  }
  bool FineText(const std::string& text, double x, double y, gfx::ARGB c = 0) const {
    return TextAt(text, Fine(x, y), c);
  }
  bool CentreText(const std::string& text, double x, double y, gfx::ARGB c = 0) const {
    return TextAt(text, Centre(x, y), c);
  }
  bool CircleAt(gfx::ARGB c, PointF centre) const {
    for (const gfx::RecordedOp* op : Ops(OpKind::Ellipse, c))
      if (Near(op->points[0], centre)) return true;
    return false;
  }
  int CountLines(gfx::ARGB c) const { return static_cast<int>(Ops(OpKind::Line, c).size()); }

  float sx = 1, sy = 1, wx = 1, wy = 1;
  double gx = 1, gy = 1;
};

// Power off clears to transparent black and nothing else; the variant does
// not matter (2 blanks the other displays); no device context, no drawing.
TEST_F(A320Test, PowerOffClearsAndTheVariantIsIgnored) {
  G().DisplayPower = 0;
  Draw();
  ASSERT_EQ(rec.Size(), 1u);
  EXPECT_EQ(rec.Ops()[0].color, 0x00000000u);
  G().DisplayPower = 1;
  for (const int variant : {0, 1, 2, 3}) {
    Draw(318, 311, variant);
    EXPECT_TRUE(Has("STD")) << variant;
  }
  const PIXSIZE size{318, 311};
  DrawA320Eadi(efs_state.A320EadiDisplay, nullptr, &size, 1, kA320Model);
}

// 4.1 units a degree: the horizon from -149 to 149; the 10-degree rungs
// 25 each side with labels at 30 and -50, 8 above; the 5-degree ones 15
// above and 10 below; the short marks 8 toward the horizon. On the ground
// (token 60) only the horizon and the upper rungs. Turned with the bank,
// also at 90 degrees.
TEST_F(A320Test, HorizonAndLadderByPitchAndBank) {
  for (auto [w, h] : {std::pair{318, 311}, std::pair{477, 466}}) {
    Draw(w, h);
    EXPECT_TRUE(HasLine(kWhite, Fine(-149, 0), Fine(149, 0))) << w;
    EXPECT_TRUE(HasLine(kWhite, Fine(-25, -41), Fine(25, -41)) && HasLine(kWhite, Fine(-25, 41), Fine(25, 41))) << w;
    EXPECT_TRUE(FineText("10", 30, -49) && FineText("10", -50, -49) && FineText("10", 30, 33)) << w;
    EXPECT_TRUE(HasLine(kWhite, Fine(-15, -20.5), Fine(15, -20.5)) && HasLine(kWhite, Fine(-10, 20.5), Fine(10, 20.5)));
    EXPECT_TRUE(HasLine(kWhite, Fine(-10, -12.5), Fine(10, -12.5)) && HasLine(kWhite, Fine(-5, 12.5), Fine(5, 12.5)));
    // The bands at +-80 cover the rungs beyond them.
    EXPECT_TRUE(HasLine(kWhite, Fine(-80, -80), Fine(80, -80)) && HasLine(kWhite, Fine(-80, 80), Fine(80, 80)));
  }
  G().PitchAttitude = -10;  // nose up 10: the horizon 41 below
  G().BankAttitude = 30;
  Draw();
  EXPECT_TRUE(HasLine(kWhite, Fine(-149, 41, 30), Fine(149, 41, 30)));
  EXPECT_TRUE(HasLine(kWhite, Fine(-25, 0, 30), Fine(25, 0, 30)));
  EXPECT_TRUE(ShapeStartsAt(OpKind::Lines, kAmber, Centre(-47, 0)));  // the symbol stays level
  host.tokens[60] = 1;
  G().PitchAttitude = 0;
  G().BankAttitude = 90;
  Draw();
  EXPECT_TRUE(HasLine(kWhite, Fine(-25, -41, 90), Fine(25, -41, 90)));
  EXPECT_FALSE(HasLine(kWhite, Fine(-25, 41, 90), Fine(25, 41, 90)));
  EXPECT_FALSE(HasLine(kWhite, Fine(-10, -12.5, 90), Fine(10, -12.5, 90)));
  // Sky and ground still span the clipped area, turned a quarter.
  EXPECT_TRUE(ShapeStartsAt(OpKind::Polygon, kSky, Fine(-549, -555, 90)));
  EXPECT_TRUE(ShapeStartsAt(OpKind::Polygon, kGround, Fine(-549, 0, 90)));
}

// Above 0 and up to 2500 ft, "%3.0f" in amber, 5 units left a character.
TEST_F(A320Test, RadioAltitudeAtItsLimits) {
  for (auto [feet, text, x] : {std::tuple{2500.0, "2500", -20.0}, {50.0, " 50", -15.0}, {2501.0, "", 0.0},
                               {0.0, "", 0.0}, {-5.0, "", 0.0}}) {
    G().RadioAltitudeFeet = feet;
    Draw();
    EXPECT_EQ(Ops(OpKind::Text, kAmber).size(), *text != '\0' ? 1u : 0u) << feet;
    if (*text != '\0') {
      EXPECT_TRUE(FineText(text, x, 80, kAmber)) << feet;
    }
  }
}

TEST_F(A320Test, AircraftSymbolByDualCue) {
  for (auto [cue, chevron] : {std::pair{99, true}, {0, false}, {1, false}}) {
    M().EadiDualCue = cue;
    Draw();
    EXPECT_EQ(ShapeStartsAt(OpKind::Lines, kWhite, Centre(0, 0)), chevron) << cue;
    EXPECT_EQ(ShapeStartsAt(OpKind::Lines, kAmber, Centre(-47, 0)), !chevron) << cue;
    EXPECT_EQ(ShapeStartsAt(OpKind::Lines, kAmber, Centre(47, 0)), !chevron) << cue;
  }
}

// The bars move 0.33 (roll) and 0.11 (pitch) a drawn frame toward the
// command less the attitude, 1.8 units a degree; the roll target held at
// +-25; nothing moves while the flight director is off.
TEST_F(A320Test, FlightDirectorGlidesAndClamps) {
  G().FlightDirectorBank = -40;  // 40 degrees right of wings level
  Draw();
  EXPECT_EQ(D().FdRollBarShown, 0.0);
  EXPECT_FALSE(HasLine(kGreen, Centre(0, -33), Centre(0, 33)));
  host.tokens[792] = 1;
  Draw();
  EXPECT_DOUBLE_EQ(D().FdRollBarShown, 0.33);
  for (int i = 0; i < 80; ++i) Draw();
  EXPECT_EQ(D().FdRollBarShown, 25.0);
  EXPECT_TRUE(HasLine(kGreen, Centre(45, -33), Centre(45, 33)));
  // Pitch: each sign of attitude and command (pitch positive nose down).
  for (auto [pitch, command, target] : {std::tuple{-5.0, -10.0, -5.0}, {-5.0, 3.0, 8.0}, {4.0, -2.0, -6.0},
                                        {4.0, 10.0, 6.0}, {0.0, 0.0, 0.0}, {-3.0, -3.0, 0.0}}) {
    G().PitchAttitude = pitch;
    G().SimToken793Value = command;
    D().FdPitchBarShown = target - 0.05;
    Draw();
    EXPECT_EQ(D().FdPitchBarShown, target) << pitch << " " << command;
    const int y = static_cast<int>(std::trunc(1.8 * target));
    EXPECT_TRUE(HasLine(kGreen, Centre(-33, y), Centre(33, y))) << pitch << " " << command;
  }
}

// Above 60 kt with DispFPV 1; pinned at the window's limits (y +-60, x
// +-83) and flashing there with FrameCounter.
TEST_F(A320Test, FlightPathVectorInsidePinnedAndBlinking) {
  M().DispFPV = 1;
  struct Case {
    double gs, token65, drift;
    int frame, fpv;
    bool drawn;
    double x, y;
  } cases[] = {
      {300, 0, 5, 0, 1, true, 20, 0},          // inside: 4 units a degree of drift
      {60.5, 2601, 0, 7, 1, true, 0, -60},     // 2000 ft/min: -79, pinned at -60
      {60.5, 2601, 0, 8, 1, false, 0, 0},      // ... and blinking
      {300, 0, -30, 0, 1, true, -83, 0},       // -120 pinned at -83
      {60, 0, 0, 0, 1, false, 0, 0},           // 60 kt and below: none
      {300, 0, 0, 0, 0, false, 0, 0},          // DispFPV 0: none
  };
  for (const Case& c : cases) {
    G().GroundSpeedKnots = c.gs;
    host.tokens[65] = c.token65;
    G().DriftAngle = c.drift;
    G().FrameCounter = c.frame;
    M().DispFPV = c.fpv;
    Draw();
    EXPECT_EQ(CircleAt(kWhite, Centre(c.x, c.y)), c.drawn) << c.gs << " " << c.frame << " " << c.drift;
  }
}

// 2.53 units a knot: speed 123.4 has marks from 80 to 170 and labels 080
// to 160; below 30 kt the scale stands at 30 plus the fraction, no mark
// under 40.
TEST_F(A320Test, SpeedScaleMarksAndLowSpeedFreeze) {
  G().SmoothedAirspeed = 123.4;
  Draw();
  for (const int s : {80, 100, 120, 140, 160}) {
    char label[8];
    std::snprintf(label, sizeof label, "%03d", s);
    EXPECT_TRUE(FineText(label, -149, (123 - s + 0.4) * 2.53 - 8)) << s;
  }
  EXPECT_TRUE(HasLine(kWhite, Fine(-114, (123 - 170 + 0.4) * 2.53), Fine(-119, (123 - 170 + 0.4) * 2.53)));
  EXPECT_FALSE(HasLine(kWhite, Fine(-114, (123 - 70 + 0.4) * 2.53), Fine(-119, (123 - 70 + 0.4) * 2.53)));
  EXPECT_FALSE(Has("180") || Has("060"));
  for (const double speed : {12.5, 0.5}) {
    G().SmoothedAirspeed = speed;
    Draw();
    const double f = speed - std::trunc(speed);
    EXPECT_TRUE(FineText("040", -149, (30 - 40 + f) * 2.53 - 8) && FineText("060", -149, (30 - 60 + f) * 2.53 - 8));
    EXPECT_FALSE(Has("020") || Has("080")) << speed;
  }
}

// Limit marks only above 200 ft: 40 red marks from the overspeed (token 63
// / 128) up, and amber ones from VS1 + 5 down.
TEST_F(A320Test, SpeedLimitMarksByRadioAltitude) {
  host.tokens[63] = 300 * 128;
  host.calculator["(A:Design Speed VS1, knots)"] = 125;
  G().SmoothedAirspeed = 250;
  for (auto [ra, red] : {std::pair{200.0, 0}, {201.0, 41}}) {
    G().RadioAltitudeFeet = ra;
    Draw();
    EXPECT_EQ(CountLines(kRed), red) << ra;
  }
  EXPECT_TRUE(HasLine(kRed, Fine(-108, -126), Fine(-113, -126)));  // trunc(-2.53 x 50)
  const double low = -2.53 * (130 - 250);
  EXPECT_TRUE(HasLine(kAmber, Fine(-110, low), Fine(-110, low - 20)));
  EXPECT_TRUE(HasLine(kAmber, Fine(-108, low + 8), Fine(-113, low + 8)));
}

// V1 takes VR while 0; "1" and the VR circle below 30 ft, the V2 lines
// below 800 ft; REF above 400 ft.
TEST_F(A320Test, VSpeedsAndTheV1Write) {
  M().VR = 140;
  M().V2 = 150;
  G().SmoothedAirspeed = 130;
  G().RadioAltitudeFeet = 10;
  Draw();
  EXPECT_EQ(M().V1, 140);
  M().V1 = 135;
  for (auto [ra, one, two] : {std::tuple{10.0, true, true}, {500.0, false, true}, {900.0, false, false}}) {
    G().RadioAltitudeFeet = ra;
    Draw();
    EXPECT_EQ(FineText("1", -113, -2.53 * 5 - 7, kGreen), one) << ra;
    EXPECT_EQ(Ops(OpKind::Ellipse, kCyan).size(), one ? 1u : 0u) << ra;
    EXPECT_EQ(HasLine(kGreen, Fine(-123, -2.53 * 20 - 2), Fine(-114, -2.53 * 20 - 2)), two) << ra;
  }
  M().VREF = 135;
  for (auto [ra, shown] : {std::pair{400.0, false}, {401.0, true}}) {
    G().RadioAltitudeFeet = ra;
    Draw();
    EXPECT_EQ(FineText("REF", -82, -2.53 * 5 - 3, kGreen), shown) << ra;
  }
}

// Five characters, the first three fixed; the last two on a drum of
// twenty-foot steps 12 units apart, an odd tens digit counting as the even
// one below with 10 ft added; rounding, negatives and the limits bounded.
TEST_F(A320Test, AltitudeReadoutAcrossCarries) {
  struct Case {
    double altitude;
    const char *first, *second, *third, *shown, *above, *below;
    double o;
  } cases[] = {
      {12345, "1", "2", "3", "40", "60", "20", -3},  // t 4, u 5: trunc(3 - 6)
      {12375, "1", "2", "3", "60", "80", "40", 3},   // t 7 is 6, u 15
      {12399.6, "1", "2", "4", "00", "20", "80", -6},  // rounds to 12400: the carry reaches the hundreds
      {50, " ", " ", " ", "40", "60", "20", 0},        // "   50"
      {5, " ", " ", " ", "00", "20", "80", -3},        // "   05"
      {-50, " ", " ", "-", "40", "60", "20", 0},       // "  -50"
      {150000, "9", "9", "9", "80", "00", "60", 5},    // held at 99999
      {-20000, "-", "9", "9", "80", "00", "60", 5},    // held at -9999
  };
  for (const Case& c : cases) {
    G().AircraftAltitude = c.altitude;
    Draw();
    EXPECT_TRUE(FineText(c.first, 105, -9, kGreen) && FineText(c.second, 115, -9, kGreen) &&
                FineText(c.third, 125, -9, kGreen))
        << c.altitude;
    EXPECT_TRUE(FineText(c.shown, 137, c.o) && FineText(c.above, 137, c.o - 12) && FineText(c.below, 137, c.o + 12))
        << c.altitude;
  }
  G().AircraftAltitude = 12345;
  Draw();
  EXPECT_TRUE(FineText("120", 108, 345 * 0.18 - 8) && FineText("125", 108, -155 * 0.18 - 8));
  EXPECT_FALSE(Has("130"));
}

// Across north: 358.5 shows " 0" (a multiple of 30, bold 15) right of the
// centre and "35" left of it; the bug within 25 degrees is a triangle,
// beyond it the selected heading in figures.
TEST_F(A320Test, HeadingScaleAcrossNorthAndTheBug) {
  G().AircraftHeading = 358.5;
  G().GroundTrack = 3.5;
  G().ApHeadingLockDir = 10;
  Draw();
  EXPECT_TRUE(FineText(" 0", -2.6, 138) && FineText("35", -38.6, 140) && FineText(" 1", 41.4 - 8, 140));
  EXPECT_TRUE(ShapeStartsAt(OpKind::Lines, kGreen, Fine(18, 132)));  // trunc(3.6 x 5)
  EXPECT_TRUE(ShapeStartsAt(OpKind::Lines, kCyan, Fine(41, 130)));   // trunc(3.6 x 11.5)
  for (auto [selected, text, x] : {std::tuple{30.0, "030", 68.0}, {320.0, "320", -90.0}}) {
    G().ApHeadingLockDir = selected;
    Draw();
    EXPECT_TRUE(FineText(text, x, 118, kCyan)) << selected;
    EXPECT_TRUE(Ops(OpKind::Lines, kCyan).size() == 1u) << selected;  // only the altitude bug
  }
  // A heading that is not a number draws the scale as north.
  G().AircraftHeading = std::nan("");
  Draw();
  EXPECT_TRUE(FineText(" 0", -10, 138));
}

// The pointer from (206, 0): 0.056 a foot a minute to 1000, 0.016 more to
// 2000, 74 beyond; the box and hundreds from 200 either way.
TEST_F(A320Test, VerticalSpeedPointerAndBox) {
  struct Case {
    double fpm;
    int p;
    const char* text;
  } cases[] = {{150, -8, nullptr},  {199, -11, nullptr}, {200, -11, "2"},  {999, -55, "9"},
               {1500, -64, "15"},   {2000, -72, "20"},   {2500, -74, "25"}, {-150, 8, nullptr},
               {-1500, 64, "15"},   {-9e9, 74, "10000"}, {0, 0, nullptr}};
  for (const Case& c : cases) {
    G().VerticalSpeedFpm = c.fpm;
    Draw();
    EXPECT_TRUE(HasLine(kGreen, Centre(206, 0), Centre(156, c.p))) << c.fpm;
    const double y = c.p < 0 ? c.p - 10 : c.p;
    if (c.text != nullptr) {
      EXPECT_TRUE(CentreText(c.text, 156, y, kGreen)) << c.fpm;
    } else {
      EXPECT_EQ(Ops(OpKind::Rectangle, kBlack, 1).size(), 1u) << c.fpm;  // the background only
    }
  }
}

// Below Mach 0.4 with a station: ident, frequency (100 + 0.01 x its word's
// hexadecimal digits read as decimal: 0x0950 is 109.50) and distance; from
// 0.4 the Mach number instead.
TEST_F(A320Test, IlsBlockAndMach) {
  Radio(1, 0xC0);
  host.texts[47] = "ISEA";
  host.tokens[24] = 0x0950;
  G().Nav1DmeDistance = 12.3;
  for (auto [mach, text] : {std::pair{0.39, ""}, {0.4, ".400"}, {0.78, ".780"}, {1.02, "1.02"}, {0.9996, "1.00"}}) {
    G().MachNumber = mach;
    Draw();
    const bool ils = *text == '\0';
    EXPECT_EQ(CentreText("ISEA", -150, 118, kMagenta), ils) << mach;
    EXPECT_EQ(CentreText("109.50", -150, 130, kMagenta), ils) << mach;
    EXPECT_EQ(CentreText("12.3 NM", -150, 142, kMagenta), ils) << mach;
    if (!ils) {
      EXPECT_TRUE(CentreText(text, -150, 120, kGreen)) << mach;
    }
  }
  G().MachNumber = 0.3;
  host.texts[47] = nullptr;
  G().Nav1DmeDistance = 0;
  Draw();
  EXPECT_TRUE(!Has("ISEA") && Has("109.50") && !Has("0.0 NM"));
  host.tokens[24] = 0x1095;
  Draw();
  EXPECT_TRUE(CentreText("110.95", -150, 130, kMagenta));
  Radio(0, 0xC0);
  Draw();
  EXPECT_FALSE(Has("110.95"));
}

// Targets only beyond their tapes' visible parts (40 kt, 500 ft).
TEST_F(A320Test, TargetReadoutsAtTheirLimits) {
  G().SmoothedAirspeed = 200;
  G().AircraftAltitude = 10000;
  struct Case {
    double speed, altitude;
    const char *text, *altitude_text;
    double y, altitude_y;
  } cases[] = {{245, 10600, " 245", "10600", -119, -119},
               {240, 10500, nullptr, nullptr, 0, 0},
               {155, 9400, " 155", "9400", 106, 106},
               {0, 0, nullptr, nullptr, 0, 0}};
  for (const Case& c : cases) {
    G().ApAirspeedHoldVar = c.speed;
    G().ApAltitudeLockVar = c.altitude;
    Draw();
    EXPECT_EQ(Ops(OpKind::Text, kCyan).size(), (c.text ? 1u : 0u) + (c.altitude_text ? 1u : 0u) + 1u)
        << c.speed;  // and "STD"
    if (c.text) {
      EXPECT_TRUE(CentreText(c.text, -150, c.y, kCyan)) << c.speed;
    }
    if (c.altitude_text) {
      EXPECT_TRUE(CentreText(c.altitude_text, 105, c.altitude_y, kCyan)) << c.altitude;
    }
  }
}

// "STD" boxed from 1013.0 to below 1013.4 hPa, else QNH with both units.
TEST_F(A320Test, BarometricSettingAtTheStandardBand) {
  for (auto [hpa, standard] : {std::pair{1013.0, true}, {1013.2, true}, {1013.4, false}, {1012.9, false}}) {
    G().BaroPressureMillibars = hpa;
    G().BarometricPressureInHg = hpa * 29.92 / 1013.25;
    Draw();
    EXPECT_EQ(CentreText("STD", 100, 130, kCyan), standard) << hpa;
    EXPECT_EQ(CentreText("QNH", 100, 120, kWhite), !standard) << hpa;
    if (!standard) {
      EXPECT_TRUE(CentreText(std::to_string(static_cast<int>(std::lround(hpa))), 130, 120, kCyan)) << hpa;
      char inches[16];
      std::snprintf(inches, sizeof inches, "%2.2f IN", hpa * 29.92 / 1013.25);
      EXPECT_TRUE(CentreText(inches, 100, 135, kCyan)) << hpa;
    }
  }
}

TEST_F(A320Test, MarkerBeacons) {
  for (auto [marker, text, colour] : {std::tuple{1.0, "OM", kCyan}, {2.0, "MM", kAmber}, {3.0, "IM", kWhite},
                                      {4.0, "", 0u}, {0.0, "", 0u}}) {
    host.tokens[354] = marker;
    Draw();
    for (const char* t : {"OM", "MM", "IM"}) EXPECT_EQ(Has(t), std::string(t) == text) << marker;
    if (*text != '\0') {
      EXPECT_TRUE(CentreText(text, 80, 88, colour)) << marker;
    }
  }
}

// Each field shows the first text that holds: the vertical column by VNAV
// and the selected vertical speed, the lateral one by heading hold, LNAV
// and NAV1 hold, the right column stacked.
TEST_F(A320Test, ModeRowInItsConditionOrder) {
  struct Case {
    double alt, vs, hdg_lock, nav1, approach, master, ath, spd, mach;
    std::uint32_t vnav, lnav;
    int fd;
    std::vector<std::tuple<std::string, double, double>> shown;
  } cases[] = {
      {1, 150, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, {{"ALT", -80, -141}}},
      {1, -1500, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, {{"V/S -1500", -80, -155}, {"ALT", -80, -141}}},
      {1, 200, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, {{"V/S + 200", -80, -155}, {"ALT", -80, -141}}},
      {1, 1000, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, {{"CLB", -80, -155}}},
      {1, -1000, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, {{"DES", -80, -155}}},
      {1, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, {{"ALT", -80, -141}}},
      {0, 1000, 1, 0, 0, 0, 0, 0, 0, 1, 0, 0, {{"HDG", 0, -155}}},
      {0, 0, 1, 1, 0, 0, 0, 0, 0, 0, 1, 0, {{"NAV", 0, -141}}},
      {0, 0, 0, 1, 1, 0, 0, 0, 0, 0, 1, 0, {{"GPS NAV", -5, -141}, {"APP", 0, -127}}},
      {0, 0, 0, 0, 0, 1, 1, 0, 0, 0, 0, 1, {{"AP1", 125, -155}, {"1FD", 125, -141}, {"A/THR", 125, -127}}},
      {0, 0, 0, 0, 0, 0, 0, 1, 1, 0, 0, 0, {{"SPEED", -135, -155}}},
      {0, 0, 0, 0, 0, 0.5, 0, 0, 1, 0, 0, 0, {{"MACH", -135, -155}}},
  };
  const char* every[] = {"ALT", "V/S -1500", "V/S + 200", "CLB", "DES", "HDG", "NAV", "GPS NAV",
                         "APP", "AP1",       "1FD",       "A/THR", "SPEED", "MACH"};
  for (const Case& c : cases) {
    G().ApAltitudeLock = c.alt;
    G().ApVerticalSpeedVar = c.vs;
    G().ApHeadingLock = static_cast<int>(c.hdg_lock);
    G().ApNav1Lock = c.nav1;
    G().ApApproachHold = c.approach;
    G().ApMaster = c.master;
    G().AutothrottleArm = c.ath;
    G().ApAirspeedHold = c.spd;
    G().ApMachHold = c.mach;
    G().VnavEngaged = c.vnav;
    G().LnavEngaged = c.lnav;
    host.tokens[792] = c.fd;
    Draw();
    for (const char* text : every) {
      bool expected = false;
      for (const auto& [t, x, y] : c.shown) {
        if (t != text) continue;
        expected = true;
        EXPECT_TRUE(CentreText(t, x, y)) << t;
      }
      EXPECT_EQ(TextsEqual(text).size(), expected ? 1u : 0u) << text << " in case " << &c - cases;
    }
  }
}

}  // namespace
}  // namespace ovi::efs::test
