#include "calendar/month.h"

#include <iostream>

#include "base/check.h"

Month::Month(int month_nr, int year_nr) : Month(month_nr, Year(year_nr, 1)) {}

Month::Month(int month_nr, Year year) : _year(year), _month_nr(month_nr) {
  SHELVORANQUIST_CHECK(Jan <= month_nr and month_nr <= Dec, "a month is numbered 1 to 12");
}

int Month::Days_in_month() const {
  switch (_month_nr) {
    case Feb:
      return _year.Is_leap() ? 29 : 28;
    case Apr:
    case Jun:
    case Sep:
    case Nov:
      return 30;
    default:
      return 31;
  }
}

std::string Month::Name() const {
  static const char* const names[] = {"January",   "February", "March",    "April",
                                      "May",       "June",     "July",     "August",
                                      "September", "October",  "November", "December"};
  if (_month_nr < Jan or _month_nr > Dec) return "";
  return names[_month_nr - 1];
}

Month Month::Next() const {
  if (_month_nr == Dec) return Month(Jan, _year.Next());
  return Month(_month_nr + 1, _year);
}

bool Month::operator==(const Month& other) const {
  return _year == other._year and _month_nr == other._month_nr;
}

bool Month::Is_later_than(const Month& other) const {
  if (_year.Is_later_than(other._year)) return true;
  return _year == other._year and _month_nr > other._month_nr;
}

bool Month::Is_earlier_than(const Month& other) const {
  return not Is_later_than(other) and not(*this == other);
}

void Month::Print() const {
  std::cout << '/' << _month_nr;
  _year.Print();
}
