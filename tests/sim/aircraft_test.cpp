#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "sim/aircraft.h"
#include "sim/simulator.h"

namespace ovi::sim {
namespace {

// The module's readers decode the raw tokens with these formulas.
double ReaderLatitude(double raw) { return raw * 90.0 / 10001750.0; }
double ReaderLongitude(double raw) { return raw * 360.0 / 281474976710656.0; }
double ReaderGroundSpeed(double raw) { return raw * 0.592484; }
double ReaderVerticalSpeed(double raw) { return raw * 60.0 * 3.28084 / 256.0; }
double ReaderMach(double raw) { return raw * 1.52587890625e-05 * 3.2; }
// ConvertDigitsBase(value, 16, 10) of a radio word, then x 0.01 + 100.
double ReaderNavFrequency(double raw) { return BcdToDecimal(static_cast<std::uint32_t>(raw)) * 0.01 + 100.0; }

TEST(Tokens, PositionRoundTripsThroughTheReaders) {
  const double positions[][2] = {{47.4647, 8.5492}, {-33.9461, 151.1772}, {40.6413, -73.7781}, {0.0, 0.0},
                                 {89.9999, -179.9999}, {-90.0, 179.99999}, {51.4775, -0.4614}};
  for (const auto& p : positions) {
    AircraftState a;
    a.latitude = p[0];
    a.longitude = p[1];
    TokenTable t;
    t.WriteFrom(a, 0);
    EXPECT_NEAR(ReaderLatitude(t.Number(71)), p[0], 1e-9);
    EXPECT_NEAR(ReaderLongitude(t.Number(72)), p[1], 1e-9);
    EXPECT_EQ(t.Number(72), std::floor(t.Number(72)));  // the 48-bit longitude is a whole number
  }
  EXPECT_DOUBLE_EQ(EncodeLatitude(90.0), 10001750.0);
  EXPECT_DOUBLE_EQ(EncodeLongitude(180.0), 140737488355328.0);  // 2^47
  EXPECT_DOUBLE_EQ(DecodeLongitude(EncodeLongitude(-45.0)), -45.0);
}

TEST(Tokens, SpeedsAttitudeAndEnginesInTheirRawEncodings) {
  AircraftState a;
  a.altitude = 35000;
  a.ias = 280;
  a.gs = 465;
  a.vs = -1800;
  a.mach = 0.78;
  a.heading = 123.4;
  a.bank = -12;
  a.n1 = 85;
  a.fuel_flow = 2600;
  a.engines = 2;
  TokenTable t;
  t.WriteFrom(a, 42);
  EXPECT_EQ(t.Number(1), 42.0);
  EXPECT_EQ(t.Number(61), 280.0);
  EXPECT_NEAR(ReaderGroundSpeed(t.Number(551)), 465.0, 1e-9);
  EXPECT_NEAR(ReaderVerticalSpeed(t.Number(65)), -1800.0, 1e-9);
  EXPECT_NEAR(ReaderMach(t.Number(64)), 0.78, 1e-12);
  EXPECT_EQ(t.Number(74), 35000.0);
  EXPECT_EQ(t.Number(81), 123.4);
  EXPECT_EQ(t.Number(80), 12.0);  // left wing down reads positive
  EXPECT_EQ(t.Number(79), 12.0);
  EXPECT_EQ(t.Number(60), 0.0);  // airborne
  EXPECT_EQ(t.Number(773), 1.0);  // display power on
  EXPECT_NEAR((t.Number(567) - 491.67) * 5.0 / 9.0, a.egt, 1e-9);
  // Jets report fuel flow through the second variable of each engine.
  EXPECT_EQ(t.Number(421), 0.0);
  EXPECT_EQ(t.Number(638), 2600.0);
  EXPECT_EQ(t.Number(657), 2600.0);
  EXPECT_EQ(t.Number(676), 0.0);  // engine 3 not fitted
  EXPECT_EQ(t.Number(626), 85.0);
  EXPECT_NEAR(t.Number(386) * t.Number(306), (1500 + 1500 + 2000) * 6.7, 1e-6);
}

TEST(Tokens, RadiosAreBcdWordsAndIdentsAreTexts) {
  AircraftState a;
  a.nav1 = 111.30;
  a.nav2 = 113.70;
  a.adf = 350;
  TokenTable t;
  t.WriteFrom(a, 0);
  EXPECT_EQ(t.Number(24), static_cast<double>(0x1130));
  EXPECT_NEAR(ReaderNavFrequency(t.Number(24)), 111.30, 1e-9);
  EXPECT_EQ(t.Number(27), static_cast<double>(0x1370));
  EXPECT_EQ(t.Number(16), static_cast<double>(0x350));
  EXPECT_EQ(EncodeNavFrequency(99.0), 0u);
  EXPECT_EQ(EncodeNavFrequency(std::nan("")), 0u);
  EXPECT_EQ(BcdToDecimal(0x1130), 1130u);
  // Station idents are texts, empty until set; never null.
  for (std::uint32_t id : {19u, 47u, 56u}) {
    EXPECT_TRUE(t.IsText(id));
    ASSERT_NE(t.Text(id), nullptr);
    EXPECT_STREQ(t.Text(id), "");
  }
  t.PinText(47, "ZUE");
  EXPECT_STREQ(t.Text(47), "ZUE");
}

TEST(Tokens, ClockAndDateAdvanceAcrossMidnightAndYearEnd) {
  AircraftState a;
  ASSERT_TRUE(SetAircraftField(a, "date", "2024-02-29"));
  ASSERT_TRUE(SetAircraftField(a, "zulu", "23:59:50"));
  TokenTable t;
  t.WriteFrom(a, 0);
  EXPECT_EQ(t.Number(6), 23.0);
  EXPECT_EQ(t.Number(7), 59.0);
  EXPECT_EQ(t.Number(5), 50.0);
  EXPECT_EQ(t.Number(8), 60.0);  // day of year, leap year
  AdvanceAircraft(a, 20.0);
  t.WriteFrom(a, 1);
  EXPECT_EQ(t.Number(3), 0.0);
  EXPECT_EQ(t.Number(4), 0.0);
  EXPECT_EQ(t.Number(5), 10.0);
  EXPECT_EQ(t.Number(8), 61.0);  // 1 March
  ASSERT_TRUE(SetAircraftField(a, "date", "2023-12-31"));
  ASSERT_TRUE(SetAircraftField(a, "zulu", "23:59"));
  AdvanceAircraft(a, 61.0);
  t.WriteFrom(a, 2);
  EXPECT_EQ(t.Number(9), 2024.0);
  EXPECT_EQ(t.Number(8), 1.0);
}

TEST(Tokens, KinematicsMovePositionAltitudeAndFuel) {
  AircraftState a;
  a.latitude = 0.0;
  a.longitude = 179.0;
  a.heading = 90.0;
  a.gs = 120.0;  // two degrees of longitude an hour at the equator
  a.altitude = a.ground_elevation + 1000.0;
  a.vs = 600.0;
  a.fuel_flow = 1000.0;
  a.n1 = 60;
  double fuel = a.fuel_left + a.fuel_right + a.fuel_centre;
  for (int i = 0; i < 3600 * 18; ++i) AdvanceAircraft(a, 1.0 / 18.0);
  EXPECT_NEAR(a.latitude, 0.0, 1e-6);
  EXPECT_NEAR(a.longitude, -179.0, 0.01);  // across the date line
  EXPECT_NEAR(a.altitude, a.ground_elevation + 1000.0 + 36000.0, 1e-3);
  EXPECT_NEAR(fuel - (a.fuel_left + a.fuel_right + a.fuel_centre), 2 * 1000.0 / 6.7, 1e-6);
  // Descending never goes below the ground.
  a.vs = -5000;
  AdvanceAircraft(a, 3600.0);
  EXPECT_EQ(a.altitude, a.ground_elevation);
}

TEST(Tokens, PinnedTokensOutliveTheModel) {
  AircraftState a;
  TokenTable t;
  t.Pin(773, 0.0);
  t.Pin(5000, 7.0);
  t.WriteFrom(a, 1);
  EXPECT_EQ(t.Number(773), 0.0);
  EXPECT_EQ(t.Number(5000), 7.0);
  EXPECT_TRUE(t.Known(5000));
  EXPECT_FALSE(t.Known(4999));
  EXPECT_EQ(t.Number(4999), 0.0);
}

// No station is received by position: the radio tokens are the stand-in's
// own zeros, not tokens it knows nothing of (which the summary lists), and
// a scenario's pin still wins.
TEST(Tokens, RadioTokensAreHeldAtZeroUnlessPinned) {
  AircraftState a;
  a.nav1 = 116.80;
  TokenTable t, pinned;
  t.WriteFrom(a, 1);
  for (std::uint32_t token : {20u, 31u, 32u, 35u, 39u, 40u, 41u, 46u, 49u, 58u, 59u, 114u, 550u}) {
    EXPECT_TRUE(t.Known(token)) << token;
    EXPECT_EQ(t.Number(token), 0.0) << token;
  }
  pinned.Pin(49, 1.0);
  pinned.WriteFrom(a, 1);
  EXPECT_EQ(pinned.Number(49), 1.0);
}

TEST(Tokens, FieldsRejectBadValues) {
  AircraftState a;
  EXPECT_TRUE(SetAircraftField(a, "heading", "270"));
  EXPECT_EQ(a.heading, 270.0);
  EXPECT_FALSE(SetAircraftField(a, "heading", "nan"));
  EXPECT_FALSE(SetAircraftField(a, "heading", "400"));
  EXPECT_FALSE(SetAircraftField(a, "engines", "2.5"));
  EXPECT_FALSE(SetAircraftField(a, "no_such_field", "1"));
  EXPECT_FALSE(SetAircraftField(a, "zulu", "12:61"));
  EXPECT_EQ(a.heading, 270.0);
}

// Engines one by one: a field with the engine's number sets that engine;
// the all-engine field, set again, forgets them.
TEST(Systems, EngineFieldsOneByOneAndForAll) {
  AircraftState a;
  a.engines = 3;
  for (auto [name, value] : {std::pair{"n1", "50"}, {"n1_2", "60"}, {"egt_3", "660"}, {"throttle_1", "-50"},
                             {"oil_pressure_3", "45"}, {"fuel_flow_2", "3600"}, {"n1_4", "70"}})
    ASSERT_TRUE(SetAircraftField(a, name, value)) << name;
  TokenTable t;
  t.WriteFrom(a, 1);
  // Engine 4 is not fitted; engine 1 takes the all-engine EGT; levers from
  // N1 unless set (half reverse is -8192); EPR source 3 x N1.
  for (auto [token, raw] : {std::pair{626u, 50.0}, {645u, 60.0}, {683u, 0.0}, {128u, -8192.0}, {163u, 9830.0},
                            {652u, 180.0}, {582u, 45.0 * 144}, {572u, 60.0 * 144}, {657u, 3600.0}, {184u, 20.0}})
    EXPECT_EQ(t.Number(token), raw) << token;
  EXPECT_NEAR((t.Number(587) - 491.67) * 5.0 / 9.0, 660.0, 1e-9);
  EXPECT_NEAR((t.Number(567) - 491.67) * 5.0 / 9.0, 15.0, 1e-9);
  // Engines 1 and 3 at N1 50 and 1416 ft: 300 + 5500 x 0.125 x (1 - 1416 / 60000).
  EXPECT_NEAR(TotalFuelFlow(a), 2 * 971.275 + 3600.0, 1e-9);
  ASSERT_TRUE(SetAircraftField(a, "n1", "80") && SetAircraftField(a, "throttle", "-100"));
  t.WriteFrom(a, 2);
  EXPECT_EQ(t.Number(645), 80.0);
  EXPECT_EQ(t.Number(128), -16384.0);
  for (const char* bad : {"n1_0", "n1_5", "n1_", "throttle_12", "oil_qty_x"}) EXPECT_FALSE(IsAircraftField(bad)) << bad;
  for (auto [name, value] : {std::pair{"throttle", "-100.5"}, {"throttle_2", "101"}, {"gear", "2"},
                             {"spoilers_left", "-1"}, {"elevator_trim", "-90"}})
    EXPECT_FALSE(SetAircraftField(a, name, value)) << name;
}

TEST(Systems, ControlsAndTheGearInTransit) {
  AircraftState a;
  for (auto [name, value] : {std::pair{"flaps_handle", "50"}, {"flaps_right", "20"}, {"slats", "100"},
                             {"slats_right", "40"}, {"spoilers_left", "100"}, {"rudder", "-30"}, {"gear", "0"}})
    ASSERT_TRUE(SetAircraftField(a, name, value)) << name;
  TokenTable t;
  t.WriteFrom(a, 1);
  for (auto [token, raw] : {std::pair{328u, 8192.0}, {907u, 50.0}, {908u, 20.0}, {326u, 16383.0}, {327u, 0.0},
                            {332u, 16383.0}})  // the gear starts down
    EXPECT_EQ(t.Number(token), raw) << token;
  EXPECT_DOUBLE_EQ(t.Number(786), -30.0 * M_PI / 180.0);
  EXPECT_EQ(AircraftVariable(a, 98, true), 100.0);
  EXPECT_EQ(AircraftVariable(a, 99, true), 40.0);
  EXPECT_EQ(AircraftVariable(a, 99, false) + AircraftVariable(a, 97, true), 0.0);
  // The nose leg travels in 6 s, the mains in 8: after 3 s half and 5/8.
  for (int i = 0; i < 3 * 18; ++i) AdvanceAircraft(a, 1.0 / 18.0);
  t.WriteFrom(a, 2);
  EXPECT_NEAR(t.Number(332), 8192.0, 1.0);
  EXPECT_NEAR(t.Number(333), 10239.0, 1.0);
  for (int i = 0; i < 5 * 18 + 1; ++i) AdvanceAircraft(a, 1.0 / 18.0);
  t.WriteFrom(a, 3);
  EXPECT_EQ(t.Number(332) + t.Number(334), 0.0);
}

TEST(Calculator, KnownExpressionsAnyBlanksAndCase) {
  AircraftState a;
  a.decision_height = 250;
  a.ap_loc_hold = 1;
  double r = 0;
  EXPECT_TRUE(EvaluateCalculator(a, "(A:DECISION HEIGHT,FEET)", r));
  EXPECT_EQ(r, 250.0);
  EXPECT_TRUE(EvaluateCalculator(a, " (A:Decision Height, feet) ", r));
  EXPECT_EQ(r, 250.0);
  EXPECT_TRUE(EvaluateCalculator(a, "(A:Design Speed VS0, knots)", r));
  EXPECT_EQ(r, a.vs0);
  EXPECT_TRUE(EvaluateCalculator(a, "(A:Design Speed VS1, knots)", r));
  EXPECT_EQ(r, a.vs1);
  EXPECT_TRUE(EvaluateCalculator(a, "(A:AP_LOC_HOLD_ON,Enum)", r));
  EXPECT_EQ(r, 1.0);
  EXPECT_FALSE(EvaluateCalculator(a, "(A:GENERAL ENG RPM:1,rpm)", r));
  EXPECT_EQ(r, 0.0);
  EXPECT_FALSE(EvaluateCalculator(a, nullptr, r));
}

}  // namespace
}  // namespace ovi::sim
