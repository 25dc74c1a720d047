#include "console/file_output.h"

#include <unistd.h>

#include <cerrno>

FileOutput::int_type FileOutput::overflow(int_type c) {
  Write_buffered();
  if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
  return sputc(traits_type::to_char_type(c));
}

int FileOutput::sync() {
  Write_buffered();
  return 0;
}

void FileOutput::Write_buffered() {
  const char* next = pbase();
  while (next < pptr()) {
    const ssize_t count = write(_fd, next, static_cast<std::size_t>(pptr() - next));
    if (count < 0 and errno == EINTR) continue;
    if (count < 0) throw WriteError{errno};
    if (count == 0) throw WriteError{EIO};  // nothing written and no reason given: never wait
    next += count;
  }
  Empty();
}
