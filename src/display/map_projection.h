// Placing a position on a map: distance and bearing from the map's
// reference position, turned by the map's up direction, scaled by its
// pixels per NM. Internal to the overlays.
#pragma once

#include "src/navdb/navdb.h"

namespace ovi::display {

struct MapFrame {
  double from_lat = 0.0, from_lon = 0.0;  // the reference position
  double up = 0.0;                        // degrees, the map's up direction
  double pixels_per_nm = 0.0;
};

inline void PlotPosition(const MapFrame& m, double cx, double cy, double lat, double lon, double& x, double& y) {
  double distance, bearing;
  navdb::ComputeDistanceAndBearing(m.from_lat, m.from_lon, lat, lon, distance, bearing);
  navdb::BearingOffsetToScreen(m.up, bearing, cx, cy, distance * m.pixels_per_nm, x, y);
}

inline void PlotPositionInt(const MapFrame& m, int cx, int cy, double lat, double lon, int& x, int& y) {
  double distance, bearing;
  navdb::ComputeDistanceAndBearing(m.from_lat, m.from_lon, lat, lon, distance, bearing);
  navdb::BearingOffsetToScreenInt(m.up, bearing, cx, cy, distance * m.pixels_per_nm, x, y);
}

// MapPixelsPerNm for a radius and range, or false when the range gives no
// usable scale (the overlay then draws nothing).
bool SetMapScale(double radius, double range);

}  // namespace ovi::display
