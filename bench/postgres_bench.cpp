// What keeping the desk's records in a PostgreSQL database costs: the commit of each kind of
// change, the check a desk makes at every line for the changes of the others, the start-up on a
// large catalogue, and eight desks at once; beside them, what the disk asks for one flush.
//
//   shelvoranquist_postgres_bench URI DATA_FOLDER [CYCLES] [RUNS] [LINES]
//
// URI names an empty database on the server to be measured; the benchmark takes it for its
// own: it refuses a database that holds any table, makes the catalogue's tables there, drops
// them between its parts and at the end. DATA_FOLDER is the server's data folder, where the
// floor's file is written beside the server's write-ahead log and removed. It starts no server.
//  1. Start-up: the large library (large_library.h) is built through a Library on
//     SqliteStorage in /dev/shm, read back as rows and copied into the catalogue's tables (a
//     COPY for members and items, an INSERT for each loan). Then, after one run left out, RUNS
//     times (default 7) a PostgresStorage is opened on it and a whole Library loaded: the
//     median, least and most of opening, loading and both, by the wall clock and in CPU time of
//     this process (the server's work shows in the wall clock only).
//  2. Commits: on that catalogue, CYCLES cycles (default 1,000) of changes through the console,
//     as the storage benchmark makes them on the data file: the median, 90th and 99th percentile
//     and the slowest commit of each kind, as the server's own settings make it durable (they
//     are printed), beside the disk's floor, a 4 KiB page written in DATA_FOLDER and flushed with
//     fdatasync after each cycle, appended and rewritten in place. Twice: back to back, and after
//     a random pause below 20 ms before each change and each flush. After each, how often the
//     server flushed its write-ahead log a change, and the time of a flush as the server took
//     it (pg_stat_wal; the time only with track_wal_io_timing on).
//  3. The check at each line when no other desk changed anything: LINES times (default 10,000)
//     Changes_elsewhere() and then Waiting() on a desk's storage, each timed, and in turn one
//     round trip to the server ("SELECT 1") on a connection of its own.
//  4. Eight desks at once on a new catalogue, each a process with its own connection and
//     Library, each making 500 changes through its console (50 cycles of 10: a member and three
//     books added; the first lent to the member, returned, held, the hold cancelled and the book
//     removed; the second lent), all started together once every desk has loaded. A desk starts
//     no cycle after desks_deadline; one that has not ended 30 s later is killed. It prints the
//     changes per second of all desks together, the spread of the commits, of the time from each
//     change's line to its commit (the wait for the other desks included) and of the line
//     checks, and how often the server flushed its log. Then it counts the records against what
//     the desks made: every member, book and loan exactly once, the count of changes kept, no
//     desk left registered; and what each desk holds in memory after a last line, and what a new
//     desk loads.

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <pqxx/pqxx>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <exception>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iomanip>
#include <iostream>
#include <limits>
#include <map>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

#include "catalogue_values.h"
#include "large_library.h"
#include "spread.h"
#include "storage/postgres/postgres_storage.h"
#include "storage/sqlite/sqlite_storage.h"
#include "stored_desk.h"
#include "support/test_clock.h"
#include "timed_storage.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int desk_count = 8;
constexpr std::uint64_t cycles_per_desk = 50;
constexpr std::uint64_t changes_per_cycle = 10;
constexpr auto desks_deadline = std::chrono::seconds(300);
// The desks' members and books come after every one the large library and the commit cycles
// use.
constexpr std::uint64_t desk_member_base = 1000000;
constexpr std::uint64_t desk_book_base = 1000000;

// Every table of the catalogue, as the engine makes them.
const char* const catalogue_tables =
    "shelvoranquist, members, books, cds, journals, videos, loans, holds, changes, desks";

double Milliseconds(Clock::duration took) {
  return std::chrono::duration<double, std::milli>(took).count();
}

double Cpu_milliseconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

std::string Load_average() {
  std::ifstream file("/proc/loadavg");
  std::string one;
  std::string five;
  file >> one >> five;
  return "load average " + one + " (1 min), " + five + " (5 min)";
}

// The catalogue's tables in the database the benchmark was given, and the schema of the public
// catalogue's index and views that depend on them, dropped when it ends however it ends. Holds no
// connection between calls, so that the desks' processes inherit none.
class Catalogue {
 public:
  // Throws std::runtime_error when the database holds any table.
  explicit Catalogue(std::string uri) : _uri(std::move(uri)) {
    pqxx::connection connection(_uri);
    pqxx::nontransaction query(connection);
    if (query
            .exec("SELECT count(*) FROM information_schema.tables WHERE table_schema IN "
                  "(current_schema(), 'catalogue')")
            .at(0)
            .at(0)
            .as<long long>() != 0) {
      throw std::runtime_error("the database holds tables; the benchmark needs an empty one");
    }
  }
  ~Catalogue() {
    try {
      Drop();
    } catch (const std::exception& error) {
      std::cerr << "shelvoranquist_postgres_bench: cannot drop the catalogue: " << error.what()
                << '\n';
    }
  }
  Catalogue(const Catalogue&) = delete;
  Catalogue& operator=(const Catalogue&) = delete;

