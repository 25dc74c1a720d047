// What keeping the desk's records in a data file costs: the commit of one change, the start-up
// on the file of a large library, and the size of that file.
//
//   shelvoranquist_storage_bench DIR [CYCLES] [RUNS]
//
// DIR is a directory on the disk to be measured; the program leaves desk.db and commits.db there.
//  1. It builds desk.db through a whole Library on SqliteStorage, each change its own
//     transaction: 100,000 items (a quarter of each kind), 10,000 members and 10,000 loans, one
//     to each member, of the first books, CDs and videos. The file is built in /dev/shm, where
//     the flushes cost nothing, and copied to DIR once it is closed.
//  2. It prints the file's size and its write-ahead log's after that clean close.
//  3. RUNS times (default 7) it opens desk.db and loads a whole Library from it, with the file in
//     the page cache and then with the file's pages dropped from it first, and prints the median,
//     least and most of opening, loading and both, by the wall clock and in CPU time.
//  4. On commits.db, a copy of desk.db, it runs CYCLES cycles (default 1,000) of changes through
//     the console: a member and a book added, the book lent to the member, returned, held, the
//     hold cancelled, the book removed, the member deleted. For each kind of change it prints the
//     median, 90th and 99th percentile and the slowest time the storage took to keep it. After
//     each cycle it also times the disk's floor beside the file: one 4 KiB page appended to a
//     file and flushed, and one rewritten in place and flushed. It does so twice: with the
//     changes back to back, and with a random pause below 20 ms before each change and each
//     flush of the floor, as between a librarian's changes.

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <iomanip>
#include <iostream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "catalogue_values.h"
#include "console/console_input.h"
#include "console/library.h"
#include "storage/sqlite/sqlite_storage.h"
#include "support/discarded_output.h"
#include "support/scripted_input.h"
#include "support/test_clock.h"
#include "timed_storage.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr std::uint64_t item_count = 100000;
constexpr std::uint64_t member_count = 10000;
constexpr std::uint64_t loan_count = 10000;
constexpr std::uint64_t seed = 1;
// Main-menu choices typed at once while the file is built.
constexpr std::uint64_t batch = 10000;

