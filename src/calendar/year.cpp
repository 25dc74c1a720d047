#include "calendar/year.h"

#include <iostream>

bool Year::Is_leap() const {
  return _year_nr % 4 == 0 and (_year_nr % 100 != 0 or _year_nr % 400 == 0);
}

Year Year::Next() const {
  if (_era == 0) {
    if (_year_nr > 1) return Year(_year_nr - 1, 0);
    return Year(1, 1);
  }
  return Year(_year_nr + 1, _era);
}

bool Year::operator==(const Year& other) const {
  return _year_nr == other._year_nr and _era == other._era;
}

bool Year::Is_later_than(const Year& other) const {
  if (_era != other._era) return _era > other._era;
  if (_era == 0) return _year_nr < other._year_nr;
  return _year_nr > other._year_nr;
}

bool Year::Is_earlier_than(const Year& other) const {
  return not Is_later_than(other) and not(*this == other);
}

void Year::Print() const { std::cout << '/' << _year_nr; }
