// Gauge headers, elements, window keys and callbacks of the display gauges
// of the EFS 50, the B777 PFD, the A320 EADI and the P1000 MFD. Every
// callback is a form of the module's one gauge skeleton; what differs
// between the nine is a row of data.
#include "src/instruments/efs/display_gauges.h"

#include <array>
#include <cmath>

#include "src/display/display_gauge.h"
#include "src/guidance/state.h"
#include "src/host/panel_services.h"
#include "src/host/traffic_link.h"
#include "src/instruments/efs/a320/a320_eadi.h"
#include "src/instruments/efs/b777/b777_pfd.h"
#include "src/instruments/efs/efs50/eadi.h"
#include "src/instruments/efs/efs50/efs50.h"
#include "src/instruments/efs/state.h"
#include "src/instruments/mfd/p1000/gauges.h"
#include "src/instruments/mfd/p1000/p1000_mfd.h"

namespace ovi::efs {

DisplayDrawEntries display_draw_entries{.efs50_eadi = DrawEfs50Eadi,
                                         .efs50_ehsi = DrawEfs50Ehsi,
                                         .efs50_tcas = DrawEfs50TcasScreen,
                                         .b777_pfd = DrawB777Pfd,
                                         .a320_eadi = DrawA320Eadi,
                                         .p1000_mfd = p1000::DrawP1000Mfd};

namespace {

// --- The instruments and their adapters --------------------------------------

struct Instrument {
  display::GaugeDisplay State::*record;
  DrawEntry DisplayDrawEntries::*entry;
};

constexpr Instrument kEfs50Eadi{&State::Efs50EadiDisplay, &DisplayDrawEntries::efs50_eadi};
constexpr Instrument kEfs50Ehsi{&State::Efs50EhsiDisplay, &DisplayDrawEntries::efs50_ehsi};
constexpr Instrument kEfs50Tcas{&State::Efs50TcasDisplay, &DisplayDrawEntries::efs50_tcas};
constexpr Instrument kB777Pfd{&State::B777PfdDisplay, &DisplayDrawEntries::b777_pfd};
constexpr Instrument kP1000Mfd{&State::P1000MfdDisplay, &DisplayDrawEntries::p1000_mfd};

template <const Instrument& I>
void DrawIntoElement(GAUGEHDR* /*gauge*/, ELEMENT_HEADER* element, int variant) {
  DrawEntry draw = display_draw_entries.*I.entry;
  if (draw != nullptr) draw(efs_state.*I.record, element->image.dc, &element->image.size, variant);
}

void DrawA320IntoElement(GAUGEHDR* /*gauge*/, ELEMENT_HEADER* element, int variant) {
  DrawEntryWithModel draw = display_draw_entries.a320_eadi;
  if (draw != nullptr) draw(efs_state.A320EadiDisplay, element->image.dc, &element->image.size, variant, kA320Model);
}

// --- Forms ------------------------------------------------------------------------

// The P1000 screen repaints only what changed unless asked for a full
// picture; the start-up count ends with it.
void ForceFullRepaint(GAUGEHDR* /*gauge*/) {
  guidance::guidance_state.DisplayRefreshCounter = 999;
  guidance::guidance_state.StartupTickCount = 999;
}

using display::DisplayGaugeForm;
using display::HookTrafficAndStartFlightLog;
using host::DisplayForm;
using host::DrawElement;
using host::HookTrafficProvider;
constexpr void (*kNoPostInstall)(GAUGEHDR*) = nullptr;

constexpr host::GaugeForm P1000Form(const char* log_line, DrawElement element) {
  host::GaugeForm f = DisplayGaugeForm(log_line, HookTrafficProvider, DisplayForm::kD, kP1000MfdWindow, element,
                                       DrawIntoElement<kP1000Mfd>);
  f.after_loads = ForceFullRepaint;
  return f;
}

constexpr host::GaugeForm kEfs50EadiForm =
    DisplayGaugeForm("efs50_eadi_callback \n", kNoPostInstall, DisplayForm::kA, kEfs50EadiWindow,
                     DrawElement::kFirstChild, DrawIntoElement<kEfs50Eadi>);
constexpr host::GaugeForm kEfs50EadiNbForm =
    DisplayGaugeForm("efs50_eadi_nb_callback \n", kNoPostInstall, DisplayForm::kA, kEfs50EadiWindow,
                     DrawElement::kFirstChild, DrawIntoElement<kEfs50Eadi>);
constexpr host::GaugeForm kEfs50EhsiForm =
    DisplayGaugeForm("efs50_ehsi_callback \n", HookTrafficAndStartFlightLog, DisplayForm::kB, kEfs50EhsiWindow,
                     DrawElement::kFirstChild, DrawIntoElement<kEfs50Ehsi>);
constexpr host::GaugeForm kEfs50EhsiNbForm =
    DisplayGaugeForm("efs50_ehsi_nb_callback \n", HookTrafficProvider, DisplayForm::kB, kEfs50EhsiWindow,
                     DrawElement::kFirstChild, DrawIntoElement<kEfs50Ehsi>);
constexpr host::GaugeForm kEfs50TcasForm =
    DisplayGaugeForm("efs50_tcas_callback \n", HookTrafficProvider, DisplayForm::kA, kEfs50TcasWindow,
                     DrawElement::kFirstChild, DrawIntoElement<kEfs50Tcas>);
constexpr host::GaugeForm kB777PfdForm =
    DisplayGaugeForm("FSAPI d100_callback (B777_PFD) \n", kNoPostInstall, DisplayForm::kC, kB777PfdWindow,
                     DrawElement::kFirstChild, DrawIntoElement<kB777Pfd>);
constexpr host::GaugeForm kA320EadiForm =
    DisplayGaugeForm("FSAPI a320_eadi_callback \n", HookTrafficAndStartFlightLog, DisplayForm::kB,
                     kA320EadiWindow, DrawElement::kFirstChild, DrawA320IntoElement);
constexpr host::GaugeForm kP1000MfdForm = P1000Form("p1000_mfd_callback \n", DrawElement::kFirstChild);
constexpr host::GaugeForm kP1000MfdNbForm = P1000Form(nullptr, DrawElement::kFirstElement);

// --- Elements ----------------------------------------------------------------------

constexpr PIXSIZE kEfs50BezelSize = {384, 371};
constexpr PIXSIZE kEfs50ScreenSize = {280, 262};
constexpr PIXSIZE kB777ScreenSize = {247, 294};
constexpr PIXSIZE kA320ScreenSize = {318, 311};
constexpr PIXSIZE kP1000BezelSize = {326, 433};
constexpr PIXSIZE kP1000ScreenSize = {272, 314};

OVI_DISPLAY_ELEMENTS(efs50_eadi_nb, kEfs50ScreenBitmap, kEfs50ScreenSize, 0x1, kEfs50ScreenBitmap, kEfs50ScreenSize,
                     0, 0)
OVI_DISPLAY_ELEMENTS(efs50_ehsi, kEfs50EhsiBezelBitmap, kEfs50BezelSize, 0x0, kEfs50ScreenBitmap, kEfs50ScreenSize,
                     51, 42)
OVI_DISPLAY_ELEMENTS(efs50_ehsi_nb, kEfs50ScreenBitmap, kEfs50ScreenSize, 0x1, kEfs50ScreenBitmap, kEfs50ScreenSize,
                     0, 0)
OVI_DISPLAY_ELEMENTS(efs50_tcas, kEfs50EhsiBezelBitmap, kEfs50BezelSize, 0x1, kEfs50ScreenBitmap, kEfs50ScreenSize,
                     51, 42)
OVI_DISPLAY_ELEMENTS(b777_pfd_nb, kB777PfdScreenBitmap, kB777ScreenSize, 0x1, kB777PfdScreenBitmap, kB777ScreenSize,
                     0, 0)
OVI_DISPLAY_ELEMENTS(a320_eadi_nb, kA320EadiScreenBitmap, kA320ScreenSize, 0x0, kA320EadiScreenBitmap,
                     kA320ScreenSize, 0, 0)
OVI_DISPLAY_ELEMENTS(p1000_mfd, kP1000MfdBezelBitmap, kP1000BezelSize, 0x0, kP1000MfdScreenBitmap, kP1000ScreenSize,
                     28, 33)

// The EFS 50 EADI's screen carries the inclinometer ball on the bezel below
// it: both axes follow token 69, sideways by 0.28 a unit, upwards by the
// ball's rise.
ELEMENT_HEADER efs50_eadi_ball = {
    .element_type = ELEMENT_TYPE_SLIDER, .resource_id = kEfs50BallBitmap, .position = {185, 335},
    .image_size = {14, 18}, .image_flags = 0x3,
    .slider_x = {.token = 69, .scale = 0.28, .callback = nullptr},
    .slider_y = {.token = 69, .scale = -1.0, .callback = Efs50InclinometerBallRise},
};
ELEMENT_HEADER* efs50_eadi_ball_list[] = {&efs50_eadi_ball, nullptr};
ELEMENT_HEADER efs50_eadi_screen = {
    .element_type = ELEMENT_TYPE_STATIC_IMAGE, .resource_id = kEfs50ScreenBitmap, .position = {51, 42},
    .image_size = kEfs50ScreenSize, .image_flags = display::kDisplayScreenFlags, .next_element = efs50_eadi_ball_list,
};
ELEMENT_HEADER* efs50_eadi_screen_list[] = {&efs50_eadi_screen, nullptr};
ELEMENT_HEADER efs50_eadi_root = {
    .element_type = ELEMENT_TYPE_STATIC_IMAGE, .resource_id = kEfs50EadiBezelBitmap, .image_size = kEfs50BezelSize,
    .image_flags = 0x1, .next_element = efs50_eadi_screen_list,
};
ELEMENT_HEADER* efs50_eadi_elements[] = {&efs50_eadi_root, nullptr};

// The P1000 screen standing alone is the drawing element itself.
ELEMENT_HEADER p1000_mfd_nb_screen = {
    .element_type = ELEMENT_TYPE_STATIC_IMAGE, .resource_id = kP1000MfdScreenBitmap, .image_size = kP1000ScreenSize,
    .image_flags = display::kDisplayScreenFlags,
};
ELEMENT_HEADER* p1000_mfd_nb_elements[] = {&p1000_mfd_nb_screen, nullptr};

// --- Window keys -----------------------------------------------------------------------

// One click area over the screen opens and closes the pop-up.
OVI_DISPLAY_WINDOW_KEY(efs50_eadi, 130, 130, 100, kEfs50EadiWindow)
OVI_DISPLAY_WINDOW_KEY(efs50_eadi_nb, 130, 130, 100, kEfs50EadiWindow)
OVI_DISPLAY_WINDOW_KEY(efs50_ehsi, 130, 130, 100, kEfs50EhsiWindow)
OVI_DISPLAY_WINDOW_KEY(efs50_ehsi_nb, 130, 130, 100, kEfs50EhsiWindow)
OVI_DISPLAY_WINDOW_KEY(b777_pfd_nb, 72, 94, 98, kB777PfdWindow)
OVI_DISPLAY_WINDOW_KEY(a320_eadi_nb, 130, 130, 100, kA320EadiWindow)
// The P1000 bezel's keys: the screen's click area, the SET knob, the soft
// keys and the range knob.
p1000::BezelKeyList p1000_mfd_mouse = p1000::BezelKeys(0, p1000::P1000SoftKey3, true);
OVI_DISPLAY_WINDOW_KEY(p1000_mfd_nb, 80, 92, 100, kP1000MfdWindow)

// Every header declares the design size 312 by 0.
constexpr PIXSIZE kDesignSize = {312, 0};

}  // namespace

double Efs50InclinometerBallRise(MODULE_VAR* var) {
  if (var == nullptr) return 0.0;
  double rise = std::fabs(var->value.n) * 0.025;
  return std::isfinite(rise) ? rise : 0.0;
}

void efs50_eadi_callback(GAUGEHDR* gauge, std::int32_t service, std::uint32_t /*extra*/) {
  host::RunGaugeCallback(kEfs50EadiForm, gauge, service);
}
void efs50_eadi_nb_callback(GAUGEHDR* gauge, std::int32_t service, std::uint32_t /*extra*/) {
  host::RunGaugeCallback(kEfs50EadiNbForm, gauge, service);
}
void efs50_ehsi_callback(GAUGEHDR* gauge, std::int32_t service, std::uint32_t /*extra*/) {
  host::RunGaugeCallback(kEfs50EhsiForm, gauge, service);
}
void efs50_ehsi_nb_callback(GAUGEHDR* gauge, std::int32_t service, std::uint32_t /*extra*/) {
  host::RunGaugeCallback(kEfs50EhsiNbForm, gauge, service);
}
void efs50_tcas_callback(GAUGEHDR* gauge, std::int32_t service, std::uint32_t /*extra*/) {
  host::RunGaugeCallback(kEfs50TcasForm, gauge, service);
}
void d100_callback(GAUGEHDR* gauge, std::int32_t service, std::uint32_t /*extra*/) {
  host::RunGaugeCallback(kB777PfdForm, gauge, service);
}
void a320_eadi_callback(GAUGEHDR* gauge, std::int32_t service, std::uint32_t /*extra*/) {
  host::RunGaugeCallback(kA320EadiForm, gauge, service);
}
void p1000_mfd_callback(GAUGEHDR* gauge, std::int32_t service, std::uint32_t /*extra*/) {
  host::RunGaugeCallback(kP1000MfdForm, gauge, service);
}
void p1000_mfd_nb_callback(GAUGEHDR* gauge, std::int32_t service, std::uint32_t /*extra*/) {
  host::RunGaugeCallback(kP1000MfdNbForm, gauge, service);
}

GAUGEHDR efs50_eadi_gauge = {
    GAUGE_HEADER_VERSION, "EFS50_EADI", efs50_eadi_elements, efs50_eadi_callback, 0, "", efs50_eadi_mouse,
    kDesignSize, nullptr,
};
GAUGEHDR efs50_eadi_nb_gauge = {
    GAUGE_HEADER_VERSION, "EFS50_EADI_NB", efs50_eadi_nb_elements, efs50_eadi_nb_callback, 0, "",
    efs50_eadi_nb_mouse, kDesignSize, nullptr,
};
GAUGEHDR efs50_ehsi_gauge = {
    GAUGE_HEADER_VERSION, "EFS50_EHSI", efs50_ehsi_elements, efs50_ehsi_callback, 0, "", efs50_ehsi_mouse,
    kDesignSize, nullptr,
};
GAUGEHDR efs50_ehsi_nb_gauge = {
    GAUGE_HEADER_VERSION, "EFS50_EHSI_NB", efs50_ehsi_nb_elements, efs50_ehsi_nb_callback, 0, "",
    efs50_ehsi_nb_mouse, kDesignSize, nullptr,
};
// The traffic display's window is opened by a button of its own
// (EFS50_TCAS_OPEN); the display has no key.
GAUGEHDR efs50_tcas_gauge = {
    GAUGE_HEADER_VERSION, "EFS50_TCAS", efs50_tcas_elements, efs50_tcas_callback, 0, "", nullptr, kDesignSize,
    nullptr,
};
GAUGEHDR b777_pfd_nb_gauge = {
    GAUGE_HEADER_VERSION, "B777_PFD_NB", b777_pfd_nb_elements, d100_callback, 0, "", b777_pfd_nb_mouse,
    kDesignSize, nullptr,
};
GAUGEHDR a320_eadi_nb_gauge = {
    GAUGE_HEADER_VERSION, "A320_EADI_NB", a320_eadi_nb_elements, a320_eadi_callback, 0, "", a320_eadi_nb_mouse,
    kDesignSize, nullptr,
};
GAUGEHDR p1000_mfd_gauge = {
    GAUGE_HEADER_VERSION, "P1000_MFD", p1000_mfd_elements, p1000_mfd_callback, 0, "", p1000_mfd_mouse.data(),
    kDesignSize,
    nullptr,
};
GAUGEHDR p1000_mfd_nb_gauge = {
    GAUGE_HEADER_VERSION, "P1000_MFD_NB", p1000_mfd_nb_elements, p1000_mfd_nb_callback, 0, "", p1000_mfd_nb_mouse,
    kDesignSize, nullptr,
};

namespace {

struct Row {
  GAUGEHDR* gauge;
  bool (*drawn)();
};

template <DrawEntry DisplayDrawEntries::*E>
bool Has() {
  return display_draw_entries.*E != nullptr;
}
bool HasA320() { return display_draw_entries.a320_eadi != nullptr; }

constexpr Row kRows[] = {
    {&efs50_eadi_gauge, Has<&DisplayDrawEntries::efs50_eadi>},
    {&efs50_eadi_nb_gauge, Has<&DisplayDrawEntries::efs50_eadi>},
    {&efs50_ehsi_gauge, Has<&DisplayDrawEntries::efs50_ehsi>},
    {&efs50_ehsi_nb_gauge, Has<&DisplayDrawEntries::efs50_ehsi>},
    {&efs50_tcas_gauge, Has<&DisplayDrawEntries::efs50_tcas>},
    {&b777_pfd_nb_gauge, Has<&DisplayDrawEntries::b777_pfd>},
    {&a320_eadi_nb_gauge, HasA320},
    {&p1000_mfd_gauge, Has<&DisplayDrawEntries::p1000_mfd>},
    {&p1000_mfd_nb_gauge, Has<&DisplayDrawEntries::p1000_mfd>},
};
constexpr std::size_t kRowCount = sizeof kRows / sizeof kRows[0];

std::array<GAUGEHDR*, kRowCount> exported{};

}  // namespace

std::span<GAUGEHDR* const> DisplayGauges() {
  static const auto all = [] {
    std::array<GAUGEHDR*, kRowCount> gauges{};
    for (std::size_t i = 0; i < kRowCount; ++i) gauges[i] = kRows[i].gauge;
    return gauges;
  }();
  return all;
}

std::span<GAUGEHDR* const> ExportedDisplayGauges() {
  std::size_t n = 0;
  for (const Row& row : kRows)
    if (row.drawn()) exported[n++] = row.gauge;
  return {exported.data(), n};
}

}  // namespace ovi::efs
