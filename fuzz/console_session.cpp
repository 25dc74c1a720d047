#include "console_session.h"

#include <string_view>

#include "console/console_input.h"
#include "console/library.h"
#include "fixed_time_zone.h"
#include "support/discarded_output.h"
#include "support/records_check.h"
#include "support/scripted_input.h"
#include "support/test_clock.h"

namespace {

constexpr std::int64_t minutes_per_unit[] = {1, 60, 24 * 60, 365 * 24 * 60};
constexpr std::int64_t most_minutes_in_all = 10'000 * minutes_per_unit[3];

}  // namespace

std::vector<std::string> Run_console_session(const std::uint8_t* data, std::size_t size) {
  Use_fixed_time_zone();
  TestClock clock(2026, 12, 8, 10, 30);
  ScriptedInput script(&clock);
  std::int64_t waited = 0;
  std::size_t start = 0;
  for (std::size_t at = 0; at < size; ++at) {
    if (data[at] != pause_marker) continue;
    script.Type(std::string_view(reinterpret_cast<const char*>(data) + start, at - start));
    start = at + 2;
    if (at + 1 == size) break;
    const std::uint8_t pause = data[++at];
    const std::int64_t minutes = ((pause >> 2) + 1) * minutes_per_unit[pause & 3];
    if (waited + minutes <= most_minutes_in_all) {
      waited += minutes;
      script.Wait_minutes(minutes);
    }
  }
  if (start < size) {
    script.Type(std::string_view(reinterpret_cast<const char*>(data) + start, size - start));
  }

  DiscardedOutput discarded;
  ConsoleInput input(script, -1);
  Library library(input);
  library.Main_menu();
  return Record_faults(library);
}
