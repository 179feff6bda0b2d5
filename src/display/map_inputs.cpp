#include "src/display/map_inputs.h"

#include <cmath>

#include "src/navdb/state.h"

namespace ovi::display {

bool SetMapScale(double radius, double range) {
  if (!std::isfinite(radius) || !std::isfinite(range) || range <= 0.0) return false;
  const double scale = radius / range;
  if (!std::isfinite(scale)) return false;
  display_state.MapPixelsPerNm = scale;
  return true;
}

int SelectedRunwayIndex() {
  const navdb::State& s = navdb::navdb_state;
  // Summed wide: the base is -999 while nothing is selected.
  const long index = static_cast<long>(s.SelectedRunwayBase) + s.SelectedRunwayOffset - 1;
  if (index < 1 || index > s.AirportRunwayCount) return 0;
  return static_cast<int>(index);
}

const model::RunwayRecord* SelectedRunway() {
  const int index = SelectedRunwayIndex();
  return index == 0 ? nullptr : navdb::navdb_state.AirportRunwayTable.At(index);
}

}  // namespace ovi::display
