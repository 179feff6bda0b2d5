// Any bytes in any navigation file: mutated sample lines, hostile tokens,
// over-long lines, binary garbage. Deterministic; run under the sanitizers
// it proves that nothing reads or writes outside a table or a string.
#include <cmath>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "src/host/module_state.h"
#include "src/model/state.h"
#include "src/navdb/navdb.h"
#include "tests/support/navdata_fixture.h"

namespace ovi::navdb {
namespace {

using NavdbTest = test::ModuleTest;
using test::ScratchFolder;

const char* const kFiles[] = {"navs.txt",     "navs_user.txt", "apts.txt",     "apts_user.txt",
                              "ints.txt",     "ints_user.txt", "awys.txt",     "awys_user.txt",
                              "atc_bdry.txt", "apt_additional_info.txt", "parking.txt"};

std::vector<std::string> SampleLines(const std::string& name) {
  std::ifstream f(std::string(OVI_SOURCE_DIR) + "/data/ovi/navdata/" + name, std::ios::binary);
  std::vector<std::string> lines;
  std::string line;
  while (std::getline(f, line)) lines.push_back(line);
  if (lines.empty()) lines.push_back("XYZ 1.0 2.0");
  return lines;
}

const char* const kHostileTokens[] = {"nan", "inf", "-inf", "1e400", "-91", "91", "181", "-180.0000001",
                                      "0x10", "+", "-", "", "999999999999", "1e-400", ";", "A", "R",
                                      "\x01\x02", "\xff\xfe", "V", "N", "O", "-2147483649", "  \t "};

std::string Mutate(std::string line, std::mt19937& rng) {
  std::uniform_int_distribution<int> op(0, 9);
  switch (op(rng)) {
    case 0:  // flip bytes
      for (int k = 0; k < 3 && !line.empty(); ++k) line[rng() % line.size()] = static_cast<char>(rng() & 0xFF);
      break;
    case 1:  // truncate
      if (!line.empty()) line.resize(rng() % line.size());
      break;
    case 2: {  // replace a token with a hostile one
      std::istringstream in(line);
      std::vector<std::string> t;
      std::string w;
      while (in >> w) t.push_back(w);
      if (!t.empty()) t[rng() % t.size()] = kHostileTokens[rng() % std::size(kHostileTokens)];
      line.clear();
      for (const std::string& x : t) line += x + " ";
      break;
    }
    case 3:  // over-long line
      line += std::string(3000 + rng() % 70000, static_cast<char>('A' + rng() % 26));
      break;
    case 4:  // embedded NUL and CR
      line.insert(line.size() / 2, std::string("\0\r", 2));
      break;
    case 5:  // extra tokens
      line += " EXTRA 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17";
      break;
    case 6:  // pure garbage
      line.assign(rng() % 200, '\0');
      for (char& c : line) c = static_cast<char>(rng() & 0xFF);
      break;
    default:  // unchanged
      break;
  }
  return line;
}

std::string BuildFile(const std::string& name, std::mt19937& rng) {
  const std::vector<std::string> sample = SampleLines(name);
  std::string out;
  const int lines = static_cast<int>(rng() % 120);
  for (int i = 0; i < lines; ++i) {
    std::string l = sample[rng() % sample.size()];
    if (rng() % 3 == 0) l = Mutate(l, rng);
    out += l;
    if (rng() % 50 != 0) out += (rng() % 5 == 0) ? "\r\n" : "\n";
  }
  return out;
}

void CheckRecord(const model::NavDbRecord& r) {
  ASSERT_FALSE(r.ident.empty());
  ASSERT_LE(r.ident.size(), 10u);
  ASSERT_TRUE(std::isfinite(r.latitude) && std::fabs(r.latitude) <= 90.0);
  ASSERT_TRUE(std::isfinite(r.longitude) && std::fabs(r.longitude) <= 180.0);
  ASSERT_LE(r.name.size(), 64u);
}

TEST_F(NavdbTest, AnyBytesInAnyFileLoadSafely) {
  std::mt19937 rng(20240516);
  for (int round = 0; round < 40; ++round) {
    ResetModuleState();
    ScratchFolder dir;
    for (const char* name : kFiles) {
      if (rng() % 8 == 0) continue;  // sometimes missing
      dir.Write(name, BuildFile(name, rng));
    }
    model::model_state.ParkingFile = "parking.txt";
    LoadNavDatabase();
    LoadAtcBoundaries();
    const State& s = navdb_state;
    ASSERT_LE(s.NavaidCount, kMaxNavaids);
    for (int i = 1; i <= s.NavaidCount; ++i) {
      CheckRecord(s.NavaidTable[i]);
      ASSERT_TRUE(s.NavaidTable[i].kind == "V" || s.NavaidTable[i].kind == "N");
    }
    for (int i = 1; i <= s.AirportCount; ++i) CheckRecord(s.AirportTable[i]);
    for (int i = 1; i <= s.IntersectionCount; ++i) CheckRecord(s.IntersectionTable[i]);
    for (int i = 1; i <= s.AirwayPointCount; ++i) CheckRecord(s.AirwayPointTable[i]);
    for (int i = 1; i <= s.AirwayFixCount; ++i) {
      ASSERT_GE(s.AirwayFixTable[i].point, 1);
      ASSERT_LE(s.AirwayFixTable[i].point, s.AirwayPointCount);
    }
    int points = 0;
    for (int b = 1; b <= s.AtcBoundaryCount; ++b) {
      const model::AtcBoundary& bd = s.AtcBoundaryTable[b];
      ASSERT_LE(bd.point_count, model::kMaxBoundaryPoints);
      points += bd.point_count;
      for (int p = 1; p <= bd.point_count; ++p) ASSERT_LE(std::fabs(bd.points[p].latitude), 90.0);
    }
    ASSERT_EQ(points, s.AtcBoundaryPointCount);
    // Every loaded airport's details, then the lists around it.
    for (int i = 1; i <= s.AirportCount; ++i) {
      LoadAirportDetails(s.AirportTable[i].ident, 1 + i % 2);
      ASSERT_LE(s.AirportRunwayCount, model::kMaxRunways);
      for (int k = 1; k <= s.AirportRunwayCount; ++k) {
        const model::RunwayRecord& r = s.AirportRunwayTable[k];
        ASSERT_TRUE(std::isfinite(r.latitude) && std::isfinite(r.heading));
        ASSERT_LE(r.frequency_text.size(), 6u);
      }
      SetTowerViewPosition();
      KeepNearListsCurrent(NearKind::kAirports, s.AirportTable[i].latitude, s.AirportTable[i].longitude);
      KeepNearListsCurrent(NearKind::kNavaids, s.AirportTable[i].latitude, s.AirportTable[i].longitude);
      KeepNearListsCurrent(NearKind::kAirwayPoints, s.AirportTable[i].latitude, s.AirportTable[i].longitude);
    }
    for (int i = 1; i <= s.NavaidCount; ++i) {
      const model::NavDbRecord& r = s.NavaidTable[i];
      const int found = FindNavaid(r.ident, r.kind, r.latitude, r.longitude);
      ASSERT_GE(found, 1);
      ASSERT_LE(found, i);
    }
    ASSERT_LE(model::model_state.StatusMessageCount, model::kMaxStatusMessages);
  }
}

TEST_F(NavdbTest, HostileArgumentsToTheOperations) {
  test::UseSampleData();
  LoadNavDatabase();
  const double nan = std::nan("");
  FilterNearAirports(nan, 0.0);
  FilterMapAirports(0.0, nan);
  FilterNearNavaids(1e308, -1e308);
  FilterMapNavaids(1e308, -1e308);
  KeepNearListsCurrent(NearKind::kAirwayPoints, nan, nan);
  EXPECT_EQ(navdb_state.NearAirportCount, 0);
  EXPECT_EQ(navdb_state.MapAirportCount, 0);
  EXPECT_EQ(FindNavaid(std::string("\0SEA", 4), "", 47.0, 0.0), 0);
  EXPECT_EQ(FindNavaid("\xff", "\xff", -1e308, 0.0), 0);
  double d, c;
  ComputeDistanceAndBearing(nan, 0.0, 1.0, 1.0, d, c);
  EXPECT_FALSE(std::isnan(c));
  LoadAirportDetails(std::string("K\0SEA", 5), 1);
  EXPECT_EQ(navdb_state.AirportRunwayCount, 0);
}

}  // namespace
}  // namespace ovi::navdb
