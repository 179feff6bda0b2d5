// The C-17 primary flight page (page 1) drawn by the draw entry at twice
// the canvas and at the canvas size: the ladder with its bent and dashed
// rungs, the flight director (also moved by the A320 EADI in one frame),
// the flight path vector, the warnings in order; the tapes with their
// rolling readouts, the trend caret and the bugs; the heading scale with
// its repeated label, bug and course pointer; the data fields, markers and
// the mode boxes.
#include "src/instruments/mfd/c17/pfd_page.h"

#include <cmath>
#include <string>
#include <tuple>
#include <vector>

#include "src/display/state.h"
#include "src/guidance/state.h"
#include "src/instruments/efs/a320/a320_eadi.h"
#include "src/instruments/efs/display_gauges.h"
#include "src/instruments/efs/state.h"
#include "tests/instruments/mfd/c17/c17_test_support.h"

namespace ovi::c17::test {
namespace {

using gfx::OpKind;
using gfx::PointF;

constexpr gfx::ARGB kWhite = 0xFFDEE6E9, kGreen = 0xFF00FA00, kPenGreen = 0xFF25C817, kCyan = 0xFF18C2E7;
constexpr gfx::ARGB kMagenta = 0xFFFF13D5, kAmber = 0xFFE9B73E, kRed = 0xFFFF0000, kBlack = 0xFF000000;

guidance::State& G() { return guidance::guidance_state; }
display::State& D() { return display::display_state; }

class PfdTest : public C17PageTest {
 public:
  void SetUp() override {
    C17PageTest::SetUp();
    G().DisplayPower = 1;
    host.tokens[332] = 16383;  // the nose gear down: no terrain warning on the ground
  }
  void Draw(int w = 492, int h = 482) {
    sx = w / 246.0;
    sy = h / 241.0;
    gx = 16.0 * (w + h) / 246.0;
    gy = 16.0 * (w + h) / 241.0;
    wx = static_cast<float>(w / (16.0 * (w + h)));
    wy = static_cast<float>(h / (16.0 * (w + h)));
    DrawPage(1, w, h);
  }
  // Origin frame (122, 110), turned `degrees`; bottom frame (122, 229).
  PointF Origin(double x, double y, double degrees = 0, double oy_ = 110) const {
    const double r = degrees * M_PI / 180.0;
    return PointF(static_cast<float>((122 + x * std::cos(r) - y * std::sin(r)) * sx),
                  static_cast<float>((oy_ + x * std::sin(r) + y * std::cos(r)) * sy));
  }
  PointF Bottom(double x, double y) const { return Origin(x, y, 0, 229); }
  PointF Fine(double x, double y) const {
    return PointF(static_cast<float>((122 * gx + std::trunc(x * gx)) * wx),
                  static_cast<float>((110 * gy + std::trunc(y * gy)) * wy));
  }
  bool TextAtP(const std::string& text, PointF p, gfx::ARGB c = 0) const {
    for (const auto& t : rec_.Texts())
      if (t.text == text && Near({t.x, t.y}, p, 0.01) && (c == 0 || t.color == c)) return true;
    return false;
  }
  bool Shown(const std::string& text) const { return rec_.FindText(text); }
  const gfx::RecordedOp* LineP(gfx::ARGB c, PointF a, PointF b) const {
    for (const gfx::RecordedOp* op : rec_.Find(OpKind::Line))
      if (op->color == c && Near(op->points[0], a, 0.01) && Near(op->points[1], b, 0.01)) return op;
    return nullptr;
  }
  bool ShapeFrom(OpKind kind, gfx::ARGB c, PointF p) const {
    for (const gfx::RecordedOp* op : rec_.Find(kind))
      if (op->color == c && !op->points.empty() && Near(op->points[0], p, 0.01)) return true;
    return false;
  }
  int Count(OpKind kind, gfx::ARGB c) const {
    int n = 0;
    for (const gfx::RecordedOp* op : rec_.Find(kind)) n += op->color == c ? 1 : 0;
    return n;
  }

