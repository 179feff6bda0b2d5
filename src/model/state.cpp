#include "src/model/state.h"

#include <utility>

namespace ovi::model {

State model_state;

void AddStatusMessage(std::string text) {
  State& s = model_state;
  if (s.StatusMessageCount >= kMaxStatusMessages) return;
  ++s.StatusMessageCount;
  s.StatusMessageLog[s.StatusMessageCount] = std::move(text);
}

int CountStatusMessages(std::string_view containing) {
  const State& s = model_state;
  int n = 0;
  for (int i = 1; i <= s.StatusMessageCount; ++i) {
    if (s.StatusMessageLog[i].find(containing) != std::string::npos) ++n;
  }
  return n;
}

}  // namespace ovi::model
