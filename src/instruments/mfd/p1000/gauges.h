// The P1000's controls as gauges: P1000_MFD_CNTR, the display controller
// (MAP/PLAN, TCAS, RNG rocker, APT, VOR), whose frames keep the soft-key
// menu open, and P1000_MFD_NB_CNTR, the bezel's key strip under the pop-up
// display. The display gauges themselves (P1000_MFD, P1000_MFD_NB) are rows
// of the display gauges (src/instruments/efs/display_gauges.h); P1000_MFD
// carries the bezel keys below.
#pragma once

#include <array>
#include <cstdint>

#include "platform/panel/panel.h"
#include "src/host/display_commands.h"
#include "src/host/panel_services.h"
#include "src/instruments/mfd/p1000/controls.h"

namespace ovi::p1000 {

inline constexpr std::uint32_t kP1000MfdWindow = 4002;
inline constexpr std::uint32_t kP1000ControllerBitmap = 9746;  // 605 x 234
inline constexpr std::uint32_t kP1000KeyStripBitmap = 10086;   // 326 x 72
// The key strip carries the bezel's keys this much higher.
inline constexpr int kKeyStripRise = 364;

// The bezel's keys in one parent over the gauge: the screen's click area
// (the display's pop-up window; only with `window_key`), the SET knob's
// halves (repeating while held), five soft keys and the range knob's
// halves, moved up by `rise`; `soft_key_3` is the third key's handler.
using BezelKeyList = std::array<MOUSERECT, 13>;
constexpr BezelKeyList BezelKeys(int rise, MouseHandler soft_key_3, bool window_key) {
  auto child = [rise](int x, int y, int w, int h, std::int32_t cursor, std::uint32_t flags, MouseHandler handler) {
    return MOUSERECT{MOUSE_RECT_CHILD, {x, y - rise}, {w, h}, cursor, flags, handler};
  };
  constexpr MOUSERECT kEnd{MOUSE_RECT_EOL, {0, 0}, {0, 0}, CURSOR_NONE, 0, nullptr};
  BezelKeyList keys{};
  std::size_t n = 0;
  keys[n++] = MOUSERECT{MOUSE_RECT_PARENT, {0, 0}, {0, 0}, CURSOR_NONE, 0, nullptr};
  if (window_key)
    keys[n++] = child(102, 147 + rise, 100, 100, CURSOR_HAND, MOUSE_LEFTSINGLE,
                      host::PanelWindowToggleKey<kP1000MfdWindow>);
  keys[n++] = child(19, 387, 18, 36, CURSOR_DOWNARROW, MOUSE_LEFTSINGLE_REPEAT, P1000SetKnobDecKey);
  keys[n++] = child(37, 387, 18, 36, CURSOR_UPARROW, MOUSE_LEFTSINGLE_REPEAT, P1000SetKnobIncKey);
  keys[n++] = child(70, 382, 30, 24, CURSOR_HAND, MOUSE_LEFTSINGLE, P1000SoftKey1);
  keys[n++] = child(107, 382, 30, 24, CURSOR_HAND, MOUSE_LEFTSINGLE, P1000SoftKey2);
  keys[n++] = child(144, 382, 30, 24, CURSOR_HAND, MOUSE_LEFTSINGLE, soft_key_3);
  keys[n++] = child(182, 382, 30, 24, CURSOR_HAND, MOUSE_LEFTSINGLE, P1000SoftKey4);
  keys[n++] = child(220, 382, 30, 24, CURSOR_HAND, MOUSE_LEFTSINGLE, P1000SoftKey5);
  keys[n++] = child(274, 387, 18, 36, CURSOR_DOWNARROW, MOUSE_LEFTSINGLE, host::KeyHandler<host::DecrementNdRange>);
  keys[n++] = child(292, 387, 18, 36, CURSOR_UPARROW, MOUSE_LEFTSINGLE, P1000RangeUpKnobKey);
  keys[n++] = MOUSERECT{MOUSE_RECT_END_PARENT, {0, 0}, {0, 0}, CURSOR_NONE, 0, nullptr};
  while (n < keys.size()) keys[n++] = kEnd;
  return keys;
}

extern GAUGEHDR p1000_mfd_cntr_gauge;
extern GAUGEHDR p1000_mfd_nb_cntr_gauge;
void p1000_mfd_cntr_callback(GAUGEHDR* gauge, std::int32_t service, std::uint32_t extra);
void p1000_mfd_nb_cntr_callback(GAUGEHDR* gauge, std::int32_t service, std::uint32_t extra);

}  // namespace ovi::p1000
