#include <iostream>
#include <optional>
#include <string>

#include "console/heading.h"
#include "console/library.h"

void Library::Add_member() {
  Write_heading("ADD NEW MEMBER", 14);
  std::cout << std::endl;
  std::string name = _dialogue.Text("Name: ", field_limit::name);
  std::string address = _dialogue.Text("Address: ", field_limit::address);
  std::string phone_number = _dialogue.Text("Phone number: ", field_limit::phone_number);
  std::string email_address = _dialogue.Word("E-mail address: ", field_limit::email_address);
  const int library_number = _dialogue.Number("Library number: ");
  Record(MemberAdded{MemberRow{.name = std::move(name),
                               .address = std::move(address),
                               .phone_number = std::move(phone_number),
                               .email_address = std::move(email_address),
                               .library_number = library_number}});
}

void Library::Select_search_member() {
  Write_heading("SELECT/SEARCH MEMBER", 20);
  for (const char* row :
       {"1. Select member through library card number", "2. Select member through name",
        "3, Search member through library card number", "4, Search member through name",
        "5, Back to main menu "}) {
    std::cout << row << std::endl;
  }
  const std::optional<int> choice = _dialogue.Choice("Selection : ");
  std::cout << std::endl;
  if (not choice or *choice < 1 or *choice > 4) return;

  const bool by_number = *choice == 1 or *choice == 3;
  if (by_number) {
    _selected_member =
        _holdings.Members().Find_by_number(_dialogue.Number("Library card number : "));
  } else {
    _selected_member =
        _holdings.Members().Find_by_name(_dialogue.Text("Member's name : ", field_limit::name));
  }
  const bool show_details = *choice >= 3;
  if (show_details) Display_member_details();
  if (_selected_member == nullptr) std::cout << "MEMBER NOT FOUND!" << std::endl;
}

void Library::Display_member_details() {
  if (_selected_member == nullptr) {
    std::cout << "A MEMBER MUST BE SELECTED BEFORE BORROW AN ITEM!" << std::endl;
    return;
  }
  _selected_member->Print_details();
}

void Library::Delete_member() {
  if (_selected_member == nullptr) {
    std::cout << "A MEMBER MUST BE SELECTED BEFORE REMOVE THE MEMBER!" << std::endl;
    return;
  }
  if (not _holdings.Members().Contains(_selected_member)) {
    std::cout << "MEMBER NOT FOUND!" << std::endl;
    return;
  }
  // Loans and holds name their member: removing one with records would leave them dangling.
  if (_selected_member->Has_loans_or_holds()) {
    std::cout << "MEMBER HAS ITEMS ON LOAN OR ON HOLD AND CANNOT BE REMOVED!" << std::endl;
    return;
  }
  Record(MemberRemoved{_selected_member->Key()});
  _selected_member = nullptr;
}
