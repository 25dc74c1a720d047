#ifndef SHELVORANQUIST_CALENDAR_MONTH_H_
#define SHELVORANQUIST_CALENDAR_MONTH_H_

#include <string>

#include "calendar/year.h"

enum Month_nr { Jan = 1, Feb, Mar, Apr, May, Jun, Jul, Aug, Sep, Oct, Nov, Dec };

// A month of a given year. The month number is always 1 to 12: the constructors check it.
class Month {
 public:
  // Leaves the fields unset; such a month is only ever assigned over.
  Month() = default;
  // The month of the year `year_nr` of the common era.
  Month(int month_nr, int year_nr);
  Month(int month_nr, Year year);

  int Number() const { return _month_nr; }
  const Year& Of_year() const { return _year; }

  // 28 or 29 for February, 30 for April, June, September and November, 31 otherwise.
  int Days_in_month() const;
  // The English name of the month, "January" to "December".
  std::string Name() const;
  // The following month; December is followed by January of the next year.
  Month Next() const;

  bool operator==(const Month& other) const;
  bool Is_later_than(const Month& other) const;
  bool Is_earlier_than(const Month& other) const;

  // Writes "/", the month number and then the year ("/3/2026").
  void Print() const;

 private:
  Year _year;
  int _month_nr;
};

#endif  // SHELVORANQUIST_CALENDAR_MONTH_H_
