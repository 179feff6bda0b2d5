// The EFS 50 EADI: one draw entry for its two gauges (EFS50_EADI with the
// bezel and the inclinometer ball, EFS50_EADI_NB without), the attitude
// routine it calls and that routine's second half, the scales and
// annunciations.
//
// Two spaces: the logical one (the 266 x 230 canvas scaled to the element,
// origin on the centre (129, 114)) and the fine one of the drawing kit's
// DeviceFractionsFor grid in sixteenths, in which the sky and ground, the pitch scale,
// the horizon and the heading scale turn by the bank in device pixels, so
// the bank drawn is true however the element is stretched.
#pragma once

#include <span>

#include "platform/gfx/graphics.h"
#include "platform/panel/panel.h"
#include "src/display/attitude_kit.h"
#include "src/display/lifetime.h"
#include "src/instruments/efs/efs50/kit.h"

namespace ovi::efs {

// Draws one picture. `size` is the surface's pixel size (null: the device
// context's own); variant 2, like display power 0, clears the surface to
// transparent. Nothing happens without a device context.
void DrawEfs50Eadi(display::GaugeDisplay& display, gfx::DeviceContext* dc, const PIXSIZE* size, int variant);

// The instrument on a prepared graphics object, sized by `display`: sky and
// ground, pitch scale, roll scale and pointers, horizon and heading scale,
// aircraft symbol, flight director, then DrawEfs50Scales.
void DrawEfs50Attitude(const display::GaugeDisplay& display, gfx::Graphics& g);
// The fixed scales and texts: glideslope, localizer and speed-deviation
// scales, mode annunciations, radio altitude, decision height, "LOC" and the
// marker beacons.
void DrawEfs50Scales(const display::GaugeDisplay& display, gfx::Graphics& g);

// The attitude window about the centre, in logical units.
struct Efs50AttitudeWindow {
  int left, top, right, bottom;
};
// The sky and ground's: expanded while ExpandEADI is 1, or while LNAV is
// engaged with ExpandEADILnav 1. The horizon's and heading scale's:
// expanded (a shorter top) only while LNAV is engaged, whatever the options.
Efs50AttitudeWindow Efs50SkyWindow();
Efs50AttitudeWindow Efs50HorizonWindow();

// The mode annunciations, drawn while the autopilot master is on.
std::span<const display::Annunciation> Efs50EadiModes();

}  // namespace ovi::efs
