// Random procedure files: the loader and every list builder must hold their
// tables' bounds and keep only well-formed records, whatever the bytes.
#include <memory>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "src/model/state.h"
#include "src/navdb/procedures.h"
#include "tests/support/navdata_fixture.h"

namespace ovi::navdb {
namespace {

using model::AirportProcedureSet;
using model::ProcedureRecord;

constexpr char kAirports[] =
    "A KTST 500 45.0000 -120.0000 TEST FIELD\n"
    "R 09 45.0000 -120.0200 8000 90.0 - 110.10 ASP\n"
    "R 27 45.0000 -119.9800 8000 270.0 - - ASP\n"
    "R 18L 45.0200 -120.0000 6000 180.0 - - ASP\n";

class Generator {
 public:
  explicit Generator(unsigned seed) : rng_(seed) {}

  int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }

  std::string Token() {
    static const std::vector<std::string> kWords = {
        "A",    "P",    "L",   "KTST",   "KTWO", "---", "-",      "IAF",   "IAF*", "FAF",  "MAP",  "ARC",
        "HP",   "IF",   "FO",  "*",      "09",   "27",  "18L",    "09,27", "36",   ",,",   "5000", "FL100",
        "45.1", "-120", "999", "nan",    "inf",  "1e9", "ALPHA1", "SEA",   "ILS",  "RNAV", "-0",   "0x10",
        "",     "ABCDEFGHIJKLMNOP"};
    if (Pick(10) == 0) {
      std::string s(static_cast<std::size_t>(1 + Pick(12)), ' ');
      for (char& c : s) c = static_cast<char>(Pick(256));
      return s;
    }
    return kWords[static_cast<std::size_t>(Pick(static_cast<int>(kWords.size())))];
  }

  std::string Line() {
    switch (Pick(8)) {
      case 0:
        return "A " + std::string(Pick(4) == 0 ? "KTWO" : "KTST");
      case 1:
        return "P " + Token() + (Pick(2) ? " " + Token() : std::string());
      case 2:
      case 3:
      case 4:
        return "L " + Token() + " FX" + std::to_string(Pick(50)) + " " + Token() + " " + Token() + " 45." +
               std::to_string(Pick(100)) + " -120." + std::to_string(Pick(100)) + (Pick(3) == 0 ? " FO" : "") +
               (Pick(3) == 0 ? " *" : "");
      default: {
        std::string s;
        const int n = Pick(12);
        for (int i = 0; i < n; ++i) s += Token() + (Pick(5) == 0 ? "\t" : " ");
        if (Pick(50) == 0) s += std::string(3000, 'z');
        return s;
      }
    }
  }

  std::string File(int lines) {
    std::string f = Pick(2) ? "A KTST\n" : "";
    for (int i = 0; i < lines; ++i) f += Line() + (Pick(10) == 0 ? "\r\n" : "\n");
    if (Pick(4) == 0 && !f.empty()) f.resize(static_cast<std::size_t>(Pick(static_cast<int>(f.size()))));
    return f;
  }

