#include "calendar/time.h"

#include <iostream>

#include "base/check.h"

Time::Time(int hour_of_day, int minute_of_hour) : hour(hour_of_day), minute(minute_of_hour) {
  SHELVORANQUIST_CHECK(0 <= hour and hour < hours_per_day, "an hour is 0 to 23");
  SHELVORANQUIST_CHECK(0 <= minute and minute < minutes_per_hour, "a minute is 0 to 59");
}

bool Time::operator==(const Time& other) const {
  return hour == other.hour and minute == other.minute;
}

bool Time::Is_later_than(const Time& other) const {
  return hour > other.hour or (hour == other.hour and minute > other.minute);
}

bool Time::Is_earlier_than(const Time& other) const {
  return not Is_later_than(other) and not(*this == other);
}

Time Time::Next() const {
  if (minute + 1 < minutes_per_hour) return Time(hour, minute + 1);
  return Time(hour + 1, 0);
}

int Time::Minutes_until(const Time& target) const {
  if (not Is_earlier_than(target)) return 0;
  return (target.hour - hour) * minutes_per_hour + (target.minute - minute);
}

void Time::Print() const {
  std::cout << (hour > 12 ? hour - 12 : hour) << ':' << minute << (hour < 12 ? "am " : "pm ");
}
