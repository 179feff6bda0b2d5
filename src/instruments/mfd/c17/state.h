// The C-17 multifunction displays: the page state of the four display slots
// and the working copy the page routines draw from, the page geometry, the
// map options of the control panel, and the mode mailboxes' bookkeeping.
// The working copy's page is the shared `C17MfdPage` (model_state), which
// the CDU reads too; the map range is `C17MfdMapRange` there.
#pragma once

#include <array>
#include <cstdint>

#include "src/display/lifetime.h"

namespace ovi::c17 {

// Pages: 0 HSI, 1 primary flight, 3 compass arc, 4 compass with heading
// box, 5 compass with the aircraft near the top, 6 map, 9 engines, 10
// engine details, 11 oil and fuel used, 12 configuration; any other number
// shows the background alone.
struct C17PageSlot {
  std::int32_t page = 1;
  std::int32_t nav_page_memory = 0;     // last of 0, 3, 6 of the navigation-page cycle
  std::int32_t engine_page_memory = 9;  // last of 9, 10, 11 of the engine-page cycle
};

inline constexpr int kC17Displays = 4;

struct C17MfdPageState {
  // Displays 1 to 4 (slot 0 unused).
  std::array<C17PageSlot, kC17Displays + 1> slots = {{{1, 0, 9}, {1, 0, 9}, {3, 0, 9}, {9, 0, 9}, {10, 0, 9}}};
  // The working copy's remembered pages (its page is C17MfdPage).
  std::int32_t C17NavPageMemory = 0;
  std::int32_t C17EnginePageMemory = 9;
};

struct State {
  C17MfdPageState PageState;

  // Page geometry the draw entry sets for each page: the page origin on the
  // 246 x 241 canvas and the canvas length the map range spans.
  std::int32_t C17MfdOriginX = 122;
  std::int32_t C17MfdOriginY = 178;
  std::int32_t C17MfdMapRadius = 172;

  // The display record all C17_MFD gauges draw through.
  display::GaugeDisplay C17MfdDisplay;

  // Map options of the control panel (0 or 1).
  std::int32_t C17ShowMapLayers = 1;
  std::int32_t C17ShowCourseDeviation = 1;

  // Mode mailboxes: registered once while any C17_MFD gauge is connected.
  std::uint8_t C17MfdVarsRegistered = 0;
  int C17MfdConnections = 0;
  // Last values read from mailboxes 2 to 4 (mailbox 1's is the shared
  // MfdxModeValue, which the B737 navigation display reads too).
  std::int32_t as_mfdx2_mode = 1;
  std::int32_t Mfdx3ModeValue = 3;
  std::int32_t Mfdx4ModeValue = 3;
};

extern State c17_state;

}  // namespace ovi::c17
