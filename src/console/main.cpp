// Shelvoranquist: the circulation desk of a small lending library, on the console.

#include <unistd.h>

#include <iostream>

#include "console/console_input.h"
#include "console/file_input.h"
#include "console/library.h"

int main() {
  std::ios::sync_with_stdio(false);
  FileInput standard_input(STDIN_FILENO);
  ConsoleInput input(standard_input, isatty(STDIN_FILENO) ? STDIN_FILENO : -1);
  Library library(input);
  library.Main_menu();
  return 0;
}
