#ifndef SHELVORANQUIST_TESTS_SUPPORT_SESSION_STEPS_H_
#define SHELVORANQUIST_TESTS_SUPPORT_SESSION_STEPS_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class ScriptedInput;

// The byte that starts a pause in a session's bytes; the byte after it chooses the pause.
inline constexpr std::uint8_t pause_marker = 0xFF;

// A pause while the program waits at its prompt, then what the librarian types next.
struct SessionStep {
  std::int64_t wait_minutes = 0;
  std::string text;
};

// The steps of a session written as bytes, the form of the fuzz corpus: every byte is typed as
// it is, except `pause_marker`, whose next byte is a pause. Its two low bits choose the unit (a
// minute, an hour, a day, a year of 365 days) and the other six, plus one, the count, so one
// pause is a minute to 64 years; pauses beyond 10,000 years in all are left out, and so is a
// marker that ends the bytes.
std::vector<SessionStep> Session_steps(std::string_view bytes);

// Types the steps into `script`, pauses included.
void Type_steps(ScriptedInput& script, const std::vector<SessionStep>& steps);

#endif  // SHELVORANQUIST_TESTS_SUPPORT_SESSION_STEPS_H_
