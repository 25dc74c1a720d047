#ifndef SHELVORANQUIST_STORAGE_SQLITE_STORAGE_H_
#define SHELVORANQUIST_STORAGE_SQLITE_STORAGE_H_

#include <SQLiteCpp/Database.h>

#include <cstdint>
#include <string>
#include <unordered_map>

#include "storage/sqlite/file_lock.h"
#include "storage/storage.h"

// The desk's records in an SQLite 3 data file of its own: one table of members, one for each
// kind of item, one of loans and one of holds, a row for each record and a column for each
// field, the rows in the order the desk keeps them. The file is marked as this program's by its
// application_id and its layout by its user_version.
//
// Each change is one transaction, committed in write-ahead-log mode with synchronous=FULL before
// the call returns: a change that returned is on disk, and a crash at any moment leaves every
// change whole or absent. The file is held for this desk alone while the storage exists.
class SqliteStorage final : public Storage {
 public:
  // Opens the data file at `path`, or creates an empty one when nothing is there, and checks
  // that it is a data file this version reads. Throws StorageError with the reason when it
  // cannot be used; the file is then left as it was, and one this call created is removed.
  explicit SqliteStorage(const std::string& path);

  // Whether this storage created its file.
  bool Created() const { return _lock.Created(); }

  void Load(const Holdings& holdings) override;
  void Member_added(const Member& member) override;
  void Member_removed(const Member& member) override;
  void Item_added(const Book& book) override { Insert_item(book); }
  void Item_added(const Cd& cd) override { Insert_item(cd); }
  void Item_added(const Journal& journal) override { Insert_item(journal); }
  void Item_added(const Video& video) override { Insert_item(video); }
  void Item_removed(const Book& book) override { Delete_item(book); }
  void Item_removed(const Cd& cd) override { Delete_item(cd); }
  void Item_removed(const Journal& journal) override { Delete_item(journal); }
  void Item_removed(const Video& video) override { Delete_item(video); }
  void Loan_made(const Loan& loan, const Hold* ended_hold) override;
  void Loan_ended(const Loan& loan) override;
  void Hold_placed(const Hold& hold) override;
  void Hold_ended(const Hold& hold) override;

 private:
  // Runs `body` as one transaction and commits it.
  template <class Body>
  void Change(Body body);
  template <class Kind>
  void Insert_item(const Kind& item);
  template <class Kind>
  void Delete_item(const Kind& item);
  // Stores the due stamp of the one item of a record that is not none.
  void Set_due(const Book* book, const Cd* cd, const Video* video);
  template <class Kind>
  void Set_due(const Kind& item);
  // Inserts a loan or hold row and returns its key.
  std::int64_t Insert_record(const char* statement, const Book* book, const Cd* cd,
                             const Video* video, const Member* member);
  // Deletes the row of `object` with `statement`, which takes its key.
  void Delete_row(const char* statement, const void* object);
  std::int64_t Key_of(const void* object) const;

  // Declared first, so that it closes after the connection.
  FileLock _lock;
  SQLite::Database _database;
  const Member* _blank_member = nullptr;
  // The key of the row of each stored member, item and record of the desk.
  std::unordered_map<const void*, std::int64_t> _keys;
};

#endif  // SHELVORANQUIST_STORAGE_SQLITE_STORAGE_H_
