// The simulator stand-in's host: owns the simulated aircraft and the panel,
// serves the panel services to the loaded module, drives its gauges and
// renders them.
#pragma once

#include <cstdint>
#include <cstdio>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/gfx/device_context.h"
#include "platform/gfx/recorder.h"
#include "platform/panel/panel.h"
#include "sim/aircraft.h"
#include "sim/fsuipc_server.h"
#include "sim/host.h"
#include "sim/keyboard_keys.h"
#include "sim/mouse.h"
#include "sim/panel_cfg.h"
#include "sim/text_record.h"
#include "sim/timing.h"
#include "sim/traffic_provider.h"

namespace ovi::sim {

constexpr int kTicksPerSecond = 18;
// A held click on a repeating rectangle calls its handler again after
// kRepeatDelayTicks, then every kRepeatIntervalTicks while held.
constexpr int kRepeatDelayTicks = 9;
constexpr int kRepeatIntervalTicks = 3;

// What the host keeps beside one element: its surface, the recorders of the
// texts drawn on it, and a string element's text buffer.
struct ElementSlot {
  std::unique_ptr<gfx::DeviceContext> surface;  // null: nothing to show
  std::unique_ptr<gfx::Recorder> frame;         // attached to the surface while the gauge draws
  std::unique_ptr<gfx::Recorder> shown;         // what the picture shows now
  std::unique_ptr<char[]> text;                 // string elements: max_length + 1 bytes
  std::string drawn_text;                       // string elements: the text on the surface
  bool drawn = false;
};

struct GaugeInstance {
  std::string name;       // as the module exports it
  int number = 0;         // NN of its gaugeNN entry
  std::string parameter;  // host-owned copy handed to the module
  int window = 0;         // index into Simulator::windows()
  int panel_line = 0;
  int x = 0, y = 0, w = 0, h = 0;  // on the window, panel pixels
  double design_w = 0.0, design_h = 0.0;
  GAUGEHDR* header = nullptr;  // the module's own, or a copy for a repeated gauge
  std::unique_ptr<GAUGEHDR> header_copy;
  std::deque<ELEMENT_HEADER> element_copies;
  std::deque<std::vector<ELEMENT_HEADER*>> list_copies;
  std::vector<ELEMENT_HEADER*> elements;  // pre-order: parents before children
  std::vector<ElementSlot> slots;          // one per element
  std::vector<MouseArea> mouse;            // the mouse-rectangle list as read at install
  std::vector<int> services;  // every service id delivered, in order
  DurationStats pre_draw;     // with timing on
  DurationStats pre_draw_cpu;  // the same in processor time
};

struct WindowInstance {
  PanelWindow config;
  bool visible = true;
  // The window's background picture at its size (null: black).
  std::unique_ptr<gfx::DeviceContext> background;
};

struct KeyEventRecord {
  double time = 0.0;
  std::uint64_t tick = 0;
  std::uint32_t id = 0;
  std::uint32_t value = 0;
  std::string source;  // "module" or "scenario"
  int handlers = 0;    // handlers it was routed to
};

struct ClickResult {
  bool hit = false;
  int rect = -1;  // index in the gauge's mouse-rectangle list
  std::int32_t handler_result = 0;
  std::int32_t cursor = CURSOR_NONE;  // the cursor shown where the click went
};

// Frame costs with timing on: the whole tick, and the time spent inside the
// module's callbacks (services, string updates, mouse and key handlers).
struct RunTiming {
  DurationStats frame;
  DurationStats frame_cpu;  // processor time
  double module_seconds = 0.0;        // all of the run
  double frame_module_seconds = 0.0;  // inside frames
};

class Simulator {
 public:
  Simulator();
  ~Simulator();
  Simulator(const Simulator&) = delete;
  Simulator& operator=(const Simulator&) = delete;

  // dlopen the module, give it our panel services, call its start entry.
  bool Load(const std::string& module_path, std::string& error);
  const LoadedModule& module() const { return module_; }
  std::string ModuleName() const;  // file name without folder and extension

  void SetResources(const std::string& dir) { resources_ = dir; }
  void SetTrace(std::FILE* f) { trace_ = f; }

