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
  // removed.
  explicit SqliteStorage(const std::string& path);
  ~SqliteStorage() override;

  // The data version this program writes.
  static int Data_version();

  Opening Opened() const;
  // The data version the file had, when the load upgraded it; 0 when it did not.
  int Upgraded_from() const;

  void Load(const Restore& restore) override;
  void Keep(Change& change) override;

 private:
  class File;
  std::unique_ptr<File> _file;
};

#endif  // SHELVORANQUIST_STORAGE_SQLITE_SQLITE_STORAGE_H_
