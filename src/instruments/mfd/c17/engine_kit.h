// What the C-17 engine pages (9, 10, 11) and the configuration page (12)
// share: the canvas set-up with the pages' palette and fonts, the engine
// pages' header (maximum-thrust time line, reverse-thrust marks, rating
// line), the half-circle dial of pages 10 and 11 with its colour rules, and
// the bar that grows from an edge.
#pragma once

#include <array>
#include <cstddef>
#include <span>

#include "platform/gfx/graphics.h"
#include "src/display/kit.h"
#include "src/display/lifetime.h"

namespace ovi::c17 {

// The C-17 displays' blue, drawn as cyan on these pages.
inline constexpr gfx::ARGB kC17Cyan = display::colour::kSkyBlue;

// The canvas of one page drawing: the transform reset to the plain canvas
// scale, the palette's brushes and the two fonts ("Arial" bold 10 and 8).
// Created at the start of a page and gone when it returns.
struct EnginePageCanvas {
  EnginePageCanvas(const display::GaugeDisplay& display, gfx::Graphics& g);

  // The brush of a palette colour (green for a colour off the palette).
  const gfx::SolidBrush& Brush(gfx::ARGB colour) const;
  // Back to the plain canvas scale; UseOrigin moves to (x, y) and turns by
  // `rotation` degrees clockwise.
  void UseCanvas() const;
  void UseOrigin(float x, float y, double rotation = 0.0) const;

  gfx::Graphics& g;
  display::CanvasScale scale;
  gfx::Font label;
  gfx::Font small;
  gfx::SolidBrush green{display::colour::kGreen};
  gfx::SolidBrush white{display::colour::kWhite};
  gfx::SolidBrush cyan{kC17Cyan};
  gfx::SolidBrush yellow{display::colour::kYellow};
  gfx::SolidBrush red{display::colour::kRed};
};

// --- Numbers ------------------------------------------------------------------
// The minutes and whole seconds of a time in seconds, whole hours dropped
// (3700 s is 1 min 40 s). A time that is not a number, or negative, is 0.
struct MinutesSeconds {
  double minutes = 0.0;
  double seconds = 0.0;
};
MinutesSeconds MinutesAndSeconds(double seconds);

// A value a readout formats: not a number shows 0, and beyond +-999999 it
// stops there, so no text outgrows its column.
double Readout(double value);

// Fixed texts of a page, each at its place.
struct PageText {
  float x, y;
  const char* text;
};
void DrawTexts(const EnginePageCanvas& c, const gfx::Font& font, const gfx::SolidBrush& brush,
               std::span<const PageText> texts);

// --- Header of pages 9 and 10 ---------------------------------------------------
// The thrust levers of engines 1 to 4 (-16384 to 16383, negative in reverse).
std::array<double, 4> ThrustLevers();
// The maximum-thrust time line at (0, 0) from `MaxThrustTimer`.
void DrawMaxThrustTimeLine(const EnginePageCanvas& c);
// "REV" under two arcs for each engine whose lever is below 0; `row_y` is
// the arcs' top (10 on page 9, 15 on page 10).
void DrawReverseThrustMarks(const EnginePageCanvas& c, const std::array<double, 4>& levers, int row_y);
// "RATING  1.22 MCT" at (0, 43).
void DrawRatingLine(const EnginePageCanvas& c);

// Engine n's column x on the canvas for the header's reverse marks.
inline constexpr std::array<int, 4> kReverseMarkX = {14, 54, 174, 214};

// --- Colour rules ---------------------------------------------------------------
// Bands tested in order: the first whose test holds gives the colour, else
// `otherwise`. A value that is not a number matches no band.
struct ColourBand {
  bool below;    // value < limit; else value > limit
  double limit;
  gfx::ARGB colour;
};
struct ColourRule {
  std::array<ColourBand, 3> bands;
  std::size_t count;
  gfx::ARGB otherwise;
};
gfx::ARGB RuleColour(const ColourRule& rule, double value);

// --- Dials of pages 10 and 11 ---------------------------------------------------
// A dial is the upper half circle of a 50 x 50 box from 135 degrees over the
// top to 315; its needle points along 135 + A degrees, A from 0 to 180.
inline constexpr int kDialSize = 50;

// A short tick just outside the arc, at 180 + rotation degrees.
struct DialMark {
  float rotation;
  gfx::ARGB colour;
};

// The arc of the dial whose box has its top-left corner at (left, top).
void DrawDialArc(const EnginePageCanvas& c, int left, int top);
// The needle angle A of a value: trunc(value x per_unit x 180) held within
// 0..180 (per_unit is the dial's share of a full sweep per unit, 1/110 for a
// 110 % scale). A value that is not a number rests at 0.
int NeedleAngle(double value, double per_unit);
// About the dial centre (cx, cy): the marks (width 2), then the needle from
// the centre, 25 long, at angle A, width 2, in `colour`.
void DrawDialNeedle(const EnginePageCanvas& c, int cx, int cy, std::span<const DialMark> marks, int angle,
                    gfx::ARGB colour);

// One dial of a column, as data: the box's top, where its readout stands and
// its format, its share of a sweep per unit, its marks and the colour rules
// of its readout and of its needle (which differ on page 11).
struct DialRow {
  int top;
  float readout_y;
  const char* format;  // one double
  double per_unit;
  std::array<DialMark, 3> marks;
  std::size_t mark_count;
  ColourRule text;
  ColourRule needle;
};
// The arc of the dial whose box's left edge is `left`, and its value at
// (text_x, readout_y) in the text colour.
void DrawDialFace(const EnginePageCanvas& c, const DialRow& row, int left, float text_x, double value);
// The dial's marks and needle about its centre (left + 25, top + 25).
void DrawDialPointer(const EnginePageCanvas& c, const DialRow& row, int left, double value);

// --- Bars -----------------------------------------------------------------------
// A filled bar standing on the line `base` (a y for bars growing up or down,
// an x for bars growing left or right), `across` wide from `from`, `length`
// long. A length of 0 or less draws nothing.
enum class Growth { kUp, kDown, kLeft, kRight };
void DrawBar(const EnginePageCanvas& c, const gfx::SolidBrush& brush, Growth growth, int base, int from, int across,
             int length);

}  // namespace ovi::c17
