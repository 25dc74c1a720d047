#include "storage/sqlite/sqlite_storage.h"

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Exception.h>
#include <SQLiteCpp/Statement.h>
#include <SQLiteCpp/Transaction.h>
#include <sqlite3.h>
#include <sys/stat.h>

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>
#include <variant>

#include "storage/sqlite/file_lock.h"
#include "storage/sqlite/item_table.h"
#include "storage/sqlite/search_index.h"
#include "storage/sqlite/sqlite_error.h"
#include "storage/sqlite/sqlite_schema.h"
#include "storage/sqlite/stored_row.h"
#include "storage/storage_error.h"

namespace {

// How long a change waits while another connection (a reader's checkpoint, say) has the file.
constexpr int busy_timeout_ms = 2000;

bool Exists(const std::string& path) {
  std::error_code error;
  return std::filesystem::exists(std::filesystem::symlink_status(path, error));
}

int Pragma(SQLite::Database& database, const char* statement) {
  return database.execAndGet(statement).getInt();
}

// A database with nothing in it yet: a file this desk has just created, or an empty one.
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

// Whether a connection folds the write-ahead log into the file when it closes.
void Checkpoint_on_close(SQLite::Database& database, bool checkpoint) {
  sqlite3_db_config(database.getHandle(), SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, checkpoint ? 0 : 1,
                    nullptr);
}

// The log and its index stay beside the file when the desk closes it, the log emptied: a reader
// that may not write the file's folder (the public catalogue, run as a user of its own) opens
// the file only while they are there. Any limit on the log's size has it emptied at the close.
// SQLite gives them the file's mode when it makes them; kept, they are given it again at each
// start, so that they follow the file when an administrator changes its mode, never wider.
void Keep_log_beside(SQLite::Database& database, const std::string& path) {
  database.exec("PRAGMA journal_size_limit = 67108864");
  int persist = 1;
  sqlite3_file_control(database.getHandle(), "main", SQLITE_FCNTL_PERSIST_WAL, &persist);
  struct stat file {};
  if (stat(path.c_str(), &file) != 0) return;
  for (const char* suffix : {"-wal", "-shm"}) {
    const std::string beside = path + suffix;
    struct stat found {};
    if (lstat(beside.c_str(), &found) == 0 and S_ISREG(found.st_mode) and
        (found.st_mode & 07777) != (file.st_mode & 0777)) {
      chmod(beside.c_str(), file.st_mode & 0777);
    }
  }
}

void Bind_stamp(SQLite::Statement& statement, int column, const StampRow& stamp) {
  statement.bind(column, stamp.year);
  statement.bind(column + 1, stamp.month);
  statement.bind(column + 2, stamp.day);
  statement.bind(column + 3, stamp.hour);
  statement.bind(column + 4, stamp.minute);
}

void Bind_key(SQLite::Statement& statement, int column, const std::optional<RecordKey>& key) {
  if (key) {
    statement.bind(column, *key);
  } else {
    statement.bind(column);
  }
}

constexpr const char* insert_member =
    "INSERT INTO members (id, name, address, phone_number, email_address, library_number) "
    "VALUES (?, ?, ?, ?, ?, ?)";
constexpr const char* insert_loan =
    "INSERT INTO loans (id, book_id, cd_id, video_id, member_id) VALUES (?, ?, ?, ?, ?)";
constexpr const char* insert_hold =
    "INSERT INTO holds (id, book_id, cd_id, video_id, member_id) VALUES (?, ?, ?, ?, ?)";

// The rows of each kind of item among `records`.
template <class Records>
auto Item_rows(Records& records) {
  return std::array{
      std::pair{ItemKind::book, &records.books}, std::pair{ItemKind::cd, &records.cds},
      std::pair{ItemKind::journal, &records.journals}, std::pair{ItemKind::video, &records.videos}};
}

// Reads every row, inside the caller's transaction.
StoredRecords Records_in(SQLite::Database& database) {
  StoredRecords records;
  SQLite::Statement members(database,
                            "SELECT id, name, address, phone_number, email_address, "
                            "library_number FROM members ORDER BY id");
  while (members.executeStep()) {
    const StoredRow row(members, "members");
    records.members.push_back(MemberRow{.key = row.Key(),
                                        .name = row.Text(1),
                                        .address = row.Text(2),
                                        .phone_number = row.Text(3),
                                        .email_address = row.Text(4),
                                        .library_number = row.Whole_number(5)});
  }
  for (const auto& [kind, rows] : Item_rows(records)) {
    const ItemTable& table = Table_of(kind);
    SQLite::Statement items(database, table.select);
    while (items.executeStep()) {
      const StoredRow row(items, table.name);
      ItemRow item{
          .key = row.Key(), .bar_code = row.Text(1), .title = row.Text(2), .creator = row.Text(3)};
      int column = 4;
      if (table.has_detail) item.detail = row.Text(column++);
      if (table.lendable) {
        item.loan_days = row.Whole_number(column++);
        item.due = row.Stamp(column);
      }
      rows->push_back(std::move(item));
    }
  }
  for (const auto& [name, rows] :
       {std::pair{"loans", &records.loans}, std::pair{"holds", &records.holds}}) {
    SQLite::Statement records_of(
        database, std::string("SELECT id, book_id, cd_id, video_id, member_id FROM ") + name +
                      " ORDER BY id");
    while (records_of.executeStep()) {
      const StoredRow row(records_of, name);
      rows->push_back(RecordRow{.key = row.Key(),
                                .book = row.Reference(1),
                                .cd = row.Reference(2),
                                .video = row.Reference(3),
                                .member = row.Reference(4)});
    }
  }
  return records;
}

// The item table a loan or hold row names its item in.
const ItemTable& Table_named(const RecordRow& row) {
  if (row.book) return book_table;
  if (row.cd) return cd_table;
  return video_table;
}

}  // namespace

