// What the public catalogue costs a patron: a one-word search on a large library over the
// loopback, with one client and with eight at once.
//
//   shelvoranquist_catalogue_bench CATALOGUE DIR [REQUESTS] [SECONDS]
//
// CATALOGUE is the built shelvoranquist-catalogue; DIR a directory where the program leaves
// catalogue.db (as root, the catalogue runs as nobody, and DIR becomes nobody's).
//  1. It fills catalogue.db through the data file's import: 100,000 items (a quarter of each
//     kind; every hundredth title holds the word "Heron", so that a search for it finds 1,000
//     items to count and sort) and 1,000 members, each with a loan of one of the first books.
//  2. It starts CATALOGUE on the file on a free loopback port and waits for its first answer.
//  3. For 1 and then 8 clients at once, each client on its own connection asks for
//     /search?q=heron until the clients together made REQUESTS requests (default 4,000) or
//     SECONDS passed (default 60): the median, 90th and 99th percentile and slowest latency, and
//     the requests a second. Every answer must be 200 and name 1,000 results, or the bench fails.
//  4. It prints the size of a 50-result page, and the catalogue's resident memory now and at its
//     peak (VmRSS, VmHWM); then stops the catalogue with SIGTERM, which must end it with status 0.

#include <arpa/inet.h>
#include <grp.h>
#include <httplib.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <iostream>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "catalogue_values.h"
#include "spread.h"
#include "storage/sqlite/sqlite_storage.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr std::uint64_t item_count = 100000;
constexpr std::uint64_t member_count = 1000;
constexpr const char* query = "/search?q=heron";
constexpr uid_t nobody = 65534;

ItemRow Item_row(std::uint64_t index) {
  const bench::ItemValues values = bench::Item_of(index, item_count, 1);
  ItemRow row;
  row.key = static_cast<RecordKey>(index + 1);
  row.bar_code = values.call_number;
  row.title = values.title + (index % 100 == 0 ? " Heron" : "");
  row.creator = values.creator;
  row.detail = values.second_text;
  if (values.kind != bench::Kind::journal) {
    row.loan_days = values.loan_days;
    row.due = StampRow{2026, 12, 24, 9, 0};
  }
  return row;
}

StoredRecords Large_records() {
  StoredRecords records;
  for (std::uint64_t index = 0; index < item_count; ++index) {
    switch (bench::Kind_of(index)) {
      case bench::Kind::book:
        records.books.push_back(Item_row(index));
        break;
      case bench::Kind::cd:
        records.cds.push_back(Item_row(index));
        break;
      case bench::Kind::journal:
        records.journals.push_back(Item_row(index));
        break;
      case bench::Kind::video:
        records.videos.push_back(Item_row(index));
        break;
    }
  }
  for (std::uint64_t index = 0; index < member_count; ++index) {
    const bench::MemberValues values = bench::Member_of(index);
    const auto key = static_cast<RecordKey>(index + 1);
    records.members.push_back(MemberRow{key, values.name, values.address, values.phone_number,
                                        values.email_address, values.library_number});
    records.loans.push_back(RecordRow{key, records.books.at(index).key, {}, {}, key});
  }
  return records;
}

// A port of the loopback that nothing listens on now.
int Free_port() {
  const int probe = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  const bool found = probe >= 0 and
                     bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 and
                     getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length) == 0;
  if (probe >= 0) close(probe);
  if (not found) throw std::runtime_error("no free loopback port");
  return ntohs(address.sin_port);
}

// The catalogue, started on `data` and stopped with SIGTERM when this goes.
class RunningCatalogue {
 public:
  RunningCatalogue(const std::string& program, const std::string& data, int port) {
    const std::string listen = "127.0.0.1:" + std::to_string(port);
    _pid = fork();
    if (_pid < 0) throw std::runtime_error("fork failed");
    if (_pid == 0) {
      // The catalogue refuses to run as root: as root, it runs as nobody.
      if (geteuid() == 0 and
          (setgroups(0, nullptr) != 0 or setgid(nobody) != 0 or setuid(nobody) != 0)) {
        _exit(126);
      }
      execl(program.c_str(), program.c_str(), "--data", data.c_str(), "--listen", listen.c_str(),
            static_cast<char*>(nullptr));
      _exit(127);
    }
  }
  RunningCatalogue(const RunningCatalogue&) = delete;
  RunningCatalogue& operator=(const RunningCatalogue&) = delete;
  ~RunningCatalogue() {
    if (_pid > 0) Stop();
  }

  pid_t Pid() const { return _pid; }

  // Ends the catalogue with SIGTERM, at most 10 seconds, and returns its exit status.
  int Stop() {
    kill(_pid, SIGTERM);
    int status = 0;
    for (int tries = 0; tries < 1000; ++tries) {
      if (waitpid(_pid, &status, WNOHANG) == _pid) {
        _pid = 0;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    kill(_pid, SIGKILL);
    waitpid(_pid, &status, 0);
    _pid = 0;
    return -1;
  }

 private:
  pid_t _pid = 0;
};

std::string Status_line(pid_t pid, const std::string& field) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.starts_with(field + ":")) return line;
  }
  return field + ": unknown";
}

