#include "sim/systems.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "sim/aircraft.h"

namespace ovi::sim {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kRadiansPerDegree = kPi / 180.0;
constexpr double kFullTravel = 16383.0;  // the host's handles and gear, 0 .. 16383
constexpr double kNoseGearSeconds = 6.0;
constexpr double kMainGearSeconds = 8.0;

// An engine field: its per-engine member and, for the all-engine field,
// either the aircraft's own value or the systems' `all` member.
struct EngineField {
  const char* name;
  double EngineSettings::*setting;
  double AircraftState::*aircraft;  // null: the all-engine value is in systems.all
  double min, max;
};

const std::vector<EngineField>& EngineFields() {
  static const std::vector<EngineField> fields = {
      {"n1", &EngineSettings::n1, &AircraftState::n1, 0.0, 120.0},
      {"n2", &EngineSettings::n2, &AircraftState::n2, 0.0, 120.0},
      {"egt", &EngineSettings::egt, &AircraftState::egt, -100.0, 2000.0},
      {"fuel_flow", &EngineSettings::fuel_flow, &AircraftState::fuel_flow, 0.0, 1e5},
      {"throttle", &EngineSettings::throttle, nullptr, -100.0, 100.0},
      {"epr_source", &EngineSettings::epr_source, nullptr, -1e6, 1e6},
      {"oil_pressure", &EngineSettings::oil_pressure, nullptr, 0.0, 1000.0},
      {"oil_temp", &EngineSettings::oil_temp, nullptr, -100.0, 500.0},
      {"oil_qty", &EngineSettings::oil_qty, nullptr, 0.0, 100.0},
  };
  return fields;
}

// A control field sets one to three members at once (the flap handle moves
// both flaps with it).
struct ControlField {
  const char* name;
  std::array<double FlightControls::*, 3> members;
  double min, max;
};

const std::vector<ControlField>& ControlFields() {
  using C = FlightControls;
  static const std::vector<ControlField> fields = {
      {"flaps_handle", {&C::flaps_handle, &C::flaps_left, &C::flaps_right}, 0.0, 100.0},
      {"flaps_left", {&C::flaps_left}, 0.0, 100.0},
      {"flaps_right", {&C::flaps_right}, 0.0, 100.0},
      {"slats", {&C::slats_left, &C::slats_right}, 0.0, 100.0},
      {"slats_left", {&C::slats_left}, 0.0, 100.0},
      {"slats_right", {&C::slats_right}, 0.0, 100.0},
      {"spoilers", {&C::spoilers_left, &C::spoilers_right}, 0.0, 100.0},
      {"spoilers_left", {&C::spoilers_left}, 0.0, 100.0},
      {"spoilers_right", {&C::spoilers_right}, 0.0, 100.0},
      {"rudder_trim", {&C::rudder_trim}, -45.0, 45.0},
      {"elevator_trim", {&C::elevator_trim}, -45.0, 45.0},
      {"aileron_trim", {&C::aileron_trim}, -45.0, 45.0},
      {"elevator", {&C::elevator}, -45.0, 45.0},
      {"aileron", {&C::aileron}, -45.0, 45.0},
      {"rudder", {&C::rudder}, -45.0, 45.0},
      {"gear", {&C::gear}, 0.0, 1.0},
  };
  return fields;
}

// "n1_3" -> the n1 field and engine index 2; false for any other name.
bool SplitEngineName(const std::string& name, const EngineField*& field, int& engine) {
  const std::size_t bar = name.rfind('_');
  if (bar == std::string::npos || bar + 2 != name.size()) return false;
  const char digit = name[bar + 1];
  if (digit < '1' || digit > '4') return false;
  const std::string base = name.substr(0, bar);
  for (const EngineField& f : EngineFields()) {
    if (base == f.name) {
      field = &f;
      engine = digit - '1';
      return true;
    }
  }
  return false;
}

const EngineField* FindEngineField(const std::string& name) {
  for (const EngineField& f : EngineFields())
    if (name == f.name) return &f;
  return nullptr;
}

const ControlField* FindControlField(const std::string& name) {
  for (const ControlField& f : ControlFields())
    if (name == f.name) return &f;
  return nullptr;
}

// The engine's own setting, else the all-engine one (NaN when neither).
double Setting(const AircraftState& a, int e, const EngineField& f) {
  const double own = a.systems.engine[static_cast<std::size_t>(e)].*(f.setting);
  if (!std::isnan(own)) return own;
  return f.aircraft != nullptr ? a.*(f.aircraft) : a.systems.all.*(f.setting);
}

double SettingOr(const AircraftState& a, int e, const char* name, double model) {
  const double v = Setting(a, e, *FindEngineField(name));
  return std::isnan(v) ? model : v;
}

double FuelFlowAt(const AircraftState& a, double n1) {
  if (n1 <= 0.0) return 0.0;
  // Thrust goes with the cube of N1 and thins out with altitude.
  const double n = n1 / 100.0;
  const double sigma = std::max(0.25, 1.0 - std::max(0.0, a.altitude) / 60000.0);
  return 300.0 + 5500.0 * n * n * n * sigma;
}

double MoveToward(double value, double target, double step) {
  return value < target ? std::min(target, value + step) : std::max(target, value - step);
}

double Travel(double percent) { return std::round(percent / 100.0 * kFullTravel); }

}  // namespace

double EncodeThrottle(double percent) {
  return percent < 0.0 ? std::round(percent / 100.0 * 16384.0) : Travel(percent);
}

