#include "src/guidance/lateral.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

#include "src/flightplan/holds.h"
#include "src/flightplan/state.h"
#include "src/guidance/flight_log.h"
#include "src/guidance/flown_path.h"
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

// The whole degrees the turn allowance counts at the active waypoint: the
// turn toward the leg after it, within 15 NM of the waypoint.
std::int32_t TurnTowardTheNextLeg() {
  const State& g = guidance_state;
  return g.ActiveWaypointDistance < 15.0 ? HeadingDifference(g.DesiredTrack, g.NextLegCourse) : 0;
}

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
constexpr double kDegToRad = 0.017453292519943295;
constexpr double kGravity = 9.80665;  // m/s^2
constexpr double kMetresPerSecondPerKnot = 0.514444;
// A turn's lead for a turn of nearly 180 degrees grows without end; the
// legs bound it long before.
constexpr double kGreatestLeadTurn = 179.0;  // degrees
// However short its legs, a waypoint is passed no nearer than this (or its
// configured distance, where that is less): nearer, LNAV could fly past it
// on its way round.
constexpr double kLeastBoundedSwitchDistance = 0.5;  // NM

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
  if (g.HoldState == kHoldLeft) g.HoldState = 0;
  const int last = fp.ActiveFlightPlanLastIndex;
  if (fp.ActiveWaypointIndex == last) {
    g.LnavEngaged = 0;
    return;
  }
  if (g.FlightPhase < 11) UpdateFlightLog(1);
  const model::FlightPlanWaypoint& passed = fp.ActiveFlightPlan[fp.ActiveWaypointIndex];
  g.PassedSwitch[0] = g.WaypointSwitchDistance;
  g.PassedSwitch[1] = passed.latitude;
  g.PassedSwitch[2] = passed.longitude;
  g.LastWaypointIdent = passed.ident;
  g.LastWaypointTimeText = util::Format("%02.0f%02.0fZ", g.ZuluHour, g.ZuluMinute);
  g.LastWaypointAltitude = g.AircraftAltitude;
  g.LastWaypointFuel = GetFuelFlowWeight() * (m.WeightUnit == "KGS" ? kKilogramsPerPound : 1.0);
  ++fp.ActiveWaypointIndex;
  g.WaypointPassedTick = g.LastTick;
  // The profile and the speeds judge the new waypoint by its own distance:
  // the passed one's few miles made a constraint 80 NM on look near, and
  // its speed went out as the turn began. One passed abeam keeps its mark
  // (a negative distance) for them to see.
  if (g.ActiveWaypointDistance >= 0.0) {
    const model::FlightPlanWaypoint& now_active = fp.ActiveFlightPlan[fp.ActiveWaypointIndex];
    double course = 0.0;
    navdb::ComputeDistanceAndBearing(g.PlaneLatitude, g.PlaneLongitude, now_active.latitude, now_active.longitude,
                                     g.ActiveWaypointDistance, course);
  }
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

// A plan entry that stands somewhere (not a marker), or null.
const model::FlightPlanWaypoint* PlacedEntry(int i) {
  const flightplan::State& fp = flightplan::flightplan_state;
  if (i < 0 || i > fp.ActiveFlightPlanLastIndex) return nullptr;
  const model::FlightPlanWaypoint* w = fp.ActiveFlightPlan.At(i);
  return w != nullptr && !StandsNowhere(w->ident) ? w : nullptr;
}

// The shape of the route about the active waypoint that its switch
// distance is anticipated from: the legs in and out, and the turns (the
// whole degrees between the legs' courses for the configured allowance,
// and as flown) at the waypoint before, the active one and the one after.
// Worked out again only when a place it is worked out from moves: the
// rest of the anticipation is worked out on every pass.
struct RouteShape {
  std::array<double, 12> key{};
  double leg_in = 0.0, leg_out = 0.0;
  double course_in = 0.0, course_out = 0.0;  // true, where the legs meet at the active waypoint
  std::array<std::int32_t, 3> degrees{};  // whole, before, at, after; -1: no turn there
  std::array<double, 3> turn{};
};

