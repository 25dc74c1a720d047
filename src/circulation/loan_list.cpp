#include "circulation/loan_list.h"

#include "catalogue/book.h"
#include "catalogue/cd.h"
#include "catalogue/video.h"

const Loan* LoanList::Find_loan_of(const Lendable& item) const {
  for (const Loan& entry : _entries) {
    if (entry.Borrowed_item() == &item) return &entry;
  }
  return nullptr;
}

const Loan* LoanList::Find_book_loan(const Book& book, const Member& /*member*/) const {
  return Find_loan_of(book);
}

const Loan* LoanList::Find_cd_loan(const Cd& cd, const Member& /*member*/) const {
  return Find_loan_of(cd);
}

const Loan* LoanList::Find_video_loan(const Video& video, const Member& /*member*/) const {
  return Find_loan_of(video);
}

void LoanList::Remove(const Loan* entry) {
  std::erase_if(_entries, [entry](const Loan& stored) { return &stored == entry; });
}
