// Reading the navigation files: numbers as the files write them, counting
// or estimating lines before reading them, fields converted while they are
// read, and loaders that read ahead of their turn stopping exactly where a
// full table stops them.
#include "src/navdb/text_file.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "src/host/state.h"
#include "src/model/state.h"
#include "src/navdb/navdb.h"
#include "tests/support/navdata_fixture.h"
#include "src/util/text.h"

namespace ovi::navdb {
namespace {

using NavFileTest = test::ModuleTest;
using test::ScratchFolder;
using test::StatusLog;

TEST(NavNumbers, FieldsReadAsTheirCorrectlyRoundedValue) {
  const struct {
    const char* field;
    double value;
  } good[] = {
      {"47.4353", 47.4353},
      {"-122.30819", -122.30819},
      {"+5.5", 5.5},
      {"1.", 1.0},
      {".5", 0.5},
      {"-.5", -0.5},
      {"007.250", 7.25},
      {"123456.7890123456", 123456.7890123456},      // 16 digits
      {"9007199254740992", 9007199254740992.0},      // 2^53
      {"9007199254740993", 9007199254740992.0},      // 2^53 + 1 rounds to even
      {"0.1234567890123456789", 0.1234567890123456789},  // 19 digits
      {"0.0000000000000000000001", 1e-22},
      {"1e3", 1000.0},
      {"-179.99999", -179.99999},
      {"1234.5678", 1234.5678},               // four digits each side
      {"12345678.9012345", 12345678.9012345},  // eight and seven
      {"0909.0090", 909.009},
      {"12345678901234567890", 12345678901234567890.0},  // 20 digits
  };
  for (const auto& c : good) {
    double v = -1;
    EXPECT_TRUE(ParseNumber(c.field, v)) << c.field;
    EXPECT_EQ(v, c.value) << c.field;
  }
  double zero = 1;
  ASSERT_TRUE(ParseNumber("-0", zero));
  EXPECT_TRUE(zero == 0.0 && std::signbit(zero));
  for (const char* bad : {"", "-", ".", "+", "1.2.3", "1,5", "0x10", "nan", "inf", "12abc", "--5", "5-", "1 ", "123:",
                          "12/4", "1234.567/", "1234:"}) {
    double v = 42;
    EXPECT_FALSE(ParseNumber(bad, v)) << '"' << bad << '"';
    EXPECT_EQ(v, 42) << "left as it was";
  }
}

TEST(NavNumbers, EveryCountOfDigitsEachSideReadsAsTheLibraryConversion) {
  // Digit runs of every length on both sides of the point, alone (shorter
  // than a word), after a longer field, and before one.
  const std::string pool = "98765432105678901234";
  for (int whole = 0; whole <= 12; ++whole) {
    for (int fraction = 0; fraction <= 12; ++fraction) {
      if (whole + fraction == 0) continue;
      for (const char* sign : {"", "-"}) {
        std::string field = sign + pool.substr(static_cast<std::size_t>(fraction), static_cast<std::size_t>(whole));
        if (fraction > 0) field += "." + pool.substr(static_cast<std::size_t>(whole), static_cast<std::size_t>(fraction));
        SCOPED_TRACE(field);
        const double want = std::strtod(field.c_str(), nullptr);
        double v = 0.5;
        ASSERT_TRUE(ParseNumber(field, v));
        EXPECT_EQ(v, want);
        for (const std::string& line : {field, "ABCDEFGH " + field, field + " ABCDEFGH", "A\t" + field + "\r"}) {
          FieldReader r(line);
          if (line[0] == 'A') r.Text();
          v = 0.5;
          ASSERT_TRUE(r.Number(v)) << line;
          EXPECT_EQ(v, want) << line;
        }
      }
    }
  }
}

TEST(NavNumbers, LatitudeAndLongitudeLimitsAreInclusive) {
  double v;
  EXPECT_TRUE(ParseLatitude("90", v) && ParseLatitude("-90.0", v) && ParseLongitude("180", v) &&
              ParseLongitude("-180.00000", v));
  EXPECT_FALSE(ParseLatitude("90.0000001", v) || ParseLatitude("-90.00001", v) || ParseLongitude("180.00001", v) ||
               ParseLongitude("-180.1", v));
}

struct ReadLine {
  std::string text;
  std::int64_t offset;
  bool too_long;
};

// Every line of the file; counted first when `lines` is given.
std::vector<ReadLine> ReadAll(const std::string& path, std::int64_t* lines) {
  NavTextFile f(path);
  if (lines != nullptr) *lines = f.CountLines();
  std::vector<ReadLine> out;
  std::string_view line;
  std::int64_t offset;
  bool too_long;
  while (f.Next(line, offset, too_long)) out.push_back({std::string(line), offset, too_long});
  return out;
}

TEST_F(NavFileTest, CountingTheLinesLeavesTheFileToBeReadFromItsStart) {
  ScratchFolder dir;
  const std::string overlong(3000, 'x');
  const std::string window_edge(256 * 1024 - 1, 'w');  // a newline as the window's last byte
  const struct {
    std::string bytes;
    std::int64_t lines;
  } cases[] = {
      {"", 0},
      {"A", 1},
      {"A\n", 1},
      {"A\nB", 2},
      {"A\r\n\r\nB\r\n", 3},
      {"A 1\n" + overlong + "\nB 2", 3},
      {overlong, 1},
      {window_edge + "\nC", 2},
  };
  const std::string path = host::DataPath("\\ovi\\navdata\\f.txt");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.bytes.substr(0, 12));
    dir.Write("f.txt", c.bytes);
    std::int64_t lines = -1;
    const std::vector<ReadLine> counted = ReadAll(path, &lines);
    const std::vector<ReadLine> plain = ReadAll(path, nullptr);
    EXPECT_EQ(lines, c.lines);
    ASSERT_EQ(counted.size(), plain.size());
    for (std::size_t i = 0; i < counted.size(); ++i) {
      EXPECT_EQ(counted[i].text, plain[i].text);
      EXPECT_EQ(counted[i].offset, plain[i].offset);
      EXPECT_EQ(counted[i].too_long, plain[i].too_long);
    }
  }
  // The sixth case read by hand: "A 1" at 0, the long line at 4, "B 2" at 3005.
  dir.Write("f.txt", "A 1\n" + overlong + "\nB 2");
  const std::vector<ReadLine> r = ReadAll(path, nullptr);
  ASSERT_EQ(r.size(), 3u);
  EXPECT_EQ(r[1].offset, 4);
  EXPECT_TRUE(r[1].too_long);
  EXPECT_EQ(r[2].text, "B 2");
  EXPECT_EQ(r[2].offset, 3005);
}

