#include "calendar/date.h"

#include <climits>
#include <cstdint>
#include <iostream>

#include "base/check.h"
#include "calendar/civil_days.h"

namespace {

// The dates numbered one a day, in the order Next steps through them: the common era as the
// civil day numbers count it, and before it the years counting down to 1, which is followed by
// the year 1 of the era. Leap years are those of Year::Is_leap, on the year number alone.
std::int64_t Day_number(const Date& date) {
  const Year& year = date.Of_month().Of_year();
  SHELVORANQUIST_CHECK(year.Era() == 1 or (year.Era() == 0 and year.Number() >= 1),
                       "a year is of the era, or numbered from 1 before it");
  const std::int64_t number = year.Number();
  const std::int64_t day_number = Civil_day_number(number, date.Of_month().Number(), date.Day());
  if (year.Era() == 1) return day_number;
  const std::int64_t first_day_of_era = Civil_day_number(1, Jan, 1);
  const std::int64_t days_from_year_to_era =
      Civil_day_number(number + 1, Jan, 1) - first_day_of_era;
  const std::int64_t day_of_year = day_number - Civil_day_number(number, Jan, 1);
  return first_day_of_era - days_from_year_to_era + day_of_year;
}

}  // namespace

Date::Date(int day_nr, int month_nr, int year_nr) : Date(day_nr, Month(month_nr, year_nr)) {}

Date::Date(int day_nr, Month month) : _month(month), _day_nr(day_nr) {
  SHELVORANQUIST_CHECK(1 <= _day_nr and _day_nr <= _month.Days_in_month(),
                       "a day lies within its month");
}

bool Date::operator==(const Date& other) const {
  return _month == other._month and _day_nr == other._day_nr;
}

bool Date::Is_later_than(const Date& other) const {
  if (_month.Is_later_than(other._month)) return true;
  return _month == other._month and _day_nr > other._day_nr;
}

bool Date::Is_earlier_than(const Date& other) const {
  return not Is_later_than(other) and not(*this == other);
}

Date Date::Next() const {
  if (_day_nr < _month.Days_in_month()) return Date(_day_nr + 1, _month);
  return Date(1, _month.Next());
}

int Date::Days_until(const Date& target) const {
  if (not Is_earlier_than(target)) return 0;
  const std::int64_t days = Day_number(target) - Day_number(*this);
  return days > INT_MAX ? INT_MAX : static_cast<int>(days);
}

void Date::Print() const {
  std::cout << ' ' << _day_nr;
  _month.Print();
}
