#ifndef SHELVORANQUIST_CIRCULATION_LOAN_LIST_H_
#define SHELVORANQUIST_CIRCULATION_LOAN_LIST_H_

#include <vector>

#include "circulation/loan.h"

// The controller's register of current loans, oldest first. Entries are matched by the item
// object itself, so items that share a bar code are told apart.
class LoanList {
 public:
  void Add(const Loan& loan) { _entries.push_back(loan); }

  // The entry of this item's loan, or none. The member takes no part in the match. The result
  // stays valid until the register next changes.
  const Loan* Find_book_loan(const Book& book, const Member& member) const;
  const Loan* Find_cd_loan(const Cd& cd, const Member& member) const;
  const Loan* Find_video_loan(const Video& video, const Member& member) const;
  const Loan* Find_loan_of(const Lendable& item) const;

  // Removes the entry that `entry` designates, as a lookup has just returned it. A pointer to
  // anything but one of this register's entries, none included, removes nothing.
  void Remove(const Loan* entry);

  const std::vector<Loan>& Entries() const { return _entries; }

 private:
  std::vector<Loan> _entries;
};

#endif  // SHELVORANQUIST_CIRCULATION_LOAN_LIST_H_