  const std::string& Uri() const { return _uri; }

  // Drops every table of the catalogue and makes them again, empty, as a first desk does.
  void Make_new() {
    Drop();
    const PostgresStorage made(_uri);
    if (not made.Created()) throw std::runtime_error("the catalogue was not made anew");
  }

  // How often the server has flushed its write-ahead log, and the milliseconds that took (none
  // unless track_wal_io_timing is on), as it counts them since its statistics were last reset;
  // none from a server that does not count them. Waits first, so that the sessions that ended
  // have reported theirs.
  std::optional<std::pair<std::int64_t, double>> Log_flushes() const {
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    pqxx::connection connection(_uri);
    pqxx::nontransaction query(connection);
    try {
      const pqxx::row row = query.exec("SELECT wal_sync, wal_sync_time FROM pg_stat_wal").at(0);
      return std::pair{row[0].as<std::int64_t>(), row[1].as<double>()};
    } catch (const pqxx::sql_error&) {
      return std::nullopt;
    }
  }

  // The server's settings that decide what a commit waits for.
  void Print_settings() const {
    pqxx::connection connection(_uri);
    pqxx::nontransaction query(connection);
    std::cout << "server " << query.exec("SHOW server_version").at(0).at(0).c_str();
    for (const char* setting : {"fsync", "synchronous_commit", "wal_sync_method",
                                "full_page_writes", "commit_delay", "shared_buffers"}) {
      std::cout << ", " << setting << ' '
                << query.exec(std::string("SHOW ") + setting).at(0).at(0).c_str();
    }
    std::cout << '\n';
  }

 private:
  void Drop() {
    pqxx::connection connection(_uri);
    pqxx::nontransaction drop(connection);
    drop.exec(std::string("DROP SCHEMA IF EXISTS catalogue CASCADE; DROP TABLE IF EXISTS ") +
              catalogue_tables);
  }

  std::string _uri;
};

// Prints how often the server flushed its log between `before` and `after` (Log_flushes), per
// change of `changes`.
void Print_log_flushes(const std::optional<std::pair<std::int64_t, double>>& before,
                       const std::optional<std::pair<std::int64_t, double>>& after,
                       std::uint64_t changes) {
  if (not before or not after) return;
  const auto flushes = static_cast<double>(after->first - before->first);
  std::cout << "the server flushed its write-ahead log " << flushes << " times, "
            << std::setprecision(2) << flushes / static_cast<double>(changes) << " a change";
  if (after->second > before->second and flushes > 0) {
    std::cout << ", " << (after->second - before->second) / flushes << " ms a flush";
  }
  std::cout << std::setprecision(1) << '\n';
}

// Bytes as COPY's text form of a bytea reads them.
std::string Bytea(const std::string& bytes) {
  static const char digits[] = "0123456789abcdef";
  std::string text = "\\x";
  for (const char byte : bytes) {
    const auto value = static_cast<unsigned char>(byte);
    text += digits[value >> 4];
    text += digits[value & 15];
  }
  return text;
}

// Streams `rows` into `table` with one COPY, each as the tuple `values` makes of it, in the
// order of `columns`.
template <class Row, class Values>
void Copy(pqxx::work& work, const char* table, const std::vector<std::string>& columns,
          const std::vector<Row>& rows, Values values) {
  pqxx::stream_to stream(work, table, columns);
  for (const Row& row : rows) stream << values(row);
  stream.complete();
}

