#include "sim/simulator.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdarg>
#include <cstring>
#include <filesystem>

#include "platform/gfx/image_io.h"
#include "src/util/text.h"

namespace ovi::sim {

namespace {

constexpr int kMaxElements = 256;
constexpr int kMaxElementDepth = 16;
constexpr int kMaxChildren = 64;
constexpr int kMaxMouseRects = 1024;
constexpr int kMaxSurface = 4096;
constexpr int kMaxNamedVariables = 4096;
constexpr std::size_t kMaxVariableName = 255;
constexpr int kMaxKeyEventDepth = 8;

// The one simulator whose services the loaded module calls.
Simulator* g_sim = nullptr;

void SvcLookupVar(MODULE_VAR* var) {
  if (g_sim != nullptr) g_sim->LookupVar(var);
}
double SvcAircraftVarget(std::uint32_t simvar, std::int32_t, std::int32_t) {
  // Slats (98, 99) are retracted; no other aircraft variable is kept.
  (void)simvar;
  return 0.0;
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
}

Simulator::~Simulator() {
  Disconnect();
  // The module outlives nothing of ours: take our pointers out of its headers.
  for (auto& g : gauges_) {
    if (g.header_copy) continue;
    g.header->parameters = "";
    g.header->host_data = nullptr;
    for (ELEMENT_HEADER* e : g.elements) e->image = IMAGE{};
  }
  if (module_.linkage != nullptr && module_.linkage->module_deinit != nullptr) module_.linkage->module_deinit();
  UnloadModule(module_);
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

bool Simulator::BuildGauge(GaugeInstance& g, GAUGEHDR* exported, bool copy) {
  if (copy) {
    g.header_copy = std::make_unique<GAUGEHDR>(*exported);
    g.header = g.header_copy.get();
    int budget = kMaxElements;
    // Each further instance of a gauge gets its own elements, linked alike.
    auto copy_tree = [&](auto&& self, ELEMENT_HEADER* e, int depth) -> ELEMENT_HEADER* {
      g.element_copies.push_back(*e);
      ELEMENT_HEADER* c = &g.element_copies.back();
      --budget;
      if (e->next_element != nullptr) {
        g.list_copies.emplace_back();
        std::vector<ELEMENT_HEADER*>& list = g.list_copies.back();
        for (ELEMENT_HEADER** p = e->next_element; *p != nullptr && list.size() < kMaxChildren; ++p) {
          if (depth >= kMaxElementDepth || budget <= 0) break;
          list.push_back(self(self, *p, depth + 1));
        }
        list.push_back(nullptr);
        c->next_element = list.data();
      }
      return c;
    };
    if (exported->elements_list != nullptr) {
      g.list_copies.emplace_back();
      std::vector<ELEMENT_HEADER*>& top = g.list_copies.back();
      for (ELEMENT_HEADER** p = exported->elements_list; *p != nullptr && top.size() < kMaxChildren && budget > 0; ++p)
        top.push_back(copy_tree(copy_tree, *p, 0));
      top.push_back(nullptr);
      g.header->elements_list = top.data();
    }
  } else {
    g.header = exported;
  }
  g.header->parameters = g.parameter.c_str();
  g.header->host_data = &g;

  // Every element once, parents before their children.
  std::set<ELEMENT_HEADER*> seen;
  auto walk = [&](auto&& self, ELEMENT_HEADER* e, int depth) -> void {
    if (e == nullptr || depth > kMaxElementDepth || g.elements.size() >= kMaxElements || !seen.insert(e).second) return;
    g.elements.push_back(e);
    if (e->next_element == nullptr) return;
    int n = 0;
    for (ELEMENT_HEADER** p = e->next_element; *p != nullptr && n < kMaxChildren; ++p, ++n) self(self, *p, depth + 1);
  };
  if (g.header->elements_list != nullptr) {
    int n = 0;
    for (ELEMENT_HEADER** p = g.header->elements_list; *p != nullptr && n < kMaxChildren; ++p, ++n) walk(walk, *p, 0);
  }

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

  for (ELEMENT_HEADER* e : g.elements) {
    e->image = IMAGE{};
    bool pictured = e->element_type == ELEMENT_TYPE_STATIC_IMAGE || e->element_type == ELEMENT_TYPE_SLIDER ||
                    e->element_type == ELEMENT_TYPE_STRING;
    if (!pictured || e->image_size.x <= 0 || e->image_size.y <= 0) continue;
    int w = std::clamp(static_cast<int>(std::lround(e->image_size.x * sx)), 1, kMaxSurface);
    int h = std::clamp(static_cast<int>(std::lround(e->image_size.y * sy)), 1, kMaxSurface);
    auto dc = std::make_unique<gfx::DeviceContext>(w, h);
    if (e->resource_id != 0) {
      gfx::PaintBitmapResource(*dc, resources_, e->resource_id);
    } else {
      std::fill(dc->pixels.begin(), dc->pixels.end(), 0u);
    }
    e->image.dc = dc.get();
    e->image.size = PIXSIZE{w, h};
    g.surfaces.push_back(std::move(dc));
  }
  return true;
}

void Simulator::Install(const PanelConfig& panel, std::vector<std::string>& warnings) {
  windows_.clear();
  const std::string module_name = ModuleName();
  for (const PanelWindow& w : panel.windows) {
    WindowInstance wi;
    wi.config = w;
    wi.config.gauges.clear();
    wi.visible = w.visible;
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
      BuildGauge(g, exported, copy);
      windows_[window].config.gauges.push_back(pg);
    }
  }
  tokens_.WriteFrom(aircraft_, tick_);
  for (GaugeInstance& g : gauges_) {
    for (std::int32_t s : {PANEL_SERVICE_PRE_INSTALL, PANEL_SERVICE_POST_INSTALL, PANEL_SERVICE_PRE_INITIALIZE,
                           PANEL_SERVICE_POST_INITIALIZE})
      Service(g, s);
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

void Simulator::Service(GaugeInstance& g, std::int32_t service) {
  g.services.push_back(service);
  Trace("service %d to %s (window %d, gauge%02d)", service, g.name.c_str(), g.window, g.number);
  if (g.header->gauge_callback != nullptr) g.header->gauge_callback(g.header, service, 0);
}

void Simulator::Frame() {
  for (GaugeInstance& g : gauges_) Service(g, PANEL_SERVICE_PRE_UPDATE);
  for (GaugeInstance& g : gauges_) {
    if (!windows_[g.window].visible) continue;
    Service(g, PANEL_SERVICE_PRE_DRAW);
    // The host has shown the pictures the module marked as new.
    for (ELEMENT_HEADER* e : g.elements) e->image_flags |= IMAGE_ON_SCREEN;
  }
}

void Simulator::RunTicks(std::uint64_t n) {
  const double dt = 1.0 / kTicksPerSecond;
  for (std::uint64_t k = 0; k < n; ++k) {
    ++tick_;
    AdvanceAircraft(aircraft_, dt);
    tokens_.WriteFrom(aircraft_, tick_);
    RepeatHeldClick();
    Frame();
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

const MOUSERECT* Simulator::Rect(const GaugeInstance& g, int index) const {
  if (g.header->mouse_rect == nullptr || index < 0 || index >= kMaxMouseRects) return nullptr;
  for (int i = 0; i <= index; ++i)
    if (g.header->mouse_rect[i].rect_type == MOUSE_RECT_EOL) return nullptr;
  return &g.header->mouse_rect[index];
}

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
  for (int i = 0; i < kMaxMouseRects; ++i) {
    const MOUSERECT* r = Rect(g, i);
    if (r == nullptr) break;
    if (r->handler == nullptr || (r->rect_type != MOUSE_RECT_CHILD && r->rect_type != MOUSE_RECT_PARENT)) continue;
    bool whole = r->size.x == 0 && r->size.y == 0;
    bool inside = whole || (dx >= r->position.x && dx < r->position.x + r->size.x && dy >= r->position.y &&
                            dy < r->position.y + r->size.y);
    if (!inside || (r->event_flags & flags & ~MOUSE_REPEAT) == 0) continue;
    PIXPOINT rel{static_cast<std::int32_t>(std::floor(dx - r->position.x)),
                 static_cast<std::int32_t>(std::floor(dy - r->position.y))};
    MouseHandler handler = r->handler;
    bool repeats = (r->event_flags & MOUSE_REPEAT) != 0;
    ++mouse_calls_;
    result = ClickResult{true, i, handler(&rel, flags)};
    Trace("  rectangle %d of %s handled it (%d)", i, g.name.c_str(), result.handler_result);
    if (repeats && hold_seconds > 0.0) {
      held_ = Held{gauge, i, rel, flags, tick_ + kRepeatDelayTicks,
                   tick_ + static_cast<std::uint64_t>(std::llround(hold_seconds * kTicksPerSecond))};
    }
    return result;
  }
  return result;
}

void Simulator::RepeatHeldClick() {
  if (held_.gauge < 0) return;
  if (tick_ >= held_.end_tick || !windows_[gauges_[held_.gauge].window].visible) {
    held_ = Held{};
    return;
  }
  if (tick_ < held_.next_tick) return;
  held_.next_tick += kRepeatIntervalTicks;
  const MOUSERECT* r = Rect(gauges_[held_.gauge], held_.rect);
  if (r == nullptr || r->handler == nullptr) {
    held_ = Held{};
    return;
  }
  PIXPOINT rel = held_.point;
  ++mouse_calls_;
  Trace("  repeat on rectangle %d of %s", held_.rect, gauges_[held_.gauge].name.c_str());
  r->handler(&rel, held_.flags);
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
    h.first(id, value, h.second);
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

// Names compare case-insensitively, as the simulator's own variable names do.
std::int32_t Simulator::CheckNamedVariable(const char* name) const {
  std::string n = BoundedName(name);
  if (n.empty() || n.size() > kMaxVariableName) return -1;
  for (std::size_t i = 0; i < named_.size(); ++i)
    if (util::EqualsIgnoreCase(named_[i].name, n)) return static_cast<std::int32_t>(i);
  return -1;
}

std::int32_t Simulator::RegisterNamedVariable(const char* name) {
  std::int32_t id = CheckNamedVariable(name);
  if (id >= 0) return id;
  std::string n = BoundedName(name);
  if (n.empty() || n.size() > kMaxVariableName || named_.size() >= kMaxNamedVariables) return -1;
  named_.push_back(NamedVar{n, 0.0});
  Trace("named variable '%s' registered as %zu", n.c_str(), named_.size() - 1);
  return static_cast<std::int32_t>(named_.size() - 1);
}

double Simulator::NamedVariable(std::int32_t id) const {
  if (id < 0 || static_cast<std::size_t>(id) >= named_.size()) return 0.0;
  return named_[id].value;
}

void Simulator::SetNamedVariable(std::int32_t id, double value) {
  if (id < 0 || static_cast<std::size_t>(id) >= named_.size()) return;
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

void Simulator::UnregisterVarByName(const char* name) { registered_.erase(util::ToUpper(BoundedName(name))); }

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
  for (ELEMENT_HEADER* e : g.elements) {
    if (e->image.dc == nullptr || (e->image_flags & IMAGE_HIDDEN) != 0) continue;
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
    BlitOver(*e->image.dc, *canvas, static_cast<int>(std::lround(px * sx)), static_cast<int>(std::lround(py * sy)));
  }
  return canvas;
}

std::unique_ptr<gfx::DeviceContext> Simulator::ComposeWindow(int window) {
  if (window < 0 || window >= static_cast<int>(windows_.size())) return nullptr;
  const PanelWindow& w = windows_[window].config;
  auto canvas = std::make_unique<gfx::DeviceContext>(w.w, w.h);  // opaque black
  for (std::size_t i = 0; i < gauges_.size(); ++i) {
    if (gauges_[i].window != window) continue;
    auto g = ComposeGauge(static_cast<int>(i));
    BlitOver(*g, *canvas, gauges_[i].x, gauges_[i].y);
  }
  return canvas;
}

bool Simulator::Snapshot(const std::string& dir, const std::string& label, std::vector<std::string>& files,
                         std::string& error) {
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
    if (!gfx::WritePng(*canvas, base + ".png")) {
      error = base + ".png: cannot write";
      return false;
    }
    files.push_back(base + ".png");
    for (std::size_t gi = 0; gi < gauges_.size(); ++gi) {
      if (gauges_[gi].window != static_cast<int>(wi)) continue;
      std::string name = base + util::Format("_gauge%02d_", gauges_[gi].number) + FileSafe(gauges_[gi].name) + ".png";
      auto g = ComposeGauge(static_cast<int>(gi));
      if (!gfx::WritePng(*g, name)) {
        error = name + ": cannot write";
        return false;
      }
      files.push_back(name);
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
    std::fprintf(f, "named %zu %s = %.6g\n", i, named_[i].name.c_str(), named_[i].value);
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
