// Gauge headers, elements, mouse rectangles and callbacks of the B737
// navigation display and its EFIS control panel. Every callback is a form
// of the module's one gauge skeleton.
#include "src/instruments/nd/gauges.h"

#include "src/display/display_gauge.h"
#include "src/guidance/avionics_update.h"
#include "src/host/display_commands.h"
#include "src/host/gauge_skeleton.h"
#include "src/host/panel_services.h"
#include "src/host/traffic_link.h"
#include "src/instruments/nd/b737_efis_panel.h"
#include "src/instruments/nd/b737_nd.h"
#include "src/instruments/nd/state.h"

namespace ovi::nd {

namespace {

// --- B737 navigation display ------------------------------------------------

void DrawB737Nd(GAUGEHDR* /*gauge*/, ELEMENT_HEADER* element, int variant) {
  DrawB737NavigationDisplay(nd_state.B737NdDisplay, element->image.dc, &element->image.size, variant);
}

constexpr host::GaugeForm B737NdForm(const char* log_line) {
  return display::DisplayGaugeForm(log_line, host::HookTrafficProvider, host::DisplayForm::kB, kB737NdWindow,
                                   host::DrawElement::kFirstChild, DrawB737Nd);
}

constexpr host::GaugeForm kB737NdForm = B737NdForm("hw_b737_ehsi_callback \n");
constexpr host::GaugeForm kB737NdBrForm = B737NdForm("hw_b737_ehsi_br_callback \n");
constexpr host::GaugeForm kB737NdNbForm = B737NdForm("hw_b737_ehsi_nb_callback \n");

constexpr PIXSIZE kScreenSize = {247, 294};
constexpr PIXSIZE kBezelSize = {281, 337};

OVI_DISPLAY_ELEMENTS(b737_nd, kB737NdBezelBitmap, kBezelSize, 0, kB737NdScreenBitmap, kScreenSize, 18, 25)
OVI_DISPLAY_ELEMENTS(b737_nd_br, kB737NdBezelBrBitmap, kBezelSize, 0, kB737NdScreenBitmap, kScreenSize, 18, 25)
OVI_DISPLAY_ELEMENTS(b737_nd_nb, kB737NdScreenBitmap, kScreenSize, 0x1, kB737NdScreenBitmap, kScreenSize, 0, 0)

// One area over the screen opens and closes the pop-up window.
OVI_DISPLAY_WINDOW_KEY(b737_nd, 75, 100, 100, kB737NdWindow)
OVI_DISPLAY_WINDOW_KEY(b737_nd_br, 75, 100, 100, kB737NdWindow)
OVI_DISPLAY_WINDOW_KEY(b737_nd_nb, 60, 75, 100, kB737NdWindow)

// --- B737 EFIS control panel ------------------------------------------------

void EfisPanelPreUpdate(GAUGEHDR* gauge) { ShowKnobImages(host::FirstElement(gauge), TenMileKnob::kExactly); }
void EfisPanelBrPreUpdate(GAUGEHDR* gauge) { ShowKnobImages(host::FirstElement(gauge), TenMileKnob::kAndBelow); }

// The panel loads what the displays load, takes "VC2" as an aircraft name,
// and only runs the per-tick update at pre-draw.
constexpr host::GaugeForm EfisPanelForm(const char* log_line, void (*pre_update)(GAUGEHDR*)) {
  host::GaugeForm f;
  f.log_line = log_line;
  f.pre_install = false;
  f.aircraft_name = host::AircraftNameRule::kResetVcWn;
  f.pre_update = pre_update;
  f.pre_draw = guidance::UpdateAvionicsState;
  return f;
}

constexpr host::GaugeForm kEfisPanelForm = EfisPanelForm("hw_b737_ehsi_cntr_callback \n", EfisPanelPreUpdate);
constexpr host::GaugeForm kEfisPanelBrForm = EfisPanelForm("hw_b737_ehsi_cntr_br_callback \n", EfisPanelBrPreUpdate);

constexpr PIXSIZE kPanelSize = {313, 212};
constexpr PIXSIZE kModeKnobSize = {46, 36};
constexpr PIXSIZE kRangeKnobSize = {42, 42};
constexpr std::uint32_t kKnobFlags = 0x40000003;

struct KnobImage {
  std::uint32_t bitmap;
  PIXPOINT position;
  PIXSIZE size;
};
constexpr KnobImage kKnobs[kKnobImages] = {
    {9844, {149, 40}, kModeKnobSize},  {9846, {148, 39}, kModeKnobSize},  {9848, {148, 38}, kModeKnobSize},
    {9856, {150, 39}, kModeKnobSize},  {9858, {148, 40}, kModeKnobSize},  {9860, {148, 40}, kModeKnobSize},
    {9864, {242, 35}, kRangeKnobSize}, {9872, {244, 37}, kRangeKnobSize}, {9874, {244, 36}, kRangeKnobSize},
    {9876, {243, 35}, kRangeKnobSize}, {9878, {245, 36}, kRangeKnobSize},
};

// "ON" over the upper edge of the navaids, airports and intersections keys
// (their areas start at y 174), centred on each key.
struct OnLabel {
  double (*update)(ELEMENT_HEADER* element);
  PIXPOINT position;
};
constexpr OnLabel kOnLabels[] = {
    {UpdateNavaidsOnLabel, {157, 161}},
    {UpdateAirportsOnLabel, {190, 161}},
    {UpdateIntersectionsOnLabel, {256, 161}},
};
constexpr int kOnLabelCount = 3;
constexpr PIXSIZE kOnLabelSize = {34, 12};

// The background, its chain of knob images (element n's first child being
// element n + 1) and, beside the first knob, the three "ON" labels.
struct EfisPanelElements {
  ELEMENT_HEADER background;
  ELEMENT_HEADER knobs[kKnobImages];
  ELEMENT_HEADER labels[kOnLabelCount];
  ELEMENT_HEADER* background_children[kOnLabelCount + 2];
  ELEMENT_HEADER* links[kKnobImages][2];
  ELEMENT_HEADER* list[2];

