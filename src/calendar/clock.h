#ifndef SHELVORANQUIST_CALENDAR_CLOCK_H_
#define SHELVORANQUIST_CALENDAR_CLOCK_H_

#include <ctime>
#include <functional>

// The current local date and time to the minute, from one reading of the clock.
struct Clock_reading {
  int year;    // for example 2026
  int month;   // 1..12
  int day;     // 1..31
  int hour;    // 0..23
  int minute;  // 0..59
};

// Reads the clock once: `time`, turned into local time by `localtime`. Seconds are dropped.
Clock_reading Read_clock();

// Replaces where `time` comes from, so that tests can run the whole system at a moment of their
// choosing and move it forward, and returns the source it replaced (empty for the system clock).
// An empty function restores the system clock. The shipped program never calls this.
std::function<std::time_t()> Set_time_source(std::function<std::time_t()> source);

#endif  // SHELVORANQUIST_CALENDAR_CLOCK_H_
