// What the EFS 50's pictures share (the EADI, the EHSI and the traffic
// display): the 266 x 230 canvas with its centre, the EFS 50 palette and
// the first steps of a draw entry. Everything else comes from the display
// instruments' kit (src/display/kit.h).
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

}  // namespace ovi::efs
