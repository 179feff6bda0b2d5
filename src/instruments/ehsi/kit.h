// The rose pieces every EHSI draws: a compass scale, pointers and symbols
// from point tables, a course pointer with its deviation bar and TO/FROM
// head, a glideslope scale and the selected-heading marker or readout. Each
// display gives its own numbers as a table (src/instruments/ehsi/<display>/)
// and draws with these routines, so a later display adds tables, not
// copies. Coordinates are canvas units about the rose's centre, y down;
// rotations clockwise on the screen, a pointer at bearing b turned by
// (b - heading) so that (0, -r) points at it.
#pragma once

#include <optional>
#include <span>
#include <string>

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

// One colour: a filled polygon, then pairs drawn one by one and one open
// outline in a pen of `width` (dashed when `dashed`).
struct Shape {
  gfx::ARGB colour;
  float width;
  std::span<const Segment> lines;
  std::span<const gfx::Point> outline;
  std::span<const gfx::Point> fill = {};
  bool dashed = false;
};
// Draws `shape` in the frame's current transform, moved by (dx, dy); an
// outline or fill keeps to its first 16 points.
void DrawShape(gfx::Graphics& g, const Shape& shape, int dx = 0, int dy = 0);
// Draws the aircraft's own symbol `shape` like DrawShape, and claims its box
// as a mark no text of the map covers (display/map_labels.h).
void DrawAircraftShape(gfx::Graphics& g, const Shape& shape);
// Draws `shape` turned toward `bearing` (a pointer, a marker).
void DrawShapeToward(const RoseFrame& f, double bearing, const Shape& shape);

// A label of its own for the mark at `angle` ("N", "03"), placed at x.
struct CompassLabel {
  int angle;
  const char* text;
  float x;
};

// A heading scale: a tick every `step` degrees, long every `major_every`,
// and on marks that are multiples of `label_every` the label a / 10 ("%d"),
// placed at (x, label_y) with x by its number of digits, or the mark's
// entry of `labels` when the scale has them (a mark without one stays
// bare). A label either turns with its tick, or (upright_radius above 0)
// stands upright on a frame moved out to that radius. With a window, only
// marks whose plain difference a - heading lies strictly within it of 0 or
// of +-360 are drawn. Ticks run from their inner to their outer radius,
// whichever of tick_radius and the tick's other end lies inside.
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
  float tick_width = 2.0f;
  // A long tick drawn over the short one rather than instead of it.
  bool long_over_short = false;
  std::span<const CompassLabel> labels = {};
  int major_inner = 0;  // where long ticks start when not at tick_radius
  // Labels of the marks that are multiples of major_every in this size (0:
  // font_size).
  float major_font_size = 0.0f;
};
// White ticks and labels.
void DrawCompassScale(const RoseFrame& f, const CompassScale& scale);
// Whether the mark at `a` degrees lies inside the window for `heading`.
bool InCompassWindow(double a, double heading, double window);

// The course pointer, turned toward the selected course: white deviation
// dots, the arrow (and its tail, where it has one of its own), the
// deviation bar at x = trunc(needle x bar_per_needle) from bar_top to
// bar_bottom in the arrow's pen (or the outline `bar` moved to x), and the
// TO or FROM head, moved along with the bar or standing on the course line.
struct CoursePointer {
  std::span<const gfx::Point> dots;  // top-left corners
  int dot_diameter;
  Shape arrow;
  int bar_top;
  int bar_bottom;
  double bar_per_needle;
  Shape to_head;
  Shape from_head;
  float dot_width = 2.0f;
  bool heads_follow_bar = true;
  Shape tail = {};
  std::span<const gfx::Point> bar = {};
};
enum class ToFrom { kNone, kTo, kFrom };
// Without a needle there is no bar and no head.
void DrawCoursePointer(const RoseFrame& f, const CoursePointer& pointer, double course,
                       std::optional<double> needle, ToFrom sense);
// The same with the bar's offset in whole units already worked out.
void DrawCoursePointerAt(const RoseFrame& f, const CoursePointer& pointer, double course, int bar_x,
                         ToFrom sense);

// A glideslope scale in the unturned frame: white dots and centre mark, and
// the magenta pointer outline moved to y = trunc(needle x per_needle +
// offset), or, with offset_after_trunc, to offset + trunc(needle x
// per_needle) (the two differ for a needle within one unit of a whole
// place). A centre mark may be an outline instead of one line, and the
// pointer a filled shape, or a shape of its own (any colour, drawn instead
// of the magenta one); a scale may add a white frame and a second size of
// dots.
struct GlideslopeScale {
  std::span<const gfx::Point> dots;  // top-left corners
  int dot_diameter;
  Segment centre;
  double per_needle;
  double offset;
  std::span<const gfx::Point> pointer;  // about y 0
  float line_width = 2.0f;              // dots and centre mark
  std::span<const gfx::Point> centre_outline = {};
  bool pointer_filled = false;
  bool offset_after_trunc = false;
  std::span<const Segment> frame = {};
  std::span<const gfx::Point> small_dots = {};
  int small_dot_diameter = 0;
  Shape pointer_shape = {};
};
// Without the pointer (`with_pointer` false) only the scale shows.
void DrawGlideslopeScale(const RoseFrame& f, const GlideslopeScale& scale, double needle, bool with_pointer = true);
// Where the pointer stands for `needle`.
int GlideslopePointerY(const GlideslopeScale& scale, double needle);

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
  float screen_width = 0.0f;  // the canvas's width, which the readout keeps inside (0: no limit)
};
// The marker toward the selected heading; beyond `readout_beyond` degrees
// off the heading, the readout instead, turned to `readout_turn` on the
// heading's side and slid across (along the screen's width) to stand whole
// on the screen.
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

// The ident of the active waypoint cut to `field` characters; empty while
// no waypoint is active or the index lies outside the active route.
std::string ActiveWaypointIdent(int field);

}  // namespace ovi::ehsi
