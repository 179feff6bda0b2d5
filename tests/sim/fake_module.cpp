// A small gauge module for the tests of ovi-sim: three gauges that record
// the services they receive, call the panel services, and carry elements and
// mouse rectangles. It draws by writing pixels, without the drawing layer.
#include <cmath>
#include <cstdio>
#include <new>

#include <unistd.h>

#include <cstring>
#include <string>

#include "platform/gfx/device_context.h"
#include "platform/gfx/graphics.h"
#include "platform/ipc/ipc.h"
#include "platform/ipc/keyboard.h"
#include "tests/sim/fake_module.h"

#define EXPORT __attribute__((visibility("default")))

namespace {

FakeRecord record;

PANELS* Panels();

void Event(const char* fmt, unsigned a, unsigned b, unsigned c, unsigned d) {
  char buf[128];
  std::snprintf(buf, sizeof buf, fmt, a, b, c, d);
  record.events.emplace_back(buf);
}

double Token(std::uint32_t id) {
  MODULE_VAR v{};
  v.id = id;
  Panels()->lookup_var(&v);
  return v.value.n;
}

void RecordService(GAUGEHDR* g, std::int32_t service) {
  record.services.push_back(
      FakeServiceCall{g, g->gauge_name, g->parameters != nullptr ? g->parameters : "(null)", service});
}

// --- FAKE_DISPLAY ------------------------------------------------------------

void KeyHandler(std::uint32_t id, std::uint32_t value, void*) { Event("key 0x%X %u", id, value, 0, 0); }

std::int32_t ClickA(PIXPOINT* p, std::uint32_t flags) {
  Event("click A %u %u 0x%08X", static_cast<unsigned>(p->x), static_cast<unsigned>(p->y), flags, 0);
  return 7;
}
std::int32_t ClickRepeat(PIXPOINT* p, std::uint32_t flags) {
  Event("click R %u %u 0x%08X", static_cast<unsigned>(p->x), static_cast<unsigned>(p->y), flags, 0);
  return 0;
}
std::int32_t ClickRight(PIXPOINT*, std::uint32_t flags) {
  Event("click right 0x%08X", flags, 0, 0, 0);
  return 0;
}

ELEMENT_HEADER display_screen = {.position = {20, 10}, .image_size = {160, 80}};
ELEMENT_HEADER* display_children[] = {&display_screen, nullptr};
ELEMENT_HEADER display_root = {.resource_id = 9001, .image_size = {200, 100}, .next_element = display_children};
ELEMENT_HEADER* display_elements[] = {&display_root, nullptr};

MOUSERECT display_mouse[] = {
    {MOUSE_RECT_PARENT, {0, 0}, {200, 100}, CURSOR_NONE, 0, nullptr},
    {MOUSE_RECT_CHILD, {10, 10}, {40, 30}, CURSOR_HAND, MOUSE_LEFTSINGLE, ClickA},
    {MOUSE_RECT_CHILD, {100, 10}, {40, 30}, CURSOR_UPARROW, MOUSE_LEFTSINGLE_REPEAT, ClickRepeat},
    {MOUSE_RECT_CHILD, {10, 60}, {40, 30}, CURSOR_HAND, 0x80000000u, ClickRight},
    {MOUSE_RECT_EOL, {0, 0}, {0, 0}, CURSOR_NONE, 0, nullptr},
};

void DisplayCallback(GAUGEHDR* g, std::int32_t service, std::uint32_t) {
  RecordService(g, service);
  switch (service) {
    case PANEL_SERVICE_PRE_INSTALL:
      record.panels_bound_at_install = Panels() != nullptr;
      break;
    case PANEL_SERVICE_PRE_INITIALIZE: {
      record.latitude_at_init = Token(71) * 90.0 / 10001750.0;
      record.longitude_at_init = Token(72) * 360.0 / 281474976710656.0;
      MODULE_VAR v{};
      v.id = 47;
      Panels()->lookup_var(&v);
      record.nav1_ident_at_init = v.value.text != nullptr ? v.value.text : "(null)";
      break;
    }
    case PANEL_SERVICE_PRE_DRAW: {
      ELEMENT_HEADER* screen = g->elements_list[0]->next_element[0];
      ovi::gfx::DeviceContext* dc = screen->image.dc;
      if (dc != nullptr) {
        std::uint32_t colour = Token(773) >= 1.0 ? 0xFFFF0000u : 0xFF000000u;
        for (auto& px : dc->pixels) px = colour;
        record.draw_width = screen->image.size.x;
        record.draw_height = screen->image.size.y;
      }
      ++record.draws;
      screen->image_flags &= ~IMAGE_ON_SCREEN;
      break;
    }
    case PANEL_SERVICE_CONNECT_TO_WINDOW:
      Panels()->register_key_event_handler(KeyHandler, nullptr);
      Panels()->register_var_by_name(&record.fake_mem, VAR_TYPE_FLOAT64, "fake_mem");
      break;
    case PANEL_SERVICE_DISCONNECT:
      Panels()->unregister_key_event_handler(KeyHandler, nullptr);
      Panels()->unregister_var_by_name("fake_mem");
      break;
    default:
      break;
  }
}

GAUGEHDR display_gauge = {GAUGE_HEADER_VERSION, "FAKE_DISPLAY", display_elements, DisplayCallback, 0, nullptr,
                          display_mouse, {312, 0}, nullptr};

// --- FAKE_BUTTON ---------------------------------------------------------------

std::int32_t ButtonClick(PIXPOINT*, std::uint32_t) {
  std::int32_t r = Panels()->panel_window_toggle(4012);
  Event("button toggled 4012: %u", static_cast<unsigned>(r), 0, 0, 0);
  return r;
}

ELEMENT_HEADER button_lamp = {.resource_id = 9003, .position = {20, 10}, .image_size = {20, 20}, .image_flags = IMAGE_HIDDEN};
ELEMENT_HEADER* button_children[] = {&button_lamp, nullptr};
ELEMENT_HEADER button_root = {.resource_id = 9002, .image_size = {60, 40}, .next_element = button_children};
ELEMENT_HEADER* button_elements[] = {&button_root, nullptr};

MOUSERECT button_mouse[] = {
    {MOUSE_RECT_PARENT, {0, 0}, {60, 40}, CURSOR_NONE, 0, nullptr},
    {MOUSE_RECT_CHILD, {0, 0}, {60, 40}, CURSOR_HAND, MOUSE_LEFTSINGLE, ButtonClick},
    {MOUSE_RECT_EOL, {0, 0}, {0, 0}, CURSOR_NONE, 0, nullptr},
};

void ButtonCallback(GAUGEHDR* g, std::int32_t service, std::uint32_t) {
  RecordService(g, service);
  if (service != PANEL_SERVICE_PRE_UPDATE) return;
  std::int32_t id = Panels()->check_named_variable("fake_lamp");
  ELEMENT_HEADER* lamp = g->elements_list[0]->next_element[0];
  if (id >= 0 && Panels()->get_named_variable_value(id) != 0.0) {
    lamp->image_flags &= ~IMAGE_HIDDEN;
  } else {
    lamp->image_flags |= IMAGE_HIDDEN;
  }
}

GAUGEHDR button_gauge = {GAUGE_HEADER_VERSION, "FAKE_BUTTON", button_elements, ButtonCallback, 0, nullptr,
                         button_mouse, {0, 0}, nullptr};

// --- FAKE_SERVER ---------------------------------------------------------------

typedef void* (*ProviderEntry)(const char* token, std::uint32_t* result);

void ServerCallback(GAUGEHDR* g, std::int32_t service, std::uint32_t) {
  RecordService(g, service);
  switch (service) {
    case PANEL_SERVICE_POST_INSTALL: {
      MODULE_VAR v{};
      Panels()->initialize_var_by_name(&v, "FakeTrafficProvider");
      if (v.var_type == VAR_TYPE_FUNCTION && v.var_ptr != nullptr) {
        record.provider_result = reinterpret_cast<ProviderEntry>(v.var_ptr)("token", &record.provider_status);
      } else {
        record.provider_status = 1;
      }
      break;
    }
    case PANEL_SERVICE_POST_INITIALIZE: {
      double f = -1.0;
      std::int32_t i = -1;
      Panels()->execute_calculator_code("(A:DECISION HEIGHT,FEET)", &f, &i, nullptr);
      record.decision_height = f;
      record.dh_int = i;
      double u = -1.0;
      std::int32_t ui = -1;
      Panels()->execute_calculator_code("(A:NO SUCH THING,Number)", &u, &ui, nullptr);
      record.unknown_expression_result = ui;
      break;
    }
    case PANEL_SERVICE_PRE_UPDATE: {
      std::int32_t id = Panels()->check_named_variable("fake_cmd");
      if (id >= 0 && Panels()->get_named_variable_value(id) == 1.0) {
        Panels()->set_named_variable_value(id, 0.0);
        Panels()->trigger_key_event(0x101FA, 123);
      }
      if (std::int32_t s = Panels()->check_named_variable("fake_status"); s >= 0) {
        const int dropped = static_cast<int>(Panels()->get_named_variable_value(s));
        if (dropped > 0) record.status = {"first", "status log full, " + std::to_string(dropped) + " texts dropped"};
      }
      break;
    }
    case PANEL_SERVICE_CONNECT_TO_WINDOW:
      Panels()->register_named_variable("fake_server_active");
      break;
    case PANEL_SERVICE_DISCONNECT:
      Panels()->unregister_var_by_name("fake_server_active");
      break;
    default:
      break;
  }
}

GAUGEHDR server_gauge = {GAUGE_HEADER_VERSION, "FAKE_SERVER", nullptr, ServerCallback, 0, nullptr, nullptr, {0, 0},
                         nullptr};

// --- FAKE_CDU -------------------------------------------------------------------
// A keypad laid out as the instruments' are: an enclosing parent of 0 x 0,
// each key a parent holding its child, a block of keys inside a parent of its
// own, two knobs of which the second lies inside the first.

void CduEvent(const char* key, PIXPOINT* p, std::uint32_t flags) {
  char buf[128];
  std::snprintf(buf, sizeof buf, "cdu %s %d %d 0x%08X", key, p->x, p->y, flags);
  record.events.emplace_back(buf);
}

std::int32_t CduA(PIXPOINT* p, std::uint32_t f) {
  CduEvent("A", p, f);
  record.scratchpad += 'A';
  return 0;
}
std::int32_t CduB(PIXPOINT* p, std::uint32_t f) {
  CduEvent("B", p, f);
  record.scratchpad += 'B';
  return 0;
}
std::int32_t CduC(PIXPOINT* p, std::uint32_t f) {
  CduEvent("C", p, f);
  record.scratchpad += 'C';
  return 0;
}
std::int32_t CduClear(PIXPOINT* p, std::uint32_t f) {
  CduEvent("CLR", p, f);
  if (!record.scratchpad.empty()) record.scratchpad.pop_back();
  return 0;
}
std::int32_t CduModeDown(PIXPOINT* p, std::uint32_t f) {
  CduEvent("MODE-", p, f);
  --record.mode;
  return 0;
}
std::int32_t CduModeUp(PIXPOINT* p, std::uint32_t f) {
  CduEvent("MODE+", p, f);
  ++record.mode;
  return 0;
}
std::int32_t CduRangeDown(PIXPOINT* p, std::uint32_t f) {
  CduEvent("RANGE-", p, f);
  --record.range;
  return 0;
}
std::int32_t CduRangeUp(PIXPOINT* p, std::uint32_t f) {
  CduEvent("RANGE+", p, f);
  ++record.range;
  return 0;
}

// Keyboard entry as the MCU does it: a device polled once a frame, and a hook
// that keeps S, G and Z typed without a modifier from the simulator.
const OviKeyboardTable& Kb() { return ovi::ipc::Keyboard(); }
std::uintptr_t kb_input = 0, kb_device = 0, kb_hook = 0;
std::uint8_t kb_previous[256] = {};

std::intptr_t CduHook(std::int32_t code, std::uintptr_t key, std::intptr_t data) {
  ++record.hook_calls;
  auto down = [](int vk) { return (Kb().key_state(vk) & 0x8000) != 0; };
  if (code >= 0 && !down(0x10) && !down(0x11) && !down(0x12) &&
      (Kb().key_state('S') != 0 || Kb().key_state('G') != 0 || Kb().key_state('Z') != 0)) {
    ++record.hook_discards;
    return 1;
  }
  return Kb().call_next_hook(kb_hook, code, key & 0xFFFF, data);
}

std::string ModuleFile() {
  char cwd[260] = {};
  if (getcwd(cwd, sizeof cwd) == nullptr) return "";
  return std::string(cwd) + "\\GAUGES\\fake_module.gau";
}

void KeyboardOff() {
  record.keyboard_entry = false;
  if (kb_hook != 0) Kb().unhook(kb_hook);
  kb_hook = 0;
  if (kb_device != 0) {
    Kb().unacquire(kb_device);
    Kb().release(kb_device);
  }
  if (kb_input != 0) Kb().release(kb_input);
  kb_device = kb_input = 0;
}

void KeyboardOn() {
  record.keyboard_entry = true;
  std::string file = ModuleFile();
  std::uintptr_t module = Kb().module_handle(file.c_str());
  std::uintptr_t window = ovi::ipc::FindWindowByClass(ovi::ipc::kSimulatorWindowClass);
  kb_hook = Kb().set_hook(ovi::ipc::kKeyboardHook, CduHook, module, Kb().current_thread());
  auto fail = [](const char* what) {
    if (record.keyboard_status.empty()) record.keyboard_status = what;
  };
  if (Kb().create_input(module, ovi::ipc::kInputVersion, &kb_input) != 0) return fail("input failed");
  if (Kb().create_keyboard(kb_input, &kb_device) != 0) return fail("device failed");
  if (Kb().set_data_format(kb_device, ovi::ipc::kKeyboardDataFormat) != 0) return fail("format failed");
  if (Kb().set_cooperative_level(kb_device, window, ovi::ipc::kCooperativeNonExclusiveForeground) != 0)
    return fail("level failed");
  Kb().acquire(kb_device);
  std::memset(kb_previous, 0, sizeof kb_previous);
}

std::int32_t CduKbd(PIXPOINT* p, std::uint32_t f) {
  CduEvent("KBD", p, f);
  if (record.keyboard_entry) {
    KeyboardOff();
  } else {
    KeyboardOn();
  }
  return 0;
}

constexpr std::size_t kEntryWidth = 7;

void PollKeyboard() {
  if (kb_device == 0) return;
  std::uint8_t now[256];
  ++record.polls;
  if (Kb().get_state(kb_device, sizeof now, now) != 0) {
    ++record.lost_polls;
    for (int tries = 0; tries < 8 && Kb().acquire(kb_device) == ovi::ipc::kInputLost; ++tries) {
    }
    return;
  }
  auto pressed = [&](int scan) { return (now[scan] & 0x80) != 0 && (kb_previous[scan] & 0x80) == 0; };
  bool modifier = ((now[0x2A] | now[0x36] | now[0x1D] | now[0x9D] | now[0x38]) & 0x80) != 0;
  static const std::uint8_t kLetters[26] = {0x1E, 0x30, 0x2E, 0x20, 0x12, 0x21, 0x22, 0x23, 0x17,
                                            0x24, 0x25, 0x26, 0x32, 0x31, 0x18, 0x19, 0x10, 0x13,
                                            0x1F, 0x14, 0x16, 0x2F, 0x11, 0x2D, 0x15, 0x2C};
  if (!modifier) {
    for (int i = 0; i < 26; ++i)
      if (pressed(kLetters[i]) && record.entry.size() < kEntryWidth) record.entry += static_cast<char>('A' + i);
    for (int d = 0; d < 10; ++d) {
      int scan = d == 0 ? 0x0B : 0x01 + d;
      if (pressed(scan) && record.entry.size() < kEntryWidth) record.entry += static_cast<char>('0' + d);
    }
  }
  if ((now[0x0E] & 0x80) != 0 && !record.entry.empty()) record.entry.pop_back();
  std::memcpy(kb_previous, now, sizeof now);
  if (((now[0x1C] | now[0x9C]) & 0x80) != 0) {
    ++record.entries_done;
    KeyboardOff();
  }
}

// The "ON" label: shown with its text while keyboard entry is on.
double CduOnLabel(ELEMENT_HEADER* e) {
  ++record.label_updates;
  if (record.keyboard_entry) {
    e->image_flags &= ~IMAGE_HIDDEN;
    std::snprintf(e->string.text, e->string.max_length + 1, "%s", "ON");
  } else {
    e->image_flags |= IMAGE_HIDDEN;
  }
  return std::trunc(e->string.value);
}

ELEMENT_HEADER cdu_label = {.element_type = ELEMENT_TYPE_STRING,
                            .position = {240, 40},
                            .image_size = {40, 16},
                            .image_flags = IMAGE_HIDDEN,
                            .string = {.update = CduOnLabel,
                                       .max_length = 4,
                                       .value = 7.9,
                                       .font = "Arial",
                                       .font_height = 12,
                                       .font_weight = 700,
                                       .fore_colour = 0xFF00FA00u,
                                       .back_colour = 0xFF000000u}};
ELEMENT_HEADER* cdu_label_list[] = {&cdu_label, nullptr};
ELEMENT_HEADER cdu_exec = {.element_type = ELEMENT_TYPE_ICON,
                           .resource_id = 9102,
                           .position = {240, 20},
                           .image_size = {20, 10},
                           .image_flags = 0x40000003u,
                           .next_element = cdu_label_list};
ELEMENT_HEADER* cdu_exec_list[] = {&cdu_exec, nullptr};
const FAILURE_RECORD cdu_failures[] = {{21, 2}, {FAIL_NONE, 0}};
ELEMENT_HEADER cdu_screen = {.position = {20, 10},
                             .image_size = {200, 60},
                             .image_flags = 0x24,
                             .next_element = cdu_exec_list,
                             .failures = cdu_failures};
ELEMENT_HEADER* cdu_screen_list[] = {&cdu_screen, nullptr};
ELEMENT_HEADER cdu_root = {.resource_id = 9101, .image_size = {300, 200}, .next_element = cdu_screen_list};
ELEMENT_HEADER* cdu_elements[] = {&cdu_root, nullptr};

MOUSERECT cdu_mouse[] = {
    {MOUSE_RECT_PARENT, {0, 0}, {0, 0}, CURSOR_NONE, 0, nullptr},
    {MOUSE_RECT_PARENT, {100, 100}, {90, 40}, CURSOR_NONE, 0, nullptr},
    {MOUSE_RECT_PARENT, {0, 0}, {30, 20}, CURSOR_NONE, 0, nullptr},
    {MOUSE_RECT_CHILD, {0, 0}, {30, 20}, CURSOR_HAND, MOUSE_LEFTSINGLE, CduA},
    {MOUSE_RECT_END_PARENT, {0, 0}, {0, 0}, CURSOR_NONE, 0, nullptr},
    {MOUSE_RECT_PARENT, {30, 0}, {30, 20}, CURSOR_NONE, 0, nullptr},
    {MOUSE_RECT_CHILD, {0, 0}, {30, 20}, CURSOR_HAND, MOUSE_LEFTSINGLE, CduB},
    {MOUSE_RECT_END_PARENT, {0, 0}, {0, 0}, CURSOR_NONE, 0, nullptr},
    {MOUSE_RECT_PARENT, {60, 0}, {30, 20}, CURSOR_NONE, 0, nullptr},
    {MOUSE_RECT_CHILD, {0, 0}, {20, 20}, CURSOR_HAND, MOUSE_LEFTSINGLE, CduC},
    {MOUSE_RECT_END_PARENT, {0, 0}, {0, 0}, CURSOR_NONE, 0, nullptr},
    {MOUSE_RECT_END_PARENT, {0, 0}, {0, 0}, CURSOR_NONE, 0, nullptr},
    {MOUSE_RECT_PARENT, {100, 140}, {60, 30}, CURSOR_NONE, 0, nullptr},
    {MOUSE_RECT_CHILD, {0, 0}, {60, 30}, CURSOR_HAND, MOUSE_LEFTSINGLE_REPEAT, CduClear},
    {MOUSE_RECT_END_PARENT, {0, 0}, {0, 0}, CURSOR_NONE, 0, nullptr},
    {MOUSE_RECT_PARENT, {200, 100}, {68, 46}, CURSOR_NONE, 0, nullptr},
    {MOUSE_RECT_CHILD, {0, 0}, {34, 46}, CURSOR_DOWNARROW, MOUSE_LEFTSINGLE, CduModeDown},
    {MOUSE_RECT_CHILD, {35, 0}, {34, 46}, CURSOR_UPARROW, MOUSE_LEFTSINGLE, CduModeUp},
    {MOUSE_RECT_END_PARENT, {0, 0}, {0, 0}, CURSOR_NONE, 0, nullptr},
    {MOUSE_RECT_PARENT, {217, 100}, {34, 46}, CURSOR_NONE, 0, nullptr},
    {MOUSE_RECT_CHILD, {0, 0}, {17, 46}, CURSOR_DOWNARROW, MOUSE_LEFTSINGLE, CduRangeDown},
    {MOUSE_RECT_CHILD, {17, 0}, {17, 46}, CURSOR_UPARROW, MOUSE_LEFTSINGLE, CduRangeUp},
    {MOUSE_RECT_END_PARENT, {0, 0}, {0, 0}, CURSOR_NONE, 0, nullptr},
    {MOUSE_RECT_PARENT, {20, 10}, {200, 60}, CURSOR_NONE, 0, nullptr},
    {MOUSE_RECT_CHILD, {0, 0}, {200, 60}, CURSOR_HAND, MOUSE_LEFTSINGLE, CduKbd},
    {MOUSE_RECT_END_PARENT, {0, 0}, {0, 0}, CURSOR_NONE, 0, nullptr},
    {MOUSE_RECT_END_PARENT, {0, 0}, {0, 0}, CURSOR_NONE, 0, nullptr},
    {MOUSE_RECT_EOL, {0, 0}, {0, 0}, CURSOR_NONE, 0, nullptr},
};

// The screen shows the scratchpad and the typed entry on a 200 x 60 canvas.
void DrawCdu(ELEMENT_HEADER* screen) {
  using namespace ovi::gfx;
  if (screen->image.dc == nullptr) return;
  Graphics g(screen->image.dc);
  g.Clear(Color(0xFF000000u));
  g.ScaleTransform(static_cast<REAL>(screen->image.size.x / 200.0), static_cast<REAL>(screen->image.size.y / 60.0));
  Font font("Courier New", 14, FontStyleRegular, Unit::Pixel);
  SolidBrush green(Color(0xFF00FA00u)), white(Color(0xFFDEE6E9u));
  g.DrawString("SP " + record.scratchpad, font, PointF(5, 5), green);
  if (record.keyboard_entry || !record.entry.empty()) g.DrawString("KB " + record.entry, font, PointF(5, 30), white);
}

void CduCallback(GAUGEHDR* g, std::int32_t service, std::uint32_t) {
  RecordService(g, service);
  ELEMENT_HEADER* screen = g->elements_list[0]->next_element[0];
  ELEMENT_HEADER* exec = screen->next_element[0];
  switch (service) {
    case PANEL_SERVICE_PRE_UPDATE:
      if (record.scratchpad.empty()) {
        exec->image_flags |= IMAGE_HIDDEN;
      } else {
        exec->image_flags &= ~IMAGE_HIDDEN;
      }
      break;
    case PANEL_SERVICE_PRE_DRAW:
      if (record.keyboard_entry) PollKeyboard();
      DrawCdu(screen);
      screen->image_flags &= ~IMAGE_ON_SCREEN;
      break;
    case PANEL_SERVICE_DISCONNECT:
      KeyboardOff();
      break;
    default:
      break;
  }
}

GAUGEHDR cdu_gauge = {GAUGE_HEADER_VERSION, "FAKE_CDU", cdu_elements, CduCallback, 0, nullptr, cdu_mouse, {0, 0},
                      nullptr};

// --- Faulty gauges ----------------------------------------------------------------
// Lists a careless module could hand over: the host must stop at its limits.

std::int32_t Faulty(PIXPOINT*, std::uint32_t) {
  Event("faulty", 0, 0, 0, 0);
  return 0;
}

// No end entry anywhere in reach (filled at load: every entry a child).
MOUSERECT no_end_mouse[1100];
// Parents opened deeper than any instrument needs.
MOUSERECT deep_mouse[24];
// A parent closed that was never opened, after one good key.
MOUSERECT stray_end_mouse[] = {
    {MOUSE_RECT_PARENT, {10, 10}, {20, 20}, CURSOR_NONE, 0, nullptr},
    {MOUSE_RECT_CHILD, {0, 0}, {20, 20}, CURSOR_HAND, MOUSE_LEFTSINGLE, Faulty},
    {MOUSE_RECT_END_PARENT, {0, 0}, {0, 0}, CURSOR_NONE, 0, nullptr},
    {MOUSE_RECT_END_PARENT, {0, 0}, {0, 0}, CURSOR_NONE, 0, nullptr},
    {MOUSE_RECT_CHILD, {40, 40}, {20, 20}, CURSOR_HAND, MOUSE_LEFTSINGLE, Faulty},
    {MOUSE_RECT_EOL, {0, 0}, {0, 0}, CURSOR_NONE, 0, nullptr},
};

// An element tree whose third element links back to the first.
ELEMENT_HEADER cycle_c = {.resource_id = 9103, .position = {10, 10}, .image_size = {10, 10}};
ELEMENT_HEADER* cycle_c_list[] = {&cycle_c, nullptr};
ELEMENT_HEADER cycle_b = {.position = {5, 5}, .image_size = {20, 20}, .next_element = cycle_c_list};
ELEMENT_HEADER* cycle_b_list[] = {&cycle_b, nullptr};
ELEMENT_HEADER cycle_a = {.resource_id = 9101, .image_size = {100, 50}, .next_element = cycle_b_list};
ELEMENT_HEADER* cycle_back[] = {&cycle_a, nullptr};
ELEMENT_HEADER* cycle_elements[] = {&cycle_a, nullptr};

void QuietCallback(GAUGEHDR* g, std::int32_t service, std::uint32_t) { RecordService(g, service); }

GAUGEHDR no_end_gauge = {GAUGE_HEADER_VERSION, "FAKE_NO_END", nullptr, QuietCallback, 0, nullptr, no_end_mouse,
                         {100, 100}, nullptr};
GAUGEHDR deep_gauge = {GAUGE_HEADER_VERSION, "FAKE_DEEP", nullptr, QuietCallback, 0, nullptr, deep_mouse,
                       {100, 100}, nullptr};
GAUGEHDR stray_end_gauge = {GAUGE_HEADER_VERSION, "FAKE_STRAY_END", nullptr, QuietCallback, 0, nullptr,
                            stray_end_mouse, {100, 100}, nullptr};
GAUGEHDR cycle_gauge = {GAUGE_HEADER_VERSION, "FAKE_CYCLE", cycle_elements, QuietCallback, 0, nullptr, nullptr,
                        {0, 0}, nullptr};

GAUGEHDR* gauge_table[] = {&display_gauge, &button_gauge, &server_gauge, &cdu_gauge, &no_end_gauge,
                           &deep_gauge,    &stray_end_gauge, &cycle_gauge, nullptr};

void Init() {
  for (MOUSERECT& r : no_end_mouse) r = {MOUSE_RECT_CHILD, {0, 0}, {5, 5}, CURSOR_HAND, MOUSE_LEFTSINGLE, Faulty};
  // Twenty parents, each 1 pixel in from the one before, then a key in the
  // innermost; the seventeenth parent is one too deep.
  for (int i = 0; i < 20; ++i) deep_mouse[i] = {MOUSE_RECT_PARENT, {1, 1}, {50, 50}, CURSOR_NONE, 0, nullptr};
  deep_mouse[20] = {MOUSE_RECT_CHILD, {0, 0}, {5, 5}, CURSOR_HAND, MOUSE_LEFTSINGLE, Faulty};
  deep_mouse[21] = {MOUSE_RECT_EOL, {0, 0}, {0, 0}, CURSOR_NONE, 0, nullptr};
  cycle_c.next_element = cycle_back;
}
void Deinit() {}

}  // namespace

