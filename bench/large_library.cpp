#include "large_library.h"

#include <algorithm>
#include <iostream>
#include <stdexcept>
#include <utility>

#include "catalogue_values.h"
#include "flush_floor.h"
#include "spread.h"
#include "stored_desk.h"
#include "timed_storage.h"

namespace bench {

namespace {

// Main-menu choices typed at once while the library is built.
constexpr std::uint64_t batch = 10000;

// The index of the `n`-th lendable item (0-based): books, CDs and videos take turns, journals
// are skipped.
std::uint64_t Lendable_index(std::uint64_t n) {
  constexpr std::uint64_t offsets[] = {0, 1, 3};
  return n / 3 * 4 + offsets[n % 3];
}

}  // namespace

std::string Card_of(std::uint64_t member) {
  return std::to_string(Member_of(member).library_number);
}

void Build_large_library(Storage& storage) {
  StoredDesk desk(storage);
  std::string keys;
  for (std::uint64_t member = 0; member < large_member_count; ++member) {
    keys += Add_member_keys(Member_of(member));
    if ((member + 1) % batch == 0) desk.Run(std::exchange(keys, ""));
  }
  desk.Run(std::exchange(keys, ""));
  for (std::uint64_t item = 0; item < large_item_count; item += batch) {
    keys = "5\n";
    for (std::uint64_t i = item; i < std::min(item + batch, large_item_count); ++i) {
      keys += Add_item_keys(Item_of(i, large_item_count, large_library_seed));
    }
    desk.Run(keys + "6\n");
  }
  keys.clear();
  for (std::uint64_t loan = 0; loan < large_loan_count; ++loan) {
    // The catalogue screen of the kind finds the item without walking the other kinds.
    const ItemValues item = Item_of(Lendable_index(loan), large_item_count, large_library_seed);
    keys += "2\n1\n" + Card_of(loan) + "\n12\n" + std::to_string(Catalogue_choice(item.kind)) +
            "\n1\n" + item.call_number + "\nn\n7\n";
  }
  desk.Run(keys);
}

void Check_large_library(const Library& library, const std::string& where) {
  std::uint64_t items = 0;
  for (const int count : {library.Books().Count(), library.Cds().Count(),
                          library.Journals().Count(), library.Videos().Count()}) {
    items += static_cast<std::uint64_t>(count);
  }
  if (items != large_item_count or
      static_cast<std::uint64_t>(library.Members().Count()) != large_member_count or
      library.Loans().Entries().size() != large_loan_count) {
    throw std::runtime_error(where + " did not load whole");
  }
}

void Measure_commits(Storage& storage, const std::string& floor_path, std::uint64_t cycles,
                     std::chrono::microseconds longest_pause) {
  TimedStorage timed(storage, longest_pause);
  StoredDesk desk(timed);
  FlushFloor floor(floor_path, longest_pause);
  for (std::uint64_t cycle = 0; cycle < cycles; ++cycle) {
    const std::uint64_t member = large_member_count + cycle;
    // A book of its own, after every item of the library.
    const ItemValues book =
        Item_of(large_item_count + 4 * cycle, large_item_count, large_library_seed);
    const std::string select_book = "6\n" + book.call_number + "\n";
    const std::string card = Card_of(member);
    desk.Run(Add_member_keys(Member_of(member)) +            // member added
             "5\n" + Add_item_keys(book) + "6\n" +           // item added
             "2\n1\n" + card + "\n" + select_book + "7\n" +  // loan made
             select_book + "8\n" +                           // loan ended
             select_book + "9\n" +                           // hold placed
             select_book + "10\n" +                          // hold ended
             "5\n5\n" + book.call_number + "\n6\n" +         // item removed
             "2\n1\n" + card + "\n3\n");                     // member removed
    floor.Append();
    floor.Rewrite();
  }
  const std::string pacing = longest_pause.count() == 0
                                 ? "back to back"
                                 : "each after a random pause below " +
                                       std::to_string(longest_pause.count() / 1000) + " ms";
  std::cout << "\ncommit of one change, us, " << cycles << " changes of each kind, " << pacing
            << '\n';
  Print_spread_heading("change");
  for (std::size_t kind = 0; kind < change_kinds; ++kind) {
    const std::vector<double>& times = timed.Times(kind);
    if (times.size() != cycles) throw std::runtime_error("a cycle did not make every change");
    Print_spread(change_names.at(kind), times);
  }
  Print_spread("floor: 4 KiB appended", floor.Appended());
  Print_spread("floor: 4 KiB rewritten", floor.Rewritten());
}

}  // namespace bench
