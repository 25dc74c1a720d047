#ifndef SHELVORANQUIST_STORAGE_SQLITE_SEARCH_INDEX_H_
#define SHELVORANQUIST_STORAGE_SQLITE_SEARCH_INDEX_H_

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>

#include "storage/rows.h"

// The index the public catalogue searches, kept in the data file with the items (from data
// version 3; SqliteSchema gives its tables). search_entries has an entry for each item, naming
// it by its kind (numbered as ItemKind) and key and holding what the results are sorted by: its
// folded title and its bar code as kept, so that the matches are sorted without a visit to each
// item. search_words, an FTS5 table, holds under the entry's key the folded words of the item's
// title, creator and bar code, a column each, the words parted by spaces. Its tokenizer, ascii,
// parts a text at ASCII characters other than letters and digits, which are no part of a folded
// word, so its tokens are exactly the folded words, whatever Unicode version SQLite knows.
class SearchIndex {
 public:
  // Writes into `database`, which must outlive this object, inside the caller's transactions.
  explicit SearchIndex(SQLite::Database& database);

  // Writes the entry and the words of the item of `kind` kept under `key`, from its texts.
  void Add(ItemKind kind, RecordKey key, const ItemRow& item);
  // Removes from `database` the entry and the words of the item of `kind` kept under `key`.
  static void Remove(SQLite::Database& database, ItemKind kind, RecordKey key);

  // Writes the entry and words of every item kept, in a file whose index holds nothing.
  void Add_every_item();

  // Throws StorageError (damaged) unless every item has its entry, no entry names anything else,
  // and there are as many rows of words as entries. Reads only: a count of each table and a
  // look-up of each item's entry.
  static void Check_whole(SQLite::Database& database);

 private:
  SQLite::Database& _database;
  SQLite::Statement _insert_entry;
  SQLite::Statement _insert_words;
};

#endif  // SHELVORANQUIST_STORAGE_SQLITE_SEARCH_INDEX_H_
