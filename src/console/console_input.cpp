#include "console/console_input.h"

#include <termios.h>

#include <cstdint>
#include <iostream>
#include <limits>

#include "base/character_count.h"

namespace {

bool Is_white_space(int c) {
  return c == ' ' or c == '\t' or c == '\n' or c == '\v' or c == '\f' or c == '\r';
}

bool Is_digit(int c) { return c >= '0' and c <= '9'; }

constexpr int end_of_input = std::char_traits<char>::eof();

// Appends byte `c` to `text` while `text` may still become an answer of at most `most`
// characters and a CR: a character takes four bytes at the most. Beyond that nothing is kept,
// so a text too long to be taken costs no memory however long it is.
void Keep(std::string& text, int c, std::size_t most) {
  if (text.size() < 4 * most + 1) text.push_back(static_cast<char>(c));
}

}  // namespace

ConsoleInput::ConsoleInput(std::streambuf& source, int terminal_fd)
    : _source(source), _terminal_fd(terminal_fd) {}

int ConsoleInput::Peek() {
  if (_source.in_avail() <= 0) std::cout.flush();
  return _source.sgetc();
}

int ConsoleInput::Take() {
  if (_source.in_avail() <= 0) std::cout.flush();
  return _source.sbumpc();
}

void ConsoleInput::Skip_white_space() {
  int c = Peek();
  while (Is_white_space(c)) {
    _source.sbumpc();
    c = Peek();
  }
  if (c == end_of_input) throw EndOfInput{};
}

void ConsoleInput::Drop_rest_of_line() {
  for (int c = Take(); c != end_of_input and c != '\n'; c = Take()) {
  }
}

void ConsoleInput::Discard_pending_input() {
  if (not _has_read) return;
  if (_terminal_fd >= 0) {
    while (_source.in_avail() > 0) _source.sbumpc();
    tcflush(_terminal_fd, TCIFLUSH);
  } else if (_rest_of_line_pending) {
    Drop_rest_of_line();
  }
  _rest_of_line_pending = false;
}

std::optional<int> ConsoleInput::Read_number() {
  _has_read = true;
  Skip_white_space();
  _rest_of_line_pending = true;
  bool negative = false;
  if (Peek() == '+' or Peek() == '-') negative = Take() == '-';
  if (not Is_digit(Peek())) return std::nullopt;

  // Digits beyond the int range are still consumed, so a long number is one answer.
  const std::int64_t limit = std::int64_t{std::numeric_limits<int>::max()} + (negative ? 1 : 0);
  std::int64_t magnitude = 0;
  bool fits = true;
  while (Is_digit(Peek())) {
    const int digit = Take() - '0';
    if (fits) {
      magnitude = magnitude * 10 + digit;
      fits = magnitude <= limit;
    }
  }
  if (not fits) return std::nullopt;
  return static_cast<int>(negative ? -magnitude : magnitude);
}

std::optional<std::string> ConsoleInput::Read_line(std::size_t most_characters) {
  _has_read = true;
  _rest_of_line_pending = false;
  if (Peek() == end_of_input) throw EndOfInput{};

  std::string line;
  std::size_t bytes = 0;
  CharacterCount length;
  int last = end_of_input;
  for (;;) {
    const int c = Take();
    if (c == end_of_input or c == '\n') break;
    Keep(line, c, most_characters);
    ++bytes;
    length.Add(static_cast<unsigned char>(c));
    last = c;
  }
  std::size_t characters = length.Count();
  // A CR before the line end, or before the end of the input, is dropped before counting.
  if (last == '\r') {
    --characters;
    if (line.size() == bytes) line.pop_back();
  }
  if (characters > most_characters) return std::nullopt;
  return line;
}

std::optional<std::string> ConsoleInput::Read_word(std::size_t most_characters) {
  _has_read = true;
  Skip_white_space();
  _rest_of_line_pending = true;
  std::string word;
  CharacterCount length;
  for (int c = Peek(); c != end_of_input and not Is_white_space(c); c = Peek()) {
    Keep(word, Take(), most_characters);
    length.Add(static_cast<unsigned char>(c));
  }
  if (length.Count() > most_characters) return std::nullopt;
  return word;
}

char ConsoleInput::Read_answer() {
  _has_read = true;
  Skip_white_space();
  _rest_of_line_pending = true;
  return static_cast<char>(Take());
}
