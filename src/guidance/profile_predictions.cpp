#include "src/guidance/profile_predictions.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <utility>
#include <vector>

#include "src/flightplan/state.h"
#include "src/guidance/climb_model.h"
#include "src/guidance/flown_path.h"
#include "src/guidance/holding.h"
#include "src/guidance/speed_mode.h"
#include "src/guidance/state.h"
#include "src/guidance/vertical_plan.h"
#include "src/guidance/vertical_plan_internal.h"
#include "src/guidance/vnav.h"
#include "src/model/performance.h"
#include "src/model/state.h"
#include "src/navdb/navdb.h"

namespace ovi::guidance {

namespace {

using model::FlightPlanWaypoint;

model::State& M() { return model::model_state; }
State& G() { return guidance_state; }
flightplan::State& Fp() { return flightplan::flightplan_state; }

// The entry of ActiveFlightPlan at i; entries outside 0..last are not part
// of the route, so callers must have checked i.
FlightPlanWaypoint& E(int i) { return Fp().ActiveFlightPlan[i]; }

// A speed a procedure set without an altitude (flag 2): the predictions
// pass it by and never write over it; the pages show it as published.
bool Published(const FlightPlanWaypoint& w) { return w.constraint_flag == 2; }

// Above the origin by this much the aircraft is in the air, whatever its
// altitude reads on the ground.
constexpr double kAirborneHeight = 1000.0;

// The altitude the climb starts from: the first entry's (an airport's
// elevation), or, where the route gives it none (the simulator's flight
// plan, whose points come without elevations), the ground the aircraft last
// stood on. Counted from sea level, a climb from a runway 1,000 ft up was
// planned 1,000 ft low, and an aircraft 725 ft above that runway was taken
// for one in the air.
double ClimbStart() {
  const FlightPlanWaypoint& origin = E(0);
  if (origin.altitude_constraint != model::kNoValue) return origin.altitude_constraint;
  const double ground = G().LastGroundAltitude;
  return std::isfinite(ground) ? ground : 0.0;
}

// The climb's feet a mile at an altitude, measured over the feet below it.
constexpr double kSlopeFeet = 500.0;
// Feet short of a constraint ahead at which the climb to it is taken to be
// paced to meet it (within them, the cut to the hundred).
constexpr double kShortOfTheConstraint = 100.0;

constexpr double kDegToRad = 3.14159265358979323846 / 180.0;

// The altitude VNAV comes down to from `top` over `nm` along a leg of true
// course `course` at `rate` (ft/min), at the true airspeed `tas_at` gives
// for an altitude, with the wind of the moment along the leg, two miles at
// a time.
template <typename Tas>
double Fall(double top, double nm, double course, double rate, const Tas& tas_at) {
  const State& g = G();
  constexpr double kStepNm = 2.0, kLeastGroundSpeed = 100.0;
  const double wind = std::isfinite(g.WindSpeed) && std::isfinite(g.WindDirection) ? g.WindSpeed : 0.0;
  const double behind = -wind * std::cos((g.WindDirection - course) * kDegToRad);
  double h = top;
  for (double left = nm; left > 0.0 && h > 0.0; left -= kStepNm) {
    const double ground = std::max(tas_at(h) + behind, kLeastGroundSpeed);
    if (!std::isfinite(ground)) return NAN;
    h -= std::min(kStepNm, left) * rate * 60.0 / ground;
  }
  return h;
}

// At VNAV's greatest rate, at the descent's airspeed (the restriction's
// under its altitude, `held_ias` where a constraint behind gives one, no
// faster than the descent's Mach).
double FallAtTheGreatestRate(double top, double nm, double course, double held_ias) {
  const model::State& m = M();
  return Fall(top, nm, course, std::max(m.MaxVnavDescRate, 100.0), [&](double h) {
    double ias = m.DescentSpeed;
    if (m.DescSpdRest > 0.0 && h <= m.DescAltRest) ias = std::min(ias, m.DescSpdRest);
    if (held_ias > 0.0) ias = std::min(ias, held_ias);
    return TasNoFasterThan(ias, h, MachLimit(model::PerformanceSegment::kDescent, h));
  });
}

// The predictions follow one profile the aircraft can fly. Its anchors are
// the two ends of the route and the constrained waypoints (flag 1), each at
// its altitude. From every anchor the climb goes on ahead at the climb
// gradient (`up`) and the descent reaches back at the descent gradient
// (`down`), neither above the plan's level; a waypoint is planned at the
// lowest of the two and of the ceiling its anchors set. Where the climb
// ends (the crossover) splits the constraints into those of the climb and
// those of the descent.
class Profile {
 public:
  Profile(int last, double level)
      : last_(last), level_(level), up_(last + 1, 0.0), down_(last + 1, 0.0), beyond_(last + 1, 0.0) {}

