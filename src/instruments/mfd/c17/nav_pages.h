// What the C-17 navigation pages share (the HSI page 0, the compass pages 3
// to 5 and the map page 6): needle scales, rose labels, the heading
// readout, the compass pages' table, and the map with its layer table.
// Their tests read the tables and the map's centre through here.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "platform/gfx/graphics.h"
#include "src/display/kit.h"
#include "src/display/lifetime.h"
#include "src/instruments/ehsi/kit.h"
#include "src/instruments/nd/map_view.h"

namespace ovi::c17 {

// Canvas units per unit of the radios' needles (+-127 full scale): just
// below 50 / 127 across, 40 / 127 up and down, so a full needle lands next
// to the outer dot.
inline constexpr double kNeedleToDeviation = 0.39370078740157477;
inline constexpr double kNeedleToGlideslope = 0.31496062992125984;

// Labels of the rose's 30-degree marks, from north, at one x for all
// but the HSI's "S", which is narrower.
constexpr std::array<ehsi::CompassLabel, 12> C17RoseLabels(float x, float x_south) {
  constexpr const char* kTexts[] = {"N", "03", "06", "E", "12", "15", "S", "21", "24", "W", "30", "33"};
  std::array<ehsi::CompassLabel, 12> labels{};
  for (int i = 0; i < 12; ++i) labels[i] = {i * 30, kTexts[i], i == 6 ? x_south : x};
  return labels;
}

// "ILS-1" with a glideslope, "LOC-1" on a localizer, else "VOR-1".
const char* Nav1SourceText();

// The heading readout of pages 3 to 6: "%03.0f" of the heading in 14 units
// at (-14, y), a 24 x 15 box from (-12, y), "M" at (15, y + m_dy); page 4's
// readout over the map fills its box black first.
struct HeadingReadout {
  int y;
  float m_dy;
  float m_size;
  bool black_fill;
};
void DrawHeadingReadout(gfx::Graphics& g, const HeadingReadout& readout);

// --- Compass pages 3, 4, 5 ------------------------------------------------------
struct RangeArc {
  int radius;
  float start;
  float sweep;
};
// The range times `factor`, as the ring stands (display::RingFigure).
struct RangeLabel {
  double factor;
  float x;
  float y;
};
struct CompassPage {
  std::int32_t page;
  int compass_circle;  // radius; 0 none
  std::span<const RangeArc> arcs;
  const ehsi::CompassScale* scale;  // null: no compass
  const HeadingReadout* readout;    // null: page 4's, drawn over the map
  std::span<const RangeLabel> range_labels;
  bool lateral_needs_switch;  // the lateral scale only with C17ShowCourseDeviation 1 and a signal
  int lateral_y;              // top of the lateral zero bar
  const ehsi::GlideslopeScale* glideslope;
  gfx::PointF ground_speed;   // "GS %.0f"
  int marker_radius;          // selected-heading marker's radius; 0 none
};
// The row of page 3, 4 or 5; null for another page.
const CompassPage* C17CompassPage(std::int32_t page);
// Keeps the ground speed and heading readouts of page 3, 4 or 5 clear of
// the map (display::KeepMapClear), about the page's origin, after the
// map's clip is set.
void KeepC17ReadoutsClear(gfx::Graphics& g, std::int32_t page);
// Claims the aircraft symbol about the origin as a mark of the map.
void ClaimC17Aircraft(const gfx::Graphics& g);

// --- The map of pages 3 to 6 ----------------------------------------------------
// Canvas units the map range spans for the layers: C17MfdMapRadius, but on
// page 4 the 124 of its compass arc (its arcs are labelled with the full
// and half range).
int C17LayerRadius(std::int32_t page);

// The map of a page: origin (C17MfdOriginX, C17MfdOriginY), the layer
// radius for C17MfdMapRange, the C-17 canvas and its fine grid (the layers'
// pre-scaled transform); heading up about the aircraft on pages 3 to 5,
// north up on page 6 about ActiveFlightPlan entry PlanStepIndex (0 or more,
// within the plan) while a waypoint is active, else about the aircraft.
nd::MapView C17MapView(const display::GaugeDisplay& display, gfx::Graphics& g, std::int32_t page);
inline constexpr nd::MapFamily kC17MapFamily{{246.0f, 241.0f}, nd::PlanCentre::kStepWhileActive, false};

// One frame of the map layers.
struct MapLayerFrame {
  const display::GaugeDisplay& display;
  gfx::Graphics& g;
  std::int32_t page;
  nd::MapView view;
  // Where the aircraft is in canvas units from the origin: the origin on
  // pages 3 to 5 and on page 6 about the aircraft; the overlays that place
  // from the aircraft are drawn about it.
  int aircraft_x = 0;
  int aircraft_y = 0;
};
MapLayerFrame MakeMapLayerFrame(const display::GaugeDisplay& display, gfx::Graphics& g, std::int32_t page);

// The layers in drawing order with their conditions.
std::span<const display::Layer<MapLayerFrame>> C17MapLayerTable();

void DrawC17Navaids(const nd::MapView& view);
void DrawC17Airports(const nd::MapView& view);
void DrawC17HoldingPattern(const nd::MapView& view);
void DrawC17FixInfo(const nd::MapView& view);
void DrawC17AltitudeRangeArc(const MapLayerFrame& frame);

// The first latitude and longitude of page 6's grid about a centre: ten
// rows from the whole degree five below the centre's, kept within the poles
// (so the grid's top never passes 90), and eleven columns from five
// degrees west, moved by 360 below -180.
int C17GridFirstLatitude(double centre_latitude);
int C17GridFirstLongitude(double centre_longitude);
// The grid's hemisphere labels ("N47°" with the degree byte 0xB0).
void C17GridLatitudeLabel(int latitude, char (&text)[8]);
void C17GridLongitudeLabel(int longitude, char (&text)[8]);

}  // namespace ovi::c17