// Copies `records`, with their keys, into the catalogue's empty tables in one transaction, and
// moves each table's key generator past its rows, as if a desk had kept them one by one.
void Copy_records(const std::string& uri, const StoredRecords& records) {
  pqxx::connection connection(uri);
  pqxx::work work(connection);
  Copy(work, "members",
       {"id", "name", "address", "phone_number", "email_address", "library_number"},
       records.members, [](const MemberRow& member) {
         return std::make_tuple(member.key, Bytea(member.name), Bytea(member.address),
                                Bytea(member.phone_number), Bytea(member.email_address),
                                member.library_number);
       });
  const auto item = [](const ItemRow& row) {
    return std::make_tuple(row.key, Bytea(row.bar_code), Bytea(row.title), Bytea(row.creator));
  };
  const auto detail = [](const ItemRow& row) { return std::make_tuple(Bytea(row.detail)); };
  const auto lendable = [](const ItemRow& row) {
    return std::make_tuple(row.loan_days, row.due.year, row.due.month, row.due.day, row.due.hour,
                           row.due.minute);
  };
  const std::vector<std::string> due{"loan_days", "due_year", "due_month",
                                     "due_day",   "due_hour", "due_minute"};
  const auto columns = [&](std::vector<std::string> names, bool is_lendable) {
    names.insert(names.begin(), {"id", "bar_code", "title"});
    if (is_lendable) names.insert(names.end(), due.begin(), due.end());
    return names;
  };
  Copy(work, "books", columns({"author"}, true), records.books,
       [&](const ItemRow& row) { return std::tuple_cat(item(row), lendable(row)); });
  Copy(work, "cds", columns({"artist", "play_time"}, true), records.cds,
       [&](const ItemRow& row) { return std::tuple_cat(item(row), detail(row), lendable(row)); });
  Copy(work, "journals", columns({"editor", "table_of_contents"}, false), records.journals,
       [&](const ItemRow& row) { return std::tuple_cat(item(row), detail(row)); });
  Copy(work, "videos", columns({"director", "rating"}, true), records.videos,
       [&](const ItemRow& row) { return std::tuple_cat(item(row), detail(row), lendable(row)); });
  for (const auto& [table, rows] :
       {std::pair{"loans", &records.loans}, std::pair{"holds", &records.holds}}) {
    for (const RecordRow& record : *rows) {
      const auto maybe = [](const std::optional<RecordKey>& key) -> std::optional<long long> {
        if (not key) return std::nullopt;
        return *key;
      };
      work.exec_params(std::string("INSERT INTO ") + table +
                           " (id, book_id, cd_id, video_id, member_id) VALUES ($1, $2, $3, $4, "
                           "$5)",
                       record.key, maybe(record.book), maybe(record.cd), maybe(record.video),
                       maybe(record.member));
    }
  }
  for (const char* table : {"members", "books", "cds", "journals", "videos", "loans", "holds"}) {
    work.exec(std::string("SELECT setval(pg_get_serial_sequence('") + table +
              "', 'id'), max(id)) FROM " + table);
  }
  work.commit();
  pqxx::nontransaction settle(connection);
  settle.exec("VACUUM (ANALYZE) members, books, cds, journals, videos, loans, holds");
}

// Builds the large library where flushes cost nothing and reads its rows back.
StoredRecords Large_library_records() {
  const fs::path scratch = fs::is_directory("/dev/shm") ? "/dev/shm" : fs::temp_directory_path();
  const std::string built =
      scratch / ("shelvoranquist_postgres_bench." + std::to_string(getpid()) + ".db");
  StoredRecords records;
  {
    SqliteStorage storage(built);
    bench::Build_large_library(storage);
  }
  {
    SqliteStorage storage(built);
    storage.Load([&](const StoredRecords& read) { records = read; });
  }
  fs::remove(built);
  return records;
}

struct Startup {
  double open_wall;
  double load_wall;
  double open_cpu;
  double load_cpu;
};

Startup Start(const std::string& uri) {
  const Clock::time_point start = Clock::now();
  const double start_cpu = Cpu_milliseconds();
  PostgresStorage storage(uri);
  const Clock::time_point opened = Clock::now();
  const double opened_cpu = Cpu_milliseconds();
  const bench::StoredDesk desk(storage);
  const Clock::time_point loaded = Clock::now();
  const double loaded_cpu = Cpu_milliseconds();
  bench::Check_large_library(desk.library(), "the catalogue");
  return {Milliseconds(opened - start), Milliseconds(loaded - opened), opened_cpu - start_cpu,
          loaded_cpu - opened_cpu};
}

// Prints the median [least most] of a part of the start-up in each run, in ms.
void Print_startup(const char* label, const std::vector<Startup>& runs,
                   double (*part)(const Startup&)) {
  std::vector<double> values(runs.size());
  std::transform(runs.begin(), runs.end(), values.begin(), part);
  const auto [least, most] = std::minmax_element(values.begin(), values.end());
  std::cout << std::left << std::setw(12) << label << std::right << std::setw(10)
            << bench::Median(values) << " [" << std::setw(7) << *least << ' ' << std::setw(7)
            << *most << "]\n";
}

void Measure_startup(const std::string& uri, int runs) {
  Start(uri);
  std::vector<Startup> warm(static_cast<std::size_t>(runs));
  for (Startup& run : warm) run = Start(uri);
  std::cout << "\nstart-up: PostgresStorage opened and a Library loaded, the server's cache warm, "
               "ms, median [least most] of "
            << runs << " runs after one left out\n";
  Print_startup("open wall", warm, [](const Startup& run) { return run.open_wall; });
  Print_startup("load wall", warm, [](const Startup& run) { return run.load_wall; });
  Print_startup("both wall", warm,
                [](const Startup& run) { return run.open_wall + run.load_wall; });
  Print_startup("open cpu", warm, [](const Startup& run) { return run.open_cpu; });
  Print_startup("load cpu", warm, [](const Startup& run) { return run.load_cpu; });
  Print_startup("both cpu", warm, [](const Startup& run) { return run.open_cpu + run.load_cpu; });
}

double Microseconds_since(Clock::time_point start) {
  return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
}