TEST_F(NavFileTest, TheEstimateIsExactForAWindowAndScalesTheFirstWindowBeyondIt) {
  ScratchFolder dir;
  const std::string path = host::DataPath("\\ovi\\navdata\\f.txt");
  const std::string window_edge(256 * 1024 - 1, 'w');
  const struct {
    std::string bytes;
    std::int64_t lines, airport_lines;  // all, and those beginning with 'A'
  } exact[] = {{"", 0, 0},
               {"A", 1, 1},
               {"A\n", 1, 1},
               {"A\nB", 2, 1},
               {"A\r\n\r\nB\r\n", 3, 1},
               {"R 1\nA 2\nR 3\n R\nA", 5, 2},
               {window_edge + "\n", 1, 0}};  // exactly one window
  for (const auto& c : exact) {
    SCOPED_TRACE(c.bytes.substr(0, 12));
    dir.Write("f.txt", c.bytes);
    NavTextFile f(path);
    EXPECT_EQ(f.EstimateLines(), c.lines);
    EXPECT_EQ(f.EstimateLines('A'), c.airport_lines);
  }
  // 100,000 lines of 20 bytes: the first window holds 13,107 of them and a
  // part; 13,107 scaled by 2,000,000 / 262,144 is 99,998.5, rounded up.
  std::string lines;
  char line[32];
  for (int i = 0; i < 100000; ++i) {
    std::snprintf(line, sizeof line, "L%06d 12.5 -3.250\n", i);
    lines += line;
  }
  ASSERT_EQ(lines.size(), 2000000u);
  dir.Write("f.txt", lines);
  NavTextFile f(path);
  const std::int64_t estimate = f.EstimateLines();
  EXPECT_EQ(estimate, 99999);
  EXPECT_EQ(f.EstimateLines('L'), 99999);
  EXPECT_EQ(f.EstimateLines('A'), 1);  // none in the window: 0 scaled, rounded up
  // Reading still starts at the first line and reaches the last.
  std::string_view text;
  std::int64_t offset;
  bool too_long;
  ASSERT_TRUE(f.Next(text, offset, too_long));
  EXPECT_EQ(text, "L000000 12.5 -3.250");
  EXPECT_EQ(offset, 0);
  int read = 1;
  std::string last;
  while (f.Next(text, offset, too_long)) ++read, last = text;
  EXPECT_EQ(read, 100000);
  EXPECT_EQ(last, "L099999 12.5 -3.250");
}

