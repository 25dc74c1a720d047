#ifndef SHELVORANQUIST_TESTS_SUPPORT_TEST_CLOCK_H_
#define SHELVORANQUIST_TESTS_SUPPORT_TEST_CLOCK_H_

#include <cstdint>
#include <ctime>
#include <functional>

// A clock that the test sets and moves forward by hand. While it exists, every reading of the
// system's clock reads it; the clock it replaced (the system clock, or another test clock) comes
// back when it is destroyed. Times are local.
class TestClock {
 public:
  TestClock(int year, int month, int day, int hour, int minute);
  ~TestClock();
  TestClock(const TestClock&) = delete;
  TestClock& operator=(const TestClock&) = delete;

  void Set(int year, int month, int day, int hour, int minute);
  void Advance_minutes(std::int64_t minutes);
  void Advance_days(std::int64_t days) { Advance_minutes(days * 24 * 60); }

 private:
  std::time_t _now = 0;
  std::function<std::time_t()> _replaced;
};

#endif  // SHELVORANQUIST_TESTS_SUPPORT_TEST_CLOCK_H_
