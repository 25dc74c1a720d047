#include "storage/sqlite/sqlite_catalogue.h"

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>
#include <SQLiteCpp/Transaction.h>
#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

#include "storage/sqlite/search_index.h"
#include "storage/sqlite/sqlite_error.h"
#include "storage/sqlite/sqlite_schema.h"
#include "storage/sqlite/stored_row.h"
#include "storage/storage_error.h"

namespace {

// How long a search waits on the rare moments a reader of a write-ahead log must (while a desk
// recovers the log's index after a crash, say).
constexpr int busy_timeout_ms = 2000;

// The entries of the items matching every word, each once, sorted as the results are (by kind
// as ItemKind numbers them, books first, then the item's key, so that pages never overlap): those
// with a word in the range of the leading word (the one the search starts from), and of them those
// that have the last word as a word or its beginning and every other word whole, each in the fields
// first_field to last_field; of them, those of the kind asked for (an ItemKind's number; any when
// NULL), and on the shelf when asked (`available` 1). `lead_is_last` (0 or 1) spares the check of
// the last word when the search started from it; `whole_words`, a JSON array of the other words, is
// NULL when there are none.
constexpr const char* matching_entries =
    "SELECT e.id FROM search_entries AS e\n"
    "WHERE e.id IN (SELECT entry_id FROM search_words\n"
    "               WHERE word >= :lead_low AND word < :lead_high\n"
    "                 AND field BETWEEN :first_field AND :last_field)\n"
    "  AND (:kind IS NULL OR CASE :kind WHEN 0 THEN e.book_id WHEN 1 THEN e.cd_id\n"
    "                                   WHEN 2 THEN e.journal_id ELSE e.video_id END NOT NULL)\n"
    "  AND (:lead_is_last OR EXISTS (\n"
    "    SELECT 1 FROM search_words AS w\n"
    "    WHERE w.entry_id = e.id AND w.word >= :last_low AND w.word < :last_high\n"
    "      AND w.field BETWEEN :first_field AND :last_field))\n"
    "  AND (:whole_words IS NULL OR NOT EXISTS (\n"
    "    SELECT 1 FROM json_each(:whole_words) AS q\n"
    "    WHERE NOT EXISTS (SELECT 1 FROM search_words AS w\n"
    "                      WHERE w.entry_id = e.id AND w.word = q.value\n"
    "                        AND w.field BETWEEN :first_field AND :last_field)))\n"
    "  AND (NOT :available OR NOT CASE\n"
    "    WHEN e.book_id IS NOT NULL THEN\n"
    "      EXISTS (SELECT 1 FROM loans WHERE book_id = e.book_id)\n"
    "      OR EXISTS (SELECT 1 FROM holds WHERE book_id = e.book_id)\n"
    "    WHEN e.cd_id IS NOT NULL THEN\n"
    "      EXISTS (SELECT 1 FROM loans WHERE cd_id = e.cd_id)\n"
    "      OR EXISTS (SELECT 1 FROM holds WHERE cd_id = e.cd_id)\n"
    "    WHEN e.video_id IS NOT NULL THEN\n"
    "      EXISTS (SELECT 1 FROM loans WHERE video_id = e.video_id)\n"
    "      OR EXISTS (SELECT 1 FROM holds WHERE video_id = e.video_id)\n"
    "    ELSE 0 END)\n"
    "ORDER BY e.folded_title, e.bar_code, e.book_id IS NULL, e.cd_id IS NULL,\n"
    "  e.journal_id IS NULL, coalesce(e.book_id, e.cd_id, e.journal_id, e.video_id)";

// What a result shows of the item of one entry: its kind, texts, whether it is lent (and then
// its due stamp tells when it is due back), and whether it is held.
constexpr const char* entry_shown =
    "SELECT e.id, CASE WHEN e.book_id NOT NULL THEN 0 WHEN e.cd_id NOT NULL THEN 1\n"
    "                  WHEN e.journal_id NOT NULL THEN 2 ELSE 3 END,\n"
    "  coalesce(b.title, c.title, j.title, v.title),\n"
    "  coalesce(b.author, c.artist, j.editor, v.director),\n"
    "  coalesce(b.bar_code, c.bar_code, j.bar_code, v.bar_code),\n"
    "  EXISTS (SELECT 1 FROM loans WHERE book_id = e.book_id OR cd_id = e.cd_id\n"
    "                                  OR video_id = e.video_id),\n"
    "  coalesce(b.due_year, c.due_year, v.due_year),\n"
    "  coalesce(b.due_month, c.due_month, v.due_month),\n"
    "  coalesce(b.due_day, c.due_day, v.due_day),\n"
    "  coalesce(b.due_hour, c.due_hour, v.due_hour),\n"
    "  coalesce(b.due_minute, c.due_minute, v.due_minute),\n"
    "  EXISTS (SELECT 1 FROM holds WHERE book_id = e.book_id OR cd_id = e.cd_id\n"
    "                                  OR video_id = e.video_id)\n"
    "FROM search_entries AS e\n"
    "  LEFT JOIN books AS b ON b.id = e.book_id\n"
    "  LEFT JOIN cds AS c ON c.id = e.cd_id\n"
    "  LEFT JOIN journals AS j ON j.id = e.journal_id\n"
    "  LEFT JOIN videos AS v ON v.id = e.video_id\n"
    "WHERE e.id = ?";

bool Is_regular_or_absent(const std::string& path) {
  std::error_code error;
  return not std::filesystem::exists(path, error) or std::filesystem::is_regular_file(path, error);
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

// The first `count` words as a JSON array of strings.
std::string Json_array(const std::vector<std::string>& words, std::size_t count) {
  std::string json = "[";
  for (std::size_t at = 0; at < count; ++at) {
    if (at > 0) json += ',';
    json += '"';
    for (const char byte : words[at]) {
      if (byte == '"' or byte == '\\') {
        json += '\\';
        json += byte;
      } else if (static_cast<unsigned char>(byte) < 0x20) {
        char escaped[8];
        std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned char>(byte));
        json += escaped;
      } else {
        json += byte;
      }
    }
    json += '"';
  }
  return json + "]";
}

// The words a search looks for as a range [low, high) of the index's words: one word alone, or,
// for a beginning, every word that starts with it. Folded words hold no NUL byte, so only the
// word itself lies before the word and a NUL; and they are valid UTF-8, whose last byte is
// never 0xFF, so raising it bounds every word that begins alike.
struct WordRange {
  std::string low;
  std::string high;
};

WordRange Whole(const std::string& word) { return {word, word + '\0'}; }

WordRange Beginning(const std::string& word) {
  std::string high = word;
  if (not high.empty())
    high.back() = static_cast<char>(static_cast<unsigned char>(high.back()) + 1);
  return {word, high};
}

std::pair<int, int> Fields(SearchField field) {
  switch (field) {
    case SearchField::title:
      return {SearchIndex::title_field, SearchIndex::title_field};
    case SearchField::creator:
      return {SearchIndex::creator_field, SearchIndex::creator_field};
    case SearchField::bar_code:
      return {SearchIndex::bar_code_field, SearchIndex::bar_code_field};
    case SearchField::any:
      break;
  }
  return {SearchIndex::title_field, SearchIndex::bar_code_field};
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
    if (request.words.empty()) return page;
    const std::size_t last = request.words.size() - 1;
    // The search starts from the longest word, which is likely to match the fewest items; a
    // whole word before a beginning as long.
    std::size_t lead = last;
    for (std::size_t at = 0; at < last; ++at) {
      const std::size_t length = request.words[at].size();
      if (length > request.words[lead].size() or
          (lead == last and length == request.words[lead].size())) {
        lead = at;
      }
    }
    const WordRange leading =
        lead == last ? Beginning(request.words[lead]) : Whole(request.words[lead]);
    const WordRange ending = Beginning(request.words[last]);
    const auto [first_field, last_field] = Fields(request.field);
    SQLite::Statement& matching = *_matching;
    matching.reset();
    matching.clearBindings();
    matching.bind(":lead_low", leading.low);
    matching.bind(":lead_high", leading.high);
    matching.bind(":last_low", ending.low);
    matching.bind(":last_high", ending.high);
    matching.bind(":lead_is_last", lead == last ? 1 : 0);
    matching.bind(":first_field", first_field);
    matching.bind(":last_field", last_field);
    if (last > 0) matching.bind(":whole_words", Json_array(request.words, last));
    if (request.kind) matching.bind(":kind", static_cast<int>(*request.kind));
    matching.bind(":available", request.available_only ? 1 : 0);
    // The matches are counted and the page read as the file stood at one moment.
    SQLite::Transaction reading(_database, SQLite::TransactionBehavior::DEFERRED);
    const std::int64_t first = std::max<std::int64_t>(request.offset, 0);
    const std::int64_t end = first + std::max<std::int64_t>(request.limit, 0);
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
    // Opening a FIFO to read would wait for a writer.
    if (not Is_regular_or_absent(_path)) {
      throw StorageError(StorageError::Kind::unusable, "not a regular file");
    }
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
