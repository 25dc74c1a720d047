#include "support/session_steps.h"

#include "support/scripted_input.h"

namespace {

constexpr std::int64_t minutes_per_unit[] = {1, 60, 24 * 60, 365 * 24 * 60};
constexpr std::int64_t most_minutes_in_all = 10'000 * minutes_per_unit[3];

}  // namespace

std::vector<SessionStep> Session_steps(std::string_view bytes) {
  std::vector<SessionStep> steps(1);
  std::int64_t waited = 0;
  for (std::size_t at = 0; at < bytes.size(); ++at) {
    if (static_cast<std::uint8_t>(bytes[at]) != pause_marker) {
      steps.back().text += bytes[at];
      continue;
    }
    if (at + 1 == bytes.size()) break;
    const auto pause = static_cast<std::uint8_t>(bytes[++at]);
    const std::int64_t minutes = ((pause >> 2) + 1) * minutes_per_unit[pause & 3];
    if (waited + minutes <= most_minutes_in_all) {
      waited += minutes;
      steps.push_back(SessionStep{minutes, ""});
    }
  }
  return steps;
}

void Type_steps(ScriptedInput& script, const std::vector<SessionStep>& steps) {
  for (const SessionStep& step : steps) {
    if (step.wait_minutes != 0) script.Wait_minutes(step.wait_minutes);
    script.Type(step.text);
  }
}
