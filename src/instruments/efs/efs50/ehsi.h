// The EFS 50 EHSI: its mode table, the layer table of one frame and the
// pieces the layers call. Modes (EFS50HsiMode): 1 to 3 the full compass
// rose about (129, 114), radius 50 for the range (1 the classic HSI, 2 and 3
// with the map, 3 with a sector), 4 to 7 the arc about (129, 190), radius
// 95 (5 and 6 with the map), 8 traffic only. The map overlays (route, hold,
// TOD/TOC markers, bottom-of-descent arc) are drawn in modes 2, 3, 5 and 6
// while the flight plan is the navigation source (EFS50NavMode 2).
//
// Every piece draws on the 266 x 230 canvas scaled to the element and sets
// its own transform; none relies on what the previous one left. A clip is
// in force only where its piece sets it, and every piece that sets one
// removes it again, but for the TOD/TOC markers of modes 2 and 3, whose
// clip stays until the frame removes it before the lower box.
#pragma once

#include <array>
#include <optional>
#include <span>

#include "platform/gfx/graphics.h"
#include "src/display/kit.h"
#include "src/display/lifetime.h"
#include "src/instruments/efs/efs50/efs50.h"
#include "src/instruments/efs/efs50/kit.h"
#include "src/instruments/ehsi/kit.h"

