#include "storage/sqlite/sqlite_schema.h"

#include <SQLiteCpp/Statement.h>

#include <algorithm>
#include <array>
#include <climits>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "base/field_limit.h"
#include "storage/sqlite/search_index.h"
#include "storage/storage_error.h"

namespace {

// "SHLV": the file is this program's.
constexpr int application_id = 0x53484C56;

constexpr std::array<const char*, 7> table_names{"members", "books", "cds",  "journals",
                                                 "videos",  "loans", "holds"};

// A text column; from version 2 with its field's limit.
std::string Text(const char* column, std::size_t limit, int version) {
  std::string text = std::string(column) + " TEXT NOT NULL";
  if (version < 2) return text;
  return text + " CHECK (length(" + column + ") <= " + std::to_string(limit) + ")";
}

// The columns of a lendable kind after its texts.
const std::vector<std::string> lendable_columns{"loan_days INTEGER NOT NULL CHECK (loan_days >= 0)",
                                                "due_year INTEGER NOT NULL",
                                                "due_month INTEGER NOT NULL",
                                                "due_day INTEGER NOT NULL",
                                                "due_hour INTEGER NOT NULL",
                                                "due_minute INTEGER NOT NULL"};

// "CREATE TABLE name (", the key and the columns a line each, and ") STRICT".
std::string Table(const char* name, std::vector<std::string> columns,
                  const std::vector<std::string>& more = {}) {
  columns.insert(columns.end(), more.begin(), more.end());
  std::string text = std::string("CREATE TABLE ") + name + " (\n  id INTEGER PRIMARY KEY";
  for (const std::string& column : columns) text += ",\n  " + column;
  return text + "\n) STRICT";
}

// A loan or hold names exactly one item.
constexpr const char* one_item =
    "CHECK ((book_id IS NOT NULL) + (cd_id IS NOT NULL) + (video_id IS NOT NULL) = 1)";

std::string Record_table(const char* name, int version) {
  const std::string unique = version >= 2 ? " UNIQUE" : "";
  return Table(name, {"book_id INTEGER" + unique + " REFERENCES books (id)",
                      "cd_id INTEGER" + unique + " REFERENCES cds (id)",
                      "video_id INTEGER" + unique + " REFERENCES videos (id)",
                      "member_id INTEGER REFERENCES members (id)", one_item});
}

// The tables of a version, in the order of table_names, as SQLite keeps their text. A loan or
// hold of the blank member names no member (member_id NULL).
std::vector<std::string> Tables(int version) {
  namespace limit = field_limit;
  const auto item = [version](const char* creator, const char* detail, std::size_t detail_limit) {
    std::vector<std::string> columns{Text("bar_code", limit::bar_code, version),
                                     Text("title", limit::title, version),
                                     Text(creator, limit::creator, version)};
    if (detail != nullptr) columns.push_back(Text(detail, detail_limit, version));
    return columns;
  };
  return {
      Table("members",
            {Text("name", limit::name, version), Text("address", limit::address, version),
             Text("phone_number", limit::phone_number, version),
             Text("email_address", limit::email_address, version),
             "library_number INTEGER NOT NULL"}),
      Table("books", item("author", nullptr, 0), lendable_columns),
      Table("cds", item("artist", "play_time", limit::play_time), lendable_columns),
      Table("journals", item("editor", "table_of_contents", limit::table_of_contents)),
      Table("videos", item("director", "rating", limit::rating), lendable_columns),
      Record_table("loans", version),
      Record_table("holds", version),
  };
}

// The search index of version 3 (SearchIndex writes it): an entry for each item, with what the
// results are sorted by, and the folded words of each entry.
const std::vector<std::string> search_index_objects{
    "CREATE TABLE search_entries (\n"
    "  id INTEGER PRIMARY KEY,\n"
    "  kind INTEGER NOT NULL CHECK (kind IN (0, 1, 2, 3)),\n"
    "  item_id INTEGER NOT NULL,\n"
    "  folded_title TEXT NOT NULL,\n"
    "  bar_code TEXT NOT NULL,\n"
    "  UNIQUE (kind, item_id)\n"
    ") STRICT",
    "CREATE VIRTUAL TABLE search_words USING fts5(title, creator, bar_code, tokenize = 'ascii', "
    "detail = 'column', columnsize = 0)",
};

// Every object a data file of `version` is made with.
std::vector<std::string> Objects_made(int version) {
  std::vector<std::string> made = Tables(version);
  if (version >= 3)
    made.insert(made.end(), search_index_objects.begin(), search_index_objects.end());
  return made;
}

// One entry of sqlite_schema: its type, name, table and text (empty for none).
using SchemaObject = std::tuple<std::string, std::string, std::string, std::string>;

std::set<SchemaObject> Objects(SQLite::Database& database) {
  std::set<SchemaObject> objects;
  SQLite::Statement rows(database, "SELECT type, name, tbl_name, sql FROM sqlite_schema");
  while (rows.executeStep()) {
    objects.emplace(rows.getColumn(0).getString(), rows.getColumn(1).getString(),
                    rows.getColumn(2).getString(), rows.getColumn(3).getString());
  }
  return objects;
}

// What a data file of `version` holds: the objects an empty database gets from its tables.
const std::set<SchemaObject>& Expected_objects(int version) {
  static const std::array<std::set<SchemaObject>, SqliteSchema::version> expected = [] {
    std::array<std::set<SchemaObject>, SqliteSchema::version> objects;
    for (int made = 1; made <= SqliteSchema::version; ++made) {
      SQLite::Database scratch(":memory:", SQLite::OPEN_READWRITE);
      for (const std::string& object : Objects_made(made)) scratch.exec(object);
      objects.at(static_cast<std::size_t>(made - 1)) = Objects(scratch);
    }
    return objects;
  }();
  return expected.at(static_cast<std::size_t>(version - 1));
}

int Pragma(SQLite::Database& database, const char* statement) {
  return database.execAndGet(statement).getInt();
}

[[noreturn]] void Refuse(StorageError::Kind kind, const std::string& reason) {
  throw StorageError(kind, reason);
}

// Makes the tables of version 1 anew as those of version 2, with the records' rules.
void Add_rules(SQLite::Database& database) {
  // Each table is made anew under its own name, its rows copied with their keys; the old ones
  // go once every new one is filled, those naming others first.
  for (const char* name : table_names) {
    database.exec(std::string("ALTER TABLE ") + name + " RENAME TO " + name + "_upgraded");
  }
  const std::vector<std::string> tables = Tables(2);
  for (std::size_t at = 0; at < tables.size(); ++at) {
    const std::string name = table_names.at(at);
    database.exec(tables.at(at));
    std::string copy = "INSERT INTO " + name;
    copy += " SELECT * FROM " + name + "_upgraded";
    database.exec(copy);
  }
  for (auto name = table_names.rbegin(); name != table_names.rend(); ++name) {
    database.exec(std::string("DROP TABLE ") + *name + "_upgraded");
  }
  if (database.execAndGet("SELECT count(*) FROM pragma_foreign_key_check").getInt() != 0) {
    Refuse(StorageError::Kind::damaged, "damaged: a record names another that is not kept");
  }
}

}  // namespace

