#include "console/library.h"

#include <iostream>
#include <optional>
#include <variant>

#include "console/heading.h"
#include "storage/no_storage.h"

namespace {

// Writes `text` padded on the right with spaces to `width` characters, and a line end.
void Write_row(std::string_view text, std::size_t width) {
  std::cout << text;
  if (text.size() < width) std::cout << std::string(width - text.size(), ' ');
  std::cout << std::endl;
}

constexpr std::size_t menu_width = 62;

// The storage of every desk of one run: it keeps nothing, so one serves them all.
Storage& Unkept_records() {
  static NoStorage none;
  return none;
}

void Write_main_menu() {
  std::cout << std::endl;
  for (const char* row : {
           "Shelvoranquist",
           "==============",
           "Please select from the following :",
           " 1. Add a new member                8. Return item",
           " 2. Select/search member            9. Hold item",
           " 3. Delete a member                10. Cancel hold item",
           " 4. Display member's details       11. Display item's details",
           " 5. Add/delete an item             12. Online catalog",
           " 6. Select item                    13. List of overdues",
           " 7. Borrow item                    14. Quit",
       }) {
    Write_row(row, menu_width);
  }
}

void Write_item_menu() {
  std::cout << std::endl;
  Write_row("Add/Delete item", 46);
  Write_row("===============", 46);
  for (const char* row : {
           "Please select from the following :",
           " 1. Add Book                        5. Remove Item",
           " 2. Add CD                          6. Return to main menu",
           " 3. Add Journal",
           " 4. Add Video",
           "",
       }) {
    Write_row(row, menu_width);
  }
}

void Write_catalogue_menu() {
  Write_heading("Library Online Catalog", 22);
  std::cout << std::endl;
  for (const char* row : {"1, Search Book", "2, Search CD", "3, Search Journal", "4, Search Video",
                          "5, Back to main menu"}) {
    Write_row(row, 22);
  }
}

}  // namespace

Library::Library(ConsoleInput& input) : Library(input, Unkept_records()) {}

Library::Library(ConsoleInput& input, Storage& storage, FileOutput* screen)
    : _dialogue(
          input,
          [this, screen] {
            _storage.Waiting();
            if (screen != nullptr) screen->Release();
          },
          [this, screen] {
            if (screen != nullptr) screen->Hold();
            Catch_up();
          }),
      _storage(storage) {
  _storage.Load([this](const StoredRecords& records) { _holdings.Restore(records); });
  if (screen != nullptr) screen->Hold();
}

void Library::Record(Change change) {
  _storage.Keep(change);
  _holdings.Apply(change);
}

void Library::Catch_up() {
  for (const Change& change : _storage.Changes_elsewhere()) {
    // A removed member or item stops being selected, as if none of its kind were.
    if (const auto* member = std::get_if<MemberRemoved>(&change)) {
      if (_selected_member != nullptr and _selected_member != &_holdings.Blank_member() and
          _selected_member->Key() == member->member) {
        _selected_member = nullptr;
      }
    } else if (const auto* item = std::get_if<ItemRemoved>(&change)) {
      const auto unselect = [&](auto*& selected, ItemKind kind) {
        if (selected != nullptr and item->kind == kind and selected->Key() == item->item) {
          selected = nullptr;
        }
      };
      unselect(_selected_book, ItemKind::book);
      unselect(_selected_cd, ItemKind::cd);
      unselect(_selected_journal, ItemKind::journal);
      unselect(_selected_video, ItemKind::video);
    }
    _holdings.Apply(change);
  }
}

void Library::Reset_selections() {
  _selected_member = &_holdings.Blank_member();
  _selected_book = nullptr;
  _selected_cd = nullptr;
  _selected_journal = nullptr;
  _selected_video = nullptr;
}

void Library::Main_menu() {
  static constexpr Operation choices[] = {
      &Library::Add_member,
      &Library::Select_search_member,
      &Library::Delete_member,
      &Library::Display_member_details,
      &Library::Add_delete_item,
      &Library::Select_item,
      &Library::Borrow_item,
      &Library::Return_item,
      &Library::Hold_item,
      &Library::Cancel_hold_item,
      &Library::Display_item_details,
      &Library::Online_catalog,
      &Library::List_overdues,
  };
  try {
    for (;;) {
      Write_main_menu();
      const std::optional<int> choice = _dialogue.Choice("selection : ");
      std::cout << std::endl;
      if (choice == 14) return;
      if (choice and *choice >= 1 and *choice <= 13) (this->*choices[*choice - 1])();
    }
  } catch (const EndOfInput&) {
    // The librarian's input has ended: the run ends here, quietly.
  }
}

void Library::Add_delete_item() {
  for (;;) {
    Write_item_menu();
    const std::optional<int> choice = _dialogue.Choice("selection : ");
    std::cout << std::endl;
    switch (choice.value_or(0)) {
      case 1:
        Add_book();
        break;
      case 2:
        Add_cd();
        break;
      case 3:
        Add_journal();
        break;
      case 4:
        Add_video();
        break;
      case 5:
        Remove_item();
        break;
      case 6:
        return;
      default:
        break;
    }
  }
}

void Library::Online_catalog() {
  for (;;) {
    const std::optional<int> choice = _dialogue.Choice(Write_catalogue_menu);
    std::cout << std::endl;
    switch (choice.value_or(0)) {
      case 1:
        Search_book();
        return;
      case 2:
        Select_cd();
        return;
      case 3:
        Select_journal();
        return;
      case 4:
        Select_video();
        return;
      case 5:
        return;
      default:
        break;
    }
  }
}
