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

// Storage follows the highest slot written: the last slot is usable, one
// past it refused, a read never grows, and entries survive the growing.
TEST(GrowingTable, BehavesAsAFixedTableOfItsCapacity) {
  ovi::model::GrowingTable<std::string, 301> t;
  const auto& read = t;
  EXPECT_EQ(read[300], "");
  EXPECT_EQ(t.StoredSlots(), 0);
  auto text = [](int i) { return std::string(20, static_cast<char>('a' + i % 26)); };  // not a small string
  for (int i = 1; i <= 300; ++i) t[i] = text(i);
  t[301] = "outside";
  EXPECT_EQ(read[-1], "");
  EXPECT_EQ(t.refused(), 2);
  EXPECT_EQ(t.StoredSlots(), 301);
  for (int i = 1; i <= 300; ++i) ASSERT_EQ(read[i], text(i)) << i;
  t.Clear();
  EXPECT_EQ(t.StoredSlots(), 0);
  EXPECT_EQ(read[300], "");
}