  // Forward from entry 0, each leg at the climb rate, truncated to 100 ft
  // above 1000 ft, from each constraint's altitude on. The crossover is the
  // first waypoint the climb reaches at the level (a constraint there is the
  // descent's first, unless the climb levels at it), or once past the TOC
  // the first constraint ahead: one passed in the climb, taken as the
  // crossover of a plan made in the cruise, capped the cruise waypoints at
  // its altitude (RTE LEGS showing FL200 under an aircraft at FL380).
  void WalkClimb(double rate, double late = 0.0, bool from_aircraft = false) {
    // At the rate VNAV flies: the waypoints' altitudes are where it crosses
    // them. Where the climb model places the TOC VNAV flies to, that is the
    // file's climb rate even where a path angle gives the plan's level its
    // rate (a business jet's 3 degrees, 1,900 ft/min at 380 kt): planned at
    // that, a step climb flown at 2,500 crossed its first waypoint 1,400 ft
    // above the altitude RTE LEGS showed.
    const bool modelled = ClimbModel::SlicedAt(ClimbRateFlown());
    const ClimbModel climb(modelled ? ClimbRateFlown() : ClimbRateFlown(rate));
    const State& g = G();
    const int active = Fp().ActiveWaypointIndex;
    const bool walked_from_aircraft =
        active >= 1 && g.TocPassed == 0 && (from_aircraft || g.AircraftAltitude > ClimbStart() + kAirborneHeight);
    // The first constraint of the climb ahead (VNAV's target), and where
    // the climb at the plan's rate from the aircraft arrives at it.
    int target = 0;
    double arrives = NAN;
    Walk(climb, nullptr, 0, late, walked_from_aircraft, target, arrives);
    if (!(target > 0) || !(arrives < PlannedAltitude(E(target)) - kShortOfTheConstraint)) return;
    // VNAV climbs to it at the rate that meets it there, above the plan's
    // where the plan's falls short (vnav_rates.cpp), over the miles to it
    // at the ground speed the plan's climb averages: walked at the plan's
    // 1,600 ft/min, the waypoint before a 34,400B was shown 2,000 ft under
    // where the aircraft, at VNAV's 1,900, crossed it.
    const FlownPath& path = FlownPath::Current();
    double to_target = path.Ahead(active);
    for (int k = active + 1; k <= target; ++k) to_target += FlownLeg(path, k);
    const double needed = climb.Distance(g.AircraftAltitude, PlannedAltitude(E(target)));
    if (!(to_target > 0.0) || !(needed > 0.0)) return;
    const double rate_to_target = climb.Rate() * needed / to_target;
    const double paced = ClimbRateFlown(g.VnavEngaged == 1 ? ClimbCommandFor(rate_to_target) : rate_to_target);
    if (!(paced > climb.Rate())) return;
    const ClimbModel fast(paced);
    Walk(climb, &fast, target, late, walked_from_aircraft, target, arrives);
  }

  // The walk itself, at `climb`'s rate, from the aircraft up to and over
  // the leg into entry `until` at `fast`'s where there is one. Sets the
  // first constraint of the climb the walk from the aircraft meets below
  // the level, and the altitude the walk arrives at it with.
  void Walk(const ClimbModel& climb, const ClimbModel* fast, int until, double late, bool walked_from_aircraft,
            int& target, double& arrives) {
    const State& g = G();
    const int active = Fp().ActiveWaypointIndex;
    const FlownPath& path = FlownPath::Current();
    crossover_ = 0;
    target = 0;
    arrives = NAN;
    double p = ClimbStart();
    for (int k = 1; k <= last_ - 1; ++k) {
      const ClimbModel& at = fast != nullptr && k >= active && k <= until ? *fast : climb;
      // The leg's own track, from the entry placed before it.
      int from = k - 1;
      while (from > 0 && !std::isfinite(path.Entry(from))) --from;
      const double track = navdb::TrueCourse(E(from).latitude, E(from).longitude, E(k).latitude, E(k).longitude);
      // At the level already, the climb over the leg goes no higher than
      // it, wherever it would have gone.
      if (p < level_) p = at.After(p, FlownLeg(path, k), track);
      // In the air, the climb still to fly starts where the aircraft is: a
      // climb from the origin shows the waypoint ahead below the aircraft
      // after a step climb (or an EXEC late in the climb), or at a level it
      // reaches only later.
      double nearest = NAN;
      if (k == active && walked_from_aircraft) {
        const double from_here = at.After(g.AircraftAltitude, std::max(path.Ahead(k) - late, 0.0), track);
        if (std::isfinite(from_here)) p = from_here;
        // The waypoint itself shows where the aircraft passes nearest it on
        // its own way, which may cut the corner elsewhere than the path
        // does; the climb goes on from the path's. Counted along the path's
        // corner, TMBRS after take-off was shown 500 ft above where the
        // aircraft, turning onto the first leg into the corner, crossed it.
        if (path.Nearest(k) != path.Ahead(k))
          nearest = at.After(g.AircraftAltitude, std::max(path.Nearest(k) - late, 0.0), track);
      }
      const FlightPlanWaypoint& w = E(k);
      // Walked from the aircraft, the climb ends ahead of it, still below
      // the level: a waypoint behind it is no end of the climb, whatever the
      // walk from the runway made of it. A step climb from a constraint
      // passed in the cruise took the constraint for the descent's first,
      // and every waypoint after it showed its altitude, 2,500 ft under the
      // new level the aircraft climbed to.
      const bool behind = walked_from_aircraft && k < active;
      if (model::IsConstraint(w)) {
        if (crossover_ == 0 && !behind &&
            ((G().TocPassed == 1 && k >= active) ||
             (p >= level_ && (!LevelledAtInTheClimb(k) || BeyondTheTopOfDescent(k)))))
          crossover_ = k;
        if (walked_from_aircraft && target == 0 && k >= active && crossover_ == 0 && PlannedAltitude(w) < level_) {
          target = k;
          arrives = p;
        }
        p = PlannedAltitude(w);
      } else {
        if (p > 1000.0) p = std::trunc(p / 100.0) * 100.0;
        if (p >= level_) {
          p = level_;
          if (crossover_ == 0 && !behind && !HeldBelowAhead(k)) crossover_ = k;
        }
      }
      up_[k] = p;
      if (std::isfinite(nearest) && !model::IsConstraint(w) && p < level_)
        up_[k] = std::min(nearest > 1000.0 ? std::trunc(nearest / 100.0) * 100.0 : nearest, level_);
    }
  }