// The fields as Tokenize splits them, each converted as its own function
// converts it: the same verdict, the same value, and the reader's place
// right after the field it read.
TEST(FieldReader, ReadsEachFieldAsSplittingAndConvertingItWould) {
  const std::string fields[] = {
      "47.4353", "-122.30819", "+5.5", "1.", ".5", "-.5", "007.250", "-0", "9007199254740993",
      "0.1234567890123456789", "12345678901234567890", "1e3", "-1E-2", "-", ".", "+", "1.2.3", "1,5",
      "0x10", "nan", "inf", "12abc", "--5", "5-", "+-5", "123:", "1234.567/", "90", "90.0000001", "-90",
      "180", "-180.00001", "2147483647", "2147483648", "-2147483648", "-2147483649", "999999999",
      "1000000000", "-000000000012", "SEA", "ABCDEFGHIJ", "ABCDEFGHIJK", ";AB", "A;B", "~!", "\x01X",
      "X\x7f", "\xff" "A", std::string("A\0B", 3), "V", "N"};
  for (const std::string& field : fields) {
    for (const std::string& line : {field + " NEXT", "\t " + field + "\r\tNEXT \r", field}) {
      SCOPED_TRACE("\"" + line + "\"");
      std::string_view t[3];
      const int n = Tokenize(line, t, 3);
      const std::string_view tok = n > 0 && t[0] != "NEXT" ? t[0] : std::string_view();
      const bool next = n > 0 && t[n - 1] == "NEXT";
      const auto then_next = [&](FieldReader& r) {
        if (next) {
          EXPECT_EQ(r.Text(), "NEXT");
        }
        EXPECT_TRUE(r.AtEnd());
      };
      {
        FieldReader r(line);
        EXPECT_EQ(r.Text(), tok);
        then_next(r);
      }
      double want = 0.5, got = 0.5;
      const bool number = ParseNumber(tok, want);
      FieldReader r(line);
      std::string_view text;
      ASSERT_EQ(r.Number(got, &text), number);
      if (number) {
        EXPECT_TRUE(got == want && std::signbit(got) == std::signbit(want)) << got;
        EXPECT_EQ(text, tok);
        then_next(r);
      }
      EXPECT_EQ(FieldReader(line).Latitude(got), ParseLatitude(tok, want));
      EXPECT_EQ(FieldReader(line).Longitude(got), ParseLongitude(tok, want));
      int want_int = 7, got_int = 7;
      const bool integer = ParseInteger(tok, want_int);
      FieldReader ri(line);
      ASSERT_EQ(ri.Integer(got_int, &text), integer);
      if (integer) {
        EXPECT_EQ(got_int, want_int);
        EXPECT_EQ(text, tok);
        then_next(ri);
      }
      std::string_view ident;
      FieldReader rd(line);
      ASSERT_EQ(rd.Ident(ident), IsValidIdent(tok));
      if (IsValidIdent(tok)) {
        EXPECT_EQ(ident, tok);
        then_next(rd);
      }
    }
  }
  for (const char* blank : {"", " \t\r"}) {  // no field at all
    double v;
    int i;
    std::string_view ident;
    EXPECT_TRUE(FieldReader(blank).Text().empty() && FieldReader(blank).AtEnd());
    EXPECT_FALSE(FieldReader(blank).Number(v) || FieldReader(blank).Integer(i) || FieldReader(blank).Ident(ident));
  }
  // The rest of the line, trimmed as a name is.
  FieldReader r("A  B \t SEATTLE  TACOMA \t\r\v");
  EXPECT_EQ(r.Text(), "A");
  EXPECT_EQ(r.Rest(), "B \t SEATTLE  TACOMA");
  EXPECT_EQ(r.Text(), "B");
  EXPECT_EQ(r.Rest(), "SEATTLE  TACOMA");
  FieldReader none("X \t ");
  EXPECT_EQ(none.Text(), "X");
  EXPECT_EQ(none.Rest(), "");
  char buffer[kMaxNameLength];
  EXPECT_EQ(CleanName("A\x01" "B\x7f", buffer), "A?B?");
  const std::string long_name(70, 'n');
  EXPECT_EQ(CleanName(long_name, buffer), long_name.substr(0, 64));
}

TEST_F(NavFileTest, AFullIntersectionTableStopsAtItsLineAndCountsNoBadLineBeyond) {
  // Two bad lines just before the line that finds the table full, three
  // just after it: the loader reads ahead of its turn, yet only the two
  // count, and nothing after the full table is taken.
  ScratchFolder dir;
  std::string ints;
  ints.reserve(static_cast<std::size_t>(kMaxIntersections + 8) * 24);
  char line[64];
  for (int i = 1; i <= kMaxIntersections; ++i) {
    if (i == kMaxIntersections - 3) ints += "BAD LINE\n";
    if (i == kMaxIntersections - 1) ints += "X 91.0 0.0\n";
    std::snprintf(line, sizeof line, "F%d %.4f %.4f\n", i, -60.0 + (i % 1200) * 0.1, -170.0 + (i / 1200) * 0.1);
    ints += line;
  }
  ints += "LAST 1.0 1.0\nBAD\nALSO BAD\nX 1.0 999.0\nAFTER 2.0 2.0\n";
  dir.Write("ints.txt", ints);
  LoadNavDatabase();
  const State& s = navdb_state;
  EXPECT_EQ(s.IntersectionCount, kMaxIntersections);
  EXPECT_EQ(s.IntersectionTable[kMaxIntersections].ident, "F" + std::to_string(kMaxIntersections));
  const std::string log = StatusLog();
  EXPECT_NE(log.find("Ints '400000' approaching struct_limit"), std::string::npos) << log;
  // The first bad line is named by its number, taken ahead of its turn.
  EXPECT_NE(log.find(util::Format("ints.txt: bad line %d and 1 more skipped", kMaxIntersections - 3)), std::string::npos)
      << log;
}

}  // namespace
}  // namespace ovi::navdb
