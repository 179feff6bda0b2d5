#include "src/instruments/gnsxls/mcu/gauges.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "src/display/lifetime.h"
#include "src/guidance/avionics_update.h"
#include "src/guidance/engage_buttons.h"
#include "src/guidance/state.h"
#include "src/host/gauge_skeleton.h"
#include "src/host/panel_services.h"
#include "src/instruments/gnsxls/mcu/keyboard.h"
#include "src/instruments/gnsxls/mcu/keys.h"
#include "src/instruments/gnsxls/mcu/screen.h"
#include "src/instruments/gnsxls/mcu/state.h"
#include "src/instruments/gnsxls/state.h"

namespace ovi::mcu {

namespace {

constexpr PIXSIZE kBezelSize = {501, 386};
constexpr PIXSIZE kScreenSize = {420, 159};
constexpr PIXPOINT kScreenPosition = {40, 32};
constexpr PIXSIZE kLampSize = {17, 20};
constexpr PIXPOINT kLnavLampPosition = {220, 228};
constexpr PIXPOINT kHoldLampPosition = {134, 264};
constexpr std::uint32_t kScreenFlags = IMAGE_LUMINOUS | IMAGE_CREATE_DIBSECTION | IMAGE_USE_BRIGHT;  // 0x4024
constexpr std::uint32_t kLampFlags =
    IMAGE_HIDDEN | IMAGE_USE_BRIGHT | IMAGE_USE_ERASE | IMAGE_USE_TRANSPARENCY;  // 0x40000007

// ---- keys ---------------------------------------------------------------------

template <void (*Press)()>
constexpr MouseHandler Key = host::KeyHandler<Press>;
template <std::int32_t Rocker>
constexpr MouseHandler RockerKey = host::KeyHandler<McuLineSelect, Rocker>;

std::int32_t ScreenArea(PIXPOINT* /*relative*/, std::uint32_t /*flags*/) { return McuScreenArea(); }

struct KeyRect {
  PIXPOINT at;
  PIXSIZE size;
  MouseHandler handler;
  // A press, or (with the repeat bit) a press that repeats while held.
  std::uint32_t flags = MOUSE_LEFTSINGLE;
};

constexpr PIXSIZE kKey = {70, 25};
constexpr PIXSIZE kRocker = {32, 32};

// The keys in the order of the gauges' list.
constexpr std::array<KeyRect, kKeyRectangles> kKeys = {{
    {{132, 47}, {200, 120}, ScreenArea},
    {{40, 224}, kKey, Key<McuStatusKey>},
    {{127, 224}, kKey, Key<McuFplnKey>},
    {{213, 222}, kKey, Key<guidance::ToggleLnav>},
    {{40, 258}, kKey, Key<McuDirectToKey>},
    {{127, 258}, kKey, Key<McuHoldKey>},
    {{213, 258}, kKey, Key<McuCrossingKey>},
    {{40, 292}, kKey, Key<McuLegsKey>},
    {{127, 292}, kKey, Key<McuUpKey>, MOUSE_LEFTSINGLE_REPEAT},
    {{213, 292}, kKey, Key<McuAltitudeKey>},
    {{40, 324}, kKey, Key<McuAirportKey>},
    {{127, 324}, kKey, Key<McuDownKey>, MOUSE_LEFTSINGLE_REPEAT},
    {{213, 324}, kKey, Key<McuKeyboardKey>},
    {{371, 224}, kRocker, RockerKey<kRockerUp>, MOUSE_LEFTSINGLE_REPEAT},
    {{338, 256}, kRocker, RockerKey<kRockerLeft>},
    {{371, 290}, kRocker, RockerKey<kRockerDown>, MOUSE_LEFTSINGLE_REPEAT},
    {{404, 256}, kRocker, RockerKey<kRockerRight>},
    {{350, 324}, kKey, Key<McuEnterKey>},
}};

// Each key a parent rectangle with one child covering it, then the end of
// the list. Both gauges share the list.
constexpr std::size_t kMouseEntries = 3 * kKeys.size() + 1;

constexpr std::array<MOUSERECT, kMouseEntries> MakeMouseList() {
  std::array<MOUSERECT, kMouseEntries> list{};
  std::size_t n = 0;
  for (const KeyRect& k : kKeys) {
    list[n++] = {MOUSE_RECT_PARENT, k.at, k.size, CURSOR_NONE, 0, nullptr};
    list[n++] = {MOUSE_RECT_CHILD, {0, 0}, k.size, CURSOR_HAND, k.flags, k.handler};
    list[n++] = {MOUSE_RECT_END_PARENT, {0, 0}, {0, 0}, CURSOR_NONE, 0, nullptr};
  }
  list[n++] = {MOUSE_RECT_EOL, {0, 0}, {0, 0}, CURSOR_NONE, 0, nullptr};
  return list;
}

std::array<MOUSERECT, kMouseEntries> mcu_mouse = MakeMouseList();

// ---- the callbacks ---------------------------------------------------------

// The first repaint comes at once, and the per-tick update starts its cycle.
void AskFirstRepaint(GAUGEHDR* /*gauge*/) {
  gnsxls::gnsxls_state.McuRedrawRequest = 1;
  guidance::guidance_state.FrameCounter = 999;
  guidance::guidance_state.DisplayRefreshCounter = 999;
}

// LNAV lit while LNAV is engaged, HOLD while the hold is flown.
void ShowLamps(GAUGEHDR* gauge) {
  ELEMENT_HEADER* first = host::FirstElement(gauge);
  const guidance::State& g = guidance::guidance_state;
  for (auto [element, lit] : {std::pair{kLnavLampElement, g.LnavEngaged == 1},
                              std::pair{kHoldLampElement, g.ActiveHoldIndex == 1}}) {
    if (lit) {
      host::ClearGaugeElementFlags(first, element, IMAGE_HIDDEN);
    } else {
      host::SetGaugeElementFlags(first, element, IMAGE_HIDDEN);
    }
  }
}

// The PC keyboard is read before the per-tick update, so a key typed acts
// in this frame.
void PollThenUpdate() {
  if (gnsxls::gnsxls_state.McuKeyboardEntryActive == 1) PollKeyboard();
  guidance::UpdateAvionicsState();
}

// A virtual-cockpit copy ("VC") stays dark while the main panel is shown.
int VirtualCockpitRule(GAUGEHDR* gauge) {
  const char* parameter = gauge != nullptr && gauge->parameters != nullptr ? gauge->parameters : "";
  return host::IsPanelWindowVisible(0) && std::strcmp(parameter, "VC") == 0 ? host::kVariantSkip
                                                                              : host::kVariantFull;
}

// A gauge back on screen (its window opened again, a virtual-cockpit copy
// whose main panel was hidden) repaints whole: its surface holds a picture
// from before, or none. Each gauge keeps the tick it last drew in its
// header's user data.
void DrawScreen(GAUGEHDR* gauge, ELEMENT_HEADER* screen, int variant) {
  if (variant == host::kVariantSkip) return;
  const double last_tick = guidance::guidance_state.LastTick;
  const auto tick = static_cast<std::uint32_t>(std::clamp(last_tick, 0.0, 4294967295.0));
  if (tick > gauge->user_data + 1) gnsxls::gnsxls_state.McuRedrawRequest = 1;
  gauge->user_data = tick;
  DrawMcuScreen(mcu_state.McuDisplay, screen->image.dc, screen->image.size.x, screen->image.size.y);
}

// Keyboard entry ends with the window: no hook or device outlives it.
void Disconnect(GAUGEHDR* gauge) {
  McuLeaveKeyboardEntry();
  display::DisconnectDrawingGauge(gauge);
}

constexpr host::GaugeForm McuForm(const char* log_line, void (*after_loads)(GAUGEHDR*)) {
  host::GaugeForm f;
  f.log_line = log_line;
  f.after_loads = after_loads;
  f.pre_update = ShowLamps;
  f.pre_draw = PollThenUpdate;
  f.draw_element = host::DrawElement::kFirstChild;
  f.variant = VirtualCockpitRule;
  f.draw = DrawScreen;
  f.connect = display::ConnectDrawingGauge;
  f.disconnect = Disconnect;
  return f;
}

constexpr host::GaugeForm kMcuForm = McuForm(nullptr, AskFirstRepaint);
constexpr host::GaugeForm kMcuLmForm = McuForm("mcu_lm_callback \n", nullptr);

void mcu_callback(GAUGEHDR* gauge, std::int32_t service, std::uint32_t /*extra*/) {
  host::RunGaugeCallback(kMcuForm, gauge, service);
}
void mcu_lm_callback(GAUGEHDR* gauge, std::int32_t service, std::uint32_t /*extra*/) {
  host::RunGaugeCallback(kMcuLmForm, gauge, service);
}

// ---- elements: the bezel, its screen, then the two lamps -------------------

ELEMENT_HEADER mcu_hold_lamp = {.element_type = ELEMENT_TYPE_ICON, .resource_id = kLampBitmap,
                                .position = kHoldLampPosition, .image_size = kLampSize, .image_flags = kLampFlags};
ELEMENT_HEADER* mcu_hold_lamp_list[] = {&mcu_hold_lamp, nullptr};
ELEMENT_HEADER mcu_lnav_lamp = {.element_type = ELEMENT_TYPE_ICON, .resource_id = kLampBitmap,
                                .position = kLnavLampPosition, .image_size = kLampSize, .image_flags = kLampFlags,
                                .next_element = mcu_hold_lamp_list};
ELEMENT_HEADER* mcu_lnav_lamp_list[] = {&mcu_lnav_lamp, nullptr};

// Each gauge its own bezel and screen; MCU_LM's screen leads to MCU's lamps.
#define OVI_MCU_ELEMENTS(NAME, BEZEL_FLAGS)                                                                  \
  ELEMENT_HEADER NAME##_screen = {.element_type = ELEMENT_TYPE_STATIC_IMAGE, .resource_id = kScreenBitmap,  \
                                  .position = kScreenPosition, .image_size = kScreenSize,                   \
                                  .image_flags = kScreenFlags, .next_element = mcu_lnav_lamp_list};         \
  ELEMENT_HEADER* NAME##_screen_list[] = {&NAME##_screen, nullptr};                                         \
  ELEMENT_HEADER NAME##_bezel = {.element_type = ELEMENT_TYPE_STATIC_IMAGE, .resource_id = kBezelBitmap,    \
                                 .image_size = kBezelSize, .image_flags = BEZEL_FLAGS,                      \
                                 .next_element = NAME##_screen_list};                                       \
  ELEMENT_HEADER* NAME##_elements[] = {&NAME##_bezel, nullptr};

OVI_MCU_ELEMENTS(mcu, 0)
OVI_MCU_ELEMENTS(mcu_lm, IMAGE_LUMINOUS)

#undef OVI_MCU_ELEMENTS

}  // namespace

GAUGEHDR mcu_gauge = {
    GAUGE_HEADER_VERSION, "MCU", mcu_elements, mcu_callback, 0, "", mcu_mouse.data(), kBezelSize, nullptr,
};
GAUGEHDR mcu_lm_gauge = {
    GAUGE_HEADER_VERSION, "MCU_LM", mcu_lm_elements, mcu_lm_callback, 0, "", mcu_mouse.data(), kBezelSize, nullptr,
};

}  // namespace ovi::mcu
