#include "storage/sqlite/search_index.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "search/folded_words.h"
#include "storage/sqlite/item_table.h"
#include "storage/sqlite/stored_row.h"
#include "storage/storage_error.h"

namespace {

constexpr ItemKind kinds[] = {ItemKind::book, ItemKind::cd, ItemKind::journal, ItemKind::video};

// The column of search_entries that names an item of `kind`, as the first four parameters of
// the insertion take them.
int Entry_column(ItemKind kind) { return static_cast<int>(kind) + 1; }

}  // namespace

SearchIndex::SearchIndex(SQLite::Database& database)
    : _database(database),
      _insert_entry(database,
                    "INSERT INTO search_entries (book_id, cd_id, journal_id, video_id, "
                    "folded_title, bar_code) VALUES (?, ?, ?, ?, ?, ?)"),
      _insert_word(database, "INSERT INTO search_words (word, field, entry_id) VALUES (?, ?, ?)") {}

void SearchIndex::Add(ItemKind kind, RecordKey key, const ItemRow& item) {
  const FoldedWords title(item.title);
  _insert_entry.reset();
  _insert_entry.clearBindings();
  _insert_entry.bind(Entry_column(kind), key);
  _insert_entry.bind(5, title.Text());
  _insert_entry.bind(6, item.bar_code);
  _insert_entry.exec();
  const std::int64_t entry = _database.getLastInsertRowid();
  for (auto [field, words] : {std::pair{title_field, title.Words()},
                              std::pair{creator_field, FoldedWords(item.creator).Words()},
                              std::pair{bar_code_field, FoldedWords(item.bar_code).Words()}}) {
    // A word is kept once for each field, however often the field has it.
    std::sort(words.begin(), words.end());
    words.erase(std::unique(words.begin(), words.end()), words.end());
    for (const std::string& word : words) {
      _insert_word.reset();
      _insert_word.bind(1, word);
      _insert_word.bind(2, field);
      _insert_word.bind(3, entry);
      _insert_word.exec();
    }
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
  // Each entry names one item and no item has two (a CHECK and UNIQUE): when every item has an
  // entry of its bar code and there are no more entries than items, none names an item that is
  // not kept.
  const bool whole =
      database
          .execAndGet(
              "SELECT (SELECT count(*) FROM books AS i JOIN search_entries AS e "
              "ON e.book_id = i.id AND e.bar_code = i.bar_code) = (SELECT count(*) FROM books) "
              "AND (SELECT count(*) FROM cds AS i JOIN search_entries AS e "
              "ON e.cd_id = i.id AND e.bar_code = i.bar_code) = (SELECT count(*) FROM cds) "
              "AND (SELECT count(*) FROM journals AS i JOIN search_entries AS e "
              "ON e.journal_id = i.id AND e.bar_code = i.bar_code) = "
              "(SELECT count(*) FROM journals) "
              "AND (SELECT count(*) FROM videos AS i JOIN search_entries AS e "
              "ON e.video_id = i.id AND e.bar_code = i.bar_code) = (SELECT count(*) FROM videos) "
              "AND (SELECT count(*) FROM search_entries) = (SELECT count(*) FROM books) + "
              "(SELECT count(*) FROM cds) + (SELECT count(*) FROM journals) + "
              "(SELECT count(*) FROM videos)")
          .getInt() == 1;
  if (not whole) {
    throw StorageError(StorageError::Kind::damaged,
                       "damaged: its search index does not match its items");
  }
}
