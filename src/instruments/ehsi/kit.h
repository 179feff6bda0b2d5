// The rose pieces every EHSI draws: a compass scale, pointers and symbols
// from point tables, a course pointer with its deviation bar and TO/FROM
// head, a glideslope scale and the selected-heading marker or readout. Each
// display gives its own numbers as a table (src/instruments/ehsi/<display>/)
// and draws with these routines, so a later display adds tables, not
// copies. Coordinates are canvas units about the rose's centre, y down;
// rotations clockwise on the screen, a pointer at bearing b turned by
// (b - heading) so that (0, -r) points at it.
#pragma once

#include <span>

#include "platform/gfx/graphics.h"
#include "src/display/kit.h"

namespace ovi::ehsi {

using display::Segment;

// The canvas scale with the origin on a rose's centre. `heading` is the
// aircraft heading the rose turns with (a finite number).
struct RoseFrame {
  gfx::Graphics& g;
  display::CanvasScale scale;
  float cx = 0.0f;
  float cy = 0.0f;
  double heading = 0.0;

  // Origin on the centre, turned by `rotation` degrees.
  void At(double rotation = 0.0) const;
  // Turned so that (0, -r) points at `bearing`.
  void Toward(double bearing) const { At(bearing - heading); }
};

// Lines in one pen: pairs drawn one by one and one open outline.
struct Shape {
  gfx::ARGB colour;
  float width;
  std::span<const Segment> lines;
  std::span<const gfx::Point> outline;
};
// Draws `shape` in the frame's current transform.
void DrawShape(gfx::Graphics& g, const Shape& shape);
// Draws `shape` turned toward `bearing` (a pointer, a marker).
void DrawShapeToward(const RoseFrame& f, double bearing, const Shape& shape);

// A heading scale: a tick every `step` degrees, long every `major_every`,
// and on marks that are multiples of `label_every` the label a / 10 ("%d",
// or "%02d" from 1 when padded), placed at (x, label_y) with x by its
// number of digits. A label either
// turns with its tick, or (upright_radius above 0) stands upright on a
// frame moved out to that radius. With a window, only marks whose plain
// difference a - heading lies strictly within it of 0 or of +-360 are
// drawn.
struct CompassScale {
  int step;
  int major_every;
  int label_every;
  int tick_radius;   // ticks run outward from here
  int minor_outer;
  int major_outer;
  double window;     // degrees; 0 = the whole circle
  gfx::Font (*font)(float size);
  float font_size;
  float label_x_one_digit;
  float label_x_two_digits;
  float label_y;
  float upright_radius;
  // Pen width of the ticks.
  float tick_width = 2.0f;
  // Labels of 1 to 9 in two digits ("09").
  bool padded_labels = false;
  // Labels on marks that are multiples of major_every in this size (0: the
  // same size), moved this much further along x.
  float major_font_size = 0.0f;
  float major_label_shift = 0.0f;
};
// White ticks (width 2) and labels.
void DrawCompassScale(const RoseFrame& f, const CompassScale& scale);
// Whether the mark at `a` degrees lies inside the window for `heading`.
bool InCompassWindow(double a, double heading, double window);

// The course pointer, turned toward the selected course: white deviation
// dots, the arrow, the deviation bar at x = trunc(needle x bar_per_needle)
// from bar_top to bar_bottom in the arrow's pen, and, when the tables are
// given, the TO or FROM head moved along with the bar.
struct CoursePointer {
  std::span<const gfx::Point> dots;  // top-left corners
  int dot_diameter;
  Shape arrow;
  int bar_top;
  int bar_bottom;
  double bar_per_needle;
  std::span<const Segment> to_head;
  std::span<const Segment> from_head;
};
enum class ToFrom { kNone, kTo, kFrom };
void DrawCoursePointer(const RoseFrame& f, const CoursePointer& pointer, double course, double needle,
                       ToFrom sense);

// A glideslope scale in the unturned frame: white dots and centre mark, and
// the magenta pointer outline moved to y = trunc(needle x per_needle +
// offset).
struct GlideslopeScale {
  std::span<const gfx::Point> dots;  // top-left corners
  int dot_diameter;
  Segment centre;
  double per_needle;
  double offset;
  std::span<const gfx::Point> pointer;  // about y 0
};
void DrawGlideslopeScale(const RoseFrame& f, const GlideslopeScale& scale, double needle);

// The selected heading: a marker line toward it, or, on a display with a
// readout, while the selected heading lies more than `readout_beyond`
// degrees (the shorter way) off the heading, its value "%03.0f" written at
// `readout_at` in a frame turned `readout_turn` degrees to that side.
struct HeadingMarker {
  Shape line;
  double readout_beyond;  // 0 = never
  double readout_turn;
  gfx::PointF readout_at;
  gfx::Font (*font)(float size);
  float font_size;
};
void DrawSelectedHeading(const RoseFrame& f, const HeadingMarker& marker, double selected);
// The shorter angle from heading `h` to selected heading `s`: positive to the
// right, negative to the left; exactly 180 counts as left when h > s and as
// right otherwise.
double ShorterTurn(double h, double s);

// What the first navigation radio receives: nothing (no signal), a VOR, an
// ILS (localizer with glideslope) or a localizer alone.
enum class Nav1Source { kNone, kVor, kIls, kLoc };
Nav1Source ReadNav1Source();
const char* Nav1SourceLabel(Nav1Source source);  // "VOR", "ILS", "LOC"; "" for none

}  // namespace ovi::ehsi