// The data file, held for this desk, and the one connection to it.
class SqliteStorage::File {
 public:
  File(const std::string& path, StorageUse use);

  // Reads every row, in one read transaction.
  StoredRecords Read();
  // Once the records are accepted: checks the search index, or upgrades an older file, which
  // builds it, and lets the connection work as a desk's (a write-ahead log, folded in at close).
  void Accept();
  // Closes the connection without folding its log into the file, and removes what this desk
  // made beside the file; the file is then as this desk found it.
  void Abandon();

  void Keep(Change& change);
  void Import(const StoredRecords& records, const Restore& check);

  Opening Opened() const { return _opening; }
  int Upgraded_from() const { return _upgraded_from; }

 private:
  SQLite::Database& Database() {
    if (not _database) throw StorageError(StorageError::Kind::unusable, "the file is closed");
    return *_database;
  }
  // Each inserts a row under `key`, or under a new key when none, and returns its key.
  RecordKey Insert_member(const MemberRow& member, std::optional<RecordKey> key);
  // An item's entry and words go into `index` with it.
  RecordKey Insert_item(ItemKind kind, const ItemRow& item, std::optional<RecordKey> key,
                        SearchIndex& index);
  RecordKey Insert_record(const char* statement, const RecordRow& row,
                          std::optional<RecordKey> key);
  void Set_due(const RecordRow& row, const StampRow& due);
  // Deletes the row of `key` with `statement`; the row must be there.
  void Delete_row(const char* statement, RecordKey key);
  // The key of the row just inserted; one past most_record_key is refused, the change with it.
  RecordKey Inserted_key();

  std::string _path;
  // Declared before the connection, so that it closes after it.
  FileLock _lock;
  bool _had_log;
  bool _had_shared_memory;
  // Opened for an import that has not yet succeeded: the file holds nothing of this storage's.
  bool _importing;
  std::optional<SQLite::Database> _database;
  Opening _opening = Opening::existing;
  int _version = SqliteSchema::version;
  int _upgraded_from = 0;
};

SqliteStorage::File::File(const std::string& path, StorageUse use)
    : _path(path),
      _lock(path),
      _had_log(Exists(path + "-wal")),
      _had_shared_memory(Exists(path + "-shm")),
      _importing(use == StorageUse::import) {
  try {
    std::error_code error;
    if (_importing and std::filesystem::file_size(path, error) != 0) {
      throw StorageError(StorageError::Kind::unusable,
                         "not empty: a library is copied only to a new file or an empty one");
    }
    Guarded([&] {
      // One thread uses the one connection: SQLite need not lock a mutex at every call.
      _database.emplace(path, SQLite::OPEN_READWRITE | SQLite::OPEN_NOMUTEX, busy_timeout_ms);
      Checkpoint_on_close(Database(), false);
      // Views and triggers of a file are not trusted to call functions with side effects.
      Database().exec("PRAGMA trusted_schema = OFF");
      if (_importing) {
        _opening = _lock.Created() ? Opening::created : Opening::empty;
      } else if (Is_blank(Database())) {
        _opening = _lock.Created() ? Opening::created : Opening::empty;
        Use_write_ahead_log(Database());
        SQLite::Transaction transaction(Database(), SQLite::TransactionBehavior::IMMEDIATE);
        SqliteSchema::Create(Database());
        transaction.commit();
      } else {
        _version = SqliteSchema::Check(Database());
      }
      // An import commits in a rollback journal by removing it, which is kept only once the
      // folder is synced too.
      Database().exec(_importing ? "PRAGMA synchronous = EXTRA" : "PRAGMA synchronous = FULL");
      Database().exec("PRAGMA foreign_keys = ON");
    });
  } catch (...) {
    Abandon();
    throw;
  }
  if (not _importing) _lock.Keep();
}