  // Back from the last entry, each leg at the plan's descent rate, from
  // each constraint's altitude on; each waypoint takes it truncated to
  // 100 ft above 1000 ft. The running altitude itself is not truncated:
  // cut at every waypoint, the cuts added up back along the route, and the
  // waypoints of a long descent stood up to 100 ft a waypoint below the
  // path VNAV flies down (300 ft at BTG on the sample route).
  void WalkDescent() {
    const model::State& m = M();
    const FlownPath& path = FlownPath::Current();
    const double per_nm = DescentSlope(m.PlanDescentRate);
    double p = PlannedAltitude(E(last_));
    for (int k = last_ - 1; k >= 1; --k) {
      p += FlownLeg(path, k + 1) * per_nm;
      beyond_[k] = p;
      if (model::IsConstraint(E(k))) p = PlannedAltitude(E(k));
      down_[k] = std::min(p > 1000.0 && !model::IsConstraint(E(k)) ? std::trunc(p / 100.0) * 100.0 : p, level_);
    }
    // On from each constraint no lower than VNAV comes down from its
    // altitude at its greatest rate: walked back alone, a constraint too low
    // for the one before it left the waypoints between on a slope no
    // aircraft flies (a pilot's 21,400 ft at ELMAA, OLM's 6,000 34 NM on:
    // SATSP shown at 10,600, crossed at 13,563 with VNAV at its greatest
    // rate from ELMAA). Walked until the descent walked back lies above it.
    double fallen = NAN, held = 0.0;
    for (int k = 1; k <= last_ - 1; ++k) {
      if (model::IsConstraint(E(k))) {
        fallen = PlannedAltitude(E(k));
        held = E(k).speed_constraint;
        continue;
      }
      if (!std::isfinite(fallen)) continue;
      const FlightPlanWaypoint &from = E(k - 1), &to = E(k);
      const double course = navdb::TrueCourse(from.latitude, from.longitude, to.latitude, to.longitude);
      fallen = FallAtTheGreatestRate(fallen, FlownLeg(path, k), course, held);
      if (!(fallen > down_[k])) {
        fallen = NAN;
        continue;
      }
      down_[k] = std::min(fallen > 1000.0 ? std::trunc(fallen / 100.0) * 100.0 : fallen, level_);
    }
  }

  // A constraint below the level met as the climb reaches the level, with
  // the cruise still after it (the descent walked back reaches the level
  // beyond it), is one the climb levels at and climbs on from. Taken as the
  // descent's first, it was planned as a step down from the level and the
  // TOC stood short of it, while VNAV, passing the waypoint before, flew to
  // it, levelled there and climbed on after it: the TOC shown 100 NM and
  // more short of where the aircraft reached the level. The cruise may
  // follow on the leg after it, with no waypoint of its own at the level:
  // looked for at the waypoints alone, a pilot's 27,200 ft typed in the
  // climb under 30,000 before a 250-NM leg was taken for a step down, the
  // aircraft climbed through it, turned down 2,600 ft to meet it and never
  // flew the pilot's level again. Needs the descent walked first.
  bool LevelledAtInTheClimb(int k) const {
    if (!(PlannedAltitude(E(k)) < level_)) return false;
    if (beyond_[k] >= level_) return true;
    for (int j = k + 1; j <= last_ - 1; ++j)
      if (down_[j] >= level_) return true;
    return false;
  }

  // Constraint k lies beyond the top of descent VNAV has placed: VNAV's
  // climb ends there (vertical_plan.cpp), and k is the descent's, as VNAV
  // flies it. Taken as the climb's whenever the cruise went on after it, a
  // pilot's 36,500 ft 100 NM beyond a top of climb at FL400 was shown as
  // levelled at once a wind behind moved the top of climb past the waypoint
  // before it, while VNAV climbed on to FL400 and turned down to it; and the
  // waypoints after it stood on a line from that top of descent to the
  // runway, 5,400-21,000 ft under where the aircraft crossed them.
  bool BeyondTheTopOfDescent(int k) const {
    if (G().TocPassed != 0) return false;
    const FlownPath& path = FlownPath::Current();
    const double tod = PlacedTopOfDescent(path, last_);
    return std::isfinite(tod) && path.EntryOrBefore(k) >= tod;
  }

