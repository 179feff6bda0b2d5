// GNS-XLS navigator and MCU: the page state that flight planning and
// guidance read or write (the navigator's entry line and its field, line
// and selection states, the MCU's repaint requests and airport page).
// The MCU's entry and airport texts are kept with the shared data model
// (model_state).
#pragma once

#include <cstdint>
#include <string>

#include "src/model/fixed_table.h"

namespace ovi::gnsxls {

constexpr std::int32_t kGnsLineCount = 10;
constexpr std::int32_t kPageSaveFlightPlan = 14;

struct State {
  // --- GNS-XLS -------------------------------------------------------------
  std::int32_t GnsXlsPage = 1;
  // The entry line; "******" and "------" stand in it for an empty field.
  std::string NavigatorScratchpad;
  std::int32_t GnsXlsEntryActive = 0;  // 1 while an entry is open
  std::int32_t ScratchpadClearPending = 0;  // 1 = the next key empties the line first
  // States of display lines 1..10 (0 normal); slot 0 unused.
  model::FixedTable<std::int32_t, kGnsLineCount + 1> GnsXlsLineState;
  std::int32_t GnsActiveFieldCode = 0;
  // Selection states of the DEPARTURE, ARRIVAL and APCH pages (1 = complete).
  std::int32_t GnsDepartureSelection = 0;
  std::int32_t GnsArrivalSelection = 0;
  std::int32_t GnsApproachSelection = 0;
  std::int32_t GnsXlsFplView = 0;  // 1 = active flight plan view
  std::string TurnDirectionText = "DEFAULT";
  std::int32_t GnsLoadedPlanFlagA = 0;
  std::int32_t GnsLoadedPlanFlagB = 0;

  // --- MCU -------------------------------------------------------------------
  std::int32_t McuRedrawRequest = 0;
  std::int32_t McuStatusRedraw = 0;
  std::int32_t McuKeyboardEntryActive = 0;
  std::int32_t McuPageEntered = 0;
  std::int32_t McuRunwayListTop = 1;
  std::int32_t McuRunwayScroll = 0;
  // Cursor line of the MCU legs page; a route load puts it on line 1.
  std::int32_t McuLegsCursor = 1;
  std::string KeyboardInputStatus;
  std::int32_t KeyboardEntryLoadFlag = 0;
};

extern State gnsxls_state;

}  // namespace ovi::gnsxls
