#include "storage/stored_row.h"

#include <SQLiteCpp/Column.h>

#include <climits>

#include "calendar/month.h"
#include "calendar/time.h"
#include "storage/storage_error.h"

StoredRow::StoredRow(const SQLite::Statement& statement, const char* table)
    : _statement(statement), _table(table) {
  _key = Whole_number(0);
  if (_key > most_row_key) {
    Refuse(0, "is " + std::to_string(_key) + ", more than " + std::to_string(most_row_key));
  }
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

int StoredRow::Number(int column, int least, int most) const {
  const std::int64_t number = Whole_number(column);
  if (number < least or number > most) {
    Refuse(column, "is " + std::to_string(number) + ", not from " + std::to_string(least) + " to " +
                       std::to_string(most));
  }
  return static_cast<int>(number);
}

std::optional<std::int64_t> StoredRow::Reference(int column) const {
  if (_statement.getColumn(column).isNull()) return std::nullopt;
  return Whole_number(column);
}

DateTime StoredRow::Stamp(int column) const {
  const int year = Number(column, 1, INT_MAX);
  const int month = Number(column + 1, Jan, Dec);
  const int day = Number(column + 2, 1, Month(month, year).Days_in_month());
  const int hour = Number(column + 3, 0, hours_per_day - 1);
  const int minute = Number(column + 4, 0, minutes_per_hour - 1);
  return DateTime(year, month, day, hour, minute);
}

void StoredRow::Refuse(int column, const std::string& problem) const {
  Refuse(std::string(_statement.getColumnName(column)) + ' ' + problem);
}

void StoredRow::Refuse(const std::string& problem) const {
  throw StorageError(StorageError::Kind::damaged,
                     std::string(_table) + " row " + std::to_string(_key) + ": " + problem);
}
