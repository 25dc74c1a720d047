#ifndef SHELVORANQUIST_CONSOLE_FILE_OUTPUT_H_
#define SHELVORANQUIST_CONSOLE_FILE_OUTPUT_H_

#include <array>
#include <cstddef>
#include <streambuf>
#include <string>

// Thrown by FileOutput when a write fails.
struct WriteError {
  int error_number;  // the errno of the failed write
};

// A write buffer over a file descriptor (standard output for the program): each flush writes
// everything buffered, however many writes that takes. A write interrupted by a signal is tried
// again; any other failure throws WriteError, which a stream passes on only when badbit is
// among its exceptions. A closed pipe raises SIGPIPE as usual. What is still buffered when the
// object ends is not written: the owner flushes first.
class FileOutput : public std::streambuf {
 public:
  explicit FileOutput(int fd) : _fd(fd) { Empty(); }

  // From Hold to Release nothing is written, flushes included: what is written meanwhile is
  // kept, however much it is. A desk holds its output while other desks wait for it, so that a
  // terminal that stops reading stops this desk alone.
  void Hold() { _holding = true; }
  // Ends a hold and writes out everything kept, as a flush does; does nothing when not held.
  void Release();

 protected:
  int_type overflow(int_type c) override;
  int sync() override;

 private:
  // Writes out what is buffered and makes the whole buffer free again.
  void Write_buffered();
  void Write(const char* bytes, std::size_t count) const;
  void Empty() { setp(_buffer.data(), _buffer.data() + _buffer.size()); }

  int _fd;
  bool _holding = false;
  std::string _held;  // what a hold kept beyond the buffer
  std::array<char, 4096> _buffer{};
};

#endif  // SHELVORANQUIST_CONSOLE_FILE_OUTPUT_H_