void SqliteStorage::File::Abandon() {
  _database.reset();
  std::error_code ignored;
  if (not _had_log) std::filesystem::remove(_path + "-wal", ignored);
  if (not _had_shared_memory) std::filesystem::remove(_path + "-shm", ignored);
}

StoredRecords SqliteStorage::File::Read() {
  SQLite::Transaction reading(Database(), SQLite::TransactionBehavior::DEFERRED);
  StoredRecords records = Records_in(Database());
  reading.commit();
  return records;
}

void SqliteStorage::File::Accept() {
  // Checked once the records are: a fault in them is named more closely than the index can.
  if (_version >= 3) SearchIndex::Check_whole(Database());
  if (_version < SqliteSchema::version) {
    // Foreign keys are not enforced while the tables are made anew; they are checked whole
    // before the upgrade commits.
    Database().exec("PRAGMA foreign_keys = OFF");
    SQLite::Transaction transaction(Database(), SQLite::TransactionBehavior::IMMEDIATE);
    SqliteSchema::Upgrade(Database(), _version);
    transaction.commit();
    Database().exec("PRAGMA foreign_keys = ON");
    _upgraded_from = _version;
    _version = SqliteSchema::version;
  }
  // A file that some other program has turned back to a rollback journal is turned again.
  Use_write_ahead_log(Database());
  Checkpoint_on_close(Database(), true);
  Keep_log_beside(Database(), _path);
}

void SqliteStorage::File::Keep(Change& change) {
  SQLite::Transaction transaction(Database(), SQLite::TransactionBehavior::IMMEDIATE);
  std::visit(
      [&](auto& value) {
        using Value = std::decay_t<decltype(value)>;
        if constexpr (std::is_same_v<Value, MemberAdded>) {
          value.member.key = Insert_member(value.member, {});
        } else if constexpr (std::is_same_v<Value, MemberRemoved>) {
          Delete_row("DELETE FROM members WHERE id = ?", value.member);
        } else if constexpr (std::is_same_v<Value, ItemAdded>) {
          SearchIndex index(Database());
          value.item.key = Insert_item(value.kind, value.item, {}, index);
        } else if constexpr (std::is_same_v<Value, ItemRemoved>) {
          SearchIndex::Remove(Database(), value.kind, value.item);
          Delete_row(Table_of(value.kind).remove, value.item);
        } else if constexpr (std::is_same_v<Value, LoanMade>) {
          value.loan.key = Insert_record(insert_loan, value.loan, {});
          Set_due(value.loan, value.due);
          if (value.ended_hold) Delete_row("DELETE FROM holds WHERE id = ?", *value.ended_hold);
        } else if constexpr (std::is_same_v<Value, LoanEnded>) {
          Delete_row("DELETE FROM loans WHERE id = ?", value.loan.key);
        } else if constexpr (std::is_same_v<Value, HoldPlaced>) {
          value.hold.key = Insert_record(insert_hold, value.hold, {});
          Set_due(value.hold, value.due);
        } else {
          static_assert(std::is_same_v<Value, HoldEnded>);
          Delete_row("DELETE FROM holds WHERE id = ?", value.hold.key);
        }
      },
      change);
  // A change is shown as done only when a file at the path holds it.
  _lock.Check_in_place();
  transaction.commit();
}

void SqliteStorage::File::Import(const StoredRecords& records, const Restore& check) {
  if (not _importing) {
    throw StorageError(StorageError::Kind::unusable,
                       "holds records already: a library is copied only to a new file or an "
                       "empty one");
  }
  try {
    Guarded([&] {
      SQLite::Transaction transaction(Database(), SQLite::TransactionBehavior::IMMEDIATE);
      SqliteSchema::Create(Database());
      for (const MemberRow& member : records.members) Insert_member(member, member.key);
      SearchIndex index(Database());
      for (const auto& [kind, rows] : Item_rows(records)) {
        for (const ItemRow& item : *rows) Insert_item(kind, item, item.key, index);
      }
      for (const RecordRow& loan : records.loans) Insert_record(insert_loan, loan, loan.key);
      for (const RecordRow& hold : records.holds) Insert_record(insert_hold, hold, hold.key);
      check(Records_in(Database()));
      _lock.Check_in_place();
      transaction.commit();
    });
  } catch (...) {
    // The transaction is rolled back; a file this storage created goes with its lock.
    Abandon();
    throw;
  }
  _importing = false;
  _lock.Keep();
}

