#ifndef SHELVORANQUIST_BENCH_TIMED_STORAGE_H_
#define SHELVORANQUIST_BENCH_TIMED_STORAGE_H_

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <thread>
#include <vector>

#include "catalogue_values.h"
#include "storage/storage.h"

namespace bench {

// The kinds of change the desk hands to its storage, in the order a cycle of the storage
// benchmark makes them.
enum class Change {
  member_added,
  item_added,
  loan_made,
  loan_ended,
  hold_placed,
  hold_ended,
  item_removed,
  member_removed,
};
inline constexpr std::size_t change_kinds = 8;
inline constexpr std::array<const char*, change_kinds> change_names{
    "member added", "item added", "loan made",    "loan ended",
    "hold placed",  "hold ended", "item removed", "member removed"};

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

  // The microseconds each change of this kind took, in the order they were made.
  const std::vector<double>& Times(Change change) const {
    return _times.at(static_cast<std::size_t>(change));
  }

  void Load(const Holdings& holdings) override { _kept.Load(holdings); }
  void Member_added(const Member& member) override {
    Time(Change::member_added, [&] { _kept.Member_added(member); });
  }
  void Member_removed(const Member& member) override {
    Time(Change::member_removed, [&] { _kept.Member_removed(member); });
  }
  void Item_added(const Book& book) override {
    Time(Change::item_added, [&] { _kept.Item_added(book); });
  }
  void Item_added(const Cd& cd) override {
    Time(Change::item_added, [&] { _kept.Item_added(cd); });
  }
  void Item_added(const Journal& journal) override {
    Time(Change::item_added, [&] { _kept.Item_added(journal); });
  }
  void Item_added(const Video& video) override {
    Time(Change::item_added, [&] { _kept.Item_added(video); });
  }
  void Item_removed(const Book& book) override {
    Time(Change::item_removed, [&] { _kept.Item_removed(book); });
  }
  void Item_removed(const Cd& cd) override {
    Time(Change::item_removed, [&] { _kept.Item_removed(cd); });
  }
  void Item_removed(const Journal& journal) override {
    Time(Change::item_removed, [&] { _kept.Item_removed(journal); });
  }
  void Item_removed(const Video& video) override {
    Time(Change::item_removed, [&] { _kept.Item_removed(video); });
  }
  void Loan_made(const Loan& loan, const Hold* ended_hold) override {
    Time(Change::loan_made, [&] { _kept.Loan_made(loan, ended_hold); });
  }
  void Loan_ended(const Loan& loan) override {
    Time(Change::loan_ended, [&] { _kept.Loan_ended(loan); });
  }
  void Hold_placed(const Hold& hold) override {
    Time(Change::hold_placed, [&] { _kept.Hold_placed(hold); });
  }
  void Hold_ended(const Hold& hold) override {
    Time(Change::hold_ended, [&] { _kept.Hold_ended(hold); });
  }

 private:
  template <class Call>
  void Time(Change change, Call call) {
    _pause.Wait();
    const auto start = std::chrono::steady_clock::now();
    call();
    const std::chrono::duration<double, std::micro> took = std::chrono::steady_clock::now() - start;
    _times.at(static_cast<std::size_t>(change)).push_back(took.count());
  }

  Storage& _kept;
  RandomPause _pause;
  std::array<std::vector<double>, change_kinds> _times;
};

}  // namespace bench

#endif  // SHELVORANQUIST_BENCH_TIMED_STORAGE_H_
