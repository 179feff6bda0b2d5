// The plan's climb as VNAV flies it, worked out ahead of the aircraft: the
// miles a climb takes (the top of climb), the altitude reached after so
// many miles (the predictions) and the ground speed the climb averages
// (VNAV's climb rate). docs/vertical-plan.md gives the rules.
#pragma once

namespace ovi::guidance {

// The climb as VNAV flies it, a slice of altitude at a time: at `rate`,
// at the climb speed (the restriction's below its altitude), no faster than
// the climb's Mach, as a true airspeed at the slice's altitude, in the wind
// the aircraft meets now, along the track of the leg the slice is flown on.
// A climb at the whole climb's mean true airspeed in still air (the
// tables' 330 kt for the B747-400) reached its level miles from the top of
// climb the pages counted down to: an aircraft at 250 kt low down covers
// less ground than one at 400 kt and more high up, and 80 kt on the nose
// takes ten miles off a climb.
class ClimbModel {
 public:
  explicit ClimbModel(double rate);

  // Whether the climb is worked out slice by slice: with the aircraft's
  // performance tables, or wherever VNAV sets the climb speed; where the
  // pilot sets it without tables, at the one climb speed the aircraft
  // gives (ClimbTas), in still air.
  bool Sliced() const { return sliced_; }
  // The rate (ft/min) the climb is worked out at.
  double Rate() const { return rate_; }
  // The same, asked without working the climb out (at a climb rate).
  static bool SlicedAt(double rate);

  // NM over the ground from `from` up to `to`, flown on along the path from
  // `ahead` NM beyond the aircraft: levelled off at `to`, or, not
  // `levelling`, passing it still climbing.
  double Distance(double from, double to, double ahead = 0.0, bool levelling = true) const;

  // The altitude reached from `from` after `nm` over the ground on a track.
  double After(double from, double nm, double track) const;

  // An autopilot captures its altitude easing the rate in proportion to
  // the feet still to go, the last of them over about this long.
  static constexpr double kCaptureSeconds = 15.0;
  // Knots a second an aircraft slower than its climb speed gains at climb
  // thrust, as the autopilot flies it.
  static constexpr double kGainPerSecond = 1.5;

 private:
  static constexpr double kSlice = 500.0;  // feet
  static constexpr int kMostSlices = 200;
  // Seconds the level-off adds to a climb of `feet` at the rate, to where
  // the top of climb is passed (kTopOfClimbCapture below the level): at the
  // full rate the top stood a mile short of it at 2700 ft/min.
  double LevelOffSeconds(double feet) const;

  // Knots over the ground at an altitude on a track, `ahead` NM beyond the
  // aircraft.
  double Speed(double altitude, double track, double ahead = 1e9) const;
  // The same in two: the true airspeed, and the knots over the ground it
  // makes on a track in the wind.
  double Tas(double altitude, double ahead) const;
  double OverGround(double tas, double track) const;
  // The same on the way of a track given as its sine and cosine.
  double OverGround(double tas, double east, double north) const;
  // The steps a slice is walked in through a corner.
  static constexpr double kTurnSeconds = 1.0;

  // The true airspeed's growth over the indicated a foot up, as the
  // aircraft flies it now (its ground vector less the wind over its
  // airspeed): the module's own conversion (1.9 % a thousand feet) where
  // the aircraft gives no sound measure. At 1.9 % an aircraft climbing at
  // 2 % flew 1.5 % further than planned, the top of climb 1.3 NM short.
  double MeasuredTasPerIas() const;

  // Below this the airspeed's growth is too small to measure: 4 % of it
  // at 2,000 ft is seven knots, measured to a few tenths. Measured only
  // from 5,000 ft, a strong wind set in the climb lower down was planned
  // at the module's 1.9 % and every waypoint beyond was shown 500-1,200
  // ft above where the aircraft crossed it.
  static constexpr double kLeastMeasuringAltitude = 2000.0;  // feet
  // What an airspeed's growth may be a foot up (1 % to 3 % a thousand feet).
  static constexpr double kLeastTasPerIas = 1e-5, kMostTasPerIas = 3e-5;

  double rate_;
  double wind_ = 0.0, wind_from_ = 0.0;
  double from_east_ = 0.0, from_north_ = 1.0;  // the sine and cosine of `wind_from_`
  double tas_per_ias_ = 0.0;
  // The airspeed (knots) VNAV holds for the active waypoint's speed
  // constraint, slower than the climb speed (0 none), NM from the aircraft
  // to where it is taken and to that waypoint, and the altitude it is held
  // from (the restriction's, or none).
  double held_ias_ = 0.0, held_from_ = 0.0, held_for_ = 0.0, held_above_ = 0.0;
  // The airspeed (knots) the aircraft climbs from, slower than the climb
  // speed, and its altitude there (0 on the ground).
  double gaining_from_ = 0.0, gaining_at_ = 0.0;
  bool sliced_ = false;
};

// The climb rate VNAV flies: ClimbRate in whole hundreds, cut, within the
// rates VNAV climbs at (MinVnavClimbRate to MaxVnavClimbRate). Planned at
// the tables' mean above them (the B747-400's), the top of climb stood
// miles short of where the aircraft levelled off, and below them (a long
// climb to FL410) miles beyond it, every page counting down to it.
double ClimbRateFlown();

// A climb planned at `rate` (ft/min) as VNAV flies it: in whole hundreds,
// cut, within MinVnavClimbRate to MaxVnavClimbRate.
double ClimbRateFlown(double rate);

// Miles the climb VNAV flies from now starts later than one at `rate`
// (ft/min) from the aircraft: held level below VNAV's least speed until 10
// kt above it, then built up from its least climb rate; or built up from the
// present rate. The feet so lost are seconds of the climb, flown at the
// present ground speed.
double MilesLostAtVnavOn(double rate);

// The wind the climb is worked out in, the one the aircraft meets now:
// knots toward north and east (0, 0 in still air).
void ClimbWind(double& north, double& east);

// The ground speed the plan's climb from `from` to `to` averages: the climb
// speed's true airspeed at each altitude (the restriction's below it, no
// faster than the climb's Mach) in the wind the aircraft meets now; where
// the climb is not worked out so (ClimbModel::Sliced), the present ground
// speed.
double PlannedClimbGroundSpeed(double from, double to);

}  // namespace ovi::guidance
