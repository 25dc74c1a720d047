#include "catalogue/book.h"
#include "catalogue/cd.h"
#include "catalogue/video.h"
#include "circulation/hold_list.h"
#include "circulation/loan_list.h"

namespace {

// Removes the entry at `entry`, which must point into `entries` or be none.
template <class Record>
void Remove_entry(std::vector<Record>& entries, const Record* entry) {
  if (entry == nullptr) return;
  entries.erase(entries.begin() + (entry - entries.data()));
}

}  // namespace

const Loan* LoanList::Find_loan_of(const Lendable& item) const {
  for (const Loan& entry : _entries) {
    if (entry.Borrowed_item() == &item) return &entry;
  }
  return nullptr;
}

const Loan* LoanList::Find_book_loan(const Book& book, const Member&) const {
  return Find_loan_of(book);
}

const Loan* LoanList::Find_cd_loan(const Cd& cd, const Member&) const { return Find_loan_of(cd); }

const Loan* LoanList::Find_video_loan(const Video& video, const Member&) const {
  return Find_loan_of(video);
}

void LoanList::Remove(const Loan* entry) { Remove_entry(_entries, entry); }

const Hold* HoldList::Find_hold_of(const Lendable& item, const Member& member) const {
  for (const Hold& entry : _entries) {
    if (entry.Held_item() == &item and entry.Holder() == &member) return &entry;
  }
  return nullptr;
}

const Hold* HoldList::Find_book_hold(const Book& book, const Member& member) const {
  return Find_hold_of(book, member);
}

const Hold* HoldList::Find_cd_hold(const Cd& cd, const Member& member) const {
  return Find_hold_of(cd, member);
}

const Hold* HoldList::Find_video_hold(const Video& video, const Member& member) const {
  return Find_hold_of(video, member);
}

void HoldList::Remove(const Hold* entry) { Remove_entry(_entries, entry); }
