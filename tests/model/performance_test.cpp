#include "src/model/performance.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "src/host/module_state.h"
#include "src/model/config.h"
#include "tests/model/sim_folder.h"

namespace ovi::model {
namespace {

class PerformanceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetModuleState();
    sim.Activate();
  }
  State& s = model_state;
  testing::SimFolder sim;
};

// Standard-atmosphere values as printed in the ICAO tables.
TEST_F(PerformanceTest, StandardAtmosphere) {
  EXPECT_NEAR(IsaTemperatureKelvin(0), 288.15, 1e-9);
  EXPECT_NEAR(IsaTemperatureKelvin(10000), 268.34, 0.01);
  EXPECT_NEAR(IsaTemperatureKelvin(40000), 216.65, 1e-9);
  EXPECT_NEAR(IsaPressureRatio(0), 1.0, 1e-9);
  EXPECT_NEAR(IsaPressureRatio(10000), 0.6877, 0.0001);
  EXPECT_NEAR(IsaPressureRatio(30000), 0.2970, 0.0001);
  EXPECT_NEAR(IsaPressureRatio(40000), 0.1851, 0.0001);
  // Both layers meet at the tropopause.
  EXPECT_NEAR(IsaPressureRatio(36089.2), IsaPressureRatio(36089.3), 1e-5);
}

TEST_F(PerformanceTest, AirspeedConversions) {
  EXPECT_DOUBLE_EQ(IasToTas(250, 15000), 321.25);
  EXPECT_DOUBLE_EQ(IasToTas(200, 0), 200.0);

  s.TopOfClimbOat = -999.0;  // not set: the standard temperature
  EXPECT_NEAR(IasToMach(300, 0), 300 / 661.4786, 1e-6);
  EXPECT_NEAR(IasToMach(250, 15000), 0.4967, 0.0005);
  EXPECT_NEAR(IasToMach(300, 30000), 0.7906, 0.0005);
  // A colder top of climb means a slower speed of sound and a higher Mach.
  s.TopOfClimbOat = -30.0;
  EXPECT_NEAR(IasToMach(250, 15000), 0.4967 * std::sqrt((288.15 - 29.718) / 243.15), 0.0005);
  // Nonsense in gives a number out, never NaN.
  EXPECT_EQ(IasToMach(std::nan(""), 10000), 0.0);
  EXPECT_EQ(IasToMach(-5, 10000), 0.0);
  EXPECT_TRUE(std::isfinite(IasToMach(250, std::nan(""))));
  s.TopOfClimbOat = -400.0;
  EXPECT_TRUE(std::isfinite(IasToMach(250, 20000)));
}

// Climb: V/S falls linearly with altitude, 3000 -> 0 ft/min (100000 lb) and
// 2000 -> 0 ft/min (200000 lb) between 0 and 40000 ft; TAS 400 kt throughout.
// Descent: 2000 ft/min at 300 kt. The rows are deliberately out of order.
const char* kHandTable =
    "; hand-made\n"
    "UNITS\nWEIGHT LBS\nFUELFLOW LBS\n"
    "[CLIMB]\n"
    "40000 400 0 200000 3000\n"
    "0 400 3000 100000 9000\n"
    "40000_400_0_100000_3000\n"  // the flight-summary item form
    "0 400 2000 200000 10000\n"
    "CRUISE\n"
    "40000 450 200000 6000\n"
    "10000 350 100000 8000\n"
    "40000 450 100000 5000\n"
    "DESCENT\n"
    "0 300 -2000 1500\n"
    "40000 300 2000 1500\n";

