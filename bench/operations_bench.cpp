// The cost of the operations a session at the desk repeats, at 1,000 to 1,000,000 stored items
// or members, at the test clock, with every listing written to a null stream buffer.
//
// Two levels:
//   Collection/...  one collection (BookList, MemberList) of N entries: the walks themselves.
//   Desk/...        a whole Library of N items (a quarter of each kind) and N/2 members,
//                   driven through its console: what one main-menu choice costs, menus,
//                   prompts and reading the answers included.
//
//   shelvoranquist_operations_bench [google benchmark flags]
//   shelvoranquist_operations_bench --counts [SIZE...]
//
// --counts runs each desk operation once at each size (default 1,000, 10,000 and 100,000
// items) and prints, instead of timings, how often it read the clock: the same count at every
// size means one reading per operation, not one per stored item. Under
// `valgrind --tool=callgrind` it also dumps the instructions of each run, named
// "operation/size" (bench/instruction_counts.sh reads them).

#include <benchmark/benchmark.h>
#if __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>
#else
#define CALLGRIND_ZERO_STATS
#define CALLGRIND_DUMP_STATS_AT(name) (void)(name)
#endif

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <deque>
#include <functional>
#include <iomanip>
#include <iostream>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "calendar/clock.h"
#include "calendar/date_time.h"
#include "catalogue/book_list.h"
#include "catalogue_values.h"
#include "circulation/loan.h"
#include "desk.h"
#include "members/member_list.h"
#include "support/test_clock.h"

