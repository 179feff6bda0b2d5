// What the EFS 50's pictures share (the EADI, the EHSI and the traffic
// display): the 266 x 230 canvas with its centre, the EFS 50 palette, the
// first steps of a draw entry and the own-aircraft outline. Everything else
// comes from the display instruments' kit (src/display/kit.h).
#pragma once

#include "platform/gfx/graphics.h"
#include "platform/panel/panel.h"
#include "src/display/kit.h"
#include "src/display/lifetime.h"

namespace ovi::efs {

inline constexpr display::Canvas kEfs50Canvas{266.0f, 230.0f};
// The instrument's centre: the attitude sphere's, the full rose's and the
// traffic picture's.
inline constexpr float kEfs50CentreX = 129.0f;
inline constexpr float kEfs50CentreY = 114.0f;

// The EFS 50 palette (ARGB, opaque). Its green is its own, darker than the
// navigation displays'.
namespace efs50_colour {
inline constexpr gfx::ARGB kWhite = display::colour::kWhite;  // 0xFFDEE6E9
inline constexpr gfx::ARGB kGreen = 0xFF25C817;
inline constexpr gfx::ARGB kLightGreen = 0xFF50D175;
inline constexpr gfx::ARGB kAmber = display::colour::kAmber;      // 0xFFE9B73E
inline constexpr gfx::ARGB kBlue = display::colour::kBlue;        // 0xFF02A7EB
inline constexpr gfx::ARGB kMagenta = display::colour::kMagenta;  // 0xFFFF13D5
inline constexpr gfx::ARGB kYellow = display::colour::kYellow;    // 0xFFFFFF00
inline constexpr gfx::ARGB kRed = display::colour::kRed;          // 0xFFFF0000
inline constexpr gfx::ARGB kBlack = display::colour::kBlack;
}  // namespace efs50_colour

// The canvas scaled to the size last copied into `display`.
display::CanvasScale Efs50Scale(const display::GaugeDisplay& display);

// The first steps of an EFS 50 draw entry on its own graphics `g`: the
// element's pixel size goes into `display` (the device context's own when
// `size` is null); while the displays are switched off (DisplayPower 0) or
// the variant is 2 the surface is cleared to transparent and false comes
// back: nothing else is drawn. Otherwise texts are anti-aliased and true
// comes back; the caller sets its own smoothing.
bool OpenEfs50Picture(gfx::Graphics& g, display::GaugeDisplay& display, const gfx::DeviceContext& dc,
                      const PIXSIZE* size, int variant);

// The own-aircraft outline about the origin, nose up (30 points, one open
// polyline that retraces the tail).
inline constexpr gfx::Point kEfs50AircraftOutline[] = {
    {0, -12},  {2, -8},  {2, -3},   {12, 3},  {12, 5},   {5, 3},   {2, 3},   {2, -3},  {2, 13},  {2, 13},
    {5, 16},   {5, 18},  {1, 16},   {2, 13},  {1, 16},   {0, 17},  {-1, 16}, {-2, 13}, {-1, 16}, {-5, 18},
    {-5, 16},  {-2, 13}, {-2, -3},  {-2, 3},  {-5, 3},   {-12, 5}, {-12, 3}, {-2, -3}, {-2, -8}, {0, -12}};
// Draws the outline with a 1-unit pen of `colour` in the current transform;
// a mark no text of the map covers.
void DrawEfs50Aircraft(gfx::Graphics& g, gfx::ARGB colour);

}  // namespace ovi::efs