extern "C" {

EXPORT IMPORT_TABLE ImportTable = {{0x0000000F, nullptr}, {0x00000000, nullptr}};
EXPORT GAUGESLINKAGE Linkage = {MODULE_ID, Init, Deinit, 0, MODULE_VERSION_FS2004, gauge_table};

EXPORT FakeRecord* FakeModuleRecord() { return &record; }

EXPORT int OviStatusMessageCount() { return static_cast<int>(record.status.size()); }
EXPORT const char* OviStatusMessage(int i) {
  return i >= 1 && i <= static_cast<int>(record.status.size()) ? record.status[static_cast<std::size_t>(i - 1)].c_str()
                                                                 : nullptr;
}

EXPORT void FakeModuleReset() {
  record.~FakeRecord();
  new (&record) FakeRecord();
  button_lamp.image_flags = IMAGE_HIDDEN;
  KeyboardOff();
  cdu_exec.image_flags = 0x40000003u;
  cdu_label.image_flags = IMAGE_HIDDEN;
  cdu_label.string.value = 7.9;
  cdu_screen.image_flags = 0x24;
  display_screen.image_flags = 0;
  display_root.image_flags = 0;
}

}  // extern "C"

namespace {
PANELS* Panels() { return ImportTable.panels_entry.panels; }
}  // namespace