 private:
  std::mt19937 rng_;
};

template <typename Table>
void CheckTable(const Table& table, int count, int capacity, bool approach) {
  ASSERT_GE(count, 0);
  ASSERT_LE(count, capacity);
  EXPECT_EQ(table.refused(), 0);
  for (int i = 1; i <= count; ++i) {
    const ProcedureRecord& r = table[i];
    ASSERT_FALSE(r.name.empty());
    ASSERT_GE(r.leg_count, 1);
    ASSERT_LE(r.leg_count, model::kMaxProcedureLegs);
    EXPECT_EQ(r.legs.refused(), 0);
    for (int l = 1; l <= r.leg_count; ++l) {
      const model::ProcedureLeg& leg = r.legs[l];
      ASSERT_FALSE(leg.fix_ident.empty());
      ASSERT_TRUE(leg.altitude_text == "-" || leg.altitude_text.find_first_not_of("0123456789") == std::string::npos)
          << leg.altitude_text;
      ASSERT_TRUE(leg.latitude >= -90.0 && leg.latitude <= 90.0);
      if (approach) {
        ASSERT_EQ(leg.filter_text, r.runway);
      }
    }
    // What an earlier, longer load left is gone, and storage follows the legs.
    EXPECT_EQ(r.legs[r.leg_count + 1].fix_ident, "");
    EXPECT_LE(r.legs.StoredSlots(), r.leg_count + 1);
  }
  for (int i = count + 1; i <= capacity; ++i) ASSERT_TRUE(table[i].name.empty() && table[i].leg_count == 0) << i;
  EXPECT_LE(table.StoredSlots(), count + 2) << "the slot after the last may hold a refused record";
}

class ProcedureFuzzTest : public test::ModuleTest {
 protected:
  void SetUp() override {
    ModuleTest::SetUp();
    folder_ = std::make_unique<test::ScratchFolder>();
    folder_->Write("apts.txt", kAirports);
  }
  std::unique_ptr<test::ScratchFolder> folder_;
};

TEST_F(ProcedureFuzzTest, RandomFilesNeverBreakTheBounds) {
  for (unsigned seed = 1; seed <= 60; ++seed) {
    SCOPED_TRACE(seed);
    Generator g(seed);
    for (const char* f : {"sids.txt", "sids_user.txt", "stars.txt", "stars_user.txt", "apps.txt"})
      folder_->Write(f, g.File(g.Pick(400)));
    const int which = 1 + g.Pick(2);
    ASSERT_EQ(LoadAirportProcedures("KTST", which), 1);
    const AirportProcedureSet& s = procedure_state.AirportProcedureSets[which];
    ASSERT_EQ(s.RunwayCount, 3);
    CheckTable(s.SidTable, s.SidCount, model::kMaxSids, false);
    CheckTable(s.StarTable, s.StarCount, model::kMaxStars, false);
    CheckTable(s.ApproachTable, s.ApproachCount, model::kMaxApproaches, true);
    ASSERT_LE(s.ArrivalNameListCount, s.ApproachCount);

    // Every builder on every set, with names the files may or may not hold.
    const std::vector<std::string> args = {"------", "", "09", "27", "18L", "ALPHA1", "---", "IAF*", "FX3", "ILS"};
    for (int k = 0; k < 30; ++k) {
      const std::string a = args[static_cast<std::size_t>(g.Pick(static_cast<int>(args.size())))];
      const std::string b = args[static_cast<std::size_t>(g.Pick(static_cast<int>(args.size())))];
      ListSidRunways(a);
      ListSids(a, b);
      ListSidTransitions(a, b, g.Pick(3) - 1);
      FindSidIndex(a);
      model::model_state.RouteSid = a;
      model::model_state.RouteSidTransition = b;
      SelectSidEntry();
      ListStarRunways(a);
      ListStars(a, b);
      ListStarTransitions(a, b, g.Pick(2));
      FindStarIndex(a);
      model::model_state.RouteStarTransition = b;
      SelectStarEntry();
      ListApproachIafs(a, b);
      ListApproachIafEntries(a, b);
    }
    const ProcedureState& p = procedure_state;
    for (int set = 1; set <= 2; ++set) {
      const AirportProcedureSet& x = p.AirportProcedureSets[set];
      EXPECT_LE(x.DepartureRunwayListCount, x.RunwayCount);
      EXPECT_LE(x.ArrivalRunwayListCount, x.RunwayCount);
      EXPECT_LE(x.SidNameListCount, x.SidCount);
      EXPECT_LE(x.StarListCount, x.StarCount);
      EXPECT_LE(x.SidTransitionListCount, model::kMaxSidTransitions);
      EXPECT_LE(x.StarTransitionListCount, model::kMaxStarTransitions);
      EXPECT_LE(x.ApproachTransitionCount, x.ApproachCount);
      EXPECT_EQ(x.SidNameList.refused() + x.SidTransitionList.refused() + x.StarNameList.refused() +
                    x.StarTransitionList.refused() + x.ArrivalRunwayNameList.refused() +
                    x.DepartureRunwayNameList.refused() + x.ApproachTransitionTable.refused(),
                0);
    }
    EXPECT_LE(p.SidLegCount, kMaxSidLegRows);
    EXPECT_LE(p.StarLegCount, kMaxStarLegRows);
    EXPECT_EQ(p.SidList.refused() + p.StarList.refused(), 0);
    EXPECT_EQ(p.AirportProcedureSets.refused(), 0);
  }
}

TEST_F(ProcedureFuzzTest, ManyTransitionsStopAtTheListsCapacity) {
  // One SID with 300 legs of 150 different transitions.
  std::string sids = "A KTST\nP WIDE1\n";
  for (int i = 0; i < 300; ++i) sids += "L T" + std::to_string(1000 + i / 2) + " FIX - - 45.0 -120.0\n";
  folder_->Write("sids.txt", sids);
  ASSERT_EQ(LoadAirportProcedures("KTST", 1), 1);
  ListSidTransitions("WIDE1", "------", 1);
  const AirportProcedureSet& s = procedure_state.AirportProcedureSets[1];
  ASSERT_EQ(s.SidTransitionListCount, model::kMaxSidTransitions);
  EXPECT_EQ(s.SidTransitionList[1].name, "T1000");
  EXPECT_EQ(s.SidTransitionList[model::kMaxSidTransitions].name, "T1099");
  EXPECT_EQ(s.SidTransitionList.refused(), 0);
  model::model_state.RouteSid = "WIDE1";
  model::model_state.RouteSidTransition = "T1149";
  SelectSidEntry();
  EXPECT_EQ(procedure_state.SidLegCount, 2);
}

}  // namespace
}  // namespace ovi::navdb
