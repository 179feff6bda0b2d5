// Loading an airport's procedures into the origin and destination sets:
// the sample airports, reloads, user files and bad input.
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "src/host/module_state.h"
#include "src/model/state.h"
#include "src/navdb/navdb.h"
#include "src/navdb/procedures.h"
#include "tests/support/navdata_fixture.h"

namespace ovi::navdb {
namespace {

using model::AirportProcedureSet;
using ProceduresTest = test::ModuleTest;
using test::ScratchFolder;
using test::StatusLog;

class SampleLoadTest : public test::SampleRegionTest {
 protected:
  void SetUp() override {
    SampleRegionTest::SetUp();
    messages_before_ = model::model_state.StatusMessageCount;
  }
  AirportProcedureSet& Set(int which) { return procedure_state.AirportProcedureSets[which]; }
  int messages_before_ = 0;
};

TEST_F(SampleLoadTest, FillsTheOriginSetFromTheAirportAndProcedureFiles) {
  ASSERT_EQ(LoadAirportProcedures("KSEA", 1), 1);
  const AirportProcedureSet& s = Set(1);
  EXPECT_EQ(s.AirportIdent, "KSEA");
  EXPECT_NEAR(s.AirportLatitude, 47.4490, 1e-9);
  EXPECT_NEAR(s.AirportLongitude, -122.3093, 1e-9);
  EXPECT_EQ(navdb_state.AirportElevationText, "433");
  ASSERT_EQ(s.RunwayCount, 6);
  EXPECT_EQ(s.Runways[1].number_text, "16L");
  EXPECT_NEAR(s.Runways[1].latitude, 47.46382, 1e-9);
  EXPECT_EQ(s.Runways[1].length, 11901);
  EXPECT_EQ(s.Runways[1].frequency_text, "110 30");
  EXPECT_EQ(s.Runways[6].number_text, "34L");
  EXPECT_EQ(navdb_state.AirportRunwayCount, 0) << "the displays' runway table stays as it was";

  ASSERT_EQ(s.SidCount, 4);
  EXPECT_EQ(s.SidTable[1].name, "SUMMA2");
  EXPECT_EQ(s.SidTable[1].runway, "16L,16C,16R");
  EXPECT_EQ(s.SidTable[2].runway, "34L,34C,34R");
  EXPECT_EQ(s.SidTable[3].name, "HAROB6");
  EXPECT_EQ(s.SidTable[3].runway, "");
  const model::ProcedureRecord& summa = s.SidTable[1];
  ASSERT_EQ(summa.leg_count, 6);
  EXPECT_EQ(summa.legs[1].transition, "") << "written \"-\"";
  EXPECT_EQ(s.ApproachTable[1].legs[3].transition, "---");
  EXPECT_EQ(summa.legs[1].fix_ident, "FOURT");
  EXPECT_EQ(summa.legs[1].altitude_text, "3000");
  EXPECT_EQ(summa.legs[1].flyover, 1);
  EXPECT_EQ(summa.legs[3].altitude_text, "-");
  EXPECT_EQ(summa.legs[3].flyover, 0);
  EXPECT_EQ(summa.legs[6].transition, "YKM");
  EXPECT_NEAR(summa.legs[6].latitude, 46.5704, 1e-9);
  EXPECT_EQ(s.SidTable[3].legs[5].ninth_text, "*");
  EXPECT_EQ(s.SidTable[3].legs[4].ninth_text, "");
  EXPECT_EQ(s.StarCount, 2);

  ASSERT_EQ(s.ApproachCount, 3);
  const model::ProcedureRecord& ils = s.ApproachTable[1];
  EXPECT_EQ(ils.name, "ILS");
  EXPECT_EQ(ils.type, "ILS");
  EXPECT_EQ(ils.runway, "16C");
  ASSERT_EQ(ils.leg_count, 6);
  EXPECT_EQ(ils.legs[1].role, "IAF");
  EXPECT_EQ(ils.legs[4].role, "FAF");
  EXPECT_EQ(ils.legs[5].role, "MAP");
  EXPECT_EQ(ils.legs[5].flyover, 1);
  EXPECT_EQ(ils.legs[6].role, "HP");
  EXPECT_EQ(ils.legs[3].filter_text, "16C") << "an approach's legs lead to its runway";
  EXPECT_EQ(ils.legs[3].approach_name, "ILS");
  EXPECT_EQ(s.ApproachTable[2].legs[4].role, "IAF*");
  EXPECT_EQ(s.SidTable[1].legs[1].approach_name, "") << "SID legs belong to no approach";

  EXPECT_EQ(model::model_state.StatusMessageCount, messages_before_) << StatusLog();
}

TEST_F(SampleLoadTest, ListsTheDestinationsApproachesAsArrivalNames) {
  ASSERT_EQ(LoadAirportProcedures("KPDX", 2), 1);
  const AirportProcedureSet& s = Set(2);
  ASSERT_EQ(s.ArrivalNameListCount, 3);
  EXPECT_EQ(s.ArrivalNameList[1].via, "ILS");
  EXPECT_EQ(s.ArrivalNameList[1].to, "10R");
  EXPECT_EQ(s.ArrivalNameList[2].via, "RNAV");
  EXPECT_EQ(s.ArrivalNameList[2].to, "28L");
  EXPECT_EQ(s.ArrivalNameList[3].via, "VOR");
  EXPECT_EQ(s.ArrivalNameList[3].to, "21");
  EXPECT_EQ(s.RunwayCount, 6);
  EXPECT_EQ(s.SidCount, 3);
  EXPECT_EQ(s.StarCount, 2);
  EXPECT_EQ(Set(1).AirportIdent, "") << "the origin set is not touched";
}

TEST_F(SampleLoadTest, ASecondAirportLeavesNothingOfTheFirst) {
  ASSERT_EQ(LoadAirportProcedures("KPDX", 2), 1);
  ASSERT_EQ(LoadAirportProcedures("KSEA", 1), 1);
  ListSids("------", "------");
  ListSidRunways("------");
  ListSidTransitions("ELMAA3", "------", 0);
  FindSidIndex("ELMAA3");
  ASSERT_EQ(procedure_state.SelectedSidIndex, 4);
  ASSERT_GT(Set(1).SidNameListCount, 0);

  ASSERT_EQ(LoadAirportProcedures("KGEG", 1), 1);
  const AirportProcedureSet& s = Set(1);
  EXPECT_EQ(s.AirportIdent, "KGEG");
  EXPECT_EQ(navdb_state.AirportElevationText, "2376");
  ASSERT_EQ(s.RunwayCount, 4);
  EXPECT_EQ(s.Runways[5].number_text, "");
  ASSERT_EQ(s.SidCount, 2);
  EXPECT_EQ(s.SidTable[1].name, "FOURL3");
  EXPECT_EQ(s.SidTable[3].name, "");
  EXPECT_EQ(s.SidTable[4].leg_count, 0);
  EXPECT_EQ(s.SidTable[4].legs[1].fix_ident, "");
  EXPECT_EQ(s.SidTable[2].legs[5].fix_ident, "") << "ZOOMR1 has 4 legs; no leg of HAROB6 is left";
  EXPECT_EQ(s.SidNameListCount, 0);
  EXPECT_EQ(s.SidNameList[1].name, "");
  EXPECT_EQ(s.DepartureRunwayListCount, 0);
  EXPECT_EQ(s.SidTransitionListCount, 0);
  EXPECT_EQ(procedure_state.SelectedSidIndex, 0) << "the index pointed into KSEA's table";

  EXPECT_EQ(Set(2).AirportIdent, "KPDX") << "the destination set is its own";
  EXPECT_EQ(Set(2).SidCount, 3);
}

TEST_F(SampleLoadTest, ReloadingTheSameAirportKeepsTheSelectionIndex) {
  ASSERT_EQ(LoadAirportProcedures("KSEA", 2), 1);
  FindStarIndex("GLASR3");
  ASSERT_EQ(LoadAirportProcedures("KSEA", 2), 1);
  EXPECT_EQ(procedure_state.SelectedStarIndex, 2);
}

TEST_F(SampleLoadTest, AnUnknownAirportOrSetChangesNothing) {
  ASSERT_EQ(LoadAirportProcedures("KSEA", 1), 1);
  EXPECT_EQ(LoadAirportProcedures("KXYZ", 1), 0);
  EXPECT_EQ(LoadAirportProcedures("", 1), 0);
  EXPECT_EQ(LoadAirportProcedures(std::string(300, 'K'), 1), 0);
  EXPECT_EQ(LoadAirportProcedures("KPDX", 0), 0);
  EXPECT_EQ(LoadAirportProcedures("KPDX", 3), 0);
  EXPECT_EQ(Set(1).AirportIdent, "KSEA");
  EXPECT_EQ(Set(1).SidCount, 4);
  EXPECT_EQ(Set(2).AirportIdent, "");
  EXPECT_EQ(navdb_state.AirportElevationText, "433");
}

TEST_F(SampleLoadTest, AnAirportWithoutProceduresLoadsItsRunways) {
  ASSERT_EQ(LoadAirportProcedures("KBFI", 2), 1);
  EXPECT_EQ(Set(2).RunwayCount, 4);
  EXPECT_EQ(Set(2).SidCount + Set(2).StarCount + Set(2).ApproachCount, 0);
  EXPECT_EQ(Set(2).ArrivalNameListCount, 0);
  EXPECT_EQ(model::model_state.StatusMessageCount, messages_before_);
}

TEST_F(ProceduresTest, WorksBeforeTheDatabaseIsLoaded) {
  test::UseSampleData();
  ASSERT_EQ(navdb_state.AirportCount, 0);
  ASSERT_EQ(LoadAirportProcedures("KGEG", 2), 1);
  EXPECT_EQ(procedure_state.AirportProcedureSets[2].RunwayCount, 4);
  EXPECT_EQ(procedure_state.AirportProcedureSets[2].ApproachCount, 3);
}

// ---- hand-written files ----

constexpr char kAirports[] =
    "A KTST 500 45.0000 -120.0000 TEST FIELD\n"
    "R 09 45.0000 -120.0200 8000 90.0 - 110.10 ASP\n"
    "R 27 45.0000 -119.9800 8000 270.0 - - ASP\n"
    "R 18 45.0200 -120.0000 6000 180.0 - - ASP\n"
    "A KTWO 100 46.0000 -121.0000 SECOND FIELD\n"
    "R 01 45.9900 -121.0000 5000 10.0 - - ASP\n";

class ScratchLoadTest : public ProceduresTest {
 protected:
  void SetUp() override {
    ProceduresTest::SetUp();  // before the folder: a reset forgets the simulator folder
    folder_ = std::make_unique<ScratchFolder>();
    folder_->Write("apts.txt", kAirports);
  }
  std::unique_ptr<ScratchFolder> folder_;
  AirportProcedureSet& Set(int which) { return procedure_state.AirportProcedureSets[which]; }
};

TEST_F(ScratchLoadTest, MissingFilesAreReportedOnceAndTheAirportStillLoads) {
  ASSERT_EQ(LoadAirportProcedures("KTST", 1), 1);
  ASSERT_EQ(LoadAirportProcedures("KTST", 2), 1);
  EXPECT_EQ(StatusLog(), "sids.txt not found\nstars.txt not found\napps.txt not found\n");
  EXPECT_EQ(Set(2).RunwayCount, 3);
  EXPECT_EQ(Set(2).SidCount, 0);
}

TEST_F(ScratchLoadTest, EmptyFilesGiveNoProceduresAndNoMessages) {
  for (const char* f : {"sids.txt", "stars.txt", "apps.txt", "sids_user.txt", "stars_user.txt"}) folder_->Write(f, "");
  ASSERT_EQ(LoadAirportProcedures("KTST", 1), 1);
  EXPECT_EQ(Set(1).SidCount + Set(1).StarCount + Set(1).ApproachCount, 0);
  EXPECT_EQ(StatusLog(), "");
}

TEST_F(ScratchLoadTest, BadLinesAreSkippedOrCorrectedAndReportedOncePerFile) {
  std::string sids =
      "; a comment\n"
      "L --- EARLY - - 45.1 -120.1\n"  // not in any block: not read
      "A KTST\n"
      "L --- NOREC - - 45.1 -120.1\n"           // 1 leg before any record
      "P EMPTY1 09\n"                           // 2 a record without legs
      "P GOOD1 09,27,99\n"                      // 3 runway 99 left out
      "L --- AAAAA FOO - 45.1 -120.1\n"         // 4 unknown role: cleared
      "L --- BBBBB - FL180 45.2 -120.2 FO\n"    // 5 altitude cleared
      "L --- CCCCC IAF 3000 45.3 -120.3 XX\n"   // 6 unknown flag ignored
      "L --- DDDDD - 3000 95.0 -120.3\n"        // 7 bad latitude: skipped
      "L --- EEEEE - 3000 45.4\n"               // 8 too few fields
      "Q something\n"                           // 9 unknown line
      "P NORWY 36,04\n"                         // 10 no runway of the airport
      "L --- FFFFF - - 45.5 -120.5\n"           // 11 leg of a refused record
      "P TOO MANY FIELDS\n"                     // 12
      "L --- GGGGG - - 45.5 -120.5\n"           // 13
      "P COMMAS ,,\n"                           // 14 names no runway at all
      "L --- GGGGG - - 45.5 -120.5\n"           // 15
      "P GOOD2\n"
      "L ABC HHHHH - 12000 45.6 -120.6 * FO\n" +
      std::string(5000, 'x') + "\n" +          // 16 an over-long line
      "A KTWO\n"
      "P OTHER\n"
      "L --- OTHER - - 46.1 -121.1\n"
      "garbage in another airport's block is not examined\n";
  folder_->Write("sids.txt", sids);
  std::string stars = "A KTST\nP LONG\n";
  for (int i = 1; i <= 305; ++i) stars += "L --- FIX" + std::to_string(i) + " - 5000 45.0 -120.0\n";  // 5 too many
  folder_->Write("stars.txt", stars);
  folder_->Write("apps.txt",
                "A KTST\n"
                "P ILS 09\n"
                "L IAF1 ALPHA IAF 4000 45.0 -120.5\n"
                "L --- BRAVO FAF 2000 45.0 -120.2\n"
                "L --- RW09 MAP - 45.0 -120.02 FO\n"
                "P VOR 18,27\n"  // 1 an approach leads to one runway
                "L --- CHARL IAF 4000 45.3 -120.0\n"
                "P LOC 36\n"  // 3 no such runway (and its leg)
                "L --- DELTA IAF 4000 45.3 -120.0\n"
                "P NDB\n"  // a circling approach to no runway
                "L --- ECHOO IAF 4000 45.3 -120.0\n");
  folder_->Write("sids_user.txt", "");
  folder_->Write("stars_user.txt", "");

  ASSERT_EQ(LoadAirportProcedures("KTST", 1), 1);
  const AirportProcedureSet& s = Set(1);
  ASSERT_EQ(s.SidCount, 2);
  const model::ProcedureRecord& good = s.SidTable[1];
  EXPECT_EQ(good.name, "GOOD1");
  EXPECT_EQ(good.runway, "09,27");
  ASSERT_EQ(good.leg_count, 3);
  EXPECT_EQ(good.legs[1].role, "");
  EXPECT_EQ(good.legs[2].altitude_text, "-");
  EXPECT_EQ(good.legs[2].flyover, 1);
  EXPECT_EQ(good.legs[3].role, "IAF");
  EXPECT_EQ(good.legs[3].fix_ident, "CCCCC");
  EXPECT_EQ(s.SidTable[2].name, "GOOD2");
  EXPECT_EQ(s.SidTable[2].legs[1].transition, "ABC");
  EXPECT_EQ(s.SidTable[2].legs[1].ninth_text, "*");
  EXPECT_EQ(s.SidTable[2].legs[1].flyover, 1);
  EXPECT_EQ(s.SidTable[3].name, "");

  ASSERT_EQ(s.StarCount, 1);
  EXPECT_EQ(s.StarTable[1].leg_count, 300);
  EXPECT_EQ(s.StarTable[1].legs[300].fix_ident, "FIX300");
  EXPECT_EQ(s.StarTable.refused(), 0);
  EXPECT_EQ(s.StarTable[1].legs.refused(), 0);

  ASSERT_EQ(s.ApproachCount, 2);
  EXPECT_EQ(s.ApproachTable[1].name, "ILS");
  EXPECT_EQ(s.ApproachTable[1].legs[1].transition, "IAF1");
  EXPECT_EQ(s.ApproachTable[2].name, "NDB");
  EXPECT_EQ(s.ApproachTable[2].runway, "");
  EXPECT_EQ(s.ApproachTable[2].legs[1].filter_text, "");

  EXPECT_EQ(StatusLog(),
            "sids.txt: bad line 4 and 15 more for KTST\n"
            "stars.txt: bad line 303 and 4 more for KTST\n"
            "apps.txt: bad line 6 and 3 more for KTST\n");
}

// A runway line the airport file refuses is blamed there, by its number,
// once, whether the airport is found through the database or by reading
// the file; a procedure naming that runway loses it without blame of its
// own, one naming a runway the airport lacks is still blamed.
TEST_F(ScratchLoadTest, ARefusedRunwayLineIsBlamedOnTheAirportFileOnce) {
  folder_->Write("apts.txt",
                 "A KTWO 100 46.0 -121.0\nR 01 45.99 -121.0 5000 10.0\n"
                 "A KTST 500 45.0 -120.0\nR 09 45.0 -120.02 8000 90.0\nR 27 45.0 -119.98 0 270.0\n");
  folder_->Write("sids.txt", "A KTST\nP BOTH 09,27\nL - AAAAA - - 45.1 -120.1\nP ONLY27 27\nL - BBBBB - - 45.1 -120.1\n");
  folder_->Write("stars.txt", "A KTST\nP ARR 27,99\nL - CCCCC - - 45.1 -120.1\n");
  folder_->Write("apps.txt", "A KTST\nP ILS 27\nL - DDDDD IAF 3000 45.1 -120.1\n");
  for (const char* f : {"sids_user.txt", "stars_user.txt"}) folder_->Write(f, "");
  const std::string blame = "apts.txt: bad line 5 skipped\nstars.txt: bad line 2 and 1 more for KTST\n";
  for (bool database : {false, true}) {
    SCOPED_TRACE(database ? "through the database" : "by reading the file");
    if (database) {
      LoadNavDatabase();
      navdb_state.ReportedRunwayLines.clear();
    }
    model::model_state.StatusMessageCount = 0;
    ASSERT_EQ(LoadAirportProcedures("KTST", 1), 1);
    const AirportProcedureSet& s = Set(1);
    EXPECT_EQ(s.RunwayCount, 1);
    ASSERT_EQ(s.SidCount, 1);
    EXPECT_EQ(s.SidTable[1].runway, "09");
    EXPECT_EQ(s.StarCount + s.ApproachCount, 0);
    EXPECT_EQ(StatusLog(), blame);
  }
  LoadAirportDetails("KTST", 0);
  EXPECT_EQ(StatusLog(), blame + "APT 'KTST' Set\n");
}

TEST_F(ScratchLoadTest, ApproachesAreTellableApartByTypeAndRunway) {
  // Pages choose an approach by its type and runway and take every leg whose
  // runway text holds the chosen runway, so two approaches of one type must
  // not be able to stand for each other.
  folder_->Write("apps.txt",
                "A KTST\n"
                "P ILS 09\n"
                "L IAF1 ALPHA IAF 4000 45.0 -120.5\n"
                "L - BRAVO FAF 2000 45.0 -120.2\n"
                "L - RW09 MAP - 45.0 -120.02 FO\n"
                "P ILS 27\n"  // the same type to another runway: kept
                "L - CHARL IAF 4000 45.0 -119.5\n"
                "P ILS 09\n"                        // 1 the same type and runway again
                "L - DELTA IAF 4000 45.0 -120.5\n"  // 2
                "P VOR\n"                           // a circling VOR, the first of its type: kept
                "L - ECHOO IAF 4000 45.3 -120.0\n"
                "P VOR 18\n"                        // 3 the circling VOR already serves 18
                "L - FOXTR IAF 4000 45.3 -120.0\n"  // 4
                "P ILS\n"                           // 5 a circling ILS would serve 09 and 27 too
                "L - GOLFF IAF 4000 45.3 -120.0\n");  // 6
  folder_->Write("sids.txt", "A KTST\nP DEP1\nL - HOTEL - - 45.1 -120.1\n");
  ASSERT_EQ(LoadAirportProcedures("KTST", 2), 1);
  const AirportProcedureSet& s = Set(2);
  ASSERT_EQ(s.ApproachCount, 3);
  EXPECT_EQ(s.ArrivalNameList[1].via + " " + s.ArrivalNameList[1].to, "ILS 09");
  EXPECT_EQ(s.ArrivalNameList[2].via + " " + s.ArrivalNameList[2].to, "ILS 27");
  EXPECT_EQ(s.ArrivalNameList[3].via + " " + s.ArrivalNameList[3].to, "VOR ");
  EXPECT_EQ(s.ApproachTable[1].leg_count, 3) << "no leg of the refused ILS 09 joined it";

  // An approach's common part is "---" however it is written, so the
  // approach-transition list can name it; a SID's stays empty.
  EXPECT_EQ(s.ApproachTable[1].legs[1].transition, "IAF1");
  EXPECT_EQ(s.ApproachTable[1].legs[2].transition, "---");
  EXPECT_EQ(s.ApproachTable[2].legs[1].transition, "---");
  EXPECT_EQ(s.SidTable[1].legs[1].transition, "");
  ListApproachIafs("ILS", "---");
  ASSERT_EQ(s.ArrivalRunwayListCount, 1);
  EXPECT_EQ(s.ArrivalRunwayNameList[1].name, "27");

  EXPECT_NE(StatusLog().find("apps.txt: bad line 8 and 5 more for KTST"), std::string::npos) << StatusLog();
}

TEST_F(ScratchLoadTest, AFullTableStopsAtItsCapacity) {
  std::string sids = "A KTST\n";
  for (int i = 1; i <= model::kMaxSids + 3; ++i)
    sids += "P S" + std::to_string(i) + "\nL --- FIX - - 45.0 -120.0\n";
  folder_->Write("sids.txt", sids);
  ASSERT_EQ(LoadAirportProcedures("KTST", 1), 1);
  const AirportProcedureSet& s = Set(1);
  EXPECT_EQ(s.SidCount, model::kMaxSids);
  EXPECT_EQ(s.SidTable[model::kMaxSids].name, "S40");
  EXPECT_EQ(s.SidTable.refused(), 0);
  EXPECT_NE(StatusLog().find("sids.txt: bad line 82 and 5 more for KTST"), std::string::npos) << StatusLog();
}

// A full table of 300-leg procedures keeps its last leg and refuses the one
// after; reloaded for an airport of one short procedure, it holds that one
// alone and takes storage for it alone.
TEST_F(ScratchLoadTest, AFullAirportReloadedForAnotherHoldsOnlyTheOther) {
  std::string sids = "A KTST\n";
  for (int p = 1; p <= model::kMaxSids; ++p) {
    sids += "P S" + std::to_string(p) + "\n";
    for (int l = 1; l <= model::kMaxProcedureLegs + (p == 1); ++l) sids += "L - F" + std::to_string(l) + " - - 45 -120\n";
  }
  folder_->Write("sids.txt", sids + "A KTWO\nP ONLY1\nL - F1 - - 46 -121\nL - F2 - 5000 46 -121\n");
  ASSERT_EQ(LoadAirportProcedures("KTST", 1), 1);
  const AirportProcedureSet& s = Set(1);
  ASSERT_EQ(s.SidCount, model::kMaxSids);
  EXPECT_EQ(s.SidTable[1].leg_count, model::kMaxProcedureLegs);
  EXPECT_EQ(s.SidTable[model::kMaxSids].legs[model::kMaxProcedureLegs].fix_ident, "F300");
  EXPECT_NE(StatusLog().find("sids.txt: bad line 303 for KTST"), std::string::npos) << StatusLog();
  ASSERT_EQ(LoadAirportProcedures("KTWO", 1), 1);
  ASSERT_EQ(s.SidCount, 1);
  ASSERT_EQ(s.SidTable[1].leg_count, 2);
  EXPECT_EQ(s.SidTable[1].legs[3].fix_ident, "") << "nothing of KTST's first SID is left";
  EXPECT_EQ(s.SidTable[2].name, "");
  EXPECT_EQ(s.SidTable.StoredSlots(), 2);
  EXPECT_EQ(s.SidTable[1].legs.StoredSlots(), 3);
}

// Other airports' lines are passed over unread; an airport line is found
// however it is indented, and only "A" starts one.
TEST_F(ScratchLoadTest, AirportLinesAreFoundAmongOtherAirportsLines) {
  folder_->Write("sids.txt",
                 "A KTWO\nP X1\nL - F0 - - 46.0 -121.0\nAKTST\nL - F9 - - 46.0 -121.0\n"
                 " \tA\tKTST\r\nP S1\nL - F1 - - 45.0 -120.0\nAX KTWO\nL - F2 - - 45.0 -120.0\n"
                 "  A KTWO\nP S2\nL - F3 - - 45.0 -120.0\nA\n");
  ASSERT_EQ(LoadAirportProcedures("KTST", 1), 1);
  const AirportProcedureSet& s = Set(1);
  ASSERT_EQ(s.SidCount, 1);
  EXPECT_EQ(s.SidTable[1].name, "S1");
  ASSERT_EQ(s.SidTable[1].leg_count, 2) << "AX is no airport line: S1 goes on";
  EXPECT_EQ(s.SidTable[1].legs[2].fix_ident, "F2");
  EXPECT_NE(StatusLog().find("sids.txt: bad line 9 for KTST"), std::string::npos) << StatusLog();
}

TEST_F(ScratchLoadTest, UserProceduresComeFirstAndReplaceThoseOfTheSameName) {
  folder_->Write("sids_user.txt",
                "A KTST\n"
                "P ALPHA1 27\n"
                "L --- USER1 - - 45.1 -120.1\n"
                "P GAMMA1\n"
                "L --- USER2 - - 45.1 -120.1\n");
  folder_->Write("sids.txt",
                "A KTST\n"
                "P ALPHA1 09\n"
                "L --- MAIN1 - - 45.1 -120.1\n"
                "P BETA1\n"
                "L --- MAIN2 - - 45.1 -120.1\n"
                "P ALPHA1 18\n"
                "L --- MAIN3 - - 45.1 -120.1\n"
                "A KTWO\n"
                "P ALPHA1\n"
                "L --- OTHER - - 45.1 -120.1\n");
  ASSERT_EQ(LoadAirportProcedures("KTST", 1), 1);
  const AirportProcedureSet& s = Set(1);
  ASSERT_EQ(s.SidCount, 3);
  EXPECT_EQ(s.SidTable[1].legs[1].fix_ident, "USER1");
  EXPECT_EQ(s.SidTable[2].name, "GAMMA1");
  EXPECT_EQ(s.SidTable[3].name, "BETA1");
  EXPECT_EQ(StatusLog().find("bad"), std::string::npos) << StatusLog();

  ASSERT_EQ(LoadAirportProcedures("KTWO", 2), 1);
  ASSERT_EQ(Set(2).SidCount, 1) << "the user file names ALPHA1 only at KTST";
  EXPECT_EQ(Set(2).SidTable[1].legs[1].fix_ident, "OTHER");
}

TEST_F(ScratchLoadTest, AnAirportsBlocksMayRepeat) {
  folder_->Write("stars.txt",
                "A KTST\nP ONE\nL --- FIX1 - - 45.1 -120.1\n"
                "A KTWO\nP TWO\nL --- FIX2 - - 45.1 -120.1\n"
                "A KTST\nP THREE\nL --- FIX3 - - 45.1 -120.1\n");
  ASSERT_EQ(LoadAirportProcedures("KTST", 2), 1);
  ASSERT_EQ(Set(2).StarCount, 2);
  EXPECT_EQ(Set(2).StarTable[2].name, "THREE");
}

}  // namespace
}  // namespace ovi::navdb

