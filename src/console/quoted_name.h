#ifndef SHELVORANQUIST_CONSOLE_QUOTED_NAME_H_
#define SHELVORANQUIST_CONSOLE_QUOTED_NAME_H_

#include <string>
#include <string_view>

enum class Quoting {
  when_needed,  // only a name with a control character
  always,       // every name, as an argument shown between quotes
};

// A file name or argument as a one-line message shows it. A name without control characters
// (line ends, tabs, escapes, DEL) is shown as it is, unless `quoting` is always; any other is
// quoted as a POSIX shell with $'...' reads it back, as ls's shell-escape style does:
// "a\nb" is 'a'$'\n''b'. So the message stays one line and still names the file exactly.
std::string Quoted_name(std::string_view name, Quoting quoting = Quoting::when_needed);

#endif  // SHELVORANQUIST_CONSOLE_QUOTED_NAME_H_
