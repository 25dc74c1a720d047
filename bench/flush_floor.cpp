#include "flush_floor.h"

#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <stdexcept>
#include <utility>

namespace bench {

FlushFloor::FlushFloor(std::string path, std::chrono::microseconds longest_pause)
    : _path(std::move(path)),
      _pause(longest_pause),
      _descriptor(open(_path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0600)) {
  if (_descriptor < 0) throw std::runtime_error("cannot create " + _path);
}

FlushFloor::~FlushFloor() {
  close(_descriptor);
  std::filesystem::remove(_path);
}

double FlushFloor::Write_at(std::size_t offset) {
  _pause.Wait();
  const auto start = std::chrono::steady_clock::now();
  if (pwrite(_descriptor, _page.data(), page_size, static_cast<off_t>(offset)) !=
          static_cast<ssize_t>(page_size) or
      fdatasync(_descriptor) != 0) {
    throw std::runtime_error("cannot write " + _path);
  }
  return std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start)
      .count();
}

}  // namespace bench
