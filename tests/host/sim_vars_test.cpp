#include "src/host/sim_vars.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "tests/host/fake_panels.h"

namespace ovi::host {
namespace {

using testing::FakeHost;

class SimVarsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetModuleState();
    host.Bind();
  }
  FakeHost host;
};

struct PlainReader {
  const char* name;
  double (*read)();
  std::uint32_t token;
};

// Readers that hand the raw value back unchanged: each must ask for its own
// token and only that one.
const PlainReader kPlainReaders[] = {
    {"GetTick18", GetTick18, 1},
    {"GetAircraftAltitude", GetAircraftAltitude, 74},
    {"GetPressureMillibars", GetPressureMillibars, 75},
    {"GetPitchAttitude", GetPitchAttitude, 77},
    {"GetAircraftHeading", GetAircraftHeading, 81},
    {"GetMagneticVariation", GetMagneticVariation, 82},
    {"GetHeadingToken86", GetHeadingToken86, 86},
    {"GetMachFromToken64", GetMachFromToken64, 64},
    {"GetSimToken63", GetSimToken63, 63},
    {"GetStallWarning", GetStallWarning, 67},
    {"GetSimToken69", GetSimToken69, 69},
    {"GetSimToken341", GetSimToken341, 341},
    {"GetSimToken342", GetSimToken342, 342},
    {"GetSimToken343", GetSimToken343, 343},
    {"GetSimToken344Deg", GetSimToken344Deg, 344},
    {"GetSimToken349", GetSimToken349, 349},
    {"GetSimToken350", GetSimToken350, 350},
    {"GetSimToken354", GetSimToken354, 354},
    {"GetSimToken793", GetSimToken793, 793},
    {"GetSimToken794", GetSimToken794, 794},
    {"GetSimToken336", GetSimToken336, 336},
    {"GetNav1Signal", GetNav1Signal, 49},
    {"GetNav2Signal", GetNav2Signal, 58},
    {"GetNav1DmeDistance", GetNav1DmeDistance, 31},
    {"GetNav2DmeDistance", GetNav2DmeDistance, 35},
    {"GetSimToken32", GetSimToken32, 32},
    {"GetSimToken40", GetSimToken40, 40},
    {"GetSimToken41", GetSimToken41, 41},
    {"GetSimToken45Course", GetSimToken45Course, 45},
    {"GetSimToken59", GetSimToken59, 59},
    {"GetRelativeBearingToken39", GetRelativeBearingToken39, 39},
    {"GetSimToken20Adf", GetSimToken20Adf, 20},
    {"GetHeadingOffsetToken550", GetHeadingOffsetToken550, 550},
    {"GetSimToken852", GetSimToken852, 852},
    {"GetAutopilotMaster", GetAutopilotMaster, 103},
    {"GetAutopilotNav1Lock", GetAutopilotNav1Lock, 105},
    {"GetAutopilotHeadingLock", GetAutopilotHeadingLock, 106},
    {"GetAutopilotHeadingLockDir", GetAutopilotHeadingLockDir, 107},
    {"GetAutopilotAltitudeLock", GetAutopilotAltitudeLock, 108},
    {"GetAutopilotAltitudeLockVar", GetAutopilotAltitudeLockVar, 109},
    {"GetAutopilotAttitudeHold", GetAutopilotAttitudeHold, 110},
    {"GetAutopilotGlideslopeHold", GetAutopilotGlideslopeHold, 111},
    {"GetAutopilotApproachHold", GetAutopilotApproachHold, 112},
    {"GetAutopilotYawDamper", GetAutopilotYawDamper, 114},
    {"GetAutopilotAirspeedHold", GetAutopilotAirspeedHold, 115},
    {"GetAutopilotAirspeedHoldVar", GetAutopilotAirspeedHoldVar, 116},
    {"GetAutopilotMachHold", GetAutopilotMachHold, 117},
    {"GetAutopilotMachHoldVar", GetAutopilotMachHoldVar, 118},
    {"GetAutopilotVerticalHoldVar", GetAutopilotVerticalHoldVar, 120},
    {"GetAutothrottleArm", GetAutothrottleArm, 123},
    {"GetClockHour", GetClockHour, 3},
    {"GetClockMinute", GetClockMinute, 4},
    {"GetClockSecond", GetClockSecond, 5},
    {"GetZuluHour", GetZuluHour, 6},
    {"GetZuluMinute", GetZuluMinute, 7},
    {"GetZuluDay", GetZuluDay, 8},
    {"GetZuluYear", GetZuluYear, 9},
    {"GetSimToken306", GetSimToken306, 306},
    {"GetSimToken386", GetSimToken386, 386},
    {"GetSimToken290", GetSimToken290, 290},
    {"GetSimToken292", GetSimToken292, 292},
    {"GetSimToken294", GetSimToken294, 294},
    {"GetSimToken296", GetSimToken296, 296},
    {"GetSimToken298", GetSimToken298, 298},
    {"GetSimToken300", GetSimToken300, 300},
    {"GetSimToken302", GetSimToken302, 302},
    {"GetSimToken323", GetSimToken323, 323},
    {"GetEngine1Token626", GetEngine1Token626, 626},
    {"GetEngine2Token645", GetEngine2Token645, 645},
    {"GetEngine3Token664", GetEngine3Token664, 664},
    {"GetEngine4Token683", GetEngine4Token683, 683},
    {"GetEngine1Token625", GetEngine1Token625, 625},
    {"GetEngine2Token644", GetEngine2Token644, 644},
    {"GetEngine3Token663", GetEngine3Token663, 663},
    {"GetEngine4Token682", GetEngine4Token682, 682},
    {"GetEngine1Token128", GetEngine1Token128, 128},
    {"GetEngine2Token163", GetEngine2Token163, 163},
    {"GetEngine3Token198", GetEngine3Token198, 198},
    {"GetEngine4Token233", GetEngine4Token233, 233},
    {"GetEngine1Token633", GetEngine1Token633, 633},
    {"GetEngine2Token652", GetEngine2Token652, 652},
    {"GetEngine3Token671", GetEngine3Token671, 671},
    {"GetEngine4Token690", GetEngine4Token690, 690},
    {"GetEngine1Token149", GetEngine1Token149, 149},
    {"GetEngine2Token184", GetEngine2Token184, 184},
    {"GetEngine3Token219", GetEngine3Token219, 219},
    {"GetEngine4Token254", GetEngine4Token254, 254},
    {"GetSimToken328", GetSimToken328, 328},
    {"GetSimToken907", GetSimToken907, 907},
    {"GetSimToken908", GetSimToken908, 908},
    {"GetSimToken787", GetSimToken787, 787},
    {"GetSimToken783", GetSimToken783, 783},
    {"GetSimToken785", GetSimToken785, 785},
    {"GetSimToken782", GetSimToken782, 782},
    {"GetSimToken784", GetSimToken784, 784},
    {"GetSimToken786", GetSimToken786, 786},
    {"GetSimToken326", GetSimToken326, 326},
    {"GetSimToken327", GetSimToken327, 327},
    {"GetSimToken332", GetSimToken332, 332},
    {"GetSimToken333", GetSimToken333, 333},
    {"GetSimToken334", GetSimToken334, 334},
};

