#ifndef SHELVORANQUIST_MEMBERS_MEMBER_H_
#define SHELVORANQUIST_MEMBERS_MEMBER_H_

#include <cstdint>
#include <string>
#include <vector>

#include "circulation/hold.h"
#include "circulation/loan.h"

class Lendable;

// A registered member: the texts typed when the member was added, the library card number, and
// the member's own copies of the records of its current loans and holds, in the order they were
// made. The copies name the same item and member objects as the circulation's records.
class Member {
 public:
  // The blank member: empty texts, card number 0, no loans and no holds.
  Member() = default;
  Member(std::string name, std::string address, std::string phone_number, std::string email_address,
         int library_number);

  const std::string& Name() const { return _name; }
  const std::string& Address() const { return _address; }
  const std::string& Phone_number() const { return _phone_number; }
  const std::string& Email_address() const { return _email_address; }
  int Library_number() const { return _library_number; }
  // The key of the member's record in the storage; set once, when the member is registered.
  // The blank member has none and keeps 0.
  std::int64_t Key() const { return _key; }
  void Set_key(std::int64_t key) { _key = key; }

  const std::vector<Loan>& Loans() const { return _loans; }
  const std::vector<Hold>& Holds() const { return _holds; }
  bool Has_loans_or_holds() const { return not _loans.empty() or not _holds.empty(); }

  void Add_loan(const Loan& loan) { _loans.push_back(loan); }
  void Add_hold(const Hold& hold) { _holds.push_back(hold); }
  // Removes the records of exactly this item object, keeping the order of the others. Another
  // item with the same bar code keeps its records.
  void Remove_loan(const Lendable& item);
  void Remove_hold(const Lendable& item);

  // Whether the stamp of any borrowed item has passed. Holds do not count.
  bool Has_overdue_loan() const;

  // Writes the member details display: the member's texts and card number between lines of 19
  // "=", then all loans on one line and all holds on the next, with their due stamps.
  void Print_details() const;

 private:
  std::string _name;
  std::string _address;
  std::string _phone_number;
  std::string _email_address;
  int _library_number = 0;
  std::int64_t _key = 0;
  std::vector<Loan> _loans;
  std::vector<Hold> _holds;
};

#endif  // SHELVORANQUIST_MEMBERS_MEMBER_H_
