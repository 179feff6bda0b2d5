// Random lines into both configuration readers and the performance reader:
// nothing may crash, write outside a table or leave a value that breaks the
// rules the readers promise. Deterministic seed, bounded size.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>

#include "src/host/module_state.h"
#include "src/model/config.h"
#include "src/model/performance.h"
#include "tests/model/sim_folder.h"

namespace ovi::model {
namespace {

std::string RandomLine(std::mt19937& rng) {
  static const char* const kWords[] = {
      "WptChgDist", "=", "HWB737NDMode", "hwmd11ndmode", "NdRange", "ModelId", "*", "V1", "1e308",
      "-1e308", "nan", "inf", "0x10", "320", "-7", "CLIMB", "[CRUISE]", "DESCENT", "UNITS", "WEIGHT",
      "KGS", ";", "_", "40000", "400", "2000", "150000", "5000", "PerformanceFile", "Test.perf",
      "HWB737NDBkgrdColorRed", "99999999999", "\t", "\r", "FlightPlansFolder", ";AIRAC"};
  std::uniform_int_distribution<int> kind(0, 9);
  std::uniform_int_distribution<int> count(0, 8);
  std::uniform_int_distribution<std::size_t> word(0, std::size(kWords) - 1);
  std::uniform_int_distribution<int> byte(0, 255);
  std::string line;
  if (kind(rng) == 0) {  // raw bytes, sometimes long
    int n = count(rng) * (kind(rng) == 0 ? 400 : 8);
    for (int i = 0; i < n; ++i) {
      char c = static_cast<char>(byte(rng));
      if (c != '\n') line += c;
    }
    return line;
  }
  int n = count(rng);
  for (int i = 0; i < n; ++i) {
    if (i) line += ' ';
    line += kWords[word(rng)];
  }
  return line;
}

std::string RandomFile(std::mt19937& rng, int lines) {
  std::string text;
  for (int i = 0; i < lines; ++i) text += RandomLine(rng) + "\n";
  return text;
}

TEST(ParserFuzz, RandomLinesNeverBreakTheReaders) {
  std::mt19937 rng(20240611);
  for (int round = 0; round < 60; ++round) {
    ResetModuleState();
    testing::SimFolder sim;
    sim.Write("ovi/ovi.cfg", RandomFile(rng, 40));
    sim.Write("ovi/Aircraft/Test.cfg", "PerformanceFile Test.perf\n" + RandomFile(rng, 40));
    sim.Write("ovi/Aircraft/Test.perf", RandomFile(rng, 60));
    sim.Write("ovi/navdata/navs.txt", RandomFile(rng, 5));
    LoadConfiguration();
    State& s = model_state;
    s.AircraftConfigName = "Test";
    LoadAircraftConfig();

    ASSERT_EQ(s.ConfigLoaded, 1);
    ASSERT_GE(s.HWB737NDMode, 1);
    ASSERT_LE(s.HWB737NDMode, 7);
    ASSERT_TRUE(s.HWMD11NDMode == 1 || (s.HWMD11NDMode >= 2 && s.HWMD11NDMode <= 5));
    ASSERT_GE(s.HWB737NDBkgrdColorRed, 0);
    ASSERT_LE(s.HWB737NDBkgrdColorRed, 255);
    ASSERT_TRUE(std::isfinite(s.WptChgDist));
    ASSERT_LE(s.ModelId.size(), kMaxTextValue);
    ASSERT_LE(s.StatusMessageCount, kMaxStatusMessages);
    ASSERT_LE(s.ClimbPerformanceCount, kMaxPerformanceRows);
    for (double w : {0.0, 100000.0, 1e12}) {
      s.PerformanceWeight = w;
      double c = ComputePerformanceCeiling();
      ASSERT_TRUE(std::isfinite(c));
      ASSERT_GT(s.ClimbRate, 0);
      ASSERT_TRUE(std::isfinite(s.DescentRate) && s.DescentRate > 0);
      InterpolatePerformanceSpeeds();
      ASSERT_TRUE(std::isfinite(s.ClimbTas) && std::isfinite(s.DescentTas));
    }
    for (double m : s.MinSpeedTable) ASSERT_TRUE(std::isfinite(m));
    ASSERT_EQ(s.StatusMessageLog.refused(), 0);
    ASSERT_EQ(s.ClimbPerformanceTable.refused(), 0);
    ASSERT_EQ(s.CruisePerformanceTable.refused(), 0);
    ASSERT_EQ(s.DescentPerformanceTable.refused(), 0);
  }
}

}  // namespace
}  // namespace ovi::model