TEST_F(SimVarsTest, PlainReadersAskForTheirOwnTokenAndPassTheValueOn) {
  for (const PlainReader& r : kPlainReaders) {
    host.tokens.clear();
    host.lookups.clear();
    host.tokens[r.token] = -1234.5;
    EXPECT_EQ(r.read(), -1234.5) << r.name;
    ASSERT_EQ(host.lookups.size(), 1u) << r.name;
    EXPECT_EQ(host.lookups[0], r.token) << r.name;
  }
}

struct ConvertingReader {
  const char* name;
  double (*read)();
  std::uint32_t token;
  double raw;
  double expected;
};

TEST_F(SimVarsTest, ConvertingReadersDecodeTheRawEncodings) {
  const ConvertingReader cases[] = {
      {"latitude 45N", GetPlaneLatitudeDeg, 71, 45.0 * 10001750.0 / 90.0, 45.0},
      {"latitude 33.5S", GetPlaneLatitudeDeg, 71, -33.5 * 10001750.0 / 90.0, -33.5},
      {"longitude 90E", GetPlaneLongitudeDeg, 72, 70368744177664.0, 90.0},
      {"longitude 122.25W", GetPlaneLongitudeDeg, 72, -122.25 * 281474976710656.0 / 360.0,
       -122.25},
      {"ground speed", GetSimToken551Knots, 551, 100.0, 59.2484},
      {"vertical speed", GetVerticalSpeedFpm, 65, 256.0, 60.0 * 3.28084},
      {"g force", GetGForce, 351, 624.0 * 1.5, 1.5},
      {"radio altitude", GetRadioAltitudeFeet, 614, 100.0, 328.084},
      {"EGT 1", GetEngine1TempToken567C, 567, 491.69 + 9.0 * 100.0, 500.0},
      {"EGT 2", GetEngine2TempToken577C, 577, 491.69, 0.0},
      {"EGT 3", GetEngine3TempToken587C, 587, 491.69 + 18.0, 10.0},
      {"EGT 4", GetEngine4TempToken597C, 597, 491.69 - 9.0 * 40.0, -200.0},
      {"oil temp 1", GetEngine1TempToken561C, 561, 491.69 + 9.0 * 10.0, 50.0},
      {"oil temp 2", GetEngine2TempToken571C, 571, 491.69 + 9.0 * 20.0, 100.0},
      {"oil temp 3", GetEngine3TempToken581C, 581, 491.69 + 9.0 * 30.0, 150.0},
      {"oil temp 4", GetEngine4TempToken591C, 591, 491.69 + 9.0 * 40.0, 200.0},
      {"oil pressure 1", GetEngine1PressureToken562Psi, 562, 144.0 * 40.0, 40.0},
      {"oil pressure 2", GetEngine2PressureToken572Psi, 572, 144.0 * 41.0, 41.0},
      {"oil pressure 3", GetEngine3PressureToken582Psi, 582, 144.0 * 42.0, 42.0},
      {"oil pressure 4", GetEngine4PressureToken592Psi, 592, 144.0 * 43.0, 43.0},
      {"decision height on FS2004", GetDecisionHeightFeet, 615, 200.0, 200.0},
  };
  for (const ConvertingReader& c : cases) {
    host.tokens.clear();
    host.tokens[c.token] = c.raw;
    EXPECT_NEAR(c.read(), c.expected, 1e-9) << c.name;
  }
}