void Measure_line_check(const std::string& uri, std::uint64_t lines) {
  PostgresStorage storage(uri);
  storage.Load([](const StoredRecords&) {});
  storage.Waiting();
  pqxx::connection probe(uri);
  pqxx::nontransaction round_trip(probe);
  std::vector<double> checks;
  std::vector<double> waits;
  std::vector<double> both;
  std::vector<double> round_trips;
  for (std::vector<double>* times : {&checks, &waits, &both, &round_trips}) times->reserve(lines);
  for (std::uint64_t line = 0; line < lines; ++line) {
    const Clock::time_point start = Clock::now();
    if (not storage.Changes_elsewhere().empty()) {
      throw std::runtime_error("another desk changed the catalogue during the line check");
    }
    const Clock::time_point checked = Clock::now();
    storage.Waiting();
    waits.push_back(Microseconds_since(checked));
    checks.push_back(std::chrono::duration<double, std::micro>(checked - start).count());
    both.push_back(Microseconds_since(start));
    const Clock::time_point asked = Clock::now();
    round_trip.exec("SELECT 1");
    round_trips.push_back(Microseconds_since(asked));
  }
  std::cout << "\nthe check at each line, nothing changed elsewhere, us, " << lines << " lines\n";
  bench::Print_spread_heading("call");
  bench::Print_spread("Changes_elsewhere()", checks);
  bench::Print_spread("Waiting()", waits);
  bench::Print_spread("both: the line's check", both);
  bench::Print_spread("one round trip (SELECT 1)", round_trips);
  std::cout << "the check's median is " << bench::Median(both) / bench::Median(round_trips)
            << " round trips\n";
}

// What a desk of the eight did, as its process reports it.
struct DeskReport {
  std::string error;
  std::uint64_t cycles = 0;
  std::uint64_t lines_with_changes = 0;
  Clock::duration::rep start = 0;
  Clock::duration::rep end = 0;
  std::vector<double> commits;
  std::vector<double> since_line;
  std::vector<double> catch_ups;
  // What the desk's memory holds once it has applied every desk's changes: members, books,
  // loans, holds.
  std::array<std::int64_t, 4> holds_in_memory{-1, -1, -1, -1};
};

std::string Report_text(const DeskReport& report) {
  std::ostringstream text;
  text << std::setprecision(17);
  if (not report.error.empty()) text << "error " << report.error << '\n';
  text << "cycles " << report.cycles << '\n'
       << "lines_with_changes " << report.lines_with_changes << '\n'
       << "window " << report.start << ' ' << report.end << '\n'
       << "memory " << report.holds_in_memory[0] << ' ' << report.holds_in_memory[1] << ' '
       << report.holds_in_memory[2] << ' ' << report.holds_in_memory[3] << '\n';
  for (const double value : report.commits) text << "commit " << value << '\n';
  for (const double value : report.since_line) text << "since_line " << value << '\n';
  for (const double value : report.catch_ups) text << "catch_up " << value << '\n';
  return text.str();
}

DeskReport Read_report(const std::string& text) {
  DeskReport report;
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    std::istringstream fields(line);
    std::string tag;
    fields >> tag;
    if (tag == "error") {
      report.error = line.substr(6);
    } else if (tag == "cycles") {
      fields >> report.cycles;
    } else if (tag == "lines_with_changes") {
      fields >> report.lines_with_changes;
    } else if (tag == "window") {
      fields >> report.start >> report.end;
    } else if (tag == "memory") {
      for (std::int64_t& count : report.holds_in_memory) fields >> count;
    } else {
      double value = 0;
      fields >> value;
      if (tag == "commit") report.commits.push_back(value);
      if (tag == "since_line") report.since_line.push_back(value);
      if (tag == "catch_up") report.catch_ups.push_back(value);
    }
  }
  return report;
}

// What cycle `cycle` of desk `desk` adds and keeps: its member, three books, and the loan of the
// second book to the member.
struct DeskCycle {
  bench::MemberValues member;
  std::array<bench::ItemValues, 3> books;
};

DeskCycle Desk_cycle(int desk, std::uint64_t cycle) {
  const std::uint64_t nr = static_cast<std::uint64_t>(desk) * 1000 + cycle;
  const auto book = [&](std::uint64_t n) {
    return bench::Item_of(4 * (desk_book_base + 3 * nr + n), bench::large_item_count,
                          bench::large_library_seed);
  };
  return {bench::Member_of(desk_member_base + nr), {book(0), book(1), book(2)}};
}

std::string Desk_cycle_keys(const DeskCycle& cycle) {
  const std::string select_member = "2\n1\n" + std::to_string(cycle.member.library_number) + "\n";
  const auto select = [](const bench::ItemValues& item) { return "6\n" + item.call_number + "\n"; };
  const bench::ItemValues& first = cycle.books[0];
  return bench::Add_member_keys(cycle.member) + "5\n" + bench::Add_item_keys(cycle.books[0]) +
         bench::Add_item_keys(cycle.books[1]) + bench::Add_item_keys(cycle.books[2]) + "6\n" +
         select_member + select(first) + "7\n" + select(first) + "8\n" + select(first) + "9\n" +
         select(first) + "10\n" + "5\n5\n" + first.call_number + "\n6\n" + select_member +
         select(cycle.books[1]) + "7\n";
}

