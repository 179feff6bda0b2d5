// The DU-1000 EHSI: one draw entry for its two gauges and the pieces it
// calls. Four modes (DU1000EHSIMode): 0 full compass rose, 1 arc rose, 2
// north-up centred map rose with the map, 3 arc rose with the map; any
// other value draws the background and the data blocks only.
//
// Every piece draws on the 318 x 310 canvas scaled to the element and sets
// its own transform; none relies on what the previous one left. The roses
// turn about (159, 155) (full and centred map rose) or (159, 272) (arc).
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

inline constexpr display::Canvas kDu1000Canvas{318.0f, 310.0f};
inline constexpr float kDu1000RoseX = 159.0f;
inline constexpr float kDu1000RoseY = 155.0f;
inline constexpr float kDu1000ArcY = 272.0f;

// What the roses share: the aircraft symbol, tan, about the rose's centre.
inline constexpr Segment kDu1000AircraftLines[] = {
    {{-10, 0}, {10, 0}}, {{0, -10}, {0, 10}}, {{-5, 10}, {5, 10}}, {{0, 10}, {0, 13}}};
inline constexpr Shape kDu1000AircraftSymbol{display::colour::kTan, 2.0f, kDu1000AircraftLines, {}};
// The roses' course pointer: a blue arrow of `arrow`'s lines over dots of 4
// units, the bar 30 units either side of the centre, 80 units for a full
// needle (127), its TO and FROM heads of `to` and `from`.
constexpr CoursePointer Du1000CoursePointer(std::span<const gfx::Point> dots, std::span<const Segment> arrow,
                                            std::span<const Segment> to, std::span<const Segment> from) {
  using display::colour::kBlue;
  return CoursePointer{.dots = dots,
                       .dot_diameter = 4,
                       .arrow = {kBlue, 2.0f, arrow, {}},
                       .bar_top = -30,
                       .bar_bottom = 30,
                       .bar_per_needle = 80.0 / 127.0,
                       .to_head = {kBlue, 2.0f, to, {}},
                       .from_head = {kBlue, 2.0f, from, {}}};
}
// The rose frame of a picture: the canvas scale of `display`, the origin on
// (x, y), turning with AircraftHeading.
RoseFrame Du1000RoseFrame(const display::GaugeDisplay& display, gfx::Graphics& g, float x, float y);

// Draws one picture. `size` is the surface's pixel size (null: the device
// context's own); variant 2 clears the surface to transparent, 3 leaves the
// ATC boundaries off the map, any other draws in full. Nothing happens
// without a device context.
void DrawDu1000Ehsi(display::GaugeDisplay& display, gfx::DeviceContext* dc, const PIXSIZE* size, int variant);

// Whether the map contents are drawn in modes 2 and 3: a waypoint is
// active, or any layer the map shows is switched on.
bool Du1000MapCondition();

// The pieces, each on the graphics of the picture, sized by `display`.
void DrawDu1000FullRose(const display::GaugeDisplay& display, gfx::Graphics& g);       // mode 0
void DrawDu1000CentredMapRose(const display::GaugeDisplay& display, gfx::Graphics& g);  // mode 2
void DrawDu1000ArcRose(const display::GaugeDisplay& display, gfx::Graphics& g);        // modes 1, 3
void DrawDu1000MapLayers(const display::GaugeDisplay& display, gfx::Graphics& g, int variant);  // modes 2, 3
void DrawDu1000DataBlocks(const display::GaugeDisplay& display, gfx::Graphics& g);     // every mode but 2

// --- The map (modes 2 and 3) ----------------------------------------------------

// The map of a picture: mode 3 heading up about the aircraft at the arc
// centre (159, 272), mode 2 north up about the PLAN centre at the rose
// centre (159, 155); 234 units (Du1000MapRadius) for Du1000EhsiRange.
EhsiMap Du1000Map(const display::GaugeDisplay& display, gfx::Graphics& g, int variant);
// The map's layers in drawing order with their conditions.
std::span<const display::Layer<EhsiMap>> Du1000MapLayerTable();

// The route: white legs; the active waypoint green, a VOR or NDB one blue
// with the ticked circle, an airport white.
inline constexpr RouteStyle kDu1000RouteStyle{
    .label_dx = 7.0,
    .label_dy = -15.0,
    .symbol_dy = -6.0,
    .font_size = 15.0,
    .line = display::colour::kWhite,
    .other = {display::kSymbolDu1000Circle, display::kStyleDefault, display::colour::kWhite},
    .active = {display::kSymbolDu1000Circle, display::kStyleGreen, display::colour::kGreen},
    .active_navaid = {display::kSymbolDu1000CircleTicks, display::kStyleBlue, display::colour::kBlue},
    .active_airport = {display::kSymbolDu1000Circle, display::kStyleDefault, display::colour::kWhite},
    .before_active = {display::kSymbolDu1000Circle, display::kStyleDefault, display::colour::kWhite}};
void DrawDu1000Navaids(const EhsiMap& map);
void DrawDu1000Airports(const EhsiMap& map);
void DrawDu1000AirwayPoints(const EhsiMap& map);
// The selected departure (`which` 1) or arrival (2) runway of the
// procedure sets: its number and, turned to its heading, two lines below
// 60 NM of range, else a small outline; drawn while its threshold lies
// within 100 NM of the map's reference.
void DrawDu1000SelectedRunways(const EhsiMap& map, int which);
void DrawDu1000Hold(const EhsiMap& map);
void DrawDu1000FixInfo(const EhsiMap& map);
// The ATC boundaries about the aircraft (its place on a north-up map).
void DrawDu1000AtcBoundaries(const EhsiMap& map);

}  // namespace ovi::ehsi
