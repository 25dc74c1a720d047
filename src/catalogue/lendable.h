#ifndef SHELVORANQUIST_CATALOGUE_LENDABLE_H_
#define SHELVORANQUIST_CATALOGUE_LENDABLE_H_

#include <string>

#include "calendar/date_time.h"
#include "catalogue/item.h"

class Loan;
class Hold;

// The circulation state that books, CDs and videos share: the current loan and hold, the loan
// length and the due stamp, which tells when the current loan falls due or the current hold
// lapses. Loan and hold are independent: an item can be on loan, on hold, both or neither.
//
// The operations refuse nothing; the transactions decide what is allowed. The records belong to
// the circulation and must outlive their attachment here; a copy of the item refers to the same
// records and carries an equal, independent due stamp.
class Lendable : public Item {
 public:
  // The stamp of an item never lent or held: a minute so far ahead that it never passes.
  static DateTime Initial_stamp() { return DateTime(9999, 1, 1, 1, 1); }

  int Loan_days() const { return _loan_days; }
  const DateTime& Due() const { return _due; }
  // The current loan or hold, or none.
  const Loan* Loan_record() const { return _loan; }
  const Hold* Hold_record() const { return _hold; }

  // The name of the member the item is lent to. Only while on loan.
  const std::string& Borrower_name() const;

  bool Is_on_loan() const { return _loan != nullptr; }
  bool Is_on_hold() const { return _hold != nullptr; }
  // Whether the due stamp has passed: from the minute after it, on loan or not.
  bool Is_overdue() const { return _due.Has_passed(); }
  // The same against a reading of the clock that the caller made once for many items.
  bool Is_overdue_at(const DateTime& now) const { return _due.Is_earlier_than(now); }

  // The due stamp a loan made now would set: now plus the loan length.
  DateTime Due_when_lent() const { return DateTime::Now_plus_days(_loan_days); }
  // The due stamp a hold placed now would set: now plus 2 days when on loan, else plus 1 day.
  DateTime Due_when_held() const { return DateTime::Now_plus_days(Is_on_loan() ? 2 : 1); }

  // Attaches `loan` and sets the due stamp.
  void Lend(const Loan& loan, const DateTime& due) {
    _due = due;
    _loan = &loan;
  }
  // Writes the return notices: the hold notice and the holder to notify when on hold, the
  // overdue line when overdue.
  void Write_return_notices() const;
  // Detaches the loan; stamp and hold stay as they are.
  void Take_back() { _loan = nullptr; }
  // Attaches `hold` and sets the due stamp.
  void Place_hold(const Hold& hold, const DateTime& due) {
    _due = due;
    _hold = &hold;
  }
  void Clear_hold() { _hold = nullptr; }
  // Puts back the due stamp an earlier run kept. The clock is not read and nothing is written.
  void Set_due(const DateTime& due) { _due = due; }

  // The kind as the circulation's messages name it: "BOOK", "CD" or "VIDEO".
  const char* Kind_word() const { return _kind_word; }

 protected:
  explicit Lendable(const char* kind_word) : _kind_word(kind_word) {}
  Lendable(const char* kind_word, std::string call_number, std::string title, int loan_days);

 private:
  const char* _kind_word;
  int _loan_days = 0;
  DateTime _due = Initial_stamp();
  const Loan* _loan = nullptr;
  const Hold* _hold = nullptr;
};

#endif  // SHELVORANQUIST_CATALOGUE_LENDABLE_H_
