// The B737 navigation display: one draw entry for its three gauges, the
// frame that every layer of a picture shares, and the layers themselves.
//
// The draw entry scales the 244 x 302 canvas to the element, clears or fills
// the background, clips to the display's outline, fixes the map geometry of
// the mode and calls the layers: the compass, the map layers of the table
// returned by B737NdMapLayers() (modes 5 to 7), traffic, the compass arc and
// the data blocks last. Each layer draws only through the drawing layer and
// sets its own transform from the frame.
#pragma once

#include <cstdint>
#include <span>

#include "platform/gfx/graphics.h"
#include "platform/panel/panel.h"
#include "src/instruments/nd/kit.h"
#include "src/instruments/nd/map_view.h"
#include "src/display/lifetime.h"

namespace ovi::nd {

inline constexpr Canvas kB737NdCanvas{244.0f, 302.0f};
inline constexpr int kB737NdCenterX = 122;
inline constexpr int kB737NdModePlan = 7;

// Map geometry the frame fixes for each mode: aircraft y and the radius
// that stands for the range. The compass arc and the heading bug of modes
// 3, 4, 5 and 7 turn about (122, kArcCenterY), those of mode 6 about
// (122, kCentredCenterY); the full rose of modes 1 and 2 about
// (122, kRoseCenterY).
inline constexpr int kArcCenterY = 249;     // modes 3, 4, 5
inline constexpr int kArcRadius = 215;
inline constexpr int kCentredCenterY = 171;  // modes 6, 7
inline constexpr int kCentredRadius = 110;
inline constexpr int kRoseCenterY = 151;

// Everything one picture's layers share, fixed by the draw entry before the
// first layer runs. Layers keep nothing between frames.
struct B737NdFrame {
  gfx::Graphics& g;
  display::GaugeDisplay& display;
  int variant = 1;       // 1 full, 3 reduced (no ATC boundaries, no intersections)
  int mode = 5;          // HWB737NDMode
  double range = 40.0;   // NdRange, NM
  CanvasScale scale;     // canvas to device
  FineGrid grid;         // the map layers' fine grid
  gfx::ARGB background = colour::kBlack;
  // Map geometry (modes 3 to 7): the aircraft point (center_x, center_y),
  // `radius` canvas units for `range`, and the map's projection.
  int center_x = kB737NdCenterX;
  int center_y = kArcCenterY;
  int radius = kArcRadius;
  double pixels_per_nm = 0.0;  // radius / range; 0 for a range that is not positive
  double map_heading = 0.0;    // MapHeading; 0 (north up) in PLAN
  double ref_latitude = 0.0;   // the aircraft, or the PLAN centre
  double ref_longitude = 0.0;

  bool Plan() const { return mode == kB737NdModePlan; }
  // Reset the transform and scale to the canvas.
  void UseCanvas() const;
  // ... then move the origin to (x, y) and rotate.
  void UseOrigin(float x, float y, double rotation = 0.0) const;
  // ... with the origin at the aircraft point (122, center_y), unrotated.
  void UseMapOrigin() const;
  // Sets the shared MapPixelsPerNm to this frame's scale, as every map
  // layer does before it projects (a range that is not positive leaves it).
  void SetMapScale() const;
};

using B737NdLayer = Layer<B737NdFrame>;

// The map as the frame's layers project it: the frame's geometry, the
// aircraft point as origin, the B737 family's PLAN centre.
MapView B737MapView(const B737NdFrame& frame);

// The map layers of modes 5 to 7 in drawing order, each with its condition.
std::span<const B737NdLayer> B737NdMapLayers();

// Draws one picture. `size` is the surface's pixel size (null: the device
// context's own); variant 1 full, 2 blank (cleared to transparent), 3
// reduced. Nothing happens without a device context.
void DrawB737NavigationDisplay(display::GaugeDisplay& display, gfx::DeviceContext* dc, const PIXSIZE* size,
                               int variant);

// The frame of the current state for a graphics and surface size, as the
// draw entry builds it (also sets NdCenterY and NdArcRadius in modes 3 to 7).
B737NdFrame MakeB737NdFrame(gfx::Graphics& g, display::GaugeDisplay& display, int variant);

// --- Layers -------------------------------------------------------------------
void DrawFullCompassRose(const B737NdFrame& frame);     // modes 1, 2
void DrawExpandedCompassArc(const B737NdFrame& frame);  // modes 3 to 7
void DrawNdDataBlocks(const B737NdFrame& frame);        // every mode, last
// Keeps the boxes of the data blocks that stand inside the map area clear
// of the map (display::KeepMapClear): modes 3 to 7, after the map's clip.
void KeepNdReadoutsClear(const B737NdFrame& frame);
void DrawNdAtcBoundaries(const B737NdFrame& frame);
void DrawNdTrendVector(const B737NdFrame& frame);
void DrawAltitudeRangeArc(const B737NdFrame& frame);
void DrawNdRoute(const B737NdFrame& frame);
void DrawNdPendingRoute(const B737NdFrame& frame);
void DrawNdNavaids(const B737NdFrame& frame);
void DrawNdAirports(const B737NdFrame& frame);
void DrawNdIntersections(const B737NdFrame& frame);
void DrawTunedStationCourseLine(const B737NdFrame& frame);
void DrawNdHoldingPattern(const B737NdFrame& frame, int radius, int center_x, int center_y, double range);
void DrawFixInfoOverlay(const B737NdFrame& frame);

}  // namespace ovi::nd
