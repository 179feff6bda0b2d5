// Page 1 of the C-17 MFD, the primary flight page: its frames, palette and
// the pieces its three files share. Everything is drawn on the 246 x 241
// canvas about the page origin (C17MfdOriginX, C17MfdOriginY) = (122, 110):
// the canvas and origin frames (the canvas scaled to the element), the fine
// frame (the drawing kit's fine grid, F = 16, whose integer places fall on
// sixteenths of a device pixel) and the bottom frame about (122, 229).
#pragma once

#include <span>

#include "platform/gfx/graphics.h"
#include "src/display/attitude_kit.h"
#include "src/display/kit.h"

namespace ovi::c17 {

namespace pfd_colour {
inline constexpr gfx::ARGB kWhite = display::colour::kWhite;
inline constexpr gfx::ARGB kGreen = display::colour::kGreen;
// The altitude bug while altitude hold is on, and the heading pointer.
inline constexpr gfx::ARGB kPenGreen = 0xFF25C817;
inline constexpr gfx::ARGB kCyan = display::colour::kSkyBlue;
inline constexpr gfx::ARGB kMagenta = display::colour::kMagenta;
inline constexpr gfx::ARGB kAmber = display::colour::kAmber;
inline constexpr gfx::ARGB kBlack = display::colour::kBlack;
inline constexpr gfx::ARGB kRed = display::colour::kRed;
}  // namespace pfd_colour

inline constexpr float kPfdBottomY = 229.0f;

// One picture's drawing frame, handed to every group of the page.
struct PfdFrame {
  gfx::Graphics& g;
  display::CanvasScale scale;
  display::FineGrid grid;
  float origin_x, origin_y;
  gfx::ARGB sky, ground;

  void Canvas() const { display::UseCanvas(g, scale); }
  void Origin(double rotation = 0.0) const;
  void Bottom() const;
  void Fine(double rotation = 0.0) const;
  gfx::Point At(double x, double y) const { return gfx::Point(grid.X(x), grid.Y(y)); }
  void Line(const gfx::Pen& pen, double x1, double y1, double x2, double y2) const;
  // Fine-frame pens and texts: widths and sizes in canvas units.
  gfx::Pen FinePen(gfx::ARGB colour, double width) const { return gfx::Pen(colour, grid.SizeY(width)); }
  void Text(float size, gfx::ARGB colour, double x, double y, const char* text) const;
};

// The groups, in drawing order.
void DrawC17PfdDataFields(const PfdFrame& f);
void DrawC17PfdAttitude(const PfdFrame& f);
void DrawC17PfdTapes(const PfdFrame& f);
void DrawC17PfdDeviationAndHeading(const PfdFrame& f);
void DrawC17PfdModes(const PfdFrame& f);

// The warning in the attitude sphere: the first row that holds.
std::span<const display::Annunciation> C17PfdWarnings();
// The mode boxes: speed, vertical and lateral fields, each row a box with
// its text; the first row that holds in each field.
std::span<const display::Annunciation> C17PfdModeBoxes();

// The speed readout's five characters: the speed held within 0 to 999.9 kt,
// "%.1f" right-aligned ("  0.4", " 99.9", "123.4").
display::AltitudeText C17SpeedReadout(double knots);

// The heading bug's and course pointer's offset: selected - heading in
// -180..180, a difference of exactly 180 keeping its sign; 2 units a
// degree, truncated, held within +-55.
int C17HeadingScaleOffset(double selected, double heading);

}  // namespace ovi::c17
