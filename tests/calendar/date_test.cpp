#include "calendar/date.h"

#include <gmock/gmock.h>

#include "support/calendar_printers.h"
#include "support/captured_output.h"

namespace {

TEST(YearTest, FollowsTheGregorianLeapRule) {
  EXPECT_TRUE(Year(2000, 1).Is_leap());
  EXPECT_TRUE(Year(2024, 1).Is_leap());
  EXPECT_FALSE(Year(1900, 1).Is_leap());
  EXPECT_FALSE(Year(2100, 1).Is_leap());
  EXPECT_FALSE(Year(2026, 1).Is_leap());
  EXPECT_TRUE(Year(-4, 0).Is_leap());
}

TEST(YearTest, OrdersErasBeforeNumbersAndCountsDownBeforeTheEra) {
  EXPECT_TRUE(Year(2027, 1).Is_later_than(Year(2026, 1)));
  EXPECT_TRUE(Year(1, 1).Is_later_than(Year(1, 0)));
  EXPECT_TRUE(Year(5, 0).Is_later_than(Year(10, 0)));
  EXPECT_TRUE(Year(10, 0).Is_earlier_than(Year(5, 0)));
  EXPECT_FALSE(Year(2026, 1).Is_later_than(Year(2026, 1)));
  EXPECT_FALSE(Year(2026, 1).Is_earlier_than(Year(2026, 1)));
  EXPECT_EQ(Year(2026, 1).Next(), Year(2027, 1));
  EXPECT_EQ(Year(5, 0).Next(), Year(4, 0));
  EXPECT_EQ(Year(1, 0).Next(), Year(1, 1));
}

TEST(MonthTest, KnowsItsLengthAndName) {
  for (int month_nr : {4, 6, 9, 11}) EXPECT_EQ(Month(month_nr, 2026).Days_in_month(), 30);
  for (int month_nr : {1, 3, 5, 7, 8, 10, 12}) EXPECT_EQ(Month(month_nr, 2026).Days_in_month(), 31);
  EXPECT_EQ(Month(Feb, 2023).Days_in_month(), 28);
  EXPECT_EQ(Month(Feb, 2024).Days_in_month(), 29);
  EXPECT_EQ(Month(Feb, 2026).Name(), "February");
  EXPECT_EQ(Month(Sep, 2026).Name(), "September");
  EXPECT_EQ(Month(Dec, 2026).Next(), Month(Jan, 2027));
  EXPECT_TRUE(Month(Jan, 2027).Is_later_than(Month(Dec, 2026)));
  EXPECT_TRUE(Month(Dec, 2026).Is_earlier_than(Month(Jan, 2027)));
  EXPECT_FALSE(Month(Dec, 2026).Is_earlier_than(Month(Dec, 2026)));
}

TEST(MonthDeathTest, RefusesANumberOutsideTheYear) {
  EXPECT_DEATH(Month(13, 2026), "check failed: a month is numbered 1 to 12");
  EXPECT_DEATH(Month(0, 2026), "check failed: a month is numbered 1 to 12");
}

TEST(DateTest, ValidatesLeapDays) {
  EXPECT_EQ(Date(29, Feb, 2000).Day(), 29);
  EXPECT_EQ(Date(29, Feb, 2024).Day(), 29);
  EXPECT_DEATH(Date(29, Feb, 1900), "check failed: a day lies within its month");
  EXPECT_DEATH(Date(29, Feb, 2023), "check failed: a day lies within its month");
  EXPECT_DEATH(Date(0, Jan, 2023), "check failed: a day lies within its month");
}

TEST(DateTest, StepsIntoTheNextMonthAndYear) {
  EXPECT_EQ(Date(28, Feb, 2023).Next(), Date(1, Mar, 2023));
  EXPECT_EQ(Date(28, Feb, 2024).Next(), Date(29, Feb, 2024));
  EXPECT_EQ(Date(31, Dec, 2026).Next(), Date(1, Jan, 2027));
  EXPECT_EQ(Date(30, Apr, 2026).Next(), Date(1, May, 2026));
}

TEST(DateTest, OrdersByYearThenMonthThenDay) {
  EXPECT_TRUE(Date(1, Jan, 2027).Is_later_than(Date(31, Dec, 2026)));
  EXPECT_TRUE(Date(31, Dec, 2026).Is_earlier_than(Date(1, Jan, 2027)));
  EXPECT_TRUE(Date(2, Mar, 2026).Is_later_than(Date(1, Mar, 2026)));
  EXPECT_FALSE(Date(7, Mar, 2026).Is_later_than(Date(7, Mar, 2026)));
  EXPECT_FALSE(Date(7, Mar, 2026).Is_earlier_than(Date(7, Mar, 2026)));
}

TEST(DateTest, CountsDaysUntilALaterDate) {
  EXPECT_EQ(Date(30, Dec, 2026).Days_until(Date(2, Jan, 2027)), 3);
  EXPECT_EQ(Date(7, Mar, 2026).Days_until(Date(7, Mar, 2026)), 0);
  EXPECT_EQ(Date(7, Mar, 2026).Days_until(Date(1, Mar, 2026)), 0);
  EXPECT_EQ(Date(1, Jan, 2000).Days_until(Date(1, Jan, 2001)), 366);
  EXPECT_EQ(Date(1, Jan, 1).Days_until(Date(1, Jan, 2001)), 730485);
}

TEST(DateTest, CountsDaysBeforeTheEraAsNextStepsThroughThem) {
  const Date cases[][2] = {
      {Date(31, Month(Dec, Year(1, 0))), Date(1, Month(Jan, Year(1, 1)))},
      {Date(1, Month(Jan, Year(4, 0))), Date(1, Month(Jan, Year(1, 1)))},
      {Date(1, Month(Mar, Year(5, 0))), Date(1, Month(Mar, Year(4, 0)))},
      {Date(15, Month(Jun, Year(401, 0))), Date(2, Month(Feb, Year(3, 1)))},
  };
  for (const auto& [from, to] : cases) {
    int walked = 0;
    for (Date day = from; day.Is_earlier_than(to); day = day.Next()) ++walked;
    EXPECT_EQ(from.Days_until(to), walked);
    EXPECT_EQ(to.Days_until(from), 0);
  }
}

TEST(DateTest, PrintsDayFirstWithoutLeadingZeros) {
  EXPECT_EQ(Output_of([] { Date(7, Mar, 2026).Print(); }), " 7/3/2026");
  EXPECT_EQ(Output_of([] { Date(25, Dec, 2026).Print(); }), " 25/12/2026");
  EXPECT_EQ(Output_of([] { Date(1, Jan, 2027).Print(); }), " 1/1/2027");
}

}  // namespace
