#ifndef SHELVORANQUIST_STORAGE_SQLITE_STORED_ROW_H_
#define SHELVORANQUIST_STORAGE_SQLITE_STORED_ROW_H_

#include <SQLiteCpp/Statement.h>

#include <cstdint>
#include <optional>
#include <string>

#include "storage/rows.h"

// One row read back from the data file, each value checked to be of its column's type before
// it is taken: the restore checks ranges and rules, but a value of another type (a text where a
// number belongs, a number where a text belongs) is refused here, with StorageError (damaged)
// naming the table, the row's key and the column ("books row 7: title is not a text").
class StoredRow {
 public:
  // `statement` has just stepped onto a row of `table` whose column 0 is the row's key; both
  // must outlive this object, which must not outlive the row.
  StoredRow(const SQLite::Statement& statement, const char* table);

  RecordKey Key() const { return _key; }
  // A text, kept as its exact bytes.
  std::string Text(int column) const;
  std::int64_t Whole_number(int column) const;
  // The key of another row, or none for NULL.
  std::optional<RecordKey> Reference(int column) const;
  // A stamp from five columns, year to minute, starting at `column`.
  StampRow Stamp(int column) const;

 private:
  [[noreturn]] void Refuse(int column, const char* problem) const;

  const SQLite::Statement& _statement;
  const char* _table;
  RecordKey _key = 0;
};

#endif  // SHELVORANQUIST_STORAGE_SQLITE_STORED_ROW_H_
