// The drawing kit every display instrument shares (the navigation displays,
// the EHSIs, and the EFS 50, P1000 and C-17 displays that follow them). A
// display draws on a fixed logical canvas scaled to its element at every
// frame, with one palette and one set of fonts, places its texts through one
// bounded formatter and turns computed places into pixels only through
// gfx::TruncToPixel. docs/displays.md describes how a display is put
// together from these pieces.
#pragma once

#include <cstddef>
#include <span>
#include <string>

#include "platform/gfx/graphics.h"
#include "src/display/map_labels.h"

namespace ovi::display {

// --- Palette (ARGB) ---------------------------------------------------------
namespace colour {
inline constexpr gfx::ARGB kGreen = 0xFF00FA00;
inline constexpr gfx::ARGB kWhite = 0xFFDEE6E9;
inline constexpr gfx::ARGB kMagenta = 0xFFFF13D5;
inline constexpr gfx::ARGB kBlue = 0xFF02A7EB;
// The C-17 displays' blue.
inline constexpr gfx::ARGB kSkyBlue = 0xFF18C2E7;
inline constexpr gfx::ARGB kCyan = 0xFF00E6E9;
inline constexpr gfx::ARGB kLightGreen = 0xFF5BE5A7;
inline constexpr gfx::ARGB kAmber = 0xFFE9B73E;
inline constexpr gfx::ARGB kYellow = 0xFFFFFF00;
inline constexpr gfx::ARGB kRed = 0xFFFF0000;
inline constexpr gfx::ARGB kBlack = 0xFF000000;
// Aircraft symbols and lubber marks of the EHSIs.
inline constexpr gfx::ARGB kTan = 0xFFE3CF8A;
// What a display shows while it is switched off or blanked.
inline constexpr gfx::ARGB kTransparent = 0x00000000;
}  // namespace colour

// Opaque background from the three colour keys of an aircraft file; only
// the low 8 bits of each count.
gfx::ARGB BackgroundColour(int red, int green, int blue);

// --- Canvas and scale -------------------------------------------------------
// The logical canvas a display is drawn on, in canvas units; x to the right,
// y downwards, origin top left.
struct Canvas {
  float width;
  float height;
};

// Canvas units to device pixels, in single precision as the displays
// compute it. `usable` is false for a surface without pixels.
struct CanvasScale {
  float sx = 1.0f;
  float sy = 1.0f;
  bool usable = false;
};
CanvasScale ScaleToSurface(const Canvas& canvas, int width, int height);

// The fine grid the map layers project on: the world transform is scaled by
// (W / (F (W + H)), H / (F (W + H))) and canvas coordinates are multiplied by
// gx = F (W + H) / canvas width and gy = F (W + H) / canvas height before
// they are truncated for the integer calls, so a truncated point lands on a
// device pixel (F = 1) or a sixteenth of one (F = 16) rather than on a whole
// canvas unit. Pen widths and font sizes grow by the same factors.
struct FineGrid {
  double gx = 1.0;
  double gy = 1.0;
  float wx = 1.0f;  // W / (F (W + H))
  float wy = 1.0f;  // H / (F (W + H))