  // Reached by the climb at the level, k already lies on the descent to
  // the constraint ahead (no cruise between), and the cruise follows that
  // constraint: the climb levels at the constraint instead. Taken as a step
  // down, the climb met the descent path short of the level: a pilot's
  // 12,500 ft typed in the climb under FL249 was climbed through to 21,900
  // ft and turned down to at once, the level the pages showed never flown.
  bool HeldBelowAhead(int k) const {
    if (G().TocPassed != 0 || !(down_[k] < level_)) return false;
    const int n = Ahead(k);
    return Constrained(n) && LevelledAtInTheClimb(n);
  }

  bool Constrained(int j) const { return j >= 1 && j <= last_ - 1 && model::IsConstraint(E(j)); }
  // A constraint met before the climb ends. Without a crossover (the climb
  // ends on the last leg) every constraint is one.
  bool OfTheClimb(int j) const { return crossover_ == 0 || j < crossover_; }
  // Its speed holds the waypoints before it: a climb constraint's, and past
  // the TOC the first constraint's.
  bool HoldsSpeedBack(int j) const { return OfTheClimb(j) || (G().TocPassed == 1 && j == crossover_); }

  int Behind(int k) const {
    int j = k - 1;
    while (j >= 1 && !Constrained(j)) --j;
    return std::max(j, 0);
  }
  int Ahead(int k) const {
    int j = k + 1;
    while (j <= last_ - 1 && !Constrained(j)) ++j;
    return std::min(j, last_);
  }
  // A descent constraint behind k: past it the aircraft does not climb again.
  bool PastDescentConstraint(int k) const {
    const int p = Behind(k);
    return Constrained(p) && !OfTheClimb(p);
  }

  // Between two constraints of the climb (or the start and the first) the
  // aircraft climbs no higher than the higher of them: a climb constraint
  // is not overflown to be descended to. Past a descent constraint it stays
  // no higher than that constraint or the next. From the climb's last
  // anchor to the descent's first the level is the ceiling.
  double Ceiling(int k) const {
    const int p = Behind(k), n = Ahead(k);
    if ((Constrained(n) && OfTheClimb(n)) || PastDescentConstraint(k))
      return std::max(PlannedAltitude(E(p)), PlannedAltitude(E(n)));
    return level_;
  }
  double Climb(int k) const { return std::min(up_[k], Ceiling(k)); }
  double Descent(int k) const { return down_[k]; }
  double Altitude(int k) const { return std::min(Climb(k), down_[k]); }
  // The descent has the waypoint: past a descent constraint, or where the
  // descent to the anchor ahead passes below the climb.
  bool InDescent(int k) const {
    return PastDescentConstraint(k) || (down_[k] < level_ && down_[k] <= Climb(k));
  }
  int Crossover() const { return crossover_; }

