#include "sim/simulator.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdarg>
#include <cstring>
#include <filesystem>

#include "platform/gfx/image_io.h"
#include "platform/ipc/ipc.h"
#include "platform/ipc/keyboard.h"
#include "sim/elements.h"
#include "src/util/text.h"

namespace ovi::sim {

namespace {

constexpr int kMaxSurface = 4096;
constexpr std::uint32_t kMaxStringLength = 255;
constexpr int kMaxNamedVariables = 4096;
constexpr std::size_t kMaxVariableName = 255;
constexpr int kMaxKeyEventDepth = 8;

// The one simulator whose services the loaded module calls.
Simulator* g_sim = nullptr;

void SvcLookupVar(MODULE_VAR* var) {
  if (g_sim != nullptr) g_sim->LookupVar(var);
}
constexpr std::int32_t kUnitPercent = 1;  // the first of SvcGetUnitsEnum's units
double SvcAircraftVarget(std::uint32_t simvar, std::int32_t units, std::int32_t) {
  // The slats (98, 99) are the only aircraft variables kept.
  return g_sim != nullptr ? AircraftVariable(g_sim->aircraft(), simvar, units == kUnitPercent) : 0.0;
}
std::int32_t SvcGetUnitsEnum(const char* name) {
  if (name == nullptr) return -1;
  static const char* const units[] = {"percent", "feet", "knots", "degrees", "radians", "number", "bool", "enum"};
  for (std::size_t i = 0; i < sizeof units / sizeof units[0]; ++i)
    if (util::EqualsIgnoreCase(std::string_view(name, strnlen(name, 64)), units[i])) return static_cast<std::int32_t>(i + 1);
  return -1;
}
std::int32_t SvcExecuteCalculator(const char* code, double* f, std::int32_t* i, const char** s) {
  return g_sim != nullptr ? g_sim->ExecuteCalculator(code, f, i, s) : 0;
}
void SvcTriggerKeyEvent(std::uint32_t id, std::uint32_t value) {
  if (g_sim != nullptr) g_sim->SendKeyEvent(id, value, "module");
}
void SvcRegisterVarByName(void* storage, std::uint32_t type, const char* name) {
  if (g_sim != nullptr) g_sim->RegisterVarByName(storage, type, name);
}
void SvcInitializeVarByName(MODULE_VAR* var, const char* name) {
  if (g_sim != nullptr) g_sim->InitializeVarByName(var, name);
}
void SvcUnregisterVarByName(const char* name) {
  if (g_sim != nullptr) g_sim->UnregisterVarByName(name);
}
std::int32_t SvcRegisterNamedVariable(const char* name) {
  return g_sim != nullptr ? g_sim->RegisterNamedVariable(name) : -1;
}
std::int32_t SvcCheckNamedVariable(const char* name) {
  return g_sim != nullptr ? g_sim->CheckNamedVariable(name) : -1;
}
double SvcGetNamedVariableValue(std::int32_t id) { return g_sim != nullptr ? g_sim->NamedVariable(id) : 0.0; }
void SvcSetNamedVariableValue(std::int32_t id, double value) {
  if (g_sim != nullptr) g_sim->SetNamedVariable(id, value);
}
std::int32_t SvcPanelWindowToggle(std::uint32_t ident) {
  return g_sim != nullptr && g_sim->ToggleWindow(ident) ? 1 : 0;
}
std::int32_t SvcIsPanelWindowVisibleIdent(std::uint32_t ident) {
  return g_sim != nullptr && g_sim->IsWindowVisible(ident) ? 1 : 0;
}
void SvcRegisterKeyEventHandler(KeyEventHandler h, void* user) {
  if (g_sim != nullptr) g_sim->RegisterKeyEventHandler(h, user);
}
void SvcUnregisterKeyEventHandler(KeyEventHandler h, void* user) {
  if (g_sim != nullptr) g_sim->UnregisterKeyEventHandler(h, user);
}

PANELS g_panels = {
    SvcLookupVar,           SvcAircraftVarget,        SvcGetUnitsEnum,          SvcExecuteCalculator,
    SvcTriggerKeyEvent,     SvcRegisterVarByName,     SvcInitializeVarByName,   SvcUnregisterVarByName,
    SvcRegisterNamedVariable, SvcCheckNamedVariable,  SvcGetNamedVariableValue, SvcSetNamedVariableValue,
    SvcPanelWindowToggle,   SvcIsPanelWindowVisibleIdent, SvcRegisterKeyEventHandler,
    SvcUnregisterKeyEventHandler,
};

// Names the module hands us are C strings of unknown length: bound them.
std::string BoundedName(const char* s) { return s == nullptr ? std::string() : std::string(s, strnlen(s, kMaxVariableName + 1)); }

// Source over destination, both premultiplied ARGB32.
void BlitOver(const gfx::DeviceContext& src, gfx::DeviceContext& dst, int x, int y) {
  int x0 = std::max(0, x), y0 = std::max(0, y);
  int x1 = std::min(dst.width, x + src.width), y1 = std::min(dst.height, y + src.height);
  for (int row = y0; row < y1; ++row) {
    const std::uint32_t* s = &src.pixels[static_cast<std::size_t>(row - y) * src.width + (x0 - x)];
    std::uint32_t* d = &dst.pixels[static_cast<std::size_t>(row) * dst.width + x0];
    for (int col = x0; col < x1; ++col, ++s, ++d) {
      std::uint32_t sa = *s >> 24;
      if (sa == 255) {
        *d = *s;
      } else if (sa != 0 || (*s & 0xFFFFFFu) != 0) {
        std::uint32_t out = 0;
        for (int shift = 0; shift < 32; shift += 8) {
          std::uint32_t sc = (*s >> shift) & 0xFF, dc = (*d >> shift) & 0xFF;
          std::uint32_t c = std::min<std::uint32_t>(255, sc + (dc * (255 - sa) + 127) / 255);
          out |= c << shift;
        }
        *d = out;
      }
    }
  }
}

std::string FileSafe(const std::string& s) {
  std::string out;
  for (unsigned char c : s) out += std::isalnum(c) || c == '_' || c == '-' ? static_cast<char>(c) : '_';
  return out;
}

}  // namespace

Simulator::Simulator() {
  g_sim = this;
  tokens_.WriteFrom(aircraft_, 0);
  // The add-ons are there before any module: the FSUIPC server window, the
  // traffic provider's entry point and the GPS module's route block.
  fsuipc_.Start();
  TrafficProvider::Current() = &traffic_;
  void* entry = nullptr;
  auto entry_function = &TrafficProvider::Entry;
  static_assert(sizeof entry == sizeof entry_function);
  std::memcpy(&entry, &entry_function, sizeof entry);
  RegisterVarByName(entry, VAR_TYPE_FUNCTION, kTrafficProviderName);
  RegisterVarByName(gps_.block(), kVarTypeBlock, kGpsDataName);
  // The simulator's main window, which the keyboard device is bound to.
  main_window_ = ipc::RegisterWindow(
      ipc::kSimulatorWindowClass, [](void*, std::uint32_t, std::uintptr_t, std::intptr_t) -> std::intptr_t { return 0; },
      nullptr);
  ipc::ResetKeyboard();
}

Simulator::~Simulator() {
  Disconnect();
  // The module outlives nothing of ours: take our pointers out of its headers.
  for (auto& g : gauges_) {
    if (g.header_copy) continue;
    g.header->parameters = "";
    g.header->host_data = nullptr;
    for (ELEMENT_HEADER* e : g.elements) {
      e->image = IMAGE{};
      if (e->element_type == ELEMENT_TYPE_STRING) e->string.text = nullptr;
    }
  }
  if (module_.linkage != nullptr && module_.linkage->module_deinit != nullptr) module_.linkage->module_deinit();
  UnloadModule(module_);
  // Whatever hooks and devices the module left behind go with it.
  ipc::ResetKeyboard();
  ipc::SetKeyboardModuleFile("");
  ipc::UnregisterWindow(main_window_);
  fsuipc_.Stop();
  if (TrafficProvider::Current() == &traffic_) TrafficProvider::Current() = nullptr;
  if (g_sim == this) g_sim = nullptr;
}

PANELS* Simulator::panels() { return &g_panels; }

bool Simulator::Load(const std::string& module_path, std::string& error) {
  if (module_path.size() >= kMaxSimPath) {
    error = module_path.substr(0, 64) + "...: path too long, no such module";
    return false;
  }
  if (!LoadModule(module_path, module_, error)) return false;
  module_path_ = module_path;
  std::error_code ec;
  auto absolute = std::filesystem::absolute(module_path, ec);
  ipc::SetKeyboardModuleFile(ec ? module_path : absolute.string());
  module_.import_table->panels_entry.panels = &g_panels;
  if (module_.linkage->module_init != nullptr) module_.linkage->module_init();
  return true;
}

std::string Simulator::ModuleName() const {
  std::string base = std::filesystem::path(module_path_).stem().string();
  return base;
}

void Simulator::Trace(const char* fmt, ...) {
  if (trace_ == nullptr) return;
  std::fprintf(trace_, "%9.3f ", time());
  va_list ap;
  va_start(ap, fmt);
  std::vfprintf(trace_, fmt, ap);
  va_end(ap);
  std::fputc('\n', trace_);
}

// ---------------------------------------------------------------------------
// Gauges
// ---------------------------------------------------------------------------

void Simulator::BuildGauge(GaugeInstance& g, GAUGEHDR* exported, bool copy, const std::string& where,
                           std::vector<std::string>& warnings) {
  std::vector<std::string> problems;
  ElementTree tree = ReadElementTree(exported->elements_list, problems);
  if (copy) {
    // Each further instance of a gauge gets its own elements, linked alike.
    g.header_copy = std::make_unique<GAUGEHDR>(*exported);
    g.header = g.header_copy.get();
    if (exported->elements_list != nullptr) g.header->elements_list = CopyElementTree(tree, g.element_copies, g.list_copies);
    for (ELEMENT_HEADER& e : g.element_copies) g.elements.push_back(&e);
  } else {
    g.header = exported;
    g.elements = tree.nodes;
  }
  for (const std::string& p : problems) warnings.push_back(where + "gauge " + g.name + ": element tree: " + p);
  g.header->parameters = g.parameter.c_str();
  g.header->host_data = &g;

  std::string mouse_problem;
  g.mouse = ReadMouseList(g.header->mouse_rect, mouse_problem);
  if (!mouse_problem.empty()) warnings.push_back(where + "gauge " + g.name + ": mouse rectangles: " + mouse_problem);

  // The root element's picture is the gauge's design box; the panel entry
  // scales it.
  const PIXSIZE design = g.header->design_size;
  PIXSIZE root{0, 0};
  if (!g.elements.empty()) root = g.elements[0]->image_size;
  g.design_w = root.x > 0 ? root.x : (design.x > 0 ? design.x : 100);
  g.design_h = root.y > 0 ? root.y : (design.y > 0 ? design.y : g.design_w);
  if (g.w <= 0) g.w = design.x > 0 ? design.x : static_cast<int>(g.design_w);
  if (g.h <= 0) g.h = static_cast<int>(std::lround(g.w * g.design_h / g.design_w));
  g.w = std::clamp(g.w, 1, kMaxSurface);
  g.h = std::clamp(g.h, 1, kMaxSurface);
  double sx = g.w / g.design_w, sy = g.h / g.design_h;

  g.slots.resize(g.elements.size());
  for (std::size_t i = 0; i < g.elements.size(); ++i) {
    ELEMENT_HEADER* e = g.elements[i];
    ElementSlot& slot = g.slots[i];
    e->image = IMAGE{};
    if (e->element_type == ELEMENT_TYPE_STRING) {
      if (e->string.max_length > kMaxStringLength) {
        warnings.push_back(where + util::Format("gauge %s: string element %zu: text of %u characters cut to %u",
                                                g.name.c_str(), i, e->string.max_length, kMaxStringLength));
        e->string.max_length = kMaxStringLength;
      }
      slot.text = std::make_unique<char[]>(e->string.max_length + 1);
      slot.text[0] = '\0';
      e->string.text = slot.text.get();
    }
    bool pictured = e->element_type == ELEMENT_TYPE_STATIC_IMAGE || e->element_type == ELEMENT_TYPE_SLIDER ||
                    e->element_type == ELEMENT_TYPE_STRING || e->element_type == ELEMENT_TYPE_ICON;
    if (!pictured || e->image_size.x <= 0 || e->image_size.y <= 0) continue;
    int w = std::clamp(static_cast<int>(std::lround(e->image_size.x * sx)), 1, kMaxSurface);
    int h = std::clamp(static_cast<int>(std::lround(e->image_size.y * sy)), 1, kMaxSurface);
    slot.surface = std::make_unique<gfx::DeviceContext>(w, h);
    if (e->resource_id != 0 && e->element_type != ELEMENT_TYPE_STRING) {
      if (!gfx::PaintBitmapResource(*slot.surface, resources_, e->resource_id)) missing_bitmaps_.insert(e->resource_id);
    } else {
      std::fill(slot.surface->pixels.begin(), slot.surface->pixels.end(), 0u);
    }
    slot.frame = std::make_unique<gfx::Recorder>();
    slot.shown = std::make_unique<gfx::Recorder>();
    slot.frame->text_only = slot.shown->text_only = true;
    e->image.dc = slot.surface.get();
    e->image.size = PIXSIZE{w, h};
  }
}

void Simulator::Install(const PanelConfig& panel, std::vector<std::string>& warnings) {
  windows_.clear();
  const std::string module_name = ModuleName();
  for (const PanelWindow& w : panel.windows) {
    WindowInstance wi;
    wi.config = w;
    wi.config.gauges.clear();
    wi.visible = w.visible;
    if (!w.background.empty()) {
      // A background that cannot be read leaves the window black; the panel
      // still flies.
      auto picture = std::make_unique<gfx::DeviceContext>(w.w, w.h);
      const std::string path = BackgroundPath(panel, w);
      int pw = 0, ph = 0;
      if (gfx::PaintPictureFile(*picture, path)) {
        wi.background = std::move(picture);
      } else if (gfx::ReadPngSize(path, pw, ph) && std::max(pw, ph) > gfx::kMaxPictureSide) {
        warnings.push_back(util::Format("%s:%d: background %s is too large (%d x %d pixels, at most %d on a side): "
                                        "the window is drawn over black",
                                        panel.path.c_str(), w.background_line, w.background.c_str(), pw, ph,
                                        gfx::kMaxPictureSide));
      } else {
        warnings.push_back(panel.path + ":" + std::to_string(w.background_line) + ": background " + w.background +
                           " cannot be read (a PNG file is expected): the window is drawn over black");
      }
    }
    windows_.push_back(std::move(wi));
    int window = static_cast<int>(windows_.size()) - 1;
    for (const PanelGauge& pg : w.gauges) {
      listed_.emplace_back(pg.name, window);
      std::string where = panel.path + ":" + std::to_string(pg.line) + ": ";
      if (!util::EqualsIgnoreCase(pg.module, module_name)) {
        warnings.push_back(where + "module " + pg.module + " is not loaded (only " + module_name + "): " + pg.name +
                           " skipped");
        continue;
      }
      GAUGEHDR* exported = nullptr;
      if (module_.linkage != nullptr && module_.linkage->gauge_table != nullptr) {
        for (GAUGEHDR** p = module_.linkage->gauge_table; *p != nullptr; ++p) {
          if ((*p)->gauge_name != nullptr && util::EqualsIgnoreCase((*p)->gauge_name, pg.name)) {
            exported = *p;
            break;
          }
        }
      }
      if (exported == nullptr) {
        warnings.push_back(where + "gauge " + pg.name + " is not exported by " + module_name + ": skipped");
        continue;
      }
      GaugeInstance& g = gauges_.emplace_back();
      g.name = exported->gauge_name;
      g.number = pg.number;
      g.parameter = pg.parameter;
      g.window = window;
      g.panel_line = pg.line;
      g.x = pg.x;
      g.y = pg.y;
      g.w = pg.w;
      g.h = pg.h;
      bool copy = !used_headers_.insert(exported).second;
      BuildGauge(g, exported, copy, where, warnings);
      windows_[window].config.gauges.push_back(pg);
    }
  }
  ReportOverlaps(panel, warnings);
  tokens_.WriteFrom(aircraft_, tick_);
  for (GaugeInstance& g : gauges_) {
    for (std::int32_t s : {PANEL_SERVICE_PRE_INSTALL, PANEL_SERVICE_POST_INSTALL, PANEL_SERVICE_PRE_INITIALIZE,
                           PANEL_SERVICE_POST_INITIALIZE})
      Service(g, s);
  }
}

// A gauge over another hides it and takes its clicks: a panel file's slip,
// unless its window says the two are meant to overlap.
void Simulator::ReportOverlaps(const PanelConfig& panel, std::vector<std::string>& warnings) const {
  for (std::size_t j = 0; j < gauges_.size(); ++j) {
    const GaugeInstance& b = gauges_[j];
    const PanelWindow& w = windows_[static_cast<std::size_t>(b.window)].config;
    for (std::size_t i = 0; i < j; ++i) {
      const GaugeInstance& a = gauges_[i];
      if (a.window != b.window || a.x >= b.x + b.w || b.x >= a.x + a.w || a.y >= b.y + b.h || b.y >= a.y + a.h)
        continue;
      const bool meant = std::any_of(w.overlaps.begin(), w.overlaps.end(), [&](const std::pair<int, int>& p) {
        return (p.first == a.number && p.second == b.number) || (p.first == b.number && p.second == a.number);
      });
      if (meant) continue;
      warnings.push_back(panel.path + ":" + std::to_string(b.panel_line) + ": gauge " + b.name + " overlaps gauge " +
                         a.name + util::Format(" (gauge%02d, line %d)", a.number, a.panel_line) +
                         util::Format("; overlaps=gauge%02d:gauge%02d in the window if meant", a.number, b.number));
    }
  }
}

void Simulator::Connect() {
  if (connected_) return;
  connected_ = true;
  for (GaugeInstance& g : gauges_) Service(g, PANEL_SERVICE_CONNECT_TO_WINDOW);
}

void Simulator::Disconnect() {
  if (!connected_) return;
  connected_ = false;
  held_ = Held{};
  for (GaugeInstance& g : gauges_) Service(g, PANEL_SERVICE_DISCONNECT);
}

// A callback the module makes into the host that calls the module again
// (a key event it sends reaches its own handler) is counted once.
template <typename F>
auto Simulator::InModule(F&& f) -> decltype(f()) {
  if (!timing_on_ || module_depth_ > 0) return f();
  struct Clock {
    Simulator& sim;
    double start = Now();
    explicit Clock(Simulator& s) : sim(s) { ++sim.module_depth_; }
    ~Clock() {
      --sim.module_depth_;
      sim.timing_.module_seconds += Now() - start;
    }
  } clock(*this);
  return f();
}

void Simulator::Service(GaugeInstance& g, std::int32_t service) {
  g.services.push_back(service);
  BindSurfaces(g);
  Trace("service %d to %s (window %d, gauge%02d)", service, g.name.c_str(), g.window, g.number);
  if (g.header->gauge_callback != nullptr) InModule([&] { g.header->gauge_callback(g.header, service, 0); });
}

// An element two gauges share (MCU_LM links to MCU's lamps) has one image
// field and one set of flags: while a gauge is served, the field holds that
// gauge's own surface of it; the flags stay shared, so one lamp lit shows in
// both.
void Simulator::BindSurfaces(GaugeInstance& g) {
  for (std::size_t i = 0; i < g.elements.size(); ++i) {
    const gfx::DeviceContext* surface = g.slots[i].surface.get();
    if (surface == nullptr) continue;
    g.elements[i]->image.dc = g.slots[i].surface.get();
    g.elements[i]->image.size = PIXSIZE{surface->width, surface->height};
  }
}

// String elements are the host's to draw: every frame each one's callback
// sets its text and flags, before the gauges are drawn.
void Simulator::UpdateStrings(GaugeInstance& g) {
  for (std::size_t i = 0; i < g.elements.size(); ++i) {
    ELEMENT_HEADER* e = g.elements[i];
    if (e->element_type != ELEMENT_TYPE_STRING || g.slots[i].text == nullptr) continue;
    if (e->string.update != nullptr) {
      double v = InModule([&] { return e->string.update(e); });
      e->string.value = v;
    }
    // Whatever the callback wrote, the text ends inside its buffer.
    g.slots[i].text[e->string.max_length] = '\0';
    e->string.text = g.slots[i].text.get();
  }
}

void Simulator::DrawStrings(GaugeInstance& g) {
  double sy = g.h / g.design_h;
  for (std::size_t i = 0; i < g.elements.size(); ++i) {
    ELEMENT_HEADER* e = g.elements[i];
    ElementSlot& slot = g.slots[i];
    if (e->element_type != ELEMENT_TYPE_STRING || slot.surface == nullptr || slot.text == nullptr) continue;
    std::string text(slot.text.get());
    if (slot.drawn && text == slot.drawn_text) continue;
    slot.surface->recorder = slot.shown.get();
    slot.shown->Clear();
    DrawStringElement(*e, *slot.surface, sy);
    slot.surface->recorder = nullptr;
    slot.drawn_text = std::move(text);
    slot.drawn = true;
  }
}

void Simulator::Frame() {
  for (GaugeInstance& g : gauges_) {
    Service(g, PANEL_SERVICE_PRE_UPDATE);
    UpdateStrings(g);
  }
  for (GaugeInstance& g : gauges_) {
    if (!windows_[g.window].visible) continue;
    // Each surface records the texts of this frame; a surface the gauge did
    // not draw on keeps showing, and recording, its last picture.
    for (std::size_t i = 0; i < g.slots.size(); ++i)
      if (g.slots[i].frame != nullptr && g.elements[i]->element_type != ELEMENT_TYPE_STRING)
        g.slots[i].surface->recorder = g.slots[i].frame.get();
    const double start = timing_on_ ? Now() : 0.0, start_cpu = timing_on_ ? ThreadNow() : 0.0;
    Service(g, PANEL_SERVICE_PRE_DRAW);
    if (timing_on_) {
      g.pre_draw.Add(Now() - start);
      g.pre_draw_cpu.Add(ThreadNow() - start_cpu);
    }
    for (std::size_t i = 0; i < g.slots.size(); ++i) {
      ElementSlot& slot = g.slots[i];
      if (slot.frame == nullptr || g.elements[i]->element_type == ELEMENT_TYPE_STRING) continue;
      if (slot.surface != nullptr) slot.surface->recorder = nullptr;
      if (slot.frame->Size() == 0) continue;
      std::swap(slot.frame, slot.shown);
      slot.frame->Clear();
    }
    DrawStrings(g);
    // The host has shown the pictures the module marked as new.
    for (ELEMENT_HEADER* e : g.elements) e->image_flags |= IMAGE_ON_SCREEN;
  }
}

void Simulator::RunTicks(std::uint64_t n) {
  const double dt = 1.0 / kTicksPerSecond;
  for (std::uint64_t k = 0; k < n; ++k) {
    const double start = timing_on_ ? Now() : 0.0, start_cpu = timing_on_ ? ThreadNow() : 0.0;
    double module_before = timing_.module_seconds;
    ++tick_;
    AdvanceAircraft(aircraft_, dt);
    tokens_.WriteFrom(aircraft_, tick_);
    RepeatHeldClick();
    Frame();
    if (timing_on_) {
      timing_.frame.Add(Now() - start);
      timing_.frame_cpu.Add(ThreadNow() - start_cpu);
      timing_.frame_module_seconds += timing_.module_seconds - module_before;
    }
    if (tick_observer_) tick_observer_();
  }
}

void Simulator::RunUntil(double seconds) {
  if (!(seconds > 0.0)) return;
  auto target = static_cast<std::uint64_t>(std::llround(std::min(seconds, 1e7) * kTicksPerSecond));
  if (target > tick_) RunTicks(target - tick_);
}

int Simulator::FindGauge(const std::string& name, int occurrence) const {
  int seen = 0;
  for (std::size_t i = 0; i < gauges_.size(); ++i) {
    if (util::EqualsIgnoreCase(gauges_[i].name, name) && ++seen == occurrence) return static_cast<int>(i);
  }
  return -1;
}

bool Simulator::PanelLists(const std::string& name, int occurrence) const {
  int seen = 0;
  for (const auto& [n, w] : listed_)
    if (util::EqualsIgnoreCase(n, name) && ++seen == occurrence) return true;
  return false;
}

// ---------------------------------------------------------------------------
// Mouse
// ---------------------------------------------------------------------------

ClickResult Simulator::Click(int gauge, double x, double y, std::uint32_t flags, double hold_seconds) {
  ClickResult result;
  held_ = Held{};  // a new press releases the button
  if (gauge < 0 || gauge >= static_cast<int>(gauges_.size())) return result;
  GaugeInstance& g = gauges_[gauge];
  double dx = x * g.design_w / g.w, dy = y * g.design_h / g.h;
  Trace("click %s at %.1f,%.1f (design %.1f,%.1f) flags 0x%08X", g.name.c_str(), x, y, dx, dy, flags);
  if (!windows_[g.window].visible) {
    Trace("  its window is closed: nothing to click");
    return result;
  }
  result.cursor = FindCursor(g.mouse, dx, dy);
  const MouseArea* a = FindClickArea(g.mouse, dx, dy, flags);
  if (a == nullptr) return result;
  PIXPOINT rel{static_cast<std::int32_t>(std::floor(dx - a->x)), static_cast<std::int32_t>(std::floor(dy - a->y))};
  MouseHandler handler = a->handler;
  int area = static_cast<int>(a - g.mouse.data());
  ++mouse_calls_;
  result.hit = true;
  result.rect = a->entry;
  result.handler_result = InModule([&] { return handler(&rel, flags); });
  Trace("  rectangle %d of %s handled it (%d)", a->entry, g.name.c_str(), result.handler_result);
  if ((a->flags & MOUSE_REPEAT) != 0 && hold_seconds > 0.0) {
    held_ = Held{gauge, area, rel, flags, tick_ + kRepeatDelayTicks,
                 tick_ + static_cast<std::uint64_t>(std::llround(hold_seconds * kTicksPerSecond))};
  }
  return result;
}

std::int32_t Simulator::CursorAt(int gauge, double x, double y) const {
  if (gauge < 0 || gauge >= static_cast<int>(gauges_.size())) return CURSOR_NONE;
  const GaugeInstance& g = gauges_[gauge];
  return FindCursor(g.mouse, x * g.design_w / g.w, y * g.design_h / g.h);
}

void Simulator::RepeatHeldClick() {
  if (held_.gauge < 0) return;
  if (tick_ >= held_.end_tick || !windows_[gauges_[held_.gauge].window].visible) {
    held_ = Held{};
    return;
  }
  if (tick_ < held_.next_tick) return;
  held_.next_tick += kRepeatIntervalTicks;
  const MouseArea& a = gauges_[held_.gauge].mouse[held_.rect];
  PIXPOINT rel = held_.point;
  ++mouse_calls_;
  Trace("  repeat on rectangle %d of %s", a.entry, gauges_[held_.gauge].name.c_str());
  InModule([&] { return a.handler(&rel, held_.flags); });
}

// ---------------------------------------------------------------------------
// Keyboard
// ---------------------------------------------------------------------------

bool Simulator::SetKeyboardKey(const KeyboardKey& key, bool down) {
  ipc::SetKeyboardKey(key.scan, key.virtual_key, down);
  ++keyboard_messages_;
  bool discarded = InModule([&] { return ipc::SendKeyboardMessage(key.scan, key.virtual_key, down); });
  if (discarded) ++keyboard_discarded_;
  Trace("keyboard %s %s%s", key.name, down ? "down" : "up", discarded ? " (discarded by a hook)" : "");
  return discarded;
}

// ---------------------------------------------------------------------------
// Panel services
// ---------------------------------------------------------------------------

void Simulator::LookupVar(MODULE_VAR* var) {
  if (var == nullptr) return;
  var->var_ptr = nullptr;
  if (!tokens_.Known(var->id)) unknown_tokens_.insert(var->id);
  if (tokens_.IsText(var->id)) {
    var->var_type = VAR_TYPE_TEXT;
    var->value.text = tokens_.Text(var->id);
  } else {
    var->var_type = VAR_TYPE_FLOAT64;
    var->value.n = tokens_.Number(var->id);
  }
}

std::int32_t Simulator::ExecuteCalculator(const char* code, double* f, std::int32_t* i, const char** s) {
  // The one string expression: the aircraft title.
  if (code != nullptr) {
    std::string key;
    for (const char* p = code; *p != '\0' && key.size() < 64; ++p)
      if (!std::isspace(static_cast<unsigned char>(*p))) key += static_cast<char>(std::toupper(static_cast<unsigned char>(*p)));
    if (key == "(A:TITLE,STRING)") {
      if (f != nullptr) *f = 0.0;
      if (i != nullptr) *i = 0;
      if (s != nullptr) *s = aircraft_.title.c_str();
      return 1;
    }
  }
  double r = 0.0;
  bool known = EvaluateCalculator(aircraft_, code, r);
  if (!known && code != nullptr && unknown_expressions_.size() < 64) unknown_expressions_.insert(BoundedName(code));
  if (f != nullptr) *f = r;
  if (i != nullptr) *i = static_cast<std::int32_t>(std::clamp(r, -2147483648.0, 2147483647.0));
  if (s != nullptr) *s = "";
  return known ? 1 : 0;
}

void Simulator::SendKeyEvent(std::uint32_t id, std::uint32_t value, const std::string& source) {
  KeyEventRecord rec{time(), tick_, id, value, source, 0};
  Trace("key event 0x%05X value %u from %s", id, value, source.c_str());
  if (key_event_depth_ >= kMaxKeyEventDepth) {
    rec.source += " (nested too deep, not routed)";
    key_events_.push_back(rec);
    return;
  }
  std::size_t index = key_events_.size();
  key_events_.push_back(rec);
  // The simulator itself answers its own events (autopilot, radios, clock);
  // the tokens show the change from the next tick on.
  ApplyKeyEvent(aircraft_, id, value);
  ++key_event_depth_;
  // Handlers may register or remove handlers while we route.
  auto handlers = key_handlers_;
  for (const auto& h : handlers) {
    if (std::find(key_handlers_.begin(), key_handlers_.end(), h) == key_handlers_.end()) continue;
    ++key_events_[index].handlers;
    InModule([&] { h.first(id, value, h.second); });
  }
  --key_event_depth_;
}

void Simulator::RegisterKeyEventHandler(KeyEventHandler h, void* user) {
  if (h == nullptr) return;
  auto entry = std::make_pair(h, user);
  if (std::find(key_handlers_.begin(), key_handlers_.end(), entry) == key_handlers_.end()) key_handlers_.push_back(entry);
}

void Simulator::UnregisterKeyEventHandler(KeyEventHandler h, void* user) {
  auto entry = std::make_pair(h, user);
  key_handlers_.erase(std::remove(key_handlers_.begin(), key_handlers_.end(), entry), key_handlers_.end());
}

namespace {
// A name folded to upper case (ASCII, as the case-insensitive comparison
// does) into `buf`; empty when there is none or it is too long. Gauges look
// their variables up by name every frame: no allocation here.
std::string_view FoldedName(const char* name, char (&buf)[kMaxVariableName + 1]) {
  if (name == nullptr) return {};
  const std::size_t n = strnlen(name, kMaxVariableName + 1);
  if (n == 0 || n > kMaxVariableName) return {};
  for (std::size_t i = 0; i < n; ++i) {
    const char c = name[i];
    buf[i] = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
  }
  return std::string_view(buf, n);
}
}  // namespace

// Names compare case-insensitively, as the simulator's own variable names do.
std::int32_t Simulator::CheckNamedVariable(const char* name) const {
  char buf[kMaxVariableName + 1];
  const std::string_view folded = FoldedName(name, buf);
  if (folded.empty()) return -1;
  const auto it = named_ids_.find(folded);
  if (it == named_ids_.end() || named_[static_cast<std::size_t>(it->second)].removed) return -1;
  return it->second;
}

std::int32_t Simulator::RegisterNamedVariable(const char* name) {
  std::int32_t id = CheckNamedVariable(name);
  if (id >= 0) return id;
  char buf[kMaxVariableName + 1];
  const std::string_view folded = FoldedName(name, buf);
  if (folded.empty()) return -1;
  // The index keeps a removed name: registered again, it comes back under
  // its old id, at 0.
  if (const auto it = named_ids_.find(folded); it != named_ids_.end()) {
    const auto i = static_cast<std::size_t>(it->second);
    named_[i] = NamedVar{BoundedName(name), 0.0};
    Trace("named variable '%s' registered again as %zu", named_[i].name.c_str(), i);
    return it->second;
  }
  if (named_.size() >= kMaxNamedVariables) return -1;
  named_.push_back(NamedVar{BoundedName(name), 0.0});
  id = static_cast<std::int32_t>(named_.size() - 1);
  named_ids_.emplace(std::string(folded), id);
  Trace("named variable '%s' registered as %d", named_.back().name.c_str(), id);
  return id;
}

double Simulator::NamedVariable(std::int32_t id) const {
  if (id < 0 || static_cast<std::size_t>(id) >= named_.size() || named_[id].removed) return 0.0;
  return named_[id].value;
}

void Simulator::SetNamedVariable(std::int32_t id, double value) {
  if (id < 0 || static_cast<std::size_t>(id) >= named_.size() || named_[id].removed) return;
  named_[id].value = value;
}

void Simulator::RegisterVarByName(void* storage, std::uint32_t type, const char* name) {
  std::string n = BoundedName(name);
  if (storage == nullptr || n.empty() || n.size() > kMaxVariableName) return;
  registered_[util::ToUpper(n)] = RegisteredVar{n, storage, type};
  Trace("variable '%s' registered, type 0x%X", n.c_str(), type);
}

void Simulator::InitializeVarByName(MODULE_VAR* var, const char* name) const {
  if (var == nullptr) return;
  var->var_ptr = nullptr;
  var->var_type = VAR_TYPE_NONE;
  var->value.i64 = 0;
  auto it = registered_.find(util::ToUpper(BoundedName(name)));
  if (it == registered_.end()) return;
  const RegisteredVar& r = it->second;
  var->var_ptr = r.storage;
  var->var_type = r.type;
  switch (r.type) {
    case VAR_TYPE_U32: var->value.n = *static_cast<const std::uint32_t*>(r.storage); break;
    case VAR_TYPE_S32: var->value.n = *static_cast<const std::int32_t*>(r.storage); break;
    case VAR_TYPE_FLOAT64: var->value.n = *static_cast<const double*>(r.storage); break;
    case VAR_TYPE_TEXT: var->value.text = static_cast<const char*>(r.storage); break;
    default: var->value.ptr = r.storage; break;  // entry points and blocks
  }
}

// Removes the memory-backed variable and the named value of that name.
void Simulator::UnregisterVarByName(const char* name) {
  registered_.erase(util::ToUpper(BoundedName(name)));
  std::int32_t id = CheckNamedVariable(name);
  if (id < 0) return;
  named_[id].removed = true;
  named_[id].value = 0.0;
  Trace("named variable '%s' removed", named_[id].name.c_str());
}

// ---------------------------------------------------------------------------
// Windows
// ---------------------------------------------------------------------------

int Simulator::WindowIndex(std::uint32_t ident) const {
  for (std::size_t i = 0; i < windows_.size(); ++i)
    if (windows_[i].config.ident == static_cast<std::int64_t>(ident)) return static_cast<int>(i);
  return -1;
}

bool Simulator::HasWindow(std::uint32_t ident) const { return WindowIndex(ident) >= 0; }

bool Simulator::IsWindowVisible(std::uint32_t ident) const {
  int i = WindowIndex(ident);
  return i >= 0 && windows_[i].visible;
}

bool Simulator::SetWindowVisible(std::uint32_t ident, bool visible) {
  int i = WindowIndex(ident);
  if (i < 0) return false;
  windows_[i].visible = visible;
  Trace("window %u %s", ident, visible ? "shown" : "hidden");
  return true;
}

bool Simulator::ToggleWindow(std::uint32_t ident) {
  int i = WindowIndex(ident);
  if (i < 0) return false;
  return SetWindowVisible(ident, !windows_[i].visible);
}

// ---------------------------------------------------------------------------
// Pictures
// ---------------------------------------------------------------------------

std::unique_ptr<gfx::DeviceContext> Simulator::ComposeGauge(int gauge) {
  if (gauge < 0 || gauge >= static_cast<int>(gauges_.size())) return nullptr;
  GaugeInstance& g = gauges_[gauge];
  auto canvas = std::make_unique<gfx::DeviceContext>(g.w, g.h);
  std::fill(canvas->pixels.begin(), canvas->pixels.end(), 0u);
  double sx = g.w / g.design_w, sy = g.h / g.design_h;
  for (std::size_t i = 0; i < g.elements.size(); ++i) {
    const ELEMENT_HEADER* e = g.elements[i];
    const gfx::DeviceContext* surface = g.slots[i].surface.get();
    if (surface == nullptr || (e->image_flags & IMAGE_HIDDEN) != 0) continue;
    double px = e->position.x, py = e->position.y;
    if (e->element_type == ELEMENT_TYPE_SLIDER) {
      auto offset = [&](const SLIDER_AXIS& axis) {
        if (axis.token == 0) return 0.0;
        MODULE_VAR var{};
        var.id = axis.token;
        LookupVar(&var);
        double v = axis.callback != nullptr ? axis.callback(&var) : var.value.n;
        double off = v * axis.scale;
        return std::isfinite(off) ? std::clamp(off, -4096.0, 4096.0) : 0.0;
      };
      px += offset(e->slider_x);
      py += offset(e->slider_y);
    }
    BlitOver(*surface, *canvas, static_cast<int>(std::lround(px * sx)), static_cast<int>(std::lround(py * sy)));
  }
  return canvas;
}

std::vector<TextEntry> Simulator::Texts(int gauge) const {
  std::vector<TextEntry> out;
  if (gauge < 0 || gauge >= static_cast<int>(gauges_.size())) return out;
  const GaugeInstance& g = gauges_[gauge];
  double sx = g.w / g.design_w, sy = g.h / g.design_h;
  for (std::size_t i = 0; i < g.elements.size(); ++i) {
    const ELEMENT_HEADER* e = g.elements[i];
    const ElementSlot& slot = g.slots[i];
    if (slot.shown == nullptr || (e->image_flags & IMAGE_HIDDEN) != 0) continue;
    AppendTexts(*slot.shown, static_cast<int>(i), e->position.x, e->position.y, sx, sy, out);
  }
  return out;
}

std::unique_ptr<gfx::DeviceContext> Simulator::ComposeWindow(int window) {
  if (window < 0 || window >= static_cast<int>(windows_.size())) return nullptr;
  const PanelWindow& w = windows_[window].config;
  auto canvas = std::make_unique<gfx::DeviceContext>(w.w, w.h);  // opaque black
  if (windows_[window].background) BlitOver(*windows_[window].background, *canvas, 0, 0);
  for (std::size_t i = 0; i < gauges_.size(); ++i) {
    if (gauges_[i].window != window) continue;
    auto g = ComposeGauge(static_cast<int>(i));
    BlitOver(*g, *canvas, gauges_[i].x, gauges_[i].y);
  }
  return canvas;
}

bool Simulator::Snapshot(const std::string& dir, const std::string& label, std::vector<std::string>& files,
                         std::string& error, const std::function<void(const std::string&)>& before_write) {
  auto about_to_write = [&](const std::string& path) {
    if (before_write) before_write(path);
  };
  std::string folder = dir + "/" + label;
  if (folder.size() + 160 >= kMaxSimPath) {
    error = folder.substr(0, 64) + "...: path too long";
    return false;
  }
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  if (ec) {
    error = folder + ": cannot create folder: " + ec.message();
    return false;
  }
  Trace("snapshot %s", label.c_str());
  for (std::size_t wi = 0; wi < windows_.size(); ++wi) {
    if (!windows_[wi].visible) continue;
    std::string base = folder + "/" + util::Format("window%02d", windows_[wi].config.number);
    auto canvas = ComposeWindow(static_cast<int>(wi));
    about_to_write(base + ".png");
    if (!gfx::WritePng(*canvas, base + ".png", gfx::PngSpeed::kFast)) {
      error = base + ".png: cannot write";
      return false;
    }
    files.push_back(base + ".png");
    for (std::size_t gi = 0; gi < gauges_.size(); ++gi) {
      if (gauges_[gi].window != static_cast<int>(wi)) continue;
      std::string name = base + util::Format("_gauge%02d_", gauges_[gi].number) + FileSafe(gauges_[gi].name) + ".png";
      auto g = ComposeGauge(static_cast<int>(gi));
      about_to_write(name);
      if (!gfx::WritePng(*g, name, gfx::PngSpeed::kFast)) {
        error = name + ": cannot write";
        return false;
      }
      files.push_back(name);
      std::string record = name.substr(0, name.size() - 4) + ".txt";
      about_to_write(record);
      std::FILE* f = std::fopen(record.c_str(), "w");
      std::string text = FormatTextRecord(Texts(static_cast<int>(gi)));
      bool written = f != nullptr && std::fwrite(text.data(), 1, text.size(), f) == text.size();
      if (f != nullptr && std::fclose(f) != 0) written = false;
      if (!written) {
        error = record + ": cannot write";
        return false;
      }
    }
  }
  return true;
}

// ---------------------------------------------------------------------------
// Records
// ---------------------------------------------------------------------------

namespace {

// "2 3 4 5 14 [6 10]x120 15": each frame's services in brackets, equal
// frames in a row counted once.
std::string CompressServices(const std::vector<int>& s) {
  std::string out;
  auto add = [&](const std::string& t) {
    if (!out.empty()) out += ' ';
    out += t;
  };
  std::size_t i = 0;
  std::string last_frame;
  int repeat = 0;
  auto flush = [&] {
    if (repeat > 0) add("[" + last_frame + "]x" + std::to_string(repeat));
    repeat = 0;
    last_frame.clear();
  };
  while (i < s.size()) {
    if (s[i] != PANEL_SERVICE_PRE_UPDATE) {
      flush();
      add(std::to_string(s[i++]));
      continue;
    }
    std::string frame = std::to_string(s[i++]);
    while (i < s.size() && s[i] >= PANEL_SERVICE_POST_UPDATE && s[i] <= PANEL_SERVICE_POST_DRAW)
      frame += " " + std::to_string(s[i++]);
    if (repeat > 0 && frame != last_frame) flush();
    last_frame = frame;
    ++repeat;
  }
  flush();
  return out;
}

}  // namespace

bool Simulator::WriteServices(const std::string& path) const {
  std::FILE* f = std::fopen(path.c_str(), "w");
  if (f == nullptr) return false;
  std::fprintf(f, "; services each gauge received: window gauge name: services ([frame]xN = N equal frames)\n");
  for (const GaugeInstance& g : gauges_) {
    std::fprintf(f, "window%02d gauge%02d %s: %s\n", windows_[g.window].config.number, g.number, g.name.c_str(),
                 CompressServices(g.services).c_str());
  }
  return std::fclose(f) == 0;
}

bool Simulator::WriteKeyEvents(const std::string& path) const {
  std::FILE* f = std::fopen(path.c_str(), "w");
  if (f == nullptr) return false;
  std::fprintf(f, "; time_s tick source id value handlers\n");
  for (const KeyEventRecord& k : key_events_) {
    std::fprintf(f, "%.3f %llu %s 0x%05X %u %d\n", k.time, static_cast<unsigned long long>(k.tick), k.source.c_str(), k.id,
                 k.value, k.handlers);
  }
  return std::fclose(f) == 0;
}

bool Simulator::RegisteredNumber(const std::string& name, double& value) const {
  auto it = registered_.find(util::ToUpper(name));
  if (it == registered_.end()) return false;
  switch (it->second.type) {
    case VAR_TYPE_U32: value = *static_cast<const std::uint32_t*>(it->second.storage); return true;
    case VAR_TYPE_S32: value = *static_cast<const std::int32_t*>(it->second.storage); return true;
    case VAR_TYPE_FLOAT64: value = *static_cast<const double*>(it->second.storage); return true;
    default: return false;
  }
}

bool Simulator::RegisteredText(const std::string& name, std::string& text) const {
  auto it = registered_.find(util::ToUpper(name));
  if (it == registered_.end() || it->second.type != VAR_TYPE_TEXT) return false;
  // Module texts are NUL-terminated within their 2048-byte exports.
  const char* t = static_cast<const char*>(it->second.storage);
  text.assign(t, strnlen(t, 4095));
  return true;
}

bool Simulator::WriteVariables(const std::string& path) const {
  std::FILE* f = std::fopen(path.c_str(), "w");
  if (f == nullptr) return false;
  std::fprintf(f, "; named variables: named ID NAME = VALUE; registered variables: registered NAME type = VALUE\n");
  for (std::size_t i = 0; i < named_.size(); ++i)
    if (!named_[i].removed) std::fprintf(f, "named %zu %s = %.6g\n", i, named_[i].name.c_str(), named_[i].value);
  for (const auto& [key, r] : registered_) {
    std::string value;
    switch (r.type) {
      case VAR_TYPE_U32: value = std::to_string(*static_cast<const std::uint32_t*>(r.storage)); break;
      case VAR_TYPE_S32: value = std::to_string(*static_cast<const std::int32_t*>(r.storage)); break;
      case VAR_TYPE_FLOAT64: value = util::Format("%.6g", *static_cast<const double*>(r.storage)); break;
      case VAR_TYPE_TEXT: value = "\"" + BoundedName(static_cast<const char*>(r.storage)) + "\""; break;
      default: value = "(entry point or block)"; break;
    }
    std::fprintf(f, "registered %s 0x%X = %s\n", r.name.c_str(), r.type, value.c_str());
  }
  return std::fclose(f) == 0;
}

}  // namespace ovi::sim
