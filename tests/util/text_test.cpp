#include "src/util/text.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

using namespace ovi::util;

TEST(Text, FormatGrowsPastSmallBuffer) {
  EXPECT_EQ(Format("%6.0f|%s", 12.4, "A"), "    12|A");
  std::string big(1000, 'x');
  EXPECT_EQ(Format("%s!", big.c_str()), big + "!");
}

TEST(Text, SplitAndParse) {
  auto f = SplitBlanks("  KSEA\t 47.45  -122.3 \r");
  ASSERT_EQ(f.size(), 3u);
  EXPECT_EQ(f[0], "KSEA");
  double d = 0;
  EXPECT_TRUE(ParseDouble(f[2], d));
  EXPECT_DOUBLE_EQ(d, -122.3);
  EXPECT_FALSE(ParseDouble("12abc", d));
  EXPECT_FALSE(ParseDouble("nan", d));
  EXPECT_FALSE(ParseDouble("", d));
  int i = 7;
  EXPECT_FALSE(ParseInt("99999999999", i));
  EXPECT_EQ(i, 7);
  EXPECT_TRUE(ParseInt("+42", i));
  EXPECT_EQ(i, 42);
  EXPECT_TRUE(EqualsIgnoreCase("CruiseAlt", "CRUISEALT"));
}

TEST(Text, ReadLineTakesWholeLinesOfAnyLength) {
  std::FILE* f = std::tmpfile();
  ASSERT_NE(f, nullptr);
  std::string longline(5000, 'a');
  std::fputs((longline + "\r\nshort\nlast").c_str(), f);
  std::rewind(f);
  std::string line;
  ASSERT_TRUE(ReadLine(f, line));
  EXPECT_EQ(line, longline);
  ASSERT_TRUE(ReadLine(f, line));
  EXPECT_EQ(line, "short");
  ASSERT_TRUE(ReadLine(f, line));
  EXPECT_EQ(line, "last");
  EXPECT_FALSE(ReadLine(f, line));
  std::fclose(f);
}
