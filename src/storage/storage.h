#ifndef SHELVORANQUIST_STORAGE_STORAGE_H_
#define SHELVORANQUIST_STORAGE_STORAGE_H_

#include <functional>
#include <vector>

#include "storage/change.h"
#include "storage/rows.h"
#include "storage/storage_error.h"

// What an engine opens its records for.
enum class StorageUse {
  desk,    // a desk's records: a place that holds nothing is given the layout at once
  import,  // the destination of a copy: the place must hold nothing, and only Import fills it
};

// Where the desk keeps its records beyond one run: an engine that knows rows and columns and
// nothing of the desk. The desk loads every record once at start, then hands over each change
// before its memory changes and before anything that follows it is shown. Every call that
// fails throws StorageError, whose kind says why; the desk must then stop without showing the
// change as done.
class Storage {
 public:
  // What the desk does with the records read: checks them and rebuilds its memory, or throws
  // StorageError when they break a rule.
  using Restore = std::function<void(const StoredRecords&)>;

  Storage() = default;
  Storage(const Storage&) = delete;
  Storage& operator=(const Storage&) = delete;
  virtual ~Storage() = default;

  // Reads every record kept and hands them to `restore`. Only once `restore` has accepted them
  // does the engine finish what its opening needs (an upgrade of an older layout, say); when
  // `restore` throws, the records are left exactly as they were and the error passes on.
  virtual void Load(const Restore& restore) = 0;

  // Keeps `change` whole before returning, and sets the key of the record it adds. Throws
  // StorageError, nothing of the change kept, when it cannot be kept; of kind refused when the
  // records as kept make it impossible (someone else got there first).
  virtual void Keep(Change& change) = 0;

  // The changes that other desks kept since the load or the last call, in the order they were
  // kept, for the desk to apply to its memory before it answers the line just read. An engine
  // that several desks share keeps the others from changing the records from this call until
  // Waiting, so that each line is answered, and its changes kept, on the records as they stand
  // when it is read. An engine that one desk holds alone has none.
  virtual std::vector<Change> Changes_elsewhere() { return {}; }

  // The desk is about to wait for a person: the other desks may go on meanwhile.
  virtual void Waiting() {}

  // Fills this storage, opened for import and holding nothing, with `records` (which the desk's
  // restore has accepted), every key kept, in one transaction: hands what it then holds to
  // `check`, and commits only once `check` accepted it. A later desk gives new records keys
  // past the largest kept. When anything fails, the place is left as it was found and
  // StorageError passes on. An engine that cannot be filled this way refuses.
  virtual void Import(const StoredRecords& /*records*/, const Restore& /*check*/) {
    throw StorageError(StorageError::Kind::unusable, "cannot take a copy of the records");
  }
};

#endif  // SHELVORANQUIST_STORAGE_STORAGE_H_
