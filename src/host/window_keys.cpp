#include "src/host/window_keys.h"

#include "src/host/panel_services.h"

namespace ovi::host {

namespace {

// The buttons answer no service; the callback is there for hosts that call
// every gauge's.
void window_key_callback(GAUGEHDR* /*gauge*/, std::int32_t /*service*/, std::uint32_t /*extra*/) {}

// Every button is the same 50 x 49 picture with one 35 x 35 key at (7, 7).
constexpr PIXSIZE kButtonSize = {50, 49};

#define OVI_WINDOW_BUTTON(NAME, BITMAP, WINDOW)                                                             \
  ELEMENT_HEADER NAME##_background = {                                                                     \
      ELEMENT_TYPE_STATIC_IMAGE, BITMAP, {0, 0}, kButtonSize, 0, nullptr, {}, {}, {}, nullptr,              \
  };                                                                                                       \
  ELEMENT_HEADER* NAME##_elements[] = {&NAME##_background, nullptr};                                       \
  MOUSERECT NAME##_mouse[] = {                                                                             \
      {MOUSE_RECT_PARENT, {7, 7}, {35, 35}, CURSOR_NONE, 0, nullptr},                                      \
      {MOUSE_RECT_CHILD, {0, 0}, {35, 35}, CURSOR_HAND, MOUSE_LEFTSINGLE, PanelWindowToggleKey<WINDOW>},   \
      {MOUSE_RECT_EOL, {0, 0}, {0, 0}, CURSOR_NONE, 0, nullptr},                                           \
  };

OVI_WINDOW_BUTTON(p1000_mfd_open, 9812, 4002)
OVI_WINDOW_BUTTON(p1000_mfd_cntr_open, 9814, 4003)
OVI_WINDOW_BUTTON(efs50_tcas_open, 9816, 4010)

#undef OVI_WINDOW_BUTTON

}  // namespace

GAUGEHDR p1000_mfd_open_gauge = {
    GAUGE_HEADER_VERSION, "P1000_MFD_OPEN", p1000_mfd_open_elements, window_key_callback, 0, "", p1000_mfd_open_mouse,
    kButtonSize, nullptr,
};
GAUGEHDR p1000_mfd_cntr_open_gauge = {
    GAUGE_HEADER_VERSION, "P1000_MFD_CNTR_OPEN", p1000_mfd_cntr_open_elements, window_key_callback, 0, "",
    p1000_mfd_cntr_open_mouse, kButtonSize, nullptr,
};
GAUGEHDR efs50_tcas_open_gauge = {
    GAUGE_HEADER_VERSION, "EFS50_TCAS_OPEN", efs50_tcas_open_elements, window_key_callback, 0, "", efs50_tcas_open_mouse,
    kButtonSize, nullptr,
};

}  // namespace ovi::host
