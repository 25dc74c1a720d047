#include "desk.h"

#include <algorithm>
#include <utility>

namespace bench {

namespace {

constexpr std::uint64_t batch = 10000;

// The number of items of `kind` among the first `items` (the kinds take turns).
std::uint64_t Count_of(Kind kind, std::uint64_t items) {
  const std::uint64_t k = static_cast<std::uint64_t>(kind);
  return items > k ? (items - k + 3) / 4 : 0;
}

}  // namespace

Desk::Desk(std::uint64_t items, TestClock& clock)
    : _items(items),
      _members(std::max<std::uint64_t>(items / 2, 1)),
      _script(&clock),
      _input(_script, -1),
      _library(_input) {
  DiscardedOutput silenced;
  std::string keys;
  for (std::uint64_t member = 0; member < _members; ++member) {
    keys += Add_member_keys(Member_of(member));
    if ((member + 1) % batch == 0) Run(std::exchange(keys, ""));
  }
  Run(std::exchange(keys, ""));
  for (std::uint64_t item = 0; item < _items; item += batch) {
    keys = "5\n";
    for (std::uint64_t i = item; i < std::min(item + batch, _items); ++i) {
      keys += Add_item_keys(Item_of(i, _items, seed));
    }
    Run(keys + "6\n");
  }

  Set_lending_minute(clock);
  const std::uint64_t borrowers = std::max<std::uint64_t>(_members / 50, 1);
  std::uint64_t loans = 0;
  std::uint64_t holds = 0;
  keys.clear();
  for (const Kind kind : {Kind::book, Kind::cd, Kind::video}) {
    const std::uint64_t count = Count_of(kind, _items);
    const std::uint64_t on_loan = count / 20;
    const std::uint64_t on_hold = count / 100;
    for (std::uint64_t position = 0; position < on_loan + on_hold; ++position) {
      const bool lend = position < on_loan;
      const std::uint64_t member = lend ? loans++ % borrowers : borrowers + holds++ % borrowers;
      // The catalogue screen of the kind selects the item without walking the other kinds.
      keys += "2\n1\n" + std::to_string(Member_of(member).library_number) + "\n12\n" +
              std::to_string(Catalogue_choice(kind)) + "\n1\n" +
              Item_of(position * 4 + static_cast<std::uint64_t>(kind), _items, seed).call_number +
              (lend ? "\nn\n7\n" : "\ny\n");
    }
  }
  Run(keys);
  Set_twenty_days_later(clock);
}

void Desk::Run(const std::string& keys) {
  _script.Type(keys);
  _script.Type("14\n");
  _library.Main_menu();
}

ItemValues Desk::Last_item(Kind kind) const {
  const std::uint64_t count = Count_of(kind, _items);
  return Item_of((count - 1) * 4 + static_cast<std::uint64_t>(kind), _items, seed);
}

}  // namespace bench
