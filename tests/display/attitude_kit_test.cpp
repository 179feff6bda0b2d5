// The attitude kit: flight-director targets on both sides of every sign
// and at the roll limit, the bars' steps and their exact ends, the flight
// path vector inside, pinned and flashing, drum neighbours across the
// cycle's ends, tape marks at their bounds, annunciation fields, and the
// device-sixteenths grid.
#include "src/display/attitude_kit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "src/display/state.h"
#include "src/guidance/state.h"
#include "src/host/module_state.h"
#include "src/model/state.h"
#include "tests/display/recording.h"
#include "tests/host/fake_panels.h"

namespace ovi::display {
namespace {

guidance::State& G() { return guidance::guidance_state; }
constexpr double kNan = std::numeric_limits<double>::quiet_NaN();

// Bank and commanded bank are positive left wing down, pitch and commanded
// pitch positive nose down. A command to bank further right than the
// aircraft turns the bars clockwise (positive); a command above the
// attitude raises the bar (negative).
TEST(AttitudeKitTest, FlightDirectorTargetsAreCommandLessAttitudeOnEveryAxisSign) {
  ResetModuleState();
  struct Case {
    double bank, command_bank, roll;
  } rolls[] = {
      {0, -10, 10},      // wings level, bank right commanded
      {0, 10, -10},      // bank left commanded
      {-20, -25.9, 5},   // right bank, more commanded: the command truncates to 25
      {20, 25.9, -5},    // the same to the left
      {15, -15, 25},     // across zero, beyond the limit
      {-15, 15, -25},    //
      {-14.6, 10, -24},  // 24.6 truncates to 24, within the limit
      {-16, 10, -25},    // 26: held at 25
      {5.7, 0, 5},       // the difference truncates toward zero
      {-5.7, 0, -5},
  };
  for (const Case& c : rolls) {
    G().BankAttitude = c.bank;
    G().FlightDirectorBank = c.command_bank;
    EXPECT_EQ(FlightDirectorTargetsNow().roll, c.roll) << c.bank << " vs " << c.command_bank;
  }
  struct Pitch {
    double pitch, command, target;
  } pitches[] = {
      {-5, -8, -3},  // nose up 5, 8 commanded: 3 up
      {-5, -2, 3},   // 2 commanded: 3 down
      {3, -2, -5},   // nose down 3, 2 up commanded: 5 up (not 1)
      {-3, 2, 5},    // nose up 3, 2 down commanded: 5 down
      {4, 6, 2},     // both nose down
      {0, 0, 0},     //
      {kNan, -4, -4},
  };
  for (const Pitch& p : pitches) {
    G().PitchAttitude = p.pitch;
    G().SimToken793Value = p.command;
    EXPECT_DOUBLE_EQ(FlightDirectorTargetsNow().pitch, p.target) << p.pitch << " vs " << p.command;
  }
}

// 0.33 and 0.11 a drawn frame, landing on the target once within a step;
// a commanded bank 40 degrees away stops at the 25 limit.
TEST(AttitudeKitTest, BarsGlideByTheirStepsAndStopAtTheTarget) {
  EXPECT_DOUBLE_EQ(StepToward(0.0, 1.0, 0.33), 0.33);
  EXPECT_DOUBLE_EQ(StepToward(0.0, -1.0, 0.33), -0.33);
  EXPECT_DOUBLE_EQ(StepToward(0.8, 1.0, 0.33), 1.0);
  EXPECT_DOUBLE_EQ(StepToward(0.67, 1.0, 0.33), 1.0);  // exactly one step away
  EXPECT_DOUBLE_EQ(StepToward(kNan, 1.0, 0.33), 0.33);
  ResetModuleState();
  G().BankAttitude = 0;
  G().FlightDirectorBank = 40;  // left of the wings: the roll target is -25
  G().SimToken793Value = -1;    // 1 degree up
  for (int frame = 1; frame <= 100; ++frame) {
    MoveFlightDirectorBars();
    const double roll = std::max(-0.33 * frame, -25.0);
    ASSERT_NEAR(display_state.FdRollBarShown, roll, 1e-9) << frame;
    ASSERT_NEAR(display_state.FdPitchBarShown, frame < 10 ? -0.11 * frame : -1.0, 1e-9) << frame;
  }
}

TEST(AttitudeKitTest, FlightPathVectorInsidePinnedAndFlashing) {
  ResetModuleState();
  model::model_state.DispFPV = 1;
  G().GroundSpeedKnots = 300;
  G().DriftAngle = 4;
  constexpr FlightPathVectorScale kPinned{1.8, 3.0, 70, 65, true};
  constexpr FlightPathVectorScale kFree{2.7, 4.5, 50, 55, false};
  struct Case {
    double vs, drift, gs;
    int frame;
    FlightPathVectorScale scale;
    int x, y;
    bool shown, beyond;
  } cases[] = {
      {0, 4, 300, 0, kPinned, 12, 0, true, false},
      {-1000, -4, 300, 9, kPinned, -12, 6, true, false},  // 1.8 x 1000 / 300 = 6 down
      {11666, 0, 300, 9, kPinned, 0, -69, true, false},   // -69.996: inside
      {11667, 0, 300, 9, kPinned, 0, -70, true, false},   // -70.002 truncates to -70: the limit itself
      {12000, 0, 300, 7, kPinned, 0, -70, true, true},    // beyond: pinned, shown at frame 7
      {12000, 0, 300, 8, kPinned, 0, -70, false, true},   // hidden at frame 8
      {0, 22, 300, 17, kPinned, 65, 0, false, true},      // 66 to the right: pinned at 65
      {0, -22, 300, 0, kPinned, -65, 0, true, true},
      {1e300, 0, 300, 0, kPinned, 0, -70, true, true},  // an extreme rate stays finite
      {6000, 0, 300, 3, kFree, 0, -54, true, true},     // not pinned: drawn where it lies
      {0, 0, 60, 0, kPinned, 0, 0, false, false},       // 60 kt: not drawn
  };
  for (const Case& c : cases) {
    G().DriftAngle = c.drift;
    G().GroundSpeedKnots = c.gs;
    G().FrameCounter = c.frame;
    const FlightPathVectorPlace p = PlaceFlightPathVector(c.scale, c.vs);
    EXPECT_EQ(p.shown, c.shown) << c.vs << " " << c.drift << " " << c.gs;
    if (c.gs <= 60) continue;
    EXPECT_EQ(p.x, c.x) << c.vs << " " << c.drift;
    EXPECT_EQ(p.y, c.y) << c.vs << " " << c.drift;
    EXPECT_EQ(p.beyond, c.beyond) << c.vs << " " << c.drift;
  }
  G().GroundSpeedKnots = 300;
  model::model_state.DispFPV = 2;
  EXPECT_FALSE(PlaceFlightPathVector(kPinned, 0).shown);
}

// Non-digits read as 0; cycles wrap both ways with a non-negative
// remainder.
TEST(AttitudeKitTest, DigitsAndDrumSteps) {
  struct Digit {
    const char* text;
    std::size_t index;
    int digit;
  } digits[] = {{"12345", 0, 1}, {"12345", 4, 5}, {"12345", 5, 0}, {"  5.0", 0, 0},
                {"-350", 0, 0},  {"-350", 1, 3},  {"", 0, 0},      {"9.", 1, 0}};
  for (const Digit& d : digits) EXPECT_EQ(DigitAt(d.text, d.index), d.digit) << d.text << "[" << d.index << "]";
  struct Step {
    int position, steps, count, expected;
  } steps[] = {{9, 1, 10, 0},  {0, -1, 10, 9}, {0, -2, 10, 8}, {4, 1, 5, 0}, {0, -1, 5, 4},
               {3, 12, 10, 5}, {-7, 0, 10, 3}, {2, -13, 5, 4}, {5, 1, 0, 0}};
  for (const Step& s : steps) {
    EXPECT_EQ(CycleStep(s.position, s.steps, s.count), s.expected) << s.position << " + " << s.steps;
  }
  // A units drum at 9 with two neighbours each way, higher above: 1, 0, 9,
  // 8, 7 from the top; a twenty-foot drum at 80 the other way round.
  test::Recording r;
  gfx::Graphics g(&r.dc);
  const gfx::Font font = ArialBold(10);
  const gfx::SolidBrush brush(colour::kWhite);
  DrawDrumColumn(g, FineGrid{}, font, brush, 20, 50, DrumColumn{10, 1, 2, 15, true, "%d"}, 9);
  DrawDrumColumn(g, FineGrid{}, font, brush, 20, 50, DrumColumn{5, 2, 2, 12, false, "%d0"}, 4);
  const auto texts = r.rec.Texts();
  ASSERT_EQ(texts.size(), 10u);
  const char* expected[] = {"7", "8", "9", "0", "1", "20", "00", "80", "60", "40"};
  const float ys[] = {80, 65, 50, 35, 20, 74, 62, 50, 38, 26};
  for (int i = 0; i < 10; ++i) {
    EXPECT_EQ(texts[i].text, expected[i]) << i;
    EXPECT_FLOAT_EQ(texts[i].y, ys[i]) << i;
  }
}

TEST(AttitudeKitTest, TapeMarksEndForAnyBounds) {
  struct Case {
    double from, to;
    int step;
    std::int64_t first;
    int count;
  } cases[] = {
      {175, 314, 10, 180, 14},         // 180 .. 310
      {180, 310, 10, 180, 14},         // both bounds are marks
      {-625.5, 374.5, 100, -600, 10},  // below zero: -600 .. 300
      {0.5, 0.9, 10, 0, 0},            // no multiple within
      {-5, 5, 10, 0, 1},
      {1e300, 2e300, 100, 0, 0},  // held at 1e9: the one mark there
      {-1e300, 1e300, 1, -1000000000, kMaxTapeMarks},
      {kNan, 10, 10, 0, 0},
      {0, std::numeric_limits<double>::infinity(), 10, 0, 0},
  };
  for (const Case& c : cases) {
    const TapeMarks m = MarksWithin(c.from, c.to, c.step);
    if (c.from == 1e300) {
      EXPECT_EQ(m.count, 1);
      EXPECT_EQ(m.At(0), 1000000000);
      continue;
    }
    EXPECT_EQ(m.count, c.count) << c.from << " .. " << c.to;
    if (c.count > 0) {
      EXPECT_EQ(m.first, c.first) << c.from << " .. " << c.to;
    }
  }
  EXPECT_EQ(MarksWithin(175, 314, 10).At(13), 310);
}

bool yes() { return true; }
bool no() { return false; }

// The first row that holds in each field, whatever the later rows hold.
TEST(AttitudeKitTest, AnnunciationTablesShowOneRowAField) {
  const Annunciation table[] = {
      {0, no, "A", 0, 0, 9, colour::kGreen},
      {0, yes, "B", 0, 0, 9, colour::kGreen},
      {0, yes, "C", 0, 0, 9, colour::kGreen},
      {1, yes, "D", 10, 20, 9, colour::kWhite},
      {2, no, "E", 0, 0, 9, colour::kGreen},
      {1, yes, "F", 0, 0, 9, colour::kGreen},
      {31, yes, "ALT %03.0f", 5, 6, 8, colour::kGreen, [] { return 250.0; }},
  };
  EXPECT_EQ(ShownAnnunciations(table), 0b1001010u);
  test::Recording r;
  gfx::Graphics g(&r.dc);
  DrawAnnunciations(g, table, ArialBold);
  const auto texts = r.rec.Texts();
  ASSERT_EQ(texts.size(), 3u);
  EXPECT_EQ(texts[0].text, "B");
  EXPECT_EQ(texts[1].text, "D");
  EXPECT_EQ(texts[1].color, colour::kWhite);
  EXPECT_FLOAT_EQ(texts[1].x, 10);
  EXPECT_EQ(texts[2].text, "ALT 250");
}

// 16 sx and 16 sy fine units a canvas unit under a uniform 1/16 scale: a
// canvas point lands where the plain scale puts it, and a turn in this
// frame keeps its angle on a stretched surface.
// The overspeed marks begin at token 63 / 128 unless the aircraft flies
// more than 120 kt above it; then 70 kt below the speed, so the marks stay
// on the tape, over the speed.
TEST(AttitudeKitTest, OverspeedReferenceFollowsAFarFasterAircraftFromBelow) {
  ResetModuleState();
  testing::FakeHost host;
  host.Bind();
  host.tokens[63] = 250 * 128;
  for (auto [speed, reference] : {std::pair{0.0, 250.0}, {300.0, 250.0}, {370.0, 250.0}, {370.5, 300.5}, {500.0, 430.0}})
    EXPECT_EQ(OverspeedReference(speed), reference) << speed;
  host.tokens[63] = 0;  // no reference: any speed above 120 kt carries it
  EXPECT_EQ(OverspeedReference(120.0), 0.0);
  EXPECT_EQ(OverspeedReference(121.0), 51.0);
}

TEST(AttitudeKitTest, DeviceSixteenthsGridTurnsTrue) {
  const CanvasScale scale = ScaleToSurface(Canvas{266, 230}, 280, 262);
  const FineGrid grid = DeviceFractionsFor(scale, 16);
  EXPECT_DOUBLE_EQ(grid.gx, 16.0 * (280.0f / 266.0f));
  EXPECT_FLOAT_EQ(grid.wx, 0.0625f);
  EXPECT_FLOAT_EQ(grid.wy, 0.0625f);
  EXPECT_EQ(grid.X(-99.5), static_cast<int>(-99.5 * grid.gx));
  test::Recording r;
  gfx::Graphics g(&r.dc);
  UseFineGrid(g, grid, 129, 114, 90.0);
  g.DrawLineI(gfx::Pen(colour::kWhite, 1.0f), 0, 0, grid.X(100), 0);
  const gfx::RecordedOp& op = r.rec.Ops()[0];
  EXPECT_NEAR(op.points[0].X, 129 * 280.0 / 266.0, 1e-3);
  EXPECT_NEAR(op.points[0].Y, 114 * 262.0 / 230.0, 1e-3);
  // A line along x turned 90 degrees runs straight down, 100 sx pixels long.
  EXPECT_NEAR(op.points[1].X, op.points[0].X, 1e-3);
  EXPECT_NEAR(op.points[1].Y - op.points[0].Y, grid.X(100) / 16.0, 1e-3);
  EXPECT_EQ(DeviceFractionsFor(ScaleToSurface(Canvas{266, 230}, 0, 262), 16).wx, 1.0f);
}

}  // namespace
}  // namespace ovi::display
