#include "src/guidance/lateral.h"

#include <algorithm>
#include <cmath>

#include "src/flightplan/holds.h"
#include "src/flightplan/state.h"
#include "src/guidance/flight_log.h"
#include "src/guidance/holding.h"
#include "src/guidance/radio_tuning.h"
#include "src/guidance/route_ahead.h"
#include "src/guidance/state.h"
#include "src/guidance/vertical_plan.h"
#include "src/guidance/vnav.h"
#include "src/host/panel_services.h"
#include "src/instruments/gnsxls/state.h"
#include "src/model/state.h"
#include "src/navdb/navdb.h"
#include "src/util/text.h"

namespace ovi::guidance {

namespace {

// Side of `first` relative to `second`: 1 when it lies clockwise within 180
// degrees. Raw comparisons, as every deviation pair is built.
std::int32_t ClockwiseSide(double first, double second, double& angle) {
  if (first > second) {
    angle = first - second;
    return angle <= 180.0 ? 1 : 2;
  }
  angle = second - first;
  return angle <= 180.0 ? 2 : 1;
}

// The active entry of the active plan, or null.
const model::FlightPlanWaypoint* ActiveEntry() {
  const flightplan::State& fp = flightplan::flightplan_state;
  int i = fp.ActiveWaypointIndex;
  if (i == model::kNoWaypoint || i < 0 || i > fp.ActiveFlightPlanLastIndex) return nullptr;
  return fp.ActiveFlightPlan.At(i);
}

constexpr std::uint32_t kEventHeadingBug = 66042;
constexpr std::uint32_t kEventBarometric = 65584;
constexpr double kKilogramsPerPound = 0.45359237;
constexpr double kTurnAllowancePerDegree = 0.028;  // NM

bool IsProcedureTag(const std::string& tag) {
  return tag == "SID" || tag == "STAR" || tag == "SIDSTAR" || tag == "APCH";
}

// The hold entries that lie behind the active waypoint are done with.
void DropHoldsBehind(int active) {
  flightplan::State& fp = flightplan::flightplan_state;
  for (int guard = 0; fp.HoldCount > 0 && guard < model::kMaxHolds; ++guard) {
    int w = fp.HoldTable[1].active_index;
    if (w >= active) break;
    int before = fp.HoldCount;
    flightplan::DeleteHold(w, 0);
    if (fp.HoldCount == before) break;
  }
}

// Steps the active waypoint past the one within the switch distance.
void Sequence() {
  State& g = guidance_state;
  flightplan::State& fp = flightplan::flightplan_state;
  const model::State& m = model::model_state;
  g.ConstraintSpeedArmed = 0;
  if (g.HoldState == 4) g.HoldState = 0;
  const int last = fp.ActiveFlightPlanLastIndex;
  if (fp.ActiveWaypointIndex == last) {
    g.LnavEngaged = 0;
    return;
  }
  if (g.FlightPhase < 11) UpdateFlightLog(1);
  const model::FlightPlanWaypoint& passed = fp.ActiveFlightPlan[fp.ActiveWaypointIndex];
  g.LastWaypointIdent = passed.ident;
  g.LastWaypointTimeText = util::Format("%02.0f%02.0fZ", g.ZuluHour, g.ZuluMinute);
  g.LastWaypointAltitude = g.AircraftAltitude;
  g.LastWaypointFuel = GetFuelFlowWeight() * (m.WeightUnit == "KGS" ? kKilogramsPerPound : 1.0);
  ++fp.ActiveWaypointIndex;
  UpdateVerticalProfile();
  g.VnavSpeedSet = 0;
  CoupleSpeedToAutopilot();
  if (fp.ActiveWaypointIndex == last) {
    if (m.VnavOffAtLastWpt == 1 && g.TocPassed == 1) g.VnavEngaged = 0;
    if (m.LnavOffAtLastWpt == 1) g.LnavEngaged = 0;
  }
  if (m.LnavSetEnRouteFreqs == 1 && (g.LnavEngaged == 1 || m.SequenceFPlanWpts == 1)) TuneEnRouteNavaids(2);
  g.LnavLegTracking = 1;
  g.ActiveLegFromEngagePosition = 0;
  const model::FlightPlanWaypoint& next = fp.ActiveFlightPlan[fp.ActiveWaypointIndex];
  g.ActiveWaypointLat = next.latitude;
  g.ActiveWaypointLon = next.longitude;
  if (m.SetWptBaro == 1) host::SendKeyEvent(kEventBarometric, 0);
}

void UpdateSwitchDistance() {
  State& g = guidance_state;
  model::State& m = model::model_state;
  const model::FlightPlanWaypoint* w = ActiveEntry();
  if (w == nullptr) return;
  // The time options overwrite the distance options on every pass.
  if (m.WptChgSecs > 0.0) m.WptChgDist = g.GroundSpeedKnots * m.WptChgSecs * (1.0 / 3600.0);
  if (m.WptProcChgSecs > 0.0) m.WptProcChgDist = g.GroundSpeedKnots * m.WptProcChgSecs * (1.0 / 3600.0);
  g.WaypointSwitchDistance =
      SwitchDistanceAt(*w, g.ActiveWaypointDistance < 15.0 ? HeadingDifference(g.DesiredTrack, g.NextLegCourse) : 0);
}

// Heading from the aircraft to a point, as the autopilot's heading bug.
double HeadingTo(double lat, double lon) {
  const State& g = guidance_state;
  double d = 0.0, c = 0.0;
  navdb::ComputeDistanceAndBearing(g.PlaneLatitude, g.PlaneLongitude, lat, lon, d, c);
  return MagneticCourse(c);
}

}  // namespace

std::int32_t TurnDirection(double target, double current) {
  if (target >= current) return target - current <= 180.0 ? 2 : 1;
  return current - target > 180.0 ? 2 : 1;
}

std::int32_t TurnDirectionAndAngle(double from, double to, std::int32_t& direction, std::int32_t& angle) {
  double a = 0.0;
  if (to >= from) {
    double d = to - from;
    direction = d <= 180.0 ? 2 : 1;
    a = d <= 180.0 ? d : 360.0 - d;
  } else {
    double d = from - to;
    direction = d > 180.0 ? 2 : 1;
    a = d > 180.0 ? 360.0 - d : d;
  }
  angle = std::isfinite(a) ? static_cast<std::int32_t>(std::clamp(a, -360.0, 360.0)) : 0;
  return direction;
}

std::int32_t HeadingDifference(double a, double b) {
  // Headings a turn of the world apart (a course of 362) are the same.
  double d = std::fmod(std::fabs(a - b), 360.0);
  if (!std::isfinite(d)) return 0;
  if (d > 180.0) d = 360.0 - d;
  return static_cast<std::int32_t>(d);
}

double MagneticCourse(double true_course) {
  double c = true_course - guidance_state.MagneticVariation;
  if (c < 0.5) {
    c += 360.0;
  } else if (c >= 360.0) {
    c -= 360.0;
  }
  return c;
}

namespace {

// The true course along the active leg, for the points projected on it:
// the desired track with the variation put back, but the course as it is
// where the geodesy reads it as 360 (anything under 1 degree), which
// steered along would fly up to a degree off a leg just east of north.
double AlongLegCourse(double start_lat, double start_lon, const model::FlightPlanWaypoint& to) {
  const double course = navdb::TrueCourse(start_lat, start_lon, to.latitude, to.longitude);
  return course < 1.0 ? course : guidance_state.DesiredTrack + guidance_state.MagneticVariation;
}

}  // namespace

bool ActiveLegStart(double& lat, double& lon) {
  const State& g = guidance_state;
  const flightplan::State& fp = flightplan::flightplan_state;
  if (ActiveEntry() == nullptr) return false;
  if (g.ActiveLegFromEngagePosition == 1) {
    lat = g.LegOriginLatitude;
    lon = g.LegOriginLongitude;
  } else if (fp.ActiveWaypointIndex >= 1) {
    const model::FlightPlanWaypoint& prev = fp.ActiveFlightPlan[fp.ActiveWaypointIndex - 1];
    lat = prev.latitude;
    lon = prev.longitude;
  } else {
    lat = g.PlaneLatitude;
    lon = g.PlaneLongitude;
  }
  return true;
}

double SwitchDistanceAt(const model::FlightPlanWaypoint& w, std::int32_t turn_degrees) {
  const model::State& m = model::model_state;
  const double d = IsProcedureTag(w.procedure_tag) ? m.WptProcChgDist
                   : w.flyover == 1                 ? m.FlyoverWptChgDist
                                                    : m.WptChgDist;
  return w.flyover == 0 ? d + kTurnAllowancePerDegree * turn_degrees : d;
}

std::vector<double> DistancesAlongRoute() {
  const flightplan::State& fp = flightplan::flightplan_state;
  std::vector<double> out;
  if (ActiveEntry() == nullptr) return out;
  const RouteAhead ahead;
  double sum = 0.0;  // a marker entry takes the entry before it
  for (int i = fp.ActiveWaypointIndex; i <= fp.ActiveFlightPlanLastIndex; ++i) {
    if (const double d = ahead.To(i); !std::isnan(d)) sum = d;
    out.push_back(sum);
  }
  return out;
}

void ComputeLegDeviation(std::int32_t& side1, double& angle1, std::int32_t& xtk_side, double& xtk_distance,
                         std::int32_t& side3, double& angle3, std::int32_t mode) {
  const State& g = guidance_state;
  const model::FlightPlanWaypoint* active = ActiveEntry();
  double start_lat = 0.0, start_lon = 0.0;
  if (active == nullptr || !ActiveLegStart(start_lat, start_lon)) {
    xtk_distance = kNoDeviation;
    return;
  }
  double unused = 0.0, p = 0.0, c = 0.0;
  navdb::ComputeDistanceAndBearing(g.PlaneLatitude, g.PlaneLongitude, active->latitude, active->longitude, unused, p);
  navdb::ComputeDistanceAndBearing(start_lat, start_lon, active->latitude, active->longitude, unused, c);
  const double cm = MagneticCourse(c);

  double along_lat = 0.0, along_lon = 0.0;
  navdb::ProjectPosition(start_lat, start_lon, AlongLegCourse(start_lat, start_lon, *active),
                         g.ActiveLegLength - g.ActiveWaypointDistance, along_lat, along_lon);
  double x = 0.0, q = 0.0;
  navdb::ComputeDistanceAndBearing(along_lat, along_lon, g.PlaneLatitude, g.PlaneLongitude, x, q);
  x = std::min(x, mode == kOwnDeviationMode ? 125.0 : 5.0);

  side3 = ClockwiseSide(g.AircraftHeading, cm, angle3);
  side1 = ClockwiseSide(p, c, angle1);
  double ignored = 0.0;
  xtk_side = ClockwiseSide(q, c, ignored);
  xtk_distance = x;
}

void RunWaypointPassage() {
  State& g = guidance_state;
  flightplan::State& fp = flightplan::flightplan_state;
  const model::State& m = model::model_state;
  const int active = fp.ActiveWaypointIndex, last = fp.ActiveFlightPlanLastIndex;
  model::FlightPlanWaypoint* w = fp.ActiveFlightPlan.At(active);
  if (w == nullptr || active > last) return;

  // Abeam: the waypoint has fallen behind without coming within the switch
  // distance (not for the last two and not for a hold's fix).
  if (g.LnavEngaged == 1 && g.ApHeadingLock == 1 && g.ActiveWaypointDistance < kLnavAbeamWithin &&
      active < last - 1 && active != fp.HoldTable[1].active_index &&
      HeadingDifference(g.BearingToActiveWaypoint, g.DesiredTrack) > kLnavAbeamDegrees) {
    g.ActiveWaypointDistance = -1.0;
    g.VnavAltitudeSet = 0;
    g.VnavSpeedSet = 0;
    if (g.TocPassed == 1 && g.TodPassed == 0) g.TodRecheckAfterSkip = 1;
  }
  const bool within = g.ActiveWaypointDistance < g.WaypointSwitchDistance;
  if (within && g.LnavEngaged == 1 && active < last) SelectNextConstraint();
  if (within && w->time_over_text.empty() && g.GroundSpeedKnots > 65.0) {
    w->time_over_text = util::Format("%02.0f:%02.0f", g.ZuluHour, g.ZuluMinute);
  }
  if (fp.HoldCount > 0) {
    if (fp.HoldTable[1].active_index > 0) ComputeHoldingPattern();
    if (fp.HoldTable[1].active_index < fp.ActiveWaypointIndex) DropHoldsBehind(fp.ActiveWaypointIndex);
  }
  if (within && (g.LnavEngaged == 1 || m.SequenceFPlanWpts == 1) && (!HoldBeingFlown() || g.HoldState == 4)) Sequence();
  UpdateSwitchDistance();
}

void UpdateLegGeometry() {
  State& g = guidance_state;
  const flightplan::State& fp = flightplan::flightplan_state;
  const model::FlightPlanWaypoint* w = ActiveEntry();
  double start_lat = 0.0, start_lon = 0.0;
  if (w == nullptr || !ActiveLegStart(start_lat, start_lon)) return;
  g.SavedDesiredTrack = g.DesiredTrack;
  g.SavedActiveWaypointDistance = g.ActiveWaypointDistance;
  double course = 0.0;
  navdb::ComputeDistanceAndBearing(start_lat, start_lon, w->latitude, w->longitude, g.ActiveLegLength, course);
  g.DesiredTrack = MagneticCourse(course);
  navdb::ComputeDistanceAndBearing(g.PlaneLatitude, g.PlaneLongitude, g.ActiveWaypointLat, g.ActiveWaypointLon,
                                   g.ActiveWaypointDistance, course);
  g.BearingToActiveWaypoint = MagneticCourse(course);
  const int active = fp.ActiveWaypointIndex;
  if (active < fp.ActiveFlightPlanLastIndex && g.ActiveWaypointDistance < 10.0) {
    const model::FlightPlanWaypoint& next = fp.ActiveFlightPlan[active + 1];
    double d = 0.0;
    navdb::ComputeDistanceAndBearing(w->latitude, w->longitude, next.latitude, next.longitude, d, course);
    g.NextLegCourse = MagneticCourse(course);
  }
}

void SteerLaterally() {
  State& g = guidance_state;
  ComputeLegDeviation(g.LegBearingSide, g.LegBearingOffset, g.CrossTrackSide, g.CrossTrackDistance,
                      g.LegDeviationOutput, g.LegBearingOffset2, kOwnDeviationMode);
  double start_lat = 0.0, start_lon = 0.0;
  if (!ActiveLegStart(start_lat, start_lon)) return;
  const double look_ahead =
      g.CrossTrackDistance > 0.0 && g.CrossTrackDistance <= kLnavNearOffset ? kLnavNearLookAhead : kLnavFarLookAhead;
  const double along = g.ActiveLegLength - g.ActiveWaypointDistance + look_ahead;
  if (g.ActiveLegFromEngagePosition == 1) {
    navdb::ProjectPosition(g.LegOriginLatitude, g.LegOriginLongitude, g.LnavInitialCourse + g.MagneticVariation, along,
                           g.LnavLegTargetLatitude, g.LnavLegTargetLongitude);
    g.LnavCommandedHeading = HeadingTo(g.LnavLegTargetLatitude, g.LnavLegTargetLongitude);
    if (g.CrossTrackDistance <= g.WaypointSwitchDistance) g.ActiveLegFromEngagePosition = 0;
  } else {
    g.LnavCommandedHeading = g.BearingToActiveWaypoint;
    navdb::ProjectPosition(start_lat, start_lon, AlongLegCourse(start_lat, start_lon, *ActiveEntry()), along,
                           g.LnavLegTargetLatitude, g.LnavLegTargetLongitude);
    if (g.CrossTrackDistance < kLnavStraightAtWaypointOffset) {
      if (g.LnavLegTracking == 1) g.LnavCommandedHeading = HeadingTo(g.LnavLegTargetLatitude, g.LnavLegTargetLongitude);
    } else {
      // Far off the leg: straight at the waypoint until the next one.
      g.LnavLegTracking = 0;
    }
  }

  if (g.LnavEngaged == 1 && g.ApHeadingLock == 1 && !HoldBeingFlown()) {
    if (g.HoldTurnDirection == 0) {
      if (std::isfinite(g.LnavCommandedHeading)) {
        // North as 360, as the SERVER's own output sends it.
        auto h = static_cast<std::int32_t>(std::clamp(g.LnavCommandedHeading, 0.0, 360.0));
        if (h == 0) h = 360;
        if (h != g.LastSentLnavHeading) {
          host::SendKeyEvent(kEventHeadingBug, static_cast<std::uint32_t>(h));
          g.LastSentLnavHeading = h;
        }
      }
    } else if (TurnDirection(g.BearingToActiveWaypoint, g.AircraftHeading) == g.HoldTurnDirection) {
      // The forced turn has come round: ordinary steering from the next pass.
      g.HoldTurnDirection = 0;
      gnsxls::gnsxls_state.TurnDirectionText = "DEFAULT";
    }
  } else {
    g.LastSentLnavHeading = model::kNoWaypoint;
  }
}

}  // namespace ovi::guidance