// The turn at plan entry i between placed neighbours a and b: whole
// degrees between the legs' courses, and as flown.
void TurnBetween(const model::FlightPlanWaypoint* a, const model::FlightPlanWaypoint& w,
                 const model::FlightPlanWaypoint* b, std::int32_t& degrees, double& turn) {
  degrees = -1;
  turn = 0.0;
  if (a == nullptr || b == nullptr) return;
  degrees = HeadingDifference(navdb::TrueCourse(a->latitude, a->longitude, w.latitude, w.longitude),
                              navdb::TrueCourse(w.latitude, w.longitude, b->latitude, b->longitude));
  turn = RouteTurn(a->latitude, a->longitude, w.latitude, w.longitude, b->latitude, b->longitude);
}

const RouteShape& ShapeAbout(int active, double start_lat, double start_lon, bool from_route) {
  static RouteShape shape;
  std::array<double, 12> key{start_lat, start_lon};
  for (int k = 0; k < 5; ++k) {
    const model::FlightPlanWaypoint* e = PlacedEntry(active - 2 + k);
    key[2 + 2 * k] = e != nullptr ? e->latitude : NAN;
    key[3 + 2 * k] = e != nullptr ? e->longitude : NAN;
  }
  if (!from_route) key[2] = key[3] = key[4] = key[5] = NAN;
  if (std::memcmp(key.data(), shape.key.data(), sizeof key) == 0) return shape;
  shape.key = key;
  const model::FlightPlanWaypoint *before = from_route ? PlacedEntry(active - 1) : nullptr, &w = *ActiveEntry();
  const model::FlightPlanWaypoint* next = PlacedEntry(active + 1);
  double course = 0.0;
  navdb::ComputeDistanceAndBearing(start_lat, start_lon, w.latitude, w.longitude, shape.leg_in, course);
  navdb::ComputeDistanceAndBearing(w.latitude, w.longitude, next->latitude, next->longitude, shape.leg_out, course);
  shape.course_out = course;
  shape.course_in = navdb::TrueCourse(w.latitude, w.longitude, start_lat, start_lon) + 180.0;
  shape.degrees[0] = -1;
  shape.turn[0] = 0.0;
  if (before != nullptr) TurnBetween(PlacedEntry(active - 2), *before, &w, shape.degrees[0], shape.turn[0]);
  shape.turn[1] = RouteTurn(start_lat, start_lon, w.latitude, w.longitude, next->latitude, next->longitude);
  TurnBetween(&w, *next, PlacedEntry(active + 2), shape.degrees[2], shape.turn[2]);
  return shape;
}

