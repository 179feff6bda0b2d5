// Waypoint entry: idents by filter, the place/bearing forms, candidates
// across tables, promotion and look-up, and entries that must not resolve.
#include "src/navdb/waypoint_entry.h"

#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "src/navdb/navdb.h"
#include "src/navdb/state.h"
#include "tests/host/fake_panels.h"
#include "tests/waypoints/support.h"

namespace ovi::navdb {
namespace {

using test::SampleRegionTest;
using test::ScratchFolder;

constexpr double kPi = 3.14159265358979323846;
constexpr double kRad = kPi / 180.0;

EntryState& E() { return entry_state; }

int Resolve(const std::string& text, int filter = kAllTables) {
  E().WaypointEntryText = text;
  ResolveWaypointEntry(filter);
  return E().WaypointCandidateCount;
}

std::vector<std::string> Kinds() {
  std::vector<std::string> out;
  for (int i = 1; i <= E().WaypointCandidateCount; ++i) out.push_back(E().WaypointCandidateList[i].kind);
  return out;
}

void ExpectNothingResolved() {
  EXPECT_EQ(E().WaypointCandidateCount, 0);
  EXPECT_EQ(E().PlaceBearingEntry[0], -1.0);
  EXPECT_EQ(E().PlaceBearingEntry[1], -1.0);
  EXPECT_EQ(E().WaypointEntryExtra, 0);
}

using WaypointEntryTest = SampleRegionTest;

TEST_F(WaypointEntryTest, IdentsResolveFromTheTablesTheFilterNames) {
  ASSERT_EQ(Resolve("SEA"), 1);
  const model::NavDbRecord& sea = E().WaypointCandidateList[1];
  EXPECT_EQ(sea.kind, "V");
  EXPECT_EQ(sea.frequency_text, "116.80");
  EXPECT_NEAR(sea.latitude, 47.4353, 1e-9);
  EXPECT_NEAR(sea.longitude, -122.3097, 1e-9);
  EXPECT_EQ(E().PlaceBearingEntry[0], -1.0);
  EXPECT_EQ(E().WaypointEntryExtra, 0);

  EXPECT_EQ(Resolve("CHINS"), 1);
  EXPECT_EQ(E().WaypointCandidateList[1].kind, "I");
  EXPECT_EQ(Resolve("KSEA"), 1);
  EXPECT_EQ(E().WaypointCandidateList[1].kind, "APT");
  EXPECT_EQ(E().WaypointCandidateList[1].airport_text, "433");

  EXPECT_EQ(Resolve("SEA", kNavaidsOnly), 1);
  EXPECT_EQ(Resolve("SEA", kIntersectionsOnly), 0);
  EXPECT_EQ(Resolve("SEA", kAirportsOnly), 0);
  EXPECT_EQ(Resolve("CHINS", kNavaidsOnly), 0);
  EXPECT_EQ(Resolve("CHINS", kIntersectionsOnly), 1);
  EXPECT_EQ(Resolve("KSEA", kAirportsOnly), 1);
  EXPECT_EQ(Resolve("KSEA", kNavaidsOnly), 0);
  // The navigator pads its entry line with blanks.
  EXPECT_EQ(Resolve("  OLM   "), 1);
  // Idents are compared exactly.
  EXPECT_EQ(Resolve("sea"), 0);
  EXPECT_EQ(Resolve("SEAX"), 0);
  // An unknown filter searches nothing.
  EXPECT_EQ(Resolve("SEA", 4), 0);
  EXPECT_EQ(Resolve("SEA", -1), 0);
}

TEST_F(WaypointEntryTest, NdbAndVorOfOneIdentAreBothCandidatesInTableOrder) {
  ASSERT_EQ(Resolve("ELN"), 2);
  EXPECT_EQ(Kinds(), (std::vector<std::string>{"N", "V"}));
  EXPECT_EQ(E().WaypointCandidateList[1].frequency_text, "362");
  EXPECT_EQ(E().WaypointCandidateList[2].frequency_text, "117.90");

  EXPECT_EQ(FindWaypointCandidate("ELN"), 1);
  EXPECT_EQ(FindWaypointCandidate("SEA"), 0);
  EXPECT_EQ(FindWaypointCandidate(""), 0);
  PromoteWaypointCandidate(2);
  EXPECT_EQ(E().WaypointCandidateList[1].kind, "V");
  EXPECT_EQ(E().WaypointCandidateList[1].frequency_text, "117.90");
  EXPECT_EQ(E().WaypointCandidateCount, 2);
  // Indices outside the list change nothing.
  for (int n : {0, -3, 3, 250, 251, 100000}) PromoteWaypointCandidate(n);
  EXPECT_EQ(E().WaypointCandidateList[1].kind, "V");
  EXPECT_EQ(E().WaypointCandidateList[2].kind, "V");
}

TEST_F(WaypointEntryTest, PlaceBearingDistanceLeavesThePlaceAsCandidate) {
  ASSERT_EQ(Resolve("SEA330/10"), 1);
  EXPECT_EQ(E().WaypointCandidateList[1].ident, "SEA");
  EXPECT_NEAR(E().WaypointCandidateList[1].latitude, 47.4353, 1e-9);
  EXPECT_EQ(E().PlaceBearingEntry[0], 330.0);
  EXPECT_EQ(E().PlaceBearingEntry[1], -1.0);
  EXPECT_EQ(E().WaypointEntryExtra, 10);

  // Every place of the ident is offered; distances are rounded to whole NM.
  ASSERT_EQ(Resolve("ELN000/12.5"), 2);
  EXPECT_EQ(E().PlaceBearingEntry[0], 0.0);
  EXPECT_EQ(E().WaypointEntryExtra, 13);
  ASSERT_EQ(Resolve("KSEA360/999"), 1);
  EXPECT_EQ(E().PlaceBearingEntry[0], 360.0);
  EXPECT_EQ(E().WaypointEntryExtra, 999);
  // A place whose ident ends in digits: the bearing is always the last three.
  ASSERT_EQ(Resolve("CHINS045/1"), 1);
  EXPECT_EQ(E().WaypointCandidateList[1].ident, "CHINS");
  EXPECT_EQ(E().PlaceBearingEntry[0], 45.0);

  // A plain ident afterwards leaves no place/bearing values behind.
  ASSERT_EQ(Resolve("OLM"), 1);
  EXPECT_EQ(E().PlaceBearingEntry[0], -1.0);
  EXPECT_EQ(E().WaypointEntryExtra, 0);
  // The compound forms are read with filter 0 only.
  EXPECT_EQ(Resolve("SEA330/10", kNavaidsOnly), 0);
}

// Olympia's meridian northward meets the great circle leaving Seattle due
// west, whose northernmost point Seattle is: tan(lat) = tan(lat_SEA) cos(dlon).
TEST_F(WaypointEntryTest, TwoBearingsCrossAtTheHandComputedPoint) {
  const double sea_lat = 47.4353, sea_lon = -122.3097, olm_lon = -122.9022;
  const double lat = std::atan(std::tan(sea_lat * kRad) * std::cos((olm_lon - sea_lon) * kRad)) / kRad;

  ASSERT_EQ(Resolve("SEA270/OLM000"), 1);
  const model::NavDbRecord& x = E().WaypointCandidateList[1];
  EXPECT_NEAR(x.latitude, lat, 1e-9);
  EXPECT_NEAR(x.longitude, olm_lon, 1e-9);
  EXPECT_EQ(x.ident, "SEA");  // named after the first place
  EXPECT_EQ(x.kind, "WPT");
  EXPECT_EQ(E().PlaceBearingEntry[0], 270.0);
  EXPECT_EQ(E().PlaceBearingEntry[1], 0.0);
  EXPECT_EQ(E().WaypointEntryExtra, 0);
  // The same crossing named from the other side, and 360 for north.
  ASSERT_EQ(Resolve("OLM360/SEA270"), 1);
  EXPECT_NEAR(E().WaypointCandidateList[1].latitude, lat, 1e-9);
  EXPECT_EQ(E().WaypointCandidateList[1].ident, "OLM");

  // Bearings that meet only behind a place, or run along one circle.
  EXPECT_EQ(Resolve("SEA090/OLM000"), 0);
  EXPECT_EQ(Resolve("SEA000/SEA180"), 0);
  EXPECT_EQ(Resolve("SEA000/SEA000"), 0);
  EXPECT_EQ(E().PlaceBearingEntry[0], -1.0);
}

TEST_F(WaypointEntryTest, BearingsAreMagneticWithTheHostsVariation) {
  testing::FakeHost host;
  host.tokens[82] = 15.0;  // magnetic = true - 15
  host.Bind();
  const double sea_lat = 47.4353, sea_lon = -122.3097, olm_lon = -122.9022;
  const double lat = std::atan(std::tan(sea_lat * kRad) * std::cos((olm_lon - sea_lon) * kRad)) / kRad;
  ASSERT_EQ(Resolve("SEA255/OLM345"), 1);
  EXPECT_NEAR(E().WaypointCandidateList[1].latitude, lat, 1e-9);
  EXPECT_NEAR(E().WaypointCandidateList[1].longitude, olm_lon, 1e-9);
  // The bearings are kept as typed.
  EXPECT_EQ(E().PlaceBearingEntry[0], 255.0);
  EXPECT_EQ(E().PlaceBearingEntry[1], 345.0);
}

TEST(CrossTrueBearings, MeetsOnTheEquatorAndRefusesWhatDoesNotMeetAhead) {
  double lat = 0.0, lon = 0.0;
  // Due north from (-10, 0) and due east from (0, -10): the crossing is (0, 0).
  ASSERT_TRUE(CrossTrueBearings(-10.0, 0.0, 360.0, 0.0, -10.0, 90.0, lat, lon));
  EXPECT_NEAR(lat, 0.0, 1e-12);
  EXPECT_NEAR(lon, 0.0, 1e-12);
  // 45 degrees from two points symmetric about the meridian meet on it.
  ASSERT_TRUE(CrossTrueBearings(0.0, -1.0, 45.0, 0.0, 1.0, 315.0, lat, lon));
  EXPECT_NEAR(lon, 0.0, 1e-12);
  EXPECT_NEAR(lat, 1.0, 1e-3);
  EXPECT_FALSE(CrossTrueBearings(0.0, -1.0, 225.0, 0.0, 1.0, 135.0, lat, lon));  // both behind
  EXPECT_FALSE(CrossTrueBearings(0.0, 0.0, 90.0, 0.0, 10.0, 90.0, lat, lon));    // one circle
  EXPECT_FALSE(CrossTrueBearings(NAN, 0.0, 90.0, 0.0, 10.0, 0.0, lat, lon));
  EXPECT_FALSE(CrossTrueBearings(0.0, 0.0, INFINITY, 0.0, 10.0, 0.0, lat, lon));
}

TEST_F(WaypointEntryTest, EntriesThatDoNotResolveLeaveANotFound) {
  const std::vector<std::string> bad = {
      "", "   ", "/", "//", "SEA/", "/10", "SEA330/", "SEA33/10", "330/10", "SEA361/10", "SEA999/10",
      "SEA330/-5", "SEA330/0", "SEA330/0.4", "SEA330/.", "SEA330/1000", "SEA330/1e3", "SEA330/10/5",
      "SEA330/99999999999999999999", "SEA330/10.5.5", "SEAxyz/10", "XXXX330/10", "SEA330/XXX010",
      "SEA330/OLM", "SEA330/OLM361", "SEA 330/10", std::string("SE\0A", 4), "\xff\xfe\x01", "#V23",
      std::string(100000, 'A'), std::string(64, '/'), "SEA330/OLM020/KSEA"};
  for (const std::string& text : bad) {
    E().WaypointEntryExtra = 7;  // left from an earlier entry
    E().PlaceBearingEntry = {1.0, 2.0};
    Resolve(text);
    ExpectNothingResolved();
    if (E().WaypointCandidateCount != 0) ADD_FAILURE() << "resolved: '" << text.substr(0, 40) << "'";
  }
}

class ScratchEntryTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetModuleState(); }
};

