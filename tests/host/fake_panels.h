// A scripted host for the module's side of the panel interface: raw token
// values, texts, calculator results, visible windows, and a record of what
// the module asked.
#pragma once

#include <cmath>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/panel/panel.h"
#include "src/host/module_state.h"
#include "src/host/state.h"

namespace ovi::testing {

struct FakeHost {
  std::map<std::uint32_t, double> tokens;
  std::map<std::uint32_t, const char*> texts;
  std::map<std::string, std::int32_t> calculator;
  std::map<std::uint32_t, double> aircraft_vars;  // by simvar, unit "percent" only
  std::set<std::uint32_t> visible_windows;
  std::vector<std::uint32_t> lookups;
  std::vector<std::uint32_t> visibility_queries;
  std::vector<std::uint32_t> toggles;
  std::vector<std::string> calculator_calls;
  std::int32_t toggle_result = 1;
  // Named values by id (index), registered variables by name, key events
  // sent, key-event handlers registered, and every id the module used.
  std::vector<std::pair<std::string, double>> named;
  std::map<std::string, std::pair<void*, std::uint32_t>> registered;
  std::vector<std::pair<std::uint32_t, std::uint32_t>> key_events;
  std::vector<std::pair<KeyEventHandler, void*>> key_handlers;
  std::vector<std::int32_t> ids_used;
  const char* calculator_text = nullptr;
  static constexpr std::int32_t kPercent = 17;

  static FakeHost*& Current() {
    static FakeHost* current = nullptr;
    return current;
  }

  static void LookupVar(MODULE_VAR* var) {
    FakeHost& h = *Current();
    h.lookups.push_back(var->id);
    if (auto t = h.texts.find(var->id); t != h.texts.end()) {
      var->value.text = t->second;
      return;
    }
    auto it = h.tokens.find(var->id);
    var->value.n = it != h.tokens.end() ? it->second : 0.0;
  }
  static double AircraftVarget(std::uint32_t simvar, std::int32_t units, std::int32_t /*index*/) {
    FakeHost& h = *Current();
    if (units != kPercent) return -1.0;
    auto it = h.aircraft_vars.find(simvar);
    return it != h.aircraft_vars.end() ? it->second : 0.0;
  }
  static std::int32_t GetUnitsEnum(const char* name) {
    return std::string(name) == "percent" ? kPercent : -1;
  }
  static std::int32_t ExecuteCalculatorCode(const char* code, double* fvalue, std::int32_t* ivalue,
                                            const char** svalue) {
    FakeHost& h = *Current();
    h.calculator_calls.emplace_back(code);
    auto it = h.calculator.find(code);
    std::int32_t v = it != h.calculator.end() ? it->second : 0;
    if (fvalue != nullptr) *fvalue = v + 0.25;  // readers must take the integer result
    if (ivalue != nullptr) *ivalue = v;
    if (svalue != nullptr) *svalue = h.calculator_text;
    return 1;
  }
  static std::int32_t PanelWindowToggle(std::uint32_t ident) {
    Current()->toggles.push_back(ident);
    return Current()->toggle_result;
  }
  static std::int32_t IsPanelWindowVisibleIdent(std::uint32_t ident) {
    FakeHost& h = *Current();
    h.visibility_queries.push_back(ident);
    return h.visible_windows.count(ident) != 0 ? 1 : 0;
  }

  static std::int32_t CheckNamedVariable(const char* name) {
    FakeHost& h = *Current();
    for (std::size_t i = 0; i < h.named.size(); ++i)
      if (h.named[i].first == name) return static_cast<std::int32_t>(i);
    return -1;
  }
  static std::int32_t RegisterNamedVariable(const char* name) {
    FakeHost& h = *Current();
    std::int32_t id = CheckNamedVariable(name);
    if (id >= 0) return id;
    h.named.emplace_back(name, 0.0);
    return static_cast<std::int32_t>(h.named.size() - 1);
  }
  static double GetNamedVariableValue(std::int32_t id) {
    FakeHost& h = *Current();
    h.ids_used.push_back(id);
    return id >= 0 && static_cast<std::size_t>(id) < h.named.size() ? h.named[id].second : 0.0;
  }
  static void SetNamedVariableValue(std::int32_t id, double value) {
    FakeHost& h = *Current();
    h.ids_used.push_back(id);
    if (id >= 0 && static_cast<std::size_t>(id) < h.named.size()) h.named[id].second = value;
  }
  static void RegisterVarByName(void* storage, std::uint32_t type, const char* name) {
    Current()->registered[name] = {storage, type};
  }
  static void UnregisterVarByName(const char* name) { Current()->registered.erase(name); }
  static void InitializeVarByName(MODULE_VAR* var, const char* name) {
    FakeHost& h = *Current();
    *var = MODULE_VAR{};
    auto it = h.registered.find(name);
    if (it == h.registered.end()) return;
    var->var_ptr = it->second.first;
    var->var_type = it->second.second;
    var->value.ptr = it->second.first;
  }
  static void TriggerKeyEvent(std::uint32_t id, std::uint32_t value) {
    FakeHost& h = *Current();
    h.key_events.emplace_back(id, value);
    auto handlers = h.key_handlers;
    for (auto& [handler, user] : handlers) handler(id, value, user);
  }
  static void RegisterKeyEventHandler(KeyEventHandler handler, void* user) {
    Current()->key_handlers.emplace_back(handler, user);
  }
  static void UnregisterKeyEventHandler(KeyEventHandler handler, void* user) {
    auto& v = Current()->key_handlers;
    for (auto it = v.begin(); it != v.end();) it = it->first == handler && it->second == user ? v.erase(it) : it + 1;
  }

  // The value of a named variable, or NaN when absent.
  double Named(const std::string& name) const {
    for (const auto& [n, v] : named)
      if (n == name) return v;
    return std::nan("");
  }
  void SetNamed(const std::string& name, double value) {
    named[static_cast<std::size_t>(RegisterNamedVariable(name.c_str()))].second = value;
  }

  PANELS panels{};

  FakeHost() {
    Current() = this;
    panels.lookup_var = LookupVar;
    panels.aircraft_varget = AircraftVarget;
    panels.get_units_enum = GetUnitsEnum;
    panels.execute_calculator_code = ExecuteCalculatorCode;
    panels.panel_window_toggle = PanelWindowToggle;
    panels.is_panel_window_visible_ident = IsPanelWindowVisibleIdent;
    panels.check_named_variable = CheckNamedVariable;
    panels.register_named_variable = RegisterNamedVariable;
    panels.get_named_variable_value = GetNamedVariableValue;
    panels.set_named_variable_value = SetNamedVariableValue;
    panels.register_var_by_name = RegisterVarByName;
    panels.unregister_var_by_name = UnregisterVarByName;
    panels.initialize_var_by_name = InitializeVarByName;
    panels.trigger_key_event = TriggerKeyEvent;
    panels.register_key_event_handler = RegisterKeyEventHandler;
    panels.unregister_key_event_handler = UnregisterKeyEventHandler;
  }
  ~FakeHost() { Current() = nullptr; }
  FakeHost(const FakeHost&) = delete;
  FakeHost& operator=(const FakeHost&) = delete;

  void Bind() { host::host_state.Panels = &panels; }
};

}  // namespace ovi::testing
