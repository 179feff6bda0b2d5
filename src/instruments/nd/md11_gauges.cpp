// Gauge headers, elements, mouse rectangles and callbacks of the MD-11
// navigation display, its EFIS control panel and the A300 EFIS control
// panel (which sets the DU-1000 EHSI's family). Every callback is a form of
// the module's one gauge skeleton.
#include "src/display/display_gauge.h"
#include "src/guidance/avionics_update.h"
#include "src/host/display_commands.h"
#include "src/host/gauge_skeleton.h"
#include "src/host/icon_chain.h"
#include "src/host/panel_services.h"
#include "src/host/traffic_link.h"
#include "src/instruments/nd/gauges.h"
#include "src/instruments/nd/md11_nd.h"
#include "src/instruments/nd/state.h"
#include "src/model/state.h"

namespace ovi::nd {

namespace {

model::State& M() { return model::model_state; }

// --- MD-11 navigation display -------------------------------------------------

void DrawMd11Nd(GAUGEHDR* /*gauge*/, ELEMENT_HEADER* element, int variant) {
  DrawMd11NavigationDisplay(nd_state.Md11NdDisplay, element->image.dc, &element->image.size, variant);
}

// The radius follows the mode an aircraft file starts in, as a mode key
// would set it: a configured PLAN draws its map inside PLAN's rings.
void RadiusFromConfiguredMode(GAUGEHDR* /*gauge*/) {
  nd_state.Md11NdMapRadius = Md11MapRadiusForMode(M().HWMD11NDMode, nd_state.Md11NdMapRadius);
}

constexpr host::GaugeForm Md11NdForm(const char* log_line) {
  host::GaugeForm f = display::DisplayGaugeForm(log_line, host::HookTrafficProvider, host::DisplayForm::kB,
                                                kMd11NdWindow, host::DrawElement::kFirstChild, DrawMd11Nd);
  f.after_loads = RadiusFromConfiguredMode;
  return f;
}

constexpr host::GaugeForm kMd11NdForm = Md11NdForm("hw_md11_nd_callback \n");
constexpr host::GaugeForm kMd11NdNbForm = Md11NdForm("hw_md11_nd_nb_callback \n");

constexpr PIXSIZE kScreenSize = {246, 241};
constexpr PIXSIZE kBezelSize = {291, 319};

OVI_DISPLAY_ELEMENTS(md11_nd, kMd11NdBezelBitmap, kBezelSize, 0, kMd11NdScreenBitmap, kScreenSize, 20, 28)
OVI_DISPLAY_ELEMENTS(md11_nd_nb, kMd11NdScreenBitmap, kScreenSize, 0x1, kMd11NdScreenBitmap, kScreenSize, 0, 0)
OVI_DISPLAY_WINDOW_KEY(md11_nd, 75, 100, 100, kMd11NdWindow)
OVI_DISPLAY_WINDOW_KEY(md11_nd_nb, 75, 100, 100, kMd11NdWindow)

// --- The control panels -----------------------------------------------------------

// Both panels load what the displays load, take "VC2" as an aircraft name
// and draw nothing of their own.
constexpr host::GaugeForm PanelForm(const char* log_line, void (*pre_update)(GAUGEHDR*), void (*pre_draw)()) {
  host::GaugeForm f;
  f.log_line = log_line;
  f.pre_install = false;
  f.aircraft_name = host::AircraftNameRule::kResetVcWn;
  f.pre_update = pre_update;
  f.pre_draw = pre_draw;
  return f;
}

// The A300 panel refreshes its pictures at pre-update and at pre-draw, so
// that they follow switches another panel flips; it runs no update.
void A300PreDraw() { ShowA300Pictures(host::FirstElement(&a300_efis_ctrl_gauge)); }
void A300PreUpdate(GAUGEHDR* gauge) { ShowA300Pictures(host::FirstElement(gauge)); }

constexpr host::GaugeForm kMd11PanelForm =
    PanelForm("md11_efis_cntr_callback \n", nullptr, guidance::UpdateAvionicsState);
constexpr host::GaugeForm kA300PanelForm = PanelForm("a300_ehsi_ctrl_callback\n", A300PreUpdate, A300PreDraw);

constexpr PIXSIZE kMd11PanelSize = {311, 182};
ELEMENT_HEADER md11_panel_background = {
    .element_type = ELEMENT_TYPE_STATIC_IMAGE, .resource_id = kMd11EfisPanelBitmap, .image_size = kMd11PanelSize,
};
ELEMENT_HEADER* md11_panel_elements[] = {&md11_panel_background, nullptr};

// Each key a parent with one child of its size.
#define OVI_PANEL_KEY(X, Y, W, H, HANDLER)                                          \
  {MOUSE_RECT_PARENT, {X, Y}, {W, H}, CURSOR_NONE, 0, nullptr},                     \
      {MOUSE_RECT_CHILD, {0, 0}, {W, H}, CURSOR_HAND, MOUSE_LEFTSINGLE, HANDLER},   \
      {MOUSE_RECT_END_PARENT, {0, 0}, {0, 0}, CURSOR_NONE, 0, nullptr}
// A knob: a parent with a half on each side, down on the left.
#define OVI_PANEL_KNOB(X, Y, W, H, HALF, FLAGS, DOWN, UP)                                  \
  {MOUSE_RECT_PARENT, {X, Y}, {W, H}, CURSOR_NONE, 0, nullptr},                            \
      {MOUSE_RECT_CHILD, {0, 0}, {HALF, H}, CURSOR_DOWNARROW, FLAGS, DOWN},                \
      {MOUSE_RECT_CHILD, {HALF + 1, 0}, {HALF, H}, CURSOR_UPARROW, FLAGS, UP},             \
      {MOUSE_RECT_END_PARENT, {0, 0}, {0, 0}, CURSOR_NONE, 0, nullptr}

MOUSERECT md11_panel_mouse[] = {
    OVI_PANEL_KEY(96, 6, 34, 23, host::KeyHandler<host::ToggleNdBoundaries>),
    OVI_PANEL_KEY(96, 39, 34, 23, Md11SpareKey),
    OVI_PANEL_KEY(96, 71, 34, 23, host::KeyHandler<host::ToggleNdIntersections>),
    OVI_PANEL_KEY(96, 104, 34, 23, host::KeyHandler<host::ToggleNdNavaids>),
    OVI_PANEL_KEY(96, 138, 34, 23, host::KeyHandler<host::ToggleNdAirports>),
    OVI_PANEL_KEY(155, 22, 34, 23, SelectMd11NdMapMode),
    OVI_PANEL_KEY(155, 60, 34, 23, SelectMd11NdPlanMode),
    OVI_PANEL_KEY(210, 22, 34, 23, SelectMd11NdVorMode),
    OVI_PANEL_KEY(210, 60, 34, 23, SelectMd11NdApprMode),
    OVI_PANEL_KEY(263, 22, 34, 23, host::KeyHandler<host::ToggleNdTcas>),
    OVI_PANEL_KEY(150, 105, 34, 23, ToggleMd11NdVor1Pointer),
    OVI_PANEL_KEY(150, 138, 34, 23, ToggleMd11NdAdf1Pointer),
    OVI_PANEL_KEY(191, 105, 34, 23, host::KeyHandler<host::IncrementNdRange>),
    OVI_PANEL_KEY(191, 138, 34, 23, host::KeyHandler<host::DecrementNdRange>),
    OVI_PANEL_KEY(232, 105, 34, 23, ToggleMd11NdVor2Pointer),
    {MOUSE_RECT_EOL, {0, 0}, {0, 0}, CURSOR_NONE, 0, nullptr},
};

constexpr PIXSIZE kA300PanelSize = {373, 312};
constexpr PIXSIZE kKnobPicture = {66, 66};
constexpr PIXSIZE kKeyPicture = {56, 36};
// The lit TCAS key: the module's own picture, drawn over the key.
constexpr PIXSIZE kTcasPicture = {49, 31};
constexpr host::Icon kA300Icons[kA300Pictures] = {
    {10018, {253, 153}, kKnobPicture}, {10020, {253, 153}, kKnobPicture}, {10024, {253, 153}, kKnobPicture},
    {10032, {253, 153}, kKnobPicture}, {10054, {56, 153}, kKnobPicture},  {10050, {56, 153}, kKnobPicture},
    {10052, {56, 153}, kKnobPicture},  {10036, {95, 231}, kKeyPicture},   {10038, {159, 231}, kKeyPicture},
    {10040, {222, 231}, kKeyPicture},  {10048, {285, 232}, kKeyPicture},  {10070, {24, 95}, kTcasPicture},
};
host::IconChain<kA300Pictures> a300_panel_elements(kA300EfisPanelBitmap, kA300PanelSize, kA300Icons);

std::int32_t DecrementA300EhsiMode(PIXPOINT*, std::uint32_t) {
  host::DecrementNdMode(host::kDisplayDu1000);
  return 0;
}
std::int32_t IncrementA300EhsiMode(PIXPOINT*, std::uint32_t) {
  host::IncrementNdMode(host::kDisplayDu1000);
  return 0;
}

MOUSERECT a300_panel_mouse[] = {
    OVI_PANEL_KNOB(53, 145, 76, 76, 38, MOUSE_LEFTSINGLE, DecrementA300EhsiMode, IncrementA300EhsiMode),
    OVI_PANEL_KNOB(240, 145, 76, 76, 38, MOUSE_LEFTSINGLE, host::KeyHandler<host::DecrementNdRange>,
                   host::KeyHandler<host::IncrementNdRange>),
    OVI_PANEL_KEY(94, 232, 55, 37, host::KeyHandler<host::ToggleNdIntersections>),
    OVI_PANEL_KEY(158, 232, 55, 37, host::KeyHandler<host::ToggleNdNavaids>),
    OVI_PANEL_KEY(221, 232, 55, 37, ToggleDu1000ShowAux),
    OVI_PANEL_KEY(284, 232, 55, 37, host::KeyHandler<host::ToggleNdAirports>),
    OVI_PANEL_KEY(21, 92, 55, 37, host::KeyHandler<host::ToggleNdTcas>),
    OVI_PANEL_KNOB(285, 48, 54, 54, 27, MOUSE_LEFTSINGLE_REPEAT, host::KeyHandler<host::SendEfisKeyEventDown>,
                   host::KeyHandler<host::SendEfisKeyEventUp>),
    {MOUSE_RECT_EOL, {0, 0}, {0, 0}, CURSOR_NONE, 0, nullptr},
};
#undef OVI_PANEL_KEY
#undef OVI_PANEL_KNOB

std::int32_t Flipped(std::int32_t value) { return value == 0 ? 1 : 0; }

}  // namespace

// --- Handlers ----------------------------------------------------------------------

std::int32_t Md11SpareKey(PIXPOINT*, std::uint32_t) { return 0; }

namespace {
std::int32_t SelectMode(int mode) {
  M().HWMD11NDMode = mode;
  nd_state.Md11NdMapRadius = Md11MapRadiusForMode(mode, nd_state.Md11NdMapRadius);
  return 0;
}
}  // namespace

std::int32_t SelectMd11NdMapMode(PIXPOINT*, std::uint32_t) { return SelectMode(kMd11NdModeMap); }
std::int32_t SelectMd11NdPlanMode(PIXPOINT*, std::uint32_t) { return SelectMode(kMd11NdModePlan); }
std::int32_t SelectMd11NdVorMode(PIXPOINT*, std::uint32_t) { return SelectMode(kMd11NdModeVor); }
std::int32_t SelectMd11NdApprMode(PIXPOINT*, std::uint32_t) { return SelectMode(kMd11NdModeAppr); }

std::int32_t ToggleMd11NdVor1Pointer(PIXPOINT*, std::uint32_t) {
  State& s = nd_state;
  if (s.Md11NdShowVor1Pointer == 0) {
    s.Md11NdShowVor1Pointer = 1;
    s.Md11NdShowAdf1Pointer = 0;
  } else {
    s.Md11NdShowVor1Pointer = 0;
  }
  return 0;
}

std::int32_t ToggleMd11NdAdf1Pointer(PIXPOINT*, std::uint32_t) {
  State& s = nd_state;
  if (s.Md11NdShowAdf1Pointer == 0) {
    s.Md11NdShowAdf1Pointer = 1;
    s.Md11NdShowVor1Pointer = 0;
  } else {
    s.Md11NdShowAdf1Pointer = 0;
  }
  return 0;
}

std::int32_t ToggleMd11NdVor2Pointer(PIXPOINT*, std::uint32_t) {
  nd_state.Md11NdShowVor2Pointer = Flipped(nd_state.Md11NdShowVor2Pointer);
  return 0;
}

std::int32_t ToggleDu1000ShowAux(PIXPOINT*, std::uint32_t) {
  M().Du1000ShowAux = Flipped(M().Du1000ShowAux);
  return 0;
}

bool A300PictureShown(int picture) {
  const model::State& m = M();
  const double range = m.Du1000EhsiRange;
  switch (picture) {
    case 1: return range <= 15.0;
    case 2: return range == 30.0;
    case 3: return range == 120.0;
    case 4: return range == 240.0;
    case 5: return m.DU1000EHSIMode == 0;
    case 6: return m.DU1000EHSIMode == 1;
    case 7: return m.DU1000EHSIMode == 2;
    case 8: return m.Du1000ShowIntersections == 1;
    case 9: return m.Du1000ShowNavaids == 1;
    case 10: return m.Du1000ShowAux == 1;
    case 11: return m.Du1000ShowAirports == 1;
    case 12: return m.NdShowTraffic == 1;
    default: return false;
  }
}

void ShowA300Pictures(ELEMENT_HEADER* background) {
  for (int n = 1; n <= kA300Pictures; ++n) {
    if (A300PictureShown(n)) {
      host::ClearGaugeElementFlags(background, n, IMAGE_HIDDEN);
    } else {
      host::SetGaugeElementFlags(background, n, IMAGE_HIDDEN);
    }
  }
}

// --- Callbacks and headers ------------------------------------------------------

void hw_md11_nd_callback(GAUGEHDR* gauge, std::int32_t service, std::uint32_t /*extra*/) {
  host::RunGaugeCallback(kMd11NdForm, gauge, service);
}
void hw_md11_nd_nb_callback(GAUGEHDR* gauge, std::int32_t service, std::uint32_t /*extra*/) {
  host::RunGaugeCallback(kMd11NdNbForm, gauge, service);
}
void md11_efis_cntr_callback(GAUGEHDR* gauge, std::int32_t service, std::uint32_t /*extra*/) {
  host::RunGaugeCallback(kMd11PanelForm, gauge, service);
}
void a300_ehsi_ctrl_callback(GAUGEHDR* gauge, std::int32_t service, std::uint32_t /*extra*/) {
  host::RunGaugeCallback(kA300PanelForm, gauge, service);
}

GAUGEHDR hw_md11_nd_gauge = {
    GAUGE_HEADER_VERSION, "HW_MD11_ND", md11_nd_elements, hw_md11_nd_callback, 0, "", md11_nd_mouse, kBezelSize,
    nullptr,
};
GAUGEHDR hw_md11_nd_nb_gauge = {
    GAUGE_HEADER_VERSION, "HW_MD11_ND_NB", md11_nd_nb_elements, hw_md11_nd_nb_callback, 0, "", md11_nd_nb_mouse,
    kScreenSize, nullptr,
};
GAUGEHDR md11_efis_ctrl_gauge = {
    GAUGE_HEADER_VERSION, "MD11_EFIS_CTRL", md11_panel_elements, md11_efis_cntr_callback, 0, "", md11_panel_mouse,
    kMd11PanelSize, nullptr,
};
GAUGEHDR a300_efis_ctrl_gauge = {
    GAUGE_HEADER_VERSION, "A300_EFIS_CTRL", a300_panel_elements.list, a300_ehsi_ctrl_callback, 0, "",
    a300_panel_mouse, kA300PanelSize, nullptr,
};

}  // namespace ovi::nd
