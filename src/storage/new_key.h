#ifndef SHELVORANQUIST_STORAGE_NEW_KEY_H_
#define SHELVORANQUIST_STORAGE_NEW_KEY_H_

#include "storage/change.h"

// The key of the record that `change` adds, for the engine to set; none for a change that adds
// no record.
inline RecordKey* New_key(Change& change) {
  if (auto* added = std::get_if<MemberAdded>(&change)) return &added->member.key;
  if (auto* added = std::get_if<ItemAdded>(&change)) return &added->item.key;
  if (auto* made = std::get_if<LoanMade>(&change)) return &made->loan.key;
  if (auto* placed = std::get_if<HoldPlaced>(&change)) return &placed->hold.key;
  return nullptr;
}

#endif  // SHELVORANQUIST_STORAGE_NEW_KEY_H_