  // Creates the windows and one gauge instance per known gauge entry, with
  // element surfaces, then sends pre-install .. post-initialise to each gauge
  // in panel order. Entries the module does not export are skipped and
  // reported in `warnings` ("FILE:LINE: ...").
  void Install(const PanelConfig& panel, std::vector<std::string>& warnings);
  void Connect();     // connect-to-window to every gauge
  void Disconnect();  // disconnect to every gauge (once)

  void RunTicks(std::uint64_t n);
  void RunUntil(double seconds);
  std::uint64_t tick() const { return tick_; }
  double time() const { return static_cast<double>(tick_) / kTicksPerSecond; }

  AircraftState& aircraft() { return aircraft_; }
  // The simulator's add-ons the module talks to: the FSUIPC server, the
  // traffic provider and the GPS module.
  FsuipcServer& fsuipc() { return fsuipc_; }
  TrafficProvider& traffic() { return traffic_; }
  GpsModule& gps() { return gps_; }
  TokenTable& tokens() { return tokens_; }
  void RefreshTokens() { tokens_.WriteFrom(aircraft_, tick_); }

  // Key events: logged, then routed to every registered handler.
  void SendKeyEvent(std::uint32_t id, std::uint32_t value, const std::string& source);
  const std::vector<KeyEventRecord>& key_events() const { return key_events_; }

  // Named variables; ids are -1 when absent.
  std::int32_t RegisterNamedVariable(const char* name);
  std::int32_t CheckNamedVariable(const char* name) const;
  double NamedVariable(std::int32_t id) const;
  void SetNamedVariable(std::int32_t id, double value);

  // Windows by ident (0 = main panel window).
  bool HasWindow(std::uint32_t ident) const;
  bool IsWindowVisible(std::uint32_t ident) const;
  bool SetWindowVisible(std::uint32_t ident, bool visible);
  bool ToggleWindow(std::uint32_t ident);
  const std::vector<WindowInstance>& windows() const { return windows_; }

  const std::deque<GaugeInstance>& gauges() const { return gauges_; }
  // Index of the n-th (1-based) gauge of that name, case-insensitive; -1.
  int FindGauge(const std::string& name, int occurrence = 1) const;
  bool PanelLists(const std::string& name, int occurrence = 1) const;

  // A click at (x, y) panel pixels from the gauge's top-left. A hold longer
  // than zero keeps the button down that long: rectangles with the repeat
  // flag are called again while it is held. A gauge in a closed window is
  // not on screen and cannot be clicked.
  ClickResult Click(int gauge, double x, double y, std::uint32_t flags, double hold_seconds);
  int mouse_calls() const { return mouse_calls_; }
  // The cursor shown over (x, y) panel pixels from the gauge's top-left.
  std::int32_t CursorAt(int gauge, double x, double y) const;

  // The PC keyboard: a key goes down or up; its message goes through the
  // module's keyboard hooks first (true: a hook discarded it).
  bool SetKeyboardKey(const KeyboardKey& key, bool down);
  int keyboard_messages() const { return keyboard_messages_; }
  int keyboard_discarded() const { return keyboard_discarded_; }

  // The texts the gauge's last frame shows (hidden elements left out).
  std::vector<TextEntry> Texts(int gauge) const;

  // Wall-clock costs per gauge and frame, gathered while on.
  void SetTiming(bool on) { timing_on_ = on; }
  const RunTiming& timing() const { return timing_; }
  // Bitmap ids that painted a placeholder (no file in the resources).
  const std::set<std::uint32_t>& missing_bitmaps() const { return missing_bitmaps_; }

  // Composes one gauge (its elements at their places) or one window (its
  // gauges at their places).
  std::unique_ptr<gfx::DeviceContext> ComposeGauge(int gauge);
  std::unique_ptr<gfx::DeviceContext> ComposeWindow(int window);
  // Writes PNGs of every visible window and of its gauges into dir/label/,
  // and beside each gauge's picture the text record of its last frame; the
  // names written are appended to `files`. `before_write` hears of each file
  // before it is written.
  bool Snapshot(const std::string& dir, const std::string& label, std::vector<std::string>& files,
                std::string& error, const std::function<void(const std::string&)>& before_write = nullptr);

