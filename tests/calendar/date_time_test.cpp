#include "calendar/date_time.h"

#include <gmock/gmock.h>

#include "support/calendar_printers.h"
#include "support/captured_output.h"
#include "support/test_clock.h"

namespace {

std::string Printed(const DateTime& stamp) {
  return Output_of([&] { stamp.Print(); });
}

TEST(DateTimeTest, PrintsTimeThenDateWithTwoSpaces) {
  EXPECT_EQ(Printed(DateTime(2026, 5, 14, 15, 7)), "3:7pm  14/5/2026");
  EXPECT_EQ(Printed(DateTime(9999, 1, 1, 1, 1)), "1:1am  1/1/9999");
}

// The test support's printers, which a failed comparison of calendar values shows.
TEST(CalendarPrinterTest, ShowsDayMonthYearAndTheTwentyFourHourClock) {
  EXPECT_EQ(testing::PrintToString(DateTime(2026, 5, 14, 15, 7)), "14/5/2026 15:07");
  EXPECT_EQ(testing::PrintToString(Date(1, Month(Jan, Year(5, 0)))), "1/1/5 before the era");
}

TEST(DateTimeTest, CarriesEachFieldOnceForShortLoans) {
  EXPECT_EQ(DateTime(2026, 12, 39, 23, 30), DateTime(2027, 1, 8, 23, 30));
  EXPECT_EQ(DateTime(2026, 13, 5, 10, 0), DateTime(2027, 1, 5, 10, 0));
  EXPECT_EQ(DateTime(2026, 3, 20, 10, 60), DateTime(2026, 3, 20, 11, 0));
  EXPECT_EQ(DateTime(2026, 3, 20, 24, 0), DateTime(2026, 3, 21, 0, 0));
  EXPECT_EQ(DateTime(2024, 2, 30, 8, 0), DateTime(2024, 3, 1, 8, 0));
  EXPECT_EQ(DateTime(2023, 1, 31 + 28, 8, 0), DateTime(2023, 2, 28, 8, 0));
}

TEST(DateTimeTest, CarriesAsOftenAsNeededInBothDirections) {
  EXPECT_EQ(DateTime(2026, 12, 8 + 10000, 10, 30), DateTime(2054, 4, 25, 10, 30));
  EXPECT_EQ(DateTime(2026, 3, 0, 10, 30), DateTime(2026, 2, 28, 10, 30));
  EXPECT_EQ(DateTime(2026, 1, -30, 10, 30), DateTime(2025, 12, 1, 10, 30));
  EXPECT_EQ(DateTime(2026, 25, 1, 0, 0), DateTime(2028, 1, 1, 0, 0));
  EXPECT_EQ(DateTime(2026, 1, 1, 0, 3000), DateTime(2026, 1, 3, 2, 0));
  EXPECT_EQ(DateTime(2026, 1, 1, 0, -1), DateTime(2025, 12, 31, 23, 59));
  EXPECT_EQ(DateTime(2026, 1, 1, -1, 0), DateTime(2025, 12, 31, 23, 0));
  EXPECT_EQ(DateTime(2026, 3, 1, -25, -61), DateTime(2026, 2, 27, 21, 59));
  EXPECT_EQ(DateTime(2026, 1, 1, 0, -3000), DateTime(2025, 12, 29, 22, 0));
}

TEST(DateTimeTest, ComparesToTheMinute) {
  const DateTime stamp(2026, 12, 8, 14, 5);
  EXPECT_TRUE(DateTime(2026, 12, 8, 14, 6).Is_later_than(stamp));
  EXPECT_TRUE(DateTime(2026, 12, 9, 0, 0).Is_later_than(DateTime(2026, 12, 8, 23, 59)));
  EXPECT_TRUE(stamp.Is_earlier_than(DateTime(2026, 12, 8, 14, 6)));
  EXPECT_FALSE(stamp.Is_earlier_than(stamp));
  EXPECT_FALSE(stamp.Is_later_than(stamp));
}

TEST(DateTimeTest, AnEarlierDayIsEarlierWhateverTheTimesOfDay) {
  const struct {
    DateTime earlier, later;
  } cases[] = {
      {DateTime(2026, 12, 8, 15, 0), DateTime(2026, 12, 9, 10, 0)},
      {DateTime(2026, 11, 30, 23, 59), DateTime(2026, 12, 1, 0, 0)},
      {DateTime(2026, 12, 31, 18, 30), DateTime(2027, 1, 1, 6, 15)},
      {DateTime(2026, 12, 9, 10, 0), DateTime(2026, 12, 9, 15, 0)},
  };
  for (const auto& [earlier, later] : cases) {
    EXPECT_TRUE(earlier.Is_earlier_than(later) and not earlier.Is_later_than(later))
        << Printed(earlier) << " before " << Printed(later);
    EXPECT_TRUE(later.Is_later_than(earlier) and not later.Is_earlier_than(earlier))
        << Printed(later) << " after " << Printed(earlier);
  }
}

class NowTest : public testing::Test {
 protected:
  TestClock clock{2026, 12, 25, 23, 30};
};

TEST_F(NowTest, NowPlusDaysCarriesIntoTheNextYear) {
  EXPECT_EQ(Printed(DateTime::Now_plus_days(14)), "11:30pm  8/1/2027");
  EXPECT_EQ(Printed(DateTime::Now_plus_days(0)), "11:30pm  25/12/2026");
}

TEST_F(NowTest, NowPlusOneDayKnowsLeapYears) {
  clock.Set(2024, 2, 28, 9, 0);
  EXPECT_EQ(DateTime::Now_plus_days(1), DateTime(2024, 2, 29, 9, 0));
  clock.Set(2023, 2, 28, 9, 0);
  EXPECT_EQ(DateTime::Now_plus_days(1), DateTime(2023, 3, 1, 9, 0));
  clock.Set(2026, 3, 20, 10, 30);
  EXPECT_EQ(DateTime::Now_plus_days(14), DateTime(2026, 4, 3, 10, 30));
  // The leap day that ends a 400-year cycle, printed: a stamp built from the same fields would
  // be carried the same way.
  clock.Set(2000, 2, 28, 9, 0);
  EXPECT_EQ(Printed(DateTime::Now_plus_days(1)), "9:0am  29/2/2000");
  clock.Set(2400, 2, 15, 9, 0);
  EXPECT_EQ(Printed(DateTime::Now_plus_days(14)), "9:0am  29/2/2400");
  EXPECT_EQ(Printed(DateTime::Now_plus_days(15)), "9:0am  1/3/2400");
  clock.Set(2000, 2, 20, 9, 0);
  EXPECT_EQ(Printed(DateTime::Now_plus_days(14)), "9:0am  5/3/2000");
}

TEST_F(NowTest, HugeDayCountsNeitherWalkNorOverflow) {
  EXPECT_EQ(DateTime::Now_plus_days(10000), DateTime(2054, 5, 12, 23, 30));
  EXPECT_EQ(DateTime::Now_plus_days(2000000000), DateTime(5477840, 12, 30, 23, 30));
  // The largest loan length, whose day of the month no longer fits an int.
  EXPECT_EQ(DateTime::Now_plus_days(2147483647), DateTime(5881637, 7, 4, 23, 30));
}

TEST_F(NowTest, AStampHasPassedFromTheMinuteAfterIt) {
  const DateTime now = DateTime::Now_plus_days(0);
  EXPECT_TRUE(now.Is_now());
  EXPECT_FALSE(now.Has_passed());
  EXPECT_FALSE(now.Is_later_than_now());
  clock.Advance_minutes(1);
  EXPECT_FALSE(now.Is_now());
  EXPECT_TRUE(now.Has_passed());
}

TEST_F(NowTest, PassingIsJudgedAcrossDays) {
  clock.Set(2026, 12, 8, 14, 6);
  EXPECT_TRUE(DateTime(2026, 12, 8, 14, 5).Has_passed());
  clock.Set(2026, 12, 8, 23, 59);
  EXPECT_FALSE(DateTime(2026, 12, 9, 9, 0).Has_passed());
  EXPECT_TRUE(DateTime(2026, 12, 9, 9, 0).Is_later_than_now());
  EXPECT_TRUE(DateTime(9999, 1, 1, 1, 1).Is_later_than_now());
  EXPECT_FALSE(DateTime(9999, 1, 1, 1, 1).Has_passed());
}

TEST_F(NowTest, ANegativeDayCountIsRefusedAndAnInnerClockGivesBackTheOuter) {
  EXPECT_DEATH(DateTime::Now_plus_days(-1), "check failed: the days added to now are 0 or more");
  { TestClock inner(2030, 1, 1, 0, 0); }
  EXPECT_EQ(Printed(DateTime::Now()), "11:30pm  25/12/2026");
}

TEST_F(NowTest, ReadsTheFieldsOfTheCurrentLocalTime) {
  const DateTime receiver{};
  EXPECT_EQ(receiver.Current_year(), 2026);
  EXPECT_EQ(receiver.Current_month(), 12);
  EXPECT_EQ(receiver.Current_day(), 25);
  EXPECT_EQ(receiver.Current_hour(), 23);
  EXPECT_EQ(receiver.Current_minute(), 30);
}

}  // namespace
