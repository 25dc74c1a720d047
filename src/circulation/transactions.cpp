// The borrow, return, hold and cancel-hold transactions of the Library. Each acts on the
// selected member and the selected item of one kind; a success changes the item, the members'
// lists and the register together, and a refusal changes nothing.

#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>

#include "console/library.h"

namespace {

// "BORROWER CANNOT <action> THIS <KIND> BECAUSE : " and, indented, "THIS <KIND> <reason> !".
void Write_refusal(std::string_view action, const Lendable& item, std::string_view reason,
                   std::size_t indent) {
  std::cout << "BORROWER CANNOT " << action << " THIS " << item.Kind_word()
            << " BECAUSE : " << std::endl;
  std::cout << std::string(indent, ' ') << "THIS " << item.Kind_word() << ' ' << reason << " !"
            << std::endl;
}

constexpr std::size_t borrow_indent = 23;
constexpr std::size_t cancel_indent = 32;

}  // namespace

template <class Kind>
const auto& Library::Collection_of() const {
  if constexpr (std::is_same_v<Kind, Book>) {
    return _holdings.Books();
  } else if constexpr (std::is_same_v<Kind, Cd>) {
    return _holdings.Cds();
  } else {
    static_assert(std::is_same_v<Kind, Video>);
    return _holdings.Videos();
  }
}

void Library::Run_transaction(std::string_view no_member_message, Operation book, Operation cd,
                              Operation video) {
  if (_selected_member == nullptr) {
    std::cout << no_member_message << std::endl;
    return;
  }
  if (_selected_book == nullptr and _selected_cd == nullptr and _selected_video == nullptr) {
    std::cout << "ITEM NOT FOUND!" << std::endl;
    return;
  }
  if (_selected_book != nullptr) (this->*book)();
  if (_selected_cd != nullptr) (this->*cd)();
  if (_selected_video != nullptr) (this->*video)();
  _selected_book = nullptr;
  _selected_cd = nullptr;
  _selected_video = nullptr;
}

void Library::Borrow_item() {
  Run_transaction("A MEMBER MUST BE SELECTED BEFORE BORROW AN ITEM!", &Library::Borrow_book,
                  &Library::Borrow_cd, &Library::Borrow_video);
}

void Library::Return_item() {
  Run_transaction("A MEMBER MUST BE SELECTED BEFORE RETURN AN ITEM!", &Library::Return_book,
                  &Library::Return_cd, &Library::Return_video);
}

void Library::Hold_item() {
  Run_transaction("A MEMBER MUST BE SELECTED BEFORE HOLD AN ITEM!", &Library::Hold_book,
                  &Library::Hold_cd, &Library::Hold_video);
}

void Library::Cancel_hold_item() {
  Run_transaction("A MEMBER MUST BE SELECTED BEFORE CANCEL THE HOLD FOR AN ITEM!",
                  &Library::Cancel_hold_book, &Library::Cancel_hold_cd,
                  &Library::Cancel_hold_video);
}

void Library::Borrow_book() { Borrow(*_selected_book); }
void Library::Borrow_cd() { Borrow(*_selected_cd); }
void Library::Borrow_video() { Borrow(*_selected_video); }
void Library::Return_book() { Return(*_selected_book); }
void Library::Return_cd() { Return(*_selected_cd); }
void Library::Return_video() { Return(*_selected_video); }
void Library::Hold_book() { Place_hold(_selected_book); }
void Library::Hold_cd() { Place_hold(_selected_cd); }
void Library::Hold_video() { Place_hold(_selected_video); }
void Library::Cancel_hold_book() { Cancel_hold(*_selected_book); }
void Library::Cancel_hold_cd() { Cancel_hold(*_selected_cd); }
void Library::Cancel_hold_video() { Cancel_hold(*_selected_video); }

template <class Kind>
bool Library::Offer_same_title(const Kind& item) {
  std::cout << "SIMILAR TITLE THAT AVAILABLE IN LIBRARY : " << std::endl;
  const auto copies = Collection_of<Kind>().Available_by_title(item.Title());
  if (copies) copies->List_all();
  return copies.has_value();
}

