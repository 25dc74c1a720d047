#ifndef SHELVORANQUIST_CONSOLE_FILE_INPUT_H_
#define SHELVORANQUIST_CONSOLE_FILE_INPUT_H_

#include <array>
#include <streambuf>

// Thrown by FileInput when reading fails for another reason than the end of the input.
struct ReadError {
  int error_number;  // the errno of the failed read
};

// A read buffer over a file descriptor (standard input for the program). What it holds is
// exactly what has been read from the descriptor and not yet consumed, which is what
// ConsoleInput drops when it discards type-ahead. A read interrupted by a signal is tried
// again; the end of the input is EOF; any other failure throws ReadError.
class FileInput : public std::streambuf {
 public:
  explicit FileInput(int fd) : _fd(fd) {}

 protected:
  int_type underflow() override;

 private:
  int _fd;
  std::array<char, 4096> _buffer{};
};

#endif  // SHELVORANQUIST_CONSOLE_FILE_INPUT_H_
