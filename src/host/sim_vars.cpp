#include "src/host/sim_vars.h"

#include <cmath>
#include <cstring>
#include <limits>

#include "src/host/state.h"

namespace ovi::host {

namespace {

constexpr double kFeetPerMetre = 3.28084;

double Finite(double v) { return std::isfinite(v) ? v : 0.0; }

// Sets the shared record up for one token and lets the host fill it. False
// when no host service is there to ask.
bool Lookup(std::uint32_t token) {
  MODULE_VAR& var = host_state.SimVarReader.Var;
  var = MODULE_VAR{};
  var.id = token;
  PANELS* panels = Panels();
  if (panels == nullptr || panels->lookup_var == nullptr) return false;
  panels->lookup_var(&var);
  return true;
}

// The host's calculator hands back an integer result; the readers pass it on
// as a double.
double Calculator(const char* code) {
  PANELS* panels = Panels();
  if (panels == nullptr || panels->execute_calculator_code == nullptr) return 0.0;
  double fvalue = 0.0;
  std::int32_t ivalue = 0;
  panels->execute_calculator_code(code, &fvalue, &ivalue, nullptr);
  return static_cast<double>(ivalue);
}

double AircraftVarPercent(std::uint32_t simvar) {
  PANELS* panels = Panels();
  if (panels == nullptr || panels->aircraft_varget == nullptr) return 0.0;
  std::int32_t units = panels->get_units_enum != nullptr ? panels->get_units_enum("percent") : 0;
  return Finite(panels->aircraft_varget(simvar, units, 0));
}

double RankineToCelsius(double rankine) { return (rankine - 491.69) * 5.0 / 9.0; }

std::uint32_t Token46Bits() { return ReadSimVarWord(46); }

double EngineFuelFlow(std::uint32_t first, std::uint32_t second) {
  double a = ReadSimVar(first);
  double b = ReadSimVar(second);
  return a > 0.0 ? a : b;
}

}  // namespace

double ReadSimVar(std::uint32_t token) {
  if (!Lookup(token)) return 0.0;
  return Finite(host_state.SimVarReader.Var.value.n);
}

std::int32_t TruncateToInt32(double value) {
  if (!std::isfinite(value)) return 0;
  constexpr double kMin = std::numeric_limits<std::int32_t>::min();
  constexpr double kMax = std::numeric_limits<std::int32_t>::max();
  if (value <= kMin) return std::numeric_limits<std::int32_t>::min();
  if (value >= kMax) return std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int32_t>(value);
}

std::string ReadSimVarText(std::uint32_t token) {
  if (!Lookup(token)) return {};
  const char* text = host_state.SimVarReader.Var.value.text;
  if (text == nullptr) return {};
  return std::string(text, ::strnlen(text, kMaxSimVarTextLength));
}

std::uint32_t ReadSimVarWord(std::uint32_t token) {
  double v = ReadSimVar(token);
  if (v <= 0.0 || v >= 4294967296.0) return 0;
  return static_cast<std::uint32_t>(v);
}

std::string ReadNav1StationIdent() { return ReadSimVarText(47); }
std::string ReadNav2StationIdent() { return ReadSimVarText(56); }
std::string ReadAdfStationIdent() { return ReadSimVarText(19); }
std::uint32_t ReadNav1ActiveFrequencyBcd() { return ReadSimVarWord(24); }
std::uint32_t ReadNav2ActiveFrequencyBcd() { return ReadSimVarWord(27); }
std::uint32_t ReadToken16FrequencyBcd() { return ReadSimVarWord(16); }

// --- Position, attitude, air data --------------------------------------
double GetTick18() { return ReadSimVar(1); }
double GetPlaneLatitudeDeg() { return ReadSimVar(71) * 90.0 / 10001750.0; }
double GetPlaneLongitudeDeg() { return ReadSimVar(72) * 360.0 / 281474976710656.0; }
double GetAircraftAltitude() { return ReadSimVar(74); }
double GetPressureMillibars() { return ReadSimVar(75); }
double GetPitchAttitude() { return ReadSimVar(77); }
double GetBankAttitude() {
  return ReadSimVar(host_state.SimHostVersion == kSimHostFs2004 ? 80 : 79);
}
double GetAircraftHeading() { return ReadSimVar(81); }
double GetMagneticVariation() { return ReadSimVar(82); }
double GetHeadingToken86() { return ReadSimVar(86); }
double GetSimToken551Knots() { return ReadSimVar(551) * 0.592484; }
double ReadSmoothedToken61() {
  double fresh = ReadSimVar(61);
  double& smoothed = host_state.SimVarReader.SmoothedToken61;
  smoothed = 0.7 * smoothed + 0.3 * fresh;
  return smoothed;
}
double GetMachFromToken64() { return ReadSimVar(64); }
double GetVerticalSpeedFpm() { return ReadSimVar(65) * 60.0 * kFeetPerMetre / 256.0; }
double GetSimToken63() { return ReadSimVar(63); }
double GetStallWarning() { return ReadSimVar(67); }
std::int32_t GetOverspeedWarning() { return TruncateToInt32(ReadSimVar(68)); }
double GetSimToken69() { return ReadSimVar(69); }
double GetSimToken341() { return ReadSimVar(341); }
double GetSimToken342() { return ReadSimVar(342); }
double GetSimToken343() { return ReadSimVar(343); }
double GetSimToken344Deg() { return ReadSimVar(344); }
double GetSimToken349() { return ReadSimVar(349); }
double GetSimToken350() { return ReadSimVar(350); }
double GetGForce() { return ReadSimVar(351) / 624.0; }
double GetSimToken354() { return ReadSimVar(354); }
double GetRadioAltitudeFeet() { return ReadSimVar(614) * kFeetPerMetre; }
double GetDecisionHeightFeet() {
  if (host_state.SimHostVersion == kSimHostFsx) return Calculator("(A:DECISION HEIGHT,FEET)");
  return ReadSimVar(615);
}
double GetDesignSpeedVs0() { return Calculator("(A:Design Speed VS0, knots)"); }
double GetDesignSpeedVs1() { return Calculator("(A:Design Speed VS1, knots)"); }
std::int32_t GetSimToken773Int() { return TruncateToInt32(ReadSimVar(773)); }
std::int32_t GetSimToken792Int() { return TruncateToInt32(ReadSimVar(792)); }
double GetSimToken793() { return ReadSimVar(793); }
double GetSimToken794() { return ReadSimVar(794); }
double GetSimToken336() { return ReadSimVar(336); }
std::int32_t GetSimToken60Int() { return TruncateToInt32(ReadSimVar(60)); }

// --- Radios and navigation ----------------------------------------------
std::int32_t IsNav1Localizer() { return (Token46Bits() & 0x80u) != 0 ? 1 : 0; }
std::int32_t IsNav1GlideslopeAvailable() { return (Token46Bits() & 0x40u) != 0 ? 1 : 0; }
std::int32_t TestToken46Bit8() { return (Token46Bits() & 0x08u) != 0 ? 1 : 0; }
double GetNav1Signal() { return ReadSimVar(49); }
double GetNav2Signal() { return ReadSimVar(58); }
double GetNav1DmeDistance() { return ReadSimVar(31); }
double GetNav2DmeDistance() { return ReadSimVar(35); }
double GetSimToken32() { return ReadSimVar(32); }
double GetSimToken40() { return ReadSimVar(40); }
double GetSimToken41() { return ReadSimVar(41); }
double GetSimToken45Course() { return ReadSimVar(45); }
double GetSimToken59() { return ReadSimVar(59); }
double GetRelativeBearingToken39() { return ReadSimVar(39); }
double GetSimToken20Adf() { return ReadSimVar(20); }
double GetHeadingOffsetToken550() { return ReadSimVar(550); }
double GetSimToken852() { return ReadSimVar(852); }

// --- Autopilot ----------------------------------------------------------
double GetAutopilotMaster() { return ReadSimVar(103); }
double GetAutopilotNav1Lock() { return ReadSimVar(105); }
double GetAutopilotHeadingLock() { return ReadSimVar(106); }
double GetAutopilotHeadingLockDir() { return ReadSimVar(107); }
double GetAutopilotAltitudeLock() { return ReadSimVar(108); }
double GetAutopilotAltitudeLockVar() { return ReadSimVar(109); }
double GetAutopilotAttitudeHold() { return ReadSimVar(110); }
double GetAutopilotGlideslopeHold() { return ReadSimVar(111); }
double GetAutopilotApproachHold() { return ReadSimVar(112); }
double GetAutopilotYawDamper() { return ReadSimVar(114); }
double GetAutopilotAirspeedHold() { return ReadSimVar(115); }
double GetAutopilotAirspeedHoldVar() { return ReadSimVar(116); }
double GetAutopilotMachHold() { return ReadSimVar(117); }
double GetAutopilotMachHoldVar() { return ReadSimVar(118); }
double GetAutopilotVerticalHoldVar() { return ReadSimVar(120); }
double GetAutothrottleArm() { return ReadSimVar(123); }
double GetApLocHoldOn() { return Calculator("(A:AP_LOC_HOLD_ON,Enum)"); }

// --- Clock --------------------------------------------------------------
double GetClockHour() { return ReadSimVar(3); }
double GetClockMinute() { return ReadSimVar(4); }
double GetClockSecond() { return ReadSimVar(5); }
double GetZuluHour() { return ReadSimVar(6); }
double GetZuluMinute() { return ReadSimVar(7); }
double GetZuluDay() { return ReadSimVar(8); }
double GetZuluYear() { return ReadSimVar(9); }

// --- Fuel, tanks, weights -----------------------------------------------
double GetEngine1FuelFlow() { return EngineFuelFlow(421, 638); }
double GetEngine2FuelFlow() { return EngineFuelFlow(460, 657); }
double GetEngine3FuelFlow() { return EngineFuelFlow(499, 676); }
double GetEngine4FuelFlow() { return EngineFuelFlow(538, 695); }
// Each engine by its own choice of variable: chosen for all on engine 1's
// alone, engines reporting on different variables summed to 0 or a part.
double GetTotalFuelFlow() {
  return GetEngine1FuelFlow() + GetEngine2FuelFlow() + GetEngine3FuelFlow() + GetEngine4FuelFlow();
}
double GetSimToken306() { return ReadSimVar(306); }
double GetSimToken386() { return ReadSimVar(386); }
double GetSimToken290() { return ReadSimVar(290); }
double GetSimToken292() { return ReadSimVar(292); }
double GetSimToken294() { return ReadSimVar(294); }
double GetSimToken296() { return ReadSimVar(296); }
double GetSimToken298() { return ReadSimVar(298); }
double GetSimToken300() { return ReadSimVar(300); }
double GetSimToken302() { return ReadSimVar(302); }
double GetSimToken323() { return ReadSimVar(323); }

// --- Engines, controls and surfaces -------------------------------------
double GetEngine1Token626() { return ReadSimVar(626); }
double GetEngine2Token645() { return ReadSimVar(645); }
double GetEngine3Token664() { return ReadSimVar(664); }
double GetEngine4Token683() { return ReadSimVar(683); }
double GetEngine1Token625() { return ReadSimVar(625); }
double GetEngine2Token644() { return ReadSimVar(644); }
double GetEngine3Token663() { return ReadSimVar(663); }
double GetEngine4Token682() { return ReadSimVar(682); }
double GetEngine1TempToken567C() { return RankineToCelsius(ReadSimVar(567)); }
double GetEngine2TempToken577C() { return RankineToCelsius(ReadSimVar(577)); }
double GetEngine3TempToken587C() { return RankineToCelsius(ReadSimVar(587)); }
double GetEngine4TempToken597C() { return RankineToCelsius(ReadSimVar(597)); }
double GetEngine1Token128() { return ReadSimVar(128); }
double GetEngine2Token163() { return ReadSimVar(163); }
double GetEngine3Token198() { return ReadSimVar(198); }
double GetEngine4Token233() { return ReadSimVar(233); }
double GetEngine1Token633() { return ReadSimVar(633); }
double GetEngine2Token652() { return ReadSimVar(652); }
double GetEngine3Token671() { return ReadSimVar(671); }
double GetEngine4Token690() { return ReadSimVar(690); }
double GetEngine1PressureToken562Psi() { return ReadSimVar(562) / 144.0; }
double GetEngine2PressureToken572Psi() { return ReadSimVar(572) / 144.0; }
double GetEngine3PressureToken582Psi() { return ReadSimVar(582) / 144.0; }
double GetEngine4PressureToken592Psi() { return ReadSimVar(592) / 144.0; }
double GetEngine1TempToken561C() { return RankineToCelsius(ReadSimVar(561)); }
double GetEngine2TempToken571C() { return RankineToCelsius(ReadSimVar(571)); }
double GetEngine3TempToken581C() { return RankineToCelsius(ReadSimVar(581)); }
double GetEngine4TempToken591C() { return RankineToCelsius(ReadSimVar(591)); }
double GetEngine1Token149() { return ReadSimVar(149); }
double GetEngine2Token184() { return ReadSimVar(184); }
double GetEngine3Token219() { return ReadSimVar(219); }
double GetEngine4Token254() { return ReadSimVar(254); }
double GetSimToken328() { return ReadSimVar(328); }
double GetSimToken907() { return ReadSimVar(907); }
double GetSimToken908() { return ReadSimVar(908); }
double GetAircraftVar98Percent() { return AircraftVarPercent(98); }
double GetAircraftVar99Percent() { return AircraftVarPercent(99); }
double GetSimToken787() { return ReadSimVar(787); }
double GetSimToken783() { return ReadSimVar(783); }
double GetSimToken785() { return ReadSimVar(785); }
double GetSimToken782() { return ReadSimVar(782); }
double GetSimToken784() { return ReadSimVar(784); }
double GetSimToken786() { return ReadSimVar(786); }
double GetSimToken326() { return ReadSimVar(326); }
double GetSimToken327() { return ReadSimVar(327); }
double GetSimToken332() { return ReadSimVar(332); }
double GetSimToken333() { return ReadSimVar(333); }
double GetSimToken334() { return ReadSimVar(334); }

}  // namespace ovi::host
