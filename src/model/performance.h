// Airspeed conversions and the aircraft performance tables: the file that the
// aircraft file names, the speeds and rates interpolated from it, and the
// cruise ceiling.
#pragma once

#include <string_view>

#include "src/model/state.h"

namespace ovi::model {

enum class PerformanceSegment { kClimb, kCruise, kDescent };
enum class PerformanceColumn { kTas, kVerticalSpeed, kFuelFlow };

// True airspeed by the rule of thumb the pages use: 1.9 % per 1000 ft.
double IasToTas(double ias, double altitude);

// Mach number for an indicated airspeed (taken as calibrated) at an altitude:
// compressible flow in the standard atmosphere, then rescaled to the speed of
// sound at TopOfClimbOat (the ISA temperature when that is not set).
double IasToMach(double ias, double altitude);

// The Mach number a performance table's true airspeed is at an altitude,
// at the temperature IasToMach takes: an airspeed asks for more than the
// table gives exactly where its IasToMach is the higher. 0 when the table is
// empty.
double PerformanceMachAt(PerformanceSegment segment, double altitude);

// Standard atmosphere (feet): temperature in kelvin and pressure / sea-level
// pressure, troposphere and lower stratosphere.
double IsaTemperatureKelvin(double altitude);
double IsaPressureRatio(double altitude);


// Climb rate (ft/min) below which an altitude is no longer a cruise ceiling.
constexpr double kCeilingClimbRate = 300.0;

// Empties the three tables.
void ClearPerformanceData();

// Reads SimulatorFolder\ovi\Aircraft\<file_name> into the tables (emptied
// first). Bad rows are skipped with a status text; false when the file is
// missing.
bool LoadPerformanceData(std::string_view file_name);

// A column at an altitude (feet) and weight (pounds), interpolated linearly
// in weight within each tabulated altitude and then in altitude; held at the
// ends of the table. False (out untouched) when the table is empty.
bool LookupPerformance(PerformanceSegment segment, PerformanceColumn column, double altitude,
                       double weight, double& out);

// Refreshes ClimbTas and DescentTas (means over a climb from sea level to the
// cruise altitude and a descent back) and CruiseTas (at the cruise altitude)
// from the tables; a value whose table is empty is left as it was.
void InterpolatePerformanceSpeeds();

// Highest whole thousand of feet up to which the climb table still gives at
// least kCeilingClimbRate at PerformanceWeight, not above the cruise table,
// the climb table or MaxCruise. Rewrites ClimbRate, ClimbTas, DescentRate and
// DescentTas with the means over the climb to it and the descent from it.
// 0 when a table is empty or no altitude qualifies.
double ComputePerformanceCeiling();

// Rewrites ClimbRate and ClimbTas with the mean rate and true airspeed of a
// climb from sea level to `altitude` at PerformanceWeight, and DescentRate and
// DescentTas with those of the descent from it; a pair whose table is empty
// stays as it was.
void ApplyPerformanceMeans(double altitude);

// Climb rate (ft/min) and true airspeed (kt) that the climb table gives at an
// altitude for PerformanceWeight; false when the table is empty.
bool ClimbPerformanceAt(double altitude, double& rate, double& tas);

}  // namespace ovi::model
