// What every drawing gauge relies on: the module's one drawing-layer
// session and the size record each instrument draws to.
//
// A drawing gauge puts ConnectDrawingGauge and DisconnectDrawingGauge into
// the connect and disconnect hooks of its host::GaugeForm. The first
// connect starts the layer; it stops only when the last connected drawing
// gauge disconnects, so closing one pop-up never pulls the layer from under
// the gauges still on screen.
#pragma once

#include <cstdint>

#include "platform/panel/panel.h"

namespace ovi::display {

// Starts the drawing layer (start-up input version 1, no debug callback,
// background thread and external codecs not suppressed) with GdiplusToken
// as the token out-parameter and returns the token now held there. The
// start-up status is not examined: a refused start-up leaves the token as
// it was.
std::uintptr_t StartGdiplus();
// Shuts the layer down for `token`; returns 0 for the caller to store back.
std::uintptr_t StopGdiplus(std::uintptr_t token);

void ConnectDrawingGauge(GAUGEHDR* gauge);
void DisconnectDrawingGauge(GAUGEHDR* gauge);

constexpr std::int32_t kGaugeDefaultWidth = 134;
constexpr std::int32_t kGaugeDefaultHeight = 97;

// An instrument's logical canvas (default width and height, never changed
// after construction) and the element image's size in pixels, which the
// instrument's draw entry copies in at every draw before scaling the canvas
// to it.
struct GaugeDisplay {
  std::int32_t default_width = kGaugeDefaultWidth;
  std::int32_t default_height = kGaugeDefaultHeight;
  std::int32_t width = 0;
  std::int32_t height = 0;
};

// The two constructors of the record: for objects that begin with it and
// for objects that carry it after their own fields. Both set the default
// size and leave width and height as they are; each returns its object.
GaugeDisplay* ConstructDefaultSize(GaugeDisplay* display);
GaugeDisplay* ConstructGaugeDisplay(GaugeDisplay* display);

}  // namespace ovi::display
