// EHSI displays: what the three displays keep of their own. Their modes,
// ranges and layer switches live with the shared data model (model_state),
// the per-tick values with guidance (guidance_state).
#pragma once

#include <cstdint>

#include "src/display/lifetime.h"

namespace ovi::ehsi {

struct State {
  // The display objects: both gauges of one display draw through the same
  // record, so they share its surface size.
  display::GaugeDisplay Du1000Display;
  display::GaugeDisplay Proline4Display;
  display::GaugeDisplay Md80Display;

  // The canvas units that stand for Du1000EhsiRange on the DU-1000 map:
  // the radius of its compass arc.
  std::int32_t Du1000MapRadius = 234;

  // The MD-80's rose or arc centre in canvas units, set by its frame for
  // the mode it draws (133, 116 for the full rose; 133, 204 for the arc and
  // the maps) and read by its pieces and map layers. A mode outside 0..3
  // leaves them as they were; they start at the arc's, the centre of the
  // MD-80's first mode (3).
  std::int32_t Md80EhsiCentreX = 133;
  std::int32_t Md80EhsiCentreY = 204;
};

extern State ehsi_state;

}  // namespace ovi::ehsi
