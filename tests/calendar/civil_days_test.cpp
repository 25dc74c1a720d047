#include "calendar/civil_days.h"

#include <gmock/gmock.h>

#include <tuple>

namespace {

TEST(CivilDaysTest, TheLeapDayThatEndsA400YearCycleIsADayOfItsOwnBothWays) {
  // The day numbers of 28 February in years whose 29 February is the last day of an era.
  const struct {
    std::int64_t year;
    std::int64_t february_28;
  } cases[] = {{1600, -135082}, {2000, 11015}, {2400, 157112}};
  for (const auto& [year, february_28] : cases) {
    const Civil_date days[] = {{year, 2, 28}, {year, 2, 29}, {year, 3, 1}, {year, 3, 2}};
    for (std::int64_t offset = 0; const Civil_date& day : days) {
      const std::int64_t number = february_28 + offset++;
      EXPECT_EQ(Civil_day_number(day.year, day.month, day.day), number);
      const Civil_date date = Civil_date_of(number);
      EXPECT_EQ(std::tuple(date.year, date.month, date.day),
                std::tuple(day.year, day.month, day.day))
          << "day " << number;
    }
  }
}

}  // namespace
