#include <concepts>
#include <iostream>
#include <optional>
#include <string>

#include "catalogue/write_line.h"
#include "console/heading.h"
#include "console/library.h"

// What one online-catalogue screen writes; none (nullptr) where the screen writes nothing.
struct CatalogueScreen {
  const char* heading;
  const char* rows[3];
  const char* bar_code_prompt;
  const char* bar_code_not_found;
  bool shows_details;     // the found item's details before the hold question
  const char* due_label;  // before the found item's due stamp when it is on loan
  const char* title_prompt;
  const char* creator_prompt;
  const char* search_not_found;  // after the collection's own not-found line
  // The hold question and what follows it; none for a kind that cannot be held.
  const char* hold_question;
  const char* hold_prompt;
  const char* hold_not_found;
};

namespace {

constexpr CatalogueScreen book_screen{
    .heading = "SEARCH BOOK",
    .rows = {"1. Search book through bar code", "2. Search book through title",
             "3. Search book through author"},
    .bar_code_prompt = "Please enter book's bar code number : ",
    .bar_code_not_found = "Not Book Found!",
    .shows_details = true,
    .due_label = "Book loan due date : ",
    .title_prompt = "Please enter book's title : ",
    .creator_prompt = "Please enter Author's name : ",
    .search_not_found = "Not Book Found!",
    .hold_question = "Do you want to hold this book (y/n)?",
    .hold_prompt = "Please enter the book's bar code to be hold : ",
    .hold_not_found = "BOOK NOT FOUND!",
};

constexpr CatalogueScreen cd_screen{
    .heading = "SELECT CD",
    .rows = {"1. Select cd through bar code", "2. Select cd through title",
             "3. Select cd through artist"},
    .bar_code_prompt = "Please enter CD's bar code number : ",
    .bar_code_not_found = "Not CD Found!",
    .shows_details = false,
    .due_label = "CD loan due date : ",
    .title_prompt = "Please enter CD's title : ",
    .creator_prompt = "Please enter Artist's name : ",
    .search_not_found = "Not CD Found!",
    .hold_question = "Do you want to hold this CD (y/n)?",
    .hold_prompt = "Please enter the CD's bar code to be hold : ",
    .hold_not_found = "CD NOT FOUND!",
};

constexpr CatalogueScreen video_screen{
    .heading = "SELECT VIDEO",
    .rows = {"1. Select video through bar code", "2. Select video through title",
             "3. Select video through director"},
    .bar_code_prompt = "Please enter video's bar code number : ",
    .bar_code_not_found = "VIDEO NOT FOUND!",
    .shows_details = false,
    .due_label = nullptr,
    .title_prompt = "Please enter video's title : ",
    .creator_prompt = "Please enter director's name : ",
    .search_not_found = "Not Video Found!",
    .hold_question = "Do you want to hold this Video (y/n)?",
    .hold_prompt = "Please enter the Video's bar code to be hold : ",
    .hold_not_found = "Video NOT FOUND!",
};

constexpr CatalogueScreen journal_screen{
    .heading = "SELECT JOURNAL",
    .rows = {"1. Select journal through bar code", "2. Select journal through title",
             "3. Select journal through editor"},
    .bar_code_prompt = "Please enter journal's bar code number : ",
    .bar_code_not_found = "JOURNAL NOT FOUND!",
    .shows_details = false,
    .due_label = nullptr,
    .title_prompt = "Please enter journal's title : ",
    .creator_prompt = "Please enter editor's name : ",
    .search_not_found = nullptr,
    .hold_question = nullptr,
    .hold_prompt = nullptr,
    .hold_not_found = nullptr,
};

}  // namespace

template <class List, class Kind>
void Library::Catalogue_search(const CatalogueScreen& screen, List& list, Kind*& selection,
                               std::optional<List> (List::*creator_search)(const std::string&)
                                   const,
                               Operation hold) {
  Write_heading(screen.heading, 13);
  for (const char* row : screen.rows) std::cout << row << std::endl;
  std::cout << std::endl;
  const std::optional<int> choice = _dialogue.Choice("Selection : ");

  if (choice == 1) {
    selection =
        list.Find_by_call_number(_dialogue.Text(screen.bar_code_prompt, field_limit::bar_code));
    if (selection == nullptr) {
      Write_line(screen.bar_code_not_found);
      return;
    }
    if (screen.shows_details) selection->Print_details();
    if constexpr (std::derived_from<Kind, Lendable>) {
      if (screen.due_label != nullptr and selection->Is_on_loan()) {
        std::cout << screen.due_label;
        selection->Due().Print();
        std::cout << std::endl;
      }
    }
    if (screen.hold_question == nullptr or not _dialogue.Yes(screen.hold_question)) return;
    // Another desk may have removed the item while the question waited for its answer.
    if (selection == nullptr) {
      Write_line(screen.hold_not_found);
      return;
    }
    (this->*hold)();
    // NOLINTNEXTLINE(misc-redundant-expression): two different choices, not one compared twice
  } else if (choice == 2 or choice == 3) {
    const std::string text = choice == 2
                                 ? _dialogue.Text(screen.title_prompt, field_limit::title)
                                 : _dialogue.Text(screen.creator_prompt, field_limit::creator);
    const std::optional<List> found =
        choice == 2 ? list.Search_by_title(text) : (list.*creator_search)(text);
    if (not found) {
      Write_line(screen.search_not_found);
      return;
    }
    found->List_all();
    if (screen.hold_question == nullptr or not _dialogue.Yes(screen.hold_question)) return;
    selection = list.Find_by_call_number(_dialogue.Text(screen.hold_prompt, field_limit::bar_code));
    if (selection == nullptr) {
      Write_line(screen.hold_not_found);
      return;
    }
    (this->*hold)();
  }
}

void Library::Search_book() {
  Catalogue_search(book_screen, _holdings.Books(), _selected_book, &BookList::Search_by_author,
                   &Library::Hold_book);
}

void Library::Select_cd() {
  Catalogue_search(cd_screen, _holdings.Cds(), _selected_cd, &CdList::Search_by_artist,
                   &Library::Hold_cd);
}

void Library::Select_video() {
  Catalogue_search(video_screen, _holdings.Videos(), _selected_video,
                   &VideoList::Search_by_director, &Library::Hold_video);
}

void Library::Select_journal() {
  Catalogue_search(journal_screen, _holdings.Journals(), _selected_journal,
                   &JournalList::Search_by_editor, nullptr);
}