namespace {

TestClock* the_clock = nullptr;

// Looks up, or builds once, the fixture of size `size`.
template <class Fixture>
Fixture& Cached(std::int64_t size) {
  static std::map<std::int64_t, std::unique_ptr<Fixture>> built;
  std::unique_ptr<Fixture>& fixture = built[size];
  if (not fixture) fixture = std::make_unique<Fixture>(static_cast<std::uint64_t>(size));
  return *fixture;
}

// Reports the time per entry walked as well, and lets the library fit the growth.
void Per_entry(benchmark::State& state, std::int64_t entries) {
  state.SetComplexityN(entries);
  state.counters["per_entry"] = benchmark::Counter(
      static_cast<double>(entries),
      benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// ----- One collection -------------------------------------------------------------------

// N books of about N/2 titles and N/5 authors; the first 5% on loan at the lending minute,
// and of those the ones lent for less than 20 days (more than half) overdue.
struct Shelf {
  explicit Shelf(std::uint64_t size) {
    for (std::uint64_t i = 0; i < size; ++i) {
      const bench::ItemValues book = bench::Item_of(i * 4, size * 4, bench::Desk::seed);
      books.Add(book.call_number, book.title, book.creator, book.loan_days);
    }
    bench::Set_lending_minute(*the_clock);
    for (int position = 0; position < books.Count() / 20; ++position) {
      Book& book = books.At(position);
      book.Lend(loans.emplace_back(&book, &borrower), book.Due_when_lent());
    }
    bench::Set_twenty_days_later(*the_clock);
    last = &books.At(books.Count() - 1);
  }

  BookList books;
  Member borrower{"Shelf Borrower", "1 Mill Lane", "555 0100", "shelf@example.org", 1};
  std::deque<Loan> loans;
  const Book* last;
};

struct Register {
  explicit Register(std::uint64_t size) {
    for (std::uint64_t i = 0; i < size; ++i) {
      bench::MemberValues member = bench::Member_of(i);
      members.Add(std::move(member.name), std::move(member.address), std::move(member.phone_number),
                  std::move(member.email_address), member.library_number);
    }
  }
  MemberList members;
};

void Collection_book_by_bar_code(benchmark::State& state) {
  const Shelf& shelf = Cached<Shelf>(state.range(0));
  const std::string bar_code = shelf.last->Call_number();
  for (auto _ : state) benchmark::DoNotOptimize(shelf.books.Find_by_call_number(bar_code));
  Per_entry(state, state.range(0));
}

void Collection_book_search_by_title(benchmark::State& state) {
  const Shelf& shelf = Cached<Shelf>(state.range(0));
  const std::string title = shelf.last->Title();
  DiscardedOutput silenced;
  for (auto _ : state) benchmark::DoNotOptimize(shelf.books.Search_by_title(title));
  Per_entry(state, state.range(0));
}

void Collection_book_search_by_author(benchmark::State& state) {
  const Shelf& shelf = Cached<Shelf>(state.range(0));
  const std::string author = shelf.last->Author();
  DiscardedOutput silenced;
  for (auto _ : state) benchmark::DoNotOptimize(shelf.books.Search_by_author(author));
  Per_entry(state, state.range(0));
}

void Collection_book_available_by_title(benchmark::State& state) {
  const Shelf& shelf = Cached<Shelf>(state.range(0));
  const std::string title = shelf.last->Title();
  for (auto _ : state) benchmark::DoNotOptimize(shelf.books.Available_by_title(title));
  Per_entry(state, state.range(0));
}

void Collection_book_list_overdue(benchmark::State& state) {
  const Shelf& shelf = Cached<Shelf>(state.range(0));
  DiscardedOutput silenced;
  for (auto _ : state) shelf.books.List_overdue();
  Per_entry(state, state.range(0));
}

void Collection_member_by_number(benchmark::State& state) {
  const Register& reg = Cached<Register>(state.range(0));
  const int number = reg.members.At(reg.members.Count() - 1).Library_number();
  for (auto _ : state) benchmark::DoNotOptimize(reg.members.Find_by_number(number));
  Per_entry(state, state.range(0));
}

void Collection_member_by_name(benchmark::State& state) {
  const Register& reg = Cached<Register>(state.range(0));
  const std::string name = reg.members.At(reg.members.Count() - 1).Name();
  for (auto _ : state) benchmark::DoNotOptimize(reg.members.Find_by_name(name));
  Per_entry(state, state.range(0));
}

void Calendar_now_plus_days(benchmark::State& state) {
  const int days = static_cast<int>(state.range(0));
  for (auto _ : state) benchmark::DoNotOptimize(DateTime::Now_plus_days(days));
}

// ----- The whole desk, through the console --------------------------------------------

struct DeskFixture {
  explicit DeskFixture(std::uint64_t items) : desk(items, *the_clock) {}
  bench::Desk desk;
};

// What one desk benchmark types: `operations` main-menu choices, "14. Quit" not counted.
struct DeskScript {
  std::string keys;
  int operations;
};

using ScriptFor = std::function<DeskScript(const bench::Desk&)>;

std::string Card_of(const bench::MemberValues& member) {
  return std::to_string(member.library_number);
}

const std::vector<std::pair<const char*, ScriptFor>>& Desk_scripts() {
  using bench::Desk;
  using bench::Kind;
  static const std::vector<std::pair<const char*, ScriptFor>> scripts = {
      {"select_member_by_number",
       [](const Desk& d) {
         return DeskScript{"2\n1\n" + Card_of(d.Last_member()) + "\n", 1};
       }},
      {"select_member_by_name",
       [](const Desk& d) {
         return DeskScript{"2\n2\n" + d.Last_member().name + "\n", 1};
       }},
      {"select_item",
       [](const Desk& d) {
         return DeskScript{"6\n" + d.Last_item(Kind::video).call_number + "\n", 1};
       }},
      {"member_details",
       [](const Desk& d) {
         return DeskScript{"2\n1\n" + Card_of(d.Last_member()) + "\n4\n", 2};
       }},
      {"item_details",
       [](const Desk& d) {
         return DeskScript{"6\n" + d.Last_item(Kind::video).call_number + "\n11\n", 2};
       }},
      // Select the member and the book, borrow; select the book again, return.
      {"borrow_and_return",
       [](const Desk& d) {
         const std::string select_book = "6\n" + d.Last_item(Kind::book).call_number + "\n";
         return DeskScript{
             "2\n1\n" + Card_of(d.Last_member()) + "\n" + select_book + "7\n" + select_book + "8\n",
             5};
       }},
      {"hold_and_cancel",
       [](const Desk& d) {
         const std::string select_book = "6\n" + d.Last_item(Kind::book).call_number + "\n";
         return DeskScript{"2\n1\n" + Card_of(d.Last_member()) + "\n" + select_book + "9\n" +
                               select_book + "10\n",
                           5};
       }},
      {"catalogue_by_bar_code",
       [](const Desk& d) {
         return DeskScript{"12\n1\n1\n" + d.Last_item(Kind::book).call_number + "\nn\n", 1};
       }},
      {"catalogue_by_title",
       [](const Desk& d) {
         return DeskScript{"12\n1\n2\n" + d.Last_item(Kind::book).title + "\nn\n", 1};
       }},
      {"catalogue_by_author",
       [](const Desk& d) {
         return DeskScript{"12\n1\n3\n" + d.Last_item(Kind::book).creator + "\nn\n", 1};
       }},
      {"overdue_report",
       [](const Desk&) {
         return DeskScript{"13\n", 1};
       }},
      // Remove the last book and catalogue it again: it is the last book once more.
      {"remove_and_add_item",
       [](const Desk& d) {
         const bench::ItemValues book = d.Last_item(Kind::book);
         return DeskScript{"5\n5\n" + book.call_number + "\n" + bench::Add_item_keys(book) + "6\n",
                           3};
       }},
      // Register a member, select it (the last of the register) and delete it.
      {"add_select_delete_member",
       [](const Desk& d) {
         bench::MemberValues member = bench::Member_of(d.Members());
         return DeskScript{bench::Add_member_keys(member) + "2\n1\n" + Card_of(member) + "\n3\n",
                           3};
       }},
  };
  return scripts;
}

void Desk_operation(benchmark::State& state, const ScriptFor& script_for) {
  bench::Desk& desk = Cached<DeskFixture>(state.range(0)).desk;
  const DeskScript script = script_for(desk);
  DiscardedOutput silenced;
  for (auto _ : state) desk.Run(script.keys);
  state.SetComplexityN(state.range(0));
  state.counters["per_operation"] =
      benchmark::Counter(script.operations, benchmark::Counter::kIsIterationInvariantRate |
                                                benchmark::Counter::kInvert);
}

void Register_benchmarks() {
  const auto sizes = [](benchmark::internal::Benchmark* b) {
    b->RangeMultiplier(10)->Range(1000, 1000000)->Complexity()->Unit(benchmark::kMicrosecond);
  };
  sizes(benchmark::RegisterBenchmark("Collection/book_by_bar_code", Collection_book_by_bar_code));
  sizes(benchmark::RegisterBenchmark("Collection/book_search_by_title",
                                     Collection_book_search_by_title));
  sizes(benchmark::RegisterBenchmark("Collection/book_search_by_author",
                                     Collection_book_search_by_author));
  sizes(benchmark::RegisterBenchmark("Collection/book_available_by_title",
                                     Collection_book_available_by_title));
  sizes(benchmark::RegisterBenchmark("Collection/book_list_overdue", Collection_book_list_overdue));
  sizes(benchmark::RegisterBenchmark("Collection/member_by_number", Collection_member_by_number));
  sizes(benchmark::RegisterBenchmark("Collection/member_by_name", Collection_member_by_name));
  benchmark::RegisterBenchmark("Calendar/now_plus_days", Calendar_now_plus_days)
      ->Arg(14)
      ->Arg(2000000000);
  for (const auto& [name, script_for] : Desk_scripts()) {
    sizes(benchmark::RegisterBenchmark((std::string("Desk/") + name).c_str(),
                                       [&script_for = script_for](benchmark::State& state) {
                                         Desk_operation(state, script_for);
                                       }));
  }
}

// ----- Counts per desk operation: clock readings and, under callgrind, instructions -----

int Print_counts(const std::vector<std::uint64_t>& sizes) {
  std::vector<std::unique_ptr<bench::Desk>> desks;
  for (const std::uint64_t size : sizes) {
    desks.push_back(std::make_unique<bench::Desk>(size, *the_clock));
  }
  // From here on the clock stands still at the test clock's minute, and counts its readings.
  const Clock_reading now = Read_clock();
  std::tm local{};
  local.tm_year = now.year - 1900;
  local.tm_mon = now.month - 1;
  local.tm_mday = now.day;
  local.tm_hour = now.hour;
  local.tm_min = now.minute;
  const std::time_t frozen = timegm(&local);
  long readings = 0;
  Set_time_source([&readings, frozen] {
    ++readings;
    return frozen;
  });

  std::cout << std::left << std::setw(28) << "clock readings per run";
  for (const std::uint64_t size : sizes) std::cout << std::right << std::setw(12) << size;
  std::cout << "\n";
  for (const auto& [name, script_for] : Desk_scripts()) {
    std::cout << std::left << std::setw(28) << name;
    for (std::size_t at = 0; at < sizes.size(); ++at) {
      bench::Desk& desk = *desks[at];
      const DeskScript script = script_for(desk);
      {
        DiscardedOutput silenced;
        desk.Run(script.keys);  // once to warm up, then once counted
        readings = 0;
        CALLGRIND_ZERO_STATS;
        desk.Run(script.keys);
        const std::string dump = std::string(name) + "/" + std::to_string(sizes[at]);
        CALLGRIND_DUMP_STATS_AT(dump.c_str());
      }
      std::cout << std::right << std::setw(12) << readings;
    }
    std::cout << "\n";
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  // Local time is UTC, so the test clock's minute is the minute every stamp is made at.
  setenv("TZ", "UTC0", 1);
  tzset();
  TestClock clock(2026, 12, 8, 10, 30);
  the_clock = &clock;

  if (argc > 1 and std::strcmp(argv[1], "--counts") == 0) {
    std::vector<std::uint64_t> sizes;
    for (int at = 2; at < argc; ++at) sizes.push_back(std::strtoull(argv[at], nullptr, 10));
    if (sizes.empty()) sizes = {1000, 10000, 100000};
    return Print_counts(sizes);
  }

  Register_benchmarks();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