TEST_F(ScratchEntryTest, OneIdentInEveryTableListsNavaidsThenIntersectionsThenAirports) {
  ScratchFolder data(ScratchFolder::Navdata::kSampleCopy);
  data.Write("ints_user.txt", "PAE 47.5000 -121.0000\nOCEAN 45.0 -130.0 O\n");
  data.Write("apts_user.txt", "A PAE 100 48.0000 -121.5000 PAE FIELD\n");
  LoadNavDatabase();
  ASSERT_EQ(Resolve("PAE"), 3);
  EXPECT_EQ(Kinds(), (std::vector<std::string>{"V", "I", "APT"}));
  EXPECT_EQ(Resolve("PAE", kIntersectionsOnly), 1);
  EXPECT_NEAR(E().WaypointCandidateList[1].latitude, 47.5, 1e-9);
  EXPECT_EQ(Resolve("PAE", kAirportsOnly), 1);
  EXPECT_EQ(E().WaypointCandidateList[1].airport_text, "100");
  ASSERT_EQ(Resolve("OCEAN"), 1);
  EXPECT_EQ(E().WaypointCandidateList[1].kind, "O");

  // Where an ident names several places the crossing is taken from the two
  // places nearest each other: the PAE intersection would cross Seattle's
  // meridian near 47.5 N, the PAE VOR (the nearer) crosses it near 47.92 N.
  ASSERT_EQ(Resolve("SEA000/PAE270"), 1);
  EXPECT_NEAR(E().WaypointCandidateList[1].longitude, -122.3097, 1e-9);
  EXPECT_NEAR(E().WaypointCandidateList[1].latitude, 47.9198, 0.001);
  // None of the three PAE meets Seattle's westbound circle ahead of both.
  EXPECT_EQ(Resolve("SEA270/PAE180"), 0);
}

