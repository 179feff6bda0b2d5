// Fuel loading and the active-runway exchange against ovi-sim's FSUIPC
// server, in one process.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "sim/simulator.h"
#include "src/flightplan/fuel.h"
#include "src/flightplan/runway_data.h"
#include "src/host/fsuipc.h"
#include "src/host/module_state.h"
#include "src/host/state.h"
#include "src/model/state.h"

namespace ovi::flightplan {
namespace {

class FsuipcUserTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetModuleState();
    host::host_state.Panels = sim.panels();
  }
  void TearDown() override { ResetModuleState(); }

  // Tank capacities in gallons, pinned so the model does not rewrite them.
  void Tanks(double per_gallon, double main, double centre, double aux, double tip) {
    auto& t = sim.tokens();
    t.Pin(306, per_gallon);
    t.Pin(292, main);
    t.Pin(298, main);
    t.Pin(290, centre);
    t.Pin(294, aux);
    t.Pin(300, aux);
    t.Pin(296, tip);
    t.Pin(302, tip);
  }
  std::uint32_t Level(std::uint32_t offset) { return sim.fsuipc().ReadU32(offset); }
  sim::Simulator sim;
};

struct FuelCase {
  const char* name;
  double main_gal, centre_gal, aux_gal, tip_gal;  // per tank, at 2 lb a gallon
  double fuel;
  std::uint32_t mains, centre, aux, tips;
};

TEST_F(FsuipcUserTest, FuelFillsThePairsInOrder) {
  constexpr std::uint32_t kFull = 8388608;
  const FuelCase cases[] = {
      // Mains 2 x 1000 lb, centre 3000 lb: 500 of 3000 lb left for the centre.
      {"part centre", 500, 1500, 0, 0, 2500.0, kFull, 1398101, 0, 0},
      {"exactly the mains", 500, 1500, 0, 0, 2000.0, kFull, 0, 0, 0},
      {"nothing", 500, 1500, 0, 0, 0.0, 0, 0, 0, 0},
      {"less than nothing", 500, 1500, 0, 0, -10.0, 0, 0, 0, 0},
      // Every tank full (2000 + 3000 + 1000 + 400 lb), the rest dropped.
      {"more than all", 500, 1500, 250, 100, 99999.0, kFull, kFull, kFull, kFull},
      // No centre tank: it counts as full and takes nothing; 600 of 1000 lb
      // go to the auxiliaries.
      {"no centre tank", 500, 0, 250, 100, 2600.0, kFull, kFull, 5033164, 0},
      // Tips last: 100 of 400 lb.
      {"part tips", 500, 1500, 250, 100, 6100.0, kFull, kFull, kFull, 2097152},
  };
  for (const FuelCase& c : cases) {
    SCOPED_TRACE(c.name);
    Tanks(2.0, c.main_gal, c.centre_gal, c.aux_gal, c.tip_gal);
    LoadFuelIntoTanks(99999.0);  // every tank full first, so an empty write shows
    LoadFuelIntoTanks(c.fuel);
    EXPECT_EQ(Level(kTankLeftMain), c.mains);
    EXPECT_EQ(Level(kTankRightMain), c.mains);
    EXPECT_EQ(Level(kTankCentre), c.centre);
    EXPECT_EQ(Level(kTankLeftAux), c.aux);
    EXPECT_EQ(Level(kTankRightAux), c.aux);
    EXPECT_EQ(Level(kTankLeftTip), c.tips);
    EXPECT_EQ(Level(kTankRightTip), c.tips);
  }
}

TEST_F(FsuipcUserTest, FuelIsOneBatchAndOneStatusText) {
  Tanks(6.7, 2000, 4000, 0, 0);
  const int before = sim.fsuipc().batches();
  LoadFuelIntoTanks(2500.0);
  EXPECT_EQ(sim.fsuipc().batches(), before + 1);
  ASSERT_EQ(model::model_state.StatusMessageCount, 1);
  EXPECT_EQ(model::model_state.StatusMessageLog[1], "FUEL '  2500' loaded");
  // The simulator's mains now hold 2500 lb between them.
  EXPECT_NEAR(sim.aircraft().fuel_left + sim.aircraft().fuel_right, 2500.0 / 6.7, 0.01);
  EXPECT_EQ(sim.aircraft().fuel_centre, 0.0);

  // A full log drops the text; the fuel still goes in.
  model::model_state.StatusMessageCount = model::kMaxStatusMessages;
  LoadFuelIntoTanks(0.0);
  EXPECT_EQ(model::model_state.StatusMessageCount, model::kMaxStatusMessages);
  EXPECT_EQ(Level(kTankLeftMain), 0u);
}

