// Simulator-variable readers. Each reads one simulator variable at the moment
// of the call through the shared record host_state.SimVarReader (token set,
// rest zeroed, lookup_var, value taken from value.n) and converts it to the
// unit its callers work in. No reader fails: with no panel services bound, or
// when the host hands back something that is not a finite number, the raw
// value counts as 0. Readers whose names end in `Int` truncate toward zero.
// docs/host.md lists the raw encoding every token is expected in.
#pragma once

#include <cstdint>
#include <string>

namespace ovi::host {

// --- Raw access ----------------------------------------------------------
// The raw value of a numeric token (0 when unavailable or not finite).
double ReadSimVar(std::uint32_t token);
// A raw value truncated toward zero into i32 (NaN 0, saturated at the ends).
std::int32_t TruncateToInt32(double value);
// A text token (station idents): at most kMaxSimVarTextLength characters of
// the host's string; empty when the host gives none.
constexpr std::size_t kMaxSimVarTextLength = 63;
std::string ReadSimVarText(std::uint32_t token);
// A 32-bit word token (BCD radio frequencies): the raw value as an integer.
std::uint32_t ReadSimVarWord(std::uint32_t token);

// Direct reads the displays make.
std::string ReadNav1StationIdent();  // token 47
std::string ReadNav2StationIdent();  // token 56
std::string ReadAdfStationIdent();   // token 19
std::uint32_t ReadNav1ActiveFrequencyBcd();  // token 24, e.g. 0x1130 for 111.30
std::uint32_t ReadNav2ActiveFrequencyBcd();  // token 27
std::uint32_t ReadToken16FrequencyBcd();     // token 16

// --- Position, attitude, air data --------------------------------------
double GetTick18();
double GetPlaneLatitudeDeg();
double GetPlaneLongitudeDeg();
double GetAircraftAltitude();
double GetPressureMillibars();
double GetPitchAttitude();
double GetBankAttitude();  // token 80 on the FS2004 host, 79 otherwise
double GetAircraftHeading();
double GetMagneticVariation();
double GetHeadingToken86();
double GetSimToken551Knots();
// One smoothing step per call: 0.7 x previous result + 0.3 x token 61.
double ReadSmoothedToken61();
double GetMachFromToken64();
double GetVerticalSpeedFpm();
double GetSimToken63();
double GetStallWarning();
std::int32_t GetOverspeedWarning();
double GetSimToken69();
double GetSimToken341();
double GetSimToken342();
double GetSimToken343();
double GetSimToken344Deg();
double GetSimToken349();
double GetSimToken350();
double GetGForce();
double GetSimToken354();
double GetRadioAltitudeFeet();
double GetDecisionHeightFeet();  // calculator on the FSX host, token 615 otherwise
double GetDesignSpeedVs0();
double GetDesignSpeedVs1();
std::int32_t GetSimToken773Int();
std::int32_t GetSimToken792Int();
double GetSimToken793();
double GetSimToken794();
double GetSimToken336();
std::int32_t GetSimToken60Int();

// --- Radios and navigation ----------------------------------------------
std::int32_t IsNav1Localizer();            // token 46 bit 0x80
std::int32_t IsNav1GlideslopeAvailable();  // token 46 bit 0x40
std::int32_t TestToken46Bit8();            // token 46 bit 0x08
double GetNav1Signal();
double GetNav2Signal();
double GetNav1DmeDistance();
double GetNav2DmeDistance();
double GetSimToken32();
double GetSimToken40();
double GetSimToken41();
double GetSimToken45Course();
double GetSimToken59();
double GetRelativeBearingToken39();
double GetSimToken20Adf();
double GetHeadingOffsetToken550();
double GetSimToken852();

// --- Autopilot ----------------------------------------------------------
double GetAutopilotMaster();
double GetAutopilotNav1Lock();
double GetAutopilotHeadingLock();
double GetAutopilotHeadingLockDir();
double GetAutopilotAltitudeLock();
double GetAutopilotAltitudeLockVar();
double GetAutopilotAttitudeHold();
double GetAutopilotGlideslopeHold();
double GetAutopilotApproachHold();
double GetAutopilotYawDamper();
double GetAutopilotAirspeedHold();
double GetAutopilotAirspeedHoldVar();
double GetAutopilotMachHold();
double GetAutopilotMachHoldVar();
double GetAutopilotVerticalHoldVar();
double GetAutothrottleArm();
double GetApLocHoldOn();

// --- Clock --------------------------------------------------------------
double GetClockHour();
double GetClockMinute();
double GetClockSecond();
double GetZuluHour();
double GetZuluMinute();
double GetZuluDay();
double GetZuluYear();

// --- Fuel, tanks, weights -----------------------------------------------
// Engine n: its first fuel-flow variable when that is above 0, else its
// second; pounds per hour.
double GetEngine1FuelFlow();
double GetEngine2FuelFlow();
double GetEngine3FuelFlow();
double GetEngine4FuelFlow();
// The sum of the four engines' flows above; pounds per hour.
double GetTotalFuelFlow();
double GetSimToken306();
double GetSimToken386();
double GetSimToken290();
double GetSimToken292();
double GetSimToken294();
double GetSimToken296();
double GetSimToken298();
double GetSimToken300();
double GetSimToken302();
double GetSimToken323();

// --- Engines, controls and surfaces -------------------------------------
double GetEngine1Token626();
double GetEngine2Token645();
double GetEngine3Token664();
double GetEngine4Token683();
double GetEngine1Token625();
double GetEngine2Token644();
double GetEngine3Token663();
double GetEngine4Token682();
double GetEngine1TempToken567C();
double GetEngine2TempToken577C();
double GetEngine3TempToken587C();
double GetEngine4TempToken597C();
double GetEngine1Token128();
double GetEngine2Token163();
double GetEngine3Token198();
double GetEngine4Token233();
double GetEngine1Token633();
double GetEngine2Token652();
double GetEngine3Token671();
double GetEngine4Token690();
double GetEngine1PressureToken562Psi();
double GetEngine2PressureToken572Psi();
double GetEngine3PressureToken582Psi();
double GetEngine4PressureToken592Psi();
double GetEngine1TempToken561C();
double GetEngine2TempToken571C();
double GetEngine3TempToken581C();
double GetEngine4TempToken591C();
double GetEngine1Token149();
double GetEngine2Token184();
double GetEngine3Token219();
double GetEngine4Token254();
double GetSimToken328();
double GetSimToken907();
double GetSimToken908();
double GetAircraftVar98Percent();
double GetAircraftVar99Percent();
double GetSimToken787();
double GetSimToken783();
double GetSimToken785();
double GetSimToken782();
double GetSimToken784();
double GetSimToken786();
double GetSimToken326();
double GetSimToken327();
double GetSimToken332();
double GetSimToken333();
double GetSimToken334();

}  // namespace ovi::host
