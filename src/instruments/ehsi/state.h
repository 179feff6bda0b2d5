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
};

extern State ehsi_state;

}  // namespace ovi::ehsi
