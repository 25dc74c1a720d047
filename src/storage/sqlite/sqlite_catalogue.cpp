#include "storage/sqlite/sqlite_catalogue.h"

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>
#include <SQLiteCpp/Transaction.h>
#include <sqlite3.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <limits>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "storage/sqlite/sqlite_error.h"
#include "storage/sqlite/sqlite_schema.h"
#include "storage/sqlite/stored_row.h"
#include "storage/storage_error.h"

namespace {

// How long a search waits on the rare moments a reader of a write-ahead log must (while a desk
// recovers the log's index after a crash, say).
constexpr int busy_timeout_ms = 2000;

// The most results a search counts up to and pages through.
constexpr std::int64_t most = std::numeric_limits<std::int64_t>::max();

// The entries of the items whose words match the FTS5 query `words`, of the kind asked for (an
// ItemKind's number; any when NULL) and on the shelf when asked (`available` 1), sorted as the
// results are (the item's key last, so that pages never overlap).
constexpr const char* matching_entries =
    "SELECT e.id FROM search_words JOIN search_entries AS e ON e.id = search_words.rowid\n"
    "WHERE search_words MATCH :words AND (:kind IS NULL OR e.kind = :kind)\n"
    "  AND (NOT :available OR NOT CASE e.kind\n"
    "    WHEN 0 THEN EXISTS (SELECT 1 FROM loans WHERE book_id = e.item_id)\n"
    "      OR EXISTS (SELECT 1 FROM holds WHERE book_id = e.item_id)\n"
    "    WHEN 1 THEN EXISTS (SELECT 1 FROM loans WHERE cd_id = e.item_id)\n"
    "      OR EXISTS (SELECT 1 FROM holds WHERE cd_id = e.item_id)\n"
    "    WHEN 3 THEN EXISTS (SELECT 1 FROM loans WHERE video_id = e.item_id)\n"
    "      OR EXISTS (SELECT 1 FROM holds WHERE video_id = e.item_id)\n"
    "    ELSE 0 END)\n"
    "ORDER BY e.folded_title, e.bar_code, e.kind, e.item_id";

// What a result shows of the item of one entry: its kind, texts, whether it is lent (and then
// its due stamp tells when it is due back), and whether it is held.
constexpr const char* entry_shown =
    "SELECT e.id, e.kind,\n"
    "  coalesce(b.title, c.title, j.title, v.title),\n"
    "  coalesce(b.author, c.artist, j.editor, v.director),\n"
    "  coalesce(b.bar_code, c.bar_code, j.bar_code, v.bar_code),\n"
    "  CASE e.kind WHEN 0 THEN EXISTS (SELECT 1 FROM loans WHERE book_id = e.item_id)\n"
    "              WHEN 1 THEN EXISTS (SELECT 1 FROM loans WHERE cd_id = e.item_id)\n"
    "              WHEN 3 THEN EXISTS (SELECT 1 FROM loans WHERE video_id = e.item_id)\n"
    "              ELSE 0 END,\n"
    "  coalesce(b.due_year, c.due_year, v.due_year),\n"
    "  coalesce(b.due_month, c.due_month, v.due_month),\n"
    "  coalesce(b.due_day, c.due_day, v.due_day),\n"
    "  coalesce(b.due_hour, c.due_hour, v.due_hour),\n"
    "  coalesce(b.due_minute, c.due_minute, v.due_minute),\n"
    "  CASE e.kind WHEN 0 THEN EXISTS (SELECT 1 FROM holds WHERE book_id = e.item_id)\n"
    "              WHEN 1 THEN EXISTS (SELECT 1 FROM holds WHERE cd_id = e.item_id)\n"
    "              WHEN 3 THEN EXISTS (SELECT 1 FROM holds WHERE video_id = e.item_id)\n"
    "              ELSE 0 END\n"
    "FROM search_entries AS e\n"
    "  LEFT JOIN books AS b ON e.kind = 0 AND b.id = e.item_id\n"
    "  LEFT JOIN cds AS c ON e.kind = 1 AND c.id = e.item_id\n"
    "  LEFT JOIN journals AS j ON e.kind = 2 AND j.id = e.item_id\n"
    "  LEFT JOIN videos AS v ON e.kind = 3 AND v.id = e.item_id\n"
    "WHERE e.id = ?";

// Throws StorageError, with the reason as the desk words it, unless `path` names a regular file
// this process may read. SQLite is not asked first: opening a FIFO to read would wait for a
// writer, and its own reasons say less ("unable to open database file").
void Check_readable(const std::string& path) {
  const int descriptor = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (descriptor < 0) throw StorageError(StorageError::Kind::unusable, std::strerror(errno));
  struct stat held {};
  const bool known = fstat(descriptor, &held) == 0;
  close(descriptor);
  if (known and S_ISDIR(held.st_mode)) {
    throw StorageError(StorageError::Kind::unusable, std::strerror(EISDIR));
  }
  if (not known or not S_ISREG(held.st_mode)) {
    throw StorageError(StorageError::Kind::unusable, "not a regular file");
  }
}

// What the catalogue's connections may read: every table but the members', and of loans and
// holds nothing that names a member. Any other read is refused as the statement is prepared.
int Authorize(void* /*unused*/, int action, const char* table, const char* column,
              const char* /*database*/, const char* /*trigger*/) {
  if (action != SQLITE_READ or table == nullptr) return SQLITE_OK;
  const std::string_view read = table;
  if (read == "members") return SQLITE_DENY;
  if ((read == "loans" or read == "holds") and column != nullptr and
      std::string_view(column) == "member_id") {
    return SQLITE_DENY;
  }
  return SQLITE_OK;
}

// The FTS5 query for `request`: each word a string of its own, the last also the beginning of
// a word, all of them in the field asked for.
std::string Query(const SearchRequest& request) {
  std::string query;
  for (const std::string& word : request.words) {
    query += query.empty() ? "\"" : " \"";
    for (const char byte : word) {
      if (byte == '"') query += '"';  // a quote within a string is written twice
      query += byte;
    }
    query += '"';
  }
  query += " *";
  switch (request.field) {
    case SearchField::title:
      return "{title} : (" + query + ")";
    case SearchField::creator:
      return "{creator} : (" + query + ")";
    case SearchField::bar_code:
      return "{bar_code} : (" + query + ")";
    case SearchField::any:
      break;
  }
  return query;
}

// One connection to the file, for one thread at a time, with its statement prepared: read
// only, refused the members' records, never folding the write-ahead log into the file.
class Reader {
 public:
  // Throws StorageError when the file is no data file of this version.
  explicit Reader(const std::string& path)
      : _database(path, SQLite::OPEN_READONLY | SQLite::OPEN_NOMUTEX, busy_timeout_ms) {
    sqlite3_db_config(_database.getHandle(), SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
    sqlite3_set_authorizer(_database.getHandle(), Authorize, nullptr);
    _database.exec("PRAGMA trusted_schema = OFF");
    _database.exec("PRAGMA query_only = ON");
    const int found = SqliteSchema::Identify(_database);
    if (found < SqliteSchema::version) {
      throw StorageError(StorageError::Kind::unusable,
                         "written by an older shelvoranquist (data version " +
                             std::to_string(found) + "; this one reads version " +
                             std::to_string(SqliteSchema::version) +
                             "): start a desk on it once to upgrade it");
    }
    _matching.emplace(_database, matching_entries);
    _shown.emplace(_database, entry_shown);
  }

  SearchPage Find(const SearchRequest& request) {
    SearchPage page;
    // No item has an empty word, and no word matches when there is none.
    if (request.words.empty() or std::ranges::any_of(request.words, &std::string::empty)) {
      return page;
    }
    SQLite::Statement& matching = *_matching;
    matching.reset();
    matching.clearBindings();
    matching.bind(":words", Query(request));
    if (request.kind) matching.bind(":kind", static_cast<int>(*request.kind));
    matching.bind(":available", request.available_only ? 1 : 0);
    // The matches are counted and the page read as the file stood at one moment.
    SQLite::Transaction reading(_database, SQLite::TransactionBehavior::DEFERRED);
    const std::int64_t first = std::max<std::int64_t>(request.offset, 0);
    const std::int64_t end = first + std::clamp<std::int64_t>(request.limit, 0, most - first);
    std::vector<std::int64_t> entries;
    while (matching.executeStep()) {
      if (page.total >= first and page.total < end) {
        entries.push_back(matching.getColumn(0).getInt64());
      }
      ++page.total;
    }
    matching.reset();
    for (const std::int64_t entry : entries) page.results.push_back(Shown(entry));
    reading.commit();
    return page;
  }

 private:
  // The result of the item of `entry`.
  SearchResult Shown(std::int64_t entry) {
    SQLite::Statement& shown = *_shown;
    shown.reset();
    shown.bind(1, entry);
    if (not shown.executeStep()) {
      throw StorageError(StorageError::Kind::damaged, "damaged: its search index names no item");
    }
    const StoredRow row(shown, "search_entries");
    SearchResult result{.kind = static_cast<ItemKind>(row.Whole_number(1)),
                        .title = row.Text(2),
                        .creator = row.Text(3),
                        .bar_code = row.Text(4),
                        .held = row.Whole_number(11) != 0};
    if (row.Whole_number(5) != 0) result.due = row.Stamp(6);
    shown.reset();
    return result;
  }

  SQLite::Database _database;
  std::optional<SQLite::Statement> _matching;
  std::optional<SQLite::Statement> _shown;
};

}  // namespace

// The readers not in use, one made whenever every one is in use.
class SqliteCatalogue::Connections {
 public:
  explicit Connections(const std::string& path) : _path(path) {}

