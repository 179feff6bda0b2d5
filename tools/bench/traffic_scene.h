// The map benchmarks' traffic: a panel table whose traffic provider is the
// stand-in's (sim::TrafficProvider) with a dozen targets around the
// aircraft. The tool links ovi_sim_lib.
#pragma once

#include <cstring>
#include <string>
#include <vector>

#include "platform/panel/panel.h"
#include "sim/traffic_provider.h"
#include "src/host/traffic_link.h"

namespace ovi::bench {

// A panel table reading every token through `lookup`, with the provider
// registered under its name.
inline PANELS& TrafficPanels(void (*lookup)(MODULE_VAR*)) {
  static PANELS panels{};
  panels.lookup_var = lookup;
  panels.initialize_var_by_name = [](MODULE_VAR* var, const char* name) {
    *var = MODULE_VAR{};
    if (std::string(name) != host::kTrafficProviderVariable) return;
    var->var_type = VAR_TYPE_FUNCTION;
    auto entry = &sim::TrafficProvider::Entry;
    static_assert(sizeof entry == sizeof var->value.ptr);
    std::memcpy(&var->value.ptr, &entry, sizeof entry);
  };
  return panels;
}

// A dozen targets around the aircraft, above and below, in every trend and
// threat.
inline void ProvideTraffic() {
  static sim::TrafficProvider provider;
  std::vector<sim::TrafficTargetSetting> targets;
  for (int i = 0; i < 12; ++i)
    targets.push_back({-2000.0 + 400.0 * i, 2.0 + 1.5 * i, 30.0 * i, "v-^"[i % 3], "OPTR"[i % 4]});
  provider.SetTargets(targets);
  sim::TrafficProvider::Current() = &provider;
}

}  // namespace ovi::bench
