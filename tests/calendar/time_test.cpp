#include "calendar/time.h"

#include <gmock/gmock.h>

#include "support/calendar_printers.h"
#include "support/captured_output.h"

namespace {

std::string Printed(int hour, int minute) {
  return Output_of([&] { Time(hour, minute).Print(); });
}

TEST(TimeTest, PrintsTheTwelveHourClockWithItsSpace) {
  EXPECT_EQ(Printed(0, 5), "0:5am ");
  EXPECT_EQ(Printed(0, 0), "0:0am ");
  EXPECT_EQ(Printed(12, 0), "12:0pm ");
  EXPECT_EQ(Printed(12, 30), "12:30pm ");
  EXPECT_EQ(Printed(15, 7), "3:7pm ");
  EXPECT_EQ(Printed(23, 59), "11:59pm ");
  EXPECT_EQ(Printed(11, 59), "11:59am ");
}

TEST(TimeTest, OrdersAndSteps) {
  EXPECT_TRUE(Time(10, 31).Is_later_than(Time(10, 30)));
  EXPECT_TRUE(Time(11, 0).Is_later_than(Time(10, 59)));
  EXPECT_TRUE(Time(10, 30).Is_earlier_than(Time(10, 31)));
  EXPECT_FALSE(Time(10, 30).Is_earlier_than(Time(10, 30)));
  EXPECT_EQ(Time(10, 59).Next(), Time(11, 0));
  EXPECT_EQ(Time(10, 5).Next(), Time(10, 6));
  EXPECT_EQ(Time(10, 58).Minutes_until(Time(11, 2)), 4);
  EXPECT_EQ(Time(11, 2).Minutes_until(Time(10, 58)), 0);
}

TEST(TimeDeathTest, RefusesFieldsOutOfRange) {
  EXPECT_DEATH(Time(24, 0), "check failed: an hour is 0 to 23");
  EXPECT_DEATH(Time(-1, 0), "check failed: an hour is 0 to 23");
  EXPECT_DEATH(Time(10, 60), "check failed: a minute is 0 to 59");
}

}  // namespace
