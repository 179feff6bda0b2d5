// Gauge headers, elements, mouse rectangles and callbacks of the EHSI
// displays. Every callback is a form of the module's one gauge skeleton;
// what differs between the five is a row of data.
#include "src/instruments/ehsi/gauges.h"

#include <array>
#include <iterator>
#include <utility>

#include "src/display/display_gauge.h"
#include "src/host/gauge_skeleton.h"
#include "src/host/panel_services.h"
#include "src/host/traffic_link.h"
#include "src/instruments/ehsi/du1000/du1000.h"
#include "src/instruments/ehsi/md80/md80.h"
#include "src/instruments/ehsi/proline4/proline4.h"
#include "src/instruments/ehsi/state.h"

namespace ovi::ehsi {

namespace {

// --- The one adapter to the displays' draw entries ------------------------

using DrawEntry = void (*)(display::GaugeDisplay& display, gfx::DeviceContext* dc, const PIXSIZE* size,
                           int variant);

// Draws a display's picture into the gauge's screen through the record its
// gauges share.
template <display::GaugeDisplay State::*Record, DrawEntry Entry>
void DrawIntoElement(GAUGEHDR* /*gauge*/, ELEMENT_HEADER* element, int variant) {
  Entry(ehsi_state.*Record, element->image.dc, &element->image.size, variant);
}

using GaugeDraw = void (*)(GAUGEHDR* gauge, ELEMENT_HEADER* element, int variant);
constexpr GaugeDraw kDrawDu1000 = DrawIntoElement<&State::Du1000Display, DrawDu1000Ehsi>;
constexpr GaugeDraw kDrawProline4 = DrawIntoElement<&State::Proline4Display, DrawProline4Mfd>;
constexpr GaugeDraw kDrawMd80 = DrawIntoElement<&State::Md80Display, DrawMd80Ehsi>;

// --- Forms -------------------------------------------------------------------------

constexpr host::GaugeForm EhsiForm(const char* log_line, bool starts_flight_log, host::DisplayForm display_form,
                                   std::uint32_t window, GaugeDraw draw) {
  return display::DisplayGaugeForm(
      log_line, starts_flight_log ? display::HookTrafficAndStartFlightLog : host::HookTrafficProvider, display_form,
      window, host::DrawElement::kFirstChild, draw);
}

// The DU-1000 and MD-80 draw "VC2" copies reduced only while the pop-up is
// open (form B); the Pro Line 4 always (form D).
constexpr host::GaugeForm kDu1000Form =
    EhsiForm("FSAPI du_1000_ehsi_callback \n", true, host::DisplayForm::kB, kDu1000Window, kDrawDu1000);
constexpr host::GaugeForm kDu1000NbForm =
    EhsiForm("FSAPI du_1000_ehsi_nb_callback \n", true, host::DisplayForm::kB, kDu1000Window, kDrawDu1000);
constexpr host::GaugeForm kProline4Form =
    EhsiForm("proline4_mfd_callback \n", false, host::DisplayForm::kD, kProline4Window, kDrawProline4);
constexpr host::GaugeForm kProline4NbForm =
    EhsiForm("proline4_mfd_nb_callback \n", false, host::DisplayForm::kD, kProline4Window, kDrawProline4);
constexpr host::GaugeForm kMd80Form =
    EhsiForm("FSAPI md80_ehsi_callback \n", true, host::DisplayForm::kB, kMd80Window, kDrawMd80);

// --- Elements ----------------------------------------------------------------------

constexpr PIXSIZE kDu1000BezelSize = {392, 394};
constexpr PIXSIZE kEhsiScreenSize = {318, 311};
constexpr PIXSIZE kProline4BezelSize = {322, 368};
constexpr PIXSIZE kProline4ScreenSize = {247, 285};
// A bezel is opaque; a screen standing alone as the root is transparent
// where its bitmap is.
constexpr std::uint32_t kBezelFlags = 0x0;
constexpr std::uint32_t kRootScreenFlags = 0x1;

// The root image and, as its first child, the screen the display draws on.
OVI_DISPLAY_ELEMENTS(du1000, kDu1000BezelBitmap, kDu1000BezelSize, kBezelFlags, kEhsiScreenBitmap, kEhsiScreenSize,
                  37, 39)
OVI_DISPLAY_ELEMENTS(du1000_nb, kEhsiScreenBitmap, kEhsiScreenSize, kRootScreenFlags, kEhsiScreenBitmap,
                  kEhsiScreenSize, 0, 0)
OVI_DISPLAY_ELEMENTS(proline4, kProline4BezelBitmap, kProline4BezelSize, kBezelFlags, kProline4ScreenBitmap,
                  kProline4ScreenSize, 38, 40)
OVI_DISPLAY_ELEMENTS(proline4_nb, kProline4ScreenBitmap, kProline4ScreenSize, kRootScreenFlags, kProline4ScreenBitmap,
                  kProline4ScreenSize, 0, 0)
OVI_DISPLAY_ELEMENTS(md80, kEhsiScreenBitmap, kEhsiScreenSize, kRootScreenFlags, kEhsiScreenBitmap, kEhsiScreenSize,
                  0, 0)

// --- Mouse rectangles ----------------------------------------------------------------

// One click area over the screen, a child inside its parent, opens and
// closes the display's pop-up window.
OVI_DISPLAY_WINDOW_KEY(du1000, 130, 130, 100, kDu1000Window)
OVI_DISPLAY_WINDOW_KEY(du1000_nb, 130, 130, 100, kDu1000Window)
OVI_DISPLAY_WINDOW_KEY(proline4, 102, 147, 100, kProline4Window)
OVI_DISPLAY_WINDOW_KEY(proline4_nb, 102, 147, 100, kProline4Window)
OVI_DISPLAY_WINDOW_KEY(md80, 130, 130, 100, kMd80Window)

// Every header declares the design size 312 by 0.
constexpr PIXSIZE kDesignSize = {312, 0};

}  // namespace

void du_1000_ehsi_callback(GAUGEHDR* gauge, std::int32_t service, std::uint32_t /*extra*/) {
  host::RunGaugeCallback(kDu1000Form, gauge, service);
}
void du_1000_ehsi_nb_callback(GAUGEHDR* gauge, std::int32_t service, std::uint32_t /*extra*/) {
  host::RunGaugeCallback(kDu1000NbForm, gauge, service);
}
void proline4_mfd_callback(GAUGEHDR* gauge, std::int32_t service, std::uint32_t /*extra*/) {
  host::RunGaugeCallback(kProline4Form, gauge, service);
}
void proline4_mfd_nb_callback(GAUGEHDR* gauge, std::int32_t service, std::uint32_t /*extra*/) {
  host::RunGaugeCallback(kProline4NbForm, gauge, service);
}
void md80_ehsi_callback(GAUGEHDR* gauge, std::int32_t service, std::uint32_t /*extra*/) {
  host::RunGaugeCallback(kMd80Form, gauge, service);
}

GAUGEHDR du_1000_ehsi_gauge = {
    GAUGE_HEADER_VERSION, "DU_1000_EHSI", du1000_elements, du_1000_ehsi_callback, 0, "", du1000_mouse,
    kDesignSize, nullptr,
};
GAUGEHDR du_1000_ehsi_nb_gauge = {
    GAUGE_HEADER_VERSION, "DU_1000_EHSI_NB", du1000_nb_elements, du_1000_ehsi_nb_callback, 0, "", du1000_nb_mouse,
    kDesignSize, nullptr,
};
GAUGEHDR proline4_mfd_gauge = {
    GAUGE_HEADER_VERSION, "PROLINE4_MFD", proline4_elements, proline4_mfd_callback, 0, "", proline4_mouse,
    kDesignSize, nullptr,
};
GAUGEHDR proline4_mfd_nb_gauge = {
    GAUGE_HEADER_VERSION, "PROLINE4_MFD_NB", proline4_nb_elements, proline4_mfd_nb_callback, 0, "",
    proline4_nb_mouse, kDesignSize, nullptr,
};
GAUGEHDR md80_ehsi_nb_gauge = {
    GAUGE_HEADER_VERSION, "MD80_EHSI_NB", md80_elements, md80_ehsi_callback, 0, "", md80_mouse, kDesignSize, nullptr,
};

namespace {

constexpr EhsiGaugeRow kRows[] = {
    {&du_1000_ehsi_gauge, &kDu1000Form},       {&du_1000_ehsi_nb_gauge, &kDu1000NbForm},
    {&proline4_mfd_gauge, &kProline4Form},     {&proline4_mfd_nb_gauge, &kProline4NbForm},
    {&md80_ehsi_nb_gauge, &kMd80Form},
};

// The gauges whose form draws, in row order.
auto CollectExported() {
  std::array<GAUGEHDR*, std::size(kRows)> gauges{};
  std::size_t n = 0;
  for (const EhsiGaugeRow& row : kRows)
    if (row.form->draw != nullptr) gauges[n++] = row.gauge;
  return std::pair{gauges, n};
}

}  // namespace

std::span<const EhsiGaugeRow> EhsiGaugeRows() { return kRows; }

std::span<GAUGEHDR* const> ExportedEhsiGauges() {
  static const auto exported = CollectExported();
  return {exported.first.data(), exported.second};
}

}  // namespace ovi::ehsi
