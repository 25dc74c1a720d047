#include "storage/postgres/postgres_catalogue.h"

#include <pqxx/pqxx>

#include <algorithm>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

#include "storage/postgres/postgres_connection.h"
#include "storage/postgres/postgres_storage.h"

namespace {

// One statement answers a request, in one snapshot of the records. The entries that hold every
// word ($1, as hexadecimal digits) and a word from $2 up to $3 (the last word's range) in the
// field $4 (any when none) are gathered through the index of words; of those, the entries of
// the kind $5 (any when none) and, when $6, on the shelf are counted, and the page from $8 of
// at most $7 of them is read in the catalogue's order with its items' texts. Each entry is
// fetched by its key alone (fenced by OFFSET 0), so no request scans every item. The count
// comes on every row, and on a row of nulls alone when the page is past the last result.
const std::string catalogue_order = "folded_title, bar_code, kind";
const std::string find_statement =
    "WITH matched AS MATERIALIZED (SELECT entry FROM (SELECT DISTINCT entry, n FROM ("
    "SELECT w.entry, q.n FROM unnest($1::text[]) WITH ORDINALITY AS q (word, n) "
    "JOIN catalogue.words w ON w.word = decode(q.word, 'hex') "
    "WHERE $4::smallint IS NULL OR w.field = $4 "
    "UNION ALL SELECT entry, 0 FROM catalogue.words "
    "WHERE word >= $2 AND word < $3 AND ($4::smallint IS NULL OR field = $4)) AS hits) AS words "
    "GROUP BY entry HAVING count(*) = cardinality($1::text[]) + 1), "
    "found AS MATERIALIZED (SELECT e.entry, e.kind, e.folded_title, e.bar_code FROM matched "
    "JOIN catalogue.entries e USING (entry) "
    "WHERE ($5::smallint IS NULL OR e.kind = $5) AND (NOT $6 OR NOT (e.lent OR e.held))), "
    "page AS (SELECT * FROM found ORDER BY " +
    catalogue_order +
    " LIMIT $7 OFFSET $8) "
    "SELECT (SELECT count(*) FROM found), page.kind, page.bar_code, i.title, i.creator, "
    "i.due_year, i.due_month, i.due_day, i.due_hour, i.due_minute, i.held "
    "FROM (SELECT) AS one LEFT JOIN (page CROSS JOIN LATERAL (SELECT * FROM catalogue.items "
    "WHERE items.entry = page.entry OFFSET 0) AS i) ON true ORDER BY " +
    catalogue_order;

// The least text above every word that begins with `prefix`: a folded word is valid UTF-8, so
// no byte of it is 0xFF, and 0xFF alone is above every word.
std::string Past_prefix(std::string prefix) {
  while (not prefix.empty() and static_cast<unsigned char>(prefix.back()) == 0xFF) {
    prefix.pop_back();
  }
  if (prefix.empty()) return "\xFF";
  prefix.back() = static_cast<char>(static_cast<unsigned char>(prefix.back()) + 1);
  return prefix;
}

// Checks that the database holds a catalogue of this version's layout, read as the catalogue's
// role reads it: through the schema catalogue, or, where there is none, by the name of the
// desk's own table alone, which any role sees.
void Check_layout(pqxx::connection& connection) {
  pqxx::nontransaction check(connection);
  const pqxx::row found = check.exec1(
      "SELECT to_regnamespace('catalogue') IS NOT NULL, EXISTS (SELECT FROM pg_class WHERE "
      "relname = 'shelvoranquist' AND relkind = 'r')");
  const int reads = PostgresStorage::Layout_version();
  if (not found[0].as<bool>()) {
    // Layout 1 had no schema catalogue.
    if (not found[1].as<bool>()) {
      throw StorageError(StorageError::Kind::unusable, "holds no shelvoranquist catalogue");
    }
    throw StorageError(StorageError::Kind::unusable,
                       "written by an older shelvoranquist (layout 1; this one reads layout " +
                           std::to_string(reads) + "): start a desk on it once to upgrade it");
  }
  const pqxx::result layout = check.exec("SELECT layout_version FROM catalogue.layout");
  if (layout.size() != 1 or layout[0][0].is_null()) {
    throw StorageError(StorageError::Kind::damaged, "damaged: it names no layout version");
  }
  const int version = layout[0][0].as<int>();
  if (version < reads) {
    throw StorageError(StorageError::Kind::unusable,
                       "written by an older shelvoranquist (layout " + std::to_string(version) +
                           "; this one reads layout " + std::to_string(reads) +
                           "): start a desk on it once to upgrade it");
  }
  if (version > reads) {
    throw StorageError(StorageError::Kind::unusable,
                       "written by a newer shelvoranquist (layout " + std::to_string(version) +
                           "; this one reads layout " + std::to_string(reads) + ")");
  }
}

// The value of a column that must hold one.
pqxx::field Given(const pqxx::row& row, int column) {
  pqxx::field value = row[column];
  if (value.is_null()) {
    throw StorageError(StorageError::Kind::damaged,
                       std::string("an item found has no ") + value.name());
  }
  return value;
}

SearchResult Result(const pqxx::row& row) {
  const int kind = Given(row, 1).as<int>();
  if (kind < 0 or kind > static_cast<int>(ItemKind::video)) {
    throw StorageError(StorageError::Kind::damaged, "an item found is of no kind");
  }
  SearchResult result{.kind = static_cast<ItemKind>(kind),
                      .title = pqxx::binarystring(Given(row, 3)).str(),
                      .creator = pqxx::binarystring(Given(row, 4)).str(),
                      .bar_code = pqxx::binarystring(Given(row, 2)).str(),
                      .held = Given(row, 10).as<bool>()};
  if (not row[5].is_null()) {
    result.due = StampRow{Given(row, 5).as<long long>(), Given(row, 6).as<long long>(),
                          Given(row, 7).as<long long>(), Given(row, 8).as<long long>(),
                          Given(row, 9).as<long long>()};
  }
  return result;
}

}  // namespace

