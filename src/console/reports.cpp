// The reports of the main menu: the selected items' details and the borrowers of overdue items.

#include <iostream>

#include "console/heading.h"
#include "console/library.h"

void Library::Display_item_details() {
  if (_selected_book != nullptr) _selected_book->Print_details();
  if (_selected_cd != nullptr) _selected_cd->Print_details();
  if (_selected_video != nullptr) _selected_video->Print_details();
  if (_selected_book == nullptr and _selected_cd == nullptr and _selected_video == nullptr) {
    std::cout << "ITEM NOT FOUND!" << std::endl;
  }
}

void Library::List_overdues() {
  Write_heading("MEMBER WITH OVERDUE ITEM/ITEMS", 30);
  _holdings.Books().List_overdue();
  _holdings.Cds().List_overdue();
  _holdings.Videos().List_overdue();
}
