// The MCU's own state: the page shown, the one-frame key events, the list
// cursors of its pages, the entry editor and the PC keyboard's handles. One
// set for both MCU gauges. What other subsystems write as well stays where
// they find it: the repaint requests, the ENTER event, keyboard entry's flag
// and status text, the legs and runway list places in gnsxls::gnsxls_state;
// the entry texts, the airport shown and the AI runways in
// model::model_state; the load request and its echo in the guidance and
// flight-plan states. docs/mcu.md describes the MCU.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "src/display/lifetime.h"

namespace ovi::mcu {

// Page numbers (McuPage); any other number draws nothing.
constexpr std::int32_t kPageFlightPlan = 1;
constexpr std::int32_t kPageAirport = 2;
constexpr std::int32_t kPageStatus = 5;
constexpr std::int32_t kPageLegs = 6;
constexpr std::int32_t kPageDirectTo = 7;
constexpr std::int32_t kPageAltitude = 19;

// The pages that take text (the rocker's character editor, the PC
// keyboard): APT, LEGS and DIRTO.
constexpr bool TakesText(std::int32_t page) {
  return page == kPageAirport || page == kPageLegs || page == kPageDirectTo;
}

// Rocker keys (McuLineSelectKey).
constexpr std::int32_t kRockerUp = 1;
constexpr std::int32_t kRockerDown = 2;
constexpr std::int32_t kRockerLeft = 3;
constexpr std::int32_t kRockerRight = 4;

// Rows of the list pages and the top y of the cursor box on each.
constexpr int kListRows = 4;
constexpr std::array<std::int32_t, kListRows + 1> kCursorBoxY = {0, 13, 25, 37, 49};

// Bytes of the keyboard state, by scan code.
constexpr std::size_t kKeyStateSize = 256;

struct State {
  std::int32_t McuPage = kPageStatus;

  // --- One-frame events: from the key to the end of the next drawn frame ----
  std::int32_t McuUpPressed = 0;
  std::int32_t McuDownPressed = 0;
  std::int32_t McuPageUpPressed = 0;
  std::int32_t McuPageDownPressed = 0;
  std::int32_t McuFlightPlanRescan = 0;
  std::int32_t McuLineSelectKey = 0;  // 1 up, 2 down, 3 left, 4 right; 0 none

  // Position of the rocker's editor: the character on APT and DIRTO, 1
  // thousands or 2 five hundreds on ALT/FL and the crossing altitude; 0 off.
  std::int32_t McuEntryCursor = 0;

  // --- FPLN ---------------------------------------------------------------
  std::int32_t McuPlanListTop = 1;   // library index shown in row 1
  std::int32_t McuPlanCursorRow = 1;
  std::int32_t McuPlanCursorY = 13;
  // Row of the plan last loaded; it moves with the list, so it may leave
  // 1..4 (0 before any load marks nothing).
  std::int32_t McuLoadedPlanRow = 0;

  // --- ALT/FL -------------------------------------------------------------
  double McuNewAltitude = 0.0;  // feet

  // --- APT ------------------------------------------------------------------
  std::int32_t McuAptSubPage = 1;  // 1 runways, 2 AI runways
  std::int32_t McuRunwayCursorRow = 1;
  std::int32_t McuRunwayCursorY = 13;

  // --- DIRTO ------------------------------------------------------------------
  std::string McuDirectToSearchText;    // the entry text the candidates were found for
  std::int32_t McuDirectToCandidate = 1;  // candidate shown in row 1

  // --- LEGS -------------------------------------------------------------------
  std::int32_t McuCrossingEntryActive = 0;
  std::int32_t McuCrossingAltitude = 0;  // feet, 0..99000

  // The screen's drawing size, shared by both gauges.
  display::GaugeDisplay McuDisplay;

  // --- PC keyboard (keyboard.h) ---------------------------------------------
  std::uintptr_t DirectInputInterface = 0;  // 0 while released
  std::uintptr_t KeyboardDevice = 0;
  std::uintptr_t SimulatorMainWindow = 0;
  std::uintptr_t ModuleInstance = 0;
  std::uintptr_t KeyboardHookHandle = 0;
  std::int32_t KeyboardHookInstalled = 0;
  std::array<std::uint8_t, kKeyStateSize> PrevKeyboardState{};
};

extern State mcu_state;

}  // namespace ovi::mcu
