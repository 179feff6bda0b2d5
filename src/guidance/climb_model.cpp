#include "src/guidance/climb_model.h"

#include <algorithm>
#include <cmath>

#include "src/flightplan/state.h"
#include "src/guidance/flown_path.h"
#include "src/guidance/lateral.h"
#include "src/guidance/speed_mode.h"
#include "src/guidance/state.h"
#include "src/guidance/vertical_plan.h"
#include "src/guidance/vertical_plan_internal.h"
#include "src/model/performance.h"
#include "src/model/state.h"
#include "src/navdb/navdb.h"

namespace ovi::guidance {

namespace {

constexpr double kDegToRad = 0.017453292519943295;

// Below this ground speed the aircraft is taken for one on the ground.
constexpr double kAirborneSpeed = 100.0;  // knots

const model::State& M() { return model::model_state; }
const State& G() { return guidance_state; }
const flightplan::State& Fp() { return flightplan::flightplan_state; }

int LastIndex() { return std::min(Fp().ActiveFlightPlanLastIndex, model::kMaxActivePlanWaypoints); }

const model::FlightPlanWaypoint& E(int i) { return Fp().ActiveFlightPlan[i]; }

// The legs ahead of the aircraft along the path, walked forward as the
// climb goes on: each one's true track (from the entry placed before it;
// the aircraft's way to the active waypoint for the first), through the
// aircraft's own turn onto its leg the track the model of LNAV flew it on
// (at the leg's track, a direct-to's turn from crosswind onto 140 kt
// behind was counted at the ground speed of the leg from the start, and
// the T/C read 9.5 NM for a climb ended 7.2 NM on), and through a
// corner the track the path turns on there. Taken as the leg's up to the
// point nearest the waypoint and the next leg's beyond, a corner met the
// new leg's wind miles after the aircraft did, which turns where LNAV
// passes the waypoint: a business jet turning 131 degrees onto 96 kt
// behind at 380 kt over the ground levelled off 4 NM beyond its T/C.
class Legs {
 public:
  Legs()
      : path_(FlownPath::Current()), here_(path_.Aircraft()), leg_(Fp().ActiveWaypointIndex),
        own_(path_.OwnWay(own_from_)) {
    const State& g = G();
    track_ = g.GroundTrack + g.MagneticVariation;
    if (leg_ >= 0 && leg_ <= LastIndex())
      Track(navdb::TrueCourse(g.PlaneLatitude, g.PlaneLongitude, E(leg_).latitude, E(leg_).longitude));
  }
  double TrackAt(double ahead) {
    OnTo(ahead);
    double east = 0.0, north = 0.0;
    if (Own(here_ + ahead, east, north)) return std::atan2(east, north) / kDegToRad;
    const double turning = path_.CornerTrack(here_ + ahead);
    return std::isfinite(turning) ? turning : track_;
  }
  // The same as the sine and cosine of the track; whether the path turns
  // through a corner there.
  bool WayAt(double ahead, double& east, double& north) {
    OnTo(ahead);
    if (Own(here_ + ahead, east, north) || path_.CornerWay(here_ + ahead, east, north)) return true;
    if (track_ != way_of_) {
      way_of_ = track_;
      way_east_ = std::sin(track_ * kDegToRad);
      way_north_ = std::cos(track_ * kDegToRad);
    }
    east = way_east_;
    north = way_north_;
    return false;
  }
  bool Turning(double ahead) const {
    double east = 0.0, north = 0.0;
    return InOwn(here_ + ahead) || path_.CornerWay(here_ + ahead, east, north);
  }

 private:
  bool InOwn(double at) const {
    const double in = at - own_from_;
    return own_ != nullptr && in >= 0.0 && in <= own_->back().flown;
  }
  // The aircraft's own turn's step at coordinate `at`: a climb asks for
  // them a second at a time going forward, so they are walked to, not
  // searched for.
  bool Own(double at, double& east, double& north) {
    if (!InOwn(at)) return false;
    const std::vector<TrackFlown>& steps = *own_;
    const double in = at - own_from_;
    while (step_ > 0 && steps[step_ - 1].flown >= in) --step_;
    while (steps[step_].flown < in) ++step_;
    east = steps[step_].east;
    north = steps[step_].north;
    return true;
  }