// An answer as the bench demands it: 200, and all 1,000 items counted.
void Check_answer(const httplib::Result& answer) {
  if (not answer) throw std::runtime_error("no answer: " + httplib::to_string(answer.error()));
  if (answer->status != 200) {
    throw std::runtime_error("status " + std::to_string(answer->status));
  }
  if (answer->body.find("<p>1000 results,") == std::string::npos) {
    throw std::runtime_error("the answer does not count 1,000 results");
  }
}

// Latencies in milliseconds of `requests` requests shared by `clients` clients, or as many as
// `seconds` allowed; prints their spread and the rate.
void Measure(int port, int clients, std::uint64_t requests, std::chrono::seconds seconds) {
  std::atomic<std::uint64_t> taken{0};
  std::mutex mutex;
  std::vector<double> latencies;
  std::string failure;
  const Clock::time_point start = Clock::now();
  const Clock::time_point deadline = start + seconds;
  std::vector<std::thread> threads;
  for (int client = 0; client < clients; ++client) {
    threads.emplace_back([&] {
      httplib::Client connection("127.0.0.1", port);
      connection.set_keep_alive(true);
      connection.set_read_timeout(10, 0);
      std::vector<double> own;
      try {
        while (taken.fetch_add(1) < requests and Clock::now() < deadline) {
          const Clock::time_point sent = Clock::now();
          Check_answer(connection.Get(query));
          own.push_back(std::chrono::duration<double, std::milli>(Clock::now() - sent).count());
        }
      } catch (const std::exception& error) {
        const std::lock_guard lock(mutex);
        failure = error.what();
      }
      const std::lock_guard lock(mutex);
      latencies.insert(latencies.end(), own.begin(), own.end());
    });
  }
  for (std::thread& thread : threads) thread.join();
  const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
  if (not failure.empty()) throw std::runtime_error(failure);
  if (latencies.empty()) throw std::runtime_error("no request was made");
  bench::Print_spread(std::to_string(clients) + (clients == 1 ? " client" : " clients"), latencies);
  std::cout << "  " << latencies.size() << " requests in " << elapsed
            << " s: " << static_cast<double>(latencies.size()) / elapsed << " requests a second\n";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3 or argc > 5) {
    std::cerr << "usage: shelvoranquist_catalogue_bench CATALOGUE DIR [REQUESTS] [SECONDS]\n";
    return 2;
  }
  try {
    const std::string program = argv[1];
    const fs::path data = fs::path(argv[2]) / "catalogue.db";
    const std::uint64_t requests = argc > 3 ? std::stoull(argv[3]) : 4000;
    const std::chrono::seconds seconds(argc > 4 ? std::stoll(argv[4]) : 60);
    std::cout << std::fixed << std::setprecision(2);

    for (const char* suffix : {"", "-wal", "-shm"}) fs::remove(data.string() + suffix);
    const Clock::time_point built = Clock::now();
    {
      SqliteStorage storage(data.string(), StorageUse::import);
      storage.Import(Large_records(), [](const StoredRecords&) {});
    }
    std::cout << "catalogue.db: " << item_count << " items, " << member_count << " loans, made in "
              << std::chrono::duration<double>(Clock::now() - built).count() << " s, "
              << fs::file_size(data) / 1024 << " KiB\n";

    if (geteuid() == 0) {
      // nobody reads the file and makes the log's index beside it.
      for (const fs::path& path : {data.parent_path(), data}) {
        if (chown(path.c_str(), nobody, nobody) != 0) throw std::runtime_error("chown failed");
      }
    }
    const int port = Free_port();
    RunningCatalogue catalogue(program, data.string(), port);
    httplib::Client probe("127.0.0.1", port);
    probe.set_connection_timeout(1, 0);
    probe.set_read_timeout(10, 0);
    httplib::Result first = probe.Get(query);
    for (int tries = 0; tries < 500 and not first; ++tries) {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
      first = probe.Get(query);
    }
    Check_answer(first);

    std::cout << "GET " << query << " (1,000 matches, 50 shown), latency in ms:\n";
    bench::Print_spread_heading("");
    Measure(port, 1, requests, seconds);
    Measure(port, 8, requests, seconds);
    std::cout << "a 50-result page: " << first->body.size() << " bytes\n"
              << "catalogue memory: " << Status_line(catalogue.Pid(), "VmRSS") << ", "
              << Status_line(catalogue.Pid(), "VmHWM") << "\n";
    const int status = catalogue.Stop();
    if (status != 0)
      throw std::runtime_error("the catalogue ended with status " + std::to_string(status));
    return 0;
  } catch (const std::exception& error) {
    std::cerr << "shelvoranquist_catalogue_bench: " << error.what() << "\n";
    return 1;
  }
}
