// What the overlays read of other subsystems, in one place: the per-tick
// aircraft values, the P1000's map format and the selected runway.
#pragma once

#include "src/display/map_projection.h"
#include "src/display/state.h"
#include "src/guidance/state.h"
#include "src/model/records.h"
#include "src/model/state.h"

namespace ovi::display {

inline double MapHeading() { return guidance::guidance_state.MapHeading; }
inline double AircraftHeading() { return guidance::guidance_state.AircraftHeading; }
inline double MagneticVariation() { return guidance::guidance_state.MagneticVariation; }
inline std::int32_t P1000MapFormat() { return model::model_state.P1000MapFormat; }

// The aircraft's position, `up` up (MapHeading unless the map is turned
// otherwise), at the scale just set.
inline MapFrame AircraftMapFrame(double up) {
  const guidance::State& s = guidance::guidance_state;
  return MapFrame{s.PlaneLatitude, s.PlaneLongitude, up, display_state.MapPixelsPerNm};
}
inline MapFrame AircraftMapFrame() { return AircraftMapFrame(MapHeading()); }

// The selected runway (entry SelectedRunwayBase + SelectedRunwayOffset - 1
// of AirportRunwayTable), or null when that index lies outside
// 1..AirportRunwayCount: then no runway is selected.
const model::RunwayRecord* SelectedRunway();
int SelectedRunwayIndex();

}  // namespace ovi::display
