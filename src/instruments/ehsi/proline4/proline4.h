// The Pro Line 4 MFD: one draw entry for its two gauges and the four pages
// it hands a frame to by PROLINE4MFDMode: 0 HSI with the full rose, 1 HSI
// on a heading arc, 2 map page, 3 arc map page; any other value leaves the
// background alone.
//
// Every page draws on the 247 x 285 canvas scaled to the element (no
// aspect of its own) and sets its own transforms. The HSI rose turns about
// (123, 170), the HSI arc about (123, 200). The two HSI pages are one set of
// pieces (header line, navigation-source block, heading readout, pointers,
// bug, symbols) given each page's table; the map pages reuse the header
// line, the readout and the compass scale with their own numbers.
#pragma once

#include <array>
#include <span>

#include "platform/gfx/graphics.h"
#include "platform/panel/panel.h"
#include "src/display/kit.h"
#include "src/display/lifetime.h"
#include "src/display/map_symbols.h"
#include "src/instruments/ehsi/kit.h"
#include "src/instruments/ehsi/map.h"

namespace ovi::ehsi {

inline constexpr display::Canvas kProline4Canvas{247.0f, 285.0f};
inline constexpr float kProline4CentreX = 123.0f;
inline constexpr float kProline4RoseY = 170.0f;
inline constexpr float kProline4ArcY = 200.0f;

// The aircraft symbol of every page, white.
inline constexpr Segment kProline4AircraftLines[] = {
    {{-10, 0}, {10, 0}}, {{0, -10}, {0, 10}}, {{-5, 10}, {5, 10}}, {{0, 10}, {0, 13}}};
inline constexpr Shape kProline4AircraftSymbol{display::colour::kWhite, 2.0f, kProline4AircraftLines, {}};

// Draws one picture. `size` is the surface's pixel size (null: the device
// context's own); variant 2 clears the surface to transparent, any other is
// handed on to the map pages (3 leaves their ATC boundaries off). Nothing
// happens without a device context.
void DrawProline4Mfd(display::GaugeDisplay& display, gfx::DeviceContext* dc, const PIXSIZE* size, int variant);

// The pages, each on the graphics of the picture, sized by `display`.
void DrawProline4HsiRose(const display::GaugeDisplay& display, gfx::Graphics& g);                  // mode 0
void DrawProline4HsiArc(const display::GaugeDisplay& display, gfx::Graphics& g);                   // mode 1
void DrawProline4MapPage(const display::GaugeDisplay& display, gfx::Graphics& g, int variant);     // mode 2
void DrawProline4ArcMapPage(const display::GaugeDisplay& display, gfx::Graphics& g, int variant);  // mode 3

// --- Pieces the pages share ---------------------------------------------------

using FontOf = gfx::Font (*)(float size);

// The header line: "WX", then UTC, TAS, GS, SAT and TAT with their values
// in the 9-unit font. The pages differ in fonts and in where three values
// stand.
struct Proline4Header {
  FontOf wx_font;
  float wx_size;
  FontOf font;  // the 9-unit row
  float utc_value_x;
  float sat_value_x;
  float tat_value_x;
  float y = 10.0f;  // the 9-unit row
};
void DrawProline4Header(gfx::Graphics& g, const display::CanvasScale& scale, const Proline4Header& header,
                        double total_air_temperature);
// The total air temperature the HSI pages work out from SAT and TAS.
double Proline4TotalAirTemperature();

// Time to go over `distance` NM at the ground speed: known above 30 kt.
// The minutes are rounded before the hours are split off, so 119.6 minutes
// read 2 hours 0 minutes rather than 1 hour 60.
struct TimeToGo {
  bool known = false;
  double hours = 0.0;
  double minutes = 0.0;
};
TimeToGo Proline4TimeToGo(double distance, double ground_speed);

// The navigation-source block: the FMS source while LNAV flies an active
// waypoint, else NAV1 while it receives a station, else nothing.
struct Proline4SourceBlock {
  FontOf font;              // 12 units
  FontOf dashed_ttg_font;   // "TTG" of the dashed time to go, 12 units
};
void DrawProline4SourceBlock(gfx::Graphics& g, const display::CanvasScale& scale, const Proline4SourceBlock& block);

// The boxed heading readout under the header, its box open at the top at
// `box_y` and its pointer notch 17 units lower; the digits at `text_y`.
void DrawProline4HeadingReadout(gfx::Graphics& g, const display::CanvasScale& scale, float box_y, float text_y);

// A bearing pointer: its legend about the centre (in the needle's colour),
// the icon beside it and the needle.
struct Proline4Pointer {
  gfx::PointF legend_at;
  Shape icon;
  Shape needle;
};

// The HSI pages' header line in `font`; the values of UTC, SAT and TAT
// stand clear of their labels (docs/ehsi.md).
constexpr Proline4Header Proline4HsiHeader(FontOf font) {
  return Proline4Header{.wx_font = font,
                        .wx_size = 12.0f,
                        .font = font,
                        .utc_value_x = 22.0f,
                        .sat_value_x = 186.0f,
                        .tat_value_x = 226.0f};
}

// An HSI page's course pointer: a white arrow of `arrow`'s lines over the
// dots (6 units, 1 wide), the bar from `bar` units above the centre to as
// far below, the TO and FROM heads fixed where the page puts them.
constexpr CoursePointer Proline4HsiCourse(std::span<const gfx::Point> dots, std::span<const Segment> arrow, int bar,
                                          std::span<const gfx::Point> to, std::span<const gfx::Point> from) {
  using display::colour::kWhite;
  return CoursePointer{.dots = dots,
                       .dot_diameter = 6,
                       .arrow = {kWhite, 2.0f, arrow, {}},
                       .bar_top = bar,
                       .bar_bottom = -bar,
                       .bar_per_needle = 0.0,
                       .to_head = {kWhite, 2.0f, {}, to},
                       .from_head = {kWhite, 2.0f, {}, from},
                       .dot_width = 1.0f,
                       .heads_follow_bar = false};
}

// A bearing pointer in `colour`: its legend at (-123, legend_y) about the
// centre, the icon's lines 1 unit wide, the needle's 2.
constexpr Proline4Pointer Proline4BearingPointer(gfx::ARGB colour, float legend_y, std::span<const Segment> icon,
                                                 std::span<const Segment> needle) {
  return Proline4Pointer{{-123.0f, legend_y}, {colour, 1.0f, icon, {}}, {colour, 2.0f, needle, {}}};
}

// What one HSI page draws its header, pointers, bug and symbols with.
struct Proline4HsiPage {
  float centre_y;
  Proline4Header header;
  Proline4SourceBlock source;
  float readout_box_y;   // the heading readout's box and digits
  float readout_text_y;
  bool bearings_first;   // the bearing pointers under the course pointer
  CoursePointer course;
  double bar_per_needle;   // NAV1 needle units to bar units
  Proline4Pointer first;   // magenta
  Proline4Pointer second;  // blue
  FontOf legend_font;      // 13 units
  gfx::PointF bug_readout_at;  // canvas
  FontOf bug_readout_font;  // 9 units
  std::span<const gfx::Point> bug;  // magenta, 2 units wide
  std::span<const Segment> bug_line;  // dashed, while the bug has just moved
  gfx::Point track_corner;
};
// The frame of an HSI page, with the header line and the navigation-source
// block drawn: what the page draws of its own (rings, card, marks) follows.
RoseFrame StartProline4HsiPage(const display::GaugeDisplay& display, gfx::Graphics& g, const Proline4HsiPage& page);
// The heading readout, both pointers, the bug, the track marker and the
// aircraft symbol over what the page drew.
void FinishProline4HsiPage(const RoseFrame& f, const Proline4HsiPage& page);
// The course pointer: the leg's cross-track deviation on the desired track
// while LNAV is engaged, else NAV1's needle on the selected course with its
// TO/FROM head while a station is received.
void DrawProline4CoursePointer(const RoseFrame& f, const Proline4HsiPage& page);
// Both bearing pointers, the second first, with their legends.
void DrawProline4BearingPointers(const RoseFrame& f, const Proline4HsiPage& page);
// The bug readout and the bug, the track marker and the aircraft symbol.
void DrawProline4BugTrackAndAircraft(const RoseFrame& f, const Proline4HsiPage& page);

// The frame of a page about (123, y), turning with AircraftHeading.
RoseFrame Proline4Frame(const display::GaugeDisplay& display, gfx::Graphics& g, float y);

// --- The map pages ----------------------------------------------------------------

inline constexpr float kProline4MapY = 155.0f;     // the map page's centre
inline constexpr float kProline4ArcMapY = 220.0f;  // the arc map page's

// The flight-plan data window: the previous, active, next and destination
// waypoint in four rows at the y places given (blue, magenta, white,
// white), with distance, time en route, arrival time and the fuel at the
// destination.
void DrawProline4DataWindow(gfx::Graphics& g, const display::CanvasScale& scale, const std::array<float, 4>& rows);
// Time en route over `distance` NM at the ground speed and the arrival time
// from the UTC clock (ZuluHour, ZuluMinute). The time en route's minutes
// are rounded (59.5 and more carry into the hour); the arrival's are the
// unrounded sum truncated, its hour wrapped at 24.
struct Proline4WindowTimes {
  double ete_hours = 0.0;
  double ete_minutes = 0.0;
  double eta_hours = 0.0;
  int eta_minutes = 0;
};
Proline4WindowTimes Proline4TimesOver(double distance, double ground_speed);
// Pounds left after `remaining_nm` NM at the ground speed, the last 100 NM
// at 85 % of the descent speed, burning `fuel_flow` pounds an hour from
// `fuel_weight`.
double Proline4DestinationFuel(double remaining_nm, double ground_speed, double fuel_flow, double fuel_weight,
                               double descent_speed);

// The map contents of both map pages, drawn in the middle of each: clip,
// navaids, airports, intersections, route, markers, approach pattern,
// hold, traffic, boundaries, aircraft symbol and altitude arc, by
// PROLINE4MFDMode (2 north up about (123, 155), 3 heading up about
// (123, 220)). Leaves the clip reset.
void DrawProline4MapLayers(const display::GaugeDisplay& display, gfx::Graphics& g, int variant);
// The map of a picture: Proline4MapRadius units for Proline4MapRange.
EhsiMap Proline4Map(const display::GaugeDisplay& display, gfx::Graphics& g, int variant);
// The map's layers in drawing order with their conditions.
std::span<const display::Layer<EhsiMap>> Proline4MapLayerTable();

// The route: white legs and stars, the active waypoint magenta, the one
// before it blue.
inline constexpr RouteStyle kProline4RouteStyle{
    .label_dx = 7.0,
    .label_dy = -8.0,
    .symbol_dy = -6.0,
    .font_size = 12.0,
    .line = display::colour::kWhite,
    .other = {display::kSymbolWaypointStar, display::kStyleDefault, display::colour::kWhite},
    .active = {display::kSymbolWaypointStar, display::kStyleMagenta, display::colour::kMagenta},
    .active_navaid = {display::kSymbolWaypointStar, display::kStyleMagenta, display::colour::kMagenta},
    .active_airport = {display::kSymbolWaypointStar, display::kStyleMagenta, display::colour::kMagenta},
    .before_active = {display::kSymbolWaypointStar, display::kStyleBlue, display::colour::kBlue}};
void DrawProline4Navaids(const EhsiMap& map);
void DrawProline4Airports(const EhsiMap& map);
void DrawProline4Intersections(const EhsiMap& map);
void DrawProline4HoldingPattern(const EhsiMap& map);
// The ATC boundaries about the aircraft (its place on the north-up map).
void DrawProline4AtcBoundaries(const EhsiMap& map);
// The altitude range arc about the aircraft symbol at (123, 220).
void DrawProline4AltitudeRangeArc(const EhsiMap& map);

}  // namespace ovi::ehsi
