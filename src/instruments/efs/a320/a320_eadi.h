// The A320 EADI (gauge A320_EADI_NB): its draw entry and the painter's
// groups. Everything is drawn on the 318 x 310 canvas about the instrument
// centre (149, 155), in the centre frame (the canvas scaled to the element)
// or the fine frame (the drawing kit's fine grid, F = 16), whose integer
// places fall on sixteenths of a device pixel.
#pragma once

#include <span>

#include "platform/gfx/graphics.h"
#include "platform/panel/panel.h"
#include "src/display/attitude_kit.h"
#include "src/display/kit.h"
#include "src/display/lifetime.h"

namespace ovi::efs {

inline constexpr display::Canvas kA320Canvas{318.0f, 310.0f};
// 318 / 2 - 10 and 310 / 2.
inline constexpr float kA320CentreX = 149.0f;
inline constexpr float kA320CentreY = 155.0f;

namespace a320_colour {
inline constexpr gfx::ARGB kAmber = display::colour::kAmber;
inline constexpr gfx::ARGB kGreen = display::colour::kGreen;
inline constexpr gfx::ARGB kCyan = 0xFF26C2FF;
inline constexpr gfx::ARGB kMagenta = display::colour::kMagenta;
inline constexpr gfx::ARGB kWhite = display::colour::kWhite;
inline constexpr gfx::ARGB kRed = display::colour::kRed;
inline constexpr gfx::ARGB kBlack = display::colour::kBlack;
}  // namespace a320_colour

// One picture's drawing frame, handed to every group.
struct A320Frame {
  gfx::Graphics& g;
  display::CanvasScale scale;
  display::FineGrid grid;
  gfx::ARGB sky, ground, tape;
  // Read once at the start of the painter, knots: where the overspeed marks
  // begin and the low-speed marks end.
  double overspeed;
  double low_speed;

  // Centre frame, turned `rotation` degrees.
  void Centre(double rotation = 0.0) const;
  // Fine frame about the centre, turned `rotation` degrees.
  void Fine(double rotation = 0.0) const;
  gfx::Point At(double x, double y) const { return gfx::Point(grid.X(x), grid.Y(y)); }
  // A line of the fine frame between canvas offsets.
  void Line(const gfx::Pen& pen, double x1, double y1, double x2, double y2) const;
  // A text of the fine frame with its top-left at a canvas offset.
  void Text(float size, gfx::ARGB colour, double x, double y, const char* text) const;
  gfx::Pen FinePen(gfx::ARGB colour, double width) const { return gfx::Pen(colour, grid.SizeY(width)); }
};

// Draws one picture. `size` is the surface's pixel size (null: the device
// context's own). The variant and the model number are not used: this
// display draws whenever its gauge calls it. Nothing happens without a
// device context; display power 0 clears the surface to transparent black.
void DrawA320Eadi(display::GaugeDisplay& display, gfx::DeviceContext* dc, const PIXSIZE* size, int variant,
                  int model);
// The painter: every group in order, on a graphics object the entry has
// prepared.
void DrawA320EadiInstruments(const display::GaugeDisplay& display, gfx::Graphics& g);

// The groups, in drawing order.
void DrawA320Attitude(const A320Frame& f);       // clipped: sky to flight path vector
void DrawA320RollAndDeviation(const A320Frame& f);
void DrawA320SpeedScale(const A320Frame& f);
void DrawA320AltitudeScale(const A320Frame& f);
void DrawA320SpeedTrend(const A320Frame& f);
void DrawA320HeadingScale(const A320Frame& f);
void DrawA320VerticalSpeed(const A320Frame& f);
void DrawA320DataFields(const A320Frame& f);

// The vertical speed pointer's offset (units) for a rate of either sign.
int A320VerticalSpeedOffset(double fpm);

// The mode row: (field, condition, text, place, colour), one text a field.
std::span<const display::Annunciation> A320ModeRow();

}  // namespace ovi::efs
