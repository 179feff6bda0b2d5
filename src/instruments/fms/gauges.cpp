#include "src/instruments/fms/gauges.h"

#include <array>
#include <cstdint>

#include "src/display/display_gauge.h"
#include "src/flightplan/state.h"
#include "src/guidance/flight_log.h"
#include "src/host/gauge_skeleton.h"
#include "src/host/panel_services.h"
#include "src/instruments/fms/cdu.h"
#include "src/instruments/fms/keypad.h"
#include "src/instruments/fms/state.h"
#include "src/model/state.h"

namespace ovi::fms {

namespace {

constexpr PIXSIZE kKeypadSize = {415, 640};
constexpr std::uint32_t kGreyKeypadBitmap = 9828;
constexpr std::uint32_t kTanKeypadBitmap = 9827;
constexpr std::uint32_t kScreenBitmap = 9826;
constexpr std::uint32_t kExecLampBitmap = 9829;
constexpr std::uint32_t kMessageLampBitmap = 9842;
constexpr std::uint32_t kCduWindow = 4012;
constexpr std::uint32_t kLampFlags = IMAGE_HIDDEN | IMAGE_USE_ERASE | IMAGE_USE_TRANSPARENCY;

// ---- keys: each handler records its key and returns 0 ----------------------

template <void (*Press)()>
std::int32_t Key(PIXPOINT* /*relative*/, std::uint32_t /*flags*/) {
  Press();
  return 0;
}

template <std::int32_t LineKey>
std::int32_t LineSelect(PIXPOINT* /*relative*/, std::uint32_t /*flags*/) {
  PressLineSelect(LineKey);
  return 0;
}

template <char C>
std::int32_t Character(PIXPOINT* /*relative*/, std::uint32_t /*flags*/) {
  TypeCharacter(C);
  return 0;
}

struct KeyRect {
  PIXPOINT at;
  PIXSIZE size;
  MouseHandler handler;
  std::int32_t child_width = 0;  // 0 = the parent's
  std::uint32_t flags = MOUSE_LEFTSINGLE;
};

constexpr PIXSIZE kModeKey = {44, 30};
constexpr PIXSIZE kPageKey = {46, 34};
constexpr PIXSIZE kLineKey = {46, 34};
constexpr PIXSIZE kLetterKey = {36, 36};
constexpr PIXSIZE kDigitKey = {34, 34};
constexpr std::int32_t kLeftKeysX = 7;
constexpr std::int32_t kRightKeysX = 379;
constexpr std::int32_t kLineKeyY[6] = {68, 100, 132, 165, 197, 230};
constexpr std::int32_t kLetterX[5] = {172, 212, 252, 293, 332};
constexpr std::int32_t kLetterY[6] = {381, 422, 461, 502, 542, 582};
constexpr std::int32_t kDigitX[3] = {51, 90, 130};
constexpr std::int32_t kDigitY[3] = {461, 502, 542};

template <char C>
constexpr KeyRect LetterKey() {
  constexpr int i = C - 'A';
  return {{kLetterX[i % 5], kLetterY[i / 5]}, kLetterKey, Character<C>, C == 'D' ? 30 : 0};
}

template <char C>
constexpr KeyRect DigitKey() {
  constexpr int i = C - '1';
  return {{kDigitX[i % 3], kDigitY[i / 3]}, kDigitKey, Character<C>};
}

template <std::int32_t Row>
constexpr std::array<KeyRect, 2> LineKeys() {
  return {KeyRect{{kLeftKeysX, kLineKeyY[Row - 1]}, kLineKey, LineSelect<Row == 6 ? 11 : Row>},
          KeyRect{{kRightKeysX, kLineKeyY[Row - 1]}, kLineKey, LineSelect<Row == 6 ? 12 : Row + 5>}};
}

template <std::size_t... N>
constexpr auto Join(const std::array<KeyRect, N>&... parts) {
  std::array<KeyRect, (N + ...)> all{};
  std::size_t at = 0;
  ((std::copy(parts.begin(), parts.end(), all.begin() + static_cast<std::ptrdiff_t>(at)), at += N), ...);
  return all;
}

template <char... C>
constexpr std::array<KeyRect, sizeof...(C)> Letters() {
  return {LetterKey<C>()...};
}

// The keys in the order of the gauge's list: mode keys, line-select keys,
// letters, digits, the rest, the screen square.
constexpr auto kKeys = Join(
    std::array<KeyRect, 13>{{
        {{51, 298}, kModeKey, Key<PressInitRef>},
        {{104, 298}, kModeKey, Key<PressRte>},
        {{153, 298}, kModeKey, Key<PressClimb>},
        {{206, 298}, kModeKey, Key<PressCruise>},
        {{258, 298}, kModeKey, Key<PressDescent>},
        {{104, 338}, kModeKey, Key<PressLegs>},
        {{51, 338}, kModeKey, Key<PressDirIntc>},
        {{153, 338}, kModeKey, Key<PressDepArr>},
        {{206, 338}, kModeKey, Key<PressHold>},
        {{258, 338}, kModeKey, Key<PressProgress>},
        {{104, 377}, kModeKey, Key<PressFix>},
        {{51, 418}, kPageKey, Key<PressPrevPage>},
        {{104, 418}, kPageKey, Key<PressNextPage>},
    }},
    LineKeys<1>(), LineKeys<2>(), LineKeys<3>(), LineKeys<4>(), LineKeys<5>(), LineKeys<6>(),
    Letters<'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', 'I', 'J', 'K', 'L', 'M', 'N', 'O', 'P', 'Q', 'R', 'S', 'T',
            'U', 'V', 'W', 'X', 'Y', 'Z'>(),
    std::array<KeyRect, 9>{DigitKey<'1'>(), DigitKey<'2'>(), DigitKey<'3'>(), DigitKey<'4'>(), DigitKey<'5'>(),
                           DigitKey<'6'>(), DigitKey<'7'>(), DigitKey<'8'>(), DigitKey<'9'>()},
    std::array<KeyRect, 9>{{
        {{51, 582}, kDigitKey, Character<'.'>},
        {{90, 582}, kDigitKey, Character<'0'>},
        {{293, 582}, kDigitKey, Character<'/'>},
        {{130, 582}, kDigitKey, Key<PressSign>},
        {{252, 582}, kDigitKey, Key<PressDelete>, 36},
        {{332, 582}, kDigitKey, Key<PressClear>, 0, MOUSE_LEFTSINGLE_REPEAT},
        {{212, 582}, kDigitKey, Key<PressSpace>},
        {{318, 338}, kModeKey, Key<PressExec>},
        {{160, 100}, {92, 92}, host::PanelWindowToggleKey<kCduWindow>},
    }});

// The list: one enclosing parent of 0 x 0, each key a parent holding its
// child of the same box (D and DEL narrower or wider), the enclosing end.
constexpr std::size_t kMouseEntries = 1 + 3 * kKeys.size() + 2;

constexpr std::array<MOUSERECT, kMouseEntries> MakeMouseList() {
  std::array<MOUSERECT, kMouseEntries> list{};
  std::size_t n = 0;
  list[n++] = {MOUSE_RECT_PARENT, {0, 0}, {0, 0}, CURSOR_NONE, 0, nullptr};
  for (const KeyRect& k : kKeys) {
    PIXSIZE child = {k.child_width > 0 ? k.child_width : k.size.x, k.size.y};
    list[n++] = {MOUSE_RECT_PARENT, k.at, k.size, CURSOR_NONE, 0, nullptr};
    list[n++] = {MOUSE_RECT_CHILD, {0, 0}, child, CURSOR_HAND, k.flags, k.handler};
    list[n++] = {MOUSE_RECT_END_PARENT, {0, 0}, {0, 0}, CURSOR_NONE, 0, nullptr};
  }
  list[n++] = {MOUSE_RECT_END_PARENT, {0, 0}, {0, 0}, CURSOR_NONE, 0, nullptr};
  list[n++] = {MOUSE_RECT_EOL, {0, 0}, {0, 0}, CURSOR_NONE, 0, nullptr};
  return list;
}

std::array<MOUSERECT, kMouseEntries> cdu_mouse = MakeMouseList();

// ---- the callback ---------------------------------------------------------

void OpenIdentOnFirstInstall(GAUGEHDR* /*gauge*/) {
  if (fms_state.FmsPage == 0) fms_state.FmsPage = kPageIdent;
}

// EXEC is lit while a route or a change waits for it, MSG while a message
// is shown.
void ShowLamps(GAUGEHDR* gauge) {
  ELEMENT_HEADER* first = host::FirstElement(gauge);
  const std::int32_t state = flightplan::flightplan_state.RouteState;
  const bool exec = state == 2 || state == 4;
  const bool message = !model::model_state.PanelMessage.empty();
  for (auto [element, lit] : {std::pair{kExecLampElement, exec}, std::pair{kMessageLampElement, message}}) {
    if (lit) {
      host::ClearGaugeElementFlags(first, element, IMAGE_HIDDEN);
    } else {
      host::SetGaugeElementFlags(first, element, IMAGE_HIDDEN);
    }
  }
}

void DrawScreen(GAUGEHDR* /*gauge*/, ELEMENT_HEADER* screen, int /*variant*/) {
  DrawFmsCdu(fms_state.FmsDisplay, screen->image.dc, screen->image.size.x, screen->image.size.y);
}

constexpr host::GaugeForm CduForm(const char* log_line) {
  host::GaugeForm f = display::DisplayGaugeForm(log_line, display::StartFlightLog, host::DisplayForm::kAlways, 0,
                                                host::DrawElement::kFirstChild, DrawScreen);
  f.after_pre_install = OpenIdentOnFirstInstall;
  f.after_nav_database = [] { guidance::UpdateFlightLog(guidance::kLogInitialise); };
  f.pre_update = ShowLamps;
  return f;
}

constexpr host::GaugeForm kFmsForm = CduForm("smiths_fms_callback \n");
constexpr host::GaugeForm kFmsBrForm = CduForm("smiths_fms_br_callback \n");

void smiths_fms_callback(GAUGEHDR* gauge, std::int32_t service, std::uint32_t /*extra*/) {
  host::RunGaugeCallback(kFmsForm, gauge, service);
}
void smiths_fms_br_callback(GAUGEHDR* gauge, std::int32_t service, std::uint32_t /*extra*/) {
  host::RunGaugeCallback(kFmsBrForm, gauge, service);
}

// ---- elements: each gauge its own chain, the keypad picture first ----------

const FAILURE_RECORD kScreenFailures[] = {{21, 2}, {FAIL_NONE, 0}};

#define OVI_CDU_ELEMENTS(NAME, KEYPAD)                                                                      \
  ELEMENT_HEADER NAME##_msg = {.element_type = ELEMENT_TYPE_ICON, .resource_id = kMessageLampBitmap,        \
                               .position = {376, 434}, .image_size = {15, 97}, .image_flags = kLampFlags};  \
  ELEMENT_HEADER* NAME##_msg_list[] = {&NAME##_msg, nullptr};                                               \
  ELEMENT_HEADER NAME##_exec = {.element_type = ELEMENT_TYPE_ICON, .resource_id = kExecLampBitmap,          \
                                .position = {314, 336}, .image_size = {50, 36}, .image_flags = kLampFlags,  \
                                .next_element = NAME##_msg_list};                                           \
  ELEMENT_HEADER* NAME##_exec_list[] = {&NAME##_exec, nullptr};                                             \
  ELEMENT_HEADER NAME##_screen = {.element_type = ELEMENT_TYPE_STATIC_IMAGE, .resource_id = kScreenBitmap,  \
                                  .position = {66, 40}, .image_size = {284, 233},                           \
                                  .image_flags = IMAGE_CREATE_DIBSECTION | IMAGE_USE_BRIGHT,                \
                                  .next_element = NAME##_exec_list, .failures = kScreenFailures};           \
  ELEMENT_HEADER* NAME##_screen_list[] = {&NAME##_screen, nullptr};                                         \
  ELEMENT_HEADER NAME##_keypad = {.element_type = ELEMENT_TYPE_STATIC_IMAGE, .resource_id = KEYPAD,         \
                                  .image_size = kKeypadSize, .next_element = NAME##_screen_list};           \
  ELEMENT_HEADER* NAME##_elements[] = {&NAME##_keypad, nullptr};

OVI_CDU_ELEMENTS(fms, kGreyKeypadBitmap)
OVI_CDU_ELEMENTS(fms_br, kTanKeypadBitmap)

#undef OVI_CDU_ELEMENTS

}  // namespace

GAUGEHDR smiths_fms_gauge = {
    GAUGE_HEADER_VERSION, "SMITHS_FMS", fms_elements, smiths_fms_callback, 0, "", cdu_mouse.data(), kKeypadSize,
    nullptr,
};
GAUGEHDR smiths_fms_br_gauge = {
    GAUGE_HEADER_VERSION, "SMITHS_FMS_BR", fms_br_elements, smiths_fms_br_callback, 0, "", cdu_mouse.data(),
    kKeypadSize, nullptr,
};

}  // namespace ovi::fms
