#include "calendar/civil_days.h"

// The eras here are 400-year cycles of 146097 days, counted from 1 March of year 0 so that the
// leap day falls at the end of each computational year.

std::int64_t Floor_div(std::int64_t a, std::int64_t b) {
  std::int64_t q = a / b;
  if ((a % b != 0) and ((a < 0) != (b < 0))) --q;
  return q;
}

std::int64_t Civil_day_number(std::int64_t year, int month, std::int64_t day) {
  year -= month <= 2 ? 1 : 0;
  const std::int64_t era = Floor_div(year, 400);
  const std::int64_t year_of_era = year - era * 400;       // 0..399
  const std::int64_t month_from_march = (month + 9) % 12;  // March is 0
  const std::int64_t day_of_year = (153 * month_from_march + 2) / 5 + day - 1;
  const std::int64_t day_of_era =
      year_of_era * 365 + year_of_era / 4 - year_of_era / 100 + day_of_year;
  return era * 146097 + day_of_era - 719468;
}

Civil_date Civil_date_of(std::int64_t day_number) {
  day_number += 719468;
  const std::int64_t era = Floor_div(day_number, 146097);
  const std::int64_t day_of_era = day_number - era * 146097;  // 0..146096
  const std::int64_t year_of_era =
      (day_of_era - day_of_era / 1460 + day_of_era / 36524 - day_of_era / 146096) / 365;
  const std::int64_t day_of_year =
      day_of_era - (365 * year_of_era + year_of_era / 4 - year_of_era / 100);
  const std::int64_t month_from_march = (5 * day_of_year + 2) / 153;
  const int day = static_cast<int>(day_of_year - (153 * month_from_march + 2) / 5 + 1);
  const int month =
      static_cast<int>(month_from_march < 10 ? month_from_march + 3 : month_from_march - 9);
  const std::int64_t year = year_of_era + era * 400 + (month <= 2 ? 1 : 0);
  return Civil_date{year, month, day};
}
