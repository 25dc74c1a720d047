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
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <iomanip>
#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "large_library.h"
#include "spread.h"
#include "storage/sqlite/sqlite_storage.h"
#include "stored_desk.h"
#include "support/test_clock.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::duration took) {
  return std::chrono::duration<double, std::milli>(took).count();
}

void Build_data_file(const std::string& path) {
  SqliteStorage storage(path);
  bench::Build_large_library(storage);
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
  const bench::StoredDesk desk(storage);
  const Clock::time_point loaded = Clock::now();
  const double loaded_cpu = Cpu_milliseconds();
  bench::Check_large_library(desk.library(), path);
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
    std::cout << std::setw(10) << bench::Median(*values) << " [" << std::setw(7) << *least << ' '
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

void Measure_commits(const std::string& path, std::uint64_t cycles,
                     std::chrono::microseconds longest_pause) {
  SqliteStorage kept(path);
  bench::Measure_commits(kept, path + ".floor", cycles, longest_pause);
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
  std::cout << "built " << bench::large_item_count << " items, " << bench::large_member_count
            << " members, " << bench::large_loan_count << " loans in "
            << Milliseconds(Clock::now() - start) / 1000 << " s\n";
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
