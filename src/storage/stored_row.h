#ifndef SHELVORANQUIST_STORAGE_STORED_ROW_H_
#define SHELVORANQUIST_STORAGE_STORED_ROW_H_

#include <SQLiteCpp/Statement.h>

#include <cstdint>
#include <optional>
#include <string>

#include "calendar/date_time.h"

// The largest key a row of the data file may have. SQLite keys a new row one past the largest
// key of its table, and once that key is the largest it can hold, picks keys at random: rows
// would no longer follow the order the desk keeps them in. The desk reads no larger key and
// writes none, and from keys up to this one no desk ever makes enough rows to get there.
inline constexpr std::int64_t most_row_key = std::int64_t{1} << 62;

// One row read back from the data file, its values checked as input from a stranger before
// anything is built from them. Every read that finds a value out of its rules throws
// StorageError naming the table, the row's key and the column ("books row 7: due_day is 31, not
// from 1 to 30").
class StoredRow {
 public:
  // `statement` has just stepped onto a row of `table` whose column 0 is the row's key, at
  // most most_row_key; both must outlive this object, which must not outlive the row.
  StoredRow(const SQLite::Statement& statement, const char* table);

  std::int64_t Key() const { return _key; }
  // A text, kept as its exact bytes.
  std::string Text(int column) const;
  // A whole number from `least` to `most`.
  int Number(int column, int least, int most) const;
  // The key of another row, or none for NULL.
  std::optional<std::int64_t> Reference(int column) const;
  // A date and time to the minute from five columns, year to minute, starting at `column`: a
  // calendar date of the common era and a time of day.
  DateTime Stamp(int column) const;

  // Throws StorageError for this row, about one of its columns or about the row as a whole.
  [[noreturn]] void Refuse(int column, const std::string& problem) const;
  [[noreturn]] void Refuse(const std::string& problem) const;

 private:
  std::int64_t Whole_number(int column) const;

  const SQLite::Statement& _statement;
  const char* _table;
  std::int64_t _key = 0;
};

#endif  // SHELVORANQUIST_STORAGE_STORED_ROW_H_
