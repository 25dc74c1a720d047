#ifndef SHELVORANQUIST_CONSOLE_FILE_INPUT_H_
#define SHELVORANQUIST_CONSOLE_FILE_INPUT_H_

#include <array>
#include <streambuf>

// A read buffer over a file descriptor (standard input for the program). What it holds is
// exactly what has been read from the descriptor and not yet consumed, which is what
// ConsoleInput drops when it discards type-ahead.
class FileInput : public std::streambuf {
 public:
  explicit FileInput(int fd) : _fd(fd) {}

 protected:
  int_type underflow() override;

 private:
  int _fd;
  std::array<char, 4096> _buffer;
};

#endif  // SHELVORANQUIST_CONSOLE_FILE_INPUT_H_
