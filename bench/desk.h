#ifndef SHELVORANQUIST_BENCH_DESK_H_
#define SHELVORANQUIST_BENCH_DESK_H_

// A whole Library driven through its console with typed answers, at the test clock, its output
// sent nowhere: a busy branch to measure the console operations in.

#include <cstdint>
#include <string>

#include "catalogue_values.h"
#include "console/console_input.h"
#include "console/library.h"
#include "support/discarded_output.h"
#include "support/scripted_input.h"
#include "support/test_clock.h"

namespace bench {

// Every fixture lends at the same minute and then sets the clock 20 days later, so that the
// loans shorter than that are overdue, however many fixtures a run builds.
inline void Set_lending_minute(TestClock& clock) { clock.Set(2026, 12, 8, 10, 30); }
inline void Set_twenty_days_later(TestClock& clock) { clock.Set(2026, 12, 28, 10, 30); }

// A Library holding `items` items of the four kinds (Item_of) and items / 2 members
// (Member_of), all added through the console. Of each lendable kind the first 5% of the
// collection are on loan, to the first 2% of the members, and the next 1% are on hold for the
// next 2% of the members, all made at the lending minute; the clock is then 20 days later.
// The last member has no loans and no holds. `clock` must outlive the desk.
class Desk {
 public:
  static constexpr std::uint64_t seed = 1;

  Desk(std::uint64_t items, TestClock& clock);

  // Runs the main menu over `keys` and then "14. Quit"; the output goes wherever std::cout
  // goes.
  void Run(const std::string& keys);

  std::uint64_t Items() const { return _items; }
  std::uint64_t Members() const { return _members; }
  // The values of the last item of a kind, and of the last member.
  ItemValues Last_item(Kind kind) const;
  MemberValues Last_member() const { return Member_of(_members - 1); }

  Library& library() { return _library; }

 private:
  std::uint64_t _items;
  std::uint64_t _members;
  ScriptedInput _script;
  ConsoleInput _input;
  Library _library;
};

}  // namespace bench

#endif  // SHELVORANQUIST_BENCH_DESK_H_
