// The text fields of the navigation records: they keep what fits, cut the
// rest, and read and compare like the strings they replaced.
#include "src/model/record_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "src/model/records.h"

namespace ovi::model {
namespace {

TEST(FixedText, KeepsUpToItsCapacityAndCutsTheRest) {
  const struct {
    const char* in;
    const char* kept;
  } cases[] = {
      {"", ""},
      {"SEA", "SEA"},
      {"ABCDEFGHIJ", "ABCDEFGHIJ"},   // exactly 10
      {"ABCDEFGHIJK", "ABCDEFGHIJ"},  // one too many
      {"ABCDEFGHIJKLMNOPQRSTUVWXYZ", "ABCDEFGHIJ"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.in);
    FixedText<10> from_c(c.in), from_string{std::string(c.in)}, from_view{std::string_view(c.in)};
    for (const FixedText<10>* t : {&from_c, &from_string, &from_view}) {
      EXPECT_EQ(t->size(), std::strlen(c.kept));
      EXPECT_STREQ(t->c_str(), c.kept);
      EXPECT_EQ(std::string(*t), c.kept);
      EXPECT_EQ(t->empty(), *c.kept == '\0');
    }
  }
  const char* none = nullptr;
  EXPECT_TRUE(FixedText<4>(none).empty());
}

TEST(FixedText, AShorterTextLeavesNothingOfTheLongerOneBefore) {
  // Records compare as whole storage: a stale tail would make equal idents
  // differ, and would show through c_str().
  FixedText<10> t("ABCDEFGHIJ");
  t = "AB";
  EXPECT_STREQ(t.c_str(), "AB");
  EXPECT_EQ(t, FixedText<10>("AB"));
  EXPECT_EQ(t[2], '\0');
  EXPECT_EQ(t[50], '\0');  // past the end reads the terminator, nothing beyond
  t = std::string();
  EXPECT_EQ(t, FixedText<10>());
  t = t.c_str();  // assigning its own text
  EXPECT_TRUE(t.empty());
  FixedText<10> u("KSEA");
  u = u.view().substr(1);  // overlapping source
  EXPECT_EQ(u, "SEA");
}

// Every length a text can have, taken from the middle of a longer buffer:
// nothing before or after the view may show in the text or its hash.
template <std::size_t N>
void ExpectEveryLengthKeptExactly() {
  const std::string buffer = "#ABCDEFGHIJKLMNOPQRST#";
  for (std::size_t n = 0; n <= N + 2; ++n) {
    SCOPED_TRACE(n);
    const std::string_view view(buffer.data() + 1, n);
    FixedText<N> t(std::string(N, '~'));  // a full text before
    t = view;
    const std::string kept(view.substr(0, std::min(n, N)));
    EXPECT_EQ(t.size(), kept.size());
    EXPECT_STREQ(t.c_str(), kept.c_str());
    for (std::size_t i = kept.size(); i <= N; ++i) EXPECT_EQ(t.c_str()[i], '\0');
    const FixedText<N> copy{std::string(kept)};
    EXPECT_TRUE(t == copy);
    EXPECT_EQ(t.Hash(), copy.Hash());
  }
}

TEST(FixedText, EveryLengthIsKeptExactly) {
  ExpectEveryLengthKeptExactly<10>();
  ExpectEveryLengthKeptExactly<4>();
}

TEST(FixedText, ComparesWithEveryKindOfStringBothWays) {
  const FixedText<10> t("KSEA");
  const std::string same = "KSEA", other = "KSEAX";
  EXPECT_TRUE(t == "KSEA" && "KSEA" == t && t == same && same == t);
  EXPECT_TRUE(t == std::string_view("KSEA") && std::string_view("KSEA") == t);
  EXPECT_TRUE(t != other && other != t && t != "KSE" && t != "");
  const char* none = nullptr;
  EXPECT_FALSE(t == none);
  EXPECT_TRUE(FixedText<10>("KBFI") < t);
  std::string s = "x";
  s = t;  // into a string field (route waypoints)
  EXPECT_EQ(s, "KSEA");
  const std::string& bound = t;  // a std::string parameter
  EXPECT_EQ(bound, "KSEA");
}

TEST(InternedText, EqualTextsShareOneHandleAndOthersStayApart) {
  InternedText a("SYNTHETIC AIRPORT 123"), b(std::string("SYNTHETIC AIRPORT 123"));
  InternedText c("SYNTHETIC AIRPORT 124");  // differs in its last byte only
  EXPECT_EQ(a, b);
  EXPECT_NE(a, c);
  EXPECT_EQ(c, "SYNTHETIC AIRPORT 124");
  EXPECT_STREQ(a.c_str(), "SYNTHETIC AIRPORT 123");
  EXPECT_TRUE(InternedText("").empty());
  EXPECT_STREQ(InternedText().c_str(), "");
  EXPECT_EQ(InternedText(), "");
}

TEST(InternedText, TextsOfEveryLengthDifferingInOneByteStayApart) {
  // Texts are hashed a word at a time, the last word overlapping the one
  // before: a byte at any place of a text of any length still tells it
  // apart, and no byte past a text is read (a view into a longer buffer).
  const std::string buffer(kMaxInternedText + 8, 'q');
  for (std::size_t n = 1; n <= kMaxInternedText; ++n) {
    SCOPED_TRACE(n);
    const InternedText base(std::string_view(buffer.data(), n));
    for (std::size_t at = 0; at < n; ++at) {
      std::string other(n, 'q');
      other[at] = 'r';
      const InternedText changed(other);
      ASSERT_NE(changed, base) << at;
      ASSERT_EQ(changed, InternedText(other));
    }
  }
}

TEST(InternedText, KeepsSixtyFourBytes) {
  const std::string exact(kMaxInternedText, 'N'), longer = exact + "XYZ";
  EXPECT_EQ(InternedText(exact).size(), kMaxInternedText);
  EXPECT_EQ(InternedText(longer), exact);
  EXPECT_EQ(InternedText(longer), InternedText(exact));
}

TEST(InternedText, ManyTextsReadBackAfterTheStoreGrows) {
  // More texts than one block of handles and one chunk of text hold.
  std::vector<InternedText> names;
  for (int i = 0; i < 9000; ++i) names.emplace_back("GROWTH NAME " + std::to_string(i));
  for (int i = 0; i < 9000; ++i) {
    ASSERT_EQ(names[static_cast<std::size_t>(i)], "GROWTH NAME " + std::to_string(i));
    ASSERT_EQ(names[static_cast<std::size_t>(i)], InternedText("GROWTH NAME " + std::to_string(i)));
  }
}

TEST(NavDbRecordText, ACopyKeepsItsTextsWhenTheOriginalChanges) {
  NavDbRecord r;
  r.ident = "SEA";
  r.name = "SEATTLE VORTAC";
  r.kind = "V";
  r.frequency_text = "116.80";
  NavDbRecord copy = r;
  r.ident = "ELN";
  r.name = "ELLENSBURG";
  EXPECT_EQ(copy.ident, "SEA");
  EXPECT_EQ(copy.name, "SEATTLE VORTAC");
  EXPECT_EQ(copy.frequency_text, "116.80");
  r = NavDbRecord{};
  EXPECT_TRUE(r.ident.empty() && r.name.empty() && r.kind.empty());
}

}  // namespace
}  // namespace ovi::model
