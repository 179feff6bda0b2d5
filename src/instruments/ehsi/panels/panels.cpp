// The EHSI control panels' gauges: elements, lamps, key rectangles and
// callbacks (forms of the one gauge skeleton).
#include "src/instruments/ehsi/panels/panels.h"

#include <cstddef>
#include <span>

#include "src/host/display_commands.h"
#include "src/host/gauge_skeleton.h"
#include "src/host/icon_chain.h"
#include "src/host/panel_services.h"
#include "src/model/state.h"

namespace ovi::ehsi {

void StepBearingPointerSource(std::int32_t& source) {
  if (source >= 0 && source <= 3) source = (source + 1) % 4;
}

namespace {

model::State& M() { return model::model_state; }

// --- Keys ----------------------------------------------------------------------------

using host::KeyHandler;

// A layer switch of the panel's own: 0 -> 1, anything else -> 0, as the
// shared commands flip theirs.
void Flip(std::int32_t& flag) { flag = flag == 0 ? 1 : 0; }
void FlipProline4Ndbs() { Flip(M().Proline4ShowNdbs); }
void FlipMd80Adf() { Flip(M().Md80EhsiShowAdf); }
void StepPointer1() { StepBearingPointerSource(M().Proline4BearingPointer1Source); }
void StepPointer2() { StepBearingPointerSource(M().Proline4BearingPointer2Source); }

// --- Lamps and knob caps ----------------------------------------------------------------

// Element n + 1 of the chain under the panel's background (the background
// is element 0) shows while its switch is 1; an icon without a switch (a
// knob cap) always.
using Switch = std::int32_t model::State::*;

void ShowIcons(GAUGEHDR* gauge, std::span<const Switch> icons) {
  ELEMENT_HEADER* background = host::FirstElement(gauge);
  for (std::size_t i = 0; i < icons.size(); ++i) {
    const auto n = static_cast<std::int32_t>(i + 1);
    if (icons[i] == nullptr || M().*icons[i] == 1) {
      host::ClearGaugeElementFlags(background, n, IMAGE_HIDDEN);
    } else {
      host::SetGaugeElementFlags(background, n, IMAGE_HIDDEN);
    }
  }
}

constexpr Switch kProline4AuxLampSwitches[] = {&model::State::NdShowTraffic,    &model::State::Proline4ShowIntersections,
                                        &model::State::Proline4ShowVors, &model::State::Proline4ShowNdbs,
                                        &model::State::Proline4ShowAirports, &model::State::ShowAtcBoundaries};
// The three knob caps, then the layer lamps. The boundary lamp follows
// Md80EhsiShowBoundaries, which only the shared boundary command sets: the
// BDRY button's own toggle turns the boundaries on or off and leaves this
// lamp as it was, as the MD-80 panel has always shown it.
constexpr Switch kMd80IconSwitches[] = {nullptr,
                                 nullptr,
                                 nullptr,
                                 &model::State::Md80EhsiShowNavaids,
                                 &model::State::Md80EhsiShowAirports,
                                 &model::State::Md80EhsiShowBoundaries,
                                 &model::State::Md80EhsiShowIntersections,
                                 &model::State::NdShowTraffic};

void ShowProline4AuxLamps(GAUGEHDR* gauge) { ShowIcons(gauge, kProline4AuxLampSwitches); }
void ShowMd80Icons(GAUGEHDR* gauge) { ShowIcons(gauge, kMd80IconSwitches); }

// --- Forms ------------------------------------------------------------------------------

// The mode and range panel only fills the simulator folder at pre-install.
constexpr host::GaugeForm Proline4CtrlForm() {
  host::GaugeForm f;
  f.log_line = "proline4_mfd_cntr_callback \n";
  f.pre_initialise = false;
  return f;
}

// The layer keys fill the folder at pre-install and pre-initialise (no
// loads) and show their lamps at pre-update.
constexpr host::GaugeForm Proline4AuxForm() {
  host::GaugeForm f;
  f.log_line = "proline4_mfd_displ_callback \n";
  f.load_configuration = false;
  f.load_nav_database = false;
  f.aircraft_name = host::AircraftNameRule::kNeverTake;
  f.scan_flight_plans = false;
  f.pre_update = ShowProline4AuxLamps;
  return f;
}

// The MD-80 panel does the display gauges' one-time loads ("VC", "VC2" and
// "WN" name no aircraft) and shows its icons at pre-update; its log line
// has no blank before the newline.
constexpr host::GaugeForm Md80CtrlForm() {
  host::GaugeForm f;
  f.log_line = "md80_ehsi_ctrl_callback\n";
  f.pre_install = false;
  f.aircraft_name = host::AircraftNameRule::kResetVcVc2Wn;
  f.pre_update = ShowMd80Icons;
  return f;
}

constexpr host::GaugeForm kProline4CtrlForm = Proline4CtrlForm();
constexpr host::GaugeForm kProline4AuxForm = Proline4AuxForm();
constexpr host::GaugeForm kMd80CtrlForm = Md80CtrlForm();

// --- Elements ---------------------------------------------------------------------------

constexpr PIXSIZE kProline4CtrlSize = {311, 97};
constexpr PIXSIZE kProline4AuxSize = {313, 93};
constexpr PIXSIZE kMd80CtrlSize = {392, 214};
constexpr PIXSIZE kLampSize = {25, 10};
constexpr PIXSIZE kKnobCapSize = {36, 36};
using host::Icon;
using host::IconChain;

constexpr Icon kProline4AuxIcons[] = {
    {kLampBitmap, {32, 35}, kLampSize},  {kLampBitmap, {77, 35}, kLampSize},  {kLampBitmap, {121, 35}, kLampSize},
    {kLampBitmap, {165, 35}, kLampSize}, {kLampBitmap, {210, 35}, kLampSize}, {kLampBitmap, {254, 35}, kLampSize},
};
constexpr Icon kMd80Icons[] = {
    {kKnobCapBitmap, {50, 56}, kKnobCapSize},  {kKnobCapBitmap, {169, 53}, kKnobCapSize},
    {kKnobCapBitmap, {298, 54}, kKnobCapSize}, {kLampBitmap, {50, 167}, kLampSize},
    {kLampBitmap, {109, 167}, kLampSize},      {kLampBitmap, {166, 167}, kLampSize},
    {kLampBitmap, {227, 167}, kLampSize},      {kLampBitmap, {276, 167}, kLampSize},
};

ELEMENT_HEADER proline4_ctrl_background = {
    .element_type = ELEMENT_TYPE_STATIC_IMAGE, .resource_id = kProline4CtrlBitmap, .image_size = kProline4CtrlSize};
ELEMENT_HEADER* proline4_ctrl_elements[] = {&proline4_ctrl_background, nullptr};
IconChain<6> proline4_aux_elements(kProline4AuxBitmap, kProline4AuxSize, kProline4AuxIcons);
IconChain<8> md80_ctrl_elements(kMd80CtrlBitmap, kMd80CtrlSize, kMd80Icons);

// --- Mouse rectangles ----------------------------------------------------------------------

#define OVI_PARENT(X, Y, W, H) {MOUSE_RECT_PARENT, {X, Y}, {W, H}, CURSOR_NONE, 0, nullptr}
#define OVI_CHILD(X, Y, W, H, CURSOR, HANDLER) {MOUSE_RECT_CHILD, {X, Y}, {W, H}, CURSOR, MOUSE_LEFTSINGLE, HANDLER}
#define OVI_END_PARENT {MOUSE_RECT_END_PARENT, {0, 0}, {0, 0}, CURSOR_NONE, 0, nullptr}
#define OVI_EOL {MOUSE_RECT_EOL, {0, 0}, {0, 0}, CURSOR_NONE, 0, nullptr}
// A key: one child filling its parent, hand cursor.
#define OVI_KEY(X, Y, W, H, HANDLER) OVI_PARENT(X, Y, W, H), OVI_CHILD(0, 0, W, H, CURSOR_HAND, HANDLER), OVI_END_PARENT

// The range knob sits inside the mode knob, concentric. The host gives a
// click to the first rectangle holding it, so the inner knob comes first:
// a click on it steps the range, one on the ring around it the mode.
MOUSERECT proline4_ctrl_mouse[] = {
    OVI_PARENT(137, 13, 34, 46),
    OVI_CHILD(0, 0, 17, 46, CURSOR_DOWNARROW, (KeyHandler<host::DecrementNdRange>)),
    OVI_CHILD(17, 0, 17, 46, CURSOR_UPARROW, (KeyHandler<host::IncrementNdRange>)),
    OVI_END_PARENT,
    OVI_PARENT(120, 13, 68, 46),
    OVI_CHILD(0, 0, 34, 46, CURSOR_DOWNARROW, (KeyHandler<host::DecrementNdMode, host::kDisplayProline4>)),
    OVI_CHILD(35, 0, 34, 46, CURSOR_UPARROW, (KeyHandler<host::IncrementNdMode, host::kDisplayProline4>)),
    OVI_END_PARENT,
    OVI_KEY(177, 55, 26, 26, KeyHandler<host::ToggleNdTcas>),
    OVI_KEY(43, 15, 26, 26, KeyHandler<StepPointer1>),
    OVI_KEY(43, 54, 26, 26, KeyHandler<StepPointer2>),
    OVI_EOL,
};

MOUSERECT proline4_aux_mouse[] = {
    OVI_KEY(28, 28, 36, 36, KeyHandler<host::ToggleNdTcas>),
    OVI_KEY(73, 28, 36, 36, KeyHandler<host::ToggleNdIntersections>),
    OVI_KEY(116, 28, 36, 36, KeyHandler<host::ToggleNdNavaids>),
    OVI_KEY(161, 28, 36, 36, KeyHandler<FlipProline4Ndbs>),
    OVI_KEY(205, 28, 36, 36, KeyHandler<host::ToggleNdAirports>),
    OVI_KEY(250, 28, 36, 36, KeyHandler<host::ToggleNdBoundaries>),
    OVI_EOL,
};

MOUSERECT md80_ctrl_mouse[] = {
    OVI_PARENT(43, 48, 56, 56),
    OVI_CHILD(0, 0, 28, 56, CURSOR_DOWNARROW, (KeyHandler<host::DecrementNdMode, host::kDisplayMd80>)),
    OVI_CHILD(29, 0, 28, 56, CURSOR_UPARROW, (KeyHandler<host::IncrementNdMode, host::kDisplayMd80>)),
    OVI_END_PARENT,
    OVI_KEY(166, 48, 44, 54, KeyHandler<FlipMd80Adf>),
    OVI_PARENT(291, 48, 56, 56),
    OVI_CHILD(0, 0, 28, 56, CURSOR_DOWNARROW, (KeyHandler<host::DecrementNdRange>)),
    OVI_CHILD(29, 0, 28, 56, CURSOR_UPARROW, (KeyHandler<host::IncrementNdRange>)),
    OVI_END_PARENT,
    OVI_KEY(40, 150, 52, 34, KeyHandler<host::ToggleNdNavaids>),
    OVI_KEY(97, 150, 52, 34, KeyHandler<host::ToggleNdAirports>),
    OVI_KEY(155, 150, 52, 34, KeyHandler<host::ToggleNdBoundaries>),
    OVI_KEY(215, 150, 52, 34, KeyHandler<host::ToggleNdIntersections>),
    OVI_KEY(264, 150, 52, 34, KeyHandler<host::ToggleNdTcas>),
    OVI_EOL,
};

#undef OVI_KEY
#undef OVI_EOL
#undef OVI_END_PARENT
#undef OVI_CHILD
#undef OVI_PARENT

constexpr PIXSIZE kDesignSize = {312, 0};

}  // namespace

void proline4_mfd_cntr_callback(GAUGEHDR* gauge, std::int32_t service, std::uint32_t /*extra*/) {
  host::RunGaugeCallback(kProline4CtrlForm, gauge, service);
}
void proline4_mfd_displ_callback(GAUGEHDR* gauge, std::int32_t service, std::uint32_t /*extra*/) {
  host::RunGaugeCallback(kProline4AuxForm, gauge, service);
}
void md80_ehsi_ctrl_callback(GAUGEHDR* gauge, std::int32_t service, std::uint32_t /*extra*/) {
  host::RunGaugeCallback(kMd80CtrlForm, gauge, service);
}

GAUGEHDR proline4_mfd_ctrl_gauge = {
    GAUGE_HEADER_VERSION, "PROLINE4_MFD_CTRL", proline4_ctrl_elements, proline4_mfd_cntr_callback, 0, "",
    proline4_ctrl_mouse,  kDesignSize,         nullptr,
};
GAUGEHDR proline4_aux_ctrl_gauge = {
    GAUGE_HEADER_VERSION, "PROLINE4_AUX_CTRL", proline4_aux_elements.list, proline4_mfd_displ_callback, 0, "",
    proline4_aux_mouse,   kDesignSize,         nullptr,
};
GAUGEHDR md80_ehsi_ctrl_gauge = {
    GAUGE_HEADER_VERSION, "MD80_EHSI_CTRL", md80_ctrl_elements.list, md80_ehsi_ctrl_callback, 0, "",
    md80_ctrl_mouse,      kDesignSize,      nullptr,
};

}  // namespace ovi::ehsi