TEST_F(ScratchEntryTest, TheCandidateListStopsAt250) {
  ScratchFolder data(ScratchFolder::Navdata::kSampleCopy);
  std::string lines;
  for (int i = 0; i < 300; ++i) {
    lines += "DUPE " + std::to_string(40.0 + i * 0.05) + " -100.0\n";
  }
  data.Write("ints_user.txt", lines);
  LoadNavDatabase();
  ASSERT_GE(navdb_state.IntersectionCount, 300);
  EXPECT_EQ(Resolve("DUPE"), 250);
  EXPECT_NEAR(E().WaypointCandidateList[250].latitude, 40.0 + 249 * 0.05, 1e-6);
  EXPECT_EQ(E().WaypointCandidateList.refused(), 0);
  EXPECT_EQ(Resolve("DUPE045/10"), 250);
  EXPECT_EQ(E().WaypointEntryExtra, 10);
  EXPECT_EQ(FindWaypointCandidate("DUPE"), 1);
  PromoteWaypointCandidate(250);
  EXPECT_NEAR(E().WaypointCandidateList[1].latitude, 40.0 + 249 * 0.05, 1e-6);
  // Resolving again starts from an empty list.
  EXPECT_EQ(Resolve("SEA"), 1);
  EXPECT_EQ(FindWaypointCandidate("DUPE"), 0);
}

TEST_F(ScratchEntryTest, NothingLoadedResolvesNothing) {
  EXPECT_EQ(Resolve("SEA"), 0);
  EXPECT_EQ(Resolve("SEA330/10"), 0);
  EXPECT_EQ(Resolve("SEA330/OLM020"), 0);
  ExpectNothingResolved();
}

}  // namespace
}  // namespace ovi::navdb
