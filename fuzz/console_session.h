#ifndef SHELVORANQUIST_FUZZ_CONSOLE_SESSION_H_
#define SHELVORANQUIST_FUZZ_CONSOLE_SESSION_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Runs a whole Library on `data` as the librarian's keystrokes and returns what Record_faults
// (tests/support/records_check.h) finds once the run has ended (by "14. Quit" or the end of the
// input); empty when the records are consistent. Shared by the fuzz target and the replay of
// kept inputs.
//
// The bytes are typed with their pauses as Session_steps (tests/support/session_steps.h) reads
// them: the byte 0xFF and the one after it are a pause while the program waits at its prompt.
//
// The clock starts at 10:30 am on Tuesday 8 December 2026 in a time zone with summer time, so
// that loans and holds fall due across its changes. Standard output is discarded meanwhile.
std::vector<std::string> Run_console_session(const std::uint8_t* data, std::size_t size);

#endif  // SHELVORANQUIST_FUZZ_CONSOLE_SESSION_H_
