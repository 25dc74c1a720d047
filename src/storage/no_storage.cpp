#include "storage/no_storage.h"

#include "storage/new_key.h"

void NoStorage::Keep(Change& change) {
  if (RecordKey* key = New_key(change)) *key = ++_last_key;
}
