#ifndef SHELVORANQUIST_FUZZ_CONSOLE_SESSION_H_
#define SHELVORANQUIST_FUZZ_CONSOLE_SESSION_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The byte that starts a pause in a session's input; the byte after it chooses the pause.
inline constexpr std::uint8_t pause_marker = 0xFF;

// Runs a whole Library on `data` as the librarian's keystrokes and returns what Record_faults
// (tests/support/records_check.h) finds once the run has ended (by "14. Quit" or the end of the
// input); empty when the records are consistent. Shared by the fuzz target and the replay of
// kept inputs.
//
// Every byte is typed as it is, except `pause_marker`: the byte after it is a pause while the
// program waits at the prompt reached so far. Its two low bits choose the unit (a minute, an
// hour, a day, a year of 365 days) and the other six, plus one, the count, so one pause is a
// minute to 64 years; pauses beyond 10,000 years in all are ignored. A marker that ends the
// input is ignored too.
//
// The clock starts at 10:30 am on Tuesday 8 December 2026 in a time zone with summer time, so
// that loans and holds fall due across its changes. Standard output is discarded meanwhile.
std::vector<std::string> Run_console_session(const std::uint8_t* data, std::size_t size);

#endif  // SHELVORANQUIST_FUZZ_CONSOLE_SESSION_H_
