// EFS 50 system and primary flight displays: what their gauges keep of
// their own. The EFS 50 modes, ranges and bearing-pointer sources live with
// the shared data model (model_state), the per-tick values with guidance.
#pragma once

#include "src/display/lifetime.h"

namespace ovi::efs {

struct State {
  // The display records of the display gauges, one per instrument: the
  // gauges of one instrument (with and without bezel) share its surface
  // size. The P1000 MFD's is kept here with the gauges that draw it.
  display::GaugeDisplay Efs50EadiDisplay;
  display::GaugeDisplay Efs50EhsiDisplay;
  display::GaugeDisplay Efs50TcasDisplay;
  display::GaugeDisplay B777PfdDisplay;
  display::GaugeDisplay A320EadiDisplay;
  display::GaugeDisplay P1000MfdDisplay;
};

extern State efs_state;

}  // namespace ovi::efs
