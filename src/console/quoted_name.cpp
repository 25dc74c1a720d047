#include "console/quoted_name.h"

#include <algorithm>

namespace {

bool Is_control(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return byte < 0x20 or byte == 0x7F;
}

// How $'...' writes the control character `c`: by its letter, else by its octal code.
std::string Escaped(char c) {
  constexpr std::string_view lettered = "\a\b\t\n\v\f\r";
  if (const auto found = lettered.find(c); found != std::string_view::npos)
    return {'\\', "abtnvfr"[found]};
  const auto byte = static_cast<unsigned char>(c);
  return {'\\', static_cast<char>('0' + (byte >> 6)), static_cast<char>('0' + ((byte >> 3) & 7)),
          static_cast<char>('0' + (byte & 7))};
}

}  // namespace

std::string Quoted_name(std::string_view name, Quoting quoting) {
  if (quoting == Quoting::when_needed and std::none_of(name.begin(), name.end(), Is_control))
    return std::string(name);
  if (name.empty()) return "''";
  // Each run of ordinary characters goes between '...', where a quote can only be written
  // outside them ('\''), and each run of control characters between $'...'.
  std::string quoted;
  for (std::string_view::const_iterator at = name.begin(); at != name.end();) {
    const bool control = Is_control(*at);
    const std::string_view::const_iterator end =
        std::find_if(at, name.end(), [control](char c) { return Is_control(c) != control; });
    quoted += control ? "$'" : "'";
    for (; at != end; ++at) {
      if (control) {
        quoted += Escaped(*at);
      } else if (*at == '\'') {
        quoted += "'\\''";
      } else {
        quoted += *at;
      }
    }
    quoted += '\'';
  }
  return quoted;
}
