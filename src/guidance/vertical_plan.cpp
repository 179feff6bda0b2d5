#include "src/guidance/vertical_plan.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "src/flightplan/state.h"
#include "src/guidance/climb_model.h"
#include "src/guidance/flown_path.h"
#include "src/guidance/holding.h"
#include "src/guidance/profile_predictions.h"
#include "src/guidance/speed_mode.h"
#include "src/guidance/state.h"
#include "src/guidance/vertical_plan_internal.h"
#include "src/host/sim_vars.h"
#include "src/instruments/fms/state.h"
#include "src/model/performance.h"
#include "src/model/state.h"
#include "src/navdb/navdb.h"
#include "src/util/text.h"

namespace ovi::guidance {

double Ratio(double a, double b) {
  if (b == 0.0) return 0.0;
  const double q = a / b;
  return std::isfinite(q) ? q : 0.0;
}

double FlownLeg(const FlownPath& path, int i) { return path.EntryOrBefore(i) - path.EntryOrBefore(i - 1); }

namespace {

using model::FlightPlanWaypoint;

constexpr double kHighBandsFrom = 42000.0;
constexpr double kMeetingSlackNm = 1e-6;

model::State& M() { return model::model_state; }
State& G() { return guidance_state; }
flightplan::State& Fp() { return flightplan::flightplan_state; }

int LastIndex() { return std::min(Fp().ActiveFlightPlanLastIndex, model::kMaxActivePlanWaypoints); }

// The entry of ActiveFlightPlan at i; entries outside 0..last are not part
// of the route, so callers must have checked i.
FlightPlanWaypoint& E(int i) { return Fp().ActiveFlightPlan[i]; }

void Measure(double lat1, double lon1, double lat2, double lon2, double& distance, double& course) {
  navdb::ComputeDistanceAndBearing(lat1, lon1, lat2, lon2, distance, course);
}

double Distance(double lat1, double lon1, double lat2, double lon2) {
  double d = 0.0, c = 0.0;
  Measure(lat1, lon1, lat2, lon2, d, c);
  return d;
}

double Distance(const FlightPlanWaypoint& a, const FlightPlanWaypoint& b) {
  return Distance(a.latitude, a.longitude, b.latitude, b.longitude);
}

// Length of the leg that ends at entry i.
double LegLength(int i) { return Distance(E(i - 1), E(i)); }

// Feet per minute that fly the path angle at a true airspeed, to the
// nearest 100.
double PathAngleRate(double tas) { return std::trunc((tas / 60.0 * M().FPA * 100.0 + 50.0) * 0.01) * 100.0; }
double ClimbRateInUse() { return M().FPA > 0.0 ? PathAngleRate(M().ClimbTas) : M().ClimbRate; }
double DescentRateInUse() { return M().FPA > 0.0 ? PathAngleRate(M().DescentTas) : M().DescentRate; }

// Courses of the geodesy read 360 for north; a northbound route flies the
// eastbound levels like any course from 000 to 179.
bool Westbound(double course) { return course >= 180.0 && course < 360.0; }

// Westbound even, eastbound odd thousands below 42000 ft; above it, with the
// high bands, the 4000-ft steps of each direction.
double LevelForDirection(double a, bool westbound, bool high_bands) {
  if (a >= kHighBandsFrom) {
    if (!high_bands) return a;
    const double band = westbound
                            ? (a <= 47000.0 ? 43000.0 : a <= 51000.0 ? 47000.0 : a <= 55000.0 ? 51000.0 : 55000.0)
                            : (a <= 49000.0 ? 45000.0 : a <= 53000.0 ? 49000.0 : a <= 57000.0 ? 53000.0 : 57000.0);
    // `a` is MaxCruise here, which no level may pass: below the first band
    // of its direction the highest level under 42000 ft is flown.
    if (band > a) return westbound ? 40000.0 : 41000.0;
    return band;
  }
  const long long n = static_cast<long long>(std::trunc(a));
  const bool even = n % 2000 == 0;
  if (westbound != even) return a - 1000.0;
  return a;
}

// Where the minute-by-minute climb stops: MaxCruise, which takes the level
// rule with its high bands, or the performance ceiling, taken as it is.
struct ClimbTop {
  double altitude;
  bool from_tables;  // each minute climbs at the climb table's rate and speed
};

// Minute by minute up the climb until the top or half the route; the last
// candidate when neither comes within 199 minutes.
double SearchCruiseLevel(double rate, double half_distance, bool westbound, const ClimbTop& top) {
  const model::State& m = M();
  const double start = G().AircraftAltitude;
  double gained = 0.0, tas_minutes = 0.0;
  double a = start;
  for (int i = 1; i <= 199; ++i) {
    double minute_rate = rate, tas = m.ClimbTas;
    if (top.from_tables) model::ClimbPerformanceAt(start + gained, minute_rate, tas);
    gained += minute_rate;
    tas_minutes += tas;
    a = start + gained;
    if (a >= top.altitude) return top.from_tables ? top.altitude : LevelForDirection(top.altitude, westbound, true);
    a = std::trunc(a / 1000.0) * 1000.0;
    if (tas_minutes / 60.0 >= half_distance) break;
  }
  return LevelForDirection(a, westbound, false);
}

double AirportElevation(const std::string& ident) {
  const int i = navdb::FindAirport(ident);
  if (i <= 0) return 0.0;
  int elevation = 0;
  util::ParseInt(std::string_view(navdb::navdb_state.AirportTable[i].airport_text), elevation);
  return elevation;
}

// The climb starts and the descent ends at the airports of the route; their
// entries carry no altitude of their own, which would otherwise count as
// the "no value" mark of -999 ft.
void GiveAirportEndsTheirElevation(int last) {
  for (int i : {0, last}) {
    if (i < 0) continue;
    FlightPlanWaypoint& w = E(i);
    if (w.type == "APT" && w.constraint_flag != 1 && w.altitude_constraint == model::kNoValue) {
      w.altitude_constraint = AirportElevation(w.ident);
      flightplan::ActiveRouteChanged();
    }
  }
}

// Flown from the TOD to entry `from`, the TOD found walking back from it.
double WalkBackToTod(int from) {
  const FlownPath& path = FlownPath::Current();
  return std::max(0.0, path.EntryOrBefore(from) - path.CoordinateFromPosition(from, G().TodLatitude, G().TodLongitude));
}

int ClampedConstraintIndex(int last) { return std::clamp(G().NextConstraintIndex, 0, std::max(last, 0)); }

// Flown from the aircraft to the last waypoint, where the climb starts and
// the descent ends; the whole route without an active waypoint on it.
double DistanceToRouteEnd(int last) {
  const FlownPath& path = FlownPath::Current();
  const int active = Fp().ActiveWaypointIndex;
  const double ahead = active >= 1 && active <= last ? path.Ahead(last) : NAN;
  return std::isfinite(ahead) ? ahead : path.EntryOrBefore(last);
}

// The point `flown` NM along the path into (lat, lon), and the entry its leg
// starts from; false when the route has no leg.
bool PlaceOnRoute(double flown, double& lat, double& lon, int& leg_start) {
  return FlownPath::Current().PositionFromCoordinate(flown, lat, lon, leg_start);
}

// Whether a climb from the aircraft to a level and the descent from it to
// the bottom of the route fit into the distance ahead.
struct ProfileFit {
  double bottom;
  double ahead;
  double lowest;  // no level below it (nor below the bottom) is chosen