  double sx = 2, sy = 2, gx = 1, gy = 1;
  float wx = 1, wy = 1;
};

// 4.5 units a degree: rungs every 5 degrees, the tens labelled at 50 and
// -65; from 30 degrees the inner ends bend 15 toward the horizon; below it
// the bars are dashed and the left tick of the tens is thin.
TEST_F(PfdTest, LadderWithBentAndDashedRungs) {
  for (auto [w, h] : {std::pair{492, 482}, std::pair{246, 241}}) {
    Draw(w, h);
    EXPECT_TRUE(LineP(kWhite, Fine(-122, 0), Fine(122, 0))) << w;
    for (const double y : {-51.0, 39.0}) EXPECT_TRUE(TextAtP("10", Fine(50, y)) && TextAtP("10", Fine(-65, y))) << w;
    EXPECT_TRUE(LineP(kWhite, Fine(40, -112.5), Fine(20, -112.5))) << w;  // 25: straight
    EXPECT_TRUE(LineP(kWhite, Fine(30, -135), Fine(20, -120))) << w;      // 30: bent
    EXPECT_TRUE(LineP(kWhite, Fine(-30, 135), Fine(-20, 120))) << w;      // -30: bent up
    const gfx::RecordedOp* down = LineP(kWhite, Fine(48, 45), Fine(20, 45));
    const gfx::RecordedOp* up = LineP(kWhite, Fine(48, -45), Fine(20, -45));
    ASSERT_TRUE(down && up) << w;
    EXPECT_EQ(down->dash, gfx::DashStyle::Dash);
    EXPECT_EQ(up->dash, gfx::DashStyle::Solid);
    const gfx::RecordedOp* left = LineP(kWhite, Fine(-48, 45), Fine(-48, 37));
    const gfx::RecordedOp* right = LineP(kWhite, Fine(48, 45), Fine(48, 37));
    ASSERT_TRUE(left && right) << w;
    EXPECT_LT(left->pen_width, right->pen_width);
  }
  G().PitchAttitude = 20;  // the horizon 90 above: ground over the sphere
  Draw();
  EXPECT_TRUE(LineP(kWhite, Fine(-122, -90), Fine(122, -90)));
}

// The bars at 2.28 units a degree; 10.7 commanded at bank 0.2 gives -9;
// the roll error held at 25 (57 units); an A320 EADI drawn in the same
// frame moves the shared bars a second step.
TEST_F(PfdTest, FlightDirectorClampedAndMovedByTwoDisplays) {
  host.tokens[792] = 1;
  G().FlightDirectorBank = 10.7;
  G().BankAttitude = 0.2;
  D().FdRollBarShown = -8.9;
  Draw();
  EXPECT_EQ(D().FdRollBarShown, -9.0);
  EXPECT_TRUE(LineP(kMagenta, Origin(-20, -50), Origin(-20, 50)));
  G().FlightDirectorBank = -40;
  G().BankAttitude = 0;
  D().FdRollBarShown = 24.9;
  G().SimToken793Value = -4;  // 4 degrees above the level attitude
  D().FdPitchBarShown = -3.95;
  Draw();
  EXPECT_TRUE(LineP(kMagenta, Origin(57, -50), Origin(57, 50)));
  EXPECT_TRUE(LineP(kMagenta, Origin(-50, -9), Origin(50, -9)));
  D().FdRollBarShown = 0;
  Draw();
  gfx::DeviceContext a320(318, 311);
  const PIXSIZE size{318, 311};
  efs::DrawA320Eadi(efs::efs_state.A320EadiDisplay, &a320, &size, 1, efs::kA320Model);
  EXPECT_DOUBLE_EQ(D().FdRollBarShown, 0.66);
}

// Shown above 60 kt with DispFPV 1; beyond y +-50 or x +-55 it flashes in
// place (not pinned).
TEST_F(PfdTest, FlightPathVectorFlashesUnpinned) {
  model::model_state.DispFPV = 1;
  G().GroundSpeedKnots = 300;
  for (auto [fpm, drift, frame, drawn, x, y] :
       {std::tuple{0.0, 10.0, 12, true, 45, 0}, {5667.0, 0.0, 7, true, 0, -51}, {5667.0, 0.0, 8, false, 0, -51},
        {0.0, -13.0, 8, false, -58, 0}, {0.0, -12.0, 8, true, -54, 0}}) {
    G().VerticalSpeedFpm = fpm;
    G().DriftAngle = drift;
    G().FrameCounter = frame;
    Draw();
    bool found = false;
    for (const gfx::RecordedOp* op : rec_.Find(OpKind::Ellipse))
      found = found || (op->color == kWhite && Near(op->points[0], Origin(x, y), 0.01));
    EXPECT_EQ(found, drawn) << fpm << " " << drift << " " << frame;
  }
}

// At most one warning, the first that holds; each at its limits.
TEST_F(PfdTest, WarningsInOrderEachAloneAndAtItsLimits) {
  struct Case {
    double ra, fpm, gear, stall, overspeed, dh;
    const char* text;
    double x;
  } cases[] = {
      {3999, -16001, 16383, 0, 0, 0, "TERRAIN", -40}, {4000, -16001, 16383, 0, 0, 0, nullptr, 0},
      {2999, -8001, 16383, 0, 0, 0, "TERRAIN", -40},  {2999, -8000, 16383, 0, 0, 0, nullptr, 0},
      {1999, -4001, 16383, 0, 0, 0, "TERRAIN", -40},  {2000, -4001, 16383, 0, 0, 0, nullptr, 0},
      {450, -1000, 16383, 0, 0, 0, nullptr, 0},       {450, -1000, 0, 0, 0, 0, "TERRAIN", -40},
      {499, -1951, 16383, 0, 0, 0, "TERRAIN", -40},   {450, 0, 16383, 1, 1, 0, "STALL", -30},
      {450, 0, 16383, 0, 1, 0, "OVERSPEED", -60},     {205, -500, 16383, 0, 0, 200, "DH", -20},
      {210, -101, 16383, 0, 0, 200, "DH", -20},       {205, -50, 16383, 0, 0, 200, nullptr, 0},
      {211, -500, 16383, 0, 0, 200, nullptr, 0},      {100, -1000, 16383, 1, 0, 0, "STALL", -30},
  };
  for (const Case& c : cases) {
    G().RadioAltitudeFeet = c.ra;
    G().VerticalSpeedFpm = c.fpm;
    host.tokens[332] = c.gear;
    host.tokens[67] = c.stall;
    host.tokens[68] = c.overspeed;
    host.tokens[615] = c.dh;
    Draw();
    const int red = Count(OpKind::Text, kRed);
    EXPECT_EQ(red, c.text ? 1 : 0) << c.ra << " " << c.fpm;
    if (c.text) {
      EXPECT_TRUE(TextAtP(c.text, Origin(c.x, -45), kRed)) << c.text;
    }
  }
}

// 1.75 units a knot, higher speeds below; labels every 20 at x 7; the
// readout's hundreds and tens fixed, the units on a drum 10 apart moving up
// with the tenths (frozen below 1 kt).
TEST_F(PfdTest, SpeedTapeAndRollingUnits) {
  G().SmoothedAirspeed = 150;
  Draw();
  for (const int v : {100, 120, 140, 160, 180, 200}) {
    EXPECT_TRUE(TextAtP(std::to_string(v), Fine(-115, 1.75 * (v - 150) - 5))) << v;
  }
  EXPECT_TRUE(LineP(kWhite, Fine(-85, -17.5), Fine(-95, -17.5)) && LineP(kWhite, Fine(-85, 0), Fine(-90, 0)));
  struct Case {
    double speed;
    const char *hundreds, *tens;
    std::vector<std::pair<std::string, double>> drum;
  } cases[] = {
      {123.4, "1", "2", {{"3", -10}, {"2", -20}, {"4", 0}}},
      {0.4, " ", " ", {{"8", -26}, {"9", -16}, {"0", -6}, {"1", 4}, {"2", 14}}},
      {9.9, " ", " ", {{"9", -15}, {"0", -5}, {"8", -25}}},
      {99.96, "1", "0", {{"0", -6}, {"1", 4}}},  // rounds to 100.0
      {-20, " ", " ", {{"0", -6}}},              // held at 0
  };
  for (const Case& c : cases) {
    G().SmoothedAirspeed = c.speed;
    Draw();
    EXPECT_TRUE(TextAtP(c.hundreds, Fine(-118, -6), kGreen) && TextAtP(c.tens, Fine(-109, -6), kGreen)) << c.speed;
    for (const auto& [digit, y] : c.drum) EXPECT_TRUE(TextAtP(digit, Fine(-100, y), kGreen)) << c.speed << digit;
  }
}

// The caret only with DispC17SpdTrend 1, below the pointer while the speed
// rises (higher speeds lie below on this tape), held within 17.
TEST_F(PfdTest, SpeedTrendCaretTowardTheComingSpeed) {
  G().TrendAverage = 0.02;
  Draw();
  EXPECT_FALSE(ShapeFrom(OpKind::Polygon, kWhite, Fine(-25, 3)));
  model::model_state.DispC17SpdTrend = 1;
  for (auto [trend, t] : {std::pair{0.02, 6.0}, {-0.02, -6.0}, {0.1, 17.0}, {-0.1, -17.0}}) {
    G().TrendAverage = trend;
    Draw();
    EXPECT_TRUE(ShapeFrom(OpKind::Polygon, kWhite, Fine(-25, t - 3))) << trend;
  }
}

// 0.065 units a foot; labels "%5d" every 500; the readout's first three
// characters fixed, the tens on a drum 12 apart moving down with the feet.
TEST_F(PfdTest, AltitudeTapeAndRollingTens) {
  struct Case {
    double altitude;
    const char *a, *b, *c;
    std::vector<std::pair<std::string, double>> drum;
  } cases[] = {
      {12345, "1", "2", "3", {{"60", -25}, {"50", -13}, {"40", -1}, {"30", 11}, {"20", 23}}},
      {50, " ", " ", " ", {{"70", -30}, {"60", -18}, {"50", -6}, {"40", 6}, {"30", 18}}},
      {12399.6, "1", "2", "4", {{"00", -6}, {"10", -18}, {"90", 6}}},  // rounds to 12400
      {-50, " ", " ", "-", {{"50", -6}}},
      {250000, "9", "9", "9", {{"90", 3}, {"00", -9}}},  // held at 99999
  };
  for (const Case& c : cases) {
    G().AircraftAltitude = c.altitude;
    Draw();
    EXPECT_TRUE(TextAtP(c.a, Fine(86, -6)) && TextAtP(c.b, Fine(93, -6)) && TextAtP(c.c, Fine(100, -6))) << c.altitude;
    for (const auto& [text, y] : c.drum) EXPECT_TRUE(TextAtP(text, Fine(108, y), kGreen)) << c.altitude << text;
  }
  G().AircraftAltitude = 12345;
  Draw();
  EXPECT_TRUE(TextAtP("12500", Fine(95, -155 * 0.065 - 5)) && TextAtP("12000", Fine(95, 345 * 0.065 - 5)));
  EXPECT_FALSE(Shown("14000") || Shown("11000"));
}

// One chevron on the tape, two at its end; the altitude bug only with the
// autopilot, green while altitude hold is on.
TEST_F(PfdTest, SpeedAndAltitudeBugs) {
  G().SmoothedAirspeed = 200;
  G().ApAirspeedHold = 1;
  G().AircraftAltitude = 5000;
  G().ApAltitudeLockVar = 5500;
  G().ApAltitudeLock = 1;
  for (auto [target, y, two] : {std::tuple{210.0, 16, false}, {260.0, 67, true}, {100.0, -67, true}}) {
    G().ApAirspeedHoldVar = target;
    Draw();
    EXPECT_TRUE(ShapeFrom(OpKind::Lines, kCyan, Origin(-80, y - 5))) << target;
    EXPECT_EQ(ShapeFrom(OpKind::Lines, kCyan, Origin(-77, y - 5)), two) << target;
  }
  EXPECT_EQ(Count(OpKind::Lines, kPenGreen), 0);  // the autopilot is off
  G().ApMaster = 1;
  Draw();
  EXPECT_TRUE(ShapeFrom(OpKind::Lines, kPenGreen, Origin(78, -37))) << "within: trunc(-500 x 0.065) = -32";
  G().ApAltitudeLock = 0;
  G().ApAltitudeLockVar = 9000;
  Draw();
  EXPECT_TRUE(ShapeFrom(OpKind::Lines, kCyan, Origin(75, -70)) && ShapeFrom(OpKind::Lines, kCyan, Origin(78, -70)));
}

// Heading 3.6 truncates toward zero on both sides: "00" at k 3 and 4, "35"
// at k 14; the bug and course pointer by the signed difference, held at
// +-55 (exactly 180 keeps its sign) with the selected heading beside.
TEST_F(PfdTest, HeadingScaleBugAndCoursePointer) {
  G().AircraftHeading = 3.6;
  G().ApHeadingLockDir = 3.6;
  Draw();
  EXPECT_TRUE(TextAtP("00", Bottom(-13, 2)) && TextAtP("00", Bottom(-15, 2)) && TextAtP("35", Bottom(-35, 2)));
  EXPECT_TRUE(TextAtP("M", Bottom(60, 2), kWhite));
  struct Case {
    double heading, selected;
    int x;
    const char* text;
  } cases[] = {{10, 200, -55, "200"}, {10, 30, 40, nullptr}, {190, 10, -55, "010"}, {10, 190, 55, "190"},
               {350, 20, 55, "020"},  {20, 350, -55, "350"}};
  for (const Case& c : cases) {
    G().AircraftHeading = c.heading;
    G().ApHeadingLockDir = c.selected;
    G().SelectedCourse = c.selected;
    Draw();
    EXPECT_TRUE(ShapeFrom(OpKind::Lines, kCyan, Bottom(c.x, -10))) << c.heading << " " << c.selected;
    EXPECT_TRUE(LineP(kWhite, Bottom(c.x, -14), Bottom(c.x, -6))) << c.heading << " " << c.selected;
    // Over the bug at the right stop, starting at it at the left one.
    const int text_x = c.x == -55 ? c.x : c.x - 7;
    EXPECT_EQ(c.text != nullptr && TextAtP(c.text, Bottom(text_x, -20), kWhite), c.text != nullptr) << c.selected;
  }
  EXPECT_EQ(C17HeadingScaleOffset(25, 0), 50);  // 2 units a degree
}

// The corner fields, their conditions and formats; the identifier empty
// without a station.
TEST_F(PfdTest, DataFields) {
  for (auto [token, text] : {std::pair{0.78 * 65536 / 3.2, "M  .78"}, {1.02 * 65536 / 3.2, "M  .102"}}) {
    host.tokens[64] = token;
    Draw();
    EXPECT_TRUE(TextAtP(text, Origin(-122, 88), kGreen)) << text;
  }
  for (auto [ra, shown_ra, shown_dh] : {std::tuple{2200.0, true, false}, {1500.0, true, true}, {2500.0, false, false}}) {
    G().RadioAltitudeFeet = ra;
    Draw();
    EXPECT_EQ(Shown("RA " + std::to_string(static_cast<int>(ra))), shown_ra) << ra;
    EXPECT_EQ(TextAtP("DH  200", Origin(78, 100)), shown_dh) << ra;
  }
  host.texts[47] = "ISEA";
  G().SelectedCourse = 163;
  host.tokens[31] = 5.25;
  host.tokens[49] = 0;
  Draw();
  EXPECT_FALSE(Shown("163") || Shown("V1") || Shown("ISEA"));
  EXPECT_TRUE(TextAtP("GS   0", Origin(-122, 78)) && TextAtP("VV 00", Origin(78, 80)));
  host.tokens[49] = 1;
  Draw();
  EXPECT_TRUE(TextAtP("163", Origin(-82, 68), kCyan) && TextAtP("V1", Origin(-82, 78), kCyan) &&
              TextAtP("D5.2", Origin(-82, 88), kCyan) && TextAtP("ISEA", Origin(-82, 98), kCyan));
}

// Localizer with a signal and a localizer; glideslope by its own flag;
// markers as a box and a letter.
TEST_F(PfdTest, DeviationScalesAndMarkers) {
  host.tokens[46] = 0x40;  // glideslope only, no signal
  G().Nav1GlideslopeNeedle = 127;
  G().Nav1CdiNeedle = -500;  // held at full scale
  Draw();
  EXPECT_TRUE(ShapeFrom(OpKind::Polygon, kMagenta, Origin(75, 33)));
  EXPECT_EQ(Count(OpKind::Polygon, kMagenta), 1);
  host.tokens[46] = 0xC0;
  host.tokens[49] = 1;
  Draw();
  EXPECT_TRUE(ShapeFrom(OpKind::Polygon, kMagenta, Origin(-50, 80)));
  for (auto [marker, box, letter] : {std::tuple{1.0, kAmber, "O"}, {2.0, kCyan, "M"}, {3.0, kWhite, "I"},
                                     {7.0, kWhite, "I"}}) {
    host.tokens[354] = marker;
    Draw();
    EXPECT_TRUE(ShapeFrom(OpKind::Rectangle, box, Bottom(-5, -27))) << marker;
    EXPECT_TRUE(TextAtP(letter, Bottom(-5, -27), kBlack)) << marker;
  }
}

// Every field's rows in their order, with the autopilot on and off.
TEST_F(PfdTest, ModeBoxesInConditionOrder) {
  struct Case {
    double master, spd, mach, gs, alt, loc, appr;
    std::uint32_t vnav, lnav;
    int hdg;
    std::vector<std::tuple<std::string, double, double, gfx::ARGB>> shown;
  } cases[] = {
      {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, {{"IAS 250", 10, 4, kGreen}, {"G/S1 CAP", 200, 4, kGreen}, {"LOC1 CAP", 10, 219, kGreen}}},
      {1, 0, 1, 0, 1, 0, 1, 1, 1, 1, {{"MACH 0.78", 10, 4, kGreen}, {"VNAV", 200, 4, kGreen}, {"LNAV", 10, 219, kGreen}}},
      {1, 0, 0, 0, 1, 0, 1, 0, 0, 1, {{"ALT 120", 200, 4, kGreen}, {"HDG 163", 10, 219, kGreen}, {"APPR", 10, 230, kWhite}}},
      {1, 0, 0, 0, 0, 0, 1, 0, 0, 0, {{"APPR", 10, 219, kGreen}}},
      {0, 0, 0, 1, 1, 1, 1, 1, 1, 1, {{"ALT 120", 200, 15, kWhite}, {"HDG 163", 10, 230, kWhite}}},
  };
  G().ApAirspeedHoldVar = 250;
  G().ApMachHoldVar = 0.78;
  G().ApAltitudeLockVar = 12000;
  G().ApHeadingLockDir = 163;
  for (const Case& c : cases) {
    G().ApMaster = c.master;
    G().ApAirspeedHold = c.spd;
    G().ApMachHold = c.mach;
    host.tokens[111] = c.gs;
    G().ApAltitudeLock = c.alt;
    host.calculator["(A:AP_LOC_HOLD_ON,Enum)"] = static_cast<int>(c.loc);
    host.tokens[112] = c.appr;
    G().VnavEngaged = c.vnav;
    G().LnavEngaged = c.lnav;
    G().ApHeadingLock = c.hdg;
    Draw();
    const std::size_t boxes = rec_.Find(OpKind::Rectangle).size();
    int white_boxes = 0;
    for (const gfx::RecordedOp* r : rec_.Find(OpKind::Rectangle)) white_boxes += r->color == kWhite && !r->filled;
    EXPECT_EQ(white_boxes, static_cast<int>(c.shown.size())) << &c - cases << " of " << boxes;
    for (const auto& [text, x, y, colour] : c.shown) {
      EXPECT_TRUE(TextAtP(text, Origin(x - 122, y + 1 - 110), colour)) << text;
      EXPECT_TRUE(HasRect(x, y, 43, 11, kWhite, false)) << text;
    }
  }
}

}  // namespace
}  // namespace ovi::c17::test