namespace ovi::efs {

inline constexpr float kEfs50ArcCentreY = 190.0f;
inline constexpr int kEfs50TrafficMode = 8;

enum class Efs50Rose { kNone, kFull, kArc };

// One row of the mode table: what a frame of the mode draws.
struct Efs50EhsiMode {
  int mode;
  Efs50Rose rose;
  double radius;      // Efs50RoseRadius while the mode is shown; kept in mode 8
  float centre_y;     // the aircraft's point, x 129
  bool data_fields;
  bool map_overlays;  // with EFS50NavMode 2
  bool lower_box;
  bool traffic;
};
inline constexpr Efs50EhsiMode kEfs50EhsiModes[] = {
    {1, Efs50Rose::kFull, 50.0, kEfs50CentreY, true, false, true, false},
    {2, Efs50Rose::kFull, 50.0, kEfs50CentreY, true, true, true, false},
    {3, Efs50Rose::kFull, 50.0, kEfs50CentreY, true, true, true, false},
    {4, Efs50Rose::kArc, 95.0, kEfs50ArcCentreY, true, false, false, false},
    {5, Efs50Rose::kArc, 95.0, kEfs50ArcCentreY, true, true, false, false},
    {6, Efs50Rose::kArc, 95.0, kEfs50ArcCentreY, true, true, false, false},
    {7, Efs50Rose::kArc, 95.0, kEfs50ArcCentreY, true, false, false, false},
    {8, Efs50Rose::kNone, 0.0, kEfs50CentreY, false, false, false, true},
};
// The row of `mode`, null for a mode outside 1..8 (such a frame draws the
// background, and for a mode below 1 the data fields).
const Efs50EhsiMode* Efs50EhsiModeRow(int mode);

// What every layer of one frame receives.
struct Efs50EhsiFrame {
  display::GaugeDisplay& display;
  gfx::Graphics& g;
  int variant;
  int mode;
  const Efs50EhsiMode* row;  // null outside 1..8
};
// The frame's layers in drawing order; conditions only read state.
std::span<const display::Layer<Efs50EhsiFrame>> Efs50EhsiLayers();

// --- Pieces, each on the graphics of the frame, sized by `display` --------
// Modes 1 to 3; variant 3 leaves the ATC boundaries out.
void DrawEfs50FullRose(const display::GaugeDisplay& display, gfx::Graphics& g, int variant);
// Modes 4 to 7; variant 3 leaves the ATC boundaries out here too.
void DrawEfs50ArcRose(const display::GaugeDisplay& display, gfx::Graphics& g, int variant);
// Every mode below 8.
void DrawEfs50DataFields(const display::GaugeDisplay& display, gfx::Graphics& g);
// Bearing pointer 1's "NM" in modes 1 to 3, after the lower box that would
// cover it.
void DrawEfs50PointerUnitOverBox(const display::GaugeDisplay& display, gfx::Graphics& g);
// The active route from the aircraft on; modes 2, 3 clipped to the rose.
void DrawEfs50RouteWaypoints(const display::GaugeDisplay& display, gfx::Graphics& g);
// The first hold's racetrack about the aircraft at (cx, cy), `radius`
// canvas units for `range` NM.
void DrawEfs50HoldingPattern(const display::GaugeDisplay& display, gfx::Graphics& g, int radius, int cx, int cy,
                             double range);
// The arc at the point ahead where the descent reaches the selected altitude.
void DrawEfs50BodArc(const display::GaugeDisplay& display, gfx::Graphics& g);
// The lateral deviation box below the full rose.
void DrawEfs50RoseLowerBox(const display::GaugeDisplay& display, gfx::Graphics& g);
// Mode 8 and the traffic display: one picture, the range number at
// `range_x` right of the centre.
void DrawEfs50TcasMode(const display::GaugeDisplay& display, gfx::Graphics& g);
void DrawEfs50TcasTraffic(const display::GaugeDisplay& display, gfx::Graphics& g);
void DrawEfs50TrafficPicture(const display::GaugeDisplay& display, gfx::Graphics& g, float range_x);

// --- What the pieces share ----------------------------------------------------
// The EHSI's background from its three colour keys.
gfx::ARGB Efs50EhsiBackground();
// The rose frame about (129, y), turning with AircraftHeading.
ehsi::RoseFrame Efs50RoseFrame(const display::GaugeDisplay& display, gfx::Graphics& g, float y);
// The bearing a bearing pointer points at (turned by it less the heading)
// for its source (1 its radio, 2 the active waypoint, 3 the ADF), or none
// while its source gives none. `pointer` is 1 or 2.
std::optional<double> Efs50BearingPointerBearing(int pointer, int source);
// The bearing pointers of a rose, pointer 2 first, each turned toward its
// source's bearing while the source gives one: pointer 2's shape, pointer
// 1's and pointer 1's tail (a second filled polygon).
struct Efs50BearingPointerShapes {
  ehsi::Shape pointer2;
  ehsi::Shape pointer1;
  ehsi::Shape pointer1_tail;
};
// The roses' pointers: pointer 2 magenta, its two lines with the tail's
// outline and the head's fill; pointer 1 blue, its line with the head's
// fill, and its tail's fill.
constexpr Efs50BearingPointerShapes Efs50BearingPointers(std::span<const ehsi::Segment> lines2,
                                                         std::span<const gfx::Point> tail2,
                                                         std::span<const gfx::Point> head2,
                                                         std::span<const ehsi::Segment> line1,
                                                         std::span<const gfx::Point> head1,
                                                         std::span<const gfx::Point> tail1) {
  return Efs50BearingPointerShapes{{efs50_colour::kMagenta, 2.0f, lines2, tail2, head2},
                                   {efs50_colour::kBlue, 2.0f, line1, {}, head1},
                                   {efs50_colour::kBlue, 2.0f, {}, {}, tail1}};
}

// The roses' card labels: the cardinal letters and the numbers every 30
// degrees, `x` units left of their tick ("W" 7).
constexpr std::array<ehsi::CompassLabel, 12> Efs50CardLabels(float x) {
  return {{{0, "N", x},
           {30, "3", x},
           {60, "6", x},
           {90, "E", x},
           {120, "12", x},
           {150, "15", x},
           {180, "S", x},
           {210, "21", x},
           {240, "24", x},
           {270, "W", -7.0f},
           {300, "30", x},
           {330, "33", x}}};
}

// The selected heading's amber bug, its outline filled.
constexpr ehsi::HeadingMarker Efs50HeadingBug(std::span<const gfx::Point> fill) {
  return ehsi::HeadingMarker{.line = {efs50_colour::kAmber, 1.0f, {}, {}, fill},
                             .readout_beyond = 0.0,
                             .readout_turn = 0.0,
                             .readout_at = {},
                             .font = display::ArialBold,
                             .font_size = 14.0f};
}

// The heading pointer at the top of a rose: a white triangle, or with the
// static heading pointer (EhsiStaticHdgPointer 1) a box's three sides and
// its notch, over `cleared` filled in the background first where the box
// has its own ground.
struct Efs50HeadingPointer {
  std::span<const gfx::Point> triangle;
  std::span<const gfx::Point> box;
  std::span<const gfx::Point> notch;
  std::optional<gfx::Rect> cleared;
};
// Draws it about the rose's centre; whether the box was drawn.
bool DrawEfs50HeadingPointer(const ehsi::RoseFrame& f, const Efs50HeadingPointer& pointer);
void DrawEfs50BearingPointers(const ehsi::RoseFrame& f, const Efs50BearingPointerShapes& shapes);
// Whether the course points TO, FROM or neither: with radio navigation
// (EFS50NavMode 1) the first radio's station bearing against SelectedCourse
// while it receives; otherwise, and with `track_without_signal` also for
// radio navigation without a signal, DesiredTrack against the heading while
// a waypoint is active. The angle is taken the short way round: below 90
// degrees TO, from 90 FROM.
ehsi::ToFrom Efs50ToFrom(bool track_without_signal);
// The active leg's cross-track distance in NM as the deviation bars show
// it (negative while the aircraft is right of the leg, side flag 1), or
// none without an active leg.
std::optional<double> Efs50CrossTrack();
// The same, held within the 5 NM the roses' course pointers show.
std::optional<double> Efs50CourseCrossTrack();
// The map overlays the roses share about (cx, cy) at `radius` canvas units
// a range: ATC boundaries (not on variant 3), the selected runway's
// approach pattern, and the airport's runways below 2.5 NM.
void DrawEfs50MapOverlays(gfx::Graphics& g, int radius, int cx, int cy, int variant);
// The dashed blue range ring's pen and its range label at (x, y).
gfx::Pen Efs50RangeRingPen();
void DrawEfs50RangeLabel(gfx::Graphics& g, float x, float y);
// Whether a waypoint is active.
bool Efs50WaypointActive();

}  // namespace ovi::efs
