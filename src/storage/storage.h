#ifndef SHELVORANQUIST_STORAGE_STORAGE_H_
#define SHELVORANQUIST_STORAGE_STORAGE_H_

#include "catalogue/book.h"
#include "catalogue/cd.h"
#include "catalogue/journal.h"
#include "catalogue/video.h"
#include "circulation/hold.h"
#include "circulation/loan.h"
#include "members/member.h"
#include "storage/holdings.h"

// Where the desk keeps its records beyond one run. The desk fills its holdings from the storage
// once at start, then tells it of each change as soon as the change is made in memory and
// before anything that follows it is shown. Each change is kept whole or not at all before the
// call returns; when it cannot be kept the call throws StorageError, and the desk must stop
// without showing the change as done.
//
// The objects passed are the desk's own stored objects (those of the holdings it loaded): a
// member or item that is removed is passed while it is still stored, a record while its item
// still carries it.
class Storage {
 public:
  Storage() = default;
  Storage(const Storage&) = delete;
  Storage& operator=(const Storage&) = delete;
  virtual ~Storage() = default;

  // Fills the empty `holdings` with the records kept; throws StorageError, the holdings partly
  // filled, when they cannot be read or break the records' rules.
  virtual void Load(const Holdings& holdings) = 0;

  virtual void Member_added(const Member& member) = 0;
  virtual void Member_removed(const Member& member) = 0;
  virtual void Item_added(const Book& book) = 0;
  virtual void Item_added(const Cd& cd) = 0;
  virtual void Item_added(const Journal& journal) = 0;
  virtual void Item_added(const Video& video) = 0;
  virtual void Item_removed(const Book& book) = 0;
  virtual void Item_removed(const Cd& cd) = 0;
  virtual void Item_removed(const Journal& journal) = 0;
  virtual void Item_removed(const Video& video) = 0;

  // A loan with its item's new due stamp; `ended_hold`, when given, is the item's hold, which
  // ends with this loan.
  virtual void Loan_made(const Loan& loan, const Hold* ended_hold) = 0;
  virtual void Loan_ended(const Loan& loan) = 0;
  // A hold with its item's new due stamp.
  virtual void Hold_placed(const Hold& hold) = 0;
  virtual void Hold_ended(const Hold& hold) = 0;
};

#endif  // SHELVORANQUIST_STORAGE_STORAGE_H_
