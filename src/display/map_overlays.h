// The overlays every map display shares: approach pattern, runways, ATC
// boundaries, provider traffic and the top-of-climb / top-of-descent
// markers. The instruments call these and never draw the same things
// themselves.
//
// Common parameters:
//   g        the display's graphics, in the frame the caller set up (its
//            transform and clip stay as the caller left them)
//   radius   pixels from the map centre to the range ring
//   range    NM at the range ring; radius / range becomes MapPixelsPerNm,
//            the map scale the caller's own layers read afterwards. A range
//            that is not a positive finite number draws nothing and leaves
//            MapPixelsPerNm as it was.
//   cx, cy   the aircraft's (or the reference position's) map point
//   sx, sy   the display's horizontal and vertical grid factors: scales of
//            the logical canvas to the element's pixels
//   kind     the display kind of the caller (DisplayKind)
// Positions are placed by distance and bearing from the aircraft
// (PlaneLatitude, PlaneLongitude; DrawTodTocMarkers: its reference
// position), turned so that the map's up direction points up, and
// truncated toward zero to whole pixels.
#pragma once

#include <cstdint>

#include "platform/gfx/graphics.h"

namespace ovi::display {

// Display kinds as the callers pass them.
enum DisplayKind : std::int32_t {
  kDisplayDu1000 = 0,   // traffic: the DU-1000 map
  kDisplayP1000 = 2,    // P1000 MFD and its TCAS window
  kDisplayEfs50 = 5,    // EFS 50 EHSI and TCAS display
  kDisplayB737 = 8,     // B737 ND, MD-80 EHSI map, C-17 map (markers)
  kDisplayMd11 = 9,     // MD-11 ND; the MD-80 EHSI and C-17 traffic
  kDisplayDu1000Map = 10,  // DU-1000 and Pro Line 4 maps (markers)
  kDisplayProLine4 = 11,   // traffic: the Pro Line 4 map
};

// The extended centreline (60 NM), the two 15 NM intercept legs at 14 NM
// and the traffic pattern of the selected runway of AirportRunwayTable,
// turned by MapHeading. Every point is plotted about (cx, cy) and then
// multiplied by (sx, sy), so the pattern lands in element pixels whatever
// the caller's canvas. With DispAppPtrnAlts 1 and range <= 20 NM the
// intercept point and the crosswind turn carry the altitudes to fly (airport
// elevation + 3000 and + 1500 ft). No runway selected (an index outside
// 1..AirportRunwayCount) draws nothing.
void DrawApproachPattern(gfx::Graphics& g, int radius, int cx, int cy, double range, double sx, double sy);
// The same on a map turned by `rotation` (degrees, its up direction) rather
// than MapHeading: a north-up map passes 0.
void DrawApproachPattern(gfx::Graphics& g, int radius, int cx, int cy, double range, double sx, double sy,
                         double rotation);

// One line per physical runway of AirportRunwayTable with the designators
// at both ends (the selected pair yellow, the rest red), turned by
// MapHeading; at range <= 0.5 NM also the parking arrow. Completes the
// table: the threshold of each runway's opposite end listed later becomes
// the computed far end of its partner. The caller's transform is restored
// before the call returns.
void DrawAirportRunways(gfx::Graphics& g, int radius, int cx, int cy, double range);
// The same on a map turned by `rotation` rather than MapHeading (the parking
// arrow turns with the map).
void DrawAirportRunways(gfx::Graphics& g, int radius, int cx, int cy, double range, double rotation);

// The outlines of AtcBoundaryTable with their labels (at most
// kAtcLabelField characters), turned by `rotation` (degrees, the map's up
// direction). Loads the boundary file on first use. A boundary whose first
// point is more than 1000 NM away is skipped (three wide oceanic ones only
// from 5000 NM).
void DrawAtcBoundaries(gfx::Graphics& g, int radius, int cx, int cy, double range, double rotation);
constexpr int kAtcLabelField = 3;

// The targets of the external traffic provider within +-TcasVertRange
// (hundreds of feet) of the aircraft, turned by MapHeading, with their
// relative altitude ("+12", "-5") and trend arrows; `kind` chooses symbol
// sizes, colours and label places (kDisplayP1000 small symbols; kDisplayEfs50
// and kDisplayProLine4 cyan; all others white). The provider is asked for
// its list at most kTrafficProviderMaxAttempts times for the life of the
// module; a new list (new sequence number) replaces the plotted targets.
void DrawProviderTraffic(gfx::Graphics& g, int radius, double range, int cx, int cy, std::int32_t kind);
// The same on a map turned by `rotation` rather than MapHeading.
void DrawProviderTraffic(gfx::Graphics& g, int radius, double range, int cx, int cy, std::int32_t kind,
                         double rotation);
constexpr int kTrafficProviderMaxAttempts = 20;
// A relative-altitude label prints at most this many characters.
constexpr int kTrafficLabelField = 4;

// The vertical-path markers of the active route, placed by distance and
// bearing from (ref_lat, ref_lon) on a map turned by `rotation` (degrees,
// the map's up direction) with radius / range pixels per NM about (cx, cy):
//   - the floating top of descent: where a descent at DescentTas and
//     PlanDescentRate from the present altitude must start to make the next
//     altitude constraint, walked back along the route ("[TOD]"), while the
//     constraint lies more than 500 ft below;
//   - the next constraint with its altitude ("[12000]", or "[TOC]" /
//     "[TOD]" where it is the cruise level);
//   - the plan's top of climb (until passed) and top of descent, while
//     CruiseAlt is above 0.
// Kinds kDisplayB737, kDisplayMd11 and kDisplayDu1000Map draw the first two
// only with ShowFloatingTodBodIndicators 1. Every kind multiplies its map
// points by (sx, sy), so a caller on a fine grid passes that grid's factors
// and one on canvas units 1 and 1; kDisplayB737 truncates them to whole
// pixels, as its layers do, and writes "T/C" and "T/D"; kDisplayMd11 and
// kDisplayDu1000Map mark the plan points with small line symbols; the other
// kinds draw the plan points only while VNAV is engaged, as circles with
// "[TOC]" and "[TOD]". Circles are 8 x sy across, texts "Arial" 10 x sy.
void DrawTodTocMarkers(gfx::Graphics& g, double radius, double range, double cx, double cy, std::int32_t kind,
                       double sx, double sy, double ref_lat, double ref_lon, double rotation);

}  // namespace ovi::display
