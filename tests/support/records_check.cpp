#include "support/records_check.h"

#include <algorithm>
#include <map>
#include <set>

namespace {

// Where the records of one kind live, for loans and for holds alike.
struct LoanRecords {
  using Record = Loan;
  static constexpr const char* what = "loan";
  static const Lendable* Item_of(const Loan& loan) { return loan.Borrowed_item(); }
  static const Member* Member_of(const Loan& loan) { return loan.Borrower(); }
  static const Loan* Current(const Lendable& item) { return item.Loan_record(); }
  static const std::vector<Loan>& Of(const Member& member) { return member.Loans(); }
  static const std::vector<Loan>& Register(const Library& library) {
    return library.Loans().Entries();
  }
};

struct HoldRecords {
  using Record = Hold;
  static constexpr const char* what = "hold";
  static const Lendable* Item_of(const Hold& hold) { return hold.Held_item(); }
  static const Member* Member_of(const Hold& hold) { return hold.Holder(); }
  static const Hold* Current(const Lendable& item) { return item.Hold_record(); }
  static const std::vector<Hold>& Of(const Member& member) { return member.Holds(); }
  static const std::vector<Hold>& Register(const Library& library) {
    return library.Holds().Entries();
  }
};

// What the check knows of the library: its stored lendable items and every member, the blank
// one included.
struct Stock {
  std::set<const Lendable*> items;
  std::vector<const Member*> members;
};

std::string Describe(const Lendable& item) {
  return std::string(item.Kind_word()) + " '" + item.Call_number() + "'";
}

// Whether `record`, found in `where`, is its item's current record; `expected_member`, when
// given, is the member whose list it was found in.
template <class Records>
bool Is_current(const Stock& stock, const typename Records::Record& record,
                const Member* expected_member, const std::string& where,
                std::vector<std::string>& faults) {
  const Lendable* item = Records::Item_of(record);
  const std::string what = Records::what;
  if (stock.items.count(item) == 0) {
    faults.push_back(where + " holds a " + what + " of an item no collection has");
    return false;
  }
  const typename Records::Record* current = Records::Current(*item);
  if (current == nullptr or Records::Member_of(*current) != Records::Member_of(record) or
      Records::Item_of(*current) != item) {
    faults.push_back(where + " holds a " + what + " of " + Describe(*item) +
                     " that is not its current one");
    return false;
  }
  if (expected_member != nullptr and Records::Member_of(record) != expected_member) {
    faults.push_back(where + " holds a " + what + " of " + Describe(*item) + " for another member");
    return false;
  }
  return true;
}

// Checks the loans or the holds: each item's current record is in exactly one member's list
// and once in the register, and no list holds any other.
template <class Records>
void Check_records(const Library& library, const Stock& stock, std::vector<std::string>& faults) {
  const std::string what = Records::what;
  std::map<const Lendable*, int> in_member_lists;
  std::map<const Lendable*, int> in_register;
  for (const Member* member : stock.members) {
    const std::string where = "member " + std::to_string(member->Library_number());
    for (const auto& record : Records::Of(*member)) {
      if (Is_current<Records>(stock, record, member, where, faults)) {
        ++in_member_lists[Records::Item_of(record)];
      }
    }
  }
  for (const auto& entry : Records::Register(library)) {
    if (Is_current<Records>(stock, entry, nullptr, "the register", faults)) {
      ++in_register[Records::Item_of(entry)];
    }
  }
  for (const Lendable* item : stock.items) {
    const typename Records::Record* record = Records::Current(*item);
    if (record == nullptr) continue;
    if (Records::Item_of(*record) != item) {
      faults.push_back(Describe(*item) + " carries a " + what + " of another item");
    }
    if (std::count(stock.members.begin(), stock.members.end(), Records::Member_of(*record)) == 0) {
      faults.push_back(Describe(*item) + " has a " + what + " for a member who is not registered");
    }
    if (in_member_lists[item] != 1 or in_register[item] != 1) {
      faults.push_back(Describe(*item) + "'s " + what + " is in " +
                       std::to_string(in_member_lists[item]) + " member lists and " +
                       std::to_string(in_register[item]) + " register entries");
    }
  }
}

template <class List>
void Collect(const List& list, std::set<const Lendable*>& items) {
  for (int position = 0; position < list.Count(); ++position) items.insert(&list.At(position));
}

template <class List, class Kind>
void Check_selection(const List& list, const Kind* selection, const char* name,
                     std::vector<std::string>& faults) {
  if (selection != nullptr and not list.Contains(selection)) {
    faults.push_back(std::string("the selected ") + name + " is not in its collection");
  }
}

}  // namespace

std::vector<std::string> Record_faults(const Library& library) {
  Stock stock;
  Collect(library.Books(), stock.items);
  Collect(library.Cds(), stock.items);
  Collect(library.Videos(), stock.items);
  stock.members.push_back(&library.Blank_member());
  for (int position = 0; position < library.Members().Count(); ++position) {
    stock.members.push_back(&library.Members().At(position));
  }

  std::vector<std::string> faults;
  Check_records<LoanRecords>(library, stock, faults);
  Check_records<HoldRecords>(library, stock, faults);

  const Member* selected_member = library.Selected_member();
  if (selected_member != nullptr and selected_member != &library.Blank_member() and
      not library.Members().Contains(selected_member)) {
    faults.push_back("the selected member is not registered");
  }
  Check_selection(library.Books(), library.Selected_book(), "book", faults);
  Check_selection(library.Cds(), library.Selected_cd(), "CD", faults);
  Check_selection(library.Journals(), library.Selected_journal(), "journal", faults);
  Check_selection(library.Videos(), library.Selected_video(), "video", faults);
  return faults;
}
