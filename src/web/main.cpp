// shelvoranquist-catalogue: the public catalogue of a library whose records a desk keeps, served
// read only as web pages.
//
// Exit status: 0 after SIGINT or SIGTERM, and for --help and --version; 1, with one line on
// standard error, when it runs as root, the records cannot be used at start, or the address
// cannot be listened on; 2, with a usage line on standard error, for a command line it does not
// understand.

#include <pthread.h>
#include <unistd.h>

#include <atomic>
#include <charconv>
#include <csignal>
#include <iostream>
#include <memory>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>
#include <thread>

#include "console/quoted_name.h"
#include "storage/catalogue_search.h"
#include "storage/postgres/database_uri.h"
#include "storage/postgres/postgres_catalogue.h"
#include "storage/sqlite/sqlite_catalogue.h"
#include "storage/storage_error.h"
#include "web/catalogue_pages.h"
#include "web/catalogue_server.h"

namespace {

constexpr std::string_view program = "shelvoranquist-catalogue";

constexpr std::string_view usage =
    "usage: shelvoranquist-catalogue --data FILE|URI [--listen HOST:PORT] [--help] [--version]";

constexpr std::string_view help =
    "The public catalogue of a library whose records a desk keeps, as web pages, read only.\n"
    "\n"
    "  --data FILE  the desk's data file (SQLite 3)\n"
    "  --data URI   the PostgreSQL database a postgresql:// URI names\n"
    "  --listen HOST:PORT\n"
    "               where to answer (default 127.0.0.1:8080; [ADDRESS]:PORT for IPv6;\n"
    "               port 0: any free port, which the line on standard error names)\n"
    "  --help       show this help and exit\n"
    "  --version    show the version and exit\n"
    "\n"
    "It serves until SIGINT or SIGTERM.\n";

struct ListenAddress {
  std::string host;
  int port = 0;
};

// "HOST:PORT", or "[ADDRESS]:PORT" for an IPv6 address; none when `text` is neither.
std::optional<ListenAddress> Read_listen_address(std::string_view text) {
  const std::size_t colon = text.rfind(':');
  if (colon == std::string_view::npos) return std::nullopt;
  std::string_view host = text.substr(0, colon);
  const std::string_view port = text.substr(colon + 1);
  if (host.size() > 2 and host.front() == '[' and host.back() == ']') {
    host = host.substr(1, host.size() - 2);
  } else if (host.empty() or host.find_first_of("[]:") != std::string_view::npos) {
    return std::nullopt;
  }
  ListenAddress address{.host = std::string(host)};
  const auto [end, error] = std::from_chars(port.data(), port.data() + port.size(), address.port);
  const bool digits = not port.empty() and port.front() != '-';
  if (not digits or error != std::errc() or end != port.data() + port.size() or
      address.port > 65535) {
    return std::nullopt;
  }
  return address;
}

// What the command line asks for.
struct Invocation {
  bool help = false;
  bool version = false;
  std::optional<std::string> data;
  ListenAddress listen{.host = "127.0.0.1", .port = 8080};
  std::string fault;  // why the command line is not understood; empty when it is
};

// Reads "--name VALUE" or "--name=VALUE" at `at`, moving `at` past the value; none when the
// argument is not that option, an empty value when it has none.
std::optional<std::string> Option_value(std::string_view name, int argc, char** argv, int& at) {
  const std::string_view argument = argv[at];  // NOLINT(*-pointer-arithmetic): argv is an array
  if (argument == name) {
    return at + 1 < argc ? std::string(argv[++at]) : std::string();  // NOLINT(*-pointer-arithmetic)
  }
  if (argument.starts_with(name) and argument[name.size()] == '=') {
    return std::string(argument.substr(name.size() + 1));
  }
  return std::nullopt;
}

Invocation Read_command_line(int argc, char** argv) {
  Invocation invocation;
  bool listen_given = false;
  for (int at = 1; at < argc and invocation.fault.empty(); ++at) {
    const std::string_view argument = argv[at];  // NOLINT(*-pointer-arithmetic): argv is an array
    if (std::optional<std::string> data = Option_value("--data", argc, argv, at)) {
      if (data->empty()) {
        invocation.fault = "--data needs a file or a database URI";
      } else if (invocation.data) {
        invocation.fault = "--data given twice";
      } else if (DatabaseUri::Names_database(*data) and not DatabaseUri::Fault(*data).empty()) {
        invocation.fault = "not a database URI: " + DatabaseUri::Fault(*data);
      } else {
        invocation.data = *data;
      }
    } else if (std::optional<std::string> listen = Option_value("--listen", argc, argv, at)) {
      const std::optional<ListenAddress> address = Read_listen_address(*listen);
      if (listen_given) {
        invocation.fault = "--listen given twice";
      } else if (not address) {
        invocation.fault = "--listen needs HOST:PORT, such as 127.0.0.1:8080";
      } else {
        invocation.listen = *address;
        listen_given = true;
      }
    } else if (argument == "--help") {
      invocation.help = true;
    } else if (argument == "--version") {
      invocation.version = true;
    } else if (argument.starts_with("-")) {
      invocation.fault = "unknown option " + Quoted_name(argument, Quoting::always);
    } else {
      invocation.fault = "unexpected argument " + Quoted_name(argument, Quoting::always);
    }
  }
  if (invocation.fault.empty() and not invocation.data and not invocation.help and
      not invocation.version) {
    invocation.fault = "--data is needed: the records to show";
  }
  return invocation;
}

// The records at `data` as messages name them: the file's name, or the database's URI without
// its password.
std::string Records_name(const std::string& data) {
  return Quoted_name(DatabaseUri::Names_database(data) ? DatabaseUri::Printable(data) : data);
}

std::unique_ptr<CatalogueSearch> Open_catalogue(const std::string& data) {
  if (DatabaseUri::Names_database(data)) return std::make_unique<PostgresCatalogue>(data);
  return std::make_unique<SqliteCatalogue>(data);
}

// The address as a browser is given it.
std::string Url(const ListenAddress& listen, int port) {
  const bool ipv6 = listen.host.find(':') != std::string::npos;
  return "http://" + (ipv6 ? '[' + listen.host + ']' : listen.host) + ':' + std::to_string(port) +
         '/';
}

}  // namespace

