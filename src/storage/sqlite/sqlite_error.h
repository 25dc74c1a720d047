#ifndef SHELVORANQUIST_STORAGE_SQLITE_SQLITE_ERROR_H_
#define SHELVORANQUIST_STORAGE_SQLITE_SQLITE_ERROR_H_

#include <SQLiteCpp/Exception.h>

#include "storage/storage_error.h"

// The storage's own error for a failure of SQLite, its kind from SQLite's extended result code.
StorageError Storage_error(const SQLite::Exception& error);

// Runs `body`, passing on a failure of SQLite as the storage's own.
template <class Body>
auto Guarded(Body body) {
  try {
    return body();
  } catch (const SQLite::Exception& error) {
    throw Storage_error(error);
  }
}

#endif  // SHELVORANQUIST_STORAGE_SQLITE_SQLITE_ERROR_H_
