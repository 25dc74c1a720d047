#include "storage/sqlite_storage.h"

#include <SQLiteCpp/Exception.h>
#include <SQLiteCpp/Statement.h>
#include <SQLiteCpp/Transaction.h>

#include <algorithm>
#include <array>
#include <concepts>
#include <string>

#include "storage/holdings_loader.h"
#include "storage/item_table.h"
#include "storage/storage_error.h"
#include "storage/stored_row.h"

namespace {

// "SHLV": the file is this program's.
constexpr int application_id = 0x53484C56;
// The layout of the tables, raised whenever it changes.
constexpr int data_version = 1;
// How long a change waits while another connection (a reader's checkpoint, say) has the file.
constexpr int busy_timeout_ms = 2000;

// The tables as this version makes them. A data file must hold each exactly so, as SQLite keeps
// its text, so that every constraint is there and the columns are STRICT ones. A member's loans
// and holds are the rows naming the member, in the order of their keys; a NULL member_id names
// the blank member that stands as the selection when the desk starts.
constexpr std::array<const char*, 7> tables{
    R"(CREATE TABLE members (
  id INTEGER PRIMARY KEY,
  name TEXT NOT NULL,
  address TEXT NOT NULL,
  phone_number TEXT NOT NULL,
  email_address TEXT NOT NULL,
  library_number INTEGER NOT NULL
) STRICT)",
    R"(CREATE TABLE books (
  id INTEGER PRIMARY KEY,
  bar_code TEXT NOT NULL,
  title TEXT NOT NULL,
  author TEXT NOT NULL,
  loan_days INTEGER NOT NULL CHECK (loan_days >= 0),
  due_year INTEGER NOT NULL,
  due_month INTEGER NOT NULL,
  due_day INTEGER NOT NULL,
  due_hour INTEGER NOT NULL,
  due_minute INTEGER NOT NULL
) STRICT)",
    R"(CREATE TABLE cds (
  id INTEGER PRIMARY KEY,
  bar_code TEXT NOT NULL,
  title TEXT NOT NULL,
  artist TEXT NOT NULL,
  play_time TEXT NOT NULL,
  loan_days INTEGER NOT NULL CHECK (loan_days >= 0),
  due_year INTEGER NOT NULL,
  due_month INTEGER NOT NULL,
  due_day INTEGER NOT NULL,
  due_hour INTEGER NOT NULL,
  due_minute INTEGER NOT NULL
) STRICT)",
    R"(CREATE TABLE journals (
  id INTEGER PRIMARY KEY,
  bar_code TEXT NOT NULL,
  title TEXT NOT NULL,
  editor TEXT NOT NULL,
  table_of_contents TEXT NOT NULL
) STRICT)",
    R"(CREATE TABLE videos (
  id INTEGER PRIMARY KEY,
  bar_code TEXT NOT NULL,
  title TEXT NOT NULL,
  director TEXT NOT NULL,
  rating TEXT NOT NULL,
  loan_days INTEGER NOT NULL CHECK (loan_days >= 0),
  due_year INTEGER NOT NULL,
  due_month INTEGER NOT NULL,
  due_day INTEGER NOT NULL,
  due_hour INTEGER NOT NULL,
  due_minute INTEGER NOT NULL
) STRICT)",
    R"(CREATE TABLE loans (
  id INTEGER PRIMARY KEY,
  book_id INTEGER REFERENCES books (id),
  cd_id INTEGER REFERENCES cds (id),
  video_id INTEGER REFERENCES videos (id),
  member_id INTEGER REFERENCES members (id),
  CHECK ((book_id IS NOT NULL) + (cd_id IS NOT NULL) + (video_id IS NOT NULL) = 1)
) STRICT)",
    R"(CREATE TABLE holds (
  id INTEGER PRIMARY KEY,
  book_id INTEGER REFERENCES books (id),
  cd_id INTEGER REFERENCES cds (id),
  video_id INTEGER REFERENCES videos (id),
  member_id INTEGER REFERENCES members (id),
  CHECK ((book_id IS NOT NULL) + (cd_id IS NOT NULL) + (video_id IS NOT NULL) = 1)
) STRICT)",
};

// Written with the tables, in the same transaction; 1397247062 is application_id.
constexpr const char* identity = "PRAGMA application_id = 1397247062; PRAGMA user_version = 1";

// Runs `body`, passing on a failure of SQLite as the storage's own.
template <class Body>
auto Guarded(Body body) {
  try {
    return body();
  } catch (const SQLite::Exception& error) {
    throw StorageError(StorageError::Kind::io, error.what());
  }
}

SQLite::Database Open(const std::string& path) {
  // One thread uses the one connection: SQLite need not lock a mutex at every call.
  return Guarded([&] {
    return SQLite::Database(path, SQLite::OPEN_READWRITE | SQLite::OPEN_NOMUTEX, busy_timeout_ms);
  });
}

