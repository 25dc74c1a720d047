#ifndef SHELVORANQUIST_STORAGE_SQLITE_SEARCH_INDEX_H_
#define SHELVORANQUIST_STORAGE_SQLITE_SEARCH_INDEX_H_

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>

#include "storage/rows.h"

// The index the public catalogue searches, kept in the data file with the items (from data
// version 3; SqliteSchema gives its tables): an entry for each item, naming it and holding its
// folded title and its bar code as kept, which the results are sorted by, so that the matches
// are sorted without a visit to each item; and the folded words of its title, creator and bar
// code, each word once for each field it is in. An entry goes with its item (ON DELETE CASCADE),
// its words with it.
class SearchIndex {
 public:
  // The fields of an item a word is kept for, as search_words.field holds them.
  static constexpr int title_field = 1;
  static constexpr int creator_field = 2;
  static constexpr int bar_code_field = 3;

  // Writes into `database`, which must outlive this object, inside the caller's transactions.
  explicit SearchIndex(SQLite::Database& database);

  // Writes the entry and the words of the item of `kind` kept under `key`, from its texts.
  void Add(ItemKind kind, RecordKey key, const ItemRow& item);

  // Writes the entry and words of every item kept, in a file whose index holds nothing.
  void Add_every_item();

  // Throws StorageError (damaged) unless every item has its entry and no entry names anything
  // else. Reads only: a count of each table and a look-up of each item's entry by its key.
  static void Check_whole(SQLite::Database& database);

 private:
  SQLite::Database& _database;
  SQLite::Statement _insert_entry;
  SQLite::Statement _insert_word;
};

#endif  // SHELVORANQUIST_STORAGE_SQLITE_SEARCH_INDEX_H_
