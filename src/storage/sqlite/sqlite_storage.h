#ifndef SHELVORANQUIST_STORAGE_SQLITE_SQLITE_STORAGE_H_
#define SHELVORANQUIST_STORAGE_SQLITE_SQLITE_STORAGE_H_

#include <memory>
#include <string>

#include "storage/storage.h"

// The desk's records in an SQLite 3 data file of its own (SqliteSchema gives its layout), a row
// for each record and a column for each field, the rows in the order the desk keeps them.
//
// Each change is one transaction, committed in write-ahead-log mode with synchronous=FULL before
// Keep returns: a change that returned is on disk, and a crash at any moment leaves every change
// whole or absent. The file is held for this desk alone while the storage exists. A file this
// desk refuses, at opening or at loading, is left byte for byte, its write-ahead log included,
// and nothing new is left beside it.
class SqliteStorage final : public Storage {
 public:
  // What the opening found at the path.
  enum class Opening {
    existing,  // a data file of this version or an older one
    created,   // nothing: this desk created the file
    empty,     // an empty file, now a data file
  };

  // Opens the data file at `path`, or makes a new one where there is nothing or an empty file,
  // and checks that it is a data file this version reads. Throws StorageError with the reason
  // when it cannot be used; the file is then left as it was, and one this call created is
  // removed. Opened for an import, the file must be new or empty and is written only by Import,
  // in a rollback journal (the first desk gives it its write-ahead log); a new file is removed
  // again unless an Import succeeds.
  explicit SqliteStorage(const std::string& path, StorageUse use = StorageUse::desk);
  ~SqliteStorage() override;

  // The data version this program writes.
  static int Data_version();

  // Every record of the data file at `path`, of this version or an older one, as the file
  // stands at one moment even while a desk changes it: read through a read-only connection in
  // one read transaction, without upgrading the file or holding it against a desk. Like any
  // reader, SQLite may leave an empty write-ahead log and its index beside a file that no desk
  // has open. Throws StorageError when the file is no data file this version reads.
  static StoredRecords Snapshot(const std::string& path);

  Opening Opened() const;
  // The data version the file had, when the load upgraded it; 0 when it did not.
  int Upgraded_from() const;

  void Load(const Restore& restore) override;
  void Keep(Change& change) override;
  void Import(const StoredRecords& records, const Restore& check) override;

 private:
  class File;
  std::unique_ptr<File> _file;
};

#endif  // SHELVORANQUIST_STORAGE_SQLITE_SQLITE_STORAGE_H_
