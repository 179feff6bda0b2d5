#include "src/model/fixed_table.h"

#include <gtest/gtest.h>

#include <string>

using ovi::model::FixedTable;

TEST(FixedTable, OutOfRangeAccessIsRefusedNotWritten) {
  FixedTable<std::string, 4> t;
  t[1] = "one";
  t[4] = "outside";  // lands in the scratch slot
  t[-1] = "outside";
  EXPECT_EQ(t[1], "one");
  EXPECT_EQ(t[4], "");  // scratch is cleared on every refused access
  EXPECT_EQ(t.refused(), 3);
  EXPECT_EQ(t.At(4), nullptr);
  EXPECT_NE(t.At(3), nullptr);
}

using ovi::model::GrowingTable;

// A growing table behaves as a fixed one of its capacity: the last slot is
// usable, one past it is refused; storage follows the highest slot written.
TEST(GrowingTable, LastSlotIsUsableAndOnePastIsRefused) {
  GrowingTable<std::string, 301> t;
  EXPECT_EQ(t.StoredSlots(), 0);
  t[300] = "last";
  EXPECT_EQ(t.StoredSlots(), 301);
  t[301] = "outside";
  t[-1] = "outside";
  EXPECT_EQ(t.refused(), 2);
  EXPECT_EQ(t.StoredSlots(), 301) << "a refused write takes no storage";
  EXPECT_EQ(t[300], "last");
  EXPECT_EQ(t[301], "") << "the scratch is cleared at each refusal";
  EXPECT_EQ(t.At(301), nullptr);
  EXPECT_EQ(*t.At(300), "last");
}

TEST(GrowingTable, ReadingNeverGrowsAndWritesSurviveGrowth) {
  GrowingTable<std::string, 41> t;
  const auto& read = t;
  EXPECT_EQ(read[40], "") << "a slot never written reads empty";
  EXPECT_EQ(*read.At(7), "");
  EXPECT_EQ(t.StoredSlots(), 0);
  EXPECT_EQ(t.refused(), 0);
  EXPECT_EQ(read[41], "");
  EXPECT_EQ(t.refused(), 1) << "a read past the capacity is refused as a write is";
  for (int i = 1; i <= 40; ++i) t[i] = std::string(20, static_cast<char>('a' + i % 26));  // past the small-string size
  for (int i = 1; i <= 40; ++i) EXPECT_EQ(read[i], std::string(20, static_cast<char>('a' + i % 26))) << i;
  t.Clear();
  EXPECT_EQ(t.StoredSlots(), 0);
  EXPECT_EQ(read[1], "");
}
