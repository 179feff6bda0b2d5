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

}  // namespace ovi::model
