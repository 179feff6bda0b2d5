// Lateral guidance: when the active waypoint is passed, the geometry of the
// active leg, the deviation from it and the heading LNAV commands; and the
// small angle routines the displays share.
#pragma once

#include <cmath>
#include <cstdint>
#include <vector>

#include "src/model/records.h"

namespace ovi::guidance {

// Side of a turn from `current` to `target`: 2 (right) when the clockwise
// angle is at most 180 degrees, else 1; a target exactly 180 above the
// current heading gives 2, exactly 180 below gives 1; equal headings 2.
std::int32_t TurnDirection(double target, double current);

// The side as TurnDirection (from `from` to `to`) and the angle of that
// turn, truncated; equal headings give 2 and 0. Returns the side.
std::int32_t TurnDirectionAndAngle(double from, double to, std::int32_t& direction, std::int32_t& angle);

// The angle between two headings, folded into 0..180, truncated.
std::int32_t HeadingDifference(double a, double b);

// A true course as the pilot sees it: minus MagneticVariation, plus 360
// below 0.5, else minus 360 at 360 or more (so 0.3 shows as 360.3 and is
// sent as 360).
double MagneticCourse(double true_course);

// Deviation from the active leg (see the per-tick update): the bearing pair
// (course to the waypoint against the leg course), the cross-track pair
// (side 1 = right of the leg; distance capped at 125 NM for mode 7, the
// per-tick update's own call, and 5 NM for a display's call) and the
// heading pair (aircraft heading against the leg course). Sides are 1 when
// the first course lies clockwise of the second within 180 degrees, else 2.
// With no active waypoint only the distance is set, to -99.0.
void ComputeLegDeviation(std::int32_t& side1, double& angle1, std::int32_t& xtk_side, double& xtk_distance,
                         std::int32_t& side3, double& angle3, std::int32_t mode);

constexpr std::int32_t kOwnDeviationMode = 7;
constexpr double kNoDeviation = -99.0;

// The numbers LNAV steers by. Within kLnavNearOffset of the active leg it
// steers at a point kLnavNearLookAhead ahead on the leg, farther off at one
// kLnavFarLookAhead ahead, and at least kLnavLookAheadRadii of its turn's
// radius ahead: a point closer than the aircraft can turn to follow was
// overshot. It joins a leg no steeper than kLnavMaxIntercept. At
// kLnavStraightAtWaypointOffset or more off the leg, where the aircraft
// would reach the leg only at or past the waypoint, it flies straight at
// the waypoint until the next one. A waypoint within kLnavAbeamWithin that
// it has not come within the switch distance of is passed once it lies
// behind: more than kLnavAbeamDegrees (whole degrees) off the leg's
// course. The model of LNAV's own turns (lnav_turn_model.cpp) flies by the
// same numbers, so that the path the pages and VNAV measure is the path
// flown.
constexpr double kLnavNearOffset = 3.5;                 // NM
constexpr double kLnavNearLookAhead = 3.0;              // NM
constexpr double kLnavFarLookAhead = 5.0;               // NM
constexpr double kLnavLookAheadRadii = 0.5;
constexpr double kLnavMaxIntercept = 45.0;              // degrees
constexpr double kLnavStraightAtWaypointOffset = 10.0;  // NM
// That far off, whether joining makes sense is judged once the turn onto
// the leg is flown: the track within a few degrees of the steepest
// intercept of the leg's course.
constexpr double kLnavTurnedOntoLeg = kLnavMaxIntercept + 5.0;  // degrees
constexpr double kLnavAbeamWithin = 10.0;               // NM
constexpr double kLnavAbeamWithinAfterHold = 30.0;      // NM, for a direct-to's hold fix just left
constexpr std::int32_t kLnavAbeamDegrees = 90;

// What LNAV takes an autopilot's heading hold to do (a typical one): turn
// toward the heading it is sent at kLnavHeadingGain degrees a second for
// each degree still to turn, at most the standard rate and kLnavBankLimit
// of bank, rolling at kLnavRollRate. Turns are anticipated for it, and the
// model of LNAV's turns flies it.
constexpr double kLnavBankLimit = 25.0;     // degrees
constexpr double kLnavStandardRate = 3.0;   // degrees a second
constexpr double kLnavRollRate = 6.0;       // degrees of bank a second
constexpr double kLnavHeadingGain = 0.4;    // degrees a second per degree to turn
// Slower than this over the ground the aircraft is taken to have no turn to
// anticipate and no drift to correct.
constexpr double kLnavLeastMovingSpeed = 50.0;  // kt

// The greatest rate of turn at a true airspeed (degrees a second), and the
// radius of that turn over the ground at a ground speed (NM).
double LnavTurnRate(double true_airspeed);
double LnavTurnRadius(double ground_speed, double true_airspeed);
// The radius (NM) of the turn over still ground that leads the turn from
// the true course `course_in` to `course_out` as it is flown in a wind
// (from `wind_from` degrees true at `wind_speed` kt): the turn flown at
// LNAV's rate through the air while the wind carries it. A turn the wind
// carries beyond the leg out wants more lead than its radius at the ground
// speed it is begun at, one it carries back toward that leg less.
// LnavTurnRadius where there is no wind, or no lead tangent to both legs
// (a turn under a degree or over 170).
double LnavTurnRadiusInWind(double ground_speed, double true_airspeed, double course_in, double course_out,
                            double wind_from, double wind_speed);

// The look-ahead distance (NM) at `offset` NM off the leg, for a turn of
// `radius` NM.
double LnavLookAhead(double offset, double radius);

// The degrees added to a true track for the heading that flies it in a
// wind (from `wind_from` degrees true at `wind_speed` kt); 0 with no wind
// or no airspeed.
double WindCorrectionAngle(double true_track, double true_airspeed, double wind_from, double wind_speed);
// The true airspeed of an aircraft on a true heading making good
// `ground_speed` in that wind; the ground speed where no airspeed gives it.
double TrueAirspeedInWind(double ground_speed, double true_heading, double wind_from, double wind_speed);
// The same, NaN where no airspeed along that heading gives the ground speed.
double AirspeedAlongHeading(double ground_speed, double true_heading, double wind_from, double wind_speed);

// A waypoint's turn, for its anticipation: the configured switch distance
// with its turn allowance (the least LNAV passes it at), the degrees
// between the leg in and the leg out (0: none), and whether it is flown
// over.
struct WaypointTurn {
  double configured = 0.0;
  double turn = 0.0;
  bool flyover = false;
  double tan_half = NAN;  // the tangent of half the turn, where worked out once for many uses
  // A turn behind: the distance from its waypoint it was passed at (what it
  // took of the leg after it), where known.
  double passed_at = NAN;
};
// The tangent of half a turn (of its lead's turn: no more than 179
// degrees).
double TanHalfTurn(const WaypointTurn& t);
// The distance (NM) from a waypoint at which LNAV passes it: no less than
// the configured one, or the turn's lead where that is longer (the turn's
// radius, `radius` NM, tangent to both legs, and the roll into it,
// `roll_in` NM); and no more than the legs on either side allow, shared
// with the turns at their other ends.
double AnticipatedSwitchDistance(const WaypointTurn& before, const WaypointTurn& at, const WaypointTurn& after,
                                 double leg_in, double leg_out, double radius, double roll_in);
// The switch distance on a direct-to's leg, `leg_in` NM from where it was
// begun: no more than that leg, and at least half a mile. A direct-to a waypoint
// close behind, its turn onward led by more than the way back to it,
// passed the waypoint at once and never flew there.
double SwitchDistanceOfDirectTo(double anticipated, double leg_in);
// Whether LNAV flies a direct-to: the line from where it was begun,
// straight at its waypoint.
bool FlyingDirectTo();
// Whether a route entry is the place a navigator's direct-to was begun
// ("DIRECT", where the aircraft was): nothing is turned there, and the
// leg from it is the direct-to's own.
bool BeginsDirectTo(const model::FlightPlanWaypoint& w);
// The speeds a turn is led from: the turn is flown at the speed the plan
// has at its waypoint in the climb or cruise (`planned_true_airspeed`,
// NaN none) where that is faster than the aircraft's true airspeed
// (`true_airspeed`, making good `ground_speed`) as the turn is led, the
// ground speed then that on `true_course` in the wind. Climbing or
// speeding up through a turn of 150 degrees (two to three minutes) the
// radius grows by 6-15 %, and a lead from the speed as the turn began
// left the aircraft crossing the new leg still turning.
void LeadSpeeds(double planned_true_airspeed, double true_course, double wind_from, double wind_speed,
                double& ground_speed, double& true_airspeed);
// The roll into a turn at a ground speed and true airspeed, as the
// distance (NM) flown before the turn is at its rate.
double LnavRollIn(double ground_speed, double true_airspeed);
// Degrees the route turns at (lat, lon) from the leg arriving from
// (from_lat, from_lon) to the leg on to (to_lat, to_lon), 0 to 180.
double RouteTurn(double from_lat, double from_lon, double lat, double lon, double to_lat, double to_lon);

// A point against the great circle from a to b: NM off it (right of it
// positive) and NM along it from a (negative before a).
struct LegOffset {
  double off, along;
};
LegOffset OffsetFromLeg(double a_lat, double a_lon, double b_lat, double b_lon, double lat, double lon);

// The track (degrees) LNAV steers along a leg of course `leg_course` at the
// point it steers at: the course to that point, no steeper to the leg than
// kLnavMaxIntercept.
double InterceptTrack(double course_to_point, double leg_course);

// The per-tick steps with an active waypoint, in the order the update runs
// them: passage and sequencing (with the switch distance of the new active
// waypoint), then the leg geometry, then deviation and steering with the
// heading output.
void RunWaypointPassage();
void UpdateLegGeometry();
void SteerLaterally();

// Start of the active leg: the engage position for a leg flown from there,
// else the waypoint before the active one; with the origin active (no
// waypoint before it) the aircraft itself, so the aircraft flies straight to
// it. False with no valid active waypoint.
bool ActiveLegStart(double& lat, double& lon);

// The distance from a waypoint at which it is passed: by its procedure tag
// or flyover flag, and for a waypoint flown by the turn allowance of the
// whole degrees between the leg into it and the leg out (NM).
double SwitchDistanceAt(const model::FlightPlanWaypoint& w, std::int32_t turn_degrees);
// Whether LNAV passes active-route entry `index` (`w`) over it and turns
// after it: a fly-over waypoint, or a hold's fix (the aircraft flies to the
// fix, round the racetrack and out over the fix).
bool FlownOver(const model::FlightPlanWaypoint& w, int index);
// The switch distance LNAV passed `w` at, where it is the waypoint last
// passed; else NaN.
double PassedAt(const model::FlightPlanWaypoint& w);
// `SwitchDistanceAt` for active-route entry `index`: a hold's fix is passed
// at the fly-over waypoints' distance.
double SwitchDistanceAt(const model::FlightPlanWaypoint& w, int index, std::int32_t turn_degrees);
// The configured switch distance of the active waypoint, with the turn
// allowance toward the leg after it within 15 NM: the most a hold is entered
// short of its fix, whatever lead the route's turn there would have.
double ConfiguredSwitchDistance(const model::FlightPlanWaypoint& active);

// Along the route from the aircraft to each entry from the active one to
// the last (element 0: the active waypoint): `RouteAhead`'s distances, a
// marker entry taking the one before it. Empty without an active waypoint.
std::vector<double> DistancesAlongRoute();

}  // namespace ovi::guidance
