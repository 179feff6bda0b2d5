// The MD-11 navigation display's map layers that it shares with the B737
// display (navaids, airports, intersections, the hold, the FIX INFO fixes).
// Each takes the display object (the element's pixel size) and the graphics
// of the picture; the map geometry comes from nd_state (Md11NdCenterX,
// Md11NdCenterY, Md11NdMapRadius) and the shared data model (HWMD11NDMode,
// Md11NdRange).
#pragma once

#include "platform/gfx/graphics.h"
#include "src/display/lifetime.h"
#include "src/instruments/nd/map_view.h"

namespace ovi::nd {

inline constexpr int kMd11NdModePlan = 2;

// The MD-11 map of the current state: origin (Md11NdCenterX, Md11NdCenterY),
// Md11NdMapRadius canvas units for Md11NdRange, north up about the PLAN
// centre in PLAN.
MapView Md11MapView(const display::GaugeDisplay& display, gfx::Graphics& g);

void DrawMd11NdNavaids(const display::GaugeDisplay& display, gfx::Graphics& g);
void DrawMd11NdAirports(const display::GaugeDisplay& display, gfx::Graphics& g);
void DrawMd11NdIntersections(const display::GaugeDisplay& display, gfx::Graphics& g);
// Draws on the transform its caller (the route layer) has set, already at
// the map origin on the fine grid whose factors it passes.
void DrawMd11NdHoldingPattern(const display::GaugeDisplay& display, gfx::Graphics& g, int radius, int center_x,
                              int center_y, double range, double gx, double gy);
void DrawMd11NdFixInfo(const display::GaugeDisplay& display, gfx::Graphics& g);

}  // namespace ovi::nd