TEST_F(PerformanceTest, CeilingForTwoWeights) {
  sim.Write("ovi/Aircraft/hand.perf", kHandTable);
  ASSERT_TRUE(LoadPerformanceData("hand.perf"));
  s.MaxCruise = 45000;

  // 3000 - 0.075 h >= 300 up to 36000 ft.
  s.PerformanceWeight = 100000;
  EXPECT_EQ(ComputePerformanceCeiling(), 36000.0);
  // Mean climb rate: 36000 ft in (1/0.075) ln(10) = 30.70 minutes.
  EXPECT_NEAR(s.ClimbRate, 1173, 6);
  EXPECT_NEAR(s.ClimbTas, 400.0, 1e-9);
  EXPECT_NEAR(s.DescentRate, 2000.0, 1e-9);
  EXPECT_NEAR(s.DescentTas, 300.0, 1e-9);

  // 2000 - 0.05 h >= 300 up to 34000 ft.
  s.PerformanceWeight = 200000;
  EXPECT_EQ(ComputePerformanceCeiling(), 34000.0);
  // Half way in weight: 2500 - 0.0625 h >= 300 up to 35200 ft.
  s.PerformanceWeight = 150000;
  EXPECT_EQ(ComputePerformanceCeiling(), 35000.0);
  // Unknown weight: the heaviest row, the lower ceiling.
  s.PerformanceWeight = 0;
  EXPECT_EQ(ComputePerformanceCeiling(), 34000.0);
  // Never above the aircraft's highest cruise altitude.
  s.PerformanceWeight = 100000;
  s.MaxCruise = 33000;
  EXPECT_EQ(ComputePerformanceCeiling(), 33000.0);
}

TEST_F(PerformanceTest, LookupInterpolatesInWeightThenAltitude) {
  sim.Write("ovi/Aircraft/hand.perf", kHandTable);
  ASSERT_TRUE(LoadPerformanceData("hand.perf"));
  ASSERT_EQ(s.ClimbPerformanceCount, 4);
  double v = 0;
  ASSERT_TRUE(LookupPerformance(PerformanceSegment::kClimb, PerformanceColumn::kVerticalSpeed, 20000,
                                150000, v));
  EXPECT_DOUBLE_EQ(v, 1250.0);
  ASSERT_TRUE(LookupPerformance(PerformanceSegment::kClimb, PerformanceColumn::kFuelFlow, 0, 125000, v));
  EXPECT_DOUBLE_EQ(v, 9250.0);
  // Held at the ends of the table.
  ASSERT_TRUE(LookupPerformance(PerformanceSegment::kCruise, PerformanceColumn::kTas, 5000, 100000, v));
  EXPECT_DOUBLE_EQ(v, 350.0);
  ASSERT_TRUE(LookupPerformance(PerformanceSegment::kCruise, PerformanceColumn::kFuelFlow, 40000, 900000, v));
  EXPECT_DOUBLE_EQ(v, 6000.0);
  // A weight missing at one altitude: the nearest weight there.
  ASSERT_TRUE(LookupPerformance(PerformanceSegment::kCruise, PerformanceColumn::kFuelFlow, 10000, 200000, v));
  EXPECT_DOUBLE_EQ(v, 8000.0);
  ASSERT_TRUE(LookupPerformance(PerformanceSegment::kDescent, PerformanceColumn::kVerticalSpeed, 100, 0, v));
  EXPECT_DOUBLE_EQ(v, 2000.0);

  InterpolatePerformanceSpeeds();
  EXPECT_DOUBLE_EQ(s.ClimbTas, 400.0);
  EXPECT_DOUBLE_EQ(s.DescentTas, 300.0);
  s.CruiseAlt = 25000;
  s.PerformanceWeight = 100000;
  InterpolatePerformanceSpeeds();
  EXPECT_DOUBLE_EQ(s.CruiseTas, 400.0);
  // A cruise altitude no table reaches is held at the top, not walked to.
  s.CruiseAlt = 2000000000;
  InterpolatePerformanceSpeeds();
  EXPECT_DOUBLE_EQ(s.CruiseTas, 450.0);
  EXPECT_DOUBLE_EQ(s.ClimbTas, 400.0);
}

