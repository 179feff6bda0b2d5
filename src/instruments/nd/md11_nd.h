// The MD-11 navigation display: one draw entry for its two gauges, the
// frame every layer of a picture shares, the layer tables of MAP and PLAN,
// and the layers. The map layers it shares with the B737 display
// (navaids, airports, intersections, the hold, the FIX INFO fixes) take the
// display object and the graphics; the map geometry comes from nd_state
// (Md11NdCenterX, Md11NdCenterY, Md11NdMapRadius) and the shared data model
// (HWMD11NDMode, Md11NdRange).
#pragma once

#include <span>

#include "platform/gfx/graphics.h"
#include "platform/panel/panel.h"
#include "src/display/lifetime.h"
#include "src/instruments/nd/kit.h"
#include "src/instruments/nd/map_view.h"

namespace ovi::nd {

inline constexpr Canvas kMd11NdCanvas{240.0f, 258.0f};
inline constexpr int kMd11NdModePlan = 2;
inline constexpr int kMd11NdModeMap = 3;
inline constexpr int kMd11NdModeVor = 4;
inline constexpr int kMd11NdModeAppr = 5;
// The aircraft point of every mode but PLAN, and the PLAN rose's centre.
inline constexpr int kMd11ArcCenterY = 178;
inline constexpr int kMd11PlanCenterY = 129;
// Canvas units that stand for the range: the mode keys set them.
inline constexpr int kMd11MapRadius = 150;
inline constexpr int kMd11PlanRadius = 94;

// Everything one picture's layers share, fixed by the draw entry before the
// first layer runs.
struct Md11NdFrame {
  gfx::Graphics& g;
  display::GaugeDisplay& display;
  int variant = 1;      // 1 full, 3 reduced (no ATC boundaries)
  int mode = 3;         // HWMD11NDMode
  double range = 80.0;  // Md11NdRange, NM
  CanvasScale scale;
  gfx::ARGB background = colour::kBlack;
  int center_x = 120;
  int center_y = kMd11ArcCenterY;
  int radius = kMd11MapRadius;  // Md11NdMapRadius, whatever the last mode key set

  bool Plan() const { return mode == kMd11NdModePlan; }
  void UseCanvas() const;
  void UseOrigin(float x, float y, double rotation = 0.0) const;
  // MapPixelsPerNm of this frame (radius / range), 0 for a range that gives none.
  double PixelsPerNm() const;
};

using Md11NdLayer = Layer<Md11NdFrame>;

// The layers of MAP and of PLAN in drawing order, each with its condition.
std::span<const Md11NdLayer> Md11NdMapLayers();
std::span<const Md11NdLayer> Md11NdPlanLayers();

// Draws one picture; `size` is the surface's pixel size (null: the device
// context's own); variant 1 full, 2 blank, 3 reduced.
void DrawMd11NavigationDisplay(display::GaugeDisplay& display, gfx::DeviceContext* dc, const PIXSIZE* size,
                               int variant);
// The frame of the current state (also sets Md11NdCenterY for the mode).
Md11NdFrame MakeMd11NdFrame(gfx::Graphics& g, display::GaugeDisplay& display, int variant);

// The radius of a mode as the mode keys leave it: PLAN's rings for PLAN,
// the arc's for MAP; VOR and APPR keep `current`.
int Md11MapRadiusForMode(int mode, int current);

// The bearing pointers of a mode: which are shown and their turn from the
// heading (degrees, 0 up to 360).
struct Md11Pointers {
  bool left = false;   // blue: the first radio or the ADF
  double left_turn = 0.0;
  bool right = false;  // green: the second radio
  double right_turn = 0.0;
};
Md11Pointers Md11BearingPointers(int mode);
// The MAP arc draws a pointer long while it lies within 55 degrees of the
// heading (either side, across north).
bool Md11LongPointer(double turn);
// Whether the MAP arc's heading scale shows the mark of `degrees` at a
// heading: within 70 degrees either side, across the 0/360 seam.
bool Md11ScaleMarkShown(int degrees, double heading);
// The deviation bar's x beside the course line (canvas units).
int Md11DeviationOffset();

// --- Layers -------------------------------------------------------------------
void DrawMd11NdCompassArc(const Md11NdFrame& frame);
void DrawMd11NdPlanRose(const Md11NdFrame& frame);
void DrawMd11NdRoute(const display::GaugeDisplay& display, gfx::Graphics& g);
void DrawMd11NdDataBlocks(const Md11NdFrame& frame);
void DrawMd11NdAltitudeRangeArc(const Md11NdFrame& frame);
void DrawMd11NdAtcBoundaries(const Md11NdFrame& frame);

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
