// Shelvoranquist: the circulation desk of a small lending library, on the console.
//
// Exit status: 0 after "14. Quit" or at the end of the input; 1, with one line on standard
// error, when standard input cannot be read or standard output cannot be written.

#include <unistd.h>

#include <cstring>
#include <iostream>
#include <string_view>

#include "console/console_input.h"
#include "console/file_input.h"
#include "console/file_output.h"
#include "console/library.h"

int main() {
  std::ios::sync_with_stdio(false);
  FileInput standard_input(STDIN_FILENO);
  FileOutput standard_output(STDOUT_FILENO);
  std::streambuf* const system_output = std::cout.rdbuf(&standard_output);
  // The first failed write stops the run: the stream passes WriteError on.
  std::cout.exceptions(std::ios::badbit);
  std::string_view failure;  // what could not be done, if anything
  int error_number = 0;
  try {
    ConsoleInput input(standard_input, isatty(STDIN_FILENO) == 1 ? STDIN_FILENO : -1);
    Library library(input);
    library.Main_menu();
    std::cout.flush();
  } catch (const WriteError& error) {
    failure = "cannot write to standard output";
    error_number = error.error_number;
  } catch (const ReadError& error) {
    failure = "cannot read standard input";
    error_number = error.error_number;
  }
  // Standard error flushes standard output first: what could not be written stays unwritten.
  std::cout.exceptions(std::ios::goodbit);
  std::cout.rdbuf(system_output);
  if (failure.empty()) return 0;
  std::cerr << "shelvoranquist: " << failure << ": " << std::strerror(error_number) << std::endl;
  return 1;
}
