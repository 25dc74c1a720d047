#include "calendar/date_time.h"

#include <climits>
#include <cstdint>

#include "base/check.h"
#include "calendar/civil_days.h"
#include "calendar/clock.h"

struct DateTime::Parts {
  int year, month, day, hour, minute;
};

DateTime::Parts DateTime::Normalise(std::int64_t year, std::int64_t month, std::int64_t day,
                                    std::int64_t hour, std::int64_t minute) {
  const std::int64_t minute_of_day = hour * minutes_per_hour + minute;
  const std::int64_t minutes_per_day = std::int64_t{hours_per_day} * minutes_per_hour;
  const std::int64_t carried_days = Floor_div(minute_of_day, minutes_per_day);
  const std::int64_t minute_in_day = minute_of_day - carried_days * minutes_per_day;

  const std::int64_t month_index = month - 1;
  const std::int64_t carried_years = Floor_div(month_index, 12);
  const int month_nr = static_cast<int>(month_index - carried_years * 12 + 1);

  const Civil_date date =
      Civil_date_of(Civil_day_number(year + carried_years, month_nr, day + carried_days));
  SHELVORANQUIST_CHECK(1 <= date.year and date.year <= INT_MAX,
                       "a stamp's year is of the era and fits an int");
  return Parts{static_cast<int>(date.year), date.month, date.day,
               static_cast<int>(minute_in_day / minutes_per_hour),
               static_cast<int>(minute_in_day % minutes_per_hour)};
}

DateTime::DateTime(int year, int month, int day, int hour, int minute)
    : DateTime(Normalise(year, month, day, hour, minute)) {}

DateTime::DateTime(const Parts& parts)
    : _time(parts.hour, parts.minute), _date(parts.day, parts.month, parts.year) {}

DateTime DateTime::Now() { return Now_plus_days(0); }

DateTime DateTime::Now_plus_days(int days) {
  SHELVORANQUIST_CHECK(days >= 0, "the days added to now are 0 or more");
  const Clock_reading now = Read_clock();
  return DateTime(
      Normalise(now.year, now.month, std::int64_t{now.day} + days, now.hour, now.minute));
}

bool DateTime::operator==(const DateTime& other) const {
  return _date == other._date and _time == other._time;
}

bool DateTime::Is_later_than(const DateTime& other) const {
  return _date.Is_later_than(other._date) or
         (_date == other._date and _time.Is_later_than(other._time));
}

bool DateTime::Is_earlier_than(const DateTime& other) const {
  return not Is_later_than(other) and not(*this == other);
}

bool DateTime::Is_now() const { return *this == Now(); }

bool DateTime::Has_passed() const { return Is_earlier_than(Now()); }

bool DateTime::Is_later_than_now() const { return Is_later_than(Now()); }

int DateTime::Current_year() const { return Read_clock().year; }
int DateTime::Current_month() const { return Read_clock().month; }
int DateTime::Current_day() const { return Read_clock().day; }
int DateTime::Current_hour() const { return Read_clock().hour; }
int DateTime::Current_minute() const { return Read_clock().minute; }

void DateTime::Print() const {
  _time.Print();
  _date.Print();
}
