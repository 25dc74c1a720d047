#ifndef SHELVORANQUIST_CIRCULATION_HOLDINGS_H_
#define SHELVORANQUIST_CIRCULATION_HOLDINGS_H_

#include <deque>
#include <unordered_map>

#include "calendar/date_time.h"
#include "catalogue/book_list.h"
#include "catalogue/cd_list.h"
#include "catalogue/journal_list.h"
#include "catalogue/video_list.h"
#include "circulation/hold.h"
#include "circulation/hold_list.h"
#include "circulation/loan.h"
#include "circulation/loan_list.h"
#include "members/member.h"
#include "members/member_list.h"
#include "storage/change.h"
#include "storage/rows.h"

// Everything one desk holds in memory: the member register, the four collections, the two
// circulation registers, the blank start-up member and the loan and hold records, each record
// carrying its key in the storage. Every change of them goes through the helpers below, whether
// the desk's own operations make it, a restore rebuilds the records of an earlier run, or
// another desk kept it: a loan is written in its four places (the record, the borrower's list,
// the item and the register) by one function, and taken out of them by one.
//
// The referenced objects live as long as the Holdings, except that a member or item lives until
// it is removed; records are never destroyed before the Holdings.
class Holdings {
 public:
  Holdings() = default;
  Holdings(const Holdings&) = delete;
  Holdings& operator=(const Holdings&) = delete;

  MemberList& Members() { return _members; }
  const MemberList& Members() const { return _members; }
  BookList& Books() { return _books; }
  const BookList& Books() const { return _books; }
  CdList& Cds() { return _cds; }
  const CdList& Cds() const { return _cds; }
  JournalList& Journals() { return _journals; }
  const JournalList& Journals() const { return _journals; }
  VideoList& Videos() { return _videos; }
  const VideoList& Videos() const { return _videos; }
  const LoanList& Loans() const { return _loans; }
  const HoldList& Holds() const { return _holds; }
  // The member that stands as the selection when a desk starts; not registered, no key.
  Member& Blank_member() { return _blank_member; }
  const Member& Blank_member() const { return _blank_member; }

  // Rebuilds the records of an earlier run in these empty holdings, checking every value and
  // every rule of the records first (texts within their field limits, numbers in their ranges,
  // stamps that are calendar dates and times, keys of at most most_record_key, and loans and
  // holds that name a stored item of a lendable kind with no other loan or hold, and a
  // registered member or the blank one). Throws StorageError (damaged) naming the first row
  // that breaks a rule ("books row 7: due_day is 31, not from 1 to 30").
  void Restore(const StoredRecords& records);

  // Applies a change that the storage has kept, checked as the restore checks rows; a change
  // that names a record these holdings lack, or would leave a record dangling, throws
  // StorageError (damaged) and changes nothing.
  void Apply(const Change& change);

  // A stamp as a change holds it.
  static StampRow Stamp_row(const DateTime& stamp);
  // The loan or hold row of `item` and `member` as a change names them.
  template <class Kind>
  RecordRow Record_row(const Kind& item, const Member& member, RecordKey key = 0) const;

  // Writes a loan in its four places, the item's due stamp set to `due`.
  template <class Kind>
  const Loan& Keep_loan(Kind& item, Member& member, RecordKey key, const DateTime& due);
  // Ends the item's current loan in its four places.
  void End_loan(Lendable& item);
  template <class Kind>
  const Hold& Keep_hold(Kind& item, Member& member, RecordKey key, const DateTime& due);
  void End_hold(Lendable& item);

 private:
  template <class Kind>
  auto& List_of();
  template <class Kind>
  std::unordered_map<RecordKey, Kind*>& Keys_of();

  void Add_member(const MemberRow& row);
  void Remove_member(RecordKey key);
  template <class Kind>
  void Add_item(const ItemRow& row);
  template <class Kind>
  void Remove_item(RecordKey key);
  // Attaches a loan or hold row; `due` none keeps the item's stamp, as a restore does.
  template <class Record>
  void Attach(const RecordRow& row, const StampRow* due);
  template <class Record, class Kind>
  void Attach_to(Kind& item, const RecordRow& row, Member& member, const DateTime& due);
  template <class Record>
  void Detach(const RecordRow& row);
  // The stored item a loan or hold row names, or none.
  Lendable* Item_named(const RecordRow& row);

  MemberList _members;
  BookList _books;
  CdList _cds;
  JournalList _journals;
  VideoList _videos;
  LoanList _loans;
  HoldList _holds;
  Member _blank_member;
  // Every record made, never moved and never destroyed before the Holdings.
  std::deque<Loan> _loan_records;
  std::deque<Hold> _hold_records;
  // The stored members and items by key.
  std::unordered_map<RecordKey, Member*> _member_keys;
  std::unordered_map<RecordKey, Book*> _book_keys;
  std::unordered_map<RecordKey, Cd*> _cd_keys;
  std::unordered_map<RecordKey, Journal*> _journal_keys;
  std::unordered_map<RecordKey, Video*> _video_keys;
};

#endif  // SHELVORANQUIST_CIRCULATION_HOLDINGS_H_