 private:
  int last_;
  double level_;
  std::vector<double> up_, down_;
  // At each waypoint, the descent walked back from the anchors after it,
  // before its own constraint resets it: where the profile after it must be.
  std::vector<double> beyond_;
  int crossover_ = 0;
};

void WriteCruise(FlightPlanWaypoint& w, double level) {
  w.altitude_constraint = level;
  w.speed_constraint = M().CruiseSpeed;
}

// A climb's values at a waypoint planned at `p`: the level's where it
// reaches it.
void WriteClimb(FlightPlanWaypoint& w, double p, double level) {
  const model::State& m = M();
  if (p >= level) {
    WriteCruise(w, level);
    return;
  }
  w.altitude_constraint = p;
  w.speed_constraint = m.ClimbIas;
  if (m.ClbSpdRest > 0.0 && p < m.ClbAltRest && m.ClbSpdRest < m.ClimbIas) w.speed_constraint = m.ClbSpdRest;
}

// The climb's values at every waypoint the plan writes, then the speed of
// each climb constraint held back over the waypoints before it.
void PredictClimb(const Profile& profile, int last, double level) {
  const model::State& m = M();
  // Asked before the speeds are written: they are a part of the route.
  const FlownPath& path = FlownPath::Current();
  for (int k = 1; k <= last - 1; ++k) {
    FlightPlanWaypoint& w = E(k);
    if (!model::IsConstraint(w) && !Published(w)) WriteClimb(w, profile.Climb(k), level);
  }
  for (int k = 1; k <= last - 1; ++k) {
    const FlightPlanWaypoint& c = E(k);
    if (!model::IsConstraint(c) || !profile.HoldsSpeedBack(k) || c.speed_constraint == model::kNoValue) continue;
    // Waypoints before a speed constraint are not planned faster than it
    // where VNAV flies its speed: from the distance speed restrictions are
    // taken at, so that it is met at its waypoint (vnav_speed.cpp).
    double before = 0.0;
    for (int j = k - 1; j >= 1 && !model::IsConstraint(E(j)); --j) {
      before += FlownLeg(path, j + 1);
      if (!(before < m.VnavSetSpdRestDist)) break;
      if (!Published(E(j)) && E(j).speed_constraint > c.speed_constraint) E(j).speed_constraint = c.speed_constraint;
    }
  }
}

// A descent's values at waypoint k planned at `p`: the level's where it
// reaches it.
void WriteDescent(const Profile& profile, int k, double p, double level) {
  const model::State& m = M();
  FlightPlanWaypoint& w = E(k);
  if (p >= level) {
    WriteCruise(w, level);
    return;
  }
  // Past a descent constraint its speed holds where it is the slower.
  const int cap = profile.PastDescentConstraint(k) ? profile.Behind(k) : 0;
  const double cap_speed = cap > 0 ? E(cap).speed_constraint : model::kNoValue;
  const bool slower = cap_speed != model::kNoValue && (cap_speed < w.speed_constraint || cap_speed < m.DescentSpeed);
  w.speed_constraint = slower ? cap_speed : m.DescentSpeed;
  w.altitude_constraint = p;
  if (m.DescSpdRest > 0.0 && m.DescSpdRest < w.speed_constraint && p <= m.DescAltRest)
    w.speed_constraint = m.DescSpdRest;
}

// The descent's values where the descent has the waypoint; a descent
// constraint without a speed takes the descent speed.
void PredictDescent(const Profile& profile, int last, double level) {
  model::State& m = M();
  for (int k = last - 1; k >= 1; --k) {
    FlightPlanWaypoint& w = E(k);
    if (Published(w)) continue;
    if (model::IsConstraint(w)) {
      if (!profile.OfTheClimb(k) && w.speed_constraint == model::kNoValue) w.speed_constraint = m.DescentSpeed;
      continue;
    }
    if (profile.InDescent(k)) WriteDescent(profile, k, profile.Altitude(k), level);
  }
}

// The descent VNAV flies first, from the top of descent straight to the
// descent's first constraint ahead (in the descent, the constraint VNAV
// flies to), as VNAV's path runs. The walk back from that constraint at the
// plan's rate is the same path where the top of descent was placed on the
// path as it now is; but the top is kept as a point, and once the corners
// were flown again in other air (a new wind, the speeds near them) the walk
// left VNAV's path behind: RTE LEGS showed a waypoint 10 NM ahead at
// FL215 while VNAV held FL272 to a top of descent 20 NM beyond it.
void PredictTheDescentPathAhead(const Profile& profile, const FlownPath& path, int last, double level,
                                 bool climb_kept) {
  const State& g = G();
  const int active = std::max(Fp().ActiveWaypointIndex, 1);
  int target = last;
  if (g.TodPassed == 1) {
    target = ClampedConstraintIndex(last);
  } else {
    for (int k = active; k <= last - 1; ++k) {
      if (profile.Constrained(k) && !profile.OfTheClimb(k)) {
        target = k;
        break;
      }
    }
  }
  const double top = g.TodPassed == 1 ? g.TodAltitude : level;
  // A hold's fix keeps the walk's altitude: the path falls to it there.
  const int fix = Fp().HoldCount > 0 ? Fp().HoldTable[1].active_index : 0;
  for (int k = active; k < target; ++k) {
    const FlightPlanWaypoint& w = E(k);
    if (model::IsConstraint(w) || Published(w) || k == fix) continue;
    double p = DescentPathAltitudeAt(path, target, top, path.Entry(k));
    if (!std::isfinite(p)) return;
    // Climbing, the climb has the waypoints it passes below the path.
    if (g.TocPassed == 0 && !(p < profile.Climb(k))) {
      if (profile.InDescent(k) && !climb_kept) WriteClimb(E(k), profile.Climb(k), level);
      continue;
    }
    // Whole hundreds as the walk writes them; a path worked out from the
    // coordinates a hair under a hundred stands for it.
    if (p > 1000.0) p = std::trunc(p / 100.0 + 1e-6) * 100.0;
    WriteDescent(profile, k, p, level);
  }
}

// VNAV steps down to a lower level entered in the cruise.
bool SteppingDown(double level) {
  const State& g = G();
  return g.TocPassed == 1 && g.TodPassed == 0 && g.VnavEngaged == 1 && g.AircraftAltitude > level + kTopOfClimbCapture;
}

// The speed VNAV asks for (a Mach as a number under 10), and the cruise's
// it takes up at the active waypoint (vnav_speed.cpp).
double WantedSpeed() {
  const State& g = G();
  return g.VnavWantedMach > 0.0 ? g.VnavWantedMach : std::max(g.VnavWantedSpeed, 0.0);
}
double CruiseSpeedTakenUp() {
  const model::State& m = M();
  return m.VnavSetMachCruiseSpd == 1 && m.CruiseMach > 0.0 ? m.CruiseMach : m.CruiseSpeed;
}
// What a step down is flown at now; 0 where none is flown.
double StepSpeed(double level) { return SteppingDown(level) ? WantedSpeed() : 0.0; }

// A lower level entered in the cruise: VNAV steps down to it from where the
// aircraft is, at the rate it steps at (vnav_rates.cpp), at the speed it
// asks for up to where it takes up the new level's cruise speed, and the
// waypoints on the way are shown where it crosses them. Shown at the new
// level, ALKIA read 22,300 ft 40 s before the aircraft crossed it at
// 27,922; at the ground speed of the moment, before the new level's slower
// Mach, the waypoints 20 NM on were shown 650 ft above it; at the new
// level's Mach from the start, where VNAV keeps the old one to the next
// waypoint, YKM 327 ft under it.
void PredictTheStepDownAhead(const FlownPath& path, int last, double level) {
  double here = path.Aircraft();
  const int active = std::max(Fp().ActiveWaypointIndex, 1);
  if (!SteppingDown(level) || !std::isfinite(here)) return;
  // A Mach as the true airspeed it is there: any airspeed's over its Mach.
  const auto tas = [](double speed, double h) {
    return speed < 10.0 ? speed * model::IasToTas(250.0, h) / model::IasToMach(250.0, h) : model::IasToTas(speed, h);
  };
  const double now = WantedSpeed() > 0.0 ? WantedSpeed() : CruiseSpeedTakenUp(), then = CruiseSpeedTakenUp();
  const auto now_tas = [&](double h) { return tas(now, h); };
  const auto then_tas = [&](double h) { return tas(then, h); };
  // A speed already set for the leg is kept until LNAV passes the active
  // waypoint; else it goes out as the aircraft comes within the distance.
  const double passed = std::isfinite(path.Passed(active)) ? path.Passed(active) : path.Entry(active);
  const double taken_up = G().VnavSpeedSet != 0 ? passed : path.Entry(active) - M().VnavSetSpdRestDist;
  const int fix = Fp().HoldCount > 0 ? Fp().HoldTable[1].active_index : 0;
  double h = G().AircraftAltitude;
  for (int k = active; k <= last - 1; ++k) {
    FlightPlanWaypoint& w = E(k);
    const double at = path.Entry(k);
    if (!std::isfinite(at)) continue;
    const FlightPlanWaypoint& from = E(k - 1);
    const double course = navdb::TrueCourse(from.latitude, from.longitude, w.latitude, w.longitude);
    const double switched = std::clamp(taken_up, here, std::max(here, at));
    h = Fall(h, switched - here, course, StepRate(), now_tas);
    h = Fall(h, std::max(0.0, at - switched), course, StepRate(), then_tas);
    here = std::max(here, at);
    const double p = std::trunc(h / 100.0 + 1e-6) * 100.0;
    if (!(p > level)) break;
    // The plan's cruise waypoints only: a constraint stands as entered.
    if (model::IsConstraint(w) || Published(w) || k == fix || !(w.altitude_constraint >= level)) continue;
    w.altitude_constraint = p;
  }
}

// VNAV just engaged has still to build up its climb (held level below its
// least speed, its rate built up a hundred a second): the miles that costs,
// while it does; 0 once it climbs.
double MilesStillLost() {
  const State& g = G();
  const model::State& m = M();
  if (g.VnavEngaged != 1 || (g.SmoothedAirspeed >= m.MinVnavIas + 10.0 && g.VerticalSpeedFpm >= m.MinVnavClimbRate))
    return 0.0;
  return MilesLostAtVnavOn(ClimbRateFlown());
}

}  // namespace

void PredictTheClimbFromTheAircraft() {
  State& g = G();
  const int last = Fp().ActiveFlightPlanLastIndex;
  if (last < 2 || g.TocPassed == 1 || !ClimbModel::SlicedAt(ClimbRateFlown())) return;
  const double level = PlannedCruiseAltitude();
  const double late = MilesLostAtVnavOn(ClimbRateFlown());
  // In the air the climb is walked again from the aircraft, as an EXEC
  // there walks it. Lower down the runway's climb EXEC wrote still stands
  // (the path no longer measures the legs from the runway), reached that
  // many miles later up to the first constraint, where the aircraft would
  // level.
  const bool in_the_air = g.AircraftAltitude > ClimbStart() + kAirborneHeight;
  Profile profile(last, level);
  profile.WalkDescent();
  profile.WalkClimb(M().ClimbRate, in_the_air ? late : 0.0);
  const ClimbModel climb(ClimbRateFlown());
  const int end = profile.Crossover() > 0 ? profile.Crossover() : last;
  // Where the plan's own climb ended: the waypoints before it hold its values.
  const int planned_end = g.ClimbEndIndex > 0 ? g.ClimbEndIndex : last;
  // Written once all are worked out: the climb model asks the path, which
  // is not to see the route changed under it before the change is counted.
  std::vector<std::pair<int, double>> writes;
  for (int k = std::max(Fp().ActiveWaypointIndex, 1); k < (in_the_air ? std::max(end, planned_end) : end); ++k) {
    FlightPlanWaypoint& w = E(k);
    if (!in_the_air && model::IsConstraint(w)) break;
    if (model::IsConstraint(w) || Published(w)) continue;
    if (k >= end || profile.InDescent(k)) {
      if (!in_the_air) continue;
      // A waypoint of the plan's climb that the climb from here reaches at
      // the level, or past where the descent has it, still showed the
      // plan's slower climb: crossed at the level or on the descent, 3,500
      // ft above it. One the descent had keeps its value, and a hold's
      // level with it.
      const double a = w.altitude_constraint;
      const double p = std::min(profile.Altitude(k), level);
      if (k >= planned_end || a == model::kNoValue || !(a < profile.Descent(k)) || !(a < p)) continue;
      writes.emplace_back(k, p);
      continue;
    }
    double p = profile.Climb(k);
    if (!in_the_air) {
      if (w.altitude_constraint == model::kNoValue || w.altitude_constraint >= profile.Ceiling(k)) continue;
      // A value cut to the hundred stands for the hundred above it: taken
      // at its middle, a mile's hundredth dropped a whole hundred.
      const double a = w.altitude_constraint;
      const double miles = climb.Distance(a - kSlopeFeet, a);
      if (!(miles > 0.0)) continue;
      p = a - late / miles * kSlopeFeet;
      if (a > 1000.0) p = std::min(a, std::trunc((p + 50.0) / 100.0) * 100.0);
    }
    if (p >= level || p == w.altitude_constraint) continue;
    writes.emplace_back(k, p);
  }
  if (writes.empty()) return;
  for (const auto& [k, p] : writes) E(k).altitude_constraint = p;
  // The plan's own write: no edit for the plan to answer.
  const bool planned = g.PlannedRouteEdits == Fp().ActiveRouteEdits;
  flightplan::ActiveRouteChanged();
  if (planned) g.PlannedRouteEdits = Fp().ActiveRouteEdits;
}

void PredictTheDescentFromTheHold() {
  State& g = G();
  const int last = Fp().ActiveFlightPlanLastIndex;
  if (g.TodPassed != 1 || last < 2) return;
  const int target = ClampedConstraintIndex(last);
  const FlownPath& path = FlownPath::Current();
  const double top = g.TodAltitude, bottom = DescentPathBottom();
  const double top_at = path.CoordinateFromPosition(target, g.TodLatitude, g.TodLongitude);
  const double bottom_at = path.EntryOrBefore(target);
  if (!(bottom_at > top_at) || !(top > bottom)) return;
  // VNAV's path, whole hundreds above 1000 ft as the walk writes them: the
  // hold's level lies above the plan's descent back from the target
  // wherever the racetrack was flown higher than the walk now passes the
  // fix (after a hold at HQM RTE LEGS showed ELMAA 2,900 ft below where the
  // aircraft crossed it).
  // The plan's own write and no route edit: counted as one, the corners
  // were flown again at the exit and PROGRESS's distance to the
  // destination moved 2 NM from the distance then flown.
  const double gradient = (top - bottom) / (bottom_at - top_at);
  for (int k = std::max(Fp().ActiveWaypointIndex, 1); k < target; ++k) {
    FlightPlanWaypoint& w = E(k);
    const double at = path.Entry(k);
    if (model::IsConstraint(w) || Published(w) || !std::isfinite(at)) continue;
    double p = top - gradient * std::clamp(at - top_at, 0.0, bottom_at - top_at);
    if (p > 1000.0) p = std::trunc(p / 100.0) * 100.0;
    w.altitude_constraint = p;
  }
}

namespace {

// Passes (18 a second) a plan that only crept waits before its predictions
// are worked out again; a change of phase, target or level, a new wind or a
// top moved by miles does not wait.
constexpr double kTicksBetweenPredictions = 5.0 * 18.0;

// What the predictions are worked out from: the phase, the targets, the
// level, the top of climb and of descent and the end where the path has
// them, the wind the climb is walked in.
struct PlanFlown {
  static constexpr std::size_t kCount = 19;
  std::array<double, kCount> value{};
  // The least move of each that has them worked out again, and the move
  // that has it done at once (the first eleven and the step's speed at any
  // change).
  static constexpr std::array<double, kCount> kMoves = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                                        0, 50.0, 50.0, 0.2, 0.2, 0.2, 5.0, 5.0, 0};
  static constexpr std::array<double, kCount> kAtOnce = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                                         0, 500.0, 500.0, 2.0, 2.0, 2.0, 5.0, 5.0, 0};
};

