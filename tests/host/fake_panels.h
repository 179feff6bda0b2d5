// A scripted host for the module's side of the panel interface: raw token
// values, texts, calculator results, visible windows, and a record of what
// the module asked.
#pragma once

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
                                            const char** /*svalue*/) {
    FakeHost& h = *Current();
    h.calculator_calls.emplace_back(code);
    auto it = h.calculator.find(code);
    std::int32_t v = it != h.calculator.end() ? it->second : 0;
    if (fvalue != nullptr) *fvalue = v + 0.25;  // readers must take the integer result
    if (ivalue != nullptr) *ivalue = v;
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

  PANELS panels{};

  FakeHost() {
    Current() = this;
    panels.lookup_var = LookupVar;
    panels.aircraft_varget = AircraftVarget;
    panels.get_units_enum = GetUnitsEnum;
    panels.execute_calculator_code = ExecuteCalculatorCode;
    panels.panel_window_toggle = PanelWindowToggle;
    panels.is_panel_window_visible_ident = IsPanelWindowVisibleIdent;
  }
  ~FakeHost() { Current() = nullptr; }
  FakeHost(const FakeHost&) = delete;
  FakeHost& operator=(const FakeHost&) = delete;

  void Bind() { host::host_state.Panels = &panels; }
};

}  // namespace ovi::testing
