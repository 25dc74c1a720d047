#include "storage/sqlite/stored_row.h"

#include <SQLiteCpp/Column.h>

#include "storage/storage_error.h"

StoredRow::StoredRow(const SQLite::Statement& statement, const char* table)
    : _statement(statement), _table(table) {
  _key = Whole_number(0);
}

std::int64_t StoredRow::Whole_number(int column) const {
  const SQLite::Column value = _statement.getColumn(column);
  if (not value.isInteger()) Refuse(column, "is not a whole number");
  return value.getInt64();
}

std::string StoredRow::Text(int column) const {
  const SQLite::Column value = _statement.getColumn(column);
  if (not value.isText()) Refuse(column, "is not a text");
  return value.getString();
}

std::optional<RecordKey> StoredRow::Reference(int column) const {
  if (_statement.getColumn(column).isNull()) return std::nullopt;
  return Whole_number(column);
}

StampRow StoredRow::Stamp(int column) const {
  return StampRow{.year = Whole_number(column),
                  .month = Whole_number(column + 1),
                  .day = Whole_number(column + 2),
                  .hour = Whole_number(column + 3),
                  .minute = Whole_number(column + 4)};
}

void StoredRow::Refuse(int column, const char* problem) const {
  throw StorageError(StorageError::Kind::damaged,
                     std::string(_table) + " row " + std::to_string(_key) + ": " +
                         _statement.getColumnName(column) + ' ' + problem);
}