  // Called after every tick's frame (the flight watch of the summary).
  void SetTickObserver(std::function<void()> observer) { tick_observer_ = std::move(observer); }
  // A variable the module registered by name (register_var_by_name): its
  // number (types 1, 2, 3) or its text (type 4); false when absent or of
  // another type.
  bool RegisteredNumber(const std::string& name, double& value) const;
  bool RegisteredText(const std::string& name, std::string& text) const;

  bool WriteServices(const std::string& path) const;
  bool WriteKeyEvents(const std::string& path) const;
  bool WriteVariables(const std::string& path) const;
  const std::set<std::uint32_t>& unknown_tokens_read() const { return unknown_tokens_; }
  const std::set<std::string>& unknown_expressions() const { return unknown_expressions_; }

  // The panel services handed to the module.
  PANELS* panels();

  // Service entry points (called through the table).
  void LookupVar(MODULE_VAR* var);
  std::int32_t ExecuteCalculator(const char* code, double* f, std::int32_t* i, const char** s);
  void RegisterVarByName(void* storage, std::uint32_t type, const char* name);
  void InitializeVarByName(MODULE_VAR* var, const char* name) const;
  void UnregisterVarByName(const char* name);
  void RegisterKeyEventHandler(KeyEventHandler h, void* user);
  void UnregisterKeyEventHandler(KeyEventHandler h, void* user);

 private:
  struct NamedVar {
    std::string name;
    double value = 0.0;
    bool removed = false;  // by unregister_var_by_name; the id is not reused for another name
  };
  struct RegisteredVar {
    std::string name;
    void* storage = nullptr;
    std::uint32_t type = VAR_TYPE_NONE;
  };
  struct Held {
    int gauge = -1;
    int rect = -1;
    PIXPOINT point{};
    std::uint32_t flags = 0;
    std::uint64_t next_tick = 0;
    std::uint64_t end_tick = 0;
  };

  void BindSurfaces(GaugeInstance& g);
  void Service(GaugeInstance& g, std::int32_t service);
  void Frame();
  void UpdateStrings(GaugeInstance& g);
  void DrawStrings(GaugeInstance& g);
  void RepeatHeldClick();
  void ReportOverlaps(const PanelConfig& panel, std::vector<std::string>& warnings) const;
  void BuildGauge(GaugeInstance& g, GAUGEHDR* exported, bool copy, const std::string& where,
                  std::vector<std::string>& warnings);
  // Runs a module callback, counting its time as the module's.
  template <typename F>
  auto InModule(F&& f) -> decltype(f());
  int WindowIndex(std::uint32_t ident) const;
  void Trace(const char* fmt, ...) __attribute__((format(printf, 2, 3)));

  LoadedModule module_;
  std::string module_path_;
  std::string resources_;
  std::FILE* trace_ = nullptr;
  std::uint64_t tick_ = 0;
  AircraftState aircraft_;
  TokenTable tokens_;
  FsuipcServer fsuipc_{aircraft_};
  TrafficProvider traffic_;
  GpsModule gps_;
  std::vector<WindowInstance> windows_;
  std::deque<GaugeInstance> gauges_;  // stable addresses: the module keeps pointers
  std::vector<std::pair<std::string, int>> listed_;  // every panel entry: name, window
  std::vector<KeyEventRecord> key_events_;
  std::vector<NamedVar> named_;
  // Ids of named_ by upper-case name.
  struct NameHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
  };
  std::unordered_map<std::string, std::int32_t, NameHash, std::equal_to<>> named_ids_;
  std::map<std::string, RegisteredVar> registered_;  // by upper-case name
  std::vector<std::pair<KeyEventHandler, void*>> key_handlers_;
  int key_event_depth_ = 0;
  Held held_;
  int mouse_calls_ = 0;
  int keyboard_messages_ = 0;
  int keyboard_discarded_ = 0;
  std::uintptr_t main_window_ = 0;
  bool timing_on_ = false;
  int module_depth_ = 0;
  RunTiming timing_;
  std::set<std::uint32_t> missing_bitmaps_;
  bool connected_ = false;
  std::set<std::uint32_t> unknown_tokens_;
  std::set<std::string> unknown_expressions_;
  std::set<GAUGEHDR*> used_headers_;
  std::function<void()> tick_observer_;
};

}  // namespace ovi::sim