TEST_F(SimVarsTest, IntegerReadersTruncateTowardZero) {
  host.tokens[773] = 1.9;
  host.tokens[792] = -2.7;
  host.tokens[60] = 0.99;
  host.tokens[68] = 3.5;
  EXPECT_EQ(GetSimToken773Int(), 1);
  EXPECT_EQ(GetSimToken792Int(), -2);
  EXPECT_EQ(GetSimToken60Int(), 0);
  EXPECT_EQ(GetOverspeedWarning(), 3);
  host.tokens[773] = 1e12;
  host.tokens[792] = -1e12;
  EXPECT_EQ(GetSimToken773Int(), std::numeric_limits<std::int32_t>::max());
  EXPECT_EQ(GetSimToken792Int(), std::numeric_limits<std::int32_t>::min());
}

TEST_F(SimVarsTest, Token46BitsSelectLocalizerGlideslopeAndBit8) {
  host.tokens[46] = 0x80;
  EXPECT_EQ(IsNav1Localizer(), 1);
  EXPECT_EQ(IsNav1GlideslopeAvailable(), 0);
  EXPECT_EQ(TestToken46Bit8(), 0);
  host.tokens[46] = 0x40 | 0x08 | 0x100;
  EXPECT_EQ(IsNav1Localizer(), 0);
  EXPECT_EQ(IsNav1GlideslopeAvailable(), 1);
  EXPECT_EQ(TestToken46Bit8(), 1);
  host.tokens[46] = -1.0;  // not a flag word
  EXPECT_EQ(IsNav1Localizer(), 0);
}

TEST_F(SimVarsTest, BankAndDecisionHeightFollowTheHost) {
  host.tokens[80] = 10.0;
  host.tokens[79] = -20.0;
  host.tokens[615] = 150.0;
  host.calculator["(A:DECISION HEIGHT,FEET)"] = 250;
  EXPECT_EQ(GetBankAttitude(), 10.0);
  EXPECT_EQ(GetDecisionHeightFeet(), 150.0);
  EXPECT_TRUE(host.calculator_calls.empty());

  host_state.SimHostVersion = kSimHostFsx;
  EXPECT_EQ(GetBankAttitude(), -20.0);
  EXPECT_EQ(GetDecisionHeightFeet(), 250.0);  // the integer result, not the double
  ASSERT_EQ(host.calculator_calls.size(), 1u);
  EXPECT_EQ(host.lookups.back(), 79u);  // the decision height made no lookup
}

