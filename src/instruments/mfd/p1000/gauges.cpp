// The P1000 controller and key strip: gauge headers, elements, mouse
// rectangles and callbacks, forms of the one gauge skeleton. Neither loads
// the navigation database or the flight-plan library, runs the per-tick
// update or draws; both take their parameter as the aircraft name, "VC"
// included.
#include "src/instruments/mfd/p1000/gauges.h"

#include "src/host/gauge_skeleton.h"

namespace ovi::p1000 {

namespace {

constexpr host::GaugeForm ControlForm(const char* log_line, void (*pre_draw)()) {
  host::GaugeForm f;
  f.log_line = log_line;
  f.load_nav_database = false;
  f.aircraft_name = host::AircraftNameRule::kResetNone;
  f.scan_flight_plans = false;
  f.pre_draw = pre_draw;
  return f;
}

// The controller's frames are the menu's heartbeat; the key strip has none,
// so with it alone the menu never opens.
constexpr host::GaugeForm kControllerForm = ControlForm("p1000_mfd_cntr_callback \n", P1000MenuHeartbeat);
constexpr host::GaugeForm kKeyStripForm = ControlForm(nullptr, nullptr);

constexpr PIXSIZE kControllerSize = {605, 234};
constexpr PIXSIZE kKeyStripSize = {326, 72};
constexpr PIXSIZE kDesignSize = {312, 0};

ELEMENT_HEADER controller_background = {
    .element_type = ELEMENT_TYPE_STATIC_IMAGE, .resource_id = kP1000ControllerBitmap, .image_size = kControllerSize,
};
ELEMENT_HEADER* controller_elements[] = {&controller_background, nullptr};
ELEMENT_HEADER key_strip_background = {
    .element_type = ELEMENT_TYPE_STATIC_IMAGE, .resource_id = kP1000KeyStripBitmap, .image_size = kKeyStripSize,
};
ELEMENT_HEADER* key_strip_elements[] = {&key_strip_background, nullptr};

MOUSERECT controller_mouse[] = {
    {MOUSE_RECT_PARENT, {0, 0}, {0, 0}, CURSOR_NONE, 0, nullptr},
    {MOUSE_RECT_CHILD, {65, 25}, {55, 55}, CURSOR_HAND, MOUSE_LEFTSINGLE, P1000MapPlanKey},
    {MOUSE_RECT_CHILD, {131, 25}, {60, 55}, CURSOR_HAND, MOUSE_LEFTSINGLE, P1000TcasKey},
    {MOUSE_RECT_CHILD, {70, 135}, {20, 25}, CURSOR_UPARROW, MOUSE_LEFTSINGLE, P1000RangeIncKey},
    {MOUSE_RECT_CHILD, {70, 160}, {20, 25}, CURSOR_DOWNARROW, MOUSE_LEFTSINGLE, P1000RangeDecKey},
    {MOUSE_RECT_CHILD, {150, 165}, {40, 40}, CURSOR_HAND, MOUSE_LEFTSINGLE, P1000AptKey},
    {MOUSE_RECT_CHILD, {215, 114}, {40, 40}, CURSOR_HAND, MOUSE_LEFTSINGLE, P1000VorKey},
    {MOUSE_RECT_END_PARENT, {0, 0}, {0, 0}, CURSOR_NONE, 0, nullptr},
    {MOUSE_RECT_EOL, {0, 0}, {0, 0}, CURSOR_NONE, 0, nullptr},
};

BezelKeyList key_strip_mouse = BezelKeys(kKeyStripRise, P1000NbSoftKey3, false);

}  // namespace

void p1000_mfd_cntr_callback(GAUGEHDR* gauge, std::int32_t service, std::uint32_t /*extra*/) {
  host::RunGaugeCallback(kControllerForm, gauge, service);
}
void p1000_mfd_nb_cntr_callback(GAUGEHDR* gauge, std::int32_t service, std::uint32_t /*extra*/) {
  host::RunGaugeCallback(kKeyStripForm, gauge, service);
}

GAUGEHDR p1000_mfd_cntr_gauge = {
    GAUGE_HEADER_VERSION, "P1000_MFD_CNTR", controller_elements, p1000_mfd_cntr_callback, 0, "", controller_mouse,
    kDesignSize, nullptr,
};
GAUGEHDR p1000_mfd_nb_cntr_gauge = {
    GAUGE_HEADER_VERSION, "P1000_MFD_NB_CNTR", key_strip_elements, p1000_mfd_nb_cntr_callback, 0, "",
    key_strip_mouse.data(), kDesignSize, nullptr,
};

}  // namespace ovi::p1000