double Milliseconds(Clock::duration took) {
  return std::chrono::duration<double, std::milli>(took).count();
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t middle = values.size() / 2;
  return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// The nearest-rank percentile of sorted values.
double Percentile(const std::vector<double>& sorted, double percent) {
  const auto rank =
      static_cast<std::size_t>(std::ceil(percent / 100 * static_cast<double>(sorted.size())));
  return sorted[std::max<std::size_t>(rank, 1) - 1];
}

// A Library on `storage`, driven through its console, its output sent nowhere. `storage` must
// outlive the desk.
class StoredDesk {
 public:
  explicit StoredDesk(Storage& storage) : _input(_script, -1), _library(_input, storage) {}

  // Runs the main menu over `keys` and then "14. Quit".
  void Run(const std::string& keys) {
    DiscardedOutput silenced;
    _script.Type(keys);
    _script.Type("14\n");
    _library.Main_menu();
  }

  const Library& library() const { return _library; }

 private:
  ScriptedInput _script;
  ConsoleInput _input;
  Library _library;
};

std::string Card_of(std::uint64_t member) {
  return std::to_string(bench::Member_of(member).library_number);
}

// The index of the `n`-th lendable item (0-based): books, CDs and videos take turns, journals
// are skipped.
std::uint64_t Lendable_index(std::uint64_t n) {
  constexpr std::uint64_t offsets[] = {0, 1, 3};
  return n / 3 * 4 + offsets[n % 3];
}

void Build_data_file(const std::string& path) {
  SqliteStorage storage(path);
  StoredDesk desk(storage);
  std::string keys;
  for (std::uint64_t member = 0; member < member_count; ++member) {
    keys += bench::Add_member_keys(bench::Member_of(member));
    if ((member + 1) % batch == 0) desk.Run(std::exchange(keys, ""));
  }
  desk.Run(std::exchange(keys, ""));
  for (std::uint64_t item = 0; item < item_count; item += batch) {
    keys = "5\n";
    for (std::uint64_t i = item; i < std::min(item + batch, item_count); ++i) {
      keys += bench::Add_item_keys(bench::Item_of(i, item_count, seed));
    }
    desk.Run(keys + "6\n");
  }
  keys.clear();
  for (std::uint64_t loan = 0; loan < loan_count; ++loan) {
    // The catalogue screen of the kind finds the item without walking the other kinds.
    const bench::ItemValues item = bench::Item_of(Lendable_index(loan), item_count, seed);
    keys += "2\n1\n" + Card_of(loan) + "\n12\n" +
            std::to_string(bench::Catalogue_choice(item.kind)) + "\n1\n" + item.call_number +
            "\nn\n7\n";
  }
  desk.Run(keys);
}

std::uintmax_t Size_or_zero(const std::string& path) {
  std::error_code absent;
  const std::uintmax_t size = fs::file_size(path, absent);
  return absent ? 0 : size;
}

// Writes the file out and drops its pages from the page cache: the next open reads the disk.
void Drop_from_page_cache(const std::string& path) {
  const int descriptor = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (descriptor < 0 or fdatasync(descriptor) != 0 or
      posix_fadvise(descriptor, 0, 0, POSIX_FADV_DONTNEED) != 0) {
    throw std::runtime_error("cannot drop " + path + " from the page cache");
  }
  close(descriptor);
}

// The least a disk asks for keeping one change: a page written to a file and flushed, as the
// write-ahead log is at each commit. An append changes the file's size as well, which the file
// system must flush too; a rewrite in place, as in a log that starts over after a checkpoint,
// does not. The file is removed when the floor is destroyed.
class FlushFloor {
 public:
  // Waits a random time below `longest_pause` before each write.
  FlushFloor(std::string path, std::chrono::microseconds longest_pause)
      : _path(std::move(path)),
        _pause(longest_pause),
        _descriptor(open(_path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0600)) {
    if (_descriptor < 0) throw std::runtime_error("cannot create " + _path);
  }
  ~FlushFloor() {
    close(_descriptor);
    fs::remove(_path);
  }
  FlushFloor(const FlushFloor&) = delete;
  FlushFloor& operator=(const FlushFloor&) = delete;

  void Append() { _appended.push_back(Write_at(_end++ * page_size)); }
  void Rewrite() { _rewritten.push_back(Write_at(0)); }

  // The microseconds of each append or rewrite, flush included.
  const std::vector<double>& Appended() const { return _appended; }
  const std::vector<double>& Rewritten() const { return _rewritten; }

 private:
  static constexpr std::size_t page_size = 4096;

  double Write_at(std::size_t offset) {
    _pause.Wait();
    const Clock::time_point start = Clock::now();
    if (pwrite(_descriptor, _page.data(), page_size, static_cast<off_t>(offset)) !=
            static_cast<ssize_t>(page_size) or
        fdatasync(_descriptor) != 0) {
      throw std::runtime_error("cannot write " + _path);
    }
    return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
  }

  std::string _path;
  bench::RandomPause _pause;
  int _descriptor;
  std::size_t _end = 0;
  std::vector<char> _page = std::vector<char>(page_size, 'x');
  std::vector<double> _appended;
  std::vector<double> _rewritten;
};

double Cpu_milliseconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// Opening the file and loading the Library from it, in milliseconds by the wall clock and by
// the process's CPU clock.
struct Startup {
  double open_wall;
  double load_wall;
  double open_cpu;
  double load_cpu;
};

// Opens the data file and loads a whole Library from it, and checks that all of it came back.
Startup Start(const std::string& path) {
  const Clock::time_point start = Clock::now();
  const double start_cpu = Cpu_milliseconds();
  SqliteStorage storage(path);
  const Clock::time_point opened = Clock::now();
  const double opened_cpu = Cpu_milliseconds();
  const StoredDesk desk(storage);
  const Clock::time_point loaded = Clock::now();
  const double loaded_cpu = Cpu_milliseconds();
  const Library& library = desk.library();
  const std::uint64_t items =
      static_cast<std::uint64_t>(library.Books().Count() + library.Cds().Count() +
                                 library.Journals().Count() + library.Videos().Count());
  if (items != item_count or
      static_cast<std::uint64_t>(library.Members().Count()) != member_count or
      library.Loans().Entries().size() != loan_count) {
    throw std::runtime_error(path + " did not load whole");
  }
  return {Milliseconds(opened - start), Milliseconds(loaded - opened), opened_cpu - start_cpu,
          loaded_cpu - opened_cpu};
}

void Print_startups(const char* label, const std::vector<Startup>& runs, double Startup::*open,
                    double Startup::*load) {
  std::vector<double> opens;
  std::vector<double> loads;
  std::vector<double> both;
  for (const Startup& run : runs) {
    opens.push_back(run.*open);
    loads.push_back(run.*load);
    both.push_back(run.*open + run.*load);
  }
  std::cout << std::left << std::setw(10) << label << std::right;
  for (const std::vector<double>* values : {&opens, &loads, &both}) {
    const auto [least, most] = std::minmax_element(values->begin(), values->end());
    std::cout << std::setw(10) << Median(*values) << " [" << std::setw(7) << *least << ' '
              << std::setw(7) << *most << ']';
  }
  std::cout << '\n';
}

void Measure_startup(const std::string& path, int runs) {
  std::vector<Startup> warm;
  std::vector<Startup> cold;
  for (int run = 0; run < runs; ++run) {
    warm.push_back(Start(path));
    Drop_from_page_cache(path);
    cold.push_back(Start(path));
  }
  std::cout << "\nstart-up: open and load, ms, median [least most] of " << runs << " runs\n"
            << std::left << std::setw(10) << "cache" << std::right << std::setw(28) << "open"
            << std::setw(28) << "load" << std::setw(28) << "both" << '\n';
  Print_startups("warm wall", warm, &Startup::open_wall, &Startup::load_wall);
  Print_startups("warm cpu", warm, &Startup::open_cpu, &Startup::load_cpu);
  Print_startups("cold wall", cold, &Startup::open_wall, &Startup::load_wall);
  Print_startups("cold cpu", cold, &Startup::open_cpu, &Startup::load_cpu);
}

// Prints the median, 90th and 99th percentile and the largest of `times`, in microseconds.
void Print_spread(const char* label, std::vector<double> times) {
  std::sort(times.begin(), times.end());
  std::cout << std::left << std::setw(28) << label << std::right << std::setw(10) << Median(times)
            << std::setw(10) << Percentile(times, 90) << std::setw(10) << Percentile(times, 99)
            << std::setw(10) << times.back() << '\n';
}

// Each cycle adds a member and a book and removes them again, so the cycles of every call may
// use the same ones.
void Measure_commits(const std::string& path, std::uint64_t cycles,
                     std::chrono::microseconds longest_pause) {
  SqliteStorage kept(path);
  bench::TimedStorage storage(kept, longest_pause);
  StoredDesk desk(storage);
  FlushFloor floor(path + ".floor", longest_pause);
  for (std::uint64_t cycle = 0; cycle < cycles; ++cycle) {
    const std::uint64_t member = member_count + cycle;
    // A book of its own, after every item of the file.
    const bench::ItemValues book = bench::Item_of(item_count + 4 * cycle, item_count, seed);
    const std::string select_book = "6\n" + book.call_number + "\n";
    const std::string card = Card_of(member);
    desk.Run(bench::Add_member_keys(bench::Member_of(member)) +  // member added
             "5\n" + bench::Add_item_keys(book) + "6\n" +        // item added
             "2\n1\n" + card + "\n" + select_book + "7\n" +      // loan made
             select_book + "8\n" +                               // loan ended
             select_book + "9\n" +                               // hold placed
             select_book + "10\n" +                              // hold ended
             "5\n5\n" + book.call_number + "\n6\n" +             // item removed
             "2\n1\n" + card + "\n3\n");                         // member removed
    floor.Append();
    floor.Rewrite();
  }
  const std::string pacing = longest_pause.count() == 0
                                 ? "back to back"
                                 : "each after a random pause below " +
                                       std::to_string(longest_pause.count() / 1000) + " ms";
  std::cout << "\ncommit of one change, us, " << cycles << " changes of each kind, " << pacing
            << '\n'
            << std::left << std::setw(28) << "change" << std::right << std::setw(10) << "median"
            << std::setw(10) << "p90" << std::setw(10) << "p99" << std::setw(10) << "slowest"
            << '\n';
  for (std::size_t kind = 0; kind < bench::change_kinds; ++kind) {
    const std::vector<double>& times = storage.Times(kind);
    if (times.size() != cycles) throw std::runtime_error("a cycle did not make every change");
    Print_spread(bench::change_names.at(kind), times);
  }
  Print_spread("floor: 4 KiB appended", floor.Appended());
  Print_spread("floor: 4 KiB rewritten", floor.Rewritten());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 or argc > 4) {
    std::cerr << "usage: shelvoranquist_storage_bench DIR [CYCLES] [RUNS]\n";
    return 2;
  }
  const fs::path directory = argv[1];
  const std::uint64_t cycles = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 1000;
  const int runs = argc > 3 ? std::atoi(argv[3]) : 7;
  // Local time is UTC, so every stamp is made at the test clock's minute.
  setenv("TZ", "UTC0", 1);
  tzset();
  TestClock clock(2026, 12, 8, 10, 30);
  std::cout << std::fixed << std::setprecision(1);

  const std::string desk_file = directory / "desk.db";
  const std::string commits_file = directory / "commits.db";
  for (const std::string& file : {desk_file, commits_file}) {
    for (const char* suffix : {"", "-wal", "-shm"}) fs::remove(file + suffix);
  }
  const fs::path scratch = fs::is_directory("/dev/shm") ? "/dev/shm" : directory;
  const std::string built = scratch / ("shelvoranquist_storage_bench." + std::to_string(getpid()));
  const Clock::time_point start = Clock::now();
  Build_data_file(built);
  std::cout << "built " << item_count << " items, " << member_count << " members, " << loan_count
            << " loans in " << Milliseconds(Clock::now() - start) / 1000 << " s\n";
  std::cout << "file " << Size_or_zero(built) << " bytes, write-ahead log "
            << Size_or_zero(built + "-wal") << " bytes after a clean close\n";
  fs::copy_file(built, desk_file);
  fs::remove(built);
  fs::copy_file(desk_file, commits_file);

  Measure_startup(desk_file, runs);
  Measure_commits(commits_file, cycles, std::chrono::microseconds(0));
  Measure_commits(commits_file, cycles, std::chrono::milliseconds(20));
  return 0;
}
