// The tower view written through the module's FSUIPC client to the
// simulator stand-in's server.
#include <gtest/gtest.h>

#include <cstdint>

#include "sim/simulator.h"
#include "src/host/fsuipc.h"
#include "src/host/state.h"
#include "src/model/state.h"
#include "src/navdb/navdb.h"
#include "tests/support/navdata_fixture.h"

namespace ovi::navdb {
namespace {

class TowerViewTest : public test::SampleRegionTest {
 protected:
  void SetUp() override {
    test::SampleRegionTest::SetUp();
    host::host_state.Panels = sim.panels();
  }
  void TearDown() override { host::FsuipcClose(); }

  std::int64_t Server64(std::uint32_t offset) {
    const std::uint64_t lo = sim.fsuipc().ReadU32(offset), hi = sim.fsuipc().ReadU32(offset + 4);
    return static_cast<std::int64_t>(lo | (hi << 32));
  }

  sim::Simulator sim;
  State& s = navdb_state;
};

TEST_F(TowerViewTest, TheDestinationReachesTheServerInOneBatchAndOnlyThenIsReported) {
  SetTowerViewPosition();  // no destination loaded yet
  EXPECT_EQ(sim.fsuipc().batches(), 0);
  EXPECT_EQ(test::StatusLog(), "");

  LoadAirportDetails("KSEA", 2);
  LoadAirportDetails("KOLM", 0);  // an origin does not move the tower
  SetTowerViewPosition();
  EXPECT_EQ(sim.fsuipc().batches(), 1);
  EXPECT_EQ(s.LastTowerViewRequest.writes, 1);
  EXPECT_EQ(model::model_state.StatusMessageLog[model::model_state.StatusMessageCount], "TWR Pos 'KSEA' set");
  EXPECT_NEAR(static_cast<double>(Server64(0x0D50)) / 4294967296.0 * 90.0 / 10001750.0, 47.4490, 1e-6);
  EXPECT_NEAR(static_cast<double>(Server64(0x0D58)) / 18446744073709551616.0 * 360.0, -122.3093, 1e-6);
  EXPECT_NEAR(static_cast<double>(Server64(0x0D60)) / 4294967296.0, (433 + 150) * 0.3048, 1e-6);

  // Someone else's open link is neither used nor closed; nothing is claimed.
  std::uint8_t area[host::kFsuipcCallerArea] = {};
  std::uint32_t code = 0;
  ASSERT_EQ(host::FsuipcOpen(0, &code, area, sizeof area), 1);
  const int messages = model::model_state.StatusMessageCount;
  SetTowerViewPosition();
  EXPECT_EQ(model::model_state.StatusMessageCount, messages);
  EXPECT_EQ(s.LastTowerViewRequest.writes, 1);
  std::uint32_t value = 0;
  EXPECT_EQ(host::FsuipcRead(0x0D50, 4, &value, &code), 1) << "the other caller's link is still open";
  host::FsuipcClose();

  sim.fsuipc().Stop();  // the server gone: not set, not said to be
  SetTowerViewPosition();
  EXPECT_EQ(model::model_state.StatusMessageCount, messages);
}

}  // namespace
}  // namespace ovi::navdb
