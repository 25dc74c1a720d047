#ifndef SHELVORANQUIST_STORAGE_HOLDINGS_H_
#define SHELVORANQUIST_STORAGE_HOLDINGS_H_

#include <deque>

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

// Everything one desk holds, as a load fills it: the member register, the four collections, the
// two circulation registers, the blank start-up member and the stores in which loan and hold
// records live for the whole run. The referenced objects belong to the desk and outlive the
// load; they are empty (and the blank member has no records) when a load begins.
struct Holdings {
  MemberList& members;
  BookList& books;
  CdList& cds;
  JournalList& journals;
  VideoList& videos;
  LoanList& loans;
  HoldList& holds;
  Member& blank_member;
  std::deque<Loan>& loan_records;
  std::deque<Hold>& hold_records;
};

#endif  // SHELVORANQUIST_STORAGE_HOLDINGS_H_
