#include "src/instruments/gnsxls/navigator.h"

#include "src/instruments/gnsxls/state.h"
#include "src/util/text.h"

namespace ovi::gnsxls {

bool ShowsActiveView() {
  const State& s = gnsxls_state;
  return s.GnsXlsPage == kPageFlightPlan && s.GnsXlsFplView == kViewActive;
}

bool ShowsStoredView() {
  const State& s = gnsxls_state;
  return s.GnsXlsPage == kPageFlightPlan && s.GnsXlsFplView != kViewActive;
}

std::string EntryText() { return std::string(util::Trim(gnsxls_state.NavigatorScratchpad)); }

bool FieldNumber(const std::string& text, double& value) {
  // Plain decimal notation only: the keypad's letters would otherwise make
  // "3E4" or "0X10" numbers.
  const std::string_view number = util::Trim(text);
  for (char c : number)
    if (!(c >= '0' && c <= '9') && c != '.' && c != '-' && c != '+') return false;
  return util::ParseDouble(number, value);
}

bool EntryNumber(double& value) { return FieldNumber(gnsxls_state.NavigatorScratchpad, value); }

bool StepWithin(std::int32_t& index, std::int32_t count, int delta) {
  if (count < 1) count = 1;
  index += delta;
  if (index < 1) {
    index = count;
    return true;
  }
  if (index > count) {
    index = 1;
    return true;
  }
  return false;
}

}  // namespace ovi::gnsxls