  // The leg `ahead` NM on.
  void OnTo(double ahead) {
    const int last = LastIndex();
    while (leg_ >= 0 && leg_ < last && std::isfinite(here_) && here_ + ahead > path_.EntryOrBefore(leg_)) {
      const int from = leg_;
      do ++leg_;
      while (leg_ < last && !std::isfinite(path_.Entry(leg_)));
      Track(navdb::TrueCourse(E(from).latitude, E(from).longitude, E(leg_).latitude, E(leg_).longitude));
    }
  }
  void Track(double track) {
    if (std::isfinite(track)) track_ = track;
  }
  const FlownPath& path_;
  double here_;
  int leg_;
  double track_ = 0.0;
  double way_of_ = NAN, way_east_ = 0.0, way_north_ = 1.0;  // the sine and cosine of track `way_of_`
  double own_from_ = NAN;  // set with own_, so declared before it
  const std::vector<TrackFlown>* own_;
  std::size_t step_ = 0;
};

// The wind the aircraft meets now (knots, blowing from degrees true); none
// where the simulator gives no sound one.
bool WindNow(double& speed, double& from) {
  const State& g = G();
  if (!(std::isfinite(g.WindSpeed) && std::isfinite(g.WindDirection) && g.WindSpeed > 0.0)) return false;
  speed = g.WindSpeed;
  from = g.WindDirection;
  return true;
}

// Knots of the speed of sound per root of a kelvin.
constexpr double kSoundPerRootKelvin = 38.967854;

// The speed of sound (knots) at `altitude` in air as far from the standard
// atmosphere's temperature as the air the aircraft is in.
double SpeedOfSoundAt(double altitude) {
  const State& g = G();
  double kelvin = model::IsaTemperatureKelvin(altitude);
  const double deviation = g.StaticAirTemp + 273.15 - model::IsaTemperatureKelvin(g.AircraftAltitude);
  if (std::isfinite(deviation) && std::fabs(deviation) < 60.0) kelvin += deviation;
  return kSoundPerRootKelvin * std::sqrt(std::max(kelvin, 150.0));
}

}  // namespace

bool ClimbModel::SlicedAt(double rate) {
  const model::State& m = M();
  return (m.ClimbPerformanceCount > 0 || m.VnavSetSpd == 1) && m.ClimbIas > 0.0 && rate > 0.0;
}

ClimbModel::ClimbModel(double rate) : rate_(rate) {
  const model::State& m = M();
  WindNow(wind_, wind_from_);
  from_east_ = std::sin(wind_from_ * kDegToRad);
  from_north_ = std::cos(wind_from_ * kDegToRad);
  // Without performance tables the climb is still flown at the climb
  // speed VNAV sends, its true airspeed growing with the altitude, in the
  // wind: worked out at the file's one mean true airspeed in still air, a
  // business jet's top of climb with 100 kt behind stood 10 NM short of
  // where it levelled off, VNAV's rate at its limit all the way.
  sliced_ = SlicedAt(rate_);
  tas_per_ias_ = MeasuredTasPerIas();
  // An aircraft in the air slower than the climb speed gains it as it
  // climbs, from its altitude on.
  const State& air = G();
  if (air.SmoothedAirspeed > kAirborneSpeed && air.GroundSpeedKnots > kAirborneSpeed &&
      std::isfinite(air.AircraftAltitude)) {
    gaining_from_ = air.SmoothedAirspeed;
    gaining_at_ = air.AircraftAltitude;
  }
  // A waypoint's speed VNAV climbs at over the last stretch before the
  // waypoint, from the distance speed restrictions are taken at (an
  // arrival's fix made active by a direct-to in the climb), as VNAV does
  // (vnav_speed.cpp): held now, or taken there where VNAV sets the speed,
  // from the restriction's altitude up where VNAV holds the restriction's
  // speed now. At the climb speed instead, the top of climb stood 10-18 NM
  // beyond where a climb at 170 kt ended.
  const State& g = G();
  const int active = Fp().ActiveWaypointIndex;
  if (sliced_ && g.VnavEngaged == 1 && g.TocPassed == 0 && active >= 0 && active <= LastIndex()) {
    const double constraint = E(active).speed_constraint;
    const bool held = std::fabs(g.ApAirspeedHoldVar - constraint) < 1.0;
    const bool to_hold = g.ClimbRestrictionSpeedSet == 1.0 && g.AircraftAltitude <= m.ClbAltRest;
    // Only then is the path asked where that waypoint lies.
    if (model::IsConstraint(E(active)) && constraint > 0.0 && (held || to_hold || m.VnavSetSpd == 1) &&
        constraint < m.ClimbIas) {
      const double ahead = FlownPath::Current().Ahead(active);
      if (std::isfinite(ahead)) {
        held_ias_ = constraint;
        held_for_ = ahead;
        held_from_ = ahead - m.VnavSetSpdRestDist;
        held_above_ = to_hold && !held ? m.ClbAltRest : -1e9;
      }
    }
  }
}

double ClimbModel::MeasuredTasPerIas() const {
  const State& g = G();
  const double fallback = (model::IasToTas(1000.0, 1000.0) - 1000.0) / 1e6;
  const double ias = g.SmoothedAirspeed, altitude = g.AircraftAltitude;
  if (!(ias > kAirborneSpeed && altitude > kLeastMeasuringAltitude && g.GroundSpeedKnots > kAirborneSpeed))
    return fallback;
  // The air's speed along the aircraft's true heading that, with the wind,
  // makes the ground speed: no track needed. Taken as the ground vector less
  // the wind, on the module's track (the heading less a drift by the rule of
  // sixty, 4 degrees off in 128 kt across), it came out 6 kt low at 9,500 ft,
  // the airspeed's growth 14 % short, and a T/C placed there 3 % short.
  const double tas = TrueAirspeedInWind(g.GroundSpeedKnots, g.AircraftHeading + g.MagneticVariation, wind_from_, wind_);
  const double per_foot = (tas / ias - 1.0) / altitude;
  return std::isfinite(per_foot) && per_foot >= kLeastTasPerIas && per_foot <= kMostTasPerIas ? per_foot : fallback;
}

void ClimbWind(double& north, double& east) {
  double speed = 0.0, from = 0.0;
  north = east = 0.0;
  if (!WindNow(speed, from)) return;
  north = -speed * std::cos(from * kDegToRad);
  east = -speed * std::sin(from * kDegToRad);
}

double ClimbModel::Distance(double from, double to, double ahead, bool levelling) const {
  if (!(to > from) || !(rate_ > 0.0) || !std::isfinite(from) || !std::isfinite(to)) return 0.0;
  if (!sliced_) return Ratio(to - from, rate_) * M().ClimbTas / 60.0;
  // No climb of more slices than a table has levels.
  to = std::min(to, from + kSlice * kMostSlices);
  Legs legs;
  double nm = 0.0;
  for (double a = from; a < to; a += kSlice) {
    const double top = std::min(a + kSlice, to);
    const double x = ahead + nm, tas = Tas((a + top) / 2.0, x), seconds = (top - a) / rate_ * 60.0;
    double east = 0.0, north = 0.0;
    const bool turning = legs.WayAt(x, east, north);
    double slice = OverGround(tas, east, north) * seconds / 3600.0;
    // A slice is a mile or two: through a corner, a second at a time along
    // the turn the path flies there.
    if (turning || legs.Turning(x + slice)) {
      slice = 0.0;
      for (double t = 0.0; t < seconds; t += kTurnSeconds) {
        legs.WayAt(x + slice, east, north);
        slice += OverGround(tas, east, north) * std::min(kTurnSeconds, seconds - t) / 3600.0;
      }
    }
    nm += slice;
  }
  if (!levelling) return nm;
  return nm + Speed(to, legs.TrackAt(ahead + nm), ahead + nm) * LevelOffSeconds(to - from) / 3600.0;
}

double ClimbModel::After(double from, double nm, double track) const {
  if (!(nm > 0.0) || !(rate_ > 0.0)) return from;
  if (!sliced_) return from + Ratio(nm, M().ClimbTas) * 60.0 * rate_;
  double a = from;
  // Past the highest level any table gives, the last slice's speed holds.
  for (int i = 0; i < kMostSlices && nm > 0.0; ++i) {
    const double per_nm = rate_ / (Speed(a + kSlice / 2.0, track) / 60.0);  // feet a mile
    if (nm * per_nm <= kSlice) return a + nm * per_nm;
    nm -= kSlice / per_nm;
    a += kSlice;
  }
  return a;
}

double ClimbModel::LevelOffSeconds(double feet) const {
  const double per_second = rate_ / 60.0;
  const double eased = per_second * kCaptureSeconds;  // feet to go where the capture begins
  if (!(per_second > 0.0) || feet <= eased) return 0.0;
  if (eased <= kTopOfClimbCapture) return -kTopOfClimbCapture / per_second;
  return kCaptureSeconds * (std::log(eased / kTopOfClimbCapture) - 1.0);
}

double ClimbModel::Speed(double altitude, double track, double ahead) const {
  return OverGround(Tas(altitude, ahead), track);
}

double ClimbModel::Tas(double altitude, double ahead) const {
  const model::State& m = M();
  double ias = m.ClimbIas;
  const bool restricted = m.ClbSpdRest > 0.0 && m.ClbSpdRest < ias;
  if (altitude < m.ClbAltRest && restricted) ias = m.ClbSpdRest;
  if (held_ias_ > 0.0 && ahead >= held_from_ && ahead < held_for_ && altitude >= held_above_) ias = std::min(ias, held_ias_);
  // A speed gained at climb thrust while the climb goes on at its rate: from
  // the aircraft's own, slower, after VNAV engaged low down, and from the
  // restriction's past its altitude. Taken at once, the climb was planned
  // as if at 250 kt from 160 kt up, and every waypoint of it was crossed
  // 500-800 ft above the altitude RTE LEGS showed.
  auto gained = [&](double from_ias, double from_altitude) {
    return from_ias + kGainPerSecond * Ratio(altitude - from_altitude, rate_) * 60.0;
  };
  if (gaining_from_ > 0.0 && altitude > gaining_at_) ias = std::min(ias, gained(gaining_from_, gaining_at_));
  if (restricted && altitude >= m.ClbAltRest && gaining_at_ < m.ClbAltRest + kSlice)
    ias = std::min(ias, gained(m.ClbSpdRest, m.ClbAltRest));
  double tas = ias * (1.0 + tas_per_ias_ * altitude);
  // Where VNAV holds the climb's Mach instead (speed_mode.cpp), at the
  // speed of sound of the air the aircraft is in. Taken at the temperature
  // the module works its Mach numbers out at (-30 C unless the pilot enters
  // another), a B747-400's Mach climb went 3 % faster than flown, and its
  // top of climb stood 1.4 NM short of the aircraft's.
  const double mach = MachInsteadOf(model::PerformanceSegment::kClimb, ias, altitude);
  if (mach > 0.0 && std::isfinite(mach)) tas = mach * SpeedOfSoundAt(altitude);
  return tas;
}

double ClimbModel::OverGround(double tas, double track) const {
  return OverGround(tas, std::sin(track * kDegToRad), std::cos(track * kDegToRad));
}

double ClimbModel::OverGround(double tas, double east, double north) const {
  // The wind from `wind_from_`: along the track it slows the aircraft by
  // its headwind, across it by the drift.
  const double across = wind_ * (from_east_ * north - from_north_ * east);
  const double head = wind_ * (from_north_ * north + from_east_ * east);
  const double speed = std::sqrt(std::max(tas * tas - across * across, 0.0)) - head;
  return std::isfinite(speed) ? std::max(speed, kAirborneSpeed) : kAirborneSpeed;
}

double ClimbRateFlown(double rate) {
  const model::State& m = M();
  // In the whole hundreds VNAV sends, cut as it cuts them (vnav_rates.cpp):
  // planned at the tables' 2,080 ft/min, the climb was flown at 2,000 and
  // levelled off 3 NM beyond the top of climb of a calm FL370 climb.
  if (std::isfinite(rate)) rate = std::floor(rate * 0.01 + 1e-6) * 100.0;
  if (m.MinVnavClimbRate > 0.0) rate = std::max(rate, m.MinVnavClimbRate);
  if (m.MaxVnavClimbRate > 0.0) rate = std::min(rate, m.MaxVnavClimbRate);
  return rate;
}

double ClimbRateFlown() { return ClimbRateFlown(M().ClimbRate); }

namespace {
// VNAV's climb command steepens by 100 ft/min a second: a build-up from R0
// to R falls (R - R0)^2 / 12000 ft short of a climb at R all along.
constexpr double kRampFeetPerRateSquared = 1.0 / 12000.0;
}  // namespace

double MilesLostAtVnavOn(double rate) {
  const State& g = G();
  const model::State& m = M();
  double from = std::max(g.VerticalSpeedFpm, m.MinVnavClimbRate);
  double seconds = 0.0;
  // Held level once below the least speed until 10 kt above it: counted
  // from the least speed alone, an aircraft between the two, still held
  // level, lost no seconds.
  const bool held = g.SmoothedAirspeed < m.MinVnavIas ||
                    (g.VnavBelowMinSpeed == 1 && g.SmoothedAirspeed <= m.MinVnavIas + 10.0);
  if (held) {
    seconds = (m.MinVnavIas + 10.0 - g.SmoothedAirspeed) / ClimbModel::kGainPerSecond;
    from = m.MinVnavClimbRate;
  }
  if (rate > from) seconds += (rate - from) * (rate - from) * kRampFeetPerRateSquared / rate * 60.0;
  const double nm = seconds * g.GroundSpeedKnots / 3600.0;
  return std::isfinite(nm) && nm > 0.0 ? nm : 0.0;
}

double PlannedClimbGroundSpeed(double from, double to) {
  const double rate = ClimbRateFlown();
  const ClimbModel climb(rate);
  if (!climb.Sliced()) return G().GroundSpeedKnots;
  const double minutes = Ratio(to - from, rate);
  const double nm = climb.Distance(from, to);
  return minutes > 0.0 && nm > 0.0 ? nm / minutes * 60.0 : G().GroundSpeedKnots;
}

}  // namespace ovi::guidance