int Pragma(SQLite::Database& database, const char* statement) {
  return database.execAndGet(statement).getInt();
}

// A file with nothing in it yet: one this desk has just created, or an empty one it was given.
bool Is_blank(SQLite::Database& database) {
  return Pragma(database, "PRAGMA application_id") == 0 and
         Pragma(database, "PRAGMA user_version") == 0 and
         Pragma(database, "SELECT count(*) FROM sqlite_schema") == 0;
}

void Use_write_ahead_log(SQLite::Database& database) {
  if (database.execAndGet("PRAGMA journal_mode = WAL").getString() != "wal") {
    throw StorageError(StorageError::Kind::unusable,
                       "cannot keep a write-ahead log beside the file");
  }
}

void Create_tables(SQLite::Database& database) {
  Use_write_ahead_log(database);
  SQLite::Transaction transaction(database, SQLite::TransactionBehavior::IMMEDIATE);
  for (const char* table : tables) database.exec(table);
  database.exec(identity);
  transaction.commit();
}

void Check_identity(SQLite::Database& database) {
  if (Pragma(database, "PRAGMA application_id") != application_id) {
    throw StorageError(StorageError::Kind::unusable, "not a shelvoranquist data file");
  }
  const int version = Pragma(database, "PRAGMA user_version");
  if (version > data_version) {
    throw StorageError(StorageError::Kind::unusable,
                       "written by a newer shelvoranquist (data version " +
                           std::to_string(version) + "; this one reads version " +
                           std::to_string(data_version) + ")");
  }
  if (version < 1)
    throw StorageError(StorageError::Kind::damaged, "damaged: it names no data version");
  for (const char* table : tables) {
    SQLite::Statement found(database,
                            "SELECT count(*) FROM sqlite_schema WHERE type = 'table' AND sql = ?");
    found.bind(1, table);
    if (not found.executeStep() or found.getColumn(0).getInt() != 1) {
      throw StorageError(StorageError::Kind::damaged,
                         "damaged: its tables are not those of a shelvoranquist data file");
    }
  }
  // A trigger would change the file behind the desk's back.
  if (Pragma(database, "SELECT count(*) FROM sqlite_schema WHERE type = 'trigger'") != 0) {
    throw StorageError(StorageError::Kind::unusable,
                       "holds triggers, which a shelvoranquist data file never has");
  }
  std::string check = database.execAndGet("PRAGMA quick_check(1)").getString();
  if (check == "ok") return;
  // The report may name the schema on a line of its own; the reason is one line.
  const std::string schema_line = "*** in database main ***\n";
  if (check.starts_with(schema_line)) check.erase(0, schema_line.size());
  std::replace(check.begin(), check.end(), '\n', ' ');
  throw StorageError(StorageError::Kind::damaged, "damaged: " + check);
}

void Bind_stamp(SQLite::Statement& statement, int column, const DateTime& stamp) {
  const Date& date = stamp.Day();
  statement.bind(column, date.Of_month().Of_year().Number());
  statement.bind(column + 1, date.Of_month().Number());
  statement.bind(column + 2, date.Day());
  statement.bind(column + 3, stamp.Time_of_day().Hour());
  statement.bind(column + 4, stamp.Time_of_day().Minute());
}

// The key of the row just inserted; one past most_row_key is refused, and the change with it.
std::int64_t Inserted_key(SQLite::Database& database) {
  const std::int64_t key = database.getLastInsertRowid();
  if (key > most_row_key)
    throw StorageError(StorageError::Kind::unusable, "no key is left for a new row");
  return key;
}

}  // namespace

SqliteStorage::SqliteStorage(const std::string& path) : _lock(path), _database(Open(path)) {
  Guarded([&] {
    // Views and triggers of a file are not trusted to call functions with side effects.
    _database.exec("PRAGMA trusted_schema = OFF");
    if (Is_blank(_database)) {
      Create_tables(_database);
    } else {
      Check_identity(_database);
    }
    _database.exec("PRAGMA synchronous = FULL");
  });
  _lock.Keep();
}

void SqliteStorage::Load(const Holdings& holdings) {
  Guarded([&] {
    _blank_member = &holdings.blank_member;
    HoldingsLoader(_database, holdings, _keys).Load();
    // A file that some other program has turned back to a rollback journal is turned again.
    Use_write_ahead_log(_database);
  });
}

template <class Body>
void SqliteStorage::Change(Body body) {
  Guarded([&] {
    SQLite::Transaction transaction(_database, SQLite::TransactionBehavior::IMMEDIATE);
    body();
    _lock.Check_in_place();
    transaction.commit();
  });
}

