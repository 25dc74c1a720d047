#ifndef SHELVORANQUIST_BENCH_TIMED_STORAGE_H_
#define SHELVORANQUIST_BENCH_TIMED_STORAGE_H_

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <thread>
#include <variant>
#include <vector>

#include "catalogue_values.h"
#include "storage/storage.h"

namespace bench {

// The kinds of change the desk hands to its storage, in the order of the alternatives of Change;
// a cycle of the storage benchmark makes one of each.
inline constexpr std::size_t change_kinds = std::variant_size_v<Change>;
inline constexpr std::array<const char*, change_kinds> change_names{
    "member added", "member removed", "item added",  "item removed",
    "loan made",    "loan ended",     "hold placed", "hold ended"};

// A wait of random length below `longest`, none when that is zero: the time a librarian types
// between two changes. On a disk whose flushes end on a fixed beat, as a virtual disk's may, a
// change that follows the last flush at once waits a whole beat, and one that comes at a random
// moment part of one.
class RandomPause {
 public:
  explicit RandomPause(std::chrono::microseconds longest) : _longest(longest) {}

  void Wait() {
    if (_longest.count() == 0) return;
    const auto bound = static_cast<std::uint64_t>(_longest.count());
    std::this_thread::sleep_for(std::chrono::microseconds(_random.Below(bound)));
  }

 private:
  std::chrono::microseconds _longest;
  Random _random{1};
};

// Hands everything on to the storage that keeps it and times each change from the call to its
// return: what the desk waits for before it shows the change, the commit and its flush to the
// disk included. Before each change it waits a random time below `longest_pause`, untimed. It
// also times each line's catch-up (Changes_elsewhere: on a shared engine the wait for the other
// desks included) and, for each change, the time from the start of its line's catch-up to the
// change's return, the pause left out: how long a desk that several share takes to keep a change
// once its line is read. `kept` must outlive this object.
class TimedStorage final : public Storage {
 public:
  using Clock = std::chrono::steady_clock;

  TimedStorage(Storage& kept, std::chrono::microseconds longest_pause)
      : _kept(kept), _pause(longest_pause) {}

  // The microseconds each change of this kind (an index into change_names) took, in the
  // order they were made.
  const std::vector<double>& Times(std::size_t kind) const { return _times.at(kind); }
  // The microseconds of each line's catch-up, in the order of the lines.
  const std::vector<double>& Catch_ups() const { return _catch_ups; }
  // The microseconds from each change's line to its return, in the order of the changes.
  const std::vector<double>& Since_line() const { return _since_line; }
  // How many lines' catch-ups applied changes that other desks kept.
  std::size_t Lines_with_changes() const { return _lines_with_changes; }

  void Load(const Restore& restore) override { _kept.Load(restore); }
  void Keep(Change& change) override {
    const Clock::time_point paused = Clock::now();
    _pause.Wait();
    const Clock::time_point start = Clock::now();
    _kept.Keep(change);
    const Clock::time_point end = Clock::now();
    _times.at(change.index()).push_back(Microseconds(end - start));
    _since_line.push_back(Microseconds((end - _line) - (start - paused)));
  }
  std::vector<Change> Changes_elsewhere() override {
    _line = Clock::now();
    std::vector<Change> changes = _kept.Changes_elsewhere();
    _catch_ups.push_back(Microseconds(Clock::now() - _line));
    if (not changes.empty()) ++_lines_with_changes;
    return changes;
  }
  void Waiting() override { _kept.Waiting(); }

 private:
  static double Microseconds(Clock::duration took) {
    return std::chrono::duration<double, std::micro>(took).count();
  }

  Storage& _kept;
  RandomPause _pause;
  std::array<std::vector<double>, change_kinds> _times;
  std::vector<double> _catch_ups;
  std::vector<double> _since_line;
  std::size_t _lines_with_changes = 0;
  Clock::time_point _line = Clock::now();
};

}  // namespace bench

#endif  // SHELVORANQUIST_BENCH_TIMED_STORAGE_H_
