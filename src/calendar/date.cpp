#include "calendar/date.h"

#include <cassert>
#include <climits>
#include <iostream>

#include "calendar/civil_days.h"

Date::Date(int day_nr, int month_nr, int year_nr) : Date(day_nr, Month(month_nr, year_nr)) {}

Date::Date(int day_nr, Month month) : _month(month), _day_nr(day_nr) {
  assert(1 <= _day_nr and _day_nr <= _month.Days_in_month());
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
  const Year& from_year = _month.Of_year();
  const Year& to_year = target._month.Of_year();
  if (from_year.Era() == 1 and to_year.Era() == 1) {
    // Both in the common era: count through day numbers, however far apart the dates are.
    const long long days =
        Civil_day_number(to_year.Number(), target._month.Number(), target._day_nr) -
        Civil_day_number(from_year.Number(), _month.Number(), _day_nr);
    return days > INT_MAX ? INT_MAX : static_cast<int>(days);
  }
  int count = 0;
  for (Date day = *this; day.Is_earlier_than(target) and count < INT_MAX; day = day.Next()) {
    ++count;
  }
  return count;
}

void Date::Print() const {
  std::cout << ' ' << _day_nr;
  _month.Print();
}
