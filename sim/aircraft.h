// The simulated aircraft and the simulator-variable table the module reads.
// Every numeric token is kept in the raw encoding the module's readers decode
// (latitude as degrees x 10001750 / 90, ground speed as knots / 0.592484,
// radio frequencies as BCD words, ...), so the readers are exercised exactly
// as a real host would exercise them.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>

#include "sim/systems.h"

namespace ovi::sim {

// ---------------------------------------------------------------------------
// Raw encodings (value the host stores for a physical value) and their
// inverses (what the module's readers compute).
// ---------------------------------------------------------------------------
constexpr double kLatitudeUnitsPerDegree = 10001750.0 / 90.0;
constexpr double kLongitudeUnitsPerDegree = 281474976710656.0 / 360.0;  // 2^48 / 360
constexpr double kGroundSpeedKnotsPerUnit = 0.592484;
constexpr double kMachPerUnit = 3.2 / 65536.0;
constexpr double kFpmPerVerticalSpeedUnit = 60.0 * 3.28084 / 256.0;
constexpr double kFeetPerMetre = 3.28084;

double EncodeLatitude(double degrees);
double DecodeLatitude(double raw);
// The 48-bit longitude is an integer; west is negative.
double EncodeLongitude(double degrees);
double DecodeLongitude(double raw);
double EncodeGroundSpeed(double knots);
double EncodeMach(double mach);
double EncodeVerticalSpeed(double feet_per_minute);
// A navigation frequency in MHz (111.30) as the BCD word of its four digits
// after the leading 1 (0x1130); an ADF frequency in kHz (350) as the BCD
// word of its whole kilohertz (0x0350). Out of range gives 0.
std::uint32_t EncodeNavFrequency(double mhz);
std::uint32_t EncodeAdfFrequency(double khz);
// Reads a word's hexadecimal digits as decimal digits (0x1130 -> 1130).
std::uint32_t BcdToDecimal(std::uint32_t bcd);
double CelsiusToRankine(double celsius);

// Tank capacities, gallons (tokens 290, 292, 298; no auxiliary or tip tanks).
constexpr double kCentreTankGallons = 4000.0;
constexpr double kMainTankGallons = 2000.0;
constexpr std::size_t kMaxTitle = 63;

// ---------------------------------------------------------------------------
// Aircraft state: plain values in pilot units; written into the token table
// every tick. Deterministic: nothing depends on the wall clock.
// ---------------------------------------------------------------------------
struct AircraftState {
  double latitude = 47.4647;  // degrees, north positive
  double longitude = 8.5492;  // degrees, east positive
  double heading = 0.0;       // degrees true
  double altitude = 1416.0;   // feet
  double ground_elevation = 1416.0;
  double ias = 0.0;   // knots
  double gs = 0.0;    // knots; 0 = from the true airspeed and the wind
  double vs = 0.0;    // feet per minute
  double mach = 0.0;  // set 0 to derive from the airspeed
  double pitch = 0.0;
  double bank = 0.0;
  double magvar = 0.0;  // degrees, subtracted from true values
  double wind_dir = 0.0;
  double wind_speed = 0.0;
  double qnh = 1013.25;  // millibars
  double sim_rate = 1.0;
  // Fuel: gallons in the two main tanks and the centre tank, pounds per
  // gallon, flow per engine in pounds per hour.
  double fuel_left = 1500.0;
  double fuel_right = 1500.0;
  double fuel_centre = 2000.0;
  double fuel_weight_per_gallon = 6.7;
  double fuel_flow = 0.0;  // 0 = from N1 and altitude while the engines run
  // Weights, pounds: without fuel, and the payload (one station; none at 0).
  double zero_fuel_weight = 91300.0;
  double payload = 0.0;
  std::string title = "ovi-sim_B737-800";  // the aircraft title the host reports
  int engines = 2;
  double n1 = 0.0;
  double n2 = 0.0;
  double egt = 15.0;  // degrees C
  double display_power = 1.0;
  // Radios.
  double nav1 = 110.50;  // MHz
  double nav2 = 113.70;
  double adf = 350.0;  // kHz
  double course = 0.0;
  double decision_height = 200.0;  // feet
  double vs0 = 110.0;              // design speeds, knots
  double vs1 = 130.0;
  // Autopilot.
  double ap_master = 0.0;
  double ap_hdg_lock = 0.0;
  double ap_heading = 0.0;
  double ap_alt_lock = 0.0;
  double ap_altitude = 0.0;
  double ap_vs = 0.0;
  double ap_spd_hold = 0.0;
  double ap_speed = 0.0;
  double ap_mach_hold = 0.0;
  double ap_mach = 0.0;
  double ap_nav1_lock = 0.0;
  double ap_approach = 0.0;
  double ap_loc_hold = 0.0;
  double autothrottle = 0.0;
  double flight_director = 0.0;
  // What the flight director commands (degrees: bank right wing down, pitch
  // nose up), worked out by each autopilot step.
  double fd_bank = 0.0;
  double fd_pitch = 0.0;
  // The runway the approach hold lands on: threshold, true course, length
  // (feet; 0 = none). Its elevation is the ground's.
  double runway_lat = 0.0;
  double runway_lon = 0.0;
  double runway_course = 0.0;
  double runway_length = 0.0;
  // Where the approach hold has got to (the model's own, not a scenario field).
  enum class Approach { kNone, kFinal, kRollout, kTurnOff, kTaxi, kStop } approach = Approach::kNone;
  double approach_timer = 0.0;  // seconds into the taxi
  // Simulated UTC: date and seconds of the day. Local time equals UTC.
  int year = 2024;
  int month = 6;
  int day = 1;
  double zulu_seconds = 12.0 * 3600.0;
  // A paused simulator moves nothing, not even its clock.
  double paused = 0.0;
  // Engines one by one and the flight controls (sim/systems.h).
  AircraftSystems systems;
};

// Derived values the tokens and the model share.
double TrueAirspeedOf(const AircraftState& a);  // knots
double MachOf(const AircraftState& a);
// Ground speed (knots) and ground track (degrees true): `gs` along the
// heading when set, else the true airspeed along the heading plus the wind
// (no wind on the ground).
void GroundVectorOf(const AircraftState& a, double& gs, double& track);
double GroundSpeedOf(const AircraftState& a);
// Fuel flow of one running engine at the all-engine N1, pounds per hour
// (ReadEngine gives each engine's own).
double FuelFlowOf(const AircraftState& a);
bool OnGround(const AircraftState& a);

// The autopilot and autothrottle, one step of dt seconds (AdvanceAircraft
// calls it first):
// - heading hold (master and heading lock, airborne): turns toward the
//   heading bug (magnetic) at up to standard rate, banking up to 25 degrees
//   and rolling 6 degrees a second; master alone rolls the wings level;
// - altitude hold (master and altitude lock): climbs or descends toward the
//   altitude target at the selected vertical speed (its size; 0 holds the
//   altitude) and captures it smoothly;
// - airspeed or Mach hold (Mach first; the master is not needed): the
//   indicated airspeed moves toward the target at 1.5 kt a second (3 on the
//   ground) and N1 follows the thrust the regime needs;
// - approach hold (master and approach on, a runway set, airborne): flies
//   the runway's final course and a 3-degree path to 50 ft over the
//   threshold, flares, lands, brakes to taxi speed on the centre line,
//   turns off to the right, taxis and stops (the heading and altitude holds
//   wait meanwhile).
void StepAutopilot(AircraftState& a, double dt);

// A simulator key event the aircraft answers (the autopilot, radios, clock,
// altimeter, pause and simulation rate); false for any other id or for a
// value the event refuses (the aircraft is left as it was).
bool ApplyKeyEvent(AircraftState& a, std::uint32_t id, std::uint32_t value);

// Advances the autopilot, then position (great circle along the ground
// track at the ground speed), altitude (vertical speed), fuel (flow) and the
// clock by dt seconds; nothing while paused.
void AdvanceAircraft(AircraftState& a, double dt);

// Sets one field by its scenario name ("lat", "heading", "ap_altitude",
// "zulu", "date", ...); false when the name is unknown or the value is not
// valid for it. Text values are used by "zulu" (HH:MM:SS) and "date"
// (YYYY-MM-DD); other fields take numbers.
bool SetAircraftField(AircraftState& a, const std::string& name, const std::string& value);
bool IsAircraftField(const std::string& name);
// What a field takes, for a message: "a number from -90 to 90", "a time
// HH:MM or HH:MM:SS".
std::string AircraftFieldRule(const std::string& name);

int DayOfYear(int year, int month, int day);

// ---------------------------------------------------------------------------
// The token table.
// ---------------------------------------------------------------------------
class TokenTable {
 public:
  // Writes every token the aircraft model owns, except those the scenario
  // has pinned with Pin(). The tick counter is token 1.
  void WriteFrom(const AircraftState& a, std::uint64_t tick);

  double Number(std::uint32_t token) const;  // 0 when unknown
  // Host-owned text; never null ("" when unknown). Valid until the text of
  // that token changes.
  const char* Text(std::uint32_t token) const;
  bool IsText(std::uint32_t token) const;
  // Whether the table holds the token at all (model-written or pinned).
  bool Known(std::uint32_t token) const { return numbers_.count(token) != 0 || IsText(token); }

  // A scenario value: written now and never overwritten by the model.
  void Pin(std::uint32_t token, double raw);
  void PinText(std::uint32_t token, const std::string& text);

 private:
  void Put(std::uint32_t token, double raw);
  // Engines, controls and gear (sim/systems.cpp).
  void WriteSystems(const AircraftState& a);
  std::map<std::uint32_t, double> numbers_;
  std::map<std::uint32_t, std::string> texts_;
  std::set<std::uint32_t> pinned_;
};

// Calculator expressions the stand-in knows (blank-insensitive,
// case-insensitive); false for any other expression.
bool EvaluateCalculator(const AircraftState& a, const char* code, double& result);

}  // namespace ovi::sim
