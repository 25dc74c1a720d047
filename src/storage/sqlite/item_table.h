#ifndef SHELVORANQUIST_STORAGE_SQLITE_ITEM_TABLE_H_
#define SHELVORANQUIST_STORAGE_SQLITE_ITEM_TABLE_H_

#include "storage/rows.h"

// The table of one kind of item, as data: its name and statements. Its columns after the key
// `id` are bar_code, title and the creator's column, then the detail's column for the kinds that
// have one, then for a lendable kind loan_days and the due stamp (due_year to due_minute).
struct ItemTable {
  const char* name;
  bool has_detail;
  bool lendable;
  const char* select;   // every row, in the order of the keys
  const char* insert;   // the key (NULL for a new one), then the values in the order of the columns
  const char* remove;   // takes the key
  const char* set_due;  // takes the stamp, then the key; none for a kind never lent
  // The column a loan or hold names an item of this kind by; none for a kind never lent.
  const char* record_column;
};

inline constexpr ItemTable book_table{
    .name = "books",
    .has_detail = false,
    .lendable = true,
    .select =
        "SELECT id, bar_code, title, author, loan_days, due_year, due_month, due_day, "
        "due_hour, due_minute FROM books ORDER BY id",
    .insert =
        "INSERT INTO books (id, bar_code, title, author, loan_days, due_year, due_month, "
        "due_day, due_hour, due_minute) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
    .remove = "DELETE FROM books WHERE id = ?",
    .set_due =
        "UPDATE books SET due_year = ?, due_month = ?, due_day = ?, due_hour = ?, "
        "due_minute = ? WHERE id = ?",
    .record_column = "book_id",
};

inline constexpr ItemTable cd_table{
    .name = "cds",
    .has_detail = true,
    .lendable = true,
    .select =
        "SELECT id, bar_code, title, artist, play_time, loan_days, due_year, due_month, "
        "due_day, due_hour, due_minute FROM cds ORDER BY id",
    .insert =
        "INSERT INTO cds (id, bar_code, title, artist, play_time, loan_days, due_year, "
        "due_month, due_day, due_hour, due_minute) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
    .remove = "DELETE FROM cds WHERE id = ?",
    .set_due =
        "UPDATE cds SET due_year = ?, due_month = ?, due_day = ?, due_hour = ?, "
        "due_minute = ? WHERE id = ?",
    .record_column = "cd_id",
};

inline constexpr ItemTable journal_table{
    .name = "journals",
    .has_detail = true,
    .lendable = false,
    .select = "SELECT id, bar_code, title, editor, table_of_contents FROM journals ORDER BY id",
    .insert =
        "INSERT INTO journals (id, bar_code, title, editor, table_of_contents) "
        "VALUES (?, ?, ?, ?, ?)",
    .remove = "DELETE FROM journals WHERE id = ?",
    .set_due = nullptr,
    .record_column = nullptr,
};

inline constexpr ItemTable video_table{
    .name = "videos",
    .has_detail = true,
    .lendable = true,
    .select =
        "SELECT id, bar_code, title, director, rating, loan_days, due_year, due_month, "
        "due_day, due_hour, due_minute FROM videos ORDER BY id",
    .insert =
        "INSERT INTO videos (id, bar_code, title, director, rating, loan_days, due_year, "
        "due_month, due_day, due_hour, due_minute) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
    .remove = "DELETE FROM videos WHERE id = ?",
    .set_due =
        "UPDATE videos SET due_year = ?, due_month = ?, due_day = ?, due_hour = ?, "
        "due_minute = ? WHERE id = ?",
    .record_column = "video_id",
};

// The table of the kind.
inline const ItemTable& Table_of(ItemKind kind) {
  switch (kind) {
    case ItemKind::book:
      return book_table;
    case ItemKind::cd:
      return cd_table;
    case ItemKind::journal:
      return journal_table;
    case ItemKind::video:
      break;
  }
  return video_table;
}

#endif  // SHELVORANQUIST_STORAGE_SQLITE_ITEM_TABLE_H_
