// The MD-80 EHSI: one draw entry and the modes it hands a frame to by
// MD80EHSIMode: 0 full compass rose, 1 expanded arc, 2 plan and 3 map (one
// map routine); any other value leaves the background alone.
//
// Every piece draws on the 266 x 232 canvas scaled to the element (no
// aspect of its own: the screen bitmap is 318 x 311) and sets its own
// transform. Before a mode routine runs the frame sets Md80EhsiCentreX and
// Md80EhsiCentreY (ehsi_state) to the mode's centre; the pieces read it.
#pragma once

#include <span>

#include "platform/gfx/graphics.h"
#include "platform/panel/panel.h"
#include "src/display/kit.h"
#include "src/display/lifetime.h"
#include "src/display/map_symbols.h"
#include "src/instruments/ehsi/kit.h"
#include "src/instruments/ehsi/map.h"

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

// --- The map modes ----------------------------------------------------------------

// The arrival time `distance` NM ahead at the ground speed on the UTC clock
// (ZuluHour, ZuluMinute): whole minutes, the hour carried and wrapped at
// 24.
struct Md80Clock {
  int hours = 0;
  int minutes = 0;
};
Md80Clock Md80ArrivalOver(double distance, double ground_speed);

// The map of a picture about (Md80EhsiCentreX, Md80EhsiCentreY): 180 units
// (Md80EhsiMapRadius) for Md80EhsiMapRange, on the grid of factor 16, north
// up about the PLAN centre in mode 2.
EhsiMap Md80Map(const display::GaugeDisplay& display, gfx::Graphics& g, int variant);
// The map's layers in drawing order with their conditions.
std::span<const display::Layer<EhsiMap>> Md80MapLayerTable();

// The layers all draw on the map's one grid (factor 16, origin on the map
// centre), so a navaid and a route point at one position coincide.
// The route: white legs and stars, the active waypoint magenta; each ident
// in the colour of its star.
inline constexpr RouteStyle kMd80RouteStyle{
    .label_dx = 7.0,
    .label_dy = -7.0,
    .symbol_dy = -6.0,
    .font_size = 12.0,
    .line = display::colour::kWhite,
    .other = {display::kSymbolWaypointStar, display::kStyleDefault, display::colour::kWhite},
    .active = {display::kSymbolWaypointStar, display::kStyleMagenta, display::colour::kMagenta},
    .active_navaid = {display::kSymbolWaypointStar, display::kStyleMagenta, display::colour::kMagenta},
    .active_airport = {display::kSymbolWaypointStar, display::kStyleMagenta, display::colour::kMagenta},
    .before_active = {display::kSymbolWaypointStar, display::kStyleDefault, display::colour::kWhite}};
void DrawMd80EhsiNavaids(const EhsiMap& map);
void DrawMd80EhsiAirports(const EhsiMap& map);
void DrawMd80EhsiIntersections(const EhsiMap& map);
void DrawMd80EhsiRoute(const EhsiMap& map);
void DrawMd80EhsiHoldingPattern(const EhsiMap& map);
void DrawMd80EhsiAtcBoundaries(const EhsiMap& map);
void DrawMd80EhsiAltitudeRangeArc(const EhsiMap& map);

}  // namespace ovi::ehsi