TEST_F(SimVarsTest, CalculatorAndAircraftVariableReaders) {
  host.calculator["(A:Design Speed VS0, knots)"] = 98;
  host.calculator["(A:Design Speed VS1, knots)"] = 112;
  host.calculator["(A:AP_LOC_HOLD_ON,Enum)"] = 1;
  host.aircraft_vars[98] = 42.5;
  host.aircraft_vars[99] = 12.0;
  EXPECT_EQ(GetDesignSpeedVs0(), 98.0);
  EXPECT_EQ(GetDesignSpeedVs1(), 112.0);
  EXPECT_EQ(GetApLocHoldOn(), 1.0);
  EXPECT_EQ(GetAircraftVar98Percent(), 42.5);  // asked in percent
  EXPECT_EQ(GetAircraftVar99Percent(), 12.0);
}

TEST_F(SimVarsTest, Token61IsSmoothedOneStepPerCall) {
  host.tokens[61] = 100.0;
  EXPECT_NEAR(ReadSmoothedToken61(), 30.0, 1e-12);
  EXPECT_NEAR(ReadSmoothedToken61(), 51.0, 1e-12);
  EXPECT_NEAR(ReadSmoothedToken61(), 65.7, 1e-12);
  host.tokens[61] = 0.0;
  EXPECT_NEAR(ReadSmoothedToken61(), 45.99, 1e-12);
  for (int i = 0; i < 200; ++i) ReadSmoothedToken61();
  EXPECT_NEAR(ReadSmoothedToken61(), 0.0, 1e-9);

  ResetModuleState();  // the smoothing starts over with the module
  host.Bind();
  host.tokens[61] = 200.0;
  EXPECT_NEAR(ReadSmoothedToken61(), 60.0, 1e-12);
}

TEST_F(SimVarsTest, EngineFuelFlowTakesTheFirstVariableWhenAboveZero) {
  double (*const engines[])() = {GetEngine1FuelFlow, GetEngine2FuelFlow, GetEngine3FuelFlow,
                                 GetEngine4FuelFlow};
  const std::uint32_t first[] = {421, 460, 499, 538};
  const std::uint32_t second[] = {638, 657, 676, 695};
  for (int e = 0; e < 4; ++e) {
    host.tokens.clear();
    host.tokens[first[e]] = 2500.0;
    host.tokens[second[e]] = 900.0;
    EXPECT_EQ(engines[e](), 2500.0) << "engine " << e + 1;
    host.tokens[first[e]] = 0.0;
    EXPECT_EQ(engines[e](), 900.0) << "engine " << e + 1;
    host.tokens[first[e]] = -5.0;  // not above 0
    EXPECT_EQ(engines[e](), 900.0) << "engine " << e + 1;
  }
}

// Each engine chooses its own variable, and the total is their sum.
TEST_F(SimVarsTest, TotalFuelFlowIsTheSumOfTheEngines) {
  host.tokens = {{421, 1000}, {460, 1100}, {499, 0}, {538, 1300},
                 {638, 10},   {657, 20},   {676, 30}, {695, 40}};
  EXPECT_EQ(GetTotalFuelFlow(), 3430.0);  // engine 3 by its second variable
  host.tokens[421] = 0.0;
  EXPECT_EQ(GetTotalFuelFlow(), 2440.0);  // engines 2 and 4 still by their first
  host.tokens[421] = -1.0;
  EXPECT_EQ(GetTotalFuelFlow(), 2440.0);
  // Engine 1 on its first variable, the others only on their second.
  host.tokens = {{421, 1000}, {657, 20}, {676, 30}, {695, 40}};
  EXPECT_EQ(GetTotalFuelFlow(), 1090.0);
  EXPECT_EQ(GetTotalFuelFlow(),
            GetEngine1FuelFlow() + GetEngine2FuelFlow() + GetEngine3FuelFlow() + GetEngine4FuelFlow());
}