// The pipes between the benchmark and its desks: each desk writes a byte to `ready` once it
// has loaded and to `finished` once it has made its cycles, and reads one from `go` before its
// first cycle and from `last_line` before the line that brings its memory up to date with
// every desk's changes. Each desk closes the ends it does not use, and its own end of `ready`
// and `finished` once written, so that the benchmark reads to their end.
struct DeskPipes {
  int ready[2];
  int go[2];
  int finished[2];
  int last_line[2];
};

// Writes a byte to the end `to` and closes it, then reads a byte from `from`; false when
// either fails.
bool Signal_and_wait(int to, int from) {
  char byte = 's';
  const bool told = write(to, &byte, 1) == 1;
  close(to);
  return told and read(from, &byte, 1) == 1;
}

// The body of a desk's process: makes its cycles until `deadline`, as DeskPipes says, and
// writes its report to `report_fd`. Never returns.
[[noreturn]] void Run_desk(const std::string& uri, int desk, const DeskPipes& pipes, int report_fd,
                           Clock::time_point deadline) {
  DeskReport report;
  try {
    PostgresStorage kept(uri);
    bench::TimedStorage timed(kept, std::chrono::microseconds(0));
    // The times of the cycles, before the last line adds its own.
    bool times_taken = false;
    const auto take_times = [&] {
      for (std::size_t kind = 0; kind < bench::change_kinds; ++kind) {
        const std::vector<double>& times = timed.Times(kind);
        report.commits.insert(report.commits.end(), times.begin(), times.end());
      }
      report.since_line = timed.Since_line();
      report.catch_ups = timed.Catch_ups();
      report.lines_with_changes = timed.Lines_with_changes();
      times_taken = true;
    };
    try {
      bench::StoredDesk stored(timed);
      // The load took the catalogue's lock; the other desks load meanwhile.
      timed.Waiting();
      if (not Signal_and_wait(pipes.ready[1], pipes.go[0])) {
        throw std::runtime_error("no start signal");
      }
      report.start = Clock::now().time_since_epoch().count();
      while (report.cycles < cycles_per_desk and Clock::now() < deadline) {
        stored.Run(Desk_cycle_keys(Desk_cycle(desk, report.cycles)));
        ++report.cycles;
      }
      report.end = Clock::now().time_since_epoch().count();
      timed.Waiting();
      take_times();
      if (not Signal_and_wait(pipes.finished[1], pipes.last_line[0])) {
        throw std::runtime_error("no signal for the last line");
      }
      stored.Run("");
      const Library& library = stored.library();
      report.holds_in_memory = {library.Members().Count(), library.Books().Count(),
                                static_cast<std::int64_t>(library.Loans().Entries().size()),
                                static_cast<std::int64_t>(library.Holds().Entries().size())};
      timed.Waiting();
    } catch (const std::exception& error) {
      report.error = error.what();
      if (not times_taken) {
        if (report.start != 0) report.end = Clock::now().time_since_epoch().count();
        take_times();
      }
    }
  } catch (const std::exception& error) {
    report.error = error.what();
  }
  const std::string text = Report_text(report);
  std::size_t written = 0;
  while (written < text.size()) {
    const ssize_t done = write(report_fd, text.data() + written, text.size() - written);
    if (done <= 0) break;
    written += static_cast<std::size_t>(done);
  }
  _exit(report.error.empty() ? 0 : 1);
}

// Each element counted in `found` against `expected`: how many expected are missing, and how
// many were found beyond those expected.
template <class Key>
std::pair<std::int64_t, std::int64_t> Lost_and_doubled(const std::map<Key, std::int64_t>& expected,
                                                       const std::map<Key, std::int64_t>& found) {
  std::int64_t lost = 0;
  std::int64_t doubled = 0;
  for (const auto& [key, count] : expected) {
    const auto at = found.find(key);
    const std::int64_t there = at == found.end() ? 0 : at->second;
    lost += std::max<std::int64_t>(0, count - there);
  }
  for (const auto& [key, count] : found) {
    const auto at = expected.find(key);
    const std::int64_t wanted = at == expected.end() ? 0 : at->second;
    doubled += std::max<std::int64_t>(0, count - wanted);
  }
  return {lost, doubled};
}