TEST_F(FsuipcUserTest, FuelWithoutALinkWritesAndSaysNothing) {
  Tanks(2.0, 500, 1500, 0, 0);
  std::uint8_t area[host::kFsuipcCallerArea];
  std::uint32_t code = 0;
  ASSERT_EQ(host::FsuipcOpen(0, &code, area, sizeof area), 1);  // someone else holds the link
  const int before = sim.fsuipc().batches();
  LoadFuelIntoTanks(2500.0);
  EXPECT_EQ(sim.fsuipc().batches(), before);
  EXPECT_EQ(model::model_state.StatusMessageCount, 0);
  host::FsuipcClose();

  sim.fsuipc().Stop();
  LoadFuelIntoTanks(2500.0);
  EXPECT_EQ(model::model_state.StatusMessageCount, 0);
}

TEST_F(FsuipcUserTest, RunwaysOfTheProviderBecomeTexts) {
  sim::AiRunways ksea;
  ksea.departures = {9, 1, 27, 2};
  ksea.arrivals = {0, 0, 0, 0};
  sim.fsuipc().SetAiRunways("KSEA", ksea);
  const int before = sim.fsuipc().batches();
  RequestRunwayData("KSEA");
  const model::State& m = model::model_state;
  EXPECT_EQ(m.AiDepartureRunway1, "09L\n");
  EXPECT_EQ(m.AiDepartureRunway2, "27R\n");
  EXPECT_EQ(m.AiArrivalRunway1, "");
  EXPECT_EQ(m.AiArrivalRunway2, "");
  EXPECT_EQ(m.McuAptPageCount, 2);
  // The request batch, one poll that found the answer, the clearing batch.
  EXPECT_EQ(sim.fsuipc().batches(), before + 3);
  EXPECT_EQ(sim.fsuipc().ReadU32(kRunwayExchangeRequest), 0u);

  // Designators 3 and 4 give C and W; 0 and 5 no letter; three digits stay.
  sim::AiRunways odd;
  odd.departures = {16, 0, 34, 5};
  odd.arrivals = {16, 3, 123, 4};
  sim.fsuipc().SetAiRunways("KSEA", odd);
  RequestRunwayData("KSEA");
  EXPECT_EQ(m.AiDepartureRunway1, "16\n");
  EXPECT_EQ(m.AiDepartureRunway2, "34\n");
  EXPECT_EQ(m.AiArrivalRunway1, "16C\n");
  EXPECT_EQ(m.AiArrivalRunway2, "123W\n");
}

TEST_F(FsuipcUserTest, RunwayIdentTravelsInFourBytes) {
  sim::AiRunways one;
  one.departures = {34, 2, 0, 0};
  sim.fsuipc().SetAiRunways("KSEA", one);
  RequestRunwayData("KSEAXYZ");  // only KSEA is sent
  EXPECT_EQ(model::model_state.AiDepartureRunway1, "34R\n");
  EXPECT_EQ(model::model_state.AiDepartureRunway2, "");

  sim::AiRunways short_ident;
  short_ident.departures = {1, 0, 0, 0};
  sim.fsuipc().SetAiRunways("S1", short_ident);
  RequestRunwayData("S1");  // ends in zero bytes inside the four
  EXPECT_EQ(model::model_state.AiDepartureRunway1, "01\n");
}

TEST_F(FsuipcUserTest, NoAnswerLeavesNoStaleRunways) {
  sim::AiRunways ksea;
  ksea.departures = {9, 1, 27, 2};
  ksea.arrivals = {9, 1, 0, 0};
  sim.fsuipc().SetAiRunways("KSEA", ksea);
  RequestRunwayData("KSEA");
  ASSERT_EQ(model::model_state.McuAptPageCount, 2);

  const int before = sim.fsuipc().batches();
  RequestRunwayData("KPDX");  // the provider knows nothing of it
  const model::State& m = model::model_state;
  EXPECT_EQ(m.AiDepartureRunway1 + m.AiDepartureRunway2 + m.AiArrivalRunway1 + m.AiArrivalRunway2, "");
  EXPECT_EQ(m.McuAptPageCount, 1);
  EXPECT_EQ(sim.fsuipc().batches(), before + 1 + kRunwayExchangePolls + 1);
  EXPECT_EQ(sim.fsuipc().ReadU32(kRunwayExchangeRequest), 0u);  // still cleared

  RequestRunwayData("KSEA");
  sim.fsuipc().Stop();
  RequestRunwayData("KSEA");
  EXPECT_EQ(m.AiDepartureRunway1, "");
  EXPECT_EQ(m.McuAptPageCount, 1);
}

}  // namespace
}  // namespace ovi::flightplan