namespace ovi::navdb {
namespace {

TEST_F(ProceduresTest, ASetOutlivesAResetButNotItsContents) {
  test::UseSampleData();
  model::AirportProcedureSet& kept = procedure_state.AirportProcedureSets[2];
  ASSERT_EQ(LoadAirportProcedures("KSEA", 2), 1);
  ASSERT_GT(kept.StarTable.StoredSlots(), 0);
  ResetModuleState();
  EXPECT_EQ(procedure_state.AirportProcedureSets[2].AirportIdent, "");
  EXPECT_EQ(&kept, &procedure_state.AirportProcedureSets[2]);
  EXPECT_EQ(kept.StarCount, 0);
  EXPECT_EQ(kept.StarTable.StoredSlots() + kept.ApproachTable.StoredSlots(), 0) << "the storage is given back";
  EXPECT_EQ(kept.StarTable[1].legs[1].fix_ident, "");
}

TEST_F(ProceduresTest, AWrongSetIndexIsRefused) {
  AirportProcedureSetTable& sets = procedure_state.AirportProcedureSets;
  sets[0].AirportIdent = "KXXX";
  sets[3].SidCount = 5;
  EXPECT_EQ(sets.refused(), 2);
  EXPECT_EQ(sets[-1].SidCount, 0) << "the spare is cleared at each refusal";
  EXPECT_EQ(sets[1].AirportIdent, "");
  EXPECT_EQ(sets[2].SidCount, 0);
}

}  // namespace
}  // namespace ovi::navdb