// The connections of the threads that search at once, each used by one thread at a time.
class PostgresCatalogue::Connections {
 public:
  explicit Connections(const std::string& uri) : _settings(Connection_string(uri)) {
    std::unique_ptr<pqxx::connection> first = Open();
    Check_layout(*first);
    _idle.push_back(std::move(first));
  }

  // What `body` returns, given a connection no other thread uses meanwhile. One the server has
  // closed since its last use is replaced once.
  template <class Body>
  auto With_connection(Body body) {
    for (int attempt = 0;; ++attempt) {
      std::unique_ptr<pqxx::connection> connection = Take();
      try {
        auto answer = body(*connection);
        const std::lock_guard<std::mutex> hold(_mutex);
        _idle.push_back(std::move(connection));
        return answer;
      } catch (const pqxx::broken_connection&) {
        if (attempt > 0) throw;
      }
    }
  }

 private:
  std::unique_ptr<pqxx::connection> Open() {
    auto connection = std::make_unique<pqxx::connection>(_settings);
    // A connection lost stays lost, so that no session comes back without its settings.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    connection->inhibit_reactivation(true);
#pragma GCC diagnostic pop
    pqxx::nontransaction session(*connection);
    // The catalogue only reads, and a request that stalls gives up within seconds.
    session.exec(
        "SET default_transaction_read_only = on; SET statement_timeout = '10s'; "
        "SET idle_in_transaction_session_timeout = '5s'; SET jit = off");
    session.commit();
    connection->prepare("find", find_statement);
    return connection;
  }

  std::unique_ptr<pqxx::connection> Take() {
    {
      const std::lock_guard<std::mutex> hold(_mutex);
      if (not _idle.empty()) {
        std::unique_ptr<pqxx::connection> connection = std::move(_idle.back());
        _idle.pop_back();
        return connection;
      }
    }
    return Open();
  }

  const std::string _settings;
  std::mutex _mutex;
  std::vector<std::unique_ptr<pqxx::connection>> _idle;  // guarded by _mutex
};

PostgresCatalogue::PostgresCatalogue(const std::string& uri)
    : _connections(Guarded([&] { return std::make_unique<Connections>(uri); })) {}

PostgresCatalogue::~PostgresCatalogue() = default;

SearchPage PostgresCatalogue::Find(const SearchRequest& request) {
  // No item has an empty word, and no word matches when there is none.
  if (request.words.empty() or std::ranges::any_of(request.words, &std::string::empty)) return {};
  std::string words;
  for (std::size_t at = 0; at + 1 < request.words.size(); ++at) {
    if (at > 0) words += ',';
    words += Hex(request.words[at]);
  }
  const std::string& last = request.words.back();
  // The index numbers the fields as SearchField does.
  const std::optional<int> field = request.field == SearchField::any
                                       ? std::nullopt
                                       : std::optional<int>(static_cast<int>(request.field));
  std::optional<int> kind;
  if (request.kind) kind = static_cast<int>(*request.kind);
  return Guarded([&] {
    return _connections->With_connection([&](pqxx::connection& connection) {
      pqxx::nontransaction reading(connection);
      const pqxx::result rows =
          reading.exec_prepared("find", '{' + words + '}', pqxx::binarystring(last),
                                pqxx::binarystring(Past_prefix(last)), field, kind,
                                request.available_only, request.limit, request.offset);
      reading.commit();
      SearchPage page;
      page.total = rows.at(0).at(0).as<long long>();
      for (const pqxx::row& row : rows) {
        if (not row[1].is_null()) page.results.push_back(Result(row));
      }
      return page;
    });
  });
}
