#include "src/host/server_gauge.h"

#include <cmath>
#include <cstring>

#include "src/flightplan/state.h"
#include "src/guidance/avionics_update.h"
#include "src/host/display_commands.h"
#include "src/host/gauge_skeleton.h"
#include "src/host/gps_route.h"
#include "src/host/host_detect.h"
#include "src/host/panel_services.h"
#include "src/host/state.h"
#include "src/host/subsystem_links.h"
#include "src/model/state.h"

namespace ovi::host {

namespace {

constexpr std::uint32_t kEventHeadingBug = 0x101FA;  // autopilot heading target, whole degrees
constexpr std::size_t kMaxTitle = 255;

// Named values the SERVER keeps as state for other gauges.
constexpr const char* kStateVariables[] = {
    "ovi_lnav",   "ovi_vnav",   "ovi_nd_mode", "ovi_nd_range", "ovi_server_active", "ovi_lnav_hdg_set",
    "ovi_nd_apt", "ovi_nd_nav", "ovi_nd_int",  "ovi_nd_tcas",
};

// Command variables: another gauge writes a non-zero value, the SERVER acts
// on it at its next pre-update and sets it back to 0.
struct Command {
  const char* name;
  void (*act)(double value);
};

void Both(double value, void (*up)(), void (*down)()) {
  if (value > 0.0) up();
  if (value < 0.0) down();
}

const Command kCommands[] = {
    {"ovi_lnav_clicked", [](double) { ToggleLnavLink(); }},
    {"ovi_vnav_clicked", [](double) { ToggleVnavLink(); }},
    {"ovi_nd_tcas_clicked", [](double) { ToggleNdTcas(); }},
    {"ovi_nd_apt_clicked", [](double) { ToggleNdAirports(); }},
    {"ovi_nd_nav_clicked", [](double) { ToggleNdNavaids(); }},
    {"ovi_nd_int_clicked", [](double) { ToggleNdIntersections(); }},
    {"ovi_nd_bdry_clicked", [](double) { ToggleNdBoundaries(); }},
    {"ovi_nd_range_clicked", [](double v) { Both(v, IncrementNdRange, DecrementNdRange); }},
    {"ovi_nd_mode_clicked",
     [](double v) { Both(v, [] { IncrementNdMode(kDisplayAll); }, [] { DecrementNdMode(kDisplayAll); }); }},
    {"ovi_gps_rte_clicked", [](double) { LoadFlightPlannerRoute(0); }},
};

// Memory-backed exports: the host (and any gauge) reads our storage.
struct Export {
  const char* name;
  std::uint32_t type;
  void* (*storage)();
};

const Export kExports[] = {
    {"ovi_act_wpt_pos", VAR_TYPE_U32, []() -> void* { return &host_state.NavigationSnapshot.ActWptPos; }},
    {"ovi_act_wpt_dist", VAR_TYPE_FLOAT64, []() -> void* { return &host_state.NavigationSnapshot.ActWptDist; }},
    {"ovi_fpln_wpt_cnt", VAR_TYPE_U32, []() -> void* { return &host_state.NavigationSnapshot.FplnWptCnt; }},
    {"ovi_act_wpt_trk", VAR_TYPE_FLOAT64, []() -> void* { return &host_state.NavigationSnapshot.ActWptTrk; }},
    {"ovi_act_wpt_brg", VAR_TYPE_FLOAT64, []() -> void* { return &host_state.NavigationSnapshot.ActWptBrg; }},
    {"ovi_xtk_err_dir", VAR_TYPE_U32, []() -> void* { return &host_state.NavigationSnapshot.XtkErrDir; }},
    {"ovi_xtk_err_dist", VAR_TYPE_FLOAT64, []() -> void* { return &host_state.NavigationSnapshot.XtkErrDist; }},
    {"ovi_lnav_mode", VAR_TYPE_U32, []() -> void* { return &host_state.NavigationSnapshot.LnavMode; }},
    {"ovi_vnav_mode", VAR_TYPE_U32, []() -> void* { return &host_state.NavigationSnapshot.VnavMode; }},
    {"ovi_active", VAR_TYPE_U32, []() -> void* { return &host_state.OviActive; }},
    {"ovi_act_wpt_id", VAR_TYPE_TEXT, []() -> void* { return host_state.ActWptIdent; }},
    {"Ovi_FlightPlan", VAR_TYPE_TEXT, []() -> void* { return host_state.FlightPlanText; }},
};

void PublishDisplayState() {
  const model::State& m = model::model_state;
  SetNamedValueIfPresent("ovi_nd_mode", m.HWB737NDMode);
  SetNamedValueIfPresent("ovi_nd_range", m.NdRange);
}

// The LNAV heading: published while LNAV is engaged (0 otherwise) and sent
// to the autopilot heading bug whenever it changes.
void OutputLnavHeading() {
  double heading = 0.0;
  if (!LnavCommandedHeadingLink(heading) || !std::isfinite(heading)) {
    SetNamedValueIfPresent("ovi_lnav_hdg_set", 0.0);
    host_state.LastLnavHeadingSent = -1;
    return;
  }
  const std::int32_t whole = WholeLnavHeading(heading);
  SetNamedValueIfPresent("ovi_lnav_hdg_set", whole);
  if (whole != host_state.LastLnavHeadingSent) {
    host_state.LastLnavHeadingSent = whole;
    SendKeyEvent(kEventHeadingBug, static_cast<std::uint32_t>(whole));
  }
}

void PollCommands() {
  PANELS* panels = Panels();
  if (panels == nullptr || panels->check_named_variable == nullptr || panels->get_named_variable_value == nullptr ||
      panels->set_named_variable_value == nullptr)
    return;
  for (const Command& c : kCommands) {
    std::int32_t id = panels->check_named_variable(c.name);
    if (id < 0) continue;
    double value = panels->get_named_variable_value(id);
    if (value == 0.0) continue;
    // Cleared first: a command acts once, also when it sets the variable again.
    panels->set_named_variable_value(id, 0.0);
    if (std::isfinite(value)) c.act(value);
  }
}

void ReadAircraftTitle() {
  host_state.AircraftTitle.clear();
  PANELS* panels = Panels();
  if (panels == nullptr || panels->execute_calculator_code == nullptr) return;
  const char* title = nullptr;
  panels->execute_calculator_code("(A:TITLE, String)", nullptr, nullptr, &title);
  if (title != nullptr) host_state.AircraftTitle.assign(title, strnlen(title, kMaxTitle));
}

constexpr GaugeForm kServerForm{
    .log_line = "server_callback \n",
    .post_initialise = ServerPostInitialise,
    .pre_update = ServerPreUpdate,
    .connect = ServerConnect,
    .disconnect = ServerDisconnect,
};

// Nothing to draw: an empty element list.
ELEMENT_HEADER* server_elements[] = {nullptr};

}  // namespace

std::int32_t WholeLnavHeading(double heading) {
  if (!std::isfinite(heading)) return 360;
  // The per-tick update truncates the same heading for the same event; a
  // rounded copy would move the heading bug back and forth by a degree.
  if (heading < 0.0 || heading >= 361.0) heading = std::fmod(std::fmod(heading, 360.0) + 360.0, 360.0);
  auto whole = static_cast<std::int32_t>(heading);
  return whole == 0 ? 360 : whole;
}

void ServerPostInitialise(GAUGEHDR* /*gauge*/) {
  ReadAircraftTitle();
  DetectSimHost();
}

void ServerConnect(GAUGEHDR* /*gauge*/) {
  PANELS* panels = Panels();
  if (panels == nullptr) return;
  if (panels->register_named_variable != nullptr) {
    for (const char* name : kStateVariables) panels->register_named_variable(name);
    for (const Command& c : kCommands) panels->register_named_variable(c.name);
  }
  RefreshRouteExports();
  if (panels->register_var_by_name != nullptr) {
    for (const Export& e : kExports) panels->register_var_by_name(e.storage(), e.type, e.name);
  }
  if (panels->register_key_event_handler != nullptr) panels->register_key_event_handler(HandlePanelKeyEvent, nullptr);
  const model::State& m = model::model_state;
  SetNamedValueIfPresent("ovi_server_active", 1.0);
  SetNamedValueIfPresent("ovi_nd_apt", m.NdShowAirports);
  SetNamedValueIfPresent("ovi_nd_nav", m.NdShowNavaids);
  SetNamedValueIfPresent("ovi_nd_int", m.NdShowIntersections);
  SetNamedValueIfPresent("ovi_nd_tcas", m.NdShowTraffic);
  PublishDisplayState();
  host_state.ServerConnected = 1;
}

void ServerDisconnect(GAUGEHDR* /*gauge*/) {
  PANELS* panels = Panels();
  if (panels == nullptr) return;
  if (panels->unregister_key_event_handler != nullptr)
    panels->unregister_key_event_handler(HandlePanelKeyEvent, nullptr);
  if (panels->unregister_var_by_name != nullptr) {
    for (const Export& e : kExports) panels->unregister_var_by_name(e.name);
  }
  SetNamedValueIfPresent("ovi_server_active", 0.0);
  host_state.ServerConnected = 0;
}

void ServerPreUpdate(GAUGEHDR* /*gauge*/) {
  // The values the SERVER exports come from the per-tick update; a panel
  // whose only module gauges are the SERVER and buttons draws nothing that
  // would run it. Once per tick whoever calls first.
  guidance::UpdateAvionicsState();
  PollCommands();
  PublishDisplayState();
  OutputLnavHeading();
  RefreshRouteExports();
}

void RefreshRouteExports() {
  const flightplan::State& fp = flightplan::flightplan_state;
  int last = fp.ActiveFlightPlanLastIndex;
  if (last > model::kMaxFlightPlanWaypoints) last = model::kMaxFlightPlanWaypoints;

  char* id = host_state.ActWptIdent;
  id[0] = '\0';
  int active = fp.ActiveWaypointIndex;
  if (active >= 0 && active <= last) {
    const std::string& ident = fp.ActiveFlightPlan[active].ident;
    std::size_t n = std::min(ident.size(), kActWptIdentSize - 1);
    std::memcpy(id, ident.data(), n);
    id[n] = '\0';
  }

  char* text = host_state.FlightPlanText;
  std::size_t used = 0;
  for (int i = 0; i <= last; ++i) {
    const std::string& ident = fp.ActiveFlightPlan[i].ident;
    if (ident.empty()) continue;
    std::size_t need = ident.size() + (used > 0 ? 1 : 0);
    if (used + need >= kFlightPlanTextSize) break;  // only whole idents
    if (used > 0) text[used++] = ' ';
    std::memcpy(text + used, ident.data(), ident.size());
    used += ident.size();
  }
  text[used] = '\0';
}

void HandlePanelKeyEvent(std::uint32_t event_id, std::uint32_t value, void* /*user*/) {
  switch (event_id) {
    case kEventToggleLnav: ToggleLnavLink(); break;
    case kEventToggleVnav: ToggleVnavLink(); break;
    case kEventToggleTcas: ToggleNdTcas(); break;
    case kEventToggleAirports: ToggleNdAirports(); break;
    case kEventToggleNavaids: ToggleNdNavaids(); break;
    case kEventToggleIntersections: ToggleNdIntersections(); break;
    case kEventToggleBoundaries: ToggleNdBoundaries(); break;
    case kEventRangeIncrement: IncrementNdRange(); break;
    case kEventRangeDecrement: DecrementNdRange(); break;
    case kEventNdMode:
      if (static_cast<std::int32_t>(value) < 0) {
        DecrementNdMode(kDisplayAll);
      } else {
        IncrementNdMode(kDisplayAll);
      }
      break;
    default: break;
  }
}

void server_callback(GAUGEHDR* gauge, std::int32_t service, std::uint32_t /*extra*/) {
  RunGaugeCallback(kServerForm, gauge, service);
}

GAUGEHDR server_gauge = {
    GAUGE_HEADER_VERSION, "SERVER", server_elements, server_callback, 0, "", nullptr, {0, 0},
    nullptr,
};

}  // namespace ovi::host
