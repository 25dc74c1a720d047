#ifndef SHELVORANQUIST_CALENDAR_DATE_H_
#define SHELVORANQUIST_CALENDAR_DATE_H_

#include "calendar/month.h"

// A day of a given month. The day is always 1 to the month's length: the constructors check it.
class Date {
 public:
  // Leaves the fields unset; such a date is only ever assigned over.
  Date() = default;
  // A date of the common era.
  Date(int day_nr, int month_nr, int year_nr);
  Date(int day_nr, Month month);

  int Day() const { return _day_nr; }
  const Month& Of_month() const { return _month; }

  bool operator==(const Date& other) const;
  bool Is_later_than(const Date& other) const;
  bool Is_earlier_than(const Date& other) const;

  Date Next() const;
  // The number of days from this date to `target`; 0 when `target` is not later.
  // Counts that do not fit an int are capped at the largest int. Both years are of the common
  // era, or before it and numbered from 1 up.
  int Days_until(const Date& target) const;

  // Writes one space, the day, "/", the month number, "/" and the year (" 7/3/2026").
  void Print() const;

 private:
  Month _month;
  int _day_nr;
};

#endif  // SHELVORANQUIST_CALENDAR_DATE_H_
