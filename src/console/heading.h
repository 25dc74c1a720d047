#ifndef SHELVORANQUIST_CONSOLE_HEADING_H_
#define SHELVORANQUIST_CONSOLE_HEADING_H_

#include <string_view>

// Writes a screen's heading: `heading` on a line of its own, then `underline` "=" characters on
// the next. The underline's length is the screen's own, not always the heading's.
void Write_heading(std::string_view heading, int underline);

#endif  // SHELVORANQUIST_CONSOLE_HEADING_H_