  std::unique_ptr<Reader> Take() {
    {
      const std::lock_guard<std::mutex> lock(_mutex);
      if (not _idle.empty()) {
        std::unique_ptr<Reader> reader = std::move(_idle.back());
        _idle.pop_back();
        return reader;
      }
    }
    return Open();
  }

  void Give_back(std::unique_ptr<Reader> reader) {
    const std::lock_guard<std::mutex> lock(_mutex);
    _idle.push_back(std::move(reader));
  }

  std::unique_ptr<Reader> Open() const {
    Check_readable(_path);
    return Guarded([&] { return std::make_unique<Reader>(_path); });
  }

 private:
  const std::string _path;
  std::mutex _mutex;
  std::vector<std::unique_ptr<Reader>> _idle;
};

SqliteCatalogue::SqliteCatalogue(const std::string& path)
    : _connections(std::make_unique<Connections>(path)) {
  _connections->Give_back(_connections->Open());
}

SqliteCatalogue::~SqliteCatalogue() = default;

SearchPage SqliteCatalogue::Find(const SearchRequest& request) {
  std::unique_ptr<Reader> reader = _connections->Take();
  // A reader that failed is not used again: its file may have gone.
  SearchPage page = Guarded([&] { return reader->Find(request); });
  _connections->Give_back(std::move(reader));
  return page;
}