void UpdateSwitchDistance() {
  State& g = guidance_state;
  model::State& m = model::model_state;
  const flightplan::State& fp = flightplan::flightplan_state;
  const model::FlightPlanWaypoint* w = ActiveEntry();
  if (w == nullptr) return;
  // The time options overwrite the distance options on every pass.
  if (m.WptChgSecs > 0.0) m.WptChgDist = g.GroundSpeedKnots * m.WptChgSecs * (1.0 / 3600.0);
  if (m.WptProcChgSecs > 0.0) m.WptProcChgDist = g.GroundSpeedKnots * m.WptProcChgSecs * (1.0 / 3600.0);
  const double configured = SwitchDistanceAt(*w, fp.ActiveWaypointIndex, TurnTowardTheNextLeg());
  g.WaypointSwitchDistance = configured;
  const int active = fp.ActiveWaypointIndex;
  const model::FlightPlanWaypoint* next = PlacedEntry(active + 1);
  double start_lat = 0.0, start_lon = 0.0;
  if (active >= fp.ActiveFlightPlanLastIndex || next == nullptr || !ActiveLegStart(start_lat, start_lon)) return;
  // A hold's fix: the hold is flown there, not the route's turn, and is
  // entered within the switch distance (holding.cpp); led at the turn's
  // radius (20 NM for 160 degrees at speed) the fix was passed before the
  // hold was entered, or the hold entered that far out.
  if (fp.HoldCount > 0 && fp.HoldTable[1].active_index == active) return;
  // The leg in from where LNAV flies it (an engage position or a direct-to
  // has no turn at its start), the leg out to the next placed entry. The
  // aircraft was at a navigator's direct-to's start, already heading
  // wherever it turned to from there: a turn there, worked out from the
  // route's legs (160-180 degrees where the waypoint skipped lay ahead),
  // would take the direct-to's leg from the lead of the turn at its end.
  const model::FlightPlanWaypoint* previous = PlacedEntry(active - 1);
  const RouteShape& shape = ShapeAbout(active, start_lat, start_lon,
                                       g.ActiveLegFromEngagePosition == 0 && previous != nullptr &&
                                           !BeginsDirectTo(*previous));
  auto turn_at = [&](const model::FlightPlanWaypoint* e, int k) {
    return shape.degrees[k] < 0 ? WaypointTurn{}
                                : WaypointTurn{SwitchDistanceAt(*e, active - 1 + k, shape.degrees[k]), shape.turn[k],
                                               FlownOver(*e, active - 1 + k)};
  };
  WaypointTurn before = turn_at(previous, 0);
  if (previous != nullptr) before.passed_at = PassedAt(*previous);
  double radius = 0.0, roll_in = 0.0;
  if (g.GroundSpeedKnots >= kLnavLeastMovingSpeed) {
    double tas = TrueAirspeedInWind(g.GroundSpeedKnots, g.AircraftHeading + g.MagneticVariation, g.WindDirection,
                                    g.WindSpeed);
    double ground_speed = g.GroundSpeedKnots;
    LeadSpeeds(PlannedTrueAirspeed(active), shape.course_in, g.WindDirection, g.WindSpeed, ground_speed, tas);
    radius = LnavTurnRadiusInWind(ground_speed, tas, shape.course_in, shape.course_out, g.WindDirection, g.WindSpeed);
    roll_in = LnavRollIn(ground_speed, tas);
  }
  g.WaypointSwitchDistance =
      AnticipatedSwitchDistance(before, WaypointTurn{configured, shape.turn[1], FlownOver(*w, active)},
                                turn_at(next, 2), shape.leg_in, shape.leg_out, radius, roll_in);
  if (FlyingDirectTo() || (previous != nullptr && BeginsDirectTo(*previous) && g.ActiveLegFromEngagePosition == 0))
    g.WaypointSwitchDistance = SwitchDistanceOfDirectTo(g.WaypointSwitchDistance, shape.leg_in);
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

double ConfiguredSwitchDistance(const model::FlightPlanWaypoint& active) {
  return SwitchDistanceAt(active, TurnTowardTheNextLeg());
}

double SwitchDistanceAt(const model::FlightPlanWaypoint& w, std::int32_t turn_degrees) {
  const model::State& m = model::model_state;
  const double d = IsProcedureTag(w.procedure_tag) ? m.WptProcChgDist
                   : w.flyover == 1                 ? m.FlyoverWptChgDist
                                                    : m.WptChgDist;
  return w.flyover == 0 ? d + kTurnAllowancePerDegree * turn_degrees : d;
}

bool FlownOver(const model::FlightPlanWaypoint& w, int index) { return w.flyover == 1 || HoldAtActiveEntry(index); }

double PassedAt(const model::FlightPlanWaypoint& w) {
  const State& g = guidance_state;
  return w.latitude == g.PassedSwitch[1] && w.longitude == g.PassedSwitch[2] ? g.PassedSwitch[0] : NAN;
}

double SwitchDistanceAt(const model::FlightPlanWaypoint& w, int index, std::int32_t turn_degrees) {
  if (w.flyover != 1 && HoldAtActiveEntry(index)) return model::model_state.FlyoverWptChgDist;
  return SwitchDistanceAt(w, turn_degrees);
}

namespace {
const double kTanBankLimit = std::tan(kLnavBankLimit * kDegToRad);
}  // namespace

double LnavTurnRate(double true_airspeed) {
  const double v = std::max(true_airspeed, kLnavLeastMovingSpeed) * kMetresPerSecondPerKnot;
  return std::min(kLnavStandardRate, kTanBankLimit * kGravity / v / kDegToRad);
}

double LnavTurnRadius(double ground_speed, double true_airspeed) {
  return std::max(ground_speed, 0.0) / 3600.0 / (LnavTurnRate(true_airspeed) * kDegToRad);
}

double LnavTurnRadiusInWind(double ground_speed, double true_airspeed, double course_in, double course_out,
                            double wind_from, double wind_speed) {
  const double still = LnavTurnRadius(ground_speed, true_airspeed);
  const double turn = std::remainder(course_out - course_in, 360.0);  // above 0 to the right
  // Too slight a turn to drift in, or too near a reversal for a lead
  // tangent to both legs to mean anything.
  constexpr double kLeastTurn = 1.0, kMostTurn = 170.0;  // degrees
  if (!(wind_speed > 0.0) || !(true_airspeed > 0.0) || !(std::fabs(turn) >= kLeastTurn) ||
      !(std::fabs(turn) <= kMostTurn)) {
    return still;
  }
  const double h1 = course_in + WindCorrectionAngle(course_in, true_airspeed, wind_from, wind_speed);
  const double h2 = course_out + WindCorrectionAngle(course_out, true_airspeed, wind_from, wind_speed);
  // The heading turns the way the track does: by the change nearest the
  // track's. A turn of 150 degrees across a strong wind turns the heading
  // by more than 180, which taken the short way round would be the other
  // way.
  const double headings = turn + std::remainder(h2 - h1 - turn, 360.0);
  if (!std::isfinite(headings) || headings * turn <= 0.0) return still;
  // The turn flown at LNAV's rate in the air mass from heading h1 to h2,
  // and the wind's drift over its time: where it ends, from where it began.
  const double rate = LnavTurnRate(true_airspeed) * kDegToRad;  // radians a second
  const double side = turn > 0.0 ? 1.0 : -1.0, r_air = true_airspeed / 3600.0 / rate;
  const double seconds = std::fabs(headings) * kDegToRad / rate;
  const double a1 = h1 * kDegToRad, a2 = h2 * kDegToRad, toward = (wind_from + 180.0) * kDegToRad;
  const double dx = side * r_air * (std::cos(a1) - std::cos(a2)) + wind_speed / 3600.0 * std::sin(toward) * seconds;
  const double dy = side * r_air * (std::sin(a2) - std::sin(a1)) + wind_speed / 3600.0 * std::cos(toward) * seconds;
  // Begun `lead` NM before the waypoint on the leg in, it ends on the leg
  // out: across the leg out, the lead and the turn's way cancel.
  const double c1 = course_in * kDegToRad, c2 = course_out * kDegToRad;
  const double across_in = std::sin(c2) * std::cos(c1) - std::cos(c2) * std::sin(c1);
  const double lead = (std::sin(c2) * dy - std::cos(c2) * dx) / across_in;
  const double radius = lead / std::tan(std::fabs(turn) / 2.0 * kDegToRad);
  return std::isfinite(radius) && radius > 0.0 ? radius : still;
}

double LnavRollIn(double ground_speed, double true_airspeed) {
  // The bank for the rate, reached at the roll rate: half that time is
  // lost to the turn.
  const double v = std::max(true_airspeed, kLnavLeastMovingSpeed) * kMetresPerSecondPerKnot;
  const double rate = LnavTurnRate(true_airspeed);
  const double bank =
      rate < kLnavStandardRate ? kLnavBankLimit : std::atan(rate * kDegToRad * v / kGravity) / kDegToRad;
  return std::max(ground_speed, 0.0) / 3600.0 * bank / kLnavRollRate / 2.0;
}

double LnavLookAhead(double offset, double radius) {
  const double configured = offset > 0.0 && offset <= kLnavNearOffset ? kLnavNearLookAhead : kLnavFarLookAhead;
  return std::max(configured, kLnavLookAheadRadii * radius);
}

double WindCorrectionAngle(double true_track, double true_airspeed, double wind_from, double wind_speed) {
  if (!(true_airspeed > 0.0) || !(wind_speed > 0.0)) return 0.0;
  const double across = wind_speed * std::sin((wind_from - true_track) * kDegToRad) / true_airspeed;
  return std::isfinite(across) ? std::asin(std::clamp(across, -1.0, 1.0)) / kDegToRad : 0.0;
}

void LeadSpeeds(double planned_true_airspeed, double true_course, double wind_from, double wind_speed,
                double& ground_speed, double& true_airspeed) {
  if (!(planned_true_airspeed > true_airspeed)) return;
  const double wind = wind_speed > 0.0 ? wind_speed : 0.0;
  const double crab = WindCorrectionAngle(true_course, planned_true_airspeed, wind_from, wind) * kDegToRad;
  const double along = planned_true_airspeed * std::cos(crab) - wind * std::cos((wind_from - true_course) * kDegToRad);
  if (!(along > 0.0)) return;
  ground_speed = along;
  true_airspeed = planned_true_airspeed;
}

double AirspeedAlongHeading(double ground_speed, double true_heading, double wind_from, double wind_speed) {
  // ground^2 = air^2 + wind^2 - 2 air wind cos(heading - wind_from)
  const double a = (true_heading - wind_from) * kDegToRad;
  const double along = wind_speed * std::cos(a), across = wind_speed * std::sin(a);
  const double square = ground_speed * ground_speed - across * across;
  const double air = square > 0.0 ? along + std::sqrt(square) : NAN;
  return std::isfinite(air) && air > 0.0 ? air : NAN;
}

double TrueAirspeedInWind(double ground_speed, double true_heading, double wind_from, double wind_speed) {
  if (!(wind_speed > 0.0)) return ground_speed;
  const double air = AirspeedAlongHeading(ground_speed, true_heading, wind_from, wind_speed);
  return std::isfinite(air) ? air : ground_speed;
}

double RouteTurn(double from_lat, double from_lon, double lat, double lon, double to_lat, double to_lon) {
  const double in = navdb::TrueCourse(lat, lon, from_lat, from_lon) + 180.0;
  const double out = navdb::TrueCourse(lat, lon, to_lat, to_lon);
  double d = std::fmod(std::fabs(in - out), 360.0);
  if (!std::isfinite(d)) return 0.0;
  return d > 180.0 ? 360.0 - d : d;
}

namespace {

// How far before its waypoint a turn of `t` starts for the aircraft to roll
// out on the leg after it.
double TurnLead(const WaypointTurn& t, double radius, double roll_in) {
  if (t.flyover || !(t.turn > 0.0) || !(radius > 0.0)) return 0.0;
  return radius * TanHalfTurn(t) + roll_in;
}

// What a leg leaves the turn at `here` of its length when the turn at its
// other end (`there`) wants some of it too. Each turn has what it wants
// where both fit (or nothing is turned there: the leg from a route's start
// or a direct-to, the leg to its end); else each its lead (what it needs
// to roll out on the leg) and the rest shared in proportion to what they
// want beyond it; and where even the leads do not fit, the leg shared in
// proportion to them, but where the turn here `keeps_lead` (beside the turn
// after it) it keeps its whole lead up to half the leg: a lesser turn
// before a reversal, whose lead runs past any leg, lost its roll-out for
// miles that the reversal, short of 180 degrees by a few, hardly misses.
double ShareOfLeg(double leg, double want_here, double lead_here, double want_there, double lead_there,
                  bool keeps_lead) {
  if (!(want_there > 0.0) || !(want_here + want_there > leg)) return want_here;
  if (lead_here + lead_there <= leg) {
    const double beyond_here = want_here - lead_here, beyond_there = want_there - lead_there;
    return lead_here + (leg - lead_here - lead_there) * beyond_here / (beyond_here + beyond_there);
  }
  const double shared = leg * lead_here / (lead_here + lead_there);
  return keeps_lead ? std::max(shared, std::min(lead_here, leg / 2.0)) : shared;
}

}  // namespace

double TanHalfTurn(const WaypointTurn& t) {
  return std::isfinite(t.tan_half) ? t.tan_half : std::tan(std::min(t.turn, kGreatestLeadTurn) / 2.0 * kDegToRad);
}

double AnticipatedSwitchDistance(const WaypointTurn& before, const WaypointTurn& at, const WaypointTurn& after,
                                 double leg_in, double leg_out, double radius, double roll_in) {
  const double lead = TurnLead(at, radius, roll_in), lead_before = TurnLead(before, radius, roll_in);
  const double lead_after = TurnLead(after, radius, roll_in);
  // Flown over, a waypoint is passed at its own distance.
  if (at.flyover) return at.configured;
  const double want = std::max(at.configured, lead);
  double bound_in = ShareOfLeg(leg_in, want, lead, std::max(before.configured, lead_before), lead_before, false);
  // The turn before is flown: what it left of the leg is known, where a
  // lead worked out at today's speed (faster, climbing) would take more.
  if (std::isfinite(before.passed_at)) bound_in = std::max(bound_in, leg_in - before.passed_at);
  const double bound =
      std::min(bound_in, ShareOfLeg(leg_out, want, lead, std::max(after.configured, lead_after), lead_after, true));
  return std::min(want, std::max(bound, std::min(want, kLeastBoundedSwitchDistance)));
}

bool FlyingDirectTo() {
  const State& g = guidance_state;
  return g.ActiveLegFromEngagePosition == 1 && g.LnavLegTracking == 0;
}

bool BeginsDirectTo(const model::FlightPlanWaypoint& w) { return w.ident == "DIRECT"; }

double SwitchDistanceOfDirectTo(double anticipated, double leg_in) {
  if (!(leg_in < anticipated)) return anticipated;
  return std::max(leg_in, std::min(anticipated, kLeastBoundedSwitchDistance));
}

LegOffset OffsetFromLeg(double a_lat, double a_lon, double b_lat, double b_lon, double lat, double lon) {
  // The courses as they are (the geodesy reads every course under a degree
  // as north).
  double ap = 0.0, unused = 0.0;
  navdb::ComputeDistanceAndBearing(a_lat, a_lon, lat, lon, ap, unused);
  const double course_ab = navdb::TrueCourse(a_lat, a_lon, b_lat, b_lon);
  const double course_ap = navdb::TrueCourse(a_lat, a_lon, lat, lon);
  const double r = navdb::kEarthRadiusNm;
  const double angle = (course_ap - course_ab) * kDegToRad;
  const double off = std::asin(std::clamp(std::sin(ap / r) * std::sin(angle), -1.0, 1.0)) * r;
  double along = std::acos(std::clamp(std::cos(ap / r) / std::cos(off / r), -1.0, 1.0)) * r;
  if (std::cos(angle) < 0.0) along = -along;
  return {off, along};
}

double InterceptTrack(double course_to_point, double leg_course) {
  double off = std::remainder(course_to_point - leg_course, 360.0);
  if (!std::isfinite(off)) return course_to_point;
  if (std::fabs(off) <= kLnavMaxIntercept) return course_to_point;
  off = std::copysign(kLnavMaxIntercept, off);
  double track = std::fmod(leg_course + off, 360.0);
  return track < 0.0 ? track + 360.0 : track;
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

namespace {
// The active waypoint lies more than kLnavAbeamDegrees off the aircraft's
// track over the ground, in LNAV's whole degrees: the aircraft flies away
// from it, or past it.
bool BehindTheWay() {
  const State& g = guidance_state;
  return HeadingDifference(g.BearingToActiveWaypoint, g.GroundTrack) > kLnavAbeamDegrees;
}
}  // namespace

void RunWaypointPassage() {
  State& g = guidance_state;
  flightplan::State& fp = flightplan::flightplan_state;
  const model::State& m = model::model_state;
  const int active = fp.ActiveWaypointIndex, last = fp.ActiveFlightPlanLastIndex;
  model::FlightPlanWaypoint* w = fp.ActiveFlightPlan.At(active);
  if (w == nullptr || active > last) return;

  // Abeam: the waypoint has fallen behind without coming within the switch
  // distance (not for a hold's fix, and not for the last two, but for the
  // fix of a hold just left: flown already, and LNAV, past it, joined the
  // leg's extension and flew away from the route's end). Flown to by a
  // direct-to, that fix as far out as a racetrack reaches: there is no leg
  // into it to join again, and left 8.7 NM out on the racetrack's far leg,
  // the aircraft joined the direct-to's line 11.6 NM past the fix and flew
  // on for an hour, the fix never passed. Any other fix is joined again by
  // its leg: passed that far out, the aircraft turned for the next waypoint
  // from the racetrack and crossed the waypoints after it off the plan.
  const int last_abeam = g.HoldState == kHoldLeft ? last - 1 : last - 2;
  const double abeam_within =
      g.HoldState == kHoldLeft && g.ActiveLegFromEngagePosition == 1 ? kLnavAbeamWithinAfterHold : kLnavAbeamWithin;
  bool abeam = false;
  if (g.LnavEngaged == 1 && g.ApHeadingLock == 1 && g.ActiveWaypointDistance < abeam_within &&
      active <= last_abeam && active != fp.HoldTable[1].active_index &&
      HeadingDifference(g.BearingToActiveWaypoint, g.DesiredTrack) > kLnavAbeamDegrees) {
    abeam = true;
    g.ActiveWaypointDistance = -1.0;
    g.VnavAltitudeSet = 0;
    g.VnavSpeedSet = 0;
    if (g.TocPassed == 1 && g.TodPassed == 0) g.TodRecheckAfterSkip = 1;
  }
  // A direct-to's leg bounds its switch distance from the pass it is made
  // on: the distance kept from before it was the old leg's, and passed the
  // new waypoint at once.
  double switch_distance = g.WaypointSwitchDistance;
  if (FlyingDirectTo()) {
    double leg = 0.0, course = 0.0;
    navdb::ComputeDistanceAndBearing(g.LegOriginLatitude, g.LegOriginLongitude, w->latitude, w->longitude, leg, course);
    switch_distance = SwitchDistanceOfDirectTo(switch_distance, leg);
  }
  // The switch distance leads a turn at a waypoint the aircraft comes to;
  // one behind its way is not come to. The leg into a hairpin's waypoint
  // can pass within the next waypoint's switch distance (KRATR2's leg into
  // LAVAA passes half a mile from BEAVR, the next after the reversal),
  // and both were passed on one pass: LNAV turned for DUCKZ at once, 121
  // degrees back, and the aircraft crossed BEAVR on the leg into LAVAA.
  const bool within = g.ActiveWaypointDistance < switch_distance && (abeam || !BehindTheWay());
  if (within && g.LnavEngaged == 1 && active < last) SelectNextConstraint();
  if (within && w->time_over_text.empty() && g.GroundSpeedKnots > 65.0) {
    w->time_over_text = util::Format("%02.0f:%02.0f", g.ZuluHour, g.ZuluMinute);
  }
  if (fp.HoldCount > 0) {
    if (fp.HoldTable[1].active_index > 0) ComputeHoldingPattern();
    if (fp.HoldTable[1].active_index < fp.ActiveWaypointIndex) DropHoldsBehind(fp.ActiveWaypointIndex);
  }
  if (within && (g.LnavEngaged == 1 || m.SequenceFPlanWpts == 1) && (!HoldBeingFlown() || g.HoldState == kHoldLeft)) {
    Sequence();
  }
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

namespace {

// The leg's true course at a point on it `along` NM from its start: toward
// the waypoint, and past it (or at it) the course it arrives on.
double LegCourseAt(double lat, double lon, double along, double start_lat, double start_lon,
                   const model::FlightPlanWaypoint& w) {
  constexpr double kAtTheWaypoint = 0.1;  // NM
  if (along < guidance_state.ActiveLegLength - kAtTheWaypoint) return navdb::TrueCourse(lat, lon, w.latitude, w.longitude);
  return navdb::TrueCourse(w.latitude, w.longitude, start_lat, start_lon) + 180.0;
}

// Far off its leg the aircraft joins it where it would meet it before the
// waypoint is passed: on its steepest intercept it covers as much of the
// leg as it is off it. Past the leg's end, or with the waypoint that close,
// it flies straight at the waypoint.
bool JoiningMakesSense(double start_lat, double start_lon, const model::FlightPlanWaypoint& w) {
  const State& g = guidance_state;
  const LegOffset at = OffsetFromLeg(start_lat, start_lon, w.latitude, w.longitude, g.PlaneLatitude, g.PlaneLongitude);
  const double ahead = g.ActiveLegLength - at.along;
  return ahead - std::fabs(at.off) / std::tan(kLnavMaxIntercept * kDegToRad) > g.WaypointSwitchDistance;
}

// The magnetic heading that flies a true track in the wind.
double HeadingForTrack(double true_track, double true_airspeed) {
  const State& g = guidance_state;
  return MagneticCourse(true_track + WindCorrectionAngle(true_track, true_airspeed, g.WindDirection, g.WindSpeed));
}

}  // namespace

void SteerLaterally() {
  State& g = guidance_state;
  ComputeLegDeviation(g.LegBearingSide, g.LegBearingOffset, g.CrossTrackSide, g.CrossTrackDistance,
                      g.LegDeviationOutput, g.LegBearingOffset2, kOwnDeviationMode);
  double start_lat = 0.0, start_lon = 0.0;
  if (!ActiveLegStart(start_lat, start_lon)) return;
  const model::FlightPlanWaypoint& w = *ActiveEntry();
  // The turns LNAV can ask for, and the wind it corrects for, at the
  // airspeed the wind leaves the ground speed at.
  const bool moving = g.GroundSpeedKnots >= kLnavLeastMovingSpeed;
  const double tas = moving ? TrueAirspeedInWind(g.GroundSpeedKnots, g.AircraftHeading + g.MagneticVariation,
                                                 g.WindDirection, g.WindSpeed)
                            : 0.0;
  const double look_ahead = LnavLookAhead(g.CrossTrackDistance, moving ? LnavTurnRadius(g.GroundSpeedKnots, tas) : 0.0);
  const double along = g.ActiveLegLength - g.ActiveWaypointDistance + look_ahead;
  // Toward the point steered at, joining the leg no steeper than LNAV joins.
  auto steer_at_point = [&](double lat, double lon) {
    const double to_point = navdb::TrueCourse(g.PlaneLatitude, g.PlaneLongitude, lat, lon);
    const double track = InterceptTrack(to_point, LegCourseAt(lat, lon, along, start_lat, start_lon, w));
    g.LnavCommandedHeading = HeadingForTrack(track, tas);
  };
  if (g.ActiveLegFromEngagePosition == 1) {
    navdb::ProjectPosition(g.LegOriginLatitude, g.LegOriginLongitude, g.LnavInitialCourse + g.MagneticVariation, along,
                           g.LnavLegTargetLatitude, g.LnavLegTargetLongitude);
    steer_at_point(g.LnavLegTargetLatitude, g.LnavLegTargetLongitude);
    // LNAV engaged joins the route's leg at once; a direct-to (flying
    // straight at its waypoint) flies the line from where it was begun.
    if (g.LnavLegTracking == 1 && g.CrossTrackDistance <= g.WaypointSwitchDistance) g.ActiveLegFromEngagePosition = 0;
  } else {
    navdb::ProjectPosition(start_lat, start_lon, AlongLegCourse(start_lat, start_lon, w), along,
                           g.LnavLegTargetLatitude, g.LnavLegTargetLongitude);
    // Still turning onto the leg (a long lead leaves the aircraft 12 NM
    // off the leg as its waypoint is passed) it is joining it already:
    // judged then, the join from a track still crossing toward it read as
    // none, and the aircraft flew at the waypoint a couple of miles off the
    // leg to its end.
    if (g.CrossTrackDistance >= kLnavStraightAtWaypointOffset && g.LnavLegTracking == 1 &&
        HeadingDifference(g.GroundTrack, g.DesiredTrack) <= kLnavTurnedOntoLeg &&
        !JoiningMakesSense(start_lat, start_lon, w)) {
      // Straight at the waypoint until the next one.
      g.LnavLegTracking = 0;
    }
    if (g.LnavLegTracking == 1) {
      steer_at_point(g.LnavLegTargetLatitude, g.LnavLegTargetLongitude);
    } else {
      const double wind = WindCorrectionAngle(g.BearingToActiveWaypoint + g.MagneticVariation, tas, g.WindDirection,
                                              g.WindSpeed);
      g.LnavCommandedHeading =
          wind == 0.0 ? g.BearingToActiveWaypoint : MagneticCourse(g.BearingToActiveWaypoint + g.MagneticVariation + wind);
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
