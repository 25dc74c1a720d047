#include "console/file_output.h"

#include <unistd.h>

#include <cerrno>

void FileOutput::Release() {
  if (not _holding) return;
  _holding = false;
  Write(_held.data(), _held.size());
  _held.clear();
  Write_buffered();
}

FileOutput::int_type FileOutput::overflow(int_type c) {
  if (_holding) {
    _held.append(pbase(), pptr());
    Empty();
  } else {
    Write_buffered();
  }
  if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
  return sputc(traits_type::to_char_type(c));
}

int FileOutput::sync() {
  if (not _holding) Write_buffered();
  return 0;
}

void FileOutput::Write_buffered() {
  Write(pbase(), static_cast<std::size_t>(pptr() - pbase()));
  Empty();
}

void FileOutput::Write(const char* bytes, std::size_t count) const {
  const char* const end = bytes + count;
  while (bytes < end) {
    const ssize_t written = write(_fd, bytes, static_cast<std::size_t>(end - bytes));
    if (written < 0 and errno == EINTR) continue;
    if (written < 0) throw WriteError{errno};
    if (written == 0) throw WriteError{EIO};  // nothing written and no reason given: never wait
    bytes += written;
  }
}