RecordKey SqliteStorage::File::Insert_member(const MemberRow& member,
                                             std::optional<RecordKey> key) {
  SQLite::Statement insertion(Database(), insert_member);
  Bind_key(insertion, 1, key);
  insertion.bind(2, member.name);
  insertion.bind(3, member.address);
  insertion.bind(4, member.phone_number);
  insertion.bind(5, member.email_address);
  insertion.bind(6, member.library_number);
  insertion.exec();
  return Inserted_key();
}

RecordKey SqliteStorage::File::Insert_item(ItemKind kind, const ItemRow& item,
                                           std::optional<RecordKey> key, SearchIndex& index) {
  const ItemTable& table = Table_of(kind);
  SQLite::Statement insertion(Database(), table.insert);
  Bind_key(insertion, 1, key);
  int column = 2;
  for (const std::string* text : {&item.bar_code, &item.title, &item.creator}) {
    insertion.bind(column++, *text);
  }
  if (table.has_detail) insertion.bind(column++, item.detail);
  if (table.lendable) {
    insertion.bind(column++, item.loan_days);
    Bind_stamp(insertion, column, item.due);
  }
  insertion.exec();
  const RecordKey kept = Inserted_key();
  index.Add(kind, kept, item);
  return kept;
}

RecordKey SqliteStorage::File::Insert_record(const char* statement, const RecordRow& row,
                                             std::optional<RecordKey> key) {
  SQLite::Statement insertion(Database(), statement);
  Bind_key(insertion, 1, key);
  Bind_key(insertion, 2, row.book);
  Bind_key(insertion, 3, row.cd);
  Bind_key(insertion, 4, row.video);
  Bind_key(insertion, 5, row.member);
  insertion.exec();
  return Inserted_key();
}

void SqliteStorage::File::Set_due(const RecordRow& row, const StampRow& due) {
  SQLite::Statement update(Database(), Table_named(row).set_due);
  Bind_stamp(update, 1, due);
  update.bind(6, row.book ? *row.book : row.cd ? *row.cd : row.video.value_or(0));
  if (update.exec() != 1) {
    throw StorageError(StorageError::Kind::refused,
                       "a row of the desk has gone from the file: another program changed it");
  }
}

void SqliteStorage::File::Delete_row(const char* statement, RecordKey key) {
  SQLite::Statement deletion(Database(), statement);
  deletion.bind(1, key);
  if (deletion.exec() != 1) {
    throw StorageError(StorageError::Kind::refused,
                       "a row of the desk has gone from the file: another program changed it");
  }
}

RecordKey SqliteStorage::File::Inserted_key() {
  const RecordKey key = Database().getLastInsertRowid();
  if (key > most_record_key) {
    throw StorageError(StorageError::Kind::refused, "no key is left for a new row");
  }
  return key;
}

SqliteStorage::SqliteStorage(const std::string& path, StorageUse use)
    : _file(std::make_unique<File>(path, use)) {}

SqliteStorage::~SqliteStorage() = default;

int SqliteStorage::Data_version() { return SqliteSchema::version; }

StoredRecords SqliteStorage::Snapshot(const std::string& path) {
  std::error_code error;
  // Opening a FIFO to read would wait for a writer.
  if (Exists(path) and not std::filesystem::is_regular_file(path, error)) {
    throw StorageError(StorageError::Kind::unusable, "not a regular file");
  }
  return Guarded([&] {
    SQLite::Database database(path, SQLite::OPEN_READONLY | SQLite::OPEN_NOMUTEX, busy_timeout_ms);
    database.exec("PRAGMA trusted_schema = OFF");
    SQLite::Transaction reading(database, SQLite::TransactionBehavior::DEFERRED);
    SqliteSchema::Check(database);
    StoredRecords records = Records_in(database);
    reading.commit();
    return records;
  });
}

SqliteStorage::Opening SqliteStorage::Opened() const { return _file->Opened(); }

int SqliteStorage::Upgraded_from() const { return _file->Upgraded_from(); }

void SqliteStorage::Load(const Restore& restore) {
  try {
    const StoredRecords records = Guarded([&] { return _file->Read(); });
    restore(records);
    Guarded([&] { _file->Accept(); });
  } catch (...) {
    _file->Abandon();
    throw;
  }
}

void SqliteStorage::Keep(Change& change) {
  Guarded([&] { _file->Keep(change); });
}

void SqliteStorage::Import(const StoredRecords& records, const Restore& check) {
  _file->Import(records, check);
}
