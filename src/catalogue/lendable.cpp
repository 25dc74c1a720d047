#include "catalogue/lendable.h"

#include <iostream>
#include <utility>

#include "base/check.h"
#include "circulation/hold.h"
#include "circulation/loan.h"
#include "members/member.h"

Lendable::Lendable(const char* kind_word, std::string call_number, std::string title, int loan_days)
    : Item(std::move(call_number), std::move(title)),
      _kind_word(kind_word),
      _loan_days(loan_days) {}

const std::string& Lendable::Borrower_name() const {
  SHELVORANQUIST_CHECK(Is_on_loan(), "only an item on loan has a borrower");
  return _loan->Borrower()->Name();
}

void Lendable::Write_return_notices() const {
  if (Is_on_hold()) {
    const Member& holder = *_hold->Holder();
    std::cout << "PLEASE HOLD THIS " << _kind_word << " FOR 48 HOURS IN LIBRARY!" << std::endl;
    std::cout << "And notify member " << holder.Library_number() << ' ' << holder.Name()
              << std::endl;
  }
  if (Is_overdue()) std::cout << _kind_word << " LOAN OVERDUE !" << std::endl;
}
