#ifndef SHELVORANQUIST_STORAGE_NO_STORAGE_H_
#define SHELVORANQUIST_STORAGE_NO_STORAGE_H_

#include "storage/storage.h"

// The desk of one run: it starts empty and keeps nothing once the run ends.
class NoStorage final : public Storage {
 public:
  void Load(const Holdings& /*holdings*/) override {}
  void Member_added(const Member& /*member*/) override {}
  void Member_removed(const Member& /*member*/) override {}
  void Item_added(const Book& /*book*/) override {}
  void Item_added(const Cd& /*cd*/) override {}
  void Item_added(const Journal& /*journal*/) override {}
  void Item_added(const Video& /*video*/) override {}
  void Item_removed(const Book& /*book*/) override {}
  void Item_removed(const Cd& /*cd*/) override {}
  void Item_removed(const Journal& /*journal*/) override {}
  void Item_removed(const Video& /*video*/) override {}
  void Loan_made(const Loan& /*loan*/, const Hold* /*ended_hold*/) override {}
  void Loan_ended(const Loan& /*loan*/) override {}
  void Hold_placed(const Hold& /*hold*/) override {}
  void Hold_ended(const Hold& /*hold*/) override {}
};

#endif  // SHELVORANQUIST_STORAGE_NO_STORAGE_H_
