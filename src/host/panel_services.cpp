#include "src/host/panel_services.h"

namespace ovi::host {

ELEMENT_HEADER* FirstElement(const GAUGEHDR* gauge) {
  if (gauge == nullptr || gauge->elements_list == nullptr) return nullptr;
  return gauge->elements_list[0];
}

ELEMENT_HEADER* NextElement(const ELEMENT_HEADER* element) {
  if (element == nullptr || element->next_element == nullptr) return nullptr;
  return element->next_element[0];
}

ELEMENT_HEADER* NthElement(ELEMENT_HEADER* first, std::int32_t n) {
  if (n < 0) return nullptr;
  ELEMENT_HEADER* element = first;
  for (std::int32_t i = 0; i < n && element != nullptr; ++i) element = NextElement(element);
  return element;
}

void SetGaugeElementFlags(ELEMENT_HEADER* first, std::int32_t n, std::uint32_t bits) {
  if (ELEMENT_HEADER* element = NthElement(first, n)) element->image_flags |= bits;
}

void ClearGaugeElementFlags(ELEMENT_HEADER* first, std::int32_t n, std::uint32_t bits) {
  if (ELEMENT_HEADER* element = NthElement(first, n)) element->image_flags &= ~bits;
}

bool IsPanelWindowVisible(std::uint32_t window_ident) {
  PANELS* panels = Panels();
  if (panels == nullptr || panels->is_panel_window_visible_ident == nullptr) return false;
  return panels->is_panel_window_visible_ident(window_ident) != 0;
}

std::int32_t TogglePanelWindow(std::uint32_t window_ident) {
  PANELS* panels = Panels();
  if (panels == nullptr || panels->panel_window_toggle == nullptr) return 0;
  return panels->panel_window_toggle(window_ident);
}

bool SetNamedValueIfPresent(const char* name, double value) {
  PANELS* panels = Panels();
  if (panels == nullptr || panels->check_named_variable == nullptr || panels->set_named_variable_value == nullptr)
    return false;
  std::int32_t id = panels->check_named_variable(name);
  if (id < 0) return false;
  panels->set_named_variable_value(id, value);
  return true;
}

bool GetNamedValue(const char* name, double& value) {
  value = 0.0;
  PANELS* panels = Panels();
  if (panels == nullptr || panels->check_named_variable == nullptr || panels->get_named_variable_value == nullptr)
    return false;
  std::int32_t id = panels->check_named_variable(name);
  if (id < 0) return false;
  value = panels->get_named_variable_value(id);
  return true;
}

void SendKeyEvent(std::uint32_t event_id, std::uint32_t value) {
  PANELS* panels = Panels();
  if (panels != nullptr && panels->trigger_key_event != nullptr) panels->trigger_key_event(event_id, value);
}

std::int32_t TogglePanelWindow4004(PIXPOINT* relative, std::uint32_t flags) {
  return PanelWindowToggleKey<4004>(relative, flags);
}

std::int32_t ConvertDigitsBase(std::int32_t value, std::int32_t from_base, std::int32_t to_base) {
  if (from_base < 2 || from_base > 36 || to_base < 2 || to_base > 36) return 0;
  // Work on the magnitude in 64 bits so INT32_MIN and large rebuilt values
  // stay defined; the result wraps to 32 bits like the word it stands for.
  std::int64_t magnitude = value < 0 ? -static_cast<std::int64_t>(value) : value;
  std::uint64_t result = 0;
  std::uint64_t weight = 1;
  while (magnitude > 0) {
    result += static_cast<std::uint64_t>(magnitude % from_base) * weight;
    magnitude /= from_base;
    weight *= static_cast<std::uint64_t>(to_base);
  }
  auto word = static_cast<std::uint32_t>(result);
  if (value < 0) word = 0u - word;
  return static_cast<std::int32_t>(word);
}

}  // namespace ovi::host