PlanFlown PlanFlownNow() {
  const State& g = G();
  const int last = std::min(Fp().ActiveFlightPlanLastIndex, model::kMaxActivePlanWaypoints);
  const FlownPath& path = FlownPath::Current();
  double north = 0.0, east = 0.0;
  ClimbWind(north, east);
  const double in_the_air = g.AircraftAltitude > ClimbStart() + kAirborneHeight ? 1.0 : 0.0;
  PlanFlown p;
  p.value = {static_cast<double>(Fp().ActiveWaypointIndex),
             static_cast<double>(g.TocPassed),
             static_cast<double>(g.TodPassed),
             static_cast<double>(g.NextConstraintIndex),
             static_cast<double>(g.HeldConstraintIndex),
             HoldBeingFlown() ? 1.0 : 0.0,
             static_cast<double>(g.VnavEngaged),
             static_cast<double>(PlannedCruiseAltitude()),
             in_the_air,
             static_cast<double>(Fp().RouteState),
             static_cast<double>(g.PlannedRouteEdits),
             g.NextConstraintAltitude,
             g.TodAltitude,
             path.CoordinateFromPosition(last, g.TocLatitude, g.TocLongitude),
             path.CoordinateFromPosition(last, g.TodLatitude, g.TodLongitude),
             path.EntryOrBefore(last),
             north,
             east,
             StepSpeed(PlannedCruiseAltitude())};
  return p;
}

}  // namespace

