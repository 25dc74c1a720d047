#include "storage/sqlite/sqlite_error.h"

#include <sqlite3.h>

#include <string>

StorageError Storage_error(const SQLite::Exception& error) {
  using Kind = StorageError::Kind;
  // The low byte of the extended code is the primary code; the rest tells what it does not.
  const int extended = error.getExtendedErrorCode();
  // The file system reported the file's own blocks as damaged.
  if (extended == SQLITE_IOERR_CORRUPTFS) return StorageError(Kind::damaged, error.what());
  switch (extended & 0xFF) {
    case SQLITE_CORRUPT:
      return StorageError(Kind::damaged, error.what());
    case SQLITE_NOTADB:
    case SQLITE_CANTOPEN:
    case SQLITE_PERM:
    case SQLITE_READONLY:
    case SQLITE_AUTH:
      return StorageError(Kind::unusable, error.what());
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
      return StorageError(Kind::busy, error.what());
    case SQLITE_CONSTRAINT:
      return StorageError(Kind::refused, std::string("the file refused a change (") + error.what() +
                                             "): another program changed it");
    default:
      return StorageError(Kind::io, error.what());
  }
}