// Counts the records of the desks' catalogue against what the desks made in their whole
// cycles, and prints what was lost or doubled. True when nothing was.
bool Check_desks_records(const std::string& uri, const std::vector<DeskReport>& reports) {
  std::map<std::int64_t, std::int64_t> members;
  std::map<std::string, std::int64_t> books;
  std::map<std::pair<std::int64_t, std::string>, std::int64_t> loans;
  std::int64_t changes = 0;
  for (int desk = 0; desk < desk_count; ++desk) {
    const DeskReport& report = reports.at(static_cast<std::size_t>(desk));
    changes += static_cast<std::int64_t>(report.commits.size());
    for (std::uint64_t cycle = 0; cycle < report.cycles; ++cycle) {
      const DeskCycle made = Desk_cycle(desk, cycle);
      ++members[made.member.library_number];
      ++books[made.books[1].call_number];
      ++books[made.books[2].call_number];
      ++loans[{made.member.library_number, made.books[1].call_number}];
    }
  }
  std::map<std::int64_t, std::int64_t> found_members;
  std::map<std::string, std::int64_t> found_books;
  std::map<std::pair<std::int64_t, std::string>, std::int64_t> found_loans;
  pqxx::connection connection(uri);
  pqxx::work work(connection);
  const auto count = [&](const char* query) {
    return work.exec(query).at(0).at(0).as<std::int64_t>();
  };
  const std::int64_t kept = count("SELECT last_change FROM shelvoranquist");
  for (const pqxx::row& row : work.exec("SELECT library_number FROM members")) {
    ++found_members[row[0].as<std::int64_t>()];
  }
  for (const pqxx::row& row : work.exec("SELECT bar_code FROM books")) {
    ++found_books[pqxx::binarystring(row[0]).str()];
  }
  for (const pqxx::row& row :
       work.exec("SELECT members.library_number, books.bar_code FROM loans JOIN members ON "
                 "members.id = loans.member_id JOIN books ON books.id = loans.book_id")) {
    ++found_loans[{row[0].as<std::int64_t>(), pqxx::binarystring(row[1]).str()}];
  }
  const std::int64_t all_loans = count("SELECT count(*) FROM loans");
  const std::int64_t others = count(
      "SELECT (SELECT count(*) FROM holds) + (SELECT count(*) FROM cds) + (SELECT count(*) FROM "
      "journals) + (SELECT count(*) FROM videos)");
  const std::int64_t desks_left = count("SELECT count(*) FROM desks");
  work.commit();

  bool whole = true;
  const auto line = [&](const char* what, std::int64_t wanted, std::int64_t there,
                        std::pair<std::int64_t, std::int64_t> lost_doubled) {
    std::cout << std::left << std::setw(26) << what << std::right << std::setw(8) << wanted
              << std::setw(8) << there << std::setw(8) << lost_doubled.first << std::setw(8)
              << lost_doubled.second << '\n';
    whole = whole and lost_doubled.first == 0 and lost_doubled.second == 0;
  };
  const auto total = [](const auto& counted) {
    std::int64_t sum = 0;
    for (const auto& [key, value] : counted) sum += value;
    return sum;
  };
  std::cout << std::left << std::setw(26) << "records" << std::right << std::setw(8) << "made"
            << std::setw(8) << "found" << std::setw(8) << "lost" << std::setw(8) << "doubled"
            << '\n';
  line("changes kept (counter)", changes, kept,
       {std::max<std::int64_t>(0, changes - kept), std::max<std::int64_t>(0, kept - changes)});
  line("members", total(members), total(found_members), Lost_and_doubled(members, found_members));
  line("books", total(books), total(found_books), Lost_and_doubled(books, found_books));
  line("loans", total(loans), all_loans, Lost_and_doubled(loans, found_loans));
  line("holds, CDs, journals, videos", 0, others, {0, others});
  line("desks still registered", 0, desks_left, {0, desks_left});
  if (all_loans != total(found_loans)) {
    std::cout << "loans that name no member or no book of the desks: "
              << all_loans - total(found_loans) << '\n';
    whole = false;
  }

  // Each desk's memory once it has applied every change, and a new desk's, against what was
  // made.
  const std::array<std::int64_t, 4> made{total(members), total(books), total(loans), 0};
  const auto Print_memory = [&](const std::string& who, const std::array<std::int64_t, 4>& held) {
    std::cout << who << ": " << held[0] << " members, " << held[1] << " books, " << held[2]
              << " loans, " << held[3] << " holds, " << (held == made ? "as made" : "NOT as made")
              << '\n';
    return held == made;
  };
  bool memories = true;
  for (std::size_t desk = 0; desk < reports.size(); ++desk) {
    memories = Print_memory("desk " + std::to_string(desk + 1) + " after a last line",
                            reports[desk].holds_in_memory) and
               memories;
  }
  PostgresStorage storage(uri);
  const bench::StoredDesk desk(storage);
  const Library& library = desk.library();
  memories =
      Print_memory("a new desk", {library.Members().Count(), library.Books().Count(),
                                  static_cast<std::int64_t>(library.Loans().Entries().size()),
                                  static_cast<std::int64_t>(library.Holds().Entries().size())}) and
      memories;
  return whole and memories;
}

