#ifndef SHELVORANQUIST_STORAGE_SQLITE_SQLITE_SCHEMA_H_
#define SHELVORANQUIST_STORAGE_SQLITE_SQLITE_SCHEMA_H_

#include <SQLiteCpp/Database.h>

// The layout of the data file, marked by its application_id as this program's and by its
// user_version as the layout of that version. A file must hold exactly the tables of its
// version, as SQLite keeps their text, and the indexes SQLite makes for their constraints:
// nothing more, nothing less, so that every rule is there and nothing (a trigger, an index that
// refuses what the desk allows) acts behind the desk's back.
//
// Version 1: seven STRICT tables, one of members, one for each kind of item, one of loans and
// one of holds. Version 2 adds the records' rules: at most one loan and one hold per item
// (UNIQUE), the references to items and members as foreign keys that every connection of the
// desk enforces, and texts no longer than their fields (CHECK, by SQLite's count of characters,
// which never exceeds the desk's own). Version 3 adds the index of folded words the public
// catalogue searches (SearchIndex), which the desk keeps in the transaction of each change.
class SqliteSchema {
 public:
  // The version this program writes.
  static constexpr int version = 3;

  // Writes the tables and the identity of a new file into an empty database, inside the
  // caller's transaction.
  static void Create(SQLite::Database& database);

  // Checks that the database is a data file of this program in a version it reads, of the text
  // encoding it writes, holding exactly its own tables, and passing SQLite's quick check; returns
  // its version. Reads only. Throws StorageError with the reason otherwise.
  static int Check(SQLite::Database& database);

  // What Check does short of reading the file's pages and rows: the identity, version, encoding
  // and objects of a data file, read from its header and schema alone.
  static int Identify(SQLite::Database& database);

  // Rewrites the tables of a file of an older version as those of this one, keeping every row
  // and its key, and builds its search index by folding every item, inside the caller's
  // transaction, with foreign keys not enforced meanwhile.
  static void Upgrade(SQLite::Database& database, int from_version);
};

#endif  // SHELVORANQUIST_STORAGE_SQLITE_SQLITE_SCHEMA_H_
