// The consistency check of the circulation records, for tests and the fuzz target.

#include <map>
#include <set>
#include <string>
#include <vector>

#include "console/library.h"

namespace {

// Where one item's current loan or hold is recorded, counted.
struct Copies {
  int in_member_lists = 0;
  int in_register = 0;
};

std::string Describe(const Lendable& item) {
  return std::string(item.Kind_word()) + " '" + item.Call_number() + "'";
}

// Checks one kind of record (loans or holds) against the items' current records.
template <class Record, class Item_of, class Member_of, class Current>
void Check_records(const std::set<const Lendable*>& stored,
                   const std::vector<const Member*>& members,
                   const std::vector<Record>& register_entries, Item_of item_of,
                   Member_of member_of, Current current, const char* what,
                   std::vector<std::string>& faults) {
  std::map<const Lendable*, Copies> copies;
  auto check = [&](const Record& record, const Member* expected_member, const char* where) {
    const Lendable* item = item_of(record);
    if (stored.count(item) == 0) {
      faults.push_back(std::string(where) + " holds a " + what + " of an item no collection has");
      return false;
    }
    const Record* actual = current(*item);
    if (actual == nullptr or member_of(*actual) != member_of(record) or
        item_of(*actual) != item) {
      faults.push_back(std::string(where) + " holds a " + what + " of " + Describe(*item) +
                       " that is not its current one");
      return false;
    }
    if (expected_member != nullptr and member_of(record) != expected_member) {
      faults.push_back(std::string(where) + " holds a " + what + " of " + Describe(*item) +
                       " for another member");
      return false;
    }
    return true;
  };
  for (const Member* member : members) {
    for (const Record& record : [&]() -> const std::vector<Record>& {
           if constexpr (std::is_same_v<Record, Loan>) return member->Loans();
           else return member->Holds();
         }()) {
      const std::string where = "member " + std::to_string(member->Library_number());
      if (check(record, member, where.c_str())) ++copies[item_of(record)].in_member_lists;
    }
  }
  for (const Record& entry : register_entries) {
    if (check(entry, nullptr, "the register")) ++copies[item_of(entry)].in_register;
  }
  for (const Lendable* item : stored) {
    const Record* record = current(*item);
    if (record == nullptr) continue;
    if (item_of(*record) != item) {
      faults.push_back(Describe(*item) + " carries a " + what + " of another item");
    }
    const Member* member = member_of(*record);
    bool member_known = false;
    for (const Member* known : members) member_known = member_known or known == member;
    if (not member_known) {
      faults.push_back(Describe(*item) + " has a " + what + " for a member who is not registered");
    }
    const Copies& count = copies[item];
    if (count.in_member_lists != 1 or count.in_register != 1) {
      faults.push_back(Describe(*item) + "'s " + what + " is in " +
                       std::to_string(count.in_member_lists) + " member lists and " +
                       std::to_string(count.in_register) + " register entries");
    }
  }
}

template <class List>
void Collect(const List& list, std::set<const Lendable*>& stored) {
  for (int position = 0; position < list.Count(); ++position) stored.insert(&list.At(position));
}

template <class List, class Kind>
void Check_selection(const List& list, const Kind* selection, const char* name,
                     std::vector<std::string>& faults) {
  if (selection != nullptr and not list.Contains(selection)) {
    faults.push_back(std::string("the selected ") + name + " is not in its collection");
  }
}

}  // namespace

std::vector<std::string> Library::Record_faults() const {
  std::vector<std::string> faults;
  std::set<const Lendable*> stored;
  Collect(_book_list, stored);
  Collect(_cd_list, stored);
  Collect(_video_list, stored);
  std::vector<const Member*> members{&_blank_member};
  for (int position = 0; position < _member_list.Count(); ++position) {
    members.push_back(&_member_list.At(position));
  }

  Check_records(
      stored, members, _loan_list.Entries(), [](const Loan& loan) { return loan.Borrowed_item(); },
      [](const Loan& loan) { return loan.Borrower(); },
      [](const Lendable& item) { return item.Loan_record(); }, "loan", faults);
  Check_records(
      stored, members, _hold_list.Entries(), [](const Hold& hold) { return hold.Held_item(); },
      [](const Hold& hold) { return hold.Holder(); },
      [](const Lendable& item) { return item.Hold_record(); }, "hold", faults);

  if (_selected_member != nullptr and _selected_member != &_blank_member and
      not _member_list.Contains(_selected_member)) {
    faults.push_back("the selected member is not registered");
  }
  Check_selection(_book_list, _selected_book, "book", faults);
  Check_selection(_cd_list, _selected_cd, "CD", faults);
  Check_selection(_journal_list, _selected_journal, "journal", faults);
  Check_selection(_video_list, _selected_video, "video", faults);
  return faults;
}
