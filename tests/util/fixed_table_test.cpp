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