template <class Kind>
void Library::Refuse_borrow(const Kind& item, std::string_view reason) {
  Write_refusal("BORROW", item, reason, borrow_indent);
  if (not Offer_same_title(item)) {
    std::cout << "ERROR! ALL COPIES OF THIS " << item.Kind_word() << " ARE CURRENTLY ON HOLD!"
              << std::endl;
  }
}

template <class Kind>
void Library::Borrow(Kind& item) {
  Member& member = *_selected_member;
  if (item.Is_on_loan()) {
    Refuse_borrow(item, "BORROWED BY OTHER MEMBER");
  } else if (member.Has_overdue_loan()) {
    std::cout << "PLEASE RETURN OVERDUE ITEM BEFORE BORROW ANOTHER ITEM!" << std::endl;
  } else if (not item.Is_on_hold() or item.Hold_record()->Holder()->Name() == member.Name()) {
    // The holder is recognised by name, as the desk always has; the hold ends wherever it
    // actually is.
    Lend(item, member);
  } else {
    Refuse_borrow(item, "HOLD BY OTHER MEMBER");
  }
}

template <class Kind>
void Library::Lend(Kind& item, Member& member) {
  const Hold* const ended_hold = item.Hold_record();
  const DateTime due = item.Due_when_lent();
  Change change =
      LoanMade{.loan = _holdings.Record_row(item, member),
               .due = Holdings::Stamp_row(due),
               .ended_hold = ended_hold == nullptr ? std::nullopt
                                                   : std::optional<RecordKey>(ended_hold->Key())};
  _storage.Keep(change);
  _holdings.Keep_loan(item, member, std::get<LoanMade>(change).loan.key, due);
  // A video loan is silent. The details still show the hold that ends with the loan.
  if constexpr (not std::is_same_v<Kind, Video>) member.Print_details();
  if (ended_hold != nullptr) _holdings.End_hold(item);
}

template <class Kind>
void Library::Return(Kind& item) {
  if (not item.Is_on_loan()) {
    Write_refusal("RETURN", item, "IS NOT ON LOAN", borrow_indent);
    return;
  }
  // The loan ends for its actual borrower, whoever is selected. It is kept before the return
  // notices are written.
  const Loan& loan = *item.Loan_record();
  Change change = LoanEnded{_holdings.Record_row(item, *loan.Borrower(), loan.Key())};
  _storage.Keep(change);
  item.Write_return_notices();
  _holdings.End_loan(item);
  _selected_member->Print_details();
}

template <class Kind>
void Library::Place_hold(Kind* item) {
  if (_selected_member == nullptr) {
    std::cout << "A MEMBER MUST BE SELECTED BEFORE HOLD AN ITEM!" << std::endl;
    return;
  }
  if (item == nullptr) return;
  Member& member = *_selected_member;
  if (item->Is_on_hold()) {
    std::cout << "ERROR! " << item->Kind_word() << " HOLD BY OTHER MEMBER !" << std::endl;
    // With no copy left this message has no line end: the next output continues its line.
    if (not Offer_same_title(*item)) std::cout << "ERROR! ALL COPIES ARE CURRENTLY ON HOLD!";
    return;
  }
  if (member.Has_overdue_loan()) {
    std::cout << "PLEASE RETURN OVERDUE ITEM BEFORE HOLD AN ITEM!" << std::endl;
    return;
  }
  const DateTime due = item->Due_when_held();
  Change change = HoldPlaced{_holdings.Record_row(*item, member), Holdings::Stamp_row(due)};
  _storage.Keep(change);
  _holdings.Keep_hold(*item, member, std::get<HoldPlaced>(change).hold.key, due);
  member.Print_details();
}

template <class Kind>
void Library::Cancel_hold(Kind& item) {
  if (not item.Is_on_hold()) {
    Write_refusal("CANCEL HOLD FOR", item, "IS NOT ON HOLD", cancel_indent);
    return;
  }
  // The hold ends for its actual holder, whoever is selected.
  const Hold& hold = *item.Hold_record();
  Change change = HoldEnded{_holdings.Record_row(item, *hold.Holder(), hold.Key())};
  _storage.Keep(change);
  _holdings.End_hold(item);
  _selected_member->Print_details();
}
