#include "src/display/lifetime.h"

#include "platform/gfx/startup.h"
#include "src/display/display_gauge.h"
#include "src/display/state.h"
#include "src/guidance/flight_log.h"
#include "src/guidance/state.h"
#include "src/host/traffic_link.h"

namespace ovi::display {

std::uintptr_t StartGdiplus() {
  gfx::GdiplusStartupInput input;
  input.GdiplusVersion = 1;
  input.DebugEventCallback = nullptr;
  input.SuppressBackgroundThread = false;
  input.SuppressExternalCodecs = false;
  gfx::GdiplusStartup(&display_state.GdiplusToken, &input, nullptr);
  return display_state.GdiplusToken;
}

std::uintptr_t StopGdiplus(std::uintptr_t token) {
  gfx::GdiplusShutdown(token);
  return 0;
}

void ConnectDrawingGauge(GAUGEHDR* /*gauge*/) {
  State& s = display_state;
  if (s.GdiplusToken == 0) s.GdiplusToken = StartGdiplus();
  ++s.DrawingGaugeConnections;
}

void DisconnectDrawingGauge(GAUGEHDR* /*gauge*/) {
  State& s = display_state;
  if (s.DrawingGaugeConnections > 0) --s.DrawingGaugeConnections;
  if (s.DrawingGaugeConnections == 0 && s.GdiplusToken != 0) s.GdiplusToken = StopGdiplus(s.GdiplusToken);
}

void StartFlightLog(GAUGEHDR* /*gauge*/) {
  if (guidance::guidance_state.FlightLogInitialized == 0) guidance::UpdateFlightLog(guidance::kLogInitialise);
}

void HookTrafficAndStartFlightLog(GAUGEHDR* gauge) {
  host::HookTrafficProvider(gauge);
  StartFlightLog(gauge);
}

GaugeDisplay* ConstructDefaultSize(GaugeDisplay* display) {
  if (display != nullptr) {
    display->default_width = kGaugeDefaultWidth;
    display->default_height = kGaugeDefaultHeight;
  }
  return display;
}

GaugeDisplay* ConstructGaugeDisplay(GaugeDisplay* display) { return ConstructDefaultSize(display); }

}  // namespace ovi::display
