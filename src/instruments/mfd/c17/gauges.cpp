// Gauge headers, elements, mouse rectangles and callbacks of C17_MFD and
// C17_MFCP, both forms of the module's one gauge skeleton.
#include "src/instruments/mfd/c17/gauges.h"

#include "src/display/lifetime.h"
#include "src/guidance/avionics_update.h"
#include "src/host/debug_log.h"
#include "src/host/display_commands.h"
#include "src/host/gauge_skeleton.h"
#include "src/host/panel_services.h"
#include "src/instruments/mfd/c17/c17_mfd.h"
#include "src/instruments/mfd/c17/page_state.h"
#include "src/instruments/mfd/c17/state.h"

namespace ovi::c17 {

namespace {

// --- C17_MFD services ---------------------------------------------------------------

void OpenDebugLog(GAUGEHDR* /*gauge*/) { host::OpenLogFile(); }

void ServeMailboxOfParameter(GAUGEHDR* gauge) {
  const char* p = gauge != nullptr && gauge->parameters != nullptr ? gauge->parameters : "";
  host::WriteLogLine("PANEL_SERVICE_PRE_UPDATE:\n");
  guidance::UpdateAvionicsState();
  host::WriteLogLineF("PANEL_SERVICE_PRE_UPDATE-2: Param=%s\n", p);
  if (p[0] == '\0') return;
  int k = LeadingDigit(p);
  host::WriteLogLineF("PANEL_SERVICE_PRE_UPDATE-3: iparam=%d\n", k);
  // A parameter that names its display by letters serves mailbox 1.
  if (k == 0) k = 1;
  host::WriteLogLineF("PANEL_SERVICE_PRE_UPDATE-4: iparam=%d\n", k);
  switch (k) {
    case 1: ProcessMFDX1(gauge); break;
    case 2: ProcessMFDX2(gauge); break;
    case 3: ProcessMFDX3(gauge); break;
    case 4: ProcessMFDX4(gauge); break;
    default: break;
  }
}

void DrawDisplay(GAUGEHDR* /*gauge*/, ELEMENT_HEADER* element, int number) {
  DrawC17Mfd(c17_state.C17MfdDisplay, element->image.dc, &element->image.size, number);
}

// The mailboxes stay registered while any C17_MFD is connected, like the
// drawing layer: one pop-up closing never takes them from the displays left.
void ConnectDisplay(GAUGEHDR* gauge) {
  display::ConnectDrawingGauge(gauge);
  State& s = c17_state;
  ++s.C17MfdConnections;
  if (s.C17MfdVarsRegistered != 0) return;
  PANELS* panels = host::Panels();
  if (panels != nullptr && panels->register_named_variable != nullptr) {
    for (const char* name : kMailboxNames) panels->register_named_variable(name);
  }
  s.C17MfdVarsRegistered = 1;
}

void DisconnectDisplay(GAUGEHDR* gauge) {
  display::DisconnectDrawingGauge(gauge);
  State& s = c17_state;
  if (s.C17MfdConnections > 0) --s.C17MfdConnections;
  if (s.C17MfdConnections > 0 || s.C17MfdVarsRegistered != 1) return;
  PANELS* panels = host::Panels();
  if (panels != nullptr && panels->unregister_var_by_name != nullptr) {
    for (const char* name : kMailboxNames) panels->unregister_var_by_name(name);
  }
  s.C17MfdVarsRegistered = 0;
}

// No log line of its own; the display number replaces the display
// variants; the per-tick update runs at pre-update, not at pre-draw.
constexpr host::GaugeForm MfdForm() {
  host::GaugeForm f;
  f.before_loads = OpenDebugLog;
  f.aircraft_name = host::AircraftNameRule::kNeverTake;
  f.pre_update = ServeMailboxOfParameter;
  f.draw_element = host::DrawElement::kFirstElement;
  f.variant = C17DisplayNumber;
  f.draw = DrawDisplay;
  f.connect = ConnectDisplay;
  f.disconnect = DisconnectDisplay;
  return f;
}
constexpr host::GaugeForm kMfdForm = MfdForm();

constexpr PIXSIZE kScreenSize = {246, 241};

ELEMENT_HEADER mfd_screen = {
    .element_type = ELEMENT_TYPE_STATIC_IMAGE, .resource_id = kC17MfdScreenBitmap, .image_size = kScreenSize,
    .image_flags = 0x26,
};
ELEMENT_HEADER* mfd_elements[] = {&mfd_screen, nullptr};

// Each key a parent with one child of its size. The page keys lie below the
// picture, on the display's bezel.
#define OVI_C17_KEY(X, Y, W, H, HANDLER)                                    \
  {MOUSE_RECT_PARENT, {X, Y}, {W, H}, CURSOR_NONE, 0, nullptr},             \
      {MOUSE_RECT_CHILD, {0, 0}, {W, H}, CURSOR_HAND, MOUSE_LEFTSINGLE, HANDLER}, \
      {MOUSE_RECT_END_PARENT, {0, 0}, {0, 0}, CURSOR_NONE, 0, nullptr}

MOUSERECT mfd_mouse[] = {
    OVI_C17_KEY(58, 267, 29, 32, SelectC17FlightPage),
    OVI_C17_KEY(85, 267, 36, 32, CycleC17NavPage),
    OVI_C17_KEY(121, 267, 37, 32, C17NoOpKey),
    OVI_C17_KEY(157, 267, 36, 32, CycleC17EnginePage),
    OVI_C17_KEY(192, 267, 40, 32, SelectC17ConfigPage),
    OVI_C17_KEY(72, 75, 70, 70, host::PanelWindowToggleKey<kC17MfdWindow>),
    {MOUSE_RECT_EOL, {0, 0}, {0, 0}, CURSOR_NONE, 0, nullptr},
};

// --- C17_MFCP ----------------------------------------------------------------------

// Only the shared one-time loads; no log line, no database or flight-plan
// library of its own, no update.
constexpr host::GaugeForm MfcpForm() {
  host::GaugeForm f;
  f.load_nav_database = false;
  f.scan_flight_plans = false;
  return f;
}
constexpr host::GaugeForm kMfcpForm = MfcpForm();

constexpr PIXSIZE kMfcpSize = {487, 558};

ELEMENT_HEADER mfcp_background = {
    .element_type = ELEMENT_TYPE_STATIC_IMAGE, .resource_id = kC17MfcpBitmap, .image_size = kMfcpSize,
    .image_flags = 0x0,
};
ELEMENT_HEADER* mfcp_elements[] = {&mfcp_background, nullptr};

MOUSERECT mfcp_mouse[] = {
    OVI_C17_KEY(94, 198, 50, 50, host::KeyHandler<host::ToggleNdNavaids>),
    OVI_C17_KEY(162, 198, 50, 50, host::KeyHandler<host::ToggleNdAirports>),
    {MOUSE_RECT_CHILD, {344, 130}, {48, 48}, CURSOR_HAND, MOUSE_LEFTSINGLE, ToggleC17MapLayers},
    {MOUSE_RECT_CHILD, {35, 131}, {48, 48}, CURSOR_HAND, MOUSE_LEFTSINGLE, ToggleC17CourseDeviation},
    // The range key: one parent, a half on each side.
    {MOUSE_RECT_PARENT, {66, 426}, {82, 82}, CURSOR_NONE, 0, nullptr},
    {MOUSE_RECT_CHILD, {0, 0}, {41, 82}, CURSOR_DOWNARROW, MOUSE_LEFTSINGLE, host::KeyHandler<host::DecrementNdRange>},
    {MOUSE_RECT_CHILD, {42, 0}, {41, 82}, CURSOR_UPARROW, MOUSE_LEFTSINGLE, host::KeyHandler<host::IncrementNdRange>},
    {MOUSE_RECT_END_PARENT, {0, 0}, {0, 0}, CURSOR_NONE, 0, nullptr},
    OVI_C17_KEY(84, 291, 42, 38, C17CompassViewDown),
    OVI_C17_KEY(356, 291, 42, 38, C17CompassViewDown),
    OVI_C17_KEY(84, 332, 42, 38, C17CompassViewUp),
    OVI_C17_KEY(356, 332, 42, 38, C17CompassViewUp),
    {MOUSE_RECT_EOL, {0, 0}, {0, 0}, CURSOR_NONE, 0, nullptr},
};
#undef OVI_C17_KEY

constexpr PIXSIZE kDesignSize = {312, 0};

}  // namespace

void c17_mfd_callback(GAUGEHDR* gauge, std::int32_t service, std::uint32_t /*extra*/) {
  host::RunGaugeCallback(kMfdForm, gauge, service);
}

void c17_mfcp_callback(GAUGEHDR* gauge, std::int32_t service, std::uint32_t /*extra*/) {
  host::RunGaugeCallback(kMfcpForm, gauge, service);
}

GAUGEHDR c17_mfd_gauge = {
    GAUGE_HEADER_VERSION, "C17_MFD", mfd_elements, c17_mfd_callback, 0, "", mfd_mouse, kDesignSize, nullptr,
};
GAUGEHDR c17_mfcp_gauge = {
    GAUGE_HEADER_VERSION, "C17_MFCP", mfcp_elements, c17_mfcp_callback, 0, "", mfcp_mouse, kDesignSize, nullptr,
};

}  // namespace ovi::c17
