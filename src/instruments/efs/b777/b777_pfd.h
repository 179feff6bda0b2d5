// The B777 PFD (gauge B777_PFD_NB): its draw entry, the painter and its
// layers. Everything is drawn on the 260 x 260 canvas about the attitude
// centre (115, 130), in two passes: the canvas pass (the canvas scaled to
// the element) and the fine pass (the drawing kit's fine grid, F = 16),
// whose integer places fall on sixteenths of a device pixel.
#pragma once

#include <span>

#include "platform/gfx/graphics.h"
#include "platform/panel/panel.h"
#include "src/display/attitude_kit.h"
#include "src/display/kit.h"
#include "src/display/lifetime.h"

namespace ovi::efs {

inline constexpr display::Canvas kB777Canvas{260.0f, 260.0f};
inline constexpr float kB777CentreX = 115.0f;
inline constexpr float kB777CentreY = 130.0f;
// What the surface is cleared to while the display is off or blanked: no
// alpha, so nothing of its colour shows.
inline constexpr gfx::ARGB kB777Blank = 0x0072BD61;

namespace b777_colour {
inline constexpr gfx::ARGB kWhite = display::colour::kWhite;
inline constexpr gfx::ARGB kGreen = display::colour::kGreen;
inline constexpr gfx::ARGB kAmber = display::colour::kAmber;
inline constexpr gfx::ARGB kMagenta = display::colour::kMagenta;
inline constexpr gfx::ARGB kBlack = display::colour::kBlack;
inline constexpr gfx::ARGB kRedPen = 0xFFFF0000;
inline constexpr gfx::ARGB kRedFill = 0xFFFA0000;
}  // namespace b777_colour

// One picture's drawing frame, handed to every layer.
struct B777Frame {
  gfx::Graphics& g;
  display::CanvasScale scale;
  display::FineGrid grid;
  gfx::ARGB sky, ground, tape, background;
  // Read once at the start of the painter: the barber pole's speed and the
  // stall reference, knots.
  double overspeed;
  double stall_reference;

  // Canvas pass about the attitude centre, turned `rotation` degrees.
  void Canvas(double rotation = 0.0) const;
  // Fine pass about the attitude centre, turned `rotation` degrees.
  void Fine(double rotation = 0.0) const;
  gfx::Point At(double x, double y) const { return gfx::Point(grid.X(x), grid.Y(y)); }
  float Size(double units) const { return grid.SizeY(units); }
};

// Draws one picture. `size` is the surface's pixel size (null: the device
// context's own); variant 2, like display power 0, clears the surface.
// Nothing happens without a device context.
void DrawB777Pfd(display::GaugeDisplay& display, gfx::DeviceContext* dc, const PIXSIZE* size, int variant);
// The painter: every layer in order, on a graphics object the entry has
// prepared.
void DrawB777PfdInstruments(const display::GaugeDisplay& display, gfx::Graphics& g);
// The painter's layers in drawing order.
std::span<const display::Layer<B777Frame>> B777PfdLayers();

// The attitude window (a rounded rectangle) and the ladder's clip (an arch
// over the window's lower part), as clips in the canvas pass.
void ClipToB777Window(const B777Frame& f);
void ClipToB777Ladder(const B777Frame& f);

// Layers, one file each beside the attitude's.
void DrawB777SpeedTape(const B777Frame& f);
void DrawB777AltitudeTape(const B777Frame& f);
void DrawB777VerticalSpeed(const B777Frame& f);
void DrawB777ModeStrip(const B777Frame& f);
void DrawB777Readouts(const B777Frame& f);
void DrawB777DeviationScales(const B777Frame& f);
void DrawB777MarkerBeacon(const B777Frame& f);
void DrawB777HeadingArc(const B777Frame& f);

// A rectangle of the fine pass, (left, top) to (right, bottom) in canvas
// units about the attitude centre, as the clip.
void ClipToB777Rectangle(const B777Frame& f, double left, double top, double right, double bottom);

// A boxed readout of the fine pass: the box (8 canvas points) filled with
// the background; inside it, clipped to it, the text's first characters at
// their places and its rolling part as a drum column; then the box outlined.
struct ReadoutText;
struct ReadoutCharacter {
  double x, y;
  float size;
};
struct ReadoutLayout {
  std::span<const gfx::Point> box;
  std::span<const ReadoutCharacter> fixed;  // text[0], text[1], ...
  const display::DrumColumn& drum;
  double drum_x;
  float drum_size;
};
void DrawB777Readout(const B777Frame& f, const ReadoutLayout& layout, const ReadoutText& text, double drum_y,
                     int drum_position);

// The mode strip's rows: (field, condition, text, place, font, colour),
// tried in order, one text a field.
std::span<const display::Annunciation> B777ModeStrip();

// Vertical speed (ft/min, either sign) to the needle's length in units:
// straight between the scale's breakpoints, 64 beyond 6000.
double B777VerticalSpeedUnits(double fpm);

// The speed readout's text (at most 9 characters, "ddd.ddddd"): the speed
// held within 0 to 999.99999 kt, printed "%3.5f" from 100, " %2.5f" from 10,
// "  %1.5f" below.
struct ReadoutText {
  char text[16];
  int length;
};
ReadoutText B777SpeedReadout(double knots);
// The altitude readout's text (7 characters): the altitude held within
// -9999.9 to 99999.9 ft, printed "%5.1f" from 10000, " %4.1f" from 1000,
// "  %3.1f" from 100 and "   %04.1f" below, a minus sign in front of the
// digits of a negative altitude.
ReadoutText B777AltitudeReadout(double feet);

}  // namespace ovi::efs
