// The cruise level in force: chosen when a route is executed or a level is
// entered (the requested one, the performance ceiling or a climb of half
// the route), lowered to what the route ahead has room for, and the top of
// climb and the top of descent placed for it. docs/vertical-plan.md gives
// the rules.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "src/flightplan/state.h"
#include "src/guidance/climb_model.h"
#include "src/guidance/flown_path.h"
#include "src/guidance/profile_predictions.h"
#include "src/guidance/speed_mode.h"
#include "src/guidance/state.h"
#include "src/guidance/vertical_plan.h"
#include "src/guidance/vertical_plan_internal.h"
#include "src/host/sim_vars.h"
#include "src/model/performance.h"
#include "src/model/state.h"
#include "src/navdb/navdb.h"
#include "src/util/text.h"

namespace ovi::guidance {

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

// Length of the leg that ends at entry i.
double LegLength(int i) {
  double d = 0.0, c = 0.0;
  navdb::ComputeDistanceAndBearing(E(i - 1).latitude, E(i - 1).longitude, E(i).latitude, E(i).longitude, d, c);
  return d;
}

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
    if (w.type == "APT" && !model::IsConstraint(w) && w.altitude_constraint == model::kNoValue) {
      w.altitude_constraint = AirportElevation(w.ident);
      flightplan::ActiveRouteChanged();
    }
  }
  // A last entry the data knows nothing of (no airport, no altitude) ends
  // the descent at the lowest altitude the route knows: a constraint, or the
  // ground the route starts from with the 200 ft an arrival crosses a
  // runway at. Read as 0 ft, VNAV aimed at sea level 87 NM out and the
  // autopilot, alone after the last waypoint, flew on down toward it. A
  // route that knows no altitude at all (the simulator's flight plan, whose
  // points come without elevations) ends on the ground the aircraft last
  // stood on, the airport it left, as a pilot who knows no better would.
  if (last < 1 || E(last).altitude_constraint != model::kNoValue) return;
  double lowest = HUGE_VAL;
  for (int i = 0; i < last; ++i) {
    const FlightPlanWaypoint& w = E(i);
    if (w.altitude_constraint == model::kNoValue) continue;
    if (model::IsConstraint(w)) lowest = std::min(lowest, w.altitude_constraint);
    if (i == 0 && !model::IsConstraint(w)) lowest = std::min(lowest, w.altitude_constraint + kRunwayCrossingHeight);
  }
  if (!std::isfinite(lowest)) lowest = G().LastGroundAltitude + kRunwayCrossingHeight;
  if (!std::isfinite(lowest)) return;
  E(last).altitude_constraint = lowest;
  flightplan::ActiveRouteChanged();
}

// Flown from the aircraft to the last waypoint, where the climb starts and
// the descent ends; the whole route without an active waypoint on it.
double DistanceToRouteEnd(int last) {
  const FlownPath& path = FlownPath::Current();
  const int active = Fp().ActiveWaypointIndex;
  const double ahead = active >= 1 && active <= last ? path.Ahead(last) : NAN;
  return std::isfinite(ahead) ? ahead : path.EntryOrBefore(last);
}

// The wind of the moment, as if it blew from behind all the way down: no
// wind is forecast, and a descent laid in still air asked VNAV for its
// greatest rate and more with 100-150 kt behind, crossing every waypoint
// after its top high.
double WindBehindNow() {
  const State& g = G();
  return std::isfinite(g.WindSpeed) && g.WindSpeed > 0.0 ? g.WindSpeed : 0.0;
}

// An entry of the route ahead of the aircraft: NM along the path to it,
// and its altitude where it is a constraint.
struct EntryAhead {
  double at;
  bool constrained;
  double altitude;
};

// Whether a climb from the aircraft to a level and the descent from it fit
// into the distance ahead, along the profile the predictions plan. A
// constraint the climb meets below the level holds it there until its
// waypoint, and the climb goes on from it; so does one met as the climb
// reaches the level, where the cruise follows it. The first waypoint the
// climb reaches at the level ends it, and the descent must reach the first
// constraint below the level from there on, and the end, in time. Measured
// without those level stretches, a 30000-ft level was kept on a route whose
// climb, held at 8800 ft for 27 NM, met the descent at 25400 ft, the T/C
// shown 16 NM beyond where the aircraft turned down.
struct ProfileFit {
  double bottom;
  double ahead;
  double lowest;  // no level below it (nor below the bottom) is chosen
  double end;     // the last entry's altitude, `ahead` NM on
  std::vector<EntryAhead> entries;  // in route order, the last one left out

