// Shared data model: the option globals, the shared tables and the status
// message log. One instance, re-created by ResetModuleState().
#pragma once

#include <string>

#include "src/model/records.h"

namespace ovi::model {

struct State {
  // Short status texts the loaders append; nothing reads them back but the
  // tests and the simulator stand-in's summary. 1-based.
  FixedTable<std::string, kMaxStatusMessages + 1> StatusMessageLog;
  int StatusMessageCount = 0;
};

extern State model_state;

// Increments the count first and stores at the new index; nothing once the
// log is full.
void AddStatusMessage(std::string text);

}  // namespace ovi::model
