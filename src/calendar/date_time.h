#ifndef SHELVORANQUIST_CALENDAR_DATE_TIME_H_
#define SHELVORANQUIST_CALENDAR_DATE_TIME_H_

#include <cstdint>

#include "calendar/date.h"
#include "calendar/time.h"

// A date and time of day to the minute: the due stamp of every lendable item. It knows the
// current local time (through Read_clock) and builds the stamp of now plus a number of days.
class DateTime {
 public:
  // Leaves the stamp unset (its fields zero); such an object only answers Current_year to
  // Current_minute, or is assigned over.
  DateTime() = default;
  // Normalises its arguments: minutes carry into hours, hours into days, months into years and
  // days into months, as often as needed and in both directions, so every (year, month, day,
  // hour, minute) of the common era names a valid stamp. For a valid date plus 0 to 28 days
  // and a valid time this is exactly one carry at each step. The resulting year must be of the
  // common era and fit an int.
  DateTime(int year, int month, int day, int hour, int minute);
  DateTime(const DateTime&) = default;
  DateTime& operator=(const DateTime&) = default;
  virtual ~DateTime() = default;

  // The current minute, from one clock reading.
  static DateTime Now();
  // The current minute plus `days` days, from one clock reading. `days` must be 0 or more; any
  // such int works, however large.
  static DateTime Now_plus_days(int days);

  const Time& Time_of_day() const { return _time; }
  const Date& Day() const { return _date; }

  bool operator==(const DateTime& other) const;
  bool Is_later_than(const DateTime& other) const;
  bool Is_earlier_than(const DateTime& other) const;

  // Comparisons with the current minute, each from one clock reading. A stamp has passed from
  // the first minute after it, not during its own minute.
  virtual bool Is_now() const;
  virtual bool Has_passed() const;
  virtual bool Is_later_than_now() const;
  // Fields of the current local time, each from its own clock reading.
  virtual int Current_year() const;
  virtual int Current_month() const;
  virtual int Current_day() const;
  virtual int Current_hour() const;
  virtual int Current_minute() const;

  // Writes the time and then the date; they meet with two spaces ("3:7pm  14/5/2026").
  void Print() const;

 private:
  // A stamp's fields, each in its range.
  struct Parts;
  // Carries every field into range. The arithmetic is 64-bit, so no int argument overflows it.
  static Parts Normalise(std::int64_t year, std::int64_t month, std::int64_t day, std::int64_t hour,
                         std::int64_t minute);
  explicit DateTime(const Parts& parts);

  Time _time{};
  Date _date{};
};

#endif  // SHELVORANQUIST_CALENDAR_DATE_TIME_H_
