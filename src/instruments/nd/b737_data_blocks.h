// Pieces of the B737 data blocks that have rules of their own: the places
// this display chose where nothing else settles them, the ETA, the radio
// frequencies and the vertical deviation scale.
#pragma once

#include <cstddef>

#include "src/instruments/nd/b737_nd.h"

namespace ovi::nd {

// Places chosen for the texts that follow a label (canvas units): the TAS
// value after "TAS" at x 10, the ground speed after "GS" at x 190; "OFF"
// one 9-unit row under "TCAS"; the heading digits and their labels on the
// heading box's row, both on one baseline.
inline constexpr float kTasValueX = 30.0f;
inline constexpr float kGsValueX = 205.0f;
inline constexpr float kOffRowStep = 10.0f;
inline constexpr float kHeadingDigitsDy = -1.0f;
inline constexpr float kHeadingLabelsDy = 4.0f;

// ETA at the active waypoint, "HHMM.T": UTC hour and minute plus the whole
// hours and whole minutes of the ETE, the minute carried into the hour and
// the hour wrapped past midnight; T is the ETE's tenth of a minute.
struct EtaText {
  char text[40] = {};
  std::size_t length = 0;
};
EtaText FormatEta(double ete_hours, double ete_minutes, double ete_tenths, double zulu_hour, double zulu_minute);

// The radio frequencies come from the display kit.
using display::AdfFrequencyKhz;
using display::Nav1FrequencyMhz;

// Vertical deviation scale: the pointer's top y for the aircraft's altitude
// against the descent path. Within 400 ft the pointer moves 30 units per
// 400 ft from the centre (226); beyond, it is pegged at 258 (above the
// path) or 194 (below) and `number` receives the deviation in feet (at most
// 9999) to be written at `number_y`; otherwise `number` is -1. On the path,
// or once the aircraft has passed the constraint's distance, the pointer
// rests at the centre.
inline constexpr int kDeviationCentreY = 226;
int VerticalDeviationPointerY(double path_altitude, double altitude, double since_tod, double tod_to_constraint,
                              int* number, int* number_y);
void DrawVerticalDeviationScale(const B737NdFrame& frame, double path_altitude, double altitude, double since_tod,
                                double tod_to_constraint);

}  // namespace ovi::nd
