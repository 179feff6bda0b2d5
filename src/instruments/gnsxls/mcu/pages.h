// The MCU page routines: each draws its page and, in the same call, acts on
// the pending one-frame events. The screen (screen.h) calls the routine of
// McuPage on a full repaint; the status page also on a band repaint.
#pragma once

#include "src/instruments/gnsxls/mcu/kit.h"

namespace ovi::mcu {

using PageRoutine = void (*)(McuFrame& frame);

struct PageEntry {
  PageRoutine draw = nullptr;
  bool band_repaint = false;  // also drawn when only the bearing band repaints
};

// The entry of a page number; an entry without a routine for a number
// without a page.
PageEntry PageEntryOf(int page);

void DrawMcuFlightPlanPage(McuFrame& frame);  // 1 FPLN
void DrawMcuAirportPage(McuFrame& frame);     // 2 APT
void DrawMcuStatusPage(McuFrame& frame);      // 5
void DrawMcuLegsPage(McuFrame& frame);        // 6 LEGS
void DrawMcuDirectToPage(McuFrame& frame);    // 7 DIRTO
void DrawMcuAltitudePage(McuFrame& frame);    // 19 ALT/FL

}  // namespace ovi::mcu
