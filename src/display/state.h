// Display drawing layer: the module's drawing-layer session, the shared map
// scale, the flight-director bars of the attitude displays and the provider
// traffic every map display draws. One instance, re-created by
// ResetModuleState().
#pragma once

#include <cstdint>

#include "src/display/map_projection.h"
#include "src/model/fixed_table.h"

namespace ovi::display {

// Targets taken from one provider list (its nearest entries).
constexpr int kMaxTrafficPlots = 5;

// One provider target as the maps draw it.
struct TrafficPlotEntry {
  double bearing = 0.0;            // degrees: provider bearing + MapHeading, below 360
  double range = 0.0;              // NM
  double relative_altitude = 0.0;  // hundreds of feet, + above
  char trend = '-';                // 'v' descending, '-' level, '^' climbing
  char threat = 'O';               // 'O' other, 'P' proximate, 'T' advisory, 'R' resolution
};

struct State {
  // --- Drawing-layer lifetime --------------------------------------------
  // The token start-up handed out; 0 while the layer is stopped.
  std::uintptr_t GdiplusToken = 0;
  // Drawing gauges connected to their windows and not yet disconnected:
  // the layer stops only when the last of them goes.
  int DrawingGaugeConnections = 0;

  // --- Shared map scale ----------------------------------------------------
  // Pixels per NM of the map drawn last (radius / range of that call).
  double MapPixelsPerNm = 0.0;
  // The ATC boundary points' places from the aircraft, one slot per point
  // of the boundary table in file order.
  GeoMemo BoundaryPlaces;

  // --- Flight-director bars -------------------------------------------------
  // Degrees at which every attitude display last drew its roll and pitch
  // command bars; each display that draws the bars moves them toward its
  // targets (src/display/attitude_kit.h).
  double FdRollBarShown = 0.0;
  double FdPitchBarShown = 0.0;

  // --- Provider traffic ------------------------------------------------------
  // The provider's list block, null until a query returned one; once found
  // it stays in use for the life of the module.
  void* TrafficListPointer = nullptr;
  int TrafficProviderAttempts = 0;
  std::uint16_t TrafficListSequence = 0;
  // 1-based; rebuilt only when the provider publishes a new list.
  model::FixedTable<TrafficPlotEntry, kMaxTrafficPlots + 1> TrafficPlotTable;
  int TrafficPlotCount = 0;
  // The most targets a list has had left out so far: a list that leaves out
  // more says so in the status log, a steady crowd only once.
  int TrafficLeftOutReported = 0;
};

extern State display_state;

}  // namespace ovi::display
