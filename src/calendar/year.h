#ifndef SHELVORANQUIST_CALENDAR_YEAR_H_
#define SHELVORANQUIST_CALENDAR_YEAR_H_

// A year number with its era: era 1 for the common era, era 0 for the years before it.
// Every year the system makes itself is of era 1.
class Year {
 public:
  // Leaves both fields unset; such a year is only ever assigned over.
  Year() = default;
  Year(int year_nr, int era) : _year_nr(year_nr), _era(era) {}

  int Number() const { return _year_nr; }
  int Era() const { return _era; }

  // The Gregorian rule on the year number alone: 2000 and 2024 are leap years, 1900 is not.
  bool Is_leap() const;

  // The following year. Before the era the numbers count down, and the year 1 before the
  // era is followed by the year 1 of the era.
  Year Next() const;

  bool operator==(const Year& other) const;
  bool Is_later_than(const Year& other) const;
  bool Is_earlier_than(const Year& other) const;

  // Writes "/" and the year number; the era is not shown.
  void Print() const;

 private:
  int _year_nr;
  int _era;
};

#endif  // SHELVORANQUIST_CALENDAR_YEAR_H_
