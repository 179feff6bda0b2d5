// ALT/FL (page 19): the autopilot's altitude and a new one set on the
// rocker, sent to the autopilot by ENTER.
#include "src/flightplan/load.h"
#include "src/guidance/state.h"
#include "src/host/panel_services.h"
#include "src/host/sim_vars.h"
#include "src/instruments/gnsxls/kit.h"
#include "src/instruments/gnsxls/mcu/entry_editor.h"
#include "src/instruments/gnsxls/mcu/pages.h"
#include "src/instruments/gnsxls/mcu/state.h"
#include "src/instruments/gnsxls/state.h"

namespace ovi::mcu {

namespace {

constexpr float kValueX = 70.0f;
constexpr float kApAltitudeY = 20.0f;
constexpr float kNewAltitudeY = 40.0f;
// Under the thousands and the five hundreds of the new altitude.
constexpr int kUnderlineY = 55;
constexpr int kThousandsX[2] = {168, 176};
constexpr int kFiveHundredsX[2] = {177, 185};

}  // namespace

void DrawMcuAltitudePage(McuFrame& frame) {
  McuPage page(frame.g);
  State& m = mcu_state;
  page.Text(0, kRowY[0], kAmber, "ALT/FL:");
  page.Text(kValueX, kApAltitudeY, kGreen,
            gnsxls::ScreenText("AP ALT:   %05.0f", guidance::guidance_state.ApAltitudeLockVar));
  if (m.McuEntryCursor != 0) StepAltitude(m.McuNewAltitude);
  page.Text(kValueX, kNewAltitudeY, kAmber, gnsxls::ScreenText("NEW ALT:  %05.0f", m.McuNewAltitude));
  if (m.McuEntryCursor == 1) page.Underline(kThousandsX[0], kThousandsX[1], kUnderlineY);
  if (m.McuEntryCursor == 2) page.Underline(kFiveHundredsX[0], kFiveHundredsX[1], kUnderlineY);

  if (gnsxls::gnsxls_state.McuPageEntered != 1) return;
  host::SendKeyEvent(flightplan::kEventAutopilotAltitude,
                     static_cast<std::uint32_t>(host::TruncateToInt32(m.McuNewAltitude)));
  m.McuPage = kPageStatus;
  // The status page is drawn whole on the next frame, not left under the
  // ALT/FL picture until the repaint cycle comes round.
  guidance::guidance_state.DisplayRefreshCounter = 999;
}

}  // namespace ovi::mcu
