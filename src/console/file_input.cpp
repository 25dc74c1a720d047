#include "console/file_input.h"

#include <unistd.h>

#include <cerrno>

FileInput::int_type FileInput::underflow() {
  if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
  ssize_t count = 0;
  do {
    count = read(_fd, _buffer.data(), _buffer.size());
  } while (count < 0 and errno == EINTR);
  if (count < 0) throw ReadError{errno};
  if (count == 0) return traits_type::eof();
  setg(_buffer.data(), _buffer.data(), _buffer.data() + count);
  return traits_type::to_int_type(*gptr());
}
