// The aircraft's engines one by one and its flight controls: what a
// scenario sets for each engine apart from the all-engine fields, the flap
// handle and surfaces, slats, spoilers, trims, control deflections and the
// landing gear with its transit, and the tokens (and aircraft variables)
// they show through.
#pragma once

#include <array>
#include <cstdint>
#include <limits>
#include <string>

namespace ovi::sim {

struct AircraftState;
class TokenTable;

// Not set: the value comes from the all-engine field or the model.
inline constexpr double kUnset = std::numeric_limits<double>::quiet_NaN();

// Values of one engine a scenario set (pilot units: percent, degrees C,
// percent of lever travel with reverse below 0, pounds an hour, psi,
// quarts; the EPR source raw, as the host gives it).
struct EngineSettings {
  double n1 = kUnset;
  double n2 = kUnset;
  double egt = kUnset;
  double throttle = kUnset;
  double epr_source = kUnset;
  double fuel_flow = kUnset;
  double oil_pressure = kUnset;
  double oil_temp = kUnset;
  double oil_qty = kUnset;
};

// Flight controls in pilot units: percent of travel or extension, degrees
// (trailing edge down, nose up and right positive), the gear handle 1
// down / 0 up and each gear leg's position from 0 (up) to 1 (down and
// locked).
struct FlightControls {
  double flaps_handle = 0.0;
  double flaps_left = 0.0, flaps_right = 0.0;
  double slats_left = 0.0, slats_right = 0.0;
  double spoilers_left = 0.0, spoilers_right = 0.0;
  double rudder_trim = 0.0, elevator_trim = 0.0, aileron_trim = 0.0;
  double elevator = 0.0, aileron = 0.0, rudder = 0.0;
  double gear = 1.0;
  double gear_nose = 1.0, gear_left = 1.0, gear_right = 1.0;
};

struct AircraftSystems {
  // The all-engine throttle, EPR source and oil values (unset: derived). The
  // all-engine N1, N2, EGT and fuel flow are the aircraft's own `n1`, `n2`,
  // `egt` and `fuel_flow`, which the autothrottle moves.
  EngineSettings all;
  std::array<EngineSettings, 4> engine;
  FlightControls controls;
};

// What engine e (0 to 3) shows: a fitted engine's own setting, else the
// all-engine one, else the model's (lever from N1, EPR source 3 x N1, flow
// from N1 and altitude, oil 60 psi and 80 C while running); an engine
// beyond `engines` reads 0 (temperatures 15 C).
struct EngineReading {
  double n1 = 0.0, n2 = 0.0, egt = 15.0;
  double lever = 0.0;  // raw, -16384 .. 16383
  double epr_source = 0.0;
  double fuel_flow = 0.0;  // pounds an hour
  double oil_pressure = 0.0, oil_temp = 15.0, oil_qty = 0.0;
};
EngineReading ReadEngine(const AircraftState& a, int e);
// Fuel flow of all fitted engines, pounds an hour.
double TotalFuelFlow(const AircraftState& a);
// Lever travel in percent (-100 full reverse .. 100) as the host's raw value.
double EncodeThrottle(double percent);

// One step of dt seconds: each gear leg moves toward its handle (the nose
// in 6 s, the mains in 8 s from stop to stop).
void StepSystems(AircraftState& a, double dt);

// Scenario fields: the per-engine ones are the engine fields with the
// engine's number after an underscore (`n1_2`, `throttle_4`); setting an
// all-engine field forgets what was set for single engines. False for an
// unknown name or a value out of range.
bool IsSystemsField(const std::string& name);
// The range of a systems field's values; false for a name that is none.
bool SystemsFieldRange(const std::string& name, double& min, double& max);
bool SetSystemsField(AircraftState& a, const std::string& name, double value);

// Slats as the host's aircraft variables 98 (left) and 99 (right), in
// percent; every other variable or unit reads 0.
double AircraftVariable(const AircraftState& a, std::uint32_t simvar, bool percent);

}  // namespace ovi::sim
