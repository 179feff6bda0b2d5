#include "src/instruments/nd/b737_efis_panel.h"

#include <cmath>
#include <cstdio>

#include "src/host/display_commands.h"
#include "src/host/panel_services.h"
#include "src/model/state.h"

namespace ovi::nd {

void ShowKnobImages(ELEMENT_HEADER* background, TenMileKnob rule) {
  const model::State& m = model::model_state;
  auto show = [background](int element, bool shown) {
    if (shown) {
      host::ClearGaugeElementFlags(background, element, IMAGE_HIDDEN);
    } else {
      host::SetGaugeElementFlags(background, element, IMAGE_HIDDEN);
    }
  };
  for (int mode = 1; mode <= kModeKnobImages; ++mode) show(mode, m.HWB737NDMode == mode);
  const double range = m.NdRange;
  show(7, rule == TenMileKnob::kAndBelow ? range <= 10.0 : range == 10.0);
  const double ladder[] = {40.0, 80.0, 160.0, 320.0};
  for (int i = 0; i < 4; ++i) show(8 + i, range == ladder[i]);
}

namespace {

double ShowOnLabel(ELEMENT_HEADER* element, std::int32_t switch_value) {
  if (element == nullptr) return 0.0;
  if (switch_value == 1) {
    element->image_flags &= ~IMAGE_HIDDEN;
    if (element->string.text != nullptr) {
      std::snprintf(element->string.text, static_cast<std::size_t>(element->string.max_length) + 1, "%s", "ON");
    }
  } else {
    element->image_flags |= IMAGE_HIDDEN;
  }
  const double value = element->string.value;
  return std::isfinite(value) ? std::trunc(value) : 0.0;
}

}  // namespace

double UpdateNavaidsOnLabel(ELEMENT_HEADER* element) {
  return ShowOnLabel(element, model::model_state.NdShowNavaids);
}
double UpdateAirportsOnLabel(ELEMENT_HEADER* element) {
  return ShowOnLabel(element, model::model_state.NdShowAirports);
}
double UpdateIntersectionsOnLabel(ELEMENT_HEADER* element) {
  return ShowOnLabel(element, model::model_state.NdShowIntersections);
}

std::int32_t DecrementB737NdModeKey(PIXPOINT*, std::uint32_t) {
  host::DecrementNdMode(host::kDisplayB737Nd);
  return 0;
}

std::int32_t IncrementB737NdModeKey(PIXPOINT*, std::uint32_t) {
  host::IncrementNdMode(host::kDisplayB737Nd);
  return 0;
}

std::int32_t ToggleNdIntersectionsKey(PIXPOINT*, std::uint32_t) {
  host::ToggleNdIntersections();
  return 0;
}

std::int32_t ToggleEfisAuxFlagKey(PIXPOINT*, std::uint32_t) {
  host::ToggleEfisAuxFlag();
  return 0;
}

std::int32_t ToggleNdRangeRings(PIXPOINT*, std::uint32_t) {
  std::int32_t& shown = model::model_state.NdRangeRingsShown;
  shown = 1 - shown;
  return 0;
}

}  // namespace ovi::nd
