// The campaign's fixed seeds: flights the generator makes from seeds chosen
// to cover its kinds (every route the CDU types, the GPS planner's points
// across 0 and 180, polar, short, medium and long; each aircraft, with and
// without tables; holds in climb, cruise and descent; direct-tos and
// cruise levels on both units; restrictions at the gate and in the
// descent; VNAV off and on; speed entries; winds from calm to 150 kt; an
// end with no elevation), flown in ovi-sim and held to the table of rules
// with the campaign's margins (docs/flight-rules.md).
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "tests/sim/test_support.h"
#include "tools/flights/flight_generator.h"
#include "tools/flights/flight_rules.h"
#include "tools/flights/flight_setup.h"

namespace ovi::sim {
namespace {

const unsigned kSeeds[] = {1, 6, 8, 11, 20, 70, 124, 214, 300, 309, 333, 393};

// Rules these seeds break today, each with the fault it shows: reported,
// not failing the seed. A seed listed under a rule it holds fails, so the
// list only shrinks as the faults are mended.
struct KnownBreak {
  const char* rule;
  std::set<unsigned> seeds;
  const char* fault;
};
const KnownBreak kKnownBreaks[] = {
    {"limit", {214},
     "67.1: above the restriction speed below its altitude (a constraint typed for the climb lies below the "
     "aircraft, and VNAV, still climbing, descends to it with the climb's logic and no descent speed)"},
    {"path", {1, 124, 333, 393},
     "67.3/67.5: a waypoint crossed off the altitude RTE LEGS showed (procedure constraints, the descent after "
     "a cruise level or restriction change)"},
    {"pages", {1, 11, 214},
     "67.3/71.4: T/C, T/D or destination distances off the distance flown (the climb's distance in wind and "
     "after restrictions)"},
    {"pages", {309},
     "67.3: after the hold at PDT and the cruise level raised on the navigator in the climb, the navigator's "
     "T/D reads 5.9 NM (5 %) beyond where the descent begins"},
    {"agree", {333},
     "67.3: after the direct-to LAVAA, in 127 kt of headwind at 95 kt over the ground, VNAV below its path "
     "descends at 100-300 ft/min and crosses BEAVR at 4,046 ft, RTE LEGS showing 3,000"},
    {"agree", {393},
     "67.3: the descent placed in the crosswind met before the turn at OLM; after it 96 kt behind, VNAV at its "
     "greatest rate (3,000 ft/min) crosses ELMAA 819 ft above the 19,000 shown"},
    {"agree", {11, 124, 214, 309},
     "67.3/67.5: waypoint altitudes shown more than 500 ft from the crossing (seed 11: a cruise level lowered in "
     "cruise is flown, the waypoints ahead still shown at the old one; seed 309: one raised on the navigator in "
     "the climb)"},
    {"hold", {309},
     "67.3: the hold at PDT flown level at the cruise level raised on the navigator in the climb (FL386), the "
     "pages still showing the old one (FL316) there"},
};

class FlightCampaign : public ::testing::TestWithParam<unsigned> {};

TEST_P(FlightCampaign, SeedFlownAsAPilotFliesIt) {
  const unsigned seed = GetParam();
  test::ScratchDir dir("campaign_" + std::to_string(seed));
  const flights::Paths paths{OVI_SOURCE_DIR, OVI_MODULE_PATH, OVI_SIM_PATH};
  const flights::GeneratedFlight g = flights::GenerateFlight(seed, paths.source);
  std::string error;
  const std::string flight = dir / "flight";
  ASSERT_TRUE(flights::PrepareFlight(paths, flight, g.aircraft, g.aircraft_text, g.scenario, error)) << error;
  ASSERT_EQ(flights::FlyFlight(paths, flight), 0) << test::ReadFile(flight + "/ovi-sim.log");
  flights::FlightRecord record;
  ASSERT_TRUE(flights::ReadFlight(flight + "/sim", flight + "/scenario.txt", flight + "/out", record, error)) << error;
  flights::Margins margins;
  margins.pages_fraction = 0.03;
  const flights::Problems problems = flights::CheckFlight(record, margins);
  for (const std::string& rule : flights::RuleNames()) {
    const KnownBreak* known = nullptr;
    for (const KnownBreak& k : kKnownBreaks)
      if (rule == k.rule && k.seeds.count(seed) != 0) known = &k;
    const auto it = problems.find(rule);
    if (it == problems.end()) {
      if (known != nullptr)
        ADD_FAILURE() << "seed " << seed << " holds " << rule << ", listed as broken (" << known->fault
                      << "): take it off kKnownBreaks";
      continue;
    }
    std::string all;
    for (const std::string& p : it->second) all += "\n  " + p;
    if (known != nullptr) {
      std::printf("[ known    ] seed %u %s (%s):%s\n", seed, rule.c_str(), known->fault, all.c_str());
    } else {
      ADD_FAILURE() << "seed " << seed << " (" << g.kinds << ") " << rule << ":" << all
                    << "\nreplay: " << flights::ReplayCommand(paths, flight);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Seeds, FlightCampaign, ::testing::ValuesIn(kSeeds),
                         [](const auto& p) { return "seed_" + std::to_string(p.param); });

}  // namespace
}  // namespace ovi::sim
