#ifndef SHELVORANQUIST_CALENDAR_TIME_H_
#define SHELVORANQUIST_CALENDAR_TIME_H_

inline constexpr int hours_per_day = 24;
inline constexpr int minutes_per_hour = 60;

// A time of day to the minute. The constructor checks 0 <= hour < 24 and 0 <= minute < 60.
class Time {
 public:
  // Leaves both fields unset; such a time is only ever assigned over.
  Time() = default;
  Time(int hour_of_day, int minute_of_hour);

  int Hour() const { return hour; }
  int Minute() const { return minute; }

  bool operator==(const Time& other) const;
  bool Is_later_than(const Time& other) const;
  bool Is_earlier_than(const Time& other) const;

  // The following minute. Only for times before 23:59, which has no successor on its day.
  Time Next() const;
  // The number of minutes from this time to `target`; 0 when `target` is not later.
  int Minutes_until(const Time& target) const;

  // Writes the 12-hour clock without leading zeros, then "am " or "pm " with its space:
  // 00:05 is "0:5am ", 12:30 is "12:30pm ", 15:07 is "3:7pm ".
  void Print() const;

 private:
  int hour;
  int minute;
};

#endif  // SHELVORANQUIST_CALENDAR_TIME_H_