EngineReading ReadEngine(const AircraftState& a, int e) {
  EngineReading r;
  if (e < 0 || e >= 4 || e >= a.engines) return r;
  r.n1 = SettingOr(a, e, "n1", 0.0);
  r.n2 = SettingOr(a, e, "n2", 0.0);
  r.egt = SettingOr(a, e, "egt", 15.0);
  const bool running = r.n1 > 0.0;
  const double throttle = Setting(a, e, *FindEngineField("throttle"));
  r.lever = std::isnan(throttle) ? Travel(r.n1) : EncodeThrottle(throttle);
  r.epr_source = SettingOr(a, e, "epr_source", r.n1 * 3.0);
  const double own_flow = a.systems.engine[static_cast<std::size_t>(e)].fuel_flow;
  if (!std::isnan(own_flow)) {
    r.fuel_flow = own_flow;
  } else if (running) {
    r.fuel_flow = a.fuel_flow > 0.0 ? a.fuel_flow : FuelFlowAt(a, r.n1);
  }
  r.oil_pressure = SettingOr(a, e, "oil_pressure", running ? 60.0 : 0.0);
  r.oil_temp = SettingOr(a, e, "oil_temp", running ? 80.0 : 15.0);
  r.oil_qty = SettingOr(a, e, "oil_qty", 20.0);
  return r;
}

double TotalFuelFlow(const AircraftState& a) {
  double total = 0.0;
  for (int e = 0; e < 4; ++e) total += ReadEngine(a, e).fuel_flow;
  return total;
}

void StepSystems(AircraftState& a, double dt) {
  FlightControls& c = a.systems.controls;
  c.gear_nose = MoveToward(c.gear_nose, c.gear, dt / kNoseGearSeconds);
  c.gear_left = MoveToward(c.gear_left, c.gear, dt / kMainGearSeconds);
  c.gear_right = MoveToward(c.gear_right, c.gear, dt / kMainGearSeconds);
}

bool IsSystemsField(const std::string& name) {
  const EngineField* field = nullptr;
  int engine = 0;
  return FindEngineField(name) != nullptr || SplitEngineName(name, field, engine) ||
         FindControlField(name) != nullptr;
}

bool SystemsFieldRange(const std::string& name, double& min, double& max) {
  const EngineField* field = FindEngineField(name);
  int engine = 0;
  if (field != nullptr || SplitEngineName(name, field, engine)) {
    min = field->min;
    max = field->max;
    return true;
  }
  if (const ControlField* f = FindControlField(name)) {
    min = f->min;
    max = f->max;
    return true;
  }
  return false;
}

bool SetSystemsField(AircraftState& a, const std::string& name, double value) {
  if (const EngineField* f = FindEngineField(name)) {
    if (!(value >= f->min && value <= f->max)) return false;
    if (f->aircraft != nullptr) {
      a.*(f->aircraft) = value;
    } else {
      a.systems.all.*(f->setting) = value;
    }
    for (EngineSettings& own : a.systems.engine) own.*(f->setting) = kUnset;
    return true;
  }
  const EngineField* field = nullptr;
  int engine = 0;
  if (SplitEngineName(name, field, engine)) {
    if (!(value >= field->min && value <= field->max)) return false;
    a.systems.engine[static_cast<std::size_t>(engine)].*(field->setting) = value;
    return true;
  }
  if (const ControlField* f = FindControlField(name)) {
    if (!(value >= f->min && value <= f->max)) return false;
    for (double FlightControls::*member : f->members)
      if (member != nullptr) a.systems.controls.*member = value;
    return true;
  }
  return false;
}

double AircraftVariable(const AircraftState& a, std::uint32_t simvar, bool percent) {
  if (!percent) return 0.0;
  if (simvar == 98) return a.systems.controls.slats_left;
  if (simvar == 99) return a.systems.controls.slats_right;
  return 0.0;
}

void TokenTable::WriteSystems(const AircraftState& a) {
  bool running = false;
  for (int e = 0; e < 4; ++e) {
    const EngineReading r = ReadEngine(a, e);
    const auto n = static_cast<std::uint32_t>(e);
    Put(128 + 35 * n, r.lever);
    Put(149 + 35 * n, r.oil_qty);
    Put(421 + 39 * n, 0.0);  // piston fuel flow: jets report through the second variable
    Put(561 + 10 * n, CelsiusToRankine(r.oil_temp));
    Put(562 + 10 * n, r.oil_pressure * 144.0);  // pounds a square foot
    Put(567 + 10 * n, CelsiusToRankine(r.egt));
    Put(625 + 19 * n, r.n2);
    Put(626 + 19 * n, r.n1);
    Put(633 + 19 * n, r.epr_source);  // against token 342
    Put(638 + 19 * n, r.fuel_flow);
    running = running || r.n1 > 0.0;
  }
  Put(342, 300.0);
  Put(323, running ? 1.0 : 0.0);

  const FlightControls& c = a.systems.controls;
  Put(328, Travel(c.flaps_handle));
  Put(907, c.flaps_left);
  Put(908, c.flaps_right);
  Put(326, Travel(c.spoilers_left));
  Put(327, Travel(c.spoilers_right));
  Put(783, c.elevator_trim * kRadiansPerDegree);
  Put(785, c.aileron_trim * kRadiansPerDegree);
  Put(787, c.rudder_trim * kRadiansPerDegree);
  Put(782, c.elevator * kRadiansPerDegree);
  Put(784, c.aileron * kRadiansPerDegree);
  Put(786, c.rudder * kRadiansPerDegree);
  Put(332, std::round(c.gear_nose * kFullTravel));
  Put(333, std::round(c.gear_left * kFullTravel));
  Put(334, std::round(c.gear_right * kFullTravel));
}

}  // namespace ovi::sim
