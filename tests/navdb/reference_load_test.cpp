// The loaded tables against a plain reference load written from the file
// layouts (docs/navigation-data.md): every line split into its fields first,
// each field converted on its own, duplicates found by walking the table.
// The data is a small synthetic world with user files, bad lines of every
// kind, CR LF endings, and a first reading window of long comment lines
// that makes the loader's size estimate far too small.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "src/host/module_state.h"
#include "src/host/state.h"
#include "src/navdb/internal.h"
#include "src/navdb/navdb.h"
#include "src/navdb/text_file.h"
#include "tests/support/navdata_fixture.h"
#include "tools/navgen/navgen.h"

namespace ovi::navdb {
namespace {

using model::NavDbRecord;
using test::ScratchFolder;

std::string NavdataPath(const std::string& name) { return host::host_state.SimulatorFolder + "/ovi/navdata/" + name; }

std::string ReadBytes(const std::string& name) {
  std::ifstream f(NavdataPath(name), std::ios::binary);
  std::stringstream ss;
  ss << f.rdbuf();
  return ss.str();
}

struct Line {
  std::string text;
  std::int64_t offset;
  std::int64_t number;  // from 1
};

// A file's bad lines: how many, and the number of the first (over-long
// lines are met before the others here).
struct Bad {
  int count = 0;
  std::int64_t first = 0;
  void At(std::int64_t number) {
    if (count++ == 0 || number < first) first = number;
  }
};

// The lines a loader sees: one CR before the LF dropped, over-long lines
// bad, comment and blank lines passed over.
std::vector<Line> DataLines(const std::string& bytes, Bad& bad) {
  std::vector<Line> out;
  std::size_t start = 0;
  std::int64_t number = 0;
  while (start < bytes.size()) {
    std::size_t nl = bytes.find('\n', start);
    const std::size_t end = nl == std::string::npos ? bytes.size() : nl;
    std::string text = bytes.substr(start, end - start);
    ++number;
    if (!text.empty() && text.back() == '\r') text.pop_back();
    if (text.size() > kMaxLineLength)
      bad.At(number);
    else if (!IsCommentOrBlank(text))
      out.push_back({text, static_cast<std::int64_t>(start), number});
    start = end + 1;
  }
  return out;
}

struct Reference {
  std::vector<NavDbRecord> navaids, airports, intersections, points;
  std::vector<AirwayFix> fixes;
  std::vector<AirportFileRef> refs;
  std::string log;  // the bad-line reports, in file order
  int replaced = 0;  // main entries dropped for their user entry
};

void Report(Reference& ref, const char* file, const Bad& bad) {
  if (bad.count == 0) return;
  ref.log += std::string(file) + ": bad line " + std::to_string(bad.first);
  if (bad.count > 1) ref.log += " and " + std::to_string(bad.count - 1) + " more";
  ref.log += " skipped\n";
}

bool NearPlace(const NavDbRecord& r, double lat, double lon) {
  return std::fabs(r.latitude - lat) < 0.01 && std::fabs(r.longitude - lon) < 0.01;
}

// The user file, then the main file: a repeat within one file is a bad
// line, the main file's copy of a user entry is dropped without a word.
// parse(line, record) is false for a bad line; same(a, b) tells repeats.
// The airport files' runway lines only have to follow an airport line.
template <typename Parse, typename Same>
void LoadUserFirst(Reference& ref, std::vector<NavDbRecord>& table, const char* user_name, const char* main_name,
                   Parse parse, Same same) {
  const bool airports = &table == &ref.airports;
  std::size_t user_last = 0;
  for (const char* name : {user_name, main_name}) {
    const bool user = name == user_name;
    Bad bad;
    bool after_airport_line = false;
    for (const Line& l : DataLines(ReadBytes(name), bad)) {
      std::string_view t[1];
      if (airports && Tokenize(l.text, t, 1) == 1 && t[0] == "R") {
        if (!after_airport_line) bad.At(l.number);
        continue;
      }
      after_airport_line = true;
      NavDbRecord r;
      if (!parse(l.text, r)) {
        bad.At(l.number);
        continue;
      }
      std::size_t dup = 0;
      for (std::size_t i = 0; i < table.size() && dup == 0; ++i)
        if (same(table[i], r)) dup = i + 1;
      if (dup != 0) {
        if (dup <= user_last && !user)
          ++ref.replaced;
        else
          bad.At(l.number);
        continue;
      }
      table.push_back(r);
      if (airports) ref.refs.push_back({static_cast<std::int8_t>(user ? 0 : 1), l.offset, l.number});
      if (user) user_last = table.size();
    }
    Report(ref, name, bad);
  }
}

Reference LoadReference() {
  Reference ref;
  LoadUserFirst(
      ref, ref.navaids, "navs_user.txt", "navs.txt",
      [](const std::string& line, NavDbRecord& r) {
        std::string_view t[7];
        const int n = Tokenize(line, t, 7);
        int elevation;
        double freq;
        if (n < 6 || !IsValidIdent(t[0]) || !ParseLatitude(t[1], r.latitude) || !ParseLongitude(t[2], r.longitude) ||
            (t[3] != "V" && t[3] != "N") || !ParseInteger(t[4], elevation) || !ParseNumber(t[5], freq) ||
            freq <= 0.0 || t[5].size() > kMaxIdentLength)
          return false;
        r.ident = t[0];
        r.kind = t[3];
        r.frequency_text = t[5];
        if (n == 7) r.name = CleanName(RestOfLine(line, t[6]));
        return true;
      },
      [](const NavDbRecord& a, const NavDbRecord& b) {
        return a.ident == b.ident && a.kind == b.kind && NearPlace(a, b.latitude, b.longitude);
      });
  LoadUserFirst(
      ref, ref.airports, "apts_user.txt", "apts.txt",
      [](const std::string& line, NavDbRecord& r) {
        std::string_view t[6];
        const int n = Tokenize(line, t, 6);
        int elevation;
        if (n < 5 || t[0] != "A" || !IsValidIdent(t[1]) || !ParseInteger(t[2], elevation) ||
            t[2].size() > kMaxIdentLength || !ParseLatitude(t[3], r.latitude) || !ParseLongitude(t[4], r.longitude))
          return false;
        r.ident = t[1];
        r.kind = "APT";
        r.airport_text = t[2];
        if (n == 6) r.name = CleanName(RestOfLine(line, t[5]));
        return true;
      },
      [](const NavDbRecord& a, const NavDbRecord& b) { return a.ident == b.ident; });
  LoadUserFirst(
      ref, ref.intersections, "ints_user.txt", "ints.txt",
      [](const std::string& line, NavDbRecord& r) {
        std::string_view t[5];
        const int n = Tokenize(line, t, 5);
        if (n < 3 || n > 4 || !IsValidIdent(t[0]) || !ParseLatitude(t[1], r.latitude) ||
            !ParseLongitude(t[2], r.longitude) || (n == 4 && t[3] != "I" && t[3] != "O"))
          return false;
        r.ident = t[0];
        r.kind = n == 4 ? t[3] : "I";
        return true;
      },
      [](const NavDbRecord& a, const NavDbRecord& b) {
        return a.ident == b.ident && NearPlace(a, b.latitude, b.longitude);
      });

  // Airways: a user airway replaces every main line of that name; a fix is
  // one point per ident and position to 1e-4 degrees.
  std::set<std::string> user_airways;
  std::vector<std::pair<std::string, std::pair<long long, long long>>> keys;
  for (const char* name : {"awys_user.txt", "awys.txt"}) {
    const bool user = std::string(name) == "awys_user.txt";
    Bad bad;
    for (const Line& l : DataLines(ReadBytes(name), bad)) {
      std::string_view t[5];
      double lat, lon;
      if (Tokenize(l.text, t, 5) != 4 || !IsValidIdent(t[0]) || !IsValidIdent(t[1]) || !ParseLatitude(t[2], lat) ||
          !ParseLongitude(t[3], lon)) {
        bad.At(l.number);
        continue;
      }
      const std::string airway(t[0]);
      if (user) user_airways.insert(airway);
      if (!user && user_airways.count(airway) != 0) continue;
      const auto key = std::make_pair(std::string(t[1]), std::make_pair(std::llround(lat * 1e4), std::llround(lon * 1e4)));
      std::size_t point = 0;
      for (std::size_t i = 0; i < keys.size() && point == 0; ++i)
        if (keys[i] == key) point = i + 1;
      if (point == 0) {
        keys.push_back(key);
        NavDbRecord r;
        r.ident = t[1];
        r.latitude = lat;
        r.longitude = lon;
        r.kind = "I";
        ref.points.push_back(r);
        point = keys.size();
      }
      AirwayFix fix;
      fix.airway = airway;
      fix.point = static_cast<std::int32_t>(point);
      ref.fixes.push_back(fix);
    }
    Report(ref, name, bad);
  }
  return ref;
}

void ExpectSameRecords(const char* what, const std::vector<NavDbRecord>& want, const BoundedTable<NavDbRecord>& table,
                       int count) {
  SCOPED_TRACE(what);
  ASSERT_EQ(count, static_cast<int>(want.size()));
  for (int i = 1; i <= count; ++i) {
    const NavDbRecord& a = table[i];
    const NavDbRecord& b = want[static_cast<std::size_t>(i - 1)];
    ASSERT_TRUE(a.ident == b.ident && a.name == b.name && a.kind == b.kind && a.frequency_text == b.frequency_text &&
                a.airport_text == b.airport_text && a.latitude == b.latitude && a.longitude == b.longitude &&
                a.distance == 0.0 && a.bearing == 0.0)
        << "entry " << i << ": " << a.ident.view() << " " << a.name.view() << " / " << b.ident.view() << " "
        << b.name.view();
  }
}

void ExpectVectorsOf(const char* what, const BoundedTable<NavDbRecord>& table, int count, const PositionVectors& v) {
  SCOPED_TRACE(what);
  PositionVectors want;
  BuildPositionVectors(table, count, want);
  EXPECT_TRUE(v.x == want.x && v.y == want.y && v.z == want.z);
}

// A bad line of some kind in place of a good one (or the good one kept).
std::string Spoil(const std::string& line, std::mt19937& rng) {
  static const char* const kTokens[] = {"nan", "1e3", "+", "-", "0x10", "91", "-180.00001", "12345678901",
                                        ";X", "ABCDEFGHIJK", "\x01", "\xff", "+-5", "1.2.3", "O", "R", "A"};
  std::string out = line;
  switch (rng() % 8) {
    case 0: {  // one field replaced
      std::vector<std::string> t;
      std::istringstream in(line);
      for (std::string w; in >> w;) t.push_back(w);
      if (t.empty()) break;
      t[rng() % t.size()] = kTokens[rng() % std::size(kTokens)];
      out.clear();
      for (const std::string& w : t) out += w + (rng() % 4 == 0 ? "\t" : " ");
      break;
    }
    case 1:  // a field more
      out += " 7";
      break;
    case 2:  // cut short
      out.resize(rng() % (out.size() + 1));
      break;
    case 3:  // a byte changed
      if (!out.empty()) out[rng() % out.size()] = static_cast<char>(rng() % 256);
      break;
    case 4:  // over-long
      out += std::string(kMaxLineLength, 'Z');
      break;
    case 5:  // blanks and a CR around the fields
      out = " \t" + out + " \r";
      break;
    default:
      break;
  }
  return out;
}

// Every line of `name` kept, spoiled or repeated; CR LF endings here and
// there; `head` in front.
void Rewrite(ScratchFolder& dir, const std::string& name, std::mt19937& rng, const std::string& head = "") {
  std::istringstream in(ReadBytes(name));
  std::string out = head;
  for (std::string line; std::getline(in, line);) {
    const unsigned pick = rng() % 50;
    if (pick == 0) out += line + "\n";  // a repeat: bad in the same file
    out += (pick < 4 ? Spoil(line, rng) : line) + (pick % 7 == 0 ? "\r\n" : "\n");
  }
  dir.Write(name, out);
}

// User lines taken from the main file, some moved within 0.01 degrees
// (they replace their main entry), some beyond (both stay).
std::string UserLines(const std::string& main, int every, std::mt19937& rng, bool airports = false) {
  std::istringstream in(main);
  std::string out;
  int n = 0;
  for (std::string line; std::getline(in, line);) {
    if (line.empty() || line[0] == ';' || (airports && line[0] != 'A') || ++n % every != 0) continue;
    std::istringstream fields(line);
    std::vector<std::string> t;
    for (std::string w; fields >> w;) t.push_back(w);
    const std::size_t lat = airports ? 3 : 1;
    if (t.size() <= lat) continue;
    double v = std::atof(t[lat].c_str());
    v += (rng() % 2 == 0) ? 0.005 : 0.5;
    if (std::fabs(v) > 90.0) continue;
    t[lat] = std::to_string(v);
    for (const std::string& w : t) out += w + " ";
    out += "USER\n";
  }
  return out;
}

TEST(ReferenceLoad, TheLoadedTablesAreThoseOfAPlainReadingOfTheFiles) {
  ResetModuleState();
  ScratchFolder dir;
  // 5 % of the world: the larger files span several reading windows.
  ASSERT_TRUE(navgen::WriteSyntheticWorld(host::host_state.SimulatorFolder, navgen::ScaledWorld(5), 7, nullptr));
  std::mt19937 rng(4102);
  dir.Write("navs_user.txt", UserLines(ReadBytes("navs.txt"), 9, rng));
  dir.Write("apts_user.txt", "R 16 1.0 1.0 5000 160 - - ASP\n" + UserLines(ReadBytes("apts.txt"), 40, rng, true));
  dir.Write("ints_user.txt", UserLines(ReadBytes("ints.txt"), 50, rng));
  {  // the first and third airway of the main file, redefined
    std::istringstream in(ReadBytes("awys.txt"));
    std::string user, first, line;
    int airways = 0;
    while (std::getline(in, line) && airways < 4) {
      const std::string name = line.substr(0, line.find(' '));
      if (name != first) first = name, ++airways;
      if (airways == 1 || airways == 3) user += line + "\n";
    }
    dir.Write("awys_user.txt", user + "UNUSED AB 1.0 1.0\n");
  }
  // A window's worth of long comment lines: the estimate from the first
  // window is a few hundred lines for a file of thousands.
  std::string long_comments;
  while (long_comments.size() < 300 * 1024) long_comments += ";" + std::string(2000, 'c') + "\n";
  for (const char* name : {"navs.txt", "apts.txt", "ints.txt", "awys.txt"})
    Rewrite(dir, name, rng, std::string(name) == "ints.txt" || std::string(name) == "awys.txt" ? long_comments : "");

  const Reference want = LoadReference();
  LoadNavDatabase();
  const State& s = navdb_state;
  ExpectSameRecords("navaids", want.navaids, s.NavaidTable, s.NavaidCount);
  ExpectSameRecords("airports", want.airports, s.AirportTable, s.AirportCount);
  ExpectSameRecords("intersections", want.intersections, s.IntersectionTable, s.IntersectionCount);
  ExpectSameRecords("airway points", want.points, s.AirwayPointTable, s.AirwayPointCount);
  ASSERT_EQ(s.AirwayFixCount, static_cast<int>(want.fixes.size()));
  for (int i = 1; i <= s.AirwayFixCount; ++i) {
    const AirwayFix& a = s.AirwayFixTable[i];
    const AirwayFix& b = want.fixes[static_cast<std::size_t>(i - 1)];
    ASSERT_TRUE(a.airway == b.airway && a.point == b.point) << "airway line " << i;
  }
  ASSERT_EQ(s.AirportFileRefs.size(), want.refs.size() + 1);
  for (std::size_t i = 0; i < want.refs.size(); ++i)
    ASSERT_TRUE(s.AirportFileRefs[i + 1].file == want.refs[i].file && s.AirportFileRefs[i + 1].offset == want.refs[i].offset &&
                s.AirportFileRefs[i + 1].line == want.refs[i].line)
        << "airport " << i + 1;
  ExpectVectorsOf("airport vectors", s.AirportTable, s.AirportCount, s.AirportVectors);
  ExpectVectorsOf("navaid vectors", s.NavaidTable, s.NavaidCount, s.NavaidVectors);
  ExpectVectorsOf("airway point vectors", s.AirwayPointTable, s.AirwayPointCount, s.AirwayPointVectors);
  EXPECT_EQ(test::StatusLog(), want.log);

  // The data reached every case the comparison is meant to cover.
  EXPECT_GT(want.airports.size(), 2000u);
  EXPECT_GT(want.fixes.size(), want.points.size());
  EXPECT_GT(want.replaced, 20);
  for (const char* file : {"navs.txt", "apts.txt", "ints.txt", "awys.txt", "apts_user.txt"})
    EXPECT_NE(want.log.find(file), std::string::npos) << file << " has bad lines";
}

}  // namespace
}  // namespace ovi::navdb
