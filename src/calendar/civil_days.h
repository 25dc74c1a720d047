#ifndef SHELVORANQUIST_CALENDAR_CIVIL_DAYS_H_
#define SHELVORANQUIST_CALENDAR_CIVIL_DAYS_H_

#include <cstdint>

// Day numbers of the proleptic Gregorian calendar: day 0 is 1 January 1970 of the common era.
// They let the calendar step over any number of days at once instead of walking day by day.
// Month 1..12; the day may lie outside the month (day 0 is the last day of the month before),
// so (year, month, day + n) names the date n days later.
std::int64_t Civil_day_number(std::int64_t year, int month, std::int64_t day);

// Division rounding towards minus infinity: Floor_div(-1, 12) is -1.
std::int64_t Floor_div(std::int64_t a, std::int64_t b);

struct Civil_date {
  std::int64_t year;
  int month;  // 1..12
  int day;    // 1..31
};
Civil_date Civil_date_of(std::int64_t day_number);

#endif  // SHELVORANQUIST_CALENDAR_CIVIL_DAYS_H_
