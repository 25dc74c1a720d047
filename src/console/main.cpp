// Shelvoranquist: the circulation desk of a small lending library, on the console.
//
// Exit status: 0 after "14. Quit", at the end of the input, for --help and --version, and for a
// copy made with --copy-to; 1, with one line on standard error, when standard input cannot be
// read, standard output cannot be written, the data file cannot be used or a change cannot be
// kept in it, or a copy is refused or fails; 2, with a usage line on standard error, for a
// command line it does not understand.

#include <unistd.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "circulation/holdings.h"
#include "console/console_input.h"
#include "console/file_input.h"
#include "console/file_output.h"
#include "console/library.h"
#include "console/quoted_name.h"
#include "storage/no_storage.h"
#include "storage/postgres/database_uri.h"
#include "storage/postgres/postgres_storage.h"
#include "storage/sqlite/sqlite_storage.h"
#include "storage/storage_error.h"

namespace {

constexpr std::string_view usage =
    "usage: shelvoranquist [--data FILE|URI [--copy-to FILE|URI]] [--help] [--version]";

constexpr std::string_view help =
    "The circulation desk of a small lending library, driven through numbered menus.\n"
    "\n"
    "  --data FILE  keep the library's records in FILE, an SQLite 3 data file, created\n"
    "               when it does not exist; without it nothing is kept after the run\n"
    "  --data URI   keep them in the PostgreSQL database a postgresql:// URI names,\n"
    "               which several desks may share at once\n"
    "  --copy-to FILE|URI\n"
    "               copy every record of --data into a new data file or an empty\n"
    "               database, check the copy, and exit without opening the desk\n"
    "  --help       show this help and exit\n"
    "  --version    show the version and exit\n";

// What the command line asks for.
struct Invocation {
  bool help = false;
  bool version = false;
  std::optional<std::string> data_file;
  std::optional<std::string> copy_to;  // where to copy the records of data_file
  std::string fault;                   // why the command line is not understood; empty when it is
};

// The options that name a file or a database, as "--name VALUE" or "--name=VALUE".
struct PlaceOption {
  std::string_view name;
  std::optional<std::string> Invocation::*place;
};
constexpr PlaceOption place_options[] = {{"--data", &Invocation::data_file},
                                         {"--copy-to", &Invocation::copy_to}};

Invocation Read_command_line(int argc, char** argv) {
  Invocation invocation;
  for (int at = 1; at < argc and invocation.fault.empty(); ++at) {
    const std::string_view argument = argv[at];  // NOLINT(*-pointer-arithmetic): argv is an array
    const PlaceOption* option = nullptr;
    std::optional<std::string> file;
    for (const PlaceOption& known : place_options) {
      if (argument == known.name) {
        option = &known;
        if (at + 1 < argc) file = argv[++at];  // NOLINT(*-pointer-arithmetic)
      } else if (argument.starts_with(known.name) and argument[known.name.size()] == '=') {
        option = &known;
        file = std::string(argument.substr(known.name.size() + 1));
      }
    }
    if (option == nullptr) {
      if (argument == "--help") {
        invocation.help = true;
      } else if (argument == "--version") {
        invocation.version = true;
      } else if (argument.starts_with("-")) {
        invocation.fault = "unknown option " + Quoted_name(argument, Quoting::always);
      } else {
        invocation.fault = "unexpected argument " + Quoted_name(argument, Quoting::always);
      }
      continue;
    }
    std::optional<std::string>& place = invocation.*(option->place);
    if (not file or file->empty()) {
      invocation.fault = std::string(option->name) + " needs a file";
    } else if (place) {
      invocation.fault = std::string(option->name) + " given twice";
    } else {
      if (DatabaseUri::Names_database(*file)) {
        if (const std::string fault = DatabaseUri::Fault(*file); not fault.empty()) {
          invocation.fault = "not a database URI: " + fault;
        }
      }
      place = std::move(file);
    }
  }
  if (invocation.fault.empty() and invocation.copy_to and not invocation.data_file) {
    invocation.fault = "--copy-to needs --data, the records to copy";
  }
  return invocation;
}

// Opens the storage the command line names; none for a run whose records are not kept.
std::unique_ptr<Storage> Open_storage(const Invocation& invocation) {
  if (not invocation.data_file) return std::make_unique<NoStorage>();
  // Past a file size limit a write fails like one on a full disk, instead of ending the run.
  std::signal(SIGXFSZ, SIG_IGN);
  if (DatabaseUri::Names_database(*invocation.data_file)) {
    return std::make_unique<PostgresStorage>(*invocation.data_file);
  }
  return std::make_unique<SqliteStorage>(*invocation.data_file);
}

// The records at `data` as messages name them: the file's name, or the database's URI without
// its password.
std::string Records_name(const std::string& data) {
  return Quoted_name(DatabaseUri::Names_database(data) ? DatabaseUri::Printable(data) : data);
}

std::string Records_name(const Invocation& invocation) {
  return Records_name(*invocation.data_file);
}

// Says on standard error what the opening and the load did to the data file beyond reading it,
// so that a mistyped name, or a file an older release can no longer read, is noticed.
void Report_opening(const Invocation& invocation, const Storage& storage) {
  if (const auto* database = dynamic_cast<const PostgresStorage*>(&storage)) {
    if (database->Created()) {
      std::cerr << "shelvoranquist: " << Records_name(invocation) << ": new catalogue created"
                << std::endl;
    }
    if (const int version = database->Upgraded_from(); version != 0) {
      std::cerr << "shelvoranquist: " << Records_name(invocation) << ": upgraded from data version "
                << version << " to " << PostgresStorage::Layout_version() << std::endl;
    }
    return;
  }
  const auto* file = dynamic_cast<const SqliteStorage*>(&storage);
  if (file == nullptr) return;
  const std::string name = Records_name(invocation);
  switch (file->Opened()) {
    case SqliteStorage::Opening::created:
      std::cerr << "shelvoranquist: " << name << ": new data file created" << std::endl;
      break;
    case SqliteStorage::Opening::empty:
      std::cerr << "shelvoranquist: " << name << ": empty file made a new data file" << std::endl;
      break;
    case SqliteStorage::Opening::existing:
      break;
  }
  if (const int version = file->Upgraded_from(); version != 0) {
    std::cerr << "shelvoranquist: " << name << ": upgraded from data version " << version << " to "
              << SqliteStorage::Data_version() << std::endl;
  }
}

// "1 hold", "2 holds".
std::string Counted(std::size_t count, const char* thing) {
  return std::to_string(count) + ' ' + thing + (count == 1 ? "" : "s");
}

// Whether `source` and `destination` name the same file, or spell the same database alike.
bool Same_records(const std::string& source, const std::string& destination) {
  if (source == destination) return true;
  if (DatabaseUri::Names_database(source) or DatabaseUri::Names_database(destination)) {
    return false;
  }
  std::error_code error;
  return std::filesystem::equivalent(source, destination, error);
}

// Copies every record at `source` into `destination`, which must hold nothing, and checks that
// the copy restores to the same records, keys and all. Returns the exit status, with one line
// on standard error: the counts copied, or why nothing was.
int Copy_records(const std::string& source, const std::string& destination) {
  const std::string from = Records_name(source);
  const std::string to = Records_name(destination);
  if (Same_records(source, destination)) {
    std::cerr << "shelvoranquist: " << to
              << ": is the library being copied; a copy goes to another file or database"
              << std::endl;
    return 1;
  }
  // Past a file size limit a write fails like one on a full disk, instead of ending the run.
  std::signal(SIGXFSZ, SIG_IGN);
  StoredRecords records;
  std::string failed_at = from;
  try {
    records = DatabaseUri::Names_database(source) ? PostgresStorage::Snapshot(source)
                                                  : SqliteStorage::Snapshot(source);
    Holdings().Restore(records);
    failed_at = to;
    std::unique_ptr<Storage> copy;
    if (DatabaseUri::Names_database(destination)) {
      copy = std::make_unique<PostgresStorage>(destination, StorageUse::import);
    } else {
      copy = std::make_unique<SqliteStorage>(destination, StorageUse::import);
    }
    copy->Import(records, [&records](const StoredRecords& kept) {
      Holdings().Restore(kept);
      if (kept != records) {
        throw StorageError(StorageError::Kind::damaged, "the copy reads back otherwise");
      }
    });
  } catch (const StorageError& error) {
    std::cerr << "shelvoranquist: " << failed_at << ": " << error.what() << std::endl;
    return 1;
  }
  const std::size_t items =
      records.books.size() + records.cds.size() + records.journals.size() + records.videos.size();
  std::cerr << "shelvoranquist: copied " << Counted(records.members.size(), "member") << ", "
            << Counted(items, "item") << ", " << Counted(records.loans.size(), "loan") << " and "
            << Counted(records.holds.size(), "hold") << " from " << from << " to " << to
            << std::endl;
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const Invocation invocation = Read_command_line(argc, argv);
  if (not invocation.fault.empty()) {
    std::cerr << "shelvoranquist: " << invocation.fault << "; " << usage << std::endl;
    return 2;
  }
  if (invocation.copy_to and not invocation.help and not invocation.version) {
    return Copy_records(*invocation.data_file, *invocation.copy_to);
  }
  std::ios::sync_with_stdio(false);
  FileInput standard_input(STDIN_FILENO);
  FileOutput standard_output(STDOUT_FILENO);
  std::streambuf* const system_output = std::cout.rdbuf(&standard_output);
  // The first failed write stops the run: the stream passes WriteError on.
  std::cout.exceptions(std::ios::badbit);
  std::string failure;  // what could not be done, if anything
  try {
    if (invocation.help or invocation.version) {
      if (invocation.help) std::cout << usage << '\n' << help;
      if (invocation.version) std::cout << "shelvoranquist " << SHELVORANQUIST_VERSION << '\n';
    } else {
      const std::unique_ptr<Storage> storage = Open_storage(invocation);
      ConsoleInput input(standard_input, isatty(STDIN_FILENO) == 1 ? STDIN_FILENO : -1);
      // A desk that shares its records holds its output while the others wait for it.
      const bool shared = dynamic_cast<const PostgresStorage*>(storage.get()) != nullptr;
      Library library(input, *storage, shared ? &standard_output : nullptr);
      Report_opening(invocation, *storage);
      library.Main_menu();
    }
    standard_output.Release();
    std::cout.flush();
  } catch (const WriteError& error) {
    failure = std::string("cannot write to standard output: ") + std::strerror(error.error_number);
  } catch (const ReadError& error) {
    failure = std::string("cannot read standard input: ") + std::strerror(error.error_number);
  } catch (const StorageError& error) {
    failure = Records_name(invocation) + ": " + error.what();
    // What a desk that held its output wrote before the failure is shown, as it would have been
    // without the hold; the failure is what is said.
    try {
      standard_output.Release();
    } catch (const WriteError&) {  // NOLINT(bugprone-empty-catch)
    }
  }
  // Standard error flushes standard output first: what could not be written stays unwritten.
  std::cout.exceptions(std::ios::goodbit);
  std::cout.rdbuf(system_output);
  if (failure.empty()) return 0;
  std::cerr << "shelvoranquist: " << failure << std::endl;
  return 1;
}
