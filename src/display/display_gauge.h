// What every display gauge is made of, written once: its form of the gauge
// skeleton (log line, post-install hook, display form, pop-up window,
// drawing element, draw adapter, the per-tick update at pre-draw and the
// counted drawing-layer session), the root image with the screen the
// display draws on as its first child, and the click area over the screen
// that opens and closes the display's pop-up window.
#pragma once

#include <cstdint>

#include "platform/panel/panel.h"
#include "src/display/lifetime.h"
#include "src/guidance/avionics_update.h"
#include "src/host/gauge_skeleton.h"
#include "src/host/panel_services.h"

namespace ovi::display {

// The drawing element erases and owns its drawing surface.
inline constexpr std::uint32_t kDisplayScreenFlags = 0x24;

// Post-install of the gauges that start the flight log: its initialisation
// while it has not been initialised (the CDU and the navigator).
void StartFlightLog(GAUGEHDR* gauge);

// Post-install of the displays that also start the flight log: the traffic
// provider's handle, then StartFlightLog.
void HookTrafficAndStartFlightLog(GAUGEHDR* gauge);

constexpr host::GaugeForm DisplayGaugeForm(const char* log_line, void (*post_install)(GAUGEHDR*),
                                           host::DisplayForm display_form, std::uint32_t window,
                                           host::DrawElement element,
                                           void (*draw)(GAUGEHDR*, ELEMENT_HEADER*, int)) {
  host::GaugeForm f;
  f.log_line = log_line;
  f.post_install = post_install;
  f.pre_draw = guidance::UpdateAvionicsState;
  f.draw_element = element;
  f.display_form = display_form;
  f.window_ident = window;
  f.draw = draw;
  f.connect = ConnectDrawingGauge;
  f.disconnect = DisconnectDrawingGauge;
  return f;
}

}  // namespace ovi::display

// NAME_elements: the root image ROOT and, as its first child, the screen
// SCREEN at (X, Y) on the gauge.
#define OVI_DISPLAY_ELEMENTS(NAME, ROOT, ROOT_SIZE, ROOT_FLAGS, SCREEN, SCREEN_SIZE, X, Y)                     \
  ELEMENT_HEADER NAME##_screen = {                                                                            \
      .element_type = ELEMENT_TYPE_STATIC_IMAGE, .resource_id = SCREEN, .position = {X, Y},                   \
      .image_size = SCREEN_SIZE, .image_flags = ::ovi::display::kDisplayScreenFlags,                             \
  };                                                                                                          \
  ELEMENT_HEADER* NAME##_screen_list[] = {&NAME##_screen, nullptr};                                           \
  ELEMENT_HEADER NAME##_root = {                                                                              \
      .element_type = ELEMENT_TYPE_STATIC_IMAGE, .resource_id = ROOT, .image_size = ROOT_SIZE,                \
      .image_flags = ROOT_FLAGS, .next_element = NAME##_screen_list,                                          \
  };                                                                                                          \
  ELEMENT_HEADER* NAME##_elements[] = {&NAME##_root, nullptr};

// NAME_mouse: one square click area of SIZE at (X, Y), a child inside its
// parent, toggling panel window WINDOW.
#define OVI_DISPLAY_WINDOW_KEY(NAME, X, Y, SIZE, WINDOW)                                                       \
  MOUSERECT NAME##_mouse[] = {                                                                                 \
      {MOUSE_RECT_PARENT, {X, Y}, {SIZE, SIZE}, CURSOR_NONE, 0, nullptr},                                      \
      {MOUSE_RECT_CHILD, {0, 0}, {SIZE, SIZE}, CURSOR_HAND, MOUSE_LEFTSINGLE,                                  \
       ::ovi::host::PanelWindowToggleKey<WINDOW>},                                                             \
      {MOUSE_RECT_EOL, {0, 0}, {0, 0}, CURSOR_NONE, 0, nullptr},                                               \
  };
