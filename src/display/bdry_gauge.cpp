#include "src/display/bdry_gauge.h"

#include "src/model/state.h"

namespace ovi::display {

namespace {

constexpr std::uint32_t kBdryBitmap = 10072;

ELEMENT_HEADER bdry_background = {
    ELEMENT_TYPE_STATIC_IMAGE, kBdryBitmap, {0, 0}, {49, 49}, 0, nullptr, {}, {}, {}, nullptr,
};
ELEMENT_HEADER* bdry_elements[] = {&bdry_background, nullptr};

MOUSERECT bdry_mouse[] = {
    {MOUSE_RECT_PARENT, {7, 7}, {35, 35}, CURSOR_NONE, 0, nullptr},
    {MOUSE_RECT_CHILD, {0, 0}, {35, 35}, CURSOR_HAND, MOUSE_LEFTSINGLE, BdryClick},
    {MOUSE_RECT_EOL, {0, 0}, {0, 0}, CURSOR_NONE, 0, nullptr},
};

}  // namespace

void bdry_callback(GAUGEHDR* /*gauge*/, std::int32_t /*service*/, std::uint32_t /*extra*/) {}

std::int32_t BdryClick(PIXPOINT* /*relative*/, std::uint32_t /*flags*/) {
  ToggleBoundaryDisplay();
  return 0;
}

// The button flips the boundary layer alone: the MD-80 EHSI's boundary lamp
// follows only the display commands (ToggleNdBoundaries), and a value other
// than 0 or 1 turns the layer off here where the command turns it on.
void ToggleBoundaryDisplay() {
  std::int32_t& shown = model::model_state.ShowAtcBoundaries;
  shown = shown == 0 ? 1 : 0;
}

GAUGEHDR bdry_gauge = {
    GAUGE_HEADER_VERSION, "BDRY", bdry_elements, bdry_callback, 0, "", bdry_mouse, {49, 49},
    nullptr,
};

}  // namespace ovi::display
