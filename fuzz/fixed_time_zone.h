#ifndef SHELVORANQUIST_FUZZ_FIXED_TIME_ZONE_H_
#define SHELVORANQUIST_FUZZ_FIXED_TIME_ZONE_H_

#include <cstdlib>
#include <ctime>

// Sets the process's time zone, once, to Central European time with its summer time rule,
// written out so that no zone file is needed: a kept input replays alike on every machine.
inline void Use_fixed_time_zone() {
  static const bool done = [] {
    setenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3", 1);
    tzset();
    return true;
  }();
  (void)done;
}

#endif  // SHELVORANQUIST_FUZZ_FIXED_TIME_ZONE_H_
