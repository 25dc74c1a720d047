#ifndef SHELVORANQUIST_BENCH_TIMED_STORAGE_H_
#define SHELVORANQUIST_BENCH_TIMED_STORAGE_H_

#include <array>
#include <chrono>
#include <cstddef>
#include <vector>

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

// Hands everything on to the storage that keeps it and times each change from the call to its
// return: what the desk waits for before it shows the change, the commit and its flush to the
// disk included. `kept` must outlive this object.
class TimedStorage final : public Storage {
 public:
  explicit TimedStorage(Storage& kept) : _kept(kept) {}

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
    const auto start = std::chrono::steady_clock::now();
    call();
    const std::chrono::duration<double, std::micro> took = std::chrono::steady_clock::now() - start;
    _times.at(static_cast<std::size_t>(change)).push_back(took.count());
  }

  Storage& _kept;
  std::array<std::vector<double>, change_kinds> _times;
};

}  // namespace bench

#endif  // SHELVORANQUIST_BENCH_TIMED_STORAGE_H_
