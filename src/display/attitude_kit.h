// What the attitude displays share beyond the drawing kit (src/display/kit.h):
// the flight-director bars every attitude display moves, the flight path
// vector, rolling-digit columns, the marks of a moving tape, and
// annunciations kept as tables. Each display gives its own numbers (steps,
// scales, limits, cycles, places) as data; docs/attitude.md describes the
// displays built on it.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "platform/gfx/graphics.h"
#include "src/display/kit.h"

namespace ovi::display {

// --- Flight director ---------------------------------------------------------
// Every attitude display on a panel moves the same two bar positions
// (display_state.FdRollBarShown, FdPitchBarShown), each by its own steps per
// frame it draws the bars in. So two attitude gauges drawn in one frame move
// the bars twice as fast, and a display that does not draw them (flight
// director off, surface blanked) leaves them where they are.
struct FlightDirectorSteps {
  double roll = 0.33;   // degrees a drawn frame
  double pitch = 0.11;  // degrees a drawn frame
  double roll_limit = 25.0;
};

// Where the bars are driven to: the command less the attitude, signed, in
// the screen's own sense on both axes. Roll: BankAttitude - trunc(
// FlightDirectorBank) (bank values are positive left wing down, so a
// command to bank right gives a positive, clockwise target), truncated to a
// whole degree and held within +-roll_limit. Pitch: SimToken793Value -
// PitchAttitude (pitch values are positive nose down, so a command above
// the attitude gives a negative, upward target).
struct FlightDirectorTargets {
  double roll = 0.0;
  double pitch = 0.0;
};
FlightDirectorTargets FlightDirectorTargetsNow(double roll_limit = 25.0);

// `shown` moved `step` toward `target`; the target itself once within a step.
double StepToward(double shown, double target, double step);

// One drawn frame of the bars: both shared positions step toward the
// targets. Call it only on frames that draw the bars.
void MoveFlightDirectorBars(const FlightDirectorSteps& steps = {});

// --- Flight path vector ----------------------------------------------------
// The symbol's place about the attitude centre: y = trunc(-per_gradient x
// vertical speed (ft/min) / ground speed (kt)), x = trunc(per_drift x
// DriftAngle). It is shown only while DispFPV is 1 and the ground speed is
// above 60 kt. A place beyond the limits flashes (shown while FrameCounter is
// below 8) and, where the display pins it, is held at the limits.
struct FlightPathVectorScale {
  double per_gradient;
  double per_drift;
  int y_limit;
  int x_limit;
  bool pin;
};
struct FlightPathVectorPlace {
  int x = 0;
  int y = 0;
  bool shown = false;
  bool beyond = false;  // outside the limits (before pinning)
};
FlightPathVectorPlace PlaceFlightPathVector(const FlightPathVectorScale& scale, double vertical_speed_fpm);
// The symbol about (x, y): a circle of radius 6, the fin up to 12 and the
// wings out to 12 on both sides.
void DrawFlightPathVector(gfx::Graphics& g, const gfx::Pen& pen, int x, int y);

// --- Rolling digits ---------------------------------------------------------
// The digit text[index] stands for: 0 for a blank, a sign, any other
// character and a place beyond the text.
int DigitAt(std::string_view text, std::size_t index);
// `position` moved `steps` places round a cycle of `count` (the remainder
// taken non-negative): 9 + 1 is 0 on a cycle of 10, 0 - 1 is 4 on a cycle
// of 5.
int CycleStep(int position, int steps, int count);

// A five-character altitude readout: the altitude held within -9999 to
// 99999 ft and rounded to the foot, right-aligned, at least two digits from
// 0 on ("   05", "  850", "12345"); a negative altitude with its minus sign
// in front of its digits ("  -50"). Plain formats ("   %02.0f" below
// 100 ft, "  %3.0f" below 1000, " %4.0f" below 10000, else "%5.0f") grow a
// sixth character below 0, from 100000 ft and where rounding reaches the
// next format.
struct AltitudeText {
  char text[8];
};
AltitudeText FiveCharacterAltitude(double feet);

// A column of values on a drum: the shown position and `neighbours` more on
// each side, `pitch` canvas units apart, each printed with `format` from
// position x `value_per_step` ("%d" with 1 for a units digit, "%d0" with 2
// for twenty-foot steps). The next higher position lies above the shown one
// (higher_above) or below it.
struct DrumColumn {
  int cycle;
  int value_per_step;
  int neighbours;
  double pitch;
  bool higher_above;
  const char* format;
};
// Draws the column with the shown position's text top-left at canvas (x, y)
// placed on `grid` (an identity grid draws in canvas units).
void DrawDrumColumn(gfx::Graphics& g, const FineGrid& grid, const gfx::Font& font, const gfx::SolidBrush& brush,
                    double x, double y, const DrumColumn& column, int position);

// --- Tape marks ------------------------------------------------------------
// The multiples of `step` within [from, to], lowest first: a walk that ends
// for any input. Bounds that are not finite numbers give none; bounds are held
// within +-1e9 and a walk visits at most kMaxTapeMarks marks.
inline constexpr int kMaxTapeMarks = 400;
struct TapeMarks {
  std::int64_t first = 0;
  int count = 0;
  int step = 1;
  std::int64_t At(int i) const { return first + static_cast<std::int64_t>(i) * step; }
};
TapeMarks MarksWithin(double from, double to, int step);

// --- Annunciations as tables -----------------------------------------------
// One row: in its field, the first row (in table order) whose condition holds
// is drawn, and the field's later rows are not. The text is drawn with its
// top-left at (x, y) in the current transform, printed from `format` with
// `value` when the row has one.
struct Annunciation {
  int field;  // 0..31
  bool (*holds)();
  const char* format;
  float x;
  float y;
  float font_size;
  gfx::ARGB colour;
  double (*value)() = nullptr;
};
// Bit i set: row i is drawn.
std::uint64_t ShownAnnunciations(std::span<const Annunciation> table);
void DrawAnnunciations(gfx::Graphics& g, std::span<const Annunciation> table, gfx::Font (*font)(float size));

// --- Attitude clip ----------------------------------------------------------
// The clip of a round attitude area cut straight at its sides, in the
// current transform about its centre: the arc of `top_radius` over the top
// (210 to 330 degrees), the side x = side from -half_height to
// half_height, the arc of `bottom_radius` under the bottom (30 to 150
// degrees), the side x = -side, closed.
void ClipToCutDisc(gfx::Graphics& g, int top_radius, int bottom_radius, int side, int half_height);

// --- Speed limits ----------------------------------------------------------
// Where a speed tape's overspeed marks begin, knots: token 63 / 128, but
// never more than 120 kt below `speed` (further off, 70 kt below it).
double OverspeedReference(double speed);
// The stall speed the low-speed marks stand on, knots: the design speed VS0
// with the flaps out (token 907 non-zero), else VS1.
double StallReference();

// --- Marker beacons --------------------------------------------------------
// The marker beacon received: 1 outer, 2 middle, 3 inner, 0 none.
int MarkerBeaconNow();

}  // namespace ovi::display
