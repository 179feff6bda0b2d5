// A small gauge module for the tests of ovi-sim: three gauges that record
// the services they receive, call the panel services, and carry elements and
// mouse rectangles. It draws by writing pixels, without the drawing layer.
#include <cmath>
#include <cstdio>
#include <new>

#include "platform/gfx/device_context.h"
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

ELEMENT_HEADER display_screen = {ELEMENT_TYPE_STATIC_IMAGE, 0, {20, 10}, {160, 80}, 0, nullptr, {}, {}, {}, nullptr};
ELEMENT_HEADER* display_children[] = {&display_screen, nullptr};
ELEMENT_HEADER display_root = {ELEMENT_TYPE_STATIC_IMAGE, 9001, {0, 0}, {200, 100}, 0, display_children, {}, {}, {}, nullptr};
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

ELEMENT_HEADER button_lamp = {ELEMENT_TYPE_STATIC_IMAGE, 9003, {20, 10}, {20, 20}, IMAGE_HIDDEN, nullptr, {}, {}, {}, nullptr};
ELEMENT_HEADER* button_children[] = {&button_lamp, nullptr};
ELEMENT_HEADER button_root = {ELEMENT_TYPE_STATIC_IMAGE, 9002, {0, 0}, {60, 40}, 0, button_children, {}, {}, {}, nullptr};
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
      break;
    }
    case PANEL_SERVICE_CONNECT_TO_WINDOW:
      Panels()->register_named_variable("fake_server_active");
      break;
    default:
      break;
  }
}

GAUGEHDR server_gauge = {GAUGE_HEADER_VERSION, "FAKE_SERVER", nullptr, ServerCallback, 0, nullptr, nullptr, {0, 0},
                         nullptr};

GAUGEHDR* gauge_table[] = {&display_gauge, &button_gauge, &server_gauge, nullptr};

void Init() {}
void Deinit() {}

}  // namespace

extern "C" {

EXPORT IMPORT_TABLE ImportTable = {{0x0000000F, nullptr}, {0x00000000, nullptr}};
EXPORT GAUGESLINKAGE Linkage = {MODULE_ID, Init, Deinit, 0, MODULE_VERSION_FS2004, gauge_table};

EXPORT FakeRecord* FakeModuleRecord() { return &record; }

EXPORT void FakeModuleReset() {
  record.~FakeRecord();
  new (&record) FakeRecord();
  button_lamp.image_flags = IMAGE_HIDDEN;
  display_screen.image_flags = 0;
  display_root.image_flags = 0;
}

}  // extern "C"

namespace {
PANELS* Panels() { return ImportTable.panels_entry.panels; }
}  // namespace
