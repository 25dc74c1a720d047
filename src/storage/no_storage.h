#ifndef SHELVORANQUIST_STORAGE_NO_STORAGE_H_
#define SHELVORANQUIST_STORAGE_NO_STORAGE_H_

#include "storage/storage.h"

// The desk of one run: it starts empty and keeps nothing once the run ends. It gives each new
// record a key of its own, one past the last.
class NoStorage final : public Storage {
 public:
  void Load(const Restore& restore) override { restore(StoredRecords{}); }
  void Keep(Change& change) override;

 private:
  RecordKey _last_key = 0;
};

#endif  // SHELVORANQUIST_STORAGE_NO_STORAGE_H_