  explicit EfisPanelElements(std::uint32_t background_bitmap) {
    background = {.element_type = ELEMENT_TYPE_STATIC_IMAGE, .resource_id = background_bitmap,
                  .image_size = kPanelSize};
    for (int i = 0; i < kKnobImages; ++i) {
      knobs[i] = {.element_type = ELEMENT_TYPE_ICON, .resource_id = kKnobs[i].bitmap,
                  .position = kKnobs[i].position, .image_size = kKnobs[i].size, .image_flags = kKnobFlags};
    }
    for (int i = 0; i < kOnLabelCount; ++i) {
      labels[i] = {.element_type = ELEMENT_TYPE_STRING, .position = kOnLabels[i].position,
                   .image_size = kOnLabelSize, .image_flags = IMAGE_HIDDEN};
      labels[i].string = {.update = kOnLabels[i].update, .max_length = 2, .font = "Arial", .font_height = 10,
                          .font_weight = 700, .fore_colour = 0xFF00FA00};
    }
    background_children[0] = &knobs[0];
    for (int i = 0; i < kOnLabelCount; ++i) background_children[i + 1] = &labels[i];
    background_children[kOnLabelCount + 1] = nullptr;
    background.next_element = background_children;
    for (int i = 0; i + 1 < kKnobImages; ++i) {
      links[i][0] = &knobs[i + 1];
      links[i][1] = nullptr;
      knobs[i].next_element = links[i];
    }
    list[0] = &background;
    list[1] = nullptr;
  }
};

EfisPanelElements efis_panel_elements(kB737EfisPanelBitmap);
EfisPanelElements efis_panel_br_elements(kB737EfisPanelBrBitmap);

// The traffic key is the push button in the middle of the range knob: it
// comes before the knob's two halves so that the first area holding a
// click, as the host picks it, is the button.
MOUSERECT efis_panel_mouse[] = {
    {MOUSE_RECT_PARENT, {0, 0}, kPanelSize, CURSOR_NONE, 0, nullptr},
    {MOUSE_RECT_CHILD, {256, 48}, {14, 14}, CURSOR_HAND, MOUSE_LEFTSINGLE, CommandKey<host::ToggleNdTcas>},
    {MOUSE_RECT_CHILD, {145, 35}, {26, 44}, CURSOR_DOWNARROW, MOUSE_LEFTSINGLE, DecrementB737NdModeKey},
    {MOUSE_RECT_CHILD, {172, 35}, {26, 44}, CURSOR_UPARROW, MOUSE_LEFTSINGLE, IncrementB737NdModeKey},
    {MOUSE_RECT_CHILD, {238, 35}, {26, 44}, CURSOR_DOWNARROW, MOUSE_LEFTSINGLE, CommandKey<host::DecrementNdRange>},
    {MOUSE_RECT_CHILD, {265, 35}, {26, 44}, CURSOR_UPARROW, MOUSE_LEFTSINGLE, CommandKey<host::IncrementNdRange>},
    {MOUSE_RECT_CHILD, {256, 174}, {34, 36}, CURSOR_HAND, MOUSE_LEFTSINGLE, ToggleNdIntersectionsKey},
    {MOUSE_RECT_CHILD, {190, 174}, {34, 36}, CURSOR_HAND, MOUSE_LEFTSINGLE, CommandKey<host::ToggleNdAirports>},
    {MOUSE_RECT_CHILD, {157, 174}, {34, 36}, CURSOR_HAND, MOUSE_LEFTSINGLE, CommandKey<host::ToggleNdNavaids>},
    {MOUSE_RECT_CHILD, {122, 174}, {34, 36}, CURSOR_HAND, MOUSE_LEFTSINGLE, ToggleEfisAuxFlagKey},
    {MOUSE_RECT_CHILD, {223, 174}, {34, 36}, CURSOR_HAND, MOUSE_LEFTSINGLE, CommandKey<host::ToggleNdBoundaries>},
    {MOUSE_RECT_CHILD, {245, 109}, {38, 38}, CURSOR_HAND, MOUSE_LEFTSINGLE, ToggleNdRangeRings},
    {MOUSE_RECT_EOL, {0, 0}, {0, 0}, CURSOR_NONE, 0, nullptr},
};

}  // namespace

void hw_b737_ehsi_callback(GAUGEHDR* gauge, std::int32_t service, std::uint32_t /*extra*/) {
  host::RunGaugeCallback(kB737NdForm, gauge, service);
}
void hw_b737_ehsi_br_callback(GAUGEHDR* gauge, std::int32_t service, std::uint32_t /*extra*/) {
  host::RunGaugeCallback(kB737NdBrForm, gauge, service);
}
void hw_b737_ehsi_nb_callback(GAUGEHDR* gauge, std::int32_t service, std::uint32_t /*extra*/) {
  host::RunGaugeCallback(kB737NdNbForm, gauge, service);
}
void hw_b737_ehsi_cntr_callback(GAUGEHDR* gauge, std::int32_t service, std::uint32_t /*extra*/) {
  host::RunGaugeCallback(kEfisPanelForm, gauge, service);
}
void hw_b737_ehsi_cntr_br_callback(GAUGEHDR* gauge, std::int32_t service, std::uint32_t /*extra*/) {
  host::RunGaugeCallback(kEfisPanelBrForm, gauge, service);
}

GAUGEHDR hw_b737_nd_gauge = {
    GAUGE_HEADER_VERSION, "HW_B737_ND", b737_nd_elements, hw_b737_ehsi_callback, 0, "", b737_nd_mouse, kBezelSize,
    nullptr,
};
GAUGEHDR hw_b737_nd_br_gauge = {
    GAUGE_HEADER_VERSION, "HW_B737_ND_BR", b737_nd_br_elements, hw_b737_ehsi_br_callback, 0, "", b737_nd_br_mouse,
    kBezelSize, nullptr,
};
GAUGEHDR hw_b737_nd_nb_gauge = {
    GAUGE_HEADER_VERSION, "HW_B737_ND_NB", b737_nd_nb_elements, hw_b737_ehsi_nb_callback, 0, "", b737_nd_nb_mouse,
    kScreenSize, nullptr,
};
GAUGEHDR hw_b737_efis_cntr_gauge = {
    GAUGE_HEADER_VERSION, "HW_B737_EFIS_CNTR", efis_panel_elements.list, hw_b737_ehsi_cntr_callback, 0, "",
    efis_panel_mouse, kPanelSize, nullptr,
};
GAUGEHDR hw_b737_efis_cntr_br_gauge = {
    GAUGE_HEADER_VERSION, "HW_B737_EFIS_CNTR_BR", efis_panel_br_elements.list, hw_b737_ehsi_cntr_br_callback, 0, "",
    efis_panel_mouse, kPanelSize, nullptr,
};

}  // namespace ovi::nd
