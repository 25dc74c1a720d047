#include <concepts>
#include <iostream>
#include <string>

#include "console/heading.h"
#include "console/library.h"

namespace {

// The row of an item as the add screens make it: never lent or held, with the initial stamp.
ItemRow New_item(std::string bar_code, std::string title, std::string creator, std::string detail,
                 int loan_days) {
  return ItemRow{.bar_code = std::move(bar_code),
                 .title = std::move(title),
                 .creator = std::move(creator),
                 .detail = std::move(detail),
                 .loan_days = loan_days,
                 .due = Holdings::Stamp_row(Lendable::Initial_stamp())};
}

}  // namespace

int Library::Ask_loan_length(std::string_view prompt) {
  return _dialogue.Non_negative_number(prompt, "LOAN LENGTH MUST BE 0 DAYS OR MORE!");
}

void Library::Add_book() {
  Write_heading("ADD NEW BOOK", 12);
  std::cout << std::endl;
  std::string call_number = _dialogue.Text("Barcode: ", field_limit::bar_code);
  std::string title = _dialogue.Text("Title: ", field_limit::title);
  std::string author = _dialogue.Text("Author: ", field_limit::creator);
  const int loan_days = Ask_loan_length("Book's loan length (days): ");
  Record(ItemAdded{ItemKind::book, New_item(std::move(call_number), std::move(title),
                                            std::move(author), "", loan_days)});
}

void Library::Add_cd() {
  Write_heading("ADD NEW CD", 10);
  std::cout << std::endl;
  std::string call_number = _dialogue.Text("Barcode: ", field_limit::bar_code);
  std::string title = _dialogue.Text("Title: ", field_limit::title);
  std::string artist = _dialogue.Text("Artist: ", field_limit::creator);
  std::string play_time = _dialogue.Text("Play Time: ", field_limit::play_time);
  const int loan_days = Ask_loan_length("CD's loan length (days): ");
  Record(ItemAdded{ItemKind::cd, New_item(std::move(call_number), std::move(title),
                                          std::move(artist), std::move(play_time), loan_days)});
}

void Library::Add_journal() {
  Write_heading("ADD NEW JOURNAL", 15);
  std::cout << std::endl;
  std::string call_number = _dialogue.Text("Barcode: ", field_limit::bar_code);
  std::string title = _dialogue.Text("Title: ", field_limit::title);
  std::string editor = _dialogue.Text("Editor: ", field_limit::creator);
  std::string table_of_contents =
      _dialogue.Text("Table of content: ", field_limit::table_of_contents);
  Record(
      ItemAdded{ItemKind::journal, New_item(std::move(call_number), std::move(title),
                                            std::move(editor), std::move(table_of_contents), 0)});
}

void Library::Add_video() {
  Write_heading("ADD NEW VIDEO", 12);
  std::cout << std::endl;
  std::string call_number = _dialogue.Text("Barcode: ", field_limit::bar_code);
  std::string title = _dialogue.Text("Title: ", field_limit::title);
  std::string director = _dialogue.Text("Director: ", field_limit::creator);
  std::string rating = _dialogue.Text("Rating: ", field_limit::rating);
  const int loan_days = Ask_loan_length("Video's loan length (days): ");
  Record(ItemAdded{ItemKind::video, New_item(std::move(call_number), std::move(title),
                                             std::move(director), std::move(rating), loan_days)});
}

namespace {

// Whether the item found by the remove screen may be removed; says so when it may not.
template <class Kind>
bool Removable(const Kind& item, const char* kind_word) {
  if constexpr (std::derived_from<Kind, Lendable>) {
    // Records name their item: removing one on loan or on hold would leave them dangling.
    if (item.Is_on_loan() or item.Is_on_hold()) {
      std::cout << kind_word << " IS ON LOAN OR ON HOLD AND CANNOT BE REMOVED!" << std::endl;
      return false;
    }
  }
  return true;
}

}  // namespace

void Library::Remove_item() {
  const std::string call_number =
      _dialogue.Text("READING BARCODE OF THE ITEM TO BE DELETED: ", field_limit::bar_code);
  _selected_book = _holdings.Books().Find_by_call_number(call_number);
  _selected_journal = _holdings.Journals().Find_by_call_number(call_number);
  _selected_cd = _holdings.Cds().Find_by_call_number(call_number);
  _selected_video = _holdings.Videos().Find_by_call_number(call_number);
  if (_selected_book == nullptr and _selected_journal == nullptr and _selected_cd == nullptr and
      _selected_video == nullptr) {
    std::cout << "ITEM NOT FOUND!" << std::endl;
    return;
  }
  Remove_stored(_selected_book, ItemKind::book, "BOOK");
  Remove_stored(_selected_journal, ItemKind::journal, "JOURNAL");
  Remove_stored(_selected_cd, ItemKind::cd, "CD");
  Remove_stored(_selected_video, ItemKind::video, "VIDEO");
  _selected_book = nullptr;
  _selected_journal = nullptr;
  _selected_cd = nullptr;
  _selected_video = nullptr;
}

template <class Kind>
void Library::Remove_stored(const Kind* item, ItemKind kind, const char* kind_word) {
  if (item == nullptr or not Removable(*item, kind_word)) return;
  Record(ItemRemoved{kind, item->Key()});
  std::cout << kind_word << " HAS BEEN REMOVED!" << std::endl;
}

void Library::Select_item() {
  Write_heading("SELECT ITEM", 13);
  const std::string call_number =
      _dialogue.Text("Please enter the bar code number : ", field_limit::bar_code);
  _selected_book = _holdings.Books().Find_by_call_number(call_number);
  _selected_cd = _holdings.Cds().Find_by_call_number(call_number);
  _selected_video = _holdings.Videos().Find_by_call_number(call_number);
  if (_selected_book == nullptr and _selected_cd == nullptr and _selected_video == nullptr) {
    std::cout << "ITEM NOT FOUND!" << std::endl;
  }
}
