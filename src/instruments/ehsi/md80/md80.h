// The MD-80 EHSI: one draw entry and the modes it hands a frame to by
// MD80EHSIMode: 0 full compass rose, 1 expanded arc, 2 plan and 3 map (one
// map routine); any other value leaves the background alone.
//
// Every piece draws on the 266 x 232 canvas scaled to the element (no
// aspect of its own: the screen bitmap is 318 x 311) and sets its own
// transform. Before a mode routine runs the frame sets Md80EhsiCentreX and
// Md80EhsiCentreY (ehsi_state) to the mode's centre; the pieces read it.
#pragma once

#include "platform/gfx/graphics.h"
#include "platform/panel/panel.h"
#include "src/display/kit.h"
#include "src/display/lifetime.h"
#include "src/instruments/ehsi/kit.h"

namespace ovi::ehsi {

inline constexpr display::Canvas kMd80Canvas{266.0f, 232.0f};
inline constexpr int kMd80CentreX = 133;
inline constexpr int kMd80RoseCentreY = 116;  // the full rose's aircraft symbol
inline constexpr int kMd80ArcCentreY = 204;   // the arc's and the maps'

// Draws one picture. `size` is the surface's pixel size (null: the device
// context's own); variant 2 clears the surface to transparent, any other is
// handed on to the map modes (3 leaves their ATC boundaries off). Nothing
// happens without a device context.
void DrawMd80Ehsi(display::GaugeDisplay& display, gfx::DeviceContext* dc, const PIXSIZE* size, int variant);

// The modes, each on the graphics of the picture, sized by `display`.
void DrawMd80EhsiFullRose(const display::GaugeDisplay& display, gfx::Graphics& g);          // mode 0
void DrawMd80EhsiArc(const display::GaugeDisplay& display, gfx::Graphics& g);               // mode 1
void DrawMd80EhsiMap(const display::GaugeDisplay& display, gfx::Graphics& g, int variant);  // modes 2, 3

// --- Pieces the arc and the map modes share ------------------------------------

// The canvas frame of a picture with the origin on (x, y), turning with
// AircraftHeading.
RoseFrame Md80Frame(const display::GaugeDisplay& display, gfx::Graphics& g, int x, int y);
// The frame about (Md80EhsiCentreX, Md80EhsiCentreY).
RoseFrame Md80CentredFrame(const display::GaugeDisplay& display, gfx::Graphics& g);

// About the frame's centre, unturned: the compass arc (radius 180, 96
// degrees about the nose), the half-range ring in its three pieces with
// its top tick, and the lubber triangle.
void DrawMd80CompassArc(const RoseFrame& f);
void DrawMd80HalfRangeRing(const RoseFrame& f);
void DrawMd80Lubber(const RoseFrame& f);
// Half the range at (x, y) about the centre: "%3.0f" above a range of 5
// NM, "%3.1f" from there down.
void DrawMd80HalfRangeFigure(const RoseFrame& f, float x, float y);
// Marks every 5 degrees within 65 of the heading on the compass arc, the
// labels "00" to "33" every 30.
void DrawMd80HeadingScale(const RoseFrame& f);
// The selected-heading bug on the arc, with the dashed line to it from the
// centre when `with_line`.
void DrawMd80SelectedHeading(const RoseFrame& f, bool with_line);
void DrawMd80TrackDiamond(const RoseFrame& f);
void DrawMd80AircraftSymbol(const RoseFrame& f);

}  // namespace ovi::ehsi
