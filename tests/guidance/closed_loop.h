// A closed loop in one process: the stand-in's aircraft and autopilot
// (sim/aircraft) answer the module's simulator-variable reads and key
// events, and the per-tick update runs once a tick as the gauges would run
// it. Simulated time only; 18 ticks a second.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/panel/panel.h"
#include "sim/aircraft.h"

namespace ovi::guidance::testing {

class ClosedLoop {
 public:
  ClosedLoop();
  // Hands the panel services to the module; call after resetting its state.
  void Bind();
  ~ClosedLoop();
  ClosedLoop(const ClosedLoop&) = delete;
  ClosedLoop& operator=(const ClosedLoop&) = delete;

  sim::AircraftState& aircraft() { return aircraft_; }
  const sim::AircraftState& aircraft_const() const { return aircraft_; }
  double time() const { return static_cast<double>(tick_) / 18.0; }

  // One tick: the aircraft moves, the tokens follow, the update runs.
  void Tick();
  // Ticks until `seconds` have passed or `stop` returns true after a tick.
  void Run(double seconds, const std::function<bool()>& stop = {});

  struct KeyEvent {
    double time;
    std::uint32_t id, value;
  };
  const std::vector<KeyEvent>& key_events() const { return key_events_; }
  double Named(const std::string& name) const;

 private:
  static void LookupVar(MODULE_VAR* var);
  static void TriggerKeyEvent(std::uint32_t id, std::uint32_t value);
  static std::int32_t CheckNamedVariable(const char* name);
  static std::int32_t RegisterNamedVariable(const char* name);
  static double GetNamedVariableValue(std::int32_t id);
  static void SetNamedVariableValue(std::int32_t id, double value);

  sim::AircraftState aircraft_;
  sim::TokenTable tokens_;
  std::uint64_t tick_ = 0;
  PANELS panels_{};
  std::vector<KeyEvent> key_events_;
  std::vector<std::pair<std::string, double>> named_;
};

// The sample route KSEA to KPDX (its SID's three fixes, the airway south,
// the STAR), entries 0..kSampleRouteLast.
struct SampleWaypoint {
  const char* ident;
  double lat, lon;
  const char* type;
  const char* tag;
};
extern const SampleWaypoint kSampleRoute[];
constexpr int kSampleRouteLast = 10;

// Lined up on runway 16L at Seattle-Tacoma, heading 180 true, variation
// 16 E, engines at idle; two seconds run.
void LineUpAtSeattle(ClosedLoop& loop);

// The sample flight's take-off by hand: thrust, 160 kt, rotate after 55 s,
// 2000 ft/min for 30 s; then the autopilot on, holding the runway heading
// (164 magnetic) and climbing at 2000 ft/min to 3000 ft.
void TakeOffByHand(ClosedLoop& loop);

// The sample route as the active and the pending plan, executed, waypoint 1
// active, and the aircraft over KSEA at 3000 ft, 250 kt, heading 180 true,
// variation 16 E, autopilot master and heading hold on.
void SetUpSampleFlight(ClosedLoop& loop);
// The same with another route, entries 0..last, over its first entry.
void SetUpRouteFlight(ClosedLoop& loop, const SampleWaypoint* route, int last);

// A copy of the sample simulator folder (data/) at `folder`, the module
// reset and bound to `loop`, and what the first gauge's pre-initialise
// loads from it: the configuration, the navigation data and the aircraft
// file named `aircraft` with its performance tables.
void LoadSampleFolder(ClosedLoop& loop, const std::filesystem::path& folder, const char* aircraft);

}  // namespace ovi::guidance::testing
