#include "storage/sqlite/search_index.h"

#include <string>

#include "search/folded_words.h"
#include "storage/sqlite/item_table.h"
#include "storage/sqlite/stored_row.h"
#include "storage/storage_error.h"

namespace {

constexpr ItemKind kinds[] = {ItemKind::book, ItemKind::cd, ItemKind::journal, ItemKind::video};

// The folded words of `text`, parted by spaces.
std::string Words(const std::string& text) {
  const FoldedWords folded(text);
  std::string words;
  for (const std::string& word : folded.Words()) {
    if (not words.empty()) words += ' ';
    words += word;
  }
  return words;
}

}  // namespace

SearchIndex::SearchIndex(SQLite::Database& database)
    : _database(database),
      _insert_entry(database,
                    "INSERT INTO search_entries (kind, item_id, folded_title, bar_code) "
                    "VALUES (?, ?, ?, ?)"),
      _insert_words(database,
                    "INSERT INTO search_words (rowid, title, creator, bar_code) "
                    "VALUES (?, ?, ?, ?)") {}

void SearchIndex::Add(ItemKind kind, RecordKey key, const ItemRow& item) {
  _insert_entry.reset();
  _insert_entry.bind(1, static_cast<int>(kind));
  _insert_entry.bind(2, key);
  _insert_entry.bind(3, FoldedWords(item.title).Text());
  _insert_entry.bind(4, item.bar_code);
  _insert_entry.exec();
  _insert_words.reset();
  _insert_words.bind(1, _database.getLastInsertRowid());
  _insert_words.bind(2, Words(item.title));
  _insert_words.bind(3, Words(item.creator));
  _insert_words.bind(4, Words(item.bar_code));
  _insert_words.exec();
}

void SearchIndex::Remove(SQLite::Database& database, ItemKind kind, RecordKey key) {
  for (const char* statement : {"DELETE FROM search_words WHERE rowid = "
                                "(SELECT id FROM search_entries WHERE kind = ? AND item_id = ?)",
                                "DELETE FROM search_entries WHERE kind = ? AND item_id = ?"}) {
    SQLite::Statement deletion(database, statement);
    deletion.bind(1, static_cast<int>(kind));
    deletion.bind(2, key);
    deletion.exec();
  }
}

void SearchIndex::Add_every_item() {
  for (const ItemKind kind : kinds) {
    const ItemTable& table = Table_of(kind);
    SQLite::Statement items(_database, table.select);
    while (items.executeStep()) {
      const StoredRow row(items, table.name);
      Add(kind, row.Key(),
          ItemRow{.bar_code = row.Text(1), .title = row.Text(2), .creator = row.Text(3)});
    }
  }
}

void SearchIndex::Check_whole(SQLite::Database& database) {
  // An item has at most one entry (UNIQUE) and an entry at most one row of words, under its key
  // (search_words_content, FTS5's own table of what it holds, is counted at no cost): when every
  // item has an entry and there are as many entries as items and as many rows of words as
  // entries, the index is whole unless another program moved words to other keys.
  const bool whole =
      database
          .execAndGet(
              "SELECT (SELECT count(*) FROM books JOIN search_entries AS e "
              "ON e.kind = 0 AND e.item_id = books.id) "
              "+ (SELECT count(*) FROM cds JOIN search_entries AS e "
              "ON e.kind = 1 AND e.item_id = cds.id) "
              "+ (SELECT count(*) FROM journals JOIN search_entries AS e "
              "ON e.kind = 2 AND e.item_id = journals.id) "
              "+ (SELECT count(*) FROM videos JOIN search_entries AS e "
              "ON e.kind = 3 AND e.item_id = videos.id) "
              "= (SELECT count(*) FROM search_entries) "
              "AND (SELECT count(*) FROM search_entries) = (SELECT count(*) FROM books) + "
              "(SELECT count(*) FROM cds) + (SELECT count(*) FROM journals) + "
              "(SELECT count(*) FROM videos) "
              "AND (SELECT count(*) FROM search_words_content) = "
              "(SELECT count(*) FROM search_entries)")
          .getInt() == 1;
  if (not whole) {
    throw StorageError(StorageError::Kind::damaged,
                       "damaged: its search index does not match its items");
  }
}
