#ifndef SHELVORANQUIST_CONSOLE_CONSOLE_INPUT_H_
#define SHELVORANQUIST_CONSOLE_CONSOLE_INPUT_H_

#include <cstddef>
#include <optional>
#include <streambuf>
#include <string>

// Thrown by the reads of ConsoleInput when the input has ended with nothing left to read.
// The main menu catches it and ends the run.
struct EndOfInput {};

// The one place where the librarian's input is read. A read that may wait for input flushes
// standard output first, so a prompt is visible before the program waits; a read served from
// what is already buffered does not.
//
// Input is a byte string: a NUL or a byte above 127 is an ordinary character. White space is
// the C set (space, TAB, LF, VT, FF, CR).
//
// The length of a text is counted in characters: a character is one UTF-8 encoded code point,
// valid as Unicode defines it, and every byte that is not part of such a sequence counts as
// one character (CharacterCount). Texts are kept as the exact bytes typed.
class ConsoleInput {
 public:
  // `source` must outlive this object. `terminal_fd` is the descriptor of the terminal that
  // `source` reads, or -1 when the input is not a terminal (a pipe, a file, a test script).
  ConsoleInput(std::streambuf& source, int terminal_fd);

  // Drops what was typed but not yet read, without waiting. On a terminal that is everything
  // typed ahead; otherwise it is the rest of the line that the last number, word or answer was
  // read from, with its line end (nothing after a whole-line read). Before the first read it
  // drops nothing.
  void Discard_pending_input();

  // Reads an optional sign and decimal digits after white space, line ends included. None
  // when the answer does not start that way or does not fit a signed 32-bit int; the rest of
  // the line is then left to be discarded. "12abc" reads 12, "abc 5" reads none.
  std::optional<int> Read_number();

  // Reads the rest of the current line and its line end; a CR right before the line end (or
  // before the end of the input) is dropped. None when the line holds more than
  // `most_characters`; such a line is consumed whole but never kept, however long it is.
  std::optional<std::string> Read_line(std::size_t most_characters);

  // Reads one word after white space, line ends included. None when the word holds more than
  // `most_characters`; such a word is consumed whole but never kept, however long it is.
  std::optional<std::string> Read_word(std::size_t most_characters);

  // Reads one character after white space, line ends included.
  char Read_answer();

 private:
  // The next byte without consuming it, or EOF. Flushes standard output before it may wait.
  int Peek();
  // Consumes and returns the next byte, or EOF.
  int Take();
  // Skips white space; throws EndOfInput when the input ends first.
  void Skip_white_space();
  // Consumes up to and including the next line end.
  void Drop_rest_of_line();

  std::streambuf& _source;
  int _terminal_fd;
  bool _has_read = false;
  bool _rest_of_line_pending = false;
};

#endif  // SHELVORANQUIST_CONSOLE_CONSOLE_INPUT_H_
