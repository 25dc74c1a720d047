#ifndef SHELVORANQUIST_BENCH_FLUSH_FLOOR_H_
#define SHELVORANQUIST_BENCH_FLUSH_FLOOR_H_

#include <chrono>
#include <cstddef>
#include <string>
#include <vector>

#include "timed_storage.h"

namespace bench {

// The least a disk asks for keeping one change: a page written to a file and flushed, as a
// write-ahead log is at each commit. An append changes the file's size as well, which the file
// system must flush too; a rewrite in place, as in a log that starts over after a checkpoint or
// in a log file made at its full size beforehand, does not. The file is created at `path` and
// removed when the floor is destroyed.
class FlushFloor {
 public:
  // Waits a random time below `longest_pause` before each write. Throws std::runtime_error when
  // the file cannot be created.
  FlushFloor(std::string path, std::chrono::microseconds longest_pause);
  ~FlushFloor();
  FlushFloor(const FlushFloor&) = delete;
  FlushFloor& operator=(const FlushFloor&) = delete;

  void Append() { _appended.push_back(Write_at(_end++ * page_size)); }
  void Rewrite() { _rewritten.push_back(Write_at(0)); }

  // The microseconds of each append or rewrite, flush included.
  const std::vector<double>& Appended() const { return _appended; }
  const std::vector<double>& Rewritten() const { return _rewritten; }

 private:
  static constexpr std::size_t page_size = 4096;

  double Write_at(std::size_t offset);

  std::string _path;
  RandomPause _pause;
  int _descriptor;
  std::size_t _end = 0;
  std::vector<char> _page = std::vector<char>(page_size, 'x');
  std::vector<double> _appended;
  std::vector<double> _rewritten;
};

}  // namespace bench

#endif  // SHELVORANQUIST_BENCH_FLUSH_FLOOR_H_
