#include "console_session.h"

#include <cstdlib>
#include <ctime>
#include <iostream>
#include <string_view>

#include "console/console_input.h"
#include "console/library.h"
#include "support/discarded_output.h"
#include "support/records_check.h"
#include "support/scripted_input.h"
#include "support/session_steps.h"
#include "support/test_clock.h"

namespace {

// Central European time with its summer time rule, written out so that no zone file is needed.
void Use_fixed_time_zone() {
  static const bool done = [] {
    setenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3", 1);
    tzset();
    return true;
  }();
  (void)done;
}

}  // namespace

std::vector<std::string> Run_console_session(const std::uint8_t* data, std::size_t size) {
  Use_fixed_time_zone();
  TestClock clock(2026, 12, 8, 10, 30);
  ScriptedInput script(&clock);
  Type_steps(script, Session_steps(std::string_view(reinterpret_cast<const char*>(data), size)));

  DiscardedOutput discarded;
  ConsoleInput input(script, -1);
  Library library(input);
  library.Main_menu();
  return Record_faults(library);
}
