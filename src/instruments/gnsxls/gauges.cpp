#include "src/instruments/gnsxls/gauges.h"

#include <array>
#include <cstdint>

#include "src/display/display_gauge.h"
#include "src/host/gauge_skeleton.h"
#include "src/host/panel_services.h"
#include "src/instruments/gnsxls/enter_key.h"
#include "src/instruments/gnsxls/keypad.h"
#include "src/instruments/gnsxls/screen.h"
#include "src/instruments/gnsxls/state.h"
#include "src/navdb/entry_state.h"

namespace ovi::gnsxls {

namespace {

constexpr PIXSIZE kBezelSize = {550, 433};
constexpr PIXSIZE kScreenSize = {292, 217};
constexpr PIXPOINT kScreenPosition = {90, 57};
constexpr std::uint32_t kScreenFlags = IMAGE_CREATE_DIBSECTION | IMAGE_USE_BRIGHT;  // 0x24

// ---- keys ---------------------------------------------------------------------

template <void (*Press)()>
constexpr MouseHandler Key = host::KeyHandler<Press>;
template <std::int32_t Line>
constexpr MouseHandler LineKey = host::KeyHandler<PressLineKey, Line>;
template <char C>
constexpr MouseHandler Character = host::KeyHandler<TypeCharacter, C>;

struct KeyRect {
  PIXPOINT at;
  PIXSIZE size;
  MouseHandler handler;
};

constexpr PIXSIZE kPageKey = {36, 28};
constexpr PIXSIZE kLineKeySize = {24, 17};
constexpr PIXSIZE kSideKey = {30, 38};
constexpr PIXSIZE kLetterKey = {36, 30};
constexpr PIXSIZE kDigitKey = {30, 36};
constexpr std::int32_t kLineKeyY[5] = {70, 115, 160, 204, 247};
constexpr std::int32_t kDigitX[3] = {428, 462, 498};
constexpr std::int32_t kDigitY[4] = {84, 130, 174, 218};

template <std::int32_t Line>
constexpr KeyRect LeftLineKey() {
  return {{Line == 5 ? 57 : 60, kLineKeyY[Line - 1]}, kLineKeySize, LineKey<Line>};
}

template <std::int32_t Line>
constexpr KeyRect RightLineKey() {
  return {{390, kLineKeyY[Line - 6]}, kLineKeySize, LineKey<Line>};
}

template <char C>
constexpr KeyRect DigitKey() {
  constexpr int i = C == '0' ? 10 : C - '1';  // 0 sits beside "#", under 8
  return {{kDigitX[i % 3], kDigitY[i / 3]}, kDigitKey, Character<C>};
}

// The keys in the order of the gauges' lists: page keys, line keys, the
// side keys, ENT, CLR, the letters row by row, the digits, "#" and 0.
constexpr std::array<KeyRect, kKeyRectangles> kKeys = {{
    {{55, 11}, kPageKey, Key<PressNav>},
    {{99, 11}, kPageKey, Key<PressVnav>},
    {{188, 11}, kPageKey, Key<PressFpl>},
    {{363, 11}, kPageKey, Key<PressPlan>},
    {{428, 48}, kPageKey, Key<PressHold>},
    LeftLineKey<1>(), LeftLineKey<2>(), LeftLineKey<3>(), LeftLineKey<4>(), LeftLineKey<5>(),
    RightLineKey<6>(), RightLineKey<7>(), RightLineKey<8>(), RightLineKey<9>(), RightLineKey<10>(),
    {{18, 140}, kSideKey, Key<PressPrevPage>},
    {{18, 185}, kSideKey, Key<PressNextPage>},
    {{18, 228}, kSideKey, Key<PressDirect>},
    {{242, 310}, {62, 30}, GnsXlsEnterKey},
    {{430, 262}, {34, 26}, Key<PressClear>},
    {{48, 310}, kLetterKey, Character<'A'>},  {{94, 310}, kLetterKey, Character<'B'>},
    {{138, 310}, kLetterKey, Character<'C'>}, {{184, 310}, kLetterKey, Character<'D'>},
    {{322, 310}, kLetterKey, Character<'E'>}, {{368, 310}, kLetterKey, Character<'F'>},
    {{414, 310}, kLetterKey, Character<'G'>}, {{460, 310}, kLetterKey, Character<'H'>},
    {{48, 350}, kLetterKey, Character<'I'>},  {{94, 350}, kLetterKey, Character<'J'>},
    {{138, 350}, kLetterKey, Character<'K'>}, {{184, 350}, kLetterKey, Character<'L'>},
    {{230, 350}, kLetterKey, Character<'M'>}, {{276, 350}, kLetterKey, Character<'N'>},
    {{322, 350}, kLetterKey, Character<'O'>}, {{368, 350}, kLetterKey, Character<'P'>},
    {{414, 350}, kLetterKey, Character<'Q'>}, {{460, 350}, kLetterKey, Character<'R'>},
    {{48, 392}, kLetterKey, Character<'S'>},  {{94, 392}, kLetterKey, Character<'T'>},
    {{138, 392}, kLetterKey, Character<'U'>}, {{184, 392}, kLetterKey, Character<'V'>},
    {{230, 392}, kLetterKey, Character<'W'>}, {{276, 392}, kLetterKey, Character<'X'>},
    {{322, 392}, kLetterKey, Character<'Y'>}, {{368, 392}, kLetterKey, Character<'Z'>},
    {{414, 392}, kLetterKey, Character<'*'>},
    DigitKey<'1'>(), DigitKey<'2'>(), DigitKey<'3'>(), DigitKey<'4'>(), DigitKey<'5'>(),
    DigitKey<'6'>(), DigitKey<'7'>(), DigitKey<'8'>(), DigitKey<'9'>(),
    {{428, 218}, kDigitKey, Character<'#'>},
    DigitKey<'0'>(),
}};

// One parent over the bezel, a child per key, the window rectangle on
// GNSXLS only, the end of the list.
template <bool WithWindow>
constexpr auto MakeMouseList() {
  constexpr std::size_t n = 1 + kKeyRectangles + (WithWindow ? 1 : 0) + 1;
  std::array<MOUSERECT, n> list{};
  std::size_t i = 0;
  list[i++] = {MOUSE_RECT_PARENT, {0, 0}, kBezelSize, CURSOR_NONE, 0, nullptr};
  for (const KeyRect& k : kKeys) list[i++] = {MOUSE_RECT_CHILD, k.at, k.size, CURSOR_HAND, MOUSE_LEFTSINGLE, k.handler};
  if (WithWindow) {
    list[i++] = {MOUSE_RECT_CHILD, {190, 101}, {80, 80}, CURSOR_HAND, MOUSE_LEFTSINGLE, host::TogglePanelWindow4004};
  }
  list[i++] = {MOUSE_RECT_EOL, {0, 0}, {0, 0}, CURSOR_NONE, 0, nullptr};
  return list;
}

auto gnsxls_mouse = MakeMouseList<true>();
auto gnsxls_lm_mouse = MakeMouseList<false>();

// ---- the callbacks ---------------------------------------------------------

// Every install shows the stored flight plan list, page 1; only GNSXLS
// closes a stored plan opened on it.
void ResetPageMachine() {
  State& s = gnsxls_state;
  s.GnsXlsFplView = kViewStored;
  s.GnsXlsPage = kPageFlightPlan;
  s.GnsActivePlanPage = 1;
  s.GnsPlanListPage = 1;
}

void DrawScreen(GAUGEHDR* /*gauge*/, ELEMENT_HEADER* screen, int /*variant*/) {
  DrawGnsxlsScreen(gnsxls_state.GnsXlsDisplay, screen->image.dc, screen->image.size.x, screen->image.size.y);
}

constexpr host::GaugeForm GnsxlsForm(const char* log_line, void (*after_pre_install)(GAUGEHDR*)) {
  host::GaugeForm f = display::DisplayGaugeForm(log_line, display::StartFlightLog, host::DisplayForm::kAlways, 0,
                                                host::DrawElement::kFirstChild, DrawScreen);
  f.after_pre_install = after_pre_install;
  return f;
}

constexpr host::GaugeForm kGnsxlsForm = GnsxlsForm("gnsxls_callback \n", [](GAUGEHDR*) {
  ResetPageMachine();
  navdb::entry_state.PendingPlanOpen = 0;
});
constexpr host::GaugeForm kGnsxlsLmForm = GnsxlsForm("gnsxls_lm_callback \n", [](GAUGEHDR*) { ResetPageMachine(); });

void gnsxls_callback(GAUGEHDR* gauge, std::int32_t service, std::uint32_t /*extra*/) {
  host::RunGaugeCallback(kGnsxlsForm, gauge, service);
}
void gnsxls_lm_callback(GAUGEHDR* gauge, std::int32_t service, std::uint32_t /*extra*/) {
  host::RunGaugeCallback(kGnsxlsLmForm, gauge, service);
}

// ---- elements: each gauge its own chain, the bezel first -------------------

const FAILURE_RECORD kScreenFailures[] = {{21, 2}, {FAIL_NONE, 0}};

#define OVI_GNSXLS_ELEMENTS(NAME, BEZEL_FLAGS)                                                                 \
  ELEMENT_HEADER NAME##_screen = {.element_type = ELEMENT_TYPE_STATIC_IMAGE, .resource_id = kScreenBitmap,     \
                                  .position = kScreenPosition, .image_size = kScreenSize,                      \
                                  .image_flags = kScreenFlags, .failures = kScreenFailures};                   \
  ELEMENT_HEADER* NAME##_screen_list[] = {&NAME##_screen, nullptr};                                            \
  ELEMENT_HEADER NAME##_bezel = {.element_type = ELEMENT_TYPE_STATIC_IMAGE, .resource_id = kBezelBitmap,       \
                                 .image_size = kBezelSize, .image_flags = BEZEL_FLAGS,                         \
                                 .next_element = NAME##_screen_list};                                          \
  ELEMENT_HEADER* NAME##_elements[] = {&NAME##_bezel, nullptr};

OVI_GNSXLS_ELEMENTS(gnsxls, 0)
OVI_GNSXLS_ELEMENTS(gnsxls_lm, IMAGE_LUMINOUS)

#undef OVI_GNSXLS_ELEMENTS

}  // namespace

GAUGEHDR gnsxls_gauge = {
    GAUGE_HEADER_VERSION, "GNSXLS", gnsxls_elements, gnsxls_callback, 0, "", gnsxls_mouse.data(), kBezelSize,
    nullptr,
};
GAUGEHDR gnsxls_lm_gauge = {
    GAUGE_HEADER_VERSION, "GNSXLS_LM", gnsxls_lm_elements, gnsxls_lm_callback, 0, "", gnsxls_lm_mouse.data(),
    kBezelSize, nullptr,
};

}  // namespace ovi::gnsxls
