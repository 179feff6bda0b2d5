// The EFS 50 control panel's gauges and keys. Every key acts at once on the
// shared display state; the displays show the change at their next frame.
#include "src/instruments/efs/control_panel.h"

#include <array>
#include <cstddef>
#include <span>

#include "src/guidance/avionics_update.h"
#include "src/guidance/engage_buttons.h"
#include "src/host/display_commands.h"
#include "src/host/gauge_skeleton.h"
#include "src/host/panel_services.h"
#include "src/model/state.h"

namespace ovi::efs {

namespace {

model::State& M() { return model::model_state; }

constexpr std::array<double, 9> kEhsiRanges = {0.5, 1, 2.5, 5, 12.5, 25, 40, 80, 160};
constexpr std::array<double, 5> kTcasRanges = {2, 5, 10, 20, 40};
constexpr std::int32_t kTcasOnlyMode = 8;

// One rung along the ladder by exact comparison; past either end, or from a
// value off the ladder, the far end.
void StepRange(std::span<const double> ladder, double& range, int delta) {
  for (std::size_t i = 0; i < ladder.size(); ++i) {
    if (ladder[i] != range) continue;
    if (delta > 0 && i + 1 < ladder.size()) {
      range = ladder[i + 1];
      return;
    }
    if (delta < 0 && i > 0) {
      range = ladder[i - 1];
      return;
    }
    break;
  }
  range = delta > 0 ? ladder.front() : ladder.back();
}

void StepEfs50Range(int delta) {
  if (M().EFS50HsiMode == kTcasOnlyMode) {
    StepRange(kTcasRanges, M().Efs50TcasRange, delta);
  } else {
    StepRange(kEhsiRanges, M().Efs50EhsiRange, delta);
  }
}

void CyclePointerSource(std::int32_t& source) { source = source < 3 ? source + 1 : 0; }

// The panel loads what the displays load, takes "VC2" as an aircraft name,
// and only runs the per-tick update at pre-draw.
constexpr host::GaugeForm PanelForm(const char* log_line) {
  host::GaugeForm f;
  f.log_line = log_line;
  f.pre_install = false;
  f.aircraft_name = host::AircraftNameRule::kResetVcWn;
  f.pre_draw = guidance::UpdateAvionicsState;
  return f;
}

constexpr host::GaugeForm kPanelForm = PanelForm("efs50_ehsi_cntr_callback \n");
constexpr host::GaugeForm kPanelLmForm = PanelForm("efs50_ehsi_cntr_lm_callback \n");

constexpr PIXSIZE kPanelSize = {500, 169};
constexpr std::uint32_t kKnobFlags = MOUSE_LEFTSINGLE_REPEAT;

ELEMENT_HEADER panel_background = {
    .element_type = ELEMENT_TYPE_STATIC_IMAGE, .resource_id = kEfs50PanelBitmap, .image_size = kPanelSize,
    .image_flags = 0x0,
};
ELEMENT_HEADER* panel_elements[] = {&panel_background, nullptr};
ELEMENT_HEADER panel_lm_background = {
    .element_type = ELEMENT_TYPE_STATIC_IMAGE, .resource_id = kEfs50PanelBitmap, .image_size = kPanelSize,
    .image_flags = IMAGE_LUMINOUS,
};
ELEMENT_HEADER* panel_lm_elements[] = {&panel_lm_background, nullptr};

// Knob halves repeat while held; buttons take single clicks.
MOUSERECT panel_mouse[] = {
    {MOUSE_RECT_PARENT, {0, 0}, kPanelSize, CURSOR_NONE, 0, nullptr},
    {MOUSE_RECT_CHILD, {54, 100}, {27, 55}, CURSOR_DOWNARROW, kKnobFlags, Efs50CourseDecKey},
    {MOUSE_RECT_CHILD, {81, 100}, {27, 55}, CURSOR_UPARROW, kKnobFlags, Efs50CourseIncKey},
    {MOUSE_RECT_CHILD, {60, 18}, {18, 40}, CURSOR_UPARROW, kKnobFlags, Efs50DhIncKey},
    {MOUSE_RECT_CHILD, {78, 18}, {18, 40}, CURSOR_DOWNARROW, kKnobFlags, Efs50DhDecKey},
    {MOUSE_RECT_CHILD, {135, 46}, {45, 30}, CURSOR_HAND, MOUSE_LEFTSINGLE, Efs50HsiKey},
    {MOUSE_RECT_CHILD, {198, 46}, {45, 30}, CURSOR_HAND, MOUSE_LEFTSINGLE, Efs50ArcKey},
    {MOUSE_RECT_CHILD, {260, 46}, {45, 30}, CURSOR_HAND, MOUSE_LEFTSINGLE, Efs50NavKey},
    {MOUSE_RECT_CHILD, {324, 46}, {45, 30}, CURSOR_HAND, MOUSE_LEFTSINGLE, Efs50RangeUpKey},
    {MOUSE_RECT_CHILD, {135, 83}, {45, 30}, CURSOR_HAND, MOUSE_LEFTSINGLE, Efs50Pointer1Key},
    {MOUSE_RECT_CHILD, {198, 83}, {45, 30}, CURSOR_HAND, MOUSE_LEFTSINGLE, Efs50Pointer2Key},
    {MOUSE_RECT_CHILD, {260, 83}, {45, 30}, CURSOR_HAND, MOUSE_LEFTSINGLE, Efs50TcasKey},
    {MOUSE_RECT_CHILD, {324, 83}, {45, 30}, CURSOR_HAND, MOUSE_LEFTSINGLE, Efs50RangeDownKey},
    {MOUSE_RECT_CHILD, {198, 120}, {45, 30}, CURSOR_HAND, MOUSE_LEFTSINGLE, Efs50LnavKey},
    {MOUSE_RECT_CHILD, {260, 120}, {45, 30}, CURSOR_HAND, MOUSE_LEFTSINGLE, Efs50BdryKey},
    {MOUSE_RECT_CHILD, {384, 106}, {27, 54}, CURSOR_DOWNARROW, kKnobFlags, Efs50HeadingDecKey},
    {MOUSE_RECT_CHILD, {411, 106}, {27, 54}, CURSOR_UPARROW, kKnobFlags, Efs50HeadingIncKey},
    {MOUSE_RECT_END_PARENT, {0, 0}, {0, 0}, CURSOR_NONE, 0, nullptr},
    {MOUSE_RECT_EOL, {0, 0}, {0, 0}, CURSOR_NONE, 0, nullptr},
};

}  // namespace

std::int32_t Efs50CourseDecKey(PIXPOINT* /*relative*/, std::uint32_t /*flags*/) {
  host::SendEfisKeyEventDown();
  return 0;
}
std::int32_t Efs50CourseIncKey(PIXPOINT* /*relative*/, std::uint32_t /*flags*/) {
  host::SendEfisKeyEventUp();
  return 0;
}
std::int32_t Efs50DhIncKey(PIXPOINT* /*relative*/, std::uint32_t /*flags*/) {
  host::SendBoundedIncrementKey();
  return 0;
}
std::int32_t Efs50DhDecKey(PIXPOINT* /*relative*/, std::uint32_t /*flags*/) {
  host::SendBoundedDecrementKey();
  return 0;
}
std::int32_t Efs50HsiKey(PIXPOINT* /*relative*/, std::uint32_t /*flags*/) {
  std::int32_t& mode = M().EFS50HsiMode;
  mode = mode < 3 ? mode + 1 : 1;
  return 0;
}
std::int32_t Efs50ArcKey(PIXPOINT* /*relative*/, std::uint32_t /*flags*/) {
  std::int32_t& mode = M().EFS50HsiMode;
  mode = mode >= 4 && mode <= 6 ? mode + 1 : 4;
  return 0;
}
std::int32_t Efs50NavKey(PIXPOINT* /*relative*/, std::uint32_t /*flags*/) {
  std::int32_t& mode = M().EFS50NavMode;
  mode = mode == 1 ? 2 : 1;
  return 0;
}
std::int32_t Efs50RangeUpKey(PIXPOINT* /*relative*/, std::uint32_t /*flags*/) {
  StepEfs50Range(+1);
  return 0;
}
std::int32_t Efs50RangeDownKey(PIXPOINT* /*relative*/, std::uint32_t /*flags*/) {
  StepEfs50Range(-1);
  return 0;
}
std::int32_t Efs50Pointer1Key(PIXPOINT* /*relative*/, std::uint32_t /*flags*/) {
  CyclePointerSource(M().Efs50BearingPointer1Source);
  return 0;
}
std::int32_t Efs50Pointer2Key(PIXPOINT* /*relative*/, std::uint32_t /*flags*/) {
  CyclePointerSource(M().Efs50BearingPointer2Source);
  return 0;
}
std::int32_t Efs50TcasKey(PIXPOINT* /*relative*/, std::uint32_t /*flags*/) {
  host::ToggleNdTcas();
  return 0;
}
std::int32_t Efs50LnavKey(PIXPOINT* /*relative*/, std::uint32_t /*flags*/) {
  guidance::ToggleLnav();
  return 0;
}
std::int32_t Efs50BdryKey(PIXPOINT* /*relative*/, std::uint32_t /*flags*/) {
  host::ToggleNdBoundaries();
  return 0;
}
std::int32_t Efs50HeadingDecKey(PIXPOINT* /*relative*/, std::uint32_t /*flags*/) {
  host::SendKeyEvent(kEventHeadingSelectDown, 0);
  return 0;
}
std::int32_t Efs50HeadingIncKey(PIXPOINT* /*relative*/, std::uint32_t /*flags*/) {
  host::SendKeyEvent(kEventHeadingSelectUp, 0);
  return 0;
}

void efs50_ehsi_cntr_callback(GAUGEHDR* gauge, std::int32_t service, std::uint32_t /*extra*/) {
  host::RunGaugeCallback(kPanelForm, gauge, service);
}
void efs50_ehsi_cntr_lm_callback(GAUGEHDR* gauge, std::int32_t service, std::uint32_t /*extra*/) {
  host::RunGaugeCallback(kPanelLmForm, gauge, service);
}

GAUGEHDR efs50_ehsi_cntr_gauge = {
    GAUGE_HEADER_VERSION, "EFS50_EHSI_CNTR", panel_elements, efs50_ehsi_cntr_callback, 0, "", panel_mouse,
    kPanelSize, nullptr,
};
GAUGEHDR efs50_ehsi_cntr_lm_gauge = {
    GAUGE_HEADER_VERSION, "EFS50_EHSI_CNTR_LM", panel_lm_elements, efs50_ehsi_cntr_lm_callback, 0, "", panel_mouse,
    kPanelSize, nullptr,
};

}  // namespace ovi::efs