// Reads every desk's report until each process closes its end or the deadline passes; false
// then.
bool Read_reports(std::vector<int>& descriptors, std::vector<std::string>& texts,
                  Clock::time_point deadline) {
  std::size_t open_ends = descriptors.size();
  while (open_ends > 0) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() <= 0) return false;
    std::vector<pollfd> polled(descriptors.size());
    std::transform(descriptors.begin(), descriptors.end(), polled.begin(), [](int descriptor) {
      return pollfd{descriptor, POLLIN, 0};
    });
    if (poll(polled.data(), polled.size(), static_cast<int>(left.count())) < 0) {
      throw std::runtime_error("cannot wait for the desks");
    }
    for (std::size_t desk = 0; desk < polled.size(); ++desk) {
      if (polled[desk].fd < 0 or polled[desk].revents == 0) continue;
      char buffer[4096];
      const ssize_t got = read(polled[desk].fd, buffer, sizeof buffer);
      if (got > 0) {
        texts[desk].append(buffer, static_cast<std::size_t>(got));
      } else {
        close(descriptors[desk]);
        descriptors[desk] = -1;  // poll skips it from now on
        --open_ends;
      }
    }
  }
  return true;
}

void Make_pipe(int (&ends)[2]) {
  if (pipe(ends) != 0) throw std::runtime_error("cannot make a pipe");
}

// Closes the ends that are open (not -1).
void Close_all(std::initializer_list<int> ends) {
  for (const int end : ends) {
    if (end >= 0) close(end);
  }
}

// Reads the bytes the desks write to `from` (DeskPipes) until each has closed its end or
// `deadline` has passed: how many desks wrote.
int Desks_signalled(int from, Clock::time_point deadline) {
  std::vector<int> end{from};
  std::vector<std::string> bytes(1);
  Read_reports(end, bytes, deadline);
  Close_all({end[0]});
  return static_cast<int>(bytes[0].size());
}

// Writes a byte for each desk to `to` and closes it.
void Signal_desks(int to) {
  const std::string bytes(desk_count, 's');
  if (write(to, bytes.data(), bytes.size()) != desk_count) {
    throw std::runtime_error("cannot signal the desks");
  }
  close(to);
}

