#include <gtest/gtest.h>

#include "src/guidance/date.h"
#include "src/guidance/state.h"
#include "src/host/module_state.h"
#include "tests/host/fake_panels.h"

namespace ovi::guidance {
namespace {

class DateTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetModuleState();
    host.Bind();
  }
  void Expect(int year, int day, const char* name, int month, int day_of_month) {
    host.tokens[9] = year;
    FormatSimulatorDate(day);
    SCOPED_TRACE(::testing::Message() << year << " day " << day);
    EXPECT_EQ(guidance_state.SimulatorMonthName, name);
    EXPECT_EQ(guidance_state.SimulatorMonth, month);
    EXPECT_EQ(guidance_state.SimulatorDayOfMonth, day_of_month);
  }
  testing::FakeHost host;
};

TEST_F(DateTest, MonthEndsAndLeapYears) {
  Expect(2003, 1, "JAN", 1, 1);
  Expect(2003, 31, "JAN", 1, 31);
  Expect(2003, 32, "FEB", 2, 1);
  Expect(2003, 59, "FEB", 2, 28);
  Expect(2003, 60, "MAR", 3, 1);
  Expect(2004, 60, "FEB", 2, 29);
  Expect(2004, 61, "MAR", 3, 1);
  Expect(2003, 365, "DEC", 12, 31);
  Expect(2004, 366, "DEC", 12, 31);
  // Years outside any fixed list follow the calendar: 2028 and 2400 are leap
  // years, 1900 and 2100 are not.
  Expect(2028, 60, "FEB", 2, 29);
  Expect(2400, 60, "FEB", 2, 29);
  Expect(2100, 60, "MAR", 3, 1);
  Expect(1900, 60, "MAR", 3, 1);
  Expect(2023, 196, "JUL", 7, 15);
}

TEST_F(DateTest, DaysOutsideTheYearLeaveThePreviousDate) {
  Expect(2003, 100, "APR", 4, 10);
  for (int day : {366, 367, 0, -5, 100000}) {
    host.tokens[9] = 2003;
    FormatSimulatorDate(day);
    EXPECT_EQ(guidance_state.SimulatorMonthName, "APR") << day;
    EXPECT_EQ(guidance_state.SimulatorDayOfMonth, 10) << day;
  }
  // A leap year accepts day 366.
  Expect(2024, 366, "DEC", 12, 31);
}

}  // namespace
}  // namespace ovi::guidance