int main(int argc, char** argv) {
  const Invocation invocation = Read_command_line(argc, argv);
  if (not invocation.fault.empty()) {
    std::cerr << program << ": " << invocation.fault << "; " << usage << std::endl;
    return 2;
  }
  if (invocation.help or invocation.version) {
    if (invocation.help) std::cout << usage << '\n' << help;
    if (invocation.version) std::cout << program << ' ' << SHELVORANQUIST_VERSION << '\n';
    std::cout.flush();
    return std::cout ? 0 : 1;
  }
  // A page served as root would put the whole machine behind every fault of the server.
  if (geteuid() == 0) {
    std::cerr << program << ": refusing to run as root; run it as a user of its own" << std::endl;
    return 1;
  }
  const std::string name = Records_name(*invocation.data);
  std::unique_ptr<CatalogueSearch> search;
  try {
    search = Open_catalogue(*invocation.data);
  } catch (const StorageError& error) {
    std::cerr << program << ": " << name << ": " << error.what() << std::endl;
    return 1;
  }
  // Blocked before any thread starts, so that every thread inherits the mask and the signals
  // wait for sigwait below; a client that goes away mid-answer must not end the server.
  sigset_t stop_signals;
  sigemptyset(&stop_signals);
  sigaddset(&stop_signals, SIGINT);
  sigaddset(&stop_signals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stop_signals, nullptr);
  std::signal(SIGPIPE, SIG_IGN);

  std::mutex report_lock;
  const auto report_failure = [&report_lock, &name](std::string_view reason) {
    const std::lock_guard<std::mutex> lock(report_lock);
    std::cerr << program << ": " << name << ": " << reason << std::endl;
  };
  const CataloguePages pages(*search, report_failure);
  CatalogueServer server(pages, report_failure);
  int port = 0;
  try {
    port = server.Listen(invocation.listen.host, invocation.listen.port);
  } catch (const std::runtime_error& error) {
    std::cerr << program << ": cannot listen on " << Url(invocation.listen, invocation.listen.port)
              << ": " << error.what() << std::endl;
    return 1;
  }
  std::cerr << program << ": serving " << name << " at " << Url(invocation.listen, port)
            << std::endl;
  std::atomic<bool> failed = false;
  std::thread serving([&server, &failed] {
    if (not server.Serve()) {
      failed = true;
      kill(getpid(), SIGTERM);  // to the process: the main thread waits for it
    }
  });
  int received = 0;
  sigwait(&stop_signals, &received);
  server.Stop();
  serving.join();
  if (failed) {
    std::cerr << program << ": stopped serving: the listening socket failed" << std::endl;
    return 1;
  }
  return 0;
}
