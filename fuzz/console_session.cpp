#include "console_session.h"

#include <string_view>

#include "console/console_input.h"
#include "console/library.h"
#include "fixed_time_zone.h"
#include "support/discarded_output.h"
#include "support/records_check.h"
#include "support/scripted_input.h"
#include "support/session_steps.h"
#include "support/test_clock.h"

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
