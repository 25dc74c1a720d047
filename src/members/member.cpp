#include "members/member.h"

#include <algorithm>
#include <iostream>
#include <utility>

#include "catalogue/lendable.h"

namespace {

// Writes one entry per record, all on one line, then the line end.
template <class Record, class Item_of>
void Print_entries(const std::vector<Record>& records, const char* label, Item_of item_of,
                   const DateTime& now) {
  for (const Record& record : records) {
    const Lendable& item = *item_of(record);
    std::cout << label << item.Call_number() << ' ' << item.Title() << ' ' << "Due date :";
    item.Due().Print();
    if (item.Is_overdue_at(now)) std::cout << "  OVERDUE!";
  }
  std::cout << std::endl;
}

}  // namespace

Member::Member(std::string name, std::string address, std::string phone_number,
               std::string email_address, int library_number)
    : _name(std::move(name)),
      _address(std::move(address)),
      _phone_number(std::move(phone_number)),
      _email_address(std::move(email_address)),
      _library_number(library_number) {}

void Member::Remove_loan(const Lendable& item) {
  std::erase_if(_loans, [&item](const Loan& loan) { return loan.Borrowed_item() == &item; });
}

void Member::Remove_hold(const Lendable& item) {
  std::erase_if(_holds, [&item](const Hold& hold) { return hold.Held_item() == &item; });
}

bool Member::Has_overdue_loan() const {
  if (_loans.empty()) return false;
  const DateTime now = DateTime::Now();
  return std::any_of(_loans.begin(), _loans.end(),
                     [&now](const Loan& loan) { return loan.Borrowed_item()->Is_overdue_at(now); });
}

void Member::Print_details() const {
  const DateTime now = DateTime::Now();
  std::cout << "===================" << std::endl;
  std::cout << "MEMBER         : " << _name << std::endl;
  std::cout << "Address        : " << _address << std::endl;
  std::cout << "Phone Number   : " << _phone_number << std::endl;
  std::cout << "E_Mail Address : " << _email_address << std::endl;
  std::cout << "Library Number : " << _library_number << std::endl << std::endl;
  Print_entries(
      _loans, "Books borrowed = ", [](const Loan& loan) { return loan.Borrowed_item(); }, now);
  Print_entries(
      _holds, "Books hold     = ", [](const Hold& hold) { return hold.Held_item(); }, now);
  std::cout << "===================" << std::endl;
}