std::int64_t SqliteStorage::Key_of(const void* object) const {
  const auto found = _keys.find(object);
  if (found == _keys.end())
    throw StorageError(StorageError::Kind::damaged, "a record of the desk has no row in the file");
  return found->second;
}

void SqliteStorage::Delete_row(const char* statement, const void* object) {
  SQLite::Statement deletion(_database, statement);
  deletion.bind(1, Key_of(object));
  if (deletion.exec() != 1) {
    throw StorageError(StorageError::Kind::damaged,
                       "a row of the desk has gone from the file: another program changed it");
  }
  _keys.erase(object);
}

void SqliteStorage::Member_added(const Member& member) {
  Change([&] {
    SQLite::Statement insertion(_database,
                                "INSERT INTO members (name, address, phone_number, "
                                "email_address, library_number) VALUES (?, ?, ?, ?, ?)");
    insertion.bind(1, member.Name());
    insertion.bind(2, member.Address());
    insertion.bind(3, member.Phone_number());
    insertion.bind(4, member.Email_address());
    insertion.bind(5, member.Library_number());
    insertion.exec();
    _keys[&member] = Inserted_key(_database);
  });
}

void SqliteStorage::Member_removed(const Member& member) {
  Change([&] { Delete_row("DELETE FROM members WHERE id = ?", &member); });
}

template <class Kind>
void SqliteStorage::Insert_item(const Kind& item) {
  using Table = ItemTable<Kind>;
  Change([&] {
    SQLite::Statement insertion(_database, Table::insert);
    int column = 1;
    for (const TextField<Kind> text : Table::texts) insertion.bind(column++, (item.*text)());
    if constexpr (std::derived_from<Kind, Lendable>) {
      insertion.bind(column++, item.Loan_days());
      Bind_stamp(insertion, column, item.Due());
    }
    insertion.exec();
    _keys[&item] = Inserted_key(_database);
  });
}

template <class Kind>
void SqliteStorage::Delete_item(const Kind& item) {
  Change([&] { Delete_row(ItemTable<Kind>::remove, &item); });
}

template <class Kind>
void SqliteStorage::Set_due(const Kind& item) {
  SQLite::Statement update(_database, ItemTable<Kind>::set_due);
  Bind_stamp(update, 1, item.Due());
  update.bind(6, Key_of(&item));
  if (update.exec() != 1) {
    throw StorageError(StorageError::Kind::damaged,
                       "a row of the desk has gone from the file: another program changed it");
  }
}

void SqliteStorage::Set_due(const Book* book, const Cd* cd, const Video* video) {
  if (book != nullptr) Set_due(*book);
  if (cd != nullptr) Set_due(*cd);
  if (video != nullptr) Set_due(*video);
}

std::int64_t SqliteStorage::Insert_record(const char* statement, const Book* book, const Cd* cd,
                                          const Video* video, const Member* member) {
  SQLite::Statement insertion(_database, statement);
  int column = 1;
  for (const void* object : {static_cast<const void*>(book), static_cast<const void*>(cd),
                             static_cast<const void*>(video)}) {
    if (object == nullptr) {
      insertion.bind(column++);
    } else {
      insertion.bind(column++, Key_of(object));
    }
  }
  if (member == _blank_member) {
    insertion.bind(column);
  } else {
    insertion.bind(column, Key_of(member));
  }
  insertion.exec();
  return Inserted_key(_database);
}

void SqliteStorage::Loan_made(const Loan& loan, const Hold* ended_hold) {
  Change([&] {
    _keys[&loan] = Insert_record(
        "INSERT INTO loans (book_id, cd_id, video_id, member_id) VALUES (?, ?, ?, ?)",
        loan.Borrowed_book(), loan.Borrowed_cd(), loan.Borrowed_video(), loan.Borrower());
    Set_due(loan.Borrowed_book(), loan.Borrowed_cd(), loan.Borrowed_video());
    if (ended_hold != nullptr) Delete_row("DELETE FROM holds WHERE id = ?", ended_hold);
  });
}

void SqliteStorage::Loan_ended(const Loan& loan) {
  Change([&] { Delete_row("DELETE FROM loans WHERE id = ?", &loan); });
}

void SqliteStorage::Hold_placed(const Hold& hold) {
  Change([&] {
    _keys[&hold] =
        Insert_record("INSERT INTO holds (book_id, cd_id, video_id, member_id) VALUES (?, ?, ?, ?)",
                      hold.Held_book(), hold.Held_cd(), hold.Held_video(), hold.Holder());
    Set_due(hold.Held_book(), hold.Held_cd(), hold.Held_video());
  });
}

void SqliteStorage::Hold_ended(const Hold& hold) {
  Change([&] { Delete_row("DELETE FROM holds WHERE id = ?", &hold); });
}
