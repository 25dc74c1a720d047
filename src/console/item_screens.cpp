#include <concepts>
#include <iostream>
#include <string>

#include "console/heading.h"
#include "console/library.h"

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
  _storage.Item_added(
      _book_list.Add(std::move(call_number), std::move(title), std::move(author), loan_days));
}

void Library::Add_cd() {
  Write_heading("ADD NEW CD", 10);
  std::cout << std::endl;
  std::string call_number = _dialogue.Text("Barcode: ", field_limit::bar_code);
  std::string title = _dialogue.Text("Title: ", field_limit::title);
  std::string artist = _dialogue.Text("Artist: ", field_limit::creator);
  std::string play_time = _dialogue.Text("Play Time: ", field_limit::play_time);
  const int loan_days = Ask_loan_length("CD's loan length (days): ");
  _storage.Item_added(_cd_list.Add(std::move(call_number), std::move(title), std::move(artist),
                                   std::move(play_time), loan_days));
}

void Library::Add_journal() {
  Write_heading("ADD NEW JOURNAL", 15);
  std::cout << std::endl;
  std::string call_number = _dialogue.Text("Barcode: ", field_limit::bar_code);
  std::string title = _dialogue.Text("Title: ", field_limit::title);
  std::string editor = _dialogue.Text("Editor: ", field_limit::creator);
  std::string table_of_contents =
      _dialogue.Text("Table of content: ", field_limit::table_of_contents);
  _storage.Item_added(_journal_list.Add(std::move(call_number), std::move(title), std::move(editor),
                                        std::move(table_of_contents)));
}

void Library::Add_video() {
  Write_heading("ADD NEW VIDEO", 12);
  std::cout << std::endl;
  std::string call_number = _dialogue.Text("Barcode: ", field_limit::bar_code);
  std::string title = _dialogue.Text("Title: ", field_limit::title);
  std::string director = _dialogue.Text("Director: ", field_limit::creator);
  std::string rating = _dialogue.Text("Rating: ", field_limit::rating);
  const int loan_days = Ask_loan_length("Video's loan length (days): ");
  _storage.Item_added(_video_list.Add(std::move(call_number), std::move(title), std::move(director),
                                      std::move(rating), loan_days));
}

namespace {

// Removes the item found by the remove screen from its collection, and says so.
template <class Kind, class List>
void Remove_stored(Kind* item, const char* kind_word, List& list, Storage& storage) {
  if (item == nullptr) return;
  if constexpr (std::derived_from<Kind, Lendable>) {
    // Records name their item: removing one on loan or on hold would leave them dangling.
    if (item->Is_on_loan() or item->Is_on_hold()) {
      std::cout << kind_word << " IS ON LOAN OR ON HOLD AND CANNOT BE REMOVED!" << std::endl;
      return;
    }
  }
  storage.Item_removed(*item);
  list.Remove(*item);
  std::cout << kind_word << " HAS BEEN REMOVED!" << std::endl;
}

}  // namespace

void Library::Remove_item() {
  const std::string call_number =
      _dialogue.Text("READING BARCODE OF THE ITEM TO BE DELETED: ", field_limit::bar_code);
  _selected_book = _book_list.Find_by_call_number(call_number);
  _selected_journal = _journal_list.Find_by_call_number(call_number);
  _selected_cd = _cd_list.Find_by_call_number(call_number);
  _selected_video = _video_list.Find_by_call_number(call_number);
  if (_selected_book == nullptr and _selected_journal == nullptr and _selected_cd == nullptr and
      _selected_video == nullptr) {
    std::cout << "ITEM NOT FOUND!" << std::endl;
    return;
  }
  Remove_stored(_selected_book, "BOOK", _book_list, _storage);
  Remove_stored(_selected_journal, "JOURNAL", _journal_list, _storage);
  Remove_stored(_selected_cd, "CD", _cd_list, _storage);
  Remove_stored(_selected_video, "VIDEO", _video_list, _storage);
  _selected_book = nullptr;
  _selected_journal = nullptr;
  _selected_cd = nullptr;
  _selected_video = nullptr;
}

void Library::Select_item() {
  Write_heading("SELECT ITEM", 13);
  const std::string call_number =
      _dialogue.Text("Please enter the bar code number : ", field_limit::bar_code);
  _selected_book = _book_list.Find_by_call_number(call_number);
  _selected_cd = _cd_list.Find_by_call_number(call_number);
  _selected_video = _video_list.Find_by_call_number(call_number);
  if (_selected_book == nullptr and _selected_cd == nullptr and _selected_video == nullptr) {
    std::cout << "ITEM NOT FOUND!" << std::endl;
  }
}
