#include "sim/aircraft.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <functional>
#include <vector>

#include "src/util/text.h"

namespace ovi::sim {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kDegToRad = kPi / 180.0;
constexpr double kEarthRadiusNm = 3440.065;

bool IsLeapYear(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(int y, int m) {
  static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (m < 1 || m > 12) return 0;
  return m == 2 && IsLeapYear(y) ? 29 : days[m - 1];
}

double StaticAirTemperature(double altitude_ft) { return std::max(-56.5, 15.0 - 0.0019812 * altitude_ft); }

// Speed of sound, knots, at the altitude's standard temperature.
double SpeedOfSound(double altitude_ft) { return 38.967854 * std::sqrt(StaticAirTemperature(altitude_ft) + 273.15); }

// True airspeed grows about 2 % per thousand feet over indicated.
double TasFactor(double altitude_ft) { return 1.0 + 0.02 * std::max(0.0, altitude_ft) / 1000.0; }

double Wrap360(double deg) {
  double r = std::fmod(deg, 360.0);
  if (r < 0.0) r += 360.0;
  return r >= 360.0 ? 0.0 : r;
}

// -180 .. 180: how far `to` lies clockwise of `from`.
double Wrap180(double deg) {
  double r = Wrap360(deg);
  return r > 180.0 ? r - 360.0 : r;
}

double MoveToward(double value, double target, double max_step) {
  if (value < target) return std::min(target, value + max_step);
  return std::max(target, value - max_step);
}

}  // namespace

double TrueAirspeedOf(const AircraftState& a) { return a.ias * TasFactor(a.altitude); }

double MachOf(const AircraftState& a) {
  if (a.mach > 0.0) return a.mach;
  return TrueAirspeedOf(a) / SpeedOfSound(a.altitude);
}

bool OnGround(const AircraftState& a) { return a.altitude - a.ground_elevation < 1.0; }

void GroundVectorOf(const AircraftState& a, double& gs, double& track) {
  track = a.heading;
  if (a.gs > 0.0) {
    gs = a.gs;
    return;
  }
  double tas = TrueAirspeedOf(a);
  if (OnGround(a) || a.wind_speed <= 0.0) {
    gs = tas;
    return;
  }
  // The wind blows from wind_dir.
  double north = tas * std::cos(a.heading * kDegToRad) - a.wind_speed * std::cos(a.wind_dir * kDegToRad);
  double east = tas * std::sin(a.heading * kDegToRad) - a.wind_speed * std::sin(a.wind_dir * kDegToRad);
  gs = std::hypot(north, east);
  if (gs > 1e-9) track = Wrap360(std::atan2(east, north) / kDegToRad);
}

double GroundSpeedOf(const AircraftState& a) {
  double gs = 0.0, track = 0.0;
  GroundVectorOf(a, gs, track);
  return gs;
}

double FuelFlowOf(const AircraftState& a) {
  if (a.fuel_flow > 0.0) return a.fuel_flow;
  if (a.n1 <= 0.0) return 0.0;
  // Thrust goes with the cube of N1 and thins out with altitude.
  double n = a.n1 / 100.0;
  double sigma = std::max(0.25, 1.0 - std::max(0.0, a.altitude) / 60000.0);
  return 300.0 + 5500.0 * n * n * n * sigma;
}

double EncodeLatitude(double degrees) { return degrees * kLatitudeUnitsPerDegree; }
double DecodeLatitude(double raw) { return raw * 90.0 / 10001750.0; }
double EncodeLongitude(double degrees) { return std::round(degrees * kLongitudeUnitsPerDegree); }
double DecodeLongitude(double raw) { return raw * 360.0 / 281474976710656.0; }
double EncodeGroundSpeed(double knots) { return knots / kGroundSpeedKnotsPerUnit; }
double EncodeMach(double mach) { return mach / kMachPerUnit; }
double EncodeVerticalSpeed(double fpm) { return fpm / kFpmPerVerticalSpeedUnit; }

namespace {

std::uint32_t DecimalToBcd(std::uint32_t v) {
  std::uint32_t out = 0;
  for (int shift = 0; v != 0 && shift < 32; shift += 4) {
    out |= (v % 10) << shift;
    v /= 10;
  }
  return out;
}

}  // namespace

std::uint32_t EncodeNavFrequency(double mhz) {
  if (!(mhz >= 100.0 && mhz < 200.0)) return 0;
  auto hundredths = static_cast<std::uint32_t>(std::lround((mhz - 100.0) * 100.0));
  return DecimalToBcd(std::min<std::uint32_t>(hundredths, 9999));
}

std::uint32_t EncodeAdfFrequency(double khz) {
  if (!(khz >= 0.0 && khz < 10000.0)) return 0;
  return DecimalToBcd(static_cast<std::uint32_t>(khz));
}

std::uint32_t BcdToDecimal(std::uint32_t bcd) {
  std::uint32_t out = 0, weight = 1;
  for (int shift = 0; shift < 32; shift += 4) {
    out += ((bcd >> shift) & 0xF) * weight;
    weight *= 10;
  }
  return out;
}

double CelsiusToRankine(double celsius) { return celsius * 9.0 / 5.0 + 491.67; }

int DayOfYear(int year, int month, int day) {
  int n = day;
  for (int m = 1; m < month; ++m) n += DaysInMonth(year, m);
  return n;
}

void AdvanceAircraft(AircraftState& a, double dt) {
  if (!(dt > 0.0) || a.paused != 0.0) return;
  StepAutopilot(a, dt);
  // Position: great circle along the ground track.
  double gs = 0.0, track = 0.0;
  GroundVectorOf(a, gs, track);
  double d = gs * dt / 3600.0 / kEarthRadiusNm;
  if (d != 0.0) {
    double lat1 = a.latitude * kDegToRad, lon1 = a.longitude * kDegToRad, crs = track * kDegToRad;
    double lat2 = std::asin(std::clamp(std::sin(lat1) * std::cos(d) + std::cos(lat1) * std::sin(d) * std::cos(crs), -1.0, 1.0));
    double lon2 = lon1 + std::atan2(std::sin(crs) * std::sin(d) * std::cos(lat1), std::cos(d) - std::sin(lat1) * std::sin(lat2));
    a.latitude = lat2 / kDegToRad;
    a.longitude = std::remainder(lon2 / kDegToRad, 360.0);
    if (a.longitude == 180.0) a.longitude = -180.0;
  }
  a.altitude = std::max(a.ground_elevation, a.altitude + a.vs * dt / 60.0);

  StepSystems(a, dt);

  // Fuel: the centre tank first, then both mains alike.
  double gallons = TotalFuelFlow(a) * dt / 3600.0 / std::max(0.1, a.fuel_weight_per_gallon);
  double from_centre = std::min(gallons, a.fuel_centre);
  a.fuel_centre -= from_centre;
  double rest = (gallons - from_centre) / 2.0;
  a.fuel_left = std::max(0.0, a.fuel_left - rest);
  a.fuel_right = std::max(0.0, a.fuel_right - rest);

  a.zulu_seconds += dt;
  while (a.zulu_seconds >= 86400.0) {
    a.zulu_seconds -= 86400.0;
    if (++a.day > DaysInMonth(a.year, a.month)) {
      a.day = 1;
      if (++a.month > 12) {
        a.month = 1;
        ++a.year;
      }
    }
  }
}

// ---------------------------------------------------------------------------
// Autopilot
// ---------------------------------------------------------------------------

namespace {

constexpr double kGravity = 9.80665;           // m/s^2
constexpr double kMetresPerSecondPerKnot = 0.514444;
constexpr double kStandardRate = 3.0;          // degrees a second
constexpr double kMaxBank = 25.0;              // degrees
constexpr double kRollRate = 6.0;              // degrees a second
constexpr double kHeadingGain = 0.4;           // turn rate (deg/s) per degree of error
constexpr double kAltitudeGain = 4.0;          // ft/min of climb per foot to go
constexpr double kMinCaptureRate = 200.0;      // ft/min, the last feet of a capture
constexpr double kVerticalAcceleration = 400.0;  // ft/min per second
constexpr double kAirAcceleration = 1.5;       // knots a second
constexpr double kGroundAcceleration = 3.0;
constexpr double kSpoolRate = 5.0;             // N1 percent a second
constexpr double kFeetPerNm = 6076.12;

// The approach hold.
constexpr double kGlidePath = 3.0;            // degrees
constexpr double kThresholdHeight = 50.0;     // feet over the threshold
constexpr double kInterceptPerNm = 60.0;      // degrees of intercept per NM off the centre line
constexpr double kMaxIntercept = 60.0;
constexpr double kMaxApproachDescent = 3000.0;  // ft/min, closing a path from above
constexpr double kFlareHeight = 30.0;         // feet above the ground
constexpr double kFlareRate = -200.0;         // ft/min at touchdown
constexpr double kIdleN1 = 22.0;
constexpr double kBraking = 3.0;              // knots a second
constexpr double kTaxiSpeed = 15.0;
constexpr double kTaxiTurnRate = 5.0;         // degrees a second
constexpr double kTaxiSeconds = 40.0;         // off the runway before stopping

// Turn rate (deg/s) a bank gives at the true airspeed.
double TurnRate(double bank_deg, double tas_kt) {
  double v = std::max(tas_kt, 60.0) * kMetresPerSecondPerKnot;
  return std::tan(bank_deg * kDegToRad) * kGravity / v / kDegToRad;
}

double BankForRate(double rate_deg, double tas_kt) {
  double v = std::max(tas_kt, 60.0) * kMetresPerSecondPerKnot;
  return std::atan(rate_deg * kDegToRad * v / kGravity) / kDegToRad;
}

// The bank that turns toward a true heading (none: wings level) the short
// way, at up to the standard rate.
double BankToward(const AircraftState& a, const double* true_heading) {
  if (true_heading == nullptr) return 0.0;
  double tas = TrueAirspeedOf(a);
  double max_bank = std::min(kMaxBank, BankForRate(kStandardRate, tas));
  double err = Wrap180(*true_heading - a.heading);
  // Rolling out takes time: lead the error by the heading still turned
  // while the bank comes off.
  double roll_out = TurnRate(a.bank, tas) * (std::fabs(a.bank) / kRollRate) / 2.0;
  double rate = std::clamp((err - roll_out) * kHeadingGain, -kStandardRate, kStandardRate);
  return std::clamp(BankForRate(rate, tas), -max_bank, max_bank);
}

// Banks toward a true heading (none: wings level) and turns by the bank.
void TurnToward(AircraftState& a, const double* true_heading, double dt) {
  double tas = TrueAirspeedOf(a);
  a.bank = MoveToward(a.bank, BankToward(a, true_heading), kRollRate * dt);
  a.heading = Wrap360(a.heading + TurnRate(a.bank, tas) * dt);
}

// The bank the heading hold wants now: toward the bug, wings level without
// heading lock.
double WantedBank(const AircraftState& a) {
  const double bug = a.ap_heading + a.magvar;
  return BankToward(a, a.ap_hdg_lock != 0.0 ? &bug : nullptr);
}

void StepLateral(AircraftState& a, double dt) {
  const double bug = a.ap_heading + a.magvar;
  TurnToward(a, a.ap_hdg_lock != 0.0 ? &bug : nullptr, dt);
}

// The climb rate (ft/min) the altitude hold wants now: the selected rate,
// easing into the target, at least the capture rate.
double WantedRate(const AircraftState& a) {
  double to_go = a.ap_altitude - a.altitude;
  double selected = std::fabs(a.ap_vs);
  double want = std::clamp(to_go * kAltitudeGain, -selected, selected);
  if (std::fabs(want) < kMinCaptureRate && selected > 0.0) {
    want = std::copysign(std::min(kMinCaptureRate, selected), to_go);
  }
  return want;
}

// The attitude (degrees, nose up) the aircraft flies a path of `vs` ft/min
// with.
double PitchForRate(const AircraftState& a, double vs) {
  double tas = TrueAirspeedOf(a);
  return tas > 1.0 ? 2.5 + std::atan(vs / (tas * 101.269)) / kDegToRad : a.pitch;
}

void StepVertical(AircraftState& a, double dt) {
  double to_go = a.ap_altitude - a.altitude;
  double want = WantedRate(a);
  // The last step of a capture lands on the target.
  bool capturing = std::fabs(want) <= kMinCaptureRate && a.ap_vs != 0.0;
  if (capturing && std::fabs(to_go) <= std::fabs(want) * dt / 60.0) {
    a.altitude = a.ap_altitude;
    want = 0.0;
    a.vs = 0.0;
  }
  a.vs = MoveToward(a.vs, want, kVerticalAcceleration * dt);
  if (TrueAirspeedOf(a) > 1.0) a.pitch = PitchForRate(a, a.vs);
}

void StepSpeed(AircraftState& a, double dt) {
  double target = -1.0;
  if (a.ap_mach_hold != 0.0 && a.ap_mach > 0.0) {
    target = a.ap_mach * SpeedOfSound(a.altitude) / TasFactor(a.altitude);
  } else if (a.ap_spd_hold != 0.0 && a.ap_speed > 0.0) {
    target = a.ap_speed;
  }
  if (target < 0.0) return;
  double accel = OnGround(a) ? kGroundAcceleration : kAirAcceleration;
  double gap = target - a.ias;
  a.ias = MoveToward(a.ias, target, accel * dt);
  if (a.n1 > 0.0) {
    // Climb thrust for a climb, idle for a descent, more while accelerating.
    double n1 = 72.0 + a.vs / 100.0 + std::clamp(gap, -10.0, 10.0);
    a.n1 = MoveToward(a.n1, std::clamp(n1, 30.0, 98.0), kSpoolRate * dt);
  }
}

// The aircraft against the runway: NM to go to the threshold along the
// final course (negative past it) and NM right of the centre line.
void RunwayOffsets(const AircraftState& a, double& to_go, double& right) {
  const double north = (a.latitude - a.runway_lat) * 60.0;
  const double east =
      std::remainder(a.longitude - a.runway_lon, 360.0) * 60.0 * std::cos(a.runway_lat * kDegToRad);
  const double c = a.runway_course * kDegToRad;
  to_go = -(north * std::cos(c) + east * std::sin(c));
  right = east * std::cos(c) - north * std::sin(c);
}

// The final: the centre line intercepted at up to 60 degrees, the wind
// allowed for; the glide path joined from above at up to 3000 ft/min or
// waited for level from below; the flare over the last 30 ft.
void StepFinal(AircraftState& a, double dt) {
  double to_go = 0.0, right = 0.0;
  RunwayOffsets(a, to_go, right);
  const double track =
      a.runway_course - std::clamp(right * kInterceptPerNm, -kMaxIntercept, kMaxIntercept);
  const double tas = std::max(TrueAirspeedOf(a), 1.0);
  // Wind from wind_dir: into it by the angle its cross part asks.
  const double cross = a.wind_speed * std::sin((a.wind_dir - track) * kDegToRad);
  const double heading = track + std::asin(std::clamp(cross / tas, -1.0, 1.0)) / kDegToRad;
  a.fd_bank = BankToward(a, &heading);
  TurnToward(a, &heading, dt);

  const double slope = std::tan(kGlidePath * kDegToRad);
  const double path = a.ground_elevation + std::max(0.0, kThresholdHeight + to_go * kFeetPerNm * slope);
  const double path_rate = -GroundSpeedOf(a) * kFeetPerNm / 60.0 * slope;
  double want = std::clamp(path_rate + (path - a.altitude) * kAltitudeGain, -kMaxApproachDescent, 0.0);
  if (a.altitude - a.ground_elevation < kFlareHeight) want = kFlareRate;
  a.fd_pitch = PitchForRate(a, want);
  a.vs = MoveToward(a.vs, want, kVerticalAcceleration * dt);
  a.pitch = 2.5 + std::atan(a.vs / (tas * 101.269)) / kDegToRad;
}

// On the ground: the speed comes off, N1 to idle, the wings level; the
// aircraft steers toward `heading` (true) at the taxi turn rate.
void RollToward(AircraftState& a, double heading, double speed, double dt) {
  a.altitude = a.ground_elevation;
  a.vs = 0.0;
  a.pitch = 0.0;
  a.bank = 0.0;
  a.ias = MoveToward(a.ias, speed, kBraking * dt);
  if (a.n1 > 0.0) a.n1 = MoveToward(a.n1, kIdleN1, kSpoolRate * dt);
  a.heading = Wrap360(a.heading + std::clamp(Wrap180(heading - a.heading), -kTaxiTurnRate * dt, kTaxiTurnRate * dt));
}

void StepApproach(AircraftState& a, double dt) {
  using Stage = AircraftState::Approach;
  const bool airborne = !OnGround(a) || a.vs > 0.0;
  switch (a.approach) {
    case Stage::kNone:
      if (!airborne) return;
      a.approach = Stage::kFinal;
      [[fallthrough]];
    case Stage::kFinal:
      if (airborne) return StepFinal(a, dt);
      // Touchdown: the autothrottle lets go, the brakes take over.
      a.approach = Stage::kRollout;
      a.ap_spd_hold = 0.0;
      a.ap_mach_hold = 0.0;
      [[fallthrough]];
    case Stage::kRollout:
      RollToward(a, a.runway_course, kTaxiSpeed, dt);
      if (a.ias <= kTaxiSpeed) a.approach = Stage::kTurnOff;
      return;
    case Stage::kTurnOff:
      RollToward(a, a.runway_course + 90.0, kTaxiSpeed, dt);
      if (std::fabs(Wrap180(a.runway_course + 90.0 - a.heading)) < 1e-9) {
        a.approach = Stage::kTaxi;
        a.approach_timer = 0.0;
      }
      return;
    case Stage::kTaxi:
      RollToward(a, a.runway_course + 90.0, kTaxiSpeed, dt);
      a.approach_timer += dt;
      if (a.approach_timer >= kTaxiSeconds) a.approach = Stage::kStop;
      return;
    case Stage::kStop: RollToward(a, a.heading, 0.0, dt); return;
  }
}

}  // namespace

void StepAutopilot(AircraftState& a, double dt) {
  if (!(dt > 0.0)) return;
  // The flight director commands what the holds want, whether the
  // autopilot flies it or not: the heading hold's bank (wings level
  // without it) and the altitude hold's climb (the present attitude
  // without it); the approach hold's own while it flies.
  a.fd_bank = WantedBank(a);
  a.fd_pitch = a.ap_alt_lock != 0.0 ? PitchForRate(a, WantedRate(a)) : a.pitch;
  if (a.ap_master != 0.0 && a.ap_approach != 0.0 && a.runway_length > 0.0) {
    StepApproach(a, dt);
    if (a.approach != AircraftState::Approach::kNone) {
      if (a.approach == AircraftState::Approach::kFinal) {
        StepSpeed(a, dt);
      } else {
        a.fd_bank = 0.0;
        a.fd_pitch = a.pitch;
      }
      return;
    }
  } else {
    a.approach = AircraftState::Approach::kNone;
  }
  bool airborne = !OnGround(a) || a.vs > 0.0;
  if (a.ap_master != 0.0 && airborne) StepLateral(a, dt);
  if (a.ap_master != 0.0 && a.ap_alt_lock != 0.0 && airborne) StepVertical(a, dt);
  StepSpeed(a, dt);
}

namespace {

// A BCD word whose every nibble is a decimal digit.
bool ValidBcd(std::uint32_t v) {
  for (int shift = 0; shift < 32; shift += 4)
    if (((v >> shift) & 0xF) > 9) return false;
  return true;
}

// Navigation radio: the digits of the whole frequency (0x11370 for 113.70)
// or, as older panels send, the four digits after the leading 1 (0x1370).
bool NavFrequencyFromBcd(std::uint32_t v, double& mhz) {
  if (!ValidBcd(v)) return false;
  std::uint32_t d = BcdToDecimal(v);
  mhz = d >= 10000 ? d / 100.0 : 100.0 + d / 100.0;
  return mhz >= 108.0 && mhz < 118.0;
}

}  // namespace

bool ApplyKeyEvent(AircraftState& a, std::uint32_t id, std::uint32_t value) {
  const auto sv = static_cast<std::int32_t>(value);
  switch (id) {
    case 0x10019: a.paused = a.paused != 0.0 ? 0.0 : 1.0; return true;
    case 0x10030: a.qnh = 1013.25; return true;  // the world's sea-level pressure is standard
    case 0x1007E: a.course = Wrap360(a.course - 1.0); return true;
    case 0x1007F: a.course = Wrap360(a.course + 1.0); return true;
    case 0x100AC: {
      double mhz = 0.0;
      if (!NavFrequencyFromBcd(value, mhz)) return false;
      a.nav1 = mhz;
      return true;
    }
    case 0x100B2: {
      if (!ValidBcd(value)) return false;
      std::uint32_t khz = BcdToDecimal(value);
      if (khz < 100 || khz > 1799) return false;
      a.adf = khz;
      return true;
    }
    case 0x100B4:
      if (value > 360) return false;
      a.course = Wrap360(value);
      return true;
    case 0x100FE: a.sim_rate = std::max(0.25, a.sim_rate / 2.0); return true;
    case 0x1010F: a.ap_hdg_lock = 1.0; return true;
    case 0x10143:
    case 0x1022E: a.ap_spd_hold = 0.0; return true;
    case 0x10157: a.ap_heading = Wrap360(a.ap_heading + 1.0); return true;
    case 0x10158: a.ap_heading = Wrap360(a.ap_heading - 1.0); return true;
    case 0x10163:
      // Engaging a hold takes the present value until a target is set.
      if (a.ap_spd_hold == 0.0) a.ap_speed = std::round(a.ias);
      a.ap_spd_hold = 1.0;
      return true;
    case 0x1017B:
      if (a.ap_mach_hold == 0.0) a.ap_mach = std::round(MachOf(a) * 100.0) / 100.0;
      a.ap_mach_hold = 1.0;
      return true;
    case 0x1023E: a.ap_mach_hold = 0.0; return true;
    case 0x101F4:
      if (sv < -20000 || sv > 20000) return false;
      a.ap_vs = sv;
      return true;
    case 0x101F5:
      if (value > 999) return false;
      a.ap_speed = value;
      return true;
    case 0x101F6:
      if (value > 500) return false;
      a.ap_mach = value / 100.0;
      return true;
    case 0x101FA:
      if (value > 360) return false;
      a.ap_heading = Wrap360(value);
      return true;
    case 0x1021B:
    case 0x1021C: {
      int secs = static_cast<int>(a.zulu_seconds);
      int h = secs / 3600, m = (secs / 60) % 60;
      if (id == 0x1021B) {
        if (value > 23) return false;
        h = static_cast<int>(value);
      } else {
        if (value > 59) return false;
        m = static_cast<int>(value);
      }
      a.zulu_seconds = h * 3600.0 + m * 60.0 + secs % 60 + (a.zulu_seconds - secs);
      return true;
    }
    case 0x1024C:
      if (sv < -2000 || sv > 100000) return false;
      a.ap_altitude = sv;
      return true;
    case 0x10311: a.decision_height = std::min(9990.0, a.decision_height + 10.0); return true;
    case 0x10312: a.decision_height = std::max(0.0, a.decision_height - 10.0); return true;
    default: return false;
  }
}

namespace {

struct Field {
  const char* name;
  double AircraftState::*member;
  double min, max;
};

const std::vector<Field>& Fields() {
  static const std::vector<Field> fields = {
      {"lat", &AircraftState::latitude, -90.0, 90.0},
      {"lon", &AircraftState::longitude, -180.0, 180.0},
      {"heading", &AircraftState::heading, 0.0, 360.0},
      {"altitude", &AircraftState::altitude, -2000.0, 100000.0},
      {"ground_elevation", &AircraftState::ground_elevation, -2000.0, 30000.0},
      {"ias", &AircraftState::ias, 0.0, 1000.0},
      {"gs", &AircraftState::gs, 0.0, 2000.0},
      {"vs", &AircraftState::vs, -20000.0, 20000.0},
      {"mach", &AircraftState::mach, 0.0, 5.0},
      {"pitch", &AircraftState::pitch, -90.0, 90.0},
      {"bank", &AircraftState::bank, -180.0, 180.0},
      {"magvar", &AircraftState::magvar, -180.0, 180.0},
      {"wind_dir", &AircraftState::wind_dir, 0.0, 360.0},
      {"wind_speed", &AircraftState::wind_speed, 0.0, 500.0},
      {"qnh", &AircraftState::qnh, 800.0, 1100.0},
      {"sim_rate", &AircraftState::sim_rate, 0.0, 128.0},
      {"fuel_left", &AircraftState::fuel_left, 0.0, 1e6},
      {"fuel_right", &AircraftState::fuel_right, 0.0, 1e6},
      {"fuel_centre", &AircraftState::fuel_centre, 0.0, 1e6},
      {"fuel_weight_per_gallon", &AircraftState::fuel_weight_per_gallon, 0.1, 20.0},
      {"zfw", &AircraftState::zero_fuel_weight, 0.0, 2e6},
      {"payload", &AircraftState::payload, 0.0, 1e6},
      {"display_power", &AircraftState::display_power, 0.0, 1.0},
      {"nav1", &AircraftState::nav1, 100.0, 199.99},
      {"nav2", &AircraftState::nav2, 100.0, 199.99},
      {"adf", &AircraftState::adf, 0.0, 9999.0},
      {"course", &AircraftState::course, 0.0, 360.0},
      {"decision_height", &AircraftState::decision_height, 0.0, 10000.0},
      {"vs0", &AircraftState::vs0, 0.0, 1000.0},
      {"vs1", &AircraftState::vs1, 0.0, 1000.0},
      {"ap_master", &AircraftState::ap_master, 0.0, 1.0},
      {"ap_hdg_lock", &AircraftState::ap_hdg_lock, 0.0, 1.0},
      {"ap_heading", &AircraftState::ap_heading, 0.0, 360.0},
      {"ap_alt_lock", &AircraftState::ap_alt_lock, 0.0, 1.0},
      {"ap_altitude", &AircraftState::ap_altitude, -2000.0, 100000.0},
      {"ap_vs", &AircraftState::ap_vs, -20000.0, 20000.0},
      {"ap_spd_hold", &AircraftState::ap_spd_hold, 0.0, 1.0},
      {"ap_speed", &AircraftState::ap_speed, 0.0, 1000.0},
      {"ap_mach_hold", &AircraftState::ap_mach_hold, 0.0, 1.0},
      {"ap_mach", &AircraftState::ap_mach, 0.0, 5.0},
      {"ap_nav1_lock", &AircraftState::ap_nav1_lock, 0.0, 1.0},
      {"ap_approach", &AircraftState::ap_approach, 0.0, 1.0},
      {"ap_loc_hold", &AircraftState::ap_loc_hold, 0.0, 1.0},
      {"runway_lat", &AircraftState::runway_lat, -90.0, 90.0},
      {"runway_lon", &AircraftState::runway_lon, -180.0, 180.0},
      {"runway_course", &AircraftState::runway_course, 0.0, 360.0},
      {"runway_length", &AircraftState::runway_length, 0.0, 30000.0},
      {"autothrottle", &AircraftState::autothrottle, 0.0, 1.0},
      {"flight_director", &AircraftState::flight_director, 0.0, 1.0},
      {"paused", &AircraftState::paused, 0.0, 1.0},
  };
  return fields;
}

// "12:30:05" or "12:30" -> seconds of the day.
bool ParseClock(const std::string& s, double& seconds) {
  int h = 0, m = 0, sec = 0;
  char tail = 0;
  int n = std::sscanf(s.c_str(), "%2d:%2d:%2d%c", &h, &m, &sec, &tail);
  if (n == 2) {
    if (s.size() > 5) return false;
    sec = 0;
  } else if (n != 3) {
    return false;
  }
  if (h < 0 || h > 23 || m < 0 || m > 59 || sec < 0 || sec > 59) return false;
  seconds = h * 3600.0 + m * 60.0 + sec;
  return true;
}

bool ParseDate(const std::string& s, int& y, int& mo, int& d) {
  char tail = 0;
  if (s.size() != 10 || std::sscanf(s.c_str(), "%4d-%2d-%2d%c", &y, &mo, &d, &tail) != 3) return false;
  return y >= 1900 && y <= 2999 && mo >= 1 && mo <= 12 && d >= 1 && d <= DaysInMonth(y, mo);
}

}  // namespace

bool IsAircraftField(const std::string& name) {
  if (name == "zulu" || name == "date" || name == "engines" || name == "title") return true;
  if (IsSystemsField(name)) return true;
  for (const auto& f : Fields())
    if (name == f.name) return true;
  return false;
}

std::string AircraftFieldRule(const std::string& name) {
  if (name == "zulu") return "a time HH:MM or HH:MM:SS";
  if (name == "date") return "a date YYYY-MM-DD from 1900 to 2999";
  if (name == "title") return util::Format("1 to %zu characters, no blank", kMaxTitle);
  if (name == "engines") return "a whole number from 1 to 4";
  double min = 0.0, max = 0.0;
  if (!SystemsFieldRange(name, min, max)) {
    for (const auto& f : Fields()) {
      if (name != f.name) continue;
      min = f.min;
      max = f.max;
    }
  }
  return util::Format("a number from %.10g to %.10g", min, max);
}

bool SetAircraftField(AircraftState& a, const std::string& name, const std::string& value) {
  if (name == "zulu") return ParseClock(value, a.zulu_seconds);
  if (name == "title") {
    if (value.empty() || value.size() > kMaxTitle) return false;
    for (unsigned char c : value)
      if (c < 0x21 || c > 0x7E) return false;
    a.title = value;
    return true;
  }
  if (name == "date") {
    int y = 0, m = 0, d = 0;
    if (!ParseDate(value, y, m, d)) return false;
    a.year = y;
    a.month = m;
    a.day = d;
    return true;
  }
  double v = 0.0;
  if (!util::ParseDouble(value, v)) return false;
  if (name == "engines") {
    if (v < 1 || v > 4 || v != std::floor(v)) return false;
    a.engines = static_cast<int>(v);
    return true;
  }
  if (IsSystemsField(name)) return SetSystemsField(a, name, v);
  for (const auto& f : Fields()) {
    if (name != f.name) continue;
    if (v < f.min || v > f.max) return false;
    a.*(f.member) = v;
    return true;
  }
  return false;
}

// ---------------------------------------------------------------------------

void TokenTable::Put(std::uint32_t token, double raw) {
  if (pinned_.count(token) == 0) numbers_[token] = raw;
}

void TokenTable::Pin(std::uint32_t token, double raw) {
  texts_.erase(token);
  numbers_[token] = raw;
  pinned_.insert(token);
}

void TokenTable::PinText(std::uint32_t token, const std::string& text) {
  numbers_.erase(token);
  texts_[token] = text;
  pinned_.insert(token);
}

double TokenTable::Number(std::uint32_t token) const {
  auto it = numbers_.find(token);
  return it == numbers_.end() ? 0.0 : it->second;
}

bool TokenTable::IsText(std::uint32_t token) const {
  return texts_.count(token) != 0 || token == 19 || token == 47 || token == 56;
}

const char* TokenTable::Text(std::uint32_t token) const {
  auto it = texts_.find(token);
  return it == texts_.end() ? "" : it->second.c_str();
}

void TokenTable::WriteFrom(const AircraftState& a, std::uint64_t tick) {
  Put(1, static_cast<double>(tick));

  // Clock: local time is UTC here.
  int secs = static_cast<int>(a.zulu_seconds);
  double h = secs / 3600, m = (secs / 60) % 60, s = secs % 60;
  Put(3, h);
  Put(4, m);
  Put(5, s);
  Put(6, h);
  Put(7, m);
  Put(8, DayOfYear(a.year, a.month, a.day));
  Put(9, a.year);

  // Radios.
  Put(16, EncodeAdfFrequency(a.adf));
  Put(24, EncodeNavFrequency(a.nav1));
  Put(27, EncodeNavFrequency(a.nav2));
  Put(45, a.course);

  // Air data and attitude.
  double agl = std::max(0.0, a.altitude - a.ground_elevation);
  bool on_ground = agl < 1.0;
  double mach = MachOf(a);
  double sat = StaticAirTemperature(a.altitude);
  Put(60, on_ground ? 1.0 : 0.0);
  Put(61, a.ias);
  Put(63, 340.0 * 128.0);
  Put(64, EncodeMach(mach));
  Put(65, EncodeVerticalSpeed(a.vs));
  Put(67, 0.0);
  Put(68, a.ias > 340.0 ? 1.0 : 0.0);
  Put(71, EncodeLatitude(a.latitude));
  Put(72, EncodeLongitude(a.longitude));
  Put(74, a.altitude);
  Put(75, a.qnh);
  // Pitch too is kept the host's way round: positive nose down.
  Put(77, -a.pitch);
  // The host keeps bank positive with the left wing down: a right turn
  // reads negative (the displays' trend vectors and attitude pictures
  // are written against that).
  Put(79, -a.bank);
  Put(80, -a.bank);
  Put(81, Wrap360(a.heading - a.magvar));  // magnetic, as the autopilot's heading bug
  Put(82, a.magvar);
  Put(86, a.heading);
  Put(551, EncodeGroundSpeed(GroundSpeedOf(a)));

  // Autopilot.
  Put(103, a.ap_master);
  Put(105, a.ap_nav1_lock);
  Put(106, a.ap_hdg_lock);
  Put(107, a.ap_heading);
  Put(108, a.ap_alt_lock);
  Put(109, a.ap_altitude);
  Put(112, a.ap_approach);
  Put(115, a.ap_spd_hold);
  Put(116, a.ap_speed);
  Put(117, a.ap_mach_hold);
  Put(118, a.ap_mach);
  Put(120, a.ap_vs);
  Put(123, a.autothrottle);

  WriteSystems(a);

  // Fuel: capacities and quantity in gallons, weight per gallon.
  Put(290, kCentreTankGallons);
  Put(292, kMainTankGallons);
  Put(298, kMainTankGallons);
  Put(306, a.fuel_weight_per_gallon);
  Put(386, a.fuel_left + a.fuel_right + a.fuel_centre);

  Put(336, a.sim_rate);
  Put(341, sat);
  Put(343, a.wind_speed);
  Put(344, a.wind_dir);
  Put(350, (sat + 273.15) * (1.0 + 0.2 * mach * mach) - 273.15);
  Put(351, 624.0);
  Put(614, agl / kFeetPerMetre);
  Put(615, a.decision_height);
  // No station is received: signals, NAV1's localizer and glideslope flags,
  // needles, DME and bearing pointers rest at 0; the yaw damper is off.
  // Written, not left unknown: the summary lists only the tokens the
  // stand-in has no value of its own for.
  for (std::uint32_t t : {20u, 31u, 32u, 35u, 39u, 40u, 41u, 46u, 49u, 58u, 59u, 114u, 550u}) Put(t, 0.0);
  Put(773, a.display_power);
  Put(792, a.flight_director);
  // The flight director's commands in the host's signs (pitch positive nose
  // down, bank positive left wing down); 0 while it is off.
  bool fd = a.flight_director != 0.0;
  Put(793, fd ? -a.fd_pitch : 0.0);
  Put(794, fd ? -a.fd_bank : 0.0);
}

bool EvaluateCalculator(const AircraftState& a, const char* code, double& result) {
  result = 0.0;
  if (code == nullptr) return false;
  std::string key;
  for (const char* p = code; *p != '\0' && key.size() < 256; ++p) {
    if (!std::isspace(static_cast<unsigned char>(*p))) key += static_cast<char>(std::toupper(static_cast<unsigned char>(*p)));
  }
  struct Expr {
    const char* key;
    std::function<double(const AircraftState&)> value;
  };
  static const Expr table[] = {
      {"(A:DECISIONHEIGHT,FEET)", [](const AircraftState& s) { return s.decision_height; }},
      {"(A:DESIGNSPEEDVS0,KNOTS)", [](const AircraftState& s) { return s.vs0; }},
      {"(A:DESIGNSPEEDVS1,KNOTS)", [](const AircraftState& s) { return s.vs1; }},
      {"(A:AP_LOC_HOLD_ON,ENUM)", [](const AircraftState& s) { return s.ap_loc_hold; }},
  };
  for (const auto& e : table) {
    if (key == e.key) {
      result = e.value(a);
      return true;
    }
  }
  return false;
}

}  // namespace ovi::sim