bool PlanMovedSincePredicted() {
  const State& g = G();
  const int last = Fp().ActiveFlightPlanLastIndex, active = Fp().ActiveWaypointIndex;
  // A hold flown keeps the plan it was entered on: its level is its fix's
  // planned altitude, as the pages showed it.
  if (last < 2 || Fp().RouteState < 3 || active < 0 || active > last || HoldBeingFlown()) return false;
  if (!g.PredictedForKnown) return true;
  const PlanFlown now = PlanFlownNow();
  // A top of climb or descent moving with the wind, or placed again on
  // every pass while the aircraft turns onto its way after a direct-to, is
  // followed once every few seconds: the walk and the corners flown at its
  // speeds cost a pass several times over.
  const bool due = !(g.LastTick - g.PredictedAtTick < kTicksBetweenPredictions && g.LastTick >= g.PredictedAtTick);
  for (std::size_t i = 0; i < now.value.size(); ++i) {
    const double a = now.value[i], b = g.PredictedFor[i];
    const bool nan = std::isnan(a) != std::isnan(b);
    if (nan || std::fabs(a - b) > (due ? PlanFlown::kMoves[i] : PlanFlown::kAtOnce[i])) return true;
  }
  return false;
}

void PredictThePlanFlown() {
  State& g = G();
  const int last = std::min(Fp().ActiveFlightPlanLastIndex, model::kMaxActivePlanWaypoints);
  const int active = Fp().ActiveWaypointIndex;
  const double level = PlannedCruiseAltitude();
  if (last < 2 || Fp().RouteState < 3 || active < 0 || active > last || !(level > 1000.0)) return;
  std::vector<std::pair<double, double>> before(static_cast<std::size_t>(last) + 1);
  for (int k = 1; k <= last - 1; ++k)
    before[static_cast<std::size_t>(k)] = {E(k).altitude_constraint, E(k).speed_constraint};
  // Low down, before VNAV flies the climb, the climb EXEC wrote (or VNAV on
  // moved for its late start) stands: the path no longer measures the legs
  // from the runway. Once VNAV flies it, the climb is walked from the
  // aircraft: kept under 1,000 ft above the runway, the climb EXEC had
  // planned in the gate's calm air stood after a wind of 103 kt behind came
  // at 1,800 ft, and the first waypoint was crossed 4,500 ft below it. In
  // the air by its airspeed as well: into 139 kt the aircraft made 75-90 kt
  // over the ground low down, the climb EXEC had planned in calm air stood
  // until the aircraft was 1,000 ft up, 13 s after the wind came, and the
  // first waypoint was crossed 7,600 ft above it.
  const bool flown = g.VnavEngaged == 1 && (g.GroundSpeedKnots > 100.0 || g.SmoothedAirspeed > 100.0);
  const bool climb_kept = g.TocPassed == 0 && !flown && !(g.AircraftAltitude > ClimbStart() + kAirborneHeight);
  const FlownPath& path = FlownPath::Current();
  Profile profile(last, level);
  profile.WalkDescent();
  profile.WalkClimb(M().ClimbRate, climb_kept ? 0.0 : MilesStillLost(), !climb_kept);
  PredictClimb(profile, last, level);
  PredictDescent(profile, last, level);
  if (climb_kept) {
    for (int k = 1; k <= last - 1; ++k) {
      if (profile.InDescent(k) || model::IsConstraint(E(k))) continue;
      E(k).altitude_constraint = before[static_cast<std::size_t>(k)].first;
      E(k).speed_constraint = before[static_cast<std::size_t>(k)].second;
    }
  }
  // A hold's fix ahead keeps its altitude, the level the hold is to be
  // flown at as the pages showed it: the path is flown to it there.
  // Written again with the rest, a hold entered after a new wind was flown
  // 700-6,000 ft from the level the pages had shown at its fix.
  const int fix = Fp().HoldCount > 0 ? Fp().HoldTable[1].active_index : 0;
  if (fix >= std::max(active, 1) && fix <= last - 1) {
    E(fix).altitude_constraint = before[static_cast<std::size_t>(fix)].first;
    E(fix).speed_constraint = before[static_cast<std::size_t>(fix)].second;
  }
  PredictTheDescentPathAhead(profile, path, last, level, climb_kept);
  PredictTheStepDownAhead(path, last, level);
  g.ClimbEndIndex = profile.Crossover();
  bool written = false;
  for (int k = 1; k <= last - 1 && !written; ++k)
    written = std::memcmp(&before[static_cast<std::size_t>(k)].first, &E(k).altitude_constraint, sizeof(double)) != 0 ||
              std::memcmp(&before[static_cast<std::size_t>(k)].second, &E(k).speed_constraint, sizeof(double)) != 0;
  if (written) {
    // The plan's own write: no edit for the plan to answer. The corners are
    // flown at the speeds written here.
    const bool planned = g.PlannedRouteEdits == Fp().ActiveRouteEdits;
    flightplan::ActiveRouteChanged();
    if (planned) g.PlannedRouteEdits = Fp().ActiveRouteEdits;
  }
  g.PredictedFor = PlanFlownNow().value;
  g.PredictedForKnown = true;
  g.PredictedAtTick = g.LastTick;
}

void PredictAltitudesAndSpeeds(int last, double rate) {
  State& g = G();
  g.ClimbEndIndex = 0;
  if (last < 2) return;
  const double level = PlannedCruiseAltitude();
  Profile profile(last, level);
  profile.WalkDescent();
  profile.WalkClimb(rate);
  PredictClimb(profile, last, level);
  PredictDescent(profile, last, level);
  // The corners are flown at the speeds written here.
  flightplan::ActiveRouteChanged();
  g.ClimbEndIndex = profile.Crossover();
  const int k = last - 1;
  if (g.TocPassed == 0 && profile.Constrained(k) && profile.OfTheClimb(k) && PlannedAltitude(E(k)) < level) {
    g.TocLatitude = E(k).latitude;
    g.TocLongitude = E(k).longitude;
    g.TocWaypointIndex = k;
  }
}

}  // namespace ovi::guidance