TEST_F(SimVarsTest, DirectReadsOfIdentsAndFrequencyWords) {
  host.texts[47] = "IKL";
  host.texts[56] = "SFO";
  host.texts[19] = "OAK";
  host.tokens[24] = 0x1130;
  host.tokens[27] = 0x0950;
  host.tokens[16] = 0x2575;
  EXPECT_EQ(ReadNav1StationIdent(), "IKL");
  EXPECT_EQ(ReadNav2StationIdent(), "SFO");
  EXPECT_EQ(ReadAdfStationIdent(), "OAK");
  EXPECT_EQ(ReadNav1ActiveFrequencyBcd(), 0x1130u);
  EXPECT_EQ(ReadNav2ActiveFrequencyBcd(), 0x0950u);
  EXPECT_EQ(ReadToken16FrequencyBcd(), 0x2575u);

  host.texts[47] = nullptr;  // no station
  EXPECT_EQ(ReadNav1StationIdent(), "");
  std::string long_ident(500, 'X');
  host.texts[56] = long_ident.c_str();
  EXPECT_EQ(ReadNav2StationIdent().size(), kMaxSimVarTextLength);
  host.tokens[24] = -3.0;
  EXPECT_EQ(ReadNav1ActiveFrequencyBcd(), 0u);
  host.tokens[24] = 1e20;
  EXPECT_EQ(ReadNav1ActiveFrequencyBcd(), 0u);
}

TEST_F(SimVarsTest, ValuesThatAreNotNumbersReadAsZero) {
  host.tokens[74] = std::numeric_limits<double>::quiet_NaN();
  host.tokens[71] = std::numeric_limits<double>::infinity();
  host.tokens[773] = std::numeric_limits<double>::quiet_NaN();
  host.tokens[46] = std::numeric_limits<double>::quiet_NaN();
  host.aircraft_vars[98] = std::numeric_limits<double>::quiet_NaN();
  EXPECT_EQ(GetAircraftAltitude(), 0.0);
  EXPECT_EQ(GetPlaneLatitudeDeg(), 0.0);
  EXPECT_EQ(GetSimToken773Int(), 0);
  EXPECT_EQ(IsNav1Localizer(), 0);
  EXPECT_EQ(GetAircraftVar98Percent(), 0.0);
  host.tokens[61] = std::numeric_limits<double>::quiet_NaN();
  EXPECT_EQ(ReadSmoothedToken61(), 0.0);  // the smoothing state stays a number
}

TEST(SimVarsWithoutHost, EveryReaderReturnsZero) {
  ResetModuleState();
  EXPECT_EQ(GetPlaneLatitudeDeg(), 0.0);
  EXPECT_EQ(GetEngine1TempToken567C(), (0.0 - 491.69) * 5.0 / 9.0);
  EXPECT_EQ(GetTotalFuelFlow(), 0.0);
  EXPECT_EQ(GetDecisionHeightFeet(), 0.0);
  EXPECT_EQ(GetDesignSpeedVs0(), 0.0);
  EXPECT_EQ(GetAircraftVar99Percent(), 0.0);
  EXPECT_EQ(ReadSmoothedToken61(), 0.0);
  EXPECT_EQ(ReadNav1StationIdent(), "");
  EXPECT_EQ(GetSimToken792Int(), 0);

  PANELS empty{};  // a host that offers none of the services
  host_state.Panels = &empty;
  EXPECT_EQ(GetAircraftAltitude(), 0.0);
  host_state.SimHostVersion = kSimHostFsx;
  EXPECT_EQ(GetDecisionHeightFeet(), 0.0);
  EXPECT_EQ(GetAircraftVar98Percent(), 0.0);
  ResetModuleState();
}

TEST_F(SimVarsTest, TheSharedRecordIsZeroedBeforeEachLookup) {
  static MODULE_VAR seen{};
  host.panels.lookup_var = [](MODULE_VAR* var) {
    seen = *var;
    var->value.n = 5.0;
    var->prev_value.n = 9.0;
    var->var_type = 3;
  };
  GetAircraftAltitude();
  GetAircraftHeading();
  EXPECT_EQ(seen.id, 81u);
  EXPECT_EQ(seen.var_type, 0u);
  EXPECT_EQ(seen.value.n, 0.0);
  EXPECT_EQ(seen.prev_value.n, 0.0);
  EXPECT_EQ(seen.var_ptr, nullptr);
}

}  // namespace
}  // namespace ovi::host
