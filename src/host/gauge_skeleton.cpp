#include "src/host/gauge_skeleton.h"

#include <cstring>
#include <string>

#include "src/host/debug_log.h"
#include "src/host/panel_services.h"
#include "src/host/state.h"

namespace ovi::host {

namespace {

bool Is(const char* parameter, const char* text) {
  return std::strcmp(parameter != nullptr ? parameter : "", text) == 0;
}

const char* Parameter(const GAUGEHDR* gauge) {
  return gauge != nullptr && gauge->parameters != nullptr ? gauge->parameters : "";
}

bool ResetsName(AircraftNameRule rule, const std::string& name) {
  switch (rule) {
    case AircraftNameRule::kResetVcVc2Wn:
      return name == "VC" || name == "VC2" || name == "WN";
    case AircraftNameRule::kResetVcWn:
      return name == "VC" || name == "WN";
    case AircraftNameRule::kResetNone:
    case AircraftNameRule::kNeverTake:
      break;
  }
  return false;
}

void Call(void (*hook)(GAUGEHDR*), GAUGEHDR* gauge) {
  if (hook != nullptr) hook(gauge);
}

}  // namespace

void TakeAircraftName(const char* parameter, AircraftNameRule rule, const OneTimeLoads& loads) {
  if (rule == AircraftNameRule::kNeverTake) return;
  std::string& name = loads.aircraft_config_name();
  if (!name.empty()) return;
  name = parameter != nullptr ? parameter : "";
  if (ResetsName(rule, name)) name.clear();
  if (!name.empty()) loads.load_aircraft_config();
}

void RunPreInitialise(const GaugeForm& form, GAUGEHDR* gauge, const OneTimeLoads& loads) {
  Call(form.before_loads, gauge);
  EnsureSimulatorFolder();
  if (form.load_configuration && loads.config_loaded() == 0) loads.load_configuration();
  if (form.load_nav_database && loads.airport_count() == 0) {
    loads.load_nav_database();
    if (form.after_nav_database != nullptr) form.after_nav_database();
  }
  TakeAircraftName(Parameter(gauge), form.aircraft_name, loads);
  if (form.scan_flight_plans && loads.flight_plan_library_count() == 0) {
    loads.scan_flight_plan_folder();
  }
  Call(form.after_loads, gauge);
}

int ComputeDisplayVariant(DisplayForm form, const char* parameter, std::uint32_t window_ident) {
  if (form == DisplayForm::kAlways) return kVariantFull;
  int variant = kVariantFull;
  if (IsPanelWindowVisible(0) && Is(parameter, "VC")) variant = kVariantSkip;
  if (IsPanelWindowVisible(window_ident) && !Is(parameter, "WN")) variant = kVariantBlank;
  switch (form) {
    case DisplayForm::kB:
      if (IsPanelWindowVisible(window_ident) && Is(parameter, "VC2")) variant = kVariantReduced;
      break;
    case DisplayForm::kC:
      if (IsPanelWindowVisible(window_ident) && Is(parameter, "VC2")) variant = kVariantSkip;
      break;
    case DisplayForm::kD:
      if (Is(parameter, "VC2")) variant = kVariantReduced;
      break;
    case DisplayForm::kA:
    case DisplayForm::kAlways:
      break;
  }
  return variant;
}

bool PassesDrawGate(DisplayForm form, int variant) {
  switch (form) {
    case DisplayForm::kA:
    case DisplayForm::kC:
      return variant == kVariantFull || variant == kVariantBlank;
    case DisplayForm::kB:
    case DisplayForm::kD:
    case DisplayForm::kAlways:
      break;
  }
  return variant != kVariantSkip;
}

void RunPreDraw(const GaugeForm& form, GAUGEHDR* gauge) {
  if (form.pre_draw != nullptr) form.pre_draw();
  if (form.draw_element == DrawElement::kNone) return;
  ELEMENT_HEADER* element = FirstElement(gauge);
  if (form.draw_element == DrawElement::kFirstChild) element = NextElement(element);
  host_state.CurrentGaugeElement = element;
  if (element == nullptr) return;
  if (element->image.dc != nullptr && form.draw != nullptr) {
    if (form.variant != nullptr) {
      form.draw(gauge, element, form.variant(gauge));
    } else {
      int variant = ComputeDisplayVariant(form.display_form, Parameter(gauge), form.window_ident);
      if (PassesDrawGate(form.display_form, variant)) form.draw(gauge, element, variant);
    }
  }
  // The host shows the element's new picture only once its on-screen mark
  // is cleared, also when nothing new was drawn.
  element->image_flags &= ~IMAGE_ON_SCREEN;
}

void RunGaugeCallback(const GaugeForm& form, GAUGEHDR* gauge, std::int32_t service) {
  WriteLogLine(form.log_line);
  switch (service) {
    case PANEL_SERVICE_PRE_INSTALL:
      if (form.pre_install) EnsureSimulatorFolder();
      Call(form.after_pre_install, gauge);
      break;
    case PANEL_SERVICE_POST_INSTALL:
      Call(form.post_install, gauge);
      break;
    case PANEL_SERVICE_PRE_INITIALIZE:
      if (form.pre_initialise) RunPreInitialise(form, gauge);
      break;
    case PANEL_SERVICE_POST_INITIALIZE:
      Call(form.post_initialise, gauge);
      break;
    case PANEL_SERVICE_PRE_UPDATE:
      Call(form.pre_update, gauge);
      break;
    case PANEL_SERVICE_PRE_DRAW:
      RunPreDraw(form, gauge);
      break;
    case PANEL_SERVICE_CONNECT_TO_WINDOW:
      Call(form.connect, gauge);
      break;
    case PANEL_SERVICE_DISCONNECT:
      Call(form.disconnect, gauge);
      break;
    default:
      break;
  }
}

}  // namespace ovi::host
