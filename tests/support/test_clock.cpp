#include "support/test_clock.h"

#include <utility>

#include "calendar/clock.h"

TestClock::TestClock(int year, int month, int day, int hour, int minute) {
  Set(year, month, day, hour, minute);
  _replaced = Set_time_source([this] { return _now; });
}

TestClock::~TestClock() { Set_time_source(std::move(_replaced)); }

void TestClock::Set(int year, int month, int day, int hour, int minute) {
  std::tm local{};
  local.tm_year = year - 1900;
  local.tm_mon = month - 1;
  local.tm_mday = day;
  local.tm_hour = hour;
  local.tm_min = minute;
  local.tm_isdst = -1;
  _now = std::mktime(&local);
}

void TestClock::Advance_minutes(std::int64_t minutes) {
  _now += static_cast<std::time_t>(minutes * 60);
}
