#include "tests/guidance/closed_loop.h"

#include "src/flightplan/state.h"
#include "src/guidance/avionics_update.h"
#include "src/guidance/state.h"
#include "src/host/module_state.h"
#include "src/host/one_time_loads.h"
#include "src/host/state.h"

namespace ovi::guidance::testing {

namespace {
ClosedLoop* g_loop = nullptr;
}

ClosedLoop::ClosedLoop() {
  g_loop = this;
  panels_.lookup_var = LookupVar;
  panels_.trigger_key_event = TriggerKeyEvent;
  panels_.check_named_variable = CheckNamedVariable;
  panels_.register_named_variable = RegisterNamedVariable;
  panels_.get_named_variable_value = GetNamedVariableValue;
  panels_.set_named_variable_value = SetNamedVariableValue;
  RegisterNamedVariable("ovi_lnav");
  RegisterNamedVariable("ovi_vnav");
  tokens_.WriteFrom(aircraft_, 0);
}

void ClosedLoop::Bind() { host::host_state.Panels = &panels_; }

ClosedLoop::~ClosedLoop() {
  host::host_state.Panels = nullptr;
  g_loop = nullptr;
}

void ClosedLoop::Tick() {
  ++tick_;
  sim::AdvanceAircraft(aircraft_, 1.0 / 18.0);
  tokens_.WriteFrom(aircraft_, tick_);
  UpdateAvionicsState();
}

void ClosedLoop::Run(double seconds, const std::function<bool()>& stop) {
  const auto n = static_cast<std::uint64_t>(seconds * 18.0 + 0.5);
  for (std::uint64_t i = 0; i < n; ++i) {
    Tick();
    if (stop && stop()) return;
  }
}

double ClosedLoop::Named(const std::string& name) const {
  for (const auto& [n, v] : named_)
    if (n == name) return v;
  return -1.0;
}

void ClosedLoop::LookupVar(MODULE_VAR* var) {
  if (g_loop->tokens_.IsText(var->id)) {
    var->value.text = g_loop->tokens_.Text(var->id);
  } else {
    var->value.n = g_loop->tokens_.Number(var->id);
  }
}

void ClosedLoop::TriggerKeyEvent(std::uint32_t id, std::uint32_t value) {
  g_loop->key_events_.push_back({g_loop->time(), id, value});
  sim::ApplyKeyEvent(g_loop->aircraft_, id, value);
}

std::int32_t ClosedLoop::CheckNamedVariable(const char* name) {
  for (std::size_t i = 0; i < g_loop->named_.size(); ++i)
    if (g_loop->named_[i].first == name) return static_cast<std::int32_t>(i);
  return -1;
}

std::int32_t ClosedLoop::RegisterNamedVariable(const char* name) {
  std::int32_t id = CheckNamedVariable(name);
  if (id >= 0) return id;
  g_loop->named_.emplace_back(name, 0.0);
  return static_cast<std::int32_t>(g_loop->named_.size() - 1);
}

double ClosedLoop::GetNamedVariableValue(std::int32_t id) {
  return id >= 0 && static_cast<std::size_t>(id) < g_loop->named_.size() ? g_loop->named_[id].second : 0.0;
}

void ClosedLoop::SetNamedVariableValue(std::int32_t id, double value) {
  if (id >= 0 && static_cast<std::size_t>(id) < g_loop->named_.size()) g_loop->named_[id].second = value;
}

const SampleWaypoint kSampleRoute[] = {
    {"KSEA", 47.44900, -122.30930, "APT", ""},     {"FOURT", 47.35000, -122.30600, "INT", "SID"},
    {"PARKK", 47.23000, -122.30000, "INT", "SID"},   {"CHINS", 47.16000, -122.30500, "INT", "SID"},
    {"OLM", 46.97130, -122.90220, "VOR", ""},        {"TOLLE", 46.56350, -122.79730, "INT", ""},
    {"COUGA", 46.15560, -122.69400, "INT", ""},      {"BTG", 45.74760, -122.59220, "VOR", ""},
    {"LAVAA", 45.61300, -122.92000, "INT", "STAR"},  {"JAYPE", 45.52000, -122.86000, "INT", "STAR"},
    {"KPDX", 45.58870, -122.59750, "APT", ""},
};

void LineUpAtSeattle(ClosedLoop& loop) {
  sim::AircraftState& a = loop.aircraft();
  a.latitude = 47.4638;
  a.longitude = -122.3082;
  a.ground_elevation = a.altitude = 433.0;
  a.heading = 180.0;
  a.magvar = 16.0;
  a.n1 = 22.0;
  loop.Run(2.0);
}

void TakeOffByHand(ClosedLoop& loop) {
  sim::AircraftState& a = loop.aircraft();
  a.n1 = 92.0;
  a.ap_spd_hold = 1.0;
  a.ap_speed = 160.0;
  loop.Run(55.0);
  a.vs = 2000.0;
  loop.Run(30.0);
  a.ap_master = a.ap_hdg_lock = a.ap_alt_lock = 1.0;
  a.ap_heading = 164.0;
  a.ap_altitude = 3000.0;
  a.ap_vs = 2000.0;
}

void SetUpSampleFlight(ClosedLoop& loop) { SetUpRouteFlight(loop, kSampleRoute, kSampleRouteLast); }

void SetUpRouteFlight(ClosedLoop& loop, const SampleWaypoint* route, int last) {
  flightplan::State& fp = flightplan::flightplan_state;
  for (int i = 0; i <= last; ++i) {
    for (model::FlightPlanWaypoint* w : {&fp.ActiveFlightPlan[i], &fp.PendingFlightPlan[i]}) {
      w->ident = route[i].ident;
      w->latitude = route[i].lat;
      w->longitude = route[i].lon;
      w->type = route[i].type;
      w->procedure_tag = route[i].tag;
    }
  }
  fp.ActiveFlightPlanLastIndex = fp.PendingFlightPlanLastIndex = last;
  fp.ActiveWaypointIndex = 1;
  fp.RouteState = 3;
  State& g = guidance_state;
  g.ActiveWaypointLat = route[1].lat;
  g.ActiveWaypointLon = route[1].lon;
  g.ActiveWaypointDistance = 999.0;  // as route execution leaves it

  sim::AircraftState& a = loop.aircraft();
  a.latitude = route[0].lat;
  a.longitude = route[0].lon;
  a.ground_elevation = 433.0;
  a.altitude = 3000.0;
  a.heading = 180.0;
  a.ias = 250.0;
  a.magvar = 16.0;
  a.ap_master = a.ap_hdg_lock = 1.0;
  a.ap_heading = 164.0;
  loop.Run(2.0);  // the snapshot sees the aircraft
}

void LoadSampleFolder(ClosedLoop& loop, const std::filesystem::path& folder, const char* aircraft) {
  namespace fs = std::filesystem;
  fs::remove_all(folder);
  fs::create_directories(folder);
  fs::copy(fs::path(OVI_SOURCE_DIR) / "data", folder, fs::copy_options::recursive);
  ResetModuleState();
  loop.Bind();
  host::host_state.SimulatorFolder = folder.string();
  host::RunLoadConfiguration();
  host::RunLoadNavDatabase();
  host::AircraftConfigNameRef() = aircraft;
  host::RunLoadAircraftConfig();
}

}  // namespace ovi::guidance::testing
