// The P1000 MFD's draw entry, the frame every layer receives, the table of
// map layers and the layer routines. The display keeps its picture between
// frames: static texts, frame lines and backgrounds are painted only on a
// full repaint (DisplayRefreshCounter below 2); on other frames the map area
// is erased and each value outside it is repainted, over its own
// background, only when it changed since the previous tick.
#pragma once

#include <cstdint>
#include <span>

#include "platform/gfx/graphics.h"
#include "platform/panel/panel.h"
#include "src/display/kit.h"
#include "src/display/lifetime.h"
#include "src/instruments/nd/map_view.h"

namespace ovi::p1000 {

inline constexpr display::Canvas kP1000Canvas{272.0f, 314.0f};

inline constexpr std::int32_t kArcFormat = 0;
inline constexpr std::int32_t kCentredFormat = 1;

// The clip outlines of SetP1000MapClip: the rose area of the arc format,
// and the map area.
inline constexpr int kRoseClip = 1;
inline constexpr int kMapClip = 2;

// The map geometry the centred format uses (centre x stays).
inline constexpr std::int32_t kCentredCentreY = 116;
inline constexpr std::int32_t kCentredRadius = 75;

// The P1000's map family: the active waypoint is the centre of the centred
// format; the near lists stay about the aircraft.
inline constexpr nd::MapFamily kP1000MapFamily{kP1000Canvas, nd::PlanCentre::kActiveWhileActive, false};

// One picture: what every layer reads of the frame.
struct P1000Frame {
  display::GaugeDisplay& display;
  gfx::Graphics& g;
  int variant = 1;
  display::CanvasScale scale;
  gfx::ARGB background = display::colour::kBlack;
  bool full_repaint = false;  // DisplayRefreshCounter below 2
  std::int32_t format = kArcFormat;
  bool tcas_window = false;  // traffic in its own window, below the map
  // P1000MapGeometry as this frame uses it, and P1000MapRange.
  int centre_x = 134;
  int centre_y = 148;
  int radius = 53;
  double range = 12.5;
  // The map's rotation: MapHeading in the arc format, 0 (north up) in the
  // centred format. The shared MapHeading itself is never changed.
  double heading = 0.0;
  // The position at the map centre (the aircraft; in the centred format the
  // active waypoint while one is active) and the aircraft's point on the
  // map in canvas units (the centre in the arc format).
  nd::GeoPoint reference;
  double aircraft_x = 134.0;
  double aircraft_y = 148.0;

  bool Centred() const { return format == kCentredFormat; }
  void UseCanvas() const { display::UseCanvas(g, scale); }
  void UseOrigin(double x, double y, double rotation = 0.0) const {
    display::UseOrigin(g, scale, static_cast<float>(x), static_cast<float>(y), rotation);
  }
  // The map as a view on the given grid (the half-pixel frame of the
  // navaids and airports, the canvas frame of the hold and FIX INFO).
  nd::MapView View(const display::FineGrid& grid) const;
};

// One frame. Variant 2 clears the surface, 3 draws without the ATC
// boundaries, any other value draws everything. A null device context does
// nothing.
void DrawP1000Mfd(display::GaugeDisplay& display, gfx::DeviceContext* dc, const PIXSIZE* size, int variant);

// Replaces the clip by outline 1 (the rose area of the arc format) or 2
// (the map area of the current format, shorter while the traffic window is
// shown), under the current transform; any other mode leaves it alone.
void SetP1000MapClip(gfx::Graphics& g, int mode);

// The map layers between the frame (rose, heading bug) and the data fields,
// in drawing order. Conditions only read state.
std::span<const display::Layer<P1000Frame>> P1000MapLayers();

// Frame pieces.
void DrawP1000CompassRose(const P1000Frame& f);
void DrawP1000HeadingSelectLine(const P1000Frame& f);
void DrawCenteredLabel(gfx::Graphics& g, int heading);
// The rose's tick at `tick` degrees is drawn on a heading: strictly within
// 65 degrees of the lubber line.
bool P1000TickShown(int tick, double heading);
// The way round to a heading bug more than 65 degrees off (the menu's
// off-scale arrow): +1 right, -1 left, 0 no arrow.
int P1000OffScaleArrow(double bug, double heading);

// Layers of the map and the data around it.
void DrawP1000NearbyNavaids(const P1000Frame& f);
void DrawP1000NearbyAirports(const P1000Frame& f);
void DrawP1000RouteLegs(const P1000Frame& f);
void DrawP1000WaypointData(const P1000Frame& f);
void DrawP1000CourseOverlay(const P1000Frame& f);
void DrawP1000HoldingPattern(const P1000Frame& f);
void DrawP1000BodArc(const P1000Frame& f);
void DrawP1000DataFields(const P1000Frame& f);
void DrawP1000TcasWindow(const P1000Frame& f);

// The data box's texts and where they start: the distance ("%5.1f" without
// its leading blanks) and the minutes ("%4.0f"), right-aligned by table.
struct BoxText {
  char text[16];
  float x;
};
BoxText P1000DistanceText(double distance);
BoxText P1000MinutesText(double distance, double ground_speed);

}  // namespace ovi::p1000
