// The I/O floor of a session: reads the session's script from standard input as the program
// does (4096 bytes a read, to the end), and writes to standard output exactly what the program
// wrote for it, line by line with a flush at each line end, as the program must. No
// implementation of the desk can write the same transcript in less.
//
//   shelvoranquist_floor TRANSCRIPT < session.input > out
//
// TRANSCRIPT is what `shelvoranquist < session.input` wrote. It is streamed in large reads, so
// that holding it costs next to nothing beside the writes.

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

namespace {

// One read(2), retried when interrupted; the count read, 0 at the end, -1 on error.
ssize_t Read_some(int fd, char* buffer, std::size_t size) {
  ssize_t count;
  do {
    count = read(fd, buffer, size);
  } while (count < 0 and errno == EINTR);
  return count;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: " << argv[0] << " TRANSCRIPT < session.input > out\n";
    return 2;
  }
  const int transcript = open(argv[1], O_RDONLY);
  if (transcript < 0) {
    std::cerr << argv[1] << ": " << std::strerror(errno) << "\n";
    return 2;
  }

  std::array<char, 4096> script;
  while (Read_some(STDIN_FILENO, script.data(), script.size()) > 0) {
  }

  std::ios::sync_with_stdio(false);
  std::vector<char> chunk(1 << 20);
  std::string partial_line;
  for (;;) {
    const ssize_t count = Read_some(transcript, chunk.data(), chunk.size());
    if (count < 0) {
      std::cerr << argv[1] << ": " << std::strerror(errno) << "\n";
      return 1;
    }
    if (count == 0) break;
    const char* at = chunk.data();
    const char* const end = at + count;
    while (at < end) {
      const char* line_end =
          static_cast<const char*>(std::memchr(at, '\n', static_cast<std::size_t>(end - at)));
      if (line_end == nullptr) {
        partial_line.append(at, end);
        break;
      }
      ++line_end;
      if (not partial_line.empty()) {
        std::cout.write(partial_line.data(), static_cast<std::streamsize>(partial_line.size()));
        partial_line.clear();
      }
      std::cout.write(at, line_end - at);
      std::cout.flush();
      at = line_end;
    }
  }
  std::cout.write(partial_line.data(), static_cast<std::streamsize>(partial_line.size()));
  std::cout.flush();
  close(transcript);
  return std::cout.good() ? 0 : 1;
}
