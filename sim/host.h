// The simulator stand-in's host: loads a gauge module and drives its gauges.
#pragma once

#include <string>
#include <vector>

#include "platform/panel/panel.h"

namespace ovi::sim {

struct LoadedModule {
  void* handle = nullptr;
  GAUGESLINKAGE* linkage = nullptr;
  IMPORT_TABLE* import_table = nullptr;
  // The module's status log, when it exports one: the number of texts and
  // text i (1-based; null past the end).
  int (*status_count)() = nullptr;
  const char* (*status_text)(int) = nullptr;
};

// Loads a module with dlopen and binds its exports; false with a message
// naming the file when it cannot.
bool LoadModule(const std::string& path, LoadedModule& out, std::string& error);
void UnloadModule(LoadedModule& m);

// Names of the gauges a loaded module exports, in table order.
std::vector<std::string> GaugeNames(const LoadedModule& m);

}  // namespace ovi::sim