  // NM of climb from `from` to `to` begun `at` NM ahead. Past a
  // constraint, as the predictions plan it (profile_predictions.cpp): where
  // the climb reaches the level decides which constraints hold it, and at
  // the climb's mean true airspeed a climb held to 210 kt low down took
  // 54 NM to FL240 where the predictions took 40, so a constraint they made
  // the descent's was held in it. Without one, at the plan's rate and the
  // mean true airspeed, as the level has always been chosen.
  struct Climb {
    bool modelled;
    double rate;
    ClimbModel model;
    Climb(bool past_constraints, double climb_rate)
        : modelled(past_constraints),
          rate(climb_rate),
          model(ClimbModel::SlicedAt(ClimbRateFlown()) ? ClimbRateFlown() : ClimbRateFlown(climb_rate)) {}
    double Nm(double from, double to, double at) const {
      if (modelled) return model.Distance(from, to, at);
      return std::max(0.0, Ratio(to - from, rate) * M().ClimbTas / 60.0);
    }
  };
  static double DescentNm(double from, double to) {
    return std::max(0.0, Ratio(from - to, DescentFeetPerNm(DescentRateInUse(), FastestDescentTas(from))));
  }

  bool Fits(double level, double climb_rate) const {
    // The latest TOD of a descent begun at or after each entry: the one
    // that reaches the end, and the first constraint below the level from
    // there on, which the TOD is placed back from
    // (vertical_plan.cpp ComputeTopOfDescent).
    const std::size_t n = entries.size();
    const double to_end = ahead - DescentNm(level, end);
    std::vector<double> tod(n + 1, to_end);
    for (std::size_t i = n; i-- > 0;) {
      const bool below = entries[i].constrained && entries[i].altitude < level;
      tod[i] = below ? std::min(to_end, entries[i].at - DescentNm(level, entries[i].altitude)) : tod[i + 1];
    }
    // The cruise follows entry i: the descent from the level may begin on
    // the leg after it, or a waypoint after it is planned at the level.
    auto cruise_after = [&](std::size_t i) {
      if (tod[i + 1] >= entries[i].at) return true;
      for (std::size_t j = i + 1; j < n; ++j)
        if (!(entries[j].constrained && entries[j].altitude < level) && entries[j].at <= tod[j]) return true;
      return false;
    };
    // The first constraint below the level after entry i, with the cruise
    // after it.
    auto held_below = [&](std::size_t i) {
      for (std::size_t j = i + 1; j < n; ++j)
        if (entries[j].constrained) return entries[j].altitude < level && cruise_after(j);
      return false;
    };
    const Climb climb(std::any_of(entries.begin(), entries.end(), [](const EntryAhead& e) { return e.constrained; }),
                      climb_rate);
    double at = 0.0, altitude = G().AircraftAltitude;
    std::size_t i = 0;
    for (; i < n; ++i) {
      const EntryAhead& e = entries[i];
      const bool reached = at + climb.Nm(altitude, level, at) <= e.at;
      if (!e.constrained) {
        // Reached on the descent to a constraint below the level that the
        // cruise follows, the climb levels at that constraint instead
        // (profile_predictions.cpp, HeldBelowAhead).
        if (reached && !(G().TocPassed == 0 && e.at > tod[i] && held_below(i))) break;
        continue;
      }
      if (reached && !(e.altitude < level && cruise_after(i))) break;
      at = e.at;
      altitude = e.altitude;
    }
    // Profiles that meet exactly fit, whatever the last bit of the sums.
    return at + climb.Nm(altitude, level, at) <= tod[i] + kMeetingSlackNm;
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

// The entries between the first and the last still ahead, with the NM to
// each along the path, measured as DistanceToRouteEnd measures.
std::vector<EntryAhead> EntriesAhead(int last) {
  const FlownPath& path = FlownPath::Current();
  const int active = Fp().ActiveWaypointIndex;
  const bool from_aircraft = active >= 1 && active <= last && std::isfinite(path.Ahead(last));
  std::vector<EntryAhead> entries;
  for (int k = from_aircraft ? active : 1; k <= last - 1; ++k) {
    const double at = from_aircraft ? path.Ahead(k) : path.Entry(k);
    if (std::isfinite(at)) entries.push_back({at, model::IsConstraint(E(k)), PlannedAltitude(E(k))});
  }
  return entries;
}

// The level asked for, before the route's room bounds it, and what the
// climb to it is worked out with.
struct AskedLevel {
  double altitude;
  double rate;     // of the climb, ft/min
  double ceiling;  // the performance ceiling where it gave the level, else 0
  double half;     // NM of the route a climb without tables may cover
  bool westbound;
};

// The requested level as it is; else, with performance tables, the
// ceiling (the path angle dropped); else a minute-by-minute climb to
// MaxCruise or over half the route, levelled to the direction of flight.
AskedLevel LevelAskedFor(std::int32_t requested_altitude, int last) {
  model::State& m = M();
  double length = 0.0, course = 0.0;
  for (int i = 1; i <= last; ++i) length += LegLength(i);
  if (last >= 1) {
    double d = 0.0;
    navdb::ComputeDistanceAndBearing(E(0).latitude, E(0).longitude, E(last).latitude, E(last).longitude, d, course);
  }
  AskedLevel asked{static_cast<double>(requested_altitude), 0.0, 0.0, length * 0.5, Westbound(course)};
  if (asked.half > 35.0) asked.half -= 15.0;
  asked.rate = ClimbRateInUse();
  if (requested_altitude == 0) {
    asked.ceiling = model::ComputePerformanceCeiling();
    if (asked.ceiling != 0.0) {
      m.FPA = 0.0;
      asked.altitude = asked.ceiling;
      asked.rate = m.ClimbRate;
    } else {
      asked.altitude =
          SearchCruiseLevel(asked.rate, asked.half, asked.westbound, {static_cast<double>(m.MaxCruise), false});
    }
  }
  return asked;
}

// The level asked for, no higher than the route has room for; the TOC and
// the TOD placed for it, CruiseAlt filled when it is 0, CruiseAltitudeLimit
// and the cruise Mach. Returns the climb rate the plan is worked out with.
double PlanTheLevel(std::int32_t requested_altitude, int last) {
  model::State& m = M();
  State& g = G();
  const AskedLevel asked = LevelAskedFor(requested_altitude, last);
  double altitude = asked.altitude, rate = asked.rate;
  const double ceiling = asked.ceiling;
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
  const ProfileFit fit{bottom, ahead, cruising ? g.PreselectAltitude : g.AircraftAltitude,
                       last >= 0 ? PlannedAltitude(E(last)) : 0.0, EntriesAhead(last)};
  bool topped_out = false;
  if (g.TodPassed == 1) {
    topped_out = limit > 0 && limit < altitude;
    if (topped_out) altitude = limit;
  } else if (last >= 1 && !fit.Fits(altitude, rate)) {
    if (ceiling != 0.0) {
      // The ceiling bounds the climb; it is no goal on such a route, which
      // levels off where the climb has covered half of it, as without tables.
      altitude = SearchCruiseLevel(m.ClimbRate, asked.half, asked.westbound, {ceiling, true});
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
    if (last >= 1 && climb_distance <= route_flown) {
      PlaceOnRoute(climb_distance, g.TocLatitude, g.TocLongitude, g.TocWaypointIndex);
      g.TocWindKnown = 0;  // in still air: the climb model places it again
    }
  }

  m.PlanDescentRate = DescentRateInUse();
  PlanDescentSlope(altitude);
  const double descent_distance = Ratio(altitude - bottom, DescentSlope(m.PlanDescentRate));
  if (last >= 1 && descent_distance <= route_flown) {
    int unused = 0;
    PlaceOnRoute(route_flown - descent_distance, g.TodLatitude, g.TodLongitude, unused);
  }

  if (m.CruiseAlt == 0) m.CruiseAlt = host::TruncateToInt32(g.PreselectAltitude);
  // The pilot's entry stays as entered; the plan flies no higher than the
  // route has room for.
  g.CruiseAltitudeLimit = topped_out ? host::TruncateToInt32(altitude) : 0;
  // No faster than the performance data cruise at the level: 290 kt is
  // M0.90 at 41000 ft, where the B737-800's tables cruise at M0.74. A Mach
  // the pilot entered stands: replaced here, an entry of M0.70 alone went
  // at the next EXEC.
  if (m.CruiseSpeed == m.LoadedSpeedSchedule[2] && !m.CruiseMachEntered) {
    const double level = PlannedCruiseAltitude();
    m.CruiseMach =
        std::min(model::IasToMach(m.CruiseSpeed, level), MachLimit(model::PerformanceSegment::kCruise, level));
  }
  return rate;
}

// Mode 1 (EXEC): the executed route's plan, its airports given their
// elevation first, then the predictions written into it.
void PlanWithPredictions(std::int32_t requested_altitude) {
  model::InterpolatePerformanceSpeeds();
  const int last = LastIndex();
  GiveAirportEndsTheirElevation(last);
  const double rate = PlanTheLevel(requested_altitude, last);
  // The corners are flown at the speeds the predictions give: a second
  // pass measures the route with them.
  PredictAltitudesAndSpeeds(last, rate);
  PredictAltitudesAndSpeeds(last, rate);
  // Taken after the plan's own writes into the route, which are no edit
  // the plan has to answer.
  G().PlannedRouteEdits = Fp().ActiveRouteEdits;
}

// Any other mode (a level entered on the pages, a plan activated): a new
// plan, the climb and the descent still to come.
void StartNewPlan(std::int32_t requested_altitude) {
  model::InterpolatePerformanceSpeeds();
  PlanTheLevel(requested_altitude, LastIndex());
  State& g = G();
  g.TocPassed = 0;
  g.VerticalProfileValid = 1;
  g.TodPassed = 0;
  g.ClimbEndIndex = 0;  // known from the predictions alone
  g.PlannedRouteEdits = Fp().ActiveRouteEdits;
}

}  // namespace

std::int32_t PlannedCruiseAltitude() {
  const std::int32_t entered = M().CruiseAlt, limit = G().CruiseAltitudeLimit;
  return limit > 0 && limit < entered ? limit : entered;
}

void ComputeCruiseAltitude(std::int32_t requested_altitude, std::int32_t mode) {
  if (mode == 1) {
    PlanWithPredictions(requested_altitude);
  } else {
    StartNewPlan(requested_altitude);
  }
}

namespace {

// Feet between the altitudes at which the descent's true airspeed is
// looked at: it grows under a held Mach down to the crossover and falls
// under a held airspeed below it.
constexpr double kDescentTasStep = 1000.0;

// What FastestDescentTas was last worked out from, and what it gave:
// asked for on every pass, it walks the altitudes only when one of these
// moves.
struct FastestDescent {
  std::array<double, 8> key{};
  bool known = false;
  double knots = 0.0;
};

}  // namespace

double FastestDescentTas(double top) {
  const model::State& m = M();
  static FastestDescent memo;
  const std::array<double, 8> key{top,
                                  static_cast<double>(m.CruiseSpeed),
                                  m.CruiseMach,
                                  static_cast<double>(m.DescentSpeed),
                                  m.DescentMach,
                                  m.DescentTas,
                                  static_cast<double>(m.CruisePerformanceCount),
                                  static_cast<double>(m.DescentPerformanceCount)};
  if (memo.known && std::memcmp(key.data(), memo.key.data(), sizeof key) == 0) return memo.knots;
  using model::PerformanceSegment;
  double tas = std::isfinite(m.DescentTas) ? std::max(m.DescentTas, 0.0) : 0.0;
  if (top > 0.0 && std::isfinite(top)) {
    const double cruise_mach = m.CruiseMach > 0.0 ? m.CruiseMach : MachLimit(PerformanceSegment::kCruise, top);
    const double cruise = TasNoFasterThan(m.CruiseSpeed, top, cruise_mach);
    if (std::isfinite(cruise)) tas = std::max(tas, cruise);
    for (double h = top; h > 0.0; h -= kDescentTasStep) {
      const double descent = TasNoFasterThan(m.DescentSpeed, h, MachLimit(PerformanceSegment::kDescent, h));
      if (std::isfinite(descent)) tas = std::max(tas, descent);
    }
  }
  memo.key = key;
  memo.known = true;
  memo.knots = tas;
  return tas;
}

double DescentFeetPerNm(double rate, double fastest_tas) {
  const model::State& m = M();
  const double planned = Ratio(rate * 60.0, m.DescentTas);
  const double most = Ratio(kDescentRateShare * std::max(m.MaxVnavDescRate, 100.0) * 60.0, fastest_tas);
  return planned > 0.0 && most > 0.0 ? std::min(planned, most) : std::max(planned, 0.0);
}

void PlanDescentSlope(double top) {
  State& g = G();
  g.DescentFastestTas = FastestDescentTas(top) + WindBehindNow();
}

double DescentFastestSpeed() {
  const State& g = G();
  if (g.DescentFastestTas > 0.0) return g.DescentFastestTas;
  return FastestDescentTas(PlannedCruiseAltitude()) + WindBehindNow();
}

double DescentSlope(double rate) { return DescentFeetPerNm(rate, DescentFastestSpeed()); }

}  // namespace ovi::guidance