// Runs the eight desks and prints what they did. True when every desk made every change in
// time and nothing was lost or doubled, in the database or in any desk's memory.
bool Measure_desks(Catalogue& catalogue) {
  catalogue.Make_new();
  const auto flushes_before = catalogue.Log_flushes();
  DeskPipes pipes{};
  for (int(*ends)[2] : {&pipes.ready, &pipes.go, &pipes.finished, &pipes.last_line}) {
    Make_pipe(*ends);
  }
  std::cout.flush();
  const Clock::time_point deadline = Clock::now() + desks_deadline;
  std::vector<pid_t> processes;
  std::vector<int> reports;
  for (int desk = 0; desk < desk_count; ++desk) {
    int report[2];
    Make_pipe(report);
    const pid_t process = fork();
    if (process < 0) throw std::runtime_error("cannot start a desk");
    if (process == 0) {
      Close_all({pipes.ready[0], pipes.go[1], pipes.finished[0], pipes.last_line[1], report[0]});
      for (const int other : reports) close(other);
      Run_desk(catalogue.Uri(), desk, pipes, report[1], deadline);
    }
    close(report[1]);
    processes.push_back(process);
    reports.push_back(report[0]);
  }
  Close_all({pipes.ready[1], pipes.go[0], pipes.finished[1], pipes.last_line[0]});
  // A desk that fails ends, and closes its ends with it; one that hangs is waited for only
  // until the deadline, and killed 30 s after it.
  const int loaded = Desks_signalled(pipes.ready[0], deadline);
  if (loaded == desk_count) Signal_desks(pipes.go[1]);
  Close_all({loaded == desk_count ? -1 : pipes.go[1]});
  const int finished = Desks_signalled(pipes.finished[0], deadline + std::chrono::seconds(30));
  if (finished == desk_count) Signal_desks(pipes.last_line[1]);
  Close_all({finished == desk_count ? -1 : pipes.last_line[1]});
  std::vector<std::string> texts(desk_count);
  const bool in_time = Read_reports(reports, texts, deadline + std::chrono::seconds(30));
  for (const pid_t process : processes) {
    if (not in_time) kill(process, SIGKILL);
    waitpid(process, nullptr, 0);
  }
  for (const int descriptor : reports) Close_all({descriptor});

  std::vector<DeskReport> desks(texts.size());
  std::transform(texts.begin(), texts.end(), desks.begin(), Read_report);
  bool all_made = in_time and loaded == desk_count and finished == desk_count;
  auto first = std::numeric_limits<Clock::duration::rep>::max();
  auto last = std::numeric_limits<Clock::duration::rep>::min();
  std::vector<double> commits;
  std::vector<double> since_line;
  std::vector<double> catch_ups;
  std::uint64_t lines_with_changes = 0;
  std::cout << "\n"
            << desk_count << " desks at once, each its own process, connection and Library, "
            << cycles_per_desk * changes_per_cycle << " changes each (" << cycles_per_desk
            << " cycles of " << changes_per_cycle << "), started together\n";
  for (std::size_t desk = 0; desk < desks.size(); ++desk) {
    const DeskReport& report = desks[desk];
    std::cout << "desk " << desk + 1 << ": " << report.commits.size() << " changes in "
              << static_cast<double>(report.end - report.start) / 1e9 << " s";
    if (not report.error.empty()) std::cout << ", stopped: " << report.error;
    std::cout << '\n';
    all_made = all_made and report.error.empty() and
               report.commits.size() == cycles_per_desk * changes_per_cycle;
    if (report.start != 0) {
      first = std::min(first, report.start);
      last = std::max(last, report.end);
    }
    commits.insert(commits.end(), report.commits.begin(), report.commits.end());
    since_line.insert(since_line.end(), report.since_line.begin(), report.since_line.end());
    catch_ups.insert(catch_ups.end(), report.catch_ups.begin(), report.catch_ups.end());
    lines_with_changes += report.lines_with_changes;
  }
  if (not in_time) std::cout << "the desks did not end in time: stopped\n";
  if (not all_made) {
    std::cout << "(the records of a cycle that a desk did not end count as doubled below)\n";
  }
  if (commits.empty()) {
    std::cout << "no change was made\n";
    return false;
  }
  const double seconds = static_cast<double>(last - first) / 1e9;
  std::cout << "in all: " << commits.size() << " changes in " << seconds << " s, "
            << static_cast<double>(commits.size()) / seconds << " changes per second\n"
            << catch_ups.size() << " lines read, " << lines_with_changes
            << " of them found changes of other desks to apply\n";
  bench::Print_spread_heading("us");
  bench::Print_spread("commit of a change", commits);
  bench::Print_spread("line read to change kept", since_line);
  bench::Print_spread("line check (lock wait incl.)", catch_ups);
  Print_log_flushes(flushes_before, catalogue.Log_flushes(), commits.size());
  const bool whole = Check_desks_records(catalogue.Uri(), desks);
  std::cout << (all_made ? "every desk made every change" : "NOT every desk made every change")
            << "; " << (whole ? "nothing lost or doubled" : "RECORDS LOST OR DOUBLED") << '\n';
  return all_made and whole;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3 or argc > 6) {
    std::cerr << "usage: shelvoranquist_postgres_bench URI DATA_FOLDER [CYCLES] [RUNS] [LINES]\n";
    return 2;
  }
  const std::string uri = argv[1];
  const fs::path data_folder = argv[2];
  const std::uint64_t cycles = argc > 3 ? std::strtoull(argv[3], nullptr, 10) : 1000;
  const int runs = argc > 4 ? std::atoi(argv[4]) : 7;
  const std::uint64_t lines = argc > 5 ? std::strtoull(argv[5], nullptr, 10) : 10000;
  if (not fs::is_directory(data_folder) or cycles == 0 or runs <= 0 or lines == 0) {
    std::cerr << "shelvoranquist_postgres_bench: DATA_FOLDER must be a folder, CYCLES, RUNS and "
                 "LINES positive\n";
    return 2;
  }
  // Local time is UTC, so every stamp is made at the test clock's minute.
  setenv("TZ", "UTC0", 1);
  tzset();
  TestClock clock(2026, 12, 8, 10, 30);
  std::cout << std::fixed << std::setprecision(1);
  try {
    Catalogue catalogue(uri);
    catalogue.Print_settings();
    std::cout << Load_average() << '\n';

    Clock::time_point start = Clock::now();
    const StoredRecords records = Large_library_records();
    std::cout << "built " << bench::large_item_count << " items, " << bench::large_member_count
              << " members, " << bench::large_loan_count << " loans on SQLite in /dev/shm in "
              << Milliseconds(Clock::now() - start) / 1000 << " s";
    start = Clock::now();
    catalogue.Make_new();
    Copy_records(uri, records);
    std::cout << ", copied into the catalogue in " << Milliseconds(Clock::now() - start) / 1000
              << " s\n";
    Measure_startup(uri, runs);
    std::cout << Load_average() << '\n';

    const std::string floor =
        data_folder / ("shelvoranquist_postgres_bench_floor." + std::to_string(getpid()));
    for (const auto pause : {std::chrono::milliseconds(0), std::chrono::milliseconds(20)}) {
      const auto before = catalogue.Log_flushes();
      {
        PostgresStorage storage(uri);
        bench::Measure_commits(storage, floor, cycles, pause);
      }
      Print_log_flushes(before, catalogue.Log_flushes(), cycles * bench::change_kinds);
      std::cout << Load_average() << '\n';
    }

    Measure_line_check(uri, lines);
    std::cout << Load_average() << '\n';

    const bool desks_whole = Measure_desks(catalogue);
    std::cout << Load_average() << '\n';
    return desks_whole ? 0 : 1;
  } catch (const std::exception& error) {
    std::cerr << "shelvoranquist_postgres_bench: " << error.what() << '\n';
    return 1;
  }
}
