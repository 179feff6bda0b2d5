#include "src/guidance/avionics_update.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "src/flightplan/execute.h"
#include "src/flightplan/load.h"
#include "src/flightplan/runway_data.h"
#include "src/flightplan/state.h"
#include "src/guidance/flight_log.h"
#include "src/guidance/lateral.h"
#include "src/guidance/profile_predictions.h"
#include "src/guidance/radio_tuning.h"
#include "src/guidance/speed_mode.h"
#include "src/guidance/state.h"
#include "src/guidance/vertical_plan.h"
#include "src/guidance/vnav.h"
#include "src/host/panel_services.h"
#include "src/host/sim_vars.h"
#include "src/host/state.h"
#include "src/instruments/gnsxls/state.h"
#include "src/model/state.h"
#include "src/navdb/navdb.h"
#include "src/navdb/state.h"

namespace ovi::guidance {

namespace {

constexpr double kDegToRad = 0.017453292519943295;
constexpr double kInHgPerMillibar = 0.0009869232667160128 * 29.92;
constexpr double kFsxRateScale = 0.00390625;
constexpr std::uint32_t kEventBarometric = 65584;
constexpr int kFrames = 18;
constexpr double kArrivalDistance = 25.0;         // NM
constexpr double kDestinationDetailsDistance = 8.0;  // NM from the origin
// Radio altitude (ft) below which the aircraft stands on the ground.
constexpr double kOnGroundHeight = 10.0;

bool FrameIs(std::int32_t frame, std::initializer_list<std::int32_t> frames) {
  return std::find(frames.begin(), frames.end(), frame) != frames.end();
}

bool AnyAbove(double limit, double a, double b, double c, double d) { return a > limit || b > limit || c > limit || d > limit; }

// A minute count as hours and the minute remainder.
void SplitMinutes(double minutes, double& hours, double& rest) {
  hours = minutes >= 60.0 ? std::trunc(minutes / 60.0) : 0.0;
  rest = minutes - hours * 60.0;
  if (!(rest >= 0.0) || rest == 60.0) rest = 0.0;
}

void ReadEveryPassValues() {
  State& g = guidance_state;
  g.PreviousAircraftHeading = g.AircraftHeading;
  g.AircraftHeading = host::GetAircraftHeading();
  g.MapHeading = host::GetHeadingToken86();
  g.PreviousPitchAttitude = g.PitchAttitude;
  g.PitchAttitude = host::GetPitchAttitude();
  g.PreviousBankAttitude = g.BankAttitude;
  double bank = host::GetBankAttitude();
  g.BankAttitude = bank > -0.035 && bank < 0.035 ? 0.0 : bank;
  g.PreviousSimToken793Value = g.SimToken793Value;
  g.SimToken793Value = host::GetSimToken793();
  g.PreviousFlightDirectorBank = g.FlightDirectorBank;
  g.FlightDirectorBank = host::GetSimToken794();
  g.PlaneLatitude = host::GetPlaneLatitudeDeg();
  g.PlaneLongitude = host::GetPlaneLongitudeDeg();
  g.PreviousApHeadingLockDir = g.ApHeadingLockDir;
  g.ApHeadingLockDir = host::GetAutopilotHeadingLockDir();
  if (g.ApHeadingLockDir != g.PreviousApHeadingLockDir) {
    g.HeadingBugDisplayTicks = 54;
  } else if (g.HeadingBugDisplayTicks > 0) {
    --g.HeadingBugDisplayTicks;
  }
}

// Once a simulator second, however many passes that second had.
void RunOncePerSecond() {
  State& g = guidance_state;
  g.LocalClockSecond = host::GetClockSecond();
  if (g.LocalClockSecond == g.LastClockSecond) return;
  if (g.FlightPhase < 11) g.ElapsedFlightSeconds += 1.0;
  gnsxls::gnsxls_state.McuStatusRedraw = 1;
  g.LastClockSecond = g.LocalClockSecond;
  if (AnyAbove(99.0, host::GetEngine1Token626(), host::GetEngine2Token645(), host::GetEngine3Token664(),
               host::GetEngine4Token683())) {
    g.MaxThrustTimer += 1.0;
  } else {
    g.MaxThrustTimer = 0.0;
  }
  if (AnyAbove(645.0, host::GetEngine1TempToken567C(), host::GetEngine2TempToken577C(), host::GetEngine3TempToken587C(),
               host::GetEngine4TempToken597C())) {
    g.EngineTempLimitTimer += 1.0;
  } else {
    g.EngineTempLimitTimer = 0.0;
  }
}

void IntegrateFuelUsed() {
  State& g = guidance_state;
  // Pounds an hour over 3600 seconds of 18 passes.
  constexpr double kPassesPerHour = 64800.0;
  g.Engine1FuelUsed += host::GetEngine1FuelFlow() / kPassesPerHour;
  g.Engine2FuelUsed += host::GetEngine2FuelFlow() / kPassesPerHour;
  g.Engine3FuelUsed += host::GetEngine3FuelFlow() / kPassesPerHour;
  g.Engine4FuelUsed += host::GetEngine4FuelFlow() / kPassesPerHour;
}

// The performance tables are read at the aircraft's weight: the zero-fuel
// weight (from the simulator or the crew) and the fuel on board. Until the
// zero-fuel weight is known they use their heaviest weight.
void KeepPerformanceWeight() {
  const double zero_fuel = guidance_state.GrossWeight;
  const double fuel = host::GetSimToken386() * host::GetSimToken306();
  double weight = zero_fuel > 0.0 ? zero_fuel + std::max(0.0, fuel) : 0.0;
  if (!std::isfinite(weight)) weight = 0.0;
  model::model_state.PerformanceWeight = weight;
}

void ReadFrameZeroValues() {
  State& g = guidance_state;
  g.LocalClockHour = host::GetClockHour();
  g.ClockMinute = host::GetClockMinute();
  g.ClockSecond = host::GetClockSecond();
  g.ZuluHour = host::GetZuluHour();
  g.ZuluMinute = host::GetZuluMinute();
  g.DisplayPower = host::GetSimToken773Int();
  g.StaticAirTemp = host::GetSimToken341();
  g.ApAltitudeLock = host::GetAutopilotAltitudeLock();
  g.ApNav1Lock = host::GetAutopilotNav1Lock();
  g.ApYawDamper = host::GetAutopilotYawDamper();
  g.ApApproachHold = host::GetAutopilotApproachHold();
  g.ApMachHold = host::GetAutopilotMachHold();
  g.ApHeadingLock = host::TruncateToInt32(host::GetAutopilotHeadingLock());
  g.AutothrottleArm = host::GetAutothrottleArm();
  g.PreviousMagneticVariation = g.MagneticVariation;
  g.MagneticVariation = host::GetMagneticVariation();
  g.BaroPressureMillibars = host::GetPressureMillibars();
  g.BarometricPressureInHg = g.BaroPressureMillibars * kInHgPerMillibar;
  KeepPerformanceWeight();
}

// The P1000 soft-key menu closes on the 11th check without a key.
void TimeOutP1000Menu() {
  State& g = guidance_state;
  model::State& m = model::model_state;
  if (m.P1000MenuOpen != 1) return;
  if (m.P1000MenuActivityCount != g.P1000MenuSeenActivity) {
    g.P1000MenuSeenActivity = m.P1000MenuActivityCount;
    g.P1000MenuIdleChecks = 0;
    return;
  }
  if (++g.P1000MenuIdleChecks <= 10) return;
  g.P1000MenuIdleChecks = 0;
  m.P1000MenuOpen = 0;
  if (m.P1000MapFormat == 1) {
    m.P1000MapFormat = 0;
    m.P1000MapGeometry = model::State::MapGeometry{};
  }
  g.DisplayRefreshCounter = 999;
}

void ReadRadios() {
  State& g = guidance_state;
  g.PreviousNav1GlideslopeNeedle = g.Nav1GlideslopeNeedle;
  g.Nav1GlideslopeNeedle = host::GetSimToken41();
  g.AdfSignal = host::GetSimToken20Adf();
  g.AdfRelativeBearing = host::GetRelativeBearingToken39();
  g.HeadingOffsetToken550 = host::GetHeadingOffsetToken550();
  g.SecondBearingPointer = host::GetSimToken59();
  g.Nav1DmeDistance = host::GetNav1DmeDistance();
  g.Nav1HasDme = host::GetSimToken32();
  g.Nav2DmeDistance = host::GetNav2DmeDistance();
}

void ReadAirData() {
  State& g = guidance_state;
  g.PreviousVerticalSpeedFpm = g.VerticalSpeedFpm;
  g.VerticalSpeedFpm = host::GetVerticalSpeedFpm();
  g.PreviousApAltitudeLockVar = g.ApAltitudeLockVar;
  g.ApAltitudeLockVar = host::GetAutopilotAltitudeLockVar();
  g.ApAirspeedHold = host::GetAutopilotAirspeedHold();
  g.PreviousMachNumber = g.MachNumber;
  g.MachNumber = host::GetMachFromToken64() * 1.52587890625e-05 * 3.2;
  g.WindSpeed = host::GetSimToken343();
  g.WindDirection = host::GetSimToken344Deg();
  g.PreviousApVerticalSpeedVar = g.ApVerticalSpeedVar;
  g.ApVerticalSpeedVar = host::GetAutopilotVerticalHoldVar();
  g.PreviousApAirspeedHoldVar = g.ApAirspeedHoldVar;
  g.ApAirspeedHoldVar = host::GetAutopilotAirspeedHoldVar();
  g.ApMachHoldVar = host::GetAutopilotMachHoldVar();

  g.PreviousTrueAirspeedEstimate = g.TrueAirspeedEstimate;
  const double angle = (g.WindDirection - g.MapHeading) * kDegToRad;
  g.HeadwindComponent = g.WindSpeed * std::cos(angle);
  g.CrosswindComponent = g.WindSpeed * std::sin(angle);
  g.TrueAirspeedEstimate = g.GroundSpeedKnots > 25.0 ? g.GroundSpeedKnots + g.HeadwindComponent : 0.0;
  // No airspeed estimate, no drift: every reader gets a finite angle.
  g.DriftAngle = g.TrueAirspeedEstimate > 0.0 ? g.CrosswindComponent / (g.TrueAirspeedEstimate / 60.0) : 0.0;
  g.WindDirectionMagnetic = MagneticCourse(g.WindDirection);
}

void ReadRadioAltitude() {
  State& g = guidance_state;
  g.RadioAltitudeFeet = host::GetRadioAltitudeFeet();
  if (g.RadioAltitudeFeet < kOnGroundHeight && std::isfinite(g.AircraftAltitude))
    g.LastGroundAltitude = g.AircraftAltitude;
  g.SelectedCourse = host::GetSimToken45Course();
  g.Nav1CdiNeedle = host::GetSimToken40();
}

// Arrival actions once a flight, within 25 NM (direct) of the last waypoint.
// The distance is measured here: the vertical profile keeps its own copy
// only after the top of climb and reads 0 before it, which would fire these
// at departure.
void RunArrivalActions() {
  State& g = guidance_state;
  const flightplan::State& fp = flightplan::flightplan_state;
  if (g.ArrivalActionsDone != 0 || fp.ActiveFlightPlanLastIndex < 0) return;
  const model::FlightPlanWaypoint& last = fp.ActiveFlightPlan[fp.ActiveFlightPlanLastIndex];
  double d = 0.0, c = 0.0;
  navdb::ComputeDistanceAndBearing(g.PlaneLatitude, g.PlaneLongitude, last.latitude, last.longitude, d, c);
  if (d > kArrivalDistance) return;
  const model::State& m = model::model_state;
  if (m.SetDestLoadTowerViewDist > 0.0) navdb::SetTowerViewPosition();
  g.ArrivalActionsDone = 1;
  if (m.SetWptBaro == 1) host::SendKeyEvent(kEventBarometric, 0);
}

// The active and the last waypoint, as the times en route are worked out for.
std::array<double, 6> TimedRouteNow() {
  const flightplan::State& fp = flightplan::flightplan_state;
  const guidance::State& g = guidance_state;
  const int last = fp.ActiveFlightPlanLastIndex;
  const model::FlightPlanWaypoint* end = fp.ActiveFlightPlan.At(last);
  return {static_cast<double>(fp.ActiveWaypointIndex), g.ActiveWaypointLat, g.ActiveWaypointLon,
          static_cast<double>(last), end != nullptr ? end->latitude : 0.0, end != nullptr ? end->longitude : 0.0};
}

// Times are worked out once in 18 passes, and at once on a pass that finds
// another waypoint flown to or another destination (EXEC, a direct-to, a
// waypoint passed): a frame never pairs the new route's distances with the
// old route's times.
bool TimesEnRouteDue(std::int32_t frame) {
  const std::array<double, 6> now = TimedRouteNow();
  return frame == 0 || !std::equal(now.begin(), now.end(), guidance_state.TimedRoute);
}

void UpdateTimesEnRoute() {
  State& g = guidance_state;
  const std::array<double, 6> now = TimedRouteNow();
  std::copy(now.begin(), now.end(), g.TimedRoute);
  // A simulation rate of 0 (or none reported) counts as real time.
  const double rate = g.SimulationRate > 0.0 && std::isfinite(g.SimulationRate) ? g.SimulationRate : 1.0;
  g.SavedMinutesToActiveWaypoint = g.MinutesToActiveWaypoint;
  if (g.GroundSpeedKnots <= 25.0) {
    g.ActiveWaypointEteHours = g.EteMinutes = g.EteMinuteTenths = 0.0;
    g.RealEteHours = g.RealEteMinutes = 0.0;
    g.DestinationEteHours = g.TodEteMinutes = g.RealTodEteHours = g.RealTodEteMinutes = 0.0;
    return;
  }
  g.MinutesToActiveWaypoint = g.ActiveWaypointDistance / g.GroundSpeedKnots * 60.0;
  g.RealMinutesToActiveWaypoint = g.MinutesToActiveWaypoint / rate;
  g.SavedRealMinutesToActiveWaypoint = g.RealMinutesToActiveWaypoint;
  SplitMinutes(g.MinutesToActiveWaypoint, g.ActiveWaypointEteHours, g.EteMinutes);
  g.EteMinuteTenths = std::trunc((g.EteMinutes - std::trunc(g.EteMinutes)) * 10.0);
  SplitMinutes(g.RealMinutesToActiveWaypoint, g.RealEteHours, g.RealEteMinutes);
  g.MinutesToDestination = g.DestinationDistance / g.GroundSpeedKnots * 60.0;
  g.RealMinutesToDestination = g.MinutesToDestination / rate;
  g.PrevTodEteMinutes = g.TodEteMinutes;
  SplitMinutes(g.MinutesToDestination, g.DestinationEteHours, g.TodEteMinutes);
  SplitMinutes(g.RealMinutesToDestination, g.RealTodEteHours, g.RealTodEteMinutes);
}

// The destination's airport details, once the aircraft is more than 8 NM
// from the origin.
void LoadDestinationDetails() {
  State& g = guidance_state;
  const flightplan::State& fp = flightplan::flightplan_state;
  if (g.DestinationDetailsState != 1 || fp.ActiveFlightPlanLastIndex < 0) return;
  const model::FlightPlanWaypoint& last = fp.ActiveFlightPlan[fp.ActiveFlightPlanLastIndex];
  if (last.type != "APT") return;
  const model::FlightPlanWaypoint& origin = fp.ActiveFlightPlan[0];
  double d = 0.0, c = 0.0;
  navdb::ComputeDistanceAndBearing(g.PlaneLatitude, g.PlaneLongitude, origin.latitude, origin.longitude, d, c);
  if (d <= kDestinationDetailsDistance) return;
  navdb::LoadAirportDetails(last.ident, 1);
  g.DestinationDetailsState = 2;
  model::State& m = model::model_state;
  m.McuAirportElevationText = navdb::navdb_state.AirportElevationText;
  m.McuAirportIdent = navdb::navdb_state.AirportDetailText;
  if (m.McuShowActiveRwys == 1) flightplan::RequestRunwayData(m.McuAirportIdent);
  gnsxls::gnsxls_state.McuRunwayScroll = -999;
  navdb::navdb_state.SelectedRunwayBase = -999;
}

bool HasActiveWaypoint() {
  const flightplan::State& fp = flightplan::flightplan_state;
  const int i = fp.ActiveWaypointIndex;
  return i != model::kNoWaypoint && i >= 0 && i <= fp.ActiveFlightPlanLastIndex;
}

}  // namespace

void UpdateTrendAverage() {
  State& g = guidance_state;
  g.TrendAverage = (g.TrendHistory[0] - g.TrendHistory[15]) * 0.07142857142857142;
  for (int i = 15; i > 0; --i) g.TrendHistory[i] = g.TrendHistory[i - 1];
  g.TrendHistory[0] = host::ReadSmoothedToken61();
}

void SnapshotNavigationState() {
  const State& g = guidance_state;
  const flightplan::State& fp = flightplan::flightplan_state;
  model::NavigationSnapshot& s = host::host_state.NavigationSnapshot;
  auto u32 = [](std::int32_t v) { return static_cast<std::uint32_t>(std::max(0, v)); };
  s.ActWptPos = fp.ActiveWaypointIndex == model::kNoWaypoint ? 0 : u32(fp.ActiveWaypointIndex);
  s.ActWptDist = g.ActiveWaypointDistance;
  s.FplnWptCnt = u32(fp.ActiveFlightPlanLastIndex);
  s.ActWptTrk = g.DesiredTrack;
  s.ActWptBrg = g.BearingToActiveWaypoint;
  s.XtkErrDir = u32(g.CrossTrackSide);
  s.XtkErrDist = g.CrossTrackDistance;
  s.LnavMode = u32(g.LnavEngaged);
  s.VnavMode = u32(g.VnavEngaged);
  if (host::host_state.OviActive == 0) host::host_state.OviActive = 1;
}

void UpdateAvionicsState() {
  State& g = guidance_state;
  // Every call.
  g.GroundSpeedKnots = host::GetSimToken551Knots();
  g.SmoothedAirspeed = host::ReadSmoothedToken61();
  g.AircraftAltitude = host::GetAircraftAltitude();
  const double tick = host::GetTick18();
  if (tick == g.LastTick) return;

  UpdateTrendAverage();
  g.LastTick = tick;

  // Counters. A heading selector that moved between the last two reads
  // restarts the repaint cycle.
  if (++g.FrameCounter >= kFrames) g.FrameCounter = 0;
  if (++g.DisplayRefreshCounter > 91) g.DisplayRefreshCounter = 0;
  if (g.ApHeadingLockDir != g.PreviousApHeadingLockDir) g.DisplayRefreshCounter = 0;
  if (g.StartupTickCount < 10) ++g.StartupTickCount;
  if (g.StartupTickCount < 6) g.DisplayRefreshCounter = 0;

  ReadEveryPassValues();
  RunOncePerSecond();
  IntegrateFuelUsed();
  const std::int32_t frame = g.FrameCounter;
  if (frame == 0) ReadFrameZeroValues();
  if (frame == 0 || frame == 9) TimeOutP1000Menu();
  if (FrameIs(frame, {0, 6, 12}) && gnsxls::gnsxls_state.McuKeyboardEntryActive == 1) {
    gnsxls::gnsxls_state.McuRedrawRequest = 1;
  }
  if (FrameIs(frame, {3, 4, 8, 12})) ReadRadios();
  if (FrameIs(frame, {2, 3, 6, 9, 12, 15})) ReadAirData();
  if (FrameIs(frame, {1, 3, 5, 7, 9, 11, 15})) ReadRadioAltitude();
  g.PrevGroundSpeed = g.GroundSpeedKnots;

  FollowTurnsForSpeed();
  RunDeferredCommandsAndReadbacks();
  const double rate = host::GetSimToken336();
  g.SimulationRate = host::host_state.SimHostVersion == host::kSimHostFsx ? rate * kFsxRateScale : rate;
  RunTopOfDescentActions();

  if (g.TrueAirspeedEstimate > 0.0) {
    // A drift to either side of north stays within the circle.
    g.GroundTrack = g.AircraftHeading - g.DriftAngle;
    if (g.GroundTrack < 0.0) {
      g.GroundTrack += 360.0;
    } else if (g.GroundTrack >= 360.0) {
      g.GroundTrack -= 360.0;
    }
  } else {
    g.GroundTrack = g.AircraftHeading;
  }

  if (HasActiveWaypoint()) {
    const bool vnav_was_engaged = g.VnavEngaged == 1;
    RunWaypointPassage();
    const flightplan::State& fp = flightplan::flightplan_state;
    if (vnav_was_engaged && g.VnavEngaged == 0 && fp.ActiveWaypointIndex == fp.ActiveFlightPlanLastIndex)
      LeaveRestrictionSpeedOnHandOver();
    UpdateLegGeometry();
    SnapshotNavigationState();
    if (RouteMovedSincePlan()) {
      flightplan::RebuildVerticalPlan();
      g.TocJoining = 1;
      // The new target goes out (only a changed one is sent): a direct-to
      // in the climb past the constraint VNAV flew to left its altitude on
      // the autopilot, level there 12,400 ft under a FL251 plan until the
      // descent.
      g.VnavAltitudeSet = 0;
    }
    KeepTopOfDescentOnThePath();
    KeepTopOfClimbInTheWind();
    UpdateVerticalProfile();
    RunArrivalActions();
    // The profile updates (here, after the transitions on the last pass, at
    // sequencing, at EXEC) may pass the top of descent before the
    // transitions look for it: a TOD passed since they last ran is theirs.
    // Looked for only since this pass began, one the profile passed right
    // after the top of climb (a climb that ended past the TOD) never was:
    // the aircraft stayed at its level with VNAV asking for a descent.
    RunVerticalTransitions(g.TodPassedByTransitions == 0 && g.TodPassed == 1);
    g.TodPassedByTransitions = g.TodPassed;
    UpdateVerticalProfile();
    CoupleVnavToAutopilot();
    RunSpeedRestrictionChecks();
    KeepSpeedModeForPhase();
    if (TimesEnRouteDue(frame)) UpdateTimesEnRoute();
    LoadDestinationDetails();
    SteerLaterally();
    // The pages show what VNAV flies: the predictions follow its plan.
    if (PlanMovedSincePredicted()) PredictThePlanFlown();
  }

  // Mailboxes.
  if (g.RadioTuneRequest > 0) TuneEnRouteNavaids(g.RadioTuneRequest);
  std::int32_t& load = g.FlightPlanLoadRequest;
  if (load == 1 || load == 3) {
    const std::int32_t request = load;
    load = 0;
    flightplan::LoadRequestedFlightPlan(request);
  }
  g.RadioTuneRequest = 0;
  g.VnavSpdRestPending = 0;

  if (g.FlightPhase < 11) UpdateFlightLog(0);
  WatchAutopilotMaster();
}

}  // namespace ovi::guidance
