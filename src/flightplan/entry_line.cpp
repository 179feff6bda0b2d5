#include "src/flightplan/entry_line.h"

#include "src/instruments/fms/state.h"
#include "src/instruments/gnsxls/state.h"

namespace ovi::flightplan {

namespace {

constexpr std::size_t kFieldWidth = 6;
constexpr std::size_t kFileNameFieldWidth = 10;
constexpr const char* kDeleteKey = "*1";

}  // namespace

void ScratchpadKeyInput(std::string key, int pad_only) {
  fms::fms_state.FmsLegsMarker = 0;
  gnsxls::State& g = gnsxls::gnsxls_state;
  const std::size_t width = g.GnsXlsPage == gnsxls::kPageSaveFlightPlan ? kFileNameFieldWidth : kFieldWidth;
  if (g.GnsXlsEntryActive != 1) return;
  std::string& line = g.NavigatorScratchpad;
  if (pad_only == 0) {
    if (g.ScratchpadClearPending == 1) {
      line.clear();
      g.ScratchpadClearPending = 0;
    }
    if (line == "******") line.clear();
    if (line == "------") line.clear();
    while (!line.empty() && line.back() == ' ') line.pop_back();
    if (key == kDeleteKey) {
      if (!line.empty()) line.pop_back();
    } else if (line.size() < width) {
      line += key.substr(0, width - line.size());
    }
    g.GnsXlsEntryActive = 1;
  }
  if (line.size() < width) line.append(width - line.size(), ' ');
}

}  // namespace ovi::flightplan