  bool Fits(double level, double climb_rate) const {
    const model::State& m = M();
    const double climb = std::max(0.0, Ratio(level - G().AircraftAltitude, climb_rate) * m.ClimbTas / 60.0);
    const double descent = std::max(0.0, m.DescentTas / 60.0 * Ratio(level - bottom, DescentRateInUse()));
    // Profiles that meet exactly fit, whatever the last bit of the sums.
    return climb + descent <= ahead + kMeetingSlackNm;
  }

  // From `level` down by whole thousands of feet to the highest that fits,
  // not below the higher of `lowest` and the bottom; with tables each level
  // takes the means of its own climb and descent.
  double HighestLevel(double level, double climb_rate, bool from_tables) const {
    const double floor = std::max(lowest, bottom);
    while (level > floor && !Fits(level, climb_rate)) {
      level = std::max((std::ceil(level / 1000.0) - 1.0) * 1000.0, floor);
      if (from_tables) {
        model::ApplyPerformanceMeans(level);
        climb_rate = M().ClimbRate;
      }
    }
    return level;
  }
};

}  // namespace

bool RouteMovedSincePlan() {
  const std::uint64_t planned = G().PlannedRouteEdits;
  return Fp().RouteState >= 3 && planned != 0 && Fp().ActiveRouteEdits != planned;
}

void TargetEntry(const model::FlightPlanWaypoint& w) {
  State& g = G();
  g.NextConstraintAltitude = PlannedAltitude(w);
  g.NextConstraintLat = w.latitude;
  g.NextConstraintLon = w.longitude;
}

double PlannedAltitude(const model::FlightPlanWaypoint& wp) {
  return wp.altitude_constraint == model::kNoValue ? 0.0 : wp.altitude_constraint;
}

std::int32_t PlannedCruiseAltitude() {
  const std::int32_t entered = M().CruiseAlt, limit = G().CruiseAltitudeLimit;
  return limit > 0 && limit < entered ? limit : entered;
}

void ComputeCruiseAltitude(std::int32_t requested_altitude, std::int32_t mode) {
  model::State& m = M();
  State& g = G();
  model::InterpolatePerformanceSpeeds();
  const int last = LastIndex();
  if (mode == 1) GiveAirportEndsTheirElevation(last);

  double length = 0.0, course = 0.0;
  for (int i = 1; i <= last; ++i) length += LegLength(i);
  if (last >= 1) {
    double d = 0.0;
    Measure(E(0).latitude, E(0).longitude, E(last).latitude, E(last).longitude, d, course);
  }
  double half = length * 0.5;
  if (half > 35.0) half -= 15.0;

  double rate = ClimbRateInUse();
  double altitude = requested_altitude;
  double ceiling = 0.0;
  if (requested_altitude == 0) {
    ceiling = model::ComputePerformanceCeiling();
    if (ceiling != 0.0) {
      m.FPA = 0.0;
      altitude = ceiling;
      rate = m.ClimbRate;
    } else {
      altitude = SearchCruiseLevel(rate, half, Westbound(course), {static_cast<double>(m.MaxCruise), false});
    }
  }
  // A level the climb and the descent cannot both reach on the route would
  // put the top of descent before the top of climb: the plan tops out where
  // the two profiles meet instead (CruiseAltitudeLimit). Worked out from the
  // aircraft in cruise too, so that a route given room later (extended, or
  // a level entered anew) is flown at the level it now has room for: never
  // lower than the level cruised at (the one the climb was planned to, once
  // the aircraft is there), else than the aircraft. Descending, the level
  // the descent began from stays.
  const double bottom = last >= 0 ? PlannedAltitude(E(ClampedConstraintIndex(last))) : 0.0;
  const double route_flown = FlownPath::Current().EntryOrBefore(last);
  const double ahead = DistanceToRouteEnd(last);
  const std::int32_t limit = g.CruiseAltitudeLimit;
  const bool cruising = g.TocPassed == 1 && g.TodPassed == 0 && g.PreselectAltitude > 0.0 &&
                        std::fabs(g.AircraftAltitude - g.PreselectAltitude) < kTopOfClimbCapture;
  const ProfileFit fit{bottom, ahead, cruising ? g.PreselectAltitude : g.AircraftAltitude};
  bool topped_out = false;
  if (g.TodPassed == 1) {
    topped_out = limit > 0 && limit < altitude;
    if (topped_out) altitude = limit;
  } else if (last >= 1 && !fit.Fits(altitude, rate)) {
    if (ceiling != 0.0) {
      // The ceiling bounds the climb; it is no goal on such a route, which
      // levels off where the climb has covered half of it, as without tables.
      altitude = SearchCruiseLevel(m.ClimbRate, half, Westbound(course), {ceiling, true});
      model::ApplyPerformanceMeans(altitude);
      rate = m.ClimbRate;
    }
    altitude = fit.HighestLevel(altitude, rate, ceiling != 0.0);
    if (ceiling != 0.0) rate = m.ClimbRate;
    topped_out = true;
  }
  // Cruising, a level above the aircraft is a step climb: a new climb.
  if (cruising && altitude - g.AircraftAltitude >= kTopOfClimbCapture) g.TocPassed = 0;
  // From the first waypoint: the route flown so far, then the climb still
  // to fly from the aircraft's altitude.
  const double climb_distance =
      std::max(0.0, route_flown - ahead) + Ratio(altitude - g.AircraftAltitude, rate) * m.ClimbTas / 60.0;

  if (g.TocPassed == 0) {
    g.ClimbDistance = host::TruncateToInt32(climb_distance);
    g.PreselectAltitude = altitude;
    if (last >= 1 && climb_distance <= route_flown)
      PlaceOnRoute(climb_distance, g.TocLatitude, g.TocLongitude, g.TocWaypointIndex);
  }

  m.PlanDescentRate = DescentRateInUse();
  const double descent_distance = m.DescentTas / 60.0 * Ratio(altitude - bottom, m.PlanDescentRate);
  if (last >= 1 && descent_distance <= route_flown) {
    int unused = 0;
    PlaceOnRoute(route_flown - descent_distance, g.TodLatitude, g.TodLongitude, unused);
  }

  if (m.CruiseAlt == 0) m.CruiseAlt = host::TruncateToInt32(g.PreselectAltitude);
  // The pilot's entry stays as entered; the plan flies no higher than the
  // route has room for.
  g.CruiseAltitudeLimit = topped_out ? host::TruncateToInt32(altitude) : 0;
  // No faster than the performance data cruise at the level: 290 kt is
  // M0.90 at 41000 ft, where the B737-800's tables cruise at M0.74.
  if (m.CruiseSpeed == m.LoadedSpeedSchedule[2]) {
    const double level = PlannedCruiseAltitude();
    m.CruiseMach =
        std::min(model::IasToMach(m.CruiseSpeed, level), MachLimit(model::PerformanceSegment::kCruise, level));
  }

  if (mode != 1) {
    g.TocPassed = 0;
    g.VerticalProfileValid = 1;
    g.TodPassed = 0;
    g.ClimbEndIndex = 0;  // known from the predictions alone
    g.PlannedRouteEdits = Fp().ActiveRouteEdits;
    return;
  }
  // The corners are flown at the speeds the predictions give: a second
  // pass measures the route with them.
  PredictAltitudesAndSpeeds(last, rate);
  PredictAltitudesAndSpeeds(last, rate);
  // Taken after the plan's own writes into the route, which are no edit
  // the plan has to answer.
  g.PlannedRouteEdits = Fp().ActiveRouteEdits;
}

std::int32_t ComputeTopOfClimb(std::int32_t offset) {
  State& g = G();
  const int last = LastIndex();
  const int active = Fp().ActiveWaypointIndex;
  if (active < 0 || active > last) return 0;

  const double level = PlannedCruiseAltitude();
  const int start = active + offset;
  double walked = 0.0;  // whole NM
  const FlownPath& flown = FlownPath::Current();
  for (int i = 1; i <= std::min(start - 1, last); ++i) walked = std::trunc(walked + FlownLeg(flown, i));
  int found = 0;
  for (int i = std::max(start, 1); i <= last - 1; ++i) {
    walked = std::trunc(walked + FlownLeg(flown, i));
    const FlightPlanWaypoint& w = E(i);
    // The climb's constraints end where the predictions reach the level,
    // which may lie between two waypoints.
    if (PlannedAltitude(w) >= level || (g.ClimbEndIndex > 0 && i >= g.ClimbEndIndex)) break;
    if (w.constraint_flag != 1) continue;
    if (walked < g.ClimbDistance) {
      g.TocLatitude = w.latitude;
      g.TocLongitude = w.longitude;
    }
    g.NextConstraintLat = w.latitude;
    g.NextConstraintLon = w.longitude;
    g.NextConstraintAltitude = PlannedAltitude(w);
    g.TocWaypointIndex = i;
    found = i;
  }
  if (found != 0) return found;

  // Ahead of the aircraft along the path, no farther than the entry before
  // the last.
  const double needed = ClimbModel(ClimbRateFlown()).Distance(g.AircraftAltitude, level);
  const FlownPath& path = FlownPath::Current();
  const double toc = path.Aircraft() + needed;
  int leg_start = 0;
  double lat = 0.0, lon = 0.0;
  if (!(toc <= path.EntryOrBefore(std::max(active, last - 1))) || !PlaceOnRoute(toc, lat, lon, leg_start)) return 0;
  int end = leg_start + 1;
  while (end < last && !std::isfinite(path.Entry(end))) ++end;
  end = std::max(end, active);
  g.TocLatitude = g.NextConstraintLat = lat;
  g.TocLongitude = g.NextConstraintLon = lon;
  if (offset == 0) g.TocWaypointIndex = end - 1;
  return end;
}

void ComputeTopOfDescent(std::int32_t mode, std::int32_t from) {
  model::State& m = M();
  State& g = G();
  const int last = LastIndex();
  const int active = Fp().ActiveWaypointIndex;
  if (active < 0 || active > last) return;
  const int reference = from >= 0 && from <= active ? from : active;

  double top = 0.0;
  int search_from = active;
  if (mode == 1) {
    g.TodReferenceIndex = reference;
    top = std::trunc(PlannedAltitude(E(reference)));
    // A constraint at or above the plan's level leaves the level, and the
    // pilot's entry, as they are: written into CruiseAlt above a limit, the
    // descent would start from an altitude the plan never flies.
    const std::int32_t level = PlannedCruiseAltitude();
    if (level > 0 && top >= level) {
      top = level;
    } else {
      m.CruiseAlt = host::TruncateToInt32(top);
    }
    search_from = reference + 1;
    g.TodPassed = 0;
    std::int32_t& page = fms::fms_state.FmsPage;
    if (page == fms::kPageEconClimb || (g.VerticalProfileValid == 0 && page == fms::kPageEconDescent))
      page = fms::kPageEconCruise;
    UpdateVerticalProfile();
  } else if (g.TodPassed == 1 && StartDescentPathAtAircraft(true)) {
    // A descent re-planned (EXEC) goes on from where the aircraft is, at its
    // altitude. Walked back from the constraint at the plan's rate instead,
    // the top moved ahead of an aircraft a little below that line (the path
    // ran level and VNAV levelled off) or behind one above it.
    UpdateVerticalProfile();
    return;
  } else {
    top = g.TocPassed == 0 ? PlannedCruiseAltitude() : std::trunc(g.AircraftAltitude);
  }

  int bottom_index = last;
  double bottom = std::trunc(PlannedAltitude(E(last)));
  for (int i = last - 1; i >= search_from; --i) {
    if (PlannedAltitude(E(i)) >= top || i <= g.TocWaypointIndex) break;
    if (E(i).constraint_flag == 1) {
      bottom_index = i;
      bottom = std::trunc(PlannedAltitude(E(i)));
    }
  }
  const double descent = m.DescentTas / 60.0 * Ratio(top - bottom, m.PlanDescentRate);

  // Back along the path from the bottom, no farther than the start of the
  // active leg (of the leg into the reference waypoint, when the descent
  // is re-planned from one the aircraft has only now reached).
  const FlownPath& path = FlownPath::Current();
  const double bottom_at = path.EntryOrBefore(bottom_index);
  const double sum = bottom_at - path.EntryOrBefore(std::max(reference, 1) - 1);
  int unused = 0;
  if (!(descent <= sum) || !PlaceOnRoute(bottom_at - descent, g.TodLatitude, g.TodLongitude, unused)) {
    // Behind the active waypoint, back along the course the aircraft flies to it.
    double back = g.BearingToActiveWaypoint + 180.0;
    if (back >= 360.0) back -= 360.0;
    navdb::ProjectPosition(E(active).latitude, E(active).longitude, back + g.MagneticVariation, descent - sum,
                           g.TodLatitude, g.TodLongitude);
  }
  g.TodAltitude = top;
  UpdateVerticalProfile();
}

double DescentPathBottom() {
  const State& g = G();
  const int last = LastIndex();
  return last >= 0 ? PlannedAltitude(E(ClampedConstraintIndex(last))) : g.NextConstraintAltitude;
}

bool StartDescentPathAtAircraft(bool at_aircraft_altitude) {
  State& g = G();
  const FlownPath& path = FlownPath::Current();
  const double here = path.Aircraft();
  int unused = 0;
  if (!std::isfinite(here) || !path.PositionFromCoordinate(here, g.TodLatitude, g.TodLongitude, unused)) return false;
  if (at_aircraft_altitude) g.TodAltitude = g.AircraftAltitude;
  return true;
}

void UpdateVerticalProfile() {
  State& g = G();
  const int last = LastIndex();
  const int active = Fp().ActiveWaypointIndex;
  const int constraint = ClampedConstraintIndex(last);

  if (last >= 0) {
    Measure(g.PlaneLatitude, g.PlaneLongitude, E(last).latitude, E(last).longitude, g.DestinationDistance,
            g.DestinationCourse);
    // Kept current whatever the phase: the arrival actions compare it with
    // 25 NM, and a value left from an earlier route would set them off.
    g.DirectDistanceToLastWaypoint = g.DestinationDistance;
  }
  g.DistanceTodToLastWaypoint = 0.0;
  g.DistanceTodToConstraint = 0.0;
  g.DistanceSinceTod = 0.0;
  g.DescentPathAltitudeSpan = 0.0;
  g.NextConstraintDistance = 0.0;
  g.ClimbSideDistance = 0.0;
  g.CruiseSideDistance = 0.0;

  // Along the path the aircraft flies, from where it is.
  const FlownPath& path = FlownPath::Current();
  const bool has_active = active >= 0 && active <= last;
  const double here = has_active ? path.Aircraft() : NAN;
  // The constraint VNAV flies to: ahead of the active waypoint, or one LNAV
  // has sequenced and the aircraft has not yet reached.
  const int target = g.HeldConstraintIndex == constraint && constraint > 0 ? constraint : std::max(constraint, active);
  double to_go = 0.0;
  if (has_active && std::isfinite(here)) {
    to_go = std::max(0.0, path.EntryOrBefore(last) - here);
    // A TOC or TOD behind the aircraft still to be reached counts straight
    // back to it.
    auto to = [&](double lat, double lon) {
      const double at = path.CoordinateFromPosition(last, lat, lon);
      return at >= here ? at - here : Distance(g.PlaneLatitude, g.PlaneLongitude, lat, lon);
    };
    if (g.TocPassed == 0) {
      g.ClimbSideDistance = to(g.TocLatitude, g.TocLongitude);
      const double to_constraint =
          target == constraint ? std::max(0.0, path.EntryOrBefore(target) - here) : path.Ahead(constraint);
      if (to_constraint <= g.ClimbSideDistance) g.NextConstraintDistance = to_constraint;
    }
    // Also while climbing: the pages place the TOD by it.
    if (g.TodPassed == 0) g.CruiseSideDistance = to(g.TodLatitude, g.TodLongitude);
  }

  if (g.TocPassed == 1 && last >= 0) {
    g.DistanceTodToLastWaypoint = WalkBackToTod(last);
    g.DistanceTodToConstraint = WalkBackToTod(constraint);
  }
  // Still to fly to the constraint, before the descent too: there it is
  // more than the TOD's distance to the constraint, so no display takes
  // the aircraft for below the TOD (at 0, the ND read a deviation of 9999
  // ft from a path not yet worked out, all through the cruise).
  if (has_active && std::isfinite(here)) g.DistanceSinceTod = std::max(0.0, path.EntryOrBefore(target) - here);
  if (g.TodPassed == 1 && has_active) {
    g.DistanceTodToConstraint = WalkBackToTod(constraint);
    // Flown since the TOD: what lies between it and the constraint less
    // what is still to fly to the constraint. Walked back from the aircraft
    // instead, the span went through the waypoint sequenced early, still
    // ahead, and jumped at each sequencing; and before the TOD it is 0.
    g.DescentPathAltitudeSpan = std::max(0.0, g.DistanceTodToConstraint - g.DistanceSinceTod);
  }
  g.DestinationDistance = to_go;

  if (PlannedCruiseAltitude() <= 1000) return;
  if (g.TocPassed == 0) {
    if (g.NextConstraintDistance == 0.0) g.NextConstraintDistance = g.ClimbSideDistance;
  } else if (g.TodPassed == 0) {
    g.NextConstraintDistance = g.CruiseSideDistance;
    // Not while a hold is flown round: its circuits pass the TOD's point
    // without going on along the route.
    if (to_go <= g.DistanceTodToLastWaypoint && last >= 0 && !HoldBeingFlown()) {
      g.TodPassed = 1;
      g.NextConstraintAltitude = PlannedAltitude(E(constraint));
    }
  } else {
    g.NextConstraintDistance = g.DistanceSinceTod;
    // A TOD on the constraint itself leaves no path to slope: the constraint
    // altitude is the path.
    const double bottom = DescentPathBottom();
    g.VnavPathAltitude = g.DistanceTodToConstraint > 0.0
                             ? g.TodAltitude - (g.TodAltitude - bottom) / g.DistanceTodToConstraint *
                                                   g.DescentPathAltitudeSpan
                             : bottom;
  }
}

}  // namespace ovi::guidance
