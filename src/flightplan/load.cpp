#include "src/flightplan/load.h"

#include <algorithm>
#include <cstdio>
#include <memory>

#include "platform/os/os.h"
#include "src/flightplan/execute.h"
#include "src/flightplan/fuel.h"
#include "src/flightplan/holds.h"
#include "src/flightplan/holds_internal.h"
#include "src/flightplan/plan_ops.h"
#include "src/flightplan/pln_convert.h"
#include "src/flightplan/route_edit.h"
#include "src/flightplan/route_file.h"
#include "src/flightplan/state.h"
#include "src/guidance/flight_log.h"
#include "src/guidance/radio_tuning.h"
#include "src/guidance/state.h"
#include "src/host/panel_services.h"
#include "src/instruments/fms/state.h"
#include "src/instruments/gnsxls/state.h"
#include "src/model/state.h"
#include "src/navdb/navdb.h"
#include "src/navdb/procedures.h"
#include "src/util/text.h"

namespace ovi::flightplan {

namespace {

constexpr double kNearOriginDistance = 7.0;
constexpr double kNewFlightGroundSpeed = 5.0;
constexpr double kSpeedResetGroundSpeed = 50.0;
constexpr double kLeastLoadFuel = 5.0;
constexpr std::int32_t kFmsPageStoredPlans = 1;

model::State& M() { return model::model_state; }
State& Fp() { return flightplan_state; }
guidance::State& G() { return guidance::guidance_state; }

// A route file read aside first, so that a file that gives nothing never
// replaces the routes in use.
struct StagedRoute {
  std::unique_ptr<model::FlightPlanTable> table = std::make_unique<model::FlightPlanTable>();
  int last = -1;
  RouteReadResult result;
};

bool ReadStaged(const std::string& name, RouteKeyLines keys, const std::string& label, StagedRoute& staged) {
  std::FILE* f = OpenRouteFile(name, label);
  if (f == nullptr) return false;
  RouteReadRequest req;
  req.target = {staged.table.get(), &staged.last};
  req.key_lines = keys;
  req.label = label;
  staged.result = ReadRouteFile(f, req);
  std::fclose(f);
  if (!staged.result.refused.empty()) return false;  // the reader said why
  if (staged.last < 0) model::AddStatusMessage(label + ": no waypoint");
  return staged.last >= 0;
}

// The staged entries into a route table, as the reader stores them: the
// procedure name of each slot is not the file's and stays.
void CopyStaged(const StagedRoute& staged, model::FlightPlanTable& table, int& last) {
  for (int i = 0; i <= staged.last; ++i) {
    std::string kept = std::move(table[i].text1);
    table[i] = (*staged.table)[i];
    table[i].text1 = std::move(kept);
  }
  last = staged.last;
}

// The pending route's tracked constraint index belonged to the route
// before: left as it was, it could lie past the new plan's end and be
// carried back at EXEC. It names the new destination, as a load sets the
// flown route's.
void FollowLoadedPlan() {
  State& s = Fp();
  s.PendingActiveWaypointIndex = std::max(s.PendingFlightPlanLastIndex, 0);
}

bool EndsWithPln(const std::string& name) {
  return name.size() >= 4 && util::EqualsIgnoreCase(std::string_view(name).substr(name.size() - 4), ".PLN");
}

void ShowUnableToLoad() { M().McuEntryText = kUnableToLoadText; }

// What the request load shows of the route: the ident of its near end.
void ShowNearEnd(std::int32_t request, const std::string& ident) {
  gnsxls::State& mcu = gnsxls::gnsxls_state;
  if (request == 3) {
    mcu.KeyboardInputStatus = ident;
    mcu.KeyboardEntryLoadFlag = 1;
  } else if (request == 1) {
    M().McuEntryText = ident;
    mcu.McuPageEntered = 1;
  }
}

void TakeOrigin(const model::FlightPlanWaypoint& first) {
  model::State& m = M();
  gnsxls::gnsxls_state.GnsLoadedPlanFlagA = 1;
  m.OriginAirportIdent = first.ident;
  navdb::LoadAirportProcedures(m.OriginAirportIdent, 1);
  navdb::ListSids(model::kNoneText, model::kNoneText);
  m.RouteSid = model::kNoneText;
  m.SelectedSidTransition = model::kNoneText;
  m.RouteDepartureRunway = model::kNoneText;
  m.RteOriginIdent = m.OriginAirportIdent;
  m.PendingOriginIdent = m.OriginAirportIdent;
}

void TakeFirstWaypoint(const model::FlightPlanWaypoint& w) {
  State& s = Fp();
  guidance::State& g = G();
  s.EditWaypointIndex = 1;
  s.ActiveWaypointIndex = 1;
  if (g.ActiveLegFromEngagePosition == 1) g.ActiveLegFromEngagePosition = 0;
  g.ActiveWaypointLat = w.latitude;
  g.ActiveWaypointLon = w.longitude;
  ClearFixInfoEntries(0);
}

void StartOfFlight(double load_fuel) {
  model::State& m = M();
  guidance::State& g = G();
  if (m.SetUTCTimeOnFPLoad == 1) {
    const os::SystemTime utc = os::GetSystemTime();
    host::SendKeyEvent(kEventZuluHour, static_cast<std::uint32_t>(utc.hour));
    host::SendKeyEvent(kEventZuluMinute, static_cast<std::uint32_t>(utc.minute));
  }
  g.FlightPhase = guidance::kFlightLogRestart;
  if (m.LoadFuelonFlightPlanLoad == 1 && load_fuel > kLeastLoadFuel) LoadFuelIntoTanks(load_fuel);
  if (m.SetMCPCrzAltOnFlightPlanLoad == 1) host::SendKeyEvent(kEventAutopilotAltitude, static_cast<std::uint32_t>(m.CruiseAlt));
  g.LastClockSecond = -99.0;
  g.ElapsedFlightSeconds = 0.0;
  guidance::UpdateFlightLog(guidance::kLogTick);
}

}  // namespace

void LoadRequestedFlightPlan(std::int32_t request) {
  model::State& m = M();
  State& s = Fp();
  guidance::State& g = G();
  // A plan that cannot be loaded leaves the flight's reserve as it was.
  const double kept_reserve = m.ReserveFuel;
  m.ReserveFuel = 0.0;

  std::string name = s.RequestedFlightPlanFile;
  if (EndsWithPln(name)) {
    if (ConvertPlnToRte(name) == kPlnNotLoaded) {
      m.ReserveFuel = kept_reserve;
      g.FlightPlanLoadRequest = 0;
      return;
    }
    name = "Temp.RTE";
    s.RequestedFlightPlanFile = name;
  }

  const std::int32_t kept_cruise_altitude = m.CruiseAlt;
  m.CruiseAlt = 0;
  StagedRoute staged;
  if (!ReadStaged(name, RouteKeyLines::kRequestLoad, name, staged)) {
    // Nothing to load: the route being flown stays.
    m.CruiseAlt = kept_cruise_altitude;
    m.ReserveFuel = kept_reserve;
    ShowUnableToLoad();
    g.FlightPlanLoadRequest = 0;
    g.DisplayRefreshCounter = 999;
    return;
  }

  g.LnavLegTracking = 0;
  g.DirectToActive = 0;
  g.FlightLogState = 0;
  g.TakeoffTimeText = "-----";
  CopyStaged(staged, s.ActiveFlightPlan, s.ActiveFlightPlanLastIndex);
  ActiveRouteChanged();
  CopyStaged(staged, s.PendingFlightPlan, s.PendingFlightPlanLastIndex);
  FollowLoadedPlan();
  if (util::EqualsIgnoreCase(s.ActiveFlightPlan[0].type, "APT")) TakeOrigin(s.ActiveFlightPlan[0]);
  if (s.ActiveFlightPlanLastIndex >= 1) TakeFirstWaypoint(s.ActiveFlightPlan[1]);

  const int last = s.ActiveFlightPlanLastIndex;
  if (last >= 1) {
    WriteEndMarker(PendingPlan());
    WriteEndMarker(ActivePlan());
    const model::FlightPlanWaypoint& first = s.ActiveFlightPlan[0];
    const model::FlightPlanWaypoint& end = s.ActiveFlightPlan[last];
    double d = 0.0, c = 0.0;
    navdb::ComputeDistanceAndBearing(g.PlaneLatitude, g.PlaneLongitude, first.latitude, first.longitude, d, c);
    const bool at_origin = d <= kNearOriginDistance;
    const std::int32_t details_state = at_origin ? 1 : 2;
    const std::string near_end = at_origin ? first.ident : end.ident;
    g.DestinationDetailsState = details_state;
    ShowNearEnd(request, near_end);

    g.NextConstraintLat = end.latitude;
    g.NextConstraintLon = end.longitude;
    m.DestinationAirportIdent = end.ident;
    m.PendingDestinationIdent = m.DestinationAirportIdent;
    navdb::LoadAirportProcedures(m.DestinationAirportIdent, 2);
    navdb::ListStars(model::kNoneText, model::kNoneText);
    m.SelectedStar = model::kNoneText;
    m.PendingStarTransition = model::kNoneText;
    m.SelectedArrivalRunway = model::kNoneText;
    navdb::LoadAirportDetails(end.ident, 2);

    g.NextConstraintIndex = last;
    m.PlanDescentRate = m.DescentRate;
    gnsxls::gnsxls_state.McuLegsCursor = 1;
    g.VnavSpeedSet = 0;
    g.ActiveWaypointDistance = 999.0;
    s.RouteState = 0;
    g.ActiveHoldIndex = 0;
    DeleteEveryHold();
    const std::string entry_text = m.McuEntryText;
    const std::int32_t page_entered = gnsxls::gnsxls_state.McuPageEntered;
    ExecutePendingRoute();
    // Execution treats the route as a new origin's and clears the MCU entry
    // line; the load's own signs stand: the near end shown, and the
    // destination's details already loaded when away from the origin.
    m.McuEntryText = entry_text;
    gnsxls::gnsxls_state.McuPageEntered = page_entered;
    g.DestinationDetailsState = details_state;
  }

  s.McuFlightPlanLoaded = request;
  g.ArrivalActionsDone = 0;
  if (g.GroundSpeedKnots < kNewFlightGroundSpeed) StartOfFlight(staged.result.load_fuel_total);
  m.StatusMessageCount = std::min(m.StatusMessageCount, 2);
  gnsxls::gnsxls_state.GnsLoadedPlanFlagA = 1;
  gnsxls::gnsxls_state.GnsLoadedPlanFlagB = 1;
  g.FlightPlanLoadRequest = 0;
  g.DisplayRefreshCounter = 999;
  if (last >= 1) {
    s.RouteState = 3;
    if (g.GroundSpeedKnots < kSpeedResetGroundSpeed) {
      m.DescentSpeed = m.LoadedSpeedSchedule[0];
      m.ClimbIas = m.LoadedSpeedSchedule[1];
      m.CruiseSpeed = m.LoadedSpeedSchedule[2];
      m.CruiseMachEntered = false;
    }
    if (m.LnavSetEnRouteFreqs == 1) guidance::TuneEnRouteNavaids(guidance::kTuneRoute);
  }
  if (m.SetWptBaro == 1) host::SendKeyEvent(kEventBarometricSetting, 0);
}

bool LoadSelectedFlightPlan(std::string name, std::int32_t key_switch) {
  model::State& m = M();
  State& s = Fp();
  // A plan that cannot be loaded changes nothing, the values of the plan
  // loaded before included.
  const std::int32_t kept_cruise_altitude = m.FileCruiseAlt;
  const double kept_reserve = m.ResvFuel;
  const double kept_fuel = m.PlannedFuel;
  auto refuse = [&] {
    m.FileCruiseAlt = kept_cruise_altitude;
    m.ResvFuel = kept_reserve;
    m.PlannedFuel = kept_fuel;
    ShowUnableToLoad();
    return false;
  };
  m.FileCruiseAlt = 0;
  m.ResvFuel = 0.0;
  if (name == "NEXT FPL") {
    DetachPendingHolds(1, kMaxPlanLastIndex);
    PreparePlaceholderPlan(s.PendingFlightPlan, s.PendingFlightPlanLastIndex);
    FollowLoadedPlan();
    s.EditWaypointIndex = 0;
    return true;
  }
  const std::string label = name;
  if (!ResolveLibraryFileName(name)) return refuse();

  m.PlannedFuel = 0.0;
  StagedRoute staged;
  // The pending route being edited stays.
  if (!ReadStaged(name, key_switch == 0 ? RouteKeyLines::kSelectedLoad : RouteKeyLines::kNone, label, staged)) {
    return refuse();
  }
  G().LnavLegTracking = 0;
  // The plan replaces the route being edited: the holds of the flown route
  // stand on none of its waypoints (EXEC drops them, ERASE brings them back).
  DetachPendingHolds(1, kMaxPlanLastIndex);
  CopyStaged(staged, s.PendingFlightPlan, s.PendingFlightPlanLastIndex);
  FollowLoadedPlan();
  WriteEndMarker(PendingPlan());
  if (s.PendingFlightPlanLastIndex >= 1) s.EditWaypointIndex = 1;

  if (s.RouteState == 0) {
    StepRouteState();
    s.ActiveWaypointIndex = 1;
  }
  const int last = s.PendingFlightPlanLastIndex;
  if (last < 1 || key_switch != 0) return true;
  guidance::UpdateFlightLog(guidance::kLogTick);
  const model::FlightPlanWaypoint& first = s.PendingFlightPlan[0];
  if (first.type == "APT") {
    m.PendingOriginIdent = first.ident;
    m.RteOriginIdent = first.ident;
    m.OriginAirportIdent = first.ident;
    m.RouteSid = model::kNoneText;
    m.SelectedSidTransition = model::kNoneText;
    m.RouteDepartureRunway = model::kNoneText;
    navdb::LoadAirportProcedures(m.PendingOriginIdent, 1);
    m.PlanSelectionText2 = model::kNoneText;
    m.GnsSelectedSidTransition = model::kNoneText;
    m.PendingDepartureRunway = model::kNoneText;
  }
  const model::FlightPlanWaypoint& end = s.PendingFlightPlan[last];
  if (end.type == "APT") {
    if (fms::fms_state.FmsPage == kFmsPageStoredPlans && s.RouteState != 3) {
      m.PendingDestinationIdent = end.ident;
      m.PlanFinalWaypointIdent = end.ident;
      if (s.RouteState < 2) m.DestinationAirportIdent = end.ident;
    } else {
      m.DestinationAirportIdent = end.ident;
      m.PlanFinalWaypointIdent = end.ident;
    }
    m.SelectedStar = model::kNoneText;
    m.PendingStarTransition = model::kNoneText;
    m.SelectedArrivalRunway = model::kNoneText;
    m.GnsSelectedStarTransition = model::kNoneText;
    m.StarTransitionNone = model::kNoneText;
    m.PlanSelectionText1 = model::kNoneText;
    navdb::LoadAirportProcedures(m.PlanFinalWaypointIdent, 2);
  }
  return true;
}

}  // namespace ovi::flightplan