void SqliteSchema::Create(SQLite::Database& database) {
  for (const std::string& object : Objects_made(version)) database.exec(object);
  database.exec("PRAGMA application_id = " + std::to_string(application_id));
  database.exec("PRAGMA user_version = " + std::to_string(version));
}

int SqliteSchema::Check(SQLite::Database& database) {
  const int found = Identify(database);
  std::string check = database.execAndGet("PRAGMA quick_check(1)").getString();
  if (check != "ok") {
    // The report may name the schema on a line of its own; the reason is one line.
    const std::string schema_line = "*** in database main ***\n";
    if (check.starts_with(schema_line)) check.erase(0, schema_line.size());
    std::replace(check.begin(), check.end(), '\n', ' ');
    Refuse(StorageError::Kind::damaged, "damaged: " + check);
  }
  return found;
}

int SqliteSchema::Identify(SQLite::Database& database) {
  if (Pragma(database, "PRAGMA application_id") != application_id) {
    Refuse(StorageError::Kind::unusable, "not a shelvoranquist data file");
  }
  const int found = Pragma(database, "PRAGMA user_version");
  if (found > version) {
    Refuse(StorageError::Kind::unusable, "written by a newer shelvoranquist (data version " +
                                             std::to_string(found) + "; this one reads version " +
                                             std::to_string(version) + ")");
  }
  if (found < 1) Refuse(StorageError::Kind::damaged, "damaged: it names no data version");
  // Texts are kept as the exact bytes typed: another encoding would change them.
  const std::string encoding = database.execAndGet("PRAGMA encoding").getString();
  if (encoding != "UTF-8") {
    Refuse(StorageError::Kind::unusable, "its texts are encoded in " + encoding +
                                             ", not in UTF-8 as a shelvoranquist data "
                                             "file's are");
  }
  const std::set<SchemaObject>& expected = Expected_objects(found);
  const std::set<SchemaObject> objects = Objects(database);
  const auto own_table = [&expected](const std::string& type, const std::string& name) {
    return type == "table" and std::any_of(expected.begin(), expected.end(), [&](const auto& own) {
             return std::get<0>(own) == "table" and std::get<1>(own) == name;
           });
  };
  for (const auto& [type, name, table, text] : objects) {
    if (not own_table(type, name) and not expected.contains({type, name, table, text})) {
      std::string reason = "holds " + type;
      reason += " '" + name + "', which a shelvoranquist data file never has";
      Refuse(StorageError::Kind::unusable, reason);
    }
  }
  if (objects != expected) {
    Refuse(StorageError::Kind::damaged,
           "damaged: its tables are not those of a shelvoranquist data file");
  }
  return found;
}

void SqliteSchema::Upgrade(SQLite::Database& database, int from_version) {
  if (from_version >= version) return;
  if (from_version < 2) Add_rules(database);
  for (const std::string& object : search_index_objects) database.exec(object);
  SearchIndex(database).Add_every_item();
  database.exec("PRAGMA user_version = " + std::to_string(version));
}
