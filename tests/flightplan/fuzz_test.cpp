// Damaged route and .PLN files: the sample files mutated by a fixed-seed
// generator (so every run feeds the same bytes) must never crash, read out
// of bounds or leave a route that breaks the table's invariants.
#include <cmath>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "src/flightplan/library.h"
#include "src/flightplan/pln_convert.h"
#include "src/flightplan/route_file.h"
#include "src/flightplan/state.h"
#include "src/model/state.h"
#include "src/util/text.h"
#include "tests/flightplan/test_support.h"

namespace ovi::flightplan {
namespace {

using test::FlightPlanTest;

State& fpl() { return flightplan_state; }

std::string Mutate(std::string s, std::mt19937& rng) {
  static const char* const kFragments[] = {"\n", "\r\n", ",", "*", ".", "'", "\"", "=", ";", " ", "\xC2", "\xB0",
                                        "<ATCWaypoint id=\"", "</ATCWaypoint>", "<WorldPosition>",
                                        "</WorldPosition>", "<DepartureID>", "waypoint.", "waypoint.0=",
                                        "departure_id=", "[FlightPlan]", "---", "nan", "1e999"};
  const int edits = 1 + static_cast<int>(rng() % 8);
  for (int e = 0; e < edits; ++e) {
    const std::size_t at = s.empty() ? 0 : rng() % (s.size() + 1);
    switch (rng() % 7) {
      case 0:  // flip a byte
        if (!s.empty()) s[at % s.size()] = static_cast<char>(rng() & 0xFF);
        break;
      case 1:  // cut
        s.erase(at, rng() % 40);
        break;
      case 2:  // insert a fragment of the formats
        s.insert(at, kFragments[rng() % std::size(kFragments)]);
        break;
      case 3:  // a long run
        s.insert(at, std::string(1 + rng() % 3000, "x 9,*"[rng() % 5]));
        break;
      case 4:  // duplicate a chunk
        if (!s.empty()) s.insert(at, s.substr(rng() % s.size(), rng() % 200));
        break;
      case 5:  // truncate
        s.resize(at);
        break;
      default:  // random bytes
        for (int i = 0, n = static_cast<int>(rng() % 16); i < n; ++i) s.insert(at, 1, static_cast<char>(rng() & 0xFF));
        break;
    }
  }
  return s;
}

void CheckScratchRoute() {
  const int last = fpl().ScratchFlightPlanLastIndex;
  ASSERT_GE(last, -1);
  ASSERT_LE(last, 200);
  for (int i = 0; i <= last; ++i) {
    const model::FlightPlanWaypoint& wp = fpl().ScratchFlightPlan[i];
    ASSERT_FALSE(wp.ident.empty());
    ASSERT_TRUE(std::isfinite(wp.latitude) && std::fabs(wp.latitude) <= 90.0);
    ASSERT_TRUE(std::isfinite(wp.longitude) && std::fabs(wp.longitude) <= 180.0);
  }
  ASSERT_EQ(fpl().ScratchFlightPlan.refused(), 0);
}

// Every line temp.rte gets is a complete route line.
void CheckTempRoute(const std::string& text) {
  ASSERT_EQ(text.rfind("[FlightPlan]\n", 0), 0u);
  std::size_t pos = text.find('\n') + 1;
  while (pos < text.size()) {
    std::size_t nl = text.find('\n', pos);
    ASSERT_NE(nl, std::string::npos);
    const auto tok = util::SplitBlanks(std::string_view(text).substr(pos, nl - pos));
    ASSERT_EQ(tok.size(), 4u) << text.substr(pos, nl - pos);
    double v = 0;
    ASSERT_TRUE(util::ParseDouble(tok[1], v) && std::fabs(v) <= 90.0);
    ASSERT_TRUE(util::ParseDouble(tok[2], v) && std::fabs(v) <= 180.0);
    pos = nl + 1;
  }
}

TEST_F(FlightPlanTest, DamagedRouteAndPlnFilesAreReadSafely) {
  const char* samples[] = {"KSEA-KPDX.rte", "KBFI-KGEG.RTE", "KPAE-KBLI.PLN",
                           "KOLM-KPDX.PLN", "KYKM-KSEA.PLN", "KEAT-KGEG.pln"};
  std::mt19937 rng(20240516);
  constexpr int kRounds = 120;
  for (const char* sample : samples) {
    const std::string original = test::SampleBytes(sample);
    const bool pln = std::string(sample).find(".PLN") != std::string::npos ||
                     std::string(sample).find(".pln") != std::string::npos;
    for (int round = 0; round < kRounds; ++round) {
      SCOPED_TRACE(std::string(sample) + " round " + std::to_string(round));
      const std::string damaged = Mutate(original, rng);
      const std::string name = pln ? "FUZZ.PLN" : "FUZZ.RTE";
      sim->WritePlan(name, damaged);
      if (pln) {
        // A plan damaged down to fewer than two waypoints is refused.
        const int result = ConvertPlnToRte(name);
        ASSERT_TRUE(result == 0 || result == kPlnNotLoaded);
        CheckTempRoute(test::ReadBytes(sim->plans() / "temp.rte"));
      }
      fpl().ScratchFlightPlanLastIndex = -1;
      ReadFlightPlanFile(name, 1);
      CheckScratchRoute();
      model::model_state.StatusMessageCount = 0;
    }
  }
}

TEST_F(FlightPlanTest, HostileShapesOfWholeFiles) {
  const std::string shapes[] = {
      std::string(200000, '\n'),
      std::string(100000, '<'),
      "<DepartureID>" + std::string(50000, ' ') + std::string(20000, '\xB0'),
      [] {  // deep nesting inside the XML form
        std::string s = "<a><DepartureID>X</DepartureID>";
        for (int i = 0; i < 100000; ++i) s += "<ATCWaypoint id=\"N\">";
        return s;
      }(),
      "[FlightPlan]\n" + std::string(1 << 20, 'A') + " 1 2 WPT\n",
      std::string("[FlightPlan]\nA 1 2 WPT\0B 3 4 WPT\n", 28),
  };
  for (const std::string& shape : shapes) {
    for (const char* name : {"H.PLN", "H.RTE"}) {
      sim->WritePlan(name, shape);
      fpl().ScratchFlightPlanLastIndex = -1;
      ReadFlightPlanFile(name, 1);
      CheckScratchRoute();
    }
  }
  ScanFlightPlanFolder();
  EXPECT_GE(fpl().FlightPlanLibraryCount, 1);
}

}  // namespace
}  // namespace ovi::flightplan