TEST_F(PerformanceTest, EmptyTablesGiveNoCeilingAndChangeNothing) {
  EXPECT_EQ(ComputePerformanceCeiling(), 0.0);
  sim.Write("ovi/Aircraft/nodescent.perf", "CLIMB\n0 400 3000 100000 9000\nCRUISE\n0 400 100000 5000\n");
  ASSERT_TRUE(LoadPerformanceData("nodescent.perf"));
  EXPECT_EQ(ComputePerformanceCeiling(), 0.0);
  EXPECT_EQ(s.ClimbRate, 2000);
  EXPECT_EQ(s.ClimbTas, 350.0);
  InterpolatePerformanceSpeeds();
  EXPECT_EQ(s.DescentTas, 380.0);  // its table is empty
  double v = 0;
  EXPECT_FALSE(LookupPerformance(PerformanceSegment::kDescent, PerformanceColumn::kTas, 0, 0, v));
  EXPECT_FALSE(LoadPerformanceData("missing.perf"));
  EXPECT_EQ(CountStatusMessages("missing.perf not found"), 1);
}

TEST_F(PerformanceTest, BadRowsAreSkippedAndNamed) {
  sim.Write("ovi/Aircraft/bad.perf",
            "0 400 3000 100000 9000\n"           // before any section
            "CLIMB\n"
            "5000 400 3000 100000\n"             // a field missing
            "5000 400 abc 100000 9000\n"         // not a number
            "5000 4000 3000 100000 9000\n"       // TAS out of range
            "5000 400 3000 100000 9000\n"
            "5000 400 2500 100000 8000\n"        // same altitude and weight: this one stays
            "UNITS\nWEIGHT STONES\n"
            "CRUISE\n"
            "5000 400 100000 nan\n");
  ASSERT_TRUE(LoadPerformanceData("bad.perf"));
  EXPECT_EQ(s.ClimbPerformanceCount, 1);
  EXPECT_EQ(s.ClimbPerformanceTable[1].vertical_speed, 2500.0);
  EXPECT_EQ(s.CruisePerformanceCount, 0);
  // One status for the file's bad lines: the first, why, and how many more.
  EXPECT_EQ(CountStatusMessages("Aircraft\\bad.perf: bad line 1 (row before any section) and 5 more skipped"), 1);
  EXPECT_EQ(CountStatusMessages("bad line"), 1);
  EXPECT_EQ(CountStatusMessages("1 repeated rows"), 1);
}

TEST_F(PerformanceTest, FullTableStopsAtItsCapacity) {
  std::string text = "CLIMB\n";
  for (int i = 0; i < kMaxPerformanceRows + 50; ++i)
    text += std::to_string(i * 100) + " 400 2000 100000 5000\n";
  sim.Write("ovi/Aircraft/big.perf", text);
  ASSERT_TRUE(LoadPerformanceData("big.perf"));
  EXPECT_EQ(s.ClimbPerformanceCount, kMaxPerformanceRows);
  EXPECT_EQ(s.ClimbPerformanceTable.refused(), 0);
  EXPECT_EQ(CountStatusMessages("table full"), 1);
}

// The sample aircraft: heavier means lower, and both ceilings are what the
// type is known for.
TEST_F(PerformanceTest, SampleAircraftCeilings) {
  testing::UseSampleFolder();
  s.AircraftConfigName = "B737-800";
  LoadAircraftConfig();
  s.PerformanceWeight = 150000;
  double mid = ComputePerformanceCeiling();
  EXPECT_EQ(mid, 37000.0);
  EXPECT_GT(s.ClimbRate, 1000);
  EXPECT_LT(s.ClimbRate, 3000);
  s.PerformanceWeight = 170000;
  EXPECT_EQ(ComputePerformanceCeiling(), 35000.0);
  s.PerformanceWeight = 115000;
  EXPECT_EQ(ComputePerformanceCeiling(), 41000.0);  // MaxCruise

  ResetModuleState();
  testing::UseSampleFolder();
  s.AircraftConfigName = "B747-400";
  LoadAircraftConfig();
  s.PerformanceWeight = 850000;
  double heavy = ComputePerformanceCeiling();
  s.PerformanceWeight = 600000;
  double light = ComputePerformanceCeiling();
  EXPECT_GE(heavy, 30000.0);
  EXPECT_LE(heavy, 33000.0);
  EXPECT_GE(light, 39000.0);
  EXPECT_LE(light, 43000.0);
}

}  // namespace
}  // namespace ovi::model
