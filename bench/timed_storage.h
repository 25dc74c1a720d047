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
// disk included. Before each change it waits a random time below `longest_pause`, untimed.
// `kept` must outlive this object.
class TimedStorage final : public Storage {
 public:
  TimedStorage(Storage& kept, std::chrono::microseconds longest_pause)
      : _kept(kept), _pause(longest_pause) {}

  // The microseconds each change of this kind (an index into change_names) took, in the
  // order they were made.
  const std::vector<double>& Times(std::size_t kind) const { return _times.at(kind); }

  void Load(const Restore& restore) override { _kept.Load(restore); }
  void Keep(Change& change) override {
    _pause.Wait();
    const auto start = std::chrono::steady_clock::now();
    _kept.Keep(change);
    const std::chrono::duration<double, std::micro> took = std::chrono::steady_clock::now() - start;
    _times.at(change.index()).push_back(took.count());
  }

 private:
  Storage& _kept;
  RandomPause _pause;
  std::array<std::vector<double>, change_kinds> _times;
};

}  // namespace bench

#endif  // SHELVORANQUIST_BENCH_TIMED_STORAGE_H_
