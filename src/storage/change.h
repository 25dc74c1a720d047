#ifndef SHELVORANQUIST_STORAGE_CHANGE_H_
#define SHELVORANQUIST_STORAGE_CHANGE_H_

#include <optional>
#include <variant>

#include "storage/rows.h"

// One change of the records, as a value: it names its records by key and holds every field it
// stores. A change that adds a record leaves its key to the storage, which sets it when the
// change is kept. An engine applies a change whole or not at all.

struct MemberAdded {
  MemberRow member{};
};

struct MemberRemoved {
  RecordKey member = 0;
};

struct ItemAdded {
  ItemKind kind = ItemKind::book;
  ItemRow item{};
};

struct ItemRemoved {
  ItemKind kind = ItemKind::book;
  RecordKey item = 0;
};

// A loan with its item's new due stamp; `ended_hold`, when given, is the key of the item's own
// hold, which ends with this loan.
struct LoanMade {
  RecordRow loan{};
  StampRow due{};
  std::optional<RecordKey> ended_hold{};
};

struct LoanEnded {
  RecordRow loan{};
};

// A hold with its item's new due stamp.
struct HoldPlaced {
  RecordRow hold{};
  StampRow due{};
};

struct HoldEnded {
  RecordRow hold{};
};

using Change = std::variant<MemberAdded, MemberRemoved, ItemAdded, ItemRemoved, LoanMade, LoanEnded,
                            HoldPlaced, HoldEnded>;

#endif  // SHELVORANQUIST_STORAGE_CHANGE_H_