  // A canvas coordinate (or length) on the grid, truncated for the integer
  // calls; a size (pen width, font) on the grid.
  int X(double x) const { return gfx::TruncToPixel(x * gx); }
  int Y(double y) const { return gfx::TruncToPixel(y * gy); }
  float SizeX(double units) const { return static_cast<float>(units * gx); }
  float SizeY(double units) const { return static_cast<float>(units * gy); }
};
FineGrid FineGridFor(const Canvas& canvas, int width, int height, int factor = 1);
// The fine grid's transform with the origin on canvas point (x, y) (placed
// at (x gx, y gy)) and turned by `turn` degrees; a value that is not a
// finite number counts as 0. Under it a canvas offset (X, Y) from the
// origin is drawn at (X gx, Y gy).
void UseFineGrid(gfx::Graphics& g, const FineGrid& grid, double x, double y, double turn = 0.0);
// The fine frame in fractions of a device pixel: a uniform world scale of
// 1 / factor, canvas coordinates multiplied by factor x sx and factor x sy
// (factor 8: eighths of a pixel, 2: halves). Integer places fall on those
// fractions whatever the element's size, and a rotation under UseFineGrid
// turns device pixels, so a drawn angle stays true on a stretched element
// (FineGridFor's grid turns canvas units, which a stretched element
// shears). A surface without pixels, or a factor below 1, gives the
// identity grid.
FineGrid DeviceFractionsFor(const CanvasScale& scale, int factor);
// The plain canvas scale as a grid (gx = gy = 1, the world scale sx, sy), for
// a routine written for grids that draws in canvas units.
FineGrid CanvasGridFor(const CanvasScale& scale);

// Reset the transform and scale to the canvas; then, for UseOrigin, move the
// origin to (x, y) and rotate by `rotation` degrees (clockwise on screen).
// A rotation that is not a finite number counts as 0.
void UseCanvas(gfx::Graphics& g, const CanvasScale& scale);
void UseOrigin(gfx::Graphics& g, const CanvasScale& scale, float x, float y, double rotation = 0.0);

// Fills the whole canvas with `colour` under the canvas scale, covering the
// surface's outermost rows and columns whole, so nothing of the previous
// picture stays at the edges.
void FillCanvas(gfx::Graphics& g, const CanvasScale& scale, const Canvas& canvas, gfx::ARGB colour);

// `value` when it is a finite number, else `fallback`: every per-tick value
// goes through this before it reaches a transform or an integer conversion.
double FiniteOr(double value, double fallback = 0.0);

// Angle a - b folded into (-180, 180].
double RelativeAngle(double a, double b);

// --- Fonts ------------------------------------------------------------------
// Sizes are canvas units (pixel unit under the canvas scale).
gfx::Font ArialBold(float size);
gfx::Font DaReredBold(float size);
gfx::Font CourierNewBold(float size);
// The A320 EADI's face.
gfx::Font TahomaBold(float size);

// --- Screen texts -------------------------------------------------------------
// Texts are formatted printf-style into a narrow buffer and drawn as at most
// kScreenTextChars characters (the wide buffer the displays convert into),
// placed by the top-left corner of their layout box.
inline constexpr std::size_t kScreenTextBuffer = 140;
inline constexpr std::size_t kScreenTextChars = 99;

void DrawScreenText(gfx::Graphics& g, const gfx::Font& font, const gfx::SolidBrush& brush, float x, float y,
                    const char* text);
void DrawScreenTextF(gfx::Graphics& g, const gfx::Font& font, const gfx::SolidBrush& brush, float x, float y,
                     const char* format, ...) __attribute__((format(printf, 6, 7)));
// The same for a text of the map area, weighed at `rank` against the
// picture's other texts (display/map_labels.h).
void DrawMapTextF(gfx::Graphics& g, MapRank rank, const gfx::Font& font, const gfx::SolidBrush& brush, float x,
                  float y, const char* format, ...) __attribute__((format(printf, 7, 8)));
// Number of characters the text of `format` has (as drawn, at most
// kScreenTextChars).
std::size_t ScreenTextLength(const char* format, ...) __attribute__((format(printf, 1, 2)));

// The figure a range ring `nm` out is written with, right-aligned in
// `width` characters: the distance it stands at, whole where it is whole,
// else to a tenth ("1.2" for 1.25, "1.7" for 1.67), and below 1 NM to two
// figures ("0.25", "0.083") so that no ring reads 0. A value that is not a
// number reads 0.
std::string RingFigure(double nm, int width = 0);

// --- Shapes from point tables -------------------------------------------------
// A display's pointers and symbols are tables of whole canvas units.
using Segment = gfx::Point[2];

// Each pair as its own line, moved by (dx, dy).
void DrawSegments(gfx::Graphics& g, const gfx::Pen& pen, std::span<const Segment> segments, int dx = 0,
                  int dy = 0);
// Circles of `diameter` with their bounding boxes' top-left corners at
// `corners`.
void DrawCircles(gfx::Graphics& g, const gfx::Pen& pen, std::span<const gfx::Point> corners, int diameter);
// One polyline through `points` (at most 16) moved by (dx, dy): a mark that
// slides along a scale.
void DrawPolylineAt(gfx::Graphics& g, const gfx::Pen& pen, std::span<const gfx::Point> points, int dx, int dy);

// --- Radio readouts -------------------------------------------------------------
// The first navigation radio's active frequency in MHz (its BCD word read as
// decimal digits, x 0.01 + 100) and the ADF's in kHz.
double Nav1FrequencyMhz();
double AdfFrequencyKhz();
// Bearing of the station tuned on the first navigation radio (the heading
// plus its relative bearing, below 360).
double Nav1StationBearing();
// True while the selected course points towards the tuned station: the
// angle between course and station bearing, taken the short way round, is
// below 90 degrees.
bool Nav1ToStation();

// --- Layer tables -------------------------------------------------------------
// One layer of a display: drawn in table order whenever its condition holds.
// Conditions read the shared state and the frame only; they draw nothing, so
// a table can be checked without a surface.
template <typename Frame>
struct Layer {
  const char* name;
  bool (*condition)(const Frame& frame);
  void (*draw)(const Frame& frame);
};

template <typename Frame>
void DrawLayers(std::span<const Layer<Frame>> layers, const Frame& frame) {
  for (const Layer<Frame>& layer : layers) {
    if (layer.condition(frame)) layer.draw(frame);
  }
}

}  // namespace ovi::display
